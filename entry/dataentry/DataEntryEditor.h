#pragma once

#include "core/entity/ChildWindowServices.h"
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionGrid.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QMimeData;
class TDataEntryPage;
class TTransactionList;

// The keying rules of one data-entry page, without a window: which cells may be typed in, the
// check a field passes when it is left, what finishing a row makes of it (its ID, its tax lines,
// its dissection's total, a new blank line behind a filled last line), and the page's commands
// with their enable rules. The page keeps the position (current row and column, selection); the
// editor keeps the row being keyed as it was when the row was entered, so that a row can be
// finished or its changes dropped.
//
// Indexes are 0-based entry indexes of the page's list (the page's rows are 1-based).
//
// Amounts of entries with tax lines: the list holds the entry's amount without its tax, the tax
// lying in the tax lines. A user keys the amount with the tax in it, so a cell opened for typing
// shows (and a typed amount means) the entry's amount plus its tax lines; finishing the row splits
// the tax out again. Re-keying an amount therefore never counts its tax twice.
class TDataEntryEditor {
public:
    // What leaving a field gave: the text as it now stands (its normal form when valid, the typed
    // text when not) and, when it is not valid, the check's message (empty when the check gave
    // none, as when the user declined to add an unknown account).
    struct TFieldResult {
        bool Valid = true;
        QString Text;
        QString Message;
        // Where the entry stands afterwards, and whether rows moved on the way (the field was of
        // another row, whose taking finished the row keyed before).
        int Index = -1;
        bool RowsChanged = false;
    };

    // Pages of more entries than this sort behind the progress window.
    static constexpr int SortProgressThreshold = 200;
    // The progress message "Sorting Transactions".
    static constexpr int SortProgressMessage = 19;

    static inline const QString DeleteQuestion =
        QStringLiteral("Are you sure you want to delete the selected transaction(s) ?");
    // With the page's title (its period title, blanks around it).
    static inline const QString KeepChangesQuestion =
        QStringLiteral("The current transaction of%1has been changed.\nDo you want to keep the changes ?");
    static inline const QString NothingToPasteText = QStringLiteral("There are no transactions to paste.");

    explicit TDataEntryEditor(TDataEntryPage& page);
    TDataEntryEditor(const TDataEntryEditor&) = delete;
    TDataEntryEditor& operator=(const TDataEntryEditor&) = delete;

    TDataEntryPage& Page() const { return EntryPage; }
    TTransactionList& List() const;
    const TTransactionGrid& Grid() const { return CellGrid; }
    int Count() const;

    // --- position -------------------------------------------------------------------------------
    // The entry of the page's current row; -1 when the page holds none.
    int CurrentIndex() const;
    int CurrentColumn() const;
    // Makes the entry at index (column) current, finishing the row keyed before. A line inserted
    // blank and left unkeyed goes again. Finishing may move rows (tax lines, totals): returns the
    // index at which the wanted entry then stands.
    int MoveTo(int index, int column);
    // Where an entry now stands (hint: where it stood); -1 when it is no longer in the list.
    int IndexOfEntry(const TTransactionDetail* entry, int hint = -1) const;
    // The selected rows, first and last entry index (in either order); the current column spans
    // the selection.
    void SetSelection(int firstIndex, int lastIndex);
    // The entry indexes of the selection, ascending, inside the list.
    std::vector<int> SelectedIndexes() const;

    // --- keying ---------------------------------------------------------------------------------
    // Whether the cell may be typed in: generated lines (tax lines, dissection totals, contra
    // lines, reconciled-dissection adjustments) and columns the page does not show may not.
    bool IsEditable(int index, int column) const;
    // The text a cell opened for typing starts with.
    QString EditText(int index, int column) const;
    // The field of a cell is left with the typed text. Text equal to what the cell opens with
    // changes nothing. Otherwise the column's check runs; when it refuses, the entry stays as it
    // was and the result carries the message and the typed text. When it accepts, the normal
    // form is stored in the entry (a blank line first takes its date and bank account from the
    // entry above it and stops being blank). Leaving a field of a row other than the current one
    // makes that row current first (see MoveTo).
    TFieldResult LeaveField(int index, int column, const QString& typed);
    // The days a calendar opened on a date cell starts from, as date numbers: the typed text read
    // as the date check reads it (0 when the check refuses it or it names no day, as the day masks
    // of memorised payments do), and the last day of the page's period as the fallback (-1 when
    // the page has none).
    struct TCalendarDays {
        double Date = 0;
        double Fallback = -1;
    };
    TCalendarDays CalendarDays(const QString& typed) const;
    // The text a day picked in a calendar is typed into a date cell as.
    static QString PickedDayText(double dateNum);
    // Whether the current row holds changes that were not finished.
    bool RowPending() const;
    // Whether the current row was a blank line when it was entered: a new line being keyed.
    bool RowIsNew() const;
    // Finishes the current row: the entry's ID fits its month; an entry without posting account
    // posts to the suspense account (except on bank-statement pages); when its amount, tax codes,
    // date, reference, bank account or details changed its tax lines are made again from the
    // amount as keyed; the totals of the dissections it left or joined are rebuilt; and when it
    // was the blank last line a new blank line is appended with the next ID.
    void FinishRow();
    // Puts the current row back as it was when it was entered.
    void DiscardRow();

