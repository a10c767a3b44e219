#include "core/logs/LogList.h"

#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/files/Paths.h"
#include "core/files/RecordGuard.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/logs/LogSession.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    // Only a log that reads whole is added to: a short or damaged one is what an interrupted
    // write leaves, and writing after it would bury the damage.
    QList<TLogDetails> entries;
    QList<QByteArray> stored;
    ReadFile(native, entries, stored);
    QFile file(native);
    if (!file.open(QIODevice::ReadWrite))
        throw EQuilvaneError(file.errorString());
    const qint64 size = file.size();
    const qint64 at = size > 0 ? size - 1 : 0; // over the end byte
    if (file.seek(at) && file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0)
        return;
    const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : LastSystemError();
    // Put the old end back, so the log reads as it did before.
    if (file.resize(size) && size > 0 && file.seek(size - 1))
        file.write("\0", 1);
    throw EQuilvaneError(reason);
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
    } catch (const std::exception&) {
        TServices::Prompt().ShowMessage(TMessageKind::Information,
                                        QStringLiteral("Unable to write to timelog"), TMessageButton::OK);
        return false;
    }
}

// ---- Load ---------------------------------------------------------------------------------

void TLogList::ReadFile(const QString& native, QList<TLogDetails>& entries, QList<QByteArray>& stored) {
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(
            QStringLiteral("Unable to read log file %1 - %2").arg(Shown(native), file.errorString()));
    QByteArray bytes = file.readAll();
    file.close();
    if (bytes.isEmpty())
        return; // an empty file is a log not yet written
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    // One byte at a time, so that the device's position marks where each entry ends.
    TValueReader reader(device, 1);
    const auto failure = [&](const QString& reason) {
        return EQuilvaneError(QStringLiteral("Unable to read log file %1 - %2").arg(Shown(native), reason));
    };
    try {
        while (!reader.EndOfList()) {
            const qint64 start = device.pos() - 1;
            TLogDetails entry;
            entry.Read(reader);
            entries.append(entry);
            stored.append(bytes.mid(start, device.pos() - start));
        }
        reader.ReadListEnd();
    } catch (const EQuilvaneError& error) {
        throw failure(QStringLiteral("%1 (entry %2)").arg(ErrorText(error)).arg(entries.size() + 1));
    }
    if (!reader.AtEnd())
        throw failure(QStringLiteral("bytes follow the end of the log"));
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
    QList<QByteArray> stored;
    ReadFile(native, Entries, stored);
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
        ReadFile(native, entries, stored);
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
