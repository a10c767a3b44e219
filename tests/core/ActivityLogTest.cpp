// Activity logs against hand-written value-stream bytes (tests/data/logs/entries.hex).
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/files/Paths.h"
#include "core/logs/LogList.h"
#include "core/logs/LogSession.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <optional>
#include <thread>
#include <vector>

namespace {

double Day(int year, int month, int day, int seconds = 0) {
    return EncodeDateNum(year, month, day) + (seconds ? seconds / 86400.0 : 0.0);
}

TLogDetails TimeEntry(const QString& code, const QString& name, double from, double to) {
    TLogDetails entry;
    entry.FileCode = code;
    entry.EntityName = name;
    entry.UserName = "WORKSTATION1";
    entry.DateFrom = from;
    entry.DateTo = to;
    return entry;
}

// The entries of the hex blocks, typed from their comments.
const QMap<QString, TLogDetails>& Entries() {
    static const QMap<QString, TLogDetails> entries = [] {
        QMap<QString, TLogDetails> map;
        map["a"] = TimeEntry("ABC123", "Smith Pty Ltd", Day(2024, 6, 29, 43200), Day(2024, 6, 29, 45000));
        map["b"] = TimeEntry("ABC123", "Smith Pty Ltd", Day(2024, 6, 30, 86340), Day(2024, 7, 1, 600));
        map["c"] = TimeEntry("XYZ", "Jones", Day(2024, 7, 1, 28800), Day(2024, 7, 1, 32400));
        TLogDetails d{"XYZ",
                      "Jones",
                      "ASCII Text  ( CSV )",
                      "C:\\EXPORT\\XYZ.CSV",
                      1,
                      "WORKSTATION2",
                      "All",
                      true,
                      (1u << 0) | (1u << 3) | (1u << 14),
                      Day(2024, 7, 2, 43200),
                      Day(2024, 7, 31),
                      Day(2024, 7, 2),
                      true,
                      false,
                      300,
                      -70000};
        map["d"] = d;
        TLogDetails wide;
        wide.FileCode = "QRS";
        wide.DateFrom = Day(2024, 7, 9);
        map["wide"] = wide;
        return map;
    }();
    return entries;
}

QString Fields(const TLogDetails& e) {
    return QStringList{e.FileCode,
                       e.EntityName,
                       e.FormatName,
                       e.FileSpec,
                       QString::number(e.ProcessKind),
                       e.UserName,
                       e.AccountSelection,
                       QString::number(e.Option1),
                       QString::number(e.PageKinds),
                       QString::number(e.DateFrom, 'g', 17),
                       QString::number(e.DateTo, 'g', 17),
                       QString::number(e.RunDate, 'g', 17),
                       QString::number(e.FirstFlag),
                       QString::number(e.SecondFlag),
                       QString::number(e.Value1),
                       QString::number(e.Value2)}
        .join('|');
}

// A log's bytes from words: a block name of entries.hex, a hex byte, or "-N" (drop the last N).
QByteArray Bytes(const QString& spec) {
    static const QByteArray hex = TestData("logs/entries.hex");
    QByteArray bytes;
    for (const QString& word : spec.split(' ', Qt::SkipEmptyParts)) {
        if (word.startsWith('-'))
            bytes.chop(word.mid(1).toInt());
        else if (word.size() == 2 && !Entries().contains(word) && word != "session")
            bytes += QByteArray::fromHex(word.toLatin1());
        else
            bytes += HexBlock(hex, word.toLatin1());
    }
    return bytes;
}

} // namespace

class TActivityLogTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        DataDir = TempPath("DATA");
        ASSERT_TRUE(QDir().mkpath(DataDir));
        Params->LicFilePath = DataDir;
        Params->UserName = "WORKSTATION1";
        SetProgramParams(Params);
    }
    QString LogPath(const char* name = "QUILVANE.LOG") const { return DataDir + "/" + name; }
    void WriteLog(const QString& spec) { ASSERT_TRUE(WriteFileBytes(LogPath(), Bytes(spec))); }

    QString DataDir;
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
};

TEST_F(TActivityLogTest, EveryKindHasItsFileInTheDataFolder) {
    EXPECT_EQ(QDir::cleanPath(NativePath(TLogList(5).FileName())), LogPath("XFERTO.LOG"));
    EXPECT_THROW(TLogList(7), EQuilvaneError);
    EXPECT_THROW(TLogList(-1), EQuilvaneError);
}

