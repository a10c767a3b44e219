#pragma once

#include "core/entity/ChildWindowServices.h"
#include "core/entity/DesktopFiles.h"
#include "core/services/UserPrompt.h"
#include "core/vocab/WindowKinds.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class TEntityInfo;

// The frame that holds the child windows (the main window's multiple-document area). Children are
// named by their QObject; each carries its window kind in the property KindProperty.
class IMdiHost {
public:
    virtual ~IMdiHost() = default;
    // The child windows, the topmost first.
    virtual QList<QObject*> Children() const = 0;
    // The active child window; nullptr when none is.
    virtual QObject* ActiveChild() const = 0;
    // Takes a new child window into the frame (which then owns it) and shows it.
    virtual void AddChild(QObject* child) = 0;
    virtual Qt::WindowStates State(QObject* child) const = 0;
    virtual void SetState(QObject* child, Qt::WindowStates state) = 0;
    // Brings a child to the front and makes it the active one.
    virtual void Raise(QObject* child) = 0;
    // Shows a window modally; returns when it is closed. The caller frees it.
    virtual void ShowModal(QObject* window) = 0;
    // Lays the minimised children along the bottom of the frame.
    virtual void ArrangeIcons() = 0;
    virtual void ClearHint() {}
    // The hourglass cursor on or off.
    virtual void SetBusy(bool /*busy*/) {}
    virtual void ProcessEvents() {}
};

// What the main window supplies around the child windows. Every hook may be left empty.
struct TChildWindowHooks {
    // Whether the start-up restore of the desktop runs.
    std::function<bool()> Restoring;
    // Rebuilds the recently-used list of the File menu (its check mark follows the active file).
    std::function<void()> RebuildRecentFiles;
    // Rebuilds the Reports menu for the active file.
    std::function<void(TEntityInfo& file)> RebuildReportMenu;
    // Makes the file at an index the active one (the Active File box follows). Empty: the
    // desktop list alone changes.
    std::function<void(int index)> SelectActiveFile;
    // Backs up the file at an index (the backup-restore window for a backup).
    std::function<void(int index)> BackupFile;
    // The open-page dialog for the active file; nothing when it was cancelled.
    std::function<std::optional<TDataEntryPageChoice>(int pageKind)> ChooseDataEntryPage;
};

// The child windows of the main window: at most one window of each kind (the master-details
// windows of the different charts count as different kinds), the notice that tells every child
// of a new active file, and the guard that closes the active file's data-entry pages before a
// process rewrites its transactions and reopens them afterwards.
class TChildWindows {
public:
    // The property of a child window that holds its window kind.
    static constexpr const char* KindProperty = "WindowKind";
    // Chart-kind sets of a request for a master-details window: bit n asks for chart kind n.
    static constexpr unsigned BankRecOpeningCharts = 1, AccountsCharts = 2, StdDescCharts = 4, TaxCharts = 8,
                              CurrencyCharts = 16;

    static inline const QString GuardQuestionText =
        QStringLiteral("All data entry pages must be closed before %1.\r\n");
    static inline const QString GuardNoteText =
        QStringLiteral("(Note: All data entry pages will automatically restored after this process.)\r\n");
    static inline const QString GuardProceedText = QStringLiteral("\nDo you want to proceed ?");
    static inline const QString NotLocatedText = QStringLiteral(
        "QUILVANE was unable to locate the specified transaction as it was either:\r\na. automatically "
        "generated, and cannot be located from a report; or \r\nb. deleted after the report was created.");
    static inline const QString SuggestBackupText =
        QStringLiteral("It is strongly recommended that a backup of your current data be made before %1. "
                       "\rDo you want to perform a backup now ?");

    // Makes a new window of a kind, not yet in the frame; nullptr when it cannot be made.
    using TFactory = std::function<QObject*(int kind)>;

    TChildWindows(IMdiHost& host, TDesktopFiles& files, TChildWindowHooks hooks = {});
    TChildWindows(const TChildWindows&) = delete;
    TChildWindows& operator=(const TChildWindows&) = delete;

