// Loading, saving and building a client's accounts chart of 10,000 and 40,000 accounts (a
// synthetic chart: ten branches of a thousand or four thousand accounts, sub-accounts on two
// accounts in three, a bank account in every thousand with its details and budgets on every
// account). Building adds the accounts one by one in the order of their numbers, so that each
// branch's accounts arrive between the others' (not in chart order); loading reads them in chart
// order from the file. The accounts are made as the program makes the accounts of one build
// (TAccountsChart::TNewAccounts), copied as it copies a chart (TAccountDetail::CopyOf), and the
// accounts a loaded page lacks are added by the page's own repair.
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct TBenchFiles {
    TBenchFiles() {
        if (!Folder.isValid() || !QDir(Folder.path()).mkpath(QStringLiteral("M_DETAIL")))
            std::abort();
        auto params = std::make_shared<TProgramParams>();
        params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
        SetProgramParams(params);
        Entity.FileCode = QStringLiteral("BEN001");
        Entity.EntityType = QStringLiteral("NSP");
        Entity.DataDir = Folder.path();
        Entity.ProgramDataDir = Folder.path();
        Entity.AccFormatID = QStringLiteral("QUILVANE");
        Format = ProgramParams().FindAccountFormat(Entity.AccFormatID);
        if (!Format)
            std::abort();
    }

    // The code of synthetic account i: ten branches, banks from 9000 (above every other
    // account number of up to 89,000 accounts), sub-accounts on two accounts in three.
    static TAccountCode SyntheticCode(int i) {
        TAccountCode code;
        code.Branch = static_cast<qint16>(i % 10);
        code.Account = static_cast<qint16>(IsSyntheticBank(i) ? 9000 + i / 1000 : 100 + i / 10);
        code.SubAccount = static_cast<qint16>(i % 3 == 0 ? -1 : i % 100);
        return code;
    }
    static bool IsSyntheticBank(int i) { return i % 1000 == 0; }

    // The accounts of the synthetic chart, in the order they are added: the new accounts of one
    // build, made the program's way.
    std::vector<std::unique_ptr<TAccountDetail>> SyntheticAccounts(int size) const {
        std::vector<std::unique_ptr<TAccountDetail>> accounts;
        accounts.reserve(static_cast<size_t>(size));
        TAccountsChart::TNewAccounts build(Format);
        for (int i = 0; i < size; ++i) {
            auto account = build.Make();
            const TAccountCode code = SyntheticCode(i);
            const bool bank = IsSyntheticBank(i);
            account->SetCode(code);
            account->Code2 = code;
            account->Description = QStringLiteral("Synthetic account number %1").arg(i);
            account->DeriveAccountType(bank ? QStringLiteral("BNK") : QStringLiteral("ACC"));
            if (account->BankDetails) {
                account->BankDetails->BankName = QStringLiteral("Westpac");
                account->BankDetails->AccountNumber = QString::number(100000 + i);
                account->BankDetails->CurrencyCode = QStringLiteral("AUD");
            }
            for (int slot = 1; slot <= 12; ++slot)
                account->SetBudget(slot, i + slot * 10);
            accounts.push_back(std::move(account));
        }
        return accounts;
    }

    // A chart of the accounts, added one by one, with its suspense account.
    std::unique_ptr<TAccountsChart> BuildChart(std::vector<std::unique_ptr<TAccountDetail>> accounts) const {
        auto chart = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        for (auto& account : accounts)
            if (chart->AddAccount(std::move(account)) < 0)
                std::abort();
        chart->EnsureSuspenseAccount();
        return chart;
    }

    std::unique_ptr<TAccountsChart> SyntheticChart(int size) const {
        return BuildChart(SyntheticAccounts(size));
    }

    QTemporaryDir Folder;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
};

TBenchFiles& Files() {
    static TBenchFiles files;
    return files;
}

