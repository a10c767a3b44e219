#include "entry/dataentry/DataEntryEditor.h"

#include "core/common/Money.h"
#include "core/dates/DateNumbers.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionClipboard.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionListGridText.h"
#include "core/vocab/PageKinds.h"

#include <QMimeData>

#include <algorithm>
#include <map>
#include <set>

namespace TF = TransactionFlag;
using G = TTransactionGrid;

namespace {

// Lines the list makes and keeps itself; nobody types in them.
bool IsGenerated(const TTransactionDetail& line) {
    return line.ParentID != -1 ||
           line.HasAnyFlag({TF::TaxLine, TF::DissectionTotal, TF::Contra, TF::ReconciledAdjustment});
}

bool SameEntry(const TTransactionDetail& a, const TTransactionDetail& b) {
    return a.ID == b.ID && a.PageKind == b.PageKind && a.Dissection == b.Dissection &&
           a.ParentID == b.ParentID && a.Flags == b.Flags && a.Date == b.Date && a.Reference == b.Reference &&
           a.BankCode == b.BankCode && a.PostingCode == b.PostingCode && a.Amount == b.Amount &&
           a.Rate == b.Rate && a.Quantity == b.Quantity && a.TaxCodes == b.TaxCodes &&
           a.DetailsField() == b.DetailsField();
}

// What the tax lines of an entry copy from it or are made from.
bool TaxBasisChanged(const TTransactionDetail& now, const TTransactionDetail& before) {
    return now.Amount != before.Amount || now.TaxCodes != before.TaxCodes || now.Date != before.Date ||
           now.Reference != before.Reference || !(now.BankCode == before.BankCode) ||
           now.DetailsField() != before.DetailsField();
}

} // namespace

TDataEntryEditor::TDataEntryEditor(TDataEntryPage& page) : EntryPage(page), CellGrid(page.List()) {
    const int index = std::clamp(page.CurrentRow - 1, 0, std::max(0, Count() - 1));
    const quint8 column = page.CurrentColumn;
    BeginRow(Item(index) ? index : -1);
    EntryPage.CurrentColumn = column;
}

TTransactionList& TDataEntryEditor::List() const {
    return EntryPage.List();
}

int TDataEntryEditor::Count() const {
    return List().Count();
}

TTransactionDetail* TDataEntryEditor::Item(int index) const {
    return List().GetItem(index);
}

int TDataEntryEditor::IndexOfEntry(const TTransactionDetail* entry, int hint) const {
    if (!entry)
        return -1;
    if (Item(hint) == entry)
        return hint;
    for (int i = 0; i < Count(); ++i)
        if (Item(i) == entry)
            return i;
    return -1;
}

int TDataEntryEditor::IndexOfCurrent() const {
    CurrentHint = IndexOfEntry(Current, CurrentHint);
    return CurrentHint;
}

// --- position --------------------------------------------------------------------------------------

int TDataEntryEditor::CurrentIndex() const {
    const int index = EntryPage.CurrentRow - 1;
    return Item(index) ? index : -1;
}

int TDataEntryEditor::CurrentColumn() const {
    return EntryPage.CurrentColumn;
}

void TDataEntryEditor::BeginRow(int index) {
    Current = Item(index);
    CurrentHint = Current ? index : -1;
    if (Current)
        Original = *Current;
    else
        Original.reset();
    EntryPage.CurrentRow = Current ? index + 1 : Count();
    const qint32 column = EntryPage.CurrentColumn;
    EntryPage.Selection = {column, EntryPage.CurrentRow, column, EntryPage.CurrentRow};
    EntryPage.LoadEditBuffer(EntryPage.CurrentRow);
}

int TDataEntryEditor::MoveTo(int index, int column) {
    EntryPage.CurrentColumn = static_cast<quint8>(std::clamp(column, 0, G::ColumnCount - 1));
    TTransactionDetail* wanted = Item(index);
    if (!wanted || wanted != Current || IndexOfCurrent() != index) {
        FinishRow();
        // A line inserted blank and left without a keystroke is not kept.
        if (const int left = IndexOfCurrent(); Current && Current != wanted && left >= 0 &&
                                               left < Count() - 1 && Current->HasAnyFlag({TF::Blank})) {
            List().DeleteTransaction(left);
            Current = nullptr;
        }
        index = IndexOfEntry(wanted, index);
        if (index < 0)
            index = Count() > 0 ? std::clamp(EntryPage.CurrentRow - 1, 0, Count() - 1) : -1;
        BeginRow(index);
    }
    const qint32 left = EntryPage.CurrentColumn;
    EntryPage.Selection = {left, EntryPage.CurrentRow, left, EntryPage.CurrentRow};
    return index;
}

