#include "shell/main/ReportMenuAdapter.h"

#include "controls/util/SlotGuard.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "reports/ReportMenu.h"
#include "reports/fmReports.h"
#include "reports/frmSelection.h"
#include "shell/desktop/Desktop.h"

#include <QDialog>
#include <utility>

namespace {

// The open-file selection window, modal over the owner.
QList<int> ChooseInWindow(QWidget* owner, const QStringList& captions, int activeIndex) {
    TfrmSelection dialog(owner);
    QList<int> selected;
    if (activeIndex >= 0)
        selected.append(activeIndex);
    dialog.Setup(TfrmSelection::OpenFilesMode, captions, 0, selected);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return selected;
}

} // namespace

TReportMenuAdapter::TReportMenuAdapter(QWidget* owner, std::function<TfmReports*(bool open)> reportsWindow,
                                       std::function<TEntityInfo*()> activeFile)
    : Owner(owner), ReportsWindow(std::move(reportsWindow)), ActiveFile(std::move(activeFile)) {
    ChooseFiles = [this](const QStringList& captions, int activeIndex) {
        return ChooseInWindow(Owner, captions, activeIndex);
    };
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
