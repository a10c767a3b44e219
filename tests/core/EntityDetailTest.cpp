#include "tests/core/EntityTestSupport.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/files/RecordGuard.h"
#include "core/files/StoredFileWriter.h"

#include <tuple>
#include <utility>
#include <vector>

using EntityDetailTest = TEntityFixture;

// Records of every key with a value other than its default, laid out as a save lays them out,
// with an unknown key, section and retained-profit section that a save keeps as they are.
TEST_F(EntityDetailTest, FullRecordsLoadEveryFieldAndSaveToTheSameBytes) {
    for (const QString name : {"full_2006.cfg", "full_2001.cfg"}) {
        SCOPED_TRACE(name.toStdString());
        auto detail = LoadRecord(Golden(name));
        EXPECT_EQ(detail->GetBASSectionName(), detail->Year == 2001 ? "BAS" : "BAS 2006");
        EXPECT_EQ(QList<double>({detail->Created, double(detail->EndMonth), detail->GSTInstalmentQtr[4],
                                 detail->DeferredInstalmentQ[1], double(detail->GSTGroupFile[20].size())}),
                  QList<double>({732494.614583333, 3, 4.5, 0.1, 6}));
        ASSERT_EQ(detail->Save({Standard}), 0);
        EXPECT_EQ(ReadRecordBytes(), Golden(name));
    }
}

TEST_F(EntityDetailTest, ANewRecordSavesItsDefaults) {
    auto detail = Open({Standard, NoLock});
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(ReadRecordBytes(), Golden("new_2024.saved.cfg"));
    // Without a transfer folder the record and its charts use the transfer drive of a new file.
    detail->XferDir.clear();
    EXPECT_EQ(detail->GetFileName({TransferDrive}), "C:\\RORI\\ABC123\\ABC123.CFG");
    EXPECT_EQ(TStdDescChart(detail->ChartEntity(), {}, 2006).GetFileName({TransferDrive}),
              "C:\\RORI\\ABC123\\M_DETAIL\\ABC12306.STD");
    // A data folder on a mapped drive gives that drive.
    Params->LicFilePath = TempPath("SHARE/DATA");
    ASSERT_TRUE(QDir().mkpath(Params->LicFilePath));
    Files->MapDrive('Q', TempPath("SHARE"));
    detail = Open({Standard, NoLock}, "DEF456");
    EXPECT_EQ(detail->XferDir + detail->BackupDir, "Q:\\QUILVANE\\TRANSFERQ:\\QUILVANE\\BACKUPS");
}

// Each line replaces its key in a valid record of June year end, 12 periods, period 1.
class EntityYearSetUpTest : public TEntityFixture, public ::testing::WithParamInterface<const char*> {};
TEST_P(EntityYearSetUpTest, LoadsOnlyARealFinancialYear) {
    const QString line = GetParam();
    const bool valid = !line.startsWith('!');
    WriteRecordBytes(SmallRecord("0", "", line.mid(valid ? 0 : 1)));
    if (!valid)
        Prompt->Answer(TMessageButton::OK);
    try {
        Open({Standard, NoLock, Load});
    } catch (const EAbort&) {
    }
    // A load that fails says why.
    EXPECT_EQ(Prompt->Texts().join("").startsWith("QUILVANE is unable to open file \"ABC123\". Error: "),
              !valid);
    EXPECT_NO_THROW(Open({NoLock, SummaryLoad, Load})); // a summary load does not look
}
INSTANTIATE_TEST_SUITE_P(Boundaries, EntityYearSetUpTest,
                         ::testing::Values("EndMonth=12", "EndMonth=1", "!EndMonth=13", "!EndMonth=0",
                                           "Period=12", "!Period=13", "!Period=0", "Year=9999", "Year=1",
                                           "!Year=10000", "!Year=0", "!Year=70000", "!Periods=5",
                                           "!Periods=0", "!Periods=24"));

