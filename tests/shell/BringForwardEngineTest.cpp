// Bringing a file forward from 2006 into 2007: the opening balances carry every balance-sheet and
// suspense balance over, the profit of each bank account is shared by the distribution, memorised
// payments travel with it, and a cancelled run leaves 2007 as it was.
#include "tests/shell/BringForwardTestSupport.h"

#include "controls/progress/fmProgress.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/RunParams.h"
#include "core/files/Paths.h"
#include "core/io/IniFile.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/bringforward/BringForwardChoices.h"
#include "shell/bringforward/BringForwardEngine.h"
#include "shell/bringforward/ProfitDistribution.h"

#include <QDirIterator>
#include <QPushButton>

namespace {

namespace TF = TransactionFlag;

// File ABC123 (year to June 2006, account format QUILVANE: P&L 0100-1999, balance sheet
// 2000-4999, suspense 9000 on) with sales 1000, expenses 1500, banks 2000 and 2100, debtors 3000,
// equity 4100 and 4200 in both years' charts and 4300 in 2006's only, suspense 9100.
class BringForwardEngineTest : public TBringForwardFixture {
protected:
    void SetUp() override {
        TBringForwardFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(
            OpenWithAccounts({}, {"1000:ACC", "1500:ACC", "2000:BNK", "2100:BNK", "3000:ACC", "4100:ACC",
                                  "4200:ACC", "4300:ACC", "9100:SUS"}));
        Chart->SetDefaultAccount(Chart->IndexOfCode(Code("9100")), true);
        Chart->GetAccount(Chart->IndexOfCode(Code("1500")))->SetBudget(3, 77);

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
    // The activity-statement set-up of 2006 is written into 2007's section; the file stays in 2006.
    EXPECT_EQ(File->EntityDetail().Year, 2006);
    TIniFile record(RecordPath());
    EXPECT_TRUE(record.SectionExists("BAS 2007"));
    EXPECT_EQ(record.ReadString("CONFIGURATION", "Tessalyfolder", ""), "C:\\TessalySUP2007");
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

namespace {

// The 2006 reconciliation of bank 2000 as a completed reconciliation leaves it: the .BOB detail
// with its closing balances and the unmatched file holding what the statement has not shown.
// Bank 2100 is reconciled to the year end with nothing left over (and no file).
class BringForwardReconciliationTest : public BringForwardEngineTest {
protected:
    // The cash book of 2000 closes at 83.95; the statement shows 75.00 and 120.50 more (the
    // unpresented cheques) and 40.00 less (the outstanding deposit).
    static constexpr double CashbookClose = 83.95;
    static constexpr double StatementClose = 239.45;

    void SetUp() override {
        BringForwardEngineTest::SetUp();
        if (HasFatalFailure())
            return;
        Add(pkPayments, 11, EncodeDateNum(2006, 5, 20), "1500", "2000", 75.00, "Cheque 101");
        Add(pkPayments, 12, EncodeDateNum(2006, 6, 3), "1500", "2000", 10.00, "Cheque 100");
        Add(pkPayments, 12, EncodeDateNum(2006, 6, 28), "1500", "2000", 120.50, "Cheque 102");
        Add(pkReceipts, 12, EncodeDateNum(2006, 6, 30), "1000", "2000", 40.00, "Deposit 7");
        Reconcile("2100", EncodeDateNum(2006, 6, 30), true, 320.99, 320.99);
    }

    std::unique_ptr<TBankRecOpeningDetailChart> OpeningChart(int year, TAccountsChart* accounts) const {
        return std::make_unique<TBankRecOpeningDetailChart>(File->EntityDetail().ChartEntity(), accounts,
                                                            accounts->Format(), TOptionSet{Standard, Load},
                                                            year);
    }
    // Stores 2006's reconciliation of a bank account as reconciled to a date (completed or not).
    // Returns the account's unmatched and matched file names.
    QStringList Reconcile(const QString& bank, double to, bool completed, double cashbookClose,
                          double statementClose) {
        auto chart = OpeningChart(2006, Chart);
        TBRecOpeningDetail* detail = chart->GetDetail(chart->IndexOfAccount(Code(bank)));
        EXPECT_NE(detail, nullptr) << bank.toStdString();
        if (!detail)
            return {};
        detail->Cashbook_Open_Bal = 11.11;
        detail->Statement_Open_Bal = 22.22;
        detail->PeriodEnd = to;
        detail->SetCompleted(completed);
        detail->ThirdAmount = cashbookClose;
        detail->SixthValue = statementClose;
        chart->Saved = false;
        TOptionSet save{Standard};
        EXPECT_EQ(chart->SaveToFile(save), 0);
        return {detail->UnmatchedFile, detail->MatchedFile};
    }
    // The 2006 cash-book entry with these details.
    TTransactionDetail Entry(int kind, int period, const QString& details) {
        TTransactionList list(File->ListSources(2006), kind, 2006, period, 12, {QuietLoad});
        for (int i = 0; i < list.Count(); ++i)
            if (list.GetItem(i)->Details() == details)
                return *list.GetItem(i);
        ADD_FAILURE() << "No entry " << details.toStdString();
        return TTransactionDetail(0, qint16(kind));
    }
    // A reconciliation file: the header and the records, as the transaction files hold them.
    void WriteReconciliationFile(const QString& storedName, const QList<TTransactionDetail>& records) {
        QByteArray bytes =
            TransactionHeaderRecord(0, "ABC123", File->EntityDetail().ChartEntity().AccFormatID);
        for (const TTransactionDetail& record : records)
            bytes += TransactionRecordBytes(record);
        const QString native = NativePath(storedName);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(native).absolutePath()));
        ASSERT_TRUE(WriteFileBytes(native, bytes));
    }
    // Bank 2000 reconciled to a date, its unmatched file holding the two unpresented cheques,
    // the outstanding deposit, a cheque matched since (flag 12) and an entry of bank 2100; its
    // matched file a presented cheque.
    void ReconcileBank2000(double to, bool completed) {
        const QStringList files = Reconcile("2000", to, completed, CashbookClose, StatementClose);
        ASSERT_EQ(files.size(), 2);
        TTransactionDetail matchedSince = Entry(pkPayments, 12, "Cheque 100");
        matchedSince.SetFlags({TF::BankRecMarkA});
        WriteReconciliationFile(
            files[0], {Entry(pkPayments, 11, "Cheque 101"), matchedSince, Entry(pkPayments, 12, "Cheque 102"),
                       Entry(pkReceipts, 12, "Deposit 7"), Entry(pkPayments, 12, "Entry")});
        WriteReconciliationFile(files[1], {Entry(pkPayments, 10, "Entry")});
    }
    // "details amount bank" of each entry of a 2007 page, and whether any carries a mark.
    QStringList Page2007(int kind, bool& marked) {
        TReportSetup setup(File->RunFile(2007), 0, prBringForward, 2007, true);
        TTransactionList list(File->EntityDetail().ListSources(setup.Accounts, setup.TaxRates, setup.StdDescs,
                                                               setup.CurrencyRates),
                              kind, 2007, 1, 12, {QuietLoad});
        EXPECT_EQ(list.LoadStatus(), 0);
        QStringList entries;
        marked = false;
        for (int i = 0; i < list.Count(); ++i) {
            const TTransactionDetail& entry = *list.GetItem(i);
            entries << QStringLiteral("%1 %2 %3")
                           .arg(entry.Details())
                           .arg(entry.Amount, 0, 'f', 2)
                           .arg(Chart->Format()->FormatCode(entry.BankCode));
            marked = marked ||
                     entry.HasAnyFlag({TF::Reconciled, TF::BankRecMarkA, TF::BankRecMarkB, TF::BankRecMarkC});
        }
        return entries;
    }
    // 2007's opening detail of a bank account, read back from its file.
    TBRecOpeningDetail Opening2007(const QString& bank) {
        TReportSetup setup(File->RunFile(2007), 0, prBringForward, 2007, true);
        auto chart = OpeningChart(2007, setup.Accounts);
        const TBRecOpeningDetail* detail = chart->GetDetail(chart->IndexOfAccount(Code(bank)));
        EXPECT_NE(detail, nullptr) << bank.toStdString();
        return detail ? *detail : TBRecOpeningDetail();
    }
};

} // namespace

TEST_F(BringForwardReconciliationTest, ACompletedReconciliationOpensTheNewYear) {
    ReconcileBank2000(EncodeDateNum(2006, 6, 30), true);
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList{TBringForwardEngine::CompleteText});

