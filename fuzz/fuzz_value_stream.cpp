// Reads arbitrary bytes as a value stream, walking every value it finds, including nested lists,
// and checks that the reader never crashes or over-allocates, only raises its stream errors.
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace {

void Walk(TValueReader& reader, int depth) {
    while (!reader.AtEnd()) {
        switch (reader.PeekTag()) {
        case TValueTag::List:
            if (depth > 64)
                return;
            reader.ReadListBegin();
            Walk(reader, depth + 1);
            break;
        case TValueTag::Null:
            if (depth > 0) {
                reader.ReadListEnd();
                return;
            }
            reader.ReadIdent();
            break;
        case TValueTag::Int8:
        case TValueTag::Int16:
        case TValueTag::Int32:
            reader.ReadInteger();
            break;
        case TValueTag::Extended:
            reader.ReadFloat();
            break;
        case TValueTag::String:
        case TValueTag::LString:
            reader.ReadString();
            break;
        case TValueTag::False:
        case TValueTag::True:
            reader.ReadBoolean();
            break;
        case TValueTag::Ident:
        case TValueTag::Nil:
            reader.ReadIdent();
            break;
        default:
            reader.ReadInteger(); // raises "Invalid property value"
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    const int bufferSize = size > 0 ? 1 + data[0] % 64 : 8;
    TValueReader reader(device, bufferSize);
    try {
        Walk(reader, 0);
        reader.ReadIntegerSet();
    } catch (const EStreamError&) {
    }
    return 0;
}
