#include "core/entity/EntityLock.h"

#include "core/common/Exceptions.h"
#include "core/common/OptionSet.h"
#include "core/entity/EntityDetail.h"
#include "core/files/RecordGuard.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/IniFile.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/vocab/SectionNames.h"

#include <QFileInfo>
#include <memory>

namespace {

const QString LockedKey = QStringLiteral("Locked");
const QString LockedByKey = QStringLiteral("LockedBy");

QString ConfigSection() {
    return SectionName(snConfiguration).toString();
}

} // namespace

TEntityLock::TEntityLock(TEntityDetail& record, const QString& workstationName)
    : WorkstationName(workstationName), Record(record) {}

QString TEntityLock::InUseText(const QString& fileCode, const QString& holder) {
    return QStringLiteral("File code %1 is aleady opened by user \"%2\".").arg(fileCode, holder) +
           QStringLiteral("\r\n") +
           QStringLiteral("Please check that \"%1\" has finished working with the file before retrying.")
               .arg(holder);
}

bool TEntityLock::LockFile(bool lock, bool interactive) {
    IUserPrompt& prompt = TServices::Prompt();
    const QString& code = Record.FileCode;
    int counter = 0;
    bool retryRequest = false;
    bool result = true;
    QString holder;
    do {
        ++counter;
        if (counter <= RetryBoxes) {
            result = Attempt(lock, holder);
            if (lock && !result && interactive) {
                TCursorScope normal(TCursorKind::Normal);
                prompt.Beep(TBeep::Warning);
                retryRequest =
                    prompt.ShowMessage(TMessageKind::Information, InUseText(code, holder),
                                       TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help,
                                       HelpContext) == TMessageButton::Retry;
            }
        } else {
            // Enough retries: the user may give up, start again, or open the file anyway.
            TCursorScope normal(TCursorKind::Normal);
            prompt.Beep(TBeep::Error);
            const QString text =
                QStringLiteral("QUILVANE was unable to lock %1 for exclusive use.").arg(code) +
                QStringLiteral("\r\nYou can continue, however data integrity is not guaranteed.") +
                QStringLiteral("\r\nChoose ignore to continue and open this file.") + QStringLiteral("\r\n") +
                (HolderGone() ? TakeOverText : LeaveText).arg(holder);
            const TMessageButton answer =
                prompt.ShowMessage(TMessageKind::Information, text,
                                   TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Ignore |
                                       TMessageButton::Help,
                                   HelpContext);
            retryRequest = answer == TMessageButton::Retry;
            result = answer == TMessageButton::Ignore;
            if (retryRequest)
                counter = 0;
            // The file opens either way; the keys are taken only from a holder that is gone.
            if (result)
                Attempt(true, holder, true);
        }
    } while (retryRequest && !result && interactive);

    if (lock && !result && interactive) {
        TCursorScope normal(TCursorKind::Normal);
        prompt.Beep(TBeep::Error);
        prompt.ShowMessage(
            TMessageKind::Information,
            QStringLiteral(
                "QUILVANE was unable to lock %1 for exclusive use. Access to this file has been denied.")
                .arg(code),
            TMessageButton::OK);
    }
    return result;
}

bool TEntityLock::HolderGone() const {
    try {
        return TCompanionLock::IsFree(Record.NativeFileName(TOptionSet{Option::Standard}));
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<QString> TEntityLock::OtherHolder() const {
    const QString section = ConfigSection();
    try {
        const QString path = Record.NativeFileName(TOptionSet{Option::Standard});
        RefuseSymbolicLink(path);
        const TIniFile disk(path);
        const QString holder = disk.ReadString(section, LockedByKey, QString());
        if (disk.ReadBool(section, LockedKey, false) &&
            (WorkstationName.isEmpty() || holder != WorkstationName))
            return holder;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

void TEntityLock::FollowRecord() {
    if (!Companion.Held())
        return;
    try {
        Companion.Follow(Record.NativeFileName(TOptionSet{Option::Standard}));
    } catch (const std::exception&) {
        // The keys still guard the file; only the sign of a running holder stays behind.
    }
}

bool TEntityLock::Attempt(bool lock, QString& holder, bool takeOver) {
    const QString section = ConfigSection();
    QString path;
    std::unique_ptr<TRecordGuard> guard;
    try {
        // Always the record in the file's own data folder, whatever the record was made with.
        path = Record.NativeFileName(TOptionSet{Option::Standard});
    } catch (const std::exception&) {
        return !lock;
    }
    // Never read or written through a link: the caller hears why.
    RefuseSymbolicLink(path);
    try {
        guard = std::make_unique<TRecordGuard>(path, GuardWaitMs);
        // A missing or empty record is never recreated holding nothing but the lock keys.
        if (QFileInfo(path).size() < 1)
            throw EQuilvaneError(QStringLiteral("The file %1 is missing.").arg(path));
        Record.Rename(path, true);
    } catch (const std::exception&) {
        // A failure before the test refuses the lock and leaves the disk alone; a release that
        // fails keeps Locked as it was.
        return !lock;
    }
    // Only a file that reads as a client record gets the keys.
    if (!Record.ValueExists(section, QStringLiteral("Code"))) {
        if (lock)
            throw EQuilvaneError(
                QStringLiteral("%1 is not a client file record; it was left as it is.").arg(path));
        Held = false;
        Record.Locked = false;
        Companion.Release();
        return true;
    }

    const bool diskLocked = Record.ReadBool(section, LockedKey, false);
    holder = Record.ReadString(section, LockedByKey, QString());
    const bool mine = !WorkstationName.isEmpty() && holder == WorkstationName;
    bool taken = false;
    if (lock) {
        if (!diskLocked || mine) {
            // The companion goes with the keys, before they are written, so keys on disk never
            // name a running workstation without it. Another record object of this workstation
            // may hold it already; the keys are this workstation's all the same.
            Companion.Take(path);
            taken = true;
        } else if (takeOver) {
            // The keys name another workstation: they are taken over only when its companion
            // lock is free, that is when it no longer runs.
            taken = Companion.Take(path);
        }
        if (taken) {
            Record.WriteBool(section, LockedKey, true);
            Record.WriteString(section, LockedByKey, WorkstationName);
        }
        if (OnLockTested)
            OnLockTested();
    } else if (mine) {
        // Only this workstation's own keys are cleared; another's that it merely ignored stay.
        Record.WriteBool(section, LockedKey, false);
        Record.WriteString(section, LockedByKey, QString());
    }
    // Written only when this call changed the keys; a failure of the write goes to the caller.
    if (Record.Modified()) {
        try {
            Record.WriteRecord();
        } catch (...) {
            // Keys that were not written hold no companion; keys that could not be cleared
            // keep theirs while this workstation runs.
            if (lock)
                Companion.Release();
            throw;
        }
    }
    if (lock) {
        Held = taken;
        if (!taken)
            Companion.Release();
    } else {
        Held = false;
        Record.Locked = false;
        Companion.Release();
    }
    return lock ? taken : true;
}
