#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Stored bytes written by hand as hex (blanks between bytes allowed), and files read and written
// whole, for tests that compare what the program stores byte for byte.
inline QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

// The file's bytes; empty when it cannot be read.
inline QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#ifdef QUILVANE_TEST_DATA_DIR
// A golden file under tests/data, by its path there.
inline QByteArray TestData(const char* path) {
    return ReadFileBytes(QStringLiteral(QUILVANE_TEST_DATA_DIR "/") + QLatin1String(path));
}
#endif

// Replaces the file with the bytes; false when it could not be written whole.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
