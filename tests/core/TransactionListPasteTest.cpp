#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionClipboard.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

#include <QMimeData>
#include <QtEndian>

#include <limits>

namespace TF = TransactionFlag;

namespace {

// Offsets in the 125-byte record (tests/data/transactions/records.hex).
constexpr int IDAt = 0, DissectionAt = 6, FlagsAt = 14, DateAt = 18, BankAt = 30, RateAt = 54, TaxAt = 66;
constexpr int DetailsAt = 70;
constexpr quint32 Keyed = 1, Deleted = 1u << TF::Deleted | Keyed;

QByteArray Body(const char* name, const char* file = "paste") {
    return HexBlock(TestData(QByteArray("transactions/") + file + ".hex"), name);
}
template <typename T> QByteArray Put(QByteArray body, int at, T value) {
    qToLittleEndian(value, reinterpret_cast<std::uint8_t*>(body.data()) + at);
    return body;
}
// The payment of 17 March 2004 (Opbal, reconciled, all paste-cleared marks), without tax codes.
QByteArray Payment() {
    return Put<quint32>(Body("payment"), TaxAt, 0);
}

// A June year end; the 2006 chart: income 1000, control 1500 (takes no postings), banks 2000
// (the default) and 2100, balance-sheet 3000, suspense 9000 (balance sheet 2000-4999, suspense
// from 9000); one tax code, of type 0.
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
        Taxes->AddItem(std::make_unique<TTaxRate>());
        Sources = {Entity, Format(), false, false, false, 2, Accounts.get(), Taxes.get(), nullptr, nullptr};
    }
    // The 2006 page of a kind and period (9: March 2006), with its blank line.
    std::unique_ptr<TTransactionList> Page(int kind, int period) {
        return std::make_unique<TTransactionList>(Sources, kind, 2006, period, 12, TOptionSet{});
    }
    // Pastes at the index; the index after the entry.
    static int Paste(TTransactionList& list, const QByteArray& body, int index = 0,
                     TTransactionGrid::TLastDissections* batch = nullptr) {
        TTransactionGrid::TLastDissections own;
        TTransactionGrid(list).PasteTransaction(index, batch ? *batch : own,
                                                reinterpret_cast<const uchar*>(body.constData()));
        return index;
    }
    // "" the empty code, "b01" branch 1 without an account, "1100d" 1100 with a division.
    TAccountCode CodeOf(const QString& text) const {
        return text == "b01"     ? TAccountCode{1}
               : text == "1100d" ? TAccountCode{-1, 3, 1100}
               : text.isEmpty()  ? TAccountCode{}
                                 : Code(text);
    }
    QString Text(const TAccountCode& code) const { return Format()->FormatCode(code); }

    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TTaxRateChart> Taxes;
    TTransactionListSources Sources;
};

} // namespace

