#pragma once

#include <QByteArray>

// The LZW coding of GIF image data, as the GIF87a and GIF89a documents publish it. Codes are read
// and written least significant bit first; they start one bit wider than the code size and grow
// to at most 12 bits; the clear code is 2^codeSize and the end code follows it. A full table of
// 4096 entries stays in use until the next clear code.
namespace GIFCodec {

constexpr int MinCodeSize = 2;
constexpr int MaxCodeSize = 9;
constexpr int MaxCodeBits = 12;

// The first pixelCount colour indexes the data holds. Data after the last pixel is not read.
// Raises EInvalidGraphic "GIF code size not in range 2 to 9", or "GIF encoded data is corrupt"
// for a code not yet in the table, a table entry as the first code after a clear, an index above
// 255, or data that ends before pixelCount indexes.
QByteArray Decode(const QByteArray& data, int codeSize, qsizetype pixelCount);

// The data of the indexes, starting with a clear code and ending with the end code. Raises
// "GIF code size not in range 2 to 9", or "GIF image encoding error" for an index that the code
// size cannot hold.
QByteArray Encode(const QByteArray& indexes, int codeSize);

} // namespace GIFCodec
