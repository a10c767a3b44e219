#include "core/charts/MasterChartStringList.h"

#include "core/io/Win1252Codec.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// Upper case of every Windows-1252 byte, where the upper-case letter has a byte of its own
// (0xFF "ÿ" becomes 0x9F "Ÿ"; "ß" and "µ" stay as they are).
std::array<unsigned char, 256> BuildUpperTable() {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const QChar c = TWin1252Codec::DecodeChar(static_cast<unsigned char>(b));
        const QChar upper = c.toUpper();
        const char encoded = TWin1252Codec::EncodeChar(upper);
        const bool hasByte = encoded != '?' || upper == QLatin1Char('?');
        table[static_cast<std::size_t>(b)] =
            hasByte ? static_cast<unsigned char>(encoded) : static_cast<unsigned char>(b);
    }
    return table;
}

const std::array<unsigned char, 256>& UpperTable() {
    static const std::array<unsigned char, 256> table = BuildUpperTable();
    return table;
}

// The value a character compares by: its upper-case Windows-1252 byte. A character the code
// page lacks (it could not be stored anyway) sorts after all of them by its own code.
unsigned Fold(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'a' && u <= 'z') ? u - ('a' - 'A') : u;
    const char encoded = TWin1252Codec::EncodeChar(c);
    if (encoded == '?')
        return 0x10000u + u;
    return UpperTable()[static_cast<unsigned char>(encoded)];
}

bool IsDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

int Sign(long long v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Character by character, case folded; a text that is the start of the other comes first.
int PlainCompare(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned fa = Fold(a[i]);
        const unsigned fb = Fold(b[i]);
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

// As PlainCompare, except that where both texts have a run of digits the runs compare by value
// (of any length: leading zeros dropped, then more digits is more, then digit by digit). A run
// set against another character compares by its first digit, so the runs sit where the digits
// sit in the plain order; every pair of texts is ordered consistently.
int NumberAwareCompare(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    const qsizetype na = a.size();
    const qsizetype nb = b.size();
    while (i < na && j < nb) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            qsizetype ea = i;
            while (ea < na && IsDigit(a[ea]))
                ++ea;
            qsizetype eb = j;
            while (eb < nb && IsDigit(b[eb]))
                ++eb;
            while (i < ea - 1 && a[i] == QLatin1Char('0'))
                ++i;
            while (j < eb - 1 && b[j] == QLatin1Char('0'))
                ++j;
            if (ea - i != eb - j)
                return ea - i < eb - j ? -1 : 1;
            for (; i < ea; ++i, ++j)
                if (a[i] != b[j])
                    return a[i] < b[j] ? -1 : 1;
            j = eb;
            continue;
        }
        const unsigned fa = Fold(a[i]);
        const unsigned fb = Fold(b[j]);
        if (fa != fb)
            return fa < fb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    return 0;
}

bool StartsWithFolded(const QString& text, const QString& start) {
    if (start.size() > text.size())
        return false;
    for (qsizetype i = 0; i < start.size(); ++i)
        if (Fold(text[i]) != Fold(start[i]))
            return false;
    return true;
}

} // namespace

int CompareKeys(const QString& a, const QString& b, bool numericCompare, bool prefixCompare) {
    if (prefixCompare && (StartsWithFolded(a, b) || StartsWithFolded(b, a)))
        return 0;
    if (numericCompare) {
        // Equal values written differently (A01, A1) fall back to the plain order.
        const int byValue = NumberAwareCompare(a, b);
        if (byValue != 0)
            return byValue;
    }
    return PlainCompare(a, b);
}

namespace {
// A list of this many entries or fewer takes a key out of order by moving the entries behind it.
constexpr size_t DirectInsertLimit = 512;
// Entries per block when a list is split; a block that grows beyond twice as many is halved.
constexpr size_t BlockEntries = 256;
} // namespace

void TMasterChartStringList::SetNumericCompare(bool value) {
    if (value == NumericCompare)
        return;
    NumericCompare = value;
    Sort();
}

QString TMasterChartStringList::Key(int index) const {
    if (!InRange(index))
        return QString();
    JoinBlocks();
    return Entries[static_cast<std::size_t>(index)].Key;
}

