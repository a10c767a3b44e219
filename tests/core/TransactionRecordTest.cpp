#include "core/transactions/TransactionRecord.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/DosTransactionRecord.h"
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/ChartTestSupport.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace TF = TransactionFlag;

namespace {

// A block of tests/data/transactions/records.hex.
QByteArray Record(const char* block) {
    return Stored(QStringLiteral("../transactions/records"), QString::fromLatin1(block));
}
const std::uint8_t* Bytes(const QByteArray& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}
quint32 FlagBits(std::initializer_list<int> flags) {
    quint32 bits = 0;
    for (int flag : flags)
        bits |= 1u << flag;
    return bits;
}

class TTransactionRecordTest : public TServicesFixture {
protected:
    std::unique_ptr<TAccountFormat> Format = MakeFormat("AAAA-SS");
    std::unique_ptr<TAccountFormat> Short = MakeFormat("AAAA");
};

// ---- Keys -------------------------------------------------------------------------------------

TEST(TransactionKeys, MonthSlotIsTheMonthOfTheFinancialYear) {
    struct TCase {
        int Kind, Month, EndMonth, Slot;
    } const cases[] = {
        {pkPayments, 7, 6, 1},
        {pkPayments, 6, 6, 12},
        {pkPayments, 10, 6, 4},
        {pkPayments, 4, 3, 1},
        {pkPayments, 3, 3, 12},
        {pkReceipts, 1, 12, 1},
        {pkReceipts, 12, 12, 12},
        {pkPayments, 0, 6, 1},
        {pkOpeningBalances, 10, 6, 1},
        {pkOpeningUnpresentedCheques, 5, 6, 1},
        {pkStandardBankTransactions, 12, 12, 1},
        {pkDeletedTransactions, 5, 12, 5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Month << " " << c.EndMonth);
        EXPECT_EQ(TransactionMonthSlot(c.Kind, c.Month, c.EndMonth), c.Slot);
        EXPECT_EQ(TransactionKeyBase(c.Kind, c.Month, c.EndMonth),
                  (10 + c.Kind) * 10000000 + c.Slot * 100000);
    }
}

TEST(TransactionKeys, BoundsAndSplitting) {
    EXPECT_EQ(TransactionKeyBase(pkPayments, 10, 6), 110400000);
    const qint32 highest = TransactionSlotKeyBase(pkDeletedTransactions, 12) + DissectionTotalSequence;
    EXPECT_EQ(highest, 241299999);
    EXPECT_LT(highest, std::numeric_limits<qint32>::max());
    for (int kind = 0; kind < PageKindCount; ++kind) {
        for (int slot = 1; slot <= 12; ++slot) {
            int splitKind = -1, splitSlot = -1;
            SplitTransactionKey(TransactionSlotKeyBase(kind, slot) + 99999, splitKind, splitSlot);
            EXPECT_EQ(splitKind * 100 + splitSlot, kind * 100 + slot);
        }
    }
    // Keys written with a slot past twelve still split; the caller checks the slot.
    int kind = 0, slot = 0;
    SplitTransactionKey(241500042, kind, slot);
    EXPECT_EQ(kind * 100 + slot, 1415);
    EXPECT_EQ(TransactionKeySequence(241599999), 99999);
}

TEST(TransactionKeys, NoKeyOutsideTheSlots) {
    const int slotCases[][2] = {{1, 13}, {1, 0}, {15, 1}, {-1, 1}};
    for (const auto& s : slotCases)
        EXPECT_THROW(TransactionSlotKeyBase(s[0], s[1]), EQuilvaneError) << s[0] << " " << s[1];
    const int months[][3] = {{1, 13, 6}, {1, -1, 6}, {1, 5, 0}, {1, 5, 13}, {0, 0, 13}, {15, 5, 6}};
    for (const auto& m : months)
        EXPECT_THROW(TransactionKeyBase(m[0], m[1], m[2]), EQuilvaneError)
            << m[0] << " " << m[1] << " " << m[2];
}

// ---- The entry --------------------------------------------------------------------------------

TEST(TransactionDetail, NewEntriesTakeTheDefaults) {
    for (int kind = 0; kind < PageKindCount; ++kind) {
        SCOPED_TRACE(kind);
        TTransactionDetail entry(TransactionSlotKeyBase(kind, 1), static_cast<qint16>(kind));
        const bool nonCash = kind == pkSalesJournals || kind == pkPurchasesJournals;
        EXPECT_EQ(entry.Flags, FlagBits({TF::Blank}) | (nonCash ? FlagBits({TF::NonCash}) : 0));
        EXPECT_EQ(entry.ID, TransactionSlotKeyBase(kind, 1));
        EXPECT_TRUE(entry.Dissection == -1 && entry.ParentID == -1 && entry.Reference == 1 &&
                    entry.Date == 0.0);
        EXPECT_TRUE(entry.HasNoBankAccount() && entry.PostingCode.IsEmpty());
        EXPECT_TRUE(entry.Rate == 1.0 && entry.Quantity == 0 && entry.TaxCodes == 0 && entry.Amount == 0.0);
        EXPECT_TRUE(entry.Details().isEmpty());
    }
    // SetDefaults leaves ID, kind, amount and details.
    TTransactionDetail entry(150100007, pkPurchasesJournals);
    entry.Amount = 12.5;
    entry.SetDetails("Kept");
    entry.SetFlags({TF::Reconciled, TF::Contra});
    entry.Reference = 42;
    entry.Rate = 2.0;
    entry.Dissection = 150100001;
    entry.BankCode = Acc(100);
    entry.SetDefaults();
    EXPECT_EQ(entry.Flags, FlagBits({TF::Blank, TF::NonCash}));
    EXPECT_TRUE(entry.Reference == 1 && entry.Rate == 1.0 && entry.Dissection == -1 &&
                entry.HasNoBankAccount());
    EXPECT_TRUE(entry.ID == 150100007 && entry.Amount == 12.5 && entry.Details() == "Kept");
}

TEST(TransactionDetail, SettingAndClearingFlags) {
    TTransactionDetail purchase(150100001, pkPurchasesJournals);
    purchase.SetFlags({TF::Reconciled});
    EXPECT_EQ(purchase.Flags, FlagBits({TF::Reconciled, TF::NonCash}));
    EXPECT_TRUE(purchase.HasAnyFlag({TF::Blank, TF::Reconciled}));
    EXPECT_FALSE(purchase.HasAnyFlag({TF::Blank, TF::Contra}));
    EXPECT_TRUE(purchase.HasAllFlags({TF::Reconciled, TF::NonCash}));
    EXPECT_FALSE(purchase.HasAllFlags({TF::Reconciled, TF::Blank}));

    struct TCase {
        std::initializer_list<int> Had, Cleared;
        qint32 Reference;
    } const cases[] = {
        {{TF::DissectionMember, TF::Contra}, {TF::DissectionMember, TF::Contra}, 0},
        {{TF::Contra}, {TF::Contra}, 0},
        {{TF::DissectionMember, TF::Contra}, {TF::DissectionMember}, ContraReference},
        {{TF::DissectionMember}, {TF::DissectionMember}, ContraReference},
        {{TF::DissectionMember}, {TF::Contra}, ContraReference},
    };
    for (const TCase& c : cases) {
        TTransactionDetail entry(110100001, pkPayments);
        entry.SetFlags(c.Had);
        entry.Reference = ContraReference;
        entry.ClearFlags(c.Cleared);
        EXPECT_FALSE(entry.HasAnyFlag(c.Cleared));
        EXPECT_EQ(entry.Reference, c.Reference) << FlagBits(c.Had) << " less " << FlagBits(c.Cleared);
    }
}

TEST(TransactionDetail, LocalAmountsToTheCent) {
    struct TCase {
        int Kind;
        double Amount, Rate, Local;
    } const cases[] = {
        {pkReceipts, 100.0, 2.0, -50.0},
        {pkPayments, 100.0, 3.0, 33.33},
        {pkPayments, 100.0, 0.0, 100.0},
        {pkPayments, 100.0, -2.0, 100.0},
        {pkReceipts, 100.0, 0.0, -100.0},
        {pkPayments, 0.125, 1.0, 0.12}, // halves go to the even cent
        {pkPayments, 0.375, 1.0, 0.38},
        {pkPayments, 200.0, 3.0, 66.67},
        {pkSalesJournals, 10.0, 1.0, -10.0},
        {pkBankStatementDeposits, 10.0, 1.0, -10.0},
        {pkOpeningOutstandingDeposits, 10.0, 1.0, -10.0},
        {pkPurchasesJournals, 10.0, 1.0, 10.0},
        {pkBankStatementWithdrawals, 10.0, 1.0, 10.0},
        {pkOpeningUnpresentedCheques, 10.0, 1.0, 10.0},
    };
    for (const TCase& c : cases) {
        TTransactionDetail entry(0, static_cast<qint16>(c.Kind));
        entry.Amount = c.Amount;
        entry.Rate = c.Rate;
        EXPECT_DOUBLE_EQ(entry.GetLocalAmount(), c.Local) << c.Kind << " " << c.Amount << " at " << c.Rate;
    }
}

TEST(TransactionDetail, CodesAndDetails) {
    TTransactionDetail entry(110100001, pkPayments);
    entry.BankCode = MakeCode(1, -1, 100, 0);
    entry.PostingCode = Acc(2000);
    EXPECT_TRUE(entry.SameCode(Acc(2000), true) && entry.SameCode(MakeCode(1, -1, 100, 0), false));
    EXPECT_FALSE(entry.SameCode(Acc(2000), false) || entry.SameCode(Acc(100), false));
    EXPECT_FALSE(entry.HasNoBankAccount());

    const QString long60 = QStringLiteral("Café contra total to a very long account description of 60!");
    entry.SetDetails(long60);
    EXPECT_EQ(entry.Details(), long60.left(54));
    EXPECT_EQ(static_cast<int>(entry.DetailsField()[0]), 54);
    entry.SetDetails(QStringLiteral("€ short"));
    EXPECT_EQ(entry.Details(), QStringLiteral("€ short"));
    EXPECT_EQ(entry.DetailsField()[1], '\x80');
    EXPECT_EQ(entry.DetailsField()[9], '\0') << "the rest of the field is cleared";
    TTransactionDetail copy;
    copy.Assign(entry);
    EXPECT_EQ(TransactionRecordBytes(copy), TransactionRecordBytes(entry));
}

// ---- The 125-byte record ----------------------------------------------------------------------

TEST(TransactionRecord, BodyMatchesTheLayout) {
    const QByteArray golden = Record("body");
    ASSERT_EQ(golden.size(), TransactionRecordSize);
    const TTransactionDetail entry = ReadTransactionRecord(Bytes(golden));
    EXPECT_EQ(entry.ID, 110300005);
    EXPECT_EQ(entry.PageKind, pkPayments);
    EXPECT_EQ(entry.Dissection, 110300002);
    EXPECT_EQ(entry.ParentID, -1);
    EXPECT_EQ(entry.Flags, FlagBits({0, 3, 8, 18, 31}));
    EXPECT_EQ(entry.Date, EncodeDateNum(2005, 10, 15));
    EXPECT_EQ(entry.Reference, 123456);
    EXPECT_EQ(entry.BankCode, MakeCode(1, -1, 100, 0));
    EXPECT_EQ(entry.PostingCode, MakeCode(2, -1, 1000, 5));
    EXPECT_EQ(entry.Amount, -1234.56);
    EXPECT_EQ(entry.Rate, 0.75);
    EXPECT_EQ(entry.Quantity, 7);
    EXPECT_EQ(entry.TaxCodes, FlagBits({1, 4}));
    EXPECT_EQ(entry.Details(), QStringLiteral("Payment to Café Noël, € 54 char detail incl. bytes: ok"));
    EXPECT_FALSE(IsTransactionHeaderRecord(Bytes(golden)));
    EXPECT_EQ(TransactionRecordBytes(entry), golden);

    // Built field by field, the same bytes.
    TTransactionDetail built(110300005, pkPayments);
    built.Dissection = 110300002;
    built.Flags = FlagBits({0, 3, 8, 18, 31});
    built.Date = EncodeDateNum(2005, 10, 15);
    built.Reference = 123456;
    built.BankCode = MakeCode(1, -1, 100, 0);
    built.PostingCode = MakeCode(2, -1, 1000, 5);
    built.Amount = -1234.56;
    built.Rate = 0.75;
    built.Quantity = 7;
    built.TaxCodes = FlagBits({1, 4});
    built.SetDetails(entry.Details());
    EXPECT_EQ(TransactionRecordBytes(built), golden);
}

TEST(TransactionRecord, HeaderHoldsTheSortOrder) {
    const QByteArray golden = Record("header");
    EXPECT_EQ(TransactionHeaderRecord(5, "ABC123", "QUILVANE"), golden);
    EXPECT_TRUE(IsTransactionHeaderRecord(Bytes(golden)));
    EXPECT_EQ(TransactionHeaderSortOrder(Bytes(golden)), 5);
    QByteArray damaged = golden;
    damaged[62] = '\xff';
    EXPECT_EQ(TransactionHeaderSortOrder(Bytes(damaged)), 127);
    // Either mark alone makes a header.
    QByteArray flagOnly = Record("body");
    flagOnly[15] = '\x05';
    EXPECT_TRUE(IsTransactionHeaderRecord(Bytes(flagOnly)));
    QByteArray idOnly = golden;
    idOnly[15] = '\0';
    EXPECT_TRUE(IsTransactionHeaderRecord(Bytes(idOnly)));
    // A long file code and format make a text cut to 54.
    const QByteArray longHeader = TransactionHeaderRecord(0, "ABC123", QString(40, u'F'));
    EXPECT_EQ(static_cast<int>(longHeader[70]), 54);
    EXPECT_EQ(longHeader.size(), TransactionRecordSize);
}

TEST(TransactionRecord, DamagedFieldsReadSafely) {
    const QByteArray golden = Record("body");
    struct TCase {
        int Offset;
        double Value;
        double TTransactionDetail::*Field;
    } const cases[] = {{18, std::nan(""), &TTransactionDetail::Date},
                       {46, std::numeric_limits<double>::infinity(), &TTransactionDetail::Amount},
                       {54, -std::numeric_limits<double>::infinity(), &TTransactionDetail::Rate},
                       {46, std::nan(""), &TTransactionDetail::Amount}};
    for (const TCase& c : cases) {
        QByteArray bytes = golden;
        const auto bits = std::bit_cast<quint64>(c.Value);
        for (int i = 0; i < 8; ++i)
            bytes[c.Offset + i] = static_cast<char>(bits >> (8 * i));
        const TTransactionDetail entry = ReadTransactionRecord(Bytes(bytes));
        EXPECT_EQ(entry.*c.Field, 0.0) << c.Offset;
        EXPECT_EQ(entry.Reference, 123456);
    }
    QByteArray longDetails = golden;
    longDetails[70] = '\xff';
    const TTransactionDetail entry = ReadTransactionRecord(Bytes(longDetails));
    EXPECT_EQ(entry.Details().size(), 54);
    EXPECT_EQ(TransactionRecordBytes(entry), golden) << "written back with the length cut to its field";
}

// ---- The older forms --------------------------------------------------------------------------

TEST_F(TTransactionRecordTest, OlderRecordsMatchTheLayouts) {
    struct TCase {
        const char* Block;
        TDosRecordForm Form;
        bool ShortCodes;
        double Date;
        qint32 Reference;
        qint32 Dissection;
        quint32 Flags;
        TAccountCode Posting, Bank;
        double Amount;
        QString Details;
    } const cases[] = {
        {"v41-record", TDosRecordForm::V41, false, EncodeDateNum(2005, 10, 15), 1234, 3,
         FlagBits({TF::Keyed, TF::DissectionMember}), Acc(1000), Acc(100), -1234.56, "Rent October"},
        {"v4-record", TDosRecordForm::V4, false, EncodeDateNum(1990, 7, 1), BankReference, -1,
         FlagBits({TF::Keyed}), Acc(200), Acc(200), 0.01, "Fees"},
        {"v3-record", TDosRecordForm::V3, true, EncodeDateNum(2004, 2, 29), ContraReference, -1,
         FlagBits({TF::Keyed, TF::Contra}), Acc(100), Acc(100), 1e10,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Block);
        const QByteArray bytes = Record(c.Block);
        ASSERT_EQ(bytes.size(), DosRecordSize(c.Form));
        TAccountCode posting = c.Posting, bank = c.Bank;
        if (!c.ShortCodes) {
            posting.SubAccount = c.Block == std::string("v41-record") ? 5 : 0;
            bank.SubAccount = 0;
        }
        TTransactionDetail entry(110100001, pkPayments);
        const TDosCodeFormat codes{"QUILVANE", c.ShortCodes ? Short.get() : Format.get()};
        const auto read = c.Form == TDosRecordForm::V41  ? ReadTransRecV41
                          : c.Form == TDosRecordForm::V4 ? ReadTransRecV4
                                                         : ReadTransRecV3;
        EXPECT_TRUE(read(Bytes(bytes), entry, codes));
        EXPECT_EQ(entry.Date, c.Date);
        EXPECT_EQ(entry.Reference, c.Reference);
        EXPECT_EQ(entry.Dissection, c.Dissection);
        EXPECT_EQ(entry.Flags, c.Flags);
        EXPECT_EQ(entry.PostingCode, posting);
        EXPECT_EQ(entry.BankCode, bank);
        EXPECT_NEAR(entry.Amount, c.Amount, 1e-6) << "a Real48 holds 39 bits of fraction";
        EXPECT_EQ(entry.Details(), c.Details);
        EXPECT_EQ(entry.ID, 110100001);
        EXPECT_FALSE(IsDosHeaderRecord(c.Form, Bytes(bytes)));
    }
}

TEST_F(TTransactionRecordTest, OlderHeadersAreKnownByTheirPlainText) {
    struct TCase {
        const char* Block;
        TDosRecordForm Form;
        bool Header;
    } const cases[] = {
        {"v41-header", TDosRecordForm::V41, true}, {"v41-header", TDosRecordForm::V4, false},
        {"v4-header", TDosRecordForm::V4, true},   {"v4-header", TDosRecordForm::V41, false},
        {"v41-header", TDosRecordForm::V3, false}, {"v4-header", TDosRecordForm::V3, false},
    };
    for (const TCase& c : cases) {
        const QByteArray bytes = Record(c.Block).leftJustified(DosRecordSize(c.Form), '\0');
        EXPECT_EQ(IsDosHeaderRecord(c.Form, Bytes(bytes)), c.Header) << c.Block << " " << int(c.Form);
    }
    EXPECT_EQ(DosHeaderRecordV41(), Record("v41-header"));
}

TEST_F(TTransactionRecordTest, TheFourByteFormIsWrittenAsLaidOut) {
    TTransactionDetail entry(110300005, pkPayments);
    entry.Date = EncodeDateNum(2005, 10, 15);
    entry.Reference = 561234; // the last four of six digits
    entry.Dissection = 110300002;
    entry.PostingCode = MakeCode(-1, -1, 1000, 5);
    entry.BankCode = MakeCode(-1, -1, 100, 0);
    entry.Amount = -1234.56;
    entry.SetDetails("Rent October");
    EXPECT_EQ(WriteTransRecV41(entry, *Format), Record("v41-record"));

    struct TCase {
        qint32 Reference, Dissection;
        int StoredReference, StoredDissection;
    } const cases[] = {
        {BankReference, -1, 19999, 0},          {OpeningBalanceReference, 110340000, 1, 32767},
        {ContraReference, 110399999, 0, 32767}, {7, 110300000, 7, 1},
        {1000000, 110332766, 0, 32767},         {-1, 110332765, 0, 32766},
    };
    for (const TCase& c : cases) {
        entry.Reference = c.Reference;
        entry.Dissection = c.Dissection;
        const QByteArray bytes = WriteTransRecV41(entry, *Format);
        EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + 9), c.StoredReference) << c.Reference;
        EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + 11), c.StoredDissection) << c.Dissection;
    }
    // Details are cut to 40 characters, and written doubled.
    entry.SetDetails(QString(50, u'x'));
    const QByteArray bytes = WriteTransRecV41(entry, *Format);
    EXPECT_EQ(bytes.size(), 84);
    EXPECT_EQ(static_cast<int>(bytes[43]), 40);
    EXPECT_EQ(bytes.mid(44, 40), QByteArray(40, char('x' << 1)));
}

