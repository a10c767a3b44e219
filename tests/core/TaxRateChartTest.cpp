#include "core/charts/TaxRateChart.h"

#include "core/charts/AccountsChart.h"
#include "core/files/Paths.h"
#include "core/io/StreamError.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/ChartTestSupport.h"

namespace {

const QString TxrFile = QStringLiteral("M_DETAIL/ABC12306.TXR");
const QString DefaultsFile = QStringLiteral("M_DETAIL/QUILVANE.TXR");

// 1 July 2005 and 30 June 2006, the 2006 year of a June year end.
constexpr double July2005 = 732128.0;
constexpr double June2006 = 732492.0;

QByteArray Piece(const char* name) {
    return Stored(QStringLiteral("tax"), QString::fromLatin1(name));
}
QByteArray Str(const QByteArray& text) {
    return QByteArray(1, '\x06') + char(text.size()) + text;
}

// A stored tax code from the hand-written pieces of tax.hex: the rate, account and dates name
// blocks; labels null for the "V5.01" layout.
QByteArray TaxItem(const char* code, int type, const char* labels, const char* account, const char* rate,
                   const char* start, const char* end) {
    QByteArray bytes = Str(code) + '\x02' + char(type) + Str("");
    if (labels)
        bytes += Str(labels);
    return bytes + Piece(account) + Piece(rate) + Piece(start) + Piece(end);
}
QByteArray TaxFile(const char* version, const QList<QByteArray>& items) {
    return Piece(version) + '\x01' + items.join() + '\0';
}
QByteArray InYear(const char* code, int type, const char* labels = "", const char* account = "3100") {
    return TaxItem(code, type, labels, account, "10", "1/7/2005", "30/6/2006");
}

std::unique_ptr<TTaxRate> Rate(const QString& code, int type = 0, double rate = 10.0) {
    auto item = std::make_unique<TTaxRate>();
    item->Tax_Code = code;
    item->TaxType = type;
    item->Tax_Rate = rate;
    return item;
}

class TaxRateChartTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Accounts = std::make_unique<TAccountsChart>(Entity, Format(), TOptionSet{}, 2006);
        auto account = std::make_unique<TAccountDetail>(Format());
        account->SetCode(Code(QStringLiteral("3100")));
        Accounts->AddAccount(std::move(account));
        Accounts->EnsureSuspenseAccount();
    }

    std::unique_ptr<TTaxRateChart> Chart(const TOptionSet& options = {}) {
        return std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Format(), options, 2006);
    }
    int TypeOf(const TTaxRateChart& chart, const char* code) const {
        return chart.GetTaxRate(chart.IndexOf(code))->TaxType;
    }

    std::unique_ptr<TAccountsChart> Accounts;
};

} // namespace

TEST_F(TaxRateChartTest, TypesAreTheLowestFreeAndAtMost32CodesFit) {
    auto chart = Chart();
    for (const char* code : {"GST", "FRE", "INP"})
        ASSERT_GE(chart->AddItem(Rate(code)), 0);
    EXPECT_EQ(TypeOf(*chart, "INP"), 2);
    EXPECT_EQ(chart->TypeMask, 0b111u);
    chart->DeleteItem(chart->IndexOf("FRE"));
    EXPECT_EQ(chart->TypeMask, 0b101u);
    ASSERT_GE(chart->AddItem(Rate("EXP")), 0);
    EXPECT_EQ(TypeOf(*chart, "EXP"), 1);

    // A code arriving with a bit another code owns, or with none, takes a free one.
    const struct {
        const char* Code;
        int Type;
        int Given;
    } arrivals[] = {{"CAP", 2, 3}, {"OLD", 40, 4}, {"NEG", -1, 5}, {"HIGH", 31, 31}, {"MID", 30, 30}};
    for (const auto& a : arrivals) {
        ASSERT_GE(chart->AddItem(Rate(a.Code, a.Type)), 0);
        EXPECT_EQ(TypeOf(*chart, a.Code), a.Given) << a.Code;
    }
    EXPECT_EQ(chart->AddItem(Rate("gst")), -1); // the same code
    EXPECT_EQ(chart->TypeMask, 0xC000003Fu);

    for (int i = 0; chart->Count() < TTaxRateChart::MaxTaxCodes; ++i)
        ASSERT_GE(chart->AddItem(Rate(QStringLiteral("T%1").arg(i))), 0);
    EXPECT_EQ(chart->TypeMask, 0xFFFFFFFFu);
    EXPECT_EQ(chart->AddItem(Rate("ONEMORE")), -1);
    EXPECT_EQ(chart->Count(), 32);
    chart->Clear();
    EXPECT_EQ(chart->TypeMask, 0u);
}