    bool marked = true;
    EXPECT_EQ(Page2007(pkOpeningUnpresentedCheques, marked),
              (QStringList{"Cheque 101 75.00 " + Key("2000"), "Cheque 102 120.50 " + Key("2000")}));
    EXPECT_FALSE(marked);
    EXPECT_EQ(Page2007(pkOpeningOutstandingDeposits, marked), QStringList{"Deposit 7 40.00 " + Key("2000")});
    EXPECT_FALSE(marked);

    const TBRecOpeningDetail bank = Opening2007("2000");
    EXPECT_DOUBLE_EQ(bank.Cashbook_Open_Bal, CashbookClose);
    EXPECT_DOUBLE_EQ(bank.Statement_Open_Bal, StatementClose);
    EXPECT_EQ(bank.ThirdAmount, 0.0);
    EXPECT_EQ(bank.SixthValue, 0.0);
    EXPECT_EQ(bank.Open_Bal_Date, EncodeDateNum(2006, 7, 1));
    EXPECT_EQ(bank.PeriodEnd, EncodeDateNum(2006, 7, 31));
    EXPECT_FALSE(bank.Completed);
    EXPECT_EQ(bank.Reconciled_To, TBRecOpeningDetail::NotReconciled);
    EXPECT_TRUE(
        QFileInfo(NativePath(bank.UnmatchedFile)).fileName().startsWith("ABC12307.RU", Qt::CaseInsensitive))
        << bank.UnmatchedFile.toStdString();
    // Reconciled with nothing outstanding and no file: the balances alone come over.
    const TBRecOpeningDetail other = Opening2007("2100");
    EXPECT_DOUBLE_EQ(other.Cashbook_Open_Bal, 320.99);
    EXPECT_DOUBLE_EQ(other.Statement_Open_Bal, 320.99);
}

