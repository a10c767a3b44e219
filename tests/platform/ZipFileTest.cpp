#include "platform/zip/ZipFile.h"
#include "core/common/Exceptions.h"
#include "core/files/StoredFileWriter.h"
#include "core/vocab/FileVocabulary.h"
#include "platform/zip/ZipNames.h"
#include "tests/platform/HandMadeZip.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDateTime>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStorageInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Password = ArchivePassword.toString();
// DOS times keep local wall-clock time to two seconds: an even second survives exactly.
const QDateTime Stamp(QDate(2006, 3, 5), QTime(15, 4, 6));

QString Fixture(const char* name) {
    return QStringLiteral(QUILVANE_TEST_DATA_DIR "/zip/") + QLatin1String(name);
}

// Every file and link below a folder, relative, sorted; hidden ones (temporary files) included.
QStringList FilesBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(QDir(folder).relativeFilePath(it.next()));
    found.sort();
    return found;
}

class ZipFileTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath("data/ACME01") && QDir(Temp.path()).mkpath("data/M_DETAIL") &&
                    QDir(Temp.path()).mkpath("out") && QDir(Temp.path()).mkpath("dest"));
    }

    QString Data(const QString& name) const { return TempPath("data/" + name); }
    QString Out(const QString& name) const { return TempPath("out/" + name); }
    QString Dest(const QString& name = QString()) const { return TempPath("dest/" + name); }

    static void WriteFile(const QString& path, const QByteArray& bytes, const QDateTime& modified = Stamp) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
        ASSERT_TRUE(file.flush());
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }

    // A year of a client file as the data folder holds it, with files of other years and
    // folders that the backup's patterns must pass over.
    void WriteClientFile() {
        WriteFile(Data("ACME01.CFG"), "[CONFIGURATION]\r\nName=Acme\r\n");
        WriteFile(Data("M_DETAIL/ACME0106.ADF"), QByteArray("\x00\x01\x02\xff accounts", 13));
        WriteFile(Data("M_DETAIL/acme0105.adf"), "last year's accounts");
        WriteFile(Data("ACME01/ACME0106.PY1"), QByteArray(3000, 'p'));
        WriteFile(Data("ACME01/ACME0106.RC3"), "receipts");
        WriteFile(Data("ACME01/ACME0106"), "no extension");
        WriteFile(Data("ACME01/ACME0105.PY1"), "last year");
        ASSERT_TRUE(QDir(Data("ACME01")).mkpath("ACME0106.SUB"));
        WriteFile(Data("ACME01/ACME0106.SUB/ACME0106.PY2"), "below a matching folder");
    }

    TZipFile BackupWriter(const QString& archive = QString()) {
        TZipFile zip;
        zip.ZipFile = archive.isEmpty() ? Out("ACME0106.001") : archive;
        zip.BaseFolder = TempPath("data");
        zip.IncludeOnly = {"acme01.cfg", "M_DETAIL\\ACME0106.ADF", "m_detail\\ACME0106.CCR",
                           "ACME01\\ACME0106.*"};
        zip.EncryptCode = Password;
        zip.Comment = "{\\rtf1\\ansi File Information:\\par Memo:\\par Year end\\par}";
        return zip;
    }

    // Runs a command-line tool; false when it is not installed (the test is then skipped).
    static bool RunTool(const QString& program, const QStringList& arguments, int& exitCode,
                        QByteArray& output) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return false;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        output = process.readAll();
        return true;
    }
};

// ---- Names and selections ---------------------------------------------------------------

TEST(ZipNamesTest, SafePartsRefuseEveryNameThatLeavesTheFolder) {
    const std::pair<const char*, QStringList> cases[] = {
        {"ACME01.CFG", {"ACME01.CFG"}},
        {"M_DETAIL\\ACME0106.ADF", {"M_DETAIL", "ACME0106.ADF"}},
        {"ACME01/./ACME0106.PY1", {"ACME01", "ACME0106.PY1"}},
        {"a//b", {"a", "b"}},
        {"..x/y..", {"..x", "y.."}},
        {"../x", {}},
        {"a/../../x", {}},
        {"a\\..\\x", {}},
        {"/etc/x", {}},
        {"\\etc\\x", {}},
        {"C:\\x", {}},
        {"c:x", {}},
        {"C:", {}},
        {"", {}},
        {"./", {}},
    };
    for (const auto& [name, parts] : cases)
        EXPECT_EQ(ZipNames::SafeParts(QString::fromUtf8(name)), parts) << name;
}

