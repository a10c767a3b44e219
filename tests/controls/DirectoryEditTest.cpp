#include "controls/files/DirectoryEdit.h"
#include "controls/files/BrowseFolderDialog.h"
#include "controls/files/FolderTextRules.h"
#include "tests/support/ServicesFixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using TRules = TFolderTextRules;
using TKind = TFolderTextRules::TNameKind;

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

// Folders "data/sub", "a" and "b" and the file "data/file.txt" under a temporary folder; "T"
// in a case text stands for that folder.
class DirectoryEditTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath("data/sub") && QDir(Temp.path()).mkpath("a") &&
                    QDir(Temp.path()).mkpath("b"));
        QFile file(T("T/data/file.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString T(const char* text) const { return QString(text).replace("T/", Temp.path() + "/"); }
};

TEST_F(DirectoryEditTest, FolderTextRules) {
    // clang-format off
    // Text, MultipleDirs, kept form (no trailing separator but the root's).
    const std::tuple<const char*, bool, const char*> kept[] = {{"/data/", false, "/data"},
        {"/", false, "/"}, {"//", false, "/"}, {"", false, ""}, {"/a;/b/", false, "/a;/b"},
        {"/a/;/;/b/", true, "/a;/;/b"}};
    // Text, received name, MultipleDirs, what the name is, new text.
    const std::tuple<const char*, const char*, bool, TKind, const char*> received[] = {
        {"", "/x/y.txt", false, TKind::nkFile, "/x/"}, {"/old", "/x/y.txt", false, TKind::nkFile, "/x/"},
        {"/a", "/x/y.txt", true, TKind::nkFile, "/a;/x/"}, {"", "/x/y.txt", true, TKind::nkFile, "/x/"},
        {"/a", "/y.txt", false, TKind::nkFile, "/"}, {"/a", "/x", true, TKind::nkFolder, "/a;/x/"},
        {"/a", "/x/", false, TKind::nkFolder, "/x/"}, {"", "/", false, TKind::nkFolder, "/"},
        {"/a", "/x", true, TKind::nkOther, "/a;/x"}, {"/a", "/x/y.txt", false, TKind::nkOther, "/x/y.txt"}};
    // Text, InitialDir, where browsing starts.
    const std::tuple<const char*, const char*, const char*> starts[] = {{"T/data", "T/a", "T/data"},
        {"", "T/a", "T/a"}, {"", "", "/"}, {"", "T/gone", "/"}, {"T/gone", "T/a", "/"}, {"T/a;T/b", "", "/"}};
    // Text, selection start and length, MultipleDirs, text after "/b" was chosen.
    const std::tuple<const char*, int, int, bool, const char*> chosen[] = {{"/a", 0, 0, false, "/b"},
        {"/a", 0, 0, true, "/a;/b"}, {"", 0, 0, true, "/b"}, {"/a", 0, 2, true, "/b"},
        {"/a;/x", 2, 3, true, "/a;/b"}, {"/a", 5, 1, true, "/a;/b"}};
    // clang-format on
    for (const auto& [text, multiple, expected] : kept)
        EXPECT_EQ(TRules::NormalizedText(text, multiple), expected) << text;
    for (const auto& [text, name, multiple, kind, expected] : received)
        EXPECT_EQ(TRules::ReceptFileDir(text, name, multiple, kind), expected) << text << " " << name;
    EXPECT_EQ(TRules::ReceptFileDir("", T("T/data/file.txt"), false), T("T/data/"));
    EXPECT_EQ(TRules::ReceptFileDir("", T("T/data"), false), T("T/data/"));
    EXPECT_EQ(TRules::ReceptFileDir("", T("T/gone/file.txt"), false), T("T/gone/file.txt"));
    EXPECT_EQ(TRules::NameKind(T("T/data/file.txt")), TKind::nkFile);
    EXPECT_EQ(TRules::NameKind(T("T/data/")), TKind::nkFolder);
    EXPECT_EQ(TRules::NameKind(T("T/gone")), TKind::nkOther);
    EXPECT_EQ(TRules::NameKind(""), TKind::nkOther);
    for (const auto& [text, initialDir, start] : starts)
        EXPECT_EQ(TRules::StartFolder(T(text), T(initialDir)), T(start)) << text << " " << initialDir;
    for (const auto& [text, selStart, selLength, multiple, expected] : chosen)
        EXPECT_EQ(TRules::ChosenText(text, selStart, selLength, "/b", multiple), expected)
            << text << selStart;
}

TEST_F(DirectoryEditTest, LongNamesKeepOnlyComponentsThatExist) {
    // Text, MultipleDirs, long name, short name.
    const std::tuple<const char*, bool, const char*, const char*> cases[] = {
        {"T/data/sub", false, "T/data/sub", "T/data/sub"},
        {"T/data/gone/sub", false, "T/data", "T/data/gone/sub"},
        {"/zz-missing-folder", false, "/", "/zz-missing-folder"},
        {"T/data;gone-here;;T/data/sub", true, "T/data;T/data/sub", "T/data;gone-here;T/data/sub"},
        {"", true, "", ""}};
    for (const auto& [text, multiple, longName, shortName] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TRules::LongName(T(text), multiple), T(longName));
        EXPECT_EQ(TRules::ShortName(T(text), multiple), T(shortName));
    }
}

