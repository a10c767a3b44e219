#pragma once

#include "shell/transfer/FolderSnapshot.h"
#include "shell/transfer/TransferFileArrival.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

// Watches the transfer folders of the files open on the desktop and offers each transfer archive
// that arrives there for an open file and its current year (see CheckTransferFileArrival).
//
// - Arrivals are files created in, rewritten in, or renamed into a watched folder (a rename counts
//   under its new name). Files already in a folder when its watch starts are not arrivals; a
//   folder that is missing when it is fed starts empty, so what appears in it later arrives.
// - A folder the system cannot watch (missing, on a drive that is not ready, out of watches) is
//   looked at every few seconds instead; that is never an error.
// - An archive is offered once its size and last-write time have stood still for the stable
//   interval, so a copy in progress is offered once, complete, however many changes it makes.
// - Each copy of an archive (its path and stamp) is considered once: reported again unchanged,
//   or renamed away and back, it is not offered again; written again later, it is.
// - Nothing is offered while the program is busy (a modal window is up or a process runs); an
//   archive that arrived or was still being written while busy is dropped, not offered later.
// - Archives the program wrote itself (RememberOwnArchive) are not offered.
// The offer is made through TransferOffered, from the event loop; asking the question, making the
// file active and running the transfer are the receiver's.
class TTransferWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultStableMilliseconds = 1000;
    static constexpr int DefaultPollMilliseconds = 3000;

    explicit TTransferWatcher(QObject* parent = nullptr);
    ~TTransferWatcher() override;

    // The files open on the desktop, in desktop order (an offer's Index is a position in this
    // list). Watches the transfer folders of these files and no others; a folder already watched
    // keeps what it has seen.
    void SetFiles(const QList<TWatchedFile>& files);
    const QList<TWatchedFile>& Files() const { return OpenFiles; }

    // Whether the program is busy (a modal window is up or a process runs); never busy unless set.
    void SetBusyCheck(std::function<bool()> busy) { IsBusy = std::move(busy); }
    // Whether a file is active; unless set, whenever a file is fed.
    void SetFileActiveCheck(std::function<bool()> active) { IsFileActive = std::move(active); }

    // How long an archive must stand still before it is offered, and how often the folders that
    // cannot be watched are looked at (tests shorten both).
    void SetStableInterval(int milliseconds);
    void SetPollInterval(int milliseconds);
    int StableInterval() const { return StableMilliseconds; }
    int PollInterval() const { return PollTimer.interval(); }

    // Records an archive the program has just written (a native path) so that its arrival is not
    // offered; the same file written again later by someone else is.
    void RememberOwnArchive(const QString& nativePath);

    // The native folders on the system's watch, and those looked at by the clock instead (the
    // stored text of a folder whose drive is not ready); both sorted.
    QStringList WatchedFolders() const;
    QStringList PolledFolders() const;
    // Archives that have arrived and are waiting to stand still.
    int PendingArchives() const { return static_cast<int>(Pending.size()); }

signals:
    void TransferOffered(const TTransferOffer& offer);

private:
    struct TFolder {
        QString Stored; // as the first file's record gives it
        QString Native; // empty while its drive is not ready
        TFolderSnapshot Snapshot;
        bool Polled = true;
    };
    struct TPending {
        QString Path;
        TFileStamp Stamp;
        QElapsedTimer Still;
        bool Ignored = false;
    };

    bool Busy() const { return IsBusy && IsBusy(); }
    bool FileActive() const { return IsFileActive ? IsFileActive() : !OpenFiles.isEmpty(); }
    void Rescan(const QString& folderKey);
    void RescanNative(const QString& nativeFolder);
    void Arrival(const QString& path, const TFileStamp& stamp);
    void SyncWatches();
    void OnPollTick();
    void OnStableTick();

    QList<TWatchedFile> OpenFiles;
    QHash<QString, TFolder> Folders;  // by stored folder, upper case
    QHash<QString, TPending> Pending; // by path, upper case
    QHash<QString, TFileStamp> Seen;  // by path, upper case: the copy last considered
    std::function<bool()> IsBusy;
    std::function<bool()> IsFileActive;
    int StableMilliseconds = DefaultStableMilliseconds;
    QFileSystemWatcher Watcher;
    QTimer PollTimer;
    QTimer StableTimer;
};
