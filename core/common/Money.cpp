#include "core/common/Money.h"

#include <cmath>

double RoundToCent(double amount) {
    const double cents = amount * 100.0;
    if (!std::isfinite(cents))
        return amount;
    return std::nearbyint(cents) / 100.0;
}

bool SameMoney(double a, double b) {
    return std::fabs(a - b) <= MoneyTolerance;
}

bool IsZeroMoney(double amount) {
    return std::fabs(amount) <= MoneyTolerance;
}

double LocalAmount(double amount, double rate) {
    return rate > 0.0 ? RoundToCent(amount / rate) : amount;
}

void TMoneyTotal::Add(double amount) {
    const double next = Sum + amount;
    if (std::fabs(Sum) >= std::fabs(amount))
        Compensation += (Sum - next) + amount;
    else
        Compensation += (amount - next) + Sum;
    Sum = next;
}
