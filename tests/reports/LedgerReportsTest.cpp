// The general ledger and the transaction listing over a year of books written to disk, and the
// report window's drill-down, printing and PDF files of them.
#include "tests/core/EntityTestSupport.h"

#include "tests/core/ChartTestSupport.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Money.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/files/Paths.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "reports/LedgerReports.h"
#include "reports/fmReports.h"

#include <QTabWidget>

#include <map>
#include <set>

namespace TF = TransactionFlag;

namespace {

// A day of the year to June 2006.
double Day(int month, int day) {
    return EncodeDateNum(month >= 7 ? 2005 : 2006, month, day);
}
// The monthly period of a month in that year.
int PeriodOfMonth(int month) {
    return (month + 5) % 12 + 1;
}

// One entry of the books: kind, date, posting and bank account, amount, GST, currency rate, the
// dissection it belongs to (0: none), reference and details.
struct TBookEntry {
    int Kind;
    double Date;
    QString Posting, Bank;
    double Amount;
    bool Gst = false;
    double Rate = 1.0;
    int Dissection = 0;
    qint32 Reference = 1;
    QString Details = {};
};

// An amount of the report's text ("1,234.50") as a number.
double Amount(const QString& text) {
    bool ok = false;
    const double value = QString(text).remove(u',').toDouble(&ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return value;
}

// File ABC123 (year to June 2006) with GST, currency conversion and daily contras, its 2006 chart
// of accounts, a GST code of 10 % to account 3100, and a year of books on disk.
class LedgerReportsTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        TEntityDetail& detail = File->EntityDetail();
        std::tie(detail.Tax, detail.CurrencyConv, detail.Contras) = std::tuple(true, true, quint8(0));
        Chart = File->AccountsChart(2006);
        for (const QString text :
             {"1000:ACC:Capital", "2000:BNK:Cheque Account", "2100:BNK:Savings Account", "3000:ACC:Sales",
              "3100:ACC:GST Collected", "4000:ACC:Rent", "4100:ACC:Wages", "4200:ACC:Purchases",
              "5000:ACC:Debtors", "6000:ACC:Unused", "9100:SUS:Suspense"}) {
            auto account = std::make_unique<TAccountDetail>(Chart->Format());
            account->SetCode(Code(text.section(':', 0, 0)));
            account->DeriveAccountType(text.section(':', 1, 1));
            account->Description = text.section(':', 2);
            ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
        }
        Chart->SetDefaultAccount(Chart->IndexOfCode(Code("9100")), true);
        auto gst = std::make_unique<TTaxRate>(Chart->Format());
        std::tie(gst->Tax_Code, gst->TaxType, gst->Tax_Rate, gst->TaxAccount, gst->StartDate, gst->EndDate) =
            std::tuple(QString("GST"), 0, 10.0, Code("3100"), Day(7, 1), Day(6, 30));
        ASSERT_GE(File->TaxRateChart(2006)->AddItem(std::move(gst)), 0);
        File->TaxRateChart(2006)->Saved = false; // as the editor leaves it
    }
    void TearDown() override {
        File.reset();
        TEntityFixture::TearDown();
    }

    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(text.isEmpty() || Chart->Format()->TextToCode(text, code, false, false))
            << text.toStdString();
        return code;
    }
    std::unique_ptr<TTransactionList> NewList(int kind, int period, const TOptionSet& options = {Standard}) {
        return std::make_unique<TTransactionList>(File->ListSources(2006), kind, 2006, period, 12, options);
    }

    // Writes the entries as the program writes a page: contra lines, tax lines and dissection
    // numbers made as the list is saved.
    void WriteEntries(const std::vector<TBookEntry>& entries) {
        std::map<std::pair<int, int>, std::unique_ptr<TTransactionList>> lists;
        std::map<std::pair<int, int>, qint32> dissections;
        for (const TBookEntry& e : entries) {
            int year = 2006, month = 0, day = 0;
            DecodeDateNum(e.Date, year, month, day);
            const int period = IsOneFileKind(e.Kind) ? 1 : PeriodOfMonth(month);
            auto& list = lists[{e.Kind, period}];
            if (!list)
                list = NewList(e.Kind, period);
            auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(e.Kind));
            entry->SetFlags({TF::Keyed});
            std::tie(entry->Date, entry->Reference, entry->Amount, entry->Rate) =
                std::tuple(e.Date, e.Reference, e.Amount, e.Rate);
            std::tie(entry->PostingCode, entry->BankCode) = std::tuple(Code(e.Posting), Code(e.Bank));
            entry->TaxCodes = e.Gst ? 1u : 0u;
            entry->SetDetails(e.Details);
            const int slot = list->EntryMonthSlot(*entry);
            entry->ID = list->TakeNextID(slot);
            if (e.Dissection > 0) {
                qint32& number = dissections[{e.Kind, e.Dissection}];
                if (number == 0)
                    number = list->TakeNextDissectionNo(slot);
                entry->Dissection = number;
                entry->SetFlags({TF::DissectionMember});
            }
            list->AddTransaction(std::move(entry), 0);
        }
        for (auto& [key, list] : lists)
            ASSERT_EQ(list->SaveIfNeeded(), 0) << key.first << "/" << key.second;
    }

    // A year of books over every cash-book kind: opening balances on the year's first day and one
    // later; each month per kind five entries and a dissection of three, one entry in three with
    // GST, one in eleven in another currency, one in nine a refund; then bank statement items
    // and a memorised payment, which only the listing reads. Returns how many entries it wrote.
    int WriteYear() {
        std::vector<TBookEntry> entries = {
            {pkOpeningBalances, Day(7, 1), "1000", "2000", -8000.00, false, 1.0, 0, OpeningBalanceReference,
             "Capital introduced"},
            {pkOpeningBalances, Day(7, 1), "5000", "2000", 1500.25, false, 1.0, 0, OpeningBalanceReference,
             "Debtors"},
            {pkOpeningBalances, Day(7, 1), "2100", "2000", 3000.00, false, 1.0, 0, OpeningBalanceReference,
             "Savings"},
            {pkOpeningBalances, Day(8, 15), "1000", "2000", -250.00, false, 1.0, 0, OpeningBalanceReference,
             "Late opening balance"},
        };
        const struct {
            int Kind;
            QStringList Postings, Banks;
        } kinds[] = {
            {pkPayments, {"4000", "4100", "4200"}, {"2000", "2100"}},
            {pkReceipts, {"3000", "5000"}, {"2000", "2100"}},
            {pkGeneralJournals, {"4000", "1000", "5000"}, {"9100"}},
            {pkSalesJournals, {"3000"}, {"9100"}},
            {pkPurchasesJournals, {"4200"}, {"9100"}},
            {pkWagesJournals, {"4100"}, {"9100"}},
            {pkPettyCashJournals, {"4200", "4000"}, {"2100"}},
        };
        quint32 seed = 20060630;
        const auto next = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return static_cast<int>((seed >> 8) % static_cast<quint32>(n));
        };
        int counter = 0;
        int dissection = 0;
        for (int month = 1; month <= 12; ++month) {
            for (const auto& kind : kinds) {
                for (int i = 0; i < 8; ++i) {
                    ++counter;
                    const bool member = i >= 5;
                    if (i == 5)
                        ++dissection;
                    TBookEntry entry{kind.Kind,
                                     Day(month, member ? 20 : 1 + next(28)),
                                     kind.Postings[next(static_cast<int>(kind.Postings.size()))],
                                     kind.Banks[member ? 0 : next(static_cast<int>(kind.Banks.size()))],
                                     (next(200000) + 100) / 100.0 * (counter % 9 == 0 ? -1 : 1),
                                     counter % 3 == 0,
                                     counter % 11 == 0 ? 0.75 : 1.0,
                                     member ? dissection : 0,
                                     member ? 500000 + dissection : 100 + counter,
                                     QString("Entry %1").arg(counter)};
                    entries.push_back(entry);
                }
            }
            entries.push_back({pkBankStatementDeposits, Day(month, 9), "", "2000", 75.50});
            entries.push_back({pkBankStatementWithdrawals, Day(month, 10), "", "2000", 12.00});
        }
        entries.push_back({pkMemorisedPayments, 15, "4000", "2000", 99.00, false, 1.0, 0, 1, "Monthly rent"});
        WriteEntries(entries);
        return static_cast<int>(entries.size());
    }

    // The balances of a plain recalculation over the ledger's page kinds, by chart index.
    std::map<int, double> PlainBalances() {
        TReportSetup plain(File->RunFile(2006), 0, 0, 2006, true);
        plain.CurrencyConversion = true;
        EXPECT_EQ(plain.PageKinds, 0xFF);
        EXPECT_FALSE(plain.MovementsOnly);
        EXPECT_EQ(File->ProcessTransactions(plain, nullptr, false, false, false), 0);
        std::map<int, double> balances;
        for (int i = 0; i < plain.Accounts->Count(); ++i)
            balances[i] = plain.Accounts->GetAccount(i)->Balance;
        return balances;
    }

    // The list the data-entry window opens for a target: the page's kind and period, fully
    // processed as a page loads.
    std::unique_ptr<TTransactionList> PageList(const TReportLineTarget& target) {
        return NewList(target.PageKind, target.Period, {Load});
    }

    std::unique_ptr<TEntityInfo> File;
    TAccountsChart* Chart = nullptr;
};