TEST_F(TActivityLogTest, HeldBlocksAreReadAsTheirEntries) {
    for (const QString& name : Entries().keys()) {
        SCOPED_TRACE(name.toStdString());
        WriteLog(name + " 00");
        TLogList list(lkTime);
        list.Load();
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(Fields(list.GetItem(0)), Fields(Entries()[name]));
    }
}

// ---- Append -------------------------------------------------------------------------------

TEST_F(TActivityLogTest, AppendReplacesTheEndByte) {
    struct TCase {
        const char* Name;
        std::optional<QString> Before; // nullopt: no file
        const char* Appended;
        const char* After;
    };
    const TCase cases[] = {
        {"missing file", std::nullopt, "a", "a 00"},
        {"empty file counts as missing", "", "a", "a 00"},
        {"file of the end byte alone", "00", "d", "d 00"},
        {"second append keeps one end byte", "a 00", "b", "a b 00"},
        {"third append", "a b 00", "d", "a b d 00"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QFile::remove(LogPath("EXPORT.LOG"));
        if (c.Before) {
            ASSERT_TRUE(WriteFileBytes(LogPath("EXPORT.LOG"), Bytes(*c.Before)));
        }
        TLogList list(lkExport);
        EXPECT_TRUE(list.Append(Entries()[c.Appended]));
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(ReadFileBytes(LogPath("EXPORT.LOG")).toHex(' '), Bytes(c.After).toHex(' '));
    }
}

// A damaged log gives a clear error, is refused by every writer and keeps its bytes.
TEST_F(TActivityLogTest, DamagedLogIsRefusedAndLeftAsItIs) {
    struct TCase {
        const char* Name;
        const char* Spec;
        const char* Reason;
        int ReadBefore;
    };
    const TCase cases[] = {
        {"no end byte (last byte still 00)", "a b", "Stream read error (entry 3)", 2},
        {"cut inside an entry", "a b 00 -8", "Stream read error (entry 2)", 1},
        {"bytes after the end", "a 00 00", "bytes follow the end of the log", 1},
        {"no entry where the file starts", "04 00 00 00 00 00", "Invalid property value (entry 1)", 0},
        {"string longer than the file", "0C FF FF FF 7F 41 00", "Stream read error (entry 1)", 0},
        {"list where a flag is", "a b -64 01", "Invalid property value (entry 2)", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteLog(c.Spec);
        const QByteArray before = ReadFileBytes(LogPath());
        TLogList list(lkTime);
        try {
            list.Load();
            ADD_FAILURE() << "loaded";
        } catch (const EQuilvaneError& error) {
            EXPECT_TRUE(ErrorText(error).startsWith("Unable to read log file "))
                << ErrorText(error).toStdString();
            EXPECT_TRUE(ErrorText(error).endsWith(c.Reason)) << ErrorText(error).toStdString();
        }
        EXPECT_EQ(list.Count(), c.ReadBefore);
        list.FindRange(0, MaxDateNum);
        EXPECT_THROW(list.DeleteRange(), EQuilvaneError);
        Prompt->Answer(TMessageButton::OK);
        EXPECT_FALSE(list.Append(Entries()["c"]));
        EXPECT_TRUE(
            Prompt->Texts().last().startsWith("Unable to write to log file - Unable to read log file"));
        EXPECT_EQ(ReadFileBytes(LogPath()), before);
    }
}

TEST_F(TActivityLogTest, NonFiniteDateIsRefused) {
    QByteArray bytes = Bytes("a 00");
    bytes.replace(Hex("05 00 00 00 00 00 A8 6F B4 12 40"), Hex("05 00 00 00 00 00 00 00 C0 FF 7F"));
    ASSERT_TRUE(WriteFileBytes(LogPath(), bytes));
    TLogList list(lkTime);
    EXPECT_THROW(list.Load(), EQuilvaneError);
}

// Appenders on several threads take turns: every entry arrives whole.
TEST_F(TActivityLogTest, RacingAppendersTakeTurns) {
    constexpr int Threads = 4;
    constexpr int PerThread = 8;
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([] {
            TLogList list(lkBackup);
            for (int i = 0; i < PerThread; ++i)
                EXPECT_TRUE(list.Append(Entries()["d"]));
        });
    for (std::thread& thread : threads)
        thread.join();
    TLogList list(lkBackup);
    list.Load();
    EXPECT_EQ(list.Count(), Threads * PerThread);
}

// ---- Time log -----------------------------------------------------------------------------

TEST_F(TActivityLogTest, SessionEntryCarriesTheCommentAndTimes) {
    TLogSession session;
    session.FileCode = "ABC123";
    session.EntityName = "Smith Pty Ltd";
    session.Comment = "Deleted";
    session.StartTime = Day(2024, 3, 15, 32400);
    session.EndTime = Day(2024, 3, 15, 53130);
    EXPECT_TRUE(TLogList::LogSession(session));
    EXPECT_EQ(ReadFileBytes(LogPath()).toHex(' '), Bytes("session 00").toHex(' '));
    TLogList list(lkTime);
    list.Load();
    EXPECT_EQ(SecondsBetween(list.GetItem(0).DateFrom, list.GetItem(0).DateTo), 5 * 3600 + 45 * 60 + 30);

    session.UserName = "alice";
    EXPECT_TRUE(TLogList::LogSession(session));
    list.Load();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetItem(1).UserName, "alice");
}

TEST_F(TActivityLogTest, SessionThatCannotBeWrittenSaysSo) {
    Params->LicFilePath = TempPath("MISSING");
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(TLogList::LogSession(TLogSession{"ABC123", "Smith", "", "", 1, 2}));
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unable to write to timelog"});
}

// ---- Range and deletion -------------------------------------------------------------------

TEST_F(TActivityLogTest, FindRangeComparesTheStartFullyAndTheEndByDay) {
    struct TCase {
        const char* Name;
        double From, To;
        int First, Last;
    };
    const TCase cases[] = {
        {"year to 30 June takes 30 June 23:59", Day(2023, 7, 1), Day(2024, 6, 30), 0, 1},
        {"start at 29 June 12:00 exactly", Day(2024, 6, 29, 43200), Day(2024, 6, 29), 0, 0},
        {"1 July 09:00 leaves out 08:00", Day(2024, 7, 1, 32400), Day(2024, 7, 31), 3, 3},
        {"1 July 08:00 takes 08:00", Day(2024, 7, 1, 28800), Day(2024, 7, 31), 2, 3},
        {"start after the last entry", Day(2024, 7, 3), Day(2024, 12, 31), -1, -1},
        {"between two entries", Day(2024, 7, 1, 32400), Day(2024, 7, 1, 86000), 3, 2},
    };
    WriteLog("a b c d 00");
    TLogList list(lkTime);
    list.Load();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        list.FindRange(c.From, c.To);
        EXPECT_EQ(list.FirstIndex, c.First);
        EXPECT_EQ(list.LastIndex, c.Last);
    }
    TLogList empty(lkRestore);
    empty.Load();
    empty.FindRange(0, MaxDateNum);
    EXPECT_EQ(empty.FirstIndex, -1);
    EXPECT_EQ(empty.LastIndex, -1);
}