    void SetFactory(int kind, TFactory factory);

    // The open window of a kind that this registry made or found; nullptr once it has closed.
    QObject* Slot(int kind) const;
    QObject* ReportsWindow() const { return Slot(wkReports); }
    // The data-entry window when it is open.
    IDataEntryWindow* DataEntryWindow() const;

    // Brings the open window of a kind to the front (in normal state, or maximised while a child
    // is, unless keepState) or makes one; a master-details window must show a chart of
    // chartKinds. The bank-reconciliation opening balances are shown modally and freed at once.
    // Kinds without a window here do nothing. Always true.
    bool OpenChildWindow(int kind, unsigned chartKinds, bool keepState);
    // Tells every child of the active file, rebuilds the recently-used list and (unless asked
    // not to, while the desktop is restored or with no file open) the Reports menu.
    void ActiveFileChanged(bool skipReportMenu);

    // Before a process that rewrites the active file: with data-entry pages open, asks to close
    // them and on Yes records and closes them. False when the process must not start: No, Cancel,
    // or a Cancel at one of the pages (those already closed then come back at once). Processes
    // use TProcessGuard, which also counts as running and always runs AfterProcess.
    bool PrepareForProcess(int process, bool restorable);
    // After the process: reopens the pages the guard closed for the file, whatever the desktop
    // option, tells the children, and gives the data-entry window its state back unless the
    // Reports window is the active child.
    void AfterProcess(TEntityInfo& file);
    // Whether a process runs behind the guard.
    bool ProcessRunning() const { return RunningProcesses > 0; }

    // Shows a transaction of a report in the data-entry window: the file becomes active and the
    // page of the kind and period opens; with a target its line becomes the current row. The
    // page index, or a negative number when the file or the window is not there.
    int LocateTransaction(TEntityInfo& file, int pageKind, const std::optional<TLocateTarget>& target,
                          int period);
    // Asks which page to open and opens it (keeping the period as the file's default when asked).
    void OpenDataEntryPage(int pageKind);
    // Offers a backup of the file before a process and saves its changed charts whatever the
    // answer; Yes makes the backup. Returns the answer.
    TMessageButton SuggestBackup(int fileIndex, int process);

    // The texts of the questions.
    static QString GuardQuestion(int process, bool restorable);
    static QString SuggestBackupQuestion(int process);
    // The chart kind a window kind of the master-details family shows; -1 for other kinds.
    static int ChartKindOfWindow(int kind);

private:
    friend class TProcessGuard;
    QObject* FindChild(int kind, unsigned chartKinds) const;
    // The state a child comes to the front in: maximised while the frame shows a maximised child
    // (once the user maximises, children stay so), otherwise normal.
    Qt::WindowStates FrontState() const;
    void SelectActiveFile(int index);

    IMdiHost& Host;
    TDesktopFiles& Files;
    TChildWindowHooks Hooks;
    std::array<QPointer<QObject>, WindowKindCount> Slots;
    std::array<TFactory, WindowKindCount> Factories;
    // The guard's remembered state: the file whose pages it closed and the data-entry window's
    // state before.
    QString PagesClosedFor;
    Qt::WindowStates SavedEntryState;
    int RunningProcesses = 0;
};

// The guard around one process: asks as PrepareForProcess does when made and, once agreed, runs
// AfterProcess for the file that was active when it is destroyed, however the process ended.
class TProcessGuard {
public:
    TProcessGuard(TChildWindows& windows, int process, bool restorable);
    ~TProcessGuard();
    TProcessGuard(const TProcessGuard&) = delete;
    TProcessGuard& operator=(const TProcessGuard&) = delete;

    bool Agreed() const { return IsAgreed; }
    explicit operator bool() const { return IsAgreed; }
    // Runs AfterProcess now (its failures propagate); the destructor then does nothing.
    void Finish();
    // Ends the process without giving the pages back (the file is about to close); the destructor
    // then does nothing.
    void Release();

private:
    TChildWindows& Windows;
    QString FileCode;
    bool IsAgreed = false;
    bool Pending = false;
};
