#pragma once

#include "core/common/OptionSet.h"
#include "core/entity/RunFile.h"
#include "core/logs/LogSession.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TAccountsChart;
class TBankRecOpeningDetailChart;
class TBASTotals;
class TCurrConvRatesChart;
class TDataEntryPage;
class TEntityDetail;
class TStdDescChart;
class TTaxRateChart;
class TReportSetup;
struct TKeyedTransaction;
struct TTransactionListSources;

// Writes the time-log entry of a closed file: its code and name, the times it was opened and
// closed, its year-end month, and the comment "Upgraded from DOS" when it was opened with the
// data of the DOS version (the time log keeps that text in the entry's user-name field, and
// nothing there for an ordinary visit). The program's time log is the default.
using TSessionLog = std::function<void(const TLogSession& session)>;

// One line of a file's page history: where an open data-entry page stood when the file's pages
// were closed, so that it can reopen there. Stored as 17 whole numbers joined by ",": page kind,
// year, period, sort order, the file's current page index, the transaction ID of the current
// entry, current column, top row, the three field-option sets and field-option values 1 to 5
// and 8.
struct TPageHistoryLine {
    static constexpr int FieldCount = 17;

    int PageKind = 0;
    int Year = 0;
    int Period = 0;
    int SortOrder = 0;
    int CurrentPage = -1;
    qint32 CurrentID = 0;
    int CurrentColumn = 0;
    int TopRow = 1;
    std::array<quint32, 3> Sets{};
    std::array<qint32, 6> Values{}; // field-option values 1 to 5, then 8

    QString ToText() const;
    // The line read from its text; nothing when it is not 17 whole numbers, or when its page
    // kind (0 to 13) or period (1 to periodsPerYear for the kinds with periods, 0 to
    // periodsPerYear for the others) cannot be one of a file with periodsPerYear. A kind kept in
    // one file for the year (IsOneFileKind) reads as period 1 whatever the line says.
    static std::optional<TPageHistoryLine> Parse(const QString& text, int periodsPerYear);
};

// A client file while it is open on the desktop: it owns the file's detail record (holding its
// lock), the master charts of every year loaded, the open data-entry pages and the BAS totals.
//
// Closing: Close writes the pages and charts first, then stamps the close time, saves the
// record, releases the lock and writes the time-log entry, so that no other workstation can
// open the file while its data is being written. The destructor only frees what is left; it
// never saves, never asks and never throws.
class TEntityInfo {
public:
    // The desktop option under which the recorded pages reopen with the file ("Open Files and
    // Data Entry").
    static constexpr int DesktopRestoresPages = 2;
    static inline const QString UpgradedComment = QStringLiteral("Upgraded from DOS");

    // Opens and locks the detail record of the code with the options (Standard, Load and the
    // lock options of the record; DosVersion marks the visit as upgraded). The record's
    // failures propagate: the file is then not open.
    static std::unique_ptr<TEntityInfo> Create(const QString& fileCode, const TOptionSet& options);
    ~TEntityInfo() noexcept;
    TEntityInfo(const TEntityInfo&) = delete;
    TEntityInfo& operator=(const TEntityInfo&) = delete;

    // The close described above; afterwards the object holds nothing. Running it twice does
    // nothing the second time. A failure to save the record still releases the lock and logs
    // the visit, then raises.
    void Close();
    bool IsClosed() const { return Detail == nullptr; }

    TEntityDetail& EntityDetail() const { return *Detail; }
    TBASTotals& BASTotals() const { return *Totals; }

    // Clears the year's leftovers of killed saves (TEntityDetail::RemoveYearLeftovers), loads the
    // four charts of the record's current year and reopens the recorded pages.
    void OpenYear();

    // The loaded chart of a kind and year; nullptr when none is loaded.
    TAccountsChart* AccountsChart(int year) const;
    TStdDescChart* StdDescChart(int year) const;
    TTaxRateChart* TaxRateChart(int year) const;
    TCurrConvRatesChart* CurrencyRatesChart(int year) const;
    // What the lists of a year's pages need of the file and that year's charts.
    TTransactionListSources ListSources(int year) const;

    // The bank-reconciliation opening chart of a reconciliation run: the run that finds none
    // sets one and takes it back when it ends. Changing the year or closing the file frees it.
    TBankRecOpeningDetailChart* BankRecOpeningChart() const { return BankRecOpening.get(); }
    void SetBankRecOpeningChart(std::unique_ptr<TBankRecOpeningDetailChart> chart);
    std::unique_ptr<TBankRecOpeningDetailChart> TakeBankRecOpeningChart();

