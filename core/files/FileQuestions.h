#pragma once

#include "core/common/OptionSet.h"

#include <QChar>
#include <QString>

// Asks whether an existing file for the given name may be replaced (Yes, No, Cancel, All).
// Yes and All answer true; All also removes option 17 (ask before replacing) from the options
// so that the rest of the operation replaces without asking. Cancel answers false and adds
// option 29 (stop the operation); No answers false.
bool ConfirmReplaceFile(const QString& name, TOptionSet& options);

// The replace question itself, for callers with a text of their own: a question box with Yes,
// No, Cancel and All, whose answers change the options as ConfirmReplaceFile's do.
bool AskToReplace(const QString& question, TOptionSet& options);

// Whether a drive holds removable media; a letter with no folder on this workstation counts as
// removable media that is not in the drive.
bool IsRemovableDrive(QChar drive);

// Answers from ConfirmDiskReady.
inline constexpr int DiskReady = 6;
inline constexpr int DiskCancelled = 2;

// Makes sure the disk of a removable drive can be used before a backup, transfer or export
// writes to it: asks "Is a ... floppy disk ready" (Yes, Cancel) until the drive answers or the
// user cancels. With skipFirstCheck the question comes before the first look at the drive.
// A fixed drive answers DiskReady at once. A drive letter that has no folder on this
// workstation counts as removable media that is not in the drive.
int ConfirmDiskReady(QChar drive, int processKind, bool skipFirstCheck);