namespace {

struct TStoppedCase {
    const char* Name;
    double ReconciledTo;
    bool Completed;
};

class BringForwardStoppedReconciliationTest : public BringForwardReconciliationTest,
                                              public testing::WithParamInterface<TStoppedCase> {};

} // namespace

TEST_P(BringForwardStoppedReconciliationTest, GivesTheMessageAndNoOpeningItems) {
    ReconcileBank2000(GetParam().ReconciledTo, GetParam().Completed);
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    const QString message = "The reconciliation for account " + Key("2000") +
                            " (Account 2000) has not been completed to \n" +
                            DateNumToStr(true, EncodeDateNum(2006, 6, 30)) +
                            " and cannot be used for opening bank reconciliation balances.";
    EXPECT_EQ(Prompt->Texts(), (QStringList{message, TBringForwardEngine::CompleteText}));
    ASSERT_FALSE(Prompt->Shown.isEmpty());
    EXPECT_EQ(Prompt->Shown.first().Buttons, TMessageButton::OK | TMessageButton::Ignore);

    bool marked = false;
    EXPECT_TRUE(Page2007(pkOpeningUnpresentedCheques, marked).isEmpty());
    EXPECT_TRUE(Page2007(pkOpeningOutstandingDeposits, marked).isEmpty());
    const TBRecOpeningDetail bank = Opening2007("2000");
    EXPECT_EQ(bank.Cashbook_Open_Bal, 0.0);
    EXPECT_EQ(bank.Statement_Open_Bal, 0.0);
    EXPECT_EQ(bank.ThirdAmount, 0.0);
    EXPECT_EQ(bank.SixthValue, 0.0);
    EXPECT_EQ(bank.Open_Bal_Date, EncodeDateNum(2006, 7, 1));
    EXPECT_FALSE(bank.Completed);
    // The other account's completed reconciliation still comes over.
    EXPECT_DOUBLE_EQ(Opening2007("2100").Cashbook_Open_Bal, 320.99);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BringForwardStoppedReconciliationTest,
    testing::Values(TStoppedCase{"CompletedToTheDayBefore", EncodeDateNum(2006, 6, 29), true},
                    TStoppedCase{"CompletedToMay", EncodeDateNum(2006, 5, 31), true},
                    TStoppedCase{"NotCompleted", EncodeDateNum(2006, 6, 30), false}),
    [](const testing::TestParamInfo<TStoppedCase>& stopped) { return std::string(stopped.param.Name); });

