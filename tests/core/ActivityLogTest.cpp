// Activity logs against hand-written bytes: tests/data/logs/entries.hex, their fields in entries.txt,
// the cases in cases.txt.
#include "core/dates/DateNumbers.h"
#include "core/logs/LogList.h"
#include "core/logs/LogSession.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ServicesFixture.h"

#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// An ISO date, with or without its time, as a date number; "0" is 0.
double Date(const QString& text) {
    const QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    const int s = t.time().msecsSinceStartOfDay() / 1000;
    return text == "0"
               ? 0
               : EncodeDateNum(t.date().year(), t.date().month(), t.date().day()) + (s ? s / 86400.0 : 0.0);
}

TLogDetails Entry(const char* name) {
    for (const QByteArray& line : TestData("logs/entries.txt").split('\n')) {
        const QStringList f = QString::fromLatin1(line).split('|');
        if (f[0] != name)
            continue;
        TLogDetails e{f[1], f[2], f[3], f[4], f[5].toInt(), f[6], f[7], f[8] == "1", f[9].toUShort()};
        std::tie(e.DateFrom, e.DateTo, e.RunDate) = std::tuple(Date(f[10]), Date(f[11]), Date(f[12]));
        std::tie(e.FirstFlag, e.SecondFlag, e.Value1, e.Value2) =
            std::tuple(f[13] == "1", f[14] == "1", f[15].toInt(), f[16].toInt());
        return e;
    }
    throw std::logic_error(name);
}

QString Fields(const TLogDetails& e) {
    QStringList f{e.FileCode, e.EntityName, e.FormatName, e.FileSpec, e.UserName, e.AccountSelection};
    for (const double n :
         {double(e.ProcessKind), double(e.Option1), double(e.PageKinds), e.DateFrom, e.DateTo, e.RunDate,
          double(e.FirstFlag), double(e.SecondFlag), double(e.Value1), double(e.Value2)})
        f << QString::number(n, 'g', 17);
    return f.join('|');
}

// Blocks of entries.hex and hex bytes, by words; "-N" drops the last N bytes.
QByteArray Bytes(const QString& recipe) {
    QByteArray bytes;
    for (const QString& word : recipe.split(' ', Qt::SkipEmptyParts))
        word.startsWith('-') ? bytes.chop(word.mid(1).toInt())
        : word[0].isDigit()  ? (void)(bytes += QByteArray::fromHex(word.toLatin1()))
                             : (void)(bytes += HexBlock(TestData("logs/entries.hex"), word.toLatin1()));
    return bytes;
}

// The lines of cases.txt of one kind, without the kind.
QList<QStringList> Cases(const char* kind) {
    QList<QStringList> cases;
    for (const QByteArray& line : TestData("logs/cases.txt").split('\n'))
        if (line.startsWith(kind + QByteArray("|")))
            cases.append(QString::fromLatin1(line).split('|').mid(1));
    EXPECT_GT(cases.size(), 4) << kind;
    return cases;
}

} // namespace

class TActivityLogTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Params->LicFilePath = Temp.path();
        Params->UserName = "WORKSTATION1";
        SetProgramParams(Params);
    }
    QString Log() const { return TempPath("QUILVANE.LOG"); }
    QString OnDisk() const { return ReadFileBytes(Log()).toHex(' '); }
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
};

