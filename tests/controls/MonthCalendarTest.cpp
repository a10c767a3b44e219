#include "controls/dates/MonthCalendar.h"
#include "controls/dates/CalendarDialog.h"
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

// Sends a mouse event with the left button held to a point of the calendar.
void SendMouse(TbtCalendar& calendar, QEvent::Type type, const QPoint& pos) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, calendar.mapToGlobal(pos), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&calendar, &event);
}

// A day's cell in the calendar's own coordinates.
QRect DayRect(const TbtCalendar& calendar, int block, const QDate& date) {
    const int cell = static_cast<int>(calendar.FirstGridDateOf(calendar.BlockMonth(block)).daysTo(date));
    return calendar.CellRect(block, cell).translated(calendar.ClientOrigin());
}

TEST_F(MonthCalendarTest, WindowOpensOnTheDayWithMondayFirstAndNavySelection) {
    TfmCalendar dialog;
    dialog.SetDate(Day(2026, 3, 15), -1);
    TbtCalendar& calendar = *dialog.btcCalendar;
    EXPECT_EQ(calendar.BlockMonth(0), QDate(2026, 3, 1));
    EXPECT_EQ(calendar.ColumnOf(QDate(2026, 3, 16)), 0);
    EXPECT_EQ(calendar.FirstGridDateOf(QDate(2026, 3, 1)).dayOfWeek(), Qt::Monday);
    const QImage image = calendar.grab().toImage();
    const QRect selected = DayRect(calendar, 0, QDate(2026, 3, 15));
    EXPECT_EQ(selected.left(),
              DayRect(calendar, 0, QDate(2026, 3, 9)).left() + 6 * calendar.Metrics().ColumnWidth);
    EXPECT_EQ(image.pixelColor(selected.topLeft() + QPoint(2, 2)), QColor(0, 0, 128));
    // Today (15 March) is framed in dark red; the next day is not selected.
    EXPECT_EQ(image.pixelColor(selected.topLeft()), QColor(TodayFrameColor));
    const QRect monday = DayRect(calendar, 0, QDate(2026, 3, 16));
    EXPECT_EQ(image.pixelColor(monday.topLeft() + QPoint(2, 2)), calendar.palette().color(QPalette::Base));
    EXPECT_GE(dialog.width(), 153);
    EXPECT_GE(dialog.height(), 128);
}

TEST_F(MonthCalendarTest, EnterAndDoubleClickAreOKAndEscapeIsCancel) {
    const struct {
        const char* Name;
        std::function<void(TbtCalendar&)> Act;
        int Result;
        QDate Picked;
    } cases[] = {
        {"Enter",
         [](TbtCalendar& c) { QTest::keyClick(&c, Qt::Key_Return); },
         QDialog::Accepted,
         {2026, 3, 15}},
        {"Right, Enter",
         [](TbtCalendar& c) {
             QTest::keyClick(&c, Qt::Key_Right);
             QTest::keyClick(&c, Qt::Key_Enter);
         },
         QDialog::Accepted,
         {2026, 3, 16}},
        {"double click",
         [](TbtCalendar& c) {
             QTest::mouseDClick(&c, Qt::LeftButton, {}, DayRect(c, 0, QDate(2026, 3, 20)).center());
         },
         QDialog::Accepted,
         {2026, 3, 20}},
        {"Escape",
         [](TbtCalendar& c) {
             QTest::keyClick(&c, Qt::Key_Down);
             QTest::keyClick(&c, Qt::Key_Escape);
         },
         QDialog::Rejected,
         {2026, 3, 22}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TfmCalendar dialog;
        dialog.SetDate(0, Day(2026, 3, 15));
        QTimer::singleShot(0, &dialog, [&] { c.Act(*dialog.btcCalendar); });
        // A window that does not close by itself ends with a result no case expects.
        QTimer::singleShot(5000, &dialog, [&] { dialog.done(-1); });
        EXPECT_EQ(dialog.exec(), c.Result);
        EXPECT_EQ(dialog.GetDate(), Day(c.Picked.year(), c.Picked.month(), c.Picked.day()));
    }
}

TEST_F(MonthCalendarTest, TwoMonthsHaveTheRightArrowOverTheSecond) {
    TbtCalendar calendar;
    calendar.SetMonthAcross(2);
    calendar.SetFirstDate(DateFromQDate(QDate(2026, 3, 1)));
    EXPECT_EQ(calendar.width(), 2 * calendar.CalendarWidth() + 2 * calendar.Metrics().FrameWidth());
    const QPoint arrow = calendar.RightArrowRect().center() + calendar.ClientOrigin();
    EXPECT_GT(arrow.x(), calendar.ClientOrigin().x() + calendar.CalendarWidth());
    const QImage image = calendar.grab().toImage();
    const QColor arrowColor = calendar.palette().color(QPalette::ButtonText);
    EXPECT_EQ(image.pixelColor(arrow), arrowColor);
    EXPECT_NE(image.pixelColor(arrow - QPoint(calendar.CalendarWidth(), 0)), arrowColor);

    SendMouse(calendar, QEvent::MouseButtonPress, arrow);
    EXPECT_EQ(calendar.BlockMonth(1), QDate(2026, 5, 1));
    // Held down, the arrow repeats.
    for (int wait = 0; wait < 100 && calendar.BlockMonth(0) == QDate(2026, 4, 1); ++wait)
        QTest::qWait(20);
    SendMouse(calendar, QEvent::MouseButtonRelease, arrow);
    EXPECT_GT(calendar.BlockMonth(0), QDate(2026, 4, 1));
}

TEST_F(MonthCalendarTest, MonthListFromTheSecondCaptionFillsTheSecondBlock) {
    TbtCalendar calendar;
    calendar.SetMonthAcross(2);
    calendar.SetFirstDate(DateFromQDate(QDate(2026, 3, 1)));
    calendar.show();
    QSignalSpy chosen(&calendar, &TbtCalendar::selectionChanged);
    SendMouse(calendar, QEvent::MouseButtonPress, calendar.CaptionRect(1).center() + calendar.ClientOrigin());
    ASSERT_NE(calendar.MonthListBox(), nullptr);
    const TBTCalenMonthListBox& list = *calendar.MonthListBox();
    EXPECT_TRUE(list.isVisible());
    // The list runs from January to July 2026; item 5 is June.
    const int itemHeight = calendar.MonthList()->ItemHeight;
    const QPoint june = list.mapToGlobal(QPoint(list.width() / 2, 1 + 5 * itemHeight + itemHeight / 2));
    SendMouse(calendar, QEvent::MouseMove, calendar.mapFromGlobal(june));
    EXPECT_EQ(calendar.MonthList()->SelectedIndex, 5);
    SendMouse(calendar, QEvent::MouseButtonRelease, calendar.mapFromGlobal(june));
    EXPECT_EQ(calendar.MonthListBox(), nullptr);
    EXPECT_EQ(calendar.BlockMonth(1), QDate(2026, 6, 1));
    EXPECT_EQ(chosen.count(), 0);
    // A day released inside, and Enter, are choices.
    SendMouse(calendar, QEvent::MouseButtonPress, DayRect(calendar, 1, QDate(2026, 6, 3)).center());
    SendMouse(calendar, QEvent::MouseButtonRelease, DayRect(calendar, 1, QDate(2026, 6, 3)).center());
    QTest::keyClick(&calendar, Qt::Key_Return);
    EXPECT_EQ(chosen.count(), 2);
    EXPECT_EQ(QDateFromDate(calendar.GetSelStart()), QDate(2026, 6, 3));
}

} // namespace
