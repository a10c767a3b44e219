#include "controls/progress/ProgressBarGeometry.h"
#include "controls/progress/dxfProgressBar.h"
#include "tests/controls/ControlsFixture.h"

#include <limits>
#include <tuple>

namespace {

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

} // namespace

// The share is the position itself over Max - Min, held inside the bar; nothing at Min itself.
TEST_F(ControlsTest, FilledPartIsThePositionsShareOfTheRange) {
    // Min, Max, Position, and the filled length along the bar (0: nothing filled).
    const std::tuple<int, int, int, int> cases[] = {
        {0, 100, 50, 73},    {0, 100, 1, 1},     {0, 100, 100, 146},    {0, 100, 0, 0},
        {0, 100, -10, 0},    {0, 100, 150, 146}, {0, 100, IntMax, 146}, {-IntMax - 1, IntMax, IntMax, 72},
        {50, 150, 50, 0},    {50, 150, 40, 58},  {50, 150, 75, 109},    {50, 150, 100, 146},
        {50, 150, 200, 146}, {-50, 50, -50, 0},  {-50, 50, -25, 0},     {-50, 50, 0, 0},
        {-50, 50, 25, 36},   {-50, 50, 50, 73},  {-50, 50, 100, 146},   {50, 50, 80, 0},
        {60, 50, 80, 0}};
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
    EXPECT_EQ(G::Segments(Lying, QRect(2, 2, 73, 12), H, false).first(),
              (TBarSegment{QRect(2, 2, 8, 12), 10}));
    EXPECT_EQ(G::Segments(Standing, Standing, V, false).first(), (TBarSegment{QRect(2, 139, 12, 8), 11}));
}

TEST_F(ControlsTest, PicturesTileTheFilledPartAndOneMoreAtMax) {
    const std::tuple<QRect, TdxfPBOrientation, QSize, bool, QList<QPoint>> cases[] = {
        {QRect(2, 2, 17, 12), H, QSize(8, 12), false, {{2, 2}, {10, 2}}},
        {QRect(2, 2, 17, 12), H, QSize(8, 12), true, {{2, 2}, {10, 2}, {18, 2}}},
        {QRect(2, 2, 12, 20), V, QSize(12, 8), true, {{2, 13}, {2, 5}, {2, -3}}},
        {QRect(2, 2, 17, 12), H, QSize(8, 0), true, {}},
        {QRect(), H, QSize(8, 12), true, {}},
    };
    for (const auto& [filled, orientation, glyph, atMax, positions] : cases) {
        SCOPED_TRACE(testing::Message() << "filled " << filled.width() << "x" << filled.height());
        EXPECT_EQ(G::GlyphPositions(filled, orientation, glyph, atMax), positions);
    }
}

TEST_F(ControlsTest, BlendTruncatesEachByteAndTextShowsThePositionOrItsShare) {
    const std::tuple<QRgb, QRgb, int, int, QRgb> blends[] = {
        {Navy, White, 0, 146, Navy},
        {Navy, White, 146, 146, White},
        {Navy, White, 73, 146, qRgb(127, 127, 191)},
        {White, Navy, 1, 3, qRgb(170, 170, 212)},
        {Navy, White, 5, 0, Navy},
    };
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
    bar.SetMin(101);
    bar.SetMax(-1);
    EXPECT_EQ(std::pair(bar.Min(), bar.Max()), std::pair(0, 100));
    bar.SetMin(100);
    EXPECT_EQ(bar.Min(), 100);
    bar.SetMin(-20);
    bar.SetMax(-20);
    EXPECT_EQ(bar.Max(), -20);
    bar.SetPosition(500); // not held to the range
    EXPECT_EQ(bar.Position(), 500);
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
        {S::sSolid, 50, 150, 50, false, {{2, 8, Back}}},
        {S::sSolid, 0, 0, 100, false, {{2, 8, Back}}},
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

TEST_F(ControlsTest, TextIsCentredAndTurnedOnStandingBars) {
    TdxfProgressBar bar;
    bar.SetBevelOuter(TdxfBevelOuter::bvNone);
    bar.SetColor(QColor(Background));
    bar.SetShowText(true);
    bar.SetShowTextStyle(TdxfShowTextStyle::stsPosition);
    bar.SetPosition(-88888); // no fill, a long text
    for (const QSize size : {QSize(150, 30), QSize(30, 150)}) {
        bar.SetOrientation(size.width() > size.height() ? H : V);
        bar.resize(size);
        const QImage image = Grab(bar);
        QRect ink; // around every pixel that is not background
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink |= At(image, x, y) == (Background & 0xFFFFFF) ? QRect() : QRect(x, y, 1, 1);
        EXPECT_EQ(ink.width() > ink.height(), size.width() > size.height()) << size.width();
        EXPECT_NEAR(ink.center().x(), size.width() / 2, 4) << size.width();
        EXPECT_NEAR(ink.center().y(), size.height() / 2, 4) << size.width();
    }
}
