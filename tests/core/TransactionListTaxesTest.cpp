#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

#include <vector>

namespace TF = TransactionFlag;

namespace {

// Tax types of the fixture's tax codes.
constexpr quint32 GST = 1u << 0; // 10 %, account 3100
constexpr quint32 FRE = 1u << 1; // 0 %
constexpr quint32 LUX = 1u << 2; // 25 %, account 3900, which the chart lacks
constexpr quint32 Unknown = 1u << 5;

double Oct(int day) {
    return EncodeDateNum(2005, 10, day);
}

// A chart of accounts with two bank accounts and a suspense account, the tax codes above valid
// for the year to June 2006, and the lists of that year's October (period 4) or another period.
class GeneratedLinesTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Accounts = AccountsOf({"2000:BNK:Cheque Account", "2100:BNK:Savings Account",
                               "3100:ACC:GST Collected", "5000:ACC:Rent", "9100:SUS:Suspense"});
        Accounts->EnsureSuspenseAccount();
        Rates = std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Format(), TOptionSet{}, 2006);
        const std::tuple<const char*, int, double, const char*> codes[] = {
            {"GST", 0, 10.0, "3100"}, {"FRE", 1, 0.0, "3100"}, {"LUX", 2, 25.0, "3900"}};
        for (const auto& [code, type, rate, account] : codes) {
            auto item = std::make_unique<TTaxRate>(Format());
            item->Tax_Code = code;
            item->TaxType = type;
            item->Tax_Rate = rate;
            item->TaxAccount = Code(account);
            item->StartDate = EncodeDateNum(2005, 7, 1);
            item->EndDate = EncodeDateNum(2006, 6, 30);
            ASSERT_GE(Rates->AddItem(std::move(item)), 0);
        }
        Books.Entity = Entity;
        Books.Format = Format();
        Books.Tax = true;
        Books.Accounts = Accounts.get();
        Books.TaxRates = Rates.get();
    }
    std::unique_ptr<TTransactionList> List(int kind = pkPayments, int period = 4) const {
        return std::make_unique<TTransactionList>(Books, kind, 2006, period, 12, TOptionSet{});
    }
    // Keys an entry in front of the blank line; returns its index.
    int Add(TTransactionList& list, double date, double amount, quint32 taxes = 0, const char* bank = "2000",
            qint32 dissection = -1) const {
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(list.PageKind()));
        entry->Date = date;
        const int slot = list.EntryMonthSlot(*entry);
        entry->ID = list.GetNextID(slot);
        entry->SetFlags({TF::Keyed});
        entry->Amount = amount;
        entry->TaxCodes = taxes;
        entry->BankCode = Code(bank);
        entry->PostingCode = Code("5000");
        entry->SetDetails(QStringLiteral("Office rent"));
        entry->Dissection = dissection;
        if (dissection != -1)
            entry->SetFlags({TF::DissectionMember});
        return list.InsertTransaction(list.Count() - 1, std::move(entry), slot);
    }
    static std::vector<const TTransactionDetail*> Lines(const TTransactionList& list, int flag) {
        std::vector<const TTransactionDetail*> lines;
        for (int i = 0; i < list.Count(); ++i)
            if (list.GetItem(i)->HasAnyFlag({flag}))
                lines.push_back(list.GetItem(i));
        return lines;
    }

    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TTaxRateChart> Rates;
    TTransactionListSources Books;
};

