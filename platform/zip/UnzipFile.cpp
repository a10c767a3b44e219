#include "platform/zip/ZipFile.h"

#include "core/common/Exceptions.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/Win1252Codec.h"
#include "platform/zip/ZipNames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStorageInfo>
#include <QtEndian>

#include <zip.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr qsizetype ReadChunk = 64 * 1024;
// The folder bit of the attributes that MS-DOS and Windows tools store.
constexpr zip_uint32_t DosFolderAttribute = 0x10;

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A sum of sizes that stops at the largest size rather than overflowing.
qint64 SizeSum(qint64 sum, qint64 size) {
    return size > std::numeric_limits<qint64>::max() - sum ? std::numeric_limits<qint64>::max() : sum + size;
}

struct TEntryClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using TOpenEntry = std::unique_ptr<zip_file_t, TEntryClose>;

// The code and words for a library failure while an entry is opened or read.
int EntryFailure(zip_error_t* error, bool encrypted, QString& reason) {
    reason = QString::fromLocal8Bit(zip_error_strerror(error));
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return ZipResult::WrongPassword;
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP:
        return ZipResult::UnsupportedMethod;
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return ZipResult::ReadFailed;
    case ZIP_ER_MEMORY:
        throw std::bad_alloc();
    default:
        // Traditional encryption lets one wrong password in 256 past its check; its data then
        // fails to inflate or fails the CRC.
        if (encrypted)
            reason += QStringLiteral(" (the archive is damaged or the password is wrong)");
        return ZipResult::CorruptArchive;
    }
}

// Where one step of a path leads inside the destination: the existing entry whose name matches
// without regard to case (the exact name first), or the name as given when nothing matches.
struct TStep {
    QString Path;
    bool Exists = false;
    mode_t Mode = 0;
};

// The central directory as stored, read beside the library: it shows a NUL byte in a name as a
// blank, so "a.txt\0../x" would pass for a name of its own. Every end record in the archive's
// tail whose directory reads whole with the library's number of entries is looked at (the
// library picks one of them), and the indexes of the names holding a NUL in any of them are
// collected. False when no end record leads to such a directory.
constexpr quint32 DirectoryHeaderSignature = 0x02014b50;
constexpr quint32 EndSignature = 0x06054b50;
constexpr quint32 Zip64LocatorSignature = 0x07064b50;
constexpr quint32 Zip64EndSignature = 0x06064b50;
constexpr qint64 EndRecordSize = 22;
constexpr qint64 DirectoryHeaderSize = 46;
constexpr qint64 Zip64LocatorSize = 20;
constexpr qint64 Zip64EndSize = 56;
constexpr qint64 MaxCommentSize = 65535;

