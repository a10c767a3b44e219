#include "core/charts/AccountsChart.h"

#include "core/accounts/AccountGroups.h"
#include "core/charts/StdDescChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/io/StreamError.h"
#include "tests/core/ChartTestSupport.h"
#include "tests/support/FixedClock.h"

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
    int IndexOf(const TAccountsChart& chart, const char* code) const { return chart.IndexOfCode(Code(code)); }
};

} // namespace

TEST_F(AccountsChartTest, StoredChartReadsAndWritesBackByteForByte) {
    const QByteArray bytes = AccountsFile({"sub-account", "bank", "suspense"});
    Write(AdfFile, bytes);
    auto chart = Chart({Option::Load});
    EXPECT_EQ(Keys(*chart), "01-2100-05,2000,9000");
    EXPECT_TRUE(chart->Saved);
    const TAccountDetail* sub = chart->GetAccount(0);
    EXPECT_EQ(sub->GetAccount_Description_(), QStringLiteral("  \u00B7 Petty Cash"));
    EXPECT_EQ(sub->GetBudget(0) * 1000 + sub->GetBudget(2), 300200);
    const TBankDetails& bank = *chart->GetAccount(1)->BankDetails;
    EXPECT_EQ(bank.BSBNumber + bank.CurrencyCode, "032-000AUD");
    EXPECT_EQ(bank.OverdraftInterestRate * 10000 + bank.OverdraftLimit, 56000.0);
    EXPECT_EQ(chart->GetAccount(1)->GetSignText(), "DR");
    EXPECT_TRUE(chart->GetAccount(2)->Flag2 && chart->GetAccount(2)->IsDefault());
    QFile::remove(TempPath(AdfFile));
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(Read(AdfFile).toHex(), bytes.toHex());
    // A code stored twice, merged: the later copy's fields and the held bank details.
    QByteArray later = Stored("accounts", "bank");
    later.replace(char(14) + QByteArray("Cheque Account"), char(10) + QByteArray("Later copy"));
    Write(AdfFile, AccountsFile({"bank"}).chopped(1) + later + '\0');
    auto merged = Chart();
    ASSERT_EQ(merged->LoadFromFile({Option::MergeReplace}), 0);
    EXPECT_EQ(Keys(*merged), "2000,9000"); // and the default suspense account
    EXPECT_EQ(merged->GetAccount(0)->Description, "Later copy");
    EXPECT_EQ(merged->GetAccount(0)->BankDetails->BankName, "Westpac");
}

TEST_F(AccountsChartTest, AYearWithoutItsOwnFileStartsFromTheDefaultChart) {
    const QByteArray defaults = AccountsFile({"bank", "suspense"});
    // The default chart's name as the client's record gives it, and where it lies.
    const std::pair<QString, QString> cases[] = {{"NSP.QUILVANE", "M_DETAIL/NSP.QUILVANE"},
                                                 {"DEFAULTS\\NSP.ADF", "DEFAULTS/NSP.ADF"},
                                                 {TempPath("ELSEWHERE/NSP.ADF"), "ELSEWHERE/NSP.ADF"}};
    for (const auto& [accDefault, written] : cases) {
        SCOPED_TRACE(accDefault.toStdString());
        QFile::remove(TempPath(AdfFile));
        Write(written, defaults);
        Entity.AccDefault = accDefault;
        auto chart = Chart({Option::Load});
        EXPECT_EQ(chart->Count(), 2);
        EXPECT_FALSE(chart->Saved);
        TOptionSet options;
        ASSERT_EQ(chart->SaveIfModified(options), 0);
        EXPECT_EQ(Read(AdfFile), defaults);
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    for (const char* full : {"X:\\CHARTS\\NSP.ADF", "\\CHARTS\\NSP.ADF"}) {
        Entity.AccDefault = full;
        EXPECT_EQ(Chart()->DefaultChartName(), full);
    }
}

// A default chart name that climbs out of the data folder, with backslashes or slashes alike, or
// leads out of it through a link, is never read: the year's load says so and takes nothing from
// outside, and the name is not handed out for a load of its own.
TEST_F(AccountsChartTest, ADefaultChartOutsideTheDataFolderIsNeverRead) {
    Entity.DataDir = TempPath("DATA");
    Write("OUTSIDE/X.ADF", AccountsFile({"bank", "sub-account"}));
    Write("DATA/M_DETAIL/NSP.QUILVANE", AccountsFile({"bank"}));
    ASSERT_TRUE(QFile::link(TempPath("OUTSIDE"), TempPath("DATA/LINKED")) &&
                QFile::link(TempPath("OUTSIDE/X.ADF"), TempPath("DATA/M_DETAIL/LINK.NSP")));
    for (const char* name : {"../OUTSIDE/X.ADF", "..\\OUTSIDE\\X.ADF", "M_DETAIL/../../OUTSIDE/X.ADF",
                             "DEFAULTS/../../OUTSIDE/X.ADF", "LINKED/X.ADF", "LINK.NSP"}) {
        SCOPED_TRACE(name);
        Entity.AccDefault = name;
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Ignore);
        auto chart = Chart({Option::Load});
        EXPECT_EQ(Prompt->Texts().join("").toStdString(),
                  "Unable to load 2006 Accounts file for ABC123. \r(The default chart " + std::string(name) +
                      " lies outside the data folder.)");
        EXPECT_EQ(Keys(*chart).toStdString(), "9000"); // the default suspense account alone
        EXPECT_THROW(chart->DefaultChartName(), EQuilvaneError);
    }
    Entity.AccDefault = "NSP.QUILVANE"; // inside: read as before
    Prompt->Shown.clear();
    EXPECT_EQ(Keys(*Chart({Option::Load})).toStdString(), "2000,9000");
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(AccountsChartTest, AYearWithoutItsOwnFileAndNoDefaultNamedIsAFailure) {
    Entity.AccDefault.clear();
    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), -1);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{"Unable to load 2006 Accounts file for ABC123. \r(File not found)"});
    EXPECT_EQ(Keys(*chart), "9000"); // the default suspense account all the same
    // Nothing on disk is lost, so the new chart can be written.
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_EQ(Chart({Option::Load})->GetCode(0), "9000");
    EXPECT_EQ(Prompt->Shown.size(), 1);
}

