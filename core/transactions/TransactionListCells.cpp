// The grid side of a transaction list: what each column shows, how typed text goes back into an
// entry, the colours of a cell, and the account look-ups the grid and the other procedures share.
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

namespace TF = TransactionFlag;

namespace {

enum TColumn : int {
    colDate = 0,
    colReference = 1,
    colAccount = 2,
    colAmount = 3,
    colQuantity = 4,
    colTaxCodes = 5,
    colRate = 6,
    colDetails = 7,
    colCapitalAcquisition = 8,
    colNonCash = 9,
    colBankAccount = 10,
};

// The yes/no columns and the flag each one shows.
int FlagOfColumn(int column) {
    return column == colCapitalAcquisition ? TF::CapitalAcquisition : TF::NonCash;
}

// The day of the month that memorised payments and standard bank transactions keep as their date;
// 0 (shown as blanks) for a stored value that is no day.
int StoredDay(double date) {
    return date >= 1.0 && date < 100.0 ? static_cast<int>(date) : 0;
}

} // namespace

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

int TTransactionList::LookUpTypedAccount(const QString& text) const {
    TAccountsChart* chart = Books.Accounts;
    if (!chart)
        return -1;
    int matchKind = 0;
    int index = chart->FindAccountByText(text, true, matchKind);
    if (index < 0)
        index = std::max(chart->IndexOfCodeText(text), -1);
    if (index < 0 && !TServices::AddAccountOffer()(*chart, text, index))
        return -1;
    return chart->GetAccount(index) ? index : -1;
}

// ---- Cell texts ---------------------------------------------------------------------------------

QString TTransactionList::GetCellText(int index, int column, bool forDisplay) const {
    const TTransactionDetail* entry = GetItem(index);
    if (!entry)
        return {};
    const bool dayOnly = IsDayOfMonthKind(Kind);
    if (entry->HasAnyFlag({TF::Blank})) {
        switch (column) {
        case colDate: {
            if (dayOnly)
                return DayMaskText(0);
            const QChar separator = TServices::Regional().DateSeparator;
            return QStringLiteral("  ") + separator + QStringLiteral("  ") + separator + QStringLiteral("  ");
        }
        case colCapitalAcquisition:
        case colNonCash:
            return entry->HasAnyFlag({FlagOfColumn(column)}) ? FlagText(true).toString() : QString();
        case colBankAccount:
            return forDisplay ? QString() : FormatCodeText(entry->BankCode);
        default:
            return {};
        }
    }
    switch (column) {
    case colDate:
        return dayOnly ? DayMaskText(StoredDay(entry->Date)) : DateNumToStr(true, entry->Date);
    case colReference:
        return ReferenceToText(entry->Reference);
    case colAccount:
        return FormatCodeText(entry->PostingCode);
    case colAmount: {
        if (!forDisplay)
            return GridFixedText(entry->Amount, 2);
        const int bank = AccountIndexOf(entry->BankCode);
        const QChar symbol =
            bank >= 0 ? Books.Accounts->GetAccount(bank)->GetCurrencySymbol() : QLatin1Char(' ');
        return GridMoneyText(entry->Amount, symbol);
    }
    case colQuantity:
        if (entry->HasAnyFlag({TF::DissectionTotal, TF::Contra}))
            return {};
        return QString::number(entry->Quantity);
    case colTaxCodes:
        return Books.TaxRates ? Books.TaxRates->GetCodesOfTypes(entry->TaxCodes) : QString();
    case colRate:
        return GridFixedText(entry->Rate, 4);
    case colDetails:
        return entry->Details();
    case colCapitalAcquisition:
    case colNonCash:
        return entry->HasAnyFlag({FlagOfColumn(column)}) ? FlagText(true).toString() : QString();
    case colBankAccount: {
        const int bank = AccountIndexOf(entry->BankCode);
        if (!forDisplay || bank < 0)
            return FormatCodeText(entry->BankCode);
        QString text;
        Books.Accounts->GetCodeWithCurrency(bank, text);
        return text;
    }
    default:
        return {};
    }
}

// ---- Cell parsing -------------------------------------------------------------------------------

