#include "core/files/Wildcard.h"

#include "core/files/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool MatchFrom(const QString& name, qsizetype n, const QString& mask, qsizetype m) {
    // Greedy match with one backtracking point per star: enough for file masks.
    qsizetype starMask = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() &&
                   (mask[m] == QLatin1Char('?') || mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++m;
            ++n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

} // namespace

bool MatchesWildcard(const QString& name, const QString& mask) {
    if (MatchFrom(name, 0, mask, 0))
        return true;
    if (mask.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')))
        return MatchFrom(name, 0, mask.left(mask.size() - 2), 0);
    return false;
}

QStringList FindMatchingFiles(const QString& mask) {
    QString stored = mask;
    stored.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = stored.lastIndexOf(QLatin1Char('/'));
    const QString pattern = stored.mid(slash + 1);
    QString folder;
    if (slash < 0)
        folder = QStringLiteral(".");
    else if (slash == 0)
        folder = QStringLiteral("/");
    else
        folder = NativePath(stored.left(slash));
    if (folder.isEmpty() || pattern.isEmpty())
        return {};
    QStringList result;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries)
        if (MatchesWildcard(entry, pattern))
            result.append(dir.filePath(entry));
    return result;
}
