#include "core/charts/AccountsChart.h"

#include "core/accounts/AccountGroups.h"
#include "core/charts/StdDescChart.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/ChartTestSupport.h"

#include <QDir>

namespace {

// Pieces of a stored accounts chart, written from the layout.
const char* const HeaderHex = "0716"
                              "4368617274206f66204163636f756e74732c56352e30" // "Chart of Accounts,V5.0"
                              "0706"
                              "414243313233" // "ABC123"
                              "0708"
                              "5155494c56414e45"; // "QUILVANE"
const char* const ForeignHeaderHex = "0716"
                                     "4368617274206f66204163636f756e74732c56352e30"
                                     "0706"
                                     "414243313233"
                                     "0706"
                                     "53494d504c45"; // "SIMPLE"
const char* const ZeroFloat = "0500000000000000000000";
const QByteArray ThirteenZeroBudgets = QByteArray("0200").repeated(13);

// 01-2100-05 "Petty Cash": a sub-account with budgets 300 = 100 + 200 and sign 'B'.
const QByteArray SubAccountHex = QByteArray("0201"
                                            "02ff"
                                            "033408"
                                            "0205" // branch 1, no division, account 2100, sub-account 5
                                            "0201"
                                            "02ff"
                                            "033408"
                                            "0205"
                                            "060a"
                                            "50657474792043617368" // "Petty Cash"
                                            "0100"                 // no bank details
                                            "0603"
                                            "414343" // "ACC"
                                            "0242"   // 'B'
                                            "05"
                                            "000000000040bcb21240" // 732100.0
                                            "0808"
                                            "032c01"
                                            "0264"
                                            "03c800" // budgets: total 300, July 100, August 200
                                            "0200020002000200020002000200020002000200");

// 2000 "Cheque Account": the default bank account with all nine bank details.
const QByteArray BankAccountHex = QByteArray("02ff"
                                             "02ff"
                                             "03d007"
                                             "02ff"
                                             "02ff"
                                             "02ff"
                                             "03d007"
                                             "02ff"
                                             "060e"
                                             "436865717565204163636f756e74"
                                             "01"
                                             "0604"
                                             "4d61696e" // account name "Main"
                                             "0607"
                                             "57657374706163" // bank "Westpac"
                                             "0606"
                                             "313233343536" // account number
                                             "0607"
                                             "3033322d303030" // BSB "032-000"
                                             "0603"
                                             "415544" // "AUD"
                                             "05"
                                             "00000000000000b00140" // 5.5 %
                                             "05"
                                             "00000000000000fa0840" // 1000.0
                                             "09"
                                             "08" // default, second flag clear
                                             "00"
                                             "0603"
                                             "424e4b" // "BNK"
                                             "0244"   // 'D'
                                             "05"
                                             "000000000000b6b21240" // 732000.0
                                             "0808") +
                                  ThirteenZeroBudgets;

// 9000 "Suspense Accounts": the default suspense account, second flag set.
const QByteArray SuspenseAccountHex = QByteArray("02ff"
                                                 "02ff"
                                                 "032823"
                                                 "02ff"
                                                 "02ff"
                                                 "02ff"
                                                 "032823"
                                                 "02ff"
                                                 "0611"
                                                 "53757370656e7365204163636f756e7473"
                                                 "0100"
                                                 "0603"
                                                 "535553"
                                                 "0242") +
                                      ZeroFloat + "0909" + ThirteenZeroBudgets;

QByteArray ChartBytes(const QByteArray& header, const QList<QByteArray>& items) {
    QByteArray hex = header + "01";
    for (const QByteArray& item : items)
        hex += item;
    hex += "00";
    return QByteArray::fromHex(hex);
}

// An account read from hex with another description (for the duplicate tests).
QByteArray WithDescription(const QByteArray& itemHex, const QByteArray& oldText, const QByteArray& newText) {
    QByteArray oldHex = QByteArray::number(oldText.size(), 16).rightJustified(2, '0') + oldText.toHex();
    QByteArray newHex = QByteArray::number(newText.size(), 16).rightJustified(2, '0') + newText.toHex();
    QByteArray result = itemHex;
    result.replace("06" + oldHex, "06" + newHex);
    return result;
}

class AccountsChartTest : public TChartFixture {
protected:
    void SetUp() override {
        TChartFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath(QStringLiteral("M_DETAIL")));
        Entity.EntityType = QStringLiteral("NSP");
        Entity.AccDefault = QStringLiteral("NSP.QUILVANE");
    }

