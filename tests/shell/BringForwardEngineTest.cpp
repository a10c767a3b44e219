// Bringing a file forward from 2006 into 2007: the opening balances carry every balance-sheet and
// suspense balance over, the profit of each bank account is shared by the distribution, memorised
// payments travel with it, and a cancelled run leaves 2007 as it was.
#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/bringforward/BringForwardEngine.h"
#include "shell/bringforward/ProfitDistribution.h"

#include <QDirIterator>

namespace {

namespace TF = TransactionFlag;

// File ABC123 (year to June 2006, account format QUILVANE: P&L 0100-1999, balance sheet
// 2000-4999, suspense 9000 on) with sales 1000, expenses 1500, banks 2000 and 2100, debtors 3000,
// equity 4100 and 4200 in both years' charts and 4300 in 2006's only, suspense 9100.
class BringForwardEngineTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TEntityInfo::SetSessionLog([](const TLogSession&) {});
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        Chart = File->AccountsChart(2006);
        for (const QString text : {"1000:ACC", "1500:ACC", "2000:BNK", "2100:BNK", "3000:ACC", "4100:ACC",
                                   "4200:ACC", "4300:ACC", "9100:SUS"}) {
            auto account = std::make_unique<TAccountDetail>(Chart->Format());
            account->SetCode(Code(text.section(':', 0, 0)));
            account->DeriveAccountType(text.section(':', 1));
            account->Description = "Account " + text.section(':', 0, 0);
            ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
        }
        Chart->SetDefaultAccount(Chart->IndexOfCode(Code("9100")), true);
        Chart->GetAccount(Chart->IndexOfCode(Code("1500")))->SetBudget(3, 77);
        Chart->Saved = false;

        Add(pkOpeningBalances, 1, EncodeDateNum(2005, 7, 1), "3000", "2000", 100.00);
        Add(pkReceipts, 2, EncodeDateNum(2005, 8, 3), "1000", "2000", 1000.00);
        Add(pkPayments, 3, EncodeDateNum(2005, 9, 9), "1500", "2000", 400.00);
        Add(pkPayments, 10, EncodeDateNum(2006, 4, 2), "3000", "2000", 250.55);
        Add(pkReceipts, 12, EncodeDateNum(2006, 6, 30), "1000", "2100", 333.33);
        Add(pkPayments, 12, EncodeDateNum(2006, 6, 1), "9100", "2100", 12.34);
        Add(pkMemorisedPayments, 1, 0, "1500", "2000", 55.00, "Monthly rent");
        TOptionSet save{Standard};
        ASSERT_EQ(File->SaveYearCharts(2006, save, true), 0);

        Distribution.SetEntries({{"4100", "33.33"}, {"4200", "33.33"}, {"4300", "33.34"}});
    }
    void TearDown() override {
        if (File)
            File->Close();
        File.reset();
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(Chart->Format()->TextToCode(text, code, false, false)) << text.toStdString();
        return code;
    }
    void Add(int kind, int period, double date, const QString& posting, const QString& bank, double amount,
             const QString& details = "Entry") {
        TTransactionList list(File->ListSources(2006), kind, 2006, period, 12, {QuietLoad});
        auto entry = std::make_unique<TTransactionDetail>(0, qint16(kind));
        entry->SetFlags({TF::Keyed});
        entry->Date = date;
        entry->PostingCode = Code(posting);
        entry->BankCode = Code(bank);
        entry->Amount = amount;
        entry->SetDetails(details);
        entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
        list.AddTransaction(std::move(entry), 0);
        TOptionSet options{Standard};
        ASSERT_EQ(list.SaveToFile(options, false, true), 0);
    }
    // Each account's balance after recalculating the year: code -> balance.
    QMap<QString, double> Balances(int year) {
        TReportSetup setup(File->RunFile(year), 0, prBringForward, year, true);
        EXPECT_EQ(File->ProcessTransactions(setup, nullptr, false, false, false), 0);
        QMap<QString, double> balances;
        for (int i = 0; i < setup.Accounts->Count(); ++i)
            balances[setup.Accounts->GetCode(i)] = setup.Accounts->GetAccount(i)->Balance;
        return balances;
    }
    QString Key(const QString& code) const { return Chart->Format()->FormatCode(Code(code)); }
    QMap<QString, QByteArray> Files2007() const {
        QMap<QString, QByteArray> files;
        QDirIterator it(DataDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName().startsWith("ABC12307.", Qt::CaseInsensitive))
                files[QDir(DataDir).relativeFilePath(path)] = ReadFileBytes(path);
        }
        return files;
    }
    int Run(const TBringForwardOptions& options = {}) {
        TBringForwardEngine engine(*File, 2007);
        EXPECT_EQ(engine.SourceYear(), 2006);
        return engine.Run(options, Distribution);
    }

    std::unique_ptr<TEntityInfo> File;
    TAccountsChart* Chart = nullptr;
    TProfitDistribution Distribution;
};

} // namespace

