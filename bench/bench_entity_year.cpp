// Opening a client file's year and recalculating every account balance from its transactions
// (10,000, 100,000 and 1,000,000 spread over the page kinds 1 to 9 and the twelve months): the
// record is opened and locked, the year's charts loaded, a run block made and every month file of
// the run's page kinds read and accumulated into the accounts chart. Closing the file is not timed.
//
// Reports transactions per second; bytes_per_txn is the heap the open file holds after the run
// per transaction, peak_bytes_per_txn the growth of the process's peak resident memory over the
// run (the recalculation holds one month file of one page kind at a time).
#include "bench/TransactionFileGenerator.h"
#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>

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

// A client file of the generated transactions with a chart of their accounts: postings
// 1000-1899, bank accounts 100-102.
struct TClientFile {
    explicit TClientFile(qint64 count) : Count(count) {
        if (!Folder.isValid())
            Fail("no temporary folder");
        UseBenchProgramParams(Params, Folder.path());
        if (!WriteSyntheticClientRecord(Folder.path()))
            std::abort();
        TSyntheticTransactions files;
        files.DataDir = Folder.path();
        files.FileCode = FileCode;
        WriteSyntheticTransactionFiles(files, count);

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
    QTemporaryDir Folder;
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
};

// One client file at a time: the folder of the last size is removed when the next is made.
TClientFile& ClientFile(qint64 count) {
    static std::unique_ptr<TClientFile> made;
    if (!made || made->Count != count) {
        made.reset();
        made = std::make_unique<TClientFile>(count);
    }
    SetProgramParams(made->Params);
    return *made;
}

void BM_OpenAndRecalculateYear(benchmark::State& state) {
    TClientFile& client = ClientFile(state.range(0));
    double heldPerTransaction = 0.0;
    double peakPerTransaction = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        // Freed heap goes back to the system, so that the run's peak shows in the resident memory.
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        const qint64 residentBefore = StatusBytes("VmRSS");
        ResetPeakMemory();
        state.ResumeTiming();
        auto file = TEntityInfo::Create(FileCode, {Option::Standard, Option::Load});
        file->OpenYear();
        TReportSetup run(file->RunFile(2006), 1, 0, 2006, false);
        run.MovementsOnly = false;
        run.PageKinds = 0x03FE; // payments to bank-statement withdrawals
        // The generated bank accounts lie outside the balance-sheet range of the account format,
        // so they are no bank accounts of the chart: the run takes every bank account instead.
        run.BankGroups.reset();
        if (file->ProcessTransactions(run, nullptr, false, true, true) != 0)
            Fail("recalculation failed");
        state.PauseTiming();
        heldPerTransaction =
            static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(client.Count);
        peakPerTransaction =
            static_cast<double>(StatusBytes("VmHWM") - residentBefore) / static_cast<double>(client.Count);
        // The banks and the first posting account hold the year's movements.
        const TAccountsChart& chart = *run.Accounts;
        for (const qint16 no : {100, 101, 102, 1001}) {
            const TAccountDetail* account = chart.GetAccount(chart.IndexOfCode(TAccountCode{-1, -1, no, -1}));
            if (!account || !account->Used || account->Total == 0.0)
                Fail("an account holds no movements");
        }
        file->Close();
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

} // namespace