void TDataEntryEditor::SetSelection(int firstIndex, int lastIndex) {
    const int top = std::min(firstIndex, lastIndex);
    const int bottom = std::max(firstIndex, lastIndex);
    const qint32 column = EntryPage.CurrentColumn;
    EntryPage.Selection = {column, top + 1, column, bottom + 1};
}

std::vector<int> TDataEntryEditor::SelectedIndexes() const {
    std::vector<int> indexes;
    const int top = std::max(EntryPage.Selection.Top, 1) - 1;
    const int bottom = std::min(EntryPage.Selection.Bottom, Count()) - 1;
    for (int index = top; index <= bottom; ++index)
        indexes.push_back(index);
    if (indexes.empty() && CurrentIndex() >= 0)
        indexes.push_back(CurrentIndex());
    return indexes;
}

// --- keying ----------------------------------------------------------------------------------------

bool TDataEntryEditor::IsEditable(int index, int column) const {
    const TTransactionDetail* entry = Item(index);
    return entry && !IsGenerated(*entry) && column >= 0 && column < G::ColumnCount &&
           CellGrid.ColumnShown(column);
}

double TDataEntryEditor::TaxLinesSum(int index) const {
    const TTransactionDetail* entry = Item(index);
    if (!entry || IsGenerated(*entry))
        return 0.0;
    TMoneyTotal tax;
    const auto add = [&](const TTransactionDetail& line) {
        if (line.ParentID == entry->ID && line.HasAnyFlag({TF::TaxLine}))
            tax.Add(line.Amount);
    };
    if (List().SortOrder() == TTransactionList::soBankAccount) {
        // Under this order an entry's tax lines follow it.
        for (int i = index + 1; i < Count() && Item(i)->ParentID == entry->ID; ++i)
            add(*Item(i));
    } else {
        for (int i = 0; i < Count(); ++i)
            add(*Item(i));
    }
    return tax.Value();
}

QString TDataEntryEditor::EditText(int index, int column) const {
    const TTransactionDetail* entry = Item(index);
    if (!entry)
        return {};
    if (column == G::colAmount && !IsGenerated(*entry) && !entry->HasAnyFlag({TF::Blank}))
        return GridFixedText(RoundToCent(entry->Amount + TaxLinesSum(index)), 2);
    return CellGrid.GetCellText(index, column, false);
}

void TDataEntryEditor::FillDefaults(int index) {
    TTransactionDetail& entry = *Item(index);
    const TTransactionDetail* above = nullptr;
    for (int i = index - 1; i >= 0 && !above; --i)
        if (const TTransactionDetail* line = Item(i); !IsGenerated(*line) && !line->HasAnyFlag({TF::Blank}))
            above = line;
    if (above) {
        entry.Date = above->Date;
        entry.BankCode = above->BankCode;
        return;
    }
    // The date check gives the pages of fixed dates theirs; the others start on the period's first
    // day.
    QString text;
    QString message;
    if (CellGrid.ValidateDate(text, message))
        CellGrid.SetCellText(index, G::colDate, text);
    else
        entry.Date = List().StartDate();
    CellGrid.SetCellText(index, G::colBankAccount, QString());
}

TDataEntryEditor::TCalendarDays TDataEntryEditor::CalendarDays(const QString& typed) const {
    TCalendarDays days;
    QString text = typed;
    QString message;
    if (CellGrid.ValidateDate(text, message))
        if (const double date = StrToDateNum(text, false); IsCalendarDateNum(date))
            days.Date = date;
    if (const double end = List().EndDate(); IsCalendarDateNum(end))
        days.Fallback = end;
    return days;
}

QString TDataEntryEditor::PickedDayText(double dateNum) {
    return DateNumToStr(true, dateNum);
}

