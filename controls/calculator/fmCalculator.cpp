#include "controls/calculator/fmCalculator.h"

#include "controls/calculator/dxCalc.h"

TfrmCalculator::TfrmCalculator(QWidget* parent, QChar decimalSeparator) : QDialog(parent) {
    setWindowTitle(tr("Calculator"));
    dxCalcDisplay = new TdxCalcDisplay(this);
    dxCalcDisplay->setGeometry(5, 5, 205, 21);
    dxCalculator = new TdxCalculator(this, decimalSeparator);
    dxCalculator->ButtonStyle = TdxButtonStyle::bsFlat;
    dxCalculator->setGeometry(2, 28, 207, 137);
    dxCalculator->LayOut();
    dxCalculator->SetAssociate(dxCalcDisplay);
    setFixedSize(qMax(215, dxCalculator->width() + 4), qMax(167, dxCalculator->geometry().bottom() + 2));
    connect(dxCalculator, &TdxCalculator::result, this, [this] {
        if (CloseOnResult)
            accept();
    });
    dxCalculator->setFocus();
}

QString TfrmCalculator::GetResultText() const {
    return dxCalculator->Engine().GetResultText();
}