TEST(ZipNamesTest, SelectionsMatchAsTheWorkstationsDid) {
    struct TCase {
        const char* Entry;
        const char* Selection;
        bool Recurse;
        bool Matches;
    };
    const TCase cases[] = {
        // Without wildcards: the whole relative path, any case, either separator.
        {"ACME01.CFG", "acme01.cfg", false, true},
        {"M_DETAIL/ACME0106.ADF", "m_detail\\acme0106.adf", false, true},
        {"M_DETAIL/ACME0106.ADF", "ACME0106.ADF", true, false},
        {"M_DETAIL\\ACME0106.ADF", "M_DETAIL/ACME0106.ADF", false, true},
        {"ACME01/ACME0106.PY1", "ACME01/ACME0106.PY", false, false},
        // Wildcards: the last part in the selection's folder, below it only with recurse.
        {"ACME01.CFG", "*.*", false, true},
        {"ACME01/ACME0106.PY1", "*.*", false, false},
        {"ACME01/ACME0106.PY1", "*.*", true, true},
        {"ACME01/SUB/ACME0106.PY1", "*.*", true, true},
        {"NODOT", "*.*", false, true},
        {"ACME01/ACME0106.PY1", "acme01\\*.py?", false, true},
        {"ACME01/SUB/ACME0106.PY1", "ACME01\\*.PY1", false, false},
        {"ACME01/SUB/ACME0106.PY1", "ACME01\\*.PY1", true, true},
        {"ACME011/ACME0106.PY1", "ACME01\\*.PY1", true, false},
        {"ACME01/ACME0106", "ACME01\\ACME0106.*", false, true},
        {"ACME01/ACME0107.PY1", "ACME01\\ACME0106.*", false, false},
        // Names that would leave the destination still match, so that they are refused.
        {"../x.txt", "*.*", true, true},
        {"/etc/x", "*.*", true, true},
        {"../x.txt", "*.*", false, false},
        // A selection that leaves its folder matches nothing.
        {"x.txt", "../x.txt", true, false},
        {"x.txt", "", true, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ZipNames::MatchesSelection(c.Entry, c.Selection, c.Recurse), c.Matches)
            << c.Entry << " / " << c.Selection << " / " << c.Recurse;
    EXPECT_TRUE(ZipNames::MatchesAnySelection("ACME01.CFG", {"nothing.here", "ACME01.CFG"}, false));
    EXPECT_FALSE(ZipNames::MatchesAnySelection("ACME01.CFG", {}, true));
}

// ---- Writing ---------------------------------------------------------------------------------

TEST_F(ZipFileTest, WritesThePatternsOfTheYearAndReadsThemBackUnderThePassword) {
    WriteClientFile();
    TZipFile zip = BackupWriter();
    ASSERT_EQ(zip.Create(), ZipResult::Ok) << zip.ErrorText().toStdString();
    // Names as on disk; each pattern looked up in its own folder only; the folder that matches
    // the pattern passed over; a missing file (the CCR) no failure.
    const QStringList added{"ACME01.CFG", "M_DETAIL/ACME0106.ADF", "ACME01/ACME0106", "ACME01/ACME0106.PY1",
                            "ACME01/ACME0106.RC3"};
    EXPECT_EQ(zip.Added(), added);
    EXPECT_TRUE(zip.ErrorText().isEmpty());

    TUnzipFile unzip;
    unzip.ZipFile = zip.ZipFile;
    ASSERT_EQ(unzip.Open(), ZipResult::Ok);
    EXPECT_EQ(unzip.EntryNames(), added);
    EXPECT_EQ(unzip.Comment(), zip.Comment);

    unzip.DecryptCode = Password;
    EXPECT_EQ(unzip.Test({"*.*"}, true), ZipResult::Ok) << unzip.ErrorText().toStdString();
    unzip.DecryptCode.clear();
    EXPECT_EQ(unzip.Test({"*.*"}, true), ZipResult::WrongPassword);
    EXPECT_TRUE(unzip.ErrorText().contains("ACME01.CFG")) << unzip.ErrorText().toStdString();
    // One wrong password in 256 passes the check byte of the traditional encryption; its data
    // then fails to inflate or fails the CRC.
    unzip.DecryptCode = "PZ_HOM";
    const int wrong = unzip.Test({"*.*"}, true);
    EXPECT_TRUE(wrong == ZipResult::WrongPassword || wrong == ZipResult::CorruptArchive) << wrong;
}

TEST_F(ZipFileTest, ExtractsByteForByteWithTheModificationTimes) {
    WriteClientFile();
    const QDateTime other(QDate(2005, 12, 31), QTime(23, 59, 58));
    WriteFile(Data("ACME01/ACME0106.RC3"), "receipts", other);
    TZipFile zip = BackupWriter();
    ASSERT_EQ(zip.Create(), ZipResult::Ok) << zip.ErrorText().toStdString();

    TUnzipFile unzip;
    unzip.ZipFile = zip.ZipFile;
    unzip.DecryptCode = Password;
    ASSERT_EQ(unzip.Extract({"*.*"}, Dest(), true, true), ZipResult::Ok) << unzip.ErrorText().toStdString();
    EXPECT_EQ(unzip.Extracted(), zip.Added());
    EXPECT_EQ(FilesBelow(Dest()), QStringList({"ACME01.CFG", "ACME01/ACME0106", "ACME01/ACME0106.PY1",
                                               "ACME01/ACME0106.RC3", "M_DETAIL/ACME0106.ADF"}));
    for (const QString& name : zip.Added()) {
        EXPECT_EQ(ReadFileBytes(Dest(name)), ReadFileBytes(Data(name))) << name.toStdString();
        EXPECT_EQ(QFileInfo(Dest(name)).lastModified(), QFileInfo(Data(name)).lastModified())
            << name.toStdString();
    }
    EXPECT_EQ(QFileInfo(Dest("ACME01/ACME0106.RC3")).lastModified(), other);
}

TEST_F(ZipFileTest, StandardUnzipTestsOurArchiveAndShowsItsComment) {
    WriteClientFile();
    TZipFile zip = BackupWriter();
    ASSERT_EQ(zip.Create(), ZipResult::Ok) << zip.ErrorText().toStdString();
    int exitCode = 0;
    QByteArray output;
    if (!RunTool("unzip", {"-P", Password, "-t", zip.ZipFile}, exitCode, output))
        GTEST_SKIP() << "the unzip tool is not installed";
    EXPECT_EQ(exitCode, 0) << output.toStdString();
    EXPECT_TRUE(output.contains("No errors detected")) << output.toStdString();

    ASSERT_TRUE(RunTool("unzip", {"-z", zip.ZipFile}, exitCode, output));
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(output.contains(zip.Comment)) << output.toStdString();

    ASSERT_TRUE(RunTool("unzip", {"-Z1", zip.ZipFile}, exitCode, output));
    EXPECT_EQ(QString::fromUtf8(output).split('\n', Qt::SkipEmptyParts), zip.Added());

    // The tool agrees that the entries are encrypted.
    ASSERT_TRUE(RunTool("unzip", {"-P", "wrong", "-t", zip.ZipFile}, exitCode, output));
    EXPECT_NE(exitCode, 0) << output.toStdString();

    // The tool restores the same bytes and times.
    ASSERT_TRUE(RunTool("unzip", {"-q", "-P", Password, zip.ZipFile, "-d", Dest()}, exitCode, output));
    EXPECT_EQ(exitCode, 0) << output.toStdString();
    EXPECT_EQ(ReadFileBytes(Dest("M_DETAIL/ACME0106.ADF")), ReadFileBytes(Data("M_DETAIL/ACME0106.ADF")));
    EXPECT_EQ(QFileInfo(Dest("ACME01/ACME0106.PY1")).lastModified(), Stamp);
}

TEST_F(ZipFileTest, CommentOfLengthZeroAndTheLongestComment) {
    WriteClientFile();
    TZipFile zip = BackupWriter();
    zip.Comment.clear();
    ASSERT_EQ(zip.Create(), ZipResult::Ok) << zip.ErrorText().toStdString();
    TUnzipFile unzip;
    unzip.ZipFile = zip.ZipFile;
    ASSERT_EQ(unzip.Open(), ZipResult::Ok);
    EXPECT_TRUE(unzip.Comment().isEmpty());
    int exitCode = 0;
    QByteArray output;
    if (RunTool("unzip", {"-z", zip.ZipFile}, exitCode, output)) {
        EXPECT_EQ(output.trimmed(), "Archive:  " + zip.ZipFile.toUtf8());
    }

    zip.Comment = QByteArray(65535, 'c');
    ASSERT_EQ(zip.Create(), ZipResult::Ok) << zip.ErrorText().toStdString();
    ASSERT_EQ(unzip.Open(), ZipResult::Ok);
    EXPECT_EQ(unzip.Comment(), zip.Comment);

    // One byte more is refused and the archive written before stays as it was.
    const QByteArray before = ReadFileBytes(zip.ZipFile);
    zip.Comment = QByteArray(65536, 'c');
    EXPECT_EQ(zip.Create(), ZipResult::BadParameters);
    EXPECT_EQ(zip.ErrorText(), "The archive comment is longer than 65535 bytes");
    EXPECT_EQ(ReadFileBytes(zip.ZipFile), before);
    EXPECT_TRUE(zip.Added().isEmpty());
}

TEST_F(ZipFileTest, AnIncludeListThatNamesNothingWritesNothingAndKeepsTheOldArchive) {
    WriteFile(Out("ACME0106.001"), "old archive");
    TZipFile zip = BackupWriter();
    EXPECT_EQ(zip.Create(), ZipResult::NothingToAdd);
    EXPECT_FALSE(zip.ErrorText().isEmpty());
    EXPECT_EQ(ReadFileBytes(Out("ACME0106.001")), "old archive");
    EXPECT_EQ(FilesBelow(TempPath("out")), QStringList{"ACME0106.001"});
}

TEST_F(ZipFileTest, BadParametersAreRefusedBeforeAnythingIsWritten) {
    WriteClientFile();
    const auto check = [&](const std::function<void(TZipFile&)>& spoil, int code, const char* text) {
        TZipFile zip = BackupWriter();
        spoil(zip);
        EXPECT_EQ(zip.Create(), code) << text;
        EXPECT_TRUE(zip.ErrorText().contains(QString::fromUtf8(text))) << zip.ErrorText().toStdString();
        EXPECT_TRUE(FilesBelow(TempPath("out")).isEmpty()) << text;
    };
    check([](TZipFile& z) { z.ZipFile.clear(); }, ZipResult::BadParameters, "No archive name");
    check([](TZipFile& z) { z.CompFactor = 10; }, ZipResult::BadParameters, "compression factor 10");
    check([](TZipFile& z) { z.CompFactor = -1; }, ZipResult::BadParameters, "compression factor -1");
    check([&](TZipFile& z) { z.BaseFolder = TempPath("missing"); }, ZipResult::BadParameters,
          "does not exist");
    check([](TZipFile& z) { z.IncludeOnly = {"..\\ACME01.CFG"}; }, ZipResult::BadParameters,
          "..\\ACME01.CFG");
    check([](TZipFile& z) { z.IncludeOnly = {"*\\ACME0106.ADF"}; }, ZipResult::BadParameters,
          "*\\ACME0106.ADF");
    check([&](TZipFile& z) { z.ZipFile = TempPath("out/missing/ACME0106.001"); }, ZipResult::WriteFailed,
          "does not exist");
    check([](TZipFile& z) { z.Comment = "caf\xe9"; }, ZipResult::BadParameters, "neither plain nor UTF-8");
}

TEST_F(ZipFileTest, LinksAreNeverFollowedWhenWriting) {
    WriteClientFile();
    WriteFile(TempPath("secret.txt"), "outside the data folder");
    // A link among the year's files.
    ASSERT_TRUE(QFile::link(TempPath("secret.txt"), Data("ACME01/ACME0106.PY9")));
    TZipFile zip = BackupWriter();
    EXPECT_EQ(zip.Create(), ZipResult::LinkRefused);
    EXPECT_TRUE(zip.ErrorText().contains("ACME0106.PY9")) << zip.ErrorText().toStdString();
    EXPECT_TRUE(FilesBelow(TempPath("out")).isEmpty());
    ASSERT_TRUE(QFile::remove(Data("ACME01/ACME0106.PY9")));

    // A folder of a pattern that is a link.
    ASSERT_TRUE(QDir(TempPath("elsewhere")).mkpath("."));
    WriteFile(TempPath("elsewhere/ACME0106.TXR"), "outside");
    ASSERT_TRUE(QFile::link(TempPath("elsewhere"), Data("LINKED")));
    zip.IncludeOnly = {"ACME01.CFG", "LINKED\\ACME0106.TXR"};
    EXPECT_EQ(zip.Create(), ZipResult::LinkRefused);
    EXPECT_TRUE(FilesBelow(TempPath("out")).isEmpty());

    // An archive name that is a link is not written through.
    ASSERT_TRUE(QFile::link(TempPath("secret.txt"), Out("ACME0106.001")));
    zip.IncludeOnly = {"ACME01.CFG"};
    EXPECT_EQ(zip.Create(), ZipResult::LinkRefused);
    EXPECT_EQ(ReadFileBytes(TempPath("secret.txt")), "outside the data folder");
}

TEST_F(ZipFileTest, OwnTemporaryFilesAndTheArchiveItselfStayOutOfTheArchive) {
    WriteClientFile();
    WriteFile(Data("ACME01/ACME0106.PY1") + TStoredFileWriter::TempMarker() + "AbC123", "half written");
    TZipFile zip = BackupWriter(Data("ACME01/ACME0106.ZIP"));
    WriteFile(zip.ZipFile, "old archive in the data folder");
    ASSERT_EQ(zip.Create(), ZipResult::Ok) << zip.ErrorText().toStdString();
    EXPECT_FALSE(zip.Added().contains("ACME01/ACME0106.ZIP"));
    EXPECT_FALSE(zip.Added().join(' ').contains(TStoredFileWriter::TempMarker()));
    EXPECT_EQ(zip.Added().size(), 5);
}

TEST_F(ZipFileTest, StoredAtFactorZeroAndWithoutEncryption) {
    WriteClientFile();
    TZipFile zip = BackupWriter();
    zip.CompFactor = 0;
    zip.EncryptCode.clear();
    ASSERT_EQ(zip.Create(), ZipResult::Ok) << zip.ErrorText().toStdString();
    // Stored data lies in the archive as it is on disk.
    EXPECT_TRUE(ReadFileBytes(zip.ZipFile).contains(QByteArray(3000, 'p')));
    TUnzipFile unzip;
    unzip.ZipFile = zip.ZipFile;
    ASSERT_EQ(unzip.Extract({"ACME01\\ACME0106.PY1"}, Dest(), false, true), ZipResult::Ok);
    EXPECT_EQ(ReadFileBytes(Dest("ACME01/ACME0106.PY1")), QByteArray(3000, 'p'));
}

// ---- Leftovers of killed writers --------------------------------------------------------------

TEST_F(ZipFileTest, StaleTemporariesOfKilledWritersGoAndNothingElse) {
    const QDateTime old = QDateTime::currentDateTime().addSecs(-61);
    const auto write = [&](const QString& name, const QDateTime& modified) {
        WriteFile(Out(name), name.toUtf8(), modified);
    };
    // The library's own names for archives the pattern matches, last written over a minute ago.
    const QStringList stale{"ACME0106.007.ab12cd", "acme0106.008.zz9999", "ACME0106.QTF.0a1b2c"};
    for (const QString& name : stale)
        write(name, old);
    const QStringList kept{
        "ACME0106.007",            // the archive itself
        "ACME0106.007.ab12c",      // five letters
        "ACME0106.007.ab12cde",    // seven
        "ACME0106.007.AB12CD",     // capitals: not the library's
        "ACME0106.007.ab-2cd",     // not a letter or digit
        "ACME0106.007.ab12cd.txt", // something after it
        "ACME0206.001.ab12cd",     // another year's archive
        "ACME0106.007.~qvAbC123",  // the stored-file writer's
        "ACME0106.009.young1",     // written within the minute
    };
    for (const QString& name : kept)
        write(name, name == "ACME0106.009.young1" ? QDateTime::currentDateTime().addSecs(-50) : old);
    // A link of the library's form, to an old file outside the folder, and a folder of that form.
    write("../outside.txt", old);
    ASSERT_TRUE(QFile::link(TempPath("outside.txt"), Out("ACME0106.007.link01")));
    ASSERT_TRUE(QDir(TempPath("out")).mkpath("ACME0106.007.dir001"));
    write("ACME0106.007.dir001/ACME0106.007.ab12cd", old);

    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("out"), "ACME0106.*"), 3);
    QStringList left = kept;
    left << "ACME0106.007.link01"
         << "ACME0106.007.dir001/ACME0106.007.ab12cd";
    left.sort();
    EXPECT_EQ(FilesBelow(TempPath("out")).join(' ').toStdString(), left.join(' ').toStdString());
    EXPECT_EQ(ReadFileBytes(TempPath("outside.txt")), "../outside.txt");

    // A pattern naming one archive takes that archive's leftovers only.
    write("ACME0106.QTF.9z8y7x", old);
    write("ACME0106.007.abcdef", old);
    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("out"), "acme0106.qtf"), 1);
    EXPECT_FALSE(QFileInfo::exists(Out("ACME0106.QTF.9z8y7x")));
    EXPECT_TRUE(QFileInfo::exists(Out("ACME0106.007.abcdef")));
    // A pattern with a folder in it, or none at all, removes nothing.
    write("ACME0106.010.abcdef", old);
    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("out"), "../out/ACME0106.*"), 0);
    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("out"), ""), 0);
    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("missing"), "*.*"), 0);
    EXPECT_TRUE(QFileInfo::exists(Out("ACME0106.010.abcdef")));
}

