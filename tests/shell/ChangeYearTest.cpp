#include "tests/shell/DesktopTestSupport.h"

#include "core/charts/StdDescChart.h"
#include "core/entity/RunParams.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/changeyear/ChangeYear.h"
#include "shell/changeyear/YearChangeHost.h"
#include "shell/changeyear/YearChoices.h"
#include "shell/children/ProcessWindows.h"
#include "shell/main/MainWindowSeams.h"

#include <QLabel>
#include <QListWidget>

namespace {

using TAction = TYearChoices::TAction;
using TResult = TYearChange::TResult;

// ---- the year list, without a disk ------------------------------------------------------------

TEST(ChangeYearChoicesTest, YearsOnDiskTakeOnlyTheCodeWithTwoDigits) {
    const QStringList names = {"ACME0104.ADF", "ACME0105.ADF",   "ACME01XX.ADF", "ACME019.ADF",
                               "acme0103.adf", "ACME0105.adf",   "ACME0189.ADF", "ACME0190.ADF",
                               "ACME0106.STD", "ACME010607.ADF", "ACME0206.ADF", "ACME01٠٧.ADF"};
    EXPECT_EQ(TYearChoices::YearsOnDisk(names, "ACME01"), QList<int>({2089, 2005, 2004, 2003, 1990}));
    EXPECT_TRUE(TYearChoices::YearsOnDisk({}, "ACME01").isEmpty());
    // A shorter code does not take the charts of a longer code that begins with it.
    EXPECT_TRUE(TYearChoices::YearsOnDisk({"ACME0105.ADF"}, "ACME").isEmpty());
}

TEST(ChangeYearChoicesTest, TheListAddsOnlyTheYearAfterTheCurrentOne) {
    struct TCase {
        QList<int> OnDisk;
        int Current;
        QList<int> Listed;
    };
    const TCase cases[] = {
        {{2005, 2004}, 2005, {2006, 2005, 2004}},
        {{2005, 2004}, 2004, {2005, 2004}},       // no bring forward from an older year
        {{2006, 2004}, 2004, {2006, 2005, 2004}}, // a gap: the next year can be made
        {{}, 2006, {2007}},
    };
    for (const TCase& test : cases)
        EXPECT_EQ(TYearChoices::ListedYears(test.OnDisk, test.Current), test.Listed) << test.Current;
}

TEST(ChangeYearChoicesTest, DecisionTable) {
    struct TCase {
        int Current;
        int Chosen;
        TAction Action;
    };
    const QList<int> onDisk = {2006, 2005, 2003};
    const TCase cases[] = {
        {2005, 2005, TAction::None},
        {2005, 2006, TAction::Switch},
        {2005, 2003, TAction::Switch},
        {2005, 2004, TAction::None}, // earlier, not on disk
        {2006, 2007, TAction::BringForward},
        {2006, 2008, TAction::NotAllowed},
        {2003, 2004, TAction::BringForward},
        {2005, 2007, TAction::NotAllowed},
        {2005, 0, TAction::None},
    };
    for (const TCase& test : cases)
        EXPECT_EQ(TYearChoices::Decide(test.Current, test.Chosen, onDisk), test.Action)
            << test.Current << " -> " << test.Chosen;
    EXPECT_EQ(TYearChoices::BringForwardFirst(2007),
              "Change to the 2006 financial year before bringing forward.");
    EXPECT_EQ(TYearChoices::OlderYearNote(onDisk, 2005),
              "Change to the 2006 financial year before bringing forward.");
    EXPECT_EQ(TYearChoices::OlderYearNote(onDisk, 2006), "");
    EXPECT_EQ(TYearChoices::OlderYearNote({}, 2006), "");
}

TEST(ChangeYearChoicesTest, ItemTextNamesTheYearsMonths) {
    EXPECT_EQ(TYearChoices::ItemText(2006, 6), "2006    (Jul 2005 - Jun 2006)");
    EXPECT_EQ(TYearChoices::ItemText(2006, 12), "2006    (Jan 2006 - Dec 2006)");
    EXPECT_EQ(TYearChoices::ItemText(2006, 0), "2006"); // a damaged record
}

// ---- the change, on disk ----------------------------------------------------------------------

// The main window as the change sees it: each step logged; the bring-forward window answers
// BringForwardAnswer (and, on OK, makes the new year's accounts chart as the real one does).
class TFakeYearChangeHost : public IYearChangeHost {
public:
    TFakeYearChangeHost(TDesktop& desktop, QStringList& log, const QString& dataDir)
        : Desktop(desktop), Log(log), DataDir(dataDir) {}

