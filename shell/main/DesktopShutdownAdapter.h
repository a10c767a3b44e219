#pragma once

#include "shell/shutdown/ShutdownDesktop.h"

class IChildWindowRegistry;
class IDesktopView;
class TDesktop;

// What the shutdown needs of the frame itself: its child windows and its modal state.
class IShutdownFrame {
public:
    virtual ~IShutdownFrame() = default;
    // The child windows, the topmost first.
    virtual QList<TDesktopChild> Children() const = 0;
    // Closes the child at a position of the list the last Children() call gave.
    virtual void CloseChild(int position) = 0;
    virtual void ProcessEvents() = 0;
    virtual bool ModalDialogOpen() const = 0;
    // Tells every child window of the active file; the Reports menu is rebuilt unless skipped.
    virtual void NotifyActiveFile(bool skipReportMenu) = 0;
    virtual IChildWindowRegistry& ChildWindows() = 0;
};

// The shutdown's view of the desktop: the open files come from the desktop, the windows from the
// frame and its child-window registry.
class TDesktopShutdownAdapter : public IShutdownDesktop {
public:
    TDesktopShutdownAdapter(TDesktop& desktop, IDesktopView& view, IShutdownFrame& frame)
        : Desktop(desktop), View(view), Frame(frame) {}

    int FileCount() const override;
    QString FileCode(int index) const override;
    QString YearCaption(int index) const override;
    bool PromptsForBackup(int index) const override;
    int ActiveIndex() const override;
    void MakeActive(int index) override;
    void ActiveFileChanged() override;
    QList<TDesktopChild> Children() const override;
    void CloseChild(int position) override;
    void ProcessEvents() override;
    bool DataEntryOpen() const override;
    bool CloseDataEntryPages(int index) override;
    void CloseDataEntryWindow() override;
    void SaveYearCharts(int index) override;
    void BackupActiveFile() override;
    // The file leaves the desktop but stays marked open in the history (until RecordClosed); a
    // failure to close it is shown and the shutdown goes on.
    void FreeFile(int index) override;
    void CloseFileOnDesktop(int index) override;
    void RecordClosed(const QStringList& codes) override;
    // The settings with the history, then the placements of the open child windows.
    void SaveDesktopState() override;
    bool ProcessRunning() const override;
    bool ModalDialogOpen() const override;

private:
    TDesktop& Desktop;
    IDesktopView& View;
    IShutdownFrame& Frame;
};
