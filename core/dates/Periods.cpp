#include "core/dates/Periods.h"

#include "core/dates/DateNumbers.h"
#include "core/common/RegionalSettings.h"
#include "core/common/Exceptions.h"

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

int PeriodStartMonth(int Period, int PeriodsPerYear, int EndMonth, int& Year) {
    CheckPeriod(Period, PeriodsPerYear);
    CheckEndMonth(EndMonth);
    return IntoCalendarYear((Period - 1) * MonthsPerPeriod(PeriodsPerYear) + EndMonth + 1, Year);
}

int PeriodEndMonth(int Period, int PeriodsPerYear, int EndMonth, int& Year) {
    CheckPeriod(Period, PeriodsPerYear);
    CheckEndMonth(EndMonth);
    return IntoCalendarYear(Period * MonthsPerPeriod(PeriodsPerYear) + EndMonth, Year);
}

double PeriodStartDate(int Period, int Year, int PeriodsPerYear, int EndMonth) {
    const int month = PeriodStartMonth(Period, PeriodsPerYear, EndMonth, Year);
    return EncodeDateNum(Year, month, 1);
}

double PeriodEndDate(int Period, int Year, int PeriodsPerYear, int EndMonth) {
    const int month = PeriodEndMonth(Period, PeriodsPerYear, EndMonth, Year);
    return MonthEndDateNum(Year, month);
}

int PeriodOfMonth(int Month, int PeriodsPerYear, int EndMonth) {
    CheckMonth(Month);
    CheckEndMonth(EndMonth);
    int d = Month - EndMonth;
    if (d < 1)
        d += 12;
    return (d - 1) / MonthsPerPeriod(PeriodsPerYear) + 1;
}

int PeriodOfDate(int PeriodsPerYear, int EndMonth, int& Year, double DateNum) {
    int month, day;
    DecodeDateNum(DateNum, Year, month, day);
    if (month == 0)
        throw EQuilvaneError(QStringLiteral("The date number %1 names no date").arg(DateNum));
    const int period = PeriodOfMonth(month, PeriodsPerYear, EndMonth);
    if (month > EndMonth)
        ++Year;
    return period;
}

int OffsetMonth(int Month, int Offset) {
    // Reduced into 1-12 from either side, so going back from January gives December.
    const int zeroBased = (Month - 1 + Offset) % 12;
    return (zeroBased < 0 ? zeroBased + 12 : zeroBased) + 1;
}

void FormatPeriodMonths(int Period, int PeriodsPerYear, int Year, QString& Text, int EndMonth) {
    const TRegionalSettings& settings = TRegionalSettings::Program();
    int startYear = Year;
    const int startMonth = PeriodStartMonth(Period, PeriodsPerYear, EndMonth, startYear);
    int endYear = Year;
    const int endMonth = PeriodEndMonth(Period, PeriodsPerYear, EndMonth, endYear);
    Text = QStringLiteral("%1 %2")
               .arg(settings.ShortMonthNames[startMonth - 1])
               .arg(startYear, 4, 10, QLatin1Char('0'));
    if (endMonth != startMonth)
        Text = QStringLiteral("%1 - %2 %3")
                   .arg(Text, settings.ShortMonthNames[endMonth - 1])
                   .arg(endYear, 4, 10, QLatin1Char('0'));
}

int WeekOfFinancialYear(int Year, int EndMonth, double DateNum) {
    return DaysIntoFinancialYear(Year, EndMonth, DateNum) / 7 + 1;
}

int DaysIntoFinancialYear(int Year, int EndMonth, double DateNum) {
    return TruncDays(DateNum - FirstDayOfYear(Year, EndMonth));
}

double WeekEndDate(int Week, int Year, int EndMonth) {
    const double lastDay = PeriodEndDate(12, Year, 12, EndMonth);
    const double weekEnd = FirstDayOfYear(Year, EndMonth) + (static_cast<double>(Week) - 1) * 7 + 6;
    return std::min(weekEnd, lastDay);
}

bool CheckDateInPeriods(double& DateNum, int Year, int Period, bool MoveToEnd, bool MoveToStart,
                        int PeriodsPerYear, int EndMonth) {
    const double start = PeriodStartDate(Period, Year, PeriodsPerYear, EndMonth);
    const double end = PeriodEndDate(Period, Year, PeriodsPerYear, EndMonth);
    if (DateNum >= start && DateNum <= end)
        return true;
    if (MoveToStart)
        DateNum = start;
    else if (MoveToEnd)
        DateNum = end;
    return false;
}

bool ParseDateInPeriods(const QString& Text, double& DateNum, int Year, int PeriodsPerYear, int EndMonth,
                        int Period) {
    const double read = StrToDateNum(Text, false);
    if (read == -1) {
        DateNum = PeriodEndDate(Period, Year, PeriodsPerYear, EndMonth);
        return false;
    }
    DateNum = read;
    return CheckDateInPeriods(DateNum, Year, Period, true, false, PeriodsPerYear, EndMonth);
}

double FitDateToPeriod(int Period, int Year, int PeriodsPerYear, int PageKind, int EndMonth, double DateNum) {
    constexpr int OpeningUnpresentedCheques = 10;
    constexpr int OpeningOutstandingDeposits = 11;
    constexpr int OpeningBalances = 0;
    if (PageKind == OpeningUnpresentedCheques || PageKind == OpeningOutstandingDeposits)
        return DateNum;
    double result = DateNum;
    if (CheckDateInPeriods(result, Year, Period, false, false, PeriodsPerYear, EndMonth))
        return DateNum;
    int year, month, day;
    DecodeDateNum(DateNum, year, month, day);
    if (month != 0) {
        // The calendar year in which the month falls within financial year Year.
        int calendarYear = Year;
        PeriodEndMonth(PeriodOfMonth(month, 12, EndMonth), 12, EndMonth, calendarYear);
        if (PageKind == OpeningBalances)
            result = EncodeDateNum(calendarYear, 1, 1);
        else
            result = EncodeDateNum(calendarYear, month, std::min(day, DaysInMonth(calendarYear, month)));
    }
    // A value that names no day goes, like any date outside the period, to the period's end.
    CheckDateInPeriods(result, Year, Period, true, false, PeriodsPerYear, EndMonth);
    return result;
}
