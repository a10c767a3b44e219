#pragma once

#include "core/common/OptionSet.h"
#include "core/entity/ReportSetupWithMasters.h"
#include "core/logs/LogDetails.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <memory>

class TAccountGroups;

// The parameters of one report or numbered process run: the year's charts, which page kinds,
// accounts and bank accounts it covers, how amounts are converted and where its output goes.
// Creation fills the starting values that the report type or process kind calls for; the
// report-parameter window then adjusts them. The meaning of the two parameter masks, the column
// set, the report width, the second output byte and the form code belongs to the reports.
class TReportSetup : public TReportSetupWithMasters {
public:
    static constexpr quint32 StartColumnSet = 0x35555535;
    static constexpr quint32 StartSecondMask = 2187;
    static constexpr int StartReportWidth = 35;
    // The member of RunOptions that asks for weekly columns.
    static constexpr int WeeklyOption = 1;

    // A process passes report type 0 and a report passes process kind 0.
    TReportSetup(const TRunFile& file, int reportType, int processKind, int year, bool privateCharts);
    // Frees the groups and lists. A bank-reconciliation opening chart this run created and that
    // holds no unsaved changes is freed and the file's slot emptied; one with changes (a run freed
    // without Close, or whose save failed) is never dropped here: it stays in the file's slot,
    // changes and all, where the file and its later runs find it. Never saves, never asks.
    ~TReportSetup() override;

    // The end of a run (process kinds 4 and 5, report types 53 to 56) that created the file's
    // bank-reconciliation opening chart: the chart is saved when it holds changes (options {0},
    // with the chart's own Retry and Ignore on failure), then freed and the file's slot emptied.
    // When the save fails (Ignore) or is refused, the chart stays with the file, still modified,
    // to be saved again later. A chart the run shares but did not create is left to its maker.
    // The save's result: 0 when it was written or had nothing to write.
    int Close();
    // Drops the opening chart this run created, changes and all, on purpose (a reconciliation
    // the user abandons): nothing is written, the chart is freed and the file's slot emptied.
    void DiscardBankRecOpening();
    // The opening chart this run created and still holds; nullptr when none.
    TBankRecOpeningDetailChart* OwnBankRecOpening() const;

    // "QUARTER" when the dates are the first and last day of the run's quarter (the quarterly
    // period of the file's year that holds the to period), else "MONTH".
    void PeriodLabel(QString& text, double fromDate, double toDate) const;
    // The secondary range: the run's quarter when the to period closes a quarter (3, 6, 9, 12,
    // or lies outside 1-11) and the period type is not 2, else the main range.
    void CalcSecondaryRange();
    bool IsCommaDelimited() const { return Destination == 1 && FileFormat == 1; }
    // The activity-log entry of this run (what a log's append from run parameters writes): the
    // file's code and name, the output file, the process kind, the workstation's user, the
    // account selection, run option 1, the page kinds, the date range, the run's creation time,
    // the two bits of the code-mapping mode and the period range. The format name stays empty
    // until the import and export formats exist.
    TLogDetails LogDetails() const;

    quint32 ParamMask = 0;
    bool MovementsOnly = false;
    bool CurrencyConversion = false;
    std::unique_ptr<TAccountGroups> BankGroups;
    QString BankGroupsText;
    bool SuspenseAccounts = true;
    std::unique_ptr<TAccountGroups> AccountGroups;
    QString AccountGroupsText;
    int CodeMapping = 0; // 0 none, 1 posting accounts, 2 bank accounts, 3 both
    int BankRecIndex = -1;
    quint16 PageKinds = 0;
    quint16 StartPageKinds = 0;
    // A transaction-detail run (report type 3) that also lists every entry on its bank account's
    // side and takes the bank account's share of the opening entries into its balance, as the
    // general ledger needs; off, the run lists the posting side only.
    bool ListBankSide = false;
    QStringList FirstList;
    QStringList SecondList;
    int FirstCounter = 0;
    int SecondCounter = 0;
    QString PercentText;
    TOptionSet RunOptions;
    quint32 ColumnSet = StartColumnSet;
    quint32 SecondMask = StartSecondMask;
    QString OutputText;
    int ReportWidth = StartReportWidth;
    quint8 Destination = 0;
    quint8 SecondOutput = 3;
    quint8 FileFormat = 0;
    QChar FormCode;
    int PeriodType = 0;
    int Quarter = 0;
    double SecondaryFromDate = 0;
    double SecondaryToDate = 0;
    int SecondaryFromPeriod = 0;
    int SecondaryToPeriod = 0;
    // What a transfer in takes (eight groups of four bits: include, Replace, Merge, Update or
    // Append, for accounts, bank-reconciliation openings, standard descriptions, tax rates,
    // currency rates, the file's report layouts and formats, and transactions).
    quint32 TransferSelection = 0;
    // The entry chosen in the backup and transfer window's list, and the comment for the log.
    int SelectedIndex = 0;
    QString LogComment;
    // The outcome of a backup, restore or transfer: 0, or the code the window reports.
    int ResultCode = 0;

private:
    void BuildGroups();
    void SetProcessDefaults();
    void SetReportDefaults();
    void SetActivityStatementDefaults();
    // The output text of an import (processes 2 and 22): the file's data folder and the name of
    // the file the import format reads (TSubsystemServices::ImportFileName), or the folder alone,
    // ending in its separator, when no format names one.
    QString ImportFileText() const;
    void CreateBankRecOpening();
    int RunQuarter() const;

    // The opening chart this run put into the file's slot; freed only by this run.
    TBankRecOpeningDetailChart* CreatedBankRecOpening = nullptr;
};
