#include "tests/core/ChartTestSupport.h"
#include "tests/shell/DesktopTestSupport.h"

#include "controls/buttons/RxSpeedButton.h"
#include "controls/grids/MultiSelectStringGrid.h"
#include "controls/progress/ProgressHost.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/RunParams.h"
#include "core/io/IniFile.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionClipboard.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/ProgramIdentity.h"
#include "core/vocab/WindowKinds.h"
#include "entry/dataentry/DataEntry.h"
#include "entry/dataentry/DataEntryEditor.h"
#include "entry/dataentry/TransactionCellDelegate.h"
#include "entry/dataentry/TransactionTableModel.h"
#include "entry/masterdetails/MasterDetails.h"
#include "entry/openpage/OpenDataEntryPage.h"
#include "platform/printing/ProgramPrinter.h"
#include "reports/fmReports.h"
#include "reports/frmSelection.h"
#include "shell/backup/BackupRestore.h"
#include "shell/children/ProcessWindows.h"
#include "shell/desktop/DesktopWidgets.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/EditMenuState.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/main/ReportMenuAdapter.h"
#include "shell/openfile/OpenFileDialog.h"
#include "shell/shutdown/BackupAnswer.h"
#include "shell/shutdown/BackupTimer.h"
#include "shell/startup/SplashScreen.h"

#include <QPageSetupDialog>
#include <QPrinter>
#include <QTest>
#include <QtWidgets>

namespace {

// A child window that records each notice of the active file; as the data-entry window it opens
// no page, and given the desktop's files it closes a file's pages for real (recording them when
// asked) and minimises itself first when asked.
class TFakeChildWindow : public QWidget, public IChildWindow, public IDataEntryWindow {
public:
    explicit TFakeChildWindow(QList<int>& notices, TDesktopFiles* files = nullptr)
        : Notices(notices), Files(files) {}
    void ActiveFileChanged(int activeIndex) override { Notices << activeIndex; }
    int CloseAllPages(int fileIndex, bool minimise, bool record) override {
        if (minimise && parentWidget())
            parentWidget()->showMinimized();
        if (TEntityInfo* file = Files ? Files->File(fileIndex) : nullptr) {
            if (record)
                file->RecordOpenPages();
            while (file->DataEntryPageCount() > 0)
                file->DeleteDataEntryPage(0);
        }
        return 1;
    }
    int OpenPage(int, int) override { return -1; }
    void ShowCurrentRow(int) override {}

private:
    QList<int>& Notices;
    TDesktopFiles* Files;
};

// The main window over client records in the test's data folder: the Open dialog picks the
// codes in ToOpen, and the backup offer gives the answers in Backups (No when none is left).
class MainWindowTest : public DesktopTest, public IBackupQuestion {
protected:
    TBackupAnswer Ask(const QString& yearCaption) override {
        Offered << yearCaption;
        return Backups.isEmpty() ? TBackupAnswer::No : Backups.takeFirst();
    }
    TfmQuilvaneMain& MakeWindow() {
        TMainWindowParts parts;
        parts.Opener = this;
        parts.BackupQuestion = this;
        parts.RunDialog = [this](QDialog& dialog) {
            const auto* open = qobject_cast<TfmOpenFile*>(&dialog);
            if (!open)
                return OtherDialog ? OtherDialog(dialog) : int(QDialog::Rejected);
            for (int row = 0; row < open->msgOpenFile->rowCount(); ++row)
                open->msgOpenFile->SetRowSelected(row,
                                                  ToOpen.contains(open->msgOpenFile->item(row, 0)->text()));
            return int(QDialog::Accepted);
        };
        Reports.reset(), Window.reset();
        Window = std::make_unique<TfmQuilvaneMain>(*Params, "WORKSTATION1", parts);
        Registry = std::make_unique<TChildWindowRegistry>(*Window);
        Window->SetChildWindows(Registry.get());
        return *Window;
    }
    void InstallReportsMenu() {
        Reports = TReportMenuAdapter::ForMainWindow(*Window, *Registry);
        Window->SetReportMenu(Reports.get());
    }
    // The frame of the Reports window, opened first; nullptr when it is not open.
    QMdiSubWindow* ReportsFrame(bool open) {
        if (open)
            Registry->OpenChildWindow(wkReports);
        auto* reports = qobject_cast<TfmReports*>(Registry->Windows().ReportsWindow());
        return reports ? qobject_cast<QMdiSubWindow*>(reports->parentWidget()) : nullptr;
    }
    QString SavedPosition() const {
        TIniFile ini(TempPath("Quilvane.ini"));
        ini.SetStripQuotes(true);
        return ini.ReadString(TfmReports::PlacementSection, "NormPos", "(none)");
    }
    void Open(const QStringList& codes) {
        ToOpen = codes;
        Window->actOpen->trigger();
    }
    // "+" or "-" after each top-level menu, after File > Close and Properties and after the Tools
    // menu's Rename File and Copy File (as the menu shows them when it opens).
    QString MenuStates() const {
        QStringList states;
        for (const QAction* menu : Window->menuBar()->actions())
            states << menu->text().remove('&') + (menu->isEnabled() ? "+" : "-");
        emit Window->mnuTools->aboutToShow();
        for (const QAction* item :
             {Window->actClose, Window->actFileProperties, Window->mnuRenameFile, Window->mnuCopyFile})
            states << item->text().remove('&').remove("...").section(' ', 0, 0) +
                          (item->isEnabled() ? "+" : "-");
        return states.join(' ');
    }
    // The File menu's items, "|" for a separator and "*" after a checked one.
    QString FileMenu() const {
        QStringList items;
        for (const QAction* action : Window->mnuFile->actions())
            items << (action->isSeparator() ? "|" : action->text() + (action->isChecked() ? "*" : ""));
        return items.join(' ');
    }
    QString Combo() const {
        QStringList items;
        for (int i = 0; i < Window->cboActiveFile->count(); ++i)
            items << Window->cboActiveFile->itemText(i).left(6) +
                         (i == Window->cboActiveFile->currentIndex() ? "*" : "");
        return items.join(' ');
    }
    void ChooseInCombo(int index) {
        Window->cboActiveFile->setCurrentIndex(index);
        emit Window->cboActiveFile->activated(index);
    }

