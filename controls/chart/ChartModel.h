#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class TChartSettingsBlob;

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

// Bits of the Grid setting: lines across the value axis at each step, lines at each point. The
// bit 4 is kept and stored but draws nothing here.
namespace ChartGridBit {
constexpr int Horizontal = 1;
constexpr int Vertical = 2;
constexpr int All = 7;
} // namespace ChartGridBit

// How points are marked: PointType 0 leaves lines without markers (marks and scatter charts draw
// circles); 4 is drawn as a circle and 5 as a square; 6 gives each series a shape of its own.
enum class TChartPointType : int {
    None = 0,
    Rectangle = 1,
    Circle = 2,
    Triangle = 3,
    Marble = 4,
    Cube = 5,
    Many = 6
};
// How series are filled: in their colours, in black-and-white patterns, in patterns of their colours.
enum class TChartScheme : int { Solid = 0, BWPattern = 1, Pattern = 2 };
// Bars and areas side by side, on top of each other, or on top of each other as shares of 100.
enum class TChartStacked : int { None = 0, Normal = 1, Full = 2 };
// What a double click or a right click on a point shows: a balloon with the point's value, a
// dialog that edits it, or nothing.
enum class TChartDialogMode : int { Balloon = 0, Dialog = 1, None = 2 };
enum class TChartBorderStyle : int { None = 0, Single = 1 };
// The four per-series settings of the engine, by their message codes; kept and stored only.
enum class TChartSeriesSetting : int { Code55 = 0x55, Code56 = 0x56, Code6C = 0x6C, Code68 = 0x68 };
// Selectors of the two words of setting 0E.
constexpr int Setting0EFirst = -1;
constexpr int Setting0ESecond = -2;

// A colour as the chart keeps it: 0x00BBGGRR, or DefaultColour for the chart's own choice.
constexpr std::uint32_t DefaultChartColour = 0x80000000u;

// The data kinds of OpenData / CloseData.
enum class TChartDataKind : int { Values = 1, ConstantLines = 2, Colours = 3 };

// A text font described by a font word: bits 16-23 the face, the low byte the point size,
// 0x100 bold, 0x200 italic, 0x400 underline, 0x800 strike-out.
// The colour (0x00BBGGRR) travels beside the word.
struct TChartFont {
    QString Face = QStringLiteral("Arial");
    int PointSize = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint32_t Colour = 0;
    bool operator==(const TChartFont&) const = default;
};

// The ten text elements that carry a font, by their index.
enum class TChartFontElement : int {
    Left = 0,
    Right = 1,
    Top = 2,
    Bottom = 3,
    XLeg = 4,
    YLeg = 5,
    Fixed = 6,
    Legend = 7,
    Values = 8,
    Point = 9
};

// A face not in the font word's list is written as Arial; a point size is kept to its byte. The
// colour is not part of the word (decoding answers colour 0).
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
// The limits of the settings the chart draws; the setters ignore values outside them.
constexpr int ChartGapCount = 4;
constexpr int MaxChartGap = 1000;
constexpr int MaxMarkerSize = 100;
constexpr int MaxMarkerVolume = 100; // percent of a point's width that its bars take
constexpr int MaxIndexedSetting = 255;
constexpr int MaxEventTextLength = 255;
// The colours the settings blobs carry.
constexpr int BlobColourCount = 16;
// QtCharts' own margins and marker size, and bars taking half of their point's width: what a
// new chart shows.
constexpr int DefaultChartGap = 20;
constexpr int DefaultMarkerSize = 15;
constexpr int DefaultMarkerVolume = 50;

struct TChartColour {
    std::uint32_t Fore = DefaultChartColour;
    std::uint32_t Back = DefaultChartColour;
    bool operator==(const TChartColour&) const = default;
};

struct TChartSeriesSettings {
    std::uint32_t Setting55 = 0;
    std::uint32_t Setting56 = 0;
    std::uint32_t Setting6C = 0;
    std::uint32_t Setting68 = 0;
    bool operator==(const TChartSeriesSettings&) const = default;
};

