#include "controls/pictures/GIFCodec.h"

#include "controls/pictures/InvalidGraphic.h"

#include <array>
#include <unordered_map>

namespace {

constexpr int TableSize = 1 << GIFCodec::MaxCodeBits;

void CheckCodeSize(int codeSize) {
    if (codeSize < GIFCodec::MinCodeSize || codeSize > GIFCodec::MaxCodeSize)
        throw EInvalidGraphic(GIFMessages::CodeSizeOutOfRange());
}

[[noreturn]] void Corrupt() {
    throw EInvalidGraphic(GIFMessages::DataCorrupt());
}

class TBitWriter {
public:
    void Put(int code, int width) {
        Bits |= quint64(code) << Count;
        Count += width;
        while (Count >= 8) {
            Bytes.append(char(Bits & 0xFF));
            Bits >>= 8;
            Count -= 8;
        }
    }
    QByteArray Finish() {
        if (Count > 0)
            Bytes.append(char(Bits & 0xFF));
        Bits = 0;
        Count = 0;
        return Bytes;
    }

private:
    QByteArray Bytes;
    quint64 Bits = 0;
    int Count = 0;
};

} // namespace

namespace GIFCodec {

QByteArray Decode(const QByteArray& data, int codeSize, qsizetype pixelCount) {
    CheckCodeSize(codeSize);
    const int clear = 1 << codeSize, end = clear + 1;
    // Entry n stands for the string of entry prefix[n] followed by suffix[n].
    std::array<quint16, TableSize> prefix{};
    std::array<quint8, TableSize> suffix{};
    std::array<quint8, TableSize + 1> string{};

    QByteArray pixels(pixelCount, '\0');
    qsizetype written = 0;
    int width = codeSize + 1, next = clear + 2, previous = -1;
    quint32 bits = 0;
    int bitCount = 0;
    qsizetype at = 0;
    while (written < pixelCount) {
        while (bitCount < width && at < data.size()) {
            bits |= quint32(quint8(data[at++])) << bitCount;
            bitCount += 8;
        }
        if (bitCount < width)
            Corrupt(); // the data ends before the image does
        const int code = int(bits & ((1u << width) - 1));
        bits >>= width;
        bitCount -= width;

        if (code == clear) {
            width = codeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            break;
        if (code > next || (code == next && previous < 0) || (previous < 0 && code > end))
            Corrupt();

        // The string of the code, or for the code about to be made, the previous string and its
        // own first index; gathered last index first.
        int length = 0;
        int walk = code == next ? previous : code;
        while (walk > end) {
            string[length++] = suffix[walk];
            walk = prefix[walk];
        }
        if (walk > 255)
            Corrupt(); // an index no colour table holds
        const quint8 first = quint8(walk);
        string[length++] = first;
        qsizetype copy = qMin<qsizetype>(length, pixelCount - written);
        for (int i = length - 1; copy > 0; --i, --copy)
            pixels[written++] = char(string[i]);
        if (code == next && written < pixelCount)
            pixels[written++] = char(first);

        if (previous >= 0 && next < TableSize) {
            prefix[next] = quint16(previous);
            suffix[next] = first;
            ++next;
            if (next == (1 << width) && width < MaxCodeBits)
                ++width;
        }
        previous = code;
    }
    if (written < pixelCount)
        Corrupt(); // an end code before the last pixel
    return pixels;
}

QByteArray Encode(const QByteArray& indexes, int codeSize) {
    CheckCodeSize(codeSize);
    const int clear = 1 << codeSize, end = clear + 1;
    for (const char index : indexes)
        if (quint8(index) >= clear)
            throw EInvalidGraphic(GIFMessages::EncodingError());

    TBitWriter writer;
    int width = codeSize + 1, next = clear + 2;
    // The entry for a string, keyed by its prefix's code and its last index.
    std::unordered_map<quint32, int> table;
    table.reserve(TableSize);
    writer.Put(clear, width);
    if (!indexes.isEmpty()) {
        int current = quint8(indexes[0]);
        for (qsizetype i = 1; i < indexes.size(); ++i) {
            const quint8 index = quint8(indexes[i]);
            const quint32 key = quint32(current) << 8 | index;
            const auto found = table.find(key);
            if (found != table.end()) {
                current = found->second;
                continue;
            }
            writer.Put(current, width);
            table.emplace(key, next++);
            // The reader makes this entry one code later, and widens its codes then.
            if (next > (1 << width) && width < MaxCodeBits)
                ++width;
            if (next == TableSize) {
                writer.Put(clear, width);
                table.clear();
                width = codeSize + 1;
                next = clear + 2;
            }
            current = index;
        }
        writer.Put(current, width);
    }
    writer.Put(end, width);
    return writer.Finish();
}

} // namespace GIFCodec