TEST_F(TaxRateChartTest, CodesTypeSetsAndTheGSTDivisor) {
    auto chart = Chart();
    EXPECT_EQ(chart->GetGSTDivisor(), 1.0);
    chart->AddItem(Rate("GST10", 0, 50.0)); // no G17
    chart->AddItem(Rate("GST2"));
    chart->AddItem(Rate("FRE"));
    EXPECT_EQ(chart->GetGSTDivisor(), 1.0);
    // GST10 0, GST2 1, FRE 2; numeric order puts GST2 before GST10.
    EXPECT_EQ(chart->GetCodesOfTypes(0b111u), QStringLiteral("FRE,GST2,GST10"));
    EXPECT_EQ(chart->GetCodesOfTypes(0b101u | 0x100u), QStringLiteral("FRE,GST10"));
    EXPECT_EQ(chart->GetTypesOfCodes(QStringLiteral("gst2, FRE,NOPE,")), 0b110u);
    quint32 types = 0xF0F3u;
    chart->MaskTaxTypes(types);
    EXPECT_EQ(types, 0b011u);

    TTaxRate* gst = chart->GetTaxRate(chart->IndexOf("GST2"));
    gst->SetBASSections(QStringLiteral("G1,G17"));
    EXPECT_DOUBLE_EQ(chart->GetGSTDivisor(), 11.0);
    gst->Tax_Rate = 12.5;
    EXPECT_DOUBLE_EQ(chart->GetGSTDivisor(), 9.0); // 112.50 / 9 = 12.50 of tax
    gst->Tax_Rate = 0.0;
    EXPECT_EQ(chart->GetGSTDivisor(), 1.0);
}

TEST_F(TaxRateChartTest, CurrentFileReadsAndWritesBackByteForByte) {
    Write(TxrFile, TaxFile("header-5.3", {InYear("FRE", 1, "G3"), InYear("GST", 0, "G1,G17")}));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_TRUE(chart->Saved);
    const TTaxRate* gst = chart->GetTaxRate(chart->IndexOf("GST"));
    EXPECT_EQ(gst->GetTaxAccountText(), QStringLiteral("3100"));
    EXPECT_EQ(gst->Tax_Rate, 10.0);
    EXPECT_EQ(gst->StartDate, July2005);
    EXPECT_EQ(gst->EndDate, June2006);
    EXPECT_EQ(chart->TypeMask, 0b11u);
    EXPECT_TRUE(Prompt->Shown.isEmpty());

    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    // The labels are normalised on reading: "G1" is no tax code label.
    EXPECT_EQ(Read(TxrFile).toHex(),
              TaxFile("header-5.3", {InYear("FRE", 1, "G3"), InYear("GST", 0, "G17")}).toHex());
}

TEST_F(TaxRateChartTest, DatesAreFittedToTheFinancialYear) {
    const struct {
        const char* Start;
        const char* End;
        double FittedStart;
        double FittedEnd;
        bool Saved;
    } cases[] = {{"1/1/2000", "1/1/2007", July2005, June2006, false},
                 {"1/1/2007", "1/1/2000", July2005, June2006, false},
                 {"1/10/2005", "31/7/2005", 732219.0, 732219.0, false}, // an end before the start
                 {"1/7/2005", "30/6/2006", July2005, June2006, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Start);
        Write(TxrFile, TaxFile("header-5.3", {TaxItem("A", 0, "", "3100", "10", c.Start, c.End)}));
        auto chart = Chart({Option::Load});
        EXPECT_EQ(chart->GetTaxRate(0)->StartDate, c.FittedStart);
        EXPECT_EQ(chart->GetTaxRate(0)->EndDate, c.FittedEnd);
        EXPECT_EQ(chart->Saved, c.Saved);
    }
}

TEST_F(TaxRateChartTest, TaxAccountsNotInTheChartAreRepaired) {
    const QString suspense = Accounts->GetCode(Accounts->DefaultSuspenseAccount());
    Write(TxrFile, TaxFile("header-5.3", {InYear("GST", 0, "G17", "5555"), InYear("NIL", 1, "", "none")}));
    const struct {
        QString From;
        QString To;
        QString Expected;
    } cases[] = {{{}, {}, suspense}, {"5555", "3100", "3100"}, {"5555", "4444", suspense}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.To.toStdString());
        auto chart = Chart();
        if (!c.From.isEmpty())
            chart->AccountTranslation.insert(c.From, c.To);
        ASSERT_EQ(chart->LoadFromFile({}), 0);
        EXPECT_EQ(chart->GetTaxRate(chart->IndexOf("GST"))->GetTaxAccountText(), c.Expected);
        EXPECT_EQ(chart->GetTaxRate(chart->IndexOf("NIL"))->GetTaxAccountText(), suspense);
        EXPECT_FALSE(chart->Saved);
    }
}

