#include "tests/shell/DesktopTestSupport.h"

#include "shell/desktop/DesktopOpener.h"
#include "shell/main/DesktopShutdownAdapter.h"
#include "shell/main/MainWindowSeams.h"
#include "shell/password/PasswordDlg.h"
#include "shell/shutdown/BackupAnswer.h"
#include "shell/shutdown/BackupTimer.h"
#include "shell/shutdown/ShutdownSequence.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// A restore stops at twenty files without a word (nor lock questions), the one left over keeping
// its open mark (the main window's tests refuse a twenty-first from the Open dialog).
TEST_F(DesktopTest, ARestoreStopsAtTwentyFiles) {
    for (int i = 1; i <= 21; ++i) {
        WriteRecord(QString::asprintf("F%02d", i));
        Params->Entities.Append(QString::asprintf("F%02d", i), TPreviousEntityStatus(1));
    }
    Desktop.RestoreDesktop();
    EXPECT_EQ(Desktop.Files().Count(), 0); // restoring is off
    Params->RestoreDesktop = 1;
    Desktop.RestoreDesktop();
    EXPECT_EQ(Params->Entities[20].Status.Status, 1);
    EXPECT_FALSE(Options.first().Has(InteractiveLock));
    EXPECT_EQ(LockOf("F20") + LockOf("F21") + QString::number(Desktop.Files().Count()), "1020");
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    // The progress window moves on with each file of the history until the desktop is full.
    EXPECT_EQ(Progress->Log.value(0), "setup:Quilvane Startup|0|Restoring Desktop ...");
    QList<double> positions;
    for (int i = 1; i <= 20; ++i)
        positions << i * 100.0 / 21;
    EXPECT_EQ(Progress->Positions, positions);
}

// A stored password that is not upper case never matches; Cancel refuses with the same box. A refused
// file gives its lock back, its record is left as it was and no visit is logged.
TEST_F(DesktopTest, APasswordThatDoesNotMatchRefusesTheFile) {
    for (const std::optional<QString>& typed : {std::optional<QString>("Secret"), std::optional<QString>()}) {
        WriteRecord("PWD001", "Secret");
        const QByteArray before = ReadFileBytes(RecordPath("PWD001"));
        Prompt->Shown.clear();
        Typed = typed;
        Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(Desktop.OpenFileOnDesktop("PWD001", true, true, true, false), -1);
        EXPECT_EQ(LockOf("PWD001") + QString::number(Sessions), "00");
        EXPECT_EQ(Prompt->Texts().join(""), TDesktop::WrongPasswordText.arg("PWD001"));
        EXPECT_EQ(ReadFileBytes(RecordPath("PWD001")), before);
    }
    EXPECT_GE(Desktop.OpenFileOnDesktop("PWD001", false, false, false, false), 0); // not asked
    EXPECT_EQ(Asked, 2);
}

