#pragma once

#include "core/accounts/AccountCode.h"
#include "core/charts/ChartEntity.h"

class TAccountFormat;
class TAccountsChart;
class TCurrConvRatesChart;
class TStdDescChart;
class TTaxRateChart;

// What a transaction list needs of its open file: the settings of the file's detail record that
// the list reads, and the year's four charts. Nothing here is owned; the open file keeps the
// record and the charts alive for as long as its lists. Lists made in tests fill in only what
// they use; a missing chart reads as an empty one.
struct TTransactionListSources {
    TChartEntity Entity; // file code, folders, account format code, currency, year-end month
    const TAccountFormat* Format = nullptr; // the file's account format
    bool Quantity = false;                  // the quantity column is kept
    bool Tax = false;                       // tax codes are kept and tax lines generated
    bool CurrencyConv = false;              // amounts may be in another currency
    int Contras = 2;                        // contra lines per 0 day, 1 week, 2 month; others none
    TAccountsChart* Accounts = nullptr;
    TTaxRateChart* TaxRates = nullptr;
    TStdDescChart* StdDescs = nullptr;
    TCurrConvRatesChart* CurrencyRates = nullptr;
};

// The code of the accounts chart's default suspense account; the empty code without a chart.
TAccountCode SuspenseAccountCode(const TTransactionListSources& sources);
// The account format codes are read by: the accounts chart's, else the file's.
const TAccountFormat* CodeFormat(const TTransactionListSources& sources);
// Whether a code lies inside the balance-sheet or the suspense range; a format naming neither
// restricts nothing.
bool InBalanceSheetOrSuspense(const TTransactionListSources& sources, const TAccountCode& code);
