#include "core/dates/DateNumbers.h"
#include "core/common/RegionalSettings.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "tests/core/DatesTestSupport.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

class DateNumbersTest : public TDatesFixture {};

TEST_F(DateNumbersTest, AnchorDaysOfTheDateNumber) {
    EXPECT_EQ(D(1, 1, 1), 1);
    EXPECT_EQ(D(1899, 12, 30), 693594);
    EXPECT_EQ(D(1899, 12, 30), DateNumOffset);
    EXPECT_EQ(D(1970, 1, 1), 719163);
    EXPECT_EQ(D(9999, 12, 31), MaxDateNum);
    EXPECT_DOUBLE_EQ(DateNumToDateTime(693594.5), 0.5);
    EXPECT_DOUBLE_EQ(DateNumToDateTime(D(2006, 6, 30)), 38898); // the platform value of 30 June 2006
}

TEST_F(DateNumbersTest, EncodeAndDecodeAgreeWithTheProlepticCalendarAcrossCenturyLeapRules) {
    // Every day from 1 January 1899 to 31 December 2101 (29 February 1900, 2000 and 2100 among
    // them), checked against Qt's own day count and decoded back.
    const qint64 base = QDate(1, 1, 1).toJulianDay() - 1;
    double previous = D(1898, 12, 31);
    for (QDate date(1899, 1, 1); date <= QDate(2101, 12, 31); date = date.addDays(1)) {
        const double n = D(date.year(), date.month(), date.day());
        ASSERT_EQ(n, static_cast<double>(date.toJulianDay() - base)) << date.toString().toStdString();
        ASSERT_EQ(n, previous + 1);
        int y, m, d;
        DecodeDateNum(n + 0.75, y, m, d);
        ASSERT_EQ(QDate(y, m, d), date);
        previous = n;
    }
    // Whole 400-year cycles at the ends of the range.
    for (int year : {1, 2, 399, 400, 401, 1600, 9999}) {
        int y, m, d;
        DecodeDateNum(D(year, 3, 1) - 1, y, m, d);
        EXPECT_EQ(y, year);
        EXPECT_EQ(m, 2);
        EXPECT_EQ(d, IsLeapYear(year) ? 29 : 28);
    }
}

TEST_F(DateNumbersTest, EncodeRejectsDaysThatDoNotExist) {
    EXPECT_NO_THROW(D(2000, 2, 29));
    EXPECT_THROW(D(1900, 2, 29), EQuilvaneError);
    EXPECT_THROW(D(2100, 2, 29), EQuilvaneError);
    EXPECT_THROW(D(2005, 2, 29), EQuilvaneError);
    EXPECT_THROW(D(2005, 4, 31), EQuilvaneError);
    EXPECT_THROW(D(2005, 13, 1), EQuilvaneError);
    EXPECT_THROW(D(2005, 0, 1), EQuilvaneError);
    EXPECT_THROW(D(2005, 1, 0), EQuilvaneError);
    EXPECT_THROW(D(0, 1, 1), EQuilvaneError);
    EXPECT_THROW(D(10000, 1, 1), EQuilvaneError);
    EXPECT_THROW(MonthEndDateNum(2005, 13), EQuilvaneError);
}

TEST_F(DateNumbersTest, ValuesThatNameNoDayDecodeToZerosWithoutFailing) {
    for (double n : {0.0, -1.0, 0.5, -693594.0, MaxDateNum + 1, 1e300, -1e300,
                     std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        int y = 9, m = 9, d = 9;
        DecodeDateNum(n, y, m, d);
        EXPECT_EQ(y, 0);
        EXPECT_EQ(m, 0);
        EXPECT_EQ(d, 0);
        EXPECT_EQ(DayOfDateNum(n), 0);
    }
    EXPECT_EQ(DayOfDateNum(D(2006, 6, 30) + 0.99), 30);
}

TEST_F(DateNumbersTest, NowComesFromTheServiceClock) {
    EXPECT_DOUBLE_EQ(NowNum(), D(2006, 6, 30) + 0.75);
    EXPECT_EQ(DateNumFromQDateTime(QDateTime()), 0);
}

TEST_F(DateNumbersTest, LeapYearsAndMonthEnds) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2004));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_FALSE(IsLeapYear(2005));
    EXPECT_EQ(MonthEndDateNum(2004, 2), D(2004, 2, 29));
    EXPECT_EQ(MonthEndDateNum(2005, 2), D(2005, 2, 28));
    EXPECT_EQ(MonthEndDateNum(2005, 6), D(2005, 6, 30));
    EXPECT_EQ(MonthEndDateNum(2005, 12), D(2005, 12, 31));
}

