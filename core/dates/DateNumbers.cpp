#include "core/dates/DateNumbers.h"

#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "core/dates/DateFormatter.h"
#include "core/dates/DateTextParser.h"
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

int DaysInMonth(int year, int month) {
    static constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        throw EQuilvaneError(QStringLiteral("Month %1 is not a month of the year").arg(month));
    return month == 2 && IsLeapYear(year) ? 29 : lengths[month - 1];
}

double EncodeDateNum(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EQuilvaneError(
            QStringLiteral("Invalid date: year %1, month %2, day %3").arg(year).arg(month).arg(day));
    return static_cast<double>(DaysFromCivil(year, month, day) + UnixEpochDateNum);
}

bool IsCalendarDateNum(double dateNum) {
    // Written so that a NaN fails too.
    return dateNum >= 1.0 && dateNum < MaxDateNum + 1.0;
}

void DecodeDateNum(double dateNum, int& year, int& month, int& day) {
    if (!IsCalendarDateNum(dateNum)) {
        year = month = day = 0;
        return;
    }
    CivilFromDays(static_cast<std::int64_t>(std::floor(dateNum)) - UnixEpochDateNum, year, month, day);
}

double DateNumToDateTime(double dateNum) {
    return dateNum - DateNumOffset;
}

double DateNumFromQDateTime(const QDateTime& value) {
    if (!value.isValid())
        return 0;
    const QDate date = value.date();
    if (date.year() < 1 || date.year() > 9999)
        return 0;
    return EncodeDateNum(date.year(), date.month(), date.day()) +
           value.time().msecsSinceStartOfDay() / 86400000.0;
}

double NowNum() {
    return DateNumFromQDateTime(TServices::Clock().Now());
}

double StrToDateNum(const QString& text, bool lenient) {
    const int currentYear = TServices::Clock().Now().date().year();
    const TDateTextParser::TResult read = TDateTextParser().Parse(text, currentYear);
    if (read.Valid)
        return EncodeDateNum(read.Year, read.Month, read.Day);
    if (lenient && read.Year >= 1 && read.Year <= 9999 && read.Month >= 1 && read.Month <= 12 &&
        read.Day >= 1)
        return MonthEndDateNum(read.Year, read.Month);
    return -1;
}

QString DateNumToStr(bool shortFormat, double dateNum) {
    if (dateNum == 0)
        return {};
    const TRegionalSettings& settings = TServices::Regional();
    return TDateFormatter(settings).Format(shortFormat ? settings.ShortDateFormat : settings.LongDateFormat,
                                           dateNum);
}

QString FormatDateNum(const QString& format, double dateNum) {
    return TDateFormatter().Format(format, dateNum);
}

int DayOfDateNum(double dateNum) {
    int year, month, day;
    DecodeDateNum(dateNum, year, month, day);
    return day;
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

double MonthEndDateNum(int year, int month) {
    return EncodeDateNum(year, month, DaysInMonth(year, month));
}

int ToggleYearDigits(int year) {
    if (year < TwoDigitYearPivot)
        return year + 2000;
    if (year < 100)
        return year + 1900;
    if (year < 2000)
        return year - 1900;
    return year - 2000;
}

std::int64_t SecondsBetween(double first, double second) {
    const double seconds = std::nearbyint((second - first) * 24.0 * 60.0 * 60.0);
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

double SubtractOneYear(double dateNum) {
    int year, month, day;
    DecodeDateNum(dateNum, year, month, day);
    // A value that names no day of years 2 to 9999 has no calendar year before it.
    if (year < 2)
        return dateNum - 365;
    const double timeOfDay = dateNum - std::floor(dateNum);
    const int lastDay = DaysInMonth(year - 1, month);
    return EncodeDateNum(year - 1, month, day > lastDay ? lastDay : day) + timeOfDay;
}

bool DateGapExceedsYearAndMonth(double first, double second) {
    int year, month, day;
    DecodeDateNum(second, year, month, day);
    double limit = 365 + 31; // a value that names no day: a year and the longest month
    if (year != 0) {
        limit = IsLeapYear(year) && month > 2 ? 366 : 365;
        limit += DaysInMonth(year, month == 1 ? 12 : month - 1);
    }
    return second - first > limit;
}
