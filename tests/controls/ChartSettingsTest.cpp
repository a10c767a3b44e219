#include "controls/chart/ChartFX.h"
#include "controls/chart/ChartModel.h"
#include "controls/chart/ChartSettingsBlob.h"
#include "controls/chart/GraphFile.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QPercentBarSeries>
#include <QPieSeries>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>
#include <QtTest>
#include <bit>
#include <gtest/gtest.h>

namespace {

using Kind = TChartDataKind;

class ChartSettingsTest : public TServicesFixture {
protected:
    static void Load(TChartModel& model, int series, int points, const QList<double>& values) {
        ASSERT_TRUE(model.OpenData(Kind::Values, series, points));
        for (model.ThisSerie = 0; model.ThisSerie < series; ++model.ThisSerie)
            for (int point = 0; point < points; ++point)
                ASSERT_TRUE(model.SetValue(point, values[model.ThisSerie * points + point]));
        ASSERT_TRUE(model.CloseData(Kind::Values));
        model.ThisSerie = 0;
    }

    // Every setting away from what a new chart has.
    static void SetEverything(TChartModel& model) {
        Load(model, 2, 3, {1, 2, 3, 4, 5, 6});
        for (int i = 0; i < ChartGapCount; ++i)
            model.SetGap(i, 3 + i);
        model.SetRGBBarHorz(0x00102030);
        model.SetRGB2DBk(0x00405060);
        model.SetRGB3DBk(0x00708090);
        model.SetView3DDepth(-40);
        model.SetView3DLight(2);
        model.SetWallWidth(7);
        model.SetFixedGap(9);
        model.SetVertGridGap(11);
        model.SetMarkerSize(4);
        model.SetMarkerVolume(80);
        model.SetShape(0xABCDEF01);
        model.SetGrid(ChartGridBit::All);
        model.SetPointType(static_cast<int>(TChartPointType::Many));
        model.SetScheme(static_cast<int>(TChartScheme::Pattern));
        model.SetStacked(static_cast<int>(TChartStacked::Full));
        model.SetGalleryTool(0x3FFF);
        model.SetCustomTool(0xFFFFFFFF);
        model.SetDblClkDlg(static_cast<int>(TChartDialogMode::Dialog));
        model.SetRigClkDlg(static_cast<int>(TChartDialogMode::None));
        model.SetBorderStyle(TChartBorderStyle::Single);
        model.SetEngineFlags47(0x80000001);
        model.SetEngineFlags69(0x00FF00FF);
        model.SetSetting0E(Setting0EFirst, 0x7E);
        model.SetSetting0E(Setting0ESecond, 0xFFFFFFFE);
        for (int serie = 0; serie < 2; ++serie)
            for (TChartSeriesSetting family : {TChartSeriesSetting::Code55, TChartSeriesSetting::Code56,
                                               TChartSeriesSetting::Code6C, TChartSeriesSetting::Code68})
                model.SetSeriesSetting(family, serie,
                                       static_cast<std::uint32_t>(family) * 0x01010101u + serie);
        model.SetIndexedSetting(0, -1);
        model.SetIndexedSetting(MaxIndexedSetting, 70000);
        model.SetToolBar(true);
        model.SetPatternBar(true);
        model.SetChart3D(true);
    }

    QByteArray Golden(const char* block) const { return HexBlock(TestData("graphs/graph-files.hex"), block); }

