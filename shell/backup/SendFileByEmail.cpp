#include "shell/backup/SendFileByEmail.h"

#include "core/entity/EntityDetail.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/vocab/ProcessKinds.h"
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

bool SendFileByEmail(TEntityDetail& detail, bool useTransferAddress, const QString& subject,
                     const QString& body, const QString& fileName, IMailSender& sender) {
    QString to = detail.GetEMailAddress(useTransferAddress).trimmed();
    if (to.isEmpty()) {
        QString answer;
        if (!TServices::Prompt().InputText(QStringLiteral("To:"),
                                           QStringLiteral("Recipient's e-mail Address"), answer))
            return false;
        to = answer.trimmed();
        if (!to.isEmpty())
            detail.SetEMailAddress(useTransferAddress, to);
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
