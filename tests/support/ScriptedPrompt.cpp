#include "tests/support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <stdexcept>

TMessageButton TScriptedPrompt::ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                                            int helpContext) {
    Shown.append({kind, text, buttons, helpContext});
    if (Answers.empty()) {
        ADD_FAILURE() << "Unexpected message box: " << text.toStdString();
        // A box in a retry loop would be shown for ever: give up loudly after a few.
        if (++Unexpected > 20)
            throw std::logic_error("Too many unexpected message boxes: " + text.toStdString());
        // The answer that ends a loop: Cancel, then Ignore, No, OK, Abort.
        for (const TMessageButton ending : {TMessageButton::Cancel, TMessageButton::Ignore,
                                            TMessageButton::No, TMessageButton::OK, TMessageButton::Abort})
            if (buttons.testFlag(ending))
                return ending;
        return TMessageButton::OK;
    }
    const TMessageButton answer = Answers.front();
    Answers.pop_front();
    EXPECT_TRUE(buttons.testFlag(answer)) << "Scripted answer not offered by: " << text.toStdString();
    return answer;
}

bool TScriptedPrompt::InputText(const QString& caption, const QString& prompt, QString& value) {
    Inputs.append(caption + QLatin1String(": ") + prompt);
    if (TextAnswers.empty()) {
        ADD_FAILURE() << "Unexpected text prompt: " << prompt.toStdString();
        return false;
    }
    const auto [text, accepted] = TextAnswers.front();
    TextAnswers.pop_front();
    if (accepted)
        value = text;
    return accepted;
}

QStringList TScriptedPrompt::Texts() const {
    QStringList texts;
    for (const TShown& shown : Shown)
        texts.append(shown.Text);
    return texts;
}
