#include "tests/shell/DesktopTestSupport.h"

#include "core/dates/DateNumbers.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/children/ChildWindows.h"
#include "shell/children/MdiAreaHost.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// A child that records the active-file notices it hears.
class TFakeChild : public QObject, public IChildWindow {
public:
    void ActiveFileChanged(int activeIndex) override { Heard.append(activeIndex); }
    QList<int> Heard;
};

// A frame that keeps its children in a list (the topmost first) and logs every step as
// "step:kind".
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
        child->setParent(&Owner);
        Stack.prepend(child);
        Log << "add:" + Kind(child);
    }
    Qt::WindowStates State(QObject* child) const override { return States.value(child); }
    void SetState(QObject* child, Qt::WindowStates state) override {
        States[child] = state;
        Log << QString("state:%1:%2").arg(Kind(child)).arg(int(state));
    }
    void Raise(QObject* child) override {
        Stack.removeAll(child);
        Stack.prepend(child);
        Log << "raise:" + Kind(child);
    }
    void ShowModal(QObject* window) override { Log << "modal:" + Kind(window); }
    void ArrangeIcons() override { Log << "arrange"; }

    static QString Kind(const QObject* child) {
        return child->property(TChildWindows::KindProperty).toString();
    }

    QObject Owner;
    QList<QPointer<QObject>> Stack;
    QHash<QObject*, Qt::WindowStates> States;
    QStringList Log;
};

} // namespace

// The desktop of DesktopTest with the child windows over a fake frame. Every kind that opens a
// window has a factory making a recording child; the data-entry child closes and opens the pages
// of the desktop's files for real, and a page it opens holds entries with the IDs 11, 12 and 13.
class ChildWindowsTest : public DesktopTest {
protected:
    class TFakeDataEntry : public TFakeChild, public IDataEntryWindow {
    public:
        explicit TFakeDataEntry(ChildWindowsTest& test) : Test(test) {}
        int CloseAllPages(int fileIndex, bool minimise, bool record) override {
            Test.Log << QString("close-all:%1:%2:%3").arg(fileIndex).arg(minimise).arg(record);
            if (minimise)
                Test.Host.States[this] = Qt::WindowMinimized;
            TEntityInfo& file = *Test.Desktop.Files().File(fileIndex);
            if (record)
                file.RecordOpenPages();
            if (Test.CancelAtPage >= 0) {
                file.DeleteDataEntryPage(0);
                return PagesCancelled;
            }
            while (file.DataEntryPageCount() > 0)
                file.DeleteDataEntryPage(0);
            return 1;
        }
        int OpenPage(int pageKind, int period) override {
            return Test.AddPage(*Test.Desktop.Files().ActiveFile(), pageKind, period, {3, 5, 7});
        }
        void ShowCurrentRow(int pageIndex) override { Test.Log << "show-row:" + QString::number(pageIndex); }
        ChildWindowsTest& Test;
    };

    void SetUp() override {
        DesktopTest::SetUp();
        for (const int kind : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12})
            Windows.SetFactory(kind, [this](int made) {
                Made << made;
                return new TFakeChild;
            });
        Windows.SetFactory(wkDataEntry, [this](int kind) {
            Made << kind;
            return new TFakeDataEntry(*this);
        });
    }

    // Opens ABC123 (and any other codes) with their charts; the first is active.
    void OpenFiles(const QStringList& codes = {"ABC123"}) {
        for (const QString& code : codes)
            WriteRecord(code), WriteChart(code);
        Desktop.OpenFiles(codes.join(",") + ",", QString("1,").repeated(codes.size()));
        Log.clear();
    }
    // A page of the file's year for a kind and period with keyed entries on the given days of its
    // first month, their IDs 11, 12, ... in order; its index.
    static int AddPage(TEntityInfo& file, int kind, int period, std::initializer_list<int> days = {}) {
        auto page =
            TDataEntryPage::Create(file.ListSources(2006), kind, 2006, period, 12, {Standard, Load}, false);
        TTransactionList& list = page->List();
        for (const int day : days) {
            auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(kind));
            entry->SetFlags({TransactionFlag::Keyed});
            entry->Date = EncodeDateNum(list.StartYear(), list.StartMonth(), day);
            entry->ID = 11 + static_cast<qint32>(list.Count()) - 1;
            list.InsertTransaction(list.Count() - 1, std::move(entry), 0);
        }
        return file.InsertDataEntryPage(-1, list.GetPeriodTitle(false), std::move(page));
    }
    static QString Pages(const TEntityInfo& file) {
        QString pages;
        for (int i = 0; i < file.DataEntryPageCount(); ++i)
            pages += QString::asprintf("%d/%d ", file.DataEntryPage(i)->List().PageKind(),
                                       file.DataEntryPage(i)->List().Period());
        return pages;
    }
    TFakeDataEntry* OpenDataEntry() {
        Windows.OpenChildWindow(wkDataEntry, 0, false);
        Host.Log.clear();
        return static_cast<TFakeDataEntry*>(Windows.DataEntryWindow());
    }

    TFakeHost Host;
    QList<int> Made;
    int ReportMenus = 0;
    int RecentLists = 0;
    bool IsRestoring = false;
    QList<int> Backups;
    int CancelAtPage = -1;
    TChildWindows Windows{Host, Desktop.Files(),
                          TChildWindowHooks{.Restoring = [this] { return IsRestoring; },
                                            .RebuildRecentFiles = [this] { ++RecentLists; },
                                            .RebuildReportMenu = [this](TEntityInfo&) { ++ReportMenus; },
                                            .SelectActiveFile = {},
                                            .BackupFile = [this](int index) { Backups << index; },
                                            .ChooseDataEntryPage = {}}};
};

