#pragma once

#include <QList>
#include <QtGlobal>

// Amounts and quantities accumulated per column (period, week or day, as the caller counts) for
// one account. Cells come into being when written; a cell never written reads as 0.
class TColumnBals {
public:
    explicit TColumnBals(int capacity = 0);

    void Clear();
    void ZeroAll();
    // Number of amount cells.
    int Count() const { return static_cast<int>(Amounts.size()); }

    double GetBalance(int index) const;
    void SetBalance(int index, double amount);
    void AddToBalance(int index, double amount);
    qint32 GetQuantity(int index) const;
    void SetQuantity(int index, qint32 n);
    void AddToQuantity(int index, qint32 n);

    void Assign(const TColumnBals& source);

    QList<double> Amounts;
    QList<qint32> Quantities;
};
