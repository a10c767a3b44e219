#include "core/charts/AccountsChart.h"

#include "core/accounts/AccountGroups.h"
#include "core/charts/StdDescChart.h"
#include "core/io/StreamError.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/ChartTestSupport.h"

#include <QFile>

namespace {

const QString AdfFile = QStringLiteral("M_DETAIL/ABC12306.ADF");

QByteArray AccountsFile(const QStringList& items, const QString& header = QStringLiteral("header")) {
    return StoredChart(QStringLiteral("accounts"), header, items);
}

class AccountsChartTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Entity.AccDefault = QStringLiteral("NSP.QUILVANE");
    }

    std::unique_ptr<TAccountsChart> Chart(const TOptionSet& options = {}, TStdDescChart* stdDescs = nullptr) {
        return std::make_unique<TAccountsChart>(Entity, Format(), options, 2006, QString(), stdDescs);
    }

    std::unique_ptr<TAccountDetail> Account(const QString& code, const QString& type = QString()) {
        auto account = std::make_unique<TAccountDetail>(Format());
        account->SetCode(Code(code));
        if (!type.isEmpty())
            account->DeriveAccountType(type);
        return account;
    }
    int Add(TAccountsChart& chart, const QString& code, const QString& type = QStringLiteral("ACC"),
            const QString& description = QString()) {
        auto account = Account(code, type);
        account->Description = description;
        return chart.AddAccount(std::move(account));
    }
};

} // namespace

// ---- Stored chart ---------------------------------------------------------------------------

TEST_F(AccountsChartTest, StoredChartReadsAndWritesBackByteForByte) {
    const QByteArray bytes = AccountsFile({"sub-account", "bank", "suspense"});
    Write(AdfFile, bytes);
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 3);
    EXPECT_TRUE(chart->Saved);
    EXPECT_EQ(chart->CurrentIndex, 0);
    EXPECT_EQ(QStringList({chart->GetCode(0), chart->GetCode(1), chart->GetCode(2)}),
              QStringList({"01-2100-05", "2000", "9000"}));

    const TAccountDetail* sub = chart->GetAccount(0);
    EXPECT_EQ(sub->GetAccount_Description_(), QStringLiteral("  \u00B7 Petty Cash"));
    EXPECT_EQ(sub->GetBudget(0), 300);
    EXPECT_EQ(sub->GetBudget(2), 200);
    EXPECT_EQ(sub->DateAdded, 732100.0);
    const TAccountDetail* bank = chart->GetAccount(1);
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

    QFile::remove(TempPath(AdfFile));
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(Read(AdfFile).toHex(), bytes.toHex());
}

TEST_F(AccountsChartTest, DuplicateCodesInAFileKeepTheFirstUnlessMerging) {
    QByteArray later = Stored("accounts", "bank");
    later.replace(QByteArray("\x0e"
                             "Cheque Account"),
                  QByteArray("\x0a"
                             "Later copy"));
    Write(AdfFile, AccountsFile({"bank"}).chopped(1) + later + QByteArray(1, '\0'));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2); // the default suspense account was added
    EXPECT_EQ(chart->GetAccount(0)->Description, "Cheque Account");

    auto merged = Chart();
    ASSERT_EQ(merged->LoadFromFile({Option::MergeReplace}), 0);
    ASSERT_EQ(merged->Count(), 2);
    EXPECT_EQ(merged->GetAccount(0)->Description, "Later copy");
    EXPECT_EQ(merged->GetAccount(0)->BankDetails->BankName, "Westpac");
}

// ---- Which file ---------------------------------------------------------------------------

