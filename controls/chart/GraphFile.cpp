#include "controls/chart/GraphFile.h"

#include "core/common/Exceptions.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"

#include <QDir>
#include <QFile>
#include <cmath>

namespace {

const QString GraphFileHeader = QStringLiteral("Quilvane graph");

void WriteTexts(TValueWriter& writer, const QStringList& texts) {
    writer.WriteListBegin();
    for (const QString& text : texts)
        writer.WriteString(text);
    writer.WriteListEnd();
}

// A list of at most `limit` texts.
QStringList ReadTexts(TValueReader& reader, qsizetype limit) {
    QStringList texts;
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        if (texts.size() >= limit)
            throw EStreamError::InvalidValue();
        texts.append(reader.ReadString());
    }
    reader.ReadListEnd();
    return texts;
}

// A list of exactly `count` numbers.
QList<double> ReadNumbers(TValueReader& reader, qsizetype count) {
    QList<double> numbers;
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        if (numbers.size() >= count)
            throw EStreamError::InvalidValue();
        numbers.append(reader.ReadFiniteFloat());
    }
    reader.ReadListEnd();
    if (numbers.size() != count)
        throw EStreamError::InvalidValue();
    return numbers;
}

int ReadCount(TValueReader& reader, int limit) {
    const std::int32_t count = reader.ReadInteger();
    if (count < 0 || count > limit)
        throw EStreamError::InvalidValue();
    return count;
}

std::uint32_t ReadWord(TValueReader& reader) {
    return static_cast<std::uint32_t>(reader.ReadInteger());
}

void WriteWord(TValueWriter& writer, std::uint32_t word) {
    writer.WriteInteger(static_cast<std::int32_t>(word));
}

// The reader takes finite numbers only, so a value that is not finite is written as 0.
void WriteNumber(TValueWriter& writer, double value) {
    writer.WriteFloat(std::isfinite(value) ? value : 0.0);
}

int ReadRanged(TValueReader& reader, int lowest, int highest) {
    const std::int32_t value = reader.ReadInteger();
    if (value < lowest || value > highest)
        throw EStreamError::InvalidValue();
    return value;
}

template <typename TEnum> TEnum ReadEnum(TValueReader& reader, TEnum highest) {
    return static_cast<TEnum>(ReadRanged(reader, 0, static_cast<int>(highest)));
}

// The settings of version 2: the list of single settings, the per-series settings and the
// indexed settings that are not 0.
void WriteSettings(TValueWriter& writer, const TChartSettings& settings) {
    writer.WriteListBegin();
    for (int gap : settings.Gaps)
        writer.WriteInteger(gap);
    for (std::uint32_t word : {settings.RGBBarHorz, settings.RGB2DBk, settings.RGB3DBk})
        WriteWord(writer, word);
    for (std::int32_t value : {settings.View3DDepth, settings.View3DLight, settings.WallWidth,
                               settings.FixedGap, settings.VertGridGap})
        writer.WriteInteger(value);
    writer.WriteInteger(settings.MarkerSize);
    writer.WriteInteger(settings.MarkerVolume);
    WriteWord(writer, settings.Shape);
    writer.WriteInteger(settings.Grid);
    for (int value : {static_cast<int>(settings.PointType), static_cast<int>(settings.Scheme),
                      static_cast<int>(settings.Stacked)})
        writer.WriteInteger(value);
    WriteWord(writer, settings.GalleryTool);
    WriteWord(writer, settings.CustomTool);
    for (int value : {static_cast<int>(settings.DblClkDlg), static_cast<int>(settings.RigClkDlg),
                      static_cast<int>(settings.BorderStyle)})
        writer.WriteInteger(value);
    for (std::uint32_t word :
         {settings.EngineFlags47, settings.EngineFlags69, settings.Setting0E[0], settings.Setting0E[1]})
        WriteWord(writer, word);
    writer.WriteListEnd();
    writer.WriteListBegin();
    for (const TChartSeriesSettings& serie : settings.PerSeries)
        for (std::uint32_t word : {serie.Setting55, serie.Setting56, serie.Setting6C, serie.Setting68})
            WriteWord(writer, word);
    writer.WriteListEnd();
    writer.WriteListBegin();
    for (auto setting = settings.Indexed.cbegin(); setting != settings.Indexed.cend(); ++setting)
        if (setting.value() != 0) {
            writer.WriteInteger(setting.key());
            writer.WriteInteger(setting.value());
        }
    writer.WriteListEnd();
}