quint16 Word16(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 Word32(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint64 Word64(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint64>(bytes.constData() + at);
}

QByteArray ReadAt(QFile& file, qint64 offset, qint64 length) {
    if (offset < 0 || length < 0 || offset > file.size() || length > file.size() - offset ||
        !file.seek(offset))
        return QByteArray();
    QByteArray bytes = file.read(length);
    return bytes.size() == length ? bytes : QByteArray();
}

// The names of one directory: false when it does not read whole.
bool ScanDirectory(QFile& file, quint64 offset, quint64 size, quint64 count, QSet<quint64>& withNul) {
    const auto fileSize = quint64(file.size());
    if (offset > fileSize || size > fileSize - offset || count > size / DirectoryHeaderSize)
        return false;
    const quint64 end = offset + size;
    QSet<quint64> found;
    quint64 at = offset;
    for (quint64 i = 0; i < count; ++i) {
        if (end - at < quint64(DirectoryHeaderSize))
            return false;
        const QByteArray header = ReadAt(file, qint64(at), DirectoryHeaderSize);
        if (header.isEmpty() || Word32(header, 0) != DirectoryHeaderSignature)
            return false;
        const quint64 nameLength = Word16(header, 28);
        const quint64 rest = nameLength + Word16(header, 30) + Word16(header, 32);
        if (end - at - DirectoryHeaderSize < rest)
            return false;
        const QByteArray name = ReadAt(file, qint64(at + DirectoryHeaderSize), qint64(nameLength));
        if (name.size() != qsizetype(nameLength))
            return false;
        if (name.contains('\0'))
            found.insert(i);
        at += DirectoryHeaderSize + rest;
    }
    withNul.unite(found);
    return true;
}

bool FindNamesWithNul(const QString& path, quint64 entryCount, QSet<quint64>& withNul) {
    if (entryCount == 0)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 tailStart = std::max<qint64>(0, file.size() - EndRecordSize - MaxCommentSize);
    const QByteArray tail = ReadAt(file, tailStart, file.size() - tailStart);
    bool read = false;
    QSet<QPair<quint64, quint64>> seen;
    for (qint64 at = tail.size() - EndRecordSize; at >= 0; --at) {
        if (Word32(tail, at) != EndSignature)
            continue;
        quint64 count = Word16(tail, at + 10);
        quint64 size = Word32(tail, at + 12);
        quint64 offset = Word32(tail, at + 16);
        // A field at its largest value may hand over to the zip64 end record (when there is one).
        if (count == 0xFFFF || size == 0xFFFFFFFF || offset == 0xFFFFFFFF) {
            const QByteArray locator = ReadAt(file, tailStart + at - Zip64LocatorSize, Zip64LocatorSize);
            const quint64 endAt = locator.isEmpty() ? 0 : Word64(locator, 8);
            const QByteArray end = locator.isEmpty() || Word32(locator, 0) != Zip64LocatorSignature ||
                                           endAt > quint64(std::numeric_limits<qint64>::max())
                                       ? QByteArray()
                                       : ReadAt(file, qint64(endAt), Zip64EndSize);
            if (!end.isEmpty() && Word32(end, 0) == Zip64EndSignature) {
                count = Word64(end, 32);
                size = Word64(end, 40);
                offset = Word64(end, 48);
            }
        }
        if (count != entryCount || seen.contains({offset, size}))
            continue;
        seen.insert({offset, size});
        read = ScanDirectory(file, offset, size, count, withNul) || read;
    }
    return read;
}

TStep StepInto(const QString& folder, const QString& name) {
    TStep step;
    struct stat info {};
    QString found;
    if (::lstat(QFile::encodeName(QDir(folder).filePath(name)).constData(), &info) == 0) {
        found = name;
    } else {
        const QStringList entries = QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& entry : entries)
            if (entry.compare(name, Qt::CaseInsensitive) == 0 &&
                ::lstat(QFile::encodeName(QDir(folder).filePath(entry)).constData(), &info) == 0) {
                found = entry;
                break;
            }
    }
    step.Path = QDir(folder).filePath(found.isEmpty() ? name : found);
    step.Exists = !found.isEmpty();
    step.Mode = step.Exists ? info.st_mode : 0;
    return step;
}

} // namespace

TUnzipFile::~TUnzipFile() {
    Close();
}

void TUnzipFile::Close() {
    if (Archive)
        zip_discard(Archive);
    Archive = nullptr;
    OpenedPath.clear();
    ArchiveComment.clear();
    Entries.clear();
}

int TUnzipFile::Fail(int code, const QString& text) {
    LastError = text;
    return code;
}

