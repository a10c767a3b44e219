#include "reports/LedgerReports.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/common/Money.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/PeriodList.h"
#include "core/entity/RunParams.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/util/References.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ReportVocabulary.h"

#include <algorithm>
#include <array>
#include <memory>
#include <tuple>

namespace TF = TransactionFlag;

namespace {

constexpr int MonthlyPeriods = TPeriodList::MonthlyPeriods;
constexpr int TransactionListingType = 4;
constexpr int LastListedKind = pkStandardBankTransactions;

// The columns of the ledger.
constexpr int DateWidth = 10;
constexpr int ReferenceWidth = 10;
constexpr int PageWidth = 5;
constexpr int DetailsWidth = 40;
constexpr int MoneyWidth = 14;
constexpr int BalanceWidth = 15;
// The columns of the transaction listing that the ledger does not share.
constexpr int CodeWidth = 14;
constexpr int AmountWidth = 14;

const QString ProcessingErrorText = QStringLiteral("Error processing transaction files - process aborted.");

bool HasKind(quint16 kinds, int kind) {
    return ((kinds >> kind) & 1u) != 0;
}

// The working periods per year of the file, when they divide the year into whole months.
int WorkingPeriods(const TEntityInfo& file) {
    const int periods = file.PeriodsPerYear;
    return periods >= 1 && periods <= MonthlyPeriods && MonthlyPeriods % periods == 0 ? periods
                                                                                      : MonthlyPeriods;
}

// A monthly period (1-12) of the year as a period of the file's working periods.
int WorkingPeriod(const TEntityInfo& file, int monthlyPeriod) {
    return (monthlyPeriod - 1) / (MonthlyPeriods / WorkingPeriods(file)) + 1;
}

QString Fit(const QString& text, int width) {
    return text.left(width);
}

QString PageText(int pageKind) {
    return IsPageKind(pageKind) ? PageKindEntry(pageKind).ShortName.toString() : QString::number(pageKind);
}

// The date column: a day of the month for the kinds whose date is one.
QString EntryDate(const TTransactionDetail& entry, int pageKind) {
    if (IsDayOfMonthKind(pageKind))
        return entry.Date == 0 ? QString() : QStringLiteral("Day %1").arg(static_cast<int>(entry.Date));
    return ReportDate(entry.Date);
}

// The opening lines of a report: title, file, date range, then a blank line.
TReportText Heading(const QString& title, const QString& fileCaption, double fromDate, double toDate) {
    return {title,
            {title, fileCaption, QStringLiteral("%1 to %2").arg(ReportDate(fromDate), ReportDate(toDate)),
             QString()},
            {}};
}

TReportText NotProduced(const QString& title) {
    return {title, {ReportNotProducedLine(title)}, {}};
}

QString LedgerColumns(const QString& date, const QString& reference, const QString& page,
                      const QString& details, const QString& debit, const QString& credit,
                      const QString& balance) {
    return ReportColumns({{date, DateWidth},
                          {reference, ReferenceWidth},
                          {page, PageWidth},
                          {Fit(details, DetailsWidth), DetailsWidth},
                          {debit, -MoneyWidth},
                          {credit, -MoneyWidth},
                          {balance, -BalanceWidth}});
}

QString CodeText(const TAccountFormat* format, const TAccountCode& code) {
    if (code.IsEmpty())
        return QString();
    return format ? format->FormatCode(code) : QString();
}

// One entry of the transaction listing, with the page and period of the list that holds it.
struct TListedEntry {
    TTransactionDetail Entry;
    int PageKind = 0;
    int Period = 1;
};

} // namespace

QString ReportNotProducedLine(const QString& title) {
    return QStringLiteral("The %1 could not be produced.").arg(title);
}

int TransactionPeriod(const TEntityInfo& file, int pageKind, double date, qint32 id) {
    if (IsOneFileKind(pageKind))
        return 1;
    const TEntityDetail& detail = file.EntityDetail();
    try {
        int year = detail.Year;
        const int period = PeriodOfDate(MonthlyPeriods, detail.EndMonth, year, date);
        if (year == detail.Year)
            return WorkingPeriod(file, period);
    } catch (const EQuilvaneError&) {
        // No calendar day: the ID still tells the month.
    }
    int kind = 0;
    int slot = 0;
    SplitTransactionKey(id, kind, slot);
    return WorkingPeriod(file, std::clamp(slot, 1, MonthlyPeriods));
}

TReportLineTarget TransactionTarget(const TEntityInfo& file, const TTransactionDetail& entry, int pageKind) {
    TReportLineTarget target;
    target.PageKind = pageKind;
    target.Period = TransactionPeriod(file, pageKind, entry.Date, entry.ID);
    target.Target.FirstID = entry.ID;
    // A tax line is found through the entry it belongs to.
    target.Target.SecondID = entry.ParentID >= 1 ? entry.ParentID : 0;
    return target;
}

