#include "controls/chart/ChartFX.h"
#include "controls/chart/ChartModel.h"
#include "controls/chart/ChartScaleFit.h"
#include "controls/chart/GraphFile.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QPieSeries>
#include <QSignalSpy>
#include <QValueAxis>
#include <QtTest>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Kind = TChartDataKind;

// A chart model, with a scripted prompter for the boxes of Export and Import.
class ChartTest : public TServicesFixture {
protected:
    // Loads series-major values the way the graphs window does.
    static void Load(TChartModel& model, int series, int points, const QList<double>& values) {
        ASSERT_TRUE(model.OpenData(Kind::Values, series, points));
        for (model.ThisSerie = 0; model.ThisSerie < series; ++model.ThisSerie)
            for (int point = 0; point < points; ++point)
                ASSERT_TRUE(model.SetValue(point, values[model.ThisSerie * points + point]));
        ASSERT_TRUE(model.CloseData(Kind::Values));
        model.ThisSerie = 0;
    }

    // The chart the golden file [small] holds, built through the model's calls.
    static void BuildSmall(TChartModel& model) {
        model.SetChartType(static_cast<int>(TChartGallery::Line));
        Load(model, 1, 2, {1.0, 2.0});
        model.OpenData(Kind::ConstantLines, 1);
        model.SetConstantValue(0, 1.5);
        model.CloseData(Kind::ConstantLines);
        model.SetTitle(2, "Sales");
        model.SetTitle(3, "Months");
        model.SetLegend(0, "Jan");
        model.SetLegend(1, "Feb");
        model.SetSeriesLegend(0, "Cash");
        model.SetConstantLegend(0, "Limit");
        model.SetDecimals(2);
        model.SetAxisScale(1, 100.0);
        model.SetThisColor(0x0000FF);
        model.SetFont(2, EncodeFontWord({"Times", 12, true}), 0);
    }

    QByteArray Golden(const char* block) const { return HexBlock(TestData("graphs/graph-files.hex"), block); }

    TChartModel Model;
};

TEST_F(ChartTest, ValuesShowOnlyWhenTheirBlockIsClosed) {
    Load(Model, 1, 1, {7.0});
    ASSERT_TRUE(Model.OpenData(Kind::Values, 2, 3));
    Model.ThisSerie = 1;
    EXPECT_TRUE(Model.SetValue(2, 42.0));
    EXPECT_FALSE(Model.SetValue(3, 1.0));
    Model.ThisSerie = 2;
    EXPECT_FALSE(Model.SetValue(0, 1.0));
    EXPECT_EQ(std::pair(Model.NSeries(), Model.NValues()), std::pair(1, 1));
    Model.ThisSerie = 0;
    EXPECT_EQ(Model.GetValue(0), 7.0);
    ASSERT_TRUE(Model.CloseData(Kind::Values));
    EXPECT_EQ(std::pair(Model.NSeries(), Model.NValues()), std::pair(2, 3));
    Model.ThisSerie = 1;
    EXPECT_EQ(Model.GetValue(2), 42.0);
    EXPECT_EQ(Model.GetValue(1), 0.0);
    EXPECT_FALSE(Model.CloseData(Kind::Values));
    EXPECT_FALSE(Model.SetValue(0, 1.0));
    EXPECT_FALSE(Model.OpenData(Kind::Values, -1, 4));
    EXPECT_FALSE(Model.OpenData(Kind::Values, 1 << 16, 1 << 16));
    EXPECT_FALSE(Model.OpenData(Kind::ConstantLines, MaxConstantLines + 1));
    EXPECT_FALSE(Model.CloseData(Kind::ConstantLines));
    EXPECT_FALSE(Model.SetConstantValue(0, 1.0));
}

