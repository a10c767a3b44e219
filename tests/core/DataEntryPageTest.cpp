#include "core/transactions/DataEntryPage.h"

#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

namespace {

// Pages of client "ABC123" (June year end, folders in the test's temporary folder) without
// charts.
class DataEntryPageTest : public TChartTest {
protected:
    std::unique_ptr<TDataEntryPage> Page(int kind, const TOptionSet& options = {}) {
        TTransactionListSources sources;
        sources.Entity = Entity;
        sources.Format = Format();
        return TDataEntryPage::Create(sources, kind, 2006, 9, 12, options, false);
    }
    static void Add(TTransactionList& list, const QString& details) {
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(list.PageKind()));
        entry->SetFlags({TransactionFlag::Keyed});
        entry->SetDetails(details);
        list.InsertTransaction(0, std::move(entry), 9);
    }
};

} // namespace

TEST_F(DataEntryPageTest, NewPageStandsOnItsBlankLine) {
    EXPECT_EQ(Page(TTransactionList::UndoListKind), nullptr);
    struct TCase {
        int Kind;
        TOptionSet Options;
        int Rows;
    };
    const TCase cases[] = {
        {pkPayments, {}, 1},
        {pkDeletedTransactions, {}, 1},
        {pkReceipts, {Option::NoBlankLine}, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Kind);
        auto page = Page(c.Kind, c.Options);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->List().PageKind(), c.Kind);
        EXPECT_EQ(page->List().Period(), 9);
        EXPECT_EQ(page->List().Count(), c.Rows);
        EXPECT_EQ(page->CurrentRow, c.Rows);
        EXPECT_EQ(page->TopRow * 100 + page->LeftColumn * 10 + page->CurrentColumn, 110);
        EXPECT_EQ(page->Selection.Left, 0);
        EXPECT_EQ(page->Selection.Right, 0);
        EXPECT_EQ(page->Selection.Top, c.Rows);
        EXPECT_EQ(page->Selection.Bottom, c.Rows);
        EXPECT_EQ(page->UndoList().PageKind(), TTransactionList::UndoListKind);
        EXPECT_EQ(page->UndoList().Count(), 0);
        EXPECT_TRUE(page->UndoList().Saved());
        EXPECT_TRUE(page->DetailsList().isEmpty());
        const TDEFieldOptions& fields = page->FieldOptions();
        EXPECT_EQ(fields.Sets, (std::array<quint32, 3>{2, 4, 2}));
        EXPECT_EQ(fields.Values, (std::array<qint32, 10>{}));
    }
}

TEST_F(DataEntryPageTest, DetailsListHoldsEachTextOnceSorted) {
    auto page = Page(pkPayments);
    for (const char* text : {"Rent", "apple", "rent", "Banana", "", "Rent", "Zinc", "banana"})
        Add(page->List(), QString::fromLatin1(text));
    page->LoadDetailsList();
    // The entries were inserted in front, so the last one added comes first.
    EXPECT_EQ(page->DetailsList(), (QStringList{"apple", "banana", "Rent", "Zinc"}));
    page->List().DeleteTransaction(0);
    page->List().DeleteTransaction(0);
    page->LoadDetailsList();
    EXPECT_EQ(page->DetailsList(), (QStringList{"apple", "Banana", "Rent"}));
}

// The cell texts the buffer is compared with come from the list's grid columns.
TEST_F(DataEntryPageTest, EditBufferReportsTheColumnsThatChanged) {
    auto page = Page(pkPayments);
    Add(page->List(), QStringLiteral("Rent"));
    page->CurrentRow = 1;
    page->LoadEditBuffer(1);
    EXPECT_TRUE(page->EditBuffer[11].isEmpty() && page->EditBuffer[12].isEmpty());
    EXPECT_FALSE(page->EditBufferChanged());
    const std::array<bool, TDataEntryPage::BufferColumns> none{};
    EXPECT_EQ(page->BufferChanged, none);

    for (const int column : {3, 0, 10, 12}) {
        SCOPED_TRACE(column);
        page->LoadEditBuffer(1);
        page->EditBuffer[static_cast<size_t>(column)] += QStringLiteral("9");
        EXPECT_TRUE(page->EditBufferChanged());
        std::array<bool, TDataEntryPage::BufferColumns> expected{};
        expected[static_cast<size_t>(column)] = true;
        EXPECT_EQ(page->BufferChanged, expected);
        page->LoadEditBuffer(1);
        EXPECT_EQ(page->BufferChanged, none);
    }
}

TEST_F(DataEntryPageTest, CloseLeavesTheUndoListUnsaveable) {
    auto page = Page(pkPayments);
    page->UndoList().AddUndoCopy(5, std::make_unique<TTransactionDetail>(5, static_cast<qint16>(pkPayments)));
    page->UndoList().SetSaved(false);
    EXPECT_EQ(page->Close(), 0);
    EXPECT_TRUE(page->UndoList().Saved());
}
