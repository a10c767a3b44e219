#pragma once

#include <QDialog>

class TdxCalcDisplay;
class TdxCalculator;

// The "Calculator" window: a display above a flat button pad. "=" and "%" close it with OK
// (never in the Error state, which stays shown until C or CE); Esc closes it without a result.
class TfrmCalculator : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCalculator(QWidget* parent = nullptr, QChar decimalSeparator = QLatin1Char('.'));

    // The calculator's value with two decimals.
    QString GetResultText() const;

    TdxCalcDisplay* dxCalcDisplay = nullptr;
    TdxCalculator* dxCalculator = nullptr;
    bool CloseOnResult = true;
};