TChartSettings ReadSettings(TValueReader& reader) {
    TChartSettings settings;
    reader.ReadListBegin();
    for (int& gap : settings.Gaps)
        gap = ReadRanged(reader, 0, MaxChartGap);
    for (std::uint32_t* word : {&settings.RGBBarHorz, &settings.RGB2DBk, &settings.RGB3DBk})
        *word = ReadWord(reader);
    for (std::int32_t* value : {&settings.View3DDepth, &settings.View3DLight, &settings.WallWidth,
                                &settings.FixedGap, &settings.VertGridGap})
        *value = reader.ReadInteger();
    settings.MarkerSize = ReadRanged(reader, 1, MaxMarkerSize);
    settings.MarkerVolume = ReadRanged(reader, 1, MaxMarkerVolume);
    settings.Shape = ReadWord(reader);
    settings.Grid = ReadRanged(reader, 0, ChartGridBit::All);
    settings.PointType = ReadEnum(reader, TChartPointType::Many);
    settings.Scheme = ReadEnum(reader, TChartScheme::Pattern);
    settings.Stacked = ReadEnum(reader, TChartStacked::Full);
    settings.GalleryTool = ReadWord(reader);
    settings.CustomTool = ReadWord(reader);
    settings.DblClkDlg = ReadEnum(reader, TChartDialogMode::None);
    settings.RigClkDlg = ReadEnum(reader, TChartDialogMode::None);
    settings.BorderStyle = ReadEnum(reader, TChartBorderStyle::Single);
    for (std::uint32_t* word :
         {&settings.EngineFlags47, &settings.EngineFlags69, &settings.Setting0E[0], &settings.Setting0E[1]})
        *word = ReadWord(reader);
    reader.ReadListEnd();
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        if (settings.PerSeries.size() >= MaxChartValues)
            throw EStreamError::InvalidValue();
        TChartSeriesSettings serie;
        for (std::uint32_t* word : {&serie.Setting55, &serie.Setting56, &serie.Setting6C, &serie.Setting68})
            *word = ReadWord(reader);
        settings.PerSeries.append(serie);
    }
    reader.ReadListEnd();
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        const int index = ReadRanged(reader, 0, MaxIndexedSetting);
        const std::int32_t value = reader.ReadInteger();
        if (value == 0 || settings.Indexed.contains(index))
            throw EStreamError::InvalidValue();
        settings.Indexed.insert(index, value);
    }
    reader.ReadListEnd();
    return settings;
}

} // namespace

void WriteGraphStream(const TChartContent& content, QIODevice& device) {
    TValueWriter writer(device);
    writer.WriteString(GraphFileHeader);
    writer.WriteInteger(GraphFileVersion);
    WriteWord(writer, content.Type);
    WriteWord(writer, content.Style);
    WriteWord(writer, content.Background);
    writer.WriteInteger(content.Series);
    writer.WriteInteger(content.Points);
    for (const QList<double>* numbers : {&content.Values, &content.ConstantValues}) {
        writer.WriteListBegin();
        for (double value : *numbers)
            WriteNumber(writer, value);
        writer.WriteListEnd();
    }
    WriteTexts(writer, QStringList(content.Titles.begin(), content.Titles.end()));
    WriteTexts(writer, content.PointLegends);
    WriteTexts(writer, content.SeriesLegends);
    WriteTexts(writer, content.ConstantLegends);
    writer.WriteListBegin();
    for (int decimals : content.Decimals)
        writer.WriteInteger(decimals);
    writer.WriteListEnd();
    writer.WriteListBegin();
    for (int i = 0; i < AxisScaleCount; ++i)
        if (content.AxisScaleSet[i]) {
            writer.WriteInteger(i);
            WriteNumber(writer, content.AxisScale[i]);
        }
    writer.WriteListEnd();
    writer.WriteListBegin();
    for (const TChartColour& colour : content.Colours) {
        WriteWord(writer, colour.Fore);
        WriteWord(writer, colour.Back);
    }
    writer.WriteListEnd();
    writer.WriteListBegin();
    for (int i = 0; i < ChartFontCount; ++i) {
        WriteWord(writer, content.FontWords[i]);
        WriteWord(writer, content.FontColours[i]);
    }
    writer.WriteListEnd();
    WriteSettings(writer, content.Settings);
    writer.Finish();
}

