#include "platform/cursor/QtCursorService.h"

#include <QApplication>
#include <QCursor>

TQtCursorService::~TQtCursorService() {
    if (!QApplication::instance())
        return;
    while (Pushed > 0) {
        QApplication::restoreOverrideCursor();
        --Pushed;
    }
}

void TQtCursorService::Push(TCursorKind kind) {
    QApplication::setOverrideCursor(QCursor(kind == TCursorKind::Busy ? Qt::WaitCursor : Qt::ArrowCursor));
    ++Pushed;
}

void TQtCursorService::Pop() {
    if (Pushed == 0)
        return;
    QApplication::restoreOverrideCursor();
    --Pushed;
}