TEST_F(AccountsChartTest, AYearWithoutItsOwnFileStartsFromTheDefaultChart) {
    const QByteArray defaults = AccountsFile({"bank", "suspense"});
    const struct {
        QString AccDefault;
        QString Written; // where the default chart lies, inside the data folder
    } cases[] = {
        {"NSP.QUILVANE", "M_DETAIL/NSP.QUILVANE"},
        {"DEFAULTS\\NSP.ADF", "DEFAULTS/NSP.ADF"}, // a relative folder is the data folder's
        {TempPath("ELSEWHERE/NSP.ADF"), "ELSEWHERE/NSP.ADF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.AccDefault.toStdString());
        QFile::remove(TempPath(AdfFile));
        Write(c.Written, defaults);
        Entity.AccDefault = c.AccDefault;
        auto chart = Chart({Option::Load});
        ASSERT_EQ(chart->Count(), 2);
        EXPECT_TRUE(Prompt->Shown.isEmpty());
        EXPECT_FALSE(chart->Saved);
        TOptionSet options;
        ASSERT_EQ(chart->SaveIfModified(options), 0);
        EXPECT_EQ(Read(AdfFile), defaults);
        EXPECT_EQ(Read(c.Written), defaults);
    }
    // A full path is taken as it stands.
    for (const QString& full : {QStringLiteral("X:\\CHARTS\\NSP.ADF"), QStringLiteral("\\CHARTS\\NSP.ADF")}) {
        Entity.AccDefault = full;
        EXPECT_EQ(Chart()->DefaultChartName(), full);
    }
    // Once the year has its own file, that is the one read.
    Write(AdfFile, AccountsFile({"suspense"}));
    EXPECT_EQ(Chart({Option::Load})->Count(), 1);
}

TEST_F(AccountsChartTest, NeitherTheYearsFileNorTheDefaultChartIsAFailure) {
    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), -1);
    EXPECT_EQ(Prompt->Texts(), QStringList{QStringLiteral(
                                   "Unable to load 2006 Accounts file for ABC123. \r(File not found)")});
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Retry | TMessageButton::Ignore);
    EXPECT_EQ(chart->Count(), 1); // the default suspense account all the same
    EXPECT_EQ(Chart()->LoadFromFile({Option::Silent}), -1);
    EXPECT_EQ(Prompt->Shown.size(), 1);

    // Nothing on disk is lost, so the new chart can be written.
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_EQ(Chart({Option::Load})->GetCode(0), "9000");
    EXPECT_EQ(Prompt->Shown.size(), 1);
}

TEST_F(AccountsChartTest, AFileNameGivenToTheChartIsReadInsteadOfTheYearsFile) {
    Write(AdfFile, AccountsFile({"bank", "suspense"}));
    Write(QStringLiteral("MINE.ADF"), AccountsFile({"suspense"}));
    TAccountsChart chart(Entity, Format(), {Option::Load}, 2006, TempPath(QStringLiteral("MINE.ADF")));
    EXPECT_EQ(chart.Count(), 1);
    EXPECT_TRUE(chart.Saved);
    EXPECT_TRUE(chart.FileNameOverride.isEmpty());
}

TEST_F(AccountsChartTest, DecliningAnotherFormatsChartLeavesItsFileAlone) {
    const QByteArray foreign = AccountsFile({"bank", "sub-account"}, QStringLiteral("foreign-header"));
    Write(AdfFile, foreign);
    Prompt->Answer(TMessageButton::Cancel);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), ChartResult::ForeignFormat);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{"The chart of accounts being loaded has a format which may not be compatible with "
                          "current file's accounts format. Continue anyway ?"});
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Cancel | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 16500);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});

    // Nothing of the file, but a default suspense account all the same.
    ASSERT_EQ(chart->Count(), 1);
    EXPECT_EQ(chart->DefaultSuspenseAccount(), 0);
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(Read(AdfFile), foreign);
}

TEST_F(AccountsChartTest, AcceptingAnotherFormatsChartTakesItOver) {
    Write(AdfFile, AccountsFile({"bank", "suspense"}, QStringLiteral("foreign-header")));
    Prompt->Answer(TMessageButton::OK);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(chart->Count(), 2);
    TOptionSet options;
    ASSERT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_EQ(Read(AdfFile), AccountsFile({"bank", "suspense"}));
}

TEST_F(AccountsChartTest, DamagedFilesAreReportedAndNeverOverwritten) {
    const QByteArray bytes = AccountsFile({"bank", "suspense"}).chopped(20);
    Write(AdfFile, bytes);
    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart({Option::Load});
    EXPECT_TRUE(
        Prompt->Texts().value(0).startsWith("Unable to load 2006 Accounts file for ABC123. \r(Stream"));
    EXPECT_EQ(chart->DefaultSuspenseAccount(), 0);
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(Read(AdfFile), bytes);
}

