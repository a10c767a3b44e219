#include "tests/shell/DesktopTestSupport.h"

#include "core/vocab/ProcessKinds.h"
#include "shell/children/ChildWindows.h"

namespace {

class TFakeChild : public QObject, public IChildWindow {
public:
    void ActiveFileChanged(int activeIndex) override { Heard.append(activeIndex); }
    QList<int> Heard;
};

// A frame whose children are a list (the topmost first); each step is logged as "step:kind".
class TFakeHost : public IMdiHost {
public:
    QList<QObject*> Children() const override {
        QList<QObject*> children;
        for (const QPointer<QObject>& child : Stack)
            if (child)
                children.append(child);
        return children;
    }
    QObject* ActiveChild() const override { return Children().value(0); }
    void AddChild(QObject* child) override {
        child->setParent(&Owner), Stack.prepend(child), Step("add", child);
    }
    Qt::WindowStates State(QObject* child) const override { return States.value(child); }
    void SetState(QObject* child, Qt::WindowStates state) override {
        States[child] = state;
        Step("state" + QString::number(state.toInt()), child);
    }
    void Raise(QObject* child) override {
        Stack.removeAll(child), Stack.prepend(child), Step("raise", child);
    }
    void ShowModal(QObject* window) override { Step("modal", window); }
    void ArrangeIcons() override {}
    void Step(const QString& step, const QObject* child) {
        Log << step + ":" + child->property(TChildWindows::KindProperty).toString();
    }

    QObject Owner;
    QList<QPointer<QObject>> Stack;
    QHash<QObject*, Qt::WindowStates> States;
    QStringList Log;
};

} // namespace

// The desktop of DesktopTest with the child windows over a fake frame; every kind has a factory
// of recording children. The data-entry child closes the pages of a desktop file for real (a
// Cancel after the first when CancelPages), and a page it opens holds entries with IDs 1 to 3.
class ChildWindowsTest : public DesktopTest {
protected:
    class TFakeDataEntry : public TFakeChild, public IDataEntryWindow {
    public:
        explicit TFakeDataEntry(ChildWindowsTest& test) : Test(test) {}
        int CloseAllPages(int fileIndex, bool minimise, bool record) override {
            Test.Log << QString("close-all:%1:%2:%3").arg(fileIndex).arg(minimise).arg(record);
            Test.Host.States[this] = Qt::WindowMinimized;
            TEntityInfo& file = *Test.Desktop.Files().File(fileIndex);
            file.RecordOpenPages();
            for (bool first = true; file.DataEntryPageCount() > 0 && (first || !Test.CancelPages);
                 first = false)
                file.DeleteDataEntryPage(0);
            return file.DataEntryPageCount() > 0 ? PagesCancelled : 1;
        }
        int OpenPage(int pageKind, int period) override {
            return Test.AddPage(*Test.Desktop.Files().ActiveFile(), pageKind, period, 3);
        }
        void ShowCurrentRow(int) override {}
        ChildWindowsTest& Test;
    };

    void SetUp() override {
        DesktopTest::SetUp();
        for (int kind = 0; kind < WindowKindCount; ++kind)
            Windows.SetFactory(kind, [this](int made) -> QObject* {
                Made << made;
                return made == wkDataEntry ? new TFakeDataEntry(*this) : new TFakeChild;
            });
    }
    TFakeChild* Open(int kind, unsigned chartKinds = 0, bool keepState = false) {
        Windows.OpenChildWindow(kind, chartKinds, keepState);
        return static_cast<TFakeChild*>(Windows.Slot(kind));
    }

    TFakeHost Host;
    QList<int> Made, Backups;
    int ReportMenus = 0, RecentLists = 0;
    bool IsRestoring = false, CancelPages = false;
    std::optional<TDataEntryPageChoice> Choice;
    TChildWindows Windows{Host, Desktop.Files(),
                          TChildWindowHooks{.Restoring = [this] { return IsRestoring; },
                                            .RebuildRecentFiles = [this] { ++RecentLists; },
                                            .RebuildReportMenu = [this](TEntityInfo&) { ++ReportMenus; },
                                            .SelectActiveFile = {},
                                            .BackupFile = [this](int index) { Backups << index; },
                                            .ChooseDataEntryPage = [this](int) { return Choice; }}};
};

