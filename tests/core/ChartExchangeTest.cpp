#include "core/charts/ChartExchange.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/StdDescChart.h"
#include "core/dates/DateNumbers.h"
#include "tests/core/ChartTestSupport.h"

namespace {

// A block of a hand-written exchange file under tests/data/exchange.
QByteArray Golden(const char* file, const char* block) {
    return HexBlock(TestData((QByteArray("exchange/") + file).constData()), block);
}
QByteArray With(QByteArray bytes, qsizetype offset, char byte) {
    bytes[offset] = byte;
    return bytes;
}

class ChartExchangeTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Entity.Currency = QStringLiteral("AUD");
    }
    // "GR=Groceries" pairs.
    std::unique_ptr<TStdDescChart> StdDescs(const QStringList& pairs) {
        auto chart = std::make_unique<TStdDescChart>(Entity, TOptionSet{}, 2006);
        for (const QString& pair : pairs)
            chart->AddDescription(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        return chart;
    }
    // Bank accounts 2000 and 2001 ("USD"), 1000 outside the balance sheet, the ordinary 4500.
    std::unique_ptr<TBankRecOpeningDetailChart> BankRec() {
        if (!Accounts)
            Accounts = AccountsOf({"1000:ACC", "2000:BNK", "2001:BNK::USD", "4500:ACC"});
        return std::make_unique<TBankRecOpeningDetailChart>(Entity, Accounts.get(), nullptr,
                                                            TOptionSet{Option::Load}, 2006);
    }
    // Every entry's code and fields (accounts: description and type), and whether it is saved.
    static QString Dump(const TMasterChart& chart) {
        QString text = chart.Saved ? "saved" : "modified";
        for (int i = 0; i < chart.Count(); ++i) {
            text += ',' + chart.GetCode(i) + '=';
            if (const auto* d = dynamic_cast<const TStandardDescription*>(chart.GetItem(i)))
                text += d->Description;
            if (const auto* a = dynamic_cast<const TAccountDetail*>(chart.GetItem(i)))
                text += a->Description + ':' + a->AccountType;
            if (const auto* b = dynamic_cast<const TBRecOpeningDetail*>(chart.GetItem(i))) {
                for (const double value : {b->Open_Bal_Date, b->PeriodEnd, b->Statement_Open_Bal,
                                           b->Cashbook_Open_Bal, b->SixthValue, double(b->Slot)})
                    text += QString::number(value) + ' ';
                text += b->Currency;
            }
        }
        return text;
    }
    QString File(const char* name) const { return TempPath(QStringLiteral("exchange/") + name); }
    QByteArray Exported(const char* name) const { return Read(QStringLiteral("exchange/") + name); }

    std::unique_ptr<IProgress> Window = Progress->CreateProgress();
    std::unique_ptr<TAccountsChart> Accounts;
};

TEST_F(ChartExchangeTest, StandardDescriptionsFormBothWays) {
    auto chart =
        StdDescs({"GR=Groceries", "RN=Rent paid to Smith & Co for the office premises", "WAGES=Wages"});
    ASSERT_EQ(chart->ExportItems(File("new/THREE.STD"), Window.get()), 0)
        << chart->ExchangeError.toStdString();
    EXPECT_EQ(Exported("new/THREE.STD").toHex(' '), Golden("std.hex", "three").toHex(' '));
    QStringList twenty;
    for (int i = 1; i <= 20; ++i)
        twenty << QStringLiteral("%1=Text %1").arg(i);
    ASSERT_EQ(StdDescs(twenty)->ExportItems(File("TWENTY.STD")), 0);
    EXPECT_EQ(Exported("TWENTY.STD").mid(17 * 44),
              Hex("02 31 38 07 54 65 78 74 20 31 38").leftJustified(44, '\0'));
    // Import: new abbreviations are added; a held one takes the text only with option 28.
    Write("exchange/TWO.STD", Golden("std.hex", "two"));
    chart = StdDescs({"GR=Old"});
    ASSERT_EQ(chart->ImportItems(File("TWO.STD"), {}, Window.get()), 0);
    EXPECT_EQ(Dump(*chart), "modified,GR=Old,NW=New one");
    chart->Saved = true;
    ASSERT_EQ(chart->ImportItems(File("TWO.STD"), {}), 0);
    EXPECT_TRUE(chart->Saved); // nothing new
    ASSERT_EQ(chart->ImportItems(File("TWO.STD"), {Option::MergeReplace}), 0);
    EXPECT_EQ(Dump(*chart), "modified,GR=Fresh <fruit>,NW=New one");
    EXPECT_EQ(Progress->Positions, (QList<double>{100, 50, 100}));
}

