#include "core/dates/Periods.h"
#include "core/common/Exceptions.h"
#include "tests/core/DatesTestSupport.h"

#include <gtest/gtest.h>

class PeriodsTest : public TDatesFixture {};

TEST_F(PeriodsTest, PeriodsOfEveryKindOfYear) {
    // Periods a year, year-end month, period, financial year; first and last month of the period
    // with their calendar years (the last day comes from the month's length).
    const int cases[][8] = {{12, 6, 1, 2006, 2005, 7, 2005, 7},     {12, 6, 7, 2006, 2006, 1, 2006, 1},
                            {12, 6, 8, 2008, 2008, 2, 2008, 2},     {12, 6, 12, 2006, 2006, 6, 2006, 6},
                            {4, 6, 2, 2006, 2005, 10, 2005, 12},    {4, 6, 4, 2006, 2006, 4, 2006, 6},
                            {2, 6, 2, 2006, 2006, 1, 2006, 6},      {1, 6, 1, 2006, 2005, 7, 2006, 6},
                            {4, 11, 1, 2006, 2005, 12, 2006, 2},    {12, 12, 1, 2006, 2006, 1, 2006, 1},
                            {12, 12, 12, 2006, 2006, 12, 2006, 12}, {4, 12, 4, 2006, 2006, 10, 2006, 12},
                            {1, 12, 1, 2006, 2006, 1, 2006, 12},    {12, 1, 1, 2006, 2005, 2, 2005, 2},
                            {12, 1, 12, 2006, 2006, 1, 2006, 1},    {6, 12, 6, 2006, 2006, 11, 2006, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c));
        EXPECT_EQ(PeriodStartDate(c[2], c[3], c[0], c[1]), D(c[4], c[5], 1));
        EXPECT_EQ(PeriodEndDate(c[2], c[3], c[0], c[1]), MonthEndDateNum(c[6], c[7]));
    }
}

TEST_F(PeriodsTest, PeriodsTileEveryYearAndDatesFindTheirYear) {
    for (int endMonth = 1; endMonth <= 12; ++endMonth) {
        for (int periods : {1, 2, 3, 4, 6, 12}) {
            double expectedStart = PeriodEndDate(periods, 2005, periods, endMonth) + 1;
            for (int period = 1; period <= periods; ++period) {
                const double start = PeriodStartDate(period, 2006, periods, endMonth);
                const double end = PeriodEndDate(period, 2006, periods, endMonth);
                int year = 0, endYear = 0;
                ASSERT_EQ(start, expectedStart) << endMonth << " " << periods << " " << period;
                ASSERT_EQ(PeriodOfDate(periods, endMonth, year, start) * 10000 + year, period * 10000 + 2006);
                ASSERT_EQ(PeriodOfDate(periods, endMonth, endYear, end + 0.9) * 10000 + endYear,
                          period * 10000 + 2006);
                expectedStart = end + 1;
            }
        }
    }
}

TEST_F(PeriodsTest, ArgumentsOutOfRangeRaiseInsteadOfMakingMonthThirteen) {
    // Period (or month), periods a year, year-end month.
    const int bad[][3] = {{13, 12, 6}, {0, 12, 6}, {5, 4, 6}, {1, 5, 6}, {1, 0, 6}, {1, 12, 0}, {1, 12, 13}};
    for (const auto& b : bad) {
        SCOPED_TRACE(testing::PrintToString(b));
        EXPECT_THROW(PeriodStartDate(b[0], 2006, b[1], b[2]), EQuilvaneError);
        EXPECT_THROW(PeriodEndDate(b[0], 2006, b[1], b[2]), EQuilvaneError);
    }
    for (const auto& b : {bad[0], bad[1], bad[3], bad[5]})
        EXPECT_THROW(PeriodOfMonth(b[0], b[1], b[2]), EQuilvaneError) << b[0] << " " << b[1] << " " << b[2];
    int year = 2006;
    double date = D(2006, 1, 1);
    EXPECT_THROW(PeriodOfDate(12, 6, year, -1), EQuilvaneError);
    EXPECT_THROW(CheckDateInPeriods(date, 2006, 13, true, false, 12, 6), EQuilvaneError);
    EXPECT_EQ(date, D(2006, 1, 1));
}

