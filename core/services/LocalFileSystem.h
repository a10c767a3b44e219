#pragma once

#include "core/services/FileSystem.h"

#include <QHash>

// The workstation's own file system. Drive "C:" is the home folder; other letters come from a
// table the program settings fill (the "[DRIVES]" section of the program ini).
class TLocalFileSystem : public IFileSystem {
public:
    bool SetProtected(const QString& path, bool protect) override;
    QString DriveRoot(QChar letter) const override;
    QString ResolveCaseInsensitive(const QString& path) const override;

    void MapDrive(QChar letter, const QString& folder) override;

private:
    QHash<QChar, QString> Drives;
};
