#include "core/files/CompanionLock.h"

#include "core/files/RecordGuard.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Another process may hold the lock for a moment only to see whether it is free (IsFree); a
// taker waits that long before it counts the lock as held.
constexpr int ProbeGraceMs = 50;
constexpr int PollMs = 2;
// Rounds lost to a holder that removed the companion while this one waited for it.
constexpr int MaxRemovedRounds = 8;

// A plain file with no other name: anything else at the companion's name is not used.
bool UsableCompanion(int handle) {
    struct stat opened {};
    return ::fstat(handle, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1;
}

// The companion opened and locked, or -1.
int OpenLocked(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    const QDeadlineTimer deadline(ProbeGraceMs);
    for (int round = 0; round < MaxRemovedRounds;) {
        const int handle =
            ::open(encoded.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
        if (handle < 0)
            return -1;
        if (!UsableCompanion(handle)) {
            ::close(handle);
            return -1;
        }
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0) {
            if (TRecordGuard::StillNamed(handle, encoded))
                return handle;
            // Removed by its holder as it gave the lock back: the name now stands for a new one.
            ::close(handle);
            ++round;
            continue;
        }
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        ::close(handle);
        if (!busy || deadline.hasExpired())
            return -1;
        QThread::msleep(PollMs);
    }
    return -1;
}

} // namespace

TCompanionLock::~TCompanionLock() {
    Release();
}

QString TCompanionLock::PathFor(const QString& nativeFile) {
    return nativeFile + QStringLiteral(".lock");
}

bool TCompanionLock::Take(const QString& nativeFile) {
    const QString path = PathFor(nativeFile);
    if (Held() && path == Path)
        return true;
    Release();
    Handle = OpenLocked(path);
    if (Handle >= 0)
        Path = path;
    return Held();
}

bool TCompanionLock::IsFree(const QString& nativeFile) {
    const QByteArray encoded = QFile::encodeName(PathFor(nativeFile));
    const int handle = ::open(encoded.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0) {
        struct stat named {};
        return errno == ENOENT && ::lstat(encoded.constData(), &named) != 0;
    }
    const bool free = UsableCompanion(handle) && ::flock(handle, LOCK_EX | LOCK_NB) == 0;
    ::close(handle);
    return free;
}

bool TCompanionLock::Follow(const QString& nativeFile) {
    const QString path = PathFor(nativeFile);
    if (Held() && path == Path)
        return true;
    const int handle = OpenLocked(path);
    if (handle < 0)
        return false;
    Release();
    Handle = handle;
    Path = path;
    return true;
}

void TCompanionLock::Release() {
    if (Handle < 0)
        return;
    const QByteArray encoded = QFile::encodeName(Path);
    // Removed while still locked, so a process that opened it meanwhile sees it gone and makes
    // a new one (OpenLocked); a name that stands for another file now is left alone.
    if (TRecordGuard::StillNamed(Handle, encoded))
        ::unlink(encoded.constData());
    ::close(Handle);
    Handle = -1;
    Path.clear();
}
