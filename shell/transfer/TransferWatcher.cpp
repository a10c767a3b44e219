#include "shell/transfer/TransferWatcher.h"

#include "core/files/Paths.h"
#include "core/vocab/FileVocabulary.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSet>

namespace {

// A stored folder as a key: one separator kind, none at the end, upper case.
QString StoredKey(const QString& stored) {
    QString key = stored.trimmed().toUpper();
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (key.size() > 1 && key.endsWith(QLatin1Char('/')))
        key.chop(1);
    return key;
}

// The native folder of a stored one; empty when its drive is not ready or it names no absolute
// folder (a relative one would be taken from wherever the program happens to run).
QString ResolveFolder(const QString& stored) {
    const QString native = NativePath(stored);
    if (native.isEmpty() || QDir::isRelativePath(native))
        return QString();
    return QDir::cleanPath(native);
}

bool IsArchiveName(const QString& name) {
    return name.endsWith(TransferArchiveExtension, Qt::CaseInsensitive);
}

} // namespace

TTransferWatcher::TTransferWatcher(QObject* parent) : QObject(parent) {
    PollTimer.setInterval(DefaultPollMilliseconds);
    StableTimer.setInterval(DefaultStableMilliseconds / 2);
    connect(&PollTimer, &QTimer::timeout, this, &TTransferWatcher::OnPollTick);
    connect(&StableTimer, &QTimer::timeout, this, &TTransferWatcher::OnStableTick);
    connect(&Watcher, &QFileSystemWatcher::directoryChanged, this, &TTransferWatcher::RescanNative);
    connect(&Watcher, &QFileSystemWatcher::fileChanged, this,
            [this](const QString& path) { RescanNative(QFileInfo(path).path()); });
}

TTransferWatcher::~TTransferWatcher() = default;

void TTransferWatcher::SetStableInterval(int milliseconds) {
    StableMilliseconds = qMax(1, milliseconds);
    StableTimer.setInterval(qMax(1, StableMilliseconds / 2));
}

void TTransferWatcher::SetPollInterval(int milliseconds) {
    PollTimer.setInterval(qMax(1, milliseconds));
}

void TTransferWatcher::SetFiles(const QList<TWatchedFile>& files) {
    OpenFiles = files;
    QHash<QString, TFolder> kept;
    for (const TWatchedFile& file : files) {
        const QString key = StoredKey(file.XferDir);
        if (key.isEmpty() || kept.contains(key))
            continue;
        if (Folders.contains(key)) {
            kept.insert(key, Folders.take(key));
            continue;
        }
        // What is there now is the starting point: only what comes after arrives.
        TFolder folder;
        folder.Stored = file.XferDir;
        folder.Native = ResolveFolder(file.XferDir);
        folder.Snapshot = TFolderSnapshot::Take(folder.Native);
        kept.insert(key, folder);
    }
    Folders = kept;
    // Copies still being written into a folder no longer watched are forgotten.
    QSet<QString> natives;
    for (const TFolder& folder : std::as_const(Folders))
        natives.insert(folder.Native.toUpper());
    for (auto it = Pending.begin(); it != Pending.end();)
        it = natives.contains(QFileInfo(it->Path).path().toUpper()) ? std::next(it) : Pending.erase(it);
    if (Pending.isEmpty())
        StableTimer.stop();
    SyncWatches();
}

void TTransferWatcher::RememberOwnArchive(const QString& nativePath) {
    const auto stamp = TFolderSnapshot::StampOf(nativePath);
    if (!stamp)
        return;
    const QString key = nativePath.toUpper();
    Seen.insert(key, *stamp);
    // A rename or write of our own already under way is no arrival either.
    const auto pending = Pending.find(key);
    if (pending != Pending.end())
        pending->Stamp = *stamp, pending->Ignored = true;
}

QStringList TTransferWatcher::WatchedFolders() const {
    QStringList folders;
    for (const TFolder& folder : Folders)
        if (!folder.Native.isEmpty() && Watcher.directories().contains(folder.Native) &&
            !folders.contains(folder.Native))
            folders.append(folder.Native);
    folders.sort();
    return folders;
}

QStringList TTransferWatcher::PolledFolders() const {
    QStringList folders;
    for (const TFolder& folder : Folders) {
        const QString shown = folder.Native.isEmpty() ? folder.Stored : folder.Native;
        if (folder.Polled && !folders.contains(shown))
            folders.append(shown);
    }
    folders.sort();
    return folders;
}

void TTransferWatcher::RescanNative(const QString& nativeFolder) {
    const QString clean = QDir::cleanPath(nativeFolder);
    for (const QString& key : Folders.keys())
        if (Folders.value(key).Native == clean)
            Rescan(key);
}

