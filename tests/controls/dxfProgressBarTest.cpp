#include "controls/progress/dxfProgressBar.h"
#include "controls/progress/ProgressBarGeometry.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <limits>

namespace {

using G = TProgressBarGeometry;
constexpr auto Horizontal = TdxfPBOrientation::orHorizontal;
constexpr auto Vertical = TdxfPBOrientation::orVertical;

// The inner rectangle of a default 150 x 16 bar with its lowered edge.
const QRect HorizontalInner(2, 2, 146, 12);
// The same bar stood on its end.
const QRect VerticalInner(2, 2, 12, 146);

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}
QRgb Rgb(const QColor& colour) {
    return colour.rgb() & 0xFFFFFF;
}

} // namespace

TEST(ProgressBarGeometry, InnerAndFilledRectangles) {
    EXPECT_EQ(G::InnerRect(QRect(0, 0, 150, 16), TdxfBevelOuter::bvLowered), HorizontalInner);
    EXPECT_EQ(G::InnerRect(QRect(0, 0, 150, 16), TdxfBevelOuter::bvRaised), HorizontalInner);
    EXPECT_EQ(G::InnerRect(QRect(0, 0, 150, 16), TdxfBevelOuter::bvNone), QRect(0, 0, 150, 16));

    EXPECT_EQ(G::FilledRect(HorizontalInner, Horizontal, 0, 100, 50), QRect(2, 2, 73, 12));
    EXPECT_EQ(G::FilledRect(HorizontalInner, Horizontal, 0, 100, 100), HorizontalInner);
    EXPECT_EQ(G::FilledRect(HorizontalInner, Horizontal, 0, 100, 1), QRect(2, 2, 1, 12));
    // Bottom to top: half a 146-pixel bar is its lower 73 rows.
    EXPECT_EQ(G::FilledRect(VerticalInner, Vertical, 0, 100, 50), QRect(2, 75, 12, 73));
    EXPECT_EQ(G::FilledRect(VerticalInner, Vertical, 0, 100, 100), VerticalInner);
}

TEST(ProgressBarGeometry, FillStaysInsideTheBarWhateverThePosition) {
    // At Min, below it, or with an empty or reversed range, nothing is filled.
    EXPECT_TRUE(G::FilledRect(HorizontalInner, Horizontal, 0, 100, 0).isEmpty());
    EXPECT_TRUE(G::FilledRect(HorizontalInner, Horizontal, 0, 100, -10).isEmpty());
    EXPECT_TRUE(G::FilledRect(VerticalInner, Vertical, 0, 100, -10).isEmpty());
    EXPECT_TRUE(G::FilledRect(HorizontalInner, Horizontal, 50, 50, 80).isEmpty());
    EXPECT_TRUE(G::FilledRect(HorizontalInner, Horizontal, 60, 50, 80).isEmpty());
    EXPECT_TRUE(G::FilledRect(QRect(2, 2, 0, 12), Horizontal, 0, 100, 50).isEmpty());
    // Past Max the bar is full to the inner edge, never beyond it.
    EXPECT_EQ(G::FilledRect(HorizontalInner, Horizontal, 0, 100, 150), HorizontalInner);
    EXPECT_EQ(G::FilledRect(VerticalInner, Vertical, 0, 100, 150), VerticalInner);
    EXPECT_EQ(G::FilledRect(HorizontalInner, Horizontal, 0, 100, std::numeric_limits<int>::max()),
              HorizontalInner);
    EXPECT_EQ(G::FilledRect(HorizontalInner, Horizontal, std::numeric_limits<int>::min(),
                            std::numeric_limits<int>::max(), std::numeric_limits<int>::max()),
              QRect(2, 2, 72, 12));
}

