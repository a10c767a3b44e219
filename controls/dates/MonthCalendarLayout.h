#pragma once

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>

// The sizes a month calendar is drawn with, taken from its font.
struct TMonthCalendarMetrics {
    int ColumnWidth = 0;
    int SideMargin = 0;
    int RowHeight = 0;
    int HeaderHeight = 0;
    int DayNameHeight = 0;

    // From the width and height of the digit "0" in the calendar's font.
    static TMonthCalendarMetrics FromDigitSize(int digitWidth, int digitHeight, bool flat);
};

// What lies under a point of a month calendar.
struct TMonthCalendarHit {
    enum TPart { None, LeftArrow, RightArrow, Caption, DayNames, Day };
    TPart Part = None;
    int Block = -1; // the month block, counted from 0
    int Row = -1;   // for Day: the grid row 0-5 and column 0-6 inside the block
    int Column = -1;
};

// Where each part of a calendar that shows MonthAcross months side by side lies, in the
// control's own coordinates (its frame included). Every month is a block one CalendarWidth wide
// with its own header and 6 x 7 grid; the left arrow is on the first block only and the right
// arrow on the last only.
class TMonthCalendarLayout {
public:
    TMonthCalendarLayout(const TMonthCalendarMetrics& metrics, int monthAcross, bool flat);

    // The width of one month: seven columns and the two side margins.
    int CalendarWidth() const;
    // The frame's width on each side: a one-pixel edge when flat, a two-pixel client edge else.
    int FrameWidth() const;
    QSize ControlSize() const;
    int MonthAcross() const { return Months; }

    QRect BlockRect(int block) const;
    QRect HeaderRect(int block) const;
    QRect CaptionRect(int block) const;
    // Empty for a block that has no such arrow.
    QRect LeftArrowRect(int block) const;
    QRect RightArrowRect(int block) const;
    QRect DayNamesRect(int block) const;
    QRect CellRect(int block, int row, int column) const;

    TMonthCalendarHit HitTest(const QPoint& point) const;

    // Whether a grid cell of a block shows its day: days of the block's own month always, days
    // before it only in the first block and days after it only in the last block.
    static bool IsCellShown(const QDate& cellDate, const QDate& blockMonth, int block, int monthAcross);

private:
    int BlockLeft(int block) const;
    int BodyTop() const;

    TMonthCalendarMetrics Metrics;
    int Months;
    bool Flat;
};
