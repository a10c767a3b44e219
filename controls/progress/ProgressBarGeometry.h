#pragma once

#include "controls/progress/ProgressBarKinds.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

// One segment of a segmented bar, with the coordinate that picks its gradient colour.
struct TBarSegment {
    QRect Rect;
    int BlendPosition = 0;
    bool operator==(const TBarSegment&) const = default;
};

// Where a progress bar puts its parts. Rectangles are in the bar's own pixels; a bar fills from
// its inner rectangle's left edge (horizontal) or bottom edge (vertical).
class TProgressBarGeometry {
public:
    // Width of the edge that a bevel takes from every side of the bar.
    static constexpr int BevelWidth = 2;
    // Pixels left between two segments.
    static constexpr int SegmentGap = 2;

    // The rectangle inside the outer bevel.
    static QRect InnerRect(const QRect& client, TdxfBevelOuter bevel);

    // The filled part for a position: Position / (Max - Min) of the inner rectangle (the position
    // itself, not its distance from Min), held inside the inner rectangle. Empty (a null
    // rectangle) when the position is Min, when the range is empty or reversed, or when the share
    // comes to nothing or less.
    static QRect FilledRect(const QRect& inner, TdxfPBOrientation orientation, int min, int max,
                            int position);

    // Length of a segment along the bar, gap included: two thirds of the bar's thickness plus 2.
    static int SegmentLength(const QRect& inner, TdxfPBOrientation orientation);

    // The whole segments that fit in the filled part, in filling order; when the bar is full
    // (position at or past Max) also the last, partial one.
    static QList<TBarSegment> Segments(const QRect& inner, const QRect& filled, TdxfPBOrientation orientation,
                                       bool full);

    // Top-left corners of the pictures tiled along the filled part; one more after the last when
    // the position is exactly Max.
    static QList<QPoint> GlyphPositions(const QRect& filled, TdxfPBOrientation orientation,
                                        const QSize& glyph, bool atMax);

    // BeginColor mixed into EndColor by p parts in n, byte by byte (truncated).
    static QRgb Blend(QRgb begin, QRgb end, int p, int n);

    // The bar's text: the position, or its percentage of Max - Min followed by " %" ("0 %" for an
    // empty or reversed range).
    static QString Text(int position, int min, int max, TdxfShowTextStyle style);
};
