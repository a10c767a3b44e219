#include "shell/shutdown/BackupTimer.h"

#include "controls/util/SlotGuard.h"
#include "core/settings/ProgramParams.h"
#include "shell/shutdown/ShutdownDesktop.h"

TBackupTimer::TBackupTimer(IShutdownDesktop& desktop, TProgramParams& settings)
    : Desktop(desktop), Settings(settings) {
    Timer.setInterval(TickMilliseconds);
    QObject::connect(&Timer, &QTimer::timeout, &Timer, [this] { GuardSlot([this] { OnTick(); }); });
}

void TBackupTimer::SetEnabled(bool enabled) {
    Counter = 0;
    if (enabled)
        Timer.start();
    else
        Timer.stop();
}

void TBackupTimer::EnableFromSettings() {
    SetEnabled(Settings.TimedBackups);
}

bool TBackupTimer::OnTick() {
    if (!Enabled() || Desktop.ProcessRunning() || Desktop.ModalDialogOpen())
        return false;
    ++Counter;
    if (!SaveDue(Counter, Settings.TimedBackups, Settings.BackupInterval))
        return false;
    // The ticks stop while saving: a save may let window events run.
    Timer.stop();
    struct TRestart {
        TBackupTimer& Owner;
        ~TRestart() { Owner.SetEnabled(true); }
    } restart{*this};
    for (int index = 0; index < Desktop.FileCount(); ++index)
        Desktop.SaveYearCharts(index);
    RecordDesktop(Desktop, Settings);
    Desktop.SaveDesktopState();
    return true;
}

void RecordDesktop(const IShutdownDesktop& desktop, TProgramParams& settings) {
    settings.Forms = DesktopFormNames(desktop.Children());
    const int active = desktop.ActiveIndex();
    settings.Current = active >= 0 ? desktop.FileCode(active) : QString();
}
