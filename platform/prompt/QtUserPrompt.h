#pragma once

#include "core/services/UserPrompt.h"

#include <QMessageBox>
#include <memory>

// Message boxes on the desktop. Every box has the icon of its kind; a Help button opens help at
// the box's context and leaves the box open, so the user reads the topic and then answers.
class TQtUserPrompt : public IUserPrompt {
public:
    // The desktop has one sound for every kind of beep.
    void Beep(TBeep beep) override;
    TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                               int helpContext = 0) override;
    bool InputText(const QString& caption, const QString& prompt, QString& value) override;

    // Builds the box without showing it: icon, text, buttons, and a Help button wired to open
    // help at the context without closing the box.
    static std::unique_ptr<QMessageBox> BuildBox(TMessageKind kind, const QString& text,
                                                 TMessageButtons buttons, int helpContext,
                                                 QWidget* parent = nullptr);

    static QMessageBox::Icon IconFor(TMessageKind kind);
    // The box's buttons for the program's button set (Help included).
    static QMessageBox::StandardButtons StandardButtonsFor(TMessageButtons buttons);
    // The answer for the button that closed the box. A box closed some other way (its window
    // closed, Escape without a cancelling button) answers Cancel when it was offered, else the
    // first button offered other than Help.
    static TMessageButton AnswerFor(QMessageBox::StandardButton clicked, TMessageButtons offered);
};
