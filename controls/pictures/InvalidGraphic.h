#pragma once

#include "controls/pictures/IconFile.h"

// A picture that cannot be what is asked of it: GIF data its codec refuses, a size that cannot
// change, nothing to write. A picture error too, so that a caller loading any picture catches one
// class.
class EInvalidGraphic : public EPictureError {
public:
    using EPictureError::EPictureError;
};

// The texts of the GIF picture class.
namespace GIFMessages {
inline QString UnknownVersion() {
    return QStringLiteral("Unknown GIF version");
}
inline QString EncodingError() {
    return QStringLiteral("GIF image encoding error");
}
inline QString DataCorrupt() {
    return QStringLiteral("GIF encoded data is corrupt");
}
inline QString CodeSizeOutOfRange() {
    return QStringLiteral("GIF code size not in range 2 to 9");
}
inline QString WrongColorCount() {
    return QStringLiteral("Wrong number of colors; must be a power of 2");
}
// The label in two upper-case hex digits, as the program has always written it.
inline QString UnrecognizedExtension(int label) {
    return QStringLiteral("Unrecognized extension block: %1")
        .arg(QString::number(label & 0xFF, 16).rightJustified(2, QLatin1Char('0')).toUpper());
}
inline QString NoDataToWrite() {
    return QStringLiteral("No GIF Data to write");
}
inline QString CannotChangeSize() {
    return QStringLiteral("Cannot change the Size of a GIF image");
}
} // namespace GIFMessages
