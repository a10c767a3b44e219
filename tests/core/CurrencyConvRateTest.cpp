#include "core/charts/CurrencyConvRate.h"

#include "core/io/StreamError.h"
#include "tests/core/StoredItemSupport.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>

TEST(CurrencyConvRate, StoredFormRoundTrips) {
    // "EUR", "Euro", the euro sign (0x80 in Windows-1252, stored as the integer 128), 0.65.
    const QByteArray stored =
        Hex("06 03 45 55 52 06 04 45 75 72 6F 03 80 00 05 00 68 66 66 66 66 66 A6 FE 3F");
    const TCurrencyConvRate rate = ReadStoredItem<TCurrencyConvRate>(stored);
    EXPECT_EQ(rate.Currency_Code, QStringLiteral("EUR"));
    EXPECT_EQ(rate.Currency_Description, QStringLiteral("Euro"));
    EXPECT_EQ(rate.Currency_Symbol, QChar(0x20AC));
    EXPECT_EQ(rate.Currency_Rate, 0.65);
    EXPECT_EQ(rate.GetRateText(), QStringLiteral("0.6500"));
    EXPECT_EQ(WriteStoredItem(rate), stored);
}

TEST(CurrencyConvRate, SymbolOutsideOneByteOrBadRateFails) {
    EXPECT_THROW(
        ReadStoredItem<TCurrencyConvRate>(Hex("06 01 58 06 00 03 00 01 05 00 00 00 00 00 00 00 80 FF 3F")),
        EStreamError);
    EXPECT_THROW(
        ReadStoredItem<TCurrencyConvRate>(Hex("06 01 58 06 00 02 24 05 00 00 00 00 00 00 00 80 FF 7F")),
        EStreamError);
    const TCurrencyConvRate rate = ReadStoredItem<TCurrencyConvRate>(Hex("06 01 58 06 00 02 24 02 02"));
    EXPECT_EQ(rate.Currency_Symbol, QLatin1Char('$'));
    EXPECT_EQ(rate.Currency_Rate, 2.0); // an integer in the rate's place is its value
}
