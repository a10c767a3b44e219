#include "shell/bringforward/BringForwardEngine.h"

#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/common/Money.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/files/FileQuestions.h"
#include "core/files/Paths.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionImageFile.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/SmallVocabulary.h"
#include "shell/bringforward/ProfitDistribution.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QScopeGuard>

#include <array>
#include <cmath>

namespace {

constexpr double CentTolerance = 0.009;
constexpr int ProgressKind = 0;
constexpr int MonthsPerYear = 12;

void ShowBox(TMessageKind kind, const QString& text) {
    MessageBeepAndShow(TServices::Prompt(), kind, text, TMessageButton::OK);
}

// Loads a chart from the given file (stored form) and leaves it pointing at its own year's file.
// A load the user gave up on fails the run (its box was shown).
void LoadChartFrom(TMasterChart& chart, const QString& fileName) {
    chart.SetFileName(fileName);
    const int result = chart.LoadFromFile(TOptionSet{Option::Standard});
    chart.SetFileName(QString());
    if (result != 0)
        throw EAbort();
}

const TAccountGroup* RangeGroup(const TAccountFormat* format, const QString& rangeType) {
    if (!format)
        return nullptr;
    const int index = format->IndexOfRangeType(rangeType);
    return index < 0 ? nullptr : format->GetRangeGroup(index);
}

bool InGroup(const TAccountGroup* group, const TAccountCode& code) {
    return group && group->Contains(code);
}

// The new chart's account of a code, created from the source account (keeping its date added)
// or bare (stamped with the time of `made`, the loop's one reading of the clock) when missing.
int FindOrCreate(TAccountsChart& chart, const TAccountCode& code, const TAccountDetail* source,
                 const QString& type, bool keepBudgets, TAccountsChart::TNewAccounts& made) {
    const int found = chart.IndexOfCode(code);
    if (found >= 0)
        return found;
    std::unique_ptr<TAccountDetail> account;
    if (source) {
        account = TAccountDetail::CopyOf(chart.Format(), *source, false);
        account->Balance = account->Total = account->Amount3 = 0;
        account->Quantity = 0;
        if (!keepBudgets)
            account->ClearBudgets();
    } else {
        account = made.Make();
        account->SetCode(code);
    }
    account->DeriveAccountType(type);
    chart.AddAccount(std::move(account));
    chart.Saved = false;
    return chart.IndexOfCode(code);
}

quint32 FlagBits(std::initializer_list<int> flags) {
    quint32 bits = 0;
    for (const int flag : flags)
        bits |= 1u << flag;
    return bits;
}

// Takes out every entry that carries all the flags.
void RemoveEntries(TTransactionList& list, std::initializer_list<int> flags) {
    for (int i = list.Count() - 1; i >= 0; --i)
        if (list.GetItem(i)->HasAllFlags(flags))
            list.DeleteTransaction(i);
}

void SaveList(TTransactionList& list) {
    TOptionSet save{Option::Standard};
    if (list.SaveToFile(save, false, true) != 0)
        throw EAbort();
}

// The workpaper journal whose entries a bring forward reverses, by an entry's narration: the
// member information and tax note journals. Empty for any other narration.
QString ReversedJournalName(const QString& narration) {
    const QString text = narration.trimmed();
    for (const QStringView name : {TessalyJournalPageNames[1], TessalyJournalPageNames[2]})
        if (text == name)
            return name.toString();
    return {};
}

} // namespace

TBringForwardEngine::TBringForwardEngine(TEntityInfo& file, int newYear) : File(file), NewYear(newYear) {}

TBringForwardEngine::~TBringForwardEngine() {
    TakeBackSourceOpening();
    FreeNewCharts();
}

void TBringForwardEngine::SetProgress(std::unique_ptr<IProgress> progress) {
    Progress = std::move(progress);
}

bool TBringForwardEngine::NewYearChartExists(int chartKind) const {
    const TChartEntity entity = File.EntityDetail().ChartEntity();
    const TOptionSet none;
    std::unique_ptr<TMasterChart> chart;
    switch (chartKind) {
    case ckAccounts:
        chart = std::make_unique<TAccountsChart>(entity, File.EntityDetail().AccountFormat, none, NewYear);
        break;
    case ckStdDescriptions:
        chart = std::make_unique<TStdDescChart>(entity, none, NewYear);
        break;
    case ckTaxes:
        chart = std::make_unique<TTaxRateChart>(entity, nullptr, File.EntityDetail().AccountFormat, none,
                                                NewYear);
        break;
    case ckCurrencies:
        chart = std::make_unique<TCurrConvRatesChart>(entity, none, NewYear);
        break;
    case ckBankRecOpening:
        chart = std::make_unique<TBankRecOpeningDetailChart>(
            entity, nullptr, File.EntityDetail().AccountFormat, none, NewYear);
        break;
    default:
        return false;
    }
    return QFile::exists(NativePath(chart->GetFileName(TOptionSet{Option::Standard}, NewYear)));
}

void TBringForwardEngine::Step(const QString& name) {
    CheckCancel();
    if (Progress) {
        // About a dozen steps make a run; the bar moves by one share at each.
        StepsTaken = std::min(StepsTaken + 1, ExpectedSteps);
        Progress->SetPosition(100.0 * StepsTaken / ExpectedSteps);
        Progress->SetMessage(ProgressKind, QStringLiteral("%1 %2 ...").arg(ProgressCaption, name));
    }
    CheckCancel();
}

void TBringForwardEngine::CheckCancel() {
    if (Progress && Progress->Cancelled())
        throw EOperationCancelled();
}

