#include "shell/startup/EventLoopDelay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void TEventLoopDelay::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void TEventLoopDelay::Wait(int milliseconds) {
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