// ---- how a run ends and what it leaves -----------------------------------------------------------

// A complete run says so once, with the default beep; a cancelled one says it was stopped and
// that it is incomplete, each box with its own beep.
TEST_F(BringForwardEngineTest, EachEndIsReportedOnceWithItsBeep) {
    TBringForwardOptions options;
    options.OpeningReconciliation = false;
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(options), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList{TBringForwardEngine::CompleteText});
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Default});
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown.first().Kind, TMessageKind::Information);

    Prompt->Shown.clear();
    Prompt->Beeps.clear();
    Progress->Updates = 0;
    Progress->CancelAtUpdate = 3;
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(Run(options), -100);
    EXPECT_EQ(Prompt->Texts(),
              (QStringList{TBringForwardEngine::TerminatedText, TBringForwardEngine::IncompleteText}));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Error, TBeep::Warning}));
    ASSERT_EQ(Prompt->Shown.size(), 2);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Shown[1].Kind, TMessageKind::Information);
}

// The file stays in 2006 while 2007 is made (the change-of-year road): the reconciliation of
// 2007 is reset all the same, so an entry that 2007 had marked reconciled before is free again.
TEST_F(BringForwardEngineTest, TheNewYearsReconciliationIsResetWhenTheFileIsInTheOldYear) {
    {
        TTransactionList list(File->ListSources(2006), pkPayments, 2007, 2, 12, {QuietLoad});
        auto entry = std::make_unique<TTransactionDetail>(list.TakeNextID(2), qint16(pkPayments));
        entry->SetFlags({TF::Keyed, TF::Reconciled, TF::BankRecMarkA});
        entry->Date = EncodeDateNum(2006, 8, 10);
        entry->PostingCode = Code("1500");
        entry->BankCode = Code("2000");
        entry->Amount = 9.95;
        entry->SetDetails("Reconciled before");
        list.AddTransaction(std::move(entry), 0);
        TOptionSet save{Standard};
        ASSERT_EQ(list.SaveToFile(save, false, true), 0);
    }
    TBringForwardOptions options;
    options.OpeningReconciliation = false;
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(options), 0);
    ASSERT_EQ(File->EntityDetail().Year, 2006);
    TTransactionList list(File->ListSources(2006), pkPayments, 2007, 2, 12, {QuietLoad});
    bool found = false;
    for (int i = 0; i < list.Count(); ++i) {
        const TTransactionDetail& entry = *list.GetItem(i);
        if (entry.Details() != "Reconciled before")
            continue;
        found = true;
        EXPECT_FALSE(entry.HasAnyFlag({TF::Reconciled, TF::BankRecMarkA}));
    }
    EXPECT_TRUE(found);
    // The reset gave the file back its opening chart slot as it found it.
    EXPECT_EQ(File->BankRecOpeningChart(), nullptr);
}

