#pragma once

#include "shell/desktop/Desktop.h"
#include "shell/main/DesktopShutdownAdapter.h"
#include "shell/main/FileCommands.h"
#include "shell/main/FileMenuState.h"
#include "shell/main/MainWindowSeams.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class IBackupQuestion;
class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TWindowCommands;
class QToolBar;
class TActiveFileCombo;
class TBackupTimer;
class TProgramParams;
class TShutdownSequence;
class TTransferWatcher;

// What the main window works through; each part left empty is the program's own.
struct TMainWindowParts {
    IDesktopOpener* Opener = nullptr;          // the file's object, its year, the password prompt
    IBackupQuestion* BackupQuestion = nullptr; // the backup offer when a file closes
    // Shows a modal dialog and gives its result.
    std::function<int(QDialog&)> RunDialog;
};

// The program's main window: a maximised frame for the child windows over the desktop of open
// client files, with the Active File box in its tool bar, the File menu's open, close and exit
// commands with the recently-used files, and the hint line and the user in its status bar. The
// desktop, the shutdown and timed saving do the work; the window forwards to them.
class TfmQuilvaneMain : public QMainWindow, private IDesktopView, private IShutdownFrame {
    Q_OBJECT
public:
    // The property on each child window that holds its window kind (0 to 12), and the one that
    // holds the chart kind a master-details window shows.
    static constexpr const char* WindowKindProperty = "WindowKind";
    static constexpr const char* ChartKindProperty = "ChartKind";
    // The hint while an operation runs behind a progress window.
    static inline const QString BusyHint = QStringLiteral("Busy...");

    TfmQuilvaneMain(TProgramParams& settings, const QString& userName, const TMainWindowParts& parts = {},
                    QWidget* parent = nullptr);
    ~TfmQuilvaneMain() override;

    QMdiArea* MdiArea() const { return Mdi; }
    TDesktop& Desktop() { return *FileDesktop; }
    TBackupTimer& BackupTimer() { return *Timer; }

    // The child-window registry and the Reports menu plug in here; the window does not own them.
    void SetChildWindows(IChildWindowRegistry* registry);
    void SetReportMenu(IReportMenu* reportMenu);

    // Adds a child window of a kind to the frame.
    QMdiSubWindow* AddChildWindow(QWidget* child, int kind);

    // The index among the child windows of the first one shown by the same window class as the
    // kind; -1 when there is none, and always for the kinds without a class of their own.
    int FindMDIChildOfKind(int kind) const;

    // Another copy of the program was started: come up (maximised when minimised) and to the
    // front.
    void ActivateFromOtherInstance();

    // Reopens the previous run's files and windows, as the settings say.
    void RestoreDesktop();

    // Shows a dialog of the window modally (through the parts' runner when one is given).
    int RunDialog(QDialog& dialog);

    // An archive the program has just written into a watched transfer folder (a native path):
    // its arrival is not offered back (TTransferWatcher::RememberOwnArchive).
    void RememberOwnArchive(const QString& nativePath);

    // A file is open: every top-level menu is enabled. None is: Master Details, Data Entry,
    // Bank Rec, BAS / IAS and Reports are disabled.
    void EnableMainMenus();
    void DisableFileMenus();

    // The recently-used files of the File menu and the Active File box are rebuilt.
    void RebuildRecentFiles();
    // The Reports menu is rebuilt for a file.
    void RebuildReportMenu(TEntityInfo& file);
    // Makes the file at an index the active one with the Active File box following, without
    // telling the child windows.
    void SelectActiveFile(int index);

    // Status panel 0: " " + the hint, or " Ready." when there is none.
    void ShowHint(const QString& hint);
    QString StatusHint() const;
    QString StatusUser() const;

