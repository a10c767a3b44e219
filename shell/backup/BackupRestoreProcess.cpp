#include "shell/backup/BackupRestoreProcess.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/files/FileSwap.h"
#include "core/files/Paths.h"
#include "core/logs/LogList.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "platform/zip/ZipFile.h"
#include "shell/backup/ArchiveComment.h"
#include "shell/backup/BackupArchives.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

namespace {

namespace TF = TransactionFlag;

// Transfer selection groups and their modes (four bits a group: include, Replace, Merge, Update or
// Append).
enum TGroup : int {
    grAccounts = 0,
    grBankRecOpening = 1,
    grStdDescriptions = 2,
    grTaxRates = 3,
    grCurrencyRates = 4,
    grReportLayouts = 5,
    grReportFormats = 6,
    grTransactions = 7,
};
enum TMode : int { moReplace = 1, moMerge = 2, moUpdate = 3 };

bool Included(quint32 word, int group) {
    return (word >> (4 * group) & 1u) != 0;
}
int ModeOf(quint32 word, int group) {
    const quint32 bits = word >> (4 * group);
    if (bits & 8u)
        return moUpdate;
    if (bits & 4u)
        return moMerge;
    return moReplace;
}

bool IsTransfer(int process) {
    return process >= prTransferToClient && process <= prTransferToAccountant;
}
bool IsTransferIn(int process) {
    return process == prTransferFromClient || process == prTransferFromAccountant;
}

// Moves a file into place, replacing what is there in one step.
bool MoveInto(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(to.toStdString()).parent_path(), error);
    std::filesystem::rename(from.toStdString(), to.toStdString(), error);
    return !error;
}

// Copies a file over another through a temporary beside it, so the target is whole or as it was.
bool CopyInto(const QString& from, const QString& to) {
    const QString temporary = to + QStringLiteral(".qvtmp");
    QFile::remove(temporary);
    QDir().mkpath(QFileInfo(to).absolutePath());
    if (!QFile::copy(from, temporary))
        return false;
    if (!MoveInto(temporary, to)) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

// The relative names ('/') of the regular files under a folder.
QStringList FilesUnder(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    return names;
}

// The files of one folder whose names match a wildcard, case-insensitively (regular files only).
QStringList MatchingFiles(const QString& folder, const QString& pattern) {
    QStringList found;
    const QDir dir(folder);
    const QRegularExpression wanted(QRegularExpression::wildcardToRegularExpression(pattern),
                                    QRegularExpression::CaseInsensitiveOption);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (wanted.match(info.fileName()).hasMatch())
            found << info.absoluteFilePath();
    return found;
}

// A fresh folder of a run's own inside the data folder, removed with everything in it when the
// run ends unless kept. It is made by the run (never one that was there), never through a link:
// a data folder that is itself a link is refused.
class TWorkFolder {
public:
    TWorkFolder(const QString& parent, const QString& prefix) {
        if (QFileInfo(parent).isSymLink())
            throw EQuilvaneError(QStringLiteral("%1 is a symbolic link; the program does not work through links")
                                     .arg(QDir::toNativeSeparators(parent)));
        QTemporaryDir made(QDir(parent).filePath(prefix + QStringLiteral("XXXXXX")));
        if (!made.isValid())
            throw EQuilvaneError(QStringLiteral("Unable to create a working folder in %1: %2")
                                     .arg(QDir::toNativeSeparators(parent), made.errorString()));
        made.setAutoRemove(false);
        Folder = made.path();
    }
    ~TWorkFolder() {
        if (!Kept) {
            std::error_code error;
            std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(Folder).toStdString()), error);
        }
    }
    TWorkFolder(const TWorkFolder&) = delete;
    TWorkFolder& operator=(const TWorkFolder&) = delete;
    const QString& Path() const { return Folder; }
    // Left for whoever finishes with it (a change stopped at a step).
    void Keep() { Kept = true; }

private:
    QString Folder;
    bool Kept = false;
};

} // namespace

TBackupRestoreProcess::TBackupRestoreProcess(TEntityInfo& file, TReportSetup& setup)
    : File(file), Detail(file.EntityDetail()), Setup(setup), Process(setup.ProcessKind) {}

TBackupRestoreProcess::~TBackupRestoreProcess() = default;

void TBackupRestoreProcess::SetProgress(std::unique_ptr<IProgress> progress) {
    Progress = std::move(progress);
}

bool TBackupRestoreProcess::IsTransferOut() const {
    return Process == prTransferToClient || Process == prTransferToAccountant;
}

void TBackupRestoreProcess::Message(const QString& text) {
    if (Progress)
        Progress->SetMessage(0, text);
}

void TBackupRestoreProcess::Position(double percent) {
    if (Progress)
        Progress->SetPosition(percent);
    if (Progress && Progress->Cancelled())
        throw EOperationCancelled();
}

QString TBackupRestoreProcess::DataFolder() const {
    return QFileInfo(Detail.NativeFileName(TOptionSet{Option::Standard})).absolutePath();
}

QString TBackupRestoreProcess::ArchiveFolder(QChar drive) const {
    const bool transfer = IsTransfer(Process);
    // A record without a transfer folder works with the default one of a new file.
    return NativePath(
        BackupArchives::ArchiveFolder(transfer ? Detail.ChartEntity().XferDir : Detail.BackupDir, drive));
}

