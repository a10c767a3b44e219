// Sorting a list read from month files by merging its runs, the tax refresh that makes whole
// lists over again, and the ID table the passes over a whole list use.
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionIdTable.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

namespace TF = TransactionFlag;

namespace {

// A year's payments (the whole year as one period) over three bank accounts and two posting
// accounts; no contra lines.
class TSortRunsTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Accounts =
            AccountsOf({"1000:BNK:First Bank", "1100:BNK:Second Bank", "1200:BNK:Third Bank",
                        "3100:ACC:GST Collected", "4000:ACC:Rent", "4100:ACC:Wages", "9100:SUS:Suspense"});
        Accounts->EnsureSuspenseAccount();
        Books = {Entity, Format(), false, false, false, 3, Accounts.get(), nullptr};
    }
    std::unique_ptr<TTransactionList> YearList() const {
        return std::make_unique<TTransactionList>(Books, pkPayments, 2006, 1, 1,
                                                  TOptionSet{Option::NoBlankLine});
    }
    // An entry with a unique ID, reference and details.
    std::unique_ptr<TTransactionDetail> Entry(qint32 id, const char* bank, double date, qint32 reference,
                                              const char* posting) const {
        auto entry = std::make_unique<TTransactionDetail>(id, static_cast<qint16>(pkPayments));
        entry->SetFlags({TF::Keyed});
        entry->BankCode = Code(bank);
        entry->PostingCode = Code(posting);
        entry->Date = date;
        entry->Reference = reference;
        entry->Amount = id % 97;
        entry->SetDetails(QStringLiteral("Entry %1").arg(id, 6, 10, QLatin1Char('0')));
        return entry;
    }
    // The entries of a year as its month files hold them: month by month, each month by bank
    // account, then date.
    std::vector<std::unique_ptr<TTransactionDetail>> MonthFiles(int perBankAndMonth) const {
        std::vector<std::unique_ptr<TTransactionDetail>> entries;
        qint32 id = 1;
        for (int slot = 0; slot < 12; ++slot) {
            const int month = (6 + slot) % 12 + 1;
            const int year = month > 6 ? 2005 : 2006;
            for (const char* bank : {"1000", "1100", "1200"})
                for (int day = 1; day <= perBankAndMonth; ++day, ++id)
                    entries.push_back(Entry(id, bank, EncodeDateNum(year, month, day),
                                            (id * 7919) % 900000 + 100000, id % 3 ? "4000" : "4100"));
        }
        return entries;
    }
    static std::vector<qint32> IDs(const TTransactionList& list) {
        std::vector<qint32> ids;
        for (int i = 0; i < list.Count(); ++i)
            ids.push_back(list.GetItem(i)->ID);
        return ids;
    }
    static QStringList Details(const TTransactionList& list) {
        QStringList details;
        for (int i = 0; i < list.Count(); ++i)
            details << list.GetItem(i)->Details();
        return details;
    }

    std::unique_ptr<TAccountsChart> Accounts;
    TTransactionListSources Books;
};

// The list as the month files give it has a dozen runs, which are merged; the same entries in a
// shuffled order have hundreds and go through the full sort. Every key is unique, so both must
// give one order.
TEST_F(TSortRunsTest, MergedMonthRunsGiveTheOrderOfAFullSort) {
    using TL = TTransactionList;
    for (const int order : {TL::soBankAccount, TL::soTransactionID, TL::soDateReference, TL::soReferenceDate,
                            TL::soPostingAccount, TL::soDetails}) {
        SCOPED_TRACE(order);
        auto read = YearList();
        auto shuffled = YearList();
        std::vector<std::unique_ptr<TTransactionDetail>> entries = MonthFiles(20);
        std::vector<std::unique_ptr<TTransactionDetail>> copies;
        for (const auto& entry : entries)
            copies.push_back(std::make_unique<TTransactionDetail>(*entry));
        std::shuffle(copies.begin(), copies.end(), std::mt19937(order + 1));
        for (auto& entry : entries)
            read->AddTransaction(std::move(entry), 0);
        for (auto& entry : copies)
            shuffled->AddTransaction(std::move(entry), 0);
        read->SetSortOrder(order, true);
        shuffled->SetSortOrder(order, true);
        ASSERT_EQ(read->Count(), 720);
        EXPECT_EQ(IDs(*read), IDs(*shuffled));
    }
}

