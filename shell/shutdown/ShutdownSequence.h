#pragma once

#include "shell/shutdown/BackupAnswer.h"

#include <QList>
#include <QStringList>
#include <memory>

class IBackupQuestion;
class IProgress;
class IShutdownDesktop;
class TBackupTimer;
class TProgramParams;

// Leaving the program and closing chosen files: each file is made active, its data-entry pages
// closed, its changed charts saved, a backup offered (with "to all" answers carried from file to
// file) and the file closed. Cancel at a page or at the backup offer stops the run; the files
// already closed stay closed.
class TShutdownSequence {
public:
    TShutdownSequence(IShutdownDesktop& desktop, IBackupQuestion& question, TProgramParams& settings,
                      TBackupTimer& timer);

    // The main window's close request: after the question beep, "Are you sure you want to exit
    // from Quilvane ?" with Yes and No; Yes shuts down. True when the window may close.
    bool CloseQuery();

    // Stops timed saving, records and saves the desktop for the next start, closes every child
    // window but data entry, then closes the open files from the first. True when every file was
    // closed; when stopped, the remaining files stay open, the ones already closed are recorded
    // as closed in the history, and timed saving is on again as the settings say.
    bool Shutdown();

    // File > Close: closes the files at the chosen indexes, the last chosen first, each leaving
    // the desktop as closed. False when the user stopped it; the files not yet reached stay open.
    bool CloseChosenFiles(QList<int> chosen);

private:
    enum class TCloseEnd { Free, CloseOnDesktop };

    bool CloseEverything();
    void Stopped();
    bool CloseOneFile(int index, TCloseEnd end, bool lastFile);
    void ShowFileProgress(const QString& code);

    IShutdownDesktop& Desktop;
    IBackupQuestion& Question;
    TProgramParams& Settings;
    TBackupTimer& Timer;
    TCarriedBackupAnswer Carried;
    QStringList Freed;                   // the codes of the files this shutdown has freed
    std::unique_ptr<IProgress> Progress; // shown while shutting down
};
