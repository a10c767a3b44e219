#pragma once

#include "shell/children/ChildWindows.h"

#include <QSize>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

// The child-window frame over the main window's multiple-document area. Each child is the widget
// inside one sub-window; closing the sub-window frees the child, which empties its slot.
class TMdiAreaHost : public IMdiHost {
public:
    // clearHint empties the hint line of the status bar.
    explicit TMdiAreaHost(QMdiArea& area, std::function<void()> clearHint = {});

    QList<QObject*> Children() const override;
    QObject* ActiveChild() const override;
    // A child that is not a widget is freed at once.
    void AddChild(QObject* child) override;
    Qt::WindowStates State(QObject* child) const override;
    void SetState(QObject* child, Qt::WindowStates state) override;
    void Raise(QObject* child) override;
    // Dialogs only; other windows are not shown.
    void ShowModal(QObject* window) override;
    void ArrangeIcons() override;
    void ClearHint() override;
    void SetBusy(bool busy) override;
    void ProcessEvents() override;

    // The sub-window that holds a child; nullptr when it is not in the frame.
    QMdiSubWindow* SubWindowOf(const QObject* child) const;

    // The size a new child window opens at before any stored placement: a usable share of the
    // frame, at least what its contents need.
    static QSize DesignedSize(const QWidget& window, const QSize& frame);

private:
    QMdiArea& Area;
    std::function<void()> ClearHintLine;
};