    // The backup and restore window: records "code:process:pages open:process running" and ends
    // as told.
    struct TFakeBackupWindow : IProcessWindow {
        explicit TFakeBackupWindow(MainWindowTest& test) : Test(test) {}
        bool Run(TEntityInfo& file, TReportSetup& setup) override {
            Runs << QString("%1:%2:%3:%4")
                        .arg(file.EntityDetail().FileCode)
                        .arg(setup.ProcessKind)
                        .arg(file.DataEntryPageCount())
                        .arg(Test.Registry->ProcessRunning());
            if (Throws)
                throw EQuilvaneError("Archive damaged");
            return Result;
        }
        MainWindowTest& Test;
        QStringList Runs;
        bool Result = true, Throws = false;
    } BackupWindow{*this};
    QStringList ToOpen;
    // Runs the window's dialogs other than the Open dialog (none: each is cancelled).
    std::function<int(QDialog&)> OtherDialog;
    QList<TBackupAnswer> Backups;
    QStringList Offered;
    // Freed after the window.
    QList<int> Notices;
    std::unique_ptr<TChildWindowRegistry> Registry;
    std::unique_ptr<TfmQuilvaneMain> Window;
    std::unique_ptr<TReportMenuAdapter> Reports;
};

const char* const NoFileMenus =
    "File+ Edit+ Master Details- Data Entry- Bank Rec- BAS / IAS- Reports- Tools+ "
    "Window+ Help+ Close- Properties- Rename- Copy-";
const char* const AllMenus = "File+ Edit+ Master Details+ Data Entry+ Bank Rec+ BAS / IAS+ Reports+ Tools+ "
                             "Window+ Help+ Close+ Properties+ Rename+ Copy+";

} // namespace

// File > Open opens the rows chosen in the Open dialog, the first of them active; the Active File
// box, the menus and the recently-used files (the first five of the history, between the list
// break and Exit) follow, and a choice in the box makes that file active. A recently-used file
// that is open moves to the top and becomes active; one that is not opens. Every change of the
// active file reaches the child windows; a report's transaction in another file makes that file
// active (the Active File box follows) with one notice to each child.
TEST_F(MainWindowTest, TheActiveFileBoxMenusAndRecentFilesFollowTheDesktop) {
    for (const char* code : {"AAA111", "BBB222", "CCC333"})
        WriteRecord(code);
    for (const char* code : {"OLD001", "AAA111", "OLD002", "OLD003"})
        Params->Entities.Append(code, TPreviousEntityStatus(0));
    MakeWindow();
    for (const int kind : {wkTaxes, wkDataEntry})
        Registry->Windows().SetFactory(kind, [this](int) { return new TFakeChildWindow(Notices); });
    Registry->OpenChildWindow(wkTaxes);
    EXPECT_EQ(MenuStates(), NoFileMenus);
    EXPECT_EQ(FileMenu(),
              "&New... &Open... &Close &Delete &Properties... Change &Year... Import Transactions... "
              "&Import Bank Statements - Brismere \u00AE... &Export Data - Ordwell \u00AE... | "
              "Transfer &To Accountant... Transfer &From Accountant... Transfer &To Client... Transfer &From "
              "Client... &Backup... &Restore... | QUILVANE Setup... &Printer Setup... | &1.OLD001 &2.AAA111 "
              "&3.OLD002 &4.OLD003 | E&xit");
    EXPECT_EQ(Combo(), "");

    Open({"CCC333", "BBB222"});
    EXPECT_EQ(Combo(), "BBB222* CCC333");
    EXPECT_EQ(Notices.value(Notices.size() - 1, -1), 0);
    EXPECT_EQ(MenuStates(), AllMenus);
    EXPECT_EQ(FileMenu(),
              "&New... &Open... &Close &Delete &Properties... Change &Year... Import Transactions... "
              "&Import Bank Statements - Brismere \u00AE... &Export Data - Ordwell \u00AE... | "
              "Transfer &To Accountant... Transfer &From Accountant... Transfer &To Client... Transfer &From "
              "Client... &Backup... &Restore... | QUILVANE Setup... &Printer Setup... | &1.CCC333 &2.BBB222* "
              "&3.OLD001 &4.AAA111 &5.OLD002 | E&xit");

    ChooseInCombo(1);
    EXPECT_EQ(Window->Desktop().ActiveIndex(), 1);
    EXPECT_EQ(Notices.last(), 1);
    EXPECT_EQ(FileMenu(),
              "&New... &Open... &Close &Delete &Properties... Change &Year... Import Transactions... "
              "&Import Bank Statements - Brismere \u00AE... &Export Data - Ordwell \u00AE... | "
              "Transfer &To Accountant... Transfer &From Accountant... Transfer &To Client... Transfer &From "
              "Client... &Backup... &Restore... | QUILVANE Setup... &Printer Setup... | &1.CCC333* &2.BBB222 "
              "&3.OLD001 &4.AAA111 &5.OLD002 | E&xit");
    Window->mnuFile->actions().at(21)->trigger(); // &2
    EXPECT_EQ(FileMenu(),
              "&New... &Open... &Close &Delete &Properties... Change &Year... Import Transactions... "
              "&Import Bank Statements - Brismere \u00AE... &Export Data - Ordwell \u00AE... | "
              "Transfer &To Accountant... Transfer &From Accountant... Transfer &To Client... Transfer &From "
              "Client... &Backup... &Restore... | QUILVANE Setup... &Printer Setup... | &1.BBB222* &2.CCC333 "
              "&3.OLD001 &4.AAA111 &5.OLD002 | E&xit");

    Window->mnuFile->actions().at(23)->trigger(); // &4
    EXPECT_EQ(Combo(), "BBB222 CCC333 AAA111*");  // in the order they were opened
    EXPECT_EQ(FileMenu().section("| ", 3, 3).left(12), "&1.AAA111* &");

    Notices.clear();
    EXPECT_LT(Registry->Windows().LocateTransaction(*Window->Desktop().Files().File(0), 0, std::nullopt, 1),
              0);
    EXPECT_EQ(Combo(), "BBB222* CCC333 AAA111");
    EXPECT_EQ(Notices, QList<int>({0, 0}));
    EXPECT_TRUE(Registry->DataEntryWindowOpen());
}

// File > Close closes the active file after the backup offer (Cancel keeps it open); the first
// file becomes active. The last file closed disables the file menus and closes every child
// window but the Reports window.
// Help > About names this build's version and, beside it, the release of the reference data.
TEST_F(MainWindowTest, AboutNamesTheReleaseOfTheReferenceData) {
    TfmQuilvaneMain& window = MakeWindow();
    Params->Release = "2006.1";
    QStringList shown;
    OtherDialog = [&shown](QDialog& dialog) {
        if (const auto* about = qobject_cast<TfrmSplashScreen*>(&dialog))
            shown << about->lblProgramVersionTxt->text();
        return int(QDialog::Accepted);
    };
    QAction* about = nullptr;
    for (QAction* action : window.mnuHelp->actions())
        if (action->text() == "&About...")
            about = action;
    ASSERT_TRUE(about);
    about->trigger();
    EXPECT_EQ(shown, QStringList{ProgramVersionText() + " (DAT Version: 2006.1)"});
}

