#include "shell/filecode/FileCodeChange.h"
#include "shell/filecode/ChangeFileCode.h"
#include "shell/filecode/FileCodeEdit.h"
#include "shell/filecode/FileCodeRules.h"

#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "core/logs/LogList.h"
#include "tests/core/EntityTestSupport.h"

#include <QComboBox>
#include <QDirIterator>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// ---- planning without a disk ------------------------------------------------------------------

struct TNameCase {
    const char* Name;
    bool Own;
};

TEST(FileCodePlanning, OwnMasterNamesAreTheCodeWithAYearAndOneExtension) {
    const TNameCase cases[] = {
        {"ABC123.RLO", true},        {"ABC12306.ADF", true},
        {"abc12307.adf", true},      {"ABC12306.RUA", true},
        {"ABC12306.ABC123", true},   {"ABC1234.ADF", false},
        {"ABC123061.ADF", false},    {"ABC12306.ADF.BAK", false},
        {"ABC123", false},           {"ABC12306", false},
        {"ABC123.", false},          {"ABC1230.ADF", false},
        {"ABC123AB.ADF", false},     {"XABC12306.ADF", false},
        {"NSP.QUILVANE.ADF", false}, {"ABC12\u0661\u0662.ADF", false}, // digits of another script are no year
    };
    for (const TNameCase& test : cases)
        EXPECT_EQ(TFileCodeChange::IsOwnMasterName(QString::fromUtf8(test.Name), "ABC123"), test.Own)
            << test.Name;
}

TEST(FileCodePlanning, OnlyTheFirstOccurrenceIsReplacedWhateverItsCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"ABC12306.ADF", "NEW12306.ADF"},
        {"abc12307.adf", "NEW12307.adf"},
        {"ABC12306.ABC123", "NEW12306.ABC123"},
        {"C:\\QUILVANE\\EXPORT\\abc123\\ABC123", "C:\\QUILVANE\\EXPORT\\NEW123\\ABC123"},
        {"C:\\QUILVANE\\EXPORT", "C:\\QUILVANE\\EXPORT"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(TFileCodeChange::ReplaceFirst(text, "ABC123", "NEW123"), expected) << text;
}

TEST(FileCodePlanning, MasterFoldersAreTheDistinctChartFolders) {
    EXPECT_EQ(TFileCodeChange::MasterFolderNames(), (QStringList{"BANK_REC", "M_DETAIL"}));
}

TFileCodeListing HandListing() {
    TFileCodeListing listing;
    listing.Data = {"/d", {"ABC123.CFG", "XYZ999.CFG", "QUILVANE.DAT"}, {"ABC123", "M_DETAIL", "XYZ999"}};
    listing.MasterFolders = {{"/d/M_DETAIL",
                              {"ABC12306.ADF", "abc12307.adf", "ABC1234.ADF", "ABC12306.ABC123",
                               "NSP.QUILVANE.ADF", "XYZ99906.ADF"},
                              {}}};
    listing.Own = TFolderListing{"/d/ABC123", {"ABC12306.PA1", "NOTES.TXT"}, {}};
    return listing;
}

TEST(FileCodePlanning, RenameMovesOnlyTheFilesOwnNamesThenTheFolderThenTheRecord) {
    const TFileCodePlan plan =
        TFileCodeChange::MakePlan(HandListing(), "ABC123", "NEW123", TFileCodeChange::Rename);
    ASSERT_TRUE(plan.IsPossible()) << plan.Problem.toStdString();
    using S = TFileCodeStep;
    const QList<S> expected = {
        {S::MoveFile, "/d/M_DETAIL/ABC12306.ADF", "/d/M_DETAIL/NEW12306.ADF"},
        {S::MoveFile, "/d/M_DETAIL/abc12307.adf", "/d/M_DETAIL/NEW12307.adf"},
        {S::MoveFile, "/d/M_DETAIL/ABC12306.ABC123", "/d/M_DETAIL/NEW12306.ABC123"},
        {S::MoveFile, "/d/ABC123/ABC12306.PA1", "/d/ABC123/NEW12306.PA1"},
        {S::MoveFolder, "/d/ABC123", "/d/NEW123"},
        {S::MoveFile, "/d/ABC123.CFG", "/d/NEW123.CFG"},
    };
    EXPECT_EQ(plan.Steps, expected);
    EXPECT_EQ(plan.WrittenFolders, (QStringList{"/d", "/d/M_DETAIL", "/d/ABC123"}));
}

