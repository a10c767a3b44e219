#include "platform/mail/DesktopMailSender.h"

#include <QFileInfo>
#include <QProcess>

#include <algorithm>

bool TDesktopMailSender::IsAcceptableAddress(const QString& to) {
    if (to.startsWith(u'-'))
        return false;
    return std::none_of(to.cbegin(), to.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    });
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
    if (!IsAcceptableAddress(to))
        return false;
    return Run(Program, Arguments(to, subject, body, attachment));
}

bool TDesktopMailSender::Run(const QString& program, const QStringList& arguments) {
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    if (!process->waitForFinished(FinishWaitMs)) {
        // Still open: the mail program is showing the message. Destroying the object would end
        // it, so it goes when the program does.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool sent = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return sent;
}
