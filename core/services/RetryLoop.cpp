#include "core/services/RetryLoop.h"

#include "core/common/Exceptions.h"
#include "core/services/Services.h"

bool RunWithRetry(const std::function<void()>& attempt, const std::function<bool(const QString&)>& askRetry) {
    for (;;) {
        QString error;
        try {
            attempt();
            return true;
        } catch (const EOperationCancelled&) {
            throw;
        } catch (const std::exception& e) {
            error = ErrorText(e);
        }
        if (!askRetry(error))
            return false;
    }
}

bool RunWithRetryBox(const std::function<void()>& attempt,
                     const std::function<QString(const QString&)>& compose, TMessageButtons buttons,
                     int helpContext) {
    return RunWithRetry(attempt, [&](const QString& error) {
        return MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, compose(error), buttons,
                                  helpContext) == TMessageButton::Retry;
    });
}

QString WithFailureReason(const QString& text, const QString& reason) {
    if (reason.isEmpty())
        return text;
    return text + QLatin1Char('\n') + QLatin1Char('(') + reason + QLatin1Char(')');
}