    TChartModel Model;
};

// ---- Settings and their ranges ----------------------------------------------------------------

TEST_F(ChartSettingsTest, SettersKeepTheirRanges) {
    const struct {
        const char* Name;
        std::function<void(TChartModel&, int)> Set;
        std::function<int(const TChartModel&)> Get;
        int Lowest, Highest;
    } settings[] = {
        {"LeftGap", &TChartModel::SetLeftGap, &TChartModel::LeftGap, 0, MaxChartGap},
        {"BottomGap", &TChartModel::SetBottomGap, &TChartModel::BottomGap, 0, MaxChartGap},
        {"MarkerSize", &TChartModel::SetMarkerSize, &TChartModel::MarkerSize, 1, MaxMarkerSize},
        {"MarkerVolume", &TChartModel::SetMarkerVolume, &TChartModel::MarkerVolume, 1, MaxMarkerVolume},
        {"Grid", &TChartModel::SetGrid, &TChartModel::Grid, 0, 7},
        {"PointType", &TChartModel::SetPointType, &TChartModel::PointType, 0, 6},
        {"Scheme", &TChartModel::SetScheme, &TChartModel::Scheme, 0, 2},
        {"Stacked", &TChartModel::SetStacked, &TChartModel::Stacked, 0, 2},
        {"DblClkDlg", &TChartModel::SetDblClkDlg, &TChartModel::DblClkDlg, 0, 2},
        {"RigClkDlg", &TChartModel::SetRigClkDlg, &TChartModel::RigClkDlg, 0, 2},
    };
    for (const auto& setting : settings) {
        SCOPED_TRACE(setting.Name);
        TChartModel model;
        setting.Set(model, setting.Highest);
        EXPECT_EQ(setting.Get(model), setting.Highest);
        setting.Set(model, setting.Lowest);
        EXPECT_EQ(setting.Get(model), setting.Lowest);
        setting.Set(model, setting.Highest + 1);
        setting.Set(model, setting.Lowest - 1);
        EXPECT_EQ(setting.Get(model), setting.Lowest);
    }
    Model.SetGap(ChartGapCount, 5);
    Model.SetGap(-1, 5);
    EXPECT_EQ(Model.GetGap(ChartGapCount), 0);
    EXPECT_EQ(Model.Shown(), TChartContent{});
}

TEST_F(ChartSettingsTest, ColoursPassTheDefaultUnchangedAndKeepTheirRGB) {
    const struct {
        std::function<void(TChartModel&, std::uint32_t)> Set;
        std::function<std::uint32_t(const TChartModel&)> Get;
    } colours[] = {{&TChartModel::SetRGBBk, &TChartModel::RGBBk},
                   {&TChartModel::SetRGBBarHorz, &TChartModel::RGBBarHorz},
                   {&TChartModel::SetRGB2DBk, &TChartModel::RGB2DBk},
                   {&TChartModel::SetRGB3DBk, &TChartModel::RGB3DBk}};
    for (const auto& colour : colours) {
        TChartModel model;
        colour.Set(model, 0x00123456);
        EXPECT_EQ(colour.Get(model), 0x00123456u);
        colour.Set(model, 0x80000000);
        EXPECT_EQ(colour.Get(model), 0x80000000u);
        colour.Set(model, 0xFF0000FF);
        EXPECT_EQ(colour.Get(model), 0x000000FFu);
        colour.Set(model, 0x80000005);
        EXPECT_EQ(colour.Get(model), 0x00000005u);
    }
}

TEST_F(ChartSettingsTest, TypeBitsAndFontsHaveNamedAccessors) {
    Model.SetToolBar(true);
    Model.SetPaletteBar(true);
    Model.SetPatternBar(true);
    Model.SetChart3D(true);
    EXPECT_EQ(Model.Type(),
              static_cast<std::uint32_t>(TChartGallery::Bar) | 0x100u | 0x400u | 0x800u | 0x100000u);
    Model.SetPaletteBar(false);
    EXPECT_TRUE(Model.ToolBar() && !Model.PaletteBar() && Model.PatternBar() && Model.Chart3D());
    EXPECT_EQ(Model.ChartType(), static_cast<int>(TChartGallery::Bar));

    const TChartFont courier{"Courier New", 9, false, true, false, false, 0xFF00FF00};
    Model.SetYLegFont(courier);
    EXPECT_EQ(Model.FontWord(5), 0x00020209u);
    EXPECT_EQ(Model.FontColour(5), 0x0000FF00u);
    TChartFont expected = courier;
    expected.Colour = 0x0000FF00;
    EXPECT_EQ(Model.YLegFont(), expected);
    Model.SetFont(9, 0x0008000C, 0x00FF0000);
    EXPECT_EQ(Model.PointFont(), (TChartFont{"Times", 12, false, false, false, false, 0x00FF0000}));
    EXPECT_EQ(Model.LeftFont(), TChartFont{});
}

TEST_F(ChartSettingsTest, EngineSettingsAreKept) {
    EXPECT_FALSE(Model.SetIndexedSetting(-1, 5));
    EXPECT_FALSE(Model.SetIndexedSetting(MaxIndexedSetting + 1, 5));
    EXPECT_TRUE(Model.SetIndexedSetting(7, 5));
    EXPECT_EQ(Model.GetIndexedSetting(7), 5);
    EXPECT_TRUE(Model.SetIndexedSetting(7, 0));
    EXPECT_TRUE(Model.Shown().Settings.Indexed.isEmpty());

    EXPECT_FALSE(Model.SetSetting0E(0, 1));
    EXPECT_TRUE(Model.SetSetting0E(Setting0ESecond, 0xF0));
    EXPECT_EQ(std::pair(Model.GetSetting0E(Setting0EFirst), Model.GetSetting0E(Setting0ESecond)),
              std::pair(0u, 0xF0u));

    // Per-series settings exist for the series shown.
    EXPECT_FALSE(Model.SetSeriesSetting(TChartSeriesSetting::Code55, 0, 1));
    Load(Model, 2, 1, {1, 2});
    EXPECT_TRUE(Model.SetSeriesSetting(TChartSeriesSetting::Code6C, 1, 9));
    EXPECT_FALSE(Model.SetSeriesSetting(TChartSeriesSetting::Code6C, 2, 9));
    EXPECT_EQ(Model.GetSeriesSetting(TChartSeriesSetting::Code6C, 1), 9u);
    EXPECT_EQ(Model.GetSeriesSetting(TChartSeriesSetting::Code55, 1), 0u);
    EXPECT_EQ(Model.GetSeriesSetting(TChartSeriesSetting::Code6C, 2), 0u);

    Model.SetEventText(QString(300, 'e'));
    EXPECT_EQ(Model.GetEventText().size(), MaxEventTextLength);
}

// The series count written at run time sizes only the cache and the per-series settings; what is
// shown keeps its size until the next value block.
TEST_F(ChartSettingsTest, NSeriesAtRunTimeChangesOnlyTheCache) {
    EXPECT_EQ(std::pair(Model.CachedNSeries(), Model.CachedNValues()), std::pair(2, 4));
    Load(Model, 2, 2, {1, 2, 3, 4});
    Model.SetNSeries(3);
    Model.SetNValues(5);
    EXPECT_EQ(Model.CachedNSeries(), 3);
    EXPECT_EQ(Model.Shown().Series, 2);
    EXPECT_EQ(Model.Shown().Values.size(), 4);
    EXPECT_EQ(Model.Shown().Settings.PerSeries.size(), 3);
    EXPECT_TRUE(Model.SetSeriesSetting(TChartSeriesSetting::Code68, 2, 1));
    EXPECT_FALSE(Model.SetSeriesLegend(2, "Third"));
    // Reading the counts answers what is shown and refreshes the caches.
    EXPECT_EQ(std::pair(Model.NSeries(), Model.NValues()), std::pair(2, 2));
    EXPECT_EQ(std::pair(Model.CachedNSeries(), Model.CachedNValues()), std::pair(2, 2));
    Load(Model, 3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Model.NSeries(), 3);
    EXPECT_TRUE(Model.SetSeriesLegend(2, "Third"));
    Model.SetNSeries(-1);
    EXPECT_EQ(Model.CachedNSeries(), 3);
}

TEST_F(ChartSettingsTest, SampleValuesFillTheCachedCountsWithinTheAxis) {
    Model.SetAxisScale(0, 10);
    Model.SetAxisScale(1, 10); // not above the minimum: a range of 100
    Model.SetNSeries(3);
    Model.SetNValues(5);
    Model.FillSampleValues();
    ASSERT_EQ(std::pair(Model.Shown().Series, Model.Shown().Points), std::pair(3, 5));
    for (double value : Model.Shown().Values) {
        EXPECT_GE(value, 10.0);
        EXPECT_LT(value, 110.0);
        EXPECT_EQ(value, std::floor(value));
    }
}

TEST_F(ChartSettingsTest, StackedBarsAndAreasWidenTheAxisToTheirSums) {
    Load(Model, 3, 2, {100, -30, 150, -40, 60, 20});
    EXPECT_EQ(std::pair(Model.GetAxisScale(0), Model.GetAxisScale(1)), std::pair(-40.0, 200.0));
    Model.SetStacked(static_cast<int>(TChartStacked::Normal));
    EXPECT_EQ(std::pair(Model.GetAxisScale(0), Model.GetAxisScale(1)), std::pair(-100.0, 400.0));
    Model.SetChartType(static_cast<int>(TChartGallery::Line)); // lines never stack
    EXPECT_EQ(Model.GetAxisScale(1), 200.0);
    Model.SetChartType(static_cast<int>(TChartGallery::Area));
    Model.SetStacked(static_cast<int>(TChartStacked::Full));
    EXPECT_EQ(std::pair(Model.GetAxisScale(0), Model.GetAxisScale(1)), std::pair(0.0, 100.0));
    Model.SetAxisScale(1, 150);
    EXPECT_EQ(Model.GetAxisScale(1), 150.0);
}

// ---- The blob format --------------------------------------------------------------------------

TEST_F(ChartSettingsTest, BlobWritesZeroBytesAsDashesWithTheirMask) {
    const struct {
        const char* Name;
        std::function<void(TChartSettingsBlob&)> Append;
        QByteArray Written;
    } cases[] = {
        {"word without zeros", [](auto& blob) { blob.AppendWord(0x44332211); }, Hex("11 22 33 44 20")},
        {"word with zeros", [](auto& blob) { blob.AppendWord(0x00012300); }, Hex("2D 23 01 2D 29")},
        {"word 0", [](auto& blob) { blob.AppendWord(0); }, Hex("2D 2D 2D 2D 2F")},
        {"word holding a dash", [](auto& blob) { blob.AppendWord(0x2D); }, Hex("2D 2D 2D 2D 2E")},
        {"double 1.0", [](auto& blob) { blob.AppendDouble(1.0); }, Hex("2D 2D 2D 2D 2D 2D F0 3F 3F 02")},
        {"double 0.0", [](auto& blob) { blob.AppendDouble(0.0); }, Hex("2D 2D 2D 2D 2D 2D 2D 2D FF 02")},
        {"double byte 5 zero",
         [](auto& blob) { blob.AppendDouble(std::bit_cast<double>(0x0102000304050607ull)); },
         Hex("07 06 05 04 03 2D 02 01 20 02")},
        {"double without zeros",
         [](auto& blob) { blob.AppendDouble(std::bit_cast<double>(0x400921FB54442D18ull)); },
         Hex("18 2D 44 54 FB 21 09 40 20 01")},
        {"text", [](auto& blob) { blob.AppendText(QString::fromUtf8("Caf\u00e9")); }, Hex("05 43 61 66 E9")},
        {"empty text", [](auto& blob) { blob.AppendText(QString()); }, Hex("01")},
    };
    for (const auto& value : cases) {
        SCOPED_TRACE(value.Name);
        TChartSettingsBlob blob(2);
        value.Append(blob);
        EXPECT_EQ(blob.Text().toHex(' '), (QByteArray("Res\x02") + value.Written).toHex(' '));
        EXPECT_FALSE(blob.Text().contains('\0'));
    }
    TChartSettingsBlob blob(4);
    blob.AppendText(QString(300, 'x'));
    EXPECT_EQ(static_cast<std::uint8_t>(blob.Text()[4]), 255);
    EXPECT_EQ(blob.Text().size(), 5 + TChartSettingsBlob::MaxTextLength);
}

TEST_F(ChartSettingsTest, BlobReadsBackWhatItWroteAndRefusesWhatItCannotHaveWritten) {
    const double doubles[] = {1.0, -0.0, 0.0, std::bit_cast<double>(0x0102000304050607ull), 3.14159, 1e-300};
    TChartSettingsBlob written(1);
    for (double value : doubles)
        written.AppendDouble(value);
    written.AppendWord(0x2D00002D);
    written.AppendText("Title");
    TChartSettingsBlob read(1, written.Text());
    ASSERT_TRUE(read.Valid());
    for (double value : doubles)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read.ReadDouble().value()),
                  std::bit_cast<std::uint64_t>(value));
    EXPECT_EQ(read.ReadWord(), 0x2D00002Du);
    EXPECT_EQ(read.ReadText(), QString("Title"));
    EXPECT_TRUE(read.AtEnd());
    EXPECT_FALSE(read.ReadWord().has_value());

    EXPECT_FALSE(TChartSettingsBlob(1, "Res\x02").Valid());
    EXPECT_FALSE(TChartSettingsBlob(1, "res\x01").Valid());
    EXPECT_FALSE(TChartSettingsBlob(1, "Res").Valid());
    const struct {
        const char* Name;
        QByteArray Bytes;
        bool IsDouble;
    } bad[] = {
        {"mask below 0x20", Hex("11 22 33 44 1F"), false},
        {"mask above 0x2F", Hex("11 22 33 44 30"), false},
        {"masked byte not a dash", Hex("2D 22 33 44 22"), false},
        {"short word", Hex("11 22 33"), false},
        {"double marker 3", Hex("11 22 33 44 55 66 77 08 20 03"), true},
        {"no zeros but a mask", Hex("11 22 33 44 55 66 77 08 01 01"), true},
        {"zeros but an empty mask", Hex("11 22 33 44 55 66 77 08 00 02"), true},
        {"blank mask names byte 5, not a dash", Hex("11 22 33 44 55 66 77 08 20 02"), true},
        {"mask names a byte that is not a dash", Hex("2D 22 33 44 55 66 77 08 03 02"), true},
    };
    for (const auto& value : bad) {
        SCOPED_TRACE(value.Name);
        TChartSettingsBlob blob(1, "Res\x01" + value.Bytes);
        ASSERT_TRUE(blob.Valid());
        EXPECT_FALSE(value.IsDouble ? blob.ReadDouble().has_value() : blob.ReadWord().has_value());
        EXPECT_FALSE(blob.Valid());
    }
    TChartSettingsBlob text(4, Hex("52 65 73 04 09 41 42"));
    EXPECT_FALSE(text.ReadText().has_value());
}

