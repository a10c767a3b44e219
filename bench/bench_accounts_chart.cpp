// Loading and saving a client's accounts chart of 10,000 accounts (a synthetic chart: ten
// branches of a thousand accounts, sub-accounts on two accounts in three, a bank account in every
// thousand with its details and budgets on every account).
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/settings/ProgramParams.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int ChartSize = 10000;

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

    std::unique_ptr<TAccountsChart> SyntheticChart() const {
        auto chart = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        for (int i = 0; i < ChartSize; ++i) {
            auto account = std::make_unique<TAccountDetail>(Format);
            TAccountCode code;
            code.Branch = static_cast<qint16>(i % 10);
            const bool bank = i % 1000 == 0;
            code.Account = static_cast<qint16>(bank ? 2000 + i / 1000 : 100 + i / 10);
            code.SubAccount = static_cast<qint16>(i % 3 == 0 ? -1 : i % 100);
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
            if (chart->AddAccount(std::move(account)) < 0)
                std::abort();
        }
        chart->EnsureSuspenseAccount();
        return chart;
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
    auto chart = Files().SyntheticChart();
    for (auto _ : state) {
        TOptionSet options;
        if (chart->SaveToFile(options) != 0)
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * chart->Count());
}
BENCHMARK(BM_SaveAccountsChart)->Unit(benchmark::kMillisecond);

void BM_LoadAccountsChart(benchmark::State& state) {
    {
        auto chart = Files().SyntheticChart();
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
BENCHMARK(BM_LoadAccountsChart)->Unit(benchmark::kMillisecond);

void BM_BuildAccountsChart(benchmark::State& state) {
    for (auto _ : state) {
        auto chart = Files().SyntheticChart();
        benchmark::DoNotOptimize(chart->Count());
    }
    state.SetItemsProcessed(state.iterations() * ChartSize);
}
BENCHMARK(BM_BuildAccountsChart)->Unit(benchmark::kMillisecond);

} // namespace