// The question about the new year's opening balances names their file as this workstation
// writes it; No leaves the page as it was and the run completes.
TEST_F(BringForwardEngineTest, TheReplaceQuestionNamesTheFileNatively) {
    {
        TTransactionList list(File->ListSources(2006), pkOpeningBalances, 2007, 1, 12, {QuietLoad});
        auto entry = std::make_unique<TTransactionDetail>(list.TakeNextID(1), qint16(pkOpeningBalances));
        entry->SetFlags({TF::Keyed});
        entry->Date = EncodeDateNum(2006, 7, 1);
        entry->PostingCode = Code("3000");
        entry->BankCode = Code("2000");
        entry->Amount = 1.00;
        entry->SetDetails("Typed in 2007");
        list.AddTransaction(std::move(entry), 0);
        list.GenerateContras(false);
        TOptionSet save{Standard};
        ASSERT_EQ(list.SaveToFile(save, false, true), 0);
    }
    const QByteArray before = Files2007().value("ABC123/ABC12307.OB1");
    ASSERT_FALSE(before.isEmpty()) << Files2007().keys().join(' ').toStdString();
    TBringForwardOptions options;
    options.OpeningReconciliation = false;
    Prompt->Answer(TMessageButton::No);
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(options), 0);
    ASSERT_EQ(Prompt->Texts().size(), 2);
    const QString question = Prompt->Texts().first();
    EXPECT_EQ(question, "A file for " + DataDir + "/ABC123/ABC12307.OB1 aleady exists.\rReplace this file ?");
    EXPECT_FALSE(question.contains('\\'));
    EXPECT_EQ(Files2007().value("ABC123/ABC12307.OB1"), before);
}

namespace {

// Notes the file's current bank-reconciliation opening chart, and its year, when a step of the
// run starts.
class TWatchingProgress : public IProgress {
public:
    TWatchingProgress(const TEntityInfo& file, QString step, const TBankRecOpeningDetailChart*& seen,
                      int& year)
        : File(file), Step(std::move(step)), Seen(seen), SeenYear(year) {}
    void Setup(const QString&, int, const QString&, bool, bool) override {}
    void SetPosition(double) override {}
    void SetMessage(int, const QString& detail) override {
        if (!detail.contains(Step))
            return;
        Seen = File.BankRecOpeningChart();
        SeenYear = Seen ? Seen->Year : 0;
    }
    bool Cancelled() const override { return false; }

private:
    const TEntityInfo& File;
    QString Step;
    const TBankRecOpeningDetailChart*& Seen;
    int& SeenYear;
};

} // namespace

// During the run the source year's opening chart is the file's current one; the chart the file
// held before is given back, untouched, when the run is over.
TEST_F(BringForwardEngineTest, TheSourceOpeningChartIsTheFilesCurrentOneDuringTheRun) {
    auto held = std::make_unique<TBankRecOpeningDetailChart>(File->EntityDetail().ChartEntity(), Chart,
                                                             Chart->Format(), TOptionSet{}, 2006);
    const TBankRecOpeningDetailChart* heldChart = held.get();
    File->SetBankRecOpeningChart(std::move(held));
    TBringForwardOptions options;
    options.OpeningReconciliation = false;
    Prompt->Answer(TMessageButton::OK);
    const TBankRecOpeningDetailChart* seen = nullptr;
    int seenYear = 0;
    TBringForwardEngine engine(*File, 2007);
    engine.SetProgress(std::make_unique<TWatchingProgress>(*File, "Opening Balances", seen, seenYear));
    EXPECT_EQ(engine.Run(options, Distribution), 0);
    ASSERT_NE(seen, nullptr);
    EXPECT_NE(seen, heldChart);
    EXPECT_EQ(seenYear, 2006);
    EXPECT_EQ(File->BankRecOpeningChart(), heldChart);
}

namespace {

struct TDistributionCase {
    const char* Name;
    bool WizardChart; // the wizard's chart of last year, holding the account it made, is given
    const char* ProfitAccount;
    const char* Description;
};

class BringForwardDistributionAccountTest : public BringForwardEngineTest,
                                            public testing::WithParamInterface<TDistributionCase> {};

} // namespace

