#include "shell/windowmenu/AboutBox.h"
#include "shell/windowmenu/WindowCommands.h"

#include "controls/placement/FormPlacement.h"
#include "core/io/IniFile.h"
#include "core/vocab/ProgramIdentity.h"
#include "core/vocab/WindowKinds.h"
#include "tests/support/ServicesFixture.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

namespace {

// A child window that may refuse to close.
class TRefusingChild : public QLabel {
public:
    bool Refuse = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (Refuse)
            event->ignore();
        else
            event->accept();
    }
};

class WindowMenuTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Area.resize(800, 600);
        Area.show();
    }

    TRefusingChild* AddChild(const QString& caption) {
        auto* child = new TRefusingChild;
        child->setWindowTitle(caption);
        QMdiSubWindow* window = Area.addSubWindow(child);
        window->resize(200, 150);
        window->show();
        return child;
    }

    // A command set over the area with files open whose pages close with the answers given
    // (one a file, in order); the files asked are recorded.
    TWindowCommands Commands(QList<int> answers) {
        const int count = static_cast<int>(answers.size());
        return TWindowCommands(
            &Area, [count] { return count; },
            [this, answers](int index) {
                Asked.append(index);
                return answers.value(index);
            });
    }

    QMdiArea Area;
    QList<int> Asked;
};

struct TMenuStateCase {
    int Children;
    bool NeedsChild;
};

class WindowMenuStateTest : public ::testing::TestWithParam<TMenuStateCase> {};

TEST_P(WindowMenuStateTest, ArrangingNeedsAChildAndResetIsAlwaysOffered) {
    const TWindowMenuState state = TWindowMenuState::Of(GetParam().Children);
    EXPECT_EQ(state.Cascade, GetParam().NeedsChild);
    EXPECT_EQ(state.Tile, GetParam().NeedsChild);
    EXPECT_EQ(state.ArrangeIcons, GetParam().NeedsChild);
    EXPECT_EQ(state.CloseAllWindows, GetParam().NeedsChild);
    EXPECT_TRUE(state.CloseAllAndReset);
}

INSTANTIATE_TEST_SUITE_P(WindowMenuTest, WindowMenuStateTest,
                         ::testing::Values(TMenuStateCase{0, false}, TMenuStateCase{1, true},
                                           TMenuStateCase{2, true}));

TEST_F(WindowMenuTest, ResetErasesEveryKindSectionAndKeepsTheRest) {
    const QString path = TempPath("Quilvane.ini");
    TIniFile ini(path);
    ini.WriteString("DESKTOP", "LicFilePath", "C:\\DATA");
    for (const TWindowKindEntry& kind : WindowKindTable)
        ini.WriteString(kind.Name.toString(), "NormPos", "1,2,3,4");
    ini.WriteString("HISTORY", "Current", "ABC123");
    ini.WriteString("Data Entry Extra", "Keep", "1"); // a name that merely starts like a kind
    ini.UpdateFile();
    AddChild("Accounts");

    EXPECT_TRUE(Commands({}).CloseAllAndResetPositions(path));

    const TIniFile after(path);
    for (const TWindowKindEntry& kind : WindowKindTable)
        EXPECT_FALSE(after.SectionExists(kind.Name.toString())) << kind.Name.toString().toStdString();
    EXPECT_EQ(after.ReadSections(), (QStringList{"DESKTOP", "HISTORY", "Data Entry Extra"}));
    EXPECT_EQ(after.ReadString("DESKTOP", "LicFilePath", ""), "C:\\DATA");
    EXPECT_EQ(after.ReadString("HISTORY", "Current", ""), "ABC123");
    EXPECT_EQ(Commands({}).ChildCount(), 0);
}

TEST_F(WindowMenuTest, ResetOnAFileWithoutPlacementsLeavesItsBytes) {
    const QString path = TempPath("Quilvane.ini");
    TIniFile ini(path);
    ini.WriteString("DESKTOP", "Country", "AU");
    ini.UpdateFile();
    const QByteArray before = ini.ToBytes();
    EXPECT_FALSE(TWindowCommands::ErasePlacementSections(path));
    EXPECT_EQ(TIniFile(path).ToBytes(), before);
}

