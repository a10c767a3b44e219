#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/util/FlagSets.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

namespace TF = TransactionFlag;

namespace {

const QString BankWarning = QStringLiteral(
    "You are posting to a bank account. This is not the normal procedure for non-contra entries. If you want "
    "to transfer amounts between bank accounts, you should use an intermediary transfer account.");

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
};

using TValidator = bool (TTransactionList::*)(QString&, QString&) const;

} // namespace

TEST_F(TransactionListCellsTest, FieldChecksRewriteTheTextAndReportBadValues) {
    struct TCase {
        int Kind;
        int Period;
        TValidator Check;
        const char* Typed;
        bool Valid;
        const char* Shown; // the text afterwards (the typed text when it is kept)
        const char* Message;
    };
    const auto date = &TTransactionList::ValidateDate;
    const auto ref = &TTransactionList::ValidateReference;
    const auto amount = &TTransactionList::ValidateAmount;
    const auto rate = &TTransactionList::ValidateCurrencyRate;
    const TCase cases[] = {
        {pkPayments, 4, date, "15/10/05", true, "15/10/05", ""},
        {pkPayments, 4, date, "1/11/05", false, "1/11/05", "Date out of range."},
        {pkPayments, 4, date, "junk", false, "junk", "Date out of range."},
        {pkPayments, 0, date, "30/6/06", true, "30/06/06", ""}, // no period: the whole year
        {pkPayments, 0, date, "1/7/06", false, "1/7/06", "Date out of range."},
        {pkOpeningBalances, 1, date, "3/3/03", true, "01/07/05", ""},
        {pkOpeningUnpresentedCheques, 1, date, "3/2/01", true, "03/02/01", ""},
        {pkOpeningUnpresentedCheques, 1, date, "3/", false, "3/", "Date out of range."},
        {pkMemorisedPayments, 1, date, "7", true, "07/m/y", ""},
        {pkStandardBankTransactions, 1, date, "x9", true, "01/m/y", ""},
        {pkPayments, 4, ref, "B", true, "Bank", ""},
        {pkReceipts, 4, ref, "12.5", true, "Bank", ""},
        {pkReceipts, 4, ref, "1000002", false, "000000", "Invalid reference number."},
        {pkReceipts, 4, ref, "O", false, "000000", "Invalid reference number."},
        {pkOpeningBalances, 1, ref, "17", true, "Opbal", ""},
        {pkPayments, 4, ref, "C", true, "Contra", ""},
        {pkPayments, 4, ref, "x", true, "", ""}, // a stray character is no reference
        {pkPayments, 4, ref, "45", true, "000045", ""},
        {pkPayments, 4, ref, "4x5", false, "4x5", "Invalid reference number."},
        {pkPayments, 4, amount, "", true, "0.00", ""},
        {pkPayments, 4, amount, "-5", true, "-5.00", ""},
        {pkPayments, 4, amount, "1,000", false, "1,000", "Invalid amount."},
        {pkPayments, 4, &TTransactionList::ValidateQuantity, "", true, "0", ""},
        {pkPayments, 4, &TTransactionList::ValidateQuantity, "2.5", false, "2.5", "Invalid quantity."},
        {pkPayments, 4, rate, "-2", true, "2.0000", ""},
        {pkPayments, 4, rate, "", true, "1.0000", ""},
        {pkPayments, 4, rate, "0", false, "0.0000", "Invalid currency rate."},
        {pkPayments, 4, rate, "0.00001", false, "0.0000", "Invalid currency rate."},
        {pkPayments, 4, rate, "nan", false, "nan", "Invalid currency rate."},
        {pkPayments, 4, &TTransactionList::ValidateTaxCode, "", true, "", ""},
        {pkPayments, 4, &TTransactionList::ValidateTaxCode, "EXP,XYZ", true, "EXP", ""},
        {pkPayments, 4, &TTransactionList::ValidateTaxCode, "XYZ", false, "XYZ", "Unknown tax code"},
        {pkPayments, 4, &TTransactionList::ValidateBankAccount, "", true, "2000", ""},
        {pkPayments, 4, &TTransactionList::ValidateBankAccount, "Dollar Account", true, "2100", ""},
        {pkPayments, 4, &TTransactionList::ValidateBankAccount, "9000", true, "9000", ""},
        {pkPayments, 4, &TTransactionList::ValidateBankAccount, "1000", false, "1000",
         "Invalid bank account code. Valid bank account codes are either bank or suspense accounts."},
        {pkPayments, 4, &TTransactionList::ValidateBankAccount, "7777", false, "7777", ""}, // offer declined
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " '" << c.Typed << "'");
        auto list = List(c.Kind, c.Period);
        QString text = c.Typed;
        QString message;
        EXPECT_EQ(((*list).*c.Check)(text, message), c.Valid);
        EXPECT_EQ(text, c.Shown);
        EXPECT_EQ(message, c.Message);
    }
}

