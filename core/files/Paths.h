#pragma once

#include "core/common/OptionSet.h"

#include <QString>
#include <QStringList>

// Paths are built and stored the way the practice's Windows workstations wrote them
// ("X:\QUILVANE\TRANSFER", backslashes, drive letters); NativePath turns such a text into a
// path on this workstation just before the disk is touched.

// Joins path parts with backslashes. Empty parts are skipped; a backslash goes before every
// part after the first unless the part starts with one or the text so far ends with one, so an
// empty first part leaves a leading backslash ("", "B" gives "\B"); where a part ending in a
// backslash meets one starting with one, they share it.
QString BuildPath(const QStringList& parts);

// The native form of a stored path: backslashes become slashes, a drive letter becomes the
// folder that drive stands for on this workstation, and every existing folder or file is found
// without regard to case. Native paths pass through (with their case resolved). Empty when the
// path names a drive that is not ready here.
QString NativePath(const QString& storedPath);

// The folder in which a client file's data lives for an operation: with option 13 the transfer
// drive ("X:\RORI\<file code>", the drive being the first letter of the file's transfer folder);
// with option 2 the program's transfer folder (the program data folder and "\TRANSFER");
// otherwise the file's own data folder. Raises EQuilvaneError when the folder it would start
// from is empty, rather than pointing at the root of the disk, and when the transfer folder does
// not start with a drive letter (A-Z), rather than naming a folder of the working directory.
QString GetEntityDataDir(const QString& fileCode, const QString& dataDir, const QString& xferDir,
                         const QString& programDataDir, const TOptionSet& options);

// Whether a stored name climbs out of the folder it is joined to: one of its parts (between
// backslashes or slashes) is "..".
bool ClimbsOutOfFolder(const QString& storedName);

// Whether a native path lies inside a native folder once every link on the way is followed (the
// folder itself may be reached through links). A path that does not exist yet is judged by its
// nearest existing folder; a link that leads nowhere lies nowhere, so not inside.
bool LiesInsideFolder(const QString& nativeFolder, const QString& nativePath);

// The size of a stored file about to be read from a folder of the data folder (a file code's
// month folder, a chart folder, or the data folder itself); -1 when nothing is there. Raises
// EQuilvaneError naming the file when its folder leads out of the data folder once every link on
// the way is followed (the data folder itself may be reached through links), when the file is
// itself a symbolic link, and when it is not a plain file. Within a listing scope of the file
// services the two folders are resolved once, and the file costs one look at its own name (none
// when its folder's listing lacks it).
qint64 StoredFileSizeInside(const QString& nativeDataFolder, const QString& nativePath);

// Creates the folder a file is to be written into, with any missing parents; raises the
// system's text when it cannot.
void CreateFolderFor(const QString& nativeFilePath);

// Fills the list with the upper-cased names of the client files of the practice (every
// "*.CFG" in the program data folder, sorted) and returns how many there are.
int ListEntityFiles(QStringList& list, const QString& programDataDir);
