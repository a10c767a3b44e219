#pragma once

#include <QObject>

class QDialog;
class QWidget;

// Makes Enter move the focus to the next input field of a dialog, as Tab does, and Shift+Enter
// to the previous one. Line edits (also inside combo and spin boxes), combo boxes, spin boxes,
// check boxes and radio buttons in a group box pass Enter on; a multi-line edit that takes
// Enter keeps it, and buttons keep it (their default action applies). It also records Shift,
// Ctrl and Alt from the last key or mouse event inside the dialog.
//
// One per dialog: a second one shows "Only one instance of TFocusNext is allowed." and the
// construction ends with EAbort, as it does silently when the owner is not a dialog.
class TFocusNext : public QObject {
    Q_OBJECT
public:
    explicit TFocusNext(QWidget* owner);

    bool Enabled() const { return IsEnabled; }
    void SetEnabled(bool value) { IsEnabled = value; }

    bool ShiftHeld() const { return Shift; }
    bool CtrlHeld() const { return Ctrl; }
    bool AltHeld() const { return Alt; }

    // Whether Enter in the widget moves the focus (instead of staying with the widget).
    static bool MovesFocusOnEnter(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDialog* Dialog = nullptr;
    bool IsEnabled = true;
    bool Shift = false, Ctrl = false, Alt = false;
};