// Accounts asked for again comes to the front (in normal state unless its state is kept); Taxes
// makes a second master-details window. A window that closed leaves its slot empty, and the next
// request makes a new one.
TEST_F(ChildWindowsTest, AnOpenWindowIsRaisedAndAClosedOneMadeAgain) {
    Windows.OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, false);
    QObject* accounts = Windows.Slot(wkAccounts);
    Windows.OpenChildWindow(wkTaxes, TChildWindows::TaxCharts, false);
    EXPECT_EQ(Made, QList<int>({0, 3}));
    Host.States[accounts] = Qt::WindowMinimized;
    Host.Log.clear();
    Windows.OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, true);
    EXPECT_EQ(Host.Log, QStringList({"raise:0"}));
    Windows.OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, false);
    EXPECT_EQ(Host.Log, QStringList({"raise:0", "state:0:0", "raise:0"}));
    EXPECT_EQ(Made, QList<int>({0, 3}));
    // Standard descriptions are none of the open charts.
    Windows.OpenChildWindow(wkStandardDescriptions, TChildWindows::StdDescCharts, true);
    EXPECT_EQ(Made, QList<int>({0, 3, 2}));

    delete accounts;
    EXPECT_EQ(Windows.Slot(wkAccounts), nullptr);
    Windows.OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, false);
    EXPECT_NE(Windows.Slot(wkAccounts), nullptr);
    EXPECT_EQ(Made, QList<int>({0, 3, 2, 0}));
    EXPECT_EQ(Host.Children().size(), 3);
}

// The opening balances are shown modally and freed at once; the kinds without a window of their
// own make nothing; a kind whose library is missing does nothing.
TEST_F(ChildWindowsTest, ModalAndWindowlessKinds) {
    Windows.OpenChildWindow(wkBankRecOpeningBalances, TChildWindows::BankRecOpeningCharts, false);
    EXPECT_EQ(Host.Log, QStringList({"modal:5"}));
    EXPECT_EQ(Host.Owner.children().size(), 0);
    EXPECT_EQ(Windows.Slot(wkBankRecOpeningBalances), nullptr);
    for (const int kind : {1, 9, 10, 11, 12, 13, -1})
        Windows.OpenChildWindow(kind, 0xFFFF, false);
    Windows.SetFactory(wkGraphs, {});
    Windows.OpenChildWindow(wkGraphs, 0, false);
    EXPECT_EQ(Made, QList<int>({5}));
    EXPECT_EQ(Host.Log, QStringList({"modal:5"}));
}

