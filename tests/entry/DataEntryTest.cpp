#include "entry/dataentry/DataEntryEditor.h"

#include "../core/ChartTestSupport.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionClipboard.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/PageKinds.h"

#include <QMimeData>

#include <set>

namespace TF = TransactionFlag;
using G = TTransactionGrid;

namespace {

// Pages of the year to June 2006 over a chart with the bank account 2000 (the default), the GST
// account 3100, rent 5000 and the suspense account 9100, and one tax code, GST, of 10 % to 3100.
// Period 4 is October 2005, period 5 November.
class DataEntryTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Accounts = AccountsOf(
            {"2000:BNK:Cheque Account:AUD", "3100:ACC:GST Collected", "5000:ACC:Rent", "9100:SUS:Suspense"});
        Accounts->EnsureSuspenseAccount();
        Accounts->SetDefaultAccount(Accounts->IndexOf("2000"), true);
        Rates = std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Format(), TOptionSet{}, 2006);
        auto gst = std::make_unique<TTaxRate>(Format());
        gst->Tax_Code = "GST";
        gst->TaxType = 0;
        gst->Tax_Rate = 10.0;
        gst->TaxAccount = Code("3100");
        gst->StartDate = EncodeDateNum(2005, 7, 1);
        gst->EndDate = EncodeDateNum(2006, 6, 30);
        ASSERT_GE(Rates->AddItem(std::move(gst)), 0);
        Books = {Entity, Format(), false, true, false, 2, Accounts.get(), Rates.get()};
    }

    std::unique_ptr<TDataEntryPage> Page(int kind = pkPayments, int period = 4) const {
        return TDataEntryPage::Create(Books, kind, 2006, period, 12, TOptionSet{}, false);
    }

    // Keys the fields one after the other on the page's blank last line and finishes the row.
    static void Key(TDataEntryEditor& editor, const std::vector<std::pair<int, QString>>& fields) {
        const int row = editor.MoveTo(editor.Count() - 1, 0);
        for (const auto& [column, text] : fields) {
            const TDataEntryEditor::TFieldResult result = editor.LeaveField(row, column, text);
            ASSERT_TRUE(result.Valid)
                << column << " " << text.toStdString() << ": " << result.Message.toStdString();
        }
        editor.FinishRow();
    }
    // A payment of rent on 15 October 2005.
    static void KeyPayment(TDataEntryEditor& editor, const QString& amount, const QString& taxes = {}) {
        Key(editor, {{G::colDate, "15/10/05"},
                     {G::colReference, "123"},
                     {G::colAccount, "5000"},
                     {G::colAmount, amount},
                     {G::colTaxCodes, taxes},
                     {G::colDetails, "Office rent"}});
    }

    // Each line of the page as its kind, amount and details.
    static QStringList Lines(const TTransactionList& list) {
        QStringList lines;
        for (int i = 0; i < list.Count(); ++i) {
            const TTransactionDetail& line = *list.GetItem(i);
            const char* kind = line.HasAnyFlag({TF::Blank})             ? "blank"
                               : line.HasAnyFlag({TF::TaxLine})         ? "tax"
                               : line.HasAnyFlag({TF::DissectionTotal}) ? "total"
                               : line.HasAnyFlag({TF::Contra})          ? "contra"
                                                                        : "entry";
            lines << QStringLiteral("%1 %2 %3")
                         .arg(kind, QString::number(line.Amount, 'f', 2), line.Details())
                         .trimmed();
        }
        return lines;
    }
    static QByteArray Record(const TTransactionList& list, int index) {
        return TransactionRecordBytes(*list.GetItem(index));
    }

    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TTaxRateChart> Rates;
    TTransactionListSources Books;
};

const QString GstLine = QStringLiteral("tax 10.00 GST tax (10.00%) on Office rent");
const QString TotalLine = QStringLiteral("total 110.00 Payment Dissection Total");

} // namespace

