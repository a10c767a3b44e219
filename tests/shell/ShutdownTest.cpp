#include "core/common/Exceptions.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/WindowKinds.h"
#include "shell/shutdown/BackupTimer.h"
#include "shell/shutdown/ShutdownDesktop.h"
#include "shell/shutdown/ShutdownSequence.h"
#include "shell/shutdown/frmConfirmBackup.h"
#include "tests/support/ServicesFixture.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>

namespace {

using A = TBackupAnswer;

// A desktop of open files that logs every call made of it, and a backup offer answered from a
// script.
class TFakeDesktop : public IShutdownDesktop, public IBackupQuestion {
public:
    struct TFile {
        QString Code;
        bool Prompt = true;
    };
    int FileCount() const override { return Files.size(); }
    QString FileCode(int index) const override { return Files.at(index).Code; }
    QString YearCaption(int index) const override { return FileCode(index) + " (2006) - Name"; }
    bool PromptsForBackup(int index) const override { return Files.at(index).Prompt; }
    int ActiveIndex() const override { return Active; }
    void MakeActive(int index) override { Active = index, Log << "active:" + FileCode(index); }
    void ActiveFileChanged() override { Log << "changed"; }
    QList<TDesktopChild> Children() const override { return Windows; }
    void CloseChild(int position) override { Log << "child:" + QString::number(position); }
    void ProcessEvents() override {}
    bool DataEntryOpen() const override { return DataEntry; }
    bool CloseDataEntryPages(int index) override {
        Log << "pages:" + FileCode(index);
        return FileCode(index) != Refusing;
    }
    void CloseDataEntryWindow() override { DataEntry = false, Log << "close-data-entry"; }
    void SaveYearCharts(int index) override {
        Log << "save:" + FileCode(index);
        if (FileCode(index) == FailingSave)
            throw EQuilvaneError("disk full");
    }
    void BackupActiveFile() override { Log << "backup:" + FileCode(Active); }
    void FreeFile(int index) override { Take("free:", index); }
    void CloseFileOnDesktop(int index) override { Take("close:", index); }
    void RecordClosed(const QStringList& codes) override { Log << "closed:" + codes.join(','); }
    void SaveDesktopState() override { Log << "state"; }
    bool ProcessRunning() const override { return Process; }
    bool ModalDialogOpen() const override { return Modal; }
    TBackupAnswer Ask(const QString& yearCaption) override {
        Log << "ask:" + yearCaption.section(' ', 0, 0);
        EXPECT_FALSE(Answers.empty()) << "Unexpected backup offer";
        if (Answers.empty())
            return A::Cancel;
        const A answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void Take(const QString& step, int index) {
        Log << step + Files.takeAt(index).Code;
        Active = Files.isEmpty() ? -1 : 0;
    }
    QStringList Codes() const {
        QStringList codes;
        for (const TFile& file : Files)
            codes << file.Code;
        return codes;
    }

    QList<TFile> Files;
    int Active = -1;
    QList<TDesktopChild> Windows;
    bool DataEntry = false;
    QString Refusing; // the file whose data-entry pages refuse to close
    QString FailingSave;
    bool Process = false;
    bool Modal = false;
    std::deque<TBackupAnswer> Answers;
    QStringList Log;
};

class ShutdownTest : public TServicesFixture {
protected:
    void Start(const QList<TFakeDesktop::TFile>& files, std::initializer_list<A> answers = {}) {
        Desktop.Files = files;
        Desktop.Active = files.isEmpty() ? -1 : 0;
        Desktop.Answers = answers;
        Desktop.Log.clear();
    }
    QString Steps(const QString& prefix) const {
        return Desktop.Log.filter(prefix).replaceInStrings(prefix, "").join(' ');
    }

