#include "shell/children/ChildWindows.h"

#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Services.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/ProcessKinds.h"

#include <QScopeGuard>

#include <memory>

namespace {

// The phrase that names a process in the guard's question; empty for the others.
QString ProcessPhrase(int process) {
    switch (process) {
    case prImportBankStatements:
        return QStringLiteral("importing bank statement data");
    case prBankReconciliation:
        return QStringLiteral("performing a bank reconciliation");
    case prResetBankReconciliation:
        return QStringLiteral("resetting a bank reconciliation");
    case prTransferToClient:
        return QStringLiteral("transferring data to your Client");
    case prTransferFromClient:
        return QStringLiteral("transferring data from your Client");
    case prTransferFromAccountant:
        return QStringLiteral("transferring data from your Accountant");
    case prTransferToAccountant:
        return QStringLiteral("transferring data to your Accountant");
    case prBackup:
        return QStringLiteral("backing up");
    case prRestore:
        return QStringLiteral("restoring data");
    case prBringForward:
        return QStringLiteral("executing the bring forward procedure");
    case prTransferBankStatementEntries:
        return QStringLiteral("transferring bank entries to the cashbook");
    case prRenameFileCode:
        return QStringLiteral("renaming a file");
    case prDuplicateFileCode:
        return QStringLiteral("copying a file");
    case prDataIntegrityCheck:
        return QStringLiteral("a data integrity check");
    case prTessalyJournals:
        return QStringLiteral("creating journals from a Tessaly spreadsheet");
    default:
        return {};
    }
}

int KindOf(const QObject* child) {
    bool ok = false;
    const int kind = child->property(TChildWindows::KindProperty).toInt(&ok);
    return ok && IsWindowKind(kind) ? kind : -1;
}

// The kinds this registry opens: the master-details family, data entry, reports and graphs.
bool OpensWindow(int kind) {
    return IsWindowKind(kind) && kind != wkBudgets && kind <= wkGraphs;
}

// Records and frees the file's pages itself when no data-entry window holds them.
void RecordAndFreePages(TEntityInfo& file) {
    file.RecordOpenPages();
    while (file.DataEntryPageCount() > 0)
        file.DeleteDataEntryPage(0);
    file.CurrentPage = -1;
}

} // namespace

TChildWindows::TChildWindows(IMdiHost& host, TDesktopFiles& files, TChildWindowHooks hooks)
    : Host(host), Files(files), Hooks(std::move(hooks)) {}

void TChildWindows::SetFactory(int kind, TFactory factory) {
    if (IsWindowKind(kind))
        Factories[static_cast<size_t>(kind)] = std::move(factory);
}

QObject* TChildWindows::Slot(int kind) const {
    return IsWindowKind(kind) ? Slots[static_cast<size_t>(kind)].data() : nullptr;
}

IDataEntryWindow* TChildWindows::DataEntryWindow() const {
    return dynamic_cast<IDataEntryWindow*>(Slot(wkDataEntry));
}

int TChildWindows::ChartKindOfWindow(int kind) {
    if (kind == wkBankRecOpeningBalances)
        return 0;
    return kind == wkAccounts ? 1 : (IsMasterDetailsWindowKind(kind) && kind != wkBudgets ? kind : -1);
}

QObject* TChildWindows::FindChild(int kind, unsigned chartKinds) const {
    const QStringView wanted = WindowKindEntry(kind).WindowClass;
    for (QObject* child : Host.Children()) {
        const int childKind = KindOf(child);
        if (childKind < 0 || WindowKindEntry(childKind).WindowClass != wanted)
            continue;
        if (IsMasterDetailsWindowKind(kind)) {
            const int chartKind = ChartKindOfWindow(childKind);
            if (chartKind < 0 || (chartKinds & (1u << chartKind)) == 0)
                continue;
        }
        return child;
    }
    return nullptr;
}

Qt::WindowStates TChildWindows::FrontState() const {
    for (QObject* child : Host.Children())
        if (Host.State(child).testFlag(Qt::WindowMaximized))
            return Qt::WindowMaximized;
    return Qt::WindowNoState;
}

