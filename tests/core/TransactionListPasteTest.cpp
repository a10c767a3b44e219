#include "core/transactions/TransactionList.h"

#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionClipboard.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

#include <QMimeData>
#include <QtEndian>

#include <bit>
#include <limits>

namespace TF = TransactionFlag;

namespace {

// Offsets of the 125-byte record (see tests/data/transactions/records.hex).
constexpr int IDAt = 0;
constexpr int DissectionAt = 6;
constexpr int FlagsAt = 14;
constexpr int DateAt = 18;
constexpr int BankAt = 30;
constexpr int PostingAt = 38;
constexpr int RateAt = 54;
constexpr int TaxCodesAt = 66;
constexpr int DetailsAt = 70;

const QString Created = QStringLiteral("Account created during transaction validation");

QByteArray Body(const char* name) {
    return HexBlock(TestData("transactions/paste.hex"), name);
}
template <typename T> void Put(QByteArray& body, int at, T value) {
    qToLittleEndian(value, reinterpret_cast<std::uint8_t*>(body.data()) + at);
}
void PutDouble(QByteArray& body, int at, double value) {
    Put(body, at, std::bit_cast<quint64>(value));
}
void PutCode(QByteArray& body, int at, const TAccountCode& code) {
    const auto bytes = AccountCodeToBytes(code);
    std::copy(bytes.begin(), bytes.end(), body.begin() + at);
}
double Day(int year, int month, int day) {
    return EncodeDateNum(year, month, day);
}

// A client with a June year end whose 2006 chart holds an income account, a control account
// (no postings), two bank accounts (2000 the default), a balance-sheet account and the suspense
// account 9000; balance sheet 2000 to 4999, suspense from 9000. The tax chart holds one code,
// of type 0.
class TransactionListPasteTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Entity.Currency = QStringLiteral("AUD");
        MakeCharts();
    }
    void MakeCharts() {
        Accounts = AccountsOf({"1000:ACC:Sales", "1500:CTL:Control", "2000:BNK:Cheque", "2100:BNK:Savings",
                               "3000:ACC:Loan", "9000:SUS:Suspense"});
        Accounts->SetDefaultAccount(Accounts->IndexOfCode(Code("2000")), true);
        Accounts->EnsureSuspenseAccount();
        Taxes = std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Format(), TOptionSet{}, 2006);
        auto gst = std::make_unique<TTaxRate>();
        gst->Tax_Code = QStringLiteral("GST");
        gst->Tax_Rate = 10.0;
        Taxes->AddItem(std::move(gst));
        Sources.Entity = Entity;
        Sources.Format = Format();
        Sources.Accounts = Accounts.get();
        Sources.TaxRates = Taxes.get();
        Accounts->Saved = true;
    }
    // The 2006 page of a kind and period (9 is March 2006), with its blank line.
    std::unique_ptr<TTransactionList> Page(int kind, int period, const TOptionSet& options = {}) {
        return std::make_unique<TTransactionList>(Sources, kind, 2006, period, 12, options);
    }
    // Pastes at the index and returns the index after the entry.
    static int Paste(TTransactionList& list, const QByteArray& body, int index = 0,
                     TTransactionList::TLastDissections* batch = nullptr) {
        TTransactionList::TLastDissections own;
        list.PasteTransaction(index, batch ? *batch : own,
                              reinterpret_cast<const std::uint8_t*>(body.constData()));
        return index;
    }
    // The payment of another year without tax codes.
    static QByteArray Payment() {
        QByteArray body = Body("payment");
        Put<quint32>(body, TaxCodesAt, 0);
        return body;
    }
    static QByteArray Member(qint32 dissection) {
        QByteArray body = Body("member");
        Put(body, DissectionAt, dissection);
        return body;
    }
    QString Text(const TAccountCode& code) const { return Format()->FormatCode(code); }

    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TTaxRateChart> Taxes;
    TTransactionListSources Sources;
};

} // namespace

