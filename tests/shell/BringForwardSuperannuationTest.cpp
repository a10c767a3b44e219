// Bringing a superannuation fund with two members forward from 2006 into 2007: last year's
// workpaper member information and tax note journals are reversed on the new year's general
// journal, and each member's balances are moved into the member's first account.
#include "tests/shell/BringForwardTestSupport.h"

#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/RunParams.h"
#include "core/files/Paths.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionImageFile.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/bringforward/BringForwardEngine.h"
#include "shell/bringforward/ProfitDistribution.h"

namespace {

namespace TF = TransactionFlag;
using TEngine = TBringForwardEngine;

constexpr const char* InformationJournal = "Tessaly Member Information Jnl";
constexpr const char* TaxNoteJournal = "Tessaly Tax Note Jnl";

// Fund ABC123 (type SUP, year to June 2006, account format QUILVANE). The format's member range
// (4500 to 99-4599-99) tells its members apart by branch: Smith's accounts are in branch 01,
// Jones's in branch 02, each with a balance account (4500), contributions (4510) and earnings
// (4520). Income 1000, expenses 1500, bank 2000 (the default), suspense 9100.
class BringForwardSuperannuationTest : public TBringForwardFixture {
protected:
    void SetUp() override {
        TBringForwardFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenWithAccounts(
            "Type=SUP", {"1000:ACC", "1500:ACC", "2000:BNK", "9100:SUS", "01-4500-00:ACC", "01-4510-00:ACC",
                         "01-4520-00:ACC", "02-4500-00:ACC", "02-4510-00:ACC", "02-4520-00:ACC"}));
        ASSERT_EQ(File->EntityDetail().EntityType, "SUP");
        Chart->SetDefaultAccount(Chart->IndexOfCode(Code("9100")), true);
        Chart->SetDefaultAccount(Chart->IndexOfCode(Code("2000")), true);

