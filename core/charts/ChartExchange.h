#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The pieces of the exchange forms of the charts: fixed-size records of short strings and
// 6-byte reals, read from and written to whole files.

// The 6-byte real of the exchange records: byte 0 the exponent biased by 129 (0 for zero),
// bytes 1-5 a 39-bit mantissa, least significant byte first, with an implied leading 1, and the
// sign in the top bit of byte 5.
namespace Real48 {
inline constexpr int Size = 6;
// Writes the value at data[0..5]. Raises EQuilvaneError for a value beyond the form's range
// (about 1.7e38) or one that is not a number; values too small for it are written as 0.
void Encode(double value, char* data);
// The value of data[0..5]; always finite.
double Decode(const char* data);
} // namespace Real48

// A short string: one length byte and then the characters (Windows-1252), the field's bytes
// after them zero. Capacity is the number of characters the field holds (its size less one).
// Writing cuts the text to the capacity.
void PutShortString(QByteArray& record, qsizetype offset, int capacity, const QString& text);
// False when the length byte exceeds the capacity or the record ends inside the field.
bool GetShortString(const QByteArray& record, qsizetype offset, int capacity, QString& text);

// Little-endian 16-bit numbers.
void PutWord(QByteArray& record, qsizetype offset, std::uint16_t value);
std::uint16_t GetWord(const QByteArray& record, qsizetype offset);

// Writes a whole exchange file (native path, or stored form) through a temporary file renamed
// over the target, creating its folder. Raises EQuilvaneError naming what failed.
void WriteExchangeFile(const QString& fileName, const QByteArray& bytes);
// Reads a whole exchange file. False when there is no such file (nothing read); raises
// EQuilvaneError when it exists but cannot be read, or is longer than maxSize.
bool ReadExchangeFile(const QString& fileName, qint64 maxSize, QByteArray& bytes);