TEST_F(TransactionListPasteTest, DateIDReferenceAndFlagsFollowThePage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double march2004 = Day(2004, 3, 17);
    struct TCase {
        int Kind, Period;
        double SourceDate, Date;
        qint32 ID, Reference;
        const char* Posting; // "" for none
        bool NonCash;
    };
    const TCase cases[] = {
        {pkPayments, 9, march2004, Day(2006, 3, 17), 110900001, 1, "1000", false},
        {pkPayments, 9, Day(2005, 10, 15), Day(2006, 3, 31), 110900001, 1, "1000", false},
        {pkPayments, 0, march2004, Day(2006, 3, 17), 110900000, 1, "1000", false}, // blank line in slot 1
        {pkReceipts, 2, march2004, Day(2005, 8, 31), 120200001, 1, "1000", false},
        {pkGeneralJournals, 9, march2004, Day(2006, 3, 17), 130900001, 1, "1000", true},
        {pkSalesJournals, 9, march2004, Day(2006, 3, 17), 140900001, 1, "1000", true},
        {pkPurchasesJournals, 9, march2004, Day(2006, 3, 17), 150900001, 1, "1000", true},
        {pkWagesJournals, 9, march2004, Day(2006, 3, 17), 160900001, 1, "1000", false},
        {pkOpeningBalances, 1, march2004, Day(2006, 1, 1), 100100001, OpeningBalanceReference, "9000", false},
        {pkBankStatementDeposits, 9, march2004, Day(2006, 3, 17), 180900001, 1, "", false},
        {pkOpeningUnpresentedCheques, 1, march2004, march2004, 200100001, 1, "", false},
        {pkMemorisedPayments, 1, march2004, 17, 220100001, OpeningBalanceReference, "1000", false},
        {pkMemorisedPayments, 1, 99, 99, 220100001, OpeningBalanceReference, "1000", false},
        {pkMemorisedPayments, 1, 31, 31, 220100001, OpeningBalanceReference, "1000", false},
        {pkStandardBankTransactions, 1, 32, 1, 230100001, OpeningBalanceReference, "1000", true},
        {pkDeletedTransactions, 0, march2004, march2004, 240900000, 1, "1000", true},
        {pkDeletedTransactions, 0, 0, 0, 240100001, 1, "1000", true},
        {pkDeletedTransactions, 0, nan, 0, 240100001, 1, "1000", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Period << " " << c.SourceDate);
        auto list = Page(c.Kind, c.Period);
        QByteArray body = Payment();
        PutDouble(body, DateAt, c.SourceDate);
        EXPECT_EQ(Paste(*list, body), 1);
        ASSERT_EQ(list->Count(), 2);
        const TTransactionDetail& entry = *list->GetItem(0);
        EXPECT_EQ(entry.Date, c.Date);
        EXPECT_EQ(entry.ID, c.ID);
        EXPECT_EQ(entry.PageKind, c.Kind);
        EXPECT_EQ(entry.Reference, c.Reference);
        EXPECT_EQ(Text(entry.PostingCode), c.Posting);
        EXPECT_EQ(entry.HasAnyFlag({TF::NonCash}), c.NonCash);
        EXPECT_EQ(entry.HasAnyFlag({TF::Deleted}), c.Kind == pkDeletedTransactions);
        EXPECT_FALSE(
            entry.HasAnyFlag({TF::Reconciled, TF::PasteClearedA, TF::PasteClearedB, TF::PasteClearedC}));
        EXPECT_TRUE(entry.HasAnyFlag({TF::Keyed}));
        EXPECT_EQ(entry.Details(), "Rent");
    }
}

TEST_F(TransactionListPasteTest, BatchesShareOneNewNumberPerAdjacentDissection) {
    auto list = Page(pkPayments, 9);
    const qint32 first = list->GetNextDissectionNo(9);
    int index = 0;
    TTransactionList::TLastDissections batch;
    for (const qint32 source : {110300002, 110300002, 110300002, 110300003, 110300003})
        index = Paste(*list, Member(source), index, &batch);
    index = Paste(*list, Payment(), index, &batch);
    TTransactionList::TLastDissections second;
    for (const qint32 source : {110300003, 110300002})
        index = Paste(*list, Member(source), index, &second);
    const qint32 expected[] = {first, first, first, first + 1, first + 1, -1, first + 2, first + 3};
    ASSERT_EQ(index, 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list->GetItem(i)->Dissection, expected[i]);
        EXPECT_EQ(list->GetItem(i)->HasAnyFlag({TF::DissectionMember}), expected[i] != -1);
    }
    EXPECT_EQ(list->GetNextDissectionNo(9), first + 4);
    // Pages without dissections take members out of theirs and spend no number.
    for (const int kind : {pkOpeningBalances, pkBankStatementDeposits, pkBankStatementWithdrawals}) {
        SCOPED_TRACE(kind);
        auto plain = Page(kind, 9);
        const qint32 before = plain->GetNextDissectionNo(1) + plain->GetNextDissectionNo(9);
        Paste(*plain, Member(110300002));
        EXPECT_EQ(plain->GetItem(0)->Dissection, -1);
        EXPECT_FALSE(plain->GetItem(0)->HasAnyFlag({TF::DissectionMember}));
        EXPECT_EQ(plain->GetNextDissectionNo(1) + plain->GetNextDissectionNo(9), before);
    }
}

