#include "shell/filecode/FileCodeChange.h"
#include "shell/filecode/ChangeFileCode.h"
#include "shell/filecode/FileCodeEdit.h"
#include "shell/filecode/FileCodeRules.h"

#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "core/files/CompanionLock.h"
#include "core/logs/LogList.h"
#include "tests/support/LayoutHolds.h"
#include "tests/core/EntityTestSupport.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

namespace {

// ---- planning without a disk ------------------------------------------------------------------

TEST(FileCodePlanning, OwnMasterNamesAreTheCodeWithAYearAndOneExtension) {
    const std::pair<const char*, bool> cases[] = {
        {"ABC123.RLO", true},     {"abc12307.adf", true},
        {"ABC1234.ADF", false},   {"ABC123061.ADF", false},
        {"ABC123AB.ADF", false},  {"ABC12306.ADF.BAK", false},
        {"ABC123", false},        {"ABC123.", false},
        {"XABC12306.ADF", false}, {"ABC12\u0661\u0662.ADF", false}, // digits of another script are no year
    };
    for (const auto& [name, own] : cases)
        EXPECT_EQ(TFileCodeChange::IsOwnMasterName(QString::fromUtf8(name), "ABC123"), own) << name;
}

TFileCodeListing HandListing() {
    TFileCodeListing listing;
    listing.Data = {"/d", {"ABC123.CFG"}, {"ABC123", "M_DETAIL"}};
    listing.MasterFolders = {{"/d/M_DETAIL", {"abc12307.adf", "ABC1234.ADF"}, {}}};
    listing.Own = TFolderListing{"/d/ABC123", {"ABC12306.PA1", "NOTES.TXT"}, {}};
    return listing;
}

TEST(FileCodePlanning, ANameAlreadyInUseInAnyCaseRefusesTheWholeChange) {
    // The folders a rename writes into, to be checked first: the own folder only for its files.
    EXPECT_EQ(
        TFileCodeChange::MakePlan(HandListing(), "ABC123", "NEW123", TFileCodeChange::Rename).WrittenFolders,
        (QStringList{"/d", "/d/M_DETAIL", "/d/ABC123"}));
    const auto exists = [](const char* path) { return QDir::toNativeSeparators(path) + " already exists."; };
    const std::pair<std::function<void(TFileCodeListing&)>, QString> cases[] = {
        {[](TFileCodeListing& l) { l.Data.Files << "new123.cfg"; }, TFileCodeRules::ExistsText},
        {[](TFileCodeListing& l) { l.MasterFolders[0].Files << "new12307.ADF"; },
         exists("/d/M_DETAIL/NEW12307.adf")},
        {[](TFileCodeListing& l) { l.MasterFolders[0].Files << "ABC12307.ADF"; }, // meets abc12307.adf
         exists("/d/M_DETAIL/NEW12307.ADF")},
        {[](TFileCodeListing& l) { l.Data.Folders << "New123"; }, exists("/d/NEW123")},
        {[](TFileCodeListing& l) { l.Own->Files << "NEW12306.PA1"; }, exists("/d/ABC123/NEW12306.PA1")},
        {[](TFileCodeListing& l) { l.Data.Files.removeAll("ABC123.CFG"); },
         QDir::toNativeSeparators("/d/ABC123.CFG") + " does not exist."},
    };
    for (const auto& [change, problem] : cases) {
        TFileCodeListing listing = HandListing();
        change(listing);
        const TFileCodePlan plan =
            TFileCodeChange::MakePlan(listing, "ABC123", "NEW123", TFileCodeChange::Rename);
        EXPECT_EQ(plan.Problem, problem);
        EXPECT_TRUE(plan.Steps.isEmpty());
    }
    // A separator would reach outside the data folder's own names.
    EXPECT_FALSE(TFileCodeChange::MakePlan(HandListing(), "ABC123", "NE/123", 1).IsPossible());
}

// ---- on disk ------------------------------------------------------------------------------------

const QByteArray ClientRecord =
    "[CONFIGURATION]\r\nCode=ABC123\r\nType=COY\r\nName=Acme\r\nCreated=732494.5\r\n"
    "Accessed=732495.25\r\nAccFormatID=QUILVANE\r\nYear=2006\r\nPeriods=12\r\n"
    "EndMonth=6\r\nPeriod=1\r\nExportDir=C:\\QUILVANE\\EXPORT\\abc123\\ABC123\r\n"
    "ImportDir=C:\\IMPORT\\ABC123\r\nLocked=0\r\nLockedBy=\r\n";

// Client ABC123 with charts (one with the code twice in its name), a reconciliation file and
// transaction files, each with the name a change to NEW123 gives it, next to a chart of a longer
// code and another client's files. The record is open (and locked).
class FileCodeChangeTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        const std::tuple<const char*, QByteArray, const char*> files[] = {
            {"ABC123.CFG", ClientRecord, nullptr},
            {"M_DETAIL/ABC12306.ADF", "accounts 06", "M_DETAIL/NEW12306.ADF"},
            {"M_DETAIL/abc12307.adf", "accounts 07", "M_DETAIL/NEW12307.adf"},
            {"M_DETAIL/ABC12306.ABC123", "second occurrence", "M_DETAIL/NEW12306.ABC123"},
            {"M_DETAIL/ABC1234.ADF", "a longer code", nullptr},
            {"BANK_REC/ABC12306.RUA", "unmatched", "BANK_REC/NEW12306.RUA"},
            {"ABC123/ABC12306.PA1", "payments", "NEW123/NEW12306.PA1"},
            {"ABC123/NOTES.TXT", "notes", "NEW123/NOTES.TXT"},
            {"XYZ999.CFG", QByteArray(ClientRecord).replace("ABC123", "XYZ999"), nullptr},
            {"XYZ999/XYZ99906.PA1", "other payments", nullptr},
        };
        for (const auto& [name, bytes, newName] : files) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(DataDir + "/" + name).path()));
            ASSERT_TRUE(WriteFileBytes(DataDir + "/" + name, bytes)) << name;
            if (newName)
                Renamed[name] = newName;
        }
        Renamed["ABC123"] = "NEW123";
        Record = Open({Standard, Load});
        ASSERT_EQ(DiskKey("Locked"), "1");
    }

    // Every file (with its bytes) and folder under the data folder by relative path, but those
    // left out and the companion lock of the open record (which follows it: see its own test).
    std::map<std::string, std::string> Snapshot(std::initializer_list<const char*> leftOut = {}) const {
        std::map<std::string, std::string> found;
        QDirIterator it(DataDir, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(".CFG.lock"))
                continue;
            found[QDir(DataDir).relativeFilePath(path).toStdString()] =
                it.fileInfo().isDir() ? "<folder>" : ReadFileBytes(path).toStdString();
        }
        for (const char* name : leftOut)
            found.erase(name);
        return found;
    }
    QString Key(const QString& key) const {
        return TIniFile(RecordPath("NEW123")).ReadString("CONFIGURATION", key, "<missing>");
    }
    // Answers the question and the outcome's box with OK and runs the change.
    bool Run(const QString& newCode, int mode, TFileCodeOperations ops = TFileCodeOperations::Local()) {
        Prompt->Answer(TMessageButton::OK);
        Prompt->Answer(TMessageButton::OK);
        TFileCodeChange change(std::move(ops));
        const bool done = change.Execute(*Record, newCode, mode);
        LastError = change.LastError();
        return done;
    }
    // Local operations whose n-th forward operation (moves, copies and new folders, counted
    // together) fails without doing anything; the undo's moves that follow succeed.
    static TFileCodeOperations FailingAt(int failAt) {
        const auto failing = [count = std::make_shared<int>(0), failAt](auto operation) {
            return [=](const auto&... names) { return ++*count != failAt && operation(names...); };
        };
        TFileCodeOperations ops = TFileCodeOperations::Local();
        ops.Move = failing(ops.Move);
        ops.Copy = failing(ops.Copy);
        ops.MakeFolder = failing(ops.MakeFolder);
        return ops;
    }

    std::map<std::string, std::string> Renamed; // own names and the ones the change gives them
    const char* const NewRecord = "NEW123.CFG"; // rewritten by the change: its keys are read
    const char* const TimeLog = "QUILVANE.LOG";

    std::unique_ptr<TEntityDetail> Record;
    QString LastError;
};

