#include "core/transactions/TransactionList.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/common/Money.h"
#include "core/transactions/TransactionFlags.h"
#include "core/util/FlagSets.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/AccountTestFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace TF = TransactionFlag;

namespace {

// A keyed payment dated the 15th of a month of 2005 (month 0: no date), optionally in a
// dissection and carrying one more flag.
std::unique_ptr<TTransactionDetail> Entry(qint32 id, int month, qint32 dissection = -1, int flag = -1) {
    auto entry = std::make_unique<TTransactionDetail>(id, static_cast<qint16>(pkPayments));
    entry->SetFlags({TF::Keyed});
    entry->Date = month == 0 ? 0.0 : EncodeDateNum(2005, month, 15);
    entry->Dissection = dissection;
    if (dissection != -1)
        entry->SetFlags({TF::DissectionMember});
    if (flag >= 0)
        entry->SetFlags({flag});
    return entry;
}
TTransactionListSources Sources(int endMonth, const TAccountFormat* format = nullptr) {
    TTransactionListSources sources;
    sources.Entity.FileCode = QStringLiteral("ABCDEF");
    sources.Entity.EndMonth = endMonth;
    sources.Format = format;
    return sources;
}
// A payments list of the year to June 2006 (period 4: October 2005) without a blank line.
std::unique_ptr<TTransactionList> Payments(int period = 4, int endMonth = 6) {
    return std::make_unique<TTransactionList>(Sources(endMonth), pkPayments, 2006, period, 12,
                                              TOptionSet{Option::NoBlankLine});
}
std::vector<qint32> IDs(const TTransactionList& list) {
    std::vector<qint32> ids;
    for (int i = 0; i < list.Count(); ++i)
        ids.push_back(list.GetItem(i)->ID);
    return ids;
}

TEST(TransactionList, CreationSeedsCountersAndAddsTheBlankLine) {
    struct TCase {
        int Kind, Period, PeriodsPerYear, EndMonth;
        TOptionSet Options;
        int BlankSlot;  // 0: no blank line
        qint32 BlankID; // hand-computed
        int SeedSlot;   // another slot, and the seed of both its counters
        qint32 SeedBase;
    };
    const TCase cases[] = {
        {pkPayments, 4, 12, 6, {}, 4, 110400000, 12, 111200000},       // October, June year: slot 4
        {pkGeneralJournals, 1, 4, 3, {}, 3, 130300000, 12, 131200000}, // quarter ending June
        {pkDeletedTransactions, 0, 12, 6, {}, 1, 240100000, 12, 241200000},
        {pkPayments, 4, 12, 6, {Option::NoBlankLine}, 0, 0, 12, 111200000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Period << " " << c.EndMonth);
        TTransactionList list(Sources(c.EndMonth), c.Kind, 2005, c.Period, c.PeriodsPerYear, c.Options);
        EXPECT_EQ(std::tuple(list.Saved(), list.GetNextID(c.SeedSlot), list.GetNextDissectionNo(c.SeedSlot)),
                  std::tuple(true, c.SeedBase, c.SeedBase));
        ASSERT_EQ(list.Count(), c.BlankSlot == 0 ? 0 : 1);
        if (c.BlankSlot == 0)
            continue;
        EXPECT_EQ(
            std::tuple(list.GetItem(0)->ID, list.GetItem(0)->Flags, list.GetNextID(c.BlankSlot),
                       list.GetNextDissectionNo(c.BlankSlot)),
            std::tuple(c.BlankID,
                       FlagSetInclude(0, {TF::Blank}) | (c.Kind == pkDeletedTransactions) << TF::Deleted,
                       c.BlankID + 1, c.BlankID));
    }
}

TEST(TransactionList, AddingCountsOnlyOrdinaryEntriesInRealSlots) {
    auto list = Payments();
    list->AddTransaction(Entry(1, 10), 4);
    EXPECT_FALSE(list->Saved());
    list->AddTransaction(Entry(2, 10, -1, TF::TaxLine), 4);
    list->AddTransaction(Entry(3, 10, -1, TF::DissectionTotal), 4);
    list->AddTransaction(Entry(4, 10), 0);
    list->AddTransaction(Entry(5, 10), 13);
    EXPECT_EQ(list->GetNextID(4), 110400001);
    EXPECT_EQ(list->InsertTransaction(1, Entry(6, 10), 5), 1);
    EXPECT_EQ(list->InsertTransaction(99, Entry(7, 10), 5), 6);
    EXPECT_EQ(list->GetNextID(5), 110500002);
    EXPECT_EQ(IDs(*list), (std::vector<qint32>{1, 6, 2, 3, 4, 5, 7}));
    list->SetSaved(true);
    EXPECT_EQ(list->DeleteTransaction(1)->ID, 6);
    EXPECT_FALSE(list->Saved());
    EXPECT_TRUE(!list->DeleteTransaction(6) && !list->GetItem(-1) && !list->GetItem(6));

    EXPECT_THROW(list->GetNextID(0), EQuilvaneError);
    EXPECT_THROW(list->SetNextID(13, 1), EQuilvaneError);
    EXPECT_THROW(list->GetNextDissectionNo(13), EQuilvaneError);
    list->SetNextDissectionNo(12, 111200042);
    EXPECT_EQ(list->TakeNextDissectionNo(12), 111200042);
    EXPECT_EQ(list->GetNextDissectionNo(12), 111200043);
    TTransactionList undo(Sources(6), TTransactionList::UndoListKind, 2005, 4, 12, {});
    EXPECT_THROW(undo.GetNextID(1), EQuilvaneError);
    EXPECT_EQ(QList<int>({undo.AddUndoCopy(7, Entry(7, 10)), undo.AddUndoCopy(3, Entry(3, 10)),
                          undo.AddUndoCopy(7, Entry(7, 10)), undo.Count(), undo.IndexOfUndoID(3),
                          undo.GetUndoID(2)}),
              QList<int>({0, 1, 0, 2, 1, -1}));
    undo.Clear();
    EXPECT_EQ(undo.IndexOfUndoID(7) + undo.Count(), -1);
}

TEST(TransactionList, UpdateTransactionIDKeepsOrRekeys) {
    struct TCase {
        int EndMonth, Month; // month of the entry's date (0: none)
        qint32 ID;
        bool Blank;
        int Slot; // slot whose counter is set
        qint32 Next, Expected;
    };
    const TCase cases[] = {
        {6, 10, 110400005, false, 4, 110400009, 110400005},   // in range: kept
        {6, 10, 110300005, false, 4, 110400009, 110400009},   // September's key: re-keyed
        {12, 10, 110400005, false, 10, 111000003, 111000003}, // October of a December year
        {6, 10, 110499999, false, 4, 110400000, 110499999},   // top of the range: kept
        {6, 0, 110400008, true, 4, 110400009, 110400008},     // latest blank line: kept
        {6, 0, 110400007, true, 4, 110400009, 110400009},     // older blank line: re-keyed
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.ID);
        auto list = Payments(4, c.EndMonth);
        auto entry = Entry(c.ID, c.Month);
        if (c.Blank)
            entry->Flags = FlagSetInclude(0, {TF::Blank});
        list->AddTransaction(std::move(entry), 0);
        auto tax = Entry(0, c.Month, -1, TF::TaxLine);
        tax->ParentID = c.ID;
        list->AddTransaction(std::move(tax), 0);
        list->SetNextID(c.Slot, c.Next);
        list->UpdateTransactionID(0);
        EXPECT_EQ(list->GetItem(0)->ID, c.Expected);
        const bool rekeyed = c.Expected != c.ID;
        EXPECT_EQ(list->GetNextID(c.Slot), rekeyed ? c.Next + 1 : c.Next);
        EXPECT_EQ(list->GetItem(1)->ParentID, rekeyed && !c.Blank ? c.Expected : c.ID);
    }
}

