#include "shell/children/ProcessLaunchers.h"

#include "core/charts/AccountsChart.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Services.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/WindowKinds.h"
#include "shell/children/ChildWindows.h"

namespace {

bool IsTransferIn(int process) {
    return process == prTransferFromClient || process == prTransferFromAccountant;
}

bool IsTransferOut(int process) {
    return process == prTransferToClient || process == prTransferToAccountant;
}

} // namespace

TProcessLaunchers::TProcessLaunchers(TChildWindows& windows, TDesktopFiles& files,
                                     TProcessWindows processWindows, TLauncherHooks hooks)
    : Windows(windows), Files(files), Process(processWindows), Hooks(std::move(hooks)) {}

std::unique_ptr<TReportSetup> TProcessLaunchers::MakeSetup(TEntityInfo& file, int process,
                                                           int reportType) const {
    const int year = file.EntityDetail().Year;
    return std::make_unique<TReportSetup>(file.RunFile(year), reportType, process, year, false);
}

int TProcessLaunchers::BankAccountCount(TEntityInfo& file) const {
    const TAccountsChart* chart = file.AccountsChart(file.EntityDetail().Year);
    return chart ? chart->CountBankAccounts() : 0;
}

bool TProcessLaunchers::Available(int process) const {
    // Process 0 runs the reconciliation window for a report, which says so itself.
    return process == prNone || !Process.Banking || Process.Banking->CheckAvailable(process);
}

void TProcessLaunchers::NotifyActiveFile() const {
    if (Hooks.ActiveFileChanged)
        Hooks.ActiveFileChanged();
}

void TProcessLaunchers::OpenReportsWindow() const {
    Windows.OpenChildWindow(wkReports, 0, true);
}

void TProcessLaunchers::RunBackupRestoreProcess(int process) {
    TEntityInfo* file = Files.ActiveFile();
    if (!file)
        return;
    TProcessGuard guard(Windows, process, true);
    if (!guard)
        return;
    if (IsTransferIn(process) &&
        Windows.SuggestBackup(Files.ActiveIndex(), process) == TMessageButton::Cancel)
        return;
    if (!Process.BackupRestore)
        return;
    {
        const auto setup = MakeSetup(*file, process);
        const bool done = Process.BackupRestore->Run(*file, *setup);
        // Told before anything can look at the transfer folder again.
        if (done && IsTransferOut(process) && !setup->OutputText.isEmpty() && Hooks.OwnArchiveWritten)
            Hooks.OwnArchiveWritten(setup->OutputText);
        if (done && IsTransferIn(process))
            NotifyActiveFile();
    }
    guard.Finish();
    if (Hooks.RefreshActiveFileList)
        Hooks.RefreshActiveFileList();
}

void TProcessLaunchers::BackupActiveFile(bool reopen) {
    TEntityInfo* file = Files.ActiveFile();
    if (!file)
        return;
    TProcessGuard guard(Windows, prBackup, true);
    if (!guard)
        return;
    if (!reopen)
        guard.Release();
    if (!Process.BackupRestore)
        return;
    const auto setup = MakeSetup(*file, prBackup);
    Process.BackupRestore->Run(*file, *setup);
}

void TProcessLaunchers::BackupFile(int fileIndex) {
    TEntityInfo* file = Files.File(fileIndex);
    if (!file || !Process.BackupRestore)
        return;
    const auto setup = MakeSetup(*file, prBackup);
    Process.BackupRestore->Run(*file, *setup);
}

void TProcessLaunchers::RunWindowProcess(int process, IProcessWindow* window) {
    TEntityInfo* file = Files.ActiveFile();
    if (!file)
        return;
    TProcessGuard guard(Windows, process, true);
    if (!guard || !window)
        return;
    const auto setup = MakeSetup(*file, process);
    if (window->Run(*file, *setup))
        NotifyActiveFile();
}

void TProcessLaunchers::Restore() {
    RunWindowProcess(prRestore, Process.BackupRestore);
}

void TProcessLaunchers::BringForward() {
    RunWindowProcess(prBringForward, Process.BringForward);
}