TLedger BuildLedger(TEntityInfo& file) {
    TLedger ledger;
    ledger.Title = StandardReportRow(GeneralLedgerReport).Title.toString();
    ledger.FileCaption = file.YearCaption(-1);
    const int year = file.EntityDetail().Year;
    ledger.Year = year;
    std::unique_ptr<TReportSetup> setup;
    try {
        setup = std::make_unique<TReportSetup>(file.RunFile(year), GeneralLedgerReport, 0, year, true);
    } catch (const EOperationCancelled&) {
        throw;
    } catch (const std::exception& error) {
        // The private charts could not be made.
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ErrorText(error), TMessageButton::OK);
        ledger.Result = -1;
        return ledger;
    }
    setup->ListBankSide = true;
    setup->CurrencyConversion = file.EntityDetail().CurrencyConv;
    ledger.FromDate = setup->FromDate;
    ledger.ToDate = setup->ToDate;
    TAccountTransactionLists lists;
    ledger.Result = file.ProcessTransactions(*setup, &lists, true, false, false);
    if (ledger.Result != 0)
        return ledger;

    const TAccountsChart& chart = *setup->Accounts;
    TMoneyTotal debits;
    TMoneyTotal credits;
    for (int index = 0; index < chart.Count(); ++index) {
        const TAccountDetail* account = chart.GetAccount(index);
        std::vector<TKeyedTransaction>* items =
            index < static_cast<int>(lists.size()) ? &lists[static_cast<size_t>(index)] : nullptr;
        if (!account)
            continue;
        TLedgerAccount& ledgerAccount = ledger.Accounts.emplace_back();
        ledgerAccount.Index = index;
        ledgerAccount.Code = account->GetAccount_Code(0);
        ledgerAccount.Description = account->GetAccount_Description_();
        ledgerAccount.Opening = account->Balance;
        TMoneyTotal balance(account->Balance);
        if (items) {
            std::stable_sort(
                items->begin(), items->end(),
                [](const TKeyedTransaction& a, const TKeyedTransaction& b) { return a.Key < b.Key; });
            ledgerAccount.Lines.reserve(items->size());
            for (TKeyedTransaction& item : *items) {
                // Both sides of an entry that posts to its own bank account (the contra lines of
                // the cash books) stand in this one account and cancel: neither is shown.
                if (item.Entry.PostingCode == item.Entry.BankCode)
                    continue;
                balance.Add(item.Amount);
                (item.Amount > 0 ? debits : credits).Add(item.Amount);
                TLedgerLine& line = ledgerAccount.Lines.emplace_back();
                line.Target = TransactionTarget(file, item.Entry, item.Entry.PageKind);
                line.Item = std::move(item);
                line.Balance = balance.Value();
            }
        }
        ledgerAccount.Closing = balance.Value();
        if (ledgerAccount.Lines.empty() && IsZeroMoney(ledgerAccount.Opening))
            ledger.Accounts.pop_back();
    }
    ledger.TotalDebits = debits.Value();
    ledger.TotalCredits = -credits.Value();
    return ledger;
}

TReportText LedgerText(const TLedger& ledger) {
    if (ledger.Result != 0)
        return NotProduced(ledger.Title);
    TReportText report = Heading(ledger.Title, ledger.FileCaption, ledger.FromDate, ledger.ToDate);
    report.Title = QStringLiteral("%1 %2").arg(ledger.Title).arg(ledger.Year);
    report.Lines << LedgerColumns(QStringLiteral("Date"), QStringLiteral("Reference"), QStringLiteral("Page"),
                                  QStringLiteral("Details"), QStringLiteral("Debit"),
                                  QStringLiteral("Credit"), QStringLiteral("Balance"));
    for (const TLedgerAccount& account : ledger.Accounts) {
        report.Lines << QString() << ReportColumns({{account.Code, 0}, {account.Description, 0}});
        report.Lines << LedgerColumns({}, {}, {}, QStringLiteral("Opening balance"), {}, {},
                                      MoneyText(account.Opening));
        for (const TLedgerLine& line : account.Lines) {
            const TTransactionDetail& entry = line.Item.Entry;
            const double amount = line.Item.Amount;
            const bool debit = !(amount < 0);
            TReportLineTarget target = line.Target;
            target.Line = static_cast<int>(report.Lines.size());
            report.Targets.push_back(target);
            report.Lines << LedgerColumns(EntryDate(entry, entry.PageKind), ReferenceToText(entry.Reference),
                                          PageText(entry.PageKind), entry.Details(),
                                          debit ? MoneyText(amount) : QString(),
                                          debit ? QString() : MoneyText(-amount), MoneyText(line.Balance));
        }
        report.Lines << LedgerColumns({}, {}, {}, QStringLiteral("Closing balance"), {}, {},
                                      MoneyText(account.Closing));
    }
    report.Lines << QString()
                 << LedgerColumns({}, {}, {}, QStringLiteral("Totals"), MoneyText(ledger.TotalDebits),
                                  MoneyText(ledger.TotalCredits), {});
    return report;
}

