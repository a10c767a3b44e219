#include "controls/placement/FormPlacement.h"
#include "controls/placement/PlacementKeys.h"
#include "core/io/IniFile.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using State = TWindowShowState;

// The program ini lives in a temporary folder for every test.
class WindowPlacementTest : public TServicesFixture {
protected:
    static TIniFile Stored() {
        TIniFile ini;
        ini.LoadFromBytes(TestData("placement/stored.ini"));
        ini.SetStripQuotes(true);
        return ini;
    }
    TIniFile Saved() const {
        TIniFile ini(IniPath);
        ini.SetStripQuotes(true);
        return ini;
    }
    // A key of the data-entry section as saved.
    QString Key(const char* key) const {
        return Saved().ReadString(QStringLiteral("Data Entry"), QLatin1String(key), QStringLiteral("(none)"));
    }

    const QString IniPath = TempPath(QStringLiteral("Quilvane.ini"));
};

TEST_F(WindowPlacementTest, WritesKeysInPlaceBesideEveryOtherLine) {
    TIniFile ini = Stored();
    TPlacementRecord entry{1, ShowCmd::Minimized, QPoint(3, 4), QPoint(0, 0), QRect(15, 25, 200, 100)};
    Placement::WriteFormPlacement(ini, QStringLiteral("data entry"), entry, {QSize(1024, 768), 96});
    TPlacementRecord graphs{0, ShowCmd::Normal, {}, {}, QRect(0, 0, 50, 60)};
    Placement::WriteFormPlacement(ini, QStringLiteral("Graphs"), graphs, {QSize(800, 600), 96});
    const QString quotes = QStringLiteral("Quotes");
    const QStringList values{"'abc'", "'abc", "\"x\"", "plain", "'"};
    for (qsizetype i = 0; i < values.size(); ++i)
        Placement::IniWriteString(ini, quotes, QString(QChar(char16_t(u'a' + i))), values[i]);
    EXPECT_EQ(ini.ToBytes(), TestData("placement/written.expected.ini"));

    TIniFile reread;
    reread.LoadFromBytes(ini.ToBytes());
    reread.SetStripQuotes(true);
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(Placement::IniReadString(reread, quotes, QString(QChar(char16_t(u'a' + i))), QString()),
                  values[i]);
    const TPlacementReadRequest both{true, true};
    const TPlacementReadResult back =
        Placement::ReadFormPlacement(reread, QStringLiteral("DATA ENTRY"), {}, {QSize(1024, 768), 96}, both);
    TPlacementRecord expected = entry;
    expected.ShowCmd = TPlacementRecord().ShowCmd; // the state is given apart, as State
    EXPECT_EQ(back.Record, expected);
    EXPECT_EQ(back.State, State::Minimized);
}

struct TReadCase {
    const char* Section;
    QSize Resolution;
    int PixelsPerInch;
    bool Sizeable;
    State DefaultState;
    bool Found;
    QRect Bounds; // when found
    State Expected;
};

class PlacementReadTest : public WindowPlacementTest, public testing::WithParamInterface<TReadCase> {};

TEST_P(PlacementReadTest, ReadsOverTheCurrentPlacement) {
    const TReadCase& c = GetParam();
    TPlacementRecord current{5, ShowCmd::Normal, QPoint(7, 7), QPoint(8, 8), QRect(0, 0, 640, 480)};
    const TPlacementReadRequest request{true, true, c.Sizeable, c.DefaultState};
    const TPlacementReadResult read = Placement::ReadFormPlacement(
        Stored(), QLatin1String(c.Section), current, {c.Resolution, c.PixelsPerInch}, request);
    EXPECT_EQ(read.PositionFound, c.Found);
    EXPECT_EQ(read.Record.NormalBounds, c.Found ? c.Bounds : current.NormalBounds);
    EXPECT_EQ(read.State, c.Expected);
}

const QSize Xga(1024, 768), Sxga(1280, 1024);