TEST_F(WindowMenuTest, CloseAllStopsAtTheFileWhosePagesRefuse) {
    AddChild("Data Entry");
    TWindowCommands commands = Commands({0, TWindowCommands::PagesCancelled, 0});
    EXPECT_FALSE(commands.CloseAllWindows());
    EXPECT_EQ(Asked, (QList<int>{0, 1}));
    EXPECT_EQ(commands.ChildCount(), 1); // no window closed
}

TEST_F(WindowMenuTest, CancelledCloseKeepsThePlacements) {
    const QString path = TempPath("Quilvane.ini");
    TIniFile ini(path);
    ini.WriteString("Reports", "NormPos", "1,2,3,4");
    ini.UpdateFile();
    EXPECT_FALSE(Commands({TWindowCommands::PagesCancelled}).CloseAllAndResetPositions(path));
    EXPECT_TRUE(TIniFile(path).SectionExists("Reports"));
}

TEST_F(WindowMenuTest, CloseAllClosesPagesOfEveryFileThenEveryChild) {
    AddChild("Accounts");
    AddChild("Reports");
    TWindowCommands commands = Commands({0, 0, 0});
    EXPECT_TRUE(commands.CloseAllWindows());
    EXPECT_EQ(Asked, (QList<int>{0, 1, 2}));
    EXPECT_EQ(commands.ChildCount(), 0);
}

TEST_F(WindowMenuTest, AChildThatRefusesToCloseFailsCloseAll) {
    AddChild("Accounts");
    AddChild("Graphs")->Refuse = true;
    TWindowCommands commands = Commands({});
    EXPECT_FALSE(commands.CloseAllWindows());
    EXPECT_EQ(commands.WindowList(), QStringList{"Graphs"});
}

TEST_F(WindowMenuTest, TilePlacesTwoWindowsSideBySide) {
    AddChild("Accounts");
    AddChild("Reports");
    Area.subWindowList().constLast()->showMaximized();
    Commands({}).Tile();
    const QList<QMdiSubWindow*> windows = Area.subWindowList(QMdiArea::CreationOrder);
    const QSize view = Area.viewport()->size();
    const QRect first = windows[0]->geometry();
    const QRect second = windows[1]->geometry();
    EXPECT_FALSE(windows[1]->isMaximized());
    EXPECT_EQ(first, QRect(0, 0, view.width() / 2, view.height()));
    EXPECT_EQ(second.left(), first.right() + 1);
    EXPECT_EQ(second.top(), 0);
    EXPECT_EQ(second.right(), view.width() - 1);
    EXPECT_EQ(second.height(), view.height());
}

