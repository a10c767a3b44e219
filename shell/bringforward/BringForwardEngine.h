#pragma once

#include "core/accounts/AccountCode.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <memory>
#include <vector>

class IProgress;
class TAccountsChart;
class TBankRecOpeningDetailChart;
class TBRecOpeningDetail;
class TCurrConvRatesChart;
class TEntityInfo;
class TProfitDistribution;
class TReportSetup;
class TStdDescChart;
class TTaxRateChart;
class TTransactionDetail;
class TTransactionList;

// What a bring forward builds in the new year: how each master chart starts and which opening
// entries are generated.
struct TBringForwardOptions {
    enum TChartChoice { RetainCurrent = 0, LastYears = 1, DefaultChart = 2, Clear = 3, LastYearActual = 4 };
    int Accounts = LastYears;        // Retain / Last Year's / Default Chart / Clear
    int Budgets = LastYears;         // Retain / Last Year's / Last Year Actual / Clear
    int StdDescriptions = LastYears; // Last Year's / Retain / Clear
    int TaxRates = LastYears;
    int CurrencyRates = LastYears;
    bool OpeningBalances = true, OpeningReconciliation = true, MemorisedPayments = true,
         StandardBankTransactions = true, BASSetup = true;
};

// Starts a new financial year of an open client file from the year before: the new year's master
// charts, the opening general-ledger balances with the retained profit of each bank account
// shared by the distribution, the opening bank reconciliation, and the memorised payments and
// standard bank transactions carried over. No windows: the wizard gathers the options.
//
// A run either completes or leaves the new year's files exactly as they were before it started:
// they are copied aside first and put back when the run is cancelled or fails.
class TBringForwardEngine {
public:
    static inline const QString CompleteText = QStringLiteral("Bring forward processing complete.");
    static inline const QString IncompleteText =
        QStringLiteral("Bring forward processing incomplete - Retry this procedure.");
    static inline const QString TerminatedText = QStringLiteral("Bring forward terminated by user.");
    static inline const QString ProgressCaption = QStringLiteral("Bring Forward");
    // The steps of a full run, for the progress bar.
    static constexpr int ExpectedSteps = 12;
    static inline const QString DefaultNarration = QStringLiteral("B/Fwd Opening Balance");
    static inline const QString DistributionNarration = QStringLiteral("Retained Profits Distribution %1%2");
    static inline const QString AdjustmentNarration = QStringLiteral("Retained Profits Adjustment");
    static inline const QString NotCompletedText =
        QStringLiteral("The reconciliation for account %1 (%2) has not been completed to \n%3 and cannot be "
                       "used for opening bank reconciliation balances.");
    // The flag that marks the entries a bring forward generated.
    static constexpr int BroughtForwardFlag = 17;
    static constexpr int NarrationLength = 54;

    // Superannuation funds. A journal posted from the workpapers carries TessalyJournalFlag; the
    // reversal of one that a bring forward makes in the new year carries ReversalFlag as well, so
    // that it is never reversed again. The member opening transfers carry MemberTransferFlag and
    // are non-cash entries.
    static constexpr int TessalyJournalFlag = 20;
    static constexpr int ReversalFlag = 22;
    static constexpr int MemberTransferFlag = 23;
    static constexpr int NonCashFlag = 19;
    static constexpr int MemberTransferReference = 10000;
    static inline const QString ReversalSuffix = QStringLiteral(" [REV]");
    static inline const QString MemberTransferNarration = QStringLiteral("Transfer - Member Op Bal");

    // file: the open file; newYear: the year to build (the source is always newYear - 1).
    TBringForwardEngine(TEntityInfo& file, int newYear);
    ~TBringForwardEngine();
    TBringForwardEngine(const TBringForwardEngine&) = delete;
    TBringForwardEngine& operator=(const TBringForwardEngine&) = delete;

    // Runs the steps; 0 complete, -100 cancelled, -1 failed. A failed or cancelled run leaves the
    // new year's files as they were before it started.
    int Run(const TBringForwardOptions& options, const TProfitDistribution& distribution);
    // The progress window of the run (the services' progress window when none is given).
    void SetProgress(std::unique_ptr<IProgress> progress);
    // Whether the new year has its own file of a chart kind (TChartKind), for the wizard's defaults.
    bool NewYearChartExists(int chartKind) const;
    // Last year's accounts as the wizard holds them: the distribution's default entry may have
    // added its retained-profits account there, in memory only. A distribution account that
    // neither the new chart nor last year's file has is created in the new chart from it
    // (code, "ACC", description) rather than posted to suspense. The chart must outlive Run.
    void SetDistributionAccounts(const TAccountsChart* chart) { DistributionAccounts = chart; }
    int SourceYear() const { return NewYear - 1; }
    int NewYearNumber() const { return NewYear; }

private:
    // Carries the source year's activity-statement set-up into the new year's section of the record.
    void CopyBASSetup();
    int StepsTaken = 0;
    struct TNewCharts;

