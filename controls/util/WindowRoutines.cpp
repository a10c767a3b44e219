#include "controls/util/WindowRoutines.h"

#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QRect CenteredWindowRect(const QRect& window, const QRect& screen) {
    int left = screen.left() + (screen.width() - window.width()) / 2;
    int top = screen.top() + (screen.height() - window.height()) / 2;
    if (left + window.width() > screen.left() + screen.width())
        left = screen.left() + screen.width() - window.width();
    if (left < screen.left())
        left = screen.left();
    if (top + window.height() > screen.top() + screen.height())
        top = screen.top() + screen.height() - window.height();
    if (top < screen.top())
        top = screen.top();
    return QRect(QPoint(left, top), window.size());
}

void CenterWindow(QWidget* window) {
    if (window == nullptr)
        return;
    const QScreen* screen = window->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    window->move(CenteredWindowRect(window->frameGeometry(), screen->availableGeometry()).topLeft());
}

QString MinimizeText(const QString& text, const TTextMeasure& measure, int width) {
    QString result = text;
    if (width < 1) {
        // Nothing but an empty text fits; what does not fit is "..." at least.
        const int textWidth = measure ? measure(text) : static_cast<int>(text.size());
        return textWidth <= width ? result : QStringLiteral("...");
    }
    TruncateTextToWidth(measure, result, width);
    return result;
}

QString MinimizeText(const QString& text, const QFontMetrics& metrics, int width) {
    return MinimizeText(
        text, [&metrics](const QString& t) { return metrics.horizontalAdvance(t); }, width);
}

void NotImplemented() {
    {
        const TCursorScope normal(TCursorKind::Normal);
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                           QStringLiteral("Function not yet implemented"), TMessageButton::OK);
    }
    throw EAbort();
}

void KillMessage(QObject* window, QEvent::Type type) {
    if (type == QEvent::None || type == QEvent::Quit || type == QEvent::DeferredDelete)
        return;
    QCoreApplication::removePostedEvents(window, int(type));
}

bool IsForegroundTask() {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

bool ShortDateHasFourDigitYear(const QString& shortDateFormat) {
    return shortDateFormat.contains(QStringLiteral("YYYY"), Qt::CaseInsensitive);
}

bool ShortDateHasFourDigitYear() {
    return ShortDateHasFourDigitYear(TServices::Regional().ShortDateFormat);
}

Qt::CursorShape CursorShapeFor(int cursorNumber) {
    switch (cursorNumber) {
    case crHand:
        return Qt::PointingHandCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    default:
        return Qt::ArrowCursor;
    }
}
