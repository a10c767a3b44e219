#include "core/charts/ChartExchange.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/StdDescChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/ChartTestSupport.h"

#include <cmath>
#include <limits>

namespace {

// The exchange files written by hand, under tests/data/exchange.
QByteArray ExchangeBlock(const char* file, const char* block) {
    const QByteArray text = TestData((QByteArray("exchange/") + file).constData());
    EXPECT_TRUE(text.contains('[' + QByteArray(block) + ']')) << file << " has no block " << block;
    return HexBlock(text, block);
}

QByteArray Real(const char* hex) {
    return Hex(hex);
}

TEST(Real48Test, GoldenValuesBothWays) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "00 00 00 00 00 00"},
        {1.0, "81 00 00 00 00 00"},
        {-1.0, "81 00 00 00 00 80"},
        {-1234.56, "8b 1f 85 eb 51 9a"},
        {0.01, "7a 71 3d 0a d7 23"},
        {1600.0, "8b 00 00 00 00 48"},
        {250.5, "88 00 00 00 80 7a"},
        {2.0 - std::ldexp(1.0, -41), "82 00 00 00 00 00"},                  // rounds up
        {std::ldexp(2.0 - std::ldexp(1.0, -39), 126), "ff ff ff ff ff 7f"}, // the largest
        {std::ldexp(1.0, -128), "01 00 00 00 00 00"},                       // the smallest
        {std::ldexp(1.0, -129), "00 00 00 00 00 00"},                       // below it: 0
    };
    for (const auto& [value, hex] : cases) {
        SCOPED_TRACE(hex);
        QByteArray bytes(Real48::Size, '\x55');
        Real48::Encode(value, bytes.data());
        EXPECT_EQ(bytes.toHex(' '), QByteArray(hex));
        const double back = Real48::Decode(Real(hex).constData());
        EXPECT_NEAR(back, value, std::fabs(value) * 1e-11 + std::ldexp(1.0, -128));
    }
    // The exponent byte alone decides zero; the sign bit is no part of the mantissa.
    EXPECT_EQ(Real48::Decode(Real("00 ff ff ff ff ff").constData()), 0.0);
    EXPECT_EQ(Real48::Decode(Real("82 00 00 00 00 c0").constData()), -3.0);
    const double beyond[] = {1.8e38, -1.8e38, std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (const double value : beyond) {
        QByteArray bytes(Real48::Size, '\0');
        EXPECT_THROW(Real48::Encode(value, bytes.data()), EQuilvaneError) << value;
    }
}

class ChartExchangeTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Entity.Currency = QStringLiteral("AUD");
        Window = Progress->CreateProgress();
    }

    std::unique_ptr<TStdDescChart> StdDescs(const QStringList& pairs) {
        auto chart = std::make_unique<TStdDescChart>(Entity, TOptionSet{}, 2006);
        for (const QString& pair : pairs)
            EXPECT_GE(chart->AddDescription(pair.section(u'=', 0, 0), pair.section(u'=', 1)), 0);
        return chart;
    }
    static QString Texts(const TStdDescChart& chart) {
        QStringList texts;
        for (int i = 0; i < chart.Count(); ++i)
            texts << chart.GetCode(i) + '=' + chart.GetStdDescription(i)->Description;
        return texts.join(u',');
    }
    static QString Descriptions(const TAccountsChart& chart) {
        QStringList texts;
        for (int i = 0; i < chart.Count(); ++i)
            texts << chart.GetCode(i) + '=' + chart.GetAccount(i)->Description + ':' +
                         chart.GetAccount(i)->AccountType;
        return texts.join(u',');
    }

    // The bank-reconciliation chart of accounts 1000 (outside the balance sheet), bank accounts
    // 2000 and 2001 and the ordinary balance-sheet account 4500.
    std::unique_ptr<TBankRecOpeningDetailChart> BankRec() {
        if (!Accounts)
            Accounts = AccountsOf({"1000:ACC", "2000:BNK", "2001:BNK::USD", "4500:ACC"});
        return std::make_unique<TBankRecOpeningDetailChart>(Entity, Accounts.get(), nullptr,
                                                            TOptionSet{Option::Load}, 2006);
    }
    void SetAmounts(TBRecOpeningDetail& detail, double date, double statement, double cashbook,
                    double sixth) {
        detail.Open_Bal_Date = date;
        detail.Statement_Open_Bal = statement;
        detail.Cashbook_Open_Bal = cashbook;
        detail.SixthValue = sixth;
    }
    static QString Fields(const TBRecOpeningDetail& detail) {
        return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
            .arg(detail.Open_Bal_Date)
            .arg(detail.PeriodEnd)
            .arg(detail.Statement_Open_Bal)
            .arg(detail.Cashbook_Open_Bal)
            .arg(detail.SixthValue)
            .arg(detail.Slot)
            .arg(detail.Currency);
    }
    static QString AllFields(const TBankRecOpeningDetailChart& chart) {
        QStringList texts;
        for (int i = 0; i < chart.Count(); ++i)
            texts << chart.GetCode(i) + ':' + Fields(*chart.GetDetail(i));
        return texts.join(u',');
    }

    QString File(const char* name) const { return TempPath(QStringLiteral("exchange/") + name); }

    std::unique_ptr<IProgress> Window;
    std::unique_ptr<TAccountsChart> Accounts;
};

