#include "core/services/UserPrompt.h"

TBeep BeepForKind(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Error:
        return TBeep::Error;
    case TMessageKind::Warning:
        return TBeep::Warning;
    case TMessageKind::Question:
        return TBeep::Question;
    case TMessageKind::Information:
        return TBeep::Information;
    }
    return TBeep::Default;
}

TMessageButton MessageBeepAndShow(IUserPrompt& prompt, TMessageKind kind, const QString& text,
                                  TMessageButtons buttons, int helpContext) {
    prompt.Beep(BeepForKind(kind));
    return prompt.ShowMessage(kind, text, buttons, helpContext);
}
