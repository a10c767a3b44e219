#pragma once

#include <QString>

class IMailSender;
class TEntityDetail;

// Which of the file's two addresses receives an archive that a process sends. The record keeps
// the client's address and a "transfer and export" address; a transfer to the client goes to the
// client's address, everything else the file sends away (a transfer to the accountant, a backup,
// an export) goes to the transfer and export address, the party that receives the file's data.
bool EmailsToTransferAddress(int processNumber);

// Opens a mail message with the archive attached for the user to check and send. The recipient
// is the file's address chosen by the flag (see EmailsToTransferAddress); when it is empty the
// user is asked ("To:", "Recipient's e-mail Address") and a plain answer is kept in the record
// (in memory: the caller's save of the record stores it). Only a plain address (local@domain, see
// MailAddress::IsPlain) or none reaches the mail program: any other address, on record or typed,
// is named in an information box (AddressNotPlainText) and nothing is sent. The body follows two
// line breaks, so the user can write above it. The mail program is started and not waited for.
// Returns false silently when the user cancels the question; false after an information box
// naming the archive's full path when no mail program could be started.
bool SendFileByEmail(TEntityDetail& detail, bool useTransferAddress, const QString& subject,
                     const QString& body, const QString& fileName, IMailSender& sender);

// The box shown when the message could not be handed to a mail program.
QString MailNotStartedText(const QString& nativePath);

// The box shown when an address is not a plain one.
QString AddressNotPlainText(const QString& address);