// ---- Standard descriptions ------------------------------------------------------------------------

TEST_F(ChartExchangeTest, StandardDescriptionsExportEighteenRecords) {
    auto chart =
        StdDescs({"GR=Groceries", "RN=Rent paid to Smith & Co for the office premises", "WAGES=Wages"});
    ASSERT_EQ(chart->ExportItems(File("new/THREE.STD"), Window.get()), 0)
        << chart->ExchangeError.toStdString();
    EXPECT_EQ(Read("exchange/new/THREE.STD").toHex(' '), ExchangeBlock("std.hex", "three").toHex(' '));
    EXPECT_EQ(Progress->Positions, QList<double>{100.0});
    // Twenty descriptions: the first eighteen are written.
    QStringList twenty;
    for (int i = 1; i <= 20; ++i)
        twenty << QStringLiteral("%1=Text %1").arg(i);
    chart = StdDescs(twenty);
    ASSERT_EQ(chart->ExportItems(File("TWENTY.STD")), 0);
    const QByteArray bytes = Read("exchange/TWENTY.STD");
    ASSERT_EQ(bytes.size(), 792);
    EXPECT_EQ(bytes.mid(17 * 44, 11), QByteArray("\x02"
                                                 "18\x07Text 18",
                                                 11));
}

TEST_F(ChartExchangeTest, StandardDescriptionsImportMergesAndMarksTheChart) {
    Write("exchange/TWO.STD", ExchangeBlock("std.hex", "two"));
    auto chart = StdDescs({"GR=Old"});
    ASSERT_EQ(chart->ImportItems(File("TWO.STD"), {}, Window.get()), 0);
    EXPECT_EQ(Texts(*chart), "GR=Old,NW=New one");
    EXPECT_FALSE(chart->Saved);
    EXPECT_EQ(Progress->Positions, (QList<double>{50.0, 100.0}));
    chart->Saved = true;
    ASSERT_EQ(chart->ImportItems(File("TWO.STD"), {}), 0);
    EXPECT_TRUE(chart->Saved); // nothing new
    ASSERT_EQ(chart->ImportItems(File("TWO.STD"), {Option::MergeReplace}), 0);
    EXPECT_EQ(Texts(*chart), "GR=Fresh <fruit>,NW=New one");
    EXPECT_FALSE(chart->Saved);
    // What the export writes reads back, as cut to the record.
    auto source = StdDescs({"AB=First", "CD=" + QString(45, u'x')});
    ASSERT_EQ(source->ExportItems(File("BACK.STD")), 0);
    auto copy = StdDescs({});
    ASSERT_EQ(copy->ImportItems(File("BACK.STD"), {}), 0);
    EXPECT_EQ(Texts(*copy), "AB=First,CD=" + QString(40, u'x'));
}

