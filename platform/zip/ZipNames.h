#pragma once

#include <QString>
#include <QStringList>

// Entry names, include patterns and selections of the program's zip archives. Archives
// written on the practice's Windows workstations may separate folders with '\\'; an archive
// from elsewhere is untrusted, so a name only becomes a path after it has shown that it stays
// inside the folder it is written to.
namespace ZipNames {

// The name with every '\\' turned into '/'.
QString Normalised(const QString& name);

// True for a folder entry (its name ends in a separator).
bool IsFolderName(const QString& name);

// The parts of a relative name, "." and empty parts dropped; empty when the name would leave
// the folder it is relative to: an absolute name, a drive letter ("C:\\x", "C:x"), a ".." part,
// or no part at all.
QStringList SafeParts(const QString& name);

// True when a name contains '*' or '?'.
bool HasWildcards(const QString& name);

// True when the entry (normalised) matches the selection: without wildcards the
// whole relative path, compared without regard to case; with wildcards the last part against
// the entry's name in the selection's folder, or with recurse in any folder below it
// ("*.*" with recurse matches every entry).
bool MatchesSelection(const QString& entry, const QString& selection, bool recurse);
bool MatchesAnySelection(const QString& entry, const QStringList& selections, bool recurse);

} // namespace ZipNames
