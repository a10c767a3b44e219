#include "controls/numeric/NumberEdit.h"
#include "controls/numeric/NumberEditRules.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

using NT = TNumberType;
using V = TKeyVerdict;

TNumberEditRules Rules(NT type, int decimals = 0, bool negatives = true, bool toZero = true) {
    TNumberEditRules rules;
    rules.NumberType = type;
    rules.NumberOfDecimals = std::uint16_t(decimals);
    rules.NegativesAllowed = negatives;
    rules.DefaultToZero = toZero;
    return rules;
}

struct TFilterCase {
    NT Type;
    int Decimals;
    bool Negatives;
    const char* Text;
    int Caret;
    int Selected;
    char16_t Typed;
    V::TKind Kind;
    const char* NewText = "";
    int NewCaret = 0;
};

TEST(NumericEditorTest, KeyFilter) {
    const TFilterCase cases[] = {
        // Control keys, Delete as 0x7F, and anything over a selection pass.
        {NT::ntInteger, 0, true, "12", 2, 0, u'\b', V::Accept},
        {NT::ntInteger, 0, true, "12", 0, 0, 0x7F, V::Accept},
        {NT::ntInteger, 0, true, "12", 0, 2, u'x', V::Accept},
        // The sign: only at the start, only when allowed, only once.
        {NT::ntNumber, 0, true, "5", 0, 0, u'-', V::Accept},
        {NT::ntNumber, 0, true, "5", 1, 0, u'-', V::Reject},
        {NT::ntNumber, 0, false, "5", 0, 0, u'-', V::Reject},
        {NT::ntNumber, 0, true, "-5", 0, 0, u'-', V::Reject},
        {NT::ntInteger, 0, true, "12", 0, 0, u'-', V::Accept},
        {NT::ntNumber, 0, true, "12", 0, 2, u'-', V::Accept},
        // Whole numbers take digits only; the others digits and the point.
        {NT::ntInteger, 0, true, "12", 2, 0, u'0', V::Accept},
        {NT::ntInteger, 0, true, "12", 2, 0, u'.', V::Reject},
        {NT::ntNumber, 0, true, "12", 2, 0, u'e', V::Reject},
        {NT::ntMoney, 0, true, "12", 2, 0, u',', V::Reject},
        {NT::ntPercentage, 0, true, "12", 2, 0, u'/', V::Reject},
        {NT::ntPercentage, 0, true, "12", 2, 0, u':', V::Reject},
        // The point cuts the text at the caret, or at a point right before it.
        {NT::ntNumber, 0, true, "12.34", 1, 0, u'.', V::Replace, "1.", 2},
        {NT::ntNumber, 0, true, "12.34", 2, 0, u'.', V::Replace, "12.", 3},
        {NT::ntNumber, 0, true, "12.34", 3, 0, u'.', V::Replace, "12.", 3},
        {NT::ntNumber, 0, true, "12.34", 4, 0, u'.', V::Reject},
        {NT::ntMoney, 0, true, "123", 3, 0, u'.', V::Replace, "123.", 4},
        {NT::ntPercentage, 2, true, "", 0, 0, u'.', V::Replace, ".", 1},
        // A digit past full decimals is dropped; right after the point it still goes in.
        {NT::ntMoney, 0, true, "1.23", 4, 0, u'5', V::Reject},
        {NT::ntMoney, 0, true, "1.23", 3, 0, u'5', V::Reject},
        {NT::ntMoney, 0, true, "1.23", 2, 0, u'5', V::Accept},
        {NT::ntMoney, 0, true, "1.2", 3, 0, u'5', V::Accept},
        {NT::ntMoney, 0, true, "123", 3, 0, u'5', V::Accept},
        {NT::ntNumber, 3, true, "1.234", 5, 0, u'5', V::Reject},
        {NT::ntNumber, 3, true, "1.23", 4, 0, u'5', V::Accept},
        {NT::ntNumber, 0, true, "1.234", 5, 0, u'5', V::Accept},
        {NT::ntPercentage, 2, true, "5.25", 4, 0, u'1', V::Reject},
        {NT::ntPercentage, 1, true, "5.25", 4, 0, u'1', V::Accept},
    };
    for (const TFilterCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Text << " caret " << c.Caret << " key " << int(c.Typed));
        const TKeyVerdict verdict =
            Rules(c.Type, c.Decimals, c.Negatives)
                .FilterKey(QString::fromUtf8(c.Text), c.Caret, c.Selected, QChar(c.Typed));
        EXPECT_EQ(verdict.Kind, c.Kind);
        if (c.Kind == V::Replace) {
            EXPECT_EQ(verdict.Text, QString::fromUtf8(c.NewText));
            EXPECT_EQ(verdict.Caret, c.NewCaret);
        }
    }
}

struct TExitCase {
    NT Type;
    int Decimals;
    bool ToZero;
    const char* Text;
    const char* Expected;
};

