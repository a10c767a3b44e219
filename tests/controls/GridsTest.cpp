#include "controls/grids/ColumnDescriptor.h"
#include "controls/grids/GridText.h"
#include "controls/grids/MultiSelectStringGrid.h"
#include "controls/grids/ObjectStringGrid.h"
#include "controls/grids/RowSelection.h"
#include "controls/grids/TypeAheadSearch.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "tests/support/ScriptedPrompt.h"

#include <QSignalSpy>
#include <QtTest>
#include <gtest/gtest.h>

#include <set>

namespace {

using TStep = TTypeAheadSearch::TStep;

TEST(GridsTest, TypeAheadSearch) {
    TTypeAheadSearch search;
    EXPECT_FALSE(search.Tick());
    EXPECT_EQ(search.Key(u'a'), TStep::Search);
    EXPECT_EQ(search.Key(u'\r'), TStep::Pass);
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_FALSE(search.Tick());
    EXPECT_EQ(search.Key(u'B'), TStep::Search); // a key starts the idle count again
    EXPECT_EQ(search.Text(), "aB");
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_FALSE(search.Tick());
    EXPECT_TRUE(search.Tick());
    EXPECT_FALSE(search.Running());
    EXPECT_EQ(search.Key(u'c'), TStep::Search);
    EXPECT_EQ(search.Text(), "c");
    EXPECT_EQ(search.Key(u'\b'), TStep::Ended);
    EXPECT_FALSE(search.Running());

    const QStringList rows = {"Apple", "aBacus", "Abbey", ""};
    const std::pair<const char*, int> cases[] = {{"ab", 1}, {"AB", 1},      {"abb", 2}, {"apple", 0},
                                                 {"", -1},  {"apples", -1}, {"x", -1}};
    for (const auto& [prefix, row] : cases) {
        SCOPED_TRACE(prefix);
        EXPECT_EQ(TTypeAheadSearch::FindFirst(rows, prefix), row);
    }
}

// The selected rows of a row selection or a grid, checked against its count.
template <class TSelection> std::set<int> SelectedRows(const TSelection& selection) {
    std::set<int> rows;
    for (int row = -1; row <= 60; ++row)
        if (selection.IsRowSelected(row))
            rows.insert(row);
    EXPECT_EQ(int(rows.size()), selection.SelectedCount());
    return rows;
}

TEST(GridsTest, DeselectingTheCurrentRowMovesToTheNearestSelected) {
    // selected rows, current, deselected, new current
    const std::tuple<std::set<int>, int, int, int> cases[] = {
        {{1, 4, 6}, 4, 4, 1}, {{4, 6}, 4, 4, 6}, {{4}, 4, 4, 4}, {{2, 3, 4}, 3, 2, 3}, {{0, 7}, 7, 7, 0}};
    for (const auto& [selected, current, deselected, newCurrent] : cases) {
        SCOPED_TRACE(deselected);
        TRowSelection selection;
        for (const int row : selected)
            selection.SetRowSelected(row, true);
        selection.MoveCurrent(current);
        selection.SetRowSelected(deselected, false);
        EXPECT_EQ(selection.Current(), newCurrent);
        EXPECT_FALSE(selection.IsRowSelected(deselected));
    }
    TRowSelection selection;
    selection.SetRowSelected(-1, true);
    selection.SetRowSelected(3, true);
    selection.SetRowSelected(3, true);
    selection.SetRowSelected(9, true);
    selection.Truncate(5);
    EXPECT_EQ(SelectedRows(selection), std::set<int>({3}));
}

// Gestures written as words: a row number after P (press and release on it), D (press on the
// current row and drag to it), N (Up/Down to it) or C (a click, no row); "^" holds Ctrl, "+" Shift.
void RunGestures(TRowSelection& selection, const QString& gestures) {
    for (QString word : gestures.split(' ')) {
        const bool ctrl = word.contains('^'), shift = word.contains('+');
        word.remove('^').remove('+');
        const int row = word.mid(1).toInt();
        if (word[0] == 'P') {
            selection.Press(row, ctrl, shift);
            selection.Release(row, ctrl);
        } else if (word[0] == 'D') {
            selection.Press(selection.Current(), ctrl, false);
            selection.MoveCurrent(row, true);
            selection.Release(row, ctrl);
        } else if (word[0] == 'N') {
            selection.Navigated(row, shift, ctrl);
        } else {
            selection.Clicked();
        }
    }
}

TEST(GridsTest, MouseAndKeyGestures) {
    struct TCase {
        const char* Gestures;
        std::set<int> Selected;
        int Current;
        bool Multiple = true, Range = true;
    };
    const TCase cases[] = {
        {"P2 P5", {5}, 5},
        {"P2 ^P2", {2}, 2}, // the only selected row while current stays selected
        {"P2 ^P5", {2, 5}, 5},
        {"P2 ^P5 ^P5", {2}, 2},
        {"P1 ^P3 ^P3 +N2", {1, 2}, 2}, // the range starts where the current row moved to
        {"P2 ^P5 ^P2", {5}, 5},
        {"P2 ^P5", {5}, 5, false}, // Ctrl without multiple selection is a plain click
        {"P2 +P5", {2, 3, 4, 5}, 5},
        {"P5 +P3", {3, 4, 5}, 3},
        {"P2 +P5", {5}, 5, true, false},
        {"P0 ^P2 ^D4", {0, 2, 3, 4}, 4},
        {"P6 D4", {4, 5, 6}, 4},
        {"P2 N3", {3}, 3},
        {"P2 +N3 +N4", {2, 3, 4}, 4},
        {"P2 ^N3", {2}, 3},
        {"P0 ^P2 ^+N3", {0, 2, 3}, 3},
        {"P2 ^N4 C", {4}, 4}, // a click moves a single selection to the current row
        {"P2 ^P5 ^N7 C", {2, 5}, 7},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Gestures);
        TRowSelection selection;
        selection.SelectMultipleRows = c.Multiple;
        selection.RangeSelect = c.Range;
        RunGestures(selection, c.Gestures);
        EXPECT_EQ(SelectedRows(selection), c.Selected);
        EXPECT_EQ(selection.Current(), c.Current);
    }
}

