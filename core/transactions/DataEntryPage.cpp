#include "core/transactions/DataEntryPage.h"

#include "core/transactions/TransactionGrid.h"

#include "core/transactions/TransactionList.h"

#include <algorithm>

std::unique_ptr<TDataEntryPage> TDataEntryPage::Create(const TTransactionListSources& sources, int pageKind,
                                                       int year, int period, int periodsPerYear,
                                                       const TOptionSet& options, bool showProgress) {
    if (pageKind == TTransactionList::UndoListKind)
        return nullptr;
    std::unique_ptr<TDataEntryPage> page(new TDataEntryPage());
    page->Fields = std::make_unique<TDEFieldOptions>();
    page->Transactions = std::make_unique<TTransactionList>(sources, pageKind, year, period, periodsPerYear,
                                                            options, showProgress);
    page->Undo = std::make_unique<TTransactionList>(sources, TTransactionList::UndoListKind, year, period,
                                                    periodsPerYear, TOptionSet{Option::Standard});
    page->LoadDetailsList();
    page->CurrentRow = page->Transactions->Count();
    page->Selection = {page->CurrentColumn, page->CurrentRow, page->CurrentColumn, page->CurrentRow};
    return page;
}

TDataEntryPage::~TDataEntryPage() noexcept {
    if (Undo)
        Undo->SetSaved(true);
}

int TDataEntryPage::Close() {
    Undo->SetSaved(true);
    return Transactions->SaveIfNeeded();
}

std::array<QString, TDataEntryPage::BufferColumns> TDataEntryPage::RowTexts(int row) const {
    std::array<QString, BufferColumns> texts;
    const int index = row - 1;
    if (!Transactions->GetItem(index))
        return texts;
    for (int column = 0; column < TTransactionGrid::ColumnCount; ++column)
        texts[static_cast<size_t>(column)] = TTransactionGrid(*Transactions).GetCellText(index, column, true);
    return texts;
}

void TDataEntryPage::LoadEditBuffer(int row) {
    EditBuffer = RowTexts(row);
    BufferChanged.fill(false);
}

bool TDataEntryPage::EditBufferChanged() {
    const auto shown = RowTexts(CurrentRow);
    bool any = false;
    for (int column = 0; column < BufferColumns; ++column) {
        const auto at = static_cast<size_t>(column);
        BufferChanged[at] = EditBuffer[at] != shown[at];
        any |= BufferChanged[at];
    }
    return any;
}

void TDataEntryPage::AddDetails(const QString& text) {
    if (text.isEmpty())
        return;
    const auto lessCaseAside = [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    };
    const auto at = std::lower_bound(Details.begin(), Details.end(), text, lessCaseAside);
    if (at == Details.end() || at->compare(text, Qt::CaseInsensitive) != 0)
        Details.insert(at, text);
}

void TDataEntryPage::LoadDetailsList() {
    Details.clear();
    for (int i = 0; i < Transactions->Count(); ++i)
        AddDetails(Transactions->GetItem(i)->Details());
}
