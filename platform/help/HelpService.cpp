#include "platform/help/HelpService.h"

#include "core/services/Services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

THelpService::THelpService(QString folder, TOpener opener)
    : Folder(std::move(folder)), Opener(std::move(opener)) {
    if (!Opener)
        Opener = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
}

QString THelpService::DefaultFolder() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("share/help"));
}

QString THelpService::PageForContext(int context) const {
    if (context <= 0 || Folder.isEmpty())
        return {};
    const QFileInfo page(QDir(Folder).filePath(QString::number(context) + QStringLiteral(".html")));
    return page.isFile() ? page.absoluteFilePath() : QString();
}

void THelpService::ShowContext(int context) {
    const QString page = PageForContext(context);
    if (!page.isEmpty() && Opener(page))
        return;
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                       QStringLiteral("Help for this topic (context %1) is not installed.").arg(context),
                       TMessageButton::OK);
}