TEST_F(MainWindowTest, FileCloseClosesTheActiveFile) {
    for (const char* code : {"AAA111", "BBB222", "CCC333"})
        WriteRecord(code);
    MakeWindow();
    Open({"AAA111", "BBB222", "CCC333"});
    ChooseInCombo(1);
    Backups = {TBackupAnswer::Cancel};
    Window->actClose->trigger();
    EXPECT_EQ(Combo(), "AAA111 BBB222* CCC333");
    EXPECT_EQ(LockOf("BBB222"), "1");

    Window->actClose->trigger();
    EXPECT_EQ(Combo(), "AAA111* CCC333");
    EXPECT_EQ(LockOf("BBB222"), "0");
    EXPECT_EQ(Offered, QStringList(2, "BBB222 (2006) - Acme"));
    EXPECT_EQ(Params->Entities[Params->Entities.IndexOf("BBB222")].Status.Status, 0);
    EXPECT_EQ(MenuStates(), AllMenus);

    Window->AddChildWindow(new QWidget, wkReports)->show();
    Window->AddChildWindow(new QWidget, wkTaxes)->show();
    Window->actClose->trigger();
    Window->actClose->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Combo(), "");
    EXPECT_EQ(MenuStates(), NoFileMenus);
    EXPECT_EQ(LockOf("AAA111") + LockOf("CCC333"), "00");
    const QList<QMdiSubWindow*> left = Window->MdiArea()->subWindowList();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0]->property(TfmQuilvaneMain::WindowKindProperty).toInt(), wkReports);
    Window->actClose->trigger(); // nothing to close
}

// With the Reports menu installed, a report chosen from the menu opens the Reports window as the
// frame's child and shows the report there. File > Close with several files open asks which to
// close (the active one offered), closes the chosen ones and takes their reports out of the Reports
// window; with one file open it closes that one without asking.
TEST_F(MainWindowTest, ReportsMenuOpensTheReportsWindowAndFileCloseAsksWhichFiles) {
    for (const char* code : {"AAA111", "BBB222", "CCC333"})
        WriteRecord(code);
    MakeWindow();
    InstallReportsMenu();
    Open({"AAA111", "BBB222", "CCC333"});

    QAction* timeLog = nullptr;
    for (QAction* action : Window->mnuReports->findChildren<QAction*>())
        if (action->data().toInt() == 62)
            timeLog = action;
    ASSERT_NE(timeLog, nullptr);
    timeLog->trigger();
    const QPointer<TfmReports> window = qobject_cast<TfmReports*>(Registry->Windows().ReportsWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Documents().Count(), 1);
    EXPECT_EQ(Window->FindMDIChildOfKind(wkReports), 0);

    QStringList offered; // the selection picks the first file offered
    OtherDialog = [&](QDialog& dialog) {
        auto* selection = qobject_cast<TfrmSelection*>(&dialog);
        if (!selection)
            return int(QDialog::Rejected);
        TMultiSelectStringGrid& grid = *selection->Grid();
        for (int row = 0; row < grid.rowCount(); ++row) {
            offered << grid.item(row, 0)->text() + (grid.IsRowSelected(row) ? "*" : "");
            grid.SetRowSelected(row, row == 0);
        }
        selection->accept();
        return int(QDialog::Accepted);
    };
    Window->actClose->trigger();
    ASSERT_EQ(offered.size(), 3);
    EXPECT_TRUE(offered[0].endsWith('*')) << offered.join('|').toStdString(); // the active file
    EXPECT_EQ(Combo(), "BBB222* CCC333");
    EXPECT_EQ(LockOf("AAA111"), "0");
    // Its report went with it, and the Reports window, left empty, too.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(Registry->Windows().ReportsWindow(), nullptr);

    Window->actClose->trigger();
    Window->actClose->trigger();
    EXPECT_EQ(offered.size(), 5);
    EXPECT_EQ(Combo(), "");
}

// The Reports window stays while it holds a report of a file still open, and closes (its place
// saved) with the file of its last report.
TEST_F(MainWindowTest, TheReportsWindowClosesWithTheFileOfItsLastReport) {
    for (const char* code : {"AAA111", "BBB222"})
        WriteRecord(code);
    MakeWindow();
    InstallReportsMenu();
    Open({"AAA111", "BBB222"});
    const auto runTimeLog = [this] {
        for (QAction* action : Window->mnuReports->findChildren<QAction*>())
            if (action->data().toInt() == 62)
                return action->trigger(), true;
        return false;
    };
    ASSERT_TRUE(runTimeLog());
    ChooseInCombo(1);
    ASSERT_TRUE(runTimeLog());
    const QPointer<TfmReports> window = qobject_cast<TfmReports*>(Registry->Windows().ReportsWindow());
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->Documents().Count(), 2);
    ASSERT_EQ(Combo(), "AAA111 BBB222*");

    OtherDialog = [](QDialog& dialog) {
        auto* selection = qobject_cast<TfrmSelection*>(&dialog);
        if (!selection)
            return int(QDialog::Rejected);
        for (int row = 0; row < selection->Grid()->rowCount(); ++row)
            selection->Grid()->SetRowSelected(row, selection->Grid()->item(row, 0)->text().startsWith("AAA111"));
        selection->accept();
        return int(QDialog::Accepted);
    };
    Window->actClose->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(Combo(), "BBB222*");
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->Documents().Count(), 1);
    EXPECT_EQ(Window->FindMDIChildOfKind(wkReports), 0);

    Window->actClose->trigger(); // the last file: no question
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Combo(), "");
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(Window->FindMDIChildOfKind(wkReports), -1);
    EXPECT_NE(SavedPosition(), "(none)");
}

