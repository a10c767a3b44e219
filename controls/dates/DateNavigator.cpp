#include "controls/dates/DateNavigator.h"

#include "controls/dates/DateEdit.h"
#include "controls/util/SlotGuard.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>

namespace {} // namespace

TdxCalenMonthListBox::TdxCalenMonthListBox(QWidget* calendar, const QDate& shownMonth,
                                           const TCalendarMetrics& metrics, const TDateLocale& locale)
    : QWidget(calendar, Qt::ToolTip | Qt::FramelessWindowHint),
      List(TMonthListRules::For(shownMonth, metrics)), Locale(locale) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(calendar->font());
    resize(TMonthListRules::Size(metrics));
    connect(&Timer, &QTimer::timeout, this, [this] { GuardSlot([this] { Tick(); }); });
}

void TdxCalenMonthListBox::ShowOver(const QRect& globalCaption) {
    const QPoint centre = globalCaption.center();
    move(centre.x() - width() / 2, centre.y() - height() / 2);
    show();
}

void TdxCalenMonthListBox::Track(const QPoint& globalPos) {
    const int step = List.Track(mapFromGlobal(globalPos).y(), height());
    if (step == 0) {
        Timer.stop();
    } else if (step != Step || !Timer.isActive()) {
        Timer.start(TMonthListRules::ScrollInterval(step));
    }
    Step = step;
    update();
}

QDate TdxCalenMonthListBox::Chosen() const {
    return List.SelectedIndex >= 0 ? List.MonthAt(List.SelectedIndex) : QDate();
}

void TdxCalenMonthListBox::Tick() {
    if (Step == 0)
        return;
    List.Scroll(Step);
    update();
}

void TdxCalenMonthListBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TCalendarColors colors = TCalendarColors::FromPalette(palette());
    painter.fillRect(rect(), colors.Window);
    painter.setPen(colors.WindowText);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    for (int i = 0; i < TMonthListRules::ItemCount; ++i) {
        const QRect item(1, 1 + i * List.ItemHeight, width() - 2, List.ItemHeight);
        const QDate month = List.MonthAt(i);
        if (i == List.SelectedIndex) {
            painter.fillRect(item, colors.WindowText);
            painter.setPen(colors.Window);
        } else {
            painter.setPen(colors.WindowText);
        }
        painter.drawText(item, Qt::AlignCenter,
                         Locale.LongMonthNames[month.month() - 1] + QLatin1Char(' ') +
                             QString::number(month.year()));
    }
}

TdxDateNavigator::TdxDateNavigator(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), Locale(TDateLocale::Program()) {
    SetFirstDayOfWeek(Locale.FirstDayOfWeek);
    setAttribute(Qt::WA_ShowWithoutActivating);
    Arrow.setInterval(CalendarArrowRepeatMs);
    connect(&Arrow, &QTimer::timeout, this, [this] { GuardSlot([this] { ArrowTick(); }); });
    UpdateLayout();
}

TdxDateEdit* TdxDateNavigator::Owner() const {
    return OwnerEdit.data();
}

void TdxDateNavigator::SetOwner(TdxDateEdit* owner) {
    OwnerEdit = owner;
}

TdxDateNavigator::~TdxDateNavigator() {
    Arrow.stop();
}

void TdxDateNavigator::SetDateLocale(const TDateLocale& locale) {
    Locale = locale;
    SetFirstDayOfWeek(locale.FirstDayOfWeek);
    update();
}

void TdxDateNavigator::SetButtons(bool showToday, bool showClear) {
    TodayShown = showToday;
    ClearShown = showClear;
    UpdateLayout();
}

void TdxDateNavigator::SetFlat(bool flat) {
    TCalendarMetrics metrics = Metrics();
    metrics.Flat = flat;
    SetMetrics(metrics);
    UpdateLayout();
}

