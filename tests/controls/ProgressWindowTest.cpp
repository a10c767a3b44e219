#include "controls/progress/QtProgressFactory.h"
#include "controls/progress/dxfProgressBar.h"
#include "controls/progress/fmProgress.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "tests/controls/ControlsFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <tuple>

TEST_F(ControlsTest, WindowGrowsAndShrinksByItsPanelsOnceAndCannotBeClosed) {
    TfmProgress form;
    // The bar and Cancel wanted, and the window's height.
    const std::tuple<bool, bool, int> phases[] = {{true, true, 108}, {false, false, 37}, {false, false, 37},
                                                  {true, false, 73}, {false, true, 72},  {true, true, 108}};
    for (const auto& [bar, cancel, height] : phases) {
        SCOPED_TRACE(testing::Message() << "bar " << bar << ", cancel " << cancel);
        form.Setup(QStringLiteral("Saving"), 3, QStringLiteral("ABC"), bar, cancel);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.size(), QSize(382, height));
        EXPECT_EQ(form.pgbProgress->isVisible(), bar);
        EXPECT_EQ(form.CancelBtn->isVisible(), cancel);
        if (cancel) {
            EXPECT_EQ(form.CancelBtn->mapTo(&form, QPoint(0, 0)), QPoint(153, height - 35 + 5));
        }
    }
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Saving"));
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Saving ABC ..."));
    EXPECT_EQ(form.pgbProgress->geometry(), QRect(6, 6, 368, 22));
    EXPECT_EQ(form.pgbProgress->mapTo(&form, QPoint(0, 0)), QPoint(6, 37 + 6));

    // Neither the window's close nor Esc (with Cancel not offered) ends it.
    form.Setup(QStringLiteral("Working"), 0, QString(), true, false);
    EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(form.close());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Cancelled());
}

TEST_F(ControlsTest, PositionRoundsHalfToEvenAndNeedsTheBar) {
    TfmProgress form;
    form.Setup(QStringLiteral("Working"), 0, QString(), true, false);
    for (const auto& [percent, position] : {std::pair(49.5, 50), {50.5, 50}, {72.6, 73}}) {
        form.SetPosition(percent);
        EXPECT_EQ(form.pgbProgress->Position(), position) << percent;
    }
    form.Setup(QStringLiteral("Working"), 0, QString(), false, false);
    form.SetPosition(10);
    EXPECT_EQ(form.pgbProgress->Position(), 73);
    form.SetMessage(3, QStringLiteral("X"));
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Saving X ..."));
}

TEST_F(ControlsTest, CancelTellsTheUserOnceAndRaisesOncePerPress) {
    Prompt->Answer(TMessageButton::OK);
    TfmProgress form;
    form.Setup(QStringLiteral("Backup"), 4, QStringLiteral("ABC"), true, true);
    QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
    QTest::mouseClick(form.CancelBtn, Qt::LeftButton); // before the operation heard of the first
    EXPECT_EQ(Prompt->Texts(), QStringList{"Operation cancelled."});
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Information);
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Information}));
    EXPECT_TRUE(form.Cancelled());

    EXPECT_THROW(form.SetPosition(20), EOperationCancelled);
    // The operation that caught it finishes its closing steps on the same window.
    EXPECT_NO_THROW(form.SetPosition(30));
    EXPECT_NO_THROW(form.SetMessage(25, QString()));
    EXPECT_TRUE(form.Cancelled());
    EXPECT_NO_THROW(form.Setup(QStringLiteral("Closing"), 25, QString(), false, true));
    EXPECT_FALSE(form.Cancelled());
}

TEST_F(ControlsTest, PressDuringAnUpdateLeavesThroughThatUpdate) {
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    TfmProgress form;
    form.Setup(QStringLiteral("Saving"), 3, QStringLiteral("ABC"), true, true);
    QTimer::singleShot(0, form.CancelBtn, &QPushButton::click);
    EXPECT_THROW(form.SetMessage(3, QStringLiteral("DEF")), EOperationCancelled);
    // Esc presses Cancel while it is offered; the next phase's set-up raises it.
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Prompt->Shown.size(), 2);
    EXPECT_THROW(form.Setup(QStringLiteral("Next"), 0, QString(), true, true), EOperationCancelled);
    EXPECT_TRUE(form.Cancelled()); // raised before the next phase begins
    EXPECT_NO_THROW(form.SetPosition(5));

    TServices::Reset(); // no prompter: the box cannot be shown, the press counts all the same
    EXPECT_NO_THROW(form.CancelBtn->click());
    EXPECT_THROW(form.SetPosition(1), EOperationCancelled);
}

TEST_F(ControlsTest, NestedWindowsKeepTheMainWindowBusyUntilTheLastHides) {
    TServices::SetProgressFactory(std::make_shared<TQtProgressFactory>());
    {
        // The data layer's window, from the factory.
        std::unique_ptr<IProgress> outer = TServices::CreateProgress();
        ASSERT_NE(dynamic_cast<TfmProgress*>(outer.get()), nullptr);
        outer->Setup(QStringLiteral("Shutting Down"), 0, QString(), false, false);
        {
            TfmProgress inner;
            inner.Setup(QStringLiteral("Saving"), 3, QStringLiteral("ABC"), true, false);
            inner.Setup(QStringLiteral("Saving"), 3, QStringLiteral("DEF"), true, false);
            EXPECT_EQ(TProgressHost::ShownCount(), 2);
            inner.hide();
            EXPECT_EQ(TProgressHost::ShownCount(), 1);
        }
        EXPECT_EQ(HostCalls, (QList<bool>{true}));
        // Destroyed while shown: the main window is given back.
    }
    EXPECT_EQ(HostCalls, (QList<bool>{true, false}));
    TProgressHost::Leave(); // with nothing shown: ignored
    EXPECT_EQ(TProgressHost::ShownCount(), 0);
    EXPECT_EQ(HostCalls, (QList<bool>{true, false}));
}
