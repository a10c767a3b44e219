#include "controls/dates/CalendarDialogRules.h"
#include "controls/dates/MonthCalendarColours.h"
#include "controls/dates/MonthCalendarLayout.h"
#include "core/dates/DateNumbers.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ServicesFixture.h"

#include <QtTest>
#include <QtWidgets>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Every calendar test runs on 15 March 2026 at 14:30, so "today" is known and has a time of day.
class MonthCalendarTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        TServices::SetClock(Clock);
    }

    static double Day(int year, int month, int day) { return EncodeDateNum(year, month, day); }

    std::shared_ptr<TFixedClock> Clock =
        std::make_shared<TFixedClock>(QDateTime(QDate(2026, 3, 15), QTime(14, 30)));
};

TEST_F(MonthCalendarTest, OpeningDayFallsBackToValidFallbackThenToday) {
    const double today = Day(2026, 3, 15);
    const double periodEnd = Day(2025, 6, 30);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double DateNum, Fallback, Expected;
    } cases[] = {
        {Day(2024, 2, 29), periodEnd, Day(2024, 2, 29)},
        {Day(2024, 2, 29) + 0.75, -1, Day(2024, 2, 29)},
        {0, periodEnd, periodEnd},
        {-5, periodEnd + 0.5, periodEnd},
        {nan, periodEnd, periodEnd},
        {MaxDateNum + 1, periodEnd, periodEnd},
        {0, -1, today},
        // A fallback that names no day either opens on today.
        {0, 0, today},
        {0, nan, today},
        {-3, MaxDateNum + 7, today},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.DateNum << " / " << c.Fallback);
        EXPECT_EQ(CalendarOpeningDateNum(c.DateNum, c.Fallback), c.Expected);
    }
}

TEST_F(MonthCalendarTest, ResultIsAlwaysAWholeDay) {
    EXPECT_EQ(CalendarResultDateNum(Day(2026, 1, 31)), Day(2026, 1, 31));
    EXPECT_EQ(CalendarResultDateNum(Day(2026, 1, 31) + 0.99), Day(2026, 1, 31));
    // No selection gives today without the clock's time of day.
    EXPECT_EQ(CalendarResultDateNum(-700000 + DateNumOffset), Day(2026, 3, 15));
    EXPECT_EQ(CalendarResultDateNum(std::numeric_limits<double>::quiet_NaN()), Day(2026, 3, 15));
}

// With a "0" of 6 x 13 pixels a flat one-month calendar is 152 x 127, the pop-up window's calendar.
TEST_F(MonthCalendarTest, ControlSizeFollowsFontFrameAndMonths) {
    const struct {
        bool Flat;
        int Months;
        QSize Size;
    } cases[] = {
        {true, 1, {152, 127}}, {false, 1, {154, 129}}, {true, 2, {302, 127}},
        {true, 3, {452, 127}}, {true, 0, {152, 127}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Flat << " " << c.Months);
        const TMonthCalendarLayout layout(TMonthCalendarMetrics::FromDigitSize(6, 13, c.Flat), c.Months,
                                          c.Flat);
        EXPECT_EQ(layout.ControlSize(), c.Size);
        EXPECT_EQ(layout.CalendarWidth(), 150);
    }
}

TEST_F(MonthCalendarTest, ArrowsOnlyOnOuterBlocks) {
    const TMonthCalendarLayout layout(TMonthCalendarMetrics::FromDigitSize(6, 13, true), 3, true);
    EXPECT_EQ(layout.LeftArrowRect(0), QRect(2, 1, 16, 18));
    EXPECT_EQ(layout.RightArrowRect(2), QRect(1 + 300 + 132, 1, 17, 18));
    for (int block : {1, 2})
        EXPECT_TRUE(layout.LeftArrowRect(block).isNull()) << block;
    for (int block : {0, 1})
        EXPECT_TRUE(layout.RightArrowRect(block).isNull()) << block;
    // Not flat, the right arrow is one pixel narrower.
    const TMonthCalendarLayout sunken(TMonthCalendarMetrics::FromDigitSize(6, 13, false), 1, false);
    EXPECT_EQ(sunken.RightArrowRect(0), QRect(2 + 132, 2, 16, 17));
}

