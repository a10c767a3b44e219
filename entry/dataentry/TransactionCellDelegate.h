#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QKeyEvent;

#include <cstdint>
#include <functional>
#include <optional>

// Where a key moves the current cell of the data-entry grid: to the next cell of the line (on to
// the next line after its last cell), to the previous one, or to the line above or below.
enum class TCellStep : std::uint8_t { Next, Previous, Up, Down };

// The editor of a data-entry cell. Leaving the cell hands the typed text to the table, which
// checks the field; a refusal stores nothing. Leaving by the keyboard (Tab, Shift+Tab, Enter,
// Shift+Enter, Up, Down) is checked before the editor closes: a refusal is reported through
// OnRefusedInPlace with the check's message and the editor stays open with what was typed; a text
// taken closes the editor and OnStep moves on by the key's step. Leaving any other way (a click
// elsewhere) closes the editor first; that refusal is reported through OnRefused with the cell,
// the typed text and the message, so that the window can open the cell again with that text.
// Either way nothing typed is lost. Escape closes the editor without taking its text and, when
// nothing had been typed in it, calls OnCancelled.
//
// A date cell's editor has a small drop-down button inside its right edge; the button, F4 or
// Alt+Down in it asks for a calendar (OnCalendar). While the calendar is up the editor stays open
// as it is, and a day picked in it is entered through EnterText.
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

    // Asked for the calendar of the open date cell; the editor stays open while it runs.
    std::function<void()> OnCalendar;
    // Called once a key that leaves the cell has had its text taken and the editor closed: the
    // current cell moves by the key's step.
    std::function<void(TCellStep step)> OnStep;
    // Called once Escape has closed an editor that nothing had been typed in.
    std::function<void()> OnCancelled;

    // Whether the key asks a date cell for its calendar: F4 or Alt+Down.
    static bool IsCalendarKey(const QKeyEvent& key);
    // The step a key moves the current cell by: Tab and Enter (either key) forward, Shift+Tab and
    // Shift+Enter back, Up and Down to the line above and below; none for other keys.
    static std::optional<TCellStep> StepOfKey(const QKeyEvent& key);
    // Whether the key belongs to the page's commands although a line editor would take it for
    // itself (Ctrl+Insert to copy text, Ctrl+Delete to delete a word): the editor leaves it to the
    // command's shortcut.
    static bool IsCommandKey(const QKeyEvent& key);
    // Whether cells of the column open an editor with the calendar's button.
    static bool IsDateColumn(int column);

    // Asks for the calendar of the open editor, as its button does; nothing when no date cell is
    // open.
    void OpenCalendar();
    // Puts the text into the open editor in place of what it holds and leaves the cell as Enter
    // does: true when the table took it (the editor closed); false when there is no editor or the
    // check refused the text (its message reported through OnRefusedInPlace, the editor left open
    // with the text selected).
    bool EnterText(const QString& text);

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
    // Checks the editor's text as the keyboard leaves the cell with the hint: a refusal is reported
    // in place and keeps the editor open; otherwise the editor closes.
    bool LeaveInPlace(QWidget* editor, EndEditHint hint);

    mutable QPointer<QWidget> Editor;
    mutable QPersistentModelIndex EditorIndex;
    mutable std::optional<std::pair<QPersistentModelIndex, QString>> Pending;
    mutable bool LastRefused = false;
    // While a keyboard leave checks the text: a refusal is reported in place.
    bool CheckingInPlace = false;
    bool ShowingRefusal = false;
    // While the calendar is up: the editor keeps its text and stays open.
    bool ShowingCalendar = false;
    QString InPlaceMessage;
};