TEST(FileCodePlanning, CopyCreatesTheNewFolderAndCopiesEveryFileOfTheOwnFolder) {
    const TFileCodePlan plan =
        TFileCodeChange::MakePlan(HandListing(), "abc123", "NEW123", TFileCodeChange::Copy);
    ASSERT_TRUE(plan.IsPossible()) << plan.Problem.toStdString();
    using S = TFileCodeStep;
    const QList<S> expected = {
        {S::CopyFile, "/d/M_DETAIL/ABC12306.ADF", "/d/M_DETAIL/NEW12306.ADF"},
        {S::CopyFile, "/d/M_DETAIL/abc12307.adf", "/d/M_DETAIL/NEW12307.adf"},
        {S::CopyFile, "/d/M_DETAIL/ABC12306.ABC123", "/d/M_DETAIL/NEW12306.ABC123"},
        {S::MakeFolder, "", "/d/NEW123"},
        {S::CopyFile, "/d/ABC123/ABC12306.PA1", "/d/NEW123/NEW12306.PA1"},
        {S::CopyFile, "/d/ABC123/NOTES.TXT", "/d/NEW123/NOTES.TXT"},
        {S::CopyFile, "/d/ABC123.CFG", "/d/NEW123.CFG"},
    };
    EXPECT_EQ(plan.Steps, expected);
    EXPECT_EQ(plan.WrittenFolders, (QStringList{"/d", "/d/M_DETAIL"}));
}

TEST(FileCodePlanning, ANameAlreadyInUseInAnyCaseRefusesTheWholeChange) {
    struct TCase {
        std::function<void(TFileCodeListing&)> Change;
        QString Problem;
    };
    const TCase cases[] = {
        {[](TFileCodeListing& l) { l.Data.Files << "new123.cfg"; }, TFileCodeRules::ExistsText},
        {[](TFileCodeListing& l) { l.MasterFolders[0].Files << "new12306.adf"; },
         QDir::toNativeSeparators("/d/M_DETAIL/NEW12306.ADF") + " already exists."},
        {[](TFileCodeListing& l) { l.MasterFolders[0].Files << "ABC12307.ADF"; }, // meets abc12307.adf
         QDir::toNativeSeparators("/d/M_DETAIL/NEW12307.ADF") + " already exists."},
        {[](TFileCodeListing& l) { l.Data.Folders << "New123"; },
         QDir::toNativeSeparators("/d/NEW123") + " already exists."},
        {[](TFileCodeListing& l) { l.Own->Files << "NEW12306.PA1"; },
         QDir::toNativeSeparators("/d/ABC123/NEW12306.PA1") + " already exists."},
        {[](TFileCodeListing& l) { l.Data.Files.removeAll("ABC123.CFG"); },
         QDir::toNativeSeparators("/d/ABC123.CFG") + " does not exist."},
    };
    for (const TCase& test : cases) {
        TFileCodeListing listing = HandListing();
        test.Change(listing);
        const TFileCodePlan plan =
            TFileCodeChange::MakePlan(listing, "ABC123", "NEW123", TFileCodeChange::Rename);
        EXPECT_EQ(plan.Problem, test.Problem);
        EXPECT_TRUE(plan.Steps.isEmpty());
    }
    EXPECT_EQ(TFileCodeChange::MakePlan(HandListing(), "ABC123", "abc123", 1).Problem,
              TFileCodeRules::ExistsText);
    EXPECT_FALSE(TFileCodeChange::MakePlan(HandListing(), "ABC123", "NE/123", 1).IsPossible());
}

// ---- on disk ------------------------------------------------------------------------------------

