#include "core/settings/ProgramParams.h"

#include "core/common/RegionalSettings.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"
#include "tests/support/FileBytes.h"
#include "tests/support/HookedPrompt.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <sys/stat.h>

namespace {

// The file's identity on disk: an atomic rewrite gives the path a new one.
ino_t FileId(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

const QString SupportSuffix = QStringLiteral(" - Contact Support for assistance.");

} // namespace

class ProgramParamsTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        // Home and cache inside the temporary folder: a first run and the report folder never
        // touch the real ones.
        SavedHome = qgetenv("HOME");
        SavedCache = qgetenv("XDG_CACHE_HOME");
        ASSERT_TRUE(QDir(Temp.path()).mkpath("home"));
        qputenv("HOME", TempPath("home").toLocal8Bit());
        qputenv("XDG_CACHE_HOME", TempPath("cache").toLocal8Bit());
        IniPath = TempPath("Quilvane.ini");
        DataFolder = TempPath("DATA");
        DatPath = DataFolder + "/Quilvane.DAT";
    }
    void TearDown() override {
        // Loading the reference data set the program-wide date formats.
        TRegionalSettings::Program().Reset();
        SetProgramParams(nullptr);
        qputenv("HOME", SavedHome);
        if (SavedCache.isEmpty())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", SavedCache);
        TServicesFixture::TearDown();
    }

    void InstallDat() {
        ASSERT_TRUE(QDir().mkpath(DataFolder));
        QFile::remove(DatPath);
        ASSERT_TRUE(QFile::copy(TProgramParams::ShippedReferenceDataPath(), DatPath));
        QFile::setPermissions(DatPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    void WriteIni(const QByteArray& desktopExtra, const QByteArray& rest = QByteArray()) {
        ASSERT_TRUE(WriteFileBytes(IniPath, "[DESKTOP]\r\nLicFilePath=" + DataFolder.toLocal8Bit() + "\r\n" +
                                                desktopExtra + rest));
    }

    QByteArray SavedHome;
    QByteArray SavedCache;
    QString IniPath;
    QString DataFolder;
    QString DatPath;
};

TEST_F(ProgramParamsTest, MissingKeysTakeTheirDefaults) {
    InstallDat();
    WriteIni("");
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_TRUE(params.Loaded());
    EXPECT_EQ(params.LicFilePath, DataFolder);
    EXPECT_TRUE(params.TimedBackups);
    EXPECT_EQ(params.BackupInterval, 10);
    EXPECT_EQ(params.LevelsOfBackup, 99);
    EXPECT_EQ(params.RestoreDesktop, 0);
    EXPECT_EQ(params.DestFormat, "ASCII Text  ( CSV )");
    EXPECT_FALSE(params.PerformUpgrade);
    EXPECT_FALSE(params.WorkStation);
    EXPECT_EQ(params.DefaultReportFontSize, 0);
    EXPECT_TRUE(params.Entities.IsEmpty());
    EXPECT_TRUE(params.Forms.isEmpty());
    EXPECT_EQ(params.UserName, "WORKSTATION1");
    EXPECT_EQ(params.TempReportsFolder, TempPath("cache") + "/Quilvane/TMPREPTS");
    EXPECT_TRUE(QFileInfo(params.TempReportsFolder).isDir());
    EXPECT_FALSE(params.Release.isEmpty());
    EXPECT_TRUE(params.DataFileDate.isValid());
    EXPECT_EQ(params.NarrativeDateFormat, "d mmm yyyy");
}

TEST_F(ProgramParamsTest, ReadsDesktopKeysAndNeverWritesPrefixOrWorkStation) {
    InstallDat();
    WriteIni("PreferredPrefix=abcd\r\nWorkStation=1\r\nTimedBackups=0\r\nBackupInterval=x\r\n"
             "DestFormat=\"Tab Delimited\"\r\nDefaultReportFontSize=9\r\n");
    TProgramParams params;
    params.DefaultReportFontSize = 7;
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(params.PreferredPrefix, "ABC");
    EXPECT_TRUE(params.WorkStation);
    EXPECT_FALSE(params.TimedBackups);
    EXPECT_EQ(params.BackupInterval, 10);
    EXPECT_EQ(params.DestFormat, "Tab Delimited"); // one pair of quotes comes off
    EXPECT_EQ(params.DefaultReportFontSize, 9);

    params.PreferredPrefix = "ZZZ";
    params.WorkStation = false;
    params.Save();
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    const QByteArray saved = ReadFileBytes(IniPath);
    EXPECT_EQ(saved,
              "[DESKTOP]\r\nLicFilePath=" + DataFolder.toLocal8Bit() +
                  "\r\nPreferredPrefix=abcd\r\nWorkStation=1\r\nTimedBackups=0\r\nBackupInterval=10\r\n"
                  "DestFormat=Tab Delimited\r\nDefaultReportFontSize=9\r\nDOSVersionPath=\r\n"
                  "LevelsOfBackup=99\r\nRestoreDesktop=0\r\nDestSystem=\r\nCountry=\r\nPerformUpgrade=0\r\n"
                  "[HISTORY]\r\nCurrent=\r\n");
}

TEST_F(ProgramParamsTest, AFontSizeSetBeforeLoadingIsTheDefault) {
    InstallDat();
    WriteIni("");
    TProgramParams params;
    params.DefaultReportFontSize = 7;
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(params.DefaultReportFontSize, 7);
}

TEST_F(ProgramParamsTest, HistoryKeepsTheFirstTwentyDistinctCodesInFileOrder) {
    InstallDat();
    QByteArray history = "[HISTORY]\r\nForms0=TfmChart\r\nCurrent=C05\r\n";
    // 25 keys: C00..C09, then a duplicate of C03 (other case), a value without a comma, an empty
    // code, then C10..C21.
    for (int i = 0; i < 10; ++i)
        history +=
            QStringLiteral("Entities%1=C%2,%3\r\n").arg(i).arg(i, 2, 10, QChar('0')).arg(i % 2).toLatin1();
    history += "Entities10=c03,1\r\nEntities11=NOCOMMA\r\nEntities12=,1\r\n";
    for (int i = 13; i < 25; ++i)
        history += QStringLiteral("Entities%1=C%2,1,extra\r\n").arg(i).arg(i - 3).toLatin1();
    history += "Forms1=TfmLedger\r\n";
    WriteIni("", history);

    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    ASSERT_EQ(params.Entities.Count(), 20);
    QStringList expected;
    for (int i = 0; i < 10; ++i)
        expected << QStringLiteral("C%1").arg(i, 2, 10, QChar('0'));
    expected << "NOCOMMA";
    for (int i = 10; i < 19; ++i)
        expected << QStringLiteral("C%1").arg(i);
    EXPECT_EQ(params.Entities.Codes(), expected);
    EXPECT_EQ(params.Entities[1].Status.Status, 1);
    EXPECT_EQ(params.Entities[2].Status.Status, 0);
    EXPECT_EQ(params.Entities[10].Status.Status, 0);
    EXPECT_EQ(params.Entities[11].Status.Status, 1);
    EXPECT_EQ(params.Forms, (QStringList{"TfmChart", "TfmLedger"}));
    EXPECT_EQ(params.Current, "C05");

    // Written back: the section is replaced, forms first, then entities, then the current file.
    params.Save();
    TProgramParams again;
    ASSERT_EQ(again.Load(), 0);
    EXPECT_EQ(again.Entities.Codes(), expected);
    EXPECT_EQ(again.Forms, params.Forms);
    const QByteArray saved = ReadFileBytes(IniPath);
    EXPECT_TRUE(saved.endsWith("Entities19=C18,1\r\nCurrent=C05\r\n"));
    EXPECT_TRUE(saved.contains("[HISTORY]\r\nForms0=TfmChart\r\nForms1=TfmLedger\r\nEntities0=C00,0\r\n"));
    EXPECT_EQ(saved.count("[HISTORY]"), 1);
}

TEST_F(ProgramParamsTest, AddHistoryMovesMakesRoomOrGivesUp) {
    TProgramParams params;
    params.AddHistory({}, "AAA");
    params.AddHistory({}, "BBB");
    params.Entities[1].Status.Status = 0;
    params.AddHistory({}, "aaa"); // already there: to the top, status 1, one copy
    EXPECT_EQ(params.Entities.Codes(), (QStringList{"aaa", "BBB"}));
    EXPECT_EQ(params.Entities[0].Status.Status, 1);

    params.Entities.Clear();
    for (int i = 19; i >= 0; --i)
        params.AddHistory({}, QStringLiteral("F%1").arg(i));
    ASSERT_EQ(params.Entities.Count(), 20);
    EXPECT_EQ(params.Entities[19].Code, "F19");
    // The last two are open: the oldest one not open goes.
    params.AddHistory({"F19", "f18"}, "NEW");
    ASSERT_EQ(params.Entities.Count(), 20);
    EXPECT_EQ(params.Entities[0].Code, "NEW");
    EXPECT_FALSE(params.Entities.Contains("F17"));
    EXPECT_TRUE(params.Entities.Contains("F18"));
    EXPECT_TRUE(params.Entities.Contains("F19"));

    // Every file open: nothing is dropped and the new code is not recorded.
    const QStringList all = params.Entities.Codes();
    params.AddHistory(all, "LATE");
    EXPECT_EQ(params.Entities.Codes(), all);
}

TEST_F(ProgramParamsTest, EmptyDataFolderShowsTheSupportBoxAndCancelGivesMinusOne) {
    InstallDat();
    const QByteArray original = "[DESKTOP]\r\nLicFilePath=\r\n[HISTORY]\r\nEntities0=ABC,1\r\n";
    ASSERT_TRUE(WriteFileBytes(IniPath, original));
    Prompt->Answer(TMessageButton::Cancel);
    {
        TProgramParams params;
        EXPECT_EQ(params.Load(), -1);
        EXPECT_FALSE(params.Loaded());
        params.Save(); // a failed load is never written back
    }
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "Unable to read Quilvane.ini" + SupportSuffix);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Shown[0].Buttons,
              TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 100000);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_EQ(ReadFileBytes(IniPath), original);
}

