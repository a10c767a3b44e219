#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/logs/LogList.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "platform/zip/ZipFile.h"
#include "shell/backup/BackupRestoreProcess.h"
#include "shell/inventory/DiskInventory.h"

#include <QDirIterator>

namespace {

namespace TF = TransactionFlag;

// File ABC123 (year to June 2006) open with its charts, a March payments page of three entries on
// disk, and drive B standing for a folder of the test, where the archives go.
class BackupRestoreTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TEntityInfo::SetSessionLog([](const TLogSession&) {});
        Drive = TempPath("B");
        ASSERT_TRUE(QDir().mkpath(Drive));
        Files->MapDrive(u'B', Drive);
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        AddPayments(3, "Rent");
    }
    void TearDown() override {
        if (File)
            File->Close();
        File.reset();
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    // Adds entries to the March payments page and writes the year.
    void AddPayments(int count, const QString& details) {
        const int index = File->OpenDataEntryPage(pkPayments, 9, TOptionSet{Standard, Load}, false);
        ASSERT_GE(index, 0);
        TTransactionList& list = File->DataEntryPage(index)->List();
        for (int i = 0; i < count; ++i) {
            auto entry = std::make_unique<TTransactionDetail>(list.TakeNextID(9), qint16(pkPayments));
            entry->Flags = 1u << TF::Keyed;
            entry->Date = EncodeDateNum(2006, 3, 10 + i);
            entry->Amount = 10.0 * (i + 1);
            entry->SetDetails(details);
            list.InsertTransaction(list.Count() - 1, std::move(entry), 0);
        }
        while (File->DataEntryPageCount() > 0)
            File->DeleteDataEntryPage(0);
    }
    int Run(int process, const TBackupRestoreRequest& request, quint32 selection = 0) {
        TReportSetup setup(File->RunFile(2006), 0, process, 2006, false);
        setup.TransferSelection = selection;
        setup.PageKinds = 1u << pkPayments;
        setup.LogComment = "for the test";
        TBackupRestoreProcess run(*File, setup);
        const int result = run.Run(request);
        run.Log(result);
        Archive = run.ArchivePath();
        return result;
    }
    TBackupRestoreRequest OnB(int number = 0) const {
        TBackupRestoreRequest request;
        request.Drive = u'B';
        request.BackupNumber = number;
        return request;
    }
    // Every file of the year under the data folder with its bytes.
    QMap<QString, QByteArray> YearFiles() const {
        QMap<QString, QByteArray> files;
        QDirIterator it(DataDir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QDir(DataDir).relativeFilePath(path);
            if (name.contains("06.") && !name.endsWith(".LOG"))
                files[name] = ReadFileBytes(path);
        }
        return files;
    }
    QStringList PaymentDetails() const {
        TTransactionList list(File->ListSources(2006), pkPayments, 2006, 9, 12, TOptionSet{QuietLoad});
        QStringList details;
        for (int i = 0; i < list.Count(); ++i)
            if (!list.GetItem(i)->HasAnyFlag({TF::Contra, TF::Blank}))
                details << list.GetItem(i)->Details() +
                               (list.GetItem(i)->HasAnyFlag({TF::Highlight}) ? "*" : "");
        details.sort();
        return details;
    }

    QString Drive;
    QString Archive;
    std::unique_ptr<TEntityInfo> File;
};

} // namespace

// A backup comes back byte for byte over later changes; the record keeps this session's lock and
// backup numbers; the run is logged.
TEST_F(BackupRestoreTest, ABackupRestoresTheYearByteForByte) {
    ASSERT_EQ(Run(prBackup, OnB(1)), 0);
    EXPECT_EQ(Archive.toStdString(), (Drive + "/QUILVANE/BACKUPS/ABC12306.001").toStdString());
    const QMap<QString, QByteArray> backedUp = YearFiles();
    ASSERT_TRUE(backedUp.contains("ABC123/ABC12306.PA9"));

    AddPayments(2, "Later");
    File->EntityDetail().Name = "Changed Name";
    File->EntityDetail().Save(TOptionSet{Standard});
    ASSERT_NE(YearFiles().value("ABC123/ABC12306.PA9"), backedUp.value("ABC123/ABC12306.PA9"));

    TBackupRestoreRequest restore = OnB();
    restore.RestorePath = Archive;
    ASSERT_EQ(Run(prRestore, restore), 0);
    const QMap<QString, QByteArray> restored = YearFiles();
    for (const QString& name : backedUp.keys())
        EXPECT_EQ(restored.value(name), backedUp.value(name)) << name.toStdString();
    EXPECT_EQ(PaymentDetails(), (QStringList{"Rent", "Rent", "Rent"}));
    EXPECT_EQ(File->EntityDetail().Name, TEntityDetail::Create("ABC123", {Standard, NoLock, Load})->Name);
    EXPECT_NE(File->EntityDetail().Name, "Changed Name");
    const QByteArray record = ReadFileBytes(RecordPath());
    EXPECT_TRUE(record.contains("Locked=1") && record.contains("LockedBy=WORKSTATION1"));
    // No working folder is left beside the data.
    EXPECT_TRUE(QDir(DataDir).entryList({"*.restore-*"}, QDir::AllEntries | QDir::Hidden).isEmpty());

    TLogList backups(lkBackup);
    backups.Load();
    ASSERT_EQ(backups.Count(), 1);
    EXPECT_EQ(backups.GetItem(0).FileSpec, Archive);
}