const QByteArray ClientRecord =
    "[CONFIGURATION]\r\nCode=ABC123\r\nType=COY\r\nName=Acme\r\nCreated=732494.5\r\n"
    "Accessed=732495.25\r\nAccFormatID=QUILVANE\r\nYear=2006\r\nPeriods=12\r\n"
    "EndMonth=6\r\nPeriod=1\r\nExportDir=C:\\QUILVANE\\EXPORT\\abc123\\ABC123\r\n"
    "ImportDir=C:\\IMPORT\\ABC123\r\nLocked=0\r\nLockedBy=\r\n\r\n[Notes]\r\nKept=yes\r\n";

// The data folder holds client ABC123 with charts, reconciliation files and transaction files,
// next to a master chart, another client's files and names that only look like ABC123's. The
// record is open (and locked) as on the desktop.
class FileCodeChangeTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        const std::pair<const char*, QByteArray> files[] = {
            {"ABC123.CFG", ClientRecord},
            {"M_DETAIL/ABC12306.ADF", "accounts 06"},
            {"M_DETAIL/abc12307.adf", "accounts 07"},
            {"M_DETAIL/ABC123.RLO", "layouts"},
            {"M_DETAIL/ABC12306.ABC123", "second occurrence"},
            {"M_DETAIL/ABC1234.ADF", "a longer code"},
            {"M_DETAIL/ABC12306.ADF.BAK", "not a chart"},
            {"M_DETAIL/NSP.QUILVANE.ADF", "master chart"},
            {"M_DETAIL/XYZ99906.ADF", "another client"},
            {"BANK_REC/ABC12306.BOB", "openings"},
            {"BANK_REC/ABC12306.RUA", "unmatched"},
            {"ABC123/ABC12306.PA1", "payments"},
            {"ABC123/ABC12306.GJ1", "journals"},
            {"ABC123/NOTES.TXT", "notes"},
            {"XYZ999.CFG", "[CONFIGURATION]\r\nCode=XYZ999\r\n"},
            {"XYZ999/XYZ99906.PA1", "other payments"},
        };
        for (const auto& [name, bytes] : files) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(DataDir + "/" + name).path()));
            ASSERT_TRUE(WriteFileBytes(DataDir + "/" + name, bytes)) << name;
        }
        Record = Open({Standard, Load});
        ASSERT_EQ(DiskKey("Locked"), "1");
    }

    // Every file (with its bytes) and folder under the data folder, by relative path.
    QMap<QString, QByteArray> Snapshot() const {
        QMap<QString, QByteArray> found;
        QDirIterator it(DataDir, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            found[QDir(DataDir).relativeFilePath(path)] =
                it.fileInfo().isDir() ? "<folder>" : ReadFileBytes(path);
        }
        return found;
    }
    // A snapshot as readable lines, for comparisons that print well.
    static std::vector<std::string> Lines(const QMap<QString, QByteArray>& snapshot) {
        std::vector<std::string> lines;
        for (auto it = snapshot.cbegin(); it != snapshot.cend(); ++it)
            lines.push_back(it.key().toStdString() + ": " +
                            QString::fromLatin1(it.value()).left(40).toStdString());
        return lines;
    }
    QString Key(const QString& code, const QString& key) const {
        return TIniFile(RecordPath(code)).ReadString("CONFIGURATION", key, "<missing>");
    }
    TLogList TimeLog() const {
        TLogList log(lkTime);
        log.Load();
        return log;
    }
    // Local operations whose n-th forward operation (moves, copies and new folders, counted
    // together) fails without doing anything; the undo's moves that follow succeed.
    TFileCodeOperations FailingAt(int failAt) {
        TFileCodeOperations local = TFileCodeOperations::Local();
        TFileCodeOperations ops = local;
        auto count = std::make_shared<int>(0);
        ops.Move = [=](const QString& from, const QString& to) {
            return ++*count != failAt && local.Move(from, to);
        };
        ops.Copy = [=](const QString& from, const QString& to) {
            return ++*count != failAt && local.Copy(from, to);
        };
        ops.MakeFolder = [=](const QString& folder) {
            return ++*count != failAt && local.MakeFolder(folder);
        };
        return ops;
    }

    // The names a rename of ABC123 to NEW123 gives; every other name stays.
    const QMap<QString, QString> Renamed = {
        {"ABC123.CFG", "NEW123.CFG"},
        {"M_DETAIL/ABC12306.ADF", "M_DETAIL/NEW12306.ADF"},
        {"M_DETAIL/abc12307.adf", "M_DETAIL/NEW12307.adf"},
        {"M_DETAIL/ABC123.RLO", "M_DETAIL/NEW123.RLO"},
        {"M_DETAIL/ABC12306.ABC123", "M_DETAIL/NEW12306.ABC123"},
        {"BANK_REC/ABC12306.BOB", "BANK_REC/NEW12306.BOB"},
        {"BANK_REC/ABC12306.RUA", "BANK_REC/NEW12306.RUA"},
        {"ABC123", "NEW123"},
        {"ABC123/ABC12306.PA1", "NEW123/NEW12306.PA1"},
        {"ABC123/ABC12306.GJ1", "NEW123/NEW12306.GJ1"},
        {"ABC123/NOTES.TXT", "NEW123/NOTES.TXT"},
    };
    static constexpr int RenameSteps = 10; // six charts, two transaction files, the folder, the record
    static constexpr int CopySteps = 11;   // six charts, the folder, three files, the record

    std::unique_ptr<TEntityDetail> Record;
};

