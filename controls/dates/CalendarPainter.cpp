#include "controls/dates/CalendarPainter.h"

#include <QPainter>
#include <QPalette>
#include <QPolygon>

TCalendarColors TCalendarColors::FromPalette(const QPalette& palette) {
    TCalendarColors colors;
    colors.Window = palette.color(QPalette::Base);
    colors.WindowText = palette.color(QPalette::Text);
    colors.Highlight = palette.color(QPalette::Highlight);
    colors.HighlightText = palette.color(QPalette::HighlightedText);
    colors.ButtonFace = palette.color(QPalette::Button);
    colors.ButtonText = palette.color(QPalette::ButtonText);
    colors.GrayText = palette.color(QPalette::Disabled, QPalette::Text);
    colors.ButtonShadow = palette.color(QPalette::Dark);
    colors.ButtonLight = palette.color(QPalette::Light);
    return colors;
}

TCalendarPainter::TCalendarPainter(const TCustomdxCalendar& calendar, const TDateLocale& locale,
                                   const TCalendarColors& colors)
    : Calendar(calendar), Locale(locale), Colors(colors) {}

TDayColors TCalendarPainter::ColorsOf(double date) const {
    const bool selected = Calendar.IsSelected(date);
    TDayColors result;
    if (selected)
        result.Text = Colors.HighlightText;
    else if (date >= Calendar.FirstDate() && date <= Calendar.GetLastDate())
        result.Text = Colors.WindowText;
    else
        result.Text = Colors.GrayText;
    result.Back = !selected ? Colors.Window : Calendar.Metrics().Flat ? Colors.ButtonFace : Colors.Highlight;
    if (OnCalcDateColors)
        OnCalcDateColors(date, selected, result.Text, result.Back);
    return result;
}

QString TCalendarPainter::Caption(const QDate& month) const {
    return Locale.LongMonthNames[month.month() - 1] + QLatin1Char(' ') +
           QString::number(month.year()).rightJustified(4, QLatin1Char('0'));
}

QString TCalendarPainter::DayLetter(int column) const {
    return Locale.ShortDayNames[(Calendar.FirstDayOfWeek() + column) % 7].left(1);
}

void TCalendarPainter::Paint(QPainter& painter, double today) const {
    for (int block = 0; block < Calendar.MonthAcross(); ++block)
        PaintBlock(painter, block, today);
}

void TCalendarPainter::PaintHeader(QPainter& painter, int block) const {
    const QRect header = Calendar.HeaderRect(block);
    painter.fillRect(header, Colors.ButtonFace);
    // Raised inner edge.
    painter.setPen(Colors.ButtonLight);
    painter.drawLine(header.topLeft(), header.topRight());
    painter.drawLine(header.topLeft(), header.bottomLeft());
    painter.setPen(Colors.ButtonShadow);
    painter.drawLine(header.bottomLeft(), header.bottomRight());
    painter.drawLine(header.topRight(), header.bottomRight());

    painter.setPen(Colors.ButtonText);
    painter.drawText(Calendar.CaptionRect(block), Qt::AlignCenter, Caption(Calendar.BlockMonth(block)));

    const int size = std::max(2, Calendar.Metrics().HeaderHeight / 4);
    painter.setBrush(Colors.ButtonText);
    if (block == 0) {
        const QPoint c = Calendar.LeftArrowRect().center();
        painter.drawPolygon(QPolygon({QPoint(c.x() - size / 2, c.y()), QPoint(c.x() + size / 2, c.y() - size),
                                      QPoint(c.x() + size / 2, c.y() + size)}));
    }
    if (block == Calendar.MonthAcross() - 1) {
        const QPoint c = Calendar.RightArrowRect().center();
        painter.drawPolygon(QPolygon({QPoint(c.x() + size / 2, c.y()), QPoint(c.x() - size / 2, c.y() - size),
                                      QPoint(c.x() - size / 2, c.y() + size)}));
    }
    painter.setBrush(Qt::NoBrush);
}

void TCalendarPainter::PaintBlock(QPainter& painter, int block, double today) const {
    const TCalendarMetrics& metrics = Calendar.Metrics();
    const QRect blockRect(block * metrics.BlockWidth(), 0, metrics.BlockWidth(), metrics.GridHeight());
    painter.fillRect(blockRect, Colors.Window);
    PaintHeader(painter, block);

    painter.setPen(Colors.WindowText);
    for (int column = 0; column < 7; ++column)
        painter.drawText(Calendar.DayNameRect(block, column).adjusted(0, 0, -3, 0),
                         Qt::AlignRight | Qt::AlignVCenter, DayLetter(column));
    const int lineY = metrics.DaysTop() - 1;
    painter.setPen(Colors.ButtonShadow);
    painter.drawLine(blockRect.left() + metrics.SideMargin, lineY, blockRect.right() - metrics.SideMargin,
                     lineY);

    const QDate first = Calendar.FirstGridDateOf(Calendar.BlockMonth(block));
    for (int cell = 0; cell < 42; ++cell) {
        const QDate date = first.addDays(cell);
        if (!Calendar.IsCellShown(block, date))
            continue;
        const double value = DateFromQDate(date);
        const TDayColors colors = ColorsOf(value);
        const QRect rect = Calendar.CellRect(block, cell);
        painter.fillRect(rect, colors.Back);
        if (value == today) {
            painter.setPen(TodayFrameColor);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
        painter.setPen(colors.Text);
        painter.drawText(rect.adjusted(0, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(date.day()));
    }
}

void TCalendarPainter::PaintFrame(QPainter& painter, const QRect& outer, bool flat,
                                  const TCalendarColors& colors) {
    const QRect r = outer.adjusted(0, 0, -1, -1);
    painter.setPen(colors.ButtonShadow);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(colors.ButtonLight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    if (!flat) {
        const QRect inner = r.adjusted(1, 1, -1, -1);
        painter.setPen(colors.WindowText);
        painter.drawLine(inner.topLeft(), inner.topRight());
        painter.drawLine(inner.topLeft(), inner.bottomLeft());
        painter.setPen(colors.ButtonFace);
        painter.drawLine(inner.bottomLeft(), inner.bottomRight());
        painter.drawLine(inner.topRight(), inner.bottomRight());
    }
}