QString TBackupRestoreProcess::NameInData(const QString& programName) const {
    if (programName.isEmpty())
        return QString();
    const QString data = DataFolder();
    const QString folderName = programName.section(u'/', 0, -2);
    const QString folder =
        folderName.isEmpty()
            ? data
            : TServices::FileSystem().ResolveCaseInsensitive(QDir(data).filePath(folderName));
    return QDir(data).relativeFilePath(QDir(folder).filePath(programName.section(u'/', -1)));
}

QString TBackupRestoreProcess::TransferArchive(QChar drive) const {
    return QDir(ArchiveFolder(drive))
        .filePath(BackupArchives::TransferArchiveName(Detail.FileCode, Detail.Year));
}

QStringList TBackupRestoreProcess::OwnPatterns(bool forBackup) const {
    QStringList patterns = BackupArchives::IncludePatterns(Detail.FileCode, Detail.Year, forBackup);
    for (QString& pattern : patterns)
        pattern.replace(u'\\', u'/');
    return patterns;
}

bool TBackupRestoreProcess::IsOwnEntry(const QString& entry, bool forBackup) const {
    QString name = entry;
    name.replace(u'\\', u'/');
    // A pattern's wildcards stand only in its last part: the folder part must be the same.
    const QString folder = name.section(u'/', 0, -2);
    const QString last = name.section(u'/', -1);
    for (const QString& pattern : OwnPatterns(forBackup)) {
        if (pattern.section(u'/', 0, -2).compare(folder, Qt::CaseInsensitive) != 0)
            continue;
        const QRegularExpression wanted(
            QRegularExpression::wildcardToRegularExpression(pattern.section(u'/', -1)),
            QRegularExpression::CaseInsensitiveOption);
        if (wanted.match(last).hasMatch())
            return true;
    }
    return false;
}

int TBackupRestoreProcess::Run(const TBackupRestoreRequest& request) {
    int result = 0;
    try {
        if (Process == prRestore)
            result = Restore(request);
        else if (IsTransferIn(Process))
            result = TransferIn(request);
        else
            result = Backup(request);
    } catch (const EOperationCancelled&) {
        result = Cancelled;
    } catch (const EAbort&) {
        result = Failed;
    } catch (const std::exception& error) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ErrorText(error), TMessageButton::OK);
        result = Failed;
    }
    Setup.ResultCode = result;
    return result;
}

// ---- backup and transfer out ---------------------------------------------------------------------

int TBackupRestoreProcess::Backup(const TBackupRestoreRequest& request) {
    const bool backup = Process == prBackup;
    const int year = Detail.Year;
    if (Progress)
        Progress->Setup(Detail.FileCode, backup ? 0 : 4,
                        backup ? QStringLiteral("Backing up ...") : QString(), true, true);
    TOptionSet saveOptions{Option::Standard};
    File.SaveYearCharts(year, saveOptions, false);
    File.DataIntegrityCheck(year, true, false);

    const QString folder = ArchiveFolder(request.Drive);
    // Archives of this file and year that killed runs left half-written.
    TZipFile::RemoveStaleTemporaries(
        folder, backup ? Detail.FileCode + BackupArchives::TwoDigitYear(year) + QStringLiteral(".*")
                       : BackupArchives::TransferArchiveName(Detail.FileCode, year));
    Archive = QDir(folder).filePath(
        backup ? BackupArchives::BackupArchiveName(Detail.FileCode, year, request.BackupNumber)
               : BackupArchives::TransferArchiveName(Detail.FileCode, year));
    if (QFileInfo::exists(Archive)) {
        if (backup) {
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, InvalidBackupIDText,
                               TMessageButton::OK);
            Detail.SetBackupCount(year, Detail.BackupCount(year) + 1);
            Detail.Save(TOptionSet{Option::Standard});
            return InvalidBackupID;
        }
        // The old archive stays until the new one is complete: the writer renames over it.
        if (MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question,
                               ReplaceTransferText.arg(Detail.FileCode),
                               TMessageButton::Yes | TMessageButton::Cancel) != TMessageButton::Yes)
            return NotReplaced;
    }
    if (!QDir().mkpath(folder))
        throw EQuilvaneError(QStringLiteral("Unable to create the folder %1.").arg(folder));

    TZipFile zip;
    zip.ZipFile = Archive;
    zip.BaseFolder = DataFolder();
    zip.IncludeOnly = BackupArchives::IncludePatterns(Detail.FileCode, year, backup);
    // Only the files a restore or a transfer in takes back: a stray file under the year's name
    // (a copy someone left in the file's folder) would make the whole archive unrestorable.
    zip.Accept = [code = Detail.FileCode, year](const QString& entry) {
        return !BackupArchives::ProgramFileName(entry, code, year).isEmpty();
    };
    zip.CompFactor = 9;
    zip.EncryptCode = ArchivePassword.toString();
    zip.Comment = BuildArchiveComment(request.MemoRtf, QDateTime::currentDateTime(), !backup);
    zip.OnProgress = [this](int percent) { Position(percent); };
    const int result = zip.Create();
    if (result != 0)
        return result;

    if (!backup)
        return 0;
    // Nothing older goes, and no transaction file is archived away, before the new archive reads
    // back whole.
    const int levels = TServices::Settings().LevelsOfBackup;
    const int prune = BackupArchives::PruneTarget(request.BackupNumber, levels);
    if (request.ArchiveFiles || prune > 0) {
        TUnzipFile check;
        check.ZipFile = Archive;
        check.DecryptCode = zip.EncryptCode;
        const int tested =
            check.Open() == 0 ? check.Test({QStringLiteral("*.*")}, true) : ZipResult::CorruptArchive;
        if (tested != 0) {
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ArchiveNotTestedText.arg(Archive),
                               TMessageButton::OK);
            return tested;
        }
    }
    if (request.ArchiveFiles) {
        // Only the transaction files now safe in the archive go; a file left out of it stays.
        const QString code = Detail.FileCode;
        const QStringList added = zip.Added();
        for (const QString& path : MatchingFiles(QDir(DataFolder()).filePath(code),
                                                 code + BackupArchives::TwoDigitYear(year) + ".*"))
            if (added.contains(QDir(DataFolder()).relativeFilePath(path)))
                QFile::remove(path);
    }
    Detail.SetBackupCount(year, std::max(Detail.BackupCount(year), request.BackupNumber));
    if (prune > 0)
        QFile::remove(QDir(folder).filePath(BackupArchives::BackupArchiveName(Detail.FileCode, year, prune)));
    Detail.Save(TOptionSet{Option::Standard});
    return 0;
}

