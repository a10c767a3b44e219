#pragma once

#include "controls/small/BandGeometry.h"

#include <QColor>
#include <QGroupBox>

// A group box in which dragging a band with the left mouse button over its empty area inverts
// every enabled check box (a direct child) that the band touches, when ToggleCheckBoxes is on.
// The band is drawn on a transparent layer above the children.
class TGroupBoxMultiSelect : public QGroupBox {
    Q_OBJECT
public:
    explicit TGroupBoxMultiSelect(QWidget* parent = nullptr);
    explicit TGroupBoxMultiSelect(const QString& title, QWidget* parent = nullptr);

    TFramePenStyle BandPenStyle = TFramePenStyle::PS_DOT;
    int BandPenWidth = 1;
    QColor BandPenColor = QColor(192, 192, 192);
    bool ToggleCheckBoxes = true;

    // The band while a drag is drawn (empty otherwise).
    QRect Band() const { return Drawn ? BandArea : QRect(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TBandLayer;
    QWidget* Layer = nullptr;
    QPoint Start;
    QRect BandArea;
    bool Dragging = false;
    bool Drawn = false;
};
