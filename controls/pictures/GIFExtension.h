#pragma once

#include <QByteArray>
#include <QList>

// One extension block of a GIF file: its label and its data sub-blocks, each of 1 to 255 bytes,
// as the file holds them. An application extension's first sub-block is its 11-byte identifier.
struct TExtension {
    static constexpr quint8 PlainText = 0x01;
    static constexpr quint8 GraphicControl = 0xF9;
    static constexpr quint8 Comment = 0xFE;
    static constexpr quint8 Application = 0xFF;

    quint8 FunctionCode = 0;
    QList<QByteArray> Data;

    // Whether the label is one of the four that GIF89a defines.
    static bool IsKnown(int functionCode) {
        return functionCode == PlainText || functionCode == GraphicControl || functionCode == Comment ||
               functionCode == Application;
    }

    friend bool operator==(const TExtension&, const TExtension&) = default;
};
