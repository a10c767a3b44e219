#include "core/transactions/TransactionGrid.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/util/FlagSets.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

namespace TF = TransactionFlag;

namespace {

// Lists of the 2006 year (June year end) over the charts of one client: sales 1000, a heading 1500,
// an AUD bank 2000 (the default), a USD bank 2100, a loan 3000 and the suspense account 9000.
class TransactionListCellsTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Accounts = AccountsOf({"1000:ACC:Sales", "1500:ANP:Heading", "2000:BNK:Cheque Account:AUD",
                               "2100:BNK:Dollar Account:USD", "3000:ACC:Loan", "9000:SUS:Suspense"});
        Accounts->EnsureSuspenseAccount();
        Accounts->SetDefaultAccount(Accounts->IndexOf("2000"), true);
        Taxes = std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Format(), TOptionSet{}, 2006);
        for (const char* code : {"GST", "EXP"}) {
            auto rate = std::make_unique<TTaxRate>();
            rate->Tax_Code = code;
            ASSERT_GE(Taxes->AddItem(std::move(rate)), 0);
        }
        Rates = std::make_unique<TCurrConvRatesChart>(Entity, TOptionSet{}, 2006);
        Rates->AddItem(std::make_unique<TCurrencyConvRate>("USD", "Dollar", u'$', 0.65));
        Descs = std::make_unique<TStdDescChart>(Entity, TOptionSet{}, 2006);
        Descs->AddDescription("RENT", "Office rent");
        // The user adds the accounts 55xx when offered, and no others.
        TServices::SetAddAccountOffer([this](TAccountsChart& chart, const QString& codeText, int& index) {
            Offered << codeText;
            index = codeText.startsWith("55") ? chart.AddAccount(Account(codeText)) : -1;
            return index >= 0;
        });
    }
    // A list without a blank line; period 4 is October 2005.
    std::unique_ptr<TTransactionList> List(int kind, int period = 4, bool columns = true) {
        TTransactionListSources sources{Entity, Format(),       columns,     columns,     columns,
                                        2,      Accounts.get(), Taxes.get(), Descs.get(), Rates.get()};
        return std::make_unique<TTransactionList>(sources, kind, 2006, period, 12,
                                                  TOptionSet{Option::NoBlankLine});
    }
    // Appends a keyed entry of 15 October 2005 posted to `posting` from bank 2000.
    TTransactionDetail& Add(TTransactionList& list, const char* posting = "1000",
                            quint32 flags = 1u << TF::Keyed) {
        auto entry = std::make_unique<TTransactionDetail>(list.GetNextID(4), list.PageKind());
        entry->Flags = flags;
        entry->Date = EncodeDateNum(2005, 10, 15);
        entry->PostingCode = Code(posting);
        entry->BankCode = Code("2000");
        return *list.GetItem(list.AddTransaction(std::move(entry), 4));
    }

    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TTaxRateChart> Taxes;
    std::unique_ptr<TCurrConvRatesChart> Rates;
    std::unique_ptr<TStdDescChart> Descs;
    QStringList Offered;
};

using L = TTransactionGrid;
using TValidator = bool (L::*)(QString&, QString&) const;

} // namespace

