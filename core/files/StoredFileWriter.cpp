#include "core/files/StoredFileWriter.h"

#include "core/common/Exceptions.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int RandomLetters = 6;
// A temporary file younger than this may still be between its creation and its lock.
constexpr qint64 LeftoverMinimumAgeSecs = 5;
// A look through a folder for stale files of a whole year does not rely on the lock alone: on a
// shared folder another workstation's lock may not reach this one, so a file written within
// the last minute is taken for a save still under way.
constexpr qint64 StaleMinimumAgeSecs = 60;

QString SystemText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

const char SuffixLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QString RandomSuffix() {
    QString suffix;
    for (int i = 0; i < RandomLetters; ++i)
        suffix +=
            QLatin1Char(SuffixLetters[QRandomGenerator::global()->bounded(int(sizeof(SuffixLetters) - 1))]);
    return suffix;
}

bool IsSuffixLetter(QChar c) {
    return c.unicode() < 128 && c.unicode() != 0 && std::strchr(SuffixLetters, c.toLatin1()) != nullptr;
}

// One of the writer's temporary names: "<forName>.~qv" and six letters or digits (any target
// when forName is empty).
bool IsLeftoverTempName(const QString& name, const QString& forName) {
    const qsizetype markerAt = name.size() - RandomLetters - TStoredFileWriter::TempMarker().size();
    if (markerAt <= 0 ||
        name.mid(markerAt, TStoredFileWriter::TempMarker().size()) != TStoredFileWriter::TempMarker())
        return false;
    if (!forName.isEmpty() && name.left(markerAt) != forName)
        return false;
    for (qsizetype i = name.size() - RandomLetters; i < name.size(); ++i)
        if (!IsSuffixLetter(name[i]))
            return false;
    return true;
}

// Removes the files of the folder whose names the test accepts, when they are plain files last
// written at least minimumAgeSecs ago that no live writer holds under its lock.
template <typename TNameTest>
void RemoveTempFiles(const QString& nativeFolder, qint64 minimumAgeSecs, TNameTest isTempName) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QDirIterator entries(nativeFolder, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        const QString path = entries.next();
        if (!isTempName(entries.fileName()))
            continue;
        const QByteArray encoded = QFile::encodeName(path);
        const int fd = ::open(encoded.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat opened {
        }, named{};
        const bool plain = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
        const bool old = plain && now.toSecsSinceEpoch() - opened.st_mtime >= minimumAgeSecs;
        // A writer holds its lock until the rename; a lock we can take belongs to no live writer.
        if (old && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(encoded.constData(), &named) == 0 &&
            named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
            ::unlink(encoded.constData());
        ::close(fd);
    }
}

TStoredFileWriter::TCommitStepHook& CommitStepHook() {
    static TStoredFileWriter::TCommitStepHook hook;
    return hook;
}

bool IsSymbolicLink(const QString& nativePath) {
    struct stat info {};
    return ::lstat(QFile::encodeName(nativePath).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace

QString TStoredFileWriter::TempMarker() {
    return QStringLiteral(".~qv");
}

void TStoredFileWriter::SetCommitStepHook(TCommitStepHook hook) {
    CommitStepHook() = std::move(hook);
}

void RefuseSymbolicLink(const QString& nativePath) {
    if (IsSymbolicLink(nativePath))
        throw EQuilvaneError(QStringLiteral("%1 is a symbolic link; the program does not write through links")
                                 .arg(QDir::toNativeSeparators(nativePath)));
}

TStoredFileWriter::TStoredFileWriter(const QString& nativePath) : Target(nativePath) {
    RefuseSymbolicLink(Target);
    // A fresh name each time; NewOnly never opens an existing file or follows a link.
    for (int attempt = 0;; ++attempt) {
        Temp.setFileName(Target + TempMarker() + RandomSuffix());
        if (Temp.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (attempt >= 10 || Temp.error() != QFileDevice::OpenError || !QFileInfo(Target).dir().exists())
            throw EQuilvaneError(QStringLiteral("Unable to write %1: %2")
                                     .arg(QDir::toNativeSeparators(Target), Temp.errorString()));
    }
    // Held until the rename, so a look for leftovers never takes a file still being written.
    ::flock(Temp.handle(), LOCK_EX);
}

TStoredFileWriter::~TStoredFileWriter() {
    if (!Committed) {
        Temp.close();
        QFile::remove(Temp.fileName());
    }
}

void TStoredFileWriter::Commit() {
    const auto fail = [this](const QString& reason) {
        throw EQuilvaneError(
            QStringLiteral("Unable to write %1: %2").arg(QDir::toNativeSeparators(Target), reason));
    };
    if (!Temp.flush())
        fail(Temp.errorString());
    if (::fsync(Temp.handle()) != 0)
        fail(SystemText());
    RefuseSymbolicLink(Target);
    struct stat old {};
    if (::stat(QFile::encodeName(Target).constData(), &old) == 0)
        ::fchmod(Temp.handle(), old.st_mode & 07777);
    if (Protect && !TServices::FileSystem().SetProtected(Temp.fileName(), true))
        fail(QStringLiteral("the new file cannot be protected"));
    if (CommitStepHook())
        CommitStepHook()(TCommitStep::BeforeRename, Temp.fileName(), Target);
    if (::rename(QFile::encodeName(Temp.fileName()).constData(), QFile::encodeName(Target).constData()) != 0)
        fail(SystemText());
    Committed = true;
    Temp.close();
    // What an operation under way knew of the folder is out of date: the new name is seen.
    TLocalFileSystem::ForgetListings();
    if (CommitStepHook())
        CommitStepHook()(TCommitStep::AfterRename, Temp.fileName(), Target);
    // Writers of this name killed before their rename left their temporary files behind.
    const QFileInfo target(Target);
    RemoveLeftoverTempFiles(target.absolutePath(), target.fileName());
}

void RemoveLeftoverTempFiles(const QString& nativeFolder, const QString& forName) {
    RemoveTempFiles(nativeFolder, LeftoverMinimumAgeSecs,
                    [&forName](const QString& name) { return IsLeftoverTempName(name, forName); });
}

void RemoveStaleTempFiles(const QString& nativeFolder, const QStringList& targetNames) {
    if (IsSymbolicLink(QDir::cleanPath(nativeFolder)))
        return;
    RemoveTempFiles(nativeFolder, StaleMinimumAgeSecs, [&targetNames](const QString& name) {
        if (!IsLeftoverTempName(name, QString()))
            return false;
        const QString target =
            name.left(name.size() - RandomLetters - TStoredFileWriter::TempMarker().size());
        return targetNames.contains(target, Qt::CaseInsensitive);
    });
}
