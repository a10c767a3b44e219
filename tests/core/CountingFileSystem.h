#pragma once

#include "core/services/LocalFileSystem.h"

#include <QDir>
#include <QHash>
#include <QString>

#include <algorithm>

// The workstation's file system, counting the listings of each folder it makes to find names
// that differ from the disk in case, and every other look it takes at the disk: whether a path
// exists, what a name is (without following it) and where a path really leads.
class TCountingFileSystem : public TLocalFileSystem {
public:
    int Listings(const QString& folder) const { return Counts.value(QDir::cleanPath(folder)); }
    // The most listings any one folder had.
    int MostListingsOfAFolder() const {
        int most = 0;
        for (const int count : Counts)
            most = std::max(most, count);
        return most;
    }
    // The looks at the disk besides the listings, each one system call or one resolution of a
    // path's links.
    mutable int ExistenceChecks = 0;
    mutable int LooksAtNames = 0;
    mutable int Resolutions = 0;
    int Looks() const { return ExistenceChecks + LooksAtNames + Resolutions; }
    void ResetCounts() {
        Counts.clear();
        ExistenceChecks = LooksAtNames = Resolutions = 0;
    }

protected:
    QStringList ListFolder(const QString& folder) const override {
        ++Counts[QDir::cleanPath(folder)];
        return TLocalFileSystem::ListFolder(folder);
    }
    bool Exists(const QString& path) const override {
        ++ExistenceChecks;
        return TLocalFileSystem::Exists(path);
    }
    TEntry LookAt(const QString& path) const override {
        ++LooksAtNames;
        return TLocalFileSystem::LookAt(path);
    }
    QString CanonicalPath(const QString& path) const override {
        ++Resolutions;
        return TLocalFileSystem::CanonicalPath(path);
    }

private:
    mutable QHash<QString, int> Counts;
};