// ---- The four blobs of a chart ----------------------------------------------------------------

TEST_F(ChartSettingsTest, BlobsCarryTheirSettingsToAnotherChart) {
    SetEverything(Model);
    Model.SetAxisScale(5, 1.0); // a Double whose bytes are mostly zero
    Model.SetAxisScale(16, -2.5e-10);
    for (int serie = 0; serie < 2; ++serie) {
        Model.ThisSerie = serie;
        Model.SetThisColor(0x00000100 * (serie + 1));
        Model.SetThisBkColor(0x00FF0000);
    }
    for (int i = 0; i < ChartTitleCount; ++i)
        Model.SetTitle(i, QString("Title %1").arg(i));
    Model.SetFont(3, 0x0001010A, 0x00123400);

    TChartModel copy;
    Load(copy, 2, 3, {0, 0, 0, 0, 0, 0});
    for (int number = 1; number <= 4; ++number) {
        SCOPED_TRACE(number);
        EXPECT_TRUE(copy.SetzzzReserved(number, Model.zzzReserved(number)));
        EXPECT_EQ(copy.zzzReserved(number), Model.zzzReserved(number));
    }
    for (int serie = 0; serie < 2; ++serie)
        for (TChartSeriesSetting family : {TChartSeriesSetting::Code55, TChartSeriesSetting::Code56,
                                           TChartSeriesSetting::Code6C, TChartSeriesSetting::Code68})
            EXPECT_EQ(copy.GetSeriesSetting(family, serie), Model.GetSeriesSetting(family, serie));
    for (int i = 0; i < AxisScaleCount; ++i)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(copy.GetAxisScale(i)),
                  std::bit_cast<std::uint64_t>(Model.GetAxisScale(i)))
            << i;
    EXPECT_EQ(copy.GalleryTool(), 0x3FFFu);
    EXPECT_EQ(copy.GetSetting0E(Setting0EFirst), 0x7Eu);
    EXPECT_EQ(copy.GetSetting0E(Setting0ESecond), 0xFFFFFFFEu);
    EXPECT_EQ(copy.Shape(), 0xABCDEF01u);
    for (int i = 0; i < BlobColourCount; ++i)
        EXPECT_EQ(copy.ColourPair(i), Model.ColourPair(i)) << i;
    EXPECT_EQ(copy.Shown().Titles, Model.Shown().Titles);
    EXPECT_EQ(copy.Shown().FontWords, Model.Shown().FontWords);
    EXPECT_EQ(copy.Shown().FontColours, Model.Shown().FontColours);
    // What the blobs do not carry stays as it was.
    EXPECT_EQ(copy.MarkerSize(), DefaultMarkerSize);
    EXPECT_EQ(copy.CustomTool(), 0u);
}