// Cascading once shrank every window to its contents' hint, and that size was stored as its own.
TEST_F(WindowMenuTest, CascadeKeepsUsableSizesInsideTheArea) {
    AddChild("Accounts");
    AddChild("General Ledger");
    AddChild("Reports");
    const QList<QMdiSubWindow*> windows = Area.subWindowList(QMdiArea::CreationOrder);
    windows[0]->resize(120, 90);
    windows[1]->resize(700, 500);
    windows[2]->showMaximized();
    Area.setActiveSubWindow(windows[2]);
    Commands({}).Cascade();
    const QRect view(QPoint(0, 0), Area.viewport()->size());
    for (QMdiSubWindow* window : windows) {
        SCOPED_TRACE(window->widget()->windowTitle().toStdString());
        EXPECT_FALSE(window->isMaximized());
        EXPECT_TRUE(view.contains(window->geometry()));
        EXPECT_GE(window->width(), view.width() / 2);
        EXPECT_GE(window->height(), view.height() / 2);
    }
    EXPECT_EQ(windows[0]->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(windows[1]->size(), QSize(700, 500));
    EXPECT_GT(windows[1]->x(), 0);
    EXPECT_EQ(windows[1]->x(), windows[1]->y());
    EXPECT_GT(windows[2]->x(), windows[1]->x());
    EXPECT_EQ(Area.activeSubWindow(), windows[2]);
}

TEST(WindowMenuCascadeFrames, OwnSizesBoundedByTheArea) {
    const QSize area(800, 600);
    const struct {
        QList<QSize> Sizes;
        QSize Area;
        qsizetype Index;
        QRect Expected;
    } cases[] = {
        {{QSize(500, 400)}, area, 0, QRect(0, 0, 500, 400)},
        {{QSize(500, 400), QSize(100, 80)}, area, 1, QRect(20, 20, 400, 300)},
        {{QSize(500, 400), QSize(100, 80), QSize(900, 700)}, area, 2, QRect(40, 40, 760, 560)},
        {{QSize(800, 600), QSize(800, 600)}, area, 1, QRect(20, 20, 780, 580)},
        // Sixteen places down to half the height, then the top left again.
        {QList<QSize>(16, QSize(400, 300)), area, 15, QRect(300, 300, 400, 300)},
        {QList<QSize>(17, QSize(400, 300)), area, 16, QRect(0, 0, 400, 300)},
        {{QSize(500, 400), QSize(500, 400)}, QSize(), 1, QRect(0, 0, 1, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Sizes.size() << " windows, #" << c.Index);
        const QList<QRect> frames = TWindowCommands::CascadeFrames(c.Sizes, c.Area, 20);
        ASSERT_EQ(frames.size(), c.Sizes.size());
        EXPECT_EQ(frames[c.Index], c.Expected);
    }
    EXPECT_TRUE(TWindowCommands::CascadeFrames({}, area, 20).isEmpty());
}

TEST(WindowMenuTileFrames, ManyWindowsFillTheAreaWithoutOverlap) {
    const QSize area(1800, 1200);
    for (int count = 1; count <= 10; ++count) {
        const QList<QRect> frames = TWindowCommands::TileFrames(count, area);
        ASSERT_EQ(frames.size(), count);
        long long covered = 0;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(frames[i])) << count;
            covered += static_cast<long long>(frames[i].width()) * frames[i].height();
            for (int j = i + 1; j < count; ++j)
                EXPECT_FALSE(frames[i].intersects(frames[j])) << count << ' ' << i << ' ' << j;
        }
        EXPECT_EQ(covered, 1800LL * 1200) << count;
    }
    EXPECT_TRUE(TWindowCommands::TileFrames(0, area).isEmpty());
    // Five windows: three columns, the last two holding two rows each.
    const QList<QRect> five = TWindowCommands::TileFrames(5, area);
    EXPECT_EQ(five[0], QRect(0, 0, 600, 1200));
    EXPECT_EQ(five[4], QRect(1200, 600, 600, 600));
}

// Tiling many windows once cut the area into frames too small to use (200 x 200 each for twelve
// windows in 800 x 600). Now as many windows as the area holds at 320 x 240 get a place of their
// own, filling it without overlap; the others lie over those places again, in order.
TEST(WindowMenuTileFrames, EveryFrameKeepsAUsableSize) {
    const QSize usable(320, 240);
    const struct {
        int Count;
        QSize Area;
        int Places;
    } cases[] = {
        {1, QSize(800, 600), 1},
        {2, QSize(800, 600), 2},
        {4, QSize(800, 600), 4},
        {5, QSize(800, 600), 4},
        {6, QSize(800, 600), 4},
        {12, QSize(800, 600), 4},
        {9, QSize(1600, 900), 9},
        {20, QSize(1600, 900), 15},
        {3, QSize(500, 700), 2},
        {4, QSize(640, 480), 4},
        {4, QSize(639, 479), 1},
        {4, QSize(639, 720), 3},
        // An area smaller than a usable frame: every window fills it.
        {5, QSize(300, 200), 1},
        {3, QSize(), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Count << " windows in " << c.Area.width() << " x " << c.Area.height());
        const QList<QRect> frames = TWindowCommands::TileFrames(c.Count, c.Area);
        ASSERT_EQ(frames.size(), c.Count);
        const QRect area(QPoint(0, 0), c.Area.expandedTo(QSize(1, 1)));
        const QSize least = usable.boundedTo(area.size());
        long long covered = 0;
        for (int i = 0; i < c.Count; ++i) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(area.contains(frames[i]));
            EXPECT_GE(frames[i].width(), least.width());
            EXPECT_GE(frames[i].height(), least.height());
            if (i >= c.Places) {
                EXPECT_EQ(frames[i], frames[i % c.Places]);
                continue;
            }
            covered += static_cast<long long>(frames[i].width()) * frames[i].height();
            for (int j = 0; j < i; ++j)
                EXPECT_FALSE(frames[i].intersects(frames[j])) << j;
        }
        EXPECT_EQ(covered, static_cast<long long>(area.width()) * area.height());
    }
}

