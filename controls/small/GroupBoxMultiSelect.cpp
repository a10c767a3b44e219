#include "controls/small/GroupBoxMultiSelect.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QPainter>

// The transparent layer the band is drawn on; the mouse passes through it.
class TBandLayer : public QWidget {
public:
    explicit TBandLayer(TGroupBoxMultiSelect* owner) : QWidget(owner), Owner(owner) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!Owner->Drawn)
            return;
        QPainter painter(this);
        painter.setPen(QPen(Owner->BandPenColor, Owner->BandPenWidth, PenStyleFor(Owner->BandPenStyle)));
        const QList<QPoint> outline = BandOutline(Owner->BandArea);
        painter.drawPolyline(outline.data(), int(outline.size()));
    }

private:
    TGroupBoxMultiSelect* Owner;
};

TGroupBoxMultiSelect::TGroupBoxMultiSelect(QWidget* parent) : TGroupBoxMultiSelect(QString(), parent) {}

TGroupBoxMultiSelect::TGroupBoxMultiSelect(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), Layer(new TBandLayer(this)) {
    Layer->setGeometry(rect());
}

void TGroupBoxMultiSelect::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    Layer->setGeometry(rect());
}

void TGroupBoxMultiSelect::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Start = event->position().toPoint();
        BandArea = BandRect(Start, Start);
        Dragging = true;
        Drawn = false;
        Layer->raise();
    }
    QGroupBox::mousePressEvent(event);
}

void TGroupBoxMultiSelect::mouseMoveEvent(QMouseEvent* event) {
    if (Dragging && (event->buttons() & Qt::LeftButton)) {
        BandArea = BandRect(Start, event->position().toPoint());
        Drawn = true;
        Layer->update();
    }
    QGroupBox::mouseMoveEvent(event);
}

void TGroupBoxMultiSelect::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && Dragging) {
        Dragging = false;
        Drawn = false;
        Layer->update();
        if (ToggleCheckBoxes)
            for (QCheckBox* box : findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly))
                if (box->isEnabled() && BandHits(BandArea, box->geometry()))
                    box->toggle();
    }
    QGroupBox::mouseReleaseEvent(event);
}
