#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;
struct zip;

// Result codes of the archive writer and reader: 0 success, a positive code for every failure
// (the numbers follow the Info-ZIP tools where one of theirs means the same), with ErrorText()
// telling the user what happened.
namespace ZipResult {
inline constexpr int Ok = 0;
inline constexpr int ReadFailed = 2;         // the archive or a file to add could not be read
inline constexpr int CorruptArchive = 3;     // not a zip archive, damaged, or an entry fails its CRC
inline constexpr int ArchiveNotFound = 9;    // the archive does not exist
inline constexpr int BadParameters = 10;     // no archive name, missing folder, bad pattern or factor
inline constexpr int NothingMatched = 11;    // no entry of the archive matches the selections
inline constexpr int NothingToAdd = 12;      // the include list names no file: nothing is written
inline constexpr int WriteFailed = 14;       // the archive or an extracted file could not be written
inline constexpr int UnsafeEntry = 20;       // an entry would land outside the destination, is a link
                                             // or a special file, or a link stands in its way
inline constexpr int LinkRefused = 21;       // a file or folder to add is a link or a special file
inline constexpr int TooLarge = 50;          // an entry beyond its size limit or its declared size,
                                             // or entries beyond the free space of the destination
inline constexpr int UnsupportedMethod = 81; // compression or encryption the reader does not know
inline constexpr int WrongPassword = 82;     // an encrypted entry and a wrong or missing password
} // namespace ZipResult

// Writes one zip archive of a client file's data: the files that the include patterns name
// below the base folder, deflated, optionally under the traditional PKWARE encryption that
// every unzip tool reads, with an archive comment. The archive is written to a temporary file
// beside it and renamed over the old one only when complete, so an old archive of the same name
// stays intact through a failure or a cancel, and no temporary file is left behind.
class TZipFile {
public:
    QString ZipFile;    // native path of the archive
    QString BaseFolder; // native folder that the entry names are relative to
    // Relative patterns such as "ACME01.cfg", "M_DETAIL\\ACME0106.ADF" or "ACME01\\ACME0106.*":
    // '\\' or '/' between parts, '*' and '?' in the last part only, letters without regard to
    // case. Each pattern is looked up in its own folder (the tree is never walked); folders are
    // found without regard to case. Only regular files enter the archive: a link or special
    // file that a pattern meets fails the run, and a link is never followed.
    QStringList IncludeOnly;
    // When set, only the files found whose entry name ("ACME01/ACME0106.PA9") it accepts enter
    // the archive; the others are left out, not refused.
    std::function<bool(const QString& entry)> Accept;
    int CompFactor = 9;  // 0 stores, 1-9 deflate at that level
    QString EncryptCode; // empty: no encryption; else traditional PKWARE under this password
    QByteArray Comment;  // the archive comment as stored: ASCII or UTF-8, at most 65,535 bytes
    // Told the share written (0-99) while the archive is written. It may throw (the progress
    // window's Cancel): the exception never crosses the compression library; the archive is
    // discarded and the exception leaves Create once the library has let go of everything.
    std::function<void(int percent)> OnProgress;

    // Writes the archive; 0, or a ZipResult code. An include list that names no file at all is
    // refused (NothingToAdd) and nothing is written.
    int Create();
    QString ErrorText() const { return LastError; }
    // The entry names written by the last successful Create, in the case found on disk
    // ("ACME01.CFG", "M_DETAIL/ACME0106.ADF").
    QStringList Added() const { return AddedNames; }

    // Removes from the folder the temporary files that writers of archives killed before their
    // rename left beside them: only names of the writer's own form, an archive's whole name
    // matching the pattern (a file mask such as "ACME0106.*" or "ACME0106.QTF", letters without
    // regard to case; a mask ending in ".*" here takes only names with a dot, so that a backup
    // numbered "ACME0106.123456" is never read as a leftover of "ACME0106") followed by a dot and
    // six lower-case letters or digits; only plain files, never a
    // link; only files last written more than a minute ago, since a writer at work keeps its file
    // fresh. Nothing else in the folder is touched, and a file that cannot be removed stays.
    // Returns the number of files removed.
    static int RemoveStaleTemporaries(const QString& folder, const QString& archivePattern);

private:
    int Fail(int code, const QString& text);

    QString LastError;
    QStringList AddedNames;
};

// Reads one zip archive: its comment and entry names, tests entries and extracts them safely.
// Entry names use '/' between parts ('\\' in a stored name counts as one); names and
// selections compare without regard to case.
//
// An archive is untrusted input. One entry whose name would leave the destination (absolute, a
// drive letter, a ".." part, no part at all) or holds a NUL byte refuses the whole archive
// (UnsafeEntry), whatever the selections and the filter: Test and Extract check every entry's
// name, folder entries included, before they read anything, and CheckNames gives the same
// answer right after Open.
//
// A selection is a relative name or pattern ('\\' or '/' between parts, '*' and '?' in the
// last part). Without wildcards it names one entry by its whole relative path. With wildcards
// its last part is matched against the entries of its folder ("*.*" matches every name) and,
// with recurse, against the entries of every folder below it too, so "*.*" with recurse matches
// every entry. Folder entries carry no data and are passed over. The result is NothingMatched
// exactly when no entry matches any of the selections; when some match, the others are
// no failure. An `allowed` filter, when given, hides every entry it refuses from the selection
// (never from the check of the names).
class TUnzipFile {
public:
    TUnzipFile() = default;
    ~TUnzipFile();
    TUnzipFile(const TUnzipFile&) = delete;
    TUnzipFile& operator=(const TUnzipFile&) = delete;

