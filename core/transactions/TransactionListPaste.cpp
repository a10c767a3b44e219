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
#include <array>
#include <bit>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>

namespace {

namespace TF = TransactionFlag;

const QString CreatedAccountDescription = QStringLiteral("Account created during transaction validation");

QString CodeText(const TTransactionListSources& books, const TAccountCode& code) {
    if (const TAccountFormat* format = CodeFormat(books))
        return format->FormatCode(code);
    return code.Account == -1 ? QString() : QString::number(GetAccountCodePart(code, AccountPart));
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
// bank details) or a suspense account, as the format's type rules allow for the code. It is made
// by `made`, the repair's accounts, which share one reading of the clock.
void CreateAccount(const TTransactionListSources& books, const TAccountCode& code, bool bank,
                   TAccountsChart::TNewAccounts& made) {
    auto account = made.Make();
    account->SetCode(code);
    account->Description = CreatedAccountDescription;
    account->DeriveAccountType(bank ? AccountTypeCode::Bank : AccountTypeCode::Suspense);
    if (account->BankDetails)
        account->SetBankCurrency(books.Entity.Currency);
    if (books.Accounts->AddAccount(std::move(account)) >= 0)
        books.Accounts->Saved = false;
}

// The account repair of one code; returns whether the code changed.
bool RepairCode(const TTransactionListSources& books, TAccountCode& code, bool bank,
                TAccountsChart::TNewAccounts& made) {
    const int index = IndexInChart(books, code);
    if (index >= 0) {
        if (!books.Accounts->IsNonPostingAccount(index))
            return false;
    } else if (CanBecomeAccount(books, code)) {
        CreateAccount(books, code, bank, made);
        if (books.Accounts->IndexOfCode(code) >= 0)
            return false;
    }
    const TAccountCode suspense = SuspenseAccountCode(books);
    if (code == suspense)
        return false;
    code = suspense;
    return true;
}

// The account repairs of one pass over a list. A code's repair depends on the chart alone, so it
// is worked out once per code and side while the chart keeps its number of accounts; a repair that
// adds an account (the code's own or the suspense account) starts the record afresh, since a new
// account can change how other codes fare. Entries come in runs of one bank account: the last code
// of each side is kept at hand.
class TCodeRepairs {
public:
    TCodeRepairs(const TTransactionListSources& books, TAccountsChart::TNewAccounts& made)
        : Books(books), Made(made), ChartCount(books.Accounts->Count()) {}

    // The repair of a code (as RepairCode); whether it changed.
    bool Repair(TAccountCode& code, bool bank) {
        TSide& side = Sides[bank ? 1 : 0];
        if (side.Last && side.Last->first == code)
            return Apply(side.Last->second, code);
        const auto known = side.Known.find(std::bit_cast<quint64>(code));
        if (known != side.Known.end()) {
            side.Last.emplace(code, known->second);
            return Apply(known->second, code);
        }
        TAccountCode repaired = code;
        const bool changed = RepairCode(Books, repaired, bank, Made);
        if (Books.Accounts->Count() != ChartCount) {
            ChartCount = Books.Accounts->Count();
            for (TSide& each : Sides)
                each = TSide{};
        } else {
            const TResult result{changed, repaired};
            side.Known.emplace(std::bit_cast<quint64>(code), result);
            side.Last.emplace(code, result);
        }
        code = repaired;
        return changed;
    }

private:
    struct TResult {
        bool Changed;
        TAccountCode Code;
    };
    struct TSide {
        std::unordered_map<quint64, TResult> Known;
        std::optional<std::pair<TAccountCode, TResult>> Last;
    };
    static bool Apply(const TResult& result, TAccountCode& code) {
        if (result.Changed)
            code = result.Code;
        return result.Changed;
    }

    const TTransactionListSources& Books;
    TAccountsChart::TNewAccounts& Made;
    int ChartCount;
    std::array<TSide, 2> Sides;
};

} // namespace

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
    TAccountsChart::TNewAccounts made(Books.Accounts->Format());
    TCodeRepairs repairs(Books, made);
    for (const auto& entry : Entries) {
        if (entry->HasAnyFlag({TF::Blank}))
            continue;
        changed |= repairs.Repair(entry->BankCode, true);
        if (bankOnly) {
            changed |= !entry->PostingCode.IsEmpty();
            entry->PostingCode = TAccountCode::Empty();
        } else if (!entry->HasAnyFlag({TF::DissectionTotal})) {
            changed |= repairs.Repair(entry->PostingCode, false);
        }
    }
    if (changed)
        IsSaved = false;
}
