#include "core/files/FileSwap.h"

#include "core/common/Exceptions.h"
#include "core/files/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

const QLatin1String MarkerHeader("Quilvane file swap 1");
const QLatin1String OldLine("old\t");
const QLatin1String NewLine("new\t");
const QLatin1String AsideFolder("old");
const QLatin1String StagedFolder("new");
// Where a copy that a placer wrote, and that the put-back takes out of the folder, waits.
const QLatin1String SpareFolder("spare");
constexpr qint64 LeftoverAgeSecs = 60;
constexpr int WorkSuffixLength = 6;

std::filesystem::path Fs(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// lstat: whether anything (a link included) stands at the path.
bool Present(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool IsPlainFolder(const QString& path, struct stat& info) {
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A relative name that stays inside the folder: no absolute start, no "..", no empty name, and no
// link on the way that leads out.
bool SafeName(const QString& folder, const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) ||
        ClimbsOutOfFolder(name) || name.contains(QChar(0)) || name.contains(QLatin1Char('\n')))
        return false;
    return LiesInsideFolder(folder, name);
}

// Moves a file, creating the folders it goes into; the error text when it could not.
QString Move(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::create_directories(Fs(to).parent_path(), error);
    if (error)
        return QString::fromStdString(error.message());
    std::filesystem::rename(Fs(from), Fs(to), error);
    return error ? QString::fromStdString(error.message()) : QString();
}

void RemoveTree(const QString& path) {
    std::error_code error;
    std::filesystem::remove_all(Fs(path), error);
}

// Whether a name below the working folder ("old/M_DETAIL/ABC12306.ADF") leads through plain
// folders only: every part of it that stands on disk before the file's own is a folder and no
// link, and the file itself, when there, is a file or a link (moved as it is, never followed). A
// part not there yet is made a plain folder by the move.
bool PlainWay(const QString& work, const QString& name) {
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = work;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path += QLatin1Char('/') + parts[i];
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            return errno == ENOENT;
        const bool file = i + 1 == parts.size();
        if (file ? !(S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) : !S_ISDIR(info.st_mode))
            return false;
    }
    return true;
}

bool IsWorkFolderName(const QString& name, const QString& prefix) {
    if (name.size() != prefix.size() + WorkSuffixLength || !name.startsWith(prefix, Qt::CaseInsensitive))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i)
        if (name[i].unicode() >= 128 || !name[i].isLetterOrNumber())
            return false;
    return true;
}

} // namespace

TFileSwap::TFileSwap(const QString& folder, const QString& workFolder) : Folder(folder), Work(workFolder) {}

TFileSwap::~TFileSwap() = default;

QString TFileSwap::MarkerName() {
    return QStringLiteral("swap");
}

bool TFileSwap::Step() {
    ++StepCount;
    if (OnStep && !OnStep(StepCount))
        Stopped = true;
    return !Stopped;
}

void TFileSwap::WriteMarker(const QStringList& oldNames, const QStringList& newNames) {
    QString text = MarkerHeader + QLatin1Char('\n');
    for (const QString& name : oldNames)
        text += OldLine + name + QLatin1Char('\n');
    for (const QString& name : newNames)
        text += NewLine + name + QLatin1Char('\n');
    const QString path = QDir(Work).filePath(MarkerName());
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    Marker.setFileName(temporary);
    const QByteArray bytes = text.toUtf8();
    if (!Marker.open(QIODevice::WriteOnly | QIODevice::NewOnly) || Marker.write(bytes) != bytes.size() ||
        !Marker.flush() || ::fsync(Marker.handle()) != 0)
        throw EQuilvaneError(QStringLiteral("Unable to write %1: %2")
                                 .arg(QDir::toNativeSeparators(path), Marker.errorString()));
    // Held until the change ends; the system drops it when the process dies.
    ::flock(Marker.handle(), LOCK_EX);
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        throw EQuilvaneError(QStringLiteral("Unable to write %1: %2")
                                 .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno))));
}

bool TFileSwap::Run(const QStringList& oldNames, const QStringList& newNames, const QStringList& placed,
                    const TPlacer& placer) {
    for (const QString& name : oldNames + newNames)
        if (!SafeName(Folder, name))
            throw EQuilvaneError(QStringLiteral("The file %1 would lie outside the folder %2.")
                                     .arg(name, QDir::toNativeSeparators(Folder)));
    for (const QString& name : newNames)
        if (!oldNames.contains(name) && Present(QDir(Folder).filePath(name)))
            throw EQuilvaneError(QStringLiteral("The file %1 would be replaced without being set aside.")
                                     .arg(QDir::toNativeSeparators(QDir(Folder).filePath(name))));
    OldNames = oldNames;
    NewNames = newNames;
    if (!Step())
        return false;
    WriteMarker(oldNames, newNames);
    MarkerWritten = true;

    const QString aside = QDir(Work).filePath(AsideFolder);
    const QString incoming = QDir(Work).filePath(StagedFolder);
    QStringList order;
    for (const QString& name : newNames)
        if (!placed.contains(name))
            order << name;
    for (const QString& name : placed)
        if (newNames.contains(name))
            order << name;
    try {
        for (const QString& name : oldNames) {
            if (!Step())
                return false;
            const QString failure = Move(QDir(Folder).filePath(name), QDir(aside).filePath(name));
            if (!failure.isEmpty())
                throw EQuilvaneError(QStringLiteral("Unable to move %1 aside: %2")
                                         .arg(QDir::toNativeSeparators(QDir(Folder).filePath(name)), failure));
        }
        for (const QString& name : order) {
            if (!Step())
                return false;
            const QString from = QDir(incoming).filePath(name);
            const QString to = QDir(Folder).filePath(name);
            if (placed.contains(name) && placer) {
                std::error_code error;
                std::filesystem::create_directories(Fs(to).parent_path(), error);
                placer(from, to);
                if (!QFile::remove(from))
                    throw EQuilvaneError(
                        QStringLiteral("Unable to remove %1.").arg(QDir::toNativeSeparators(from)));
                continue;
            }
            const QString failure = Move(from, to);
            if (!failure.isEmpty())
                throw EQuilvaneError(
                    QStringLiteral("Unable to restore %1: %2").arg(QDir::toNativeSeparators(to), failure));
        }
    } catch (...) {
        if (PutOldBack())
            Finish();
        throw;
    }
    return true;
}

