#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"
#include "tests/platform/HandMadeZip.h"
#include "tests/support/RecordingProgress.h"

#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/logs/LogList.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "platform/zip/ZipFile.h"
#include "shell/backup/BackupArchives.h"
#include "shell/backup/BackupRestore.h"
#include "shell/backup/BackupRestoreProcess.h"
#include "shell/inventory/DiskInventory.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QTest>
#include <QRegularExpression>

#include <chrono>
#include <filesystem>
#include <zip.h>

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
            if (name.contains("06.") && !name.endsWith(".LOG") && !name.contains(".restore-") &&
                !name.contains(".transfer-"))
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

// A file left under the year's name that the program never writes (a copy someone made) stays out
// of the backup, so the backup restores; archiving the transactions away leaves it where it was.
TEST_F(BackupRestoreTest, AStrayFileBesideTheYearNeitherEntersNorSpoilsTheBackup) {
    const QString stray = DataDir + "/ABC123/ABC12306.BAK";
    ASSERT_TRUE(WriteFileBytes(stray, "someone's copy"));
    TBackupRestoreRequest request = OnB(1);
    request.ArchiveFiles = true;
    ASSERT_EQ(Run(prBackup, request), 0);
    TUnzipFile archive;
    archive.ZipFile = Archive;
    ASSERT_EQ(archive.Open(), 0);
    EXPECT_TRUE(archive.EntryNames().contains("ABC123/ABC12306.PA9"));
    EXPECT_FALSE(archive.EntryNames().contains("ABC123/ABC12306.BAK"));
    EXPECT_FALSE(QFile::exists(DataDir + "/ABC123/ABC12306.PA9"));
    EXPECT_EQ(ReadFileBytes(stray), QByteArray("someone's copy"));

    TBackupRestoreRequest restore = OnB();
    restore.RestorePath = Archive;
    ASSERT_EQ(Run(prRestore, restore), 0);
    EXPECT_EQ(PaymentDetails(), (QStringList{"Rent", "Rent", "Rent"}));
}

// ---- Archives that must never cost a year -------------------------------------------------------

namespace {

// A backup of the year as it stood (three March payments), later work on top of it, and ways to
// doctor the archive the way damage or a hostile sender would.
class RestoreSafetyTest : public BackupRestoreTest {
protected:
    void SetUp() override {
        BackupRestoreTest::SetUp();
        ASSERT_EQ(Run(prBackup, OnB(1)), 0);
        Backup = Archive;
        BackedUp = YearFiles();
        BackedUpRecordBytes = ReadFileBytes(RecordPath());
        AddPayments(2, "Later");
        Before = YearFiles();
        ASSERT_NE(Before, BackedUp);
    }
    // Adds or replaces entries of an archive (stored as given, without encryption).
    static void Doctor(const QString& archive, const QMap<QString, QByteArray>& entries) {
        int error = 0;
        zip_t* zip = zip_open(QFile::encodeName(archive).constData(), 0, &error);
        ASSERT_NE(zip, nullptr) << error;
        zip_set_default_password(zip, "PZ_HOL");
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            // The bytes stay in the map until the archive is closed.
            zip_source_t* source = zip_source_buffer(zip, it.value().constData(), zip_uint64_t(it.value().size()), 0);
            ASSERT_NE(source, nullptr);
            ASSERT_GE(zip_file_add(zip, it.key().toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8),
                      0)
                << zip_strerror(zip);
        }
        ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
    }
    // The record as the backup holds it, with one line changed.
    QByteArray BackedUpRecord(const QByteArray& from, const QByteArray& to) const {
        QByteArray record = BackedUpRecordBytes;
        EXPECT_TRUE(record.contains(from)) << from.toStdString();
        return record.replace(from, to);
    }
    int Restore() {
        TBackupRestoreRequest restore = OnB();
        restore.RestorePath = Backup;
        return Run(prRestore, restore);
    }
    int RestoreLogCount() const {
        TLogList restores(lkRestore);
        restores.Load();
        return restores.Count();
    }
    QStringList WorkFolders() const {
        return QDir(DataDir).entryList({"*.restore-*", "*.transfer-*"}, QDir::AllEntries | QDir::Hidden);
    }

    QString Backup;
    QMap<QString, QByteArray> BackedUp, Before;
    QByteArray BackedUpRecordBytes;
};

} // namespace

