#include "core/charts/MasterChartStringList.h"
#include "core/charts/StandardDescription.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<TMasterChartItem> Item(const QString& key) {
    return std::make_unique<TStandardDescription>(key, key);
}

void Fill(TMasterChartStringList& list, const QStringList& keys, bool numeric) {
    list.SetNumericCompare(numeric);
    for (const QString& key : keys)
        EXPECT_GE(list.Add(key, Item(key)), 0) << key.toStdString();
}

QStringList Keys(const TMasterChartStringList& list) {
    QStringList keys;
    for (int i = 0; i < list.Count(); ++i)
        keys << list.Key(i);
    return keys;
}

const QStringList MixedKeys = {"B10", "A9Z", "A001", "A1", "A01", "A10",  "A2Z", "A3",
                               "A",   "a1b", "A-1",  "B9", "100", "1000", "99",  "A1000000000000"};

} // namespace

TEST(ChartKeyCompare, PlainNumericAndPrefixOrders) {
    const struct {
        QString A;
        QString B;
        bool Numeric;
        bool Prefix;
        int Expected;
    } cases[] = {
        {"A10", "A9", false, false, -1},
        {"100", "1000", false, false, -1},
        {"1000", "100", false, false, 1},
        {"gst1", "GST1", false, false, 0},
        {"A9", "A10", true, false, -1},
        {"100", "1000", true, false, -1},
        {"gst1", "GST1", true, false, 0},
        {"GST2", "GST10", true, false, -1},
        // Equal values written differently stay distinct keys, the plain order deciding.
        {"A01", "A1", true, false, -1},
        {"A001", "A01", true, false, -1},
        // Runs longer than any integer still compare by value.
        {"A99999999999999999999", "A100000000000000000000", true, false, -1},
        // Letters fold over the whole code page, ordinal over the folded bytes.
        {"caf\u00e9", "CAF\u00c9", false, false, 0},
        {"\u00ff", "\u0178", false, false, 0}, // 0xFF and 0x9F
        {"\u0161", "\u0160", false, false, 0}, // 0x9A and 0x8A
        {"\u00df", "SS", false, false, 1},
        {"a", "Z", false, false, -1},
        {"\u00e9", "Z", false, false, 1},
        // A prefix compares equal only when asked for.
        {"GST", "gst10", true, true, 0},
        {"GST10", "GST", false, true, 0},
        {"GST2", "GST10", true, true, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareKeys(c.A, c.B, c.Numeric, c.Prefix), c.Expected)
            << c.A.toStdString() << " " << c.B.toStdString() << " " << c.Numeric;
}

// Sorting and searching need an order in which no three keys go round in a circle; the mixed
// keys include the trap A2Z, A3, A10 (each pair ordered differently by text and by number).
TEST(ChartKeyCompare, BothOrdersAreTotalOverMixedKeys) {
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const bool numeric : {false, true}) {
        for (const QString& a : MixedKeys) {
            for (const QString& b : MixedKeys) {
                const int ab = CompareKeys(a, b, numeric, false);
                EXPECT_EQ(sign(ab), -sign(CompareKeys(b, a, numeric, false)))
                    << a.toStdString() << b.toStdString();
                EXPECT_EQ(ab == 0, a == b) << a.toStdString() << " " << b.toStdString();
                for (const QString& c : MixedKeys)
                    EXPECT_TRUE(ab >= 0 || CompareKeys(b, c, numeric, false) >= 0 ||
                                CompareKeys(a, c, numeric, false) < 0)
                        << a.toStdString() << b.toStdString() << c.toStdString();
            }
        }
    }
}

