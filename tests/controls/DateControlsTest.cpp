#include "controls/dates/CalendarModel.h"
#include "controls/dates/CalendarPainter.h"
#include "controls/dates/DateEdit.h"
#include "controls/dates/DateEditRules.h"
#include "controls/dates/DateNavigator.h"
#include "core/common/RegionalSettings.h"
#include "core/services/Services.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompt.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>
#include <memory>

namespace {

double D(int year, int month, int day) {
    return DateFromQDate(QDate(year, month, day));
}

TDateLocale LocaleOf(const QString& format, QChar separator = QLatin1Char('/'), int firstDay = 0) {
    TDateLocale locale = TDateLocale::Program();
    locale.ShortDateFormat = format;
    locale.DateSeparator = separator;
    locale.FirstDayOfWeek = firstDay;
    return locale;
}

// Every date test runs on Sunday 15 March 2026 with the program's default formats.
class DateControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TServices::Reset();
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2026, 3, 15), QTime(10, 30))));
    }
    void TearDown() override { TServices::Reset(); }
};

// A calendar model that counts its repaints.
class TCountingCalendar : public TCustomdxCalendar {
public:
    int Repaints = 0;

protected:
    void Changed() override { ++Repaints; }
};

TEST_F(DateControlsTest, ValuesCountDaysFromTheEndOf1899) {
    EXPECT_EQ(D(1899, 12, 30), 0.0);
    EXPECT_EQ(D(1900, 3, 1), 61.0);
    EXPECT_EQ(D(2005, 2, 1), 38384.0);
    EXPECT_EQ(QDateFromDate(38384.75), QDate(2005, 2, 1));
    EXPECT_EQ(DateOf(2.99999999999), 3.0);
    EXPECT_EQ(DateOf(-1.5), -1.0);
    EXPECT_EQ(DateOf(NullDate), NullDate);
    EXPECT_FALSE(OptionalQDate(NullDate).has_value());
    EXPECT_EQ(DateFromQDate(QDate()), NullDate);
}

TEST_F(DateControlsTest, MaskFollowsTheShortDateFormat) {
    struct TCase {
        const char* Format;
        char Separator;
        const char* Mask;
        const char* Empty;
    } const cases[] = {
        {"d/MM/yyyy", '/', "00/00/0000; ", "  /  /    "},  {"dd-MMM-yy", '/', "00-aaa-00; ", "  -   -  "},
        {"DD/MM/YY", '.', "00.00.00; ", "  .  .  "},       {"yyyy/m/d", '-', "0000-00-00; ", "    -  -  "},
        {"dd\"h\"MM/yy", '/', "00\\h00/00; ", "  h  /  "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Format);
        const TDateMask mask(LocaleOf(c.Format, QLatin1Char(c.Separator)));
        EXPECT_EQ(mask.InputMask(), c.Mask);
        EXPECT_EQ(mask.EmptyText(), c.Empty);
    }
}

TEST_F(DateControlsTest, FormatRightJustifiesEachField) {
    struct TCase {
        const char* Format;
        double Date;
        const char* Text;
    } const cases[] = {
        {"d/MM/yyyy", D(2005, 2, 1), " 1/02/2005"}, {"dd-MMM-yy", D(2005, 2, 1), "01-Feb-05"},
        {"DD/MM/YY", D(2026, 12, 31), "31/12/26"},  {"m/d/yyyy", D(1999, 7, 4), " 7/ 4/1999"},
        {"DD/MM/YY", NullDate, "  /  /  "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Format);
        EXPECT_EQ(TDateMask(LocaleOf(c.Format)).Format(c.Date), c.Text);
    }
}