int TBringForwardEngine::Run(const TBringForwardOptions& options, const TProfitDistribution& distribution) {
    if (!distribution.CheckTotal()) {
        IUserPrompt& prompt = TServices::Prompt();
        prompt.Beep(TBeep::Warning);
        prompt.ShowMessage(TMessageKind::Error, TProfitDistribution::TotalText, TMessageButton::OK);
        return -1;
    }
    if (!Progress)
        Progress = TServices::CreateProgress();
    Progress->Setup(QStringLiteral("%1 - %2 (from %3 to %4 Financial Year)")
                        .arg(ProgressCaption, File.EntityDetail().FileCode)
                        .arg(SourceYear())
                        .arg(NewYear),
                    ProgressKind, QString(), true, true);
    NewYearStart = PeriodStartDate(1, NewYear, MonthsPerYear, File.EntityDetail().ChartEntity().EndMonth);

    int result = 0;
    QMap<QString, QByteArray> before;
    bool copiedAside = false;
    try {
        // The open year's pending changes (charts edited in the master-details windows, pages
        // not yet written) reach its files before any is read or set aside, whichever year the
        // file sits in: the run reads the source year's files, keeps the new year's own charts
        // when asked to, and from inside the new year ends by loading that year again.
        {
            TOptionSet save{Option::Standard};
            if (File.SaveYearCharts(File.EntityDetail().Year, save, false) != 0)
                throw EAbort();
        }
        before = YearFiles();
        copiedAside = true;
        Source =
            std::make_unique<TReportSetup>(File.RunFile(SourceYear()), 0, prBringForward, SourceYear(), true);
        LendSourceOpening();

        BuildStdDescriptions(options);
        BuildAccounts(options);
        BuildBudgets(options);
        BuildTaxAndCurrencyRates(options);
        if (options.MemorisedPayments) {
            Step(QStringLiteral("Memorised Payments"));
            CopyPage(pkMemorisedPayments);
        }
        if (options.StandardBankTransactions) {
            Step(QStringLiteral("Standard Bank Transactions"));
            CopyPage(pkStandardBankTransactions);
        }
        bool replaceAll = false;
        if (options.OpeningBalances) {
            Step(QStringLiteral("Opening Balances"));
            OpeningBalances(distribution, replaceAll);
        }
        if (options.OpeningReconciliation) {
            Step(QStringLiteral("Opening Reconciliation"));
            OpeningReconciliation(replaceAll);
        }
        if (options.Accounts != TBringForwardOptions::RetainCurrent)
            TakeSourceDescriptions();
        CheckCancel();
        WriteNewCharts();
    } catch (const EOperationCancelled&) {
        result = -100;
    } catch (const EAbort&) {
        result = -1;
    } catch (const EChangeInAccountsChart&) {
        // The recalculation has said what is wrong with the accounts.
        result = -1;
    } catch (const std::exception& error) {
        ShowBox(TMessageKind::Error, ErrorText(error));
        result = -1;
    }

    TakeBackSourceOpening();
    Source.reset();
    const bool closing = result == 0;
    if (closing)
        result = CloseRun(options);
    if (result != 0) {
        FreeNewCharts();
        if (copiedAside)
            RestoreYearFiles(before);
        // Stopped in its closing steps, a run from inside the new year may have loaded the
        // year's new charts: the file takes up the year as it was put back.
        if (closing && File.EntityDetail().Year == NewYear) {
            try {
                File.ChangeYear(NewYear, false, false);
            } catch (const std::exception& error) {
                ShowBox(TMessageKind::Error, ErrorText(error));
            }
        }
        Progress.reset();
        ShowResult(result);
        return result;
    }
    TProfitDistribution stored = distribution;
    stored.Store(File.EntityDetail(), NewYear);
    File.EntityDetail().Save(TOptionSet{Option::Standard});
    if (options.BASSetup)
        CopyBASSetup();
    Progress.reset();
    ShowResult(0);
    return 0;
}

int TBringForwardEngine::CloseRun(const TBringForwardOptions& options) {
    try {
        // A new year that is not the file's current one has no charts in the file: its
        // reconciliation is reset on the charts just written.
        if (File.EntityDetail().Year != NewYear && ResetsReconciliation(options)) {
            ResetNewYearReconciliation();
            CheckCancel();
        }
    } catch (const EOperationCancelled&) {
        return -100;
    } catch (const std::exception& error) {
        ShowBox(TMessageKind::Error, ErrorText(error));
    }
    FreeNewCharts();
    try {
        Finish(options);
    } catch (const EOperationCancelled&) {
        return -100;
    } catch (const std::exception& error) {
        ShowBox(TMessageKind::Error, ErrorText(error));
    }
    return 0;
}

void TBringForwardEngine::ShowResult(int result) {
    // One box for the way the run ended, with its one beep.
    IUserPrompt& prompt = TServices::Prompt();
    if (result == 0) {
        prompt.Beep(TBeep::Default);
        prompt.ShowMessage(TMessageKind::Information, CompleteText, TMessageButton::OK);
        return;
    }
    if (result == -100)
        ShowBox(TMessageKind::Error, TerminatedText);
    prompt.Beep(TBeep::Warning);
    prompt.ShowMessage(TMessageKind::Information, IncompleteText, TMessageButton::OK);
}

void TBringForwardEngine::LendSourceOpening() {
    auto opening = std::make_unique<TBankRecOpeningDetailChart>(
        File.EntityDetail().ChartEntity(), Source->Accounts, File.EntityDetail().AccountFormat,
        TOptionSet{Option::Standard, Option::Load}, SourceYear());
    SourceOpening = opening.get();
    FileOpening = File.TakeBankRecOpeningChart();
    File.SetBankRecOpeningChart(std::move(opening));
    Lent = true;
}

