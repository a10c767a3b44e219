#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

// A reference table: rows kept in the order of their codes. Codes compare without regard to
// case (the reference-data file is edited by hand and its keys are case-insensitive anyway), so
// "aud" and "AUD" are one code. Adding a code that is already listed is ignored: the first row
// read wins. The list owns its rows.
template <typename TRow> class TSortedCodeList {
public:
    TSortedCodeList() = default;
    TSortedCodeList(TSortedCodeList&&) noexcept = default;
    TSortedCodeList& operator=(TSortedCodeList&&) noexcept = default;
    TSortedCodeList(const TSortedCodeList&) = delete;
    TSortedCodeList& operator=(const TSortedCodeList&) = delete;

    int Count() const { return static_cast<int>(Entries.size()); }
    bool IsEmpty() const { return Entries.empty(); }

    // Adds a row under its code; false (and the row dropped) when the code is already listed.
    bool Add(const QString& code, std::unique_ptr<TRow> row) {
        const auto [index, found] = Locate(code);
        if (found)
            return false;
        Entries.insert(Entries.begin() + index, TEntry{code, std::move(row)});
        return true;
    }

    // Position of the code in code order; -1 when it is not listed.
    int IndexOf(const QString& code) const {
        const auto [index, found] = Locate(code);
        return found ? index : -1;
    }

    bool Contains(const QString& code) const { return IndexOf(code) >= 0; }

    // The row of a code; nullptr when it is not listed.
    TRow* Find(const QString& code) const {
        const int index = IndexOf(code);
        return index < 0 ? nullptr : Entries[static_cast<std::size_t>(index)].Row.get();
    }

    // Code and row at a position; an empty code and nullptr outside the list.
    QString Code(int index) const {
        return InRange(index) ? Entries[static_cast<std::size_t>(index)].Code : QString();
    }
    TRow* Row(int index) const {
        return InRange(index) ? Entries[static_cast<std::size_t>(index)].Row.get() : nullptr;
    }

    QStringList Codes() const {
        QStringList codes;
        codes.reserve(Count());
        for (const TEntry& entry : Entries)
            codes.append(entry.Code);
        return codes;
    }

    void Clear() { Entries.clear(); }

    static int CompareCodes(const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive);
    }

private:
    struct TEntry {
        QString Code;
        std::unique_ptr<TRow> Row;
    };

    bool InRange(int index) const { return index >= 0 && index < Count(); }

    // Binary search: the position of the code, or where it would go, and whether it is there.
    std::pair<int, bool> Locate(const QString& code) const {
        int low = 0;
        int high = Count() - 1;
        while (low <= high) {
            const int middle = low + (high - low) / 2;
            const int order = CompareCodes(Entries[static_cast<std::size_t>(middle)].Code, code);
            if (order == 0)
                return {middle, true};
            if (order < 0)
                low = middle + 1;
            else
                high = middle - 1;
        }
        return {low, false};
    }

    std::vector<TEntry> Entries;
};