    TActiveFileCombo* cboActiveFile = nullptr;
    QToolBar* tbrMain = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuMasterDetails = nullptr;
    QMenu* mnuDataEntry = nullptr;
    QMenu* mnuBankRec = nullptr;
    QMenu* mnuBASIAS = nullptr;
    QMenu* mnuReports = nullptr;
    QMenu* mnuTools = nullptr;
    QMenu* mnuWindow = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* actNew = nullptr;
    QAction* actOpen = nullptr;
    QAction* actClose = nullptr;
    QAction* actFileProperties = nullptr;
    QAction* actFileChangeYear = nullptr;
    QAction* actFileDelete = nullptr;
    QAction* mnuQuilvaneSetup = nullptr;
    QAction* actPrinterSetup = nullptr;
    QAction* mnuBringForward = nullptr;
    QAction* mnuTransferBankEntries = nullptr;
    QAction* mnuTessaly = nullptr;
    QAction* mnuOpenGroupFiles = nullptr;
    QAction* mnuDataIntegrityCheck = nullptr;
    QAction* actImportTransactions = nullptr;
    QAction* actImportBankStatements = nullptr;
    QAction* actExport = nullptr;
    QAction* mnuRenameFile = nullptr;
    QAction* mnuCopyFile = nullptr;
    QAction* mnuTransferDiskInventory = nullptr;
    // Transfer to the client, from the client, from the accountant, to the accountant (processes
    // 6 to 9 in order), then backup and restore.
    std::array<QAction*, 4> actTransfers{};
    QAction* actBackup = nullptr;
    QAction* actRestore = nullptr;
    QAction* EntityListBreak = nullptr;
    QAction* mnuFileExit = nullptr;
    // The Edit menu's Undo, Cut, Copy, Paste and Select All, by TEditCommands::TCommand.
    std::array<QAction*, 5> actClipboard{};
    // Accounts, Standard Descriptions, Taxes, Currencies.
    std::array<QAction*, 4> actMasterDetails{};
    QAction* actCascade = nullptr;
    QAction* actTile = nullptr;
    QAction* actArrangeIcons = nullptr;
    QAction* actCloseAllWindows = nullptr;
    QAction* actCloseAllAndReset = nullptr;
    QAction* WindowListBreak = nullptr;
    // The Edit menu's transaction commands, by TDataEntryCommand.
    std::array<QAction*, DataEntryCommandCount> actTransactions{};

    // The Edit menu's actions follow the window in front, the focus and the clipboard; the
    // transaction commands follow the data-entry window in front, whose buttons say when they change
    // (a shortcut of a disabled action does nothing).
    void UpdateEditMenu();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    // The File commands that need an open or an active file, and the Tools items, follow the
    // desktop.
    void UpdateFileActions();
    void UpdateToolsMenu();
    void UpdateWindowMenu();
    // B&AS / IAS > Open Group Files: the open members of the active file's GST group.
    void OpenGroupFiles();
    void RunTransactionCommand(TDataEntryCommand command);
    // The transfer folders of the open files are watched for archives arriving for them.
    void WatchTransferFolders();
    void actOpenExecute();
    void actCloseExecute();

    // IDesktopView
    void FilesChanged() override;
    void ActiveFileChanged() override;
    void RecentFilesChanged() override;
    void FileMenusEnabled(bool enabled) override;
    bool DataEntryWindowOpen() const override;
    void OpenDataEntryWindow() override;
    int CloseAllPages(int index) override;
    void DetachEntity(TEntityInfo& file) override;
    void CloseChildWindowsExceptReports() override;
    void OpenChildWindow(int kind) override;
    void ProcessEvents() override;

    // IShutdownFrame
    QList<TDesktopChild> Children() const override;
    void CloseChild(int position) override;
    bool ModalDialogOpen() const override;
    void NotifyActiveFile(bool skipReportMenu) override;
    IChildWindowRegistry& ChildWindows() override;

    TMainWindowParts Parts;
    QMdiArea* Mdi = nullptr;
    QLabel* HintPanel = nullptr;
    QLabel* UserPanel = nullptr;
    IChildWindowRegistry NoChildWindows;
    IReportMenu NoReportMenu;
    IChildWindowRegistry* Registry = &NoChildWindows;
    IReportMenu* Reports = &NoReportMenu;
    // The children as the last Children() call listed them.
    mutable QList<QPointer<QMdiSubWindow>> ListedChildren;

    std::unique_ptr<TWindowCommands> WindowCommands;
    std::unique_ptr<IDesktopOpener> OwnOpener;
    std::unique_ptr<IBackupQuestion> OwnQuestion;
    std::unique_ptr<TDesktop> FileDesktop;
    std::unique_ptr<TDesktopShutdownAdapter> ShutdownDesktop;
    std::unique_ptr<TBackupTimer> Timer;
    std::unique_ptr<TShutdownSequence> Shutdown;
    std::unique_ptr<TFileCommands> Commands;
    TTransferWatcher* Watcher = nullptr;
};
