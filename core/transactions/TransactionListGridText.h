#pragma once

#include <QChar>
#include <QString>

// The number and date texts of the transaction grid. Numbers are written and read with "." for
// the decimal point and "," between thousands whatever the workstation's locale; the date
// separator comes from the program's regional formats.

// The value with the given decimals, a leading "-" when it is negative at that precision
// ("#0.00", "#0.0000").
QString GridFixedText(double value, int decimals);
// The size of the value with the given decimals, thousands grouped by "," when asked.
QString GridDigits(double value, int decimals, bool grouped);
// Whether the value is below 0 once written with the given decimals (-0.001 is not, at 2).
bool IsNegativeAtDecimals(double value, int decimals);
// An amount with two decimals and grouped thousands behind a currency symbol and a blank;
// negative amounts in parentheses ("$ 1,234.50", "$ (1,234.50)").
QString GridMoneyText(double amount, QChar symbol);
// Reads a plain decimal number (blanks around it ignored); false, leaving value alone, for
// anything else, infinities and not-a-number included.
bool ReadGridNumber(const QString& text, double& value);
// Reads an amount as the grid shows it or as typed: a plain decimal number, or one whose whole part
// is grouped by "," in threes as GridDigits groups it ("1,100.50", "-12,345"); false, leaving
// value alone, for anything else.
bool ReadGridAmount(const QString& text, double& value);
// The day-of-month date of memorised payments and standard bank transactions: two digits (two
// blanks for day 0), the date separator, "m", the separator, "y".
QString DayMaskText(int day);
// The number of the text's first two characters; 1 when they are no number.
int LeadingDay(const QString& text);
