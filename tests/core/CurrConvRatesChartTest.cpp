#include "core/charts/CurrConvRatesChart.h"

#include "tests/core/ChartTestSupport.h"

#include <QDir>

namespace {

// "Currency Rates,V5.0", "ABC123", no key.
const char* const Header = "0713"
                           "43757272656E63792052617465732C56352E30"
                           "0706"
                           "414243313233"
                           "0700";

// Stored rates: USD "US Dollar" '$' 0.9; EUR "Euro" (euro sign, 0x80) 0.65; AUD as listed.
const char* const StoredUSD = "0603555344"
                              "0609"
                              "555320446F6C6C6172"
                              "0224"
                              "05"
                              "00686666666666E6FE3F";
const char* const StoredEUR = "0603455552"
                              "0604"
                              "4575726F"
                              "038000"
                              "05"
                              "00686666666666A6FE3F";
const char* const ListedAUD = "0603415544"
                              "0611"
                              "4175737472616C69616E20446F6C6C6172"
                              "0224"
                              "05"
                              "0000000000000080FF3F";
// USD as listed: number 840 is no one-byte character, so a blank symbol; 0.65.
const char* const ListedUSD = "0603555344"
                              "0614"
                              "556E697465642053746174657320446F6C6C6172"
                              "0220"
                              "05"
                              "00686666666666A6FE3F";

QByteArray FileBytes(const QList<const char*>& items) {
    QByteArray hex = QByteArray(Header) + "01";
    for (const char* item : items)
        hex += item;
    return QByteArray::fromHex(hex + "00");
}

class CurrConvRatesChartTest : public TChartFixture {
protected:
    void SetUp() override {
        TChartFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath(QStringLiteral("DATA/M_DETAIL")));
        ASSERT_TRUE(QDir(Temp.path()).mkpath(QStringLiteral("PROGRAM/TRANSFER/M_DETAIL")));
        Entity.DataDir = Temp.filePath(QStringLiteral("DATA"));
        Entity.ProgramDataDir = Temp.filePath(QStringLiteral("PROGRAM"));
    }

    QString DataFile() const { return Temp.filePath(QStringLiteral("DATA/M_DETAIL/ABC12306.CCR")); }
    QString TransferFile() const {
        return Temp.filePath(QStringLiteral("PROGRAM/TRANSFER/M_DETAIL/ABC12306.CCR"));
    }
};

} // namespace

TEST_F(CurrConvRatesChartTest, ListedCurrenciesUnderTheStoredRates) {
    WriteFile(DataFile(), FileBytes({StoredUSD, StoredEUR}));
    TCurrConvRatesChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 3);
    EXPECT_EQ(chart.GetCode(0), QStringLiteral("AUD"));
    const TCurrencyConvRate* aud = chart.GetConvRate(0);
    EXPECT_EQ(aud->Currency_Symbol, QLatin1Char('$'));
    EXPECT_EQ(aud->Currency_Rate, 1.0);
    const TCurrencyConvRate* usd = chart.GetConvRate(chart.IndexOf(QStringLiteral("USD")));
    EXPECT_EQ(usd->Currency_Description, QStringLiteral("US Dollar"));
    EXPECT_EQ(usd->Currency_Rate, 0.9);
    EXPECT_EQ(chart.GetConvRate(chart.IndexOf(QStringLiteral("EUR")))->Currency_Symbol, QChar(0x20AC));
    EXPECT_FALSE(chart.Saved); // the listed currencies joined what the file holds

    TOptionSet options;
    ASSERT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(ReadFile(DataFile()).toHex(), FileBytes({ListedAUD, StoredEUR, StoredUSD}).toHex());
}

TEST_F(CurrConvRatesChartTest, WithoutAFileTheListAlone) {
    TCurrConvRatesChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 2);
    const TCurrencyConvRate* usd = chart.GetConvRate(1);
    EXPECT_EQ(usd->Currency_Symbol, QLatin1Char(' '));
    EXPECT_EQ(usd->GetRateText(), QStringLiteral("0.6500"));
    TOptionSet options;
    ASSERT_EQ(chart.SaveToFile(options), 0);
    EXPECT_EQ(ReadFile(DataFile()).toHex(), FileBytes({ListedAUD, ListedUSD}).toHex());
}

TEST_F(CurrConvRatesChartTest, TheCallersFolderAndSilenceReachTheFile) {
    WriteFile(DataFile(), FileBytes({StoredUSD}));
    WriteFile(TransferFile(), FileBytes({StoredEUR}));
    TCurrConvRatesChart chart(Entity, {}, 2006);
    ASSERT_EQ(chart.LoadFromFile({Option::TransferFolder}), 0);
    EXPECT_GE(chart.IndexOf(QStringLiteral("EUR")), 0);
    EXPECT_EQ(chart.GetConvRate(chart.IndexOf(QStringLiteral("USD")))->Currency_Rate, 0.65);

    // A damaged file in silent mode: no box, a failure, the listed currencies kept and the
    // damaged file protected from an automatic save.
    WriteFile(DataFile(), FileBytes({StoredUSD}).left(40));
    TCurrConvRatesChart silent(Entity, {}, 2006);
    EXPECT_EQ(silent.LoadFromFile({Option::Silent}), -1);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_EQ(silent.Count(), 2);
    EXPECT_TRUE(silent.IsSaveBlocked());
}

TEST_F(CurrConvRatesChartTest, OnlyAMergeKeepsWhatIsHeld) {
    TCurrConvRatesChart chart(Entity, {}, 2006);
    chart.AddItem(std::make_unique<TCurrencyConvRate>(QStringLiteral("NZD"), QStringLiteral("Kiwi"),
                                                      QLatin1Char('$'), 1.1));
    ASSERT_EQ(chart.LoadFromFile({Option::MergeLoad}), 0);
    EXPECT_GE(chart.IndexOf(QStringLiteral("NZD")), 0);
    ASSERT_EQ(chart.LoadFromFile({}), 0);
    EXPECT_EQ(chart.IndexOf(QStringLiteral("NZD")), -1);
    EXPECT_EQ(chart.Count(), 2);
}