TEST_F(DateControlsTest, TextReadsAsADate) {
    struct TCase {
        const char* Format;
        char Separator;
        const char* Text;
        double Date;
    } const cases[] = {
        {"DD/MM/YY", '/', "1.2.2005", D(2005, 2, 1)},
        {"DD/MM/YY", '/', "1 /2 /05", D(2005, 2, 1)},
        {"DD/MM/YY", '/', "1/2/89", D(2089, 2, 1)},
        {"DD/MM/YY", '/', "1/2/90", D(1990, 2, 1)},
        {"DD/MM/YY", '/', "15/3", D(2026, 3, 15)},
        {"DD/MM/YY", '/', "31/02/2005", NullDate},
        {"DD/MM/YY", '/', "29/02/2024", D(2024, 2, 29)},
        {"DD/MM/YY", '/', "  /  /  ", NullDate},
        {"DD/MM/YY", '/', "1/2/3/4", NullDate},
        {"DD/MM/YY", '/', "1/x/2005", NullDate},
        {"DD/MM/YY", '/', "12/  /05", NullDate},
        {"dd-MMM-yy", '/', "01-Feb-05", D(2005, 2, 1)},
        {"dd-MMM-yy", '/', "1 FEBRUARY 2005", D(2005, 2, 1)},
        {"MM/dd/yyyy", '/', "12/25/2005", D(2005, 12, 25)},
        {"yyyy-mm-dd", '-', "2005-02-01", D(2005, 2, 1)},
        {"dd.MM.yyyy", '.', " 1. 2.2005", D(2005, 2, 1)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(TextToDate(c.Text, LocaleOf(c.Format, QLatin1Char(c.Separator)), 2026), c.Date);
    }
}

TEST_F(DateControlsTest, ExitTakesReadableDatesAndEmptiesTheRest) {
    const TDateMask mask(LocaleOf("DD/MM/YY"));
    struct TCase {
        const char* Text;
        bool Modified;
        double Date;
        bool KeepFocus;
    } const cases[] = {
        {"  /  /  ", true, NullDate, false},      {"31/02/05", true, NullDate, false},
        {" 1/ 2/05", true, D(2005, 2, 1), false}, {"12/  /05", true, NullDate, true},
        {"12/  /05", false, NullDate, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TDateExit verdict = DateExit(c.Text, c.Modified, mask, 2026);
        EXPECT_EQ(verdict.Date, c.Date);
        EXPECT_EQ(verdict.KeepFocus, c.KeepFocus);
    }
}

TEST_F(DateControlsTest, GridStartsOnTheFirstDayOfTheWeekWithOneDayBefore) {
    struct TCase {
        int FirstDay;
        QDate Month;
        QDate FirstCell;
    } const cases[] = {
        {0, QDate(2026, 3, 1), QDate(2026, 2, 22)}, // the 1st is a Sunday: a whole week before
        {1, QDate(2026, 3, 1), QDate(2026, 2, 23)},
        {1, QDate(2026, 6, 1), QDate(2026, 5, 25)}, // the 1st is a Monday
        {0, QDate(2026, 6, 1), QDate(2026, 5, 31)},
        {6, QDate(2005, 2, 1), QDate(2005, 1, 29)},
    };
    TCustomdxCalendar calendar;
    for (const TCase& c : cases) {
        SCOPED_TRACE((c.Month.toString() + QString::number(c.FirstDay)).toStdString());
        calendar.SetFirstDayOfWeek(c.FirstDay);
        EXPECT_EQ(calendar.FirstGridDateOf(c.Month), c.FirstCell);
        EXPECT_EQ(calendar.ColumnOf(c.FirstCell), 0);
    }
}

// The grid always holds six week rows, flat or sunken, whether the month's own days take four,
// five or six of them: the calendar keeps one height from month to month, with the line under
// the last row. Font "0" of 7 x 13: header 18 (17 sunken, then the 1-pixel edge), day names 16,
// rows 15.
TEST_F(DateControlsTest, GridHeightIsSixRowsWhateverTheMonth) {
    struct TCase {
        QDate Month;
        int LastDayRow; // the row (from 0) of the month's last day, Sunday first
    } const cases[] = {
        {QDate(2015, 2, 1), 4}, // a Sunday the 1st and 28 days: four rows after the week before
        {QDate(2026, 6, 1), 4}, // five rows from the first
        {QDate(2026, 3, 1), 5}, // the 1st on a Sunday, 31 days: five rows after the week before
        {QDate(2015, 8, 1), 5}, // a Saturday the 1st and 31 days: six rows
    };
    for (const bool flat : {true, false})
        for (const TCase& c : cases) {
            SCOPED_TRACE((c.Month.toString() + (flat ? " flat" : " sunken")).toStdString());
            TCustomdxCalendar calendar;
            calendar.SetMetrics(TCalendarMetrics::FromFont(7, 13, flat));
            calendar.SetFirstDate(DateFromQDate(c.Month));
            EXPECT_EQ(calendar.ClientSize(), QSize(7 * 21 + 2 * 14, 125));
            EXPECT_EQ(calendar.Metrics().GridHeight(), 125);
            EXPECT_EQ(calendar.CellRect(0, 41).bottom(), 123); // the line under it is row 124
            const QDate last = c.Month.addMonths(1).addDays(-1);
            const int cell = int(calendar.FirstGridDateOf(c.Month).daysTo(last));
            EXPECT_EQ(cell / 7, c.LastDayRow);
            const TCalendarHit hit = calendar.HitTest(calendar.CellRect(0, cell).center());
            EXPECT_EQ(std::pair(int(hit.Kind), hit.Date),
                      std::pair(int(TCalendarHit::Day), DateFromQDate(last)));
        }
}

TEST_F(DateControlsTest, KeysMoveAndClamp) {
    struct TCase {
        int FirstDay;
        double From;
        int Key;
        Qt::KeyboardModifiers Modifiers;
        double To;
    } const cases[] = {
        {0, D(2024, 1, 31), Qt::Key_PageDown, {}, D(2024, 2, 29)},
        {0, D(2025, 1, 31), Qt::Key_PageDown, {}, D(2025, 2, 28)},
        {0, D(2025, 3, 31), Qt::Key_PageUp, {}, D(2025, 2, 28)},
        {0, D(2025, 12, 15), Qt::Key_PageDown, {}, D(2026, 1, 15)},
        {0, D(2026, 3, 18), Qt::Key_Home, {}, D(2026, 3, 15)},
        {0, D(2026, 3, 18), Qt::Key_End, {}, D(2026, 3, 21)},
        {1, D(2026, 3, 18), Qt::Key_End, {}, D(2026, 3, 22)},
        {1, D(2026, 3, 22), Qt::Key_Home, {}, D(2026, 3, 16)},
        {0, D(2024, 2, 10), Qt::Key_Home, Qt::ControlModifier, D(2024, 2, 1)},
        {0, D(2024, 2, 10), Qt::Key_End, Qt::ControlModifier, D(2024, 2, 29)},
        {0, D(2026, 3, 1), Qt::Key_Left, {}, D(2026, 2, 28)},
        {0, D(2026, 12, 31), Qt::Key_Right, {}, D(2027, 1, 1)},
        {0, D(2026, 3, 4), Qt::Key_Up, {}, D(2026, 2, 25)},
        {0, D(2026, 3, 28), Qt::Key_Down, {}, D(2026, 4, 4)},
    };
    TCustomdxCalendar calendar;
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << QDateFromDate(c.From).toString().toStdString() << " key " << c.Key);
        calendar.SetFirstDayOfWeek(c.FirstDay);
        EXPECT_EQ(calendar.Navigate(c.From, c.Key, c.Modifiers), c.To);
    }
    EXPECT_FALSE(calendar.Navigate(D(2026, 3, 4), Qt::Key_Down, Qt::AltModifier).has_value());
    EXPECT_FALSE(calendar.Navigate(D(2026, 3, 4), Qt::Key_Return, {}).has_value());
}