int TTransactionList::SetCellText(int index, int column, const QString& typed) {
    TTransactionDetail* entry = GetItem(index);
    if (!entry)
        return 1;
    const QString text = typed.trimmed();
    const auto parsedCode = [&](int emptyIndex) {
        TAccountCode code;
        if (text.isEmpty())
            code = CodeOfAccount(emptyIndex);
        else if (Books.Format)
            Books.Format->TextToCode(text, code, false, false);
        return code;
    };
    switch (column) {
    case colDate:
        if (IsDayOfMonthKind(Kind)) {
            entry->Date = LeadingDay(text);
        } else {
            // An unreadable date keeps the one the entry had.
            const double date = StrToDateNum(text, false);
            if (date != -1)
                entry->Date = date;
        }
        break;
    case colReference:
        TextToReference(text, entry->Reference);
        break;
    case colAccount:
        entry->PostingCode = parsedCode(Books.Accounts ? Books.Accounts->DefaultSuspenseAccount() : -1);
        break;
    case colAmount:
        if (text.isEmpty())
            entry->Amount = 0.0;
        else
            ReadGridNumber(text, entry->Amount);
        break;
    case colQuantity:
        if (ShowQuantityColumn) {
            bool ok = false;
            const int quantity = text.toInt(&ok);
            entry->Quantity = ok ? quantity : 0;
        }
        break;
    case colTaxCodes:
        if (ShowTaxColumn)
            entry->TaxCodes = Books.TaxRates ? Books.TaxRates->GetTypesOfCodes(text) : 0;
        break;
    case colRate:
        if (ShowRateColumn && !ReadGridNumber(text, entry->Rate) && text.isEmpty())
            entry->Rate = 1.0;
        break;
    case colDetails:
        entry->SetDetails(text);
        break;
    case colCapitalAcquisition:
    case colNonCash:
        entry->Flags = text == FlagText(true) ? FlagSetInclude(entry->Flags, {FlagOfColumn(column)})
                                              : FlagSetExclude(entry->Flags, {FlagOfColumn(column)});
        break;
    case colBankAccount:
        entry->BankCode = parsedCode(DefaultBankOrSuspenseAccount());
        break;
    default:
        break;
    }
    return 1;
}

// ---- Cell colours -------------------------------------------------------------------------------

TTransactionList::TCellColours TTransactionList::GetCellColours(int index, int column) const {
    TCellColours colours;
    const TTransactionDetail* entry = GetItem(index);
    if (!entry)
        return colours;
    const auto paint = [&colours](TRgbColour background, std::optional<TRgbColour> text) {
        colours.HasBackground = true;
        colours.Background = background;
        if (text) {
            colours.HasText = true;
            colours.Text = *text;
        }
    };
    const bool bankPostingKind = Kind == pkPayments || Kind == pkReceipts ||
                                 (Kind >= pkBankStatementDeposits && Kind <= pkDeletedTransactions);
    if (entry->HasAnyFlag({TF::Reconciled})) {
        colours.HasText = true;
        colours.Text = ReconciledTextColour;
    } else if (entry->HasAnyFlag({TF::Highlight}) && (Highlight & 1) != 0) {
        paint(DefaultEntryHighlightBackground, EntryTextColour);
    } else if (bankPostingKind && entry->Reference != ContraReference &&
               IsBankAccountCode(entry->PostingCode)) {
        paint(BankPostingBackground, BankPostingTextColour);
    } else if (entry->HasAnyFlag({TF::Contra})) {
        paint(DefaultContraBackground, EntryTextColour);
    }
    if (column == colDate && entry->HasAnyFlag({TF::DissectionMember}))
        paint(DefaultDissectionBackground, std::nullopt);
    else if (entry->HasAnyFlag({TF::DissectionTotal}))
        paint(DefaultDissectionBackground, std::nullopt);
    else if (column > colDate && entry->HasAnyFlag({TF::TaxLine}))
        paint(DefaultTaxLineBackground, std::nullopt);
    return colours;
}

// ---- Whole-list procedures ----------------------------------------------------------------------

bool TTransactionList::IsBankContraEntry(int index, bool requireBankAccount,
                                         bool requireContraReference) const {
    const TTransactionDetail* entry = GetItem(index);
    if (!entry || !entry->SameCode(entry->BankCode, true))
        return false;
    if (requireContraReference && entry->Reference != ContraReference)
        return false;
    if (!requireBankAccount)
        return true;
    const int account = AccountIndexOf(entry->BankCode);
    if (account < 0)
        return false;
    const TAccountDetail* detail = Books.Accounts->GetAccount(account);
    return detail->BankDetails != nullptr || detail->AccountType == AccountTypeCode::Suspense;
}

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
