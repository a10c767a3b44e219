#pragma once

#include "core/transactions/TransactionDetail.h"

#include <QString>
#include <vector>

// One entry of the per-account lists that a transaction-detail run fills: a copy of the entry and
// the key under which the report orders it ("%.0f%d%d" of date, reference and page kind). Entries
// with equal keys are all kept.
struct TKeyedTransaction {
    QString Key;
    TTransactionDetail Entry;
};

// The per-account lists, indexed as the run's accounts chart.
using TAccountTransactionLists = std::vector<std::vector<TKeyedTransaction>>;
