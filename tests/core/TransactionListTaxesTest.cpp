#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

#include <functional>
#include <tuple>
#include <vector>

namespace TF = TransactionFlag;

namespace {

// Tax types of the fixture's tax codes: 10 % to account 3100, 0 %, 25 % to 3900, which the chart lacks.
constexpr quint32 GST = 1u << 0, FRE = 1u << 1, LUX = 1u << 2, Unknown = 1u << 5;

// A day counted from 1 October 2005 (0: 30 September, 32: 1 November).
double Oct(int day) {
    return EncodeDateNum(2005, 10, 1) + day - 1;
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
        Books = {Entity, Format(), false, true, false, 2, Accounts.get(), Rates.get()};
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
        std::tie(entry->ID, entry->Amount, entry->TaxCodes, entry->BankCode, entry->Dissection) =
            std::tuple(list.GetNextID(slot), amount, taxes, Code(bank), dissection);
        entry->Flags = 1u << TF::Keyed | (dissection == -1 ? 0u : 1u << TF::DissectionMember);
        entry->SetDetails(QStringLiteral("Office rent"));
        return list.InsertTransaction(list.Count() - 1, std::move(entry), slot);
    }
    static std::vector<double> Amounts(const TTransactionList& list) {
        std::vector<double> amounts;
        for (int i = 0; i < list.Count(); ++i)
            amounts.push_back(list.GetItem(i)->Amount);
        return amounts;
    }
    static std::vector<const TTransactionDetail*> Contras(const TTransactionList& list) {
        std::vector<const TTransactionDetail*> lines;
        for (int i = 0; i < list.Count(); ++i)
            if (list.GetItem(i)->HasAnyFlag({TF::Contra}))
                lines.push_back(list.GetItem(i));
        return lines;
    }

    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TTaxRateChart> Rates;
    TTransactionListSources Books;
};

TEST_F(GeneratedLinesTest, TaxLinesSplitTheIncludedTaxOutOfTheEntry) {
    const QString gst = QStringLiteral("GST tax (10.00%) on Office rent");
    const QString lux = QStringLiteral("LUX tax (25.00%) on Office rent");
    struct TCase {
        quint32 Taxes;
        double Amount, Net;
        std::vector<std::tuple<double, QString, const char*>> Lines; // amount, details, posting
        qint32 Dissection = -1;                                      // the entry's before
        int Kind = pkPayments;
        bool TaxColumn = true;
    } const cases[] = {
        // clang-format off
        {GST, 110.00, 100.00, {{10.00, gst, "3100"}}},
        {GST | FRE | LUX, 110.00, 78.00, {{10.00, gst, "3100"}, {22.00, lux, "9100"}}},
        {GST | LUX, 110.00, 78.00, {{10.00, gst, "3100"}, {22.00, lux, "9100"}}, 110400007},
        {GST, -33.00, -30.00, {{-3.00, gst, "3100"}}},
        {GST, 110.00, 110.00, {}, -1, pkPayments, false},
        {GST, 110.00, 110.00, {}, -1, pkStandardBankTransactions},
        // clang-format on
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Taxes << " " << c.Amount << " " << c.Kind << c.TaxColumn);
        Books.Tax = c.TaxColumn;
        auto list = List(c.Kind);
        const int at = Add(*list, Oct(12), c.Amount, c.Taxes, "2000", c.Dissection);
        const TTransactionDetail& entry = *list->GetItem(at);
        const int made = static_cast<int>(c.Lines.size());
        const qint32 seed = list->GetNextDissectionNo(4);
        ASSERT_EQ(list->GenerateTaxEntries(at, false, false), made);
        EXPECT_DOUBLE_EQ(entry.Amount, c.Net);
        // An entry outside a dissection takes one number, however many tax types it has; one
        // already in a dissection keeps it and is marked so.
        const qint32 dissection = c.Dissection != -1 || !made ? c.Dissection : 110400000;
        EXPECT_EQ(std::tuple(entry.Dissection, entry.HasAnyFlag({TF::WasInDissection})),
                  std::tuple(dissection, made && c.Dissection != -1));
        EXPECT_EQ(list->GetNextDissectionNo(4), seed + (dissection == 110400000 ? 1 : 0));
        for (int i = 0; i < made; ++i) {
            const TTransactionDetail& line = *list->GetItem(at + 1 + i);
            const auto& [amount, details, posting] = c.Lines[static_cast<size_t>(i)];
            EXPECT_EQ(std::tuple(line.Amount, line.Details(), line.PostingCode),
                      std::tuple(amount, details, Code(posting)));
            EXPECT_EQ(std::tuple(line.ID, line.ParentID, line.Dissection, line.Date, line.Flags & 0xC8u),
                      std::tuple(110499998, entry.ID, dissection, entry.Date, 0x88u)); // flags 3 and 7
            EXPECT_EQ(list->GenerateTaxEntries(at + 1 + i, false, false), 0); // a tax line makes none
        }
        EXPECT_NEAR(list->GetTaxAmount(at), c.Amount - c.Net, 1e-9);

        int after = -1, before = -1;
        list->RemoveTaxEntries(at, true, false, false, after, before);
        EXPECT_EQ(entry.Amount, c.Amount); // bit for bit
        EXPECT_EQ(std::tuple(after, before, list->Count(), entry.Dissection),
                  std::tuple(made, 0, 2, c.Dissection));
        EXPECT_EQ(entry.Flags & 0x48u, c.Dissection == -1 ? 0u : 0x08u); // flag 6 gone, 3 as before
    }
}