void TBringForwardEngine::TakeBackSourceOpening() {
    if (!Lent)
        return;
    Lent = false;
    // Read for the run alone: never written.
    if (File.BankRecOpeningChart() == SourceOpening)
        File.TakeBankRecOpeningChart().reset();
    File.SetBankRecOpeningChart(std::move(FileOpening));
    SourceOpening = nullptr;
}

void TBringForwardEngine::BuildStdDescriptions(const TBringForwardOptions& options) {
    const TChartEntity entity = File.EntityDetail().ChartEntity();
    NewStdDescs = std::make_unique<TStdDescChart>(entity, TOptionSet{}, NewYear);
    if (options.StdDescriptions == TBringForwardOptions::Clear)
        return;
    Step(QStringLiteral("Standard Descriptions"));
    const TOptionSet standard{Option::Standard};
    if (options.StdDescriptions == TBringForwardOptions::LastYears)
        LoadChartFrom(*NewStdDescs, NewStdDescs->GetFileName(standard, SourceYear()));
    else
        LoadChartFrom(*NewStdDescs, NewStdDescs->GetFileName(standard, NewYear));
    if (IsSuperannuationType(entity.EntityType)) {
        NewStdDescs->SetFileName(
            BuildPath({entity.DataDir, QStringLiteral("M_DETAIL"), QStringLiteral("Superfund.Std")}));
        NewStdDescs->LoadFromFile(TOptionSet{Option::Standard, 27});
        NewStdDescs->SetFileName(QString());
    }
}

void TBringForwardEngine::BuildAccounts(const TBringForwardOptions& options) {
    const TChartEntity entity = File.EntityDetail().ChartEntity();
    NewAccounts = std::make_unique<TAccountsChart>(entity, File.EntityDetail().AccountFormat, TOptionSet{},
                                                   NewYear, QString(), NewStdDescs.get());
    const TOptionSet standard{Option::Standard};
    switch (options.Accounts) {
    case TBringForwardOptions::LastYears:
        Step(QStringLiteral("Accounts"));
        LoadChartFrom(*NewAccounts, NewAccounts->GetFileName(standard, SourceYear()));
        break;
    case TBringForwardOptions::DefaultChart:
        Step(QStringLiteral("Accounts"));
        LoadChartFrom(*NewAccounts, NewAccounts->DefaultChartName());
        break;
    case TBringForwardOptions::RetainCurrent:
        LoadChartFrom(*NewAccounts, NewAccounts->GetFileName(standard, NewYear));
        break;
    default:
        break;
    }
    if (options.Accounts != TBringForwardOptions::DefaultChart && IsSuperannuationType(entity.EntityType) &&
        !NewAccounts->DefaultChartName().isEmpty()) {
        NewAccounts->SetFileName(NewAccounts->DefaultChartName());
        NewAccounts->LoadFromFile(TOptionSet{Option::Standard, 27});
        NewAccounts->SetFileName(QString());
    }
    NewAccounts->EnsureSuspenseAccount();
}

void TBringForwardEngine::BuildBudgets(const TBringForwardOptions& options) {
    TAccountsChart& source = *Source->Accounts;
    switch (options.Budgets) {
    case TBringForwardOptions::LastYears:
        Step(QStringLiteral("Budgets"));
        for (int i = 0; i < NewAccounts->Count(); ++i) {
            TAccountDetail* account = NewAccounts->GetAccount(i);
            const int from = source.IndexOfCode(account->Code());
            if (from >= 0)
                account->Budgets = source.GetAccount(from)->Budgets;
        }
        break;
    case TBringForwardOptions::LastYearActual: {
        Step(QStringLiteral("Budgets"));
        TReportSetup actual(File.RunFile(SourceYear()), 0, 0, SourceYear(), true);
        actual.MovementsOnly = false;
        if (File.ProcessTransactions(actual, nullptr, false, false, true) != 0)
            throw EAbort();
        const int endMonth = File.EntityDetail().ChartEntity().EndMonth;
        for (int i = 0; i < NewAccounts->Count(); ++i) {
            TAccountDetail* account = NewAccounts->GetAccount(i);
            account->ClearBudgets();
            const int from = actual.Accounts->IndexOfCode(account->Code());
            if (from < 0 || account->AccountType == AccountTypeCode::Suspense)
                continue;
            const TAccountDetail* was = actual.Accounts->GetAccount(from);
            for (int period = 1; period <= MonthsPerYear; ++period)
                account->SetBudget(TAccountDetail::BudgetSlotOfPeriod(period, endMonth),
                                   static_cast<qint32>(std::nearbyint(was->GetPeriodAmount(period))));
        }
        break;
    }
    case TBringForwardOptions::Clear:
        for (int i = 0; i < NewAccounts->Count(); ++i)
            NewAccounts->GetAccount(i)->ClearBudgets();
        break;
    default:
        break;
    }
}

void TBringForwardEngine::BuildTaxAndCurrencyRates(const TBringForwardOptions& options) {
    const TChartEntity entity = File.EntityDetail().ChartEntity();
    const TOptionSet standard{Option::Standard};
    NewTaxRates = std::make_unique<TTaxRateChart>(entity, NewAccounts.get(), NewAccounts->Format(),
                                                  TOptionSet{}, NewYear);
    if (options.TaxRates != TBringForwardOptions::Clear) {
        Step(QStringLiteral("Tax Rates"));
        LoadChartFrom(*NewTaxRates,
                      NewTaxRates->GetFileName(standard, options.TaxRates == TBringForwardOptions::LastYears
                                                             ? SourceYear()
                                                             : NewYear));
    }
    NewCurrencyRates = std::make_unique<TCurrConvRatesChart>(entity, TOptionSet{}, NewYear);
    if (options.CurrencyRates != TBringForwardOptions::Clear) {
        Step(QStringLiteral("Currency Rates"));
        LoadChartFrom(
            *NewCurrencyRates,
            NewCurrencyRates->GetFileName(
                standard, options.CurrencyRates == TBringForwardOptions::LastYears ? SourceYear() : NewYear));
    }
}

