// Reads arbitrary bytes as a value stream, walking every value it finds, nested lists included:
// the reader never crashes or over-allocates, it only raises its stream errors.
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "fuzz/FuzzSupport.h"

#include <QBuffer>

namespace {

void Walk(TValueReader& reader, int depth) {
    while (!reader.AtEnd()) {
        const TValueTag tag = reader.PeekTag();
        if (tag == TValueTag::List && depth < 64) {
            reader.ReadListBegin();
            Walk(reader, depth + 1);
        } else if (tag == TValueTag::Null && depth > 0) {
            return reader.ReadListEnd();
        } else if (tag == TValueTag::Extended) {
            (void)reader.ReadFloat();
        } else if (tag == TValueTag::String || tag == TValueTag::LString) {
            (void)reader.ReadString();
        } else if (tag == TValueTag::False || tag == TValueTag::True) {
            (void)reader.ReadBoolean();
        } else if (tag == TValueTag::Ident || tag == TValueTag::Nil || tag == TValueTag::Null) {
            (void)reader.ReadIdent();
        } else { // the integers, and the tags never written ("Invalid property value")
            (void)reader.ReadInteger();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = fuzz::InputBytes(data, size);
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TValueReader reader(device, size > 0 ? 1 + data[0] % 64 : 8);
    try {
        Walk(reader, 0);
        reader.ReadIntegerSet();
    } catch (const EStreamError&) {
    }
    return 0;
}
