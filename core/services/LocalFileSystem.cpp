#include "core/services/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool TLocalFileSystem::SetProtected(const QString& path, bool protect) {
    // A link's target may lie anywhere: its permissions are never the program's to change.
    if (QFileInfo(path).isSymLink())
        return false;
    QFile file(path);
    if (!file.exists())
        return false;
    const QFileDevice::Permissions writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    QFileDevice::Permissions perms = file.permissions();
    if (protect)
        perms &= ~writeBits;
    else
        perms |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    return file.setPermissions(perms);
}

QString TLocalFileSystem::DriveRoot(QChar letter) const {
    const QChar up = letter.toUpper();
    const auto it = Drives.constFind(up);
    if (it != Drives.constEnd())
        return QDir(it.value()).exists() ? it.value() : QString();
    if (up == QLatin1Char('C'))
        return QDir::homePath();
    return QString();
}

void TLocalFileSystem::MapDrive(QChar letter, const QString& folder) {
    if (folder.isEmpty())
        Drives.remove(letter.toUpper());
    else
        Drives.insert(letter.toUpper(), folder);
}

QString TLocalFileSystem::ResolveCaseInsensitive(const QString& path) const {
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QString clean = QDir::cleanPath(path);
    const bool absolute = clean.startsWith(QLatin1Char('/'));
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QDir dir(current);
        QString next = dir.filePath(part);
        if (!QFileInfo::exists(next)) {
            const QStringList entries =
                dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            QString match;
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    match = entry;
                    break;
                }
            }
            if (match.isEmpty())
                return path;
            next = dir.filePath(match);
        }
        current = next;
    }
    if (!absolute && current.startsWith(QLatin1String("./")))
        current = current.mid(2);
    return current;
}