TEST_F(DateControlsTest, LeftFromTheFirstCellShowsThePreviousMonth) {
    TCountingCalendar calendar;
    calendar.SetSelStart(D(2026, 3, 10));
    calendar.SetSelStart(calendar.GetFirstGridDate());
    EXPECT_EQ(calendar.FirstDate(), D(2026, 3, 1)); // 22 Feb is in March's grid
    calendar.Repaints = 0;
    ASSERT_TRUE(calendar.MoveByKey(Qt::Key_Left, {}));
    EXPECT_EQ(calendar.GetSelStart(), D(2026, 2, 21));
    EXPECT_EQ(calendar.FirstDate(), D(2026, 2, 1));
    EXPECT_GT(calendar.Repaints, 0);
    ASSERT_TRUE(calendar.MoveByKey(Qt::Key_PageDown, {}));
    EXPECT_EQ(calendar.GetSelStart(), D(2026, 3, 21));
    EXPECT_EQ(calendar.FirstDate(), D(2026, 3, 1));
}

// A three-month calendar in period mode: press, drag and release.
TEST_F(DateControlsTest, DragIsCutTo42DaysAndRestoredOutside) {
    TCustomdxCalendar calendar;
    calendar.SetMonthAcross(3);
    calendar.SetSelectPeriod(true);
    calendar.SetFirstDate(D(2026, 1, 1));
    calendar.SetSelStart(D(2026, 1, 5));

    const QPoint jan20 = calendar.CellRect(0, 23).center(); // Jan grid starts on 28 Dec
    ASSERT_EQ(calendar.DateAtPos(jan20), D(2026, 1, 20));
    const int marchCell =
        static_cast<int>(D(2026, 3, 20) - DateFromQDate(calendar.FirstGridDateOf(QDate(2026, 3, 1))));
    const QPoint march20 = calendar.CellRect(2, marchCell).center();
    ASSERT_EQ(calendar.DateAtPos(march20), D(2026, 3, 20));

    calendar.PressDay(D(2026, 1, 20));
    calendar.DragTo(march20, true);
    EXPECT_EQ(calendar.GetSelStart(), D(2026, 1, 20));
    EXPECT_EQ(calendar.GetSelFinish(), D(2026, 1, 20) + 41);
    EXPECT_TRUE(calendar.IsSelected(D(2026, 2, 1)));
    EXPECT_TRUE(calendar.Release(true));
    EXPECT_EQ(calendar.GetSelFinish(), D(2026, 1, 20) + 41);

    calendar.PressDay(D(2026, 3, 20));
    calendar.DragTo(jan20, true);
    EXPECT_EQ(calendar.GetSelStart(), D(2026, 3, 20) - 41);
    EXPECT_EQ(calendar.GetSelFinish(), D(2026, 3, 20));
    calendar.DragTo(QPoint(-5, 40), false);
    EXPECT_EQ(calendar.GetSelStart(), D(2026, 1, 20));
    calendar.DragTo(jan20, true); // back inside: the anchor is the pressed day again
    EXPECT_EQ(calendar.GetSelFinish(), D(2026, 3, 20));
    EXPECT_FALSE(calendar.Release(false));
    EXPECT_EQ(calendar.GetSelStart(), D(2026, 1, 20));
    EXPECT_EQ(calendar.GetSelFinish(), D(2026, 1, 20) + 41);
}