int TUnzipFile::Open() {
    Close();
    LastError.clear();
    if (ZipFile.isEmpty())
        return Fail(ZipResult::BadParameters, QStringLiteral("No archive name was given"));
    const QFileInfo info(ZipFile);
    if (!info.exists())
        return Fail(ZipResult::ArchiveNotFound,
                    QStringLiteral("The archive %1 does not exist").arg(Shown(ZipFile)));
    if (!info.isFile())
        return Fail(ZipResult::CorruptArchive, QStringLiteral("%1 is not a zip archive").arg(Shown(ZipFile)));
    int openError = 0;
    zip_t* archive = zip_open(QFile::encodeName(ZipFile).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &openError);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        switch (openError) {
        case ZIP_ER_NOENT:
            return Fail(ZipResult::ArchiveNotFound,
                        QStringLiteral("The archive %1 does not exist").arg(Shown(ZipFile)));
        case ZIP_ER_OPEN:
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
            return Fail(ZipResult::ReadFailed,
                        QStringLiteral("Unable to read %1: %2").arg(Shown(ZipFile), reason));
        case ZIP_ER_MEMORY:
            throw std::bad_alloc();
        default:
            return Fail(
                ZipResult::CorruptArchive,
                QStringLiteral("%1 is not a zip archive or is damaged: %2").arg(Shown(ZipFile), reason));
        }
    }
    Archive = archive;
    OpenedPath = ZipFile;

    int commentLength = 0;
    const char* comment = zip_get_archive_comment(Archive, &commentLength, ZIP_FL_ENC_RAW);
    if (comment && commentLength > 0)
        ArchiveComment = QByteArray(comment, commentLength);

    const zip_int64_t count = zip_get_num_entries(Archive, 0);
    QSet<quint64> namesWithNul;
    if (!FindNamesWithNul(ZipFile, quint64(std::max<zip_int64_t>(count, 0)), namesWithNul)) {
        Close();
        return Fail(
            ZipResult::CorruptArchive,
            QStringLiteral("%1 is damaged: its central directory cannot be read").arg(Shown(ZipFile)));
    }
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = zip_uint64_t(i);
        const char* name = zip_get_name(Archive, index, ZIP_FL_ENC_GUESS);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (!name || zip_stat_index(Archive, index, 0, &stat) != 0) {
            const QString reason = QString::fromLocal8Bit(zip_strerror(Archive));
            Close();
            return Fail(ZipResult::CorruptArchive,
                        QStringLiteral("%1 is damaged: %2").arg(Shown(ZipFile), reason));
        }
        TEntry entry;
        entry.Index = index;
        entry.Name = ZipNames::Normalised(QString::fromUtf8(name));
        entry.Size = (stat.valid & ZIP_STAT_SIZE)
                         ? qint64(std::min<zip_uint64_t>(stat.size, std::numeric_limits<qint64>::max()))
                         : 0;
        entry.Modified = (stat.valid & ZIP_STAT_MTIME) ? qint64(stat.mtime) : -1;
        entry.Encrypted = (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE;
        entry.EncryptionMethod = entry.Encrypted ? stat.encryption_method : ZIP_EM_NONE;
        entry.CompressionMethod = (stat.valid & ZIP_STAT_COMP_METHOD) ? stat.comp_method : ZIP_CM_STORE;
        entry.Folder = ZipNames::IsFolderName(entry.Name);
        entry.NulInName = namesWithNul.contains(index);
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(Archive, index, 0, &system, &attributes) == 0) {
            if (system == ZIP_OPSYS_UNIX) {
                const mode_t type = mode_t(attributes >> 16) & S_IFMT;
                entry.Folder = entry.Folder || type == S_IFDIR;
                entry.Special = !entry.Folder && type != 0 && type != S_IFREG;
            } else if (attributes & DosFolderAttribute) {
                entry.Folder = true;
            }
        }
        Entries.append(entry);
    }
    return ZipResult::Ok;
}

int TUnzipFile::EnsureOpen() {
    if (Archive && OpenedPath == ZipFile)
        return ZipResult::Ok;
    return Open();
}

QStringList TUnzipFile::EntryNames() const {
    QStringList names;
    for (const TEntry& entry : Entries)
        names.append(entry.Name);
    return names;
}

int TUnzipFile::CheckNames() {
    if (const int code = EnsureOpen())
        return code;
    for (const TEntry& entry : std::as_const(Entries)) {
        if (entry.NulInName)
            return Fail(
                ZipResult::UnsafeEntry,
                QStringLiteral("The name of the entry \"%1\" of %2 holds a NUL character; the archive is "
                               "refused")
                    .arg(entry.Name, Shown(ZipFile)));
        if (ZipNames::SafeParts(entry.Name).isEmpty())
            return Fail(
                ZipResult::UnsafeEntry,
                QStringLiteral("The entry \"%1\" of %2 would be written outside its folder; the archive is "
                               "refused")
                    .arg(entry.Name, Shown(ZipFile)));
    }
    return ZipResult::Ok;
}

