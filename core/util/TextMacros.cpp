#include "core/util/TextMacros.h"
#include "core/services/Services.h"

#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/util/TextReplace.h"

QString ExpandTitleMacros(const QString& title, int year, double periodStart, double periodEnd) {
    const TRegionalSettings& regional = TServices::Regional();
    QString result = title;
    const auto expand = [&result](const char* macro, const QString& value) {
        result.replace(QLatin1String(macro), value, Qt::CaseInsensitive);
    };
    if (periodStart != 0.0) {
        expand("<PSD-S>", DateNumToStr(true, periodStart));
        expand("<PSD-L>", FormatDateNum(regional.ReportDateFormat, periodStart));
    }
    if (periodEnd != 0.0) {
        expand("<PED-S>", DateNumToStr(true, periodEnd));
        expand("<PED-L>", FormatDateNum(regional.ReportDateFormat, periodEnd));
    }
    if (result.contains(QLatin1String("<SYS-DT>"), Qt::CaseInsensitive))
        expand("<SYS-DT>", FormatDateNum(regional.LongTimeFormat, NowNum()));
    expand("<Y>", QString::number(year));
    expand("<Y-1>", QString::number(year - 1));
    expand("<YL>", QStringLiteral("For the %1 financial year").arg(year));
    expand("<YL-1>", QStringLiteral("For the %1 financial year").arg(year - 1));
    return result;
}

void ExpandMonthMacros(const QString& text, QString& result, double date) {
    result = text;
    if (date == 0.0)
        return;
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDateNum(date, year, month, day);
    if (month < 1 || month > 12)
        return;
    const auto& names = TServices::Regional().ShortMonthNames;
    const int before = month == 1 ? 12 : month - 1;
    const int after = month == 12 ? 1 : month + 1;
    ReplaceTextList({QStringLiteral("<M>")}, names[month - 1], result, true, result);
    ReplaceTextList({QStringLiteral("<M-1>")}, names[before - 1], result, true, result);
    ReplaceTextList({QStringLiteral("<M+1>")}, names[after - 1], result, true, result);
}