TEST_F(TransactionListPasteTest, PastedEntryFitsThePageAndItsMonth) {
    const double march2004 = EncodeDateNum(2004, 3, 17), march2006 = EncodeDateNum(2006, 3, 17);
    struct TCase {
        int Kind, Period;
        double SourceDate, Date;
        qint32 ID, Reference = 1;
        const char* Posting = "1000";
        qint32 SourceID = 110300005;
        quint32 Flags = 0; // 0: the payment's
    };
    const qint32 opbal = OpeningBalanceReference;
    const TCase cases[] = {
        {pkPayments, 9, march2004, march2006, 110900001},
        {pkPayments, 9, EncodeDateNum(2005, 10, 15), EncodeDateNum(2006, 3, 31), 110900001},
        {pkPayments, 0, march2004, march2006, 110900000}, // blank line in slot 1
        {pkGeneralJournals, 9, march2004, march2006, 130900001},
        {pkOpeningBalances, 1, march2004, EncodeDateNum(2006, 1, 1), 100100001, opbal, "9000"},
        {pkBankStatementDeposits, 9, march2004, march2006, 180900001, 1, ""},
        {pkMemorisedPayments, 1, march2004, 17, 220100001, opbal},
        {pkStandardBankTransactions, 1, 31, 31, 230100001, opbal},
        {pkDeletedTransactions, 0, march2004, march2004, 240900000},
        {pkDeletedTransactions, 0, std::numeric_limits<double>::quiet_NaN(), 0, 240100001, 1, "1000", 0},
        // A deleted entry keeps its ID only when that is free and of the slot.
        {pkPayments, 9, march2006, march2006, 110900050, 1, "1000", 110900050, Deleted},
        {pkPayments, 9, march2006, march2006, 110900001, 1, "1000", 110900000, Deleted}, // the blank line's
        {pkPayments, 9, march2006, march2006, 110900001, 1, "1000", 110300005, Deleted}, // September's
        {pkPayments, 9, march2006, march2006, 110900001, 1, "1000", 110999998, Deleted}, // a tax line's
        {pkPayments, 9, march2006, march2006, 110900001, 1, "1000", 110900050, Keyed},
        {pkDeletedTransactions, 0, march2006, march2006, 240900050, 1, "1000", 240900050, Keyed},
        {pkDeletedTransactions, 0, march2006, march2006, 240900000, 1, "1000", 110900050, Deleted},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Kind << " " << c.SourceDate << " " << c.SourceID << " " << c.Flags);
        auto list = Page(c.Kind, c.Period);
        const QByteArray body = Put(Put(Payment(), DateAt, c.SourceDate), IDAt, c.SourceID);
        ASSERT_EQ(Paste(*list, c.Flags ? Put(body, FlagsAt, c.Flags) : body), 1);
        const TTransactionDetail& entry = *list->GetItem(0);
        EXPECT_EQ(
            std::tuple(entry.Date, entry.ID, int(entry.PageKind), entry.Reference, Text(entry.PostingCode)),
            std::tuple(c.Date, c.ID, c.Kind, c.Reference, QString(c.Posting)));
        EXPECT_EQ(list->GetNextID(list->EntryMonthSlot(entry)), c.ID + 1);
        const bool nonCash = (c.Kind >= pkGeneralJournals && c.Kind <= pkPurchasesJournals) || c.Kind >= 13;
        EXPECT_EQ(entry.Flags, (c.Kind == pkDeletedTransactions ? Deleted : Keyed) | nonCash << TF::NonCash);
    }
}

TEST_F(TransactionListPasteTest, BatchesShareOneNewNumberPerAdjacentDissection) {
    // Members without the member flag: the number alone makes them members.
    const auto member = [](qint32 number) {
        return Put(Put(Body("member"), DissectionAt, number), FlagsAt, Keyed);
    };
    auto list = Page(pkPayments, 9);
    const qint32 n = list->GetNextDissectionNo(9);
    int index = 0;
    TTransactionGrid::TLastDissections batch, second;
    for (const qint32 source : {110300002, 110300002, 110300002, 110300003, 110300003, -1})
        index = Paste(*list, source == -1 ? Payment() : member(source), index, &batch);
    for (const qint32 source : {110300003, 110300002})
        index = Paste(*list, member(source), index, &second);
    ASSERT_EQ(index, 8);
    const qint32 expected[] = {n, n, n, n + 1, n + 1, -1, n + 2, n + 3};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(
            std::pair(list->GetItem(i)->Dissection, list->GetItem(i)->HasAnyFlag({TF::DissectionMember})),
            std::pair(expected[i], expected[i] != -1));
    EXPECT_EQ(list->GetNextDissectionNo(9), n + 4);
    for (const int kind : {pkOpeningBalances, pkBankStatementDeposits, pkBankStatementWithdrawals}) {
        auto plain = Page(kind, 9);
        Paste(*plain, member(110300002));
        EXPECT_EQ(std::tuple(plain->GetItem(0)->Flags, plain->GetItem(0)->Dissection,
                             plain->GetNextDissectionNo(9)),
                  std::tuple(Keyed, -1, plain->GetNextDissectionNo(1) + 800000)); // no number taken
    }
}

TEST_F(TransactionListPasteTest, UntrustedAndGeneratedBodiesAreRefusedOrTamed) {
    auto list = Page(pkPayments, 9);
    for (const int flag : {TF::Blank, TF::DissectionTotal, TF::TaxLine, TF::Header})
        EXPECT_EQ(Paste(*list, Put(Payment(), FlagsAt, 1u << flag | Keyed)), 0) << flag;
    EXPECT_EQ(Paste(*list, Body("header", "records")) * 10 + list->Count(), 1);
    QByteArray odd = Put(Payment(), RateAt, std::numeric_limits<double>::infinity());
    odd = Put(odd, TaxAt, 0xFFFFFFFFu);
    odd[DetailsAt] = char(200);
    Paste(*list, odd); // its tax line, if any, follows it
    Paste(*list, Put(Payment(), RateAt, 0.0));
    const TTransactionDetail& entry = *list->GetItem(1);
    EXPECT_EQ(
        std::tuple(entry.Rate, entry.Details().size(), entry.TaxCodes, list->GetItem(0)->Rate),
        std::tuple(1.0, qsizetype(TTransactionDetail::DetailsCapacity), 1u, 0.0)); // the chart's one type
}

