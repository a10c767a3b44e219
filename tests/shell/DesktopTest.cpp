#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/entity/EntityInfo.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/WindowKinds.h"
#include "shell/desktop/Desktop.h"

#include <optional>

namespace {

// Opens real records (and takes their real locks); a file named in YearFails fails to load its
// year, and the password typed is Typed (nothing: Cancel).
class TFakeOpener : public IDesktopOpener {
public:
    std::unique_ptr<TEntityInfo> Create(const QString& fileCode, const TOptionSet& options) override {
        Options.append(options);
        return TEntityInfo::Create(fileCode, options);
    }
    void OpenYear(TEntityInfo& file) override {
        if (YearFails.contains(file.EntityDetail().FileCode))
            throw EQuilvaneError(QStringLiteral("Charts damaged"));
        if (LoadYear)
            file.OpenYear();
    }
    std::optional<QString> AskPassword(const TEntityDetail& detail) override {
        Asked.append(detail.FileCode);
        return Typed;
    }
    QStringList YearFails;
    bool LoadYear = false;
    std::optional<QString> Typed;
    QStringList Asked;
    QList<TOptionSet> Options;
};

// Logs what the desktop asks of the main window.
class TRecordingView : public IDesktopView {
public:
    void FileMenusEnabled(bool enabled) override { Log << (enabled ? "menus-on" : "menus-off"); }
    bool DataEntryWindowOpen() const override { return EntryWindowOpen; }
    void OpenDataEntryWindow() override { Log << "data-entry"; }
    int CloseAllPages(int index) override {
        Log << "close-pages:" + QString::number(index);
        if (OnClosePages)
            OnClosePages();
        return PagesResult;
    }
    void DetachEntity(TEntityInfo& file) override { Log << "detach:" + file.EntityDetail().FileCode; }
    void CloseChildWindowsExceptReports() override { Log << "close-children"; }
    void OpenChildWindow(int kind) override { Log << "child:" + QString::number(kind); }
    QStringList Log;
    bool EntryWindowOpen = false;
    int PagesResult = 0;
    std::function<void()> OnClosePages;
};

// Client records on disk in the test's data folder; the desktop over a fake opener.
class DesktopTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TEntityInfo::SetSessionLog([this](const TLogSession&) { ++Sessions; });
    }
    void TearDown() override {
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    void WriteRecord(const QString& code, const QString& password = {}, const QString& lockedBy = {}) {
        QByteArray bytes = SmallRecord(lockedBy.isEmpty() ? "0" : "1", lockedBy, "Code=" + code);
        if (!password.isEmpty())
            bytes.replace("Type=", "AccessPw=" + password.toLatin1() + "\r\nType=");
        const QString path = RecordPath(code);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_TRUE(WriteFileBytes(path, bytes));
    }
    QString LockOf(const QString& code) const {
        return TIniFile(RecordPath(code)).ReadString("CONFIGURATION", "Locked", "?");
    }
    static QString Codes(int first, int last) {
        QString codes;
        for (int i = first; i <= last; ++i)
            codes += QString::asprintf("F%02d,", i);
        return codes;
    }
    QStringList OpenCodes() const {
        QStringList codes;
        for (int i = 0; i < Desktop.Files().Count(); ++i)
            codes << Desktop.Files().Code(i);
        return codes;
    }
    QStringList HistoryText() const {
        QStringList text;
        for (const TEntityHistory::TEntry& entry : Params->Entities)
            text << entry.Code + "," + QString::number(entry.Status.Status);
        return text;
    }

    TFakeOpener Opener;
    TRecordingView View;
    TDesktop Desktop{Opener, View};
    int Sessions = 0;
};

} // namespace

