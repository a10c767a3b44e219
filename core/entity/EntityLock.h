#pragma once

#include "core/files/CompanionLock.h"

#include <QString>
#include <functional>
#include <optional>

class TEntityDetail;

// The multi-user lock of a client file: the keys "Locked" and "LockedBy" of the record's
// "CONFIGURATION" section name the workstation that has the file open. Each attempt re-reads the
// record from disk into the record object, tests and sets the keys, and writes the record back
// only when the keys changed, all under the record's short operating-system guard, so two
// workstations can never both find the file free.
//
// While a workstation holds the keys it also holds the operating-system lock of the record's
// companion file (TCompanionLock, "ABC123.CFG.lock"), which the system drops when its process
// dies. A workstation that opens the file over another's keys (Ignore on the override box) takes
// the keys over when that lock is free, since their holder is gone, and leaves them to a holder
// that is still running; the override box says which.
//
// Failures: a record that cannot be read, or whose guard another workstation holds, counts as a
// refused attempt. A record that is a symbolic link, a file that is not a client record, and a
// failed write go to the caller as exceptions, and nothing is written.
class TEntityLock {
public:
    // Retry boxes before the override box of an interactive lock.
    static constexpr int RetryBoxes = 5;
    // Help context of the lock's boxes.
    static constexpr int HelpContext = 6000;

    // The lock of the record, taken under the workstation's user name.
    TEntityLock(TEntityDetail& record, const QString& workstationName);

    // Taking (lock): true when the keys are free or already this workstation's, or
    // (interactive) when the user chooses to ignore another workstation's keys; interactively a
    // refusal offers five retry boxes, then the override box. Releasing: clears the keys when
    // they name this workstation and sets the record's Locked false; true.
    bool LockFile(bool lock, bool interactive);

    // This record set the keys on disk (not merely ignored another workstation's).
    bool HoldsKeys() const { return Held; }

    // The text of a refusal: the file code is open on the workstation named.
    static QString InUseText(const QString& fileCode, const QString& holder);
    // The sentences the override box ends with: Ignore takes over the keys of a workstation that
    // is gone, or leaves them to one still running (the workstation's name goes in).
    static inline const QString TakeOverText =
        QStringLiteral("\"%1\" no longer has this file open; ignore takes its lock over.");
    static inline const QString LeaveText =
        QStringLiteral("\"%1\" still has this file open; ignore leaves its lock in place.");

    // The workstation the keys on disk name when they lock the file for another workstation
    // than this one (its name may be empty); nothing when the keys are free or this
    // workstation's, or the record cannot be read.
    std::optional<QString> OtherHolder() const;

    // The record has taken a new name (a change of file code): the companion lock follows it.
    void FollowRecord();

    // The user name the keys are taken under.
    QString WorkstationName;
    // How long an attempt, or a save of the record, waits for another workstation's
    // read-test-write of the same record before it counts as refused.
    int GuardWaitMs = 3000;
    // Called under the guard between the test of the keys and their write (lets a test bring in
    // a second workstation at the worst moment).
    std::function<void()> OnLockTested;

private:
    // One attempt at the keys; true when the lock is taken (or, releasing, always). `holder`
    // is the user the keys name. With takeOver, keys that name another workstation are taken
    // when the companion lock can be had.
    bool Attempt(bool lock, QString& holder, bool takeOver = false);
    // The record's companion lock could be taken now: nobody holds it.
    bool HolderGone() const;

    TEntityDetail& Record;
    bool Held = false;
    TCompanionLock Companion;
};
