#pragma once

#include "core/util/TextLayout.h"

#include <QEvent>
#include <QRect>
#include <QString>
#include <Qt>

class QFontMetrics;
class QObject;
class QWidget;
class TRegionalSettings;

// Where a window of the given frame lands when centred on the screen area: centred first, then
// moved back inside where it overlaps the right, then the left, then the bottom, then the top
// edge. A window larger than the screen thus ends with its top-left corner visible. The size is
// kept.
QRect CenteredWindowRect(const QRect& window, const QRect& screen);

// Centres a top-level window on the available area of its screen; size, stacking and activation
// stay as they are.
void CenterWindow(QWidget* window);

// The text itself when it fits in Width; otherwise the longest prefix that still fits with "..."
// after it, and "..." alone when not even that fits.
QString MinimizeText(const QString& text, const TTextMeasure& measure, int width);
QString MinimizeText(const QString& text, const QFontMetrics& metrics, int width);

// Tells the user "Function not yet implemented" in an information box (with the normal cursor),
// then ends the operation silently (EAbort).
[[noreturn]] void NotImplemented();

// Takes the pending posted events of the kind for the window (for every receiver when the window
// is null) out of the queue, so that they are never delivered. A pending quit is never taken (the
// program still ends as it was asked to), nor a pending deferred delete (the object would never be
// freed); QEvent::None takes nothing.
void KillMessage(QObject* window, QEvent::Type type);

// True while one of the program's windows is the active window.
bool IsForegroundTask();

// Whether a short date format writes the year with four digits ("YYYY" in any case).
bool ShortDateHasFourDigitYear(const QString& shortDateFormat);
// The same for the program's regional formats.
bool ShortDateHasFourDigitYear();

// The program's two extra cursor numbers and the shapes that stand for them; any other number
// gives the arrow.
enum TCursorNumber : int { crHand = 14000, crDrag = 14001 };
Qt::CursorShape CursorShapeFor(int cursorNumber);
