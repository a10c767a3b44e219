// The account look-ups of a transaction list, and the procedures over the whole list that use them.
#include "core/transactions/TransactionList.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/CurrencyConvRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/services/Services.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionListGridText.h"
#include "core/util/FlagSets.h"
#include "core/util/References.h"
#include "core/util/TextMacros.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/SmallVocabulary.h"

#include <algorithm>
#include <optional>

// ---- Account look-ups ---------------------------------------------------------------------------

int TTransactionList::AccountIndexOf(const TAccountCode& code) const {
    return Books.Accounts ? Books.Accounts->IndexOfCode(code) : -1;
}

bool TTransactionList::IsBankAccountCode(const TAccountCode& code) const {
    const int index = AccountIndexOf(code);
    return index >= 0 && Books.Accounts->GetAccount(index)->BankDetails != nullptr;
}

int TTransactionList::DefaultBankOrSuspenseAccount() const {
    if (!Books.Accounts)
        return -1;
    const int bank = Books.Accounts->DefaultBankAccount();
    return bank >= 0 ? bank : Books.Accounts->DefaultSuspenseAccount();
}

TAccountCode TTransactionList::CodeOfAccount(int index) const {
    return Books.Accounts ? Books.Accounts->GetCodeParts(index) : TAccountCode::Empty();
}

QString TTransactionList::FormatCodeText(const TAccountCode& code) const {
    return Books.Format ? Books.Format->FormatCode(code) : QString();
}

// ---- Whole-list procedures ----------------------------------------------------------------------

int TTransactionList::DeleteEntriesInDateRange(int bankAccountIndex, double fromDate, double toDate) {
    TAccountCode bankCode;
    if (bankAccountIndex >= 0) {
        // An account the chart does not hold names no entry's bank account.
        if (!Books.Accounts || !Books.Accounts->GetAccount(bankAccountIndex))
            return 0;
        bankCode = CodeOfAccount(bankAccountIndex);
    }
    const auto doomed = [&](const std::unique_ptr<TTransactionDetail>& entry) {
        return entry->Date >= fromDate && entry->Date <= toDate &&
               (bankAccountIndex < 0 || entry->BankCode == bankCode);
    };
    const auto removed = std::remove_if(Entries.begin(), Entries.end(), doomed);
    const int count = static_cast<int>(Entries.end() - removed);
    Entries.erase(removed, Entries.end());
    if (count > 0)
        IsSaved = false;
    return count;
}

double TTransactionList::GetAccountCurrencyRate(const TAccountCode& code) const {
    const int index = AccountIndexOf(code);
    if (index < 0 || !Books.CurrencyRates)
        return 1.0;
    const QString currency = Books.Accounts->GetAccount(index)->GetBankCurrency();
    const TCurrencyConvRate* rate =
        currency.isEmpty() ? nullptr
                           : Books.CurrencyRates->GetConvRate(Books.CurrencyRates->IndexOf(currency));
    return rate ? rate->Currency_Rate : 1.0;
}

QString TTransactionList::ExpandDetailsMacros(const QString& text, double date) const {
    QString months;
    ExpandMonthMacros(text, months, date);
    return ExpandTitleMacros(months, FinancialYear, PeriodStartDay, PeriodEndDay);
}

namespace {
// The code a chart account names as its mapping target, as an index: the target's own, else the
// default suspense account; -1 when the code itself is not in the chart.
int MappedAccount(const TAccountsChart* chart, const TAccountCode& code) {
    if (!chart)
        return -1;
    const TAccountDetail* account = chart->GetAccount(chart->IndexOfCode(code));
    if (!account)
        return -1;
    const int target = chart->IndexOfCode(account->Code2);
    return target >= 0 ? target : chart->DefaultSuspenseAccount();
}
} // namespace

int TTransactionList::MapAccountCode(TTransactionDetail& entry) const {
    const int target = MappedAccount(Books.Accounts, entry.PostingCode);
    if (target >= 0)
        entry.PostingCode = CodeOfAccount(target);
    return target;
}

int TTransactionList::MapBankAccountCode(TTransactionDetail& entry) const {
    const int target = MappedAccount(Books.Accounts, entry.BankCode);
    if (target >= 0)
        entry.BankCode = CodeOfAccount(target);
    return target;
}