TEST_F(BringForwardEngineTest, OpeningBalancesCarryTheClosingPositionAndShareTheProfit) {
    const QMap<QString, double> closing = Balances(2006);
    Prompt->Answer(TMessageButton::Ignore); // the reconciliation of 2000 was never completed
    Prompt->Answer(TMessageButton::OK);     // complete
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(Prompt->Texts().last(), TBringForwardEngine::CompleteText);
    EXPECT_TRUE(Prompt->Texts().first().startsWith("The reconciliation for account " + Key("2000") + " ("));

    const QMap<QString, double> opening = Balances(2007);
    for (const QString code : {"2000", "2100", "3000", "9100"})
        EXPECT_NEAR(opening.value(Key(code)), closing.value(Key(code)), 0.001) << code.toStdString();
    EXPECT_NEAR(opening.value(Key("3000")), 350.55, 0.001);
    EXPECT_NEAR(opening.value(Key("2000")), 249.45, 0.001);
    EXPECT_NEAR(opening.value(Key("2100")), 320.99, 0.001);
    EXPECT_NEAR(opening.value(Key("9100")), 12.34, 0.001);
    EXPECT_EQ(opening.value(Key("1000")), 0.0);
    EXPECT_EQ(opening.value(Key("1500")), 0.0);
    // Bank 2000 made 600.00 and bank 2100 333.33, each split 33.33 / 33.33 / 33.34.
    EXPECT_NEAR(opening.value(Key("4100")), -(199.98 + 111.10), 0.001);
    EXPECT_NEAR(opening.value(Key("4200")), -(199.98 + 111.10), 0.001);
    EXPECT_NEAR(opening.value(Key("4300")), -(200.04 + 111.13), 0.001);
    double total = 0;
    for (const double balance : opening)
        total += balance;
    EXPECT_NEAR(total, 0.0, 0.001);
}

TEST_F(BringForwardEngineTest, OpeningEntriesAreMarkedAndNarrated) {
    Prompt->Answer(TMessageButton::Ignore);
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    TBringForwardEngine probe(*File, 2007);
    EXPECT_TRUE(probe.NewYearChartExists(ckAccounts));
    TReportSetup setup(File->RunFile(2007), 0, prBringForward, 2007, true);
    TTransactionList list(
        File->EntityDetail().ListSources(setup.Accounts, setup.TaxRates, setup.StdDescs, setup.CurrencyRates),
        pkOpeningBalances, 2007, 1, 12, {QuietLoad});
    QStringList narrations;
    for (int i = 0; i < list.Count(); ++i) {
        const TTransactionDetail& entry = *list.GetItem(i);
        EXPECT_TRUE(entry.HasAnyFlag({TBringForwardEngine::BroughtForwardFlag}));
        EXPECT_EQ(entry.Date, EncodeDateNum(2006, 7, 1));
        narrations << entry.Details();
    }
    EXPECT_EQ(narrations.count("Retained Profits Distribution 33.33%"), 4);
    EXPECT_EQ(narrations.count("Retained Profits Distribution 33.34%"), 2);
    EXPECT_TRUE(narrations.contains("B/Fwd Opening Balance"));
    EXPECT_FALSE(narrations.contains("Retained Profits Adjustment"));
    // 4300 was not in 2007's chart: it is created there rather than posted to suspense.
    EXPECT_GE(setup.Accounts->IndexOfCode(Code("4300")), 0);
    // Budgets came over with last year's chart.
    EXPECT_EQ(setup.Accounts->GetAccount(setup.Accounts->IndexOfCode(Code("1500")))->GetBudget(3), 77);
}

TEST_F(BringForwardEngineTest, MemorisedPaymentsAreCopied) {
    Prompt->Answer(TMessageButton::Ignore);
    Prompt->Answer(TMessageButton::OK);
    TBringForwardOptions options;
    options.OpeningBalances = false;
    ASSERT_EQ(Run(options), 0);
    TTransactionList list(File->ListSources(2006), pkMemorisedPayments, 2007, 1, 12, {QuietLoad});
    ASSERT_EQ(list.LoadStatus(), 0);
    QStringList details;
    for (int i = 0; i < list.Count(); ++i)
        details << list.GetItem(i)->Details();
    EXPECT_EQ(details, QStringList{"Monthly rent"});
    TTransactionList opening(File->ListSources(2006), pkOpeningBalances, 2007, 1, 12, {QuietLoad});
    EXPECT_EQ(opening.Count(), 0);
}

TEST_F(BringForwardEngineTest, ACancelLeavesTheNewYearAsItWas) {
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12307.ADF", StoredChart("accounts", "header", {})));
    const QMap<QString, QByteArray> before = Files2007();
    ASSERT_EQ(before.size(), 1);
    // Cancel as the opening reconciliation starts: the charts are loaded and memorised payments,
    // standard bank transactions and opening balances are already written by then.
    Progress->CancelAtUpdate = 9;
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Run(), -100);
    EXPECT_EQ(Prompt->Texts(),
              (QStringList{TBringForwardEngine::TerminatedText, TBringForwardEngine::IncompleteText}));
    EXPECT_EQ(Files2007(), before);
    EXPECT_TRUE(File->EntityDetail().ProfitDistribution.isEmpty());
}

TEST_F(BringForwardEngineTest, ADistributionOffOneHundredStartsNothing) {
    Distribution.SetEntries({{"4100", "99.99"}});
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Run(), -1);
    EXPECT_EQ(Prompt->Texts(), QStringList{TProfitDistribution::TotalText});
    EXPECT_TRUE(Files2007().isEmpty());
}
