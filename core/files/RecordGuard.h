#pragma once

#include <QString>

// The short guard of a shared file (a client's record while its lock keys are read, tested and
// written or while it is saved; a log while it is appended to or rewritten), so that two
// workstations never interleave there: an exclusive advisory lock (flock) on the file itself. The operating
// system drops it when the process ends, so a workstation that dies while holding it never keeps a free
// record from being opened; and it needs nothing written into the data folder. Every write replaces the
// record by a rename, so a guard that was taken on a file replaced meanwhile is given up and taken on the new
// one.
class TRecordGuard {
public:
    // Waits up to waitMs for the guard on the record at the native path. Raises EQuilvaneError
    // when the record is missing, is a symbolic link or cannot be opened, or when another
    // workstation still holds the guard at the end of the wait.
    TRecordGuard(const QString& nativePath, int waitMs);
    ~TRecordGuard();
    TRecordGuard(const TRecordGuard&) = delete;
    TRecordGuard& operator=(const TRecordGuard&) = delete;

    // Whether the file at the path (encoded, not followed if a link) is still the one the handle
    // has open: a lock taken on a file that was removed or replaced meanwhile guards nothing.
    static bool StillNamed(int handle, const QByteArray& encodedPath);

private:
    int Handle = -1;
};
