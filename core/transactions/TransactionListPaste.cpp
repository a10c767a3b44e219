#include "core/transactions/TransactionList.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionRecord.h"
#include "core/util/FlagSets.h"
#include "core/vocab/PageKinds.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

namespace TF = TransactionFlag;

// Where the rate lies in a 125-byte record (see TransactionRecord.h).
constexpr int RecordRateOffset = 54;
// The marker of memorised payments and standard bank transactions that matches any day.
constexpr double AnyDayMarker = 99.0;
constexpr double LastDayOfMonth = 31.0;

const QString CreatedAccountDescription = QStringLiteral("Account created during transaction validation");

bool IsNonCashKind(int kind) {
    return kind == pkGeneralJournals || kind == pkSalesJournals || kind == pkPurchasesJournals ||
           kind == pkStandardBankTransactions || kind == pkDeletedTransactions;
}

// The account format codes are read by: the chart's, else the file's.
const TAccountFormat* CodeFormat(const TTransactionListSources& books) {
    if (books.Accounts && books.Accounts->Format())
        return books.Accounts->Format();
    return books.Format;
}

QString CodeText(const TTransactionListSources& books, const TAccountCode& code) {
    if (const TAccountFormat* format = CodeFormat(books))
        return format->FormatCode(code);
    return code.Account == -1 ? QString() : QString::number(GetAccountCodePart(code, AccountPart));
}

const TAccountGroup* RangeOf(const TAccountFormat* format, const QString& rangeType) {
    return format ? format->GetRangeGroup(format->IndexOfRangeType(rangeType)) : nullptr;
}

// Inside the balance-sheet or the suspense range; a format naming neither restricts nothing.
bool InBalanceSheetOrSuspense(const TTransactionListSources& books, const TAccountCode& code) {
    const TAccountFormat* format = CodeFormat(books);
    const TAccountGroup* balanceSheet = RangeOf(format, AccountTypeCode::BalanceSheet);
    const TAccountGroup* suspense = RangeOf(format, AccountTypeCode::Suspense);
    if (!balanceSheet && !suspense)
        return true;
    return (balanceSheet && balanceSheet->Contains(code)) || (suspense && suspense->Contains(code));
}

int IndexInChart(const TTransactionListSources& books, const TAccountCode& code) {
    return books.Accounts && !code.IsEmpty() ? books.Accounts->IndexOfCode(code) : -1;
}

bool IsPostingAccountInChart(const TTransactionListSources& books, const TAccountCode& code) {
    const int index = IndexInChart(books, code);
    return index >= 0 && !books.Accounts->IsNonPostingAccount(index);
}

// A code the format accepts (checked without a message) that names an account number: only such
// a code may become a new account.
bool CanBecomeAccount(const TTransactionListSources& books, const TAccountCode& code) {
    if (code.Account == -1)
        return false;
    TAccountCode checked = code;
    const TAccountFormat* format = CodeFormat(books);
    return !format || format->ValidateCode(checked, false, false);
}

void PrefixDetails(TTransactionDetail& entry, const QString& label, const QString& codeText) {
    entry.SetDetails(QStringLiteral("(%1: %2) ").arg(label, codeText) + entry.Details());
}

// Adds a new account of the code to the chart: a bank account (with the file's currency in its
// bank details) or a suspense account, as the format's type rules allow for the code.
void CreateAccount(const TTransactionListSources& books, const TAccountCode& code, bool bank) {
    auto account = std::make_unique<TAccountDetail>(books.Accounts->Format());
    account->SetCode(code);
    account->Description = CreatedAccountDescription;
    account->DeriveAccountType(bank ? AccountTypeCode::Bank : AccountTypeCode::Suspense);
    if (account->BankDetails)
        account->SetBankCurrency(books.Entity.Currency);
    if (books.Accounts->AddAccount(std::move(account)) >= 0)
        books.Accounts->Saved = false;
}

// The account repair of one code; returns whether the code changed.
bool RepairCode(const TTransactionListSources& books, TAccountCode& code, bool bank) {
    const int index = IndexInChart(books, code);
    if (index >= 0) {
        if (!books.Accounts->IsNonPostingAccount(index))
            return false;
    } else if (CanBecomeAccount(books, code)) {
        CreateAccount(books, code, bank);
        if (books.Accounts->IndexOfCode(code) >= 0)
            return false;
    }
    const TAccountCode suspense = SuspenseAccountCode(books);
    if (code == suspense)
        return false;
    code = suspense;
    return true;
}

// A rate that was no finite number in the record is no conversion at all.
double RecordRate(const std::uint8_t* body, double readRate) {
    const double stored = std::bit_cast<double>(qFromLittleEndian<quint64>(body + RecordRateOffset));
    return std::isfinite(stored) ? readRate : 1.0;
}

int MonthOfDate(double date) {
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDateNum(date, year, month, day);
    return month;
}

} // namespace