void TProcessLaunchers::TransferBankEntries() {
    TEntityInfo* file = Files.ActiveFile();
    if (!file)
        return;
    TProcessGuard guard(Windows, prTransferBankStatementEntries, true);
    if (!guard || !Process.Parameters)
        return;
    const auto setup = MakeSetup(*file, prTransferBankStatementEntries);
    if (Process.Parameters->Run(*file, *setup))
        file->TransferBankStatementEntries(*setup);
}

void TProcessLaunchers::DataIntegrityCheck() {
    TEntityInfo* file = Files.ActiveFile();
    if (!file)
        return;
    TProcessGuard guard(Windows, prDataIntegrityCheck, true);
    if (!guard)
        return;
    file->DataIntegrityCheck(file->EntityDetail().Year, true, true);
}

void TProcessLaunchers::RunBankRecProcess(int reportType, int process) {
    TEntityInfo* file = Files.ActiveFile();
    if (!file || !Available(process))
        return;
    // Checked before the guard, so that no pages close for a reconciliation that cannot run.
    if (process != prResetBankReconciliation && BankAccountCount(*file) == 0) {
        IUserPrompt& prompt = TServices::Prompt();
        prompt.Beep(TBeep::Warning);
        prompt.ShowMessage(TMessageKind::Error, NoReconciliationAccountsText.arg(file->EntityDetail().Year),
                           TMessageButton::OK);
        return;
    }
    TProcessGuard guard(Windows, process, true);
    if (!guard || !Process.Banking)
        return;
    const auto setup = MakeSetup(*file, process, process == prNone ? reportType : 0);
    Process.Banking->PerformBankReconciliation(*file, *setup);
    // The opening chart the run made is written when it changed, or stays with the file.
    setup->Close();
}

void TProcessLaunchers::ImportBankStatements() {
    TEntityInfo* file = Files.ActiveFile();
    if (!file || !Available(prImportBankStatements))
        return;
    IUserPrompt& prompt = TServices::Prompt();
    if (BankAccountCount(*file) == 0) {
        MessageBeepAndShow(prompt, TMessageKind::Warning, NoImportAccountsText, TMessageButton::OK);
        return;
    }
    TProcessGuard guard(Windows, prImportBankStatements, true);
    if (!guard || !Process.Parameters || !Process.Banking)
        return;
    const auto setup = MakeSetup(*file, prImportBankStatements);
    if (!Process.Parameters->Run(*file, *setup))
        return;
    if (MessageBeepAndShow(prompt, TMessageKind::Warning, ImportWarningText,
                           TMessageButton::OK | TMessageButton::Cancel) != TMessageButton::OK)
        return;
    OpenReportsWindow();
    if (Process.Banking->ImportBankStatement(*file, *setup) <= 0)
        return;
    if (MessageBeepAndShow(prompt, TMessageKind::Question, TransferNowText,
                           TMessageButton::OK | TMessageButton::Cancel) != TMessageButton::OK)
        return;
    const auto transfer = MakeSetup(*file, prTransferBankStatementEntries);
    transfer->FromDate = setup->FromDate;
    transfer->ToDate = setup->ToDate;
    if (Process.Parameters->Run(*file, *transfer))
        file->TransferBankStatementEntries(*transfer);
}

void TProcessLaunchers::ImportTransactions() {
    TEntityInfo* file = Files.ActiveFile();
    if (!file || !Available(prImportTransactions))
        return;
    TProcessGuard guard(Windows, prImportTransactions, true);
    if (!guard || !Process.Parameters || !Process.Banking)
        return;
    const auto setup = MakeSetup(*file, prImportTransactions);
    if (!Process.Parameters->Run(*file, *setup))
        return;
    OpenReportsWindow();
    Process.Banking->ImportTransactions(*file, *setup);
}

void TProcessLaunchers::Export() {
    TEntityInfo* file = Files.ActiveFile();
    if (!file || !Process.Parameters || !Process.Banking || !Available(prExport))
        return;
    const auto setup = MakeSetup(*file, prExport);
    if (!Process.Parameters->Run(*file, *setup))
        return;
    OpenReportsWindow();
    Process.Banking->ExportData(*file, *setup);
}
