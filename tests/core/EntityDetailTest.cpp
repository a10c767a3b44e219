#include "tests/core/EntityTestSupport.h"

#include "core/charts/StdDescChart.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/RecordGuard.h"

#include <tuple>
#include <unistd.h>
#include <utility>

using EntityDetailTest = TEntityFixture;

// Records of every key with a value other than its default, laid out as a save lays them out,
// with an unknown key, section and retained-profit section that a save keeps as they are.
TEST_F(EntityDetailTest, FullRecordsLoadEveryFieldAndSaveToTheSameBytes) {
    for (const QString name : {"full_2006.cfg", "full_2001.cfg"}) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray original = Golden(name);
        WriteRecordBytes(original);
        auto detail = Open({Standard, NoLock, Load});
        EXPECT_EQ(detail->GetBASSectionName(), detail->Year == 2001 ? "BAS" : "BAS 2006");
        EXPECT_EQ(QList<double>({detail->Created, double(detail->Periods), double(detail->EndMonth),
                                 double(detail->Period), double(detail->Contras), detail->GSTInstalmentQtr[4],
                                 detail->DeferredInstalmentQ[1], double(detail->BackupCount(2026))}),
                  QList<double>({732494.614583333, 4, 3, 2, 3, 4.5, 0.1, 7}));
        EXPECT_TRUE(detail->Quantity && !detail->Tax && detail->DupRef && detail->CurrencyConv);
        EXPECT_EQ(detail->GSTGroupFile[1] + detail->GSTGroupFile[20], "GRP001GRP020");
        ASSERT_NE(detail->AccountFormat, nullptr);
        ASSERT_EQ(detail->Save({Standard}), 0);
        EXPECT_EQ(ReadRecordBytes(), original);
        EXPECT_FALSE(QFileInfo(RecordPath()).permissions() & QFileDevice::WriteOwner);
    }
}

TEST_F(EntityDetailTest, ANewRecordSavesItsDefaults) {
    auto detail = Open({Standard, NoLock});
    EXPECT_EQ(detail->FileName, DataDir + "\\ABC123.CFG");
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(ReadRecordBytes(), Golden("new_2024.saved.cfg"));

    // A data folder on a mapped drive gives that drive.
    Params->LicFilePath = TempPath("SHARE/DATA");
    ASSERT_TRUE(QDir().mkpath(Params->LicFilePath));
    Files->MapDrive('Q', TempPath("SHARE"));
    detail = Open({Standard, NoLock}, "DEF456");
    EXPECT_EQ(detail->XferDir + detail->BackupDir, "Q:\\QUILVANE\\TRANSFERQ:\\QUILVANE\\BACKUPS");
}

TEST_F(EntityDetailTest, FileNamesFollowTheTransferMembersAndNameTheCharts) {
    auto detail = Open({Standard, NoLock});
    detail->XferDir = "G:\\XFER";
    EXPECT_EQ(detail->GetFileName({TransferFolder}), DataDir + "\\TRANSFER\\ABC123.CFG");
    EXPECT_EQ(detail->GetFileName({TransferDrive}), "G:\\RORI\\ABC123\\ABC123.CFG");
    // Without a transfer folder the record and its charts use the transfer drive of a new file.
    detail->XferDir.clear();
    EXPECT_EQ(detail->GetFileName({TransferDrive}), "C:\\RORI\\ABC123\\ABC123.CFG");
    EXPECT_EQ(TStdDescChart(detail->ChartEntity(), {}, 2006).GetFileName({TransferDrive}),
              "C:\\RORI\\ABC123\\M_DETAIL\\ABC12306.STD");
}