TEST_F(EntityDetailTest, AYearEndingInDecemberGivesCalendarPeriods) {
    // The first of a key counts: the lines of the original record after these are not read.
    auto detail =
        LoadRecord(SmallRecord("0", "", "Periods=4\r\nEndMonth=12\r\nPeriod=4").replace("2006", "2024"));
    EXPECT_EQ(detail->GetBASSectionName() + detail->TessalyFolder, "BAS 2024C:\\TessalySUP2007");
    EXPECT_EQ(PeriodStartDate(1, detail->Year, detail->Periods, detail->EndMonth), EncodeDateNum(2024, 1, 1));
    EXPECT_EQ(PeriodEndDate(detail->Period, detail->Year, detail->Periods, detail->EndMonth),
              EncodeDateNum(2024, 12, 31));
}

// Each member keeps the fields it names as the caller set them; the rest come from disk.
TEST_F(EntityDetailTest, LoadMembersKeepWhatTheCallerHolds) {
    auto detail = LoadRecord(Golden("full_2006.cfg"));
    const auto reloadWith = [&](int member) {
        detail->Year = 2030;
        detail->Periods = 6;
        detail->XferDir = detail->BASExportFilePath = detail->BASImportECIPath = "kept";
        detail->BackupHistory = {{2000, 99}};
        detail->DataEntryPages = QStringList{"kept"};
        detail->Locked = true;
        detail->LockedBy = detail->ABN = detail->SalaryWagesAccounts = "kept";
        EXPECT_EQ(detail->Load({member}), 0);
        return detail.get();
    };
    // Braced lists are read left to right: the reload comes first.
    using L = QStringList;
    const auto n = [](double value) { return QString::number(value); };
    EXPECT_EQ((L{n(reloadWith(KeepYear)->Year), detail->ABN}), (L{"2030", ""})); // a year set up afresh
    EXPECT_EQ((L{n(reloadWith(KeepPeriods)->Periods), n(detail->Year)}), (L{"6", "2006"}));
    EXPECT_EQ((L{reloadWith(KeepFolders)->XferDir, detail->BASExportFilePath, detail->BASImportECIPath,
                 detail->ABN}),
              (L{"kept", "kept", "kept", "12 345 678 901"}));
    EXPECT_EQ((L{n(reloadWith(KeepBackupHistory)->BackupCount(2000)), n(detail->BackupCount(2023))}),
              (L{"99", "1"}));
    EXPECT_EQ((L{n(reloadWith(KeepPages)->DataEntryPages.size()), n(detail->Locked)}), (L{"1", "0"}));
    EXPECT_EQ((L{reloadWith(KeepLockKeys)->LockedBy, n(detail->Locked), detail->XferDir}),
              (L{"kept", "1", "D:\\XFER"}));
    EXPECT_EQ((L{reloadWith(SkipBAS)->ABN, detail->SalaryWagesAccounts, detail->BASExportFilePath}),
              L(3, "kept"));
    EXPECT_EQ((L{reloadWith(SummaryLoad)->Name, detail->XferDir, n(detail->Year), n(detail->Locked)}),
              (L{"Acme Pty Ltd", "kept", "2030", "0"}));
}

TEST_F(EntityDetailTest, SaveMembersAndDeterministicBytes) {
    auto detail = LoadRecord(Golden("full_2006.cfg"));
    const auto abn = [&] { return TIniFile(RecordPath()).ReadString("BAS 2006", "ABN", ""); };
    detail->ABN = "  99 999 999 999  ";
    ASSERT_EQ(detail->Save({KeepBASSection}), 0);
    EXPECT_EQ(abn(), "12 345 678 901");
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(abn() + DiskKey("LockedBy"), "99 999 999 999");
    ASSERT_EQ(detail->Save({WriteLockedBy}), 0);
    EXPECT_EQ(DiskKey("LockedBy"), "WORKSTATION1");
    // An unchanged line keeps its spacing, also in a save to a new path.
    detail = LoadRecord(SmallRecord("0", "", "  LockedBy=").replace("Locked=0", "  Locked = 0"));
    ASSERT_TRUE(QDir(DataDir).mkpath("TRANSFER"));
    ASSERT_EQ(detail->Save({TransferFolder}), 0);
    EXPECT_TRUE(ReadFileBytes(DataDir + "/TRANSFER/ABC123.CFG").contains("\r\n  LockedBy=\r\n"));
}

