#pragma once

#include "core/common/OptionSet.h"
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionListSources.h"
#include "core/vocab/Colours.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TTaxRate;
class TTransactionGrid;

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
    // The grid side (cells, field checks, paste) works on the list's fields directly.
    friend class TTransactionGrid;

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
    // per year of the file the sources describe. Both counters of every month slot start at the
    // slot's key base. When the options ask for a load (QuietLoad, Load, DosVersion,
    // QuietLoadKeepTaxLines) the month files are read and the result kept as the load status.
    // When that status is 0 and the options hold none of QuietLoad, DosVersion,
    // QuietLoadKeepTaxLines and NoBlankLine, a blank line is appended with the next ID of the end
    // month's slot (carrying Deleted on a deleted-transactions page); the saved flag stays as it
    // was.
    TTransactionList(const TTransactionListSources& sources, int pageKind, int year, int period,
                     int periodsPerYear, const TOptionSet& options, bool showProgress = false);
    // Never raises and never saves a list whose load failed: owners that want the list written
    // call SaveIfNeeded first, and the destructor does so only as a last resort.
    ~TTransactionList();
    TTransactionList(const TTransactionList&) = delete;
    TTransactionList& operator=(const TTransactionList&) = delete;

    const TTransactionListSources& Sources() const { return Books; }
    int PageKind() const { return Kind; }
    int Year() const { return FinancialYear; }
    int Period() const { return PeriodNo; }
    int PeriodsPerYear() const { return PeriodCount; }
    int YearEndMonth() const { return Books.Entity.EndMonth; }
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

    // --- Column switches and the highlight switch (set on creation) -----------------------------
    // The currency-rate column: the file converts currencies and the kind is not 8 to 11. The tax
    // column: the file keeps tax and the kind is not 0, 6 or 8 to 11. The quantity column: the
    // file keeps quantities and the kind is not 8 to 11.
    bool RateColumn() const { return ShowRateColumn; }
    bool TaxColumn() const { return ShowTaxColumn; }
    bool QuantityColumn() const { return ShowQuantityColumn; }
    // Bit 0 on: entries carrying the highlight flag are shown in the highlight colour.
    quint8 HighlightSwitch() const { return Highlight; }
    void SetHighlightSwitch(quint8 value) { Highlight = value; }

    // " " and the page's name (short or long form); for page kinds 1 to 9 then ": " with the long
    // name and year of the start month and, when the end month differs, " - " with those of the
    // end month; then a closing " " (for every kind, so that captions built from it match).
    QString GetPeriodTitle(bool shortNames) const;

    // --- Month files ----------------------------------------------------------------------------
    // The file of one calendar month (0 for a list without a period) under the options' naming.
    QString GetFileName(int month, const TOptionSet& options) const;
    // Writes every month file of the list, after the accounts chart of the sources when that holds
    // changes (every write of a page comes through here); 0, or -1 when the user gave up after a
    // write error or cancelled the replace question. The replace question may change the options.
    int SaveToFile(TOptionSet& options, bool showProgress, bool markSaved);
    // Reads every month file of the list; 0, or -1 after any failure (the load status then stays
    // -1 and the list is never written automatically). A retry reads again from what the list
    // held before; an append or merge load (AppendLoad, MergeLoad) leaves an earlier failure standing.
    int LoadFromFile(const TOptionSet& options, bool showProgress);
    // What freeing the list did: when it is unsaved, loaded without failure and of a page kind
    // that is written, regenerates contras, refreshes tax lines, renumbers dissections and saves.
    // Returns the save's result (0 when nothing was to be saved).
    int SaveIfNeeded();

    // Deletes the entries dated fromDate to toDate (with a bank account index of 0 or more, only
    // those of that bank account) and returns how many; marks the list unsaved when any went.
    int DeleteEntriesInDateRange(int bankAccountIndex, double fromDate, double toDate);
    // The rate of the account's bank currency in the currency chart; 1.0 when there is none.
    double GetAccountCurrencyRate(const TAccountCode& code) const;
    // The month macros for the date, then the title macros for the list's year and period.
    QString ExpandDetailsMacros(const QString& text, double date) const;
    // Replace the posting (bank) account by the account its own names as mapping target (Code2),
    // or the default suspense account when that is not in the chart. Return the index of the
    // account used; -1, nothing changed, when the entry's account is not in the chart.
    int MapAccountCode(TTransactionDetail& entry) const;
    int MapBankAccountCode(TTransactionDetail& entry) const;

    // --- Generated lines: tax lines, dissection totals, contras -----------------------------------
    // Tax lines follow their entry (parent ID = the entry's ID, ID = the month's key base + 99998)
    // and split the tax out of its amount; an entry outside a dissection forms one with them.
    // Returns the number of tax lines made; with removeExisting the entry's old ones go first
    // (their amounts added back when addBackToAmount).
    int GenerateTaxEntries(int index, bool addBackToAmount, bool removeExisting);
    // Deletes every tax line of the entry: under sort order 0 without scanAll those from the entry
    // on (the first met and the run that follows it), else those anywhere in the list. Counts the
    // rows gone after and before the entry. An entry that was in a dissection before its tax
    // lines stays in it; any other leaves it, and unless keepDissection the former dissection's
    // total is rebuilt.
    void RemoveTaxEntries(int index, bool addToAmount, bool keepDissection, bool scanAll, int& removedAfter,
                          int& removedBefore);
    // As RemoveTaxEntries with the amounts always added back and no total rebuilt; counts the rows
    // removed inside the selection (entry indexes top to bottom) and before it.
    void MergeTaxEntries(int index, int selectionTop, int selectionBottom, int& removedInSelection,
                         int& removedBefore);
    // The sum of the entry's tax lines; 0 when it has no tax codes.
    double GetTaxAmount(int index) const;
    // Rewrites the details of the entry's tax lines from their codes and the entry's details.
    void UpdateTaxEntryDetails(int index);
    // For every entry with tax codes: the codes the tax-rate chart does not hold are dropped; when
    // that changed them, or with force, every tax line of the entry is removed (amounts added
    // back) and, with regenerate, made again. With fullScan tax lines whose entry is gone are
    // deleted; with rebuildDissectionTotals every dissection total is rebuilt afterwards.
    void RefreshTaxEntries(bool force, bool regenerate, bool rebuildDissectionTotals, bool fullScan);
    // Rebuilds the total line of one dissection (-1: of all), with the adjustment line that keeps
    // a reconciled dissection at its recorded total. Returns the change in the number of entries,
    // split into the change before the entry at position and from it on. The saved flag stays.
    int UpdateDissectionTotals(qint32 dissection, int position, int& rowsBefore, int& rowsAfter);
    // Replaces the contra lines: per bank account one per day, week (to Sunday) or month, as the
    // file's contra setting says, balancing the account's entries; then sorts by order 0. Lists
    // without a period and page kinds 10 to 14 get none.
    void GenerateContras(bool showProgress);

    // --- Account fitting and repair ----------------------------------------------------------------
    // Makes the accounts of a pasted entry fit this file's chart and page: a bank account the
    // chart lacks, or one outside the balance-sheet and suspense ranges, is replaced by the
    // default bank account (the suspense account when there is none), a posting account the
    // chart lacks or that takes no postings by the suspense account; the replaced code goes in
    // front of the details. Pages of bank statements and opening bank items keep no posting
    // account.
    void FitPastedAccounts(TTransactionDetail& entry);
    // Gives every entry of a loaded list accounts the chart holds: a missing code that is valid
    // for the account format and has an account number is added to the chart as a new account,
    // anything else goes to the suspense account. Pages of bank statements and opening bank
    // items repair their bank accounts only and keep no posting account.
    void RepairAccounts();

