#pragma once

#include <QSpinBox>

// The number of periods a financial year is split into: a text that cannot be typed into, with
// spin buttons (and the Up and Down keys, and the wheel) that step through 1, 2, 4, 6 and 12,
// the only numbers a year can be split into. Each step the user takes is signalled by
// PeriodsStepped; SetPeriods (filling the sheet from a record) is not.
class TPeriodsPerYearEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TPeriodsPerYearEdit(QWidget* parent = nullptr);

    int Periods() const { return value(); }
    // Shows a record's number of periods. A stored number from 1 to 12 that is no choice (a
    // record written elsewhere) is shown as it is, so that OK does not change it unasked, and the
    // next step leads back into the choices; anything outside 1 to 12 shows as 12.
    void SetPeriods(int periods);

    void stepBy(int steps) override;

signals:
    void PeriodsStepped(int periods);

protected:
    StepEnabled stepEnabled() const override;
};
