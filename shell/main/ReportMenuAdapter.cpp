#include "shell/main/ReportMenuAdapter.h"

#include "controls/util/SlotGuard.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/vocab/WindowKinds.h"
#include "reports/ReportMenu.h"
#include "reports/ReportServices.h"
#include "reports/fmReports.h"
#include "reports/frmSelection.h"
#include "shell/desktop/Desktop.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/QuilvaneMain.h"

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
    registry.Windows().SetFactory(wkReports, [](int) -> QObject* { return new TfmReports; });
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
        &reportsMenu, chart, entityType, [this](int reportNumber) { RunReport(reportNumber); }, Owner.data());
}

void TReportMenuAdapter::RunReport(int reportNumber) {
    TEntityInfo* file = ActiveFile ? ActiveFile() : nullptr;
    if (!file)
        return;
    if (TfmReports* reports = ReportsWindow ? ReportsWindow(true) : nullptr)
        reports->RunReport(*file, reportNumber);
}

void TReportMenuAdapter::DetachEntity(TEntityInfo& file) {
    if (TfmReports* reports = ReportsWindow ? ReportsWindow(false) : nullptr)
        reports->DetachEntity(file);
}

QList<int> TReportMenuAdapter::ChooseFilesToClose(const TDesktop& desktop) {
    const QStringList captions = desktop.YearCaptions();
    if (captions.isEmpty())
        return {};
    if (captions.size() == 1)
        return {0};
    return ChooseFiles(captions, desktop.ActiveIndex());
}
