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

// Offsets in the 125-byte record (tests/data/transactions/records.hex).
constexpr int IDAt = 0, DissectionAt = 6, FlagsAt = 14, DateAt = 18, BankAt = 30, RateAt = 54, TaxAt = 66,
              DetailsAt = 70;

QByteArray Body(const char* name, const char* file = "paste") {
    return HexBlock(TestData(QByteArray("transactions/") + file + ".hex"), name);
}
template <typename T> QByteArray Put(QByteArray body, int at, T value) {
    auto* to = reinterpret_cast<std::uint8_t*>(body.data()) + at;
    if constexpr (std::is_same_v<T, double>)
        qToLittleEndian(std::bit_cast<quint64>(value), to);
    else
        qToLittleEndian(value, to);
    return body;
}
// The payment of another year (17 March 2004, Opbal, reconciled), without tax codes.
QByteArray Payment() {
    return Put<quint32>(Body("payment"), TaxAt, 0);
}
double Day(int year, int month, int day) {
    return EncodeDateNum(year, month, day);
}
bool IsBankKind(int kind) {
    return kind >= pkBankStatementDeposits && kind <= pkOpeningOutstandingDeposits;
}

// A June year end; the 2006 chart: income 1000, control 1500 (takes no postings), banks 2000
// (the default) and 2100, balance-sheet 3000 and suspense 9000 (balance sheet 2000-4999,
// suspense from 9000). One tax code, of type 0.
class TransactionListPasteTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Entity.Currency = QStringLiteral("AUD");
        MakeCharts();
    }
    void MakeCharts() {
        Accounts = AccountsOf({"1000", "1500:CTL", "2000:BNK", "2100:BNK", "3000", "9000:SUS"});
        Accounts->SetDefaultAccount(Accounts->IndexOfCode(Code("2000")), true);
        Accounts->EnsureSuspenseAccount();
        Accounts->Saved = true;
        Taxes = std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Format(), TOptionSet{}, 2006);
        auto gst = std::make_unique<TTaxRate>();
        gst->Tax_Code = QStringLiteral("GST");
        Taxes->AddItem(std::move(gst));
        Sources = {Entity, Format(), false, false, false, 2, Accounts.get(), Taxes.get(), nullptr, nullptr};
    }
    // The 2006 page of a kind and period (9: March 2006).
    std::unique_ptr<TTransactionList> Page(int kind, int period, const TOptionSet& options = {}) {
        return std::make_unique<TTransactionList>(Sources, kind, 2006, period, 12, options);
    }
    // Pastes at the index; the index after the entry.
    static int Paste(TTransactionList& list, const QByteArray& body, int index = 0,
                     TTransactionList::TLastDissections* batch = nullptr) {
        TTransactionList::TLastDissections own;
        list.PasteTransaction(index, batch ? *batch : own,
                              reinterpret_cast<const std::uint8_t*>(body.constData()));
        return index;
    }
    // "" the empty code, "b01" branch 1 without an account, "1100d" 1100 with a division the
    // format does not have.
    TAccountCode CodeOf(const QString& text) const {
        TAccountCode code =
            text.isEmpty() || text == "b01" ? TAccountCode::Empty() : Code(text.chopped(text.endsWith('d')));
        code.Branch = text == "b01" ? 1 : code.Branch;
        code.Division = text.endsWith('d') ? 3 : code.Division;
        return code;
    }
    QString Text(const TAccountCode& code) const { return Format()->FormatCode(code); }

    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TTaxRateChart> Taxes;
    TTransactionListSources Sources;
};

} // namespace

