#include "controls/grids/MultiSelectStringGrid.h"

#include "controls/util/SlotGuard.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

// Paints the rows the grid has selected in its selected colours, and lets the owner paint cells.
class TMultiSelectDelegate : public QStyledItemDelegate {
public:
    explicit TMultiSelectDelegate(TMultiSelectStringGrid* grid) : QStyledItemDelegate(grid), Grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shown = option;
        initStyleOption(&shown, index);
        bool painted = false;
        if (Grid->OnDrawCell)
            GuardSlot([&] { painted = Grid->OnDrawCell(painter, shown, index); });
        if (painted)
            return;
        QStyledItemDelegate::paint(painter, option, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_Selected;
        if (!Grid->IsRowSelected(index.row()))
            return;
        option->backgroundBrush = Grid->SelectedBrushColour;
        option->palette.setColor(QPalette::Text, Grid->SelectedTextColour);
    }

private:
    TMultiSelectStringGrid* Grid;
};

TMultiSelectStringGrid::TMultiSelectStringGrid(QWidget* parent)
    : QTableWidget(parent), SelectedBrushColour(palette().color(QPalette::Highlight)),
      SelectedTextColour(palette().color(QPalette::HighlightedText)) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    setItemDelegate(new TMultiSelectDelegate(this));
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { Selection.Truncate(rowCount()); });
    Selection.SetRowSelected(0, true);
}

void TMultiSelectStringGrid::SetRowSelected(int row, bool selected) {
    Selection.SetRowSelected(row, selected);
    ShowCurrent();
}

void TMultiSelectStringGrid::ClearSelection() {
    Selection.Clear();
    viewport()->update();
}

void TMultiSelectStringGrid::SelectRange() {
    Selection.SelectRange();
    viewport()->update();
}

void TMultiSelectStringGrid::SelectAll() {
    Selection.SelectAll(rowCount());
    viewport()->update();
    emit multiSelectRow();
}

void TMultiSelectStringGrid::GotoFirstSelected() {
    const int row = Selection.FirstSelected();
    if (row < 0 || row >= rowCount())
        return;
    Selection.MoveCurrent(row);
    ShowCurrent();
    const int top = rowAt(0) < 0 ? 0 : rowAt(0);
    const int newTop = TRowSelection::TopRowToShow(row, top, PageRows());
    if (newTop == row && row != top) // the row shows at the top, or as near to it as the end allows
        scrollTo(model()->index(row, 0), QAbstractItemView::PositionAtTop);
    else
        verticalScrollBar()->setValue(newTop);
}

int TMultiSelectStringGrid::PageRows() const {
    // The rows wholly in view; a row cut off at the bottom does not count.
    const int top = rowAt(0);
    if (top < 0)
        return 1;
    int bottom = rowAt(viewport()->height() - 1);
    if (bottom < 0)
        bottom = rowCount() - 1;
    else if (rowViewportPosition(bottom) + rowHeight(bottom) > viewport()->height())
        --bottom;
    return std::max(bottom - top + 1, 1);
}

void TMultiSelectStringGrid::ShowCurrent() {
    const int row = Selection.Current();
    if (row >= 0 && row < rowCount() && columnCount() > 0)
        selectionModel()->setCurrentIndex(model()->index(row, std::max(currentColumn(), 0)),
                                          QItemSelectionModel::NoUpdate);
    viewport()->update();
}

void TMultiSelectStringGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    if (!index.isValid()) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    Pressing = true;
    Selection.Press(index.row(), event->modifiers() & Qt::ControlModifier,
                    event->modifiers() & Qt::ShiftModifier);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    viewport()->update();
}

void TMultiSelectStringGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!Pressing || !(event->buttons() & Qt::LeftButton))
        return;
    const int row = rowAt(int(event->position().y()));
    if (row < 0 || row == Selection.Current())
        return;
    Selection.MoveCurrent(row, true);
    ShowCurrent();
}

void TMultiSelectStringGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !Pressing) {
        QTableWidget::mouseReleaseEvent(event);
        return;
    }
    Pressing = false;
    const int row = rowAt(int(event->position().y()));
    Selection.Release(row < 0 ? Selection.Current() : row, event->modifiers() & Qt::ControlModifier);
    EndSearch();
    Selection.Clicked();
    ShowCurrent();
    emit multiSelectRow();
    // The view's own press handling is not used, so its click signal is given here.
    if (const QModelIndex index = indexAt(event->position().toPoint()); index.isValid())
        emit clicked(index);
}

void TMultiSelectStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    Pressing = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        emit doubleClicked(index);
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

void TMultiSelectStringGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right: {
        QTableWidget::keyPressEvent(event);
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        const int row = currentRow();
        if (row < 0)
            return;
        const bool shift = modifiers & Qt::ShiftModifier;
        const bool ctrl = modifiers & Qt::ControlModifier;
        const int key = event->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown)
            Selection.Navigated(row, shift, ctrl);
        else
            Selection.MoveCurrent(row, shift);
        EndSearch();
        viewport()->update();
        emit multiSelectRow();
        return;
    }
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || (text[0].unicode() < 32 && text[0] != QLatin1Char('\b'))) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    GuardSlot([&] { TypeAhead(text[0]); });
    event->accept();
}

void TMultiSelectStringGrid::TypeAhead(QChar key) {
    if (!SearchTimer) {
        SearchTimer = new QTimer(this);
        SearchTimer->setInterval(TTypeAheadSearch::TickMilliseconds);
        connect(SearchTimer, &QTimer::timeout, this, &TMultiSelectStringGrid::SearchTick);
    }
    switch (Search.Key(key)) {
    case TTypeAheadSearch::TStep::Pass:
        break;
    case TTypeAheadSearch::TStep::Search: {
        bool cancel = false;
        if (OnSearch)
            OnSearch(key, cancel);
        if (cancel)
            break;
        QStringList firstColumn;
        for (int row = 0; row < rowCount(); ++row)
            firstColumn.append(item(row, 0) ? item(row, 0)->text() : QString());
        const int found = TTypeAheadSearch::FindFirst(firstColumn, Search.Text());
        if (found < 0)
            break;
        Selection.Clear();
        Selection.SetRowSelected(found, true);
        GotoFirstSelected();
        break;
    }
    case TTypeAheadSearch::TStep::Ended:
        SearchTimer->stop();
        emit searchEnd();
        return;
    }
    if (Search.Running())
        SearchTimer->start();
}

void TMultiSelectStringGrid::SearchTick() {
    if (!Search.Tick())
        return;
    SearchTimer->stop();
    emit searchEnd();
}

void TMultiSelectStringGrid::EndSearch() {
    if (!Search.Running())
        return;
    Search.End();
    SearchTimer->stop();
    emit searchEnd();
}
