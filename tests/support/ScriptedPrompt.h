#pragma once

#include "core/services/UserPrompt.h"

#include <QList>
#include <QString>
#include <deque>

// A prompter for tests: answers from a script, records every box, beep and help context.
// A box shown when the script is empty fails the test and answers the button that ends a loop
// (Cancel, Ignore, No, OK or Abort, the first of them offered); past twenty such boxes it throws.
class TScriptedPrompt : public IUserPrompt {
public:
    struct TShown {
        TMessageKind Kind;
        QString Text;
        TMessageButtons Buttons;
        int HelpContext;
    };

    // Answers to give, in order.
    void Answer(TMessageButton button) { Answers.push_back(button); }
    void AnswerText(const QString& text, bool accepted = true) { TextAnswers.push_back({text, accepted}); }

    void Beep(TBeep beep) override { Beeps.append(beep); }
    TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                               int helpContext = 0) override;
    bool InputText(const QString& caption, const QString& prompt, QString& value) override;

    bool ScriptDone() const { return Answers.empty() && TextAnswers.empty(); }
    QStringList Texts() const;

    QList<TShown> Shown;
    QList<TBeep> Beeps;
    QStringList Inputs;

private:
    std::deque<TMessageButton> Answers;
    std::deque<std::pair<QString, bool>> TextAnswers;
    int Unexpected = 0;
};
