#include "controls/dates/DateEditRules.h"

#include "core/common/RegionalSettings.h"
#include "core/dates/DateTextParser.h"
#include "core/services/Services.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

const QDate DayZero(1899, 12, 30);

// Characters a Qt input mask would read as instructions rather than as literals.
bool IsMaskInstruction(QChar c) {
    static const QString instructions = QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\;");
    return instructions.contains(c);
}

QString RightJustified(const QString& text, int width) {
    return text.size() >= width ? text.left(width) : text.rightJustified(width, QLatin1Char(' '));
}

} // namespace

TDateLocale TDateLocale::Program() {
    const TRegionalSettings& settings = TServices::Regional();
    TDateLocale locale;
    locale.ShortDateFormat = settings.ShortDateFormat;
    locale.DateSeparator = settings.DateSeparator.isNull() ? QLatin1Char('/') : settings.DateSeparator;
    locale.FirstDayOfWeek = SystemFirstDayOfWeek();
    locale.ShortMonthNames = settings.ShortMonthNames;
    locale.LongMonthNames = settings.LongMonthNames;
    locale.ShortDayNames = settings.ShortDayNames;
    return locale;
}

int TDateLocale::SystemFirstDayOfWeek() {
    // Qt counts Monday as 1 and Sunday as 7.
    return static_cast<int>(QLocale::system().firstDayOfWeek()) % 7;
}

double DateOf(double value) {
    if (value == NullDate)
        return NullDate;
    return std::trunc(value >= 0 ? value + 1e-11 : value - 1e-11);
}

double DateFromQDate(const QDate& date) {
    return date.isValid() ? static_cast<double>(DayZero.daysTo(date)) : NullDate;
}

QDate QDateFromDate(double value) {
    if (value == NullDate || !std::isfinite(value))
        return {};
    return DayZero.addDays(static_cast<qint64>(DateOf(value)));
}

std::optional<QDate> OptionalQDate(double value) {
    const QDate date = QDateFromDate(value);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

double TodayDate() {
    return DateFromQDate(TServices::Clock().Now().date());
}

TDateMask::TDateMask(const TDateLocale& locale) : DateLocale(locale) {
    const QString& format = locale.ShortDateFormat;
    qsizetype i = 0;
    auto addLiteral = [this](QChar c) {
        if (IsMaskInstruction(c))
            Mask += QLatin1Char('\\');
        Mask += c;
        Empty += c;
    };
    while (i < format.size()) {
        const QChar c = format[i];
        const char16_t letter = c.toUpper().unicode();
        if (letter == u'D' || letter == u'M' || letter == u'Y') {
            qsizetype end = i;
            while (end < format.size() && format[end].toUpper().unicode() == letter)
                ++end;
            TDateField field;
            field.Kind = letter == u'D'   ? TDateField::Day
                         : letter == u'M' ? TDateField::Month
                                          : TDateField::Year;
            field.Letters = static_cast<int>(end - i);
            field.Position = static_cast<int>(Empty.size());
            const bool longRun = field.Letters >= 3;
            const QString positions = field.Kind == TDateField::Year
                                          ? (longRun ? QStringLiteral("0000") : QStringLiteral("00"))
                                          : (longRun ? QStringLiteral("aaa") : QStringLiteral("00"));
            field.Width = static_cast<int>(positions.size());
            Mask += positions;
            Empty += QString(field.Width, QLatin1Char(' '));
            FieldList.append(field);
            i = end;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype end = format.indexOf(c, i + 1);
            if (end < 0)
                end = format.size();
            for (qsizetype k = i + 1; k < end; ++k)
                addLiteral(format[k]);
            i = end + 1;
        } else {
            addLiteral(c == QLatin1Char('/') ? locale.DateSeparator : c);
            ++i;
        }
    }
}

QString TDateMask::Format(double value) const {
    const QDate date = QDateFromDate(value);
    if (!date.isValid())
        return Empty;
    QString text = Empty;
    for (const TDateField& field : FieldList) {
        QString part;
        switch (field.Kind) {
        case TDateField::Day:
            part = field.Named()
                       ? DateLocale.ShortDayNames[date.dayOfWeek() % 7]
                       : QString::number(date.day()).rightJustified(field.Letters, QLatin1Char('0'));
            break;
        case TDateField::Month:
            part = field.Named()
                       ? DateLocale.ShortMonthNames[date.month() - 1]
                       : QString::number(date.month()).rightJustified(field.Letters, QLatin1Char('0'));
            break;
        case TDateField::Year:
            part = field.Width == 4 ? QString::number(date.year()).rightJustified(4, QLatin1Char('0'))
                                    : QString::number(date.year() % 100).rightJustified(2, QLatin1Char('0'));
            break;
        }
        text.replace(field.Position, field.Width, RightJustified(part, field.Width));
    }
    return text;
}

bool TDateMask::HasBlankField(const QString& text) const {
    if (text.size() != Empty.size())
        return false;
    // Only a text laid out as the mask has fields: its literals stand where the mask's do.
    QString literals = text;
    for (const TDateField& field : FieldList)
        literals.replace(field.Position, field.Width, QString(field.Width, QLatin1Char(' ')));
    if (literals != Empty)
        return false;
    for (const TDateField& field : FieldList) {
        if (text.mid(field.Position, field.Width).trimmed().isEmpty())
            return true;
    }
    return false;
}

double TextToDate(const QString& text, const TDateLocale& locale, int currentYear) {
    const TDateMask mask(locale);
    if (mask.HasBlankField(text))
        return NullDate;
    // The separator and every other literal of the format split the fields, as blanks do.
    QString spaced = text;
    spaced.replace(QLatin1Char('.'), QLatin1Char(' '));
    spaced.replace(locale.DateSeparator, QLatin1Char(' '));
    for (const QChar literal : mask.EmptyText())
        spaced.replace(literal, QLatin1Char(' '));
    const QStringList tokens = spaced.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.size() < 2 || tokens.size() > 3)
        return NullDate;
    QStringList numbers;
    for (const QString& token : tokens) {
        if (token.front().isDigit()) {
            numbers.append(token);
            continue;
        }
        int month = 0;
        for (int m = 0; m < 12 && month == 0; ++m) {
            if (token.compare(locale.ShortMonthNames[m], Qt::CaseInsensitive) == 0 ||
                token.compare(locale.LongMonthNames[m], Qt::CaseInsensitive) == 0)
                month = m + 1;
        }
        if (month == 0)
            return NullDate;
        numbers.append(QString::number(month));
    }
    TRegionalSettings settings;
    settings.ShortDateFormat = locale.ShortDateFormat;
    settings.DateSeparator = QLatin1Char('/');
    const TDateTextParser::TResult read =
        TDateTextParser(settings).Parse(numbers.join(QLatin1Char('/')), currentYear);
    return read.Valid ? DateFromQDate(QDate(read.Year, read.Month, read.Day)) : NullDate;
}

TDateExit DateExit(const QString& text, bool modified, const TDateMask& mask, int currentYear) {
    TDateExit verdict;
    const bool blank = std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
    if (blank)
        return verdict;
    if (mask.HasBlankField(text)) {
        verdict.KeepFocus = modified;
        return verdict;
    }
    verdict.Date = TextToDate(text, mask.Locale(), currentYear);
    return verdict;
}
