#pragma once

#include <cstddef>

// The memory of transaction entries. A year's lists hold a million entries of one size, each made
// and freed on its own: they are carved from blocks of 2 MiB (asked of the system as huge pages
// where it gives them), so that a fresh process meets a few hundred page faults rather than tens
// of thousands, and a freed entry's place is taken by the next. A block whose entries are all
// freed is kept in reserve for the next entries, so that a year closed and opened again does not
// have its memory cleared by the system once more. While any entry lives every emptied block is
// kept, so the pool holds no more blocks than its entries once needed at the same time (or
// ReserveBlocks beside the block being carved, when that is more); when the last entry goes (the
// program's last list has gone) all but ReserveBlocks of the kept blocks go back to the system.
// Any thread may make and free entries.
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
    // The emptied blocks kept once no entry lives.
    static constexpr std::size_t ReserveBlocks = 4;
    // The blocks that hold entries or are being carved, the emptied blocks kept in reserve, and
    // the slots in use.
    static std::size_t BlockCount();
    static std::size_t ReservedBlockCount();
    static std::size_t SlotsInUse();
};
