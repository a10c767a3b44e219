// The procedures that work across every transaction file of a year: balance recalculation, the
// reset of bank reconciliations, the transfer of bank-statement entries (BankStatementTransfer.cpp
// holds the matching) and the data-integrity check.
//
// None of them writes a list it could not read: a list whose load failed stops the procedure with
// its error box, so a damaged month file stays as it is for the user to mend.
#include "core/common/Money.h"
#include "core/entity/EntityInfo.h"

#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/Periods.h"
#include "core/entity/BankStatementTransfer.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/KeyedTransaction.h"
#include "core/entity/PeriodList.h"
#include "core/entity/RunParams.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/util/Numbers.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>
#include <unordered_map>

namespace TF = TransactionFlag;

namespace {

constexpr int MonthlyPeriods = TPeriodList::MonthlyPeriods;
// Deleted transactions (the last kind) are never written: no procedure reads them.
constexpr int LastFileKind = pkStandardBankTransactions;
constexpr int ProgressText = 0;
// Day and week columns beyond a year's length come only from damaged dates.
constexpr int MaxDayColumn = 366;
constexpr int MaxWeekColumn = 53;

const QString AccountsErrorText = QStringLiteral("Unable to continue - accounts error. Please perform data "
                                                 "integrity check for the %1 processing year now.");
const QString ProcessingErrorText = QStringLiteral("Error processing transaction files - process aborted.");
const QString ResetErrorText = QStringLiteral("Error resetting bank reconciliation. Retry this procedure.");
const QString IntegrityDoneText = QStringLiteral("Data integrity check completed");
const QString IntegrityErrorText = QStringLiteral("Unable to complete data integrity check - ");
const QString StaleChequeMark = QStringLiteral("*Stale Chq* ");

bool HasKind(quint16 kinds, int kind) {
    return ((kinds >> kind) & 1u) != 0;
}

void ShowBox(TMessageKind kind, const QString& text) {
    MessageBeepAndShow(TServices::Prompt(), kind, text, TMessageButton::OK);
}

TTransactionListSources RunSources(const TReportSetup& setup) {
    return setup.Detail->ListSources(setup.Accounts, setup.TaxRates, setup.StdDescs, setup.CurrencyRates);
}

// The chart index of every account code, so that a million entries do not format a million keys:
// open addressing over a table at most a quarter full, looked up twice for every entry.
class TAccountIndex {
public:
    explicit TAccountIndex(const TAccountsChart& chart) {
        while ((size_t{1} << Bits) < static_cast<size_t>(chart.Count()) * 4)
            ++Bits;
        Keys.assign(size_t{1} << Bits, 0);
        Indexes.assign(size_t{1} << Bits, -1);
        for (int i = 0; i < chart.Count(); ++i) {
            const quint64 key = Key(chart.GetCodeParts(i));
            size_t at = Home(key);
            while (Indexes[at] >= 0 && Keys[at] != key)
                at = (at + 1) & (Keys.size() - 1);
            if (Indexes[at] < 0) { // the first account of a code is the one found
                Keys[at] = key;
                Indexes[at] = i;
            }
        }
    }
    int Find(const TAccountCode& code) const {
        const quint64 key = Key(code);
        for (size_t at = Home(key);; at = (at + 1) & (Keys.size() - 1)) {
            if (Indexes[at] < 0)
                return -1;
            if (Keys[at] == key)
                return Indexes[at];
        }
    }

private:
    static quint64 Key(const TAccountCode& code) {
        return (quint64(quint16(code.Branch)) << 48) | (quint64(quint16(code.Division)) << 32) |
               (quint64(quint16(code.Account)) << 16) | quint64(quint16(code.SubAccount));
    }
    size_t Home(quint64 key) const {
        return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - Bits));
    }

    int Bits = 4;
    std::vector<quint64> Keys;
    std::vector<int> Indexes;
};

