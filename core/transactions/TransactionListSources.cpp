#include "core/transactions/TransactionListSources.h"

#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/charts/AccountsChart.h"

namespace {

const TAccountGroup* RangeOf(const TAccountFormat* format, const QString& rangeType) {
    return format ? format->GetRangeGroup(format->IndexOfRangeType(rangeType)) : nullptr;
}

} // namespace

TAccountCode SuspenseAccountCode(const TTransactionListSources& sources) {
    return sources.Accounts ? sources.Accounts->GetCodeParts(sources.Accounts->DefaultSuspenseAccount())
                            : TAccountCode::Empty();
}

const TAccountFormat* CodeFormat(const TTransactionListSources& books) {
    if (books.Accounts && books.Accounts->Format())
        return books.Accounts->Format();
    return books.Format;
}

bool InBalanceSheetOrSuspense(const TTransactionListSources& books, const TAccountCode& code) {
    const TAccountFormat* format = CodeFormat(books);
    const TAccountGroup* balanceSheet = RangeOf(format, AccountTypeCode::BalanceSheet);
    const TAccountGroup* suspense = RangeOf(format, AccountTypeCode::Suspense);
    if (!balanceSheet && !suspense)
        return true;
    return (balanceSheet && balanceSheet->Contains(code)) || (suspense && suspense->Contains(code));
}
