#include "controls/progress/ProgressBarGeometry.h"
#include "controls/progress/ProgressHost.h"
#include "controls/progress/QtProgressFactory.h"
#include "controls/progress/dxfProgressBar.h"
#include "controls/progress/fmProgress.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/PageSetup.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "tests/support/ServicesFixture.h"

#include <QPrinter>
#include <QtTest>
#include <QtWidgets>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

// The services, with what the main window would hear from the progress windows recorded; every
// test ends with no progress window shown and the main window's callback removed.
class ControlsTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        TProgressHost::SetCallback([this](bool busy) { HostCalls.append(busy); });
    }
    void TearDown() override {
        TProgressHost::SetCallback({});
        EXPECT_EQ(TProgressHost::ShownCount(), 0);
        TServicesFixture::TearDown();
    }
    // The widget as it paints itself.
    static QImage Grab(QWidget& widget) { return widget.grab().toImage(); }
    // A pixel's colour without its alpha.
    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

    QList<bool> HostCalls;
};

using G = TProgressBarGeometry;
constexpr auto H = TdxfPBOrientation::orHorizontal;
constexpr auto V = TdxfPBOrientation::orVertical;
constexpr int IntMax = std::numeric_limits<int>::max();

// The inner rectangle of a default 150 x 16 bar with its lowered edge, lying and standing.
const QRect Lying(2, 2, 146, 12);
const QRect Standing(2, 2, 12, 146);
const QRgb Navy = qRgb(0, 0, 128);
const QRgb White = qRgb(255, 255, 255);
const QRgb Background = qRgb(200, 210, 220);

// A control's background in a state of its window.
QColor Base(const QWidget* widget, QPalette::ColorGroup group = QPalette::Active) {
    return widget->palette().color(group, QPalette::Base);
}

} // namespace

// The share is the position itself over Max - Min, held inside the bar; nothing at Min itself.
TEST_F(ControlsTest, FilledPartIsThePositionsShareOfTheRange) {
    // Min, Max, Position, and the filled length along the bar (0: nothing filled).
    const std::tuple<int, int, int, int> cases[] = {
        {0, 100, 50, 73},    {0, 100, 1, 1},    {0, 100, 100, 146},    {0, 100, 0, 0},
        {0, 100, -10, 0},    {50, 150, 50, 0},  {50, 150, 40, 58},     {50, 150, 75, 109},
        {50, 150, 100, 146}, {-50, 50, -25, 0}, {-50, 50, 25, 36},     {-50, 50, 50, 73},
        {50, 50, 80, 0},     {60, 50, 80, 0},   {0, 100, IntMax, 146}, {-IntMax - 1, IntMax, IntMax, 72}};
    for (const auto& [min, max, position, length] : cases) {
        SCOPED_TRACE(testing::Message() << min << ".." << max << " at " << position);
        EXPECT_EQ(G::FilledRect(Lying, H, min, max, position), length ? QRect(2, 2, length, 12) : QRect());
        EXPECT_EQ(G::FilledRect(Standing, V, min, max, position),
                  length ? QRect(2, 148 - length, 12, length) : QRect());
    }
    EXPECT_TRUE(G::FilledRect(QRect(2, 2, 0, 12), H, 0, 100, 50).isNull());
    // The inner rectangle: the client less the bevel's 2 pixels on every side.
    EXPECT_EQ(G::InnerRect(QRect(0, 0, 150, 16), TdxfBevelOuter::bvLowered), Lying);
    EXPECT_EQ(G::InnerRect(QRect(0, 0, 150, 16), TdxfBevelOuter::bvRaised), Lying);
    EXPECT_EQ(G::InnerRect(QRect(0, 0, 150, 16), TdxfBevelOuter::bvNone), QRect(0, 0, 150, 16));
}

