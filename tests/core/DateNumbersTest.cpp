#include "core/dates/DateNumbers.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateFormatter.h"
#include "core/dates/DateTextParser.h"
#include "tests/core/DatesTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

class DateNumbersTest : public TDatesFixture {};

TEST_F(DateNumbersTest, EncodeAndDecodeAgreeWithTheProlepticCalendar) {
    EXPECT_EQ(D(1, 1, 1) + D(1899, 12, 30), 1 + 693594);
    EXPECT_EQ(D(9999, 12, 31), MaxDateNum);
    EXPECT_DOUBLE_EQ(DateNumToDateTime(D(2006, 6, 30) + 0.5), 38898.5);
    EXPECT_DOUBLE_EQ(NowNum(), D(2006, 6, 30) + 0.75);
    EXPECT_EQ(DateNumFromQDateTime(QDateTime()), 0);
    EXPECT_EQ(DateNumFromQDateTime(QDateTime(QDate(1, 1, 1), QTime(0, 0))), D(1, 1, 1));
    EXPECT_EQ(DateNumFromQDateTime(QDateTime(QDate(9999, 12, 31), QTime(0, 0))), MaxDateNum);
    EXPECT_EQ(DateNumFromQDateTime(QDateTime(QDate(10000, 1, 1), QTime(0, 0))), 0);
    // The registry's reset puts the program's regional formats back.
    Regional.ShortDateFormat = "YYYY-MM-DD";
    TServices::Reset();
    EXPECT_EQ(TServices::Regional().ShortDateFormat, "DD/MM/YY");
    // Every day from 1899 to 2101 (29 February 1900, 2000 and 2100 among them) against Qt's day count.
    const qint64 base = QDate(1, 1, 1).toJulianDay() - 1;
    for (QDate date(1899, 1, 1); date <= QDate(2101, 12, 31); date = date.addDays(1)) {
        const double n = D(date.year(), date.month(), date.day());
        ASSERT_EQ(n, static_cast<double>(date.toJulianDay() - base)) << date.toString().toStdString();
        int y, m, d;
        DecodeDateNum(n + 0.75, y, m, d);
        ASSERT_EQ(QDate(y, m, d), date);
        ASSERT_EQ(DayOfDateNum(n), d);
    }
    // Values that name no day decode to zeros.
    for (double n : {0.0, 0.5, -1.0, MaxDateNum + 1, 1e300, std::numeric_limits<double>::quiet_NaN()}) {
        int y = 9, m = 9, d = 9;
        DecodeDateNum(n, y, m, d);
        EXPECT_EQ(y + m + d, 0) << n;
    }
}

TEST_F(DateNumbersTest, MonthLengthsAndTwoDigitYears) {
    // Year, month and its last day: leap years by the rules of four, a hundred and four hundred years.
    const int cases[][3] = {{2000, 2, 29}, {1900, 2, 28}, {2100, 2, 28},  {1600, 2, 29}, {2004, 2, 29},
                            {2005, 2, 28}, {2005, 6, 30}, {2005, 12, 31}, {1, 1, 31},    {9999, 12, 31}};
    for (const auto& c : cases) {
        EXPECT_EQ(MonthEndDateNum(c[0], c[1]), D(c[0], c[1], 1) + c[2] - 1) << c[0] << "-" << c[1];
        EXPECT_EQ(IsLeapYear(c[0]), c[0] % 4 == 0 && (c[1] != 2 || c[2] == 29)) << c[0];
        EXPECT_THROW(D(c[0], c[1], c[2] + 1), EQuilvaneError) << c[0] << "-" << c[1];
    }
    const int bad[][3] = {{2005, 13, 1}, {2005, 0, 1}, {2005, 1, 0}, {0, 12, 31}, {10000, 1, 1}};
    for (const auto& b : bad)
        EXPECT_THROW(D(b[0], b[1], b[2]), EQuilvaneError) << b[0] << "-" << b[1] << "-" << b[2];
    EXPECT_THROW(MonthEndDateNum(2005, 13), EQuilvaneError);
    // Two-digit years below the pivot 90 are 20xx.
    const int toggles[][2] = {{0, 2000},  {5, 2005},  {89, 2089}, {90, 1990}, {99, 1999},
                              {1995, 95}, {1999, 99}, {2000, 0},  {2006, 6}};
    for (const auto& c : toggles)
        EXPECT_EQ(ToggleYearDigits(c[0]), c[1]) << c[0];
}

