#include "controls/small/FocusNext.h"

#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>

TFocusNext::TFocusNext(QWidget* owner) {
    Dialog = qobject_cast<QDialog*>(owner);
    if (!Dialog)
        throw EAbort();
    if (!Dialog->findChildren<TFocusNext*>(Qt::FindDirectChildrenOnly).isEmpty()) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                           QStringLiteral("Only one instance of TFocusNext is allowed."), TMessageButton::OK);
        throw EAbort();
    }
    setParent(Dialog);
    qApp->installEventFilter(this);
}

bool TFocusNext::MovesFocusOnEnter(const QWidget* widget) {
    if (!widget)
        return false;
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(widget))
        return memo->isReadOnly();
    if (const auto* rich = qobject_cast<const QTextEdit*>(widget))
        return rich->isReadOnly();
    if (qobject_cast<const QRadioButton*>(widget))
        return qobject_cast<const QGroupBox*>(widget->parentWidget()) != nullptr;
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QCheckBox*>(widget);
}

bool TFocusNext::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != Dialog && !Dialog->isAncestorOf(widget)))
        return false;
    const Qt::KeyboardModifiers modifiers = static_cast<QInputEvent*>(event)->modifiers();
    Shift = modifiers & Qt::ShiftModifier;
    Ctrl = modifiers & Qt::ControlModifier;
    Alt = modifiers & Qt::AltModifier;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyRelease) {
        // The released key itself may still be counted in the modifiers.
        Shift = Shift && key->key() != Qt::Key_Shift;
        Ctrl = Ctrl && key->key() != Qt::Key_Control;
        Alt = Alt && key->key() != Qt::Key_Alt;
    }
    if (type != QEvent::KeyPress)
        return false;
    if (!IsEnabled || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        widget != QApplication::focusWidget() || !MovesFocusOnEnter(widget))
        return false;
    QKeyEvent tab(QEvent::KeyPress, Shift ? Qt::Key_Backtab : Qt::Key_Tab,
                  Shift ? Qt::ShiftModifier : Qt::NoModifier);
    QApplication::sendEvent(widget, &tab);
    return true;
}
