#include "controls/dates/CalendarDialogRules.h"

#include "controls/dates/DateEditRules.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"

#include <optional>

namespace {

// The date number rebuilt from its year, month and day, which proves it names a calendar day;
// nothing when it does not.
std::optional<double> RebuiltDay(double dateNum) {
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDateNum(dateNum, year, month, day);
    try {
        return EncodeDateNum(year, month, day);
    } catch (const EQuilvaneError&) {
        return std::nullopt;
    }
}

double TodayDateNum() {
    return TodayDate() + DateNumOffset;
}

} // namespace

double CalendarOpeningDateNum(double dateNum, double fallbackDateNum) {
    if (const std::optional<double> day = RebuiltDay(dateNum))
        return *day;
    if (const std::optional<double> fallback = RebuiltDay(fallbackDateNum))
        return *fallback;
    return TodayDateNum();
}

double CalendarResultDateNum(double selectedDateNum) {
    if (const std::optional<double> day = RebuiltDay(selectedDateNum))
        return *day;
    return TodayDateNum();
}