// Whether the account at an index lies in the groups, remembered per index. No groups: all do.
class TGroupMembership {
public:
    TGroupMembership(const TAccountsChart& chart, const TAccountGroups* groups)
        : Chart(chart), Groups(groups), Known(static_cast<size_t>(chart.Count()), -1) {}
    bool Contains(int index) {
        if (!Groups)
            return true;
        if (index < 0 || index >= static_cast<int>(Known.size()))
            return false;
        qint8& known = Known[static_cast<size_t>(index)];
        if (known < 0)
            known = Groups->Contains(Chart.GetCodeParts(index)) ? 1 : 0;
        return known == 1;
    }

private:
    const TAccountsChart& Chart;
    const TAccountGroups* Groups;
    std::vector<qint8> Known;
};

// One recalculation: the run's parameters, the accounts chart it fills and where it stands.
class TBalanceRun {
public:
    TBalanceRun(TEntityInfo& file, TReportSetup& setup, TAccountTransactionLists* lists)
        : File(file), Setup(setup), Accounts(*setup.Accounts), Index(*setup.Accounts),
          BankGroups(*setup.Accounts, setup.BankGroups.get()),
          AccountGroups(*setup.Accounts, setup.AccountGroups.get()), Lists(lists),
          YearStart(PeriodStartDate(1, setup.Year, 1, setup.EndMonth())), Sources(RunSources(setup)) {
        if (Lists && Setup.ReportType == TransactionDetailReport)
            Lists->resize(static_cast<size_t>(Accounts.Count()));
    }

    void Run(bool showProgress) {
        std::unique_ptr<IProgress> progress;
        if (showProgress) {
            progress = TServices::CreateProgress();
            const bool fixedCaption = Setup.ReportType == TransactionDetailReport ||
                                      Setup.ProcessKind == prDeleteAccounts ||
                                      Setup.ProcessKind == prDeleteTaxes;
            progress->Setup(fixedCaption ? Setup.Title : Setup.Detail->FileCode + u' ' + Setup.Title,
                            ProgressText, QString(), true, true);
        }
        int first = Setup.MovementsOnly ? Setup.FromPeriod : 1;
        int last = Setup.ToDate < Setup.FromDate ? Setup.FromPeriod : Setup.ToPeriod;
        if (HasKind(Setup.PageKinds, pkOpeningUnpresentedCheques) ||
            HasKind(Setup.PageKinds, pkOpeningOutstandingDeposits))
            first = last = 1;
        first = std::clamp(first, 1, MonthlyPeriods);
        last = std::clamp(last, first, MonthlyPeriods);
        const double step = 100.0 / (last - first + 1);
        for (int period = first; period <= last; ++period) {
            for (int kind = 0; kind <= LastFileKind; ++kind) {
                if (!HasKind(Setup.PageKinds, kind) || (IsOneFileKind(kind) && period != first))
                    continue;
                ProcessList(kind, period);
            }
            if (progress)
                progress->SetPosition(step * (period - first + 1));
        }
    }

private:
    static constexpr int TransactionDetailReport = 3;

    // Which sides of an entry a transaction-detail run handles.
    struct TSides {
        bool Posting;
        bool Bank;
    };

    void ProcessList(int kind, int period) {
        const int year = Setup.Year;
        TPeriodList::WriteOpenPage(File, kind, year, period);
        const bool pageOpen = TPeriodList::OpenPageList(File, kind, year, period) != nullptr;
        const TPeriodList loaded(File, Sources, kind, year, period,
                                 {Option::QuietLoad, Option::NoLoadProcessing}, false);
        TTransactionList& list = loaded.List();
        if (pageOpen)
            list.GenerateContras(false);
        list.RefreshTaxEntries(true, list.TaxColumn(), false, false);
        list.SetSaved(true);
        if (Setup.ProcessKind == prDeleteTaxes)
            return;
        for (int i = 0; i < list.Count(); ++i)
            ProcessEntry(list, *list.GetItem(i), period);
    }

