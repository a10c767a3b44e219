#include "core/charts/TaxRateChart.h"

#include "core/charts/AccountsChart.h"
#include "core/files/Paths.h"
#include "tests/core/ChartTestSupport.h"

#include <QDir>

namespace {

// Headers of stored tax files: "Tax Rates,<version>", "ABC123", no key.
const char* const Header53 = "070E"
                             "5461782052617465732C56352E33"
                             "0706"
                             "414243313233"
                             "0700";
const char* const Header501 = "070F"
                              "5461782052617465732C56352E3031"
                              "0706"
                              "414243313233"
                              "0700";
const char* const Header54 = "070E"
                             "5461782052617465732C56352E34"
                             "0706"
                             "414243313233"
                             "0700";

// Floats (10-byte extended) and date numbers.
const char* const Ten = "05"
                        "00000000000000A00240";
const char* const TwelveAndAHalf = "05"
                                   "00000000000000C80240";
const char* const Zero = "05"
                         "00000000000000000000";
const char* const July2005 = "05"
                             "000000000000BEB21240"; // 732128, first day of 2006
const char* const June2006 = "05"
                             "0000000000C0D4B21240"; // 732492, last day of 2006
const char* const Jan2000 = "05"
                            "00000000008040B21240"; // 730120, before the year
const char* const Dec2007 = "05"
                            "000000000010F7B21240"; // 733041, after the year
const char* const Sep2005 = "05"
                            "0000000000B0C3B21240"; // 732219, inside
const char* const Jul31 = "05"
                          "0000000000E0BFB21240"; // 732158, inside

// Account 3100 and account 5555 (not in the chart) as four stored parts.
const char* const Account3100 = "02FF"
                                "02FF"
                                "031C0C"
                                "02FF";
const char* const Account5555 = "02FF"
                                "02FF"
                                "03B315"
                                "02FF";

// A short string value.
QByteArray Str(const char* text) {
    const QByteArray bytes(text);
    return "06" + QByteArray::number(bytes.size(), 16).rightJustified(2, '0') + bytes.toHex();
}

QByteArray TypeHex(int type) {
    return "02" + QByteArray::number(type, 16).rightJustified(2, '0');
}

// A tax code in the "V5.3" layout (BAS given) or the "V5.01" one (BAS null).
QByteArray TaxItem(const char* code, int type, const char* description, const char* bas, const char* account,
                   const char* rate, const char* start, const char* end) {
    QByteArray hex = Str(code) + TypeHex(type) + Str(description);
    if (bas)
        hex += Str(bas);
    return hex + account + rate + start + end;
}

QByteArray FileBytes(const char* header, const QList<QByteArray>& items) {
    QByteArray hex = QByteArray(header) + "01";
    for (const QByteArray& item : items)
        hex += item;
    return QByteArray::fromHex(hex + "00");
}

std::unique_ptr<TTaxRate> Rate(const QString& code, int type = 0, double rate = 10.0) {
    auto item = std::make_unique<TTaxRate>();
    item->Tax_Code = code;
    item->TaxType = type;
    item->Tax_Rate = rate;
    return item;
}

class TaxRateChartTest : public TChartFixture {
protected:
    void SetUp() override {
        TChartFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath(QStringLiteral("M_DETAIL")));
        Entity.EntityType = QStringLiteral("NSP");
        Entity.EndMonth = 6;
        Entity.Periods = 12;
        Accounts = std::make_unique<TAccountsChart>(Entity, Tables.Format(), TOptionSet{}, 2006);
        auto account = std::make_unique<TAccountDetail>(Tables.Format());
        TAccountCode code;
        ASSERT_TRUE(Tables.Format()->TextToCode(QStringLiteral("3100"), code, false, false));
        account->SetCode(code);
        Accounts->AddAccount(std::move(account));
        Accounts->EnsureSuspenseAccount();
        ASSERT_GE(Accounts->DefaultSuspenseAccount(), 0);
    }

    QString TaxPath(const QString& name = QStringLiteral("ABC12306.TXR")) const {
        return Temp.filePath(QStringLiteral("M_DETAIL/") + name);
    }

