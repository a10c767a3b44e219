#include "core/services/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <sys/stat.h>

namespace {

// One folder's names as the scope listed them: as they are, and by their case-folded form.
struct TListing {
    QSet<QString> Names;
    QHash<QString, QString> ByFolded;
};

// What the thread's outermost scope knows of the disk; Depth counts the scopes open.
struct TThreadListings {
    int Depth = 0;
    QHash<QString, TListing> Folders; // by resolved folder
    QHash<QString, QString> Resolved; // clean absolute path asked for -> path found (null: none)
    QHash<QString, QString> Real;     // folder -> its real place (empty: none)
    void Clear() {
        Folders.clear();
        Resolved.clear();
        Real.clear();
    }
};

TThreadListings& ThreadListings() {
    thread_local TThreadListings listings;
    return listings;
}

// The name of the list that is the part as given, else the first that matches it without regard
// to case; empty when none.
QString MatchOf(const QStringList& names, const QString& part) {
    if (names.contains(part))
        return part;
    for (const QString& name : names)
        if (name.compare(part, Qt::CaseInsensitive) == 0)
            return name;
    return QString();
}

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// A clean absolute path split at its last separator ("/a" gives "/" and "a").
std::pair<QString, QString> SplitLast(const QString& clean) {
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    return {slash == 0 ? QStringLiteral("/") : clean.left(slash), clean.mid(slash + 1)};
}

bool IsCleanAbsolute(const QString& clean) {
    return clean.size() > 1 && clean.startsWith(QLatin1Char('/')) && !clean.startsWith(QLatin1String("//"));
}

} // namespace

TLocalFileSystem::TListingScope::TListingScope() {
    ++ThreadListings().Depth;
}

TLocalFileSystem::TListingScope::~TListingScope() {
    TThreadListings& listings = ThreadListings();
    if (--listings.Depth == 0)
        listings.Clear();
}

void TLocalFileSystem::ForgetListings() {
    ThreadListings().Clear();
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

bool TLocalFileSystem::Exists(const QString& path) const {
    return QFileInfo::exists(path);
}

IFileSystem::TEntry TLocalFileSystem::LookAt(const QString& path) const {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        // A name that cannot be looked at for another reason than its absence is not taken for absent.
        return {errno == ENOENT || errno == ENOTDIR ? TEntry::TKind::Missing : TEntry::TKind::Other, 0};
    if (S_ISLNK(info.st_mode))
        return {TEntry::TKind::Link, 0};
    if (S_ISREG(info.st_mode))
        return {TEntry::TKind::File, static_cast<qint64>(info.st_size)};
    return {S_ISDIR(info.st_mode) ? TEntry::TKind::Folder : TEntry::TKind::Other, 0};
}

QString TLocalFileSystem::CanonicalPath(const QString& path) const {
    return QFileInfo(path).canonicalFilePath();
}

QString TLocalFileSystem::ResolveCaseInsensitive(const QString& path) const {
    if (path.isEmpty())
        return path;
    if (ThreadListings().Depth == 0)
        return ResolveAfresh(path);
    const QString clean = QDir::cleanPath(path);
    if (!IsCleanAbsolute(clean))
        return ResolveAfresh(path);
    const QString found = ResolveInScope(clean, true);
    return found.isNull() || found == clean ? path : found;
}

QString TLocalFileSystem::ResolveAfresh(const QString& path) const {
    if (Exists(path))
        return path;
    const QString clean = QDir::cleanPath(path);
    const bool absolute = clean.startsWith(QLatin1Char('/'));
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (const QString& part : parts) {
        QString next = JoinPath(current, part);
        if (!Exists(next)) {
            const QString match = MatchOf(ListFolder(current), part);
            if (match.isEmpty())
                return path;
            next = JoinPath(current, match);
        }
        current = next;
    }
    if (!absolute && current.startsWith(QLatin1String("./")))
        current = current.mid(2);
    return current;
}

QString TLocalFileSystem::ResolveInScope(const QString& clean, bool verify) const {
    TThreadListings& scope = ThreadListings();
    if (clean == QLatin1String("/"))
        return clean;
    if (const auto known = scope.Resolved.constFind(clean); known != scope.Resolved.constEnd()) {
        // The folders on the way are taken as found; a name of a listed folder asked for again is
        // looked at again, in case it has gone since (its folder is then listed afresh).
        if (!verify || known->isNull() || !scope.Folders.contains(SplitLast(*known).first) || Exists(*known))
            return *known;
        scope.Folders.remove(SplitLast(*known).first);
        scope.Resolved.clear();
    }
    const auto [parent, part] = SplitLast(clean);
    const QString folder = ResolveInScope(parent, false);
    QString found;
    if (!folder.isNull()) {
        // A folder listed answers from its listing; otherwise the name is looked for as given
        // first, and its folder listed only when it is not there so.
        if (scope.Folders.contains(folder)) {
            found = MatchInFolder(folder, part);
        } else {
            const QString asGiven = JoinPath(folder, part);
            found = Exists(asGiven) ? asGiven : MatchInFolder(folder, part);
        }
    }
    scope.Resolved.insert(clean, found);
    return found;
}

QString TLocalFileSystem::MatchInFolder(const QString& folder, const QString& part) const {
    TThreadListings& scope = ThreadListings();
    const auto match = [&](bool& listedBefore) {
        auto listing = scope.Folders.find(folder);
        listedBefore = listing != scope.Folders.end();
        if (!listedBefore) {
            TListing made;
            for (const QString& name : ListFolder(folder)) {
                made.Names.insert(name);
                made.ByFolded.insert(name.toCaseFolded(), name); // the last of names differing in case
            }
            listing = scope.Folders.insert(folder, std::move(made));
        }
        if (listing->Names.contains(part))
            return part;
        return listing->ByFolded.value(part.toCaseFolded());
    };
    bool listedBefore = false;
    QString name = match(listedBefore);
    // A name of an earlier listing that has gone since: the folder is listed again.
    if (listedBefore && !name.isEmpty() && !Exists(JoinPath(folder, name))) {
        scope.Folders.remove(folder);
        scope.Resolved.clear();
        name = match(listedBefore);
    }
    return name.isEmpty() ? QString() : JoinPath(folder, name);
}

IFileSystem::TEntry TLocalFileSystem::Examine(const QString& path) const {
    const TThreadListings& scope = ThreadListings();
    const QString clean = QDir::cleanPath(path);
    if (scope.Depth > 0 && IsCleanAbsolute(clean)) {
        // What the scope knows answers for a name that is not there: its folder is not, or the
        // folder's listing lacks it.
        const auto [folder, name] = SplitLast(clean);
        if (const auto known = scope.Resolved.constFind(folder);
            known != scope.Resolved.constEnd() && known->isNull())
            return {};
        if (const auto listed = scope.Folders.constFind(folder);
            listed != scope.Folders.constEnd() && !listed->Names.contains(name))
            return {};
    }
    return LookAt(path);
}

QString TLocalFileSystem::RealFolder(const QString& folder) const {
    TThreadListings& scope = ThreadListings();
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (scope.Depth == 0)
        return CanonicalPath(clean);
    if (const auto known = scope.Real.constFind(clean); known != scope.Real.constEnd())
        return *known;
    const QString real = CanonicalPath(clean);
    scope.Real.insert(clean, real);
    return real;
}
