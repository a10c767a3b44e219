#pragma once

#include "core/common/OptionSet.h"
#include "core/entity/DesktopFiles.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class TEntityDetail;
class TEntityInfo;

// How the desktop makes an open file. The program's opener creates the file's object (locking
// its record), loads its year and asks for its access password; tests put in fakes.
class IDesktopOpener {
public:
    virtual ~IDesktopOpener() = default;
    // The file opened and locked with the options. Raises EAbort when it cannot be opened (after
    // its own message), or another error.
    virtual std::unique_ptr<TEntityInfo> Create(const QString& fileCode, const TOptionSet& options) = 0;
    // Loads the charts of the file's current year (and its recorded pages).
    virtual void OpenYear(TEntityInfo& file) = 0;
    // The password typed for the file; nothing when the user cancelled.
    virtual std::optional<QString> AskPassword(const TEntityDetail& detail) = 0;
};

// What the main window does when the desktop changes. Every step does nothing unless the window
// overrides it, so a test overrides only what it watches.
class IDesktopView {
public:
    virtual ~IDesktopView() = default;
    // The open files or their order changed: the Active File box is rebuilt from YearCaptions.
    virtual void FilesChanged() {}
    // The active file changed (the child windows follow it).
    virtual void ActiveFileChanged() {}
    // The recently-used list changed: the File menu is rebuilt from RecentFiles.
    virtual void RecentFilesChanged() {}
    // A file is open (every menu enabled) or none is (the file menus disabled).
    virtual void FileMenusEnabled(bool /*enabled*/) {}
    virtual bool DataEntryWindowOpen() const { return false; }
    virtual void OpenDataEntryWindow() {}
    // Closes the data-entry pages of the file at an index; 2 when the user cancelled.
    virtual int CloseAllPages(int /*index*/) { return 0; }
    // The Reports window drops the reports of a file about to close.
    virtual void DetachEntity(TEntityInfo& /*file*/) {}
    // The last file closed: every child window but the Reports window closes.
    virtual void CloseChildWindowsExceptReports() {}
    // Opens a child window of a kind (one that keeps its placement comes up where it was when its
    // placement was last saved).
    virtual void OpenChildWindow(int /*kind*/) {}
    // Lets the window repaint during a long run.
    virtual void ProcessEvents() {}
};

// One line of the recently-used list of the File menu.
struct TRecentFile {
    QString Caption; // "&1.CODE"
    QString Code;
    bool Checked = false; // the active file
    friend bool operator==(const TRecentFile&, const TRecentFile&) = default;
};

// The desktop of open client files: at most twenty, one of them active, kept in step with the
// history of the program settings (the recently used files, which were open at the last exit,
// the child windows then open and the active file), so that the next start can put the desktop
// back as it was.
class TDesktop {
public:
    static inline const QString TooManyFilesText = QStringLiteral(
        "You have already opened the maximum number of files permitted on your desktop at one time. Close "
        "one of the files on your desktop before attemting to open another file.");
    static inline const QString WrongPasswordText =
        QStringLiteral("QUILVANE is unable to open file \"%1\" as an incorrect password has been entered.");
    static inline const QString InUseText = QStringLiteral(
        "QUILVANE is unable to open file \"%1\" as it is already in use. \r\nPlease press HELP for more "
        "information.");
    static constexpr int InUseHelpContext = 6010;
    static inline const QString NotPermittedText = QStringLiteral(
        "QUILVANE is unable to open file \"%1\" as its entity type is not permitted on this system.");
    static constexpr int RecentFileCount = 5;
    // The result of CloseAllPages that means the user cancelled.
    static constexpr int PagesCancelled = 2;

    TDesktop(IDesktopOpener& opener, IDesktopView& view);
    ~TDesktop();
    TDesktop(const TDesktop&) = delete;
    TDesktop& operator=(const TDesktop&) = delete;

    TDesktopFiles& Files() { return DesktopFiles; }
    const TDesktopFiles& Files() const { return DesktopFiles; }
    int ActiveIndex() const { return DesktopFiles.ActiveIndex(); }
    // Whether the desktop restore is running.
    bool Restoring() const { return IsRestoring; }

    // True when fewer than twenty files are open; otherwise says so and gives false.
    bool CanOpenAnotherFile();
    // Opens a file and makes it the active one: its index, or -1 when it was not opened.
    // interactiveLock offers the retry boxes when another workstation holds the file (else one
    // silent attempt); restoreOpen reports no failure (the start-up restore); reopenPages opens
    // the data-entry window when the file comes with pages.
    int OpenFileOnDesktop(const QString& fileCode, bool askPassword, bool reopenPages, bool interactiveLock,
                          bool restoreOpen);
    // Opens the files chosen in the Open dialog: codes and availability flags (those of
    // TOpenFileSelection: "1" free, "0" in use, "2" not permitted), each list comma-separated.
    // Of the files opened or already open, the first becomes the active one; every other file
    // is named with the reason it cannot be opened.
    void OpenFiles(const QString& codes, const QString& availability);
    // Closes the file at an index: its data-entry pages first (a Cancel there stops the close
    // and gives false), then its changed charts are saved and it leaves the desktop.
    bool CloseFileOnDesktop(int index);
    // Reopens the files that were open at the last exit, with the active file and the child
    // windows of then, when the settings say so. A file that cannot be opened is not tried again.
    void RestoreDesktop();
    // The year captions changed: the Active File box is rebuilt, keeping the active file.
    void RefreshActiveFileList();
    // Makes the file at an index the active one.
    void SetActiveIndex(int index);
    // The open file at an index was renamed: its desktop entry takes the new code and its
    // history entry is replaced in place by the new code marked open; the recently-used list
    // and the Active File box are rebuilt. False when the file is not there.
    bool FileRenamed(int index, const QString& newCode);
    // A file just created and opened is recorded as the most recently used.
    void RecordOpened(const QString& fileCode) { AddHistory(fileCode); }
    // A click on a recently-used file: opens it, or makes it active when it is open already.
    void OpenRecentFile(const QString& fileCode);

    // The year caption of each open file, in desktop order.
    QStringList YearCaptions() const;
    // The first five history entries, the active file's one checked.
    std::vector<TRecentFile> RecentFiles() const;

    // Writes the desktop into the settings (the open files, the active file, the child windows
    // named) and saves them, so that a program that is killed can still restore it.
    void SaveDesktopState(const QStringList& forms);
    // Files that left the desktop without being closed by it (freed by a shutdown that was then
    // stopped): their history entries lose the open mark, as a closed file's do, and the settings
    // are saved.
    void RecordFilesClosed(const QStringList& codes);

    // The status-bar texts.
    static QString HintText(const QString& hint);
    static QString UserText(const QString& userName);
    // The child-window kind of a name in the history; -1 for a name not restored.
    static int RestoredWindowKind(const QString& formName);
    // Whether the typed password opens a file with the stored one.
    static bool PasswordMatches(const QString& stored, const QString& typed);

private:
    // Records a file as just used and rebuilds the recently-used list.
    void AddHistory(const QString& fileCode);
    void SetHistoryStatus(const QString& fileCode, int status);
    QStringList OpenCodes() const;

    IDesktopOpener& Opener;
    IDesktopView& View;
    TDesktopFiles DesktopFiles;
    bool IsRestoring = false;
};
