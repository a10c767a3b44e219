#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>

class QWidget;

// One picture of the gallery: a window holding a control, and the pop-up windows it has open,
// drawn where they stand on the screen relative to the window.
class TGalleryShot {
public:
    TGalleryShot(QString name, QWidget* window);

    const QString& Name() const { return ShotName; }
    void AddPopup(QWidget* popup);

    // The window with its pop-ups drawn over it, on a canvas large enough for all of them.
    QImage Compose() const;

    // Whether a picture shows anything at all (more than one colour).
    static bool HasContent(const QImage& image);

private:
    QString ShotName;
    QPointer<QWidget> Window;
    QList<QPointer<QWidget>> Popups;
};
