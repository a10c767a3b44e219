#include "controls/dates/CalendarModel.h"

#include <algorithm>
#include <cstdlib>

TCalendarMetrics TCalendarMetrics::FromFont(int zeroWidth, int zeroHeight, bool flat) {
    TCalendarMetrics metrics;
    metrics.Flat = flat;
    metrics.ColumnWidth = 3 * zeroWidth;
    metrics.SideMargin = 2 * zeroWidth;
    metrics.RowHeight = zeroHeight + 2;
    metrics.HeaderHeight = metrics.RowHeight + 2 + (flat ? 1 : 0);
    metrics.DayNameHeight = metrics.RowHeight + 1;
    return metrics;
}

int TCalendarMetrics::GridHeight() const {
    return HeaderHeight + DayNameHeight + 6 * RowHeight + 1 + (Flat ? 0 : 1);
}

TCustomdxCalendar::TCustomdxCalendar() : Layout(TCalendarMetrics::FromFont(7, 13, true)) {
    const QDate today = QDateFromDate(TodayDate());
    First = QDate(today.year(), today.month(), 1);
}

void TCustomdxCalendar::SetFirstDayOfWeek(int day) {
    if (day < 0 || day > 6 || day == WeekStart)
        return;
    WeekStart = day;
    Changed();
}

void TCustomdxCalendar::SetMonthAcross(int months) {
    months = std::max(1, months);
    if (months == Months)
        return;
    Months = months;
    Changed();
}

void TCustomdxCalendar::SetMetrics(const TCalendarMetrics& metrics) {
    Layout = metrics;
    Changed();
}

int TCustomdxCalendar::ColumnOf(const QDate& date) const {
    // QDate counts Monday as 1 and Sunday as 7; % 7 makes Sunday 0.
    return (date.dayOfWeek() % 7 - WeekStart + 7) % 7;
}

QDate TCustomdxCalendar::FirstGridDateOf(const QDate& month) const {
    const QDate first(month.year(), month.month(), 1);
    const int column = ColumnOf(first);
    return first.addDays(-(column == 0 ? 7 : column));
}

QDate TCustomdxCalendar::BlockMonth(int block) const {
    return First.addMonths(block);
}

bool TCustomdxCalendar::IsCellShown(int block, const QDate& date) const {
    const QDate month = BlockMonth(block);
    if (date < month)
        return block == 0;
    if (date > month.addMonths(1).addDays(-1))
        return block == Months - 1;
    return true;
}

double TCustomdxCalendar::GetFirstGridDate() const {
    return DateFromQDate(FirstGridDateOf(First));
}

double TCustomdxCalendar::GetLastGridDate() const {
    return DateFromQDate(FirstGridDateOf(BlockMonth(Months - 1)).addDays(41));
}

double TCustomdxCalendar::GetLastDate() const {
    return DateFromQDate(BlockMonth(Months).addDays(-1));
}

double TCustomdxCalendar::GetSelStart() const {
    return Finish == NullDate ? Anchor : std::min(Anchor, Finish);
}

double TCustomdxCalendar::GetSelFinish() const {
    return Finish == NullDate ? Anchor : std::max(Anchor, Finish);
}

void TCustomdxCalendar::SetFirstDate(double date) {
    const QDate day = QDateFromDate(date);
    if (!day.isValid())
        return;
    const QDate first(day.year(), day.month(), 1);
    if (first == First)
        return;
    First = first;
    Changed();
}

void TCustomdxCalendar::SetSelStart(double date) {
    Anchor = DateOf(date);
    Finish = NullDate;
    SetSelFinish(date);
    Changed();
}

void TCustomdxCalendar::SetSelFinish(double date) {
    date = DateOf(date);
    if (date == Finish)
        return;
    if (!PeriodMode)
        Anchor = date;
    Finish = date;
    if (Anchor != NullDate && Finish != NullDate)
        Finish = std::clamp(Finish, Anchor - 41, Anchor + 41);
    MakeSelectionVisible();
    Changed();
}

void TCustomdxCalendar::MakeSelectionVisible() {
    if (Anchor == NullDate)
        return;
    if (Anchor < GetFirstGridDate() || Anchor > GetLastGridDate())
        SetFirstDate(Anchor);
}

double TCustomdxCalendar::DateAtPos(const QPoint& pos) const {
    const TCalendarHit hit = HitTest(pos);
    return hit.Kind == TCalendarHit::Day ? hit.Date : NullDate;
}