TEST(GridsTest, TopRowToShowTheFirstSelected) {
    // row, top, page rows, new top
    const std::tuple<int, int, int, int> cases[] = {{12, 0, 10, 12},  {9, 0, 10, 0},    {10, 0, 10, 10},
                                                    {25, 20, 10, 20}, {18, 20, 10, 10}, {3, 5, 10, 0},
                                                    {2, 30, 10, 2}};
    for (const auto& [row, top, page, expected] : cases) {
        SCOPED_TRACE(testing::Message() << row << " from " << top);
        EXPECT_EQ(TRowSelection::TopRowToShow(row, top, page), expected);
    }
}

TEST(GridsTest, HeadersAndNumbers) {
    const std::pair<const char*, const char*> headers[] = {{"Tax_Code", "Tax Code"},
                                                           {"BAS", "Bas"},
                                                           {"Account_Description_", "Account Description "},
                                                           {"tax.rate;x:y,z", "Tax.Rate;X:Y,Z"},
                                                           {"aBC dEF", "Abc Def"}};
    for (const auto& [name, header] : headers)
        EXPECT_EQ(CapitaliseHeader(name), header) << name;

    const QString money = "#,##0.00;(#,##0.00)";
    const std::tuple<double, QString, const char*> numbers[] = {{-1234.5, money, "(1,234.50)"},
                                                                {1234567.891, money, "1,234,567.89"},
                                                                {999.0, money, "999.00"},
                                                                {0, money, "0.00"},
                                                                {-0.004, money, "0.00"},
                                                                {0.125, money, "0.13"},
                                                                {-0.125, money, "(0.13)"},
                                                                {-2.5, "0", "-3"},
                                                                {12.5, "#.##", "12.5"},
                                                                {0.5, "#.##", ".5"},
                                                                {7, "000", "007"},
                                                                {0, "0.00;(0.00);Nil", "Nil"},
                                                                {4.2, "$#,##0.0 cr", "$4.2 cr"}};
    for (const auto& [value, format, text] : numbers)
        EXPECT_EQ(FormatNumber(value, format), text) << value << " " << format.toStdString();
}