    QString ChartPath(const QString& name = QStringLiteral("ABC12306.ADF")) const {
        return Temp.filePath(QStringLiteral("M_DETAIL/") + name);
    }

    std::unique_ptr<TAccountsChart> Chart(const TOptionSet& options = {}, TStdDescChart* stdDescs = nullptr) {
        return std::make_unique<TAccountsChart>(Entity, Tables.Format(), options, 2006, QString(), stdDescs);
    }

    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(Tables.Format()->TextToCode(text, code, false, false)) << text.toStdString();
        return code;
    }

    int Add(TAccountsChart& chart, const QString& code, const QString& type = QStringLiteral("ACC"),
            const QString& description = QString()) {
        auto account = std::make_unique<TAccountDetail>(Tables.Format());
        account->SetCode(Code(code));
        account->DeriveAccountType(type);
        account->Description = description;
        return chart.AddAccount(std::move(account));
    }
};

} // namespace

TEST_F(AccountsChartTest, StoredChartReadsAndWritesBackByteForByte) {
    const QByteArray bytes = ChartBytes(HeaderHex, {SubAccountHex, BankAccountHex, SuspenseAccountHex});
    WriteFile(ChartPath(), bytes);

    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 3);
    EXPECT_TRUE(chart->Saved);
    EXPECT_EQ(chart->CurrentIndex, 0);
    EXPECT_EQ(chart->GetCode(0), "01-2100-05");
    EXPECT_EQ(chart->GetCode(1), "2000");
    EXPECT_EQ(chart->GetCode(2), "9000");

    const TAccountDetail* sub = chart->GetAccount(0);
    EXPECT_EQ(sub->GetAccount_Description_(), QStringLiteral("  \u00B7 Petty Cash"));
    EXPECT_EQ(sub->GetBudget(0), 300);
    EXPECT_EQ(sub->GetBudget(2), 200);
    EXPECT_EQ(sub->DateAdded, 732100.0);

    const TAccountDetail* bank = chart->GetAccount(1);
    EXPECT_EQ(bank->AccountType, "BNK");
    ASSERT_TRUE(bank->BankDetails);
    EXPECT_EQ(bank->BankDetails->BSBNumber, "032-000");
    EXPECT_EQ(bank->BankDetails->OverdraftInterestRate, 5.5);
    EXPECT_EQ(bank->BankDetails->OverdraftLimit, 1000.0);
    EXPECT_EQ(bank->GetSignText(), "DR");
    EXPECT_EQ(chart->DefaultBankAccount(), 1);
    QString withCurrency;
    chart->GetCodeWithCurrency(1, withCurrency);
    EXPECT_EQ(withCurrency, "2000 (AUD)");

    EXPECT_EQ(chart->DefaultSuspenseAccount(), 2);
    EXPECT_TRUE(chart->GetAccount(2)->Flag2);

    // Nothing changed: the file written is the file read.
    QFile::remove(ChartPath());
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(ReadFile(ChartPath()).toHex(), bytes.toHex());
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(AccountsChartTest, DuplicateCodesInAFileKeepTheFirstUnlessMerging) {
    const QByteArray later = WithDescription(BankAccountHex, "Cheque Account", "Later copy");
    WriteFile(ChartPath(), ChartBytes(HeaderHex, {BankAccountHex, later, SuspenseAccountHex}));

    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_EQ(chart->GetAccount(0)->Description, "Cheque Account");

    auto merged = Chart();
    ASSERT_EQ(merged->LoadFromFile({Option::MergeReplace}), 0);
    ASSERT_EQ(merged->Count(), 2);
    EXPECT_EQ(merged->GetAccount(0)->Description, "Later copy");
    ASSERT_TRUE(merged->GetAccount(0)->BankDetails);
    EXPECT_EQ(merged->GetAccount(0)->BankDetails->BankName, "Westpac");
}

