#include "reports/GraphData.h"

#include "controls/chart/ChartScaleFit.h"
#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/common/Money.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int MonthsPerYear = 12;
constexpr int GraphDecimals = 2;
// The value axis of a graph whose values are all nil still spans this much.
constexpr double EmptyAxisRange = 100.0;

const QString IncomeLegend = QStringLiteral("Income");
const QString ExpensesLegend = QStringLiteral("Expenses");
const QString CashBookLegend = QStringLiteral("Cash Book");
const QString BankStatementLegend = QStringLiteral("Bank Statement");

// The file's current financial year as the graphs divide it.
struct TGraphYear {
    int Year = 0;
    int EndMonth = 12;
    int Periods = MonthsPerYear;

    explicit TGraphYear(const TEntityInfo& file) {
        const TEntityDetail& detail = file.EntityDetail();
        Year = detail.Year;
        EndMonth = detail.EndMonth;
        // A periods setting that does not divide the year into whole months is read as monthly.
        Periods =
            detail.Periods >= 1 && detail.Periods <= MonthsPerYear && MonthsPerYear % detail.Periods == 0
                ? detail.Periods
                : MonthsPerYear;
    }
    // The period that holds a monthly slot of the run (1-12).
    int PeriodOfMonth(int month) const { return (month - 1) / (MonthsPerYear / Periods) + 1; }
    QStringList Legends() const {
        QStringList legends;
        for (int period = 1; period <= Periods; ++period) {
            QString text;
            FormatPeriodMonths(period, Periods, Year, text, EndMonth);
            // Twelve points share the axis: a month and the year's last two digits fit beneath each.
            static const QRegularExpression fullYear(QStringLiteral("\\b\\d{2}(\\d{2})\\b"));
            legends.append(text.replace(fullYear, QStringLiteral("\\1")));
        }
        return legends;
    }
};

// One run of a report type over the file's current year, on private charts, with the amounts
// cleared first. Null when the run failed (it has shown its box); a cancel raises.
std::unique_ptr<TReportSetup> RunGraph(TEntityInfo& file, const TGraphYear& year, int reportType) {
    auto setup = std::make_unique<TReportSetup>(file.RunFile(year.Year), reportType, 0, year.Year, true);
    if (file.ProcessTransactions(*setup, nullptr, true, false, true) != 0)
        return nullptr;
    return setup;
}

bool InProfitAndLossRange(const TAccountDetail& account) {
    if (const TAccountFormat* format = account.Format)
        if (const TAccountGroup* range =
                format->GetRangeGroup(format->IndexOfRangeType(AccountTypeCode::ProfitAndLoss)))
            return range->Contains(account.Code());
    return !account.InBalanceSheetRange() && !account.InSuspenseRange();
}

// Whether a profit-and-loss account is an income account: by its sign, else by its movement over
// the year (the run accumulates money in as a negative amount).
bool IsIncomeAccount(const TAccountDetail& account) {
    if (account.Sign == QLatin1Char('C'))
        return true;
    if (account.Sign == QLatin1Char('D'))
        return false;
    TMoneyTotal year;
    for (int month = 1; month <= MonthsPerYear; ++month)
        year.Add(account.GetPeriodAmount(month));
    return year.Value() < 0.0;
}

QList<double> RoundedValues(const std::vector<TMoneyTotal>& totals) {
    QList<double> values;
    for (const TMoneyTotal& total : totals)
        values.append(RoundToCent(total.Value()) + 0.0); // + 0.0: no negative nil
    return values;
}

QList<double> RunningTotals(const QList<double>& values) {
    QList<double> running;
    TMoneyTotal total;
    for (double value : values) {
        total.Add(value);
        running.append(RoundToCent(total.Value()) + 0.0);
    }
    return running;
}

} // namespace

TGraphData IncomeExpenseGraph(TEntityInfo& file, int reportNumber) {
    if (reportNumber != GraphReportNumber::IncomeExpense && reportNumber != GraphReportNumber::YearToDate)
        throw EQuilvaneError(
            QStringLiteral("Report %1 is not an income and expense graph.").arg(reportNumber));
    const TGraphYear year(file);
    const std::unique_ptr<TReportSetup> run = RunGraph(file, year, reportNumber);
    if (!run)
        return {};
    std::vector<TMoneyTotal> income(static_cast<size_t>(year.Periods));
    std::vector<TMoneyTotal> expenses(static_cast<size_t>(year.Periods));
    const TAccountsChart& chart = *run->Accounts;
    for (int i = 0; i < chart.Count(); ++i) {
        const TAccountDetail& account = *chart.GetAccount(i);
        if (!InProfitAndLossRange(account))
            continue;
        const bool isIncome = IsIncomeAccount(account);
        for (int month = 1; month <= MonthsPerYear; ++month) {
            const double amount = account.GetPeriodAmount(month);
            const auto slot = static_cast<size_t>(year.PeriodOfMonth(month) - 1);
            if (isIncome)
                income[slot].Add(-amount);
            else
                expenses[slot].Add(amount);
        }
    }

    TGraphData data;
    const QString code = file.EntityDetail().FileCode;
    data.PointLegends = year.Legends();
    data.SeriesLegends = {IncomeLegend, ExpensesLegend};
    if (reportNumber == GraphReportNumber::IncomeExpense) {
        data.Title = QStringLiteral("%1 Income and Expenses %2").arg(code).arg(year.Year);
        data.Gallery = TChartGallery::Bar;
        data.Values = {RoundedValues(income), RoundedValues(expenses)};
    } else {
        data.Title = QStringLiteral("%1 Year to Date Income and Expenses %2").arg(code).arg(year.Year);
        data.Gallery = TChartGallery::Line;
        data.Values = {RunningTotals(RoundedValues(income)), RunningTotals(RoundedValues(expenses))};
    }
    return data;
}

