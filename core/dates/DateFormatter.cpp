#include "core/dates/DateFormatter.h"

#include "core/dates/DateNumbers.h"

#include <cmath>

namespace {

// Nesting of the formats that insert other formats ("c", "ddddd", "t" ...), as deep as the
// classic formatter goes; it also stops a format that names itself.
constexpr int MaxLevel = 2;

QChar Upper(QChar c) {
    return c.toUpper();
}

// Number of times the character at pos repeats (in any case) from pos on.
int RunLength(const QString& format, qsizetype pos) {
    const QChar c = Upper(format[pos]);
    qsizetype end = pos + 1;
    while (end < format.size() && Upper(format[end]) == c)
        ++end;
    return static_cast<int>(end - pos);
}

bool StartsWithNoCase(const QString& format, qsizetype pos, QLatin1StringView word) {
    return QStringView(format).mid(pos).startsWith(word, Qt::CaseInsensitive);
}

// True when the format, from pos on and outside quotes, asks for a 12-hour clock.
bool HasHalfDayMarker(const QString& format, qsizetype pos) {
    while (pos < format.size()) {
        const QChar c = format[pos];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype close = format.indexOf(c, pos + 1);
            if (close < 0)
                return false;
            pos = close + 1;
            continue;
        }
        if (Upper(c) == QLatin1Char('A') && (StartsWithNoCase(format, pos, QLatin1StringView("am/pm")) ||
                                             StartsWithNoCase(format, pos, QLatin1StringView("a/p")) ||
                                             StartsWithNoCase(format, pos, QLatin1StringView("ampm"))))
            return true;
        ++pos;
    }
    return false;
}

QString Number(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0'));
}

} // namespace

TDateFormatter::TDateFormatter(const TRegionalSettings& settings) : Settings(settings) {}

QString TDateFormatter::Format(const QString& format, double dateNum) const {
    TParts parts;
    DecodeDateNum(dateNum, parts.Year, parts.Month, parts.Day);
    if (parts.Year != 0) {
        // 1 January 0001 was a Monday.
        parts.DayOfWeek = static_cast<int>(static_cast<long long>(std::floor(dateNum)) % 7);
    }
    if (std::isfinite(dateNum)) {
        // The time of day is the fraction's size, as for the platform value, also below zero.
        const double fraction = std::fabs(dateNum - std::trunc(dateNum));
        long long ms = std::llround(fraction * 86400000.0);
        if (ms > 86399999)
            ms = 86399999;
        parts.HasTime = ms != 0;
        parts.Hour = static_cast<int>(ms / 3600000);
        parts.Minute = static_cast<int>(ms / 60000 % 60);
        parts.Second = static_cast<int>(ms / 1000 % 60);
        parts.MilliSecond = static_cast<int>(ms % 1000);
    }
    QString out;
    Append(out, format.isEmpty() ? QStringLiteral("c") : format, parts, 0);
    return out;
}

void TDateFormatter::Append(QString& out, const QString& format, const TParts& parts, int level) const {
    if (level > MaxLevel)
        return;
    QChar lastLetter;
    bool twelveHourChecked = false;
    bool twelveHour = false;
    qsizetype pos = 0;
    while (pos < format.size()) {
        const QChar original = format[pos];
        QChar token = Upper(original);
        if (token.isLetter() && token.unicode() < 128) {
            if (token == QLatin1Char('M') && lastLetter == QLatin1Char('H'))
                token = QLatin1Char('N');
            lastLetter = token;
        }
        switch (token.unicode()) {
        case '"':
        case '\'': {
            qsizetype close = format.indexOf(original, pos + 1);
            if (close < 0)
                close = format.size();
            out += QStringView(format).mid(pos + 1, close - pos - 1);
            pos = close + 1;
            continue;
        }
        case 'A': {
            const bool pm = parts.Hour >= 12;
            if (StartsWithNoCase(format, pos, QLatin1StringView("am/pm"))) {
                // The case of the marker follows the case of the format's letters.
                const QString text = pm ? format.mid(pos + 3, 2) : format.mid(pos, 2);
                out += text;
                pos += 5;
            } else if (StartsWithNoCase(format, pos, QLatin1StringView("a/p"))) {
                out += pm ? format[pos + 2] : format[pos];
                pos += 3;
            } else if (StartsWithNoCase(format, pos, QLatin1StringView("ampm"))) {
                out += pm ? Settings.TimePMString : Settings.TimeAMString;
                pos += 4;
            } else {
                out += original;
                ++pos;
            }
            continue;
        }
        case 'C':
            Append(out, Settings.ShortDateFormat, parts, level + 1);
            if (parts.HasTime) {
                out += QLatin1Char(' ');
                Append(out, Settings.LongTimeFormat, parts, level + 1);
            }
            ++pos;
            continue;
        default:
            break;
        }

        const int count = token.isLetter() ? RunLength(format, pos) : 1;
        switch (token.unicode()) {
        case 'D':
            if (count <= 2)
                out += Number(parts.Day, count);
            else if (count <= 4) {
                if (parts.Year != 0) // a value that names no day has no day name
                    out += count == 3 ? Settings.ShortDayNames[parts.DayOfWeek]
                                      : Settings.LongDayNames[parts.DayOfWeek];
            } else
                Append(out, count == 5 ? Settings.ShortDateFormat : Settings.LongDateFormat, parts,
                       level + 1);
            break;
        case 'M':
            if (count <= 2)
                out += Number(parts.Month, count);
            else if (parts.Month != 0)
                out += count == 3 ? Settings.ShortMonthNames[parts.Month - 1]
                                  : Settings.LongMonthNames[parts.Month - 1];
            break;
        case 'Y':
            out += count <= 2 ? Number(parts.Year % 100, 2) : Number(parts.Year, 4);
            break;
        case 'H': {
            if (!twelveHourChecked) {
                twelveHour = HasHalfDayMarker(format, pos);
                twelveHourChecked = true;
            }
            int hour = parts.Hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += Number(hour, count >= 2 ? 2 : 1);
            break;
        }
        case 'N':
            out += Number(parts.Minute, count >= 2 ? 2 : 1);
            break;
        case 'S':
            out += Number(parts.Second, count >= 2 ? 2 : 1);
            break;
        case 'Z':
            out += Number(parts.MilliSecond, count >= 2 ? 3 : 1);
            break;
        case 'T':
            Append(out, count == 1 ? Settings.ShortTimeFormat : Settings.LongTimeFormat, parts, level + 1);
            break;
        case '/':
            out += Settings.DateSeparator;
            break;
        case ':':
            out += Settings.TimeSeparator;
            break;
        default:
            // Any other character, letters included, stands for itself.
            out += QStringView(format).mid(pos, count);
            break;
        }
        pos += count;
    }
}
