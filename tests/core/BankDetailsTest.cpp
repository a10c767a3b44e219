#include "core/accounts/BankDetails.h"

#include <gtest/gtest.h>

TEST(BankDetails, NewDetailsHaveUnknownNumbersAndAssignCopiesThem) {
    TBankDetails details;
    EXPECT_EQ(details.AccountNumber, QStringLiteral("<Unknown>"));
    EXPECT_EQ(details.BSBNumber, QStringLiteral("<Unknown>"));
    EXPECT_TRUE(details.AccountName.isEmpty());

    details.CurrencyCode = QStringLiteral("AUD");
    details.OverdraftLimit = 1000.0;
    details.Flag2 = true;
    TBankDetails copy;
    copy.BSBNumber = QStringLiteral("062-000");
    copy.Assign(details);
    EXPECT_EQ(copy.BSBNumber, QStringLiteral("<Unknown>"));
    EXPECT_EQ(copy.CurrencyCode, QStringLiteral("AUD"));
    EXPECT_EQ(copy.OverdraftLimit, 1000.0);
    EXPECT_TRUE(copy.Flag2);
}
