#include "core/dates/DateTextParser.h"

#include "core/dates/DateNumbers.h"

namespace {

struct TNumber {
    int Value = 0;
    int Digits = 0;
};

void SkipBlanks(const QString& text, qsizetype& pos) {
    while (pos < text.size() && text[pos] == QLatin1Char(' '))
        ++pos;
}

// Reads one to four digits; false when there is no digit or more than four.
bool ReadNumber(const QString& text, qsizetype& pos, TNumber& number) {
    SkipBlanks(text, pos);
    number = {};
    while (pos < text.size() && text[pos] >= QLatin1Char('0') && text[pos] <= QLatin1Char('9')) {
        if (number.Digits == 4)
            return false;
        number.Value = number.Value * 10 + (text[pos].unicode() - '0');
        ++number.Digits;
        ++pos;
    }
    return number.Digits > 0;
}

bool ReadSeparator(const QString& text, qsizetype& pos, QChar separator) {
    const qsizetype start = pos;
    SkipBlanks(text, pos);
    if (separator == QLatin1Char(' '))
        return pos > start && pos < text.size();
    if (pos < text.size() && text[pos] == separator) {
        ++pos;
        return true;
    }
    return false;
}

int FullYear(const TNumber& year) {
    return year.Digits <= 2 ? ToggleYearDigits(year.Value) : year.Value;
}

} // namespace

TDateTextParser::TDateTextParser(const TRegionalSettings& settings) : Settings(settings) {}

TDateTextParser::TOrder TDateTextParser::OrderOf(const QString& shortDateFormat) {
    for (const QChar c : shortDateFormat) {
        switch (c.toUpper().unicode()) {
        case 'D':
            return TOrder::DayMonthYear;
        case 'M':
            return TOrder::MonthDayYear;
        case 'Y':
            return TOrder::YearMonthDay;
        default:
            break;
        }
    }
    return TOrder::DayMonthYear;
}

TDateTextParser::TResult TDateTextParser::Parse(const QString& text, int currentYear) const {
    TResult result;
    const QChar separator = Settings.DateSeparator;
    qsizetype pos = 0;
    TNumber numbers[3];
    int count = 0;
    if (!ReadNumber(text, pos, numbers[0]))
        return result;
    count = 1;
    if (!ReadSeparator(text, pos, separator) || !ReadNumber(text, pos, numbers[1]))
        return result;
    count = 2;
    // A separator after the second number must be followed by a third one.
    const qsizetype afterSecond = pos;
    if (ReadSeparator(text, pos, separator)) {
        if (!ReadNumber(text, pos, numbers[2]))
            return result;
        count = 3;
    } else {
        pos = afterSecond;
    }
    SkipBlanks(text, pos);
    const bool complete = pos == text.size();

    const TOrder order = OrderOf(Settings.ShortDateFormat);
    if (count == 2) {
        // Day and month alone (month first for the orders that put the month before the day).
        result.Year = currentYear;
        if (order == TOrder::DayMonthYear) {
            result.Day = numbers[0].Value;
            result.Month = numbers[1].Value;
        } else {
            result.Month = numbers[0].Value;
            result.Day = numbers[1].Value;
        }
    } else {
        switch (order) {
        case TOrder::DayMonthYear:
            result.Day = numbers[0].Value;
            result.Month = numbers[1].Value;
            result.Year = FullYear(numbers[2]);
            break;
        case TOrder::MonthDayYear:
            result.Month = numbers[0].Value;
            result.Day = numbers[1].Value;
            result.Year = FullYear(numbers[2]);
            break;
        case TOrder::YearMonthDay:
            result.Year = FullYear(numbers[0]);
            result.Month = numbers[1].Value;
            result.Day = numbers[2].Value;
            break;
        }
    }
    if (!complete)
        return TResult{};
    result.Valid = result.Year >= 1 && result.Year <= 9999 && result.Month >= 1 && result.Month <= 12 &&
                   result.Day >= 1 && result.Day <= DaysInMonth(result.Year, result.Month);
    return result;
}
