#pragma once

#include "core/services/FileSystem.h"

#include <QHash>
#include <QStringList>

// The workstation's own file system. Drive "C:" is the home folder; other letters come from a
// table the program settings fill (the "[DRIVES]" section of the program ini).
//
// Finding a name that is not there as given lists its folder. An operation that looks for many
// names of one folder (the month files of a year, most of which are usually not there) holds a
// TListingScope: while one lives on the thread, each folder is listed once and its listing
// answers every name after (a name it holds is looked at once more, in case it has gone since;
// a name it lacks is not there, without a look at the disk), each folder on the way to a name is
// found once, and each folder's real place (RealFolder) is resolved once. Outside a scope every search
// looks at the disk afresh, so a file another workstation adds is found by the next operation.
// A file this program writes (TStoredFileWriter) ends what the scope knows, so it is seen.
class TLocalFileSystem : public IFileSystem {
public:
    class TListingScope {
    public:
        TListingScope();
        ~TListingScope();
        TListingScope(const TListingScope&) = delete;
        TListingScope& operator=(const TListingScope&) = delete;
    };
    // Drops what the thread's scope knows of the disk (an operation that starts again after the
    // user was asked, who may have changed the folder meanwhile, or one that has written a file).
    static void ForgetListings();

    bool SetProtected(const QString& path, bool protect) override;
    QString DriveRoot(QChar letter) const override;
    QString ResolveCaseInsensitive(const QString& path) const override;
    TEntry Examine(const QString& path) const override;
    QString RealFolder(const QString& folder) const override;

    void MapDrive(QChar letter, const QString& folder) override;

protected:
    // The names in a folder, hidden and system ones included, without "." and "..": what a name
    // not found as given is looked for among.
    virtual QStringList ListFolder(const QString& folder) const;
    // The looks at the disk every other operation is made of (one system call or one resolution
    // each): whether a path exists (following links), what a name is without following it, and
    // the path with every link followed (empty when it leads nowhere).
    virtual bool Exists(const QString& path) const;
    virtual TEntry LookAt(const QString& path) const;
    virtual QString CanonicalPath(const QString& path) const;

private:
    // ResolveCaseInsensitive outside a scope, and for relative paths.
    QString ResolveAfresh(const QString& path) const;
    // Within a scope: the clean absolute path resolved part by part from what the scope knows;
    // null when nothing matches. The folders on the way (onTheWay) are kept for the rest of the
    // operation; a name asked for itself is looked for each time (it may have gone since).
    QString ResolveInScope(const QString& clean, bool onTheWay) const;
    // The name of a resolved folder that matches the part, from the folder's listing; null
    // when none does.
    QString MatchInFolder(const QString& folder, const QString& part) const;

    QHash<QChar, QString> Drives;
};
