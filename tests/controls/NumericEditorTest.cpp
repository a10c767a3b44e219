#include "controls/numeric/NumberEdit.h"
#include "controls/numeric/NumberEditRules.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace {

using NT = TNumberType;
using V = TKeyVerdict;
using R = TNumberEditRules;

// A replacement always leaves the caret at the end of the new text.
struct TFilterCase {
    R Rules;
    const char* Text;
    int Caret, Selected;
    char16_t Typed;
    V::TKind Kind;
    const char* NewText = "";
};

TEST(NumericEditorTest, KeyFilter) {
    const TFilterCase cases[] = {
        {{NT::ntInteger}, "12", 2, 0, u'\b', V::Accept},
        {{NT::ntInteger}, "12", 0, 0, 0x7F, V::Accept},
        {{NT::ntInteger}, "12", 0, 2, u'x', V::Accept},
        {{NT::ntInteger}, "5", 0, 0, u'-', V::Accept},
        {{NT::ntNumber}, "5", 1, 0, u'-', V::Reject},
        {{NT::ntNumber, 0, false}, "5", 0, 0, u'-', V::Reject},
        {{NT::ntNumber}, "-5", 0, 0, u'-', V::Reject},
        {{NT::ntInteger}, "12", 2, 0, u'.', V::Reject},
        {{NT::ntNumber}, "12", 2, 0, u'e', V::Reject},
        {{NT::ntMoney}, "12", 2, 0, u',', V::Reject},
        {{NT::ntPercentage}, "12", 2, 0, u'/', V::Reject},
        {{NT::ntPercentage}, "12", 2, 0, u':', V::Reject},
        {{NT::ntNumber}, "12.34", 1, 0, u'.', V::Replace, "1."},
        {{NT::ntNumber}, "12.34", 2, 0, u'.', V::Replace, "12."},
        {{NT::ntNumber}, "12.34", 3, 0, u'.', V::Replace, "12."},
        {{NT::ntNumber}, "12.34", 4, 0, u'.', V::Reject},
        {{NT::ntMoney}, "123", 3, 0, u'.', V::Replace, "123."},
        {{NT::ntMoney}, "1.23", 4, 0, u'5', V::Reject},
        {{NT::ntMoney}, "1.23", 3, 0, u'5', V::Reject},
        {{NT::ntMoney}, "1.23", 2, 0, u'5', V::Accept},
        {{NT::ntMoney}, "1.2", 3, 0, u'5', V::Accept},
        {{NT::ntNumber, 3}, "1.234", 5, 0, u'5', V::Reject},
        {{NT::ntNumber}, "1.234", 5, 0, u'5', V::Accept},
        {{NT::ntPercentage, 2}, "5.25", 4, 0, u'1', V::Reject},
        {{NT::ntPercentage, 1}, "5.25", 4, 0, u'1', V::Accept},
    };
    for (const TFilterCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Text << " caret " << c.Caret << " key " << int(c.Typed));
        const TKeyVerdict verdict = c.Rules.FilterKey(c.Text, c.Caret, c.Selected, QChar(c.Typed));
        EXPECT_EQ(verdict.Kind, c.Kind);
        if (c.Kind == V::Replace) {
            EXPECT_EQ(verdict.Text, c.NewText);
            EXPECT_EQ(verdict.Caret, verdict.Text.size());
        }
    }
}

