#include "core/io/IniFile.h"

#include "core/common/Exceptions.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TIniFile Parse(const QByteArray& bytes) {
    TIniFile ini;
    ini.LoadFromBytes(bytes);
    return ini;
}

} // namespace

TEST(IniFile, KeysAndSectionsComeInFileOrder) {
    const TIniFile ini = Parse("[Zeta]\r\nEntities9=B,0\r\nEntities10=C,1\r\nEntities1=A,0\r\n"
                               "[Alpha]\r\nk=v\r\n");
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Zeta", "Alpha"}));
    EXPECT_EQ(ini.ReadSection("Zeta"), (QStringList{"Entities9", "Entities10", "Entities1"}));
    EXPECT_EQ(ini.ReadSectionValues("zeta"),
              (QStringList{"Entities9=B,0", "Entities10=C,1", "Entities1=A,0"}));
    EXPECT_TRUE(ini.ReadSection("Missing").isEmpty());
}

TEST(IniFile, NamesMatchWithoutRegardToCaseAndBlanksAreTrimmed) {
    const TIniFile ini =
        Parse("  [ Tessaly ACCOUNT FORMAT IDS ]  \r\n\tLicFilePath  =  C:\\QUILVANE\\DATA \t\r\n");
    EXPECT_TRUE(ini.SectionExists("TESSALY account format ids"));
    EXPECT_EQ(ini.ReadString("tessaly ACCOUNT format IDS", "licfilepath", "x"), "C:\\QUILVANE\\DATA");
    EXPECT_EQ(ini.ReadString("TESSALY ACCOUNT FORMAT IDS", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Other", "LicFilePath", "dflt"), "dflt");
}

TEST(IniFile, ValuesAreVerbatimWithCommasBackslashesAndInnerBlanks) {
    const TIniFile ini =
        Parse("[S]\r\nRange=0100 to 0200,0305\r\nPath=C:\\A\\B\\\r\nFmt=ASCII Text  ( CSV )\r\n"
              "Eq=a=b=c\r\nEmpty=\r\n");
    EXPECT_EQ(ini.ReadString("S", "Range", ""), "0100 to 0200,0305");
    EXPECT_EQ(ini.ReadString("S", "Path", ""), "C:\\A\\B\\");
    EXPECT_EQ(ini.ReadString("S", "Fmt", ""), "ASCII Text  ( CSV )");
    EXPECT_EQ(ini.ReadString("S", "Eq", ""), "a=b=c");
    EXPECT_EQ(ini.ReadString("S", "Empty", "dflt"), "");
    EXPECT_TRUE(ini.ValueExists("S", "Empty"));
}

TEST(IniFile, QuotesAreStrippedOnlyWhenAskedAndOnlyOnePair) {
    TIniFile ini =
        Parse("[S]\r\nA=\"quoted\"\r\nB='single'\r\nC=\"\"twice\"\"\r\nD=\"open\r\nE=\"mixed'\r\n");
    EXPECT_EQ(ini.ReadString("S", "A", ""), "\"quoted\"");
    ini.SetStripQuotes(true);
    EXPECT_EQ(ini.ReadString("S", "A", ""), "quoted");
    EXPECT_EQ(ini.ReadString("S", "B", ""), "single");
    EXPECT_EQ(ini.ReadString("S", "C", ""), "\"twice\"");
    EXPECT_EQ(ini.ReadString("S", "D", ""), "\"open");
    EXPECT_EQ(ini.ReadString("S", "E", ""), "\"mixed'");
}

TEST(IniFile, FirstOfDuplicateKeysAndSectionsWins) {
    const TIniFile ini = Parse("[S]\r\nKey=first\r\nKEY=second\r\n[s]\r\nKey=third\r\nOnlyLater=x\r\n");
    EXPECT_EQ(ini.ReadString("S", "key", ""), "first");
    EXPECT_EQ(ini.ReadSection("S"), QStringList{"Key"});
    EXPECT_EQ(ini.ReadSections(), QStringList{"S"});
    EXPECT_FALSE(ini.ValueExists("S", "OnlyLater"));
}

TEST(IniFile, TypedReadsFallBackToTheDefault) {
    const TIniFile ini =
        Parse("[N]\r\nInt=-42\r\nBad=12abc\r\nHex=$10\r\nOne=1\r\nZero=0\r\nSeven=7\r\nWord=true\r\n"
              "F1=1.25\r\nF2=1,5\r\nF3=abc\r\nF4=nan\r\nF5=inf\r\nF6=1e3\r\n");
    EXPECT_EQ(ini.ReadInteger("N", "Int", 5), -42);
    EXPECT_EQ(ini.ReadInteger("N", "Bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "Hex", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "Missing", 5), 5);
    EXPECT_TRUE(ini.ReadBool("N", "One", false));
    EXPECT_FALSE(ini.ReadBool("N", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "Seven", false));
    EXPECT_FALSE(ini.ReadBool("N", "Word", false));
    EXPECT_TRUE(ini.ReadBool("N", "Word", true));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "F1", 0), 1.25);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "F2", 0), 1.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "F3", 9), 9);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "F4", 9), 9);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "F5", 9), 9);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "F6", 9), 1000);
    double strict = -1;
    EXPECT_FALSE(ini.TryReadFloat("N", "Missing", strict));
    EXPECT_FALSE(ini.TryReadFloat("N", "F3", strict));
    EXPECT_EQ(strict, -1);
    EXPECT_TRUE(ini.TryReadFloat("N", "F1", strict));
    EXPECT_EQ(strict, 1.25);
}

