#pragma once

#include <QString>

// Financial years and their periods. A financial year is named by the calendar year in which it
// ends and its year-end month EndMonth (6 for a year ending in June, 12 for a calendar year); it
// begins on the first day of the month after EndMonth a year earlier. It is divided into
// PeriodsPerYear equal periods (12, 6, 4, 3, 2 or 1) of whole months, numbered from 1.
//
// Every routine checks its period, periods-per-year, year-end month and month arguments and
// raises EQuilvaneError for one out of range (a damaged or hand-edited record must not make
// month 13).

// Calendar month in which a period starts; Year (the financial year on entry) becomes the
// calendar year of that month.
int PeriodStartMonth(int Period, int PeriodsPerYear, int EndMonth, int& Year);

// Calendar month in which a period ends; Year becomes the calendar year of that month.
int PeriodEndMonth(int Period, int PeriodsPerYear, int EndMonth, int& Year);

// First day of a period.
double PeriodStartDate(int Period, int Year, int PeriodsPerYear, int EndMonth);

// Last day of a period.
double PeriodEndDate(int Period, int Year, int PeriodsPerYear, int EndMonth);

// The period in which a calendar month falls.
int PeriodOfMonth(int Month, int PeriodsPerYear, int EndMonth);

// The period of a date; Year becomes the financial year in which the date falls. Raises for a
// value that names no calendar day.
int PeriodOfDate(int PeriodsPerYear, int EndMonth, int& Year, double DateNum);

// A month moved on by Offset months, wrapped into 1-12.
int OffsetMonth(int Month, int Offset);

// "Jul 2005" for a one-month period, "Jul 2005 - Sep 2005" for a longer one.
void FormatPeriodMonths(int Period, int PeriodsPerYear, int Year, QString& Text, int EndMonth);

// Week of the financial year (week 1 starts on its first day).
int WeekOfFinancialYear(int Year, int EndMonth, double DateNum);

// Whole days since the first day of the financial year.
int DaysIntoFinancialYear(int Year, int EndMonth, double DateNum);

// Last day of a week of the financial year, never later than the year's last day.
double WeekEndDate(int Week, int Year, int EndMonth);

// True when the date lies within the period (a whole year: PeriodsPerYear 1, Period 1). A date
// outside is replaced by the period's start date when MoveToStart is set, else by its end date
// when MoveToEnd is set, else left alone; the result stays false.
bool CheckDateInPeriods(double& DateNum, int Year, int Period, bool MoveToEnd, bool MoveToStart,
                        int PeriodsPerYear, int EndMonth);

// Reads a typed date and checks it against the period (moving it to the period's end when it lies
// outside). Text that is no date leaves the period's end date. True only for a valid date inside
// the period.
bool ParseDateInPeriods(const QString& Text, double& DateNum, int Year, int PeriodsPerYear, int EndMonth,
                        int Period);

// The date a pasted transaction takes on a page of another year: page kinds 10 and 11 (opening
// unpresented cheques and outstanding deposits) and dates inside the period keep their date;
// otherwise the calendar month is kept and moved into the financial year, the day capped at the
// month's length (page kind 0, the opening balances, takes 1 January of that calendar year), and
// the result is moved to the period's end when it still lies outside the period.
double FitDateToPeriod(int Period, int Year, int PeriodsPerYear, int PageKind, int EndMonth, double DateNum);
