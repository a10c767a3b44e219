#pragma once

#include <QString>
#include <QtGlobal>

// File services beyond plain reading and writing: the protection that stands in for the hidden
// attribute of a client's record, drive letters of stored Windows-style paths, and names that
// differ from the disk only in case.
class IFileSystem {
public:
    // What stands at a path, seen without following it when it is a link.
    struct TEntry {
        enum class TKind { Missing, File, Folder, Link, Other };
        TKind Kind = TKind::Missing;
        qint64 Size = 0; // of a plain file
    };

    virtual ~IFileSystem() = default;

    // Removes (protect) or restores (unprotect) the write bits of a file; false when the file
    // is missing, is a symbolic link (whose target is never changed) or the change failed.
    virtual bool SetProtected(const QString& path, bool protect) = 0;

    // The native folder a drive letter stands for; empty when the drive is not ready.
    virtual QString DriveRoot(QChar letter) const = 0;

    // Maps a drive letter to a native folder (an empty folder removes the mapping). The program
    // settings fill the table from the "[DRIVES]" section of the program ini.
    virtual void MapDrive(QChar letter, const QString& folder) = 0;

    // The existing path that matches the given one without regard to case, folder by folder;
    // the path unchanged when it exists as given or nothing matches.
    virtual QString ResolveCaseInsensitive(const QString& path) const = 0;

    // What is at the path, a link not followed (a look at the name itself, never at what a link
    // leads to).
    virtual TEntry Examine(const QString& path) const = 0;

    // The real place of an existing folder, every link on the way followed; empty when there is
    // no folder (or nothing) there.
    virtual QString RealFolder(const QString& folder) const = 0;
};