TEST_F(DirectoryEditTest, ButtonRunsTheDialogBetweenItsEvents) {
    struct TCase {
        const char *Text, *InitialDir;
        bool MultipleDirs, BeforeGoesOn, Chosen; // Chosen: OK in the browser, with "T/b"
        const char* AfterRename;                 // what OnAfterDialog puts in place of the name
        const char *Events, *NewText, *NewInitialDir;
    };
    // clang-format off
    const TCase cases[] = {
        {"T/data/", "", false, true, true, nullptr, "click before:T/data browse:T/data after:T/b:1", "T/b",
         "T/b"},
        {"T/a", "", true, true, true, nullptr, "click before:T/a browse:T/a after:T/b:1", "T/a;T/b", "T/b"},
        {"", "T/a", false, true, false, nullptr, "click before: browse:T/a after:T/a:0", "", "T/a"},
        {"T/data", "T/a", false, false, true, nullptr, "click before:T/data", "T/data", "T/a"},
        {"T/data", "T/a", false, true, true, "T/new/", "click before:T/data browse:T/data after:T/b:1",
         "T/new", "T/a"},
        {"T/data", "", false, true, true, "/", "click before:T/data browse:T/data after:T/b:1", "/", "/"}};
    // clang-format on
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Text) + " " + c.Events);
        TDirectoryEdit edit;
        QStringList events;
        edit.SetMultipleDirs(c.MultipleDirs);
        edit.SetText(T(c.Text));
        edit.SetInitialDir(T(c.InitialDir));
        edit.SetDialogText("Import Folder");
        edit.SetHelpContext(310);
        QObject::connect(&edit, &TCustomComboEdit::ButtonClicked, [&] { events << "click"; });
        edit.OnBeforeDialog = [&](QString& name, bool& action) {
            events << "before:" + name;
            action = c.BeforeGoesOn;
        };
        edit.SetBrowseFunction([&](QString& folder, const QString& text, int helpContext) {
            events << "browse:" + folder;
            EXPECT_EQ(text + " " + QString::number(helpContext), "Import Folder 310");
            if (c.Chosen)
                folder = T("T/b");
            return c.Chosen;
        });
        edit.OnAfterDialog = [&](QString& name, bool& action) {
            events << QStringLiteral("after:%1:%2").arg(name).arg(action ? 1 : 0);
            if (c.AfterRename != nullptr)
                name = T(c.AfterRename);
        };
        edit.Button()->click();
        EXPECT_EQ(events.join(' '), T(c.Events));
        EXPECT_EQ(edit.text(), T(c.NewText));
        EXPECT_EQ(edit.InitialDir(), T(c.NewInitialDir));
    }
}

TEST_F(DirectoryEditTest, ReadOnlyEditBrowsesOnlyWithAlwaysEnable) {
    TDirectoryEdit edit;
    int browsed = 0;
    edit.SetBrowseFunction([&](QString&, const QString&, int) { return ++browsed, false; });
    edit.SetReadOnly(true);
    edit.DoClick();
    EXPECT_EQ(browsed, 0);
    edit.SetAlwaysEnable(true);
    edit.DoClick();
    EXPECT_EQ(browsed, 1);
}

