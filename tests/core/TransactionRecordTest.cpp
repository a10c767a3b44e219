#include "core/transactions/TransactionRecord.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/DosTransactionRecord.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/util/FlagSets.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/ChartTestSupport.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>

namespace TF = TransactionFlag;

namespace {

// A block of tests/data/transactions/records.hex, padded with zeros to at least minSize.
QByteArray Record(const char* block, int minSize = 0) {
    return HexBlock(TestData("transactions/records.hex"), block).leftJustified(minSize, '\0');
}
const std::uint8_t* Bytes(const QByteArray& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}
quint32 Bits(std::initializer_list<int> flags) {
    return FlagSetInclude(0, flags);
}

TEST(TransactionKeys, MonthSlotsAndBounds) {
    const int cases[][4] = {// kind, month, year-end month, slot
                            {1, 7, 6, 1},  {1, 6, 6, 12},   {1, 10, 6, 4}, {1, 4, 3, 1},
                            {2, 3, 3, 12}, {2, 1, 12, 1},   {1, 0, 6, 1},  {0, 10, 6, 1},
                            {10, 5, 6, 1}, {13, 12, 12, 1}, {14, 5, 12, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(TransactionMonthSlot(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_EQ(TransactionKeyBase(c[0], c[1], c[2]), (10 + c[0]) * 10000000 + c[3] * 100000);
    }
    int kind = 0, slot = 0;
    SplitTransactionKey(241500042, kind, slot); // slots past twelve split as stored
    EXPECT_EQ(kind * 100 + slot, 1415);
    EXPECT_EQ(TransactionKeySequence(241599998), TaxLineSequence);
    const int badSlots[][2] = {{1, 13}, {1, 0}, {15, 1}, {-1, 1}};
    for (const auto& b : badSlots)
        EXPECT_THROW(TransactionSlotKeyBase(b[0], b[1]), EQuilvaneError) << b[0] << " " << b[1];
    const int badMonths[][3] = {{1, 13, 6}, {1, -1, 6}, {1, 5, 0}, {0, 0, 13}, {15, 5, 6}};
    for (const auto& b : badMonths)
        EXPECT_THROW(TransactionKeyBase(b[0], b[1], b[2]), EQuilvaneError)
            << b[0] << " " << b[1] << " " << b[2];
}

TEST(TransactionDetail, DefaultsAndFlags) {
    TTransactionDetail entry(150100007, pkPurchasesJournals);
    entry.Amount = 12.5;
    entry.SetDetails("Kept");
    entry.SetFlags({TF::Reconciled}); // no longer blank
    EXPECT_EQ(entry.Flags, Bits({TF::Reconciled, TF::NonCash}));
    EXPECT_TRUE(entry.HasAnyFlag({TF::Blank, TF::Reconciled}) &&
                !entry.HasAllFlags({TF::Reconciled, TF::Blank}));
    entry.Reference = 42;
    entry.BankCode = Acc(100);
    entry.SetDefaults(); // keeps ID, kind, amount and details
    EXPECT_TRUE(entry.Flags == Bits({TF::Blank, TF::NonCash}) && entry.Reference == 1 &&
                entry.HasNoBankAccount());
    EXPECT_TRUE(entry.ID == 150100007 && entry.Amount == 12.5 && entry.Details() == "Kept");

    struct TCase {
        std::initializer_list<int> Had, Cleared;
        qint32 Reference;
    } const cases[] = {{{TF::DissectionMember, TF::Contra}, {TF::DissectionMember, TF::Contra}, 0},
                       {{TF::DissectionMember, TF::Contra}, {TF::DissectionMember}, ContraReference},
                       {{TF::DissectionMember}, {TF::DissectionMember, TF::Contra}, ContraReference}};
    for (const TCase& c : cases) {
        TTransactionDetail line(110100001, pkPayments);
        line.SetFlags(c.Had);
        line.Reference = ContraReference;
        line.ClearFlags(c.Cleared);
        EXPECT_EQ(line.Reference, c.Reference) << Bits(c.Had) << " less " << Bits(c.Cleared);
    }
}

TEST(TransactionDetail, LocalAmountsAndCodes) {
    const double cases[][4] = {
        // kind, amount, rate, local amount
        {2, 100, 2, -50},  {1, 100, 3, 33.33},  {1, 200, 3, 66.67},  {1, 100, 0, 100}, {1, 100, -2, 100},
        {2, 100, 0, -100}, {1, 0.125, 1, 0.12}, {1, 0.375, 1, 0.38}, {4, 10, 1, -10},  {8, 10, 1, -10},
        {11, 10, 1, -10},  {5, 10, 1, 10},      {9, 10, 1, 10},      {10, 10, 1, 10}};
    TTransactionDetail entry;
    for (const auto& c : cases) {
        entry.PageKind = static_cast<qint16>(c[0]);
        entry.Amount = c[1];
        entry.Rate = c[2];
        EXPECT_DOUBLE_EQ(entry.GetLocalAmount(), c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
    entry.BankCode = MakeCode(1, -1, 100, 0);
    entry.PostingCode = Acc(2000);
    EXPECT_TRUE(entry.SameCode(Acc(2000), true) && entry.SameCode(MakeCode(1, -1, 100, 0), false));
    EXPECT_FALSE(entry.SameCode(Acc(2000), false) || entry.SameCode(Acc(100), false) ||
                 entry.HasNoBankAccount());
    entry.SetDetails(QStringLiteral("€ short"));
    EXPECT_EQ(QByteArray(entry.DetailsField().data(), 10), QByteArray("\x07\x80 short\0\0", 10));
}

TEST(TransactionRecord, BodyAndHeaderMatchTheLayout) {
    const QByteArray body = Record("body");
    const TTransactionDetail entry = ReadTransactionRecord(Bytes(body));
    EXPECT_TRUE(entry.ID == 110300005 && entry.PageKind == pkPayments && entry.Dissection == 110300002);
    EXPECT_TRUE(entry.ParentID == -1 && entry.Flags == Bits({0, 3, 8, 18, 31}) && entry.Reference == 123456);
    EXPECT_EQ(entry.Date, EncodeDateNum(2005, 10, 15));
    EXPECT_TRUE(entry.BankCode == MakeCode(1, -1, 100, 0) && entry.PostingCode == MakeCode(2, -1, 1000, 5));
    EXPECT_TRUE(entry.Amount == -1234.56 && entry.Rate == 0.75 && entry.Quantity == 7);
    EXPECT_EQ(entry.TaxCodes, Bits({1, 4}));
    EXPECT_EQ(entry.Details(), QStringLiteral("Payment to Café Noël, € 54 char detail incl. bytes: ok"));
    EXPECT_EQ(TransactionRecordBytes(entry), body);
    EXPECT_FALSE(IsTransactionHeaderRecord(Bytes(body)));

    const QByteArray header = Record("header");
    EXPECT_EQ(TransactionHeaderRecord(5, "ABC123", "QUILVANE"), header);
    EXPECT_TRUE(IsTransactionHeaderRecord(Bytes(header)));
    EXPECT_EQ(TransactionHeaderSortOrder(Bytes(header)), 5);
    QByteArray damaged = header;
    damaged[62] = '\xff';
    damaged[0] = '\0'; // the flag alone makes a header
    EXPECT_EQ(TransactionHeaderSortOrder(Bytes(damaged)), 127);
    EXPECT_TRUE(IsTransactionHeaderRecord(Bytes(damaged)));
    EXPECT_EQ(TransactionHeaderRecord(0, "ABC123", QString(40, u'F')).at(70), char(54));

    // Damaged fields read safely: only the damaged one reads as 0 (the others are not 0 here).
    for (int offset : {18, 46, 54}) {
        QByteArray bytes = body;
        qToLittleEndian(std::bit_cast<quint64>(offset == 46 ? HUGE_VAL : std::nan("")),
                        bytes.data() + offset);
        const TTransactionDetail read = ReadTransactionRecord(Bytes(bytes));
        EXPECT_EQ(read.Date * read.Amount * read.Rate, 0.0) << offset;
    }
    QByteArray longDetails = body;
    longDetails[70] = '\xff';
    EXPECT_EQ(TransactionRecordBytes(ReadTransactionRecord(Bytes(longDetails))), body) << "length cut to 54";
}

// The cap on a transaction file is the header and the most entries a month holds, in the largest
// record form; no older form's record is larger.
TEST(TransactionRecord, TheLargestFileHoldsTheHeaderAndTheMostEntriesOfAMonth) {
    EXPECT_EQ(MaxTransactionFileBytes(), qint64(300001) * 125);
    for (const TDosRecordForm form : {TDosRecordForm::V41, TDosRecordForm::V4, TDosRecordForm::V3})
        EXPECT_LT(DosRecordSize(form), TransactionRecordSize);
}

class TDosRecordTest : public TServicesFixture {
protected:
    std::unique_ptr<TAccountFormat> Format = MakeFormat("AAAA-SS");
    std::unique_ptr<TAccountFormat> Short = MakeFormat("AAAA");
};

TEST_F(TDosRecordTest, OlderRecordsMatchTheLayouts) {
    using TReader = bool (*)(const std::uint8_t*, TTransactionDetail&, const TDosCodeFormat&);
    // clang-format off
    struct TCase {const char* Block; TReader Read; bool ShortCodes; double Date; qint32 Reference, Dissection;
        quint32 Flags; TAccountCode Posting, Bank; double Amount; QString Details; };
    const TCase cases[] = {
        {"v41-record", ReadTransRecV41, false, EncodeDateNum(2005, 10, 15), 1234, 3,
         Bits({TF::Keyed, TF::DissectionMember}), MakeCode(-1, -1, 1000, 5), MakeCode(-1, -1, 100, 0),
         -1234.56, "Rent October"},
        {"v4-record", ReadTransRecV4, false, EncodeDateNum(1990, 7, 1), BankReference, -1, Bits({TF::Keyed}),
         MakeCode(-1, -1, 200, 0), MakeCode(-1, -1, 200, 0), 0.01, "Fees"},
        {"v3-record", ReadTransRecV3, true, EncodeDateNum(2004, 2, 29), ContraReference, -1,
         Bits({TF::Keyed, TF::Contra}), Acc(100), Acc(100), 1e10,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd"}};
    // clang-format on
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Block);
        TTransactionDetail entry(110100001, pkPayments);
        EXPECT_TRUE(
            c.Read(Bytes(Record(c.Block)), entry, {"QUILVANE", c.ShortCodes ? Short.get() : Format.get()}));
        EXPECT_TRUE(entry.Date == c.Date && entry.Reference == c.Reference &&
                    entry.Dissection == c.Dissection);
        EXPECT_TRUE(entry.Flags == c.Flags && entry.PostingCode == c.Posting && entry.BankCode == c.Bank);
        EXPECT_NEAR(entry.Amount, c.Amount, 1e-6) << "a Real48 holds 39 bits of fraction";
        EXPECT_EQ(entry.Details(), c.Details);
    }
    // Headers are known by their plain text, in their own form only.
    const std::tuple<const char*, TDosRecordForm, bool> headers[] = {
        {"v41-header", TDosRecordForm::V41, true}, {"v41-header", TDosRecordForm::V4, false},
        {"v4-header", TDosRecordForm::V4, true},   {"v4-header", TDosRecordForm::V41, false},
        {"v41-header", TDosRecordForm::V3, false}, {"v41-record", TDosRecordForm::V41, false}};
    for (const auto& [block, form, header] : headers)
        EXPECT_EQ(IsDosHeaderRecord(form, Bytes(Record(block, DosRecordSize(form)))), header) << block;
    EXPECT_EQ(DosHeaderRecordV41(), Record("v41-header"));
}

TEST_F(TDosRecordTest, TheFourByteFormIsWrittenAsLaidOut) {
    TTransactionDetail entry(110300005, pkPayments);
    entry.Date = EncodeDateNum(2005, 10, 15);
    entry.Reference = 561234; // the last four of six digits
    entry.Dissection = 110300002;
    entry.PostingCode = MakeCode(-1, -1, 1000, 5);
    entry.BankCode = MakeCode(-1, -1, 100, 0);
    entry.Amount = -1234.56;
    entry.SetDetails("Rent October");
    EXPECT_EQ(WriteTransRecV41(entry, *Format), Record("v41-record"));

    const qint32 cases[][4] = {
        // reference, dissection, stored reference, stored dissection
        {BankReference, -1, 19999, 0},          {OpeningBalanceReference, 110340000, 1, 32767},
        {ContraReference, 110399999, 0, 32767}, {7, 110300000, 7, 1},
        {1000000, 110332765, 0, 32766},         {-1, 110332766, 0, 32767}};
    for (const auto& c : cases) {
        entry.Reference = c[0];
        entry.Dissection = c[1];
        const QByteArray bytes = WriteTransRecV41(entry, *Format);
        EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + 9), c[2]) << c[0];
        EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + 11), c[3]) << c[1];
    }
    entry.SetDetails(QString(50, u'x')); // cut to 40, doubled
    EXPECT_EQ(WriteTransRecV41(entry, *Format).mid(43), char(40) + QByteArray(40, char('x' << 1)));
}

TEST_F(TDosRecordTest, DamagedOlderRecords) {
    QByteArray bytes = Record("v41-record");
    bytes[0] = '\xff';  // date length: cut to 8
    bytes[19] = '\x0c'; // posting length past 8: does not reach into the bank field
    bytes[28] = '\x00'; // no bank code
    TTransactionDetail entry(110100001, pkPayments);
    EXPECT_TRUE(ReadTransRecV41(Bytes(bytes), entry, {"QUILVANE", Format.get()}));
    EXPECT_EQ(entry.Date, EncodeDateNum(2005, 10, 15));
    EXPECT_TRUE(entry.HasNoBankAccount() && entry.PostingCode.Account == 1000);
    bytes[2] = 'x';
    EXPECT_FALSE(ReadTransRecV41(Bytes(bytes), entry, {"QUILVANE", Format.get()}));
    EXPECT_EQ(entry.Date, 0.0);
    // Without a format no code is read, and a posting equal to an empty bank is no contra.
    TTransactionDetail plain(110100001, pkPayments);
    ReadTransRecV3(Bytes(Record("v3-record")), plain, {});
    EXPECT_TRUE(plain.HasNoBankAccount() && plain.PostingCode.IsEmpty() && plain.Reference == 0);
}

TEST(DosDates, FixedPatternAndPivot) {
    // clang-format off
    const std::tuple<const char*, int, int, int> cases[] = { // text, year, month, day (year 0: no date)
        {"15/10/05", 2005, 10, 15}, {"01/07/90", 1990, 7, 1}, {"31/12/89", 2089, 12, 31},
        {"1/7/05", 2005, 7, 1}, {"29/02/04", 2004, 2, 29}, {"29/02/05", 0, 0, 0}, {"31/06/05", 0, 0, 0},
        {"15-10-05", 0, 0, 0}, {"10/15/05", 0, 0, 0}, {"15/10/2005", 0, 0, 0}, {"", 0, 0, 0},
        {"00/10/05", 0, 0, 0}, {"+1/10/05", 0, 0, 0}};
    // clang-format on
    for (const auto& [text, year, month, day] : cases)
        EXPECT_EQ(DosDateToDateNum(text), year ? EncodeDateNum(year, month, day) : 0.0) << text;
}

} // namespace