TEST_F(TActivityLogTest, AppendLoadAndSession) {
    for (const QStringList& c : Cases("append")) {
        SCOPED_TRACE(c.join('|').toStdString());
        QFile::remove(Log());
        if (c[0] != "none")
            WriteFileBytes(Log(), Bytes(c[0]));
        TLogList list(lkTime);
        EXPECT_TRUE(list.Append(Entry(c[1].toLatin1())));
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(OnDisk(), Bytes(c[2]).toHex(' '));
        list.Load();
        ASSERT_EQ(list.Count(), c[2].count(' '));
        EXPECT_EQ(Fields(list.GetItem(list.Count() - 1)), Fields(Entry(c[1].toLatin1())));
    }
    // A session is logged as the time-log report's run made at the moment of logging, for the
    // visit's range, with the session's text in the user-name field.
    QFile::remove(Log());
    TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2024, 3, 15), QTime(14, 45, 30))));
    TLogSession session{
        "ABC123", "Smith Pty Ltd", "Deleted", "", Date("2024-03-15T09:00:00"), Date("2024-03-15T14:45:30")};
    EXPECT_TRUE(TLogList::LogSession(session));
    EXPECT_EQ(OnDisk(), Bytes("session 00").toHex(' '));
    TLogList written(lkTime);
    written.Load();
    ASSERT_EQ(written.Count(), 1);
    EXPECT_EQ(Fields(written.GetItem(0)), Fields(Entry("session")));
    Params->LicFilePath = TempPath("MISSING");
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(TLogList::LogSession(session));
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unable to write to timelog - Unable to open " +
                                           TempPath("MISSING/QUILVANE.LOG") + ": No such file or directory"});
}

// A damaged log gives a clear error, is refused by every writer and keeps its bytes.
TEST_F(TActivityLogTest, DamagedLogIsRefusedAndLeftAsItIs) {
    for (const QStringList& c : Cases("damaged")) {
        SCOPED_TRACE(c.join('|').toStdString());
        WriteFileBytes(Log(), Bytes(c[0]));
        TLogList list(lkTime);
        try {
            list.Load();
            ADD_FAILURE() << "loaded";
        } catch (const EQuilvaneError& error) {
            EXPECT_EQ(ErrorText(error), "Unable to read log file " + Log() + " - " + c[1]);
        }
        EXPECT_EQ(list.Count(), c[2].toInt());
        list.FindRange(0, MaxDateNum);
        EXPECT_THROW(list.DeleteRange(), EQuilvaneError);
        Prompt->Answer(TMessageButton::OK);
        EXPECT_FALSE(list.Append(Entry("c")));
        EXPECT_TRUE(
            Prompt->Texts().last().startsWith("Unable to write to log file - Unable to read log file"));
        EXPECT_EQ(OnDisk(), Bytes(c[0]).toHex(' '));
    }
}

// A log whose last write was cut short holds its whole entries: it reads as them, and the next
// append or rewrite drops the rest.
TEST_F(TActivityLogTest, CutLogKeepsItsWholeEntries) {
    for (const QStringList& c : Cases("cut")) {
        SCOPED_TRACE(c.join('|').toStdString());
        const QByteArray whole = Bytes(c[1]);
        WriteFileBytes(Log(), Bytes(c[0]));
        TLogList list(lkTime);
        list.Load();
        EXPECT_EQ(list.Count(), c[1].count(' ') + (c[1].isEmpty() ? 0 : 1));
        EXPECT_TRUE(list.Append(Entry("c")));
        EXPECT_EQ(OnDisk(), (whole + Bytes("c 00")).toHex(' '));
        list.Load();
        ASSERT_EQ(list.Count(), c[1].count(' ') + (c[1].isEmpty() ? 1 : 2));
        EXPECT_EQ(Fields(list.GetItem(list.Count() - 1)), Fields(Entry("c")));

        WriteFileBytes(Log(), Bytes(c[0]));
        list.Load();
        list.FindRange(Date("2024-06-30"), MaxDateNum);
        list.DeleteRange();
        EXPECT_EQ(OnDisk(), (c[1].startsWith('a') ? Bytes("a 00") : Bytes("00")).toHex(' '));
    }
}

// An append after a write cut at each byte of the last entry, in a short log (read from its start)
// and in one longer than the part of it an append reads.
TEST_F(TActivityLogTest, AppendAfterAnEntryCutAtAnyByte) {
    const QByteArray cutEntry = Bytes("d");
    for (const int before : {1, 450}) {
        QByteArray whole;
        for (int i = 0; i < before; ++i)
            whole += Bytes(i % 2 ? "c" : "a");
        for (qsizetype cut = 1; cut <= cutEntry.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << before << " entries, then " << cut << " bytes");
            WriteFileBytes(Log(), whole + cutEntry.first(cut));
            EXPECT_TRUE(TLogList(lkTime).Append(Entry("b")));
            const bool kept = cut == cutEntry.size(); // whole, only its end byte missing
            EXPECT_TRUE(ReadFileBytes(Log()) == whole + (kept ? cutEntry : QByteArray()) + Bytes("b 00"));
            TLogList list(lkTime);
            list.Load();
            ASSERT_EQ(list.Count(), before + (kept ? 2 : 1));
            EXPECT_EQ(Fields(list.GetItem(0)), Fields(Entry("a")));
            EXPECT_EQ(Fields(list.GetItem(list.Count() - 1)), Fields(Entry("b")));
        }
    }
}

