#include "core/charts/StandardChart.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/core/ShippedDataFixture.h"

#include <QDir>
#include <QFileInfo>
#include <iterator>

// The default tax codes shipped in share/QUILVANE.TXR are made from the table below by the
// program's own tax chart writer. To change them, edit the table and run this test binary once
// with QUILVANE_WRITE_STANDARD_CHART=1: the first test then writes the file into the source
// tree's share/ folder instead of failing whenever the shipped file and the table differ.

namespace {

struct TStandardTaxCode {
    const char* Code;
    const char* Description;
    const char* Account; // the standard chart's GST Collected or GST Paid account
    double Rate;
    const char* BAS;
};

const char* const GstCollected = "00-3100-00";
const char* const GstPaid = "00-3110-00";

// A goods-and-services tax of 10 %: sales post their tax to GST Collected, purchases to GST Paid.
// Each code's bit is its place in the table (the codes are added in this order).
const TStandardTaxCode StandardTaxCodes[] = {
    {"GST", "Taxable sales", GstCollected, 10.0, "G6"},
    {"NCG", "Taxable purchases", GstPaid, 10.0, "G17"},
    {"CAG", "Capital purchases", GstPaid, 10.0, "G17"},
    {"FRE", "GST-free sales", GstCollected, 0.0, "G3"},
    {"NCF", "GST-free purchases", GstPaid, 0.0, "G14"},
    {"EXP", "Export sales", GstCollected, 0.0, "G2"},
    {"INP", "Input-taxed sales", GstCollected, 0.0, "G4"},
    {"ITP", "Purchases for input-taxed sales", GstPaid, 0.0, "G13"},
    {"N-T", "Not reportable", GstPaid, 0.0, ""},
};
constexpr int StandardTaxCount = static_cast<int>(std::size(StandardTaxCodes));

// From the start of the tax on; a file's year narrows the dates to itself when it loads them.
const double TaxStart = EncodeDateNum(2000, 7, 1);
const double TaxEnd = EncodeDateNum(2099, 12, 31);

// The shipped codes in the source tree, which the first test compares or writes.
const QString ShippedInSource = QStringLiteral(QUILVANE_SHARE_DIR "/QUILVANE.TXR");

class StandardTaxCodesTest : public TShippedDataFixture {
protected:
    void SetUp() override {
        TShippedDataFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    }

    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(Format()->TextToCode(text, code, false, false)) << text.toStdString();
        return code;
    }

    // The table as a tax chart that saves to fileName.
    std::unique_ptr<TTaxRateChart> BuildTaxCodes(const QString& fileName) const {
        const TChartEntity entity{QString(), QString(), DataDir, {}, {}, TStandardChart::FormatID, {}, {}};
        auto chart = std::make_unique<TTaxRateChart>(entity, nullptr, Format(), TOptionSet{}, -1);
        chart->SetFileName(fileName);
        for (const TStandardTaxCode& row : StandardTaxCodes) {
            SCOPED_TRACE(row.Code);
            auto rate = std::make_unique<TTaxRate>(Format());
            EXPECT_TRUE(rate->SetKey(row.Code));
            rate->Tax_Description = row.Description;
            rate->TaxAccount = Code(row.Account);
            rate->Tax_Rate = row.Rate;
            rate->SetBASSections(row.BAS);
            EXPECT_EQ(rate->BAS, row.BAS); // a label a tax code can report under
            rate->StartDate = TaxStart;
            rate->EndDate = TaxEnd;
            EXPECT_GE(chart->AddItem(std::move(rate)), 0);
        }
        return chart;
    }

    // The client ABC123 of the standard format, a company.
    TChartEntity Client() const {
        return {"ABC123", "COY", DataDir, {}, {}, TStandardChart::FormatID, "QUILVANE.COY", "AUD"};
    }
};

} // namespace

TEST_F(StandardTaxCodesTest, TheShippedCodesAreTheTableAsTheTaxChartWriterWritesThem) {
    ExpectTheShippedFileIsTheTable(ShippedInSource, [&](const QString& path) {
        TOptionSet options;
        ASSERT_EQ(BuildTaxCodes(path)->SaveToFile(options), 0);
    });
    EXPECT_TRUE(ReadFileBytes(ShippedInSource).startsWith("\x07\x0eTax Rates,V5.3"));
}

// The name the tax chart looks for its format's default codes under is the name they are
// installed under and the name they are shipped under.
TEST_F(StandardTaxCodesTest, TheCodesAreInstalledUnderTheNameTheTaxChartLooksFor) {
    const TTaxRateChart chart(Client(), nullptr, Format(), TOptionSet{}, 2024);
    EXPECT_EQ(NativePath(chart.TemplateFileName()), DataDir + "/M_DETAIL/QUILVANE.TXR");
    EXPECT_EQ(TStandardChart::DefaultTaxCodesName(Format()->BaseName), "QUILVANE.TXR");
    EXPECT_EQ(TStandardChart::ShippedTaxCodesFileName, "QUILVANE.TXR");
    EXPECT_EQ(QFileInfo(TProgramParams::ShippedTaxCodesPath()).fileName(), "QUILVANE.TXR");
}

