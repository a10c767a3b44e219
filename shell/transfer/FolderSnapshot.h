#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The size and last-write time of a file: what tells one copy of a file from another.
struct TFileStamp {
    qint64 Size = -1;
    qint64 Modified = 0; // milliseconds since the epoch (UTC)
    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

// The files of one folder (not its subfolders) with their stamps, taken at one moment. Two
// snapshots of the same folder tell what happened in between.
class TFolderSnapshot {
public:
    // What changed between an earlier snapshot and a later one, by file name.
    struct TChanges {
        QStringList Created; // names that are new and match no vanished file
        QStringList Updated; // names present in both whose stamp changed
        QStringList Renamed; // new names of vanished files (the same stamp under another name)
        QStringList Removed; // names gone and not renamed
        bool IsEmpty() const {
            return Created.isEmpty() && Updated.isEmpty() && Renamed.isEmpty() && Removed.isEmpty();
        }
    };

    // An empty snapshot of a folder that is not there.
    TFolderSnapshot() = default;

    // The folder's files now (hidden ones too); an empty snapshot when the folder is missing or
    // cannot be read.
    static TFolderSnapshot Take(const QString& nativeFolder);

    // The stamp of one file now; nothing when it is missing or not a file.
    static std::optional<TFileStamp> StampOf(const QString& nativePath);

    bool Exists() const { return FolderExists; }
    const QHash<QString, TFileStamp>& Files() const { return Entries; }

    // What happened between before and after. A rename shows as a vanished name and a new one
    // with the same stamp; each vanished file pairs with one new name at most. Lists are sorted.
    static TChanges Diff(const TFolderSnapshot& before, const TFolderSnapshot& after);

    // For building snapshots by hand.
    void Insert(const QString& name, const TFileStamp& stamp) {
        Entries.insert(name, stamp), FolderExists = true;
    }

private:
    bool FolderExists = false;
    QHash<QString, TFileStamp> Entries;
};
