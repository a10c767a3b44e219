#pragma once

#include <QString>

// The macros of report titles and texts.

// Expands, without regard to case: "<PSD-S>" and "<PSD-L>" the period start date in the short
// date format and the report date format, "<PED-S>" and "<PED-L>" the period end date likewise
// (left in place when the date is 0), "<SYS-DT>" the current date and time in the long time
// format, "<Y>" the year, "<Y-1>" the year before, "<YL>" "For the <year> financial year" and
// "<YL-1>" the same for the year before. The file macros ("<E-CODE>" and the like) belong to the
// report writer and are left alone. Dates are date numbers.
QString ExpandTitleMacros(const QString& title, int year, double periodStart, double periodEnd);

// Replaces the whole words "<M>", "<M-1>" and "<M+1>" with the short names of the date's month,
// the month before and the month after (December before January, January after December).
// With a date of 0 the text is left as it is.
void ExpandMonthMacros(const QString& text, QString& result, double date);
