// Opening a client file's year and recalculating every account balance from its transactions
// (10,000, 100,000 and 1,000,000 spread over the page kinds 1 to 9 and the twelve months): the
// record is opened and locked, the year's charts loaded, a run block made and every month file of
// the run's page kinds read and accumulated into the accounts chart. Closing the file is not timed.
//
// Reports transactions per second; bytes_per_txn is the memory (heap and entry pool) the open file
// holds after the run per transaction, peak_bytes_per_txn the growth of the process's peak
// resident memory over the run (the recalculation holds one month file of one page kind at a time).
//
// BM_FreshProcessOpenAndRecalculateYear does the same in a process of its own, as a user who
// starts the program to recalculate a year meets it: this program is started again with
// "--open-and-recalculate <data folder>" and the time is the wall time from the start to
// the end of that process (program settings, open, charts, recalculation, close). It reports the
// child's page faults (page_faults) and peak resident memory (max_rss_mb).
//
// BM_FreshProcessOpenAndRecalculateSparseYear is that run over a file whose year holds month files
// of the payments, receipts and bank-statement withdrawals only (the count is spread over those
// 36 files): the other 72 month files the run looks for are not there, as in most practices' files.
//
// BM_FreshProcessOpenAndLoadYear times a fresh process ("--open-and-load <data folder>") that
// opens the year and loads the lists of the page kinds 1 to 9 over the whole year, each with the
// processing after its load (dissection totals, monthly contra lines, the list sorted), as
// bench_transaction_files' BM_LoadYear does within one process.
#include "bench/HeldMemory.h"
#include "bench/TransactionFileGenerator.h"
#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionList.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const QString FileCode = QStringLiteral("BEN001");

// A benchmark has no one to tell: it stops with the reason.
[[noreturn]] void Fail(const char* reason) {
    std::fprintf(stderr, "bench_entity_year: %s\n", reason);
    std::abort();
}

// A line "<key>: <n> kB" of /proc/self/status, in bytes; 0 when it cannot be read.
qint64 StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::atoll(line.c_str() + key.size() + 1) * 1024;
    return 0;
}

// Starts the peak resident memory afresh at the current resident memory.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The page kinds a sparse client file keeps month files of.
bool KeptBySparseFile(int kind) {
    return kind == 1 || kind == 2 || kind == 9;
}

// A client file of the generated transactions with a chart of their accounts: postings
// 1000-1899, bank accounts 100-102. A sparse one keeps the month files of three page kinds only,
// the count being spread over them.
struct TClientFile {
    explicit TClientFile(qint64 count, bool sparse = false) : Count(count), Sparse(sparse) {
        if (!Folder.isValid())
            Fail("no temporary folder");
        UseBenchProgramParams(Params, Folder.path());
        if (!WriteSyntheticClientRecord(Folder.path()))
            std::abort();
        TSyntheticTransactions files;
        files.DataDir = Folder.path();
        files.FileCode = FileCode;
        WriteSyntheticTransactionFiles(files, sparse ? count * 3 : count);
        for (int kind = 1; sparse && kind <= 9; ++kind)
            for (int month = 1; month <= 12 && !KeptBySparseFile(kind); ++month)
                if (!QFile::remove(
                        TransactionFileName(files.DataDir, files.FileCode, files.Year, kind, month, {})
                            .replace(u'\\', u'/')))
                    Fail("a month file of a sparse year not removed");

        auto file = TEntityInfo::Create(FileCode, {Option::Standard, Option::Load});
        const TEntityDetail& detail = file->EntityDetail();
        TAccountsChart chart(detail.ChartEntity(), detail.AccountFormat, {Option::Standard}, 2006);
        for (qint16 no = 100; no < 1900; no = no == 102 ? 1000 : no + 1)
            AddAccount(chart, no);
        TOptionSet options{Option::Standard};
        if (chart.SaveToFile(options) != 0)
            Fail("chart not written");
        file->Close();
    }
    static void AddAccount(TAccountsChart& chart, qint16 no) {
        auto account = std::make_unique<TAccountDetail>(chart.Format());
        account->SetCode(TAccountCode{-1, -1, no, -1});
        if (chart.AddAccount(std::move(account)) < 0)
            Fail("account not added");
    }

    qint64 Count;
    bool Sparse;
    QTemporaryDir Folder;
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
};

// One client file at a time: the folder of the last size is removed when the next is made.
TClientFile& ClientFile(qint64 count, bool sparse = false) {
    static std::unique_ptr<TClientFile> made;
    if (!made || made->Count != count || made->Sparse != sparse) {
        made.reset();
        made = std::make_unique<TClientFile>(count, sparse);
    }
    SetProgramParams(made->Params);
    return *made;
}

// Opens the benchmark client's year, recalculates every account from the page kinds 1 to 9 and
// checks that the banks and the first posting account hold the year's movements. The open file is
// handed back for the caller to close.
std::unique_ptr<TEntityInfo> OpenAndRecalculate(std::unique_ptr<TReportSetup>& run) {
    auto file = TEntityInfo::Create(FileCode, {Option::Standard, Option::Load});
    file->OpenYear();
    run = std::make_unique<TReportSetup>(file->RunFile(2006), 1, 0, 2006, false);
    run->MovementsOnly = false;
    run->PageKinds = 0x03FE; // payments to bank-statement withdrawals
    // The generated bank accounts lie outside the balance-sheet range of the account format,
    // so they are no bank accounts of the chart: the run takes every bank account instead.
    run->BankGroups.reset();
    if (file->ProcessTransactions(*run, nullptr, false, true, true) != 0)
        Fail("recalculation failed");
    return file;
}

