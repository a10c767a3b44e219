#include "controls/pictures/GIFImage.h"
#include "controls/pictures/GIFCodec.h"
#include "controls/pictures/GIFFile.h"
#include "controls/pictures/InvalidGraphic.h"
#include "controls/pictures/PictureFormats.h"
#include "tests/support/FileBytes.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Fixture(const char* block) {
    return HexBlock(TestData("pictures/gif.hex"), block);
}

QByteArray Patched(QByteArray bytes, qsizetype offset, const char* hex) {
    const QByteArray patch = Hex(hex);
    return bytes.replace(offset, patch.size(), patch);
}

template <typename TLoad> QString FailureOf(TLoad load) {
    try {
        load();
    } catch (const EPictureError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

// The first image of the bytes as the image plugin reads it.
QImage PluginImage(const QByteArray& bytes, const char* format) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, format).read();
}

QList<QRgb> Pixels(const QImage& image) {
    QList<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.append(image.pixel(x, y));
    return pixels;
}

const QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
           White = qRgb(255, 255, 255), Black = qRgb(0, 0, 0), Yellow = qRgb(255, 255, 0),
           Clear = qRgba(0, 0, 0, 0);

TEST(GIFImageTest, ReadsTheSmallestPictureAsThePluginDoes) {
    TGIFImage gif;
    int changes = 0;
    gif.OnChange = [&] { ++changes; };
    gif.LoadFromBytes(Fixture("gif-2x2"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(gif.Version(), TGIFVersion::GIF87a);
    EXPECT_EQ(QSize(gif.Width(), gif.Height()), QSize(2, 2));
    EXPECT_EQ(gif.ColorTable(), (QList<QRgb>{Red, Green, Blue, White}));
    EXPECT_EQ(gif.Contents().ColorResolution, 2);
    ASSERT_EQ(gif.Count(), 1);
    EXPECT_EQ(gif.FrameIndex(), 0);
    EXPECT_EQ(Pixels(gif.ToImage()), (QList<QRgb>{Red, Green, Blue, White}));
    EXPECT_EQ(Pixels(gif.ToImage()),
              Pixels(PluginImage(Fixture("gif-2x2"), "gif").convertToFormat(QImage::Format_ARGB32)));
    // Nothing changed: the same bytes go back.
    EXPECT_EQ(gif.SaveToBytes(), Fixture("gif-2x2"));
}

TEST(GIFImageTest, ReadsFramesExtensionsLoopAndTrailingComments) {
    TGIFImage gif;
    gif.LoadFromBytes(Fixture("gif-anim"));
    const TGIFData& data = gif.Contents();
    EXPECT_EQ(data.Version, TGIFVersion::GIF89a);
    EXPECT_EQ(data.BackgroundIndex, 1);
    EXPECT_TRUE(gif.Looping());
    EXPECT_EQ(gif.RepeatCount(), 0);
    // Two comment extensions after the last frame, separated by an empty line.
    EXPECT_EQ(gif.Comment(), (QStringList{"Made by", "hand", "", "Second"}));
    ASSERT_EQ(gif.Count(), 2);

    const TGIFFrame& first = gif.Frame(0);
    EXPECT_EQ(first.Bounds(), QRect(0, 0, 2, 1));
    EXPECT_EQ(first.Delay, 10);
    EXPECT_EQ(first.Disposal, int(TDisposalMethod::RestoreBackground));
    EXPECT_EQ(first.TransparentIndex, 0);
    EXPECT_FALSE(first.UserInput);
    // The comment before the frame stays with it; the loop and graphic control are taken out.
    ASSERT_EQ(first.Extensions.size(), 1);
    EXPECT_EQ(first.Extensions[0], (TExtension{TExtension::Comment, {"first"}}));
    EXPECT_EQ(Pixels(gif.FrameImage(0)), (QList<QRgb>{White, Clear}));

    const TGIFFrame& second = gif.Frame(1);
    EXPECT_EQ(second.Bounds(), QRect(1, 0, 1, 5));
    EXPECT_TRUE(second.Interlaced());
    EXPECT_FALSE(second.HasGraphicControl());
    EXPECT_EQ(second.ColorTable(), (QList<QRgb>{Red, Green, Blue, Yellow}));
    ASSERT_EQ(second.Extensions.size(), 1);
    EXPECT_EQ(second.Extensions[0].FunctionCode, TExtension::PlainText);
    // Stored rows 0, 4, 2, 1, 3 back in display order.
    EXPECT_EQ(Pixels(gif.FrameImage(1)), (QList<QRgb>{Red, Green, Blue, Yellow, Red}));

    gif.SetFrameIndex(1);
    const QImage screen = gif.ToImage();
    ASSERT_EQ(screen.size(), QSize(3, 5));
    EXPECT_EQ(screen.pixel(0, 0), Clear);
    EXPECT_EQ(screen.pixel(1, 3), Yellow);
}

TEST(GIFImageTest, WritesTheLoopAsNetscapeAndTheCommentAfterTheLastFrame) {
    TGIFImage gif;
    gif.LoadFromBytes(Fixture("gif-anim"));
    const QByteArray written = gif.SaveToBytes();
    EXPECT_EQ(written, Fixture("gif-anim-written"));
    TGIFImage again;
    again.LoadFromBytes(written);
    EXPECT_EQ(again.SaveToBytes(), written);
    EXPECT_EQ(again.Comment(), gif.Comment());
}

TEST(GIFImageTest, SignatureInAnyCaseAndZeroBytesOnlyAfterAFrame) {
    TGIFImage gif;
    gif.LoadFromBytes(Patched(Fixture("gif-2x2"), 0, "676966"));
    EXPECT_EQ(gif.Count(), 1);

    // Any other byte after a frame ends the reading: the comments after it are never read.
    gif.LoadFromBytes(Patched(Fixture("gif-anim"), 118, "47"));
    EXPECT_EQ(gif.Count(), 2);
    EXPECT_TRUE(gif.Comment().isEmpty());
    // So does the end of the data right after a frame.
    gif.LoadFromBytes(Fixture("gif-anim").left(70));
    EXPECT_EQ(gif.Count(), 1);
}

struct TGIFDamage {
    const char* Name;
    qsizetype Offset;
    const char* Bytes; // hex
    const char* Message;
    bool InvalidGraphic; // else a read error
};

class DamagedGIFTest : public testing::TestWithParam<TGIFDamage> {};

TEST_P(DamagedGIFTest, RaisesItsMessageAndKeepsThePreviousPicture) {
    TGIFImage gif;
    gif.LoadFromBytes(Fixture("gif-2x2"));
    int changes = 0;
    gif.OnChange = [&] { ++changes; };
    const QByteArray bytes = Patched(Fixture("gif-anim"), GetParam().Offset, GetParam().Bytes);
    bool invalidGraphic = false;
    const QString message = FailureOf([&] {
        try {
            gif.LoadFromBytes(bytes);
        } catch (const EInvalidGraphic&) {
            invalidGraphic = true;
            throw;
        }
    });
    EXPECT_EQ(message, QLatin1String(GetParam().Message));
    EXPECT_EQ(invalidGraphic, GetParam().InvalidGraphic);
    EXPECT_EQ(gif.SaveToBytes(), Fixture("gif-2x2"));
    EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    GIFImageTest, DamagedGIFTest,
    testing::Values(TGIFDamage{"NotAGIF", 0, "4A5047", "Unknown GIF version", true},
                    TGIFDamage{"Version90a", 3, "393061", "Unknown GIF version", true},
                    TGIFDamage{"Version87A", 3, "383741", "Unknown GIF version", true},
                    TGIFDamage{"UnknownExtension", 39, "AB", "Unrecognized extension block: AB", true},
                    TGIFDamage{"ExtensionLabelZero", 39, "00", "Unrecognized extension block: 00", true},
                    TGIFDamage{"CodeSizeOne", 65, "01", "GIF code size not in range 2 to 9", true},
                    TGIFDamage{"CodeSizeTen", 111, "0A", "GIF code size not in range 2 to 9", true},
                    // clear, then entry 6, which no code has made yet
                    TGIFDamage{"FirstCodeNotALiteral", 67, "34", "GIF encoded data is corrupt", true},
                    // clear, then 1, then 7: one past the next entry
                    TGIFDamage{"CodeBeyondTheTable", 67, "CC01", "GIF encoded data is corrupt", true},
                    // clear, then the end code: no pixels at all
                    TGIFDamage{"EndBeforeThePixels", 67, "2C00", "GIF encoded data is corrupt", true},
                    // one byte of data: clear, 1 and two bits of the next code
                    TGIFDamage{"DataTooShort", 66, "010C0000", "GIF encoded data is corrupt", true},
                    TGIFDamage{"ZeroWhereABlockBelongs", 38, "00",
                               "GIF image: the byte 00 at offset 38 is not a block", false},
                    TGIFDamage{"StrayByteAfterAnExtension", 47, "47",
                               "GIF image: the byte 47 at offset 47 is not a block", false},
                    TGIFDamage{"SubBlockPastTheEnd", 136, "21FE40",
                               "GIF image: the data ends inside an extension block at offset 147", false},
                    TGIFDamage{"TableCutShort", 10, "F7",
                               "GIF image: the data ends inside the global colour table at offset 147",
                               false}),
    [](const testing::TestParamInfo<TGIFDamage>& damage) { return std::string(damage.param.Name); });

TEST(GIFImageTest, EveryTruncationIsARefusalOrEndsAfterAFrame) {
    const QByteArray bytes = Fixture("gif-anim");
    QList<qsizetype> loaded;
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        TGIFImage gif;
        try {
            gif.LoadFromBytes(bytes.left(length));
            loaded.append(length);
        } catch (const EPictureError&) {
        }
    }
    // Right after frame 1, right after frame 2 and in the zero bytes that follow it.
    EXPECT_EQ(loaded, (QList<qsizetype>{70, 117, 118, 119}));
}

TEST(GIFImageTest, EveryOneByteDamageLoadsOrRaisesAPictureError) {
    const QByteArray bytes = Fixture("gif-anim");
    int refused = 0;
    for (qsizetype at = 0; at < bytes.size(); ++at)
        for (const char value : {'\x00', '\x01', '\x3B', '\x7F', '\x80', '\xFF'}) {
            QByteArray damaged = bytes;
            damaged[at] = value;
            TGIFImage gif;
            try {
                gif.LoadFromBytes(damaged);
                // Whatever loaded is whole: every frame draws and writes.
                for (int i = 0; i < gif.Count(); ++i)
                    gif.FrameImage(i);
                if (!gif.Empty())
                    gif.SaveToBytes();
            } catch (const EPictureError&) {
                ++refused;
            }
        }
    EXPECT_GT(refused, 0);
}

TEST(GIFImageTest, AssignedPictureKeepsItsColoursAndTheFileFollowsTheLayout) {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, Red);
    picture.setPixel(1, 0, Green);
    picture.setPixel(0, 1, Blue);
    picture.setPixel(1, 1, White);
    TGIFImage gif;
    gif.Assign(picture);
    EXPECT_EQ(Pixels(gif.ToImage()), Pixels(picture));
    // The hand-written file but for the colour resolution, which a new picture gives as 8 bits.
    EXPECT_EQ(gif.SaveToBytes(), Patched(Fixture("gif-2x2"), 10, "F1"));
}