// A backup whose record or charts do not read as this file's year is refused before anything in
// the data folder moves: the year, the record and its lock stay as they were, a box says what is
// wrong, and no restore is logged.
TEST_F(RestoreSafetyTest, AnArchivedYearThatDoesNotReadChangesNothing) {
    struct TCase {
        const char* Entry;
        QByteArray Bytes;
        QList<TMessageButton> Answers;
        const char* Shown;
    };
    const TCase cases[] = {
        {"ABC123.CFG", BackedUpRecord("Code=ABC123", "Code=XYZ999"), {TMessageButton::OK},
         "it holds the details of file XYZ999, not of ABC123."},
        {"ABC123.CFG", "[CONFIGURATION]\r\nName=No code\r\n", {TMessageButton::Cancel},
         "Unable to load file details."},
        {"ABC123.CFG", BackedUpRecord("Year=2006", "Year=twenty"), {TMessageButton::OK},
         "QUILVANE is unable to open file"},
        {"M_DETAIL/ABC12306.ADF", "not a chart at all", {TMessageButton::OK},
         "its file M_DETAIL/ABC12306.ADF cannot be read."},
    };
    const QByteArray record = ReadFileBytes(RecordPath());
    const QByteArray pristine = ReadFileBytes(Backup);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Shown);
        ASSERT_TRUE(WriteFileBytes(Backup, pristine));
        Doctor(Backup, {{c.Entry, c.Bytes}});
        for (const TMessageButton answer : c.Answers)
            Prompt->Answer(answer);
        Prompt->Shown.clear();
        EXPECT_EQ(Restore(), TBackupRestoreProcess::AlreadyReported);
        EXPECT_TRUE(Prompt->Texts().join('\n').contains(c.Shown)) << Prompt->Texts().join('\n').toStdString();
        EXPECT_EQ(YearFiles(), Before);
        EXPECT_EQ(ReadFileBytes(RecordPath()), record);
        EXPECT_EQ(RestoreLogCount(), 0);
        EXPECT_TRUE(WorkFolders().isEmpty());
        EXPECT_FALSE(TBackupRestoreProcess::ResultReport(TBackupRestoreProcess::AlreadyReported, prRestore).Show);
    }
    // The file still opens as it was.
    File->Close();
    File = TEntityInfo::Create("ABC123", {Standard, Load});
    File->OpenYear();
    EXPECT_EQ(PaymentDetails(), (QStringList{"Later", "Later", "Rent", "Rent", "Rent"}));
}

