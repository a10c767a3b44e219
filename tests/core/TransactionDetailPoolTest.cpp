// The pool the memory of transaction entries comes from.
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionDetailPool.h"

#include <QList>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <random>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using TEntries = std::vector<std::unique_ptr<TTransactionDetail>>;

constexpr size_t SlotsPerBlock = TTransactionDetailPool::BlockSize / TTransactionDetailPool::SlotSize - 1;

TEntries MakeEntries(size_t count, qint32 firstID) {
    TEntries entries;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<TTransactionDetail>(firstID + static_cast<qint32>(i), 3);
        entry->Amount = static_cast<double>(i);
        entry->SetDetails(QStringLiteral("Entry %1").arg(i));
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Every entry still holds what it was made with.
int Damaged(const TEntries& entries, qint32 firstID) {
    int damaged = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TTransactionDetail& entry = *entries[i];
        damaged += entry.ID == firstID + static_cast<qint32>(i) && entry.PageKind == 3 &&
                           entry.Amount == static_cast<double>(i) &&
                           entry.Details() == QStringLiteral("Entry %1").arg(i)
                       ? 0
                       : 1;
    }
    return damaged;
}

TEST(TransactionDetailPool, EntriesTakeSlotsOfTheirOwnAndGiveThemBack) {
    const size_t inUse = TTransactionDetailPool::SlotsInUse();
    TEntries entries = MakeEntries(1000, 1);
    EXPECT_EQ(TTransactionDetailPool::SlotsInUse(), inUse + 1000);
    std::vector<std::uintptr_t> places;
    for (const auto& entry : entries)
        places.push_back(reinterpret_cast<std::uintptr_t>(entry.get()));
    std::sort(places.begin(), places.end());
    for (size_t i = 0; i < places.size(); ++i) {
        EXPECT_EQ(places[i] % 16, 0u) << i;
        if (i > 0) {
            EXPECT_GE(places[i] - places[i - 1], TTransactionDetailPool::SlotSize) << i;
        }
    }
    EXPECT_EQ(Damaged(entries, 1), 0);
    entries.clear();
    EXPECT_EQ(TTransactionDetailPool::SlotsInUse(), inUse);
}

TEST(TransactionDetailPool, AFreedSlotIsTakenByTheNextEntry) {
    auto first = std::make_unique<TTransactionDetail>(1, 1);
    const TTransactionDetail* place = first.get();
    first.reset();
    auto second = std::make_unique<TTransactionDetail>(2, 1);
    EXPECT_EQ(second.get(), place);
    EXPECT_EQ(std::tuple(second->ID, second->Dissection, second->Rate), std::tuple(2, -1, 1.0));
}

TEST(TransactionDetailPool, ASizeBeyondTheSlotIsRefused) {
    EXPECT_THROW(TTransactionDetailPool::Allocate(TTransactionDetailPool::SlotSize + 1), std::bad_alloc);
    void* slot = TTransactionDetailPool::Allocate(TTransactionDetailPool::SlotSize);
    ASSERT_NE(slot, nullptr);
    TTransactionDetailPool::Release(slot);
    TTransactionDetailPool::Release(nullptr);
}

// Entries kept by value (in Qt's lists, which make them in place, or in standard vectors) stay in
// their container's memory.
TEST(TransactionDetailPool, EntriesKeptByValueTakeNoSlot) {
    const size_t inUse = TTransactionDetailPool::SlotsInUse();
    QList<TTransactionDetail> list;
    std::vector<TTransactionDetail> vector;
    for (qint32 id = 1; id <= 100; ++id) {
        list.append(TTransactionDetail(id, 2));
        vector.emplace_back(id, 2);
    }
    EXPECT_EQ(TTransactionDetailPool::SlotsInUse(), inUse);
    EXPECT_EQ(std::tuple(list.size(), list.back().ID, vector.back().PageKind), std::tuple(100, 100, 2));
}