// Every child hears the active index; the recently-used list is rebuilt each time, the Reports
// menu only when not skipped, not restoring and with a file open.
TEST_F(ChildWindowsTest, TheActiveFileNoticeReachesEveryChild) {
    Windows.OpenChildWindow(wkReports, 0, false);
    Windows.OpenChildWindow(wkTaxes, TChildWindows::TaxCharts, false);
    const struct {
        bool Open, Skip, Restoring;
        int Heard, Menus;
    } cases[] = {
        {false, false, false, -1, 0},
        {true, false, false, 0, 1},
        {true, true, false, 0, 0},
        {true, false, true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(
            QString("open %1 skip %2 restoring %3").arg(c.Open).arg(c.Skip).arg(c.Restoring).toStdString());
        if (c.Open && Desktop.Files().Count() == 0)
            OpenFiles();
        IsRestoring = c.Restoring;
        ReportMenus = RecentLists = 0;
        Windows.ActiveFileChanged(c.Skip);
        for (const int kind : {wkReports, wkTaxes})
            EXPECT_EQ(static_cast<TFakeChild*>(Windows.Slot(kind))->Heard.last(), c.Heard);
        EXPECT_EQ(std::pair(RecentLists, ReportMenus), std::pair(1, c.Menus));
    }
}

// With no page open, or for no process, the guard agrees without a question.
TEST_F(ChildWindowsTest, TheGuardAsksNothingWithoutPages) {
    OpenFiles();
    {
        TProcessGuard guard(Windows, prBackup, true);
        EXPECT_TRUE(guard.Agreed() && Windows.ProcessRunning());
    }
    AddPage(*Desktop.Files().File(0), 1, 3);
    EXPECT_TRUE(TProcessGuard(Windows, prNone, true).Agreed());
    EXPECT_FALSE(Windows.ProcessRunning());
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

// No and Cancel stop the process and close nothing; the question names the process and, for a
// process that gives the pages back, says so.
TEST_F(ChildWindowsTest, NoAndCancelCloseNothing) {
    OpenFiles();
    TEntityInfo& file = *Desktop.Files().File(0);
    AddPage(file, 1, 3);
    OpenDataEntry();
    Prompt->Answer(TMessageButton::No);
    EXPECT_FALSE(TProcessGuard(Windows, prBackup, true).Agreed());
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_FALSE(Windows.PrepareForProcess(prBringForward, false));
    EXPECT_EQ(Prompt->Texts(),
              QStringList({"All data entry pages must be closed before backing up.\r\n(Note: All data entry "
                           "pages will automatically restored after this process.)\r\n\nDo you want to "
                           "proceed ?",
                           "All data entry pages must be closed before executing the bring forward "
                           "procedure.\r\n\nDo you want to proceed ?"}));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Question, TBeep::Question}));
    EXPECT_EQ(Pages(file), "1/3 ");
    EXPECT_TRUE(Log.isEmpty() && Host.Log.isEmpty());
}

// Yes records and closes the pages; they come back (by kind and period) after the process, whatever
// the desktop option and however the process ended. The data-entry window gets its state back
// unless the Reports window is the active child.
TEST_F(ChildWindowsTest, ThePagesComeBackAfterTheProcess) {
    OpenFiles();
    Params->RestoreDesktop = 1; // the desktop itself would not reopen pages
    TEntityInfo& file = *Desktop.Files().File(0);
    TFakeDataEntry* entry = OpenDataEntry();
    const struct {
        bool Throws, ReportsActive;
        Qt::WindowStates StateAfter;
    } cases[] = {
        {false, false, Qt::WindowMaximized},
        {true, false, Qt::WindowMaximized},
        {false, true, Qt::WindowMinimized},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("throws %1 reports %2").arg(c.Throws).arg(c.ReportsActive).toStdString());
        AddPage(file, 2, 5);
        AddPage(file, 1, 3);
        Host.States[entry] = Qt::WindowMaximized;
        Log.clear();
        entry->Heard.clear();
        Prompt->Answer(TMessageButton::Yes);
        try {
            TProcessGuard guard(Windows, prRestore, true);
            ASSERT_TRUE(guard.Agreed());
            EXPECT_TRUE(Pages(file).isEmpty() && Windows.ProcessRunning());
            EXPECT_EQ(file.EntityDetail().DataEntryPages.size(), 2);
            if (c.ReportsActive)
                Windows.OpenChildWindow(wkReports, 0, true);
            if (c.Throws)
                throw EQuilvaneError("Archive damaged");
        } catch (const EQuilvaneError&) {
        }
        EXPECT_EQ(Pages(file), "1/3 2/5 ");
        EXPECT_EQ(Log, QStringList({"close-all:0:1:1"}));
        EXPECT_EQ(entry->Heard, QList<int>({0}));
        EXPECT_EQ(Host.State(entry), c.StateAfter);
        EXPECT_FALSE(Windows.ProcessRunning());
        while (file.DataEntryPageCount() > 0)
            file.DeleteDataEntryPage(0);
        Host.Raise(entry);
    }
}

// Without a data-entry window the guard records and closes the file's pages itself; a Cancel at
// one of the pages stops the process and gives back those already closed.
TEST_F(ChildWindowsTest, TheGuardWithoutAWindowAndWithACancelledPage) {
    OpenFiles();
    TEntityInfo& file = *Desktop.Files().File(0);
    AddPage(file, 1, 3);
    AddPage(file, 2, 5);
    Prompt->Answer(TMessageButton::Yes);
    {
        TProcessGuard guard(Windows, prDataIntegrityCheck, true);
        EXPECT_TRUE(guard.Agreed() && Pages(file).isEmpty());
    }
    EXPECT_EQ(Pages(file), "1/3 2/5 ");

    OpenDataEntry();
    CancelAtPage = 0;
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_FALSE(TProcessGuard(Windows, prDataIntegrityCheck, true).Agreed());
    EXPECT_EQ(Pages(file), "1/3 2/5 ");
    // Nothing is left for a later AfterProcess to reopen.
    file.DeleteDataEntryPage(0);
    Windows.AfterProcess(file);
    EXPECT_EQ(Pages(file), "2/5 ");
}