    void ProcessEntry(const TTransactionList& list, const TTransactionDetail& source, int period) {
        // Blank lines and dissection totals carry no accounts: they are passed over before any
        // account is looked up.
        if (source.HasAnyFlag({TF::Blank, TF::DissectionTotal}))
            return;
        const int kind = list.PageKind();
        const bool bankItemsOnly = IsBankStatementKind(kind);
        int posting = Index.Find(source.PostingCode);
        int bank = Index.Find(source.BankCode);
        if ((posting < 0 && !bankItemsOnly) || bank < 0)
            throw EChangeInAccountsChart(AccountsErrorText.arg(Setup.Year));
        MarkUsed(posting);
        MarkUsed(bank);
        if (Setup.ProcessKind == prDeleteAccounts)
            return;
        if (source.Date > Setup.ToDate && kind != pkOpeningBalances)
            return;

        const TTransactionDetail* entry = &source;
        TTransactionDetail mapped;
        if (Setup.CodeMapping >= 1 && Setup.CodeMapping <= 3) {
            mapped = source;
            entry = &mapped;
            if (Setup.CodeMapping != 2 && !bankItemsOnly)
                posting = MappedIndex(list.MapAccountCode(mapped), mapped.PostingCode);
            if (Setup.CodeMapping != 1)
                bank = MappedIndex(list.MapBankAccountCode(mapped), mapped.BankCode);
        }
        if (!BankGroups.Contains(bank))
            return;
        // A transaction-detail run takes the sides whose accounts lie in its account groups: the
        // posting side always, the bank side when the run lists it.
        TSides sides{true, false};
        if (Setup.ReportType == TransactionDetailReport) {
            sides.Posting = AccountGroups.Contains(posting);
            sides.Bank = Setup.ListBankSide && AccountGroups.Contains(bank);
            if (!sides.Posting && !sides.Bank)
                return;
        }

        double amount = entry->Amount;
        qint32 quantity = entry->Quantity;
        if (Setup.CurrencyConversion && entry->Rate > 0.0)
            amount = LocalAmount(amount, entry->Rate);
        if (kind == pkReceipts || kind == pkSalesJournals || kind == pkBankStatementDeposits ||
            kind == pkOpeningOutstandingDeposits) {
            amount = -amount;
            quantity = -quantity;
        }
        Accumulate(*entry, kind, period, posting, bank, amount, quantity, sides);
    }