TEST_F(ChartTest, NonFiniteValuesAreRefusedAndNeverWritten) {
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    Load(Model, 1, 2, {1.0, 2.0});
    ASSERT_TRUE(Model.OpenData(Kind::Values, 1, 2));
    ASSERT_TRUE(Model.OpenData(Kind::ConstantLines, 1));
    for (double value : {std::numeric_limits<double>::quiet_NaN(), Infinity, -Infinity}) {
        EXPECT_FALSE(Model.SetValue(0, value));
        EXPECT_FALSE(Model.SetConstantValue(0, value));
    }
    ASSERT_TRUE(Model.CloseData(Kind::Values));
    ASSERT_TRUE(Model.CloseData(Kind::ConstantLines));
    EXPECT_EQ(Model.Shown().Values, QList<double>({0.0, 0.0}));
    EXPECT_EQ(Model.Shown().ConstantValues, QList<double>({0.0}));

    // Content put in whole is written with 0 in place of each value that is not finite.
    TChartContent content = Model.Shown();
    content.Values = {std::numeric_limits<double>::quiet_NaN(), 3.5};
    content.ConstantValues = {-Infinity};
    content.AxisScale[2] = Infinity;
    content.AxisScaleSet[2] = true;
    Model.Assign(content);
    ASSERT_EQ(Model.Export(3, TempPath("non-finite.qvg")), 0);
    TChartModel loaded;
    ASSERT_EQ(loaded.Import(3, TempPath("non-finite.qvg")), 0);
    EXPECT_EQ(loaded.Shown().Values, QList<double>({0.0, 3.5}));
    EXPECT_EQ(loaded.Shown().ConstantValues, QList<double>({0.0}));
    EXPECT_EQ(loaded.GetAxisScale(2), 0.0);
}

