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
