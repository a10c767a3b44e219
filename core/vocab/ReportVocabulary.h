#pragma once

#include <QStringView>

#include <array>

// The fixed vocabulary of reports and exports.
//
// Only part of the report tables is defined here: the report-group codes, the few rows of the
// standard-report table that other modules name, the title macros and the export formats. The
// remaining columns and rows (group parents and flags, the other standard reports with their
// groups and titles, the 371 column names, the 80 column codes, the balance formats with their
// pictures, the consolidation texts, the bank-statement import formats and the
// activity-statement vocabulary) belong to the reporting and banking modules, which add them
// with their own tables. Where this file gives only the first entries of such a table it says
// so, and keeps the table's full size alongside.

// ---- Report groups ------------------------------------------------------------------------------

// The groups of the report menu, by row. Row 0 "GEN" is the root; rows 4 to 14 are the
// superannuation sub-groups. The caption is empty where the reporting module supplies it.
struct TReportGroup {
    QStringView Code;
    QStringView MenuCaption;
};

inline constexpr std::array<TReportGroup, 20> ReportGroupTable{{
    {u"GEN", u""},
    {u"BGT", u"&Budget"},
    {u"JOB", u"&Jobstream"},
    {u"SUP", u"&Superannuation"},
    {u"SWR", u""},
    {u"SRE", u""},
    {u"SFR", u""},
    {u"SUN", u""},
    {u"SUT", u""},
    {u"SMR", u""},
    {u"SMS", u""},
    {u"SMD", u""},
    {u"S82", u""},
    {u"SUM", u""},
    {u"SRR", u""},
    {u"GRA", u"&Graphs"},
    {u"REC", u"&Reconciliation"},
    {u"LST", u""},
    {u"OTH", u""},
    {u"LOG", u"&Log Files"},
}};

inline constexpr int ReportGroupCount = static_cast<int>(ReportGroupTable.size());

// The row of a group code (exact, case-sensitive), or ReportGroupCount when there is no such
// group. That value is one past the table: read rows through ReportGroupRow, never by indexing.
int FindReportGroup(QStringView code);
// The row at an index, or nullptr for an index outside the table (ReportGroupCount included).
const TReportGroup* ReportGroupRow(int row);

// ---- Standard reports -----------------------------------------------------------------------------

// The fixed reports, by row; row 0 is the empty row, which stands for "no report". A report
// type stored in run parameters is a row number of this table.
struct TStandardReport {
    QStringView Key;         // the report's key, by which reports are found
    QStringView MenuCaption; // the menu item, with its accelerator
    QStringView Title;       // the title printed on the report
};

inline constexpr int StandardReportCount = 80;

inline constexpr int ProfitAndLossReport = 1;
inline constexpr int TrialBalanceReport = 2;
inline constexpr int GeneralLedgerReport = 3;
inline constexpr int BudgetReport = 5;
inline constexpr int BudgetActualVarianceReport = 6;
inline constexpr int BankReconciliationReport = 53;
// Blocks of rows: the chart listings, the log reports (time log first, transfer-in log last)
// and the activity-statement reports.
inline constexpr int FirstChartListingReport = 57;
inline constexpr int LastChartListingReport = 60;
inline constexpr int FirstLogReport = 62;
inline constexpr int LastLogReport = 68;
inline constexpr int FirstActivityStatementReport = 69;
inline constexpr int LastActivityStatementReport = 79;

// The row of a report key (exact, case-sensitive), or 0, the empty row, when no report has it.
int FindStandardReport(QStringView key);
// The row at an index; an index outside 0 to 79 gives the empty row. Fields the reporting module
// supplies are empty here.
const TStandardReport& StandardReportRow(int row);

// ---- Report columns, balance formats, consolidation ---------------------------------------------

inline constexpr int ReportColumnNameCount = 371;
inline constexpr int ReportColumnCodeCount = 80;
inline constexpr int ConsolidationLevelCount = 10;

// The first entries of the column-name, column-code, balance-format and consolidation tables.
inline constexpr std::array<QStringView, 4> LeadingReportColumnNames{
    u"<Blank>", u"Account Code and Description", u"Account Description", u"<Period 01> Actual"};
inline constexpr std::array<QStringView, 4> LeadingReportColumnCodes{u"BLANK", u"ACC-C", u"ACC-D", u"P01-A"};
inline constexpr std::array<QStringView, 1> LeadingBalanceFormatNames{
    u"Balances shown with signs, zero is 0.00"};
// Indexed by the accounts chart's consolidation level: 0 keeps every account apart.
inline constexpr std::array<QStringView, 2> LeadingConsolidationLevelNames{u"Show Individual Accounts",
                                                                           u"Consolidate to Branch"};

// Macros that report titles may hold; they are replaced by the file's and the run's values.
inline constexpr std::array<QStringView, 14> TitleMacros{
    u"<E-CODE>", u"<E-NAME>", u"<E-ACN>", u"<E-HDG1>", u"<E-HDG2>", u"<PSD-S>", u"<PSD-L>",
    u"<PED-S>",  u"<PED-L>",  u"<Y>",     u"<YL>",     u"<Y-1>",    u"<YL-1>",  u"<SYS-DT>"};

// ---- Export formats -------------------------------------------------------------------------------

// The ledger export formats, by index, with the extension of the file each writes. The names are
// stored in the program settings as the default format and compared exactly: the first has two
// blanks before its parenthesis.
struct TExportFormat {
    QStringView Name;
    QStringView Extension;
};

inline constexpr std::array<TExportFormat, 10> ExportFormatTable{{
    {u"ASCII Text  ( CSV )", u".CSV"},
    {u"CA Systems Client Accounting GL - DOS", u".DBF"},
    {u"Cee Data CDS (No GST)", u".CEE"},
    {u"Cee Data Xlon (GST)", u".CSV"},
    {u"HandiLedger (No GST)", u".HLR"},
    {u"HandiLedger (GST)", u".HLR"},
    {u"Solution 6  ( MAS 3.0-4.0 Fixed )", u".S40"},
    {u"Solution 6  ( MAS 3.0-4.0 Variable )", u".S40"},
    {u"Solution 6  ( MAS 4 Release 4.1a+ )", u".S41"},
    {u"Solution 6  ( MAS 4 Release 5.1 )", u".S51"},
}};

inline constexpr int ExportFormatCount = static_cast<int>(ExportFormatTable.size());
// The format taken when the settings name none, or a name not in the table.
inline constexpr int DefaultExportFormat = 0;

// The index of a format name (exact, case-sensitive), or -1.
int IndexOfExportFormat(QStringView name);