// Backups numbered from 100000 on have six digits after the dot, like the library's temporary
// names: they stay, and only an archive's whole name followed by the temporary's part goes.
TEST_F(ZipFileTest, BackupsWithSixDigitNumbersAreNoLeftovers) {
    const QDateTime old = QDateTime::currentDateTime().addSecs(-61);
    const struct {
        const char* Name;
        bool Removed;
    } cases[] = {
        {"ACME0106.99999", false},         {"ACME0106.100000", false},
        {"ACME0106.123456", false},        {"acme0106.999999", false},
        {"ACME0106.99999.a1b2c3", true},   {"ACME0106.100000.a1b2c3", true},
        {"ACME0106.123456.zz0099", true},  {"ACME0106.001.123456", true},
    };
    for (const auto& c : cases)
        WriteFile(Out(c.Name), c.Name, old);
    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("out"), "ACME0106.*"), 4);
    for (const auto& c : cases)
        EXPECT_EQ(QFileInfo::exists(Out(c.Name)), !c.Removed) << c.Name;
}

TEST_F(ZipFileTest, TheTemporaryThatAKilledBackupLeftIsFoundByItsName) {
    WriteClientFile();
    WriteFile(Data("ACME01/ACME0106.PY2"), QByteArray(256 * 1024, 'q'));
    // A child process writes the archive and dies half-way, as a killed backup does.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TZipFile zip = BackupWriter();
        zip.OnProgress = [](int percent) {
            if (percent >= 20)
                ::_exit(0);
        };
        zip.Create();
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const QStringList left = FilesBelow(TempPath("out"));
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left[0].startsWith("ACME0106.001.")) << left[0].toStdString();

    // Young, it stays; over a minute old, it goes.
    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("out"), "ACME0106.*"), 0);
    QFile leftover(Out(left[0]));
    ASSERT_TRUE(leftover.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        leftover.setFileTime(QDateTime::currentDateTime().addSecs(-61), QFileDevice::FileModificationTime));
    leftover.close();
    EXPECT_EQ(TZipFile::RemoveStaleTemporaries(TempPath("out"), "ACME0106.*"), 1);
    EXPECT_TRUE(FilesBelow(TempPath("out")).isEmpty());
}

