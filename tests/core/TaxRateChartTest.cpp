#include "core/charts/TaxRateChart.h"

#include "core/charts/AccountsChart.h"
#include "core/io/StreamError.h"
#include "tests/core/ChartTestSupport.h"

namespace {

const QString TxrFile = QStringLiteral("M_DETAIL/ABC12306.TXR");
// 1 July 2005 and 30 June 2006: the 2006 year of a June year end.
constexpr double July2005 = 732128.0;
constexpr double June2006 = 732492.0;

QByteArray Piece(const char* name) {
    return Stored("tax", name);
}
QByteArray Str(const QByteArray& text) {
    return QByteArray(1, '\x06') + char(text.size()) + text;
}
// A stored tax code from the hand-written pieces of tax.hex (account, rate and dates name
// blocks); no labels (nullptr) for the "V5.01" layout.
QByteArray TaxItem(const char* code, int type, const char* labels, const char* account = "3100",
                   const char* start = "1/7/2005", const char* end = "30/6/2006", const char* rate = "10") {
    return Str(code) + '\x02' + char(type) + Str("") + (labels ? Str(labels) : QByteArray()) +
           Piece(account) + Piece(rate) + Piece(start) + Piece(end);
}
QByteArray TaxFile(const char* version, const QList<QByteArray>& items) {
    return Piece(version) + '\x01' + items.join() + '\0';
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
        Accounts = AccountsOf({"3100"});
        Accounts->EnsureSuspenseAccount();
    }
    std::unique_ptr<TTaxRateChart> Chart(const TOptionSet& options = {}) {
        return std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Format(), options, 2006);
    }
    static int TypeOf(const TTaxRateChart& chart, const char* code) {
        return chart.GetTaxRate(chart.IndexOf(code))->TaxType;
    }
    QString Suspense() const { return Accounts->GetCode(Accounts->DefaultSuspenseAccount()); }
    std::unique_ptr<TAccountsChart> Accounts;
};

} // namespace

TEST_F(TaxRateChartTest, TypesAreTheLowestFreeAndAtMost32CodesFit) {
    auto chart = Chart();
    for (const char* code : {"GST", "FRE", "INP"})
        ASSERT_GE(chart->AddItem(Rate(code)), 0);
    chart->DeleteItem(chart->IndexOf("FRE"));
    EXPECT_EQ(chart->TypeMask, 0b101u);
    ASSERT_GE(chart->AddItem(Rate("EXP")), 0);
    EXPECT_EQ(TypeOf(*chart, "EXP"), 1);
    chart->DeleteItem(chart->IndexOf("GST"));
    // A code arriving with a bit another code owns, or with none, takes the lowest free one.
    const std::tuple<const char*, int, int> arrivals[] = {{"CAP", 2, 0},    {"OLD", 40, 3},  {"NEG", -1, 4},
                                                          {"HIGH", 31, 31}, {"MID", 30, 30}, {"LOW", 5, 5}};
    for (const auto& [code, type, given] : arrivals) {
        ASSERT_GE(chart->AddItem(Rate(code, type)), 0);
        EXPECT_EQ(TypeOf(*chart, code), given) << code;
    }
    EXPECT_EQ(chart->AddItem(Rate("exp")), -1); // the same code
    EXPECT_EQ(chart->TypeMask, 0xC000003Fu);
    for (int i = 0; chart->Count() < TTaxRateChart::MaxTaxCodes; ++i)
        ASSERT_GE(chart->AddItem(Rate(QStringLiteral("T%1").arg(i))), 0);
    EXPECT_EQ(chart->TypeMask, 0xFFFFFFFFu);
    EXPECT_EQ(chart->AddItem(Rate("ONEMORE")) + chart->Count(), 31);
    chart->Clear();
    EXPECT_EQ(chart->TypeMask, 0u);
}

TEST_F(TaxRateChartTest, CodesTypeSetsAndTheGSTDivisor) {
    auto chart = Chart();
    for (const char* code : {"GST10", "GST2", "FRE"}) // types 0, 1, 2
        chart->AddItem(Rate(code));
    EXPECT_EQ(chart->GetGSTDivisor(), 1.0); // no code reports under G17
    EXPECT_EQ(chart->GetCodesOfTypes(0b111u), "FRE,GST2,GST10");
    EXPECT_EQ(chart->GetCodesOfTypes(0b101u | 0x100u), "FRE,GST10");
    EXPECT_EQ(chart->GetTypesOfCodes("gst2, FRE,NOPE,"), 0b110u);
    quint32 types = 0xF0F3u;
    chart->MaskTaxTypes(types);
    EXPECT_EQ(types, 0b011u);
    TTaxRate* gst = chart->GetTaxRate(chart->IndexOf("GST2"));
    gst->SetBASSections("G1,G17");
    const double divisors[][2] = {{10.0, 11.0}, {12.5, 9.0}, {0.0, 1.0}};
    for (const auto& [rate, divisor] : divisors) {
        gst->Tax_Rate = rate; // 112.50 / 9 = 12.50 of tax
        EXPECT_DOUBLE_EQ(chart->GetGSTDivisor(), divisor);
    }
}

