#pragma once

#include "controls/numeric/NumberEditRules.h"

#include <QLineEdit>

// The one-line edit for amounts, quantities, rates, percentages and counts. Typed characters
// pass through the number filter; when the focus moves to another control the text is rewritten
// in its canonical form and Exited() follows.
class TNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumberEdit(QWidget* parent = nullptr);

    TNumberType NumberType() const { return Rules.NumberType; }
    void SetNumberType(TNumberType value) { Rules.NumberType = value; }
    int NumberOfDecimals() const { return Rules.NumberOfDecimals; }
    void SetNumberOfDecimals(std::uint16_t value) { Rules.NumberOfDecimals = value; }
    bool NegativesAllowed() const { return Rules.NegativesAllowed; }
    void SetNegativesAllowed(bool value) { Rules.NegativesAllowed = value; }
    bool DefaultToZero() const { return Rules.DefaultToZero; }
    void SetDefaultToZero(bool value) { Rules.DefaultToZero = value; }
    double DefaultValue() const { return StoredDefault; }
    void SetDefaultValue(double value);

    double GetValue() const { return Rules.Value(text()); }
    bool IsValidNumber() const { return TNumberEditRules::IsValidNumber(text()); }

signals:
    // The focus has moved on and the text has been rewritten.
    void Exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TNumberEditRules Rules;
    double StoredDefault = 0;
};