void TdxDateNavigator::UpdateLayout() {
    const QFontMetrics fm = fontMetrics();
    SetMetrics(
        TCalendarMetrics::FromFont(fm.horizontalAdvance(QLatin1Char('0')), fm.height(), Metrics().Flat));
    const int frame = Metrics().FrameWidth();
    setFixedSize(ClientSize() + QSize(2 * frame, 2 * frame));
}

TButtonStrip TdxDateNavigator::Buttons() const {
    const QFontMetrics fm = fontMetrics();
    const int column = Metrics().ColumnWidth;
    const int points = font().pointSize() > 0 ? font().pointSize() : std::max(1, font().pixelSize() * 3 / 4);
    return TButtonStrip::Layout(MonthAcross() * Metrics().BlockWidth(), Metrics().GridHeight(), points,
                                fm.horizontalAdvance(tr("Today")) + column,
                                fm.horizontalAdvance(tr("Clear")) + column, TodayShown, ClearShown);
}

int TdxDateNavigator::ExtraHeight() const {
    return Buttons().Height;
}

QPoint TdxDateNavigator::ToClient(const QPoint& pos) const {
    return pos - QPoint(Metrics().FrameWidth(), Metrics().FrameWidth());
}

QPoint TdxDateNavigator::FromClient(const QPoint& pos) const {
    return pos + QPoint(Metrics().FrameWidth(), Metrics().FrameWidth());
}

void TdxDateNavigator::CloseUp() {
    EndTracking();
    hide();
}

void TdxDateNavigator::Choose() {
    emit SelectionChanged();
    if (OwnerEdit)
        OwnerEdit->ApplyChoice(GetSelStart(), GetSelFinish());
}

void TdxDateNavigator::EndTracking() {
    Arrow.stop();
    ArrowStep = 0;
    CloseMonthList(false);
    PressedButton = TButton::None;
    ButtonPushed = false;
    Release(false);
}

void TdxDateNavigator::CloseMonthList(bool apply) {
    if (!List)
        return;
    const QDate chosen = List->Chosen();
    List->hide();
    List->deleteLater();
    List.clear();
    if (apply && chosen.isValid())
        SetFirstDate(DateFromQDate(chosen));
    update();
}

void TdxDateNavigator::ArrowTick() {
    if (ArrowStep == 0)
        return;
    const TCalendarHit hit = HitTest(ToClient(mapFromGlobal(QCursor::pos())));
    if (hit.Kind == (ArrowStep < 0 ? TCalendarHit::LeftArrow : TCalendarHit::RightArrow))
        SetFirstDate(DateFromQDate(BlockMonth(ArrowStep)));
}

void TdxDateNavigator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TCalendarColors colors = TCalendarColors::FromPalette(palette());
    painter.fillRect(rect(), colors.Window);
    TCalendarPainter::PaintFrame(painter, rect(), Metrics().Flat, colors);
    painter.translate(FromClient(QPoint(0, 0)));
    TCalendarPainter(*this, Locale, colors).Paint(painter, TodayDate());

    const TButtonStrip strip = Buttons();
    if (strip.Height == 0)
        return;
    const int lineY = Metrics().GridHeight() - 1;
    painter.setPen(colors.ButtonShadow);
    painter.drawLine(0, lineY, ClientSize().width() - 1, lineY);
    auto paintButton = [&](const QRect& rect, const QString& text, TButton button) {
        if (rect.isEmpty())
            return;
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = rect;
        option.text = text;
        option.state |=
            (PressedButton == button && ButtonPushed) ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    };
    paintButton(strip.Today, tr("Today"), TButton::Today);
    paintButton(strip.Clear, tr("Clear"), TButton::Clear);
}

void TdxDateNavigator::keyPressEvent(QKeyEvent* event) {
    GuardSlot([&] {
        const int key = event->key();
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!List) {
                CloseUp();
                Choose();
            }
        } else if (key == Qt::Key_Escape || (key == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
                   ((key == Qt::Key_Up || key == Qt::Key_Down) && modifiers.testFlag(Qt::AltModifier))) {
            CloseUp();
        } else if (!MoveByKey(key, modifiers)) {
            QWidget::keyPressEvent(event);
            return;
        }
        event->accept();
    });
}

