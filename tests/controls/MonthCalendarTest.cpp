#include "controls/dates/CalendarDialogRules.h"
#include "controls/dates/MonthCalendarRules.h"
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

// A calendar measured on a "0" of 6 x 13 pixels, so that one flat month is 152 x 127 like the
// pop-up window's calendar; it shows March 2026 with 10 March selected.
class TSmallCalendar : public TCustomBTCalendar {
public:
    explicit TSmallCalendar(int months = 1) {
        SetDigitSize(6, 13);
        SetMonthAcross(months);
        SetFirstDate(DateFromQDate(QDate(2026, 3, 1)));
        SetSelStart(DateFromQDate(QDate(2026, 3, 10)));
    }
    QPoint CentreOfDay(int block, const QDate& date) const {
        return CellRect(block, static_cast<int>(FirstGridDateOf(BlockMonth(block)).daysTo(date))).center();
    }
};

TEST_F(MonthCalendarTest, SizeFollowsFontFrameAndMonths) {
    const struct {
        bool Flat;
        int Months;
        QSize Size;
    } cases[] = {
        {true, 1, {152, 127}}, {false, 1, {154, 129}}, {true, 2, {302, 127}}, {false, 3, {454, 129}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Flat << " " << c.Months);
        TSmallCalendar calendar(c.Months);
        calendar.SetFlat(c.Flat);
        calendar.SetMonthDown(2);
        EXPECT_EQ(calendar.ControlSize(), c.Size);
        EXPECT_EQ(calendar.CalendarWidth(), 150);
    }
}

TEST_F(MonthCalendarTest, EnterChoosesAndNavigationKeysMove) {
    TSmallCalendar calendar;
    const struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        TCalendarKeyResult Result;
        QDate Selected;
    } cases[] = {
        {Qt::Key_Return, {}, TCalendarKeyResult::Chosen, {2026, 3, 10}},
        {Qt::Key_Enter, {}, TCalendarKeyResult::Chosen, {2026, 3, 10}},
        {Qt::Key_Escape, {}, TCalendarKeyResult::Ignored, {2026, 3, 10}},
        {Qt::Key_F4, {}, TCalendarKeyResult::Ignored, {2026, 3, 10}},
        {Qt::Key_Down, Qt::AltModifier, TCalendarKeyResult::Ignored, {2026, 3, 10}},
        {Qt::Key_Down, {}, TCalendarKeyResult::Moved, {2026, 3, 17}},
        {Qt::Key_PageDown, {}, TCalendarKeyResult::Moved, {2026, 4, 17}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        EXPECT_EQ(calendar.HandleKey(c.Key, c.Modifiers), c.Result);
        EXPECT_EQ(QDateFromDate(calendar.GetSelStart()), c.Selected);
    }
    EXPECT_TRUE(TCustomBTCalendar::ClaimsKey(Qt::Key_Home));
    EXPECT_FALSE(TCustomBTCalendar::ClaimsKey(Qt::Key_Return));
}

TEST_F(MonthCalendarTest, PickedMonthShowsInTheBlockWhoseCaptionWasPressed) {
    const struct {
        int Block, Item;
        bool Released;
        QDate FirstShown;
    } cases[] = {
        // Block 2 shows April; its list starts three months back, in January; item 5 is June.
        {1, 5, true, {2026, 5, 1}},
        {0, 0, true, {2025, 12, 1}},
        {1, 5, false, {2026, 3, 1}},
        {1, -1, true, {2026, 3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Block << " " << c.Item << " " << c.Released);
        TSmallCalendar calendar(2);
        const TCalendarPress press = calendar.Press(calendar.CaptionRect(c.Block).center());
        EXPECT_EQ(press.Kind, TCalendarPress::MonthList);
        ASSERT_TRUE(calendar.MonthListOpen());
        calendar.MonthList()->SelectedIndex = c.Item;
        EXPECT_EQ(calendar.HandleKey(Qt::Key_Return, {}), TCalendarKeyResult::Ignored);
        c.Released ? (void)calendar.EndPress(true) : calendar.CancelPress();
        EXPECT_FALSE(calendar.MonthListOpen());
        EXPECT_EQ(calendar.BlockMonth(0), c.FirstShown);
        EXPECT_EQ(QDateFromDate(calendar.GetSelStart()), QDate(2026, 3, 10));
    }
}

TEST_F(MonthCalendarTest, ArrowsStepAndRepeatWhileHeld) {
    TSmallCalendar calendar(2);
    const QPoint right = calendar.RightArrowRect().center();
    EXPECT_GT(right.x(), calendar.CalendarWidth());
    EXPECT_EQ(calendar.Press(right).Kind, TCalendarPress::Arrow);
    EXPECT_EQ(calendar.BlockMonth(0), QDate(2026, 4, 1));
    EXPECT_TRUE(calendar.ArrowTick(right));
    EXPECT_FALSE(calendar.ArrowTick(calendar.LeftArrowRect().center()));
    EXPECT_EQ(calendar.BlockMonth(0), QDate(2026, 5, 1));
    EXPECT_FALSE(calendar.EndPress(true));
    EXPECT_FALSE(calendar.ArrowTick(right));
    calendar.Press(calendar.LeftArrowRect().center());
    EXPECT_EQ(calendar.BlockMonth(0), QDate(2026, 4, 1));
    EXPECT_EQ(QDateFromDate(calendar.GetSelStart()), QDate(2026, 3, 10));
}

TEST_F(MonthCalendarTest, DayPressChoosesOnlyWhenReleasedInside) {
    TSmallCalendar calendar(2);
    EXPECT_EQ(calendar.Press(calendar.CentreOfDay(1, QDate(2026, 4, 20))).Kind, TCalendarPress::Day);
    EXPECT_TRUE(calendar.EndPress(true));
    EXPECT_EQ(QDateFromDate(calendar.GetSelStart()), QDate(2026, 4, 20));
    calendar.Press(calendar.CentreOfDay(0, QDate(2026, 3, 2)));
    EXPECT_FALSE(calendar.EndPress(false));
    EXPECT_EQ(QDateFromDate(calendar.GetSelStart()), QDate(2026, 4, 20));
    calendar.Press(calendar.CentreOfDay(0, QDate(2026, 3, 2)));
    calendar.CancelPress();
    EXPECT_EQ(QDateFromDate(calendar.GetSelStart()), QDate(2026, 4, 20));
}

} // namespace