TEST_F(TransactionListCellsTest, PostingAccountCheckAndTheBankPostingWarning) {
    struct TCase {
        int Kind;
        const char* Typed;
        qint32 Reference;
        bool Valid;
        const char* Shown;
        const char* Message;
        bool Warned;
    };
    const TCase cases[] = {
        {pkBankStatementDeposits, "1000", 1, true, "", "", false},
        {pkPayments, "", 1, true, "9000", "", false},
        {pkPayments, "sales", 1, true, "1000", "", false},
        {pkPayments, "01000", 1, true, "1000", "", false}, // found once read as a code
        {pkPayments, "1500", 1, false, "1500",
         "Allocating transactions to a non-posting account is not permitted.", false},
        {pkOpeningBalances, "1000", 1, false, "1000",
         "Opening balance transactions can only be allocated to balance sheet or suspense accounts.", false},
        {pkOpeningBalances, "9000", 1, true, "9000", "", false},
        {pkPayments, "2000", 1, true, "2000", "", true},
        {pkMemorisedPayments, "2000", 1, true, "2000", "", true},
        {pkPayments, "2000", ContraReference, true, "2000", "", false},
        {pkGeneralJournals, "2000", 1, true, "2000", "", false},
        {pkPayments, "7777", 1, false, "7777", "", false}, // offer declined
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " '" << c.Typed << "'");
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        if (c.Warned)
            Prompt->Answer(TMessageButton::OK);
        QString text = c.Typed;
        QString message;
        EXPECT_EQ(List(c.Kind)->ValidateAccount(text, message, c.Reference), c.Valid);
        EXPECT_EQ(text, c.Shown);
        EXPECT_EQ(message, c.Message);
        EXPECT_EQ(Prompt->Texts(), c.Warned ? QStringList{BankWarning} : QStringList{});
        EXPECT_EQ(Prompt->Beeps.size() + Prompt->Beeps.count(TBeep::Information), c.Warned ? 2 : 0);
    }
}

TEST_F(TransactionListCellsTest, TheAddAccountOfferTakesTheTypedCodeAndCanDecline) {
    QStringList offered;
    TServices::SetAddAccountOffer([&](TAccountsChart& chart, const QString& codeText, int& index) {
        offered << codeText;
        index = codeText == "5500" ? chart.AddAccount(Account(codeText)) : -1;
        return index >= 0;
    });
    auto list = List(pkPayments);
    QString text = "5500";
    QString message;
    EXPECT_TRUE(list->ValidateAccount(text, message, 1));
    EXPECT_EQ(Accounts->GetCode(Accounts->IndexOfCodeText(text)), "5500");
    text = "6600";
    EXPECT_FALSE(list->ValidateAccount(text, message, 1));
    EXPECT_EQ(message, "");
    EXPECT_EQ(offered, QStringList({"5500", "6600"}));
    // Reset puts the declining offer back.
    TServices::Reset();
    int index = 7;
    EXPECT_FALSE(TServices::AddAccountOffer()(*Accounts, "7700", index));
    EXPECT_EQ(index, -1);
}

TEST_F(TransactionListCellsTest, CellTextsOfBlankAndKeyedLines) {
    auto list = List(pkPayments);
    Add(*list, "1000", 1u << TF::Blank | 1u << TF::NonCash);
    TTransactionDetail& keyed = Add(*list, "1000");
    keyed.Reference = 45;
    keyed.Amount = -1234.5;
    keyed.TaxCodes = 3;
    keyed.Rate = 0.65;
    keyed.SetDetails("Stationery");
    keyed.Flags |= 1u << TF::CapitalAcquisition;
    const QStringList blankTexts = {"  /  /  ", "", "", "", "", "", "", "", "", "Y", "2000"};
    const QStringList keyedTexts = {"15/10/05", "000045",     "1000", "-1234.50", "0",   "EXP,GST",
                                    "0.6500",   "Stationery", "Y",    "",         "2000"};
    for (int column = 0; column < TTransactionList::ColumnCount; ++column) {
        EXPECT_EQ(list->GetCellText(0, column, false), blankTexts[column]) << column;
        EXPECT_EQ(list->GetCellText(1, column, false), keyedTexts[column]) << column;
    }
    EXPECT_EQ(list->GetCellText(0, 10, true), "");
    EXPECT_EQ(list->GetCellText(1, 3, true), "$ (1,234.50)");
    keyed.Amount = 1234567;
    EXPECT_EQ(list->GetCellText(1, 3, true), "$ 1,234,567.00");
    keyed.Amount = -0.001; // no minus on an amount that shows as zero
    EXPECT_EQ(list->GetCellText(1, 3, true), "$ 0.00");
    keyed.BankCode = Code("2100"); // USD has no one-byte symbol
    EXPECT_EQ(list->GetCellText(1, 3, true), "  0.00");
    EXPECT_EQ(list->GetCellText(1, 10, true), "2100 (USD)");
    keyed.Flags |= 1u << TF::Contra;
    EXPECT_EQ(list->GetCellText(1, 4, false), "");
    EXPECT_EQ(list->GetCellText(2, 0, false), ""); // past the end

    auto memorised = List(pkMemorisedPayments, 1);
    Add(*memorised, "1000", 1u << TF::Blank);
    Add(*memorised).Date = 7;
    EXPECT_EQ(memorised->GetCellText(0, 0, false), "  /m/y");
    EXPECT_EQ(memorised->GetCellText(1, 0, false), "07/m/y");
}