TEST(GIFImageTest, TransparentPixelsTakeOneIndexAndMakeAGIF89a) {
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, Clear);
    picture.setPixel(1, 0, Red);
    picture.setPixel(2, 0, qRgba(10, 20, 30, 0)); // also fully transparent
    TGIFImage gif;
    gif.Assign(picture);
    EXPECT_EQ(gif.Version(), TGIFVersion::GIF89a);
    EXPECT_EQ(gif.Frame(0).TransparentIndex, 0);
    EXPECT_EQ(gif.ColorTable().size(), 2);
    EXPECT_EQ(Pixels(gif.ToImage()), (QList<QRgb>{Clear, Red, Clear}));
    TGIFImage again;
    again.LoadFromBytes(gif.SaveToBytes());
    EXPECT_EQ(Pixels(again.ToImage()), (QList<QRgb>{Clear, Red, Clear}));
}

TEST(GIFImageTest, ManyColoursAreReducedToTheCommonest256) {
    // 300 colours: 256 of them on two pixels each, 44 on one.
    QImage picture(556, 1, QImage::Format_RGB32);
    for (int x = 0; x < 556; ++x)
        picture.setPixel(x, 0, x < 512 ? qRgb(x / 2, 7, 9) : qRgb(0, x - 500, 9));
    TGIFImage gif;
    gif.Assign(picture);
    ASSERT_EQ(gif.ColorTable().size(), 256);
    const QImage image = gif.ToImage();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 7, 9));
    EXPECT_EQ(image.pixel(511, 0), qRgb(255, 7, 9));
    // A colour left out takes its nearest of those kept.
    EXPECT_EQ(image.pixel(555, 0), qRgb(0, 7, 9));
}