TEST_F(ChartSettingsTest, ABlobReadAndWrittenAgainChangesNothing) {
    SetEverything(Model);
    Model.SetAxisScale(3, std::bit_cast<double>(0x0000000100000000ull));
    const TChartContent before = Model.Shown();
    for (int number = 1; number <= 4; ++number) {
        SCOPED_TRACE(number);
        const QByteArray blob = Model.zzzReserved(number);
        EXPECT_TRUE(Model.SetzzzReserved(number, blob));
        EXPECT_EQ(Model.zzzReserved(number), blob);
        EXPECT_EQ(Model.Shown(), before);
    }
    EXPECT_EQ(std::bit_cast<std::uint64_t>(Model.GetAxisScale(3)), 0x0000000100000000ull);
}

TEST_F(ChartSettingsTest, BlobsOfAnotherNumberOrDamagedChangeNothing) {
    TChartModel source;
    SetEverything(source);
    SetEverything(Model);
    Model.SetShape(1);
    Model.SetTitle(0, "Kept");
    const TChartContent before = Model.Shown();
    const QByteArray second = source.zzzReserved(2);
    QByteArray asThird = second;
    asThird[3] = '\x03';
    const struct {
        const char* Name;
        int Number;
        QByteArray Text;
    } cases[] = {
        {"blob 2 written as number 3", 2, asThird},
        {"blob 3 written into 2", 2, source.zzzReserved(3)},
        {"no Res", 2, "Xes" + second.mid(3)},
        {"empty", 2, QByteArray()},
        {"one byte short", 2, second.chopped(1)},
        {"one byte over", 2, second + 'x'},
        {"a broken mask", 2, second.left(second.size() - 1) + '\x10'},
        {"titles cut short", 4, source.zzzReserved(4).left(20)},
        {"blob 1 not whole series", 1, source.zzzReserved(1) + "12345"},
        {"blob 3 too short for its colours", 3, source.zzzReserved(3).left(100)},
        {"blob 5", 5, "Res\x05"},
        {"blob 0", 0, "Res"},
    };
    for (const auto& blob : cases) {
        SCOPED_TRACE(blob.Name);
        EXPECT_FALSE(Model.SetzzzReserved(blob.Number, blob.Text));
        EXPECT_EQ(Model.Shown(), before);
    }
    EXPECT_FALSE(Model.SetzzzReserved2(asThird));
    EXPECT_EQ(Model.Shape(), 1u);
    EXPECT_EQ(Model.zzzReserved(5), QByteArray());
}

