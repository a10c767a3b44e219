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
//
// Keys added in order are appended. Keys added out of order to a long list are filed into short
// sorted blocks instead of the one vector, so that building a chart of n keys in any order takes
// n log n rather than n squared; the first access by index (Key, Item, Find, Rekey, Take, Sort)
// joins the blocks into one vector again. Count, IndexOf and Add work on either form, so the
// order, the indexes Add returns and every lookup are the same whatever the form.
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

    int Count() const { return Blocks.empty() ? static_cast<int>(Entries.size()) : BlockTotal; }
    bool IsEmpty() const { return Count() == 0; }

    // Key and item of an entry; an empty text and nullptr for -1 or an index beyond the list.
    QString Key(int index) const;
    // Asked for every account of every transaction a procedure adds up: defined here.
    TMasterChartItem* Item(int index) const {
        if (!Blocks.empty())
            JoinBlocks();
        return index >= 0 && index < static_cast<int>(Entries.size())
                   ? Entries[static_cast<std::size_t>(index)].Item.get()
                   : nullptr;
    }

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
    void Clear();

    // Puts the entries in key order again (after the compare mode changed).
    void Sort();

private:
    // Where a key is, or would go, among the blocks.
    struct TBlockPlace {
        size_t Block = 0;
        int Offset = 0; // within the block
        int Index = 0;  // within the list
        bool Found = false;
    };

    bool InRange(int index) const { return index >= 0 && index < Count(); }
    // Binary search with the exact order, in either form.
    bool Locate(const QString& key, int& index) const;
    // Binary search of one sorted vector.
    bool LocateIn(const std::vector<TEntry>& entries, const QString& key, int& index) const;
    TBlockPlace LocateInBlocks(const QString& key) const;
    // Files a key that is not listed into its block; its index.
    int AddToBlocks(const TBlockPlace& place, const QString& key, std::unique_ptr<TMasterChartItem> item);
    // From the one vector to blocks, and back.
    void SplitIntoBlocks();
    void JoinBlocks() const;
    // The entries before a block, from the running counts.
    int EntriesBefore(size_t block) const;
    void CountInto(size_t block, int delta);
    void RebuildCounts();

    // One vector in key order; empty while the entries are in blocks. Joining the blocks for a
    // read changes only how the same entries are held, so the const reads may do it.
    mutable std::vector<TEntry> Entries;
    // Sorted blocks whose concatenation is in key order, none empty; empty while Entries holds
    // the list.
    mutable std::vector<std::vector<TEntry>> Blocks;
    // The sizes of the blocks as a binary indexed tree (index i + 1 for block i), and their sum.
    std::vector<int> BlockCounts;
    int BlockTotal = 0;
    bool NumericCompare = false;
};