// Exit asks first (the shutdown's tests answer No); Cancel at a backup offer stops the shutdown
// with the files not yet reached still open and timed saving back on. A Yes to an offer backs the
// file up through the backup window (process 10) before it closes. A full shutdown leaves every
// file marked open in the history, with the active file and the child windows recorded.
TEST_F(MainWindowTest, ExitOffersBackupsAndCancelKeepsTheFilesOpen) {
    const struct {
        QList<TBackupAnswer> Backups;
        const char* StillOpen;
        bool Closes;
        QStringList BackedUp = {};
    } cases[] = {
        {{TBackupAnswer::Cancel}, "A0 B0", false},
        {{TBackupAnswer::No, TBackupAnswer::Cancel}, "B1", false},
        {{TBackupAnswer::No, TBackupAnswer::No}, "", true},
        {{TBackupAnswer::Yes, TBackupAnswer::No}, "", true, {"A3:10:0:0"}},
    };
    Params->TimedBackups = true;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.StillOpen);
        const QString a = QString("A%1").arg(n), b = QString("B%1").arg(n++);
        WriteRecord(a), WriteRecord(b);
        MakeWindow();
        BackupWindow.Runs.clear();
        Registry->Launchers().SetWindows({&BackupWindow, nullptr, nullptr, nullptr});
        EXPECT_TRUE(Window->BackupTimer().Enabled());
        Open({a, b});
        ChooseInCombo(1);
        // The Taxes window opened last is on top; the desktop records the bottom one first.
        for (const auto& [kind, chartKind] : {std::pair(wkAccounts, 1), std::pair(wkTaxes, 3)})
            Window->AddChildWindow(new QWidget, kind)
                ->setProperty(TfmQuilvaneMain::ChartKindProperty, chartKind);
        Backups = c.Backups;
        Prompt->Answer(TMessageButton::Yes);
        const int sessionsBefore = Sessions;
        EXPECT_EQ(Window->close(), c.Closes);
        EXPECT_EQ(BackupWindow.Runs, c.BackedUp);
        QStringList open;
        for (int i = 0; i < Window->Desktop().Files().Count(); ++i)
            open << Window->Desktop().Files().Code(i);
        EXPECT_EQ(open.join(' '), c.StillOpen);
        EXPECT_EQ(LockOf(a) + LockOf(b),
                  QString(open.contains(a) ? "1" : "0") + (open.contains(b) ? "1" : "0"));
        EXPECT_EQ(Sessions - sessionsBefore, 2 - open.size()); // each file closed logs its visit
        EXPECT_EQ(Window->BackupTimer().Enabled(), !c.Closes);
        EXPECT_EQ(Combo().count('*'), open.isEmpty() ? 0 : 1);
        EXPECT_EQ(Params->Current, b);
        EXPECT_EQ(Params->Forms, QStringList({"Accounts", "Taxes"}));
        // A file freed by an exit that then stops is closed; one freed by a finished exit keeps
        // its mark for the next start.
        EXPECT_EQ(Params->Entities[Params->Entities.IndexOf(a)].Status.Status > 0,
                  open.contains(a) || c.Closes);
    }
}

// At start-up the previous run's files come back with the one that was active; a file that fails
// is dropped without a word and loses its open mark.
TEST_F(MainWindowTest, TheDesktopIsRestoredAtStartUp) {
    for (const char* code : {"AAA111", "BROKE1", "CCC333"}) {
        WriteRecord(code);
        Params->Entities.Append(code, TPreviousEntityStatus(1));
    }
    YearFails = QStringList({"BROKE1"});
    Params->RestoreDesktop = 1;
    Params->Current = "CCC333";
    MakeWindow();
    EXPECT_FALSE(Window->BackupTimer().Enabled());
    Window->RestoreDesktop();
    EXPECT_EQ(Combo(), "AAA111 CCC333*");
    EXPECT_EQ(Params->Entities[1].Status.Status, 0);
    EXPECT_TRUE(Prompt->Texts().isEmpty());
}

// The status bar shows each hint after a blank, " Ready." without one, and the user; another
// copy of the program brings the window up maximised.
TEST_F(MainWindowTest, StatusBarShowsHintsAndAnotherCopyBringsTheWindowUp) {
    MakeWindow().showMinimized();
    QStatusTipEvent hint("Open one or more client files"), none{QString()};
    QCoreApplication::sendEvent(Window.get(), &hint);
    EXPECT_EQ(Window->StatusHint(), " Open one or more client files");
    QCoreApplication::sendEvent(Window.get(), &none);
    EXPECT_EQ(Window->StatusHint() + "|" + Window->StatusUser(), " Ready.| User: WORKSTATION1");
    // progress windows nest: busy from the first shown to the last hidden
    TProgressHost::Enter();
    TProgressHost::Enter();
    TProgressHost::Leave();
    EXPECT_EQ(Window->StatusHint(), " Busy...");
    TProgressHost::Leave();
    EXPECT_EQ(Window->StatusHint(), " Ready.");
    Window->ActivateFromOtherInstance();
    QCoreApplication::processEvents();
    EXPECT_EQ(Window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowMaximized);
    EXPECT_TRUE(Window->isVisible());
}

TEST_F(MainWindowTest, ChildWindowsAreFoundByTheClassOfTheirKind) {
    TfmQuilvaneMain& window = MakeWindow();
    EXPECT_EQ(window.FindMDIChildOfKind(wkReports), -1);
    for (const int kind : {wkReports, wkTaxes, wkDataEntry, wkBudgets, wkCustomReports})
        window.AddChildWindow(new QWidget, kind);
    // The first window in the order they were opened, whichever is in front.
    window.MdiArea()->setActiveSubWindow(window.MdiArea()->subWindowList().at(3));
    // Kinds that share a class find each other's windows; kinds without a class, or outside the
    // table, find none.
    const std::pair<int, int> found[] = {
        {wkReports, 0}, {wkDataEntry, 2}, {wkTaxes, 1},          {wkAccounts, 1}, {wkReportLayouts, 4},
        {wkGraphs, -1}, {wkBudgets, -1},  {wkJobstreamSets, -1}, {-1, -1},        {WindowKindCount, -1}};
    for (const auto& [kind, index] : found)
        EXPECT_EQ(window.FindMDIChildOfKind(kind), index) << kind;
}

// The child windows the last run left open come back through the registry; Accounts asked for
// again while minimised comes back to the front in its normal state. One closed leaves its slot empty and is
// not recorded for the next start.
TEST_F(MainWindowTest, AChildWindowClosedLeavesItsSlotAndTheDesktopRecord) {
    WriteRecord("AAA111");
    Params->Entities.Append("AAA111", TPreviousEntityStatus(1));
    Params->RestoreDesktop = 1;
    Params->Current = "AAA111";
    Params->Forms = QStringList({"Accounts", "Taxes"});
    MakeWindow().show();
    for (const int kind : {wkAccounts, wkTaxes})
        Registry->Windows().SetFactory(kind, [](int) { return new QWidget; });
    Window->RestoreDesktop();
    QObject* taxes = Registry->Windows().Slot(wkTaxes);
    ASSERT_TRUE(taxes && Registry->Windows().Slot(wkAccounts));
    const QList<QMdiSubWindow*> frames = Window->MdiArea()->subWindowList();
    ASSERT_EQ(frames.size(), 2);
    QMdiSubWindow* accounts = frames[0]->widget() == taxes ? frames[1] : frames[0];
    accounts->showMinimized();
    Registry->Windows().OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, false);
    EXPECT_EQ(Window->MdiArea()->subWindowList().size(), 2);
    EXPECT_TRUE(Window->MdiArea()->activeSubWindow() == accounts && !accounts->isMinimized());
    (frames[0] == accounts ? frames[1] : frames[0])->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Registry->Windows().Slot(wkTaxes), nullptr);
    EXPECT_NE(Registry->Windows().Slot(wkAccounts), nullptr);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(Params->Forms, QStringList({"Accounts"}));
}

