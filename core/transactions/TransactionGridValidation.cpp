// The checks of a grid field before its text goes into an entry: each puts the text into its
// normal form and says whether it holds a valid value, with the message the caller shows when it
// does not.
#include "core/transactions/TransactionGrid.h"

#include "core/transactions/TransactionList.h"

#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/services/Services.h"
#include "core/transactions/TransactionListGridText.h"
#include "core/util/References.h"
#include "core/vocab/PageKinds.h"

#include <cmath>

namespace {

const QString DateOutOfRange = QStringLiteral("Date out of range.");
const QString InvalidReference = QStringLiteral("Invalid reference number.");
const QString NonPostingAccount =
    QStringLiteral("Allocating transactions to a non-posting account is not permitted.");
const QString OpeningBalanceAccount = QStringLiteral(
    "Opening balance transactions can only be allocated to balance sheet or suspense accounts.");
const QString BankPostingWarning = QStringLiteral(
    "You are posting to a bank account. This is not the normal procedure for non-contra entries. If "
    "you want to transfer amounts between bank accounts, you should use an intermediary transfer "
    "account.");
const QString InvalidAmount = QStringLiteral("Invalid amount.");
const QString InvalidQuantity = QStringLiteral("Invalid quantity.");
const QString UnknownTaxCode = QStringLiteral("Unknown tax code");
const QString InvalidCurrencyRate = QStringLiteral("Invalid currency rate.");
const QString InvalidBankAccount = QStringLiteral(
    "Invalid bank account code. Valid bank account codes are either bank or suspense accounts.");

bool Fail(QString& message, const QString& text) {
    message = text;
    return false;
}

} // namespace

bool TTransactionGrid::ValidateDate(QString& text, QString& message) const {
    const int endMonth = Rows.Books.Entity.EndMonth;
    switch (Rows.Kind) {
    case pkMemorisedPayments:
    case pkStandardBankTransactions:
        text = DayMaskText(LeadingDay(text));
        return true;
    case pkOpeningBalances:
        text = DateNumToStr(true, PeriodStartDate(1, Rows.FinancialYear, 1, endMonth));
        return true;
    case pkOpeningUnpresentedCheques:
    case pkOpeningOutstandingDeposits: {
        const double date = StrToDateNum(text, false);
        if (date == -1)
            return Fail(message, DateOutOfRange);
        text = DateNumToStr(true, date);
        return true;
    }
    default: {
        // A list without a period takes dates of its whole financial year.
        const int period = Rows.PeriodNo == 0 ? 1 : Rows.PeriodNo;
        const int periodsPerYear = Rows.PeriodNo == 0 ? 1 : Rows.PeriodCount;
        double date = 0.0;
        if (!ParseDateInPeriods(text, date, Rows.FinancialYear, periodsPerYear, endMonth, period))
            return Fail(message, DateOutOfRange);
        text = DateNumToStr(true, date);
        return true;
    }
    }
}

bool TTransactionGrid::ValidateReference(QString& text, QString& message) const {
    const QString typed = text.trimmed();
    qint32 reference = -1;
    bool valid = true;
    if (Rows.Kind == pkOpeningBalances) {
        reference = OpeningBalanceReference;
    } else if (typed.contains(QLatin1Char('.'))) {
        reference = BankReference;
    } else if (typed.size() == 1 && !typed[0].isDigit() && !QStringLiteral("BCO").contains(typed[0])) {
        // A stray character is no reference at all.
    } else if (!typed.isEmpty()) {
        valid = TextToReference(typed, reference);
        if (valid && reference == OpeningBalanceReference) {
            reference = 0;
            valid = false;
        }
    }
    // Text that is no reference stays as typed; a refused Opbal shows as the reference 0.
    if (!valid && reference == -1)
        return Fail(message, InvalidReference);
    text = ReferenceToText(reference);
    return valid || Fail(message, InvalidReference);
}

bool TTransactionGrid::ValidateAccount(QString& text, QString& message, qint32 reference) const {
    if (IsBankStatementKind(Rows.Kind)) {
        text.clear();
        return true;
    }
    const QString typed = text.trimmed();
    const int index = typed.isEmpty()
                          ? (Rows.Books.Accounts ? Rows.Books.Accounts->DefaultSuspenseAccount() : -1)
                          : LookUpTypedAccount(typed);
    if (index < 0)
        return false;
    const TAccountDetail* account = Rows.Books.Accounts->GetAccount(index);
    if (Rows.Books.Accounts->IsNonPostingAccount(index))
        return Fail(message, NonPostingAccount);
    if (Rows.Kind == pkOpeningBalances && !account->InBalanceSheetRange() && !account->InSuspenseRange())
        return Fail(message, OpeningBalanceAccount);
    text = Rows.Books.Accounts->GetCode(index);
    const bool warnedKind = Rows.Kind == pkPayments || Rows.Kind == pkReceipts ||
                            (Rows.Kind >= pkMemorisedPayments && Rows.Kind <= pkDeletedTransactions);
    if (warnedKind && account->BankDetails && reference != ContraReference) {
        IUserPrompt& prompt = TServices::Prompt();
        prompt.Beep(TBeep::Information);
        prompt.ShowMessage(TMessageKind::Warning, BankPostingWarning, TMessageButton::OK);
    }
    return true;
}