TEST_F(GeneratedLinesTest, TaxLinesSplitTheIncludedTaxOutOfTheEntry) {
    struct TTaxLine {
        double Amount;
        const char* Details;
        const char* Posting;
    };
    struct TCase {
        quint32 Taxes;
        double Amount, Net;
        std::vector<TTaxLine> Expected;
    } const cases[] = {
        {GST, 110.00, 100.00, {{10.00, "GST tax (10.00%) on Office rent", "3100"}}},
        {FRE, 110.00, 110.00, {}},
        {GST | FRE | LUX,
         110.00,
         78.00,
         {{10.00, "GST tax (10.00%) on Office rent", "3100"},
          {22.00, "LUX tax (25.00%) on Office rent", "9100"}}},
        {GST, 0.55, 0.50, {{0.05, "GST tax (10.00%) on Office rent", "3100"}}},
        {GST, -33.00, -30.00, {{-3.00, "GST tax (10.00%) on Office rent", "3100"}}},
        {Unknown, 110.00, 110.00, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Taxes << " " << c.Amount);
        auto list = List();
        const int at = Add(*list, Oct(12), c.Amount, c.Taxes);
        const TTransactionDetail& entry = *list->GetItem(at);
        ASSERT_EQ(list->GenerateTaxEntries(at, false, false), static_cast<int>(c.Expected.size()));
        EXPECT_DOUBLE_EQ(entry.Amount, c.Net);
        for (size_t i = 0; i < c.Expected.size(); ++i) {
            const TTransactionDetail& line = *list->GetItem(at + 1 + static_cast<int>(i));
            EXPECT_DOUBLE_EQ(line.Amount, c.Expected[i].Amount);
            EXPECT_EQ(line.Details(), c.Expected[i].Details);
            EXPECT_EQ(line.PostingCode, Code(c.Expected[i].Posting));
            EXPECT_EQ(line.ID, 110499998);
            EXPECT_EQ(line.ParentID, entry.ID);
            EXPECT_EQ(line.Dissection, 110400000);
            EXPECT_TRUE(line.HasAllFlags({TF::DissectionMember, TF::TaxLine}));
            EXPECT_EQ(line.Date, entry.Date);
        }
        EXPECT_EQ(entry.Dissection, c.Expected.empty() ? -1 : 110400000);
        // One number taken for the entry however many tax types it has.
        EXPECT_EQ(list->GetNextDissectionNo(4), c.Expected.empty() ? 110400000 : 110400001);
        EXPECT_FALSE(entry.HasAnyFlag({TF::WasInDissection}));
        EXPECT_NEAR(list->GetTaxAmount(at), c.Taxes == Unknown ? 0.0 : c.Amount - c.Net, 1e-9);

        int after = -1;
        int before = -1;
        list->RemoveTaxEntries(at, true, false, false, after, before);
        EXPECT_EQ(entry.Amount, c.Amount); // bit for bit
        EXPECT_EQ(after, static_cast<int>(c.Expected.size()));
        EXPECT_EQ(before, 0);
        EXPECT_EQ(list->Count(), 2);
        EXPECT_EQ(entry.Dissection, -1);
        EXPECT_FALSE(entry.HasAnyFlag({TF::DissectionMember}));
    }
}

TEST_F(GeneratedLinesTest, NoTaxLinesWithoutTheTaxColumnOrOnStandardBankTransactions) {
    Books.Tax = false;
    auto noColumn = List();
    EXPECT_EQ(noColumn->GenerateTaxEntries(Add(*noColumn, Oct(12), 110.0, GST), false, false), 0);
    Books.Tax = true;
    auto standard = List(pkStandardBankTransactions, 1);
    EXPECT_EQ(standard->GenerateTaxEntries(Add(*standard, 12, 110.0, GST), false, false), 0);
    auto list = List();
    const int at = Add(*list, Oct(12), 110.0, GST);
    ASSERT_EQ(list->GenerateTaxEntries(at, false, false), 1);
    EXPECT_EQ(list->GenerateTaxEntries(at + 1, false, false), 0); // a tax line makes none
}

TEST_F(GeneratedLinesTest, RenamingRegeneratingAndMergingTaxLines) {
    auto list = List();
    Add(*list, Oct(12), 110.0, GST | LUX);
    list->GenerateTaxEntries(0, false, false);
    TTransactionDetail& entry = *list->GetItem(0);
    entry.SetDetails(QStringLiteral("Shop fit-out"));
    list->UpdateTaxEntryDetails(0);
    EXPECT_EQ(list->GetItem(2)->Details(), "LUX tax (25.00%) on Shop fit-out");
    // Keyed again as 120.00 in all: the old tax comes back before the new is taken out.
    entry.Amount = 88.0;
    EXPECT_EQ(list->GenerateTaxEntries(0, true, true), 2);
    EXPECT_DOUBLE_EQ(list->GetItem(1)->Amount, 10.91);
    EXPECT_DOUBLE_EQ(list->GetItem(2)->Amount, 24.0);
    EXPECT_DOUBLE_EQ(entry.Amount, 85.09);
    EXPECT_EQ(entry.Dissection, 110400001); // a fresh number; the counter moved past it
    EXPECT_EQ(list->GetNextDissectionNo(4), 110400002);
    int inSelection = 0;
    int before = 0;
    list->MergeTaxEntries(0, 1, 1, inSelection, before);
    EXPECT_EQ(inSelection, 1);
    EXPECT_EQ(before, 0);
    EXPECT_DOUBLE_EQ(entry.Amount, 120.0);
    EXPECT_EQ(entry.Dissection, -1);
    EXPECT_EQ(list->Count(), 2);
}