void TBringForwardEngine::CopyPage(int pageKind) {
    const TEntityDetail& detail = File.EntityDetail();
    const TTransactionList source(
        detail.ListSources(Source->Accounts, Source->TaxRates, Source->StdDescs, Source->CurrencyRates),
        pageKind, SourceYear(), 1, MonthsPerYear, TOptionSet{Option::QuietLoad});
    if (source.LoadStatus() != 0)
        throw EAbort();
    TTransactionList target(
        detail.ListSources(NewAccounts.get(), NewTaxRates.get(), NewStdDescs.get(), NewCurrencyRates.get()),
        pageKind, NewYear, 1, MonthsPerYear, TOptionSet{Option::NoBlankLine});
    for (int i = 0; i < source.Count(); ++i) {
        const TTransactionDetail& entry = *source.GetItem(i);
        target.AddTransaction(std::make_unique<TTransactionDetail>(entry), 0);
        for (int slot = 1; slot <= MonthsPerYear; ++slot) {
            target.SetNextID(slot, std::max(target.GetNextID(slot), source.GetNextID(slot)));
            target.SetNextDissectionNo(
                slot, std::max(target.GetNextDissectionNo(slot), source.GetNextDissectionNo(slot)));
        }
    }
    TOptionSet save{Option::Standard};
    // A failed write makes the run incomplete without a message of its own.
    if (target.SaveToFile(save, false, true) != 0)
        throw EAbort();
}

void TBringForwardEngine::OpeningBalances(const TProfitDistribution& distribution, bool& replaceAll) {
    const TEntityDetail& detail = File.EntityDetail();
    const TAccountFormat* format = NewAccounts->Format();
    TTransactionList page(
        detail.ListSources(NewAccounts.get(), NewTaxRates.get(), NewStdDescs.get(), NewCurrencyRates.get()),
        pkOpeningBalances, NewYear, 1, MonthsPerYear, TOptionSet{Option::QuietLoad});
    if (page.LoadStatus() != 0)
        throw EAbort();
    if (page.Count() > 0) {
        TOptionSet ask{Option::Standard, Option::AskBeforeReplace};
        // The question names the file as this workstation writes it, as the other questions do.
        const bool replace = ConfirmReplaceFile(NativePath(page.GetFileName(page.StartMonth(), ask)), ask);
        if (ask.Has(29))
            throw EOperationCancelled();
        if (!replace)
            return;
        replaceAll = !ask.Has(Option::AskBeforeReplace);
        page.Clear();
        page.SetSaved(false);
    }

    const TAccountGroup* balanceSheet = RangeGroup(format, AccountTypeCode::BalanceSheet);
    const TAccountGroup* profitAndLoss = RangeGroup(format, AccountTypeCode::ProfitAndLoss);
    const TAccountGroup* suspense = RangeGroup(format, AccountTypeCode::Suspense);
    const double yearStart = NewYearStart;
    const bool keepBudgets = true;
    TAccountsChart& source = *Source->Accounts;
    TAccountsChart::TNewAccounts made(NewAccounts->Format());

    for (int b = 0; b < SourceOpening->Count(); ++b) {
        CheckCancel();
        const TAccountCode bankCode = SourceOpening->GetDetail(b)->BankAccount;
        const int bankIndex = source.IndexOfCode(bankCode);
        FindOrCreate(*NewAccounts, bankCode, bankIndex >= 0 ? source.GetAccount(bankIndex) : nullptr,
                     AccountTypeCode::Bank, keepBudgets, made);

        // The balances of this bank account's cash book alone.
        QString bankText = format->FormatCode(bankCode);
        Parse(format, bankText, true, Source->BankGroups);
        if (File.ProcessTransactions(*Source, nullptr, false, false, false) != 0)
            throw EAbort();

        auto addOpening = [&](const TAccountCode& account, double amount, qint32 quantity,
                              const QString& narration) {
            auto entry = std::make_unique<TTransactionDetail>(page.TakeNextID(1), qint16(pkOpeningBalances));
            entry->Flags = 1u << BroughtForwardFlag;
            entry->Date = yearStart;
            entry->PostingCode = account;
            entry->BankCode = bankCode;
            entry->Amount = amount;
            entry->Quantity = quantity;
            entry->SetDetails(narration.left(NarrationLength));
            page.AddTransaction(std::move(entry), 0);
        };

        double profit = 0;
        for (int i = 0; i < source.Count(); ++i)
            if (InGroup(profitAndLoss, source.GetCodeParts(i)))
                profit += source.GetAccount(i)->Balance;
        profit = std::nearbyint(profit * 100.0) / 100.0;
        if (std::fabs(profit) > CentTolerance) {
            double adjustment = 0;
            const QList<TProfitDistribution::TShare> shares =
                TProfitDistribution::SplitProfit(profit, distribution.Entries(), adjustment);
            for (const TProfitDistribution::TShare& share : shares)
                addOpening(DistributionAccount(share.Account), share.Amount, 0,
                           DistributionNarration.arg(share.Percentage, QStringLiteral("%")));
            if (std::fabs(adjustment) > CentTolerance && !shares.isEmpty())
                addOpening(DistributionAccount(shares.first().Account), RoundToCent(adjustment), 0,
                           AdjustmentNarration);
        }

        for (int i = 0; i < source.Count(); ++i) {
            const TAccountDetail* account = source.GetAccount(i);
            const TAccountCode code = source.GetCodeParts(i);
            QString type;
            if (InGroup(suspense, code))
                type = AccountTypeCode::Suspense;
            else if (InGroup(balanceSheet, code) && account->AccountType != AccountTypeCode::Suspense)
                type = account->AccountType == AccountTypeCode::Bank ? AccountTypeCode::Bank
                                                                     : AccountTypeCode::Ordinary;
            else
                continue;
            FindOrCreate(*NewAccounts, code, account, type, keepBudgets, made);
            if (std::fabs(account->Balance) > CentTolerance || account->Quantity != 0)
                addOpening(code, std::nearbyint(account->Balance * 100.0) / 100.0, account->Quantity,
                           DefaultNarration);
        }
    }
    page.GenerateContras(false);
    // The new year's chart is written whether or not it changed, and before the page, whose
    // write then finds it saved.
    TOptionSet saveChart{Option::Standard};
    NewAccounts->Saved = false;
    if (NewAccounts->SaveToFile(saveChart) != 0)
        throw EAbort();
    TOptionSet save{Option::Standard};
    if (page.SaveToFile(save, false, true) != 0)
        throw EAbort();
    if (IsSuperannuationType(detail.EntityType))
        SuperannuationEntries();
}

