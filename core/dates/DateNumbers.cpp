#include "core/dates/DateNumbers.h"

#include "core/dates/DateFormatter.h"
#include "core/dates/DateTextParser.h"
#include "core/common/RegionalSettings.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"

#include <cmath>
#include <limits>

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (the civil-calendar algorithm in
// 400-year eras, exact for every year).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

// Date number of 1 January 1970 (1 January 0001 is day 1).
constexpr std::int64_t UnixEpochDateNum = 719163;

} // namespace

int DaysInMonth(int Year, int Month) {
    static constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        throw EQuilvaneError(QStringLiteral("Month %1 is not a month of the year").arg(Month));
    return Month == 2 && IsLeapYear(Year) ? 29 : lengths[Month - 1];
}

double EncodeDateNum(int Year, int Month, int Day) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        throw EQuilvaneError(
            QStringLiteral("Invalid date: year %1, month %2, day %3").arg(Year).arg(Month).arg(Day));
    return static_cast<double>(DaysFromCivil(Year, Month, Day) + UnixEpochDateNum);
}

bool IsCalendarDateNum(double DateNum) {
    // Written so that a NaN fails too.
    return DateNum >= 1.0 && DateNum < MaxDateNum + 1.0;
}

void DecodeDateNum(double DateNum, int& Year, int& Month, int& Day) {
    if (!IsCalendarDateNum(DateNum)) {
        Year = Month = Day = 0;
        return;
    }
    CivilFromDays(static_cast<std::int64_t>(std::floor(DateNum)) - UnixEpochDateNum, Year, Month, Day);
}

double DateNumToDateTime(double DateNum) {
    return DateNum - DateNumOffset;
}

double DateNumFromQDateTime(const QDateTime& Value) {
    if (!Value.isValid())
        return 0;
    const QDate date = Value.date();
    if (date.year() < 1 || date.year() > 9999)
        return 0;
    return EncodeDateNum(date.year(), date.month(), date.day()) +
           Value.time().msecsSinceStartOfDay() / 86400000.0;
}

double NowNum() {
    return DateNumFromQDateTime(TServices::Clock().Now());
}

double StrToDateNum(const QString& Text, bool Lenient) {
    const int currentYear = TServices::Clock().Now().date().year();
    const TDateTextParser::TResult read = TDateTextParser().Parse(Text, currentYear);
    if (read.Valid)
        return EncodeDateNum(read.Year, read.Month, read.Day);
    if (Lenient && read.Year >= 1 && read.Year <= 9999 && read.Month >= 1 && read.Month <= 12 &&
        read.Day >= 1)
        return MonthEndDateNum(read.Year, read.Month);
    return -1;
}

QString DateNumToStr(bool Short, double DateNum) {
    if (DateNum == 0)
        return {};
    const TRegionalSettings& settings = TRegionalSettings::Program();
    return TDateFormatter(settings).Format(Short ? settings.ShortDateFormat : settings.LongDateFormat,
                                           DateNum);
}

QString FormatDateNum(const QString& Format, double DateNum) {
    return TDateFormatter().Format(Format, DateNum);
}

int DayOfDateNum(double DateNum) {
    int year, month, day;
    DecodeDateNum(DateNum, year, month, day);
    return day;
}

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

double MonthEndDateNum(int Year, int Month) {
    return EncodeDateNum(Year, Month, DaysInMonth(Year, Month));
}

int ToggleYearDigits(int Year) {
    if (Year < TwoDigitYearPivot)
        return Year + 2000;
    if (Year < 100)
        return Year + 1900;
    if (Year < 2000)
        return Year - 1900;
    return Year - 2000;
}

std::int64_t SecondsBetween(double First, double Second) {
    const double seconds = std::nearbyint((Second - First) * 24.0 * 60.0 * 60.0);
    // A gap beyond the range of the count (or between values that are no numbers) saturates
    // instead of overflowing.
    if (std::isnan(seconds))
        return 0;
    constexpr double limit = 9.0e18;
    if (seconds >= limit)
        return static_cast<std::int64_t>(limit);
    if (seconds <= -limit)
        return -static_cast<std::int64_t>(limit);
    return static_cast<std::int64_t>(seconds);
}

double SubtractOneYear(double DateNum) {
    int year, month, day;
    DecodeDateNum(DateNum, year, month, day);
    // A value that names no day of years 2 to 9999 has no calendar year before it.
    if (year < 2)
        return DateNum - 365;
    const double timeOfDay = DateNum - std::floor(DateNum);
    const int lastDay = DaysInMonth(year - 1, month);
    return EncodeDateNum(year - 1, month, day > lastDay ? lastDay : day) + timeOfDay;
}

bool DateGapExceedsYearAndMonth(double First, double Second) {
    int year, month, day;
    DecodeDateNum(Second, year, month, day);
    double limit = 365 + 31; // a value that names no day: a year and the longest month
    if (year != 0) {
        limit = IsLeapYear(year) && month > 2 ? 366 : 365;
        limit += DaysInMonth(year, month == 1 ? 12 : month - 1);
    }
    return Second - First > limit;
}
