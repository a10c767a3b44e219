#pragma once

#include "tests/support/ScriptedPrompt.h"

#include <functional>

// A prompter that runs a step of the test when a box comes up, then answers from its script.
class THookedPrompt : public TScriptedPrompt {
public:
    std::function<void()> OnShow;
    TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                               int helpContext = 0) override {
        if (OnShow)
            OnShow();
        return TScriptedPrompt::ShowMessage(kind, text, buttons, helpContext);
    }
};
