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

// A block of a hex file: "[name]" starts it (its bytes may follow on the same line) and the
// next block ends it; blanks are ignored and "#" starts a comment. Empty when there is no such
// block.
inline QByteArray HexBlock(const QByteArray& text, const QByteArray& block) {
    const QByteArray name = '[' + block + ']';
    const qsizetype start = text.indexOf(name);
    if (start < 0)
        return QByteArray();
    QByteArray hex;
    for (const QByteArray& line : text.mid(start + name.size()).split('\n')) {
        if (line.trimmed().startsWith('['))
            break;
        hex += line.left(line.indexOf('#') < 0 ? line.size() : line.indexOf('#'));
    }
    return QByteArray::fromHex(hex);
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