// Each line replaces its key in a valid record of June year end, 12 periods, period 1.
class EntityYearSetUpTest : public TEntityFixture, public ::testing::WithParamInterface<const char*> {};
TEST_P(EntityYearSetUpTest, LoadsOnlyARealFinancialYear) {
    const QString line = GetParam();
    const bool valid = !line.startsWith('!');
    WriteRecordBytes(SmallRecord("0", "", line.mid(valid ? 0 : 1)));
    if (valid) {
        EXPECT_NO_THROW(Open({Standard, NoLock, Load}));
        return;
    }
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(Open({Standard, NoLock, Load}), EAbort);
    EXPECT_TRUE(Prompt->Texts().value(0).startsWith("QUILVANE is unable to open file \"ABC123\". Error: "));
    EXPECT_NO_THROW(Open({NoLock, SummaryLoad, Load})); // a summary load does not look
}
INSTANTIATE_TEST_SUITE_P(Boundaries, EntityYearSetUpTest,
                         ::testing::Values("EndMonth=12", "EndMonth=1", "!EndMonth=13", "!EndMonth=0",
                                           "Period=12", "!Period=13", "!Period=0", "Year=9999", "Year=1",
                                           "!Year=10000", "!Year=0", "!Year=70000", "!Periods=5",
                                           "!Periods=0", "!Periods=24", "!Periods="));

TEST_F(EntityDetailTest, AYearEndingInDecemberGivesCalendarPeriods) {
    WriteRecordBytes(SmallRecord("0", "", "EndMonth=12")
                         .replace("Year=2006", "Year=2024")
                         .replace("Periods=12", "Periods=4\r\nPeriod=4"));
    auto detail = Open({Standard, NoLock, Load});
    ASSERT_EQ(detail->EndMonth, 12);
    EXPECT_EQ(detail->ChartEntity().EndMonth, 12);
    EXPECT_EQ(detail->GetBASSectionName(), "BAS 2024");
    EXPECT_EQ(detail->TessalyFolder, "C:\\TessalySUP2007");
    EXPECT_EQ(PeriodStartDate(1, detail->Year, detail->Periods, detail->EndMonth), EncodeDateNum(2024, 1, 1));
    EXPECT_EQ(PeriodEndDate(detail->Period, detail->Year, detail->Periods, detail->EndMonth),
              EncodeDateNum(2024, 12, 31));
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(DiskKey("EndMonth"), "12");
}

TEST_F(EntityDetailTest, LoadMembersKeepWhatTheCallerHolds) {
    WriteRecordBytes(Golden("full_2006.cfg"));
    auto detail = Open({Standard, NoLock, Load});
    const auto reloadWith = [&](const TOptionSet& options) {
        detail->Year = 2030;
        detail->Periods = 6;
        detail->XferDir = detail->BASExportFilePath = detail->BASImportECIPath = "kept";
        detail->BackupHistory = {{2000, 99}};
        detail->DataEntryPages = QStringList{"kept"};
        detail->Locked = true;
        detail->LockedBy = detail->ABN = detail->SalaryWagesAccounts = "kept";
        EXPECT_EQ(detail->Load(options), 0);
    };
    reloadWith({KeepYear});
    EXPECT_EQ(detail->Year, 2030);
    EXPECT_EQ(detail->ABN + detail->VariationReason, "<Not Applicable>"); // 2030 starts afresh
    reloadWith({KeepPeriods});
    EXPECT_EQ(detail->Periods * 10000 + detail->Year, 62006);
    reloadWith({KeepFolders});
    EXPECT_EQ(detail->XferDir + detail->BASExportFilePath + detail->BASImportECIPath, "keptkeptkept");
    EXPECT_EQ(detail->ABN, "12 345 678 901");
    reloadWith({KeepBackupHistory});
    EXPECT_EQ(detail->BackupCount(2000) * 10 + detail->BackupCount(2023), 991);
    EXPECT_EQ(detail->XferDir, "D:\\XFER");
    reloadWith({KeepPages});
    EXPECT_EQ(detail->DataEntryPages, QStringList{"kept"});
    reloadWith({KeepLockKeys});
    EXPECT_TRUE(detail->Locked && detail->LockedBy == "kept");
    reloadWith({SkipBAS});
    EXPECT_EQ(detail->ABN + detail->SalaryWagesAccounts, "keptkept");
    reloadWith({SummaryLoad});
    EXPECT_EQ(detail->Name + detail->XferDir + QString::number(detail->Year), "Acme Pty Ltdkept2030");
    EXPECT_FALSE(detail->Locked);
}