TEST_F(MonthCalendarTest, HitTestFindsBlockAndCell) {
    using H = TMonthCalendarHit;
    // Frame 1, header 18, day names 16 (rows from y 35), rows 15 high, columns 18 wide from x 13.
    const TMonthCalendarLayout layout(TMonthCalendarMetrics::FromDigitSize(6, 13, true), 2, true);
    const struct {
        QPoint Point;
        H::TPart Part;
        int Block, Row, Column;
    } cases[] = {
        {{5, 5}, H::LeftArrow, 0, -1, -1},
        {{140, 5}, H::None, -1, -1, -1}, // only the last block has a right arrow
        {{290, 5}, H::RightArrow, 1, -1, -1},
        {{60, 5}, H::Caption, 0, -1, -1},
        {{170, 5}, H::Caption, 1, -1, -1},
        {{20, 20}, H::DayNames, 0, -1, -1},
        {{13, 35}, H::Day, 0, 0, 0},
        {{30, 49}, H::Day, 0, 0, 0},
        {{31, 50}, H::Day, 0, 1, 1},
        {{138, 124}, H::Day, 0, 5, 6},
        {{139, 124}, H::None, -1, -1, -1},
        {{12, 40}, H::None, -1, -1, -1},
        {{151 + 12, 35}, H::Day, 1, 0, 0},
        {{151 + 137, 125}, H::None, -1, -1, -1},
        {{0, 40}, H::None, -1, -1, -1},
        {{301, 40}, H::None, -1, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Point.x() << "," << c.Point.y());
        const H hit = layout.HitTest(c.Point);
        EXPECT_EQ(hit.Part, c.Part);
        EXPECT_EQ(hit.Block, c.Block);
        EXPECT_EQ(hit.Row, c.Row);
        EXPECT_EQ(hit.Column, c.Column);
    }
}

TEST_F(MonthCalendarTest, NeighbouringDaysOnlyOutsideTheOuterBlocks) {
    const QDate march(2026, 3, 1);
    const struct {
        QDate Cell;
        int Block, Months;
        bool Shown;
    } cases[] = {
        {{2026, 2, 28}, 0, 1, true}, {{2026, 4, 1}, 0, 1, true},  {{2026, 3, 31}, 1, 3, true},
        {{2026, 2, 28}, 0, 2, true}, {{2026, 4, 1}, 0, 2, false}, {{2026, 2, 28}, 1, 2, false},
        {{2026, 4, 1}, 1, 2, true},  {{2026, 4, 1}, 1, 3, false}, {{2026, 2, 28}, 2, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Cell.toString(Qt::ISODate).toStdString() << " block " << c.Block);
        EXPECT_EQ(TMonthCalendarLayout::IsCellShown(c.Cell, march, c.Block, c.Months), c.Shown);
    }
}

TEST_F(MonthCalendarTest, DayCellColours) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Active, QPalette::Text, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::gray);
    palette.setColor(QPalette::Active, QPalette::Base, Qt::yellow);
    palette.setColor(QPalette::Active, QPalette::Highlight, Qt::blue);
    palette.setColor(QPalette::Active, QPalette::Button, Qt::lightGray);
    const struct {
        bool Selected, InShown, Today, Flat;
        Qt::GlobalColor Text, Back;
    } cases[] = {
        {false, true, false, true, Qt::black, Qt::yellow},
        {false, false, false, true, Qt::gray, Qt::yellow},
        {true, true, false, false, Qt::white, Qt::blue},
        {true, false, true, true, Qt::white, Qt::lightGray},
        {false, true, true, false, Qt::black, Qt::yellow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Selected << c.InShown << c.Today << c.Flat);
        const TDayCellColors colors =
            DayCellColors({QDate(2026, 3, 2), c.Selected, c.InShown, c.Today}, palette, c.Flat, {});
        EXPECT_EQ(colors.Text, QColor(c.Text));
        EXPECT_EQ(colors.Background, QColor(c.Back));
        EXPECT_EQ(colors.TodayFrame, c.Today);
    }
    // The owner's hook sees the day and its text colour and may replace only the background.
    QDate seenDate;
    QColor seenFont;
    const TCalcDateColorsEvent hook = [&](const QDate& date, bool selected, const QColor& font,
                                          QColor& back) {
        seenDate = date;
        seenFont = font;
        if (selected)
            back = QColor(0, 0, 128);
    };
    const TDayCellColors hooked = DayCellColors({QDate(2026, 3, 2), true, true, false}, palette, true, hook);
    EXPECT_EQ(seenDate, QDate(2026, 3, 2));
    EXPECT_EQ(seenFont, QColor(Qt::white));
    EXPECT_EQ(hooked.Background, QColor(0, 0, 128));
    EXPECT_EQ(hooked.Text, QColor(Qt::white));
    EXPECT_EQ(DayCellColors({QDate(2026, 3, 2), false, true, false}, palette, true, hook).Background,
              QColor(Qt::yellow));
}

} // namespace
