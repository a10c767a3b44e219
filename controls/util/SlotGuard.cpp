#include "controls/util/SlotGuard.h"

#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"

void ReportException(std::exception_ptr failure) noexcept {
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
        // No way left to tell the user; the failure is dropped.
    }
}
