#pragma once

#include <QLayout>
#include <QWidget>

// Whether a widget sits somewhere in a layout: directly, in a nested layout, or in the layout of
// a widget the layout holds. A control that no layout holds lies at its parent's corner.
inline bool LayoutHolds(const QLayout* layout, const QWidget* widget) {
    for (int i = 0; layout && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget || LayoutHolds(item->layout(), widget) ||
            (item->widget() && LayoutHolds(item->widget()->layout(), widget)))
            return true;
    }
    return false;
}