TEST_F(AccountsChartTest, AYearWithoutItsOwnFileStartsFromTheDefaultChart) {
    const QByteArray defaultBytes = ChartBytes(HeaderHex, {BankAccountHex, SuspenseAccountHex});
    WriteFile(ChartPath("NSP.QUILVANE"), defaultBytes);

    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_TRUE(chart->FileNameOverride.isEmpty());
    EXPECT_FALSE(chart->Saved);

    TOptionSet options;
    ASSERT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_EQ(ReadFile(ChartPath()).toHex(), defaultBytes.toHex());
    EXPECT_EQ(ReadFile(ChartPath("NSP.QUILVANE")).toHex(), defaultBytes.toHex());

    // Once the year has its own file, that is the one read.
    WriteFile(ChartPath(), ChartBytes(HeaderHex, {SuspenseAccountHex}));
    auto again = Chart({Option::Load});
    EXPECT_EQ(again->Count(), 1);
    EXPECT_TRUE(again->Saved);
}

TEST_F(AccountsChartTest, DecliningAnotherFormatsChartLeavesItsFileAlone) {
    const QByteArray foreign = ChartBytes(ForeignHeaderHex, {BankAccountHex, SubAccountHex});
    WriteFile(ChartPath(), foreign);
    Prompt->Answer(TMessageButton::Cancel);

    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), ChartResult::ForeignFormat);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(
        Prompt->Shown[0].Text,
        "The chart of accounts being loaded has a format which may not be compatible with current file's "
        "accounts format. Continue anyway ?");
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Cancel | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 16500);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});

    // Nothing of the file, but a default suspense account all the same.
    ASSERT_EQ(chart->Count(), 1);
    EXPECT_EQ(chart->GetCode(0), "9000");
    EXPECT_EQ(chart->DefaultSuspenseAccount(), 0);
    EXPECT_TRUE(chart->IsSaveBlocked());
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    chart.reset();
    EXPECT_EQ(ReadFile(ChartPath()).toHex(), foreign.toHex());
}

TEST_F(AccountsChartTest, AcceptingAnotherFormatsChartTakesItOver) {
    WriteFile(ChartPath(), ChartBytes(ForeignHeaderHex, {BankAccountHex, SuspenseAccountHex}));
    Prompt->Answer(TMessageButton::OK);

    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(chart->Count(), 2);
    EXPECT_FALSE(chart->Saved);
    TOptionSet options;
    ASSERT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_EQ(ReadFile(ChartPath()).toHex(),
              ChartBytes(HeaderHex, {BankAccountHex, SuspenseAccountHex}).toHex());
}

TEST_F(AccountsChartTest, CodesChangeOnlyThroughTheChart) {
    auto chart = Chart();
    Add(*chart, "1000");
    Add(*chart, "2000", "BNK");
    TAccountDetail* account = chart->GetAccount(0);
    EXPECT_FALSE(account->SetCode(Code("3000")));

    // A code another account has is refused, through the chart or through the list column.
    EXPECT_EQ(chart->ChangeCode(0, Code("2000")), -1);
    EXPECT_FALSE(account->SetAccount_Code(0, "2000"));
    EXPECT_EQ(chart->GetCode(0), "1000");
    EXPECT_EQ(account->GetAccount_Code(0), "1000");
    EXPECT_EQ(chart->ChangeCode(0, QStringLiteral("not a code")), -1);

    // A free code re-files the account.
    EXPECT_TRUE(account->SetAccount_Code(0, "3000"));
    EXPECT_EQ(chart->IndexOfCode(Code("3000")), 1);
    EXPECT_EQ(chart->IndexOfCode(Code("1000")), -1);
    EXPECT_EQ(chart->GetAccount(1), account);
    EXPECT_EQ(chart->ChangeCode(1, QStringLiteral("01-3000-02")), 0);
    EXPECT_EQ(chart->GetCode(0), "01-3000-02");
    EXPECT_EQ(chart->MaxCodeLength(), 10);

    // Taken out of the chart, the account is free to change again.
    auto taken = chart->DeleteItem(0, false);
    ASSERT_TRUE(taken);
    EXPECT_TRUE(static_cast<TAccountDetail*>(taken.get())->SetCode(Code("4000")));
    EXPECT_EQ(Add(*chart, "2000"), -1);
}