// The chart's settings beyond its values and texts. Those that QtCharts can show in two
// dimensions are drawn (gaps, grid, markers, bar width, scheme, stacking, the plot-area and
// horizontal-band colours, the border); the others are kept and stored so that a graph file
// gives them back: the 3-D view (depth, light, wall width, 3-D background), the fixed and
// vertical-grid gaps, Shape, the tool-bar buttons, the per-series settings, setting 0E, the
// indexed settings and the engine's flag words.
struct TChartSettings {
    std::array<int, ChartGapCount> Gaps{DefaultChartGap, DefaultChartGap, DefaultChartGap, DefaultChartGap};
    std::uint32_t RGBBarHorz = DefaultChartColour;
    std::uint32_t RGB2DBk = DefaultChartColour;
    std::uint32_t RGB3DBk = DefaultChartColour;
    std::int32_t View3DDepth = 0;
    std::int32_t View3DLight = 0;
    std::int32_t WallWidth = 0;
    std::int32_t FixedGap = 0;
    std::int32_t VertGridGap = 0;
    int MarkerSize = DefaultMarkerSize;
    int MarkerVolume = DefaultMarkerVolume;
    std::uint32_t Shape = 0;
    int Grid = ChartGridBit::Horizontal | ChartGridBit::Vertical;
    TChartPointType PointType = TChartPointType::None;
    TChartScheme Scheme = TChartScheme::Solid;
    TChartStacked Stacked = TChartStacked::None;
    std::uint32_t GalleryTool = 0;
    std::uint32_t CustomTool = 0;
    TChartDialogMode DblClkDlg = TChartDialogMode::Balloon;
    TChartDialogMode RigClkDlg = TChartDialogMode::Balloon;
    TChartBorderStyle BorderStyle = TChartBorderStyle::None;
    std::uint32_t EngineFlags47 = 0;
    std::uint32_t EngineFlags69 = 0;
    std::array<std::uint32_t, 2> Setting0E{}; // read with -1 and with -2
    QList<TChartSeriesSettings> PerSeries;    // one record per series
    QMap<int, std::int32_t> Indexed;          // SetIndexedSetting, by index
    bool operator==(const TChartSettings&) const = default;
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
    TChartSettings Settings;
    bool operator==(const TChartContent&) const = default;
};

