#pragma once

#include "core/accounts/AccountCode.h"
#include "core/common/Money.h"

#include <algorithm>
#include <array>
#include <cmath>

// The amounts of one bank account of a page, per day of the page's period, while its contra
// lines are made. Day 1 is the period's first day; a date outside the 366 days counts on the
// nearest day that is inside, so nothing is lost.
struct TContraAccountInfo {
    static constexpr int Days = 366;

    // The day (1 to Days) of a date in a period starting on startDate.
    static int DayOf(double date, double startDate) {
        const double day = std::floor(date - startDate) + 1.0;
        if (!(day >= 1.0))
            return 1;
        return day >= Days ? Days : static_cast<int>(day);
    }
    void Add(double date, double startDate, double amount) {
        DayTotals[static_cast<size_t>(DayOf(date, startDate) - 1)].Add(amount);
    }
    // The sum over the days first to last (1 to Days).
    double Total(int first, int last) const {
        TMoneyTotal total;
        for (int day = std::max(first, 1); day <= std::min(last, Days); ++day)
            total.Add(DayTotals[static_cast<size_t>(day - 1)].Value());
        return total.Value();
    }

    std::array<TMoneyTotal, Days> DayTotals{};
    TAccountCode BankCode;
};
