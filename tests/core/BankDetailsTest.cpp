#include "core/accounts/BankDetails.h"

#include <gtest/gtest.h>

TEST(BankDetails, NewDetailsHaveUnknownNumbersAndAssignCopiesEveryField) {
    TBankDetails details;
    EXPECT_EQ(details.AccountNumber, QStringLiteral("<Unknown>"));
    EXPECT_EQ(details.BSBNumber, QStringLiteral("<Unknown>"));
    EXPECT_TRUE(details.AccountName.isEmpty());

    details.AccountName = QStringLiteral("Cheque");
    details.BankName = QStringLiteral("Bank");
    details.AccountNumber = QStringLiteral("1234");
    details.BSBNumber = QStringLiteral("062-000");
    details.CurrencyCode = QStringLiteral("AUD");
    details.OverdraftInterestRate = 9.5;
    details.OverdraftLimit = 1000.0;
    details.IsDefault = true;
    details.Flag2 = true;
    TBankDetails copy;
    copy.Assign(details);
    EXPECT_EQ(copy.AccountName, details.AccountName);
    EXPECT_EQ(copy.BankName, details.BankName);
    EXPECT_EQ(copy.AccountNumber, details.AccountNumber);
    EXPECT_EQ(copy.BSBNumber, details.BSBNumber);
    EXPECT_EQ(copy.CurrencyCode, details.CurrencyCode);
    EXPECT_EQ(copy.OverdraftInterestRate, 9.5);
    EXPECT_EQ(copy.OverdraftLimit, 1000.0);
    EXPECT_TRUE(copy.IsDefault);
    EXPECT_TRUE(copy.Flag2);
}
