#include "controls/util/FocusExit.h"

#include <QFocusEvent>

bool IsControlExit(const QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