TEST_F(FileCodeChangeTest, RenameMovesEveryOwnFileAndTheRecordFollows) {
    const QMap<QString, QByteArray> before = Snapshot();
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    TFileCodeChange change;
    ASSERT_TRUE(change.Execute(*Record, "NEW123", TFileCodeChange::Rename));

    QMap<QString, QByteArray> expected;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        expected[Renamed.value(it.key(), it.key())] = it.value();
    QMap<QString, QByteArray> after = Snapshot();
    EXPECT_FALSE(after.take("QUILVANE.LOG").isEmpty());
    EXPECT_EQ(after.keys(), expected.keys());
    after.remove("NEW123.CFG"), expected.remove("NEW123.CFG");
    EXPECT_EQ(Lines(after), Lines(expected));

    EXPECT_EQ(Record->FileCode, "NEW123");
    EXPECT_EQ(Record->ExportDir, "C:\\QUILVANE\\EXPORT\\NEW123\\ABC123");
    EXPECT_EQ(Record->ImportDir, "C:\\IMPORT\\NEW123");
    EXPECT_TRUE(Record->FileName.endsWith("NEW123.CFG"));
    EXPECT_EQ(Key("NEW123", "Code"), "NEW123");
    EXPECT_EQ(Key("NEW123", "ExportDir"), "C:\\QUILVANE\\EXPORT\\NEW123\\ABC123");
    EXPECT_EQ(Key("NEW123", "Locked"), "1"); // still open here
    EXPECT_EQ(TIniFile(RecordPath("NEW123")).ReadString("Notes", "Kept", ""), "yes");

    EXPECT_EQ(Prompt->Texts(), (QStringList{"Are you sure that you want to Rename ABC123 to NEW123 ?",
                                            "Rename of ABC123 to NEW123 was successful"}));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Question, TBeep::Information}));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Cancel);
    EXPECT_EQ(Progress->Log.value(0), "setup:ABC123|26|to NEW123");
    EXPECT_EQ(Progress->Open, 0);
    const TLogList log = TimeLog();
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.GetItem(0).FileCode, "NEW123");
    EXPECT_EQ(log.GetItem(0).FormatName, "Rename of ABC123 to NEW123");
}

