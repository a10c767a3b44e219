#pragma once

#include "platform/mail/MailSender.h"

#include <QStringList>

// The desktop's mail program through xdg-email: the message's parts go to it as separate
// arguments of one program started without a shell, so no character of an address, subject or
// file name is ever interpreted. An address that would read as an option (a leading '-') or that
// holds control characters is refused before anything runs.
class TDesktopMailSender : public IMailSender {
public:
    // How long a mail program that has not finished is waited for before it is left running as
    // the open message (some start the mail client in the foreground).
    static constexpr int FinishWaitMs = 15000;

    bool Send(const QString& to, const QString& subject, const QString& body,
              const QString& attachment) override;

    // Whether an address may be handed to the mail program (empty is: the program then asks).
    static bool IsAcceptableAddress(const QString& to);
    // The arguments of the mail program for a message; the address comes last, as one argument.
    static QStringList Arguments(const QString& to, const QString& subject, const QString& body,
                                 const QString& attachment);

    // The program started; tests point it elsewhere.
    QString Program = QStringLiteral("xdg-email");

protected:
    // Starts the program with the arguments: true when it started and ended with code 0, or is
    // still running after FinishWaitMs (it is then left to run).
    virtual bool Run(const QString& program, const QStringList& arguments);
};
