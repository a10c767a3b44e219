#pragma once

#include "shell/main/MainWindowSeams.h"

#include <QPointer>
#include <functional>
#include <memory>

class QWidget;
class TChildWindowRegistry;
class TfmQuilvaneMain;
class TfmReports;

// The Reports menu and the Reports window for the main window: the menu lists the standard
// reports for the active file, a choice opens (or raises) the Reports window and runs the report
// there, a file about to close leaves the window, and File > Close with several files open asks
// which of them to close.
class TReportMenuAdapter : public IReportMenu {
public:
    // reportsWindow gives the Reports window, opening it first when open is set (nullptr when
    // there is none); activeFile gives the active file (nullptr when none is open).
    TReportMenuAdapter(QWidget* owner, std::function<TfmReports*(bool open)> reportsWindow,
                       std::function<TEntityInfo*()> activeFile);

    void RebuildReportMenu(QMenu& reportsMenu, TEntityInfo* activeFile) override;
    void DetachEntity(TEntityInfo& file) override;
    QList<int> ChooseFilesToClose(const TDesktop& desktop) override;

    // The menu for the main window: the Reports window is the frame's child window of its kind,
    // made when a report is first run; the report slot of the data layer reaches it, and the
    // file choice runs as the window's dialogs do. The caller installs it with SetReportMenu.
    static std::unique_ptr<TReportMenuAdapter> ForMainWindow(TfmQuilvaneMain& window,
                                                             TChildWindowRegistry& registry);

    // Runs a report of the menu for the active file in the Reports window.
    void RunReport(int reportNumber);

    // Asks which open files to close (the active one preselected); empty when cancelled.
    std::function<QList<int>(const QStringList& captions, int activeIndex)> ChooseFiles;

private:
    QPointer<QWidget> Owner;
    std::function<TfmReports*(bool)> ReportsWindow;
    std::function<TEntityInfo*()> ActiveFile;
};
