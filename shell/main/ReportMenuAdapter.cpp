#include "shell/main/ReportMenuAdapter.h"

#include "controls/util/SlotGuard.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/vocab/WindowKinds.h"
#include "reports/LevelReports.h"
#include "reports/ReportMenu.h"
#include "reports/ReportServices.h"
#include "reports/fmGraphs.h"
#include "reports/fmReports.h"
#include "reports/frmSelection.h"
#include "shell/desktop/Desktop.h"
#include "shell/main/BankingStandIn.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/main/ReportRoute.h"

#include <QDialog>
#include <utility>

namespace {

// The open-file selection window, run modally by runDialog over the owner.
QList<int> ChooseInWindow(QWidget* owner, const QStringList& captions, int activeIndex,
                          const std::function<int(QDialog&)>& runDialog) {
    TfrmSelection dialog(owner);
    QList<int> selected;
    if (activeIndex >= 0)
        selected.append(activeIndex);
    dialog.Setup(TfrmSelection::OpenFilesMode, captions, 0, selected);
    if (runDialog(dialog) != QDialog::Accepted)
        return {};
    return selected;
}

} // namespace

TReportMenuAdapter::TReportMenuAdapter(QWidget* owner, std::function<TfmReports*(bool open)> reportsWindow,
                                       std::function<TEntityInfo*()> activeFile)
    : Owner(owner), ReportsWindow(std::move(reportsWindow)), ActiveFile(std::move(activeFile)) {
    ChooseFiles = [this](const QStringList& captions, int activeIndex) {
        return ChooseInWindow(Owner, captions, activeIndex, [](QDialog& dialog) { return dialog.exec(); });
    };
}

std::unique_ptr<TReportMenuAdapter> TReportMenuAdapter::ForMainWindow(TfmQuilvaneMain& window,
                                                                      TChildWindowRegistry& registry) {
    TChildWindows& windows = registry.Windows();
    windows.SetFactory(wkReports, [&windows, &window](int) -> QObject* {
        auto* reports = new TfmReports;
        reports->DrillDown = [&windows, &window](const TEntityInfo& owner, const TReportLineTarget& line) {
            // A file's reports leave the window before the file closes, so the owner is open.
            const TDesktopFiles& files = window.Desktop().Files();
            for (int index = 0; index < files.Count(); ++index)
                if (files.File(index) == &owner)
                    windows.LocateTransaction(*files.File(index), line.PageKind, line.Target, line.Period);
        };
        return reports;
    });
    windows.SetFactory(wkGraphs, [](int) -> QObject* { return new TfmGraphs; });
    const auto reportsWindow = [&registry](bool open) -> TfmReports* {
        if (open && !registry.Windows().ReportsWindow())
            registry.OpenChildWindow(wkReports);
        return qobject_cast<TfmReports*>(registry.Windows().ReportsWindow());
    };
    auto adapter = std::make_unique<TReportMenuAdapter>(&window, reportsWindow, [&window]() -> TEntityInfo* {
        const int index = window.Desktop().ActiveIndex();
        return index < 0 ? nullptr : window.Desktop().Files().File(index);
    });
    adapter->ChooseFiles = [&window](const QStringList& captions, int activeIndex) {
        return ChooseInWindow(&window, captions, activeIndex,
                              [&window](QDialog& dialog) { return window.RunDialog(dialog); });
    };
    adapter->GraphsWindow = [&registry](bool open) -> TfmGraphs* {
        if (open)
            registry.Windows().OpenChildWindow(wkGraphs, 0, true);
        return qobject_cast<TfmGraphs*>(registry.Windows().Slot(wkGraphs));
    };
    adapter->BankRecReport = [&registry](int reportNumber) { registry.RunBankRecReport(reportNumber); };
    adapter->ActivityStatementReport = [](int reportNumber) { TBankingStandIn::ActivityStatementReport(reportNumber); };
    InstallReportServices([reportsWindow] { return reportsWindow(false); });
    return adapter;
}

void TReportMenuAdapter::RebuildReportMenu(QMenu& reportsMenu, TEntityInfo* activeFile) {
    const TStdDescChart* chart = nullptr;
    QString entityType;
    if (activeFile) {
        chart = activeFile->StdDescChart(activeFile->EntityDetail().Year);
        entityType = activeFile->EntityDetail().EntityType;
    }
    BuildReportMenu(
        &reportsMenu, chart, entityType, [this](int reportNumber) { DoReport(reportNumber); }, Owner.data());
}

void TReportMenuAdapter::DoReport(int reportNumber) {
    TEntityInfo* file = ActiveFile ? ActiveFile() : nullptr;
    if (!file)
        return;
    const TReportRoute route = RouteReport(reportNumber);
    using G = TReportGenerator;
    if (route.InGraphsWindow()) {
        if (TfmGraphs* graphs = GraphsWindow ? GraphsWindow(true) : nullptr) {
            if (route.Generator == G::IncomeExpenseChart)
                graphs->GraphReport(*file, reportNumber);
            else
                graphs->GraphBankReconciliation(*file);
        }
        return;
    }
    // The reconciliation run and the banking services show their own windows and boxes.
    if (route.Generator == G::BankReconciliation) {
        if (BankRecReport)
            BankRecReport(reportNumber);
        return;
    }
    if (route.Generator == G::ActivityStatement) {
        if (ActivityStatementReport)
            ActivityStatementReport(reportNumber);
        return;
    }
    TfmReports* reports = ReportsWindow ? ReportsWindow(true) : nullptr;
    if (!reports)
        return;
    switch (route.Generator) {
    case G::GeneralLedger:
        reports->GeneralLedgerReport(*file);
        break;
    case G::TransactionList:
        reports->TransactionListReport(*file);
        break;
    case G::LevelReports:
        reports->ShowReport(LevelReportsText(*file, reportNumber), file);
        break;
    case G::MasterReport:
        reports->RunMasterReport(*file, reportNumber, route.Level);
        break;
    default:
        reports->RunReport(*file, reportNumber);
        break;
    }
}

void TReportMenuAdapter::DetachEntity(TEntityInfo& file) {
    if (TfmReports* reports = ReportsWindow ? ReportsWindow(false) : nullptr) {
        reports->DetachEntity(file);
        // A window left with no page would stay on the desktop, empty: it goes with the file.
        reports->CloseWhenEmpty();
    }
    if (TfmGraphs* graphs = GraphsWindow ? GraphsWindow(false) : nullptr)
        graphs->DetachEntity(file);
}

QList<int> TReportMenuAdapter::ChooseFilesToClose(const TDesktop& desktop) {
    const QStringList captions = desktop.YearCaptions();
    if (captions.isEmpty())
        return {};
    if (captions.size() == 1)
        return {0};
    return ChooseFiles(captions, desktop.ActiveIndex());
}