// Closing a window stores its frame as its own size; after a tile of many windows that was a
// frame too small to use, and the window opened that small from then on.
TEST_F(WindowMenuTest, ClosingATiledWindowStoresAUsableSize) {
    for (int i = 0; i < 12; ++i) {
        TRefusingChild* child = AddChild(QStringLiteral("Window %1").arg(i));
        auto* placement = new TFormPlacement(child);
        placement->SetIniFileName(QStringLiteral("Quilvane.ini"));
        placement->SetIniSection(child->windowTitle());
        placement->SetOptions(TPlacementOption::Position);
        placement->RestoreFormPlacement();
        child->parentWidget()->resize(500, 400);
    }
    const QList<QMdiSubWindow*> windows = Area.subWindowList(QMdiArea::CreationOrder);
    Area.setActiveSubWindow(windows[3]);
    Commands({}).Tile();
    EXPECT_EQ(Area.activeSubWindow(), windows[3]);
    EXPECT_EQ(Area.subWindowList(QMdiArea::StackingOrder).constLast(), windows[3]);
    const QRect tiled = windows[7]->geometry();
    ASSERT_TRUE(windows[7]->close());

    TIniFile ini(TempPath(QStringLiteral("Quilvane.ini")));
    ini.SetStripQuotes(true);
    const QString stored = ini.ReadString(QStringLiteral("Window 7"), QStringLiteral("NormPos"), {});
    ASSERT_FALSE(stored.isEmpty());
    const auto word = [&stored](int index) { return Placement::WordAsInteger(stored, index, 0); };
    const QRect bounds(QPoint(word(1), word(2)), QPoint(word(3) - 1, word(4) - 1));
    EXPECT_EQ(bounds, tiled);
    EXPECT_GE(bounds.width(), 320);
    EXPECT_GE(bounds.height(), 240);
}

TEST_F(WindowMenuTest, ArrangeIconsLinesMinimisedWindowsAlongTheBottom) {
    AddChild("Accounts");
    AddChild("Taxes");
    AddChild("Reports");
    const QList<QMdiSubWindow*> windows = Area.subWindowList(QMdiArea::CreationOrder);
    windows[0]->showMinimized();
    windows[2]->showMinimized();
    const QRect open = windows[1]->geometry();
    Commands({}).ArrangeIcons();
    const int bottom = Area.viewport()->height();
    EXPECT_EQ(windows[0]->geometry().left(), 0);
    EXPECT_EQ(windows[0]->geometry().bottom(), bottom - 1);
    EXPECT_EQ(windows[2]->geometry().left(), windows[0]->width());
    EXPECT_EQ(windows[2]->geometry().bottom(), bottom - 1);
    EXPECT_EQ(windows[1]->geometry(), open);
}

TEST_F(WindowMenuTest, WindowListNamesTheChildrenAndActivatesOne) {
    AddChild("Accounts - ABC123");
    AddChild("Reports");
    TWindowCommands commands = Commands({});
    EXPECT_EQ(commands.WindowList(), (QStringList{"Accounts - ABC123", "Reports"}));
    EXPECT_TRUE(commands.ActivateWindow(0));
    EXPECT_EQ(Area.activeSubWindow(), Area.subWindowList(QMdiArea::CreationOrder)[0]);
    EXPECT_FALSE(commands.ActivateWindow(2));
    EXPECT_FALSE(commands.ActivateWindow(-1));
}

TEST(WindowMenuAbout, VersionLineNamesThisBuildAndTheData) {
    EXPECT_EQ(TAboutBox::VersionText("2006.1"), ProgramVersionText() + " (DAT Version: 2006.1)");
}

} // namespace