TEST_F(TActivityLogTest, DeleteRangeRemovesExactlyTheEntriesInRange) {
    struct TCase {
        const char* Name;
        const char* Before;
        double From, To;
        const char* After;
    };
    const TCase cases[] = {
        {"financial year", "a b c d 00", Day(2023, 7, 1), Day(2024, 6, 30), "c d 00"},
        {"empty range rewrites the same bytes", "a b c d 00", Day(2024, 8, 1), Day(2024, 8, 31),
         "a b c d 00"},
        {"sessions out of order", "c a d b 00", Day(2024, 6, 29), Day(2024, 6, 30), "c d 00"},
        {"entries kept keep their bytes", "wide a 00", Day(2024, 6, 1), Day(2024, 6, 30), "wide 00"},
        {"everything", "a b 00", 0, MaxDateNum, "00"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteLog(c.Before);
        TLogList list(lkTime);
        list.Load();
        list.FindRange(c.From, c.To);
        list.DeleteRange();
        EXPECT_EQ(ReadFileBytes(LogPath()).toHex(' '), Bytes(c.After).toHex(' '));
        TLogList reread(lkTime);
        reread.Load();
        ASSERT_EQ(list.Count(), reread.Count());
        for (int i = 0; i < list.Count(); ++i)
            EXPECT_EQ(Fields(list.GetItem(i)), Fields(reread.GetItem(i)));
    }
}

TEST_F(TActivityLogTest, DeleteRangeKeepsEntriesAppendedSinceLoad) {
    WriteLog("a b 00");
    TLogList list(lkTime);
    list.Load();
    list.FindRange(Day(2024, 6, 29), Day(2024, 6, 29));
    EXPECT_TRUE(TLogList(lkTime).Append(Entries()["c"]));
    list.DeleteRange();
    EXPECT_EQ(ReadFileBytes(LogPath()).toHex(' '), Bytes("b c 00").toHex(' '));
    EXPECT_EQ(list.Count(), 2);
}
