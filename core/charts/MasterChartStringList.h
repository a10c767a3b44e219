#pragma once

#include "core/charts/MasterChartItem.h"

#include <QString>
#include <memory>
#include <vector>

// Orders two chart keys; -1, 0 or 1. Letters compare without regard to case (Windows-1252 upper
// case, ordinal, the same on every workstation), so "gst1" and "GST1" are one key.
//
// Plain order: character by character; a key that is the start of another comes first
// ("100" before "1000").
// NumericCompare: a run of digits compares by its value wherever both keys have one at the same
// place, so codes that share a prefix order by their number (GST1, GST2, GST10; A9 before A10).
// Runs of equal value written differently (A01, A1) are told apart by the plain order of the
// whole texts (A01 first).
// PrefixCompare: a key equal to the start of the other compares 0. Only searching uses it.
//
// Both orders are total: sorting and searching agree for any mixture of keys.
int CompareKeys(const QString& a, const QString& b, bool numericCompare, bool prefixCompare);

// The keys of a chart in key order, each with the item it owns. Duplicate keys (as CompareKeys
// without PrefixCompare sees them) are refused, so no item can hide another.
class TMasterChartStringList {
public:
    struct TEntry {
        QString Key;
        std::unique_ptr<TMasterChartItem> Item;
    };

    TMasterChartStringList() = default;
    TMasterChartStringList(const TMasterChartStringList&) = delete;
    TMasterChartStringList& operator=(const TMasterChartStringList&) = delete;

    // Codes that share a non-digit start order by their number. Changing it re-sorts the list.
    bool GetNumericCompare() const { return NumericCompare; }
    void SetNumericCompare(bool value);
    // Find treats a key that starts with the searched text as a match.
    bool PrefixCompare = false;

    int Count() const { return static_cast<int>(Entries.size()); }
    bool IsEmpty() const { return Entries.empty(); }

    // Key and item of an entry; an empty text and nullptr for -1 or an index beyond the list.
    QString Key(int index) const;
    TMasterChartItem* Item(int index) const;

    // CompareKeys with this list's modes.
    int Compare(const QString& a, const QString& b) const;

    // Searches for a key. Returns whether it was found and in `index` the position of the match,
    // or the position where the key would go. With PrefixCompare the match is the first entry
    // in list order whose key starts with the text.
    bool Find(const QString& key, int& index) const;

    // Position of the exact key (PrefixCompare does not apply); -1 when it is not listed.
    int IndexOf(const QString& key) const;

    // Adds an item under a key in key order and returns its index. -1 when the key is already
    // listed: the list keeps its entry and the given item is freed.
    int Add(const QString& key, std::unique_ptr<TMasterChartItem> item);

    // Files an entry under a new key and returns its new index. -1, with nothing changed,
    // when the index is outside the list or another entry holds the key. The same key in other
    // letter case only changes the text.
    int Rekey(int index, const QString& newKey);

    // Removes an entry and gives its item back to the caller; nullptr outside the list.
    std::unique_ptr<TMasterChartItem> Take(int index);

    // Removes every entry, freeing the items.
    void Clear() { Entries.clear(); }

    // Puts the entries in key order again (after the compare mode changed).
    void Sort();

private:
    bool InRange(int index) const { return index >= 0 && index < Count(); }
    // Binary search with the exact order.
    bool Locate(const QString& key, int& index) const;

    std::vector<TEntry> Entries;
    bool NumericCompare = false;
};