// Sorts one after another on one thread work in the same memory: each list, long or short, merged
// or fully sorted, keeps every one of its own entries (the same objects, none twice) and takes its
// own order, whatever the sort before it left behind.
TEST_F(TSortRunsTest, SortsOneAfterAnotherKeepTheirEntriesAndTakeTheirOwnOrder) {
    using TL = TTransactionList;
    auto big = YearList();
    auto small = YearList();
    for (auto& entry : MonthFiles(20))
        big->AddTransaction(std::move(entry), 0);
    std::vector<std::unique_ptr<TTransactionDetail>> few = MonthFiles(2);
    std::shuffle(few.begin(), few.end(), std::mt19937(7));
    for (auto& entry : few)
        small->AddTransaction(std::move(entry), 0);
    const auto objects = [](const TTransactionList& list) {
        std::vector<const TTransactionDetail*> held;
        for (int i = 0; i < list.Count(); ++i)
            held.push_back(list.GetItem(i));
        std::sort(held.begin(), held.end());
        return held;
    };
    const auto bigObjects = objects(*big);
    const auto smallObjects = objects(*small);
    // The order by date and reference worked out apart from the list: every reference differs.
    const auto byDateReference = [](const TTransactionList& list) {
        std::vector<std::tuple<double, qint32, qint32>> keys;
        for (int i = 0; i < list.Count(); ++i)
            keys.emplace_back(list.GetItem(i)->Date, list.GetItem(i)->Reference, list.GetItem(i)->ID);
        std::sort(keys.begin(), keys.end());
        std::vector<qint32> ids;
        for (const auto& key : keys)
            ids.push_back(std::get<2>(key));
        return ids;
    };
    const std::vector<qint32> bigByDate = byDateReference(*big);
    const std::vector<qint32> smallByDate = byDateReference(*small);
    struct TStep {
        TTransactionList* List;
        int Order;
    } const steps[] = {{big.get(), TL::soTransactionID}, {small.get(), TL::soDateReference},
                       {big.get(), TL::soDateReference}, {small.get(), TL::soTransactionID},
                       {small.get(), TL::soAmount},      {big.get(), TL::soAmount},
                       {big.get(), TL::soTransactionID}, {small.get(), TL::soDateReference}};
    for (const TStep& step : steps) {
        const bool isBig = step.List == big.get();
        SCOPED_TRACE(testing::Message() << (isBig ? "big" : "small") << " order " << step.Order);
        step.List->SetSortOrder(step.Order, true);
        EXPECT_EQ(objects(*step.List), isBig ? bigObjects : smallObjects);
        std::vector<qint32> ids = IDs(*step.List);
        if (step.Order == TL::soDateReference) {
            EXPECT_EQ(ids, isBig ? bigByDate : smallByDate);
        } else if (step.Order == TL::soTransactionID) {
            EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
        } else {
            for (int i = 1; i < step.List->Count(); ++i)
                EXPECT_LE(step.List->GetItem(i - 1)->Amount, step.List->GetItem(i)->Amount + 0.009) << i;
        }
    }
}

// By bank account the first bank's entries of every month come first, month after month: the
// runs interleave in long stretches.
TEST_F(TSortRunsTest, ByBankAccountTheMonthsFollowEachOtherWithinEachBank) {
    auto list = YearList();
    for (auto& entry : MonthFiles(20))
        list->AddTransaction(std::move(entry), 0);
    list->SetSortOrder(TTransactionList::soBankAccount, true);
    int wrong = 0;
    for (int i = 0; i < list->Count(); ++i) {
        const TTransactionDetail& entry = *list->GetItem(i);
        const int bank = i / 240;      // 20 entries a month, twelve months
        const int slot = i % 240 / 20; // July first
        const int day = i % 20 + 1;
        wrong += entry.BankCode == Code(QString::number(1000 + 100 * bank)) &&
                         entry.ID == slot * 60 + bank * 20 + day
                     ? 0
                     : 1;
    }
    EXPECT_EQ(wrong, 0);
}