TEST_F(ChartSettingsTest, BlobContentsFollowTheirLayout) {
    Load(Model, 1, 1, {5});
    Model.SetSeriesSetting(TChartSeriesSetting::Code55, 0, 0x01020304);
    Model.SetSeriesSetting(TChartSeriesSetting::Code56, 0, 0);
    Model.SetSeriesSetting(TChartSeriesSetting::Code6C, 0, 0xFF);
    EXPECT_EQ(Model.zzzReserved1().toHex(' '),
              Hex("52 65 73 01  04 03 02 01 20  2D 2D 2D 2D 2F  FF 2D 2D 2D 2E").toHex(' '));

    // Blob 2: 17 Doubles, then the gallery buttons, setting 0E's first word cut to 7 bits, its
    // second, and Shape.
    Model.SetSetting0E(Setting0EFirst, 0xFFFFFFFF);
    const QByteArray second = Model.zzzReserved2();
    ASSERT_EQ(second.size(), 4 + 17 * 10 + 4 * 5);
    EXPECT_EQ(second.mid(4 + 17 * 10 + 5, 5).toHex(' '), Hex("7F 2D 2D 2D 2E").toHex(' '));

    // Blob 4: titles as texts of at most 25 characters when they come back.
    Model.SetTitle(2, QString(40, 'T'));
    const QByteArray fourth = Model.zzzReserved4();
    EXPECT_EQ(fourth.mid(4, 4).toHex(' '), Hex("01 01 29 54").toHex(' '));
    TChartModel copy;
    ASSERT_TRUE(copy.SetzzzReserved4(fourth));
    EXPECT_EQ(copy.GetTitle(2), QString(25, 'T'));
}

// ---- Graph files of version 2 -----------------------------------------------------------------

TEST_F(ChartSettingsTest, EverySettingSurvivesAGraphFile) {
    SetEverything(Model);
    ASSERT_EQ(Model.Export(3, TempPath("settings.qvg")), 0);
    TChartModel loaded;
    ASSERT_EQ(loaded.Import(3, TempPath("settings.qvg")), 0);
    EXPECT_EQ(loaded.Shown(), Model.Shown());
    EXPECT_NE(loaded.Shown().Settings, TChartSettings{});
    EXPECT_EQ(loaded.GetIndexedSetting(MaxIndexedSetting), 70000);
    EXPECT_EQ(loaded.BorderStyle(), TChartBorderStyle::Single);
    EXPECT_EQ(loaded.View3DDepth(), -40);
    EXPECT_TRUE(loaded.ToolBar() && loaded.PatternBar() && loaded.Chart3D());
}

TEST_F(ChartSettingsTest, GraphFilesWithSettingsOutOfRangeAreDamaged) {
    const QByteArray good = Golden("small-v2");
    ASSERT_FALSE(good.isEmpty());
    const struct {
        const char* Name;
        QByteArray From, To;
    } cases[] = {
        {"gap over the limit", Hex("02 05 02 14"), Hex("03 E9 03 02 14")},
        {"negative gap", Hex("02 05 02 14"), Hex("02 FF 02 14")},
        {"marker size 0", Hex("02 08 02 32"), Hex("02 00 02 32")},
        {"marker volume 101", Hex("02 08 02 32"), Hex("02 08 02 65")},
        {"grid 8", Hex("02 32 02 00 02 01"), Hex("02 32 02 00 02 08")},
        {"stacked 3", Hex("02 00 02 00 02 01 02 00"), Hex("02 00 02 00 02 03 02 00")},
        {"dialog mode 3", Hex("02 02 02 00 02 01"), Hex("02 03 02 00 02 01")},
        {"border style 2", Hex("02 02 02 00 02 01"), Hex("02 02 02 00 02 02")},
        {"indexed 256", Hex("02 03 03 E8 03"), Hex("03 00 01 03 E8 03")},
        {"indexed value 0", Hex("02 03 03 E8 03"), Hex("02 03 02 00")},
        {"indexed twice", Hex("02 03 03 E8 03"), Hex("02 03 03 E8 03 02 03 02 01")},
        {"a setting missing", Hex("04 78 56 34 12 00"), Hex("00")},
        {"a setting too many", Hex("04 78 56 34 12 00"), Hex("04 78 56 34 12 02 00 00")},
        {"per-series record cut", Hex("02 07 00"), Hex("00")},
    };
    for (const auto& patch : cases) {
        SCOPED_TRACE(patch.Name);
        ASSERT_EQ(good.count(patch.From), 1);
        QByteArray bytes = good;
        bytes.replace(patch.From, patch.To);
        const QString path = TempPath(QString(patch.Name) + ".qvg");
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(Model.Import(3, path), -1);
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_TRUE(Prompt->Shown[0].Text.contains("is damaged (")) << Prompt->Shown[0].Text.toStdString();
        EXPECT_EQ(Model.Shown(), TChartContent{});
    }
}