int TUnzipFile::Select(const QStringList& selections, bool recurse, const TEntryFilter& allowed,
                       QList<int>& chosen) {
    chosen.clear();
    // Every name first: an unsafe one refuses the archive even when nothing would choose it.
    if (const int code = CheckNames())
        return code;
    if (MaxEntries > 0 && Entries.size() > MaxEntries)
        return Fail(ZipResult::TooLarge,
                    QStringLiteral("The entry \"%1\" of %2 is one more than the %3 entries the archive may "
                                   "hold; the archive is refused")
                        .arg(Entries[MaxEntries].Name, Shown(ZipFile))
                        .arg(MaxEntries));
    for (int i = 0; i < Entries.size(); ++i) {
        const TEntry& entry = Entries[i];
        if (entry.Folder || !ZipNames::MatchesAnySelection(entry.Name, selections, recurse))
            continue;
        if (allowed && !allowed(entry.Name))
            continue;
        chosen.append(i);
    }
    if (chosen.isEmpty())
        return Fail(ZipResult::NothingMatched,
                    QStringLiteral("No entry of %1 matches \"%2\"")
                        .arg(Shown(ZipFile), selections.join(QStringLiteral("\", \""))));
    for (const int i : std::as_const(chosen)) {
        const TEntry& entry = Entries[i];
        if (entry.Special)
            return Fail(
                ZipResult::UnsafeEntry,
                QStringLiteral("The entry \"%1\" of %2 is a link or a special file; the archive is refused")
                    .arg(entry.Name, Shown(ZipFile)));
    }
    if (const int code = NameChosen(chosen))
        return code;
    return CheckSizes(chosen);
}

int TUnzipFile::NameChosen(const QList<int>& chosen) {
    QHash<QString, int> taken; // the names given so far, folded, and the entry they went to
    for (const int i : chosen) {
        TEntry& entry = Entries[i];
        entry.Target = NameOf ? ZipNames::Normalised(NameOf(entry.Name)) : entry.Name;
        if (entry.Target.isEmpty())
            return Fail(
                ZipResult::UnsafeEntry,
                QStringLiteral("The entry \"%1\" of %2 is no file that is taken in from it; the archive "
                               "is refused")
                    .arg(entry.Name, Shown(ZipFile)));
        if (ZipNames::SafeParts(entry.Target).isEmpty())
            return Fail(
                ZipResult::UnsafeEntry,
                QStringLiteral("The entry \"%1\" of %2 would be written outside its folder; the archive "
                               "is refused")
                    .arg(entry.Name, Shown(ZipFile)));
        if (!NameOf)
            continue;
        const QString folded = ZipNames::SafeParts(entry.Target).join(u'/').toCaseFolded();
        const auto before = taken.constFind(folded);
        if (before != taken.cend())
            return Fail(
                ZipResult::UnsafeEntry,
                QStringLiteral("The entries \"%1\" and \"%2\" of %3 are the same file; the archive is "
                               "refused")
                    .arg(Entries[before.value()].Name, entry.Name, Shown(ZipFile)));
        taken.insert(folded, i);
    }
    return ZipResult::Ok;
}

qint64 TUnzipFile::LimitOf(const TEntry& entry) const {
    const qint64 limit = SizeLimit ? SizeLimit(entry.Name) : 0;
    return limit > 0 ? limit : std::numeric_limits<qint64>::max();
}

int TUnzipFile::CheckSizes(const QList<int>& chosen) {
    qint64 total = 0;
    for (const int i : chosen) {
        const TEntry& entry = Entries[i];
        total = SizeSum(total, entry.Size);
        if (TotalLimit > 0 && total > TotalLimit)
            return Fail(ZipResult::TooLarge,
                        QStringLiteral("The entries of %1 up to \"%2\" hold %3 bytes, more than the %4 bytes "
                                       "allowed for the whole archive; the archive is refused")
                            .arg(Shown(ZipFile), entry.Name)
                            .arg(total)
                            .arg(TotalLimit));
        const qint64 limit = LimitOf(entry);
        if (entry.Size > limit)
            return Fail(
                ZipResult::TooLarge,
                QStringLiteral("The entry \"%1\" of %2 holds %3 bytes, more than the %4 bytes allowed for "
                               "it; the archive is refused")
                    .arg(entry.Name, Shown(ZipFile))
                    .arg(entry.Size)
                    .arg(limit));
    }
    return ZipResult::Ok;
}

void TUnzipFile::Report(qint64 done, qint64 total) {
    if (!OnProgress)
        return;
    const int percent = total > 0 ? int(std::clamp<qint64>(done * 100 / total, 0, 100)) : 100;
    if (percent == LastPercent)
        return;
    LastPercent = percent;
    OnProgress(percent);
}

