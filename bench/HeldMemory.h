#pragma once

#include "core/transactions/TransactionDetailPool.h"

#include <cstddef>
#include <malloc.h>

// The memory the program holds for its data: the heap in use and the entry pool's slots in use
// (the entries of transaction lists live in the pool, not on the heap).
inline std::size_t HeldMemoryBytes() {
    return mallinfo2().uordblks + TTransactionDetailPool::SlotsInUse() * TTransactionDetailPool::SlotSize;
}
