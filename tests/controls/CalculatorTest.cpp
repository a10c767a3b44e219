#include "controls/calculator/CalculatorEngine.h"
#include "controls/calculator/CalculatorLayout.h"
#include "controls/calculator/dxCalc.h"
#include "controls/calculator/fmCalculator.h"
#include "tests/support/ServicesFixture.h"

#include <QtTest>
#include <gtest/gtest.h>

namespace {

using K = TdxCalcButtonKind;
using S = TdxCalcState;

// An engine with its events counted.
class CalculatorTest : public ::testing::Test {
protected:
    CalculatorTest() {
        Engine.OnBeep = [this] { ++Beeps; };
        Engine.OnError = [this] { ++Errors; };
        Engine.OnResult = [this] { ++Results; };
        Engine.OnDisplayChange = [this] { ++DisplayChanges; };
    }

    // Presses the buttons of a sequence such as "12 + 3 =": a word of digits and points is typed
    // one character at a time, other words name one button.
    static void Press(TdxCalculatorEngine& engine, const QString& sequence) {
        static const QHash<QString, K> Named = {
            {"Back", K::cbBack},      {"CE", K::cbCancelEntry},  {"C", K::cbClear},
            {"MC", K::cbMemoryClear}, {"MR", K::cbMemoryRecall}, {"MS", K::cbMemoryStore},
            {"M+", K::cbMemoryAdd},   {"+/-", K::cbNegate},      {"/", K::cbDivide},
            {"*", K::cbMultiply},     {"-", K::cbSubtract},      {"+", K::cbAdd},
            {"sqrt", K::cbSqrt},      {"%", K::cbPercent},       {"1/x", K::cbReciprocal},
            {"=", K::cbEqual}};
        for (const QString& word : sequence.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (Named.contains(word)) {
                engine.ButtonClick(Named.value(word));
                continue;
            }
            for (QChar c : word) {
                if (c.isDigit())
                    engine.ButtonClick(static_cast<K>(static_cast<int>(K::cb0) + c.digitValue()));
                else if (c == engine.DecimalSeparator())
                    engine.ButtonClick(K::cbDecimal);
                else
                    ADD_FAILURE() << "no button for " << word.toStdString();
            }
        }
    }