TEST_F(GeneratedLinesTest, AnEntryAlreadyInADissectionStaysInIt) {
    auto list = List();
    Add(*list, Oct(12), 40.0, 0, "2000", 110400007);
    const int at = Add(*list, Oct(12), 110.0, GST | LUX, "2000", 110400007);
    TTransactionDetail& entry = *list->GetItem(at);
    ASSERT_EQ(list->GenerateTaxEntries(at, false, false), 2);
    EXPECT_TRUE(entry.HasAnyFlag({TF::WasInDissection}));
    EXPECT_EQ(list->GetItem(at + 2)->Dissection, 110400007);
    EXPECT_EQ(list->GetNextDissectionNo(4), 110400000);
    int after = 0;
    int before = 0;
    list->RemoveTaxEntries(at, false, false, false, after, before);
    EXPECT_EQ(entry.Dissection, 110400007);
    EXPECT_TRUE(entry.HasAnyFlag({TF::DissectionMember}));
    EXPECT_FALSE(entry.HasAnyFlag({TF::WasInDissection}));
    EXPECT_DOUBLE_EQ(entry.Amount, 78.0); // not added back
}

TEST_F(GeneratedLinesTest, EveryTaxLineOfAnEntryGoesWhateverTheSortOrder) {
    for (const int order : {0, 5}) {
        SCOPED_TRACE(order);
        auto list = List();
        Add(*list, Oct(3), 10.0, GST, "2100");
        const int at = Add(*list, Oct(12), 110.0, GST | LUX);
        Add(*list, Oct(20), 5.0);
        list->GenerateTaxEntries(0, false, false);
        const qint32 id = list->GetItem(at + 1)->ID; // the blank line took the month's first ID
        list->GenerateTaxEntries(at + 1, false, false);
        list->SetSortOrder(order, true);
        const int entry = list->IndexOfID(id, false);
        int after = 0;
        int before = 0;
        list->RemoveTaxEntries(entry, true, true, false, after, before);
        EXPECT_EQ(after + before, 2);
        EXPECT_EQ(list->GetItem(entry - before)->Amount, 110.0);
        EXPECT_EQ(Lines(*list, TF::TaxLine).size(), 1u); // the other entry's
    }
}

TEST_F(GeneratedLinesTest, RefreshingTwoTaxTypesThreeTimesKeepsAmountsAndLines) {
    auto list = List();
    Add(*list, Oct(12), 110.0, GST | LUX);
    Add(*list, Oct(14), 55.0, GST, "2100");
    list->GenerateTaxEntries(0, false, false);
    list->GenerateTaxEntries(3, false, false);
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        list->RefreshTaxEntries(true, true, true, false);
        ASSERT_EQ(list->Count(), 8); // 2 entries, 3 tax lines, 2 totals, the blank line
        std::vector<double> amounts;
        for (int i = 0; i < list->Count(); ++i)
            amounts.push_back(list->GetItem(i)->Amount);
        EXPECT_EQ(amounts, (std::vector<double>{78.0, 10.0, 22.0, 110.0, 50.0, 5.0, 55.0, 0.0}));
        EXPECT_TRUE(list->GetItem(3)->HasAnyFlag({TF::DissectionTotal}));
        EXPECT_EQ(list->GetItem(3)->Details(), "Payment Dissection Total");
        EXPECT_EQ(list->GetItem(3)->ID, 110499999);
    }
    // Codes the chart does not hold are dropped even without force; lines without an entry go.
    list->GetItem(4)->TaxCodes = GST | Unknown;
    list->DeleteTransaction(0);
    list->RefreshTaxEntries(false, true, true, true);
    EXPECT_EQ(list->GetItem(0)->TaxCodes, GST);
    EXPECT_EQ(Lines(*list, TF::TaxLine).size(), 1u);
    EXPECT_EQ(Lines(*list, TF::DissectionTotal).size(), 1u);
}