// Each pair of codes once pasted (fitted; details "Rent") and once loaded (repaired).
TEST_F(TransactionListPasteTest, AccountsAreFittedWhenPastedAndRepairedWhenLoaded) {
    struct TCase {
        int Kind;
        const char *Bank, *Posting, *Fitted, *Repaired, *Added; // the new account, or ""
    };
    const TCase cases[] = {
        {pkPayments, "2100", "1000", "2100/1000 Rent", "2100/1000", ""},
        {pkPayments, "9000", "1000", "9000/1000 Rent", "9000/1000", ""},
        {pkPayments, "2300", "1000", "2000/1000 (Bank: 2300) Rent", "2300/1000", "2300 BNK AUD"},
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
        std::tie(entry->BankCode, entry->PostingCode, entry->Flags) =
            std::tuple(CodeOf(c.Bank), CodeOf(c.Posting), Keyed);
        entry->SetDetails(QStringLiteral("Rent"));
        TTransactionDetail fitted = *entry;
        list->InsertTransaction(0, std::move(entry), 9);
        list->SetSaved(true);
        list->FitPastedAccounts(fitted);
        EXPECT_EQ(Text(fitted.BankCode) + "/" + Text(fitted.PostingCode) + " " + fitted.Details(), c.Fitted);
        const bool bankKind = c.Kind >= pkBankStatementDeposits;
        EXPECT_EQ(list->Saved(),
                  fitted.BankCode == CodeOf(c.Bank) && (fitted.PostingCode == CodeOf(c.Posting) || bankKind));
        list->SetSaved(true);
        list->RepairAccounts();
        const TTransactionDetail& repaired = *list->GetItem(0);
        EXPECT_EQ(Text(repaired.BankCode) + "/" + Text(repaired.PostingCode), c.Repaired);
        EXPECT_EQ(list->Saved(), Text(CodeOf(c.Bank)) + "/" + Text(CodeOf(c.Posting)) == c.Repaired);
        EXPECT_TRUE(list->GetItem(1)->BankCode.IsEmpty() && list->GetItem(1)->PostingCode.IsEmpty()); // blank
        EXPECT_EQ(Accounts->Count() * 10 + Accounts->Saved, *c.Added ? 70 : 61);
        const TAccountDetail* account =
            Accounts->GetAccount(Accounts->IndexOfCode(CodeOf(QString(c.Added).left(4))));
        ASSERT_EQ(account != nullptr, *c.Added != 0);
        if (!account)
            continue;
        EXPECT_EQ(
            QStringList({account->AccountType, account->GetBankCurrency(), account->Description}).join(' '),
            QString(c.Added).mid(5) + " Account created during transaction validation");
    }
    // A replaced bank account ends a contra line, its prefix cuts the details; without a default
    // bank account the suspense account takes its place.
    auto list = Page(pkPayments, 9);
    QByteArray body = Put(Put<qint16>(Payment(), BankAt + 4, 2200), FlagsAt, 1u << TF::Contra | Keyed);
    body.replace(DetailsAt, 55, QByteArray(1, char(54)) + QByteArray(54, 'x'));
    Paste(*list, body);
    Accounts->SetDefaultAccount(Accounts->IndexOfCode(Code("2000")), false);
    Paste(*list, body);
    EXPECT_EQ(
        std::tuple(list->GetItem(1)->Reference, list->GetItem(1)->Flags, Text(list->GetItem(1)->BankCode)),
        std::tuple(0, Keyed, QString("2000")));
    EXPECT_EQ(list->GetItem(1)->Details(), QStringLiteral("(Bank: 2200) ") + QString(41, u'x'));
    EXPECT_EQ(Text(list->GetItem(0)->BankCode), "9000");
}

