#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QFontMetrics;
class QHBoxLayout;
class QPushButton;
class QTableView;
class QWidget;

// Gives one control the background of its state: edits (masked ones too) and combo boxes get
// the window colour when enabled and the grey of an inactive frame when disabled. Other
// controls are left alone.
void SetControlColour(QWidget* control, bool enabled);

// SetControlColour for every control placed directly on the container.
void SetControlsColour(QWidget* container, bool enabled);

// False, after telling the user "<field> cannot be blank" and putting the focus on the
// control, when the trimmed text is empty.
bool ValidateNotBlank(const QString& text, const QString& fieldName, QWidget* control);

// Page Up, Page Down, Up and Down move the grid's current row by a visible page or by one row,
// never past the first or last row, and consume the key (it becomes 0). Returns whether the key
// was consumed. The grid's column headers stand for the fixed top row of the grid.
bool GridNavigationKey(QTableView* grid, int& key);

// Shortens the text until it is at most |maxWidth| pixels wide in the font; with a positive
// maxWidth room is kept for "...", which is appended when the text was cut.
void TruncateTextToWidth(const QFontMetrics& metrics, QString& text, int maxWidth);

// The OK, Cancel and Help buttons of a dialog in one button box.
struct TDialogButtons {
    QDialogButtonBox* Box = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
    QPushButton* Help = nullptr;
};

// OK (the default button), Cancel and "&Help" in a button box of the parent, named btnOK,
// btnCancel and btnHelp; the caller places the box and wires it.
TDialogButtons MakeOKCancelHelp(QWidget* parent);
// The buttons of a paged wizard: Help on the left, then Back, Next, OK and Cancel on the right,
// named btnHelp, btnBack, btnNext, btnOK and btnCancel, none of them a default button; the caller
// places the row and wires them.
struct TWizardButtons {
    QHBoxLayout* Row = nullptr;
    QPushButton* Help = nullptr;
    QPushButton* Back = nullptr;
    QPushButton* Next = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
};
TWizardButtons MakeWizardButtons(QWidget* parent);

// The plain wiring of those buttons: OK accepts the dialog, Cancel rejects it, Help opens the help
// of the context and leaves the dialog open.
void ConnectOKCancelHelp(QDialog* dialog, const TDialogButtons& buttons, int helpContext);
