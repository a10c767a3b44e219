#include "core/charts/ChartExchange.h"

#include "core/common/Exceptions.h"
#include "core/files/Paths.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/Real48.h"
#include "core/io/Win1252Codec.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString NativeOrRaise(const QString& fileName) {
    const QString native = NativePath(fileName);
    if (native.isEmpty())
        throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(fileName));
    return native;
}

} // namespace

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

void PutReal48(QByteArray& record, qsizetype offset, double value) {
    const TReal48::TBytes bytes = TReal48::FromDouble(value);
    std::copy(bytes.begin(), bytes.end(), record.begin() + offset);
}

double GetReal48(const QByteArray& record, qsizetype offset) {
    TReal48::TBytes bytes;
    std::copy_n(record.constBegin() + offset, bytes.size(), bytes.begin());
    return TReal48::ToDouble(bytes);
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
