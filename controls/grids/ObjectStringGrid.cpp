#include "controls/grids/ObjectStringGrid.h"

#include "core/services/Services.h"
#include "core/services/UserPrompt.h"

#include <QHeaderView>

namespace {
constexpr int RecordRole = Qt::UserRole + 1;
}

TObjectStringGrid::TObjectStringGrid(QWidget* parent) : TMultiSelectStringGrid(parent) {
    Selection.RangeSelect = false;
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

void TObjectStringGrid::LoadRecords(const TColumnList& columns, const QList<const void*>* records,
                                    bool applyWidths, const QList<int>& widths, int rowToSelect) {
    if (!records) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, QStringLiteral("No list assigned"),
                           TMessageButton::OK);
        GotoFirstSelected();
        return;
    }
    Selection.Clear();
    clearContents();
    const int rows = std::max(int(records->size()), 1);
    setRowCount(rows);
    const int selected = rowToSelect >= 0 && rowToSelect < rows ? rowToSelect : 0;
    Selection.SetRowSelected(selected, true);
    Selection.MoveCurrent(selected);

    setColumnCount(int(columns.size()));
    setHorizontalHeaderLabels(ColumnTitles(columns));
    if (applyWidths) {
        const QList<int> sizes = ColumnWidths(columns, widths);
        for (int column = 0; column < sizes.size(); ++column)
            if (sizes[column] != -1)
                setColumnWidth(column, sizes[column]);
    }
    for (int row = 0; row < records->size(); ++row) {
        const void* record = (*records)[row];
        for (int column = 0; column < columns.size(); ++column) {
            auto* cell = new QTableWidgetItem(CellText(columns[column], record, FNumberFormat));
            if (column == 0)
                cell->setData(RecordRole, QVariant::fromValue(quintptr(record)));
            setItem(row, column, cell);
        }
    }
    viewport()->update();
    GotoFirstSelected();
}

const void* TObjectStringGrid::RowRecord(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? reinterpret_cast<const void*>(cell->data(RecordRole).value<quintptr>()) : nullptr;
}