// A damaged backup is refused before anything of the file is touched.
TEST_F(BackupRestoreTest, ADamagedBackupChangesNothing) {
    ASSERT_EQ(Run(prBackup, OnB(1)), 0);
    QByteArray bytes = ReadFileBytes(Archive);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x55);
    ASSERT_TRUE(WriteFileBytes(Archive, bytes));
    AddPayments(1, "Kept");
    const QMap<QString, QByteArray> before = YearFiles();
    TBackupRestoreRequest restore = OnB();
    restore.RestorePath = Archive;
    EXPECT_EQ(Run(prRestore, restore), TBackupRestoreProcess::CorruptBackup);
    EXPECT_EQ(YearFiles(), before);
    TLogList restores(lkRestore);
    restores.Load();
    EXPECT_EQ(restores.Count(), 0); // a failed run is not logged
}

// A number already on the drive is refused and raised; old backups beyond the kept levels go, one
// at a time.
TEST_F(BackupRestoreTest, BackupNumbersAreNeverReusedAndOldOnesArePruned) {
    ASSERT_TRUE(QDir().mkpath(Drive + "/QUILVANE/BACKUPS"));
    ASSERT_TRUE(WriteFileBytes(Drive + "/QUILVANE/BACKUPS/ABC12306.004", "older"));
    File->EntityDetail().SetBackupCount(2006, 4);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Run(prBackup, OnB(4)), TBackupRestoreProcess::InvalidBackupID);
    EXPECT_EQ(Prompt->Shown.last().Text, TBackupRestoreProcess::InvalidBackupIDText);
    EXPECT_EQ(File->EntityDetail().BackupCount(2006), 5);
    EXPECT_EQ(ReadFileBytes(Drive + "/QUILVANE/BACKUPS/ABC12306.004"), "older");

    Params->LevelsOfBackup = 3;
    for (const char* name : {"ABC12306.001", "ABC12306.002", "ABC12306.003"})
        ASSERT_TRUE(WriteFileBytes(Drive + "/QUILVANE/BACKUPS/" + name, "old"));
    ASSERT_EQ(Run(prBackup, OnB(5)), 0);
    EXPECT_EQ(QDir(Drive + "/QUILVANE/BACKUPS").entryList(QDir::Files).join(' '),
              "ABC12306.001 ABC12306.003 ABC12306.004 ABC12306.005");
}

// An old transfer archive that the user will not replace stays as it was.
TEST_F(BackupRestoreTest, ATransferArchiveIsReplacedOnlyWhenTheUserSaysSo) {
    ASSERT_EQ(Run(prTransferToClient, OnB()), 0);
    EXPECT_EQ(Archive.toStdString(), (Drive + "/QUILVANE/TRANSFER/ABC12306.QTF").toStdString());
    const QByteArray first = ReadFileBytes(Archive);
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_EQ(Run(prTransferToClient, OnB()), TBackupRestoreProcess::NotReplaced);
    EXPECT_EQ(Prompt->Shown.last().Text, TBackupRestoreProcess::ReplaceTransferText.arg("ABC123"));
    EXPECT_EQ(ReadFileBytes(Archive), first);
    TLogList transfers(lkTransferOut);
    transfers.Load();
    EXPECT_EQ(transfers.Count(), 1);
}

// A transfer from a file with another year-end month is refused and changes nothing; one that
// matches appends the sender's transactions after the file's own, marked.
TEST_F(BackupRestoreTest, TransferInRefusesAForeignYearAndAppendsTransactions) {
    ASSERT_EQ(Run(prTransferToAccountant, OnB()), 0);
    const quint32 appendTransactions = (1u << 28) | (1u << 31);

    File->EntityDetail().EndMonth = 12;
    const QMap<QString, QByteArray> before = YearFiles();
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Run(prTransferFromClient, OnB(), appendTransactions), TBackupRestoreProcess::TransferRefused);
    EXPECT_EQ(Prompt->Shown.last().Text,
              TBackupRestoreProcess::NotPermittedText +
                  "year end month does not match. (Current = Dec ; Transfer = Jun)");
    EXPECT_EQ(Prompt->Shown.last().HelpContext, 12200);
    EXPECT_EQ(YearFiles(), before);
    File->EntityDetail().EndMonth = 6;

    ASSERT_EQ(Run(prTransferFromAccountant, OnB(), appendTransactions), 0);
    EXPECT_EQ(PaymentDetails(), (QStringList{"Rent", "Rent", "Rent", "Rent*", "Rent*", "Rent*"}));
    const QByteArray record = ReadFileBytes(RecordPath());
    EXPECT_TRUE(record.contains("LockedBy=WORKSTATION1"));
}