bool TCustomdxCalendar::IsSelected(double date) const {
    return Anchor != NullDate && date >= GetSelStart() && date <= GetSelFinish();
}

std::optional<double> TCustomdxCalendar::Navigate(double date, int key,
                                                  Qt::KeyboardModifiers modifiers) const {
    const QDate day = QDateFromDate(date);
    if (!day.isValid())
        return std::nullopt;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    QDate target;
    switch (key) {
    case Qt::Key_Left:
        target = day.addDays(-1);
        break;
    case Qt::Key_Right:
        target = day.addDays(1);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (alt)
            return std::nullopt;
        target = day.addDays(key == Qt::Key_Up ? -7 : 7);
        break;
    case Qt::Key_Home:
        target = ctrl ? QDate(day.year(), day.month(), 1) : day.addDays(-ColumnOf(day));
        break;
    case Qt::Key_End:
        target = ctrl ? QDate(day.year(), day.month(), day.daysInMonth()) : day.addDays(6 - ColumnOf(day));
        break;
    case Qt::Key_PageUp:
        target = day.addMonths(-1);
        break;
    case Qt::Key_PageDown:
        target = day.addMonths(1);
        break;
    default:
        return std::nullopt;
    }
    return DateFromQDate(target);
}

bool TCustomdxCalendar::MoveByKey(int key, Qt::KeyboardModifiers modifiers) {
    const double from = Anchor != NullDate ? Anchor : DateFromQDate(First);
    const std::optional<double> to = Navigate(from, key, modifiers);
    if (!to)
        return false;
    SetSelStart(*to);
    return true;
}

void TCustomdxCalendar::PressDay(double date) {
    SavedAnchor = Anchor;
    SavedFinish = Finish;
    Pressed = DateOf(date);
    SetSelStart(date);
}

void TCustomdxCalendar::DragTo(const QPoint& pos, bool inside) {
    if (Pressed == NullDate)
        return;
    if (!inside) {
        RestoreSavedSelection();
        return;
    }
    const double date = DateAtPos(pos);
    if (date == NullDate)
        return;
    if (PeriodMode)
        Anchor = Pressed;
    SetSelFinish(date);
}

bool TCustomdxCalendar::Release(bool inside) {
    if (Pressed == NullDate)
        return false;
    Pressed = NullDate;
    if (!inside)
        RestoreSavedSelection();
    return inside;
}

void TCustomdxCalendar::RestoreSavedSelection() {
    Anchor = SavedAnchor;
    Finish = SavedFinish;
    Changed();
}

QSize TCustomdxCalendar::ClientSize() const {
    return {Months * Layout.BlockWidth(), Layout.GridHeight() + ExtraHeight()};
}

QRect TCustomdxCalendar::HeaderRect(int block) const {
    return {block * Layout.BlockWidth(), 0, Layout.BlockWidth(), Layout.HeaderHeight};
}

QRect TCustomdxCalendar::LeftArrowRect() const {
    return {1, 0, Layout.ColumnWidth - 2, Layout.HeaderHeight};
}

QRect TCustomdxCalendar::RightArrowRect() const {
    const int right = Months * Layout.BlockWidth() - (Layout.Flat ? 1 : 2);
    const int left = Months * Layout.BlockWidth() - Layout.ColumnWidth;
    return {left, 0, right - left, Layout.HeaderHeight};
}

QRect TCustomdxCalendar::CaptionRect(int block) const {
    return {block * Layout.BlockWidth() + Layout.ColumnWidth, 0, Layout.BlockWidth() - 2 * Layout.ColumnWidth,
            Layout.HeaderHeight};
}

QRect TCustomdxCalendar::DayNameRect(int block, int column) const {
    return {block * Layout.BlockWidth() + Layout.SideMargin + column * Layout.ColumnWidth, Layout.BodyTop(),
            Layout.ColumnWidth, Layout.DayNameHeight};
}

QRect TCustomdxCalendar::CellRect(int block, int cell) const {
    return {block * Layout.BlockWidth() + Layout.SideMargin + cell % 7 * Layout.ColumnWidth,
            Layout.DaysTop() + cell / 7 * Layout.RowHeight, Layout.ColumnWidth, Layout.RowHeight};
}