TEST_F(ChartExchangeTest, DamagedStandardDescriptionsChangeNothing) {
    const QByteArray good = Golden("std.hex", "three");
    const std::pair<QByteArray, const char*> cases[] = {
        {good.left(791), "DAMAGED.STD ends inside a record (791 bytes)"},
        {good + QByteArray(44, '\0'), "DAMAGED.STD is too long for its form (836 bytes, at most 792)"},
        {With(good, 44, '\x03'), "Record 2 of DAMAGED.STD is damaged"},            // abbreviation of 3
        {With(good, 88 + 3, '\x29'), "Record 3 of DAMAGED.STD is damaged"},        // description of 41
        {With(good, 17 * 44 + 3, '\xff'), "Record 18 of DAMAGED.STD is damaged"}}; // in an empty record
    for (const auto& [bytes, error] : cases) {
        Write("exchange/DAMAGED.STD", bytes);
        auto chart = StdDescs({"GR=Old"});
        EXPECT_EQ(chart->ImportItems(File("DAMAGED.STD"), {Option::MergeReplace}), -1);
        EXPECT_EQ(chart->ExchangeError, error);
        EXPECT_EQ(Dump(*chart), "saved,GR=Old") << error;
    }
    auto chart = StdDescs({});
    EXPECT_EQ(chart->ImportItems(File("MISSING.STD"), {}), -1);
    EXPECT_EQ(chart->ExchangeError, "File not found: " + File("MISSING.STD"));
    Write("exchange/GOOD.STD", good);
    Progress->CancelAtUpdate = 2; // cancelled while reading: nothing applied
    EXPECT_THROW(chart->ImportItems(File("GOOD.STD"), {}, Window.get()), EOperationCancelled);
    EXPECT_EQ(chart->Count(), 0);
}

TEST_F(ChartExchangeTest, BankReconciliationExport) {
    auto chart = BankRec();
    TBRecOpeningDetail& first = *chart->GetDetail(0);
    TBRecOpeningDetail& second = *chart->GetDetail(1);
    std::tie(first.Open_Bal_Date, first.Statement_Open_Bal, first.Cashbook_Open_Bal, first.SixthValue) =
        std::tuple(EncodeDateNum(2005, 7, 1), 1600.0, -1234.56, 0.01);
    std::tie(second.Open_Bal_Date, second.Statement_Open_Bal, second.Cashbook_Open_Bal) =
        std::tuple(EncodeDateNum(2006, 1, 15), 250.5, -75.25);
    int leftOut = -1;
    ASSERT_EQ(chart->ExportItems(File("ABC.BRO"), Window.get(), leftOut), 0)
        << chart->ExchangeError.toStdString();
    EXPECT_EQ(leftOut, 0);
    EXPECT_EQ(Exported("ABC.BRO").toHex(' '), Golden("bankrec.hex", "export").toHex(' '));
    EXPECT_EQ(Progress->Positions, QList<double>{100}); // the bar reaches its end
    // An amount beyond the form: an error, and the file written before stays.
    second.Cashbook_Open_Bal = 2e38;
    EXPECT_EQ(chart->ExportItems(File("ABC.BRO")), -1);
    EXPECT_TRUE(chart->ExchangeError.contains("too large for a 6-byte real"));
    EXPECT_EQ(Exported("ABC.BRO"), Golden("bankrec.hex", "export"));
    // Ten details at most; a code longer than six characters does not fit.
    for (int number = 2002; number <= 2010; ++number)
        Accounts->AddAccount(Account(QStringLiteral("%1:BNK").arg(number)));
    Accounts->AddAccount(Account("01-2500:BNK"));
    chart = BankRec();
    ASSERT_EQ(chart->Count(), 12);
    ASSERT_EQ(chart->ExportItems(File("TEN.BRO"), nullptr, leftOut), 0);
    EXPECT_EQ(leftOut, 2);
    EXPECT_EQ(Exported("TEN.BRO").mid(2 + 11, 5) + Exported("TEN.BRO").mid(2 + 9 * 36 + 11, 5),
              Hex("04 32 30 30 30 04 32 30 30 39"));
}

