#include "shell/startup/QuilvaneApplication.h"

#include "controls/util/SlotGuard.h"
#include "shell/startup/HintPauseStyle.h"

#include <exception>
#include <utility>

TQuilvaneApplication::TQuilvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The application takes the style over; it wraps the platform's own.
    setStyle(new THintPauseStyle);
}

bool TQuilvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
}

void TQuilvaneApplication::ReportException(std::exception_ptr failure) noexcept {
    ::ReportException(std::move(failure));
}
