#include "core/charts/BankRecOpeningDetailChart.h"

#include "core/charts/AccountsChart.h"
#include "tests/core/ChartTestSupport.h"

#include <QDir>

namespace {

// "Bank Rec Opening Bals,V5.5", "ABC123", no key.
const char* const Header = "071A"
                           "42616E6B20526563204F70656E696E672042616C732C56352E35"
                           "0706"
                           "414243313233"
                           "0700";

const char* const Account2000 = "02FF02FF03D00702FF";
const char* const Account2001 = "02FF02FF03D10702FF";
const char* const Account2999 = "02FF02FF03B70B02FF";
const char* const Account4500 = "02FF02FF03941102FF";

QByteArray Str(const QByteArray& text) {
    return "06" + QByteArray::number(text.size(), 16).rightJustified(2, '0') + text.toHex();
}

// A stored detail: opened 1/7/2005, cash book 1.50, statement 100.00, first period ending
// 31/7/2005, not reconciled, not completed, second flag set; the slot and its file names.
QByteArray Detail(const char* account, int slot, const QByteArray& slotChar) {
    return QByteArray(account) +
           "05000000000000BEB21240" // 732128
           "0500000000000000C0FF3F" // 1.5
           "0500000000000000000000" // 0
           "0500000000000000C80540" // 100
           "050000000000E0BFB21240" // 732158
           "0500000000000000000000" // 0
           "050000000000000080FFBF" // -1
           "0809" +
           "02" + QByteArray::number(slot, 16).rightJustified(2, '0') + Str("ABC12306.RU" + slotChar) +
           Str("ABC12306.RM" + slotChar);
}

QByteArray FileBytes(const QList<QByteArray>& items) {
    QByteArray hex = QByteArray(Header) + "01";
    for (const QByteArray& item : items)
        hex += item;
    return QByteArray::fromHex(hex + "00");
}

class BankRecOpeningDetailChartTest : public TChartFixture {
protected:
    void SetUp() override {
        TChartFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath(QStringLiteral("BANK_REC")));
        Entity.EndMonth = 6;
        Accounts = std::make_unique<TAccountsChart>(Entity, Tables.Format(), TOptionSet{}, 2006);
        AddAccount(QStringLiteral("1000"), QStringLiteral("ACC"));
        AddAccount(QStringLiteral("2000"), QStringLiteral("BNK"));
        AddAccount(QStringLiteral("2001"), QStringLiteral("BNK"), QStringLiteral("USD"));
        AddAccount(QStringLiteral("4500"), QStringLiteral("ACC"));
    }

    TAccountDetail* AddAccount(const QString& text, const QString& type,
                               const QString& currency = QString()) {
        auto account = std::make_unique<TAccountDetail>(Tables.Format());
        TAccountCode code;
        EXPECT_TRUE(Tables.Format()->TextToCode(text, code, false, false));
        account->SetCode(code);
        account->DeriveAccountType(type);
        if (!currency.isEmpty())
            account->SetBankCurrency(currency);
        TAccountDetail* added = account.get();
        EXPECT_GE(Accounts->AddAccount(std::move(account)), 0);
        return added;
    }

    QString RecPath(const QString& name = QStringLiteral("ABC12306.BOB")) const {
        return Temp.filePath(QStringLiteral("BANK_REC/") + name);
    }

    std::unique_ptr<TBankRecOpeningDetailChart> Chart(const TOptionSet& options = {
                                                          Option::Load}) {
        return std::make_unique<TBankRecOpeningDetailChart>(Entity, Accounts.get(), nullptr, options, 2006);
    }

    std::unique_ptr<TAccountsChart> Accounts;
};

} // namespace

TEST_F(BankRecOpeningDetailChartTest, EveryBankAccountGetsAFreshDetailAndASlot) {
    auto chart = Chart();
    ASSERT_EQ(chart->Count(), 2);
    const TBRecOpeningDetail* first = chart->GetDetail(0);
    EXPECT_EQ(chart->GetCode(0), QStringLiteral("2000"));
    EXPECT_EQ(first->Open_Bal_Date, 732128.0); // 1 July 2005
    EXPECT_EQ(first->PeriodEnd, 732158.0);     // 31 July 2005
    EXPECT_FALSE(first->Completed);
    EXPECT_EQ(first->Slot, 0);
    EXPECT_EQ(first->UnmatchedFile, Temp.path() + QStringLiteral("\\BANK_REC\\ABC12306.RU0"));
    EXPECT_EQ(first->MatchedFile, Temp.path() + QStringLiteral("\\BANK_REC\\ABC12306.RM0"));
    EXPECT_EQ(chart->GetDetail(1)->Currency, QStringLiteral("USD"));
    EXPECT_EQ(chart->GetDetail(1)->Slot, 1);
    QString text;
    chart->GetCodeWithCurrency(1, text);
    EXPECT_EQ(text, QStringLiteral("2001 (USD)"));
    EXPECT_TRUE(chart->Saved);
}