TEST_F(TaxRateChartTest, CurrentFileReadsAndWritesBackByteForByte) {
    Write(TxrFile, TaxFile("header-5.3", {TaxItem("FRE", 1, "G3"), TaxItem("GST", 0, "G1,G17")}));
    auto chart = Chart({Option::Load});
    EXPECT_EQ(Keys(*chart), "FRE,GST");
    EXPECT_TRUE(chart->Saved);
    const TTaxRate* gst = chart->GetTaxRate(1);
    EXPECT_EQ(gst->GetTaxAccountText() + gst->GetTaxRateText(), "310010.00");
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    // The labels are normalised on reading: "G1" is no tax code label.
    EXPECT_EQ(Read(TxrFile).toHex(),
              TaxFile("header-5.3", {TaxItem("FRE", 1, "G3"), TaxItem("GST", 0, "G17")}).toHex());
}

TEST_F(TaxRateChartTest, DatesAreFittedToTheFinancialYear) {
    // Stored start and end, fitted start and end, whether the chart stays saved.
    const std::tuple<const char*, const char*, double, double, bool> cases[] = {
        {"1/1/2000", "1/1/2007", July2005, June2006, false},
        {"30/6/2005", "1/1/2000", July2005, June2006, false},
        {"1/10/2005", "31/7/2005", 732219.0, 732219.0, false}, // an end before the start
        {"1/10/2005", "30/9/2005", 732219.0, 732219.0, false},
        {"1/7/2005", "30/6/2006", July2005, June2006, true}};
    for (const auto& [start, end, fittedStart, fittedEnd, saved] : cases) {
        Write(TxrFile, TaxFile("header-5.3", {TaxItem("A", 0, "", "3100", start, end)}));
        auto chart = Chart({Option::Load});
        EXPECT_EQ(chart->GetTaxRate(0)->StartDate, fittedStart) << start;
        EXPECT_EQ(chart->GetTaxRate(0)->EndDate, fittedEnd) << end;
        EXPECT_EQ(chart->Saved, saved) << start;
    }
}

TEST_F(TaxRateChartTest, TaxAccountsNotInTheChartAreRepaired) {
    const QString suspense = Suspense();
    Write(TxrFile, TaxFile("header-5.3", {TaxItem("GST", 0, "G17", "5555"), TaxItem("NIL", 1, "", "none")}));
    // Old code to new in the translation list, and the account GST then has.
    const std::tuple<QString, QString, QString> cases[] = {
        {{}, {}, suspense}, {"5555", "3100", "3100"}, {"5555", "4444", suspense}};
    for (const auto& [from, to, expected] : cases) {
        auto chart = Chart();
        if (!from.isEmpty())
            chart->AccountTranslation.insert(from, to);
        ASSERT_EQ(chart->LoadFromFile({}), 0);
        EXPECT_EQ(chart->GetTaxRate(0)->GetTaxAccountText(), expected) << to.toStdString();
        EXPECT_EQ(chart->GetTaxRate(1)->GetTaxAccountText(), suspense);
        EXPECT_FALSE(chart->Saved);
    }
}

TEST_F(TaxRateChartTest, OlderEmptyOrMissingFilesStartFromTheFormatsDefaultCodes) {
    // Without defaults an older file keeps its codes, written in the current layout.
    Write(TxrFile, TaxFile("header-5.01", {TaxItem("OLD", 3, nullptr)}));
    auto older = Chart({Option::Load});
    EXPECT_EQ(TypeOf(*older, "OLD"), 3);
    TOptionSet options;
    ASSERT_EQ(older->SaveIfModified(options), 0);
    EXPECT_EQ(Read(TxrFile).toHex(), TaxFile("header-5.3", {TaxItem("OLD", 3, "")}).toHex());
    Write("M_DETAIL/QUILVANE.TXR",
          TaxFile("header-5.3",
                  {TaxItem("GST", 0, "G17", "5555", "1/1/2000", "1/1/2007"), TaxItem("FRE", 1, "G3")}));
    EXPECT_EQ(Chart()->TemplateFileName(), Temp.path() + "\\M_DETAIL\\QUILVANE.TXR");
    const QByteArray files[] = {TaxFile("header-5.01", {TaxItem("OLD", 0, nullptr)}),
                                TaxFile("header-5.3", {}), "", QByteArray()};
    for (const QByteArray& file : files) {
        SCOPED_TRACE(file.size());
        QFile::remove(TempPath(TxrFile));
        if (!file.isNull())
            Write(TxrFile, file);
        auto chart = Chart({Option::Load});
        EXPECT_EQ(Keys(*chart) + chart->Version, "FRE,GSTV5.3");
        EXPECT_FALSE(chart->Saved);
        // The defaults are repaired and fitted like any file.
        EXPECT_EQ(chart->GetTaxRate(1)->GetTaxAccountText(), Suspense());
        EXPECT_EQ(chart->GetTaxRate(1)->StartDate, July2005);
    }
    // Options 9 and 13 keep the constructor from loading.
    EXPECT_EQ(Chart({Option::Load, Option::DosVersion})->Count() +
                  Chart({Option::Load, Option::TransferDrive})->Count(),
              0);
}

