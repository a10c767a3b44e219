#include "core/charts/ChartExchange.h"

#include "core/common/Exceptions.h"
#include "core/files/Paths.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/Win1252Codec.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ExponentBias = 129;
constexpr int MantissaBits = 39;
constexpr std::uint64_t MantissaLimit = std::uint64_t{1} << MantissaBits;

QString NativeOrRaise(const QString& fileName) {
    const QString native = NativePath(fileName);
    if (native.isEmpty())
        throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(fileName));
    return native;
}

} // namespace

void Real48::Encode(double value, char* data) {
    std::fill(data, data + Size, '\0');
    if (!std::isfinite(value))
        throw EQuilvaneError(QStringLiteral("%1 cannot be stored as a 6-byte real").arg(value));
    if (value == 0.0)
        return;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent); // 0.5 <= fraction < 1
    // value = (1 + m / 2^39) * 2^(exponent - 1)
    std::uint64_t mantissa = static_cast<std::uint64_t>(
        std::nearbyint((fraction * 2.0 - 1.0) * static_cast<double>(MantissaLimit)));
    int biased = exponent - 1 + ExponentBias;
    if (mantissa == MantissaLimit) { // rounded up to the next power of two
        mantissa = 0;
        ++biased;
    }
    if (biased > 255)
        throw EQuilvaneError(QStringLiteral("%1 is too large for a 6-byte real").arg(value));
    if (biased < 1)
        return; // below the smallest 6-byte real: zero
    data[0] = static_cast<char>(biased);
    for (int i = 1; i < Size; ++i)
        data[i] = static_cast<char>((mantissa >> (8 * (i - 1))) & 0xFF);
    if (value < 0)
        data[5] = static_cast<char>(static_cast<unsigned char>(data[5]) | 0x80);
}

double Real48::Decode(const char* data) {
    const auto byte = [data](int i) {
        return static_cast<std::uint64_t>(static_cast<unsigned char>(data[i]));
    };
    if (byte(0) == 0)
        return 0.0;
    std::uint64_t mantissa = 0;
    for (int i = Size - 1; i >= 1; --i)
        mantissa = (mantissa << 8) | byte(i);
    const bool negative = (mantissa & (std::uint64_t{1} << MantissaBits)) != 0;
    mantissa &= MantissaLimit - 1;
    const double magnitude =
        std::ldexp(1.0 + static_cast<double>(mantissa) / static_cast<double>(MantissaLimit),
                   static_cast<int>(byte(0)) - ExponentBias);
    return negative ? -magnitude : magnitude;
}

void PutShortString(QByteArray& record, qsizetype offset, int capacity, const QString& text) {
    const QByteArray bytes = TWin1252Codec::Encode(text).left(capacity);
    record[offset] = static_cast<char>(bytes.size());
    for (qsizetype i = 0; i < capacity; ++i)
        record[offset + 1 + i] = i < bytes.size() ? bytes[i] : '\0';
}

bool GetShortString(const QByteArray& record, qsizetype offset, int capacity, QString& text) {
    if (offset < 0 || offset + 1 + capacity > record.size())
        return false;
    const int length = static_cast<unsigned char>(record[offset]);
    if (length > capacity)
        return false;
    text = TWin1252Codec::Decode(record.constData() + offset + 1, length);
    return true;
}

void PutWord(QByteArray& record, qsizetype offset, std::uint16_t value) {
    record[offset] = static_cast<char>(value & 0xFF);
    record[offset + 1] = static_cast<char>(value >> 8);
}

std::uint16_t GetWord(const QByteArray& record, qsizetype offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(record[offset]) |
                                      static_cast<unsigned char>(record[offset + 1]) << 8);
}

void WriteExchangeFile(const QString& fileName, const QByteArray& bytes) {
    const QString native = NativeOrRaise(fileName);
    CreateFolderFor(native);
    TStoredFileWriter stored(native);
    if (stored.Device().write(bytes) != bytes.size())
        throw EQuilvaneError(stored.Device().errorString());
    stored.Commit();
}

bool ReadExchangeFile(const QString& fileName, qint64 maxSize, QByteArray& bytes) {
    const QString native = NativeOrRaise(fileName);
    if (!QFileInfo(native).isFile())
        return false;
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(file.errorString());
    if (file.size() > maxSize)
        throw EQuilvaneError(QStringLiteral("%1 is too long for its form (%2 bytes, at most %3)")
                                 .arg(QFileInfo(native).fileName())
                                 .arg(file.size())
                                 .arg(maxSize));
    bytes = file.readAll();
    if (bytes.size() > maxSize || file.error() != QFileDevice::NoError)
        throw EQuilvaneError(QStringLiteral("%1 could not be read").arg(QFileInfo(native).fileName()));
    return true;
}
