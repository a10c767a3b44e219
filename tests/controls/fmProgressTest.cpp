#include "controls/progress/fmProgress.h"
#include "controls/progress/ProgressHost.h"
#include "controls/progress/QtProgressFactory.h"
#include "controls/progress/dxfProgressBar.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "tests/support/ServicesFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Records what the main window would hear.
class fmProgressTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        TProgressHost::SetCallback([this](bool busy) { HostCalls.append(busy); });
    }
    void TearDown() override {
        TProgressHost::SetCallback({});
        EXPECT_EQ(TProgressHost::ShownCount(), 0);
        TServicesFixture::TearDown();
    }
    QList<bool> HostCalls;
};

} // namespace

TEST_F(fmProgressTest, WindowShrinksAndGrowsByItsPanelsOnce) {
    EXPECT_EQ(TfmProgress::ClientHeight(true, true), 108);
    EXPECT_EQ(TfmProgress::ClientHeight(true, false), 73);
    EXPECT_EQ(TfmProgress::ClientHeight(false, true), 72);
    EXPECT_EQ(TfmProgress::ClientHeight(false, false), 37);

    TfmProgress form;
    form.Setup(QStringLiteral("Loading"), 2, QStringLiteral("ABC"), true, true);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Loading"));
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Loading ABC ..."));
    EXPECT_EQ(form.size(), QSize(382, 108));
    EXPECT_TRUE(form.pgbProgress->isVisible());
    EXPECT_TRUE(form.CancelBtn->isVisible());

    form.Setup(QStringLiteral("Saving"), 3, QString(), false, false);
    form.Setup(QStringLiteral("Saving"), 3, QString(), false, false);
    EXPECT_EQ(form.height(), 37);
    EXPECT_FALSE(form.pgbProgress->isVisible());
    EXPECT_FALSE(form.CancelBtn->isVisible());
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Saving ..."));

    form.Setup(QStringLiteral("Bar only"), 0, QStringLiteral("Please wait ..."), true, false);
    EXPECT_EQ(form.height(), 73);
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Please wait ..."));
    form.Setup(QStringLiteral("Cancel only"), 0, QString(), false, true);
    EXPECT_EQ(form.height(), 72);
    EXPECT_EQ(form.CancelBtn->mapTo(&form, QPoint(0, 0)), QPoint(153, 37 + 5));
    form.Setup(QStringLiteral("Both"), 0, QString(), true, true);
    EXPECT_EQ(form.height(), 108);
    EXPECT_EQ(form.pgbProgress->mapTo(&form, QPoint(0, 0)), QPoint(6, 37 + 6));
    EXPECT_EQ(form.pgbProgress->size(), QSize(368, 22));
    EXPECT_EQ(form.pgbProgress->Style(), TdxfPBStyle::sExSolid);
}

TEST_F(fmProgressTest, WindowIsModalWithoutCloseBox) {
    TfmProgress form;
    form.Setup(QStringLiteral("Working"), 0, QString(), false, false);
    EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    // Esc does nothing while Cancel is not offered.
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Cancelled());
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(fmProgressTest, PositionRoundsHalfToEvenAndNeedsTheBar) {
    TfmProgress form;
    form.Setup(QStringLiteral("Working"), 0, QString(), true, false);
    form.SetPosition(49.5);
    EXPECT_EQ(form.pgbProgress->Position(), 50);
    form.SetPosition(50.5);
    EXPECT_EQ(form.pgbProgress->Position(), 50);
    form.SetPosition(72.6);
    EXPECT_EQ(form.pgbProgress->Position(), 73);
    form.Setup(QStringLiteral("Working"), 0, QString(), false, false);
    form.SetPosition(10);
    EXPECT_EQ(form.pgbProgress->Position(), 73);
    form.SetMessage(3, QStringLiteral("X"));
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("Saving X ..."));
    form.SetMessage(99, QStringLiteral("X"));
    EXPECT_EQ(form.lblProgressText->text(), QStringLiteral("X"));
}

TEST_F(fmProgressTest, CancelTellsTheUserOnceAndRaisesOncePerPress) {
    Prompt->Answer(TMessageButton::OK);
    TfmProgress form;
    form.Setup(QStringLiteral("Backup"), 4, QStringLiteral("ABC"), true, true);
    QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, QStringLiteral("Operation cancelled."));
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Information);
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Information}));
    EXPECT_TRUE(form.Cancelled());

    try {
        form.SetPosition(20);
        ADD_FAILURE() << "The cancel was not raised";
    } catch (const EOperationCancelled& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Operation cancelled by user"));
    }
    // The operation that caught it finishes its closing steps on the same window.
    EXPECT_NO_THROW(form.SetPosition(30));
    EXPECT_NO_THROW(form.SetMessage(25, QString()));
    EXPECT_TRUE(form.Cancelled());
    EXPECT_NO_THROW(form.Setup(QStringLiteral("Closing"), 25, QString(), false, true));
    EXPECT_FALSE(form.Cancelled());
    EXPECT_EQ(Prompt->Shown.size(), 1);
}

TEST_F(fmProgressTest, PressDuringAnUpdateLeavesThroughThatUpdate) {
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
    EXPECT_NO_THROW(form.SetPosition(5));
}

TEST_F(fmProgressTest, CancelWithoutAPrompterStillCancels) {
    TServices::Reset(); // no prompter: showing the box fails
    TfmProgress form;
    form.Setup(QStringLiteral("Saving"), 3, QString(), true, true);
    EXPECT_NO_THROW(form.CancelBtn->click());
    EXPECT_THROW(form.SetPosition(1), EOperationCancelled);
}

TEST_F(fmProgressTest, NestedWindowsKeepTheMainWindowBusyUntilTheLastHides) {
    {
        TfmProgress outer;
        outer.Setup(QStringLiteral("Shutting Down"), 0, QString(), false, false);
        EXPECT_EQ(HostCalls, (QList<bool>{true}));
        {
            TfmProgress inner;
            inner.Setup(QStringLiteral("Saving"), 3, QStringLiteral("ABC"), true, false);
            inner.Setup(QStringLiteral("Saving"), 3, QStringLiteral("DEF"), true, false);
            EXPECT_EQ(TProgressHost::ShownCount(), 2);
            inner.hide();
            EXPECT_EQ(HostCalls, (QList<bool>{true}));
        }
        EXPECT_EQ(TProgressHost::ShownCount(), 1);
        // Destroyed while shown: the main window is given back.
    }
    EXPECT_EQ(HostCalls, (QList<bool>{true, false}));
    // A Leave with nothing shown is ignored.
    TProgressHost::Leave();
    EXPECT_EQ(HostCalls, (QList<bool>{true, false}));
}

TEST_F(fmProgressTest, FactoryMakesTheWindowForTheDataLayer) {
    TServices::SetProgressFactory(std::make_shared<TQtProgressFactory>());
    {
        std::unique_ptr<IProgress> progress = TServices::CreateProgress();
        ASSERT_NE(dynamic_cast<TfmProgress*>(progress.get()), nullptr);
        progress->Setup(QStringLiteral("Loading"), 2, QStringLiteral("ABC"), true, false);
        progress->SetPosition(40);
        EXPECT_EQ(static_cast<TfmProgress*>(progress.get())->pgbProgress->Position(), 40);
        EXPECT_EQ(HostCalls, (QList<bool>{true}));
    }
    EXPECT_EQ(HostCalls, (QList<bool>{true, false}));
}
