#include "core/dates/Periods.h"
#include "core/services/Services.h"

#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/vocab/PageKinds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

void CheckEndMonth(int endMonth) {
    if (endMonth < 1 || endMonth > 12)
        throw EQuilvaneError(QStringLiteral("Year-end month %1 is not a month of the year").arg(endMonth));
}

void CheckMonth(int month) {
    if (month < 1 || month > 12)
        throw EQuilvaneError(QStringLiteral("Month %1 is not a month of the year").arg(month));
}

// Months in each period; the year must divide into whole months.
int MonthsPerPeriod(int periodsPerYear) {
    if (periodsPerYear < 1 || periodsPerYear > 12 || 12 % periodsPerYear != 0)
        throw EQuilvaneError(
            QStringLiteral("%1 periods a year do not divide the year into whole months").arg(periodsPerYear));
    return 12 / periodsPerYear;
}

void CheckPeriod(int period, int periodsPerYear) {
    MonthsPerPeriod(periodsPerYear);
    if (period < 1 || period > periodsPerYear)
        throw EQuilvaneError(
            QStringLiteral("Period %1 is outside a year of %2 periods").arg(period).arg(periodsPerYear));
}

// Whole days of a day count, truncated toward zero; counts beyond the range of an int saturate.
int TruncDays(double days) {
    if (std::isnan(days))
        return 0;
    if (days >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (days <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(days);
}

double FirstDayOfYear(int year, int endMonth) {
    return PeriodStartDate(1, year, 12, endMonth);
}

// Moves a month reckoned from the year end into the calendar year: months beyond December lie
// in the calendar year the financial year ends in, the others in the year before.
int IntoCalendarYear(int month, int& year) {
    if (month > 12)
        return month - 12;
    --year;
    return month;
}

} // namespace

int PeriodStartMonth(int period, int periodsPerYear, int endMonth, int& year) {
    CheckPeriod(period, periodsPerYear);
    CheckEndMonth(endMonth);
    return IntoCalendarYear((period - 1) * MonthsPerPeriod(periodsPerYear) + endMonth + 1, year);
}

int PeriodEndMonth(int period, int periodsPerYear, int endMonth, int& year) {
    CheckPeriod(period, periodsPerYear);
    CheckEndMonth(endMonth);
    return IntoCalendarYear(period * MonthsPerPeriod(periodsPerYear) + endMonth, year);
}

double PeriodStartDate(int period, int year, int periodsPerYear, int endMonth) {
    const int month = PeriodStartMonth(period, periodsPerYear, endMonth, year);
    return EncodeDateNum(year, month, 1);
}

double PeriodEndDate(int period, int year, int periodsPerYear, int endMonth) {
    const int month = PeriodEndMonth(period, periodsPerYear, endMonth, year);
    return MonthEndDateNum(year, month);
}

int PeriodOfMonth(int month, int periodsPerYear, int endMonth) {
    CheckMonth(month);
    CheckEndMonth(endMonth);
    int d = month - endMonth;
    if (d < 1)
        d += 12;
    return (d - 1) / MonthsPerPeriod(periodsPerYear) + 1;
}

int PeriodOfDate(int periodsPerYear, int endMonth, int& year, double dateNum) {
    int month, day;
    DecodeDateNum(dateNum, year, month, day);
    if (month == 0)
        throw EQuilvaneError(QStringLiteral("The date number %1 names no date").arg(dateNum));
    const int period = PeriodOfMonth(month, periodsPerYear, endMonth);
    if (month > endMonth)
        ++year;
    return period;
}

int OffsetMonth(int month, int offset) {
    // Reduced into 1-12 from either side, so going back from January gives December.
    const int zeroBased = (month - 1 + offset) % 12;
    return (zeroBased < 0 ? zeroBased + 12 : zeroBased) + 1;
}

void FormatPeriodMonths(int period, int periodsPerYear, int year, QString& text, int endMonth) {
    const TRegionalSettings& settings = TServices::Regional();
    int startYear = year;
    const int firstMonth = PeriodStartMonth(period, periodsPerYear, endMonth, startYear);
    int endYear = year;
    const int lastMonth = PeriodEndMonth(period, periodsPerYear, endMonth, endYear);
    text = QStringLiteral("%1 %2")
               .arg(settings.ShortMonthNames[firstMonth - 1])
               .arg(startYear, 4, 10, QLatin1Char('0'));
    if (lastMonth != firstMonth)
        text = QStringLiteral("%1 - %2 %3")
                   .arg(text, settings.ShortMonthNames[lastMonth - 1])
                   .arg(endYear, 4, 10, QLatin1Char('0'));
}

int WeekOfFinancialYear(int year, int endMonth, double dateNum) {
    return DaysIntoFinancialYear(year, endMonth, dateNum) / 7 + 1;
}

int DaysIntoFinancialYear(int year, int endMonth, double dateNum) {
    return TruncDays(dateNum - FirstDayOfYear(year, endMonth));
}

double WeekEndDate(int week, int year, int endMonth) {
    const double lastDay = PeriodEndDate(12, year, 12, endMonth);
    const double weekEnd = FirstDayOfYear(year, endMonth) + (static_cast<double>(week) - 1) * 7 + 6;
    return std::min(weekEnd, lastDay);
}

bool CheckDateInPeriods(double& dateNum, int year, int period, bool moveToEnd, bool moveToStart,
                        int periodsPerYear, int endMonth) {
    const double start = PeriodStartDate(period, year, periodsPerYear, endMonth);
    const double end = PeriodEndDate(period, year, periodsPerYear, endMonth);
    if (dateNum >= start && dateNum <= end)
        return true;
    if (moveToStart)
        dateNum = start;
    else if (moveToEnd)
        dateNum = end;
    return false;
}

bool ParseDateInPeriods(const QString& text, double& dateNum, int year, int periodsPerYear, int endMonth,
                        int period) {
    const double read = StrToDateNum(text, false);
    if (read == -1) {
        dateNum = PeriodEndDate(period, year, periodsPerYear, endMonth);
        return false;
    }
    dateNum = read;
    return CheckDateInPeriods(dateNum, year, period, true, false, periodsPerYear, endMonth);
}

double FitDateToPeriod(int period, int year, int periodsPerYear, int pageKind, int endMonth, double dateNum) {
    if (pageKind == pkOpeningUnpresentedCheques || pageKind == pkOpeningOutstandingDeposits)
        return dateNum;
    double result = dateNum;
    if (CheckDateInPeriods(result, year, period, false, false, periodsPerYear, endMonth))
        return dateNum;
    int dateYear, month, day;
    DecodeDateNum(dateNum, dateYear, month, day);
    if (month != 0) {
        // The calendar year in which the month falls within the financial year.
        int calendarYear = year;
        PeriodEndMonth(PeriodOfMonth(month, 12, endMonth), 12, endMonth, calendarYear);
        if (pageKind == pkOpeningBalances)
            result = EncodeDateNum(calendarYear, 1, 1);
        else
            result = EncodeDateNum(calendarYear, month, std::min(day, DaysInMonth(calendarYear, month)));
    }
    // A value that names no day goes, like any date outside the period, to the period's end.
    CheckDateInPeriods(result, year, period, true, false, periodsPerYear, endMonth);
    return result;
}