TEST_F(TransactionListCellsTest, FieldChecksRewriteTheTextAndReportBadValues) {
    struct TCase {
        int Kind, Period;
        TValidator Check;          // nullptr: the posting-account check with Reference
        const char *Typed, *Shown; // Shown: the text afterwards (kept as typed when invalid)
        bool Valid = true;
        const char* Message = ""; // a part of the message
        bool Warned = false;      // the bank-posting warning was shown
        qint32 Reference = 1;
    };
    const TCase cases[] = {
        {pkPayments, 4, &L::ValidateDate, "1/11/05", "1/11/05", false, "Date out of range"},
        {pkPayments, 0, &L::ValidateDate, "30/6/06", "30/06/06"}, // no period: the whole year
        {pkOpeningBalances, 1, &L::ValidateDate, "3/3/03", "01/07/05"},
        {pkOpeningUnpresentedCheques, 1, &L::ValidateDate, "3/2/01", "03/02/01"},
        {pkMemorisedPayments, 1, &L::ValidateDate, "7", "07/m/y"},
        {pkStandardBankTransactions, 1, &L::ValidateDate, "x9", "01/m/y"},
        {pkPayments, 4, &L::ValidateReference, "B", "Bank"},
        {pkReceipts, 4, &L::ValidateReference, "12.5", "Bank"},
        {pkReceipts, 4, &L::ValidateReference, "1000002", "000000", false, "reference"},
        {pkOpeningBalances, 1, &L::ValidateReference, "17", "Opbal"},
        {pkPayments, 4, &L::ValidateReference, "x", ""}, // a stray character is no reference
        {pkPayments, 4, &L::ValidateReference, "4x5", "4x5", false, "reference"},
        {pkPayments, 4, &L::ValidateAmount, "-5", "-5.00"},
        // Thousands grouped as the grid shows them are read back; other commas are refused.
        {pkPayments, 4, &L::ValidateAmount, "1,000", "1000.00"},
        {pkPayments, 4, &L::ValidateAmount, " 1,100.50", "1100.50"},
        {pkPayments, 4, &L::ValidateAmount, "-12,345,678.9", "-12345678.90"},
        {pkPayments, 4, &L::ValidateAmount, "1,00", "1,00", false, "amount"},
        {pkPayments, 4, &L::ValidateAmount, "1100,50", "1100,50", false, "amount"},
        {pkPayments, 4, &L::ValidateAmount, ",100", ",100", false, "amount"},
        {pkPayments, 4, &L::ValidateAmount, "1,,000", "1,,000", false, "amount"},
        {pkPayments, 4, &L::ValidateAmount, "1,000.5,0", "1,000.5,0", false, "amount"},
        {pkPayments, 4, &L::ValidateQuantity, "2.5", "2.5", false, "quantity"},
        {pkPayments, 4, &L::ValidateCurrencyRate, "-2", "2.0000"},
        {pkPayments, 4, &L::ValidateCurrencyRate, "", "1.0000"},
        {pkPayments, 4, &L::ValidateCurrencyRate, "0", "0.0000", false, "rate"},
        {pkPayments, 4, &L::ValidateCurrencyRate, "0.00001", "0.0000", false, "rate"}, // judged as written
        {pkPayments, 4, &L::ValidateCurrencyRate, "nan", "nan", false, "rate"},
        {pkPayments, 4, &L::ValidateTaxCode, "EXP,XYZ", "EXP"},
        {pkPayments, 4, &L::ValidateTaxCode, "XYZ", "XYZ", false, "tax code"},
        {pkPayments, 4, &L::ValidateBankAccount, "", "2000"},
        {pkPayments, 4, &L::ValidateBankAccount, "9000", "9000"},
        {pkPayments, 4, &L::ValidateBankAccount, "1000", "1000", false, "bank or"},
        {pkPayments, 4, &L::ValidateBankAccount, "5510", "5510", false, "bank or"}, // added: not a bank
        {pkBankStatementDeposits, 4, nullptr, "1000", ""},
        {pkPayments, 4, nullptr, "", "9000"},
        {pkPayments, 4, nullptr, "sales", "1000"},
        {pkPayments, 4, nullptr, "01000", "1000"}, // found once read as a code
        {pkPayments, 4, nullptr, "1500", "1500", false, "non-posting"},
        {pkOpeningBalances, 1, nullptr, "1000", "1000", false, "balance sheet or suspense"},
        {pkOpeningBalances, 1, nullptr, "9000", "9000"},
        {pkPayments, 4, nullptr, "2000", "2000", true, "", true},
        {pkMemorisedPayments, 1, nullptr, "2000", "2000", true, "", true},
        {pkPayments, 4, nullptr, "2000", "2000", true, "", false, ContraReference},
        {pkGeneralJournals, 4, nullptr, "2000", "2000"},
        {pkPayments, 4, nullptr, "5500", "5500"},        // added when offered
        {pkPayments, 4, nullptr, "6600", "6600", false}, // the offer declined: no message
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " '" << c.Typed << "'");
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        if (c.Warned)
            Prompt->Answer(TMessageButton::OK);
        auto list = List(c.Kind, c.Period);
        QString text = c.Typed, message;
        const bool valid = c.Check ? (TTransactionGrid(*list).*c.Check)(text, message)
                                   : TTransactionGrid(*list).ValidateAccount(text, message, c.Reference);
        EXPECT_EQ(valid, c.Valid);
        EXPECT_EQ(text, c.Shown);
        EXPECT_TRUE(*c.Message ? message.contains(c.Message) : message.isEmpty()) << message.toStdString();
        EXPECT_EQ(Prompt->Texts().join("").contains("posting to a bank account"), c.Warned);
        EXPECT_EQ(Prompt->Beeps.size() + Prompt->Beeps.count(TBeep::Information), c.Warned ? 2 : 0);
    }
    EXPECT_EQ(Offered, QStringList({"5510", "5500", "6600"}));
}

