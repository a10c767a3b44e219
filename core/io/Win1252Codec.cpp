#include "core/io/Win1252Codec.h"

#include <array>

namespace {

// Unicode of bytes 0x80 to 0x9F.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QChar TWin1252Codec::DecodeChar(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(HighControls[byte - 0x80]);
    return QChar(static_cast<char16_t>(byte));
}

char TWin1252Codec::EncodeChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

QString TWin1252Codec::Decode(const char* data, qsizetype length) {
    QString text;
    text.resize(length);
    QChar* out = text.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = DecodeChar(static_cast<unsigned char>(data[i]));
    return text;
}

QString TWin1252Codec::Decode(const QByteArray& bytes) {
    return Decode(bytes.constData(), bytes.size());
}

QByteArray TWin1252Codec::Encode(const QString& text) {
    QByteArray bytes;
    bytes.resize(text.size());
    char* out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = EncodeChar(text[i]);
    return bytes;
}
