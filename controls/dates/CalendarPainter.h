#pragma once

#include "controls/dates/CalendarModel.h"

#include <QColor>
#include <QString>
#include <functional>

class QPainter;
class QPalette;

// The colours a calendar is painted with (system colours resolved from a palette).
struct TCalendarColors {
    QColor Window, WindowText, Highlight, HighlightText, ButtonFace, ButtonText, GrayText, ButtonShadow,
        ButtonLight;
    static TCalendarColors FromPalette(const QPalette& palette);
};

// The colour of today's frame.
inline const QColor TodayFrameColor(128, 0, 0);

// The colours of one day cell.
struct TDayColors {
    QColor Text;
    QColor Back;
};

// Paints the month blocks of a calendar model: the header with the month caption (and the arrows
// on the outer blocks), the day-name row and the six rows of days, with today framed. The widget
// paints its own frame and anything under the grid.
class TCalendarPainter {
public:
    // May replace the background of a day (date, selected, text colour, background).
    using TCalcDateColors = std::function<void(double, bool, const QColor&, QColor&)>;

    TCalendarPainter(const TCustomdxCalendar& calendar, const TDateLocale& locale,
                     const TCalendarColors& colors);

    TCalcDateColors OnCalcDateColors;

    // Text: highlight text when selected, window text for days from the first shown date to the
    // last, grey otherwise. Background: window; selected days on the highlight colour, or on the
    // button face when flat; then the hook may replace the background.
    TDayColors ColorsOf(double date) const;

    // "March 2026": the long month name, a blank and the four-digit year.
    QString Caption(const QDate& month) const;
    // The first character of the short name of the day in a column.
    QString DayLetter(int column) const;

    // Paints every block (arrows on the first and last), with today framed.
    void Paint(QPainter& painter, double today) const;
    void PaintBlock(QPainter& painter, int block, double today) const;

    // A one-pixel sunken edge (flat) or a two-pixel client edge around a rectangle.
    static void PaintFrame(QPainter& painter, const QRect& outer, bool flat, const TCalendarColors& colors);

private:
    void PaintHeader(QPainter& painter, int block) const;

    const TCustomdxCalendar& Calendar;
    TDateLocale Locale;
    TCalendarColors Colors;
};
