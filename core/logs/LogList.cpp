#include "core/logs/LogList.h"

#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/files/Paths.h"
#include "core/files/RecordGuard.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueTag.h"
#include "core/io/ValueWriter.h"
#include "core/logs/LogSession.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr int LogBufferSize = 4096;
constexpr int MonthsPerYear = 12;
// The page kinds a run of the time-log report covers: 0 to 7, as for every report type without
// a set of its own.
constexpr std::uint16_t TimeLogPageKinds = 0x00FF;
// How long an append or rewrite waits for another workstation's turn on the same log.
constexpr int LockWaitMs = 5000;

QString Shown(const QString& native) {
    return QDir::toNativeSeparators(native);
}

QString LastSystemError() {
    return ErrorText(std::system_error(errno, std::generic_category()));
}

bool HasContent(const QString& native) {
    const QFileInfo info(native);
    return info.exists() && info.size() > 0;
}

// Creates the log empty when it is missing, so that there is a file to take the lock on; an
// existing one is left as it is. A symbolic link is refused.
void EnsureExists(const QString& native) {
    const int handle =
        ::open(QFile::encodeName(native).constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (handle < 0)
        throw EQuilvaneError(QStringLiteral("Unable to open %1: %2").arg(Shown(native), LastSystemError()));
    ::close(handle);
}

// An append looks for the end of the log in this many of its last bytes: enough for a few
// hundred entries, of which the first ones show where entries start.
constexpr qint64 TailWindow = 32 * 1024;
// The most that a write cut short can have left after the last whole entry: far more than one
// entry takes.
constexpr qint64 LongestCutTail = 64 * 1024;

// How a reading of entries stopped.
struct TEntryRun {
    qint64 End = 0;         // the position after the last whole entry read
    int Count = 0;          // the whole entries read
    bool AtEndByte = false; // stopped at an end byte, at End
    QString Failure;        // why the entry at End did not read whole (empty when it did not start)
    bool RanOut = false;    // that entry needed more bytes than there are
};

// Reads entries of a log's bytes from `from` up to an end byte, the end of the bytes or an entry
// that does not read whole. The entries, and the bytes each was read from, go to the lists given.
TEntryRun ReadEntries(const QByteArray& bytes, qint64 from, QList<TLogDetails>* entries = nullptr,
                      QList<QByteArray>* stored = nullptr) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    device.seek(from);
    TValueReader reader(device, LogBufferSize);
    TEntryRun run;
    run.End = from;
    try {
        while (!reader.AtEnd()) {
            if (reader.EndOfList()) {
                run.AtEndByte = true;
                break;
            }
            TLogDetails entry;
            entry.Read(reader);
            const qint64 next = reader.Pos();
            if (stored)
                stored->append(bytes.mid(run.End, next - run.End));
            if (entries)
                entries->append(std::move(entry));
            run.End = next;
            ++run.Count;
        }
    } catch (const EQuilvaneError& error) {
        run.Failure = ErrorText(error);
        run.RanOut = run.Failure == ErrorText(EStreamError::ReadError());
    }
    return run;
}

// Every entry starts with its file code, a string.
bool MayStartEntry(const QByteArray& bytes, qint64 at) {
    const auto tag = static_cast<TValueTag>(static_cast<std::uint8_t>(bytes[at]));
    return tag == TValueTag::String || tag == TValueTag::LString;
}

// What follows the whole entries read from the start of a log's bytes.
enum class TLogTail {
    Whole,   // the end byte, last
    Cut,     // what a write cut short leaves: nothing (the end byte not yet written), or the
             // start of an entry, perhaps followed by the zeros a crash leaves where the data
             // never reached the disk; it holds no whole entry and is given up
    Damaged, // anything else, which may hold entries: the log is left as it is
};

TLogTail TailAfter(const QByteArray& bytes, const TEntryRun& run) {
    const qint64 size = bytes.size();
    if (run.AtEndByte && run.End == size - 1)
        return TLogTail::Whole;
    if (run.End == size)
        return TLogTail::Cut;
    if (size - run.End > LongestCutTail)
        return TLogTail::Damaged;
    qint64 written = size;
    while (written > run.End && bytes[written - 1] == '\0')
        --written;
    if (written > run.End) {
        const TEntryRun cut = ReadEntries(bytes.first(written), run.End);
        if (cut.Count > 0 || !cut.RanOut)
            return TLogTail::Damaged;
    }
    for (qint64 at = run.End + 1; at < size; ++at)
        if (MayStartEntry(bytes, at) && ReadEntries(bytes, at).Count > 0)
            return TLogTail::Damaged;
    return TLogTail::Cut;
}