TEST_F(DateControlsTest, SingleDayModeFollowsThePointer) {
    TCustomdxCalendar calendar;
    calendar.SetFirstDate(D(2026, 3, 1));
    calendar.PressDay(D(2026, 3, 10));
    calendar.DragTo(calendar.CellRect(0, 7 + 3).center(), true); // 4 March
    EXPECT_EQ(calendar.GetSelStart(), D(2026, 3, 4));
    EXPECT_EQ(calendar.GetSelFinish(), D(2026, 3, 4));
    EXPECT_EQ(calendar.PressDate(), D(2026, 3, 10));
}

TEST_F(DateControlsTest, NeighbourDaysOnlyOutsideTheOuterBlocks) {
    TCustomdxCalendar calendar;
    calendar.SetMonthAcross(2);
    calendar.SetFirstDate(D(2026, 3, 1));
    EXPECT_EQ(calendar.GetLastDate(), D(2026, 4, 30));
    EXPECT_EQ(calendar.GetLastGridDate(), D(2026, 3, 29) + 41); // April's grid starts 29 March
    EXPECT_TRUE(calendar.IsCellShown(0, QDate(2026, 2, 28)));
    EXPECT_FALSE(calendar.IsCellShown(0, QDate(2026, 4, 1)));
    EXPECT_FALSE(calendar.IsCellShown(1, QDate(2026, 3, 31)));
    EXPECT_TRUE(calendar.IsCellShown(1, QDate(2026, 5, 1)));
    EXPECT_EQ(calendar.DateAtPos(calendar.CellRect(0, 38).center()), NullDate); // 1 April in block 0
    EXPECT_EQ(calendar.DateAtPos(calendar.CellRect(1, 0).center()), NullDate);  // 29 March in block 1
    EXPECT_EQ(calendar.DateAtPos(calendar.CellRect(1, 34).center()), D(2026, 5, 2));

    // Arrow and caption hits over two blocks are pressed in the month calendar's tests.
    EXPECT_EQ(calendar.HitTest(QPoint(calendar.Metrics().BlockWidth() - 2, 2)).Kind, TCalendarHit::Nowhere);
}

TEST_F(DateControlsTest, SelectionBeyondTheGridBringsItsMonthIntoView) {
    TCustomdxCalendar calendar;
    calendar.SetFirstDate(D(2026, 3, 1));
    calendar.SetSelStart(D(2026, 4, 4)); // still in March's grid
    EXPECT_EQ(calendar.FirstDate(), D(2026, 3, 1));
    calendar.SetSelStart(D(2026, 4, 5));
    EXPECT_EQ(calendar.FirstDate(), D(2026, 4, 1));
    calendar.SetSelStart(NullDate);
    EXPECT_FALSE(calendar.IsSelected(D(2026, 4, 5)));
    EXPECT_EQ(calendar.FirstDate(), D(2026, 4, 1));
}

