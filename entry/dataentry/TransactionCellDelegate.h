#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>

// The editor of a data-entry cell. Leaving the cell hands the typed text to the table, which
// checks the field; a refusal stores nothing and is reported through OnRefused with the cell,
// the typed text and the check's message, so that the window can show the message and open the
// cell again with that text: nothing typed is lost.
class TTransactionCellDelegate : public QStyledItemDelegate {
public:
    using TRefusal =
        std::function<void(const QPersistentModelIndex& index, const QString& typed, const QString& message)>;

    explicit TTransactionCellDelegate(QObject* parent = nullptr);

    // Called for each refused text; the table's LastRefusal gives the message.
    TRefusal OnRefused;

    // The next editor opened on the cell starts with this text instead of the cell's.
    void SetPendingText(const QPersistentModelIndex& index, const QString& text);
    // The editor open now; nullptr when none is.
    QWidget* OpenEditor() const { return Editor.data(); }
    QPersistentModelIndex OpenIndex() const { return EditorIndex; }
    // Hands the open editor's text to the table as leaving the cell does and closes the editor:
    // true when there was none or the table took the text; false (the editor left open) when the
    // check refused it.
    bool CommitOpenEditor();
    // Closes the open editor without handing its text over.
    void DiscardOpenEditor();

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

private:
    mutable QPointer<QWidget> Editor;
    mutable QPersistentModelIndex EditorIndex;
    mutable std::optional<std::pair<QPersistentModelIndex, QString>> Pending;
    mutable bool LastRefused = false;
};
