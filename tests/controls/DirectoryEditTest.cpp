#include "controls/files/DirectoryEdit.h"
#include "controls/buttons/RxSpeedButton.h"
#include "controls/files/BrowseFolderDialog.h"
#include "controls/files/FolderTextRules.h"
#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QtTest>
#include <gtest/gtest.h>

namespace {

using TRules = TFolderTextRules;

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
    // Text, received name, MultipleDirs, whether the name is a file, new text.
    const std::tuple<const char*, const char*, bool, bool, const char*> received[] = {
        {"", "/x/y.txt", false, true, "/x/"}, {"/old", "/x/y.txt", false, true, "/x/"},
        {"/a", "/x/y.txt", true, true, "/a;/x/"}, {"", "/x/y.txt", true, true, "/x/"},
        {"/a", "/x", true, false, "/a;/x"}, {"/a", "/y.txt", false, true, "/"},
        {"/a", "/x/y.txt", false, false, "/x/y.txt"}};
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
    for (const auto& [text, name, multiple, isFile, expected] : received)
        EXPECT_EQ(TRules::ReceptFileDir(text, name, multiple, isFile), expected) << text << " " << name;
    EXPECT_EQ(TRules::ReceptFileDir("", T("T/data/file.txt"), false), T("T/data/"));
    EXPECT_EQ(TRules::ReceptFileDir("", T("T/data"), false), T("T/data"));
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

TEST_F(DirectoryEditTest, DroppedFilesGiveTheirFolders) {
    // AcceptFiles, MultipleDirs, the text after dropping T/data/file.txt and T/b, DropFiles().
    const std::tuple<bool, bool, const char*, int> cases[] = {
        {true, false, "T/data", 1}, {true, true, "T/a;T/data;T/b", 1}, {false, true, "T/a", 0}};
    for (const auto& [acceptFiles, multiple, expected, signalCount] : cases) {
        SCOPED_TRACE(expected);
        TDirectoryEdit edit;
        edit.SetAcceptFiles(acceptFiles);
        edit.SetMultipleDirs(multiple);
        edit.SetText(T("T/a"));
        int dropped = 0;
        QObject::connect(&edit, &TFileDirEdit::DropFiles, [&] { ++dropped; });
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(T("T/data/file.txt")), QUrl::fromLocalFile(T("T/b"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&edit, &enter);
        EXPECT_EQ(enter.isAccepted(), acceptFiles);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&edit, &drop);
        EXPECT_EQ(edit.text(), T(expected));
        EXPECT_EQ(dropped, signalCount);
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

TEST_F(DirectoryEditTest, SpeedButtonGlyphStrips) {
    const std::tuple<QSize, int> counts[] = {{{80, 16}, 5}, {{96, 16}, 1}, {{16, 16}, 1}, {{32, 16}, 2},
                                             {{20, 16}, 0}, {{8, 16}, 0},  {{16, 0}, 0}};
    for (const auto& [size, count] : counts)
        EXPECT_EQ(TRxSpeedButton::NumGlyphsFor(size), count) << size.width() << "x" << size.height();
    // Up red, disabled green, down blue.
    QPixmap strip(48, 16);
    QPainter painter(&strip);
    const Qt::GlobalColor colours[] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i)
        painter.fillRect(i * 16, 0, 16, 16, colours[i]);
    painter.end();
    TRxSpeedButton button;
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus); // never tabbed to, so a typed blank cannot press it
    button.SetGlyph(strip);
    EXPECT_EQ(button.NumGlyphs(), 3);
    const auto colourOf = [&](QIcon::Mode mode, QIcon::State state) {
        return button.icon().pixmap(QSize(16, 16), mode, state).toImage().pixelColor(8, 8);
    };
    EXPECT_EQ(colourOf(QIcon::Normal, QIcon::Off), QColor(Qt::red));
    EXPECT_EQ(colourOf(QIcon::Disabled, QIcon::Off), QColor(Qt::green));
    EXPECT_EQ(colourOf(QIcon::Normal, QIcon::On), QColor(Qt::blue));
    button.SetGlyph(strip.copy(16, 0, 16, 16));
    EXPECT_EQ(colourOf(QIcon::Normal, QIcon::Off), QColor(Qt::green));
}

TEST_F(DirectoryEditTest, FailingSpeedButtonClickIsReportedAndEndsTheRepeat) {
    TRxSpeedButton button;
    button.SetAllowTimer(true);
    button.SetInitPause(1);
    button.SetRepeatInterval(1);
    button.OnClick = [] { throw EQuilvaneError(QStringLiteral("Cannot step")); };
    Prompt->Answer(TMessageButton::OK);
    button.setDown(true); // held: the repeat timer clicks
    QTest::qWait(50);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Cannot step"});
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_FALSE(button.isDown());
}

} // namespace
