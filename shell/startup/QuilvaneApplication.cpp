#include "shell/startup/QuilvaneApplication.h"

#include "core/common/Exceptions.h"
#include "core/services/Services.h"

#include <exception>

TQuilvaneApplication::TQuilvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQuilvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
}

void TQuilvaneApplication::ReportException(std::exception_ptr failure) noexcept {
    QString message;
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        return;
    } catch (const EQuilvaneError& error) {
        message = error.message();
    } catch (const std::exception& error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = QStringLiteral("An unexpected error has occurred.");
    }
    try {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, message, TMessageButton::OK);
    } catch (...) {
        // No way left to tell the user; the event is dropped.
    }
}