// A record laid out as the tax codes are: declared in an order that sorting by name would change.
struct TSampleRecord {
    QString Tax_Code = "GST";
    QString BAS = "G1";
    qint32 TaxType = -3;
    double Tax_Rate = -1234.5;
    bool Flag = true;
    QChar Mark = u'x';
    static TColumnList Columns() {
        return {RecordColumn<TSampleRecord>("Tax_Code", &TSampleRecord::Tax_Code),
                RecordColumn<TSampleRecord>("BAS", &TSampleRecord::BAS),
                RecordColumn<TSampleRecord>("TaxType", &TSampleRecord::TaxType),
                RecordColumn<TSampleRecord>("Tax_Rate", &TSampleRecord::Tax_Rate),
                RecordColumn<TSampleRecord>("Flag", &TSampleRecord::Flag),
                RecordColumn<TSampleRecord>("Mark", [](const TSampleRecord& r) { return r.Mark; })};
    }
};

TEST(GridsTest, RecordColumns) {
    const TColumnList columns = TSampleRecord::Columns();
    const TSampleRecord record;
    QStringList cells;
    for (const TColumnDescriptor& column : columns)
        cells.append(CellText(column, &record, "#,##0.00;(#,##0.00)"));
    EXPECT_EQ(cells, QStringList({"GST", "G1", "-3", "(1,234.50)", "", "x"}));
    EXPECT_EQ(ColumnTitles(columns), QStringList({"Tax Code", "Bas", "Taxtype", "Tax Rate", "", "Mark"}));
    EXPECT_EQ(ColumnWidths(columns, {40, -1, 30, 20, 99}), QList<int>({40, -1, 30, 20, -1, -1}));
}

// The grid on screen with six rows; column 0 holds the texts searched.
class GridsWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        TServices::Reset();
        TServices::SetPrompt(Prompt);
        const QStringList names = {"Zeta", "Beta", "Abacus", "abd", "Ab x", "c"};
        Grid.setColumnCount(2);
        Grid.setRowCount(int(names.size()));
        for (int row = 0; row < names.size(); ++row)
            Grid.setItem(row, 0, new QTableWidgetItem(names[row]));
        Grid.resize(300, 400);
        Grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid));
    }
    void TearDown() override {
        EXPECT_TRUE(Prompt->ScriptDone());
        TServices::Reset();
    }

    void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPoint at = Grid.visualRect(Grid.model()->index(row, 0)).center();
        QTest::mouseClick(Grid.viewport(), Qt::LeftButton, modifiers, at);
    }

    std::shared_ptr<TScriptedPrompt> Prompt = std::make_shared<TScriptedPrompt>();
    TMultiSelectStringGrid Grid;
    QSignalSpy MultiSelect{&Grid, &TMultiSelectStringGrid::multiSelectRow};
    QSignalSpy SearchEnd{&Grid, &TMultiSelectStringGrid::searchEnd};
};

TEST_F(GridsWidgetTest, CtrlClickAndShiftArrows) {
    Click(1);
    QTest::keyClick(&Grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&Grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({1, 2, 3}));
    QTest::keyClick(&Grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Grid.currentRow(), 4);
    Click(5, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({1, 2, 3, 5}));
    EXPECT_EQ(MultiSelect.count(), 5);
}