TEST_F(AccountsChartTest, AccountNumberSearchesWalkTheChart) {
    // In formatted-code order the branch leads: account numbers 1000, 500, 3000.
    auto chart = Chart();
    Add(*chart, "01-1000");
    Add(*chart, "02-0500");
    Add(*chart, "3000");
    ASSERT_EQ(chart->GetCode(1), "02-0500");
    EXPECT_EQ(chart->LowerBoundAccountNo(900), 0);
    EXPECT_EQ(chart->LowerBoundAccountNo(1001), 2);
    EXPECT_EQ(chart->LowerBoundAccountNo(4000), 3);

    TAccountGroups groups(Tables.Format());
    auto group = std::make_unique<TAccountGroup>(QStringLiteral("low"), Code("0400"), Tables.Format());
    group->SetToCode(Code("99-0999-99"));
    groups.AddGroup(QStringLiteral("LOW"), std::move(group));
    EXPECT_EQ(chart->FirstAccountInGroup(groups, 0), 1);
    EXPECT_EQ(chart->LastAccountInGroup(groups, 0), 1);
    EXPECT_EQ(chart->FirstAccountInGroup(groups, 5), -1);
}

TEST_F(AccountsChartTest, ConsolidationLevels) {
    auto chart = Chart();
    Add(*chart, "03-1000-07");
    Add(*chart, "00-1000-00");
    Add(*chart, "00-1000-07");
    Add(*chart, "03-1000-00");
    Add(*chart, "1000", "CTL");
    Add(*chart, "2000");
    Add(*chart, "03-2000-07");
    auto index = [&](const QString& code) { return chart->IndexOfCode(Code(code)); };
    const TAccountCode code = Code("03-1000-07");
    ASSERT_EQ(index("03-1000-07"), 3);

    EXPECT_EQ(chart->FindConsolidatedAccount(code, 1), index("00-1000-07"));
    EXPECT_EQ(chart->FindConsolidatedAccount(code, 2), index("00-1000-00"));
    EXPECT_EQ(chart->FindConsolidatedAccount(code, 3), index("03-1000-07")); // no division
    EXPECT_EQ(chart->FindConsolidatedAccount(code, 4), index("03-1000-00"));
    EXPECT_EQ(chart->FindConsolidatedAccount(code, 5), index("00-1000-00"));
    EXPECT_EQ(chart->FindConsolidatedAccount(code, 6), index("03-1000-00"));
    EXPECT_EQ(chart->FindConsolidatedAccount(code, 9), index("1000"));
    for (int level : {0, 7, 8, 10, -1})
        EXPECT_EQ(chart->FindConsolidatedAccount(code, level), index("03-1000-07")) << level;
    // Level 9 takes only a control account; a rolled-up code not in the chart keeps the code.
    EXPECT_EQ(chart->FindConsolidatedAccount(Code("03-2000-07"), 9), index("03-2000-07"));
    EXPECT_EQ(chart->FindConsolidatedAccount(Code("03-2000-07"), 1), index("03-2000-07"));

    // Division rules, on a format with a division (lowest branch and division 0).
    const TAccountFormat* cee = Tables.Format("CEE DATA");
    const TAccountCode both = MakeCode(3, 4, 1000, 7);
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(cee, both, 3), MakeCode(3, 0, 1000, 7));
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(cee, both, 4), MakeCode(3, 0, 1000, 0));
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(cee, both, 5), MakeCode(0, 0, 1000, 0));
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(cee, MakeCode(-1, 4, 1000, 7), 5), MakeCode(-1, 0, 1000, 0));
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(cee, MakeCode(-1, -1, 1000, 7), 2), MakeCode(-1, -1, 1000, 0));
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(cee, both, 9), MakeCode(-1, -1, 1000, -1));
    auto noAll = AccountOnlyFormat(false);
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(noAll.get(), both, 9), both);
}