TEST_F(EntityDetailTest, SaveMembersAndDeterministicBytes) {
    WriteRecordBytes(Golden("full_2006.cfg"));
    auto detail = Open({Standard, NoLock, Load});
    detail->ABN = "  99 999 999 999  ";
    ASSERT_EQ(detail->Save({KeepBASSection}), 0);
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("BAS 2006", "ABN", ""), "12 345 678 901");
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("BAS 2006", "ABN", ""), "99 999 999 999");
    EXPECT_EQ(DiskKey("LockedBy"), "");
    ASSERT_EQ(detail->Save({WriteLockedBy}), 0);
    EXPECT_EQ(DiskKey("LockedBy"), "WORKSTATION1");

    // An unchanged record saves to the same bytes, first to a new path and then over it.
    WriteRecordBytes(SmallRecord("0", "", "  LockedBy=").replace("Locked=0", "  Locked = 0"));
    detail = Open({Standard, NoLock, Load});
    ASSERT_TRUE(QDir(DataDir).mkpath("TRANSFER"));
    ASSERT_EQ(detail->Save({TransferFolder}), 0);
    const QByteArray first = ReadFileBytes(DataDir + "/TRANSFER/ABC123.CFG");
    EXPECT_TRUE(first.contains("\r\n  LockedBy=\r\n"));
    ASSERT_EQ(detail->Save({TransferFolder}), 0);
    EXPECT_EQ(ReadFileBytes(DataDir + "/TRANSFER/ABC123.CFG"), first);

    // Typed line breaks never start a key of their own.
    detail->Name = "x\r\nLocked=1";
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(DiskKey("Name") + DiskKey("Locked"), "x  Locked=10");
}

TEST_F(EntityDetailTest, HistoryBackupCountersAndImportFormats) {
    WriteRecordBytes(Golden("history_2006.cfg"));
    auto detail = Open({Standard, NoLock, Load});
    ASSERT_EQ(detail->DataEntryPages.size(), 25);
    EXPECT_EQ(detail->DataEntryPages[24], "page 24");
    EXPECT_EQ(QList<int>({detail->BackupCount(2000), detail->BackupCount(2001), detail->BackupCount(2026),
                          detail->BackupCount(1990), detail->BackupCount(2027)}),
              QList<int>({5, 1, 12, 3, 1}));
    ASSERT_EQ(detail->ImportFormatHistory.size(), 4);
    EXPECT_EQ(detail->ImportFormatHistory[0], (TImportFormatEntry{"acct1=ifqif_nab,C:\\nab.qif,3", 6}));
    EXPECT_EQ(detail->ImportFormatHistory[1].Format * 10 + detail->ImportFormatHistory[2].Format, 110);
    detail->SetBackupCount(2031, 2);
    detail->ImportFormatHistory.removeAt(1);
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(ReadRecordBytes(), Golden("history_2006.saved.cfg"));
}

// A year set up for the first time takes its account ranges from the format's master file.
TEST_F(EntityDetailTest, ANewYearTakesItsAccountRangesFromTheMasterFile) {
    ASSERT_TRUE(QDir(DataDir).mkpath("M_DETAIL"));
    for (const QString name : {"QUILVANE.BAS", "QUILVANE_SUP.BAS"})
        ASSERT_TRUE(QFile::copy(DataPath("M_DETAIL/" + name), DataDir + "/M_DETAIL/" + name));
    WriteRecordBytes(SmallRecord());
    auto detail = Open({Standard, NoLock, Load});
    EXPECT_EQ(detail->SalaryWagesAccounts + detail->CashIncomeAccounts + detail->LuxuryCarAccountsRefundable,
              "R0R4R9");
    EXPECT_EQ(detail->VariationReason + detail->FBTVariationReason, "<Not Applicable><Not Applicable>");
    EXPECT_EQ(detail->BASExportFileCode + detail->BASExportFilePath, "ABC123" + DataDir + "\\EXPORT");
    EXPECT_EQ(detail->ABN + QString::number(detail->GST_G21), "0");
    WriteRecordBytes(SmallRecord("0", "", "Type=SUP"));
    EXPECT_EQ(Open({Standard, NoLock, Load})->SalaryWagesAccounts, "S0");
}

