#include "shell/properties/PasswordEdit.h"

#include <QMouseEvent>
#include <QValidator>

namespace {

// Upper case as the characters are typed or pasted; the caret stays where it was.
class TUpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

TPasswordEdit::TPasswordEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(MaxLength);
    setEchoMode(QLineEdit::Password);
    setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    setValidator(new TUpperCaseValidator(this));
}

void TPasswordEdit::ToggleReveal() {
    setEchoMode(Revealed() ? QLineEdit::Password : QLineEdit::Normal);
}

void TPasswordEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    ToggleReveal();
    event->accept();
}
