#include "controls/buttons/RxButtonGlyph.h"

#include <QIcon>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

constexpr int LightGrey = 192;

int GreyLevel(QRgb pixel) {
    return (77 * qRed(pixel) + 150 * qGreen(pixel) + 29 * qBlue(pixel)) / 256;
}

bool IsFace(QRgb pixel, const QColor& face) {
    return (pixel & RGB_MASK) == (face.rgb() & RGB_MASK);
}

} // namespace

int TRxButtonGlyph::NumGlyphsFor(const QSize& size) {
    if (size.height() < 1 || size.width() < size.height() || size.width() % size.height() != 0)
        return 0;
    const int multiple = size.width() / size.height();
    return multiple > MaxGlyphs ? 1 : multiple;
}

int TRxButtonGlyph::StripIndex(TButtonState state, int numGlyphs) {
    switch (state) {
    case TButtonState::bsUp:
        return 0;
    case TButtonState::bsDisabled:
        return numGlyphs >= 2 ? 1 : -1;
    case TButtonState::bsDown:
        return numGlyphs >= 3 ? 2 : 0;
    case TButtonState::bsExclusive:
        return numGlyphs >= 4 ? 3 : 0;
    case TButtonState::bsInactive:
        return numGlyphs >= 5 ? 4 : -1;
    }
    return 0;
}

QImage TRxButtonGlyph::GrayedImage(const QImage& image, const QColor& face) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) == 0 || IsFace(pixel, face))
                continue;
            const int level = GreyLevel(pixel);
            line[x] = qRgba(level, level, level, qAlpha(pixel));
        }
    }
    return result;
}

QImage TRxButtonGlyph::EmbossedImage(const QImage& image, const QColor& face, const QColor& highlight,
                                     const QColor& shadow) {
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    const auto inMask = [&](int x, int y) {
        const QRgb pixel = source.pixel(x, y);
        return qAlpha(pixel) != 0 && !IsFace(pixel, face) && GreyLevel(pixel) < LightGrey;
    };
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            if (inMask(x, y) && x + 1 < source.width() && y + 1 < source.height())
                result.setPixel(x + 1, y + 1, highlight.rgba());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            if (inMask(x, y))
                result.setPixel(x, y, shadow.rgba());
    return result;
}

QPixmap TRxButtonGlyph::ActionImage(const QIcon& icon, const QSize& size) {
    if (icon.isNull() || size.isEmpty())
        return QPixmap();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor::fromRgb(DefaultTransparentColor));
    {
        QPainter painter(&image);
        icon.paint(&painter, QRect(QPoint(0, 0), size));
    }
    return QPixmap::fromImage(image);
}

void TRxButtonGlyph::SetGlyph(const QPixmap& strip) {
    Strip = strip;
    if (const int count = NumGlyphsFor(strip.size()); count > 0)
        Count = count;
    ReleaseImages();
}

void TRxButtonGlyph::SetNumGlyphs(int numGlyphs) {
    if (numGlyphs < 1)
        return;
    Count = std::min(numGlyphs, MaxGlyphs);
    ReleaseImages();
}

void TRxButtonGlyph::SetTransparentColor(const QColor& color) {
    Transparent = color;
    ReleaseImages();
}

QSize TRxButtonGlyph::ImageSize() const {
    if (Strip.isNull())
        return QSize();
    return QSize(Strip.width() / Count, Strip.height());
}

QImage TRxButtonGlyph::Slice(int index) const {
    const QSize size = ImageSize();
    QImage image = Strip.copy(index * size.width(), 0, size.width(), size.height())
                       .toImage()
                       .convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = Transparent.rgb() & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & RGB_MASK) == transparent)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

QPixmap TRxButtonGlyph::Image(TButtonState state, const QPalette& palette) const {
    if (ImageSize().isEmpty())
        return QPixmap();
    QPixmap& image = Images[static_cast<std::size_t>(state)];
    if (!image.isNull())
        return image;
    const int index = StripIndex(state, Count);
    if (index >= 0)
        image = QPixmap::fromImage(Slice(index));
    else if (state == TButtonState::bsDisabled)
        image =
            QPixmap::fromImage(EmbossedImage(Slice(0), palette.color(QPalette::Button),
                                             palette.color(QPalette::Light), palette.color(QPalette::Dark)));
    else
        image = QPixmap::fromImage(GrayedImage(Slice(0), palette.color(QPalette::Button)));
    return image;
}

void TRxButtonGlyph::ReleaseImages() {
    for (QPixmap& image : Images)
        image = QPixmap();
}