// An append reads only the end of a long log: damage far before it is left to the readers of
// the log, which still report it.
TEST_F(TActivityLogTest, AppendReadsOnlyTheEndOfALongLog) {
    QByteArray log = Bytes("a b -64 01");
    for (int i = 0; i < 450; ++i)
        log += Bytes(i % 2 ? "c" : "a");
    log += '\0';
    WriteFileBytes(Log(), log);
    EXPECT_TRUE(TLogList(lkTime).Append(Entry("d")));
    EXPECT_TRUE(ReadFileBytes(Log()) == log.chopped(1) + Bytes("d 00"));
    TLogList list(lkTime);
    EXPECT_THROW(list.Load(), EQuilvaneError);
    EXPECT_EQ(list.Count(), 1);
}

namespace {

// Holds the size to which this process may write files, as a full disk or a quota does; the
// signal the system sends past it is ignored while it is held.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t size) {
        getrlimit(RLIMIT_FSIZE, &Saved);
        OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = Saved;
        limit.rlim_cur = size;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, OldHandler);
    }

private:
    rlimit Saved{};
    void (*OldHandler)(int) = nullptr;
};

} // namespace

// A write that really fails shows the file and the reason, and leaves the whole entries with an
// end byte after them.
TEST_F(TActivityLogTest, WriteFailureNamesTheFileAndTheReason) {
    struct TCase {
        const char* Name;
        const char* Before;                               // the log's bytes; null: none written
        std::function<void(const QString& folder)> Setup; // the data folder
        std::optional<rlim_t> SizeLimit;
        const char* Reason; // "%1" is the data folder
        const char* After;
    };
    const rlim_t entrySize = static_cast<rlim_t>(Bytes("a").size());
    const char* const tooLarge = "Unable to write %1/QUILVANE.LOG: File too large";
    QList<TCase> cases = {
        {"a folder in its place", nullptr, [](const QString& folder) { QDir(folder).mkdir("QUILVANE.LOG"); },
         std::nullopt, "Unable to open %1/QUILVANE.LOG: Is a directory", nullptr},
        {"no data folder", nullptr,
         [this](const QString& folder) { Params->LicFilePath = folder + "/MISSING"; }, std::nullopt,
         "Unable to open %1/MISSING/QUILVANE.LOG: No such file or directory", nullptr},
        {"full past the end byte", "a 00", nullptr, entrySize + 3, tooLarge, "a 00"},
        {"full at the end byte", "a 00", nullptr, entrySize, tooLarge, "a 00"},
        {"full, after a cut write", "a b 00 -8", nullptr, entrySize + 3, tooLarge, "a 00"},
    };
    if (geteuid() != 0) // the superuser writes to read-only files
        cases.append(
            {"a read-only file", "a 00",
             [](const QString& folder) { QFile::setPermissions(folder + "/QUILVANE.LOG", QFile::ReadOwner); },
             std::nullopt, "Unable to open %1/QUILVANE.LOG: Permission denied", "a 00"});
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const TCase& c = cases[i];
        SCOPED_TRACE(c.Name);
        const QString folder = TempPath(QString::number(i));
        const QString log = folder + "/QUILVANE.LOG";
        ASSERT_TRUE(QDir().mkpath(folder));
        Params->LicFilePath = folder;
        if (c.Before)
            WriteFileBytes(log, Bytes(c.Before));
        if (c.Setup)
            c.Setup(folder);
        const QString reason = QString(c.Reason).arg(folder);
        Prompt->Answer(TMessageButton::OK);
        Prompt->Answer(TMessageButton::OK);
        {
            std::optional<TFileSizeLimit> limit;
            if (c.SizeLimit)
                limit.emplace(*c.SizeLimit);
            EXPECT_FALSE(TLogList(lkTime).Append(Entry("c")));
            EXPECT_FALSE(
                TLogList::LogSession({"ABC123", "Acme", "", "", Date("2024-07-01"), Date("2024-07-01")}));
        }
        EXPECT_EQ(Prompt->Texts().mid(Prompt->Texts().size() - 2),
                  QStringList(
                      {"Unable to write to log file - " + reason, "Unable to write to timelog - " + reason}));
        if (c.After) {
            EXPECT_EQ(ReadFileBytes(log).toHex(' '), Bytes(c.After).toHex(' '));
        }
    }
}

