#include "core/util/Numbers.h"
#include "core/common/Money.h"

#include <QString>

#include <cmath>
#include <limits>

double RoundHalfEven(double value, int decimals) {
    if (!std::isfinite(value))
        return value;
    if (decimals == 0)
        return std::nearbyint(value);
    const double scale = IntPower(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled))
        return value;
    return std::nearbyint(scaled) / scale;
}

double IntPower(double base, int n) {
    long long exponent = n;
    const bool negative = exponent < 0;
    if (negative)
        exponent = -exponent;
    double result = 1.0;
    double square = base;
    while (exponent > 0) {
        if (exponent & 1)
            result *= square;
        square *= square;
        exponent >>= 1;
    }
    if (!negative)
        return result;
    if (result == 0.0)
        return std::numeric_limits<double>::infinity();
    return 1.0 / result;
}

double Log10(double x) {
    return std::log10(x);
}

bool AmountMatchesCriterion(double amount, double target, int criterion) {
    static constexpr double Limits[] = {10.0, 100.0, 1000.0, 5000.0, 10000.0};
    switch (criterion) {
    case 0:
        return true;
    case 1:
        return SameMoney(amount, target);
    case 2:
        return amount > target + MoneyTolerance;
    case 3:
        return amount < target - MoneyTolerance;
    default:
        if (criterion >= 4 && criterion <= 8)
            return std::fabs(amount - target) <= Limits[criterion - 4] + MoneyTolerance;
        return false;
    }
}

bool AmountDigitsMatch(double a, double b, int n) {
    QString first = QString::number(std::fabs(a), 'f', 2);
    QString second = QString::number(std::fabs(b), 'f', 2);
    if (first.size() > second.size())
        first.remove(0, first.size() - second.size());
    else if (second.size() > first.size())
        second.remove(0, second.size() - first.size());
    int differ = 0;
    int agree = 0;
    for (qsizetype i = 0; i < first.size(); ++i) {
        if (first[i] == second[i])
            ++agree;
        else
            ++differ;
    }
    return differ <= n && agree >= n;
}

double RoundUpToScale(double x) {
    if (x == 0.0 || !std::isfinite(x))
        return x;
    if (x < 0.0)
        return -RoundUpToScale(-x);
    const double power = IntPower(10.0, static_cast<int>(std::trunc(std::log10(x))) + 1);
    if (!std::isfinite(power) || power == 0.0)
        return x;
    const double step = power / 10.0;
    double value = RoundHalfEven(x / power) * power;
    while (value < x)
        value += step;
    return value;
}
