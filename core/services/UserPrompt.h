#pragma once

#include <QFlags>
#include <QString>

// The sounds that precede message boxes; the numbers are the system's sound identifiers.
enum class TBeep : int { Default = 0, Error = 16, Question = 32, Warning = 48, Information = 64 };

enum class TMessageKind { Error, Warning, Question, Information };

enum class TMessageButton : unsigned {
    None = 0,
    OK = 1u << 0,
    Cancel = 1u << 1,
    Yes = 1u << 2,
    No = 1u << 3,
    Retry = 1u << 4,
    Ignore = 1u << 5,
    All = 1u << 6,
    Help = 1u << 7,
    Abort = 1u << 8,
};
Q_DECLARE_FLAGS(TMessageButtons, TMessageButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMessageButtons)

// The beep that belongs with a box of the given kind.
TBeep BeepForKind(TMessageKind kind);

// How the data layer asks the user things. The program installs message boxes; tests install a
// scripted fake that answers from a list and records every text, beep and help context.
class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;

    // Sounds a beep on its own.
    virtual void Beep(TBeep beep) = 0;

    // Shows a box and returns the button pressed. A Help button opens help for the context and
    // leaves the box open; it is never returned. No beep is sounded here.
    virtual TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                                       int helpContext = 0) = 0;

    // Asks for a line of text; false when the user cancelled.
    virtual bool InputText(const QString& caption, const QString& prompt, QString& value) = 0;
};

// The usual pairing: the kind's beep, then the box.
TMessageButton MessageBeepAndShow(IUserPrompt& prompt, TMessageKind kind, const QString& text,
                                  TMessageButtons buttons, int helpContext = 0);
