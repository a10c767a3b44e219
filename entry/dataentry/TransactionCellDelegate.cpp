#include "entry/dataentry/TransactionCellDelegate.h"

#include "controls/util/CustomComboEdit.h"
#include "core/transactions/TransactionGrid.h"
#include "entry/dataentry/TransactionTableModel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

TTransactionCellDelegate::TTransactionCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void TTransactionCellDelegate::SetPendingText(const QPersistentModelIndex& index, const QString& text) {
    Pending.emplace(index, text);
}

bool TTransactionCellDelegate::IsCalendarKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
           (key.key() == Qt::Key_Down && modifiers == Qt::AltModifier);
}

std::optional<TCellStep> TTransactionCellDelegate::StepOfKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool shifted = modifiers == Qt::ShiftModifier;
    switch (key.key()) {
    case Qt::Key_Tab:
        return plain ? std::optional(TCellStep::Next) : std::nullopt;
    case Qt::Key_Backtab:
        return plain || shifted ? std::optional(TCellStep::Previous) : std::nullopt;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (plain)
            return TCellStep::Next;
        return shifted ? std::optional(TCellStep::Previous) : std::nullopt;
    case Qt::Key_Up:
        return plain ? std::optional(TCellStep::Up) : std::nullopt;
    case Qt::Key_Down:
        return plain ? std::optional(TCellStep::Down) : std::nullopt;
    default:
        return std::nullopt;
    }
}

bool TTransactionCellDelegate::IsCommandKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::ControlModifier && (key.key() == Qt::Key_Insert || key.key() == Qt::Key_Delete);
}

bool TTransactionCellDelegate::IsDateColumn(int column) {
    return column == TTransactionGrid::colDate;
}

QWidget* TTransactionCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                                const QModelIndex& index) const {
    QLineEdit* editor = nullptr;
    if (IsDateColumn(index.column())) {
        auto* dateEditor = new TCustomComboEdit(parent);
        dateEditor->SetGlyphKind(TCustomComboEdit::TGlyphKind::DropDown);
        // The delegate reads the calendar's keys before the editor does.
        dateEditor->SetClickKey(QKeySequence());
        auto* self = const_cast<TTransactionCellDelegate*>(this);
        connect(dateEditor, &TCustomComboEdit::ButtonClicked, self, &TTransactionCellDelegate::OpenCalendar);
        editor = dateEditor;
    } else {
        editor = new QLineEdit(parent);
    }
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
    // The refusal's message box and the calendar take the focus for a while: the editor stays as
    // it is.
    if (event->type() == QEvent::FocusOut && (ShowingRefusal || ShowingCalendar))
        return true;
    // Left unaccepted, the key goes on to its shortcut.
    if (event->type() == QEvent::ShortcutOverride && IsCommandKey(*static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // Escape undoes what was typed in the cell first; in a cell not typed in it goes on to the
        // line.
        const auto* line = qobject_cast<QLineEdit*>(editor);
        const bool typed = line && line->isModified();
        emit closeEditor(editor, RevertModelCache);
        if (!typed && OnCancelled)
            OnCancelled();
        return true;
    }
    if (IsCalendarKey(*key) && qobject_cast<TCustomComboEdit*>(editor)) {
        OpenCalendar();
        return true;
    }
    const std::optional<TCellStep> step = StepOfKey(*key);
    if (!step)
        return QStyledItemDelegate::eventFilter(object, event);
    // The window moves the cell itself, so that the end of a line leads on to the next line.
    if (LeaveInPlace(editor, NoHint) && OnStep)
        OnStep(*step);
    return true;
}

bool TTransactionCellDelegate::LeaveInPlace(QWidget* editor, EndEditHint hint) {
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
        return false;
    }
    emit closeEditor(editor, hint);
    return true;
}

void TTransactionCellDelegate::OpenCalendar() {
    if (!qobject_cast<TCustomComboEdit*>(Editor.data()) || ShowingCalendar || !OnCalendar)
        return;
    const QScopedValueRollback showing(ShowingCalendar, true);
    OnCalendar();
}

bool TTransactionCellDelegate::EnterText(const QString& text) {
    auto* line = qobject_cast<QLineEdit*>(Editor.data());
    if (!line)
        return false;
    line->setText(text);
    return LeaveInPlace(line, SubmitModelCache);
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
