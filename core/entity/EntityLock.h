#pragma once

#include <QString>
#include <functional>

class TEntityDetail;

// The multi-user lock of a client file: the keys "Locked" and "LockedBy" of the record's
// "CONFIGURATION" section name the workstation that has the file open. Each attempt re-reads the
// record from disk into the record object, tests and sets the keys, and writes the record back
// only when the keys changed, all under the record's short operating-system guard, so two
// workstations can never both find the file free.
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
    // is the user the keys name.
    bool Attempt(bool lock, QString& holder);

    TEntityDetail& Record;
    bool Held = false;
};