TEST_F(PeriodsTest, MonthsAndTheirNames) {
    const int offsets[][3] = {{11, 3, 2}, {12, 0, 12}, {6, 24, 6}, {1, -1, 12}, {3, -14, 1}, {12, 1, 1}};
    for (const auto& c : offsets)
        EXPECT_EQ(OffsetMonth(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    const std::tuple<int, int, int, const char*> names[] = {
        {1, 12, 6, "Jul 2005"},   {1, 4, 6, "Jul 2005 - Sep 2005"},  {2, 2, 6, "Jan 2006 - Jun 2006"},
        {12, 12, 12, "Dec 2006"}, {1, 4, 11, "Dec 2005 - Feb 2006"}, {1, 1, 12, "Jan 2006 - Dec 2006"}};
    for (const auto& [period, periods, endMonth, expected] : names) {
        QString text;
        FormatPeriodMonths(period, periods, 2006, text, endMonth);
        EXPECT_EQ(text, expected);
    }
}

TEST_F(PeriodsTest, WeeksAndDaysOfTheFinancialYear) {
    // Year, year-end month, day in the year; its week, days into the year; that week's last day.
    const int cases[][9] = {
        {2006, 6, 2005, 7, 1, 1, 0, 7, 7},         {2006, 6, 2005, 7, 8, 2, 7, 7, 14},
        {2006, 6, 2006, 6, 29, 52, 363, 6, 29},    {2006, 6, 2006, 6, 30, 53, 364, 6, 30},
        {2008, 12, 2008, 12, 29, 52, 363, 12, 29}, {2008, 12, 2008, 12, 31, 53, 365, 12, 31}};
    for (const auto& c : cases) {
        const double day = D(c[2], c[3], c[4]) + 0.5;
        EXPECT_EQ(WeekOfFinancialYear(c[0], c[1], day), c[5]) << c[3] << "-" << c[4];
        EXPECT_EQ(DaysIntoFinancialYear(c[0], c[1], day), c[6]) << c[3] << "-" << c[4];
        EXPECT_EQ(WeekEndDate(c[5], c[0], c[1]), D(c[7] > c[1] ? c[0] - 1 : c[0], c[7], c[8])) << c[5];
    }
    EXPECT_EQ(WeekOfFinancialYear(2006, 6, 1e300), WeekOfFinancialYear(2006, 6, 1e301)); // saturates
}

TEST_F(PeriodsTest, DatesCheckedAgainstAPeriod) {
    // Period 2 of a June year is August 2005 (period 1 of 1 the whole year): the date; the period
    // and periods a year; whether it moves to the end, to the start; whether it was inside; where
    // it ends up.
    const int cases[][10] = {{2005, 8, 1, 2, 12, 1, 1, 1, 8, 1},  {2005, 8, 31, 2, 12, 1, 1, 1, 8, 31},
                             {2005, 9, 1, 2, 12, 1, 0, 0, 8, 31}, {2005, 7, 31, 2, 12, 0, 1, 0, 8, 1},
                             {2005, 9, 1, 2, 12, 1, 1, 0, 8, 1},  {2005, 9, 1, 2, 12, 0, 0, 0, 9, 1},
                             {2006, 6, 30, 1, 1, 1, 0, 1, 6, 30}, {2006, 7, 1, 1, 1, 1, 0, 0, 6, 30},
                             {2005, 7, 1, 1, 1, 0, 1, 1, 7, 1},   {2005, 6, 30, 1, 1, 0, 1, 0, 7, 1}};
    for (const auto& c : cases) {
        double date = D(c[0], c[1], c[2]);
        EXPECT_EQ(CheckDateInPeriods(date, 2006, c[3], c[5] == 1, c[6] == 1, c[4], 6), c[7] == 1)
            << c[1] << "-" << c[2] << " " << c[3];
        EXPECT_EQ(date, D(c[8] > 6 ? 2005 : 2006, c[8], c[9])) << c[1] << "-" << c[2] << " " << c[3];
    }
    double date = -1; // the "not reconciled" marker lies outside every period
    EXPECT_FALSE(CheckDateInPeriods(date, 2006, 2, true, false, 12, 6));
    EXPECT_EQ(date, D(2005, 8, 31));
    EXPECT_TRUE(ParseDateInPeriods("15/08/05", date, 2006, 12, 6, 2));
    EXPECT_EQ(date, D(2005, 8, 15));
    EXPECT_FALSE(ParseDateInPeriods("15/09/05", date, 2006, 12, 6, 2));
    EXPECT_EQ(date, D(2005, 8, 31));
    EXPECT_FALSE(ParseDateInPeriods("xx", date, 2006, 4, 6, 1));
    EXPECT_EQ(date, D(2005, 9, 30));
}

TEST_F(PeriodsTest, FitDateToPeriodForPastedTransactions) {
    // Period, periods a year, page kind, year-end month, pasted date, result (financial year 2006).
    // Opening cheques and outstanding deposits (kinds 10, 11) keep their dates, opening balances
    // (kind 0) take 1 January; other pages keep the day of the month, capped at its length.
    const int cases[][10] = {
        {9, 12, 10, 6, 2004, 3, 31, 2004, 3, 31},    {9, 12, 11, 6, 2004, 3, 31, 2004, 3, 31},
        {9, 12, 1, 6, 2006, 3, 17, 2006, 3, 17},     {9, 12, 1, 6, 2005, 3, 31, 2006, 3, 31},
        {2, 12, 1, 6, 2006, 8, 20, 2005, 8, 20},     {3, 4, 1, 6, 2005, 2, 14, 2006, 2, 14},
        {8, 12, 1, 6, 2008, 2, 29, 2006, 2, 28},     {2, 12, 1, 6, 2005, 3, 15, 2005, 8, 31},
        {12, 12, 1, 12, 2005, 12, 24, 2006, 12, 24}, {1, 12, 0, 6, 2004, 8, 15, 2005, 7, 31},
        {1, 12, 0, 12, 2005, 8, 15, 2006, 1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(FitDateToPeriod(c[0], 2006, c[1], c[2], c[3], D(c[4], c[5], c[6])), D(c[7], c[8], c[9]))
            << c[0] << " " << c[2] << " " << c[4] << "-" << c[5] << "-" << c[6];
    EXPECT_EQ(FitDateToPeriod(2, 2006, 12, 10, 6, -1), -1);
    EXPECT_EQ(FitDateToPeriod(2, 2006, 12, 1, 6, -1), D(2005, 8, 31));
}