TEST_F(GeneratedLinesTest, AReconciledDissectionKeepsItsTotalThroughAnAdjustment) {
    struct TCase {
        double Change;
        int AddedRows;
        double Adjustment; // 0: none
    } const cases[] = {{5.0, 1, -5.0}, {-5.0, 1, 5.0}, {0.005, 0, 0.0}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Change);
        auto list = List();
        Add(*list, Oct(7), 60.0, 0, "2000", 110400003);
        Add(*list, Oct(7), 50.0, 0, "2000", 110400003);
        for (int i = 0; i < 2; ++i)
            list->GetItem(i)->SetFlags({TF::Reconciled});
        int before = 0;
        int after = 0;
        EXPECT_EQ(list->UpdateDissectionTotals(-1, 0, before, after), 1);
        ASSERT_TRUE(list->GetItem(2)->HasAnyFlag({TF::DissectionTotal}));
        list->SetSaved(true);
        list->GetItem(1)->Amount += c.Change;
        EXPECT_EQ(list->UpdateDissectionTotals(110400003, 3, before, after), c.AddedRows);
        EXPECT_EQ(before, c.AddedRows);
        EXPECT_TRUE(list->Saved());
        const TTransactionDetail& total = *list->GetItem(2 + c.AddedRows);
        EXPECT_DOUBLE_EQ(total.Amount, c.AddedRows ? 110.0 : 110.0 + c.Change);
        const auto adjustments = Lines(*list, TF::ReconciledAdjustment);
        ASSERT_EQ(adjustments.size(), static_cast<size_t>(c.AddedRows));
        if (!c.AddedRows)
            continue;
        EXPECT_EQ(adjustments[0]->Amount, c.Adjustment);
        EXPECT_EQ(adjustments[0]->Details(), "Reconciled Payment Dissection Adjustment");
        EXPECT_TRUE(adjustments[0]->HasAllFlags({TF::DissectionMember, TF::Reconciled}));
        EXPECT_EQ(adjustments[0]->PostingCode, Code("9100"));
        EXPECT_EQ(adjustments[0]->ID, 110400003); // after the blank line's and the members'
        // Undoing the change leaves the adjustment at nothing: it goes.
        list->GetItem(1)->Amount -= c.Change;
        EXPECT_EQ(list->UpdateDissectionTotals(-1, 0, before, after), -1);
        EXPECT_TRUE(Lines(*list, TF::ReconciledAdjustment).empty());
    }
    // Without members the total goes; an unreconciled total follows its members.
    auto list = List();
    const int at = Add(*list, Oct(7), 60.0, 0, "2000", 110400003);
    int before = 0;
    int after = 0;
    list->UpdateDissectionTotals(-1, 0, before, after);
    list->GetItem(at)->Amount = 65.0;
    EXPECT_EQ(list->UpdateDissectionTotals(110400003, 0, before, after), 0);
    EXPECT_EQ(list->GetItem(at + 1)->Amount, 65.0);
    list->GetItem(at)->Dissection = -1;
    EXPECT_EQ(list->UpdateDissectionTotals(-1, 5, before, after), -1);
    EXPECT_EQ(before, -1);
}

TEST_F(GeneratedLinesTest, ContrasBalanceEachBankAccountPerDayWeekOrMonth) {
    struct TContra {
        double Date, Amount;
    };
    struct TCase {
        int Frequency, Period;
        std::vector<std::pair<double, double>> Entries; // date, amount, all on bank account 2000
        std::vector<TContra> Expected;
    } const cases[] = {
        {2, 4, {{Oct(3), 100.0}, {Oct(20), 50.0}}, {{Oct(31), -150.0}}},
        {0, 4, {{Oct(3), 10.0}, {Oct(3), 5.0}, {Oct(4), 7.0}}, {{Oct(3), -15.0}, {Oct(4), -7.0}}},
        // 1 October 2005 is a Saturday: its week ends on Sunday the 2nd; the last runs past the end.
        {1,
         4,
         {{Oct(1), 10.0}, {Oct(2), 20.0}, {Oct(9), 5.0}, {Oct(31), 7.0}},
         {{Oct(2), -30.0}, {Oct(9), -5.0}, {Oct(31), -7.0}}},
        // 1 January 2006 is a Sunday: its group runs to the next Sunday.
        {1,
         7,
         {{EncodeDateNum(2006, 1, 1), 10.0}, {EncodeDateNum(2006, 1, 8), 20.0}},
         {{EncodeDateNum(2006, 1, 8), -30.0}}},
        // Dated outside the period, or not at all: still balanced, on the period's days.
        {2,
         4,
         {{EncodeDateNum(2005, 9, 3), 60.0}, {EncodeDateNum(2005, 11, 15), 40.0}, {0.0, 1.0}},
         {{Oct(31), -61.0}, {Oct(31), -40.0}}},
        {3, 4, {{Oct(3), 100.0}}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Frequency << " " << c.Entries.size());
        Books.Contras = c.Frequency;
        auto list = List(pkPayments, c.Period);
        for (const auto& [date, amount] : c.Entries)
            Add(*list, date, amount);
        Add(*list, Oct(5), 30.0, 0, "2100"); // cancels out
        Add(*list, Oct(5), -30.0, 0, "2100");
        for (int run = 0; run < 2; ++run) {
            list->GenerateContras(false);
            const auto contras = Lines(*list, TF::Contra);
            ASSERT_EQ(contras.size(), c.Expected.size());
            for (size_t i = 0; i < contras.size(); ++i) {
                EXPECT_EQ(contras[i]->Date, c.Expected[i].Date) << i;
                EXPECT_EQ(contras[i]->Amount, c.Expected[i].Amount) << i;
                EXPECT_EQ(contras[i]->BankCode, Code("2000"));
            }
            EXPECT_TRUE(list->GetItem(list->Count() - 1)->HasAnyFlag({TF::Blank}));
        }
    }
}