TEST_F(ChartExchangeTest, BankReconciliationImportMakesBankAccountsAndSkipsWhatCannotBe) {
    auto chart = BankRec();
    chart->GetDetail(0)->Statement_Open_Bal = 7.0;
    chart->GetDetail(1)->Statement_Open_Bal = 5.0;
    const QString july =
        QString::number(EncodeDateNum(2005, 7, 1)) + ' ' + QString::number(EncodeDateNum(2005, 7, 31));
    Write("exchange/IMPORT.BRO", Golden("bankrec.hex", "import"));
    ASSERT_EQ(chart->ImportItems(File("IMPORT.BRO"), {}, Window.get()), 0)
        << chart->ExchangeError.toStdString();
    // 31/06/05 is the last day of June; period 7 of the year to June 2006 is January 2006. 2001
    // keeps its fields (periods 13 and 0, and an entry after the end); 1000 and 7777 are passed over.
    EXPECT_EQ(Dump(*chart), QStringLiteral("modified,2000=%1 %2 0 0 0 0 AUD,2001=%3 5 0 0 1 USD,"
                                           "4500=%4 %5 100 -1 1 2 AUD")
                                .arg(EncodeDateNum(2005, 6, 30))
                                .arg(EncodeDateNum(2005, 7, 31))
                                .arg(july)
                                .arg(EncodeDateNum(2006, 1, 15))
                                .arg(EncodeDateNum(2006, 1, 31)));
    EXPECT_TRUE(chart->GetDetail(2)->UnmatchedFile.endsWith("\\BANK_REC\\ABC12306.RU2"));
    EXPECT_EQ(Dump(*Accounts), "modified,1000=:ACC,2000=:BNK,2001=:BNK,4500=:BNK");
    EXPECT_EQ(Accounts->GetAccount(3)->GetBankCurrency(), "AUD");
    EXPECT_EQ(Progress->Positions, (QList<double>{10, 20, 30, 40, 50, 60, 70}));
}

TEST_F(ChartExchangeTest, BankReconciliationRoundTripInACalendarYear) {
    Entity.EndMonth = 12;
    auto chart = BankRec();
    std::tie(chart->GetDetail(0)->Open_Bal_Date, chart->GetDetail(0)->Cashbook_Open_Bal) =
        std::tuple(EncodeDateNum(2006, 1, 15), -1234.56);
    std::tie(chart->GetDetail(1)->Open_Bal_Date, chart->GetDetail(1)->SixthValue) =
        std::tuple(EncodeDateNum(2006, 11, 2), 0.01);
    ASSERT_EQ(chart->ExportItems(File("FIRST.BRO")), 0);
    const QByteArray first = Exported("FIRST.BRO");
    // "15/01/06", periods 1 and 11.
    EXPECT_EQ(first.mid(2, 11) + first.mid(2 + 36 + 9, 2), Hex("08 31 35 2f 30 31 2f 30 36 01 00 0b 00"));
    Accounts.reset();
    auto copy = BankRec();
    ASSERT_EQ(copy->ImportItems(File("FIRST.BRO"), {}), 0);
    EXPECT_EQ(copy->GetDetail(0)->PeriodEnd, EncodeDateNum(2006, 1, 31));
    EXPECT_EQ(copy->GetDetail(1)->PeriodEnd, EncodeDateNum(2006, 11, 30));
    ASSERT_EQ(copy->ExportItems(File("SECOND.BRO")), 0);
    EXPECT_EQ(Exported("SECOND.BRO"), first);
}