// ---- restore -------------------------------------------------------------------------------------

int TBackupRestoreProcess::Restore(const TBackupRestoreRequest& request) {
    Archive = request.RestorePath;
    const QString data = DataFolder();
    const QString code = Detail.FileCode;
    const QString restoring =
        QStringLiteral("Restoring ") + (request.ListText.isEmpty() ? QFileInfo(Archive).fileName() : request.ListText);
    if (Progress)
        Progress->Setup(code, 0, restoring, true, true);
    // A restore of this file that stopped half-way is put back whole first, and what killed runs
    // left beside the data goes.
    TFileSwap::Recover(data, code + RestoreWorkInfix.toString());

    TUnzipFile unzip;
    unzip.ZipFile = Archive;
    unzip.DecryptCode = ArchivePassword.toString();
    unzip.OnProgress = [this](int percent) { Position(percent); };
    BackupArchives::HoldToYear(unzip, code, Detail.Year);
    // Each file comes in under the name the program writes for it, in the folder where the
    // program looks for it, whatever case the archive gives it.
    unzip.NameOf = [this, code](const QString& entry) {
        return NameInData(BackupArchives::ProgramFileName(entry, code, Detail.Year));
    };
    const auto own = [this](const QString& entry) { return IsOwnEntry(entry, true); };

    // The archive is tested by extracting the file's own entries into a folder beside the data;
    // nothing of the file changes until every entry came out whole, the record and the charts
    // read back, and the record is this file's.
    Message(QStringLiteral("Testing backup file integrity ..."));
    TWorkFolder work(data, code + RestoreWorkInfix.toString());
    const QString staged = QDir(work.Path()).filePath(QStringLiteral("new"));
    int unzipped = unzip.Open();
    if (unzipped == 0)
        unzipped = unzip.Test({QStringLiteral("*.*")}, true, own);
    if (unzipped == 0)
        unzipped = unzip.Extract({QStringLiteral("*.*")}, staged, true, true, own);
    if (unzipped != 0)
        return RefuseArchive(unzipped, unzip.ErrorText());
    QStringList incoming = FilesUnder(staged);
    const QString recordName = QFileInfo(Detail.NativeFileName(TOptionSet{Option::Standard})).fileName();
    const auto stagedRecord = std::find_if(incoming.begin(), incoming.end(), [&](const QString& name) {
        return name.compare(recordName, Qt::CaseInsensitive) == 0;
    });
    if (stagedRecord == incoming.end())
        return CorruptBackup;
    // The record takes the name of the one it replaces, whatever case the archive gave it.
    if (*stagedRecord != recordName &&
        !MoveInto(QDir(staged).filePath(*stagedRecord), QDir(staged).filePath(recordName)))
        throw EQuilvaneError(QStringLiteral("Unable to write to the folder %1.").arg(staged));
    incoming.erase(stagedRecord);
    incoming << recordName;
    if (const int checked = CheckStagedYear(QDir(staged).filePath(recordName), staged); checked != 0)
        return checked;

    // The year's files now on disk: the record, the transaction files, the charts and the
    // bank-reconciliation files (these last only when the archive brings them back; an archive
    // holding only the openings leaves the reconciliation files as they are).
    Position(0);
    Message(QStringLiteral("Removing current files ..."));
    const QString yearMask = code + BackupArchives::TwoDigitYear(Detail.Year) + QStringLiteral(".*");
    const auto folder = [&data](const QString& name) {
        return TServices::FileSystem().ResolveCaseInsensitive(QDir(data).filePath(name));
    };
    QStringList current = MatchingFiles(data, recordName);
    current += MatchingFiles(folder(code), yearMask);
    current += MatchingFiles(folder(QStringLiteral("M_DETAIL")), yearMask);
    const bool bringsReconciliation =
        std::count_if(incoming.begin(), incoming.end(), [](const QString& name) {
            return name.startsWith(QStringLiteral("BANK_REC/"), Qt::CaseInsensitive) &&
                   !name.endsWith(QStringLiteral(".BOB"), Qt::CaseInsensitive);
        }) > 0;
    current += MatchingFiles(folder(QStringLiteral("BANK_REC")),
                             bringsReconciliation ? yearMask : yearMask.left(yearMask.size() - 1) + "BOB");
    for (QString& path : current)
        path = QDir(data).relativeFilePath(path);
    // Every other file the archive brings back (the report layouts and formats, which carry no
    // year) is set aside too, so that a restore given up puts the file's own back.
    for (const QString& name : incoming) {
        const QString live = TServices::FileSystem().ResolveCaseInsensitive(QDir(data).filePath(name));
        const QFileInfo info(live);
        const QString relative = QDir(data).relativeFilePath(live);
        if (info.isFile() && !info.isSymLink() && !current.contains(relative, Qt::CaseInsensitive))
            current << relative;
    }

    // The restored record keeps this session's folders, backup numbers, year, pages and lock: it
    // is rewritten so on its way in, the last file to move, so that a year whose every new file
    // stands in place is a whole restored year.
    const TOptionSet keep{Option::Standard,    Option::KeepFolders, Option::KeepBackupHistory, Option::KeepYear,
                          Option::KeepPages, Option::KeepLockKeys};
    const QString ownRecord = Detail.FileName;
    const auto placeRecord = [&](const QString& from, const QString&) {
        Detail.FileName = from;
        const int loaded = Detail.Load(keep);
        Detail.FileName = ownRecord;
        if (loaded != 0)
            throw EAbort();
        Detail.Save(TOptionSet{Option::Standard, Option::WriteLockedBy});
    };
    TFileSwap swap(data, work.Path());
    swap.OnStep = StepSeam;
    Message(restoring);
    try {
        if (!swap.Run(current, incoming, {recordName}, placeRecord)) {
            work.Keep(); // stopped where a kill would have stopped it
            return Failed;
        }
        File.ChangeYear(Detail.Year, false, false);
        const int saved = Detail.Save(TOptionSet{Option::Standard, Option::WriteLockedBy});
        if (saved != 0)
            throw EAbort();
    } catch (...) {
        // The year goes back to what it was, on disk and in memory.
        Detail.FileName = ownRecord;
        swap.Undo();
        if (swap.Unsettled())
            work.Keep(); // a move back failed: the next open puts the rest back
        try {
            Detail.Load(keep);
            File.ChangeYear(Detail.Year, false, false);
        } catch (const std::exception&) {
            // The first failure is the one the user hears of.
        }
        throw;
    }
    swap.Finish();
    work.Keep();
    return 0;
}

