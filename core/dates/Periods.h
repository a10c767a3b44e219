#pragma once

#include <QString>

// Financial years and their periods. A financial year is named by the calendar year in which it
// ends and its year-end month endMonth (6 for a year ending in June, 12 for a calendar year); it
// begins on the first day of the month after endMonth a year earlier. It is divided into
// periodsPerYear equal periods (12, 6, 4, 3, 2 or 1) of whole months, numbered from 1.
//
// Every routine checks its period, periods-per-year, year-end month and month arguments and
// raises EQuilvaneError for one out of range (a damaged or hand-edited record must not make
// month 13).

// Calendar month in which a period starts; year (the financial year on entry) becomes the
// calendar year of that month.
int PeriodStartMonth(int period, int periodsPerYear, int endMonth, int& year);

// Calendar month in which a period ends; year becomes the calendar year of that month.
int PeriodEndMonth(int period, int periodsPerYear, int endMonth, int& year);

// First day of a period.
double PeriodStartDate(int period, int year, int periodsPerYear, int endMonth);

// Last day of a period.
double PeriodEndDate(int period, int year, int periodsPerYear, int endMonth);

// The period in which a calendar month falls.
int PeriodOfMonth(int month, int periodsPerYear, int endMonth);

// The period of a date; year becomes the financial year in which the date falls. Raises for a
// value that names no calendar day.
int PeriodOfDate(int periodsPerYear, int endMonth, int& year, double dateNum);

// A month moved on by offset months, wrapped into 1-12.
int OffsetMonth(int month, int offset);

// "Jul 2005" for a one-month period, "Jul 2005 - Sep 2005" for a longer one.
void FormatPeriodMonths(int period, int periodsPerYear, int year, QString& text, int endMonth);

// Week of the financial year (week 1 starts on its first day).
int WeekOfFinancialYear(int year, int endMonth, double dateNum);

// Whole days since the first day of the financial year.
int DaysIntoFinancialYear(int year, int endMonth, double dateNum);

// Last day of a week of the financial year, never later than the year's last day.
double WeekEndDate(int week, int year, int endMonth);

// True when the date lies within the period (a whole year: periodsPerYear 1, period 1). A date
// outside is replaced by the period's start date when moveToStart is set, else by its end date
// when moveToEnd is set, else left alone; the result stays false.
bool CheckDateInPeriods(double& dateNum, int year, int period, bool moveToEnd, bool moveToStart,
                        int periodsPerYear, int endMonth);

// Reads a typed date and checks it against the period (moving it to the period's end when it lies
// outside). Text that is no date leaves the period's end date. True only for a valid date inside
// the period.
bool ParseDateInPeriods(const QString& text, double& dateNum, int year, int periodsPerYear, int endMonth,
                        int period);

// The date a pasted transaction takes on a page of another year: page kinds 10 and 11 (opening
// unpresented cheques and outstanding deposits) and dates inside the period keep their date;
// otherwise the calendar month is kept and moved into the financial year, the day capped at the
// month's length (page kind 0, the opening balances, takes 1 January of that calendar year), and
// the result is moved to the period's end when it still lies outside the period.
double FitDateToPeriod(int period, int year, int periodsPerYear, int pageKind, int endMonth, double dateNum);