// Blocks whose entries are all freed leave the blocks in use, in whatever order the entries go;
// the block entries are carved from stays, as may one the entries of other tests hold.
TEST(TransactionDetailPool, EmptiedBlocksGoBackInEveryOrderOfFreeing) {
    enum TOrder { Forward, Backward, Shuffled, Interleaved };
    for (const TOrder order : {Forward, Backward, Shuffled, Interleaved}) {
        SCOPED_TRACE(order);
        const size_t blocks = TTransactionDetailPool::BlockCount();
        const size_t inUse = TTransactionDetailPool::SlotsInUse();
        TEntries entries = MakeEntries(3 * SlotsPerBlock + 10, 100);
        EXPECT_GE(TTransactionDetailPool::BlockCount(), blocks + 3);
        std::vector<size_t> freeing(entries.size());
        for (size_t i = 0; i < freeing.size(); ++i)
            freeing[i] = i;
        if (order == Backward)
            std::reverse(freeing.begin(), freeing.end());
        if (order == Shuffled)
            std::shuffle(freeing.begin(), freeing.end(), std::mt19937(5));
        if (order == Interleaved) // every other entry, then the rest, new entries made between
            std::stable_partition(freeing.begin(), freeing.end(), [](size_t i) { return i % 2 == 0; });
        const size_t half = freeing.size() / 2;
        for (size_t i = 0; i < half; ++i)
            entries[freeing[i]].reset();
        // Made while half are free: they take freed slots, so no block is added.
        const size_t blocksAtHalf = TTransactionDetailPool::BlockCount();
        TEntries between = MakeEntries(1000, 900000);
        EXPECT_LE(TTransactionDetailPool::BlockCount(), blocksAtHalf);
        EXPECT_EQ(Damaged(between, 900000), 0);
        for (size_t i = half; i < freeing.size(); ++i)
            entries[freeing[i]].reset();
        between.clear();
        EXPECT_EQ(TTransactionDetailPool::SlotsInUse(), inUse);
        EXPECT_LE(TTransactionDetailPool::BlockCount(), blocks + 1);
    }
}

// The blocks that entries are in, by address.
std::set<std::uintptr_t> BlocksOf(const TEntries& entries) {
    std::set<std::uintptr_t> blocks;
    for (const auto& entry : entries)
        blocks.insert(reinterpret_cast<std::uintptr_t>(entry.get()) &
                      ~(TTransactionDetailPool::BlockSize - 1));
    return blocks;
}

size_t MappedBlocks() {
    return TTransactionDetailPool::BlockCount() + TTransactionDetailPool::ReservedBlockCount();
}

// A year's entries freed leave their blocks in reserve, and the year loaded again takes the same
// blocks: none is asked of the system. A smaller load after it leaves the reserve at what it used,
// or a few blocks, and the program's end gives the reserve back.
TEST(TransactionDetailPool, AYearLoadedAgainTakesTheBlocksItHad) {
    using Pool = TTransactionDetailPool;
    ASSERT_EQ(Pool::SlotsInUse(), 0u);
    Pool::ReleaseReserve();
    TEntries year = MakeEntries(8 * SlotsPerBlock, 10);
    const std::set<std::uintptr_t> blocks = BlocksOf(year);
    const size_t peak = MappedBlocks();
    year.clear();
    EXPECT_GE(Pool::ReservedBlockCount(), 7u);
    EXPECT_EQ(MappedBlocks(), peak);
    for (int load = 0; load < 2; ++load) {
        year = MakeEntries(8 * SlotsPerBlock, 10);
        const std::set<std::uintptr_t> again = BlocksOf(year);
        EXPECT_TRUE(std::includes(blocks.begin(), blocks.end(), again.begin(), again.end()));
        EXPECT_EQ(MappedBlocks(), peak);
        EXPECT_EQ(Damaged(year, 10), 0);
        year.clear();
        EXPECT_EQ(MappedBlocks(), peak);
    }
    // While another list stays open (its entry in place of one of the year's), blocks emptied are
    // kept too.
    auto open = std::make_unique<TTransactionDetail>(1, 1);
    year = MakeEntries(8 * SlotsPerBlock - 1, 10);
    year.clear();
    EXPECT_EQ(MappedBlocks(), peak);
    open.reset();
    TEntries small = MakeEntries(2 * SlotsPerBlock, 20);
    EXPECT_EQ(MappedBlocks(), peak);
    small.clear();
    EXPECT_EQ(Pool::ReservedBlockCount(), Pool::ReserveBlocks);
    Pool::ReleaseReserve();
    EXPECT_EQ(Pool::ReservedBlockCount(), 0u);
    EXPECT_LE(Pool::BlockCount(), 1u);
}

