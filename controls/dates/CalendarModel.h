#pragma once

#include "controls/dates/DateEditRules.h"

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <optional>

// Sizes of a calendar's parts, all derived from the font: W and H are the width and height of
// the text "0" and F the font size in points. Every coordinate below is in the calendar's client
// area (inside its frame).
// How often a held month arrow steps the calendar on, in milliseconds.
inline constexpr int CalendarArrowRepeatMs = 170;

struct TCalendarMetrics {
    int ColumnWidth = 0;
    int SideMargin = 0;
    int RowHeight = 0;
    int HeaderHeight = 0;
    int DayNameHeight = 0;
    bool Flat = true;

    static TCalendarMetrics FromFont(int zeroWidth, int zeroHeight, bool flat);

    // One month: seven columns between two side margins.
    int BlockWidth() const { return 7 * ColumnWidth + 2 * SideMargin; }
    // The frame on each side: a one-pixel edge when flat, a two-pixel client edge otherwise.
    int FrameWidth() const { return Flat ? 1 : 2; }
    // Header, day-name row, six rows of days and the line under them.
    int GridHeight() const;
    int BodyTop() const { return HeaderHeight + (Flat ? 0 : 1); }
    int DaysTop() const { return BodyTop() + DayNameHeight; }
};

// Where a point of the calendar lies.
struct TCalendarHit {
    enum TKind { Nowhere, LeftArrow, RightArrow, Caption, DayName, Day } Kind = Nowhere;
    int Block = 0;          // the month block (from 0) of a caption or day
    double Date = NullDate; // the day under a Day hit
};

// The calendar model shared by the drop-down date navigator and the placeable month calendar:
// the months shown, the selection (an anchor and a finish, at most 42 days, whole days), the
// saved selection a drag falls back on, the keys, and where each part lies. It has no widget;
// the calendars derive from it together with their widget and override the hooks.
//
// MonthAcross months are shown side by side, each in a block of seven columns; the first block
// shows the first shown month. Days of neighbouring months appear only before the first block's
// month and after the last block's month.
class TCustomdxCalendar {
public:
    TCustomdxCalendar();
    virtual ~TCustomdxCalendar() = default;
    TCustomdxCalendar(const TCustomdxCalendar&) = delete;
    TCustomdxCalendar& operator=(const TCustomdxCalendar&) = delete;

    // The first day of the week (0 = Sunday .. 6 = Saturday).
    int FirstDayOfWeek() const { return WeekStart; }
    void SetFirstDayOfWeek(int day);

    int MonthAcross() const { return Months; }
    void SetMonthAcross(int months);

    // Period mode: a drag selects several days; otherwise every selection is one day.
    bool SelectPeriod() const { return PeriodMode; }
    void SetSelectPeriod(bool selectPeriod) { PeriodMode = selectPeriod; }

    const TCalendarMetrics& Metrics() const { return Layout; }
    void SetMetrics(const TCalendarMetrics& metrics);

    // The column (0 = the first day of the week) a day falls in.
    int ColumnOf(const QDate& date) const;
    // The first cell of a month's grid: the first of the month moved back to the first day of the
    // week, a whole week further when the first falls in column 0, so that at least one day of
    // the previous month shows.
    QDate FirstGridDateOf(const QDate& month) const;
    // Whether a cell (a date in the grid of a block) is drawn: the block's own month, days
    // before it in the first block and days after it in the last.
    bool IsCellShown(int block, const QDate& date) const;
    // The month shown in a block (first of the month).
    QDate BlockMonth(int block) const;

    // Virtual operations.
    virtual double GetFirstGridDate() const;
    virtual double GetLastGridDate() const;
    virtual double GetLastDate() const;
    double GetSelStart() const;
    double GetSelFinish() const;
    double FirstDate() const { return DateFromQDate(First); }
    double SelectionAnchor() const { return Anchor; }
    double SelectionFinish() const { return Finish; }
    virtual void SetFirstDate(double date);
    virtual void SetSelStart(double date);
    virtual void SetSelFinish(double date);
    virtual void MakeSelectionVisible();
    virtual double DateAtPos(const QPoint& pos) const;

