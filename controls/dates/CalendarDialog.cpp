#include "controls/dates/CalendarDialog.h"

#include "controls/dates/CalendarDialogRules.h"
#include "controls/dates/MonthCalendar.h"
#include "core/dates/DateNumbers.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// The dialog frame drawn round the borderless window.
constexpr int FrameWidth = 2;
// The window's client size; the calendar fills it but for a pixel on the right and at the bottom.
constexpr QSize ClientSize(153, 128);

} // namespace

TfmCalendar::TfmCalendar(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(tr("Calendar"));
    setBackgroundRole(QPalette::Button);
    btcCalendar = new TbtCalendar(this);
    btcCalendar->SetSelectPeriod(false);
    btcCalendar->SetStartOfWeek(TDaysOfWeek::Monday);
    btcCalendar->move(FrameWidth, FrameWidth);
    btcCalendar->OnCalcDateColors = [](double, bool selected, const QColor&, QColor& backColor) {
        if (selected)
            backColor = QColor(0, 0, 128);
    };
    connect(btcCalendar, &TbtCalendar::doubleClicked, this, &QDialog::accept);
    btcCalendar->installEventFilter(this);
    const QSize client = ClientSize.expandedTo(btcCalendar->size() + QSize(1, 1));
    setFixedSize(client + QSize(2 * FrameWidth, 2 * FrameWidth));
    btcCalendar->setFocus();
}

void TfmCalendar::SetDate(double dateNum, double fallbackDateNum) {
    const double day = DateNumToDateTime(CalendarOpeningDateNum(dateNum, fallbackDateNum));
    btcCalendar->SetFirstDate(day);
    btcCalendar->SetSelStart(day);
}

double TfmCalendar::GetDate() const {
    return CalendarResultDateNum(btcCalendar->GetSelStart() + DateNumOffset);
}

bool TfmCalendar::PreviewKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    default:
        return false;
    }
}

bool TfmCalendar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == btcCalendar && event->type() == QEvent::KeyPress)
        return PreviewKey(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

void TfmCalendar::keyPressEvent(QKeyEvent* event) {
    if (!PreviewKey(event))
        QDialog::keyPressEvent(event);
}

void TfmCalendar::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = FrameWidth;
    option.state |= QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
}