bool TTransactionGrid::ValidateAmount(QString& text, QString& message) const {
    double amount = 0.0;
    if (!text.trimmed().isEmpty() && !ReadGridAmount(text, amount))
        return Fail(message, InvalidAmount);
    text = GridFixedText(amount, 2);
    return true;
}

bool TTransactionGrid::ValidateQuantity(QString& text, QString& message) const {
    const QString typed = text.trimmed();
    int quantity = 0;
    bool ok = true;
    if (!typed.isEmpty())
        quantity = typed.toInt(&ok);
    if (!ok)
        return Fail(message, InvalidQuantity);
    text = QString::number(quantity);
    return true;
}

bool TTransactionGrid::ValidateTaxCode(QString& text, QString& message) const {
    if (text.trimmed().isEmpty()) {
        text.clear();
        return true;
    }
    const quint32 types = Rows.Books.TaxRates ? Rows.Books.TaxRates->GetTypesOfCodes(text) : 0;
    if (types == 0)
        return Fail(message, UnknownTaxCode);
    text = Rows.Books.TaxRates->GetCodesOfTypes(types);
    return true;
}

bool TTransactionGrid::ValidateCurrencyRate(QString& text, QString& message) const {
    double rate = 1.0;
    if (!text.trimmed().isEmpty() && !ReadGridNumber(text, rate))
        return Fail(message, InvalidCurrencyRate);
    text = GridFixedText(std::fabs(rate), 4);
    // The rate is judged as it will be stored: 0.00001 is written, and kept, as 0.0000.
    double written = 0.0;
    if (!ReadGridNumber(text, written) || written <= 0.0)
        return Fail(message, InvalidCurrencyRate);
    return true;
}

bool TTransactionGrid::ValidateDetails(QString& text, QString& /*message*/, double date) const {
    if (Rows.Books.StdDescs)
        text = Rows.Books.StdDescs->ExpandAbbreviations(text);
    if (Rows.Kind != pkMemorisedPayments && Rows.Kind != pkStandardBankTransactions)
        text = Rows.ExpandDetailsMacros(text, date);
    return true;
}

bool TTransactionGrid::ValidateBankAccount(QString& text, QString& message) const {
    const QString typed = text.trimmed();
    int index = -1;
    if (!typed.isEmpty()) {
        index = LookUpTypedAccount(typed);
        if (index < 0)
            return false;
    } else {
        index = Rows.DefaultBankOrSuspenseAccount();
    }
    const TAccountDetail* account = Rows.Books.Accounts ? Rows.Books.Accounts->GetAccount(index) : nullptr;
    if (!account || (!account->BankDetails && account->AccountType != AccountTypeCode::Suspense))
        return Fail(message, InvalidBankAccount);
    text = Rows.Books.Accounts->GetCode(index);
    return true;
}

bool TTransactionGrid::ValidateField(int index, int column, QString& text, QString& message) const {
    const TTransactionDetail* entry = Rows.GetItem(index);
    switch (column) {
    case colDate:
        return ValidateDate(text, message);
    case colReference:
        return ValidateReference(text, message);
    case colAccount:
        return ValidateAccount(text, message, entry ? entry->Reference : 0);
    case colAmount:
        return ValidateAmount(text, message);
    case colQuantity:
        return ValidateQuantity(text, message);
    case colTaxCodes:
        return ValidateTaxCode(text, message);
    case colRate:
        return ValidateCurrencyRate(text, message);
    case colDetails:
        return ValidateDetails(text, message, entry ? entry->Date : 0.0);
    case colBankAccount:
        return ValidateBankAccount(text, message);
    default:
        return true;
    }
}

bool TTransactionGrid::ColumnShown(int column) const {
    switch (column) {
    case colAccount:
        return !IsBankStatementKind(Rows.Kind);
    case colQuantity:
        return Rows.ShowQuantityColumn;
    case colTaxCodes:
        return Rows.ShowTaxColumn;
    case colRate:
        return Rows.ShowRateColumn;
    default:
        return column >= 0 && column < ColumnCount;
    }
}