// The closing balance of every account equals, to the cent, the balance of a plain recalculation;
// the debits equal the credits; each account's lines run from its opening to its closing balance in
// the order of their keys.
TEST_F(LedgerReportsTest, LedgerAgreesWithThePlainRecalculation) {
    WriteYear();
    const TLedger ledger = BuildLedger(*File);
    ASSERT_EQ(ledger.Result, 0);
    EXPECT_EQ(ledger.Title, "General Ledger Report");
    const std::map<int, double> plain = PlainBalances();

    std::set<int> listed;
    TMoneyTotal openings;
    size_t lineCount = 0;
    bool bankSides = false, taxLines = false, foreign = false, contras = false;
    for (const TLedgerAccount& account : ledger.Accounts) {
        SCOPED_TRACE(account.Code.toStdString());
        listed.insert(account.Index);
        EXPECT_EQ(RoundToCent(account.Closing), RoundToCent(plain.at(account.Index)));
        openings.Add(account.Opening);
        TMoneyTotal running(account.Opening);
        for (size_t i = 0; i < account.Lines.size(); ++i) {
            const TLedgerLine& line = account.Lines[i];
            running.Add(line.Item.Amount);
            EXPECT_NEAR(line.Balance, running.Value(), 1e-6);
            if (i > 0) {
                EXPECT_LE(account.Lines[i - 1].Item.Key, line.Item.Key);
            }
            const TTransactionDetail& entry = line.Item.Entry;
            EXPECT_EQ(line.Item.BankSide ? entry.BankCode : entry.PostingCode,
                      Chart->GetAccount(account.Index)->Code());
            // Lines that post to their own bank account cancel and are left out.
            EXPECT_FALSE(entry.PostingCode == entry.BankCode);
            bankSides |= line.Item.BankSide;
            taxLines |= entry.HasAnyFlag({TF::TaxLine});
            foreign |= entry.Rate != 1.0;
            contras |= entry.HasAnyFlag({TF::Contra});
        }
        EXPECT_TRUE(SameMoney(account.Closing, running.Value()));
        EXPECT_TRUE(account.Lines.empty() || SameMoney(account.Lines.back().Balance, account.Closing));
        lineCount += account.Lines.size();
    }
    EXPECT_TRUE(bankSides && taxLines && foreign && contras);
    EXPECT_GT(lineCount, 1000u);
    // Accounts left out have nothing.
    for (const auto& [index, balance] : plain) {
        if (!listed.contains(index)) {
            EXPECT_TRUE(IsZeroMoney(balance)) << index;
        }
    }
    EXPECT_FALSE(listed.contains(Chart->IndexOfCode(Code("6000"))));
    EXPECT_TRUE(IsZeroMoney(openings.Value()));
    EXPECT_GT(ledger.TotalDebits, 10000.0);
    EXPECT_EQ(RoundToCent(ledger.TotalDebits), RoundToCent(ledger.TotalCredits));
    // The opening balance of the year's first day opens the accounts; the later one is a line.
    const auto capital = std::find_if(ledger.Accounts.begin(), ledger.Accounts.end(),
                                      [](const TLedgerAccount& a) { return a.Code == "1000"; });
    ASSERT_NE(capital, ledger.Accounts.end());
    EXPECT_EQ(capital->Opening, -8000.00);
    EXPECT_EQ(capital->Description, "Capital");
    // The run read the file's own charts through private copies: the file's chart holds no balance.
    EXPECT_EQ(Chart->GetAccount(capital->Index)->Balance, 0.0);
}