INSTANTIATE_TEST_SUITE_P(
    WindowPlacementTest, PlacementReadTest,
    testing::Values(
        // The resolution's own key first, the plain key when there is none for this resolution.
        TReadCase{"Data Entry", Xga, 96, true, State::Normal, true, QRect(10, 20, 300, 400),
                  State::Maximized},
        TReadCase{"Reports", Sxga, 96, true, State::Normal, true, QRect(100, 100, 800, 600), State::Normal},
        TReadCase{"Reports", Xga, 96, true, State::Normal, true, QRect(5, 6, 200, 100), State::Normal},
        // Words separated by commas and blanks.
        TReadCase{"Accounts", Xga, 96, true, State::Maximized, true, QRect(40, 50, 400, 300),
                  State::Maximized},
        // Saved under other pixels per inch: no position, but the state still counts.
        TReadCase{"Graphs", Xga, 96, true, State::Normal, false, QRect(), State::Minimized},
        TReadCase{"Graphs", Xga, 120, true, State::Normal, true, QRect(1, 2, 299, 398), State::Minimized},
        // Missing or malformed words keep the current bounds' values.
        TReadCase{"Taxes", Xga, 96, true, State::Normal, true, QRect(0, 77, 640, 403), State::Minimized},
        TReadCase{"Budgets", Xga, 96, true, State::Normal, true, QRect(10, 10, 630, 470), State::Normal},
        // A window that cannot be resized keeps its own size.
        TReadCase{"Budgets", Xga, 96, false, State::Maximized, true, QRect(10, 10, 640, 480),
                  State::Maximized},
        // Right not past left: no position.
        TReadCase{"Currencies", Xga, 96, true, State::Maximized, false, QRect(), State::Normal},
        // A first run.
        TReadCase{"Standard Descriptions", Xga, 96, true, State::Maximized, false, QRect(),
                  State::Maximized}));

TEST_F(WindowPlacementTest, MinimizedAndMaximizedPositionsFallBackToZeroWordByWord) {
    const TPlacementReadResult read =
        Placement::ReadFormPlacement(Stored(), QStringLiteral("Accounts"),
                                     {5, 1, QPoint(7, 7), QPoint(8, 8), {}}, {Xga, 96}, {false, true});
    EXPECT_EQ(read.Record.MinPosition, QPoint(-1, -2));
    EXPECT_EQ(read.Record.MaxPosition, QPoint(0, 0));
    EXPECT_EQ(read.Record.Flags, 5); // no "Flags" key: the current flags

    const TPlacementReadResult full = Placement::ReadFormPlacement(
        Stored(), QStringLiteral("Ledger"), {0, 1, QPoint(7, 7), QPoint(8, 8), {}}, {Xga, 96}, {false, true});
    EXPECT_EQ(full.Record.MinPosition, QPoint(-32000, -32000));
    EXPECT_EQ(full.Record.MaxPosition, QPoint(-4, -30));
}

