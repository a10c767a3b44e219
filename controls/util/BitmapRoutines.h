#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>

#include <cstdint>

class QPainter;
class QWidget;

// A colour as the components store and pass it: 0x00BBGGRR for a plain colour, with 0x02000000
// set for a palette-relative one, and two values that are no colour at all.
using TColor = std::uint32_t;
// No colour: a bitmap drawn with it as its transparent colour is drawn opaque.
constexpr TColor clNone = 0x1FFFFFFF;
// The default colour: as a bitmap's transparent colour, that of its bottom-left pixel.
constexpr TColor clDefault = 0x20000000;

// The colour's red, green and blue, whatever marks it carries.
QColor ColorToQColor(TColor color);
TColor ColorFromQColor(const QColor& color);

// The colour's RGB value marked as palette-relative (0x02BBGGRR).
TColor PaletteColor(TColor color);

// The width and height of a rectangle, right - left and bottom - top with the right and bottom
// edges one past the last pixel: what QRect's width and height give. An empty rectangle gives 0,
// one whose edges are swapped a negative number.
inline int RectWidth(const QRect& rect) {
    return rect.width();
}
inline int RectHeight(const QRect& rect) {
    return rect.height();
}

// Paints into the painter, whose origin is the control's top-left corner, what lies under the
// control: the parent's own background and painting, clipped to the parent, and every visible
// sibling below the control in the stacking order that it overlaps, with their children. The
// control itself and the siblings above it are not drawn. While this runs the parent is marked
// as painting a copy (IsPaintingCopy), so that its painting can leave out what a copy should not
// show.
void CopyParentImage(QWidget* control, QPainter& painter);
bool IsPaintingCopy(const QWidget* widget);

// Draws the source rectangle of the bitmap scaled into (x, y, width, height), pixel for pixel
// without smoothing, leaving out every pixel of the transparent colour. A width or height below 1
// takes the source's. clNone draws the part opaque with the painter's composition mode; a
// monochrome bitmap takes white as its transparent colour; clDefault takes the colour of the
// bitmap's bottom-left pixel. Parts of the source outside the bitmap draw nothing.
void StretchBitmapRectTransparent(QPainter& painter, int x, int y, int width, int height, const QRect& source,
                                  const QImage& bitmap, TColor transparentColor);

// The embossed grey look of a disabled glyph: the pixels of the outline colour form the shape,
// which is drawn once in the button highlight colour one pixel right and down and then in the
// button shadow colour, on the button face colour. The colours are the application palette's
// Light, Dark and Button. Same size as the bitmap; a null bitmap gives a null image.
QImage CreateDisabledBitmap(const QImage& bitmap, TColor outlineColor);

// The same look for one image of a list of equal images, drawn at (x, y) without a face colour:
// the image's shape is its opaque pixels that a monochrome copy would make black (grey level
// below 128), drawn in the highlight colour one pixel right and down, then in the grey colour.
// An index outside the list draws nothing.
void ImageListDrawDisabled(const QList<QImage>& images, QPainter& painter, int x, int y, int index,
                           const QColor& highlight, const QColor& grey);