TCalendarHit TCustomdxCalendar::HitTest(const QPoint& pos) const {
    TCalendarHit hit;
    if (pos.x() < 0 || pos.x() >= Months * Layout.BlockWidth() || pos.y() < 0)
        return hit;
    hit.Block = pos.x() / Layout.BlockWidth();
    if (pos.y() < Layout.HeaderHeight) {
        if (LeftArrowRect().contains(pos))
            hit.Kind = TCalendarHit::LeftArrow;
        else if (RightArrowRect().contains(pos))
            hit.Kind = TCalendarHit::RightArrow;
        else if (CaptionRect(hit.Block).contains(pos))
            hit.Kind = TCalendarHit::Caption;
        return hit;
    }
    if (pos.y() < Layout.BodyTop())
        return hit;
    if (pos.y() < Layout.DaysTop()) {
        hit.Kind = TCalendarHit::DayName;
        return hit;
    }
    const int x = pos.x() - hit.Block * Layout.BlockWidth() - Layout.SideMargin;
    const int row = (pos.y() - Layout.DaysTop()) / Layout.RowHeight;
    if (x < 0 || x >= 7 * Layout.ColumnWidth || row >= 6)
        return hit;
    const QDate date = FirstGridDateOf(BlockMonth(hit.Block)).addDays(row * 7 + x / Layout.ColumnWidth);
    if (!IsCellShown(hit.Block, date))
        return hit;
    hit.Kind = TCalendarHit::Day;
    hit.Date = DateFromQDate(date);
    return hit;
}

QPoint PlacePopup(const QRect& control, const QSize& popup, const QRect& available) {
    int x = control.left();
    int y = control.bottom() + 1;
    if (x + popup.width() > available.right() + 1)
        x = available.right() + 1 - popup.width();
    if (x < available.left())
        x = available.left();
    if (y + popup.height() > available.bottom() + 1)
        y = control.top() - popup.height();
    return {x, y};
}

TButtonStrip TButtonStrip::Layout(int clientWidth, int top, int pointSize, int todayWidth, int clearWidth,
                                  bool showToday, bool showClear) {
    TButtonStrip strip;
    const int buttons = (showToday ? 1 : 0) + (showClear ? 1 : 0);
    if (buttons == 0)
        return strip;
    const int gap = pointSize / 2;
    const int height = (pointSize * 5 + 1) / 2;
    strip.Height = 3 * pointSize / 4 + gap + height;
    const int spacing =
        (clientWidth - (showToday ? todayWidth : 0) - (showClear ? clearWidth : 0)) / (buttons + 1);
    int x = spacing;
    if (showToday) {
        strip.Today = QRect(x, top + gap, todayWidth, height);
        x += todayWidth + spacing;
    }
    if (showClear)
        strip.Clear = QRect(x, top + gap, clearWidth, height);
    return strip;
}

TMonthListRules TMonthListRules::For(const QDate& shownMonth, const TCalendarMetrics& metrics) {
    TMonthListRules rules;
    rules.TopMonth = QDate(shownMonth.year(), shownMonth.month(), 1).addMonths(-3);
    rules.ItemHeight = std::max(1, metrics.HeaderHeight - 2);
    return rules;
}

QSize TMonthListRules::Size(const TCalendarMetrics& metrics) {
    return {6 * metrics.ColumnWidth + 2, ItemCount * std::max(1, metrics.HeaderHeight - 2) + 2};
}

QRect TMonthListRules::Placement(const QRect& caption, const TCalendarMetrics& metrics) {
    const QSize size = Size(metrics);
    const QPoint centre = caption.center();
    return {QPoint(centre.x() - size.width() / 2, centre.y() - size.height() / 2), size};
}

int TMonthListRules::ScrollStep(int y, int height) {
    if (y < 0)
        return -std::min(-y / 12 + 1, 4);
    if (y >= height)
        return std::min((y + 1 - height) / 12 + 1, 4);
    return 0;
}

int TMonthListRules::ScrollInterval(int step) {
    static constexpr int intervals[] = {500, 250, 100, 50};
    const int size = std::abs(step);
    return size == 0 ? 0 : intervals[std::min(size, 4) - 1];
}

int TMonthListRules::Track(int y, int height) {
    const int step = ScrollStep(y, height);
    SelectedIndex = step != 0 ? -1 : std::clamp((y - 1) / ItemHeight, 0, ItemCount - 1);
    return step;
}
