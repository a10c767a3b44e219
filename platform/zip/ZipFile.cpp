#include "platform/zip/ZipFile.h"

#include "core/files/StoredFileWriter.h"
#include "core/files/Wildcard.h"
#include "core/io/Win1252Codec.h"
#include "platform/zip/ZipNames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype MaxCommentBytes = 65535;
constexpr int MaxCompFactor = 9;
// The library reports progress in steps of this share of the whole.
constexpr double ProgressStep = 0.01;

// A file that an include pattern found: its entry name and the names on disk of the folders
// below the base folder and of the file itself.
struct TFoundFile {
    QString EntryName;
    QStringList DiskParts;
    qint64 Size = 0;
    time_t Modified = 0;
};

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The folder's entry of that name: the exact name when it exists, else the first (by name)
// that differs from it only in case. Empty when there is none.
QString FindChild(const QString& folder, const QString& name) {
    struct stat info {};
    if (::lstat(QFile::encodeName(QDir(folder).filePath(name)).constData(), &info) == 0)
        return name;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return QString();
}

// A temporary file of the program's stored-file writer ("<name>.~qv" and six letters): never
// part of a client's data.
bool IsWriterTempName(const QString& name) {
    const qsizetype marker = name.lastIndexOf(TStoredFileWriter::TempMarker());
    return marker > 0 && name.size() - marker - TStoredFileWriter::TempMarker().size() == 6;
}

// The library writes an archive to "<archive>.XXXXXX" beside it, the X's replaced by lower-case
// letters and digits, and renames that file over the archive when it closes.
constexpr qsizetype LibraryTempLetters = 6;
// A temporary file written within this time may belong to a writer still at work (on a shared
// folder, perhaps on another workstation).
constexpr qint64 StaleTempAgeSecs = 60;

// The archive name of one of the library's temporary names; empty when it is none.
QString ArchiveOfLibraryTemp(const QString& name) {
    const qsizetype dot = name.size() - LibraryTempLetters - 1;
    if (dot < 1 || name[dot] != QLatin1Char('.'))
        return QString();
    for (qsizetype i = dot + 1; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
            return QString();
    }
    return name.left(dot);
}

// The first failure met while the library read the files, told in our words.
struct TReadFailure {
    int Code = ZipResult::Ok;
    QString Text;
    void Set(int code, const QString& text) {
        if (Code == ZipResult::Ok) {
            Code = code;
            Text = text;
        }
    }
};

// The data of one file to add, read by the library through ReadFoundFile when it writes the
// archive. The file is opened folder by folder below the base folder without following a link,
// so a file or folder swapped for a link after it was found is refused rather than read.
struct TFileSource {
    QByteArray Base;
    QList<QByteArray> Parts;
    QString Path;
    qint64 Size = 0;
    time_t Modified = 0;
    int Fd = -1;
    zip_error_t Error{};
    TReadFailure* Failure = nullptr;

