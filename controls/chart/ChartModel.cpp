#include "controls/chart/ChartModel.h"

#include "controls/chart/GraphFile.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "core/util/Numbers.h"

#include <algorithm>
#include <cmath>

namespace {

// The faces of the font word, by their number; any other face is written as 0.
const char* const FontFaces[] = {"Arial",  "Courier", "Courier New", "Helvetica",     "Modern",   "Roman",
                                 "Script", "Symbol",  "Times",       "TimesNewRoman", "Wingdings"};
constexpr int FontFaceCount = static_cast<int>(sizeof(FontFaces) / sizeof(FontFaces[0]));

constexpr std::uint32_t FontBold = 0x100;
constexpr std::uint32_t FontItalic = 0x200;
constexpr std::uint32_t FontUnderline = 0x400;
constexpr std::uint32_t FontStrikeOut = 0x800;

constexpr int GraphFileFormat = 3;

bool InRange(int index, qsizetype count) {
    return index >= 0 && index < count;
}

// Keeps the texts of a legend list that still have their item after a block changed its size.
void FitLegends(QStringList& legends, int count) {
    if (legends.size() > count)
        legends.resize(count);
}

bool SetLegendText(QStringList& legends, int index, int count, const QString& text) {
    if (!InRange(index, count))
        return false;
    if (legends.size() <= index)
        legends.resize(index + 1);
    legends[index] = text;
    return true;
}

QString LegendText(const QStringList& legends, int index) {
    return InRange(index, legends.size()) ? legends[index] : QString();
}

// The argument check of Export and Import: the format must be one the call takes, and the
// argument of the kind that format wants. Shows the box and answers false when it fails.
bool ArgumentsAccepted(const QString& caption, int format, const QVariant& data,
                       std::initializer_list<int> numbers, std::initializer_list<int> texts) {
    const bool wantsNumber = std::find(numbers.begin(), numbers.end(), format) != numbers.end();
    const bool wantsText = std::find(texts.begin(), texts.end(), format) != texts.end();
    QString problem;
    if (!wantsNumber && !wantsText)
        problem = QStringLiteral("Invalid Prop. Array Index");
    else if (wantsText ? data.typeId() != QMetaType::QString
                       : data.typeId() != QMetaType::Int && data.typeId() != QMetaType::UInt)
        problem = QStringLiteral("Invalid Prop. Value");
    if (problem.isEmpty())
        return true;
    // The message service has no caption of its own: the box names the call it refused.
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, caption + QStringLiteral(": ") + problem,
                       TMessageButton::OK);
    return false;
}

} // namespace

std::uint32_t EncodeFontWord(const TChartFont& font) {
    std::uint32_t face = 0;
    for (int i = 0; i < FontFaceCount; ++i)
        if (font.Face.compare(QLatin1String(FontFaces[i]), Qt::CaseInsensitive) == 0)
            face = static_cast<std::uint32_t>(i);
    std::uint32_t word = (face << 16) | (static_cast<std::uint32_t>(std::clamp(font.PointSize, 0, 255)));
    if (font.Bold)
        word |= FontBold;
    if (font.Italic)
        word |= FontItalic;
    if (font.Underline)
        word |= FontUnderline;
    if (font.StrikeOut)
        word |= FontStrikeOut;
    return word;
}

TChartFont DecodeFontWord(std::uint32_t word) {
    TChartFont font;
    const int face = static_cast<int>((word >> 16) & 0xFF);
    font.Face = QLatin1String(FontFaces[face < FontFaceCount ? face : 0]);
    font.PointSize = static_cast<int>(word & 0xFF);
    font.Bold = (word & FontBold) != 0;
    font.Italic = (word & FontItalic) != 0;
    font.Underline = (word & FontUnderline) != 0;
    font.StrikeOut = (word & FontStrikeOut) != 0;
    return font;
}

bool TChartModel::OpenData(TChartDataKind kind, int firstCount, int secondCount) {
    switch (kind) {
    case TChartDataKind::Values:
        if (firstCount < 0 || secondCount < 0 ||
            static_cast<qint64>(firstCount) * secondCount > MaxChartValues)
            return false;
        PendingSeries = firstCount;
        PendingPoints = secondCount;
        PendingValues = QList<double>(static_cast<qsizetype>(firstCount) * secondCount, 0.0);
        return true;
    case TChartDataKind::ConstantLines:
        if (firstCount < 0 || firstCount > MaxConstantLines)
            return false;
        PendingConstants = Content.ConstantValues;
        PendingConstants->resize(firstCount, 0.0);
        return true;
    case TChartDataKind::Colours:
        if (firstCount < 0 || firstCount > MaxChartValues)
            return false;
        PendingColours = Content.Colours;
        PendingColours->resize(firstCount);
        return true;
    }
    return false;
}