int TMasterChartStringList::Compare(const QString& a, const QString& b) const {
    return CompareKeys(a, b, NumericCompare, PrefixCompare);
}

bool TMasterChartStringList::LocateIn(const std::vector<TEntry>& entries, const QString& key,
                                      int& index) const {
    int low = 0;
    int high = static_cast<int>(entries.size());
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int c = CompareKeys(entries[static_cast<std::size_t>(middle)].Key, key, NumericCompare, false);
        if (c < 0)
            low = middle + 1;
        else if (c > 0)
            high = middle;
        else {
            index = middle;
            return true;
        }
    }
    index = low;
    return false;
}

TMasterChartStringList::TBlockPlace TMasterChartStringList::LocateInBlocks(const QString& key) const {
    // The first block whose last key is not below the key holds it or would take it; past the
    // last block, the end of the last block.
    size_t low = 0;
    size_t high = Blocks.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (CompareKeys(Blocks[middle].back().Key, key, NumericCompare, false) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    TBlockPlace place;
    place.Block = std::min(low, Blocks.size() - 1);
    place.Found = LocateIn(Blocks[place.Block], key, place.Offset);
    place.Index = EntriesBefore(place.Block) + place.Offset;
    return place;
}

bool TMasterChartStringList::Locate(const QString& key, int& index) const {
    if (Blocks.empty()) {
        // A key beyond the last (a chart read in order looks each one up before adding it).
        if (!Entries.empty() && CompareKeys(Entries.back().Key, key, NumericCompare, false) < 0) {
            index = static_cast<int>(Entries.size());
            return false;
        }
        return LocateIn(Entries, key, index);
    }
    const TBlockPlace place = LocateInBlocks(key);
    index = place.Index;
    return place.Found;
}

bool TMasterChartStringList::Find(const QString& key, int& index) const {
    if (Locate(key, index))
        return true;
    if (!PrefixCompare)
        return false;
    JoinBlocks();
    // Every key that starts with the text orders after it. In the plain order they follow it
    // directly; by number they may be spread out (GST1, GST2, GST10), so look further.
    const int last = NumericCompare ? Count() - 1 : std::min(index, Count() - 1);
    for (int i = index; i <= last; ++i) {
        if (StartsWithFolded(Entries[static_cast<std::size_t>(i)].Key, key)) {
            index = i;
            return true;
        }
    }
    return false;
}

int TMasterChartStringList::IndexOf(const QString& key) const {
    int index = -1;
    return Locate(key, index) ? index : -1;
}

int TMasterChartStringList::Add(const QString& key, std::unique_ptr<TMasterChartItem> item) {
    if (Blocks.empty()) {
        // Keys that come in order (a chart read from its file) are appended.
        if (Entries.empty() || CompareKeys(Entries.back().Key, key, NumericCompare, false) < 0) {
            Entries.push_back(TEntry{key, std::move(item)});
            return static_cast<int>(Entries.size()) - 1;
        }
        int index = -1;
        if (LocateIn(Entries, key, index))
            return -1;
        if (Entries.size() < DirectInsertLimit) {
            Entries.insert(Entries.begin() + index, TEntry{key, std::move(item)});
            return index;
        }
        SplitIntoBlocks();
    }
    const TBlockPlace place = LocateInBlocks(key);
    if (place.Found)
        return -1;
    return AddToBlocks(place, key, std::move(item));
}

int TMasterChartStringList::AddToBlocks(const TBlockPlace& place, const QString& key,
                                        std::unique_ptr<TMasterChartItem> item) {
    std::vector<TEntry>& block = Blocks[place.Block];
    block.insert(block.begin() + place.Offset, TEntry{key, std::move(item)});
    ++BlockTotal;
    if (block.size() <= 2 * BlockEntries) {
        CountInto(place.Block, 1);
        return place.Index;
    }
    // A full block is halved; the running counts are made again (once per BlockEntries adds).
    std::vector<TEntry> upper(std::make_move_iterator(block.begin() + BlockEntries),
                              std::make_move_iterator(block.end()));
    block.erase(block.begin() + BlockEntries, block.end());
    Blocks.insert(Blocks.begin() + static_cast<std::ptrdiff_t>(place.Block) + 1, std::move(upper));
    RebuildCounts();
    return place.Index;
}

void TMasterChartStringList::SplitIntoBlocks() {
    Blocks.clear();
    for (size_t first = 0; first < Entries.size(); first += BlockEntries) {
        const size_t last = std::min(first + BlockEntries, Entries.size());
        Blocks.emplace_back(std::make_move_iterator(Entries.begin() + static_cast<std::ptrdiff_t>(first)),
                            std::make_move_iterator(Entries.begin() + static_cast<std::ptrdiff_t>(last)));
    }
    Entries.clear();
    Entries.shrink_to_fit();
    RebuildCounts();
}

void TMasterChartStringList::JoinBlocks() const {
    if (Blocks.empty())
        return;
    Entries.clear();
    Entries.reserve(static_cast<size_t>(BlockTotal));
    for (std::vector<TEntry>& block : Blocks)
        std::move(block.begin(), block.end(), std::back_inserter(Entries));
    Blocks.clear();
}

int TMasterChartStringList::EntriesBefore(size_t block) const {
    int sum = 0;
    for (size_t i = block; i > 0; i &= i - 1)
        sum += BlockCounts[i];
    return sum;
}

void TMasterChartStringList::CountInto(size_t block, int delta) {
    for (size_t i = block + 1; i < BlockCounts.size(); i += i & (~i + 1))
        BlockCounts[i] += delta;
}

void TMasterChartStringList::RebuildCounts() {
    // The tree of the block sizes, made in one pass.
    BlockCounts.assign(Blocks.size() + 1, 0);
    BlockTotal = 0;
    for (size_t i = 1; i < BlockCounts.size(); ++i) {
        const int size = static_cast<int>(Blocks[i - 1].size());
        BlockTotal += size;
        BlockCounts[i] += size;
        const size_t parent = i + (i & (~i + 1));
        if (parent < BlockCounts.size())
            BlockCounts[parent] += BlockCounts[i];
    }
}

int TMasterChartStringList::Rekey(int index, const QString& newKey) {
    if (!InRange(index))
        return -1;
    JoinBlocks();
    int at = -1;
    if (LocateIn(Entries, newKey, at)) {
        if (at != index)
            return -1;
        Entries[static_cast<std::size_t>(index)].Key = newKey;
        return index;
    }
    TEntry entry = std::move(Entries[static_cast<std::size_t>(index)]);
    Entries.erase(Entries.begin() + index);
    if (at > index)
        --at;
    entry.Key = newKey;
    Entries.insert(Entries.begin() + at, std::move(entry));
    return at;
}

std::unique_ptr<TMasterChartItem> TMasterChartStringList::Take(int index) {
    if (!InRange(index))
        return nullptr;
    JoinBlocks();
    std::unique_ptr<TMasterChartItem> item = std::move(Entries[static_cast<std::size_t>(index)].Item);
    Entries.erase(Entries.begin() + index);
    return item;
}

void TMasterChartStringList::Clear() {
    Entries.clear();
    Blocks.clear();
    BlockCounts.clear();
    BlockTotal = 0;
}

void TMasterChartStringList::Sort() {
    JoinBlocks();
    // A stable merge sort of our own: it touches only positions inside the list whatever the
    // comparisons answer.
    const std::size_t n = Entries.size();
    if (n < 2)
        return;
    std::vector<TEntry> scratch(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            const std::size_t middle = std::min(left + width, n);
            const std::size_t right = std::min(left + 2 * width, n);
            std::size_t i = left;
            std::size_t j = middle;
            std::size_t k = left;
            while (i < middle && j < right) {
                if (CompareKeys(Entries[j].Key, Entries[i].Key, NumericCompare, false) < 0)
                    scratch[k++] = std::move(Entries[j++]);
                else
                    scratch[k++] = std::move(Entries[i++]);
            }
            while (i < middle)
                scratch[k++] = std::move(Entries[i++]);
            while (j < right)
                scratch[k++] = std::move(Entries[j++]);
        }
        Entries.swap(scratch);
    }
}