TEST_F(TransactionListCellsTest, SetCellTextParsesEachColumn) {
    auto list = List(pkPayments);
    TTransactionDetail& entry = Add(*list, "3000");
    const double date = entry.Date;
    list->SetCellText(0, 0, "junk");
    EXPECT_EQ(entry.Date, date); // an unreadable date keeps the old one
    list->SetCellText(0, 0, " 2/10/05 ");
    EXPECT_EQ(entry.Date, EncodeDateNum(2005, 10, 2));
    list->SetCellText(0, 1, "C");
    EXPECT_EQ(entry.Reference, ContraReference);
    list->SetCellText(0, 2, "");
    EXPECT_EQ(entry.PostingCode, Code("9000"));
    list->SetCellText(0, 3, "12.5");
    list->SetCellText(0, 4, "x");
    list->SetCellText(0, 5, "EXP");
    list->SetCellText(0, 6, "");
    EXPECT_EQ(QList<double>({entry.Amount, double(entry.Quantity), double(entry.TaxCodes), entry.Rate}),
              QList<double>({12.5, 0, 2, 1.0}));
    list->SetCellText(0, 7, QString(60, u'x'));
    EXPECT_EQ(entry.Details(), QString(54, u'x'));
    list->SetCellText(0, 8, "Y");
    list->SetCellText(0, 9, "y");
    EXPECT_TRUE(entry.HasAnyFlag({TF::CapitalAcquisition}));
    EXPECT_FALSE(entry.HasAnyFlag({TF::NonCash}));
    entry.BankCode = Code("9000");
    list->SetCellText(0, 10, "");
    EXPECT_EQ(entry.BankCode, Code("2000"));

    // Columns that are off leave their fields alone.
    auto plain = List(pkPayments, 4, false);
    TTransactionDetail& other = Add(*plain);
    for (int column : {4, 5, 6})
        plain->SetCellText(0, column, "3");
    EXPECT_EQ(QList<double>({double(other.Quantity), double(other.TaxCodes), other.Rate}),
              QList<double>({0, 0, 1.0}));
    auto memorised = List(pkMemorisedPayments, 1);
    Add(*memorised);
    memorised->SetCellText(0, 0, "09/m/y");
    EXPECT_EQ(memorised->GetItem(0)->Date, 9.0);
}

TEST_F(TransactionListCellsTest, CellColoursFollowTheFlags) {
    struct TCase {
        int Kind;
        std::initializer_list<int> Flags;
        const char* Posting;
        int Column;
        TRgbColour Background; // 0: none
        TRgbColour Text;       // 0: none
    };
    const TRgbColour blue = RgbColour(0, 0, 255), black = RgbColour(0, 0, 0);
    const TCase cases[] = {
        {pkPayments, {TF::Keyed}, "1000", 3, 0, 0},
        {pkPayments, {TF::Reconciled, TF::Highlight}, "2000", 3, 0, blue},
        {pkPayments, {TF::Highlight, TF::Contra}, "2000", 3, RgbColour(255, 255, 0), black},
        {pkPayments, {TF::Contra}, "2000", 3, RgbColour(255, 0, 0), RgbColour(255, 255, 0)},
        {pkBankStatementDeposits, {TF::Keyed}, "2000", 3, RgbColour(255, 0, 0), RgbColour(255, 255, 0)},
        {pkGeneralJournals, {TF::Contra}, "2000", 3, RgbColour(0, 128, 128), black},
        {pkPayments, {TF::DissectionMember}, "1000", 0, RgbColour(0, 255, 255), 0},
        {pkPayments, {TF::DissectionMember}, "1000", 1, 0, 0},
        {pkPayments, {TF::DissectionTotal}, "1000", 2, RgbColour(0, 255, 255), 0},
        {pkPayments, {TF::DissectionMember, TF::TaxLine}, "1000", 0, RgbColour(0, 255, 255), 0},
        {pkPayments, {TF::DissectionMember, TF::TaxLine}, "1000", 5, RgbColour(240, 202, 166), 0},
        {pkPayments, {TF::Reconciled, TF::DissectionMember}, "1000", 0, RgbColour(0, 255, 255), blue},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Posting << " column " << c.Column);
        auto list = List(c.Kind);
        list->SetHighlightSwitch(1);
        TTransactionDetail& entry = Add(*list, c.Posting, FlagSetInclude(0, c.Flags));
        entry.Reference = 5;
        const TTransactionList::TCellColours colours = list->GetCellColours(0, c.Column);
        EXPECT_EQ(colours.HasBackground ? colours.Background : 0, c.Background);
        EXPECT_EQ(colours.HasText ? colours.Text : 0, c.Text);
        entry.Reference = ContraReference; // a contra reference is never the warning pair
        EXPECT_NE(list->GetCellColours(0, c.Column).Background, RgbColour(255, 0, 0));
    }
    auto list = List(pkPayments);
    Add(*list, "1000", 1u << TF::Highlight);
    EXPECT_FALSE(list->GetCellColours(0, 3).HasBackground); // highlight switch off
}