TEST_F(AccountsChartTest, DecliningAnotherFormatsChartLeavesItsFileAlone) {
    const QByteArray foreign = AccountsFile({"bank", "sub-account"}, QStringLiteral("foreign-header"));
    Write(AdfFile, foreign);
    Prompt->Answer(TMessageButton::Cancel);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), ChartResult::ForeignFormat);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{"The chart of accounts being loaded has a format which may not be "
                          "compatible with current file's accounts format. Continue anyway ?"});
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Cancel | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 16500);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});
    EXPECT_EQ(Keys(*chart), "9000"); // nothing of the file, but a default suspense account
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(Read(AdfFile), foreign);
    // Accepted, the chart is taken over and written under this file's format.
    Write(AdfFile, AccountsFile({"bank", "suspense"}, QStringLiteral("foreign-header")));
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(chart->LoadFromFile({}), 0);
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
    // A chart for another format carries that format's key.
    auto other = TAccountsChart::CreateForFormat(Entity, QStringLiteral("SIMPLE"), Format());
    other->SetFileName(TempPath(QStringLiteral("CONVERT.ADF")));
    ASSERT_EQ(other->SaveToFile(options), 0);
    EXPECT_EQ(Read(QStringLiteral("CONVERT.ADF")), AccountsFile({}, QStringLiteral("foreign-header")));
}

TEST_F(AccountsChartTest, CodesChangeOnlyThroughTheChart) {
    auto chart = AccountsOf({"1000", "2000:BNK"});
    TAccountDetail* account = chart->GetAccount(0);
    EXPECT_FALSE(account->SetCode(Code("3000")));
    // A code another account has is refused, through the chart or through the list column.
    EXPECT_EQ(chart->ChangeCode(0, Code("2000")), -1);
    EXPECT_FALSE(account->SetAccount_Code(0, "2000"));
    EXPECT_EQ(chart->ChangeCode(0, QStringLiteral("not a code")), -1);
    EXPECT_TRUE(account->SetAccount_Code(0, "3000"));
    EXPECT_EQ(Keys(*chart), "2000,3000");
    EXPECT_EQ(chart->ChangeCode(1, QStringLiteral("01-3000-02")), 0);
    EXPECT_EQ(chart->MaxCodeLength(), 10);
    // Taken out of the chart, the account is free to change again.
    auto taken = chart->DeleteItem(0, false);
    EXPECT_TRUE(static_cast<TAccountDetail*>(taken.get())->SetCode(Code("4000")));
    EXPECT_EQ(chart->AddAccount(Account("2000")), -1);
    // Through the list column too, to a code that sorts first.
    auto other = AccountsOf({"1000", "2000"});
    TAccountDetail* last = other->GetAccount(1);
    EXPECT_TRUE(last->SetAccount_Code(0, "0500"));
    EXPECT_EQ(Keys(*other), "0500,1000");
    EXPECT_EQ(other->IndexOfAccount(last), 0);
}