TEST(ProgressBarGeometry, HorizontalSegmentsAreWholeUntilTheBarIsFull) {
    // A 12-pixel-thick bar has segments of 10 pixels: 8 painted, 2 gap.
    EXPECT_EQ(G::SegmentLength(HorizontalInner, Horizontal), 10);
    const QRect half = G::FilledRect(HorizontalInner, Horizontal, 0, 100, 50);
    const auto halfSegments = G::Segments(HorizontalInner, half, Horizontal, false);
    ASSERT_EQ(halfSegments.size(), 7);
    EXPECT_EQ(halfSegments.first(), (TBarSegment{QRect(2, 2, 8, 12), 10}));
    EXPECT_EQ(halfSegments.last(), (TBarSegment{QRect(62, 2, 8, 12), 70}));

    // Just below Max: 144 of 146 pixels, 14 whole segments and no part of a fifteenth.
    const QRect nearlyFull = G::FilledRect(HorizontalInner, Horizontal, 0, 100, 99);
    const auto nearly = G::Segments(HorizontalInner, nearlyFull, Horizontal, false);
    ASSERT_EQ(nearly.size(), 14);
    EXPECT_EQ(nearly.last().Rect, QRect(132, 2, 8, 12));
    // At Max the last, shorter segment runs to the inner edge.
    const auto full = G::Segments(HorizontalInner, HorizontalInner, Horizontal, true);
    ASSERT_EQ(full.size(), 15);
    EXPECT_EQ(full.last(), (TBarSegment{QRect(142, 2, 6, 12), 140}));

    // A full bar shorter than one segment is filled whole.
    const QRect stub(2, 2, 5, 12);
    EXPECT_EQ(G::Segments(stub, stub, Horizontal, true), (QList<TBarSegment>{{stub, 0}}));
    EXPECT_TRUE(G::Segments(stub, stub, Horizontal, false).isEmpty());
    EXPECT_TRUE(G::Segments(HorizontalInner, QRect(), Horizontal, true).isEmpty());
}

TEST(ProgressBarGeometry, VerticalSegmentsClimbFromTheBottom) {
    const auto full = G::Segments(VerticalInner, VerticalInner, Vertical, true);
    ASSERT_EQ(full.size(), 15);
    EXPECT_EQ(full.first(), (TBarSegment{QRect(2, 139, 12, 8), 11}));
    EXPECT_EQ(full[1], (TBarSegment{QRect(2, 129, 12, 8), 21}));
    EXPECT_EQ(full.last(), (TBarSegment{QRect(2, 2, 12, 5), 141}));
    EXPECT_EQ(G::Segments(VerticalInner, VerticalInner, Vertical, false).size(), 14);
}

TEST(ProgressBarGeometry, GlyphTiling) {
    const QSize glyph(8, 12);
    EXPECT_EQ(G::GlyphPositions(QRect(2, 2, 20, 12), Horizontal, glyph, false),
              (QList<QPoint>{{2, 2}, {10, 2}}));
    EXPECT_EQ(G::GlyphPositions(QRect(2, 2, 20, 12), Horizontal, glyph, true),
              (QList<QPoint>{{2, 2}, {10, 2}, {18, 2}}));
    EXPECT_EQ(G::GlyphPositions(QRect(2, 2, 12, 20), Vertical, QSize(12, 8), true),
              (QList<QPoint>{{2, 13}, {2, 5}, {2, -3}}));
    EXPECT_TRUE(G::GlyphPositions(QRect(2, 2, 20, 12), Horizontal, QSize(0, 12), true).isEmpty());
    EXPECT_TRUE(G::GlyphPositions(QRect(), Horizontal, glyph, true).isEmpty());
}

TEST(ProgressBarGeometry, BlendAndText) {
    const QRgb navy = qRgb(0, 0, 128);
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(G::Blend(navy, white, 0, 146), navy);
    EXPECT_EQ(G::Blend(navy, white, 146, 146), white);
    EXPECT_EQ(G::Blend(navy, white, 73, 146), qRgb(127, 127, 191));
    EXPECT_EQ(G::Blend(white, navy, 1, 3), qRgb(170, 170, 212));
    EXPECT_EQ(G::Blend(navy, white, 5, 0), navy);

    EXPECT_EQ(G::Text(50, 0, 100, TdxfShowTextStyle::stsPercent), QStringLiteral("50 %"));
    EXPECT_EQ(G::Text(1, 0, 3, TdxfShowTextStyle::stsPercent), QStringLiteral("33 %"));
    EXPECT_EQ(G::Text(1, 0, 8, TdxfShowTextStyle::stsPercent), QStringLiteral("12 %")); // 12.5, half to even
    EXPECT_EQ(G::Text(150, 0, 100, TdxfShowTextStyle::stsPercent), QStringLiteral("150 %"));
    EXPECT_EQ(G::Text(7, 5, 5, TdxfShowTextStyle::stsPercent), QStringLiteral("0 %"));
    EXPECT_EQ(G::Text(-5, 0, 100, TdxfShowTextStyle::stsPosition), QStringLiteral("-5"));
}

