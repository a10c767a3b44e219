#include "controls/pictures/PaletteBitmap.h"
#include "core/common/Exceptions.h"
#include "tests/support/FileBytes.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using PaletteBitmap::TColorReduction;

const QRgb Red = qRgb(255, 0, 0), Blue = qRgb(0, 0, 255), White = qRgb(255, 255, 255), Black = qRgb(0, 0, 0);

// A picture of one row of the colours.
QImage Row(const QList<QRgb>& colors) {
    QImage image(int(colors.size()), 1, QImage::Format_RGB32);
    for (int x = 0; x < colors.size(); ++x)
        image.setPixel(x, 0, colors[x]);
    return image;
}

// The palette colour of each pixel of a reduced picture.
QList<QRgb> Mapped(const QImage& reduced) {
    QList<QRgb> colors;
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x)
            colors.append(reduced.color(reduced.pixelIndex(x, y)));
    return colors;
}

QImage ReadBMP(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "bmp").read();
}

quint32 U32At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

QString FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EQuilvaneError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

// red red blue / blue red white
QImage SixPixels() {
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb pixels[] = {Red, Red, Blue, Blue, Red, White};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, pixels[i]);
    return image;
}

TEST(PaletteBitmapTest, TwoColourBMPMatchesTheLayout) {
    const QByteArray bmp = PaletteBitmap::ToBMP(SixPixels(), 1);
    EXPECT_EQ(bmp, HexBlock(TestData("pictures/gif.hex"), "bmp-1bit"));
    const QImage read = ReadBMP(bmp);
    ASSERT_EQ(read.size(), QSize(3, 2));
    EXPECT_EQ(read.pixel(2, 0), Blue);
    EXPECT_EQ(read.pixel(2, 1), Red); // white took the first of its equally near colours
}

TEST(PaletteBitmapTest, EveryPixelSizeIsReadBackByThePlugin) {
    // Bits, colours the picture keeps; the header's pixel offset and file size.
    const std::tuple<int, QList<QRgb>, quint32, quint32> cases[] = {
        {4, {Red, Red, Blue, Blue, Red, White}, 54 + 16 * 4, 54 + 16 * 4 + 8},
        {8, {Red, Red, Blue, Blue, Red, White}, 54 + 256 * 4, 54 + 256 * 4 + 8},
        {24, {Red, Red, Blue, Blue, Red, White}, 54, 54 + 2 * 12}};
    for (const auto& [bits, colors, offset, size] : cases) {
        SCOPED_TRACE(bits);
        const QByteArray bmp = PaletteBitmap::ToBMP(SixPixels(), bits);
        EXPECT_EQ(U32At(bmp, 2), size);
        EXPECT_EQ(quint32(bmp.size()), size);
        EXPECT_EQ(U32At(bmp, 10), offset);
        EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), bits);
        const QImage read = ReadBMP(bmp).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(read.size(), QSize(3, 2));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(read.pixel(i % 3, i / 3), colors[i]) << i;
    }
}

TEST(PaletteBitmapTest, ColourCountChoosesThePixelSize) {
    const std::pair<int, int> cases[] = {{0, 1}, {2, 1}, {3, 4}, {16, 4}, {17, 8}, {256, 8}, {257, 24}};
    for (const auto& [colors, bits] : cases) {
        EXPECT_EQ(PaletteBitmap::BitsForColors(colors), bits) << colors;
        EXPECT_EQ(
            qFromLittleEndian<quint16>(PaletteBitmap::ToBMPWithColors(SixPixels(), colors).constData() + 28),
            bits)
            << colors;
    }
}

TEST(PaletteBitmapTest, HistogramKeepsTheCommonestColoursInTheOrderTheyAppear) {
    const QRgb darkRed = qRgb(16, 0, 0);
    const QImage picture = Row({Black, Black, darkRed, Red, Blue, Black, Red, Blue});
    const QImage two = PaletteBitmap::Reduce(picture, 2);
    // Black three times, then red and blue twice each: red appeared first.
    EXPECT_EQ(two.colorTable(), (QList<QRgb>{Black, Red}));
    EXPECT_EQ(Mapped(two), (QList<QRgb>{Black, Black, Black, Red, Black, Black, Red, Black}));
    // Room for all: each keeps its own.
    const QImage sixteen = PaletteBitmap::Reduce(picture, 16);
    EXPECT_EQ(sixteen.colorTable(), (QList<QRgb>{Black, Red, Blue, darkRed}));
    EXPECT_EQ(Mapped(sixteen), (QList<QRgb>{Black, Black, darkRed, Red, Blue, Black, Red, Blue}));
}

