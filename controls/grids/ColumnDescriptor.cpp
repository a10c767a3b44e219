#include "controls/grids/ColumnDescriptor.h"

#include "controls/grids/GridText.h"

#include <QStringList>

QString CellText(const TColumnDescriptor& column, const void* record, const QString& numberFormat) {
    if (!column.GivesText() || !column.Value)
        return {};
    const QVariant value = column.Value(record);
    if (column.Kind == TColumnKind::Float)
        return FormatNumber(value.toDouble(), numberFormat);
    return value.toString();
}

QStringList ColumnTitles(const TColumnList& columns) {
    QStringList titles;
    for (const TColumnDescriptor& column : columns)
        titles.append(column.GivesText() ? CapitaliseHeader(column.Name) : QString());
    return titles;
}

QList<int> ColumnWidths(const TColumnList& columns, const QList<int>& widths) {
    QList<int> result(columns.size(), -1);
    for (qsizetype k = 0; k < columns.size() && k < widths.size(); ++k)
        if (columns[k].GivesText() && widths[k] != -1)
            result[k] = widths[k];
    return result;
}
