#include "controls/dates/MonthCalendar.h"

#include "controls/util/SlotGuard.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The arrow repeat of the shared calendars.

} // namespace

TbtCalendar::TbtCalendar(QWidget* parent) : QWidget(parent), DateLocale(TDateLocale::Program()) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ArrowTimer.setInterval(CalendarArrowRepeatMs);
    connect(&ArrowTimer, &QTimer::timeout, this, [this] { GuardSlot([this] { ArrowTick(LastPos); }); });
    ApplyFont();
}

TbtCalendar::~TbtCalendar() {
    ArrowTimer.stop();
    delete ListBox;
}

QPoint TbtCalendar::ClientOrigin() const {
    const int frame = Metrics().FrameWidth();
    return {frame, frame};
}

void TbtCalendar::ApplyFont() {
    const QFontMetrics metrics(font());
    SetDigitSize(metrics.horizontalAdvance(QLatin1Char('0')), metrics.height());
}

void TbtCalendar::Changed() {
    if (size() != ControlSize())
        setFixedSize(ControlSize());
    update();
}

bool TbtCalendar::event(QEvent* event) {
    // The navigation keys are the calendar's own, never a shortcut of the window.
    if (event->type() == QEvent::ShortcutOverride && ClaimsKey(static_cast<QKeyEvent*>(event)->key())) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TbtCalendar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        ApplyFont();
    else if (event->type() == QEvent::LocaleChange) {
        DateLocale = TDateLocale::Program();
        update();
    }
    QWidget::changeEvent(event);
}

void TbtCalendar::paintEvent(QPaintEvent*) {
    GuardSlot([this] {
        QPainter painter(this);
        const TCalendarColors colors = TCalendarColors::FromPalette(palette());
        painter.fillRect(rect(), colors.Window);
        TCalendarPainter::PaintFrame(painter, rect(), Flat(), colors);
        painter.translate(ClientOrigin());
        TCalendarPainter calendarPainter(*this, DateLocale, colors);
        calendarPainter.OnCalcDateColors = OnCalcDateColors;
        calendarPainter.Paint(painter, TodayDate());
    });
}

void TbtCalendar::keyPressEvent(QKeyEvent* event) {
    TCalendarKeyResult result = TCalendarKeyResult::Ignored;
    GuardSlot([&] { result = HandleKey(event->key(), event->modifiers()); });
    if (result == TCalendarKeyResult::Ignored) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (result == TCalendarKeyResult::Chosen)
        emit selectionChanged();
}

void TbtCalendar::LeftPress(const QPoint& pos) {
    LastPos = pos - ClientOrigin();
    CloseListBox(false);
    const TCalendarPress press = Press(LastPos);
    if (press.Kind == TCalendarPress::Arrow)
        ArrowTimer.start();
    else if (press.Kind == TCalendarPress::MonthList) {
        ListBox = new TdxCalenMonthListBox(this, BlockMonth(press.Block), Metrics(), DateLocale);
        const QRect caption = CaptionRect(press.Block).translated(ClientOrigin());
        ListBox->ShowOver(QRect(mapToGlobal(caption.topLeft()), caption.size()));
    }
}

void TbtCalendar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        GuardSlot([&] { LeftPress(event->position().toPoint()); });
    QWidget::mousePressEvent(event);
}

void TbtCalendar::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // A double click on a day chooses it at once, so that closing the window in answer to it
    // cannot take the day back as an unfinished press.
    bool chosen = false;
    GuardSlot([&] {
        ArrowTimer.stop();
        chosen = EndPress(true);
        CloseListBox(false);
    });
    if (chosen)
        emit selectionChanged();
    emit doubleClicked();
}

void TbtCalendar::mouseMoveEvent(QMouseEvent* event) {
    if (!event->buttons().testFlag(Qt::LeftButton))
        return;
    GuardSlot([&] {
        LastPos = event->position().toPoint() - ClientOrigin();
        if (ListBox)
            ListBox->Track(event->globalPosition().toPoint());
        else
            DragTo(LastPos, rect().contains(event->position().toPoint()));
    });
}

void TbtCalendar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    bool chosen = false;
    GuardSlot([&] {
        ArrowTimer.stop();
        chosen = EndPress(rect().contains(event->position().toPoint()));
        CloseListBox(true);
    });
    if (chosen)
        emit selectionChanged();
}

void TbtCalendar::EndMouse() {
    ArrowTimer.stop();
    CancelPress();
    CloseListBox(false);
}

void TbtCalendar::CloseListBox(bool pick) {
    if (!ListBox)
        return;
    CloseMonthList(pick ? ListBox->Chosen() : QDate());
    delete ListBox;
}

void TbtCalendar::focusOutEvent(QFocusEvent* event) {
    GuardSlot([this] { EndMouse(); });
    QWidget::focusOutEvent(event);
}

void TbtCalendar::hideEvent(QHideEvent* event) {
    GuardSlot([this] { EndMouse(); });
    QWidget::hideEvent(event);
}
