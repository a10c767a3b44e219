#include "shell/startup/QuilvaneApplication.h"

#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class QuilvaneApplicationTest : public TServicesFixture {};

template <typename E> std::exception_ptr Failure(E error) {
    return std::make_exception_ptr(std::move(error));
}

} // namespace

TEST_F(QuilvaneApplicationTest, EscapedExceptionIsShownWithItsMessage) {
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    TQuilvaneApplication::ReportException(Failure(EQuilvaneError(QStringLiteral("Unable to read X.CFG"))));
    TQuilvaneApplication::ReportException(Failure(std::runtime_error("disk full")));
    ASSERT_EQ(Prompt->Shown.size(), 2);
    EXPECT_EQ(Prompt->Texts(), (QStringList{"Unable to read X.CFG", "disk full"}));
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Error, TBeep::Error}));
}

TEST_F(QuilvaneApplicationTest, SilentAbortShowsNothing) {
    TQuilvaneApplication::ReportException(Failure(EAbort()));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_TRUE(Prompt->Beeps.isEmpty());
}