// Restored from a hand-written ini: the files that cannot be opened (no record, held by another
// workstation, a year that fails to load) lose their open mark without a word, the first file is
// active since the one active at the last exit did not open, and the master windows named
// reopen. What is saved afterwards is the hand-written result.
TEST_F(DesktopTest, TheDesktopIsRestoredAndSavedThroughTheProgramIni) {
    const QString dat = DataDir + "/Quilvane.DAT", ini = TempPath("Quilvane.ini");
    ASSERT_TRUE(QFile::copy(TProgramParams::ShippedReferenceDataPath(), dat));
    QFile::setPermissions(dat, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(WriteFileBytes(ini, TestData("desktop/Quilvane.ini").replace("@DATA@", DataDir.toLatin1())));
    for (const char* code : {"AAA111", "BBB222", "CCC333", "BROKE1"})
        WriteRecord(code);
    WriteRecord("HELD01", {}, "OTHERPC");
    YearFails = QStringList({"BROKE1"});
    ASSERT_EQ(Params->Load(), 0);

    Desktop.RestoreDesktop();
    EXPECT_EQ(OpenCodes(), QStringList({"BBB222", "AAA111"})); // in the history's order
    EXPECT_EQ(Desktop.ActiveIndex(), 0);
    EXPECT_EQ(Log, QStringList({"menus-on", "menus-on", "child:0", "child:3"}));
    EXPECT_EQ(LockOf("BROKE1") + LockOf("HELD01"), "01");
    EXPECT_TRUE(Prompt->Shown.isEmpty());

    Desktop.SaveDesktopState({"Taxes", "Accounts"});
    EXPECT_EQ(ReadFileBytes(ini),
              TestData("desktop/Quilvane.saved.ini").replace("@DATA@", DataDir.toLatin1()));
}

// With the data-entry window open a file's pages close before the file, and a Cancel there keeps
// the file; a file closed gives its lock back and logs its visit. (The main window's tests close
// files without pages: the first becomes active, the last disables the menus.)
TEST_F(DesktopTest, AFilesPagesCloseFirstAndACancelThereKeepsTheFile) {
    EntryWindowOpen = true;
    OpenFiles({"CCC333", "AAA111"});
    AddPage(*Desktop.Files().File(1), 1, 1);
    PagesResult = TDesktop::PagesCancelled;
    EXPECT_FALSE(Desktop.CloseFileOnDesktop(1));
    EXPECT_EQ(LockOf("AAA111") + QString::number(Sessions), "10");
    PagesResult = 0;
    EXPECT_TRUE(Desktop.CloseFileOnDesktop(1));
    EXPECT_EQ(LockOf("AAA111") + QString::number(Sessions), "01");
    EXPECT_EQ(Log, QStringList({"close-pages:1", "close-pages:1", "detach:AAA111"}));
}

// From the Open dialog: a file in use elsewhere is named in a box with its help, one of a type not
// permitted in a box of its own, one whose year fails is reported and unlocked, and one already
// open here becomes active when it comes first.
TEST_F(DesktopTest, FilesInUseAreNamedAndAnOpenOneBecomesActive) {
    for (const char* code : {"AAA111", "BBB222", "CCC333", "BROKE1", "ODD001"})
        WriteRecord(code);
    YearFails = QStringList({"BROKE1"});
    Desktop.OpenFiles("CCC333,", "1,");
    for (int i = 0; i < 3; ++i)
        Prompt->Answer(TMessageButton::OK);
    Desktop.OpenFiles("BROKE1,BBB222,CCC333,ZZZ999,ODD001,AAA111,", "1,1,0,0,2,1,");
    EXPECT_EQ(OpenCodes(), QStringList({"CCC333", "BBB222", "AAA111"}));
    EXPECT_EQ(Desktop.ActiveIndex(), 1);
    EXPECT_EQ(LockOf("BROKE1") + LockOf("ODD001"), "00");
    EXPECT_TRUE(Options.last().Has(InteractiveLock) && Options.last().Has(Load));
    ASSERT_EQ(Prompt->Texts(), QStringList({"Charts damaged", TDesktop::InUseText.arg("ZZZ999"),
                                            TDesktop::NotPermittedText.arg("ODD001")}));
    EXPECT_TRUE(Prompt->Shown[1].Buttons == (TMessageButton::OK | TMessageButton::Help) &&
                Prompt->Shown[1].HelpContext == TDesktop::InUseHelpContext);
    EXPECT_TRUE(Prompt->Shown[2].Buttons == TMessageButton::OK);
}

// Cancel at the second file's backup offer stops the exit with the first file already closed:
// the history on disk then records it as closed, so the next start does not reopen it; the file
// not reached stays marked open. (The main window's tests check the files left open.)
TEST_F(DesktopTest, AStoppedExitRecordsTheFilesItClosedAsClosed) {
    class TFrame : public IShutdownFrame, public IBackupQuestion {
    public:
        QList<TDesktopChild> Children() const override { return {}; }
        void CloseChild(int) override {}
        void ProcessEvents() override {}
        bool ModalDialogOpen() const override { return false; }
        void NotifyActiveFile(bool) override {}
        IChildWindowRegistry& ChildWindows() override { return NoChildWindows; }
        TBackupAnswer Ask(const QString&) override {
            return Answers.isEmpty() ? TBackupAnswer::Cancel : Answers.takeFirst();
        }
        IChildWindowRegistry NoChildWindows;
        QList<TBackupAnswer> Answers{TBackupAnswer::No, TBackupAnswer::Cancel};
    } frame;
    const QString dat = DataDir + "/Quilvane.DAT";
    ASSERT_TRUE(QFile::copy(TProgramParams::ShippedReferenceDataPath(), dat));
    QFile::setPermissions(dat, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(WriteFileBytes(TempPath("Quilvane.ini"), "[DESKTOP]\r\nLicFilePath=" + DataDir.toLatin1() +
                                                             "\r\nRestoreDesktop=1\r\n"));
    ASSERT_EQ(Params->Load(), 0);
    OpenFiles({"AAA111", "BBB222"});
    TDesktopShutdownAdapter adapter(Desktop, *this, frame);
    TBackupTimer timer(adapter, *Params);
    TShutdownSequence shutdown(adapter, frame, *Params, timer);

    EXPECT_FALSE(shutdown.Shutdown());
    ASSERT_EQ(Params->Load(), 0); // what the next start reads
    EXPECT_EQ(Params->Entities[Params->Entities.IndexOf("AAA111")].Status.Status, 0);
    EXPECT_GT(Params->Entities[Params->Entities.IndexOf("BBB222")].Status.Status, 0);
}

// Through the program's opener and its prompt (masked, captioned with the file): the password
// typed in lower case and confirmed with OK opens the file (the main window's tests refuse a wrong one).
TEST_F(DesktopTest, ThePasswordPromptOpensTheFileWithThePasswordTypedInLowerCase) {
    WriteRecord("PWD001", "SECRET");
    WriteChart("PWD001");
    TDesktopOpener opener;
    TDesktop desktop(opener, *this);
    QString caption;
    QTimer::singleShot(0, [&caption] {
        auto* dialog = qobject_cast<TPasswordDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog && dialog->PasswordEdit()->echoMode() == QLineEdit::Password);
        caption = dialog->windowTitle();
        dialog->PasswordEdit()->setText("secret");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(desktop.OpenFileOnDesktop("PWD001", true, true, true, false), 0);
    EXPECT_EQ(LockOf("PWD001"), "1");
    EXPECT_EQ(caption, "Access password for : PWD001");
}

// A renamed file keeps its place on the desktop and in the history, now under the new code and
// marked open; a code another open file holds is refused and changes nothing.
TEST_F(DesktopTest, ARenamedFileKeepsItsPlacesUnderTheNewCode) {
    OpenFiles({"AAA111", "BBB222"});
    Params->Entities.Clear();
    for (const char* code : {"ZZZ999", "BBB222", "AAA111", "NEW001"})
        Params->Entities.Append(code, TPreviousEntityStatus(0));
    EXPECT_FALSE(Desktop.FileRenamed(1, "AAA111"));
    EXPECT_FALSE(Desktop.FileRenamed(5, "CCC333"));
    ASSERT_TRUE(Desktop.FileRenamed(1, "NEW001"));
    EXPECT_EQ(OpenCodes(), QStringList({"AAA111", "NEW001"}));
    EXPECT_EQ(Desktop.Files().IndexOf("new001"), 1);
    EXPECT_EQ(Params->Entities.Codes(), QStringList({"ZZZ999", "NEW001", "AAA111"}));
    EXPECT_EQ(Params->Entities[1].Status.Status, 1);
}