TEST_F(ChartExchangeTest, DamagedStandardDescriptionsChangeNothing) {
    const QByteArray good = ExchangeBlock("std.hex", "three");
    const auto with = [&](qsizetype offset, char byte) {
        QByteArray bytes = good;
        bytes[offset] = byte;
        return bytes;
    };
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"truncated", good.left(791), "DAMAGED.STD ends inside a record (791 bytes)"},
        {"a record more", good + QByteArray(44, '\0'),
         "DAMAGED.STD is too long for its form (836 bytes, at most 792)"},
        {"abbreviation of 3", with(44, '\x03'), "Record 2 of DAMAGED.STD is damaged"},
        {"description of 41", with(88 + 3, '\x29'), "Record 3 of DAMAGED.STD is damaged"},
        {"description of 255 in an empty record", with(17 * 44 + 3, '\xff'),
         "Record 18 of DAMAGED.STD is damaged"},
    };
    for (const auto& [name, bytes, error] : cases) {
        SCOPED_TRACE(name);
        Write("exchange/DAMAGED.STD", bytes);
        auto chart = StdDescs({"GR=Old"});
        EXPECT_EQ(chart->ImportItems(File("DAMAGED.STD"), {Option::MergeReplace}), -1);
        EXPECT_EQ(chart->ExchangeError, error);
        EXPECT_EQ(Texts(*chart), "GR=Old");
        EXPECT_TRUE(chart->Saved);
    }
    auto chart = StdDescs({});
    EXPECT_EQ(chart->ImportItems(File("MISSING.STD"), {}), -1);
    EXPECT_EQ(chart->ExchangeError, "File not found: " + File("MISSING.STD"));
    // Cancelled while reading: nothing applied.
    Write("exchange/GOOD.STD", good);
    Progress->CancelAtUpdate = 2;
    EXPECT_THROW(chart->ImportItems(File("GOOD.STD"), {}, Window.get()), EOperationCancelled);
    EXPECT_EQ(chart->Count(), 0);
}

// ---- Bank-reconciliation opening balances ---------------------------------------------------------

TEST_F(ChartExchangeTest, BankReconciliationExportsTheGoldenRecord) {
    auto chart = BankRec();
    ASSERT_EQ(Keys(*chart), "2000,2001");
    SetAmounts(*chart->GetDetail(0), EncodeDateNum(2005, 7, 1), 1600.0, -1234.56, 0.01);
    SetAmounts(*chart->GetDetail(1), EncodeDateNum(2006, 1, 15), 250.5, -75.25, 0.0);
    int leftOut = -1;
    ASSERT_EQ(chart->ExportItems(File("ABC123.BRO"), Window.get(), leftOut), 0);
    EXPECT_EQ(leftOut, 0);
    EXPECT_EQ(Read("exchange/ABC123.BRO").toHex(' '), ExchangeBlock("bankrec.hex", "export").toHex(' '));
    EXPECT_EQ(Progress->Positions, QList<double>{100.0});

    // An amount beyond the form: an error, and the file written before stays.
    chart->GetDetail(1)->Cashbook_Open_Bal = 2e38;
    EXPECT_EQ(chart->ExportItems(File("ABC123.BRO")), -1);
    EXPECT_TRUE(chart->ExchangeError.contains("too large for a 6-byte real"));
    EXPECT_EQ(Read("exchange/ABC123.BRO"), ExchangeBlock("bankrec.hex", "export"));

    // Ten details at most; a code longer than six characters does not fit the form.
    for (int number = 2002; number <= 2010; ++number)
        Accounts->AddAccount(Account(QStringLiteral("%1:BNK").arg(number)));
    Accounts->AddAccount(Account("01-2500:BNK"));
    chart = BankRec();
    ASSERT_EQ(chart->Count(), 12);
    ASSERT_EQ(chart->ExportItems(File("TEN.BRO"), nullptr, leftOut), 0);
    EXPECT_EQ(leftOut, 2);
    const QByteArray ten = Read("exchange/TEN.BRO");
    ASSERT_EQ(ten.size(), 362);
    EXPECT_EQ(ten.mid(2 + 11, 5), QByteArray("\x04"
                                             "2000"));
    EXPECT_EQ(ten.mid(2 + 9 * 36 + 11, 5), QByteArray("\x04"
                                                      "2009"));
}

