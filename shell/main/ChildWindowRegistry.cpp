#include "shell/main/ChildWindowRegistry.h"

#include "controls/placement/FormPlacement.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/WindowKinds.h"
#include "entry/dataentry/DataEntry.h"
#include "entry/masterdetails/MasterDetails.h"
#include "entry/masterdetails/MasterDetailsKind.h"
#include "entry/openpage/OpenDataEntryPage.h"
#include "shell/backup/BackupRestore.h"
#include "shell/bringforward/BringForward.h"
#include "shell/main/BankingStandIn.h"
#include "shell/main/ParametersWindow.h"
#include "shell/main/QuilvaneMain.h"

#include <QDialog>
#include <QMdiSubWindow>

void TChildWindowRegistry::TFrameHost::AddChild(QObject* child) {
    // A child that is not a widget is freed by the frame: nothing of it may be read afterwards.
    const bool widget = child->isWidgetType();
    const int chartKind =
        TChildWindows::ChartKindOfWindow(child->property(TChildWindows::KindProperty).toInt());
    TMdiAreaHost::AddChild(child);
    if (!widget || chartKind < 0)
        return;
    if (QMdiSubWindow* window = SubWindowOf(child))
        window->setProperty(TfmQuilvaneMain::ChartKindProperty, chartKind);
}

TChildWindowRegistry::TChildWindowRegistry(TfmQuilvaneMain& window)
    : Window(window), Host(*window.MdiArea(), [&window] { window.ShowHint(QString()); }) {
    TChildWindowHooks hooks;
    hooks.Restoring = [&window] { return window.Desktop().Restoring(); };
    hooks.RebuildRecentFiles = [&window] { window.RebuildRecentFiles(); };
    hooks.RebuildReportMenu = [&window](TEntityInfo& file) { window.RebuildReportMenu(file); };
    hooks.SelectActiveFile = [&window](int index) { window.SelectActiveFile(index); };
    hooks.BackupFile = [this](int index) { ProcessLaunchers->BackupFile(index); };
    hooks.ChooseDataEntryPage = [&window](int pageKind) -> std::optional<TDataEntryPageChoice> {
        TfmOpenDataEntryPage dialog(&window);
        dialog.Setup(window.Desktop().Files(), window.Desktop().ActiveIndex(), pageKind);
        if (window.RunDialog(dialog) != QDialog::Accepted)
            return std::nullopt;
        TDataEntryPageChoice choice;
        dialog.GetResult(choice.PageKind, choice.Period, choice.MakeDefault);
        return choice;
    };
    ChildWindows = std::make_unique<TChildWindows>(Host, window.Desktop().Files(), std::move(hooks));
    TDesktopFiles& files = window.Desktop().Files();
    ChildWindows->SetFactory(wkDataEntry, [&files, &window](int) -> QObject* {
        auto* entry = new TfmDataEntry();
        entry->Init(files, files.ActiveIndex());
        // The Edit menu's transaction commands, and their keys, follow the window's buttons.
        QObject::connect(entry, &TfmDataEntry::CommandsChanged, &window,
                         [&window] { window.UpdateEditMenu(); });
        return entry;
    });
    for (const int kind : {wkAccounts, wkStandardDescriptions, wkTaxes, wkCurrencies}) {
        ChildWindows->SetFactory(kind, [&files](int windowKind) -> QObject* {
            auto* details = new TfmMasterDetails();
            details->Setup(TMasterDetailsKind::ChartKindOfWindow(windowKind), files, QString(), true, false,
                           files.ActiveIndex());
            return details;
        });
    }
    // The opening balances of the bank reconciliation are a modal form over the chart that the
    // caller has set on the file.
    ChildWindows->SetFactory(wkBankRecOpeningBalances, [&files, &window](int) -> QObject* {
        return TfmMasterDetails::CreateDialog(0, files, files.ActiveIndex(), QString(), false, false,
                                              &window);
    });
    TLauncherHooks launcherHooks;
    launcherHooks.ActiveFileChanged = [this] { ChildWindows->ActiveFileChanged(false); };
    launcherHooks.RefreshActiveFileList = [&window] { window.Desktop().RefreshActiveFileList(); };
    launcherHooks.OwnArchiveWritten = [&window](const QString& path) { window.RememberOwnArchive(path); };
    const auto runDialog = [&window](QDialog& dialog) { return window.RunDialog(dialog); };
    ParametersWindow = std::make_unique<TParametersWindow>(&window, runDialog);
    BackupRestoreWindow = std::make_unique<TBackupRestoreWindow>(&window, runDialog, ParametersWindow.get());
    BringForwardProcessWindow =
        std::make_unique<TBringForwardWindow>(&window, &window.Desktop().Files(), runDialog);
    TProcessWindows processWindows;
    processWindows.BringForward = BringForwardProcessWindow.get();
    Banking = std::make_unique<TBankingStandIn>();
    processWindows.Banking = Banking.get();
    processWindows.BackupRestore = BackupRestoreWindow.get();
    processWindows.Parameters = ParametersWindow.get();
    ProcessLaunchers = std::make_unique<TProcessLaunchers>(*ChildWindows, window.Desktop().Files(),
                                                           processWindows, std::move(launcherHooks));
}

TChildWindowRegistry::~TChildWindowRegistry() = default;

unsigned TChildWindowRegistry::ChartKindsOfWindow(int kind) {
    const int chartKind = TChildWindows::ChartKindOfWindow(kind);
    return chartKind < 0 ? 0u : 1u << chartKind;
}

