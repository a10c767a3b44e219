#pragma once

#include "core/services/UserPrompt.h"

#include <QString>
#include <functional>

// The Retry/Ignore (or Retry/Cancel) loop around an operation that may fail: the attempt runs;
// when it raises, the failure's text is handed to `askRetry`, and the attempt runs again for as
// long as that answers true. A cancel by the user (EOperationCancelled) is never asked about: it
// passes through. True when an attempt succeeded.
bool RunWithRetry(const std::function<void()>& attempt, const std::function<bool(const QString&)>& askRetry);

// The usual question of that loop: an error beep and box whose text `compose` makes from the
// failure's text, with the given buttons; Retry repeats.
bool RunWithRetryBox(const std::function<void()>& attempt,
                     const std::function<QString(const QString&)>& compose, TMessageButtons buttons,
                     int helpContext = 0);

// A box's own text followed, on a line of its own, by the failure's reason in brackets (the text
// alone when there is no reason).
QString WithFailureReason(const QString& text, const QString& reason);
