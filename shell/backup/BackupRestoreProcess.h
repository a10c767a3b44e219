#pragma once

#include "core/services/UserPrompt.h"

#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class IProgress;
class TMasterChart;
class TEntityDetail;
class TEntityInfo;
class TReportSetup;

// What the backup and transfer window hands to a run besides the run-parameter block.
struct TBackupRestoreRequest {
    // The drive the archive is written to or read from; its letter replaces the drive of the
    // file's backup folder (backup, restore) or transfer folder (transfers).
    QChar Drive;
    // The memo for the archive comment, in rich-text form (empty: the "no memo" text).
    QString MemoRtf;
    // Backup only: the year's transaction files are removed once the archive has passed its test.
    bool ArchiveFiles = false;
    // Backup: the number proposed for the archive. Restore: the path (native) of the chosen one.
    int BackupNumber = 0;
    QString RestorePath;
    // Restore: the chosen entry of the list as the window shows it ("No. 7  (05 Mar 2006 at
    // 3:04 pm)"); the progress window shows it. Empty: the archive's name.
    QString ListText;
};

// One backup, restore or transfer of the year of an open file (the processes 6 to 11). Every run
// returns the result code the window reports and leaves it in the block:
//   0 success; -1 a failure inside a restore; -100 cancelled by the user; -101 a transfer archive
//   not replaced; -113 a transfer refused (currency, account format or year-end month); -117 a
//   backup that failed its test; -118 a backup number already used; any other value the code of
//   the zip or unzip component.
//
// Runs never take a file apart before the new data is safe: an archive is written beside the old
// one and renamed over it; a restore or transfer in extracts the file's own entries (and no
// other) into a staging folder inside the data folder, tests them there and only then replaces
// the year's files, putting the old ones back when a step fails.
class TBackupRestoreProcess {
public:
    static constexpr int Failed = -1, Cancelled = -100, NotReplaced = -101, TransferRefused = -113,
                         CorruptBackup = -117, InvalidBackupID = -118;
    // The run has said what went wrong in a box of its own; the window adds nothing.
    static constexpr int AlreadyReported = InvalidBackupID;

    static inline const QString InvalidBackupIDText =
        QStringLiteral("An invalid backup ID has been selected by Quilvane - Please retry the backup.");
    static inline const QString ReplaceTransferText =
        QStringLiteral("A transfer file for %1 already exists. Replace this file ?");
    static inline const QString NameMismatchText =
        QStringLiteral("The file name recorded on transfer disk you are using is %1. This does not match "
                       "the file name (%2) on your system. Continue anyway ?");
    static inline const QString NotPermittedText =
        QStringLiteral("The transfer of data is NOT PERMITTED as the transfer data's ");
    static inline const QString ClearPeriodText =
        QStringLiteral("There are no transactions for Period %1 %2 in the transfer file. Do you want to "
                       "clear your current transactions for Period %1 %2 ?");
    static inline const QString ArchiveNotTestedText =
        QStringLiteral("The new archive %1 could not be read back: no older backup and no transaction file "
                       "was removed.");

    TBackupRestoreProcess(TEntityInfo& file, TReportSetup& setup);
    ~TBackupRestoreProcess();
    TBackupRestoreProcess(const TBackupRestoreProcess&) = delete;
    TBackupRestoreProcess& operator=(const TBackupRestoreProcess&) = delete;

    // The run for the block's process: a backup (10) or transfer out (6, 9) writes the archive,
    // a restore (11) reads the chosen backup back, a transfer in (7, 8) takes the groups the
    // block's selection word names. The result code (also in the block).
    int Run(const TBackupRestoreRequest& request);

    // What a run that succeeded did otherwise than asked: the window adds it to its result box and
    // the log to the entry's comment.
    QStringList Notes() const { return RunNotes; }
    static inline const QString DefinitionsNotMergedText =
        QStringLiteral("The sender's report layouts and formats were not merged: the file's own stay as they were.");

    // The archive the run wrote or read (native path); empty before a run.
    QString ArchivePath() const { return Archive; }

    // The folder (native) of the archives on a drive: the backup folder for backups and
    // restores, the transfer folder for transfers.
    QString ArchiveFolder(QChar drive) const;
    // The transfer archive of the file on a drive (native path).
    QString TransferArchive(QChar drive) const;
    // The file's data folder (native): where its record, charts and transaction folder lie.
    QString DataFolder() const;

    // How the window reports a result: the beep, the box and its text; Show false for -118,
    // whose message came first.
    struct TReport {
        bool Show = true;
        TBeep Beep = TBeep::Default;
        TMessageKind Kind = TMessageKind::Information;
        QString Text;
    };
    static TReport ResultReport(int result, int process);
    // "Data transfer" for the transfers, the process name for backup and restore.
    static QString ReportName(int process);
    // The activity log a process writes to (backup, restore, transfer out or in).
    static int LogKindOf(int process);

    // Appends the run's entry to the log of its process; only a run that succeeded is logged
    // (a failed run would read as a backup or transfer that happened). The archive is the entry's
    // file, the log comment its account-selection text.
    void Log(int result) const;

    // The progress window of the run; tests give their recorder, the program the real window.
    void SetProgress(std::unique_ptr<IProgress> progress);

    // Told each step of a restore's exchange of the year's files (TFileSwap::OnStep); answering
    // false stops the run there as a kill would. Tests only: the program leaves it empty.
    std::function<bool(int step)> StepSeam;

private:
    int Backup(const TBackupRestoreRequest& request);
    int Restore(const TBackupRestoreRequest& request);
    int TransferIn(const TBackupRestoreRequest& request);
    // A box naming what the archive reader refused, or the corrupt-backup code for an archive
    // that does not read.
    int RefuseArchive(int code, const QString& reason);
    // Whether an extracted year can stand as the file's: its record reads and is this file's,
    // its charts read. 0, or AlreadyReported after the box that says what is wrong.
    int CheckStagedYear(const QString& recordPath, const QString& stagedFolder);
    // staging: the folder the archive was extracted into, laid out as the transfer folder of
    // the program data folder `stagingParent`.
    // incoming: the working folder's "new" folder, where the groups make the year's files as they
    // will stand; changedCharts receives the open file's charts whose files they make.
    int TransferGroups(const QString& staging, const QString& stagingParent, const QString& incoming,
                       QList<TMasterChart*>& changedCharts);
    int TransferTransactions(const QString& staging, const QString& stagingParent, const QString& incoming,
                             int mode);
    // The charts a transfer in makes afresh, and the open file's charts whose files they make.
    struct TTransferCharts;
    int TransferChart(int group, int mode, const QString& staging, const QString& incoming,
                      TTransferCharts& made);
    // The box for a staged chart or page (its name in the data folder) that does not load:
    // AlreadyReported.
    int RefuseStaged(const QString& name);
    // Removes the empty folders of this file that transfers in once left in the program's
    // transfer folder (never through a link).
    void RemoveOldTransferFolders() const;
    // The names (relative, '/') of the file's own entries for an archive of this year.
    QStringList OwnPatterns(bool forBackup) const;
    // A name the program writes (relative to the data folder, '/') as it lies in the data folder:
    // in the folder of that name that is there in any letter case, else as given.
    QString NameInData(const QString& programName) const;
    bool IsOwnEntry(const QString& entry, bool forBackup) const;
    void Message(const QString& text);
    void Position(double percent);
    bool IsTransferOut() const;

    TEntityInfo& File;
    TEntityDetail& Detail;
    TReportSetup& Setup;
    int Process;
    QString Archive;
    QStringList RunNotes;
    std::unique_ptr<IProgress> Progress;
};