// A year of a new file with the standard chart and no tax file of its own starts with every
// shipped code: its rate and labels, its tax account found in the standard chart (none taken
// over by the suspense account), its dates narrowed to the year; and a divisor of 11.
TEST_F(StandardTaxCodesTest, AYearWithoutTaxCodesStartsWithTheShippedOnes) {
    ASSERT_TRUE(QFile::copy(TProgramParams::ShippedStandardChartPath(), DataDir + "/M_DETAIL/QUILVANE.COY"));
    ASSERT_TRUE(
        TStandardChart::InstallTaxCodes(TProgramParams::ShippedTaxCodesPath(), DataDir, Format()->BaseName)
            .isEmpty());
    TAccountsChart accounts(Client(), nullptr, {Option::Load}, 2024);
    ASSERT_GT(accounts.Count(), 30);
    TTaxRateChart rates(Client(), &accounts, Format(), {Option::Load}, 2024);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    ASSERT_EQ(rates.Count(), StandardTaxCount);
    EXPECT_FALSE(rates.Saved); // written at the year's next save
    for (int type = 0; type < StandardTaxCount; ++type) {
        const TStandardTaxCode& row = StandardTaxCodes[type];
        SCOPED_TRACE(row.Code);
        const int index = rates.IndexOf(row.Code);
        ASSERT_GE(index, 0);
        const TTaxRate& rate = *rates.GetTaxRate(index);
        EXPECT_EQ(rate.TaxType, type);
        EXPECT_EQ(rate.Tax_Description, row.Description);
        EXPECT_EQ(rate.GetTaxAccountText(), row.Account);
        EXPECT_EQ(rate.Tax_Rate, row.Rate);
        EXPECT_EQ(rate.BAS, row.BAS);
        EXPECT_EQ(rate.StartDate, EncodeDateNum(2023, 7, 1));
        EXPECT_EQ(rate.EndDate, EncodeDateNum(2024, 6, 30));
    }
    EXPECT_EQ(accounts.GetAccount(accounts.IndexOfCodeText(GstCollected))->Description, "GST Collected");
    EXPECT_EQ(accounts.GetAccount(accounts.IndexOfCodeText(GstPaid))->Description, "GST Paid");
    EXPECT_EQ(rates.GetGSTDivisor(), 11.0);
    EXPECT_EQ(rates.GetTaxRate(rates.IndexOf("NCG"))->CalcIncludedTax(EncodeDateNum(2023, 10, 15), 110.0),
              10.0);
}

// ---- Installation --------------------------------------------------------------------------

// The first start installs the codes beside the standard charts; codes already there (in any
// letter case) stay the practice's own; later starts install nothing.
TEST_F(StandardTaxCodesTest, TheFirstRunInstallsTheCodesButNeverOverAPracticesOwn) {
    const struct {
        const char* Name;
        const char* Existing; // a file already under the codes' name, or nullptr
    } cases[] = {{"none there", nullptr}, {"the practice's own", "quilvane.txr"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(QDir(TempPath("home")).removeRecursively());
        QFile::remove(TempPath("Quilvane.ini"));
        const QString folder = TempPath("home/QUILVANE/DATA/M_DETAIL");
        ASSERT_TRUE(QDir().mkpath(folder));
        if (c.Existing) {
            ASSERT_TRUE(WriteFileBytes(folder + "/" + c.Existing, "the practice's own"));
        }
        TProgramParams params;
        ASSERT_EQ(params.Load(), 0);
        const QStringList taxFiles = QDir(folder).entryList({"*.txr", "*.TXR"}, QDir::Files | QDir::Hidden);
        ASSERT_EQ(taxFiles.size(), 1) << taxFiles.join(' ').toStdString();
        if (c.Existing) {
            EXPECT_EQ(taxFiles[0], c.Existing);
            EXPECT_EQ(ReadFileBytes(folder + "/" + c.Existing), "the practice's own");
            continue;
        }
        EXPECT_EQ(taxFiles[0], "QUILVANE.TXR");
        EXPECT_TRUE(ReadFileBytes(folder + "/QUILVANE.TXR") ==
                    ReadFileBytes(TProgramParams::ShippedTaxCodesPath()));
        ASSERT_TRUE(QFile::remove(folder + "/QUILVANE.TXR"));
        ASSERT_EQ(params.Load(), 0); // not the first run any more
        EXPECT_FALSE(QFileInfo::exists(folder + "/QUILVANE.TXR"));
    }
}

// Codes that cannot be installed are told, and leave nothing behind; nothing is written through
// a link under their name.
TEST_F(StandardTaxCodesTest, InstallTellsWhyTheCodesCouldNotBeInstalled) {
    const QString target = DataDir + "/M_DETAIL/QUILVANE.TXR";
    const QString missing = TStandardChart::InstallTaxCodes(TempPath("missing.TXR"), DataDir, "QUILVANE");
    EXPECT_TRUE(missing.startsWith("Unable to install the default tax codes as " + target + ": "))
        << missing.toStdString();
    EXPECT_TRUE(QDir(DataDir + "/M_DETAIL").entryList(QDir::Files | QDir::Hidden).isEmpty());

    ASSERT_TRUE(QFile::link(TempPath("elsewhere.TXR"), target));
    EXPECT_FALSE(TStandardChart::InstallTaxCodes(TProgramParams::ShippedTaxCodesPath(), DataDir, "QUILVANE")
                     .isEmpty());
    EXPECT_FALSE(QFileInfo::exists(TempPath("elsewhere.TXR")));

    const QString blocked = TempPath("BLOCKED");
    ASSERT_TRUE(QDir().mkpath(blocked));
    ASSERT_TRUE(WriteFileBytes(blocked + "/M_DETAIL", "a file where the folder should be"));
    EXPECT_FALSE(TStandardChart::InstallTaxCodes(TProgramParams::ShippedTaxCodesPath(), blocked, "QUILVANE")
                     .isEmpty());
}