TDataEntryEditor::TFieldResult TDataEntryEditor::LeaveField(int index, int column, const QString& typed) {
    TFieldResult result;
    result.Text = typed;
    result.Index = index;
    if (!IsEditable(index, column)) {
        result.Valid = false;
        return result;
    }
    if (typed == EditText(index, column))
        return result;
    if (Item(index) != Current || IndexOfCurrent() != index) {
        const int before = Count();
        TTransactionDetail* wanted = Item(index);
        index = MoveTo(index, column);
        result.RowsChanged = before != Count() || Item(result.Index) != wanted;
        result.Index = index;
        if (Item(index) != wanted || !IsEditable(index, column)) {
            result.Valid = false;
            return result;
        }
    }
    QString text = typed;
    if (!CellGrid.ValidateField(index, column, text, result.Message)) {
        result.Valid = false;
        return result;
    }
    result.Message.clear();
    TTransactionDetail& entry = *Item(index);
    if (entry.HasAnyFlag({TF::Blank})) {
        FillDefaults(index);
        entry.ClearFlags({TF::Blank});
    }
    CellGrid.SetCellText(index, column, text);
    if (column == G::colAmount)
        entry.Amount = RoundToCent(entry.Amount - TaxLinesSum(index));
    List().SetSaved(false);
    EntryPage.CurrentColumn = static_cast<quint8>(column);
    result.Text = text;
    return result;
}

bool TDataEntryEditor::RowPending() const {
    return Current && Original && IndexOfCurrent() >= 0 && !SameEntry(*Current, *Original);
}

bool TDataEntryEditor::RowIsNew() const {
    return Current && Original && IndexOfCurrent() >= 0 && Original->HasAnyFlag({TF::Blank});
}

void TDataEntryEditor::DiscardRow() {
    const int index = IndexOfCurrent();
    if (index < 0 || !Original)
        return;
    *Current = *Original;
    EntryPage.LoadEditBuffer(index + 1);
}

void TDataEntryEditor::RebuildTotals(qint32 dissection) {
    if (dissection == -1)
        return;
    int before = 0;
    int after = 0;
    List().UpdateDissectionTotals(dissection, 0, before, after);
}

std::unique_ptr<TTransactionDetail> TDataEntryEditor::NewBlankLine(int& monthSlot) const {
    const TTransactionList& list = List();
    monthSlot = TransactionMonthSlot(list.PageKind(), list.EndMonth(), list.YearEndMonth());
    auto blank =
        std::make_unique<TTransactionDetail>(list.GetNextID(monthSlot), static_cast<qint16>(list.PageKind()));
    if (list.PageKind() == pkDeletedTransactions)
        blank->Flags |= 1u << TF::Deleted;
    return blank;
}

void TDataEntryEditor::AppendBlankLine() {
    int slot = 0;
    auto blank = NewBlankLine(slot);
    List().AddTransaction(std::move(blank), slot);
}

void TDataEntryEditor::FinishRow() {
    int index = IndexOfCurrent();
    if (index < 0 || !Original) {
        BeginRow(CurrentIndex());
        return;
    }
    TTransactionDetail* entry = Current;
    if (SameEntry(*entry, *Original))
        return;
    TTransactionList& list = List();
    const TTransactionDetail before = *Original;
    const bool filledLastBlank =
        before.HasAnyFlag({TF::Blank}) && !entry->HasAnyFlag({TF::Blank}) && index == list.Count() - 1;
    if (!IsBankStatementKind(list.PageKind()) && entry->PostingCode.IsEmpty())
        CellGrid.SetCellText(index, G::colAccount, QString());
    list.UpdateTransactionID(index);
    if (TaxBasisChanged(*entry, before))
        list.GenerateTaxEntries(index, true, true);
    RebuildTotals(before.Dissection);
    if (entry->Dissection != before.Dissection)
        RebuildTotals(entry->Dissection);
    else if (entry->Dissection != -1)
        RebuildTotals(entry->Dissection);
    if (filledLastBlank)
        AppendBlankLine();
    list.SetSaved(false);
    index = IndexOfEntry(entry, index);
    BeginRow(index);
}

// --- commands --------------------------------------------------------------------------------------

bool TDataEntryEditor::KeepsDissections() const {
    const int kind = List().PageKind();
    return kind != pkOpeningBalances && kind != pkBankStatementDeposits &&
           kind != pkBankStatementWithdrawals && kind != pkDeletedTransactions;
}

