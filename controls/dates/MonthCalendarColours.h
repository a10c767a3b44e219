#pragma once

#include <QColor>
#include <QDate>
#include <QPalette>

#include <functional>

// Lets the calendar's owner recolour single days: called with the day, whether it is selected and
// its text colour; it may replace the background colour.
using TCalcDateColorsEvent =
    std::function<void(const QDate& date, bool selected, const QColor& fontColor, QColor& backColor)>;

// The frame drawn round today's cell.
inline constexpr QRgb TodayFrameRgb = qRgb(128, 0, 0);

// What a day cell is.
struct TDayCellState {
    QDate Date;
    bool Selected = false;
    // Whether the day lies between the first shown day and the last day of the last shown month.
    bool InShownMonths = false;
    bool Today = false;
};

// How a day cell is drawn.
struct TDayCellColors {
    QColor Text;
    QColor Background;
    // Whether the cell gets the one-pixel frame in TodayFrameRgb.
    bool TodayFrame = false;
};

// The colours of a day cell: highlighted text when selected, window text for the shown months and
// grey text for the neighbouring months' days; the background is the window colour, or for a
// selected day the highlight colour (the button face when flat). The owner's hook runs last and
// may replace the background.
TDayCellColors DayCellColors(const TDayCellState& cell, const QPalette& palette, bool flat,
                             const TCalcDateColorsEvent& onCalcDateColors);