// Every way of taking an entry's tax lines out gives the entry back its amount and its own
// dissection state: an entry the lines put into a dissection leaves it (number and flag 3), an
// entry that was in one before stays in it; flag 6 goes either way.
TEST_F(GeneratedLinesTest, RemovingTaxLinesGivesTheEntryBackItsDissectionState) {
    enum TWay { Remove, RemoveKeepingDissection, Merge, Refresh };
    const std::function<void(TTransactionList&, int)> ways[] = {
        [](TTransactionList& list, int at) {
            int after = 0, before = 0;
            list.RemoveTaxEntries(at, true, false, false, after, before);
        },
        [](TTransactionList& list, int at) {
            int after = 0, before = 0;
            list.RemoveTaxEntries(at, true, true, false, after, before);
        },
        [](TTransactionList& list, int at) {
            int inSelection = 0, before = 0;
            list.MergeTaxEntries(at, at, at + 1, inSelection, before);
        },
        [](TTransactionList& list, int) { list.RefreshTaxEntries(true, false, false, false); },
    };
    for (const TWay way : {Remove, RemoveKeepingDissection, Merge, Refresh})
        for (const qint32 dissection : {-1, 110400007}) {
            SCOPED_TRACE(testing::Message() << "way " << way << " dissection " << dissection);
            auto list = List();
            const int at = Add(*list, Oct(12), 110.0, GST, "2000", dissection);
            const TTransactionDetail& entry = *list->GetItem(at);
            ASSERT_EQ(list->GenerateTaxEntries(at, false, false), 1);
            ASSERT_TRUE(entry.HasAnyFlag({TF::DissectionMember}));
            ways[way](*list, at);
            EXPECT_EQ(std::tuple(list->Count(), entry.Amount, entry.Dissection),
                      std::tuple(2, 110.0, dissection));
            EXPECT_EQ(entry.HasAnyFlag({TF::DissectionMember}), dissection != -1);
            EXPECT_FALSE(entry.HasAnyFlag({TF::WasInDissection}));
        }
}

