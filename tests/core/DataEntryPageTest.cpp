#include "core/transactions/DataEntryPage.h"

#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

namespace {

// Pages of March 2006 of client "ABC123" (June year end) without charts; Add puts an entry in
// front of the page's entries.
class DataEntryPageTest : public TChartTest {
protected:
    std::unique_ptr<TDataEntryPage> Page(int kind, const TOptionSet& options = {}) {
        return TDataEntryPage::Create(TTransactionListSources{Entity}, kind, 2006, 9, 12, options, false);
    }
    static void Add(TTransactionList& list, const char* details) {
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(list.PageKind()));
        entry->Flags = 1u << TransactionFlag::Keyed;
        entry->SetDetails(QString::fromLatin1(details));
        list.InsertTransaction(0, std::move(entry), 9);
    }
};

} // namespace

TEST_F(DataEntryPageTest, NewPageStandsOnItsLastRow) {
    EXPECT_EQ(Page(TTransactionList::UndoListKind), nullptr);
    for (const auto& [kind, options, rows] : {std::tuple{int(pkPayments), TOptionSet{}, 1},
                                              {int(pkReceipts), TOptionSet{Option::NoBlankLine}, 0}}) {
        auto page = Page(kind, options);
        ASSERT_NE(page, nullptr);
        const auto& s = page->Selection;
        EXPECT_EQ(std::tuple(page->List().PageKind(), page->List().Count(), page->CurrentRow, page->TopRow,
                             page->LeftColumn, int(page->CurrentColumn), s.Left, s.Top, s.Right, s.Bottom),
                  std::tuple(kind, rows, rows, 1, 1, 0, 0, rows, 0, rows));
        EXPECT_EQ(page->UndoList().PageKind(), TTransactionList::UndoListKind);
    }
}

TEST_F(DataEntryPageTest, DetailsListHoldsEachTextOnceSorted) {
    auto page = Page(pkPayments);
    for (const char* text : {"Rent", "apple", "rent", "Banana", "", "Rent", "Zinc", "banana"})
        Add(page->List(), text);
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
    for (const size_t column : {3, 0, 10, 12}) {
        page->LoadEditBuffer(1);
        EXPECT_TRUE(page->EditBuffer[11].isEmpty() && page->EditBuffer[12].isEmpty());
        EXPECT_FALSE(page->EditBufferChanged());
        page->EditBuffer[column] += QStringLiteral("9");
        EXPECT_TRUE(page->EditBufferChanged());
        auto expected = none;
        expected[column] = true;
        EXPECT_EQ(page->BufferChanged, expected) << column;
        page->LoadEditBuffer(1);
        EXPECT_EQ(page->BufferChanged, none);
    }
}
