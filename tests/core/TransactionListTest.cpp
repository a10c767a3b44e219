#include "core/transactions/TransactionList.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/MoneyTotal.h"
#include "core/transactions/TransactionFlags.h"
#include "core/util/FlagSets.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/AccountTestFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace TF = TransactionFlag;

namespace {

// An entry dated in a month of 2005 (month 0: no date).
std::unique_ptr<TTransactionDetail> Entry(int kind, qint32 id, int month, qint32 dissection = -1) {
    auto entry = std::make_unique<TTransactionDetail>(id, static_cast<qint16>(kind));
    entry->SetFlags({TF::Keyed});
    entry->Date = month == 0 ? 0.0 : EncodeDateNum(2005, month, 15);
    entry->Dissection = dissection;
    if (dissection != -1)
        entry->SetFlags({TF::DissectionMember});
    return entry;
}

std::vector<qint32> IDs(const TTransactionList& list) {
    std::vector<qint32> ids;
    for (int i = 0; i < list.Count(); ++i)
        ids.push_back(list.GetItem(i)->ID);
    return ids;
}

struct TCreationCase {
    int Kind, Period, PeriodsPerYear, EndMonth;
    TOptionSet Options;
    int BlankSlot;  // 0: no blank line
    qint32 BlankID; // hand-computed ID of the blank line
    int SeedSlot;   // another slot and the seed of both its counters
    qint32 SeedBase;
};

class TransactionListCreation : public testing::TestWithParam<TCreationCase> {};

TEST_P(TransactionListCreation, SeedsCountersAndAddsTheBlankLine) {
    const TCreationCase& c = GetParam();
    TTransactionList list(c.Kind, 2005, c.Period, c.PeriodsPerYear, c.EndMonth, c.Options);
    EXPECT_TRUE(list.Saved());
    EXPECT_EQ(list.GetNextID(c.SeedSlot), c.SeedBase);
    EXPECT_EQ(list.GetNextDissectionNo(c.SeedSlot), c.SeedBase);
    if (c.BlankSlot == 0) {
        EXPECT_EQ(list.Count(), 0);
        return;
    }
    ASSERT_EQ(list.Count(), 1);
    const TTransactionDetail& blank = *list.GetItem(0);
    EXPECT_EQ(blank.ID, c.BlankID);
    EXPECT_TRUE(blank.HasAnyFlag({TF::Blank}));
    EXPECT_EQ(blank.HasAnyFlag({TF::Deleted}), c.Kind == pkDeletedTransactions);
    EXPECT_EQ(list.GetNextID(c.BlankSlot), c.BlankID + 1);
    EXPECT_EQ(list.GetNextDissectionNo(c.BlankSlot), c.BlankID);
}

INSTANTIATE_TEST_SUITE_P(Periods, TransactionListCreation,
                         testing::Values(
                             // October of a June year is slot 4; October of a December year slot 10.
                             TCreationCase{pkPayments, 4, 12, 6, {}, 4, 110400000, 12, 111200000},
                             TCreationCase{pkPayments, 10, 12, 12, {}, 10, 111000000, 12, 111200000},
                             // December of a December year: slot 12.
                             TCreationCase{pkReceipts, 12, 12, 12, {}, 12, 121200000, 11, 121100000},
                             // First quarter of a March year ends in June: slot 3.
                             TCreationCase{pkGeneralJournals, 1, 4, 3, {}, 3, 130300000, 12, 131200000},
                             // No period, one-file kinds: slot 1.
                             TCreationCase{pkPayments, 0, 12, 6, {}, 1, 110100000, 12, 111200000},
                             TCreationCase{pkOpeningBalances, 1, 12, 6, {}, 1, 100100000, 12, 101200000},
                             TCreationCase{
                                 pkStandardBankTransactions, 6, 12, 12, {}, 1, 230100000, 12, 231200000},
                             TCreationCase{pkDeletedTransactions, 0, 12, 6, {}, 1, 240100000, 12, 241200000},
                             // Lists that load or forbid the blank line start empty.
                             TCreationCase{pkPayments, 4, 12, 6, {Option::NoBlankLine}, 0, 0, 12, 111200000},
                             TCreationCase{pkPayments, 4, 12, 6, {Option::QuietLoad}, 0, 0, 12, 111200000},
                             TCreationCase{pkPayments, 4, 12, 6, {Option::DosVersion}, 0, 0, 12, 111200000}));

TEST(TransactionList, PeriodZeroHasNoDates) {
    TTransactionList list(pkPayments, 2005, 0, 12, 6, {});
    EXPECT_EQ(list.StartDate(), 0.0);
    EXPECT_EQ(list.EndDate(), 0.0);
    EXPECT_EQ(list.EndMonth(), 0);
    TTransactionList october(pkPayments, 2006, 4, 12, 6, {});
    EXPECT_EQ(october.StartDate(), EncodeDateNum(2005, 10, 1));
    EXPECT_EQ(october.EndDate(), EncodeDateNum(2005, 10, 31));
}

TEST(TransactionList, AddingCountsOnlyOrdinaryEntriesInRealSlots) {
    TTransactionList list(pkPayments, 2005, 4, 12, 6, {Option::NoBlankLine});
    list.AddTransaction(Entry(pkPayments, 1, 10), 4);
    EXPECT_EQ(list.GetNextID(4), 110400001);
    EXPECT_FALSE(list.Saved());
    auto tax = Entry(pkPayments, 2, 10);
    tax->SetFlags({TF::TaxLine});
    list.AddTransaction(std::move(tax), 4);
    auto total = Entry(pkPayments, 3, 10);
    total->SetFlags({TF::DissectionTotal});
    list.AddTransaction(std::move(total), 4);
    list.AddTransaction(Entry(pkPayments, 4, 10), 0);
    list.AddTransaction(Entry(pkPayments, 5, 10), 13);
    EXPECT_EQ(list.GetNextID(4), 110400001);
    EXPECT_EQ(list.InsertTransaction(1, Entry(pkPayments, 6, 10), 5), 1);
    EXPECT_EQ(list.InsertTransaction(99, Entry(pkPayments, 7, 10), 5), 6);
    EXPECT_EQ(list.GetNextID(5), 110500002);
    EXPECT_EQ(IDs(list), (std::vector<qint32>{1, 6, 2, 3, 4, 5, 7}));

    list.SetSaved(true);
    auto removed = list.DeleteTransaction(1);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->ID, 6);
    EXPECT_FALSE(list.Saved());
    EXPECT_EQ(list.DeleteTransaction(6), nullptr);
    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_EQ(list.GetItem(6), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(TransactionList, CountersRefuseSlotsOutsideOneToTwelve) {
    TTransactionList list(pkPayments, 2005, 4, 12, 6, {});
    EXPECT_THROW(list.GetNextID(0), EQuilvaneError);
    EXPECT_THROW(list.SetNextID(13, 1), EQuilvaneError);
    EXPECT_THROW(list.GetNextDissectionNo(13), EQuilvaneError);
    list.SetNextDissectionNo(12, 111200042);
    EXPECT_EQ(list.TakeNextDissectionNo(12), 111200042);
    EXPECT_EQ(list.GetNextDissectionNo(12), 111200043);
    TTransactionList undo(TTransactionList::UndoListKind, 2005, 4, 12, 6, {});
    EXPECT_EQ(undo.Count(), 0);
    EXPECT_THROW(undo.GetNextID(1), EQuilvaneError);
}

struct TUpdateIDCase {
    const char* Name;
    int EndMonth;
    int Month; // month of the entry's date (0: none)
    qint32 ID;
    bool Blank;
    int Slot;    // slot whose counter is set
    qint32 Next; // that counter before
    qint32 Expected;
};

class TransactionListUpdateID : public testing::TestWithParam<TUpdateIDCase> {};

TEST_P(TransactionListUpdateID, KeepsOrRekeysAndMovesTaxLines) {
    const TUpdateIDCase& c = GetParam();
    TTransactionList list(pkPayments, 2006, 4, 12, c.EndMonth, {Option::NoBlankLine});
    auto entry = Entry(pkPayments, c.ID, c.Month);
    if (c.Blank)
        entry->Flags = FlagSetInclude(0, {TF::Blank});
    list.AddTransaction(std::move(entry), 0);
    auto tax = Entry(pkPayments, 0, c.Month);
    tax->SetFlags({TF::TaxLine});
    tax->ParentID = c.ID;
    list.AddTransaction(std::move(tax), 0);
    list.SetNextID(c.Slot, c.Next);
    list.UpdateTransactionID(0);
    EXPECT_EQ(list.GetItem(0)->ID, c.Expected);
    const bool rekeyed = c.Expected != c.ID;
    EXPECT_EQ(list.GetNextID(c.Slot), rekeyed ? c.Next + 1 : c.Next);
    EXPECT_EQ(list.GetItem(1)->ParentID, rekeyed && !c.Blank ? c.Expected : c.ID);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TransactionListUpdateID,
    testing::Values(TUpdateIDCase{"InRangeKept", 6, 10, 110400005, false, 4, 110400009, 110400005},
                    TUpdateIDCase{"OtherMonthRekeyed", 6, 10, 110300005, false, 4, 110400009, 110400009},
                    TUpdateIDCase{"DecemberYearOctober", 12, 10, 110400005, false, 10, 111000003, 111000003},
                    TUpdateIDCase{"DecemberSlot12", 12, 12, 111200007, false, 12, 111200001, 111200007},
                    TUpdateIDCase{"LatestBlankKept", 6, 0, 110400008, true, 4, 110400009, 110400008},
                    TUpdateIDCase{"OlderBlankRekeyed", 6, 0, 110400007, true, 4, 110400009, 110400009},
                    TUpdateIDCase{"TopOfRangeKept", 6, 10, 110499999, false, 4, 110400000, 110499999}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(TransactionList, ValidateDissectionNumbersAgainstHandKeys) {
    struct TCase {
        int Kind, Month;
        qint32 Dissection;
        bool Member;
        qint32 Expected;
    };
    const TCase cases[] = {
        {pkPayments, 10, 110400003, true, 110400003}, // in range, kept
        {pkPayments, 10, 110300007, true, 110400007}, // another month's key: sequence kept
        {pkPayments, 11, 4, false, 110500004},        // bare sequence, flag added
        {pkPayments, 10, -1, false, -1},              // no dissection: untouched
    };
    TTransactionList list(pkPayments, 2006, 0, 12, 6, {Option::NoBlankLine});
    for (const TCase& c : cases) {
        auto entry = Entry(c.Kind, 1, c.Month, c.Dissection);
        if (!c.Member)
            entry->Flags = FlagSetInclude(0, {TF::Keyed});
        list.AddTransaction(std::move(entry), 0);
    }
    list.SetNextDissectionNo(4, 110400002);
    list.SetSaved(true);
    list.ValidateDissectionNumbers();
    for (int i = 0; i < list.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.GetItem(i)->Dissection, cases[i].Expected);
        EXPECT_EQ(list.GetItem(i)->HasAnyFlag({TF::DissectionMember}), cases[i].Expected != -1);
    }
    EXPECT_EQ(list.GetNextDissectionNo(4), 110400008);
    EXPECT_EQ(list.GetNextDissectionNo(5), 110500005);
    EXPECT_FALSE(list.Saved());

    TTransactionList clean(pkOpeningBalances, 2006, 1, 12, 6, {Option::NoBlankLine});
    clean.AddTransaction(Entry(pkOpeningBalances, 1, 10, 100100004), 0);
    clean.SetSaved(true);
    clean.ValidateDissectionNumbers();
    EXPECT_TRUE(clean.Saved());
    EXPECT_EQ(clean.GetNextDissectionNo(1), 100100005);
}

// Renumbering over year-end months: October and November fall in different slots of each.
class TransactionListRenumber : public testing::TestWithParam<std::array<int, 3>> {};

TEST_P(TransactionListRenumber, RunsPerMonthFromKeyBasePlusOne) {
    const auto [endMonth, octSlot, novSlot] = GetParam();
    TTransactionList list(pkPayments, 2006, 0, 12, endMonth, {Option::NoBlankLine});
    const int months[] = {10, 10, 10, 10, 11, 11, 10};
    const qint32 old[] = {5, 5, -1, 5, 9, 9, 7};
    for (int i = 0; i < 7; ++i)
        list.AddTransaction(Entry(pkPayments, i, months[i], old[i]), 0);
    list.SetSaved(true);
    list.RenumberDissections();
    const qint32 oct = 110000000 + octSlot * 100000;
    const qint32 nov = 110000000 + novSlot * 100000;
    const std::vector<qint32> expected = {oct + 1, oct + 1, -1, oct + 2, nov + 1, nov + 1, oct + 3};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(list.GetItem(i)->Dissection, expected[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(list.GetNextDissectionNo(octSlot), oct + 4);
    EXPECT_EQ(list.GetNextDissectionNo(novSlot), nov + 2);
    EXPECT_FALSE(list.Saved());
}

INSTANTIATE_TEST_SUITE_P(YearEnds, TransactionListRenumber,
                         testing::Values(std::array<int, 3>{6, 4, 5}, std::array<int, 3>{12, 10, 11},
                                         std::array<int, 3>{3, 7, 8}, std::array<int, 3>{10, 12, 1}));

// The sort fixture: six entries and a trailing blank line.
class TransactionListSort : public testing::TestWithParam<std::pair<int, std::vector<qint32>>> {
protected:
    void SetUp() override {
        struct TRow {
            qint32 ID;
            int Day, Reference, Account, Bank;
            double Amount;
            const char* Details;
            int Flag; // -1: none
        };
        const TRow rows[] = {
            {1, 20, 30, 400, 2, 10.005, "beta", TF::Reconciled},
            {2, 10, 30, 300, 1, 5.00, "Alpha", TF::CapitalAcquisition},
            {3, 10, 20, 300, 1, 20.00, "gamma", TF::NonCash},
            {4, 5, 40, 1000, 2, -3.00, "alpha", -1},
            {5, 20, 10, 200, 1, 10.00, "Delta", TF::Reconciled},
            {6, 5, 30, 400, 1, 7.50, "beta", -1},
        };
        for (const TRow& r : rows) {
            auto entry = Entry(pkPayments, r.ID, 10);
            entry->Date = EncodeDateNum(2005, 10, r.Day);
            entry->Reference = r.Reference;
            entry->PostingCode = Acc(r.Account);
            entry->BankCode = Acc(r.Bank);
            entry->Amount = r.Amount;
            entry->SetDetails(r.Details);
            if (r.Flag >= 0)
                entry->SetFlags({r.Flag});
            List.AddTransaction(std::move(entry), 0);
        }
        List.AddTransaction(std::make_unique<TTransactionDetail>(99, pkPayments), 0);
    }
    std::unique_ptr<TAccountFormat> Format = AccountOnlyFormat();
    TTransactionList List{pkPayments, 2006, 4, 12, 6, {Option::NoBlankLine}, Format.get()};
};

TEST_P(TransactionListSort, OrdersByItsKeysWithTheBlankLineLast) {
    const auto& [order, expected] = GetParam();
    List.SetSortOrder(order, true);
    EXPECT_EQ(List.SortOrder(), order);
    std::vector<qint32> ids = expected;
    ids.push_back(99);
    EXPECT_EQ(IDs(List), ids);
}

INSTANTIATE_TEST_SUITE_P(Orders, TransactionListSort,
                         testing::Values(std::pair<int, std::vector<qint32>>{0, {6, 3, 2, 5, 4, 1}},
                                         std::pair<int, std::vector<qint32>>{1, {1, 2, 3, 4, 5, 6}},
                                         std::pair<int, std::vector<qint32>>{2, {6, 4, 3, 2, 5, 1}},
                                         std::pair<int, std::vector<qint32>>{3, {5, 3, 1, 2, 6, 4}},
                                         // "0200" < "0300" < "0400" < "1000" as text.
                                         std::pair<int, std::vector<qint32>>{4, {5, 3, 2, 6, 1, 4}},
                                         // 10.00 and 10.005 stay together.
                                         std::pair<int, std::vector<qint32>>{5, {4, 2, 6, 5, 1, 3}},
                                         std::pair<int, std::vector<qint32>>{6, {4, 2, 6, 1, 5, 3}},
                                         std::pair<int, std::vector<qint32>>{7, {6, 3, 2, 4, 5, 1}},
                                         std::pair<int, std::vector<qint32>>{8, {6, 4, 3, 5, 1, 2}},
                                         std::pair<int, std::vector<qint32>>{9, {6, 4, 2, 5, 1, 3}},
                                         // Orders beyond 9 are kept but do not sort.
                                         std::pair<int, std::vector<qint32>>{10, {1, 2, 3, 4, 5, 6}}));

TEST(TransactionList, SortKeepsTaxLinesBehindTheirEntryAndLoneBlankLines) {
    TTransactionList list(pkPayments, 2006, 4, 12, 6, {});
    const qint32 blankID = list.GetItem(0)->ID;
    for (int order = 0; order < TTransactionList::SortOrderCount; ++order) {
        list.SetSortOrder(order, true);
        ASSERT_EQ(IDs(list), std::vector<qint32>{blankID});
    }
    TTransactionList taxed(pkPayments, 2006, 4, 12, 6, {Option::NoBlankLine});
    for (qint32 id : {7, 110499998, 3, 5}) {
        auto entry = Entry(pkPayments, id, 10, 110400001);
        entry->Reference = 12;
        if (id == 110499998) {
            entry->SetFlags({TF::TaxLine});
            entry->ParentID = 5;
        }
        taxed.AddTransaction(std::move(entry), 0);
    }
    taxed.SetSortOrder(TTransactionList::soReferenceDate, false);
    EXPECT_EQ(IDs(taxed), (std::vector<qint32>{3, 5, 110499998, 7}));
    // The amount order's tolerance is not transitive: a long run of amounts 0.004 apart sorts
    // without losing or doubling an entry, and amounts more than the tolerance apart end in order.
    TTransactionList chain(pkPayments, 2006, 4, 12, 6, {Option::NoBlankLine});
    for (int i = 0; i < 3000; ++i) {
        auto entry = Entry(pkPayments, i, 10);
        entry->Amount = ((i * 7919) % 3000) * 0.004;
        chain.AddTransaction(std::move(entry), 0);
    }
    chain.SetSortOrder(TTransactionList::soAmount, false);
    for (int i = 1; i < chain.Count(); ++i)
        ASSERT_LE(chain.GetItem(i - 1)->Amount, chain.GetItem(i)->Amount + 0.0095) << i;
    std::vector<qint32> ids = IDs(chain);
    std::sort(ids.begin(), ids.end());
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(ids[static_cast<size_t>(i)], i);
}

TEST(MoneyTotal, AMillionCentAmountsSumToTheExactCent) {
    TMoneyTotal cents;
    TMoneyTotal mixed;
    qint64 expectedCents = 0;
    for (int i = 0; i < 1000000; ++i) {
        cents.Add(0.01);
        const qint64 amount = (i % 2 ? -1 : 1) * static_cast<qint64>((i * 7919LL) % 100000);
        expectedCents += amount;
        mixed.Add(static_cast<double>(amount) / 100.0);
    }
    EXPECT_EQ(cents.Value(), 10000.0);
    EXPECT_TRUE(SameMoney(mixed.Value(), static_cast<double>(expectedCents) / 100.0));
}

TEST(MoneyTotal, SameMoneyComparesToTheCent) {
    EXPECT_TRUE(SameMoney(0.1 + 0.2, 0.3));
    EXPECT_TRUE(SameMoney(-5.004, -5.0));
    EXPECT_FALSE(SameMoney(1.00, 1.01));
    EXPECT_FALSE(SameMoney(-2.50, 2.50));
}

TEST(TransactionList, DissectionAmountSumsMembersOnly) {
    TTransactionList list(pkPayments, 2006, 4, 12, 6, {Option::NoBlankLine});
    const qint32 dissections[] = {110400001, 110400001, -1, 110400001, 110400001};
    const double amounts[] = {1.10, 2.20, 50.0, 3.30, 99.0};
    for (int i = 0; i < 5; ++i) {
        auto entry = Entry(pkPayments, i, 10, dissections[i]);
        entry->Amount = amounts[i];
        if (i == 4)
            entry->SetFlags({TF::DissectionTotal});
        list.AddTransaction(std::move(entry), 0);
    }
    int last = -1;
    EXPECT_TRUE(SameMoney(list.GetDissectionAmount(0, last), 3.30)); // stops at the outsider
    EXPECT_EQ(last, 1);
    EXPECT_EQ(list.GetDissectionAmount(2, last), 50.0);
    EXPECT_EQ(last, 2);
    list.SetSortOrder(TTransactionList::soTransactionID, false);
    EXPECT_TRUE(SameMoney(list.GetDissectionAmount(0, last), 6.60));
    EXPECT_EQ(last, 4);
    EXPECT_EQ(list.GetDissectionAmount(7, last), 0.0);
}

} // namespace

namespace {

TEST(TransactionList, ValidateTransactionIDsRekeysStrayAndReservedIDs) {
    struct TCase {
        int Month;
        qint32 ID;
        int Flag; // -1: none
        qint32 Parent;
        qint32 Expected;
    };
    const TCase cases[] = {
        {10, 110400004, -1, -1, 110400004},                 // in range: kept
        {10, 110300004, -1, -1, 110400010},                 // September's key on an October entry
        {10, 110499998, TF::TaxLine, 110300004, 110499998}, // tax line: keeps its ID, follows
        {11, 110599998, -1, -1, 110500003},                 // ordinary entry with a reserved sequence
        {11, 110599999, TF::DissectionTotal, -1, 110599999},
        {12, 110699997, -1, -1, 110699997}, // highest ordinary sequence: kept
    };
    TTransactionList list(pkPayments, 2006, 0, 12, 6, {Option::NoBlankLine});
    for (const TCase& c : cases) {
        auto entry = Entry(pkPayments, c.ID, c.Month);
        if (c.Flag >= 0)
            entry->SetFlags({c.Flag});
        entry->ParentID = c.Parent;
        list.AddTransaction(std::move(entry), 0);
    }
    list.SetNextID(4, 110400010);
    list.SetNextID(5, 110500003);
    list.SetSaved(true);
    list.ValidateTransactionIDs();
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(list.GetItem(i)->ID, cases[i].Expected) << i;
    EXPECT_EQ(list.GetItem(2)->ParentID, 110400010);
    EXPECT_EQ(list.GetNextID(4), 110400011);
    EXPECT_EQ(list.GetNextID(5), 110500004);
    EXPECT_EQ(list.IndexOfID(110400010, true), 2);
    EXPECT_EQ(list.IndexOfID(110500003, false), 3);
    EXPECT_EQ(list.IndexOfID(110300004, false), -1);
    EXPECT_FALSE(list.Saved());
}

} // namespace

namespace {

TEST(TransactionList, RowsOfIDsSkipGeneratedLines) {
    TTransactionList list(pkPayments, 2006, 4, 12, 6, {Option::NoBlankLine});
    const qint32 ids[] = {110400001, 110499998, 110499999, 110400002};
    const int flags[] = {TF::Highlight, TF::TaxLine, TF::DissectionTotal, TF::Highlight};
    for (int i = 0; i < 4; ++i) {
        auto entry = Entry(pkPayments, ids[i], 10, 110400001);
        entry->SetFlags({flags[i]});
        entry->ParentID = i == 1 ? 110400002 : -1;
        list.AddTransaction(std::move(entry), 0);
    }
    const int rowCases[][3] = {// id, parent, row
                               {110400001, -1, 1},        {110400002, -1, 4}, {110499998, 110400001, 1},
                               {110499998, 110400002, 4}, {110499998, 7, 4},  {110499999, -1, 4},
                               {110400009, -1, 4}};
    for (const auto& c : rowCases)
        EXPECT_EQ(list.RowOfID(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    const int previousCases[][2] = {{0, 0}, {1, -1}, {2, 1}, {3, 1}, {4, 1}, {5, 4}, {9, 4}};
    for (const auto& c : previousCases)
        EXPECT_EQ(list.PreviousEntryRow(c[0]), c[1]) << c[0];
    list.ClearHighlightMarks();
    EXPECT_FALSE(list.GetItem(0)->HasAnyFlag({TF::Highlight}));
    EXPECT_FALSE(list.GetItem(3)->HasAnyFlag({TF::Highlight}));
}

TEST(TransactionList, UndoCopiesAreRecordedOncePerID) {
    TTransactionList undo(TTransactionList::UndoListKind, 2006, 4, 12, 6, {});
    EXPECT_EQ(undo.AddUndoCopy(110400007, Entry(pkPayments, 110400007, 10)), 0);
    EXPECT_EQ(undo.AddUndoCopy(110400003, Entry(pkPayments, 110400003, 10)), 1);
    EXPECT_EQ(undo.AddUndoCopy(110400007, Entry(pkPayments, 110400007, 10)), 0);
    EXPECT_EQ(undo.Count(), 2);
    EXPECT_EQ(undo.IndexOfUndoID(110400003), 1);
    EXPECT_EQ(undo.IndexOfUndoID(5), -1);
    EXPECT_EQ(undo.GetUndoID(1), 110400003);
    EXPECT_EQ(undo.GetUndoID(2), -1);
    undo.Clear();
    EXPECT_EQ(undo.IndexOfUndoID(110400007), -1);
    EXPECT_EQ(undo.Count(), 0);
}

} // namespace