// The year is set up for the first time: it takes its account ranges from the account format's
// master BAS file (the "_SUP" one for a super fund) and nothing else.
TEST_F(EntityDetailTest, HistoryBackupCountersImportFormatsAndANewYear) {
    ASSERT_TRUE(QDir(DataDir).mkpath("M_DETAIL"));
    for (const QString name : {"QUILVANE.BAS", "QUILVANE_SUP.BAS"})
        ASSERT_TRUE(QFile::copy(DataPath("M_DETAIL/" + name), DataDir + "/M_DETAIL/" + name));
    auto detail = LoadRecord(Golden("history_2006.cfg"));
    EXPECT_EQ(detail->BackupCount(1990) * 10 + detail->BackupCount(2027), 31); // "02027" is no year
    QList<int> formats;
    for (const TImportFormatEntry& entry : detail->ImportFormatHistory)
        formats << entry.Format;
    EXPECT_EQ(formats, QList<int>({6, 11, 0, 0}));
    detail->SetBackupCount(2031, 2);
    detail->ImportFormatHistory.removeAt(1);
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(ReadRecordBytes(), Golden("history_2006.saved.cfg"));
    EXPECT_EQ(LoadRecord(SmallRecord("0", "", "Type=SUP"))->SalaryWagesAccounts, "S0");
}

TEST_F(EntityDetailTest, LoadFailuresAreShownAndReturnFailure) {
    // No code: the box offers Retry, which reads the file again.
    WriteRecordBytes(SmallRecord("0", "", "Code="));
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_THROW(Open({Standard, NoLock, Load}), EAbort);
    EXPECT_EQ(Prompt->Texts().join(""),
              "Unable to load file details. Filename : " + DataDir + "\\ABC123.CFG");
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Cancel | TMessageButton::Retry);
    auto detail = Open({Standard, NoLock});
    Prompt->OnShow = [&] { WriteRecordBytes(SmallRecord()); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(detail->Load({Standard}), 0);
    Prompt->OnShow = nullptr;

    // The line given, the error shown (none with member 5 for an entity type).
    std::vector<std::pair<QString, QString>> cases = {
        {"Created=abc", "'abc' is not a valid floating point value"},
        {"Type=XYZ", "Entity type XYZ is not permitted."},
        {"Type=XYZ", ""}};
    for (const QString code : {"..\\..\\EVIL", "A/B", "C:X", "..", "AB*"})
        cases.push_back({"Code=" + code, "The file code " + code + " is not valid."});
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

    // A code given to Create gets the same check.
    for (const QString code : {"..", "A/B", "A\\B", "C:X", "", "AB\x01", "A?"})
        EXPECT_THROW(Open({Standard, NoLock}, code), EQuilvaneError) << code.toStdString();
}

// An empty record is a damaged one: its box names it before any lock is taken, and Retry looks
// again. (A missing one ends the open silently, below.)
TEST_F(EntityDetailTest, AnEmptyRecordIsShownAsADamagedOne) {
    WriteRecordBytes("");
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_THROW(Open({Standard, Load}), EAbort);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{"Unable to load file details. Filename : " + DataDir + "\\ABC123.CFG"});
    EXPECT_EQ(Prompt->Shown.value(0).Buttons, TMessageButton::Cancel | TMessageButton::Retry);
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Error);
    EXPECT_EQ(ReadRecordBytes(), QByteArray()) << "no lock keys are written into it";
    Prompt->OnShow = [&] { WriteRecordBytes(SmallRecord()); };
    Prompt->Answer(TMessageButton::Retry);
    auto detail = Open({Standard, Load});
    EXPECT_TRUE(detail->Locked);
    EXPECT_EQ(Prompt->Shown.size(), 2);
}

