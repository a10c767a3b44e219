#include "controls/dates/MonthCalendarRules.h"

#include <algorithm>

TCustomBTCalendar::TCustomBTCalendar() {
    SetFirstDayOfWeek(TDateLocale::SystemFirstDayOfWeek());
}

void TCustomBTCalendar::SetFlat(bool flat) {
    if (flat != Flat())
        SetMetrics(TCalendarMetrics::FromFont(DigitWidth, DigitHeight, flat));
}

void TCustomBTCalendar::SetMonthDown(int months) {
    MonthsDown = std::max(1, months);
    Changed();
}

void TCustomBTCalendar::SetDigitSize(int width, int height) {
    DigitWidth = std::max(1, width);
    DigitHeight = std::max(1, height);
    SetMetrics(TCalendarMetrics::FromFont(DigitWidth, DigitHeight, Flat()));
}

QSize TCustomBTCalendar::ControlSize() const {
    const int frame = 2 * Metrics().FrameWidth();
    return ClientSize() + QSize(frame, frame);
}

bool TCustomBTCalendar::ClaimsKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

TCalendarKeyResult TCustomBTCalendar::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return MonthListOpen() ? TCalendarKeyResult::Ignored : TCalendarKeyResult::Chosen;
    return MoveByKey(key, modifiers) ? TCalendarKeyResult::Moved : TCalendarKeyResult::Ignored;
}

TCalendarPress TCustomBTCalendar::Press(const QPoint& pos) {
    Pressed = {};
    const TCalendarHit hit = HitTest(pos);
    switch (hit.Kind) {
    case TCalendarHit::Day:
        PressDay(hit.Date);
        Pressed.Kind = TCalendarPress::Day;
        break;
    case TCalendarHit::Caption:
        Pressed.Kind = TCalendarPress::MonthList;
        Pressed.Block = hit.Block;
        ListBlock = hit.Block;
        break;
    case TCalendarHit::LeftArrow:
    case TCalendarHit::RightArrow:
        Pressed.Kind = TCalendarPress::Arrow;
        Pressed.Step = hit.Kind == TCalendarHit::LeftArrow ? -1 : 1;
        StepMonth(Pressed.Step);
        break;
    default:
        break;
    }
    return Pressed;
}

bool TCustomBTCalendar::ArrowTick(const QPoint& pos) {
    if (Pressed.Kind != TCalendarPress::Arrow)
        return false;
    const TCalendarHit::TKind arrow = Pressed.Step < 0 ? TCalendarHit::LeftArrow : TCalendarHit::RightArrow;
    if (HitTest(pos).Kind != arrow)
        return false;
    StepMonth(Pressed.Step);
    return true;
}

bool TCustomBTCalendar::EndPress(bool inside) {
    const TCalendarPress::TKind kind = Pressed.Kind;
    Pressed = {};
    return kind == TCalendarPress::Day && Release(inside);
}

void TCustomBTCalendar::CancelPress() {
    if (Pressed.Kind == TCalendarPress::Day)
        Release(false);
    Pressed = {};
    CloseMonthList(QDate());
}

void TCustomBTCalendar::StepMonth(int step) {
    SetFirstDate(DateFromQDate(BlockMonth(0).addMonths(step)));
}

void TCustomBTCalendar::CloseMonthList(const QDate& picked) {
    if (!MonthListOpen())
        return;
    const int block = ListBlock;
    ListBlock = -1;
    if (picked.isValid())
        SetFirstDate(DateFromQDate(picked.addMonths(-block)));
    Changed();
}
