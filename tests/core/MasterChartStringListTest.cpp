#include "core/charts/MasterChartStringList.h"
#include "core/charts/StandardDescription.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

int Sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

std::unique_ptr<TMasterChartItem> Item(const QString& key, const QString& text = QString()) {
    return std::make_unique<TStandardDescription>(key, text);
}

QStringList Keys(const TMasterChartStringList& list) {
    QStringList keys;
    for (int i = 0; i < list.Count(); ++i)
        keys << list.Key(i);
    return keys;
}

const QStringList MixedKeys = {
    QStringLiteral("B10"), QStringLiteral("A9Z"),  QStringLiteral("A001"), QStringLiteral("A1"),
    QStringLiteral("A01"), QStringLiteral("A10"),  QStringLiteral("A2Z"),  QStringLiteral("A3"),
    QStringLiteral("A"),   QStringLiteral("a1b"),  QStringLiteral("A-1"),  QStringLiteral("B9"),
    QStringLiteral("100"), QStringLiteral("1000"), QStringLiteral("99"),   QStringLiteral("A1000000000000"),
};

} // namespace

TEST(ChartKeyCompare, PlainOrderIsCharacterByCharacterWithShorterPrefixFirst) {
    EXPECT_EQ(CompareKeys(QStringLiteral("A10"), QStringLiteral("A9"), false, false), -1);
    EXPECT_EQ(CompareKeys(QStringLiteral("100"), QStringLiteral("1000"), false, false), -1);
    EXPECT_EQ(CompareKeys(QStringLiteral("1000"), QStringLiteral("100"), false, false), 1);
    EXPECT_EQ(CompareKeys(QStringLiteral("gst1"), QStringLiteral("GST1"), false, false), 0);
}

TEST(ChartKeyCompare, NumericOrderComparesDigitRunsByValue) {
    EXPECT_EQ(CompareKeys(QStringLiteral("A9"), QStringLiteral("A10"), true, false), -1);
    EXPECT_EQ(CompareKeys(QStringLiteral("100"), QStringLiteral("1000"), true, false), -1);
    EXPECT_EQ(CompareKeys(QStringLiteral("gst1"), QStringLiteral("GST1"), true, false), 0);
    EXPECT_EQ(CompareKeys(QStringLiteral("GST1"), QStringLiteral("GST2"), true, false), -1);
    EXPECT_EQ(CompareKeys(QStringLiteral("GST2"), QStringLiteral("GST10"), true, false), -1);
    // Equal values written differently stay distinct keys, the plain order deciding.
    EXPECT_EQ(CompareKeys(QStringLiteral("A01"), QStringLiteral("A1"), true, false), -1);
    EXPECT_EQ(CompareKeys(QStringLiteral("A001"), QStringLiteral("A01"), true, false), -1);
    // Runs longer than any integer still compare by value.
    EXPECT_EQ(CompareKeys(QStringLiteral("A99999999999999999999"), QStringLiteral("A100000000000000000000"),
                          true, false),
              -1);
}

TEST(ChartKeyCompare, LettersFoldOverTheWholeCodePage) {
    EXPECT_EQ(CompareKeys(QStringLiteral("caf\u00e9"), QStringLiteral("CAF\u00c9"), false, false), 0);
    EXPECT_EQ(CompareKeys(QStringLiteral("\u00ff"), QStringLiteral("\u0178"), false, false),
              0); // 0xFF and 0x9F
    EXPECT_EQ(CompareKeys(QStringLiteral("\u0161"), QStringLiteral("\u0160"), false, false),
              0); // 0x9A and 0x8A
    EXPECT_NE(CompareKeys(QStringLiteral("\u00df"), QStringLiteral("SS"), false, false), 0);
    // Ordinal over the folded bytes, never the locale's collation.
    EXPECT_EQ(CompareKeys(QStringLiteral("a"), QStringLiteral("Z"), false, false), -1);
    EXPECT_EQ(CompareKeys(QStringLiteral("\u00e9"), QStringLiteral("Z"), false, false), 1);
}

// Sorting and searching need an order in which no three keys go round in a circle; the mixed
// keys include the classic trap A2Z, A3, A10 (each pair ordered differently by the rules of
// text and of numbers).
TEST(ChartKeyCompare, BothOrdersAreTotalOverMixedKeys) {
    for (const bool numeric : {false, true}) {
        for (const QString& a : MixedKeys) {
            EXPECT_EQ(CompareKeys(a, a, numeric, false), 0);
            for (const QString& b : MixedKeys) {
                const int ab = CompareKeys(a, b, numeric, false);
                EXPECT_EQ(Sign(ab), -Sign(CompareKeys(b, a, numeric, false)))
                    << a.toStdString() << " " << b.toStdString();
                if (a.compare(b, Qt::CaseInsensitive) != 0) {
                    EXPECT_NE(ab, 0) << a.toStdString() << " " << b.toStdString();
                }
                for (const QString& c : MixedKeys) {
                    if (ab < 0 && CompareKeys(b, c, numeric, false) < 0) {
                        EXPECT_LT(CompareKeys(a, c, numeric, false), 0)
                            << a.toStdString() << " " << b.toStdString() << " " << c.toStdString();
                    }
                }
            }
        }
    }
}

