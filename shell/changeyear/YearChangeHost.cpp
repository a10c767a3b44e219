#include "shell/changeyear/YearChangeHost.h"

#include "shell/children/ProcessWindows.h"
#include "shell/desktop/Desktop.h"
#include "shell/main/MainWindowSeams.h"
#include "shell/shutdown/BackupTimer.h"

TYearChangeHost::TYearChangeHost(IChildWindowRegistry& registry, TDesktop& desktop, TBackupTimer* timer,
                                 IProcessWindow* bringForward)
    : Registry(registry), Desktop(desktop), Timer(timer), BringForwardWindow(bringForward) {}

int TYearChangeHost::CloseAllPages(int fileIndex) {
    // Not minimised and not recorded: the pages belong to the year being left.
    return Registry.CloseAllPages(fileIndex, false, false);
}

bool TYearChangeHost::RunGuarded(int process, bool restorable, const std::function<bool()>& step) {
    return Registry.RunGuarded(process, restorable, step);
}

bool TYearChangeHost::RunBringForward(TEntityInfo& file, TReportSetup& setup) {
    return BringForwardWindow && BringForwardWindow->Run(file, setup);
}

bool TYearChangeHost::BackupTimerEnabled() const {
    return Timer && Timer->Enabled();
}

void TYearChangeHost::SetBackupTimerEnabled(bool enabled) {
    if (Timer && Timer->Enabled() != enabled)
        Timer->SetEnabled(enabled);
}

void TYearChangeHost::RefreshActiveFileList() {
    Desktop.RefreshActiveFileList();
}