    TdxCalculatorEngine Engine;
    int Beeps = 0;
    int Errors = 0;
    int Results = 0;
    int DisplayChanges = 0;
};

struct TSequenceCase {
    const char* Keys;
    const char* Shown;
    double Value;
    S State;
    int Beeps;
    int Results;
};

const TSequenceCase SequenceCases[] = {
    // Entry and editing.
    {"", "0", 0, S::csReady, 0, 0},
    {"007", "7", 7, S::csEntering, 0, 0},
    {"1.5.2", "1.52", 1.52, S::csEntering, 0, 0},
    {".5", "0.5", 0.5, S::csEntering, 0, 0},
    {"123 Back", "12", 12, S::csEntering, 0, 0},
    {"7 Back", "0", 0, S::csEntering, 0, 0},
    {"7 +/- Back", "0", 0, S::csEntering, 0, 0},
    {"25 +/- +/-", "25", 25, S::csEntering, 0, 0},
    // A finished value is replaced by the next number.
    {"12 + 3 = 4", "4", 4, S::csEntering, 0, 1},
    // Thirteen characters fill the display (the point counts, a minus does not); one beep per key
    // refused, so the thirteenth is taken.
    {"12345678901234", "1234567890123", 1234567890123, S::csEntering, 1, 0},
    {"1.23456789012 3", "1.23456789012", 1.23456789012, S::csEntering, 1, 0},
    {"123456789012 +/- 34", "-1234567890123", -1234567890123, S::csEntering, 1, 0},
    // Chained operators work left to right; a second operator only replaces the first.
    {"12 + 3 =", "15", 15, S::csReady, 0, 1},
    {"2 + 3 * 4 =", "20", 20, S::csReady, 0, 1},
    {"5 + * 3 =", "15", 15, S::csReady, 0, 1},
    // Percent: of the operand for + and -, a hundredth for * and /.
    {"200 + 10 %", "220", 220, S::csReady, 0, 1},
    {"200 - 10 %", "180", 180, S::csReady, 0, 1},
    {"200 * 10 %", "20", 20, S::csReady, 0, 1},
    {"200 / 10 %", "2000", 2000, S::csReady, 0, 1},
    // Square root and reciprocal; with an operator pending the result stays an entry.
    {"9 sqrt", "3", 3, S::csReady, 0, 0},
    {"2 + 9 sqrt =", "5", 5, S::csReady, 0, 1},
    {"2 + 9 sqrt 1", "31", 31, S::csEntering, 0, 0},
    {"3 1/x", "0.3333333333333", 0.3333333333333, S::csReady, 0, 0},
    // Rounding to the display's thirteen significant digits.
    {"2 / 3 =", "0.6666666666667", 0.6666666666667, S::csReady, 0, 1},
    {".1 + .2 =", "0.3", 0.3, S::csReady, 0, 1},
    {"1 / 100000 =", "1e-05", 1e-05, S::csReady, 0, 1},
    {"9999999999999 * 10 =", "9.999999999999e+13", 9.999999999999e+13, S::csReady, 0, 1},
    // Errors: division by zero, square root of a negative, reciprocal of zero, overflow.
    {"5 / 0 =", "Error", 0, S::csError, 1, 0},
    {"5 +/- sqrt", "Error", 0, S::csError, 1, 0},
    {"0 1/x", "Error", 0, S::csError, 1, 0},
    // In the Error state every button but C and CE only beeps again.
    {"5 / 0 = 7 + MS MR sqrt = %", "Error", 0, S::csError, 8, 0},
    {"5 / 0 = C", "0", 0, S::csReady, 1, 0},
    {"5 / 0 = CE 4 + 1 =", "5", 5, S::csReady, 1, 1},
    // C and CE end the whole calculation.
    {"12 + 3 CE =", "0", 0, S::csReady, 0, 1},
    // Memory.
    {"5 MS MR 3", "53", 53, S::csEntering, 0, 0},
    {"5 MS 2 M+ 1 MR", "7", 7, S::csEntering, 0, 0},
    {"5 MS 6 + MR =", "11", 11, S::csReady, 0, 1},
};

class CalculatorSequenceTest : public CalculatorTest, public ::testing::WithParamInterface<TSequenceCase> {};

TEST_P(CalculatorSequenceTest, ShowsValueAndState) {
    const TSequenceCase& c = GetParam();
    SCOPED_TRACE(c.Keys);
    Press(Engine, QString::fromLatin1(c.Keys));
    EXPECT_EQ(Engine.DisplayText(), QString::fromLatin1(c.Shown));
    EXPECT_DOUBLE_EQ(Engine.GetValue(), c.Value);
    EXPECT_EQ(Engine.CalcState(), c.State);
    EXPECT_EQ(Beeps, c.Beeps);
    EXPECT_EQ(Results, c.Results);
}

INSTANTIATE_TEST_SUITE_P(Sequences, CalculatorSequenceTest, ::testing::ValuesIn(SequenceCases));

TEST_F(CalculatorTest, ErrorGivesNoResultUntilClearedAndBeepsOnlyWhenAsked) {
    Engine.BeepOnError = false;
    Press(Engine, "12345678901234 / 0 = =");
    EXPECT_EQ(Beeps, 0);
    EXPECT_EQ(Results, 0);
    EXPECT_EQ(Errors, 2);
    EXPECT_EQ(Engine.GetResultText(), "0.00");
    Press(Engine, "CE 12 + 3 =");
    EXPECT_EQ(Results, 1);
    EXPECT_EQ(Engine.GetResultText(), "15.00");
    Press(Engine, "2 / 3 =");
    EXPECT_EQ(Engine.GetResultText(), "0.67");
}

TEST_F(CalculatorTest, OverflowIsAnError) {
    Engine.PasteText("1e300");
    Press(Engine, "*");
    Engine.PasteText("-1e300");
    Press(Engine, "=");
    EXPECT_EQ(Engine.DisplayText(), TdxCalculatorEngine::ErrorText);
    EXPECT_EQ(Results + Errors, 1);
}

TEST_F(CalculatorTest, MemoryKeysLeaveMemoryAndGreyedLookConsistent) {
    int memoryChanges = 0;
    Engine.OnMemoryChanged = [&] { ++memoryChanges; };
    EXPECT_TRUE(Engine.IsMemoryGreyed());
    Press(Engine, "5 MS");
    EXPECT_FALSE(Engine.IsMemoryGreyed());
    Press(Engine, "5 +/- M+");
    EXPECT_TRUE(Engine.IsMemoryGreyed());
    Press(Engine, "4 MS C 5 / 0 = C");
    EXPECT_EQ(Engine.Memory(), 4); // neither C nor an error touches the memory
    Press(Engine, "MC");
    EXPECT_TRUE(Engine.IsMemoryGreyed());
    EXPECT_EQ(memoryChanges, 4);
}

TEST_F(CalculatorTest, PrecisionSetsTheDisplayLengthAndDigits) {
    Engine.Precision = 1; // never below two
    Press(Engine, "123");
    EXPECT_EQ(Engine.DisplayText(), "12");
    Press(Engine, "C 2 / 3 =");
    EXPECT_EQ(Engine.DisplayText(), "0.67");
}

TEST_F(CalculatorTest, OnButtonClickMayChangeTheKind) {
    Engine.OnButtonClick = [](K& kind) {
        if (kind == K::cb1)
            kind = K::cb9;
        else if (kind == K::cb2)
            kind = K::cbNone;
    };
    Press(Engine, "121");
    EXPECT_EQ(Engine.DisplayText(), "99");
}

TEST_F(CalculatorTest, DisplayChangeFiresOnlyWhenTheTextChanges) {
    Press(Engine, "0 0");
    EXPECT_EQ(DisplayChanges, 0);
    Press(Engine, "7 +/-");
    EXPECT_EQ(DisplayChanges, 2);
}

TEST_F(CalculatorTest, LocaleSeparatorAndPaste) {
    TdxCalculatorEngine engine(QLatin1Char(','), QStringLiteral("EUR"));
    Press(engine, "1,5 + 1 =");
    EXPECT_EQ(engine.DisplayText(), "2,5");
    EXPECT_DOUBLE_EQ(engine.GetValue(), 2.5);
    EXPECT_EQ(engine.GetResultText(), "2.50");

    struct {
        const char* Pasted;
        const char* Shown;
    } const pastes[] = {{" EUR12,75 ", "12,75"}, {"-3EUR", "-3"},  {"abc", "0"}, {"", "0"},
                        {"1e999", "0"},          {"2,5e3", "2500"}};
    for (const auto& p : pastes) {
        SCOPED_TRACE(p.Pasted);
        engine.PasteText(QString::fromLatin1(p.Pasted));
        EXPECT_EQ(engine.DisplayText(), QString::fromLatin1(p.Shown));
        EXPECT_EQ(engine.CalcState(), S::csEntering);
    }
    Press(engine, "1");
    EXPECT_EQ(engine.DisplayText(), "25001");
}

// A display held by another control may hold any text.
class TBoundEngine : public TdxCalculatorEngine {
public:
    QString Text = QStringLiteral("abc");

protected:
    QString GetDisplayText() const override { return Text; }
    void SetDisplayText(const QString& text) override { Text = text; }
};

TEST_F(CalculatorTest, UnreadableDisplayCountsAsZero) {
    TBoundEngine engine;
    Press(engine, "+ 4 =");
    EXPECT_EQ(engine.Text, "4");
    engine.Text = "inf";
    Press(engine, "+/-");
    EXPECT_EQ(engine.Text, "0");
}

TEST_F(CalculatorTest, ResetForgetsPendingOperatorAndMemory) {
    Press(Engine, "5 MS 3 +");
    Engine.Reset();
    EXPECT_EQ(Engine.Memory(), 0);
    Press(Engine, "4 =");
    EXPECT_EQ(Engine.DisplayText(), "4");
}

TEST(CalculatorLayoutTest, MetricsForAButtonHeight) {
    const TdxCalcLayout l = TdxCalcLayout::ForHeight(22);
    EXPECT_EQ(l.ButtonWidth, 28);
    EXPECT_EQ(l.WideWidth, 48); // 28 * 17 / 10 rounded
    EXPECT_EQ(l.Gap, 4);
    EXPECT_EQ(l.FontSize, 8);
    EXPECT_EQ(l.PadSize, QSize(204, 134));
    struct {
        K Kind;
        QRect Rect;
    } const buttons[] = {{K::cbMemoryClear, {4, 30, 28, 22}}, {K::cbMemoryAdd, {4, 108, 28, 22}},
                         {K::cb7, {44, 30, 28, 22}},          {K::cbEqual, {172, 108, 28, 22}},
                         {K::cbBack, {48, 4, 48, 22}},        {K::cbClear, {152, 4, 48, 22}}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(static_cast<int>(b.Kind));
        EXPECT_EQ(l.Buttons[static_cast<int>(b.Kind)], b.Rect);
    }
}

TEST(CalculatorLayoutTest, ClientSizePicksTheClosestButtonHeight) {
    struct {
        QSize Client;
        int Height;
        QSize Pad;
        int Font;
    } const cases[] = {{{207, 137}, 23, {210, 139}, 8}, // the default size grows to a fixed point
                       {{210, 139}, 23, {210, 139}, 8},
                       {{100, 50}, 22, {204, 134}, 8}, // never below 22
                       {{1000, 274}, 45, {410, 273}, 16},
                       {{414, 1000}, 45, {410, 273}, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Client.width());
        const TdxCalcLayout l = TdxCalcLayout::ForClient(c.Client);
        EXPECT_EQ(l.ButtonHeight, c.Height);
        EXPECT_EQ(l.PadSize, c.Pad);
        EXPECT_EQ(l.FontSize, c.Font);
    }
}

TEST(CalculatorLayoutTest, KeysPressButtons) {
    using A = TdxCalcKeyAction;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        const char* Text;
        A Action;
        K Kind;
    } const cases[] = {
        {Qt::Key_0, none, "0", A::kaButton, K::cb0},
        {Qt::Key_9, none, "9", A::kaButton, K::cb9},
        {Qt::Key_Comma, none, ",", A::kaButton, K::cbDecimal},
        {Qt::Key_Period, none, ".", A::kaNone, K::cbNone}, // only the separator in use
        {Qt::Key_At, Qt::ShiftModifier, "@", A::kaButton, K::cbSqrt},
        {Qt::Key_Return, none, "\r", A::kaButton, K::cbEqual},
        {Qt::Key_F9, none, "", A::kaButton, K::cbNegate},
        {Qt::Key_R, none, "r", A::kaButton, K::cbReciprocal},
        {Qt::Key_R, Qt::ControlModifier, "\x12", A::kaButton, K::cbMemoryRecall},
        {Qt::Key_C, Qt::ControlModifier, "\x03", A::kaCopy, K::cbNone},
        {Qt::Key_V, Qt::ControlModifier, "\x16", A::kaPaste, K::cbNone},
        {Qt::Key_Insert, Qt::ShiftModifier, "", A::kaPaste, K::cbNone},
        {Qt::Key_A, none, "a", A::kaNone, K::cbNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        const TdxCalcKeyPress press =
            CalcKeyPress(c.Key, c.Modifiers, QString::fromLatin1(c.Text), QLatin1Char(','));
        EXPECT_EQ(press.Action, c.Action);
        EXPECT_EQ(press.Kind, c.Kind);
    }
}

class CalculatorWindowTest : public TServicesFixture {};

TEST_F(CalculatorWindowTest, PadForwardsKeysAndClicksAndClosesOnResult) {
    TfrmCalculator window;
    window.show();
    TdxCalculator* pad = window.dxCalculator;
    EXPECT_EQ(pad->size(), QSize(210, 139));
    QTest::mouseClick(pad, Qt::LeftButton, {}, pad->Layout().Buttons[static_cast<int>(K::cb1)].center());
    EXPECT_EQ(window.dxCalcDisplay->Text(), "1");
    QTest::keyClicks(pad, "2+3");
    QTest::keyClick(pad, Qt::Key_Slash);
    QTest::keyClicks(pad, "0=");
    EXPECT_EQ(window.dxCalcDisplay->Text(), TdxCalculatorEngine::ErrorText);
    EXPECT_TRUE(window.isVisible()); // an error is no result
    EXPECT_EQ(Prompt->Beeps.size(), 1);
    QTest::keyClick(pad, Qt::Key_Delete);
    QTest::keyClicks(pad, "12+3");
    QTest::keyClick(pad, Qt::Key_Return);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.GetResultText(), "15.00");

    window.show();
    QTest::keyClick(pad, Qt::Key_Escape);
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_EQ(window.dxCalcDisplay->Text(), "0");
}

TEST_F(CalculatorWindowTest, OnlyThePadsFirstLayoutClearsTheState) {
    TfrmCalculator window;
    window.show();
    TdxCalculator* pad = window.dxCalculator;
    for (const K kind : {K::cb5, K::cbMemoryStore, K::cb3, K::cbAdd})
        pad->ButtonClick(kind);
    const QSize before = pad->size();
    pad->resize(before + QSize(80, 60)); // a second layout
    ASSERT_NE(pad->size(), before);
    pad->ButtonClick(K::cb4);
    pad->ButtonClick(K::cbEqual);
    EXPECT_EQ(window.dxCalcDisplay->Text(), "7");
    EXPECT_EQ(pad->Engine().Memory(), 5.0);
}

} // namespace