void TdxDateNavigator::mousePressEvent(QMouseEvent* event) {
    GuardSlot([&] {
        const QPoint pos = event->position().toPoint();
        if (!rect().contains(pos)) {
            // A press on the editor's own arrow only closes the pop-up: it must not drop it down again.
            bool onOwnButton = false;
            if (OwnerEdit && OwnerEdit->Button()->isVisible()) {
                const QToolButton* button = OwnerEdit->Button();
                onOwnButton = QRect(button->mapToGlobal(QPoint(0, 0)), button->size())
                                  .contains(event->globalPosition().toPoint());
            }
            setAttribute(Qt::WA_NoMouseReplay, onOwnButton);
            CloseUp();
            return;
        }
        if (event->button() != Qt::LeftButton)
            return;
        const QPoint client = ToClient(pos);
        if (client.y() >= Metrics().GridHeight()) {
            const TButtonStrip strip = Buttons();
            if (strip.Today.contains(client))
                PressedButton = TButton::Today;
            else if (strip.Clear.contains(client))
                PressedButton = TButton::Clear;
            ButtonPushed = PressedButton != TButton::None;
            update();
            return;
        }
        const TCalendarHit hit = HitTest(client);
        switch (hit.Kind) {
        case TCalendarHit::Day:
            PressDay(hit.Date);
            break;
        case TCalendarHit::Caption: {
            List = new TdxCalenMonthListBox(this, BlockMonth(hit.Block), Metrics(), Locale);
            const QRect caption = CaptionRect(hit.Block);
            List->ShowOver(QRect(mapToGlobal(FromClient(caption.topLeft())), caption.size()));
            break;
        }
        case TCalendarHit::LeftArrow:
        case TCalendarHit::RightArrow:
            ArrowStep = hit.Kind == TCalendarHit::LeftArrow ? -1 : 1;
            SetFirstDate(DateFromQDate(BlockMonth(ArrowStep)));
            Arrow.start();
            break;
        default:
            break;
        }
    });
}

void TdxDateNavigator::mouseMoveEvent(QMouseEvent* event) {
    GuardSlot([&] {
        const QPoint pos = event->position().toPoint();
        if (List) {
            List->Track(event->globalPosition().toPoint());
        } else if (PressedButton != TButton::None) {
            const TButtonStrip strip = Buttons();
            const bool over =
                (PressedButton == TButton::Today ? strip.Today : strip.Clear).contains(ToClient(pos));
            if (over != ButtonPushed) {
                ButtonPushed = over;
                update();
            }
        } else if (ArrowStep == 0) {
            DragTo(ToClient(pos), rect().contains(pos));
        }
    });
}

void TdxDateNavigator::mouseReleaseEvent(QMouseEvent* event) {
    GuardSlot([&] {
        const QPoint pos = event->position().toPoint();
        if (ArrowStep != 0) {
            Arrow.stop();
            ArrowStep = 0;
            return;
        }
        if (List) {
            List->Track(event->globalPosition().toPoint());
            CloseMonthList(true);
            return;
        }
        if (PressedButton != TButton::None) {
            const TButtonStrip strip = Buttons();
            const TButton button = PressedButton;
            PressedButton = TButton::None;
            ButtonPushed = false;
            update();
            if (!(button == TButton::Today ? strip.Today : strip.Clear).contains(ToClient(pos)))
                return;
            SetSelStart(button == TButton::Today ? TodayDate() : NullDate);
            CloseUp();
            Choose();
            return;
        }
        if (PressDate() == NullDate)
            return;
        if (Release(rect().contains(pos))) {
            CloseUp();
            Choose();
        }
    });
}

void TdxDateNavigator::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateLayout();
}

bool TdxDateNavigator::event(QEvent* event) {
    if (event->type() == QEvent::Hide)
        EndTracking();
    return QWidget::event(event);
}