TTransactionDetail* TDataEntryEditor::KeyedEntryOfRow(int index) const {
    TTransactionDetail* line = Item(index);
    if (!line)
        return nullptr;
    if (line->HasAnyFlag({TF::TaxLine}) && line->ParentID != -1) {
        TTransactionDetail* parent = Item(List().IndexOfID(line->ParentID, false));
        return parent && !IsGenerated(*parent) ? parent : nullptr;
    }
    return IsGenerated(*line) || line->HasAnyFlag({TF::Blank}) ? nullptr : line;
}

std::vector<TTransactionDetail*> TDataEntryEditor::SelectedEntries(bool withInnerBlankLines) const {
    std::set<const TTransactionDetail*> taken;
    std::vector<std::pair<int, TTransactionDetail*>> found;
    for (const int index : SelectedIndexes()) {
        TTransactionDetail* entry = KeyedEntryOfRow(index);
        if (!entry && withInnerBlankLines && index < Count() - 1 && Item(index)->HasAnyFlag({TF::Blank}))
            entry = Item(index);
        if (entry && taken.insert(entry).second)
            found.emplace_back(IndexOfEntry(entry, index), entry);
    }
    std::sort(found.begin(), found.end());
    std::vector<TTransactionDetail*> entries;
    for (const auto& [index, entry] : found)
        entries.push_back(entry);
    return entries;
}

bool TDataEntryEditor::CurrentInUserDissection() const {
    const TTransactionDetail* line = Item(CurrentIndex());
    if (!line || line->Dissection == -1)
        return false;
    const qint32 dissection = line->Dissection;
    std::set<qint32> owners;
    bool taxLines = false;
    for (int i = 0; i < Count(); ++i) {
        const TTransactionDetail& member = *Item(i);
        if (member.Dissection != dissection ||
            member.HasAnyFlag({TF::DissectionTotal, TF::ReconciledAdjustment}))
            continue;
        if (member.HasAnyFlag({TF::WasInDissection}))
            return true;
        const bool taxLine = member.HasAnyFlag({TF::TaxLine});
        taxLines = taxLines || taxLine;
        owners.insert(taxLine ? member.ParentID : member.ID);
        if (owners.size() > 1)
            return true;
    }
    return !owners.empty() && !taxLines;
}

bool TDataEntryEditor::CommandEnabled(TDataEntryCommand command, bool clipboardHasTransactions) const {
    const int kind = List().PageKind();
    const bool hasRow = CurrentIndex() >= 0;
    switch (command) {
    case decCopyTransactions:
    case decInsertTransaction:
        return hasRow;
    case decPasteTransactions:
        return hasRow && clipboardHasTransactions && kind != pkDeletedTransactions;
    case decDeleteTransactions:
        return hasRow && kind != pkDeletedTransactions;
    case decCreateDissection:
        return hasRow && KeepsDissections() && KeyedEntryOfRow(CurrentIndex()) != nullptr;
    case decRemoveDissection:
        return hasRow && CurrentInUserDissection();
    case decGenerateContras:
        return hasRow && kind >= pkOpeningBalances && kind < pkOpeningUnpresentedCheques &&
               List().Period() != 0;
    }
    return false;
}

std::unique_ptr<QMimeData> TDataEntryEditor::CopyTransactions() const {
    // The clipboard takes the entries as they were keyed and leaves the generated lines out.
    return TransactionClipboard::Build(List(), SelectedIndexes());
}

int TDataEntryEditor::InsertPosition(int index) const {
    if (!Item(index))
        return Count();
    while (index > 0 && Item(index)->Dissection != -1 &&
           Item(index - 1)->Dissection == Item(index)->Dissection)
        --index;
    return index;
}

int TDataEntryEditor::PasteTransactions(const QMimeData& data) {
    if (List().PageKind() == pkDeletedTransactions)
        return 0;
    FinishRow();
    std::vector<QByteArray> records;
    QString error;
    if (!TransactionClipboard::ReadRecords(data, records, error) || records.empty()) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           error.isEmpty() ? NothingToPasteText : error, TMessageButton::OK);
        return -1;
    }
    const int start = InsertPosition(CurrentIndex());
    int at = start;
    TTransactionGrid::TLastDissections lastDissections;
    for (const QByteArray& record : records)
        CellGrid.PasteTransaction(at, lastDissections,
                                  reinterpret_cast<const std::uint8_t*>(record.constData()));
    int pasted = 0;
    std::set<qint32> dissections;
    for (int i = start; i < at; ++i) {
        const TTransactionDetail& line = *Item(i);
        pasted += line.HasAnyFlag({TF::TaxLine}) ? 0 : 1;
        if (line.Dissection != -1)
            dissections.insert(line.Dissection);
    }
    TTransactionDetail* first = Item(start);
    for (const qint32 dissection : dissections)
        RebuildTotals(dissection);
    List().SetSaved(false);
    EntryPage.LoadDetailsList();
    BeginRow(pasted > 0 ? IndexOfEntry(first, start) : CurrentIndex());
    return pasted;
}

