#include "core/files/RecordGuard.h"

#include "core/common/Exceptions.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr int PollMs = 5;

// The system's text for the last failed call.
QString LastSystemError() {
    return ErrorText(std::system_error(errno, std::generic_category()));
}

} // namespace

bool TRecordGuard::StillNamed(int handle, const QByteArray& encodedPath) {
    struct stat opened {
    }, named{};
    return ::fstat(handle, &opened) == 0 && ::lstat(encodedPath.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

TRecordGuard::TRecordGuard(const QString& nativePath, int waitMs) {
    const QByteArray encoded = QFile::encodeName(nativePath);
    const QString shown = QDir::toNativeSeparators(nativePath);
    const QDeadlineTimer deadline(std::max(waitMs, 0));
    for (;;) {
        if (Handle < 0) {
            Handle = ::open(encoded.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            if (Handle < 0)
                throw EQuilvaneError(QStringLiteral("Unable to open %1: %2").arg(shown, LastSystemError()));
        }
        if (::flock(Handle, LOCK_EX | LOCK_NB) == 0) {
            if (StillNamed(Handle, encoded))
                return;
            // Replaced while we waited: the guard belongs on the file that now has the name.
            ::close(Handle);
            Handle = -1;
            continue;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const QString reason = LastSystemError();
            ::close(Handle);
            throw EQuilvaneError(QStringLiteral("Unable to lock %1: %2").arg(shown, reason));
        }
        if (deadline.hasExpired()) {
            ::close(Handle);
            throw EQuilvaneError(
                QStringLiteral("Unable to write %1 - another workstation is writing it.").arg(shown));
        }
        QThread::msleep(PollMs);
    }
}

TRecordGuard::~TRecordGuard() {
    if (Handle >= 0)
        ::close(Handle);
}
