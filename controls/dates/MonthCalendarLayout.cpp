#include "controls/dates/MonthCalendarLayout.h"

#include <algorithm>

TMonthCalendarMetrics TMonthCalendarMetrics::FromDigitSize(int digitWidth, int digitHeight, bool flat) {
    TMonthCalendarMetrics metrics;
    metrics.ColumnWidth = 3 * digitWidth;
    metrics.SideMargin = 2 * digitWidth;
    metrics.RowHeight = digitHeight + 2;
    metrics.HeaderHeight = metrics.RowHeight + 2 + (flat ? 1 : 0);
    metrics.DayNameHeight = metrics.RowHeight + 1;
    return metrics;
}

TMonthCalendarLayout::TMonthCalendarLayout(const TMonthCalendarMetrics& metrics, int monthAcross, bool flat)
    : Metrics(metrics), Months(std::max(1, monthAcross)), Flat(flat) {}

int TMonthCalendarLayout::CalendarWidth() const {
    return 7 * Metrics.ColumnWidth + 2 * Metrics.SideMargin;
}

int TMonthCalendarLayout::FrameWidth() const {
    return Flat ? 1 : 2;
}

QSize TMonthCalendarLayout::ControlSize() const {
    const int frame = 2 * FrameWidth();
    const int height =
        frame + Metrics.HeaderHeight + Metrics.DayNameHeight + 6 * Metrics.RowHeight + 1 + (Flat ? 0 : 1);
    return {frame + Months * CalendarWidth(), height};
}

int TMonthCalendarLayout::BlockLeft(int block) const {
    return FrameWidth() + block * CalendarWidth();
}

int TMonthCalendarLayout::BodyTop() const {
    return FrameWidth() + Metrics.HeaderHeight + (Flat ? 0 : 1);
}

QRect TMonthCalendarLayout::BlockRect(int block) const {
    return {BlockLeft(block), FrameWidth(), CalendarWidth(), ControlSize().height() - 2 * FrameWidth()};
}

QRect TMonthCalendarLayout::HeaderRect(int block) const {
    return {BlockLeft(block), FrameWidth(), CalendarWidth(), Metrics.HeaderHeight};
}

QRect TMonthCalendarLayout::CaptionRect(int block) const {
    const QRect header = HeaderRect(block);
    return header.adjusted(Metrics.ColumnWidth, 0, -Metrics.ColumnWidth, 0);
}

QRect TMonthCalendarLayout::LeftArrowRect(int block) const {
    if (block != 0)
        return {};
    const QRect header = HeaderRect(block);
    return {header.left() + 1, header.top(), Metrics.ColumnWidth - 2, header.height()};
}

QRect TMonthCalendarLayout::RightArrowRect(int block) const {
    if (block != Months - 1)
        return {};
    const QRect header = HeaderRect(block);
    const int left = header.left() + CalendarWidth() - Metrics.ColumnWidth;
    return {left, header.top(), Metrics.ColumnWidth - 1 - (Flat ? 0 : 1), header.height()};
}

QRect TMonthCalendarLayout::DayNamesRect(int block) const {
    return {BlockLeft(block) + Metrics.SideMargin, BodyTop(), 7 * Metrics.ColumnWidth, Metrics.DayNameHeight};
}

QRect TMonthCalendarLayout::CellRect(int block, int row, int column) const {
    return {BlockLeft(block) + Metrics.SideMargin + column * Metrics.ColumnWidth,
            BodyTop() + Metrics.DayNameHeight + row * Metrics.RowHeight, Metrics.ColumnWidth,
            Metrics.RowHeight};
}

TMonthCalendarHit TMonthCalendarLayout::HitTest(const QPoint& point) const {
    TMonthCalendarHit hit;
    if (point.x() < BlockLeft(0) || point.x() >= BlockLeft(Months))
        return hit;
    const int block = (point.x() - BlockLeft(0)) / CalendarWidth();
    if (LeftArrowRect(block).contains(point))
        hit.Part = TMonthCalendarHit::LeftArrow;
    else if (RightArrowRect(block).contains(point))
        hit.Part = TMonthCalendarHit::RightArrow;
    else if (CaptionRect(block).contains(point))
        hit.Part = TMonthCalendarHit::Caption;
    else if (DayNamesRect(block).contains(point))
        hit.Part = TMonthCalendarHit::DayNames;
    else {
        const QRect grid = CellRect(block, 0, 0).united(CellRect(block, 5, 6));
        if (!grid.contains(point))
            return hit;
        hit.Part = TMonthCalendarHit::Day;
        hit.Row = (point.y() - grid.top()) / Metrics.RowHeight;
        hit.Column = (point.x() - grid.left()) / Metrics.ColumnWidth;
    }
    hit.Block = block;
    return hit;
}

bool TMonthCalendarLayout::IsCellShown(const QDate& cellDate, const QDate& blockMonth, int block,
                                       int monthAcross) {
    const QDate first(blockMonth.year(), blockMonth.month(), 1);
    if (cellDate < first)
        return block == 0;
    if (cellDate > first.addMonths(1).addDays(-1))
        return block == monthAcross - 1;
    return true;
}