void TTransactionList::PasteTransaction(int& index, TLastDissections& lastDissections,
                                        const std::uint8_t* body) {
    if (!body || Kind == UndoListKind || IsTransactionHeaderRecord(body))
        return;
    auto entry = std::make_unique<TTransactionDetail>(ReadTransactionRecord(body));
    if (entry->HasAnyFlag({TF::Blank, TF::DissectionTotal, TF::TaxLine}))
        return;
    entry->Rate = RecordRate(body, entry->Rate);
    const int endMonth = Books.Entity.EndMonth;

    // The date, fitted to the page, and the month slot its keys come from.
    int slot = 1;
    if (Kind == pkOpeningBalances || Kind == pkOpeningUnpresentedCheques ||
        Kind == pkOpeningOutstandingDeposits) {
        entry->Date = FitDateToPeriod(1, FinancialYear, 1, Kind, endMonth, entry->Date);
    } else if (IsDayOfMonthKind(Kind)) {
        if (entry->Date != AnyDayMarker && !(entry->Date >= 0.0 && entry->Date <= LastDayOfMonth))
            entry->Date = DayOfDateNum(entry->Date);
    } else if (Kind == pkDeletedTransactions) {
        slot = TransactionMonthSlot(Kind, MonthOfDate(entry->Date), endMonth);
    } else {
        const bool hasPeriod = PeriodNo != 0;
        entry->Date = FitDateToPeriod(hasPeriod ? PeriodNo : 1, FinancialYear, hasPeriod ? PeriodCount : 1,
                                      Kind, endMonth, entry->Date);
        slot = TransactionMonthSlot(Kind, MonthOfDate(entry->Date), endMonth);
    }

    entry->Flags = FlagSetExclude(entry->Flags,
                                  {TF::Reconciled, TF::PasteClearedA, TF::PasteClearedB, TF::PasteClearedC});

    // Deleted entries, and entries pasted onto the deleted-transactions page, keep their IDs, but
    // only when that is still free here and belongs to the slot.
    const qint32 base = SlotKeyBase(slot);
    const bool keepID = (Kind == pkDeletedTransactions || entry->HasAnyFlag({TF::Deleted})) &&
                        entry->ID >= base && entry->ID < base + TaxLineSequence &&
                        IndexOfID(entry->ID, false) < 0;
    if (keepID)
        SetNextID(slot, std::max(GetNextID(slot), entry->ID + 1));
    else
        entry->ID = TakeNextID(slot);

    entry->PageKind = static_cast<qint16>(Kind);
    FitPastedAccounts(*entry);

    const bool leavesDissection =
        Kind == pkOpeningBalances || Kind == pkBankStatementDeposits || Kind == pkBankStatementWithdrawals;
    if (leavesDissection || entry->Dissection == -1) {
        entry->Dissection = -1;
        entry->Flags = FlagSetExclude(entry->Flags, {TF::DissectionMember});
    } else {
        const size_t at = static_cast<size_t>(slot - 1);
        if (entry->Dissection != lastDissections.Source[at]) {
            lastDissections.Source[at] = entry->Dissection;
            lastDissections.Given[at] = TakeNextDissectionNo(slot);
        }
        entry->Dissection = lastDissections.Given[at];
        entry->Flags = FlagSetInclude(entry->Flags, {TF::DissectionMember});
    }

    entry->Flags = IsNonCashKind(Kind) ? FlagSetInclude(entry->Flags, {TF::NonCash})
                                       : FlagSetExclude(entry->Flags, {TF::NonCash});

    if (Kind == pkOpeningBalances) {
        entry->Reference = OpeningBalanceReference;
        if (!InBalanceSheetOrSuspense(Books, entry->PostingCode))
            entry->PostingCode = SuspenseCode();
    } else if (!IsDayOfMonthKind(Kind) && entry->Reference == OpeningBalanceReference) {
        entry->Reference = 1;
    }

    if (Kind == pkDeletedTransactions) {
        entry->Flags = FlagSetInclude(entry->Flags, {TF::Deleted});
    } else {
        entry->Flags = FlagSetExclude(entry->Flags, {TF::Deleted});
        if (Books.TaxRates)
            Books.TaxRates->MaskTaxTypes(entry->TaxCodes);
        else
            entry->TaxCodes = 0;
    }

    if (!IsDayOfMonthKind(Kind))
        entry->SetDetails(ExpandDetailsMacros(entry->Details(), entry->Date));

    index = InsertTransaction(index, std::move(entry), 0);
    if (Kind != pkDeletedTransactions)
        index += GenerateTaxEntries(index, false, true);
    ++index;
}

void TTransactionList::FitPastedAccounts(TTransactionDetail& entry) {
    const int bankIndex = IndexInChart(Books, entry.BankCode);
    if (bankIndex < 0 || !InBalanceSheetOrSuspense(Books, entry.BankCode)) {
        if (!entry.BankCode.IsEmpty())
            PrefixDetails(entry, QStringLiteral("Bank"), CodeText(Books, entry.BankCode));
        entry.ClearFlags({TF::Contra});
        const int defaultBank = Books.Accounts ? Books.Accounts->DefaultBankAccount() : -1;
        entry.BankCode = defaultBank >= 0 ? Books.Accounts->GetCodeParts(defaultBank) : SuspenseCode();
        IsSaved = false;
    }
    if (IsBankStatementKind(Kind)) {
        entry.PostingCode = TAccountCode::Empty();
        return;
    }
    if (IsPostingAccountInChart(Books, entry.PostingCode))
        return;
    if (!entry.PostingCode.IsEmpty())
        PrefixDetails(entry, QStringLiteral("Posting"), CodeText(Books, entry.PostingCode));
    entry.PostingCode = SuspenseCode();
    entry.ClearFlags({TF::Contra});
    IsSaved = false;
}

void TTransactionList::RepairAccounts() {
    if (Kind == UndoListKind || Entries.empty() || !Books.Accounts)
        return;
    const bool bankOnly = IsBankStatementKind(Kind);
    bool changed = false;
    for (const auto& entry : Entries) {
        if (entry->HasAnyFlag({TF::Blank}))
            continue;
        changed |= RepairCode(Books, entry->BankCode, true);
        if (bankOnly) {
            changed |= !entry->PostingCode.IsEmpty();
            entry->PostingCode = TAccountCode::Empty();
        } else if (!entry->HasAnyFlag({TF::DissectionTotal})) {
            changed |= RepairCode(Books, entry->PostingCode, false);
        }
    }
    if (changed)
        IsSaved = false;
}
