// Feeds arbitrary text to the date-text reader and arbitrary format strings to the date
// formatter. Input layout: the first byte picks the date separator and field order; the rest is
// split at the first newline into a format string and a date text (both UTF-8).
#include "core/dates/DateFormatter.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/DateTextParser.h"
#include "core/dates/Periods.h"
#include "core/common/RegionalSettings.h"
#include "core/common/Exceptions.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const char separators[] = {'/', '-', '.', ' ', '1'};
    static const char* const orders[] = {"DD/MM/YY", "MM/DD/YYYY", "yyyy/mm/dd", "", "\"x\" d"};
    TRegionalSettings& settings = TRegionalSettings::Program();
    settings.Reset();
    settings.DateSeparator = QLatin1Char(separators[data[0] % 5]);
    settings.ShortDateFormat = QString::fromLatin1(orders[(data[0] / 5) % 5]);

    const char* rest = reinterpret_cast<const char*>(data + 1);
    const std::size_t restSize = size - 1;
    const void* newline = std::memchr(rest, '\n', restSize);
    const std::size_t formatSize = newline ? static_cast<const char*>(newline) - rest : restSize;
    const QString format = QString::fromUtf8(rest, static_cast<qsizetype>(formatSize));
    const QString text =
        newline ? QString::fromUtf8(rest + formatSize + 1, static_cast<qsizetype>(restSize - formatSize - 1))
                : format;

    // Reading never raises and gives -1 or a calendar day; a day read back from the short format
    // (when it keeps four-digit years and a separator that is no digit) is the same day.
    const bool fourDigitYears = settings.ShortDateFormat.contains(QLatin1String("yyyy"), Qt::CaseInsensitive);
    for (bool lenient : {false, true}) {
        const double n = StrToDateNum(text, lenient);
        if (n != -1 && !IsCalendarDateNum(n))
            __builtin_trap();
        if (n != -1 && fourDigitYears && !settings.DateSeparator.isDigit() &&
            StrToDateNum(DateNumToStr(true, n), false) != n)
            __builtin_trap();
    }
    const TDateTextParser::TResult read = TDateTextParser(settings).Parse(text, 2006);
    if (read.Valid)
        (void)EncodeDateNum(read.Year, read.Month, read.Day);

    // Formatting handles every value, days that exist or not.
    double raw = 0;
    if (restSize >= sizeof raw)
        std::memcpy(&raw, rest + restSize - sizeof raw, sizeof raw);
    const TDateFormatter formatter(settings);
    for (double value : {raw, 0.0, -1.0, 693594.75, MaxDateNum + 0.5})
        (void)formatter.Format(format, value);
    (void)DateNumToStr(true, raw);

    // Period checks of whatever was read: arguments out of range raise, nothing else does.
    const int periods = data[0] % 13;
    const int endMonth = (data[0] >> 4) % 14;
    double date = raw;
    try {
        (void)ParseDateInPeriods(text, date, 2006, periods, endMonth, 1);
        (void)FitDateToPeriod(1, 2006, periods, data[0] % 15, endMonth, raw);
    } catch (const EQuilvaneError&) {
    }
    return 0;
}