// Entries that compare equal under the order (same bank, date, reference, dissection and ID) keep
// the order they had, the earlier run's first, whether they meet one by one or in long stretches.
TEST_F(TSortRunsTest, EntriesThatCompareEqualKeepTheirOrder) {
    auto list = YearList();
    const double day = EncodeDateNum(2005, 8, 1);
    const auto add = [&](const char* bank, int offset, const QString& details, qint32 id = 0) {
        auto entry = Entry(id ? id : 100000 + list->Count(), bank, day + offset, 7, "4000");
        entry->SetDetails(details);
        list->AddTransaction(std::move(entry), 0);
    };
    // First run: bank 1000 on days 0 (eight entries), 4 (twelve equal entries) and 9; then bank
    // 1100. Second run: bank 1000 again, days 2 (three entries), 4 (twelve more equal to the first
    // twelve) and 8. The merge takes the first run's day 0 one by one, then goes by stretches
    // (galloping) and meets the equal entries there.
    for (int i = 0; i < 8; ++i)
        add("1000", 0, QStringLiteral("a%1").arg(i));
    for (int i = 0; i < 12; ++i)
        add("1000", 4, QStringLiteral("first %1").arg(i), 555);
    add("1000", 9, "z");
    add("1100", 0, "b1");
    for (int i = 0; i < 3; ++i)
        add("1000", 2, QStringLiteral("c%1").arg(i));
    for (int i = 0; i < 12; ++i)
        add("1000", 4, QStringLiteral("second %1").arg(i), 555);
    add("1000", 8, "y");
    list->SetSortOrder(TTransactionList::soBankAccount, true);
    QStringList expected;
    for (int i = 0; i < 8; ++i)
        expected << QStringLiteral("a%1").arg(i);
    for (int i = 0; i < 3; ++i)
        expected << QStringLiteral("c%1").arg(i);
    for (int i = 0; i < 12; ++i)
        expected << QStringLiteral("first %1").arg(i);
    for (int i = 0; i < 12; ++i)
        expected << QStringLiteral("second %1").arg(i);
    expected << "y" << "z" << "b1";
    EXPECT_EQ(Details(*list), expected);
}

// A year's list read from its month files gets its monthly contra lines and is sorted by bank
// account: the order is that of a stable sort of everything, the contra lines after the entries,
// by bank code, date, reference, dissection and ID. Each month holds, per bank, entries on the last
// day of the month, where the contra lines fall, with references below, equal to and above theirs,
// and entries equal in every key to their namesakes of the other months (dated the year's last
// day, so that each month file stays one run).
TEST_F(TSortRunsTest, ContraLinesOfAYearTakeTheOrderOfAStableFullSort) {
    Books.Contras = 2; // monthly
    auto list = YearList();
    std::vector<const TTransactionDetail*> before;
    const auto add = [&](std::unique_ptr<TTransactionDetail> entry) {
        before.push_back(entry.get());
        list->AddTransaction(std::move(entry), 0);
    };
    qint32 id = 1;
    for (int slot = 0; slot < 12; ++slot) {
        const int month = (6 + slot) % 12 + 1;
        const int year = month > 6 ? 2005 : 2006;
        const double monthEnd = EncodeDateNum(year, month, DaysInMonth(year, month));
        for (const char* bank : {"1000", "1100", "1200"}) {
            for (int day = 1; day <= 5; ++day)
                add(Entry(id++, bank, EncodeDateNum(year, month, day), 50 - day, "4000"));
            for (const qint32 reference : {ContraReference - 1, ContraReference, ContraReference + 1})
                add(Entry(id++, bank, monthEnd, reference, "4000"));
            for (int i = 0; i < 3; ++i) {
                auto equal = Entry(900, bank, EncodeDateNum(2006, 6, 30), 2000000, "4100");
                equal->SetDetails(QStringLiteral("equal %1 %2 %3").arg(bank).arg(slot).arg(i));
                add(std::move(equal));
            }
        }
    }
    list->GenerateContras(false);
    ASSERT_EQ(list->Count(), 12 * 3 * 12);
    std::vector<const TTransactionDetail*> expected = before;
    for (int i = 0; i < list->Count(); ++i)
        if (list->GetItem(i)->HasAnyFlag({TF::Contra}))
            expected.push_back(list->GetItem(i));
    ASSERT_EQ(expected.size(), 12 * 3 * 12u);
    const auto key = [this](const TTransactionDetail& e) {
        return std::tuple(Format()->FormatCode(e.BankCode), e.Date, e.Reference, e.Dissection, e.ID);
    };
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const auto* a, const auto* b) { return key(*a) < key(*b); });
    int wrong = 0;
    for (int i = 0; i < list->Count(); ++i)
        wrong += list->GetItem(i) == expected[static_cast<size_t>(i)] ? 0 : 1;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(list->GetItem(12 * 9)->Details(), "equal 1000 0 0");
    EXPECT_EQ(list->GetItem(12 * 12 - 1)->Details(), "equal 1000 11 2");
}