int TBackupRestoreProcess::RefuseArchive(int code, const QString& reason) {
    switch (code) {
    case ZipResult::CorruptArchive:
    case ZipResult::ReadFailed:
    case ZipResult::WrongPassword:
    case ZipResult::UnsupportedMethod:
    case ZipResult::NothingMatched:
    case ZipResult::ArchiveNotFound:
        return Process == prRestore ? CorruptBackup : code;
    default:
        // Refused for what it holds (a name leading out of the data, an entry larger than any
        // file the program writes) or for want of room: the box names the entry.
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, reason, TMessageButton::OK);
        return AlreadyReported;
    }
}

void TBackupRestoreProcess::RemoveOldTransferFolders() const {
    const QString transfer = NativePath(BuildPath({ProgramParams().LicFilePath, TransferFolderName.toString()}));
    if (transfer.isEmpty() || QFileInfo(transfer).isSymLink())
        return;
    for (const QString& name : {Detail.FileCode, QStringLiteral("M_DETAIL")}) {
        const QString folder = TServices::FileSystem().ResolveCaseInsensitive(QDir(transfer).filePath(name));
        // rmdir takes only an empty folder and never follows a link.
        if (!QFileInfo(folder).isSymLink())
            QDir(transfer).rmdir(QFileInfo(folder).fileName());
    }
}

int TBackupRestoreProcess::CheckStagedYear(const QString& recordPath, const QString& stagedFolder) {
    const auto refuse = [this](const QString& text) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           QStringLiteral("The backup %1 cannot be restored: %2")
                               .arg(QDir::toNativeSeparators(Archive), text),
                           TMessageButton::OK);
        return AlreadyReported;
    };
    const std::unique_ptr<TEntityDetail> arrived =
        TEntityDetail::Create(Detail.FileCode, TOptionSet{Option::Standard, Option::NoLock});
    arrived->FileName = recordPath;
    // Load says what is wrong with a record it cannot read.
    if (arrived->Load(TOptionSet{Option::Standard, Option::NoLock}) != 0)
        return AlreadyReported;
    if (arrived->FileCode.compare(Detail.FileCode, Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("it holds the details of file %1, not of %2.")
                          .arg(arrived->FileCode, Detail.FileCode));
    arrived->RequireAccountFormat();

    // The staged charts are read as the restored year will read them.
    TChartEntity entity = arrived->ChartEntity();
    entity.DataDir = stagedFolder;
    entity.AccDefault.clear();
    const int year = Detail.Year;
    const TOptionSet quiet{Option::Standard, Option::Silent};
    TStdDescChart descriptions(entity, quiet, year);
    TAccountsChart accounts(entity, arrived->AccountFormat, quiet, year, QString(), &descriptions);
    TTaxRateChart taxes(entity, &accounts, arrived->AccountFormat, quiet, year);
    TCurrConvRatesChart rates(entity, quiet, year);
    TBankRecOpeningDetailChart openings(entity, &accounts, arrived->AccountFormat, quiet, year);
    TMasterChart* const charts[] = {&descriptions, &accounts, &taxes, &rates, &openings};
    for (TMasterChart* chart : charts) {
        const int loaded = chart->LoadFromFile(quiet);
        if (loaded != 0)
            return refuse(QStringLiteral("its file %1 cannot be read.")
                              .arg(QDir(stagedFolder).relativeFilePath(NativePath(chart->GetFileName(quiet)))));
    }
    return 0;
}

