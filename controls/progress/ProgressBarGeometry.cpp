#include "controls/progress/ProgressBarGeometry.h"

#include "core/vocab/ProgressMessages.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A rectangle from its edges, right and bottom exclusive.
QRect FromEdges(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return {};
    return QRect(left, top, right - left, bottom - top);
}

int Exclusive(int inclusive) {
    return inclusive + 1;
}

} // namespace

QRect TProgressBarGeometry::InnerRect(const QRect& client, TdxfBevelOuter bevel) {
    if (bevel == TdxfBevelOuter::bvNone)
        return client;
    return client.adjusted(BevelWidth, BevelWidth, -BevelWidth, -BevelWidth);
}

QRect TProgressBarGeometry::FilledRect(const QRect& inner, TdxfPBOrientation orientation, int min, int max,
                                       int position) {
    if (position == min || max <= min || inner.width() <= 0 || inner.height() <= 0)
        return {};
    // The share uses the position itself over the range, as the bars of this program always
    // start at 0; it is computed wide so that large positions cannot overflow, and held inside
    // the inner rectangle whichever way the position strays from the range.
    const double range = static_cast<double>(static_cast<std::int64_t>(max) - min);
    const bool horizontal = orientation == TdxfPBOrientation::orHorizontal;
    const int size = horizontal ? inner.width() : inner.height();
    const double share = std::trunc(static_cast<double>(static_cast<std::int64_t>(position) * size) / range);
    const int length = static_cast<int>(std::clamp(share, 0.0, static_cast<double>(size)));
    if (horizontal)
        return FromEdges(inner.left(), inner.top(), inner.left() + length, Exclusive(inner.bottom()));
    return FromEdges(inner.left(), Exclusive(inner.bottom()) - length, Exclusive(inner.right()),
                     Exclusive(inner.bottom()));
}

int TProgressBarGeometry::SegmentLength(const QRect& inner, TdxfPBOrientation orientation) {
    const int thickness =
        std::max(0, orientation == TdxfPBOrientation::orHorizontal ? inner.height() : inner.width());
    return 2 * thickness / 3 + SegmentGap;
}

QList<TBarSegment> TProgressBarGeometry::Segments(const QRect& inner, const QRect& filled,
                                                  TdxfPBOrientation orientation, bool full) {
    QList<TBarSegment> segments;
    if (filled.isEmpty())
        return segments;
    const int length = SegmentLength(inner, orientation);
    const int left = filled.left();
    const int top = filled.top();
    const int right = Exclusive(filled.right());
    const int bottom = Exclusive(filled.bottom());
    auto add = [&segments](const QRect& rect, int blendPosition) {
        if (!rect.isEmpty())
            segments.append({rect, blendPosition});
    };
    if (orientation == TdxfPBOrientation::orHorizontal) {
        int remembered = left;
        for (int x = left + length; x <= right - 1; x += length) {
            add(FromEdges(x - length, top, x - SegmentGap, bottom), x - left);
            remembered = x;
        }
        if (full)
            add(FromEdges(remembered, top, right, bottom), remembered - left);
    } else {
        int remembered = bottom;
        for (int y = bottom - 1 - length; y >= top; y -= length) {
            add(FromEdges(left, y + SegmentGap, right, y + length), bottom - y);
            remembered = y;
        }
        if (full)
            add(FromEdges(left, top, right, remembered), bottom - remembered);
    }
    return segments;
}

QList<QPoint> TProgressBarGeometry::GlyphPositions(const QRect& filled, TdxfPBOrientation orientation,
                                                   const QSize& glyph, bool atMax) {
    QList<QPoint> positions;
    if (filled.isEmpty() || glyph.width() <= 0 || glyph.height() <= 0)
        return positions;
    const int left = filled.left();
    const int top = filled.top();
    const int right = Exclusive(filled.right());
    const int bottom = Exclusive(filled.bottom());
    if (orientation == TdxfPBOrientation::orHorizontal) {
        const int step = glyph.width();
        int remembered = left;
        for (int x = left + step; x <= right - 1; x += step) {
            positions.append({x - step, top});
            remembered = x;
        }
        if (atMax)
            positions.append({remembered, top});
    } else {
        const int step = glyph.height();
        int remembered = bottom;
        for (int y = bottom - 1 - step; y >= top; y -= step) {
            positions.append({left, y});
            remembered = y;
        }
        if (atMax)
            positions.append({left, remembered - step});
    }
    return positions;
}

QRgb TProgressBarGeometry::Blend(QRgb begin, QRgb end, int p, int n) {
    if (n <= 0)
        return qRgb(qRed(begin), qGreen(begin), qBlue(begin));
    auto mix = [p, n](int from, int to) {
        const double value =
            std::trunc(from + static_cast<double>((to - from) * static_cast<std::int64_t>(p)) / n);
        return static_cast<int>(std::clamp(value, 0.0, 255.0));
    };
    return qRgb(mix(qRed(begin), qRed(end)), mix(qGreen(begin), qGreen(end)), mix(qBlue(begin), qBlue(end)));
}

QString TProgressBarGeometry::Text(int position, int min, int max, TdxfShowTextStyle style) {
    if (style == TdxfShowTextStyle::stsPosition)
        return QString::number(position);
    int percent = 0;
    if (max > min) {
        const double range = static_cast<double>(static_cast<std::int64_t>(max) - min);
        percent = TProgressMessages::RoundPercent(static_cast<double>(position) * 100.0 / range);
    }
    return QString::number(percent) + QStringLiteral(" %");
}