TEST_F(TaxRateChartTest, OlderEmptyOrMissingFilesStartFromTheFormatsDefaultCodes) {
    const QByteArray defaults =
        TaxFile("header-5.3",
                {TaxItem("GST", 0, "G17", "5555", "10", "1/1/2000", "1/1/2007"), InYear("FRE", 1, "G3")});
    const struct {
        const char* Name;
        QByteArray Year;
    } cases[] = {{"older", TaxFile("header-5.01",
                                   {TaxItem("OLD", 0, nullptr, "3100", "10", "1/7/2005", "30/6/2006")})},
                 {"empty list", TaxFile("header-5.3", {})},
                 {"empty file", QByteArray("")},
                 {"missing", QByteArray()}};
    Write(DefaultsFile, defaults);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QFile::remove(TempPath(TxrFile));
        if (!c.Year.isNull())
            Write(TxrFile, c.Year);
        auto chart = Chart({Option::Load});
        ASSERT_EQ(chart->Count(), 2);
        EXPECT_EQ(chart->IndexOf("OLD"), -1);
        EXPECT_EQ(chart->Version, QStringLiteral("V5.3"));
        EXPECT_FALSE(chart->Saved);
        // The defaults are repaired and fitted like any file.
        const TTaxRate* gst = chart->GetTaxRate(chart->IndexOf("GST"));
        EXPECT_EQ(gst->GetTaxAccountText(), Accounts->GetCode(Accounts->DefaultSuspenseAccount()));
        EXPECT_EQ(gst->StartDate, July2005);
    }
    EXPECT_EQ(Chart()->TemplateFileName(), BuildPath({Temp.path(), "M_DETAIL", "QUILVANE.TXR"}));
    // Options 9 and 13 keep the constructor from loading.
    EXPECT_EQ(Chart({Option::Load, Option::DosVersion})->Count(), 0);
    EXPECT_EQ(Chart({Option::Load, Option::TransferDrive})->Count(), 0);
}

TEST_F(TaxRateChartTest, OlderFileWithoutDefaultsKeepsItsCodesInTheCurrentLayout) {
    Write(TxrFile,
          TaxFile("header-5.01", {TaxItem("OLD", 3, nullptr, "3100", "10", "1/7/2005", "30/6/2006")}));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 1);
    EXPECT_EQ(chart->GetTaxRate(0)->TaxType, 3);
    EXPECT_EQ(chart->Version, QStringLiteral("V5.3"));
    EXPECT_FALSE(chart->Saved);
    TOptionSet options;
    ASSERT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_EQ(Read(TxrFile).toHex(), TaxFile("header-5.3", {InYear("OLD", 3)}).toHex());
}

TEST_F(TaxRateChartTest, UnknownVersionFailsAndIsNeverOverwritten) {
    Write(DefaultsFile, TaxFile("header-5.3", {InYear("GST", 0, "G17")}));
    const QByteArray newer = TaxFile("header-5.4", {InYear("NEW", 0)});
    Write(TxrFile, newer);
    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), -1);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unable to load 2006 Taxes file for ABC123. \r"
                                           "(Unknown tax rates version \"V5.4\")"});
    EXPECT_EQ(chart->Count(), 0); // not the defaults
    chart->AddItem(Rate("TYPED"));
    chart->Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(Read(TxrFile), newer);
}

TEST_F(TaxRateChartTest, FileReadingKeepsTheFirst32CodesAndGivesSharedBitsFreeOnes) {
    QList<QByteArray> items;
    for (int i = 0; i < 34; ++i)
        items.append(InYear(QByteArray("T" + QByteArray::number(i)).constData(), i % 31));
    Write(TxrFile, TaxFile("header-5.3", items));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 32);
    EXPECT_EQ(chart->IndexOf("T32"), -1);
    EXPECT_EQ(chart->TypeMask, 0xFFFFFFFFu);
    // T31 came with T0's bit (31 % 31 = 0) and took the one bit left.
    EXPECT_EQ(TypeOf(*chart, "T31"), 31);
    EXPECT_EQ(TypeOf(*chart, "T0"), 0);
}

TEST_F(TaxRateChartTest, MergingKeepsTheHeldCodesBits) {
    Write(TxrFile, TaxFile("header-5.3", {TaxItem("GST", 5, "G7", "3100", "12.5", "1/7/2005", "30/6/2006"),
                                          InYear("NEW", 0)}));
    auto chart = Chart();
    chart->AddItem(Rate("gst"));       // type 0
    chart->AddItem(Rate("FRE", 0, 0)); // type 1
    ASSERT_EQ(chart->LoadFromFile({Option::MergeReplace}), 0);
    ASSERT_EQ(chart->Count(), 3);
    const TTaxRate* gst = chart->GetTaxRate(chart->IndexOf("GST"));
    EXPECT_EQ(gst->TaxType, 0);
    EXPECT_EQ(gst->Tax_Code, QStringLiteral("gst"));
    EXPECT_EQ(gst->Tax_Rate, 12.5);
    EXPECT_EQ(gst->BAS, QStringLiteral("G7"));
    EXPECT_EQ(TypeOf(*chart, "NEW"), 2);
    EXPECT_EQ(chart->TypeMask, 0b111u);
    EXPECT_FALSE(chart->Saved);
}

