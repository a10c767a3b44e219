#include "entry/dataentry/TransactionCellDelegate.h"

#include "entry/dataentry/TransactionTableModel.h"

#include <QKeyEvent>
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
    if (CheckingInPlace) {
        const_cast<TTransactionCellDelegate*>(this)->InPlaceMessage =
            table ? table->LastRefusal() : QString();
        return;
    }
    if (OnRefused)
        OnRefused(QPersistentModelIndex(index), typed, table ? table->LastRefusal() : QString());
}

bool TTransactionCellDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (!editor || editor != Editor.data())
        return QStyledItemDelegate::eventFilter(object, event);
    // The refusal's message box takes the focus for a moment: the editor stays as it is.
    if (event->type() == QEvent::FocusOut && ShowingRefusal)
        return true;
    if (event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    EndEditHint hint = NoHint;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Tab:
        hint = EditNextItem;
        break;
    case Qt::Key_Backtab:
        hint = EditPreviousItem;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        hint = SubmitModelCache;
        break;
    default:
        return QStyledItemDelegate::eventFilter(object, event);
    }
    // The text is checked while the editor is still open, so that a refusal keeps it there.
    LastRefused = false;
    InPlaceMessage.clear();
    CheckingInPlace = true;
    emit commitData(editor);
    CheckingInPlace = false;
    if (LastRefused) {
        const QPointer<QWidget> open(editor);
        ShowingRefusal = true;
        if (OnRefusedInPlace)
            OnRefusedInPlace(InPlaceMessage);
        ShowingRefusal = false;
        if (open) {
            // What was typed stays, selected, so that typing again replaces it; the window the
            // box came over takes the keyboard back.
            open->activateWindow();
            open->setFocus();
            if (auto* line = qobject_cast<QLineEdit*>(open.data()))
                line->selectAll();
        }
        return true;
    }
    emit closeEditor(editor, hint);
    return true;
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