// Segments of 2/3 the thickness plus a 2-pixel gap (10 on a 12-pixel bar), whole ones only until
// the bar is full. The filled part stands for the inner rectangle too: only its thickness counts.
TEST_F(ControlsTest, SegmentsAreWholeUntilTheBarIsFull) {
    const std::tuple<QRect, TdxfPBOrientation, bool, int, TBarSegment> cases[] = {
        {QRect(2, 2, 73, 12), H, false, 7, {QRect(62, 2, 8, 12), 70}},
        {QRect(2, 2, 144, 12), H, false, 14, {QRect(132, 2, 8, 12), 140}},
        {Lying, H, true, 15, {QRect(142, 2, 6, 12), 140}},
        {QRect(2, 2, 11, 12), H, false, 1, {QRect(2, 2, 8, 12), 10}},
        {QRect(2, 2, 5, 12), H, true, 1, {QRect(2, 2, 5, 12), 0}},
        {QRect(2, 2, 5, 12), H, false, 0, {}},
        {QRect(), H, true, 0, {}},
        {Standing, V, true, 15, {QRect(2, 2, 12, 5), 141}},
        {Standing, V, false, 14, {QRect(2, 9, 12, 8), 141}},
        {QRect(2, 2, 12, 11), V, false, 1, {QRect(2, 4, 12, 8), 11}},
    };
    for (const auto& [filled, orientation, full, count, last] : cases) {
        SCOPED_TRACE(testing::Message() << "filled " << filled.width() << "x" << filled.height());
        const QList<TBarSegment> segments = G::Segments(filled, filled, orientation, full);
        ASSERT_EQ(segments.size(), count);
        EXPECT_EQ(segments.value(count - 1), last);
    }
}

TEST_F(ControlsTest, PicturesTileTheFilledPartAndOneMoreAtMax) {
    const std::tuple<QRect, TdxfPBOrientation, QSize, bool, QList<QPoint>> cases[] = {
        {QRect(2, 2, 17, 12), H, QSize(8, 12), false, {{2, 2}, {10, 2}}},
        {QRect(2, 2, 17, 12), H, QSize(8, 12), true, {{2, 2}, {10, 2}, {18, 2}}},
        {QRect(2, 2, 12, 20), V, QSize(12, 8), true, {{2, 13}, {2, 5}, {2, -3}}},
        {QRect(2, 2, 12, 17), V, QSize(12, 8), false, {{2, 10}, {2, 2}}},
        {QRect(2, 2, 17, 12), H, QSize(8, 0), true, {}},
        {QRect(), H, QSize(8, 12), true, {}},
    };
    for (const auto& [filled, orientation, glyph, atMax, positions] : cases) {
        SCOPED_TRACE(testing::Message() << "filled " << filled.width() << "x" << filled.height());
        EXPECT_EQ(G::GlyphPositions(filled, orientation, glyph, atMax), positions);
    }
}

TEST_F(ControlsTest, BlendTruncatesEachByteAndTextShowsThePositionOrItsShare) {
    const std::tuple<QRgb, QRgb, int, int, QRgb> blends[] = {{Navy, White, 0, 146, Navy},
                                                             {Navy, White, 146, 146, White},
                                                             {Navy, White, 73, 146, qRgb(127, 127, 191)},
                                                             {White, Navy, 1, 3, qRgb(170, 170, 212)},
                                                             {Navy, White, 292, 146, White},
                                                             {Navy, White, 5, 0, Navy}};
    for (const auto& [begin, end, p, n, colour] : blends)
        EXPECT_EQ(G::Blend(begin, end, p, n), colour) << p << "/" << n;

    constexpr auto Percent = TdxfShowTextStyle::stsPercent;
    const std::tuple<int, int, int, TdxfShowTextStyle, const char*> texts[] = {
        {50, 0, 100, Percent, "50 %"},
        {1, 0, 3, Percent, "33 %"},
        {1, 0, 8, Percent, "12 %"},
        {150, 0, 100, Percent, "150 %"},
        {100, 50, 150, Percent, "100 %"},
        {7, 5, 5, Percent, "0 %"},
        {-5, 0, 100, TdxfShowTextStyle::stsPosition, "-5"}};
    for (const auto& [position, min, max, style, text] : texts)
        EXPECT_EQ(G::Text(position, min, max, style), QString::fromLatin1(text));
}