// Twenty files open from the Open dialog; the twenty-first is refused with the message, is never
// locked, and the first file chosen stays the active one.
TEST_F(DesktopTest, TheTwentyFirstFileIsRefused) {
    for (int i = 1; i <= 21; ++i)
        WriteRecord(QString::asprintf("F%02d", i));
    Prompt->Answer(TMessageButton::OK);
    Desktop.OpenFiles(Codes(1, 21), QString("1,").repeated(21));
    EXPECT_EQ(Desktop.Files().Count(), 20);
    EXPECT_EQ(Desktop.Files().Code(19), "F20");
    EXPECT_EQ(LockOf("F20"), "1");
    EXPECT_EQ(LockOf("F21"), "0");
    EXPECT_EQ(Prompt->Texts(), QStringList({TDesktop::TooManyFilesText}));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Warning}));
    EXPECT_EQ(Desktop.ActiveIndex(), 0);
    EXPECT_EQ(Params->Entities.Count(), 20);
    EXPECT_EQ(Params->Entities[0].Code, "F20");
    // The Open dialog's files are locked asking the user when another holds them.
    EXPECT_TRUE(Opener.Options.first().Has(InteractiveLock) && Opener.Options.first().Has(Load));
}

// A restore stops at twenty files without a word; the one left over keeps its open mark.
TEST_F(DesktopTest, ARestoreStopsAtTwentyFiles) {
    for (int i = 1; i <= 21; ++i) {
        WriteRecord(QString::asprintf("F%02d", i));
        Params->Entities.Append(QString::asprintf("F%02d", i), TPreviousEntityStatus(1));
    }
    Params->RestoreDesktop = 1;
    Desktop.RestoreDesktop();
    EXPECT_EQ(Desktop.Files().Count(), 20);
    EXPECT_EQ(Params->Entities[20].Status.Status, 1);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_FALSE(Opener.Options.first().Has(InteractiveLock));
}

TEST_F(DesktopTest, NothingIsRestoredWhenTheSettingsSaySo) {
    WriteRecord("AAA111");
    Params->Entities.Append("AAA111", TPreviousEntityStatus(1));
    Params->RestoreDesktop = 0;
    Desktop.RestoreDesktop();
    EXPECT_EQ(Desktop.Files().Count(), 0);
    EXPECT_TRUE(Opener.Options.isEmpty());
}

// The entry is upper-cased and compared with the password as stored. A refused file gives its
// lock back, its record is left as it was and no visit is logged; Cancel refuses without a box.
TEST_F(DesktopTest, APasswordOpensTheFileOnlyWhenItMatches) {
    struct TCase {
        const char* Stored;
        std::optional<QString> Typed;
        bool Opens;
    };
    const TCase cases[] = {
        {"SECRET", "secret", true},  {"SECRET", "SECRET", true},      {"SECRET", "SECRE", false},
        {"Secret", "Secret", false}, {"SECRET", std::nullopt, false},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(QString("%1/%2").arg(test.Stored, test.Typed.value_or("<cancel>")).toStdString());
        WriteRecord("PWD001", test.Stored);
        const QByteArray before = ReadFileBytes(RecordPath("PWD001"));
        Prompt->Shown.clear();
        Opener.Typed = test.Typed;
        const bool refusedWithBox = !test.Opens && test.Typed;
        if (refusedWithBox)
            Prompt->Answer(TMessageButton::OK);
        const int index = Desktop.OpenFileOnDesktop("PWD001", true, true, true, false);
        EXPECT_EQ(index >= 0, test.Opens);
        EXPECT_EQ(LockOf("PWD001"), test.Opens ? "1" : "0");
        EXPECT_EQ(Prompt->Texts(),
                  refusedWithBox ? QStringList({TDesktop::WrongPasswordText.arg("PWD001")}) : QStringList());
        if (!test.Opens) {
            EXPECT_EQ(ReadFileBytes(RecordPath("PWD001")), before);
        } else {
            EXPECT_TRUE(Desktop.CloseFileOnDesktop(index));
        }
    }
    EXPECT_EQ(Sessions, 2); // the two files opened, closed again
    EXPECT_EQ(Opener.Asked.size(), 5);
    // Without the question the password is not asked.
    EXPECT_GE(Desktop.OpenFileOnDesktop("PWD001", false, false, false, false), 0);
    EXPECT_EQ(Opener.Asked.size(), 5);
}