TReportText GeneralLedgerText(TEntityInfo& file) {
    return LedgerText(BuildLedger(file));
}

TReportText TransactionListText(TEntityInfo& file) {
    const int year = file.EntityDetail().Year;
    TReportSetup setup(file.RunFile(year), TransactionListingType, 0, year, false);
    const QString title = QStringLiteral("Transaction Listing");
    if (!setup.Accounts) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ProcessingErrorText, TMessageButton::OK);
        return NotProduced(title);
    }
    const TTransactionListSources sources =
        setup.Detail->ListSources(setup.Accounts, setup.TaxRates, setup.StdDescs, setup.CurrencyRates);

    std::vector<TListedEntry> entries;
    try {
        const auto progress = TServices::CreateProgress();
        progress->Setup(setup.Detail->FileCode + u' ' + title, 0, QString(), true, true);
        for (int period = 1; period <= MonthlyPeriods; ++period) {
            for (int kind = 0; kind <= LastListedKind; ++kind) {
                if (!HasKind(setup.PageKinds, kind) || (IsOneFileKind(kind) && period != 1))
                    continue;
                const TPeriodList lists(file, sources, kind, year, period,
                                        {Option::QuietLoad, Option::NoLoadProcessing}, true);
                TTransactionList& list = lists.List();
                if (!lists.FromPage()) {
                    // As the recalculation reads a month: its tax lines made afresh, never written.
                    list.RefreshTaxEntries(true, list.TaxColumn(), false, false);
                    list.SetSaved(true);
                }
                for (int i = 0; i < list.Count(); ++i) {
                    const TTransactionDetail& entry = *list.GetItem(i);
                    if (!entry.HasAnyFlag({TF::Blank, TF::DissectionTotal}))
                        entries.push_back({entry, kind, period});
                }
            }
            progress->SetPosition(100.0 * period / MonthlyPeriods);
        }
    } catch (const EOperationCancelled&) {
        throw;
    } catch (const std::exception&) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ProcessingErrorText, TMessageButton::OK);
        return NotProduced(title);
    }

    std::stable_sort(entries.begin(), entries.end(), [](const TListedEntry& a, const TListedEntry& b) {
        return std::tuple(a.Entry.Date, a.PageKind, a.Entry.Reference) <
               std::tuple(b.Entry.Date, b.PageKind, b.Entry.Reference);
    });

    TReportText report = Heading(title, file.YearCaption(-1), setup.FromDate, setup.ToDate);
    report.Lines << ReportColumns({{QStringLiteral("Date"), DateWidth},
                                   {QStringLiteral("Page"), PageWidth},
                                   {QStringLiteral("Reference"), ReferenceWidth},
                                   {QStringLiteral("Account"), CodeWidth},
                                   {QStringLiteral("Bank"), CodeWidth},
                                   {QStringLiteral("Details"), DetailsWidth},
                                   {QStringLiteral("Amount"), -AmountWidth}});
    const TAccountFormat* format = CodeFormat(sources);
    std::array<TMoneyTotal, PageKindCount> totals{};
    std::array<int, PageKindCount> counts{};
    for (const TListedEntry& listed : entries) {
        const TTransactionDetail& entry = listed.Entry;
        TReportLineTarget target = TransactionTarget(file, entry, listed.PageKind);
        // The list the entry was read from is the page that holds it.
        target.Period = IsOneFileKind(listed.PageKind) ? 1 : WorkingPeriod(file, listed.Period);
        target.Line = static_cast<int>(report.Lines.size());
        report.Targets.push_back(target);
        report.Lines << ReportColumns({{EntryDate(entry, listed.PageKind), DateWidth},
                                       {PageText(listed.PageKind), PageWidth},
                                       {ReferenceToText(entry.Reference), ReferenceWidth},
                                       {CodeText(format, entry.PostingCode), CodeWidth},
                                       {CodeText(format, entry.BankCode), CodeWidth},
                                       {Fit(entry.Details(), DetailsWidth), DetailsWidth},
                                       {MoneyText(entry.Amount), -AmountWidth}});
        // A contra line balances its page's bank account: counted in, every page would total 0.00.
        if (entry.HasAnyFlag({TF::Contra}))
            continue;
        totals[static_cast<size_t>(listed.PageKind)].Add(entry.Amount);
        ++counts[static_cast<size_t>(listed.PageKind)];
    }

    report.Lines << QString() << TotalsByPageHeading;
    for (int kind = 0; kind <= LastListedKind; ++kind) {
        if (counts[static_cast<size_t>(kind)] == 0)
            continue;
        report.Lines << ReportColumns(
            {{PageKindEntry(kind).Name.toString(), 30},
             {QStringLiteral("%1 lines").arg(counts[static_cast<size_t>(kind)]), -12},
             {MoneyText(totals[static_cast<size_t>(kind)].Value()), -AmountWidth}});
    }
    report.Lines << QString() << QStringLiteral("Entries listed: %1").arg(entries.size());
    return report;
}
