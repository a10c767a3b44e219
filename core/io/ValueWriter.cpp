#include "core/io/ValueWriter.h"

#include "core/io/Extended80.h"
#include "core/io/StreamError.h"
#include "core/io/Win1252Codec.h"

#include <QIODevice>

int WriterIntegerSize(std::int32_t value) {
    if (value >= -128 && value <= 127)
        return 2;
    if (value >= -32768 && value <= 32767)
        return 3;
    return 5;
}

int WriterStringSize(int length) {
    return length < 256 ? length + 2 : length + 5;
}

TValueWriter::TValueWriter(QIODevice& device, int bufferSize)
    : Device(device), Capacity(bufferSize > 0 ? bufferSize : 1) {
    Buffer.reserve(Capacity);
}

// An unfinished writer is one whose write failed or was abandoned: what it still holds is
// dropped, never written as the tail of a file that is missing its middle.
TValueWriter::~TValueWriter() = default;

void TValueWriter::Flush() {
    if (Buffer.isEmpty())
        return;
    const qint64 written = Device.write(Buffer);
    if (written != Buffer.size()) {
        Failed = true;
        Buffer.clear();
        throw EStreamError::WriteError();
    }
    Buffer.clear();
}

void TValueWriter::Finish() {
    if (Failed)
        throw EStreamError::WriteError();
    Flush();
}

void TValueWriter::PutByte(std::uint8_t byte) {
    if (Failed)
        throw EStreamError::WriteError();
    Buffer.append(static_cast<char>(byte));
    if (Buffer.size() >= Capacity)
        Flush();
}

void TValueWriter::PutBytes(const char* data, qsizetype length) {
    if (Failed)
        throw EStreamError::WriteError();
    while (length > 0) {
        const qsizetype room = Capacity - Buffer.size();
        const qsizetype chunk = length < room ? length : room;
        Buffer.append(data, chunk);
        data += chunk;
        length -= chunk;
        if (Buffer.size() >= Capacity)
            Flush();
    }
}

void TValueWriter::PutTag(TValueTag tag) {
    PutByte(static_cast<std::uint8_t>(tag));
}

void TValueWriter::WriteInteger(std::int32_t value) {
    char bytes[4];
    int size = 0;
    if (value >= -128 && value <= 127) {
        PutTag(TValueTag::Int8);
        size = 1;
    } else if (value >= -32768 && value <= 32767) {
        PutTag(TValueTag::Int16);
        size = 2;
    } else {
        PutTag(TValueTag::Int32);
        size = 4;
    }
    const auto raw = static_cast<std::uint32_t>(value);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(raw >> (8 * i));
    PutBytes(bytes, size);
}

void TValueWriter::WriteString(const QString& text) {
    const QByteArray bytes = TWin1252Codec::Encode(text);
    if (bytes.size() < 256) {
        PutTag(TValueTag::String);
        PutByte(static_cast<std::uint8_t>(bytes.size()));
    } else {
        PutTag(TValueTag::LString);
        const auto length = static_cast<std::uint32_t>(bytes.size());
        const char lengthBytes[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                                     static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
        PutBytes(lengthBytes, 4);
    }
    PutBytes(bytes.constData(), bytes.size());
}

void TValueWriter::WriteFloat(double value) {
    PutTag(TValueTag::Extended);
    const TExtended80::TBytes bytes = TExtended80::FromDouble(value);
    PutBytes(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

void TValueWriter::WriteBoolean(bool value) {
    PutTag(value ? TValueTag::True : TValueTag::False);
}

void TValueWriter::WriteIdent(const QString& text) {
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        PutTag(TValueTag::False);
    } else if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        PutTag(TValueTag::True);
    } else if (text.compare(QLatin1String("Null"), Qt::CaseInsensitive) == 0) {
        PutTag(TValueTag::Null);
    } else if (text.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0) {
        PutTag(TValueTag::Nil);
    } else {
        const QByteArray bytes = TWin1252Codec::Encode(text.left(255));
        PutTag(TValueTag::Ident);
        PutByte(static_cast<std::uint8_t>(bytes.size()));
        PutBytes(bytes.constData(), bytes.size());
    }
}

void TValueWriter::WriteListBegin() {
    PutTag(TValueTag::List);
}

void TValueWriter::WriteListEnd() {
    PutTag(TValueTag::Null);
}

void TValueWriter::WriteIntegerSet(std::uint16_t set) {
    WriteListBegin();
    for (int member = 0; member <= 14; ++member)
        if ((set & (1u << member)) != 0)
            WriteInteger(member);
    WriteListEnd();
}
