#include "core/transactions/DataEntryPage.h"

#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

namespace {

// Pages of March 2006 of client "ABC123" (June year end) without charts.
class DataEntryPageTest : public TChartTest {
protected:
    std::unique_ptr<TDataEntryPage> Page(int kind, const TOptionSet& options = {}) {
        TTransactionListSources sources;
        sources.Entity = Entity;
        return TDataEntryPage::Create(sources, kind, 2006, 9, 12, options, false);
    }
    static void Add(TTransactionList& list, const char* details) {
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(list.PageKind()));
        entry->SetFlags({TransactionFlag::Keyed});
        entry->SetDetails(QString::fromLatin1(details));
        list.InsertTransaction(0, std::move(entry), 9);
    }
};

} // namespace

TEST_F(DataEntryPageTest, NewPageStandsOnItsLastRow) {
    EXPECT_EQ(Page(TTransactionList::UndoListKind), nullptr);
    for (const auto& [kind, options, rows] : {std::tuple{int(pkPayments), TOptionSet{}, 1},
                                              {int(pkDeletedTransactions), TOptionSet{}, 1},
                                              {int(pkReceipts), TOptionSet{Option::NoBlankLine}, 0}}) {
        auto page = Page(kind, options);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->List().PageKind() * 10 + page->List().Count(), kind * 10 + rows);
        EXPECT_EQ(page->TopRow * 1000 + page->CurrentRow * 100 + page->LeftColumn * 10 + page->CurrentColumn,
                  1010 + rows * 100);
        const auto& s = page->Selection;
        EXPECT_EQ(std::tuple(s.Left, s.Top, s.Right, s.Bottom), std::tuple(0, rows, 0, rows));
        EXPECT_EQ(page->UndoList().PageKind() * 10 + page->UndoList().Count(), -10);
        EXPECT_TRUE(page->UndoList().Saved() && page->DetailsList().isEmpty());
        EXPECT_EQ(page->FieldOptions().Sets, (std::array<quint32, 3>{2, 4, 2}));
        EXPECT_EQ(page->FieldOptions().Values, (std::array<qint32, 10>{}));
    }
}

TEST_F(DataEntryPageTest, DetailsListHoldsEachTextOnceSorted) {
    auto page = Page(pkPayments);
    for (const char* text : {"Rent", "apple", "rent", "Banana", "", "Rent", "Zinc", "banana"})
        Add(page->List(), text); // each in front: the last comes first
    page->LoadDetailsList();
    EXPECT_EQ(page->DetailsList(), (QStringList{"apple", "banana", "Rent", "Zinc"}));
    page->List().DeleteTransaction(0);
    page->List().DeleteTransaction(0);
    page->LoadDetailsList();
    EXPECT_EQ(page->DetailsList(), (QStringList{"apple", "Banana", "Rent"}));
}

// The buffer is compared with the cell texts of the list's grid columns.
TEST_F(DataEntryPageTest, EditBufferReportsTheColumnsThatChanged) {
    auto page = Page(pkPayments);
    Add(page->List(), "Rent");
    const std::array<bool, TDataEntryPage::BufferColumns> none{};
    for (const int column : {3, 0, 10, 12}) {
        page->LoadEditBuffer(1);
        EXPECT_TRUE(page->EditBuffer[11].isEmpty() && page->EditBuffer[12].isEmpty());
        EXPECT_FALSE(page->EditBufferChanged());
        EXPECT_EQ(page->BufferChanged, none);
        page->EditBuffer[static_cast<size_t>(column)] += QStringLiteral("9");
        EXPECT_TRUE(page->EditBufferChanged());
        auto expected = none;
        expected[static_cast<size_t>(column)] = true;
        EXPECT_EQ(page->BufferChanged, expected) << column;
        page->LoadEditBuffer(1);
        EXPECT_EQ(page->BufferChanged, none);
    }
}

TEST_F(DataEntryPageTest, CloseLeavesTheUndoListUnsaveable) {
    auto page = Page(pkPayments);
    page->UndoList().SetSaved(false);
    EXPECT_EQ(page->Close(), 0);
    EXPECT_TRUE(page->UndoList().Saved());
}