        const double july1 = EncodeDateNum(2005, 7, 1), june30 = EncodeDateNum(2006, 6, 30);
        Add(2006, pkOpeningBalances, july1, "01-4500-00", -1000.00, "Opening Smith");
        Add(2006, pkOpeningBalances, july1, "02-4500-00", -500.00, "Opening Jones");
        Add(2006, pkOpeningBalances, july1, "2000", 1500.00, "Opening Bank");
        Add(2006, pkReceipts, EncodeDateNum(2005, 8, 15), "01-4510-00", 200.00, "Contribution Smith");
        Add(2006, pkReceipts, EncodeDateNum(2005, 9, 15), "02-4510-00", 300.00, "Contribution Jones");
        Add(2006, pkReceipts, EncodeDateNum(2005, 12, 31), "1000", 150.00, "Interest");
        Add(2006, pkPayments, EncodeDateNum(2006, 1, 20), "1500", 30.00, "Bank fees");
        // Reversed in the new year: the member information and tax note journals of the workpapers,
        // one of them dated in September and carrying a dissection, a parent and a quantity.
        Add(2006, pkGeneralJournals, EncodeDateNum(2005, 9, 30), "02-4520-00", 12.50, InformationJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag}, [](TTransactionDetail& entry) {
                entry.Quantity = 3;
                entry.Reference = 77;
                entry.Dissection = 5;
                entry.ParentID = 4;
            });
        Add(2006, pkGeneralJournals, EncodeDateNum(2005, 9, 30), "02-4500-00", -12.50, InformationJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag});
        Add(2006, pkGeneralJournals, june30, "01-4510-00", 25.00, InformationJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag});
        Add(2006, pkGeneralJournals, june30, "01-4500-00", -25.00, InformationJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag});
        Add(2006, pkGeneralJournals, june30, "02-4510-00", 10.00, TaxNoteJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag});
        Add(2006, pkGeneralJournals, june30, "02-4500-00", -10.00, TaxNoteJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag});
        // Not reversed: another workpaper journal, a reversal already, and a journal not posted
        // from the workpapers.
        Add(2006, pkGeneralJournals, june30, "1500", 5.00, "Tessaly Member Account Jnl",
            {TF::Keyed, TEngine::TessalyJournalFlag});
        Add(2006, pkGeneralJournals, june30, "1000", -5.00, "Tessaly Member Account Jnl",
            {TF::Keyed, TEngine::TessalyJournalFlag});
        Add(2006, pkGeneralJournals, june30, "01-4510-00", 7.00, InformationJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag, TEngine::ReversalFlag});
        Add(2006, pkGeneralJournals, june30, "01-4500-00", -7.00, InformationJournal,
            {TF::Keyed, TEngine::TessalyJournalFlag, TEngine::ReversalFlag});
        Add(2006, pkGeneralJournals, june30, "02-4510-00", 4.00, TaxNoteJournal, {TF::Keyed});
        Add(2006, pkGeneralJournals, june30, "02-4500-00", -4.00, TaxNoteJournal, {TF::Keyed});
        TOptionSet save{Standard};
        ASSERT_EQ(File->SaveYearCharts(2006, save, true), 0);

        // A journal of the new year that has nothing to do with the members, in its fifth month.
        Add(2007, pkGeneralJournals, EncodeDateNum(2006, 11, 15), "1500", 40.00, "Adjustment");
        Add(2007, pkGeneralJournals, EncodeDateNum(2006, 11, 15), "1000", -40.00, "Adjustment");

        Distribution.SetEntries({{"01-4520-00", "50.00"}, {"02-4520-00", "50.00"}});
        Options.OpeningReconciliation = false;
    }
    void Add(int year, int kind, double date, const QString& posting, double amount, const QString& details,
             std::initializer_list<int> flags = {TF::Keyed},
             const std::function<void(TTransactionDetail&)>& change = {}) {
        TTransactionList list(File->ListSources(2006), kind, year, 1, 1, {QuietLoad});
        ASSERT_EQ(list.LoadStatus(), 0);
        auto entry = std::make_unique<TTransactionDetail>(0, qint16(kind));
        entry->SetFlags(flags);
        entry->Date = date;
        entry->PostingCode = Code(posting);
        entry->BankCode = Code("2000");
        entry->Amount = amount;
        entry->SetDetails(details);
        if (change)
            change(*entry);
        entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
        list.AddTransaction(std::move(entry), 0);
        // The contras and balancing entries stored are those of the list as it now stands.
        list.GenerateContras(false);
        TOptionSet options{Standard};
        ASSERT_EQ(list.SaveToFile(options, false, true), 0);
    }
    int Run() {
        TEngine engine(*File, 2007);
        return engine.Run(Options, Distribution);
    }
    // The charts of 2007 as written, for reading its pages.
    std::unique_ptr<TReportSetup> Year2007() {
        return std::make_unique<TReportSetup>(File->RunFile(2007), 0, prBringForward, 2007, true);
    }
    // One line per entry of a 2007 page kind over the whole year, every stored field but the ID
    // unless asked for.
    QStringList Listing(int kind, bool withIDs = true) {
        const auto year = Year2007();
        TTransactionList list(File->EntityDetail().ListSources(year->Accounts, year->TaxRates, year->StdDescs,
                                                               year->CurrencyRates),
                              kind, 2007, 1, 1, {QuietLoad});
        EXPECT_EQ(list.LoadStatus(), 0);
        const TAccountFormat* format = Chart->Format();
        QStringList lines;
        for (int i = 0; i < list.Count(); ++i) {
            const TTransactionDetail& e = *list.GetItem(i);
            QStringList flags;
            for (int bit = 0; bit < 32; ++bit)
                if (e.Flags >> bit & 1u)
                    flags << QString::number(bit);
            int y = 0, m = 0, d = 0;
            DecodeDateNum(e.Date, y, m, d);
            QString line =
                QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                    .arg(QString::asprintf("%04d-%02d-%02d", y, m, d), QString::number(e.Reference),
                         format->FormatCode(e.PostingCode), format->FormatCode(e.BankCode),
                         QString::asprintf("%.2f", e.Amount), QString::number(e.Quantity), flags.join(','),
                         QStringLiteral("%1/%2").arg(e.Dissection).arg(e.ParentID), e.Details());
            if (withIDs)
                line.prepend(QString::number(e.ID) + '|');
            lines << line;
        }
        return lines;
    }
    // 2007's balances after a recalculation: code -> balance, accounts with one only.
    QMap<QString, double> Balances2007() {
        const auto year = Year2007();
        EXPECT_EQ(File->ProcessTransactions(*year, nullptr, false, false, false), 0);
        QMap<QString, double> balances;
        for (int i = 0; i < year->Accounts->Count(); ++i)
            if (std::fabs(year->Accounts->GetAccount(i)->Balance) > 0.001)
                balances[year->Accounts->GetCode(i)] =
                    std::round(year->Accounts->GetAccount(i)->Balance * 100) / 100;
        return balances;
    }
    QString Key(const QString& code) const { return Chart->Format()->FormatCode(Code(code)); }

    TProfitDistribution Distribution;
    TBringForwardOptions Options;
};