// ---- Cancel ----------------------------------------------------------------------------------

TEST_F(ZipFileTest, ACancelFromProgressKeepsTheOldArchiveAndLeavesNoTemporary) {
    for (int i = 0; i < 4; ++i) {
        QByteArray noise(300 * 1024, Qt::Uninitialized);
        for (char& c : noise)
            c = char(QRandomGenerator::global()->bounded(256));
        WriteFile(Data(QString("ACME01/ACME0106.PY%1").arg(i)), noise);
    }
    WriteFile(Data("ACME01.CFG"), "cfg");
    WriteFile(Out("ACME0106.001"), "old archive");
    for (const int cancelAt : {0, 1, 30, 90}) {
        TZipFile zip = BackupWriter();
        QList<int> seen;
        zip.OnProgress = [&](int percent) {
            seen.append(percent);
            if (percent >= cancelAt)
                throw EOperationCancelled();
        };
        EXPECT_THROW(zip.Create(), EOperationCancelled) << cancelAt;
        // Called no more after the throw.
        ASSERT_FALSE(seen.isEmpty());
        EXPECT_GE(seen.last(), cancelAt);
        EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [&](int p) { return p >= cancelAt; }), 1);
        EXPECT_EQ(ReadFileBytes(Out("ACME0106.001")), "old archive") << cancelAt;
        EXPECT_EQ(FilesBelow(TempPath("out")), QStringList{"ACME0106.001"}) << cancelAt;
        EXPECT_TRUE(zip.Added().isEmpty());
    }

    // Uncancelled, the progress rises to 99 at most, and the archive replaces the old one.
    TZipFile zip = BackupWriter();
    QList<int> seen;
    zip.OnProgress = [&](int percent) { seen.append(percent); };
    ASSERT_EQ(zip.Create(), ZipResult::Ok);
    ASSERT_GE(seen.size(), 3);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.first(), 0);
    EXPECT_LE(seen.last(), 99);
    EXPECT_EQ(FilesBelow(TempPath("out")), QStringList{"ACME0106.001"});
    EXPECT_NE(ReadFileBytes(Out("ACME0106.001")), "old archive");

    // A cancel while extracting leaves neither the file nor a temporary one.
    TUnzipFile unzip;
    unzip.ZipFile = zip.ZipFile;
    unzip.DecryptCode = Password;
    unzip.OnProgress = [](int percent) {
        if (percent >= 10)
            throw EOperationCancelled();
    };
    EXPECT_THROW(unzip.Extract({"ACME01\\*.*"}, Dest(), false, true), EOperationCancelled);
    EXPECT_TRUE(FilesBelow(Dest()).isEmpty()) << FilesBelow(Dest()).join(' ').toStdString();
}

// ---- Reading archives made by other tools ----------------------------------------------------

TEST_F(ZipFileTest, ReadsTheArchiveOfTheZipToolWithBackslashesAndMixedCase) {
    TUnzipFile unzip;
    unzip.ZipFile = Fixture("tool-pkware.zip");
    ASSERT_EQ(unzip.Open(), ZipResult::Ok) << unzip.ErrorText().toStdString();
    EXPECT_EQ(unzip.EntryNames(),
              QStringList({"ACME01.cfg", "M_DETAIL/ACME0106.ADF", "Acme01/", "Acme01/acme0106.Py1"}));
    EXPECT_EQ(unzip.Comment(), "Backup of ACME01 made by the zip tool");
    unzip.DecryptCode = Password;
    EXPECT_EQ(unzip.Test({"*.*"}, true), ZipResult::Ok) << unzip.ErrorText().toStdString();

    ASSERT_EQ(unzip.Extract({"*.*"}, Dest(), true, true), ZipResult::Ok) << unzip.ErrorText().toStdString();
    EXPECT_EQ(unzip.Extracted(), QStringList({"ACME01.cfg", "M_DETAIL/ACME0106.ADF", "Acme01/acme0106.Py1"}));
    EXPECT_EQ(ReadFileBytes(Dest("ACME01.cfg")), "[CONFIGURATION]\r\nName=Acme Pty Ltd\r\n");
    EXPECT_EQ(ReadFileBytes(Dest("M_DETAIL/ACME0106.ADF")),
              QByteArray("accounts chart bytes\x00\x01\x02\xff\n", 25));
    QByteArray payments;
    for (int line = 1; line <= 50; ++line)
        payments += QString("payments of July, line %1\n").arg(line, 2, 10, QChar('0')).toUtf8();
    EXPECT_EQ(ReadFileBytes(Dest("Acme01/acme0106.Py1")), payments);
    for (const QString& name : unzip.Extracted())
        EXPECT_EQ(QFileInfo(Dest(name)).lastModified(), Stamp) << name.toStdString();
}