TEST(NumericEditorTest, ExitRewrite) {
    const std::tuple<R, const char*, const char*> cases[] = {
        {{NT::ntMoney}, "1,234.5", "1234.50"},
        {{NT::ntMoney, 0, true, false}, "x", ""},
        {{NT::ntPercentage, 2}, "100.001", "100.00"},
        {{NT::ntPercentage, 2}, "-5", "0.00"},
        {{NT::ntPercentage}, "0.4", "0"},
        {{NT::ntInteger}, "12.7", "0"},
        {{NT::ntInteger, 0, true, false}, "12.7", ""},
        {{NT::ntInteger, 3}, "1,000", "1000"},
        {{NT::ntInteger}, "-7", "-7"},
        {{NT::ntInteger}, "2147483647", "2147483647"},
        {{NT::ntInteger}, "2147483648", "0"},
        {{NT::ntNumber, 2}, "--5", "0.0"},
        {{NT::ntNumber, 3}, "2.5", "2.500"},
        {{NT::ntNumber, 2}, "2.126", "2.13"},
        {{NT::ntNumber, 1}, "-3.44", "-3.4"},
        {{NT::ntNumber}, "7.6", "8"},
    };
    for (auto [rules, text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(rules.ExitText(text), expected);
    }
}

TEST(NumericEditorTest, ValueAndValidity) {
    const std::tuple<NT, const char*, double, bool> cases[] = {
        {NT::ntInteger, "12.7", 13, true},  {NT::ntInteger, "2.5", 2, true},
        {NT::ntInteger, "3.5", 4, true},    {NT::ntInteger, "-2.5", -2, true},
        {NT::ntNumber, "12.7", 12.7, true}, {NT::ntMoney, "1,234.5", 0, false},
        {NT::ntNumber, "", 0, false},       {NT::ntNumber, "-", 0, false},
        {NT::ntNumber, "12a", 0, false},    {NT::ntNumber, "inf", 0, false},
        {NT::ntNumber, "1e999", 0, false},
    };
    for (auto [type, text, value, valid] : cases) {
        SCOPED_TRACE(text);
        EXPECT_DOUBLE_EQ(R{type}.Value(text), value);
        EXPECT_EQ(R::IsValidNumber(text), valid);
    }
}

// Money shows 2 decimals before its first exit; whole numbers never show any. A default's text
// is already canonical.
TEST(NumericEditorTest, DefaultValue) {
    const std::tuple<R, double, double, const char*> cases[] = {
        {{NT::ntMoney}, 12.5, 12.5, "12.50"},   {{NT::ntInteger, 2}, 12.5, 12, "12"},
        {{NT::ntInteger}, 13.5, 14, "14"},      {{NT::ntInteger}, -0.6, -1, "-1"},
        {{NT::ntNumber, 3}, 1.5, 1.5, "1.500"}, {{NT::ntPercentage}, 7.25, 7.25, "7"},
    };
    for (auto [rules, value, stored, text] : cases) {
        SCOPED_TRACE(value);
        EXPECT_DOUBLE_EQ(rules.DefaultFor(value), stored);
        EXPECT_EQ(rules.DefaultText(value), text);
        EXPECT_EQ(rules.ExitText(text), text);
    }
}

// Typed keys go through the filter; moving the focus on rewrites the text before Exited, while
// a pop-up taking the focus leaves the text alone.
TEST(NumericEditorTest, EditFiltersKeysAndRewritesOnExit) {
    QWidget window;
    auto* edit = new TNumberEdit(&window);
    auto* other = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QStringList exits;
    QObject::connect(edit, &TNumberEdit::Exited, [&] { exits.append(edit->text()); });

    edit->SetNumberType(TNumberType::ntMoney);
    edit->setFocus();
    QTest::keyClicks(edit, "1x2.345");
    EXPECT_EQ(edit->text(), "12.34");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClicks(edit, ".-");
    EXPECT_EQ(edit->text(), "12.");
    QTest::keyClicks(edit, "5"); // the caret was left at the end of the replacement
    EXPECT_EQ(edit->text(), "12.5");
    edit->setText("1,234.5");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(edit, &popup);
    EXPECT_EQ(edit->text(), "1,234.5");
    EXPECT_TRUE(exits.isEmpty());
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(exits, QStringList{"1234.50"});
    EXPECT_DOUBLE_EQ(edit->GetValue(), 1234.5);
}

// Leaving the edit, by the reason the focus went: the keyboard, the mouse or the program moving
// it on rewrites the text and then reports the exit, also when the text is canonical already,
// which then stays as typed with its undo; another window coming to the front or a pop-up
// opening does not leave the edit: text and undo stay and no exit is reported.
TEST(NumericEditorTest, FocusOutRewritesAndReportsOnlyALeave) {
    struct TCase {
        Qt::FocusReason Reason;
        const char* Typed;
        const char* After;
        bool Exited;
    } const cases[] = {
        {Qt::TabFocusReason, "1234.5", "1234.50", true},
        {Qt::BacktabFocusReason, "7", "7.00", true},
        {Qt::MouseFocusReason, "-", "0.0", true},
        {Qt::ShortcutFocusReason, "12.5", "12.50", true},
        {Qt::OtherFocusReason, "12.50", "12.50", true},
        {Qt::TabFocusReason, "-0.25", "-0.25", true},
        {Qt::ActiveWindowFocusReason, "12.5", "12.5", false},
        {Qt::PopupFocusReason, "-", "-", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Typed << " reason " << int(c.Reason));
        TNumberEdit edit;
        edit.SetNumberType(TNumberType::ntMoney);
        QStringList exits;
        QObject::connect(&edit, &TNumberEdit::Exited, [&] { exits.append(edit.text()); });
        QTest::keyClicks(&edit, c.Typed);
        ASSERT_EQ(edit.text(), c.Typed);
        ASSERT_TRUE(edit.isUndoAvailable());
        QFocusEvent out(QEvent::FocusOut, c.Reason);
        QApplication::sendEvent(&edit, &out);
        EXPECT_EQ(edit.text(), c.After);
        EXPECT_EQ(exits, c.Exited ? QStringList{c.After} : QStringList());
        EXPECT_DOUBLE_EQ(edit.GetValue(), QString(c.After).toDouble());
        EXPECT_EQ(edit.isUndoAvailable(), qstrcmp(c.Typed, c.After) == 0);
    }
}

} // namespace