    int CloseAllPages(int fileIndex) override {
        Log << "close-pages:" + QString::number(fileIndex);
        if (PagesResult == 0)
            while (Desktop.Files().File(fileIndex)->DataEntryPageCount() > 0)
                Desktop.Files().File(fileIndex)->DeleteDataEntryPage(0);
        return PagesResult;
    }
    bool RunGuarded(int process, bool restorable, const std::function<bool()>& step) override {
        Log << QString("guard:%1:%2").arg(process).arg(restorable);
        if (!GuardAgrees)
            return false;
        Log << (step() ? "pages-back" : "pages-stay-closed");
        return true;
    }
    bool RunBringForward(TEntityInfo& file, TReportSetup& setup) override {
        Log << QString("bring-forward:%1:%2:%3:timer-%4")
                   .arg(file.EntityDetail().FileCode)
                   .arg(setup.Year)
                   .arg(int(setup.ProcessKind))
                   .arg(TimerOn ? "on" : "off");
        if (BringForwardAnswer) {
            const QString chart = QString("/M_DETAIL/%1%2.ADF")
                                      .arg(file.EntityDetail().FileCode)
                                      .arg(setup.Year % 100, 2, 10, QChar('0'));
            EXPECT_TRUE(WriteFileBytes(DataDir + chart, StoredChart("accounts", "header", {})));
        }
        return BringForwardAnswer;
    }
    bool BackupTimerEnabled() const override { return TimerOn; }
    void SetBackupTimerEnabled(bool enabled) override { TimerOn = enabled; }
    void RefreshActiveFileList() override { Log << "refresh"; }

    TDesktop& Desktop;
    QStringList& Log;
    const QString& DataDir; // the fixture's, set up after this is made
    int PagesResult = 0;
    bool GuardAgrees = true;
    bool BringForwardAnswer = true;
    bool TimerOn = true;
};

class ChangeYearTest : public DesktopTest {
protected:
    void WriteYearChart(const QString& code, int year) {
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(WriteFileBytes(
            DataDir + QString("/M_DETAIL/%1%2.ADF").arg(code).arg(year % 100, 2, 10, QChar('0')),
            StoredChart("accounts", "header", {})));
    }
    TEntityInfo& File(int index = 0) { return *Desktop.Files().File(index); }
    int YearOf(int index) { return File(index).EntityDetail().Year; }
    QString DiskYear(const QString& code) const {
        return TIniFile(RecordPath(code)).ReadString("CONFIGURATION", "Year", "?");
    }
    TResult Change(int year, int index = 0) {
        return TYearChange(Host).ChangeYearOfFile(Desktop.Files(), index, year);
    }

