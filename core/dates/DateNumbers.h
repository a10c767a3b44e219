#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

// Date numbers: every date the program stores or compares is a day count held in a double.
// Day 1 is 1 January of year 1 (proleptic Gregorian calendar), so 30 December 1899 is day 693594;
// the fraction, when present, is the time of day. A date number of 0 means "no date". The
// platform date-time value (day 0 = 30 December 1899) is the date number less 693594.

// Date number of 30 December 1899, day 0 of the platform date-time value.
inline constexpr double DateNumOffset = 693594.0;

// Two-digit years below this are 20xx, the rest 19xx (file names, archive names, typed dates).
inline constexpr int TwoDigitYearPivot = 90;

// Date number of 31 December 9999, the last day a date number can name.
inline constexpr double MaxDateNum = 3652059.0;

// Days in a month of a year (February has 29 in leap years). Raises EQuilvaneError for a month
// outside 1-12.
int DaysInMonth(int year, int month);

// The date number of a calendar date; raises EQuilvaneError for a date that does not exist or
// lies outside years 1 to 9999.
double EncodeDateNum(int year, int month, int day);

// Splits a date number into year, month and day. A value that names no calendar day (below 1,
// beyond 9999, not a number) gives 0, 0, 0.
void DecodeDateNum(double dateNum, int& year, int& month, int& day);

// True when the date number names a calendar day (1 January 0001 to 31 December 9999).
bool IsCalendarDateNum(double dateNum);

// The platform date-time value of a date number.
double DateNumToDateTime(double dateNum);

// The date number of a local date and time (0 for an invalid one).
double DateNumFromQDateTime(const QDateTime& value);

// The current date and time from the service clock.
double NowNum();

// Reads a date typed in the program's short date format. Text that is no valid date gives -1
// unless lenient is set; then a day beyond the end of a readable month and year gives that
// month's last day (the older exchange forms hold dates such as 31/06). Never raises.
double StrToDateNum(const QString& text, bool lenient);

// The date in the program's short (shortFormat set) or long date format; 0 gives an empty text.
QString DateNumToStr(bool shortFormat, double dateNum);

// The date number formatted with an explicit date-time format.
QString FormatDateNum(const QString& format, double dateNum);

// Day of the month (0 for a value that names no day).
int DayOfDateNum(double dateNum);

bool IsLeapYear(int year);

// Date number of the last day of a month.
double MonthEndDateNum(int year, int month);

// Converts between two- and four-digit years around the pivot: 5 -> 2005, 95 -> 1995,
// 1995 -> 95, 2006 -> 6.
int ToggleYearDigits(int year);

// Whole seconds from first to second (rounded to the nearest, halves to even).
std::int64_t SecondsBetween(double first, double second);

// The same day and month a year earlier; 29 February becomes 28 February. The time of day is kept.
double SubtractOneYear(double dateNum);

// True when second lies more than a year and a month after first: 365 days (366 when second's
// year is a leap year and second is after February) plus the length of the calendar month before
// second's month. Bank reconciliation uses it to call an entry too old.
bool DateGapExceedsYearAndMonth(double first, double second);