// Restored from a hand-written ini: the files that cannot be opened (no record, held by another
// workstation, a year that fails to load) lose their open mark without a word, the first file is
// active since the one active at the last exit did not open, and the named windows reopen. What
// is saved afterwards is the hand-written result.
TEST_F(DesktopTest, TheDesktopIsRestoredAndSavedThroughTheProgramIni) {
    ASSERT_TRUE(QFile::copy(TProgramParams::ShippedReferenceDataPath(), DataDir + "/Quilvane.DAT"));
    QFile::setPermissions(DataDir + "/Quilvane.DAT", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString iniPath = TempPath("Quilvane.ini");
    ASSERT_TRUE(
        WriteFileBytes(iniPath, TestData("desktop/Quilvane.ini").replace("@DATA@", DataDir.toLatin1())));
    for (const char* code : {"AAA111", "BBB222", "CCC333", "BROKE1"})
        WriteRecord(code);
    WriteRecord("HELD01", {}, "OTHERPC");
    Opener.YearFails = QStringList({"BROKE1"});
    ASSERT_EQ(Params->Load(), 0);

    Desktop.RestoreDesktop();
    EXPECT_EQ(OpenCodes(), QStringList({"AAA111", "BBB222"}));
    EXPECT_EQ(Desktop.ActiveIndex(), 0);
    EXPECT_EQ(View.Log, QStringList({"menus-on", "menus-on", "child:0", "child:3"}));
    EXPECT_EQ(LockOf("BROKE1"), "0");
    EXPECT_EQ(LockOf("HELD01"), "1");
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_FALSE(Desktop.Restoring());

    Desktop.SaveDesktopState({"Taxes", "Accounts"});
    EXPECT_EQ(ReadFileBytes(iniPath),
              TestData("desktop/Quilvane.saved.ini").replace("@DATA@", DataDir.toLatin1()));
}

// Closing the active file makes the first one active, not its neighbour; its lock goes, its
// visit is logged and its history entry loses the open mark. The last file closing disables
// the file menus and closes the child windows.
TEST_F(DesktopTest, ClosingTheActiveFileMakesTheFirstOneActive) {
    for (const char* code : {"AAA111", "BBB222", "CCC333"})
        WriteRecord(code);
    Desktop.OpenFiles("CCC333,AAA111,BBB222,", "1,1,1,");
    ASSERT_EQ(OpenCodes(), QStringList({"AAA111", "BBB222", "CCC333"}));
    EXPECT_EQ(Desktop.ActiveIndex(), 2); // the first chosen
    View.Log.clear();
    EXPECT_TRUE(Desktop.CloseFileOnDesktop(2));
    EXPECT_EQ(Desktop.ActiveIndex(), 0);
    EXPECT_EQ(LockOf("CCC333"), "0");
    EXPECT_EQ(Sessions, 1);
    EXPECT_EQ(HistoryText(), QStringList({"BBB222,1", "AAA111,1", "CCC333,0"}));
    EXPECT_EQ(View.Log, QStringList({"detach:CCC333"}));
    EXPECT_TRUE(Desktop.CloseFileOnDesktop(1));
    EXPECT_TRUE(Desktop.CloseFileOnDesktop(0));
    EXPECT_EQ(Desktop.ActiveIndex(), -1);
    EXPECT_EQ(View.Log, QStringList({"detach:CCC333", "detach:BBB222", "detach:AAA111", "menus-off",
                                     "close-children"}));
    EXPECT_FALSE(Desktop.CloseFileOnDesktop(0));
}

// With the data-entry window open, a file's pages close first; a Cancel there keeps the file
// open and locked.
TEST_F(DesktopTest, AFileWithPagesClosesItsPagesFirstAndACancelKeepsIt) {
    WriteRecord("ABC123");
    ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
    Opener.LoadYear = true;
    ASSERT_EQ(Desktop.OpenFileOnDesktop("ABC123", true, true, true, false), 0);
    TEntityInfo& file = *Desktop.Files().File(0);
    file.InsertDataEntryPage(
        -1, "July 2005",
        TDataEntryPage::Create(file.ListSources(2006), 1, 2006, 1, 12, {Standard, Load}, false));
    View.Log.clear();
    View.EntryWindowOpen = true;
    View.PagesResult = TDesktop::PagesCancelled;
    EXPECT_FALSE(Desktop.CloseFileOnDesktop(0));
    EXPECT_EQ(Desktop.Files().Count(), 1);
    EXPECT_EQ(LockOf("ABC123"), "1");
    View.PagesResult = 0;
    View.OnClosePages = [&file] { file.DeleteDataEntryPage(0); };
    EXPECT_TRUE(Desktop.CloseFileOnDesktop(0));
    EXPECT_EQ(View.Log, QStringList({"close-pages:0", "close-pages:0", "detach:ABC123", "menus-off",
                                     "close-children"}));
    EXPECT_EQ(LockOf("ABC123"), "0");
}

// Files in use elsewhere are named in a box with its help; one of them already open here becomes
// the active file when it comes first.
TEST_F(DesktopTest, FilesInUseAreNamedAndAnOpenOneBecomesActive) {
    for (const char* code : {"AAA111", "BBB222", "CCC333"})
        WriteRecord(code);
    Desktop.OpenFiles("CCC333,", "1,");
    Prompt->Answer(TMessageButton::OK);
    Desktop.OpenFiles("BBB222,CCC333,ZZZ999,AAA111,", "1,0,0,1,");
    EXPECT_EQ(OpenCodes(), QStringList({"AAA111", "BBB222", "CCC333"}));
    EXPECT_EQ(Desktop.ActiveIndex(), 1);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, TDesktop::InUseText.arg("ZZZ999"));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, TDesktop::InUseHelpContext);
    Desktop.OpenFiles("CCC333,", "0,");
    EXPECT_EQ(Desktop.ActiveIndex(), 2);
}

