#include "controls/pictures/PaletteBitmap.h"

#include "core/common/Exceptions.h"

#include <QList>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace {

using PaletteBitmap::TColorReduction;

[[noreturn]] void NotImplemented() {
    throw EQuilvaneError(QStringLiteral("Function not yet implemented"));
}

constexpr int HashBuckets = 5191;
const QRgb MidGrey = qRgb(128, 128, 128);

// The pixels of the bitmap as 24-bit colours, row by row.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<QRgb> Colors;
};

TPixels PixelsOf(const QImage& bitmap) {
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB32);
    TPixels pixels{rgb.width(), rgb.height(), {}};
    pixels.Colors.reserve(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            pixels.Colors.push_back(line[x] | 0xFF000000);
    }
    return pixels;
}

int DistanceSquared(QRgb a, QRgb b) {
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

int Nearest(const QList<QRgb>& palette, QRgb color) {
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int distance = DistanceSquared(palette[i], color);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// The colours of the bitmap and how often each occurs, in a hash table of 5191 buckets.
class THistogram {
public:
    struct TEntry {
        QRgb Color;
        qint64 Count;
        int FirstSeen;
        int Index; // its palette entry, once chosen
    };

    static int Hash(QRgb color) {
        const int r = qRed(color), g = qGreen(color), b = qBlue(color);
        return int((qint64(r + g) * (g + b) * (b + r)) % HashBuckets);
    }

    TEntry& Add(QRgb color) {
        std::vector<int>& bucket = Buckets[std::size_t(Hash(color))];
        for (const int at : bucket)
            if (Entries[std::size_t(at)].Color == color) {
                ++Entries[std::size_t(at)].Count;
                return Entries[std::size_t(at)];
            }
        bucket.push_back(int(Entries.size()));
        Entries.push_back({color, 1, int(Entries.size()), -1});
        return Entries.back();
    }
    TEntry& Find(QRgb color) {
        for (const int at : Buckets[std::size_t(Hash(color))])
            if (Entries[std::size_t(at)].Color == color)
                return Entries[std::size_t(at)];
        return Add(color);
    }
    std::vector<TEntry>& All() { return Entries; }

private:
    std::array<std::vector<int>, HashBuckets> Buckets;
    std::vector<TEntry> Entries;
};

QImage Indexed(const TPixels& pixels, const QList<QRgb>& palette, const std::vector<quint8>& indexes) {
    QImage image(pixels.Width, pixels.Height, QImage::Format_Indexed8);
    image.setColorTable(palette);
    for (int y = 0; y < pixels.Height; ++y)
        std::copy_n(indexes.data() + std::size_t(y) * std::size_t(pixels.Width), pixels.Width,
                    image.scanLine(y));
    return image;
}

QImage ByHistogram(const TPixels& pixels, int colors) {
    auto histogram = std::make_unique<THistogram>();
    for (const QRgb color : pixels.Colors)
        histogram->Add(color);
    std::vector<THistogram::TEntry*> byCount;
    for (THistogram::TEntry& entry : histogram->All())
        byCount.push_back(&entry);
    std::stable_sort(byCount.begin(), byCount.end(),
                     [](const auto* a, const auto* b) { return a->Count > b->Count; });
    QList<QRgb> palette;
    for (std::size_t i = 0; i < byCount.size() && palette.size() < colors; ++i) {
        byCount[i]->Index = int(palette.size());
        palette.append(byCount[i]->Color);
    }
    for (THistogram::TEntry& entry : histogram->All())
        if (entry.Index < 0)
            entry.Index = Nearest(palette, entry.Color);
    std::vector<quint8> indexes;
    indexes.reserve(pixels.Colors.size());
    for (const QRgb color : pixels.Colors)
        indexes.push_back(quint8(histogram->Find(color).Index));
    return Indexed(pixels, palette, indexes);
}

// A colour reduced to 4 bits a channel, as 0xRGB.
int Key4(QRgb color) {
    return (qRed(color) >> 4) << 8 | (qGreen(color) >> 4) << 4 | (qBlue(color) >> 4);
}
int Channel4(int key, int channel) {
    return (key >> (8 - 4 * channel)) & 0xF;
}

QImage ByMedianCut(const TPixels& pixels, int colors) {
    std::array<qint64, 4096> counts{};
    for (const QRgb color : pixels.Colors)
        ++counts[std::size_t(Key4(color))];
    std::vector<std::vector<int>> boxes(1);
    for (int key = 0; key < 4096; ++key)
        if (counts[std::size_t(key)] > 0)
            boxes[0].push_back(key);
    if (boxes[0].empty())
        boxes.clear();

    while (int(boxes.size()) < colors) {
        int best = -1, bestChannel = 0, bestRange = 0;
        for (int b = 0; b < int(boxes.size()); ++b) {
            if (boxes[std::size_t(b)].size() < 2)
                continue;
            for (int channel = 0; channel < 3; ++channel) {
                const auto [low, high] = std::minmax_element(
                    boxes[std::size_t(b)].begin(), boxes[std::size_t(b)].end(),
                    [channel](int a, int c) { return Channel4(a, channel) < Channel4(c, channel); });
                const int range = Channel4(*high, channel) - Channel4(*low, channel);
                if (range > bestRange) {
                    best = b;
                    bestChannel = channel;
                    bestRange = range;
                }
            }
        }
        if (best < 0)
            break;
        std::vector<int>& box = boxes[std::size_t(best)];
        std::sort(box.begin(), box.end(), [bestChannel](int a, int c) {
            return Channel4(a, bestChannel) != Channel4(c, bestChannel)
                       ? Channel4(a, bestChannel) < Channel4(c, bestChannel)
                       : a < c;
        });
        qint64 total = 0;
        for (const int key : box)
            total += counts[std::size_t(key)];
        std::size_t split = 1;
        qint64 running = 0;
        for (std::size_t i = 0; i < box.size(); ++i) {
            running += counts[std::size_t(box[i])];
            if (running * 2 > total) {
                split = i + 1;
                break;
            }
        }
        split = std::min(split, box.size() - 1);
        std::vector<int> upper(box.begin() + std::ptrdiff_t(split), box.end());
        box.resize(split);
        boxes.push_back(std::move(upper));
    }

    QList<QRgb> palette;
    std::array<quint8, 4096> entryOf{};
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        qint64 total = 0, sum[3] = {0, 0, 0};
        for (const int key : boxes[b]) {
            const qint64 count = counts[std::size_t(key)];
            total += count;
            for (int channel = 0; channel < 3; ++channel)
                sum[channel] += Channel4(key, channel) * count;
            entryOf[std::size_t(key)] = quint8(b);
        }
        // A 4-bit level v is the 8-bit level 17v; the mean is rounded.
        const auto level = [total](qint64 s) { return int((s * 17 * 2 + total) / (2 * total)); };
        palette.append(qRgb(level(sum[0]), level(sum[1]), level(sum[2])));
    }
    std::vector<quint8> indexes;
    indexes.reserve(pixels.Colors.size());
    for (const QRgb color : pixels.Colors)
        indexes.push_back(entryOf[std::size_t(Key4(color))]);
    return Indexed(pixels, palette, indexes);
}

int NearestLevel(const std::vector<int>& levels, int value) {
    int best = 0;
    for (int i = 1; i < int(levels.size()); ++i)
        if (std::abs(levels[std::size_t(i)] - value) < std::abs(levels[std::size_t(best)] - value))
            best = i;
    return best;
}

QImage ByTruncation(const TPixels& pixels, const std::vector<int>& reds, const std::vector<int>& greens,
                    const std::vector<int>& blues) {
    QList<QRgb> palette;
    for (const int r : reds)
        for (const int g : greens)
            for (const int b : blues)
                palette.append(qRgb(r, g, b));
    while (palette.size() < 256)
        palette.append(MidGrey);
    const int greenStep = int(blues.size()), redStep = int(greens.size() * blues.size());
    std::vector<quint8> indexes;
    indexes.reserve(pixels.Colors.size());
    for (const QRgb color : pixels.Colors)
        indexes.push_back(quint8(NearestLevel(reds, qRed(color)) * redStep +
                                 NearestLevel(greens, qGreen(color)) * greenStep +
                                 NearestLevel(blues, qBlue(color))));
    return Indexed(pixels, palette, indexes);
}

QImage ByTripel(const TPixels& pixels) {
    QList<QRgb> palette;
    for (int i = 0; i < 64; ++i)
        palette.append(qRgb(4 * i, 0, 0));
    for (int i = 0; i < 64; ++i)
        palette.append(qRgb(0, 4 * i, 0));
    for (int i = 0; i < 64; ++i)
        palette.append(qRgb(0, 0, 4 * i));
    while (palette.size() < 256)
        palette.append(qRgb(0, 0, 0));
    std::vector<quint8> indexes;
    indexes.reserve(pixels.Colors.size());
    for (const QRgb color : pixels.Colors) {
        const int r = qRed(color), g = qGreen(color), b = qBlue(color);
        if (r >= g && r >= b)
            indexes.push_back(quint8(r >> 2));
        else if (g >= b)
            indexes.push_back(quint8(64 + (g >> 2)));
        else
            indexes.push_back(quint8(128 + (b >> 2)));
    }
    return Indexed(pixels, palette, indexes);
}

QImage ByGrayscale(const TPixels& pixels) {
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.append(qRgb(i, i, i));
    std::vector<quint8> indexes;
    indexes.reserve(pixels.Colors.size());
    for (const QRgb color : pixels.Colors)
        indexes.push_back(quint8((77 * qRed(color) + 150 * qGreen(color) + 29 * qBlue(color)) / 256));
    return Indexed(pixels, palette, indexes);
}

void Append16(QByteArray& bytes, quint16 value) {
    char le[2];
    qToLittleEndian(value, le);
    bytes.append(le, 2);
}
void Append32(QByteArray& bytes, quint32 value) {
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

} // namespace

namespace PaletteBitmap {

int BitsForColors(int colors) {
    if (colors <= 2)
        return 1;
    if (colors <= 16)
        return 4;
    if (colors <= 256)
        return 8;
    return 24;
}

QImage Reduce(const QImage& bitmap, int colors, TColorReduction method) {
    if (colors < 2 || colors > 256)
        NotImplemented();
    const bool fixed = method != TColorReduction::Histogram && method != TColorReduction::MedianCut;
    if (fixed && colors != 256)
        NotImplemented();
    if (bitmap.isNull())
        return QImage();
    const TPixels pixels = PixelsOf(bitmap);
    switch (method) {
    case TColorReduction::Histogram:
        return ByHistogram(pixels, colors);
    case TColorReduction::MedianCut:
        return ByMedianCut(pixels, colors);
    case TColorReduction::Truncate784:
        return ByTruncation(pixels, {0, 43, 85, 128, 170, 213, 255}, {0, 36, 73, 109, 146, 182, 219, 255},
                            {0, 85, 170, 255});
    case TColorReduction::Truncate666:
        return ByTruncation(pixels, {0, 51, 102, 153, 204, 255}, {0, 51, 102, 153, 204, 255},
                            {0, 51, 102, 153, 204, 255});
    case TColorReduction::Tripel:
        return ByTripel(pixels);
    case TColorReduction::Grayscale:
        return ByGrayscale(pixels);
    }
    NotImplemented();
}

QByteArray ToBMP(const QImage& bitmap, int bitsPerPixel, TColorReduction method) {
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24)
        NotImplemented();
    const int width = bitmap.isNull() ? 0 : bitmap.width(), height = bitmap.isNull() ? 0 : bitmap.height();
    const int paletteSize = bitsPerPixel == 24 ? 0 : 1 << bitsPerPixel;
    const qint64 rowSize = (qint64(width) * bitsPerPixel + 31) / 32 * 4;
    const qint64 imageSize = rowSize * height;
    const qint64 offset = 14 + 40 + qint64(paletteSize) * 4;
    if (offset + imageSize > std::numeric_limits<qint32>::max())
        NotImplemented();

    QImage reduced;
    if (bitsPerPixel == 24)
        reduced = bitmap.isNull() ? QImage() : bitmap.convertToFormat(QImage::Format_RGB32);
    else
        reduced = Reduce(bitmap, paletteSize, method);

    QByteArray bytes;
    bytes.reserve(qsizetype(offset + imageSize));
    bytes.append("BM", 2);
    Append32(bytes, quint32(offset + imageSize));
    Append32(bytes, 0); // two reserved words
    Append32(bytes, quint32(offset));
    Append32(bytes, 40);
    Append32(bytes, quint32(width));
    Append32(bytes, quint32(height)); // positive: the rows run bottom up
    Append16(bytes, 1);
    Append16(bytes, quint16(bitsPerPixel));
    Append32(bytes, 0); // not compressed
    Append32(bytes, quint32(imageSize));
    Append32(bytes, 0); // no resolution
    Append32(bytes, 0);
    Append32(bytes, 0); // every palette entry used and important
    Append32(bytes, 0);
    for (int i = 0; i < paletteSize; ++i) {
        const QRgb color = i < reduced.colorCount() ? reduced.color(i) : qRgb(0, 0, 0);
        bytes.append(char(qBlue(color)));
        bytes.append(char(qGreen(color)));
        bytes.append(char(qRed(color)));
        bytes.append('\0');
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(qsizetype(rowSize), '\0');
        const uchar* line = reduced.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            switch (bitsPerPixel) {
            case 1:
                row[x / 8] = char(row[x / 8] | (line[x] & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] = char(row[x / 2] | (line[x] & 0xF) << (x % 2 == 0 ? 4 : 0));
                break;
            case 8:
                row[x] = char(line[x]);
                break;
            default: {
                const QRgb color = reinterpret_cast<const QRgb*>(line)[x];
                row[x * 3] = char(qBlue(color));
                row[x * 3 + 1] = char(qGreen(color));
                row[x * 3 + 2] = char(qRed(color));
            }
            }
        }
        bytes.append(row);
    }
    return bytes;
}

QByteArray ToBMPWithColors(const QImage& bitmap, int colors) {
    return ToBMP(bitmap, BitsForColors(colors));
}

} // namespace PaletteBitmap
