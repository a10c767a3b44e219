#include "core/dates/Periods.h"
#include "core/dates/DateNumbers.h"
#include "core/common/RegionalSettings.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "tests/core/DatesTestSupport.h"

#include <gtest/gtest.h>

class PeriodsTest : public TDatesFixture {};

TEST_F(PeriodsTest, JuneYearOfTwelvePeriods) {
    EXPECT_EQ(PeriodStartDate(1, 2006, 12, 6), D(2005, 7, 1));
    EXPECT_EQ(PeriodEndDate(1, 2006, 12, 6), D(2005, 7, 31));
    EXPECT_EQ(PeriodStartDate(7, 2006, 12, 6), D(2006, 1, 1));
    EXPECT_EQ(PeriodEndDate(8, 2006, 12, 6), D(2006, 2, 28));
    EXPECT_EQ(PeriodEndDate(12, 2006, 12, 6), D(2006, 6, 30));
    EXPECT_EQ(PeriodOfMonth(1, 12, 6), 7);
    EXPECT_EQ(PeriodOfMonth(6, 12, 6), 12);
    EXPECT_EQ(PeriodOfMonth(7, 12, 6), 1);

    int year = 2006;
    EXPECT_EQ(PeriodStartMonth(1, 12, 6, year), 7);
    EXPECT_EQ(year, 2005);
    year = 2006;
    EXPECT_EQ(PeriodEndMonth(12, 12, 6, year), 6);
    EXPECT_EQ(year, 2006);
}

TEST_F(PeriodsTest, QuarterlyAndHalfYearlyPeriods) {
    EXPECT_EQ(PeriodStartDate(2, 2006, 4, 6), D(2005, 10, 1));
    EXPECT_EQ(PeriodEndDate(2, 2006, 4, 6), D(2005, 12, 31));
    EXPECT_EQ(PeriodEndDate(4, 2006, 4, 6), D(2006, 6, 30));
    EXPECT_EQ(PeriodOfMonth(12, 4, 6), 2);
    EXPECT_EQ(PeriodOfMonth(7, 4, 6), 1);
    EXPECT_EQ(PeriodOfMonth(6, 4, 6), 4);
    EXPECT_EQ(PeriodStartDate(2, 2006, 2, 6), D(2006, 1, 1));
    EXPECT_EQ(PeriodEndDate(1, 2006, 1, 6), D(2006, 6, 30));
    // A quarter that straddles the new calendar year (year ending in November).
    EXPECT_EQ(PeriodStartDate(1, 2006, 4, 11), D(2005, 12, 1));
    EXPECT_EQ(PeriodEndDate(1, 2006, 4, 11), D(2006, 2, 28));
}

TEST_F(PeriodsTest, CalendarYearFile) {
    EXPECT_EQ(PeriodStartDate(1, 2006, 12, 12), D(2006, 1, 1));
    EXPECT_EQ(PeriodEndDate(12, 2006, 12, 12), D(2006, 12, 31));
    int year = 2006;
    EXPECT_EQ(PeriodStartMonth(1, 12, 12, year), 1);
    EXPECT_EQ(year, 2006);
    for (int month = 1; month <= 12; ++month) {
        int dateYear = 0;
        EXPECT_EQ(PeriodOfDate(12, 12, dateYear, D(2006, month, 15)), month);
        EXPECT_EQ(dateYear, 2006);
    }
}

TEST_F(PeriodsTest, PeriodOfDateNamesTheFinancialYear) {
    int year = 0;
    EXPECT_EQ(PeriodOfDate(12, 6, year, D(2005, 12, 15)), 6);
    EXPECT_EQ(year, 2006);
    EXPECT_EQ(PeriodOfDate(12, 6, year, D(2006, 3, 15)), 9);
    EXPECT_EQ(year, 2006);
    EXPECT_EQ(PeriodOfDate(12, 6, year, D(2006, 6, 30) + 0.9), 12);
    EXPECT_EQ(year, 2006);
    EXPECT_EQ(PeriodOfDate(4, 6, year, D(2006, 7, 1)), 1);
    EXPECT_EQ(year, 2007);
}

TEST_F(PeriodsTest, PeriodsTileEveryKindOfYear) {
    for (int endMonth = 1; endMonth <= 12; ++endMonth) {
        for (int periods : {1, 2, 3, 4, 6, 12}) {
            double expectedStart = PeriodEndDate(periods, 2005, periods, endMonth) + 1;
            for (int period = 1; period <= periods; ++period) {
                const double start = PeriodStartDate(period, 2006, periods, endMonth);
                const double end = PeriodEndDate(period, 2006, periods, endMonth);
                ASSERT_EQ(start, expectedStart) << endMonth << " " << periods << " " << period;
                int year = 0;
                ASSERT_EQ(PeriodOfDate(periods, endMonth, year, start), period);
                ASSERT_EQ(year, 2006);
                ASSERT_EQ(PeriodOfDate(periods, endMonth, year, end), period);
                ASSERT_EQ(year, 2006);
                expectedStart = end + 1;
            }
            ASSERT_EQ(expectedStart, PeriodStartDate(1, 2007, periods, endMonth));
        }
    }
}