int TUnzipFile::ReadEntry(const TEntry& entry, QIODevice* sink, qint64& done, qint64 total) {
    // A method the library does not know is refused before the library tries to open the entry
    // (the library's own refusal of an unknown encryption loses memory).
    const int unsupported = !zip_compression_method_supported(entry.CompressionMethod, 0) ? ZIP_ER_COMPNOTSUPP
                            : !zip_encryption_method_supported(entry.EncryptionMethod, 0) ? ZIP_ER_ENCRNOTSUPP
                                                                                          : ZIP_ER_OK;
    if (unsupported != ZIP_ER_OK) {
        zip_error_t error;
        zip_error_init_with_code(&error, unsupported);
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        return Fail(
            ZipResult::UnsupportedMethod,
            QStringLiteral("Unable to read \"%1\" from %2: %3").arg(entry.Name, Shown(ZipFile), reason));
    }
    const QByteArray password = TWin1252Codec::Encode(DecryptCode);
    TOpenEntry file(password.isEmpty()
                        ? zip_fopen_index(Archive, entry.Index, 0)
                        : zip_fopen_index_encrypted(Archive, entry.Index, 0, password.constData()));
    QString reason;
    if (!file) {
        const int code = EntryFailure(zip_get_error(Archive), entry.Encrypted, reason);
        return Fail(
            code,
            QStringLiteral("Unable to read \"%1\" from %2: %3").arg(entry.Name, Shown(ZipFile), reason));
    }
    // Never more than the header declares: a deflated entry can unpack to far more than its
    // header says. The declared size was held to the caller's limit before anything was read.
    qint64 read = 0;
    QByteArray buffer(ReadChunk, Qt::Uninitialized);
    for (;;) {
        // One byte past the declared size at most tells a lie.
        const qint64 wanted = std::min<qint64>(buffer.size(), entry.Size - read + 1);
        const zip_int64_t count = zip_fread(file.get(), buffer.data(), zip_uint64_t(wanted));
        if (count < 0) {
            const int code = EntryFailure(zip_file_get_error(file.get()), entry.Encrypted, reason);
            return Fail(
                code,
                QStringLiteral("Unable to read \"%1\" from %2: %3").arg(entry.Name, Shown(ZipFile), reason));
        }
        if (count == 0)
            break;
        read += count;
        if (read > entry.Size)
            return Fail(
                ZipResult::TooLarge,
                QStringLiteral("The entry \"%1\" of %2 holds more than the %3 bytes its header declares; "
                               "the archive is refused")
                    .arg(entry.Name, Shown(ZipFile))
                    .arg(entry.Size));
        if (sink && sink->write(buffer.constData(), count) != count)
            return Fail(ZipResult::WriteFailed,
                        QStringLiteral("Unable to write \"%1\": %2").arg(entry.Name, sink->errorString()));
        done += count;
        Report(done, total);
    }
    return ZipResult::Ok;
}

int TUnzipFile::Test(const QStringList& selections, bool recurse, const TEntryFilter& allowed) {
    LastError.clear();
    if (const int code = EnsureOpen())
        return code;
    QList<int> chosen;
    if (const int code = Select(selections, recurse, allowed, chosen))
        return code;
    qint64 total = 0;
    for (const int i : std::as_const(chosen))
        total = SizeSum(total, Entries[i].Size);
    qint64 done = 0;
    LastPercent = -1;
    Report(0, total);
    for (const int i : std::as_const(chosen))
        if (const int code = ReadEntry(Entries[i], nullptr, done, total))
            return code;
    Report(total, total);
    return ZipResult::Ok;
}