// ---- transfer in ---------------------------------------------------------------------------------

int TBackupRestoreProcess::TransferIn(const TBackupRestoreRequest& request) {
    Archive = TransferArchive(request.Drive);
    if (Progress)
        Progress->Setup(Detail.FileCode, 4, QString(), true, true);
    const QString data = DataFolder();
    const QString code = Detail.FileCode;
    // Working folders of killed runs, and the empty folders that transfers once left in the
    // program's transfer folder.
    TFileSwap::Recover(data, code + TransferWorkInfix.toString());
    RemoveOldTransferFolders();

    TUnzipFile unzip;
    unzip.ZipFile = Archive;
    unzip.DecryptCode = ArchivePassword.toString();
    BackupArchives::HoldToYear(unzip, code, Detail.Year);
    const auto own = [this](const QString& entry) { return IsOwnEntry(entry, false); };
    int result = unzip.Open();
    if (result != 0)
        return result;

    // The archive's entries land in a folder of this run's own inside the data folder, laid out
    // as the program's transfer folder and under the names the program writes, where the record,
    // chart and transaction loads find them.
    TWorkFolder work(data, code + TransferWorkInfix.toString());
    const QString staging = QDir(work.Path()).filePath(TransferFolderName.mid(1).toString());
    result = unzip.Extract({QStringLiteral("*.*")}, staging, true, true, own);
    if (result != 0)
        return RefuseArchive(result, unzip.ErrorText());
    const QString stagedRecord =
        NativePath(QDir(staging).filePath(code + DetailRecordExtension.toString()));
    if (!QFileInfo(stagedRecord).isFile())
        return ZipResult::NothingMatched;
    const TOptionSet second{Option::Standard, Option::NoLock, Option::KeepLockKeys};
    const std::unique_ptr<TEntityDetail> arrived = TEntityDetail::Create(code, second);
    arrived->FileName = stagedRecord;
    if (arrived->Load(second) != 0)
        return Failed;
    if (arrived->FileCode.compare(code, Qt::CaseInsensitive) != 0) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           QStringLiteral("The transfer file %1 holds the details of file %2, not of %3.")
                               .arg(QDir::toNativeSeparators(Archive), arrived->FileCode, code),
                           TMessageButton::OK);
        return AlreadyReported;
    }

    if (arrived->Name.compare(Detail.Name, Qt::CaseInsensitive) != 0) {
        TServices::Prompt().Beep(TBeep::Information);
        if (TServices::Prompt().ShowMessage(
                TMessageKind::Information, NameMismatchText.arg(arrived->Name, Detail.Name),
                TMessageButton::OK | TMessageButton::Cancel) != TMessageButton::OK)
            return Cancelled;
    }
    const QLocale english(QLocale::English);
    QString mismatch;
    if (arrived->Currency != Detail.Currency)
        mismatch = QStringLiteral("base currency does not match. (Current = %1 ; Transfer = %2)")
                       .arg(Detail.Currency, arrived->Currency);
    else if (arrived->AccFormatID != Detail.AccFormatID)
        mismatch = QStringLiteral("accounts format does not match. (Current = %1 ; Transfer = %2)")
                       .arg(Detail.AccFormatID, arrived->AccFormatID);
    else if (arrived->EndMonth != Detail.EndMonth)
        mismatch = QStringLiteral("year end month does not match. (Current = %1 ; Transfer = %2)")
                       .arg(english.monthName(Detail.EndMonth, QLocale::ShortFormat),
                            english.monthName(arrived->EndMonth, QLocale::ShortFormat));
    if (!mismatch.isEmpty()) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, NotPermittedText + mismatch,
                           TMessageButton::OK, 12200);
        return TransferRefused;
    }

    // Every file of the year that the groups change is made first in the working folder's "new"
    // folder, from staged charts and pages that loaded there; nothing of the year changes until
    // all of them stand ready. They then go in through the same marked exchange as a restore, the
    // record last, so that a run that fails or is stopped leaves the year as it was.
    const quint32 word = Setup.TransferSelection;
    bool reload =
        Included(word, grAccounts) || Included(word, grBankRecOpening) || Included(word, grTransactions);
    TOptionSet keep{Option::KeepFolders, Option::KeepBackupHistory, Option::KeepYear, Option::KeepPages,
                    Option::KeepLockKeys};
    if (Process == prTransferFromClient) {
        keep.Include(Option::SkipBAS);
        keep.Include(Option::KeepPeriods);
    }
    const QString incoming = QDir(work.Path()).filePath(QStringLiteral("new"));
    const QString recordName = QFileInfo(Detail.NativeFileName(TOptionSet{Option::Standard})).fileName();
    if (!CopyInto(stagedRecord, QDir(incoming).filePath(recordName)))
        throw EQuilvaneError(QStringLiteral("Unable to write to the folder %1.").arg(incoming));
    QList<TMasterChart*> changedCharts;
    result = TransferGroups(staging, work.Path(), incoming, changedCharts);
    if (result != 0)
        return result;

    const QStringList newNames = FilesUnder(incoming);
    QStringList oldNames;
    for (const QString& name : newNames) {
        const QFileInfo live(QDir(data).filePath(name));
        if (live.exists() || live.isSymLink())
            oldNames << name;
    }
    // The sender's record comes into the open one, which keeps this workstation's folders,
    // backup numbers, year, pages and lock, and is written once, as the last file to go in.
    const QString ownRecord = Detail.FileName;
    const auto placeRecord = [&](const QString& from, const QString&) {
        Detail.FileName = from;
        const int loaded = Detail.Load(keep);
        Detail.FileName = ownRecord;
        if (loaded != 0)
            throw EAbort();
        TOptionSet saveOptions = keep;
        saveOptions.Include(Option::WriteLockedBy);
        if (Detail.Save(saveOptions) != 0)
            throw EAbort();
    };
    TFileSwap swap(data, work.Path());
    swap.OnStep = StepSeam;
    try {
        if (!swap.Run(oldNames, newNames, {recordName}, placeRecord)) {
            work.Keep(); // stopped where a kill would have stopped it
            return Failed;
        }
    } catch (...) {
        // The exchange put the year's files back; the open record reads its own again. Should a
        // move back itself have failed, the working folder holds files of the year and stays for
        // the next open to finish the put-back.
        if (swap.Unsettled())
            work.Keep();
        Detail.FileName = ownRecord;
        try {
            Detail.Load(TOptionSet{Option::Standard, Option::KeepFolders, Option::KeepBackupHistory,
                                   Option::KeepYear, Option::KeepPages, Option::KeepLockKeys});
        } catch (const std::exception&) {
            // The first failure is the one the user hears of.
        }
        throw;
    }
    swap.Finish();
    work.Keep();
    // The open file's charts of the groups taken in read their new files.
    for (TMasterChart* chart : changedCharts)
        if (const int loaded = chart->LoadFromFile(TOptionSet{Option::Standard}); loaded != 0 && result == 0)
            result = loaded;

    if (Included(word, grTransactions))
        File.DataIntegrityCheck(Detail.Year, true, false);
    if (reload) {
        // Every bank account of the year starts its reconciliation over, on the year's openings.
        const bool ownOpenings = File.BankRecOpeningChart() == nullptr;
        if (ownOpenings)
            File.SetBankRecOpeningChart(std::make_unique<TBankRecOpeningDetailChart>(
                Detail.ChartEntity(), Setup.Accounts, nullptr, TOptionSet{Option::Load}, Detail.Year));
        Setup.BankRecIndex = -1;
        File.ResetBankReconciliation(Setup);
        if (ownOpenings)
            File.TakeBankRecOpeningChart();
    }
    return result;
}