TEST_F(ZipFileTest, ADamagedEntryFailsItsTestAndIsNeverWritten) {
    TUnzipFile unzip;
    unzip.ZipFile = Fixture("crc-damaged.zip");
    EXPECT_EQ(unzip.Test({"*.*"}, true), ZipResult::CorruptArchive);
    EXPECT_TRUE(unzip.ErrorText().contains("ledger.txt")) << unzip.ErrorText().toStdString();
    WriteFile(Dest("LEDGER.TXT"), "current ledger");
    EXPECT_EQ(unzip.Extract({"ledger.txt"}, Dest(), false, true), ZipResult::CorruptArchive);
    EXPECT_TRUE(unzip.Extracted().isEmpty());
    EXPECT_EQ(FilesBelow(Dest()), QStringList{"LEDGER.TXT"});
    EXPECT_EQ(ReadFileBytes(Dest("LEDGER.TXT")), "current ledger");
}

TEST_F(ZipFileTest, MissingAndForeignArchivesAreReportedByCode) {
    TUnzipFile unzip;
    EXPECT_EQ(unzip.Open(), ZipResult::BadParameters);
    unzip.ZipFile = TempPath("missing.zip");
    EXPECT_EQ(unzip.Open(), ZipResult::ArchiveNotFound);
    EXPECT_EQ(unzip.ErrorText(), "The archive " + TempPath("missing.zip") + " does not exist");
    EXPECT_EQ(unzip.Test({"*.*"}, true), ZipResult::ArchiveNotFound);
    WriteFile(TempPath("notes.zip"), "not an archive at all");
    unzip.ZipFile = TempPath("notes.zip");
    EXPECT_EQ(unzip.Open(), ZipResult::CorruptArchive);
    EXPECT_TRUE(unzip.EntryNames().isEmpty());
    EXPECT_TRUE(unzip.Comment().isEmpty());
    unzip.ZipFile = TempPath("dest");
    EXPECT_EQ(unzip.Open(), ZipResult::CorruptArchive);
}

// ---- Selections ----------------------------------------------------------------------------

TEST_F(ZipFileTest, ElevenExactlyWhenNothingMatchesAndAPartialMatchSucceeds) {
    struct TCase {
        QStringList Selections;
        bool Recurse;
        int Code;
        QStringList Written;
    };
    const TCase cases[] = {
        {{"nothing.txt"}, true, ZipResult::NothingMatched, {}},
        {{"nothing.txt", "acme01.CFG"}, false, ZipResult::Ok, {"ACME01.cfg"}},
        {{"acme0106.py1"}, true, ZipResult::NothingMatched, {}},
        {{"ACME01\\ACME0106.PY1"}, false, ZipResult::Ok, {"Acme01/acme0106.Py1"}},
        {{"*.py1"}, false, ZipResult::NothingMatched, {}},
        {{"*.py1"}, true, ZipResult::Ok, {"Acme01/acme0106.Py1"}},
        {{"m_detail\\*.*"}, false, ZipResult::Ok, {"M_DETAIL/ACME0106.ADF"}},
        {{"*.*"}, false, ZipResult::Ok, {"ACME01.cfg"}},
        // The folder entry is no file to extract.
        {{"Acme01/"}, true, ZipResult::NothingMatched, {}},
        {{}, true, ZipResult::NothingMatched, {}},
    };
    for (const TCase& c : cases) {
        const QString destination = Dest(QString::number(&c - cases));
        TUnzipFile unzip;
        unzip.ZipFile = Fixture("tool-pkware.zip");
        unzip.DecryptCode = Password;
        EXPECT_EQ(unzip.Test(c.Selections, c.Recurse), c.Code) << c.Selections.join(',').toStdString();
        EXPECT_EQ(unzip.Extract(c.Selections, destination, c.Recurse, true), c.Code)
            << c.Selections.join(',').toStdString();
        EXPECT_EQ(unzip.Extracted(), c.Written) << c.Selections.join(',').toStdString();
        EXPECT_EQ(FilesBelow(destination), c.Written);
        if (c.Code == ZipResult::NothingMatched) {
            EXPECT_TRUE(unzip.ErrorText().startsWith("No entry of ")) << unzip.ErrorText().toStdString();
        }
    }
}

TEST_F(ZipFileTest, TheAllowedFilterHidesTheEntriesItRefuses) {
    TUnzipFile unzip;
    unzip.ZipFile = Fixture("tool-pkware.zip");
    unzip.DecryptCode = Password;
    QStringList asked;
    const auto onlyTheRecord = [&](const QString& entry) {
        asked.append(entry);
        return entry.compare("acme01.cfg", Qt::CaseInsensitive) == 0;
    };
    ASSERT_EQ(unzip.Extract({"*.*"}, Dest(), true, true, onlyTheRecord), ZipResult::Ok);
    EXPECT_EQ(unzip.Extracted(), QStringList{"ACME01.cfg"});
    EXPECT_EQ(asked, QStringList({"ACME01.cfg", "M_DETAIL/ACME0106.ADF", "Acme01/acme0106.Py1"}));
    EXPECT_EQ(unzip.Test({"Acme01\\*.*"}, true, onlyTheRecord), ZipResult::NothingMatched);
    // A wrong password on an entry the filter hides is never met.
    unzip.DecryptCode = "wrong";
    EXPECT_EQ(unzip.Test({"*.*"}, true, [](const QString&) { return false; }), ZipResult::NothingMatched);
}

TEST_F(ZipFileTest, MethodsTheReaderDoesNotKnowAreRefusedByName) {
    const QString archive = TempPath("methods.zip");
    THandMadeEntry unknownCompression("ACME01/ACME0106.PY1", "payments");
    unknownCompression.Method = 98; // PPMd
    THandMadeEntry strongEncryption("ACME01/ACME0106.RC1", "receipts");
    strongEncryption.Flags = 0x0041; // encrypted, with the strong encryption of the zip tool's maker
    for (const THandMadeEntry& entry : {unknownCompression, strongEncryption}) {
        ASSERT_TRUE(WriteFileBytes(archive, THandMadeZip::Build({{"ACME01.CFG", "record"}, entry})));
        TUnzipFile unzip;
        unzip.ZipFile = archive;
        unzip.DecryptCode = Password;
        EXPECT_EQ(unzip.Test({"*.*"}, true), ZipResult::UnsupportedMethod) << entry.Name.constData();
        EXPECT_TRUE(unzip.ErrorText().startsWith("Unable to read \"" + entry.Name + "\" from "))
            << unzip.ErrorText().toStdString();
        EXPECT_EQ(unzip.Extract({"*.*"}, Dest(), true, true), ZipResult::UnsupportedMethod);
        EXPECT_EQ(FilesBelow(Dest()), QStringList{"ACME01.CFG"});
        EXPECT_EQ(unzip.Extract({"ACME01.CFG"}, Dest(), false, true), ZipResult::Ok);
    }
}

