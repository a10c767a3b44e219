#pragma once

#include "controls/dates/CalendarModel.h"

#include <QDate>
#include <QPoint>
#include <QSize>
#include <Qt>

enum class TDaysOfWeek { Sunday, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

// What a key did to a month calendar.
enum class TCalendarKeyResult { Ignored, Moved, Chosen };

// What a left press on a month calendar started.
struct TCalendarPress {
    enum TKind { Nothing, Day, MonthList, Arrow } Kind = Nothing;
    int Block = 0; // MonthList: the block whose caption was pressed (from 0)
    int Step = 0;  // Arrow: -1 for the left arrow, 1 for the right
};

// The rules of the month calendar placed on forms, with no widget: the shared calendar model with
// its own first day of the week, a flat or sunken look, several months side by side, Enter as a
// choice, and a month list that shows the picked month in the block whose caption opened it.
// Positions are in client coordinates (inside the frame).
class TCustomBTCalendar : public TCustomdxCalendar {
public:
    // The first day of the week comes from the workstation's locale.
    TCustomBTCalendar();

    bool Flat() const { return Metrics().Flat; }
    void SetFlat(bool flat);
    // Kept for the form that stores it; the months are always laid out in one row.
    int MonthDown() const { return MonthsDown; }
    void SetMonthDown(int months);
    TDaysOfWeek StartOfWeek() const { return static_cast<TDaysOfWeek>(FirstDayOfWeek()); }
    void SetStartOfWeek(TDaysOfWeek day) { SetFirstDayOfWeek(static_cast<int>(day)); }
    // The size of the text "0" in the calendar's font, from which every part is measured.
    void SetDigitSize(int width, int height);

    // The width of one month: seven columns and two side margins.
    int CalendarWidth() const { return Metrics().BlockWidth(); }
    // The whole control: its months and the frame round them.
    QSize ControlSize() const;

    // The keys the calendar handles itself, so that a dialog does not move on them.
    static bool ClaimsKey(int key);
    // Moves the selection by a navigation key; Enter (while no month list is open) is a choice.
    TCalendarKeyResult HandleKey(int key, Qt::KeyboardModifiers modifiers);

    // A left press: the day under it is selected first; a caption opens the month list for its
    // block and an arrow shows the previous or next month at once (the selection stays).
    TCalendarPress Press(const QPoint& pos);
    // A tick of the arrow repeat: steps again while the pointer is over the pressed arrow.
    bool ArrowTick(const QPoint& pos);
    // Ends a press; true when it chose a day (a day press released inside). A release that ends an
    // arrow repeat or a month list only ends it (the month list is closed by CloseMonthList).
    bool EndPress(bool inside);
    // The mouse was taken away: a day drag ends as a release outside and any month list closes.
    void CancelPress();

    void StepMonth(int step);
    // The month list is open from a caption press until the press ends.
    bool MonthListOpen() const { return ListBlock >= 0; }
    int MonthListBlock() const { return ListBlock; }
    // Closes the month list; a picked month (a valid date) is shown in the block whose caption
    // opened it.
    void CloseMonthList(const QDate& picked);

private:
    int DigitWidth = 7;
    int DigitHeight = 13;
    int MonthsDown = 1;
    TCalendarPress Pressed;
    int ListBlock = -1;
};
