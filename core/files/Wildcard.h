#pragma once

#include <QString>
#include <QStringList>

// File masks as the practice's workstations understood them: "*" any run of characters, "?"
// one character, letters without regard to case, and a mask ending in ".*" also matching names
// that have no dot at all ("*.*" matches every name).
bool MatchesWildcard(const QString& name, const QString& mask);

// The native paths of the files (not folders) that a mask matches, hidden ones included,
// sorted by name. The mask is a stored or native path whose last part may hold wildcards.
QStringList FindMatchingFiles(const QString& mask);