TEST_F(BankRecOpeningDetailChartTest, ThirtySixBankAccountsGiveThirtyFiveDetails) {
    for (int i = 2; i < 36; ++i)
        AddAccount(QString::number(2000 + i), QStringLiteral("BNK"));
    auto chart = Chart();
    ASSERT_EQ(chart->Count(), 35);
    EXPECT_EQ(
        chart->IndexOfAccount(Accounts->GetCodeParts(Accounts->IndexOfCodeText(QStringLiteral("2035")))), -1);
    const TBRecOpeningDetail* eleventh = chart->GetDetail(10);
    EXPECT_EQ(chart->GetCode(10), QStringLiteral("2010"));
    EXPECT_TRUE(eleventh->UnmatchedFile.endsWith(QStringLiteral("ABC12306.RUA")));
    EXPECT_TRUE(eleventh->MatchedFile.endsWith(QStringLiteral("ABC12306.RMA")));
    EXPECT_TRUE(chart->GetDetail(34)->UnmatchedFile.endsWith(QStringLiteral(".RUY")));
}

TEST_F(BankRecOpeningDetailChartTest, StoredDetailsUpdateTheBankAccountsTheyBelongTo) {
    // 2001 stored in slot 5; 4500 is no longer a bank account.
    WriteFile(RecPath(), FileBytes({Detail(Account2001, 5, "5"), Detail(Account4500, 0, "0")}));
    auto chart = Chart();
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_EQ(chart->IndexOf(QStringLiteral("4500")), -1);
    const TBRecOpeningDetail* stored = chart->GetDetail(chart->IndexOf(QStringLiteral("2001")));
    EXPECT_EQ(stored->Slot, 5);
    EXPECT_EQ(stored->Cashbook_Open_Bal, 1.5);
    EXPECT_EQ(stored->Statement_Open_Bal, 100.0);
    EXPECT_TRUE(stored->Flag2);
    EXPECT_EQ(stored->Currency, QStringLiteral("USD")); // from the account, never stored
    EXPECT_TRUE(stored->UnmatchedFile.endsWith(QStringLiteral("\\BANK_REC\\ABC12306.RU5")));
    // The new one takes the lowest free slot.
    EXPECT_EQ(chart->GetDetail(chart->IndexOf(QStringLiteral("2000")))->Slot, 0);
    EXPECT_TRUE(chart->Saved);

    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    QByteArray fresh2000 = QByteArray(Account2000) +
                           "05000000000000BEB21240"
                           "0500000000000000000000"
                           "0500000000000000000000"
                           "0500000000000000000000"
                           "050000000000E0BFB21240"
                           "0500000000000000000000"
                           "050000000000000080FFBF"
                           "0808"
                           "0200" +
                           Str("ABC12306.RU0") + Str("ABC12306.RM0");
    EXPECT_EQ(ReadFile(RecPath()).toHex(), FileBytes({fresh2000, Detail(Account2001, 5, "5")}).toHex());
}

TEST_F(BankRecOpeningDetailChartTest, TwoStoredDetailsInOneSlotAreParted) {
    WriteFile(RecPath(), FileBytes({Detail(Account2000, 3, "3"), Detail(Account2001, 3, "3")}));
    auto chart = Chart();
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_EQ(chart->GetDetail(0)->Slot, 3);
    EXPECT_EQ(chart->GetDetail(1)->Slot, 0);
    EXPECT_TRUE(chart->GetDetail(1)->UnmatchedFile.endsWith(QStringLiteral(".RU0")));
}

TEST_F(BankRecOpeningDetailChartTest, StoredCodesGoThroughTheTranslationList) {
    WriteFile(RecPath(), FileBytes({Detail(Account2999, 7, "7")}));
    auto chart = Chart({});
    chart->CodeTranslation.insert(QStringLiteral("2999"), QStringLiteral("2001"));
    ASSERT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(chart->GetDetail(chart->IndexOf(QStringLiteral("2001")))->Slot, 7);
}

TEST_F(BankRecOpeningDetailChartTest, CompletionCheckAndReset) {
    auto chart = Chart();
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(chart->CheckCompleted(0));
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, QStringLiteral("Reconciliation not completed for account 2000"));
    EXPECT_EQ(Prompt->Beeps.size(), 1);

    TBRecOpeningDetail* detail = chart->GetDetail(0);
    detail->SetCompleted(true);
    EXPECT_EQ(detail->Reconciled_To, 732158.0);
    EXPECT_TRUE(chart->CheckCompleted(0));
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_FALSE(chart->CheckCompleted(5));

    TAccountDetail* account = chart->GetBankAccount(0);
    ASSERT_TRUE(account && account->BankDetails);
    account->BankDetails->Flag2 = true;
    detail->Flag2 = true;
    chart->ResetDetail(0);
    EXPECT_FALSE(detail->Completed);
    EXPECT_FALSE(detail->Flag2);
    EXPECT_EQ(detail->Slot, TBRecOpeningDetail::NoSlot);
    EXPECT_TRUE(detail->UnmatchedFile.isEmpty());
    EXPECT_TRUE(detail->MatchedFile.isEmpty());
    EXPECT_FALSE(account->BankDetails->Flag2);
    EXPECT_FALSE(chart->Saved);
}

TEST_F(BankRecOpeningDetailChartTest, DamagedFileLeavesTheSeededDetailsAndIsProtected) {
    const QByteArray damaged = FileBytes({Detail(Account2000, 3, "3")}).left(60);
    WriteFile(RecPath(), damaged);
    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart({});
    EXPECT_EQ(chart->LoadFromFile({}), -1);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(chart->Count(), 2);
    EXPECT_TRUE(chart->IsSaveBlocked());
    chart->Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(ReadFile(RecPath()), damaged);
}