struct TBackupRestoreProcess::TTransferCharts {
    std::unique_ptr<TStdDescChart> Descriptions;
    std::unique_ptr<TAccountsChart> Accounts;
    std::vector<std::unique_ptr<TMasterChart>> Others;
    QList<TMasterChart*> Changed;
};

int TBackupRestoreProcess::RefuseStaged(const QString& name) {
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                       QStringLiteral("The transfer file %1 cannot be taken in: its file %2 cannot be read.")
                           .arg(QDir::toNativeSeparators(Archive), name),
                       TMessageButton::OK);
    return AlreadyReported;
}

int TBackupRestoreProcess::TransferChart(int group, int mode, const QString& staging, const QString& incoming,
                                         TTransferCharts& made) {
    const int year = Detail.Year;
    Detail.RequireAccountFormat();
    const TAccountFormat* format = Detail.AccountFormat;
    const TChartEntity entity = Detail.ChartEntity();
    const TOptionSet quiet{Option::Standard, Option::Silent};
    // The chart is made afresh for the run: the open file's own is loaded again only once its
    // new file is in place. The charts made so far serve those that refer to them.
    TStdDescChart* descriptions = made.Descriptions ? made.Descriptions.get() : Setup.StdDescs;
    TAccountsChart* accounts = made.Accounts ? made.Accounts.get() : Setup.Accounts;
    std::unique_ptr<TMasterChart> chart;
    TMasterChart* open = nullptr;
    switch (group) {
    case grStdDescriptions:
        chart = std::make_unique<TStdDescChart>(entity, quiet, year);
        open = Setup.StdDescs;
        break;
    case grAccounts:
        chart = std::make_unique<TAccountsChart>(entity, format, quiet, year, QString(), descriptions);
        open = Setup.Accounts;
        break;
    case grTaxRates:
        chart = std::make_unique<TTaxRateChart>(entity, accounts, format, quiet, year);
        open = Setup.TaxRates;
        break;
    case grCurrencyRates:
        chart = std::make_unique<TCurrConvRatesChart>(entity, quiet, year);
        open = Setup.CurrencyRates;
        break;
    case grBankRecOpening:
        chart = std::make_unique<TBankRecOpeningDetailChart>(entity, accounts, nullptr, TOptionSet{}, year);
        break;
    default:
        return 0;
    }
    // The chart's file as the sender's archive holds it: its name inside the data folder, under
    // the staging folder.
    const QString own = NativePath(chart->GetFileName(TOptionSet{Option::Standard}));
    const QString inData = QDir(DataFolder()).relativeFilePath(own);
    const QString stagedFile = NativePath(QDir(staging).filePath(inData));
    // A chart the sender never wrote is nothing to transfer: the file's own stays.
    if (ClimbsOutOfFolder(inData) || !QFileInfo(stagedFile).isFile() || !stagedFile.startsWith(staging))
        return 0;
    const QString target = QDir(incoming).filePath(inData);
    if (mode == moReplace) {
        // The sender's file goes in as it is, once it has loaded.
        chart->SetFileName(stagedFile);
        if (chart->LoadFromFile(quiet) != 0)
            return RefuseStaged(inData);
        if (!CopyInto(stagedFile, target))
            throw EQuilvaneError(QStringLiteral("Unable to write to the folder %1.").arg(incoming));
    } else {
        // The file's own chart with the sender's merged in, written as the new file (the
        // openings chart of the run starts empty).
        if (group != grBankRecOpening)
            if (const int loaded = chart->LoadFromFile(TOptionSet{Option::Standard}); loaded != 0)
                return loaded;
        TOptionSet merge = quiet;
        merge.Include(mode == moMerge ? Option::MergeLoad : Option::MergeReplace);
        chart->SetFileName(stagedFile);
        if (chart->LoadFromFile(merge) != 0)
            return RefuseStaged(inData);
        chart->SetFileName(target);
        TOptionSet save{Option::Standard};
        const int saved = chart->SaveToFile(save);
        chart->SetFileName(QString());
        if (saved != 0)
            return saved;
    }
    if (open)
        made.Changed << open;
    if (group == grStdDescriptions)
        made.Descriptions.reset(static_cast<TStdDescChart*>(chart.release()));
    else if (group == grAccounts)
        made.Accounts.reset(static_cast<TAccountsChart*>(chart.release()));
    else if (group == grTaxRates || group == grBankRecOpening)
        made.Others.push_back(std::move(chart)); // they refer to the accounts made before them
    return 0;
}