TEST_F(AccountsChartTest, AChartForAnotherFormatCarriesThatFormatsKey) {
    auto chart = TAccountsChart::CreateForFormat(Entity, QStringLiteral("SIMPLE"), Format());
    EXPECT_EQ(chart->Year, -1);
    chart->SetFileName(TempPath(QStringLiteral("CONVERT.ADF")));
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(Read(QStringLiteral("CONVERT.ADF")), AccountsFile({}, QStringLiteral("foreign-header")));
}

// ---- Items ----------------------------------------------------------------------------------

TEST_F(AccountsChartTest, CodesChangeOnlyThroughTheChart) {
    auto chart = Chart();
    Add(*chart, "1000");
    Add(*chart, "2000", "BNK");
    TAccountDetail* account = chart->GetAccount(0);
    EXPECT_FALSE(account->SetCode(Code("3000")));
    // A code another account has is refused, through the chart or through the list column.
    EXPECT_EQ(chart->ChangeCode(0, Code("2000")), -1);
    EXPECT_FALSE(account->SetAccount_Code(0, "2000"));
    EXPECT_EQ(chart->ChangeCode(0, QStringLiteral("not a code")), -1);
    EXPECT_EQ(account->GetAccount_Code(0), "1000");
    // A free code re-files the account.
    EXPECT_TRUE(account->SetAccount_Code(0, "3000"));
    EXPECT_EQ(chart->IndexOfCode(Code("1000")), -1);
    EXPECT_EQ(chart->GetAccount(1), account);
    EXPECT_EQ(chart->ChangeCode(1, QStringLiteral("01-3000-02")), 0);
    EXPECT_EQ(chart->MaxCodeLength(), 10);
    // Taken out of the chart, the account is free to change again.
    auto taken = chart->DeleteItem(0, false);
    EXPECT_TRUE(static_cast<TAccountDetail*>(taken.get())->SetCode(Code("4000")));
    EXPECT_EQ(Add(*chart, "2000"), -1);
}

TEST_F(AccountsChartTest, AccountNumberSearchesWalkTheChart) {
    // In formatted-code order the branch leads: account numbers 1000, 500, 3000.
    auto chart = Chart();
    for (const char* code : {"01-1000", "02-0500", "3000"})
        Add(*chart, code);
    EXPECT_EQ(chart->LowerBoundAccountNo(900), 0);
    EXPECT_EQ(chart->LowerBoundAccountNo(1000), 0);
    EXPECT_EQ(chart->LowerBoundAccountNo(1001), 2);
    EXPECT_EQ(chart->LowerBoundAccountNo(4000), 3);

    TAccountGroups groups(Format());
    auto group = std::make_unique<TAccountGroup>(QStringLiteral("low"), Code("0400"), Format());
    group->SetToCode(Code("99-0999-99"));
    groups.AddGroup(QStringLiteral("LOW"), std::move(group));
    EXPECT_EQ(chart->FirstAccountInGroup(groups, 0), 1);
    EXPECT_EQ(chart->LastAccountInGroup(groups, 0), 1);
    EXPECT_EQ(chart->FirstAccountInGroup(groups, 1), -1);
}