TEST_F(EntityDetailTest, LoadFailuresAreShownAndReturnFailure) {
    // No code: the box offers Retry, which reads the file again.
    WriteRecordBytes(SmallRecord("0", "", "Code="));
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_THROW(Open({Standard, NoLock, Load}), EAbort);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{"Unable to load file details. Filename : " + DataDir + "\\ABC123.CFG"});
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Cancel | TMessageButton::Retry);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    auto detail = Open({Standard, NoLock});
    Hooked().OnShow = [&] { WriteRecordBytes(SmallRecord()); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(detail->Load({Standard}), 0);
    Hooked().OnShow = nullptr;

    // The line given, the error shown (none with member 5 for an entity type).
    const std::pair<QString, QString> cases[] = {
        {"Created=abc", "'abc' is not a valid floating point value"},
        {"Type=XYZ", "Entity type XYZ is not permitted."},
        {"Type=XYZ", ""},
        {"Code=..\\..\\EVIL", "The file code ..\\..\\EVIL is not valid."},
        {"Code=A/B", "The file code A/B is not valid."},
        {"Code=C:X", "The file code C:X is not valid."},
        {"Code=..", "The file code .. is not valid."},
        {"Code=AB*", "The file code AB* is not valid."}};
    for (const auto& [line, error] : cases) {
        SCOPED_TRACE(line.toStdString());
        WriteRecordBytes(SmallRecord("0", "", line).replace("Name=Acme", "Name=Acme\r\nACN=111"));
        Prompt->Shown.clear();
        if (!error.isEmpty())
            Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(detail->Load(error.isEmpty() ? TOptionSet{QuietEntityType} : TOptionSet{Standard}), -1);
        EXPECT_EQ(Prompt->Texts().join(""),
                  error.isEmpty() ? "" : "QUILVANE is unable to open file \"ABC123\". Error: " + error);
        EXPECT_EQ(detail->FileCode, "ABC123");
    }
    EXPECT_EQ(detail->ACN, "111"); // fields read before the failure keep their values

    // A code given to Create gets the same check; nothing is created.
    for (const QString code : {"..", "A/B", "A\\B", "C:X", "", "AB\x01", "A?"}) {
        EXPECT_THROW(Open({Standard, NoLock}, code), EQuilvaneError) << code.toStdString();
        EXPECT_EQ(QDir(DataDir).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST_F(EntityDetailTest, UnregisteredAccountFormatIsRefusedAndTheLockGivenBack) {
    WriteRecordBytes(SmallRecord("0", "", "AccFormatID=NOSUCH"));
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(Open({Standard, Load}), EAbort);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unregistered account format for this file - Access denied."});
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Information);
    EXPECT_EQ(DiskKey("Locked") + DiskKey("LockedBy"), "0");
    // Missing record with member 7: nothing is shown, nothing is created.
    EXPECT_THROW(Open({Standard, Load}, "NONE01"), EAbort);
    EXPECT_FALSE(QFile::exists(RecordPath("NONE01")));
}

TEST_F(EntityDetailTest, ASaveUnprotectsTheRecordOnlyWhileWritingItAndOffersRetryOnAGuardedOne) {
    WriteRecordBytes(SmallRecord());
    auto detail = Open({Standard, NoLock, Load});
    detail->Name = "Renamed";
    bool writtenBeforeProtect = false;
    Files->OnProtect = [&](const QString& path) {
        writtenBeforeProtect = TIniFile(path).ReadString("CONFIGURATION", "Name", "") == "Renamed";
    };
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(Files->Entries(), QStringList({"unprotect:ABC123.CFG", "protect:ABC123.CFG"}));
    EXPECT_TRUE(writtenBeforeProtect);

    // Another workstation testing the lock keys holds the save off: Retry waits for it, Ignore
    // gives up with nothing written.
    const QByteArray before = ReadRecordBytes();
    detail->Name = "Again";
    detail->FileLock.GuardWaitMs = 0;
    auto guard = std::make_unique<TRecordGuard>(RecordPath(), 0);
    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(detail->Save({Standard}), -1);
    EXPECT_EQ(Prompt->Texts().value(1), "Unable to save file details to disk.\rUnable to write " +
                                            RecordPath() + " - another workstation is writing it.");
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Retry | TMessageButton::Ignore);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Error, TBeep::Error}));
    EXPECT_EQ(ReadRecordBytes(), before);
    Hooked().OnShow = [&] { guard.reset(); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(DiskKey("Name"), "Again");
}