TEST_F(DateControlsTest, PopupFitsTheScreenAndFlipsAbove) {
    const QRect screen(0, 0, 800, 600);
    const QSize popup(150, 160);
    struct TCase {
        QRect Editor;
        QPoint Expected;
    } const cases[] = {
        {QRect(100, 100, 120, 20), QPoint(100, 120)},
        {QRect(100, 420, 120, 20), QPoint(100, 440)}, // ends exactly at the bottom
        {QRect(100, 421, 120, 20), QPoint(100, 261)}, // one pixel more: above
        {QRect(700, 100, 120, 20), QPoint(650, 120)},
        {QRect(-30, 100, 120, 20), QPoint(0, 120)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Editor.x() << "," << c.Editor.y());
        EXPECT_EQ(PlacePopup(c.Editor, popup, screen), c.Expected);
    }
}

TEST_F(DateControlsTest, MonthListScrollsFasterFurtherAway) {
    struct TCase {
        int Y, Step, Interval;
    } const cases[] = {
        {50, 0, 0},    {-1, -1, 500}, {-12, -2, 250}, {-24, -3, 100}, {-200, -4, 50},
        {100, 1, 500}, {110, 1, 500}, {111, 2, 250},  {130, 3, 100},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Y);
        EXPECT_EQ(TMonthListRules::ScrollStep(c.Y, 100), c.Step);
        EXPECT_EQ(TMonthListRules::ScrollInterval(c.Step), c.Interval);
    }
    const TCalendarMetrics metrics = TCalendarMetrics::FromFont(7, 13, true);
    TMonthListRules list = TMonthListRules::For(QDate(2026, 3, 15), metrics);
    EXPECT_EQ(list.TopMonth, QDate(2025, 12, 1));
    const int height = TMonthListRules::Size(metrics).height();
    EXPECT_EQ(list.Track(1 + 3 * list.ItemHeight, height), 0);
    EXPECT_EQ(list.MonthAt(list.SelectedIndex), QDate(2026, 3, 1));
    EXPECT_EQ(list.Track(height + 2, height), 1);
    EXPECT_EQ(list.SelectedIndex, -1);
    list.Scroll(-1);
    EXPECT_EQ(list.TopMonth, QDate(2025, 11, 1));
    const QRect caption(20, 0, 100, 20);
    const QRect placed = TMonthListRules::Placement(caption, metrics);
    EXPECT_LE(std::abs(placed.center().x() - caption.center().x()), 1);
    EXPECT_LE(std::abs(placed.center().y() - caption.center().y()), 1);
    EXPECT_EQ(placed.size(), TMonthListRules::Size(metrics));
}

TEST_F(DateControlsTest, DayColoursFollowSelectionMonthAndHook) {
    TCalendarColors colors;
    colors.Window = Qt::white;
    colors.WindowText = Qt::black;
    colors.Highlight = Qt::blue;
    colors.HighlightText = Qt::yellow;
    colors.ButtonFace = Qt::lightGray;
    colors.GrayText = Qt::gray;
    TCustomdxCalendar calendar;
    calendar.SetFirstDate(D(2026, 3, 1));
    calendar.SetSelStart(D(2026, 3, 31));
    TCalendarPainter painter(calendar, LocaleOf("DD/MM/YY"), colors);
    struct TCase {
        bool Flat;
        double Date;
        QColor Text, Back;
    } const cases[] = {
        {true, D(2026, 3, 31), Qt::yellow, Qt::lightGray}, {false, D(2026, 3, 31), Qt::yellow, Qt::blue},
        {true, D(2026, 3, 1), Qt::black, Qt::white},       {true, D(2026, 2, 28), Qt::gray, Qt::white},
        {true, D(2026, 4, 1), Qt::gray, Qt::white},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Date);
        calendar.SetMetrics(TCalendarMetrics::FromFont(7, 13, c.Flat));
        const TDayColors day = painter.ColorsOf(c.Date);
        EXPECT_EQ(day.Text, c.Text);
        EXPECT_EQ(day.Back, c.Back);
    }
    painter.OnCalcDateColors = [](double, bool selected, const QColor&, QColor& back) {
        if (selected)
            back = QColor(0, 0, 128);
    };
    EXPECT_EQ(painter.ColorsOf(D(2026, 3, 31)).Back, QColor(0, 0, 128));
    EXPECT_EQ(painter.ColorsOf(D(2026, 3, 30)).Back, Qt::white);
}

