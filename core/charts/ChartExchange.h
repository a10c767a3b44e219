#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The pieces of the exchange forms of the charts: fixed-size records of short strings and
// 6-byte reals, read from and written to whole files.

// A short string: one length byte and then the characters (Windows-1252), the field's bytes
// after them zero. Capacity is the number of characters the field holds (its size less one).
// Writing cuts the text to the capacity.
void PutShortString(QByteArray& record, qsizetype offset, int capacity, const QString& text);
// False when the length byte exceeds the capacity or the record ends inside the field.
bool GetShortString(const QByteArray& record, qsizetype offset, int capacity, QString& text);

// Little-endian 16-bit numbers.
void PutWord(QByteArray& record, qsizetype offset, std::uint16_t value);
std::uint16_t GetWord(const QByteArray& record, qsizetype offset);

// 6-byte reals (TReal48). Putting raises EQuilvaneError for a value beyond the form's range or
// one that is not a number.
void PutReal48(QByteArray& record, qsizetype offset, double value);
double GetReal48(const QByteArray& record, qsizetype offset);

// Writes a whole exchange file (native path, or stored form) through a temporary file renamed
// over the target, creating its folder. Raises EQuilvaneError naming what failed.
void WriteExchangeFile(const QString& fileName, const QByteArray& bytes);
// Reads a whole exchange file. False when there is no such file (nothing read); raises
// EQuilvaneError when it exists but cannot be read, or is longer than maxSize.
bool ReadExchangeFile(const QString& fileName, qint64 maxSize, QByteArray& bytes);