TEST_F(TransactionListPasteTest, PastedEntryFitsThePageAndItsMonth) {
    const double march2004 = Day(2004, 3, 17), march2006 = Day(2006, 3, 17);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const quint32 deleted = 1u << TF::Deleted | 1u;
    struct TCase {
        int Kind, Period;
        double SourceDate;
        qint32 SourceID; // 0: the payment's
        quint32 Flags;   // 0: the payment's (keyed, reconciled, all paste-cleared marks)
        double Date;
        qint32 ID, Reference;
        const char* Posting;
    };
    const TCase cases[] = {
        {pkPayments, 9, march2004, 0, 0, march2006, 110900001, 1, "1000"},
        {pkPayments, 9, Day(2005, 10, 15), 0, 0, Day(2006, 3, 31), 110900001, 1, "1000"},
        {pkPayments, 0, march2004, 0, 0, march2006, 110900000, 1, "1000"}, // the blank line is in slot 1
        {pkReceipts, 2, march2004, 0, 0, Day(2005, 8, 31), 120200001, 1, "1000"},
        {pkOpeningBalances, 1, march2004, 0, 0, Day(2006, 1, 1), 100100001, OpeningBalanceReference, "9000"},
        {pkBankStatementDeposits, 9, march2004, 0, 0, march2006, 180900001, 1, ""},
        {pkOpeningUnpresentedCheques, 1, march2004, 0, 0, march2004, 200100001, 1, ""},
        {pkMemorisedPayments, 1, march2004, 0, 0, 17, 220100001, OpeningBalanceReference, "1000"},
        {pkMemorisedPayments, 1, 99, 0, 0, 99, 220100001, OpeningBalanceReference, "1000"},
        {pkStandardBankTransactions, 1, 31, 0, 0, 31, 230100001, OpeningBalanceReference, "1000"},
        {pkDeletedTransactions, 0, march2004, 0, 0, march2004, 240900000, 1, "1000"},
        {pkDeletedTransactions, 0, nan, 0, 0, 0, 240100001, 1, "1000"},
        // A deleted entry keeps its ID only when it is free and of the slot.
        {pkPayments, 9, march2006, 110900050, deleted, march2006, 110900050, 1, "1000"},
        {pkPayments, 9, march2006, 110900000, deleted, march2006, 110900001, 1, "1000"}, // the blank line's
        {pkPayments, 9, march2006, 0, deleted, march2006, 110900001, 1, "1000"},         // of September
        {pkPayments, 9, march2006, 110999998, deleted, march2006, 110900001, 1, "1000"}, // a tax line's
        {pkPayments, 9, march2006, 110900050, 1, march2006, 110900001, 1, "1000"},
        {pkDeletedTransactions, 0, march2006, 240900050, 1, march2006, 240900050, 1, "1000"},
        {pkDeletedTransactions, 0, march2006, 110900050, deleted, march2006, 240900000, 1, "1000"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Kind << " " << c.SourceDate << " " << c.SourceID << " " << c.Flags);
        auto list = Page(c.Kind, c.Period);
        QByteArray body = Put(Payment(), DateAt, c.SourceDate);
        body =
            Put(Put(body, IDAt, c.SourceID ? c.SourceID : 110300005), FlagsAt, c.Flags ? c.Flags : 0x320005u);
        ASSERT_EQ(Paste(*list, body), 1);
        const TTransactionDetail& entry = *list->GetItem(0);
        EXPECT_EQ(entry.Date, c.Date);
        EXPECT_EQ(std::make_pair(entry.ID, int(entry.PageKind)), std::make_pair(c.ID, c.Kind));
        EXPECT_EQ(list->GetNextID(list->EntryMonthSlot(entry)), c.ID + 1);
        EXPECT_EQ(entry.Reference, c.Reference);
        EXPECT_EQ(Text(entry.PostingCode), c.Posting);
        EXPECT_EQ(entry.Flags & ~(1u << TF::NonCash), c.Kind == pkDeletedTransactions ? deleted : 1u);
    }
    for (int kind = 0; kind < PageKindCount; ++kind) {
        auto list = Page(kind, 9);
        Paste(*list, Payment());
        EXPECT_EQ(list->GetItem(0)->HasAnyFlag({TF::NonCash}),
                  kind == 3 || kind == 4 || kind == 5 || kind >= 13)
            << kind;
    }
}

TEST_F(TransactionListPasteTest, BatchesShareOneNewNumberPerAdjacentDissection) {
    const auto member = [](qint32 dissection) { return Put(Body("member"), DissectionAt, dissection); };
    auto list = Page(pkPayments, 9);
    const qint32 n = list->GetNextDissectionNo(9);
    int index = 0;
    TTransactionList::TLastDissections batch, second;
    for (const qint32 source : {110300002, 110300002, 110300002, 110300003, 110300003})
        index = Paste(*list, member(source), index, &batch);
    index = Paste(*list, Payment(), index, &batch);
    for (const qint32 source : {110300003, 110300002})
        index = Paste(*list, member(source), index, &second);
    ASSERT_EQ(index, 8);
    const qint32 expected[] = {n, n, n, n + 1, n + 1, -1, n + 2, n + 3};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(list->GetItem(i)->Dissection, expected[i]) << i;
        EXPECT_EQ(list->GetItem(i)->HasAnyFlag({TF::DissectionMember}), expected[i] != -1) << i;
    }
    EXPECT_EQ(list->GetNextDissectionNo(9), n + 4);
    for (const int kind : {pkOpeningBalances, pkBankStatementDeposits, pkBankStatementWithdrawals}) {
        auto plain = Page(kind, 9);
        const qint32 before = plain->GetNextDissectionNo(1) + plain->GetNextDissectionNo(9);
        Paste(*plain, member(110300002));
        EXPECT_EQ(plain->GetItem(0)->Dissection, -1) << kind;
        EXPECT_FALSE(plain->GetItem(0)->HasAnyFlag({TF::DissectionMember})) << kind;
        EXPECT_EQ(plain->GetNextDissectionNo(1) + plain->GetNextDissectionNo(9), before);
    }
}