private:
    // Whether the list keeps counters for the slot (1 to 12; an undo list keeps none).
    bool HasSlot(int monthSlot) const;
    int CheckedSlot(int monthSlot) const;
    void RepointTaxLines(int fromIndex, qint32 oldID, qint32 newID);
    qint32 SlotKeyBase(int monthSlot) const;

    // --- private helpers of the month files ---
    struct TAppendRun;
    // The calendar months whose files the list covers, in order (0 alone for a list without a
    // period, the start month alone for the one-file kinds).
    std::vector<int> FileMonths() const;
    void ReserveEntries(qint64 more);
    // Reads one month's file; dataFolder is the native data folder of the options.
    void ReadMonthFile(int month, const TOptionSet& options, const QString& dataFolder,
                       std::vector<char>& buffer);
    void ReadCurrentForm(QIODevice& file, qint64 size, int monthSlot, bool append, std::vector<char>& buffer);
    void ReadOlderForms(QIODevice& file, const QString& native, qint64 size, int monthSlot, bool append,
                        std::vector<char>& buffer);
    void AddAppended(std::unique_ptr<TTransactionDetail> entry, int monthSlot, TAppendRun& run);
    void ProcessAfterLoad(const TOptionSet& options);
    void WriteMonthFile(const QString& native, const std::vector<const TTransactionDetail*>& entries,
                        const TOptionSet& options) const;
    // --- private helpers of the grid ---
    // The chart index of an account code; -1 when it is not there (or there is no chart).
    int AccountIndexOf(const TAccountCode& code) const;
    // Whether the code names a chart account with bank details.
    bool IsBankAccountCode(const TAccountCode& code) const;
    // The chart's default bank account, else its default suspense account; -1 without either.
    int DefaultBankOrSuspenseAccount() const;
    // The code of a chart account; the empty code for -1.
    TAccountCode CodeOfAccount(int index) const;
    // The text of a code in the file's account format (empty without one).
    QString FormatCodeText(const TAccountCode& code) const;
    // --- private helpers of the generated lines ---
    // Rows of the entry's tax lines (see RemoveTaxEntries), ascending.
    std::vector<int> TaxLineRows(int index, bool scanAll) const;
    // Deletes the rows (ascending), adding their amounts to the entry at index when addToAmount;
    // index follows the entry.
    void DeleteTaxLines(int& index, const std::vector<int>& rows, bool addToAmount);
    // What every tax line of one tax code shares: the code, its posting account (the default
    // suspense account when the chart lacks the code's account) and the start of its details.
    struct TTaxLinePlan {
        TTaxRate* Rate = nullptr; // marked used by every tax line made with it
        TAccountCode Posting;
        QByteArray DetailsStart;
    };
    // Whether the list's entries get tax lines at all (a tax column, a page kind that takes them).
    bool MakesTaxLines() const;
    // The plans of the chart's tax codes, in chart order.
    std::vector<TTaxLinePlan> TaxLinePlans() const;
    // Builds the entry's tax lines and takes their tax out of its amount (see GenerateTaxEntries).
    std::vector<std::unique_ptr<TTransactionDetail>> MakeTaxLines(TTransactionDetail& entry,
                                                                  const std::vector<TTaxLinePlan>& plans);
    // The code of the chart's default suspense account (the empty code without one).
    TAccountCode SuspenseCode() const;
    // --- private helpers of pasting ---

    TTransactionListSources Books;
    int Kind;
    int FinancialYear;
    int PeriodNo;
    int PeriodCount;
    TOptionSet ListOptions;
    bool ShowRateColumn = false;
    bool ShowTaxColumn = false;
    bool ShowQuantityColumn = false;
    quint8 Highlight = 0;
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