TEST_F(ControlsTest, BarTakesAMinUpToMaxAndAMaxDownToMin) {
    TdxfProgressBar bar;
    bar.SetMin(101); // above Max: ignored
    bar.SetMin(100);
    bar.SetMax(99); // below Min: ignored
    EXPECT_EQ(std::pair(bar.Min(), bar.Max()), std::pair(100, 100));
    bar.SetMin(-20);
    bar.SetMax(-20);
    EXPECT_EQ(std::pair(bar.Min(), bar.Max()), std::pair(-20, -20));
}

TEST_F(ControlsTest, BarPaintsItsStylesInsideTheEdge) {
    // A probe's colour: the background, navy, the palette's dark or light edge, or (0 or more)
    // the gradient at that many of the inner rectangle's 146 pixels.
    enum { Back = -1, Fill = -2, Dark = -3, Light = -4 };
    using S = TdxfPBStyle;
    // Style, Min, Max, Position, an edge around the filled part, and the probes (x, y, colour).
    const std::tuple<S, int, int, int, bool, QList<std::array<int, 3>>> cases[] = {
        {S::sSolid, 0, 100, 0, false, {{0, 0, Dark}, {149, 15, Light}, {2, 8, Back}}},
        {S::sSolid, 0, 100, 250, false, {{1, 8, Back}, {2, 2, Fill}, {147, 13, Fill}, {148, 8, Back}}},
        {S::sSolid, 50, 150, 100, true, {{2, 2, Dark}, {147, 13, Light}, {74, 8, Fill}}},
        {S::sExSolid, 0, 100, 100, false, {{2, 8, 0}, {147, 8, 145}}},
        {S::sExSolid, 0, 100, 50, false, {{74, 8, 72}, {75, 8, Back}}},
        {S::sRectangles, 0, 100, 100, false, {{9, 8, Fill}, {10, 8, Back}, {147, 8, Fill}}},
        {S::sRectangles, 0, 100, 99, false, {{139, 8, Fill}, {147, 8, Back}}},
        {S::sExRectangles, 0, 100, 100, false, {{9, 8, 10}, {147, 8, 140}}},
    };
    for (const auto& [style, min, max, position, barBevel, probes] : cases) {
        SCOPED_TRACE(testing::Message() << int(style) << " " << min << ".." << max << " at " << position);
        TdxfProgressBar bar;
        bar.SetColor(QColor(Background));
        bar.SetStyle(style);
        bar.SetBarBevelOuter(barBevel ? TdxfBevelOuter::bvLowered : TdxfBevelOuter::bvNone);
        bar.SetMin(min);
        bar.SetMax(max);
        bar.SetPosition(position);
        const QImage image = Grab(bar);
        for (const auto& [x, y, colour] : probes) {
            const QRgb expected = colour == Back    ? Background
                                  : colour == Fill  ? Navy
                                  : colour == Dark  ? bar.palette().color(QPalette::Dark).rgb()
                                  : colour == Light ? bar.palette().color(QPalette::Light).rgb()
                                                    : G::Blend(Navy, White, colour, 146);
            EXPECT_EQ(At(image, x, y), expected & 0xFFFFFF) << x << "," << y;
        }
    }
}

