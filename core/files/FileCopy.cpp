#include "core/files/FileCopy.h"

#include "core/files/StoredFileWriter.h"

#include "core/common/Exceptions.h"
#include "core/files/Paths.h"
#include "core/files/Wildcard.h"
#include "core/services/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

constexpr qint64 CopyBlockSize = 16384;

[[noreturn]] void CopyFailed(const QString& source, const QString& dest, const QString& reason) {
    throw EQuilvaneError(QStringLiteral("Unable to copy %1 to %2 (%3)").arg(source, dest, reason));
}

} // namespace

void CopyFileWithProgress(const QString& source, const QString& dest, bool showProgress) {
    const QString sourcePath = NativePath(source);
    const QString destPath = NativePath(dest);
    if (sourcePath.isEmpty())
        CopyFailed(source, dest, QStringLiteral("the source drive is not ready"));
    if (destPath.isEmpty())
        CopyFailed(source, dest, QStringLiteral("the destination drive is not ready"));

    QFile in(sourcePath);
    if (!in.open(QIODevice::ReadOnly))
        CopyFailed(source, dest, in.errorString());
    const qint64 sourceSize = in.size();
    const QDateTime modified = in.fileTime(QFileDevice::FileModificationTime);

    const QString destFolder = QFileInfo(destPath).absolutePath();
    if (!QDir().mkpath(destFolder))
        CopyFailed(source, dest, QStringLiteral("cannot create the folder %1").arg(destFolder));

    std::unique_ptr<TStoredFileWriter> writer;
    try {
        writer = std::make_unique<TStoredFileWriter>(destPath);
    } catch (const EQuilvaneError& error) {
        CopyFailed(source, dest, error.message());
    }
    QIODevice& out = writer->Device();

    std::unique_ptr<IProgress> progress;
    if (showProgress) {
        progress = TServices::CreateProgress();
        progress->Setup(QStringLiteral("File Copy"), 0, QStringLiteral("Copying File Please Wait ..."), true,
                        false);
    }

    QByteArray block(CopyBlockSize, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 got = in.read(block.data(), CopyBlockSize);
        if (got < 0)
            CopyFailed(source, dest, in.errorString());
        if (got > 0) {
            const qint64 put = out.write(block.constData(), got);
            if (put != got) {
                CopyFailed(source, dest,
                           put < 0 ? out.errorString() : QStringLiteral("the disk may be full"));
            }
            copied += got;
        }
        if (progress)
            progress->SetPosition(sourceSize > 0 ? static_cast<double>(copied) * 100.0 / sourceSize : 100.0);
        if (got < CopyBlockSize)
            break;
    }
    // A failure before the commit leaves the destination's old file as it was.
    if (copied != sourceSize)
        CopyFailed(source, dest, QStringLiteral("%1 of %2 bytes were read").arg(copied).arg(sourceSize));
    if (out.size() != sourceSize)
        CopyFailed(source, dest, QStringLiteral("the copy does not have the size of the original"));
    try {
        writer->Commit();
    } catch (const EQuilvaneError& error) {
        CopyFailed(source, dest, error.message());
    }
    in.close();
    // The modification time travels with the copy; the data is safe even when the file system
    // refuses the time.
    QFile stamped(destPath);
    if (stamped.open(QIODevice::ReadOnly) || stamped.open(QIODevice::Append))
        stamped.setFileTime(modified, QFileDevice::FileModificationTime);
}

int DeleteFilesByMask(const QString& mask) {
    int result = 0;
    for (const QString& path : FindMatchingFiles(mask)) {
        TServices::FileSystem().SetProtected(path, false);
        if (!QFile::remove(path))
            result = -1;
    }
    return result;
}
