#include "shell/transfer/FolderSnapshot.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

TFolderSnapshot TFolderSnapshot::Take(const QString& nativeFolder) {
    TFolderSnapshot snapshot;
    if (nativeFolder.isEmpty())
        return snapshot;
    const QDir folder(nativeFolder);
    if (!folder.exists() || !folder.isReadable())
        return snapshot;
    snapshot.FolderExists = true;
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files)
        snapshot.Entries.insert(file.fileName(),
                                TFileStamp{file.size(), file.lastModified().toMSecsSinceEpoch()});
    return snapshot;
}

std::optional<TFileStamp> TFolderSnapshot::StampOf(const QString& nativePath) {
    const QFileInfo file(nativePath);
    if (!file.isFile())
        return std::nullopt;
    return TFileStamp{file.size(), file.lastModified().toMSecsSinceEpoch()};
}

TFolderSnapshot::TChanges TFolderSnapshot::Diff(const TFolderSnapshot& before, const TFolderSnapshot& after) {
    TChanges changes;
    QStringList vanished;
    for (auto it = before.Entries.cbegin(); it != before.Entries.cend(); ++it)
        if (!after.Entries.contains(it.key()))
            vanished.append(it.key());
    vanished.sort();
    QStringList appeared;
    for (auto it = after.Entries.cbegin(); it != after.Entries.cend(); ++it) {
        const auto old = before.Entries.constFind(it.key());
        if (old == before.Entries.cend())
            appeared.append(it.key());
        else if (old.value() != it.value())
            changes.Updated.append(it.key());
    }
    appeared.sort();
    for (const QString& name : appeared) {
        const TFileStamp stamp = after.Entries.value(name);
        const auto source = std::find_if(vanished.begin(), vanished.end(), [&](const QString& gone) {
            return before.Entries.value(gone) == stamp;
        });
        if (source == vanished.end()) {
            changes.Created.append(name);
        } else {
            changes.Renamed.append(name);
            vanished.erase(source);
        }
    }
    changes.Updated.sort();
    changes.Removed = vanished;
    return changes;
}
