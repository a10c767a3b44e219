#include "shell/filecode/FileCodeEdit.h"

#include "shell/filecode/FileCodeRules.h"

#include <QValidator>

#include <algorithm>

namespace {

// Rewrites the text as it changes, so a dropped character never reaches the edit and the caret
// stays after what was typed.
class TFileCodeValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        const QString before = input.left(pos);
        input = TFileCodeRules::Filter(input);
        pos = static_cast<int>(std::min(TFileCodeRules::Filter(before).size(), input.size()));
        return Acceptable;
    }
    void fixup(QString& input) const override { input = TFileCodeRules::Filter(input); }
};

} // namespace

TFileCodeEdit::TFileCodeEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(TFileCodeRules::CodeLength * 4); // room for text that the filter shortens
    setValidator(new TFileCodeValidator(this));
}

QString TFileCodeEdit::Code() const {
    return TFileCodeRules::CodeOfText(text());
}