TEST(TransactionList, ValidateTransactionIDsRekeysStrayAndReservedIDs) {
    const qint32 cases[][5] = {
        // month, ID, flag, parent, expected
        {10, 110400004, -1, -1, 110400004},
        {10, 110300004, -1, -1, 110400010},                 // September's key on an October entry
        {10, 110499998, TF::TaxLine, 110300004, 110499998}, // tax line: keeps its ID, follows
        {11, 110599998, -1, -1, 110500003},                 // reserved sequence on an ordinary entry
        {11, 110599999, TF::DissectionTotal, -1, 110599999},
        {12, 110699997, -1, -1, 110699997}, // highest ordinary sequence: kept
    };
    auto list = Payments(0);
    for (const auto& c : cases) {
        list->AddTransaction(Entry(c[1], c[0], -1, c[2]), 0);
        list->GetItem(list->Count() - 1)->ParentID = c[3];
    }
    list->SetNextID(4, 110400010);
    list->SetNextID(5, 110500003);
    list->ValidateTransactionIDs();
    for (int i = 0; i < list->Count(); ++i)
        EXPECT_EQ(list->GetItem(i)->ID, cases[i][4]) << i;
    EXPECT_EQ(QList<qint32>({list->IndexOfID(110400010, true), list->IndexOfID(110300004, false),
                             list->GetNextID(4), list->GetNextID(5)}),
              QList<qint32>({2, -1, 110400011, 110500004}));
}