    TFakeYearChangeHost Host{Desktop, Log, DataDir};
};

// An earlier year on disk: the pages close unrecorded, the year left is written, the file loads
// the year, its record is saved and the Active File box rebuilt.
TEST_F(ChangeYearTest, AnEarlierYearOnDiskSwitchesAndClosesThePages) {
    OpenFiles({"ABC123"});
    WriteYearChart("ABC123", 2005);
    AddPage(File(), pkPayments, 3, 2);
    File().StdDescChart(2006)->Saved = false;
    const QString historyBefore = File().EntityDetail().DataEntryPages.join("|");

    EXPECT_EQ(Change(2005), TResult::Switched);
    EXPECT_EQ(Log, QStringList({"close-pages:0", "refresh"}));
    EXPECT_EQ(YearOf(0), 2005);
    EXPECT_NE(File().AccountsChart(2005), nullptr);
    EXPECT_EQ(File().AccountsChart(2006), nullptr);
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ABC12306.STD")); // the year left was written
    EXPECT_EQ(DiskYear("ABC123"), "2005");
    EXPECT_EQ(File().EntityDetail().DataEntryPages.join("|"), historyBefore);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

// Without pages nothing is asked of the data-entry window; a Cancel there changes nothing.
TEST_F(ChangeYearTest, PagesAreClosedOnlyWhenOpenAndACancelStops) {
    OpenFiles({"ABC123"});
    WriteYearChart("ABC123", 2005);
    AddPage(File(), pkReceipts, 1);
    Host.PagesResult = TDesktop::PagesCancelled;
    EXPECT_EQ(Change(2005), TResult::Cancelled);
    EXPECT_EQ(YearOf(0), 2006);
    EXPECT_EQ(File().DataEntryPageCount(), 1);
    EXPECT_EQ(Log, QStringList({"close-pages:0", "refresh"}));

    File().DeleteDataEntryPage(0);
    Log.clear();
    EXPECT_EQ(Change(2005), TResult::Switched);
    EXPECT_EQ(Log, QStringList({"refresh"}));
}

// The new year's charts fail to load ("Error changing years"): the file goes back to its year with
// its charts and says so.
TEST_F(ChangeYearTest, AFailedSwitchGoesBack) {
    OpenFiles({"ABC123"});
    WriteYearChart("ABC123", 2005);
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12305.STD", "damaged"));
    Prompt->OnShow = [this] {
        Prompt->OnShow = {};
        throw EQuilvaneError("The display is gone");
    };
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);

    EXPECT_EQ(Change(2005), TResult::Reverted);
    EXPECT_EQ(Prompt->Texts(),
              QStringList({"Error changing years",
                           "Unable to change to the 2005 financial year; the file stays in 2006."}));
    EXPECT_EQ(Prompt->Shown.last().Kind, TMessageKind::Warning);
    EXPECT_EQ(YearOf(0), 2006);
    EXPECT_NE(File().AccountsChart(2006), nullptr);
    EXPECT_EQ(File().AccountsChart(2005), nullptr);
    EXPECT_EQ(DiskYear("ABC123"), "2006");
    EXPECT_EQ(Log.last(), "refresh");
}

// The next year not on disk is brought forward behind the guard of process 12 (not restorable),
// with timed saving held off while the window is up; OK moves the file to the new year.
TEST_F(ChangeYearTest, TheNextYearIsBroughtForward) {
    OpenFiles({"ABC123"});
    EXPECT_EQ(Change(2007), TResult::Switched);
    EXPECT_EQ(Log, QStringList({"guard:12:0", "bring-forward:ABC123:2007:12:timer-off", "pages-stay-closed",
                                "refresh"}));
    EXPECT_TRUE(Host.TimerOn);
    EXPECT_EQ(YearOf(0), 2007);
    EXPECT_NE(File().AccountsChart(2007), nullptr);
    EXPECT_EQ(DiskYear("ABC123"), "2007");
}

// Cancel in the window: the year stays, the pages come back and the timer gets its state back
// (off stays off); a refused guard never shows the window.
TEST_F(ChangeYearTest, ACancelledBringForwardKeepsTheYear) {
    OpenFiles({"ABC123"});
    Host.BringForwardAnswer = false;
    Host.TimerOn = false;
    EXPECT_EQ(Change(2007), TResult::Cancelled);
    EXPECT_EQ(Log,
              QStringList({"guard:12:0", "bring-forward:ABC123:2007:12:timer-off", "pages-back", "refresh"}));
    EXPECT_FALSE(Host.TimerOn);
    EXPECT_EQ(YearOf(0), 2006);

    Log.clear();
    Host.GuardAgrees = false;
    EXPECT_EQ(Change(2007), TResult::Cancelled);
    EXPECT_EQ(Log, QStringList({"guard:12:0", "refresh"}));
    EXPECT_EQ(YearOf(0), 2006);
}

// A later year than the next: told to change to the year before it first; an earlier year without
// a chart changes nothing; the current year is not even saved.
TEST_F(ChangeYearTest, YearsThatCannotBeReachedChangeNothing) {
    OpenFiles({"ABC123"});
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Change(2008), TResult::Unchanged);
    EXPECT_EQ(Prompt->Texts(), QStringList({"Change to the 2007 financial year before bringing forward."}));
    EXPECT_EQ(Change(2004), TResult::Unchanged);
    EXPECT_EQ(Log, QStringList({"refresh", "refresh"}));
    EXPECT_EQ(Change(2006), TResult::Unchanged);
    EXPECT_EQ(Log.size(), 2);
    EXPECT_EQ(YearOf(0), 2006);
}