TEST(PaletteBitmapTest, MedianCutSplitsTheWidestBoxWhereHalfItsPixelsArePassed) {
    const QImage picture = Row({Black, Black, qRgb(16, 0, 0), Red, Blue, Black, Red, Blue});
    // Red's range (0-15) wins over blue's (0-15) by coming first; sorted on red the box runs
    // black 3, blue 2, dark red 1, red 2, and half of 8 is passed at blue.
    const QImage two = PaletteBitmap::Reduce(picture, 2, TColorReduction::MedianCut);
    EXPECT_EQ(two.colorTable(), (QList<QRgb>{qRgb(0, 0, 102), qRgb(176, 0, 0)}));
    EXPECT_EQ(Mapped(two), (QList<QRgb>{qRgb(0, 0, 102), qRgb(0, 0, 102), qRgb(176, 0, 0), qRgb(176, 0, 0),
                                        qRgb(0, 0, 102), qRgb(0, 0, 102), qRgb(176, 0, 0), qRgb(0, 0, 102)}));
    // Four boxes: one colour each, dark red at its 4-bit level 1 (17).
    const QImage four = PaletteBitmap::Reduce(picture, 4, TColorReduction::MedianCut);
    EXPECT_EQ(four.colorTable(), (QList<QRgb>{Black, qRgb(17, 0, 0), Blue, Red}));
    // No more boxes than colours.
    EXPECT_EQ(PaletteBitmap::Reduce(picture, 16, TColorReduction::MedianCut).colorCount(), 4);
}

TEST(PaletteBitmapTest, FixedPalettesMapEachChannelToItsNearestLevel) {
    const QRgb sample = qRgb(100, 200, 30), tie = qRgb(64, 18, 255);
    // Method, palette index and colour of the sample, and of the tie (64 lies midway between 43
    // and 85, 18 midway between 0 and 36).
    const std::tuple<TColorReduction, int, QRgb, int, QRgb> cases[] = {
        {TColorReduction::Truncate784, 2 * 32 + 5 * 4 + 0, qRgb(85, 182, 0), 1 * 32 + 0 * 4 + 3,
         qRgb(43, 0, 255)},
        {TColorReduction::Truncate666, 2 * 36 + 4 * 6 + 1, qRgb(102, 204, 51), 1 * 36 + 0 * 6 + 5,
         qRgb(51, 0, 255)},
        {TColorReduction::Tripel, 64 + 50, qRgb(0, 200, 0), 128 + 63, qRgb(0, 0, 252)},
        {TColorReduction::Grayscale, 150, qRgb(150, 150, 150), 58, qRgb(58, 58, 58)}};
    for (const auto& [method, index, color, tieIndex, tieColor] : cases) {
        SCOPED_TRACE(int(method));
        const QImage reduced = PaletteBitmap::Reduce(Row({sample, tie}), 256, method);
        ASSERT_EQ(reduced.colorCount(), 256);
        EXPECT_EQ(reduced.pixelIndex(0, 0), index);
        EXPECT_EQ(reduced.color(index), color);
        EXPECT_EQ(reduced.pixelIndex(1, 0), tieIndex);
        EXPECT_EQ(reduced.color(tieIndex), tieColor);
    }
    EXPECT_EQ(PaletteBitmap::Reduce(Row({White}), 256, TColorReduction::Truncate784).color(224),
              qRgb(128, 128, 128));
    EXPECT_EQ(PaletteBitmap::Reduce(Row({White}), 256, TColorReduction::Truncate666).color(215), White);
    EXPECT_EQ(PaletteBitmap::Reduce(Row({White}), 256, TColorReduction::Truncate666).color(216),
              qRgb(128, 128, 128));
    EXPECT_EQ(PaletteBitmap::Reduce(Row({White}), 256, TColorReduction::Grayscale).pixelIndex(0, 0), 255);
    // Red wins a tie with green.
    EXPECT_EQ(PaletteBitmap::Reduce(Row({qRgb(255, 255, 0)}), 256, TColorReduction::Tripel).pixelIndex(0, 0),
              63);
}

TEST(PaletteBitmapTest, FormatsAndCountsOutsideTheRoutineAreNotImplemented) {
    const QString notImplemented = "Function not yet implemented";
    for (int bits : {0, 2, 15, 16, 32})
        EXPECT_EQ(FailureOf([&] { PaletteBitmap::ToBMP(SixPixels(), bits); }), notImplemented) << bits;
    for (int colors : {1, 257})
        EXPECT_EQ(FailureOf([&] { PaletteBitmap::Reduce(SixPixels(), colors); }), notImplemented) << colors;
    // The fixed palettes have 256 entries.
    EXPECT_EQ(FailureOf([&] { PaletteBitmap::ToBMP(SixPixels(), 4, TColorReduction::Grayscale); }),
              notImplemented);
}

TEST(PaletteBitmapTest, ANullPictureMakesAnEmptyBitmap) {
    EXPECT_TRUE(PaletteBitmap::Reduce(QImage(), 16).isNull());
    const QByteArray bmp = PaletteBitmap::ToBMP(QImage(), 1);
    EXPECT_EQ(bmp.size(), 62);
    EXPECT_EQ(U32At(bmp, 18), 0u);
    // One colour in a two-colour palette: the other entry is black.
    const QByteArray one = PaletteBitmap::ToBMP(Row({White, White}), 1);
    EXPECT_EQ(one.mid(54, 8), Hex("FFFFFF00 00000000"));
    EXPECT_EQ(one.mid(62), Hex("00000000"));
}

} // namespace
