#pragma once

// The pop-up calendar window speaks date numbers (day 1 = 1 January of year 1). These rules decide
// which day it opens on and which day it hands back; neither ever fails.

// The day the window opens on: the whole day of dateNum when it names a calendar day, else the
// whole day of fallbackDateNum when that does (-1 means "no fallback"), else today.
double CalendarOpeningDateNum(double dateNum, double fallbackDateNum);

// The day handed back for the calendar's first selected day given as a date number: its whole
// day, or today's whole day when it names no calendar day (no selection, a damaged value).
double CalendarResultDateNum(double selectedDateNum);