TEST_F(GeneratedLinesTest, ContraLinesByPageKind) {
    struct TCase {
        int Kind, Period;
        const char *Details, *Posting;
        qint32 Reference;
        bool Keyed;
        double Date;
        qint32 ID;
    } const cases[] = {
        {pkPayments, 4, "Monthly contra total to Cheque Account", "2000", ContraReference, false, Oct(31),
         110400002},
        {pkReceipts, 4, "Monthly contra total to Cheque Account", "2000", ContraReference, false, Oct(31),
         120400002},
        {pkBankStatementDeposits, 4, "Monthly total for Cheque Account", "2000", ContraReference, false,
         Oct(31), 180400002},
        {pkPettyCashJournals, 4, "Balancing Entry", "9100", ContraReference, false, Oct(31), 170400002},
        {pkOpeningBalances, 1, "Balancing Entry", "9100", OpeningBalanceReference, true,
         EncodeDateNum(2005, 7, 1), 100100002},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Kind);
        auto list = List(c.Kind, c.Period);
        Add(*list, list->StartDate() + 2, 100.0);
        list->GenerateContras(false);
        const auto contras = Lines(*list, TF::Contra);
        ASSERT_EQ(contras.size(), 1u);
        EXPECT_EQ(contras[0]->Details(), c.Details);
        EXPECT_EQ(contras[0]->PostingCode, Code(c.Posting));
        EXPECT_EQ(contras[0]->Reference, c.Reference);
        EXPECT_EQ(contras[0]->HasAnyFlag({TF::Keyed}), c.Keyed);
        EXPECT_EQ(contras[0]->Date, c.Date);
        EXPECT_EQ(contras[0]->Amount, -100.0);
        EXPECT_EQ(contras[0]->ID, c.ID);
    }
}

TEST_F(GeneratedLinesTest, PagesWithoutContrasAndStaleContrasRemoved) {
    auto list = List();
    const int at = Add(*list, Oct(3), 100.0);
    list->GenerateContras(false);
    ASSERT_EQ(Lines(*list, TF::Contra).size(), 1u);
    list->DeleteTransaction(at);
    list->GenerateContras(false);
    EXPECT_EQ(list->Count(), 1); // the blank line alone
    for (const auto& [kind, period] : {std::pair{pkOpeningUnpresentedCheques, 1}, {pkPayments, 0}}) {
        auto other = List(kind, period);
        Add(*other, Oct(3), 100.0);
        other->GenerateContras(false);
        EXPECT_TRUE(Lines(*other, TF::Contra).empty()) << kind;
    }
}

TEST_F(GeneratedLinesTest, ContrasOfALongPageShowProgress) {
    auto list = List();
    for (int i = 0; i < 201; ++i)
        Add(*list, Oct(1 + i % 28), 1.0);
    list->GenerateContras(false);
    EXPECT_EQ(Progress->Created, 0);
    list->GenerateContras(true);
    EXPECT_EQ(Progress->Created, 1);
    EXPECT_TRUE(Progress->Log.contains(QStringLiteral("setup:Payments: October 2005|20|ABC123")));
    EXPECT_EQ(Lines(*list, TF::Contra).front()->Amount, -201.0);
}

} // namespace