TEST_F(ChartExchangeTest, BankReconciliationImportMakesBankAccountsAndSkipsWhatCannotBe) {
    auto chart = BankRec();
    SetAmounts(*chart->GetDetail(0), EncodeDateNum(2005, 7, 1), 7.0, 8.0, 9.0);
    SetAmounts(*chart->GetDetail(1), EncodeDateNum(2005, 7, 1), 5.0, 0.0, 0.0);
    const QString before2001 = Fields(*chart->GetDetail(1));
    Write("exchange/IMPORT.BRO", ExchangeBlock("bankrec.hex", "import"));
    ASSERT_EQ(chart->ImportItems(File("IMPORT.BRO"), {}, Window.get()), 0)
        << chart->ExchangeError.toStdString();
    EXPECT_EQ(Keys(*chart), "2000,2001,4500");
    // 31/06/05 reads as the last day of June; period 1 of the year ending June 2006 is July 2005.
    EXPECT_EQ(
        Fields(*chart->GetDetail(0)),
        QStringLiteral("%1 %2 0 0 0 0 AUD").arg(EncodeDateNum(2005, 6, 30)).arg(EncodeDateNum(2005, 7, 31)));
    EXPECT_EQ(Fields(*chart->GetDetail(1)), before2001); // periods 13 and 0, and the entry after the end
    // Period 7 is January 2006; the account becomes a bank account of the client's currency.
    EXPECT_EQ(Fields(*chart->GetDetail(2)), QStringLiteral("%1 %2 100 -1 1 2 AUD")
                                                .arg(EncodeDateNum(2006, 1, 15))
                                                .arg(EncodeDateNum(2006, 1, 31)));
    EXPECT_TRUE(chart->GetDetail(2)->UnmatchedFile.endsWith("\\BANK_REC\\ABC12306.RU2"));
    const TAccountDetail* made = Accounts->GetAccount(Accounts->IndexOfCodeText("4500"));
    EXPECT_EQ(made->AccountType + made->GetBankCurrency(), "BNKAUD");
    EXPECT_EQ(Accounts->GetAccount(0)->AccountType, "ACC"); // 1000 lies outside the balance sheet
    EXPECT_EQ(Progress->Positions, (QList<double>{10, 20, 30, 40, 50, 60, 70}));
    EXPECT_FALSE(chart->Saved);
    EXPECT_FALSE(Accounts->Saved);

    // A file whose entries all fail changes nothing and marks nothing.
    QByteArray skipped = ExchangeBlock("bankrec.hex", "import");
    skipped.replace(2, 2 * 36, skipped.mid(2 + 2 * 36, 2 * 36)); // entries 3 and 4 twice
    Write("exchange/SKIPPED.BRO", skipped);
    Accounts->Saved = true;
    chart = BankRec();
    const QString loaded = AllFields(*chart);
    ASSERT_EQ(chart->ImportItems(File("SKIPPED.BRO"), {}), 0);
    EXPECT_EQ(AllFields(*chart), loaded);
    EXPECT_TRUE(chart->Saved && Accounts->Saved);
}

TEST_F(ChartExchangeTest, BankReconciliationRoundTripInACalendarYear) {
    Entity.EndMonth = 12;
    auto chart = BankRec();
    SetAmounts(*chart->GetDetail(0), EncodeDateNum(2006, 1, 15), 1600.0, -1234.56, 0.01);
    SetAmounts(*chart->GetDetail(1), EncodeDateNum(2006, 11, 2), -1.0, 250.5, 1.0);
    ASSERT_EQ(chart->ExportItems(File("FIRST.BRO")), 0);
    const QByteArray first = Read("exchange/FIRST.BRO");
    EXPECT_EQ(first.mid(2, 11), QByteArray("\x08"
                                           "15/01/06\x01\x00",
                                           11));
    EXPECT_EQ(first.mid(2 + 36 + 9, 2), QByteArray("\x0b\x00", 2)); // November is period 11

    Accounts.reset();
    auto copy = BankRec();
    ASSERT_EQ(copy->ImportItems(File("FIRST.BRO"), {}), 0);
    EXPECT_EQ(copy->GetDetail(0)->PeriodEnd, EncodeDateNum(2006, 1, 31));
    EXPECT_EQ(copy->GetDetail(1)->PeriodEnd, EncodeDateNum(2006, 11, 30));
    EXPECT_NEAR(copy->GetDetail(0)->Cashbook_Open_Bal, -1234.56, 1e-9);
    ASSERT_EQ(copy->ExportItems(File("SECOND.BRO")), 0);
    EXPECT_EQ(Read("exchange/SECOND.BRO"), first);
}

TEST_F(ChartExchangeTest, DamagedBankReconciliationRecordsChangeNothing) {
    const QByteArray good = ExchangeBlock("bankrec.hex", "import");
    const auto with = [&](qsizetype offset, char byte) {
        QByteArray bytes = good;
        bytes[offset] = byte;
        return bytes;
    };
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"truncated", good.left(361),
         "DAMAGED.BRO holds 361 bytes, not the 362 of a bank reconciliation record"},
        {"empty", QByteArray(), "DAMAGED.BRO holds 0 bytes, not the 362 of a bank reconciliation record"},
        {"a byte more", good + '\0', "DAMAGED.BRO is too long for its form (363 bytes, at most 362)"},
        {"date of 9 after a good entry", with(2 + 36, '\x09'), "Entry 2 of DAMAGED.BRO is damaged"},
        {"code of 7", with(2 + 11, '\x07'), "Entry 1 of DAMAGED.BRO is damaged"},
    };
    for (const auto& [name, bytes, error] : cases) {
        SCOPED_TRACE(name);
        Write("exchange/DAMAGED.BRO", bytes);
        Accounts.reset();
        auto chart = BankRec();
        const QString loaded = AllFields(*chart);
        EXPECT_EQ(chart->ImportItems(File("DAMAGED.BRO"), {}), -1);
        EXPECT_EQ(chart->ExchangeError, error);
        EXPECT_EQ(AllFields(*chart), loaded);
        EXPECT_EQ(Descriptions(*Accounts), "1000=:ACC,2000=:BNK,2001=:BNK,4500=:ACC");
        EXPECT_TRUE(chart->Saved && Accounts->Saved);
    }
}

