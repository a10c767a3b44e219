#include "core/dates/DateFormatter.h"
#include "core/dates/DateNumbers.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

// Tuesday 5 July 2005 at 14:05:09.250.
double Afternoon() {
    return EncodeDateNum(2005, 7, 5) + (14 * 3600 + 5 * 60 + 9.25) / 86400.0;
}

class DateFormatterTest : public ::testing::Test {
protected:
    QString Format(const char* format, double dateNum) const {
        return TDateFormatter(Settings).Format(QString::fromUtf8(format), dateNum);
    }
    TRegionalSettings Settings;
};

} // namespace

TEST_F(DateFormatterTest, ReferenceDataDefaults) {
    const double date = EncodeDateNum(2005, 7, 5);
    EXPECT_EQ(TDateFormatter(Settings).Format(Settings.ShortDateFormat, date), QStringLiteral("05/07/05"));
    EXPECT_EQ(TDateFormatter(Settings).Format(Settings.LongDateFormat, date), QStringLiteral("05/07/2005"));
    EXPECT_EQ(TDateFormatter(Settings).Format(Settings.NarrativeDateFormat, date),
              QStringLiteral("5 Jul 2005"));
    EXPECT_EQ(TDateFormatter(Settings).Format(Settings.ReportDateFormat, date), QStringLiteral("05/07/2005"));
    EXPECT_EQ(TDateFormatter(Settings).Format(Settings.LongTimeFormat, Afternoon()),
              QStringLiteral("Tue 5 July 2005 at 14:05"));
}

TEST_F(DateFormatterTest, DateFieldsInAnyCase) {
    const double date = Afternoon();
    EXPECT_EQ(Format("d dd ddd dddd", date), QStringLiteral("5 05 Tue Tuesday"));
    EXPECT_EQ(Format("D DD DDD DDDD", date), QStringLiteral("5 05 Tue Tuesday"));
    EXPECT_EQ(Format("m mm mmm mmmm", date), QStringLiteral("7 07 Jul July"));
    EXPECT_EQ(Format("y yy yyy yyyy", date), QStringLiteral("05 05 2005 2005"));
    EXPECT_EQ(Format("yyyy", EncodeDateNum(5, 1, 1)), QStringLiteral("0005"));
    EXPECT_EQ(Format("dddd", EncodeDateNum(1899, 12, 30)), QStringLiteral("Saturday"));
    EXPECT_EQ(Format("ddd", EncodeDateNum(1, 1, 1)), QStringLiteral("Mon"));
}

TEST_F(DateFormatterTest, MinutesAfterAnHourAndTimeFields) {
    const double date = Afternoon();
    EXPECT_EQ(Format("hh:mm", date), QStringLiteral("14:05"));
    EXPECT_EQ(Format("HH:MM:SS", date), QStringLiteral("14:05:09"));
    EXPECT_EQ(Format("h:n:s.z", date), QStringLiteral("14:5:9.250"));
    EXPECT_EQ(Format("hh:nn:ss.zzz", date), QStringLiteral("14:05:09.250"));
    EXPECT_EQ(Format("mm hh mm", date), QStringLiteral("07 14 05")); // month before the hour
    EXPECT_EQ(Format("t", date), QStringLiteral("14:05"));
    EXPECT_EQ(Format("hh", EncodeDateNum(2005, 7, 5)), QStringLiteral("00"));
}

TEST_F(DateFormatterTest, TwelveHourClock) {
    const double date = Afternoon();
    EXPECT_EQ(Format("h:mm am/pm", date), QStringLiteral("2:05 pm"));
    EXPECT_EQ(Format("h:mm AM/PM", date), QStringLiteral("2:05 PM"));
    EXPECT_EQ(Format("h a/p", date), QStringLiteral("2 p"));
    EXPECT_EQ(Format("hh ampm", EncodeDateNum(2005, 7, 5)), QStringLiteral("12 AM"));
    EXPECT_EQ(Format("h ampm", EncodeDateNum(2005, 7, 5) + 0.5), QStringLiteral("12 PM"));
    EXPECT_EQ(Format("h \"am/pm\"", date), QStringLiteral("14 am/pm")); // a quoted marker is text
}

TEST_F(DateFormatterTest, SeparatorsAndLiterals) {
    const double date = EncodeDateNum(2005, 7, 5);
    Settings.DateSeparator = QLatin1Char('-');
    Settings.TimeSeparator = QLatin1Char('.');
    EXPECT_EQ(Format("dd/mm/yyyy hh:nn", date), QStringLiteral("05-07-2005 00.00"));
    EXPECT_EQ(Format("\"d/m\" 'y' dd", date), QStringLiteral("d/m y 05"));
    EXPECT_EQ(Format("dd \"unterminated", date), QStringLiteral("05 unterminated"));
    EXPECT_EQ(Format("dd, [bx] q#", date), QStringLiteral("05, [bx] q#"));
    EXPECT_EQ(Format("dd \xC3\xA9\xC3\xA9 \xC3\xA9t\xC3\xA9", date),
              QStringLiteral("05 \u00E9\u00E9 \u00E900.00\u00E9"));
}

TEST_F(DateFormatterTest, NestedFormatsStopAtTwoLevels) {
    const double date = Afternoon();
    EXPECT_EQ(Format("ddddd", date), QStringLiteral("05/07/05"));
    EXPECT_EQ(Format("dddddd", date), QStringLiteral("05/07/2005"));
    EXPECT_EQ(Format("c", date), QStringLiteral("05/07/05 Tue 5 July 2005 at 14:05"));
    EXPECT_EQ(Format("c", EncodeDateNum(2005, 7, 5)), QStringLiteral("05/07/05"));
    EXPECT_EQ(Format("", EncodeDateNum(2005, 7, 5)), QStringLiteral("05/07/05"));
    // Formats that name themselves end instead of recursing for ever.
    Settings.ShortDateFormat = QStringLiteral("ddddd|c");
    Settings.LongTimeFormat = QStringLiteral("tt");
    EXPECT_NO_THROW(Format("c tt ddddd", date));
    EXPECT_LT(Format("c tt ddddd", date).size(), 100);
}

TEST_F(DateFormatterTest, ValuesThatNameNoDay) {
    EXPECT_EQ(Format("dd/mm/yy", -1), QStringLiteral("00/00/00"));
    EXPECT_EQ(Format("d mmm yyyy dddd", 0), QStringLiteral("0  0000 "));
    EXPECT_EQ(Format("dd/mm/yyyy hh:nn", -1.25), QStringLiteral("00/00/0000 06:00"));
    EXPECT_EQ(Format("c", std::numeric_limits<double>::quiet_NaN()), QStringLiteral("00/00/00"));
    EXPECT_EQ(Format("dd/mm/yyyy", 1e300), QStringLiteral("00/00/0000"));
    EXPECT_EQ(Format("hh:nn:ss", EncodeDateNum(2005, 7, 5) + 0.9999999999), QStringLiteral("23:59:59"));
}