    void Accumulate(const TTransactionDetail& entry, int kind, int period, int posting, int bank,
                    double amount, qint32 quantity, TSides sides) {
        TAccountDetail* postingAccount = Accounts.GetAccount(posting);
        TAccountDetail* bankAccount = Accounts.GetAccount(bank);
        if (Setup.ReportType == TransactionDetailReport) {
            if (entry.Date < Setup.FromDate || (kind == pkOpeningBalances && entry.Date == YearStart)) {
                // An opening entry: into the balances the accounts open with.
                if (Setup.MovementsOnly)
                    return;
                if (sides.Posting && postingAccount) {
                    AddMoney(Balances, posting, postingAccount->Balance, amount);
                    postingAccount->Quantity += quantity;
                }
                if (sides.Bank && bankAccount)
                    AddMoney(Balances, bank, bankAccount->Balance, -amount);
            } else if (Lists) {
                const QString key = QString::asprintf("%.0f%d%d", entry.Date, int(entry.Reference), kind);
                if (sides.Posting && posting >= 0)
                    (*Lists)[static_cast<size_t>(posting)].push_back({key, entry, amount, false});
                if (sides.Bank && bank >= 0)
                    (*Lists)[static_cast<size_t>(bank)].push_back({key, entry, -amount, true});
            }
        } else if (Setup.ProcessKind == prBringForward) {
            if (postingAccount) {
                AddMoney(Balances, posting, postingAccount->Balance, amount);
                postingAccount->Quantity += quantity;
            }
            AddMoney(Balances, bank, bankAccount->Balance, -amount);
        } else if (Setup.ReportType == 52) {
            if (entry.HasAnyFlag({TF::Contra}))
                return;
            const double days = std::floor(entry.Date - YearStart);
            // A date before the year would make a negative column.
            if (days < 0 || days > MaxDayColumn)
                return;
            TColumnBals& column = kind == pkBankStatementDeposits || kind == pkBankStatementWithdrawals
                                      ? bankAccount->ColumnValues
                                      : bankAccount->PeriodAmounts;
            column.AddToBalance(static_cast<int>(days), -amount);
        } else if (Setup.ReportType == 50 || Setup.ReportType == 51) {
            int slot = period;
            if (Setup.RunOptions.Has(TReportSetup::WeeklyOption)) {
                const double days = std::floor(entry.Date - YearStart);
                if (days < 0 || days >= MaxWeekColumn * 7)
                    return;
                slot = static_cast<int>(days) / 7 + 1;
            }
            if (postingAccount) {
                postingAccount->AddToPeriodAmount(slot, amount);
                postingAccount->AddToPeriodQuantity(slot, quantity);
            }
            bankAccount->AddToPeriodAmount(slot, -amount);
        } else {
            const bool counts = kind == pkOpeningUnpresentedCheques || kind == pkOpeningOutstandingDeposits ||
                                entry.Date >= Setup.FromDate;
            if (postingAccount) {
                if (!Setup.MovementsOnly)
                    AddMoney(Totals, posting, postingAccount->Total, amount);
                if (counts) {
                    AddMoney(Balances, posting, postingAccount->Balance, amount);
                    postingAccount->AddToPeriodAmount(period, amount);
                    postingAccount->AddToPeriodQuantity(period, quantity);
                }
            }
            if (!Setup.MovementsOnly)
                AddMoney(Totals, bank, bankAccount->Total, -amount);
            if (counts) {
                bankAccount->AddToPeriodAmount(period, -amount);
                AddMoney(Balances, bank, bankAccount->Balance, -amount);
            }
        }
    }

    // Adds an amount to an account's balance or total through a compensated running sum per
    // account, seeded with what the field held when the run first touched it; the field follows
    // the sum after every addition.
    void AddMoney(std::vector<std::optional<TMoneyTotal>>& sums, int index, double& field, double amount) {
        if (sums.size() < static_cast<size_t>(Accounts.Count()))
            sums.resize(static_cast<size_t>(Accounts.Count()));
        std::optional<TMoneyTotal>& sum = sums[static_cast<size_t>(index)];
        if (!sum)
            sum.emplace(field);
        sum->Add(amount);
        field = sum->Value();
    }

    void MarkUsed(int index) {
        if (TAccountDetail* account = Accounts.GetAccount(index))
            account->Used = true;
    }
    // The index of a mapped code: the mapping's answer, else the code looked up afresh.
    int MappedIndex(int mappedIndex, const TAccountCode& code) const {
        return mappedIndex >= 0 ? mappedIndex : Index.Find(code);
    }

    TEntityInfo& File;
    TReportSetup& Setup;
    TAccountsChart& Accounts;
    TAccountIndex Index;
    TGroupMembership BankGroups;
    TGroupMembership AccountGroups;
    TAccountTransactionLists* Lists;
    double YearStart;
    TTransactionListSources Sources;
    std::vector<std::optional<TMoneyTotal>> Balances;
    std::vector<std::optional<TMoneyTotal>> Totals;
};

void ClearRunBalances(TReportSetup& setup, TAccountTransactionLists* lists, bool clearAmounts) {
    setup.Accounts->ClearAccountBalances();
    if (clearAmounts)
        setup.Accounts->ClearAllAccountAmounts();
    if (lists)
        lists->clear();
}