TEST_F(ZipFileTest, ExistingFilesAreFoundWithoutRegardToCaseAndKeptWithoutOverwrite) {
    ASSERT_TRUE(QDir(Dest()).mkpath("m_detail"));
    WriteFile(Dest("acme01.CFG"), "current record");
    WriteFile(Dest("m_detail/acme0106.adf"), "current chart");
    TUnzipFile unzip;
    unzip.ZipFile = Fixture("tool-pkware.zip");
    unzip.DecryptCode = Password;
    ASSERT_EQ(unzip.Extract({"ACME01.CFG", "M_DETAIL\\ACME0106.ADF"}, Dest(), false, false), ZipResult::Ok);
    EXPECT_TRUE(unzip.Extracted().isEmpty());
    EXPECT_EQ(ReadFileBytes(Dest("acme01.CFG")), "current record");

    ASSERT_EQ(unzip.Extract({"ACME01.CFG", "M_DETAIL\\ACME0106.ADF"}, Dest(), false, true), ZipResult::Ok);
    EXPECT_EQ(unzip.Extracted(), QStringList({"acme01.CFG", "m_detail/acme0106.adf"}));
    EXPECT_EQ(FilesBelow(Dest()), QStringList({"acme01.CFG", "m_detail/acme0106.adf"}));
    EXPECT_EQ(ReadFileBytes(Dest("acme01.CFG")), "[CONFIGURATION]\r\nName=Acme Pty Ltd\r\n");
}

// ---- Hostile archives ------------------------------------------------------------------------

TEST_F(ZipFileTest, HostileEntriesWriteNothingOutsideTheDestination) {
    QFile::remove("/tmp/quilvane-absolute.txt");
    const QString destination = TempPath("deep/dest");
    // Whatever is chosen, and whatever a filter lets through, the names that leave the
    // destination refuse the whole archive.
    const std::pair<QStringList, bool> cases[] = {
        {{"*.*"}, true},       {{"../escaped.txt"}, false}, {{"*.txt"}, false},
        {{"safe.txt"}, false}, {{"folder/"}, false},        {{"nothing.here"}, true},
    };
    for (const auto& [selections, recurse] : cases) {
        for (const bool filtered : {false, true}) {
            TUnzipFile unzip;
            unzip.ZipFile = Fixture("hostile.zip");
            const TUnzipFile::TEntryFilter onlySafe = [](const QString& e) { return e == "safe.txt"; };
            const TUnzipFile::TEntryFilter filter = filtered ? onlySafe : TUnzipFile::TEntryFilter();
            EXPECT_EQ(unzip.Test(selections, recurse, filter), ZipResult::UnsafeEntry)
                << selections.join(',').toStdString();
            EXPECT_EQ(unzip.Extract(selections, destination, recurse, true, filter), ZipResult::UnsafeEntry)
                << selections.join(',').toStdString();
            EXPECT_EQ(unzip.ErrorText(), "The entry \"../escaped.txt\" of " + Fixture("hostile.zip") +
                                             " would be written outside its folder; the archive is refused");
            EXPECT_TRUE(unzip.Extracted().isEmpty());
            // Nothing anywhere: not in the destination, beside it, above it, or at its absolute name.
            EXPECT_TRUE(FilesBelow(TempPath("deep")).isEmpty()) << selections.join(',').toStdString();
            EXPECT_FALSE(QFileInfo::exists(TempPath("escaped.txt")));
            EXPECT_FALSE(QFileInfo::exists(TempPath("deeper.txt")));
            EXPECT_FALSE(QFileInfo::exists("/tmp/quilvane-absolute.txt"));
        }
    }
}

TEST_F(ZipFileTest, ChosenLinksAndSpecialFilesAreRefused) {
    const QString archive = TempPath("special.zip");
    ASSERT_TRUE(WriteFileBytes(archive, THandMadeZip::Build({{"safe.txt", "harmless\n"},
                                                             {"link.txt", "/etc/passwd", 0120777},
                                                             {"pipe.txt", "", 0010644},
                                                             {"folder/", "", 0040755}})));
    const struct {
        QStringList Selections;
        bool Recurse;
        int Code;
        QStringList Written;
    } cases[] = {
        {{"*.*"}, true, ZipResult::UnsafeEntry, {}},
        {{"*.txt"}, false, ZipResult::UnsafeEntry, {}},
        {{"link.txt"}, false, ZipResult::UnsafeEntry, {}},
        {{"pipe.txt"}, false, ZipResult::UnsafeEntry, {}},
        {{"safe.txt", "link.txt"}, false, ZipResult::UnsafeEntry, {}},
        {{"safe.txt"}, false, ZipResult::Ok, {"safe.txt"}},
        {{"folder/"}, false, ZipResult::NothingMatched, {}},
    };
    for (const auto& c : cases) {
        const QString destination = Dest(QString::number(&c - cases));
        TUnzipFile unzip;
        unzip.ZipFile = archive;
        EXPECT_EQ(unzip.CheckNames(), ZipResult::Ok);
        EXPECT_EQ(unzip.Test(c.Selections, c.Recurse), c.Code) << c.Selections.join(',').toStdString();
        EXPECT_EQ(unzip.Extract(c.Selections, destination, c.Recurse, true), c.Code)
            << c.Selections.join(',').toStdString();
        EXPECT_EQ(unzip.Extracted(), c.Written);
        EXPECT_EQ(FilesBelow(destination), c.Written) << c.Selections.join(',').toStdString();
        if (c.Code == ZipResult::UnsafeEntry) {
            EXPECT_TRUE(unzip.ErrorText().endsWith("is a link or a special file; the archive is refused"))
                << unzip.ErrorText().toStdString();
        }
    }
    // A link that a filter hides is not chosen, and does not stand in the way.
    TUnzipFile unzip;
    unzip.ZipFile = archive;
    EXPECT_EQ(unzip.Extract({"*.*"}, Dest("filtered"), true, true,
                            [](const QString& e) { return e == "safe.txt"; }),
              ZipResult::Ok);
    EXPECT_EQ(FilesBelow(Dest("filtered")), QStringList{"safe.txt"});
}

