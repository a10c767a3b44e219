#pragma once

#include <QString>

// Copies a file (stored or native paths), creating the destination's folders, in blocks of
// 16384 bytes, and gives the copy the source's modification time. The copy is written beside
// the destination under a temporary name and renamed over it only once every byte is on disk,
// so a failed copy (unreadable source, full disk, short write, size that does not match)
// leaves no partial file and the old destination untouched; it raises EQuilvaneError naming
// the files. With showProgress a "File Copy" window shows the share copied so far (an empty
// source counts as complete).
void CopyFileWithProgress(const QString& source, const QString& dest, bool showProgress);

// Deletes every file the mask matches, hidden and protected ones included. Returns 0 when
// every deletion succeeded, -1 when one failed (the others are still tried).
int DeleteFilesByMask(const QString& mask);