TEST_F(TransactionListCellsTest, WholeListProceduresOnAccounts) {
    auto list = List(pkPayments);
    for (const char* posting : {"1000", "2000", "2100", "9000"})
        Add(*list, posting);
    list->GetItem(1)->Reference = ContraReference;
    list->GetItem(3)->BankCode = Code("9000");
    list->GetItem(2)->Date = EncodeDateNum(2005, 10, 20);
    const bool expected[][3] = {
        {false, false, false}, {true, true, true}, {false, false, false}, {true, true, false}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(
            QList<bool>({list->IsBankContraEntry(i, false, false), list->IsBankContraEntry(i, true, false),
                         list->IsBankContraEntry(i, true, true)}),
            QList<bool>(std::begin(expected[i]), std::end(expected[i])))
            << i;

    EXPECT_EQ(list->GetAccountCurrencyRate(Code("2100")), 0.65);
    EXPECT_EQ(list->GetAccountCurrencyRate(Code("2000")), 1.0); // AUD has no rate in the chart
    EXPECT_EQ(list->GetAccountCurrencyRate(Code("7777")), 1.0);

    // Mapping: 3000 names 1000 as its target, 1000 an account the chart lacks.
    Accounts->GetAccount(Accounts->IndexOf("3000"))->Code2 = Code("1000");
    Accounts->GetAccount(Accounts->IndexOf("1000"))->Code2 = Code("7777");
    TTransactionDetail entry(1, pkPayments);
    entry.PostingCode = Code("3000");
    entry.BankCode = Code("1000");
    EXPECT_EQ(list->MapAccountCode(entry), Accounts->IndexOf("1000"));
    EXPECT_EQ(list->MapBankAccountCode(entry), Accounts->IndexOf("9000"));
    EXPECT_EQ(QList<TAccountCode>({entry.PostingCode, entry.BankCode}),
              QList<TAccountCode>({Code("1000"), Code("9000")}));
    entry.PostingCode = Code("7777");
    EXPECT_EQ(list->MapAccountCode(entry), -1);
    EXPECT_EQ(entry.PostingCode, Code("7777"));

    QString details = "~RENT <M> <Y>";
    QString message;
    EXPECT_TRUE(list->ValidateDetails(details, message, EncodeDateNum(2005, 10, 3)));
    EXPECT_EQ(details, "Office rent Oct 2006");
    details = "<M>";
    EXPECT_TRUE(List(pkStandardBankTransactions, 1)->ValidateDetails(details, message, 1.0));
    EXPECT_EQ(details, "<M>");

    // Deleting by dates: the 15th and 20th of October, then with a bank account the 15th only.
    list->SetSaved(true);
    EXPECT_EQ(list->DeleteEntriesInDateRange(Accounts->IndexOf("2000"), EncodeDateNum(2005, 10, 15),
                                             EncodeDateNum(2005, 10, 15)),
              2);
    EXPECT_FALSE(list->Saved());
    list->SetSaved(true);
    EXPECT_EQ(list->DeleteEntriesInDateRange(-1, EncodeDateNum(2005, 10, 16), EncodeDateNum(2005, 10, 19)),
              0);
    EXPECT_TRUE(list->Saved());
    EXPECT_EQ(list->DeleteEntriesInDateRange(-1, EncodeDateNum(2005, 10, 15), EncodeDateNum(2005, 10, 20)),
              2);
    EXPECT_EQ(list->Count(), 0);
}
