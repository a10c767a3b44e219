#include "gallery/GalleryShot.h"

#include <QPainter>
#include <QWidget>
#include <utility>

TGalleryShot::TGalleryShot(QString name, QWidget* window) : ShotName(std::move(name)), Window(window) {}

void TGalleryShot::AddPopup(QWidget* popup) {
    Popups.append(popup);
}

QImage TGalleryShot::Compose() const {
    if (!Window)
        return {};
    const QPoint origin = Window->mapToGlobal(QPoint(0, 0));
    QRect bounds(QPoint(0, 0), Window->size());
    for (const QPointer<QWidget>& popup : Popups)
        if (popup && popup->isVisible())
            bounds |= QRect(popup->mapToGlobal(QPoint(0, 0)) - origin, popup->size());
    QImage canvas(bounds.size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawPixmap(-bounds.topLeft(), Window->grab());
    for (const QPointer<QWidget>& popup : Popups)
        if (popup && popup->isVisible())
            painter.drawPixmap(popup->mapToGlobal(QPoint(0, 0)) - origin - bounds.topLeft(), popup->grab());
    return canvas;
}

bool TGalleryShot::HasContent(const QImage& image) {
    if (image.isNull())
        return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}
