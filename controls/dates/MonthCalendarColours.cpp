#include "controls/dates/MonthCalendarColours.h"

TDayCellColors DayCellColors(const TDayCellState& cell, const QPalette& palette, bool flat,
                             const TCalcDateColorsEvent& onCalcDateColors) {
    TDayCellColors colors;
    if (cell.Selected)
        colors.Text = palette.color(QPalette::Active, QPalette::HighlightedText);
    else if (cell.InShownMonths)
        colors.Text = palette.color(QPalette::Active, QPalette::Text);
    else
        colors.Text = palette.color(QPalette::Disabled, QPalette::Text);
    if (!cell.Selected)
        colors.Background = palette.color(QPalette::Active, QPalette::Base);
    else
        colors.Background = palette.color(QPalette::Active, flat ? QPalette::Button : QPalette::Highlight);
    if (onCalcDateColors)
        onCalcDateColors(cell.Date, cell.Selected, colors.Text, colors.Background);
    colors.TodayFrame = cell.Today;
    return colors;
}
