#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <functional>

class TDataEntryEditor;
class TTransactionGrid;

// The entries of one data-entry page as the rows of a table: row n is the page list's entry n,
// the columns are the grid's eleven. Every text and colour is asked of the page's grid when the
// view paints it, so the table holds nothing of the lines and a page of any length opens at once.
// Typed text goes back through the page's editor, which checks the field before storing it.
class TTransactionTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The column titles, in the grid's column order.
    static QStringList ColumnTitles();

    // Reads the editor's page; the editor must outlive the model or be taken away with SetEditor.
    explicit TTransactionTableModel(TDataEntryEditor* editor, QObject* parent = nullptr);

    // Shows another page's editor (nullptr: an empty table).
    void SetEditor(TDataEntryEditor* editor);
    TDataEntryEditor* Editor() const { return PageEditor; }
    // The message of the field check that refused the last setData; empty when it gave none.
    QString LastRefusal() const { return Refusal; }

    // Runs an operation that may add, remove or move rows, and tells the view afterwards.
    void Change(const std::function<void()>& operation);
    // The lines changed in place: repaint them.
    void Repaint();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Leaves the field with the text: false, the entry unchanged and the check's message in
    // LastRefusal, when the check refuses it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    TDataEntryEditor* PageEditor = nullptr;
    QString Refusal;
    // While Change runs: setData and the like must not tell the view again.
    bool Changing = false;
};