TAccountCode TBringForwardEngine::DistributionAccount(const QString& text) {
    const TAccountFormat* format = NewAccounts->Format();
    const TAccountsChart& source = *Source->Accounts;
    TAccountCode code;
    TAccountsChart::TNewAccounts made(format);
    if (format && format->TextToCode(text.trimmed(), code, false, false)) {
        if (NewAccounts->IndexOfCode(code) >= 0)
            return code;
        const int from = source.IndexOfCode(code);
        if (from >= 0) {
            FindOrCreate(*NewAccounts, code, source.GetAccount(from), source.GetAccount(from)->AccountType,
                         true, made);
            return code;
        }
        // Made by the wizard for the distribution and never written to last year's file.
        const int held = DistributionAccounts ? DistributionAccounts->IndexOfCode(code) : -1;
        if (held >= 0) {
            FindOrCreate(*NewAccounts, code, nullptr, AccountTypeCode::Ordinary, true, made);
            NewAccounts->GetAccount(NewAccounts->IndexOfCode(code))->Description =
                DistributionAccounts->GetAccount(held)->Description;
            return code;
        }
    }
    return NewAccounts->GetCodeParts(NewAccounts->DefaultSuspenseAccount());
}

void TBringForwardEngine::SuperannuationEntries() {
    const TEntityDetail& detail = File.EntityDetail();
    // The whole year's journal as one list: period 1 of a year of one period.
    TTransactionList journal(
        detail.ListSources(NewAccounts.get(), NewTaxRates.get(), NewStdDescs.get(), NewCurrencyRates.get()),
        pkGeneralJournals, NewYear, 1, 1, TOptionSet{Option::QuietLoad});
    if (journal.LoadStatus() != 0)
        throw EAbort();
    RemoveEntries(journal, {TessalyJournalFlag, ReversalFlag, BroughtForwardFlag});
    ReverseTessalyJournals(journal);
    TransferMemberBalances(journal);
    SaveList(journal);
}

void TBringForwardEngine::ReverseTessalyJournals(TTransactionList& journal) {
    const TEntityDetail& detail = File.EntityDetail();
    const TTransactionList source(
        detail.ListSources(Source->Accounts, Source->TaxRates, Source->StdDescs, Source->CurrencyRates),
        pkGeneralJournals, SourceYear(), 1, 1, TOptionSet{Option::QuietLoad});
    if (source.LoadStatus() != 0)
        throw EAbort();
    const TAccountsChart& sourceAccounts = *Source->Accounts;
    TAccountsChart::TNewAccounts made(NewAccounts->Format());
    // Each entry's tax lines, by the entry's ID.
    QHash<qint32, QList<int>> taxLines;
    for (int i = 0; i < source.Count(); ++i) {
        const TTransactionDetail& line = *source.GetItem(i);
        if (line.ParentID != -1 && line.HasAnyFlag({TransactionFlag::TaxLine}))
            taxLines[line.ParentID].append(i);
    }
    for (int i = 0; i < source.Count(); ++i) {
        CheckCancel();
        const TTransactionDetail& entry = *source.GetItem(i);
        // Lines the list makes for itself come back with the entries they belong to.
        if (entry.HasAnyFlag({TransactionFlag::Blank, TransactionFlag::DissectionTotal,
                              TransactionFlag::TaxLine, TransactionFlag::Contra}) ||
            !entry.HasAnyFlag({TessalyJournalFlag}) || entry.HasAnyFlag({ReversalFlag}))
            continue;
        const QString name = ReversedJournalName(entry.Details());
        if (name.isEmpty())
            continue;
        // The new year's chart holds what the reversal posts to.
        const auto keepAccount = [&](const TAccountCode& code) {
            if (code.IsEmpty())
                return;
            const int from = sourceAccounts.IndexOfCode(code);
            const TAccountDetail* account = from >= 0 ? sourceAccounts.GetAccount(from) : nullptr;
            FindOrCreate(*NewAccounts, code, account,
                         account ? account->AccountType : AccountTypeCode::Ordinary, true, made);
        };
        auto reversal = std::make_unique<TTransactionDetail>(entry);
        reversal->ID = journal.TakeNextID(1);
        reversal->Dissection = -1;
        reversal->ParentID = -1;
        reversal->Date = NewYearStart;
        reversal->Flags |= FlagBits({TessalyJournalFlag, ReversalFlag, BroughtForwardFlag});
        reversal->Amount = -reversal->Amount;
        reversal->SetDetails((name + ReversalSuffix).left(NarrationLength));
        keepAccount(reversal->PostingCode);
        keepAccount(reversal->BankCode);
        const qint32 reversalID = reversal->ID;
        const int row = journal.AddTransaction(std::move(reversal), 0);
        // The entry as keyed is its amount and its tax lines together: they come with it,
        // negated and belonging to the reversal, so that the reversal undoes the tax as well as
        // the amount (without them the next load would take the tax out of the net amount).
        for (const int j : taxLines.value(entry.ID)) {
            auto tax = std::make_unique<TTransactionDetail>(*source.GetItem(j));
            tax->ID = TransactionSlotKeyBase(pkGeneralJournals, 1) + TaxLineSequence;
            tax->ParentID = reversalID;
            tax->Dissection = -1;
            tax->Date = NewYearStart;
            tax->Flags |= FlagBits({TessalyJournalFlag, ReversalFlag, BroughtForwardFlag});
            tax->Amount = -tax->Amount;
            keepAccount(tax->PostingCode);
            journal.AddTransaction(std::move(tax), 0);
        }
        journal.UpdateTaxEntryDetails(row);
    }
}