TEST(MasterChartStringList, MixedKeysSortAndAreFoundAgain) {
    TMasterChartStringList list;
    Fill(list, MixedKeys, true);
    EXPECT_EQ(Keys(list), QStringList({"99", "100", "1000", "A", "A-1", "A001", "A01", "A1", "a1b", "A2Z",
                                       "A3", "A9Z", "A10", "A1000000000000", "B9", "B10"}));
    for (const QString& key : MixedKeys)
        EXPECT_EQ(list.Key(list.IndexOf(key.toLower())), key);

    // Switching to the plain order re-sorts, and every key is still found.
    list.SetNumericCompare(false);
    EXPECT_EQ(Keys(list), QStringList({"100", "1000", "99", "A", "A-1", "A001", "A01", "A1", "A10",
                                       "A1000000000000", "a1b", "A2Z", "A3", "A9Z", "B10", "B9"}));
    for (const QString& key : MixedKeys)
        EXPECT_EQ(list.Key(list.IndexOf(key)), key);
}

TEST(MasterChartStringList, PrefixSearchFindsTheFirstKeyStartingWithTheText) {
    TMasterChartStringList plain;
    Fill(plain, {"100", "1000", "200", "ABC"}, false);
    plain.PrefixCompare = true;
    int index = -1;
    EXPECT_TRUE(plain.Find(QStringLiteral("10"), index));
    EXPECT_EQ(plain.Key(index), QStringLiteral("100"));
    EXPECT_TRUE(plain.Find(QStringLiteral("ab"), index));
    EXPECT_EQ(plain.Key(index), QStringLiteral("ABC"));
    EXPECT_FALSE(plain.Find(QStringLiteral("3"), index));
    EXPECT_EQ(index, 3);                                // where "3" would go
    EXPECT_EQ(plain.IndexOf(QStringLiteral("10")), -1); // exact lookups never take a prefix

    // By number the keys that start with "GST1" are not next to each other.
    TMasterChartStringList numeric;
    Fill(numeric, {"GST2", "GST10", "GST11", "GSTX"}, true);
    numeric.PrefixCompare = true;
    EXPECT_TRUE(numeric.Find(QStringLiteral("GST1"), index));
    EXPECT_EQ(numeric.Key(index), QStringLiteral("GST10"));
    EXPECT_TRUE(numeric.Find(QStringLiteral("gst"), index));
    EXPECT_EQ(numeric.Key(index), QStringLiteral("GST2"));
    numeric.PrefixCompare = false;
    EXPECT_FALSE(numeric.Find(QStringLiteral("GST1"), index));
    EXPECT_EQ(numeric.Key(index), QStringLiteral("GST2"));
}

TEST(MasterChartStringList, AddRekeyAndTake) {
    TMasterChartStringList list;
    Fill(list, {"A1", "A2", "A3"}, true);
    TMasterChartItem* first = list.Item(0);
    EXPECT_EQ(list.Add(QStringLiteral("a1"), Item(QStringLiteral("a1"))), -1); // the first stays
    EXPECT_EQ(list.Item(0), first);
    EXPECT_EQ(list.Key(-1), QString());
    EXPECT_EQ(list.Item(3), nullptr);

    EXPECT_EQ(list.Rekey(0, QStringLiteral("A10")), 2);
    EXPECT_EQ(Keys(list), QStringList({"A2", "A3", "A10"}));
    EXPECT_EQ(list.Item(2), first);
    EXPECT_EQ(list.Rekey(2, QStringLiteral("a2")), -1);
    EXPECT_EQ(list.Rekey(3, QStringLiteral("B")), -1);
    EXPECT_EQ(Keys(list), QStringList({"A2", "A3", "A10"}));
    EXPECT_EQ(list.Rekey(1, QStringLiteral("a3")), 1); // other letters: only the text changes
    EXPECT_EQ(list.Rekey(0, QStringLiteral("A0")), 0);
    EXPECT_EQ(Keys(list), QStringList({"A0", "a3", "A10"}));

    const std::unique_ptr<TMasterChartItem> taken = list.Take(2);
    EXPECT_EQ(taken.get(), first);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Take(7), nullptr);
}
