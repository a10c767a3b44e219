#include "core/transactions/TransactionDetailPool.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <thread>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define QUILVANE_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define QUILVANE_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define QUILVANE_POISON(address, size) ((void)(address), (void)(size))
#define QUILVANE_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr std::size_t SlotSize = TTransactionDetailPool::SlotSize;
constexpr std::size_t BlockSize = TTransactionDetailPool::BlockSize;

// The head of a block, in its first slot: the freed slots (a list through their first bytes),
// the slots in use and carved so far, and its place in the list of blocks with freed slots.
struct TBlock {
    void* Freed = nullptr;
    std::size_t InUse = 0;
    std::size_t Carved = 1; // the head's own slot
    TBlock* PreviousWithRoom = nullptr;
    TBlock* NextWithRoom = nullptr;
    bool ListedWithRoom = false;
};
static_assert(sizeof(TBlock) <= SlotSize);
constexpr std::size_t SlotsPerBlock = BlockSize / SlotSize;

// One lock for every thread: held for a few instructions at a time (a block asked of or given
// back to the system takes longer, so a waiting thread gives way while it waits).
class TSpinLock {
public:
    void lock() noexcept {
        while (Held.exchange(true, std::memory_order_acquire))
            while (Held.load(std::memory_order_relaxed))
                std::this_thread::yield();
    }
    void unlock() noexcept { Held.store(false, std::memory_order_release); }

private:
    std::atomic<bool> Held{false};
};

struct TPoolState {
    TSpinLock Lock;
    TBlock* Carving = nullptr;  // the block new slots come from
    TBlock* WithRoom = nullptr; // other blocks with freed slots
    TBlock* Reserve = nullptr;  // emptied blocks, linked through NextWithRoom
    std::size_t Blocks = 0;
    std::size_t Reserved = 0;
    std::size_t InUse = 0;
    std::size_t LoadPeak = 0; // the most blocks in use at once since entries last were none
};

TPoolState& State() {
    // Never destroyed: entries may be freed while the program ends.
    static TPoolState* const state = new TPoolState;
    return *state;
}

class TLockHolder {
public:
    explicit TLockHolder(TSpinLock& lock) : Lock(lock) { Lock.lock(); }
    ~TLockHolder() { Lock.unlock(); }
    TLockHolder(const TLockHolder&) = delete;
    TLockHolder& operator=(const TLockHolder&) = delete;

private:
    TSpinLock& Lock;
};

TBlock* NewBlock() {
    // Twice the size, then trimmed to a block on a block boundary, so that a slot's block is found
    // from its address.
    void* mapped = mmap(nullptr, 2 * BlockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + BlockSize - 1) & ~(std::uintptr_t{BlockSize} - 1);
    if (aligned > start)
        munmap(mapped, aligned - start);
    if (const std::uintptr_t end = start + 2 * BlockSize; end > aligned + BlockSize)
        munmap(reinterpret_cast<void*>(aligned + BlockSize), end - aligned - BlockSize);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), BlockSize, MADV_HUGEPAGE);
#endif
    auto* block = new (reinterpret_cast<void*>(aligned)) TBlock;
    QUILVANE_POISON(reinterpret_cast<char*>(aligned) + SlotSize, SlotsPerBlock * SlotSize - SlotSize);
    return block;
}

void GiveBack(TBlock* block) {
    // Memory mapped here later must not find it marked.
    QUILVANE_UNPOISON(block, BlockSize);
    munmap(block, BlockSize);
}

// Gives back reserved blocks until the reserve holds no more than keep.
void GiveBackReserve(TPoolState& state, std::size_t keep) {
    while (state.Reserved > keep) {
        TBlock* surplus = state.Reserve;
        state.Reserve = surplus->NextWithRoom;
        --state.Reserved;
        GiveBack(surplus);
    }
}

// A block from the reserve, made new: carving starts again after its head, and every slot is
// marked unused, as in a block just asked of the system.
TBlock* TakeReserved(TPoolState& state) {
    TBlock* block = state.Reserve;
    state.Reserve = block->NextWithRoom;
    --state.Reserved;
    block = new (static_cast<void*>(block)) TBlock;
    QUILVANE_POISON(reinterpret_cast<char*>(block) + SlotSize, SlotsPerBlock * SlotSize - SlotSize);
    return block;
}

