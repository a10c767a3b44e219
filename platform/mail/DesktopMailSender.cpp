#include "platform/mail/DesktopMailSender.h"

#include "platform/mail/MailAddress.h"

#include <QFileInfo>
#include <QProcess>

bool TDesktopMailSender::IsAcceptableAddress(const QString& to) {
    return to.isEmpty() || MailAddress::IsPlain(to);
}

QStringList TDesktopMailSender::Arguments(const QString& to, const QString& subject, const QString& body,
                                          const QString& attachment) {
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                          QStringLiteral("--body"), body};
    if (!attachment.isEmpty())
        arguments << QStringLiteral("--attach") << QFileInfo(attachment).absoluteFilePath();
    if (!to.isEmpty())
        arguments << to;
    return arguments;
}

bool TDesktopMailSender::Send(const QString& to, const QString& subject, const QString& body,
                              const QString& attachment) {
    if (!IsAcceptableAddress(to) || !Start)
        return false;
    return Start(Program, Arguments(to, subject, body, attachment));
}

bool TDesktopMailSender::StartDetached(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}