void CheckMovements(const TReportSetup& run) {
    const TAccountsChart& chart = *run.Accounts;
    for (const qint16 no : {100, 101, 102, 1001}) {
        const TAccountDetail* account = chart.GetAccount(chart.IndexOfCode(TAccountCode{-1, -1, no, -1}));
        if (!account || !account->Used || account->Total == 0.0)
            Fail("an account holds no movements");
    }
}

void BM_OpenAndRecalculateYear(benchmark::State& state) {
    TClientFile& client = ClientFile(state.range(0));
    double heldPerTransaction = 0.0;
    double peakPerTransaction = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        // Freed heap goes back to the system, so that the run's peak shows in the resident memory.
        malloc_trim(0);
        const size_t before = HeldMemoryBytes();
        const qint64 residentBefore = StatusBytes("VmRSS");
        ResetPeakMemory();
        state.ResumeTiming();
        std::unique_ptr<TReportSetup> run;
        auto file = OpenAndRecalculate(run);
        state.PauseTiming();
        heldPerTransaction =
            static_cast<double>(HeldMemoryBytes() - before) / static_cast<double>(client.Count);
        peakPerTransaction =
            static_cast<double>(StatusBytes("VmHWM") - residentBefore) / static_cast<double>(client.Count);
        CheckMovements(*run);
        file->Close();
        run.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * client.Count);
    state.counters["bytes_per_txn"] = heldPerTransaction;
    state.counters["peak_bytes_per_txn"] = peakPerTransaction;
}

BENCHMARK(BM_OpenAndRecalculateYear)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The words that make this program the child of a fresh-process benchmark.
const char* const RecalculateMode = "--open-and-recalculate";
const char* const LoadMode = "--open-and-load";

// Opens the year, loads the lists of the page kinds 1 to 9 over the whole year (period 1 of 1)
// and checks that they hold the year's transactions.
void OpenAndLoad() {
    auto file = TEntityInfo::Create(FileCode, {Option::Standard, Option::Load});
    file->OpenYear();
    const TTransactionListSources sources = file->ListSources(2006);
    std::vector<std::unique_ptr<TTransactionList>> lists;
    for (int kind = 1; kind <= 9; ++kind) {
        lists.push_back(std::make_unique<TTransactionList>(sources, kind, 2006, 1, 1,
                                                           TOptionSet{Option::Load, Option::NoBlankLine}));
        if (lists.back()->Count() == 0)
            Fail("a list of the year is empty");
    }
    for (auto& list : lists)
        list->SetSaved(true);
    lists.clear();
    file->Close();
}

// The child: program settings over the data folder, then the year opened and recalculated (or
// loaded), checked and closed. Returns the exit status.
int RunChild(const char* mode, const char* dataDir) {
    auto params = std::make_shared<TProgramParams>();
    UseBenchProgramParams(params, QString::fromLocal8Bit(dataDir));
    if (std::strcmp(mode, LoadMode) == 0) {
        OpenAndLoad();
        return 0;
    }
    std::unique_ptr<TReportSetup> run;
    auto file = OpenAndRecalculate(run);
    CheckMovements(*run);
    file->Close();
    run.reset();
    return 0;
}

// Runs this program as the child of the mode over the client file, once an iteration.
void RunFreshProcess(benchmark::State& state, const TClientFile& client, const char* mode) {
    const std::string self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe")).toStdString();
    const std::string folder = client.Folder.path().toStdString();
    std::vector<char*> argv{const_cast<char*>(self.c_str()), const_cast<char*>(mode),
                            const_cast<char*>(folder.c_str()), nullptr};
    long faults = 0;
    long maxRss = 0;
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawn(&child, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            Fail("the child could not be started");
        int status = 0;
        rusage usage{};
        if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            Fail("the child failed");
        faults = usage.ru_minflt + usage.ru_majflt;
        maxRss = usage.ru_maxrss;
    }
    state.SetItemsProcessed(state.iterations() * client.Count);
    state.counters["page_faults"] = static_cast<double>(faults);
    state.counters["max_rss_mb"] = static_cast<double>(maxRss) / 1024.0;
}

void BM_FreshProcessOpenAndRecalculateYear(benchmark::State& state) {
    RunFreshProcess(state, ClientFile(state.range(0)), RecalculateMode);
}

BENCHMARK(BM_FreshProcessOpenAndRecalculateYear)
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_FreshProcessOpenAndRecalculateSparseYear(benchmark::State& state) {
    RunFreshProcess(state, ClientFile(state.range(0), true), RecalculateMode);
}

BENCHMARK(BM_FreshProcessOpenAndRecalculateSparseYear)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_FreshProcessOpenAndLoadYear(benchmark::State& state) {
    RunFreshProcess(state, ClientFile(state.range(0)), LoadMode);
}

BENCHMARK(BM_FreshProcessOpenAndLoadYear)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], RecalculateMode) == 0 || std::strcmp(argv[1], LoadMode) == 0))
        return RunChild(argv[1], argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