TEST_F(AccountsChartTest, OldCodeTexts) {
    auto chart = Chart();
    EXPECT_EQ(chart->ConvertOldCodeText("01/2000-05"), "01-2000-05");
    EXPECT_EQ(chart->ConvertOldCodeText("01-2000/05"), "01-2000-05");
    EXPECT_EQ(chart->ConvertOldCodeText("2000"), "2000");

    // A format without a separator after the account number drops the old ones.
    auto plain = AccountOnlyFormat();
    EXPECT_EQ(TAccountsChart::ConvertOldCodeText("PAXUS", plain.get(), "20/00-"), "2000");
    EXPECT_EQ(TAccountsChart::ConvertOldCodeText("handiledger", plain.get(), "12/34"), "1234");

    // Each old separator is replaced where it stood, not where an earlier replacement put one.
    const TAccountFormat* cee = Tables.Format("CEE DATA");
    EXPECT_EQ(TAccountsChart::ConvertOldCodeText("CEE DATA", cee, "01/02.1234-05"), "01-02.1234/05");
    EXPECT_EQ(TAccountsChart::ConvertOldCodeText("SIMPLE", cee, "01/02.1234-05"), "01/02.1234-05");
}

TEST_F(AccountsChartTest, EnsureSuspenseAccount) {
    auto empty = Chart();
    empty->EnsureSuspenseAccount();
    ASSERT_EQ(empty->Count(), 1);
    const TAccountDetail* made = empty->GetAccount(0);
    EXPECT_EQ(empty->GetCode(0), "9000");
    EXPECT_EQ(made->Description, "Suspense Accounts");
    EXPECT_EQ(made->AccountType, "SUS");
    EXPECT_TRUE(made->IsDefaultSuspense);
    EXPECT_FALSE(empty->Saved);

    auto chart = Chart();
    Add(*chart, "1000");
    Add(*chart, "9100", "SUS");
    Add(*chart, "9200", "SUS");
    chart->Saved = true;
    chart->EnsureSuspenseAccount();
    EXPECT_EQ(chart->Count(), 3);
    EXPECT_EQ(chart->DefaultSuspenseAccount(), 1);
    EXPECT_FALSE(chart->Saved);

    chart->SetDefaultAccount(2, true);
    EXPECT_EQ(chart->DefaultSuspenseAccount(), 2);
    EXPECT_FALSE(chart->GetAccount(1)->IsDefaultSuspense);
    chart->SetDefaultAccount(0, true); // an ordinary account is nobody's default
    EXPECT_FALSE(chart->GetAccount(0)->IsDefault());

    auto applied = std::make_unique<TAccountDetail>(Tables.Format());
    applied->SetCode(Code("9300"));
    chart->ApplySuspenseRange(*applied);
    EXPECT_EQ(applied->AccountType, "SUS");
}