    bool Open() {
        int folder = ::open(Base.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (qsizetype i = 0; folder >= 0 && i + 1 < Parts.size(); ++i) {
            const int next =
                ::openat(folder, Parts[i].constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            ::close(folder);
            folder = next;
        }
        if (folder >= 0) {
            Fd = ::openat(folder, Parts.last().constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            ::close(folder);
        }
        if (Fd < 0)
            return Refuse(errno == ELOOP || errno == ENOTDIR ? ZipResult::LinkRefused : ZipResult::ReadFailed,
                          QString::fromLocal8Bit(std::strerror(errno)));
        struct stat info {};
        if (::fstat(Fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(Fd);
            Fd = -1;
            return Refuse(ZipResult::LinkRefused, QStringLiteral("not a plain file"));
        }
        return true;
    }

    bool Refuse(int code, const QString& reason) {
        Failure->Set(code, QStringLiteral("Unable to read %1: %2").arg(Shown(Path), reason));
        zip_error_set(&Error, ZIP_ER_OPEN, 0);
        return false;
    }

    zip_int64_t Read(void* data, zip_uint64_t length) {
        for (;;) {
            const ssize_t count = ::read(Fd, data, length);
            if (count >= 0)
                return count;
            if (errno != EINTR) {
                Failure->Set(ZipResult::ReadFailed,
                             QStringLiteral("Unable to read %1: %2")
                                 .arg(Shown(Path), QString::fromLocal8Bit(std::strerror(errno))));
                zip_error_set(&Error, ZIP_ER_READ, errno);
                return -1;
            }
        }
    }

    void CloseFile() {
        if (Fd >= 0)
            ::close(Fd);
        Fd = -1;
    }
};

// The library's call for a file's data. Nothing thrown may leave it: the library is C.
zip_int64_t ReadFoundFile(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* source = static_cast<TFileSource*>(state);
    try {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            return source->Open() ? 0 : -1;
        case ZIP_SOURCE_READ:
            return source->Read(data, length);
        case ZIP_SOURCE_CLOSE:
            source->CloseFile();
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            stat->size = zip_uint64_t(source->Size);
            stat->mtime = source->Modified;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&source->Error, data, length);
        case ZIP_SOURCE_FREE:
            source->CloseFile();
            zip_error_fini(&source->Error);
            delete source;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&source->Error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    } catch (...) {
        zip_error_set(&source->Error, ZIP_ER_MEMORY, 0);
        return -1;
    }
}

// What the library's progress and cancel calls share while it writes the archive.
struct TCloseWatch {
    const std::function<void(int)>* OnProgress = nullptr;
    std::exception_ptr Thrown;
    int LastPercent = -1;
};

// The library's progress call. The last step (the whole) comes after the archive has replaced
// the old one, too late to cancel, so it is not passed on. A handler that throws has its
// exception kept for Create and is not called again; the cancel call then stops the library.
void ReportWriteProgress(zip_t*, double fraction, void* state) {
    auto* watch = static_cast<TCloseWatch*>(state);
    if (watch->Thrown || fraction >= 1.0 || !*watch->OnProgress)
        return;
    const int percent = std::clamp(int(fraction * 100), 0, 99);
    if (percent == watch->LastPercent)
        return;
    watch->LastPercent = percent;
    try {
        (*watch->OnProgress)(percent);
    } catch (...) {
        watch->Thrown = std::current_exception();
    }
}

int WriteCancelled(zip_t*, void* state) {
    return static_cast<TCloseWatch*>(state)->Thrown ? 1 : 0;
}

struct TArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using TArchive = std::unique_ptr<zip_t, TArchiveDiscard>;

QString LibraryText(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// Finds the files that one include pattern names. 0, or a code with its text.
int FindPattern(const QString& base, const QString& pattern, QList<TFoundFile>& found, QSet<QString>& names,
                const QPair<dev_t, ino_t>& skip, QString& failure) {
    const QStringList parts = ZipNames::SafeParts(pattern);
    bool wildFolder = false;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        wildFolder = wildFolder || ZipNames::HasWildcards(parts[i]);
    if (parts.isEmpty() || wildFolder) {
        failure = QStringLiteral("The pattern \"%1\" does not name files below %2").arg(pattern, Shown(base));
        return ZipResult::BadParameters;
    }
    QString folder = base;
    QStringList diskFolders;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString child = FindChild(folder, parts[i]);
        if (child.isEmpty())
            return ZipResult::Ok;
        const QString path = QDir(folder).filePath(child);
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            return ZipResult::Ok;
        if (S_ISLNK(info.st_mode)) {
            failure = QStringLiteral("%1 is a symbolic link; the program does not archive through links")
                          .arg(Shown(path));
            return ZipResult::LinkRefused;
        }
        if (!S_ISDIR(info.st_mode))
            return ZipResult::Ok;
        folder = path;
        diskFolders.append(child);
    }
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : entries) {
        if (!MatchesWildcard(name, parts.last()) || IsWriterTempName(name))
            continue;
        const QString path = QDir(folder).filePath(name);
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || S_ISDIR(info.st_mode))
            continue;
        if (!S_ISREG(info.st_mode)) {
            failure = QStringLiteral("%1 is a symbolic link or not a plain file; the program archives plain "
                                     "files only")
                          .arg(Shown(path));
            return ZipResult::LinkRefused;
        }
        if (info.st_dev == skip.first && info.st_ino == skip.second)
            continue;
        TFoundFile file;
        file.DiskParts = diskFolders;
        file.DiskParts.append(name);
        file.EntryName = file.DiskParts.join(QLatin1Char('/'));
        file.Size = info.st_size;
        file.Modified = info.st_mtime;
        if (!names.contains(file.EntryName)) {
            names.insert(file.EntryName);
            found.append(file);
        }
    }
    return ZipResult::Ok;
}

} // namespace