TEST_F(EntityDetailTest, UnregisteredAccountFormatIsRefusedAndTheLockGivenBack) {
    WriteRecordBytes(SmallRecord("0", "", "AccFormatID=NOSUCH"));
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(Open({Standard, Load}), EAbort);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unregistered account format for this file - Access denied."});
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Information);
    EXPECT_EQ(DiskKey("Locked") + DiskKey("LockedBy"), "0");
    // A missing record with member 7 ends silently before any load.
    EXPECT_THROW(Open({Standard, NoLock, Load}, "NONE01"), EAbort);
}

TEST_F(EntityDetailTest, ASaveProtectsTheNewRecordBeforeItsRenameAndOffersRetryOnAGuardedOne) {
    auto detail = LoadRecord(SmallRecord());
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(Files->Log, QStringList({"protect:ABC123.CFG.~qv"})); // the old record is never unprotected
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
    EXPECT_EQ(ReadRecordBytes(), before);
    Prompt->OnShow = [&] { guard.reset(); };
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
            auto detail = LoadRecord(SmallRecord());
            if (kind == Link || kind == Dangling) {
                ASSERT_TRUE(QFile::remove(RecordPath()));
                ASSERT_TRUE(kind == Dangling || WriteFileBytes(outside, "outside"));
                ASSERT_TRUE(QFile::link(outside, RecordPath()));
            }
            Files->RefuseUnprotect = kind == Refused;
            const TOptionSet where = kind == NoFolder ? TOptionSet{TransferFolder} : TOptionSet{Standard};
            ASSERT_TRUE(kind != NoFolder || WriteFileBytes(DataDir + "/TRANSFER", "a file, not a folder"));
            const QByteArray before = ReadRecordBytes();
            const QStringList log = Files->Log;
            EXPECT_THROW(lock && kind != NoFolder ? detail->LockFile(true, true) : detail->Save(where) == 0,
                         EQuilvaneError);
            EXPECT_EQ(ReadRecordBytes(), before);
            EXPECT_EQ(QFileInfo::exists(outside), kind == Link);
            EXPECT_EQ(Files->Log == log, kind != Refused);
            QFile::remove(DataDir + "/TRANSFER");
        }
    }
}

namespace {

// Whether the file's mode lets anyone write it (the user bits say what this process may do,
// and a test may run as an all-powerful user).
bool Writable(const QString& path) {
    return QFile::permissions(path) &
           (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther);
}

} // namespace

// However a write ends, the record stays protected: a write whose new file cannot be given the
// record's protection never replaces the record, which is left as it was, never made writable,
// and no temporary file is left beside it.
TEST_F(EntityDetailTest, AFailedWriteLeavesTheRecordProtectedAsItWas) {
    auto detail = LoadRecord(SmallRecord());
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_FALSE(Writable(RecordPath()));
    const QByteArray saved = ReadRecordBytes();
    Files->RefuseUnprotect = true;
    detail->Name = "Changed";
    for (const bool lock : {false, true}) {
        SCOPED_TRACE(lock);
        Files->Log.clear();
        try {
            lock ? detail->LockFile(true, false) : detail->Save({Standard}) == 0;
            ADD_FAILURE() << "the write did not fail";
        } catch (const EQuilvaneError& error) {
            EXPECT_EQ(error.message(),
                      "Unable to write " + RecordPath() + ": the new file cannot be protected");
        }
        EXPECT_EQ(Files->Log, QStringList{"protect:ABC123.CFG.~qv"});
        EXPECT_FALSE(Writable(RecordPath()));
        EXPECT_EQ(ReadRecordBytes(), saved);
        EXPECT_EQ(QDir(DataDir).entryList(QDir::Files | QDir::Hidden), QStringList{"ABC123.CFG"});
    }
    Files->RefuseUnprotect = false;
}

