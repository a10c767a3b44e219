#include "core/charts/CurrConvRatesChart.h"

#include "core/io/StreamError.h"
#include "tests/core/ChartTestSupport.h"

namespace {

const QString DataFile = QStringLiteral("M_DETAIL/ABC12306.CCR");
const QString TransferFile = QStringLiteral("PROGRAM/TRANSFER/M_DETAIL/ABC12306.CCR");

QByteArray RatesFile(const QStringList& items) {
    return StoredChart(QStringLiteral("currency"), QStringLiteral("header"), items);
}

using CurrConvRatesChartTest = TChartTest;

} // namespace

TEST_F(CurrConvRatesChartTest, ListedCurrenciesUnderTheStoredRates) {
    Write(DataFile, RatesFile({"USD", "EUR"}));
    TCurrConvRatesChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 3);
    const TCurrencyConvRate* aud = chart.GetConvRate(0);
    EXPECT_EQ(aud->Currency_Code, QStringLiteral("AUD"));
    EXPECT_EQ(aud->Currency_Symbol, QLatin1Char('$'));
    EXPECT_EQ(aud->Currency_Rate, 1.0);
    const TCurrencyConvRate* usd = chart.GetConvRate(chart.IndexOf(QStringLiteral("USD")));
    EXPECT_EQ(usd->Currency_Description, QStringLiteral("US Dollar"));
    EXPECT_EQ(usd->Currency_Rate, 0.9);
    EXPECT_EQ(chart.GetConvRate(chart.IndexOf(QStringLiteral("EUR")))->Currency_Symbol, QChar(0x20AC));
    EXPECT_FALSE(chart.Saved); // the listed currencies joined what the file holds
    TOptionSet options;
    ASSERT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(Read(DataFile).toHex(), RatesFile({"AUD-listed", "EUR", "USD"}).toHex());

    // Without a file, the list alone.
    QFile::remove(TempPath(DataFile));
    TCurrConvRatesChart listed(Entity, {Option::Load}, 2006);
    EXPECT_EQ(listed.GetConvRate(1)->GetRateText(), QStringLiteral("0.6500"));
    ASSERT_EQ(listed.SaveToFile(options), 0);
    EXPECT_EQ(Read(DataFile).toHex(), RatesFile({"AUD-listed", "USD-listed"}).toHex());
}

TEST_F(CurrConvRatesChartTest, TheCallersFolderAndSilenceReachTheFile) {
    Write(DataFile, RatesFile({"USD"}));
    Write(TransferFile, RatesFile({"EUR"}));
    TCurrConvRatesChart chart(Entity, {}, 2006);
    ASSERT_EQ(chart.LoadFromFile({Option::TransferFolder}), 0);
    EXPECT_GE(chart.IndexOf(QStringLiteral("EUR")), 0);
    EXPECT_EQ(chart.GetConvRate(chart.IndexOf(QStringLiteral("USD")))->Currency_Rate, 0.65);

    // A damaged file in silent mode: no box, a failure, the listed currencies kept and the
    // damaged file protected from an automatic save.
    Write(DataFile, RatesFile({"USD"}).left(40));
    TCurrConvRatesChart silent(Entity, {}, 2006);
    EXPECT_EQ(silent.LoadFromFile({Option::Silent}), -1);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_EQ(silent.Count(), 2);
    EXPECT_TRUE(silent.IsSaveBlocked());
    // The constructor leaves the file alone under options 9 and 13.
    EXPECT_EQ(TCurrConvRatesChart(Entity, {Option::Load, Option::DosVersion}, 2006).Count(), 0);
    EXPECT_EQ(TCurrConvRatesChart(Entity, {Option::Load, Option::TransferDrive}, 2006).Count(), 0);
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

TEST_F(CurrConvRatesChartTest, StoredRateAndItsEdges) {
    TCurrencyConvRate rate;
    ReadItem(rate, Stored("currency", "EUR"));
    EXPECT_EQ(rate.Currency_Description, QStringLiteral("Euro"));
    EXPECT_EQ(rate.Currency_Symbol, QChar(0x20AC));
    EXPECT_EQ(rate.Currency_Rate, 0.65);
    EXPECT_EQ(WrittenItem(rate), Stored("currency", "EUR"));

    const QByteArray prefix = QByteArray::fromHex("06 01 58 06 00");
    ReadItem(rate, prefix + QByteArray::fromHex("03 ff 00 02 02")); // symbol 255; an integer rate
    EXPECT_EQ(rate.Currency_Symbol, QChar(0xFF));
    EXPECT_EQ(rate.Currency_Rate, 2.0);
    for (const char* rest : {"03 00 01 02 02", "02 ff 02 02", "02 24 05 00 00 00 00 00 00 00 80 ff 7f"})
        EXPECT_THROW(ReadItem(rate, prefix + QByteArray::fromHex(rest)), EStreamError) << rest;
}
