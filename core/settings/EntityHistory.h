#pragma once

#include "core/settings/PreviousEntityStatus.h"

#include <QList>
#include <QString>
#include <QStringList>

// The recently used client files, most recent first: each file code with its status. Codes
// compare without regard to case.
class TEntityHistory {
public:
    struct TEntry {
        QString Code;
        TPreviousEntityStatus Status;
        friend bool operator==(const TEntry&, const TEntry&) = default;
    };

    // The most files the history keeps.
    static constexpr int MaxEntries = 20;

    int Count() const { return static_cast<int>(Entries.size()); }
    bool IsEmpty() const { return Entries.isEmpty(); }
    const TEntry& operator[](int index) const { return Entries[index]; }
    TEntry& operator[](int index) { return Entries[index]; }
    QList<TEntry>::const_iterator begin() const { return Entries.cbegin(); }
    QList<TEntry>::const_iterator end() const { return Entries.cend(); }

    // The position of a code; -1 when it is not listed.
    int IndexOf(const QString& code) const;
    bool Contains(const QString& code) const { return IndexOf(code) >= 0; }
    void Append(const QString& code, TPreviousEntityStatus status);
    void Insert(int index, const QString& code, TPreviousEntityStatus status);
    void RemoveAt(int index);
    void Clear() { Entries.clear(); }
    // The codes in order.
    QStringList Codes() const;

private:
    QList<TEntry> Entries;
};
