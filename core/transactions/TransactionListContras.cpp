#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Money.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/transactions/ContraAccountInfo.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/util/Numbers.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/SmallVocabulary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>

namespace TF = TransactionFlag;

namespace {

enum TContraFrequency { cfDaily = 0, cfWeekly = 1, cfMonthly = 2 };
// The progress message "Generating Contra Entries".
constexpr int ContraProgressMessage = 20;
// More entries than this show the progress window.
constexpr int ProgressThreshold = 200;

// 1 for Sunday to 7 for Saturday (date number 1, 1 January of year 1, was a Monday).
int SundayBasedWeekday(double date) {
    return static_cast<int>(static_cast<qint64>(std::floor(date)) % 7) + 1;
}

// The last day of the group of days that starts on day (its date given).
int GroupEnd(int frequency, int day, double date) {
    switch (frequency) {
    case cfWeekly:
        return day + 8 - SundayBasedWeekday(date);
    case cfMonthly: {
        int year = 0;
        int month = 0;
        int dayOfMonth = 0;
        DecodeDateNum(date, year, month, dayOfMonth);
        return month == 0 ? TContraAccountInfo::Days : day + DaysInMonth(year, month) - dayOfMonth;
    }
    default:
        return day;
    }
}

} // namespace

void TTransactionList::GenerateContras(bool showProgress) {
    if (Entries.empty() || Kind < pkOpeningBalances || Kind >= pkOpeningUnpresentedCheques || PeriodNo == 0)
        return;
    std::optional<TCursorScope> hourglass;
    std::unique_ptr<IProgress> progress;
    if (showProgress && Count() > ProgressThreshold) {
        hourglass.emplace(TCursorKind::Busy);
        progress = TServices::CreateProgress();
        progress->Setup(GetPeriodTitle(false).trimmed(), ContraProgressMessage, Books.Entity.FileCode, true,
                        false);
    }

    // Walked from the last entry to the first; the contra lines go in one sweep.
    std::map<std::array<qint16, 4>, TContraAccountInfo> accounts;
    TContraAccountInfo* current = nullptr;
    const int entryCount = Count();
    bool anyContra = false;
    for (int i = entryCount - 1; i >= 0; --i) {
        if (progress && i % 256 == 0)
            progress->SetPosition(100.0 * (entryCount - i) / entryCount);
        const TTransactionDetail& entry = *Entries[static_cast<size_t>(i)];
        if (entry.HasAnyFlag({TF::Blank, TF::Contra})) {
            anyContra = anyContra || entry.HasAnyFlag({TF::Contra});
            continue;
        }
        if (!current || !(current->BankCode == entry.BankCode)) {
            const TAccountCode& bank = entry.BankCode;
            current = &accounts[{bank.Branch, bank.Division, bank.Account, bank.SubAccount}];
            current->BankCode = bank;
        }
        if (!entry.HasAnyFlag({TF::DissectionTotal}))
            current->Add(entry.Date == 0.0 ? PeriodStartDay : entry.Date, PeriodStartDay, entry.Amount);
    }
    // The old contra lines go (a list read from files without them is not walked again).
    if (anyContra &&
        std::erase_if(Entries, [](const auto& entry) { return entry->HasAnyFlag({TF::Contra}); }) > 0)
        IsSaved = false;
    // The accounts in the order of their formatted codes.
    std::vector<std::pair<QString, const TContraAccountInfo*>> ordered;
    for (const auto& [parts, account] : accounts)
        ordered.emplace_back(Books.Format ? Books.Format->FormatCode(account.BankCode) : QString(), &account);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    const int frequency = Books.Contras;
    if (frequency >= cfDaily && frequency <= cfMonthly) {
        const QString word = RepetitionWords[static_cast<size_t>(frequency)].toString();
        const bool journal = Kind >= pkGeneralJournals && Kind <= pkPettyCashJournals;
        const bool bankStatement = Kind == pkBankStatementDeposits || Kind == pkBankStatementWithdrawals;
        std::vector<std::unique_ptr<TTransactionDetail>> contras;
        // The suspense account is looked for in the chart once, when the first line needs it.
        std::optional<TAccountCode> suspense;
        for (const auto& [key, bankInfo] : ordered) {
            const TContraAccountInfo& info = *bankInfo;
            QString description;
            if (Books.Accounts)
                if (const TAccountDetail* account =
                        Books.Accounts->GetAccount(Books.Accounts->IndexOfCode(info.BankCode)))
                    description = account->Description;
            for (int day = 1; day <= TContraAccountInfo::Days;) {
                const int last =
                    std::min(GroupEnd(frequency, day, PeriodStartDay + day - 1), TContraAccountInfo::Days);
                const double total = info.Total(day, last);
                day = last + 1;
                if (!(std::fabs(total) > MoneyTolerance))
                    continue;
                double date = std::min(PeriodStartDay + last - 1, PeriodEndDay);
                if (Kind == pkOpeningBalances)
                    date = PeriodStartDate(1, FinancialYear, PeriodCount, YearEndMonth());
                int year = 0;
                int month = 0;
                int dayOfMonth = 0;
                DecodeDateNum(date, year, month, dayOfMonth);
                const int slot = TransactionMonthSlot(Kind, month, YearEndMonth());
                auto contra =
                    std::make_unique<TTransactionDetail>(TakeNextID(slot), static_cast<qint16>(Kind));
                contra->Date = date;
                contra->BankCode = info.BankCode;
                contra->Amount = RoundHalfEven(-total, 2);
                contra->Reference = ContraReference;
                contra->SetFlags({TF::Contra});
                if (Kind == pkOpeningBalances) {
                    contra->Reference = OpeningBalanceReference;
                    contra->SetFlags({TF::Keyed});
                }
                if (Kind == pkOpeningBalances || journal) {
                    if (!suspense)
                        suspense = SuspenseCode();
                    contra->PostingCode = *suspense;
                    contra->SetDetails(QStringLiteral("Balancing Entry"));
                } else {
                    contra->PostingCode = info.BankCode;
                    contra->SetDetails((bankStatement ? QStringLiteral("%1 total for %2")
                                                      : QStringLiteral("%1 contra total to %2"))
                                           .arg(word, description));
                }
                contras.push_back(std::move(contra));
            }
        }
        if (!contras.empty()) {
            const bool blankLast = !Entries.empty() && Entries.back()->HasAnyFlag({TF::Blank});
            Entries.insert(Entries.end() - (blankLast ? 1 : 0), std::make_move_iterator(contras.begin()),
                           std::make_move_iterator(contras.end()));
            IsSaved = false;
        }
    }
    SetSortOrder(soBankAccount, true);
}