TEST_F(AccountsChartTest, AccountNumberSearchesWalkTheChart) {
    auto chart = AccountsOf({"01-1000", "02-0500", "3000"}); // the branch leads: 1000, 500, 3000
    const int bounds[][2] = {{900, 0}, {1000, 0}, {1001, 2}, {4000, 3}};
    for (const auto& [number, index] : bounds)
        EXPECT_EQ(chart->LowerBoundAccountNo(number), index) << number;
    EXPECT_EQ(chart->FirstAccountInGroup(Format()->Ranges, Format()->IndexOfRangeType("BSH")), 2);
    EXPECT_EQ(chart->LastAccountInGroup(Format()->Ranges, Format()->IndexOfRangeType("PRL")), 1);
}

TEST_F(AccountsChartTest, ConsolidationLevels) {
    auto chart = AccountsOf(
        {"03-1000-07", "00-1000-00", "00-1000-07", "03-1000-00", "2000", "03-2000-07", "1000:CTL"});
    // Levels 4 and 5 are checked by the division rules below.
    const std::tuple<const char*, int, const char*> found[] = {
        {"03-1000-07", 1, "00-1000-07"},  {"03-1000-07", 2, "00-1000-00"}, {"03-1000-07", 3, "03-1000-07"},
        {"03-1000-07", 6, "03-1000-00"},  {"03-1000-07", 9, "1000"},       {"03-1000-07", 0, "03-1000-07"},
        {"03-1000-07", 10, "03-1000-07"}, // level 9 takes only a control account:
        {"03-2000-07", 9, "03-2000-07"},  {"03-2000-07", 1, "03-2000-07"}};
    for (const auto& [code, level, expected] : found)
        EXPECT_EQ(chart->GetCode(chart->FindConsolidatedAccount(Code(code), level)), expected)
            << code << level;
    // Division rules, on a format with a division (lowest branch and division 0).
    const TAccountCode both = MakeCode(3, 4, 1000, 7);
    const std::tuple<TAccountCode, int, TAccountCode> codes[] = {
        {both, 3, MakeCode(3, 0, 1000, 7)},
        {both, 4, MakeCode(3, 0, 1000, 0)},
        {both, 5, MakeCode(0, 0, 1000, 0)},
        {both, 9, MakeCode(-1, -1, 1000, -1)},
        {MakeCode(3, -1, 1000, 7), 4, MakeCode(3, -1, 1000, 0)},
        {MakeCode(-1, 4, 1000, 7), 5, MakeCode(-1, 0, 1000, 0)},
        {MakeCode(-1, -1, 1000, 7), 2, MakeCode(-1, -1, 1000, 0)}};
    for (const auto& [code, level, expected] : codes)
        EXPECT_EQ(TAccountsChart::ConsolidatedCode(Format("CEE DATA"), code, level), expected) << level;
    auto noAll = AccountOnlyFormat(false);
    EXPECT_EQ(TAccountsChart::ConsolidatedCode(noAll.get(), both, 9), both);
}

TEST_F(AccountsChartTest, OldCodeTexts) {
    auto plain = AccountOnlyFormat();
    const std::tuple<const char*, const TAccountFormat*, const char*, const char*> cases[] = {
        {"QUILVANE", Format(), "01/2000-05", "01-2000-05"},
        {"paxus", plain.get(), "20/00-", "2000"}, // no separator: the old ones go
        // Each old separator is replaced where it stood, not where a replacement put one.
        {"CEE DATA", Format("CEE DATA"), "01/02.1234-05", "01-02.1234/05"},
        {"SIMPLE", Format("CEE DATA"), "01/02.1234-05", "01/02.1234-05"}};
    for (const auto& [id, format, text, expected] : cases)
        EXPECT_EQ(TAccountsChart::ConvertOldCodeText(id, format, text), expected) << text;
}