bool TChildWindows::OpenChildWindow(int kind, unsigned chartKinds, bool keepState) {
    if (!OpensWindow(kind))
        return true;
    Host.ClearHint();
    if (QObject* found = FindChild(kind, chartKinds)) {
        if (KindOf(found) == kind)
            Slots[static_cast<size_t>(kind)] = found;
        if (!keepState)
            Host.SetState(found, FrontState());
        Host.Raise(found);
        Host.ProcessEvents();
        return true;
    }
    const TFactory& factory = Factories[static_cast<size_t>(kind)];
    if (!factory)
        return true;
    // The hourglass while the window is made.
    const auto make = [&] {
        Host.SetBusy(true);
        const auto notBusy = qScopeGuard([this] { Host.SetBusy(false); });
        return factory(kind);
    };
    if (kind == wkBankRecOpeningBalances) {
        const std::unique_ptr<QObject> window(make());
        if (window) {
            window->setProperty(KindProperty, kind);
            Host.ShowModal(window.get());
        }
        return true;
    }
    // Taken before the new window joins the frame, which may bring a maximised child back.
    const Qt::WindowStates front = FrontState();
    QObject* window = make();
    if (!window)
        return true;
    window->setProperty(KindProperty, kind);
    Slots[static_cast<size_t>(kind)] = window;
    Host.AddChild(window);
    if (!keepState)
        Host.SetState(window, front);
    Host.ArrangeIcons();
    Host.ProcessEvents();
    return true;
}

void TChildWindows::ActiveFileChanged(bool skipReportMenu) {
    const int activeIndex = Files.ActiveIndex();
    QList<QPointer<QObject>> children;
    for (QObject* child : Host.Children())
        children.append(child);
    for (const QPointer<QObject>& child : children)
        if (auto* listener = dynamic_cast<IChildWindow*>(child.data()))
            listener->ActiveFileChanged(activeIndex);
    if (Hooks.RebuildRecentFiles)
        Hooks.RebuildRecentFiles();
    const bool restoring = Hooks.Restoring && Hooks.Restoring();
    if (!skipReportMenu && !restoring && Files.ActiveFile() && Hooks.RebuildReportMenu)
        Hooks.RebuildReportMenu(*Files.ActiveFile());
}

void TChildWindows::SelectActiveFile(int index) {
    if (Hooks.SelectActiveFile)
        Hooks.SelectActiveFile(index);
    else
        Files.SetActiveIndex(index);
}

QString TChildWindows::GuardQuestion(int process, bool restorable) {
    return GuardQuestionText.arg(ProcessPhrase(process)) + (restorable ? GuardNoteText : QString()) +
           GuardProceedText;
}

bool TChildWindows::PrepareForProcess(int process, bool restorable) {
    if (process == prNone)
        return true;
    TEntityInfo* file = Files.ActiveFile();
    if (!file || file->DataEntryPageCount() == 0)
        return true;
    const TMessageButton answer =
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question, GuardQuestion(process, restorable),
                           TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel);
    if (answer != TMessageButton::Yes) {
        Host.ProcessEvents();
        return false;
    }
    QObject* entryWindow = Slot(wkDataEntry);
    IDataEntryWindow* entry = DataEntryWindow();
    SavedEntryState = entryWindow ? Host.State(entryWindow) : Qt::WindowNoState;
    PagesClosedFor = file->EntityDetail().FileCode;
    int closed = 1;
    if (entry)
        closed = entry->CloseAllPages(Files.ActiveIndex(), true, true);
    else
        RecordAndFreePages(*file);
    Host.ProcessEvents();
    if (closed == IDataEntryWindow::PagesCancelled) {
        // Some pages stayed open: the process does not start, and those closed come back.
        AfterProcess(*file);
        return false;
    }
    return true;
}

void TChildWindows::AfterProcess(TEntityInfo& file) {
    if (PagesClosedFor.isEmpty() || file.IsClosed() || file.EntityDetail().FileCode != PagesClosedFor)
        return;
    PagesClosedFor.clear();
    const QObject* active = Host.ActiveChild();
    const bool reportsActive = active && KindOf(active) == wkReports;
    file.ReopenRecordedPages(true);
    ActiveFileChanged(false);
    if (QObject* entryWindow = Slot(wkDataEntry); entryWindow && !reportsActive)
        Host.SetState(entryWindow, SavedEntryState);
}

