#pragma once

#include "core/logs/LogDetails.h"
#include "core/vocab/LogKinds.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct TLogSession;

// One of the practice's seven activity logs (kinds 0-6), a file in the program data folder:
// its entries one after another as a value stream, closed by a single end-of-list byte, with
// no header. Appends and rewrites hold a short exclusive lock on the file, so workstations
// sharing the data folder take turns; an append writes in place over the end byte, a rewrite
// goes through a temporary file renamed over the log.
//
// A write killed part way (on any workstation) leaves the log's last entry cut short: the start
// of an entry, perhaps followed by zeros, or only the end byte missing. Such a log holds its
// whole entries: it is read as them, and the next append or rewrite drops what was cut. Any
// other fault (a value of the wrong kind, bytes after the end, a cut that would drop a whole
// entry) leaves the log damaged: it is reported and every writer leaves it as it is.
class TLogList {
public:
    // Raises EQuilvaneError for a kind outside 0-6. Needs the program settings (data folder).
    explicit TLogList(int kind);

    int Kind() const { return LogKind; }
    // The stored path of the log file.
    const QString& FileName() const { return StoredName; }

    // Adds the entry after the last whole entry of the log file (creating it when it is missing
    // or empty), reading only the file's last part when that ends whole; Entries is left alone.
    // A damaged file is refused and left as it is. A failure shows "Unable to write to log file -
    // <reason>", the reason naming the file, and gives false.
    bool Append(const TLogDetails& entry);

    // Appends the time-log entry of one opening of a client file (SessionEntry). A failure shows
    // "Unable to write to timelog - <reason>", the reason naming the file, and gives false; the
    // caller goes on.
    static bool LogSession(const TLogSession& session);
    // The time-log entry of a session: what the run of the time-log report (report type 62) made
    // now for the file's session carries. The file's code and name; the session's text in the
    // user-name field (see TLogSession); the run's defaults: run option 1 off, the page kinds 0
    // to 7, the session's start and end as the date range, the run's time (now) as its date, no
    // code mapping, and the monthly periods of the start and the end as the two values (0 for a
    // date that names no day). Format name, file, process kind and account selection stay empty.
    static TLogDetails SessionEntry(const TLogSession& session);

    // Reads every whole entry of the file into Entries (none when the file is missing or
    // empty). Raises EQuilvaneError naming the file when it is damaged; Entries then holds the
    // entries before the fault and DeleteRange refuses to run.
    void Load();

    int Count() const { return static_cast<int>(Entries.size()); }
    const TLogDetails& GetItem(int index) const;

    // FirstIndex: the first entry whose DateFrom is at or after `from`; LastIndex: the last
    // entry whose DateFrom falls on a day not later than the day of `to`. -1 when there is
    // none; LastIndex below FirstIndex is an empty range.
    void FindRange(double from, double to);

    // Removes, from the file as it now is, every entry inside the range of the last FindRange
    // (DateFrom at or after its start and on a day not after its end: entries need not be in
    // time order) and rewrites the file, then holds what was written. The entries that stay
    // keep their bytes; what a cut write left is dropped. Raises EQuilvaneError, leaving the
    // file as it was, when the file is damaged or cannot be written.
    void DeleteRange();

    int FirstIndex = -1;
    int LastIndex = -1;
    QList<TLogDetails> Entries;

private:
    bool InRange(const TLogDetails& entry) const;
    QString NativeFileName() const;
    void AppendOnce(const QByteArray& bytes);
    // Reads the whole entries of the file at the native path and, when asked, the bytes each was
    // read from. Raises EQuilvaneError for a damaged file.
    static void ReadFile(const QString& native, QList<TLogDetails>& entries, QList<QByteArray>* stored);

    int LogKind;
    QString StoredName;
    bool Complete = true;
    bool HasRange = false;
    double RangeFrom = 0;
    double RangeTo = 0;
};
