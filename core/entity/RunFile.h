#pragma once

#include <memory>

class TAccountsChart;
class TBankRecOpeningDetailChart;
class TCurrConvRatesChart;
class TEntityDetail;
class TEntityInfo;
class TStdDescChart;
class TTaxRateChart;

// What a run takes of an open client file for one financial year: the file, its detail record
// and the charts the file holds for the year (null where it holds none). None of it is owned by
// the run. BankRecOpening is the file's own slot for the year's bank-reconciliation opening
// chart: a bank-reconciliation run fills it when it is empty and empties it again when it ends.
struct TRunFile {
    TEntityInfo* Info = nullptr;
    TEntityDetail* Detail = nullptr;
    TAccountsChart* Accounts = nullptr;
    TTaxRateChart* TaxRates = nullptr;
    TStdDescChart* StdDescs = nullptr;
    TCurrConvRatesChart* CurrencyRates = nullptr;
    std::unique_ptr<TBankRecOpeningDetailChart>* BankRecOpening = nullptr;
};