TEST(IniFile, TypedWritesUseTheStoredForms) {
    TIniFile ini;
    ini.WriteBool("S", "T", true);
    ini.WriteBool("S", "F", false);
    ini.WriteInteger("S", "I", -7);
    ini.WriteFloat("S", "X", 38000.5);
    ini.WriteFloat("S", "Third", 1.0 / 3.0);
    ini.WriteFloat("S", "Whole", 10);
    EXPECT_EQ(ini.ToBytes(),
              QByteArray("[S]\r\nT=1\r\nF=0\r\nI=-7\r\nX=38000.5\r\nThird=0.333333333333333\r\n"
                         "Whole=10\r\n"));
}

TEST(IniFile, WritingReplacesInPlaceAppendsAfterLastKeyOrAddsASection) {
    TIniFile ini = Parse("; header comment\r\n[A]\r\nx=1\r\n; note about A\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    ini.WriteString("a", "X", "10");
    ini.WriteString("A", "new", "n");
    ini.WriteString("C", "c", "3");
    EXPECT_EQ(ini.ToBytes(),
              QByteArray("; header comment\r\n[A]\r\nx=10\r\n; note about A\r\ny=2\r\nnew=n\r\n\r\n"
                         "[B]\r\nz=3\r\n[C]\r\nc=3\r\n"));
    EXPECT_EQ(ini.ReadSection("A"), (QStringList{"x", "y", "new"}));
}

TEST(IniFile, EraseSectionRemovesEveryCopyAndKeepsTheRest) {
    TIniFile ini =
        Parse("[Keep]\r\na=1\r\n[HISTORY]\r\nForms0=x\r\n; gone\r\n[Keep2]\r\nb=2\r\n[history]\r\nc=3\r\n");
    ini.EraseSection("History");
    EXPECT_FALSE(ini.SectionExists("HISTORY"));
    EXPECT_EQ(ini.ToBytes(), QByteArray("[Keep]\r\na=1\r\n[Keep2]\r\nb=2\r\n"));
    ini.WriteString("HISTORY", "Current", "ABC");
    EXPECT_EQ(ini.ToBytes(), QByteArray("[Keep]\r\na=1\r\n[Keep2]\r\nb=2\r\n[HISTORY]\r\nCurrent=ABC\r\n"));
    ini.DeleteKey("keep", "A");
    EXPECT_FALSE(ini.SectionHasKeys("Keep"));
    EXPECT_TRUE(ini.SectionExists("Keep"));
    EXPECT_FALSE(ini.SectionHasKeys("Nowhere"));
}

TEST(IniFile, UnchangedCrlfFileSavesByteForByteAndOneEditTouchesOneLine) {
    // Comments, blanks, odd spacing, a line without '=', lines before any section, and a last
    // line without a break.
    const QByteArray original = QByteArray::fromHex(
        "3b20636f6d6d656e740d0a"                                               // "; comment"
        "6c6f6f73653d310d0a"                                                   // "loose=1"
        "5b524547494f4e414c5d0d0a"                                             // "[REGIONAL]"
        "20204e617272617469766544617465466f726d6174203d2044442f4d4d2f59590d0a" // "  NarrativeDateFormat =
                                                                               // DD/MM/YY"
        "6a756e6b206c696e650d0a"                                               // "junk line"
        "0d0a"                                                                 // ""
        "5265706f727444617465466f726d61743d44442f4d4d2f59595959"); // "ReportDateFormat=DD/MM/YYYY"
    TIniFile ini = Parse(original);
    EXPECT_EQ(ini.ToBytes(), original);
    EXPECT_FALSE(ini.Modified());
    ini.WriteString("REGIONAL", "NarrativeDateFormat", "DD/MM/YY");
    EXPECT_TRUE(ini.Modified()); // the line is rewritten in the canonical form
    QByteArray expected = original;
    expected.replace("  NarrativeDateFormat = DD/MM/YY", "NarrativeDateFormat=DD/MM/YY");
    EXPECT_EQ(ini.ToBytes(), expected);

    TIniFile again = Parse(expected);
    again.WriteString("REGIONAL", "NarrativeDateFormat", "DD/MM/YY");
    EXPECT_FALSE(again.Modified());
    again.WriteString("REGIONAL", "Appended", "1");
    EXPECT_EQ(again.ToBytes(), expected + "\r\nAppended=1\r\n");
}

TEST(IniFile, AcceptsLfAndLoneCrKeepsThemAndWritesCrlf) {
    const QByteArray original("[A]\nk=1\rm=2\r\n[B]\nz=9");
    TIniFile ini = Parse(original);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "m", ""), "2");
    EXPECT_EQ(ini.ToBytes(), original);
    ini.WriteString("A", "k", "5");
    ini.WriteString("A", "n", "3");
    ini.WriteString("B", "y", "8");
    EXPECT_EQ(ini.ToBytes(), QByteArray("[A]\nk=5\rm=2\r\nn=3\r\n[B]\nz=9\r\ny=8\r\n"));
}

