#pragma once

#include <QList>

// The selected rows of a multi-select grid and the current row, with no widget. Rows are data
// rows counted from 0 (the title row is the grid's header, not a row). The range is the rows
// between the range anchor and the current row: a plain move of the current row collapses it; a
// move with Shift (when range selection is on) keeps the anchor and stretches it.
class TRowSelection {
public:
    bool SelectMultipleRows = true;
    bool RangeSelect = true;

    // False for a row never selected, including negative rows.
    bool IsRowSelected(int row) const;
    int SelectedCount() const { return Count; }
    // The first selected row; -1 when none is.
    int FirstSelected() const;

    int Current() const { return CurrentRow; }
    int RangeAnchor() const { return Anchor; }
    // Makes row current; the range keeps its anchor only when keepAnchor and both range selection
    // and multiple selection are on.
    void MoveCurrent(int row, bool keepAnchor = false);

    // Deselecting the current row moves the current row (and the range with it) to the nearest
    // selected row above it, else below it; without one it stays. Negative rows are ignored.
    void SetRowSelected(int row, bool selected);
    void Clear();
    void SelectRange();
    void SelectAll(int rowCount);
    // Forgets rows from rowCount on (after rows were removed).
    void Truncate(int rowCount);

    // A left-button press on a data row: unless Ctrl is held with multiple selection on, the
    // selection becomes the pressed row alone. The pressed row becomes current.
    void Press(int row, bool ctrl, bool shift);
    // The left button released on row. With Ctrl: a range stretched over several rows is added;
    // otherwise row is toggled, except that the current row stays selected when it is the only
    // selected row. Without Ctrl the range is selected.
    void Release(int row, bool ctrl);
    // After Up, Down, Page Up or Page Down made row current: without Ctrl the selection is
    // cleared; with Shift the range is selected; with neither the current row is selected.
    void Navigated(int row, bool shift, bool ctrl);
    // A click: when exactly one row is selected, the selection moves to the current row.
    void Clicked();

    // The top row that brings row into view: a row below the page becomes the top row; a row
    // above it moves the top up by a page (not above row 0, and at least as far as the row).
    static int TopRowToShow(int row, int topRow, int pageRows);

private:
    QList<bool> Flags;
    int Count = 0;
    int CurrentRow = 0;
    int Anchor = 0;
};