TEST(ChartKeyCompare, MixedKeysSortAndAreFoundAgain) {
    TMasterChartStringList list;
    list.SetNumericCompare(true);
    for (const QString& key : MixedKeys)
        ASSERT_GE(list.Add(key, Item(key)), 0) << key.toStdString();
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

TEST(ChartKeyCompare, PrefixCompareMatchesTheStartOfAKey) {
    EXPECT_EQ(CompareKeys(QStringLiteral("GST"), QStringLiteral("gst10"), true, true), 0);
    EXPECT_EQ(CompareKeys(QStringLiteral("GST10"), QStringLiteral("GST"), false, true), 0);
    EXPECT_NE(CompareKeys(QStringLiteral("GST2"), QStringLiteral("GST10"), true, true), 0);

    TMasterChartStringList plain;
    for (const char* key : {"100", "1000", "200", "ABC"})
        plain.Add(QString::fromLatin1(key), Item(QString::fromLatin1(key)));
    plain.PrefixCompare = true;
    int index = -1;
    EXPECT_TRUE(plain.Find(QStringLiteral("10"), index));
    EXPECT_EQ(plain.Key(index), QStringLiteral("100"));
    EXPECT_TRUE(plain.Find(QStringLiteral("ab"), index));
    EXPECT_EQ(plain.Key(index), QStringLiteral("ABC"));
    EXPECT_FALSE(plain.Find(QStringLiteral("3"), index));
    EXPECT_EQ(index, 3); // where "3" would go
    // Exact lookups never take a prefix for the key.
    EXPECT_EQ(plain.IndexOf(QStringLiteral("10")), -1);

    // By number the keys that start with "GST1" are not next to each other.
    TMasterChartStringList numeric;
    numeric.SetNumericCompare(true);
    for (const char* key : {"GST2", "GST10", "GST11", "GSTX"})
        numeric.Add(QString::fromLatin1(key), Item(QString::fromLatin1(key)));
    numeric.PrefixCompare = true;
    EXPECT_TRUE(numeric.Find(QStringLiteral("GST1"), index));
    EXPECT_EQ(numeric.Key(index), QStringLiteral("GST10"));
    EXPECT_TRUE(numeric.Find(QStringLiteral("gst"), index));
    EXPECT_EQ(numeric.Key(index), QStringLiteral("GST2"));
    numeric.PrefixCompare = false;
    EXPECT_FALSE(numeric.Find(QStringLiteral("GST1"), index));
    EXPECT_EQ(numeric.Key(index), QStringLiteral("GST2"));
}

TEST(MasterChartStringList, AddRefusesADuplicateKeyAndKeepsTheFirstItem) {
    TMasterChartStringList list;
    ASSERT_EQ(list.Add(QStringLiteral("GST"), Item(QStringLiteral("GST"), QStringLiteral("first"))), 0);
    EXPECT_EQ(list.Add(QStringLiteral("gst"), Item(QStringLiteral("gst"), QStringLiteral("second"))), -1);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Key(0), QStringLiteral("GST"));
    EXPECT_EQ(static_cast<TStandardDescription*>(list.Item(0))->Description, QStringLiteral("first"));
    EXPECT_EQ(list.Key(-1), QString());
    EXPECT_EQ(list.Item(1), nullptr);
}

TEST(MasterChartStringList, RekeyMovesAnEntryAndRefusesATakenKey) {
    TMasterChartStringList list;
    list.SetNumericCompare(true);
    for (const char* key : {"A1", "A2", "A3"})
        list.Add(QString::fromLatin1(key), Item(QString::fromLatin1(key)));
    TMasterChartItem* moved = list.Item(0);

    EXPECT_EQ(list.Rekey(0, QStringLiteral("A10")), 2);
    EXPECT_EQ(Keys(list), QStringList({"A2", "A3", "A10"}));
    EXPECT_EQ(list.Item(2), moved);

    EXPECT_EQ(list.Rekey(2, QStringLiteral("a2")), -1);
    EXPECT_EQ(Keys(list), QStringList({"A2", "A3", "A10"}));
    EXPECT_EQ(list.Rekey(5, QStringLiteral("B")), -1);

    // Same key in other letters: only the text changes.
    EXPECT_EQ(list.Rekey(1, QStringLiteral("a3")), 1);
    EXPECT_EQ(Keys(list), QStringList({"A2", "a3", "A10"}));

    std::unique_ptr<TMasterChartItem> taken = list.Take(0);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->GetKey(), QStringLiteral("A2"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Take(7), nullptr);
}
