#include "core/entity/ReportSetupWithMasters.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/entity/EntityDetail.h"

namespace {

// Writes the file's chart when it holds changes, so that the private copy read from disk
// matches it.
void WriteWhenUnsaved(TMasterChart* chart) {
    if (!chart)
        return;
    TOptionSet options{Option::Standard};
    chart->SaveIfModified(options);
}

// A private chart is never written: it is marked saved and its saves are refused.
void Seal(TMasterChart* chart) {
    if (!chart)
        return;
    chart->Saved = true;
    chart->BlockSave();
}

} // namespace

TReportSetupWithMasters::TReportSetupWithMasters(const TRunFile& file, int reportType, int processKind,
                                                 int year, bool privateCharts)
    : TBasicReportSetup(file, reportType, processKind, year), PrivateCharts(privateCharts) {
    if (PrivateCharts) {
        MakePrivateCopies();
        return;
    }
    Accounts = file.Accounts;
    TaxRates = file.TaxRates;
    StdDescs = file.StdDescs;
    CurrencyRates = file.CurrencyRates;
}

TReportSetupWithMasters::~TReportSetupWithMasters() {
    // The tax rates refer to the accounts and the accounts to the descriptions: free in the
    // reverse order of making.
    for (TMasterChart* chart : std::initializer_list<TMasterChart*>{OwnCurrencyRates.get(), OwnTaxRates.get(),
                                                                    OwnAccounts.get(), OwnStdDescs.get()})
        Seal(chart);
    OwnCurrencyRates.reset();
    OwnTaxRates.reset();
    OwnAccounts.reset();
    OwnStdDescs.reset();
}

void TReportSetupWithMasters::MakePrivateCopies() {
    const TChartEntity entity = Detail->ChartEntity();
    const TOptionSet load{Option::Standard, Option::Load};
    const TAccountFormat* format = Detail->AccountFormat;

    WriteWhenUnsaved(Source.StdDescs);
    OwnStdDescs = std::make_unique<TStdDescChart>(entity, load, Year);
    Seal(OwnStdDescs.get());

    if (Source.Accounts) {
        OwnAccounts = std::make_unique<TAccountsChart>(entity, Source.Accounts->Format(), TOptionSet{}, Year,
                                                       QString(), OwnStdDescs.get());
        // Each copy keeps its account's date added: copying reads no clock.
        for (int i = 0; i < Source.Accounts->Count(); ++i)
            OwnAccounts->AddAccount(
                TAccountDetail::CopyOf(Source.Accounts->Format(), *Source.Accounts->GetAccount(i), false));
    } else {
        OwnAccounts =
            std::make_unique<TAccountsChart>(entity, format, load, Year, QString(), OwnStdDescs.get());
    }
    Seal(OwnAccounts.get());

    WriteWhenUnsaved(Source.TaxRates);
    OwnTaxRates =
        std::make_unique<TTaxRateChart>(entity, OwnAccounts.get(), OwnAccounts->Format(), load, Year);
    Seal(OwnTaxRates.get());

    WriteWhenUnsaved(Source.CurrencyRates);
    OwnCurrencyRates = std::make_unique<TCurrConvRatesChart>(entity, load, Year);
    Seal(OwnCurrencyRates.get());

    Accounts = OwnAccounts.get();
    TaxRates = OwnTaxRates.get();
    StdDescs = OwnStdDescs.get();
    CurrencyRates = OwnCurrencyRates.get();
}