bool TChartModel::CloseData(TChartDataKind kind) {
    switch (kind) {
    case TChartDataKind::Values:
        if (!PendingValues)
            return false;
        Content.Values = std::move(*PendingValues);
        Content.Series = PendingSeries;
        Content.Points = PendingPoints;
        PendingValues.reset();
        FitLegends(Content.SeriesLegends, Content.Series);
        FitLegends(Content.PointLegends, Content.Points);
        break;
    case TChartDataKind::ConstantLines:
        if (!PendingConstants)
            return false;
        Content.ConstantValues = std::move(*PendingConstants);
        PendingConstants.reset();
        FitLegends(Content.ConstantLegends, static_cast<int>(Content.ConstantValues.size()));
        break;
    case TChartDataKind::Colours:
        if (!PendingColours)
            return false;
        Content.Colours = std::move(*PendingColours);
        PendingColours.reset();
        break;
    default:
        return false;
    }
    Changed();
    return true;
}

bool TChartModel::SetValue(int point, double value) {
    if (!PendingValues || !InRange(ThisSerie, PendingSeries) || !InRange(point, PendingPoints) ||
        !std::isfinite(value))
        return false;
    (*PendingValues)[static_cast<qsizetype>(ThisSerie) * PendingPoints + point] = value;
    return true;
}

double TChartModel::GetValue(int point) const {
    if (!InRange(ThisSerie, Content.Series) || !InRange(point, Content.Points))
        return 0.0;
    return Content.Values[static_cast<qsizetype>(ThisSerie) * Content.Points + point];
}

bool TChartModel::SetConstantValue(int index, double value) {
    if (!PendingConstants || !InRange(index, PendingConstants->size()) || !std::isfinite(value))
        return false;
    (*PendingConstants)[index] = value;
    return true;
}

bool TChartModel::SetColour(int index, std::uint32_t colour, bool background) {
    if (!PendingColours || !InRange(index, PendingColours->size()))
        return false;
    (background ? (*PendingColours)[index].Back : (*PendingColours)[index].Fore) = colour;
    return true;
}

int TChartModel::ColourIndex() const {
    if (!InRange(ThisSerie, Content.Series))
        return -1;
    if ((Content.Type & ChartTypeBit::EachBar) == 0)
        return ThisSerie;
    if (!InRange(ThisPoint, Content.Points))
        return -1;
    return ThisPoint * Content.Series + ThisSerie;
}

std::uint32_t TChartModel::ColourAt(bool background) const {
    const int index = ColourIndex();
    if (!InRange(index, Content.Colours.size()))
        return DefaultChartColour;
    return background ? Content.Colours[index].Back : Content.Colours[index].Fore;
}

void TChartModel::WriteThisColour(std::uint32_t colour, bool background) {
    const bool perPoint = (Content.Type & ChartTypeBit::EachBar) != 0;
    const int index = ColourIndex();
    if (index >= 0) {
        const int count = perPoint ? Content.Series * Content.Points : Content.Series;
        OpenData(TChartDataKind::Colours, std::max(count, static_cast<int>(Content.Colours.size())));
        SetColour(index, colour, background);
        CloseData(TChartDataKind::Colours);
    }
    if (!AutoIncrement)
        return;
    if (++ThisSerie < Content.Series)
        return;
    ThisSerie = 0;
    if (perPoint && ++ThisPoint >= Content.Points)
        ThisPoint = 0;
}

QString TChartModel::GetTitle(int index) const {
    return InRange(index, ChartTitleCount) ? Content.Titles[index] : QString();
}

bool TChartModel::SetTitle(int index, const QString& text) {
    if (!InRange(index, ChartTitleCount))
        return false;
    Content.Titles[index] = text;
    Changed();
    return true;
}

QString TChartModel::GetLegend(int index) const {
    return LegendText(Content.PointLegends, index);
}

