#pragma once

#include "core/common/OptionSet.h"
#include "core/entity/ChildWindowServices.h"

#include <QPersistentModelIndex>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

enum class TCellStep : std::uint8_t;
class QTabBar;
class QTableView;
class TDataEntryEditor;
class TDataEntryPage;
class TDesktopFiles;
class TEntityInfo;
class TFormPlacement;
class TRxSpeedButton;
class TTransactionCellDelegate;
class TTransactionDetail;
class TTransactionTableModel;

// The data-entry window: one tab per open data-entry page of the file it shows (the active file),
// the page in front as a table of its transactions, and the buttons of the page's commands. The
// pages belong to the open file; the window keeps only the editor of the page in front, so a
// page left in another tab holds no unfinished row. Keying goes through the page's editor: a
// field is checked when it is left and a refused field stays open with what was typed. A line is
// keyed by the keyboard alone: Tab and Enter take the cell and go on to the next cell of the line
// that takes typing, opened, and from the line's last cell on to the next line (the last line is
// finished and a new line started, as Down does); Shift+Tab and Shift+Enter go back the same way;
// Up and Down take the cell and go to the line above or below. A date
// cell opens the pop-up calendar under it (its editor's button, F4 or Alt+Down): the calendar
// starts on the cell's date, or on the last day of the page's period, and the day picked with
// Enter or a double click is entered into the cell as if typed and the keyboard is back in that
// cell; Escape leaves the cell as it was. The page opened, and every page brought forward, gives
// the keyboard to the grid's current cell, so that typing keys at once. Escape on a new line not
// yet finished (after undoing what was typed in an open cell) puts it back to the blank line it was.
//
// The window keeps its place in the section "Data Entry" of the program ini (its position, and
// its window state under "WindowState"): restored when it is first shown, written when it closes.
class TfmDataEntry : public QWidget, public IChildWindow, public IDataEntryWindow {
    Q_OBJECT
public:
    static constexpr int WindowKind = 6;
    static inline const QString PlacementSection = QStringLiteral("Data Entry");

    explicit TfmDataEntry(QWidget* parent = nullptr);
    ~TfmDataEntry() override;

    // Prepares the window for the desktop and shows the pages of the file at activeIndex.
    void Init(TDesktopFiles& desktopFiles, int activeIndex);

    // Opens (or finds) the active file's page of a kind for a period of its current year with a
    // normal load, behind the hourglass and the list's progress window; brings it to the front.
    int OpenPage(int pageKind, int period) override;
    // As above with the list options and whether the load shows its progress. The page's index
    // in the file; -1 when there is no active file or the page's list could not be read.
    int OpenPage(int pageKind, int period, int showProgress,
                 const TOptionSet& options = TOptionSet{Option::Load});
    // Closes the pages of the desktop file at fileIndex, each saving its list: minimises the
    // window first when asked; records the pages for reopening when asked, else clears the file's
    // page history; shows that file when it is not the one shown. A page whose current row holds
    // unfinished changes asks whether to keep them: Yes keeps them, No drops them, Cancel leaves
    // that page and those after it open and returns PagesCancelled. 1 otherwise.
    int CloseAllPages(int fileIndex, bool minimise, bool record) override;
    // Shows the page in front from its own position (current row, column, top row) again, after
    // something outside the window moved it; with redraw the rows are read again.
    void RefreshDisplay(bool redraw);
    // Keeps the current row (1-based) visible under the top row for the rows the table shows.
    void AdjustTopRow(int& currentRow, int& topRow);
    void ShowCurrentRow(int pageIndex) override;
    // The quantity, currency or tax option, or the contra interval, of the active file changed.
    // The page lists take those options when they are made, so every page but the deleted
    // transactions is written, closed and opened again where it stood.
    void FileOptionsChanged(int notice) override;
    void ActiveFileChanged(int activeIndex) override;
    int CurrentPageKind() const override;
    // The enable state of a command's button (see TDataEntryEditor::CommandEnabled).
    bool CommandEnabled(TDataEntryCommand command) const override;
    void RunCommand(TDataEntryCommand command) override;
    // Sorts the page in front by the order a click on the column's title asks for.
    void SortByColumn(int column);

    // The file shown and the index of the page in front (-1 when none).
    TEntityInfo* ShownFile() const;
    int ShownPageIndex() const;
    TDataEntryEditor* Editor() const { return PageEditor.get(); }
    TTransactionTableModel* Model() const { return TableModel; }
    TTransactionCellDelegate* CellDelegate() const { return Delegate; }
    TFormPlacement& Placement() const { return *FormPlacement; }
    // Ends the typing in the open cell as leaving it does. False when the field's check refused
    // the text: its message has been shown and the cell stays open with the text.
    bool EndCellEdit();
    // Ends the open cell as leaving it does and moves the current cell by the step, the page
    // following (the line left is finished): Next to the line's next cell that takes typing,
    // after its last cell to the first of the next line that takes typing, and after the last
    // line to a new line as Down does (an untouched last line stays on its last cell); Previous
    // back the same way; Up and Down to the same column of the line above or below (Down on the
    // last line to a new line). Next and Previous open the cell reached for typing. False when
    // there is no current cell or the open cell's text was refused (the cell stays open with it).
    bool StepCell(TCellStep step);