TEST_F(FileCodeChangeTest, RenameMovesEveryOwnFileAndTheRecordFollows) {
    std::map<std::string, std::string> expected;
    for (const auto& [name, bytes] : Snapshot({"ABC123.CFG"}))
        expected[Renamed.count(name) ? Renamed.at(name) : name] = bytes;
    ASSERT_TRUE(Run("NEW123", TFileCodeChange::Rename));
    EXPECT_EQ(Snapshot({NewRecord, TimeLog}), expected);
    EXPECT_TRUE(Record->FileName.endsWith("NEW123.CFG")); // the save writes by the code alone
    EXPECT_EQ(Key("ExportDir"), "C:\\QUILVANE\\EXPORT\\NEW123\\ABC123");
    EXPECT_EQ(Key("ImportDir"), "C:\\IMPORT\\NEW123");

    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Cancel);
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Question, TBeep::Information}));
    EXPECT_EQ(Progress->Log.value(0), "setup:ABC123|26|to NEW123");
    TLogList log(lkTime);
    log.Load();
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.GetItem(0).FileCode, "NEW123");
    EXPECT_EQ(log.GetItem(0).UserName, "Rename of ABC123 to NEW123");
}

TEST_F(FileCodeChangeTest, CopyLeavesTheOriginalAndUnlocksTheCopy) {
    std::map<std::string, std::string> expected = Snapshot();
    for (const auto& [from, to] : Renamed)
        expected[to] = expected.at(from);
    ASSERT_TRUE(Run(" new123", TFileCodeChange::Copy));  // as the edit never gives it
    EXPECT_EQ(Snapshot({NewRecord, TimeLog}), expected); // the original's record among them

    EXPECT_EQ(Key("LockedBy"), "");
    EXPECT_EQ(Key("ExportDir"), "C:\\QUILVANE\\EXPORT\\NEW123\\ABC123");
    EXPECT_EQ(Key("ImportDir"), "C:\\IMPORT\\NEW123");
    EXPECT_EQ(Key("Name"), "Acme"); // the other keys as the original's
    EXPECT_EQ(Record->ExportDir, "C:\\QUILVANE\\EXPORT\\abc123\\ABC123");
    EXPECT_EQ(Progress->Log.value(0), "setup:ABC123|27|to NEW123");
}