void TChildWindowRegistry::ActiveFileChanged(int /*activeIndex*/) {
    ChildWindows->ActiveFileChanged(true);
}

void TChildWindowRegistry::OpenChildWindow(int kind) {
    ChildWindows->OpenChildWindow(kind, ChartKindsOfWindow(kind), true);
}

bool TChildWindowRegistry::DataEntryWindowOpen() const {
    return ChildWindows->Slot(wkDataEntry) != nullptr;
}

void TChildWindowRegistry::OpenDataEntryWindow() {
    ChildWindows->OpenChildWindow(wkDataEntry, 0, true);
}

void TChildWindowRegistry::OpenDataEntryPage(int pageKind) {
    ChildWindows->OpenDataEntryPage(pageKind);
}

void TChildWindowRegistry::OpenMasterDetails(int kind) {
    ChildWindows->OpenChildWindow(kind, ChartKindsOfWindow(kind), false);
}

IDataEntryWindow* TChildWindowRegistry::ActiveDataEntryWindow() const {
    QObject* active = Host.ActiveChild();
    return active && active == ChildWindows->Slot(wkDataEntry) ? ChildWindows->DataEntryWindow() : nullptr;
}

int TChildWindowRegistry::CloseAllPages(int index, bool minimise, bool record) {
    IDataEntryWindow* entry = ChildWindows->DataEntryWindow();
    return entry ? entry->CloseAllPages(index, minimise, record) : 1;
}

void TChildWindowRegistry::CloseDataEntryWindow() {
    QObject* entry = ChildWindows->Slot(wkDataEntry);
    if (QMdiSubWindow* window = entry ? Host.SubWindowOf(entry) : nullptr)
        window->close();
}

void TChildWindowRegistry::BackupActiveFile() {
    ProcessLaunchers->BackupActiveFile(false);
}

bool TChildWindowRegistry::ProcessRunning() const {
    return ChildWindows->ProcessRunning();
}

TMessageButton TChildWindowRegistry::SuggestBackup(int fileIndex, int process) {
    return ChildWindows->SuggestBackup(fileIndex, process);
}

bool TChildWindowRegistry::RunGuarded(int process, bool restorable, const std::function<bool()>& step) {
    TProcessGuard guard(*ChildWindows, process, restorable);
    if (!guard)
        return false;
    if (step())
        guard.Finish();
    else
        guard.Release();
    return true;
}

void TChildWindowRegistry::NotifyDataEntry(int notice) {
    if (IDataEntryWindow* entry = ChildWindows->DataEntryWindow())
        entry->FileOptionsChanged(notice);
}

IProcessWindow* TChildWindowRegistry::BringForwardWindow() {
    return BringForwardProcessWindow.get();
}

void TChildWindowRegistry::RunProcessCommand(TProcessCommand command) {
    switch (command) {
    case pcTransferBankEntries:
        ProcessLaunchers->TransferBankEntries();
        break;
    case pcDataIntegrityCheck:
        ProcessLaunchers->DataIntegrityCheck();
        break;
    case pcImportBankStatements:
        ProcessLaunchers->ImportBankStatements();
        break;
    case pcImportTransactions:
        ProcessLaunchers->ImportTransactions();
        break;
    case pcExport:
        ProcessLaunchers->Export();
        break;
    case pcPerformReconciliation:
        ProcessLaunchers->RunBankRecProcess(0, prBankReconciliation);
        break;
    case pcResetReconciliation:
        ProcessLaunchers->RunBankRecProcess(0, prResetBankReconciliation);
        break;
    }
}

void TChildWindowRegistry::RunBankRecReport(int reportNumber) {
    ProcessLaunchers->RunBankRecProcess(reportNumber, prNone);
}

void TChildWindowRegistry::OpenBankRecOpenings() {
    TEntityInfo* file = Window.Desktop().Files().ActiveFile();
    if (!file)
        return;
    const int year = file->EntityDetail().Year;
    const bool own = file->BankRecOpeningChart() == nullptr;
    if (own)
        file->SetBankRecOpeningChart(std::make_unique<TBankRecOpeningDetailChart>(
            file->EntityDetail().ChartEntity(), file->AccountsChart(year), nullptr,
            TOptionSet{Option::Standard, Option::Load}, year));
    ChildWindows->OpenChildWindow(wkBankRecOpeningBalances, ChartKindsOfWindow(wkBankRecOpeningBalances),
                                  false);
    if (TBankRecOpeningDetailChart* openings = file->BankRecOpeningChart()) {
        TOptionSet options{Option::Standard};
        openings->SaveIfModified(options);
    }
    if (own)
        file->TakeBankRecOpeningChart();
}

void TChildWindowRegistry::BringForward() {
    ProcessLaunchers->BringForward();
}

void TChildWindowRegistry::RunBackupRestoreProcess(int process) {
    if (process == prBackup)
        ProcessLaunchers->BackupActiveFile(true);
    else if (process == prRestore)
        ProcessLaunchers->Restore();
    else
        ProcessLaunchers->RunBackupRestoreProcess(process);
}

void TChildWindowRegistry::SavePlacements() {
    for (QObject* child : Host.Children()) {
        if (auto* placement = child->findChild<TFormPlacement*>(QString(), Qt::FindDirectChildrenOnly))
            placement->SaveFormPlacementQuietly();
    }
}
