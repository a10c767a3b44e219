#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>

// Writes a stored file so that no reader ever sees half of it: the bytes go to a temporary file
// beside the target ("<name>.~qv" and six letters), which is held under an advisory lock while it
// is written, flushed to disk and renamed over the target. Until the rename the old file is
// untouched; a failure, or destroying the writer without Commit(), removes the temporary file.
// A target that is itself a symbolic link is refused (the folder it lies in may be one): in a
// shared data folder such a link could make a save replace a file outside it.
class TStoredFileWriter {
public:
    // Creates the temporary file; raises EQuilvaneError naming the file when it cannot.
    explicit TStoredFileWriter(const QString& nativePath);
    ~TStoredFileWriter();
    TStoredFileWriter(const TStoredFileWriter&) = delete;
    TStoredFileWriter& operator=(const TStoredFileWriter&) = delete;

    QIODevice& Device() { return Temp; }

    // Gives the new file the protection of a client's record (IFileSystem::SetProtected) before
    // the rename, so that the target's name never stands for a writable file, whenever the
    // process stops; the old file is never made writable. A new file that cannot be protected is
    // not renamed: Commit raises and the old file stays.
    void ProtectNewFile() { Protect = true; }

    // Flushes the bytes to disk and renames them over the target, keeping the old file's
    // permissions (less the write bits after ProtectNewFile); raises EQuilvaneError on any
    // failure, and the old file stays as it was. Then removes the temporary files that dead
    // writers of the same target left behind.
    void Commit();

    // The marker in the names of the temporary files.
    static QString TempMarker();

    // The steps of a commit at which a test can stop a writer as if its process died there:
    // just before the rename (the new file complete beside the target) and just after it.
    enum class TCommitStep { BeforeRename, AfterRename };
    using TCommitStepHook =
        std::function<void(TCommitStep step, const QString& tempPath, const QString& target)>;
    // Installs the callback every commit calls at each step (an empty one: none is called). It
    // may throw, to stand for a process stopped at that step; the writer then does no more.
    static void SetCommitStepHook(TCommitStepHook hook);

private:
    QString Target;
    QFile Temp;
    bool Protect = false;
    bool Committed = false;
};

// Raises EQuilvaneError when the native path is a symbolic link (dangling or not).
void RefuseSymbolicLink(const QString& nativePath);

// Removes the temporary files that writers killed before their rename left in the folder: only
// names of the writer's own pattern (for one target when `forName` is given), only plain files
// at least a few seconds old, and only ones that no live process holds under its lock.
void RemoveLeftoverTempFiles(const QString& nativeFolder, const QString& forName = QString());

// Removes from a folder the temporary files that writers of the named targets (file names in
// that folder, compared without regard to case) left when they were killed before their rename:
// only the writer's own names for those targets, only plain files (never a link), only ones last
// written more than a minute ago, and only ones no live process holds under its lock. A save in
// progress keeps its file: its lock is held, and on a share whose locks do not reach this
// workstation it has been written within the minute. Nothing else in the folder is touched; a
// file that cannot be removed stays. A folder that is itself a symbolic link is left alone: what
// it leads to is not the data folder's.
void RemoveStaleTempFiles(const QString& nativeFolder, const QStringList& targetNames);
