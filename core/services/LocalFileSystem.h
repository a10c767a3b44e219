#pragma once

#include "core/services/FileSystem.h"

#include <QHash>
#include <QStringList>

// The workstation's own file system. Drive "C:" is the home folder; other letters come from a
// table the program settings fill (the "[DRIVES]" section of the program ini).
//
// Finding a name that is not there as given lists its folder. An operation that looks for many
// names of one folder (the month files of a year, most of which are usually not there) holds a
// TListingScope: while one lives on the thread, each folder is listed once and its listing is
// searched for every name after. Outside a scope every search lists the folder afresh, so a file
// another workstation adds is found by the next operation.
class TLocalFileSystem : public IFileSystem {
public:
    class TListingScope {
    public:
        TListingScope();
        ~TListingScope();
        TListingScope(const TListingScope&) = delete;
        TListingScope& operator=(const TListingScope&) = delete;
    };
    // Drops the listings the thread's scope holds (an operation that starts again after the
    // user was asked, who may have changed the folder meanwhile).
    static void ForgetListings();

    bool SetProtected(const QString& path, bool protect) override;
    QString DriveRoot(QChar letter) const override;
    QString ResolveCaseInsensitive(const QString& path) const override;

    void MapDrive(QChar letter, const QString& folder) override;

protected:
    // The names in a folder, hidden and system ones included, without "." and "..": what a name
    // not found as given is looked for among.
    virtual QStringList ListFolder(const QString& folder) const;

private:
    // The folder's names: from the scope's listing of it when there is one (listedBefore then
    // true), else listed now (and kept while a scope is held).
    QStringList FolderNames(const QString& folder, bool& listedBefore) const;

    QHash<QChar, QString> Drives;
};
