#include "entry/dataentry/TransactionTableModel.h"

#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionList.h"
#include "entry/dataentry/DataEntryEditor.h"

#include <QBrush>
#include <QColor>
#include <QScopeGuard>

namespace {

QColor ColourOf(TRgbColour colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

bool IsNumberColumn(int column) {
    return column == TTransactionGrid::colAmount || column == TTransactionGrid::colQuantity ||
           column == TTransactionGrid::colRate;
}

} // namespace

QStringList TTransactionTableModel::ColumnTitles() {
    return {QStringLiteral("Date"),   QStringLiteral("Ref"),     QStringLiteral("Account"),
            QStringLiteral("Amount"), QStringLiteral("Qty"),     QStringLiteral("Tax"),
            QStringLiteral("Rate"),   QStringLiteral("Details"), QStringLiteral("CA"),
            QStringLiteral("NC"),     QStringLiteral("Bank")};
}

TTransactionTableModel::TTransactionTableModel(TDataEntryEditor* editor, QObject* parent)
    : QAbstractTableModel(parent), PageEditor(editor) {}

void TTransactionTableModel::SetEditor(TDataEntryEditor* editor) {
    beginResetModel();
    PageEditor = editor;
    Refusal.clear();
    endResetModel();
}

void TTransactionTableModel::Change(const std::function<void()>& operation) {
    if (Changing) {
        operation();
        return;
    }
    Changing = true;
    beginResetModel();
    const auto done = qScopeGuard([this] {
        endResetModel();
        Changing = false;
    });
    operation();
}

void TTransactionTableModel::Repaint() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int TTransactionTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !PageEditor ? 0 : PageEditor->Count();
}

int TTransactionTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TTransactionGrid::ColumnCount;
}

QVariant TTransactionTableModel::data(const QModelIndex& index, int role) const {
    if (!PageEditor || !index.isValid() || index.row() >= PageEditor->Count())
        return {};
    const TTransactionGrid& grid = PageEditor->Grid();
    switch (role) {
    case Qt::DisplayRole:
        return grid.GetCellText(index.row(), index.column(), true);
    case Qt::EditRole:
        return PageEditor->EditText(index.row(), index.column());
    case Qt::BackgroundRole: {
        const TTransactionGrid::TCellColours colours = grid.GetCellColours(index.row(), index.column());
        return colours.HasBackground ? QVariant(QBrush(ColourOf(colours.Background))) : QVariant();
    }
    case Qt::ForegroundRole: {
        const TTransactionGrid::TCellColours colours = grid.GetCellColours(index.row(), index.column());
        return colours.HasText ? QVariant(QBrush(ColourOf(colours.Text))) : QVariant();
    }
    case Qt::TextAlignmentRole:
        return IsNumberColumn(index.column()) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default:
        return {};
    }
}

QVariant TTransactionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return ColumnTitles().value(section);
    return section + 1;
}

Qt::ItemFlags TTransactionTableModel::flags(const QModelIndex& index) const {
    if (!PageEditor || !index.isValid() || index.row() >= PageEditor->Count())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (PageEditor->IsEditable(index.row(), index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TTransactionTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    Refusal.clear();
    if (!PageEditor || role != Qt::EditRole || !index.isValid() || index.row() >= PageEditor->Count())
        return false;
    const int before = PageEditor->Count();
    TDataEntryEditor::TFieldResult result;
    const auto leave = [&] {
        result = PageEditor->LeaveField(index.row(), index.column(), value.toString());
    };
    // Taking another row first may move rows: the view then reads the page afresh.
    if (!Changing && PageEditor->CurrentIndex() != index.row())
        Change(leave);
    else
        leave();
    if (!result.Valid) {
        Refusal = result.Message;
        return false;
    }
    if (!Changing && before == PageEditor->Count() && !result.RowsChanged)
        emit dataChanged(this->index(result.Index, 0), this->index(result.Index, columnCount() - 1));
    return true;
}
