#pragma once

#include "core/common/RegionalSettings.h"
#include "core/services/Services.h"

#include <QString>

// Reads dates typed or stored as text: two or three numbers joined by the date separator, in the
// order of the short date format (day-month-year, month-day-year or year-month-day). A year of
// one or two digits follows the two-digit-year pivot (below 90 is 20xx); three or four digits
// are taken as they stand. Day and month alone take the current year. Blanks around the text are
// ignored; anything else makes the text invalid.
// It keeps a reference to the settings it is given, which must outlive it.
class TDateTextParser {
public:
    enum class TOrder { DayMonthYear, MonthDayYear, YearMonthDay };

    // What was read. Valid is set only for a complete, existing date; otherwise the fields hold
    // whatever numbers could be read (0 where none), so a caller may fall back on them.
    struct TResult {
        bool Valid = false;
        int Year = 0;
        int Month = 0;
        int Day = 0;
    };

    explicit TDateTextParser(const TRegionalSettings& settings = TServices::Regional());

    TResult Parse(const QString& text, int currentYear) const;

    // The field order a short date format implies (the first of the letters d, m, y; day first
    // when the format has none).
    static TOrder OrderOf(const QString& shortDateFormat);

private:
    const TRegionalSettings& Settings;
};
