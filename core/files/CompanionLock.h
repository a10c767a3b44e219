#pragma once

#include <QString>

// The operating-system lock a process holds beside a shared file for as long as it uses the file:
// an exclusive advisory lock (flock) on a small companion file in the same folder, named after the
// file with ".lock" added ("ABC123.CFG.lock"). The system drops it when the process dies, so it
// tells a workstation that is still running from one that stopped without giving its file back.
//
// The companion is created when the lock is taken and removed when it is given back; one left by
// a dead process is free and taken again as it is. It is never reached through a link (a link, or
// anything but a plain file, at its name cannot be taken), never written, and a companion removed
// while another process waited for it is never mistaken for the one that now has the name.
class TCompanionLock {
public:
    TCompanionLock() = default;
    // Gives the lock back (Release).
    ~TCompanionLock();
    TCompanionLock(const TCompanionLock&) = delete;
    TCompanionLock& operator=(const TCompanionLock&) = delete;

    // The companion of a native file path.
    static QString PathFor(const QString& nativeFile);

    // Takes the lock of the file without waiting, creating its companion when there is none.
    // True when this object holds it (already holding it there counts); false when another
    // process, or another handle of this one, holds it, or the companion cannot be made or used.
    // A lock held beside another file is given back first.
    bool Take(const QString& nativeFile);

    // Whether Take would succeed now for a file: its companion is missing, or is a plain file
    // whose lock nobody holds. Never takes the lock and never creates anything.
    static bool IsFree(const QString& nativeFile);

    // Takes the lock of another file (the one this file has been renamed to) and only then gives
    // this one back; false, keeping this one, when the other cannot be taken.
    bool Follow(const QString& nativeFile);

    // Removes the companion and gives the lock back. Never throws.
    void Release();

    bool Held() const { return Handle >= 0; }

private:
    int Handle = -1;
    QString Path;
};