// An archive holding any name that would leave the data folder is refused whole, before anything
// is extracted, by the restore, the transfer in and the disk inventory alike, and the box names
// the entry; before, such an entry was passed over and the year came back without it.
TEST_F(RestoreSafetyTest, AnUnsafeEntryNameRefusesTheWholeArchive) {
    const QByteArray pristine = ReadFileBytes(Backup);
    ASSERT_EQ(Run(prTransferToClient, OnB()), 0);
    const QString transfer = Archive;
    const QByteArray pristineTransfer = ReadFileBytes(transfer);
    Before = YearFiles(); // the transfer out wrote the year's data first
    for (const char* name : {"../x", "/abs", "C:\\x", "ABC123\\..\\..\\x", "M_DETAIL/../../ABC12306.ADF"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteFileBytes(Backup, pristine));
        Doctor(Backup, {{name, "hostile"}});
        Prompt->Answer(TMessageButton::OK);
        Prompt->Shown.clear();
        EXPECT_EQ(Restore(), TBackupRestoreProcess::AlreadyReported);
        ASSERT_FALSE(Prompt->Shown.isEmpty());
        EXPECT_TRUE(Prompt->Shown.last().Text.contains(QString(name).replace('\\', '/')))
            << Prompt->Shown.last().Text.toStdString();
        EXPECT_EQ(YearFiles(), Before);

        ASSERT_TRUE(WriteFileBytes(transfer, pristineTransfer));
        Doctor(transfer, {{name, "hostile"}});
        Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(Run(prTransferFromClient, OnB(), (1u << 28) | (1u << 29)), TBackupRestoreProcess::AlreadyReported);
        EXPECT_EQ(YearFiles(), Before);
        EXPECT_TRUE(WorkFolders().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(TempPath("x")));
    EXPECT_FALSE(QFile::exists("/abs"));

    // The inventory's new file from the same hostile transfer archive.
    File->Close();
    File.reset();
    Params->LicFilePath = TempPath("CLIENT");
    ASSERT_TRUE(QDir().mkpath(Params->LicFilePath));
    TDiskInventory inventory;
    ASSERT_EQ(inventory.ScanTransferFiles(u'B'), 1);
    QString created;
    EXPECT_EQ(inventory.CreateFile(inventory.Files()[0], created), ZipResult::UnsafeEntry);
    EXPECT_TRUE(created.isEmpty());
    EXPECT_TRUE(QDir(Params->LicFilePath).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

// A backup made on another workstation carries that workstation's lock in its record; the restored
// record carries this one's, so the next open meets no override box.
TEST_F(RestoreSafetyTest, TheRestoredRecordCarriesThisWorkstationsLock) {
    for (const QByteArray& lockedBy : {QByteArray("LockedBy=OTHERPC"), QByteArray("LockedBy=")}) {
        Doctor(Backup, {{"ABC123.CFG", BackedUpRecord("LockedBy=WORKSTATION1", lockedBy)}});
        ASSERT_EQ(Restore(), 0);
        const QByteArray record = ReadFileBytes(RecordPath());
        EXPECT_TRUE(record.contains("Locked=1\r\n") && record.contains("LockedBy=WORKSTATION1\r\n"))
            << record.toStdString();
    }
    File->Close();
    File.reset();
    // Closed: this workstation gave its lock back, and the file opens without a question.
    File = TEntityInfo::Create("ABC123", {Standard, Load, InteractiveLock});
    EXPECT_TRUE(Prompt->Shown.isEmpty() || !Prompt->Shown.last().Text.contains("locked"));
}

// A restore stopped at any step of the exchange of the year's files (a kill, a power cut) leaves
// a year that the next open puts back whole: the old year, or the restored one when every restored
// file was already in place. Never half of each, never a year without its record.
TEST_F(RestoreSafetyTest, ARestoreStoppedAtAnyStepOpensAsOneWholeYear) {
    const auto differing = [](const QMap<QString, QByteArray>& a, const QMap<QString, QByteArray>& b) {
        QStringList names;
        for (const QString& name : a.keys() + b.keys())
            if (a.value(name) != b.value(name) && !names.contains(name))
                names << name;
        return names.join(' ').toStdString();
    };
    for (int stopAt = 1;; ++stopAt) {
        SCOPED_TRACE(stopAt);
        Before = YearFiles();
        const QByteArray record = ReadFileBytes(RecordPath());
        TReportSetup setup(File->RunFile(2006), 0, prRestore, 2006, false);
        TBackupRestoreProcess run(*File, setup);
        run.StepSeam = [stopAt](int step) { return step < stopAt; };
        TBackupRestoreRequest restore = OnB();
        restore.RestorePath = Backup;
        const int result = run.Run(restore);
        if (result == 0)
            break; // every step taken
        ASSERT_EQ(result, TBackupRestoreProcess::Failed);
        // The process is gone: nothing of it saves or closes anything.
        File.reset();
        File = TEntityInfo::Create("ABC123", {Standard, Load, NoLock});
        const QMap<QString, QByteArray> now = YearFiles();
        const bool old = now == Before;
        EXPECT_TRUE(old || now == BackedUp) << "old: " << differing(now, Before) << " new: " << differing(now, BackedUp);
        // Freeing the open file here gave its lock back, as a kill would not: the rest is compared.
        const auto unlocked = [](QByteArray bytes) {
            return QString::fromLatin1(bytes).remove(QRegularExpression("Locked(By)?=[^\r]*\r\n"));
        };
        if (old) {
            EXPECT_EQ(unlocked(ReadFileBytes(RecordPath())), unlocked(record));
        } else {
            EXPECT_TRUE(ReadFileBytes(RecordPath()).contains("LockedBy=WORKSTATION1\r\n"));
        }
        for (const QString& work : WorkFolders())
            EXPECT_FALSE(QFile::exists(DataDir + "/" + work + "/swap")) << work.toStdString();
        // Back to the later year for the next round.
        File.reset();
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        if (!old)
            AddPayments(2, "Later");
        ASSERT_LT(stopAt, 100);
    }
    EXPECT_EQ(PaymentDetails(), (QStringList{"Rent", "Rent", "Rent"}));
}

// An entry larger than any file of its kind the program writes is refused before it is written.
TEST_F(RestoreSafetyTest, AnEntryBeyondItsKindsSizeIsRefused) {
    Doctor(Backup, {{"ABC123/ABC12306.PA1", QByteArray(MaxTransactionFileBytes() + 1, '\0')}});
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Restore(), TBackupRestoreProcess::AlreadyReported);
    ASSERT_FALSE(Prompt->Shown.isEmpty());
    EXPECT_TRUE(Prompt->Shown.last().Text.contains("ABC12306.PA1")) << Prompt->Shown.last().Text.toStdString();
    EXPECT_EQ(YearFiles(), Before);
    EXPECT_TRUE(WorkFolders().isEmpty());
}

TEST(BackupArchivesSizes, EachKindOfEntryHasItsBound) {
    const struct {
        const char* Entry;
        qint64 Bound;
    } cases[] = {
        {"ABC123.cfg", 4ll << 20},
        {"M_DETAIL/ABC12306.ADF", 256ll << 20},
        {"BANK_REC\\ABC12306.BOB", 256ll << 20},
        {"ABC123/ABC12306.PA9", MaxTransactionFileBytes()},
        {"abc123\\ABC12306.OB", MaxTransactionFileBytes()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BackupArchives::MaxEntrySize(c.Entry), c.Bound) << c.Entry;
    EXPECT_EQ(MaxTransactionFileBytes(), (1 + MaxTransactionFileRecords) * TransactionRecordSize);
}

// Transfers in work in a folder of their own made for the run inside the data folder: a transfer
// folder in the data folder that is a link out of it is neither cleaned nor written, and the
// empty folders that earlier transfers in left there go.
TEST_F(RestoreSafetyTest, TransferInStagesInAFolderOfItsOwn) {
    ASSERT_EQ(Run(prTransferToClient, OnB()), 0);
    const QString outside = TempPath("OUTSIDE");
    ASSERT_TRUE(QDir().mkpath(outside + "/ABC123"));
    ASSERT_TRUE(WriteFileBytes(outside + "/ABC123.CFG", "outside record"));
    ASSERT_TRUE(WriteFileBytes(outside + "/ABC123/ABC12306.PA9", "outside month"));
    ASSERT_TRUE(QFile::link(outside, DataDir + "/TRANSFER"));
    ASSERT_EQ(Run(prTransferFromClient, OnB(), (1u << 28) | (1u << 29)), 0);
    EXPECT_EQ(ReadFileBytes(outside + "/ABC123.CFG"), "outside record");
    EXPECT_EQ(ReadFileBytes(outside + "/ABC123/ABC12306.PA9"), "outside month");
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' '), "ABC123 ABC123.CFG");
    EXPECT_TRUE(WorkFolders().isEmpty());

    ASSERT_TRUE(QFile::remove(DataDir + "/TRANSFER"));
    ASSERT_TRUE(QDir().mkpath(DataDir + "/TRANSFER/ABC123"));
    ASSERT_TRUE(QDir().mkpath(DataDir + "/TRANSFER/M_DETAIL"));
    ASSERT_EQ(Run(prTransferFromClient, OnB(), (1u << 28) | (1u << 29)), 0);
    EXPECT_TRUE(QDir(DataDir + "/TRANSFER").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(PaymentDetails(), (QStringList{"Later", "Later", "Rent", "Rent", "Rent"}));
}

// What killed runs left goes with the next run of the same kind for the file: only the program's
// own names, only plain files and folders older than a minute, never through a link.
TEST_F(RestoreSafetyTest, KilledRunsLeftoversGoWithTheNextRun) {
    const auto age = [](const QString& path) {
        std::filesystem::last_write_time(std::filesystem::path(QFile::encodeName(path).toStdString()),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
    };
    const QString stale = DataDir + "/ABC123.restore-Stale1";
    const QString young = DataDir + "/ABC123.restore-Young1";
    const QString foreign = DataDir + "/XYZ999.restore-Stale1";
    for (const QString& folder : {stale, young, foreign}) {
        ASSERT_TRUE(QDir().mkpath(folder + "/new"));
        ASSERT_TRUE(WriteFileBytes(folder + "/new/ABC123.CFG", "left"));
    }
    age(stale);
    age(foreign);
    ASSERT_EQ(Restore(), 0);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(young));
    EXPECT_TRUE(QFileInfo::exists(foreign));

    const QString backups = Drive + "/QUILVANE/BACKUPS/";
    for (const char* name : {"ABC12306.002.ab3de9", "ABC12306.001.zz9yy8", "XYZ99906.001.ab3de9"}) {
        ASSERT_TRUE(WriteFileBytes(backups + name, "partial"));
        age(backups + name);
    }
    ASSERT_TRUE(WriteFileBytes(backups + "ABC12306.003.young1", "partial"));
    ASSERT_EQ(Run(prBackup, OnB(2)), 0);
    EXPECT_EQ(QDir(backups).entryList(QDir::Files).join(' ').toStdString(),
              "ABC12306.001 ABC12306.002 ABC12306.003.young1 XYZ99906.001.ab3de9");
}

// The file's report layouts and formats: Replace takes the sender's; Merge and Update keep the
// file's own, and the result and the log say that the sender's were not merged.
TEST_F(BackupRestoreTest, ReportDefinitionsAreReplacedOnlyWhenAsked) {
    const QString layouts = DataDir + "/M_DETAIL/ABC123.RLO";
    const QString formats = DataDir + "/M_DETAIL/ABC123.RFT";
    ASSERT_TRUE(WriteFileBytes(layouts, "sender's layouts"));
    ASSERT_TRUE(WriteFileBytes(formats, "sender's formats"));
    ASSERT_EQ(Run(prTransferToAccountant, OnB()), 0);
    ASSERT_TRUE(WriteFileBytes(layouts, "own layouts"));
    ASSERT_TRUE(WriteFileBytes(formats, "own formats"));
    struct TCase {
        quint32 Selection;
        const char* Layouts;
        const char* Formats;
        bool Noted;
    };
    const quint32 layoutsGroup = 1u << 20, formatsGroup = 1u << 24;
    const TCase cases[] = {
        {layoutsGroup | (layoutsGroup << 2) | formatsGroup | (formatsGroup << 3), "own layouts", "own formats", true},
        {layoutsGroup | (layoutsGroup << 1), "sender's layouts", "own formats", false},
        {formatsGroup | (formatsGroup << 1), "sender's layouts", "sender's formats", false},
    };
    int logged = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Layouts);
        TReportSetup setup(File->RunFile(2006), 0, prTransferFromAccountant, 2006, false);
        setup.TransferSelection = c.Selection;
        setup.LogComment = "from the client";
        TBackupRestoreProcess run(*File, setup);
        TBackupRestoreRequest request = OnB();
        ASSERT_EQ(run.Run(request), 0);
        run.Log(0);
        EXPECT_EQ(ReadFileBytes(layouts), c.Layouts);
        EXPECT_EQ(ReadFileBytes(formats), c.Formats);
        EXPECT_EQ(run.Notes(), c.Noted ? QStringList{TBackupRestoreProcess::DefinitionsNotMergedText} : QStringList{});
        TLogList transfers(lkTransferIn);
        transfers.Load();
        ASSERT_EQ(transfers.Count(), ++logged);
        EXPECT_EQ(transfers.GetItem(logged - 1).AccountSelection,
                  c.Noted ? "from the client - " + TBackupRestoreProcess::DefinitionsNotMergedText
                          : QString("from the client"));
    }
}

