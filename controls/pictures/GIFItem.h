#pragma once

#include <QByteArray>

#include <memory>

// The encoded image data of one frame: its size, its row order, its code size and the LZW data
// (the sub-blocks joined), with the colour indexes it decodes to, in display order, one byte a
// pixel. An item never changes once made; frames that are copies of one another share it.
class TGIFItem {
public:
    // From the data of a file: decodes it, undoing the interlaced row order. Raises
    // EInvalidGraphic when the data cannot be decoded, and EPictureError for a frame larger than
    // the program reads.
    static std::shared_ptr<const TGIFItem> FromEncoded(int width, int height, bool interlaced, int codeSize,
                                                       const QByteArray& data);
    // From colour indexes in display order (width x height of them): encodes them. Raises
    // EInvalidGraphic "GIF image encoding error" for indexes the code size cannot hold.
    static std::shared_ptr<const TGIFItem> FromIndexes(int width, int height, bool interlaced, int codeSize,
                                                       const QByteArray& indexes);

    int Width() const { return ItemWidth; }
    int Height() const { return ItemHeight; }
    bool Interlaced() const { return IsInterlaced; }
    int CodeSize() const { return ItemCodeSize; }
    const QByteArray& Data() const { return Encoded; }
    const QByteArray& Indexes() const { return Pixels; }

    // The rows in the order an interlaced image stores them: every 8th from row 0, every 8th from
    // row 4, every 4th from row 2, every 2nd from row 1.
    static QList<int> InterlacedRows(int height);

    // The largest frame the program reads, in pixels.
    static qint64 MaxPixels();

private:
    TGIFItem() = default;

    int ItemWidth = 0;
    int ItemHeight = 0;
    bool IsInterlaced = false;
    int ItemCodeSize = 2;
    QByteArray Encoded;
    QByteArray Pixels;
};