// The distribution names 00-4100-00, which last year's file does not have: made by the wizard's
// default entry, it is created in the new chart from the wizard's chart; with no such chart the
// share goes to the suspense account.
TEST_P(BringForwardDistributionAccountTest, TheShareGoesToTheAccountTheWizardMade) {
    const TDistributionCase& c = GetParam();
    TAccountsChart wizard(File->EntityDetail().ChartEntity(), Chart->Format(), TOptionSet{}, 2006);
    auto account = std::make_unique<TAccountDetail>(Chart->Format());
    account->SetCode(Code("00-4100-00"));
    account->DeriveAccountType("ACC");
    account->Description = TProfitDistribution::DefaultDescription;
    ASSERT_GE(wizard.AddAccount(std::move(account)), 0);
    Distribution.SetEntries({{"00-4100-00", "100.00"}});

    TBringForwardOptions options;
    options.OpeningReconciliation = false;
    Prompt->Answer(TMessageButton::OK);
    TBringForwardEngine engine(*File, 2007);
    if (c.WizardChart)
        engine.SetDistributionAccounts(&wizard);
    ASSERT_EQ(engine.Run(options, Distribution), 0);

    const QMap<QString, double> opening = Balances(2007);
    // The profit of both bank accounts, 600.00 and 333.33, as a credit.
    EXPECT_NEAR(opening.value(Chart->Format()->FormatCode(Code(c.ProfitAccount))),
                -933.33 + (c.WizardChart ? 0 : 12.34), 0.001);
    TReportSetup year(File->RunFile(2007), 0, prBringForward, 2007, true);
    const int index = year.Accounts->IndexOfCode(Code("00-4100-00"));
    EXPECT_EQ(index >= 0, c.WizardChart);
    if (index >= 0) {
        EXPECT_EQ(year.Accounts->GetAccount(index)->Description, c.Description);
        EXPECT_EQ(year.Accounts->GetAccount(index)->AccountType, "ACC");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BringForwardDistributionAccountTest,
    testing::Values(TDistributionCase{"FromTheWizardsChart", true, "00-4100-00", "Retained Profits"},
                    TDistributionCase{"ToSuspenseWithoutIt", false, "9100", ""}),
    [](const testing::TestParamInfo<TDistributionCase>& c) { return std::string(c.param.Name); });

// ---- a bring forward run again from inside the new year -------------------------------------------

namespace {

// 2007 brought forward from 2006 once, then the file moved into 2007 for a redo, which the wizard
// offers with every chart retained and no opening entries.
class BringForwardRedoTest : public BringForwardEngineTest {
protected:
    void SetUp() override {
        BringForwardEngineTest::SetUp();
        if (HasFatalFailure())
            return;
        TBringForwardOptions first;
        first.OpeningReconciliation = false;
        Prompt->Answer(TMessageButton::OK);
        ASSERT_EQ(Run(first), 0);
        File->ChangeYear(2007, true, false);
        ASSERT_EQ(File->EntityDetail().Year, 2007);
        Chart = File->AccountsChart(2007);
        ASSERT_NE(Chart, nullptr);
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
    }
    static TBringForwardOptions Redo() { return TBringForwardChoices({true, true, true, true}).Options(); }
};

} // namespace

// An account added in 2007 and not yet written (the timed save had not come round) is still
// there after the redo that keeps the current chart.
TEST_F(BringForwardRedoTest, AnUnsavedNewAccountSurvivesTheRedo) {
    auto account = std::make_unique<TAccountDetail>(Chart->Format());
    account->SetCode(Code("3500"));
    account->DeriveAccountType("ACC");
    account->Description = "Added in 2007";
    ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
    Chart->Saved = false;

    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(Redo()), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList{TBringForwardEngine::CompleteText});
    ASSERT_EQ(File->EntityDetail().Year, 2007);
    Chart = File->AccountsChart(2007);
    ASSERT_NE(Chart, nullptr);
    const int index = Chart->IndexOfCode(Code("3500"));
    ASSERT_GE(index, 0);
    EXPECT_EQ(Chart->GetAccount(index)->Description, "Added in 2007");
    TAccountsChart stored(File->EntityDetail().ChartEntity(), Chart->Format(), TOptionSet{Standard, Load},
                          2007);
    EXPECT_GE(stored.IndexOfCode(Code("3500")), 0);
}

