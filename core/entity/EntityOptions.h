#pragma once

// Members of the open-option set (TOptionSet) that a client file's detail record reads. The same
// set is handed on to the path rules and to the transaction lists, which give some members a
// meaning of their own.
namespace EntityOption {

// The standard open options, set by every caller except the open-file dialog. Read by the
// transaction lists and the open-file object, not by the detail record itself.
inline constexpr int Standard = 0;
// Create takes no lock and the destructor releases none.
inline constexpr int NoLock = 1;
// GetFileName: the record lives in the transfer folder of the program data folder.
inline constexpr int TransferFolder = 2;
// Load reads only "Code", "Type", "Name" and the lock keys; a failed load does not stop Create.
inline constexpr int SummaryLoad = 4;
// Load shows no message when the file's entity type is not in the program's table.
inline constexpr int QuietEntityType = 5;
// Create stops when the record is missing or empty, and loads it.
inline constexpr int MustExist = 7;
// Create's lock offers the retry and override boxes when another workstation holds the file.
inline constexpr int InteractiveLock = 8;
// GetFileName: the record lives on the transfer drive ("X:\RORI\<code>").
inline constexpr int TransferDrive = 13;
// Load keeps the folders, e-mail addresses, backup prompt and the two BAS paths held in memory.
inline constexpr int KeepFolders = 21;
// Load keeps the backup counters held in memory.
inline constexpr int KeepBackupHistory = 22;
// Load keeps the financial year held in memory.
inline constexpr int KeepYear = 23;
// Load keeps the data-entry page history held in memory.
inline constexpr int KeepPages = 24;
// Load keeps the lock fields held in memory.
inline constexpr int KeepLockKeys = 25;
// Save leaves the year's BAS section as it is.
inline constexpr int KeepBASSection = 32;
// Save writes "LockedBy" with this workstation's user name.
inline constexpr int WriteLockedBy = 34;
// Load skips the year's BAS section.
inline constexpr int SkipBAS = 35;
// Load keeps the number of periods held in memory.
inline constexpr int KeepPeriods = 36;

} // namespace EntityOption