// ---- One tax code ---------------------------------------------------------------------------

TEST_F(TaxRateChartTest, StoredCodeInBothLayouts) {
    TTaxRate rate;
    ReadItem(rate, Piece("GST-5.3"), true);
    EXPECT_EQ(rate.Tax_Code, QStringLiteral("GST"));
    EXPECT_EQ(rate.TaxType, 1);
    EXPECT_EQ(rate.Tax_Description, QStringLiteral("Sales"));
    EXPECT_EQ(rate.BASLabels, (QList<int>{2, 7}));
    EXPECT_EQ(rate.TaxAccount, MakeCode(-1, -1, 2100, 0));
    EXPECT_EQ(rate.EndDate, June2006);
    EXPECT_EQ(WrittenItem(rate), Piece("GST-5.3"));

    TTaxRate older;
    ReadItem(older, Piece("GST-5.01"), false);
    EXPECT_TRUE(older.BAS.isEmpty());
    EXPECT_EQ(older.EndDate, June2006);
    older.SetBASSections(QStringLiteral("G2,G7"));
    EXPECT_EQ(WrittenItem(older), Piece("GST-5.3"));

    const struct {
        const char* Name;
        QByteArray From;
        QByteArray To;
    } damaged[] = {
        {"account part beyond 16 bits", QByteArray::fromHex("03 34 08"),
         QByteArray::fromHex("04 40 9c 00 00")},
        {"rate not a number", Piece("10"), QByteArray::fromHex("05 00 00 00 00 00 00 00 c0 ff 7f")},
        {"cut short", Piece("GST-5.3"), Piece("GST-5.3").left(50)}};
    for (const auto& d : damaged) {
        QByteArray bytes = Piece("GST-5.3");
        bytes.replace(d.From, d.To);
        TTaxRate bad;
        EXPECT_THROW(ReadItem(bad, bytes, true), EStreamError) << d.Name;
    }
}

TEST_F(TaxRateChartTest, BASLabelsKeepOnlyTaxCodeLabelsInOrder) {
    const struct {
        const char* Text;
        const char* BAS;
    } cases[] = {{"g7, G1,G2 ,X", "G2,G7"},
                 {"G18,G2,G18,g17", "G2,G17,G18,G18"},
                 {"G21,G02,G,G5,,G-2,G0,G20", ""},
                 {"G3,G4,G6,G13,G14,G15", "G3,G4,G6,G13,G14,G15"}};
    for (const auto& c : cases) {
        TTaxRate rate;
        rate.SetBASSections(c.Text);
        EXPECT_EQ(rate.BAS, c.BAS) << c.Text;
        EXPECT_EQ(rate.BASLabels.size(), QString(c.BAS).isEmpty() ? 0 : QString(c.BAS).count(',') + 1);
    }
}

TEST_F(TaxRateChartTest, IncludedTaxWithinTheDatesRoundsHalvesToEven) {
    TTaxRate rate;
    rate.Tax_Rate = 10.0;
    rate.StartDate = July2005;
    rate.EndDate = June2006;
    const struct {
        double Rate;
        double Date;
        double Amount;
        double Tax;
    } cases[] = {{10, July2005, 110.0, 10.0},    {10, June2006, 110.0, 10.0}, {10, June2006 + 1, 110.0, 0.0},
                 {10, July2005 - 1, 110.0, 0.0}, {10, July2005, -55.0, -5.0}, {10, July2005, 100.0, 9.09},
                 {100, July2005, 0.05, 0.02},    {100, July2005, 0.15, 0.08}, {100, July2005, 0.25, 0.12},
                 {100, July2005, -0.15, -0.08},  {-100, July2005, 10.0, 0.0}};
    for (const auto& c : cases) {
        rate.Tax_Rate = c.Rate;
        EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(c.Date, c.Amount), c.Tax) << c.Rate << " " << c.Amount;
    }
    const auto format = AccountOnlyFormat();
    TTaxRate texts(format.get());
    texts.SetTaxAccountText(QStringLiteral("0420"));
    texts.SetTaxAccountText(QStringLiteral("not a code"));
    EXPECT_EQ(texts.GetTaxAccountText(), QStringLiteral("0420"));
    texts.Tax_Rate = 12.5;
    EXPECT_EQ(texts.GetTaxRateText(), QStringLiteral("12.50"));
}