QString ReadFailure(const QString& native, const TEntryRun& run) {
    const QString reason = run.Failure.isEmpty()
                               ? QStringLiteral("bytes follow the end of the log")
                               : QStringLiteral("%1 (entry %2)").arg(run.Failure).arg(run.Count + 1);
    return QStringLiteral("Unable to read log file %1 - %2").arg(Shown(native), reason);
}

// Whether the last bytes of a log end in its end byte after whole entries: read from each place
// in their first half where an entry may start, the first reading that gives more than one
// whole entry decides. A place inside an entry reads as the wrong kinds of value within an
// entry or two, while one where an entry starts keeps to the entries; and a reading that keeps
// to the entries never gets past a last entry cut short.
bool EndsWhole(const QByteArray& tail) {
    for (qint64 at = 0; at < tail.size() / 2; ++at) {
        if (!MayStartEntry(tail, at))
            continue;
        const TEntryRun run = ReadEntries(tail, at);
        if (run.Count > 1)
            return run.AtEndByte && run.End == tail.size() - 1;
    }
    return false;
}

// Where an append writes its entry: over the end byte of a whole log, or after the last whole
// entry of one whose last write was cut short. Only the last part of the log is read, unless it
// does not end whole; then the log is read from its start. Raises EQuilvaneError naming the file
// for a damaged log.
qint64 AppendPosition(QFile& file, const QString& native) {
    const qint64 size = file.size();
    if (size == 0)
        return 0;
    const auto readFrom = [&](qint64 at) {
        QByteArray bytes;
        if (file.seek(at))
            bytes = file.read(size - at);
        if (bytes.size() != size - at)
            throw EQuilvaneError(QStringLiteral("Unable to read log file %1 - %2")
                                     .arg(Shown(native), file.error() != QFileDevice::NoError
                                                             ? file.errorString()
                                                             : ErrorText(EStreamError::ReadError())));
        return bytes;
    };
    const qint64 window = std::min(size, TailWindow);
    QByteArray bytes = readFrom(size - window);
    if (window < size) {
        if (bytes.endsWith('\0') && EndsWhole(bytes))
            return size - 1;
        bytes = readFrom(0);
    }
    const TEntryRun run = ReadEntries(bytes, 0);
    switch (TailAfter(bytes, run)) {
    case TLogTail::Whole:
        return size - 1;
    case TLogTail::Cut:
        return run.End;
    case TLogTail::Damaged:
        break;
    }
    throw EQuilvaneError(ReadFailure(native, run));
}

// The entry followed by the end byte, as an append writes it.
QByteArray EntryBytes(const TLogDetails& entry) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    TValueWriter writer(device, LogBufferSize);
    entry.Write(writer);
    writer.WriteListEnd();
    writer.Finish();
    return bytes;
}

} // namespace

TLogList::TLogList(int kind) : LogKind(kind) {
    if (!IsLogKind(kind))
        throw EQuilvaneError(QStringLiteral("There is no log of kind %1").arg(kind));
    StoredName = BuildPath({ProgramParams().LicFilePath, LogKindEntry(kind).FileName.toString()});
}

QString TLogList::NativeFileName() const {
    const QString native = NativePath(StoredName);
    if (native.isEmpty())
        throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready").arg(StoredName));
    return native;
}

const TLogDetails& TLogList::GetItem(int index) const {
    if (index < 0 || index >= Count())
        throw EQuilvaneError(QStringLiteral("Log entry index out of bounds (%1)").arg(index));
    return Entries[index];
}

// ---- Append -------------------------------------------------------------------------------

void TLogList::AppendOnce(const QByteArray& bytes) {
    const QString native = NativeFileName();
    EnsureExists(native);
    const TRecordGuard guard(native, LockWaitMs);
    // Unbuffered, so that a write that fails says so at once and leaves nothing queued that would
    // keep the log from being put back.
    QFile file(native);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw EQuilvaneError(QStringLiteral("Unable to open %1: %2").arg(Shown(native), file.errorString()));
    const qint64 at = AppendPosition(file, native);
    // What a cut write left is cut off first, so that this write, cut short in turn, leaves only
    // the start of its own entry after the whole ones.
    const qint64 size = file.size();
    if ((size <= at + 1 || file.resize(at)) && file.seek(at) && file.write(bytes) == bytes.size() &&
        ::fsync(file.handle()) == 0)
        return;
    const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : LastSystemError();
    // Put the end byte back after the whole entries, so the log reads as it did before.
    if (file.resize(at + 1) && file.seek(at))
        file.write("\0", 1);
    throw EQuilvaneError(QStringLiteral("Unable to write %1: %2").arg(Shown(native), reason));
}

