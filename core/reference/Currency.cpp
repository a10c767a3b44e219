#include "core/reference/Currency.h"

#include "core/common/Exceptions.h"

#include <cmath>
#include <utility>

TCurrency::TCurrency(QString description, int number, double rate)
    : Description(std::move(description)), Number(number), Rate(rate) {}

TCurrency TCurrency::FromValue(const QString& value) {
    const QString description = value.section(QLatin1Char(','), 0, 0);
    const QString numberText = value.section(QLatin1Char(','), 1, 1).trimmed();
    QString rateText = value.section(QLatin1Char(','), 2).trimmed();

    bool isInteger = false;
    int number = numberText.toInt(&isInteger);
    if (!isInteger)
        number = 0;

    // Stored numbers are locale-independent: "." is the decimal point whatever the workstation's
    // locale. A rate written with a lone "," (a file edited on a European workstation) is read
    // with that comma as the point.
    if (!rateText.contains(QLatin1Char('.')) && rateText.count(QLatin1Char(',')) == 1)
        rateText.replace(QLatin1Char(','), QLatin1Char('.'));
    bool isNumber = false;
    const double rate = rateText.toDouble(&isNumber); // QString::toDouble reads the C locale
    if (!isNumber || !std::isfinite(rate))
        throw EQuilvaneError(QStringLiteral("'%1' is not a valid floating point value").arg(rateText));
    return TCurrency(description, number, rate);
}