TEST_F(ChartTest, LegendsFollowTheirBlocks) {
    Load(Model, 2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(Model.SetLegend(2, "Mar"));
    EXPECT_FALSE(Model.SetLegend(3, "Apr"));
    EXPECT_FALSE(Model.SetSeriesLegend(2, "Third"));
    EXPECT_FALSE(Model.SetConstantLegend(0, "Limit"));
    EXPECT_FALSE(Model.SetTitle(4, "Beyond"));
    Load(Model, 2, 2, {1, 2, 3, 4});
    EXPECT_EQ(Model.GetLegend(2), QString());
    Load(Model, 2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Model.GetLegend(2), QString());
}

TEST_F(ChartTest, AutoIncrementWalksPerPointColours) {
    Load(Model, 2, 3, {1, 2, 3, 4, 5, 6});
    Model.SetType(Model.Type() | ChartTypeBit::EachBar);
    Model.AutoIncrement = true;
    Model.ThisSerie = 1;
    for (std::uint32_t colour : {0x11u, 0x22u, 0x33u})
        Model.SetThisColor(colour);
    EXPECT_EQ(std::pair(Model.ThisSerie, Model.ThisPoint), std::pair(0, 2));
    Model.SetThisColor(0x44);
    Model.SetThisColor(0x55);
    EXPECT_EQ(std::pair(Model.ThisSerie, Model.ThisPoint), std::pair(0, 0));
    // index = point * NSeries + serie: (1,0) -> 1, (0,1) -> 2, (1,1) -> 3, (0,2) -> 4, (1,2) -> 5
    QList<std::uint32_t> shown;
    for (const TChartColour& colour : Model.Shown().Colours)
        shown.append(colour.Fore);
    EXPECT_EQ(shown, QList<std::uint32_t>({DefaultChartColour, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(ChartTest, ColourWritesOutsideTheBlockAreIgnored) {
    Load(Model, 2, 2, {1, 2, 3, 4});
    Model.ThisSerie = 1;
    Model.SetThisBkColor(0x44);
    EXPECT_EQ(Model.Shown().Colours[1].Back, 0x44u);
    for (const auto& [serie, point, eachBar] : {std::tuple(2, 0, false), {-1, 0, false}, {0, 2, true}}) {
        Model.SetType(eachBar ? ChartTypeBit::EachBar : 0);
        std::tie(Model.ThisSerie, Model.ThisPoint) = std::pair(serie, point);
        Model.SetThisColor(0x55);
    }
    EXPECT_EQ(Model.Shown().Colours.size(), 2);
    for (const TChartColour& colour : Model.Shown().Colours)
        EXPECT_NE(colour.Fore, 0x55u);
}

TEST_F(ChartTest, AxisAnswersARangeFromTheDataUntilOneIsSet) {
    EXPECT_EQ(Model.GetAxisScale(0), 0.0);
    EXPECT_EQ(Model.GetAxisScale(1), 100.0);
    Load(Model, 1, 2, {-12.0, 250.0});
    EXPECT_EQ(Model.GetAxisScale(0), -20.0);
    EXPECT_EQ(Model.GetAxisScale(1), 300.0);
    EXPECT_EQ(Model.GetAxisScale(2), 32.0);
    Model.SetAxisScale(0, -100.0);
    EXPECT_EQ(Model.GetAxisScale(0), -100.0);
    EXPECT_EQ(Model.GetAxisScale(1), 300.0);
    Model.SetAxisScale(1, std::numeric_limits<double>::infinity());
    Model.SetAxisScale(AxisScaleCount, 5.0);
    EXPECT_EQ(Model.GetAxisScale(1), 300.0);
    EXPECT_EQ(Model.GetAxisScale(AxisScaleCount), 0.0);
}

struct TFitCase {
    double Minimum, Maximum, Value;
    double FittedMinimum, FittedMaximum, Step;
};

TEST_F(ChartTest, FitGraphScaleWidensTheAxis) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TFitCase cases[] = {{0, 100, 250, 0, 300, 30},  {0, 100, -12, -20, 100, 12},
                              {0, 100, 50, 0, 100, 10},   {-50, -10, -5, -50, 0, 5},
                              {-50, -10, 0, -50, 0, 5},   {0, 100, nan, 0, 100, 99},
                              {10, 100, 3, -3, 100, 10.3}};
    for (const TFitCase& fit : cases) {
        SCOPED_TRACE(testing::Message() << fit.Minimum << ".." << fit.Maximum << " with " << fit.Value);
        TChartModel model;
        model.SetAxisScale(0, fit.Minimum);
        model.SetAxisScale(1, fit.Maximum);
        model.SetAxisScale(2, 99);
        FitGraphScaleToValue(model, fit.Value);
        EXPECT_EQ(model.GetAxisScale(0), fit.FittedMinimum);
        EXPECT_EQ(model.GetAxisScale(1), fit.FittedMaximum);
        EXPECT_DOUBLE_EQ(model.GetAxisScale(2), fit.Step);
    }
}

TEST(ChartFontWord, EncodesFaceSizeAndStyle) {
    const struct {
        TChartFont Font;
        std::uint32_t Word;
    } cases[] = {
        {{"Arial", 10}, 0x0000000A},
        {{"Courier New", 12, true}, 0x0002010C},
        {{"Wingdings", 9, false, true}, 0x000A0209},
        {{"TimesNewRoman", 255, false, false, true, true}, 0x00090CFF},
    };
    for (const auto& [font, word] : cases) {
        SCOPED_TRACE(font.Face.toStdString());
        EXPECT_EQ(EncodeFontWord(font), word);
        EXPECT_EQ(DecodeFontWord(word), font);
    }
    EXPECT_EQ(EncodeFontWord({"courier new", 12, true}), 0x0002010Cu);
    EXPECT_EQ(EncodeFontWord({"Verdana", 300}), 0x000000FFu);
    EXPECT_EQ(DecodeFontWord(0x00C80000).Face, QString("Arial"));
}

TEST_F(ChartTest, ExportAndImportCheckTheirArguments) {
    const QString file = TempPath("graph.qvg");
    const struct {
        bool IsExport;
        int Format;
        QVariant Data;
        const char* Shown;
    } cases[] = {
        {true, 7, file, "Export: Invalid Prop. Array Index"},
        {true, 3, 42, "Export: Invalid Prop. Value"},
        {true, 0, file, "Export: Invalid Prop. Value"},
        {false, 1, file, "Import: Invalid Prop. Array Index"},
        {false, 5, file, "Import: Invalid Prop. Value"},
        {false, 3, 42, "Import: Invalid Prop. Value"},
    };
    Load(Model, 1, 1, {5.0});
    for (const auto& call : cases) {
        SCOPED_TRACE(call.Shown);
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(call.IsExport ? Model.Export(call.Format, call.Data) : Model.Import(call.Format, call.Data),
                  -1);
        ASSERT_EQ(Prompt->Texts(), QStringList{call.Shown});
        EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_EQ(Model.GetValue(0), 5.0);
    }
    EXPECT_EQ(Model.Export(0, 1), -1); // accepted, but not a format this chart writes
    EXPECT_TRUE(Prompt->Texts().size() == 1 && !QFile::exists(file));
}

TEST_F(ChartTest, ExportWritesTheHandWrittenGraphFile) {
    BuildSmall(Model);
    Model.SetLeftGap(5);
    Model.SetRGB2DBk(0x00FFFFFF);
    Model.SetMarkerSize(8);
    Model.SetGrid(ChartGridBit::Horizontal);
    Model.SetStacked(static_cast<int>(TChartStacked::Normal));
    Model.SetDblClkDlg(static_cast<int>(TChartDialogMode::None));
    Model.SetBorderStyle(TChartBorderStyle::Single);
    Model.SetSetting0E(Setting0ESecond, 0x12345678);
    Model.SetSeriesSetting(TChartSeriesSetting::Code68, 0, 7);
    Model.SetIndexedSetting(3, 1000);
    const QString file = TempPath("small.qvg");
    ASSERT_EQ(Model.Export(3, file), 0);
    EXPECT_EQ(ReadFileBytes(file).toHex(' '), Golden("small-v2").toHex(' '));

    TChartModel loaded;
    ASSERT_TRUE(WriteFileBytes(TempPath("golden.qvg"), Golden("small-v2")));
    ASSERT_EQ(loaded.Import(3, TempPath("golden.qvg")), 0);
    EXPECT_EQ(loaded.Shown(), Model.Shown());
}

// A file of version 1 reads as before, with the settings of a new chart.
TEST_F(ChartTest, VersionOneGraphFilesStillRead) {
    BuildSmall(Model);
    TChartModel loaded;
    ASSERT_TRUE(WriteFileBytes(TempPath("golden.qvg"), Golden("small")));
    ASSERT_EQ(loaded.Import(3, TempPath("golden.qvg")), 0);
    EXPECT_EQ(loaded.Shown(), Model.Shown());
    EXPECT_EQ(loaded.Shown().Settings.PerSeries.size(), 1);
    EXPECT_EQ(loaded.LeftGap(), DefaultChartGap);
    EXPECT_EQ(loaded.Grid(), ChartGridBit::Horizontal | ChartGridBit::Vertical);
    EXPECT_EQ(loaded.MarkerVolume(), DefaultMarkerVolume);
}

TEST_F(ChartTest, GraphFileRoundTripKeepsEverything) {
    Model.SetChartType(static_cast<int>(TChartGallery::Doughnut));
    Model.SetType(Model.Type() | ChartTypeBit::EachBar | ChartTypeBit::Legend);
    Model.SetStyle(0x12345678);
    Model.SetRGBBk(0x00C0FFEE);
    Load(Model, 2, 3, {1.25, -2.5, 1e300, 0.1, -0.0, 12345.678});
    Model.OpenData(Kind::ConstantLines, 2);
    Model.SetConstantValue(1, -7.75);
    Model.CloseData(Kind::ConstantLines);
    for (int i = 0; i < ChartTitleCount; ++i)
        Model.SetTitle(i, QString("Title %1 \u00e9").arg(i));
    Model.SetLegend(1, QString(300, 'x'));
    Model.SetSeriesLegend(1, "Bank");
    Model.SetConstantLegend(1, "Floor");
    Model.SetDecimalsItem(3, 1);
    for (int i = 0; i < AxisScaleCount; i += 4)
        Model.SetAxisScale(i, i * 0.5 - 3);
    Model.AutoIncrement = true;
    for (std::uint32_t colour = 1; colour <= 6; ++colour)
        Model.SetThisColor(colour);
    Model.SetFont(9, EncodeFontWord({"Courier", 7, false, true}), 0x00FF00);

    ASSERT_EQ(Model.Export(3, TempPath("round.qvg")), 0);
    TChartModel loaded;
    ASSERT_EQ(loaded.Import(3, TempPath("round.qvg")), 0);
    EXPECT_EQ(loaded.Shown(), Model.Shown());
    EXPECT_TRUE(std::signbit(loaded.Shown().Values[4]));
    EXPECT_TRUE(QDir(Temp.path()).entryList({"*.~qv*"}, QDir::Files).isEmpty());
}

TEST_F(ChartTest, DamagedOrForeignGraphFilesAreRefused) {
    const QByteArray small = Golden("small");
    const struct {
        const char* Name;
        QByteArray Bytes;
        const char* Says;
    } cases[] = {
        {"foreign-header", Golden("foreign-header"), "is not a graph file of this program"},
        {"foreign-bytes", Golden("foreign-bytes"), "is not a graph file of this program"},
        {"empty", QByteArray(), "is not a graph file of this program"},
        {"newer", Golden("newer"), "newer version of the program (graph file version 3)"},
        {"too-many-values", Golden("too-many-values"), "is damaged (Invalid property value)"},
        {"not-a-number", Golden("not-a-number"), "is damaged (Invalid property value)"},
        {"huge-counts", Golden("huge-counts"), "is damaged (Invalid property value)"},
        {"truncated", small.left(small.size() - 1), "is damaged (Stream read error)"},
        {"trailing", small + '\0', "is damaged (Invalid property value)"},
    };
    BuildSmall(Model);
    const TChartContent before = Model.Shown();
    for (const auto& file : cases) {
        SCOPED_TRACE(file.Name);
        const QString path = TempPath(QString(file.Name) + ".qvg");
        ASSERT_TRUE(WriteFileBytes(path, file.Bytes));
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(Model.Import(3, path), -1);
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_TRUE(Prompt->Shown[0].Text.contains(file.Says)) << Prompt->Shown[0].Text.toStdString();
        EXPECT_TRUE(Prompt->Shown[0].Text.contains(path));
        EXPECT_EQ(Model.Shown(), before);
        EXPECT_EQ(ReadFileBytes(path), file.Bytes);
    }
}

TEST_F(ChartTest, FilesThatCannotBeOpenedOrWrittenAreReported) {
    BuildSmall(Model);
    const TChartContent before = Model.Shown();
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Model.Import(3, TempPath("missing.qvg")), -1);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Model.Export(3, TempPath("no-folder/graph.qvg")), -1);
    ASSERT_EQ(Prompt->Shown.size(), 2);
    EXPECT_TRUE(Prompt->Shown[0].Text.contains("cannot be opened"));
    EXPECT_TRUE(Prompt->Shown[1].Text.contains("no-folder"));
    EXPECT_EQ(Model.Shown(), before);
}

// The control on the offscreen platform, showing two series of three points and a constant line.
class ChartViewTest : public ChartTest {
protected:
    void SetUp() override {
        ChartTest::SetUp();
        Chart.resize(640, 480);
        Chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Chart));
        TChartModel& model = Chart.Model();
        Load(model, 2, 3, {10, 20, 30, 60, 50, 40});
        model.OpenData(Kind::ConstantLines, 1);
        model.SetConstantValue(0, 35);
        model.CloseData(Kind::ConstantLines);
        for (int title : {0, 2, 3})
            model.SetTitle(title, QString("Title %1").arg(title));
        model.SetLegend(0, "Jan");
        model.SetSeriesLegend(1, "Bank");
        for (int index : {0, 1, 2})
            model.SetAxisScale(index, QList<double>{0, 80, 20}[index]);
        model.SetDecimals(1);
    }

    QChart* Shown(TChartGallery gallery) {
        Chart.Model().SetChartType(static_cast<int>(gallery));
        Chart.Refresh();
        QCoreApplication::processEvents();
        return Chart.View()->chart();
    }

    // The viewport position where a value of the first series' axes is drawn.
    QPoint WhereDrawn(double x, double y) const {
        QChart* chart = Chart.View()->chart();
        const QPointF at = chart->mapToPosition(QPointF(x, y), chart->series().first());
        return Chart.View()->mapFromScene(chart->mapToScene(at));
    }

    TChartFX Chart;
};