bool TLogList::Append(const TLogDetails& entry) {
    try {
        AppendOnce(EntryBytes(entry));
        return true;
    } catch (const std::exception& error) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           QStringLiteral("Unable to write to log file - ") + ErrorText(error),
                           TMessageButton::OK);
        return false;
    }
}

TLogDetails TLogList::SessionEntry(const TLogSession& session) {
    const auto monthlyPeriod = [&session](double date) {
        if (!(date >= 1 && date <= MaxDateNum) || session.EndMonth < 1 || session.EndMonth > MonthsPerYear)
            return 0;
        int year = 0;
        return PeriodOfDate(MonthsPerYear, session.EndMonth, year, date);
    };
    TLogDetails entry;
    entry.FileCode = session.FileCode;
    entry.EntityName = session.EntityName;
    entry.UserName = session.Comment.isEmpty() ? session.UserName : session.Comment;
    entry.PageKinds = TimeLogPageKinds;
    entry.DateFrom = session.StartTime;
    entry.DateTo = session.EndTime;
    entry.RunDate = NowNum();
    entry.Value1 = monthlyPeriod(session.StartTime);
    entry.Value2 = monthlyPeriod(session.EndTime);
    return entry;
}

bool TLogList::LogSession(const TLogSession& session) {
    try {
        const TLogDetails entry = SessionEntry(session);
        TLogList(lkTime).AppendOnce(EntryBytes(entry));
        return true;
    } catch (const std::exception& error) {
        TServices::Prompt().ShowMessage(TMessageKind::Information,
                                        QStringLiteral("Unable to write to timelog - ") + ErrorText(error),
                                        TMessageButton::OK);
        return false;
    }
}

// ---- Load ---------------------------------------------------------------------------------

void TLogList::ReadFile(const QString& native, QList<TLogDetails>& entries, QList<QByteArray>* stored) {
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(
            QStringLiteral("Unable to read log file %1 - %2").arg(Shown(native), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EQuilvaneError(
            QStringLiteral("Unable to read log file %1 - %2").arg(Shown(native), file.errorString()));
    file.close();
    if (bytes.isEmpty())
        return; // an empty file is a log not yet written
    const TEntryRun run = ReadEntries(bytes, 0, &entries, stored);
    if (TailAfter(bytes, run) == TLogTail::Damaged)
        throw EQuilvaneError(ReadFailure(native, run));
}

void TLogList::Load() {
    Entries.clear();
    FirstIndex = LastIndex = -1;
    HasRange = false;
    Complete = false;
    const QString native = NativeFileName();
    if (!HasContent(native)) {
        Complete = true;
        return;
    }
    const TRecordGuard guard(native, LockWaitMs);
    ReadFile(native, Entries, nullptr);
    Complete = true;
}

// ---- Range --------------------------------------------------------------------------------

void TLogList::FindRange(double from, double to) {
    FirstIndex = LastIndex = -1;
    HasRange = true;
    RangeFrom = from;
    RangeTo = to;
    for (int i = 0; i < Count() && FirstIndex < 0; ++i)
        if (Entries[i].DateFrom >= from)
            FirstIndex = i;
    if (FirstIndex < 0)
        return;
    for (int i = Count() - 1; i >= 0 && LastIndex < 0; --i)
        if (std::trunc(Entries[i].DateFrom) <= std::trunc(to))
            LastIndex = i;
}

bool TLogList::InRange(const TLogDetails& entry) const {
    return HasRange && entry.DateFrom >= RangeFrom && std::trunc(entry.DateFrom) <= std::trunc(RangeTo);
}

void TLogList::DeleteRange() {
    const auto refuse = [](const QString& reason) {
        return EQuilvaneError(QStringLiteral("Unable to rewrite log file - ") + reason);
    };
    if (!Complete)
        throw refuse(QStringLiteral("the log could not be read whole"));
    QList<TLogDetails> entries;
    QList<QByteArray> stored;
    try {
        const QString native = NativeFileName();
        EnsureExists(native);
        // Read again under the lock: entries other workstations appended since Load stay.
        const TRecordGuard guard(native, LockWaitMs);
        ReadFile(native, entries, &stored);
        for (qsizetype i = entries.size() - 1; i >= 0; --i)
            if (InRange(entries[i])) {
                entries.remove(i);
                stored.remove(i);
            }
        TStoredFileWriter writer(native);
        QIODevice& device = writer.Device();
        for (const QByteArray& bytes : stored)
            if (device.write(bytes) != bytes.size())
                throw EStreamError::WriteError();
        if (device.write("\0", 1) != 1)
            throw EStreamError::WriteError();
        writer.Commit();
    } catch (const EQuilvaneError& error) {
        throw refuse(ErrorText(error));
    }
    Entries = entries;
    FirstIndex = LastIndex = -1;
    HasRange = false;
}
