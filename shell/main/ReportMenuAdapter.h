#pragma once

#include "shell/main/MainWindowSeams.h"

#include <QPointer>
#include <functional>
#include <memory>

class QWidget;
class TChildWindowRegistry;
class TfmGraphs;
class TfmQuilvaneMain;
class TfmReports;

// The Reports menu, the report dispatcher and the Reports and Graphs windows for the main window:
// the menu lists the standard reports for the active file; a report item (of that menu, of the
// Bank Rec menu or of the BAS / IAS menu) runs its report through DoReport; a file about to close
// leaves both windows; and File > Close with several files open asks which of them to close.
class TReportMenuAdapter : public IReportMenu {
public:
    // reportsWindow and graphsWindow give the windows, opening them first when open is set
    // (nullptr when there is none); activeFile gives the active file (nullptr when none is open).
    TReportMenuAdapter(QWidget* owner, std::function<TfmReports*(bool open)> reportsWindow,
                       std::function<TEntityInfo*()> activeFile);

    void RebuildReportMenu(QMenu& reportsMenu, TEntityInfo* activeFile) override;
    // The report of a number for the active file: the graphs in the Graphs window, the
    // reconciliation reports through the reconciliation run, the activity statements through the
    // banking services, every other report in the Reports window.
    void DoReport(int reportNumber) override;
    void DetachEntity(TEntityInfo& file) override;
    QList<int> ChooseFilesToClose(const TDesktop& desktop) override;

    // The menu for the main window: the Reports and Graphs windows are the frame's child windows
    // of their kinds, made when a report is first run; the report slot of the data layer reaches
    // the Reports window, a double click on a report's transaction opens it in the data-entry
    // window, and the file choice runs as the window's dialogs do. The caller installs it with
    // SetReportMenu.
    static std::unique_ptr<TReportMenuAdapter> ForMainWindow(TfmQuilvaneMain& window,
                                                             TChildWindowRegistry& registry);

    // Asks which open files to close (the active one preselected); empty when cancelled.
    std::function<QList<int>(const QStringList& captions, int activeIndex)> ChooseFiles;
    // The Graphs window, opened first when open is set (none: the graphs are not run).
    std::function<TfmGraphs*(bool open)> GraphsWindow;
    // The reconciliation run for a reconciliation report (53-55).
    std::function<void(int reportNumber)> BankRecReport;
    // The activity-statement reports (69-79) of the banking services.
    std::function<void(int reportNumber)> ActivityStatementReport;

private:
    QPointer<QWidget> Owner;
    std::function<TfmReports*(bool)> ReportsWindow;
    std::function<TEntityInfo*()> ActiveFile;
};