TEST_F(AccountsChartTest, LookupsByText) {
    auto chart = Chart();
    Add(*chart, "1000", "ACC", "Sales");
    Add(*chart, "2000", "BNK", "Cheque Account");
    Add(*chart, "2100", "ACC", "Petty cash");
    int kind = -1;
    EXPECT_EQ(chart->FindAccountByText("20", false, kind), 1);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(chart->FindAccountByText("CASH", false, kind), 2);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(chart->FindAccountByText("cash", true, kind), -1);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(chart->FindAccountByText("petty cash", true, kind), 2);
    EXPECT_EQ(chart->FindAccountByText("2", false, kind, 2), 2);
    EXPECT_EQ(kind, 1);

    EXPECT_EQ(chart->IndexOfCodeText("2000"), 1);
    EXPECT_EQ(chart->IndexOfCodeText("5000"), -1);
    EXPECT_EQ(chart->IndexOfCodeText("abc"), TAccountsChart::InvalidCodeText);

    TAccountsChart::TEditState edit{QStringLiteral("21"), 2, 0};
    EXPECT_TRUE(chart->AutoCompleteEdit(edit));
    EXPECT_EQ(edit.Text, "2100");
    EXPECT_EQ(edit.SelStart, 2);
    EXPECT_EQ(edit.SelLength, 2);
    edit = {QStringLiteral("Chexx"), 3, 0};
    EXPECT_TRUE(chart->AutoCompleteEdit(edit));
    EXPECT_EQ(edit.Text, "Cheque Account");
    EXPECT_EQ(edit.SelLength, 11);
    edit = {QStringLiteral("cash"), 4, 0}; // found inside a description only
    EXPECT_FALSE(chart->AutoCompleteEdit(edit));
    EXPECT_EQ(edit.Text, "cash");
    edit = {QString(), 0, 0};
    EXPECT_FALSE(chart->AutoCompleteEdit(edit));
}

TEST_F(AccountsChartTest, ControlAndBankAccounts) {
    auto chart = Chart();
    Add(*chart, "1000", "CTL");
    Add(*chart, "01-1000-05");
    Add(*chart, "4000");
    Add(*chart, "01-4000");
    EXPECT_EQ(chart->FindControlAccountOf(chart->IndexOfCode(Code("01-1000-05"))),
              chart->IndexOfCode(Code("1000")));
    EXPECT_EQ(chart->FindControlAccount(Code("01-4000")), -1);
    EXPECT_TRUE(chart->IsNonPostingAccount(chart->IndexOfCode(Code("1000"))));
    EXPECT_FALSE(chart->IsNonPostingAccount(chart->IndexOfCode(Code("4000"))));

    for (int i = 0; i < 40; ++i)
        Add(*chart, QStringLiteral("%1-2000").arg(i, 2, 10, QLatin1Char('0')), "BNK");
    EXPECT_EQ(chart->CountBankAccounts(), 35);
    chart->GetAccount(chart->IndexOfCode(Code("05-2000")))->BankDetails->Flag2 = true;
    chart->GetAccount(chart->IndexOfCode(Code("06-2000")))->BankDetails->Flag2 = true;
    chart->ClearBankDetailsFlag(chart->IndexOfCode(Code("05-2000")));
    EXPECT_FALSE(chart->GetAccount(chart->IndexOfCode(Code("05-2000")))->BankDetails->Flag2);
    EXPECT_TRUE(chart->GetAccount(chart->IndexOfCode(Code("06-2000")))->BankDetails->Flag2);
    chart->ClearBankDetailsFlag(-1);
    EXPECT_FALSE(chart->GetAccount(chart->IndexOfCode(Code("06-2000")))->BankDetails->Flag2);

    QString text;
    std::unique_ptr<TAccountGroups> groups;
    EXPECT_TRUE(chart->GetBankAccountGroups(text, false, groups));
    EXPECT_EQ(text, "00-2000");
    ASSERT_TRUE(groups);
    EXPECT_EQ(groups->Count(), 1);
    EXPECT_TRUE(chart->GetBankAccountGroups(text, true, groups));
    EXPECT_EQ(groups->Count(), 40);
}

