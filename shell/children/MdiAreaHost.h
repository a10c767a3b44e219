#pragma once

#include "shell/children/ChildWindows.h"

#include <functional>

class QMdiArea;
class QMdiSubWindow;

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

private:
    QMdiArea& Area;
    std::function<void()> ClearHintLine;
};