TEST_F(TaxRateChartTest, UnknownVersionFailsAndIsNeverOverwritten) {
    Write("M_DETAIL/QUILVANE.TXR", TaxFile("header-5.3", {TaxItem("GST", 0, "G17")}));
    const QByteArray newer = TaxFile("header-5.4", {TaxItem("NEW", 0, "")});
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

TEST_F(TaxRateChartTest, FileReadingKeepsTheFirst32CodesAndMergingKeepsTheHeldBits) {
    QList<QByteArray> items;
    for (int i = 0; i < 34; ++i)
        items.append(TaxItem(QByteArray("T" + QByteArray::number(i)).constData(), i % 31, ""));
    Write(TxrFile, TaxFile("header-5.3", items));
    auto chart = Chart({Option::Load});
    EXPECT_EQ(chart->Count(), 32);
    EXPECT_EQ(chart->TypeMask, 0xFFFFFFFFu);
    EXPECT_EQ(TypeOf(*chart, "T31"), 31); // T31 came with T0's bit and took the one left
    EXPECT_EQ(TypeOf(*chart, "T0"), 0);
    Write(TxrFile, TaxFile("header-5.3", {TaxItem("GST", 5, "G7", "3100", "1/7/2005", "30/6/2006", "12.5"),
                                          TaxItem("NEW", 0, "")}));
    chart = Chart();
    chart->AddItem(Rate("gst"));       // type 0
    chart->AddItem(Rate("FRE", 0, 0)); // type 1
    ASSERT_EQ(chart->LoadFromFile({Option::MergeReplace}), 0);
    EXPECT_EQ(Keys(*chart), "FRE,gst,NEW");
    const TTaxRate* gst = chart->GetTaxRate(1);
    EXPECT_EQ(gst->TaxType, 0);
    EXPECT_EQ(gst->Tax_Rate, 12.5);
    EXPECT_EQ(gst->BAS, "G7");
    EXPECT_EQ(TypeOf(*chart, "NEW"), 2);
    EXPECT_FALSE(chart->Saved);
}

// Both layouts are read and written whole by the chart's file tests.
TEST_F(TaxRateChartTest, AStoredCodeWithARateThatIsNoNumberOrCutShortIsRefused) {
    TTaxRate rate;
    EXPECT_THROW(ReadItem(rate, Piece("GST-5.3").replace(Piece("10"), Piece("NaN")), true), EStreamError);
    EXPECT_THROW(ReadItem(rate, Piece("GST-5.3").left(50), true), EStreamError);
}

TEST_F(TaxRateChartTest, BASLabelsKeepOnlyTaxCodeLabelsInOrder) {
    const std::pair<const char*, const char*> cases[] = {{"g7, G1,G2 ,X", "G2,G7"},
                                                         {"G18,G2,G18,g17", "G2,G17,G18,G18"},
                                                         {"G21,G02,G,G5,,G-2,G0,G20", ""},
                                                         {"G3,G4,G6,G13,G14,G15", "G3,G4,G6,G13,G14,G15"}};
    for (const auto& [text, bas] : cases) {
        TTaxRate rate;
        rate.SetBASSections(text);
        EXPECT_EQ(rate.BAS, bas) << text;
        EXPECT_EQ(rate.HasBASLabel(17), QString(bas).contains("G17")) << text;
    }
}

TEST_F(TaxRateChartTest, IncludedTaxWithinTheDatesRoundsHalvesToEven) {
    TTaxRate rate;
    rate.StartDate = July2005;
    rate.EndDate = June2006;
    // Rate, date, amount, tax.
    const std::tuple<double, double, double, double> cases[] = {
        {10, July2005, 110.0, 10.0},    {10, June2006, 110.0, 10.0}, {10, June2006 + 1, 110.0, 0.0},
        {10, July2005 - 1, 110.0, 0.0}, {10, July2005, -55.0, -5.0}, {10, July2005, 100.0, 9.09},
        {100, July2005, 0.05, 0.02},    {100, July2005, 0.15, 0.08}, {100, July2005, 0.25, 0.12},
        {100, July2005, -0.15, -0.08},  {-100, July2005, 10.0, 0.0}};
    for (const auto& [percent, date, amount, tax] : cases) {
        rate.Tax_Rate = percent;
        EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(date, amount), tax) << percent << " " << amount;
    }
}