TEST_F(ChartViewTest, ViewShowsTheModel) {
    QChart* chart = Shown(TChartGallery::Line);
    EXPECT_EQ(chart->title(), QString("Title 2"));
    ASSERT_EQ(chart->series().size(), 3); // two series and the constant line
    EXPECT_EQ(chart->series()[1]->name(), QString("Bank"));
    auto* axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(QList<double>({axis->min(), axis->max(), axis->tickInterval()}), QList<double>({0, 80, 20}));
    EXPECT_EQ(axis->tickType(), QValueAxis::TicksDynamic);
    EXPECT_EQ(axis->labelFormat() + axis->titleText(), QString("%.1fTitle 0"));
    EXPECT_EQ(chart->axes(Qt::Horizontal).first()->titleText(), QString("Title 3"));

    chart = Shown(TChartGallery::Bar);
    ASSERT_EQ(chart->series().size(), 2);
    auto* bars = qobject_cast<QBarSeries*>(chart->series().first());
    ASSERT_TRUE(bars && bars->count() == 2);
    EXPECT_EQ(bars->barSets()[1]->at(0), 60.0);

    chart = Shown(TChartGallery::Doughnut);
    ASSERT_EQ(chart->series().size(), 2);
    auto* pie = qobject_cast<QPieSeries*>(chart->series()[1]);
    ASSERT_TRUE(pie && pie->holeSize() > 0.0);
    EXPECT_EQ(pie->slices()[0]->label(), QString("Jan"));
    EXPECT_EQ(pie->slices()[2]->value(), 40.0);
}

