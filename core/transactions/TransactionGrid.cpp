// The grid side of a transaction list: what each column shows, how typed text goes back into an
// entry and the colours of a cell.
#include "core/transactions/TransactionGrid.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/services/Services.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionListGridText.h"
#include "core/util/FlagSets.h"
#include "core/util/References.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/SmallVocabulary.h"

#include <algorithm>
#include <optional>

namespace {

namespace TF = TransactionFlag;
using G = TTransactionGrid;

// The yes/no columns and the flag each one shows.
int FlagOfColumn(int column) {
    return column == G::colCapitalAcquisition ? TF::CapitalAcquisition : TF::NonCash;
}

// The day of the month that memorised payments and standard bank transactions keep as their date;
// 0 (shown as blanks) for a stored value that is no day.
int StoredDay(double date) {
    return date >= 1.0 && date < 100.0 ? static_cast<int>(date) : 0;
}

} // namespace

int TTransactionGrid::LookUpTypedAccount(const QString& text) const {
    TAccountsChart* chart = Rows.Books.Accounts;
    if (!chart)
        return -1;
    int matchKind = 0;
    int index = chart->FindAccountByText(text, true, matchKind);
    if (index < 0)
        index = std::max(chart->IndexOfTypedCode(text), -1);
    if (index < 0 && !TServices::AddAccountOffer()(*chart, text, index))
        return -1;
    return chart->GetAccount(index) ? index : -1;
}

// ---- Cell texts ---------------------------------------------------------------------------------

QString TTransactionGrid::GetCellText(int index, int column, bool forDisplay) const {
    const TTransactionDetail* entry = Rows.GetItem(index);
    if (!entry)
        return {};
    const bool dayOnly = IsDayOfMonthKind(Rows.Kind);
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
            return forDisplay ? QString() : Rows.FormatCodeText(entry->BankCode);
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
        return Rows.FormatCodeText(entry->PostingCode);
    case colAmount: {
        if (!forDisplay)
            return GridFixedText(entry->Amount, 2);
        const int bank = Rows.AccountIndexOf(entry->BankCode);
        const QChar symbol =
            bank >= 0 ? Rows.Books.Accounts->GetAccount(bank)->GetCurrencySymbol() : QLatin1Char(' ');
        return GridMoneyText(entry->Amount, symbol);
    }
    case colQuantity:
        if (entry->HasAnyFlag({TF::DissectionTotal, TF::Contra}))
            return {};
        return QString::number(entry->Quantity);
    case colTaxCodes:
        return Rows.Books.TaxRates ? Rows.Books.TaxRates->GetCodesOfTypes(entry->TaxCodes) : QString();
    case colRate:
        return GridFixedText(entry->Rate, 4);
    case colDetails:
        return entry->Details();
    case colCapitalAcquisition:
    case colNonCash:
        return entry->HasAnyFlag({FlagOfColumn(column)}) ? FlagText(true).toString() : QString();
    case colBankAccount: {
        const int bank = Rows.AccountIndexOf(entry->BankCode);
        if (!forDisplay || bank < 0)
            return Rows.FormatCodeText(entry->BankCode);
        QString text;
        Rows.Books.Accounts->GetCodeWithCurrency(bank, text);
        return text;
    }
    default:
        return {};
    }
}

// ---- Cell parsing -------------------------------------------------------------------------------

int TTransactionGrid::SetCellText(int index, int column, const QString& typed) {
    TTransactionDetail* entry = Rows.GetItem(index);
    if (!entry)
        return 1;
    const QString text = typed.trimmed();
    const auto parsedCode = [&](int emptyIndex) {
        TAccountCode code;
        if (text.isEmpty())
            code = Rows.CodeOfAccount(emptyIndex);
        else if (Rows.Books.Format)
            Rows.Books.Format->TextToCode(text, code, false, false);
        return code;
    };
    switch (column) {
    case colDate:
        if (IsDayOfMonthKind(Rows.Kind)) {
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
        entry->PostingCode =
            parsedCode(Rows.Books.Accounts ? Rows.Books.Accounts->DefaultSuspenseAccount() : -1);
        break;
    case colAmount:
        if (text.isEmpty())
            entry->Amount = 0.0;
        else
            ReadGridAmount(text, entry->Amount);
        break;
    case colQuantity:
        if (Rows.ShowQuantityColumn) {
            bool ok = false;
            const int quantity = text.toInt(&ok);
            entry->Quantity = ok ? quantity : 0;
        }
        break;
    case colTaxCodes:
        if (Rows.ShowTaxColumn)
            entry->TaxCodes = Rows.Books.TaxRates ? Rows.Books.TaxRates->GetTypesOfCodes(text) : 0;
        break;
    case colRate:
        if (Rows.ShowRateColumn && !ReadGridNumber(text, entry->Rate) && text.isEmpty())
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
        entry->BankCode = parsedCode(Rows.DefaultBankOrSuspenseAccount());
        break;
    default:
        break;
    }
    return 1;
}

// ---- Cell colours -------------------------------------------------------------------------------

TTransactionGrid::TCellColours TTransactionGrid::GetCellColours(int index, int column) const {
    TCellColours colours;
    const TTransactionDetail* entry = Rows.GetItem(index);
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
    const bool bankPostingKind = Rows.Kind == pkPayments || Rows.Kind == pkReceipts ||
                                 (Rows.Kind >= pkBankStatementDeposits && Rows.Kind <= pkDeletedTransactions);
    if (entry->HasAnyFlag({TF::Reconciled})) {
        colours.HasText = true;
        colours.Text = ReconciledTextColour;
    } else if (entry->HasAnyFlag({TF::Highlight}) && (Rows.Highlight & 1) != 0) {
        paint(DefaultEntryHighlightBackground, EntryTextColour);
    } else if (bankPostingKind && entry->Reference != ContraReference &&
               Rows.IsBankAccountCode(entry->PostingCode)) {
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

bool TTransactionGrid::IsBankContraEntry(int index, bool requireBankAccount,
                                         bool requireContraReference) const {
    const TTransactionDetail* entry = Rows.GetItem(index);
    if (!entry || !entry->SameCode(entry->BankCode, true))
        return false;
    if (requireContraReference && entry->Reference != ContraReference)
        return false;
    if (!requireBankAccount)
        return true;
    const int account = Rows.AccountIndexOf(entry->BankCode);
    if (account < 0)
        return false;
    const TAccountDetail* detail = Rows.Books.Accounts->GetAccount(account);
    return detail->BankDetails != nullptr || detail->AccountType == AccountTypeCode::Suspense;
}