TEST(GIFImageTest, EncodedDataIsReadBackByThePluginAtEveryCodeSize) {
    QRandomGenerator random(20060);
    for (int colors : {2, 4, 16, 256}) {
        SCOPED_TRACE(colors);
        // Noise fills the code table several times over; runs exercise long strings.
        QImage picture(160, 100, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const int index = y % 3 == 0 ? int(random.bounded(colors)) : (x / 7) % colors;
                picture.setPixel(x, y, qRgb(index, 255 - index, index / 2));
            }
        TGIFImage gif;
        gif.Assign(picture);
        const QByteArray bytes = gif.SaveToBytes();
        EXPECT_EQ(Pixels(PluginImage(bytes, "gif").convertToFormat(QImage::Format_RGB32)), Pixels(picture));
        TGIFImage again;
        again.LoadFromBytes(bytes);
        EXPECT_EQ(Pixels(again.ToImage().convertToFormat(QImage::Format_RGB32)), Pixels(picture));
    }
}

TEST(GIFImageTest, CodecRoundTripsEveryCodeSizeAndRefusesOthers) {
    QRandomGenerator random(7);
    for (int codeSize = GIFCodec::MinCodeSize; codeSize <= GIFCodec::MaxCodeSize; ++codeSize) {
        SCOPED_TRACE(codeSize);
        QByteArray indexes(60000, '\0');
        const int colors = qMin(256, 1 << codeSize);
        for (char& index : indexes)
            index = char(random.bounded(colors));
        EXPECT_EQ(GIFCodec::Decode(GIFCodec::Encode(indexes, codeSize), codeSize, indexes.size()), indexes);
    }
    EXPECT_EQ(GIFCodec::Decode(GIFCodec::Encode(QByteArray(), 2), 2, 0), QByteArray());
    for (int codeSize : {1, 10}) {
        EXPECT_EQ(FailureOf([&] { GIFCodec::Encode("\x01", codeSize); }), GIFMessages::CodeSizeOutOfRange());
        EXPECT_EQ(FailureOf([&] { GIFCodec::Decode("\x01", codeSize, 1); }),
                  GIFMessages::CodeSizeOutOfRange());
    }
    EXPECT_EQ(FailureOf([] { GIFCodec::Encode("\x04", 2); }), "GIF image encoding error");
}