    TFakeDesktop Desktop;
    TProgramParams Settings;
    TBackupTimer Timer{Desktop, Settings};
    TShutdownSequence Sequence{Desktop, Desktop, Settings, Timer};
};

TEST_F(ShutdownTest, TimedSavingCountsAtLeastTheIntervalAndSkipsBusyTicks) {
    const struct {
        const char* Name;
        bool TimedBackups;
        int Interval;
        const char* Ticks; // one a minute: '.' idle, 'p' a process runs, 'm' a modal dialog is up
        int LowerAtTick;   // the interval becomes 4 before this minute; 0 never
        QList<int> SavedAt;
    } cases[] = {
        {"interval 0 never saves", true, 0, "..........", 0, {}},
        {"every fifth minute", true, 5, "............", 0, {5, 10}},
        {"timed backups off", false, 2, "......", 0, {}},
        {"process holds the minute", true, 3, ".p.....", 0, {4, 7}},
        {"modal dialog holds the minute", true, 2, "m.m...", 0, {4, 6}},
        {"interval lowered below the count", true, 10, "........", 7, {7}},
    };
    for (const auto& tick : cases) {
        SCOPED_TRACE(tick.Name);
        Settings.TimedBackups = tick.TimedBackups;
        Settings.BackupInterval = tick.Interval;
        Timer.SetEnabled(true);
        QList<int> saved;
        for (int minute = 1; tick.Ticks[minute - 1] != '\0'; ++minute) {
            Settings.BackupInterval = minute == tick.LowerAtTick ? 4 : Settings.BackupInterval;
            Desktop.Process = tick.Ticks[minute - 1] == 'p';
            Desktop.Modal = tick.Ticks[minute - 1] == 'm';
            if (Timer.OnTick())
                saved << minute;
        }
        EXPECT_EQ(saved, tick.SavedAt);
    }
}

TEST_F(ShutdownTest, TimedSaveWritesEveryFileAndTheDesktopEvenAfterAFailure) {
    Start({{"ALPHA"}, {"BETA"}});
    Desktop.Active = 1;
    Desktop.Windows = {{wkDataEntry}, {wkAccounts, ckAccounts}};
    Desktop.FailingSave = "BETA";
    Settings.BackupInterval = 1;
    Timer.EnableFromSettings(); // timed backups off: no ticks
    EXPECT_FALSE(Timer.Enabled() || Timer.OnTick());
    Settings.TimedBackups = true;
    Timer.EnableFromSettings();
    EXPECT_THROW(Timer.OnTick(), EQuilvaneError);
    EXPECT_TRUE(Timer.Enabled());
    Desktop.FailingSave.clear();
    EXPECT_TRUE(Timer.OnTick());
    EXPECT_EQ(Desktop.Log.join(' '), "save:ALPHA save:BETA save:ALPHA save:BETA state");
    EXPECT_EQ(Settings.Forms, QStringList({"Accounts", "Data Entry"}));
    EXPECT_EQ(Settings.Current, "BETA");
    EXPECT_TRUE(Timer.Enabled() && Timer.Minutes() == 0);
}

TEST_F(ShutdownTest, ExitClosesChildrenThenEachFileInOrder) {
    Start({{"ALPHA"}, {"BETA", false}}, {A::Yes});
    Desktop.Active = 1;
    Desktop.Windows = {{wkTaxes, ckTaxes},
                       {wkDataEntry},
                       {wkReports},
                       {wkBankRecOpeningBalances, ckBankRecOpening},
                       {wkStandardDescriptions, ckStdDescriptions}};
    Desktop.DataEntry = true;
    Settings.TimedBackups = true;
    Timer.EnableFromSettings();
    ASSERT_TRUE(Sequence.Shutdown());
    EXPECT_EQ(Desktop.Log.join(' '),
              "state child:4 child:3 child:2 child:0 active:ALPHA pages:ALPHA save:ALPHA "
              "ask:ALPHA backup:ALPHA free:ALPHA active:BETA pages:BETA close-data-entry "
              "save:BETA free:BETA");
    EXPECT_EQ(Settings.Forms, QStringList({"Standard Descriptions", "Data Entry", "Taxes"}));
    EXPECT_EQ(Settings.Current, "BETA");
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_EQ(Progress->Log.join('/'),
              "setup:QUILVANE Shutdown|0|Shutting Down .../setup:File : ALPHA|0|Closing "
              "File .../close/setup:File : ALPHA|0|Closing File .../setup:File : "
              "BETA|0|Closing File .../close");
}

TEST_F(ShutdownTest, BackupAnswersCarryFromFileToFile) {
    const struct {
        const char* Name;
        QList<bool> Prompts; // of the files A, B and C
        std::initializer_list<A> Answers;
        const char* Asked;
        const char* BackedUp;
    } cases[] = {
        {"yes to all asks once", {true, true, true}, {A::YesToAll}, "A", "A B C"},
        {"no to all asks once", {true, true, true}, {A::NoToAll}, "A", ""},
        {"no to all after a yes", {true, true, true}, {A::Yes, A::NoToAll}, "A B", "A"},
        {"yes to all passes unprompted files", {true, false, true}, {A::YesToAll}, "A", "A C"},
        {"unprompted files never asked", {false, true, false}, {A::No}, "B", ""},
        {"single answers", {true, true, true}, {A::No, A::Yes, A::No}, "A B C", "B"},
    };
    for (const auto& carry : cases) {
        SCOPED_TRACE(carry.Name);
        Start({{"A", carry.Prompts[0]}, {"B", carry.Prompts[1]}, {"C", carry.Prompts[2]}}, carry.Answers);
        ASSERT_TRUE(Sequence.Shutdown());
        EXPECT_EQ(Steps("ask:"), carry.Asked);
        EXPECT_EQ(Steps("backup:"), carry.BackedUp);
    }
}

TEST_F(ShutdownTest, StoppedShutdownLeavesFilesOpenAndTimedSavingOn) {
    const struct {
        const char* Name;
        const char* Refusing;
        const char* FailingSave;
        std::initializer_list<A> Answers;
        bool TimedBackups;
        QStringList LeftOpen;
        const char* RecordedClosed; // the files freed before the stop
    } cases[] = {
        {"pages refuse to close", "BETA", "", {A::No}, true, {"BETA", "GAMMA"}, "ALPHA"},
        {"cancel at the first offer", "", "", {A::Cancel}, false, {"ALPHA", "BETA", "GAMMA"}, ""},
        {"failed save", "", "BETA", {A::No}, true, {"BETA", "GAMMA"}, "ALPHA"},
    };
    for (const auto& stop : cases) {
        SCOPED_TRACE(stop.Name);
        Start({{"ALPHA"}, {"BETA"}, {"GAMMA"}}, stop.Answers);
        Desktop.Active = 2;
        Desktop.Windows = {{wkDataEntry}};
        Desktop.DataEntry = true;
        Desktop.Refusing = stop.Refusing;
        Desktop.FailingSave = stop.FailingSave;
        Settings.TimedBackups = stop.TimedBackups;
        Settings.BackupInterval = 5;
        Timer.SetEnabled(true);
        Timer.OnTick();
        if (*stop.FailingSave)
            EXPECT_THROW(Sequence.Shutdown(), EQuilvaneError);
        else
            EXPECT_FALSE(Sequence.Shutdown());
        EXPECT_EQ(Desktop.Codes(), stop.LeftOpen);
        EXPECT_EQ(Steps("closed:"), stop.RecordedClosed);
        EXPECT_TRUE(Desktop.DataEntry);
        EXPECT_EQ(Desktop.Log.last(), "changed");
        EXPECT_EQ(Settings.Forms.join(' ') + '/' + Settings.Current, "Data Entry/GAMMA");
        EXPECT_EQ(Timer.Enabled(), stop.TimedBackups);
        EXPECT_EQ(Timer.Minutes(), 0);
        EXPECT_EQ(Progress->Open, 0);
    }
}

TEST_F(ShutdownTest, ExitAsksFirstAndNoKeepsEverything) {
    Start({{"ALPHA", false}});
    Prompt->Answer(TMessageButton::No);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_FALSE(Sequence.CloseQuery());
    EXPECT_TRUE(Desktop.Log.isEmpty());
    EXPECT_TRUE(Sequence.CloseQuery() && Desktop.Files.isEmpty());
    EXPECT_EQ(Prompt->Texts(), QStringList(2, "Are you sure you want to exit from Quilvane ?"));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Yes | TMessageButton::No);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(2, TBeep::Question));
}

