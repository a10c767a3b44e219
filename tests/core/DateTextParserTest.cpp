#include "core/dates/DateTextParser.h"

#include <gtest/gtest.h>

namespace {

class DateTextParserTest : public ::testing::Test {
protected:
    TDateTextParser::TResult Parse(const char* text) const {
        return TDateTextParser(Settings).Parse(QString::fromUtf8(text), 2006);
    }
    TRegionalSettings Settings;
};

void ExpectDate(const TDateTextParser::TResult& result, int year, int month, int day) {
    EXPECT_TRUE(result.Valid);
    EXPECT_EQ(result.Year, year);
    EXPECT_EQ(result.Month, month);
    EXPECT_EQ(result.Day, day);
}

} // namespace

TEST_F(DateTextParserTest, FieldOrderComesFromTheShortFormat) {
    using O = TDateTextParser::TOrder;
    EXPECT_EQ(TDateTextParser::OrderOf(QStringLiteral("DD/MM/YY")), O::DayMonthYear);
    EXPECT_EQ(TDateTextParser::OrderOf(QStringLiteral("mm/dd/yy")), O::MonthDayYear);
    EXPECT_EQ(TDateTextParser::OrderOf(QStringLiteral("Yyyy-Mm-Dd")), O::YearMonthDay);
    EXPECT_EQ(TDateTextParser::OrderOf(QString()), O::DayMonthYear);
}

TEST_F(DateTextParserTest, YearsOfTwoOrFourDigits) {
    ExpectDate(Parse("15/06/2005"), 2005, 6, 15);
    ExpectDate(Parse("15/06/05"), 2005, 6, 15);
    ExpectDate(Parse("15/06/5"), 2005, 6, 15);
    ExpectDate(Parse("15/06/89"), 2089, 6, 15);
    ExpectDate(Parse("15/06/90"), 1990, 6, 15);
    ExpectDate(Parse("15/06/0089"), 89, 6, 15);
    ExpectDate(Parse("  15 / 06 / 2005  "), 2005, 6, 15);
    ExpectDate(Parse("15/06"), 2006, 6, 15);
    ExpectDate(Parse("29/2/2000"), 2000, 2, 29);
}

TEST_F(DateTextParserTest, InvalidTextKeepsWhatWasReadOnlyWhenComplete) {
    const TDateTextParser::TResult outOfMonth = Parse("31/04/2005");
    EXPECT_FALSE(outOfMonth.Valid);
    EXPECT_EQ(outOfMonth.Year, 2005);
    EXPECT_EQ(outOfMonth.Month, 4);
    EXPECT_EQ(outOfMonth.Day, 31);
    for (const char* bad :
         {"", " ", "/", "15/", "15//2005", "15/06/", "15/06/2005/1", "15/06/20051", "a15/06/05", "15.06.05",
          "15/06/05 x", "-1/06/05", "15/06/\xEF\xBC\x90\xEF\xBC\x95"}) {
        const TDateTextParser::TResult result = Parse(bad);
        EXPECT_FALSE(result.Valid) << bad;
        EXPECT_EQ(result.Month, 0) << bad;
    }
}

TEST_F(DateTextParserTest, OtherSeparators) {
    Settings.DateSeparator = QLatin1Char('.');
    ExpectDate(Parse("15.06.05"), 2005, 6, 15);
    EXPECT_FALSE(Parse("15/06/05").Valid);
    Settings.DateSeparator = QLatin1Char(' ');
    ExpectDate(Parse("15 06 05"), 2005, 6, 15);
    ExpectDate(Parse(" 15  6 "), 2006, 6, 15);
    EXPECT_FALSE(Parse("1506").Valid);
}