TEST(dxfProgressBar, DefaultsAndRangeRules) {
    TdxfProgressBar bar;
    EXPECT_EQ(bar.size(), QSize(150, 16));
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Style(), TdxfPBStyle::sRectangles);
    EXPECT_EQ(bar.BevelOuter(), TdxfBevelOuter::bvLowered);
    EXPECT_EQ(bar.BarBevelOuter(), TdxfBevelOuter::bvNone);
    EXPECT_EQ(bar.Orientation(), TdxfPBOrientation::orHorizontal);
    EXPECT_EQ(bar.BeginColor(), QColor(0, 0, 128));
    EXPECT_EQ(bar.EndColor(), QColor(Qt::white));
    EXPECT_TRUE(bar.TransparentGlyph());
    EXPECT_EQ(bar.Step(), 10);

    bar.SetMin(150); // above Max: ignored
    EXPECT_EQ(bar.Min(), 0);
    bar.SetMax(-1); // below Min: ignored
    EXPECT_EQ(bar.Max(), 100);
    bar.SetMin(20);
    bar.SetMax(20); // equal to Min is allowed
    EXPECT_EQ(bar.Min(), 20);
    EXPECT_EQ(bar.Max(), 20);
    bar.SetPosition(500); // not held to the range
    EXPECT_EQ(bar.Position(), 500);
    // An empty range paints without failing.
    bar.SetShowText(true);
    EXPECT_FALSE(bar.grab().isNull());
}

TEST(dxfProgressBar, GlyphFitsTheBarThickness) {
    QPixmap glyph(8, 10);
    glyph.fill(Qt::green);
    TdxfProgressBar bar;
    bar.SetGlyph(glyph);
    EXPECT_EQ(bar.size(), QSize(150, 14));
    TdxfProgressBar standing;
    standing.SetOrientation(TdxfPBOrientation::orVertical);
    standing.resize(16, 150);
    standing.SetGlyph(glyph);
    EXPECT_EQ(standing.size(), QSize(12, 150));
    // An empty picture leaves the size alone.
    standing.SetGlyph(QPixmap());
    EXPECT_EQ(standing.size(), QSize(12, 150));
}

TEST(dxfProgressBar, PaintsBackgroundAndEdgeOnlyAtMin) {
    TdxfProgressBar bar;
    bar.SetColor(QColor(200, 210, 220));
    bar.SetStyle(TdxfPBStyle::sSolid);
    const QImage image = bar.grab().toImage();
    ASSERT_EQ(image.size(), QSize(150, 16));
    EXPECT_EQ(At(image, 0, 0), Rgb(bar.palette().color(QPalette::Dark)));
    EXPECT_EQ(At(image, 149, 15), Rgb(bar.palette().color(QPalette::Light)));
    for (int x = 1; x < 149; ++x)
        for (int y = 1; y < 15; ++y)
            ASSERT_EQ(At(image, x, y), qRgb(200, 210, 220) & 0xFFFFFF) << x << "," << y;
}