// ---- Cancel pressed while the closing reconciliation reset runs ------------------------------------

namespace {

// The reset's own progress window (it has no Cancel); as it is set up, the user presses Cancel
// on the bring forward's window.
class TPressCancelDuringReset : public IProgressFactory {
public:
    explicit TPressCancelDuringReset(QPushButton* cancel) : Cancel(cancel) {}
    std::unique_ptr<IProgress> CreateProgress() override { return std::make_unique<TWindow>(*this); }
    int Presses = 0;

private:
    class TWindow : public IProgress {
    public:
        explicit TWindow(TPressCancelDuringReset& owner) : Owner(owner) {}
        void Setup(const QString& caption, int, const QString&, bool, bool) override {
            if (caption == "ABC123 : All Bank Accounts") {
                ++Owner.Presses;
                Owner.Cancel->click();
            }
        }
        void SetPosition(double) override {}
        void SetMessage(int, const QString&) override {}
        bool Cancelled() const override { return false; }

    private:
        TPressCancelDuringReset& Owner;
    };
    QPushButton* Cancel;
};

struct TClosingCancelCase {
    const char* Name;
    bool InsideNewYear; // a redo from inside 2007, else the first run from 2006
};

class BringForwardClosingCancelTest : public BringForwardRedoTest,
                                      public testing::WithParamInterface<TClosingCancelCase> {
protected:
    void SetUp() override {
        if (GetParam().InsideNewYear)
            BringForwardRedoTest::SetUp();
        else
            BringForwardEngineTest::SetUp();
    }
};

} // namespace

// Like every other cancel, one during the reset that closes the run is reported as terminated and
// incomplete, and the new year is left as it was before the run.
TEST_P(BringForwardClosingCancelTest, IsReportedIncomplete) {
    TBringForwardOptions options = Redo();
    if (!GetParam().InsideNewYear) {
        options = TBringForwardOptions{};
        options.OpeningReconciliation = false;
    }
    const QMap<QString, QByteArray> before = Files2007();
    auto window = std::make_unique<TfmProgress>();
    auto* cancel = window->findChild<QPushButton*>("CancelBtn");
    ASSERT_NE(cancel, nullptr);
    const auto presses = std::make_shared<TPressCancelDuringReset>(cancel);
    TServices::SetProgressFactory(presses);
    Prompt->Answer(TMessageButton::OK); // Operation cancelled.
    Prompt->Answer(TMessageButton::OK);
    Prompt->Answer(TMessageButton::OK);
    TBringForwardEngine engine(*File, 2007);
    engine.SetProgress(std::move(window));
    EXPECT_EQ(engine.Run(options, Distribution), -100);
    EXPECT_EQ(presses->Presses, 1);
    EXPECT_EQ(Prompt->Texts(), (QStringList{"Operation cancelled.", TBringForwardEngine::TerminatedText,
                                            TBringForwardEngine::IncompleteText}));
    EXPECT_EQ(Files2007(), before);
    if (GetParam().InsideNewYear) {
        EXPECT_EQ(File->EntityDetail().Year, 2007);
        EXPECT_NE(File->AccountsChart(2007), nullptr);
    } else {
        EXPECT_TRUE(File->EntityDetail().ProfitDistribution.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BringForwardClosingCancelTest,
                         testing::Values(TClosingCancelCase{"FromTheOldYear", false},
                                         TClosingCancelCase{"RedoInsideTheNewYear", true}),
                         [](const testing::TestParamInfo<TClosingCancelCase>& c) {
                             return std::string(c.param.Name);
                         });