    std::unique_ptr<TTaxRateChart> Chart(const TOptionSet& options = {}) {
        return std::make_unique<TTaxRateChart>(Entity, Accounts.get(), Tables.Format(), options, 2006);
    }

    QString SuspenseCode() const { return Accounts->GetCode(Accounts->DefaultSuspenseAccount()); }

    std::unique_ptr<TAccountsChart> Accounts;
};

} // namespace

TEST_F(TaxRateChartTest, TypesAreTheLowestFreeAndAtMost32CodesFit) {
    auto chart = Chart();
    ASSERT_GE(chart->AddItem(Rate(QStringLiteral("GST"))), 0);
    ASSERT_GE(chart->AddItem(Rate(QStringLiteral("FRE"))), 0);
    ASSERT_GE(chart->AddItem(Rate(QStringLiteral("INP"))), 0);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("GST")))->TaxType, 0);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("FRE")))->TaxType, 1);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("INP")))->TaxType, 2);
    EXPECT_EQ(chart->TypeMask, 0b111u);

    chart->DeleteItem(chart->IndexOf(QStringLiteral("FRE")));
    EXPECT_EQ(chart->TypeMask, 0b101u);
    ASSERT_GE(chart->AddItem(Rate(QStringLiteral("EXP"))), 0);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("EXP")))->TaxType, 1);

    // A code arriving with a bit another code owns, or with no bit at all, takes a free one.
    ASSERT_GE(chart->AddItem(Rate(QStringLiteral("CAP"), 2)), 0);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("CAP")))->TaxType, 3);
    ASSERT_GE(chart->AddItem(Rate(QStringLiteral("OLD"), 40)), 0);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("OLD")))->TaxType, 4);
    ASSERT_GE(chart->AddItem(Rate(QStringLiteral("HIGH"), 31)), 0);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("HIGH")))->TaxType, 31);
    EXPECT_EQ(chart->AddItem(Rate(QStringLiteral("gst"))), -1); // the same code
    EXPECT_EQ(chart->TypeMask, 0x8000001Fu);

    for (int i = 0; chart->Count() < TTaxRateChart::MaxTaxCodes; ++i)
        ASSERT_GE(chart->AddItem(Rate(QStringLiteral("T%1").arg(i))), 0);
    EXPECT_EQ(chart->TypeMask, 0xFFFFFFFFu);
    EXPECT_EQ(chart->AddItem(Rate(QStringLiteral("ONEMORE"))), -1);
    EXPECT_EQ(chart->Count(), 32);

    chart->Clear();
    EXPECT_EQ(chart->TypeMask, 0u);
}

TEST_F(TaxRateChartTest, CodesAndTypeSetsTranslateBothWays) {
    auto chart = Chart();
    chart->AddItem(Rate(QStringLiteral("GST10")));
    chart->AddItem(Rate(QStringLiteral("GST2")));
    chart->AddItem(Rate(QStringLiteral("FRE")));
    // GST10 0, GST2 1, FRE 2; numeric order puts GST2 before GST10.
    EXPECT_EQ(chart->GetCode(1), QStringLiteral("GST2"));
    EXPECT_EQ(chart->GetCodesOfTypes(0b111u), QStringLiteral("FRE,GST2,GST10"));
    EXPECT_EQ(chart->GetCodesOfTypes(0b101u | 0x100u), QStringLiteral("FRE,GST10"));
    EXPECT_EQ(chart->GetTypesOfCodes(QStringLiteral("gst2, FRE,NOPE,")), 0b110u);
    quint32 types = 0xF0F3u;
    chart->MaskTaxTypes(types);
    EXPECT_EQ(types, 0b011u);
}

