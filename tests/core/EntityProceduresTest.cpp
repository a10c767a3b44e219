// File-wide procedures: balances recalculated from month files, the bank-reconciliation reset, the
// transfer of bank-statement entries and the data-integrity check, on a file opened from disk.
#include "tests/core/EntityTestSupport.h"

#include "tests/core/ChartTestSupport.h"
#include "tests/core/CountingFileSystem.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/BankStatementTransfer.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/KeyedTransaction.h"
#include "core/entity/PeriodList.h"
#include "core/entity/RunParams.h"
#include "core/files/Paths.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"

#include <numeric>

namespace TF = TransactionFlag;

namespace {

double Day(int month, int day) {
    return EncodeDateNum(month >= 7 ? 2005 : 2006, month, day);
}
quint16 KindSet(std::initializer_list<int> kinds) {
    return std::accumulate(kinds.begin(), kinds.end(), quint16(0),
                           [](quint16 set, int k) { return set | 1u << k; });
}

// One entry of a month file: kind, date, posting and bank account, amount, quantity, flags,
// reference and details.
struct TEntry {
    int Kind;
    double Date;
    QString Posting, Bank;
    double Amount;
    qint32 Quantity = 0;
    std::vector<int> Flags = {};
    qint32 Reference = 1;
    QString Details = {};
    qint32 Dissection = -1;
    quint32 TaxCodes = 0;
};

// File ABC123 (year to June 2006, shipped reference data) opened with its 2006 charts; accounts
// 1000, 3000, 4000, banks 2000 and 2100, suspense 9100.
class EntityProceduresTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        File->EntityDetail().Quantity = true;
        Chart = File->AccountsChart(2006);
        for (const QString text : {"1000:ACC", "2000:BNK", "2100:BNK", "3000:ACC", "4000:ACC", "9100:SUS"}) {
            auto account = std::make_unique<TAccountDetail>(Chart->Format());
            account->SetCode(Code(text.section(':', 0, 0)));
            account->DeriveAccountType(text.section(':', 1));
            ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
        }
        Chart->SetDefaultAccount(Index("9100"), true);
    }

    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(text.isEmpty() || Chart->Format()->TextToCode(text, code, false, false))
            << text.toStdString();
        return code;
    }
    int Index(const QString& code) const { return Chart->IndexOfCode(Code(code)); }
    TAccountDetail& Account(const QString& code) const { return *Chart->GetAccount(Index(code)); }

    // A list of the file's year made without reading its files (period 1 for the one-file kinds).
    std::unique_ptr<TTransactionList> NewList(int kind, int period, const TOptionSet& options = {Standard}) {
        return std::make_unique<TTransactionList>(File->ListSources(2006), kind, 2006, period, 12, options);
    }
    // Writes the entries as the month files of their kinds (a monthly list per entry's month).
    void WriteEntries(const std::vector<TEntry>& entries) {
        std::map<std::pair<int, int>, std::unique_ptr<TTransactionList>> lists;
        for (const TEntry& e : entries) {
            int year = 2006;
            const int period = IsOneFileKind(e.Kind) ? 1 : PeriodOfDate(12, 6, year, e.Date);
            auto& list = lists[{e.Kind, period}];
            if (!list)
                list = NewList(e.Kind, period);
            auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(e.Kind));
            entry->SetFlags({TF::Keyed});
            for (const int flag : e.Flags)
                entry->SetFlags({flag});
            if (e.Dissection >= 0)
                entry->SetFlags({TF::DissectionMember});
            std::tie(entry->Dissection, entry->Date, entry->Reference, entry->Amount, entry->Quantity) =
                std::tuple(e.Dissection, e.Date, e.Reference, e.Amount, e.Quantity);
            std::tie(entry->PostingCode, entry->BankCode) = std::tuple(Code(e.Posting), Code(e.Bank));
            entry->SetDetails(e.Details);
            entry->TaxCodes = e.TaxCodes;
            entry->ID = list->TakeNextID(list->EntryMonthSlot(*entry));
            list->AddTransaction(std::move(entry), 0);
        }
        for (auto& [key, list] : lists) {
            TOptionSet options{Standard};
            ASSERT_EQ(list->SaveToFile(options, false, true), 0);
        }
    }
    // The entries other than contra lines of a kind's month file, read afresh, as "posting bank
    // amount flags details" texts.
    QStringList Entries(int kind, int period) {
        const auto list = NewList(kind, period, {QuietLoad, NoLoadProcessing, NoBlankLine});
        EXPECT_EQ(list->LoadStatus(), 0);
        QStringList texts;
        for (int i = 0; i < list->Count(); ++i)
            if (const TTransactionDetail& e = *list->GetItem(i); !e.HasAnyFlag({TF::Contra}))
                texts << QString::asprintf("%d %d %.2f %x ", e.PostingCode.Account, e.BankCode.Account,
                                           e.Amount, e.Flags & ~1u) +
                             e.Details();
        return texts;
    }
    // The month file of a kind and period, cut short so that it cannot be read; its bytes.
    QByteArray Damage(int kind, int period) {
        const auto list = NewList(kind, period);
        Damaged = NativePath(list->GetFileName(list->StartMonth(), {Standard}));
        const QByteArray bytes = ReadFileBytes(Damaged).chopped(7);
        EXPECT_TRUE(WriteFileBytes(Damaged, bytes));
        return bytes;
    }
    std::unique_ptr<TReportSetup> Run(int reportType, int processKind) {
        return std::make_unique<TReportSetup>(File->RunFile(2006), reportType, processKind, 2006, false);
    }

    // The books of the recalculation cases: opening balances on the year's first day and one
    // later, a payment with quantity, a receipt, a bank-statement withdrawal and a payment from the
    // second bank.
    void WriteBooks() {
        WriteEntries({{pkOpeningBalances, Day(7, 1), "1000", "2000", 500.00},
                      {pkOpeningBalances, Day(7, 6), "1000", "2000", 20.00},
                      {pkPayments, Day(7, 5), "4000", "2000", 100.00, 2},
                      {pkReceipts, Day(8, 10), "3000", "2000", 250.00, 1},
                      {pkBankStatementWithdrawals, Day(7, 3), "", "2000", 40.00},
                      {pkPayments, Day(9, 20), "4000", "2100", 30.00}});
    }

    std::unique_ptr<TEntityInfo> File;
    TAccountsChart* Chart = nullptr;
    QString Damaged;
};

} // namespace

