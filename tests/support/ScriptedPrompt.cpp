#include "tests/support/ScriptedPrompt.h"

#include <gtest/gtest.h>

TMessageButton TScriptedPrompt::ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                                            int helpContext) {
    Shown.append({kind, text, buttons, helpContext});
    if (Answers.empty()) {
        ADD_FAILURE() << "Unexpected message box: " << text.toStdString();
        if (buttons.testFlag(TMessageButton::Cancel))
            return TMessageButton::Cancel;
        for (unsigned bit = 1; bit != 0 && bit <= static_cast<unsigned>(TMessageButton::Abort); bit <<= 1)
            if (buttons.testFlag(static_cast<TMessageButton>(bit)))
                return static_cast<TMessageButton>(bit);
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