TEST_F(ChartViewTest, RendersIntoAnImage) {
    Shown(TChartGallery::Bar);
    QImage image(400, 300, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        Chart.PaintToDC(painter, image.rect());
    }
    int drawn = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            drawn += qAlpha(image.pixel(x, y)) != 0;
    EXPECT_GT(drawn, 100);
}

TEST_F(ChartViewTest, MouseEventsNameTheSeriesAndPoint) {
    Shown(TChartGallery::Line);
    Chart.Model().SetDblClkDlg(static_cast<int>(TChartDialogMode::None));
    Chart.Model().SetRigClkDlg(static_cast<int>(TChartDialogMode::None));
    QList<QList<int>> doubles;
    QList<QList<int>> rights;
    QObject::connect(&Chart, &TChartFX::LButtonDblClk, [&](int x, int y, int serie, int point, int&) {
        doubles.append({x, y, serie, point});
    });
    QObject::connect(&Chart, &TChartFX::RButtonDown, [&](int x, int y, int serie, int point, int&) {
        rights.append({x, y, serie, point});
    });
    const QPoint second = WhereDrawn(2, 40); // series 1, point 2
    const QPoint first = WhereDrawn(0, 10);  // series 0, point 0
    QTest::mouseDClick(Chart.View()->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(Chart.View()->viewport(), Qt::RightButton, {}, first);
    EXPECT_EQ(doubles, QList<QList<int>>{QList<int>({second.x(), second.y(), 1, 2})});
    EXPECT_EQ(rights, QList<QList<int>>{QList<int>({first.x(), first.y(), 0, 0})});

    Shown(TChartGallery::Bar);
    EXPECT_EQ(Chart.PointAt(WhereDrawn(1 + 0.125, 1)), qMakePair(1, 1));
    EXPECT_EQ(Chart.PointAt(WhereDrawn(1 - 0.125, 1)), qMakePair(0, 1));
    EXPECT_EQ(Chart.PointAt(QPoint(1, 1)), qMakePair(-1, -1));
}

} // namespace