TEST(dxfProgressBar, FullBarsFillToTheInnerEdge) {
    TdxfProgressBar bar;
    bar.SetColor(QColor(200, 210, 220));
    bar.SetStyle(TdxfPBStyle::sSolid);
    bar.SetPosition(250); // past Max: full, and no further
    QImage image = bar.grab().toImage();
    EXPECT_EQ(At(image, 1, 8), qRgb(200, 210, 220) & 0xFFFFFF); // the gap inside the edge
    EXPECT_EQ(At(image, 2, 2), qRgb(0, 0, 128) & 0xFFFFFF);
    EXPECT_EQ(At(image, 147, 13), qRgb(0, 0, 128) & 0xFFFFFF);
    EXPECT_EQ(At(image, 148, 8), qRgb(200, 210, 220) & 0xFFFFFF);

    // The gradient spans the inner rectangle: navy at its start, nearly white at its end.
    bar.SetStyle(TdxfPBStyle::sExSolid);
    bar.SetPosition(100);
    image = bar.grab().toImage();
    EXPECT_EQ(At(image, 2, 8), qRgb(0, 0, 128) & 0xFFFFFF);
    EXPECT_EQ(At(image, 147, 8), G::Blend(qRgb(0, 0, 128), qRgb(255, 255, 255), 145, 146) & 0xFFFFFF);
    // Half filled: the same colours where filled, the background beyond.
    bar.SetPosition(50);
    image = bar.grab().toImage();
    EXPECT_EQ(At(image, 74, 8), G::Blend(qRgb(0, 0, 128), qRgb(255, 255, 255), 72, 146) & 0xFFFFFF);
    EXPECT_EQ(At(image, 75, 8), qRgb(200, 210, 220) & 0xFFFFFF);

    // Segments leave their gaps; at Max the short last one reaches the edge.
    bar.SetStyle(TdxfPBStyle::sRectangles);
    bar.SetPosition(100);
    image = bar.grab().toImage();
    EXPECT_EQ(At(image, 9, 8), qRgb(0, 0, 128) & 0xFFFFFF);
    EXPECT_EQ(At(image, 10, 8), qRgb(200, 210, 220) & 0xFFFFFF);
    EXPECT_EQ(At(image, 147, 8), qRgb(0, 0, 128) & 0xFFFFFF);
    bar.SetPosition(99);
    image = bar.grab().toImage();
    EXPECT_EQ(At(image, 147, 8), qRgb(200, 210, 220) & 0xFFFFFF);

    // A reversed or empty range draws no bar.
    bar.SetMax(0);
    bar.SetPosition(100);
    image = bar.grab().toImage();
    EXPECT_EQ(At(image, 2, 8), qRgb(200, 210, 220) & 0xFFFFFF);
}

TEST(dxfProgressBar, TransparentGlyphShowsTheBackgroundThrough) {
    // A 4 x 12 picture: red (its bottom-left colour, so transparent) with a green left column.
    QImage picture(4, 12, QImage::Format_RGB32);
    picture.fill(QColor(Qt::red));
    for (int y = 0; y < 12; ++y)
        picture.setPixelColor(0, y, QColor(Qt::green));
    picture.setPixelColor(0, 11, QColor(Qt::red));
    TdxfProgressBar bar;
    bar.SetColor(QColor(200, 210, 220));
    bar.SetStyle(TdxfPBStyle::sPictures);
    bar.SetGlyph(QPixmap::fromImage(picture));
    ASSERT_EQ(bar.height(), 16);
    bar.SetPosition(100);
    QImage image = bar.grab().toImage();
    EXPECT_EQ(At(image, 2, 5), qRgb(0, 255, 0) & 0xFFFFFF);
    EXPECT_EQ(At(image, 3, 5), qRgb(200, 210, 220) & 0xFFFFFF);
    bar.SetTransparentGlyph(false);
    image = bar.grab().toImage();
    EXPECT_EQ(At(image, 3, 5), qRgb(255, 0, 0) & 0xFFFFFF);
}

namespace {

// The box around every pixel that differs from the background.
QRect InkBox(const QImage& image, QRgb background, const QRect& inside) {
    QRect box;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (At(image, x, y) != (background & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(dxfProgressBar, TextIsCentredAndTurnedOnVerticalBars) {
    const QRgb background = qRgb(255, 255, 200);
    TdxfProgressBar bar;
    bar.resize(150, 30);
    bar.SetBevelOuter(TdxfBevelOuter::bvNone);
    bar.SetColor(QColor(background));
    bar.SetShowText(true);
    bar.SetShowTextStyle(TdxfShowTextStyle::stsPosition);
    bar.SetPosition(-88888); // no fill, a long text
    QImage image = bar.grab().toImage();
    const QRect lying = InkBox(image, background, image.rect());
    ASSERT_FALSE(lying.isEmpty());
    EXPECT_GT(lying.width(), lying.height());
    EXPECT_NEAR(lying.center().x(), 75, 4);

    bar.SetOrientation(TdxfPBOrientation::orVertical);
    bar.resize(30, 150);
    image = bar.grab().toImage();
    const QRect standing = InkBox(image, background, image.rect());
    ASSERT_FALSE(standing.isEmpty());
    EXPECT_GT(standing.height(), standing.width());
    EXPECT_NEAR(standing.center().y(), 75, 4);
    EXPECT_NEAR(standing.center().x(), 15, 4);
}