TEST_F(DateControlsTest, PaintedMonthFramesTodayAndStartsOnMonday) {
    TCustomdxCalendar calendar;
    calendar.SetFirstDayOfWeek(1);
    calendar.SetFirstDate(D(2026, 3, 1));
    calendar.SetSelStart(D(2026, 3, 15));
    TCalendarPainter painter(calendar, LocaleOf("DD/MM/YY"), TCalendarColors::FromPalette(QPalette()));
    painter.OnCalcDateColors = [](double, bool selected, const QColor&, QColor& back) {
        if (selected)
            back = QColor(0, 0, 128);
    };
    EXPECT_EQ(painter.DayLetter(0), "M");
    EXPECT_EQ(painter.DayLetter(6), "S");
    EXPECT_EQ(painter.Caption(QDate(2026, 3, 1)), "March 2026");

    QImage image(calendar.ClientSize(), QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter p(&image);
    painter.Paint(p, D(2026, 3, 10));
    p.end();
    // March 2026 begins on a Sunday: with Monday first it is cell 6, so 10 March is cell 15.
    const QRect today = calendar.CellRect(0, 15);
    const QRect selected = calendar.CellRect(0, 20);
    EXPECT_EQ(QColor(image.pixel(today.topLeft())), TodayFrameColor);
    EXPECT_EQ(QColor(image.pixel(today.bottomRight())), TodayFrameColor);
    EXPECT_EQ(QColor(image.pixel(selected.topLeft() + QPoint(1, 1))), QColor(0, 0, 128));
    EXPECT_NE(QColor(image.pixel(calendar.CellRect(0, 14).topLeft())), TodayFrameColor);
}

TEST_F(DateControlsTest, ButtonsShareTheStripEvenly) {
    const TButtonStrip both = TButtonStrip::Layout(160, 100, 8, 40, 30, true, true);
    EXPECT_EQ(both.Height, 6 + 4 + 20);
    EXPECT_EQ(both.Today, QRect(30, 104, 40, 20));
    EXPECT_EQ(both.Clear, QRect(100, 104, 30, 20));
    const TButtonStrip clearOnly = TButtonStrip::Layout(160, 100, 9, 40, 30, false, true);
    EXPECT_EQ(clearOnly.Height, 6 + 4 + 23);
    EXPECT_TRUE(clearOnly.Today.isEmpty());
    EXPECT_EQ(clearOnly.Clear.left(), 65);
    EXPECT_EQ(TButtonStrip::Layout(160, 100, 8, 40, 30, false, false).Height, 0);
}

TEST_F(DateControlsTest, EditorTakesTheProgramsDateFormat) {
    TServices::Regional().ShortDateFormat = "D/M/YYYY"; // the fixture puts the default back
    EXPECT_EQ(TdxDateEdit().inputMask(), "00/00/0000");
    TServices::Regional().Reset();
    EXPECT_EQ(TdxDateEdit().inputMask(), "00/00/00");
}

// The editor and its navigator, offscreen.
class DateEditTest : public DateControlsTest {
protected:
    void SetUp() override {
        DateControlsTest::SetUp();
        Prompt = std::make_shared<TScriptedPrompt>();
        TServices::SetPrompt(Prompt);
        Window.setGeometry(100, 100, 300, 80);
        Edit = new TdxDateEdit(&Window);
        Edit->SetDateLocale(LocaleOf("DD/MM/YY"));
        Edit->setGeometry(10, 10, 150, 24);
        Window.show();
    }
    TdxDateNavigator& Navigator() { return *TdxDateEdit::SharedNavigator(); }
    void Click(const QPoint& clientPos) {
        const QPoint pos = Navigator().FromClient(clientPos);
        QTest::mousePress(&Navigator(), Qt::LeftButton, {}, pos);
        QTest::mouseRelease(&Navigator(), Qt::LeftButton, {}, pos);
    }
    void Leave(Qt::FocusReason reason) {
        QFocusEvent event(QEvent::FocusOut, reason);
        QApplication::sendEvent(Edit, &event);
    }

    std::shared_ptr<TScriptedPrompt> Prompt;
    QWidget Window;
    TdxDateEdit* Edit = nullptr;
};

TEST_F(DateEditTest, EmptyEditorDropsDownOnTodayEscapeLeavesItEmptyReadOnlyStaysShut) {
    EXPECT_EQ(Edit->displayText(), "  /  /  ");
    QTest::keyClick(Edit, Qt::Key_F4);
    ASSERT_TRUE(Edit->DroppedDown());
    EXPECT_EQ(Navigator().GetSelStart(), D(2026, 3, 15));
    QTest::keyClick(&Navigator(), Qt::Key_Escape);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->displayText(), "  /  /  ");
    Edit->SetReadOnly(true);
    QTest::keyClick(Edit, Qt::Key_F4);
    EXPECT_FALSE(Edit->DroppedDown());
}