// The main window with two client files open, pictured into the folder named by
// QUILVANE_SHOT_DIR (the test's own folder when it is not set) as main-window.png; then the Open
// dialog over it, marking a third file held by another workstation, as open-file-dialog.png.
TEST_F(MainWindowTest, TheMainWindowWithTwoFilesOpenIsPictured) {
    const std::pair<const char*, const char*> clients[] = {{"HARBOR", "Harbour Bakery Pty Ltd"},
                                                           {"WILLOW", "Willow Creek Family Trust"}};
    for (const auto& [code, name] : clients)
        ASSERT_TRUE(WriteFileBytes(
            RecordPath(code),
            SmallRecord("0", "", QString("Code=") + code).replace("Name=Acme", QByteArray("Name=") + name)));
    MakeWindow().resize(1024, 700);
    Open({"HARBOR", "WILLOW"});
    ChooseInCombo(1);
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    EXPECT_EQ(Window->cboActiveFile->currentText(), "WILLOW (2006) - Willow Creek Family Trust");
    const QString folder = qEnvironmentVariable("QUILVANE_SHOT_DIR", Temp.path());
    ASSERT_TRUE(QDir().mkpath(folder));
    QPixmap picture = Window->grab();
    EXPECT_TRUE(picture.save(folder + "/main-window.png"));

    ASSERT_TRUE(
        WriteFileBytes(RecordPath("RIVERS"),
                       SmallRecord("0", "", "Code=RIVERS").replace("Name=Acme", "Name=Riverside Motors")));
    const QString ownName = std::exchange(Params->UserName, QString("ACCOUNTS-PC"));
    const std::unique_ptr<TEntityDetail> held =
        TEntityDetail::Create("RIVERS", TOptionSet{Option::Standard, Option::Load});
    Params->UserName = ownName;
    ASSERT_TRUE(held && held->Locked);
    TfmOpenFile dialog(Window.get());
    ASSERT_EQ(dialog.Setup(Window->Desktop().Files(), 0), 3);
    QStringList statuses;
    for (int row = 0; row < dialog.msgOpenFile->rowCount(); ++row)
        statuses << dialog.msgOpenFile->item(row, 0)->text() + ":" + dialog.msgOpenFile->item(row, 3)->text();
    EXPECT_TRUE(statuses.contains("RIVERS:In use by ACCOUNTS-PC")) << statuses.join(' ').toStdString();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // Without a window manager the dialog has no title bar: one is drawn with its title.
    const QPixmap shown = dialog.grab();
    const int titleHeight = 24;
    const QRect frame((picture.width() - shown.width()) / 2,
                      (picture.height() - shown.height()) / 2 - titleHeight, shown.width(),
                      shown.height() + titleHeight);
    QPainter painter(&picture);
    painter.fillRect(frame.left(), frame.top(), frame.width(), titleHeight, QColor(0x2f, 0x55, 0x8c));
    painter.setPen(Qt::white);
    painter.drawText(frame.adjusted(8, 0, 0, 0).topLeft() + QPoint(0, 17), dialog.windowTitle());
    painter.drawPixmap(frame.left(), frame.top() + titleHeight, shown);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawRect(frame);
    painter.end();
    EXPECT_TRUE(picture.save(folder + "/open-file-dialog.png"));
}

// Through File > Open with nineteen files open: a wrong password refuses its file and gives the
// lock back; the twentieth file opens and becomes active; with twenty open the next one is refused
// with the message before any password is asked, and nothing more opens.
TEST_F(MainWindowTest, FileOpenRefusesAWrongPasswordAndATwentyFirstFile) {
    QStringList nineteen;
    for (int i = 1; i <= 21; ++i)
        WriteRecord(QString::asprintf("F%02d", i)), nineteen << QString::asprintf("F%02d", i);
    nineteen.resize(19);
    WriteRecord("PWD001", "SECRET");
    MakeWindow();
    Open(nineteen);
    ASSERT_EQ(Window->Desktop().Files().Count(), 19);
    const struct {
        const char* Code;
        std::optional<QString> Typed;
        QString Refusal; // empty: the file opens
        int OpenAfter;
    } cases[] = {
        {"PWD001", "WRONG", TDesktop::WrongPasswordText.arg("PWD001"), 19},
        {"F20", {}, {}, 20},
        {"F21", {}, TDesktop::TooManyFilesText, 20},
        {"PWD001", "SECRET", TDesktop::TooManyFilesText, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Code);
        const QString activeBefore = Window->Desktop().Files().Code(Window->Desktop().ActiveIndex());
        Prompt->Shown.clear(), Prompt->Beeps.clear();
        Typed = c.Typed;
        if (!c.Refusal.isEmpty())
            Prompt->Answer(TMessageButton::OK);
        Open({c.Code});
        EXPECT_EQ(Prompt->Texts(), c.Refusal.isEmpty() ? QStringList() : QStringList(c.Refusal));
        EXPECT_EQ(std::vector<TBeep>(Prompt->Beeps.begin(), Prompt->Beeps.end()),
                  c.Refusal.isEmpty() ? std::vector<TBeep>() : std::vector<TBeep>({TBeep::Warning}));
        EXPECT_EQ(Window->Desktop().Files().Count(), c.OpenAfter);
        EXPECT_EQ(Window->cboActiveFile->count(), c.OpenAfter);
        EXPECT_EQ(LockOf(c.Code), c.Refusal.isEmpty() ? "1" : "0");
        EXPECT_EQ(Window->Desktop().Files().Code(Window->Desktop().ActiveIndex()),
                  c.Refusal.isEmpty() ? QString(c.Code) : activeBefore);
    }
    EXPECT_EQ(Asked, 1);    // the full desktop refuses before the password
    EXPECT_EQ(Sessions, 0); // a refused file logs no visit
}