TEST_F(FileCodeChangeTest, CopyLeavesTheOriginalAndUnlocksTheCopy) {
    const QMap<QString, QByteArray> before = Snapshot();
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    TFileCodeChange change;
    ASSERT_TRUE(change.Execute(*Record, " new123", TFileCodeChange::Copy)); // as the edit never gives it

    QMap<QString, QByteArray> expected = before;
    for (auto it = Renamed.cbegin(); it != Renamed.cend(); ++it)
        expected[it.value()] = before.value(it.key());
    QMap<QString, QByteArray> after = Snapshot();
    EXPECT_FALSE(after.take("QUILVANE.LOG").isEmpty());
    EXPECT_EQ(after.keys(), expected.keys());
    after.remove("NEW123.CFG"), expected.remove("NEW123.CFG");
    EXPECT_EQ(Lines(after), Lines(expected)); // the original's record among them, byte for byte

    EXPECT_EQ(Key("NEW123", "Code"), "NEW123");
    EXPECT_EQ(Key("NEW123", "Locked"), "0");
    EXPECT_EQ(Key("NEW123", "LockedBy"), "");
    EXPECT_EQ(Key("NEW123", "ExportDir"), "C:\\QUILVANE\\EXPORT\\NEW123\\ABC123");
    EXPECT_EQ(Key("NEW123", "ImportDir"), "C:\\IMPORT\\NEW123");
    EXPECT_EQ(Key("NEW123", "Name"), "Acme");
    EXPECT_EQ(Record->FileCode, "ABC123");
    EXPECT_EQ(Record->ExportDir, "C:\\QUILVANE\\EXPORT\\abc123\\ABC123");
    EXPECT_TRUE(Record->FileName.endsWith("ABC123.CFG"));
    EXPECT_EQ(Key("ABC123", "Locked"), "1");
    EXPECT_EQ(Prompt->Texts().value(1), "Copy of ABC123 to NEW123 was successful");
    EXPECT_EQ(Progress->Log.value(0), "setup:ABC123|27|to NEW123");
    EXPECT_EQ(TimeLog().GetItem(0).FormatName, "Copy of ABC123 to NEW123");
}

TEST_F(FileCodeChangeTest, CopyOntoAnExistingRecordIsRefusedBeforeAnyFileIsTouched) {
    const QMap<QString, QByteArray> before = Snapshot();
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    TFileCodeChange change;
    EXPECT_FALSE(change.Execute(*Record, "XYZ999", TFileCodeChange::Copy));
    EXPECT_EQ(Lines(Snapshot()), Lines(before));
    EXPECT_EQ(Prompt->Texts().value(1), TFileCodeRules::ExistsText);
    EXPECT_EQ(Prompt->Shown.value(1).Kind, TMessageKind::Error);
    EXPECT_EQ(Progress->Created, 0);
}

TEST_F(FileCodeChangeTest, CancelAtTheQuestionChangesNothing) {
    const QMap<QString, QByteArray> before = Snapshot();
    Prompt->Answer(TMessageButton::Cancel);
    TFileCodeChange change;
    EXPECT_FALSE(change.Execute(*Record, "NEW123", TFileCodeChange::Rename));
    EXPECT_EQ(Lines(Snapshot()), Lines(before));
    EXPECT_EQ(Prompt->Texts().size(), 1);
    EXPECT_EQ(Record->FileCode, "ABC123");
}

// Whichever operation fails, every name is as it was, the record too, and nothing is logged.
TEST_F(FileCodeChangeTest, AFailedRenameUndoesEveryStepDone) {
    const QMap<QString, QByteArray> before = Snapshot();
    for (int failAt = 1; failAt <= RenameSteps + 1; ++failAt) {
        SCOPED_TRACE(failAt);
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::OK);
        Prompt->Answer(TMessageButton::OK);
        Files->RefuseUnprotect = failAt > RenameSteps; // then the record's save fails
        TFileCodeChange change(FailingAt(failAt <= RenameSteps ? failAt : 0));
        EXPECT_FALSE(change.Execute(*Record, "NEW123", TFileCodeChange::Rename));
        EXPECT_EQ(Lines(Snapshot()), Lines(before));
        EXPECT_EQ(Record->FileCode, "ABC123");
        EXPECT_EQ(Record->ExportDir, "C:\\QUILVANE\\EXPORT\\abc123\\ABC123");
        EXPECT_TRUE(Record->FileName.endsWith("ABC123.CFG"));
        ASSERT_EQ(Prompt->Shown.size(), 2);
        EXPECT_TRUE(Prompt->Shown[1].Text.startsWith("Unable to Rename ABC123 to NEW123\r"))
            << Prompt->Shown[1].Text.toStdString();
        EXPECT_EQ(Prompt->Shown[1].Kind, TMessageKind::Warning);
        EXPECT_EQ(Prompt->Beeps.last(), TBeep::Warning);
    }
    // The record put back saves under its own name again.
    Files->RefuseUnprotect = false;
    Record->Name = "Acme Two";
    EXPECT_EQ(Record->Save({Standard}), 0);
    EXPECT_EQ(Key("ABC123", "Name"), "Acme Two");
    EXPECT_FALSE(QFile::exists(RecordPath("NEW123")));
}

