#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QMdiSubWindow;

// The program's main window: a frame for the child windows over the open client files, with
// the hint line and the workstation's user name in its status bar.
class TfmQuilvaneMain : public QMainWindow {
    Q_OBJECT
public:
    // The property on each child window that holds its window kind (0 to 12).
    static constexpr const char* WindowKindProperty = "WindowKind";

    explicit TfmQuilvaneMain(const QString& userName, QWidget* parent = nullptr);

    QMdiArea* MdiArea() const { return Mdi; }

    // Adds a child window of a kind to the frame.
    QMdiSubWindow* AddChildWindow(QWidget* child, int kind);

    // The index among the child windows of the first one shown by the same window class as the
    // kind; -1 when there is none, and always for the kinds without a class of their own.
    int FindMDIChildOfKind(int kind) const;

    // Another copy of the program was started: come up (maximised when minimised) and to the
    // front.
    void ActivateFromOtherInstance();

    // Status panel 0: " " + the hint, or " Ready." when there is none.
    void ShowHint(const QString& hint);
    QString StatusHint() const;
    QString StatusUser() const;

private:
    QMdiArea* Mdi = nullptr;
    QLabel* HintPanel = nullptr;
    QLabel* UserPanel = nullptr;
};
