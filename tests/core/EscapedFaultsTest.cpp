// A page that stood at its last column when the file closed comes back at that column.
#include "tests/core/EntityTestSupport.h"

#include "tests/core/ChartTestSupport.h"

#include "core/dates/DateNumbers.h"
#include "core/entity/EntityInfo.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"

namespace {

// File ABC123 (year to June 2006) on disk; pages reopen with the desktop.
class PageColumnReopenTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        WriteRecordBytes(SmallRecord());
        Params->RestoreDesktop = TEntityInfo::DesktopRestoresPages;
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        TEntityInfo::SetSessionLog([](const TLogSession&) {});
    }
    void TearDown() override {
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }
    static std::unique_ptr<TEntityInfo> OpenFile() {
        auto file = TEntityInfo::Create("ABC123", {Standard, Load});
        file->OpenYear();
        return file;
    }
};

} // namespace

TEST_F(PageColumnReopenTest, APageSavedAtItsLastColumnReopensThere) {
    // The column recorded, and the column the page comes back at (beyond the last: the last).
    const std::pair<int, int> cases[] = {{TTransactionGrid::ColumnCount - 1, TTransactionGrid::ColumnCount - 1},
                                         {TTransactionGrid::ColumnCount, TTransactionGrid::ColumnCount - 1},
                                         {1, 1}};
    for (const auto& [recorded, reopened] : cases) {
        SCOPED_TRACE(recorded);
        Params->RestoreDesktop = 1; // the page of the case before stays closed
        auto file = OpenFile();
        Params->RestoreDesktop = TEntityInfo::DesktopRestoresPages;
        auto page = TDataEntryPage::Create(file->ListSources(2006), pkPayments, 2006, 9, 12, {Standard, Load}, false);
        TTransactionList& list = page->List();
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(pkPayments));
        entry->SetFlags({TransactionFlag::Keyed});
        entry->Date = EncodeDateNum(list.StartYear(), list.StartMonth(), 5);
        entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
        list.InsertTransaction(list.Count() - 1, std::move(entry), 0);
        page->CurrentRow = 1;
        page->CurrentColumn = static_cast<quint8>(recorded);
        file->InsertDataEntryPage(-1, list.GetPeriodTitle(false), std::move(page));
        file->RecordOpenPages();
        file->Close();

        file = OpenFile();
        ASSERT_EQ(file->DataEntryPageCount(), 1);
        const TDataEntryPage& back = *file->DataEntryPage(0);
        EXPECT_EQ(std::tuple(back.CurrentRow, int(back.CurrentColumn), back.Selection.Left),
                  std::tuple(1, reopened, reopened));
        file->Close();
    }
}