TEST_F(DirectoryEditTest, DropsNameLocalFilesOnly) {
    const QUrl web("https://example.com/file.txt");
    const QUrl ftp("ftp://example.com/pub/");
    const QUrl a = QUrl::fromLocalFile("/a"), b = QUrl::fromLocalFile("/b/y.txt");
    struct TCase {
        QList<QUrl> Urls;
        bool MultipleDirs;
        QStringList Names; // taken in order
    };
    const TCase cases[] = {{{a}, false, {"/a"}},
                           {{a, b}, false, {"/a"}},
                           {{a, b}, true, {"/a", "/b/y.txt"}},
                           {{web, b}, false, {"/b/y.txt"}},
                           {{ftp, a, web, b}, true, {"/a", "/b/y.txt"}},
                           {{web}, true, {}},
                           {{QUrl()}, true, {}},
                           {{}, false, {}}};
    for (const TCase& c : cases)
        EXPECT_EQ(TRules::DroppedNames(c.Urls, c.MultipleDirs), c.Names) << c.Urls.size() << c.MultipleDirs;
}

TEST_F(DirectoryEditTest, DroppedFilesGiveTheirFolders) {
    const QString file = T("T/data/file.txt");
    const QString web = "https://example.com/data/file.txt";
    struct TCase {
        bool AcceptFiles, MultipleDirs;
        QStringList Dropped; // local names, or URLs with a scheme
        bool Accepted;
        const char *Shown, *Kept; // text() and Text() afterwards
    };
    const TCase cases[] = {{true, false, {file}, true, "T/data/", "T/data"},
                           {true, false, {T("T/b")}, true, "T/b/", "T/b"},
                           {true, false, {T("T/b/")}, true, "T/b/", "T/b"},
                           {true, false, {file, T("T/b")}, true, "T/data/", "T/data"},
                           {true, true, {file, T("T/b")}, true, "T/a;T/data/;T/b/", "T/a;T/data;T/b"},
                           {true, false, {web, T("T/b")}, true, "T/b/", "T/b"},
                           {true, true, {web}, false, "T/a", "T/a"},
                           {true, false, {T("T/gone/x.txt")}, true, "T/gone/x.txt", "T/gone/x.txt"},
                           {false, true, {file}, false, "T/a", "T/a"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Shown);
        TDirectoryEdit edit;
        edit.SetAcceptFiles(c.AcceptFiles);
        edit.SetMultipleDirs(c.MultipleDirs);
        edit.SetText(T("T/a"));
        int dropped = 0;
        QObject::connect(&edit, &TFileDirEdit::DropFiles, [&] { ++dropped; });
        QList<QUrl> urls;
        for (const QString& name : c.Dropped)
            urls.append(name.contains("://") ? QUrl(name) : QUrl::fromLocalFile(name));
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&edit, &enter);
        EXPECT_EQ(enter.isAccepted(), c.Accepted);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&edit, &drop);
        EXPECT_EQ(edit.text(), T(c.Shown));
        EXPECT_EQ(edit.Text(), T(c.Kept));
        EXPECT_EQ(dropped, c.Accepted ? 1 : 0);
    }
}

TEST_F(DirectoryEditTest, BrowserOffersHelpOnlyWithAContextAndOkOnlyForAFolder) {
    auto help = std::make_shared<TRecordingHelp>();
    TServices::SetHelp(help);
    // Starting folder, help context, whether OK is offered, the folder taken.
    const std::tuple<const char*, int, bool, const char*> cases[] = {{"T/data/", 0, true, "T/data"},
                                                                     {"T/data", 77, true, "T/data"},
                                                                     {"/", 0, true, "/"},
                                                                     {"T/gone", 0, false, "T/gone"}};
    for (const auto& [folder, context, offered, taken] : cases) {
        SCOPED_TRACE(folder);
        TBrowseFolderDlg dialog;
        dialog.SetHelpContext(context);
        dialog.SetFolderName(T(folder));
        dialog.Prepare();
        EXPECT_EQ(dialog.HelpButton() != nullptr, context != 0);
        if (dialog.HelpButton() != nullptr)
            dialog.HelpButton()->click();
        EXPECT_EQ(dialog.OkButton()->isEnabled(), offered);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, offered);
        EXPECT_EQ(dialog.FolderName(), T(taken));
    }
    EXPECT_EQ(help->Contexts, QList<int>{77});
}

} // namespace
