#include "platform/prompt/QtUserPrompt.h"

#include "core/services/Services.h"
#include "tests/support/ServicesFixture.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace {

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

class QtUserPromptTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Help = std::make_shared<TRecordingHelp>();
        TServices::SetHelp(Help);
    }
    std::shared_ptr<TRecordingHelp> Help;
};

} // namespace

TEST(QtUserPromptMapping, EveryProgramButtonHasItsOwnBoxButton) {
    const std::pair<TMessageButton, QMessageBox::StandardButton> pairs[] = {
        {TMessageButton::OK, QMessageBox::Ok},        {TMessageButton::Cancel, QMessageBox::Cancel},
        {TMessageButton::Yes, QMessageBox::Yes},      {TMessageButton::No, QMessageBox::No},
        {TMessageButton::Retry, QMessageBox::Retry},  {TMessageButton::Ignore, QMessageBox::Ignore},
        {TMessageButton::All, QMessageBox::YesToAll}, {TMessageButton::Help, QMessageBox::Help},
        {TMessageButton::Abort, QMessageBox::Abort},
    };
    for (const auto& [ours, box] : pairs) {
        EXPECT_EQ(TQtUserPrompt::StandardButtonsFor(ours), QMessageBox::StandardButtons(box));
        if (ours != TMessageButton::Help) {
            EXPECT_EQ(TQtUserPrompt::AnswerFor(box, ours | TMessageButton::Cancel), ours);
        }
    }
    EXPECT_EQ(TQtUserPrompt::StandardButtonsFor(TMessageButton::Yes | TMessageButton::No |
                                                TMessageButton::Cancel | TMessageButton::All),
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll);
}

TEST(QtUserPromptMapping, HelpIsNeverAnAnswer) {
    // A box only ends on Help if something went wrong; the answer falls back as for a closed box.
    EXPECT_EQ(TQtUserPrompt::AnswerFor(QMessageBox::Help,
                                       TMessageButton::OK | TMessageButton::Cancel | TMessageButton::Help),
              TMessageButton::Cancel);
    EXPECT_EQ(TQtUserPrompt::AnswerFor(QMessageBox::Help, TMessageButton::Retry | TMessageButton::Help),
              TMessageButton::Retry);
}

TEST(QtUserPromptMapping, ClosedBoxAnswersCancelOrTheFirstButton) {
    EXPECT_EQ(TQtUserPrompt::AnswerFor(QMessageBox::NoButton,
                                       TMessageButton::Retry | TMessageButton::Cancel | TMessageButton::Help),
              TMessageButton::Cancel);
    EXPECT_EQ(TQtUserPrompt::AnswerFor(QMessageBox::NoButton, TMessageButton::Retry | TMessageButton::Ignore),
              TMessageButton::Retry);
    EXPECT_EQ(TQtUserPrompt::AnswerFor(QMessageBox::NoButton, TMessageButton::OK), TMessageButton::OK);
    // A button the box did not offer cannot be the answer.
    EXPECT_EQ(TQtUserPrompt::AnswerFor(QMessageBox::Yes, TMessageButton::OK), TMessageButton::OK);
}

TEST(QtUserPromptMapping, IconFollowsTheKind) {
    EXPECT_EQ(TQtUserPrompt::IconFor(TMessageKind::Error), QMessageBox::Critical);
    EXPECT_EQ(TQtUserPrompt::IconFor(TMessageKind::Warning), QMessageBox::Warning);
    EXPECT_EQ(TQtUserPrompt::IconFor(TMessageKind::Question), QMessageBox::Question);
    EXPECT_EQ(TQtUserPrompt::IconFor(TMessageKind::Information), QMessageBox::Information);
}

TEST_F(QtUserPromptTest, HelpOpensTheContextAndLeavesTheBoxOpen) {
    auto box = TQtUserPrompt::BuildBox(TMessageKind::Error, QStringLiteral("Unable to read the file."),
                                       TMessageButton::Retry | TMessageButton::Cancel | TMessageButton::Help,
                                       100000);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->text(), QStringLiteral("Unable to read the file."));
    box->show();
    QAbstractButton* help = box->button(QMessageBox::Help);
    ASSERT_NE(help, nullptr);

    help->click();
    help->click();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(Help->Contexts, (QList<int>{100000, 100000}));

    box->button(QMessageBox::Retry)->click();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(TQtUserPrompt::AnswerFor(box->standardButton(box->clickedButton()),
                                       TMessageButton::Retry | TMessageButton::Cancel | TMessageButton::Help),
              TMessageButton::Retry);
}

TEST_F(QtUserPromptTest, BoxWithOnlyHelpStillOffersOK) {
    auto box = TQtUserPrompt::BuildBox(TMessageKind::Information, QStringLiteral("In use."),
                                       TMessageButton::Help, 6010);
    ASSERT_NE(box->button(QMessageBox::Ok), nullptr);
    ASSERT_NE(box->button(QMessageBox::Help), nullptr);
    box->show();
    box->button(QMessageBox::Help)->click();
    EXPECT_TRUE(box->isVisible());
    box->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(Help->Contexts, QList<int>{6010});
}

TEST_F(QtUserPromptTest, EscapeCancelsWhenCancelIsOffered) {
    auto box = TQtUserPrompt::BuildBox(
        TMessageKind::Question, QStringLiteral("Replace?"),
        TMessageButton::Yes | TMessageButton::No | TMessageButton::All | TMessageButton::Cancel, 0);
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::Cancel));
    EXPECT_EQ(box->button(QMessageBox::Help), nullptr);
}

TEST_F(QtUserPromptTest, BeepsAreKeptByKind) {
    TQtUserPrompt prompt;
    prompt.Beep(TBeep::Warning);
    prompt.Beep(TBeep::Error);
    EXPECT_EQ(prompt.Beeps(), (QList<TBeep>{TBeep::Warning, TBeep::Error}));
}