TEST_F(ProgramParamsTest, RetryAfterAMissingReferenceFileStartsAgainFromNothing) {
    WriteIni("", "[HISTORY]\r\nForms0=TfmChart\r\nForms1=TfmLedger\r\nEntities0=ABC,1\r\n");
    auto hooked = std::make_shared<THookedPrompt>();
    hooked->OnShow = [this]() { InstallDat(); };
    hooked->Answer(TMessageButton::Retry);
    TServices::SetPrompt(hooked);

    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    ASSERT_EQ(hooked->Shown.size(), 1);
    EXPECT_EQ(hooked->Shown[0].Text, "Unable to read " + DatPath + SupportSuffix);
    EXPECT_EQ(params.Forms, (QStringList{"TfmChart", "TfmLedger"}));
    EXPECT_EQ(params.Entities.Count(), 1);

    TProgramParams fresh;
    ASSERT_EQ(fresh.Load(), 0);
    EXPECT_EQ(params.FBTVariationReasons, fresh.FBTVariationReasons);
    EXPECT_EQ(params.InstalmentVariationReasons, fresh.InstalmentVariationReasons);
    EXPECT_EQ(params.EntityTypes.Count(), fresh.EntityTypes.Count());
}

TEST_F(ProgramParamsTest, SaveRewritesOnlyTheTwoRegionalLinesAndOnlyWhenChanged) {
    InstallDat();
    // A shared file written elsewhere: LF and CRLF mixed, odd spacing, a comment.
    QByteArray dat = ReadFileBytes(DatPath);
    dat.replace("[VERSION]\r\n", "; shared\n[VERSION]\n");
    dat.replace("ReportDateFormat=DD/MM/YYYY", "ReportDateFormat = DD/MM/YYYY");
    ASSERT_TRUE(WriteFileBytes(DatPath, dat));
    WriteIni("");

    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    params.Save();
    EXPECT_EQ(ReadFileBytes(DatPath), dat);
    const ino_t datBefore = FileId(DatPath);
    const ino_t iniBefore = FileId(IniPath);
    params.Save(); // nothing changed since: neither file is rewritten
    EXPECT_EQ(FileId(DatPath), datBefore);
    EXPECT_EQ(FileId(IniPath), iniBefore);

    params.NarrativeDateFormat = "dd/mm/yyyy";
    params.Save();
    QByteArray expected = dat;
    expected.replace("NarrativeDateFormat=d mmm yyyy", "NarrativeDateFormat=dd/mm/yyyy");
    EXPECT_EQ(ReadFileBytes(DatPath), expected);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(ProgramParamsTest, SaveFailureIsReportedAndLeavesTheSettings) {
    InstallDat();
    WriteIni("");
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    ASSERT_TRUE(WriteFileBytes(TempPath("blocker"), "x"));
    qputenv("QUILVANE_INI", TempPath("blocker/Quilvane.ini").toLocal8Bit());
    Prompt->Answer(TMessageButton::OK);
    params.Save();
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(Prompt->Shown[0].Text.startsWith("Error saving program params - "));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(params.LicFilePath, DataFolder);
}

TEST_F(ProgramParamsTest, DestructionNeverSaves) {
    InstallDat();
    WriteIni("");
    const QByteArray original = ReadFileBytes(IniPath);
    {
        TProgramParams params;
        ASSERT_EQ(params.Load(), 0);
        params.AddHistory({}, "ABC");
        params.NarrativeDateFormat = "changed";
    }
    EXPECT_EQ(ReadFileBytes(IniPath), original);
    EXPECT_EQ(ReadFileBytes(DatPath), ReadFileBytes(TProgramParams::ShippedReferenceDataPath()));
}

TEST_F(ProgramParamsTest, LogonNameReplacesTheComputerNameOnlyWhenUsable) {
    InstallDat();
    WriteIni("");
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    Identity->Logon.clear();
    params.UseLogonUserName();
    EXPECT_EQ(params.UserName, "WORKSTATION1");
    Identity->Logon = QString(100, QChar('u'));
    params.UseLogonUserName();
    EXPECT_EQ(params.UserName, "WORKSTATION1");
    Identity->Logon = QString(99, QChar('u'));
    params.UseLogonUserName();
    EXPECT_EQ(params.UserName, QString(99, QChar('u')));
}

TEST_F(ProgramParamsTest, FirstRunCreatesTheIniTheDataFolderAndTheReferenceFile) {
    ASSERT_FALSE(QFileInfo::exists(IniPath));
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    const QString dataFolder = TempPath("home") + "/QUILVANE/DATA";
    EXPECT_EQ(params.LicFilePath, dataFolder);
    EXPECT_EQ(ReadFileBytes(IniPath), "[DESKTOP]\r\nLicFilePath=" + dataFolder.toLocal8Bit() + "\r\n");
    EXPECT_EQ(ReadFileBytes(dataFolder + "/Quilvane.DAT"),
              ReadFileBytes(TProgramParams::ShippedReferenceDataPath()));
    EXPECT_FALSE(params.AccountFormats.IsEmpty());
}

TEST_F(ProgramParamsTest, DrivesSectionMapsLettersForTheDataFolder) {
    ASSERT_TRUE(QDir().mkpath(TempPath("qdrive")));
    DataFolder = TempPath("qdrive/QUILVANE/DATA");
    DatPath = DataFolder + "/Quilvane.DAT";
    InstallDat();
    ASSERT_TRUE(WriteFileBytes(IniPath, "[DRIVES]\r\nQ=" + TempPath("qdrive").toLocal8Bit() +
                                            "\r\nBad=x\r\n[DESKTOP]\r\nLicFilePath=Q:\\QUILVANE\\DATA\r\n"));
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(params.LicFilePath, "Q:\\QUILVANE\\DATA");
    EXPECT_EQ(params.ReferenceDataPath(), DatPath);
    EXPECT_EQ(TServices::FileSystem().DriveRoot(QChar('q')), TempPath("qdrive"));

    // A later load without the mapping forgets it.
    ASSERT_TRUE(WriteFileBytes(IniPath, "[DESKTOP]\r\nLicFilePath=" + DataFolder.toLocal8Bit() + "\r\n"));
    ASSERT_EQ(params.Load(), 0);
    EXPECT_TRUE(TServices::FileSystem().DriveRoot(QChar('Q')).isEmpty());
}

TEST_F(ProgramParamsTest, TheProgramWideSettingsAreInstalledAndRemoved) {
    SetProgramParams(nullptr);
    EXPECT_FALSE(HasProgramParams());
    EXPECT_THROW(ProgramParams(), std::logic_error);
    auto params = std::make_shared<TProgramParams>();
    SetProgramParams(params);
    EXPECT_EQ(&ProgramParams(), params.get());
    SetProgramParams(nullptr);
    EXPECT_FALSE(HasProgramParams());
}