// Accounts asked for again comes to the front (normal state unless kept); Taxes and Standard
// Descriptions make windows of their own. A closed window's slot empties and the next request
// makes a new one. The opening balances are modal and freed at once; the kinds without a window
// here, and a kind whose library is missing, do nothing.
TEST_F(ChildWindowsTest, AnOpenWindowIsRaisedAndAClosedOneMadeAgain) {
    QObject* accounts = Open(wkAccounts, TChildWindows::AccountsCharts);
    Open(wkTaxes, TChildWindows::TaxCharts);
    Host.States[accounts] = Qt::WindowMinimized;
    Host.Log.clear();
    Open(wkAccounts, TChildWindows::AccountsCharts, true);
    Open(wkAccounts, TChildWindows::AccountsCharts | TChildWindows::TaxCharts);
    EXPECT_EQ(Host.Log, QStringList({"raise:0", "state0:0", "raise:0"}));
    Open(wkStandardDescriptions, TChildWindows::StdDescCharts, true);
    delete accounts;
    EXPECT_EQ(Windows.Slot(wkAccounts), nullptr);
    EXPECT_NE(Open(wkAccounts, TChildWindows::AccountsCharts), nullptr);
    EXPECT_EQ(Host.Children().size(), 3);

    Host.Log.clear();
    EXPECT_EQ(Open(wkBankRecOpeningBalances, TChildWindows::BankRecOpeningCharts), nullptr);
    EXPECT_EQ(Host.Owner.children().size(), 3); // the modal one is gone
    for (const int kind : {1, 9, 10, 11, 12, 13})
        Open(kind, 0xFFFF);
    Windows.SetFactory(wkGraphs, {});
    Open(wkGraphs);
    EXPECT_EQ(Made, QList<int>({0, 3, 2, 0, 5}));
    EXPECT_EQ(Host.Log, QStringList({"modal:5"}));
}

// Once the user maximises a child, a window opened or brought forward comes up maximised too;
// with none maximised it comes up normal.
TEST_F(ChildWindowsTest, AMaximisedChildKeepsTheFrameMaximised) {
    QObject* accounts = Open(wkAccounts, TChildWindows::AccountsCharts);
    EXPECT_EQ(Host.State(accounts), Qt::WindowStates(Qt::WindowNoState));
    Host.States[accounts] = Qt::WindowMaximized;
    QObject* taxes = Open(wkTaxes, TChildWindows::TaxCharts);
    EXPECT_EQ(Host.State(taxes), Qt::WindowStates(Qt::WindowMaximized));
    Host.States[accounts] = Qt::WindowMinimized;
    Open(wkAccounts, TChildWindows::AccountsCharts);
    EXPECT_EQ(Host.State(accounts), Qt::WindowStates(Qt::WindowMaximized));
    Host.States[accounts] = Qt::WindowNoState;
    Host.States[taxes] = Qt::WindowNoState;
    QObject* reports = Open(wkReports);
    EXPECT_EQ(Host.State(reports), Qt::WindowStates(Qt::WindowNoState));
}

