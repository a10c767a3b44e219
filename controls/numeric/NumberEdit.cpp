#include "controls/numeric/NumberEdit.h"

#include "controls/util/FocusExit.h"

#include <QFocusEvent>
#include <QKeyEvent>

TNumberEdit::TNumberEdit(QWidget* parent) : QLineEdit(parent) {}

void TNumberEdit::SetDefaultValue(double value) {
    StoredDefault = Rules.DefaultFor(value);
    setText(Rules.DefaultText(value));
}

void TNumberEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.size() != 1) {
        // Keys with no character (arrows, Delete on most systems) edit as usual.
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int selected = int(selectedText().size());
    const int caret = cursorPosition();
    const TKeyVerdict verdict = Rules.FilterKey(text(), caret, selected, typed.front());
    switch (verdict.Kind) {
    case TKeyVerdict::Accept:
        QLineEdit::keyPressEvent(event);
        return;
    case TKeyVerdict::Replace:
        setText(verdict.Text);
        setCursorPosition(verdict.Caret);
        break;
    case TKeyVerdict::Reject:
        break;
    }
    event->accept();
}

void TNumberEdit::focusOutEvent(QFocusEvent* event) {
    if (!IsControlExit(event)) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    const QString canonical = Rules.ExitText(text());
    if (canonical != text())
        setText(canonical);
    QLineEdit::focusOutEvent(event);
    emit Exited();
}