TEST_F(ControlsTest, PictureFitsTheBarAndShowsTheBackgroundThroughItsTransparentColour) {
    // A 4 x 12 picture: red (its bottom-left colour, so transparent) with a green left column.
    QImage picture(4, 12, QImage::Format_RGB32);
    picture.fill(QColor(Qt::red));
    for (int y = 0; y < 11; ++y)
        picture.setPixelColor(0, y, QColor(Qt::green));
    TdxfProgressBar bar;
    bar.SetColor(QColor(Background));
    bar.SetStyle(TdxfPBStyle::sPictures);
    bar.SetGlyph(QPixmap::fromImage(picture));
    EXPECT_EQ(bar.size(), QSize(150, 16));
    bar.SetPosition(100);
    const QImage image = Grab(bar);
    EXPECT_EQ(At(image, 2, 5), qRgb(0, 255, 0) & 0xFFFFFF);
    EXPECT_EQ(At(image, 3, 5), Background & 0xFFFFFF);
    EXPECT_EQ(At(image, 146, 5), qRgb(0, 255, 0) & 0xFFFFFF); // the one more at Max
    bar.SetPosition(101);
    EXPECT_EQ(At(Grab(bar), 146, 5), Background & 0xFFFFFF);
    bar.SetTransparentGlyph(false);
    EXPECT_EQ(At(Grab(bar), 3, 5), qRgb(255, 0, 0) & 0xFFFFFF);

    // A standing bar takes the picture's width; an empty picture leaves the size alone.
    TdxfProgressBar standing;
    standing.SetOrientation(V);
    standing.resize(16, 150);
    standing.SetGlyph(QPixmap::fromImage(picture));
    standing.SetGlyph(QPixmap());
    EXPECT_EQ(standing.size(), QSize(8, 150));
}

TEST_F(ControlsTest, WindowGrowsByItsPanelsCannotBeClosedAndRoundsItsPosition) {
    TfmProgress form;
    // The bar and Cancel wanted, and the window's height.
    const std::tuple<bool, bool, int> phases[] = {{true, true, 108}, {false, false, 37}, {false, false, 37},
                                                  {true, false, 73}, {false, true, 72},  {true, true, 108}};
    for (const auto& [bar, cancel, height] : phases) {
        SCOPED_TRACE(testing::Message() << "bar " << bar << ", cancel " << cancel);
        form.Setup(QStringLiteral("Saving"), 3, QStringLiteral("ABC"), bar, cancel);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.size(), QSize(382, height));
        EXPECT_EQ(form.pgbProgress->isVisible(), bar);
        EXPECT_EQ(form.CancelBtn->isVisible(), cancel);
        if (cancel) {
            EXPECT_EQ(form.CancelBtn->mapTo(&form, QPoint(0, 0)), QPoint(153, height - 35 + 5));
        }
    }
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Saving"));
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Saving ABC ..."));
    EXPECT_EQ(form.pgbProgress->mapTo(&form, QPoint(0, 0)), QPoint(6, 37 + 6));

    // Neither the window's close nor Esc (with Cancel not offered) ends it.
    form.Setup(QStringLiteral("Working"), 0, QString(), true, false);
    EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(form.close());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Cancelled());

    // The position rounds half to even and needs the bar.
    for (const auto& [percent, position] : {std::pair(49.5, 50), {50.5, 50}, {72.6, 73}}) {
        form.SetPosition(percent);
        EXPECT_EQ(form.pgbProgress->Position(), position) << percent;
    }
    form.Setup(QStringLiteral("Working"), 0, QString(), false, false);
    form.SetPosition(10);
    EXPECT_EQ(form.pgbProgress->Position(), 73);
    form.SetMessage(3, QStringLiteral("X"));
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Saving X ..."));
}

