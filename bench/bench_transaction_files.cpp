// Loading and saving a year of transactions (10,000, 100,000 and 1,000,000 spread over the page
// kinds 1 to 9 and the twelve months): one list per page kind over a period of the whole year, as
// the open file makes them, each load with the processing the program does after it (dissection
// totals rebuilt, monthly contra lines made, the list sorted). Reports transactions per second and
// the memory each loaded transaction holds (list entry from the entry pool and its slot in the
// list on the heap, generated lines included). Each run after the first loads the year again
// after the lists of the one before are freed, as a year closed and opened again.
#include "bench/HeldMemory.h"
#include "bench/TransactionFileGenerator.h"
#include "core/accounts/AccountFormat.h"
#include "core/common/OptionSet.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace {

struct TYearFiles {
    explicit TYearFiles(qint64 count) : Count(count) {
        if (!Folder.isValid())
            std::abort();
        Files.DataDir = Folder.path();
        Files.FileCode = QStringLiteral("BEN001");
        Bytes = WriteSyntheticTransactionFiles(Files, count);
        Sources.Entity.FileCode = Files.FileCode;
        Sources.Entity.DataDir = Files.DataDir;
        Sources.Entity.AccFormatID = QStringLiteral("QUILVANE");
        Sources.Entity.EndMonth = Files.EndMonth;
        Sources.Format = &Format;
    }
    // The lists of every page kind of the files, over the whole year (period 1 of 1).
    // With processing off, only the reading of the files is measured.
    std::vector<std::unique_ptr<TTransactionList>> Load(bool processing = true) const {
        TOptionSet options{Option::Load, Option::NoBlankLine};
        if (!processing)
            options.Include(Option::NoLoadProcessing);
        std::vector<std::unique_ptr<TTransactionList>> lists;
        for (int kind = 1; kind <= 9; ++kind)
            lists.push_back(std::make_unique<TTransactionList>(Sources, kind, Files.Year, 1, 1, options));
        return lists;
    }
    qint64 Count;
    qint64 Bytes = 0;
    TAccountFormat Format{QStringLiteral("QUILVANE"), QStringLiteral("BB-AAAA-SS"), QString(), QString()};
    QTemporaryDir Folder;
    TSyntheticTransactions Files;
    TTransactionListSources Sources;
};

const TYearFiles& YearFiles(qint64 count) {
    static std::map<qint64, std::unique_ptr<TYearFiles>> made;
    auto& files = made[count];
    if (!files)
        files = std::make_unique<TYearFiles>(count);
    return *files;
}

// The stored transactions the lists hold: the lines a load adds beside them (contra lines and
// dissection totals) are not counted.
qint64 Loaded(const std::vector<std::unique_ptr<TTransactionList>>& lists) {
    qint64 total = 0;
    for (const auto& list : lists) {
        if (list->LoadStatus() != 0)
            std::abort();
        for (int i = 0; i < list->Count(); ++i)
            if (!list->GetItem(i)->HasAnyFlag({TransactionFlag::Contra, TransactionFlag::DissectionTotal}))
                ++total;
    }
    return total;
}

void LoadYear(benchmark::State& state, bool processing) {
    const TYearFiles& files = YearFiles(state.range(0));
    double bytesPerTransaction = 0.0;
    for (auto _ : state) {
        const size_t before = HeldMemoryBytes();
        auto lists = files.Load(processing);
        const size_t after = HeldMemoryBytes();
        state.PauseTiming();
        if (Loaded(lists) != files.Count)
            std::abort();
        bytesPerTransaction = static_cast<double>(after - before) / static_cast<double>(files.Count);
        lists.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * files.Count);
    state.SetBytesProcessed(state.iterations() * files.Bytes);
    state.counters["bytes_per_txn"] = bytesPerTransaction;
}

void BM_LoadYear(benchmark::State& state) {
    LoadYear(state, true);
}

// The files read as they stand: no totals, contras or sorting after the load.
void BM_ReadYear(benchmark::State& state) {
    LoadYear(state, false);
}

void BM_SaveYear(benchmark::State& state) {
    const TYearFiles& files = YearFiles(state.range(0));
    auto lists = files.Load();
    for (auto _ : state) {
        for (const auto& list : lists) {
            TOptionSet options;
            if (list->SaveToFile(options, false, true) != 0)
                std::abort();
        }
    }
    state.SetItemsProcessed(state.iterations() * files.Count);
    state.SetBytesProcessed(state.iterations() * files.Bytes);
}

BENCHMARK(BM_LoadYear)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadYear)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveYear)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
