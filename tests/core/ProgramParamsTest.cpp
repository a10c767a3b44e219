#include "core/settings/ProgramParams.h"

#include "core/services/Services.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

// The file's identity on disk: an atomic rewrite gives the path a new one.
ino_t FileId(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

const QString SupportSuffix = QStringLiteral(" - Contact Support for assistance.");

class ProgramParamsTest : public TServicesFixture {
protected:
    QString DatPath() const { return DataFolder + "/Quilvane.DAT"; }
    void InstallDat() {
        ASSERT_TRUE(QDir().mkpath(DataFolder));
        QFile::remove(DatPath());
        ASSERT_TRUE(QFile::copy(TProgramParams::ShippedReferenceDataPath(), DatPath()));
        QFile::setPermissions(DatPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    // A golden program ini, "@DATA@" standing for the data folder.
    QByteArray Golden(const char* name) const {
        return TestData((QByteArray("ini/") + name).constData())
            .replace("@DATA@", QFile::encodeName(DataFolder));
    }
    void WriteIni(const QByteArray& bytes) { ASSERT_TRUE(WriteFileBytes(IniPath, bytes)); }

    QString IniPath = TempPath("Quilvane.ini");
    QString DataFolder = TempPath("DATA");
};

} // namespace

// What was read shows in what is written back. The first ini holds only the data folder on the
// desktop, so every other key takes its default; the history keeps the first 20 distinct codes.
// The prefix and the workstation flag of the second are read but never written.
TEST_F(ProgramParamsTest, WhatIsReadIsWrittenBackWithDefaultsForMissingKeysButNoPrefixOrWorkStation) {
    InstallDat();
    WriteIni(Golden("history.ini"));
    TProgramParams params;
    params.DefaultReportFontSize = 7; // a size set before loading is the default
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(params.DefaultReportFontSize, 7);
    params.DefaultReportFontSize = 0;
    EXPECT_EQ(params.UserName, "WORKSTATION1");
    EXPECT_EQ(params.TempReportsFolder, TempPath("home/.cache/Quilvane/TMPREPTS"));
    EXPECT_TRUE(QFileInfo(params.TempReportsFolder).isDir());
    EXPECT_TRUE(!params.Release.isEmpty() && params.DataFileDate.isValid());
    params.Save(); // the section is replaced: forms, then files, then the current file
    EXPECT_EQ(ReadFileBytes(IniPath), Golden("history.saved.ini"));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    WriteIni(Golden("desktop.ini"));
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(params.PreferredPrefix, "ABC");
    EXPECT_TRUE(params.WorkStation);
    params.PreferredPrefix = "ZZZ";
    params.WorkStation = false;
    params.Save();
    EXPECT_EQ(ReadFileBytes(IniPath), Golden("desktop.saved.ini"));
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
    params.AddHistory({"F19", "f18"}, "NEW"); // the last two are open: the oldest one not open goes
    EXPECT_EQ(std::tuple(params.Entities.Count(), params.Entities[0].Code, params.Entities[18].Code),
              std::tuple(20, QString("NEW"), QString("F18")));
    EXPECT_FALSE(params.Entities.Contains("F17"));
    const QStringList all = params.Entities.Codes();
    params.AddHistory(all, "LATE"); // every file open: the new one is not recorded
    EXPECT_EQ(params.Entities.Codes(), all);
}

// Retry starts again from nothing (no history read twice); Cancel gives -1 and nothing is saved.
TEST_F(ProgramParamsTest, FailedLoadsShowTheSupportBoxWithRetryAndCancel) {
    const QByteArray noFolder = "[DESKTOP]\r\nLicFilePath=\r\n[HISTORY]\r\nEntities0=ABC,1\r\n";
    WriteIni(noFolder);
    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Retry);
    Prompt->OnShow = [this] { Prompt->Shown.size() == 0 ? WriteIni(Golden("history.ini")) : InstallDat(); };
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList({"Unable to read Quilvane.ini" + SupportSuffix,
                                            "Unable to read " + DatPath() + SupportSuffix}));
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Shown[0].Buttons,
              TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 100000);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(2, TBeep::Error));
    EXPECT_EQ(params.Forms, (QStringList{"TfmChart", "TfmLedger"}));
    EXPECT_EQ(params.Entities.Count(), 20);

    Prompt->OnShow = nullptr;
    WriteIni(noFolder);
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_EQ(params.Load(), -1);
    EXPECT_FALSE(params.Loaded());
    params.Save(); // a failed load is never written back
    EXPECT_EQ(ReadFileBytes(IniPath), noFolder);
}