int TBackupRestoreProcess::TransferGroups(const QString& staging, const QString& stagingParent,
                                          const QString& incoming, QList<TMasterChart*>& changedCharts) {
    const quint32 word = Setup.TransferSelection;
    struct TStep {
        int Group;
        double After;
    };
    const TStep steps[] = {{grStdDescriptions, 5}, {grAccounts, 10},      {grBankRecOpening, 10},
                           {grTaxRates, 15},       {grCurrencyRates, 20}, {grReportLayouts, 25},
                           {grReportFormats, 30}};
    TTransferCharts made;
    for (const TStep& step : steps) {
        if (Included(word, step.Group)) {
            int result = 0;
            if (step.Group == grReportLayouts || step.Group == grReportFormats) {
                // The file's own report definitions. Replace takes the sender's file as it is; their
                // entries cannot be merged one by one here, so Merge and Update keep the file's own
                // and the result says so. A file with none of its own takes the sender's.
                const QString name =
                    QStringLiteral("M_DETAIL/") + Detail.FileCode +
                    (step.Group == grReportLayouts ? QStringLiteral(".RLO") : QStringLiteral(".RFT"));
                const QString stagedFile = QDir(staging).filePath(name);
                const QString inData = NameInData(name);
                const QFileInfo ownFile(QDir(DataFolder()).filePath(inData));
                const bool hasOwn = ownFile.isFile() && ownFile.size() > 0;
                if (!QFileInfo(stagedFile).isFile()) {
                    // Nothing of the sender's to take.
                } else if (ModeOf(word, step.Group) != moReplace && hasOwn) {
                    if (!RunNotes.contains(DefinitionsNotMergedText))
                        RunNotes << DefinitionsNotMergedText;
                } else if (!CopyInto(stagedFile, QDir(incoming).filePath(inData))) {
                    throw EQuilvaneError(QStringLiteral("Unable to write to the folder %1.").arg(incoming));
                }
            } else {
                result = TransferChart(step.Group, ModeOf(word, step.Group), staging, incoming, made);
            }
            if (result != 0)
                return result;
        }
        Position(step.After);
    }
    changedCharts = made.Changed;
    if (!Included(word, grTransactions))
        return 0;
    return TransferTransactions(staging, stagingParent, incoming, ModeOf(word, grTransactions));
}