TEST_F(DateEditTest, KeysAndClicksChooseADay) {
    QSignalSpy changed(Edit, &TdxDateEdit::dateChanged);
    QTest::keyClick(Edit, Qt::Key_Up, Qt::AltModifier);
    ASSERT_TRUE(Edit->DroppedDown());
    QTest::keyClick(&Navigator(), Qt::Key_Right);
    QTest::keyClick(&Navigator(), Qt::Key_Return);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->displayText(), "16/03/26");
    EXPECT_EQ(changed.count(), 1);

    QTest::keyClick(Edit, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Edit->DroppedDown());
    EXPECT_EQ(Navigator().GetSelStart(), D(2026, 3, 16));
    Click(Navigator().CellRect(0, 7).center()); // March's grid starts on 22 February
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->Date(), D(2026, 3, 1));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(DateEditTest, ClearEmptiesAndTodayFills) {
    Edit->SetDate(D(2005, 2, 1));
    QSignalSpy changed(Edit, &TdxDateEdit::dateChanged);
    Edit->DropDown();
    Click(Navigator().Buttons().Clear.center());
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->Date(), NullDate);
    EXPECT_EQ(changed.count(), 1);

    Edit->DropDown();
    Click(Navigator().Buttons().Clear.center());
    EXPECT_EQ(changed.count(), 1); // it held no date

    Edit->DropDown();
    Click(Navigator().Buttons().Today.center());
    EXPECT_EQ(Edit->Date(), D(2026, 3, 15));
    EXPECT_EQ(changed.count(), 2);

    Edit->SetShowClearButton(false);
    Edit->DropDown();
    EXPECT_TRUE(Navigator().Buttons().Clear.isEmpty());
    Edit->CloseUp();
}