// Every child hears the active index; the recently-used list is rebuilt each time, the Reports
// menu only when not skipped, not restoring and with a file open.
TEST_F(ChildWindowsTest, TheActiveFileNoticeReachesEveryChild) {
    const QList<TFakeChild*> children{Open(wkReports), Open(wkTaxes, TChildWindows::TaxCharts)};
    const struct {
        bool Open, Skip, Restoring;
        int Heard, Menus;
    } cases[] = {{false, false, false, -1, 0},
                 {true, false, false, 0, 1},
                 {true, true, false, 0, 0},
                 {true, false, true, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(
            QString("open %1 skip %2 restoring %3").arg(c.Open).arg(c.Skip).arg(c.Restoring).toStdString());
        if (c.Open && Desktop.Files().Count() == 0)
            OpenFiles();
        IsRestoring = c.Restoring;
        ReportMenus = RecentLists = 0;
        Windows.ActiveFileChanged(c.Skip);
        EXPECT_EQ(children[0]->Heard.last() + children[1]->Heard.last(), 2 * c.Heard);
        EXPECT_EQ(std::pair(RecentLists, ReportMenus), std::pair(1, c.Menus));
    }
}

// The guard's question names every process that runs behind it; the others leave the phrase empty.
TEST(ChildWindowsGuard, TheQuestionNamesTheProcess) {
    const std::pair<int, const char*> cases[] = {
        {prImportBankStatements, "importing bank statement data"},
        {prBankReconciliation, "performing a bank reconciliation"},
        {prResetBankReconciliation, "resetting a bank reconciliation"},
        {prTransferToClient, "transferring data to your Client"},
        {prTransferFromClient, "transferring data from your Client"},
        {prTransferFromAccountant, "transferring data from your Accountant"},
        {prTransferToAccountant, "transferring data to your Accountant"},
        {prBackup, "backing up"},
        {prRestore, "restoring data"},
        {prBringForward, "executing the bring forward procedure"},
        {prTransferBankStatementEntries, "transferring bank entries to the cashbook"},
        {prRenameFileCode, "renaming a file"},
        {prDuplicateFileCode, "copying a file"},
        {prDataIntegrityCheck, "a data integrity check"},
        {prTessalyJournals, "creating journals from a Tessaly spreadsheet"},
        {prExport, ""},
        {prImportTransactions, ""},
    };
    for (const auto& [process, phrase] : cases)
        EXPECT_EQ(TChildWindows::GuardQuestion(process, false),
                  QString("All data entry pages must be closed before %1.\r\n\nDo you want to proceed ?")
                      .arg(phrase))
            << process;
}

// Without pages, or for no process, the guard agrees without a question. No and Cancel stop the
// process and close nothing; the question names the process and, when the pages come back, says so.
TEST_F(ChildWindowsTest, NoAndCancelCloseNothing) {
    OpenFiles();
    EXPECT_TRUE(TProcessGuard(Windows, prBackup, true).Agreed());
    TEntityInfo& file = *Desktop.Files().File(0);
    AddPage(file, 1, 3);
    EXPECT_TRUE(TProcessGuard(Windows, prNone, true).Agreed());
    Open(wkDataEntry);
    Prompt->Answer(TMessageButton::No);
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_FALSE(TProcessGuard(Windows, prBackup, true).Agreed());
    EXPECT_FALSE(Windows.PrepareForProcess(prBringForward, false));
    EXPECT_EQ(Prompt->Texts(),
              QStringList({"All data entry pages must be closed before backing up.\r\n(Note: All data entry "
                           "pages will automatically restored after this process.)\r\n\nDo you want to "
                           "proceed ?",
                           "All data entry pages must be closed before executing the bring forward "
                           "procedure.\r\n\nDo you want to proceed ?"}));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Question, TBeep::Question}));
    EXPECT_EQ(Pages(file), "1/3 ");
    EXPECT_TRUE(Log.isEmpty() && !Windows.ProcessRunning());
}

// Yes records and closes the pages (the data-entry window minimised); they come back by kind and
// period after the process, whatever the desktop option. The window keeps its state when the
// Reports window is the active child (the main window's tests give it back otherwise; the
// launchers' tests run without a data-entry window). A Cancel at a page stops the process and
// gives back the pages already closed, once.
TEST_F(ChildWindowsTest, ThePagesComeBackAfterTheProcess) {
    OpenFiles();
    Params->RestoreDesktop = 1; // the desktop itself would not reopen pages
    TEntityInfo& file = *Desktop.Files().File(0);
    TFakeChild* entry = Open(wkDataEntry);
    AddPage(file, 2, 5), AddPage(file, 1, 3);
    Log.clear();
    Prompt->Answer(TMessageButton::Yes);
    {
        TProcessGuard guard(Windows, prRestore, true);
        ASSERT_TRUE(guard.Agreed() && Windows.ProcessRunning());
        EXPECT_EQ(std::pair(Pages(file), file.EntityDetail().DataEntryPages.size()),
                  std::pair(QString(), qsizetype(2)));
        Open(wkReports, 0, true);
    }
    EXPECT_EQ(Pages(file), "1/3 2/5 ");
    EXPECT_EQ(Log, QStringList({"close-all:0:1:1"}));
    EXPECT_EQ(entry->Heard, QList<int>({0}));
    EXPECT_EQ(Host.State(entry), Qt::WindowStates(Qt::WindowMinimized));
    EXPECT_FALSE(Windows.ProcessRunning());

    CancelPages = true;
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_FALSE(TProcessGuard(Windows, prDataIntegrityCheck, true).Agreed());
    EXPECT_EQ(Pages(file), "1/3 2/5 ");
    file.DeleteDataEntryPage(0);
    Windows.AfterProcess(file);
    EXPECT_EQ(Pages(file), "2/5 ");
}

