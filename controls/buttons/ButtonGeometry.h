#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the glyph goes relative to the caption.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Where a button's drop-down menu pops up: below the button or beside it.
enum class TDropDownMenuPos { dmpBottom, dmpRight };
// Which edge of a pop-up menu lies at the point it pops up at.
enum class TPopupAlignment { paLeft, paRight, paCenter };
// How the lines of a caption stand in its block: flush left, flush right or centred.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Where the parts of a button's face are painted.
struct TButtonContent {
    QRect Glyph;   // empty when there is no glyph
    QRect Caption; // empty when there is no caption
    QRect Mark;    // the drop-down mark; empty without one
};

// The arithmetic of a button face, with no widget. Glyph and caption form a pair laid out along
// the layout's axis and centred across it:
// - Margin -1 centres the pair; with Spacing -1 as well, the space left over is shared out so
//   that the margin and the gap between glyph and caption each take a third of it.
// - A Margin of 0 or more puts the glyph (or, without one, the caption) that far from the edge
//   on the glyph's side; Spacing -1 then centres the caption in the space left after the glyph.
// - A fixed Spacing is the gap between glyph and caption; it counts as 0 when one of them is
//   missing, so a lone glyph or caption is centred like a pair.
// - A computed gap is never negative: a pair too wide for the button keeps the glyph and caption
//   side by side and overflows both edges equally.
// - With a drop-down mark the pair is laid out in the width less MarkWidth, and the mark is
//   centred in the strip it leaves at the right.
class TButtonGeometry {
public:
    // The strip a drop-down mark takes from the right of the face, and the mark itself: a
    // down-pointing triangle of rows 7, 5, 3 and 1 pixels wide.
    static constexpr int MarkWidth = 9;
    static constexpr QSize MarkSize{7, 4};

    // Glyph, caption and mark inside Client. Glyph and Caption are the sizes of the parts (an
    // empty size for a missing part).
    static TButtonContent Place(const QRect& client, const QSize& glyph, const QSize& caption,
                                TButtonLayout layout, int margin, int spacing, bool mark);

    // The widest caption that fits beside (or above or below) the glyph in Client; a wider one
    // is to be shortened first.
    static int CaptionWidthLimit(const QRect& client, const QSize& glyph, TButtonLayout layout, int margin,
                                 int spacing, bool mark);

    // The size glyph and caption need with their margins and gap, the mark included.
    static QSize ContentSize(const QSize& glyph, const QSize& caption, TButtonLayout layout, int margin,
                             int spacing, bool mark);

    // The point (in the button's coordinates) at which a button of Size pops its menu up.
    static QPoint DropDownPosition(const QSize& size, bool hasMenu, TDropDownMenuPos position,
                                   TPopupAlignment alignment);

    // The top-left corner of a menu of MenuSize that pops up at Anchor with Alignment.
    static QPoint MenuTopLeft(const QPoint& anchor, const QSize& menuSize, TPopupAlignment alignment);

    // The text flags a caption is drawn with in its block: its lines aligned as asked and the block
    // centred across them; a wrapped caption breaks between words, any other stays on one line.
    static int CaptionTextFlags(TAlignment alignment, bool wordWrap);

    // Whether a Margin or Spacing value is acceptable (-1 stands for "computed").
    static bool AcceptedDistance(int value) { return value >= -1; }

    // The distance from the glyph's edge to the pair and the gap between glyph and caption,
    // along an axis of Extent for a glyph and caption of those lengths.
    struct TSpread {
        int Lead;
        int Gap;
    };
    static TSpread Spread(int extent, int glyph, int caption, int margin, int spacing);
};