    void Step(const QString& name);
    void CheckCancel();
    // Whether the reconciliation was completed up to and including yearEnd.
    static bool CompletedToYearEnd(const TBRecOpeningDetail& detail, double yearEnd);
    // The cash-book entries of the account that its completed reconciliation left unpresented:
    // payments and opening unpresented cheques, receipts and opening outstanding deposits.
    static std::vector<TTransactionDetail> UnpresentedItems(const TBRecOpeningDetail& detail);
    void BuildStdDescriptions(const TBringForwardOptions& options);
    void BuildAccounts(const TBringForwardOptions& options);
    void BuildBudgets(const TBringForwardOptions& options);
    void BuildTaxAndCurrencyRates(const TBringForwardOptions& options);
    void CopyPage(int pageKind);
    void OpeningBalances(const TProfitDistribution& distribution, bool& replaceAll);
    // The account a distribution entry's share goes to (see SetDistributionAccounts).
    TAccountCode DistributionAccount(const QString& text);
    // A superannuation fund's entries on the new year's general journal, after its opening
    // balances: last year's workpaper journals reversed and the member opening transfers.
    void SuperannuationEntries();
    // Every entry of last year's general journal posted from the workpapers' member information
    // or tax note journal (and not itself a reversal) is copied into the journal reversed.
    void ReverseTessalyJournals(TTransactionList& journal);
    // Each member's balances are moved into the member's first account: every account of the
    // member with a balance gets an entry for its negated balance and that account one for the
    // member's total. The members are the values of the first code part in which the bounds of
    // the format's member range differ; nothing happens unless the format defines both member
    // groups. The balances are those that open the new year (OpeningPosition), never the
    // year's own movements.
    void TransferMemberBalances(TTransactionList& journal);
    // Sets the new accounts' balances to the position that opens the new year: its opening
    // balances page and the reversals on its journal.
    void OpeningPosition(const TTransactionList& journal);
    void AddMemberOpeningTransfer(TTransactionList& journal, const TAccountCode& account,
                                  const TAccountCode& bank, double amount) const;
    // Resets the new year's bank reconciliation on the new charts (the year not being the
    // file's current one, the file holds no charts for it).
    void ResetNewYearReconciliation();
    // Each bank account whose reconciliation was completed to the last day of the old year opens
    // the new one with its closing balances and its unpresented cheques and outstanding deposits
    // (pages 10 and 11 of the new year); any other account starts from nothing, and the user is
    // told (OK, or Ignore to hear no more of it).
    void OpeningReconciliation(bool replaceAll);
    void TakeSourceDescriptions();
    void WriteNewCharts();
    void FreeNewCharts();
    // Whether the run ends with the new year's bank reconciliation reset.
    static bool ResetsReconciliation(const TBringForwardOptions& options);
    void Finish(const TBringForwardOptions& options);
    // The closing steps of a run whose new year is complete on disk: the new year's
    // reconciliation is reset and, when the file sits in the new year, the year is loaded again
    // and checked. 0; -100 when the user cancelled during them (a press of the run's Cancel
    // while the reset runs is seen when it ends: the reset's own window has no Cancel).
    int CloseRun(const TBringForwardOptions& options);
    // The source year's opening chart becomes the file's current one for the run (the chart the
    // file held before is set aside) and goes back, unwritten, when the run is over.
    void LendSourceOpening();
    void TakeBackSourceOpening();
    void ShowResult(int result);

    // The new year's files: snapshot before the run, put back after a failure.
    QMap<QString, QByteArray> YearFiles() const;
    void RestoreYearFiles(const QMap<QString, QByteArray>& before) const;

    TEntityInfo& File;
    int NewYear;
    std::unique_ptr<IProgress> Progress;
    std::unique_ptr<TReportSetup> Source;
    // The source year's opening chart; the file holds it during the run (see LendSourceOpening).
    TBankRecOpeningDetailChart* SourceOpening = nullptr;
    // While the source opening chart is lent to the file: the chart the file held before.
    std::unique_ptr<TBankRecOpeningDetailChart> FileOpening;
    bool Lent = false;
    const TAccountsChart* DistributionAccounts = nullptr;
    double NewYearStart = 0;
    std::unique_ptr<TStdDescChart> NewStdDescs;
    std::unique_ptr<TAccountsChart> NewAccounts;
    std::unique_ptr<TTaxRateChart> NewTaxRates;
    std::unique_ptr<TCurrConvRatesChart> NewCurrencyRates;
};