TGraphData BankBalanceGraph(TEntityInfo& file) {
    const TGraphYear year(file);
    const std::unique_ptr<TReportSetup> run = RunGraph(file, year, GraphReportNumber::BankBalance);
    if (!run)
        return {};
    // The run's day columns count from the first day of the year; money in is positive in both.
    const double yearStart = PeriodStartDate(1, year.Year, 1, year.EndMonth);
    QList<double> cashBook;
    QList<double> bankStatement;
    TMoneyTotal cashBookBalance;
    TMoneyTotal bankStatementBalance;
    const TAccountsChart& chart = *run->Accounts;
    int nextDay = 0;
    for (int period = 1; period <= year.Periods; ++period) {
        const int lastDay = static_cast<int>(
            std::floor(PeriodEndDate(period, year.Year, year.Periods, year.EndMonth) - yearStart));
        for (int i = 0; i < chart.Count(); ++i) {
            const TAccountDetail& account = *chart.GetAccount(i);
            if (account.AccountType != AccountTypeCode::Bank)
                continue;
            for (int day = nextDay; day <= lastDay; ++day) {
                cashBookBalance.Add(account.PeriodAmounts.GetBalance(day));
                bankStatementBalance.Add(account.ColumnValues.GetBalance(day));
            }
        }
        nextDay = lastDay + 1;
        cashBook.append(RoundToCent(cashBookBalance.Value()) + 0.0);
        bankStatement.append(RoundToCent(bankStatementBalance.Value()) + 0.0);
    }

    TGraphData data;
    data.Title = QStringLiteral("%1 Cash Book and Bank Statement Balances %2")
                     .arg(file.EntityDetail().FileCode)
                     .arg(year.Year);
    data.Gallery = TChartGallery::Line;
    data.PointLegends = year.Legends();
    data.SeriesLegends = {CashBookLegend, BankStatementLegend};
    data.Values = {cashBook, bankStatement};
    return data;
}

void LoadGraph(const TGraphData& data, TChartModel& chart) {
    const int series = static_cast<int>(data.Values.size());
    int points = static_cast<int>(data.PointLegends.size());
    for (const QList<double>& values : data.Values)
        points = std::max(points, static_cast<int>(values.size()));

    chart.OpenData(TChartDataKind::Values, series, points);
    double largest = 0.0;
    double smallest = 0.0;
    for (int serie = 0; serie < series; ++serie) {
        chart.ThisSerie = serie;
        const QList<double>& values = data.Values[serie];
        for (int point = 0; point < values.size(); ++point) {
            chart.SetValue(point, values[point]);
            if (std::isfinite(values[point])) {
                largest = std::max(largest, values[point]);
                smallest = std::min(smallest, values[point]);
            }
        }
    }
    chart.CloseData(TChartDataKind::Values);
    chart.ThisSerie = 0;
    // A graph has no constant lines: those of an earlier graph go.
    chart.OpenData(TChartDataKind::ConstantLines, 0);
    chart.CloseData(TChartDataKind::ConstantLines);

    chart.SetType((chart.Type() & ~ChartTypeBit::GalleryMask) | ChartTypeBit::SeriesLegend);
    chart.SetChartType(static_cast<int>(data.Gallery));
    chart.SetTitle(2, data.Title);
    for (int point = 0; point < data.PointLegends.size(); ++point)
        chart.SetLegend(point, data.PointLegends[point]);
    for (int serie = 0; serie < data.SeriesLegends.size(); ++serie)
        chart.SetSeriesLegend(serie, data.SeriesLegends[serie]);
    chart.SetDecimals(GraphDecimals);

    // The axis starts at nil and widens to take the values.
    chart.SetAxisScale(0, 0.0);
    chart.SetAxisScale(1, 0.0);
    FitGraphScaleToValue(chart, largest);
    FitGraphScaleToValue(chart, smallest);
    if (chart.GetAxisScale(1) <= chart.GetAxisScale(0)) {
        chart.SetAxisScale(1, chart.GetAxisScale(0) + EmptyAxisRange);
        chart.SetAxisScale(2, EmptyAxisRange / 10.0);
    }
}
