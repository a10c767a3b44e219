#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <Qt>

// The pen styles a selection band is drawn with.
enum class TFramePenStyle { PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME };

Qt::PenStyle PenStyleFor(TFramePenStyle style);

// The band spanned by the press point and the pointer. Its right and bottom edges are excluded,
// so a band with no movement is empty and touches nothing.
QRect BandRect(QPoint start, QPoint end);

// Whether a band touches a control's bounds (an empty band touches nothing).
bool BandHits(const QRect& band, const QRect& bounds);

// The corners of the band's outline, closed: top-left, top-right, bottom-right, bottom-left,
// top-left.
QList<QPoint> BandOutline(const QRect& band);