TEST_F(DataEntryTest, KeyingAPaymentWithATaxCodeMakesItsTaxLineTotalAndANewBlankLine) {
    auto page = Page();
    TTransactionList& list = page->List();
    TDataEntryEditor editor(*page);
    ASSERT_EQ(editor.Count(), 1);
    const qint32 blankID = list.GetItem(0)->ID;

    editor.MoveTo(0, 0);
    EXPECT_EQ(editor.LeaveField(0, G::colDate, "15/10/05").Text, "15/10/05");
    // The first field keyed makes the blank line an entry of the default bank account.
    EXPECT_FALSE(list.GetItem(0)->HasAnyFlag({TF::Blank}));
    EXPECT_EQ(list.GetItem(0)->BankCode, Code("2000"));
    EXPECT_EQ(editor.LeaveField(0, G::colAccount, "rent").Text, "5000");
    EXPECT_EQ(editor.LeaveField(0, G::colAmount, "110").Text, "110.00");
    EXPECT_EQ(editor.LeaveField(0, G::colTaxCodes, "GST").Text, "GST");
    EXPECT_EQ(editor.LeaveField(0, G::colDetails, "Office rent").Text, "Office rent");
    EXPECT_EQ(editor.Count(), 1); // nothing is generated before the row is finished
    EXPECT_TRUE(editor.RowPending());

    editor.FinishRow();
    EXPECT_FALSE(editor.RowPending());
    EXPECT_EQ(Lines(list), (QStringList{"entry 100.00 Office rent", GstLine, TotalLine, "blank 0.00"}));
    const TTransactionDetail& entry = *list.GetItem(0);
    const TTransactionDetail& tax = *list.GetItem(1);
    const TTransactionDetail& total = *list.GetItem(2);
    EXPECT_EQ(entry.ID, blankID);
    EXPECT_EQ(entry.ID, TransactionKeyBase(pkPayments, 10, 6));
    EXPECT_EQ(entry.PostingCode, Code("5000"));
    EXPECT_EQ(std::tuple(tax.ParentID, tax.PostingCode, tax.Date, tax.BankCode),
              std::tuple(entry.ID, Code("3100"), entry.Date, entry.BankCode));
    EXPECT_NE(entry.Dissection, -1);
    EXPECT_EQ(std::tuple(tax.Dissection, total.Dissection), std::tuple(entry.Dissection, entry.Dissection));
    EXPECT_FALSE(entry.HasAnyFlag({TF::WasInDissection}));
    EXPECT_EQ(list.GetItem(3)->ID, blankID + 1);
    EXPECT_FALSE(list.Saved());

    // The amount opens with its tax, as keyed; keying it again changes nothing, keying another
    // amount splits that one.
    EXPECT_EQ(editor.EditText(0, G::colAmount), "110.00");
    editor.MoveTo(0, G::colAmount);
    EXPECT_TRUE(editor.LeaveField(0, G::colAmount, "110.00").Valid);
    EXPECT_FALSE(editor.RowPending());
    EXPECT_TRUE(editor.LeaveField(0, G::colAmount, "220").Valid);
    editor.FinishRow();
    EXPECT_EQ(Lines(list),
              (QStringList{"entry 200.00 Office rent", "tax 20.00 GST tax (10.00%) on Office rent",
                           "total 220.00 Payment Dissection Total", "blank 0.00"}));
    // Taking the tax code away puts the whole amount back on the entry, outside any dissection.
    editor.MoveTo(0, G::colTaxCodes);
    EXPECT_TRUE(editor.LeaveField(0, G::colTaxCodes, "").Valid);
    editor.FinishRow();
    EXPECT_EQ(Lines(list), (QStringList{"entry 220.00 Office rent", "blank 0.00"}));
    EXPECT_EQ(list.GetItem(0)->Dissection, -1);
}