// A failure of the write itself reaches the caller, never a Retry box, and the file or the
// link's target is as it was.
TEST_F(EntityDetailTest, WriteFailuresOfSaveAndLockGoToTheCaller) {
    const QString outside = TempPath("outside.txt");
    enum TKind { Refused, Link, Dangling, NoFolder };
    for (TKind kind : {Refused, Link, Dangling, NoFolder}) {
        for (bool lock : {false, true}) {
            SCOPED_TRACE(int(kind) * 10 + lock);
            QFile::remove(RecordPath());
            QFile::remove(outside);
            WriteRecordBytes(SmallRecord());
            auto detail = Open({Standard, NoLock, Load});
            if (kind == Link || kind == Dangling) {
                ASSERT_TRUE(QFile::remove(RecordPath()));
                ASSERT_TRUE(kind == Dangling || WriteFileBytes(outside, "outside"));
                ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(),
                                    QFile::encodeName(RecordPath()).constData()),
                          0);
            }
            Files->RefuseUnprotect = kind == Refused;
            const TOptionSet where = kind == NoFolder ? TOptionSet{TransferFolder} : TOptionSet{Standard};
            ASSERT_TRUE(kind != NoFolder || WriteFileBytes(DataDir + "/TRANSFER", "a file, not a folder"));
            const QByteArray before = ReadRecordBytes();
            const QStringList log = Files->Entries();
            EXPECT_THROW(lock && kind != NoFolder ? detail->LockFile(true, true) : detail->Save(where) == 0,
                         EQuilvaneError);
            EXPECT_TRUE(Prompt->Shown.isEmpty());
            EXPECT_EQ(ReadRecordBytes(), before);
            EXPECT_EQ(QFileInfo::exists(outside), kind == Link);
            EXPECT_EQ(Files->Entries() == log, kind != Refused);
            QFile::remove(DataDir + "/TRANSFER");
        }
    }
}

TEST_F(EntityDetailTest, ProfitDistributionAddressesAndSmallRules) {
    WriteRecordBytes(Golden("full_2006.cfg"));
    auto detail = Open({Standard, NoLock, Load});
    detail->LoadProfitDistribution(2006);
    EXPECT_EQ(detail->ProfitDistribution, QStringList({"Member A,50", "Member B,50"}));
    detail->ProfitDistribution = QStringList{"Member C,100"};
    detail->SaveProfitDistribution(2007);
    ASSERT_EQ(detail->Save({Standard}), 0);
    const TIniFile saved(RecordPath());
    EXPECT_EQ(saved.ReadSectionValues("RETAINED PROFIT DISTRIBUTION 2007"), QStringList{"0=Member C,100"});
    EXPECT_EQ(saved.ReadSection("RETAINED PROFIT DISTRIBUTION 2006").size(), 2);

    detail->SetEMailAddress(true, "t@x");
    EXPECT_EQ(detail->GetEMailAddress(true) + detail->GetEMailAddress(false), "t@xclient@example.com");

    // Type, quarterly-GDP choice, registration, instalment type, expected.
    const std::tuple<const char*, bool, int, int, bool> payg[] = {
        {"sol", true, 2, 0, true},  {"STP", true, 2, 0, true},  {"nsp", true, 2, 0, true},
        {"sol", true, 1, 0, false}, {"sol", true, 3, 0, false}, {"sol", true, 2, 1, false},
        {"CO", true, 2, 0, false},  {"CO", false, 1, 0, true},  {"CO", false, 2, 1, false}};
    for (const auto& [type, gdp, registration, instalments, expected] : payg) {
        detail->EntityType = type;
        detail->PAYGI_UsePayQuarterlyGDP = gdp;
        EXPECT_EQ(detail->QuarterlyPAYGInstalments(registration, instalments), expected) << type;
    }

    // Byte fields hold their range instead of wrapping.
    WriteRecordBytes(SmallRecord("0", "", "Period=1\r\nContras=300"));
    EXPECT_EQ(Open({Standard, NoLock, Load})->Contras, 255);
}
