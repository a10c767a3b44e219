#pragma once

#include "controls/buttons/RxSpeedButton.h"

#include <QKeySequence>
#include <QLineEdit>

// An edit with a small button inside its right edge. The button (or the click key, Alt+Down
// unless changed) runs ButtonClick(), which derived edits override to drop down a pop-up or open
// a dialog; ButtonClicked() is signalled first. The text is typed only while DirectInput is on
// and the edit is not ReadOnly; with AlwaysEnable the button still works on a read-only edit.
// Enter and Escape are left to the dialog (default and cancel buttons) when no pop-up is open.
class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class TGlyphKind { Custom, Default, DropDown, Ellipsis };

    explicit TCustomComboEdit(QWidget* parent = nullptr);

    // The button inside the edit.
    TRxSpeedButton* Button() const { return EditButton; }

    TGlyphKind GlyphKind() const { return Glyph; }
    void SetGlyphKind(TGlyphKind kind);

    // A width below 2 hides the button.
    int ButtonWidth() const { return Width; }
    void SetButtonWidth(int width);

    QKeySequence ClickKey() const { return Key; }
    void SetClickKey(const QKeySequence& key) { Key = key; }

    bool ReadOnly() const { return ReadOnlyFlag; }
    void SetReadOnly(bool readOnly);
    bool DirectInput() const { return DirectInputFlag; }
    void SetDirectInput(bool directInput);
    bool AlwaysEnable() const { return AlwaysEnableFlag; }
    void SetAlwaysEnable(bool alwaysEnable);

    // Whether the button would act now (it is shown and the edit is writable or AlwaysEnable).
    bool ButtonActive() const;

    // Runs the button as a click would; nothing happens while the button is inactive.
    void DoClick();

    // The standard width of a drop-down button: the width of a vertical scroll bar.
    static int DropDownWidth(const QWidget* widget);

signals:
    void ButtonClicked();

protected:
    // What the button does after ButtonClicked(); nothing here.
    virtual void ButtonClick() {}
    // Whether a pop-up of the edit is open (Enter and Escape then belong to it).
    virtual bool PopupVisible() const { return false; }

    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void LayoutButton();
    void UpdateReadOnly();

    TRxSpeedButton* EditButton;
    TGlyphKind Glyph = TGlyphKind::Custom;
    int Width;
    QKeySequence Key{Qt::ALT | Qt::Key_Down};
    bool ReadOnlyFlag = false;
    bool DirectInputFlag = true;
    bool AlwaysEnableFlag = false;
};