// Threads make and free entries at once: none is handed out twice, none is damaged.
TEST(TransactionDetailPool, ThreadsMakeAndFreeEntriesTogether) {
    const size_t inUse = TTransactionDetailPool::SlotsInUse();
    constexpr int Threads = 4;
    std::vector<int> damaged(Threads, -1);
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([t, &damaged] {
            int found = 0;
            for (int round = 0; round < 5; ++round) {
                const qint32 first = (t * 10 + round) * 100000;
                TEntries entries = MakeEntries(4000 + static_cast<size_t>(t) * 500, first);
                for (size_t i = 0; i < entries.size(); i += 3)
                    entries[i].reset();
                for (size_t i = 0; i < entries.size(); i += 3)
                    entries[i] = std::make_unique<TTransactionDetail>(first + static_cast<qint32>(i), 3);
                for (size_t i = 0; i < entries.size(); i += 3) {
                    entries[i]->Amount = static_cast<double>(i);
                    entries[i]->SetDetails(QStringLiteral("Entry %1").arg(i));
                }
                found += Damaged(entries, first);
            }
            damaged[static_cast<size_t>(t)] = found;
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(damaged, std::vector<int>(Threads, 0));
    EXPECT_EQ(TTransactionDetailPool::SlotsInUse(), inUse);
    // Entries made on one thread and freed on others, while this one makes more.
    std::vector<TEntries> handed(Threads);
    for (int t = 0; t < Threads; ++t)
        handed[static_cast<size_t>(t)] = MakeEntries(SlotsPerBlock / 2, t * 100000);
    threads.clear();
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&handed, t] { handed[static_cast<size_t>(t)].clear(); });
    TEntries meanwhile = MakeEntries(SlotsPerBlock, 5000000);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(Damaged(meanwhile, 5000000), 0);
    meanwhile.clear();
    EXPECT_EQ(TTransactionDetailPool::SlotsInUse(), inUse);
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>

namespace {
// Where the sanitizer runs, an entry read after it is freed, read past its end or freed twice
// stops the program as it would on the general heap.
// A block in the reserve keeps every slot marked, and one taken from it opens only the entries it
// hands out, each to its own end.
TEST(TransactionDetailPool, ReservedBlocksKeepTheirMarks) {
    auto open = std::make_unique<TTransactionDetail>(1, 1);
    TEntries entries = MakeEntries(3 * SlotsPerBlock, 1);
    const std::uintptr_t block = reinterpret_cast<std::uintptr_t>(entries[entries.size() / 2].get()) &
                                 ~(TTransactionDetailPool::BlockSize - 1);
    const auto inBlock = [block](const TEntries& list) {
        std::vector<const char*> places;
        for (const auto& entry : list)
            if ((reinterpret_cast<std::uintptr_t>(entry.get()) & ~(TTransactionDetailPool::BlockSize - 1)) ==
                block)
                places.push_back(reinterpret_cast<const char*>(entry.get()));
        return places;
    };
    const std::vector<const char*> freed = inBlock(entries);
    entries.clear();
    ASSERT_GE(TTransactionDetailPool::ReservedBlockCount(), 1u);
    for (const char* place : freed)
        ASSERT_TRUE(__asan_address_is_poisoned(place));
    entries = MakeEntries(3 * SlotsPerBlock, 1);
    const std::vector<const char*> reused = inBlock(entries);
    EXPECT_FALSE(reused.empty());
    for (const char* place : reused) {
        EXPECT_EQ(__asan_region_is_poisoned(const_cast<char*>(place), sizeof(TTransactionDetail)), nullptr);
        EXPECT_TRUE(__asan_address_is_poisoned(place + sizeof(TTransactionDetail)));
    }
    EXPECT_EQ(Damaged(entries, 1), 0);
}

TEST(TransactionDetailPoolDeathTest, MisuseOfAFreedEntryIsCaught) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto entry = std::make_unique<TTransactionDetail>(1, 1);
            const TTransactionDetail* freed = entry.get();
            entry.reset();
            volatile double amount = freed->Amount;
            (void)amount;
        },
        "use-after-poison");
    EXPECT_DEATH(
        {
            auto entry = std::make_unique<TTransactionDetail>(1, 1);
            volatile const char* end = reinterpret_cast<const char*>(entry.get()) + sizeof(TTransactionDetail);
            volatile char past = *end;
            (void)past;
        },
        "use-after-poison");
    EXPECT_DEATH(
        {
            TTransactionDetail* volatile entry = new TTransactionDetail(1, 1);
            TTransactionDetail* const first = entry;
            delete first;
            TTransactionDetail* const again = entry;
            delete again;
        },
        "");
}
} // namespace
#endif