TEST_F(AccountsChartTest, ConsolidationLevels) {
    auto chart = Chart();
    for (const char* code : {"03-1000-07", "00-1000-00", "00-1000-07", "03-1000-00", "2000", "03-2000-07"})
        Add(*chart, code);
    Add(*chart, "1000", "CTL");
    const struct {
        const char* Code;
        int Level;
        const char* Found;
    } found[] = {{"03-1000-07", 1, "00-1000-07"},
                 {"03-1000-07", 2, "00-1000-00"},
                 {"03-1000-07", 3, "03-1000-07"},
                 {"03-1000-07", 4, "03-1000-00"},
                 {"03-1000-07", 5, "00-1000-00"},
                 {"03-1000-07", 6, "03-1000-00"},
                 {"03-1000-07", 9, "1000"},
                 {"03-1000-07", 0, "03-1000-07"},
                 {"03-1000-07", 7, "03-1000-07"},
                 {"03-1000-07", 8, "03-1000-07"},
                 {"03-1000-07", 10, "03-1000-07"},
                 // Level 9 takes only a control account; a code not in the chart keeps the code.
                 {"03-2000-07", 9, "03-2000-07"},
                 {"03-2000-07", 1, "03-2000-07"}};
    for (const auto& f : found)
        EXPECT_EQ(chart->GetCode(chart->FindConsolidatedAccount(Code(f.Code), f.Level)), f.Found)
            << f.Code << " " << f.Level;

    // Division rules, on a format with a division (lowest branch and division 0).
    const TAccountFormat* cee = Format("CEE DATA");
    const TAccountCode both = MakeCode(3, 4, 1000, 7);
    const struct {
        TAccountCode Code;
        int Level;
        TAccountCode Expected;
    } codes[] = {{both, 3, MakeCode(3, 0, 1000, 7)},
                 {both, 4, MakeCode(3, 0, 1000, 0)},
                 {MakeCode(3, -1, 1000, 7), 4, MakeCode(3, -1, 1000, 0)},
                 {both, 5, MakeCode(0, 0, 1000, 0)},
                 {MakeCode(-1, 4, 1000, 7), 5, MakeCode(-1, 0, 1000, 0)},
                 {MakeCode(-1, -1, 1000, 7), 2, MakeCode(-1, -1, 1000, 0)},
                 {both, 9, MakeCode(-1, -1, 1000, -1)}};
    for (const auto& c : codes)
        EXPECT_EQ(TAccountsChart::ConsolidatedCode(cee, c.Code, c.Level), c.Expected) << c.Level;
    auto noAll = AccountOnlyFormat(false);
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(noAll.get(), both, 9), both);
}

TEST_F(AccountsChartTest, OldCodeTexts) {
    auto plain = AccountOnlyFormat();
    const struct {
        const char* FormatID;
        const TAccountFormat* Format;
        const char* Text;
        const char* Expected;
    } cases[] = {{"QUILVANE", Format(), "01/2000-05", "01-2000-05"},
                 {"QUILVANE", Format(), "01-2000/05", "01-2000-05"},
                 {"PAXUS", plain.get(), "20/00-", "2000"}, // no separator: the old ones go
                 {"handiledger", plain.get(), "12/34", "1234"},
                 // Each old separator is replaced where it stood, not where a replacement put one.
                 {"CEE DATA", Format("CEE DATA"), "01/02.1234-05", "01-02.1234/05"},
                 {"SIMPLE", Format("CEE DATA"), "01/02.1234-05", "01/02.1234-05"}};
    for (const auto& c : cases)
        EXPECT_EQ(TAccountsChart::ConvertOldCodeText(c.FormatID, c.Format, c.Text), c.Expected) << c.Text;
    EXPECT_EQ(Chart()->ConvertOldCodeText("01/2000-05"), "01-2000-05");
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
    auto applied = Account("9300");
    chart->ApplySuspenseRange(*applied);
    EXPECT_EQ(applied->AccountType, "SUS");
}