TEST_F(DateEditTest, PeriodChoiceGoesToTheHook) {
    Edit->SetSelectPeriod(true);
    Edit->SetDate(D(2026, 3, 4));
    double start = 0, finish = 0;
    Edit->OnBeforeDateChange = [&](double s, double f) {
        start = s;
        finish = f;
    };
    Edit->DropDown();
    const QPoint from = Navigator().FromClient(Navigator().CellRect(0, 16).center()); // 10 March
    const QPoint to = Navigator().FromClient(Navigator().CellRect(0, 18).center());   // 12 March
    QTest::mousePress(&Navigator(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(Navigator().mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(&Navigator(), &move);
    QTest::mouseRelease(&Navigator(), Qt::LeftButton, {}, to);
    EXPECT_EQ(start, D(2026, 3, 10));
    EXPECT_EQ(finish, D(2026, 3, 12));
    EXPECT_EQ(Edit->Date(), D(2026, 3, 4));
}

TEST_F(DateEditTest, APressOnTheOwnArrowOnlyCloses) {
    Edit->DropDown();
    const QPoint arrow = Edit->Button()->mapToGlobal(Edit->Button()->rect().center());
    QTest::mousePress(&Navigator(), Qt::LeftButton, {}, Navigator().mapFromGlobal(arrow));
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_TRUE(Navigator().testAttribute(Qt::WA_NoMouseReplay));

    Edit->DropDown();
    QTest::mousePress(&Navigator(), Qt::LeftButton, {},
                      Navigator().mapFromGlobal(Window.mapToGlobal(QPoint(250, 60))));
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_FALSE(Navigator().testAttribute(Qt::WA_NoMouseReplay));
}

TEST_F(DateEditTest, CaptionListAndArrowsChangeTheMonth) {
    Edit->SetDate(D(2026, 3, 20));
    Edit->DropDown();
    const QPoint caption = Navigator().FromClient(Navigator().CaptionRect(0).center());
    QTest::mousePress(&Navigator(), Qt::LeftButton, {}, caption);
    TdxCalenMonthListBox* list = Navigator().MonthList();
    ASSERT_NE(list, nullptr);
    const QPoint firstItem = list->mapToGlobal(QPoint(list->width() / 2, 2));
    QMouseEvent move(QEvent::MouseMove, QPointF(Navigator().mapFromGlobal(firstItem)), QPointF(firstItem),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&Navigator(), &move);
    QTest::mouseRelease(&Navigator(), Qt::LeftButton, {}, Navigator().mapFromGlobal(firstItem));
    EXPECT_EQ(Navigator().MonthList(), nullptr);
    EXPECT_EQ(Navigator().FirstDate(), D(2025, 12, 1));
    EXPECT_TRUE(Edit->DroppedDown());

    const QPoint right = Navigator().FromClient(Navigator().RightArrowRect().center());
    QTest::mousePress(&Navigator(), Qt::LeftButton, {}, right);
    EXPECT_EQ(Navigator().FirstDate(), D(2026, 1, 1));
    EXPECT_TRUE(Navigator().ArrowTimer().isActive());
    QTest::mouseRelease(&Navigator(), Qt::LeftButton, {}, right);
    EXPECT_FALSE(Navigator().ArrowTimer().isActive());
    EXPECT_EQ(Navigator().GetSelStart(), D(2026, 3, 20));
    Edit->CloseUp();
}

// Which texts are kept or emptied is tested on the exit rule; here only that a pop-up taking the
// focus is no exit and that a move away applies the rule.
TEST_F(DateEditTest, ExitEmptiesAnUnreadableDateOnlyOnAMoveAway) {
    Edit->setText("31/02/05");
    Edit->setModified(true);
    Leave(Qt::PopupFocusReason);
    EXPECT_EQ(Edit->displayText(), "31/02/05");
    Leave(Qt::TabFocusReason);
    EXPECT_EQ(Edit->displayText(), "  /  /  ");
    EXPECT_TRUE(Prompt->Beeps.isEmpty());
}

TEST_F(DateEditTest, OpensAboveNearTheBottomOfTheScreen) {
    const QRect available = Window.screen()->availableGeometry();
    Window.move(available.left() + 20, available.bottom() - 60);
    QCoreApplication::processEvents();
    Edit->DropDown();
    const QRect moved(Edit->mapToGlobal(QPoint(0, 0)), Edit->size());
    EXPECT_EQ(Navigator().pos(), QPoint(moved.left(), moved.top() - Navigator().height()));
    Edit->CloseUp();
}

TEST_F(DateEditTest, TypedSeparatorsSkipToTheNextField) {
    Edit->setFocus();
    Edit->setCursorPosition(0);
    QTest::keyClicks(Edit, "1/2/05");
    EXPECT_EQ(Edit->displayText(), "1 /2 /05");
    EXPECT_EQ(Edit->Date(), D(2005, 2, 1));
    Leave(Qt::TabFocusReason);
    EXPECT_EQ(Edit->displayText(), "01/02/05");

    Edit->SetDateLocale(LocaleOf("d/MM/yyyy"));
    EXPECT_EQ(Edit->displayText(), " 1/02/2005");
    EXPECT_EQ(Edit->Date(), D(2005, 2, 1));
}

TEST_F(DateEditTest, DestroyingTheOpenerClosesTheNavigator) {
    Edit->DropDown();
    ASSERT_TRUE(Navigator().isVisible());
    delete Edit;
    Edit = nullptr;
    EXPECT_FALSE(Navigator().isVisible());
    QTest::keyClick(&Navigator(), Qt::Key_Return); // no editor to hand the choice to (ASan would see one)
}

TEST_F(DateEditTest, IncompleteDateTakesTheFocusBackAfterTheMove) {
    auto* other = new QLineEdit(&Window);
    other->setGeometry(170, 10, 100, 24);
    other->show();
    QApplication::setActiveWindow(&Window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    Edit->setFocus();
    Edit->setCursorPosition(0);
    QTest::keyClicks(Edit, "12");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), other); // given back only once the move is over
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Edit);
    EXPECT_EQ(Edit->displayText(), "  /  /  ");
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Default});
}

} // namespace