QStringList GoldenLines(const QString& name) {
    const QString text = QString::fromUtf8(ReadFileBytes(QUILVANE_TEST_DATA_DIR "/bringforward/" + name));
    QStringList lines;
    for (const QString& line : text.split('\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith('#'))
            lines << line;
    return lines;
}

QStringList WithoutIDs(QStringList lines) {
    for (QString& line : lines)
        line = line.section('|', 1);
    return lines;
}

} // namespace

// The new year as the golden listing gives it: the opening balances carry each member account's
// closing balance, the profit shared between the members' earnings, and the journal holds the
// reversals of the member information and tax note journals and the members' transfers.
TEST_F(BringForwardSuperannuationTest, TheNewYearOfAFundWithTwoMembers) {
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList{TEngine::CompleteText});

    QStringList year = QStringList{"[Opening Balances]"} + Listing(pkOpeningBalances);
    year << "[General Journals]" << Listing(pkGeneralJournals);
    EXPECT_EQ(year.join('\n').toStdString(), GoldenLines("sup_2007.txt").join('\n').toStdString());

    // Each member's whole balance (last year's closing balances, the member's share of the profit
    // of 120.00 and the reversals) opens the year on the member's first account.
    const QMap<QString, double> balances = Balances2007();
    EXPECT_EQ(balances, (QMap<QString, double>{{Key("01-4500-00"), -1260.00},
                                               {Key("02-4500-00"), -860.00},
                                               {Key("2000"), 2120.00},
                                               {Key("1000"), -40.00},
                                               {Key("1500"), 40.00}}));
}

// A second run replaces what the first made: the earlier reversals and transfers go before the
// balances are read, so nothing is counted twice, and the year's other journals stay.
TEST_F(BringForwardSuperannuationTest, ARedoMakesTheSameEntriesAgain) {
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    const QStringList first = Listing(pkGeneralJournals);
    const QMap<QString, double> balances = Balances2007();

    Prompt->Answer(TMessageButton::Yes); // replace the opening balances
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    EXPECT_TRUE(Prompt->Texts()[1].startsWith("A file for ")) << Prompt->Texts()[1].toStdString();
    const QStringList second = Listing(pkGeneralJournals);
    EXPECT_EQ(WithoutIDs(second), WithoutIDs(first));
    EXPECT_EQ(Balances2007(), balances);
}

// A format that defines only one of the member groups makes no transfers; the reversals are still
// made.
TEST_F(BringForwardSuperannuationTest, NoTransfersWithoutBothMemberGroups) {
    Params->FindAccountFormat("QUILVANE")->MemberSubRange.reset();
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    QStringList narrations;
    for (const QString& line : Listing(pkGeneralJournals))
        narrations << line.section('|', -1);
    EXPECT_EQ(narrations.count(TEngine::MemberTransferNarration), 0);
    EXPECT_EQ(narrations.count(QString(InformationJournal) + TEngine::ReversalSuffix), 4);
    EXPECT_EQ(narrations.count(QString(TaxNoteJournal) + TEngine::ReversalSuffix), 2);
    EXPECT_EQ(narrations.count("Adjustment"), 2);
}

// Not a fund: nothing is added to the journal.
TEST_F(BringForwardSuperannuationTest, OtherEntitiesGetNoSuperannuationEntries) {
    File->EntityDetail().EntityType = "COY";
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(Listing(pkGeneralJournals).size(), 2);
}