// In a chart whose codes have every part of the format, a number typed alone finds the account
// the format places it at (branch and sub-account 00) before anything is offered; a code that is
// in the chart as typed is found as typed, and a number naming no account is offered as typed.
TEST_F(TransactionListCellsTest, ATypedNumberFindsTheAccountTheFormatPlacesItAt) {
    const auto full = AccountsOf({"00-1180-00:ACC:Rent", "01-1180-00:ACC:Branch Rent", "1190:ACC:Cleaning",
                                  "00-2000-00:BNK:Cheque Account", "00-9000-00:SUS:Suspense"});
    TTransactionListSources sources{Entity, Format(),   true,        true,        true,
                                    2,      full.get(), Taxes.get(), Descs.get(), Rates.get()};
    TTransactionList list(sources, pkPayments, 2006, 4, 12, TOptionSet{Option::NoBlankLine});
    const struct {
        int Column;
        const char *Typed, *Shown;
        bool Valid;
    } cases[] = {
        {L::colAccount, "1180", "00-1180-00", true}, {L::colAccount, " 01-1180 ", "01-1180-00", true},
        {L::colAccount, "1190", "1190", true},       {L::colBankAccount, "2000", "00-2000-00", true},
        {L::colAccount, "1200", "1200", false},      {L::colAccount, "99-1180", "99-1180", false},
    };
    for (const auto& c : cases) {
        QString text = c.Typed, message;
        EXPECT_EQ(TTransactionGrid(list).ValidateField(0, c.Column, text, message), c.Valid) << c.Typed;
        EXPECT_EQ(text, c.Shown) << c.Typed;
    }
    EXPECT_EQ(Offered, QStringList({"1200", "99-1180"}));
    EXPECT_EQ(full->Count(), 5);
}

// A list of a file without a tax-rate chart knows no tax code: one typed is refused, never read.
TEST_F(TransactionListCellsTest, ATaxCodeOnAListWithoutTaxRatesIsRefused) {
    TTransactionListSources sources{Entity, Format(), true,        true,        true,
                                    2,      Accounts.get(), nullptr, Descs.get(), Rates.get()};
    TTransactionList list(sources, pkPayments, 2006, 4, 12, TOptionSet{Option::NoBlankLine});
    for (const char* typed : {"GST", "XYZ"}) {
        QString text = typed, message;
        EXPECT_FALSE(TTransactionGrid(list).ValidateTaxCode(text, message)) << typed;
        EXPECT_TRUE(message.contains("tax code")) << message.toStdString();
        EXPECT_EQ(text, typed);
    }
}

