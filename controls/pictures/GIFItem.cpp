#include "controls/pictures/GIFItem.h"

#include "controls/pictures/GIFCodec.h"
#include "controls/pictures/InvalidGraphic.h"

#include <QImageReader>
#include <QList>

namespace {

void CheckSize(int width, int height) {
    if (width < 0 || height < 0 || qint64(width) * height > TGIFItem::MaxPixels())
        throw EPictureError(
            QStringLiteral("GIF image: a frame of %1 x %2 pixels is larger than the program reads")
                .arg(width)
                .arg(height));
}

// Rows in file order to rows in display order, and back.
QByteArray Reordered(const QByteArray& pixels, int width, int height, bool toDisplay) {
    QByteArray result(pixels.size(), '\0');
    const QList<int> rows = TGIFItem::InterlacedRows(height);
    for (int stored = 0; stored < height; ++stored) {
        const qsizetype from = qsizetype(toDisplay ? stored : rows[stored]) * width;
        const qsizetype to = qsizetype(toDisplay ? rows[stored] : stored) * width;
        std::copy_n(pixels.constData() + from, width, result.data() + to);
    }
    return result;
}

} // namespace

QList<int> TGIFItem::InterlacedRows(int height) {
    QList<int> rows;
    rows.reserve(height);
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int row = start; row < height; row += step)
            rows.append(row);
    return rows;
}

qint64 TGIFItem::MaxPixels() {
    // What the image plugins allow a picture of 4 bytes a pixel.
    return qint64(QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit() : 256) * 1024 * 1024 /
           4;
}

std::shared_ptr<const TGIFItem> TGIFItem::FromEncoded(int width, int height, bool interlaced, int codeSize,
                                                      const QByteArray& data) {
    CheckSize(width, height);
    std::shared_ptr<TGIFItem> item(new TGIFItem);
    item->ItemWidth = width;
    item->ItemHeight = height;
    item->IsInterlaced = interlaced;
    item->ItemCodeSize = codeSize;
    item->Encoded = data;
    item->Pixels = GIFCodec::Decode(data, codeSize, qsizetype(width) * height);
    if (interlaced)
        item->Pixels = Reordered(item->Pixels, width, height, true);
    return item;
}

std::shared_ptr<const TGIFItem> TGIFItem::FromIndexes(int width, int height, bool interlaced, int codeSize,
                                                      const QByteArray& indexes) {
    CheckSize(width, height);
    if (indexes.size() != qsizetype(width) * height)
        throw EInvalidGraphic(GIFMessages::EncodingError());
    std::shared_ptr<TGIFItem> item(new TGIFItem);
    item->ItemWidth = width;
    item->ItemHeight = height;
    item->IsInterlaced = interlaced;
    item->ItemCodeSize = codeSize;
    item->Pixels = indexes;
    item->Encoded =
        GIFCodec::Encode(interlaced ? Reordered(indexes, width, height, false) : indexes, codeSize);
    return item;
}