TEST_F(GridsWidgetTest, ClicksAndDoubleClicksOnRowsAreReported) {
    QSignalSpy clicked(&Grid, &QAbstractItemView::clicked);
    QSignalSpy doubleClicked(&Grid, &QAbstractItemView::doubleClicked);
    Click(2);
    const QPoint at = Grid.visualRect(Grid.model()->index(3, 1)).center();
    QTest::mouseDClick(Grid.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_FALSE(clicked.isEmpty());
    EXPECT_EQ(clicked.first().first().toModelIndex().row(), 2);
    ASSERT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(doubleClicked.first().first().toModelIndex().row(), 3);
}

TEST_F(GridsWidgetTest, TypeAheadSearch) {
    Grid.OnSearch = [](QChar& key, bool& cancel) {
        if (key == QLatin1Char('!'))
            throw EQuilvaneError("Search refused");
        cancel = key == QLatin1Char('z');
    };
    Click(0);
    QTest::keyClicks(&Grid, "ab");
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({2}));
    EXPECT_EQ(Grid.currentRow(), 2);
    QTest::keyClick(&Grid, 'q'); // no row matches: the selection stays
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({2}));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&Grid, Qt::Key_Backspace);
    EXPECT_EQ(SearchEnd.count(), 1);
    QTest::keyClick(&Grid, 'z'); // cancelled by the hook
    Prompt->Answer(TMessageButton::OK);
    QTest::keyClick(&Grid, '!'); // a failing hook is reported and searches nothing
    EXPECT_EQ(Prompt->Texts(), QStringList({"Search refused"}));
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({2}));
    for (int tick = 0; tick < 6; ++tick)
        Grid.SearchTick();
    EXPECT_EQ(SearchEnd.count(), 2);
    QTest::keyClick(&Grid, 'b'); // a new search
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({1}));
    Grid.setRowCount(60);
    Grid.setItem(59, 0, new QTableWidgetItem("Omega"));
    Click(4); // a click ends the search
    EXPECT_EQ(SearchEnd.count(), 3);
    QTest::keyClicks(&Grid, "om");
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({59}));
    EXPECT_TRUE(Grid.viewport()->rect().contains(Grid.visualRect(Grid.model()->index(59, 0))));
}

TEST_F(GridsWidgetTest, SelectAllAndSelectedColours) {
    Grid.SelectedBrushColour = QColor(1, 2, 3);
    Grid.SelectAll();
    EXPECT_EQ(SelectedRows(Grid), std::set<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(MultiSelect.count(), 1);
    Grid.SetRowSelected(2, false);
    QMap<int, QColor> backgrounds;
    Grid.OnDrawCell = [&](QPainter*, const QStyleOptionViewItem& option, const QModelIndex& index) {
        backgrounds[index.row()] = option.backgroundBrush.color();
        return false;
    };
    Grid.grab();
    EXPECT_EQ(backgrounds.value(1), QColor(1, 2, 3));
    EXPECT_NE(backgrounds.value(2), QColor(1, 2, 3));
}

TEST_F(GridsWidgetTest, LoadFromList) {
    TObjectStringGrid Objects;
    Prompt->Answer(TMessageButton::OK);
    Objects.LoadFromList<TSampleRecord>(nullptr);
    EXPECT_EQ(Prompt->Texts(), QStringList({"No list assigned"}));

    const QList<TSampleRecord*> empty;
    Objects.LoadFromList(&empty, true, {40}, 3);
    EXPECT_EQ(Objects.rowCount(), 1);
    EXPECT_EQ(Objects.columnCount(), 6);
    EXPECT_EQ(Objects.horizontalHeaderItem(3)->text(), "Tax Rate");
    EXPECT_EQ(Objects.columnWidth(0), 40);
    EXPECT_EQ(SelectedRows(Objects), std::set<int>({0}));
    EXPECT_EQ(Objects.RowRecord(0), nullptr);

    TSampleRecord first, second;
    second.Tax_Code = "FRE";
    const QList<TSampleRecord*> records = {&first, &second};
    Objects.LoadFromList(&records, false, {}, 1);
    EXPECT_EQ(Objects.rowCount(), 2);
    EXPECT_EQ(Objects.item(1, 0)->text(), "FRE");
    EXPECT_EQ(Objects.item(0, 3)->text(), "(1,234.50)");
    EXPECT_EQ(Objects.RowObject<TSampleRecord>(1), &second);
    EXPECT_EQ(SelectedRows(Objects), std::set<int>({1}));
    EXPECT_EQ(Objects.currentRow(), 1);
}

} // namespace
