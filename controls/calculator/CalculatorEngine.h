#pragma once

#include <QChar>
#include <QString>
#include <functional>

// The buttons of the calculator pad, in pad order.
enum class TdxCalcButtonKind {
    cbBack,
    cbCancelEntry,
    cbClear,
    cbMemoryClear,
    cbMemoryRecall,
    cbMemoryStore,
    cbMemoryAdd,
    cb0,
    cb1,
    cb2,
    cb3,
    cb4,
    cb5,
    cb6,
    cb7,
    cb8,
    cb9,
    cbNegate,
    cbDecimal,
    cbDivide,
    cbMultiply,
    cbSubtract,
    cbAdd,
    cbSqrt,
    cbPercent,
    cbReciprocal,
    cbEqual,
    cbNone // no button
};

// Ready: the display holds a finished value and the next digit starts a new number.
// Entering: digits are appended. Error: the display shows the error text.
enum class TdxCalcState { csReady, csEntering, csError };

// The calculator's rules without any widget: buttons go in, display text and value come out.
// The number lives in the display text; every operation converts it to floating point and back.
// The display is read and written through GetDisplayText/SetDisplayText, which by default hold
// the text here ("0" at start) and which a pad bound to another control's text overrides.
// Nothing here throws: a division by zero, a square root of a negative value, a reciprocal of
// zero and any result that is not a finite number put the engine into the Error state, which
// only C or CE leave.
class TdxCalculatorEngine {
public:
    // The text shown in the Error state.
    static const QString ErrorText;

    explicit TdxCalculatorEngine(QChar decimalSeparator = QLatin1Char('.'),
                                 QString currencySymbol = QStringLiteral("$"));
    virtual ~TdxCalculatorEngine() = default;
    TdxCalculatorEngine(const TdxCalculatorEngine&) = delete;
    TdxCalculatorEngine& operator=(const TdxCalculatorEngine&) = delete;

    // The one entry for every button, pressed with the mouse or a key.
    void ButtonClick(TdxCalcButtonKind kind);

    // 0 in the Error state; otherwise the display read as a number ("0" when blank, 0 when it
    // does not read as one).
    double GetValue() const;
    // Shows a value in general format with max(2, Precision) significant digits; a value that is
    // not finite gives the Error state instead.
    void SetValue(double value);

    // Takes a pasted text: the currency symbol removed, trimmed and shown as a value (0 when it
    // does not read as a number); the state becomes Entering.
    void PasteText(const QString& text);

    // The result handed back to a caller: the value with two decimals.
    QString GetResultText() const;

    // The text the display shows.
    QString DisplayText() const { return GetDisplayText(); }
    TdxCalcState CalcState() const { return State; }
    double Memory() const { return MemoryValue; }
    TdxCalcButtonKind PendingOperator() const { return Pending; }
    double Operand() const { return OperandValue; }
    // MC and MR are drawn greyed exactly while the memory is 0; they still work.
    bool IsMemoryGreyed() const { return MemoryValue == 0; }
    QChar DecimalSeparator() const { return Decimal; }

    int Precision = 13;
    bool BeepOnError = true;

    // May change the kind of a button before it is handled.
    std::function<void(TdxCalcButtonKind&)> OnButtonClick;
    std::function<void()> OnDisplayChange;
    std::function<void()> OnError;
    // After % and = when the engine is not in the Error state.
    std::function<void()> OnResult;
    // A refused key or an error.
    std::function<void()> OnBeep;
    // MC and MR changed their greyed look.
    std::function<void()> OnMemoryChanged;

    // Puts state, pending operator and memory back to their start (done when the pad is first
    // laid out).
    void Reset();

protected:
    virtual QString GetDisplayText() const { return Display; }
    virtual void SetDisplayText(const QString& text) { Display = text; }

private:
    int MaxDigits() const;
    void WriteDisplay(const QString& text);
    void BeginEntry();
    void Beep() const;
    void SignalError();
    void AppendDigit(int digit);
    void Operator(TdxCalcButtonKind kind);
    void ChangeMemory(double value);
    static bool IsArithmetic(TdxCalcButtonKind kind);

    QChar Decimal;
    QString CurrencySymbol;
    QString Display = QStringLiteral("0");
    TdxCalcState State = TdxCalcState::csReady;
    TdxCalcButtonKind Pending = TdxCalcButtonKind::cbEqual;
    double MemoryValue = 0;
    double OperandValue = 0;
};
