#include "core/transactions/TransactionList.h"

#include "core/accounts/AccountFormat.h"
#include "core/common/Exceptions.h"
#include "core/common/Money.h"
#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/services/Services.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/util/FlagSets.h"
#include "core/util/ThreadScratch.h"
#include "core/vocab/PageKinds.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

namespace {
constexpr qint32 SlotKeyRange = 100000;

template <typename T> int CompareValues(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// One entry while the list is sorted: the fields the orders compare, copied so that comparing
// reads one compact array rather than entries spread over the heap; the entry and its place before
// the sort; and the place of the account code the order compares (bank or posting) in the order
// of the formatted texts (each code is formatted once rather than at every comparison). The amount
// and the details, which only their own orders compare, are read from the entry.
struct TSortItem {
    const TTransactionDetail* Entry = nullptr;
    double Date = 0.0;
    qint32 ID = 0;
    qint32 ParentID = 0;
    qint32 Dissection = 0;
    qint32 Reference = 0;
    quint32 Flags = 0;
    quint32 Index = 0;
    int Rank = 0;

    bool Has(int flag) const { return (Flags >> flag) & 1u; }
};

// The arrays a sort works in.
struct TSortArrays {
    std::vector<TSortItem> Items;
    std::vector<quint32> Positions;
    std::vector<quint32> Merged;
    std::vector<TTransactionDetail*> Placed;
};

// The thread's sort arrays: the lists of a year are sorted one after another in the same memory
// rather than each in fresh pages from the system. Arrays grown past KeptBytes are given back when
// the sort ends.
class TSortScratch : public TThreadScratch<TSortArrays, TSortScratch> {
public:
    ~TSortScratch() {
        if (Get().Items.capacity() * sizeof(TSortItem) > KeptBytes)
            Get() = TSortArrays{};
    }

private:
    static constexpr size_t KeptBytes = size_t{16} << 20;
};

int CompareFlag(const TSortItem& a, const TSortItem& b, int flag) {
    return CompareValues(a.Has(flag), b.Has(flag));
}

// Within one dissection a tax line follows the entry it belongs to; otherwise IDs ascend.
int CompareDissection(const TSortItem& a, const TSortItem& b) {
    if (const int byNumber = CompareValues(a.Dissection, b.Dissection))
        return byNumber;
    const bool aTax = a.Has(TransactionFlag::TaxLine);
    const bool bTax = b.Has(TransactionFlag::TaxLine);
    if (const int byOwner = CompareValues(aTax ? a.ParentID : a.ID, bTax ? b.ParentID : b.ID))
        return byOwner;
    if (const int byKind = CompareValues(aTax, bTax))
        return byKind;
    return CompareValues(a.ID, b.ID);
}

int CompareReferenceDissection(const TSortItem& a, const TSortItem& b) {
    if (const int byReference = CompareValues(a.Reference, b.Reference))
        return byReference;
    return CompareDissection(a, b);
}

int CompareDateReference(const TSortItem& a, const TSortItem& b) {
    if (const int byDate = CompareValues(a.Date, b.Date))
        return byDate;
    return CompareReferenceDissection(a, b);
}

// Amounts within 0.009 of each other count as equal when the first is the larger, as the sort
// has always compared them. Not a strict weak order: only the guarded quick sort may use it.
int CompareAmount(const TSortItem& a, const TSortItem& b) {
    const double amountA = a.Entry->Amount;
    const double amountB = b.Entry->Amount;
    if (amountA >= amountB && amountA - amountB <= MoneyTolerance)
        return CompareDateReference(a, b);
    return amountA > amountB ? 1 : -1;
}
} // namespace

TTransactionList::TTransactionList(const TTransactionListSources& sources, int pageKind, int year, int period,
                                   int periodsPerYear, const TOptionSet& options, bool showProgress)
    : Books(sources), Kind(pageKind), FinancialYear(year), PeriodNo(period), PeriodCount(periodsPerYear),
      ListOptions(options) {
    const int endMonth = Books.Entity.EndMonth;
    if (pageKind != UndoListKind && !IsPageKind(pageKind))
        throw EQuilvaneError(QStringLiteral("Invalid page kind %1 for a transaction list.").arg(pageKind));
    if (endMonth < 1 || endMonth > 12)
        throw EQuilvaneError(
            QStringLiteral("Invalid year-end month %1 for a transaction list.").arg(endMonth));
    if (period != 0) {
        PeriodStartYear = year;
        PeriodStartMonthNo = PeriodStartMonth(period, periodsPerYear, endMonth, PeriodStartYear);
        PeriodEndYear = year;
        PeriodEndMonthNo = PeriodEndMonth(period, periodsPerYear, endMonth, PeriodEndYear);
        PeriodStartDay = PeriodStartDate(period, year, periodsPerYear, endMonth);
        PeriodEndDay = PeriodEndDate(period, year, periodsPerYear, endMonth);
    }
    const bool bankStatementKind = IsBankStatementKind(Kind);
    ShowRateColumn = Books.CurrencyConv && !bankStatementKind;
    ShowTaxColumn = Books.Tax && !bankStatementKind && Kind != pkOpeningBalances && Kind != pkWagesJournals;
    ShowQuantityColumn = Books.Quantity && !bankStatementKind;
    if (Kind == UndoListKind)
        return;
    for (int slot = 1; slot <= MonthSlots; ++slot) {
        NextIDs[slot - 1] = SlotKeyBase(slot);
        NextDissectionNos[slot - 1] = SlotKeyBase(slot);
    }
    const bool quiet = options.Has(Option::QuietLoad) || options.Has(Option::DosVersion) ||
                       options.Has(Option::QuietLoadKeepTaxLines);
    if (quiet || options.Has(Option::Load))
        LastLoadStatus = LoadFromFile(ListOptions, showProgress);
    if (LastLoadStatus != 0 || quiet || options.Has(Option::NoBlankLine))
        return;
    const bool wasSaved = IsSaved;
    const int slot = TransactionMonthSlot(Kind, PeriodEndMonthNo, endMonth);
    auto blank = std::make_unique<TTransactionDetail>(GetNextID(slot), static_cast<qint16>(Kind));
    if (Kind == pkDeletedTransactions)
        blank->Flags = FlagSetInclude(blank->Flags, {TransactionFlag::Deleted});
    AddTransaction(std::move(blank), slot);
    IsSaved = wasSaved;
}

TTransactionDetail* TTransactionList::GetItem(int index) const {
    return index >= 0 && index < Count() ? Entries[static_cast<size_t>(index)].get() : nullptr;
}

int TTransactionList::AddTransaction(std::unique_ptr<TTransactionDetail> entry, int monthSlot) {
    return InsertTransaction(Count(), std::move(entry), monthSlot);
}

int TTransactionList::InsertTransaction(int index, std::unique_ptr<TTransactionDetail> entry, int monthSlot) {
    if (!entry)
        throw EQuilvaneError(QStringLiteral("No transaction to add to the list."));
    const bool counted = !entry->HasAnyFlag({TransactionFlag::DissectionTotal, TransactionFlag::TaxLine});
    index = std::clamp(index, 0, Count());
    Entries.insert(Entries.begin() + index, std::move(entry));
    if (counted && HasSlot(monthSlot))
        ++NextIDs[static_cast<size_t>(monthSlot - 1)];
    IsSaved = false;
    return index;
}

std::unique_ptr<TTransactionDetail> TTransactionList::DeleteTransaction(int index) {
    if (index < 0 || index >= Count())
        return nullptr;
    auto entry = std::move(Entries[static_cast<size_t>(index)]);
    Entries.erase(Entries.begin() + index);
    IsSaved = false;
    return entry;
}

void TTransactionList::Clear() {
    Entries.clear();
    UndoIDs.clear();
}

int TTransactionList::AddUndoCopy(qint32 id, std::unique_ptr<TTransactionDetail> copy) {
    const int known = IndexOfUndoID(id);
    if (known >= 0)
        return known;
    if (!copy)
        throw EQuilvaneError(QStringLiteral("No transaction copy for the undo list."));
    UndoIDs.push_back(id);
    Entries.push_back(std::move(copy));
    return static_cast<int>(UndoIDs.size()) - 1;
}

int TTransactionList::IndexOfUndoID(qint32 id) const {
    const auto found = std::find(UndoIDs.begin(), UndoIDs.end(), id);
    return found == UndoIDs.end() ? -1 : static_cast<int>(found - UndoIDs.begin());
}

qint32 TTransactionList::GetUndoID(int index) const {
    return index >= 0 && index < static_cast<int>(UndoIDs.size()) ? UndoIDs[static_cast<size_t>(index)] : -1;
}

bool TTransactionList::HasSlot(int monthSlot) const {
    return Kind != UndoListKind && monthSlot >= 1 && monthSlot <= MonthSlots;
}

int TTransactionList::CheckedSlot(int monthSlot) const {
    if (!HasSlot(monthSlot))
        throw EQuilvaneError(QStringLiteral("Invalid month slot %1 for the list's counters.").arg(monthSlot));
    return monthSlot - 1;
}

qint32 TTransactionList::SlotKeyBase(int monthSlot) const {
    return TransactionSlotKeyBase(Kind, monthSlot);
}

qint32 TTransactionList::GetNextID(int monthSlot) const {
    return NextIDs[static_cast<size_t>(CheckedSlot(monthSlot))];
}

void TTransactionList::SetNextID(int monthSlot, qint32 value) {
    NextIDs[static_cast<size_t>(CheckedSlot(monthSlot))] = value;
}

qint32 TTransactionList::GetNextDissectionNo(int monthSlot) const {
    return NextDissectionNos[static_cast<size_t>(CheckedSlot(monthSlot))];
}

void TTransactionList::SetNextDissectionNo(int monthSlot, qint32 value) {
    NextDissectionNos[static_cast<size_t>(CheckedSlot(monthSlot))] = value;
}

qint32 TTransactionList::TakeNextID(int monthSlot) {
    return NextIDs[static_cast<size_t>(CheckedSlot(monthSlot))]++;
}

qint32 TTransactionList::TakeNextDissectionNo(int monthSlot) {
    return NextDissectionNos[static_cast<size_t>(CheckedSlot(monthSlot))]++;
}

int TTransactionList::EntryMonthSlot(const TTransactionDetail& entry) const {
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDateNum(entry.Date, year, month, day);
    if (month == 0)
        month = PeriodEndMonthNo;
    return TransactionMonthSlot(Kind, month, Books.Entity.EndMonth);
}

int TTransactionList::IndexOfID(qint32 id, bool byParent) const {
    for (int i = 0; i < Count(); ++i) {
        const TTransactionDetail& entry = *Entries[static_cast<size_t>(i)];
        if ((byParent ? entry.ParentID : entry.ID) == id)
            return i;
    }
    return -1;
}

int TTransactionList::RowOfID(qint32 id, qint32 parentID) const {
    const qint32 sequence = TransactionKeySequence(id);
    if (sequence == DissectionTotalSequence)
        return Count();
    const int index = sequence == TaxLineSequence ? IndexOfID(parentID, false) : IndexOfID(id, false);
    return index < 0 ? Count() : index + 1;
}

int TTransactionList::PreviousEntryRow(int row) const {
    if (row == 0)
        return 0;
    for (int above = std::min(row, Count() + 1) - 1; above >= 1; --above) {
        if (!GetItem(above - 1)->HasAnyFlag({TransactionFlag::DissectionTotal, TransactionFlag::TaxLine}))
            return above;
    }
    return -1;
}

void TTransactionList::ClearHighlightMarks() {
    for (const auto& entry : Entries)
        entry->Flags = FlagSetExclude(entry->Flags, {TransactionFlag::Highlight});
}

void TTransactionList::UpdateTransactionID(int index) {
    TTransactionDetail* entry = GetItem(index);
    if (!entry || Kind == UndoListKind)
        return;
    const int slot = EntryMonthSlot(*entry);
    const qint32 base = SlotKeyBase(slot);
    const bool blank = entry->HasAnyFlag({TransactionFlag::Blank});
    const bool inRange = entry->ID >= base && entry->ID < base + SlotKeyRange;
    if (inRange && (entry->ID >= GetNextID(slot) - 1 || !blank))
        return;
    const qint32 oldID = entry->ID;
    entry->ID = TakeNextID(slot);
    IsSaved = false;
    if (!blank)
        RepointTaxLines(CurrentSortOrder == soBankAccount ? index : 0, oldID, entry->ID);
}

void TTransactionList::RepointTaxLines(int fromIndex, qint32 oldID, qint32 newID) {
    for (int i = fromIndex; i < Count(); ++i) {
        TTransactionDetail& line = *Entries[static_cast<size_t>(i)];
        if (line.HasAnyFlag({TransactionFlag::TaxLine}) && line.ParentID == oldID)
            line.ParentID = newID;
    }
}

void TTransactionList::ValidateTransactionIDs() {
    if (Kind == UndoListKind)
        return;
    for (int i = 0; i < Count(); ++i) {
        TTransactionDetail& entry = *Entries[static_cast<size_t>(i)];
        if (entry.HasAnyFlag({TransactionFlag::TaxLine, TransactionFlag::DissectionTotal}))
            continue;
        const int slot = EntryMonthSlot(entry);
        const qint32 base = SlotKeyBase(slot);
        if (entry.ID >= base && entry.ID < base + TaxLineSequence)
            continue;
        const qint32 oldID = entry.ID;
        entry.ID = TakeNextID(slot);
        RepointTaxLines(i, oldID, entry.ID);
    }
    IsSaved = false;
}

void TTransactionList::ValidateDissectionNumbers() {
    if (Kind == UndoListKind)
        return;
    for (const auto& entry : Entries) {
        if (entry->Dissection == -1)
            continue;
        if (!entry->HasAnyFlag({TransactionFlag::DissectionMember})) {
            entry->Flags = FlagSetInclude(entry->Flags, {TransactionFlag::DissectionMember});
            IsSaved = false;
        }
        const int slot = EntryMonthSlot(*entry);
        const qint32 base = SlotKeyBase(slot);
        if (entry->Dissection < base || entry->Dissection >= base + SlotKeyRange) {
            entry->Dissection = base + TransactionKeySequence(std::max<qint32>(entry->Dissection, 0));
            IsSaved = false;
        }
        qint32& counter = NextDissectionNos[static_cast<size_t>(slot - 1)];
        counter = std::max(counter, entry->Dissection + 1);
    }
}

void TTransactionList::RenumberDissections() {
    if (Kind == UndoListKind)
        return;
    for (int slot = 1; slot <= MonthSlots; ++slot)
        NextDissectionNos[static_cast<size_t>(slot - 1)] = SlotKeyBase(slot) + 1;
    qint32 runOldNumber = -1;
    int runSlot = 0;
    qint32 runNewNumber = -1;
    for (const auto& entry : Entries) {
        if (entry->Dissection == -1) {
            runOldNumber = -1;
            continue;
        }
        const int slot = EntryMonthSlot(*entry);
        if (entry->Dissection != runOldNumber || slot != runSlot) {
            runOldNumber = entry->Dissection;
            runSlot = slot;
            runNewNumber = TakeNextDissectionNo(slot);
        }
        entry->Dissection = runNewNumber;
    }
    IsSaved = false;
}

double TTransactionList::GetDissectionAmount(int index, int& lastIndex) const {
    const TTransactionDetail* first = GetItem(index);
    lastIndex = index;
    if (!first)
        return 0.0;
    if (first->Dissection == -1)
        return first->Amount;
    TMoneyTotal total;
    bool metMember = false;
    for (int i = index; i < Count(); ++i) {
        const TTransactionDetail& entry = *Entries[static_cast<size_t>(i)];
        if (entry.Dissection != first->Dissection) {
            if (metMember && CurrentSortOrder == soBankAccount)
                break;
            continue;
        }
        metMember = true;
        lastIndex = i;
        if (!entry.HasAnyFlag({TransactionFlag::DissectionTotal}))
            total.Add(entry.Amount);
    }
    return total.Value();
}

namespace {
quint64 PackedCode(const TAccountCode& code) {
    return (quint64(quint16(code.Branch)) << 48) | (quint64(quint16(code.Division)) << 32) |
           (quint64(quint16(code.Account)) << 16) | quint64(quint16(code.SubAccount));
}

// The places of account codes compared as the format writes them (as text), or part by part
// without one. Each code met is given a slot while the items are made (entries come in runs of one
// account, so a code is looked up only where it changes); Ranks then gives every slot the place of
// its code among the distinct codes, codes that format alike sharing a place.
class TCodeRanker {
public:
    int Slot(const TAccountCode& code) {
        const quint64 packed = PackedCode(code);
        if (packed == LastCode)
            return LastSlot;
        LastCode = packed;
        const auto [found, added] = Slots.try_emplace(packed, static_cast<int>(Codes.size()));
        if (added)
            Codes.push_back(code);
        LastSlot = found->second;
        return LastSlot;
    }
    // The place of each slot's code.
    std::vector<int> Ranks(const TAccountFormat* format) const {
        std::vector<std::pair<QString, int>> keyed; // text, slot
        keyed.reserve(Codes.size());
        for (size_t slot = 0; slot < Codes.size(); ++slot)
            keyed.emplace_back(format ? format->FormatCode(Codes[slot]) : QString(), static_cast<int>(slot));
        const auto parts = [this](int slot) {
            const TAccountCode& c = Codes[static_cast<size_t>(slot)];
            return std::array<int, 4>{c.Branch, c.Division, c.Account, c.SubAccount};
        };
        std::sort(keyed.begin(), keyed.end(), [&](const auto& x, const auto& y) {
            if (format)
                return x.first < y.first;
            return parts(x.second) < parts(y.second);
        });
        std::vector<int> ranks(Codes.size(), 0);
        for (size_t i = 0, rank = 0; i < keyed.size(); ++i) {
            if (i > 0 && (format ? keyed[i].first != keyed[i - 1].first
                                 : parts(keyed[i].second) != parts(keyed[i - 1].second)))
                ++rank;
            ranks[static_cast<size_t>(keyed[i].second)] = static_cast<int>(rank);
        }
        return ranks;
    }

private:
    std::unordered_map<quint64, int> Slots;
    std::vector<TAccountCode> Codes;
    std::optional<quint64> LastCode;
    int LastSlot = 0;
};

int CompareAccounts(const TSortItem& a, const TSortItem& b) {
    if (const int byCode = CompareValues(a.Rank, b.Rank))
        return byCode;
    return CompareDateReference(a, b);
}

int CompareItems(int order, const TSortItem& a, const TSortItem& b) {
    switch (order) {
    case TTransactionList::soBankAccount:
        return CompareAccounts(a, b);
    case TTransactionList::soTransactionID:
        return CompareValues(a.ID, b.ID);
    case TTransactionList::soDateReference:
        return CompareDateReference(a, b);
    case TTransactionList::soReferenceDate:
        if (const int byReference = CompareReferenceDissection(a, b))
            return byReference;
        return CompareValues(a.Date, b.Date);
    case TTransactionList::soPostingAccount:
        return CompareAccounts(a, b);
    case TTransactionList::soAmount:
        return CompareAmount(a, b);
    case TTransactionList::soDetails:
        if (const int byText = a.Entry->Details().compare(b.Entry->Details(), Qt::CaseInsensitive))
            return byText < 0 ? -1 : 1;
        return CompareDateReference(a, b);
    case TTransactionList::soReconciledBankAccount:
        if (const int byFlag = CompareFlag(a, b, TransactionFlag::Reconciled))
            return byFlag;
        return CompareAccounts(a, b);
    case TTransactionList::soCapitalAcquisition:
    case TTransactionList::soNonCash:
        if (const int byFlag =
                CompareFlag(a, b,
                            order == TTransactionList::soNonCash ? TransactionFlag::NonCash
                                                                 : TransactionFlag::CapitalAcquisition))
            return byFlag;
        return CompareDateReference(a, b);
    default:
        return 0;
    }
}

// Quick sort with the middle item as pivot. Every index is kept inside [left, right], so a
// comparator that is not a strict weak order (the amount order) cannot run off the list.
void QuickSort(std::vector<TSortItem>& items, int order, int left, int right) {
    while (left < right) {
        int i = left;
        int j = right;
        const TSortItem pivot = items[static_cast<size_t>((left + right) / 2)];
        do {
            while (i < right && CompareItems(order, items[static_cast<size_t>(i)], pivot) < 0)
                ++i;
            while (j > left && CompareItems(order, items[static_cast<size_t>(j)], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(items[static_cast<size_t>(i)], items[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSort(items, order, left, j);
        left = i;
    }
}
// The first place in [first, last) whose item orders after the key (all before it do not):
// looked for a step of 1, 2, 4, ... from the start, then by halving, so that a long stretch that
// goes as a whole costs a few comparisons.
template <typename TLess>
const quint32* GallopPast(const quint32* first, const quint32* last, quint32 key, TLess less) {
    const size_t n = static_cast<size_t>(last - first);
    if (n == 0 || less(key, first[0]))
        return first;
    size_t known = 0; // first[known] does not order after the key
    size_t step = 1;
    while (known + step < n && !less(key, first[known + step])) {
        known += step;
        step *= 2;
    }
    return std::upper_bound(first + known + 1, first + std::min(known + step, n), key, less);
}

// The first place in [first, last) whose item does not order before the key.
template <typename TLess>
const quint32* GallopTo(const quint32* first, const quint32* last, quint32 key, TLess less) {
    const size_t n = static_cast<size_t>(last - first);
    if (n == 0 || !less(first[0], key))
        return first;
    size_t known = 0; // first[known] orders before the key
    size_t step = 1;
    while (known + step < n && less(first[known + step], key)) {
        known += step;
        step *= 2;
    }
    return std::lower_bound(first + known + 1, first + std::min(known + step, n), key, less);
}

// Merges two sorted runs, the left one first among equals (as std::merge). Item by item while the
// runs take turns; once one run gives several items in a row, its stretches are found by galloping
// (the month files of a year interleave in long stretches of one bank account).
template <typename TLess>
void MergeRuns(const quint32* a, const quint32* aEnd, const quint32* b, const quint32* bEnd, quint32* out,
               TLess less) {
    constexpr int MinGallop = 7;
    while (a != aEnd && b != bEnd) {
        int fromA = 0;
        int fromB = 0;
        while (a != aEnd && b != bEnd && fromA < MinGallop && fromB < MinGallop) {
            if (less(*b, *a)) {
                *out++ = *b++;
                ++fromB;
                fromA = 0;
            } else {
                *out++ = *a++;
                ++fromA;
                fromB = 0;
            }
        }
        while (a != aEnd && b != bEnd) {
            const quint32* stopA = GallopPast(a, aEnd, *b, less);
            const ptrdiff_t tookA = stopA - a;
            out = std::copy(a, stopA, out);
            a = stopA;
            if (a == aEnd)
                break;
            const quint32* stopB = GallopTo(b, bEnd, *a, less);
            const ptrdiff_t tookB = stopB - b;
            out = std::copy(b, stopB, out);
            b = stopB;
            if (tookA < MinGallop && tookB < MinGallop)
                break;
        }
    }
    out = std::copy(a, aEnd, out);
    std::copy(b, bEnd, out);
}

// A list read from its files is mostly in order already: each month file was written sorted,
// and lines made since (contra lines, dissection totals) sit in runs of their own. Such a list is
// sorted by merging its few ascending runs rather than by a quick sort: the positions of the items
// (0 to n - 1) are merged pairwise (MergeRuns), the items themselves never move. Merging keeps
// items that compare equal in their order, as the merge sort it stands for would. Every order but
// the amount order is a strict weak order, which a merge needs; false (nothing done) for the
// amount order or a list of many runs.
bool MergeSortedRuns(const std::vector<TSortItem>& items, int order, std::vector<quint32>& sorted,
                     std::vector<quint32>& merged) {
    constexpr size_t MaxRuns = 64;
    if (order == TTransactionList::soAmount)
        return false;
    std::vector<size_t> bounds{0};
    for (size_t i = 1; i < items.size(); ++i)
        if (CompareItems(order, items[i - 1], items[i]) > 0) {
            bounds.push_back(i);
            if (bounds.size() > MaxRuns)
                return false;
        }
    bounds.push_back(items.size());
    sorted.resize(items.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        sorted[i] = static_cast<quint32>(i);
    if (bounds.size() <= 2)
        return true;
    const auto less = [&items, order](quint32 a, quint32 b) {
        return CompareItems(order, items[a], items[b]) < 0;
    };
    merged.resize(sorted.size());
    while (bounds.size() > 2) {
        std::vector<size_t> mergedBounds{0};
        size_t r = 0;
        for (; r + 2 < bounds.size(); r += 2) {
            MergeRuns(sorted.data() + bounds[r], sorted.data() + bounds[r + 1], sorted.data() + bounds[r + 1],
                      sorted.data() + bounds[r + 2], merged.data() + bounds[r], less);
            mergedBounds.push_back(bounds[r + 2]);
        }
        if (mergedBounds.back() != sorted.size()) {
            // An odd run at the end is carried over as it is.
            std::copy(sorted.begin() + static_cast<std::ptrdiff_t>(bounds[r]), sorted.end(),
                      merged.begin() + static_cast<std::ptrdiff_t>(bounds[r]));
            mergedBounds.push_back(sorted.size());
        }
        sorted.swap(merged);
        bounds = std::move(mergedBounds);
    }
    return true;
}
} // namespace

void TTransactionList::SetSortOrder(int order, bool force) {
    order &= 0x7F;
    if (order == CurrentSortOrder && !force)
        return;
    CurrentSortOrder = order;
    if (order >= SortOrderCount)
        return;
    int last = Count() - 1;
    if (last >= 0 && Entries[static_cast<size_t>(last)]->HasAnyFlag({TransactionFlag::Blank}))
        --last;
    if (last < 1)
        return;
    // The side whose account codes the order compares: bank (orders 0 and 7) or posting (4).
    const bool rankBank = order == soBankAccount || order == soReconciledBankAccount;
    const bool rankPosting = order == soPostingAccount;
    TCodeRanker ranker;
    // Made item by item: the array is written once, not cleared first. Its memory (and that of the
    // positions) is the thread's, kept for the next sort.
    TSortScratch scratch;
    TSortArrays& arrays = scratch.Get();
    std::vector<TSortItem>& items = arrays.Items;
    items.clear();
    items.reserve(static_cast<size_t>(last) + 1);
    // The entries lie apart on the heap: each is asked for a few places ahead of its turn.
    constexpr size_t FetchAhead = 16;
    for (size_t i = 0; i <= static_cast<size_t>(last); ++i) {
        if (i + FetchAhead <= static_cast<size_t>(last))
            __builtin_prefetch(Entries[i + FetchAhead].get());
        const TTransactionDetail& entry = *Entries[i];
        items.push_back({&entry, entry.Date, entry.ID, entry.ParentID, entry.Dissection, entry.Reference,
                         entry.Flags, static_cast<quint32>(i),
                         rankBank      ? ranker.Slot(entry.BankCode)
                         : rankPosting ? ranker.Slot(entry.PostingCode)
                                       : 0});
    }
    if (rankBank || rankPosting) {
        const std::vector<int> ranks = ranker.Ranks(Books.Format);
        for (TSortItem& item : items)
            item.Rank = ranks[static_cast<size_t>(item.Rank)];
    }
    // The entries in their new order: after a merge the positions give it, after a quick sort the
    // items themselves. They are taken out in that order, then put back one after another (each
    // read independent of the last, rather than following the permutation's cycles).
    std::vector<TTransactionDetail*>& placed = arrays.Placed;
    placed.resize(items.size());
    std::vector<quint32>& positions = arrays.Positions;
    if (MergeSortedRuns(items, order, positions, arrays.Merged)) {
        for (size_t i = 0; i < placed.size(); ++i)
            placed[i] = Entries[positions[i]].release();
    } else {
        QuickSort(items, order, 0, last);
        for (size_t i = 0; i < placed.size(); ++i)
            placed[i] = Entries[items[i].Index].release();
    }
    for (size_t i = 0; i < placed.size(); ++i)
        Entries[i].reset(placed[i]);
}

QString TTransactionList::GetPeriodTitle(bool shortNames) const {
    const TPageKindEntry& page = PageKindEntry(Kind);
    QString title = QLatin1Char(' ') + (shortNames ? page.ShortName : page.Name).toString();
    if (Kind >= pkPayments && Kind <= pkBankStatementWithdrawals && PeriodStartMonthNo != 0) {
        const auto& months = TServices::Regional().LongMonthNames;
        title += QStringLiteral(": %1 %2")
                     .arg(months[static_cast<size_t>(PeriodStartMonthNo - 1)])
                     .arg(PeriodStartYear, 4, 10, QLatin1Char('0'));
        if (PeriodEndMonthNo != PeriodStartMonthNo || PeriodEndYear != PeriodStartYear)
            title += QStringLiteral(" - %1 %2")
                         .arg(months[static_cast<size_t>(PeriodEndMonthNo - 1)])
                         .arg(PeriodEndYear, 4, 10, QLatin1Char('0'));
    }
    return title + QLatin1Char(' ');
}

TAccountCode TTransactionList::SuspenseCode() const {
    return SuspenseAccountCode(Books);
}