// Cancel at the question, and a copy to a code that has a record already, touch nothing.
TEST_F(FileCodeChangeTest, CancelOrACopyOntoAnExistingRecordTouchesNothing) {
    const std::map<std::string, std::string> before = Snapshot();
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_FALSE(TFileCodeChange().Execute(*Record, "NEW123", TFileCodeChange::Rename));
    EXPECT_EQ(Prompt->Texts().size(), 1);
    EXPECT_FALSE(Run("XYZ999", TFileCodeChange::Copy));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Prompt->Texts().value(2), TFileCodeRules::ExistsText);
    EXPECT_EQ(Prompt->Shown.value(2).Kind, TMessageKind::Error);
    EXPECT_EQ(Progress->Created, 0);
}

// Whichever operation fails, and when the record cannot be written after them all, every name
// is as it was (nothing logged), the open record's fields too, and the failure is told.
TEST_F(FileCodeChangeTest, AFailedChangeUndoesEveryStepDone) {
    const std::map<std::string, std::string> before = Snapshot();
    // Rename: four charts, one transaction file, the folder, the record. Copy: four charts, the
    // folder, two files, the record.
    for (const auto& [mode, steps] : {std::pair{0, 7}, std::pair{1, 8}}) {
        for (int failAt = 1; failAt <= steps + 1; ++failAt) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", failing at " << failAt);
            Prompt->Shown.clear();
            Files->RefuseUnprotect = failAt > steps;
            EXPECT_FALSE(Run("NEW123", mode, FailingAt(failAt > steps ? 0 : failAt)));
            EXPECT_EQ(Snapshot(), before);
            EXPECT_EQ(Record->FileCode, "ABC123");
            EXPECT_EQ(Record->ExportDir, "C:\\QUILVANE\\EXPORT\\abc123\\ABC123");
            EXPECT_TRUE(Record->FileName.endsWith("ABC123.CFG"));
            ASSERT_EQ(Prompt->Shown.size(), 2);
            EXPECT_EQ(Prompt->Shown[1].Kind, TMessageKind::Warning);
            EXPECT_TRUE(Prompt->Shown[1].Text.startsWith(
                QString("Unable to %1 ABC123 to NEW123\r").arg(mode == 0 ? "Rename" : "Copy")));
        }
    }
    // The record put back saves under its own name again.
    Files->RefuseUnprotect = false;
    Record->Name = "Acme Two";
    EXPECT_EQ(Record->Save({Standard}), 0);
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("CONFIGURATION", "Name", ""), "Acme Two");
    EXPECT_FALSE(QFile::exists(RecordPath("NEW123")));
}

