#include "controls/calculator/CalculatorEngine.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <utility>

using K = TdxCalcButtonKind;
using S = TdxCalcState;

const QString TdxCalculatorEngine::ErrorText = QStringLiteral("Error");

TdxCalculatorEngine::TdxCalculatorEngine(QChar decimalSeparator, QString currencySymbol)
    : Decimal(decimalSeparator), CurrencySymbol(std::move(currencySymbol)) {}

int TdxCalculatorEngine::MaxDigits() const {
    return std::max(2, Precision);
}

void TdxCalculatorEngine::WriteDisplay(const QString& text) {
    if (GetDisplayText() == text)
        return;
    SetDisplayText(text);
    if (OnDisplayChange)
        OnDisplayChange();
}

void TdxCalculatorEngine::Beep() const {
    if (BeepOnError && OnBeep)
        OnBeep();
}

void TdxCalculatorEngine::SignalError() {
    State = S::csError;
    WriteDisplay(ErrorText);
    Beep();
    if (OnError)
        OnError();
}

void TdxCalculatorEngine::BeginEntry() {
    if (State != S::csReady)
        return;
    WriteDisplay(QStringLiteral("0"));
    State = S::csEntering;
}

double TdxCalculatorEngine::GetValue() const {
    if (State == S::csError)
        return 0;
    QString text = GetDisplayText().trimmed();
    if (text.isEmpty())
        return 0;
    text.replace(Decimal, QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value) ? value : 0;
}

void TdxCalculatorEngine::SetValue(double value) {
    if (!std::isfinite(value)) {
        SignalError();
        return;
    }
    if (value == 0)
        value = 0; // no "-0"
    QString text = QString::number(value, 'g', MaxDigits());
    text.replace(QLatin1Char('.'), Decimal);
    WriteDisplay(text);
}

void TdxCalculatorEngine::PasteText(const QString& text) {
    QString number = text;
    if (!CurrencySymbol.isEmpty())
        number.remove(CurrencySymbol);
    number = number.trimmed().replace(Decimal, QLatin1Char('.'));
    bool ok = false;
    double value = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        value = 0;
    State = S::csEntering;
    SetValue(value);
}

QString TdxCalculatorEngine::GetResultText() const {
    return QString::number(GetValue(), 'f', 2);
}

void TdxCalculatorEngine::Reset() {
    Pending = K::cbEqual;
    State = S::csReady;
    ChangeMemory(0);
}

void TdxCalculatorEngine::ChangeMemory(double value) {
    MemoryValue = value;
    if (OnMemoryChanged)
        OnMemoryChanged();
}

bool TdxCalculatorEngine::IsArithmetic(TdxCalcButtonKind kind) {
    return kind == K::cbDivide || kind == K::cbMultiply || kind == K::cbSubtract || kind == K::cbAdd;
}

void TdxCalculatorEngine::AppendDigit(int digit) {
    BeginEntry();
    QString text = GetDisplayText();
    if (text == QLatin1String("0"))
        text.clear();
    const int limit = MaxDigits() + (text.contains(QLatin1Char('-')) ? 1 : 0);
    if (text.size() < limit)
        WriteDisplay(text + QChar(QLatin1Char('0').unicode() + digit));
    else
        Beep();
}

void TdxCalculatorEngine::Operator(TdxCalcButtonKind kind) {
    if (State == S::csEntering) {
        State = S::csReady;
        double x = GetValue();
        if (kind == K::cbPercent) {
            if (Pending == K::cbDivide || Pending == K::cbMultiply)
                x = x / 100;
            else if (Pending == K::cbSubtract || Pending == K::cbAdd)
                x = OperandValue * x / 100;
        }
        switch (Pending) {
        case K::cbDivide:
            if (x == 0)
                SignalError();
            else
                SetValue(OperandValue / x);
            break;
        case K::cbMultiply:
            SetValue(OperandValue * x);
            break;
        case K::cbSubtract:
            SetValue(OperandValue - x);
            break;
        case K::cbAdd:
            SetValue(OperandValue + x);
            break;
        default:
            break;
        }
    }
    Pending = kind;
    OperandValue = GetValue();
    if ((kind == K::cbPercent || kind == K::cbEqual) && State != S::csError && OnResult)
        OnResult();
}

void TdxCalculatorEngine::ButtonClick(TdxCalcButtonKind kind) {
    if (OnButtonClick)
        OnButtonClick(kind);
    if (State == S::csError && kind != K::cbCancelEntry && kind != K::cbClear) {
        SignalError();
        return;
    }
    switch (kind) {
    case K::cb0:
    case K::cb1:
    case K::cb2:
    case K::cb3:
    case K::cb4:
    case K::cb5:
    case K::cb6:
    case K::cb7:
    case K::cb8:
    case K::cb9:
        AppendDigit(static_cast<int>(kind) - static_cast<int>(K::cb0));
        break;
    case K::cbDecimal: {
        BeginEntry();
        const QString text = GetDisplayText();
        if (!text.contains(Decimal))
            WriteDisplay(text + Decimal);
        break;
    }
    case K::cbBack: {
        BeginEntry();
        const QString text = GetDisplayText();
        if (text.size() <= 1 || (text.size() == 2 && text.startsWith(QLatin1Char('-'))))
            WriteDisplay(QStringLiteral("0"));
        else
            WriteDisplay(text.chopped(1));
        break;
    }
    case K::cbCancelEntry:
    case K::cbClear:
        State = S::csReady;
        SetValue(0);
        Pending = K::cbEqual;
        break;
    case K::cbNegate:
        SetValue(-GetValue());
        break;
    case K::cbMemoryClear:
        ChangeMemory(0);
        break;
    case K::cbMemoryRecall:
        State = S::csReady;
        BeginEntry();
        SetValue(MemoryValue);
        break;
    case K::cbMemoryStore:
        State = S::csReady;
        ChangeMemory(GetValue());
        break;
    case K::cbMemoryAdd:
        State = S::csReady;
        ChangeMemory(MemoryValue + GetValue());
        break;
    case K::cbSqrt:
    case K::cbReciprocal: {
        State = IsArithmetic(Pending) ? S::csEntering : S::csReady;
        const double value = GetValue();
        if (kind == K::cbSqrt ? value < 0 : value == 0)
            SignalError();
        else
            SetValue(kind == K::cbSqrt ? std::sqrt(value) : 1 / value);
        break;
    }
    case K::cbDivide:
    case K::cbMultiply:
    case K::cbSubtract:
    case K::cbAdd:
    case K::cbPercent:
    case K::cbEqual:
        Operator(kind);
        break;
    case K::cbNone:
        break;
    }
}