bool TChartModel::SetLegend(int index, const QString& text) {
    const bool done = SetLegendText(Content.PointLegends, index, Content.Points, text);
    if (done)
        Changed();
    return done;
}

QString TChartModel::GetSeriesLegend(int index) const {
    return LegendText(Content.SeriesLegends, index);
}

bool TChartModel::SetSeriesLegend(int index, const QString& text) {
    const bool done = SetLegendText(Content.SeriesLegends, index, Content.Series, text);
    if (done)
        Changed();
    return done;
}

QString TChartModel::GetConstantLegend(int index) const {
    return LegendText(Content.ConstantLegends, index);
}

bool TChartModel::SetConstantLegend(int index, const QString& text) {
    const bool done =
        SetLegendText(Content.ConstantLegends, index, static_cast<int>(Content.ConstantValues.size()), text);
    if (done)
        Changed();
    return done;
}

int TChartModel::GetDecimalsItem(int index) const {
    return InRange(index, ChartDecimalsCount) ? Content.Decimals[index] : 0;
}

bool TChartModel::SetDecimalsItem(int value, int index) {
    if (!InRange(index, ChartDecimalsCount) || value < 0 || value > MaxChartDecimals)
        return false;
    Content.Decimals[index] = value;
    Changed();
    return true;
}

double TChartModel::GetAxisScale(int index) const {
    if (!InRange(index, AxisScaleCount))
        return 0.0;
    if (Content.AxisScaleSet[index] || index > 2)
        return Content.AxisScale[index];
    double low = 0.0;
    double high = 0.0;
    for (const QList<double>* values : {&Content.Values, &Content.ConstantValues})
        for (double value : *values) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    low = Content.AxisScaleSet[0] ? Content.AxisScale[0] : RoundUpToScale(low);
    high = Content.AxisScaleSet[1] ? Content.AxisScale[1] : RoundUpToScale(high);
    if (high <= low && !Content.AxisScaleSet[1])
        high = low + 100.0;
    switch (index) {
    case 0:
        return low;
    case 1:
        return high;
    default:
        return (high - low) / 10.0;
    }
}

void TChartModel::SetAxisScale(int index, double value) {
    if (!InRange(index, AxisScaleCount) || !std::isfinite(value))
        return;
    Content.AxisScale[index] = value;
    Content.AxisScaleSet[index] = true;
    Changed();
}

void TChartModel::SetChartType(int gallery) {
    if (gallery < static_cast<int>(TChartGallery::Line) ||
        gallery > static_cast<int>(TChartGallery::Doughnut))
        return;
    Content.Type = (Content.Type & ~ChartTypeBit::GalleryMask) | static_cast<std::uint32_t>(gallery);
    Changed();
}

std::uint32_t TChartModel::FontWord(int element) const {
    return InRange(element, ChartFontCount) ? Content.FontWords[element] : 0;
}

std::uint32_t TChartModel::FontColour(int element) const {
    return InRange(element, ChartFontCount) ? Content.FontColours[element] : 0;
}

bool TChartModel::SetFont(int element, std::uint32_t word, std::uint32_t colour) {
    if (!InRange(element, ChartFontCount))
        return false;
    Content.FontWords[element] = word;
    Content.FontColours[element] = colour;
    Changed();
    return true;
}

int TChartModel::Export(int format, const QVariant& data) {
    if (!ArgumentsAccepted(QStringLiteral("Export"), format, data, {0, 1, 5, 6}, {2, 3, 4}))
        return -1;
    if (format != GraphFileFormat)
        return -1;
    try {
        WriteGraphFile(Content, data.toString());
        return 0;
    } catch (const std::exception& error) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ErrorText(error), TMessageButton::OK);
        return -1;
    }
}

int TChartModel::Import(int format, const QVariant& data) {
    if (!ArgumentsAccepted(QStringLiteral("Import"), format, data, {5, 6}, {3, 4}))
        return -1;
    if (format != GraphFileFormat)
        return -1;
    try {
        Assign(ReadGraphFile(data.toString()));
        return 0;
    } catch (const std::exception& error) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ErrorText(error), TMessageButton::OK);
        return -1;
    }
}

void TChartModel::Assign(const TChartContent& content) {
    Content = content;
    PendingValues.reset();
    PendingConstants.reset();
    PendingColours.reset();
    Changed();
}

void TChartModel::Changed() const {
    if (OnChanged)
        OnChanged();
}