// Each report and process kind accumulates where the reports look: balance, running total,
// quantity, and period, week or day columns.
TEST_F(EntityProceduresTest, BalancesFollowTheRunKind) {
    WriteBooks();
    struct TCase {
        const char* Name;
        int Type, Process;
        int Movements; // -1: the run's own default
        double From, To;
        quint16 Kinds;
        bool Weekly;
        // account: balance, total, quantity
        std::map<QString, std::tuple<double, double, int>> Balances;
        // account, column set (0 period amounts, 1 second set, 2 period quantities), slot, value
        std::vector<std::tuple<QString, int, int, double>> Columns;
    };
    const quint16 cash = KindSet({0, 1, 2, 9});
    // clang-format off
    const TCase cases[] = {
        {"whole year", 1, 0, 0, Day(7, 1), Day(6, 30), cash, false,
         {{"1000", {520, 520, 0}}, {"4000", {130, 130, 0}}, {"3000", {-250, -250, 0}},
          {"2000", {-410, -410, 0}}, {"2100", {-30, -30, 0}}},
         {{"4000", 0, 1, 100}, {"4000", 0, 3, 30}, {"2000", 0, 1, -660}, {"2000", 0, 2, 250}, {"4000", 2, 1, 2},
          {"3000", 2, 2, -1}}},
        // Opening balances count past the to date; the payment of the 5th does not.
        {"to the 4th", 1, 0, 0, Day(7, 1), Day(7, 4), cash, false,
         {{"1000", {520, 520, 0}}, {"4000", {0, 0, 0}}, {"2000", {-560, -560, 0}}}, {}},
        // From August: earlier entries only reach the running total.
        {"from August", 1, 0, 0, Day(8, 1), Day(8, 31), cash, false,
         {{"1000", {0, 520, 0}}, {"4000", {0, 100, 0}}, {"3000", {-250, -250, 0}}, {"2000", {250, -410, 0}}},
         {{"2000", 0, 2, 250}, {"2000", 0, 1, 0}}},
        {"movements only", 1, 0, 1, Day(8, 1), Day(9, 30), cash, false,
         {{"1000", {0, 0, 0}}, {"4000", {30, 0, 0}}, {"3000", {-250, 0, 0}}, {"2000", {250, 0, 0}},
          {"2100", {-30, 0, 0}}}, {}},
        {"bring forward", 0, prBringForward, -1, Day(7, 1), Day(6, 30), KindSet({0, 1, 2}), false,
         {{"1000", {520, 0, 0}}, {"4000", {130, 0, 2}}, {"3000", {-250, 0, -1}}, {"2000", {-370, 0, 0}},
          {"2100", {-30, 0, 0}}}, {}},
        {"by period", 50, 0, -1, Day(7, 1), Day(6, 30), KindSet({1, 2}), false, {{"4000", {0, 0, 0}}},
         {{"4000", 0, 1, 100}, {"4000", 0, 3, 30}, {"3000", 0, 2, -250}, {"2000", 0, 1, -100},
          {"2000", 0, 2, 250}, {"2100", 0, 3, -30}}},
        {"by week", 51, 0, -1, Day(7, 1), Day(6, 30), KindSet({1, 2}), true, {},
         {{"4000", 0, 1, 100}, {"4000", 0, 12, 30}, {"3000", 0, 6, -250}, {"2000", 0, 6, 250}}},
        {"by day", 52, 0, -1, Day(7, 1), Day(6, 30), KindSet({1, 2, 8, 9}), false, {{"2000", {0, 0, 0}}},
         {{"2000", 0, 4, -100}, {"2000", 0, 40, 250}, {"2000", 1, 2, -40}, {"2000", 0, 2, 0},
          {"2100", 0, 81, -30}}},
        // Entries before the from date open the posting accounts; the rest go to their lists.
        {"detail", 3, 0, 0, Day(8, 1), Day(6, 30), cash, false,
         {{"1000", {520, 0, 0}}, {"4000", {100, 0, 2}}, {"3000", {0, 0, 0}}}, {}},
        {"detail, movements only", 3, 0, 1, Day(8, 1), Day(6, 30), cash, false,
         {{"1000", {0, 0, 0}}, {"4000", {0, 0, 0}}}, {}},
    };
    // clang-format on
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto run = Run(c.Type, c.Process);
        if (c.Movements >= 0)
            run->MovementsOnly = c.Movements == 1;
        run->SetPeriodFrom(c.From);
        run->SetPeriodTo(c.To);
        run->PageKinds = c.Kinds;
        if (c.Weekly)
            run->RunOptions.Include(TReportSetup::WeeklyOption);
        TAccountTransactionLists lists;
        ASSERT_EQ(File->ProcessTransactions(*run, &lists, true, true, true), 0);
        for (const auto& [code, expected] : c.Balances) {
            SCOPED_TRACE(code.toStdString());
            const TAccountDetail& account = Account(code);
            EXPECT_EQ(std::tuple(account.Balance, account.Total, int(account.Quantity)), expected);
        }
        for (const auto& [code, set, slot, amount] : c.Columns) {
            const TAccountDetail& account = Account(code);
            const double value = set == 0   ? account.GetPeriodAmount(slot)
                                 : set == 1 ? account.GetColumnAmount(slot)
                                            : account.GetPeriodQuantity(slot);
            EXPECT_DOUBLE_EQ(value, amount) << code.toStdString() << " slot " << slot;
        }
        EXPECT_TRUE(Account("4000").Used && !Account("9100").Used);
        if (c.Type == 3) {
            const auto& receipts = lists[size_t(Index("3000"))];
            ASSERT_EQ(receipts.size(), 1u);
            EXPECT_EQ(receipts[0].Key, QString::asprintf("%.0f1%d", Day(8, 10), pkReceipts));
            EXPECT_EQ(lists[size_t(Index("4000"))].size(), 1u);
        }
    }
}