// The backup offer names the process; the file's charts are saved whatever the answer and only
// Yes backs it up.
TEST_F(ChildWindowsTest, SuggestBackupNamesTheProcess) {
    OpenFiles();
    Prompt->Answer(TMessageButton::Cancel);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(Windows.SuggestBackup(0, prTransferFromClient), TMessageButton::Cancel);
    EXPECT_EQ(Windows.SuggestBackup(0, prRenameFileCode), TMessageButton::Yes);
    EXPECT_EQ(Prompt->Texts(),
              QStringList({"It is strongly recommended that a backup of your current data be "
                           "made before data transfer. \rDo you want to perform a backup now ?",
                           "It is strongly recommended that a backup of your current data be "
                           "made before renaming a file. \rDo you want to perform a backup now ?"}));
    EXPECT_EQ(Backups, QList<int>({0}));
}

// A drill-down makes its file active and opens the page; the line is found by the second ID when
// it is at least 1, else by the first. A line not found gives the information box.
TEST_F(ChildWindowsTest, LocateTransactionFindsTheLineOrSaysWhy) {
    OpenFiles({"AAA111", "ABC123"});
    Desktop.SetActiveIndex(0);
    TEntityInfo& file = *Desktop.Files().File(1);
    const struct {
        TLocateTarget Target;
        int Row;
    } cases[] = {{{12, 0}, 2}, {{12, 13}, 3}, {{11, 99}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("target %1/%2").arg(c.Target.FirstID).arg(c.Target.SecondID).toStdString());
        if (c.Row == 0)
            Prompt->Answer(TMessageButton::OK);
        Host.Log.clear();
        const int page = Windows.LocateTransaction(file, 1, c.Target, 3);
        ASSERT_EQ(page, file.DataEntryPageCount() - 1);
        EXPECT_EQ(Desktop.ActiveIndex(), 1);
        TDataEntryPage& opened = *file.DataEntryPage(page);
        if (c.Row > 0) {
            EXPECT_EQ(std::tuple(opened.CurrentRow, opened.Selection.Top, opened.Selection.Bottom),
                      std::tuple(c.Row, c.Row, c.Row));
            EXPECT_EQ(Host.Log.mid(Host.Log.size() - 2), QStringList({"state:6:0", "raise:6"}));
        } else {
            EXPECT_EQ(opened.CurrentRow, 1); // where the page opened
            EXPECT_EQ(Prompt->Texts().last(),
                      "QUILVANE was unable to locate the specified transaction as it was either:\r\na. "
                      "automatically generated, and cannot be located from a report; or \r\nb. deleted "
                      "after the report was created.");
            EXPECT_EQ(Prompt->Beeps.last(), TBeep::Warning);
            EXPECT_EQ(Prompt->Shown.last().Kind, TMessageKind::Information);
        }
    }
    EXPECT_EQ(static_cast<TFakeChild*>(Windows.Slot(wkDataEntry))->Heard, QList<int>({1}));
}

// Over the real frame: Accounts comes back to the front, Taxes is a second window, and closing a
// window empties its slot.
TEST(ChildWindowsFrameTest, TheFrameRaisesMakesAndForgetsWindows) {
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    TMdiAreaHost host(area);
    TDesktopFiles files;
    TChildWindows windows(host, files);
    for (const int kind : {wkAccounts, wkTaxes})
        windows.SetFactory(kind, [](int) { return new QWidget; });
    windows.OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, false);
    QMdiSubWindow* accounts = host.SubWindowOf(windows.Slot(wkAccounts));
    windows.OpenChildWindow(wkTaxes, TChildWindows::TaxCharts, false);
    ASSERT_EQ(area.subWindowList().size(), 2);
    EXPECT_EQ(host.ActiveChild(), windows.Slot(wkTaxes));
    accounts->showMinimized();
    windows.OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, false);
    EXPECT_EQ(area.subWindowList().size(), 2);
    EXPECT_EQ(area.activeSubWindow(), accounts);
    EXPECT_FALSE(accounts->isMinimized());

    accounts->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.Slot(wkAccounts), nullptr);
    EXPECT_EQ(host.Children(), QList<QObject*>({windows.Slot(wkTaxes)}));
    windows.OpenChildWindow(wkAccounts, TChildWindows::AccountsCharts, false);
    EXPECT_EQ(area.subWindowList().size(), 2);
}