TEST_F(ChartExchangeTest, DamagedBankReconciliationRecordsChangeNothing) {
    const QByteArray good = Golden("bankrec.hex", "import");
    const std::pair<QByteArray, const char*> cases[] = {
        {good.left(361), "DAMAGED.BRO holds 361 bytes, not the 362 of a bank reconciliation record"},
        {good + '\0', "DAMAGED.BRO is too long for its form (363 bytes, at most 362)"},
        {With(good, 2 + 36, '\x09'), "Entry 2 of DAMAGED.BRO is damaged"},  // date of 9 after a good entry
        {With(good, 2 + 11, '\x07'), "Entry 1 of DAMAGED.BRO is damaged"}}; // code of 7
    for (const auto& [bytes, error] : cases) {
        Write("exchange/DAMAGED.BRO", bytes);
        Accounts.reset();
        auto chart = BankRec();
        const QString loaded = Dump(*chart);
        EXPECT_EQ(chart->ImportItems(File("DAMAGED.BRO"), {}), -1);
        EXPECT_EQ(chart->ExchangeError, error);
        EXPECT_EQ(Dump(*chart), loaded) << error;
        EXPECT_EQ(Dump(*Accounts), "saved,1000=:ACC,2000=:BNK,2001=:BNK,4500=:ACC") << error;
    }
}

TEST_F(ChartExchangeTest, AccountsTextExportWritesEachCodeOnce) {
    auto descriptions = StdDescs({"GR=Groceries"});
    auto chart =
        AccountsOf({"1000:ACC:Sales, retail and wholesale trade", "01-2000-05:ACC:~GR", "9100:SUS:Suspense"},
                   descriptions.get());
    ASSERT_EQ(chart->ExportItems(File("ACCOUNTS.TXT"), Window.get()), 0);
    EXPECT_EQ(Exported("ACCOUNTS.TXT"), TestData("exchange/accounts.txt"));
    EXPECT_EQ(Progress->Positions.last(), 100.0);
    // A client format with divisions, written in the program's format, which has none.
    auto divisions = MakeFormat("DD-AAAA");
    TAccountsChart byDivision(Entity, divisions.get(), TOptionSet{}, 2006);
    for (const auto& [division, text] : {std::pair<int, const char*>{1, "First"}, {2, "Second"}}) {
        auto account = std::make_unique<TAccountDetail>(divisions.get());
        account->SetCode(MakeCode(-1, division, 2000, -1));
        account->Description = text;
        byDivision.AddAccount(std::move(account));
    }
    ASSERT_EQ(byDivision.ExportItems(File("DIVISIONS.TXT")), 0);
    EXPECT_EQ(Exported("DIVISIONS.TXT"), "2000,First\r\n");
    Write("exchange/blocker", "x"); // a folder that cannot be made
    EXPECT_EQ(chart->ExportItems(File("blocker/ACCOUNTS.TXT")), -1);
    EXPECT_FALSE(chart->ExchangeError.isEmpty());
}

TEST_F(ChartExchangeTest, AccountsTextImportAddsAndOnlyReplacesWhenAsked) {
    Write("exchange/IMPORT.TXT", TestData("exchange/import.txt"));
    auto chart = AccountsOf({"1000:ACC:Sales", "2000:BNK:Bank"});
    ASSERT_EQ(chart->ImportItems(File("MISSING.TXT"), {}), 0);
    EXPECT_TRUE(chart->Saved);
    ASSERT_EQ(chart->ImportItems(File("IMPORT.TXT"), {}, Window.get()), 0);
    EXPECT_EQ(Dump(*chart), "modified,01-3000-02=Old separator:ACC,1000=Sales:ACC,2000=Bank:BNK,"
                            "4000=Last line without an end:ACC,9500=Suspense two:SUS");
    EXPECT_EQ(chart->GetAccount(0)->DateAdded, 0.0);
    EXPECT_EQ(Progress->Positions.last(), 100.0);
    chart->Saved = true;
    ASSERT_EQ(chart->ImportItems(File("IMPORT.TXT"), {}), 0);
    EXPECT_TRUE(chart->Saved); // nothing new
    ASSERT_EQ(chart->ImportItems(File("IMPORT.TXT"), {Option::MergeReplace}), 0);
    EXPECT_EQ(chart->GetAccount(1)->Description, "New sales name"); // up to the next comma
    EXPECT_FALSE(chart->Saved);
    ASSERT_EQ(chart->ExportItems(File("BACK.TXT")), 0); // round trip into an empty chart
    auto copy = AccountsOf({});
    ASSERT_EQ(copy->ImportItems(File("BACK.TXT"), {}), 0);
    EXPECT_EQ(Dump(*copy), Dump(*chart).replace(":BNK", ":ACC"));
}

} // namespace