TEST_F(AccountsChartTest, DefaultAndSuspenseAccounts) {
    auto empty = Chart();
    empty->EnsureSuspenseAccount();
    EXPECT_EQ(Keys(*empty), "9000");
    EXPECT_EQ(empty->GetAccount(0)->Description, "Suspense Accounts");
    EXPECT_EQ(empty->GetAccount(0)->GetAccount_Type_(), "Suspense (Def)");
    EXPECT_FALSE(empty->Saved);
    auto chart = AccountsOf({"1000", "9100:SUS", "9200:SUS", "2000:BNK", "2100:BNK"});
    chart->Saved = true;
    chart->EnsureSuspenseAccount();
    EXPECT_EQ(chart->Count(), 5);
    EXPECT_EQ(chart->DefaultSuspenseAccount(), IndexOf(*chart, "9100"));
    EXPECT_FALSE(chart->Saved);
    chart->SetDefaultAccount(IndexOf(*chart, "9200"), true);
    EXPECT_EQ(chart->DefaultSuspenseAccount(), IndexOf(*chart, "9200"));
    EXPECT_FALSE(chart->GetAccount(IndexOf(*chart, "9100"))->IsDefault());
    chart->SetDefaultAccount(IndexOf(*chart, "2000"), true);
    chart->SetDefaultAccount(IndexOf(*chart, "2100"), true);
    EXPECT_EQ(chart->DefaultBankAccount(), IndexOf(*chart, "2100"));
    chart->SetDefaultAccount(0, true); // an ordinary account is nobody's default
    EXPECT_FALSE(chart->GetAccount(0)->IsDefault());
}

// Accounts made together carry one reading of the clock; the chart keeps each stamp as given and
// stamps an account it makes itself with the time it is made.
TEST_F(AccountsChartTest, NewAccountsKeepTheirDateAddedStamp) {
    TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2006, 6, 30), QTime(18, 0))));
    const double stamp = NowNum();
    EXPECT_DOUBLE_EQ(stamp, EncodeDateNum(2006, 6, 30) + 0.75);
    auto chart = Chart();
    for (const char* code : {"1000", "2000"}) {
        auto account = std::make_unique<TAccountDetail>(Format(), stamp);
        ASSERT_TRUE(account->SetKey(QString::fromLatin1(code)));
        ASSERT_GE(chart->AddAccount(std::move(account)), 0);
    }
    TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2007, 1, 2), QTime(6, 0))));
    chart->EnsureSuspenseAccount();
    ASSERT_EQ(chart->Count(), 3);
    EXPECT_DOUBLE_EQ(chart->GetAccount(IndexOf(*chart, "1000"))->DateAdded, stamp);
    EXPECT_DOUBLE_EQ(chart->GetAccount(IndexOf(*chart, "2000"))->DateAdded, stamp);
    EXPECT_DOUBLE_EQ(chart->GetAccount(IndexOf(*chart, "9000"))->DateAdded, EncodeDateNum(2007, 1, 2) + 0.25);
}

// The accounts one build makes share one reading of the clock, taken at the first of them; a
// build that makes none reads no clock; an account made alone is stamped with the time it is
// made; a copy keeps its source's stamp without reading the clock.
TEST_F(AccountsChartTest, ABuildsNewAccountsShareOneReadingOfTheClock) {
    const QDateTime start(QDate(2006, 6, 30), QTime(18, 0));
    auto clock = std::make_shared<TTickingClock>(start);
    TServices::SetClock(clock);
    { TAccountsChart::TNewAccounts none(Format()); }
    EXPECT_EQ(clock->Readings, 0);

    auto chart = Chart();
    TAccountsChart::TNewAccounts build(Format());
    const char* codes[] = {"3000", "01-1000", "01-1000-02"};
    for (const char* code : codes) {
        auto account = build.Make();
        ASSERT_TRUE(account->SetKey(QString::fromLatin1(code)));
        ASSERT_GE(chart->AddAccount(std::move(account)), 0);
    }
    EXPECT_EQ(clock->Readings, 1);
    for (const char* code : codes)
        EXPECT_EQ(chart->GetAccount(IndexOf(*chart, code))->DateAdded, DateNumFromQDateTime(start)) << code;

    const TAccountDetail alone(Format());
    EXPECT_EQ(clock->Readings, 2);
    EXPECT_EQ(alone.DateAdded, DateNumFromQDateTime(start.addSecs(60)));

    const TAccountDetail& source = *chart->GetAccount(IndexOf(*chart, "01-1000-02"));
    const auto copy = TAccountDetail::CopyOf(Format(), source, false);
    EXPECT_EQ(clock->Readings, 2);
    EXPECT_EQ(std::tuple(copy->GetKey(), copy->DateAdded), std::tuple(source.GetKey(), source.DateAdded));
}

