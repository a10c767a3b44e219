#include "shell/properties/PeriodsPerYearEdit.h"

#include "shell/properties/FilePropertiesRules.h"

#include <QLineEdit>
#include <cstdlib>

TPeriodsPerYearEdit::TPeriodsPerYearEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(TFilePropertiesRules::PeriodChoices.front(), TFilePropertiesRules::PeriodChoices.back());
    setValue(TFilePropertiesRules::MaxPeriods);
    setWrapping(true);
    // The text only shows the number: the buttons and keys choose it.
    lineEdit()->setReadOnly(true);
}

void TPeriodsPerYearEdit::SetPeriods(int periods) {
    setValue(periods >= 1 && periods <= TFilePropertiesRules::MaxPeriods ? periods
                                                                         : TFilePropertiesRules::MaxPeriods);
}

void TPeriodsPerYearEdit::stepBy(int steps) {
    if (steps == 0 || isReadOnly())
        return;
    int periods = TFilePropertiesRules::PeriodsOfText(text(), 1);
    for (int i = 0; i < std::abs(steps); ++i)
        periods =
            steps > 0 ? TFilePropertiesRules::PeriodsUp(periods) : TFilePropertiesRules::PeriodsDown(periods);
    setValue(periods);
    emit PeriodsStepped(periods);
}

QAbstractSpinBox::StepEnabled TPeriodsPerYearEdit::stepEnabled() const {
    if (isReadOnly())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}
