#include "controls/small/BandGeometry.h"

#include <algorithm>
#include <cstdlib>

Qt::PenStyle PenStyleFor(TFramePenStyle style) {
    switch (style) {
    case TFramePenStyle::PS_DASH:
        return Qt::DashLine;
    case TFramePenStyle::PS_DOT:
        return Qt::DotLine;
    case TFramePenStyle::PS_DASHDOT:
        return Qt::DashDotLine;
    case TFramePenStyle::PS_DASHDOTDOT:
        return Qt::DashDotDotLine;
    case TFramePenStyle::PS_NULL:
        return Qt::NoPen;
    case TFramePenStyle::PS_SOLID:
    case TFramePenStyle::PS_INSIDEFRAME:
        break;
    }
    return Qt::SolidLine;
}

QRect BandRect(QPoint start, QPoint end) {
    return QRect(QPoint(std::min(start.x(), end.x()), std::min(start.y(), end.y())),
                 QSize(std::abs(end.x() - start.x()), std::abs(end.y() - start.y())));
}

bool BandHits(const QRect& band, const QRect& bounds) {
    return !band.isEmpty() && band.intersects(bounds);
}

QList<QPoint> BandOutline(const QRect& band) {
    const int right = band.x() + band.width();
    const int bottom = band.y() + band.height();
    return {band.topLeft(), {right, band.y()}, {right, bottom}, {band.x(), bottom}, band.topLeft()};
}
