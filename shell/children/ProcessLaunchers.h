#pragma once

#include "shell/children/ProcessWindows.h"

#include <QString>

#include <functional>
#include <memory>

class TChildWindows;
class TDesktopFiles;
class TEntityInfo;
class TReportSetup;

// The windows the launchers open; any may be left empty.
struct TProcessWindows {
    IProcessWindow* BackupRestore = nullptr;
    IProcessWindow* BringForward = nullptr;
    IProcessWindow* Parameters = nullptr;
    IBankingServices* Banking = nullptr;
};

// What the main window does after a process changed the active file. Either may be left empty.
struct TLauncherHooks {
    // Tells the child windows of the active file (ActiveFileChanged without skipping the Reports
    // menu).
    std::function<void()> ActiveFileChanged;
    // Refreshes the Active File box after a transfer.
    std::function<void()> RefreshActiveFileList;
    // A transfer out wrote its archive (the native path its window left in the block's output
    // text): the program's own archive, never to be offered back to it as an arrival.
    std::function<void(const QString& nativePath)> OwnArchiveWritten;
};

// The commands that run a file-rewriting process on the active file. Each builds the run-parameter
// block for the file, its current year and the process, runs behind the process guard (the data-
// entry pages come back however the process ends) and frees the block afterwards. A missing window
// ends the command once the guard has agreed. Nothing happens without an active file.
class TProcessLaunchers {
public:
    static inline const QString NoReconciliationAccountsText =
        QStringLiteral("No bank accounts are available for reconciliation in the\r%1 chart of accounts.");
    static inline const QString NoImportAccountsText =
        QStringLiteral("There are no bank accounts available for the import of bank statement data.");
    static inline const QString ImportWarningText = QStringLiteral(
        "Importing bank statement data will replace any existing transactions in the selected date range "
        "and reset any previous reconciliation for the selected bank account. Continue ?");
    static inline const QString TransferNowText =
        QStringLiteral("Would you like to transfer the bank statement transactions to your cashbook now ?");

    TProcessLaunchers(TChildWindows& windows, TDesktopFiles& files, TProcessWindows processWindows,
                      TLauncherHooks hooks = {});

    // The transfers to the client (6), from the client (7), from the accountant (8) and to the
    // accountant (9); a transfer in first offers a backup, and Cancel there ends it.
    void RunBackupRestoreProcess(int process);
    // The windows the processes open, installed as they come (a missing one ends its process).
    void SetWindows(const TProcessWindows& processWindows) { Process = processWindows; }
    // Backs up the active file; the closed pages come back only when reopen is set (at shutdown
    // the file closes next).
    void BackupActiveFile(bool reopen);
    // The backup window for the file at an index, without the guard: the backup offered before a
    // process that already runs behind it.
    void BackupFile(int fileIndex);
    void Restore();
    void BringForward();
    void TransferBankEntries();
    void DataIntegrityCheck();
    // Performs (4) or resets (5) a bank reconciliation; process 0 runs the reconciliation window
    // for a report (reportType) without the guard.
    void RunBankRecProcess(int reportType, int process);
    void ImportBankStatements();
    void ImportTransactions();
    void Export();

private:
    std::unique_ptr<TReportSetup> MakeSetup(TEntityInfo& file, int process, int reportType = 0) const;
    int BankAccountCount(TEntityInfo& file) const;
    // Whether banking offers what a process needs; false once it has said that it does not.
    // Without banking the command goes on (and ends where it needs it).
    bool Available(int process) const;
    void NotifyActiveFile() const;
    // Runs a process of the active file through its window behind the guard; the active-file
    // notice follows an OK.
    void RunWindowProcess(int process, IProcessWindow* window);
    void OpenReportsWindow() const;

    TChildWindows& Windows;
    TDesktopFiles& Files;
    TProcessWindows Process;
    TLauncherHooks Hooks;
};