int TUnzipFile::Extract(const QStringList& selections, const QString& destination, bool recurse,
                        bool overwrite, const TEntryFilter& allowed) {
    LastError.clear();
    ExtractedNames.clear();
    if (destination.isEmpty())
        return Fail(ZipResult::BadParameters, QStringLiteral("No destination folder was given"));
    if (const int code = EnsureOpen())
        return code;
    QList<int> chosen;
    if (const int code = Select(selections, recurse, allowed, chosen))
        return code;

    // Every target is looked at before anything is written, so that a link or a file standing
    // where a folder belongs refuses the whole extraction rather than half of it.
    const auto walk = [&](const TEntry& entry, bool create, TStep& target) {
        const QStringList parts = ZipNames::SafeParts(entry.Target);
        QString folder = destination;
        for (qsizetype p = 0; p + 1 < parts.size(); ++p) {
            const TStep step = StepInto(folder, parts[p]);
            if (step.Exists && !S_ISDIR(step.Mode))
                return Fail(ZipResult::UnsafeEntry,
                            QStringLiteral("The entry \"%1\" of %2 would be written through %3, which is %4")
                                .arg(entry.Name, Shown(ZipFile), Shown(step.Path),
                                     S_ISLNK(step.Mode) ? QStringLiteral("a symbolic link")
                                                        : QStringLiteral("not a folder")));
            if (!step.Exists && create && !QDir(folder).mkdir(QFileInfo(step.Path).fileName()))
                return Fail(ZipResult::WriteFailed,
                            QStringLiteral("Unable to create the folder %1").arg(Shown(step.Path)));
            folder = step.Path;
        }
        target = StepInto(folder, parts.last());
        if (target.Exists && !S_ISREG(target.Mode))
            return Fail(ZipResult::UnsafeEntry,
                        QStringLiteral("The entry \"%1\" of %2 would replace %3, which is %4")
                            .arg(entry.Name, Shown(ZipFile), Shown(target.Path),
                                 S_ISLNK(target.Mode) ? QStringLiteral("a symbolic link")
                                                      : QStringLiteral("not a plain file")));
        return int(ZipResult::Ok);
    };
    TStep target;
    for (const int i : std::as_const(chosen))
        if (const int code = walk(Entries[i], false, target))
            return code;

    // The space the entries declare must be free where they go (the nearest existing folder of
    // the destination tells the file system).
    qint64 total = 0;
    for (const int i : std::as_const(chosen))
        total = SizeSum(total, Entries[i].Size);
    QString existing = QFileInfo(destination).absoluteFilePath();
    while (!QFileInfo(existing).isDir() && QFileInfo(existing).absolutePath() != existing)
        existing = QFileInfo(existing).absolutePath();
    const QStorageInfo storage(existing);
    if (storage.isValid() && total > storage.bytesAvailable())
        return Fail(
            ZipResult::TooLarge,
            QStringLiteral("The entries to extract from %1 hold %2 bytes, more than the %3 bytes free on "
                           "the disk of %4; the archive is refused")
                .arg(Shown(ZipFile))
                .arg(total)
                .arg(storage.bytesAvailable())
                .arg(Shown(destination)));

    if (!QFileInfo(destination).isDir() && !QDir().mkpath(destination))
        return Fail(ZipResult::WriteFailed,
                    QStringLiteral("Unable to create the folder %1").arg(Shown(destination)));
    qint64 done = 0;
    LastPercent = -1;
    Report(0, total);
    const QString root = QDir(destination).absolutePath();
    for (const int i : std::as_const(chosen)) {
        const TEntry& entry = Entries[i];
        if (const int code = walk(entry, true, target))
            return code;
        if (target.Exists && !overwrite) {
            done += entry.Size;
            continue;
        }
        // Only the writer's own failures become a code: a cancel thrown by the progress handler
        // passes through, and the writer's destructor removes its temporary file.
        std::unique_ptr<TStoredFileWriter> writer;
        try {
            writer = std::make_unique<TStoredFileWriter>(target.Path);
        } catch (const EQuilvaneError& error) {
            return Fail(ZipResult::WriteFailed, error.message());
        }
        auto& file = static_cast<QFileDevice&>(writer->Device());
        if (const int code = ReadEntry(entry, &file, done, total))
            return code;
        if (!file.flush())
            return Fail(ZipResult::WriteFailed,
                        QStringLiteral("Unable to write %1: %2").arg(Shown(target.Path), file.errorString()));
        if (entry.Modified >= 0)
            file.setFileTime(QDateTime::fromSecsSinceEpoch(entry.Modified),
                             QFileDevice::FileModificationTime);
        try {
            writer->Commit();
        } catch (const EQuilvaneError& error) {
            return Fail(ZipResult::WriteFailed, error.message());
        }
        ExtractedNames.append(QDir(root).relativeFilePath(QFileInfo(target.Path).absoluteFilePath()));
    }
    Report(total, total);
    return ZipResult::Ok;
}
