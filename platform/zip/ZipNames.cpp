#include "platform/zip/ZipNames.h"

#include "core/files/Wildcard.h"

namespace ZipNames {

namespace {

const QLatin1Char Separator('/');

// "C:" at the start of the first part, the drive letter of a Windows path.
bool StartsWithDrive(const QString& part) {
    return part.size() >= 2 && part[1] == QLatin1Char(':') && part[0].unicode() < 128 && part[0].isLetter();
}

// Splits a normalised name into its folder (empty at the top) and its last part.
void SplitLast(const QString& name, QString& folder, QString& last) {
    const qsizetype slash = name.lastIndexOf(Separator);
    folder = slash < 0 ? QString() : name.left(slash);
    last = name.mid(slash + 1);
}

} // namespace

QString Normalised(const QString& name) {
    QString result = name;
    result.replace(QLatin1Char('\\'), Separator);
    return result;
}

bool IsFolderName(const QString& name) {
    return name.endsWith(Separator) || name.endsWith(QLatin1Char('\\'));
}

QStringList SafeParts(const QString& name) {
    const QString normal = Normalised(name);
    if (normal.startsWith(Separator))
        return {};
    QStringList parts;
    const QStringList pieces = normal.split(Separator);
    for (const QString& piece : pieces) {
        if (piece.isEmpty() || piece == QLatin1String("."))
            continue;
        if (piece == QLatin1String("..") || piece.contains(QChar(0)))
            return {};
        if (parts.isEmpty() && StartsWithDrive(piece))
            return {};
        parts.append(piece);
    }
    return parts;
}

bool HasWildcards(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

bool MatchesSelection(const QString& entry, const QString& selection, bool recurse) {
    const QString wanted = SafeParts(selection).join(Separator);
    if (wanted.isEmpty())
        return false;
    // The entry as stored: a name that would leave the destination still matches, so that the
    // caller refuses it rather than passing it over in silence.
    const QString name = Normalised(entry);
    if (!HasWildcards(wanted))
        return name.compare(wanted, Qt::CaseInsensitive) == 0;
    QString wantedFolder, pattern, folder, last;
    SplitLast(wanted, wantedFolder, pattern);
    SplitLast(name, folder, last);
    const bool inFolder = folder.compare(wantedFolder, Qt::CaseInsensitive) == 0 ||
                          (recurse && (wantedFolder.isEmpty() ||
                                       folder.startsWith(wantedFolder + Separator, Qt::CaseInsensitive)));
    return inFolder && MatchesWildcard(last, pattern);
}

bool MatchesAnySelection(const QString& entry, const QStringList& selections, bool recurse) {
    for (const QString& selection : selections)
        if (MatchesSelection(entry, selection, recurse))
            return true;
    return false;
}

} // namespace ZipNames