TEST_F(TaxRateChartTest, GSTDivisorFollowsTheRateOfTheFirstG17Code) {
    auto chart = Chart();
    EXPECT_EQ(chart->GetGSTDivisor(), 1.0);
    auto plain = Rate(QStringLiteral("AAA"), 0, 50.0);
    chart->AddItem(std::move(plain));
    EXPECT_EQ(chart->GetGSTDivisor(), 1.0); // no G17
    auto gst = Rate(QStringLiteral("GST"), 0, 10.0);
    gst->SetBASSections(QStringLiteral("G1,G17"));
    chart->AddItem(std::move(gst));
    EXPECT_DOUBLE_EQ(chart->GetGSTDivisor(), 11.0);
    chart->GetTaxRate(chart->IndexOf(QStringLiteral("GST")))->Tax_Rate = 12.5;
    EXPECT_DOUBLE_EQ(chart->GetGSTDivisor(), 9.0); // 112.50 / 9 = 12.50 of tax
    chart->GetTaxRate(chart->IndexOf(QStringLiteral("GST")))->Tax_Rate = 0.0;
    EXPECT_EQ(chart->GetGSTDivisor(), 1.0);
}

TEST_F(TaxRateChartTest, CurrentFileReadsAndWritesBackByteForByte) {
    const QByteArray bytes = FileBytes(
        Header53,
        {TaxItem("FRE", 1, "GST Free", "G3", Account3100, Zero, July2005, June2006),
         TaxItem("GST", 0, "Goods and Services Tax", "G1,G17", Account3100, Ten, Sep2005, June2006)});
    // The BAS text is normalised on reading: "G1" is no tax code label.
    const QByteArray expected = FileBytes(
        Header53, {TaxItem("FRE", 1, "GST Free", "G3", Account3100, Zero, July2005, June2006),
                   TaxItem("GST", 0, "Goods and Services Tax", "G17", Account3100, Ten, Sep2005, June2006)});
    WriteFile(TaxPath(), bytes);

    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_TRUE(chart->Saved);
    EXPECT_EQ(chart->Version, QStringLiteral("V5.3"));
    const TTaxRate* gst = chart->GetTaxRate(chart->IndexOf(QStringLiteral("GST")));
    EXPECT_EQ(gst->Tax_Description, QStringLiteral("Goods and Services Tax"));
    EXPECT_EQ(gst->GetTaxAccountText(), QStringLiteral("3100"));
    EXPECT_EQ(gst->Tax_Rate, 10.0);
    EXPECT_EQ(gst->StartDate, 732219.0);
    EXPECT_EQ(gst->EndDate, 732492.0);
    EXPECT_EQ(gst->TaxType, 0);
    EXPECT_EQ(chart->TypeMask, 0b11u);
    EXPECT_DOUBLE_EQ(chart->GetGSTDivisor(), 11.0);
    EXPECT_TRUE(Prompt->Shown.isEmpty());

    QFile::remove(TaxPath());
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(ReadFile(TaxPath()).toHex(), expected.toHex());
}

TEST_F(TaxRateChartTest, DatesAreFittedToTheFinancialYear) {
    WriteFile(TaxPath(),
              FileBytes(Header53, {TaxItem("A", 0, "", "", Account3100, Ten, Jan2000, Dec2007),
                                   TaxItem("B", 1, "", "", Account3100, Ten, July2005, June2006)}));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_EQ(chart->GetTaxRate(0)->StartDate, 732128.0);
    EXPECT_EQ(chart->GetTaxRate(0)->EndDate, 732492.0);
    EXPECT_FALSE(chart->Saved);

    // An end before the start becomes the start.
    WriteFile(TaxPath(), FileBytes(Header53, {TaxItem("C", 0, "", "", Account3100, Ten, Sep2005, Jul31)}));
    auto backwards = Chart({Option::Load});
    EXPECT_EQ(backwards->GetTaxRate(0)->EndDate, 732219.0);
    EXPECT_FALSE(backwards->Saved);

    // A file already inside the year stays saved.
    WriteFile(TaxPath(),
              FileBytes(Header53, {TaxItem("B", 1, "", "", Account3100, Ten, July2005, June2006)}));
    auto clean = Chart({Option::Load});
    EXPECT_TRUE(clean->Saved);
}

