#pragma once

#include "core/common/RecordColumns.h"

#include <QStringList>

// The text of a record's cell: integers in decimal, a character as itself, floating-point
// values through numberFormat, text as it is; other kinds give an empty cell.
QString CellText(const TColumnDescriptor& column, const void* record, const QString& numberFormat);

// The column titles (empty for fields that give no text).
QStringList ColumnTitles(const TColumnList& columns);

// The width to give each column, -1 meaning "leave it": widths[k] belongs to column k, in the
// same declaration order as the cells; a missing entry or a field that gives no text leaves it.
QList<int> ColumnWidths(const TColumnList& columns, const QList<int>& widths);
