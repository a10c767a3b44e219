#include "controls/chart/ChartModel.h"

#include "controls/chart/ChartSettingsBlob.h"
#include "controls/chart/GraphFile.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "core/util/Numbers.h"

#include <QRandomGenerator>

#include <algorithm>
#include <bit>
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

constexpr std::uint32_t ColourMask = 0x00FFFFFF;
// Setting 0E's first word travels in a blob as its low 7 bits.
constexpr std::uint32_t Setting0EBlobMask = 0x7F;
constexpr int BlobCount = 4;
// Bytes of one series in blob 1 (three words) and of the colours in blob 3.
constexpr qsizetype Blob1SeriesSize = 3 * TChartSettingsBlob::WordSize;
constexpr qsizetype Blob3ColoursSize = 2 * BlobColourCount * TChartSettingsBlob::WordSize;
constexpr int BlobTitleLength = 25;
// The widest random range of the sample values.
constexpr double MaxSampleRange = 1e9;

bool InRange(int index, qsizetype count) {
    return index >= 0 && index < count;
}

bool IsChartDialogMode(int mode) {
    return mode >= static_cast<int>(TChartDialogMode::Balloon) &&
           mode <= static_cast<int>(TChartDialogMode::None);
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
        Content.Settings.PerSeries.resize(Content.Series);
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

TChartColour TChartModel::ColourPair(int index) const {
    return InRange(index, Content.Colours.size()) ? Content.Colours[index] : TChartColour{};
}

bool TChartModel::ChangeValue(int serie, int point, double value) {
    if (!InRange(serie, Content.Series) || !InRange(point, Content.Points) || !std::isfinite(value))
        return false;
    Content.Values[static_cast<qsizetype>(serie) * Content.Points + point] = value;
    Changed();
    return true;
}

int TChartModel::NSeries() const {
    SeriesCache = Content.Series;
    return Content.Series;
}

int TChartModel::NValues() const {
    ValuesCache = Content.Points;
    return Content.Points;
}

void TChartModel::SetNSeries(int count) {
    if (count < 0 || count > MaxChartValues)
        return;
    SeriesCache = count;
    if (Content.Settings.PerSeries.size() != count) {
        Content.Settings.PerSeries.resize(count);
        Changed();
    }
}

void TChartModel::SetNValues(int count) {
    if (count >= 0 && count <= MaxChartValues)
        ValuesCache = count;
}

void TChartModel::FillSampleValues() {
    const double minimum = GetAxisScale(0);
    double maximum = GetAxisScale(1);
    if (maximum <= minimum)
        maximum = minimum + 100.0;
    const auto range = static_cast<qint64>(std::llround(std::min(maximum - minimum, MaxSampleRange)));
    if (!OpenData(TChartDataKind::Values, SeriesCache, ValuesCache))
        return;
    const int serie = ThisSerie;
    for (ThisSerie = 0; ThisSerie < SeriesCache; ++ThisSerie)
        for (int point = 0; point < ValuesCache; ++point)
            SetValue(point, minimum + static_cast<double>(
                                          range > 0 ? QRandomGenerator::global()->bounded(range) : 0));
    ThisSerie = serie;
    CloseData(TChartDataKind::Values);
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
    const auto take = [&](double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    };
    switch (StackedAsShown()) {
    case TChartStacked::Full:
        take(100.0);
        break;
    case TChartStacked::Normal:
        for (int point = 0; point < Content.Points; ++point) {
            double above = 0.0;
            double below = 0.0;
            for (int serie = 0; serie < Content.Series; ++serie) {
                const double value = Content.Values[static_cast<qsizetype>(serie) * Content.Points + point];
                (value < 0.0 ? below : above) += value;
            }
            take(above);
            take(below);
        }
        break;
    case TChartStacked::None:
        for (double value : Content.Values)
            take(value);
        break;
    }
    for (double value : Content.ConstantValues)
        take(value);
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

TChartFont TChartModel::Font(TChartFontElement element) const {
    TChartFont font = DecodeFontWord(FontWord(static_cast<int>(element)));
    font.Colour = FontColour(static_cast<int>(element));
    return font;
}

void TChartModel::SetFont(TChartFontElement element, const TChartFont& font) {
    SetFont(static_cast<int>(element), EncodeFontWord(font), ChartRGB(font.Colour));
}

TChartStacked TChartModel::StackedAsShown() const {
    switch (static_cast<TChartGallery>(ChartType())) {
    case TChartGallery::Bar:
    case TChartGallery::Pareto:
    case TChartGallery::Cube:
    case TChartGallery::Area:
        return Content.Settings.Stacked;
    default:
        return TChartStacked::None;
    }
}

std::uint32_t TChartModel::ChartRGB(std::uint32_t colour) {
    return colour == DefaultChartColour ? colour : colour & ColourMask;
}

void TChartModel::SetRGBBk(std::uint32_t colour) {
    Content.Background = ChartRGB(colour);
    Changed();
}

int TChartModel::GetGap(int index) const {
    return InRange(index, ChartGapCount) ? Content.Settings.Gaps[index] : 0;
}

void TChartModel::SetGap(int index, int value) {
    if (InRange(index, ChartGapCount) && value >= 0 && value <= MaxChartGap)
        SetSetting(Content.Settings.Gaps[index], value);
}

void TChartModel::SetMarkerSize(int value) {
    if (value >= 1 && value <= MaxMarkerSize)
        SetSetting(Content.Settings.MarkerSize, value);
}

void TChartModel::SetMarkerVolume(int value) {
    if (value >= 1 && value <= MaxMarkerVolume)
        SetSetting(Content.Settings.MarkerVolume, value);
}

void TChartModel::SetGrid(int value) {
    if (value >= 0 && value <= ChartGridBit::All)
        SetSetting(Content.Settings.Grid, value);
}

void TChartModel::SetPointType(int value) {
    if (value >= static_cast<int>(TChartPointType::None) && value <= static_cast<int>(TChartPointType::Many))
        SetSetting(Content.Settings.PointType, static_cast<TChartPointType>(value));
}

void TChartModel::SetScheme(int value) {
    if (value >= static_cast<int>(TChartScheme::Solid) && value <= static_cast<int>(TChartScheme::Pattern))
        SetSetting(Content.Settings.Scheme, static_cast<TChartScheme>(value));
}

void TChartModel::SetStacked(int value) {
    if (value >= static_cast<int>(TChartStacked::None) && value <= static_cast<int>(TChartStacked::Full))
        SetSetting(Content.Settings.Stacked, static_cast<TChartStacked>(value));
}

void TChartModel::SetDblClkDlg(int mode) {
    if (IsChartDialogMode(mode))
        SetSetting(Content.Settings.DblClkDlg, static_cast<TChartDialogMode>(mode));
}

void TChartModel::SetRigClkDlg(int mode) {
    if (IsChartDialogMode(mode))
        SetSetting(Content.Settings.RigClkDlg, static_cast<TChartDialogMode>(mode));
}

bool TChartModel::SetIndexedSetting(int index, std::int32_t value) {
    if (!InRange(index, MaxIndexedSetting + 1))
        return false;
    QMap<int, std::int32_t>& indexed = Content.Settings.Indexed;
    if (indexed.value(index) == value)
        return true;
    // A setting back at 0 is the same as one never set.
    if (value == 0)
        indexed.remove(index);
    else
        indexed[index] = value;
    Changed();
    return true;
}

std::int32_t TChartModel::GetIndexedSetting(int index) const {
    return Content.Settings.Indexed.value(index);
}

std::uint32_t TChartModel::GetSetting0E(int selector) const {
    if (selector != Setting0EFirst && selector != Setting0ESecond)
        return 0;
    return Content.Settings.Setting0E[selector == Setting0EFirst ? 0 : 1];
}

bool TChartModel::SetSetting0E(int selector, std::uint32_t value) {
    if (selector != Setting0EFirst && selector != Setting0ESecond)
        return false;
    SetSetting(Content.Settings.Setting0E[selector == Setting0EFirst ? 0 : 1], value);
    return true;
}

namespace {

// The field of a per-series record that holds a family's setting (const or not).
template <typename TSettings> auto SeriesSettingField(TSettings& settings, TChartSeriesSetting family) {
    switch (family) {
    case TChartSeriesSetting::Code55:
        return &settings.Setting55;
    case TChartSeriesSetting::Code56:
        return &settings.Setting56;
    case TChartSeriesSetting::Code6C:
        return &settings.Setting6C;
    case TChartSeriesSetting::Code68:
        break;
    }
    return &settings.Setting68;
}

} // namespace

std::uint32_t TChartModel::GetSeriesSetting(TChartSeriesSetting family, int serie) const {
    if (!InRange(serie, Content.Settings.PerSeries.size()))
        return 0;
    return *SeriesSettingField(Content.Settings.PerSeries[serie], family);
}

bool TChartModel::SetSeriesSetting(TChartSeriesSetting family, int serie, std::uint32_t value) {
    if (!InRange(serie, Content.Settings.PerSeries.size()))
        return false;
    SetSetting(*SeriesSettingField(Content.Settings.PerSeries[serie], family), value);
    return true;
}

QByteArray TChartModel::zzzReserved(int number) const {
    if (number < 1 || number > BlobCount)
        return QByteArray();
    TChartSettingsBlob blob(number);
    const TChartSettings& settings = Content.Settings;
    switch (number) {
    case 1:
        for (const TChartSeriesSettings& serie : settings.PerSeries) {
            blob.AppendWord(serie.Setting55);
            blob.AppendWord(serie.Setting56);
            blob.AppendWord(serie.Setting6C);
        }
        break;
    case 2:
        for (int i = 0; i < AxisScaleCount; ++i)
            blob.AppendDouble(GetAxisScale(i));
        blob.AppendWord(settings.GalleryTool);
        blob.AppendWord(settings.Setting0E[0] & Setting0EBlobMask);
        blob.AppendWord(settings.Setting0E[1]);
        blob.AppendWord(settings.Shape);
        break;
    case 3:
        for (const TChartSeriesSettings& serie : settings.PerSeries)
            blob.AppendWord(serie.Setting68);
        for (int i = 0; i < BlobColourCount; ++i) {
            blob.AppendWord(ColourPair(i).Fore);
            blob.AppendWord(ColourPair(i).Back);
        }
        break;
    default:
        for (const QString& title : Content.Titles)
            blob.AppendText(title);
        for (int i = 0; i < ChartFontCount; ++i) {
            blob.AppendWord(Content.FontColours[i]);
            blob.AppendWord(Content.FontWords[i]);
        }
        break;
    }
    return blob.Text();
}

bool TChartModel::SetzzzReserved(int number, const QByteArray& text) {
    if (number < 1 || number > BlobCount)
        return false;
    TChartSettingsBlob blob(number, text);
    return blob.Valid() && ApplyBlob(number, blob);
}

namespace {

// The next `count` words of a blob; empty when the blob does not hold them.
std::optional<QList<std::uint32_t>> ReadWords(TChartSettingsBlob& blob, qsizetype count) {
    QList<std::uint32_t> words;
    for (qsizetype i = 0; i < count; ++i) {
        const std::optional<std::uint32_t> word = blob.ReadWord();
        if (!word)
            return std::nullopt;
        words.append(*word);
    }
    return words;
}

} // namespace

// Every value is read before any is applied, so that a damaged blob changes nothing.
bool TChartModel::ApplyBlob(int number, TChartSettingsBlob& blob) {
    const qsizetype perSeries = Content.Settings.PerSeries.size();
    switch (number) {
    case 1: {
        if (blob.Remaining() % Blob1SeriesSize != 0)
            return false;
        const auto words = ReadWords(blob, blob.Remaining() / TChartSettingsBlob::WordSize);
        if (!words)
            return false;
        for (int serie = 0; serie < std::min(perSeries, words->size() / 3); ++serie) {
            SetSeriesSetting(TChartSeriesSetting::Code55, serie, (*words)[serie * 3]);
            SetSeriesSetting(TChartSeriesSetting::Code56, serie, (*words)[serie * 3 + 1]);
            SetSeriesSetting(TChartSeriesSetting::Code6C, serie, (*words)[serie * 3 + 2]);
        }
        return true;
    }
    case 2: {
        std::array<double, AxisScaleCount> scale{};
        for (double& value : scale) {
            const std::optional<double> read = blob.ReadDouble();
            if (!read)
                return false;
            value = *read;
        }
        const auto words = ReadWords(blob, 4);
        if (!words || !blob.AtEnd())
            return false;
        // A setting that answers the same already (an axis range taken from the data) stays as it is.
        for (int i = 0; i < AxisScaleCount; ++i)
            if (std::bit_cast<std::uint64_t>(scale[i]) != std::bit_cast<std::uint64_t>(GetAxisScale(i)))
                SetAxisScale(i, scale[i]);
        SetGalleryTool((*words)[0]);
        SetSetting0E(Setting0EFirst, (*words)[1] & Setting0EBlobMask);
        SetSetting0E(Setting0ESecond, (*words)[2]);
        SetShape((*words)[3]);
        return true;
    }
    case 3: {
        const qsizetype seriesBytes = blob.Remaining() - Blob3ColoursSize;
        if (seriesBytes < 0 || seriesBytes % TChartSettingsBlob::WordSize != 0)
            return false;
        const auto words = ReadWords(blob, blob.Remaining() / TChartSettingsBlob::WordSize);
        if (!words)
            return false;
        const qsizetype series = seriesBytes / TChartSettingsBlob::WordSize;
        for (int serie = 0; serie < std::min(perSeries, series); ++serie)
            SetSeriesSetting(TChartSeriesSetting::Code68, serie, (*words)[serie]);
        int needed = 0;
        for (int i = 0; i < BlobColourCount; ++i) {
            const TChartColour colour{(*words)[series + 2 * i], (*words)[series + 2 * i + 1]};
            if (colour != ColourPair(i))
                needed = i + 1;
        }
        if (needed > 0) {
            OpenData(TChartDataKind::Colours, std::max(needed, static_cast<int>(Content.Colours.size())));
            for (int i = 0; i < needed; ++i) {
                SetColour(i, (*words)[series + 2 * i], false);
                SetColour(i, (*words)[series + 2 * i + 1], true);
            }
            CloseData(TChartDataKind::Colours);
        }
        return true;
    }
    default: {
        std::array<QString, ChartTitleCount> titles;
        for (QString& title : titles) {
            const std::optional<QString> text = blob.ReadText();
            if (!text)
                return false;
            title = text->left(BlobTitleLength);
        }
        const auto words = ReadWords(blob, 2 * ChartFontCount);
        if (!words || !blob.AtEnd())
            return false;
        for (int i = 0; i < ChartTitleCount; ++i)
            if (titles[i] != Content.Titles[i])
                SetTitle(i, titles[i]);
        for (int i = 0; i < ChartFontCount; ++i)
            if (FontColour(i) != (*words)[2 * i] || FontWord(i) != (*words)[2 * i + 1])
                SetFont(i, (*words)[2 * i + 1], (*words)[2 * i]);
        return true;
    }
    }
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
    } catch (const std::exception& error) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ErrorText(error), TMessageButton::OK);
        return -1;
    }
    if (OnReadFile)
        OnReadFile();
    return 0;
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
