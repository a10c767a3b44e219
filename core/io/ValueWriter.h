#pragma once

#include "core/io/ValueTag.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class QIODevice;

// Writes a value stream: each value a tag byte and a payload (see ValueTag.h). Bytes collect in a
// buffer of the given size (8192 for chart files, 4096 for logs) and go to the device when it is
// full and on Finish(). Finish() must be called to complete a file: a failure to write raises
// EStreamError there (or from the call that filled the buffer). Destroying a writer that was not
// finished drops what its buffer still holds.
class TValueWriter {
public:
    explicit TValueWriter(QIODevice& device, int bufferSize = 8192);
    ~TValueWriter();
    TValueWriter(const TValueWriter&) = delete;
    TValueWriter& operator=(const TValueWriter&) = delete;

    void WriteInteger(std::int32_t value);
    void WriteString(const QString& text);
    void WriteFloat(double value);
    void WriteBoolean(bool value);
    void WriteIdent(const QString& text);
    void WriteListBegin();
    void WriteListEnd();
    // Members 0-14 of a set of small integers (bit n = member n), as a list in ascending order.
    void WriteIntegerSet(std::uint16_t set);

    // Passes everything buffered to the device.
    void Finish();

private:
    void PutTag(TValueTag tag);
    void PutByte(std::uint8_t byte);
    void PutBytes(const char* data, qsizetype length);
    void Flush();

    QIODevice& Device;
    QByteArray Buffer;
    int Capacity;
    bool Failed = false;
};