TEST_F(DateNumbersTest, SecondsAndYearsBetweenDates) {
    const double day = D(2006, 6, 30);
    EXPECT_EQ(SecondsBetween(day + 9.0 / 24, day + 17.5 / 24), 30600);
    EXPECT_EQ(SecondsBetween(day + 0.6 / 86400, day) + SecondsBetween(day, day + 0.4 / 86400), -1);
    EXPECT_TRUE(SecondsBetween(0, std::numeric_limits<double>::quiet_NaN()) == 0 &&
                SecondsBetween(-1e300, 1e300) > 0);
    // A year back keeps the day and month; 29 February becomes 28 February.
    const int years[][6] = {{2008, 2, 29, 2007, 2, 28},   {2008, 3, 1, 2007, 3, 1},
                            {2009, 1, 15, 2008, 1, 15},   {2009, 3, 1, 2008, 3, 1},
                            {2006, 12, 31, 2005, 12, 31}, {2, 1, 1, 1, 1, 1}};
    for (const auto& c : years)
        EXPECT_EQ(SubtractOneYear(D(c[0], c[1], c[2])), D(c[3], c[4], c[5]))
            << c[0] << "-" << c[1] << "-" << c[2];
    EXPECT_DOUBLE_EQ(SubtractOneYear(day + 0.25), D(2005, 6, 30) + 0.25);
    EXPECT_EQ(SubtractOneYear(D(1, 6, 1)), D(1, 6, 1) - 365); // no year before: plain arithmetic
    EXPECT_EQ(SubtractOneYear(-1), -366);
    // Too old: more than 365 days (366 in a leap year after February) and the length of the month
    // before the later date's month. The later date and the longest gap that is not too old:
    const int gaps[][4] = {{2006, 5, 15, 395}, {2008, 3, 15, 395}, {2008, 2, 15, 396},
                           {2009, 3, 1, 393},  {2006, 1, 10, 396}, {2006, 12, 31, 395}};
    for (const auto& c : gaps) {
        EXPECT_FALSE(DateGapExceedsYearAndMonth(D(c[0], c[1], c[2]) - c[3], D(c[0], c[1], c[2]))) << c[1];
        EXPECT_TRUE(DateGapExceedsYearAndMonth(D(c[0], c[1], c[2]) - c[3] - 1, D(c[0], c[1], c[2]))) << c[1];
    }
    EXPECT_FALSE(DateGapExceedsYearAndMonth(-1, -1)); // the "not reconciled" marker: no failure
    EXPECT_TRUE(DateGapExceedsYearAndMonth(-1, D(2006, 5, 15)));
}

TEST_F(DateNumbersTest, DateTextsInTheProgramFormats) {
    EXPECT_EQ(DateNumToStr(true, 0) + DateNumToStr(false, 0), QString());
    EXPECT_EQ(DateNumToStr(true, D(2005, 6, 15)) + DateNumToStr(false, D(2005, 6, 15)), "15/06/0515/06/2005");
    EXPECT_EQ(DateNumToStr(true, -1), "00/00/00");
    EXPECT_EQ(FormatDateNum(Regional.NarrativeDateFormat, D(2005, 7, 5)), "5 Jul 2005");
    // The text, whether it is read leniently, and the day as yyyymmdd (0: no date, -1).
    const std::tuple<const char*, bool, int> cases[] = {
        {"15/06/2005", false, 20050615}, {" 15/6/05 ", false, 20050615}, {"1/1/89", false, 20890101},
        {"1/1/90", false, 19900101},     {"1/1/0089", false, 890101},    {"29/02/2000", false, 20000229},
        {"15 / 06", false, 20060615},    {"31/06/2005", true, 20050630}, {"30/02/08", true, 20080229},
        {"29/02/1900", true, 19000228},  {"31/06/2005", false, 0},       {"0/06/2005", true, 0},
        {"15/13/2005", true, 0},         {"31/06/2005 x", true, 0},      {"31/12/9999", false, 99991231},
        {"1/1/0001", false, 10101},      {"31/06/9999", true, 99990630},
        {"32/01/2005", true, 20050131}};
    for (const auto& [text, lenient, day] : cases)
        EXPECT_EQ(StrToDateNum(text, lenient), day == 0 ? -1 : D(day / 10000, day / 100 % 100, day % 100))
            << text << " " << lenient;
    for (const char* bad : {"", "15", "15/", "15//2005", "15/06/", "15/06/2005/1", "15/06/20051", "a15/06/05",
                            "15-06-2005", "32/01/2005", "0/01/2005", "15/06/0000", "-1/06/05"})
        EXPECT_EQ(StrToDateNum(QString::fromLatin1(bad), false), -1) << bad;
}