void TTransferWatcher::Rescan(const QString& folderKey) {
    const auto found = Folders.find(folderKey);
    if (found == Folders.end())
        return;
    // The drive may have become ready, or the folder been made with another case, meanwhile.
    const QString native = ResolveFolder(found->Stored);
    TFolderSnapshot now = TFolderSnapshot::Take(native);
    const TFolderSnapshot::TChanges changes = TFolderSnapshot::Diff(found->Snapshot, now);
    found->Native = native;
    found->Snapshot = std::move(now);
    QList<std::pair<QString, TFileStamp>> arrivals;
    for (const QStringList* names : {&changes.Created, &changes.Updated, &changes.Renamed})
        for (const QString& name : *names)
            if (IsArchiveName(name))
                arrivals.append({QDir(native).filePath(name), found->Snapshot.Files().value(name)});
    SyncWatches();
    for (const auto& [path, stamp] : arrivals)
        Arrival(path, stamp);
}

void TTransferWatcher::Arrival(const QString& path, const TFileStamp& stamp) {
    const QString key = path.toUpper();
    const bool busy = Busy();
    const auto pending = Pending.find(key);
    if (pending != Pending.end()) {
        // The same copy still being written.
        if (pending->Stamp != stamp)
            pending->Stamp = stamp, pending->Still.restart();
        pending->Ignored = pending->Ignored || busy;
        return;
    }
    if (Seen.value(key) == stamp)
        return;
    TPending arrival{path, stamp, {}, busy};
    arrival.Still.start();
    Pending.insert(key, arrival);
    if (!StableTimer.isActive())
        StableTimer.start();
}

void TTransferWatcher::SyncWatches() {
    QSet<QString> wantedFolders;
    QSet<QString> wantedFiles;
    for (const TFolder& folder : std::as_const(Folders)) {
        if (!folder.Snapshot.Exists())
            continue;
        wantedFolders.insert(folder.Native);
        // A folder's own notice misses a file rewritten in place; the file's notice does not.
        for (auto it = folder.Snapshot.Files().cbegin(); it != folder.Snapshot.Files().cend(); ++it)
            if (IsArchiveName(it.key()))
                wantedFiles.insert(QDir(folder.Native).filePath(it.key()));
    }
    QStringList dropped;
    for (const QString& path : Watcher.directories())
        if (!wantedFolders.contains(path))
            dropped.append(path);
    for (const QString& path : Watcher.files())
        if (!wantedFiles.contains(path))
            dropped.append(path);
    if (!dropped.isEmpty())
        Watcher.removePaths(dropped);
    QStringList added;
    const QStringList watchedFolders = Watcher.directories();
    const QStringList watchedFiles = Watcher.files();
    for (const QString& path : std::as_const(wantedFolders))
        if (!watchedFolders.contains(path))
            added.append(path);
    for (const QString& path : std::as_const(wantedFiles))
        if (!watchedFiles.contains(path))
            added.append(path);
    // What the system refuses (out of watches, gone again) is looked at by the clock.
    if (!added.isEmpty())
        Watcher.addPaths(added);
    const QSet<QString> nowFolders(Watcher.directories().cbegin(), Watcher.directories().cend());
    const QSet<QString> nowFiles(Watcher.files().cbegin(), Watcher.files().cend());
    bool anyPolled = false;
    for (TFolder& folder : Folders) {
        folder.Polled = !folder.Snapshot.Exists() || !nowFolders.contains(folder.Native);
        for (auto it = folder.Snapshot.Files().cbegin();
             !folder.Polled && it != folder.Snapshot.Files().cend(); ++it)
            folder.Polled =
                IsArchiveName(it.key()) && !nowFiles.contains(QDir(folder.Native).filePath(it.key()));
        anyPolled = anyPolled || folder.Polled;
    }
    if (!anyPolled)
        PollTimer.stop();
    else if (!PollTimer.isActive())
        PollTimer.start();
}

void TTransferWatcher::OnPollTick() {
    for (const QString& key : Folders.keys())
        if (Folders.contains(key) && Folders.value(key).Polled)
            Rescan(key);
}

void TTransferWatcher::OnStableTick() {
    QList<TPending> ready;
    const bool busy = Busy();
    for (auto it = Pending.begin(); it != Pending.end();) {
        const auto stamp = TFolderSnapshot::StampOf(it->Path);
        if (!stamp) { // renamed away or deleted before it was complete
            it = Pending.erase(it);
            continue;
        }
        if (*stamp != it->Stamp) {
            it->Stamp = *stamp;
            it->Still.restart();
            it->Ignored = it->Ignored || busy;
            ++it;
            continue;
        }
        if (it->Still.elapsed() < StableMilliseconds) {
            ++it;
            continue;
        }
        ready.append(*it);
        it = Pending.erase(it);
    }
    if (Pending.isEmpty())
        StableTimer.stop();
    // The receiver may ask a question (a nested event loop), change the files or free this
    // watcher: every offer is checked afresh and nothing is held across the signal.
    const QPointer<TTransferWatcher> self(this);
    for (const TPending& arrival : std::as_const(ready)) {
        const QString key = arrival.Path.toUpper();
        if (Seen.value(key) == arrival.Stamp)
            continue;
        Seen.insert(key, arrival.Stamp);
        if (arrival.Ignored)
            continue;
        const std::optional<TTransferOffer> offer =
            CheckTransferFileArrival(arrival.Path, OpenFiles, FileActive(), Busy());
        if (!offer)
            continue;
        emit TransferOffered(*offer);
        if (!self)
            return;
    }
}