TEST_F(AccountsChartTest, LookupsByText) {
    auto chart = AccountsOf({"1000:ACC:Sales", "2000:BNK:Cheque Account", "2100:ACC:Petty cash"});
    const std::tuple<const char*, bool, int, int, int> finds[] = {
        {"20", false, 0, 1, 1},        {"CASH", false, 0, 2, 2}, {"cash", true, 0, -1, 0},
        {"petty cash", true, 0, 2, 2}, {"2", false, 2, 2, 1},    {"2000", true, 2, -1, 0}};
    for (const auto& [text, exact, start, index, kind] : finds) {
        int matchKind = -1;
        EXPECT_EQ(chart->FindAccountByText(text, exact, matchKind, start), index) << text;
        EXPECT_EQ(matchKind, kind) << text;
    }
    EXPECT_EQ(chart->IndexOfCodeText("2000") * 10 + chart->IndexOfCodeText("5000"), 9);
    EXPECT_EQ(chart->IndexOfCodeText("abc"), TAccountsChart::InvalidCodeText);
    // Type-ahead: text, caret, changed, then the text and selection after.
    // Found inside a description only, "cash" is left alone.
    const std::tuple<const char*, int, bool, const char*, int, int> edits[] = {
        {"21", 2, true, "2100", 2, 2},
        {"Chexx", 3, true, "Cheque Account", 3, 11},
        {"cash", 4, false, "cash", 4, 0}};
    for (const auto& [text, caret, changed, after, selStart, selLength] : edits) {
        TAccountsChart::TEditState edit{text, caret, 0};
        EXPECT_EQ(chart->AutoCompleteEdit(edit), changed);
        EXPECT_EQ(edit.Text, after);
        EXPECT_EQ(edit.SelStart * 100 + edit.SelLength, selStart * 100 + selLength) << text;
    }
}

TEST_F(AccountsChartTest, ControlAndBankAccounts) {
    auto chart = AccountsOf({"1000:CTL", "01-1000-05", "4000", "01-4000"});
    EXPECT_EQ(chart->FindControlAccountOf(IndexOf(*chart, "01-1000-05")), IndexOf(*chart, "1000"));
    EXPECT_EQ(chart->FindControlAccount(Code("01-4000")), -1);
    EXPECT_TRUE(chart->IsNonPostingAccount(IndexOf(*chart, "1000")));
    EXPECT_FALSE(chart->IsNonPostingAccount(IndexOf(*chart, "4000")));
    for (int i = 0; i < 40; ++i)
        chart->AddAccount(Account(QStringLiteral("%1-2000:BNK").arg(i, 2, 10, QLatin1Char('0'))));
    EXPECT_EQ(chart->CountBankAccounts(), 35);
    const auto flag = [&](const char* code) -> bool& {
        return chart->GetAccount(IndexOf(*chart, code))->BankDetails->Flag2;
    };
    flag("05-2000") = flag("06-2000") = true;
    chart->ClearBankDetailsFlag(IndexOf(*chart, "05-2000"));
    EXPECT_TRUE(!flag("05-2000") && flag("06-2000"));
    chart->ClearBankDetailsFlag(-1);
    EXPECT_FALSE(flag("06-2000"));
    QString text;
    std::unique_ptr<TAccountGroups> groups;
    EXPECT_TRUE(chart->GetBankAccountGroups(text, false, groups));
    EXPECT_EQ(text, "00-2000");
    EXPECT_EQ(groups->Count(), 1);
    EXPECT_TRUE(chart->GetBankAccountGroups(text, true, groups));
    EXPECT_EQ(groups->Count(), 40);
    // A chart without an account format has nothing to parse the codes by.
    Entity.AccFormatID = QStringLiteral("UNKNOWN");
    TAccountsChart noFormat(Entity, nullptr, {}, 2006);
    ASSERT_GE(noFormat.AddAccount(Account("2000:BNK")), 0);
    EXPECT_FALSE(noFormat.GetBankAccountGroups(text, true, groups));
    EXPECT_EQ(groups, nullptr);
}