TEST_F(TransactionListPasteTest, UntrustedAndGeneratedBodiesAreRefusedOrTamed) {
    auto list = Page(pkPayments, 9);
    for (const int flag : {TF::Blank, TF::DissectionTotal, TF::TaxLine, TF::Header})
        EXPECT_EQ(Paste(*list, Put(Payment(), FlagsAt, 1u << flag | 1u)), 0) << flag;
    EXPECT_EQ(Paste(*list, Body("header", "records")), 0);
    int index = 0;
    TTransactionList::TLastDissections batch;
    list->PasteTransaction(index, batch, nullptr);
    EXPECT_EQ(list->Count() * 1000 + index, 1000);

    QByteArray odd = Put(Put(Payment(), RateAt, std::numeric_limits<double>::infinity()), TaxAt, 0xFFFFFFFFu);
    odd[DetailsAt] = char(200);
    Paste(*list, Put(Payment(), RateAt, 0.0));
    Paste(*list, odd);
    EXPECT_EQ(list->GetItem(0)->Rate, 1.0);
    EXPECT_EQ(list->GetItem(0)->Details().size(), TTransactionDetail::DetailsCapacity);
    EXPECT_EQ(list->GetItem(0)->TaxCodes, 1u); // the chart's only type
    EXPECT_EQ(list->GetItem(1)->Rate, 0.0);
}

// Each pair of codes once pasted (accounts fitted, details "Rent") and once loaded (repaired).
TEST_F(TransactionListPasteTest, AccountsAreFittedWhenPastedAndRepairedWhenLoaded) {
    struct TCase {
        int Kind;
        const char *Bank, *Posting, *Fitted, *Repaired, *Added; // the new account, or ""
    };
    const TCase cases[] = {
        {pkPayments, "2100", "1000", "2100/1000 Rent", "2100/1000", ""},
        {pkPayments, "9000", "1000", "9000/1000 Rent", "9000/1000", ""},
        {pkPayments, "2300", "1000", "2000/1000 (Bank: 2300) Rent", "2300/1000", "2300 BNK AUD"},
        {pkPayments, "01-2300", "1000", "2000/1000 (Bank: 01-2300) Rent", "01-2300/1000", "01-2300 BNK AUD"},
        {pkPayments, "1000", "1000", "2000/1000 (Bank: 1000) Rent", "1000/1000", ""}, // outside the ranges
        {pkPayments, "", "1000", "2000/1000 Rent", "9000/1000", ""},
        {pkPayments, "2100", "1300", "2100/9000 (Posting: 1300) Rent", "2100/1300",
         "1300 ACC "}, // type rules
        {pkPayments, "2100", "9300", "2100/9000 (Posting: 9300) Rent", "2100/9300", "9300 SUS "},
        {pkPayments, "1500", "1500", "2000/9000 (Posting: 1500) (Bank: 1500) Rent", "9000/9000", ""},
        {pkPayments, "2100", "", "2100/9000 Rent", "2100/9000", ""},
        {pkPayments, "2100", "b01", "2100/9000 (Posting: 01) Rent", "2100/9000", ""},
        {pkPayments, "2100", "1100d", "2100/9000 (Posting: 1100) Rent", "2100/9000", ""},
        {pkBankStatementWithdrawals, "2300", "1000", "2000/ (Bank: 2300) Rent", "2300/", "2300 BNK AUD"},
        {pkOpeningUnpresentedCheques, "b01", "1300", "2000/ (Bank: 01) Rent", "9000/", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Bank << " " << c.Posting);
        MakeCharts();
        auto list = Page(c.Kind, 9);
        auto entry = std::make_unique<TTransactionDetail>(1, static_cast<qint16>(c.Kind));
        entry->BankCode = CodeOf(c.Bank);
        entry->PostingCode = CodeOf(c.Posting);
        entry->SetDetails(QStringLiteral("Rent"));
        entry->SetFlags({TF::Keyed});
        TTransactionDetail fitted = *entry;
        list->InsertTransaction(0, std::move(entry), 9);
        list->SetSaved(true);
        list->FitPastedAccounts(fitted);
        EXPECT_EQ(Text(fitted.BankCode) + "/" + Text(fitted.PostingCode) + " " + fitted.Details(), c.Fitted);
        EXPECT_EQ(list->Saved(), fitted.BankCode == CodeOf(c.Bank) &&
                                     (fitted.PostingCode == CodeOf(c.Posting) || IsBankKind(c.Kind)));
        list->SetSaved(true);
        list->RepairAccounts();
        const TTransactionDetail& repaired = *list->GetItem(0);
        EXPECT_EQ(Text(repaired.BankCode) + "/" + Text(repaired.PostingCode), c.Repaired);
        EXPECT_EQ(list->Saved(), Text(CodeOf(c.Bank)) + "/" + Text(CodeOf(c.Posting)) == c.Repaired);
        EXPECT_TRUE(list->GetItem(1)->BankCode.IsEmpty() && list->GetItem(1)->PostingCode.IsEmpty()); // blank
        EXPECT_EQ(Accounts->Count() * 10 + Accounts->Saved, *c.Added ? 70 : 61);
        if (!*c.Added)
            continue;
        const TAccountDetail* added =
            Accounts->GetAccount(Accounts->IndexOfCode(CodeOf(QString(c.Added).section(' ', 0, 0))));
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(Text(added->Code()) + " " + added->AccountType + " " + added->GetBankCurrency() + "|" +
                      added->Description,
                  QString(c.Added) + "|Account created during transaction validation");
    }
    // Pasted: a replaced bank account ends a contra line, and its prefix cuts the details.
    auto list = Page(pkPayments, 9);
    QByteArray body = Put(Put<qint16>(Payment(), BankAt + 4, 2200), FlagsAt, 1u << TF::Contra | 1u);
    body[DetailsAt] = char(TTransactionDetail::DetailsCapacity);
    std::fill(body.begin() + DetailsAt + 1, body.end(), 'x');
    Paste(*list, body);
    const TTransactionDetail& entry = *list->GetItem(0);
    EXPECT_EQ(entry.Reference * 100 + entry.HasAnyFlag({TF::Contra}), 0);
    EXPECT_EQ(Text(entry.BankCode) + entry.Details(),
              QStringLiteral("2000(Bank: 2200) ") + QString(41, u'x'));
    Accounts->SetDefaultAccount(Accounts->IndexOfCode(Code("2000")), false);
    Paste(*list, body);
    EXPECT_EQ(Text(list->GetItem(0)->BankCode), "9000"); // no default bank account
    auto empty = Page(pkPayments, 9, {Option::NoBlankLine});
    empty->RepairAccounts();
    EXPECT_TRUE(empty->Saved() && Accounts->Saved);
}