TEST(IniFile, LineBreaksInWrittenValuesCannotInjectKeys) {
    TIniFile ini;
    ini.WriteString("S", "Name", "Smith\r\nLicFilePath=/evil\n[X]");
    EXPECT_EQ(ini.ToBytes(), QByteArray("[S]\r\nName=Smith  LicFilePath=/evil [X]\r\n"));
    const TIniFile back = Parse(ini.ToBytes());
    EXPECT_EQ(back.ReadSection("S"), QStringList{"Name"});
    EXPECT_FALSE(back.SectionExists("X"));
}

TEST(IniFile, Windows1252RoundTrip) {
    // "[Clients]", "Name=Café Müller – €5" in cp1252 bytes.
    const QByteArray bytes =
        QByteArray::fromHex("5b436c69656e74735d0d0a4e616d653d436166e9204dfc6c6c657220962080350d0a");
    TIniFile ini = Parse(bytes);
    EXPECT_EQ(ini.ReadString("clients", "name", ""), QString::fromUtf8("Café Müller – €5"));
    ini.WriteString("Clients", "Other", QString::fromUtf8("Zoë"));
    EXPECT_EQ(ini.ToBytes(), bytes + QByteArray::fromHex("4f746865723d5a6feb0d0a"));
}

TEST(IniFile, GarbageInputNeverCrashes) {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 131 + 7) % 256));
    for (qsizetype cut : {qsizetype{0}, qsizetype{1}, qsizetype{17}, qsizetype{1000}, junk.size()}) {
        TIniFile ini = Parse(junk.left(cut));
        for (const QString& section : ini.ReadSections())
            for (const QString& key : ini.ReadSection(section))
                (void)ini.ReadFloat(section, key, 0);
        const TIniFile again = Parse(ini.ToBytes());
        EXPECT_EQ(again.ReadSections(), ini.ReadSections());
    }
    const TIniFile odd = Parse(QByteArray("[\r\n]\r\n[]\r\n=v\r\n[x=]\r\n\0\0=\0\r\n", 26));
    EXPECT_EQ(odd.ReadSections(), (QStringList{"", "x="}));
    EXPECT_TRUE(odd.ReadSection("").isEmpty());
}

TEST(IniFile, SavesAtomicallyAndReportsFailures) {
    QTemporaryDir temp;
    const QString path = temp.filePath("Quilvane.ini");
    TIniFile ini(path); // missing file: empty
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    ini.WriteString("DESKTOP", "LicFilePath", "/data");
    ini.UpdateFile();
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ReadFileBytes(path), QByteArray("[DESKTOP]\r\nLicFilePath=/data\r\n"));

    // Failures name the file and leave the old one as it was.
    try {
        ini.SaveToFile(temp.filePath("no/such/folder/x.ini"));
        ADD_FAILURE() << "write into a missing folder succeeded";
    } catch (const EQuilvaneError& e) {
        EXPECT_TRUE(e.message().contains(temp.filePath("no/such/folder/x.ini"))) << e.message().toStdString();
    }
    ASSERT_TRUE(QDir(temp.path()).mkdir("folder.ini"));
    EXPECT_THROW(ini.SaveToFile(temp.filePath("folder.ini")), EQuilvaneError);
    EXPECT_TRUE(QFileInfo(temp.filePath("folder.ini")).isDir());

    ASSERT_TRUE(QFile::setPermissions(temp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (::geteuid() != 0) { // the superuser writes regardless of folder permissions
        ini.WriteString("DESKTOP", "LicFilePath", "/other");
        EXPECT_THROW(ini.UpdateFile(), EQuilvaneError);
        EXPECT_TRUE(ini.Modified());
    }
    QFile::setPermissions(temp.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ReadFileBytes(path), QByteArray("[DESKTOP]\r\nLicFilePath=/data\r\n"));
}

TEST(IniFile, RenameWithAndWithoutReload) {
    QTemporaryDir temp;
    const QString first = temp.filePath("A.CFG");
    const QString second = temp.filePath("B.CFG");
    ASSERT_TRUE(WriteFileBytes(first, "[S]\r\nk=first\r\n"));
    ASSERT_TRUE(WriteFileBytes(second, "[S]\r\nk=second\r\n"));
    TIniFile ini(first);
    ini.Rename(second, false);
    EXPECT_EQ(ini.ReadString("S", "k", ""), "first");
    EXPECT_EQ(ini.FileName(), second);
    ini.Rename(second, true);
    EXPECT_EQ(ini.ReadString("S", "k", ""), "second");
    ini.Rename(temp.filePath("missing.CFG"), true);
    EXPECT_FALSE(ini.SectionExists("S"));
    ini.Rename(first, false);
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(first), QByteArray());
    // A path that exists but cannot be read is an error naming it.
    EXPECT_THROW(ini.Rename(temp.path(), true), EQuilvaneError);
}
