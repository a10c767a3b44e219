#include "controls/util/CustomComboEdit.h"
#include "controls/util/FocusExit.h"
#include "controls/util/SlotGuard.h"
#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <QFocusEvent>
#include <QToolButton>
#include <QtTest>
#include <stdexcept>

namespace {

class EditHelpersTest : public TServicesFixture {};

// An edit that counts what its button did.
class TCountingEdit : public TCustomComboEdit {
public:
    int Clicks = 0;

protected:
    void ButtonClick() override { ++Clicks; }
};

TEST_F(EditHelpersTest, GuardedSlotShowsFailuresAfterTheErrorBeepAndStaysQuietOnAnAbort) {
    Prompt->Answer(TMessageButton::OK);
    GuardSlot([] { throw EQuilvaneError(QStringLiteral("Unable to open the file")); });
    GuardSlot([] { throw EAbort(); });
    Prompt->Answer(TMessageButton::OK);
    GuardSlot([] { throw std::runtime_error("disk full"); });
    bool ran = false;
    GuardSlot([&] { ran = true; });

    EXPECT_TRUE(ran);
    EXPECT_EQ(Prompt->Texts(), (QStringList{"Unable to open the file", "disk full"}));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Error, TBeep::Error}));
    ASSERT_EQ(Prompt->Shown.size(), 2);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
}

TEST_F(EditHelpersTest, OnlyAMoveToAnotherControlIsAnExit) {
    const struct {
        Qt::FocusReason Reason;
        bool Exit;
    } cases[] = {{Qt::TabFocusReason, true},    {Qt::MouseFocusReason, true},
                 {Qt::OtherFocusReason, true},  {Qt::BacktabFocusReason, true},
                 {Qt::PopupFocusReason, false}, {Qt::ActiveWindowFocusReason, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Reason));
        const QFocusEvent event(QEvent::FocusOut, c.Reason);
        EXPECT_EQ(IsControlExit(&event), c.Exit);
    }
}

TEST_F(EditHelpersTest, ButtonRunsOnlyWhileTheEditMayChange) {
    TCountingEdit edit;
    edit.resize(120, 24);
    int signalled = 0;
    QObject::connect(&edit, &TCustomComboEdit::ButtonClicked, [&] { ++signalled; });

    edit.Button()->click();
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(edit.Clicks, 2);
    EXPECT_EQ(signalled, 2);

    edit.SetReadOnly(true);
    edit.DoClick();
    EXPECT_EQ(edit.Clicks, 2);
    edit.SetAlwaysEnable(true);
    edit.DoClick();
    EXPECT_EQ(edit.Clicks, 3);

    edit.SetButtonWidth(2); // the narrowest button still shown
    edit.DoClick();
    EXPECT_EQ(edit.Clicks, 4);
    edit.SetButtonWidth(1);
    edit.DoClick();
    EXPECT_EQ(edit.Clicks, 4);
    EXPECT_TRUE(edit.Button()->isHidden());
}

TEST_F(EditHelpersTest, WithoutDirectInputOnlyTheButtonChangesTheText) {
    TCountingEdit edit;
    edit.SetDirectInput(false);
    QTest::keyClicks(&edit, "abc");
    EXPECT_TRUE(edit.text().isEmpty());
    edit.DoClick();
    EXPECT_EQ(edit.Clicks, 1);
}

TEST_F(EditHelpersTest, EnterAndEscapeAreLeftToTheDialog) {
    TCountingEdit edit;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&edit, &press);
        EXPECT_FALSE(press.isAccepted()) << key;
    }
    EXPECT_EQ(edit.Clicks, 0);
}

} // namespace