TBlock* BlockOf(void* slot) {
    return reinterpret_cast<TBlock*>(reinterpret_cast<std::uintptr_t>(slot) & ~(std::uintptr_t{BlockSize} - 1));
}

void Unlist(TPoolState& state, TBlock* block) {
    if (!block->ListedWithRoom)
        return;
    (block->PreviousWithRoom ? block->PreviousWithRoom->NextWithRoom : state.WithRoom) = block->NextWithRoom;
    if (block->NextWithRoom)
        block->NextWithRoom->PreviousWithRoom = block->PreviousWithRoom;
    block->PreviousWithRoom = block->NextWithRoom = nullptr;
    block->ListedWithRoom = false;
}

} // namespace

void* TTransactionDetailPool::Allocate(std::size_t size) {
    if (size > SlotSize)
        throw std::bad_alloc();
    TPoolState& state = State();
    const TLockHolder hold(state.Lock);
    TBlock* block = state.Carving;
    if (!block || (!block->Freed && block->Carved == SlotsPerBlock)) {
        if (state.WithRoom) {
            block = state.WithRoom;
            Unlist(state, block);
        } else {
            block = state.Reserve ? TakeReserved(state) : NewBlock();
            state.LoadPeak = std::max(state.LoadPeak, ++state.Blocks);
        }
        state.Carving = block;
    }
    void* slot = nullptr;
    if (block->Freed) {
        slot = block->Freed;
        QUILVANE_UNPOISON(slot, SlotSize);
        block->Freed = *static_cast<void**>(slot);
        QUILVANE_POISON(slot, SlotSize);
    } else {
        slot = reinterpret_cast<char*>(block) + block->Carved++ * SlotSize;
    }
    // Only the object's own bytes are open: a read past its end is caught where the sanitizer runs.
    QUILVANE_UNPOISON(slot, size);
    ++block->InUse;
    ++state.InUse;
    return slot;
}

void TTransactionDetailPool::Release(void* slot) noexcept {
    if (!slot)
        return;
    TPoolState& state = State();
    const TLockHolder hold(state.Lock);
    TBlock* block = BlockOf(slot);
#if defined(__SANITIZE_ADDRESS__)
    // Freed twice: the slot is marked already. Stopped here, as the sanitizer stops a double free.
    if (__asan_address_is_poisoned(slot))
        __builtin_trap();
#endif
    QUILVANE_UNPOISON(slot, sizeof(void*));
    *static_cast<void**>(slot) = block->Freed;
    block->Freed = slot;
    QUILVANE_POISON(slot, SlotSize);
    --block->InUse;
    --state.InUse;
    // An emptied block goes to the reserve; when it was the last entry's, the surplus of the
    // reserve goes back below (and the block may go with it: it is not touched after that).
    const bool emptied = block != state.Carving && block->InUse == 0;
    if (emptied) {
        Unlist(state, block);
        --state.Blocks;
        block->NextWithRoom = state.Reserve;
        state.Reserve = block;
        ++state.Reserved;
    }
    if (state.InUse == 0) {
        // The last entry has gone, and with it a load: the reserve keeps as many blocks as that
        // load had in use at most, or a few, for the next.
        GiveBackReserve(state, std::max(TTransactionDetailPool::ReserveBlocks, state.LoadPeak));
        state.LoadPeak = state.Blocks;
    }
    if (emptied || block == state.Carving)
        return;
    if (!block->ListedWithRoom) {
        block->NextWithRoom = state.WithRoom;
        if (state.WithRoom)
            state.WithRoom->PreviousWithRoom = block;
        state.WithRoom = block;
        block->ListedWithRoom = true;
    }
}

std::size_t TTransactionDetailPool::BlockCount() {
    TPoolState& state = State();
    const TLockHolder hold(state.Lock);
    return state.Blocks;
}

void TTransactionDetailPool::ReleaseReserve() {
    TPoolState& state = State();
    const TLockHolder hold(state.Lock);
    GiveBackReserve(state, 0);
}

std::size_t TTransactionDetailPool::ReservedBlockCount() {
    TPoolState& state = State();
    const TLockHolder hold(state.Lock);
    return state.Reserved;
}

std::size_t TTransactionDetailPool::SlotsInUse() {
    TPoolState& state = State();
    const TLockHolder hold(state.Lock);
    return state.InUse;
}
