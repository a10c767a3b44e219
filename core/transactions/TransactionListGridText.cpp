#include "core/transactions/TransactionListGridText.h"

#include "core/common/RegionalSettings.h"
#include "core/services/Services.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

QString GridFixedText(double value, int decimals) {
    const QString digits = GridDigits(value, decimals, false);
    return IsNegativeAtDecimals(value, decimals) ? QLatin1Char('-') + digits : digits;
}

QString GridDigits(double value, int decimals, bool grouped) {
    QString text = QString::number(std::fabs(value), 'f', decimals);
    if (!grouped)
        return text;
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    for (qsizetype at = (point < 0 ? text.size() : point) - 3; at > 0; at -= 3)
        text.insert(at, QLatin1Char(','));
    return text;
}

bool IsNegativeAtDecimals(double value, int decimals) {
    if (!(value < 0.0))
        return false;
    const QString digits = QString::number(-value, 'f', decimals);
    return std::any_of(digits.begin(), digits.end(),
                       [](QChar c) { return c.isDigit() && c != QLatin1Char('0'); });
}

QString GridMoneyText(double amount, QChar symbol) {
    const QString digits = GridDigits(amount, 2, true);
    if (IsNegativeAtDecimals(amount, 2))
        return symbol + QStringLiteral(" (") + digits + QLatin1Char(')');
    return symbol + QLatin1Char(' ') + digits;
}

bool ReadGridNumber(const QString& text, double& value) {
    bool ok = false;
    const double read = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

bool ReadGridAmount(const QString& text, double& value) {
    const QString typed = text.trimmed();
    if (!typed.contains(QLatin1Char(',')))
        return ReadGridNumber(typed, value);
    // Only the grouping the grid writes: one to three digits, then groups of exactly three.
    static const QRegularExpression grouped(QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    if (!grouped.match(typed).hasMatch())
        return false;
    return ReadGridNumber(QString(typed).remove(QLatin1Char(',')), value);
}

QString DayMaskText(int day) {
    const QChar separator = TServices::Regional().DateSeparator;
    const QString dayText = day == 0 ? QStringLiteral("  ") : QString::asprintf("%.2d", day);
    return dayText + separator + QLatin1Char('m') + separator + QLatin1Char('y');
}

int LeadingDay(const QString& text) {
    bool ok = false;
    const int day = text.left(2).trimmed().toInt(&ok);
    return ok ? day : 1;
}