TEST_F(DateNumbersTest, ToggleYearDigitsAroundThePivot) {
    EXPECT_EQ(TwoDigitYearPivot, 90);
    EXPECT_EQ(ToggleYearDigits(5), 2005);
    EXPECT_EQ(ToggleYearDigits(89), 2089);
    EXPECT_EQ(ToggleYearDigits(90), 1990);
    EXPECT_EQ(ToggleYearDigits(95), 1995);
    EXPECT_EQ(ToggleYearDigits(1995), 95);
    EXPECT_EQ(ToggleYearDigits(1999), 99);
    EXPECT_EQ(ToggleYearDigits(2000), 0);
    EXPECT_EQ(ToggleYearDigits(2006), 6);
    for (int year = 0; year < 100; ++year)
        EXPECT_EQ(ToggleYearDigits(ToggleYearDigits(year)), year);
}

TEST_F(DateNumbersTest, SecondsBetweenRoundsToWholeSeconds) {
    const double day = D(2006, 6, 30);
    EXPECT_EQ(SecondsBetween(day + 9.0 / 24, day + 17.5 / 24), 30600);
    EXPECT_EQ(SecondsBetween(day + 17.5 / 24, day + 9.0 / 24), -30600);
    EXPECT_EQ(SecondsBetween(day, day + 1), 86400);
    EXPECT_EQ(SecondsBetween(day, day + 0.4 / 86400), 0);
    EXPECT_EQ(SecondsBetween(day, day + 0.6 / 86400), 1);
    EXPECT_EQ(SecondsBetween(0, std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_GT(SecondsBetween(-1e300, 1e300), 0);
}

TEST_F(DateNumbersTest, SubtractOneYearKeepsDayAndMonth) {
    EXPECT_EQ(SubtractOneYear(D(2008, 2, 29)), D(2007, 2, 28));
    EXPECT_EQ(SubtractOneYear(D(2008, 3, 1)), D(2007, 3, 1));
    // Early in the year after a leap year the plain 365-day step lands a day late.
    EXPECT_EQ(SubtractOneYear(D(2009, 1, 15)), D(2008, 1, 15));
    EXPECT_EQ(SubtractOneYear(D(2009, 2, 28)), D(2008, 2, 28));
    EXPECT_EQ(SubtractOneYear(D(2009, 3, 1)), D(2008, 3, 1));
    EXPECT_EQ(SubtractOneYear(D(2006, 12, 31)), D(2005, 12, 31));
    EXPECT_DOUBLE_EQ(SubtractOneYear(D(2006, 6, 30) + 0.25), D(2005, 6, 30) + 0.25);
    // No calendar year before it: plain arithmetic, no failure.
    EXPECT_EQ(SubtractOneYear(D(1, 6, 1)), D(1, 6, 1) - 365);
    EXPECT_EQ(SubtractOneYear(-1), -366);
}

TEST_F(DateNumbersTest, DateGapOfAYearAndAMonth) {
    // 15 May 2006: 365 days and April's 30.
    const double may = D(2006, 5, 15);
    EXPECT_FALSE(DateGapExceedsYearAndMonth(may - 395, may));
    EXPECT_TRUE(DateGapExceedsYearAndMonth(may - 396, may));
    // 15 March 2008, a leap year after February: 366 days and February's 29.
    const double march = D(2008, 3, 15);
    EXPECT_FALSE(DateGapExceedsYearAndMonth(march - 395, march));
    EXPECT_TRUE(DateGapExceedsYearAndMonth(march - 396, march));
    // January looks back to December.
    const double january = D(2006, 1, 10);
    EXPECT_FALSE(DateGapExceedsYearAndMonth(january - 396, january));
    EXPECT_TRUE(DateGapExceedsYearAndMonth(january - 397, january));
    // The "not reconciled" marker is no date; it must not fail.
    EXPECT_FALSE(DateGapExceedsYearAndMonth(-1, -1));
    EXPECT_TRUE(DateGapExceedsYearAndMonth(-1, may));
}

TEST_F(DateNumbersTest, DateNumToStrUsesTheProgramFormats) {
    EXPECT_EQ(DateNumToStr(true, 0), QString());
    EXPECT_EQ(DateNumToStr(false, 0), QString());
    EXPECT_EQ(DateNumToStr(true, D(2005, 6, 15)), QStringLiteral("15/06/05"));
    EXPECT_EQ(DateNumToStr(false, D(2005, 6, 15)), QStringLiteral("15/06/2005"));
    // Other values format too, the "not reconciled" marker among them.
    EXPECT_EQ(DateNumToStr(true, -1), QStringLiteral("00/00/00"));
    EXPECT_EQ(DateNumToStr(false, std::numeric_limits<double>::quiet_NaN()), QStringLiteral("00/00/0000"));

    TRegionalSettings& settings = TRegionalSettings::Program();
    settings.DateSeparator = QLatin1Char('-');
    settings.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    EXPECT_EQ(DateNumToStr(true, D(2005, 6, 15)), QStringLiteral("2005-06-15"));
    EXPECT_EQ(FormatDateNum(settings.NarrativeDateFormat, D(2005, 7, 5)), QStringLiteral("5 Jul 2005"));
}

TEST_F(DateNumbersTest, StrToDateNumReadsTheShortFormat) {
    EXPECT_EQ(StrToDateNum(QStringLiteral("15/06/2005"), false), D(2005, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral("15/6/05"), false), D(2005, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral(" 1/1/89 "), false), D(2089, 1, 1));
    EXPECT_EQ(StrToDateNum(QStringLiteral("1/1/90"), false), D(1990, 1, 1));
    EXPECT_EQ(StrToDateNum(QStringLiteral("29/02/2000"), false), D(2000, 2, 29));
    EXPECT_EQ(StrToDateNum(QStringLiteral("15/06"), false), D(2006, 6, 15)); // the clock's year
    for (const char* bad : {"", "xx", "15", "15/", "15/06/", "15/06/2005x", "15-06-2005", "32/01/2005",
                            "0/01/2005", "15/13/2005", "29/02/1900", "15/06/12345", "15/06/0000"})
        EXPECT_EQ(StrToDateNum(QString::fromLatin1(bad), false), -1) << bad;
}

TEST_F(DateNumbersTest, LenientReadingFallsBackToTheMonthEnd) {
    EXPECT_EQ(StrToDateNum(QStringLiteral("31/06/2005"), true), D(2005, 6, 30));
    EXPECT_EQ(StrToDateNum(QStringLiteral("30/02/08"), true), D(2008, 2, 29));
    EXPECT_EQ(StrToDateNum(QStringLiteral("15/06/2005"), true), D(2005, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral("31/06/2005"), false), -1);
    // Nothing readable: no fallback.
    EXPECT_EQ(StrToDateNum(QStringLiteral("xx"), true), -1);
    EXPECT_EQ(StrToDateNum(QStringLiteral("15/13/2005"), true), -1);
    EXPECT_EQ(StrToDateNum(QStringLiteral("31/06/2005 junk"), true), -1);
}

TEST_F(DateNumbersTest, StrToDateNumFollowsOtherSeparatorsAndOrders) {
    TRegionalSettings& settings = TRegionalSettings::Program();
    settings.DateSeparator = QLatin1Char('-');
    settings.ShortDateFormat = QStringLiteral("dd-mm-yy");
    EXPECT_EQ(StrToDateNum(QStringLiteral("15-06-2005"), false), D(2005, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral("15/06/2005"), false), -1);

    settings.DateSeparator = QLatin1Char('/');
    settings.ShortDateFormat = QStringLiteral("MM/DD/YY");
    EXPECT_EQ(StrToDateNum(QStringLiteral("06/15/05"), false), D(2005, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral("6/15"), false), D(2006, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral("15/06/05"), false), -1);

    settings.DateSeparator = QLatin1Char('.');
    settings.ShortDateFormat = QStringLiteral("YYYY.MM.DD");
    EXPECT_EQ(StrToDateNum(QStringLiteral("2005.06.15"), false), D(2005, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral("05.6.15"), false), D(2005, 6, 15));
    EXPECT_EQ(StrToDateNum(QStringLiteral("6.15"), false), D(2006, 6, 15));

    // Round trip through the program's own short format.
    settings.ShortDateFormat = QStringLiteral("DD.MM.YYYY");
    for (double n = D(1999, 12, 1); n <= D(2001, 3, 31); n += 1)
        ASSERT_EQ(StrToDateNum(DateNumToStr(true, n), false), n);
}