void TBringForwardEngine::TransferMemberBalances(TTransactionList& journal) {
    const TAccountFormat* format = NewAccounts->Format();
    if (!format || !format->MemberRange || !format->MemberSubRange)
        return;
    RemoveEntries(journal, {MemberTransferFlag, BroughtForwardFlag});
    OpeningPosition(journal);

    const TAccountGroup& members = *format->MemberRange;
    const int memberPart = members.FirstDifferingPart();
    if (memberPart == 0)
        return; // a range of one code has no members to tell apart
    int bankIndex = NewAccounts->DefaultBankAccount();
    if (bankIndex < 0)
        bankIndex = NewAccounts->DefaultSuspenseAccount();
    if (bankIndex < 0)
        return;
    const TAccountCode bank = NewAccounts->GetCodeParts(bankIndex);

    // Each member's accounts in chart (code) order, the members in the order they come.
    QList<int> order;
    QMap<int, QList<int>> accountsOf;
    for (int i = 0; i < NewAccounts->Count(); ++i) {
        const TAccountCode code = NewAccounts->GetCodeParts(i);
        if (!members.Contains(code))
            continue;
        const int member = GetAccountCodePart(code, memberPart);
        if (!accountsOf.contains(member))
            order.append(member);
        accountsOf[member].append(i);
    }
    for (const int member : order) {
        CheckCancel();
        const QList<int>& accounts = accountsOf.value(member);
        TMoneyTotal total;
        for (const int index : accounts) {
            const double balance = RoundToCent(NewAccounts->GetAccount(index)->Balance);
            if (std::fabs(balance) <= CentTolerance)
                continue;
            AddMemberOpeningTransfer(journal, NewAccounts->GetCodeParts(index), bank, -balance);
            total.Add(balance);
        }
        const double memberTotal = RoundToCent(total.Value());
        if (std::fabs(memberTotal) > CentTolerance)
            AddMemberOpeningTransfer(journal, NewAccounts->GetCodeParts(accounts.first()), bank, memberTotal);
    }
}

void TBringForwardEngine::OpeningPosition(const TTransactionList& journal) {
    // The opening balances page as written, alone of the year's pages.
    TEntityDetail& detail = File.EntityDetail();
    const TRunFile run{
        &File,  &detail, NewAccounts.get(), NewTaxRates.get(), NewStdDescs.get(), NewCurrencyRates.get(),
        nullptr};
    TReportSetup balances(run, 0, prBringForward, NewYear, false);
    balances.PageKinds = quint16(1u << pkOpeningBalances);
    if (File.ProcessTransactions(balances, nullptr, false, false, false) != 0)
        throw EAbort();
    // Then the reversals on the journal (with their tax lines), each side as the recalculation
    // takes it: the amount to the posting account, its negation to the bank account.
    const auto add = [this](const TAccountCode& code, double amount) {
        const int index = NewAccounts->IndexOfCode(code);
        if (index >= 0)
            NewAccounts->GetAccount(index)->Balance += amount;
    };
    for (int i = 0; i < journal.Count(); ++i) {
        const TTransactionDetail& entry = *journal.GetItem(i);
        if (!entry.HasAllFlags({TessalyJournalFlag, ReversalFlag, BroughtForwardFlag}) ||
            entry.HasAnyFlag({TransactionFlag::Blank, TransactionFlag::DissectionTotal}))
            continue;
        add(entry.PostingCode, entry.Amount);
        add(entry.BankCode, -entry.Amount);
    }
}

void TBringForwardEngine::AddMemberOpeningTransfer(TTransactionList& journal, const TAccountCode& account,
                                                   const TAccountCode& bank, double amount) const {
    auto entry = std::make_unique<TTransactionDetail>(journal.TakeNextID(1), qint16(pkGeneralJournals));
    entry->Flags = FlagBits({BroughtForwardFlag, MemberTransferFlag, NonCashFlag});
    entry->Date = NewYearStart;
    entry->Reference = MemberTransferReference;
    entry->PostingCode = account;
    entry->BankCode = bank;
    entry->Amount = amount;
    entry->SetDetails(MemberTransferNarration.left(NarrationLength));
    journal.AddTransaction(std::move(entry), 0);
}

