#pragma once

#include <QTimer>

class IShutdownDesktop;
class TProgramParams;

// Timed saving: a one-minute tick counts minutes, and once the count reaches the interval the
// settings give ("BackupInterval", while "TimedBackups" is set) the changed charts of every open
// file and the desktop's state are saved. A tick while a process runs or a modal dialog is up does
// nothing, so nothing is written under a restore or an import; its minute counts at the next tick.
// The count is compared with "at least", so an interval lowered below it saves at the next tick.
class TBackupTimer {
public:
    static constexpr int TickMilliseconds = 60000;

    TBackupTimer(IShutdownDesktop& desktop, TProgramParams& settings);

    // Whether a save is due after a minute count, by the settings.
    static bool SaveDue(int minutes, bool timedBackups, int interval) {
        return timedBackups && interval > 0 && minutes >= interval;
    }

    // Starts or stops the ticks; starting counts again from 0.
    void SetEnabled(bool enabled);
    // Starts the ticks when "TimedBackups" is set, else stops them.
    void EnableFromSettings();
    bool Enabled() const { return Timer.isActive(); }
    int Minutes() const { return Counter; }

    // One tick; true when it saved. A failure to save is raised after the count starts again and
    // the ticks are back on.
    bool OnTick();

private:
    IShutdownDesktop& Desktop;
    TProgramParams& Settings;
    QTimer Timer;
    int Counter = 0;
};

// Records in the settings what the next start restores of the desktop: the child windows
// (Forms) and the active file (Current, empty when none).
void RecordDesktop(const IShutdownDesktop& desktop, TProgramParams& settings);