int TZipFile::RemoveStaleTemporaries(const QString& folder, const QString& archivePattern) {
    if (folder.isEmpty() || archivePattern.isEmpty() || archivePattern.contains(QLatin1Char('/')) ||
        archivePattern.contains(QLatin1Char('\\')))
        return 0;
    int removed = 0;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        // The whole archive name must be one the pattern names: "ACME0106.*" takes the leftovers
        // of "ACME0106.007", never the backup "ACME0106.123456" read as a leftover of "ACME0106".
        const QString archive = ArchiveOfLibraryTemp(name);
        if (archive.isEmpty() || !MatchesWildcard(archive, archivePattern) ||
            (archivePattern.endsWith(QLatin1String(".*")) && !archive.contains(QLatin1Char('.'))))
            continue;
        // Opened without following a link; removed only when the name still leads to the file
        // that was looked at.
        const QByteArray path = QFile::encodeName(QDir(folder).filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            now - opened.st_mtime > StaleTempAgeSecs && ::lstat(path.constData(), &named) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino && ::unlink(path.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

int TZipFile::Fail(int code, const QString& text) {
    LastError = text;
    return code;
}

int TZipFile::Create() {
    LastError.clear();
    AddedNames.clear();
    if (ZipFile.isEmpty())
        return Fail(ZipResult::BadParameters, QStringLiteral("No archive name was given"));
    if (BaseFolder.isEmpty() || !QFileInfo(BaseFolder).isDir())
        return Fail(ZipResult::BadParameters,
                    QStringLiteral("The folder %1 does not exist").arg(Shown(BaseFolder)));
    if (CompFactor < 0 || CompFactor > MaxCompFactor)
        return Fail(ZipResult::BadParameters,
                    QStringLiteral("The compression factor %1 is not between 0 and 9").arg(CompFactor));
    if (Comment.size() > MaxCommentBytes)
        return Fail(ZipResult::BadParameters,
                    QStringLiteral("The archive comment is longer than %1 bytes").arg(MaxCommentBytes));

    const QByteArray archivePath = QFile::encodeName(ZipFile);
    QPair<dev_t, ino_t> oldArchive{0, 0};
    struct stat info {};
    if (::lstat(archivePath.constData(), &info) == 0) {
        if (S_ISLNK(info.st_mode))
            return Fail(ZipResult::LinkRefused,
                        QStringLiteral("%1 is a symbolic link; the program does not write through links")
                            .arg(Shown(ZipFile)));
        if (!S_ISREG(info.st_mode))
            return Fail(ZipResult::WriteFailed,
                        QStringLiteral("Unable to write %1: it is not a plain file").arg(Shown(ZipFile)));
        oldArchive = {info.st_dev, info.st_ino};
    }
    const QString archiveFolder = QFileInfo(ZipFile).absolutePath();
    if (!QFileInfo(archiveFolder).isDir())
        return Fail(ZipResult::WriteFailed, QStringLiteral("Unable to write %1: the folder %2 does not exist")
                                                .arg(Shown(ZipFile), Shown(archiveFolder)));

    QList<TFoundFile> found;
    QSet<QString> names;
    for (const QString& pattern : IncludeOnly) {
        QString failure;
        if (const int code = FindPattern(BaseFolder, pattern, found, names, oldArchive, failure))
            return Fail(code, failure);
    }
    if (Accept)
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [&](const TFoundFile& file) { return !Accept(file.EntryName); }),
                    found.end());
    if (found.isEmpty())
        return Fail(ZipResult::NothingToAdd,
                    QStringLiteral("No file to archive was found in %1").arg(Shown(BaseFolder)));

    int openError = 0;
    // The library writes a temporary file beside the archive and renames it at the close; until
    // then an old archive of the name stays as it was.
    TArchive archive(zip_open(archivePath.constData(), ZIP_CREATE | ZIP_TRUNCATE, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        const QString text = LibraryText(&error);
        zip_error_fini(&error);
        return Fail(ZipResult::WriteFailed,
                    QStringLiteral("Unable to write %1: %2").arg(Shown(ZipFile), text));
    }
    const auto libraryFailure = [&](int code) {
        return Fail(code, QStringLiteral("Unable to write %1: %2")
                              .arg(Shown(ZipFile), LibraryText(zip_get_error(archive.get()))));
    };

    TReadFailure readFailure;
    const QByteArray password = TWin1252Codec::Encode(EncryptCode);
    const QByteArray base = QFile::encodeName(BaseFolder);
    for (const TFoundFile& file : found) {
        auto* state = new TFileSource;
        state->Base = base;
        for (const QString& part : file.DiskParts)
            state->Parts.append(QFile::encodeName(part));
        state->Path = QDir(BaseFolder).filePath(file.EntryName);
        state->Size = file.Size;
        state->Modified = file.Modified;
        state->Failure = &readFailure;
        zip_error_init(&state->Error);
        zip_source_t* source = zip_source_function(archive.get(), ReadFoundFile, state);
        if (!source) {
            zip_error_fini(&state->Error);
            delete state;
            return libraryFailure(ZipResult::WriteFailed);
        }
        const zip_int64_t index =
            zip_file_add(archive.get(), file.EntryName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return libraryFailure(ZipResult::WriteFailed);
        }
        const auto entry = zip_uint64_t(index);
        if (zip_set_file_compression(archive.get(), entry, CompFactor == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                     zip_uint32_t(CompFactor)) != 0 ||
            zip_file_set_mtime(archive.get(), entry, file.Modified, 0) != 0)
            return libraryFailure(ZipResult::WriteFailed);
        if (!EncryptCode.isEmpty() &&
            zip_file_set_encryption(archive.get(), entry, ZIP_EM_TRAD_PKWARE, password.constData()) != 0)
            return libraryFailure(ZipResult::UnsupportedMethod);
    }
    if (!Comment.isEmpty() &&
        zip_set_archive_comment(archive.get(), Comment.constData(), zip_uint16_t(Comment.size())) != 0)
        return Fail(
            ZipResult::BadParameters,
            QStringLiteral("The archive comment is neither plain nor UTF-8 text; it cannot be stored"));

    TCloseWatch watch;
    watch.OnProgress = &OnProgress;
    if (zip_register_progress_callback_with_state(archive.get(), ProgressStep, ReportWriteProgress, nullptr,
                                                  &watch) != 0 ||
        zip_register_cancel_callback_with_state(archive.get(), WriteCancelled, nullptr, &watch) != 0)
        return libraryFailure(ZipResult::WriteFailed);

    if (zip_close(archive.get()) != 0) {
        // The library has removed its temporary file; the archive's state goes with it.
        const int libraryCode = zip_error_code_zip(zip_get_error(archive.get()));
        const QString text = LibraryText(zip_get_error(archive.get()));
        archive.reset();
        if (watch.Thrown)
            std::rethrow_exception(watch.Thrown);
        if (readFailure.Code != ZipResult::Ok)
            return Fail(readFailure.Code, readFailure.Text);
        return Fail(libraryCode == ZIP_ER_ENCRNOTSUPP || libraryCode == ZIP_ER_COMPNOTSUPP
                        ? ZipResult::UnsupportedMethod
                        : ZipResult::WriteFailed,
                    QStringLiteral("Unable to write %1: %2").arg(Shown(ZipFile), text));
    }
    (void)archive.release(); // a successful close frees the archive
    for (const TFoundFile& file : found)
        AddedNames.append(file.EntryName);
    if (watch.Thrown) // thrown at the last step, after the archive was complete
        std::rethrow_exception(watch.Thrown);
    return ZipResult::Ok;
}