void TBringForwardEngine::OpeningReconciliation(bool replaceAll) {
    if (SourceOpening->Count() == 0)
        return;
    const TEntityDetail& detail = File.EntityDetail();
    const TChartEntity entity = detail.ChartEntity();
    TBankRecOpeningDetailChart opening(entity, NewAccounts.get(), NewAccounts->Format(), TOptionSet{},
                                       NewYear);
    TOptionSet ask{Option::Standard};
    if (!replaceAll)
        ask.Include(Option::AskBeforeReplace);
    QString caption;
    const QString fileName = NativePath(opening.GetFileName(TOptionSet{Option::Standard}, NewYear));
    if (QFile::exists(fileName) && !opening.ConfirmReplace(fileName, caption, ask)) {
        if (ask.Has(29))
            throw EOperationCancelled();
        return;
    }
    if (opening.LoadFromFile(TOptionSet{Option::Standard}) != 0)
        throw EAbort();

    const TTransactionListSources sources =
        detail.ListSources(NewAccounts.get(), NewTaxRates.get(), NewStdDescs.get(), NewCurrencyRates.get());
    TTransactionList cheques(sources, pkOpeningUnpresentedCheques, NewYear, 1, MonthsPerYear,
                             TOptionSet{Option::NoBlankLine});
    TTransactionList deposits(sources, pkOpeningOutstandingDeposits, NewYear, 1, MonthsPerYear,
                              TOptionSet{Option::NoBlankLine});
    TTransactionGrid chequeGrid(cheques);
    TTransactionGrid depositGrid(deposits);
    TTransactionGrid::TLastDissections chequeRun;
    TTransactionGrid::TLastDissections depositRun;
    const double sourceEnd = PeriodEndDate(MonthsPerYear, SourceYear(), MonthsPerYear, entity.EndMonth);
    bool ignore = false;

    for (int i = 0; i < SourceOpening->Count(); ++i) {
        CheckCancel();
        const TBRecOpeningDetail& was = *SourceOpening->GetDetail(i);
        const int index = opening.IndexOfAccount(was.BankAccount);
        TBRecOpeningDetail* now = index >= 0 ? opening.GetDetail(index) : nullptr;
        if (now) {
            // The new year's reconciliation starts afresh at its first day, not yet reconciled.
            opening.InitDetailDates(*now);
            now->SetCompleted(false);
        }
        if (CompletedToYearEnd(was, sourceEnd)) {
            // Without a detail of its own in the new year (the account is no bank account of the
            // new chart) there is nothing to carry the reconciliation into.
            if (!now)
                continue;
            // The closing balances of the reconciled year open the new one. The detail keeps each
            // side as a pair: the cash book's opening balance followed by its closing balance
            // (the third value), and the statement's opening balance, the period end and the
            // statement's closing balance at that end (the sixth value, the one the exchange form
            // carries with the period). The closing pair is cleared for the new year's own run.
            now->Cashbook_Open_Bal = was.ThirdAmount;
            now->Statement_Open_Bal = was.SixthValue;
            now->ThirdAmount = 0;
            now->SixthValue = 0;
            std::array<std::uint8_t, TransactionRecordSize> body{};
            for (TTransactionDetail record : UnpresentedItems(was)) {
                // The new year's reconciliation has not looked at them yet.
                record.ClearFlags({TransactionFlag::BankRecMarkA, TransactionFlag::BankRecMarkB,
                                   TransactionFlag::BankRecMarkC});
                WriteTransactionRecord(record, body.data());
                if (record.PageKind == pkPayments || record.PageKind == pkOpeningUnpresentedCheques) {
                    int at = cheques.Count();
                    chequeGrid.PasteTransaction(at, chequeRun, body.data());
                } else {
                    int at = deposits.Count();
                    depositGrid.PasteTransaction(at, depositRun, body.data());
                }
            }
        } else {
            if (now)
                now->Cashbook_Open_Bal = now->Statement_Open_Bal = now->ThirdAmount = now->SixthValue = 0;
            if (!ignore) {
                const TAccountDetail* bank = now ? opening.GetBankAccount(index) : nullptr;
                const QString text = NotCompletedText.arg(
                    was.GetBankAccountText(), bank ? bank->Description : QStringLiteral("<Undefined>"),
                    DateNumToStr(true, sourceEnd));
                ignore =
                    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, text,
                                       TMessageButton::OK | TMessageButton::Ignore) == TMessageButton::Ignore;
            }
        }
        if (now)
            now->BuildFileNames(entity.DataDir, entity.FileCode, NewYear);
    }
    TOptionSet save{Option::Standard};
    if (cheques.SaveToFile(save, false, true) != 0 || deposits.SaveToFile(save, false, true) != 0)
        throw EAbort();
    opening.Saved = false;
    if (opening.SaveToFile(save) != 0)
        throw EAbort();
}

bool TBringForwardEngine::CompletedToYearEnd(const TBRecOpeningDetail& detail, double yearEnd) {
    // Dates are whole day numbers; a stray fraction does not make another day.
    return detail.Completed && detail.Reconciled_To != TBRecOpeningDetail::NotReconciled &&
           std::floor(detail.Reconciled_To) == std::floor(yearEnd);
}

std::vector<TTransactionDetail> TBringForwardEngine::UnpresentedItems(const TBRecOpeningDetail& detail) {
    std::vector<TTransactionDetail> items;
    // A completed reconciliation leaves what the statement has not yet shown in the account's
    // unmatched file (".RU"); the matched file (".RM") holds what was presented and is history.
    // An entry of the unmatched file marked (flag 12) was matched after all and stays behind,
    // as do the statement's own entries, which the cash book has yet to take up.
    if (detail.UnmatchedFile.isEmpty())
        return items;
    const QString fileName = NativePath(detail.UnmatchedFile);
    if (!QFileInfo(fileName).isFile())
        return items;
    std::vector<TTransactionDetail> records;
    TTransactionImageBounds bounds{};
    LoadTransactionImageFile(fileName, records, bounds);
    for (TTransactionDetail& record : records) {
        if (!(record.BankCode == detail.BankAccount) || record.HasAnyFlag({TransactionFlag::BankRecMarkA}))
            continue;
        switch (record.PageKind) {
        case pkPayments:
        case pkOpeningUnpresentedCheques:
        case pkReceipts:
        case pkOpeningOutstandingDeposits:
            items.push_back(std::move(record));
            break;
        default:
            break;
        }
    }
    return items;
}