// A year that fails to load is reported when the user opens the file, and its lock goes back.
TEST_F(DesktopTest, AFileWhoseYearFailsIsReportedAndUnlocked) {
    WriteRecord("BROKE1");
    Opener.YearFails = QStringList({"BROKE1"});
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Desktop.OpenFileOnDesktop("BROKE1", true, true, true, false), -1);
    EXPECT_EQ(Prompt->Texts(), QStringList({"Charts damaged"}));
    EXPECT_EQ(LockOf("BROKE1"), "0");
    EXPECT_EQ(Desktop.Files().Count(), 0);
}

// The File menu lists the first five files of the history, the active one checked; choosing an
// open one moves it to the top and makes it active, choosing another opens it.
TEST_F(DesktopTest, TheRecentListShowsFiveFilesWithTheActiveOneChecked) {
    for (const char* code : {"AAA111", "BBB222", "CCC333"})
        WriteRecord(code);
    for (const char* code : {"CCC333", "BBB222", "OLD001", "OLD002", "OLD003", "OLD004", "AAA111"})
        Params->Entities.Append(code, TPreviousEntityStatus(0));
    Desktop.OpenFiles("BBB222,CCC333,", "1,1,");
    EXPECT_EQ(Desktop.RecentFiles(), std::vector<TRecentFile>({{"&1.CCC333", "CCC333", false},
                                                               {"&2.BBB222", "BBB222", true},
                                                               {"&3.OLD001", "OLD001", false},
                                                               {"&4.OLD002", "OLD002", false},
                                                               {"&5.OLD003", "OLD003", false}}));
    Desktop.OpenRecentFile("CCC333");
    EXPECT_EQ(Desktop.ActiveIndex(), 1);
    EXPECT_TRUE(Desktop.RecentFiles()[0].Checked);
    Desktop.OpenRecentFile("BBB222");
    EXPECT_EQ(Desktop.RecentFiles()[0].Caption, "&1.BBB222");
    EXPECT_EQ(Desktop.ActiveIndex(), 0);
    Desktop.OpenRecentFile("AAA111");
    EXPECT_EQ(Desktop.RecentFiles()[0], (TRecentFile{"&1.AAA111", "AAA111", true}));
    EXPECT_EQ(OpenCodes(), QStringList({"AAA111", "BBB222", "CCC333"}));
}

TEST(DesktopNames, OnlyTheMasterWindowsOfTheHistoryAreRestored) {
    const std::pair<const char*, int> cases[] = {{"Accounts", wkAccounts},
                                                 {"Standard Descriptions", wkStandardDescriptions},
                                                 {"Taxes", wkTaxes},
                                                 {"Currencies", wkCurrencies},
                                                 {"Data Entry", -1},
                                                 {"Budgets", -1},
                                                 {"taxes", -1}};
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(TDesktop::RestoredWindowKind(name), kind) << name;
}