// ---- The control ------------------------------------------------------------------------------

class ChartSettingsViewTest : public ChartSettingsTest {
protected:
    void SetUp() override {
        ChartSettingsTest::SetUp();
        Chart.resize(640, 480);
        Chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Chart));
        TChartModel& model = Chart.Model();
        Load(model, 2, 3, {10, 20, 30, 60, 50, 40});
        for (int index : {0, 1, 2})
            model.SetAxisScale(index, QList<double>{0, 100, 20}[index]);
    }

    QChart* Shown(TChartGallery gallery) {
        Chart.Model().SetChartType(static_cast<int>(gallery));
        Chart.Refresh();
        return Chart.View()->chart();
    }

    template <typename TAxis> TAxis* Axis(Qt::Orientation orientation) {
        return qobject_cast<TAxis*>(Chart.View()->chart()->axes(orientation).value(0));
    }

    QPoint WhereDrawn(double x, double y) const {
        QChart* chart = Chart.View()->chart();
        const QPointF at = chart->mapToPosition(QPointF(x, y), chart->series().first());
        return Chart.View()->mapFromScene(chart->mapToScene(at));
    }

    TChartFX Chart;
};

TEST_F(ChartSettingsViewTest, ANewChartDrawsAsQtChartsDoes) {
    QChart plain;
    EXPECT_EQ(plain.margins(), QMargins(DefaultChartGap, DefaultChartGap, DefaultChartGap, DefaultChartGap));
    QScatterSeries scatter;
    EXPECT_EQ(scatter.markerSize(), DefaultMarkerSize);
    QChart* chart = Shown(TChartGallery::Bar);
    EXPECT_EQ(chart->margins(), plain.margins());
    EXPECT_TRUE(Axis<QValueAxis>(Qt::Vertical)->isGridLineVisible());
    EXPECT_TRUE(Axis<QBarCategoryAxis>(Qt::Horizontal)->isGridLineVisible());
    EXPECT_FALSE(chart->isPlotAreaBackgroundVisible());
    EXPECT_FALSE(Axis<QValueAxis>(Qt::Vertical)->shadesVisible());
    EXPECT_EQ(Chart.View()->frameShape(), QFrame::NoFrame);
}

TEST_F(ChartSettingsViewTest, GapsGridColoursAndBorderAreDrawn) {
    TChartModel& model = Chart.Model();
    model.SetLeftGap(1);
    model.SetRightGap(2);
    model.SetTopGap(3);
    model.SetBottomGap(4);
    model.SetGrid(ChartGridBit::Vertical);
    model.SetRGB2DBk(0x000000FF);
    model.SetRGBBarHorz(0x0000FF00);
    model.SetBorderStyle(TChartBorderStyle::Single);
    QChart* chart = Shown(TChartGallery::Line);
    EXPECT_EQ(chart->margins(), QMargins(1, 3, 2, 4));
    auto* values = Axis<QValueAxis>(Qt::Vertical);
    EXPECT_FALSE(values->isGridLineVisible());
    EXPECT_TRUE(Axis<QBarCategoryAxis>(Qt::Horizontal)->isGridLineVisible());
    EXPECT_TRUE(chart->isPlotAreaBackgroundVisible());
    EXPECT_EQ(chart->plotAreaBackgroundBrush().color(), QColor(255, 0, 0));
    EXPECT_TRUE(values->shadesVisible());
    EXPECT_EQ(values->shadesBrush().color(), QColor(0, 255, 0));
    EXPECT_EQ(Chart.View()->frameShape(), QFrame::Box);
    model.SetGrid(ChartGridBit::Horizontal | 4);
    Shown(TChartGallery::Line);
    EXPECT_TRUE(Axis<QValueAxis>(Qt::Vertical)->isGridLineVisible());
    EXPECT_FALSE(Axis<QBarCategoryAxis>(Qt::Horizontal)->isGridLineVisible());
}

TEST_F(ChartSettingsViewTest, StackingChoosesTheBarSeries) {
    Chart.Model().SetMarkerVolume(80);
    Chart.Model().SetStacked(static_cast<int>(TChartStacked::Normal));
    auto* stacked = qobject_cast<QStackedBarSeries*>(Shown(TChartGallery::Bar)->series().value(0));
    ASSERT_NE(stacked, nullptr);
    EXPECT_DOUBLE_EQ(stacked->barWidth(), 0.8);
    // Series 0 from 0 to 10, series 1 from 10 to 70 at point 0.
    EXPECT_EQ(Chart.PointAt(WhereDrawn(0, 5)), qMakePair(0, 0));
    EXPECT_EQ(Chart.PointAt(WhereDrawn(0, 50)), qMakePair(1, 0));
    EXPECT_EQ(Chart.PointAt(WhereDrawn(0, 90)), qMakePair(-1, 0));
    EXPECT_EQ(Chart.PointAt(WhereDrawn(0.45, 5)), qMakePair(-1, 0));
    Chart.Model().SetStacked(static_cast<int>(TChartStacked::Full));
    EXPECT_NE(qobject_cast<QPercentBarSeries*>(Shown(TChartGallery::Pareto)->series().value(0)), nullptr);

    // Stacked areas run from the series below to their own sum.
    Chart.Model().SetStacked(static_cast<int>(TChartStacked::Normal));
    QChart* chart = Shown(TChartGallery::Area);
    auto* upper = qobject_cast<QAreaSeries*>(chart->series().value(1));
    ASSERT_TRUE(upper && upper->lowerSeries());
    EXPECT_EQ(upper->upperSeries()->at(0), QPointF(0, 70));
    EXPECT_EQ(upper->lowerSeries()->at(0), QPointF(0, 10));
    // Lines are never stacked.
    chart = Shown(TChartGallery::Line);
    EXPECT_EQ(qobject_cast<QXYSeries*>(chart->series().value(1))->at(0), QPointF(0, 60));
}