// A process run through the main window's registry with data-entry pages open: the guard asks; on
// Yes the data-entry window (maximised) minimises and closes the pages while the process runs,
// and they come back with the window's state and a notice afterwards, also when the process is
// cancelled in its window or fails; No runs nothing and closes nothing.
TEST_F(MainWindowTest, AProcessThroughTheRegistryGivesThePagesBack) {
    WriteRecord("AAA111"), WriteChart("AAA111");
    MakeWindow();
    Open({"AAA111"});
    TEntityInfo& file = *Window->Desktop().Files().File(0);
    AddPage(file, 1, 3), AddPage(file, 2, 5);
    Registry->Windows().SetFactory(
        wkDataEntry, [this](int) { return new TFakeChildWindow(Notices, &Window->Desktop().Files()); });
    Registry->OpenDataEntryWindow();
    QMdiSubWindow* entry = Window->MdiArea()->subWindowList().value(0);
    ASSERT_TRUE(entry && Registry->DataEntryWindowOpen());
    entry->showMaximized();
    Registry->Launchers().SetWindows({&BackupWindow, nullptr, nullptr, nullptr});

    const struct {
        const char* Name;
        TMessageButton Answer;
        bool Result, Throws;
    } cases[] = {{"ends", TMessageButton::Yes, true, false},
                 {"cancelled", TMessageButton::Yes, false, false},
                 {"fails", TMessageButton::Yes, false, true},
                 {"refused", TMessageButton::No, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const bool runs = c.Answer == TMessageButton::Yes;
        Prompt->Shown.clear(), Notices.clear(), BackupWindow.Runs.clear();
        BackupWindow.Result = c.Result, BackupWindow.Throws = c.Throws;
        Prompt->Answer(c.Answer);
        if (c.Throws)
            EXPECT_THROW(Registry->Launchers().Restore(), EQuilvaneError);
        else
            Registry->Launchers().Restore();
        EXPECT_EQ(Prompt->Texts(), QStringList(TChildWindows::GuardQuestion(prRestore, true)));
        EXPECT_EQ(BackupWindow.Runs,
                  runs ? QStringList(QString("AAA111:%1:0:1").arg(prRestore)) : QStringList());
        EXPECT_EQ(Pages(file), "1/3 2/5 ");
        EXPECT_TRUE(entry->isMaximized());
        // The notice after the process (all of the first file); a restore that ended tells the
        // children once more.
        const qsizetype notices = runs ? (c.Result ? 2 : 1) : 0;
        EXPECT_EQ(std::pair(Notices.size(), Notices.count(0)), std::pair(notices, notices));
    }
}

// The Reports window comes up where its section of the program ini puts it, and closing it writes
// where it was then, which is where it comes up next time.
TEST_F(MainWindowTest, TheReportsWindowComesBackWhereItWasClosed) {
    const QString ini = TempPath("Quilvane.ini");
    ASSERT_TRUE(
        WriteFileBytes(ini, "[DESKTOP]\r\nRestoreDesktop=1\r\n[Reports]\r\nNormPos=40,30,440,330\r\n"));
    MakeWindow().show();
    InstallReportsMenu();
    QMdiSubWindow* frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(40, 30, 400, 300));

    frame->setGeometry(60, 50, 320, 240);
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ReportsFrame(false), nullptr);
    EXPECT_EQ(SavedPosition(), "60,50,380,290");
    EXPECT_TRUE(ReadFileBytes(ini).startsWith("[DESKTOP]\r\nRestoreDesktop=1\r\n"));

    frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(60, 50, 320, 240));
}

// With no stored place the Reports window opens at a usable share of the frame, and a stored
// place shrunk to a title bar is not taken.
TEST_F(MainWindowTest, TheReportsWindowOpensUsableWithoutAUsablePlace) {
    MakeWindow().show();
    InstallReportsMenu();
    const QSize area = Window->MdiArea()->size();
    QMdiSubWindow* frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->size(), QSize(area.width() * 2 / 3, area.height() * 2 / 3));
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_TRUE(WriteFileBytes(TempPath("Quilvane.ini"), "[Reports]\r\nNormPos=0,0,135,32\r\n"));
    frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->size(), QSize(area.width() * 2 / 3, area.height() * 2 / 3));
}

// A timed-save tick does nothing while a process runs behind the guard. A timed save writes the
// place of the open Reports window and leaves it open; the exit writes the place it has then.
TEST_F(MainWindowTest, TimedSavingAndTheExitWriteWhereTheReportsWindowIs) {
    MakeWindow().show();
    InstallReportsMenu();
    QMdiSubWindow* frame = ReportsFrame(true);
    ASSERT_NE(frame, nullptr);
    frame->setGeometry(10, 20, 300, 200);
    Params->TimedBackups = true;
    Params->BackupInterval = 1;
    Window->BackupTimer().EnableFromSettings();
    {
        TProcessGuard guard(Registry->Windows(), prDataIntegrityCheck, false);
        ASSERT_TRUE(guard.Agreed() && Registry->ProcessRunning());
        EXPECT_FALSE(Window->BackupTimer().OnTick());
        EXPECT_EQ(SavedPosition(), "(none)");
    }
    EXPECT_TRUE(Window->BackupTimer().OnTick());
    EXPECT_EQ(SavedPosition(), "10,20,310,220");
    EXPECT_EQ(ReportsFrame(false), frame);
    EXPECT_TRUE(frame->isVisible());

    frame->setGeometry(70, 80, 300, 200);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(SavedPosition(), "70,80,370,280");
}

// The Edit menu's transaction commands: nothing without a page in front; Paste needs transactions
// on the clipboard; the deleted-transactions page takes neither pastes nor deletions; the last
// three follow the window's buttons.
TEST(EditMenuState, FollowsThePageTheClipboardAndTheButtons) {
    std::array<bool, DataEntryCommandCount> buttons{};
    buttons[decRemoveDissection] = true;
    struct TCase {
        int PageKind;
        bool Clipboard;
        const char* Expected; // copy paste insert delete create remove contras
    };
    const TCase cases[] = {{-1, true, "0000000"},
                           {pkPayments, false, "1011010"},
                           {pkPayments, true, "1111010"},
                           {pkDeletedTransactions, true, "1010010"},
                           {pkOpeningBalances, true, "1111010"}};
    for (const TCase& c : cases) {
        const TEditMenuState state = TEditMenuState::Of(c.PageKind, c.Clipboard, buttons);
        QString got;
        for (const bool enabled : state.Enabled)
            got += enabled ? '1' : '0';
        EXPECT_EQ(got, c.Expected) << c.PageKind << " " << c.Clipboard;
    }
}

