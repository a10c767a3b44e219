#pragma once

#include "controls/chart/ChartModel.h"

#include <QList>
#include <QString>
#include <QStringList>

class TEntityInfo;

// What a graph shows, built from the runs of an open file over its current financial year, with
// no widget: the graphs window loads it into its chart.
//
// The graphs of the report numbers:
// - 50, income and expenses by period (bar chart): the amounts of the profit-and-loss accounts
//   per period of the year, income shown as a positive amount;
// - 51, year-to-date income and expenses (line chart): the same amounts added up through each
//   period (this run also takes the opening-balance page);
// - 52, cash book against bank statement (line chart): the closing balance of the bank
//   accounts at the end of each period, from the cash-book pages and from the bank-statement
//   pages, both counted from nil at the start of the year, money in raising them.
//
// A graph has one point per period of the file's year (its "Periods" setting: twelve monthly
// periods, or fewer longer ones), each named by its months ("Jul 2005", "Jul 2005 - Sep 2005").
//
// A profit-and-loss account is one inside the account format's profit-and-loss range ("PRL";
// without that range, one outside both the balance-sheet and the suspense ranges). It counts as
// income when its sign is credit and as an expense when its sign is debit; an account with
// neither sign counts by its movement over the year, income when that is a credit.
struct TGraphData {
    QString Title;
    QStringList PointLegends;
    QStringList SeriesLegends;
    QList<QList<double>> Values; // per series, one amount per point
    TChartGallery Gallery = TChartGallery::Bar;

    // A run that failed (its box already shown) gives a graph with no series.
    bool IsEmpty() const { return Values.isEmpty(); }
};

// The report numbers of the graphs.
namespace GraphReportNumber {
constexpr int IncomeExpense = 50;
constexpr int YearToDate = 51;
constexpr int BankBalance = 52;
} // namespace GraphReportNumber

// The graph of report 50 or 51 for the file's current year. A run that fails shows its own box
// and gives an empty graph; a cancel in the run's progress window raises EOperationCancelled.
// Another report number, or a record whose year cannot be run (no year-end month), raises
// EQuilvaneError.
TGraphData IncomeExpenseGraph(TEntityInfo& file, int reportNumber);
// The graph of report 52, failing and cancelling as above.
TGraphData BankBalanceGraph(TEntityInfo& file);

// Loads a graph into a chart in the order the chart takes it: the value block (series by
// series), an empty constant-line block, then the chart type, titles, legends and two decimals;
// last the value axis, from nil widened to the largest and the smallest value.
void LoadGraph(const TGraphData& data, TChartModel& chart);
