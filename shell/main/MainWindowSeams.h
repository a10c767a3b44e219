#pragma once

#include "core/entity/ChildWindowServices.h"
#include "core/services/UserPrompt.h"
#include "shell/children/ProcessWindows.h"

#include <QList>

#include <functional>

class QMenu;
class TDesktop;
class TEntityInfo;

// The child windows of the main window: the registry of window kinds, the data-entry window and
// the process guard. Until one is installed the frame has no child windows of its own making:
// each step does nothing and reports no data-entry window and no process.
class IChildWindowRegistry {
public:
    virtual ~IChildWindowRegistry() = default;
    // Every child window is told which file is active now (-1: none).
    virtual void ActiveFileChanged(int /*activeIndex*/) {}
    // Opens (or raises) the child window of a kind. A window that keeps its placement (the
    // Reports window) comes up where it was when its placement was last saved; the others where
    // the frame puts them.
    virtual void OpenChildWindow(int /*kind*/) {}
    // Writes the placement of every open child window that keeps one, leaving the windows open.
    virtual void SavePlacements() {}
    virtual bool DataEntryWindowOpen() const { return false; }
    virtual void OpenDataEntryWindow() {}
    // Asks which page of a kind to open for the active file and opens it in the data-entry window.
    virtual void OpenDataEntryPage(int /*pageKind*/) {}
    // Opens (or brings to the front in normal state) the master-details window of a kind.
    virtual void OpenMasterDetails(int /*kind*/) {}
    // The data-entry window when it is the active child window; nullptr otherwise.
    virtual IDataEntryWindow* ActiveDataEntryWindow() const { return nullptr; }
    // Closes the data-entry pages of the file at an index, minimising the window first when
    // minimise is set and recording the pages for the next start when record is set; 2 when the
    // user cancelled.
    virtual int CloseAllPages(int /*index*/, bool /*minimise*/, bool /*record*/) { return 0; }
    virtual void CloseDataEntryWindow() {}
    // Backs up the active file without asking first.
    virtual void BackupActiveFile() {}
    // Whether a process runs behind the process guard.
    virtual bool ProcessRunning() const { return false; }
    // Offers a backup of the file at an index before a process, saving its changed charts
    // whatever the answer; the answer. Without child windows nothing is asked: No.
    virtual TMessageButton SuggestBackup(int /*fileIndex*/, int /*process*/) { return TMessageButton::No; }
    // Runs a step on the active file behind the process guard of a process. False, without
    // running it, when the guard was refused. The step says whether the pages closed for it come
    // back afterwards (false: the file's pages stay closed).
    virtual bool RunGuarded(int /*process*/, bool /*restorable*/, const std::function<bool()>& step) {
        step();
        return true;
    }
    // Tells the data-entry window that options of the active file changed (the notice numbers
    // of TDataEntryNotice).
    virtual void NotifyDataEntry(int /*notice*/) {}
    // The commands that run a process of the active file through the process launchers.
    enum TProcessCommand : int {
        pcTransferBankEntries,
        pcDataIntegrityCheck,
        pcImportBankStatements,
        pcImportTransactions,
        pcExport,
        pcPerformReconciliation,
        pcResetReconciliation,
    };
    virtual void RunProcessCommand(TProcessCommand /*command*/) {}
    // A bank-reconciliation report (53 to 55) through the reconciliation window, without the guard.
    virtual void RunBankRecReport(int /*reportNumber*/) {}
    // Bank Rec > Opening Reconciliation: Starting Details: the year's opening balances of the bank
    // reconciliation, shown modally and written when changed.
    virtual void OpenBankRecOpenings() {}
    // Tools > Bring Forward from Prior Year: the bring-forward window for the active file's current
    // year, behind the process guard.
    virtual void BringForward() {}
    // The bring-forward window the change of year opens for next year; nullptr when none.
    virtual IProcessWindow* BringForwardWindow() { return nullptr; }
    // Runs a transfer, backup or restore process (6 to 11) on the active file: the transfers and
    // the restore behind the process guard, the backup with the pages given back afterwards.
    virtual void RunBackupRestoreProcess(int /*process*/) {}
};

// The Reports window and the Reports menu. Until one is installed the Reports menu stays as it is
// and File > Close closes the active file.
class IReportMenu {
public:
    virtual ~IReportMenu() = default;
    // Rebuilds the Reports menu for the active file (nullptr: none).
    virtual void RebuildReportMenu(QMenu& /*reportsMenu*/, TEntityInfo* /*activeFile*/) {}
    // Runs a report of the menus (its number) for the active file.
    virtual void DoReport(int /*reportNumber*/) {}
    // The Reports and Graphs windows drop the reports of a file about to close.
    virtual void DetachEntity(TEntityInfo& /*file*/) {}
    // File > Close: the indexes of the open files to close; empty when the user cancelled.
    virtual QList<int> ChooseFilesToClose(const TDesktop& desktop);
};