// Codes written as a reader expects them, each as wide as the table then is.
class TCodeWriter {
public:
    explicit TCodeWriter(int codeSize) : CodeSize(codeSize), Width(codeSize + 1), Next((1 << codeSize) + 2) {}
    void Clear() {
        Put(1 << CodeSize);
        Width = CodeSize + 1;
        Next = (1 << CodeSize) + 2;
        First = true;
    }
    void Code(int code) {
        Put(code);
        if (!First && Next < 4096 && ++Next == (1 << Width) && Width < 12)
            ++Width;
        First = false;
    }
    QByteArray End() {
        Put((1 << CodeSize) + 1);
        if (Count > 0)
            Bytes.append(char(Bits));
        return Bytes;
    }

private:
    void Put(int code) {
        Bits |= quint64(code) << Count;
        for (Count += Width; Count >= 8; Count -= 8, Bits >>= 8)
            Bytes.append(char(Bits & 0xFF));
    }
    int CodeSize, Width, Next;
    bool First = true;
    QByteArray Bytes;
    quint64 Bits = 0;
    int Count = 0;
};

TEST(GIFImageTest, AFullTableStaysInUseUntilTheNextClearCode) {
    // 5000 codes with no clear after the first: the table fills at 4096 entries and the codes stay
    // 12 bits wide; entry 300, made at the 296th code, still stands for 1, 2 at the end, and the
    // last entry, 4095, made at the 4091st, for 2, 1.
    TCodeWriter writer(2);
    writer.Clear();
    QByteArray expected;
    for (int i = 0; i < 5000; ++i) {
        writer.Code(i % 2 + 1);
        expected.append(char(i % 2 + 1));
    }
    writer.Code(300);
    writer.Code(4095);
    expected.append(Hex("0102 0201"));
    writer.Clear();
    writer.Code(3);
    expected.append('\x03');
    EXPECT_EQ(GIFCodec::Decode(writer.End(), 2, expected.size()), expected);
}

