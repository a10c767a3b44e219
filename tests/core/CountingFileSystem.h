#pragma once

#include "core/services/LocalFileSystem.h"

#include <QDir>
#include <QHash>
#include <QString>

#include <algorithm>

// The workstation's file system, counting the listings of each folder it makes to find names
// that differ from the disk in case.
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

protected:
    QStringList ListFolder(const QString& folder) const override {
        ++Counts[QDir::cleanPath(folder)];
        return TLocalFileSystem::ListFolder(folder);
    }

private:
    mutable QHash<QString, int> Counts;
};
