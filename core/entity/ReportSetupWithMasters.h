#pragma once

#include "core/entity/BasicReportSetup.h"

#include <memory>

// A run's parameters with the year's charts. The charts are the file's own, or with
// PrivateCharts copies that belong to the run: the run may change their working amounts and
// items freely, and they are never written back.
class TReportSetupWithMasters : public TBasicReportSetup {
public:
    // Takes the file's charts of the year. With privateCharts each chart gets a private copy:
    // the file's standard-description, tax-rate and currency-rate charts are first written when
    // unsaved and then loaded afresh from their files; the accounts chart is copied account by
    // account from the file's chart in memory, or loaded from its file when the file holds none
    // for the year.
    TReportSetupWithMasters(const TRunFile& file, int reportType, int processKind, int year,
                            bool privateCharts);
    // Private charts are marked saved and freed without being written.
    ~TReportSetupWithMasters() override;

    bool PrivateCharts = false;
    TAccountsChart* Accounts = nullptr;
    TTaxRateChart* TaxRates = nullptr;
    TStdDescChart* StdDescs = nullptr;
    TCurrConvRatesChart* CurrencyRates = nullptr;

private:
    void MakePrivateCopies();

    std::unique_ptr<TStdDescChart> OwnStdDescs;
    std::unique_ptr<TAccountsChart> OwnAccounts;
    std::unique_ptr<TTaxRateChart> OwnTaxRates;
    std::unique_ptr<TCurrConvRatesChart> OwnCurrencyRates;
};