TEST(GIFImageTest, ALiteralNoColourTableHoldsIsCorrupt) {
    // Code size 9 has literals up to 511; colour tables end at 255.
    TCodeWriter writer(9);
    writer.Clear();
    writer.Code(255);
    writer.Code(256);
    EXPECT_EQ(FailureOf([&] { GIFCodec::Decode(writer.End(), 9, 2); }), "GIF encoded data is corrupt");
}

TEST(GIFImageTest, InterlacedRowsComeInFourPasses) {
    EXPECT_EQ(TGIFItem::InterlacedRows(0), QList<int>());
    EXPECT_EQ(TGIFItem::InterlacedRows(1), QList<int>{0});
    EXPECT_EQ(TGIFItem::InterlacedRows(9), (QList<int>{0, 8, 4, 2, 6, 1, 3, 5, 7}));
    // An interlaced frame written and read back keeps its rows.
    QByteArray indexes;
    for (int row = 0; row < 11; ++row)
        indexes.append(char(row % 4));
    const auto item = TGIFItem::FromIndexes(1, 11, true, 2, indexes);
    EXPECT_EQ(TGIFItem::FromEncoded(1, 11, true, 2, item->Data())->Indexes(), indexes);
    EXPECT_NE(TGIFItem::FromEncoded(1, 11, false, 2, item->Data())->Indexes(), indexes);
}

TEST(GIFImageTest, SizeColourTablesAndEmptyPicturesAreRefusedWithTheirMessages) {
    TGIFImage gif;
    EXPECT_EQ(FailureOf([&] { gif.SaveToBytes(); }), "No GIF Data to write");
    EXPECT_EQ(FailureOf([&] { gif.SetWidth(10); }), "Cannot change the Size of a GIF image");
    EXPECT_EQ(FailureOf([&] { gif.SetHeight(10); }), "Cannot change the Size of a GIF image");
    for (int count : {1, 3, 6, 255, 512}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(FailureOf([&] { gif.SetColorTable(QList<QRgb>(count, Red)); }),
                  "Wrong number of colors; must be a power of 2");
    }
    gif.SetColorTable(QList<QRgb>(256, Red));
    gif.SetColorTable({});
    TGIFFrame frame;
    EXPECT_EQ(FailureOf([&] { frame.SetColorTable(QList<QRgb>(3, Red)); }),
              "Wrong number of colors; must be a power of 2");
    // A frame too large for the program is refused before anything is allocated for it.
    EXPECT_TRUE(FailureOf([] {
                    TGIFItem::FromEncoded(65535, 65535, false, 2, "\x04");
                }).contains("65535 x 65535 pixels is larger than the program reads"));
    EXPECT_EQ(GIFMessages::UnrecognizedExtension(0x3b), "Unrecognized extension block: 3B");
}

TEST(GIFImageTest, CopiesShareTheirDataUntilOneChanges) {
    TGIFImage gif;
    gif.LoadFromBytes(Fixture("gif-anim"));
    TGIFImage copy;
    int changes = 0;
    copy.OnChange = [&] { ++changes; };
    copy.Assign(gif);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(&copy.Contents(), &gif.Contents());
    EXPECT_EQ(copy.Frame(1).Item(), gif.Frame(1).Item());
    copy.DeleteFrame(0);
    EXPECT_NE(&copy.Contents(), &gif.Contents());
    EXPECT_EQ(copy.Frame(0).Item(), gif.Frame(1).Item());
    EXPECT_EQ(gif.Count(), 2);
    EXPECT_EQ(copy.Count(), 1);
    // Out of range changes nothing.
    copy.DeleteFrame(5);
    copy.SetFrameIndex(-1);
    EXPECT_EQ(copy.FrameIndex(), 0);
    EXPECT_EQ(changes, 2);
    copy.DeleteFrame(0);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.FrameIndex(), -1);
    EXPECT_TRUE(copy.ToImage().isNull());
}