// A restore cut off after the file's report definitions came in gives them back when it is put
// back: they are set aside like the year's files, not lost with the restored copies.
TEST_F(RestoreSafetyTest, AStoppedRestoreGivesTheReportDefinitionsBack) {
    const QString layouts = DataDir + "/M_DETAIL/ABC123.RLO";
    ASSERT_TRUE(WriteFileBytes(layouts, "layouts of the backup"));
    ASSERT_EQ(Run(prBackup, OnB(2)), 0);
    Backup = Archive;
    ASSERT_TRUE(WriteFileBytes(layouts, "later layouts"));
    for (int stopAt = 2;; ++stopAt) {
        SCOPED_TRACE(stopAt);
        TReportSetup setup(File->RunFile(2006), 0, prRestore, 2006, false);
        TBackupRestoreProcess run(*File, setup);
        run.StepSeam = [stopAt](int step) { return step < stopAt; };
        TBackupRestoreRequest restore = OnB();
        restore.RestorePath = Backup;
        if (run.Run(restore) == 0)
            break;
        File.reset();
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        const QByteArray now = ReadFileBytes(layouts);
        ASSERT_TRUE(now == "later layouts" || now == "layouts of the backup") << now.toStdString();
        if (now != "later layouts") {
            ASSERT_TRUE(WriteFileBytes(layouts, "later layouts"));
        }
        ASSERT_LT(stopAt, 100);
    }
    EXPECT_EQ(ReadFileBytes(layouts), "layouts of the backup");
}

