#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <functional>

class TMasterChart;

// The items of one master chart as the rows of a table, in the chart's key order, read straight
// from the chart: nothing is copied, so the table always shows what the chart holds. The columns
// depend on the chart kind:
//   1 accounts: code, description (abbreviations expanded, sub-accounts indented), type;
//   2 standard descriptions: abbreviation, description;
//   3 taxes: code, description, rate, tax account;
//   4 currencies: code, description, rate;
//   0 bank-reconciliation opening balances: bank account, currency, opening date, cash-book and
//     statement opening balances, reconciled to.
// The table is read only; the window changes the chart through its commands and then calls
// Refresh.
//
// The chart comes from a source asked each time the table is read, so that a chart freed behind
// the window's back (the file closed, the year changed) is never touched: the source then
// answers nullptr or the new chart. Rows beyond the chart's end read as empty until Refresh.
class TMasterChartModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using TChartSource = std::function<TMasterChart*()>;

    explicit TMasterChartModel(QObject* parent = nullptr);

    // Shows one chart of a kind (0 to 4), not owned; nullptr shows an empty table with the
    // kind's columns. Raises EQuilvaneError for any other kind.
    void SetChart(int chartKind, TMasterChart* chart);
    // Shows whatever chart the source gives (see above).
    void SetChartSource(int chartKind, TChartSource source);
    int ChartKind() const { return Kind; }
    // The chart shown now; nullptr when there is none or the source gives a chart of another kind.
    TMasterChart* Chart() const;
    // The chart's items changed: the table is read again.
    void Refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The column titles of a kind; empty for a kind the table does not show.
    static QStringList ColumnTitles(int chartKind);
    // Whether a column holds numbers (aligned to the right).
    static bool IsNumericColumn(int chartKind, int column);
    // The text of a cell of the chart's item at a row; empty for a row or column outside it.
    static QString CellText(const TMasterChart& chart, int row, int column);
    // The cells of an item's row as other programs get them on the clipboard: the cell texts
    // with the sub-account indent of an account's description left out.
    static QStringList PlainTexts(const TMasterChart& chart, int row);

private:
    int Kind = 1;
    TChartSource Source;
};
