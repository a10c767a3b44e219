#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// The chart kinds of the gallery, numbered as the graph code passes them.
enum class TChartGallery : int {
    Line = 1,
    Bar = 2,
    Spline = 3,
    Mark = 4,
    Pie = 5,
    Area = 6,
    Pareto = 7,
    Scatter = 8,
    HiLow = 9,
    Surface = 10,
    Polar = 11,
    Cube = 12,
    Doughnut = 13,
};

// Bits of the chart's type word above its low byte (the gallery number).
namespace ChartTypeBit {
constexpr std::uint32_t GalleryMask = 0xFF;
constexpr std::uint32_t View3D = 0x100;
constexpr std::uint32_t Horizontal = 0x200;
constexpr std::uint32_t ToolBar = 0x400;
constexpr std::uint32_t PaletteBar = 0x800;
constexpr std::uint32_t Legend = 0x1000;
constexpr std::uint32_t EachBar = 0x10000; // one colour per point instead of per series
constexpr std::uint32_t PatternBar = 0x100000;
constexpr std::uint32_t SeriesLegend = 0x40000000;
} // namespace ChartTypeBit

// A colour as the chart keeps it: 0x00BBGGRR, or DefaultColour for the chart's own choice.
constexpr std::uint32_t DefaultChartColour = 0x80000000u;

// The data kinds of OpenData / CloseData.
enum class TChartDataKind : int { Values = 1, ConstantLines = 2, Colours = 3 };

// A text font described by a font word: bits 16-23 the face, the low byte the point size,
// 0x100 bold, 0x200 italic, 0x400 underline, 0x800 strike-out.
struct TChartFont {
    QString Face = QStringLiteral("Arial");
    int PointSize = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TChartFont&) const = default;
};

// A face not in the font word's list is written as Arial; a point size is kept to its byte.
std::uint32_t EncodeFontWord(const TChartFont& font);
TChartFont DecodeFontWord(std::uint32_t word);

// Reading and writing a chart's axis scale: index 0 the minimum of the value axis, 1 its
// maximum, 2 the step between grid lines; AxisScaleCount settings exist.
class IChartAxisScale {
public:
    virtual ~IChartAxisScale() = default;
    virtual double GetAxisScale(int index) const = 0;
    virtual void SetAxisScale(int index, double value) = 0;
};

constexpr int AxisScaleCount = 17;
constexpr int ChartTitleCount = 4;
constexpr int ChartFontCount = 10;
constexpr int ChartDecimalsCount = 4;
// The largest value block (series × points) and constant-line count a chart takes.
constexpr int MaxChartValues = 1 << 20;
constexpr int MaxConstantLines = 1024;
constexpr int MaxChartDecimals = 15;

struct TChartColour {
    std::uint32_t Fore = DefaultChartColour;
    std::uint32_t Back = DefaultChartColour;
    bool operator==(const TChartColour&) const = default;
};

// What a chart shows and what its graph file keeps.
struct TChartContent {
    std::uint32_t Type = static_cast<std::uint32_t>(TChartGallery::Bar);
    std::uint32_t Style = 0;
    std::uint32_t Background = DefaultChartColour;
    int Series = 0;
    int Points = 0;
    QList<double> Values; // series-major: Values[serie * Points + point]
    QList<double> ConstantValues;
    std::array<QString, ChartTitleCount> Titles;
    QStringList PointLegends;
    QStringList SeriesLegends;
    QStringList ConstantLegends;
    std::array<int, ChartDecimalsCount> Decimals{};
    std::array<double, AxisScaleCount> AxisScale{};
    std::array<bool, AxisScaleCount> AxisScaleSet{};
    QList<TChartColour> Colours;
    std::array<std::uint32_t, ChartFontCount> FontWords{};
    std::array<std::uint32_t, ChartFontCount> FontColours{};
    bool operator==(const TChartContent&) const = default;
};