TEST_F(ZipFileTest, AnyUnsafeNameRefusesTheArchiveWhateverTheFilterChooses) {
    const QString archive = TempPath("names.zip");
    const QByteArray record = "[CONFIGURATION]\r\n";
    const auto onlyTheRecord = [](const QString& e) {
        return e.compare("ACME01.CFG", Qt::CaseInsensitive) == 0;
    };
    const struct {
        QByteArray Name;
        bool Safe;
    } cases[] = {
        {"../x", false},
        {"/abs", false},
        {"C:\\x", false},
        {"C:x", false},
        {"a\\..\\..\\x", false},
        {"M_DETAIL/../../x", false},
        {"M_DETAIL\\..\\..\\x", false},
        {"../", false}, // a folder entry
        {"/", false},
        {QByteArray("ACME01\0.PY1", 11), false}, // the library shows the NUL as a blank
        {QByteArray("ok.txt\0../x", 11), false},
        {"ACME01/ACME0106.PY1", true},
        {"M_DETAIL\\ACME0106.ADF", true},
        {"..x/y..", true},
        {"ACME01/./a b.txt", true},
        {"ACME01/", true},
    };
    for (const auto& c : cases) {
        const std::string shown = QString::fromUtf8(c.Name).replace(QChar(0), "\\0").toStdString();
        ASSERT_TRUE(
            WriteFileBytes(archive, THandMadeZip::Build({{"ACME01.CFG", record}, {c.Name, "entry"}})));
        const QString destination = Dest(QString::number(&c - cases));
        TUnzipFile unzip;
        unzip.ZipFile = archive;
        ASSERT_EQ(unzip.Open(), ZipResult::Ok) << shown;
        const QString name = unzip.EntryNames().value(1);
        const int expected = c.Safe ? ZipResult::Ok : ZipResult::UnsafeEntry;
        EXPECT_EQ(unzip.CheckNames(), expected) << shown;
        if (!c.Safe) {
            EXPECT_TRUE(unzip.ErrorText().contains("\"" + name + "\"")) << unzip.ErrorText().toStdString();
        }
        EXPECT_EQ(unzip.Test({"ACME01.CFG"}, false, onlyTheRecord), expected) << shown;
        EXPECT_EQ(unzip.Extract({"ACME01.CFG"}, destination, false, true, onlyTheRecord), expected) << shown;
        EXPECT_EQ(FilesBelow(destination), c.Safe ? QStringList{"ACME01.CFG"} : QStringList()) << shown;
        if (!c.Safe) {
            EXPECT_TRUE(unzip.ErrorText().contains("\"" + name + "\"")) << unzip.ErrorText().toStdString();
            EXPECT_TRUE(unzip.ErrorText().endsWith("the archive is refused"))
                << unzip.ErrorText().toStdString();
            EXPECT_FALSE(QFileInfo::exists(destination)) << shown;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(TempPath("x")));
    EXPECT_FALSE(QFileInfo::exists("/abs"));
}

// ---- Sizes -----------------------------------------------------------------------------------

TEST_F(ZipFileTest, AnEntryBeyondItsLimitRefusesTheArchiveBeforeAnythingIsWritten) {
    TUnzipFile unzip;
    unzip.ZipFile = Fixture("tool-pkware.zip");
    unzip.DecryptCode = Password;
    QStringList asked;
    qint64 limit = 0;
    unzip.SizeLimit = [&](const QString& entry) {
        asked.append(entry);
        return entry.endsWith(".Py1") ? limit : 0;
    };
    // The payments file holds 1,300 bytes: a limit of exactly that passes; none, too.
    const struct {
        qint64 Limit;
        int Code;
    } cases[] = {{1299, ZipResult::TooLarge},
                 {1, ZipResult::TooLarge},
                 {1300, ZipResult::Ok},
                 {0, ZipResult::Ok},
                 {-1, ZipResult::Ok}};
    for (const auto& c : cases) {
        limit = c.Limit;
        const QString destination = Dest(QString::number(&c - cases));
        EXPECT_EQ(unzip.Test({"*.*"}, true), c.Code) << c.Limit;
        EXPECT_EQ(unzip.Extract({"*.*"}, destination, true, true), c.Code) << c.Limit;
        if (c.Code == ZipResult::TooLarge) {
            EXPECT_EQ(unzip.ErrorText(),
                      QString("The entry \"Acme01/acme0106.Py1\" of %1 holds 1300 bytes, more "
                              "than the %2 bytes allowed for it; the archive is refused")
                          .arg(unzip.ZipFile)
                          .arg(c.Limit));
            // Not even the entries before it.
            EXPECT_FALSE(QFileInfo::exists(destination));
        } else {
            EXPECT_EQ(FilesBelow(destination).size(), 3) << c.Limit;
        }
    }
    EXPECT_TRUE(asked.contains("Acme01/acme0106.Py1"));
    EXPECT_TRUE(asked.contains("ACME01.cfg"));
    // An entry the selection leaves out is not held to a limit.
    limit = 1;
    EXPECT_EQ(unzip.Extract({"ACME01.cfg"}, Dest("record"), false, true), ZipResult::Ok);
}

TEST_F(ZipFileTest, AnEntryThatUnpacksToMoreThanItsHeaderSaysIsStoppedAndDiscarded) {
    const QString archive = TempPath("lying.zip");
    const QByteArray bomb(2 * 1024 * 1024, 'x');
    for (const bool deflate : {true, false}) {
        ASSERT_TRUE(WriteFileBytes(
            archive, THandMadeZip::Build(
                         {{"ACME01.CFG", "record"}, {"ACME01/ACME0106.PY1", bomb, 0100644, deflate, 10}})));
        WriteFile(Dest("ACME01.CFG"), "current record");
        TUnzipFile unzip;
        unzip.ZipFile = archive;
        QList<int> seen;
        unzip.OnProgress = [&](int percent) { seen.append(percent); };
        EXPECT_EQ(unzip.Test({"*.*"}, true), ZipResult::TooLarge) << deflate;
        EXPECT_EQ(unzip.ErrorText(),
                  "The entry \"ACME01/ACME0106.PY1\" of " + archive +
                      " holds more than the 10 bytes its header declares; the archive is refused");
        EXPECT_EQ(unzip.Extract({"*.*"}, Dest(), true, true), ZipResult::TooLarge) << deflate;
        EXPECT_TRUE(unzip.ErrorText().contains("ACME01/ACME0106.PY1"));
        // The record before it came out whole; of the lying entry neither the file nor its
        // temporary file is left.
        EXPECT_EQ(FilesBelow(Dest()), QStringList{"ACME01.CFG"}) << deflate;
        EXPECT_EQ(ReadFileBytes(Dest("ACME01.CFG")), "record");
        ASSERT_TRUE(QDir(Dest()).removeRecursively() && QDir().mkpath(Dest()));
    }
}

TEST_F(ZipFileTest, EntriesDeclaringMoreThanTheFreeSpaceAreRefusedBeforeAnythingIsWritten) {
    const QString archive = TempPath("huge.zip");
    const quint64 petabyte = quint64(1) << 50;
    ASSERT_TRUE(WriteFileBytes(
        archive, THandMadeZip::Build({{"ACME01.CFG", "record"},
                                      {"ACME01/ACME0106.PY1", "small", 0100644, false, petabyte, true}})));
    TUnzipFile unzip;
    unzip.ZipFile = archive;
    ASSERT_EQ(unzip.Open(), ZipResult::Ok) << unzip.ErrorText().toStdString();
    const QString destination = Dest("new/folder");
    EXPECT_EQ(unzip.Extract({"*.*"}, destination, true, true), ZipResult::TooLarge);
    const qint64 free = QStorageInfo(Dest()).bytesAvailable();
    EXPECT_TRUE(
        unzip.ErrorText().startsWith(QString("The entries to extract from %1 hold %2 bytes, more than the ")
                                         .arg(archive)
                                         .arg(petabyte + 6)))
        << unzip.ErrorText().toStdString();
    EXPECT_TRUE(
        unzip.ErrorText().endsWith(" bytes free on the disk of " + destination + "; the archive is refused"))
        << unzip.ErrorText().toStdString();
    EXPECT_GT(free, 0);
    EXPECT_FALSE(QFileInfo::exists(Dest("new")));
    // The record alone fits.
    EXPECT_EQ(unzip.Extract({"ACME01.CFG"}, destination, false, true), ZipResult::Ok);
    EXPECT_EQ(FilesBelow(destination), QStringList{"ACME01.CFG"});
}

TEST_F(ZipFileTest, ALinkInTheDestinationRefusesTheWholeExtraction) {
    ASSERT_TRUE(QDir(TempPath("outside")).mkpath("."));
    WriteFile(TempPath("outside/target.txt"), "outside");
    TUnzipFile unzip;
    unzip.ZipFile = Fixture("tool-pkware.zip");
    unzip.DecryptCode = Password;

    // A folder of the destination that is a link.
    ASSERT_TRUE(QFile::link(TempPath("outside"), Dest("m_detail")));
    EXPECT_EQ(unzip.Extract({"*.*"}, Dest(), true, true), ZipResult::UnsafeEntry);
    EXPECT_TRUE(unzip.ErrorText().contains("a symbolic link")) << unzip.ErrorText().toStdString();
    EXPECT_EQ(FilesBelow(TempPath("outside")), QStringList{"target.txt"});
    EXPECT_TRUE(FilesBelow(Dest()).isEmpty()); // not even the entries that lie outside the link
    ASSERT_TRUE(QFile::remove(Dest("m_detail")));

    // A file of the destination that is a link.
    ASSERT_TRUE(QFile::link(TempPath("outside/target.txt"), Dest("ACME01.CFG")));
    EXPECT_EQ(unzip.Extract({"ACME01.cfg"}, Dest(), false, true), ZipResult::UnsafeEntry);
    EXPECT_EQ(ReadFileBytes(TempPath("outside/target.txt")), "outside");
    ASSERT_TRUE(QFile::remove(Dest("ACME01.CFG")));

    // A file standing where a folder belongs.
    WriteFile(Dest("ACME01"), "a file");
    EXPECT_EQ(unzip.Extract({"acme01\\*.*"}, Dest(), false, true), ZipResult::UnsafeEntry);
    EXPECT_TRUE(unzip.ErrorText().contains("not a folder")) << unzip.ErrorText().toStdString();
    EXPECT_EQ(FilesBelow(Dest()), QStringList{"ACME01"});
}

} // namespace