TEST_F(AccountsChartTest, LookupsByText) {
    auto chart = Chart();
    Add(*chart, "1000", "ACC", "Sales");
    Add(*chart, "2000", "BNK", "Cheque Account");
    Add(*chart, "2100", "ACC", "Petty cash");
    const struct {
        const char* Text;
        bool Exact;
        int Start;
        int Index;
        int Kind;
    } finds[] = {{"20", false, 0, 1, 1},        {"CASH", false, 0, 2, 2}, {"cash", true, 0, -1, 0},
                 {"petty cash", true, 0, 2, 2}, {"2", false, 2, 2, 1},    {"2000", true, 2, -1, 0}};
    for (const auto& f : finds) {
        int kind = -1;
        EXPECT_EQ(chart->FindAccountByText(f.Text, f.Exact, kind, f.Start), f.Index) << f.Text;
        EXPECT_EQ(kind, f.Kind) << f.Text;
    }
    EXPECT_EQ(chart->IndexOfCodeText("2000"), 1);
    EXPECT_EQ(chart->IndexOfCodeText("5000"), -1);
    EXPECT_EQ(chart->IndexOfCodeText("abc"), TAccountsChart::InvalidCodeText);

    const struct {
        TAccountsChart::TEditState Edit;
        bool Changed;
        TAccountsChart::TEditState After;
    } edits[] = {{{"21", 2, 0}, true, {"2100", 2, 2}},
                 {{"Chexx", 3, 0}, true, {"Cheque Account", 3, 11}},
                 {{"cash", 4, 0}, false, {"cash", 4, 0}}, // found inside a description only
                 {{"", 0, 0}, false, {"", 0, 0}}};
    for (const auto& e : edits) {
        TAccountsChart::TEditState edit = e.Edit;
        EXPECT_EQ(chart->AutoCompleteEdit(edit), e.Changed);
        EXPECT_EQ(edit.Text, e.After.Text);
        EXPECT_EQ(edit.SelStart, e.After.SelStart);
        EXPECT_EQ(edit.SelLength, e.After.SelLength);
    }
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
    const auto flag = [&](const char* code) -> bool& {
        return chart->GetAccount(chart->IndexOfCode(Code(code)))->BankDetails->Flag2;
    };
    flag("05-2000") = flag("06-2000") = true;
    chart->ClearBankDetailsFlag(chart->IndexOfCode(Code("05-2000")));
    EXPECT_FALSE(flag("05-2000"));
    EXPECT_TRUE(flag("06-2000"));
    chart->ClearBankDetailsFlag(-1);
    EXPECT_FALSE(flag("06-2000"));

    QString text;
    std::unique_ptr<TAccountGroups> groups;
    EXPECT_TRUE(chart->GetBankAccountGroups(text, false, groups));
    EXPECT_EQ(text, "00-2000");
    EXPECT_EQ(groups->Count(), 1);
    EXPECT_TRUE(chart->GetBankAccountGroups(text, true, groups));
    EXPECT_EQ(groups->Count(), 40);

    // A chart without an account format reports the codes it has but cannot parse them.
    Entity.AccFormatID = QStringLiteral("UNKNOWN");
    TAccountsChart noFormat(Entity, nullptr, {}, 2006);
    auto bank = Account("2000", "BNK");
    ASSERT_GE(noFormat.AddAccount(std::move(bank)), 0);
    EXPECT_FALSE(noFormat.GetBankAccountGroups(text, true, groups));
    EXPECT_EQ(groups, nullptr);
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
    EXPECT_EQ(account->Total, 3.0);
    EXPECT_EQ(account->Quantity, 4);
    account->Used = true;
    account->SetPeriodAmount(60, 1.0);
    account->SetColumnQuantity(2, 3);
    EXPECT_EQ(account->GetPeriodAmount(60), 1.0);
    chart->ClearAccountBalances();
    chart->ClearUsedFlags();
    chart->ClearAllAccountAmounts();
    EXPECT_EQ(account->Balance + account->Total + account->Quantity, 0.0);
    EXPECT_FALSE(account->Used);
    EXPECT_EQ(account->GetPeriodAmount(60), 0.0);
    EXPECT_EQ(account->GetColumnQuantity(2), 0);
    EXPECT_EQ(chart->GetCodeParts(-1), TAccountCode::Empty());
    EXPECT_EQ(chart->GetCodeParts(0), Code("1000"));
}

TEST_F(AccountsChartTest, BranchAndDivisionDescriptions) {
    TStdDescChart descriptions(Entity, {}, 2006);
    descriptions.AddDescription(QStringLiteral("BRANCH02"), QStringLiteral("Sydney office"));
    Write(AdfFile, AccountsFile({"sub-account", "suspense"}));
    auto chart = Chart({Option::Load}, &descriptions);
    EXPECT_EQ(descriptions.ExpandAbbreviations(QStringLiteral("~BRANCH01")), "BRANCH 01");
    EXPECT_FALSE(descriptions.Saved);
    EXPECT_EQ(chart->GetAccount(0)->GetBranchDivisionText(), "Branch: BRANCH 01");
    EXPECT_EQ(chart->GetAccount(1)->GetBranchText(), "");

    // An existing description is kept and used; descriptions in an account are expanded.
    Add(*chart, "02-3000", "ACC", "Rent ~BRANCH02");
    chart->AddBranchDivisionDescriptions();
    const TAccountDetail* rent = chart->GetAccount(chart->IndexOfCode(Code("02-3000")));
    EXPECT_EQ(rent->GetBranchText(), "Branch: Sydney office");
    EXPECT_EQ(rent->GetAccount_Description_(), "Rent Sydney office");
}

// ---- Accounts -------------------------------------------------------------------------------