// Books that keep no tax, and pages that show no tax column, never get tax lines: a refresh
// takes out the lines an entry still carries from when the books kept tax, gives the entry its
// whole amount back and makes none again.
TEST_F(GeneratedLinesTest, WithoutATaxColumnARefreshMakesNoTaxLines) {
    struct TCase {
        bool Tax;
        int Kind, Period;
        int Lines; // made by the refresh
    } const cases[] = {
        {true, pkPayments, 4, 2},
        {false, pkPayments, 4, 0},
        {true, pkOpeningBalances, 1, 0},
        {true, pkWagesJournals, 4, 0},
        {true, pkBankStatementDeposits, 4, 0},
        {true, pkStandardBankTransactions, 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Tax << " kind " << c.Kind);
        Books.Tax = c.Tax;
        auto list = List(c.Kind, c.Period);
        const int at = Add(*list, list->StartDate() + 2, 110.0, GST | LUX);
        // A tax line stored while the books kept tax.
        auto stored = std::make_unique<TTransactionDetail>(*list->GetItem(at));
        const qint32 lineID = TransactionSlotKeyBase(c.Kind, list->EntryMonthSlot(*stored)) + TaxLineSequence;
        std::tie(stored->ID, stored->ParentID, stored->Amount, stored->TaxCodes) =
            std::tuple(lineID, list->GetItem(at)->ID, 10.0, GST);
        stored->SetFlags({TF::TaxLine});
        list->GetItem(at)->Amount = 100.0;
        list->InsertTransaction(at + 1, std::move(stored), 0);
        list->SetSaved(true);

        list->RefreshTaxEntries(true, true, false, false);
        const TTransactionDetail& entry = *list->GetItem(at);
        int lines = 0;
        for (int i = 0; i < list->Count(); ++i)
            lines += list->GetItem(i)->HasAnyFlag({TF::TaxLine}) ? 1 : 0;
        EXPECT_EQ(std::tuple(lines, list->Count()), std::tuple(c.Lines, 2 + c.Lines));
        EXPECT_DOUBLE_EQ(entry.Amount, c.Lines ? 78.0 : 110.0);
        EXPECT_EQ(entry.Dissection, c.Lines ? 110400000 : -1);
        EXPECT_FALSE(list->Saved());
    }
}

// With no tax line in the list and none to make, a refresh still drops the codes the chart does
// not hold and takes the mark of an earlier dissection off the first entry of each ID it serves
// (every entry with codes when forced, else those whose codes changed); the rest stays.
TEST_F(GeneratedLinesTest, ARefreshWithoutTaxLinesStillDropsCodesAndMarks) {
    struct TCase {
        bool Tax, Force, Regenerate, Marked; // Marked: entries 0 and 1 (one ID) carry the mark
        bool FirstMarked, SecondMarked;      // after the refresh
    } const cases[] = {
        {false, true, true, true, false, true},    {false, false, true, true, true, true},
        {false, true, false, true, false, true},   {true, true, false, true, false, true},
        {true, false, false, true, true, true},    {false, true, true, false, false, false},
        {true, true, false, false, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Tax << c.Force << c.Regenerate << c.Marked);
        Books.Tax = c.Tax;
        auto list = List();
        const int first = Add(*list, Oct(3), 110.0, GST);
        const int second = Add(*list, Oct(4), 55.0, GST);
        const int third = Add(*list, Oct(5), 22.0, GST | Unknown);
        list->GetItem(second)->ID = list->GetItem(first)->ID;
        for (const int at : {first, second})
            if (c.Marked)
                list->GetItem(at)->SetFlags({TF::WasInDissection});
        list->SetSaved(true);

        list->RefreshTaxEntries(c.Force, c.Regenerate, false, false);
        ASSERT_EQ(list->Count(), 4);
        EXPECT_EQ(list->GetItem(first)->HasAnyFlag({TF::WasInDissection}), c.FirstMarked);
        EXPECT_EQ(list->GetItem(second)->HasAnyFlag({TF::WasInDissection}), c.SecondMarked);
        EXPECT_EQ(Amounts(*list), (std::vector<double>{110.0, 55.0, 22.0, 0.0}));
        EXPECT_EQ(std::tuple(list->GetItem(third)->TaxCodes, list->GetItem(third)->Dissection, list->Saved()),
                  std::tuple(GST, -1, false));
    }
}

