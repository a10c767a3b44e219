#pragma once

#include <cstddef>

// The memory of transaction entries. A year's lists hold a million entries of one size, each made
// and freed on its own: they are carved from blocks of 2 MiB (asked of the system as huge pages
// where it gives them), so that a fresh process meets a few hundred page faults rather than tens
// of thousands, and a freed entry's place is taken by the next. A block whose entries are all
// freed is kept in reserve for the next entries, so that a year closed and opened again does not
// have its memory cleared by the system once more. A load runs from the first entry made to the
// last one freed: while it runs every emptied block is kept, and when it ends the reserve keeps as
// many blocks as the load had in use at most (ReserveBlocks when that is more) and gives back the
// rest: the pool holds no more blocks than the running load or the one before it needed at once
// (or ReserveBlocks). The program gives the reserve back when its last list has gone
// (ReleaseReserve). Any thread may make and free entries.
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
    // The emptied blocks kept after a load of fewer blocks.
    static constexpr std::size_t ReserveBlocks = 4;
    // Gives every reserved block back to the system.
    static void ReleaseReserve();
    // The blocks that hold entries or are being carved, the emptied blocks kept in reserve, and
    // the slots in use.
    static std::size_t BlockCount();
    static std::size_t ReservedBlockCount();
    static std::size_t SlotsInUse();
};
