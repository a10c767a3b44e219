#pragma once

#include <QByteArray>
#include <QImage>

// Colour reduction of bitmaps to a palette, and the result as the bytes of a BMP file. The bitmap
// is first taken as 24 bits a pixel (alpha dropped).
namespace PaletteBitmap {

enum class TColorReduction {
    // The most frequent colours, counted in a hash table of 5191 buckets (hash
    // ((r + g)(g + b)(b + r)) mod 5191), most frequent first and ties in the order the colours
    // first appear; every other colour takes the nearest of them (the least sum of squared
    // differences, the first on a tie).
    Histogram,
    // Median cut over the colours reduced to 4 bits a channel: until there are enough boxes, the
    // box with the widest range in one channel among those holding at least two colours is sorted
    // on that channel and split after the colour where its running pixel count passes half of the
    // box's pixels (before the last colour at the latest). A box's colour is the pixel-weighted
    // mean of its colours.
    MedianCut,
    // Fixed palettes of 256 entries: 7 x 8 x 4 levels (index red * 32 + green * 4 + blue; red 0,
    // 43, 85, 128, 170, 213, 255; green 0, 36, 73, 109, 146, 182, 219, 255; blue 0, 85, 170, 255)
    // and 6 x 6 x 6 levels (index red * 36 + green * 6 + blue; 0, 51, 102, 153, 204, 255), each
    // channel taking its nearest level (the lower on a tie), the entries after 224 and 216
    // mid-grey (128).
    Truncate784,
    Truncate666,
    // Separate ramps in steps of 4: red (4i, 0, 0) at 0-63, green at 64-127, blue at 128-191, the
    // rest black; a pixel takes the ramp of its strongest channel (red, then green, on a tie).
    Tripel,
    // 256 greys; a pixel's grey is (77 R + 150 G + 29 B) / 256.
    Grayscale,
};

// The bitmap with at most the given number of colours (2 to 256), as an 8-bit indexed image
// whose colour table holds the palette. The fixed palettes need 256 colours; asked for fewer, or
// for a count outside 2 to 256, raises EQuilvaneError "Function not yet implemented". A null
// bitmap gives a null image.
QImage Reduce(const QImage& bitmap, int colors, TColorReduction method = TColorReduction::Histogram);

// The bytes of a BMP file of the bitmap: "BM" file header, 40-byte information header, for 1, 4
// and 8 bits a pixel a palette of 2, 16 or 256 entries (unused ones black) of the reduced
// colours, then the rows bottom up, each padded to a multiple of 4 bytes; 24 bits a pixel keeps
// every colour. Other pixel sizes raise EQuilvaneError "Function not yet implemented".
QByteArray ToBMP(const QImage& bitmap, int bitsPerPixel, TColorReduction method = TColorReduction::Histogram);
// The pixel size for a colour count: 1 bit up to 2 colours, 4 up to 16, 8 up to 256, else 24.
QByteArray ToBMPWithColors(const QImage& bitmap, int colors);
int BitsForColors(int colors);

} // namespace PaletteBitmap
