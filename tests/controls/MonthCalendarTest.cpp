#include "controls/dates/MonthCalendar.h"
#include "controls/dates/CalendarDialog.h"
#include "controls/dates/CalendarDialogRules.h"
#include "core/dates/DateNumbers.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ServicesFixture.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Every calendar test runs on Sunday 15 March 2026 at 14:30, so today is known and has a time.
class MonthCalendarTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2026, 3, 15), QTime(14, 30))));
    }
    static double Day(int year, int month, int day) { return EncodeDateNum(year, month, day); }
};

const double NaN = std::numeric_limits<double>::quiet_NaN();

TEST_F(MonthCalendarTest, OpeningDayFallsBackToAValidFallbackThenToday) {
    const double today = Day(2026, 3, 15);
    const double periodEnd = Day(2025, 6, 30);
    const struct {
        double DateNum, Fallback, Expected;
    } cases[] = {
        // clang-format off
        {Day(2024, 2, 29), periodEnd, Day(2024, 2, 29)}, {Day(2024, 2, 29) + 0.75, -1, Day(2024, 2, 29)},
        {0, periodEnd, periodEnd}, {-5, periodEnd + 0.5, periodEnd}, {NaN, periodEnd, periodEnd},
        {MaxDateNum + 1, periodEnd, periodEnd}, {0, -1, today},
        // A fallback that names no day either opens on today.
        {0, 0, today}, {0, NaN, today}, {-3, MaxDateNum + 7, today},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.DateNum << " / " << c.Fallback);
        EXPECT_EQ(CalendarOpeningDateNum(c.DateNum, c.Fallback), c.Expected);
    }
    // The result is a whole day too, and today has no time of day.
    EXPECT_EQ(CalendarResultDateNum(Day(2026, 1, 31) + 0.99), Day(2026, 1, 31));
    EXPECT_EQ(CalendarResultDateNum(NullDate + DateNumOffset), today);
    EXPECT_EQ(CalendarResultDateNum(NaN), today);
}

// A day's cell in client coordinates.
QRect DayCell(const TCustomdxCalendar& calendar, int block, const QDate& date) {
    return calendar.CellRect(
        block, static_cast<int>(calendar.FirstGridDateOf(calendar.BlockMonth(block)).daysTo(date)));
}

// Two months from March 2026, measured on a "0" of 6 x 13 pixels, with 10 March selected.
class TSmallCalendar : public TCustomBTCalendar {
public:
    explicit TSmallCalendar(int months = 1) {
        SetDigitSize(6, 13);
        SetMonthAcross(months);
        SetFirstDate(DateFromQDate(QDate(2026, 3, 1)));
        SetSelStart(DateFromQDate(QDate(2026, 3, 10)));
    }
    QDate Selected() const { return QDateFromDate(GetSelStart()); }
};

TEST_F(MonthCalendarTest, EnterChoosesAndNavigationKeysMove) {
    using R = TCalendarKeyResult;
    TSmallCalendar calendar;
    // Day: the day of March selected after the key.
    // clang-format off
    const struct { int Key; Qt::KeyboardModifiers Modifiers; R Result; int Day; } cases[] = {
        {Qt::Key_Return, {}, R::Chosen, 10}, {Qt::Key_Enter, {}, R::Chosen, 10}, {Qt::Key_Escape, {}, R::Ignored, 10},
        {Qt::Key_Down, Qt::AltModifier, R::Ignored, 10}, {Qt::Key_Down, {}, R::Moved, 17}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        EXPECT_EQ(calendar.HandleKey(c.Key, c.Modifiers), c.Result);
        EXPECT_EQ(calendar.Selected(), QDate(2026, 3, c.Day));
    }
    EXPECT_TRUE(TCustomBTCalendar::ClaimsKey(Qt::Key_Home));
    EXPECT_FALSE(TCustomBTCalendar::ClaimsKey(Qt::Key_Return));
}