    bool IsSelected(double date) const;

    // The day a key moves to from a day, or nothing when the key is no move: arrows by a day or
    // a week, Home/End to the ends of the week (with Ctrl of the month), Page Up/Down to the same
    // day of the previous/next month, cut to that month's length. Alt with Up or Down is no move.
    std::optional<double> Navigate(double date, int key, Qt::KeyboardModifiers modifiers) const;
    // Moves the selection by a key (a new single day from the anchor, kept visible); false when
    // the key is no move.
    bool MoveByKey(int key, Qt::KeyboardModifiers modifiers);

    // Mouse: a press on a day saves the selection and selects the day; a drag moves the finish to
    // the day under the pointer (outside the control the saved selection comes back); a release
    // inside keeps the choice and answers true, outside it restores the saved selection.
    void PressDay(double date);
    void DragTo(const QPoint& pos, bool inside);
    bool Release(bool inside);
    void RestoreSavedSelection();
    double PressDate() const { return Pressed; }

    // Geometry of the parts in client coordinates.
    QSize ClientSize() const;
    QRect HeaderRect(int block) const;
    QRect LeftArrowRect() const;
    QRect RightArrowRect() const;
    QRect CaptionRect(int block) const;
    QRect DayNameRect(int block, int column) const;
    QRect CellRect(int block, int cell) const;
    TCalendarHit HitTest(const QPoint& pos) const;

protected:
    // Called when what is shown changed (the widget repaints).
    virtual void Changed() {}
    // Extra height under the grid (the navigator's button strip).
    virtual int ExtraHeight() const { return 0; }

private:
    void SetSelection(double anchor, double finish);

    int WeekStart = 0;
    int Months = 1;
    bool PeriodMode = false;
    TCalendarMetrics Layout;
    QDate First;
    double Anchor = NullDate;
    double Finish = NullDate;
    double SavedAnchor = NullDate;
    double SavedFinish = NullDate;
    double Pressed = NullDate;
};

// Where a pop-up of the given size opens under a control (the control's rectangle and the screen's
// available area in global coordinates): under its bottom-left corner, moved left so as not to pass
// the right edge and right so as not to pass the left edge, and above the control when it would
// pass the bottom.
QPoint PlacePopup(const QRect& control, const QSize& popup, const QRect& available);

// The Today and Clear buttons under the navigator's grid, for a font of pointSize points: a top
// gap of F div 2, buttons F * 5 / 2 high (rounded) and 3F div 4 below; the buttons are spread with
// equal gaps. No button shown gives no strip.
struct TButtonStrip {
    int Height = 0;
    QRect Today, Clear; // empty when not shown
    static TButtonStrip Layout(int clientWidth, int top, int pointSize, int todayWidth, int clearWidth,
                               bool showToday, bool showClear);
};

// The month list a calendar caption opens: seven months from three before the shown one, scrolled
// by a timer while the pointer is above or below it.
struct TMonthListRules {
    static constexpr int ItemCount = 7;
    QDate TopMonth;     // first of the first month listed
    int ItemHeight = 0; // the header height less 2
    int SelectedIndex = -1;

    static TMonthListRules For(const QDate& shownMonth, const TCalendarMetrics& metrics);
    // Width: six columns and two borders; height: seven items and two borders.
    static QSize Size(const TCalendarMetrics& metrics);
    // The list centred over a caption.
    static QRect Placement(const QRect& caption, const TCalendarMetrics& metrics);

    QDate MonthAt(int index) const { return TopMonth.addMonths(index); }
    // The scroll step for the pointer at y (list coordinates) in a list of that height: 0 inside,
    // negative above, positive below; d div 12 + 1 months, at most 4, where d is the distance in
    // pixels beyond the edge.
    static int ScrollStep(int y, int height);
    // The timer interval of a step: 500, 250, 100 or 50 ms.
    static int ScrollInterval(int step);
    // Follows the pointer: selects the item under it, or none outside; answers the scroll step.
    int Track(int y, int height);
    // Moves the list by one tick of a step.
    void Scroll(int step) { TopMonth = TopMonth.addMonths(step < 0 ? -1 : 1); }
};