TEST(NumericEditorTest, ExitRewrite) {
    const TExitCase cases[] = {
        {NT::ntMoney, 0, true, "1,234.5", "1234.50"},
        {NT::ntMoney, 0, false, "x", ""},
        {NT::ntPercentage, 2, true, "150", "100.00"},
        {NT::ntPercentage, 2, true, "100.001", "100.00"},
        {NT::ntPercentage, 2, true, "-5", "0.00"},
        {NT::ntPercentage, 0, true, "0.4", "0"},
        {NT::ntInteger, 0, true, "12.7", "0"},
        {NT::ntInteger, 0, false, "12.7", ""},
        {NT::ntInteger, 3, true, "1,000", "1000"},
        {NT::ntInteger, 0, true, "-7", "-7"},
        {NT::ntInteger, 0, true, "2147483647", "2147483647"},
        {NT::ntInteger, 0, true, "2147483648", "0"},
        {NT::ntInteger, 0, true, "", "0"},
        {NT::ntInteger, 0, false, "", ""},
        {NT::ntNumber, 0, true, "", "0.0"},
        {NT::ntNumber, 0, false, "", ""},
        {NT::ntNumber, 2, true, "--5", "0.0"},
        {NT::ntNumber, 2, true, "1.2.3", "0.0"},
        {NT::ntNumber, 2, true, "1e400", "0.0"},
        {NT::ntNumber, 3, true, "2.5", "2.500"},
        {NT::ntNumber, 2, true, "2.126", "2.13"},
        {NT::ntNumber, 1, true, "-3.44", "-3.4"},
        {NT::ntNumber, 0, true, "7.6", "8"},
        {NT::ntNumber, 2, true, ".5", "0.50"},
    };
    for (const TExitCase& c : cases) {
        SCOPED_TRACE(std::string(c.Text) + " type " + std::to_string(int(c.Type)));
        TNumberEditRules rules = Rules(c.Type, c.Decimals, true, c.ToZero);
        EXPECT_EQ(rules.ExitText(QString::fromUtf8(c.Text)), QString::fromUtf8(c.Expected));
    }
}

struct TValueCase {
    NT Type;
    const char* Text;
    double Expected;
    bool Valid;
};

TEST(NumericEditorTest, ValueAndValidity) {
    const TValueCase cases[] = {
        {NT::ntInteger, "12.7", 13, true},
        {NT::ntInteger, "2.5", 2, true},
        {NT::ntInteger, "3.5", 4, true},
        {NT::ntInteger, "-2.5", -2, true},
        {NT::ntInteger, "-2.51", -3, true},
        {NT::ntNumber, "12.7", 12.7, true},
        // The thousands separator is removed only on exit.
        {NT::ntMoney, "1,234.5", 0, false},
        {NT::ntNumber, "", 0, false},
        {NT::ntNumber, "-", 0, false},
        {NT::ntNumber, "12a", 0, false},
        {NT::ntNumber, "inf", 0, false},
        {NT::ntNumber, "1e999", 0, false},
    };
    for (const TValueCase& c : cases) {
        SCOPED_TRACE(std::string(c.Text) + " type " + std::to_string(int(c.Type)));
        const QString text = QString::fromUtf8(c.Text);
        EXPECT_DOUBLE_EQ(Rules(c.Type).Value(text), c.Expected);
        EXPECT_EQ(TNumberEditRules::IsValidNumber(text), c.Valid);
    }
}

struct TDefaultCase {
    NT Type;
    int Decimals;
    double Value;
    double Stored;
    const char* Text;
};

TEST(NumericEditorTest, DefaultValue) {
    const TDefaultCase cases[] = {
        // Money shows 2 decimals before its first exit; whole numbers never show any.
        {NT::ntMoney, 0, 12.5, 12.5, "12.50"}, {NT::ntInteger, 2, 12.5, 12, "12"},
        {NT::ntInteger, 0, 13.5, 14, "14"},    {NT::ntInteger, 0, -0.6, -1, "-1"},
        {NT::ntNumber, 3, 1.5, 1.5, "1.500"},  {NT::ntPercentage, 0, 7.25, 7.25, "7"},
    };
    for (const TDefaultCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Value) + " type " + std::to_string(int(c.Type)));
        TNumberEditRules rules = Rules(c.Type, c.Decimals);
        EXPECT_DOUBLE_EQ(rules.DefaultFor(c.Value), c.Stored);
        EXPECT_EQ(rules.DefaultText(c.Value), QString::fromUtf8(c.Text));
        EXPECT_EQ(rules.ExitText(rules.DefaultText(c.Value)), rules.DefaultText(c.Value));
    }
}

// Typed keys go through the filter; moving the focus on rewrites the text before Exited, while
// a pop-up taking the focus leaves the text alone.
TEST(NumericEditorTest, EditFiltersKeysAndRewritesOnExit) {
    QWidget window;
    auto* edit = new TNumberEdit(&window);
    auto* other = new QLineEdit(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(edit);
    window.layout()->addWidget(other);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QStringList exits;
    QObject::connect(edit, &TNumberEdit::Exited, [&] { exits.append(edit->text()); });

    edit->SetNumberType(TNumberType::ntMoney);
    edit->setFocus();
    QTest::keyClicks(edit, "1x2.345");
    EXPECT_EQ(edit->text(), "12.34");
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClicks(edit, ".-");
    EXPECT_EQ(edit->text(), "12.");
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, ",5");
    EXPECT_EQ(edit->text(), "125");
    edit->setText("1,234.5");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(edit, &popup);
    EXPECT_EQ(edit->text(), "1,234.5");
    EXPECT_TRUE(exits.isEmpty());
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(exits, QStringList{"1234.50"});
    EXPECT_DOUBLE_EQ(edit->GetValue(), 1234.5);
}

} // namespace
