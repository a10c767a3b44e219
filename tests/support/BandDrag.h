#pragma once

// A band dragged with the left mouse button over a group box, as a user drags one: a press on the
// group's empty margin, a move with the button held, and the release. For widget test suites.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

// Sends one mouse event of the drag to the group box; a point in the group's coordinates.
inline void SendBandMouse(QWidget* group, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, group->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(group, &event);
}

// Presses at `from`, moves to `to` with the button held and releases there.
inline void DragBand(QWidget* group, QPoint from, QPoint to) {
    SendBandMouse(group, QEvent::MouseButtonPress, from, Qt::LeftButton);
    SendBandMouse(group, QEvent::MouseMove, to, Qt::LeftButton);
    SendBandMouse(group, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A band from the empty margin to the left of `first` down to the middle of `last`, in the
// coordinates of the group that holds both (their parent): it touches both controls and whatever
// lies between them. The group must be laid out (shown).
inline std::pair<QPoint, QPoint> BandOver(const QWidget* first, const QWidget* last) {
    const QRect a = first->geometry();
    const QRect b = last->geometry();
    return {QPoint(std::min(a.left(), b.left()) - 2, a.center().y()),
            QPoint(b.left() + b.width() / 4, b.center().y())};
}

// Drags a band over `first`, `last` and what lies between them.
inline void DragBandOver(const QWidget* first, const QWidget* last) {
    const auto [from, to] = BandOver(first, last);
    DragBand(first->parentWidget(), from, to);
}