TEST_F(ControlsTest, CancelTellsTheUserOnceAndRaisesOncePerPressThroughTheUpdateUnderWay) {
    for (int box = 0; box < 3; ++box)
        Prompt->Answer(TMessageButton::OK);
    TfmProgress form;
    form.Setup(QStringLiteral("Backup"), 4, QStringLiteral("ABC"), true, true);
    QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
    QTest::mouseClick(form.CancelBtn, Qt::LeftButton); // before the operation heard of the first
    EXPECT_EQ(Prompt->Texts(), QStringList{"Operation cancelled."});
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Information}));
    EXPECT_TRUE(form.Cancelled());
    EXPECT_THROW(form.SetPosition(20), EOperationCancelled);
    // The operation that caught it finishes its closing steps on the same window.
    EXPECT_NO_THROW(form.SetPosition(30));
    EXPECT_NO_THROW(form.SetMessage(25, QString()));
    EXPECT_TRUE(form.Cancelled());
    EXPECT_NO_THROW(form.Setup(QStringLiteral("Closing"), 25, QString(), true, true));
    EXPECT_FALSE(form.Cancelled());

    // A press while an update runs leaves through that update.
    QTimer::singleShot(0, form.CancelBtn, &QPushButton::click);
    EXPECT_THROW(form.SetMessage(3, QStringLiteral("DEF")), EOperationCancelled);
    // Esc presses Cancel while it is offered; the next phase's set-up raises it before it begins.
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_THROW(form.Setup(QStringLiteral("Next"), 0, QString(), true, true), EOperationCancelled);
    EXPECT_TRUE(form.Cancelled());
    EXPECT_NO_THROW(form.SetPosition(5));

    TServices::Reset(); // no prompter: the box cannot be shown, the press counts all the same
    EXPECT_NO_THROW(form.CancelBtn->click());
    EXPECT_THROW(form.SetPosition(1), EOperationCancelled);
}

TEST_F(ControlsTest, NestedWindowsKeepTheMainWindowBusyUntilTheLastHides) {
    TServices::SetProgressFactory(std::make_shared<TQtProgressFactory>());
    {
        // The data layer's window, from the factory.
        std::unique_ptr<IProgress> outer = TServices::CreateProgress();
        ASSERT_NE(dynamic_cast<TfmProgress*>(outer.get()), nullptr);
        outer->Setup(QStringLiteral("Shutting Down"), 0, QString(), false, false);
        {
            TfmProgress inner;
            inner.Setup(QStringLiteral("Saving"), 3, QStringLiteral("ABC"), true, false);
            inner.Setup(QStringLiteral("Saving"), 3, QStringLiteral("DEF"), true, false);
            EXPECT_EQ(TProgressHost::ShownCount(), 2);
            inner.hide();
            EXPECT_EQ(TProgressHost::ShownCount(), 1);
        }
        EXPECT_EQ(HostCalls, (QList<bool>{true}));
        // Destroyed while shown: the main window is given back.
    }
    EXPECT_EQ(HostCalls, (QList<bool>{true, false}));
    TProgressHost::Leave(); // with nothing shown: ignored
    EXPECT_EQ(TProgressHost::ShownCount(), 0);
    EXPECT_EQ(HostCalls, (QList<bool>{true, false}));
}

TEST_F(ControlsTest, EditsAndCombosTakeTheColourOfTheirState) {
    QWidget container;
    auto* edit = new QLineEdit(&container);
    auto* combo = new QComboBox(&container);
    auto* label = new QLabel(&container);
    auto* nested = new QLineEdit(new QWidget(&container)); // not placed on the container itself
    const QColor labelBase = Base(label);
    const QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    const QColor grey = QApplication::palette().color(QPalette::Inactive, QPalette::Window);
    ASSERT_NE(window, grey);

    SetControlsColour(&container, false);
    EXPECT_EQ(Base(edit, QPalette::Disabled), grey);
    EXPECT_EQ(Base(combo), grey);
    EXPECT_EQ(Base(label), labelBase);
    EXPECT_EQ(Base(nested), window);

    SetControlsColour(&container, true);
    EXPECT_EQ(Base(edit), window);
    EXPECT_EQ(Base(combo), window);
}

TEST_F(ControlsTest, BlankFieldIsReportedAndFocused) {
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* code = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    other->setFocus();
    EXPECT_TRUE(ValidateNotBlank(QStringLiteral(" ABC "), QStringLiteral("File Code"), code));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(ValidateNotBlank(QStringLiteral("   "), QStringLiteral("File Code"), code));
    EXPECT_EQ(Prompt->Texts(), QStringList{"File Code cannot be blank"});
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), code);
}