TEST_F(TaxRateChartTest, TaxAccountsNotInTheChartAreRepaired) {
    WriteFile(TaxPath(),
              FileBytes(Header53, {TaxItem("GST", 0, "", "G17", Account5555, Ten, July2005, June2006),
                                   TaxItem("NIL", 1, "", "", "02FF02FF02FF02FF", Zero, July2005, June2006)}));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("GST")))->GetTaxAccountText(), SuspenseCode());
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("NIL")))->GetTaxAccountText(), SuspenseCode());
    EXPECT_FALSE(chart->Saved);

    // With a translation list the mapped account wins when the chart has it.
    auto translated = Chart();
    translated->AccountTranslation.insert(QStringLiteral("5555"), QStringLiteral("3100"));
    ASSERT_EQ(translated->LoadFromFile({}), 0);
    EXPECT_EQ(translated->GetTaxRate(translated->IndexOf(QStringLiteral("GST")))->GetTaxAccountText(),
              QStringLiteral("3100"));
    // A mapping onto an account the chart lacks falls back to suspense.
    auto badMap = Chart();
    badMap->AccountTranslation.insert(QStringLiteral("5555"), QStringLiteral("4444"));
    ASSERT_EQ(badMap->LoadFromFile({}), 0);
    EXPECT_EQ(badMap->GetTaxRate(badMap->IndexOf(QStringLiteral("GST")))->GetTaxAccountText(),
              SuspenseCode());
}

TEST_F(TaxRateChartTest, OlderFileIsReplacedByTheFormatsDefaultCodes) {
    WriteFile(TaxPath(), FileBytes(Header501, {TaxItem("OLD", 0, "Old", nullptr, Account3100, Ten, July2005,
                                                       June2006)}));
    WriteFile(
        TaxPath(QStringLiteral("QUILVANE.TXR")),
        FileBytes(Header53,
                  {TaxItem("GST", 0, "Goods and Services Tax", "G17", Account3100, Ten, July2005, June2006),
                   TaxItem("FRE", 1, "GST Free", "G3", Account3100, Zero, July2005, June2006)}));

    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 2);
    EXPECT_EQ(chart->IndexOf(QStringLiteral("OLD")), -1);
    EXPECT_GE(chart->IndexOf(QStringLiteral("GST")), 0);
    EXPECT_EQ(chart->Version, QStringLiteral("V5.3"));
    EXPECT_FALSE(chart->Saved);
    EXPECT_EQ(chart->TemplateFileName(),
              BuildPath({Temp.path(), QStringLiteral("M_DETAIL"), QStringLiteral("QUILVANE.TXR")}));

    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_TRUE(ReadFile(TaxPath()).startsWith(QByteArray::fromHex(Header53)));
}

TEST_F(TaxRateChartTest, OlderFileWithoutDefaultsKeepsItsCodes) {
    WriteFile(TaxPath(), FileBytes(Header501, {TaxItem("OLD", 3, "Old", nullptr, Account3100, Ten, July2005,
                                                       June2006)}));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 1);
    EXPECT_EQ(chart->GetTaxRate(0)->TaxType, 3);
    EXPECT_TRUE(chart->GetTaxRate(0)->BAS.isEmpty());
    EXPECT_EQ(chart->Version, QStringLiteral("V5.3"));
    EXPECT_FALSE(chart->Saved);
    TOptionSet options;
    ASSERT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_EQ(
        ReadFile(TaxPath()).toHex(),
        FileBytes(Header53, {TaxItem("OLD", 3, "Old", "", Account3100, Ten, July2005, June2006)}).toHex());
}

TEST_F(TaxRateChartTest, MissingOrEmptyFileStartsFromTheDefaults) {
    WriteFile(TaxPath(QStringLiteral("QUILVANE.TXR")),
              FileBytes(Header53, {TaxItem("GST", 0, "Goods and Services Tax", "G17", Account5555, Ten,
                                           Jan2000, Dec2007)}));
    auto missing = Chart({Option::Load});
    ASSERT_EQ(missing->Count(), 1);
    EXPECT_FALSE(missing->Saved);
    // The defaults are repaired and fitted like any file.
    EXPECT_EQ(missing->GetTaxRate(0)->GetTaxAccountText(), SuspenseCode());
    EXPECT_EQ(missing->GetTaxRate(0)->StartDate, 732128.0);

    WriteFile(TaxPath(), FileBytes(Header53, {}));
    auto empty = Chart({Option::Load});
    EXPECT_EQ(empty->Count(), 1);

    // Options 9 and 13 keep the constructor from loading.
    EXPECT_EQ(Chart({Option::Load, 9})->Count(), 0);
}

