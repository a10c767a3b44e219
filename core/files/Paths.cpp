#include "core/files/Paths.h"
#include "core/common/OptionSet.h"

#include "core/common/Exceptions.h"
#include "core/files/Wildcard.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <filesystem>
#include <system_error>

namespace {

const QChar Backslash = QLatin1Char('\\');

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter() && path[0].unicode() < 128;
}

} // namespace

QString BuildPath(const QStringList& parts) {
    QString result;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part.isEmpty())
            continue;
        const bool partHasOne = part.startsWith(Backslash);
        const bool textHasOne = result.endsWith(Backslash);
        if (i > 0 && !partHasOne && !textHasOne)
            result += Backslash;
        // "C:\DATA" and "\TRANSFER" meet at one backslash.
        result += (partHasOne && textHasOne) ? part.mid(1) : part;
    }
    return result;
}

QString NativePath(const QString& storedPath) {
    if (storedPath.isEmpty())
        return storedPath;
    QString path = storedPath;
    path.replace(Backslash, QLatin1Char('/'));
    if (HasDriveLetter(path)) {
        const QString root = TServices::FileSystem().DriveRoot(path[0]);
        if (root.isEmpty())
            return QString();
        QString rest = path.mid(2);
        while (rest.startsWith(QLatin1Char('/')))
            rest.remove(0, 1);
        path = rest.isEmpty() ? root : QDir(root).filePath(rest);
    }
    if (path.size() > 1 && !path.startsWith(QLatin1String("//")))
        path = QDir::cleanPath(path);
    return TServices::FileSystem().ResolveCaseInsensitive(path);
}

QString GetEntityDataDir(const QString& fileCode, const QString& dataDir, const QString& xferDir,
                         const QString& programDataDir, const TOptionSet& options) {
    if (options.Has(Option::TransferDrive)) {
        if (xferDir.isEmpty() || xferDir[0].unicode() >= 128 || !xferDir[0].isLetter())
            throw EQuilvaneError(QStringLiteral("No transfer drive is set for the file %1.").arg(fileCode));
        return QString(xferDir[0]) + QStringLiteral(":\\RORI\\") + fileCode;
    }
    if (options.Has(Option::TransferFolder)) {
        if (programDataDir.isEmpty())
            throw EQuilvaneError(QStringLiteral("The program's data folder is not set."));
        return BuildPath({programDataDir, TransferFolderName.toString()});
    }
    if (dataDir.isEmpty())
        throw EQuilvaneError(QStringLiteral("No data folder is set for the file %1.").arg(fileCode));
    return dataDir;
}

int ListEntityFiles(QStringList& list, const QString& programDataDir) {
    list.clear();
    if (programDataDir.isEmpty())
        throw EQuilvaneError(QStringLiteral("The program's data folder is not set."));
    for (const QString& file : FindMatchingFiles(BuildPath({programDataDir, u'*' + DetailRecordExtension.toString()})))
        list.append(QFileInfo(file).fileName().toUpper());
    list.sort();
    return static_cast<int>(list.size());
}

bool ClimbsOutOfFolder(const QString& storedName) {
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    return storedName.split(separators).contains(QStringLiteral(".."));
}

namespace {

// Whether a clean absolute path is the folder or lies below it (the root holds everything).
bool Within(const QString& path, const QString& folder) {
    return folder == QLatin1String("/") ||
           (path.startsWith(folder) && (path.size() == folder.size() || path[folder.size()] == QLatin1Char('/')));
}

} // namespace

bool LiesInsideFolder(const QString& nativeFolder, const QString& nativePath) {
    const QString folder = QDir::cleanPath(QDir(nativeFolder).absolutePath());
    const QString path = QDir::cleanPath(QDir(nativeFolder).absoluteFilePath(nativePath));
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    // A folder not made yet holds nothing that could lead elsewhere.
    if (realFolder.isEmpty())
        return Within(path, folder);
    // The nearest part of the path that is there (a link counts, whether or not it leads anywhere).
    QString probe = path;
    while (!QFileInfo(probe).isSymLink() && !QFileInfo::exists(probe)) {
        const QString parent = QFileInfo(probe).path();
        if (parent == probe)
            return false;
        probe = parent;
    }
    const QString real = QFileInfo(probe).canonicalFilePath();
    return !real.isEmpty() && Within(real, realFolder);
}

qint64 StoredFileSizeInside(const QString& nativeDataFolder, const QString& nativePath) {
    const IFileSystem& files = TServices::FileSystem();
    const IFileSystem::TEntry entry = files.Examine(nativePath);
    if (entry.Kind == IFileSystem::TEntry::TKind::Missing)
        return -1;
    const QString shown = QDir::toNativeSeparators(nativePath);
    const QString realData = nativeDataFolder.isEmpty() ? QString() : files.RealFolder(nativeDataFolder);
    const qsizetype slash = nativePath.lastIndexOf(QLatin1Char('/'));
    const QString realFolder =
        files.RealFolder(slash > 0 ? nativePath.left(slash) : QFileInfo(nativePath).absolutePath());
    if (realData.isEmpty() || realFolder.isEmpty() || !Within(realFolder, realData))
        throw EQuilvaneError(
            QStringLiteral("%1 lies outside the data folder; the program does not read through links that "
                           "lead out of it")
                .arg(shown));
    if (entry.Kind == IFileSystem::TEntry::TKind::Link)
        throw EQuilvaneError(
            QStringLiteral("%1 is a symbolic link; the program does not read through links").arg(shown));
    if (entry.Kind != IFileSystem::TEntry::TKind::File)
        throw EQuilvaneError(QStringLiteral("Unable to read %1: it is not a file").arg(shown));
    return entry.Size;
}

void CreateFolderFor(const QString& nativeFilePath) {
    std::error_code folderError;
    std::filesystem::create_directories(
        QFile::encodeName(QFileInfo(nativeFilePath).absolutePath()).toStdString(), folderError);
    if (folderError)
        throw EQuilvaneError(QString::fromStdString(folderError.message()));
}