TEST_F(WindowPlacementTest, PositionsOffEveryScreenArePulledBackOntoTheNearest) {
    const QRect a(0, 0, 1024, 768), b(1024, 0, 1280, 1024);
    const struct {
        QRect Window;
        QList<QRect> Screens;
        QRect Expected;
    } cases[] = {
        {QRect(10, 10, 100, 100), {a, b}, QRect(10, 10, 100, 100)},
        {QRect(-50, -50, 100, 100), {a, b}, QRect(-50, -50, 100, 100)},
        {QRect(3000, 100, 200, 100), {a, b}, QRect(2104, 100, 200, 100)},
        {QRect(-5000, 300, 200, 100), {a, b}, QRect(0, 300, 200, 100)},
        {QRect(100, 800, 200, 100), {a, b}, QRect(100, 668, 200, 100)},
        {QRect(1024, 768, 200, 100), {a}, QRect(824, 668, 200, 100)},
        {QRect(5000, 0, 2000, 900), {a}, QRect(0, 0, 2000, 900)},
        {QRect(5000, 0, 20, 20), {}, QRect(5000, 0, 20, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Window.x() << "," << c.Window.y());
        EXPECT_EQ(Placement::PullOntoScreens(c.Window, c.Screens), c.Expected);
    }
}

TEST_F(WindowPlacementTest, AChildPlaceIsFittedWhollyInsideItsArea) {
    const QRect area(0, 0, 1600, 800);
    const struct {
        QRect Window;
        QRect Area;
        QRect Expected;
    } cases[] = {
        {QRect(10, 10, 300, 200), area, QRect(10, 10, 300, 200)},
        {QRect(0, 0, 1600, 800), area, QRect(0, 0, 1600, 800)},
        {QRect(1066, 605, 1066, 605), area, QRect(534, 195, 1066, 605)},
        {QRect(1301, 10, 300, 200), area, QRect(1300, 10, 300, 200)},
        {QRect(10, 601, 300, 200), area, QRect(10, 600, 300, 200)},
        {QRect(-40, -30, 300, 200), area, QRect(0, 0, 300, 200)},
        {QRect(200, 100, 2000, 900), area, QRect(0, 0, 1600, 800)},
        {QRect(500, 100, 1700, 300), area, QRect(0, 100, 1600, 300)},
        {QRect(1066, 605, 1066, 605), QRect(50, 20, 800, 600), QRect(50, 20, 800, 600)},
        {QRect(1066, 605, 1066, 605), QRect(), QRect(1066, 605, 1066, 605)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Window.x() << "," << c.Window.y() << " " << c.Window.width()
                                        << "x" << c.Window.height());
        EXPECT_EQ(Placement::FitInsideArea(c.Window, c.Area), c.Expected);
    }
}

TEST_F(WindowPlacementTest, DefaultNames) {
    EXPECT_EQ(Placement::GetDefaultSection({true, "TfmGraphs", "fmGraphs", {}, {}}) + ' ' +
                  Placement::GetDefaultSection({false, "QTreeView", "tv", "TfmMain", "pnl"}) + ' ' +
                  Placement::GetDefaultSection({false, "QTreeView", "tv", {}, "pnl"}),
              QStringLiteral("TfmGraphs TfmMaintv pnltv"));
    EXPECT_EQ(Placement::GetDefaultIniName(QStringLiteral("/opt/q/quilvane.bin.exe")),
              QStringLiteral("quilvane.bin.INI"));

    // The program ini by its own name, other bare names beside it, paths as they are.
    EXPECT_EQ(Placement::ResolveIniPath(QStringLiteral("QUILVANE.INI")), IniPath);
    EXPECT_EQ(Placement::ResolveIniPath(QStringLiteral("Other.ini")),
              Temp.filePath(QStringLiteral("Other.ini")));
    EXPECT_EQ(Placement::ResolveIniPath(QStringLiteral("/elsewhere/x.ini")),
              QStringLiteral("/elsewhere/x.ini"));
}

TEST_F(WindowPlacementTest, AnActiveTopLevelWindowRestoresWhenShownAndSavesWhenClosed) {
    // The first run keeps the designed bounds; the second comes up where the first was closed.
    for (const QRect& designed : {QRect(70, 80, 200, 100), QRect(10, 10, 300, 300)}) {
        QWidget window;
        auto* placement = new TFormPlacement(&window);
        placement->SetIniFileName(QStringLiteral("Quilvane.ini"));
        window.setGeometry(designed);
        window.show();
        EXPECT_EQ(window.geometry(), QRect(70, 80, 200, 100));
        window.close();
    }
    EXPECT_EQ(Saved().ReadString(QStringLiteral("QWidget"), QStringLiteral("NormPos"), {}),
              QStringLiteral("70,80,270,180"));
}

// A form shown in an MDI child of an 800 x 600 area, with the placement of the data-entry window.
class MdiPlacementTest : public WindowPlacementTest {
protected:
    void SetUp() override {
        WindowPlacementTest::SetUp();
        Area.resize(800, 600);
        Area.show();
        Form = new QWidget;
        Child = Area.addSubWindow(Form);
        Child->setGeometry(30, 40, 300, 200);
        Child->show();
        Placement = new TFormPlacement(Form);
        Placement->SetActive(false);
        Placement->SetIniFileName(QStringLiteral("Quilvane.ini"));
        Placement->SetIniSection(QStringLiteral("Data Entry"));
        Placement->SetOptions(TPlacementOption::Position);
    }
    void WriteSection(const QString& text) {
        ASSERT_TRUE(WriteFileBytes(IniPath, ("[Data Entry]\r\n" + text).toLatin1()));
    }

    QMdiArea Area;
    QWidget* Form = nullptr;
    QMdiSubWindow* Child = nullptr;
    TFormPlacement* Placement = nullptr;
};

// The Reports window's tests restore and save a child's frame; these check what they do not.
TEST_F(MdiPlacementTest, SavesOnlyAfterARestore) {
    Placement->SetActive(true);
    Placement->SaveFormPlacement();
    EXPECT_FALSE(QFile::exists(IniPath));
    Placement->RestoreFormPlacement();
    Placement->SaveFormPlacement();
    EXPECT_TRUE(Placement->Saved());
    EXPECT_EQ(Saved().ReadSection(QStringLiteral("Data Entry")).value(0), QStringLiteral("FormVersion"));
    EXPECT_EQ(Key("Visible"), QStringLiteral("0"));
}

TEST_F(MdiPlacementTest, AMaximizedChildKeepsItsNormalBoundsAndTheStateAppliesOnlyWithThatOption) {
    Child->showMaximized();
    Placement->SaveFormPlacement();
    EXPECT_EQ(Key("NormPos"), QStringLiteral("30,40,330,240"));
    EXPECT_EQ(Key("ShowCmd"), QStringLiteral("3"));

    Child->showNormal();
    Placement->RestoreFormPlacement();
    EXPECT_FALSE(Child->isMaximized());
    Placement->SetOptions(TPlacementOption::Position | TPlacementOption::State);
    Placement->RestoreFormPlacement();
    EXPECT_TRUE(Child->isMaximized());
}

TEST_F(MdiPlacementTest, AChildSavedMinimizedMarksItsMinimizedPosition) {
    Child->showMinimized();
    Placement->SaveFormPlacement();
    EXPECT_EQ(Key("Flags") + ' ' + Key("ShowCmd"), QStringLiteral("1 2"));
    const QPoint at = Child->geometry().topLeft();
    EXPECT_EQ(Key("MinMaxPos"), QStringLiteral("%1,%2,0,0").arg(at.x()).arg(at.y()));
}

TEST_F(MdiPlacementTest, APositionOutsideTheAreaIsPulledBackIn) {
    WriteSection("PixelsPerInch=" + QString::number(TFormPlacement::ScreenOf(Form).PixelsPerInch) +
                 "\r\nNormPos=5000,5000,5300,5200\r\n");
    Placement->RestoreFormPlacement();
    const QSize area = Child->parentWidget()->size();
    EXPECT_EQ(Child->geometry(), QRect(area.width() - 300, area.height() - 200, 300, 200));
}

// The Reports window once stored a place reaching past the right and bottom of a 1600-pixel
// screen; it comes back wholly inside the area, shrunk where the area is smaller.
TEST_F(MdiPlacementTest, AStoredPlaceReachingPastTheAreaComesBackInside) {
    const QString ppi = "PixelsPerInch=" + QString::number(TFormPlacement::ScreenOf(Form).PixelsPerInch) + "\r\n";
    const QRect area(QPoint(0, 0), Child->parentWidget()->size());
    ASSERT_LT(area.width(), 1066);
    WriteSection(ppi + "NormPos=1066,605,2132,1210\r\n");
    Placement->RestoreFormPlacement();
    EXPECT_EQ(Child->geometry(), area);

    WriteSection(ppi + "NormPos=600,500,900,700\r\n");
    Placement->RestoreFormPlacement();
    EXPECT_EQ(Child->geometry(), QRect(area.width() - 300, area.height() - 200, 300, 200));
    EXPECT_TRUE(area.contains(Child->geometry()));
}

// A stored place smaller than the window's contents need (a window once shrunk to its title bar)
// is not taken; one just large enough is.
TEST_F(MdiPlacementTest, AStoredPlaceTooSmallForTheContentsIsNotRestored) {
    Form->setMinimumSize(240, 120);
    const QSize needed = Child->minimumSizeHint();
    WriteSection("NormPos=10,20,145,52\r\n");
    Placement->RestoreFormPlacement();
    EXPECT_EQ(Child->geometry(), QRect(30, 40, 300, 200));
    WriteSection(
        QStringLiteral("NormPos=10,20,%1,%2\r\n").arg(10 + needed.width()).arg(20 + needed.height()));
    Placement->RestoreFormPlacement();
    EXPECT_EQ(Child->geometry(), QRect(QPoint(10, 20), needed));
}

TEST_F(MdiPlacementTest, AChildThatMayNotBeResizedOnlyMoves) {
    Placement->SetPreventResize(true);
    WriteSection("NormPos=50,60,650,460\r\n");
    Placement->RestoreFormPlacement();
    EXPECT_EQ(Child->geometry(), QRect(50, 60, 300, 200));

    TWinMinMaxInfo limits;
    limits.MinTrackWidth = 120;
    Placement->SetMinMaxInfo(limits); // applies only once resizing is allowed again
    EXPECT_EQ(Child->minimumWidth(), 300);
    Placement->SetPreventResize(false);
    EXPECT_EQ(Child->minimumSize(), QSize(120, 0));
    EXPECT_EQ(Child->maximumWidth(), QWIDGETSIZE_MAX);
}

TEST_F(MdiPlacementTest, AnOlderLayoutVersionIsIgnoredButCountsAsRestored) {
    WriteSection("FormVersion=1\r\nNormPos=50,60,250,160\r\n");
    Placement->SetVersion(2);
    Placement->RestoreFormPlacement();
    EXPECT_EQ(Child->geometry(), QRect(30, 40, 300, 200));
    EXPECT_TRUE(Placement->Restored());
    Placement->SetVersion(1);
    Placement->RestoreFormPlacement();
    EXPECT_EQ(Child->geometry(), QRect(50, 60, 200, 100));
}

TEST_F(MdiPlacementTest, HandlersAddKeysThroughTheOpenStorage) {
    WriteSection("WindowState=2\r\n");
    int windowState = -1;
    QObject::connect(Placement, &TFormPlacement::OnRestorePlacement,
                     [&] { windowState = Placement->ReadInteger(QStringLiteral("WindowState"), 0); });
    QObject::connect(Placement, &TFormPlacement::OnSavePlacement, [&] {
        // Written while the save is under way: the open storage, which the handler must use, wins.
        ASSERT_TRUE(WriteFileBytes(IniPath, "[Data Entry]\r\nWindowState=9\r\n"));
        Placement->WriteInteger(QStringLiteral("WindowState"), 3);
    });
    Placement->RestoreFormPlacement();
    EXPECT_EQ(windowState, 2);
    Placement->SaveFormPlacement();
    EXPECT_EQ(Key("WindowState") + ' ' + Key("NormPos"), QStringLiteral("3 30,40,330,240"));
}

} // namespace
