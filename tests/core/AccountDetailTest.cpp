#include "core/charts/AccountDetail.h"

#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/AccountsChartTestData.h"
#include "tests/support/ServicesFixture.h"

#include <QBuffer>

namespace {

class AccountDetailTest : public TServicesFixture {
protected:
    TAccountCode Parse(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(Tables.Format()->TextToCode(text, code, false, false)) << text.toStdString();
        return code;
    }

    std::unique_ptr<TAccountDetail> Account(const QString& codeText, const QString& type = QString()) {
        auto account = std::make_unique<TAccountDetail>(Tables.Format());
        account->SetCode(Parse(codeText));
        if (!type.isEmpty())
            account->DeriveAccountType(type);
        return account;
    }

    TAccountsChartTables Tables;
};

QByteArray FromHex(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex));
}

} // namespace

TEST_F(AccountDetailTest, TypeRulesFollowTheRangesOfTheFormat) {
    // Inside the suspense range: suspense, unless the type is a non-posting one.
    EXPECT_EQ(Account("9000", "ACC")->AccountType, "SUS");
    EXPECT_EQ(Account("9000", "BNK")->AccountType, "SUS");
    EXPECT_EQ(Account("9000", "ANP")->AccountType, "ANP");
    EXPECT_EQ(Account("9000", "CTL")->AccountType, "CTL");
    EXPECT_FALSE(Account("9000", "BNK")->BankDetails);

    // Control accounts have only an account number.
    EXPECT_EQ(Account("1000", "CTL")->AccountType, "CTL");
    EXPECT_EQ(Account("01-1000", "CTL")->AccountType, "ACC");
    TAccountDetail subAccount(Tables.Format());
    subAccount.SetCode(MakeCode(-1, -1, 1000, 1));
    subAccount.DeriveAccountType("CTL");
    EXPECT_EQ(subAccount.AccountType, "ACC");

    // A suspense request outside the suspense range changes nothing.
    auto bank = Account("2000", "BNK");
    bank->DeriveAccountType("SUS");
    EXPECT_EQ(bank->AccountType, "BNK");
    EXPECT_TRUE(bank->BankDetails);

    // Outside the balance-sheet range a bank account is an ordinary one, without details.
    auto income = Account("1000", "BNK");
    EXPECT_EQ(income->AccountType, "ACC");
    EXPECT_FALSE(income->BankDetails);
    EXPECT_EQ(Account("1000", "PRL")->AccountType, "PRL");

    // Inside it, "BNK" creates the details and any other type frees them.
    EXPECT_TRUE(bank->BankDetails);
    bank->BankDetails->BankName = "Westpac";
    bank->DeriveAccountType("BNK");
    EXPECT_EQ(bank->BankDetails->BankName, "Westpac");
    bank->DeriveAccountType("ACC");
    EXPECT_EQ(bank->AccountType, "ACC");
    EXPECT_FALSE(bank->BankDetails);
}

TEST_F(AccountDetailTest, AllowedTypesAndTypeColumn) {
    EXPECT_EQ(Account("2000")->GetAllowedTypesText(), "Non-Posting, Control, Ordinary, Bank");
    EXPECT_EQ(Account("01-1000")->GetAllowedTypesText(), "Non-Posting, Ordinary");
    EXPECT_EQ(Account("9000")->GetAllowedTypesText(), "Non-Posting, Control, Suspense");

    auto suspense = Account("9000", "SUS");
    EXPECT_EQ(suspense->GetAccount_Type_(), "Suspense");
    suspense->SetDefault(true);
    EXPECT_TRUE(suspense->IsDefaultSuspense);
    EXPECT_EQ(suspense->GetAccount_Type_(), "Suspense (Def)");
    EXPECT_EQ(Account("1000")->GetAccount_Type_(), "");

    auto bank = Account("2000", "BNK");
    bank->SetDefault(true);
    EXPECT_TRUE(bank->BankDetails->IsDefault);
    EXPECT_FALSE(bank->IsDefaultSuspense);
    EXPECT_EQ(bank->GetAccount_Type_(), "Bank (Def)");

    // Any other type is never a default; setting clears both flags.
    auto other = Account("1000");
    other->IsDefaultSuspense = true;
    other->SetDefault(true);
    EXPECT_FALSE(other->IsDefaultSuspense);
    EXPECT_FALSE(other->IsDefault());

    auto unlisted = Account("1000", "XYZ");
    EXPECT_EQ(unlisted->GetAccount_Type_(), "XYZ");
}

TEST_F(AccountDetailTest, BudgetsKeepTheirTotal) {
    TAccountDetail account(Tables.Format());
    account.SetBudget(3, 100);
    EXPECT_EQ(account.GetBudget(3), 100);
    EXPECT_EQ(account.GetBudget(0), 100);
    account.SetBudget(3, 40);
    EXPECT_EQ(account.GetBudget(0), 40);
    account.SetBudget(5, -10);
    EXPECT_EQ(account.GetBudget(0), 30);
    // Slots outside the year are neither read nor set.
    account.SetBudget(13, 5);
    account.SetBudget(-1, 5);
    EXPECT_EQ(account.GetBudget(13), 0);
    EXPECT_EQ(account.GetBudget(0), 30);
    // A total that would overflow stops at the largest amount.
    account.SetBudget(1, std::numeric_limits<qint32>::max());
    EXPECT_EQ(account.GetBudget(0), std::numeric_limits<qint32>::max());
    account.ClearBudgets();
    EXPECT_EQ(account.GetBudget(0), 0);
}

TEST(AccountDetailBudgetSlots, SlotOneIsAlwaysJuly) {
    EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(1, 6), 1);
    EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(7, 6), 7);
    EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(12, 6), 12);
    EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(1, 12), 7);
    EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(6, 12), 12);
    EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(7, 12), 1);
    EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(1, 3), 10);
}

