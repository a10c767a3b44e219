#include "core/transactions/MoneyTotal.h"

#include "core/util/Numbers.h"

#include <cmath>

void TMoneyTotal::Add(double amount) {
    const double next = Sum + amount;
    if (std::fabs(Sum) >= std::fabs(amount))
        Compensation += (Sum - next) + amount;
    else
        Compensation += (amount - next) + Sum;
    Sum = next;
}

bool SameMoney(double a, double b) {
    return RoundHalfEven(a * 100.0) == RoundHalfEven(b * 100.0);
}
