#include "core/files/FileInfo.h"

#include "core/files/Paths.h"
#include "core/files/Wildcard.h"
#include "core/services/Services.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <exception>

qint64 GetFileSize(const QString& name) {
    const QStringList files = FindMatchingFiles(name);
    if (files.isEmpty())
        return -ENOENT;
    return QFileInfo(files.first()).size();
}

bool GetFileTimes(const QString& name, QDateTime& created, QDateTime& accessed, QDateTime& written) {
    created = accessed = written = QDateTime();
    QFile file(NativePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    written = file.fileTime(QFileDevice::FileModificationTime).toLocalTime();
    accessed = file.fileTime(QFileDevice::FileAccessTime).toLocalTime();
    created = file.fileTime(QFileDevice::FileBirthTime);
    created = created.isValid() ? created.toLocalTime() : written;
    return true;
}

int SetFileHidden(const QString& name, bool value) {
    try {
        const QString path = NativePath(name);
        if (path.isEmpty() || !QFileInfo::exists(path))
            return ENOENT;
        return TServices::FileSystem().SetProtected(path, value) ? 0 : EACCES;
    } catch (const std::exception&) {
        return -1;
    }
}