// Removes every "*Stale Chq* " from the details, case aside; whether any went.
bool RemoveStaleMarks(TTransactionDetail& entry) {
    static const QRegularExpression mark(QRegularExpression::escape(StaleChequeMark),
                                         QRegularExpression::CaseInsensitiveOption);
    QString details = entry.Details();
    if (!details.contains(StaleChequeMark, Qt::CaseInsensitive))
        return false;
    details.remove(mark);
    entry.SetDetails(details);
    return true;
}

} // namespace

TRunFile TEntityInfo::RunFile(int year) {
    return {this,
            Detail.get(),
            AccountsChart(year),
            TaxRateChart(year),
            StdDescChart(year),
            CurrencyRatesChart(year),
            &BankRecOpening};
}

int TEntityInfo::ProcessTransactions(TReportSetup& setup, TAccountTransactionLists* accountLists,
                                     bool showProgress, bool clearUsedFlags, bool clearAmounts) {
    if (!setup.Accounts) {
        ShowBox(TMessageKind::Error, ProcessingErrorText);
        return -1;
    }
    setup.Accounts->ClearAccountBalances();
    if (clearUsedFlags) {
        setup.Accounts->ClearUsedFlags();
        if (setup.TaxRates)
            setup.TaxRates->ClearUsedMarks();
    }
    if (clearAmounts)
        setup.Accounts->ClearAllAccountAmounts();
    if (accountLists)
        accountLists->clear();
    if (setup.PageKinds == 0)
        return 0;
    try {
        // The run looks for the month file of every kind and month; most are usually not there,
        // and are looked for in one listing of their folder.
        const TLocalFileSystem::TListingScope listings;
        TBalanceRun(*this, setup, accountLists).Run(showProgress);
        return 0;
    } catch (const EOperationCancelled&) {
        // No half-made balances stay behind for a report to print.
        ClearRunBalances(setup, accountLists, clearAmounts);
        throw;
    } catch (const EChangeInAccountsChart& error) {
        ClearRunBalances(setup, accountLists, clearAmounts);
        ShowBox(TMessageKind::Error, error.message());
        if (setup.ProcessKind == prBringForward)
            throw;
        return -1;
    } catch (const std::exception&) {
        ClearRunBalances(setup, accountLists, clearAmounts);
        ShowBox(TMessageKind::Error, ProcessingErrorText);
        return -1;
    }
}