// Months of the new year are keyed before the redo: a contribution in October is the year's own
// movement, not part of the position the members open with. The transfers stay as they were and
// the contributions account keeps the year's contribution.
TEST_F(BringForwardSuperannuationTest, ARedoTransfersOnlyTheOpeningPosition) {
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    const QStringList first = Listing(pkGeneralJournals);
    Add(2007, pkReceipts, EncodeDateNum(2006, 10, 15), "01-4510-00", 1000.00, "Contribution Smith");

    Prompt->Answer(TMessageButton::Yes); // replace the opening balances
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(WithoutIDs(Listing(pkGeneralJournals)), WithoutIDs(first));
    EXPECT_EQ(Balances2007(), (QMap<QString, double>{{Key("01-4500-00"), -1260.00},
                                                     {Key("01-4510-00"), -1000.00},
                                                     {Key("02-4500-00"), -860.00},
                                                     {Key("2000"), 3120.00},
                                                     {Key("1000"), -40.00},
                                                     {Key("1500"), 40.00}}));
}

// A member information journal keyed with GST (110.00 of which 10.00 is tax) is reversed as it
// was keyed: after the new year is read back, the reversal and its tax line are -100.00 and
// -10.00. The reversal is stored with both links at -1, its tax line belonging to it.
TEST_F(BringForwardSuperannuationTest, AJournalWithATaxCodeIsReversedGrossAndTax) {
    File->EntityDetail().Tax = true;
    auto account = std::make_unique<TAccountDetail>(Chart->Format());
    account->SetCode(Code("3100"));
    account->DeriveAccountType("ACC");
    account->Description = "GST";
    ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
    TTaxRateChart* rates = File->TaxRateChart(2006);
    ASSERT_NE(rates, nullptr);
    auto gst = std::make_unique<TTaxRate>(Chart->Format());
    gst->Tax_Code = "GST";
    gst->TaxType = 0;
    gst->Tax_Rate = 10.0;
    gst->TaxAccount = Code("3100");
    gst->StartDate = EncodeDateNum(2005, 7, 1);
    gst->EndDate = EncodeDateNum(2007, 6, 30);
    ASSERT_GE(rates->AddItem(std::move(gst)), 0);
    TOptionSet save{Standard};
    ASSERT_EQ(File->SaveYearCharts(2006, save, true), 0);
    Add(2006, pkGeneralJournals, EncodeDateNum(2006, 6, 30), "1500", 110.00, InformationJournal,
        {TF::Keyed, TEngine::TessalyJournalFlag},
        [](TTransactionDetail& entry) { entry.TaxCodes = 1u << 0; });

    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(Run(), 0);
    const auto year = Year2007();
    TTransactionList journal(
        File->EntityDetail().ListSources(year->Accounts, year->TaxRates, year->StdDescs, year->CurrencyRates),
        pkGeneralJournals, 2007, 1, 1, {QuietLoad});
    ASSERT_EQ(journal.LoadStatus(), 0);
    int found = 0;
    for (int i = 0; i < journal.Count(); ++i) {
        const TTransactionDetail& entry = *journal.GetItem(i);
        if (!(entry.PostingCode == Code("1500")) || entry.HasAnyFlag({TF::TaxLine}) ||
            !entry.HasAllFlags({TEngine::ReversalFlag}))
            continue;
        ++found;
        EXPECT_EQ(entry.Details(), QString(InformationJournal) + TEngine::ReversalSuffix);
        EXPECT_DOUBLE_EQ(entry.Amount, -100.00);
        EXPECT_DOUBLE_EQ(journal.GetTaxAmount(i), -10.00);
    }
    EXPECT_EQ(found, 1);

    // As stored: the reversal's links are -1 and its one tax line names it as its parent.
    std::vector<TTransactionDetail> records;
    TTransactionImageBounds bounds{};
    LoadTransactionImageFile(NativePath(journal.GetFileName(7, TOptionSet{Standard})), records, bounds);
    const TTransactionDetail* reversal = nullptr;
    for (const TTransactionDetail& record : records)
        if (record.PostingCode == Code("1500") && record.HasAllFlags({TEngine::ReversalFlag}) &&
            !record.HasAnyFlag({TF::TaxLine}))
            reversal = &record;
    ASSERT_NE(reversal, nullptr);
    EXPECT_EQ(reversal->Dissection, -1);
    EXPECT_EQ(reversal->ParentID, -1);
    QList<double> taxes;
    for (const TTransactionDetail& record : records)
        if (record.ParentID == reversal->ID && record.HasAnyFlag({TF::TaxLine}))
            taxes << record.Amount;
    EXPECT_EQ(taxes, QList<double>{-10.00});
    EXPECT_DOUBLE_EQ(reversal->Amount, -100.00);
}