TEST_F(TTransactionRecordTest, OlderRecordsReadBackWhatWasWritten) {
    TTransactionDetail entry(110300005, pkPayments);
    entry.Date = EncodeDateNum(2012, 2, 29);
    entry.Reference = 9999;
    entry.PostingCode = MakeCode(-1, -1, 4321, 12);
    entry.BankCode = MakeCode(-1, -1, 100, 0);
    entry.Amount = 98765.43;
    entry.SetDetails("Mixed Case details; 40 characters long!!");
    TTransactionDetail back(110300005, pkPayments);
    EXPECT_TRUE(ReadTransRecV41(Bytes(WriteTransRecV41(entry, *Format)), back, {"QUILVANE", Format.get()}));
    EXPECT_TRUE(back.Date == entry.Date && back.Reference == 9999 && back.Dissection == -1);
    EXPECT_TRUE(back.PostingCode == entry.PostingCode && back.BankCode == entry.BankCode);
    EXPECT_NEAR(back.Amount, entry.Amount, 1e-7);
    EXPECT_EQ(back.Details(), entry.Details());
}

TEST_F(TTransactionRecordTest, DamagedOlderRecords) {
    // Length bytes beyond their fields are cut; unreadable dates and codes read as none.
    QByteArray bytes = Record("v41-record");
    bytes[0] = '\xff';  // date length
    bytes[19] = '\x0c'; // posting length past 8: "1000-05" and a zero byte, not the bank field
    bytes[28] = '\x00'; // no bank code
    TTransactionDetail entry(110100001, pkPayments);
    EXPECT_TRUE(ReadTransRecV41(Bytes(bytes), entry, {"QUILVANE", Format.get()}));
    EXPECT_EQ(entry.Date, EncodeDateNum(2005, 10, 15));
    EXPECT_TRUE(entry.HasNoBankAccount());
    EXPECT_EQ(entry.PostingCode.Account, 1000);
    EXPECT_EQ(entry.Details(), "Rent October");
    bytes[2] = 'x';
    EXPECT_FALSE(ReadTransRecV41(Bytes(bytes), entry, {"QUILVANE", Format.get()}));
    EXPECT_EQ(entry.Date, 0.0);
    // No format: no codes; posting equal to an empty bank is no contra.
    QByteArray contra = Record("v3-record");
    TTransactionDetail plain(110100001, pkPayments);
    ReadTransRecV3(Bytes(contra), plain, {});
    EXPECT_TRUE(plain.HasNoBankAccount() && plain.PostingCode.IsEmpty());
    EXPECT_EQ(plain.Reference, 0);
    EXPECT_FALSE(plain.HasAnyFlag({TF::Contra}));
}

TEST(DosDates, FixedPatternAndPivot) {
    struct TCase {
        const char* Text;
        double Date;
    } const cases[] = {
        {"15/10/05", EncodeDateNum(2005, 10, 15)},
        {"01/07/90", EncodeDateNum(1990, 7, 1)},
        {"31/12/89", EncodeDateNum(2089, 12, 31)},
        {"1/7/05", EncodeDateNum(2005, 7, 1)},
        {"29/02/04", EncodeDateNum(2004, 2, 29)},
        {"29/02/05", 0.0},
        {"31/06/05", 0.0},
        {"15-10-05", 0.0},
        {"10/15/05", 0.0},
        {"15/10/2005", 0.0},
        {"", 0.0},
        {"ab/cd/ef", 0.0},
        {"00/10/05", 0.0},
        {"+1/10/05", 0.0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DosDateToDateNum(c.Text), c.Date) << c.Text;
}

} // namespace