// ---- Chart of accounts: text --------------------------------------------------------------------

TEST_F(ChartExchangeTest, AccountsTextExportWritesEachCodeOnce) {
    auto descriptions = StdDescs({"GR=Groceries"});
    auto chart =
        AccountsOf({"1000:ACC:Sales, retail and wholesale trade", "01-2000-05:ACC:~GR", "9100:SUS:Suspense"},
                   descriptions.get());
    ASSERT_EQ(chart->ExportItems(File("ACCOUNTS.TXT"), Window.get()), 0);
    EXPECT_EQ(Read("exchange/ACCOUNTS.TXT"), TestData("exchange/accounts.txt"));
    EXPECT_EQ(Progress->Positions.last(), 100.0);
    // Codes of a client format with divisions written in the program's format, which has none:
    // the second code of account 2000 is the same text and is left out.
    auto divisions = MakeFormat("DD-AAAA");
    TAccountsChart byDivision(Entity, divisions.get(), TOptionSet{}, 2006);
    for (const auto& [division, text] : {std::pair{1, "First"}, {2, "Second"}}) {
        auto account = std::make_unique<TAccountDetail>(divisions.get());
        account->SetCode(MakeCode(-1, division, 2000, -1));
        account->Description = text;
        ASSERT_GE(byDivision.AddAccount(std::move(account)), 0);
    }
    ASSERT_EQ(byDivision.ExportItems(File("DIVISIONS.TXT")), 0);
    EXPECT_EQ(Read("exchange/DIVISIONS.TXT"), "2000,First\r\n");
    // A folder that cannot be made: an error, nothing written.
    Write("exchange/blocker", "x");
    EXPECT_EQ(chart->ExportItems(File("blocker/ACCOUNTS.TXT")), -1);
    EXPECT_FALSE(chart->ExchangeError.isEmpty());
}

TEST_F(ChartExchangeTest, AccountsTextImportAddsAndOnlyReplacesWhenAsked) {
    Write("exchange/IMPORT.TXT", TestData("exchange/import.txt"));
    auto chart = AccountsOf({"1000:ACC:Sales", "2000:BNK:Bank"});
    ASSERT_EQ(chart->ImportItems(File("MISSING.TXT"), {}), 0);
    EXPECT_TRUE(chart->Saved);
    ASSERT_EQ(chart->ImportItems(File("IMPORT.TXT"), {}, Window.get()), 0);
    EXPECT_EQ(Descriptions(*chart), "01-3000-02=Old separator:ACC,1000=Sales:ACC,2000=Bank:BNK,"
                                    "4000=Last line without an end:ACC,9500=Suspense two:SUS");
    EXPECT_EQ(chart->GetAccount(0)->DateAdded, 0.0);
    EXPECT_FALSE(chart->Saved);
    EXPECT_EQ(Progress->Positions.last(), 100.0);
    chart->Saved = true;
    ASSERT_EQ(chart->ImportItems(File("IMPORT.TXT"), {}), 0);
    EXPECT_TRUE(chart->Saved); // nothing new
    ASSERT_EQ(chart->ImportItems(File("IMPORT.TXT"), {Option::MergeReplace}), 0);
    EXPECT_EQ(chart->GetAccount(1)->Description, "New sales name"); // up to the next comma
    EXPECT_FALSE(chart->Saved);
    // Round trip: the export reads back into an empty chart as it was.
    ASSERT_EQ(chart->ExportItems(File("BACK.TXT")), 0);
    auto copy = AccountsOf({});
    ASSERT_EQ(copy->ImportItems(File("BACK.TXT"), {}), 0);
    EXPECT_EQ(Descriptions(*copy), Descriptions(*chart).replace(":BNK", ":ACC"));
}

} // namespace