// The chart wrapper's state with no widget: values, constant lines and colours loaded in
// blocks, titles, legends, decimals, axis scale, flag words, fonts and settings, the settings
// blobs and the graph file.
//
// Values are loaded as OpenData(Values, series, points), then for each series ThisSerie and
// SetValue per point, then CloseData(Values); nothing shows until the block is closed. The
// constant lines and colours are loaded the same way. Calls that do not fit (an index outside
// its block, a block that is not open, a value that is not finite) change nothing and return
// false. Setters of settings ignore a value outside the setting's range.
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
    // The colour pair at an index; the chart's own colours beyond the block.
    TChartColour ColourPair(int index) const;
    // A shown value changed by the user (the chart's value dialog): no block is needed.
    bool ChangeValue(int serie, int point, double value);

    // The counts of the last value block closed: the next OpenData sizes the chart. Reading them
    // also refreshes the caches.
    int NSeries() const;
    int NValues() const;
    // Setting a count changes only the cache (and, for the series, the per-series settings);
    // what is shown keeps its size until the next value block. Negative counts are ignored.
    void SetNSeries(int count);
    void SetNValues(int count);
    int CachedNSeries() const { return SeriesCache; }
    int CachedNValues() const { return ValuesCache; }
    // Fills a value block of the cached counts with whole random steps above the axis minimum,
    // below the axis range (100 when the maximum is not above the minimum): the sample chart of
    // a chart that has no values of its own yet.
    void FillSampleValues();

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
    // constant line and zero, rounded to the scale; the step is a tenth of the range. Stacked
    // bars and areas count the sums of each point's positive and negative values; stacked to
    // 100% they answer 0 to 100.
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
    // Bits of the type word; the engine's tool, palette and pattern bars and the 3-D view are
    // kept only.
    bool ToolBar() const { return TypeBit(ChartTypeBit::ToolBar); }
    void SetToolBar(bool on) { SetTypeBit(ChartTypeBit::ToolBar, on); }
    bool PaletteBar() const { return TypeBit(ChartTypeBit::PaletteBar); }
    void SetPaletteBar(bool on) { SetTypeBit(ChartTypeBit::PaletteBar, on); }
    bool PatternBar() const { return TypeBit(ChartTypeBit::PatternBar); }
    void SetPatternBar(bool on) { SetTypeBit(ChartTypeBit::PatternBar, on); }
    bool Chart3D() const { return TypeBit(ChartTypeBit::View3D); }
    void SetChart3D(bool on) { SetTypeBit(ChartTypeBit::View3D, on); }

    // Colours 0x00BBGGRR; a value with a high byte keeps its low three bytes, except the chart's
    // own colour DefaultChartColour, which passes unchanged. RGBBk is the chart's background,
    // RGB2DBk the plot area's, RGBBarHorz the bands between every other pair of value-axis grid
    // lines, RGB3DBk the 3-D walls (kept only).
    std::uint32_t RGBBk() const { return Content.Background; }
    void SetRGBBk(std::uint32_t colour);
    std::uint32_t RGBBarHorz() const { return Content.Settings.RGBBarHorz; }
    void SetRGBBarHorz(std::uint32_t colour) { SetSetting(Content.Settings.RGBBarHorz, ChartRGB(colour)); }
    std::uint32_t RGB2DBk() const { return Content.Settings.RGB2DBk; }
    void SetRGB2DBk(std::uint32_t colour) { SetSetting(Content.Settings.RGB2DBk, ChartRGB(colour)); }
    std::uint32_t RGB3DBk() const { return Content.Settings.RGB3DBk; }
    void SetRGB3DBk(std::uint32_t colour) { SetSetting(Content.Settings.RGB3DBk, ChartRGB(colour)); }
    static std::uint32_t ChartRGB(std::uint32_t colour);

    // The space between the chart's edges and what it draws, 0 to MaxChartGap: index 0 left,
    // 1 right, 2 top, 3 bottom.
    int GetGap(int index) const;
    void SetGap(int index, int value);
    int LeftGap() const { return GetGap(0); }
    void SetLeftGap(int value) { SetGap(0, value); }
    int RightGap() const { return GetGap(1); }
    void SetRightGap(int value) { SetGap(1, value); }
    int TopGap() const { return GetGap(2); }
    void SetTopGap(int value) { SetGap(2, value); }
    int BottomGap() const { return GetGap(3); }
    void SetBottomGap(int value) { SetGap(3, value); }

    std::int32_t View3DDepth() const { return Content.Settings.View3DDepth; }
    void SetView3DDepth(std::int32_t value) { SetSetting(Content.Settings.View3DDepth, value); }
    std::int32_t View3DLight() const { return Content.Settings.View3DLight; }
    void SetView3DLight(std::int32_t value) { SetSetting(Content.Settings.View3DLight, value); }
    std::int32_t WallWidth() const { return Content.Settings.WallWidth; }
    void SetWallWidth(std::int32_t value) { SetSetting(Content.Settings.WallWidth, value); }
    std::int32_t FixedGap() const { return Content.Settings.FixedGap; }
    void SetFixedGap(std::int32_t value) { SetSetting(Content.Settings.FixedGap, value); }
    std::int32_t VertGridGap() const { return Content.Settings.VertGridGap; }
    void SetVertGridGap(std::int32_t value) { SetSetting(Content.Settings.VertGridGap, value); }

    // The size of point markers in pixels (1 to MaxMarkerSize), the share of a point's width its
    // bars take in percent (1 to MaxMarkerVolume), and Shape (kept only).
    int MarkerSize() const { return Content.Settings.MarkerSize; }
    void SetMarkerSize(int value);
    int MarkerVolume() const { return Content.Settings.MarkerVolume; }
    void SetMarkerVolume(int value);
    std::uint32_t Shape() const { return Content.Settings.Shape; }
    void SetShape(std::uint32_t value) { SetSetting(Content.Settings.Shape, value); }

    // Grid bits 0-7 (ChartGridBit), point types 0-6, schemes 0-2, stacking 0-2.
    int Grid() const { return Content.Settings.Grid; }
    void SetGrid(int value);
    int PointType() const { return static_cast<int>(Content.Settings.PointType); }
    void SetPointType(int value);
    int Scheme() const { return static_cast<int>(Content.Settings.Scheme); }
    void SetScheme(int value);
    int Stacked() const { return static_cast<int>(Content.Settings.Stacked); }
    void SetStacked(int value);
    // The stacking drawn: bars and areas stack, other chart types never do.
    TChartStacked StackedAsShown() const;

    // The engine's tool-bar buttons: chart types offered (bits from 0x1: line, bar, ...) and
    // buttons shown. Kept only: this chart has no tool bar.
    std::uint32_t GalleryTool() const { return Content.Settings.GalleryTool; }
    void SetGalleryTool(std::uint32_t bits) { SetSetting(Content.Settings.GalleryTool, bits); }
    std::uint32_t CustomTool() const { return Content.Settings.CustomTool; }
    void SetCustomTool(std::uint32_t bits) { SetSetting(Content.Settings.CustomTool, bits); }

    // What a double click and a right click on a point show (TChartDialogMode, 0-2).
    int DblClkDlg() const { return static_cast<int>(Content.Settings.DblClkDlg); }
    void SetDblClkDlg(int mode);
    int RigClkDlg() const { return static_cast<int>(Content.Settings.RigClkDlg); }
    void SetRigClkDlg(int mode);

    TChartBorderStyle BorderStyle() const { return Content.Settings.BorderStyle; }
    void SetBorderStyle(TChartBorderStyle style) { SetSetting(Content.Settings.BorderStyle, style); }

    // The font word and colour of text element 0-9 (TChartFontElement: left, right, top,
    // bottom, x legend, y legend, fixed, legend, values, point). A word of 0 draws in the
    // chart's own font. Drawn: left and bottom titles, top title, the axes' labels, the legend.
    std::uint32_t FontWord(int element) const;
    std::uint32_t FontColour(int element) const;
    bool SetFont(int element, std::uint32_t word, std::uint32_t colour);
    TChartFont Font(TChartFontElement element) const;
    void SetFont(TChartFontElement element, const TChartFont& font);
    TChartFont LeftFont() const { return Font(TChartFontElement::Left); }
    void SetLeftFont(const TChartFont& font) { SetFont(TChartFontElement::Left, font); }
    TChartFont RightFont() const { return Font(TChartFontElement::Right); }
    void SetRightFont(const TChartFont& font) { SetFont(TChartFontElement::Right, font); }
    TChartFont TopFont() const { return Font(TChartFontElement::Top); }
    void SetTopFont(const TChartFont& font) { SetFont(TChartFontElement::Top, font); }
    TChartFont BottomFont() const { return Font(TChartFontElement::Bottom); }
    void SetBottomFont(const TChartFont& font) { SetFont(TChartFontElement::Bottom, font); }
    TChartFont XLegFont() const { return Font(TChartFontElement::XLeg); }
    void SetXLegFont(const TChartFont& font) { SetFont(TChartFontElement::XLeg, font); }
    TChartFont YLegFont() const { return Font(TChartFontElement::YLeg); }
    void SetYLegFont(const TChartFont& font) { SetFont(TChartFontElement::YLeg, font); }
    TChartFont FixedFont() const { return Font(TChartFontElement::Fixed); }
    void SetFixedFont(const TChartFont& font) { SetFont(TChartFontElement::Fixed, font); }
    TChartFont LegendFont() const { return Font(TChartFontElement::Legend); }
    void SetLegendFont(const TChartFont& font) { SetFont(TChartFontElement::Legend, font); }
    TChartFont ValuesFont() const { return Font(TChartFontElement::Values); }
    void SetValuesFont(const TChartFont& font) { SetFont(TChartFontElement::Values, font); }
    TChartFont PointFont() const { return Font(TChartFontElement::Point); }
    void SetPointFont(const TChartFont& font) { SetFont(TChartFontElement::Point, font); }

    // Settings of the engine's own, kept and stored only: the indexed settings (index 0 to
    // MaxIndexedSetting; 0 until set), the flag words 47 and 69, setting 0E (two words, read
    // with Setting0EFirst and Setting0ESecond) and the per-series settings of series
    // 0..NSeries-1 (0 outside them).
    bool SetIndexedSetting(int index, std::int32_t value);
    std::int32_t GetIndexedSetting(int index) const;
    std::uint32_t GetEngineFlags47() const { return Content.Settings.EngineFlags47; }
    void SetEngineFlags47(std::uint32_t word) { SetSetting(Content.Settings.EngineFlags47, word); }
    std::uint32_t GetEngineFlags69() const { return Content.Settings.EngineFlags69; }
    void SetEngineFlags69(std::uint32_t word) { SetSetting(Content.Settings.EngineFlags69, word); }
    std::uint32_t GetSetting0E(int selector) const;
    bool SetSetting0E(int selector, std::uint32_t value);
    std::uint32_t GetSeriesSetting(TChartSeriesSetting family, int serie) const;
    bool SetSeriesSetting(TChartSeriesSetting family, int serie, std::uint32_t value);

    // The text an event handler and the chart exchange; at most MaxEventTextLength characters.
    QString GetEventText() const { return EventText; }
    void SetEventText(const QString& text) { EventText = text.left(MaxEventTextLength); }

    // The settings blobs 1-4 (see TChartSettingsBlob): 1 the per-series settings 55, 56 and 6C
    // of each series; 2 the 17 axis-scale settings, GalleryTool, setting 0E (the first word to
    // its low 7 bits, then the second) and Shape; 3 setting 68 of each series, then colours 0-15
    // (colour, background); 4 titles 0-3, then for the ten text elements the font colour and
    // word. Setting a blob applies its values through their setters; a text of another blob, or
    // one that does not hold exactly its values, changes nothing and answers false. Titles come
    // back with at most 25 characters.
    QByteArray zzzReserved(int number) const;
    bool SetzzzReserved(int number, const QByteArray& text);
    QByteArray zzzReserved1() const { return zzzReserved(1); }
    bool SetzzzReserved1(const QByteArray& text) { return SetzzzReserved(1, text); }
    QByteArray zzzReserved2() const { return zzzReserved(2); }
    bool SetzzzReserved2(const QByteArray& text) { return SetzzzReserved(2, text); }
    QByteArray zzzReserved3() const { return zzzReserved(3); }
    bool SetzzzReserved3(const QByteArray& text) { return SetzzzReserved(3, text); }
    QByteArray zzzReserved4() const { return zzzReserved(4); }
    bool SetzzzReserved4(const QByteArray& text) { return SetzzzReserved(4, text); }

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
    // Called after a graph file was read into the chart.
    std::function<void()> OnReadFile;

private:
    int ColourIndex() const;
    std::uint32_t ColourAt(bool background) const;
    void WriteThisColour(std::uint32_t colour, bool background);
    bool TypeBit(std::uint32_t bit) const { return (Content.Type & bit) != 0; }
    void SetTypeBit(std::uint32_t bit, bool on) { SetType(on ? Content.Type | bit : Content.Type & ~bit); }
    template <typename T> void SetSetting(T& setting, T value) {
        if (setting == value)
            return;
        setting = value;
        Changed();
    }
    bool ApplyBlob(int number, TChartSettingsBlob& blob);
    void Changed() const;

    TChartContent Content;
    std::optional<QList<double>> PendingValues;
    int PendingSeries = 0;
    int PendingPoints = 0;
    std::optional<QList<double>> PendingConstants;
    std::optional<QList<TChartColour>> PendingColours;
    mutable int SeriesCache = 2;
    mutable int ValuesCache = 4;
    QString EventText;
};
