#include "core/services/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <array>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <utility>

namespace {

// One folder's names as the scope listed them: as they are, and by their case-folded form.
struct TListing {
    QSet<QString> Names;
    QHash<QString, QString> ByFolded;
};

// Answers by path that keeps its last two at hand: the month files of a year ask about the same
// one or two folders again and again, and those then cost no hashing of a long path.
class TPathAnswers {
public:
    // The answer kept for the path; none when there is none.
    std::optional<QString> Find(const QString& asked) {
        if (const QString* answer = FindRecent(asked))
            return *answer;
        return Lookup(asked);
    }
    std::optional<QString> Find(QStringView asked) {
        if (const QString* answer = FindRecent(asked))
            return *answer;
        return Lookup(asked.toString());
    }
    void Insert(const QString& asked, const QString& answer) {
        Answers.insert(asked, answer);
        Remember(asked, answer);
    }
    void Clear() {
        Answers.clear();
        Recent = {};
    }

private:
    const QString* FindRecent(QStringView asked) const {
        for (const auto& [path, answer] : Recent)
            if (!path.isNull() && path == asked)
                return &answer;
        return nullptr;
    }
    std::optional<QString> Lookup(const QString& asked) {
        const auto known = Answers.constFind(asked);
        if (known == Answers.constEnd())
            return std::nullopt;
        const QString answer = *known;
        Remember(asked, answer);
        return answer;
    }
    void Remember(const QString& asked, const QString& answer) {
        Recent[Next] = {asked, answer};
        Next = 1 - Next;
    }
    QHash<QString, QString> Answers;
    std::array<std::pair<QString, QString>, 2> Recent;
    int Next = 0;
};

// What the thread's outermost scope knows of the disk; Depth counts the scopes open.
struct TThreadListings {
    int Depth = 0;
    QHash<QString, TListing> Folders; // by resolved folder
    QString LastUnlisted;             // a folder Folders has no listing of (null: none known)
    TPathAnswers Resolved;            // folders on the way asked for -> folder found (null: none)
    TPathAnswers Real;                // folder -> its real place (empty: none)
    bool IsListed(QStringView folder) {
        if (!LastUnlisted.isNull() && folder == LastUnlisted)
            return false;
        QString key = folder.toString();
        if (Folders.contains(key))
            return true;
        LastUnlisted = std::move(key);
        return false;
    }
    void ForgetFolders() {
        Folders.clear();
        LastUnlisted.clear();
        Resolved.Clear();
    }
    void Clear() {
        ForgetFolders();
        Real.Clear();
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
std::pair<QStringView, QStringView> SplitLast(const QString& clean) {
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    const QStringView whole(clean);
    return {slash == 0 ? QStringView(u"/") : whole.left(slash), whole.mid(slash + 1)};
}

bool IsCleanAbsolute(const QString& clean) {
    return clean.size() > 1 && clean[0] == QLatin1Char('/') && clean[1] != QLatin1Char('/');
}

// The path cleaned (QDir::cleanPath), without the cost of cleaning one that is clean already: an
// absolute path with no empty, "." or ".." part and no separator at its end, as the paths built
// for the month files of a year are.
QString CleanPath(const QString& path) {
    const qsizetype size = path.size();
    if (size < 2 || path[0] != QLatin1Char('/') || path[size - 1] == QLatin1Char('/'))
        return QDir::cleanPath(path);
    const QChar* text = path.constData();
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] != QLatin1Char('/'))
            continue;
        // A part starts after each separator: it may be neither empty, ".", nor "..".
        const qsizetype rest = size - i - 1;
        if (rest == 0 || text[i + 1] == QLatin1Char('/'))
            return QDir::cleanPath(path);
        if (text[i + 1] == QLatin1Char('.') &&
            (rest == 1 || text[i + 2] == QLatin1Char('/') ||
             (text[i + 2] == QLatin1Char('.') && (rest == 2 || text[i + 3] == QLatin1Char('/')))))
            return QDir::cleanPath(path);
    }
    return path;
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
    const QString clean = CleanPath(path);
    if (!IsCleanAbsolute(clean))
        return ResolveAfresh(path);
    const QString found = ResolveInScope(clean, false);
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

QString TLocalFileSystem::ResolveInScope(const QString& clean, bool onTheWay) const {
    TThreadListings& scope = ThreadListings();
    if (clean.size() == 1)
        return clean; // the root
    if (const std::optional<QString> known = scope.Resolved.Find(clean))
        return *known;
    const auto [parent, part] = SplitLast(clean);
    const std::optional<QString> known = scope.Resolved.Find(parent);
    const QString folder = known ? *known : ResolveInScope(parent.toString(), true);
    QString found;
    if (!folder.isNull()) {
        // A folder listed answers from its listing; otherwise the name is looked for as given
        // first, and its folder listed only when it is not there so.
        if (scope.IsListed(folder)) {
            found = MatchInFolder(folder, part.toString());
        } else {
            const QString asGiven = folder == parent ? clean : JoinPath(folder, part.toString());
            found = Exists(asGiven) ? asGiven : MatchInFolder(folder, part.toString());
        }
    }
    if (onTheWay)
        scope.Resolved.Insert(clean, found);
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
            scope.LastUnlisted.clear();
        }
        if (listing->Names.contains(part))
            return part;
        return listing->ByFolded.value(part.toCaseFolded());
    };
    bool listedBefore = false;
    QString name = match(listedBefore);
    // A name of an earlier listing that has gone since: the folder is listed again.
    if (listedBefore && !name.isEmpty() && !Exists(JoinPath(folder, name))) {
        scope.ForgetFolders();
        name = match(listedBefore);
    }
    return name.isEmpty() ? QString() : JoinPath(folder, name);
}

IFileSystem::TEntry TLocalFileSystem::Examine(const QString& path) const {
    TThreadListings& scope = ThreadListings();
    if (scope.Depth > 0) {
        const QString clean = CleanPath(path);
        if (!IsCleanAbsolute(clean))
            return LookAt(path);
        // What the scope knows answers for a name that is not there: its folder is not, or the
        // folder's listing lacks it.
        const auto [folder, name] = SplitLast(clean);
        if (const std::optional<QString> known = scope.Resolved.Find(folder); known && known->isNull())
            return {};
        if (scope.IsListed(folder) &&
            !scope.Folders.constFind(folder.toString())->Names.contains(name.toString()))
            return {};
    }
    return LookAt(path);
}

QString TLocalFileSystem::RealFolder(const QString& folder) const {
    TThreadListings& scope = ThreadListings();
    const QString clean =
        CleanPath(folder.startsWith(QLatin1Char('/')) ? folder : QDir(folder).absolutePath());
    if (scope.Depth == 0)
        return CanonicalPath(clean);
    if (const std::optional<QString> known = scope.Real.Find(clean))
        return *known;
    QString real;
    // A folder in one whose real place is known is found by one look at its own name: a plain
    // folder lies at the same place within the other's; a link is followed.
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    const std::optional<QString> parent = slash > 0 ? scope.Real.Find(clean.left(slash)) : std::nullopt;
    const TEntry entry = parent && !parent->isEmpty() ? LookAt(clean) : TEntry{TEntry::TKind::Other, 0};
    if (entry.Kind == TEntry::TKind::Folder)
        real = JoinPath(*parent, clean.mid(slash + 1));
    else if (entry.Kind != TEntry::TKind::Missing)
        real = CanonicalPath(clean);
    scope.Real.Insert(clean, real);
    return real;
}
