#include "controls/buttons/ButtonGeometry.h"

#include <QtCore/qnamespace.h>

#include <algorithm>

namespace {

bool IsHorizontal(TButtonLayout layout) {
    return layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
}

bool GlyphFirst(TButtonLayout layout) {
    return layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphTop;
}

// The client less the mark's strip.
QRect PairArea(const QRect& client, bool mark) {
    return mark ? client.adjusted(0, 0, -TButtonGeometry::MarkWidth, 0) : client;
}

} // namespace

TButtonGeometry::TSpread TButtonGeometry::Spread(int extent, int glyph, int caption, int margin,
                                                 int spacing) {
    const bool both = glyph > 0 && caption > 0;
    if (margin == -1) {
        if (spacing == -1 && both) {
            const int free = extent - glyph - caption;
            if (free >= 0)
                return {free / 3, free / 3};
            return {free / 2, 0};
        }
        const int gap = both ? std::max(spacing, 0) : 0;
        return {(extent - glyph - gap - caption) / 2, gap};
    }
    if (spacing == -1)
        return {margin, caption > 0 ? std::max(0, (extent - margin - glyph - caption) / 2) : 0};
    return {margin, both ? spacing : 0};
}

TButtonContent TButtonGeometry::Place(const QRect& client, const QSize& glyph, const QSize& caption,
                                      TButtonLayout layout, int margin, int spacing, bool mark) {
    TButtonContent result;
    const QRect area = PairArea(client, mark);
    if (mark)
        result.Mark = QRect(QPoint(area.right() + 1 + (MarkWidth - MarkSize.width()) / 2,
                                   client.top() + (client.height() - MarkSize.height()) / 2),
                            MarkSize);
    const QSize glyphSize = glyph.isEmpty() ? QSize(0, 0) : glyph;
    const QSize captionSize = caption.isEmpty() ? QSize(0, 0) : caption;
    const bool horizontal = IsHorizontal(layout);
    const int extent = horizontal ? area.width() : area.height();
    const int crossExtent = horizontal ? area.height() : area.width();
    const int glyphLength = horizontal ? glyphSize.width() : glyphSize.height();
    const int captionLength = horizontal ? captionSize.width() : captionSize.height();
    const TSpread spread = Spread(extent, glyphLength, captionLength, margin, spacing);

    // Positions along the axis, from the area's start.
    int glyphAt = 0;
    int captionAt = 0;
    if (GlyphFirst(layout)) {
        glyphAt = spread.Lead;
        captionAt = glyphAt + glyphLength + spread.Gap;
    } else {
        glyphAt = extent - spread.Lead - glyphLength;
        captionAt = glyphAt - spread.Gap - captionLength;
    }
    const auto place = [&](const QSize& size, int along) {
        if (size.isEmpty())
            return QRect();
        const int cross = horizontal ? size.height() : size.width();
        const int across = (crossExtent - cross) / 2;
        return horizontal ? QRect(QPoint(area.left() + along, area.top() + across), size)
                          : QRect(QPoint(area.left() + across, area.top() + along), size);
    };
    result.Glyph = place(glyphSize, glyphAt);
    result.Caption = place(captionSize, captionAt);
    return result;
}

int TButtonGeometry::CaptionWidthLimit(const QRect& client, const QSize& glyph, TButtonLayout layout,
                                       int margin, int spacing, bool mark) {
    const QRect area = PairArea(client, mark);
    if (!IsHorizontal(layout))
        return std::max(0, area.width());
    const int glyphWidth = glyph.isEmpty() ? 0 : glyph.width();
    const int gap = glyphWidth > 0 ? std::max(spacing, 0) : 0;
    return std::max(0, area.width() - std::max(margin, 0) - glyphWidth - gap);
}

QSize TButtonGeometry::ContentSize(const QSize& glyph, const QSize& caption, TButtonLayout layout, int margin,
                                   int spacing, bool mark) {
    const QSize glyphSize = glyph.isEmpty() ? QSize(0, 0) : glyph;
    const QSize captionSize = caption.isEmpty() ? QSize(0, 0) : caption;
    const bool both = !glyphSize.isEmpty() && !captionSize.isEmpty();
    const int gap = both ? std::max(spacing, 0) : 0;
    const int margins = 2 * std::max(margin, 0);
    QSize size = IsHorizontal(layout) ? QSize(margins + glyphSize.width() + gap + captionSize.width(),
                                              std::max(glyphSize.height(), captionSize.height()))
                                      : QSize(std::max(glyphSize.width(), captionSize.width()),
                                              margins + glyphSize.height() + gap + captionSize.height());
    if (mark)
        size = QSize(size.width() + MarkWidth, std::max(size.height(), MarkSize.height()));
    return size;
}

int TButtonGeometry::CaptionTextFlags(TAlignment alignment, bool wordWrap) {
    int flags = Qt::AlignVCenter | (wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    switch (alignment) {
    case TAlignment::taLeftJustify:
        return flags | Qt::AlignLeft;
    case TAlignment::taRightJustify:
        return flags | Qt::AlignRight;
    case TAlignment::taCenter:
        break;
    }
    return flags | Qt::AlignHCenter;
}

QPoint TButtonGeometry::DropDownPosition(const QSize& size, bool hasMenu, TDropDownMenuPos position,
                                         TPopupAlignment alignment) {
    if (!hasMenu)
        return QPoint(0, 0);
    if (position == TDropDownMenuPos::dmpBottom) {
        switch (alignment) {
        case TPopupAlignment::paLeft:
            return QPoint(-1, size.height());
        case TPopupAlignment::paRight:
            return QPoint(size.width() + 1, size.height());
        case TPopupAlignment::paCenter:
            break;
        }
        return QPoint(size.width() / 2, size.height());
    }
    switch (alignment) {
    case TPopupAlignment::paLeft:
        return QPoint(size.width(), -1);
    case TPopupAlignment::paRight:
        return QPoint(-1, -1);
    case TPopupAlignment::paCenter:
        break;
    }
    return QPoint(size.width() / 2, size.height());
}

QPoint TButtonGeometry::MenuTopLeft(const QPoint& anchor, const QSize& menuSize, TPopupAlignment alignment) {
    switch (alignment) {
    case TPopupAlignment::paLeft:
        break;
    case TPopupAlignment::paRight:
        return QPoint(anchor.x() - menuSize.width(), anchor.y());
    case TPopupAlignment::paCenter:
        return QPoint(anchor.x() - menuSize.width() / 2, anchor.y());
    }
    return anchor;
}