// The record is never writable on disk, whenever its write stops: the new file is protected
// before it is renamed over the record, and the old one is never made writable. A writer stopped
// just before its rename leaves the old record, one stopped just after it the new one, each
// protected; so does a new record's first write.
TEST_F(EntityDetailTest, ARecordIsNeverWritableWheneverItsWriteStops) {
    using TStep = TStoredFileWriter::TCommitStep;
    const auto unhook = qScopeGuard([] { TStoredFileWriter::SetCommitStepHook({}); });
    auto detail = LoadRecord(SmallRecord());
    ASSERT_EQ(detail->Save({Standard}), 0);
    ASSERT_FALSE(Writable(RecordPath()));
    int change = 0;
    for (const TStep stopAt : {TStep::BeforeRename, TStep::AfterRename}) {
        for (const bool lock : {false, true}) {
            SCOPED_TRACE(testing::Message() << (stopAt == TStep::AfterRename) << lock);
            const QByteArray before = ReadRecordBytes();
            QStringList seen; // the step, then whether the record and the new file could be written
            TStoredFileWriter::SetCommitStepHook([&](TStep step, const QString& temp, const QString& target) {
                seen << QString("%1:%2%3")
                            .arg(step == TStep::BeforeRename ? "before" : "after")
                            .arg(Writable(target))
                            .arg(step == TStep::BeforeRename ? QString::number(Writable(temp)) : "");
                if (step == stopAt)
                    throw EQuilvaneError("stopped");
            });
            detail->Name = QString("Changed %1").arg(++change);
            EXPECT_THROW(lock ? detail->LockFile(!detail->Locked, false) : detail->Save({Standard}) == 0,
                         EQuilvaneError);
            EXPECT_EQ(seen.join(' ').toStdString(),
                      stopAt == TStep::BeforeRename ? "before:00" : "before:00 after:0");
            EXPECT_FALSE(Writable(RecordPath()));
            EXPECT_EQ(ReadRecordBytes() == before, stopAt == TStep::BeforeRename);
        }
    }
    // A new record is protected before its name first appears.
    QStringList seen;
    TStoredFileWriter::SetCommitStepHook([&](TStep step, const QString& temp, const QString& target) {
        seen << QString("%1%2")
                    .arg(QFileInfo::exists(target))
                    .arg(Writable(step == TStep::BeforeRename ? temp : target));
    });
    auto fresh = Open({Standard, NoLock}, "NEW001");
    ASSERT_EQ(fresh->Save({Standard}), 0);
    EXPECT_EQ(seen.join(' ').toStdString(), "00 10");
    EXPECT_FALSE(Writable(RecordPath("NEW001")));
}