int TChildWindows::LocateTransaction(TEntityInfo& file, int pageKind,
                                     const std::optional<TLocateTarget>& target, int period) {
    const int index = Files.IndexOf(file.EntityDetail().FileCode);
    if (index < 0)
        return index;
    OpenChildWindow(wkDataEntry, 0, target.has_value());
    QObject* entryWindow = Slot(wkDataEntry);
    IDataEntryWindow* entry = DataEntryWindow();
    if (!entry)
        return -1;
    if (index != Files.ActiveIndex()) {
        SelectActiveFile(index);
        ActiveFileChanged(false);
    }
    const int pageIndex = entry->OpenPage(pageKind, period);
    if (!target)
        return pageIndex;
    int found = -1;
    if (TDataEntryPage* page = file.DataEntryPage(pageIndex)) {
        const qint32 id = target->SecondID >= 1 ? target->SecondID : target->FirstID;
        found = page->List().IndexOfID(id, false);
        if (found + 1 > 0) {
            page->CurrentRow = found + 1;
            page->Selection.Top = page->Selection.Bottom = page->CurrentRow;
            page->LoadEditBuffer(page->CurrentRow);
            entry->ShowCurrentRow(pageIndex);
        }
    }
    if (found + 1 > 0) {
        Host.SetState(entryWindow, FrontState());
        Host.Raise(entryWindow);
    } else {
        TServices::Prompt().Beep(TBeep::Warning);
        TServices::Prompt().ShowMessage(TMessageKind::Information, NotLocatedText, TMessageButton::OK);
    }
    return pageIndex;
}

void TChildWindows::OpenDataEntryPage(int pageKind) {
    TEntityInfo* file = Files.ActiveFile();
    if (!file || !Hooks.ChooseDataEntryPage)
        return;
    const std::optional<TDataEntryPageChoice> choice = Hooks.ChooseDataEntryPage(pageKind);
    if (!choice)
        return;
    if (choice->MakeDefault) {
        file->EntityDetail().Period = choice->Period;
        file->EntityDetail().Save(TOptionSet{Option::Standard});
    }
    LocateTransaction(*file, choice->PageKind, std::nullopt, choice->Period);
    QObject* entryWindow = Slot(wkDataEntry);
    if (entryWindow && !Host.State(entryWindow).testFlag(Qt::WindowMaximized)) {
        Host.SetState(entryWindow, FrontState());
        Host.ProcessEvents();
        Host.Raise(entryWindow);
    }
}

QString TChildWindows::SuggestBackupQuestion(int process) {
    QString phrase;
    if (process >= prTransferToClient && process <= prTransferToAccountant)
        phrase = QStringLiteral("data transfer");
    else if (process == prRenameFileCode)
        phrase = QStringLiteral("renaming a file");
    return SuggestBackupText.arg(phrase);
}

TMessageButton TChildWindows::SuggestBackup(int fileIndex, int process) {
    const TMessageButton answer =
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question, SuggestBackupQuestion(process),
                           TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel);
    if (TEntityInfo* file = Files.File(fileIndex)) {
        TOptionSet options{Option::Standard};
        file->SaveYearCharts(file->EntityDetail().Year, options, false);
    }
    if (answer == TMessageButton::Yes && Hooks.BackupFile)
        Hooks.BackupFile(fileIndex);
    return answer;
}

// --- the guard around one process ------------------------------------------------------------

TProcessGuard::TProcessGuard(TChildWindows& windows, int process, bool restorable) : Windows(windows) {
    const TEntityInfo* file = Windows.Files.ActiveFile();
    FileCode = file ? file->EntityDetail().FileCode : QString();
    IsAgreed = Pending = Windows.PrepareForProcess(process, restorable);
    if (IsAgreed)
        ++Windows.RunningProcesses;
}

void TProcessGuard::Finish() {
    if (!Pending)
        return;
    Pending = false;
    --Windows.RunningProcesses;
    if (TEntityInfo* file = Windows.Files.File(Windows.Files.IndexOf(FileCode)))
        Windows.AfterProcess(*file);
}

void TProcessGuard::Release() {
    if (!Pending)
        return;
    Pending = false;
    --Windows.RunningProcesses;
    Windows.PagesClosedFor.clear();
}

TProcessGuard::~TProcessGuard() {
    try {
        Finish();
    } catch (const std::exception& error) {
        // Nothing may leave a destructor: the failure is told instead.
        try {
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ErrorText(error),
                               TMessageButton::OK);
        } catch (...) {
        }
    }
}
