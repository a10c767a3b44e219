#pragma once

#include "core/common/OptionSet.h"
#include "core/transactions/DEFieldOptions.h"
#include "core/transactions/TransactionListSources.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class TTransactionList;

// One open page of the data-entry window: the transaction list of one page kind of a file for a
// year and period, an undo list, the grid position and selection the window restores, the
// window's field settings for the page, the sorted details texts used for completion and the
// edit buffer of the row being edited.
//
// Rows are 1-based grid rows: row n shows entry n - 1 of the list.
class TDataEntryPage {
public:
    // Columns of the edit buffer: the list's grid columns, then two that are always empty.
    static constexpr int BufferColumns = 13;

    struct TGridRect {
        qint32 Left = 0;
        qint32 Top = 0;
        qint32 Right = 0;
        qint32 Bottom = 0;
    };

    // The page of a page kind, with its list made (and loaded when the options ask for it) and
    // its current row on the list's last entry; null for the undo kind -1, which has no page.
    static std::unique_ptr<TDataEntryPage> Create(const TTransactionListSources& sources, int pageKind,
                                                  int year, int period, int periodsPerYear,
                                                  const TOptionSet& options, bool showProgress);
    // Frees the page without saving anything: owners call Close first.
    ~TDataEntryPage() noexcept;
    TDataEntryPage(const TDataEntryPage&) = delete;
    TDataEntryPage& operator=(const TDataEntryPage&) = delete;

    // Lets the list save itself when it holds unsaved changes; the list's save result.
    int Close();

    TTransactionList& List() const { return *Transactions; }
    TTransactionList& UndoList() const { return *Undo; }
    TDEFieldOptions& FieldOptions() const { return *Fields; }
    const QStringList& DetailsList() const { return Details; }

    // Fills the buffer with the row's cell texts as shown (the last two columns empty) and
    // clears the changed flags.
    void LoadEditBuffer(int row);
    // Compares the buffer with the current row's cell texts as shown, sets each column's changed
    // flag and returns whether any column changed.
    bool EditBufferChanged();
    // Fills the details list afresh from the entries: sorted, each text once (case aside), empty
    // details left out.
    void LoadDetailsList();

    qint32 TopRow = 1;
    qint32 CurrentRow = 0;
    qint32 LeftColumn = 1;
    quint8 CurrentColumn = 0;
    TGridRect Selection;
    std::array<QString, BufferColumns> EditBuffer;
    std::array<bool, BufferColumns> BufferChanged{};

private:
    TDataEntryPage() = default;
    // The cell texts a grid row shows, in buffer columns.
    std::array<QString, BufferColumns> RowTexts(int row) const;
    void AddDetails(const QString& text);

    std::unique_ptr<TDEFieldOptions> Fields;
    std::unique_ptr<TTransactionList> Transactions;
    std::unique_ptr<TTransactionList> Undo;
    QStringList Details;
};
