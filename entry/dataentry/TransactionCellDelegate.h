#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>

// The editor of a data-entry cell. Leaving the cell hands the typed text to the table, which
// checks the field; a refusal stores nothing. Leaving by the keyboard (Tab, Shift+Tab, Enter) is
// checked before the editor closes: a refusal is reported through OnRefusedInPlace with the
// check's message and the editor stays open with what was typed. Leaving any other way (a click
// elsewhere) closes the editor first; that refusal is reported through OnRefused with the cell,
// the typed text and the message, so that the window can open the cell again with that text.
// Either way nothing typed is lost.
class TTransactionCellDelegate : public QStyledItemDelegate {
public:
    using TRefusal =
        std::function<void(const QPersistentModelIndex& index, const QString& typed, const QString& message)>;

    explicit TTransactionCellDelegate(QObject* parent = nullptr);

    // Called for each refused text whose editor has closed; the table's LastRefusal gives the
    // message.
    TRefusal OnRefused;
    // Called with the check's message when a text is refused as the keyboard leaves its cell; the
    // editor stays open.
    std::function<void(const QString& message)> OnRefusedInPlace;

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

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    mutable QPointer<QWidget> Editor;
    mutable QPersistentModelIndex EditorIndex;
    mutable std::optional<std::pair<QPersistentModelIndex, QString>> Pending;
    mutable bool LastRefused = false;
    // While a keyboard leave checks the text: a refusal is reported in place.
    bool CheckingInPlace = false;
    bool ShowingRefusal = false;
    QString InPlaceMessage;
};