// A GST group representative: Yes moves the open members that have the year with it; a closed
// member is not opened, a member without the year stays. No leaves the members alone.
TEST_F(ChangeYearTest, AGroupRepresentativeMovesItsOpenMembers) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        OpenFiles({"REP001", "MEM001", "MEM002", "MEM004"});
        for (const QString code : {"REP001", "MEM001", "MEM002"})
            WriteYearChart(code, 2005);
        // The group as the 2005 year's BAS set-up holds it.
        TEntityDetail& detail = File(0).EntityDetail();
        detail.Year = 2005;
        detail.GSTGroupOption = TYearChange::GroupRepresentative;
        detail.GSTGroupFile[1] = "MEM001";
        detail.GSTGroupFile[2] = "MEM003"; // not open
        detail.GSTGroupFile[3] = "mem002";
        detail.GSTGroupFile[5] = "MEM004"; // has no 2005 year
        detail.GSTGroupFile[6] = "REP001";
        ASSERT_EQ(detail.Save({Standard}), 0);
        detail.Year = 2006;
        AddPage(File(2), pkPayments, 1);
        Desktop.SetActiveIndex(0);
        Log.clear();
        Prompt->Answer(yes ? TMessageButton::Yes : TMessageButton::No);

        EXPECT_EQ(TYearChange::OpenGroupMembers(Desktop.Files(), 0), QList<int>({1, 2, 3}));
        EXPECT_EQ(Change(2005), TResult::Switched);
        EXPECT_EQ(Prompt->Texts(),
                  QStringList({"The current file is a GST group representative. Update the current "
                               "financial year for other members of this GST group ?"}));
        EXPECT_EQ(Prompt->Beeps.last(), TBeep::Question);
        EXPECT_EQ(std::tuple(YearOf(0), YearOf(1), YearOf(2), YearOf(3)),
                  yes ? std::tuple(2005, 2005, 2005, 2006) : std::tuple(2005, 2006, 2006, 2006));
        EXPECT_EQ(DiskYear("MEM001"), yes ? "2005" : "2006");
        EXPECT_EQ(Log, yes ? QStringList({"close-pages:2", "refresh"}) : QStringList({"refresh"}));
        EXPECT_EQ(Desktop.Files().IndexOf("MEM003"), -1);

        while (Desktop.Files().Count() > 0)
            ASSERT_TRUE(Desktop.CloseFileOnDesktop(0));
        Prompt->Shown.clear();
    }
}

// ---- the window -------------------------------------------------------------------------------

// The years on disk newest first with the next year on top, the current year chosen; an unsaved
// accounts chart is written first; a double-click is OK.
TEST_F(ChangeYearTest, TheWindowListsTheYears) {
    OpenFiles({"ABC123"});
    WriteYearChart("ABC123", 2004);
    WriteYearChart("ABC123", 2005);
    ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL/ABC12303.ADF")); // a folder is no chart
    File().AccountsChart(2006)->Saved = false;
    ASSERT_TRUE(QFile::remove(DataDir + "/M_DETAIL/ABC12306.ADF"));

    TfmChangeYear dialog;
    dialog.Setup(File());
    EXPECT_EQ(dialog.windowTitle(), "Change Financial Year - ABC123");
    EXPECT_EQ(dialog.ListedYears(), QList<int>({2007, 2006, 2005, 2004}));
    EXPECT_EQ(dialog.YearList()->item(1)->text(), "2006    (Jul 2005 - Jun 2006)");
    EXPECT_EQ(dialog.ChosenYear(), 2006);
    EXPECT_TRUE(File().AccountsChart(2006)->Saved);
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ABC12306.ADF"));
    EXPECT_TRUE(dialog.NoteLabel()->isHidden());

    dialog.YearList()->setCurrentRow(2);
    EXPECT_EQ(dialog.ChosenYear(), 2005);
    emit dialog.YearList()->itemDoubleClicked(dialog.YearList()->item(2));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// ---- the main window's side -------------------------------------------------------------------

class TRecordingRegistry : public IChildWindowRegistry {
public:
    int CloseAllPages(int index, bool minimise, bool record) override {
        Calls << QString("close:%1:%2:%3").arg(index).arg(minimise).arg(record);
        return 2;
    }
    bool RunGuarded(int process, bool restorable, const std::function<bool()>& step) override {
        Calls << QString("guard:%1:%2:%3").arg(process).arg(restorable).arg(step());
        return true;
    }
    QStringList Calls;
};

class TAnsweringWindow : public IProcessWindow {
public:
    bool Run(TEntityInfo&, TReportSetup& setup) override {
        ++Runs;
        return setup.Year == 2007;
    }
    int Runs = 0;
};

TEST_F(ChangeYearTest, TheHostPassesThroughTheMainWindow) {
    OpenFiles({"ABC123"});
    TRecordingRegistry registry;
    TAnsweringWindow window;
    TYearChangeHost host(registry, Desktop, nullptr, &window);
    EXPECT_EQ(host.CloseAllPages(0), 2);
    EXPECT_TRUE(host.RunGuarded(prBringForward, false, [] { return false; }));
    EXPECT_EQ(registry.Calls, QStringList({"close:0:0:0", "guard:12:0:0"}));
    EXPECT_FALSE(host.BackupTimerEnabled());
    host.SetBackupTimerEnabled(true); // no timer: nothing to hold off
    EXPECT_FALSE(host.BackupTimerEnabled());
    TReportSetup setup(File().RunFile(2006), 0, prBringForward, 2007, false);
    EXPECT_TRUE(host.RunBringForward(File(), setup));
    EXPECT_EQ(window.Runs, 1);
    TYearChangeHost noWindow(registry, Desktop, nullptr, nullptr);
    EXPECT_FALSE(noWindow.RunBringForward(File(), setup));
}

} // namespace