TEST_F(PeriodsTest, ArgumentsOutOfRangeRaiseInsteadOfMakingMonthThirteen) {
    int year = 2006;
    EXPECT_THROW(PeriodStartMonth(13, 12, 6, year), EQuilvaneError);
    EXPECT_THROW(PeriodStartMonth(0, 12, 6, year), EQuilvaneError);
    EXPECT_THROW(PeriodEndMonth(5, 4, 6, year), EQuilvaneError);
    EXPECT_THROW(PeriodEndMonth(-1, 12, 6, year), EQuilvaneError);
    EXPECT_THROW(PeriodStartDate(1, 2006, 5, 6), EQuilvaneError);
    EXPECT_THROW(PeriodStartDate(1, 2006, 0, 6), EQuilvaneError);
    EXPECT_THROW(PeriodEndDate(1, 2006, 12, 0), EQuilvaneError);
    EXPECT_THROW(PeriodEndDate(1, 2006, 12, 13), EQuilvaneError);
    EXPECT_THROW(PeriodOfMonth(13, 12, 6), EQuilvaneError);
    EXPECT_THROW(PeriodOfMonth(0, 12, 6), EQuilvaneError);
    EXPECT_THROW(PeriodOfMonth(1, 7, 6), EQuilvaneError);
    EXPECT_EQ(year, 2006);
    try {
        PeriodStartDate(13, 2006, 12, 6);
        FAIL();
    } catch (const EQuilvaneError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Period 13 is outside a year of 12 periods"));
    }
    // The "not reconciled" marker has no period.
    EXPECT_THROW(PeriodOfDate(12, 6, year, -1), EQuilvaneError);
    double date = D(2006, 1, 1);
    EXPECT_THROW(CheckDateInPeriods(date, 2006, 13, true, false, 12, 6), EQuilvaneError);
}

TEST_F(PeriodsTest, OffsetMonthWraps) {
    EXPECT_EQ(OffsetMonth(11, 3), 2);
    EXPECT_EQ(OffsetMonth(12, 0), 12);
    EXPECT_EQ(OffsetMonth(6, 24), 6);
    EXPECT_EQ(OffsetMonth(1, -1), 12);
    EXPECT_EQ(OffsetMonth(3, -14), 1);
}

TEST_F(PeriodsTest, FormatPeriodMonths) {
    QString text;
    FormatPeriodMonths(1, 12, 2006, text, 6);
    EXPECT_EQ(text, QStringLiteral("Jul 2005"));
    FormatPeriodMonths(1, 4, 2006, text, 6);
    EXPECT_EQ(text, QStringLiteral("Jul 2005 - Sep 2005"));
    FormatPeriodMonths(2, 2, 2006, text, 6);
    EXPECT_EQ(text, QStringLiteral("Jan 2006 - Jun 2006"));
    FormatPeriodMonths(1, 4, 2006, text, 11);
    EXPECT_EQ(text, QStringLiteral("Dec 2005 - Feb 2006"));
    FormatPeriodMonths(1, 1, 2006, text, 12);
    EXPECT_EQ(text, QStringLiteral("Jan 2006 - Dec 2006"));
}

TEST_F(PeriodsTest, WeeksAndDaysOfTheFinancialYear) {
    EXPECT_EQ(WeekOfFinancialYear(2006, 6, D(2005, 7, 1)), 1);
    EXPECT_EQ(WeekOfFinancialYear(2006, 6, D(2005, 7, 7) + 0.5), 1);
    EXPECT_EQ(WeekOfFinancialYear(2006, 6, D(2005, 7, 8)), 2);
    EXPECT_EQ(WeekOfFinancialYear(2006, 6, D(2006, 6, 30)), 53);
    EXPECT_EQ(DaysIntoFinancialYear(2006, 6, D(2005, 7, 1)), 0);
    EXPECT_EQ(DaysIntoFinancialYear(2006, 6, D(2006, 6, 30)), 364);
    EXPECT_EQ(DaysIntoFinancialYear(2006, 12, D(2006, 12, 31)), 364);
    EXPECT_EQ(WeekEndDate(1, 2006, 6), D(2005, 7, 7));
    EXPECT_EQ(WeekEndDate(52, 2006, 6), D(2006, 6, 29));
    EXPECT_EQ(WeekEndDate(53, 2006, 6), D(2006, 6, 30));
    EXPECT_EQ(WeekEndDate(53, 2008, 12), D(2008, 12, 31));
    EXPECT_EQ(WeekOfFinancialYear(2006, 6, 1e300),
              WeekOfFinancialYear(2006, 6, 1e301)); // saturates, no overflow
}

