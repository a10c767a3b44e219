#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A child window of the frame as the shutdown sees it: its window kind and, for a
// master-details window, the chart kind it shows (-1 otherwise).
struct TDesktopChild {
    int Kind = -1;
    int ChartKind = -1;
};

// What the shutdown and timed saving need of the desktop of open files. The main window adapts
// its frame and its list of open files to it; tests use a fake. Files are named by their index in
// the desktop's list.
class IShutdownDesktop {
public:
    virtual ~IShutdownDesktop() = default;

    virtual int FileCount() const = 0;
    virtual QString FileCode(int index) const = 0;
    // The file's caption with its financial year ("CODE (2006) - Name").
    virtual QString YearCaption(int index) const = 0;
    // Whether the file's settings ask for a backup offer when it is closed.
    virtual bool PromptsForBackup(int index) const = 0;
    // -1 when no file is active.
    virtual int ActiveIndex() const = 0;

    // Makes a file the active one and tells every child window, leaving the Reports menu as it is.
    virtual void MakeActive(int index) = 0;
    // Tells every child window of the active file and rebuilds the Reports menu.
    virtual void ActiveFileChanged() = 0;

    // The child windows in the frame's order, the topmost first.
    virtual QList<TDesktopChild> Children() const = 0;
    // Closes the child at a position of the list the last Children() call gave.
    virtual void CloseChild(int position) = 0;
    // Lets the screen catch up (pending window events are processed).
    virtual void ProcessEvents() = 0;

    virtual bool DataEntryOpen() const = 0;
    // Minimises the data-entry window and closes the pages of a file, recording them for the next
    // start; false when the user cancelled at one of them.
    virtual bool CloseDataEntryPages(int index) = 0;
    virtual void CloseDataEntryWindow() = 0;

    // Saves the changed charts of the file's current year (not forced).
    virtual void SaveYearCharts(int index) = 0;
    // Backs up the active file without asking first.
    virtual void BackupActiveFile() = 0;
    // Frees a file at exit: its lock is released, its detail record saved and its time spent
    // logged; it leaves the list but stays in the history as open, for the next start (unless the
    // shutdown is stopped afterwards, see RecordClosed).
    virtual void FreeFile(int index) = 0;
    // Closes a file the user chose to close (the history records it as closed).
    virtual void CloseFileOnDesktop(int index) = 0;
    // Files freed by a shutdown that was then stopped: the history records them as closed, as
    // if the user had closed them, and the settings are saved, so the next start does not reopen
    // them.
    virtual void RecordClosed(const QStringList& codes) = 0;

    // Writes what the next start restores (the program settings with the history, Forms and
    // Current, and the window places).
    virtual void SaveDesktopState() = 0;

    // Whether a process runs behind the process guard.
    virtual bool ProcessRunning() const = 0;
    // Whether a modal dialog or a progress window is up.
    virtual bool ModalDialogOpen() const = 0;
};

// The names the desktop records for the child windows, from the last child to the first: the
// master-details windows of accounts, standard descriptions, taxes and currencies by their
// chart's name, the data-entry window as "Data Entry"; other windows record nothing.
QStringList DesktopFormNames(const QList<TDesktopChild>& children);
