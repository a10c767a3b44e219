#include "core/util/Numbers.h"
#include "core/common/Money.h"
#include "core/util/FlagSets.h"
#include "core/util/References.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Numbers, MoneyRoundingAndPowers) {
    EXPECT_TRUE(SameMoney(10.0, 10.004) && SameMoney(-5.005, -5.0) && SameMoney(0.1 + 0.2, 0.3));
    EXPECT_FALSE(SameMoney(10.0, 10.01));
    const double rounding[][3] = {{2.5, 0, 2},      {3.5, 0, 4},      {-2.5, 0, -2},          {2.51, 0, 3},
                                  {1.125, 2, 1.12}, {1.135, 2, 1.14}, {1234.5678, 2, 1234.57}};
    for (const auto& c : rounding)
        EXPECT_DOUBLE_EQ(RoundHalfEven(c[0], static_cast<int>(c[1])), c[2]) << c[0];
    EXPECT_EQ(IntPower(2, 10) + IntPower(10, 0) + IntPower(-3, 3) + IntPower(1, -2147483647 - 1),
              1024.0 + 1 - 27 + 1);
    EXPECT_DOUBLE_EQ(IntPower(10, -2), 0.01);
    EXPECT_TRUE(std::isinf(IntPower(0, -1)));
    EXPECT_EQ(MaxInt(3, -4) * 10 + MinInt(3, -4), 26);
}

