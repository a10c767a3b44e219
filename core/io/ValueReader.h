#pragma once

#include "core/io/ValueTag.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class QIODevice;

// Reads a value stream written by TValueWriter. A value of the wrong kind raises EStreamError
// "Invalid property value" and a stream that ends early, or claims a length it does not hold,
// "Stream read error". Nothing is skipped: reading stops at the first error.
//
// The device's size is asked once, when a length is first checked: the stream is read from a
// file that does not change while it is read.
class TValueReader {
public:
    explicit TValueReader(QIODevice& device, int bufferSize = 8192);
    TValueReader(const TValueReader&) = delete;
    TValueReader& operator=(const TValueReader&) = delete;

    std::int32_t ReadInteger();
    // A floating-point value; an integer in its place is taken as its value.
    double ReadFloat();
    // A floating-point value that must be a number: an infinity or NaN, which only a damaged file
    // holds and no sum survives, is an "Invalid property value".
    double ReadFiniteFloat();
    QString ReadString();
    bool ReadBoolean();
    // Gives back "False", "True", "Null" and "nil" for their tags. "Null" shares its byte with
    // the end of a list, so callers ask EndOfList() first where a list may end.
    QString ReadIdent();
    void ReadListBegin();
    void ReadListEnd();
    // True when the next value is the end of a list; consumes nothing.
    bool EndOfList();
    // A set of small integers: members 0-15 are kept, larger ones ignored.
    std::uint16_t ReadIntegerSet();

    // The tag of the next value, without consuming it.
    TValueTag PeekTag();
    // True when the stream has no more bytes.
    bool AtEnd();
    // The device position of the next byte to be read (what is buffered but not yet read
    // counts as unread), so that a caller can tell where each value it read ended. Only for a
    // device that is not sequential.
    qint64 Pos() const;

private:
    std::uint8_t TakeByte();
    QByteArray TakeBytes(qint64 length);
    // A Windows-1252 text of the given length.
    QString TakeText(qint64 length);
    // Raises "Stream read error" unless the stream holds this many more bytes.
    void CheckAvailable(qint64 length);
    std::int32_t ReadIntegerPayload(TValueTag tag);
    bool Fill();
    qint64 Available();

    QIODevice& Device;
    QByteArray Buffer;
    qsizetype Position = 0;
    int Capacity;
    qint64 DeviceSize = -1; // -1: not asked yet
};
