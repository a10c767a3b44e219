#pragma once

#include "core/common/OptionSet.h"
#include "core/transactions/TransactionDetail.h"

#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

class TAccountFormat;

// The transactions of one data-entry page: one page kind of one file and financial year over one
// period (period 0: the whole year, for the kinds without periods). Beside the owned entries it
// keeps, per month slot 1 to 12, the counters that issue transaction IDs and dissection numbers,
// and the sort order.
//
// Rows and indexes: every operation here takes a 0-based entry index, except RowOfID and
// PreviousEntryRow, which speak of 1-based grid rows (row 0 is the grid's title row, row n shows
// entry n - 1).
//
// Month slots: an entry's slot is that of its date (TransactionMonthSlot); opening balances,
// opening unpresented cheques and outstanding deposits, memorised payments and standard bank
// transactions always use slot 1, as does every list without a period. An entry without a date
// (a blank line) uses the slot of the list's end month, the slot its ID was taken from.
class TTransactionList {
public:
    // Sort orders 0 to 9; other values are stored but do not sort.
    enum TSortOrder : int {
        soBankAccount = 0,
        soTransactionID = 1,
        soDateReference = 2,
        soReferenceDate = 3,
        soPostingAccount = 4,
        soAmount = 5,
        soDetails = 6,
        soReconciledBankAccount = 7,
        soCapitalAcquisition = 8,
        soNonCash = 9,
    };
    static constexpr int SortOrderCount = 10;
    static constexpr int MonthSlots = 12;
    // Entry kind of an undo list: no page, no counters, no file.
    static constexpr int UndoListKind = -1;

    // The list of a page kind (or UndoListKind), financial year, period (0 for none) and periods
    // per year of a file whose year ends in endMonth. The account format (not owned; may be null)
    // gives the code texts the account sorts compare. Both counters of every month slot start at
    // the slot's key base. Unless the options ask for a load (QuietLoad, Load, DosVersion,
    // QuietLoadKeepTaxLines) or forbid the blank line (NoBlankLine), a blank line is appended with
    // the next ID of the end month's slot (carrying Deleted on a deleted-transactions page); the
    // list is then still saved.
    TTransactionList(int pageKind, int year, int period, int periodsPerYear, int endMonth,
                     const TOptionSet& options, const TAccountFormat* accountFormat = nullptr);
    TTransactionList(const TTransactionList&) = delete;
    TTransactionList& operator=(const TTransactionList&) = delete;

    int PageKind() const { return Kind; }
    int Year() const { return FinancialYear; }
    int Period() const { return PeriodNo; }
    int PeriodsPerYear() const { return PeriodCount; }
    int YearEndMonth() const { return EndMonthOfYear; }
    const TOptionSet& Options() const { return ListOptions; }
    // Calendar months and years of the period's first and last months, and its first and last
    // days; all 0 for a list without a period.
    int StartMonth() const { return PeriodStartMonthNo; }
    int StartYear() const { return PeriodStartYear; }
    int EndMonth() const { return PeriodEndMonthNo; }
    int EndYear() const { return PeriodEndYear; }
    double StartDate() const { return PeriodStartDay; }
    double EndDate() const { return PeriodEndDay; }

    // True while the list holds no unsaved change.
    bool Saved() const { return IsSaved; }
    void SetSaved(bool saved) { IsSaved = saved; }
    // The result of the last load: 0, or -1 when it failed.
    int LoadStatus() const { return LastLoadStatus; }
    void SetLoadStatus(int status) { LastLoadStatus = status; }

    int Count() const { return static_cast<int>(Entries.size()); }
    // The entry at an index; null outside the list.
    TTransactionDetail* GetItem(int index) const;

    // Appends an entry and returns its index. With a month slot of 1 to 12 the slot's next-ID
    // counter is raised, unless the entry is a dissection total or a tax line; any other slot
    // (0 included) counts nothing. Marks the list unsaved.
    int AddTransaction(std::unique_ptr<TTransactionDetail> entry, int monthSlot);
    // As AddTransaction, inserting at the index (appending when it lies past the end).
    int InsertTransaction(int index, std::unique_ptr<TTransactionDetail> entry, int monthSlot);
    // Takes the entry at the index out of the list and hands it back (null outside the list);
    // marks the list unsaved.
    std::unique_ptr<TTransactionDetail> DeleteTransaction(int index);
    // Frees every entry and empties the undo IDs; the saved flag and the counters stay.
    void Clear();