TEST(TransactionList, ValidateDissectionNumbersAgainstHandKeys) {
    const qint32 cases[][4] = {
        // month, dissection, member flag, expected
        {10, 110400003, 1, 110400003}, // in range: kept
        {10, 110300007, 1, 110400007}, // another month's number: sequence kept
        {11, 4, 0, 110500004},         // bare sequence: flag added
        {10, -1, 0, -1},               // no dissection: untouched
    };
    auto list = Payments(0);
    for (const auto& c : cases) {
        list->AddTransaction(Entry(1, c[0], c[1]), 0);
        if (!c[2])
            list->GetItem(list->Count() - 1)->Flags = FlagSetInclude(0, {TF::Keyed});
    }
    list->SetNextDissectionNo(4, 110400002);
    list->SetSaved(true);
    list->ValidateDissectionNumbers();
    for (int i = 0; i < list->Count(); ++i) {
        EXPECT_EQ(list->GetItem(i)->Dissection, cases[i][3]) << i;
        EXPECT_EQ(list->GetItem(i)->HasAnyFlag({TF::DissectionMember}), cases[i][3] != -1) << i;
    }
    EXPECT_EQ(std::tuple(list->GetNextDissectionNo(4), list->GetNextDissectionNo(5), list->Saved()),
              std::tuple(110400008, 110500005, false));
    auto clean = Payments(4);
    clean->AddTransaction(Entry(1, 10, 110400004), 0);
    clean->SetSaved(true);
    clean->ValidateDissectionNumbers();
    EXPECT_EQ(std::tuple(clean->Saved(), clean->GetNextDissectionNo(4)), std::tuple(true, 110400005));
}

TEST(TransactionList, RenumberingRunsPerMonthFromKeyBasePlusOne) {
    const int yearEnds[][3] = {{6, 4, 5}, {12, 10, 11}, {3, 7, 8}, {10, 12, 1}}; // October, November slots
    for (const auto& [endMonth, octSlot, novSlot] : yearEnds) {
        SCOPED_TRACE(endMonth);
        auto list = Payments(0, endMonth);
        const int months[] = {10, 10, 10, 10, 11, 11, 10};
        const qint32 old[] = {5, 5, -1, 5, 9, 9, 7};
        for (int i = 0; i < 7; ++i)
            list->AddTransaction(Entry(i, months[i], old[i]), 0);
        list->RenumberDissections();
        const qint32 oct = 110000000 + octSlot * 100000;
        const qint32 nov = 110000000 + novSlot * 100000;
        const qint32 expected[] = {oct + 1, oct + 1, -1, oct + 2, nov + 1, nov + 1, oct + 3};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(list->GetItem(i)->Dissection, expected[i]) << i;
        EXPECT_EQ(std::pair(list->GetNextDissectionNo(octSlot), list->GetNextDissectionNo(novSlot)),
                  std::pair(oct + 4, nov + 2));
    }
}

