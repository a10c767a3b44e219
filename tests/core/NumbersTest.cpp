#include "core/util/Numbers.h"
#include "core/util/FlagSets.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Numbers, MoneyCompareAndHalfEvenRounding) {
    EXPECT_TRUE(SameAmount(10.0, 10.004));
    EXPECT_TRUE(SameAmount(-5.005, -5.0));
    EXPECT_TRUE(SameAmount(0.1 + 0.2, 0.3));
    EXPECT_FALSE(SameAmount(10.0, 10.01));
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.51), 3.0);
    EXPECT_DOUBLE_EQ(RoundHalfEven(1.125, 2), 1.12);
    EXPECT_DOUBLE_EQ(RoundHalfEven(1.135, 2), 1.14);
    EXPECT_DOUBLE_EQ(RoundHalfEven(1234.5678, 2), 1234.57);
}

TEST(Numbers, IntPowerBySquaring) {
    EXPECT_EQ(IntPower(2, 10), 1024.0);
    EXPECT_EQ(IntPower(10, 0), 1.0);
    EXPECT_EQ(IntPower(-3, 3), -27.0);
    EXPECT_DOUBLE_EQ(IntPower(10, -2), 0.01);
    EXPECT_TRUE(std::isinf(IntPower(0, -1)));
    EXPECT_EQ(IntPower(1, -2147483647 - 1), 1.0);
    EXPECT_EQ(MaxInt(3, -4), 3);
    EXPECT_EQ(MinInt(3, -4), -4);
    EXPECT_DOUBLE_EQ(Log10(1000), 3.0);
}

TEST(Numbers, AmountCriteria) {
    EXPECT_TRUE(AmountMatchesCriterion(5, 1000, 0));
    EXPECT_TRUE(AmountMatchesCriterion(100.004, 100, 1));
    EXPECT_FALSE(AmountMatchesCriterion(100.01, 100, 1));
    EXPECT_TRUE(AmountMatchesCriterion(100.01, 100, 2));
    EXPECT_FALSE(AmountMatchesCriterion(100.00, 100, 2));
    EXPECT_TRUE(AmountMatchesCriterion(99.99, 100, 3));
    EXPECT_FALSE(AmountMatchesCriterion(100.00, 100, 3));
    // Within ten: 10.00 in, 10.01 out, on either side.
    EXPECT_TRUE(AmountMatchesCriterion(110.00, 100, 4));
    EXPECT_TRUE(AmountMatchesCriterion(90.00, 100, 4));
    EXPECT_FALSE(AmountMatchesCriterion(110.01, 100, 4));
    EXPECT_TRUE(AmountMatchesCriterion(200.00, 100, 5));
    EXPECT_FALSE(AmountMatchesCriterion(200.01, 100, 5));
    EXPECT_TRUE(AmountMatchesCriterion(1100, 100, 6));
    EXPECT_TRUE(AmountMatchesCriterion(5100, 100, 7));
    EXPECT_FALSE(AmountMatchesCriterion(5100.01, 100, 7));
    EXPECT_TRUE(AmountMatchesCriterion(-9900, 100, 8));
    EXPECT_FALSE(AmountMatchesCriterion(100, 100, 9));
    EXPECT_FALSE(AmountMatchesCriterion(100, 100, -1));
}

TEST(Numbers, AmountDigitsAlignAtTheRight) {
    // "123.45" against "123.46": one position differs, five agree.
    EXPECT_TRUE(AmountDigitsMatch(123.45, 123.46, 1));
    EXPECT_FALSE(AmountDigitsMatch(123.45, 124.56, 1));
    EXPECT_TRUE(AmountDigitsMatch(123.45, 124.55, 2));
    // "1123.45" loses its first character to align with "123.45"; the sign is ignored.
    EXPECT_TRUE(AmountDigitsMatch(1123.45, -123.45, 0));
    EXPECT_TRUE(AmountDigitsMatch(5.5, 5.50, 0));
    // At least N positions must agree: "1.00" and "9.99" differ in three of four.
    EXPECT_FALSE(AmountDigitsMatch(1.00, 9.99, 3));
    EXPECT_FALSE(AmountDigitsMatch(1.00, 9.99, 1));
}

TEST(Numbers, RoundUpToScaleForGraphAxes) {
    EXPECT_EQ(RoundUpToScale(12), 20.0);
    EXPECT_EQ(RoundUpToScale(250), 300.0);
    EXPECT_EQ(RoundUpToScale(1000), 1000.0);
    EXPECT_EQ(RoundUpToScale(0), 0.0);
    EXPECT_EQ(RoundUpToScale(7), 10.0);
    EXPECT_EQ(RoundUpToScale(32), 40.0);
    EXPECT_EQ(RoundUpToScale(96), 100.0);
    EXPECT_EQ(RoundUpToScale(-12), -20.0);
    EXPECT_GE(RoundUpToScale(0.37), 0.37);
    EXPECT_LE(RoundUpToScale(0.37), 1.0);
    EXPECT_EQ(RoundUpToScale(1e308), 1e308);
}

TEST(FlagSets, IncludeExcludeAnyAll) {
    quint32 set = FlagSetInclude(0, {0, 3, 31});
    EXPECT_EQ(set, 0x80000009u);
    set = FlagSetExclude(set, {3, 40, -1});
    EXPECT_EQ(set, 0x80000001u);
    EXPECT_EQ(FlagSetInclude(set, {32}), set);
    EXPECT_TRUE(FlagSetHasAny(set, {5, 31}));
    EXPECT_FALSE(FlagSetHasAny(set, {5, 6}));
    EXPECT_FALSE(FlagSetHasAny(set, {}));
    EXPECT_TRUE(FlagSetHasAll(set, {0, 31}));
    EXPECT_FALSE(FlagSetHasAll(set, {0, 1}));
    EXPECT_TRUE(FlagSetHasAll(set, {}));
    EXPECT_TRUE(FlagByteSetHas(TOptionSet{2, 13, 39}, TOptionSet{39}));
    EXPECT_FALSE(FlagByteSetHas(TOptionSet{2, 13}, TOptionSet{3, 14}));
    EXPECT_FALSE(FlagByteSetHas(TOptionSet{2}, TOptionSet{}));
}