TEST_F(DateNumbersTest, TypedDatesFollowTheShortFormatsOrderAndSeparator) {
    // What an invalid text held is kept only when it was complete.
    const TDateTextParser::TResult partial = TDateTextParser().Parse("31/04/2005", 2006);
    EXPECT_EQ(partial.Valid + partial.Year * 10000 + partial.Month * 100 + partial.Day, 20050431);
    EXPECT_EQ(TDateTextParser().Parse("31/04/2005 x", 2006).Month, 0);
    // The short format, the separator, the text and the day as yyyymmdd (0: no date).
    const std::tuple<const char*, char, const char*, int> cases[] = {
        {"dd-mm-yy", '-', "15-06-2005", 20050615}, {"dd-mm-yy", '-', "15/06/2005", 0},
        {"MM/DD/YY", '/', "06/15/05", 20050615},   {"MM/DD/YY", '/', "6/15", 20060615},
        {"MM/DD/YY", '/', "15/06/05", 0},          {"YYYY.MM.DD", '.', "05.6.15", 20050615},
        {"Yyyy.Mm.Dd", '.', "6.15", 20060615},     {"dd mm yy", ' ', "15 06 05", 20050615},
        {"dd mm yy", ' ', " 15  6 ", 20060615},    {"dd mm yy", ' ', "1506", 0}};
    for (const auto& [format, separator, text, day] : cases) {
        Regional.ShortDateFormat = format;
        Regional.DateSeparator = QLatin1Char(separator);
        EXPECT_EQ(StrToDateNum(text, false), day == 0 ? -1 : D(day / 10000, day / 100 % 100, day % 100))
            << format << " " << text;
    }
    // Round trip through the program's own short format.
    Regional.ShortDateFormat = "DD.MM.YYYY";
    Regional.DateSeparator = QLatin1Char('.');
    for (double n = D(1999, 12, 1); n <= D(2001, 3, 31); n += 1)
        ASSERT_EQ(StrToDateNum(DateNumToStr(true, n), false), n);
}

TEST_F(DateNumbersTest, FieldsOfTheFormatLanguageAndSeparatorsFromTheSettings) {
    TRegionalSettings settings; // the formatter's own, apart from the program's
    const TDateFormatter formatter(settings);
    const double day = D(2005, 7, 5);                                     // a Tuesday
    const double afternoon = day + (14 * 3600 + 5 * 60 + 9.25) / 86400.0; // 14:05:09.250
    const double nan = std::numeric_limits<double>::quiet_NaN(), year5 = D(5, 1, 1), noon = day + 0.5;
    // "m" straight after an hour is minutes; a quoted marker is text; values that name no day
    // give zeros.
    const std::tuple<const char*, double, const char*> cases[] = {
        {"d dd ddd dddd D DD DDD DDDD", afternoon, "5 05 Tue Tuesday 5 05 Tue Tuesday"},
        {"m mm mmm mmmm y yy yyy yyyy", afternoon, "7 07 Jul July 05 05 2005 2005"},
        {"yyyy dddd", year5, "0005 Saturday"},
        {"hh:mm HH:MM:SS h:n:s.z hh:nn:ss.zzz t", afternoon, "14:05 14:05:09 14:5:9.250 14:05:09.250 14:05"},
        {"mm hh mm", afternoon, "07 14 05"},
        {"h:mm am/pm|h:mm AM/PM|h a/p", afternoon, "2:05 pm|2:05 PM|2 p"},
        {"hh ampm", day, "12 AM"},
        {"h ampm", noon, "12 PM"},
        {"h \"am/pm\" \"d/m\" 'y'", afternoon, "14 am/pm d/m y"},
        {"dd, [bx] q# \xC3\xA9t \"unterminated", day,
         "05, [bx] q# \xC3\xA9"
         "00:00 unterminated"},
        {"ddddd|dddddd|c", afternoon, "05/07/05|05/07/2005|05/07/05 Tue 5 July 2005 at 14:05"},
        {"c|", day, "05/07/05|"},
        {"", day, "05/07/05"},
        {"dd/mm/yy", -1, "00/00/00"},
        {"d mmm yyyy dddd", 0, "0  0000 "},
        {"dd/mm/yyyy hh:nn", -1.25, "00/00/0000 06:00"},
        {"c", nan, "00/00/00"},
        {"dd/mm/yyyy", 1e300, "00/00/0000"},
        {"hh:nn:ss", day + 0.9999999999, "23:59:59"}};
    for (const auto& [format, date, text] : cases)
        EXPECT_EQ(formatter.Format(format, date), QString::fromUtf8(text)) << format;
    settings.DateSeparator = QLatin1Char('-');
    settings.TimeSeparator = QLatin1Char('.');
    EXPECT_EQ(formatter.Format("dd/mm/yyyy hh:nn", D(2005, 7, 5)), "05-07-2005 00.00");
    // Formats that name themselves end instead of recursing for ever.
    settings.ShortDateFormat = "ddddd|c";
    settings.LongTimeFormat = "tt";
    EXPECT_LT(formatter.Format("c tt ddddd", D(2005, 7, 5) + 0.5).size(), 100);
}
