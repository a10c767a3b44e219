#pragma once

#include "core/services/UserPrompt.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

// A prompter for tests: answers boxes from a script and records every box and beep. A box shown
// when the script is empty fails the test and answers the button that ends a loop (Cancel, Ignore,
// No, OK or Abort, the first offered); past twenty such boxes it throws. A text prompt fails the
// test. OnShow, when set, runs a step of the test as each box comes up.
class TScriptedPrompt : public IUserPrompt {
public:
    struct TShown {
        TMessageKind Kind;
        QString Text;
        TMessageButtons Buttons;
        int HelpContext;
    };

    void Answer(TMessageButton button) { Answers.push_back(button); }
    bool ScriptDone() const { return Answers.empty(); }

    void Beep(TBeep beep) override { Beeps.append(beep); }
    TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                               int helpContext = 0) override {
        if (OnShow)
            OnShow();
        Shown.append({kind, text, buttons, helpContext});
        if (Answers.empty()) {
            ADD_FAILURE() << "Unexpected message box: " << text.toStdString();
            if (++Unexpected > 20) // a box in a retry loop would be shown for ever
                throw std::logic_error("Too many unexpected message boxes: " + text.toStdString());
            for (const TMessageButton ending :
                 {TMessageButton::Cancel, TMessageButton::Ignore, TMessageButton::No, TMessageButton::OK,
                  TMessageButton::Abort})
                if (buttons.testFlag(ending))
                    return ending;
            return TMessageButton::OK;
        }
        const TMessageButton answer = Answers.front();
        Answers.pop_front();
        EXPECT_TRUE(buttons.testFlag(answer)) << "Scripted answer not offered by: " << text.toStdString();
        return answer;
    }
    bool InputText(const QString&, const QString& prompt, QString&) override {
        ADD_FAILURE() << "Unexpected text prompt: " << prompt.toStdString();
        return false;
    }

    QStringList Texts() const {
        QStringList texts;
        for (const TShown& shown : Shown)
            texts.append(shown.Text);
        return texts;
    }

    std::function<void()> OnShow;
    QList<TShown> Shown;
    QList<TBeep> Beeps;

private:
    std::deque<TMessageButton> Answers;
    int Unexpected = 0;
};
