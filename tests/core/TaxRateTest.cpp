#include "core/charts/TaxRate.h"

#include "core/io/StreamError.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/StoredItemSupport.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>

namespace {

// 1 July 2005 and 30 June 2006 as date numbers.
constexpr double July2005 = 732128.0;
constexpr double June2006 = 732492.0;

// GST, type 1, "Sales", labels G2,G7, account 2100 (sub-account 0), 10 %, 1/7/2005 to 30/6/2006.
const char* const StoredGST53 = "06 03 47 53 54"                    // "GST"
                                "02 01"                             // type 1
                                "06 05 53 61 6C 65 73"              // "Sales"
                                "06 05 47 32 2C 47 37"              // "G2,G7"
                                "02 FF 02 FF 03 34 08 02 00"        // -, -, 2100, 0
                                "05 00 00 00 00 00 00 00 A0 02 40"  // 10.0
                                "05 00 00 00 00 00 00 BE B2 12 40"  // 732128
                                "05 00 00 00 00 00 C0 D4 B2 12 40"; // 732492

TTaxRate TenPercent() {
    TTaxRate rate;
    rate.Tax_Code = QStringLiteral("GST");
    rate.Tax_Rate = 10.0;
    rate.StartDate = July2005;
    rate.EndDate = June2006;
    return rate;
}

} // namespace

TEST(TaxRate, StoredFormOfVersion53ReadsAndWritesByteForByte) {
    const TTaxRate rate = ReadStoredItem<TTaxRate>(Hex(StoredGST53), true);
    EXPECT_EQ(rate.Tax_Code, QStringLiteral("GST"));
    EXPECT_EQ(rate.TaxType, 1);
    EXPECT_EQ(rate.Tax_Description, QStringLiteral("Sales"));
    EXPECT_EQ(rate.BAS, QStringLiteral("G2,G7"));
    EXPECT_EQ(rate.BASLabels, (QList<int>{2, 7}));
    EXPECT_EQ(rate.TaxAccount, MakeCode(-1, -1, 2100, 0));
    EXPECT_EQ(rate.Tax_Rate, 10.0);
    EXPECT_EQ(rate.StartDate, July2005);
    EXPECT_EQ(rate.EndDate, June2006);
    EXPECT_EQ(WriteStoredItem(rate), Hex(StoredGST53));
}

TEST(TaxRate, Version501HasNoLabelsAndIsWrittenBackInTheCurrentForm) {
    const QByteArray v501 = Hex("06 03 47 53 54 02 01 06 05 53 61 6C 65 73"
                                "02 FF 02 FF 03 34 08 02 00"
                                "05 00 00 00 00 00 00 00 A0 02 40"
                                "05 00 00 00 00 00 00 BE B2 12 40"
                                "05 00 00 00 00 00 C0 D4 B2 12 40");
    TTaxRate rate = ReadStoredItem<TTaxRate>(v501, false);
    EXPECT_TRUE(rate.BAS.isEmpty());
    EXPECT_EQ(rate.TaxAccount, MakeCode(-1, -1, 2100, 0));
    EXPECT_EQ(rate.EndDate, June2006);
    rate.SetBASSections(QStringLiteral("G2,G7"));
    EXPECT_EQ(WriteStoredItem(rate), Hex(StoredGST53));
}

TEST(TaxRate, DamagedStoredCodesFailAsStreamErrors) {
    // An account part beyond 16 bits.
    QByteArray badPart = Hex(StoredGST53);
    badPart.replace(Hex("03 34 08"), Hex("04 00 00 01 00")); // 65536
    EXPECT_THROW(ReadStoredItem<TTaxRate>(badPart, true), EStreamError);
    // A rate that is not a number.
    QByteArray nanRate = Hex(StoredGST53);
    nanRate.replace(Hex("05 00 00 00 00 00 00 00 A0 02 40"), Hex("05 00 00 00 00 00 00 00 C0 FF 7F"));
    EXPECT_THROW(ReadStoredItem<TTaxRate>(nanRate, true), EStreamError);
    // Cut short in the end date.
    EXPECT_THROW(ReadStoredItem<TTaxRate>(Hex(StoredGST53).left(50), true), EStreamError);
    // A stored 65535 is an absent part too.
    QByteArray unsignedAbsent = Hex(StoredGST53);
    unsignedAbsent.replace(Hex("02 FF 02 FF 03 34 08"), Hex("04 FF FF 00 00 02 FF 03 34 08"));
    EXPECT_EQ(ReadStoredItem<TTaxRate>(unsignedAbsent, true).TaxAccount, MakeCode(-1, -1, 2100, 0));
}

TEST(TaxRate, BASLabelsKeepOnlyTaxCodeLabelsInOrder) {
    TTaxRate rate;
    rate.SetBASSections(QStringLiteral("g7, G1,G2 ,X"));
    EXPECT_EQ(rate.BAS, QStringLiteral("G2,G7"));
    rate.SetBASSections(QStringLiteral("G18,G2,G18,g17"));
    EXPECT_EQ(rate.BAS, QStringLiteral("G2,G17,G18,G18"));
    EXPECT_TRUE(rate.HasBASLabel(17));
    rate.SetBASSections(QStringLiteral("G21,G02,G,G5,,G-2"));
    EXPECT_TRUE(rate.BAS.isEmpty());
    EXPECT_TRUE(rate.BASLabels.isEmpty());
}

TEST(TaxRate, IncludedTaxWithinTheDatesOnly) {
    const TTaxRate rate = TenPercent();
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, 110.0), 10.0);
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(June2006, 110.0), 10.0);
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(June2006 + 1, 110.0), 0.0);
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005 - 1, 110.0), 0.0);
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, -55.0), -5.0);
    // 100 / 11 = 9.0909... -> 9.09
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, 100.0), 9.09);
}

TEST(TaxRate, IncludedTaxRoundsExactHalfCentsToEven) {
    TTaxRate rate = TenPercent();
    rate.Tax_Rate = 100.0;                                        // half of the amount is tax
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, 0.05), 0.02); // 2.5 cents
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, 0.15), 0.08); // 7.5 cents
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, 0.25), 0.12); // 12.5 cents
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, -0.15), -0.08);
    rate.Tax_Rate = -100.0; // no gross amount to take it from
    EXPECT_DOUBLE_EQ(rate.CalcIncludedTax(July2005, 10.0), 0.0);
}

TEST(TaxRate, AccountAndRateTexts) {
    const auto format = AccountOnlyFormat();
    TTaxRate rate(format.get());
    rate.TaxAccount = MakeCode(-1, -1, 2100, -1);
    EXPECT_EQ(rate.GetTaxAccountText(), QStringLiteral("2100"));
    rate.SetTaxAccountText(QStringLiteral("0420"));
    EXPECT_EQ(rate.TaxAccount, MakeCode(-1, -1, 420, -1));
    rate.SetTaxAccountText(QStringLiteral("not a code"));
    EXPECT_EQ(rate.TaxAccount, MakeCode(-1, -1, 420, -1));
    rate.Tax_Rate = 12.5;
    EXPECT_EQ(rate.GetTaxRateText(), QStringLiteral("12.50"));
}