// An empty page-kind set clears the balances and reads nothing, not even a damaged file; a cancel
// in the progress window leaves no half-made balances and reaches the caller.
TEST_F(EntityProceduresTest, RunsEndingEarlyLeaveNoBalances) {
    WriteBooks();
    Damage(pkPayments, 1);
    Account("4000").Balance = 5;
    Account("4000").Total = 6;
    const auto run = Run(1, 0);
    run->PageKinds = 0;
    EXPECT_EQ(File->ProcessTransactions(*run, nullptr, true, false, false), 0);
    EXPECT_EQ(Account("4000").Balance + Account("4000").Total, 0.0);
    EXPECT_TRUE(Prompt->Shown.isEmpty() && Progress->Created == 0);

    WriteBooks();
    Progress->CancelAtUpdate = 2;
    EXPECT_THROW(File->ProcessTransactions(*Run(1, 0), nullptr, true, false, true), EOperationCancelled);
    for (const QString code : {"1000", "2000", "4000"})
        EXPECT_EQ(Account(code).Balance + Account(code).GetPeriodAmount(1), 0.0) << code.toStdString();
}

// A recalculation looks for the month file of every kind and month of the year; most are not
// there. Each folder is listed once for the whole run, and the files that are there are read:
// the run's looks at the disk grow with its folders and files there, not with the names looked for.
TEST_F(EntityProceduresTest, ARecalculationListsEachFolderOnce) {
    WriteBooks();
    auto files = std::make_shared<TCountingFileSystem>();
    TServices::SetFileSystem(files);
    const auto run = Run(1, 0);
    run->SetPeriodFrom(Day(7, 1));
    run->SetPeriodTo(Day(6, 30));
    run->PageKinds = KindSet({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_EQ(File->ProcessTransactions(*run, nullptr, false, true, true), 0);
    EXPECT_EQ(files->MostListingsOfAFolder(), 1);
    // Besides the listings: the data folder is resolved once and the month folder looked at once,
    // each folder on the way is found once, and each of the five month files there is found and
    // looked at; the hundred-odd month files not there cost nothing.
    const int present = 5;
    const qsizetype folders = QDir::cleanPath(DataDir + "/ABC123").count(u'/');
    EXPECT_EQ(files->Resolutions, 1);
    EXPECT_EQ(files->LooksAtNames, 1 + present);
    EXPECT_LE(files->ExistenceChecks, folders + 2 * present);
    EXPECT_EQ(Account("4000").Balance, 130.00);
    EXPECT_EQ(Account("3000").Balance, -250.00);
}

// A deleted posting account stops the run naming the year (Bring Forward raises it on); the
// integrity check brings the account back and the run then succeeds.
TEST_F(EntityProceduresTest, DeletedAccountNeedsTheIntegrityCheck) {
    WriteBooks();
    Chart->DeleteItem(Index("3000"));
    const auto report = Run(1, 0);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(File->ProcessTransactions(*report, nullptr, false, false, false), -1);
    EXPECT_EQ(Prompt->Shown.value(0).Text,
              "Unable to continue - accounts error. Please perform data integrity check "
              "for the 2006 processing year now.");
    EXPECT_EQ(Prompt->Beeps.value(0), TBeep::Error);
    EXPECT_EQ(Account("2000").Balance, 0.0);

    Prompt->Answer(TMessageButton::OK);
    const auto bringForward = Run(0, prBringForward);
    EXPECT_THROW(File->ProcessTransactions(*bringForward, nullptr, false, false, false),
                 EChangeInAccountsChart);

    Prompt->Answer(TMessageButton::OK);
    File->DataIntegrityCheck(2006, true, true);
    EXPECT_EQ(Prompt->Shown.last().Text, "Data integrity check completed");
    EXPECT_EQ(Progress->Positions.size(), 180);
    EXPECT_NEAR(Progress->Positions.last(), 100.0, 1e-9);
    ASSERT_GE(Index("3000"), 0);
    const auto again = Run(1, 0);
    again->MovementsOnly = false;
    EXPECT_EQ(File->ProcessTransactions(*again, nullptr, false, false, false), 0);
    EXPECT_EQ(Account("3000").Balance, -250.0);
}

// The integrity check shows its progress window, with its Cancel, before its first step; Cancel
// stops the check there, without the completion box.
TEST_F(EntityProceduresTest, IntegrityCheckShowsItsProgressAndStopsAtCancel) {
    WriteBooks();
    Prompt->Answer(TMessageButton::OK);
    File->DataIntegrityCheck(2006, true, true);
    ASSERT_FALSE(Progress->Log.isEmpty());
    EXPECT_EQ(Progress->Log.first(), "setup:ABC123|0|");
    EXPECT_EQ(Prompt->Texts(), QStringList{"Data integrity check completed"});

    Progress->Log.clear();
    Progress->CancelAtUpdate = Progress->Updates + 3;
    EXPECT_THROW(File->DataIntegrityCheck(2006, true, true), EOperationCancelled);
    EXPECT_EQ(Progress->Log.value(0), "setup:ABC123|0|");
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Progress->Open, 0);
}

// A month file that cannot be read stops every procedure before anything is written over it.
TEST_F(EntityProceduresTest, UnreadableMonthFileIsLeftAlone) {
    WriteBooks();
    const QByteArray bytes = Damage(pkReceipts, 2);
    struct TCase {
        const char* Name;
        std::function<void()> Act;
        int PromptsBefore; // load retry boxes answered Cancel
        QString Box;
    };
    const TCase cases[] = {
        {"recalculation",
         [&] { EXPECT_EQ(File->ProcessTransactions(*Run(1, 0), nullptr, false, false, false), -1); }, 0,
         "Error processing transaction files - process aborted."},
        {"integrity check", [&] { File->DataIntegrityCheck(2006, false, true); }, 1,
         "Unable to complete data integrity check - "},
        {"reset",
         [&] {
             const auto run = Run(0, prResetBankReconciliation);
             EXPECT_EQ(File->ResetBankReconciliation(*run), -1);
         },
         0, "Error resetting bank reconciliation. Retry this procedure."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Prompt->Shown.clear();
        for (int i = 0; i < c.PromptsBefore; ++i)
            Prompt->Answer(TMessageButton::Cancel);
        Prompt->Answer(TMessageButton::OK);
        c.Act();
        ASSERT_EQ(Prompt->Shown.size(), c.PromptsBefore + 1);
        EXPECT_TRUE(Prompt->Shown.last().Text.startsWith(c.Box)) << Prompt->Shown.last().Text.toStdString();
        EXPECT_EQ(ReadFileBytes(Damaged), bytes);
    }
}

// An open page stands for its kind and period only in the file's current year: the same kind and
// period of another year has no open list, is not written for it and is read from that year's files.
TEST_F(EntityProceduresTest, AnOpenPageStandsForItsPeriodOnlyInTheCurrentYear) {
    const TOptionSet load{Standard, Load};
    TTransactionList& payments =
        File->DataEntryPage(File->OpenDataEntryPage(pkPayments, 4, load, false))->List();
    TTransactionList& opening =
        File->DataEntryPage(File->OpenDataEntryPage(pkOpeningBalances, 1, load, false))->List();
    const struct {
        int Kind, Year, Period;
        const TTransactionList* Found;
    } cases[] = {
        {pkPayments, 2006, 4, &payments},      {pkPayments, 2005, 4, nullptr},
        {pkPayments, 2007, 4, nullptr},        {pkPayments, 2006, 5, nullptr},
        {pkReceipts, 2006, 4, nullptr},        {pkOpeningBalances, 2006, 7, &opening}, // one file: period 1
        {pkOpeningBalances, 2005, 1, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TPeriodList::OpenPageList(*File, c.Kind, c.Year, c.Period), c.Found)
            << c.Kind << " " << c.Year << " " << c.Period;

    auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(pkPayments));
    entry->SetFlags({TF::Keyed});
    std::tie(entry->Date, entry->Amount) = std::tuple(Day(10, 5), 12.0);
    entry->ID = payments.TakeNextID(payments.EntryMonthSlot(*entry));
    payments.AddTransaction(std::move(entry), 0);
    const QString month = NativePath(payments.GetFileName(10, {Standard}));
    TPeriodList::WriteOpenPage(*File, pkPayments, 2005, 4);
    EXPECT_FALSE(payments.Saved());
    EXPECT_FALSE(QFileInfo::exists(month));
    const TPeriodList earlier(*File, File->ListSources(2006), pkPayments, 2005, 4, {Standard, Load}, true);
    EXPECT_FALSE(earlier.FromPage());
    EXPECT_EQ(earlier.List().Year(), 2005);
    TPeriodList::WriteOpenPage(*File, pkPayments, 2006, 4);
    EXPECT_TRUE(payments.Saved());
    EXPECT_TRUE(QFileInfo::exists(month));
}

// A recalculation marks the tax codes that the year's tax lines use, after clearing the marks when
// asked: a code with a rate of 0, one keyed only where no tax lines are made (opening balances)
// and one nobody keys stay unused. Delete Taxes (process 20) relies on the marks.
TEST_F(EntityProceduresTest, TaxCodesOfTheTaxLinesAreMarkedUsed) {
    File->EntityDetail().Tax = true;
    TTaxRateChart& taxes = *File->TaxRateChart(2006);
    taxes.Clear();
    std::map<QString, quint32> bit;
    for (const auto& [code, rate] :
         {std::pair{"GST", 10.0}, {"WET", 29.0}, {"FRE", 0.0}, {"CAP", 10.0}, {"LUX", 33.0}}) {
        auto item = std::make_unique<TTaxRate>(Chart->Format());
        std::tie(item->Tax_Code, item->Tax_Rate, item->TaxAccount) = std::tuple(code, rate, Code("1000"));
        TTaxRate* added = item.get();
        ASSERT_GE(taxes.AddItem(std::move(item)), 0);
        bit[code] = 1u << added->TaxType;
    }
    // All in July: a run over page kinds 10 or 11 (Delete Taxes takes 0 to 13) reads period 1 only.
    WriteEntries({{pkPayments, Day(7, 5), "4000", "2000", 110.00, 0, {}, 1, {}, -1, bit["GST"]},
                  {pkReceipts, Day(7, 20), "3000", "2100", 129.00, 0, {}, 1, {}, -1, bit["WET"] | bit["FRE"]},
                  {pkOpeningBalances, Day(7, 1), "1000", "2000", 50.00, 0, {}, 1, {}, -1, bit["CAP"]}});
    const auto used = [&] {
        QStringList codes;
        for (int i = 0; i < taxes.Count(); ++i)
            if (taxes.GetTaxRate(i)->Used())
                codes << taxes.GetTaxRate(i)->Tax_Code;
        codes.sort();
        return codes.join(',');
    };
    const struct {
        const char* Name;
        int Type, Process;
        bool Clear;
        const char* Used;
    } cases[] = {
        {"delete taxes", 0, prDeleteTaxes, true, "GST,WET"},
        {"report, marks cleared", 1, 0, true, "GST,WET"},
        {"report, marks kept", 1, 0, false, "GST,LUX,WET"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        // A mark left from before.
        taxes.ClearUsedMarks();
        taxes.GetTaxRate(taxes.IndexOf("LUX"))->MarkUsed();
        const bool saved = taxes.Saved;
        const auto run = Run(c.Type, c.Process);
        ASSERT_EQ(File->ProcessTransactions(*run, nullptr, false, c.Clear, false), 0);
        EXPECT_EQ(used(), c.Used);
        EXPECT_EQ(taxes.Saved, saved); // the marks are never stored
    }
}

// Resetting one bank account clears its entries' marks and stale-cheque notes only.
TEST_F(EntityProceduresTest, ResetOfOneBankLeavesTheOthers) {
    const std::vector<int> marks = {TF::Reconciled, TF::BankRecMarkA, TF::BankRecMarkB, TF::BankRecMarkC};
    WriteEntries({{pkPayments, Day(7, 5), "4000", "2000", 100.00, 0, marks, 1, "Rent *stale CHQ* July"},
                  {pkPayments, Day(7, 6), "4000", "2100", 30.00, 0, marks, 1, "Fees *Stale Chq* "},
                  {pkBankStatementWithdrawals, Day(9, 3), "", "2000", 40.00, 0, {TF::Reconciled}}});
    const auto run = Run(0, prResetBankReconciliation);
    TBankRecOpeningDetailChart* opening = File->BankRecOpeningChart();
    ASSERT_TRUE(opening);
    run->BankRecIndex = opening->IndexOfAccount(Code("2000"));
    ASSERT_GE(run->BankRecIndex, 0);
    EXPECT_EQ(File->ResetBankReconciliation(*run), 0);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_TRUE(Progress->Log.value(0).startsWith("setup:ABC123 : Bank Account 2000"))
        << Progress->Log.value(0).toStdString();
    EXPECT_EQ(Entries(pkPayments, 1),
              QStringList({"4000 2000 100.00 0 Rent July", "4000 2100 30.00 13004 Fees *Stale Chq* "}));
    EXPECT_EQ(Entries(pkBankStatementWithdrawals, 3), QStringList({"-1 2000 40.00 0 "}));
}

// The transfer on disk: a withdrawal with the "Bank" reference becomes the payment its standard
// transaction makes, or a suspense payment marked as generated; the cash book keeps what it held,
// and other references stay on the statement.
TEST_F(EntityProceduresTest, TransferMakesPaymentsByAmountDayProportionOrText) {
    struct TCase {
        const char* Name;
        std::vector<TEntry> Templates;
        double Amount;
        QString Details, Bank;
        QStringList Made; // payments after the one the cash book held
    };
    // A standard transaction of bank 2000 due on a day of the month.
    const auto T = [](int day, const QString& posting, double amount, const QString& details,
                      qint32 dissection = -1) {
        return TEntry{
            pkStandardBankTransactions, double(day), posting, "2000", amount, 0, {}, 1, details, dissection};
    };
    const QString suffix = " (Auto Gen Xfer B/S to C/B)";
    // clang-format off
    const TCase cases[] = {
        {"day 8", {T(8, "4000", 50.00, "Rent")}, 50.00, "EFT", "2000", {"4000 2000 50.00 0 Rent"}},
        {"day 9", {T(9, "4000", 50.00, "Rent")}, 50.00, "EFT", "2000", {"9100 2000 50.00 0 EFT" + suffix}},
        {"other amount", {T(3, "4000", 50.00, "Rent")}, 50.01, "EFT", "2000", {"9100 2000 50.01 0 EFT" + suffix}},
        {"other bank", {T(3, "4000", 50.00, "Rent")}, 50.00, "EFT", "2100", {"9100 2100 50.00 0 EFT" + suffix}},
        {"dissection", {T(3, "4000", 20.00, "Rent", 5), T(3, "3000", 30.00, "Fee", 5)}, 50.00, "EFT", "2000",
         {"4000 2000 20.00 8 Rent", "3000 2000 30.00 8 Fee"}},
        {"proportional", {T(99, "4000", 33.33, "%Split", 5), T(99, "3000", 33.33, "b", 5),
                          T(99, "1000", 33.34, " *** % correction *** ", 5)}, 1.00, "EFT", "2000",
         {"4000 2000 0.33 8 %Split", "3000 2000 0.33 8 b", "1000 2000 0.34 8  *** % correction *** "}},
        {"by text", {T(3, "4000", 0, "woolworths")}, 12.34, "Woolworths 0042", "2000", {"4000 2000 12.34 0 woolworths"}},
        {"empty template text", {T(3, "4000", 0, "")}, 12.34, "Woolworths", "2000", {"9100 2000 12.34 0 Woolworths" + suffix}},
        {"empty entry text", {T(3, "4000", 0, "woolworths")}, 12.34, "", "2000", {"9100 2000 12.34 0" + suffix}},
    };
    // clang-format on
    const auto run = Run(0, prTransferBankStatementEntries);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TEntry> entries = c.Templates;
        entries.push_back({pkPayments, Day(7, 1), "3000", "2000", 9.00});
        entries.push_back(
            {pkBankStatementWithdrawals, Day(7, 3), "", c.Bank, c.Amount, 0, {}, BankReference, c.Details});
        entries.push_back({pkBankStatementWithdrawals, Day(7, 4), "", "2000", 15.00, 0, {}, 1, "Cheque 12"});
        WriteEntries(entries);
        Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(File->TransferBankStatementEntries(*run), 0);
        EXPECT_EQ(Prompt->Shown.last().Text, "Bank statement entries successfully transferred to cashbook");
        EXPECT_EQ(Entries(pkPayments, 1), QStringList("3000 2000 9.00 0 ") + c.Made);
    }

    // A cash book that cannot be read is not written over.
    const QByteArray bytes = Damage(pkPayments, 1);
    Prompt->Answer(TMessageButton::Cancel);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(File->TransferBankStatementEntries(*run), -1);
    EXPECT_EQ(Prompt->Shown.last().Text, "Error transferring bank statement entries to cashbook");
    EXPECT_EQ(ReadFileBytes(Damaged), bytes);
}

// A transaction-detail run that lists the bank side: the bank account's share of the opening
// entries goes into its balance, and every later entry stands in both accounts' lists with the
// amount the run added there, so that each account's opening balance and list add up to the
// balance of a plain recalculation.
TEST_F(EntityProceduresTest, DetailRunListsTheBankSideWhenAsked) {
    WriteBooks();
    const quint16 cash = KindSet({0, 1, 2, 9});
    struct TCase {
        const char* Name;
        double From;
        QString Groups; // empty: "<All>"
        // account: opening balance, then the list as "amount side" ("b" for the bank side)
        std::map<QString, std::pair<double, QStringList>> Expected;
    };
    const TCase cases[] = {
        {"whole year",
         Day(7, 1),
         {},
         {{"1000", {500, {"20.00 p"}}},
          {"2000", {-500, {"-40.00 b", "-100.00 b", "-20.00 b", "250.00 b"}}},
          {"2100", {0, {"-30.00 b"}}},
          {"3000", {0, {"-250.00 p"}}},
          {"4000", {0, {"100.00 p", "30.00 p"}}}}},
        // Everything before August opens both sides.
        {"from August",
         Day(8, 1),
         {},
         {{"1000", {520, {}}}, {"2000", {-660, {"250.00 b"}}}, {"4000", {100, {"30.00 p"}}}}},
        // Only the sides whose accounts lie in the groups.
        {"bank 2000 only",
         Day(7, 1),
         "2000",
         {{"1000", {0, {}}},
          {"2000", {-500, {"-40.00 b", "-100.00 b", "-20.00 b", "250.00 b"}}},
          {"2100", {0, {}}},
          {"4000", {0, {}}}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto run = Run(3, 0);
        run->ListBankSide = true;
        run->SetPeriodFrom(c.From);
        run->PageKinds = cash;
        if (!c.Groups.isEmpty()) {
            QString text = c.Groups;
            ASSERT_TRUE(Parse(Chart->Format(), text, true, run->AccountGroups));
        }
        TAccountTransactionLists lists;
        ASSERT_EQ(File->ProcessTransactions(*run, &lists, false, true, true), 0);
        for (const auto& [code, expected] : c.Expected) {
            SCOPED_TRACE(code.toStdString());
            auto items = lists[size_t(Index(code))];
            std::stable_sort(items.begin(), items.end(),
                             [](const auto& a, const auto& b) { return a.Key < b.Key; });
            QStringList texts;
            for (const TKeyedTransaction& item : items) {
                texts << QString::asprintf("%.2f %s", item.Amount, item.BankSide ? "b" : "p");
                // The bank side is the entry's bank account, the posting side its posting account.
                EXPECT_EQ(item.BankSide ? item.Entry.BankCode : item.Entry.PostingCode, Code(code));
            }
            EXPECT_EQ(std::pair(Account(code).Balance, texts), expected);
        }
    }

    // The whole year's openings and lists add up to the balances of a plain recalculation.
    const auto detail = Run(3, 0);
    detail->ListBankSide = true;
    detail->PageKinds = cash;
    TAccountTransactionLists lists;
    ASSERT_EQ(File->ProcessTransactions(*detail, &lists, false, true, true), 0);
    std::map<QString, double> closing;
    for (const QString code : {"1000", "2000", "2100", "3000", "4000", "9100"}) {
        double sum = Account(code).Balance;
        for (const TKeyedTransaction& item : lists[size_t(Index(code))])
            sum += item.Amount;
        closing[code] = sum;
    }
    const auto plain = Run(1, 0);
    plain->MovementsOnly = false;
    plain->PageKinds = cash;
    ASSERT_EQ(File->ProcessTransactions(*plain, nullptr, false, true, true), 0);
    for (const auto& [code, balance] : closing)
        EXPECT_NEAR(balance, Account(code).Balance, 0.001) << code.toStdString();
}

// Receipts change sign and converted amounts are what the lists carry; without the switch the
// bank side stays out of the lists and of the opening balances.
TEST_F(EntityProceduresTest, DetailRunCarriesTheAmountItAdded) {
    WriteEntries({{pkOpeningBalances, Day(7, 1), "1000", "2000", 500.00},
                  {pkReceipts, Day(8, 10), "3000", "2000", 250.00, 1}});
    // A receipt in another currency: 100 at 0.8 is 125.00 of the file's money.
    auto list = NewList(pkReceipts, 3);
    auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(pkReceipts));
    entry->SetFlags({TF::Keyed});
    std::tie(entry->Date, entry->Amount, entry->Rate) = std::tuple(Day(9, 2), 100.00, 0.8);
    std::tie(entry->PostingCode, entry->BankCode) = std::tuple(Code("3000"), Code("2000"));
    entry->ID = list->TakeNextID(list->EntryMonthSlot(*entry));
    list->AddTransaction(std::move(entry), 0);
    TOptionSet options{Standard};
    ASSERT_EQ(list->SaveToFile(options, false, true), 0);

    for (const bool bankSide : {false, true}) {
        SCOPED_TRACE(bankSide);
        const auto run = Run(3, 0);
        run->ListBankSide = bankSide;
        run->CurrencyConversion = true;
        run->PageKinds = KindSet({0, 2});
        TAccountTransactionLists lists;
        ASSERT_EQ(File->ProcessTransactions(*run, &lists, false, true, true), 0);
        std::vector<double> receipts;
        for (const TKeyedTransaction& item : lists[size_t(Index("3000"))])
            receipts.push_back(item.Amount);
        EXPECT_EQ(receipts, (std::vector<double>{-250.00, -125.00}));
        std::vector<double> bank;
        for (const TKeyedTransaction& item : lists[size_t(Index("2000"))])
            bank.push_back(item.Amount);
        EXPECT_EQ(bank, bankSide ? (std::vector<double>{250.00, 125.00}) : std::vector<double>());
        EXPECT_EQ(Account("2000").Balance, bankSide ? -500.0 : 0.0);
        EXPECT_EQ(Account("1000").Balance, 500.0);
    }
}

namespace {

// The ways a page's lines reach disk: report runs and processes, the timed save, a page or the
// file closing, and a list freed unsaved.
enum class TPageWrite {
    ReportRun,
    OpenPageBeforeRead,
    PeriodListOfPage,
    PeriodListLoaded,
    ReconciliationReset,
    IntegrityCheck,
    TimedSave,
    PageClose,
    FileClose,
    ListFreed,
};

// Account 5000 is added in memory while keying, and a line naming it waits on the open October
// payments page (or in a list of its own).
class PageWriteOrderTest : public EntityProceduresTest,
                           public testing::WithParamInterface<std::pair<const char*, TPageWrite>> {
protected:
    void SetUp() override {
        EntityProceduresTest::SetUp();
        TOptionSet save{Standard};
        ASSERT_EQ(Chart->SaveToFile(save), 0);
        // Kept for reading the chart on disk after the file has closed.
        Entity = File->EntityDetail().ChartEntity();
        Format = Chart->Format();
        NewCode = Code("5000");
        auto account = std::make_unique<TAccountDetail>(Chart->Format());
        account->SetCode(NewCode);
        account->DeriveAccountType("ACC");
        ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
        Chart->Saved = false;
        PageIndex = File->OpenDataEntryPage(pkPayments, 4, {Standard, Load}, false);
        ASSERT_GE(PageIndex, 0);
        AddLine(File->DataEntryPage(PageIndex)->List());
    }

    void AddLine(TTransactionList& list) {
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(list.PageKind()));
        entry->SetFlags({TF::Keyed});
        std::tie(entry->Date, entry->Amount) =
            std::tuple(EncodeDateNum(list.StartYear(), list.StartMonth(), 5), 12.0);
        std::tie(entry->PostingCode, entry->BankCode) = std::tuple(NewCode, Code("2000"));
        entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
        list.InsertTransaction(std::max(0, list.Count() - 1), std::move(entry), 0);
    }

    bool AccountOnDisk() const {
        const TAccountsChart stored(Entity, Format, {Standard, Load}, 2006);
        return stored.IndexOfCode(NewCode) >= 0;
    }

    void Write(TPageWrite path) {
        TOptionSet save{Standard};
        switch (path) {
        case TPageWrite::ReportRun: {
            const auto run = Run(1, 0);
            run->PageKinds = KindSet({0, 1, 2});
            EXPECT_EQ(File->ProcessTransactions(*run, nullptr, false, false, false), 0);
            break;
        }
        case TPageWrite::OpenPageBeforeRead:
            TPeriodList::WriteOpenPage(*File, pkPayments, 2006, 4);
            break;
        case TPageWrite::PeriodListOfPage: {
            TPeriodList lists(*File, File->ListSources(2006), pkPayments, 2006, 4,
                              {QuietLoad, NoLoadProcessing}, true);
            lists.Save();
            break;
        }
        case TPageWrite::PeriodListLoaded: {
            TPeriodList lists(*File, File->ListSources(2006), pkReceipts, 2006, 5, {Standard, Load}, false);
            AddLine(lists.List());
            lists.Save();
            break;
        }
        case TPageWrite::ReconciliationReset:
            EXPECT_EQ(File->ResetBankReconciliation(*Run(0, prResetBankReconciliation)), 0);
            break;
        case TPageWrite::IntegrityCheck:
            File->DataIntegrityCheck(2006, false, false);
            break;
        case TPageWrite::TimedSave:
            EXPECT_EQ(File->SaveYearCharts(2006, save, false), 0);
            break;
        case TPageWrite::PageClose:
            EXPECT_EQ(File->DeleteDataEntryPage(PageIndex), 0);
            break;
        case TPageWrite::FileClose:
            File->Close();
            break;
        case TPageWrite::ListFreed:
            AddLine(*NewList(pkReceipts, 5));
            break;
        }
    }

    int PageIndex = -1;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
    TAccountCode NewCode;
};

} // namespace

// Whichever way a page is written, the accounts chart on disk already holds the account its new
// line names when the month file takes its place.
TEST_P(PageWriteOrderTest, TheAccountsChartGoesFirst) {
    QStringList written;
    TStoredFileWriter::SetCommitStepHook(
        [&](TStoredFileWriter::TCommitStep step, const QString&, const QString& target) {
            if (step == TStoredFileWriter::TCommitStep::AfterRename && target.contains("/ABC123/"))
                written << QFileInfo(target).fileName() + (AccountOnDisk() ? "" : " before its account");
        });
    Write(GetParam().second);
    TStoredFileWriter::SetCommitStepHook({});
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(written.filter(" before its account").isEmpty()) << written.join(", ").toStdString();
    EXPECT_TRUE(AccountOnDisk());
}

INSTANTIATE_TEST_SUITE_P(EveryPath, PageWriteOrderTest,
                         testing::Values(std::pair{"ReportRun", TPageWrite::ReportRun},
                                         std::pair{"OpenPageBeforeRead", TPageWrite::OpenPageBeforeRead},
                                         std::pair{"PeriodListOfPage", TPageWrite::PeriodListOfPage},
                                         std::pair{"PeriodListLoaded", TPageWrite::PeriodListLoaded},
                                         std::pair{"ReconciliationReset", TPageWrite::ReconciliationReset},
                                         std::pair{"IntegrityCheck", TPageWrite::IntegrityCheck},
                                         std::pair{"TimedSave", TPageWrite::TimedSave},
                                         std::pair{"PageClose", TPageWrite::PageClose},
                                         std::pair{"FileClose", TPageWrite::FileClose},
                                         std::pair{"ListFreed", TPageWrite::ListFreed}),
                         [](const auto& instance) { return std::string(instance.param.first); });