TEST_F(AccountDetailTest, ListColumns) {
    auto sub = Account("01-2000-05");
    sub->Description = "Petty cash";
    EXPECT_EQ(sub->GetAccount_Code(0), "01-2000-05");
    EXPECT_EQ(sub->GetAccount_Description_(), QStringLiteral("  \u00B7 Petty cash"));
    auto main = Account("2000");
    main->Description = "Cash";
    EXPECT_EQ(main->GetAccount_Description_(), "Cash");

    // Typed codes: invalid text is ignored; index 1 is the second code.
    EXPECT_FALSE(main->SetAccount_Code(0, "xx-abc"));
    EXPECT_EQ(main->GetAccount_Code(0), "2000");
    EXPECT_TRUE(main->SetAccount_Code(1, "3000"));
    EXPECT_EQ(main->GetAccount_Code(1), "3000");
    EXPECT_EQ(main->GetAccount_Code(0), "2000");

    EXPECT_EQ(sub->GetSignText(), "BAL");
    sub->SetSignText("CR");
    EXPECT_EQ(sub->GetSignText(), "CR");
    sub->SetSignText("");
    EXPECT_EQ(sub->Sign, QLatin1Char('C'));
    EXPECT_EQ(sub->GetBranchKey(), "BRANCH01");
    EXPECT_EQ(sub->GetDivisionKey(), "DIVISION");
}

TEST_F(AccountDetailTest, BankCurrencyAndSymbol) {
    auto bank = Account("2000", "BNK");
    EXPECT_EQ(bank->GetCurrencySymbol(), QLatin1Char(' '));
    bank->SetBankCurrency("AUD");
    EXPECT_EQ(bank->GetBankCurrency(), "AUD");
    EXPECT_EQ(bank->GetCurrencySymbol(), QLatin1Char('$'));
    bank->SetBankCurrency("USD"); // its number is no character
    EXPECT_EQ(bank->GetCurrencySymbol(), QLatin1Char(' '));
    auto plain = Account("1000");
    plain->SetBankCurrency("AUD");
    EXPECT_EQ(plain->GetBankCurrency(), "");
}

TEST_F(AccountDetailTest, CopyFromTakesEverythingAndClonesTheBankDetails) {
    auto source = Account("01-2000-05", "BNK");
    source->Description = "Cheque";
    source->BankDetails->BSBNumber = "062-000";
    source->SetBudget(2, 7);
    source->Balance = 12.5;
    source->Flag2 = true;
    source->SetPeriodAmount(4, 3.0);
    TAccountDetail copy(Tables.Format());
    copy.CopyFrom(*source, false);
    EXPECT_EQ(copy.Code(), source->Code());
    EXPECT_EQ(copy.Description, "Cheque");
    ASSERT_TRUE(copy.BankDetails);
    EXPECT_NE(copy.BankDetails.get(), source->BankDetails.get());
    EXPECT_EQ(copy.BankDetails->BSBNumber, "062-000");
    EXPECT_EQ(copy.GetBudget(0), 7);
    EXPECT_EQ(copy.Balance, 12.5);
    EXPECT_TRUE(copy.Flag2);
    EXPECT_EQ(copy.GetPeriodAmount(4), 0.0);
    copy.CopyFrom(*source, true);
    EXPECT_EQ(copy.GetPeriodAmount(4), 3.0);
}

// The stored account, byte by byte: a bank account's details stored under an account code that
// the current format puts outside the balance-sheet range are read and then dropped, and the
// values after them stay in step.
TEST_F(AccountDetailTest, BankDetailsOutsideTheBalanceSheetAreReadAndDropped) {
    const QByteArray bytes = FromHex("02ff02ff03e80302ff" // code: account 1000
                                     "02ff02ff03e80302ff" // code 2
                                     "0605"
                                     "53616c6573" // "Sales"
                                     "01"         // bank details
                                     "0600"
                                     "0600"
                                     "0600"
                                     "0600"
                                     "0603"
                                     "415544"
                                     "05"
                                     "00000000000000000000"
                                     "05"
                                     "00000000000000000000"
                                     "08"
                                     "09"
                                     "00"
                                     "0603"
                                     "424e4b" // "BNK"
                                     "0243"   // 'C'
                                     "05"
                                     "00000000000000000000"
                                     "08"
                                     "08"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0200"
                                     "0205");
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TValueReader reader(buffer);
    TAccountDetail account(Tables.Format());
    account.ReadFromStream(reader);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(account.GetAccount_Code(0), "1000");
    EXPECT_EQ(account.AccountType, "ACC");
    EXPECT_FALSE(account.BankDetails);
    EXPECT_EQ(account.Sign, QLatin1Char('C'));
    EXPECT_EQ(account.GetBudget(12), 5);
}

TEST_F(AccountDetailTest, BadStoredValuesRaiseStreamErrors) {
    auto read = [&](const char* hex) {
        QBuffer buffer;
        buffer.setData(FromHex(hex));
        buffer.open(QIODevice::ReadOnly);
        TValueReader reader(buffer);
        TAccountDetail account(Tables.Format());
        account.ReadFromStream(reader);
    };
    // A code part beyond 16 bits.
    EXPECT_THROW(read("0400000100"), EStreamError);
    // Cut short inside the bank details.
    EXPECT_THROW(read("02ff02ff03e80302ff02ff02ff03e80302ff060001060141"), EStreamError);
    // A sign that is no character code.
    EXPECT_THROW(read("02ff02ff03e80302ff02ff02ff03e80302ff060001000600030001"), EStreamError);
}