int TBackupRestoreProcess::TransferTransactions(const QString& staging, const QString& stagingParent,
                                                const QString& incoming, int mode) {
    const int year = Detail.Year;
    const QString data = DataFolder();
    // The file's own pages; the sender's as the staging folder holds them; and the pages as they
    // will stand, made in the "new" folder, which read the sender's as from the transfer folder.
    const TTransactionListSources sources = File.ListSources(year);
    TTransactionListSources sent = sources;
    sent.Entity.DataDir = staging;
    TTransactionListSources made = sources;
    made.Entity.DataDir = incoming;
    made.Entity.ProgramDataDir = stagingParent;
    double position = 30;
    for (int kind = 0; kind < pkDeletedTransactions; ++kind) {
        if ((Setup.PageKinds >> kind & 1u) == 0)
            continue;
        const int first = IsOneFileKind(kind) ? 1 : std::clamp(Setup.FromPeriod, 1, 12);
        const int last = IsOneFileKind(kind) ? 1 : std::clamp(Setup.ToPeriod, first, 12);
        for (int period = first; period <= last; ++period) {
            bool hasEntries = false;
            QString inData;
            {
                TTransactionList list(sources, kind, year, period, 12, TOptionSet{Option::QuietLoad});
                list.SetSaved(true);
                if (list.LoadStatus() != 0)
                    return Failed;
                for (int i = 0; i < list.Count() && !hasEntries; ++i)
                    hasEntries = !list.GetItem(i)->HasAnyFlag({TF::Blank});
                inData = QDir(data).relativeFilePath(
                    NativePath(list.GetFileName(list.StartMonth(), TOptionSet{Option::Standard})));
            }
            if (ClimbsOutOfFolder(inData))
                return Failed;
            const QString stagedFile = NativePath(QDir(staging).filePath(inData));
            const bool arrivedHere = stagedFile.startsWith(staging) && QFileInfo(stagedFile).isFile();
            if (arrivedHere) {
                // The sender's page loads before anything is made of it.
                TTransactionList check(sent, kind, year, period, 12, TOptionSet{Option::QuietLoad});
                check.SetSaved(true);
                if (check.LoadStatus() != 0)
                    return RefuseStaged(inData);
            }
            const QString target = QDir(incoming).filePath(inData);
            if (arrivedHere && mode == moReplace) {
                if (!CopyInto(stagedFile, target))
                    throw EQuilvaneError(QStringLiteral("Unable to write to the folder %1.").arg(incoming));
                continue;
            }
            const bool clear =
                !arrivedHere && mode == moReplace && hasEntries &&
                MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question,
                                   ClearPeriodText.arg(period).arg(PageKindEntry(kind).Name.toString()),
                                   TMessageButton::Yes | TMessageButton::No) == TMessageButton::Yes;
            if (!arrivedHere && !clear)
                continue;
            // The page as it stands, made over in the "new" folder.
            const QString ownFile = QDir(data).filePath(inData);
            if (QFileInfo(ownFile).isFile() && !CopyInto(ownFile, target))
                throw EQuilvaneError(QStringLiteral("Unable to write to the folder %1.").arg(incoming));
            TTransactionList page(made, kind, year, period, 12, TOptionSet{Option::QuietLoad});
            if (page.LoadStatus() != 0) {
                page.SetSaved(true);
                return Failed;
            }
            if (clear) {
                page.Clear();
            } else {
                // Appended entries come after the page's own with fresh keys and the highlight mark.
                page.ClearHighlightMarks();
                const int appended =
                    page.LoadFromFile(TOptionSet{Option::AppendLoad, Option::TransferFolder}, false);
                if (appended != 0) {
                    page.SetSaved(true);
                    return appended;
                }
            }
            TOptionSet save{Option::Standard};
            const int saved = page.SaveToFile(save, false, true);
            page.SetSaved(true);
            if (saved != 0)
                return saved;
        }
        position = std::min(100.0, position + 5);
        Position(position);
    }
    Position(100);
    return 0;
}

// ---- reporting and logging -----------------------------------------------------------------------

QString TBackupRestoreProcess::ReportName(int process) {
    return IsTransfer(process) ? QStringLiteral("Data transfer") : ProcessKindEntry(process).Name.toString();
}

TBackupRestoreProcess::TReport TBackupRestoreProcess::ResultReport(int result, int process) {
    const QString name = ReportName(process);
    TReport report;
    switch (result) {
    case 0:
        report = {true, TBeep::Default, TMessageKind::Information,
                  QStringLiteral("%1 completed successfully.").arg(name)};
        break;
    case InvalidBackupID:
        report.Show = false;
        break;
    case CorruptBackup:
        report = {true, TBeep::Warning, TMessageKind::Information,
                  QStringLiteral("The backup you are attempting to restore is corrupt - restore cancelled.")};
        break;
    case TransferRefused:
    case NotReplaced:
    case Cancelled:
        report = {true, TBeep::Warning, TMessageKind::Information, QStringLiteral("%1 cancelled.").arg(name)};
        break;
    default:
        report = {true, TBeep::Error, TMessageKind::Error,
                  QStringLiteral("%1 could not be completed. (%2)").arg(name).arg(result)};
        break;
    }
    return report;
}

int TBackupRestoreProcess::LogKindOf(int process) {
    switch (process) {
    case prTransferToClient:
    case prTransferToAccountant:
        return lkTransferOut;
    case prTransferFromClient:
    case prTransferFromAccountant:
        return lkTransferIn;
    case prRestore:
        return lkRestore;
    default:
        return lkBackup;
    }
}

void TBackupRestoreProcess::Log(int result) const {
    if (result != 0)
        return;
    TLogDetails entry = Setup.LogDetails();
    entry.FileSpec = Archive;
    QStringList comment = RunNotes;
    if (!Setup.LogComment.isEmpty())
        comment.prepend(Setup.LogComment);
    entry.AccountSelection = comment.join(QStringLiteral(" - "));
    TLogList(LogKindOf(Process)).Append(entry);
}