TEST_F(AccountsChartTest, BranchDescriptionsAreAddedOnceAndExpanded) {
    TStdDescChart descriptions(Entity, {}, 2006);
    descriptions.AddDescription("BRANCH02", "Sydney office");
    Write(AdfFile, AccountsFile({"sub-account", "suspense"}));
    auto chart = Chart({Option::Load}, &descriptions);
    EXPECT_EQ(descriptions.ExpandAbbreviations("~BRANCH01"), "BRANCH 01");
    EXPECT_FALSE(descriptions.Saved);
    EXPECT_EQ(chart->GetAccount(0)->GetBranchDivisionText(), "Branch: BRANCH 01");
    EXPECT_EQ(chart->GetAccount(1)->GetBranchText(), "");
    // An existing description is kept and used; descriptions in an account are expanded.
    chart->AddAccount(Account("02-3000:ACC:Rent ~BRANCH02"));
    chart->AddBranchDivisionDescriptions();
    EXPECT_EQ(chart->GetAccount(1)->GetBranchText(), "Branch: Sydney office");
    EXPECT_EQ(chart->GetAccount(1)->GetAccount_Description_(), "Rent Sydney office");
}

TEST_F(AccountsChartTest, TypeRulesFollowTheRangesOfTheFormat) {
    // Code, type asked for, type given. Suspense range 9000 on, balance sheet 2000 to 4999.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"9000", "ACC", "SUS"}, {"9000", "BNK", "SUS"},    {"9000", "ANP", "ANP"}, {"9000", "CTL", "CTL"},
        {"1000", "CTL", "CTL"}, {"01-1000", "CTL", "ACC"}, {"2000", "SUS", "ACC"}, {"1000", "PRL", "PRL"},
        {"2000", "BNK", "BNK"}, {"4999", "BNK", "BNK"},    {"5000", "BNK", "ACC"}, {"1999", "BNK", "ACC"}};
    for (const auto& [code, requested, type] : cases) {
        auto account = Account(QString(code) + ':' + requested);
        EXPECT_EQ(account->AccountType, type) << code << " " << requested;
        EXPECT_EQ(account->BankDetails != nullptr, QString(type) == "BNK") << code;
    }
    TAccountDetail subAccount(Format());
    subAccount.SetCode(MakeCode(-1, -1, 1000, 1));
    subAccount.DeriveAccountType("CTL");
    EXPECT_EQ(subAccount.AccountType, "ACC");
    // Inside the balance sheet "BNK" keeps existing details, any other type frees them.
    auto bank = Account("2000:BNK");
    bank->BankDetails->BankName = "Westpac";
    bank->DeriveAccountType("SUS");
    bank->DeriveAccountType("BNK");
    EXPECT_EQ(bank->BankDetails->BankName, "Westpac");
    bank->DeriveAccountType("ACC");
    EXPECT_FALSE(bank->BankDetails);
    EXPECT_EQ(Account("2000")->GetAllowedTypesText(), "Non-Posting, Control, Ordinary, Bank");
    EXPECT_EQ(Account("01-1000")->GetAllowedTypesText(), "Non-Posting, Ordinary");
    EXPECT_EQ(Account("9000")->GetAllowedTypesText(), "Non-Posting, Control, Suspense");
    EXPECT_EQ(Account("1000")->GetAccount_Type_() + Account("1000:XYZ")->GetAccount_Type_(), "XYZ");
}

TEST_F(AccountsChartTest, BudgetsKeepTheirTotal) {
    TAccountDetail account(Format());
    const int budgets[][3] = {{3, 100, 100}, {3, 40, 40}, {12, -10, 30}, {13, 5, 30}, {-1, 5, 30}};
    for (const auto& [slot, value, total] : budgets) {
        account.SetBudget(slot, value);
        EXPECT_EQ(account.GetBudget(0), total) << slot;
    }
    account.SetBudget(1, std::numeric_limits<qint32>::max()); // the total stops at the largest
    EXPECT_EQ(account.GetBudget(0), std::numeric_limits<qint32>::max());
    account.ClearBudgets();
    EXPECT_EQ(account.GetBudget(0), 0);
    // Period, year-end month, slot: slot 1 is always July.
    const int periods[][3] = {{1, 6, 1},   {7, 6, 7},  {12, 6, 12}, {1, 12, 7},
                              {6, 12, 12}, {7, 12, 1}, {12, 12, 6}, {1, 3, 10}};
    for (const auto& [period, endMonth, slot] : periods)
        EXPECT_EQ(TAccountDetail::BudgetSlotOfPeriod(period, endMonth), slot) << period << " " << endMonth;
}

