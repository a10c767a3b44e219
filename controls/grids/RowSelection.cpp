#include "controls/grids/RowSelection.h"

#include <algorithm>

bool TRowSelection::IsRowSelected(int row) const {
    return row >= 0 && row < Flags.size() && Flags[row];
}

int TRowSelection::FirstSelected() const {
    return int(Flags.indexOf(true));
}

void TRowSelection::MoveCurrent(int row, bool keepAnchor) {
    CurrentRow = row;
    if (!(keepAnchor && RangeSelect && SelectMultipleRows))
        Anchor = row;
}

void TRowSelection::SetRowSelected(int row, bool selected) {
    if (row < 0)
        return;
    if (row >= Flags.size())
        Flags.resize(row + 1, false);
    if (Flags[row] == selected)
        return;
    Flags[row] = selected;
    Count += selected ? 1 : -1;
    if (selected || row != CurrentRow)
        return;
    for (int above = row - 1; above >= 0; --above)
        if (Flags[above]) {
            MoveCurrent(above);
            return;
        }
    for (int below = row + 1; below < Flags.size(); ++below)
        if (Flags[below]) {
            MoveCurrent(below);
            return;
        }
}

void TRowSelection::Clear() {
    Flags.fill(false);
    Count = 0;
}

void TRowSelection::SelectRange() {
    for (int row = std::min(Anchor, CurrentRow); row <= std::max(Anchor, CurrentRow); ++row)
        SetRowSelected(row, true);
}

void TRowSelection::SelectAll(int rowCount) {
    for (int row = 0; row < rowCount; ++row)
        SetRowSelected(row, true);
}

void TRowSelection::Truncate(int rowCount) {
    if (rowCount >= Flags.size())
        return;
    Flags.resize(std::max(rowCount, 0));
    Count = int(Flags.count(true));
}

void TRowSelection::Press(int row, bool ctrl, bool shift) {
    if (ctrl && SelectMultipleRows) {
        MoveCurrent(row, shift);
        return;
    }
    Clear();
    MoveCurrent(row, shift);
    SetRowSelected(row, true);
}

void TRowSelection::Release(int row, bool ctrl) {
    if (!ctrl || Anchor != CurrentRow) {
        SelectRange();
        return;
    }
    if (!IsRowSelected(row))
        SetRowSelected(row, true);
    else if (row != CurrentRow || Count != 1)
        SetRowSelected(row, false);
}

void TRowSelection::Navigated(int row, bool shift, bool ctrl) {
    MoveCurrent(row, shift);
    if (!ctrl)
        Clear();
    if (shift)
        SelectRange();
    else if (!ctrl)
        SetRowSelected(row, true);
}

void TRowSelection::Clicked() {
    if (Count == 1 && !IsRowSelected(CurrentRow)) {
        Clear();
        SetRowSelected(CurrentRow, true);
    }
}

int TRowSelection::TopRowToShow(int row, int topRow, int pageRows) {
    if (row >= topRow + std::max(pageRows, 1))
        return row;
    if (row < topRow)
        return std::min(row, std::max(topRow - pageRows, 0));
    return topRow;
}