TEST_F(ChartSettingsViewTest, MarkersFollowSizeAndPointType) {
    TChartModel& model = Chart.Model();
    model.SetMarkerSize(9);
    QChart* chart = Shown(TChartGallery::Scatter);
    auto* scatter = qobject_cast<QScatterSeries*>(chart->series().value(0));
    ASSERT_NE(scatter, nullptr);
    EXPECT_EQ(scatter->markerSize(), 9.0);
    EXPECT_EQ(scatter->markerShape(), QScatterSeries::MarkerShapeCircle);
    chart = Shown(TChartGallery::Line);
    EXPECT_FALSE(qobject_cast<QXYSeries*>(chart->series().value(0))->pointsVisible());

    model.SetPointType(static_cast<int>(TChartPointType::Many));
    chart = Shown(TChartGallery::Mark);
    EXPECT_EQ(qobject_cast<QScatterSeries*>(chart->series().value(0))->markerShape(),
              QScatterSeries::MarkerShapeRectangle);
    EXPECT_EQ(qobject_cast<QScatterSeries*>(chart->series().value(1))->markerShape(),
              QScatterSeries::MarkerShapeCircle);
    model.SetPointType(static_cast<int>(TChartPointType::Triangle));
    chart = Shown(TChartGallery::Spline);
    auto* line = qobject_cast<QXYSeries*>(chart->series().value(1));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->pointsVisible());
    EXPECT_EQ(line->lightMarker().size(), QSize(9, 9));
    // A triangle: the marker's corners are empty, its middle in the series' colour.
    EXPECT_EQ(qAlpha(line->lightMarker().pixel(0, 0)), 0);
    EXPECT_EQ(QColor(line->lightMarker().pixel(4, 5)).rgb(), line->color().rgb());
}

TEST_F(ChartSettingsViewTest, SchemesFillWithPatterns) {
    TChartModel& model = Chart.Model();
    model.SetScheme(static_cast<int>(TChartScheme::Pattern));
    model.OpenData(Kind::Colours, 2);
    model.SetColour(1, 0x000000FF, false);
    model.CloseData(Kind::Colours);
    auto* bars = qobject_cast<QAbstractBarSeries*>(Shown(TChartGallery::Bar)->series().value(0));
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets()[0]->brush().style(), Qt::BDiagPattern);
    EXPECT_EQ(bars->barSets()[1]->brush().style(), Qt::FDiagPattern);
    EXPECT_EQ(bars->barSets()[1]->brush().color(), QColor(255, 0, 0));
    model.SetScheme(static_cast<int>(TChartScheme::BWPattern));
    auto* pie = qobject_cast<QPieSeries*>(Shown(TChartGallery::Pie)->series().value(0));
    ASSERT_NE(pie, nullptr);
    EXPECT_EQ(pie->slices()[2]->brush().style(), Qt::DiagCrossPattern);
    EXPECT_EQ(pie->slices()[2]->brush().color(), QColor(Qt::black));
    model.SetScheme(static_cast<int>(TChartScheme::Solid));
    auto* area = qobject_cast<QAreaSeries*>(Shown(TChartGallery::Area)->series().value(1));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->brush().style(), Qt::SolidPattern);
    EXPECT_EQ(area->brush().color(), QColor(255, 0, 0));
}

TEST_F(ChartSettingsViewTest, FontsOfTheTextElementsAreDrawn) {
    TChartModel& model = Chart.Model();
    model.SetLeftFont({"Courier", 11, true, false, false, false, 0x000000FF});
    model.SetXLegFont({"Times", 7, false, true});
    model.SetLegendFont({"Helvetica", 13, false, false, true});
    model.SetType(model.Type() | ChartTypeBit::Legend);
    QChart* chart = Shown(TChartGallery::Line);
    auto* values = Axis<QValueAxis>(Qt::Vertical);
    EXPECT_EQ(values->titleFont().family(), QString("Courier"));
    EXPECT_EQ(values->titleFont().pointSize(), 11);
    EXPECT_TRUE(values->titleFont().bold());
    EXPECT_EQ(values->titleBrush().color(), QColor(255, 0, 0));
    auto* points = Axis<QBarCategoryAxis>(Qt::Horizontal);
    EXPECT_EQ(points->labelsFont().pointSize(), 7);
    EXPECT_TRUE(points->labelsFont().italic());
    EXPECT_EQ(chart->legend()->font().pointSize(), 13);
    EXPECT_TRUE(chart->legend()->font().underline());
    // A font word of 0 keeps the chart's own font.
    EXPECT_EQ(values->labelsFont(), QValueAxis().labelsFont());
}

// ---- Events -------------------------------------------------------------------------------------