TEST_F(GeneratedLinesTest, TaxLinesKeepTheirAmountsThroughRefreshesSortsAndMerges) {
    auto list = List();
    Add(*list, Oct(3), 10.0, GST, "2100"); // 9.09 and 0.91
    const qint32 id = list->GetItem(Add(*list, Oct(12), 110.0, GST | LUX))->ID;
    const auto at = [&] { return list->IndexOfID(id, false); };
    list->GenerateTaxEntries(0, false, false);
    list->GenerateTaxEntries(at(), false, false);
    list->GetItem(at())->SetDetails(QStringLiteral("Shop fit-out"));
    list->UpdateTaxEntryDetails(at());
    EXPECT_EQ(list->GetItem(at() + 2)->Details(), "LUX tax (25.00%) on Shop fit-out");
    // As three loads refresh them: the amounts and the number of lines stay.
    for (int cycle = 0; cycle < 3; ++cycle) {
        list->RefreshTaxEntries(true, true, true, false);
        EXPECT_EQ(Amounts(*list), (std::vector<double>{9.09, 0.91, 10.0, 78.0, 10.0, 22.0, 110.0, 0.0}))
            << cycle;
    }
    const TTransactionDetail& total = *list->GetItem(6);
    EXPECT_EQ(std::tuple(total.Details(), total.ID, total.Flags),
              std::tuple("Payment Dissection Total", 110499999, 0x10u));
    // By amount the entry's tax lines come before it: all of them still go.
    list->SetSortOrder(TTransactionList::soAmount, true);
    int after = 0, before = 0;
    list->RemoveTaxEntries(at(), true, true, false, after, before);
    EXPECT_EQ(std::tuple(after, before, list->GetItem(at())->Amount), std::tuple(0, 2, 110.0));
    list->SetSortOrder(TTransactionList::soBankAccount, true);
    // Keyed as 120.00: made twice (the second time the first lines' tax comes back first), each
    // time with a new dissection number, the counter past it (two per refresh above).
    list->GetItem(at())->Amount = 120.0;
    for (const qint32 dissection : {110400008, 110400009}) {
        EXPECT_EQ(list->GenerateTaxEntries(at(), true, true), 2);
        EXPECT_EQ(std::tuple(list->GetItem(at())->Amount, list->GetItem(at() + 1)->Amount,
                             list->GetItem(at())->Dissection),
                  std::tuple(85.09, 10.91, dissection));
        EXPECT_EQ(list->GetNextDissectionNo(4), dissection + 1);
    }
    list->MergeTaxEntries(at(), at() + 1, at() + 1, after, before); // after: the count in the selection
    EXPECT_EQ(std::tuple(after, before, list->GetItem(at())->Amount), std::tuple(1, 0, 120.0));
    // Codes the chart does not hold are dropped even without force; lines without an entry go.
    list->GetItem(at())->TaxCodes = GST | Unknown;
    list->DeleteTransaction(list->IndexOfID(110400001, false));
    list->RefreshTaxEntries(false, true, true, true);
    EXPECT_EQ(list->GetItem(0)->TaxCodes, GST);
    EXPECT_EQ(Amounts(*list), (std::vector<double>{109.09, 10.91, 120.0, 0.0}));
}