TEST_F(MonthCalendarTest, PickedMonthShowsInTheBlockWhoseCaptionWasPressed) {
    const struct {
        int Block;
        QDate Picked, FirstShown;
    } cases[] = {{1, {2026, 6, 1}, {2026, 5, 1}}, {0, {2025, 12, 1}, {2025, 12, 1}}, {1, {}, {2026, 3, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Block);
        TSmallCalendar calendar(2);
        EXPECT_EQ(calendar.Press(calendar.CaptionRect(c.Block).center()).Kind, TCalendarPress::MonthList);
        EXPECT_EQ(calendar.MonthListBlock(), c.Block);
        EXPECT_EQ(calendar.HandleKey(Qt::Key_Return, {}), TCalendarKeyResult::Ignored);
        EXPECT_FALSE(calendar.EndPress(true));
        calendar.CloseMonthList(c.Picked);
        EXPECT_EQ(calendar.BlockMonth(0), c.FirstShown);
        EXPECT_EQ(calendar.Selected(), QDate(2026, 3, 10));
    }
}

// A day press chooses only when released inside; an arrow press steps at once and repeats only
// while the pointer stays over it, leaving the selection alone.
TEST_F(MonthCalendarTest, PressesEndAsTheirKindSays) {
    TSmallCalendar calendar(2);
    EXPECT_EQ(calendar.Press(DayCell(calendar, 1, {2026, 4, 20}).center()).Kind, TCalendarPress::Day);
    EXPECT_TRUE(calendar.EndPress(true));
    calendar.Press(DayCell(calendar, 0, {2026, 3, 2}).center());
    EXPECT_FALSE(calendar.EndPress(false));
    calendar.Press(DayCell(calendar, 0, {2026, 3, 2}).center());
    calendar.CancelPress();
    const QPoint right = calendar.RightArrowRect().center();
    EXPECT_EQ(calendar.Press(right).Step, 1);
    EXPECT_FALSE(calendar.ArrowTick(calendar.LeftArrowRect().center()));
    EXPECT_TRUE(calendar.ArrowTick(right));
    EXPECT_FALSE(calendar.EndPress(true));
    EXPECT_FALSE(calendar.ArrowTick(right));
    EXPECT_EQ(calendar.Press(calendar.LeftArrowRect().center()).Step, -1);
    EXPECT_EQ(calendar.BlockMonth(0), QDate(2026, 4, 1));
    EXPECT_EQ(calendar.Selected(), QDate(2026, 4, 20));
}

void SendMouse(TbtCalendar& calendar, QEvent::Type type, const QPoint& pos) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, calendar.mapToGlobal(pos), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&calendar, &event);
}

// A day's cell in the widget's coordinates.
QRect DayRect(const TbtCalendar& calendar, int block, const QDate& date) {
    return DayCell(calendar, block, date).translated(calendar.ClientOrigin());
}

TEST_F(MonthCalendarTest, WindowOpensOnTheDayWithMondayFirstAndNavySelection) {
    TfmCalendar dialog;
    TbtCalendar& calendar = *dialog.btcCalendar;
    // A day that March's grid also shows still opens its own month.
    dialog.SetDate(0, Day(2026, 2, 28));
    EXPECT_EQ(calendar.BlockMonth(0), QDate(2026, 2, 1));
    dialog.SetDate(Day(2026, 3, 15), -1);
    EXPECT_EQ(calendar.FirstGridDateOf(QDate(2026, 3, 1)).dayOfWeek(), Qt::Monday);
    const QRect sunday = DayRect(calendar, 0, QDate(2026, 3, 15));
    const QRect monday = DayRect(calendar, 0, QDate(2026, 3, 9));
    EXPECT_EQ(monday.left(), calendar.ClientOrigin().x() + calendar.Metrics().SideMargin);
    const QImage image = calendar.grab().toImage();
    EXPECT_EQ(image.pixelColor(sunday.topLeft() + QPoint(2, 2)), QColor(0, 0, 128));
    // Today (15 March) is framed in dark red.
    EXPECT_EQ(image.pixelColor(sunday.topLeft()), TodayFrameColor);
}

