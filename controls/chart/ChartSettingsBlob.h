#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// A settings blob of the chart: a text that never holds a zero byte, so that it can travel as a
// zero-terminated string. It starts "Res" and a byte with the blob's number (1 to 4), then the
// values one after another:
// - a 32-bit value: its 4 bytes, low byte first, each zero byte written as "-", then a mask byte
//   0x20 plus 1, 2, 4, 8 for each byte that was zero;
// - a Double: its 8 bytes (IEEE, low byte first), each zero byte written as "-", then a mask byte
//   with bit n set for each zero byte n (a blank when there was none), then a marker byte, 1 when
//   there was no zero byte and 2 when there was;
// - a text: its length plus 1 in one byte, then its characters (Windows-1252, at most 254).
//
// The same object reads a blob back: the Read functions take the next value, or give nothing
// (and read nothing more) when the bytes there are not a value of that kind.
class TChartSettingsBlob {
public:
    // A new blob of the given number, holding no value yet.
    explicit TChartSettingsBlob(int number);
    // A blob to read. Valid() is false unless the text starts "Res" and the expected number.
    TChartSettingsBlob(int number, const QByteArray& text);

    static constexpr int WordSize = 5;
    static constexpr int DoubleSize = 10;
    static constexpr int MaxTextLength = 254;

    void AppendWord(std::uint32_t value);
    void AppendDouble(double value);
    // A longer text keeps its first MaxTextLength characters; a zero character becomes a blank.
    void AppendText(const QString& text);

    bool Valid() const { return Good; }
    std::optional<std::uint32_t> ReadWord();
    std::optional<double> ReadDouble();
    std::optional<QString> ReadText();
    // The bytes not read yet.
    qsizetype Remaining() const { return Good ? Bytes.size() - Position : 0; }
    bool AtEnd() const { return Remaining() == 0; }

    const QByteArray& Text() const { return Bytes; }

private:
    std::optional<QByteArray> Take(qsizetype count);
    void Fail() { Good = false; }

    QByteArray Bytes;
    qsizetype Position = 0;
    bool Good = true;
};
