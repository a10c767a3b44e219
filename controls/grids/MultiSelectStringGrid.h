#pragma once

#include "controls/grids/RowSelection.h"
#include "controls/grids/TypeAheadSearch.h"

#include <QColor>
#include <QStyleOptionViewItem>
#include <QTableWidget>

#include <functional>

class QTimer;

// A row-oriented string grid in which the user selects any number of rows and finds a row by
// typing the start of its first column.
//
// Rows are data rows counted from 0: the column titles live in the horizontal header, which is
// not a row. Callers written for a grid whose title row is row 0 subtract one.
//
// The grid keeps its own row flags (Qt's selection model is not used): a plain click selects the
// clicked row alone, Ctrl+click toggles a row (the current row stays selected when it is the only
// one), Shift+click and Shift+Up/Down/Page Up/Page Down select the range from the anchor, Ctrl
// with the keys moves without selecting. MultiSelectRow follows a mouse release, a navigation key
// and SelectAll. Typed characters search column 0 without regard to case; the search ends after
// SearchTimerInterval idle ticks of 100 ms, when Backspace empties the text, or on a click or a
// navigation key, and SearchEnd follows.
class TMultiSelectStringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TMultiSelectStringGrid(QWidget* parent = nullptr);

    bool SelectMultipleRows() const { return Selection.SelectMultipleRows; }
    void SetSelectMultipleRows(bool value) { Selection.SelectMultipleRows = value; }
    QColor SelectedBrushColour;
    QColor SelectedTextColour;
    int SearchTimerInterval() const { return Search.SearchTimerInterval; }
    void SetSearchTimerInterval(int value) { Search.SearchTimerInterval = value; }
    const QString& SearchText() const { return Search.Text(); }

    bool IsRowSelected(int row) const { return Selection.IsRowSelected(row); }
    void SetRowSelected(int row, bool selected);
    int SelectedCount() const { return Selection.SelectedCount(); }
    void ClearSelection();
    void SelectRange();
    void GotoFirstSelected();
    void SelectAll();

    // Asked before each search with the typed key (already added to the search text); setting
    // cancel skips the search. The grid takes the key either way.
    std::function<void(QChar& key, bool& cancel)> OnSearch;
    // Paints a cell itself (returns true) or leaves it to the grid (false). The option carries
    // the colours the grid would use, selected colours included.
    std::function<bool(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index)>
        OnDrawCell;

    // One tick of the search timer; the timer calls it every 100 ms while a search runs.
    void SearchTick();

signals:
    void multiSelectRow();
    void searchEnd();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    TRowSelection Selection;

private:
    void TypeAhead(QChar key);
    void EndSearch();
    void ShowCurrent();
    int PageRows() const;

    TTypeAheadSearch Search;
    QTimer* SearchTimer = nullptr;
    bool Pressing = false;
};