    // Undo bookkeeping: when the ID is not yet recorded, records it and appends the copy without
    // counting it. Returns the ID's place among the recorded IDs.
    int AddUndoCopy(qint32 id, std::unique_ptr<TTransactionDetail> copy);
    int IndexOfUndoID(qint32 id) const;
    // The recorded ID at a place; -1 outside.
    qint32 GetUndoID(int index) const;

    // The counters of a month slot (1 to 12; raises EQuilvaneError outside, and for an undo list).
    // The next-ID counter holds the next unused ID, the next-dissection counter the next unused
    // dissection number.
    qint32 GetNextID(int monthSlot) const;
    void SetNextID(int monthSlot, qint32 value);
    qint32 GetNextDissectionNo(int monthSlot) const;
    void SetNextDissectionNo(int monthSlot, qint32 value);
    // Hands out the counter's value and raises it, so the counter always holds an unused key.
    qint32 TakeNextID(int monthSlot);
    qint32 TakeNextDissectionNo(int monthSlot);

    // The month slot of an entry (see the class comment).
    int EntryMonthSlot(const TTransactionDetail& entry) const;

    // Index of the first entry whose ID (byParent: whose parent ID) equals id; -1 when none.
    int IndexOfID(qint32 id, bool byParent) const;

    // The grid row to select for an ID: a tax line's ID (reserved sequence) gives its parent's
    // row, an ordinary ID its own; a dissection total's ID, or an ID (or parent) not found, gives
    // Count.
    int RowOfID(qint32 id, qint32 parentID) const;
    // The nearest grid row above the row whose entry is neither a dissection total nor a tax line;
    // 0 for row 0; -1 when there is none.
    int PreviousEntryRow(int row) const;
    // Removes the highlight mark of every entry.
    void ClearHighlightMarks();

    // Gives the entry at the index a fresh ID when its ID lies outside its month's range, or when
    // it is a blank line whose ID lies below the month's next ID less one; the tax lines of a
    // re-keyed entry that is not blank follow it (searched from the entry on under sort order 0,
    // else from the first entry).
    void UpdateTransactionID(int index);
    // Every entry whose ID lies outside its month's range or whose sequence is that of a generated
    // line takes the month's next ID, its tax lines (searched from the entry on) following it.
    // Tax lines and dissection totals keep their reserved IDs. Marks the list unsaved.
    void ValidateTransactionIDs();
    // Every entry with a dissection number becomes a dissection member; a number outside its
    // month's range keeps its sequence on the month's key base; each month's next-dissection
    // counter ends beyond every number of the month. Marks the list unsaved on any change.
    void ValidateDissectionNumbers();
    // Numbers the dissections afresh in list order: each run of adjacent entries of one month
    // that share a dissection number gets the month's next number, the first being key base + 1.
    void RenumberDissections();

    // For a dissection member, the sum of the amounts of its dissection's members from the index
    // on (dissection totals left out), with lastIndex the last member met; under sort order 0 the
    // scan stops at the first entry after a member that is not one. Otherwise the entry's own
    // amount. 0 for an index outside the list.
    double GetDissectionAmount(int index, int& lastIndex) const;

    int SortOrder() const { return CurrentSortOrder; }
    // Stores the order (its low seven bits) and sorts when it changed or force is set; only
    // orders 0 to 9 sort. A trailing blank line stays last.
    void SetSortOrder(int order, bool force);

private:
    // Whether the list keeps counters for the slot (1 to 12; an undo list keeps none).
    bool HasSlot(int monthSlot) const;
    int CheckedSlot(int monthSlot) const;
    void RepointTaxLines(int fromIndex, qint32 oldID, qint32 newID);
    qint32 SlotKeyBase(int monthSlot) const;
    int Compare(int order, const TTransactionDetail& a, const TTransactionDetail& b) const;
    int CompareAccounts(const TTransactionDetail& a, const TTransactionDetail& b, bool posting) const;
    void QuickSort(int order, int left, int right);

    int Kind;
    int FinancialYear;
    int PeriodNo;
    int PeriodCount;
    int EndMonthOfYear;
    TOptionSet ListOptions;
    const TAccountFormat* AccountFormat;
    int PeriodStartMonthNo = 0;
    int PeriodStartYear = 0;
    int PeriodEndMonthNo = 0;
    int PeriodEndYear = 0;
    double PeriodStartDay = 0.0;
    double PeriodEndDay = 0.0;
    bool IsSaved = true;
    int CurrentSortOrder = 0;
    int LastLoadStatus = 0;
    std::vector<std::unique_ptr<TTransactionDetail>> Entries;
    std::vector<qint32> UndoIDs;
    std::array<qint32, MonthSlots> NextIDs{};
    std::array<qint32, MonthSlots> NextDissectionNos{};
};