TEST(GIFImageTest, FramesAddedKeepTheirOwnColourTables) {
    TGIFImage gif;
    QImage red(2, 1, QImage::Format_RGB32), blue(1, 1, QImage::Format_RGB32);
    red.fill(Red);
    blue.fill(Blue);
    gif.Assign(red);
    gif.AddFrame(blue, QPoint(1, 0));
    gif.SetLoop(true, 3);
    gif.SetComment({"two frames"});
    TGIFImage again;
    again.LoadFromBytes(gif.SaveToBytes());
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Frame(1).ColorTable(), (QList<QRgb>{Blue, Black}));
    EXPECT_EQ(again.Frame(1).Origin, QPoint(1, 0));
    EXPECT_EQ(again.RepeatCount(), 3);
    EXPECT_EQ(again.Comment(), QStringList{"two frames"});
    EXPECT_EQ(again.Version(), TGIFVersion::GIF89a);
    again.SetFrameIndex(1);
    EXPECT_EQ(Pixels(again.ToImage()), (QList<QRgb>{Clear, Blue}));
}

TEST(GIFImageTest, AHugeScreenAroundASmallFrameShrinksToTheFrame) {
    TGIFImage gif;
    // A 2 x 2 frame at 65000, 65000 on a screen of 65535 x 65535.
    gif.LoadFromBytes(Patched(Patched(Fixture("gif-2x2"), 6, "FFFFFFFF"), 26, "E8FDE8FD"));
    const QImage image = gif.ToImage();
    EXPECT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(1, 1), White);
}

TEST(GIFImageTest, DrawsTheCurrentFrameScaledIntoTheRectangle) {
    TGIFImage gif;
    gif.LoadFromBytes(Fixture("gif-2x2"));
    QImage canvas(6, 6, QImage::Format_RGB32);
    canvas.fill(Black);
    QPainter painter(&canvas);
    gif.Draw(painter, QRect(1, 1, 4, 4));
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), Black);
    EXPECT_EQ(canvas.pixel(1, 1), Red);
    EXPECT_EQ(canvas.pixel(4, 2), Green);
    EXPECT_EQ(canvas.pixel(2, 4), Blue);
    EXPECT_EQ(canvas.pixel(4, 4), White);
    EXPECT_EQ(canvas.pixel(5, 5), Black);
}

TEST(GIFImageTest, ClipboardCarriesTheGIFImageFormat) {
    TGIFImage gif;
    gif.LoadFromBytes(Fixture("gif-2x2"));
    QMimeData data;
    EXPECT_FALSE(TGIFImage::CanLoadFromClipboard(data));
    EXPECT_EQ(FailureOf([&] { gif.LoadFromClipboard(data); }), "The clipboard holds no GIF image.");
    gif.SaveToClipboard(data);
    EXPECT_EQ(data.data("application/x-qt-windows-mime;value=\"GIF Image\""), Fixture("gif-2x2"));
    EXPECT_EQ(data.data("image/gif"), Fixture("gif-2x2"));
    EXPECT_EQ(qvariant_cast<QImage>(data.imageData()).pixel(1, 1), White);

    QMimeData other;
    other.setData("image/gif", Fixture("gif-anim"));
    ASSERT_TRUE(TGIFImage::CanLoadFromClipboard(other));
    gif.LoadFromClipboard(other);
    EXPECT_EQ(gif.Count(), 2);
}

TEST(GIFImageTest, FilesAreWrittenWholeAndReadBack) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("picture.gif");
    TGIFImage gif;
    gif.LoadFromBytes(Fixture("gif-anim"));
    gif.SaveToFile(path);
    EXPECT_EQ(ReadFileBytes(path), Fixture("gif-anim-written"));
    TGIFImage again;
    again.LoadFromFile(path);
    EXPECT_EQ(again.Count(), 2);
    EXPECT_THROW(again.LoadFromFile(folder.filePath("missing.gif")), EQuilvaneError);
    EXPECT_EQ(again.Count(), 2);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    again.SaveToStream(buffer);
    buffer.seek(0);
    gif.Clear();
    gif.LoadFromStream(buffer);
    EXPECT_EQ(gif.SaveToBytes(), Fixture("gif-anim-written"));
}

} // namespace
