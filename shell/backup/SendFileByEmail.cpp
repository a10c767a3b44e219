#include "shell/backup/SendFileByEmail.h"

#include "core/entity/EntityDetail.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/vocab/ProcessKinds.h"
#include "platform/mail/MailAddress.h"
#include "platform/mail/MailSender.h"

#include <QDir>
#include <QFileInfo>

bool EmailsToTransferAddress(int processNumber) {
    return processNumber != prTransferToClient;
}

QString MailNotStartedText(const QString& nativePath) {
    return QStringLiteral("No e-mail program could be started to send the file.\n\n"
                          "The file has been saved as:\n%1\n\n"
                          "Attach it to a message in your e-mail program to send it.")
        .arg(nativePath);
}

QString AddressNotPlainText(const QString& address) {
    return QStringLiteral("The e-mail address %1 is not a plain address and was not used.").arg(address);
}

bool SendFileByEmail(TEntityDetail& detail, bool useTransferAddress, const QString& subject,
                     const QString& body, const QString& fileName, IMailSender& sender) {
    QString to = detail.GetEMailAddress(useTransferAddress).trimmed();
    if (to.isEmpty()) {
        QString answer;
        if (!TServices::Prompt().InputText(QStringLiteral("To:"),
                                           QStringLiteral("Recipient's e-mail Address"), answer))
            return false;
        to = answer.trimmed();
        if (!to.isEmpty() && MailAddress::IsPlain(to))
            detail.SetEMailAddress(useTransferAddress, to);
    }
    // The mail program reads the address as part of a link: anything but a plain address could
    // add recipients or text.
    if (!to.isEmpty() && !MailAddress::IsPlain(to)) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, AddressNotPlainText(to),
                           TMessageButton::OK);
        return false;
    }
    // The archive's path as this workstation names it (a stored path whose drive is not ready here
    // is shown as stored).
    const QString native = NativePath(fileName);
    const QString attachment = native.isEmpty() ? fileName : QFileInfo(native).absoluteFilePath();
    if (sender.Send(to, subject, QStringLiteral("\n\n") + body, attachment))
        return true;
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                       MailNotStartedText(QDir::toNativeSeparators(attachment)), TMessageButton::OK);
    return false;
}