// The report's own lines say what the ledger holds: each closing balance, the totals, and a target
// on every transaction line.
TEST_F(LedgerReportsTest, TextShowsTheLedger) {
    WriteYear();
    const TLedger ledger = BuildLedger(*File);
    ASSERT_EQ(ledger.Result, 0);
    const TReportText report = LedgerText(ledger);
    // The page's name tells the ledgers of two years of one file apart.
    EXPECT_EQ(report.Title, "General Ledger Report 2006");
    TLedger nextYear = ledger;
    nextYear.Year = 2007;
    EXPECT_EQ(LedgerText(nextYear).Title, "General Ledger Report 2007");
    EXPECT_EQ(report.Lines.mid(0, 3),
              QStringList({"General Ledger Report", "ABC123 (2006) - Acme", "01/07/2005 to 30/06/2006"}));

    QStringList closings;
    for (const QString& line : report.Lines)
        if (line.contains("Closing balance"))
            closings << line.split(' ', Qt::SkipEmptyParts).last();
    ASSERT_EQ(closings.size(), static_cast<qsizetype>(ledger.Accounts.size()));
    for (size_t i = 0; i < ledger.Accounts.size(); ++i)
        EXPECT_DOUBLE_EQ(Amount(closings[static_cast<qsizetype>(i)]),
                         RoundToCent(ledger.Accounts[i].Closing));

    const QStringList totals = report.Lines.last().split(' ', Qt::SkipEmptyParts);
    ASSERT_EQ(totals.size(), 3);
    EXPECT_EQ(totals[0], "Totals");
    EXPECT_EQ(totals[1], totals[2]);
    EXPECT_DOUBLE_EQ(Amount(totals[1]), RoundToCent(ledger.TotalDebits));

    // One target a transaction line, pointing at lines that start with their date.
    size_t lines = 0;
    for (const TLedgerAccount& account : ledger.Accounts)
        lines += account.Lines.size();
    ASSERT_EQ(report.Targets.size(), lines);
    const TLedgerLine& first = ledger.Accounts.front().Lines.front();
    EXPECT_EQ(report.Targets.front().Target.FirstID, first.Item.Entry.ID);
    for (const TReportLineTarget& target : report.Targets) {
        const QString& line = report.Lines.value(target.Line);
        EXPECT_TRUE(line.size() > 10 && line[2] == '/' && line[5] == '/') << line.toStdString();
    }
    // Fixed columns: every line of a transaction is as wide as its balance column ends.
    const int width = report.Lines[report.Targets.front().Line].size();
    EXPECT_EQ(width, 10 + 10 + 5 + 40 + 14 + 14 + 15 + 12);
    for (const TReportLineTarget& target : report.Targets)
        EXPECT_EQ(report.Lines[target.Line].size(), width);
}