TChartContent ReadGraphStream(QIODevice& device, const QString& name) {
    TValueReader reader(device);
    const QString shown = QDir::toNativeSeparators(name);
    bool isGraph = false;
    try {
        isGraph = reader.PeekTag() == TValueTag::String && reader.ReadString() == GraphFileHeader;
    } catch (const EStreamError&) {
    }
    if (!isGraph)
        throw EQuilvaneError(QStringLiteral("%1 is not a graph file of this program. Graph files of other "
                                            "charting programs cannot be read.")
                                 .arg(shown));
    TChartContent content;
    try {
        const std::int32_t version = reader.ReadInteger();
        if (version > GraphFileVersion)
            throw EQuilvaneError(
                QStringLiteral("%1 was written by a newer version of the program (graph file version %2).")
                    .arg(shown)
                    .arg(version));
        if (version < 1)
            throw EStreamError::InvalidValue();
        content.Type = ReadWord(reader);
        content.Style = ReadWord(reader);
        content.Background = ReadWord(reader);
        content.Series = ReadCount(reader, MaxChartValues);
        content.Points = ReadCount(reader, MaxChartValues);
        const qint64 valueCount = static_cast<qint64>(content.Series) * content.Points;
        if (valueCount > MaxChartValues)
            throw EStreamError::InvalidValue();
        content.Values = ReadNumbers(reader, valueCount);
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            if (content.ConstantValues.size() >= MaxConstantLines)
                throw EStreamError::InvalidValue();
            content.ConstantValues.append(reader.ReadFiniteFloat());
        }
        reader.ReadListEnd();
        const QStringList titles = ReadTexts(reader, ChartTitleCount);
        if (titles.size() != ChartTitleCount)
            throw EStreamError::InvalidValue();
        std::copy(titles.begin(), titles.end(), content.Titles.begin());
        content.PointLegends = ReadTexts(reader, content.Points);
        content.SeriesLegends = ReadTexts(reader, content.Series);
        content.ConstantLegends = ReadTexts(reader, content.ConstantValues.size());
        reader.ReadListBegin();
        for (int& decimals : content.Decimals)
            decimals = ReadCount(reader, MaxChartDecimals);
        reader.ReadListEnd();
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            const int index = ReadCount(reader, AxisScaleCount - 1);
            content.AxisScale[index] = reader.ReadFiniteFloat();
            content.AxisScaleSet[index] = true;
        }
        reader.ReadListEnd();
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            if (content.Colours.size() >= MaxChartValues)
                throw EStreamError::InvalidValue();
            TChartColour colour;
            colour.Fore = ReadWord(reader);
            colour.Back = ReadWord(reader);
            content.Colours.append(colour);
        }
        reader.ReadListEnd();
        reader.ReadListBegin();
        for (int i = 0; i < ChartFontCount; ++i) {
            content.FontWords[i] = ReadWord(reader);
            content.FontColours[i] = ReadWord(reader);
        }
        reader.ReadListEnd();
        if (version >= 2) {
            content.Settings = ReadSettings(reader);
        } else {
            // A file of version 1 has the settings of a new chart.
            content.Settings.PerSeries.resize(content.Series);
        }
        if (!reader.AtEnd())
            throw EStreamError::InvalidValue();
    } catch (const EStreamError& error) {
        throw EQuilvaneError(
            QStringLiteral("The graph file %1 is damaged (%2).").arg(shown, error.message()));
    }
    return content;
}

void WriteGraphFile(const TChartContent& content, const QString& path) {
    TStoredFileWriter file(QDir::toNativeSeparators(path));
    try {
        WriteGraphStream(content, file.Device());
    } catch (const EStreamError& error) {
        throw EQuilvaneError(QStringLiteral("The graph file %1 cannot be written (%2).")
                                 .arg(QDir::toNativeSeparators(path), error.message()));
    }
    file.Commit();
}

TChartContent ReadGraphFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(QStringLiteral("The graph file %1 cannot be opened (%2).")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()));
    return ReadGraphStream(file, path);
}