bool TFileSwap::Committed() const {
    const QDir aside(QDir(Work).filePath(AsideFolder));
    const QDir incoming(QDir(Work).filePath(StagedFolder));
    return std::all_of(OldNames.cbegin(), OldNames.cend(),
                       [&](const QString& name) { return Present(aside.filePath(name)); }) &&
           std::all_of(NewNames.cbegin(), NewNames.cend(), [&](const QString& name) {
               return !Present(incoming.filePath(name)) && Present(QDir(Folder).filePath(name));
           });
}

bool TFileSwap::PutOldBack() {
    const QDir aside(QDir(Work).filePath(AsideFolder));
    const QDir incoming(QDir(Work).filePath(StagedFolder));
    const QString staged = StagedFolder + QLatin1Char('/');
    const QString spare = SpareFolder + QLatin1Char('/');
    // The new files first: once one of them is back in "new", the files read as the old state.
    for (const QString& name : NewNames) {
        if (!Present(QDir(Folder).filePath(name)))
            continue;
        if (!Present(incoming.filePath(name))) {
            if (!Shift(name, staged + name, true))
                return false;
        } else if (!OldNames.contains(name) || Present(aside.filePath(name))) {
            // Not the old file come back: a placer's copy of a staged file that is still there.
            if (!Shift(name, spare + name, true))
                return false;
        }
    }
    for (const QString& name : OldNames) {
        if (!Present(aside.filePath(name)))
            continue;
        if (Present(QDir(Folder).filePath(name)) && !Shift(name, spare + name, true))
            return false;
        if (!Shift(name, AsideFolder + QLatin1Char('/') + name, false))
            return false;
    }
    return true;
}

bool TFileSwap::Shift(const QString& name, const QString& kept, bool out) {
    if (!Step() || !PlainWay(Work, kept))
        return false;
    const QString live = QDir(Folder).filePath(name);
    const QString work = QDir(Work).filePath(kept);
    return (out ? Move(live, work) : Move(work, live)).isEmpty();
}

void TFileSwap::RemoveWork() {
    ::unlink(QFile::encodeName(QDir(Work).filePath(MarkerName())).constData());
    RemoveTree(Work);
}

void TFileSwap::Finish() {
    if (Stopped || Finished)
        return;
    Finished = true;
    RemoveWork();
    Marker.close();
}

void TFileSwap::Undo() {
    // A change that failed inside Run was put back there already.
    if (Stopped || Finished)
        return;
    if (PutOldBack())
        Finish();
}

int TFileSwap::Recover(const QString& folder, const QString& prefix,
                       const std::function<bool(int step)>& onStep) {
    int recovered = 0;
    int steps = 0;
    bool stopped = false;
    const auto step = [&](int) {
        stopped = stopped || (onStep && !onStep(++steps));
        return !stopped;
    };
    const QStringList names =
        QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const QString& name : names) {
        if (!IsWorkFolderName(name, prefix))
            continue;
        const QString work = QDir(folder).filePath(name);
        struct stat info {};
        if (!IsPlainFolder(work, info))
            continue;
        const QString markerPath = QDir(work).filePath(MarkerName());
        const QByteArray encoded = QFile::encodeName(markerPath);
        const int fd = ::open(encoded.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            // Nothing was moved yet: only the staged copies are there.
            if (!Present(markerPath) && now - info.st_mtime >= LeftoverAgeSecs)
                RemoveTree(work);
            continue;
        }
        QFile marker;
        struct stat opened {};
        const bool usable = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_size < (1 << 20) &&
                            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                            marker.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
        if (!usable) {
            ::close(fd);
            continue;
        }
        const QStringList lines = QString::fromUtf8(marker.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        marker.close();
        QStringList oldNames, newNames;
        bool sound = !lines.isEmpty() && lines.first() == MarkerHeader;
        for (qsizetype i = 1; sound && i < lines.size(); ++i) {
            const QString& line = lines[i];
            const QString entry = line.mid(OldLine.size());
            if (line.startsWith(OldLine))
                oldNames << entry;
            else if (line.startsWith(NewLine))
                newNames << entry;
            else
                sound = false;
            sound = sound && SafeName(folder, entry);
        }
        // Only plain folders inside the working folder are looked into: a link there would lead the
        // moves out of the data folder.
        for (const QString& entry : oldNames + newNames)
            sound = sound && PlainWay(work, AsideFolder + QLatin1Char('/') + entry) &&
                    PlainWay(work, StagedFolder + QLatin1Char('/') + entry) &&
                    PlainWay(work, SpareFolder + QLatin1Char('/') + entry);
        if (sound) {
            TFileSwap swap(folder, work);
            swap.OldNames = oldNames;
            swap.NewNames = newNames;
            swap.OnStep = step;
            if ((swap.Committed() || swap.PutOldBack()) && step(0)) {
                swap.RemoveWork();
                ++recovered;
            }
        }
        ::close(fd);
        if (stopped)
            break;
    }
    return recovered;
}