// A target leads the data-entry window to the line: an entry by its ID, a tax line through its
// parent; the period is that of the entry's month. Contra lines are made afresh when a page opens,
// so theirs lead nowhere.
TEST_F(LedgerReportsTest, TargetsFindTheEntryOnItsPage) {
    WriteYear();
    const TLedger ledger = BuildLedger(*File);
    ASSERT_EQ(ledger.Result, 0);
    std::map<std::pair<int, int>, std::unique_ptr<TTransactionList>> pages;
    int checked = 0, viaParent = 0, contras = 0;
    for (const TLedgerAccount& account : ledger.Accounts) {
        for (const TLedgerLine& line : account.Lines) {
            const TTransactionDetail& entry = line.Item.Entry;
            const TReportLineTarget& target = line.Target;
            EXPECT_EQ(target.PageKind, entry.PageKind);
            if (!IsOneFileKind(entry.PageKind)) {
                int year = 0, month = 0, day = 0;
                DecodeDateNum(entry.Date, year, month, day);
                EXPECT_EQ(target.Period, PeriodOfMonth(month));
            } else {
                EXPECT_EQ(target.Period, 1);
            }
            auto& page = pages[{target.PageKind, target.Period}];
            if (!page)
                page = PageList(target);
            const qint32 id = target.Target.SecondID >= 1 ? target.Target.SecondID : target.Target.FirstID;
            const int found = page->IndexOfID(id, false);
            if (entry.HasAnyFlag({TF::Contra})) {
                ++contras;
                EXPECT_EQ(found, -1);
                continue;
            }
            ASSERT_GE(found, 0) << entry.Details().toStdString();
            const TTransactionDetail& located = *page->GetItem(found);
            if (entry.HasAnyFlag({TF::TaxLine})) {
                EXPECT_EQ(target.Target.SecondID, entry.ParentID);
                ++viaParent;
            } else {
                EXPECT_EQ(target.Target.SecondID, 0);
            }
            EXPECT_EQ(std::tuple(located.Date, located.Reference, located.PostingCode),
                      std::tuple(entry.Date, entry.Reference,
                                 entry.HasAnyFlag({TF::TaxLine}) ? located.PostingCode : entry.PostingCode));
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
    EXPECT_GT(viaParent, 50);
    EXPECT_GT(contras, 0);
}

// The period a target opens: the entry's month in the file's working periods, period 1 for the
// one-file kinds, and the month of the ID for a date outside the year.
TEST_F(LedgerReportsTest, TargetPeriodFollowsTheMonth) {
    const qint32 mayPayment = TransactionSlotKeyBase(pkPayments, 11) + 4;
    const struct {
        int Kind;
        double Date;
        qint32 ID;
        int PeriodsPerYear, Period;
    } cases[] = {
        {pkPayments, Day(9, 30), mayPayment, 12, 3},
        {pkPayments, Day(7, 1), mayPayment, 12, 1},
        {pkPayments, Day(6, 30), mayPayment, 12, 12},
        {pkPayments, Day(9, 30), mayPayment, 4, 1},
        {pkPayments, Day(10, 1), mayPayment, 4, 2},
        {pkPayments, Day(6, 30) + 1, mayPayment, 12, 11},
        {pkPayments, 0, mayPayment, 4, 4},
        {pkOpeningBalances, Day(9, 30), mayPayment, 12, 1},
        {pkMemorisedPayments, 15, mayPayment, 12, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Date << " " << c.PeriodsPerYear);
        File->PeriodsPerYear = c.PeriodsPerYear;
        EXPECT_EQ(TransactionPeriod(*File, c.Kind, c.Date, c.ID), c.Period);
    }
}

// A cancel in the progress window gives no report; a month that cannot be read gives the error box
// and the one line.
TEST_F(LedgerReportsTest, CancelRaisesAndFailureSaysSo) {
    WriteYear();
    Progress->CancelAtUpdate = 3;
    EXPECT_THROW(GeneralLedgerText(*File), EOperationCancelled);
    Progress->CancelAtUpdate = Progress->Updates + 2;
    EXPECT_THROW(TransactionListText(*File), EOperationCancelled);
    Progress->CancelAtUpdate = -1;

    const auto list = NewList(pkReceipts, 4);
    const QString damaged = NativePath(list->GetFileName(list->StartMonth(), {Standard}));
    ASSERT_TRUE(WriteFileBytes(damaged, ReadFileBytes(damaged).chopped(7)));
    for (const auto& [make, title] : std::vector<std::pair<std::function<TReportText()>, QString>>{
             {[&] { return GeneralLedgerText(*File); }, "General Ledger Report"},
             {[&] { return TransactionListText(*File); }, "Transaction Listing"}}) {
        SCOPED_TRACE(title.toStdString());
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::OK);
        const TReportText report = make();
        EXPECT_EQ(report.Title, title);
        EXPECT_EQ(report.Lines, QStringList("The " + title + " could not be produced."));
        EXPECT_TRUE(report.Targets.empty());
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_EQ(Prompt->Shown[0].Text, "Error processing transaction files - process aborted.");
    }
}

// The listing: every line of pages 0 to 13 in date order, then page and reference, with a target
// each and the totals per page of the lines other than contra lines (which balance each page to
// 0.00); blank lines and dissection totals are not lines.
TEST_F(LedgerReportsTest, ListingShowsEveryPageInDateOrder) {
    WriteYear();
    // What the listing should hold, read as the recalculation reads the lists.
    std::map<int, std::pair<int, TMoneyTotal>> expected;
    int total = 0, contras = 0;
    for (int kind = 0; kind <= pkStandardBankTransactions; ++kind) {
        for (int period = 1; period <= (IsOneFileKind(kind) ? 1 : 12); ++period) {
            const auto list = NewList(kind, period, {QuietLoad, NoLoadProcessing});
            list->RefreshTaxEntries(true, list->TaxColumn(), false, false);
            list->SetSaved(true);
            for (int i = 0; i < list->Count(); ++i)
                if (const TTransactionDetail& e = *list->GetItem(i);
                    !e.HasAnyFlag({TF::Blank, TF::DissectionTotal})) {
                    ++total;
                    if (e.HasAnyFlag({TF::Contra})) {
                        ++contras;
                        continue;
                    }
                    ++expected[kind].first;
                    expected[kind].second.Add(e.Amount);
                }
        }
    }
    const TReportText report = TransactionListText(*File);
    EXPECT_EQ(report.Title, "Transaction Listing");
    EXPECT_EQ(report.Lines.last(), QString("Entries listed: %1").arg(total));
    ASSERT_EQ(report.Targets.size(), static_cast<size_t>(total));
    // Date order: the memorised payment's day of the month comes first.
    EXPECT_TRUE(report.Lines[report.Targets.front().Line].startsWith("Day 15      Apay"))
        << report.Lines[report.Targets.front().Line].toStdString();
    double previous = 0;
    for (size_t i = 1; i < report.Targets.size(); ++i) {
        const QString date = report.Lines[report.Targets[i].Line].left(10);
        const double day =
            EncodeDateNum(date.mid(6, 4).toInt(), date.mid(3, 2).toInt(), date.left(2).toInt());
        EXPECT_GE(day, previous) << date.toStdString();
        previous = day;
        const QString page = report.Lines[report.Targets[i].Line].mid(12, 5).trimmed();
        EXPECT_EQ(page, PageKindEntry(report.Targets[i].PageKind).ShortName.toString());
    }
    // The totals per page kind.
    const qsizetype at = report.Lines.indexOf("Totals by page, without contra lines");
    ASSERT_GE(at, 0);
    EXPECT_GT(contras, 100);
    EXPECT_FALSE(IsZeroMoney(expected[pkPayments].second.Value()));
    for (const auto& [kind, counted] : expected) {
        const QString name = PageKindEntry(kind).Name.toString();
        const auto line = std::find_if(report.Lines.begin() + at, report.Lines.end(),
                                       [&](const QString& l) { return l.startsWith(name); });
        ASSERT_NE(line, report.Lines.end()) << name.toStdString();
        const QStringList parts = line->mid(32).split(' ', Qt::SkipEmptyParts);
        EXPECT_EQ(parts.value(0).toInt(), counted.first) << name.toStdString();
        EXPECT_DOUBLE_EQ(Amount(parts.value(2)), RoundToCent(counted.second.Value())) << name.toStdString();
    }
}

// An open page is listed as it stands in memory, and nothing is written by the listing.
TEST_F(LedgerReportsTest, ListingReadsAnOpenPageAsItStands) {
    WriteYear();
    const auto list = NewList(pkPayments, 2);
    const QString path = NativePath(list->GetFileName(list->StartMonth(), {Standard}));
    const QByteArray before = ReadFileBytes(path);
    const int index = File->OpenDataEntryPage(pkPayments, 2, {Load}, false);
    ASSERT_GE(index, 0);
    TTransactionList& open = File->DataEntryPage(index)->List();
    TTransactionDetail* first = nullptr;
    for (int i = 0; i < open.Count() && !first; ++i)
        if (!open.GetItem(i)->HasAnyFlag({TF::Contra, TF::TaxLine, TF::Blank, TF::DissectionTotal}))
            first = open.GetItem(i);
    ASSERT_TRUE(first);
    first->SetDetails("Changed on the page");
    open.SetSaved(false);

    const TReportText report = TransactionListText(*File);
    const auto found =
        std::find_if(report.Targets.begin(), report.Targets.end(), [&](const TReportLineTarget& t) {
            return t.PageKind == pkPayments && t.Target.FirstID == first->ID;
        });
    ASSERT_NE(found, report.Targets.end());
    EXPECT_TRUE(report.Lines[found->Line].contains("Changed on the page"));
    EXPECT_EQ(found->Period, 2);
    EXPECT_EQ(ReadFileBytes(path), before);
    open.SetSaved(true);
}

// The window: the ledger as a page whose transaction lines lead to their entries (a double click
// hands the line's target to the drill-down), saved as a PDF file of many pages.
TEST_F(LedgerReportsTest, WindowShowsTheLedgerAndWritesItsPdf) {
    WriteYear();
    TfmReports window;
    window.RunReport(*File, 3);
    ASSERT_EQ(window.Pages()->count(), 1);
    EXPECT_EQ(window.Pages()->tabText(0), "General Ledger Report 2006");
    const TReportLineTarget first = window.Documents().Document(0).Targets.front();
    std::vector<std::pair<const TEntityInfo*, qint32>> calls;
    window.DrillDown = [&](const TEntityInfo& owner, const TReportLineTarget& target) {
        calls.emplace_back(&owner, target.Target.FirstID);
    };
    EXPECT_TRUE(window.ActivateLine(first.Line));
    EXPECT_EQ(calls,
              (std::vector<std::pair<const TEntityInfo*, qint32>>{{File.get(), first.Target.FirstID}}));

    const QString pdf = TempPath("ledger.pdf");
    ASSERT_TRUE(window.SaveCurrentAsPdf(pdf));
    const QByteArray bytes = ReadFileBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.count("/Type /Page\n"), 1);

    // The listing too is a page with targets.
    window.RunReport(*File, 4);
    EXPECT_EQ(window.Pages()->tabText(1), "Transaction Listing");
    EXPECT_FALSE(window.Documents().Document(1).Targets.empty());
}

} // namespace