// Totals made for dissections that have none (as after a load): each lands right behind its
// dissection's last member, in list order whatever the order the dissections were met in, the rows
// put in counted before and after the position; a second rebuild changes nothing.
TEST_F(GeneratedLinesTest, NewDissectionTotalsFollowTheirLastMembers) {
    struct TCase {
        int Position;
        int Before, After;
    } const cases[] = {{0, 0, 4}, {3, 0, 4}, {4, 1, 3}, {5, 2, 2}, {7, 4, 0}, {20, 4, 0}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Position);
        auto list = List();
        // Members of 1: A and G; of 2: C and D; of 3: E; of 4: F; B is in none.
        const qint32 d = 110400000;
        const std::pair<double, qint32> keyed[] = {{1.0, d + 1},  {2.0, -1},     {4.0, d + 2}, {8.0, d + 2},
                                                   {16.0, d + 1}, {32.0, d + 3}, {64.0, d + 4}};
        for (const auto& [amount, dissection] : keyed)
            Add(*list, Oct(3), amount, 0, "2000", dissection);
        list->SetSaved(true);
        int before = -1, after = -1;
        EXPECT_EQ(list->UpdateDissectionTotals(-1, c.Position, before, after), 4);
        EXPECT_EQ(std::tuple(before, after), std::tuple(c.Before, c.After));
        const std::vector<double> order{1.0, 2.0, 4.0, 8.0, 12.0, 16.0, 17.0, 32.0, 32.0, 64.0, 64.0, 0.0};
        EXPECT_EQ(Amounts(*list), order);
        const qint32 totals[] = {d + 2, d + 1, d + 3, d + 4};
        for (int i = 0, met = 0; i < list->Count(); ++i) {
            const TTransactionDetail& line = *list->GetItem(i);
            if (!line.HasAnyFlag({TF::DissectionTotal}))
                continue;
            EXPECT_EQ(std::tuple(line.Dissection, line.ID, line.Details()),
                      std::tuple(totals[met++], 110499999, QStringLiteral("Payment Dissection Total")))
                << i;
        }
        EXPECT_TRUE(list->Saved());
        EXPECT_EQ(list->UpdateDissectionTotals(-1, c.Position, before, after), 0);
        EXPECT_EQ(Amounts(*list), order);
    }
}

TEST_F(GeneratedLinesTest, AReconciledDissectionKeepsItsTotalThroughAnAdjustment) {
    struct TCase {
        double Change;
        int AddedRows;
        std::vector<double> Amounts; // members, adjustment, total, blank line
    } const cases[] = {{5.0, 1, {60.0, 55.0, -5.0, 110.0, 0.0}},
                       {-5.0, 1, {60.0, 45.0, 5.0, 110.0, 0.0}},
                       {0.005, 0, {60.0, 50.005, 110.005, 0.0}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Change);
        auto list = List();
        Add(*list, Oct(7), 60.0, 0, "2000", 110400003);
        Add(*list, Oct(7), 50.0, 0, "2000", 110400003);
        for (int i = 0; i < 2; ++i)
            list->GetItem(i)->SetFlags({TF::Reconciled});
        int before = 0, after = 0;
        list->UpdateDissectionTotals(-1, 0, before, after);
        list->SetSaved(true);
        list->GetItem(1)->Amount += c.Change;
        EXPECT_EQ(list->UpdateDissectionTotals(110400003, 3, before, after), c.AddedRows);
        EXPECT_EQ(std::tuple(before, list->Saved(), Amounts(*list)),
                  std::tuple(c.AddedRows, true, c.Amounts));
        if (!c.AddedRows)
            continue;
        const TTransactionDetail& adjustment = *list->GetItem(2); // flags 2, 3 and 14; the month's next ID
        EXPECT_EQ(std::tuple(adjustment.Details(), adjustment.Flags, adjustment.PostingCode, adjustment.ID),
                  std::tuple("Reconciled Payment Dissection Adjustment", 0x400Cu, Code("9100"), 110400003));
        // Undoing the change leaves the adjustment at nothing: it goes.
        list->GetItem(1)->Amount -= c.Change;
        EXPECT_EQ(list->UpdateDissectionTotals(-1, 0, before, after), -1);
        EXPECT_EQ(Amounts(*list), (std::vector<double>{60.0, 50.0, 110.0, 0.0}));
    }
}

