#include "controls/small/AsUrlLabel.h"
#include "controls/small/BandGeometry.h"
#include "controls/small/CategoryPages.h"
#include "controls/small/FocusNext.h"
#include "controls/small/GroupBoxMultiSelect.h"
#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <QSignalSpy>
#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace {

TEST(SmallControlsTest, BandGeometry) {
    EXPECT_EQ(BandRect({30, 40}, {10, 15}), QRect(10, 15, 20, 25));
    const QRect box(20, 20, 10, 10);
    const std::tuple<QPoint, QPoint, bool> cases[] = {
        {{0, 0}, {20, 20}, false}, // the band stops short of its far edges
        {{0, 0}, {21, 21}, true},    {{40, 40}, {29, 29}, true}, {{30, 0}, {40, 40}, false},
        {{25, 25}, {25, 25}, false}, // no movement: nothing is touched, even under the pointer
        {{25, 0}, {25, 40}, false},
    };
    for (const auto& [start, end, hits] : cases)
        EXPECT_EQ(BandHits(BandRect(start, end), box), hits) << start.x() << " " << end.x();
    EXPECT_EQ(BandOutline(QRect(1, 2, 3, 4)), QList<QPoint>({{1, 2}, {4, 2}, {4, 6}, {1, 6}, {1, 2}}));
}

class SmallControlsWidgetTest : public TServicesFixture {};

TEST_F(SmallControlsWidgetTest, EnterMovesTheFocus) {
    QDialog dialog;
    auto* first = new QLineEdit(&dialog);
    auto* box = new QCheckBox("box", &dialog);
    auto* memo = new QPlainTextEdit(&dialog);
    auto* last = new QComboBox(&dialog);
    auto* button = new QPushButton("OK", &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    for (QWidget* widget : std::initializer_list<QWidget*>{first, box, memo, last, button})
        layout->addWidget(widget);
    auto* focusNext = new TFocusNext(&dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QSignalSpy pressed(button, &QPushButton::clicked);

    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), box);
    QTest::keyClick(box, Qt::Key_Enter, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), first);
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), memo);
    EXPECT_EQ(memo->toPlainText(), "\n");
    last->setFocus();
    QTest::keyClick(last, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), button);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(pressed.count(), 1);

    EXPECT_FALSE(focusNext->CtrlHeld());
    QTest::mouseClick(box, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_TRUE(focusNext->CtrlHeld());
    focusNext->SetEnabled(false);
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_FALSE(focusNext->CtrlHeld());
    EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST_F(SmallControlsWidgetTest, FocusNextOwners) {
    const auto movesFocus = [](QWidget* widget) { return TFocusNext::MovesFocusOnEnter(widget); };
    QWidget group;
    auto* radioInGroup = new QRadioButton(new QGroupBox(&group));
    auto* readOnlyMemo = new QTextEdit(&group);
    readOnlyMemo->setReadOnly(true);
    EXPECT_TRUE(movesFocus(radioInGroup));
    EXPECT_FALSE(movesFocus(new QRadioButton(&group)));
    EXPECT_TRUE(movesFocus(readOnlyMemo));
    EXPECT_FALSE(movesFocus(new QTextEdit(&group)));
    EXPECT_TRUE(movesFocus(new QSpinBox(&group)));

    QWidget plain;
    EXPECT_THROW(TFocusNext{&plain}, EAbort);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    QDialog dialog;
    new TFocusNext(&dialog);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(new TFocusNext(&dialog), EAbort);
    EXPECT_EQ(Prompt->Texts(), QStringList({"Only one instance of TFocusNext is allowed."}));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Information}));
    EXPECT_EQ(dialog.findChildren<TFocusNext*>().size(), 1);
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST_F(SmallControlsWidgetTest, BandTogglesEnabledCheckBoxes) {
    TGroupBoxMultiSelect group("Options");
    group.resize(300, 200);
    QCheckBox* boxes[4];
    for (int i = 0; i < 4; ++i) {
        boxes[i] = new QCheckBox(QString("box %1").arg(i), &group);
        boxes[i]->setGeometry(20, 30 + 30 * i, 100, 20);
    }
    boxes[1]->setChecked(true);
    boxes[2]->setEnabled(false);
    group.show();
    const auto drag = [&](QPoint from, QPoint to) {
        SendMouse(&group, QEvent::MouseButtonPress, from, Qt::LeftButton);
        if (from != to)
            SendMouse(&group, QEvent::MouseMove, to, Qt::LeftButton);
        EXPECT_EQ(group.Band(), from == to ? QRect() : BandRect(from, to));
        SendMouse(&group, QEvent::MouseButtonRelease, to, Qt::NoButton);
        EXPECT_TRUE(group.Band().isEmpty());
    };
    const auto checked = [&] {
        QList<bool> states;
        for (QCheckBox* box : boxes)
            states.append(box->isChecked());
        return states;
    };
    drag({200, 15}, {50, 105}); // over boxes 0, 1 and the disabled 2
    EXPECT_EQ(checked(), QList<bool>({true, false, false, false}));
    drag({50, 40}, {50, 40});
    EXPECT_EQ(checked(), QList<bool>({true, false, false, false}));
    group.ToggleCheckBoxes = false;
    drag({200, 15}, {50, 190});
    EXPECT_EQ(checked(), QList<bool>({true, false, false, false}));
}

TEST_F(SmallControlsWidgetTest, UrlLabel) {
    TAsUrlLabel label("Quilvane");
    label.resize(120, 30);
    label.Url = "  https://example.org/quilvane ";
    QStringList events;
    label.Opener = [&](const QString& url) { events.append("open " + url); };
    QObject::connect(&label, &TAsUrlLabel::clicked, [&] { events.append("click"); });
    QObject::connect(&label, &TAsUrlLabel::mouseEnter, [&] { events.append("enter"); });
    QObject::connect(&label, &TAsUrlLabel::mouseLeave, [&] { events.append("leave"); });
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::blue));
    label.show();

    QTest::mouseClick(&label, Qt::LeftButton);
    label.UrlExecute = false;
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(events, QStringList({"click", "open https://example.org/quilvane", "click"}));

    const auto hover = [&] {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&label, &enter);
        const QString shown = label.text();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&label, &leave);
        return shown;
    };
    events.clear();
    EXPECT_EQ(hover(), "Quilvane");
    label.HoverTextEnabled = true;
    EXPECT_EQ(hover(), "");
    EXPECT_EQ(label.text(), "Quilvane");
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(events, QStringList({"enter", "leave", "enter", "leave"}));
}

// A node chosen in the tree or a page shown from code brings its page and caption up together; a
// page that does not exist changes nothing.
TEST_F(SmallControlsWidgetTest, CategoryPagesFollowTheTree) {
    TCategoryPages pages(120);
    for (const char* caption : {"Startup", "Backups", "Reports"})
        pages.AddPage(caption, new QWidget);
    QSignalSpy shown(&pages, &TCategoryPages::PageShown);
    pages.Tree->setCurrentItem(pages.Tree->topLevelItem(2));
    EXPECT_EQ(pages.CurrentPage(), 2);
    EXPECT_EQ(pages.Heading->text(), "Reports");
    pages.ShowPage(1);
    pages.ShowPage(1);
    pages.ShowPage(3);
    EXPECT_EQ(pages.CurrentPage(), 1);
    EXPECT_EQ(pages.Heading->text(), "Backups");
    EXPECT_EQ(pages.Tree->currentItem(), pages.Tree->topLevelItem(1));
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown.last().at(0).toInt(), 1);
}

} // namespace