TEST_F(TaxRateChartTest, UnknownVersionFailsAndIsNeverOverwritten) {
    WriteFile(TaxPath(QStringLiteral("QUILVANE.TXR")),
              FileBytes(Header53, {TaxItem("GST", 0, "", "G17", Account3100, Ten, July2005, June2006)}));
    const QByteArray newer =
        FileBytes(Header54, {TaxItem("NEW", 0, "", "", Account3100, Ten, July2005, June2006)});
    WriteFile(TaxPath(), newer);

    Prompt->Answer(TMessageButton::Ignore);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({}), -1);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(
        Prompt->Shown[0].Text.startsWith(QStringLiteral("Unable to load 2006 Taxes file for ABC123. \r(")));
    EXPECT_TRUE(Prompt->Shown[0].Text.contains(QStringLiteral("V5.4")));
    EXPECT_EQ(chart->Count(), 0); // not the defaults
    EXPECT_TRUE(chart->IsSaveBlocked());

    chart->AddItem(Rate(QStringLiteral("TYPED")));
    chart->Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(ReadFile(TaxPath()), newer);
}

TEST_F(TaxRateChartTest, FileReadingKeepsTheFirst32CodesAndGivesSharedBitsFreeOnes) {
    QList<QByteArray> items;
    for (int i = 0; i < 34; ++i) {
        const QByteArray code = QByteArray("T") + QByteArray::number(i);
        items.append(TaxItem(code.constData(), i % 31, "", "", Account3100, Ten, July2005, June2006));
    }
    WriteFile(TaxPath(), FileBytes(Header53, items));
    auto chart = Chart({Option::Load});
    ASSERT_EQ(chart->Count(), 32);
    EXPECT_GE(chart->IndexOf(QStringLiteral("T31")), 0);
    EXPECT_EQ(chart->IndexOf(QStringLiteral("T32")), -1);
    EXPECT_EQ(chart->TypeMask, 0xFFFFFFFFu);
    // T31 came with T0's bit (31 % 31 = 0) and took the one bit left.
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("T31")))->TaxType, 31);
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("T0")))->TaxType, 0);
}

TEST_F(TaxRateChartTest, MergingKeepsTheHeldCodesBits) {
    WriteFile(TaxPath(),
              FileBytes(Header53, {TaxItem("GST", 5, "From file", "G7", Account3100, TwelveAndAHalf, July2005,
                                           June2006),
                                   TaxItem("NEW", 0, "", "", Account3100, Ten, July2005, June2006)}));
    auto chart = Chart();
    chart->AddItem(Rate(QStringLiteral("gst")));       // type 0
    chart->AddItem(Rate(QStringLiteral("FRE"), 0, 0)); // type 1
    ASSERT_EQ(chart->LoadFromFile({Option::MergeReplace}), 0);
    ASSERT_EQ(chart->Count(), 3);
    const TTaxRate* gst = chart->GetTaxRate(chart->IndexOf(QStringLiteral("GST")));
    EXPECT_EQ(gst->TaxType, 0);
    EXPECT_EQ(gst->Tax_Code, QStringLiteral("gst"));
    EXPECT_EQ(gst->Tax_Description, QStringLiteral("From file"));
    EXPECT_EQ(gst->Tax_Rate, 12.5);
    EXPECT_EQ(gst->BAS, QStringLiteral("G7"));
    EXPECT_EQ(chart->GetTaxRate(chart->IndexOf(QStringLiteral("NEW")))->TaxType, 2);
    EXPECT_EQ(chart->TypeMask, 0b111u);
    EXPECT_FALSE(chart->Saved);
}