TEST_F(AccountsChartTest, TypeRulesFollowTheRangesOfTheFormat) {
    const struct {
        const char* Code;
        const char* Requested;
        const char* Type;
    } cases[] = {
        {"9000", "ACC", "SUS"}, {"9000", "BNK", "SUS"}, // the suspense range: suspense,
        {"9000", "ANP", "ANP"}, {"9000", "CTL", "CTL"}, // unless the type is non-posting
        {"1000", "CTL", "CTL"}, {"01-1000", "CTL", "ACC"}, {"2000", "SUS", "ACC"}, // suspense only by the
                                                                                   // code
        {"1000", "BNK", "ACC"}, {"1000", "PRL", "PRL"}, // no bank outside the balance sheet
        {"2000", "BNK", "BNK"}, {"4999", "BNK", "BNK"},    {"5000", "BNK", "ACC"}, {"1999", "BNK", "ACC"},
    };
    for (const auto& c : cases) {
        auto account = Account(c.Code, c.Requested);
        EXPECT_EQ(account->AccountType, c.Type) << c.Code << " " << c.Requested;
        EXPECT_EQ(account->BankDetails != nullptr, QString(c.Type) == "BNK") << c.Code;
    }
    // Inside the balance sheet "BNK" keeps existing details, any other type frees them.
    auto bank = Account("2000", "BNK");
    bank->BankDetails->BankName = "Westpac";
    bank->DeriveAccountType("SUS");
    bank->DeriveAccountType("BNK");
    EXPECT_EQ(bank->BankDetails->BankName, "Westpac");
    bank->DeriveAccountType("ACC");
    EXPECT_FALSE(bank->BankDetails);
}

TEST_F(AccountsChartTest, AllowedTypesAndTypeColumn) {
    EXPECT_EQ(Account("2000")->GetAllowedTypesText(), "Non-Posting, Control, Ordinary, Bank");
    EXPECT_EQ(Account("01-1000")->GetAllowedTypesText(), "Non-Posting, Ordinary");
    EXPECT_EQ(Account("9000")->GetAllowedTypesText(), "Non-Posting, Control, Suspense");

    auto suspense = Account("9000", "SUS");
    EXPECT_EQ(suspense->GetAccount_Type_(), "Suspense");
    suspense->SetDefault(true);
    EXPECT_EQ(suspense->GetAccount_Type_(), "Suspense (Def)");
    EXPECT_EQ(Account("1000")->GetAccount_Type_(), "");
    EXPECT_EQ(Account("1000", "XYZ")->GetAccount_Type_(), "XYZ");
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
}

TEST_F(AccountsChartTest, BudgetsKeepTheirTotal) {
    TAccountDetail account(Format());
    account.SetBudget(3, 100);
    EXPECT_EQ(account.GetBudget(3), 100);
    EXPECT_EQ(account.GetBudget(0), 100);
    account.SetBudget(3, 40);
    EXPECT_EQ(account.GetBudget(0), 40);
    account.SetBudget(12, -10);
    EXPECT_EQ(account.GetBudget(0), 30);
    account.SetBudget(13, 5); // slots outside the year are neither read nor set
    account.SetBudget(-1, 5);
    EXPECT_EQ(account.GetBudget(13), 0);
    EXPECT_EQ(account.GetBudget(0), 30);
    account.SetBudget(1, std::numeric_limits<qint32>::max()); // the total stops at the largest
    EXPECT_EQ(account.GetBudget(0), std::numeric_limits<qint32>::max());
    account.ClearBudgets();
    EXPECT_EQ(account.GetBudget(0), 0);

    // Slot 1 is always July.
    const int slotCases[][3] = {{1, 6, 1},   {7, 6, 7},  {12, 6, 12}, {1, 12, 7},
                                {6, 12, 12}, {7, 12, 1}, {1, 3, 10},  {5, 7, 6}};
    for (const auto& s : slotCases)
        EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(s[0], s[1]), s[2]) << s[0] << " " << s[1];
}

