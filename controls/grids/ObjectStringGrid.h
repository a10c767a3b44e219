#pragma once

#include "controls/grids/ColumnDescriptor.h"
#include "controls/grids/MultiSelectStringGrid.h"

#include <QList>

// A multi-select grid filled from a list of records: one row per record and one column per field
// the record class lists (its static Columns(), in declaration order). Titles are made from the
// field names; floating-point fields use NumberFormat. Each row keeps its record, found again
// with RowObject. Column widths given to LoadFromList follow the same column order as the cells.
class TObjectStringGrid : public TMultiSelectStringGrid {
    Q_OBJECT
public:
    explicit TObjectStringGrid(QWidget* parent = nullptr);

    const QString& NumberFormat() const { return FNumberFormat; }
    void SetNumberFormat(const QString& format) { FNumberFormat = format; }

    // Fills the grid from list (nullptr reports "No list assigned"): an empty list leaves one
    // empty data row. widths[k] (with applyWidths; -1 leaves it) sizes column k. rowToSelect
    // (counted from 0) is selected and made current when it is a row of the new grid, else row 0.
    template <class TRecord>
    void LoadFromList(const QList<TRecord*>* list, bool applyWidths = false, const QList<int>& widths = {},
                      int rowToSelect = 0) {
        QList<const void*> records;
        if (list)
            for (const TRecord* record : *list)
                records.append(record);
        LoadRecords(TRecord::Columns(), list ? &records : nullptr, applyWidths, widths, rowToSelect);
    }

    // The same with the columns given and the records untyped.
    void LoadRecords(const TColumnList& columns, const QList<const void*>* records, bool applyWidths,
                     const QList<int>& widths, int rowToSelect);

    // The record behind a data row; nullptr for an empty row.
    template <class TRecord> TRecord* RowObject(int row) const {
        return static_cast<TRecord*>(const_cast<void*>(RowRecord(row)));
    }
    const void* RowRecord(int row) const;

private:
    QString FNumberFormat = QStringLiteral("#,##0.00;(#,##0.00)");
};