    // --- commands -------------------------------------------------------------------------------
    // The enable rules of the page's commands: copy and insert whenever the page has a row; paste
    // when the clipboard holds transactions and the page is not the deleted-transactions page;
    // delete when it is not that page; create a dissection when the current row is a keyed entry
    // on a page that keeps dissections; remove a dissection when the current row belongs to one
    // made of more than one entry's lines (or marked as made by the user); generate contras on the
    // cash-book and journal pages of a period.
    bool CommandEnabled(TDataEntryCommand command, bool clipboardHasTransactions) const;
    // The selected entries as clipboard data, as they were keyed (generated lines left out; an
    // entry with tax lines with the tax in its amount).
    std::unique_ptr<QMimeData> CopyTransactions() const;
    // Pastes the records of the data above the current row in one batch; the number of entries
    // made, or -1 after the error box when the data holds no usable records.
    int PasteTransactions(const QMimeData& data);
    // Inserts a blank line above the current row (above the dissection the row belongs to);
    // returns its index.
    int InsertTransaction();
    // After the question, deletes the selected entries (a selected tax line stands for its entry)
    // with their tax lines, and rebuilds the totals of their dissections. The number deleted; 0
    // when the user said No or nothing could be deleted.
    int DeleteTransactions();
    // The selected entries (with their tax lines) form one new dissection numbered in the month of
    // the first: they move together behind the first and get its total. Returns the dissection
    // number, -1 when there is nothing to dissect.
    qint32 CreateDissection();
    // The members of the current row's dissection leave it: entries with tax lines go back to a
    // dissection of their own, the others to none; the total and any adjustment line go. The
    // number of entries that left.
    int RemoveDissection();
    // Replaces the page's contra lines.
    void GenerateContras();
    // Sorts the page (progress window beyond SortProgressThreshold entries); the current entry
    // stays current.
    void SetSortOrder(int order);

    // The sort order a click on a column's title asks for: date, reference, posting account,
    // amount, details, capital acquisition, non-cash and bank account each sort by their own
    // order; -1 for the columns that sort nothing (quantity, tax codes, rate).
    static int SortOrderOfColumn(int column);

    // Keeps a 1-based current row inside 1..rowCount and its top row such that the current row is
    // one of the visibleRows rows shown from it.
    static void AdjustTopRow(int& currentRow, int& topRow, int visibleRows, int rowCount);

private:
    TTransactionDetail* Item(int index) const;
    int IndexOfCurrent() const;
    // Makes the entry at index current (nothing finished) and remembers it as it is.
    void BeginRow(int index);
    // The entry a selected row stands for: a tax line its parent; nullptr for other generated
    // lines and blank lines.
    TTransactionDetail* KeyedEntryOfRow(int index) const;
    // The sum of the entry's tax lines wherever they lie.
    double TaxLinesSum(int index) const;
    // A blank line takes the date and bank account of the keyed entry above it (the period's
    // first day and the default bank account when there is none).
    void FillDefaults(int index);
    void AppendBlankLine();
    void RebuildTotals(qint32 dissection);
    // Where a line goes in above the entry at index: above the whole dissection it belongs to.
    int InsertPosition(int index) const;
    // A new blank line of the page, its ID from the slot of the list's end month.
    std::unique_ptr<TTransactionDetail> NewBlankLine(int& monthSlot) const;
    // The rows of a selection's keyed entries (blank lines inside the list included when asked),
    // each entry once, in list order.
    std::vector<TTransactionDetail*> SelectedEntries(bool withInnerBlankLines) const;
    bool KeepsDissections() const;
    // The current entry's dissection holds lines of more than one keyed entry, or one marked as
    // made by the user.
    bool CurrentInUserDissection() const;

    TDataEntryPage& EntryPage;
    TTransactionGrid CellGrid;
    TTransactionDetail* Current = nullptr;
    mutable int CurrentHint = -1;
    std::optional<TTransactionDetail> Original;
};