TEST_F(TransactionListCellsTest, CellTextsOfBlankAndKeyedLines) {
    TServices::Regional().DateSeparator = u'-'; // the program's separator, not the workstation's
    auto list = List(pkPayments);
    Add(*list, "1000", 1u << TF::Blank | 1u << TF::NonCash);
    TTransactionDetail& keyed = Add(*list, "1000", 1u << TF::Keyed | 1u << TF::CapitalAcquisition);
    std::tie(keyed.Reference, keyed.Amount, keyed.TaxCodes, keyed.Rate) = std::tuple(45, -1234.5, 3u, 0.65);
    keyed.SetDetails("Stationery");
    const QStringList blankTexts = {"  -  -  ", "", "", "", "", "", "", "", "", "Y", "2000"};
    const QStringList keyedTexts = {"15-10-05", "000045",     "1000", "-1234.50", "0",   "EXP,GST",
                                    "0.6500",   "Stationery", "Y",    "",         "2000"};
    for (int column = 0; column < TTransactionGrid::ColumnCount; ++column) {
        EXPECT_EQ(TTransactionGrid(*list).GetCellText(0, column, false), blankTexts[column]) << column;
        EXPECT_EQ(TTransactionGrid(*list).GetCellText(1, column, false), keyedTexts[column]) << column;
    }
    EXPECT_EQ(TTransactionGrid(*list).GetCellText(0, 10, true), "");
    EXPECT_EQ(TTransactionGrid(*list).GetCellText(1, 3, true), "$ (1,234.50)");
    keyed.Amount = -0.001; // no minus on an amount that shows as zero
    EXPECT_EQ(TTransactionGrid(*list).GetCellText(1, 3, true), "$ 0.00");
    keyed.BankCode = Code("2100"); // USD has no one-byte symbol
    EXPECT_EQ(TTransactionGrid(*list).GetCellText(1, 3, true), "  0.00");
    EXPECT_EQ(TTransactionGrid(*list).GetCellText(1, 10, true), "2100 (USD)");
    keyed.Flags |= 1u << TF::Contra;
    EXPECT_EQ(TTransactionGrid(*list).GetCellText(1, 4, false) +
                  TTransactionGrid(*list).GetCellText(2, 0, false),
              ""); // past the end
}

TEST_F(TransactionListCellsTest, SetCellTextParsesEachColumn) {
    // Typed texts by column, and the texts shown afterwards with the optional columns on and off.
    const QStringList typed = {"junk", " C ", "", "12.5", "x", "EXP", "", QString(60, u'x'), "Y", "y", ""};
    const QStringList shownOn = {"15/10/05", "Contra", "9000", "12.50", "0",   "EXP",
                                 "1.0000",   "",       "Y",    "",      "2000"};
    const QStringList shownOff = {"15/10/05", "Contra", "9000", "12.50", "7",   "",
                                  "0.5000",   "",       "Y",    "",      "2000"};
    for (const bool columns : {true, false}) {
        auto list = List(pkPayments, 4, columns);
        TTransactionDetail& entry = Add(*list, "3000");
        std::tie(entry.Quantity, entry.Rate, entry.BankCode) = std::tuple(7, 0.5, Code("9000"));
        for (int column = 0; column < TTransactionGrid::ColumnCount; ++column) {
            EXPECT_EQ(TTransactionGrid(*list).SetCellText(0, column, typed[column]), 1);
            const QString expected = column == 7 ? QString(54, u'x') : (columns ? shownOn : shownOff)[column];
            EXPECT_EQ(TTransactionGrid(*list).GetCellText(0, column, false), expected) << column;
        }
        TTransactionGrid(*list).SetCellText(0, 0, "2/10/05");
        EXPECT_EQ(entry.Date, EncodeDateNum(2005, 10, 2));
    }
}

TEST_F(TransactionListCellsTest, CellColoursFollowTheFlags) {
    // Page kind, flags, posting account, column, then the background and text colours (0: none).
    using TCase = std::tuple<int, quint32, const char*, int, TRgbColour, TRgbColour>;
    const TRgbColour blue = RgbColour(0, 0, 255), black = RgbColour(0, 0, 0), red = RgbColour(255, 0, 0),
                     yellow = RgbColour(255, 255, 0), teal = RgbColour(0, 128, 128),
                     aqua = RgbColour(0, 255, 255), tan = RgbColour(240, 202, 166);
    const auto f = [](std::initializer_list<int> bits) { return FlagSetInclude(0, bits); };
    const TCase cases[] = {
        {pkPayments, f({TF::Keyed}), "1000", 3, 0, 0},
        {pkPayments, f({TF::Reconciled, TF::Highlight}), "2000", 3, 0, blue},
        {pkPayments, f({TF::Highlight, TF::Contra}), "2000", 3, yellow, black},
        {pkPayments, f({TF::Contra}), "2000", 3, red, yellow},
        {pkBankStatementDeposits, f({TF::Keyed}), "2000", 3, red, yellow},
        {pkGeneralJournals, f({TF::Contra}), "2000", 3, teal, black},
        {pkPayments, f({TF::DissectionMember}), "1000", 0, aqua, 0},
        {pkPayments, f({TF::DissectionMember}), "1000", 1, 0, 0},
        {pkPayments, f({TF::DissectionTotal}), "1000", 2, aqua, 0},
        {pkPayments, f({TF::DissectionMember, TF::TaxLine}), "1000", 5, tan, 0},
        {pkPayments, f({TF::Reconciled, TF::DissectionMember}), "1000", 0, aqua, blue},
    };
    for (const auto& [kind, flags, posting, column, background, text] : cases) {
        SCOPED_TRACE(testing::Message() << kind << " " << posting << " column " << column);
        auto list = List(kind);
        list->SetHighlightSwitch(1);
        TTransactionDetail& entry = Add(*list, posting, flags);
        entry.Reference = 5;
        const TTransactionGrid::TCellColours colours = TTransactionGrid(*list).GetCellColours(0, column);
        EXPECT_EQ(colours.HasBackground ? colours.Background : 0, background);
        EXPECT_EQ(colours.HasText ? colours.Text : 0, text);
        entry.Reference = ContraReference; // a contra reference is never the warning pair
        EXPECT_NE(TTransactionGrid(*list).GetCellColours(0, column).Background, red);
    }
}