// The accounts one repair adds share one reading of the clock, the time the first is made; a
// repair that adds none reads no clock.
TEST_F(TransactionListPasteTest, AccountsARepairAddsShareOneReadingOfTheClock) {
    const QDateTime start(QDate(2006, 3, 17), QTime(9, 30));
    auto clock = std::make_shared<TTickingClock>(start);
    TServices::SetClock(clock);
    auto list = Page(pkPayments, 9);
    const char* missing[][2] = {{"2300", "1300"}, {"2100", "1400"}, {"2400", "1000"}};
    for (const auto& codes : missing) {
        auto entry = std::make_unique<TTransactionDetail>(1, static_cast<qint16>(pkPayments));
        std::tie(entry->BankCode, entry->PostingCode, entry->Flags) =
            std::tuple(CodeOf(codes[0]), CodeOf(codes[1]), Keyed);
        list->InsertTransaction(0, std::move(entry), 9);
    }
    list->RepairAccounts();
    EXPECT_EQ(clock->Readings, 1);
    for (const char* code : {"2300", "1300", "1400", "2400"}) {
        const TAccountDetail* account = Accounts->GetAccount(Accounts->IndexOfCode(CodeOf(code)));
        ASSERT_NE(account, nullptr) << code;
        EXPECT_EQ(account->DateAdded, DateNumFromQDateTime(start)) << code;
    }
    list->RepairAccounts();
    EXPECT_EQ(clock->Readings, 1);
}

// A repair over many entries whose codes repeat: each entry fares as it would alone, before and
// after the accounts the pass adds (a code added early is found by the later entries; a control
// account goes to suspense each time; an empty bank code takes the suspense account).
TEST_F(TransactionListPasteTest, ARepairOfRepeatedCodesTreatsEachEntryAlike) {
    // bank/posting before and after the repair
    const std::pair<const char*, const char*> cases[] = {
        {"2100/1000", "2100/1000"}, {"2100/9300", "2100/9300"}, {"2100/1500", "2100/9000"},
        {"2100/9300", "2100/9300"}, {"2300/1000", "2300/1000"}, {"2300/1500", "2300/9000"},
        {"2100/1500", "2100/9000"}, {"2300/9300", "2300/9300"}, {"/1000", "9000/1000"},
        {"/1000", "9000/1000"},     {"2100/1000", "2100/1000"}};
    auto list = Page(pkPayments, 9);
    int at = 0;
    for (const auto& [codes, repaired] : cases) {
        auto entry = std::make_unique<TTransactionDetail>(1, static_cast<qint16>(pkPayments));
        const QStringList parts = QString(codes).split('/');
        std::tie(entry->BankCode, entry->PostingCode, entry->Flags) =
            std::tuple(CodeOf(parts[0]), CodeOf(parts[1]), Keyed);
        list->InsertTransaction(at++, std::move(entry), 9);
    }
    const int accounts = Accounts->Count();
    list->RepairAccounts();
    EXPECT_EQ(Accounts->Count(), accounts + 2); // 9300 and 2300
    for (int i = 0; i < at; ++i) {
        const TTransactionDetail& entry = *list->GetItem(i);
        EXPECT_EQ(Text(entry.BankCode) + "/" + Text(entry.PostingCode), cases[i].second) << i;
    }
    list->SetSaved(true);
}

TEST_F(TransactionListPasteTest, ClipboardCarriesWholeRecordsOnly) {
    auto list = Page(pkPayments, 4);
    const QByteArray payment = Body("payment"), member = Body("member"), header = Body("header", "records");
    for (const QByteArray& body : {member, payment, Put(member, FlagsAt, 1u << TF::TaxLine)})
        list->InsertTransaction(0,
                                std::make_unique<TTransactionDetail>(
                                    ReadTransactionRecord(reinterpret_cast<const uchar*>(body.data()))),
                                0);
    // Tax line, payment, member, blank line; there is no entry 9.
    auto data = TransactionClipboard::Build(*list, {0, 1, 2, 3, 9});
    EXPECT_EQ(data->data(TransactionClipboard::MimeType()).toHex(), (payment + member).toHex());
    EXPECT_EQ(data->text().count(u'\n') * 100 + data->text().count(u'\t'),
              200 + 2 * (TTransactionGrid::ColumnCount - 1));
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
    EXPECT_FALSE(TransactionClipboard::ReadRecords(QMimeData(), records, error) || error.isEmpty());
}