// The backup offer names the process; only Yes backs the file up.
TEST_F(ChildWindowsTest, SuggestBackupNamesTheProcess) {
    OpenFiles();
    Prompt->Answer(TMessageButton::Cancel);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(Windows.SuggestBackup(0, prTransferFromClient), TMessageButton::Cancel);
    EXPECT_EQ(Windows.SuggestBackup(0, prRenameFileCode), TMessageButton::Yes);
    EXPECT_EQ(Prompt->Texts().value(1),
              "It is strongly recommended that a backup of your current data be "
              "made before renaming a file. \rDo you want to perform a backup now ?");
    EXPECT_EQ(Backups, QList<int>({0}));
}

// A drill-down opens the page (the main window's tests make its file active); the line is found
// by the second ID when it is at least 1, else by the first. A line not found gives the
// information box.
TEST_F(ChildWindowsTest, LocateTransactionFindsTheLineOrSaysWhy) {
    OpenFiles({"AAA111", "ABC123"});
    Desktop.SetActiveIndex(0);
    TEntityInfo& file = *Desktop.Files().File(1);
    const struct {
        TLocateTarget Target;
        int Row;
    } cases[] = {{{2, 0}, 2}, {{3, 1}, 1}, {{1, 9}, 0}}; // row 0: not found
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("target %1/%2").arg(c.Target.FirstID).arg(c.Target.SecondID).toStdString());
        if (c.Row == 0)
            Prompt->Answer(TMessageButton::OK);
        Host.Log.clear();
        const int page = Windows.LocateTransaction(file, 1, c.Target, 3);
        ASSERT_EQ(page, file.DataEntryPageCount() - 1);
        const TDataEntryPage& opened = *file.DataEntryPage(page);
        EXPECT_EQ(std::tuple(opened.CurrentRow, opened.Selection.Top, opened.Selection.Bottom),
                  c.Row ? std::tuple(c.Row, c.Row, c.Row) : std::tuple(1, 1, 1));
        EXPECT_EQ(Host.Log.endsWith("raise:6") && Host.Log.contains("state0:6"), c.Row > 0);
    }
    EXPECT_EQ(Prompt->Texts(),
              QStringList({"QUILVANE was unable to locate the specified transaction as it was "
                           "either:\r\na. automatically generated, and cannot be located from "
                           "a report; or \r\nb. deleted after the report was created."}));
    EXPECT_EQ(std::pair(Prompt->Beeps.last(), Prompt->Shown.last().Kind),
              std::pair(TBeep::Warning, TMessageKind::Information));
}

// The page chosen opens in the data-entry window, which comes to the front; a period made the
// default is stored in the file's record.
TEST_F(ChildWindowsTest, OpenDataEntryPageOpensTheChosenPage) {
    OpenFiles();
    Windows.OpenDataEntryPage(1);
    EXPECT_TRUE(Made.isEmpty()); // cancelled
    for (const bool makeDefault : {true, false}) {
        Choice = TDataEntryPageChoice{2, makeDefault ? 5 : 7, makeDefault};
        Windows.OpenDataEntryPage(1);
        EXPECT_EQ(Host.Log.last(), "raise:6");
    }
    EXPECT_EQ(Pages(*Desktop.Files().File(0)), "2/5 2/7 ");
    EXPECT_EQ(TIniFile(RecordPath("ABC123")).ReadString("CONFIGURATION", "Period", ""), "5");
}
