// Feeds arbitrary text to the date-text reader and arbitrary format strings to the date
// formatter. The first byte picks the date separator, the field order and the period arguments;
// the rest, split at the first newline, is a format string and a date text (both UTF-8).
#include "core/common/Exceptions.h"
#include "core/dates/DateFormatter.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const char* const orders[] = {"DD/MM/YY", "MM/DD/YYYY", "yyyy/mm/dd", "", "\"x\" d"};
    TRegionalSettings& settings = TServices::Regional();
    settings.Reset();
    settings.DateSeparator = QLatin1Char("/-. 1"[data[0] % 5]);
    settings.ShortDateFormat = QString::fromLatin1(orders[(data[0] / 5) % 5]);
    const QByteArray rest = fuzz::InputBytes(data + 1, size - 1);
    const qsizetype newline = rest.indexOf('\n');
    const QString format = QString::fromUtf8(newline < 0 ? rest : rest.left(newline));
    const QString text = newline < 0 ? format : QString::fromUtf8(rest.mid(newline + 1));

    // Reading never raises and gives -1 or a calendar day; with four-digit years and a separator
    // that is no digit, a day written in the short format reads back as the same day.
    const bool roundTrips =
        settings.ShortDateFormat.contains("yyyy", Qt::CaseInsensitive) && !settings.DateSeparator.isDigit();
    for (bool lenient : {false, true}) {
        const double n = StrToDateNum(text, lenient);
        fuzz::Check(n == -1 || (IsCalendarDateNum(n) &&
                                (!roundTrips || StrToDateNum(DateNumToStr(true, n), false) == n)));
    }
    // Formatting handles every value, days that exist or not.
    double raw = 0;
    if (rest.size() >= qsizetype(sizeof raw))
        std::memcpy(&raw, rest.constData() + rest.size() - sizeof raw, sizeof raw);
    for (double value : {raw, 0.0, -1.0, 693594.75, MaxDateNum + 0.5})
        (void)TDateFormatter(settings).Format(format, value);
    // Period checks of whatever was read: arguments out of range raise, nothing else does.
    double date = raw;
    try {
        (void)ParseDateInPeriods(text, date, 2006, data[0] % 13, (data[0] >> 4) % 14, 1);
        (void)FitDateToPeriod(1, 2006, data[0] % 13, data[0] % 15, (data[0] >> 4) % 14, raw);
    } catch (const EQuilvaneError&) {
    }
    return 0;
}
