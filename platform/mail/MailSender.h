#pragma once

#include <QString>

// Hands a file to the user's mail program as a new message to check and send.
class IMailSender {
public:
    virtual ~IMailSender() = default;
    // Opens a message to `to` (none when empty: the mail program asks) with the subject, body and
    // the file attached, and returns without waiting for the user to send it. False when the
    // address is refused or no mail program could be started.
    virtual bool Send(const QString& to, const QString& subject, const QString& body,
                      const QString& attachment) = 0;
};
