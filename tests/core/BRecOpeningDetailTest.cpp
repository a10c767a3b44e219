#include "core/charts/BRecOpeningDetail.h"

#include "core/io/StreamError.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/StoredItemSupport.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>

namespace {

// Account 1010, opened 1/7/2005 with 1.50 in the cash book and 100.00 on the statement, first
// period ending 31/7/2005, completed, slot 10 ("A").
const char* const StoredDetail = "02 FF 02 FF 03 F2 03 02 FF"
                                 "05 00 00 00 00 00 00 BE B2 12 40" // 732128
                                 "05 00 00 00 00 00 00 00 C0 FF 3F" // 1.5
                                 "05 00 00 00 00 00 00 00 00 00 00" // 0
                                 "05 00 00 00 00 00 00 00 C8 05 40" // 100
                                 "05 00 00 00 00 00 E0 BF B2 12 40" // 732158
                                 "05 00 00 00 00 00 00 00 00 00 00" // 0
                                 "05 00 00 00 00 00 E0 BF B2 12 40" // reconciled to 732158
                                 "09 08 02 0A"
                                 "06 0C 41 42 43 31 32 33 30 36 2E 52 55 41"  // ABC12306.RUA
                                 "06 0C 41 42 43 31 32 33 30 36 2E 52 4D 41"; // ABC12306.RMA

} // namespace

TEST(BRecOpeningDetail, StoredFormRoundTripsAndDropsTheFolderOfTheFileNames) {
    TBRecOpeningDetail detail = ReadStoredItem<TBRecOpeningDetail>(Hex(StoredDetail));
    EXPECT_EQ(detail.BankAccount, MakeCode(-1, -1, 1010, -1));
    EXPECT_EQ(detail.Open_Bal_Date, 732128.0);
    EXPECT_EQ(detail.Cashbook_Open_Bal, 1.5);
    EXPECT_EQ(detail.Statement_Open_Bal, 100.0);
    EXPECT_EQ(detail.PeriodEnd, 732158.0);
    EXPECT_EQ(detail.Reconciled_To, 732158.0);
    EXPECT_TRUE(detail.Completed);
    EXPECT_FALSE(detail.Flag2);
    EXPECT_EQ(detail.Slot, 10);
    EXPECT_EQ(detail.UnmatchedFile, QStringLiteral("ABC12306.RUA"));
    EXPECT_EQ(WriteStoredItem(detail), Hex(StoredDetail));

    detail.BuildFileNames(QStringLiteral("C:\\QUILVANE\\DATA"), QStringLiteral("ABC123"), 2006);
    EXPECT_EQ(detail.UnmatchedFile, QStringLiteral("C:\\QUILVANE\\DATA\\BANK_REC\\ABC12306.RUA"));
    EXPECT_EQ(detail.MatchedFile, QStringLiteral("C:\\QUILVANE\\DATA\\BANK_REC\\ABC12306.RMA"));
    EXPECT_EQ(WriteStoredItem(detail), Hex(StoredDetail));
}

TEST(BRecOpeningDetail, StoredSlotOutsideTheRangeIsNoSlot) {
    QByteArray bytes = Hex(StoredDetail);
    bytes.replace(Hex("09 08 02 0A"), Hex("09 08 02 23")); // 35
    EXPECT_EQ(ReadStoredItem<TBRecOpeningDetail>(bytes).Slot, TBRecOpeningDetail::NoSlot);
    bytes = Hex(StoredDetail);
    bytes.replace(Hex("09 08 02 0A"), Hex("09 08 02 FE")); // -2
    EXPECT_EQ(ReadStoredItem<TBRecOpeningDetail>(bytes).Slot, TBRecOpeningDetail::NoSlot);
}

TEST(BRecOpeningDetail, DamagedDetailFailsAsStreamError) {
    EXPECT_THROW(ReadStoredItem<TBRecOpeningDetail>(Hex(StoredDetail).left(40)), EStreamError);
    QByteArray bytes = Hex(StoredDetail);
    bytes.replace(Hex("05 00 00 00 00 00 00 00 C0 FF 3F"),
                  Hex("05 00 00 00 00 00 00 00 80 FF 7F")); // infinity
    EXPECT_THROW(ReadStoredItem<TBRecOpeningDetail>(bytes), EStreamError);
    bytes = Hex(StoredDetail);
    bytes.replace(Hex("09 08 02 0A"), Hex("09 08 06 01 41")); // a text where the slot belongs
    EXPECT_THROW(ReadStoredItem<TBRecOpeningDetail>(bytes), EStreamError);
}

TEST(BRecOpeningDetail, SlotCharactersAndFileNames) {
    EXPECT_EQ(TBRecOpeningDetail::SlotCharacter(0), QLatin1Char('0'));
    EXPECT_EQ(TBRecOpeningDetail::SlotCharacter(9), QLatin1Char('9'));
    EXPECT_EQ(TBRecOpeningDetail::SlotCharacter(10), QLatin1Char('A'));
    EXPECT_EQ(TBRecOpeningDetail::SlotCharacter(34), QLatin1Char('Y'));
    EXPECT_TRUE(TBRecOpeningDetail::SlotCharacter(35).isNull());
    EXPECT_TRUE(TBRecOpeningDetail::SlotCharacter(-1).isNull());

    EXPECT_EQ(TBRecOpeningDetail::ReconciliationFileName(QStringLiteral("D:\\DATA"), QStringLiteral("XYZ"),
                                                         2000, 3, false),
              QStringLiteral("D:\\DATA\\BANK_REC\\XYZ00.RU3"));
    EXPECT_EQ(TBRecOpeningDetail::ReconciliationFileName(QStringLiteral("D:\\DATA"), QStringLiteral("XYZ"),
                                                         1999, 34, true),
              QStringLiteral("D:\\DATA\\BANK_REC\\XYZ99.RMY"));
    EXPECT_TRUE(TBRecOpeningDetail::ReconciliationFileName(QStringLiteral("D:\\DATA"), QStringLiteral("XYZ"),
                                                           2006, -1, true)
                    .isEmpty());

    TBRecOpeningDetail detail;
    detail.Slot = TBRecOpeningDetail::NoSlot;
    detail.UnmatchedFile = QStringLiteral("old");
    detail.BuildFileNames(QStringLiteral("D:\\DATA"), QStringLiteral("XYZ"), 2006);
    EXPECT_TRUE(detail.UnmatchedFile.isEmpty());
    EXPECT_TRUE(detail.MatchedFile.isEmpty());
}

TEST(BRecOpeningDetail, CompletingCopiesThePeriodEnd) {
    TBRecOpeningDetail detail;
    EXPECT_EQ(detail.GetReconciledToText(), QStringLiteral("Not Reconciled"));
    detail.PeriodEnd = 732158.0;
    detail.SetCompleted(true);
    EXPECT_TRUE(detail.Completed);
    EXPECT_EQ(detail.Reconciled_To, 732158.0);
    detail.SetCompleted(false);
    EXPECT_FALSE(detail.Completed);
    EXPECT_EQ(detail.Reconciled_To, TBRecOpeningDetail::NotReconciled);
    detail.Cashbook_Open_Bal = -12.5;
    EXPECT_EQ(detail.GetCashbookOpenBalText(), QStringLiteral("-12.50"));
}