    // --- pages -----------------------------------------------------------------------------
    // The page at an index; nullptr for -1 or any index outside the list.
    TDataEntryPage* DataEntryPage(int index) const;
    QString DataEntryPageCaption(int index) const;
    int DataEntryPageCount() const { return static_cast<int>(Pages.size()); }
    // Inserts a page under its caption (an index outside the list appends); returns its index.
    int InsertDataEntryPage(int index, const QString& caption, std::unique_ptr<TDataEntryPage> page);
    // Lets the page's list save itself when needed, then frees the page. The save's result.
    // When it was the last page, the working periods per year take the record's value.
    int DeleteDataEntryPage(int index);
    // The index of the last page of the kind whose months, counted as periods of periodsPerYear
    // in the file's year, include the period; a page of the whole year includes every period.
    // -1 when none.
    int FindDataEntryPage(int pageKind, int period, int periodsPerYear) const;
    // The page of a kind for a period of the current year: the open page that covers the period,
    // else a new page made with the list options (loaded when they ask for it), its current row on
    // its last line, inserted in order of kind and period under its period title. The one-file
    // kinds (opening balances and bank items, memorised payments, standard bank transactions)
    // always open at period 1, whose month names their file. The page's index; -1, with nothing
    // kept, when its list could not be read.
    int OpenDataEntryPage(int pageKind, int period, const TOptionSet& options, bool showProgress = true);
    // Rewrites the record's page history: one line per open page other than deleted
    // transactions (the record writes it when it is saved).
    void RecordOpenPages();
    // Under the desktop option DesktopRestoresPages (or whatever the option when forced),
    // reopens the pages of the history that belong to the current year and are not open, each
    // in order of kind and period. Lines that do not parse are skipped; a list that fails to
    // load ends the reopening.
    void ReopenRecordedPages(bool force = false);

    // --- years -----------------------------------------------------------------------------
    // Frees the open pages and the current year's charts (dropping their unsaved changes unless
    // keepData), saves the record, makes newYear current, clears its leftovers of killed saves
    // and (unless noCharts) loads its charts, then reloads the record keeping the new year. A
    // failure to load the charts shows "Error changing years" and leaves the file without charts
    // for the year.
    void ChangeYear(int newYear, bool keepData, bool noCharts);
    // Writes the year's charts that are not saved (all with force), then the transaction files
    // of every open page that is not saved; the pages stay unsaved, to be written again when they
    // close. 0, or the first failure's result. The options are in and out (replace questions).
    int SaveYearCharts(int year, TOptionSet& options, bool force);
    // "<code> (<year>) - <name>": "All Years" for year 0, the current year for -1.
    QString YearCaption(int year) const;

    // Whether the activity-statement functions may run: false, after saying why, when the file
    // does not include taxes.
    bool CheckBASEnabled() const;

    // Installs the writer of the time-log entry that Close makes; an empty writer puts back the
    // default, the program's time log.
    static void SetSessionLog(TSessionLog log);

    // --- file-wide procedures ----------------------------------------------------------------
    // What a run takes of this file for a year: the record, the year's charts (null where none is
    // loaded) and the slot of the bank-reconciliation opening chart.
    TRunFile RunFile(int year);
    // Recalculates the balances of the run's accounts chart from the transactions of the run's
    // page kinds and periods (see EntityInfoProcedures.cpp). accountLists, for a transaction
    // detail run, receives the copies per account index. 0, or -1 after its error box; a cancel
    // raises EOperationCancelled and leaves the balances cleared.
    int ProcessTransactions(TReportSetup& setup, std::vector<std::vector<TKeyedTransaction>>* accountLists,
                            bool showProgress, bool clearUsedFlags, bool clearAmounts);
    // Clears the reconciliation marks of the chosen bank account's entries (setup.BankRecIndex
    // in the opening chart; -1 for every account) and starts its reconciliation over. 0 or -1.
    int ResetBankReconciliation(TReportSetup& setup);
    // Turns the bank-statement entries of the run into cash-book entries through the standard
    // bank transactions. 0 or -1.
    int TransferBankStatementEntries(TReportSetup& setup);
    // Reloads, repairs and rewrites every transaction list of the year, then writes its charts.
    // Stops with its error box at the first list that cannot be read, writing nothing of it.
    void DataIntegrityCheck(int year, bool showProgress, bool showMessage);
    // --- end of file-wide procedures ---------------------------------------------------------

    int PeriodsPerYear = 12;
    int CurrentPage = -1;
    double OpenedAt = 0;
    double ClosedAt = 0;
    bool NoTimeLog = false;
    bool Upgraded = false;

private:
    struct TPageEntry {
        QString Caption;
        std::unique_ptr<TDataEntryPage> Page;
    };

    TEntityInfo() = default;
    // Loads the charts of a year that are not loaded yet; raises when one cannot be made.
    void CreateYearCharts(int year);
    // Frees the charts of a year, saving them first when save is set.
    void FreeYearCharts(int year, bool save);
    // Writes the bank-reconciliation opening chart when it holds changes.
    void SaveBankRecOpening();
    // Frees every page, saving each list first when save is set.
    void FreePages(bool save);
    bool IsPageOpen(int pageKind, int period) const;
    // Reopens one page; false when its list failed to load.
    bool ReopenPage(const TPageHistoryLine& line);
    // Inserts a page among the open ones in order of kind and period; its index.
    int InsertPageInOrder(std::unique_ptr<TDataEntryPage> page);
    TOptionSet ChartOptions() const;

    std::unique_ptr<TEntityDetail> Detail;
    std::unique_ptr<TBASTotals> Totals;
    std::vector<std::unique_ptr<TStdDescChart>> StdDescCharts;
    std::vector<std::unique_ptr<TAccountsChart>> AccountsCharts;
    std::vector<std::unique_ptr<TTaxRateChart>> TaxRateCharts;
    std::vector<std::unique_ptr<TCurrConvRatesChart>> CurrencyRatesCharts;
    std::unique_ptr<TBankRecOpeningDetailChart> BankRecOpening;
    std::vector<TPageEntry> Pages;
};