int TDataEntryEditor::InsertTransaction() {
    FinishRow();
    const int at = InsertPosition(CurrentIndex());
    int slot = 0;
    auto blank = NewBlankLine(slot);
    const int index = List().InsertTransaction(at, std::move(blank), slot);
    BeginRow(index);
    return index;
}

int TDataEntryEditor::DeleteTransactions() {
    if (List().PageKind() == pkDeletedTransactions)
        return 0;
    FinishRow();
    const std::vector<TTransactionDetail*> entries = SelectedEntries(true);
    if (entries.empty())
        return 0;
    if (MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question, DeleteQuestion,
                           TMessageButton::Yes | TMessageButton::No) != TMessageButton::Yes)
        return 0;
    TTransactionList& list = List();
    const int first = IndexOfEntry(entries.front(), CurrentIndex());
    std::set<qint32> dissections;
    for (TTransactionDetail* entry : entries) {
        int index = IndexOfEntry(entry, first);
        if (entry->Dissection != -1)
            dissections.insert(entry->Dissection);
        int after = 0;
        int before = 0;
        list.RemoveTaxEntries(index, false, true, true, after, before);
        index = IndexOfEntry(entry, index - before);
        list.DeleteTransaction(index);
    }
    Current = nullptr;
    for (const qint32 dissection : dissections)
        RebuildTotals(dissection);
    list.SetSaved(false);
    BeginRow(std::clamp(first, 0, Count() - 1));
    return static_cast<int>(entries.size());
}

qint32 TDataEntryEditor::CreateDissection() {
    if (!KeepsDissections())
        return -1;
    FinishRow();
    std::vector<TTransactionDetail*> entries = SelectedEntries(false);
    if (TTransactionDetail* current = KeyedEntryOfRow(CurrentIndex());
        current && std::find(entries.begin(), entries.end(), current) == entries.end()) {
        entries.push_back(current);
        std::sort(entries.begin(), entries.end(),
                  [this](const auto* a, const auto* b) { return IndexOfEntry(a, 0) < IndexOfEntry(b, 0); });
    }
    if (entries.empty())
        return -1;
    TTransactionList& list = List();
    // Dissections never span months: entries of another month than the first stay out.
    const int slot = list.EntryMonthSlot(*entries.front());
    std::erase_if(entries,
                  [&](const TTransactionDetail* entry) { return list.EntryMonthSlot(*entry) != slot; });
    const qint32 number = list.TakeNextDissectionNo(slot);

    // The group in its new order: each entry followed by its tax lines.
    std::set<qint32> formerNumbers;
    std::vector<TTransactionDetail*> group;
    std::vector<int> rows;
    for (TTransactionDetail* entry : entries) {
        group.push_back(entry);
        rows.push_back(IndexOfEntry(entry, 0));
        bool hasTaxLines = false;
        for (int i = 0; i < Count(); ++i) {
            TTransactionDetail* line = Item(i);
            if (line->ParentID == entry->ID && line->HasAnyFlag({TF::TaxLine})) {
                group.push_back(line);
                rows.push_back(i);
                hasTaxLines = true;
            }
        }
        if (entry->Dissection != -1)
            formerNumbers.insert(entry->Dissection);
        entry->Dissection = number;
        entry->SetFlags({TF::DissectionMember});
        // Its tax lines are remade on every save: marked so, it stays in this dissection.
        if (hasTaxLines)
            entry->SetFlags({TF::WasInDissection});
        else
            entry->ClearFlags({TF::WasInDissection});
    }
    int insertAt = rows.front();
    std::map<const TTransactionDetail*, std::unique_ptr<TTransactionDetail>> taken;
    std::vector<int> descending = rows;
    std::sort(descending.rbegin(), descending.rend());
    for (const int row : descending) {
        if (row < rows.front())
            --insertAt;
        auto line = list.DeleteTransaction(row);
        taken.emplace(line.get(), std::move(line));
    }
    for (TTransactionDetail* line : group) {
        line->Dissection = number;
        list.InsertTransaction(insertAt++, std::move(taken[line]), 0);
    }
    for (const qint32 former : formerNumbers)
        RebuildTotals(former);
    RebuildTotals(number);
    list.SetSaved(false);
    BeginRow(IndexOfEntry(entries.front(), 0));
    return number;
}