TEST_F(FileCodeChangeTest, AFailedCopyRemovesEveryCopyAndTheNewFolder) {
    const QMap<QString, QByteArray> before = Snapshot();
    for (int failAt = 1; failAt <= CopySteps + 1; ++failAt) {
        SCOPED_TRACE(failAt);
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::OK);
        Prompt->Answer(TMessageButton::OK);
        Files->RefuseUnprotect = failAt > CopySteps; // then the copy's record cannot be written
        TFileCodeChange change(FailingAt(failAt <= CopySteps ? failAt : 0));
        EXPECT_FALSE(change.Execute(*Record, "NEW123", TFileCodeChange::Copy));
        EXPECT_EQ(Lines(Snapshot()), Lines(before));
        EXPECT_TRUE(Prompt->Texts().value(1).startsWith("Unable to Copy ABC123 to NEW123\r"));
    }
}

// When a step cannot be undone either, the message says which name is left where.
TEST_F(FileCodeChangeTest, AnUndoThatFailsIsReported) {
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    Files->RefuseUnprotect = true;                      // the record's save fails after every move
    TFileCodeChange change(FailingAt(RenameSteps + 1)); // and moving the record back fails
    EXPECT_FALSE(change.Execute(*Record, "NEW123", TFileCodeChange::Rename));
    EXPECT_TRUE(change.LastError().endsWith(QDir::toNativeSeparators(RecordPath("NEW123")) +
                                            " could not be moved back to " +
                                            QDir::toNativeSeparators(RecordPath("ABC123")) + "."))
        << change.LastError().toStdString();
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ABC12306.ADF")); // the rest was put back
    EXPECT_FALSE(QFile::exists(DataDir + "/NEW123"));
    EXPECT_EQ(Record->FileCode, "ABC123");
}

TEST_F(FileCodeChangeTest, AFolderThatCannotBeWrittenStopsTheChangeFirst) {
    const QMap<QString, QByteArray> before = Snapshot();
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    TFileCodeOperations ops = TFileCodeOperations::Local();
    ops.IsWritable = [](const QString& folder) { return !folder.endsWith("BANK_REC"); };
    int moves = 0;
    ops.Move = [&moves](const QString&, const QString&) { return ++moves, false; };
    TFileCodeChange change(ops);
    EXPECT_FALSE(change.Execute(*Record, "NEW123", TFileCodeChange::Rename));
    EXPECT_EQ(moves, 0);
    EXPECT_EQ(Lines(Snapshot()), Lines(before));
    EXPECT_EQ(change.LastError(),
              "Unable to write to the folder " + QDir::toNativeSeparators(DataDir + "/BANK_REC") + ".");
}

// ---- the dialog ---------------------------------------------------------------------------------

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

using ChangeFileCodeDialogTest = FileCodeChangeTest;

TEST_F(ChangeFileCodeDialogTest, ShortCodeIsRefusedWithTheLengthMessage) {
    TfmChangeFileCode dialog;
    dialog.Setup(QStringList{"ABC123 (2006) - Acme", "XYZ999 (2006) - Other"}, 1, TFileCodeChange::Rename);
    int runs = 0;
    dialog.SetExecute([&runs](int, const QString&, int) { return ++runs, true; });
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Rename File");
    EXPECT_EQ(dialog.cboOpenFiles->count(), 2);
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    QTest::keyClicks(dialog.medFileCode, "ab c.12");
    EXPECT_EQ(dialog.medFileCode->text(), "ABC12");

    Prompt->Answer(TMessageButton::OK);
    dialog.btnOK->click();
    EXPECT_EQ(Prompt->Texts(), QStringList{TFileCodeRules::LengthText});
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(dialog.isVisible());

    dialog.medFileCode->setText("XYZ999");
    Prompt->Answer(TMessageButton::OK);
    dialog.btnOK->click();
    EXPECT_EQ(Prompt->Texts().value(1), TFileCodeRules::ExistsText);
    EXPECT_EQ(runs, 0);
}