TEST_F(DataEntryTest, ARefusedFieldGivesTheChecksMessageAndLeavesTheEntryAsItWas) {
    struct TCase {
        int Column;
        const char* Typed;
        const char* Message;
    } const cases[] = {
        {G::colAccount, "7777", ""}, // unknown, and not added when offered
        {G::colDate, "1/11/05", "Date out of range."},
        {G::colAmount, "12a", "Invalid amount."},
        {G::colTaxCodes, "XYZ", "Unknown tax code"},
        {G::colReference, "4x5", "Invalid reference number."},
        {G::colBankAccount, "5000",
         "Invalid bank account code. Valid bank account codes are either bank or suspense accounts."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        auto page = Page();
        TDataEntryEditor editor(*page);
        KeyPayment(editor, "110", "GST");
        const QStringList lines = Lines(page->List());
        const QByteArray entry = Record(page->List(), 0);
        for (const int row : {0, editor.Count() - 1}) {
            editor.MoveTo(row, c.Column);
            const TDataEntryEditor::TFieldResult result = editor.LeaveField(row, c.Column, c.Typed);
            EXPECT_EQ(std::tuple(result.Valid, result.Text, result.Message),
                      std::tuple(false, QString(c.Typed), QString(c.Message)));
            EXPECT_FALSE(editor.RowPending());
        }
        EXPECT_EQ(Record(page->List(), 0), entry);
        EXPECT_TRUE(page->List().GetItem(editor.Count() - 1)->HasAnyFlag({TF::Blank}));
        editor.FinishRow();
        EXPECT_EQ(Lines(page->List()), lines);
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(DataEntryTest, GeneratedLinesAndHiddenColumnsCannotBeTypedIn) {
    auto page = Page();
    TDataEntryEditor editor(*page);
    KeyPayment(editor, "110", "GST");
    page->List().GenerateContras(false);
    // entry, tax line, total, contra, blank
    ASSERT_EQ(editor.Count(), 5);
    ASSERT_TRUE(page->List().GetItem(3)->HasAnyFlag({TF::Contra}));
    const QByteArray tax = Record(page->List(), 1);
    for (const int row : {1, 2, 3}) {
        EXPECT_FALSE(editor.IsEditable(row, G::colDetails)) << row;
        EXPECT_FALSE(editor.LeaveField(row, G::colDetails, "changed").Valid) << row;
    }
    EXPECT_EQ(Record(page->List(), 1), tax);
    EXPECT_TRUE(editor.IsEditable(0, G::colDetails));
    EXPECT_TRUE(editor.IsEditable(4, G::colAmount));
    EXPECT_FALSE(editor.IsEditable(0, G::colQuantity)); // the file keeps no quantities
    EXPECT_FALSE(editor.IsEditable(0, G::colRate));
    EXPECT_FALSE(editor.IsEditable(0, G::ColumnCount));
}

TEST_F(DataEntryTest, CreatingAndRemovingADissection) {
    auto page = Page();
    TTransactionList& list = page->List();
    TDataEntryEditor editor(*page);
    KeyPayment(editor, "50");
    KeyPayment(editor, "110", "GST");
    KeyPayment(editor, "20");
    ASSERT_EQ(Lines(list), (QStringList{"entry 50.00 Office rent", "entry 100.00 Office rent", GstLine,
                                        TotalLine, "entry 20.00 Office rent", "blank 0.00"}));
    const TTransactionDetail* first = list.GetItem(0);
    const TTransactionDetail* taxed = list.GetItem(1);
    const TTransactionDetail* last = list.GetItem(4);
    const qint32 taxDissection = taxed->Dissection;
    // A single entry's tax dissection is no dissection to remove.
    editor.MoveTo(1, 0);
    EXPECT_FALSE(editor.CommandEnabled(decRemoveDissection, false));
    EXPECT_TRUE(editor.CommandEnabled(decCreateDissection, false));

    editor.MoveTo(4, 0);
    editor.SetSelection(0, 4);
    const qint32 number = editor.CreateDissection();
    ASSERT_NE(number, -1);
    EXPECT_NE(number, taxDissection);
    EXPECT_EQ(Lines(list), (QStringList{"entry 50.00 Office rent", "entry 100.00 Office rent", GstLine,
                                        "entry 20.00 Office rent", "total 180.00 Payment Dissection Total",
                                        "blank 0.00"}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list.GetItem(i)->Dissection, number) << i;
        EXPECT_TRUE(list.GetItem(i)->HasAnyFlag({TF::DissectionMember, TF::DissectionTotal})) << i;
    }
    // The taxed member keeps the dissection when its tax lines are made again on saving.
    EXPECT_TRUE(taxed->HasAnyFlag({TF::WasInDissection}));
    EXPECT_EQ(list.GetItem(editor.CurrentIndex()), first);
    EXPECT_TRUE(editor.CommandEnabled(decRemoveDissection, false));
    list.RefreshTaxEntries(true, true, true, false);
    EXPECT_EQ(list.GetItem(1)->Dissection, number);

    // A member whose tax lines have since gone still carries the mark; it leaves with the rest.
    list.GetItem(0)->SetFlags({TF::WasInDissection});
    editor.MoveTo(3, 0);
    EXPECT_EQ(editor.RemoveDissection(), 3);
    EXPECT_EQ(Lines(list), (QStringList{"entry 50.00 Office rent", "entry 100.00 Office rent", GstLine,
                                        TotalLine, "entry 20.00 Office rent", "blank 0.00"}));
    EXPECT_EQ(std::tuple(first->Dissection, last->Dissection), std::tuple(-1, -1));
    EXPECT_FALSE(first->HasAnyFlag({TF::DissectionMember}) || last->HasAnyFlag({TF::DissectionMember}));
    EXPECT_FALSE(taxed->HasAnyFlag({TF::WasInDissection}) || first->HasAnyFlag({TF::WasInDissection}));
    EXPECT_NE(taxed->Dissection, -1);
    EXPECT_NE(taxed->Dissection, number);
    EXPECT_EQ(list.GetItem(editor.CurrentIndex()), last);
    EXPECT_FALSE(editor.CommandEnabled(decRemoveDissection, false));
}

TEST_F(DataEntryTest, CopiedEntriesPasteIntoAnotherPageWithNewIDsAndTheirTaxOnce) {
    auto october = Page(pkPayments, 4);
    TDataEntryEditor source(*october);
    KeyPayment(source, "110", "GST");
    KeyPayment(source, "50");
    const QStringList sourceLines = Lines(october->List());
    source.MoveTo(3, 0);
    source.SetSelection(0, 3);
    const std::unique_ptr<QMimeData> copied = source.CopyTransactions();
    ASSERT_TRUE(TransactionClipboard::HasTransactions(*copied));

    auto november = Page(pkPayments, 5);
    TDataEntryEditor target(*november);
    EXPECT_EQ(target.PasteTransactions(*copied), 2);
    const TTransactionList& pasted = november->List();
    EXPECT_EQ(Lines(pasted), (QStringList{"entry 100.00 Office rent", GstLine, TotalLine,
                                          "entry 50.00 Office rent", "blank 0.00"}));
    const qint32 base = TransactionKeyBase(pkPayments, 11, 6);
    std::set<qint32> sourceIDs;
    for (int i = 0; i < october->List().Count(); ++i)
        sourceIDs.insert(october->List().GetItem(i)->ID);
    for (const int i : {0, 3}) {
        const TTransactionDetail& entry = *pasted.GetItem(i);
        EXPECT_TRUE(entry.ID >= base && entry.ID < base + TaxLineSequence) << entry.ID;
        EXPECT_FALSE(sourceIDs.contains(entry.ID));
        EXPECT_EQ(target.Grid().GetCellText(i, G::colDate, false).mid(3), "11/05");
    }
    EXPECT_EQ(pasted.GetItem(1)->ParentID, pasted.GetItem(0)->ID);
    EXPECT_EQ(target.CurrentIndex(), 0);
    EXPECT_EQ(Lines(october->List()), sourceLines);

    // Data that is no whole number of records pastes nothing, after saying so.
    QMimeData damaged;
    damaged.setData(TransactionClipboard::MimeType(), QByteArray(10, 'x'));
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(target.PasteTransactions(damaged), -1);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(Prompt->Shown[0].Text.startsWith("The transactions on the clipboard are damaged"));
    EXPECT_EQ(pasted.Count(), 5);
}

TEST_F(DataEntryTest, DeletingAnEntryTakesItsTaxLinesAndTotalWithItAfterTheQuestion) {
    auto page = Page();
    TDataEntryEditor editor(*page);
    KeyPayment(editor, "110", "GST");
    KeyPayment(editor, "50");
    const QStringList before = Lines(page->List());
    // The tax line selected stands for its entry.
    editor.MoveTo(1, 0);
    Prompt->Answer(TMessageButton::No);
    EXPECT_EQ(editor.DeleteTransactions(), 0);
    EXPECT_EQ(Lines(page->List()), before);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(std::tuple(Prompt->Shown[0].Kind, Prompt->Shown[0].Text),
              std::tuple(TMessageKind::Question, TDataEntryEditor::DeleteQuestion));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Question});

    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(editor.DeleteTransactions(), 1);
    EXPECT_EQ(Lines(page->List()), (QStringList{"entry 50.00 Office rent", "blank 0.00"}));
    EXPECT_EQ(editor.CurrentIndex(), 0);
    // The blank last line is never deleted: nothing is asked.
    editor.MoveTo(1, 0);
    EXPECT_EQ(editor.DeleteTransactions(), 0);
    EXPECT_EQ(Prompt->Shown.size(), 2);
}

TEST_F(DataEntryTest, AnInsertedLineGoesAboveTheDissectionAndIsDroppedWhenLeftUnkeyed) {
    auto page = Page();
    TDataEntryEditor editor(*page);
    KeyPayment(editor, "110", "GST");
    editor.MoveTo(2, 0); // the dissection's total
    EXPECT_EQ(editor.InsertTransaction(), 0);
    EXPECT_TRUE(page->List().GetItem(0)->HasAnyFlag({TF::Blank}));
    editor.MoveTo(editor.Count() - 1, 0);
    EXPECT_EQ(Lines(page->List()),
              (QStringList{"entry 100.00 Office rent", GstLine, TotalLine, "blank 0.00"}));

    editor.MoveTo(0, 0);
    ASSERT_EQ(editor.InsertTransaction(), 0);
    EXPECT_TRUE(editor.LeaveField(0, G::colAmount, "5").Valid);
    editor.MoveTo(4, 0);
    // Kept, dated on the period's first day and paid from the default bank account; no second
    // blank line is added.
    EXPECT_EQ(Lines(page->List()),
              (QStringList{"entry 5.00", "entry 100.00 Office rent", GstLine, TotalLine, "blank 0.00"}));
    EXPECT_EQ(page->List().GetItem(0)->Date, EncodeDateNum(2005, 10, 1));
    EXPECT_EQ(page->List().GetItem(0)->BankCode, Code("2000"));
    EXPECT_EQ(page->List().GetItem(0)->PostingCode, Code("9100"));
}

TEST_F(DataEntryTest, DiscardingARowPutsItBackAsItWasEntered) {
    auto page = Page();
    TDataEntryEditor editor(*page);
    KeyPayment(editor, "110", "GST");
    const QByteArray entry = Record(page->List(), 0);
    editor.MoveTo(0, 0);
    EXPECT_TRUE(editor.LeaveField(0, G::colDetails, "Other").Valid);
    EXPECT_TRUE(editor.RowPending());
    editor.DiscardRow();
    EXPECT_FALSE(editor.RowPending());
    EXPECT_EQ(Record(page->List(), 0), entry);
    // A blank line keyed and dropped is blank again.
    const int blank = editor.MoveTo(editor.Count() - 1, 0);
    EXPECT_TRUE(editor.LeaveField(blank, G::colAmount, "7").Valid);
    editor.DiscardRow();
    EXPECT_TRUE(page->List().GetItem(blank)->HasAnyFlag({TF::Blank}));
    editor.FinishRow();
    EXPECT_EQ(editor.Count(), 4);
}

TEST_F(DataEntryTest, CommandsAreEnabledByPageKindAndCurrentRow) {
    struct TCase {
        int Kind, Period;
        bool OnEntry;
        std::array<bool, DataEntryCommandCount> Enabled; // copy, paste, insert, delete, create,
                                                         // remove, contras
    } const cases[] = {
        {pkPayments, 4, true, {true, true, true, true, true, false, true}},
        {pkPayments, 4, false, {true, true, true, true, false, false, true}},
        {pkDeletedTransactions, 0, true, {true, false, true, false, false, false, false}},
        {pkOpeningBalances, 1, true, {true, true, true, true, false, false, true}},
        {pkBankStatementDeposits, 4, true, {true, true, true, true, false, false, true}},
        {pkMemorisedPayments, 1, true, {true, true, true, true, true, false, false}},
        {pkGeneralJournals, 0, true, {true, true, true, true, true, false, false}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << "/" << c.Period << " " << c.OnEntry);
        auto page = Page(c.Kind, c.Period);
        TTransactionList& list = page->List();
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(c.Kind));
        entry->SetFlags({TF::Keyed});
        entry->Date = list.StartDate();
        entry->BankCode = Code("2000");
        entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
        list.InsertTransaction(0, std::move(entry), 0);
        TDataEntryEditor editor(*page);
        editor.MoveTo(c.OnEntry ? 0 : 1, 0);
        for (int command = 0; command < DataEntryCommandCount; ++command)
            EXPECT_EQ(editor.CommandEnabled(TDataEntryCommand(command), true), c.Enabled[size_t(command)])
                << command;
        EXPECT_FALSE(editor.CommandEnabled(decPasteTransactions, false));
    }
}