// When a step cannot be undone either, the message says which name is left where, and the
// steps before it are still undone.
TEST_F(FileCodeChangeTest, AnUndoThatFailsIsReported) {
    Files->RefuseUnprotect = true; // the record's save fails after every move, and moving it back too
    EXPECT_FALSE(Run("NEW123", TFileCodeChange::Rename, FailingAt(8)));
    EXPECT_TRUE(LastError.endsWith(QDir::toNativeSeparators(RecordPath("NEW123")) +
                                   " could not be moved back to " +
                                   QDir::toNativeSeparators(RecordPath("ABC123")) + "."))
        << LastError.toStdString();
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ABC12306.ADF"));
}

// A file opened over the lock of a workstation that still has it open keeps its code: the
// rename is refused with the lock's own message before anything moves. Once this workstation
// holds the keys the rename goes ahead, and the companion lock follows the record.
TEST_F(FileCodeChangeTest, ARenameIsRefusedWhileAnotherWorkstationHoldsTheFile) {
    const QString companion = RecordPath() + ".lock";
    EXPECT_TRUE(QFileInfo(companion).isFile());
    Record.reset();
    TCompanionLock other;
    ASSERT_TRUE(other.Take(RecordPath()));
    QFile::setPermissions(RecordPath(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(WriteFileBytes(
        RecordPath(),
        QByteArray(ClientRecord).replace("LockedBy=", "LockedBy=OTHER").replace("Locked=0", "Locked=1")));
    for (int i = 0; i < 5; ++i)
        Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    Record = Open({Standard, Load, InteractiveLock});
    Prompt->Shown.clear(), Prompt->Beeps.clear();
    const std::map<std::string, std::string> before = Snapshot();

    EXPECT_FALSE(Run("NEW123", TFileCodeChange::Rename));
    const QString inUse = "File code ABC123 is aleady opened by user \"OTHER\".\r\nPlease check that "
                          "\"OTHER\" has finished working with the file before retrying.";
    EXPECT_EQ(LastError, inUse);
    EXPECT_EQ(Prompt->Texts().value(1), "Unable to Rename ABC123 to NEW123\r" + inUse);
    EXPECT_EQ(Prompt->Beeps.value(1), TBeep::Warning);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Record->FileCode, "ABC123");

    // OTHER closes; this workstation takes the keys and may rename.
    other.Release();
    Record.reset();
    QFile::setPermissions(RecordPath(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(WriteFileBytes(RecordPath(), ClientRecord));
    Record = Open({Standard, Load});
    ASSERT_TRUE(Run("NEW123", TFileCodeChange::Rename));
    EXPECT_EQ(Key("LockedBy"), "WORKSTATION1");
    EXPECT_FALSE(QFileInfo::exists(companion));
    EXPECT_FALSE(TCompanionLock::IsFree(RecordPath("NEW123")));
}

TEST_F(FileCodeChangeTest, AFolderThatCannotBeWrittenStopsTheChangeFirst) {
    TFileCodeOperations ops = TFileCodeOperations::Local();
    ops.IsWritable = [](const QString& folder) { return !folder.endsWith("BANK_REC"); };
    int moves = 0;
    ops.Move = [&moves](const QString&, const QString&) { return ++moves, false; };
    EXPECT_FALSE(Run("NEW123", TFileCodeChange::Rename, ops));
    EXPECT_EQ(moves, 0);
    EXPECT_EQ(LastError,
              "Unable to write to the folder " + QDir::toNativeSeparators(DataDir + "/BANK_REC") + ".");
}

// ---- the dialog ---------------------------------------------------------------------------------

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

using ChangeFileCodeDialogTest = FileCodeChangeTest;

// OK with a code typed with a blank and a full stop among its letters and digits: the length
// message; with a code whose record exists: the exists message; neither runs the change. With a
// good code OK hides the dialog while the change runs; a failure shows it again, a success
// accepts it. Inside exec() that goes on until a change succeeds or the user cancels.
TEST_F(ChangeFileCodeDialogTest, OKChecksTheCodeAndRunsTheChangeUntilItSucceeds) {
    TfmChangeFileCode dialog;
    dialog.Setup(QStringList{"ABC123 (2006) - Acme", "XYZ999 (2006) - Other"}, 1, TFileCodeChange::Copy);
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    QList<std::tuple<int, QString, int, bool>> runs;
    dialog.SetExecute([&](int index, const QString& code, int mode) {
        runs.append({index, code, mode, dialog.isVisible()});
        if (runs.size() == 3) // inside exec(): OK is pressed again when the dialog comes back
            QTimer::singleShot(0, dialog.btnOK, &QPushButton::click);
        return runs.size() % 2 == 0;
    });
    dialog.show();
    QTest::keyClicks(dialog.medFileCode, "ab c.12");
    Prompt->Answer(TMessageButton::OK);
    dialog.btnOK->click();
    dialog.medFileCode->setText("XYZ999");
    Prompt->Answer(TMessageButton::OK);
    dialog.btnOK->click();
    EXPECT_EQ(Prompt->Texts(), (QStringList{TFileCodeRules::LengthText, TFileCodeRules::ExistsText}));
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(runs.isEmpty());
    EXPECT_TRUE(dialog.isVisible());

    dialog.cboOpenFiles->setCurrentIndex(0);
    dialog.medFileCode->clear();
    QTest::keyClicks(dialog.medFileCode, "new123");
    dialog.btnOK->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.btnOK->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    QTimer::singleShot(0, dialog.btnOK, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    QTimer::singleShot(0, dialog.btnCancel, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    ASSERT_EQ(runs.size(), 4);
    for (const auto& run : runs) // hidden while it runs
        EXPECT_EQ(run, std::make_tuple(0, QString("NEW123"), 1, false));
}

// Every control sits in the dialog's layouts: the buttons too, below the fields.
TEST_F(ChangeFileCodeDialogTest, EveryControlIsLaidOut) {
    TfmChangeFileCode dialog;
    dialog.Setup(QStringList{"ABC123 (2006) - Acme"}, 0, TFileCodeChange::Rename);
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             dialog.lblOpenFiles, dialog.cboOpenFiles, dialog.lblFileCode, dialog.medFileCode, dialog.btnOK,
             dialog.btnCancel, dialog.btnHelp})
        EXPECT_TRUE(LayoutHolds(dialog.layout(), control)) << control->objectName().toStdString();
}

TEST_F(ChangeFileCodeDialogTest, CaptionAndHelpFollowTheMode) {
    auto help = std::make_shared<TRecordingHelp>();
    TServices::SetHelp(help);
    TfmChangeFileCode dialog;
    dialog.Setup(QStringList{"ABC123 (2006) - Acme"}, 5, TFileCodeChange::Copy);
    EXPECT_EQ(dialog.SelectedIndex(), 0); // an active index outside the list
    EXPECT_EQ(dialog.windowTitle(), "Copy File");
    dialog.btnHelp->click();
    dialog.Setup(QStringList{"ABC123 (2006) - Acme"}, 0, TFileCodeChange::Rename);
    EXPECT_EQ(dialog.windowTitle(), "Rename File");
    dialog.btnHelp->click();
    EXPECT_EQ(help->Contexts, (QList<int>{73000, 72000}));
}

// Set up from the desktop: the captions are the files' year captions, and the change is made to
// the file chosen, not the active one.
TEST_F(ChangeFileCodeDialogTest, TheChosenOpenFileIsChanged) {
    Record.reset(); // let the desktop open it
    TDesktopFiles desktop;
    for (const QString code : {"ABC123", "XYZ999"}) {
        std::unique_ptr<TEntityInfo> file = TEntityInfo::Create(code, {Standard, Load});
        ASSERT_GE(desktop.Add(file), 0);
    }
    TfmChangeFileCode dialog;
    dialog.Setup(desktop, 0, TFileCodeChange::Copy);
    EXPECT_EQ(dialog.cboOpenFiles->itemText(1), desktop.File(1)->YearCaption(-1));
    dialog.cboOpenFiles->setCurrentIndex(1);
    dialog.medFileCode->setText("NEW999");
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(Prompt->Texts(), QStringList{"Are you sure that you want to Copy XYZ999 to NEW999 ?"});
}

} // namespace