// In the backup window Return moves from the log comment to the next field; it does not start the
// run. A restore's progress shows the chosen entry of the list.
TEST_F(BackupRestoreTest, ReturnMovesOnAndTheRestoreShowsItsListEntry) {
    TReportSetup setup(File->RunFile(2006), 0, prBackup, 2006, false);
    TfmBackupRestore dialog;
    dialog.SetupForm(*File, setup);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.edtLogFileComment->setFocus();
    QTest::keyClick(dialog.edtLogFileComment, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(QApplication::focusWidget(), dialog.edtLogFileComment);
    dialog.reject();

    ASSERT_EQ(Run(prBackup, OnB(1)), 0);
    TRecordingProgressFactory progress; // outlives the run's window
    TReportSetup restoreSetup(File->RunFile(2006), 0, prRestore, 2006, false);
    TBackupRestoreProcess run(*File, restoreSetup);
    run.SetProgress(progress.CreateProgress());
    TBackupRestoreRequest restore = OnB();
    restore.RestorePath = Archive;
    restore.ListText = "No. 1  (05 Mar 2006 at 3:04 pm)";
    ASSERT_EQ(run.Run(restore), 0);
    EXPECT_TRUE(progress.Log.contains("setup:ABC123|0|Restoring No. 1  (05 Mar 2006 at 3:04 pm)"))
        << progress.Log.join('|').toStdString();
    EXPECT_TRUE(progress.Log.contains("message:0|Restoring No. 1  (05 Mar 2006 at 3:04 pm)"));
}

// ---- Archives from other systems, and what a year can hold -----------------------------------------

namespace {

// Renames every entry of an archive as told (its data, encrypted or not, stays as it is).
void RenameEntries(const QString& archive, const std::function<QString(const QString&)>& rename) {
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), 0, &error);
    ASSERT_NE(zip, nullptr) << error;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        const QString name = QString::fromUtf8(zip_get_name(zip, zip_uint64_t(i), 0));
        ASSERT_EQ(zip_file_rename(zip, zip_uint64_t(i), rename(name).toUtf8().constData(), ZIP_FL_ENC_UTF_8),
                  0)
            << zip_strerror(zip);
    }
    ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
}

} // namespace