TEST_F(AccountsChartTest, ListColumnsSignCurrencyAndCopies) {
    auto source = Account("01-2000-05:BNK:Cheque");
    EXPECT_FALSE(source->SetAccount_Code(0, "xx-abc"));
    EXPECT_TRUE(source->SetAccount_Code(1, "3000"));
    EXPECT_EQ(source->GetAccount_Code(1) + source->GetAccount_Code(0), "300001-2000-05");
    EXPECT_EQ(source->GetCurrencySymbol(), QLatin1Char(' '));
    source->SetBankCurrency("AUD");
    EXPECT_EQ(source->GetCurrencySymbol(), QLatin1Char('$'));
    source->BankDetails->BSBNumber = "062-000";
    source->SetBudget(2, 7);
    source->Balance = 12.5;
    source->Flag2 = true;
    source->SetPeriodAmount(4, 3.0);
    source->SetBudget(12, -3);
    TAccountDetail copy(Format());
    copy.SetBudget(5, 40); // replaced, not added to
    copy.CopyFrom(*source, false);
    const qint32 budgets[TAccountDetail::BudgetSlots] = {4, 0, 7, 0, 0, 0, 0,
                                                         0, 0, 0, 0, 0, -3}; // total first
    for (int slot = 0; slot < TAccountDetail::BudgetSlots; ++slot)
        EXPECT_EQ(copy.GetBudget(slot), budgets[slot]) << slot;
    EXPECT_EQ(copy.GetAccount_Code(0) + copy.Description + copy.BankDetails->BSBNumber,
              "01-2000-05Cheque062-000");
    EXPECT_NE(copy.BankDetails.get(), source->BankDetails.get());
    EXPECT_EQ(copy.Balance + copy.Flag2, 13.5);
    EXPECT_EQ(copy.GetPeriodAmount(4), 0.0);
    copy.CopyFrom(*source, true);
    EXPECT_EQ(copy.GetPeriodAmount(4), 3.0);
}

TEST_F(AccountsChartTest, StoredAccountsAtAndBeyondTheirEdges) {
    // Bank details stored under a code outside the balance-sheet range are read and dropped,
    // and the values after them stay in step.
    TAccountDetail sales(Format());
    ReadItem(sales, Stored("accounts", "sales"));
    EXPECT_EQ(sales.GetAccount_Code(0) + sales.AccountType + sales.Sign, "1000ACCC");
    EXPECT_FALSE(sales.BankDetails);
    EXPECT_EQ(sales.GetBudget(12), 5);
    const QByteArray bank = Stored("accounts", "bank");
    const QByteArray nan = QByteArray::fromHex("05 00 00 00 00 00 00 00 c0 ff 7f");
    // What is replaced in the stored bank account, by what, and the sign read (-1: refused).
    const std::tuple<const char*, QByteArray, QByteArray, int> cases[] = {
        {"sign 0", "\x02\x44", QByteArray("\x02\x00", 2), 0},
        {"sign 255", "\x02\x44", QByteArray("\x03\xff\x00", 3), 255},
        {"sign 256", "\x02\x44", QByteArray("\x03\x00\x01", 3), -1},
        {"date added not a number", QByteArray::fromHex("05 00 00 00 00 00 00 b6 b2 12 40"), nan, -1},
        {"overdraft rate infinite", QByteArray::fromHex("05 00 00 00 00 00 00 00 b0 01 40"),
         QByteArray::fromHex("05 00 00 00 00 00 00 00 80 ff 7f"), -1},
        {"overdraft limit not a number", QByteArray::fromHex("05 00 00 00 00 00 00 00 fa 08 40"), nan, -1},
        {"cut short in the bank details", bank, bank.left(60), -1}};
    for (const auto& [name, from, to, sign] : cases) {
        SCOPED_TRACE(name);
        QByteArray bytes = bank;
        ASSERT_EQ(bytes.count(from), 1);
        bytes.replace(from, to);
        TAccountDetail account(Format());
        if (sign < 0) {
            EXPECT_THROW(ReadItem(account, bytes), EStreamError);
            continue;
        }
        ReadItem(account, bytes);
        EXPECT_EQ(int(account.Sign.unicode()), sign);
        EXPECT_EQ(WrittenItem(account), bytes);
    }
}