TEST_F(AccountsChartTest, WorkingAmounts) {
    auto chart = Chart();
    Add(*chart, "1000");
    chart->AddToAccountBalance(0, 10.5);
    chart->AddToAccountBalance(0, 2.0);
    chart->AddToAccountTotal(0, 3.0);
    chart->AddToAccountQuantity(0, 4);
    chart->AddToAccountBalance(-1, 99.0);
    EXPECT_EQ(chart->GetAccountBalance(0), 12.5);
    EXPECT_EQ(chart->GetAccountBalance(-1), 0.0);
    TAccountDetail* account = chart->GetAccount(0);
    account->Used = true;
    account->SetPeriodAmount(60, 1.0);
    account->SetColumnQuantity(2, 3);
    EXPECT_EQ(account->GetPeriodAmount(60), 1.0);
    EXPECT_EQ(account->GetPeriodAmount(70), 0.0);
    chart->ClearAccountBalances();
    chart->ClearUsedFlags();
    chart->ClearAllAccountAmounts();
    EXPECT_EQ(account->Balance, 0.0);
    EXPECT_EQ(account->Total, 0.0);
    EXPECT_EQ(account->Quantity, 0);
    EXPECT_FALSE(account->Used);
    EXPECT_EQ(account->GetPeriodAmount(60), 0.0);
    EXPECT_EQ(account->GetColumnQuantity(2), 0);
    EXPECT_EQ(chart->GetCodeParts(-1), TAccountCode::Empty());
    EXPECT_EQ(chart->GetCodeParts(0), Code("1000"));
}

TEST_F(AccountsChartTest, BranchAndDivisionDescriptions) {
    TStdDescChart descriptions(Entity, {}, 2006);
    descriptions.AddDescription(QStringLiteral("BRANCH02"), QStringLiteral("Sydney office"));
    descriptions.Saved = true;
    WriteFile(ChartPath(), ChartBytes(HeaderHex, {SubAccountHex, SuspenseAccountHex}));

    auto chart = Chart({Option::Load}, &descriptions);
    EXPECT_GE(descriptions.IndexOfAbbreviation("BRANCH01"), 0);
    EXPECT_EQ(descriptions.GetStdDescription(descriptions.IndexOfAbbreviation("BRANCH01"))->Description,
              "BRANCH 01");
    EXPECT_FALSE(descriptions.Saved);
    EXPECT_EQ(chart->GetAccount(0)->GetBranchText(), "Branch: BRANCH 01");
    EXPECT_EQ(chart->GetAccount(0)->GetBranchDivisionText(), "Branch: BRANCH 01");
    EXPECT_EQ(chart->GetAccount(1)->GetBranchText(), "");

    // An existing description is kept and used; descriptions in an account are expanded.
    Add(*chart, "02-3000", "ACC", "Rent ~BRANCH02");
    chart->AddBranchDivisionDescriptions();
    const TAccountDetail* rent = chart->GetAccount(chart->IndexOfCode(Code("02-3000")));
    EXPECT_EQ(rent->GetBranchText(), "Branch: Sydney office");
    EXPECT_EQ(rent->GetAccount_Description_(), "Rent Sydney office");
}

TEST_F(AccountsChartTest, DamagedFilesAreReportedAndNeverOverwritten) {
    QByteArray bytes = ChartBytes(HeaderHex, {BankAccountHex, SuspenseAccountHex});
    bytes.chop(20);
    WriteFile(ChartPath(), bytes);
    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart({Option::Load});
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(Prompt->Shown[0].Text.startsWith("Unable to load 2006 Accounts file for ABC123."));
    EXPECT_TRUE(chart->IsSaveBlocked());
    EXPECT_EQ(chart->DefaultSuspenseAccount(), 0);
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(ReadFile(ChartPath()), bytes);
}

TEST_F(AccountsChartTest, AChartForAnotherFormatCarriesThatFormatsKey) {
    auto chart = TAccountsChart::CreateForFormat(Entity, QStringLiteral("SIMPLE"), Tables.Format("SIMPLE"));
    EXPECT_EQ(chart->HeaderKey, "SIMPLE");
    EXPECT_EQ(chart->Year, -1);
    EXPECT_EQ(chart->Count(), 0);
    Add(*chart, "1000");
    chart->SetFileName(ChartPath("CONVERT.ADF"));
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_TRUE(ReadFile(ChartPath("CONVERT.ADF")).startsWith(QByteArray::fromHex(ForeignHeaderHex)));
}
