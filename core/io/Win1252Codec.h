#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit text of every stored file. Bytes 0x80-0x9F carry the code page's own
// characters (the five unassigned ones map to the C1 controls of the same value, so every byte
// survives a round trip); the rest is Latin-1. Characters with no byte become '?'.
class TWin1252Codec {
public:
    static QString Decode(const QByteArray& bytes);
    static QString Decode(const char* data, qsizetype length);
    static QByteArray Encode(const QString& text);
    static char EncodeChar(QChar c);
    static QChar DecodeChar(unsigned char byte);
};
