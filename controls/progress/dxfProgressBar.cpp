#include "controls/progress/dxfProgressBar.h"

#include "controls/progress/ProgressBarGeometry.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

TdxfProgressBar::TdxfProgressBar(QWidget* parent) : QWidget(parent) {
    resize(DefaultWidth, DefaultHeight);
}

TdxfProgressBar::~TdxfProgressBar() = default;

void TdxfProgressBar::SetBarBevelOuter(TdxfBevelOuter value) {
    if (value == FBarBevelOuter)
        return;
    FBarBevelOuter = value;
    update();
}

void TdxfProgressBar::SetBevelOuter(TdxfBevelOuter value) {
    if (value == FBevelOuter)
        return;
    FBevelOuter = value;
    update();
}

void TdxfProgressBar::SetOrientation(TdxfPBOrientation value) {
    if (value == FOrientation)
        return;
    FOrientation = value;
    update();
}

void TdxfProgressBar::SetMax(int value) {
    if (value == FMax || value < FMin)
        return;
    FMax = value;
    update();
}

void TdxfProgressBar::SetMin(int value) {
    if (value == FMin || value > FMax)
        return;
    FMin = value;
    update();
}

void TdxfProgressBar::SetPosition(int value) {
    if (value == FPosition)
        return;
    FPosition = value;
    repaint();
}

void TdxfProgressBar::SetShowText(bool value) {
    if (value == FShowText)
        return;
    FShowText = value;
    update();
}

void TdxfProgressBar::SetShowTextStyle(TdxfShowTextStyle value) {
    if (value == FShowTextStyle)
        return;
    FShowTextStyle = value;
    if (FShowText)
        update();
}

void TdxfProgressBar::SetBeginColor(const QColor& value) {
    if (value == FBeginColor)
        return;
    FBeginColor = value;
    if (FStyle != TdxfPBStyle::sPictures)
        update();
}

void TdxfProgressBar::SetEndColor(const QColor& value) {
    if (value == FEndColor)
        return;
    FEndColor = value;
    if (FStyle == TdxfPBStyle::sExSolid || FStyle == TdxfPBStyle::sExRectangles)
        update();
}

QColor TdxfProgressBar::Color() const {
    return FColor.isValid() ? FColor : palette().color(backgroundRole());
}

void TdxfProgressBar::SetColor(const QColor& value) {
    if (value == FColor)
        return;
    FColor = value;
    update();
}

void TdxfProgressBar::SetStyle(TdxfPBStyle value) {
    if (value == FStyle)
        return;
    FStyle = value;
    update();
}

void TdxfProgressBar::SetGlyph(const QPixmap& value) {
    FGlyph = value;
    if (!FGlyph.isNull()) {
        const int edge = 2 * TProgressBarGeometry::BevelWidth;
        if (FOrientation == TdxfPBOrientation::orVertical)
            resize(FGlyph.width() + edge, height());
        else
            resize(width(), FGlyph.height() + edge);
    }
    ApplyTransparency();
    if (FStyle == TdxfPBStyle::sPictures)
        update();
}

void TdxfProgressBar::SetTransparentGlyph(bool value) {
    if (value == FTransparentGlyph)
        return;
    FTransparentGlyph = value;
    ApplyTransparency();
    update();
}

void TdxfProgressBar::ApplyTransparency() {
    FGlyphShown = FGlyph;
    if (FGlyph.isNull() || !FTransparentGlyph)
        return;
    // The picture's bottom-left pixel names its transparent colour.
    const QImage image = FGlyph.toImage();
    const QColor transparent = image.pixelColor(0, image.height() - 1);
    FGlyphShown.setMask(FGlyph.createMaskFromColor(transparent, Qt::MaskInColor));
}

void TdxfProgressBar::DrawBevel(QPainter& painter, const QRect& rect, TdxfBevelOuter bevel) const {
    if (bevel == TdxfBevelOuter::bvNone || rect.isEmpty())
        return;
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    const bool lowered = bevel == TdxfBevelOuter::bvLowered;
    const QColor topLeft = lowered ? shadow : highlight;
    const QColor bottomRight = lowered ? highlight : shadow;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}

void TdxfProgressBar::DrawText(QPainter& painter) const {
    const QString text = TProgressBarGeometry::Text(FPosition, FMin, FMax, FShowTextStyle);
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    if (FOrientation == TdxfPBOrientation::orHorizontal) {
        const QRect box((width() - textWidth) / 2, (height() - textHeight) / 2, textWidth, textHeight);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
        return;
    }
    // Read top to bottom, the tops of the letters facing right.
    painter.save();
    painter.translate((width() - textHeight) / 2 + textHeight, (height() - textWidth) / 2);
    painter.rotate(90);
    painter.drawText(QRect(0, 0, textWidth, textHeight), Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

void TdxfProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Color());
    DrawBevel(painter, rect(), FBevelOuter);
    const QRect inner = TProgressBarGeometry::InnerRect(rect(), FBevelOuter);
    const QRect filled = TProgressBarGeometry::FilledRect(inner, FOrientation, FMin, FMax, FPosition);
    const bool horizontal = FOrientation == TdxfPBOrientation::orHorizontal;
    const QRgb begin = FBeginColor.rgb();
    const QRgb end = FEndColor.rgb();

    if (!filled.isEmpty()) {
        painter.save();
        painter.setClipRect(inner);
        switch (FStyle) {
        case TdxfPBStyle::sSolid:
            painter.fillRect(filled, FBeginColor);
            DrawBevel(painter, filled, FBarBevelOuter);
            break;
        case TdxfPBStyle::sExSolid:
            // The gradient runs across the whole inner rectangle, so a part-filled bar shows
            // only its start.
            if (horizontal) {
                for (int x = filled.left(); x <= filled.right(); ++x)
                    painter.fillRect(
                        QRect(x, filled.top(), 1, filled.height()),
                        QColor(TProgressBarGeometry::Blend(begin, end, x - filled.left(), inner.width())));
            } else {
                const int bottom = filled.bottom() + 1;
                for (int y = filled.bottom(); y >= filled.top(); --y)
                    painter.fillRect(
                        QRect(filled.left(), y, filled.width(), 1),
                        QColor(TProgressBarGeometry::Blend(begin, end, bottom - y, inner.height())));
            }
            DrawBevel(painter, filled, FBarBevelOuter);
            break;
        case TdxfPBStyle::sRectangles:
        case TdxfPBStyle::sExRectangles: {
            const bool gradient = FStyle == TdxfPBStyle::sExRectangles;
            const int span = horizontal ? inner.width() : inner.height();
            const auto segments =
                TProgressBarGeometry::Segments(inner, filled, FOrientation, FPosition >= FMax);
            for (const TBarSegment& segment : segments) {
                const QColor colour =
                    gradient ? QColor(TProgressBarGeometry::Blend(begin, end, segment.BlendPosition, span))
                             : FBeginColor;
                painter.fillRect(segment.Rect, colour);
                DrawBevel(painter, segment.Rect, FBarBevelOuter);
            }
            break;
        }
        case TdxfPBStyle::sPictures:
            if (!FGlyphShown.isNull()) {
                const auto positions = TProgressBarGeometry::GlyphPositions(
                    filled, FOrientation, FGlyphShown.size(), FPosition == FMax);
                for (const QPoint& at : positions)
                    painter.drawPixmap(at, FGlyphShown);
            }
            break;
        }
        painter.restore();
    }
    if (FShowText)
        DrawText(painter);
}

void TdxfProgressBar::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void TdxfProgressBar::mouseDoubleClickEvent(QMouseEvent* event) {
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}