// The caller's bounds on the whole archive: the number of entries, the bytes the chosen entries
// declare together, and the name each chosen entry is written under. Beyond any of them the
// archive is refused by name before anything is read or written.
TEST_F(ZipFileTest, TheWholeArchiveIsHeldToItsBoundsAndEachEntryToItsName) {
    const QString archive = TempPath("bounds.zip");
    ASSERT_TRUE(
        WriteFileBytes(archive, THandMadeZip::Build({{"acme01.cfg", "record"},
                                                     {"m_detail/", ""},
                                                     {"m_detail/acme0106.adf", "accounts"},
                                                     {"acme01/ACME0106.pa1", "july", 0100644, false, 4000},
                                                     {"other.txt", "foreign"}})));
    const auto own = [](const QString& entry) { return !entry.startsWith("other"); };
    const auto upper = [](const QString& entry) { return entry.toUpper(); };
    struct TCase {
        qsizetype MaxEntries;
        qint64 TotalLimit;
        std::function<QString(const QString&)> NameOf;
        int Code;
        const char* Text; // the refusal, with the archive for %1
    };
    const TCase cases[] = {
        {4,
         0,
         {},
         ZipResult::TooLarge,
         "The entry \"other.txt\" of %1 is one more than the 4 entries the archive may hold; the archive is "
         "refused"},
        {5,
         4013,
         {},
         ZipResult::TooLarge,
         "The entries of %1 up to \"acme01/ACME0106.pa1\" hold 4014 bytes, more than the 4013 bytes allowed "
         "for the whole archive; the archive is refused"},
        {5, 0, [](const QString& entry) { return entry.endsWith(".adf") ? QString() : entry.toUpper(); },
         ZipResult::UnsafeEntry,
         "The entry \"m_detail/acme0106.adf\" of %1 is no file that is taken in from it; the archive is "
         "refused"},
        {5, 0, [](const QString& entry) { return entry.endsWith(".adf") ? QString("../x") : entry; },
         ZipResult::UnsafeEntry,
         "The entry \"m_detail/acme0106.adf\" of %1 would be written outside its folder; the archive is "
         "refused"},
        {5, 0,
         [](const QString& entry) {
             return entry.endsWith(".cfg") ? QString("M_DETAIL/ACME0106.ADF") : entry;
         },
         ZipResult::UnsafeEntry,
         "The entries \"acme01.cfg\" and \"m_detail/acme0106.adf\" of %1 are the same file; the archive is "
         "refused"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TUnzipFile unzip;
        unzip.ZipFile = archive;
        unzip.MaxEntries = c.MaxEntries;
        unzip.TotalLimit = c.TotalLimit;
        unzip.NameOf = c.NameOf;
        EXPECT_EQ(unzip.Test({"*.*"}, true, own), c.Code);
        EXPECT_EQ(unzip.ErrorText(), QString(c.Text).arg(archive));
        EXPECT_EQ(unzip.Extract({"*.*"}, Dest("refused"), true, true, own), c.Code);
        EXPECT_EQ(unzip.ErrorText(), QString(c.Text).arg(archive));
        EXPECT_FALSE(QFileInfo::exists(Dest("refused")));
    }
    // At the bounds, each entry is written under the name given (a lying size is never read here).
    TUnzipFile unzip;
    unzip.ZipFile = archive;
    unzip.MaxEntries = 5;
    unzip.TotalLimit = 4014;
    unzip.NameOf = upper;
    ASSERT_EQ(unzip.Extract({"ACME01.CFG", "M_DETAIL\\*.*"}, Dest(), true, true, own), ZipResult::Ok)
        << unzip.ErrorText().toStdString();
    EXPECT_EQ(FilesBelow(Dest()), QStringList({"ACME01.CFG", "M_DETAIL/ACME0106.ADF"}));
    EXPECT_EQ(unzip.Extracted(), QStringList({"ACME01.CFG", "M_DETAIL/ACME0106.ADF"}));
    EXPECT_EQ(ReadFileBytes(Dest("M_DETAIL/ACME0106.ADF")), "accounts");
}