TEST_F(TransactionListPasteTest, DeletedEntriesKeepOnlyFreeIDsOfTheirSlot) {
    struct TCase {
        int Kind;
        bool Deleted;
        qint32 SourceID, ID, NextID;
    };
    const TCase cases[] = {
        {pkPayments, true, 110900050, 110900050, 110900051},
        {pkPayments, true, 110900000, 110900001, 110900002},  // the blank line's
        {pkPayments, true, 110300005, 110900001, 110900002},  // another month's
        {pkPayments, true, 110999998, 110900001, 110900002},  // a tax line's sequence
        {pkPayments, false, 110900050, 110900001, 110900002}, // not deleted
        {pkDeletedTransactions, false, 240900050, 240900050, 240900051},
        {pkDeletedTransactions, true, 110900050, 240900000, 240900001},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Deleted << " " << c.SourceID);
        auto list = Page(c.Kind, c.Kind == pkPayments ? 9 : 0);
        QByteArray body = Payment();
        PutDouble(body, DateAt, Day(2006, 3, 17));
        Put(body, IDAt, c.SourceID);
        if (c.Deleted)
            Put<quint32>(body, FlagsAt, 1u << TF::Deleted | 1u);
        Paste(*list, body);
        EXPECT_EQ(list->GetItem(0)->ID, c.ID);
        EXPECT_EQ(list->GetNextID(9), c.NextID);
        EXPECT_EQ(list->GetItem(0)->HasAnyFlag({TF::Deleted}), c.Kind == pkDeletedTransactions);
    }
    // The same deleted entry twice: the second copy gets a new ID.
    auto list = Page(pkPayments, 9);
    QByteArray body = Payment();
    Put(body, IDAt, 110900050);
    Put<quint32>(body, FlagsAt, 1u << TF::Deleted);
    Paste(*list, body);
    Paste(*list, body);
    EXPECT_EQ(list->GetItem(0)->ID, 110900051);
    EXPECT_EQ(list->GetItem(1)->ID, 110900050);
}

TEST_F(TransactionListPasteTest, UntrustedAndGeneratedBodies) {
    auto list = Page(pkPayments, 9);
    QByteArray header = HexBlock(TestData("transactions/records.hex"), "header");
    for (const int flag : {TF::Blank, TF::DissectionTotal, TF::TaxLine, TF::Header}) {
        SCOPED_TRACE(flag);
        QByteArray body = Payment();
        Put<quint32>(body, FlagsAt, 1u << flag | 1u);
        EXPECT_EQ(Paste(*list, body, 0), 0);
    }
    EXPECT_EQ(Paste(*list, header), 0);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(list->GetNextID(9), 110900001);

    QByteArray odd = Payment();
    PutDouble(odd, RateAt, std::numeric_limits<double>::infinity());
    odd[DetailsAt] = char(200);
    Put<quint32>(odd, TaxCodesAt, 0xFFFFFFFFu);
    Paste(*list, odd);
    const TTransactionDetail& entry = *list->GetItem(0);
    EXPECT_EQ(entry.Rate, 1.0);
    EXPECT_EQ(entry.Details().size(), TTransactionDetail::DetailsCapacity);
    EXPECT_EQ(entry.TaxCodes, 1u); // only the chart's one tax type
    QByteArray zeroRate = Payment();
    PutDouble(zeroRate, RateAt, 0.0);
    Paste(*list, zeroRate);
    EXPECT_EQ(list->GetItem(0)->Rate, 0.0);
    const int count = list->Count();
    int index = 0;
    TTransactionList::TLastDissections batch;
    list->PasteTransaction(index, batch, nullptr); // a missing body is ignored
    EXPECT_EQ(list->Count() * 10 + index, count * 10);
}