// Data Entry > Payments asks for the period and opens that page in the data-entry window, which
// the Edit menu's transaction commands then follow; Master Details > Accounts shows the accounts of
// the active file's year.
TEST_F(MainWindowTest, DataEntryAndMasterDetailsMenusReachTheirWindows) {
    WriteRecord("ABC123");
    ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
    MakeWindow();
    Window->show();
    Open({"ABC123"});
    QStringList asked;
    OtherDialog = [&asked](QDialog& dialog) {
        auto* choice = qobject_cast<TfmOpenDataEntryPage*>(&dialog);
        if (!choice)
            return int(QDialog::Rejected);
        asked << choice->cboPageKind->currentText();
        choice->cboPeriod->setCurrentIndex(8);
        return int(QDialog::Accepted);
    };
    const auto item = [](QMenu* menu, const QString& text) {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                return action;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(item(Window->mnuDataEntry, "&Payments"), nullptr);
    item(Window->mnuDataEntry, "&Payments")->trigger();
    EXPECT_EQ(asked, QStringList{"Payments"});
    auto* entry = qobject_cast<TfmDataEntry*>(Registry->Windows().Slot(wkDataEntry));
    ASSERT_NE(entry, nullptr);
    const TEntityInfo& file = *Window->Desktop().Files().ActiveFile();
    ASSERT_EQ(file.DataEntryPageCount(), 1);
    EXPECT_EQ(file.DataEntryPage(0)->List().PageKind() * 100 + file.DataEntryPage(0)->List().Period(), 109);

    // The Edit menu follows the data-entry window only while it is the active child.
    const auto editStates = [this] {
        emit Window->mnuEdit->aboutToShow();
        QString states;
        for (QAction* action : Window->actTransactions)
            states += action->isEnabled() ? '1' : '0';
        return states;
    };
    Window->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(entry->parentWidget()));
    QGuiApplication::clipboard()->setText("not transactions");
    EXPECT_EQ(editStates(), "1011001"); // the page holds only its blank line
    auto copied = std::make_unique<QMimeData>();
    copied->setData(TransactionClipboard::MimeType(), QByteArray(125, '\0'));
    QGuiApplication::clipboard()->setMimeData(copied.release());
    EXPECT_EQ(editStates(), "1111001");

    ASSERT_NE(item(Window->mnuMasterDetails, "&Accounts..."), nullptr);
    item(Window->mnuMasterDetails, "&Accounts...")->trigger();
    auto* accounts = qobject_cast<TfmMasterDetails*>(Registry->Windows().Slot(wkAccounts));
    ASSERT_NE(accounts, nullptr);
    EXPECT_EQ(accounts->GetChartKind(), 1);
    EXPECT_EQ(editStates(), "0000000");
}

// Yes to the backup offered at exit makes the backup: the backup window of the program comes up
// for the file, and its OK leaves a new archive on the chosen drive.
TEST_F(MainWindowTest, YesToTheBackupOfferedAtExitLeavesAnArchive) {
    const QString drive = TempPath("B");
    ASSERT_TRUE(QDir().mkpath(drive));
    Files->MapDrive(u'B', drive);
    WriteRecord("ABC123");
    ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
    MakeWindow();
    Open({"ABC123"});
    QStringList captions;
    OtherDialog = [&captions](QDialog& dialog) {
        auto* backup = qobject_cast<TfmBackupRestore*>(&dialog);
        if (!backup)
            return int(QDialog::Rejected);
        captions << backup->windowTitle();
        backup->cboDrive->setCurrentIndex(backup->cboDrive->findData(QChar(u'B')));
        backup->CheckDrive();
        backup->memZipMemo->setPlainText("Year end");
        backup->btnOKClick();
        return backup->result();
    };
    Backups = {TBackupAnswer::Yes};
    Prompt->Answer(TMessageButton::Yes); // exit
    Prompt->Answer(TMessageButton::OK);  // "Backup completed successfully."
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(captions, QStringList{"Backup - ABC123 (2006 Financial Year)"});
    EXPECT_EQ(QDir(drive + "/QUILVANE/BACKUPS").entryList(QDir::Files), QStringList{"ABC12306.001"});
    EXPECT_EQ(Prompt->Shown.last().Text, "Backup completed successfully.");
}

// A GST group's representative opens its members and stays the active file; the item is there only
// for a representative.
TEST_F(MainWindowTest, OpenGroupFilesOpensTheMembersAndKeepsTheRepresentativeActive) {
    for (const char* code : {"AAA111", "BBB222", "CCC333"})
        WriteRecord(code);
    MakeWindow();
    Open({"AAA111"});
    emit Window->mnuBASIAS->aboutToShow();
    EXPECT_FALSE(Window->mnuOpenGroupFiles->isEnabled());
    TEntityDetail& detail = Window->Desktop().Files().ActiveFile()->EntityDetail();
    detail.GSTGroupOption = 2;
    detail.GSTGroupFile[1] = "BBB222";
    detail.GSTGroupFile[3] = "CCC333";
    emit Window->mnuBASIAS->aboutToShow();
    ASSERT_TRUE(Window->mnuOpenGroupFiles->isEnabled());
    Prompt->Answer(TMessageButton::OK);
    Window->mnuOpenGroupFiles->trigger();
    EXPECT_EQ(Prompt->Shown.last().Text, "Open all GST group files associated with the current file ?");
    EXPECT_EQ(Combo(), "AAA111* BBB222 CCC333");
}

// File > Printer Setup sets up the program's one printer.
TEST_F(MainWindowTest, PrinterSetupWorksOnTheProgramsPrinter) {
    MakeWindow();
    QPrinter* shown = nullptr;
    OtherDialog = [&shown](QDialog& dialog) {
        if (auto* setup = qobject_cast<QPageSetupDialog*>(&dialog))
            shown = setup->printer();
        return int(QDialog::Rejected);
    };
    Window->actPrinterSetup->trigger();
    EXPECT_EQ(shown, &ProgramPrinter());
}