int TDataEntryEditor::RemoveDissection() {
    FinishRow();
    const TTransactionDetail* line = Item(CurrentIndex());
    if (!line || line->Dissection == -1)
        return 0;
    TTransactionList& list = List();
    const qint32 dissection = line->Dissection;
    TTransactionDetail* stay = KeyedEntryOfRow(CurrentIndex());
    std::vector<TTransactionDetail*> members;
    for (int i = Count() - 1; i >= 0; --i) {
        TTransactionDetail* member = Item(i);
        if (member->Dissection != dissection)
            continue;
        if (member->HasAnyFlag({TF::DissectionTotal, TF::ReconciledAdjustment}))
            list.DeleteTransaction(i);
        else if (!member->HasAnyFlag({TF::TaxLine}))
            members.insert(members.begin(), member);
    }
    for (TTransactionDetail* member : members) {
        int index = IndexOfEntry(member, 0);
        const bool hasTaxLines = list.IndexOfID(member->ID, true) >= 0;
        member->ClearFlags({TF::WasInDissection});
        if (hasTaxLines) {
            // Remade, its tax lines give it a dissection of its own again.
            list.GenerateTaxEntries(index, true, true);
            RebuildTotals(member->Dissection);
        } else {
            member->ClearFlags({TF::DissectionMember});
            member->Dissection = -1;
        }
    }
    RebuildTotals(dissection);
    list.SetSaved(false);
    BeginRow(stay ? IndexOfEntry(stay, 0) : std::clamp(CurrentIndex(), 0, Count() - 1));
    return static_cast<int>(members.size());
}

void TDataEntryEditor::GenerateContras() {
    FinishRow();
    TTransactionDetail* current = Current;
    List().GenerateContras(true);
    const int index = IndexOfEntry(current, 0);
    BeginRow(index >= 0 ? index : std::clamp(CurrentIndex(), 0, Count() - 1));
}

void TDataEntryEditor::SetSortOrder(int order) {
    FinishRow();
    TTransactionDetail* current = Current;
    {
        std::optional<TCursorScope> hourglass;
        std::unique_ptr<IProgress> progress;
        if (Count() > SortProgressThreshold) {
            hourglass.emplace(TCursorKind::Busy);
            progress = TServices::CreateProgress();
            progress->Setup(List().GetPeriodTitle(false).trimmed(), SortProgressMessage,
                            List().Sources().Entity.FileCode, false, false);
        }
        List().SetSortOrder(order, true);
    }
    const int index = IndexOfEntry(current, 0);
    BeginRow(index >= 0 ? index : std::clamp(CurrentIndex(), 0, Count() - 1));
}

int TDataEntryEditor::SortOrderOfColumn(int column) {
    switch (column) {
    case G::colDate:
        return TTransactionList::soDateReference;
    case G::colReference:
        return TTransactionList::soReferenceDate;
    case G::colAccount:
        return TTransactionList::soPostingAccount;
    case G::colAmount:
        return TTransactionList::soAmount;
    case G::colDetails:
        return TTransactionList::soDetails;
    case G::colCapitalAcquisition:
        return TTransactionList::soCapitalAcquisition;
    case G::colNonCash:
        return TTransactionList::soNonCash;
    case G::colBankAccount:
        return TTransactionList::soBankAccount;
    default:
        return -1;
    }
}

void TDataEntryEditor::AdjustTopRow(int& currentRow, int& topRow, int visibleRows, int rowCount) {
    const int rows = std::max(rowCount, 1);
    const int visible = std::max(visibleRows, 1);
    currentRow = std::clamp(currentRow, 1, rows);
    if (currentRow < topRow)
        topRow = currentRow;
    else if (currentRow >= topRow + visible)
        topRow = currentRow - visible + 1;
    topRow = std::clamp(topRow, 1, std::max(1, rows - visible + 1));
}