TEST_F(TransactionListPasteTest, PastedAccountsFitTheChart) {
    struct TCase {
        int Kind;
        const char *Bank, *Posting; // "" for the empty code
        const char *FitBank, *FitPosting, *Details;
    };
    const TCase cases[] = {
        {pkPayments, "2100", "1000", "2100", "1000", "Rent"},
        {pkPayments, "9000", "1000", "9000", "1000", "Rent"},
        {pkPayments, "2200", "1000", "2000", "1000", "(Bank: 2200) Rent"},
        {pkPayments, "01-2200", "1000", "2000", "1000", "(Bank: 01-2200) Rent"},
        {pkPayments, "1000", "1000", "2000", "1000", "(Bank: 1000) Rent"}, // outside the ranges
        {pkPayments, "", "1000", "2000", "1000", "Rent"},
        {pkPayments, "2100", "1100", "2100", "9000", "(Posting: 1100) Rent"},
        {pkPayments, "2100", "1500", "2100", "9000", "(Posting: 1500) Rent"}, // takes no postings
        {pkPayments, "2100", "", "2100", "9000", "Rent"},
        {pkPayments, "2200", "1100", "2000", "9000", "(Posting: 1100) (Bank: 2200) Rent"},
        {pkBankStatementDeposits, "2100", "1000", "2100", "", "Rent"},
        {pkOpeningOutstandingDeposits, "2200", "1100", "2000", "", "(Bank: 2200) Rent"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Bank << " " << c.Posting);
        auto list = Page(c.Kind, 1, {Option::NoBlankLine});
        TTransactionDetail entry(1, static_cast<qint16>(c.Kind));
        entry.BankCode = *c.Bank ? Code(c.Bank) : TAccountCode::Empty();
        entry.PostingCode = *c.Posting ? Code(c.Posting) : TAccountCode::Empty();
        entry.SetDetails(QStringLiteral("Rent"));
        entry.SetFlags({TF::Keyed});
        list->FitPastedAccounts(entry);
        EXPECT_EQ(Text(entry.BankCode), c.FitBank);
        EXPECT_EQ(Text(entry.PostingCode), c.FitPosting);
        EXPECT_EQ(entry.Details(), c.Details);
        EXPECT_EQ(list->Saved(), (c.Bank == QString(c.FitBank) && c.Posting == QString(c.FitPosting)) ||
                                     c.Kind == pkBankStatementDeposits);
    }
    // A replaced bank account ends a contra line; long details are cut; without a default bank
    // account the suspense account takes its place.
    auto list = Page(pkPayments, 9);
    QByteArray body = Payment();
    PutCode(body, BankAt, Code("2200"));
    Put<quint32>(body, FlagsAt, 1u << TF::Contra | 1u);
    body[DetailsAt] = char(TTransactionDetail::DetailsCapacity);
    std::fill(body.begin() + DetailsAt + 1, body.end(), 'x');
    Paste(*list, body);
    const TTransactionDetail& entry = *list->GetItem(0);
    EXPECT_FALSE(entry.HasAnyFlag({TF::Contra}));
    EXPECT_EQ(entry.Reference, 0);
    EXPECT_EQ(entry.Details(), QStringLiteral("(Bank: 2200) ") + QString(41, u'x'));
    EXPECT_EQ(Text(entry.BankCode), "2000");
    EXPECT_TRUE(Accounts->Saved);
    Accounts->SetDefaultAccount(Accounts->IndexOfCode(Code("2000")), false);
    Paste(*list, body);
    EXPECT_EQ(Text(list->GetItem(0)->BankCode), "9000");
}

TEST_F(TransactionListPasteTest, RepairAddsValidMissingAccountsAndSendsTheRestToSuspense) {
    TAccountCode branchOnly;
    branchOnly.Branch = 1;
    TAccountCode divisionSet = Code("1100");
    divisionSet.Division = 3; // a part the format does not have
    struct TCase {
        int Kind;
        TAccountCode Bank, Posting;
        const char *RepairedBank, *RepairedPosting;
        const char *Added, *AddedType; // the new account, or ""
    };
    const TCase cases[] = {
        {pkPayments, Code("2100"), Code("1000"), "2100", "1000", "", ""},
        {pkPayments, Code("2300"), Code("1000"), "2300", "1000", "2300", "BNK"},
        {pkPayments, Code("2100"), Code("1300"), "2100", "1300", "1300", "ACC"},
        {pkPayments, Code("2100"), Code("9300"), "2100", "9300", "9300", "SUS"},
        {pkPayments, Code("1300"), Code("1000"), "1300", "1000", "1300",
         "ACC"}, // no bank outside the balance sheet
        {pkPayments, Code("2100"), branchOnly, "2100", "9000", "", ""},
        {pkPayments, branchOnly, Code("1000"), "9000", "1000", "", ""},
        {pkPayments, Code("2100"), divisionSet, "2100", "9000", "", ""},
        {pkPayments, Code("1500"), Code("1000"), "9000", "1000", "", ""},
        {pkPayments, Code("2100"), Code("1500"), "2100", "9000", "", ""},
        {pkBankStatementWithdrawals, Code("2300"), Code("1000"), "2300", "", "2300", "BNK"},
        {pkOpeningUnpresentedCheques, branchOnly, Code("1300"), "9000", "", "", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.RepairedBank << " " << c.RepairedPosting);
        MakeCharts();
        auto list = Page(c.Kind, 9, {Option::NoBlankLine});
        auto entry = std::make_unique<TTransactionDetail>(1, static_cast<qint16>(c.Kind));
        entry->SetFlags({TF::Keyed});
        entry->BankCode = c.Bank;
        entry->PostingCode = c.Posting;
        list->AddTransaction(std::move(entry), 9);
        list->SetSaved(true);
        const int before = Accounts->Count();
        list->RepairAccounts();
        const TTransactionDetail& repaired = *list->GetItem(0);
        EXPECT_EQ(Text(repaired.BankCode), c.RepairedBank);
        EXPECT_EQ(Text(repaired.PostingCode), c.RepairedPosting);
        EXPECT_EQ(list->Saved(), Text(c.Bank) == c.RepairedBank && Text(c.Posting) == c.RepairedPosting);
        EXPECT_EQ(Accounts->Count(), before + (*c.Added ? 1 : 0));
        EXPECT_EQ(Accounts->Saved, !*c.Added);
        if (!*c.Added)
            continue;
        const TAccountDetail* added = Accounts->GetAccount(Accounts->IndexOfCode(Code(c.Added)));
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added->Description, Created);
        EXPECT_EQ(added->AccountType, c.AddedType);
        EXPECT_EQ(added->GetBankCurrency(), QString(c.AddedType) == "BNK" ? "AUD" : "");
    }
}