TEST_F(PeriodsTest, CheckDateInPeriodsMovesDatesOutside) {
    // Period 2 of a June year: August 2005.
    double date = D(2005, 8, 1);
    EXPECT_TRUE(CheckDateInPeriods(date, 2006, 2, true, true, 12, 6));
    date = D(2005, 8, 31);
    EXPECT_TRUE(CheckDateInPeriods(date, 2006, 2, true, true, 12, 6));
    EXPECT_EQ(date, D(2005, 8, 31));

    date = D(2005, 9, 1);
    EXPECT_FALSE(CheckDateInPeriods(date, 2006, 2, true, false, 12, 6));
    EXPECT_EQ(date, D(2005, 8, 31));
    date = D(2005, 7, 31);
    EXPECT_FALSE(CheckDateInPeriods(date, 2006, 2, false, true, 12, 6));
    EXPECT_EQ(date, D(2005, 8, 1));
    date = D(2005, 9, 1);
    EXPECT_FALSE(CheckDateInPeriods(date, 2006, 2, true, true, 12, 6)); // the start wins
    EXPECT_EQ(date, D(2005, 8, 1));
    date = D(2005, 9, 1);
    EXPECT_FALSE(CheckDateInPeriods(date, 2006, 2, false, false, 12, 6));
    EXPECT_EQ(date, D(2005, 9, 1));
    date = -1;
    EXPECT_FALSE(CheckDateInPeriods(date, 2006, 2, true, false, 12, 6));
    EXPECT_EQ(date, D(2005, 8, 31));

    // The whole year.
    date = D(2006, 6, 30);
    EXPECT_TRUE(CheckDateInPeriods(date, 2006, 1, true, false, 1, 6));
    date = D(2006, 7, 1);
    EXPECT_FALSE(CheckDateInPeriods(date, 2006, 1, true, false, 1, 6));
    EXPECT_EQ(date, D(2006, 6, 30));
}

TEST_F(PeriodsTest, ParseDateInPeriods) {
    double date = 0;
    EXPECT_TRUE(ParseDateInPeriods(QStringLiteral("15/08/05"), date, 2006, 12, 6, 2));
    EXPECT_EQ(date, D(2005, 8, 15));
    EXPECT_FALSE(ParseDateInPeriods(QStringLiteral("15/09/05"), date, 2006, 12, 6, 2));
    EXPECT_EQ(date, D(2005, 8, 31));
    date = 0;
    EXPECT_FALSE(ParseDateInPeriods(QStringLiteral("xx"), date, 2006, 12, 6, 2));
    EXPECT_EQ(date, D(2005, 8, 31));
    EXPECT_FALSE(ParseDateInPeriods(QString(), date, 2006, 4, 6, 1));
    EXPECT_EQ(date, D(2005, 9, 30));
}

TEST_F(PeriodsTest, FitDateToPeriodForPastedTransactions) {
    // Opening unpresented cheques and outstanding deposits keep their dates.
    EXPECT_EQ(FitDateToPeriod(9, 2006, 12, 10, 6, D(2004, 3, 31)), D(2004, 3, 31));
    EXPECT_EQ(FitDateToPeriod(9, 2006, 12, 11, 6, D(2004, 3, 31)), D(2004, 3, 31));
    // A date inside the period is kept.
    EXPECT_EQ(FitDateToPeriod(9, 2006, 12, 1, 6, D(2006, 3, 17)), D(2006, 3, 17));
    // The month moves into the financial year, in the calendar year where it falls.
    EXPECT_EQ(FitDateToPeriod(9, 2006, 12, 1, 6, D(2005, 3, 31)), D(2006, 3, 31));
    EXPECT_EQ(FitDateToPeriod(2, 2006, 12, 1, 6, D(2006, 8, 20)), D(2005, 8, 20));
    // A quarter takes any of its months.
    EXPECT_EQ(FitDateToPeriod(3, 2006, 4, 1, 6, D(2005, 2, 14)), D(2006, 2, 14));
    // The day is capped at the month's length.
    EXPECT_EQ(FitDateToPeriod(8, 2006, 12, 1, 6, D(2008, 2, 29)), D(2006, 2, 28));
    // A month of another period ends at the period's end.
    EXPECT_EQ(FitDateToPeriod(2, 2006, 12, 1, 6, D(2005, 3, 15)), D(2005, 8, 31));
    // Opening balances take 1 January of that calendar year, then move into the period.
    EXPECT_EQ(FitDateToPeriod(1, 2006, 12, 0, 6, D(2004, 8, 15)), D(2005, 7, 31));
    EXPECT_EQ(FitDateToPeriod(1, 2006, 12, 0, 12, D(2005, 8, 15)), D(2006, 1, 1));
    // No date at all goes to the period's end.
    EXPECT_EQ(FitDateToPeriod(2, 2006, 12, 1, 6, -1), D(2005, 8, 31));
    EXPECT_EQ(FitDateToPeriod(2, 2006, 12, 10, 6, -1), -1);
}