TEST_F(ChangeFileCodeDialogTest, AFailedChangeShowsTheDialogAgainAndASuccessAccepts) {
    TfmChangeFileCode dialog;
    dialog.Setup(QStringList{"ABC123 (2006) - Acme", "XYZ999 (2006) - Other"}, 0, TFileCodeChange::Copy);
    QList<std::tuple<int, QString, int, bool>> runs;
    bool succeed = false;
    dialog.SetExecute([&](int index, const QString& code, int mode) {
        runs.append({index, code, mode, dialog.isVisible()});
        return succeed;
    });
    dialog.show();
    dialog.cboOpenFiles->setCurrentIndex(1);
    QTest::keyClicks(dialog.medFileCode, "new123");
    dialog.btnOK->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    succeed = true;
    dialog.btnOK->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0], std::make_tuple(1, QString("NEW123"), 1, false)); // hidden while it runs
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    EXPECT_EQ(dialog.NewCode(), "NEW123");
}

TEST_F(ChangeFileCodeDialogTest, ExecRepeatsUntilTheChangeSucceeds) {
    TfmChangeFileCode dialog;
    dialog.Setup(QStringList{"ABC123 (2006) - Acme"}, 0, TFileCodeChange::Rename);
    dialog.medFileCode->setText("NEW123");
    int runs = 0;
    dialog.SetExecute([&](int, const QString&, int) {
        EXPECT_FALSE(dialog.isVisible());
        if (++runs == 1) // failed: the dialog comes back and OK is pressed again
            QTimer::singleShot(0, dialog.btnOK, &QPushButton::click);
        return runs == 2;
    });
    QTimer::singleShot(0, dialog.btnOK, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(runs, 2);

    QTimer::singleShot(0, dialog.btnCancel, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(runs, 2);
}

TEST_F(ChangeFileCodeDialogTest, HelpOpensTheTopicOfTheMode) {
    auto help = std::make_shared<TRecordingHelp>();
    TServices::SetHelp(help);
    TfmChangeFileCode dialog;
    dialog.Setup(QStringList{"ABC123 (2006) - Acme"}, 5, TFileCodeChange::Copy);
    EXPECT_EQ(dialog.windowTitle(), "Copy File");
    EXPECT_EQ(dialog.SelectedIndex(), 0); // an active index outside the list
    dialog.btnHelp->click();
    dialog.Setup(QStringList{"ABC123 (2006) - Acme"}, 0, TFileCodeChange::Rename);
    dialog.btnHelp->click();
    EXPECT_EQ(help->Contexts, (QList<int>{73000, 72000}));
}

// From the desktop: the file chosen (not the active one) is the one renamed.
TEST_F(ChangeFileCodeDialogTest, TheChosenOpenFileIsRenamed) {
    Record.reset(); // let the desktop open it
    TDesktopFiles desktop;
    ASSERT_TRUE(WriteFileBytes(RecordPath("XYZ999"), QByteArray(ClientRecord).replace("ABC123", "XYZ999")));
    for (const QString code : {"ABC123", "XYZ999"}) {
        std::unique_ptr<TEntityInfo> file = TEntityInfo::Create(code, {Standard, Load});
        ASSERT_GE(desktop.Add(file), 0);
    }
    desktop.SetActiveIndex(0);
    TfmChangeFileCode dialog;
    dialog.Setup(desktop, desktop.ActiveIndex(), TFileCodeChange::Rename);
    EXPECT_EQ(dialog.cboOpenFiles->itemText(1), desktop.File(1)->YearCaption(-1));
    dialog.cboOpenFiles->setCurrentIndex(1);
    dialog.medFileCode->setText("NEW999");
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedIndex(), 1);
    EXPECT_EQ(desktop.File(1)->EntityDetail().FileCode, "NEW999");
    EXPECT_EQ(desktop.File(0)->EntityDetail().FileCode, "ABC123");
    EXPECT_TRUE(QFile::exists(RecordPath("NEW999")));
    EXPECT_TRUE(QFile::exists(DataDir + "/NEW999/NEW99906.PA1"));
    EXPECT_FALSE(QFile::exists(RecordPath("XYZ999")));
    EXPECT_TRUE(QFile::exists(RecordPath("ABC123")));
}

} // namespace