TEST_F(TransactionListPasteTest, ClipboardCarriesWholeRecordsOnly) {
    auto list = Page(pkPayments, 4);
    const QByteArray payment = Body("payment"), member = Body("member"), header = Body("header", "records");
    for (const QByteArray* body : {&member, &payment})
        list->InsertTransaction(0,
                                std::make_unique<TTransactionDetail>(
                                    ReadTransactionRecord(reinterpret_cast<const uchar*>(body->data()))),
                                0);
    auto tax = std::make_unique<TTransactionDetail>(110499998, static_cast<qint16>(pkPayments));
    tax->SetFlags({TF::TaxLine});
    list->InsertTransaction(1, std::move(tax), 0);
    // Payment, tax line, member, blank line; there is no entry 9.
    auto data = TransactionClipboard::Build(*list, {0, 1, 2, 3, 9});
    EXPECT_EQ(data->data(TransactionClipboard::MimeType()).toHex(), (payment + member).toHex());
    EXPECT_EQ(data->text().count(u'\n') * 100 + data->text().count(u'\t'),
              200 + 2 * (TTransactionList::ColumnCount - 1));

    std::vector<QByteArray> records;
    QString error;
    data->setData(TransactionClipboard::MimeType(), header + member + payment);
    ASSERT_TRUE(TransactionClipboard::ReadRecords(*data, records, error));
    EXPECT_EQ(records, (std::vector<QByteArray>{member, payment}));
    for (const int size : {1, 124, 126, 249}) {
        data->setData(TransactionClipboard::MimeType(), (payment + member).left(size));
        EXPECT_FALSE(TransactionClipboard::ReadRecords(*data, records, error));
        EXPECT_TRUE(records.empty() && error.contains(QString::number(size))) << error.toStdString();
    }
    QMimeData plain;
    plain.setText(QStringLiteral("Rent"));
    EXPECT_FALSE(TransactionClipboard::ReadRecords(plain, records, error) || error.isEmpty());
}
