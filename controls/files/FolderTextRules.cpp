#include "controls/files/FolderTextRules.h"

#include <QFileInfo>
#include <QStringList>

#include <functional>

namespace {

const QChar ListSeparator = u';';
const QChar PathSeparator = u'/';

// Every folder of the list (or the whole text) through Convert; with MultipleDirs empty results
// are left out of the joined list.
QString ConvertFolders(const QString& text, bool multipleDirs,
                       const std::function<QString(const QString&)>& convert) {
    if (!multipleDirs)
        return convert(text);
    QStringList converted;
    for (const QString& part : text.split(ListSeparator)) {
        const QString result = convert(part);
        if (!result.isEmpty())
            converted.append(result);
    }
    return converted.join(ListSeparator);
}

} // namespace

QString TFolderTextRules::Root() {
    return QString(PathSeparator);
}

bool TFolderTextRules::DirExists(const QString& name) {
    return !name.isEmpty() && QFileInfo(name).isDir();
}

QString TFolderTextRules::RemoveTrailingSeparator(const QString& name) {
    if (name.size() > 1 && name.endsWith(PathSeparator))
        return name.chopped(1);
    return name;
}

QString TFolderTextRules::NormalizedText(const QString& text, bool multipleDirs) {
    if (!multipleDirs)
        return RemoveTrailingSeparator(text);
    QStringList parts = text.split(ListSeparator);
    for (QString& part : parts)
        part = RemoveTrailingSeparator(part);
    return parts.join(ListSeparator);
}

TFolderTextRules::TNameKind TFolderTextRules::NameKind(const QString& name) {
    const QFileInfo info(name);
    if (name.isEmpty() || !info.exists())
        return TNameKind::nkOther;
    return info.isDir() ? TNameKind::nkFolder : TNameKind::nkFile;
}

QStringList TFolderTextRules::DroppedNames(const QList<QUrl>& urls, bool multipleDirs) {
    QStringList names;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty())
            continue;
        names.append(url.toLocalFile());
        if (!multipleDirs)
            break;
    }
    return names;
}

QString TFolderTextRules::ReceivedFolder(const QString& name, TNameKind kind) {
    switch (kind) {
    case TNameKind::nkFile:
        return name.left(name.lastIndexOf(PathSeparator) + 1);
    case TNameKind::nkFolder:
        return name.endsWith(PathSeparator) ? name : name + PathSeparator;
    case TNameKind::nkOther:
        break;
    }
    return name;
}

QString TFolderTextRules::ReceptFileDir(const QString& text, const QString& name, bool multipleDirs,
                                        TNameKind kind) {
    const QString received = ReceivedFolder(name, kind);
    if (multipleDirs && !text.isEmpty())
        return text + ListSeparator + received;
    return received;
}

QString TFolderTextRules::ReceptFileDir(const QString& text, const QString& name, bool multipleDirs) {
    return ReceptFileDir(text, name, multipleDirs, NameKind(name));
}

QString TFolderTextRules::StartFolder(const QString& text, const QString& initialDir) {
    QString start = text;
    if (start.isEmpty())
        start = initialDir.isEmpty() ? Root() : initialDir;
    return DirExists(start) ? start : Root();
}

QString TFolderTextRules::ChosenText(const QString& text, int selectionStart, int selectionLength,
                                     const QString& chosen, bool multipleDirs) {
    QString remaining = text;
    if (selectionLength > 0 && selectionStart >= 0 && selectionStart < remaining.size())
        remaining.remove(selectionStart, selectionLength);
    if (multipleDirs && !remaining.isEmpty())
        return remaining + ListSeparator + chosen;
    return chosen;
}

QString TFolderTextRules::LongPath(const QString& path) {
    if (path.isEmpty())
        return path;
    const bool absolute = path.startsWith(PathSeparator);
    QString kept = absolute ? Root() : QString();
    for (const QString& component : path.split(PathSeparator, Qt::SkipEmptyParts)) {
        const QString candidate = kept.isEmpty() || kept.endsWith(PathSeparator)
                                      ? kept + component
                                      : kept + PathSeparator + component;
        if (!QFileInfo::exists(candidate))
            break;
        kept = candidate;
    }
    return kept;
}

QString TFolderTextRules::LongName(const QString& text, bool multipleDirs) {
    return ConvertFolders(text, multipleDirs, &TFolderTextRules::LongPath);
}

QString TFolderTextRules::ShortName(const QString& text, bool multipleDirs) {
    return ConvertFolders(text, multipleDirs, [](const QString& part) { return part; });
}
