#include "entry/dataentry/TransactionCellDelegate.h"

#include "entry/dataentry/TransactionTableModel.h"

#include <QLineEdit>

TTransactionCellDelegate::TTransactionCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void TTransactionCellDelegate::SetPendingText(const QPersistentModelIndex& index, const QString& text) {
    Pending.emplace(index, text);
}

QWidget* TTransactionCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                                const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setFont(option.font);
    Editor = editor;
    EditorIndex = index;
    return editor;
}

void TTransactionCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    if (Pending && Pending->first == index) {
        line->setText(Pending->second);
        Pending.reset();
        return;
    }
    line->setText(index.data(Qt::EditRole).toString());
}

void TTransactionCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                            const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    LastRefused = false;
    if (!line || !model)
        return;
    const QString typed = line->text();
    if (model->setData(index, typed, Qt::EditRole))
        return;
    LastRefused = true;
    const auto* table = qobject_cast<const TTransactionTableModel*>(model);
    if (OnRefused)
        OnRefused(QPersistentModelIndex(index), typed, table ? table->LastRefusal() : QString());
}

void TTransactionCellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor == Editor) {
        Editor.clear();
        EditorIndex = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

bool TTransactionCellDelegate::CommitOpenEditor() {
    QWidget* editor = Editor.data();
    if (!editor)
        return true;
    LastRefused = false;
    emit commitData(editor);
    if (LastRefused)
        return false;
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void TTransactionCellDelegate::DiscardOpenEditor() {
    if (QWidget* editor = Editor.data())
        emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}