TEST(TransactionList, SortOrdersKeepTheBlankLineLast) {
    struct TRow {
        qint32 ID;
        int Day, Reference, Account, Bank;
        double Amount;
        const char* Details;
        int Flag;
    };
    const TRow rows[] = {
        {1, 20, 30, 400, 2, 10.005, "beta", TF::Reconciled},
        {2, 10, 30, 300, 1, 5.00, "Alpha", TF::CapitalAcquisition},
        {3, 10, 20, 300, 1, 20.00, "gamma", TF::NonCash},
        {4, 5, 40, 1000, 2, -3.00, "alpha", -1},
        {5, 20, 10, 200, 1, 10.00, "Delta", TF::Reconciled},
        {6, 5, 30, 400, 1, 7.50, "beta", -1},
    };
    const std::vector<qint32> expected[] = {
        {6, 3, 2, 5, 4, 1}, {1, 2, 3, 4, 5, 6}, {6, 4, 3, 2, 5, 1},
        {5, 3, 1, 2, 6, 4}, {5, 3, 2, 6, 1, 4}, // "0200" < "0300" < "0400" < "1000" as text
        {4, 2, 6, 5, 1, 3},                     // 10.00 and 10.005 together
        {4, 2, 6, 1, 5, 3}, {6, 3, 2, 4, 5, 1}, {6, 4, 3, 5, 1, 2},
        {6, 4, 2, 5, 1, 3}, {6, 4, 2, 5, 1, 3}, // orders beyond 9 are kept but leave the entries as they are
    };
    const auto format = AccountOnlyFormat();
    TTransactionList list(Sources(6, format.get()), pkPayments, 2006, 4, 12, {Option::NoBlankLine});
    for (const TRow& r : rows) {
        auto entry = Entry(r.ID, 10, -1, r.Flag);
        entry->Date = EncodeDateNum(2005, 10, r.Day);
        entry->Reference = r.Reference;
        entry->PostingCode = Acc(r.Account);
        entry->BankCode = Acc(r.Bank);
        entry->Amount = r.Amount;
        entry->SetDetails(r.Details);
        list.AddTransaction(std::move(entry), 0);
    }
    list.AddTransaction(std::make_unique<TTransactionDetail>(99, pkPayments), 0);
    for (int order = 0; order <= TTransactionList::SortOrderCount; ++order) {
        SCOPED_TRACE(order);
        list.SetSortOrder(order, true);
        EXPECT_EQ(list.SortOrder(), order);
        std::vector<qint32> ids = expected[order];
        ids.push_back(99);
        EXPECT_EQ(IDs(list), ids);
    }
    TTransactionList lone(Sources(6), pkPayments, 2006, 4, 12, {});
    for (int order = 0; order < TTransactionList::SortOrderCount; ++order)
        lone.SetSortOrder(order, true);
    EXPECT_EQ(lone.Count(), 1);
}

TEST(TransactionList, SortKeepsTaxLinesBehindTheirEntryAndSurvivesTheAmountTolerance) {
    auto taxed = Payments();
    for (qint32 id : {7, 110499998, 3, 5}) {
        taxed->AddTransaction(Entry(id, 10, 110400001, id == 110499998 ? TF::TaxLine : -1), 0);
        taxed->GetItem(taxed->Count() - 1)->ParentID = id == 110499998 ? 5 : -1;
    }
    taxed->SetSortOrder(TTransactionList::soReferenceDate, false);
    EXPECT_EQ(IDs(*taxed), (std::vector<qint32>{3, 5, 110499998, 7}));
    // The amount order's tolerance is not transitive: a long run of amounts 0.004 apart sorts
    // without losing or doubling an entry, and amounts more than the tolerance apart end in order.
    auto chain = Payments();
    for (int i = 0; i < 3000; ++i) {
        chain->AddTransaction(Entry(i, 10), 0);
        chain->GetItem(i)->Amount = ((i * 7919) % 3000) * 0.004;
    }
    chain->SetSortOrder(TTransactionList::soAmount, false);
    for (int i = 1; i < chain->Count(); ++i)
        ASSERT_LE(chain->GetItem(i - 1)->Amount, chain->GetItem(i)->Amount + 0.0095) << i;
    std::vector<qint32> ids = IDs(*chain);
    std::sort(ids.begin(), ids.end());
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(ids[static_cast<size_t>(i)], i);
    // Scrambled IDs (thousands of runs: the quick sort) and three ascending runs (merged) both
    // end in ID order with every entry once.
    for (const auto scramble : {+[](int i) { return (i * 7919) % 3000; },
                                +[](int i) { return (2 - i / 1000) * 1000 + i % 1000; }}) {
        auto ordered = Payments();
        for (int i = 0; i < 3000; ++i)
            ordered->AddTransaction(Entry(scramble(i), 10), 0);
        ordered->SetSortOrder(TTransactionList::soTransactionID, false);
        for (int i = 0; i < 3000; ++i)
            ASSERT_EQ(ordered->GetItem(i)->ID, i);
    }
}

