#pragma once

#include "core/transactions/TransactionDetail.h"

#include <QString>
#include <vector>

// One entry of the per-account lists that a transaction-detail run fills: a copy of the entry and
// the key under which the report orders it ("%.0f%d%d" of date, reference and page kind). Entries
// with equal keys are all kept.
//
// Amount is what the run added to this list's account: the entry's amount converted to the file's
// currency when the run converts, with money in (receipts, sales journals, deposits) negative, and
// negated once more on the bank account's side (BankSide), so that a ledger adds the amounts of
// an account's lists to its opening balance and reaches the balance a plain recalculation gives.
struct TKeyedTransaction {
    QString Key;
    TTransactionDetail Entry;
    double Amount = 0.0;
    bool BankSide = false;
};

// The per-account lists, indexed as the run's accounts chart.
using TAccountTransactionLists = std::vector<std::vector<TKeyedTransaction>>;
