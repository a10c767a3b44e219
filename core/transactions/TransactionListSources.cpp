#include "core/transactions/TransactionListSources.h"

#include "core/charts/AccountsChart.h"
#include "core/entity/EntityDetail.h"

TTransactionListSources TransactionListSourcesOf(const TEntityDetail& detail, TAccountsChart* accounts,
                                                 TTaxRateChart* taxRates, TStdDescChart* stdDescs,
                                                 TCurrConvRatesChart* currencyRates) {
    TTransactionListSources sources;
    sources.Entity = detail.ChartEntity();
    sources.Format = detail.AccountFormat;
    sources.Quantity = detail.Quantity;
    sources.Tax = detail.Tax;
    sources.CurrencyConv = detail.CurrencyConv;
    sources.Contras = detail.Contras;
    sources.Accounts = accounts;
    sources.TaxRates = taxRates;
    sources.StdDescs = stdDescs;
    sources.CurrencyRates = currencyRates;
    return sources;
}

TAccountCode SuspenseAccountCode(const TTransactionListSources& sources) {
    return sources.Accounts ? sources.Accounts->GetCodeParts(sources.Accounts->DefaultSuspenseAccount())
                            : TAccountCode::Empty();
}
