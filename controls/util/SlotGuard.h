#pragma once

#include <exception>
#include <utility>

// No exception may travel through the event loop. Slots, actions and timer ticks that can fail
// run their body through GuardSlot: a failure is shown in an error box after the error beep, and
// a silent abort (EAbort, already reported) shows nothing.
void ReportException(std::exception_ptr failure) noexcept;

template <typename TBody> void GuardSlot(TBody&& body) noexcept {
    try {
        std::forward<TBody>(body)();
    } catch (...) {
        ReportException(std::current_exception());
    }
}