TEST_F(TransactionListPasteTest, RepairLeavesBlankLinesTotalsAndEmptyLists) {
    auto empty = Page(pkPayments, 9, {Option::NoBlankLine});
    empty->RepairAccounts();
    EXPECT_TRUE(empty->Saved());
    auto list = Page(pkPayments, 9);
    auto total = std::make_unique<TTransactionDetail>(110999999, static_cast<qint16>(pkPayments));
    total->SetFlags({TF::DissectionTotal});
    total->BankCode = Code("2100");
    list->AddTransaction(std::move(total), 9);
    list->SetSaved(true);
    list->RepairAccounts();
    EXPECT_TRUE(list->GetItem(0)->BankCode.IsEmpty() && list->GetItem(0)->PostingCode.IsEmpty());
    EXPECT_TRUE(list->GetItem(1)->PostingCode.IsEmpty());
    EXPECT_TRUE(list->Saved());
    EXPECT_TRUE(Accounts->Saved);
}

TEST_F(TransactionListPasteTest, ClipboardCarriesWholeRecordsOnly) {
    auto list = Page(pkPayments, 4);
    const QByteArray payment = Body("payment");
    const QByteArray member = Body("member");
    for (const QByteArray* body : {&member, &payment})
        list->InsertTransaction(0,
                                std::make_unique<TTransactionDetail>(ReadTransactionRecord(
                                    reinterpret_cast<const std::uint8_t*>(body->constData()))),
                                0);
    auto tax = std::make_unique<TTransactionDetail>(110499998, static_cast<qint16>(pkPayments));
    tax->SetFlags({TF::TaxLine});
    list->InsertTransaction(1, std::move(tax), 0);
    // Payment, tax line, member, blank line; index 9 does not exist.
    auto data = TransactionClipboard::Build(*list, {0, 1, 2, 3, 9});
    ASSERT_TRUE(TransactionClipboard::HasTransactions(*data));
    EXPECT_EQ(data->data(TransactionClipboard::MimeType()).toHex(), (payment + member).toHex());
    EXPECT_EQ(data->text().count(u'\n'), 2);
    EXPECT_EQ(data->text().count(u'\t'), 2 * (TTransactionList::ColumnCount - 1));

    std::vector<QByteArray> records;
    QString error;
    const QByteArray header = HexBlock(TestData("transactions/records.hex"), "header");
    data->setData(TransactionClipboard::MimeType(), header + member + payment);
    ASSERT_TRUE(TransactionClipboard::ReadRecords(*data, records, error)) << error.toStdString();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], member);
    EXPECT_EQ(records[1], payment);
    EXPECT_TRUE(error.isEmpty());

    for (const int size : {1, 124, 126, 249}) {
        SCOPED_TRACE(size);
        data->setData(TransactionClipboard::MimeType(), (payment + member).left(size));
        EXPECT_FALSE(TransactionClipboard::ReadRecords(*data, records, error));
        EXPECT_TRUE(records.empty());
        EXPECT_TRUE(error.contains(QString::number(size))) << error.toStdString();
    }
    QMimeData plain;
    plain.setText(QStringLiteral("Rent"));
    EXPECT_FALSE(TransactionClipboard::ReadRecords(plain, records, error));
    EXPECT_FALSE(error.isEmpty());
}
