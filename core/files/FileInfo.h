#pragma once

#include <QDateTime>
#include <QString>

// Size, times and the hidden attribute of files. Names may be stored (Windows-style) or native
// paths; see NativePath.

// The size in bytes of the first file the name (which may hold wildcards) matches, hidden
// files included; a negative number when nothing matches (the negated "file not found" code).
// Callers treat anything below 1 as a missing or empty file.
qint64 GetFileSize(const QString& name);

// The creation, last-access and last-write times of a file in local time. All three are
// invalid (the "no date" value) when the file cannot be read; where the file system keeps no
// creation time the last-write time stands in for it. Returns whether the file was read.
bool GetFileTimes(const QString& name, QDateTime& created, QDateTime& accessed, QDateTime& written);

// Hides (Value true) or shows a file. A client's detail record stays hidden between saves so
// that nothing else writes it; here hiding removes the write permission. Returns 0 on success,
// a positive error code when the change failed (2 when the file is missing), -1 when an
// exception occurred.
int SetFileHidden(const QString& name, bool value);
