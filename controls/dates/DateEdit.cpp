#include "controls/dates/DateEdit.h"

#include "controls/dates/DateNavigator.h"
#include "controls/util/FocusExit.h"
#include "controls/util/SlotGuard.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {

QPointer<TdxDateNavigator> Navigator;

int CurrentYear() {
    return TServices::Clock().Now().date().year();
}

} // namespace

TdxDateEdit::TdxDateEdit(QWidget* parent) : TCustomComboEdit(parent), DateMask(TDateLocale::Program()) {
    SetGlyphKind(TGlyphKind::DropDown);
    setInputMask(DateMask.InputMask());
    setText(DateMask.EmptyText());
}

TdxDateEdit::~TdxDateEdit() {
    if (Navigator && Navigator->Owner() == this) {
        Navigator->CloseUp();
        Navigator->SetOwner(nullptr);
    }
}

TdxDateNavigator* TdxDateEdit::SharedNavigator() {
    return Navigator.data();
}

double TdxDateEdit::Date() const {
    return TextToDate(displayText(), DateMask.Locale(), CurrentYear());
}

void TdxDateEdit::SetDate(double date) {
    const double previous = Date();
    date = DateOf(date);
    const QString text = DateMask.Format(date);
    if (displayText() != text)
        setText(text);
    if (date != previous)
        emit dateChanged();
}

void TdxDateEdit::SetDateLocale(const TDateLocale& locale) {
    const double kept = Date();
    DateMask = TDateMask(locale);
    setInputMask(QString());
    setText(QString());
    setInputMask(DateMask.InputMask());
    setText(DateMask.Format(kept));
}

bool TdxDateEdit::DroppedDown() const {
    return Navigator && Navigator->Owner() == this && Navigator->isVisible();
}

void TdxDateEdit::DropDown() {
    if (ReadOnly())
        return;
    QWidget* host = window();
    if (!Navigator) {
        Navigator = new TdxDateNavigator(host);
        // The navigator is shared by every date edit of the run; a reset of the services (a
        // test's end) lets it go with the rest of the process-wide state.
        static const bool resetRegistered = [] {
            TServices::AtReset([] { delete Navigator.data(); });
            return true;
        }();
        (void)resetRegistered;
    }
    else if (Navigator->parentWidget() != host)
        Navigator->setParent(host, Qt::Popup | Qt::FramelessWindowHint);
    TdxDateNavigator& navigator = *Navigator;
    navigator.SetOwner(this);
    navigator.SetDateLocale(DateMask.Locale());
    navigator.setFont(font());
    navigator.SetSelectPeriod(PeriodMode);
    navigator.SetFlat(Flat);
    navigator.SetButtons(TodayShown, ClearShown);

    double date = Date();
    if (date == NullDate)
        date = TodayDate();
    navigator.SetFirstDate(date);
    navigator.SetSelStart(date);

    const QRect editor(mapToGlobal(QPoint(0, 0)), size());
    const QScreen* where = screen();
    const QRect available =
        where ? where->availableGeometry() : QRect(editor.topLeft(), QSize(1 << 20, 1 << 20));
    navigator.move(PlacePopup(editor, navigator.size(), available));
    navigator.show();
}

void TdxDateEdit::ButtonClick() {
    setFocus(Qt::MouseFocusReason);
    DropDown();
}

void TdxDateEdit::CloseUp() {
    if (DroppedDown())
        Navigator->CloseUp();
}

void TdxDateEdit::ApplyChoice(double selStart, double selFinish) {
    if (!PeriodMode)
        SetDate(selStart);
    else if (OnBeforeDateChange)
        OnBeforeDateChange(selStart, selFinish);
}

void TdxDateEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool dropKey = (key == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
                         ((key == Qt::Key_Down || key == Qt::Key_Up) && modifiers == Qt::AltModifier);
    if (dropKey) {
        event->accept();
        GuardSlot([this] { DropDown(); });
        return;
    }
    TCustomComboEdit::keyPressEvent(event);
}

void TdxDateEdit::focusOutEvent(QFocusEvent* event) {
    if (IsControlExit(event)) {
        GuardSlot([this] {
            CloseUp();
            const TDateExit verdict = DateExit(displayText(), isModified(), DateMask, CurrentYear());
            if (verdict.KeepFocus) {
                TServices::Prompt().Beep(TBeep::Default);
                QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
            }
            SetDate(verdict.Date);
            setModified(false);
        });
    }
    TCustomComboEdit::focusOutEvent(event);
}

void TdxDateEdit::changeEvent(QEvent* event) {
    TCustomComboEdit::changeEvent(event);
    if (event->type() == QEvent::LocaleChange)
        GuardSlot([this] { SetDateLocale(TDateLocale::Program()); });
}