TEST_F(DataEntryTest, SortingBeyondTwoHundredLinesShowsProgressAndKeepsTheCurrentEntry) {
    for (const int count : {200, 201}) {
        SCOPED_TRACE(count);
        Progress->Log.clear();
        auto page = Page();
        TTransactionList& list = page->List();
        for (int i = 0; i + 1 < count; ++i) {
            auto entry = std::make_unique<TTransactionDetail>(0, qint16(pkPayments));
            entry->SetFlags({TF::Keyed});
            entry->Date = EncodeDateNum(2005, 10, 1 + i % 28);
            entry->Amount = (i * 37) % 101;
            entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
            list.InsertTransaction(list.Count() - 1, std::move(entry), 0);
        }
        ASSERT_EQ(list.Count(), count);
        TDataEntryEditor editor(*page);
        editor.MoveTo(17, 0);
        const TTransactionDetail* current = list.GetItem(17);
        editor.SetSortOrder(TTransactionList::soAmount);
        EXPECT_EQ(list.SortOrder(), TTransactionList::soAmount);
        EXPECT_EQ(list.GetItem(editor.CurrentIndex()), current);
        EXPECT_TRUE(list.GetItem(count - 1)->HasAnyFlag({TF::Blank}));
        for (int i = 1; i + 1 < count; ++i)
            ASSERT_LE(list.GetItem(i - 1)->Amount, list.GetItem(i)->Amount + 0.009) << i;
        const QStringList expected = count > TDataEntryEditor::SortProgressThreshold
                                         ? QStringList{"setup:Payments: October 2005|19|ABC123", "close"}
                                         : QStringList{};
        EXPECT_EQ(Progress->Log, expected);
    }
}

TEST(DataEntryTopRowTest, TheCurrentRowStaysAmongTheRowsShown) {
    struct TCase {
        int Current, Top, Visible, Count, WantCurrent, WantTop;
    } const cases[] = {
        {5, 1, 10, 100, 5, 1},                           // shown already
        {10, 1, 10, 100, 10, 1},                         // the last row shown
        {11, 1, 10, 100, 11, 2},                         // one below: scrolls by one
        {3, 8, 10, 100, 3, 3},                           // above: becomes the top row
        {150, 1, 10, 100, 100, 91},                      // past the end: the last row, the page full
        {0, 5, 10, 100, 1, 1},      {4, 9, 10, 5, 4, 1}, // fewer rows than fit
        {1, 1, 0, 0, 1, 1},                              // nothing shown, nothing there
    };
    for (const TCase& c : cases) {
        int current = c.Current;
        int top = c.Top;
        TDataEntryEditor::AdjustTopRow(current, top, c.Visible, c.Count);
        EXPECT_EQ(std::tuple(current, top), std::tuple(c.WantCurrent, c.WantTop))
            << c.Current << "/" << c.Top << "/" << c.Visible << "/" << c.Count;
    }
}
