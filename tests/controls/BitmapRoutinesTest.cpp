#include "controls/util/BitmapRoutines.h"
#include "controls/util/MemoryRoutines.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <cstring>
#include <gtest/gtest.h>

namespace {

const QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
           White = qRgb(255, 255, 255), Black = qRgb(0, 0, 0), Yellow = qRgb(255, 255, 0),
           Magenta = qRgb(255, 0, 255);

QImage Filled(int width, int height, QRgb color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The rows of the image as colours.
QList<QList<QRgb>> Rows(const QImage& image) {
    QList<QList<QRgb>> rows;
    for (int y = 0; y < image.height(); ++y) {
        rows.append(QList<QRgb>());
        for (int x = 0; x < image.width(); ++x)
            rows.back().append(image.pixel(x, y) | 0xFF000000);
    }
    return rows;
}

TEST(BitmapRoutinesTest, ColoursAndRectangles) {
    EXPECT_EQ(PaletteColor(0x00123456), 0x02123456u);
    EXPECT_EQ(PaletteColor(0x02123456), 0x02123456u);
    EXPECT_EQ(PaletteColor(clNone), 0x02FFFFFFu);
    EXPECT_EQ(ColorToQColor(0x000000FF), QColor(Red));
    EXPECT_EQ(ColorToQColor(PaletteColor(0x00FF0000)), QColor(Blue));
    EXPECT_EQ(ColorFromQColor(QColor(1, 2, 3)), 0x00030201u);

    EXPECT_EQ(RectWidth(QRect(10, 20, 30, 40)), 30);
    EXPECT_EQ(RectHeight(QRect(10, 20, 30, 40)), 40);
    EXPECT_EQ(RectWidth(QRect()), 0);
    EXPECT_EQ(RectHeight(QRect()), 0);
    EXPECT_EQ(RectWidth(QRect(0, 0, 0, 5)), 0);
    // Edges swapped: right 2 (one past 1) less left 5.
    EXPECT_EQ(RectWidth(QRect(QPoint(5, 5), QPoint(1, 1))), -3);
    EXPECT_EQ(RectHeight(QRect(QPoint(5, 5), QPoint(1, 1))), -3);
}

// red green blue / white red green: the bottom-left pixel is white.
QImage Bitmap() {
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb pixels[] = {Red, Green, Blue, White, Red, Green};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, pixels[i]);
    return image;
}

struct TStretchCase {
    const char* Name;
    QRect Target; // x, y, width, height as passed
    QRect Source;
    TColor Transparent;
    QList<QList<QRgb>> Expected; // the 5 x 3 canvas, black before
};

class StretchBitmapTest : public testing::TestWithParam<TStretchCase> {};

TEST_P(StretchBitmapTest, DrawsThePartLeavingOutTheTransparentColour) {
    const TStretchCase& c = GetParam();
    QImage canvas = Filled(5, 3, Black);
    QPainter painter(&canvas);
    StretchBitmapRectTransparent(painter, c.Target.x(), c.Target.y(), c.Target.width(), c.Target.height(),
                                 c.Source, Bitmap(), c.Transparent);
    painter.end();
    EXPECT_EQ(Rows(canvas), c.Expected);
}

const QRgb K = Black, R = Red, G = Green, B = Blue, W = White;
INSTANTIATE_TEST_SUITE_P(
    BitmapRoutinesTest, StretchBitmapTest,
    testing::Values(
        // The bottom-left pixel's colour, white, is left out.
        TStretchCase{"DefaultIsTheCorner",
                     {1, 1, 3, 2},
                     {0, 0, 3, 2},
                     clDefault,
                     {{K, K, K, K, K}, {K, R, G, B, K}, {K, K, R, G, K}}},
        TStretchCase{"NoneDrawsOpaque",
                     {1, 1, 3, 2},
                     {0, 0, 3, 2},
                     clNone,
                     {{K, K, K, K, K}, {K, R, G, B, K}, {K, W, R, G, K}}},
        TStretchCase{"GivenColour",
                     {0, 0, 3, 2},
                     {0, 0, 3, 2},
                     0x000000FF,
                     {{K, G, B, K, K}, {W, K, G, K, K}, {K, K, K, K, K}}},
        // Width and height below 1 take the source's.
        TStretchCase{"SizeOfTheSource",
                     {2, 0, 0, -1},
                     {1, 0, 2, 2},
                     clNone,
                     {{K, K, G, B, K}, {K, K, R, G, K}, {K, K, K, K, K}}},
        // Twice as wide, pixel for pixel.
        TStretchCase{"Stretched",
                     {0, 0, 4, 1},
                     {1, 0, 2, 1},
                     clNone,
                     {{G, G, B, B, K}, {K, K, K, K, K}, {K, K, K, K, K}}},
        // Half the source lies right of the bitmap: its half of the target stays as it was.
        TStretchCase{"SourcePastTheBitmap",
                     {0, 0, 4, 1},
                     {2, 0, 2, 1},
                     clNone,
                     {{B, B, K, K, K}, {K, K, K, K, K}, {K, K, K, K, K}}},
        TStretchCase{"EmptySource",
                     {0, 0, 4, 1},
                     {0, 0, 0, 1},
                     clNone,
                     {{K, K, K, K, K}, {K, K, K, K, K}, {K, K, K, K, K}}}),
    [](const testing::TestParamInfo<TStretchCase>& c) { return std::string(c.param.Name); });

TEST(BitmapRoutinesTest, MonochromeBitmapLeavesOutWhite) {
    QImage mono(2, 1, QImage::Format_Mono);
    mono.setColorTable({Black, White});
    mono.setPixel(0, 0, 0);
    mono.setPixel(1, 0, 1);
    // Whatever colour is asked for, and even where the corner is black.
    for (const TColor asked : {clDefault, TColor(0x00000000), TColor(0x000000FF)}) {
        QImage canvas = Filled(2, 1, Green);
        QPainter painter(&canvas);
        StretchBitmapRectTransparent(painter, 0, 0, 0, 0, mono.rect(), mono, asked);
        painter.end();
        EXPECT_EQ(Rows(canvas), (QList<QList<QRgb>>{{Black, Green}})) << asked;
    }
}

// The application's palette with distinct button colours for the test's lifetime.
class TButtonPalette {
public:
    TButtonPalette() : Saved(QApplication::palette()) {
        QPalette palette = Saved;
        palette.setColor(QPalette::Light, Yellow);
        palette.setColor(QPalette::Dark, Magenta);
        palette.setColor(QPalette::Button, Blue);
        QApplication::setPalette(palette);
    }
    ~TButtonPalette() { QApplication::setPalette(Saved); }

private:
    QPalette Saved;
};

TEST(BitmapRoutinesTest, DisabledBitmapEmbossesTheOutlineColour) {
    const TButtonPalette palette;
    // Black at the top-left and the bottom-right corners, white elsewhere.
    QImage glyph = Filled(3, 3, White);
    glyph.setPixel(0, 0, Black);
    glyph.setPixel(2, 2, Black);
    const QImage disabled = CreateDisabledBitmap(glyph, 0x00000000);
    const QRgb Y = Yellow, M = Magenta;
    // The highlight of the bottom-right pixel falls outside.
    EXPECT_EQ(Rows(disabled), (QList<QList<QRgb>>{{M, B, B}, {B, Y, B}, {B, B, M}}));
    // Next to each other, the shadow covers its neighbour's highlight.
    glyph.setPixel(1, 1, Black);
    EXPECT_EQ(Rows(CreateDisabledBitmap(glyph, 0x00000000)),
              (QList<QList<QRgb>>{{M, B, B}, {B, M, B}, {B, B, M}}));
    // No pixel of the colour: the face alone.
    EXPECT_EQ(Rows(CreateDisabledBitmap(glyph, 0x000000FF)), (QList<QList<QRgb>>(3, QList<QRgb>{B, B, B})));
    EXPECT_TRUE(CreateDisabledBitmap(QImage(), 0).isNull());
}

TEST(BitmapRoutinesTest, ImageListDrawsDarkOpaquePixelsEmbossed) {
    // A dark pixel at the top-left; a light one, a transparent black one and a mid-grey one.
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(White);
    image.setPixel(0, 0, qRgb(40, 40, 40));
    image.setPixel(2, 0, qRgba(0, 0, 0, 0));
    image.setPixel(2, 1, qRgb(128, 128, 128));
    const QList<QImage> images{Filled(3, 2, White), image};
    QImage canvas = Filled(5, 4, Green);
    QPainter painter(&canvas);
    ImageListDrawDisabled(images, painter, 1, 1, 1, Yellow, Magenta);
    ImageListDrawDisabled(images, painter, 0, 0, 2, Red, Red);
    ImageListDrawDisabled(images, painter, 0, 0, -1, Red, Red);
    painter.end();
    const QRgb Y = Yellow, M = Magenta;
    EXPECT_EQ(Rows(canvas),
              (QList<QList<QRgb>>{{G, G, G, G, G}, {G, M, G, G, G}, {G, G, Y, G, G}, {G, G, G, G, G}}));
}

// A parent that paints itself red and notes whether it was painting a copy.
class TParent : public QWidget {
public:
    using QWidget::QWidget;
    QList<bool> PaintedCopy;

protected:
    void paintEvent(QPaintEvent*) override {
        PaintedCopy.append(IsPaintingCopy(this));
        QPainter(this).fillRect(rect(), Red);
    }
};

QWidget* Filler(QWidget* parent, const QRect& geometry, QRgb color) {
    auto* widget = new QWidget(parent);
    widget->setGeometry(geometry);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    return widget;
}

TEST(BitmapRoutinesTest, ParentImageHoldsWhatLiesUnderTheControl) {
    TParent parent;
    parent.resize(40, 40);
    QWidget* below = Filler(&parent, QRect(5, 5, 15, 15), Green); // overlaps the control's top-left
    Filler(below, QRect(5, 5, 5, 5), Yellow);                     // its child, at the control's corner
    Filler(&parent, QRect(20, 10, 10, 10), Magenta)->hide();      // hidden
    QWidget* control = Filler(&parent, QRect(10, 10, 20, 20), Black);
    Filler(&parent, QRect(25, 25, 10, 10), Blue); // above the control

    QImage image = Filled(20, 20, White);
    QPainter painter(&image);
    CopyParentImage(control, painter);
    painter.end();
    EXPECT_EQ(image.pixel(2, 2) | 0xFF000000, Yellow);
    EXPECT_EQ(image.pixel(7, 7) | 0xFF000000, Green);
    EXPECT_EQ(image.pixel(12, 2) | 0xFF000000, Red);
    EXPECT_EQ(image.pixel(17, 17) | 0xFF000000, Red);
    EXPECT_EQ(parent.PaintedCopy, QList<bool>{true});
    EXPECT_FALSE(IsPaintingCopy(&parent));
}

TEST(BitmapRoutinesTest, ParentImageIsClippedToTheParent) {
    TParent parent;
    parent.resize(20, 20);
    QWidget* control = Filler(&parent, QRect(15, 10, 10, 10), Black);
    QImage image = Filled(10, 10, White);
    QPainter painter(&image);
    CopyParentImage(control, painter);
    QWidget orphan;
    CopyParentImage(&orphan, painter);
    CopyParentImage(nullptr, painter);
    painter.end();
    EXPECT_EQ(image.pixel(4, 9) | 0xFF000000, Red);
    EXPECT_EQ(image.pixel(5, 0) | 0xFF000000, White);
}

TEST(BitmapRoutinesTest, MemoryBlocksAreZeroFilledAndFreedToNull) {
    EXPECT_EQ(AllocMemo(0), nullptr);
    EXPECT_EQ(AllocMemo(-5), nullptr);
    void* block = AllocMemo(13);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(CompareMem(block, "\0\0\0\0\0\0\0\0\0\0\0\0\0", 13));
    FreeMemo(block);
    EXPECT_EQ(block, nullptr);
    FreeMemo(block);
    EXPECT_EQ(block, nullptr);

    char bytes[] = "0123456789";
    EXPECT_EQ(HugeOffset(bytes, 7), bytes + 7);
    EXPECT_EQ(HugeOffset(static_cast<const void*>(bytes + 7), -7), bytes);
}

TEST(BitmapRoutinesTest, MovesMayOverlapAndCountsBelowOneDoNothing) {
    // Destination, source, count, result.
    const std::tuple<int, int, qint64, const char*> cases[] = {
        {2, 0, 5, "0101234789"}, // forwards over itself
        {0, 3, 5, "3456756789"}, // backwards over itself
        {0, 5, 5, "5678956789"}, // end to end
        {4, 4, 6, "0123456789"}, // onto itself
        {0, 5, 0, "0123456789"}, {0, 5, -1, "0123456789"}};
    for (const auto& [to, from, count, expected] : cases) {
        char bytes[] = "0123456789";
        HugeMove(bytes + to, bytes + from, count);
        EXPECT_STREQ(bytes, expected) << to << " " << from << " " << count;
    }
    HugeMove(nullptr, nullptr, 0);
}

TEST(BitmapRoutinesTest, ComparisonCoversWholeWordsAndTheBytesAfter) {
    const char a[] = "abcdefg", b[] = "abcdefX", c[] = "Xbcdefg";
    EXPECT_TRUE(CompareMem(a, a, 7));
    EXPECT_FALSE(CompareMem(a, b, 7)); // in the bytes after the first word
    EXPECT_TRUE(CompareMem(a, b, 6));
    EXPECT_FALSE(CompareMem(a, c, 7)); // in the first word
    EXPECT_FALSE(CompareMem(a, c, 1));
    EXPECT_TRUE(CompareMem(a, c, 0));
    EXPECT_TRUE(CompareMem(a, c, -4));
    EXPECT_TRUE(CompareMem(nullptr, nullptr, 0));
}

} // namespace
