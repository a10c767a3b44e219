#pragma once

#include <QtGlobal>

#include <cstddef>
#include <vector>

// Transaction IDs or dissection numbers to small non-negative numbers, for the passes over a whole
// list: open addressing over a table of a power-of-two size kept at most half full, so that a
// million entries take no heap node each. Grows as numbers are added.
class TTransactionIdTable {
public:
    // Room for about `expected` keys before the table first grows.
    explicit TTransactionIdTable(size_t expected = 0) { Reset(SizeFor(expected)); }

    // The number held for the key; -1 when none is.
    int Find(qint32 key) const {
        for (size_t at = Home(key);; at = Next(at)) {
            if (Values[at] < 0)
                return -1;
            if (Keys[at] == key)
                return Values[at];
        }
    }

    // Holds the number (0 or more) for the key unless the key has one already; the number held.
    int Insert(qint32 key, int value) {
        for (size_t at = Home(key);; at = Next(at)) {
            if (Values[at] < 0) {
                Keys[at] = key;
                Values[at] = value;
                if (++Held * 2 > Keys.size())
                    Grow();
                return value;
            }
            if (Keys[at] == key)
                return Values[at];
        }
    }

private:
    static int SizeFor(size_t expected) {
        int bits = 4;
        while ((size_t{1} << bits) < expected * 2)
            ++bits;
        return bits;
    }
    void Reset(int bits) {
        Bits = bits;
        Held = 0;
        Keys.assign(size_t{1} << bits, 0);
        Values.assign(size_t{1} << bits, -1);
    }
    void Grow() {
        std::vector<qint32> keys;
        std::vector<int> values;
        keys.swap(Keys);
        values.swap(Values);
        Reset(Bits + 1);
        for (size_t at = 0; at < keys.size(); ++at)
            if (values[at] >= 0)
                Insert(keys[at], values[at]);
    }
    size_t Home(qint32 key) const {
        // Fibonacci hashing: keys that differ in their low digits land far apart.
        return static_cast<size_t>((quint64{static_cast<quint32>(key)} * 0x9E3779B97F4A7C15ull) >>
                                   (64 - Bits));
    }
    size_t Next(size_t at) const { return (at + 1) & (Keys.size() - 1); }

    int Bits = 4;
    size_t Held = 0;
    std::vector<qint32> Keys;
    std::vector<int> Values;
};