TEST_F(ShutdownTest, CloseChosenFilesClosesTheLastChosenFirst) {
    Start({{"ALPHA"}, {"BETA"}, {"GAMMA"}, {"DELTA"}}, {A::YesToAll});
    EXPECT_TRUE(Sequence.CloseChosenFiles({0, 2}));
    EXPECT_EQ(Desktop.Log.join(' '),
              "active:GAMMA save:GAMMA ask:GAMMA backup:GAMMA close:GAMMA active:ALPHA save:ALPHA "
              "backup:ALPHA close:ALPHA");
    Start(Desktop.Files, {A::Cancel});
    EXPECT_FALSE(Sequence.CloseChosenFiles({0, 1}));
    EXPECT_EQ(Desktop.Codes(), QStringList({"BETA", "DELTA"}));
    EXPECT_EQ(Progress->Created, 0);
}

TEST_F(ShutdownTest, ConfirmBackupGivesEachAnswerAndShowsTheAmpersand) {
    TfrmConfirmBackup dialog;
    for (const auto& [button, answer] : {std::pair{dialog.btnYes, A::Yes},
                                         {dialog.btnYesToall, A::YesToAll},
                                         {dialog.btnNo, A::No},
                                         {dialog.btnNoAll, A::NoToAll},
                                         {dialog.btnCancel, A::Cancel},
                                         {nullptr, A::Cancel}}) {
        dialog.setResult(-1);
        dialog.show();
        button ? button->click() : QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), static_cast<int>(answer)) << (button ? qPrintable(button->text()) : "Esc");
    }
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* modal = qobject_cast<TfrmConfirmBackup*>(QApplication::activeModalWidget())) {
            shown = modal->windowTitle() + '|' + modal->lblText->text();
            modal->btnNoAll->click();
        }
    });
    EXPECT_EQ(TConfirmBackupQuestion().Ask("SMITH (2006) - Smith & Jones"), A::NoToAll);
    EXPECT_EQ(shown,
              "Confirm Backup|Do you want to perform a backup for: \n\nSMITH (2006) - Smith & Jones ?");
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Question}));
}

} // namespace