// The data-entry window comes up where its section of the program ini puts it, inside the frame
// however far off the place kept, and in the state kept beside it; closing it writes where and how
// it was; Close All and Reset Positions forgets it.
TEST_F(MainWindowTest, TheDataEntryWindowKeepsItsPlaceAndState) {
    const QString ini = TempPath("Quilvane.ini");
    ASSERT_TRUE(WriteFileBytes(ini, "[Data Entry]\r\nNormPos=40,30,740,530\r\nWindowState=0\r\n"));
    MakeWindow().resize(1000, 760);
    Window->show();
    QApplication::processEvents();
    const auto frame = [this]() -> QMdiSubWindow* {
        auto* entry = qobject_cast<TfmDataEntry*>(Registry->Windows().Slot(wkDataEntry));
        return entry ? qobject_cast<QMdiSubWindow*>(entry->parentWidget()) : nullptr;
    };
    const auto close = [&] {
        if (QMdiSubWindow* open = frame())
            open->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return frame() == nullptr;
    };
    const auto open = [&] {
        Registry->OpenDataEntryWindow();
        QApplication::processEvents();
        return frame();
    };
    const auto stored = [&](const char* key) {
        TIniFile read(ini);
        read.SetStripQuotes(true);
        return read.ReadString(TfmDataEntry::PlacementSection, key, "(none)");
    };
    QMdiSubWindow* window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->geometry(), QRect(40, 30, 700, 500));
    window->setGeometry(60, 50, 720, 480);
    ASSERT_TRUE(close());
    EXPECT_EQ(std::pair(stored("NormPos"), stored("WindowState")),
              std::pair(QString("60,50,780,530"), QString("0")));

    window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->geometry(), QRect(60, 50, 720, 480));
    window->showMaximized();
    ASSERT_TRUE(close());
    EXPECT_EQ(std::pair(stored("NormPos"), stored("WindowState")),
              std::pair(QString("60,50,780,530"), QString("2")));
    window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isMaximized());
    ASSERT_TRUE(close());

    ASSERT_TRUE(WriteFileBytes(ini, "[Data Entry]\r\nNormPos=3000,2000,3700,2500\r\n"));
    window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(QRect(QPoint(0, 0), window->parentWidget()->size()).contains(window->geometry()))
        << window->geometry().x() << "," << window->geometry().y();

    Window->actCloseAllAndReset->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame(), nullptr);
    EXPECT_EQ(stored("NormPos"), "(none)");
}

// The Edit menu's transaction commands, and so their keys, are enabled exactly when the data-entry
// window's buttons are, whatever moved the current line: F7 dissects the line the keyboard went
// to, Shift+F7 undoes it, and Ctrl+Ins and Ctrl+Del insert and delete lines, from an open cell too.
TEST_F(MainWindowTest, TheTransactionKeysWorkWhenTheDataEntryButtonsDo) {
    WriteRecord("ABC123");
    WriteChart("ABC123");
    MakeWindow().show();
    Open({"ABC123"});
    OtherDialog = [](QDialog& dialog) {
        auto* choice = qobject_cast<TfmOpenDataEntryPage*>(&dialog);
        if (!choice)
            return int(QDialog::Rejected);
        choice->cboPeriod->setCurrentIndex(8);
        return int(QDialog::Accepted);
    };
    for (QAction* action : Window->mnuDataEntry->actions())
        if (action->text() == "&Payments")
            action->trigger();
    auto* entry = qobject_cast<TfmDataEntry*>(Registry->Windows().Slot(wkDataEntry));
    ASSERT_NE(entry, nullptr);
    Window->activateWindow();
    QApplication::processEvents();
    TTransactionTableModel& model = *entry->Model();
    QTableView& grid = *entry->grdTransactions;
    const auto press = [](QWidget* where, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(where, key, modifiers);
        QApplication::processEvents();
        QApplication::processEvents();
    };
    // The page opened has the keyboard on its current cell.
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    EXPECT_EQ(grid.currentIndex(), model.index(0, TTransactionGrid::colDate));
    // Two lines keyed, the keyboard then on the new line below them.
    grid.setFocus();
    for (const char* amount : {"10", "20"}) {
        const int row = model.rowCount() - 1;
        ASSERT_TRUE(model.setData(model.index(row, TTransactionGrid::colReference), "1"));
        ASSERT_TRUE(model.setData(model.index(row, TTransactionGrid::colAmount), amount));
        press(&grid, Qt::Key_Down);
    }
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(grid.currentIndex().row(), 2);
    const TTransactionList& list = entry->Editor()->List();
    const auto totals = [&list] {
        int count = 0;
        for (int i = 0; i < list.Count(); ++i)
            count += list.GetItem(i)->HasAnyFlag({TransactionFlag::DissectionTotal}) ? 1 : 0;
        return count;
    };
    const auto sameAsButtons = [&] {
        const TRxSpeedButton* buttons[] = {entry->spbCopyToClipboard,   entry->spbPasteFromClipboard,
                                           entry->spbInsertTransaction, entry->spbDeleteTransaction,
                                           entry->spbCreateDissection,  entry->spbRemoveDissection,
                                           entry->spbGenerateContras};
        QString actions, shown;
        for (int command = 0; command < DataEntryCommandCount; ++command) {
            actions += Window->actTransactions[static_cast<size_t>(command)]->isEnabled() ? '1' : '0';
            shown += buttons[command]->isEnabled() ? '1' : '0';
        }
        EXPECT_EQ(actions, shown);
    };
    // The menu opened on the new line: nothing there to dissect.
    emit Window->mnuEdit->aboutToShow();
    ASSERT_FALSE(Window->actTransactions[decCreateDissection]->isEnabled());

    press(&grid, Qt::Key_Up);
    ASSERT_EQ(grid.currentIndex().row(), 1);
    EXPECT_TRUE(entry->spbCreateDissection->isEnabled());
    sameAsButtons();
    press(&grid, Qt::Key_F7);
    EXPECT_EQ(std::pair(totals(), model.rowCount()), std::pair(1, 4));
    sameAsButtons();
    press(&grid, Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(std::pair(totals(), model.rowCount()), std::pair(0, 3));
    sameAsButtons();

    press(&grid, Qt::Key_Up);
    ASSERT_EQ(grid.currentIndex().row(), 0);
    sameAsButtons();
    press(&grid, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_TRUE(list.GetItem(0)->HasAnyFlag({TransactionFlag::Blank}));
    sameAsButtons();
    // From an open cell of the line below (the inserted line, left unkeyed, goes).
    grid.setCurrentIndex(model.index(1, TTransactionGrid::colAmount));
    QApplication::processEvents();
    grid.edit(grid.currentIndex());
    QWidget* editor = entry->CellDelegate()->OpenEditor();
    ASSERT_NE(editor, nullptr);
    Prompt->Answer(TMessageButton::Yes);
    press(editor, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Prompt->Texts(), QStringList{TDataEntryEditor::DeleteQuestion});
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(list.GetItem(0)->Amount, 20.0);
    sameAsButtons();
    EXPECT_EQ(entry->CloseAllPages(0, false, false), 1);
}
