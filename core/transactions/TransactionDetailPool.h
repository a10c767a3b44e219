#pragma once

#include <cstddef>

// The memory of transaction entries. A year's lists hold a million entries of one size, each made
// and freed on its own: they are carved from blocks of 2 MiB (asked of the system as huge pages
// where it gives them), so that a fresh process meets a few hundred page faults rather than tens
// of thousands, and a freed entry's place is taken by the next. A block whose entries are all
// freed goes back to the system, but for the one entries are being carved from. Any thread may
// make and free entries.
class TTransactionDetailPool {
public:
    // Room for one object of size bytes (SlotSize or fewer), aligned for any object; throws
    // std::bad_alloc for a larger size or when the system has no memory to give.
    static void* Allocate(std::size_t size);
    // Gives back room that Allocate handed out.
    static void Release(void* slot) noexcept;

    // The size of every slot (a multiple of 16) and of a block.
    static constexpr std::size_t SlotSize = 144;
    static constexpr std::size_t BlockSize = std::size_t{2} << 20;
    // The blocks held and the slots in use, for tests.
    static std::size_t BlockCount();
    static std::size_t SlotsInUse();
};