// The default chart is read from the data folder (a bare name from its M_DETAIL folder), or is a
// chart file the user chose by its full path. A stored name that climbs out of the data folder
// (backslashes and slashes alike), or leads out of it through a link, is not used: the record
// still opens, with the default chart of its account format and type (a company's here) and a
// warning that says so, and its next save stores that chart in place of the refused one.
TEST_F(EntityDetailTest, ADefaultChartOutsideTheDataFolderFallsBackToTheFormatsDefaultChart) {
    const QString outside = TempPath("OUTSIDE");
    ASSERT_TRUE(QDir().mkpath(outside) && QDir().mkpath(DataDir + "/M_DETAIL") &&
                WriteFileBytes(outside + "/X.ADF", "chart"));
    ASSERT_TRUE(QFile::link(outside, DataDir + "/LINKED") &&
                QFile::link(outside + "/X.ADF", DataDir + "/M_DETAIL/LINK.NSP") &&
                QFile::link(outside + "/NONE.ADF", DataDir + "/M_DETAIL/DANGLING.NSP"));
    ASSERT_TRUE(QDir().mkpath(DataDir + "/CHARTS") && WriteFileBytes(DataDir + "/CHARTS/X.ADF", "chart"));
    // clang-format off
    const std::pair<QString, bool> cases[] = {
        {"QUILVANE.NSP", true}, {"M_DETAIL\\QUILVANE.NSP", true}, {"CHARTS\\X.ADF", true},
        {"CHARTS/NEW.ADF", true}, {"C:\\CHARTS\\X.ADF", true}, {outside + "/X.ADF", true}, {"", true},
        {"..\\..\\OUTSIDE\\X.ADF", false}, {"..\\X.ADF", false}, {"M_DETAIL\\..\\..\\X.ADF", false},
        {"../OUTSIDE/X.ADF", false}, {"../outside/x.ADF", false}, {"CHARTS/../../X.ADF", false},
        {"CHARTS\\..\\..\\X.ADF", false}, {"C:\\DATA\\..\\X.ADF", false}, {"C:/DATA/../X.ADF", false},
        {"LINKED\\X.ADF", false}, {"LINKED/X.ADF", false}, {"LINK.NSP", false}, {"DANGLING.NSP", false}};
    // clang-format on
    for (const auto& [name, inside] : cases) {
        SCOPED_TRACE(name.toStdString());
        WriteRecordBytes(SmallRecord("0", "", "AccFormatID=QUILVANE\r\nAccDefault=" + name));
        Prompt->Shown.clear();
        if (!inside)
            Prompt->Answer(TMessageButton::OK);
        std::unique_ptr<TEntityDetail> detail;
        ASSERT_NO_THROW(detail = Open({Standard, NoLock, Load}));
        EXPECT_EQ(detail->AccDefault.toStdString(), (inside ? name : "QUILVANE.COY").toStdString());
        EXPECT_EQ(Prompt->Texts().join("").toStdString(),
                  inside ? std::string()
                         : ("The default chart " + name +
                            " lies outside the data folder. The default chart QUILVANE.COY is used instead.")
                               .toStdString());
        if (!inside) {
            EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Warning);
            ASSERT_EQ(detail->Save({Standard}), 0);
            EXPECT_EQ(DiskKey("AccDefault").toStdString(), "QUILVANE.COY");
        }
    }
}

