// The keyed list of a chart built from many keys in any order: long lists file keys that arrive
// out of order in blocks, and every index, lookup and the final order must be what inserting the
// keys one by one into one sorted list gives.
#include "core/charts/MasterChartStringList.h"
#include "core/charts/StandardDescription.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The list as one sorted vector of keys: where a key goes is the first place whose key does not
// order before it; a key that compares equal to a listed one is refused.
class TSortedKeys {
public:
    explicit TSortedKeys(bool numeric) : Numeric(numeric) {}
    int Add(const QString& key) {
        const auto at = Place(key);
        if (at != Keys.cend() && CompareKeys(*at, key, Numeric, false) == 0)
            return -1;
        const qsizetype index = at - Keys.cbegin();
        Keys.insert(index, key);
        return static_cast<int>(index);
    }
    int IndexOf(const QString& key) const {
        const auto at = Place(key);
        return at != Keys.cend() && CompareKeys(*at, key, Numeric, false) == 0
                   ? static_cast<int>(at - Keys.cbegin())
                   : -1;
    }
    void Remove(int index) { Keys.erase(Keys.begin() + index); }
    const QStringList& All() const { return Keys; }

private:
    QStringList::const_iterator Place(const QString& key) const {
        return std::lower_bound(Keys.cbegin(), Keys.cend(), key, [this](const QString& a, const QString& b) {
            return CompareKeys(a, b, Numeric, false) < 0;
        });
    }
    bool Numeric;
    QStringList Keys;
};

// Chart-like keys: letters of either case, digit runs of several lengths, separators; some pairs
// differ only in letter case (one is refused) or in leading zeros (both are listed).
QStringList MakeKeys(int count) {
    QStringList keys;
    for (int i = 0; i < count; ++i) {
        const QString letters =
            (i % 3 == 0 ? QStringLiteral("gst") : QStringLiteral("GST")) + QChar(u'A' + i % 5);
        keys << letters + QString::number(i % 700) +
                    (i % 4 == 0 ? QStringLiteral("-0") : QStringLiteral("-")) + QString::number(i / 700);
    }
    for (int i = 0; i < count; i += 50)
        keys << (keys[i].toLower() == keys[i] ? keys[i].toUpper() : keys[i].toLower());
    return keys;
}

QStringList Shuffled(QStringList keys, unsigned seed) {
    std::mt19937 random(seed);
    std::shuffle(keys.begin(), keys.end(), random);
    return keys;
}

QStringList ListKeys(const TMasterChartStringList& list) {
    QStringList keys;
    for (int i = 0; i < list.Count(); ++i)
        keys << list.Key(i);
    return keys;
}

std::unique_ptr<TMasterChartItem> Item(const QString& key) {
    return std::make_unique<TStandardDescription>(key, QStringLiteral("item ") + key);
}

class TChartListBlocksTest : public ::testing::TestWithParam<bool> {};

// Thousands of keys in a shuffled order (and again in reverse order): each Add returns the index
// one-by-one insertion gives, or -1 for a key already held in any letter case; lookups between
// the adds and the final order agree, and each entry keeps its own item.
TEST_P(TChartListBlocksTest, OutOfOrderKeysGoWhereOneByOneInsertionPutsThem) {
    const bool numeric = GetParam();
    const QStringList keys = MakeKeys(3000);
    for (const QStringList& order : {Shuffled(keys, 7), QStringList(keys.rbegin(), keys.rend())}) {
        TMasterChartStringList list;
        list.SetNumericCompare(numeric);
        TSortedKeys expected(numeric);
        int refused = 0;
        int wrongIndexes = 0;
        for (int n = 0; n < order.size(); ++n) {
            const QString& key = order[n];
            const int index = expected.Add(key);
            refused += index < 0 ? 1 : 0;
            wrongIndexes += list.Add(key, Item(key)) == index ? 0 : 1;
            if (n % 97 == 0) {
                // Lookups while the keys are filed in blocks: held, in other letter case, absent.
                ASSERT_EQ(list.Count(), expected.All().size());
                for (const QString& probe :
                     {key, key.toLower(), order[(n * 31) % order.size()], QString("ZZZ")})
                    EXPECT_EQ(list.IndexOf(probe), expected.IndexOf(probe)) << probe.toStdString();
            }
        }
        EXPECT_EQ(wrongIndexes, 0);
        EXPECT_GT(refused, 0) << "the keys include pairs that differ only in letter case";
        ASSERT_EQ(ListKeys(list), expected.All());
        int foreignItems = 0;
        for (int i = 0; i < list.Count(); ++i)
            foreignItems += list.Item(i)->GetKey() == list.Key(i) ? 0 : 1;
        EXPECT_EQ(foreignItems, 0);
    }
}

// Reads by index, Take, Rekey and Find between additions: the list keeps one order throughout.
TEST_P(TChartListBlocksTest, ReadsAndChangesBetweenAdditions) {
    const bool numeric = GetParam();
    const QStringList keys = Shuffled(MakeKeys(2400), 11);
    TMasterChartStringList list;
    list.SetNumericCompare(numeric);
    TSortedKeys expected(numeric);
    for (int n = 0; n < keys.size(); ++n) {
        const int index = expected.Add(keys[n]);
        ASSERT_EQ(list.Add(keys[n], Item(keys[n])), index) << n;
        if (n % 600 != 599)
            continue;
        // Every few hundred keys: read an entry, take one out, file one under a new key.
        const int middle = list.Count() / 2;
        EXPECT_EQ(list.Key(middle), expected.All()[middle]);
        const QString taken = list.Key(middle + 1);
        std::unique_ptr<TMasterChartItem> item = list.Take(middle + 1);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->GetKey(), taken);
        expected.Remove(middle + 1);
        const QString renamed = QStringLiteral("REKEYED%1").arg(n);
        const QString old = list.Key(3);
        expected.Remove(expected.IndexOf(old));
        EXPECT_EQ(list.Rekey(3, renamed), expected.Add(renamed));
    }
    EXPECT_EQ(ListKeys(list), expected.All());
    // A prefix search finds the first key in list order that starts with the text.
    list.PrefixCompare = true;
    int index = -1;
    ASSERT_TRUE(list.Find("rekeyed1", index));
    EXPECT_TRUE(list.Key(index).startsWith("REKEYED1"));
    for (int i = 0; i < index; ++i)
        EXPECT_FALSE(list.Key(i).startsWith("REKEYED1", Qt::CaseInsensitive)) << i;
}

// Switching the compare mode of a long list filed in blocks sorts it anew; Clear empties it.
TEST_P(TChartListBlocksTest, ChangingTheOrderAndClearing) {
    const bool numeric = GetParam();
    const QStringList keys = Shuffled(MakeKeys(1500), 3);
    TMasterChartStringList list;
    list.SetNumericCompare(numeric);
    for (const QString& key : keys)
        list.Add(key, Item(key));
    list.SetNumericCompare(!numeric);
    TSortedKeys expected(!numeric);
    for (const QString& key : keys)
        expected.Add(key);
    EXPECT_EQ(ListKeys(list), expected.All());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.IndexOf(keys.front()), -1);
    for (int i = 0; i < 600; ++i) // each before all the others, after the clear
        EXPECT_EQ(list.Add(QString::number(5000 - i), Item(QString::number(5000 - i))), 0);
    EXPECT_EQ(list.Count(), 600);
}

INSTANTIATE_TEST_SUITE_P(PlainAndNumeric, TChartListBlocksTest, ::testing::Bool());

} // namespace