int TEntityInfo::ResetBankReconciliation(TReportSetup& setup) {
    try {
        TBankRecOpeningDetailChart* opening = BankRecOpeningChart();
        if (!opening || !setup.Accounts)
            throw EQuilvaneError(ResetErrorText);
        const int chosen = setup.BankRecIndex;
        if (chosen >= opening->Count())
            throw EQuilvaneError(ResetErrorText);
        TAccountCode bank;
        QString accountText = QStringLiteral("All Bank Accounts");
        if (chosen >= 0) {
            bank = opening->GetDetail(chosen)->BankAccount;
            QString code;
            opening->GetCodeWithCurrency(chosen, code);
            accountText = QStringLiteral("Bank Account ") + code;
        }
        const auto progress = TServices::CreateProgress();
        progress->Setup(Detail->FileCode + QStringLiteral(" : ") + accountText, ProgressText, QString(), true,
                        false);
        setup.PageKinds = (1u << pkPayments) | (1u << pkReceipts) | (1u << pkBankStatementDeposits) |
                          (1u << pkBankStatementWithdrawals) | (1u << pkOpeningUnpresentedCheques) |
                          (1u << pkOpeningOutstandingDeposits);
        const TTransactionListSources sources = RunSources(setup);
        for (int period = 1; period <= MonthlyPeriods; ++period) {
            for (int kind = 0; kind <= LastFileKind; ++kind) {
                if (!HasKind(setup.PageKinds, kind) || (IsOneFileKind(kind) && period != 1))
                    continue;
                TPeriodList lists(*this, sources, kind, setup.Year, period,
                                  {Option::QuietLoad, Option::NoLoadProcessing}, true);
                TTransactionList& list = lists.List();
                bool changed = false;
                for (int i = 0; i < list.Count(); ++i) {
                    TTransactionDetail& entry = *list.GetItem(i);
                    if (chosen >= 0 && !(entry.BankCode == bank))
                        continue;
                    if (entry.HasAnyFlag(
                            {TF::Reconciled, TF::BankRecMarkA, TF::BankRecMarkB, TF::BankRecMarkC})) {
                        entry.Flags &= ~((1u << TF::Reconciled) | (1u << TF::BankRecMarkA) |
                                         (1u << TF::BankRecMarkB) | (1u << TF::BankRecMarkC));
                        changed = true;
                    }
                    changed = RemoveStaleMarks(entry) || changed;
                }
                if (changed)
                    list.SetSaved(false);
                lists.Save();
            }
            progress->SetPosition(100.0 * period / MonthlyPeriods);
        }
        for (int i = 0; i < opening->Count(); ++i)
            if (chosen < 0 || i == chosen)
                opening->ResetDetail(i);
        opening->AssignFreeSlots();
        TOptionSet options{Option::Standard};
        if (opening->SaveToFile(options) != 0 || setup.Accounts->SaveIfModified(options) != 0)
            throw EQuilvaneError(ResetErrorText);
        return 0;
    } catch (const EOperationCancelled&) {
        throw;
    } catch (const std::exception&) {
        ShowBox(TMessageKind::Error, ResetErrorText);
        return -1;
    }
}

int TEntityInfo::TransferBankStatementEntries(TReportSetup& setup) {
    try {
        if (!setup.Accounts)
            throw EQuilvaneError(TransferErrorText());
        TransferStatementEntries(*this, setup, RunSources(setup));
    } catch (const EOperationCancelled&) {
        throw;
    } catch (const std::exception&) {
        ShowBox(TMessageKind::Error, TransferErrorText());
        return -1;
    }
    ShowBox(TMessageKind::Information, TransferDoneText());
    return 0;
}

void TEntityInfo::DataIntegrityCheck(int year, bool showProgress, bool showMessage) {
    try {
        if (!AccountsChart(year))
            throw EQuilvaneError(QStringLiteral("the charts of the %1 year are not open").arg(year));
        TReportSetup setup(RunFile(year), 0, prDataIntegrityCheck, year, false);
        const TTransactionListSources sources = RunSources(setup);
        std::unique_ptr<IProgress> progress;
        if (showProgress) {
            progress = TServices::CreateProgress();
            progress->Setup(Detail->FileCode, ProgressText, QString(), true, true);
        }
        int step = 0;
        for (int period = 1; period <= MonthlyPeriods; ++period) {
            for (int kind = 0; kind <= pkDeletedTransactions; ++kind) {
                if (kind <= LastFileKind && (!IsOneFileKind(kind) || period == 1)) {
                    TPeriodList::WriteOpenPage(*this, kind, year, period);
                    TPeriodList lists(*this, sources, kind, year, period,
                                      {Option::Load, Option::NoContraRegeneration}, false);
                    lists.List().SetSaved(false);
                    lists.Save();
                }
                ++step;
                if (progress)
                    progress->SetPosition(step * 5.0 / 9.0);
            }
        }
        TOptionSet options{Option::Standard};
        if (SaveYearCharts(year, options, true) != 0)
            throw EQuilvaneError(QStringLiteral("the charts of the %1 year could not be written").arg(year));
    } catch (const EOperationCancelled&) {
        throw;
    } catch (const std::exception& error) {
        ShowBox(TMessageKind::Error, IntegrityErrorText + ErrorText(error));
        return;
    }
    if (showMessage)
        ShowBox(TMessageKind::Information, IntegrityDoneText);
}
