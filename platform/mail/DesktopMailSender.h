#pragma once

#include "platform/mail/MailSender.h"

#include <QStringList>

#include <functional>

// The desktop's mail program through xdg-email: the message's parts go to it as separate
// arguments of one program started without a shell, so no character of a subject or file name is
// ever interpreted. Only a plain address (MailAddress::IsPlain) or none is handed on: anything
// else is refused before anything runs. The program is started detached and not waited for: it
// may keep the message open for as long as the user likes, and the window that sends it stays
// responsive meanwhile.
class TDesktopMailSender : public IMailSender {
public:
    bool Send(const QString& to, const QString& subject, const QString& body,
              const QString& attachment) override;

    // Whether an address may be handed to the mail program: empty (the program then asks) or plain.
    static bool IsAcceptableAddress(const QString& to);
    // The arguments of the mail program for a message; the address comes last, as one argument.
    static QStringList Arguments(const QString& to, const QString& subject, const QString& body,
                                 const QString& attachment);

    // Starts the program detached from this one, its standard channels on the null device, and
    // returns at once: true when it started.
    static bool StartDetached(const QString& program, const QStringList& arguments);

    // The program started; tests point it elsewhere.
    QString Program = QStringLiteral("xdg-email");
    // How the program is started; tests record the start instead.
    std::function<bool(const QString& program, const QStringList& arguments)> Start = StartDetached;
};