TEST_F(GeneratedLinesTest, ContrasBalanceEachBankAccountPerDayWeekOrMonth) {
    const double jan1 = EncodeDateNum(2006, 1, 1);
    struct TCase {
        int Frequency, Period;
        std::vector<std::pair<double, double>> Entries, Contras; // date and amount; bank account 2000
    } const cases[] = {
        // clang-format off
        {2, 4, {{Oct(3), 100.0}, {Oct(20), 50.0}}, {{Oct(31), -150.0}}},
        {0, 4, {{Oct(3), 10.0}, {Oct(3), 5.0}, {Oct(4), 7.0}}, {{Oct(3), -15.0}, {Oct(4), -7.0}}},
        // 1 October 2005 is a Saturday: its week ends on Sunday the 2nd; the last runs past the end.
        {1, 4, {{Oct(1), 10.0}, {Oct(2), 20.0}, {Oct(9), 5.0}, {Oct(31), 7.0}}, {{Oct(2), -30.0}, {Oct(9), -5.0}, {Oct(31), -7.0}}},
        // 1 January 2006 is a Sunday: its group runs to the next Sunday.
        {1, 7, {{jan1, 10.0}, {jan1 + 7, 20.0}, {jan1 + 8, 1.0}}, {{jan1 + 7, -30.0}, {jan1 + 14, -1.0}}},
        // Dated outside the period, or not at all: still balanced, on the period's days.
        {2, 4, {{Oct(-27), 60.0}, {Oct(46), 40.0}, {0.0, 1.0}}, {{Oct(31), -61.0}, {Oct(31), -40.0}}},
        // clang-format on
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Frequency << " " << c.Entries.size());
        Books.Contras = c.Frequency;
        auto list = List(pkPayments, c.Period);
        for (const auto& [date, amount] : c.Entries)
            Add(*list, date, amount);
        Add(*list, Oct(5), 30.0, 0, "2100"); // cancels out
        Add(*list, Oct(5), -30.0, 0, "2100");
        for (int run = 0; run < 2; ++run) { // the second replaces the first's lines
            list->GenerateContras(false);
            std::vector<std::pair<double, double>> contras;
            for (const TTransactionDetail* line : Contras(*list))
                contras.emplace_back(line->Date, line->Amount);
            EXPECT_EQ(contras, c.Contras);
            EXPECT_TRUE(list->GetItem(list->Count() - 1)->HasAnyFlag({TF::Blank}));
        }
        // Once the entries are gone, so are their contras.
        for (int i = list->Count() - 2; i >= 0; --i)
            if (!list->GetItem(i)->HasAnyFlag({TF::Contra}))
                list->DeleteTransaction(i);
        list->GenerateContras(false);
        EXPECT_EQ(list->Count(), 1);
    }
}

TEST_F(GeneratedLinesTest, ContraLinesByPageKind) {
    struct TCase {
        int Kind, Period;
        QString Details; // empty: no contra line
        const char* Posting;
        qint32 Reference, ID;
        quint32 Flags;
        double Date;
    } const cases[] = {
        // clang-format off
        {pkPayments, 4, "Monthly contra total to Cheque Account", "2000", ContraReference, 110400002, 0x20, Oct(31)},
        {pkBankStatementDeposits, 4, "Monthly total for Cheque Account", "2000", ContraReference, 180400002, 0x20, Oct(31)},
        {pkPettyCashJournals, 4, "Balancing Entry", "9100", ContraReference, 170400002, 0x20, Oct(31)},
        {pkOpeningBalances, 1, "Balancing Entry", "9100", OpeningBalanceReference, 100100002, 0x21, Oct(-91)},
        {pkOpeningUnpresentedCheques, 1, "", "", 0, 0, 0, 0.0},
        {pkPayments, 0, "", "", 0, 0, 0, 0.0}, // no period
        // clang-format on
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Period);
        auto list = List(c.Kind, c.Period);
        Add(*list, c.Period ? list->StartDate() + 2 : Oct(3), 100.0);
        list->GenerateContras(false);
        const auto contras = Contras(*list);
        ASSERT_EQ(contras.size(), c.Details.isEmpty() ? 0u : 1u);
        if (contras.empty())
            continue;
        const TTransactionDetail& contra = *contras[0];
        EXPECT_EQ(std::tuple(contra.Details(), contra.PostingCode, contra.Reference, contra.Flags & 0xFFu),
                  std::tuple(c.Details, Code(c.Posting), c.Reference, c.Flags));
        EXPECT_EQ(std::tuple(contra.Date, contra.Amount, contra.ID, contra.BankCode),
                  std::tuple(c.Date, -100.0, c.ID, Code("2000")));
    }
}

} // namespace
