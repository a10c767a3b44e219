#pragma once

#include "shell/changeyear/YearChange.h"

#include <functional>

class IChildWindowRegistry;
class IProcessWindow;
class TBackupTimer;
class TDesktop;

// The main window's side of a change of year: its child-window registry (pages and the process
// guard), its desktop (the Active File box), its timed-saving timer and the bring-forward window.
// The timer and the window may be missing: no timer is then held off, and the bring forward ends
// as cancelled.
class TYearChangeHost : public IYearChangeHost {
public:
    TYearChangeHost(IChildWindowRegistry& registry, TDesktop& desktop, TBackupTimer* timer,
                    IProcessWindow* bringForward);

    int CloseAllPages(int fileIndex) override;
    bool RunGuarded(int process, bool restorable, const std::function<bool()>& step) override;
    bool RunBringForward(TEntityInfo& file, TReportSetup& setup) override;
    bool BackupTimerEnabled() const override;
    void SetBackupTimerEnabled(bool enabled) override;
    void RefreshActiveFileList() override;

private:
    IChildWindowRegistry& Registry;
    TDesktop& Desktop;
    TBackupTimer* Timer;
    IProcessWindow* BringForwardWindow;
};