TEST_F(TActivityLogTest, RacingAppendersTakeTurns) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 8; ++i)
                EXPECT_TRUE(TLogList(lkTime).Append(Entry("d")));
        });
    for (std::thread& thread : threads)
        thread.join();
    TLogList list(lkTime);
    list.Load();
    EXPECT_EQ(list.Count(), 32);
}

TEST_F(TActivityLogTest, FindAndDeleteRange) {
    for (const QStringList& c : Cases("range")) {
        SCOPED_TRACE(c.join('|').toStdString());
        WriteFileBytes(Log(), Bytes(c[0]));
        TLogList list(lkTime);
        list.Load();
        list.FindRange(Date(c[1]), Date(c[2]));
        EXPECT_EQ(std::pair(list.FirstIndex, list.LastIndex), std::pair(c[3].toInt(), c[4].toInt()));
        list.DeleteRange();
        EXPECT_EQ(OnDisk(), Bytes(c[5]).toHex(' '));
        EXPECT_EQ(list.Count(), c[5].count(' '));
    }
    // Entries another workstation added since the log was read stay.
    WriteFileBytes(Log(), Bytes("a 00"));
    TLogList list(lkTime);
    list.Load();
    list.FindRange(Date("2024-06-29"), Date("2024-06-29"));
    EXPECT_TRUE(TLogList(lkTime).Append(Entry("c")));
    list.DeleteRange();
    EXPECT_EQ(OnDisk(), Bytes("c 00").toHex(' '));
}

// The session's text goes to the user-name field; its periods follow the file's year end, and a
// date that names no day has none.
TEST_F(TActivityLogTest, SessionEntriesFollowTheFilesYearEnd) {
    TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2024, 7, 1), QTime(8, 0))));
    const double start = Date("2024-06-30T23:59:00"), end = Date("2024-07-01T00:10:00");
    // Comment, user name, year-end month, start, user-name field, periods.
    const std::tuple<const char*, const char*, int, double, const char*, int, int> cases[] = {
        {"", "", 6, start, "", 12, 1},
        {"Upgraded from DOS", "", 6, start, "Upgraded from DOS", 12, 1},
        {"", "someone", 12, start, "someone", 6, 7},
        {"Deleted", "someone", 3, start, "Deleted", 3, 4},
        {"", "", 1, start, "", 5, 6},
        {"", "", 6, 0, "", 0, 1},
        {"", "", 0, start, "", 0, 0},
        {"", "", 13, start, "", 0, 0}};
    for (const auto& [comment, user, endMonth, from, field, first, second] : cases) {
        SCOPED_TRACE(testing::Message() << comment << "/" << user << "/" << endMonth << "/" << from);
        const TLogDetails entry =
            TLogList::SessionEntry({"ABC123", "Acme", comment, user, from, end, endMonth});
        EXPECT_EQ(std::tuple(entry.UserName, entry.FormatName, entry.FileSpec, entry.AccountSelection),
                  std::tuple(QString(field), QString(), QString(), QString()));
        EXPECT_EQ(std::tuple(entry.Value1, entry.Value2, int(entry.PageKinds), entry.ProcessKind),
                  std::tuple(first, second, 0xFF, 0));
        EXPECT_EQ(std::tuple(entry.DateFrom, entry.DateTo, entry.RunDate),
                  std::tuple(from, end, Date("2024-07-01T08:00:00")));
    }
}
