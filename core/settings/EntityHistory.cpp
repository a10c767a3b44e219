#include "core/settings/EntityHistory.h"

int TEntityHistory::IndexOf(const QString& code) const {
    for (qsizetype i = 0; i < Entries.size(); ++i)
        if (Entries[i].Code.compare(code, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

void TEntityHistory::Append(const QString& code, TPreviousEntityStatus status) {
    Entries.append({code, status});
}

void TEntityHistory::Insert(int index, const QString& code, TPreviousEntityStatus status) {
    Entries.insert(qBound(0, index, Count()), {code, status});
}

void TEntityHistory::RemoveAt(int index) {
    if (index >= 0 && index < Count())
        Entries.removeAt(index);
}

QStringList TEntityHistory::Codes() const {
    QStringList codes;
    for (const TEntry& entry : Entries)
        codes.append(entry.Code);
    return codes;
}