// Two entries that share an ID (a damaged file): only the first has its tax lines refreshed; the
// lines of the ID give their amounts back to it, wherever they lie, and are made again behind it.
TEST_F(TSortRunsTest, ATaxRefreshServesTheFirstEntryOfAnID) {
    TTaxRateChart rates(Entity, Accounts.get(), Format(), TOptionSet{}, 2006);
    auto gst = std::make_unique<TTaxRate>(Format());
    gst->Tax_Code = "GST";
    gst->TaxType = 0;
    gst->Tax_Rate = 10.0;
    gst->TaxAccount = Code("3100");
    gst->StartDate = EncodeDateNum(2005, 7, 1);
    gst->EndDate = EncodeDateNum(2006, 6, 30);
    ASSERT_GE(rates.AddItem(std::move(gst)), 0);
    Books.Tax = true;
    Books.TaxRates = &rates;
    auto list =
        std::make_unique<TTransactionList>(Books, pkPayments, 2006, 4, 12, TOptionSet{Option::NoBlankLine});
    const double day = EncodeDateNum(2005, 10, 3);
    for (const double amount : {110.0, 220.0}) {
        auto entry = Entry(110400001, "1000", day, 5, "4000");
        entry->Amount = amount;
        entry->TaxCodes = 1u;
        list->AddTransaction(std::move(entry), 0);
    }
    for (int cycle = 0; cycle < 2; ++cycle) {
        list->RefreshTaxEntries(true, true, false, false);
        ASSERT_EQ(list->Count(), 3) << cycle;
        EXPECT_EQ(std::tuple(list->GetItem(0)->Amount, list->GetItem(1)->Amount, list->GetItem(2)->Amount),
                  std::tuple(100.0, 10.0, 220.0))
            << cycle;
        EXPECT_TRUE(list->GetItem(1)->HasAnyFlag({TF::TaxLine}));
        EXPECT_EQ(list->GetItem(1)->ParentID, 110400001);
        EXPECT_EQ(list->GetItem(2)->Dissection, -1) << "the second entry is left alone";
        // The tax line moved behind the second entry still belongs to the first.
        list->InsertTransaction(2, list->DeleteTransaction(1), 0);
    }
    // Without regenerating, the lines only give their amounts back.
    list->RefreshTaxEntries(true, false, false, false);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(std::tuple(list->GetItem(0)->Amount, list->GetItem(0)->Dissection, list->GetItem(1)->Amount),
              std::tuple(110.0, -1, 220.0));
}

TEST(TransactionIdTable, FirstNumberStaysAndTheTableGrows) {
    TTransactionIdTable table;
    EXPECT_EQ(table.Find(0), -1);
    // Keys of every kind, far more than the first table holds; each key's first number stays.
    std::vector<qint32> keys;
    for (qint32 i = 0; i < 5000; ++i)
        keys.push_back(i % 3 == 0 ? -i : 110400000 + i * 100000);
    keys.push_back(std::numeric_limits<qint32>::min());
    keys.push_back(std::numeric_limits<qint32>::max());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(table.Insert(keys[i], static_cast<int>(i)), static_cast<int>(i));
    int wrong = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        wrong += table.Insert(keys[i], 99999) == static_cast<int>(i) ? 0 : 1;
        wrong += table.Find(keys[i]) == static_cast<int>(i) ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(table.Find(1), -1);
    EXPECT_EQ(table.Find(110400000 + 1), -1);
}

} // namespace
