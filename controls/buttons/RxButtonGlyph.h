#pragma once

#include "controls/buttons/ButtonGeometry.h"
#include "controls/buttons/SpeedButtonRules.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QSize>

#include <array>

class QIcon;
class QPalette;

// A button's glyph: a strip of one to five images side by side, for the states up, disabled,
// down, exclusive and inactive in that order. A state without an image of its own shows the
// first image, except disabled (an embossed copy of the first) and inactive (a grey copy). Pixels
// of the transparent colour (fuchsia unless changed) are not drawn. The image of each state is
// made the first time it is asked for and kept until the glyph, the transparent colour or the
// colours of the button change. The glyph also keeps how the caption beside it is drawn: broken
// into lines or not (WordWrap) and how those lines stand (Alignment).
class TRxButtonGlyph {
public:
    static constexpr int MaxGlyphs = 5;
    static constexpr QRgb DefaultTransparentColor = 0xFF00FF;

    // The number of images in a strip of this size: the multiple when the width is a whole
    // multiple (1 to 5) of the height, 1 for a larger multiple, 0 when it is no multiple.
    static int NumGlyphsFor(const QSize& size);
    // Which image of a strip of NumGlyphs shows the state, or -1 when the state's image is made
    // from the first.
    static int StripIndex(TButtonState state, int numGlyphs);
    // A grey copy: every drawn pixel but those of the face colour becomes grey of the level
    // (77 R + 150 G + 29 B) / 256.
    static QImage GrayedImage(const QImage& image, const QColor& face);
    // An embossed copy: the drawn pixels darker than light grey, other than the face colour,
    // once in Highlight one pixel right and down and once in Shadow in place, on a transparent
    // background.
    static QImage EmbossedImage(const QImage& image, const QColor& face, const QColor& highlight,
                                const QColor& shadow);

    // A linked action's image as a one-image strip of that size: the icon drawn on fuchsia, the
    // default transparent colour. Null for an icon without images or an empty size.
    static QPixmap ActionImage(const QIcon& icon, const QSize& size);

    // Sets the strip; NumGlyphs follows its size when the size tells it.
    void SetGlyph(const QPixmap& strip);
    const QPixmap& Glyph() const { return Strip; }
    int NumGlyphs() const { return Count; }
    // Above MaxGlyphs is taken as MaxGlyphs; below 1 is ignored.
    void SetNumGlyphs(int numGlyphs);
    QColor TransparentColor() const { return Transparent; }
    void SetTransparentColor(const QColor& color);

    // A caption too wide for its room breaks between words instead of being shortened.
    bool WordWrap() const { return Wrap; }
    void SetWordWrap(bool wordWrap) { Wrap = wordWrap; }
    TAlignment Alignment() const { return CaptionAlignment; }
    void SetAlignment(TAlignment alignment) { CaptionAlignment = alignment; }

    // The size of one image; empty without a glyph.
    QSize ImageSize() const;
    // The image of a state in a button of that palette; null without a glyph.
    QPixmap Image(TButtonState state, const QPalette& palette) const;
    // Forgets the images made so far (the button's colours changed).
    void ReleaseImages();

private:
    QImage Slice(int index) const;

    QPixmap Strip;
    int Count = 1;
    QColor Transparent{DefaultTransparentColor};
    bool Wrap = false;
    TAlignment CaptionAlignment = TAlignment::taCenter;
    mutable std::array<QPixmap, MaxGlyphs> Images;
};