TEST_F(ProgramParamsTest, SaveRewritesOnlyWhatChangedAndDestructionNeverSaves) {
    InstallDat();
    // A shared file written elsewhere: LF and CRLF mixed, odd spacing, a comment.
    const QByteArray dat = ReadFileBytes(DatPath())
                               .replace("[VERSION]\r\n", "; shared\n[VERSION]\n")
                               .replace("ReportDateFormat=DD/MM/YYYY", "ReportDateFormat = DD/MM/YYYY");
    ASSERT_TRUE(WriteFileBytes(DatPath(), dat));
    WriteIni(Golden("desktop.saved.ini"));
    {
        TProgramParams params;
        ASSERT_EQ(params.Load(), 0);
        params.AddHistory({}, "ABC");
        params.NarrativeDateFormat = "changed";
    }
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    const ino_t datBefore = FileId(DatPath());
    const ino_t iniBefore = FileId(IniPath);
    params.Save(); // nothing changed: neither file is rewritten
    EXPECT_EQ(std::pair(FileId(DatPath()), FileId(IniPath)), std::pair(datBefore, iniBefore));
    params.NarrativeDateFormat = "dd/mm/yyyy";
    params.Save();
    EXPECT_EQ(ReadFileBytes(DatPath()),
              QByteArray(dat).replace("NarrativeDateFormat=d mmm yyyy", "NarrativeDateFormat=dd/mm/yyyy"));
    EXPECT_EQ(FileId(IniPath), iniBefore);
    EXPECT_EQ(ReadFileBytes(IniPath), Golden("desktop.saved.ini"));

    ASSERT_TRUE(WriteFileBytes(TempPath("blocker"), "x"));
    qputenv("QUILVANE_INI", QFile::encodeName(TempPath("blocker/Quilvane.ini")));
    Prompt->Answer(TMessageButton::OK);
    params.Save();
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(Prompt->Shown[0].Text.startsWith("Error saving program params - "));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(params.LicFilePath, DataFolder);
}

TEST_F(ProgramParamsTest, FirstRunCreatesItsFilesAndDrivesMapLettersForTheDataFolder) {
    TProgramParams params;
    ASSERT_EQ(params.Load(), 0);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    DataFolder = TempPath("home/QUILVANE/DATA");
    EXPECT_EQ(params.LicFilePath, DataFolder);
    EXPECT_EQ(ReadFileBytes(IniPath), "[DESKTOP]\r\nLicFilePath=" + QFile::encodeName(DataFolder) + "\r\n");
    EXPECT_EQ(ReadFileBytes(DatPath()), ReadFileBytes(TProgramParams::ShippedReferenceDataPath()));
    // The logon name replaces the computer name only when it is usable.
    for (const QString& logon : {QString(), QString(100, 'u'), QString(99, 'u')}) {
        Identity->Logon = logon;
        params.UseLogonUserName();
        EXPECT_EQ(params.UserName, logon.size() == 99 ? logon : "WORKSTATION1") << logon.size();
    }
    DataFolder = TempPath("qdrive/QUILVANE/DATA");
    InstallDat();
    WriteIni("[DRIVES]\r\nQ=" + QFile::encodeName(TempPath("qdrive")) +
             "\r\nBad=x\r\n[DESKTOP]\r\nLicFilePath=Q:\\QUILVANE\\DATA\r\n");
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(params.ReferenceDataPath(), DatPath());
    EXPECT_EQ(TServices::FileSystem().DriveRoot('q'), TempPath("qdrive"));
    WriteIni(Golden("desktop.saved.ini")); // a later load without the mapping forgets it
    ASSERT_EQ(params.Load(), 0);
    EXPECT_TRUE(TServices::FileSystem().DriveRoot('Q').isEmpty());
}

// A reference-data file without account formats stops the start with its reason, never a
// program in which every file has an unregistered format; Retry reads the repaired file.
TEST_F(ProgramParamsTest, AReferenceDataFileWithoutAccountFormatsStopsTheStart) {
    InstallDat();
    WriteIni(Golden("desktop.saved.ini"));
    const QByteArray shipped = ReadFileBytes(DatPath());
    ASSERT_TRUE(WriteFileBytes(DatPath(), shipped.left(shipped.indexOf("[ACCOUNT FORMATS]"))));
    TProgramParams params;
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_EQ(params.Load(), -1);
    const QString reason = "Error reading account formats in Quilvane.dat (" + DatPath() +
                           " defines no account format)" + SupportSuffix;
    EXPECT_EQ(Prompt->Texts(), QStringList{reason});
    EXPECT_EQ(Prompt->Shown.value(0).Buttons,
              TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help);
    EXPECT_TRUE(params.AccountFormats.IsEmpty() && !params.Loaded());
    Prompt->Answer(TMessageButton::Retry);
    Prompt->OnShow = [&] { ASSERT_TRUE(WriteFileBytes(DatPath(), shipped)); };
    ASSERT_EQ(params.Load(), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList({reason, reason}));
    EXPECT_NE(params.FindAccountFormat("QUILVANE"), nullptr);
}
