#include "controls/pictures/PictureFormats.h"
#include "controls/pictures/AnimatedCursorImage.h"
#include "controls/pictures/IconList.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

QByteArray Fixture(const char* block) {
    return HexBlock(TestData("pictures/pictures.hex"), block);
}

// The bytes with some replaced from the offset on; appended for an offset of -1.
QByteArray Patched(QByteArray bytes, qsizetype offset, const char* hex) {
    const QByteArray patch = Hex(hex);
    return offset < 0 ? bytes + patch : bytes.replace(offset, patch.size(), patch);
}

struct TDamage {
    const char* Name;
    qsizetype Offset;
    const char* Bytes; // hex
    const char* Fault; // part of the message
};

std::string NameOfDamage(const testing::TestParamInfo<TDamage>& damage) {
    return damage.param.Name;
}

template <typename TLoad> QString FailureOf(TLoad load) {
    try {
        load();
    } catch (const EPictureError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

TEST(PictureFormatsTest, ImagePluginsReadGifIcoAndJpeg) {
    EXPECT_EQ(PictureFormats::Missing(), QStringList());

    QBuffer gif;
    gif.setData(Fixture("gif"));
    QImageReader gifReader(&gif, "gif");
    const QImage frame = gifReader.read();
    ASSERT_FALSE(frame.isNull()) << gifReader.errorString().toStdString();
    EXPECT_EQ(frame.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(gifReader.loopCount(), 3);

    EXPECT_EQ(IconFile::Decode(Fixture("blue-icon"), QStringLiteral("icon")).pixelColor(0, 0),
              QColor(Qt::blue));

    QBuffer jpeg;
    jpeg.open(QIODevice::ReadWrite);
    ASSERT_TRUE(QImageWriter(&jpeg, "jpeg").write(QImage(8, 8, QImage::Format_RGB32)));
    jpeg.seek(0);
    EXPECT_EQ(QImageReader(&jpeg, "jpeg").read().size(), QSize(8, 8));
}

TEST(PictureFormatsTest, AnimatedCursorReadsFramesStepsAndOddLengthTexts) {
    TAnimatedCursorImage cursor;
    cursor.LoadFromBytes(Fixture("cursor"));
    EXPECT_EQ(cursor.Header().Frames, 2u);
    EXPECT_EQ(cursor.Header().JifRate, 6u);
    EXPECT_EQ(cursor.Rates(), (QList<std::uint32_t>{10, 20, 30}));
    EXPECT_EQ(cursor.Sequence(), (QList<std::uint32_t>{0, 1, 0}));
    ASSERT_EQ(cursor.Frames().size(), 2);
    EXPECT_EQ(cursor.Frames()[0].Icon, Fixture("red-icon"));
    EXPECT_EQ(cursor.Frames()[1].Icon, Fixture("blue-icon"));
    // "INAM" has an odd length: "IART" is found only past its pad byte.
    EXPECT_EQ(cursor.Title(), QStringLiteral("Dots"));
    EXPECT_EQ(cursor.Author(), QStringLiteral("Quilvane"));

    TIconList icons;
    cursor.AssignTo(icons);
    ASSERT_EQ(icons.Count(), 2);
    EXPECT_EQ(icons.Image(1).pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_THROW(cursor.SaveToBytes(), EQuilvaneError);
}

TEST(PictureFormatsTest, AnimatedCursorWithoutRatesOrSequenceStepsThroughTheFrames) {
    // "rate" and "seq " renamed to chunks nobody reads; the header now counts 2 steps.
    QByteArray bytes = Patched(Fixture("cursor"), 28, "02000000");
    bytes = Patched(Patched(bytes, 56, "6A756E6B"), 76, "6A756E6B");
    TAnimatedCursorImage cursor;
    cursor.LoadFromBytes(bytes);
    EXPECT_EQ(cursor.Sequence(), (QList<std::uint32_t>{0, 1}));
    EXPECT_EQ(cursor.Rates(), (QList<std::uint32_t>{6, 6}));
}

class DamagedCursorTest : public testing::TestWithParam<TDamage> {};

TEST_P(DamagedCursorTest, RaisesItsFaultAndKeepsThePreviousCursor) {
    TAnimatedCursorImage cursor;
    cursor.LoadFromBytes(Fixture("cursor"));
    const QByteArray bytes = Patched(Fixture("cursor"), GetParam().Offset, GetParam().Bytes);
    const QString fault = FailureOf([&] { cursor.LoadFromBytes(bytes); });
    EXPECT_TRUE(fault.contains(QLatin1String(GetParam().Fault))) << fault.toStdString();
    EXPECT_EQ(cursor.Frames().size(), 2);
    EXPECT_EQ(cursor.Title(), QStringLiteral("Dots"));
}

INSTANTIATE_TEST_SUITE_P(
    PictureFormatsTest, DamagedCursorTest,
    testing::Values(TDamage{"RiffLengthPastTheEnd", 4, "2D010000", "does not match the file of 308"},
                    TDamage{"NotAnAnimatedCursor", 8, "41564920", "not a RIFF"},
                    TDamage{"HeaderChunkTooShort", 16, "23000000", "holds 35 bytes, not 36"},
                    TDamage{"NoHeader", 12, "6A756E6B", "before the \"anih\""},
                    TDamage{"HeaderCountsMoreFrames", 24, "03000000", "holds 2 frames, its header counts 3"},
                    TDamage{"HeaderCountsFewerFrames", 24, "01000000", "more frames than the 1"},
                    TDamage{"FrameCountBeyondTheFile", 24, "FFFFFFFF", "4294967295 frames cannot fit"},
                    TDamage{"NoSteps", 28, "00000000", "no steps"},
                    TDamage{"RatesForOtherSteps", 28, "04000000", "holds 12 bytes for 4 steps"},
                    TDamage{"FramesNotIcons", 52, "02000000", "not icons"},
                    TDamage{"TwoRateChunks", 76, "72617465", "two \"rate\""},
                    TDamage{"StepBeyondTheFrames", 92, "02000000", "step 3 shows frame 2 of 2"},
                    TDamage{"StepsWithoutSequence", 76, "6A756E6B", "3 steps without"},
                    TDamage{"FrameListPastTheEnd", 100, "00100000", "chunk \"LIST\" at offset 96 runs past"},
                    TDamage{"IconPastItsList", 112, "A0000000", "chunk \"icon\" at offset 108 runs past"},
                    TDamage{"FrameNotAnIcon", 116, "0100", "frame 1: not an icon"},
                    TDamage{"FrameImagePastItsIcon", 134, "17000000", "image 1 of the icon lies outside"},
                    TDamage{"FrameDirectoryPastItsIcon", 198, "0500", "directory of 5 images runs past"}),
    NameOfDamage);

TEST(PictureFormatsTest, IconListRoundTripsWithAnEmptyEntry) {
    TIconList icons;
    int changes = 0;
    icons.OnChange = [&] { ++changes; };
    icons.ReadData(Fixture("icon-list"));
    ASSERT_EQ(icons.Count(), 3);
    EXPECT_EQ(icons.Icon(0), Fixture("red-icon"));
    EXPECT_TRUE(icons.Icon(1).isEmpty());
    EXPECT_TRUE(icons.Image(1).isNull());
    EXPECT_EQ(icons.Image(2).pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(icons.WriteData(), Fixture("icon-list"));

    icons.Delete(0);
    icons.Insert(1, Fixture("red-icon"));
    EXPECT_EQ(icons.Icon(1), Fixture("red-icon"));
    EXPECT_THROW(icons.Add(Fixture("red-icon").left(69)), EPictureError);
    EXPECT_EQ(icons.Count(), 3);
    EXPECT_EQ(changes, 3);
}

class DamagedIconListTest : public testing::TestWithParam<TDamage> {};

TEST_P(DamagedIconListTest, RaisesItsFaultAndKeepsThePreviousList) {
    TIconList icons;
    icons.Add(QByteArray());
    const QByteArray bytes = Patched(Fixture("icon-list"), GetParam().Offset, GetParam().Bytes);
    const QString fault = FailureOf([&] { icons.ReadData(bytes); });
    EXPECT_TRUE(fault.contains(QLatin1String(GetParam().Fault))) << fault.toStdString();
    EXPECT_EQ(icons.Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    PictureFormatsTest, DamagedIconListTest,
    testing::Values(TDamage{"NegativeCount", 0, "FFFFFFFF", "a count of -1 does not fit the 152"},
                    TDamage{"CountBeyondTheData", 0, "27000000", "a count of 39 does not fit"},
                    TDamage{"NegativeSize", 4, "FFFFFFFF", "entry 1 claims -1 bytes where 148 remain"},
                    TDamage{"SizeBeyondTheData", 82, "47000000", "entry 3 claims 71 bytes where 70 remain"},
                    TDamage{"BytesAfterTheLastEntry", -1, "00", "1 bytes follow the last entry"},
                    TDamage{"EntryNotAnIcon", 10, "0300", "Icon list entry 1: not an icon"},
                    TDamage{"EntryWithoutImages", 90, "0000", "entry 3: the icon holds no image"}),
    NameOfDamage);

TEST(PictureFormatsTest, EveryTruncatedCursorOrIconListIsRefused) {
    const QByteArray cursor = Fixture("cursor"), list = Fixture("icon-list");
    for (qsizetype length = 0; length < cursor.size(); ++length)
        EXPECT_THROW(TAnimatedCursorImage().LoadFromBytes(cursor.left(length)), EPictureError) << length;
    for (qsizetype length = 0; length < list.size(); ++length)
        EXPECT_THROW(TIconList().ReadData(list.left(length)), EPictureError) << length;
}

class PictureFormatsRegistrationTest : public TServicesFixture {
protected:
    void TearDown() override {
        PictureFormats::Unregister();
        TServicesFixture::TearDown();
    }
};

TEST_F(PictureFormatsRegistrationTest, StartUpRegistersTheFormatsAndReportsMissingPlugins) {
    EXPECT_FALSE(PictureFormats::IsRegistered());
    EXPECT_EQ(PictureFormats::FileFormatDescription("gif"), QString());
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(PictureFormats::Register({"bmp", "ico", "png"}), (QStringList{"gif", "jpeg"}));
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Warning);
    EXPECT_EQ(Prompt->Shown[0].Text,
              "Pictures in the formats GIF, JPEG cannot be read: their image plugins are not installed.");
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});

    EXPECT_TRUE(PictureFormats::IsRegistered());
    for (const char* extension : {"gif", ".GIF", "Gif"})
        EXPECT_EQ(PictureFormats::FileFormatDescription(extension), "CompuServe GIF Image") << extension;
    EXPECT_EQ(PictureFormats::FileFormatDescription("ani"), QString());
    EXPECT_EQ(PictureFormats::FileFilter(), "CompuServe GIF Image (*.gif)");
    EXPECT_EQ(PictureFormats::ClipboardFormats(), (QStringList{"GIF Image", "QUILVANE Icon"}));

    // A second registration with every plugin there says nothing and registers nothing twice.
    EXPECT_EQ(PictureFormats::Register({"gif", "ico", "jpeg"}), QStringList());
    EXPECT_EQ(PictureFormats::FileFormats().size(), 1);
    EXPECT_EQ(Prompt->Shown.size(), 1);

    PictureFormats::Unregister();
    EXPECT_FALSE(PictureFormats::IsRegistered());
    EXPECT_EQ(PictureFormats::FileFilter(), QString());
    EXPECT_TRUE(PictureFormats::ClipboardFormats().isEmpty());
}

TEST_F(PictureFormatsRegistrationTest, OneMissingFormatIsNamedAlone) {
    EXPECT_EQ(PictureFormats::MissingFormatsText({"ico"}),
              "Pictures in the format ICO cannot be read: its image plugin is not installed.");
    EXPECT_EQ(PictureFormats::MissingFormatsText({}), QString());
}

TEST_F(PictureFormatsRegistrationTest, RegistrationLastsAsLongAsItsScope) {
    {
        // The plugins of this machine are all there: nothing is shown.
        const TPictureFormatsRegistration registration;
        EXPECT_TRUE(PictureFormats::IsRegistered());
    }
    EXPECT_FALSE(PictureFormats::IsRegistered());
}

TEST(PictureFormatsTest, IconsTravelOnTheClipboardInTheirOwnFormat) {
    QMimeData data;
    EXPECT_FALSE(PictureFormats::HasIcon(data));
    EXPECT_EQ(FailureOf([&] { PictureFormats::Icon(data); }), "The clipboard holds no icon.");
    // A damaged icon is refused before anything is put on the clipboard.
    EXPECT_THROW(PictureFormats::SetIcon(data, Fixture("red-icon").left(40)), EPictureError);
    EXPECT_TRUE(data.formats().isEmpty());

    PictureFormats::SetIcon(data, Fixture("red-icon"));
    EXPECT_EQ(data.data("application/x-qt-windows-mime;value=\"QUILVANE Icon\""), Fixture("red-icon"));
    EXPECT_EQ(data.data("image/vnd.microsoft.icon"), Fixture("red-icon"));
    EXPECT_EQ(qvariant_cast<QImage>(data.imageData()).pixelColor(0, 0), QColor(Qt::red));
    ASSERT_TRUE(PictureFormats::HasIcon(data));
    EXPECT_EQ(PictureFormats::Icon(data), Fixture("red-icon"));

    // Another program's icon, checked as it is taken.
    QMimeData other;
    other.setData("image/x-icon", Patched(Fixture("blue-icon"), 2, "0300"));
    ASSERT_TRUE(PictureFormats::HasIcon(other));
    EXPECT_EQ(FailureOf([&] { PictureFormats::Icon(other); }),
              "The icon on the clipboard: not an icon or cursor file");
}

} // namespace