void BM_SaveAccountsChart(benchmark::State& state) {
    auto chart = Files().SyntheticChart(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TOptionSet options;
        if (chart->SaveToFile(options) != 0)
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * chart->Count());
}
BENCHMARK(BM_SaveAccountsChart)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_LoadAccountsChart(benchmark::State& state) {
    {
        auto chart = Files().SyntheticChart(static_cast<int>(state.range(0)));
        TOptionSet options;
        if (chart->SaveToFile(options) != 0)
            std::abort();
    }
    int count = 0;
    for (auto _ : state) {
        TAccountsChart chart(Files().Entity, Files().Format, TOptionSet{}, 2006);
        if (chart.LoadFromFile(TOptionSet{Option::MustExist}) != 0)
            state.SkipWithError("load failed");
        count = chart.Count();
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_LoadAccountsChart)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// The accounts are made before the clock runs and the chart is freed after it stops: only the
// adding is timed.
void BM_BuildAccountsChart(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto accounts = Files().SyntheticAccounts(size);
        state.ResumeTiming();
        auto chart = Files().BuildChart(std::move(accounts));
        benchmark::DoNotOptimize(chart->Count());
        state.PauseTiming();
        chart.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_BuildAccountsChart)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// New accounts made one at a time, as the account editor and a page's repair make them: each is
// stamped with the clock's reading of its own. Freeing them is not timed.
void BM_MakeSingleNewAccounts(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<TAccountDetail>> accounts;
    accounts.reserve(static_cast<size_t>(size));
    for (auto _ : state) {
        for (int i = 0; i < size; ++i)
            accounts.push_back(std::make_unique<TAccountDetail>(Files().Format));
        benchmark::DoNotOptimize(accounts.back()->DateAdded);
        state.PauseTiming();
        accounts.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_MakeSingleNewAccounts)->Arg(40000)->Unit(benchmark::kMillisecond);

// Making the accounts and adding them, both timed: what a chart of new accounts costs.
void BM_CreateAndBuildAccountsChart(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto chart = Files().SyntheticChart(size);
        benchmark::DoNotOptimize(chart->Count());
        state.PauseTiming();
        chart.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_CreateAndBuildAccountsChart)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// A private copy of a whole chart, account by account, as the bring-forward wizard and the report
// setups make one; freeing the copy is not timed.
void BM_CopyAccountsChart(benchmark::State& state) {
    const auto source = Files().SyntheticChart(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto copy = std::make_unique<TAccountsChart>(Files().Entity, Files().Format, TOptionSet{}, 2006);
        for (int i = 0; i < source->Count(); ++i)
            copy->AddAccount(TAccountDetail::CopyOf(source->Format(), *source->GetAccount(i), false));
        benchmark::DoNotOptimize(copy->Count());
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * source->Count());
}
BENCHMARK(BM_CopyAccountsChart)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// A loaded page of payments, one from the default bank per synthetic code, whose chart holds
// only the suspense account: the page's repair adds every other account. Only the repair is
// timed. Each lookup between two adds joins the chart's key blocks again, which makes the repair
// grow with the square of the accounts it adds: 10,000 only.
void BM_RepairAddsAccountsOfALoadedPage(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    TBenchFiles& files = Files();
    for (auto _ : state) {
        state.PauseTiming();
        TAccountsChart chart(files.Entity, files.Format, TOptionSet{}, 2006);
        chart.EnsureSuspenseAccount();
        const TTransactionListSources sources{files.Entity, files.Format, false,   false,  false, 2,
                                              &chart,       nullptr,      nullptr, nullptr};
        auto page = std::make_unique<TTransactionList>(sources, pkPayments, 2006, 9, 12, TOptionSet{});
        const TAccountCode bank = TBenchFiles::SyntheticCode(0);
        for (int i = 1; i < size; ++i) {
            auto entry = std::make_unique<TTransactionDetail>(i, static_cast<qint16>(pkPayments));
            entry->BankCode = bank;
            entry->PostingCode = TBenchFiles::SyntheticCode(i);
            entry->Flags = 1;
            page->AddTransaction(std::move(entry), 9);
        }
        state.ResumeTiming();
        page->RepairAccounts();
        benchmark::DoNotOptimize(chart.Count());
        state.PauseTiming();
        if (chart.Count() < size)
            state.SkipWithError("accounts missing");
        page.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_RepairAddsAccountsOfALoadedPage)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