TEST_F(TransactionListCellsTest, WholeListProceduresOnAccounts) {
    auto list = List(pkPayments);
    for (const char* posting : {"1000", "2000", "2100", "9000"})
        Add(*list, posting);
    list->GetItem(1)->Reference = ContraReference;
    list->GetItem(3)->BankCode = Code("9000");
    list->GetItem(2)->Date = EncodeDateNum(2005, 10, 20);
    // Whether each entry posts to its own bank account: at all, to a bank or suspense account, as a contra.
    QString got;
    for (int i = 0; i < 4; ++i)
        for (const auto& [bank, contra] : {std::pair{false, false}, {true, false}, {true, true}})
            got += TTransactionGrid(*list).IsBankContraEntry(i, bank, contra) ? u'1' : u'0';
    EXPECT_EQ(got, "000111000110");

    // Mapping: 3000 names 1000 as its target, 1000 an account the chart lacks.
    Accounts->GetAccount(Accounts->IndexOf("3000"))->Code2 = Code("1000");
    Accounts->GetAccount(Accounts->IndexOf("1000"))->Code2 = Code("7777");
    TTransactionDetail entry(1, pkPayments);
    entry.PostingCode = Code("3000");
    entry.BankCode = Code("1000");
    EXPECT_EQ(list->MapAccountCode(entry) * 100 + list->MapBankAccountCode(entry),
              Accounts->IndexOf("1000") * 100 + Accounts->IndexOf("9000"));
    EXPECT_TRUE(entry.PostingCode == Code("1000") && entry.BankCode == Code("9000"));
    entry.PostingCode = Code("7777");
    EXPECT_TRUE(list->MapAccountCode(entry) == -1 && entry.PostingCode == Code("7777"));

    // Details: abbreviations always, month and title macros except on standard bank transactions.
    QString details = "~RENT <M> <Y>", standard = "~RENT <M>", message;
    EXPECT_TRUE(TTransactionGrid(*list).ValidateDetails(details, message, EncodeDateNum(2005, 10, 3)));
    EXPECT_TRUE(
        TTransactionGrid(*List(pkStandardBankTransactions, 1)).ValidateDetails(standard, message, 1.0));
    EXPECT_EQ(details + "|" + standard, "Office rent Oct 2006|Office rent <M>");

    // Deleting by dates: bank 2000 on the 15th, none between, then everything of the 15th to the 20th.
    const auto remove = [&](int bank, int from, int to) {
        list->SetSaved(true);
        const int removed =
            list->DeleteEntriesInDateRange(bank, EncodeDateNum(2005, 10, from), EncodeDateNum(2005, 10, to));
        EXPECT_EQ(list->Saved(), removed == 0);
        return removed;
    };
    EXPECT_EQ(QList<int>({remove(Accounts->IndexOf("2000"), 15, 15), remove(-1, 16, 19), remove(-1, 15, 20),
                          list->Count()}),
              QList<int>({2, 0, 2, 0}));
}
