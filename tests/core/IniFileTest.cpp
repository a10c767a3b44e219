#include "core/io/IniFile.h"

#include "core/common/Exceptions.h"
#include "tests/support/FileBytes.h"

#include <QDir>
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

// Every key of every section read every way, in file order, against the golden answers.
TEST(IniFile, ReadsNamesInFileOrderAndValuesVerbatim) {
    TIniFile ini = Parse(TestData("ini/reads.ini"));
    EXPECT_EQ(ini.ToBytes(), TestData("ini/reads.ini"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Tessaly ACCOUNT FORMAT IDS", "N", "", "x="}));
    // section|key|value|value without quotes|integer|boolean (default 0, 1)|float
    QStringList lines;
    for (const QString& section : ini.ReadSections()) {
        for (const QString& key : ini.ReadSection(section)) {
            ini.SetStripQuotes(false);
            const QString raw = ini.ReadString(section, key, "dflt");
            ini.SetStripQuotes(true);
            const auto n = [](double number) { return QString::number(number); };
            // clang-format off
            lines << QStringList{section, key, raw, ini.ReadString(section, key, "dflt"),
                                 n(ini.ReadInteger(section, key, -9)), n(ini.ReadBool(section, key, false)),
                                 n(ini.ReadBool(section, key, true)), n(ini.ReadFloat(section, key, -9))}
                         .join('|');
            // clang-format on
        }
    }
    EXPECT_EQ((lines.join('\n') + '\n').toStdString(), TestData("ini/reads.expected.txt").toStdString());
    EXPECT_TRUE(ini.SectionHasKeys(" tessaly account format ids") && !ini.SectionHasKeys(""));
    // Names without regard to case or surrounding blanks; only the first copy of a section counts.
    EXPECT_EQ(ini.ReadString("TESSALY account format IDS", " licfilepath", ""), "C:\\QUILVANE\\DATA");
    EXPECT_EQ(ini.ReadString("tessaly ACCOUNT format IDS ", "KEY", ""), "first");
    EXPECT_FALSE(ini.ValueExists("Tessaly ACCOUNT FORMAT IDS", "OnlyLater"));
    EXPECT_FALSE(ini.ValueExists("Other", "Name"));
    EXPECT_FALSE(ini.ValueExists("", "loose"));
    double strict = -1;
    EXPECT_FALSE(ini.TryReadFloat("N", "F3", strict) || ini.TryReadFloat("N", "Missing", strict));
    EXPECT_TRUE(ini.TryReadFloat("N", "F1", strict) && strict == 1.25);
}

TEST(IniFile, EditsTouchOnlyTheirLinesAndKeepTheIndex) {
    TIniFile ini = Parse(TestData("ini/edits.ini"));
    EXPECT_EQ(ini.ToBytes(), TestData("ini/edits.ini"));
    EXPECT_FALSE(ini.Modified());
    ini.WriteString("a", "X", "10");
    ini.WriteString("A", "new", "n");
    ini.EraseSection("History");
    ini.DeleteKey("keep", "A");
    ini.WriteString("Keep", "NarrativeDateFormat", "DD/MM/YY"); // rewritten in the canonical form
    ini.WriteString("B", "Name", QString::fromUtf8("Smith\r\nLicFilePath=/evil\n[X] Zoë"));
    ini.WriteBool("C", "T", true);
    ini.WriteBool("C", "F", false);
    ini.WriteInteger("C", "I", -7);
    ini.WriteFloat("C", "X", 38000.5);
    ini.WriteFloat("C", "Third", 1.0 / 3.0);
    ini.WriteFloat("C", "Whole", 10);
    ini.WriteString("HISTORY", "Current", "ABC");
    EXPECT_TRUE(ini.Modified());
    EXPECT_EQ(ini.ToBytes(), TestData("ini/edits.expected.ini"));
    EXPECT_EQ(ini.ReadSection("A"), (QStringList{"x", "y", "new"}));
    EXPECT_EQ(ini.ReadString("A", "X", ""), "10");
    EXPECT_EQ(ini.ReadSection("B"), (QStringList{"z", "Name"}));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"A", "Keep", "B", "C", "HISTORY"}));

    TIniFile again = Parse(TestData("ini/edits.expected.ini"));
    again.WriteString("Keep", "NarrativeDateFormat", "DD/MM/YY");
    EXPECT_FALSE(again.Modified());
    again.Clear();
    EXPECT_TRUE(again.Modified());
    EXPECT_TRUE(again.ReadSections().isEmpty());

    TIniFile comments = Parse("[E]\r\n; only a comment");
    comments.WriteString("E", "k", "v");
    EXPECT_EQ(comments.ToBytes(), "[E]\r\nk=v\r\n; only a comment");
}

TEST(IniFile, SavesAtomicallyReportsFailuresAndRenames) {
    QTemporaryDir temp;
    const QString path = temp.filePath("Quilvane.ini");
    TIniFile ini(path); // missing file: empty
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    ini.WriteString("DESKTOP", "LicFilePath", "/data");
    ini.UpdateFile();
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ReadFileBytes(path), QByteArray("[DESKTOP]\r\nLicFilePath=/data\r\n"));
    try {
        ini.SaveToFile(temp.filePath("no/such/folder/x.ini"));
        ADD_FAILURE() << "write into a missing folder succeeded";
    } catch (const EQuilvaneError& e) {
        EXPECT_TRUE(e.message().contains(temp.filePath("no/such/folder/x.ini"))) << e.message().toStdString();
    }
    ASSERT_TRUE(QDir(temp.path()).mkdir("folder.ini"));
    EXPECT_THROW(ini.SaveToFile(temp.filePath("folder.ini")), EQuilvaneError);
    EXPECT_TRUE(QFileInfo(temp.filePath("folder.ini")).isDir());
    EXPECT_THROW(TIniFile().UpdateFile(), EQuilvaneError);
    if (::geteuid() != 0) { // the superuser writes regardless of folder permissions
        ASSERT_TRUE(QFile::setPermissions(temp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        ini.WriteString("DESKTOP", "LicFilePath", "/other");
        EXPECT_THROW(ini.UpdateFile(), EQuilvaneError);
        EXPECT_TRUE(ini.Modified());
        QFile::setPermissions(temp.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(ReadFileBytes(path), QByteArray("[DESKTOP]\r\nLicFilePath=/data\r\n"));
    }
    // Renamed with or without reloading; reloaded.
    const QString first = temp.filePath("A.CFG");
    const QString second = temp.filePath("B.CFG");
    ASSERT_TRUE(WriteFileBytes(first, "[S]\r\nk=first\r\n"));
    ASSERT_TRUE(WriteFileBytes(second, "[S]\r\nk=second\r\n"));
    ini.Rename(first, true);
    ini.Rename(second, false);
    EXPECT_EQ(ini.ReadString("S", "k", ""), "first");
    EXPECT_EQ(ini.FileName(), second);
    ini.Rename(second, true);
    EXPECT_EQ(ini.ReadString("S", "k", ""), "second");
    ASSERT_TRUE(WriteFileBytes(second, "[S]\r\nk=third\r\n"));
    ini.Reload();
    EXPECT_EQ(ini.ReadString("S", "k", ""), "third");
    ini.Rename(temp.filePath("missing.CFG"), true);
    EXPECT_FALSE(ini.SectionExists("S"));
    ini.Rename(first, false);
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(first), QByteArray());
    EXPECT_THROW(ini.Rename(temp.path(), true), EQuilvaneError); // exists but cannot be read
}
