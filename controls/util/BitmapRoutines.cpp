#include "controls/util/BitmapRoutines.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace {

// The dynamic property that marks a widget painting a copy of itself for a child.
constexpr char PaintCopyProperty[] = "quilvanePaintCopy";

constexpr TColor RGBMask = 0x00FFFFFF;
constexpr TColor PaletteRelative = 0x02000000;

bool IsMonochrome(const QImage& image) {
    return image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
}

// The image with every pixel of the colour (alpha aside) made fully transparent.
QImage WithoutColor(const QImage& image, QRgb color) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb rgb = color & RGBMask;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & RGBMask) == rgb)
                line[x] = 0;
    }
    return result;
}

// An image one pixel wider and higher than the shape, transparent but for the shape drawn in the
// highlight colour one pixel right and down and then in the shadow colour.
template <typename TInShape>
QImage Embossed(const QSize& size, TInShape inShape, QRgb highlight, QRgb shadow, QRgb background) {
    QImage result(size + QSize(1, 1), QImage::Format_ARGB32);
    result.fill(background);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (inShape(x, y))
                result.setPixel(x + 1, y + 1, highlight);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (inShape(x, y))
                result.setPixel(x, y, shadow);
    return result;
}

} // namespace

QColor ColorToQColor(TColor color) {
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor ColorFromQColor(const QColor& color) {
    return TColor(color.red()) | TColor(color.green()) << 8 | TColor(color.blue()) << 16;
}

TColor PaletteColor(TColor color) {
    return PaletteRelative | (color & RGBMask);
}

bool IsPaintingCopy(const QWidget* widget) {
    return widget != nullptr && widget->property(PaintCopyProperty).toBool();
}

void CopyParentImage(QWidget* control, QPainter& painter) {
    if (control == nullptr || control->parentWidget() == nullptr || control->isWindow())
        return;
    QWidget* parent = control->parentWidget();
    const QRect area = control->geometry() & parent->rect();
    if (area.isEmpty())
        return;

    const QVariant wasPaintingCopy = parent->property(PaintCopyProperty);
    parent->setProperty(PaintCopyProperty, true);
    struct TRestore {
        QWidget* Parent;
        QVariant Was;
        ~TRestore() { Parent->setProperty(PaintCopyProperty, Was); }
    } restore{parent, wasPaintingCopy};

    // render() puts the top-left corner of the region it draws at the target offset.
    parent->render(&painter, area.topLeft() - control->pos(), QRegion(area), QWidget::DrawWindowBackground);
    // Children are stacked in the order of the parent's list: the first is at the bottom.
    for (QObject* child : parent->children()) {
        if (child == control)
            break;
        auto* sibling = qobject_cast<QWidget*>(child);
        if (sibling == nullptr || sibling->isWindow() || sibling->isHidden())
            continue;
        const QRect overlap = sibling->geometry() & area;
        if (overlap.isEmpty())
            continue;
        sibling->render(&painter, overlap.topLeft() - control->pos(),
                        QRegion(overlap.translated(-sibling->pos())),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
}

void StretchBitmapRectTransparent(QPainter& painter, int x, int y, int width, int height, const QRect& source,
                                  const QImage& bitmap, TColor transparentColor) {
    if (bitmap.isNull() || source.isEmpty())
        return;
    if (width < 1)
        width = source.width();
    if (height < 1)
        height = source.height();
    const QRect inside = source & bitmap.rect();
    if (inside.isEmpty())
        return;
    // The part of the target that the bitmap's part of the source covers.
    const double scaleX = double(width) / source.width(), scaleY = double(height) / source.height();
    const QRectF target(x + (inside.left() - source.left()) * scaleX,
                        y + (inside.top() - source.top()) * scaleY, inside.width() * scaleX,
                        inside.height() * scaleY);

    QImage part;
    if (transparentColor == clNone) {
        part = bitmap.copy(inside).convertToFormat(QImage::Format_RGB32);
    } else {
        QRgb color;
        if (IsMonochrome(bitmap))
            color = qRgb(255, 255, 255);
        else if (transparentColor == clDefault)
            color = bitmap.pixel(0, bitmap.height() - 1);
        else
            color = ColorToQColor(transparentColor).rgb();
        part = WithoutColor(bitmap.copy(inside), color);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, part, QRectF(part.rect()));
    painter.restore();
}

QImage CreateDisabledBitmap(const QImage& bitmap, TColor outlineColor) {
    if (bitmap.isNull())
        return QImage();
    const QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb outline = ColorToQColor(outlineColor).rgb() & RGBMask;
    const QPalette palette = QApplication::palette();
    const QImage embossed = Embossed(
        source.size(), [&](int x, int y) { return (source.pixel(x, y) & RGBMask) == outline; },
        palette.color(QPalette::Active, QPalette::Light).rgb(),
        palette.color(QPalette::Active, QPalette::Dark).rgb(),
        palette.color(QPalette::Active, QPalette::Button).rgb());
    return embossed.copy(source.rect()).convertToFormat(QImage::Format_RGB32);
}

void ImageListDrawDisabled(const QList<QImage>& images, QPainter& painter, int x, int y, int index,
                           const QColor& highlight, const QColor& grey) {
    if (index < 0 || index >= images.size() || images.at(index).isNull())
        return;
    const QImage image = images.at(index).convertToFormat(QImage::Format_ARGB32);
    const QImage embossed = Embossed(
        image.size(),
        [&](int px, int py) {
            const QRgb pixel = image.pixel(px, py);
            return qAlpha(pixel) >= 128 && qGray(pixel) < 128;
        },
        highlight.rgb(), grey.rgb(), qRgba(0, 0, 0, 0));
    // The highlight of the last column and row stays inside the image's cell.
    painter.drawImage(QPoint(x, y), embossed, image.rect());
}
