#include "shell/children/MdiAreaHost.h"

#include "controls/placement/PlacementKeys.h"

#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>

TMdiAreaHost::TMdiAreaHost(QMdiArea& area, std::function<void()> clearHint)
    : Area(area), ClearHintLine(std::move(clearHint)) {}

void TMdiAreaHost::ClearHint() {
    if (ClearHintLine)
        ClearHintLine();
}

QMdiSubWindow* TMdiAreaHost::SubWindowOf(const QObject* child) const {
    for (QMdiSubWindow* window : Area.subWindowList())
        if (window->widget() == child)
            return window;
    return nullptr;
}

QSize TMdiAreaHost::DesignedSize(const QWidget& window, const QSize& frame) {
    // Two thirds of the frame each way, never less than the window's contents need nor more than
    // the frame holds.
    const QSize share(frame.width() * 2 / 3, frame.height() * 2 / 3);
    const QSize wanted = share.expandedTo(window.sizeHint()).expandedTo(window.minimumSizeHint());
    return frame.isEmpty() ? wanted : wanted.boundedTo(frame);
}

QList<QObject*> TMdiAreaHost::Children() const {
    QList<QObject*> children;
    const QList<QMdiSubWindow*> windows = Area.subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if ((*it)->widget())
            children.append((*it)->widget());
    return children;
}

QObject* TMdiAreaHost::ActiveChild() const {
    QMdiSubWindow* window = Area.activeSubWindow();
    return window ? window->widget() : nullptr;
}

void TMdiAreaHost::AddChild(QObject* child) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget) {
        delete child;
        return;
    }
    QMdiSubWindow* window = Area.addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(DesignedSize(*window, Area.size()));
    // The area placed the window at its first size; grown to its designed size it may reach past
    // the area's right or bottom edge, its close box out of reach. Bring it back inside.
    window->setGeometry(
        Placement::FitInsideArea(window->geometry(), QRect(QPoint(0, 0), Area.viewport()->size())));
    window->setProperty(TChildWindows::KindProperty, child->property(TChildWindows::KindProperty));
    window->show();
}

Qt::WindowStates TMdiAreaHost::State(QObject* child) const {
    const QMdiSubWindow* window = SubWindowOf(child);
    return window ? window->windowState() : Qt::WindowNoState;
}

void TMdiAreaHost::SetState(QObject* child, Qt::WindowStates state) {
    QMdiSubWindow* window = SubWindowOf(child);
    if (!window)
        return;
    if (state.testFlag(Qt::WindowMinimized))
        window->showMinimized();
    else if (state.testFlag(Qt::WindowMaximized))
        window->showMaximized();
    else
        window->showNormal();
}

void TMdiAreaHost::Raise(QObject* child) {
    if (QMdiSubWindow* window = SubWindowOf(child)) {
        window->raise();
        Area.setActiveSubWindow(window);
    }
}

void TMdiAreaHost::ShowModal(QObject* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->exec();
}

void TMdiAreaHost::ArrangeIcons() {
    int left = 0;
    const int bottom = Area.viewport()->height();
    for (QMdiSubWindow* window : Area.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        window->move(left, bottom - window->height());
        left += window->width();
    }
}

void TMdiAreaHost::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TMdiAreaHost::ProcessEvents() {
    QCoreApplication::processEvents();
}