void TBringForwardEngine::TakeSourceDescriptions() {
    const TAccountsChart& source = *Source->Accounts;
    for (int i = 0; i < NewAccounts->Count(); ++i) {
        TAccountDetail* account = NewAccounts->GetAccount(i);
        if (!account->Description.isEmpty())
            continue;
        const int from = source.IndexOfCode(account->Code());
        if (from >= 0)
            account->Description = source.GetAccount(from)->Description;
    }
}

void TBringForwardEngine::WriteNewCharts() {
    // Every chart of the new year is written, even one kept as it was or cleared.
    for (TMasterChart* chart : std::initializer_list<TMasterChart*>{
             NewStdDescs.get(), NewAccounts.get(), NewTaxRates.get(), NewCurrencyRates.get()}) {
        TOptionSet save{Option::Standard};
        chart->Saved = false;
        if (chart->SaveToFile(save) != 0)
            throw EAbort();
    }
}

void TBringForwardEngine::FreeNewCharts() {
    // The tax rates refer to the accounts and the accounts to the descriptions.
    NewCurrencyRates.reset();
    NewTaxRates.reset();
    NewAccounts.reset();
    NewStdDescs.reset();
}

void TBringForwardEngine::CopyBASSetup() {
    // The record is read again with the source year's activity-statement set-up and written with
    // it into the new year's section; the record's own year comes back afterwards.
    TEntityDetail& detail = File.EntityDetail();
    const quint16 year = detail.Year;
    const auto restoreYear = qScopeGuard([&] { detail.Year = year; });
    detail.Year = static_cast<quint16>(SourceYear());
    const TOptionSet keep{Option::KeepYear, Option::KeepFolders, Option::KeepBackupHistory, Option::KeepPages,
                          Option::KeepLockKeys};
    if (detail.Load(keep) != 0)
        return;
    detail.Year = static_cast<quint16>(NewYear);
    detail.TessalyFolder = QStringLiteral("C:\\TessalySUP%1").arg(std::min(NewYear, 2007));
    detail.Save(TOptionSet{Option::Standard});
}

bool TBringForwardEngine::ResetsReconciliation(const TBringForwardOptions& options) {
    return options.Accounts == TBringForwardOptions::RetainCurrent ||
           options.Accounts == TBringForwardOptions::Clear || options.OpeningBalances ||
           options.OpeningReconciliation;
}

void TBringForwardEngine::Finish(const TBringForwardOptions& options) {
    if (File.EntityDetail().Year != NewYear)
        return;
    if (Progress)
        Progress->SetMessage(ProgressKind, QStringLiteral("Performing Integrity Check ..."));
    File.ChangeYear(NewYear, false, false);
    File.DataIntegrityCheck(NewYear, false, false);
    if (ResetsReconciliation(options)) {
        TReportSetup reset(File.RunFile(NewYear), 0, prResetBankReconciliation, NewYear, false);
        reset.BankRecIndex = -1;
        File.ResetBankReconciliation(reset);
        CheckCancel();
    }
}

void TBringForwardEngine::ResetNewYearReconciliation() {
    TEntityDetail& detail = File.EntityDetail();
    // The reset works on the file's current opening chart: the new year's, made on the new
    // charts, for the time of the reset.
    std::unique_ptr<TBankRecOpeningDetailChart> held = File.TakeBankRecOpeningChart();
    const auto giveBack = qScopeGuard([&] {
        File.TakeBankRecOpeningChart().reset();
        File.SetBankRecOpeningChart(std::move(held));
    });
    File.SetBankRecOpeningChart(std::make_unique<TBankRecOpeningDetailChart>(
        detail.ChartEntity(), NewAccounts.get(), NewAccounts->Format(),
        TOptionSet{Option::Standard, Option::Load}, NewYear));
    const TRunFile run{
        &File,  &detail, NewAccounts.get(), NewTaxRates.get(), NewStdDescs.get(), NewCurrencyRates.get(),
        nullptr};
    TReportSetup reset(run, 0, prResetBankReconciliation, NewYear, false);
    reset.BankRecIndex = -1;
    File.ResetBankReconciliation(reset);
}

QMap<QString, QByteArray> TBringForwardEngine::YearFiles() const {
    QMap<QString, QByteArray> files;
    const TChartEntity entity = File.EntityDetail().ChartEntity();
    const QString prefix =
        entity.FileCode + QStringLiteral("%1.").arg(NewYear % 100, 2, 10, QLatin1Char('0'));
    // Only the folders that hold this file's year files are looked at, never the shared tree.
    const QDir data(NativePath(entity.DataDir));
    QStringList paths;
    for (const QString& folder :
         {QString(), entity.FileCode, QStringLiteral("M_DETAIL"), QStringLiteral("BANK_REC")}) {
        const QDir dir(folder.isEmpty() ? data.path() : data.filePath(folder));
        for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
            if (info.fileName().startsWith(prefix, Qt::CaseInsensitive))
                paths << info.absoluteFilePath();
    }
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw EQuilvaneError(QStringLiteral("Unable to read %1 (%2)").arg(path, file.errorString()));
        files.insert(path, file.readAll());
    }
    return files;
}

void TBringForwardEngine::RestoreYearFiles(const QMap<QString, QByteArray>& before) const {
    QMap<QString, QByteArray> now;
    try {
        now = YearFiles();
    } catch (const std::exception&) {
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (!before.contains(it.key()))
            QFile::remove(it.key());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (now.contains(it.key()) && now.value(it.key()) == it.value())
            continue;
        QSaveFile file(it.key());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(it.value());
            file.commit();
        }
    }
}
