#include "controls/util/CustomComboEdit.h"

#include "controls/util/SlotGuard.h"

#include <QEvent>
#include <QKeyEvent>
#include <QStyle>

TCustomComboEdit::TCustomComboEdit(QWidget* parent)
    : QLineEdit(parent), EditButton(new TRxSpeedButton(this)), Width(DropDownWidth(this)) {
    EditButton->setCursor(Qt::ArrowCursor);
    EditButton->setFocusPolicy(Qt::NoFocus);
    EditButton->setAutoRaise(false);
    // The speed button runs its handler through the slot guard.
    EditButton->OnClick = [this] { DoClick(); };
    LayoutButton();
}

int TCustomComboEdit::DropDownWidth(const QWidget* widget) {
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind) {
    Glyph = kind;
    switch (kind) {
    case TGlyphKind::DropDown:
        EditButton->setArrowType(Qt::DownArrow);
        EditButton->setText(QString());
        Width = DropDownWidth(this);
        break;
    case TGlyphKind::Ellipsis:
    case TGlyphKind::Default:
        EditButton->setArrowType(Qt::NoArrow);
        EditButton->setText(QStringLiteral("..."));
        Width = std::max(Width, EditButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 6);
        break;
    case TGlyphKind::Custom:
        break;
    }
    LayoutButton();
}

void TCustomComboEdit::SetButtonWidth(int width) {
    Width = width;
    LayoutButton();
}

void TCustomComboEdit::SetReadOnly(bool readOnly) {
    ReadOnlyFlag = readOnly;
    UpdateReadOnly();
}

void TCustomComboEdit::SetDirectInput(bool directInput) {
    DirectInputFlag = directInput;
    UpdateReadOnly();
}

void TCustomComboEdit::SetAlwaysEnable(bool alwaysEnable) {
    AlwaysEnableFlag = alwaysEnable;
    UpdateReadOnly();
}

bool TCustomComboEdit::ButtonActive() const {
    return Width >= 2 && isEnabled() && (!ReadOnlyFlag || AlwaysEnableFlag);
}

void TCustomComboEdit::DoClick() {
    if (!ButtonActive())
        return;
    emit ButtonClicked();
    ButtonClick();
}

void TCustomComboEdit::keyPressEvent(QKeyEvent* event) {
    if (!Key.isEmpty() && QKeySequence(event->keyCombination()) == Key && Width >= 2) {
        event->accept();
        GuardSlot([this] { DoClick(); });
        return;
    }
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) && !PopupVisible()) {
        // Left to the dialog's default and cancel buttons.
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    LayoutButton();
}

void TCustomComboEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        LayoutButton();
    if (event->type() == QEvent::EnabledChange)
        EditButton->setEnabled(ButtonActive());
}

void TCustomComboEdit::LayoutButton() {
    const bool shown = Width >= 2;
    EditButton->setVisible(shown);
    if (!shown) {
        setTextMargins(0, 0, 0, 0);
        return;
    }
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    EditButton->setGeometry(width() - Width - frame, frame, Width, std::max(0, height() - 2 * frame));
    setTextMargins(0, 0, Width + 2, 0);
    EditButton->setEnabled(ButtonActive());
}

void TCustomComboEdit::UpdateReadOnly() {
    // Paste and cut go through the line edit's own read-only state.
    QLineEdit::setReadOnly(ReadOnlyFlag || !DirectInputFlag);
    EditButton->setEnabled(ButtonActive());
}