TEST_F(ControlsTest, GridKeysMoveByARowOrAPageWithinTheRows) {
    QTableWidget grid(50, 3);
    grid.resize(300, 200);
    grid.show();
    QApplication::processEvents();
    const int page = grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize();
    ASSERT_GT(page, 1);
    // From the row, the key, to the row.
    const std::tuple<int, int, int> moves[] = {
        {0, Qt::Key_PageDown, page},   {page, Qt::Key_Up, page - 1}, {page + 1, Qt::Key_PageUp, 1},
        {page - 1, Qt::Key_PageUp, 0}, {0, Qt::Key_Up, 0},           {48, Qt::Key_Down, 49},
        {49, Qt::Key_Down, 49},        {45, Qt::Key_PageDown, 49}};
    for (const auto& [from, pressed, to] : moves) {
        SCOPED_TRACE(testing::Message() << "key " << pressed << " from " << from);
        grid.setCurrentCell(from, 2);
        int key = pressed;
        EXPECT_TRUE(GridNavigationKey(&grid, key));
        EXPECT_EQ(key, 0);
        EXPECT_EQ(grid.currentRow(), to);
        EXPECT_EQ(grid.currentColumn(), 2);
    }
    int key = Qt::Key_Left;
    EXPECT_FALSE(GridNavigationKey(&grid, key));
    EXPECT_EQ(key, Qt::Key_Left);
    // A grid without rows takes the key and moves nowhere.
    grid.setRowCount(0);
    key = Qt::Key_PageDown;
    EXPECT_TRUE(GridNavigationKey(&grid, key));
    EXPECT_EQ(key, 0);
}

TEST_F(ControlsTest, PageSetupMeasuresLinesAndMarginsOnTheDeviceAndSetsUpAPrinter) {
    // 96 dots per inch: 25.4 mm is 96 dots, 10 mm is 37.8.
    QImage page(960, 1200, QImage::Format_RGB32);
    page.setDotsPerMeterX(3780);
    page.setDotsPerMeterY(3780);
    TPageSetup setup;
    SetupReportPrinter(setup);
    setup.LeftMargin = 25.4;
    setup.RightMargin = 10;
    setup.TopMargin = -5;
    setup.BottomMargin = 12.7;
    ApplyPageSetup(page, setup);
    EXPECT_EQ(setup.Font.pointSize(), 10);
    EXPECT_EQ(QList<int>({setup.LeftMarginDevice, setup.RightMarginDevice, setup.TopMarginDevice,
                          setup.BottomMarginDevice}),
              QList<int>({96, 38, 0, 48}));
    const QFontMetrics metrics(setup.Font, &page);
    EXPECT_EQ(setup.LineHeight, static_cast<int>(std::nearbyint(metrics.height() * 1.2)));
    const int w = metrics.horizontalAdvance(QLatin1Char('W'));
    EXPECT_EQ(setup.CharsPerLine, (960 - 96 - 38) / w);
    EXPECT_EQ(w, metrics.horizontalAdvance(QLatin1Char('i'))); // a fixed-pitch font
    setup.LeftMargin = 300; // wider than the page: no room, rather than less than none
    ApplyPageSetup(page, setup);
    EXPECT_EQ(setup.CharsPerLine, 0);

    // A printer takes at least one copy and the orientation; a landscape line holds more.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(TempPath(QStringLiteral("report.pdf")));
    setup = TPageSetup();
    setup.Copies = 0;
    setup.Orientation = QPageLayout::Landscape;
    ApplyPageSetup(printer, setup);
    EXPECT_EQ(printer.copyCount(), 1);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    const int landscapeChars = setup.CharsPerLine;
    setup.Copies = 3;
    setup.Orientation = QPageLayout::Portrait;
    ApplyPageSetup(printer, setup);
    EXPECT_EQ(printer.copyCount(), 3);
    EXPECT_GT(landscapeChars, setup.CharsPerLine);
    EXPECT_GT(setup.CharsPerLine, 0);
}