// The practice's default charts (accounts and tax codes) and the master activity-statement file
// lie in the shared M_DETAIL folder of the data folder: none is read through a link, whether the
// folder leads out of the data folder or the file itself is a link (here to a file beside it). A
// refused default chart of accounts is reported as a year's chart is and the year holds its
// suspense account alone; refused default tax codes or master file are taken as missing ones.
TEST_F(EntityDetailTest, TheDefaultChartsAndTheMasterActivityStatementAreNeverReadThroughALink) {
    enum class TLink { None, Folder, File };
    enum class TRead { Accounts, TaxCodes, MasterBAS };
    const QString folder = DataDir + "/M_DETAIL";
    const QString outside = TempPath("OUTSIDE");
    ASSERT_TRUE(QDir().mkpath(outside));
    const std::pair<QString, QByteArray> files[] = {
        {"QUILVANE.COY", ReadFileBytes(TProgramParams::ShippedStandardChartPath())},
        {"QUILVANE.TXR", ReadFileBytes(TProgramParams::ShippedTaxCodesPath())},
        {"QUILVANE.BAS", ReadFileBytes(DataPath("M_DETAIL/QUILVANE.BAS"))}};
    for (const auto& [name, bytes] : files)
        ASSERT_TRUE(!bytes.isEmpty() && WriteFileBytes(outside + "/" + name, bytes));
    const QString outsideText = " lies outside the data folder; the program does not read through links that "
                                "lead out of it";
    const QString linkText = " is a symbolic link; the program does not read through links";
    const struct {
        TRead Read;
        TLink Link;
        QString Refusal; // of the default chart of accounts, after its path
    } cases[] = {
        {TRead::Accounts, TLink::None, {}},       {TRead::Accounts, TLink::Folder, outsideText},
        {TRead::Accounts, TLink::File, linkText}, {TRead::TaxCodes, TLink::None, {}},
        {TRead::TaxCodes, TLink::Folder, {}},     {TRead::TaxCodes, TLink::File, {}},
        {TRead::MasterBAS, TLink::None, {}},      {TRead::MasterBAS, TLink::Folder, {}},
        {TRead::MasterBAS, TLink::File, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "read " << static_cast<int>(c.Read) << ", link " << static_cast<int>(c.Link));
        if (QFileInfo(folder).isSymLink())
            ASSERT_TRUE(QFile::remove(folder));
        else
            ASSERT_TRUE(QDir(folder).removeRecursively());
        if (c.Link == TLink::Folder) {
            ASSERT_TRUE(QFile::link(outside, folder));
        } else {
            ASSERT_TRUE(QDir().mkpath(folder));
            for (const auto& [name, bytes] : files) {
                const QString own = c.Link == TLink::File ? "OWN." + QFileInfo(name).suffix() : name;
                ASSERT_TRUE(WriteFileBytes(folder + "/" + own, bytes));
                if (c.Link == TLink::File) {
                    ASSERT_TRUE(QFile::link(folder + "/" + own, folder + "/" + name));
                }
            }
        }
        WriteRecordBytes(SmallRecord("0", "", "AccFormatID=QUILVANE\r\nAccDefault=QUILVANE.COY"));
        std::unique_ptr<TEntityDetail> detail;
        ASSERT_NO_THROW(detail = Open({Standard, NoLock, Load}));
        ASSERT_TRUE(Prompt->Shown.isEmpty()) << Prompt->Texts().join("|").toStdString();
        const bool plain = c.Link == TLink::None;
        switch (c.Read) {
        case TRead::Accounts: {
            TAccountsChart chart(detail->ChartEntity(), detail->AccountFormat, {}, detail->Year);
            if (!plain)
                Prompt->Answer(TMessageButton::Ignore);
            EXPECT_EQ(chart.LoadFromFile({}), plain ? 0 : -1);
            EXPECT_EQ(chart.Count() > 1, plain);
            EXPECT_EQ(Prompt->Texts().join("|").toStdString(),
                      plain ? std::string()
                            : ("Unable to load 2006 Accounts file for ABC123. \r(" + folder +
                               "/QUILVANE.COY" + c.Refusal + ")")
                                  .toStdString());
            break;
        }
        case TRead::TaxCodes: {
            TTaxRateChart chart(detail->ChartEntity(), nullptr, detail->AccountFormat, {}, detail->Year);
            EXPECT_EQ(chart.LoadFromFile({}), 0);
            EXPECT_EQ(chart.Count() > 0, plain);
            EXPECT_TRUE(Prompt->Shown.isEmpty());
            break;
        }
        case TRead::MasterBAS:
            EXPECT_EQ(detail->SalaryWagesAccounts, plain ? "R0" : "");
            break;
        }
        Prompt->Shown.clear();
    }
}

TEST_F(EntityDetailTest, ProfitDistributionAddressesAndSmallRules) {
    auto detail = LoadRecord(Golden("full_2006.cfg"));
    detail->LoadProfitDistribution(2006);
    EXPECT_EQ(detail->ProfitDistribution, QStringList({"Member A,50", "Member B,50"}));
    detail->ProfitDistribution = QStringList{"Member C,100"};
    detail->SaveProfitDistribution(2007);
    EXPECT_EQ(detail->ReadSectionValues("RETAINED PROFIT DISTRIBUTION 2007") +
                  detail->ReadSection("RETAINED PROFIT DISTRIBUTION 2006"),
              QStringList({"0=Member C,100", "0", "1"}));
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
    detail = LoadRecord(SmallRecord("0", "", "Period=1\r\nContras=300\r\n[BAS 2006]\r\nGSTRegistration=999"));
    EXPECT_EQ(detail->Contras + detail->GSTRegistration, 510);
}