TEST(BackupRestoreReport, EachResultHasItsBeepBoxAndText) {
    struct TCase {
        int Result;
        int Process;
        bool Show;
        TBeep Beep;
        const char* Text;
    };
    const TCase cases[] = {
        {0, prBackup, true, TBeep::Default, "Backup completed successfully."},
        {0, prTransferToClient, true, TBeep::Default, "Data transfer completed successfully."},
        {-118, prBackup, false, TBeep::Default, ""},
        {-117, prRestore, true, TBeep::Warning,
         "The backup you are attempting to restore is corrupt - restore cancelled."},
        {-101, prTransferToAccountant, true, TBeep::Warning, "Data transfer cancelled."},
        {-113, prTransferFromClient, true, TBeep::Warning, "Data transfer cancelled."},
        {-100, prRestore, true, TBeep::Warning, "Restore cancelled."},
        {7, prBackup, true, TBeep::Error, "Backup could not be completed. (7)"},
    };
    for (const TCase& c : cases) {
        const auto report = TBackupRestoreProcess::ResultReport(c.Result, c.Process);
        EXPECT_EQ(report.Show, c.Show) << c.Result;
        if (c.Show) {
            EXPECT_EQ(std::pair(report.Beep, report.Text), std::pair(c.Beep, QString(c.Text))) << c.Result;
        }
    }
}

// The practice transfers the year to its client, whose machine creates the file from the archive
// and takes the transactions in; the client's work comes back to the practice the same way.
TEST_F(BackupRestoreTest, AYearTravelsToTheClientAndBack) {
    const quint32 replaceTransactions = (1u << 28) | (1u << 29);
    ASSERT_EQ(Run(prTransferToClient, OnB()), 0);
    File->Close();
    File.reset();
    const QString practice = DataDir;

    Params->LicFilePath = TempPath("CLIENT");
    ASSERT_TRUE(QDir().mkpath(Params->LicFilePath));
    TDiskInventory inventory;
    ASSERT_EQ(inventory.ScanTransferFiles(u'B'), 1);
    ASSERT_TRUE(inventory.Files()[0].NewFile);
    QString created;
    ASSERT_EQ(inventory.CreateFile(inventory.Files()[0], created), 0);
    EXPECT_EQ(created, "ABC123");
    DataDir = Params->LicFilePath;
    File = TEntityInfo::Create("ABC123", {Standard, Load});
    File->OpenYear();
    ASSERT_EQ(Run(prTransferFromAccountant, OnB(), replaceTransactions), 0);
    EXPECT_EQ(PaymentDetails(), (QStringList{"Rent", "Rent", "Rent"}));
    AddPayments(2, "Client");
    Prompt->Answer(TMessageButton::Yes); // replace the archive the practice sent
    ASSERT_EQ(Run(prTransferToAccountant, OnB()), 0);
    File->Close();
    File.reset();

    Params->LicFilePath = DataDir = practice;
    File = TEntityInfo::Create("ABC123", {Standard, Load});
    File->OpenYear();
    ASSERT_EQ(Run(prTransferFromClient, OnB(), replaceTransactions), 0);
    EXPECT_EQ(PaymentDetails(), (QStringList{"Client", "Client", "Rent", "Rent", "Rent"}));
}

// Archiving takes the year's transaction files away only once they are in a backup that reads back.
TEST_F(BackupRestoreTest, ArchivingRemovesTheYearsTransactionsIntoTheBackup) {
    TBackupRestoreRequest request = OnB(1);
    request.ArchiveFiles = true;
    ASSERT_EQ(Run(prBackup, request), 0);
    EXPECT_FALSE(QFile::exists(DataDir + "/ABC123/ABC12306.PA9"));
    TUnzipFile archive;
    archive.ZipFile = Archive;
    ASSERT_EQ(archive.Open(), 0);
    EXPECT_TRUE(archive.EntryNames().contains("ABC123/ABC12306.PA9"));
    EXPECT_TRUE(archive.EntryNames().contains("M_DETAIL/ABC12306.ADF"));
}