TEST_F(MonthCalendarTest, EnterAndDoubleClickAreOKAndEscapeIsCancel) {
    const struct {
        QList<Qt::Key> Keys;
        int DoubleClicked; // day of March, 0 for none
        int Result;
        int Picked; // day of March
    } cases[] = {{{Qt::Key_Return}, 0, QDialog::Accepted, 15},
                 {{}, 20, QDialog::Accepted, 20},
                 {{Qt::Key_Down, Qt::Key_Escape}, 0, QDialog::Rejected, 22}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Keys.size() << " keys");
        TfmCalendar dialog;
        dialog.SetDate(0, Day(2026, 3, 15));
        TbtCalendar* calendar = dialog.btcCalendar;
        QTimer::singleShot(0, &dialog, [&] {
            for (Qt::Key key : c.Keys)
                QTest::keyClick(calendar, key);
            if (c.DoubleClicked)
                QTest::mouseDClick(calendar, Qt::LeftButton, {},
                                   DayRect(*calendar, 0, {2026, 3, c.DoubleClicked}).center());
        });
        // A window that does not close by itself ends with a result no case expects.
        QTimer::singleShot(5000, &dialog, [&] { dialog.done(-1); });
        EXPECT_EQ(dialog.exec(), c.Result);
        EXPECT_EQ(dialog.GetDate(), Day(2026, 3, c.Picked));
    }
}

TEST_F(MonthCalendarTest, TwoMonthsHaveTheRightArrowOverTheSecond) {
    TbtCalendar calendar;
    calendar.SetMonthAcross(2);
    calendar.SetFirstDate(DateFromQDate(QDate(2026, 3, 1)));
    // The frame goes once round both months.
    EXPECT_EQ(calendar.width(), 2 * calendar.CalendarWidth() + 2);
    calendar.SetFlat(false);
    EXPECT_EQ(calendar.width(), 2 * calendar.CalendarWidth() + 4);
    const QPoint arrow = calendar.RightArrowRect().center() + calendar.ClientOrigin();
    const QImage image = calendar.grab().toImage();
    const QColor arrowColor = calendar.palette().color(QPalette::ButtonText);
    EXPECT_EQ(image.pixelColor(arrow), arrowColor);
    EXPECT_NE(image.pixelColor(arrow - QPoint(calendar.CalendarWidth(), 0)), arrowColor);

    SendMouse(calendar, QEvent::MouseButtonPress, arrow);
    EXPECT_EQ(calendar.BlockMonth(1), QDate(2026, 5, 1));
    // Held down, the arrow repeats.
    for (int wait = 0; wait < 100 && calendar.BlockMonth(0) == QDate(2026, 4, 1); ++wait)
        QTest::qWait(20);
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
    const TdxCalenMonthListBox& list = *calendar.MonthListBox();
    // The list runs from January to July 2026; item 5 is June.
    const int itemHeight = list.Rules().ItemHeight;
    const QPoint june = list.mapToGlobal(QPoint(list.width() / 2, 1 + 5 * itemHeight + itemHeight / 2));
    SendMouse(calendar, QEvent::MouseMove, calendar.mapFromGlobal(june));
    SendMouse(calendar, QEvent::MouseButtonRelease, calendar.mapFromGlobal(june));
    EXPECT_EQ(calendar.MonthListBox(), nullptr);
    EXPECT_EQ(calendar.BlockMonth(1), QDate(2026, 6, 1));
    EXPECT_EQ(chosen.count(), 0);
    // A day released inside, and Enter, are choices.
    const QPoint day = DayRect(calendar, 1, QDate(2026, 6, 3)).center();
    SendMouse(calendar, QEvent::MouseButtonPress, day);
    SendMouse(calendar, QEvent::MouseButtonRelease, day);
    QTest::keyClick(&calendar, Qt::Key_Return);
    EXPECT_EQ(chosen.count(), 2);
}

} // namespace