    QTabBar* tabPages = nullptr;
    QTableView* grdTransactions = nullptr;
    TRxSpeedButton* spbCopyToClipboard = nullptr;
    TRxSpeedButton* spbPasteFromClipboard = nullptr;
    TRxSpeedButton* spbInsertTransaction = nullptr;
    TRxSpeedButton* spbDeleteTransaction = nullptr;
    TRxSpeedButton* spbCreateDissection = nullptr;
    TRxSpeedButton* spbRemoveDissection = nullptr;
    TRxSpeedButton* spbGenerateContras = nullptr;

signals:
    // The enabled state of one or more of the command buttons changed.
    void CommandsChanged();

public slots:
    void spbCopyToClipboardClick();
    void spbPasteFromClipboardClick();
    void spbInsertTransactionClick();
    void spbDeleteTransactionClick();
    void spbCreateDissectionClick();
    void spbRemoveDissectionClick();
    void spbGenerateContrasClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Down on the last row, once it has been keyed, finishes it and goes to the new blank line;
    // Tab, Shift+Tab, Enter and Shift+Enter on a cell not being typed in move as StepCell says.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TRefused {
        QPersistentModelIndex Index;
        int Column = 0;
        QString Typed;
        QString Message;
    };
    // Where the view stands, as entries, so that it can stand there again once rows moved.
    struct TViewSpot {
        const TTransactionDetail* First = nullptr;
        const TTransactionDetail* Last = nullptr;
    };

    void CreateControls();
    TRxSpeedButton* AddButton(const QString& name, const QString& caption, const QString& hint,
                              void (TfmDataEntry::*slot)());
    // Whether the file and page shown are still on the desktop; drops the editor when not.
    bool CheckShown();
    void ShowFile(int fileIndex);
    void ShowPage(int pageIndex);
    void DropEditor();
    void RebuildTabs();
    // Makes the view show the page's position (current cell, selection, top row).
    void ShowPosition();
    void UpdateButtons();
    // The grid takes the keyboard on its current cell.
    void GiveKeyboardToGrid();
    // Escape on a new line that was not finished: it becomes the blank line again. False when the
    // current line is no such line.
    bool DropNewRow();
    bool ClipboardHasTransactions() const;
    TViewSpot SpotOfView() const;
    void SelectSpot(const TViewSpot& spot);
    // Finishes the row keyed on the page in front (after the open cell), as leaving the page does.
    void LeavePage();
    // Before a command: the open cell ended, the row finished, the view's selection handed to the
    // page. False when the command cannot run now.
    bool PrepareCommand(TDataEntryCommand command);
    // Runs a command that may move rows; the view then shows the page's new position.
    void RunChange(const std::function<void()>& operation);
    void CurrentCellChanged();
    void FollowCurrentCell();
    void CellRefused(const QPersistentModelIndex& index, const QString& typed, const QString& message);
    void ReopenRefusedCell();
    void tabPagesCurrentChanged(int index);
    // F4 or Alt+Down on a date cell that is not being typed in: the cell opens and its calendar
    // with it. False when the current cell is no date cell that takes typing.
    bool OpenDateCell();
    // Shows the calendar under the open date cell and enters the day picked in it.
    void PickDate();
    void Minimise();
    bool GoToNewRow();
    // The first column after from (before it when backwards) whose cell of the row takes typing;
    // -1 when there is none.
    int EditableColumn(int row, int from, bool backwards) const;
    // Makes the cell current, the page following, and opens it for typing when asked and it
    // takes typing.
    void GoToCell(int row, int column, bool open);
    void OpenCurrentCell();

    TDesktopFiles* Files = nullptr;
    int ShownFileIndex = -1;
    TEntityInfo* ShownFilePointer = nullptr;
    int ShownPage = -1;
    TDataEntryPage* ShownPagePointer = nullptr;
    std::unique_ptr<TDataEntryEditor> PageEditor;
    TTransactionTableModel* TableModel = nullptr;
    TTransactionCellDelegate* Delegate = nullptr;
    TFormPlacement* FormPlacement = nullptr;
    std::optional<TRefused> Refused;
    bool CommittingNow = false;
    bool Positioning = false;
    bool FollowQueued = false;
};
