#include "core/services/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The listings of the thread's outermost scope, by folder; Depth counts the scopes open.
struct TThreadListings {
    int Depth = 0;
    QHash<QString, QStringList> Folders;
};

TThreadListings& ThreadListings() {
    thread_local TThreadListings listings;
    return listings;
}

// The first name of the list that matches the part without regard to case; empty when none.
QString MatchOf(const QStringList& names, const QString& part) {
    for (const QString& name : names)
        if (name.compare(part, Qt::CaseInsensitive) == 0)
            return name;
    return QString();
}

} // namespace

TLocalFileSystem::TListingScope::TListingScope() {
    ++ThreadListings().Depth;
}

TLocalFileSystem::TListingScope::~TListingScope() {
    TThreadListings& listings = ThreadListings();
    if (--listings.Depth == 0)
        listings.Folders.clear();
}

void TLocalFileSystem::ForgetListings() {
    ThreadListings().Folders.clear();
}

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

QStringList TLocalFileSystem::ListFolder(const QString& folder) const {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QStringList TLocalFileSystem::FolderNames(const QString& folder, bool& listedBefore) const {
    TThreadListings& listings = ThreadListings();
    listedBefore = false;
    if (listings.Depth == 0)
        return ListFolder(folder);
    auto found = listings.Folders.find(folder);
    if (found == listings.Folders.end())
        return *listings.Folders.insert(folder, ListFolder(folder));
    listedBefore = true;
    return *found;
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
            bool listedBefore = false;
            QString match = MatchOf(FolderNames(current, listedBefore), part);
            // A name of an earlier listing that has gone since: the folder is listed again.
            if (listedBefore && !match.isEmpty() && !QFileInfo::exists(dir.filePath(match))) {
                ThreadListings().Folders.remove(current);
                match = MatchOf(FolderNames(current, listedBefore), part);
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