// The chart wrapper's state with no widget: values, constant lines and colours loaded in
// blocks, titles, legends, decimals, axis scale, flag words and fonts, and the graph file.
//
// Values are loaded as OpenData(Values, series, points), then for each series ThisSerie and
// SetValue per point, then CloseData(Values); nothing shows until the block is closed. The
// constant lines and colours are loaded the same way. Calls that do not fit (an index outside
// its block, a block that is not open, a value that is not finite) change nothing and return
// false.
class TChartModel : public IChartAxisScale {
public:
    bool OpenData(TChartDataKind kind, int firstCount, int secondCount = 0);
    bool CloseData(TChartDataKind kind);
    // A value of series ThisSerie inside an open value block / the shown value.
    bool SetValue(int point, double value);
    double GetValue(int point) const;
    bool SetConstantValue(int index, double value);
    // A colour inside an open colour block; background for the second colour of the pair.
    bool SetColour(int index, std::uint32_t colour, bool background);

    // The counts of the last value block closed: the next OpenData sizes the chart.
    int NSeries() const { return Content.Series; }
    int NValues() const { return Content.Points; }

    int ThisSerie = 0;
    int ThisPoint = 0;
    bool AutoIncrement = false;
    // The colour (or background) of series ThisSerie, or with EachBar set of point ThisPoint
    // of that series; then, with AutoIncrement, moves on to the next series (and point).
    std::uint32_t ThisColor() const { return ColourAt(false); }
    std::uint32_t ThisBkColor() const { return ColourAt(true); }
    void SetThisColor(std::uint32_t colour) { WriteThisColour(colour, false); }
    void SetThisBkColor(std::uint32_t colour) { WriteThisColour(colour, true); }

    QString GetTitle(int index) const;
    bool SetTitle(int index, const QString& text);
    QString GetLegend(int index) const;
    bool SetLegend(int index, const QString& text);
    QString GetSeriesLegend(int index) const;
    bool SetSeriesLegend(int index, const QString& text);
    QString GetConstantLegend(int index) const;
    bool SetConstantLegend(int index, const QString& text);
    int GetDecimalsItem(int index) const;
    bool SetDecimalsItem(int value, int index);
    int Decimals() const { return Content.Decimals[0]; }
    void SetDecimals(int value) { SetDecimalsItem(value, 0); }

    // Before a minimum or maximum is set, the axis answers a range that holds every value and
    // constant line and zero, rounded to the scale; the step is a tenth of the range.
    double GetAxisScale(int index) const override;
    void SetAxisScale(int index, double value) override;

    int ChartType() const { return static_cast<int>(Content.Type & ChartTypeBit::GalleryMask); }
    // Gallery numbers 1-13; others are ignored.
    void SetChartType(int gallery);
    std::uint32_t Type() const { return Content.Type; }
    void SetType(std::uint32_t word) {
        Content.Type = word;
        Changed();
    }
    std::uint32_t Style() const { return Content.Style; }
    void SetStyle(std::uint32_t word) {
        Content.Style = word;
        Changed();
    }
    std::uint32_t RGBBk() const { return Content.Background; }
    void SetRGBBk(std::uint32_t colour) {
        Content.Background = colour;
        Changed();
    }

    // The font word and colour of text element 0-9 (left, right, top, bottom, x legend,
    // y legend, fixed, legend, values, point).
    std::uint32_t FontWord(int element) const;
    std::uint32_t FontColour(int element) const;
    bool SetFont(int element, std::uint32_t word, std::uint32_t colour);

    // Saves or loads the chart. Format 3 takes a file name (a graph file of this program); the
    // other formats the argument check accepts are not provided and answer -1. A format outside
    // the accepted ones shows "Invalid Prop. Array Index", an argument of the wrong kind
    // "Invalid Prop. Value"; a file that cannot be written or read shows why and leaves the
    // chart as it was. Answers 0 on success.
    int Export(int format, const QVariant& data);
    int Import(int format, const QVariant& data);

    const TChartContent& Shown() const { return Content; }
    // Replaces everything shown (a graph file's content, checked by its reader).
    void Assign(const TChartContent& content);

    // Called after every change to what is shown.
    std::function<void()> OnChanged;

private:
    int ColourIndex() const;
    std::uint32_t ColourAt(bool background) const;
    void WriteThisColour(std::uint32_t colour, bool background);
    void Changed() const;

    TChartContent Content;
    std::optional<QList<double>> PendingValues;
    int PendingSeries = 0;
    int PendingPoints = 0;
    std::optional<QList<double>> PendingConstants;
    std::optional<QList<TChartColour>> PendingColours;
};