// A backup whose entries another zip tool or another system wrote in another letter case (or with
// backslashes) restores the year whole under the program's own names: the pages and charts read
// back, and no folder of another case is made beside the program's.
TEST_F(RestoreSafetyTest, ABackupInAnotherLetterCaseRestoresTheWholeYear) {
    const struct {
        const char* Name;
        std::function<QString(const QString&)> Rename;
    } cases[] = {
        {"folders in lower case",
         [](const QString& name) {
             return name.contains('/') ? name.section('/', 0, 0).toLower() + '/' + name.section('/', 1)
                                       : name;
         }},
        {"every name in lower case", [](const QString& name) { return name.toLower(); }},
        {"file names in lower case",
         [](const QString& name) {
             return name.section('/', 0, -2) + (name.contains('/') ? "/" : "") +
                    name.section('/', -1).toLower();
         }},
        {"mixed case and backslashes",
         [](const QString& name) {
             QString mixed = name;
             mixed.replace("ABC123/", "Abc123\\").replace("M_DETAIL/", "m_Detail\\");
             return mixed.left(mixed.size() - 1) + mixed.right(1).toLower();
         }},
    };
    const QByteArray pristine = ReadFileBytes(Backup);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(WriteFileBytes(Backup, pristine));
        RenameEntries(Backup, c.Rename);
        ASSERT_NE(YearFiles(), BackedUp);
        ASSERT_EQ(Restore(), 0);
        EXPECT_EQ(YearFiles(), BackedUp);
        for (const QString& folder : QDir(DataDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (folder.compare("ABC123", Qt::CaseInsensitive) == 0 ||
                folder.compare("M_DETAIL", Qt::CaseInsensitive) == 0) {
                EXPECT_TRUE(folder == "ABC123" || folder == "M_DETAIL") << folder.toStdString();
            }
        // Reopened, the year reads: its pages and its chart.
        File->Close();
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        EXPECT_EQ(PaymentDetails(), (QStringList{"Rent", "Rent", "Rent"}));
        TAccountsChart accounts(File->EntityDetail().ChartEntity(), File->EntityDetail().AccountFormat,
                                TOptionSet{Standard, Silent}, 2006, QString(), nullptr);
        EXPECT_EQ(accounts.LoadFromFile(TOptionSet{Standard, Silent}), 0);
        EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ABC12306.ADF"));
        AddPayments(2, "Later");
    }
}

// An archive beyond what a year can hold is refused whole with a box naming the entry, before
// anything in the data folder moves: an own entry that is no file the program writes, more entries
// than a year has files, entries that each fit their kind but together exceed the year.
TEST_F(RestoreSafetyTest, AnArchiveBeyondWhatAYearHoldsIsRefusedByName) {
    const QByteArray pristine = ReadFileBytes(Backup);
    const int entries = BackupArchives::MaxArchiveEntries("ABC123", 2006);
    const qint64 bytes = BackupArchives::MaxArchiveBytes("ABC123", 2006);
    // Reconciliation files, each declaring just under its bound, until they pass the year's.
    QList<THandMadeEntry> heavy;
    QString passing;
    qint64 sum = 0;
    for (const QString& name : BackupArchives::YearFileNames("ABC123", 2006)) {
        if (!name.startsWith("BANK_REC/") || name.endsWith(".BOB") || !passing.isEmpty())
            continue;
        const qint64 size = BackupArchives::MaxEntrySize(name) - 1;
        heavy.append({name.toUtf8(), "x", 0100644, false, quint64(size)});
        if ((sum += size) > bytes)
            passing = name;
    }
    ASSERT_FALSE(passing.isEmpty());
    QList<THandMadeEntry> many{{"ABC123.CFG", "record"}};
    for (int i = 1; i <= entries; ++i)
        many.append({QString("pad/%1").arg(i).toUtf8(), "x"});
    const struct {
        const char* Entry; // the entry the box names
        std::function<void()> Make;
    } cases[] = {
        {"BANK_REC/ABC12306.JNK",
         [&] {
             Doctor(Backup, {{"BANK_REC/ABC12306.JNK", QByteArray(1000, '\0')}});
         }},
        {"ABC123/ABC12306.ZZ9",
         [&] {
             Doctor(Backup, {{"ABC123/ABC12306.ZZ9", "junk"}});
         }},
        {"pad/", [&] { ASSERT_TRUE(WriteFileBytes(Backup, THandMadeZip::Build(many))); }},
        {"BANK_REC/ABC12306.R", [&] { ASSERT_TRUE(WriteFileBytes(Backup, THandMadeZip::Build(heavy))); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Entry);
        ASSERT_TRUE(WriteFileBytes(Backup, pristine));
        c.Make();
        Prompt->Answer(TMessageButton::OK);
        Prompt->Shown.clear();
        EXPECT_EQ(Restore(), TBackupRestoreProcess::AlreadyReported);
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_TRUE(Prompt->Shown[0].Text.contains(c.Entry)) << Prompt->Shown[0].Text.toStdString();
        EXPECT_EQ(YearFiles(), Before);
        EXPECT_EQ(RestoreLogCount(), 0);
        EXPECT_TRUE(WorkFolders().isEmpty());
    }
    EXPECT_TRUE(Prompt->Shown[0].Text.contains(passing));
    EXPECT_FALSE(QDir(DataDir + "/BANK_REC").exists());

    // The transfer in holds its archive to the same: an own entry of no kind is refused by name.
    ASSERT_EQ(Run(prTransferToClient, OnB()), 0);
    Before = YearFiles();
    Doctor(Archive, {{"abc123/abc12306.zz9", "junk"}});
    Prompt->Answer(TMessageButton::OK);
    Prompt->Shown.clear();
    EXPECT_EQ(Run(prTransferFromClient, OnB(), (1u << 28) | (1u << 29)),
              TBackupRestoreProcess::AlreadyReported);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(Prompt->Shown[0].Text.contains("abc123/abc12306.zz9")) << Prompt->Shown[0].Text.toStdString();
    EXPECT_EQ(YearFiles(), Before);

    // And so does the disk inventory's new file: more entries than a year has files.
    ASSERT_TRUE(WriteFileBytes(Archive, THandMadeZip::Build(many)));
    File->Close();
    File.reset();
    Params->LicFilePath = TempPath("CLIENT");
    ASSERT_TRUE(QDir().mkpath(Params->LicFilePath));
    TDiskInventory inventory;
    ASSERT_EQ(inventory.ScanTransferFiles(u'B'), 1);
    QString created;
    EXPECT_EQ(inventory.CreateFile(inventory.Files()[0], created), ZipResult::TooLarge);
    EXPECT_TRUE(inventory.ErrorText().contains("pad/")) << inventory.ErrorText().toStdString();
    EXPECT_TRUE(QDir(Params->LicFilePath)
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
}

// ---- Transfer in: all or nothing ----------------------------------------------------------------

namespace {

// A transfer archive of the year as it stood (three March payments), and later work on top of it.
class TransferInSafetyTest : public RestoreSafetyTest {
protected:
    void SetUp() override {
        RestoreSafetyTest::SetUp();
        ASSERT_EQ(Run(prTransferToClient, OnB()), 0);
        Transfer = Archive;
        Pristine = ReadFileBytes(Transfer);
        AddPayments(1, "Latest");
        Before = YearFiles();
        Record = ReadFileBytes(RecordPath());
    }
    int TransferIn(quint32 selection) { return Run(prTransferFromClient, OnB(), selection); }

    static constexpr quint32 ReplaceAccounts = 1u | 2u;
    static constexpr quint32 ReplaceTransactions = (1u << 28) | (1u << 29);
    QString Transfer;
    QByteArray Pristine, Record;
};

} // namespace

// A sender's chart that does not load is refused before the year's changes, whatever the user then
// answers when the year is saved: the year and the record stay byte for byte.
TEST_F(TransferInSafetyTest, ASendersChartThatDoesNotLoadChangesNothing) {
    for (const TMessageButton answer : {TMessageButton::No, TMessageButton::Yes}) {
        SCOPED_TRACE(int(answer));
        Record = ReadFileBytes(RecordPath());
        ASSERT_TRUE(WriteFileBytes(Transfer, Pristine));
        Doctor(Transfer, {{"M_DETAIL/ABC12306.ADF", "not a chart at all"}});
        Prompt->Answer(TMessageButton::OK);
        Prompt->Shown.clear();
        EXPECT_EQ(TransferIn(ReplaceAccounts | ReplaceTransactions), TBackupRestoreProcess::AlreadyReported);
        EXPECT_TRUE(Prompt->Texts().join('\n').contains("M_DETAIL/ABC12306.ADF"))
            << Prompt->Texts().join('\n').toStdString();
        EXPECT_EQ(ReadFileBytes(RecordPath()), Record);
        // Closing the file writes the year's charts; any question about the chart meets the answer.
        auto closing = std::make_shared<TScriptedPrompt>();
        closing->Answer(answer);
        TServices::SetPrompt(closing);
        File->Close();
        TServices::SetPrompt(Prompt);
        EXPECT_EQ(YearFiles(), Before);
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        EXPECT_TRUE(WorkFolders().isEmpty());
    }
}

// A group that fails after others were taken (here a page of the sender's that does not load, after
// a chart that does) leaves every group as it was.
TEST_F(TransferInSafetyTest, AFailingLaterGroupLeavesTheEarlierOnesAsTheyWere) {
    Doctor(Transfer, {{"M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {"bank"})},
                      {"ABC123/ABC12306.PA8", ReadFileBytes(DataDir + "/ABC123/ABC12306.PA9")},
                      {"ABC123/ABC12306.PA9", "not a page"}});
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(TransferIn(ReplaceAccounts | ReplaceTransactions), TBackupRestoreProcess::AlreadyReported);
    EXPECT_TRUE(Prompt->Texts().join('\n').contains("ABC123/ABC12306.PA9"))
        << Prompt->Texts().join('\n').toStdString();
    EXPECT_EQ(YearFiles(), Before);
    EXPECT_EQ(ReadFileBytes(RecordPath()), Record);
    EXPECT_TRUE(WorkFolders().isEmpty());
    EXPECT_EQ(PaymentDetails(), (QStringList{"Later", "Later", "Latest", "Rent", "Rent", "Rent"}));

    // Whole, the same groups go in together.
    ASSERT_TRUE(WriteFileBytes(Transfer, Pristine));
    Doctor(Transfer, {{"M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {"bank"})}});
    ASSERT_EQ(TransferIn(ReplaceAccounts | ReplaceTransactions), 0)
        << Prompt->Texts().join('\n').toStdString();
    EXPECT_TRUE(ReadFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF").contains(Stored("accounts", "bank")));
    EXPECT_EQ(PaymentDetails(), (QStringList{"Later", "Later", "Rent", "Rent", "Rent"}));
}

// A transfer in stopped at any step of its exchange (a kill, a power cut) leaves the year as it was
// once the file is opened again.
TEST_F(TransferInSafetyTest, ATransferStoppedAtAnyStepLeavesTheYearAsItWas) {
    int stopAt = 1;
    for (;; ++stopAt) {
        SCOPED_TRACE(stopAt);
        TReportSetup setup(File->RunFile(2006), 0, prTransferFromClient, 2006, false);
        setup.TransferSelection = ReplaceAccounts | ReplaceTransactions;
        setup.PageKinds = 1u << pkPayments;
        TBackupRestoreProcess run(*File, setup);
        run.StepSeam = [stopAt](int step) { return step < stopAt; };
        const int result = run.Run(OnB());
        if (result == 0)
            break;
        ASSERT_EQ(result, TBackupRestoreProcess::Failed);
        // The process is gone; the next open puts the year back.
        File.reset();
        File = TEntityInfo::Create("ABC123", {Standard, Load, NoLock});
        EXPECT_EQ(YearFiles(), Before);
        const auto unlocked = [](QByteArray bytes) {
            return QString::fromLatin1(bytes).remove(QRegularExpression("Locked(By)?=[^\r]*\r\n"));
        };
        EXPECT_EQ(unlocked(ReadFileBytes(RecordPath())), unlocked(Record));
        for (const QString& work : WorkFolders())
            EXPECT_FALSE(QFile::exists(DataDir + "/" + work + "/swap")) << work.toStdString();
        File.reset();
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        ASSERT_LT(stopAt, 100);
    }
    // The marker, each page and chart set aside and each put in: several steps, every one stopped.
    EXPECT_GT(stopAt, 4);
    EXPECT_EQ(PaymentDetails(), (QStringList{"Later", "Later", "Rent", "Rent", "Rent"}));
}

// Merged or updated into a file that has no report definitions of its own, the sender's become the
// file's; nothing says the file's own stayed.
TEST_F(BackupRestoreTest, AFileWithoutReportDefinitionsTakesTheSenders) {
    const QString layouts = DataDir + "/M_DETAIL/ABC123.RLO";
    ASSERT_TRUE(WriteFileBytes(layouts, "sender's layouts"));
    ASSERT_EQ(Run(prTransferToAccountant, OnB()), 0);
    const quint32 layoutsGroup = 1u << 20;
    for (const quint32 mode : {layoutsGroup << 2, layoutsGroup << 3}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(QFile::remove(layouts));
        TReportSetup setup(File->RunFile(2006), 0, prTransferFromAccountant, 2006, false);
        setup.TransferSelection = layoutsGroup | mode;
        TBackupRestoreProcess run(*File, setup);
        ASSERT_EQ(run.Run(OnB()), 0);
        EXPECT_EQ(ReadFileBytes(layouts), "sender's layouts");
        EXPECT_TRUE(run.Notes().isEmpty());
    }
}