    QString ZipFile;     // native path of the archive
    QString DecryptCode; // the password of encrypted entries
    // Told the share done (0-100) while entries are read; it may throw, and the exception
    // leaves Test or Extract with nothing half-written.
    std::function<void(int percent)> OnProgress;
    // The most bytes an entry (its name as EntryNames gives it) may unpack to; 0 or a negative
    // value sets no limit, and so does an unset function. The caller knows what each kind of
    // file of its own can grow to; the reader only holds the entries to it. Test and Extract
    // refuse (TooLarge) an archive in which a chosen entry declares more before they read
    // anything, and stop as soon as an entry's data runs past its limit or past the size its
    // header declares, discarding what was read of it.
    std::function<qint64(const QString& entry)> SizeLimit;
    // The most entries the archive may hold, folder entries included; 0 sets no limit. Test and
    // Extract refuse (TooLarge) an archive of more entries before they read anything, naming the
    // first entry beyond the limit.
    qsizetype MaxEntries = 0;
    // The most bytes the chosen entries may unpack to together; 0 or a negative value sets no
    // limit. Test and Extract refuse (TooLarge) an archive whose chosen entries declare more before
    // they read anything, naming the entry that passes the limit.
    qint64 TotalLimit = 0;
    // The name (relative, '/' between parts) under which Extract writes a chosen entry, given the
    // entry's name as EntryNames gives it; unset, every entry keeps its own name. An empty name
    // refuses the archive (UnsafeEntry) before anything is read, naming the entry as no file that
    // is taken in; so does a name that would leave the destination, and two chosen entries given
    // one name (without regard to case). Test asks it too, so that it refuses what Extract would.
    std::function<QString(const QString& entry)> NameOf;

    // Opens the archive named by ZipFile (Test and Extract open it when it is not open yet). An
    // archive whose central directory does not read whole is refused (CorruptArchive).
    int Open();
    QByteArray Comment() const { return ArchiveComment; }
    QStringList EntryNames() const;

    // Checks the name of every entry (opening the archive when it is not open): 0, or
    // UnsafeEntry with ErrorText naming the first entry whose name would leave the destination or
    // holds a NUL byte, or the code of a failure to open.
    int CheckNames();

    using TEntryFilter = std::function<bool(const QString& entry)>;

    // Reads every matching entry to its end, checking its CRC and password: 0, NothingMatched,
    // or the code of the first failure (WrongPassword, CorruptArchive, UnsafeEntry, TooLarge,
    // ...). An entry or a name that Extract would refuse fails the test too.
    int Test(const QStringList& selections, bool recurse, const TEntryFilter& allowed = {});

    // Writes the matching entries under the destination folder (created when missing), each
    // through a temporary file beside it renamed over the old file once its data proved sound,
    // with the entry's modification time. Existing files and folders are found without regard
    // to case; without overwrite an existing file is left as it is. An archive holding a name
    // that is absolute, carries a drive letter, climbs with ".." or holds a NUL, chosen entries
    // that are links or special files, and destinations reached through a link are refused
    // before anything is written (UnsafeEntry); so are chosen entries beyond their size limit,
    // and chosen entries that together declare more than the free space of the destination's
    // file system (TooLarge).
    int Extract(const QStringList& selections, const QString& destination, bool recurse, bool overwrite,
                const TEntryFilter& allowed = {});
    // The relative paths (as written on disk, '/' between parts) of the files the last Extract
    // wrote.
    QStringList Extracted() const { return ExtractedNames; }
    QString ErrorText() const { return LastError; }

private:
    struct TEntry {
        QString Name; // '/' between parts
        QString Target; // the name it is written under (NameOf's), set when it is chosen
        quint64 Index = 0;
        qint64 Size = 0;
        qint64 Modified = -1; // seconds since the epoch, -1 when unknown
        bool Folder = false;
        bool Special = false; // a link, device, pipe or socket
        bool Encrypted = false;
        bool NulInName = false; // the stored name holds a NUL byte (the library shows a blank)
        qint32 CompressionMethod = 0;
        quint16 EncryptionMethod = 0;
    };

    void Close();
    int EnsureOpen();
    int Fail(int code, const QString& text);
    int Select(const QStringList& selections, bool recurse, const TEntryFilter& allowed, QList<int>& chosen);
    int CheckSizes(const QList<int>& chosen);
    int NameChosen(const QList<int>& chosen);
    qint64 LimitOf(const TEntry& entry) const;
    int ReadEntry(const TEntry& entry, QIODevice* sink, qint64& done, qint64 total);
    void Report(qint64 done, qint64 total);

    struct zip* Archive = nullptr;
    QString OpenedPath;
    QByteArray ArchiveComment;
    QList<TEntry> Entries;
    QStringList ExtractedNames;
    QString LastError;
    int LastPercent = -1;
};
