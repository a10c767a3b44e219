#include "core/transactions/TransactionListSources.h"

#include "core/charts/AccountsChart.h"

TAccountCode SuspenseAccountCode(const TTransactionListSources& sources) {
    return sources.Accounts ? sources.Accounts->GetCodeParts(sources.Accounts->DefaultSuspenseAccount())
                            : TAccountCode::Empty();
}