TEST(TransactionList, RowsOfIDsSkipGeneratedLines) {
    auto list = Payments();
    const qint32 ids[] = {110400001, 110499998, 110499999, 110400002};
    const int flags[] = {TF::Highlight, TF::TaxLine, TF::DissectionTotal, TF::Highlight};
    for (int i = 0; i < 4; ++i) {
        list->AddTransaction(Entry(ids[i], 10, 110400001, flags[i]), 0);
        list->GetItem(i)->ParentID = i == 1 ? 110400002 : -1;
    }
    const int rowCases[][3] = {{110400001, -1, 1}, {110400002, -1, 4},        {110499998, 110400001, 1},
                               {110499998, 7, 4},  {110499999, 110400001, 4}, {110400009, -1, 4}};
    for (const auto& c : rowCases)
        EXPECT_EQ(list->RowOfID(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    const int previousCases[][2] = {{0, 0}, {1, -1}, {2, 1}, {4, 1}, {5, 4}, {9, 4}};
    for (const auto& c : previousCases)
        EXPECT_EQ(list->PreviousEntryRow(c[0]), c[1]) << c[0];
    list->ClearHighlightMarks();
    EXPECT_FALSE(list->GetItem(0)->HasAnyFlag({TF::Highlight}) ||
                 list->GetItem(3)->HasAnyFlag({TF::Highlight}));
}

TEST(TransactionList, DissectionAmountSumsMembersOnly) {
    auto list = Payments();
    const qint32 dissections[] = {110400001, 110400001, -1, 110400001, 110400001};
    const double amounts[] = {1.10, 2.20, 50.0, 3.30, 99.0};
    for (int i = 0; i < 5; ++i) {
        list->AddTransaction(Entry(i, 10, dissections[i], i == 4 ? TF::DissectionTotal : -1), 0);
        list->GetItem(i)->Amount = amounts[i];
    }
    int last = -1, outsider = -1, sorted = -1;
    const double amount = list->GetDissectionAmount(0, last); // stops at the outsider
    EXPECT_EQ(std::tuple(list->GetDissectionAmount(2, outsider), outsider, last), std::tuple(50.0, 2, 1));
    EXPECT_TRUE(SameMoney(amount, 3.30));
    list->SetSortOrder(TTransactionList::soTransactionID, false);
    EXPECT_TRUE(SameMoney(list->GetDissectionAmount(0, sorted), 6.60) && sorted == 4);
}

TEST(MoneyTotal, AMillionCentAmountsSumToTheExactCent) {
    TMoneyTotal cents;
    TMoneyTotal mixed;
    qint64 expectedCents = 0;
    for (int i = 0; i < 1000000; ++i) {
        cents.Add(0.01);
        const qint64 amount = (i % 2 ? -1 : 1) * ((i * 7919LL) % 100000);
        expectedCents += amount;
        mixed.Add(static_cast<double>(amount) / 100.0);
    }
    EXPECT_EQ(cents.Value(), 10000.0); // a plain running sum ends 10000.000000171856
    EXPECT_TRUE(SameMoney(mixed.Value(), static_cast<double>(expectedCents) / 100.0));
    EXPECT_TRUE(SameMoney(0.1 + 0.2, 0.3) && SameMoney(-5.004, -5.0));
    EXPECT_FALSE(SameMoney(1.00, 1.01) || SameMoney(-2.50, 2.50));
}

} // namespace
