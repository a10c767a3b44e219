#include "core/accounts/ColumnBals.h"

// A negative column is no column: it reads as 0 and takes no writes.

TColumnBals::TColumnBals(int capacity) {
    if (capacity > 0) {
        Amounts.reserve(capacity);
        Quantities.reserve(capacity);
    }
}

void TColumnBals::Clear() {
    Amounts.clear();
    Quantities.clear();
}

void TColumnBals::ZeroAll() {
    Amounts.fill(0.0);
    Quantities.fill(0);
}

double TColumnBals::GetBalance(int index) const {
    return index >= 0 && index < Amounts.size() ? Amounts[index] : 0.0;
}

void TColumnBals::SetBalance(int index, double amount) {
    if (index < 0)
        return;
    if (index >= Amounts.size())
        Amounts.resize(qsizetype(index) + 1, 0.0);
    Amounts[index] = amount;
}

void TColumnBals::AddToBalance(int index, double amount) {
    SetBalance(index, GetBalance(index) + amount);
}

qint32 TColumnBals::GetQuantity(int index) const {
    return index >= 0 && index < Quantities.size() ? Quantities[index] : 0;
}

void TColumnBals::SetQuantity(int index, qint32 n) {
    if (index < 0)
        return;
    if (index >= Quantities.size())
        Quantities.resize(qsizetype(index) + 1, 0);
    Quantities[index] = n;
}

void TColumnBals::AddToQuantity(int index, qint32 n) {
    SetQuantity(index, static_cast<qint32>(qint64(GetQuantity(index)) + n));
}

void TColumnBals::Assign(const TColumnBals& source) {
    if (&source == this)
        return;
    Clear();
    // Quantities are read cell by cell, so a source with fewer quantity cells gives 0 for the rest.
    for (int i = 0; i < source.Count(); ++i) {
        SetBalance(i, source.GetBalance(i));
        SetQuantity(i, source.GetQuantity(i));
    }
}
