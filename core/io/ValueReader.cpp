#include "core/io/ValueReader.h"

#include "core/io/Extended80.h"
#include "core/io/StreamError.h"
#include "core/io/Win1252Codec.h"

#include <QIODevice>

#include <cmath>

namespace {
// Longer payloads are read in pieces of this size, so a corrupt length never allocates more
// than the stream really holds.
constexpr qint64 ChunkSize = 1 << 16;
} // namespace

TValueReader::TValueReader(QIODevice& device, int bufferSize)
    : Device(device), Capacity(bufferSize > 0 ? bufferSize : 1) {}

bool TValueReader::Fill() {
    if (Position < Buffer.size())
        return true;
    Buffer = Device.read(Capacity);
    Position = 0;
    return !Buffer.isEmpty();
}

qint64 TValueReader::Available() {
    const qint64 buffered = Buffer.size() - Position;
    if (Device.isSequential())
        return -1;
    if (DeviceSize < 0)
        DeviceSize = Device.size();
    return buffered + (DeviceSize - Device.pos());
}

void TValueReader::CheckAvailable(qint64 length) {
    if (length < 0)
        throw EStreamError::ReadError();
    // Within the buffer: nothing to ask.
    if (length <= Buffer.size() - Position)
        return;
    const qint64 available = Available();
    if (available >= 0 && length > available)
        throw EStreamError::ReadError();
}

bool TValueReader::AtEnd() {
    return !Fill();
}

qint64 TValueReader::Pos() const {
    return Device.pos() - (Buffer.size() - Position);
}

std::uint8_t TValueReader::TakeByte() {
    if (!Fill())
        throw EStreamError::ReadError();
    return static_cast<std::uint8_t>(Buffer[Position++]);
}

QByteArray TValueReader::TakeBytes(qint64 length) {
    CheckAvailable(length);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(length < ChunkSize ? length : ChunkSize));
    while (length > 0) {
        if (!Fill())
            throw EStreamError::ReadError();
        const qint64 inBuffer = Buffer.size() - Position;
        const qint64 take = length < inBuffer ? length : inBuffer;
        out.append(Buffer.constData() + Position, static_cast<qsizetype>(take));
        Position += static_cast<qsizetype>(take);
        length -= take;
    }
    return out;
}

QString TValueReader::TakeText(qint64 length) {
    CheckAvailable(length);
    if (length <= Buffer.size() - Position) {
        // The usual case: the text lies in the buffer and is decoded where it is.
        const QString text =
            TWin1252Codec::Decode(Buffer.constData() + Position, static_cast<qsizetype>(length));
        Position += static_cast<qsizetype>(length);
        return text;
    }
    return TWin1252Codec::Decode(TakeBytes(length));
}

TValueTag TValueReader::PeekTag() {
    if (!Fill())
        throw EStreamError::ReadError();
    return static_cast<TValueTag>(static_cast<std::uint8_t>(Buffer[Position]));
}

std::int32_t TValueReader::ReadIntegerPayload(TValueTag tag) {
    int size = 0;
    switch (tag) {
    case TValueTag::Int8:
        return static_cast<std::int8_t>(TakeByte());
    case TValueTag::Int16:
        size = 2;
        break;
    case TValueTag::Int32:
        size = 4;
        break;
    default:
        throw EStreamError::InvalidValue();
    }
    std::uint32_t raw = 0;
    for (int i = 0; i < size; ++i)
        raw |= static_cast<std::uint32_t>(TakeByte()) << (8 * i);
    if (size == 2)
        return static_cast<std::int16_t>(raw);
    return static_cast<std::int32_t>(raw);
}

std::int32_t TValueReader::ReadInteger() {
    const TValueTag tag = PeekTag();
    if (tag != TValueTag::Int8 && tag != TValueTag::Int16 && tag != TValueTag::Int32)
        throw EStreamError::InvalidValue();
    ++Position;
    return ReadIntegerPayload(tag);
}

double TValueReader::ReadFloat() {
    const TValueTag tag = PeekTag();
    if (tag != TValueTag::Extended)
        return ReadInteger();
    ++Position;
    TExtended80::TBytes bytes{};
    CheckAvailable(static_cast<qint64>(bytes.size()));
    for (std::uint8_t& byte : bytes)
        byte = TakeByte();
    return TExtended80::ToDouble(bytes);
}

double TValueReader::ReadFiniteFloat() {
    const double value = ReadFloat();
    if (!std::isfinite(value))
        throw EStreamError::InvalidValue();
    return value;
}

QString TValueReader::ReadString() {
    const TValueTag tag = PeekTag();
    qint64 length = 0;
    if (tag == TValueTag::String) {
        ++Position;
        length = TakeByte();
    } else if (tag == TValueTag::LString) {
        ++Position;
        std::uint32_t raw = 0;
        for (int i = 0; i < 4; ++i)
            raw |= static_cast<std::uint32_t>(TakeByte()) << (8 * i);
        length = raw;
    } else {
        throw EStreamError::InvalidValue();
    }
    return TakeText(length);
}

bool TValueReader::ReadBoolean() {
    const TValueTag tag = PeekTag();
    if (tag != TValueTag::True && tag != TValueTag::False)
        throw EStreamError::InvalidValue();
    ++Position;
    return tag == TValueTag::True;
}

QString TValueReader::ReadIdent() {
    const TValueTag tag = PeekTag();
    switch (tag) {
    case TValueTag::Ident: {
        ++Position;
        const qint64 length = TakeByte();
        return TakeText(length);
    }
    case TValueTag::False:
        ++Position;
        return QStringLiteral("False");
    case TValueTag::True:
        ++Position;
        return QStringLiteral("True");
    case TValueTag::Null:
        ++Position;
        return QStringLiteral("Null");
    case TValueTag::Nil:
        ++Position;
        return QStringLiteral("nil");
    default:
        throw EStreamError::InvalidValue();
    }
}

void TValueReader::ReadListBegin() {
    if (PeekTag() != TValueTag::List)
        throw EStreamError::InvalidValue();
    ++Position;
}

void TValueReader::ReadListEnd() {
    if (PeekTag() != TValueTag::Null)
        throw EStreamError::InvalidValue();
    ++Position;
}

bool TValueReader::EndOfList() {
    return PeekTag() == TValueTag::Null;
}

std::uint16_t TValueReader::ReadIntegerSet() {
    ReadListBegin();
    std::uint16_t set = 0;
    while (!EndOfList()) {
        const std::int32_t member = ReadInteger();
        if (member >= 0 && member <= 15)
            set = static_cast<std::uint16_t>(set | (1u << member));
    }
    ReadListEnd();
    return set;
}
