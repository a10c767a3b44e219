#pragma once

#include "shell/children/ChildWindows.h"
#include "shell/children/MdiAreaHost.h"
#include "shell/children/ProcessLaunchers.h"
#include "shell/main/MainWindowSeams.h"

#include <memory>

class TBackupRestoreWindow;
class TBankingStandIn;
class TBringForwardWindow;
class TParametersWindow;
class TfmQuilvaneMain;

// The main window's child windows: the registry of window kinds, the data-entry window and the
// process guard, kept in the window's multiple-document area. The window's desktop supplies the
// open files; its recently-used list, Active File box and Reports menu follow the notices.
class TChildWindowRegistry : public IChildWindowRegistry {
public:
    explicit TChildWindowRegistry(TfmQuilvaneMain& window);
    ~TChildWindowRegistry() override;

    TChildWindows& Windows() { return *ChildWindows; }
    // The commands that run a file-rewriting process on the active file; their windows are
    // installed as they come.
    TProcessLaunchers& Launchers() { return *ProcessLaunchers; }

    // The frame has already rebuilt the Reports menu when it tells the registry of a new active file.
    void ActiveFileChanged(int activeIndex) override;
    void OpenChildWindow(int kind) override;
    bool DataEntryWindowOpen() const override;
    void OpenDataEntryWindow() override;
    void OpenDataEntryPage(int pageKind) override;
    void OpenMasterDetails(int kind) override;
    IDataEntryWindow* ActiveDataEntryWindow() const override;
    int CloseAllPages(int index, bool minimise, bool record) override;
    void CloseDataEntryWindow() override;
    // The backup at exit: the file closes next, so its pages are not given back.
    void BackupActiveFile() override;
    bool ProcessRunning() const override;
    TMessageButton SuggestBackup(int fileIndex, int process) override;
    bool RunGuarded(int process, bool restorable, const std::function<bool()>& step) override;
    void NotifyDataEntry(int notice) override;
    void RunBackupRestoreProcess(int process) override;
    void BringForward() override;
    void RunProcessCommand(TProcessCommand command) override;
    void RunBankRecReport(int reportNumber) override;
    void OpenBankRecOpenings() override;
    IProcessWindow* BringForwardWindow() override;
    // A placement that cannot be written loses only that window's position: the others are
    // still written and nothing is raised.
    void SavePlacements() override;

    // The chart-kind set that asks for the chart a window kind shows; 0 for the other kinds.
    static unsigned ChartKindsOfWindow(int kind);

private:
    // The frame, which also records on each child's sub-window the chart kind it shows, so that
    // the desktop saved at exit names the chart windows.
    class TFrameHost : public TMdiAreaHost {
    public:
        using TMdiAreaHost::TMdiAreaHost;
        void AddChild(QObject* child) override;
    };

    TfmQuilvaneMain& Window;
    TFrameHost Host;
    std::unique_ptr<TChildWindows> ChildWindows;
    std::unique_ptr<TParametersWindow> ParametersWindow;
    std::unique_ptr<TBackupRestoreWindow> BackupRestoreWindow;
    std::unique_ptr<TBringForwardWindow> BringForwardProcessWindow;
    std::unique_ptr<TBankingStandIn> Banking;
    std::unique_ptr<TProcessLaunchers> ProcessLaunchers;
};