TEST_F(AccountsChartTest, ListColumnsSignAndCurrency) {
    auto sub = Account("01-2000-05");
    sub->Description = "Petty cash";
    EXPECT_EQ(sub->GetAccount_Description_(), QStringLiteral("  \u00B7 Petty cash"));
    auto main = Account("2000");
    main->Description = "Cash";
    EXPECT_EQ(main->GetAccount_Description_(), "Cash");
    EXPECT_FALSE(main->SetAccount_Code(0, "xx-abc"));
    EXPECT_TRUE(main->SetAccount_Code(1, "3000"));
    EXPECT_EQ(main->GetAccount_Code(1), "3000");
    EXPECT_EQ(main->GetAccount_Code(0), "2000");
    EXPECT_EQ(sub->GetSignText(), "BAL");
    sub->SetSignText("CR");
    sub->SetSignText("");
    EXPECT_EQ(sub->GetSignText(), "CR");
    EXPECT_EQ(sub->GetBranchKey(), "BRANCH01");
    EXPECT_EQ(sub->GetDivisionKey(), "DIVISION");

    auto bank = Account("2000", "BNK");
    EXPECT_EQ(bank->GetCurrencySymbol(), QLatin1Char(' '));
    bank->SetBankCurrency("AUD");
    EXPECT_EQ(bank->GetCurrencySymbol(), QLatin1Char('$'));
    bank->SetBankCurrency("USD"); // its number is no character
    EXPECT_EQ(bank->GetCurrencySymbol(), QLatin1Char(' '));
    main->SetBankCurrency("AUD");
    EXPECT_EQ(main->GetBankCurrency(), "");
}

TEST_F(AccountsChartTest, CopyFromTakesEverythingAndClonesTheBankDetails) {
    auto source = Account("01-2000-05", "BNK");
    source->Description = "Cheque";
    source->BankDetails->BSBNumber = "062-000";
    source->SetBudget(2, 7);
    source->Balance = 12.5;
    source->Flag2 = true;
    source->SetPeriodAmount(4, 3.0);
    TAccountDetail copy(Format());
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

// A bank account's details stored under a code that the format puts outside the balance-sheet
// range are read and then dropped, and the values after them stay in step.
TEST_F(AccountsChartTest, BankDetailsOutsideTheBalanceSheetAreReadAndDropped) {
    TAccountDetail account(Format());
    ReadItem(account, Stored("accounts", "sales"));
    EXPECT_EQ(account.GetAccount_Code(0), "1000");
    EXPECT_EQ(account.AccountType, "ACC");
    EXPECT_FALSE(account.BankDetails);
    EXPECT_EQ(account.Sign, QLatin1Char('C'));
    EXPECT_EQ(account.GetBudget(12), 5);
}

TEST_F(AccountsChartTest, StoredValuesAtAndBeyondTheirEdges) {
    const QByteArray bank = Stored("accounts", "bank");
    const QByteArray nan = QByteArray::fromHex("05 00 00 00 00 00 00 00 c0 ff 7f");
    const QByteArray infinity = QByteArray::fromHex("05 00 00 00 00 00 00 00 80 ff 7f");
    const struct {
        const char* Name;
        QByteArray From;
        QByteArray To;
        int Sign; // -1: the stream is refused
    } cases[] = {
        {"sign 0", "\x02\x44", QByteArray("\x02\x00", 2), 0},
        {"sign 255", "\x02\x44", QByteArray("\x03\xff\x00", 3), 255},
        {"sign 256", "\x02\x44", QByteArray("\x03\x00\x01", 3), -1},
        {"sign -1", "\x02\x44", "\x02\xff", -1},
        {"code part beyond 16 bits", "\x03\xd0\x07\x02\xff\x02\xff",
         QByteArray("\x04\x00\x00\x01\x00\x02\xff\x02\xff", 9), -1},
        {"date added not a number", QByteArray::fromHex("05 00 00 00 00 00 00 b6 b2 12 40"), nan, -1},
        {"overdraft rate infinite", QByteArray::fromHex("05 00 00 00 00 00 00 00 b0 01 40"), infinity, -1},
        {"overdraft limit not a number", QByteArray::fromHex("05 00 00 00 00 00 00 00 fa 08 40"), nan, -1},
        {"cut short in the bank details", bank, bank.left(60), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QByteArray bytes = bank;
        ASSERT_EQ(bytes.count(c.From), 1);
        bytes.replace(c.From, c.To);
        TAccountDetail account(Format());
        if (c.Sign < 0) {
            EXPECT_THROW(ReadItem(account, bytes), EStreamError);
            continue;
        }
        ReadItem(account, bytes);
        EXPECT_EQ(account.Sign.unicode(), c.Sign == 0 ? 0 : 0xFF);
        EXPECT_EQ(WrittenItem(account), bytes);
    }
}
