#include "core/charts/CurrencyConvRate.h"

#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

TCurrencyConvRate ReadRate(const QByteArray& bytes) {
    QByteArray data = bytes;
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    TValueReader reader(device);
    TCurrencyConvRate rate;
    rate.ReadFromStream(reader);
    return rate;
}

QByteArray WriteRate(const TCurrencyConvRate& rate) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    TValueWriter writer(device);
    rate.WriteToStream(writer);
    writer.Finish();
    return bytes;
}

} // namespace

TEST(CurrencyConvRate, StoredFormRoundTrips) {
    // "EUR", "Euro", the euro sign (0x80 in Windows-1252, stored as the integer 128), 0.65.
    const QByteArray stored = Hex("06 03 45 55 52 06 04 45 75 72 6F 03 80 00 05 00 68 66 66 66 66 66 A6 FE 3F");
    const TCurrencyConvRate rate = ReadRate(stored);
    EXPECT_EQ(rate.Currency_Code, QStringLiteral("EUR"));
    EXPECT_EQ(rate.Currency_Description, QStringLiteral("Euro"));
    EXPECT_EQ(rate.Currency_Symbol, QChar(0x20AC));
    EXPECT_EQ(rate.Currency_Rate, 0.65);
    EXPECT_EQ(rate.GetRateText(), QStringLiteral("0.6500"));
    EXPECT_EQ(WriteRate(rate), stored);
}

TEST(CurrencyConvRate, SymbolOutsideOneByteOrBadRateFails) {
    EXPECT_THROW(ReadRate(Hex("06 01 58 06 00 03 00 01 05 00 00 00 00 00 00 00 80 FF 3F")), EStreamError);
    EXPECT_THROW(ReadRate(Hex("06 01 58 06 00 02 24 05 00 00 00 00 00 00 00 80 FF 7F")), EStreamError);
    const TCurrencyConvRate rate = ReadRate(Hex("06 01 58 06 00 02 24 02 02"));
    EXPECT_EQ(rate.Currency_Symbol, QLatin1Char('$'));
    EXPECT_EQ(rate.Currency_Rate, 2.0); // an integer in the rate's place is its value
}