TEST(Numbers, AmountCriteria) {
    // Amount, criterion, whether it matches a target of 100: any, equal, above, below, within
    // 10, 100, 1000, 5000 and 10000 (cents over the limit are out).
    const double cases[][3] = {{5, 0, 1},     {100.004, 1, 1},  {100.01, 1, 0}, {100.01, 2, 1},
                               {100, 2, 0},   {99.99, 3, 1},    {100, 3, 0},    {110, 4, 1},
                               {90, 4, 1},    {110.01, 4, 0},   {200, 5, 1},    {200.01, 5, 0},
                               {1100, 6, 1},  {1100.01, 6, 0},  {5100, 7, 1},   {5100.01, 7, 0},
                               {-9900, 8, 1}, {-9900.01, 8, 0}, {100, 9, 0},    {100, -1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(AmountMatchesCriterion(c[0], 100, static_cast<int>(c[1])), c[2] == 1)
            << c[0] << " " << c[1];
}

TEST(Numbers, AmountDigitsAndScales) {
    // "123.45" and "123.46" differ in one position; "1123.45" loses its first character to align
    // with "123.45"; "1.05" and "9.15" differ in two and agree in two.
    const double digits[][4] = {{123.45, 123.46, 1, 1},   {123.45, 124.56, 1, 0}, {123.45, 124.55, 2, 1},
                                {1123.45, -123.45, 0, 1}, {5.5, 5.50, 0, 1},      {1.05, 9.15, 2, 1},
                                {1.00, 9.99, 3, 0},       {1.00, 9.99, 1, 0}};
    for (const auto& c : digits)
        EXPECT_EQ(AmountDigitsMatch(c[0], c[1], static_cast<int>(c[2])), c[3] == 1) << c[0] << " " << c[1];
    const double scales[][2] = {{12, 20}, {250, 300}, {1000, 1000}, {0, 0},        {7, 10},
                                {32, 40}, {96, 100},  {-12, -20},   {1e308, 1e308}};
    for (const auto& c : scales)
        EXPECT_EQ(RoundUpToScale(c[0]), c[1]) << c[0];
    EXPECT_GE(RoundUpToScale(0.37), 0.37);
    EXPECT_LE(RoundUpToScale(0.37), 1.0);
}

TEST(Numbers, FlagSets) {
    EXPECT_EQ(FlagSetInclude(0, {0, 3, 31, 32}), 0x80000009u);
    const quint32 set = FlagSetExclude(0x80000009u, {3, 40, -1});
    EXPECT_EQ(set, 0x80000001u);
    EXPECT_TRUE(FlagSetHasAny(set, {5, 31}) && !FlagSetHasAny(set, {5, 6}) && !FlagSetHasAny(set, {}));
    EXPECT_TRUE(FlagSetHasAll(set, {0, 31}) && FlagSetHasAll(set, {}) && !FlagSetHasAll(set, {0, 1}));
    EXPECT_TRUE(FlagByteSetHas(TOptionSet{2, 13, 39}, TOptionSet{39}));
    EXPECT_FALSE(FlagByteSetHas(TOptionSet{2, 13}, TOptionSet{3, 14}) ||
                 FlagByteSetHas(TOptionSet{2}, TOptionSet{}));
}

TEST(References, TextsNextAndExportReferences) {
    const std::pair<qint32, const char*> texts[] = {
        {-1, ""},      {42, "000042"},      {1000000, "1000000"}, {1000003, "TessalyJnl"},
        {1000005, ""}, {1000009, "Contra"}, {1000012, "000012"}};
    for (const auto& [ref, text] : texts)
        EXPECT_EQ(ReferenceToText(ref), text) << ref;
    // Names first, then capital marker letters, then numbers (the sign dropped).
    const std::pair<const char*, qint32> typed[] = {
        {"12B", 1000001},    {"-45", 45},    {"Opbal", 1000002}, {"tessalyjnl", 1000003},
        {"CONTRA", 1000009}, {"D", 1000003}, {"OC", 1000002},    {"2147483647", 2147483647}};
    for (const auto& [text, expected] : typed) {
        qint32 ref = -7;
        EXPECT_TRUE(TextToReference(text, ref) && ref == expected) << text;
    }
    for (const char* bad : {"abc", "", "99999999999", "2147483648"}) {
        qint32 ref = 5;
        EXPECT_FALSE(TextToReference(bad, ref) || ref != 5) << bad;
    }
    const qint32 next[][3] = {{10, 1, 11},     {999998, 1, 999999},   {999999, 1, 1},    {1, -1, 1},
                              {1000009, 1, 1}, {1000001, 1, 1000001}, {2147483646, 5, 1}};
    for (const auto& c : next)
        EXPECT_EQ(NextReference(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    const std::tuple<qint32, bool, const char*> exports[] = {{1000001, true, "999999"},
                                                             {1000002, true, "000001"},
                                                             {1000009, false, "0"},
                                                             {123, false, "123"},
                                                             {123, true, "000123"}};
    for (const auto& [ref, six, expected] : exports) {
        QString text;
        ReferenceToExportText(ref, six, text);
        EXPECT_EQ(text, expected) << ref;
    }
}

TEST(References, RangesAreNormalisedAndTested) {
    QString text = "5 to 1, B, 7, 1000000";
    TReferenceRangeList list;
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_EQ(text, "000001 to 000005,Bank,000007,1000000");
    for (qint32 ref : {0, 1, 3, 5, 6, 7, 8, 1000000, 1000001, 1000009})
        EXPECT_EQ(ReferenceInRanges(list, ref), ref != 0 && ref != 6 && ref != 8 && ref != 1000009) << ref;
    QString again = text; // the rewritten text reads back as itself
    ASSERT_TRUE(ParseReferenceRanges(again, list));
    EXPECT_EQ(again, text);
    text = "Opbal to Contra, TessalyJnl";
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_EQ(text, "Opbal to Contra,TessalyJnl");
    EXPECT_TRUE(ReferenceInRanges(list, 1000005));
    text = "1 to 3, <all>, 9";
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_TRUE(list.All && list.Ranges.isEmpty() && ReferenceInRanges(list, -1));
    EXPECT_EQ(text, "<All>");
    for (const char* bad : {"1 to x", "abc", "2000000", "-5", "1 to 1000010"}) {
        QString badText = bad;
        EXPECT_FALSE(ParseReferenceRanges(badText, list)) << bad;
        EXPECT_EQ(badText, bad);
        EXPECT_TRUE(list.All) << "a failed parse keeps the list";
    }
    text = "";
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_FALSE(list.All || ReferenceInRanges(list, 1));
}

TEST(Numbers, CentsAndLocalAmounts) {
    // Each row: amount, rate (0: no conversion, only the rounding), expected.
    const double cases[][3] = {{0.125, 0, 0.12},      {0.135, 0, 0.14},    {-0.125, 0, -0.12},
                               {10.004, 0, 10.0},     {110.0, 1.1, 100.0}, {100.0, 3.0, 33.33},
                               {-100.0, 3.0, -33.33}, {50.0, -2.0, 50.0},  {50.0, 0.0, 50.0}};
    for (const auto& c : cases) {
        const double got = c[1] == 0.0 ? RoundToCent(c[0]) : LocalAmount(c[0], c[1]);
        EXPECT_DOUBLE_EQ(got, c[2]) << c[0] << " at " << c[1];
    }
    EXPECT_TRUE(std::isinf(RoundToCent(INFINITY)));
    EXPECT_TRUE(IsZeroMoney(0.009) && IsZeroMoney(-0.009) && !IsZeroMoney(0.01));
    TMoneyTotal seeded(1000.0);
    seeded.Add(-0.01);
    EXPECT_DOUBLE_EQ(seeded.Value(), 999.99);
}