TEST_F(ChartSettingsViewTest, DoubleClickDialogChangesTheValueUnlessAHandlerRefuses) {
    TChartModel& model = Chart.Model();
    model.SetDblClkDlg(static_cast<int>(TChartDialogMode::Dialog));
    model.SetSeriesLegend(1, "Bank");
    model.SetDecimals(1);
    Shown(TChartGallery::Line);
    QStringList asked;
    double answer = 45.5;
    Chart.AskValue = [&](const QString& text, double value, int decimals) -> std::optional<double> {
        asked << QString("%1 | %2 | %3").arg(text).arg(value).arg(decimals);
        return answer;
    };
    QList<QVariantList> changes;
    int refuse = 0;
    QObject::connect(&Chart, &TChartFX::ChangeValue, [&](double value, int serie, int point, int& nRes) {
        changes.append({value, serie, point});
        nRes = refuse;
    });
    const QPoint at = WhereDrawn(2, 40); // series 1, point 2
    QTest::mouseDClick(Chart.View()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(asked, QStringList{"Bank, 3: 40.0 | 40 | 1"});
    EXPECT_EQ(changes, QList<QVariantList>{QVariantList({45.5, 1, 2})});
    model.ThisSerie = 1;
    EXPECT_EQ(model.GetValue(2), 45.5);

    refuse = 1;
    answer = 99;
    Chart.Refresh();
    QTest::mouseDClick(Chart.View()->viewport(), Qt::LeftButton, {}, WhereDrawn(2, 45.5));
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[1], QVariantList({99.0, 1, 2}));
    EXPECT_EQ(model.GetValue(2), 45.5);

    // A double-click handler that answers keeps the dialog away.
    QObject::connect(&Chart, &TChartFX::LButtonDblClk, [](int, int, int, int, int& nRes) { nRes = 1; });
    QTest::mouseDClick(Chart.View()->viewport(), Qt::LeftButton, {}, WhereDrawn(2, 45.5));
    EXPECT_EQ(asked.size(), 2);
}

TEST_F(ChartSettingsViewTest, RightClickShowsTheBalloonOrNothing) {
    TChartModel& model = Chart.Model();
    model.SetLegend(0, "Jan");
    Shown(TChartGallery::Line);
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    int dialogs = 0;
    Chart.AskValue = [&](const QString&, double, int) -> std::optional<double> {
        ++dialogs;
        return std::nullopt;
    };
    QTest::mouseClick(Chart.View()->viewport(), Qt::RightButton, {}, WhereDrawn(0, 60));
    EXPECT_EQ(QToolTip::text(), QString("Series 2, Jan: 60"));
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    model.SetRigClkDlg(static_cast<int>(TChartDialogMode::None));
    QTest::mouseClick(Chart.View()->viewport(), Qt::RightButton, {}, WhereDrawn(0, 60));
    EXPECT_FALSE(QToolTip::isVisible());
    model.SetRigClkDlg(static_cast<int>(TChartDialogMode::Dialog));
    QTest::mouseClick(Chart.View()->viewport(), Qt::RightButton, {}, WhereDrawn(0, 60));
    EXPECT_EQ(dialogs, 1);
    ASSERT_EQ(Chart.Model().Shown().Values[3], 60.0);
}

TEST_F(ChartSettingsViewTest, MouseFocusAndFileEventsAreSignalled) {
    Shown(TChartGallery::Bar);
    QWidget* viewport = Chart.View()->viewport();
    QSignalSpy downs(&Chart, &TChartFX::LButtonDown);
    QSignalSpy ups(&Chart, &TChartFX::LButtonUp);
    QSignalSpy rightUps(&Chart, &TChartFX::RButtonUp);
    QSignalSpy rightDoubles(&Chart, &TChartFX::RButtonDblClk);
    QSignalSpy moves(&Chart, &TChartFX::MouseMove);
    QSignalSpy gotFocus(&Chart, &TChartFX::GotFocus);
    QSignalSpy lostFocus(&Chart, &TChartFX::LostFocus);
    QSignalSpy read(&Chart, &TChartFX::ReadFile);
    Chart.Model().SetRigClkDlg(static_cast<int>(TChartDialogMode::None));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(30, 40));
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(40, 50));
    QTest::mouseDClick(viewport, Qt::RightButton, {}, QPoint(50, 60));
    QTest::mouseMove(viewport, QPoint(70, 80));
    EXPECT_EQ(downs, QList<QVariantList>{QVariantList({30, 40})});
    EXPECT_EQ(ups, QList<QVariantList>{QVariantList({30, 40})});
    EXPECT_EQ(rightDoubles, QList<QVariantList>{QVariantList({50, 60})});
    ASSERT_FALSE(rightUps.isEmpty());
    EXPECT_EQ(rightUps.first(), QVariantList({40, 50}));
    ASSERT_FALSE(moves.isEmpty());
    EXPECT_EQ(moves.last(), QVariantList({70, 80}));

    QFocusEvent in(QEvent::FocusIn);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(Chart.View(), &in);
    QCoreApplication::sendEvent(Chart.View(), &out);
    EXPECT_EQ(gotFocus.size(), 1);
    EXPECT_EQ(lostFocus.size(), 1);

    ASSERT_EQ(Chart.Model().Export(3, TempPath("read.qvg")), 0);
    EXPECT_TRUE(read.isEmpty());
    ASSERT_EQ(Chart.Model().Import(3, TempPath("read.qvg")), 0);
    EXPECT_EQ(read.size(), 1);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Chart.Model().Import(3, TempPath("missing.qvg")), -1);
    EXPECT_EQ(read.size(), 1);
}

} // namespace
