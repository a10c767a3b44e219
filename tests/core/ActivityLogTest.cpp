// Activity logs against hand-written bytes (tests/data/logs/entries.hex, fields in entries.txt).
#include "core/dates/DateNumbers.h"
#include "core/logs/LogList.h"
#include "core/logs/LogSession.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <thread>
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
QByteArray Bytes(const QString& spec) {
    QByteArray bytes;
    for (const QString& word : spec.split(' ', Qt::SkipEmptyParts))
        word.startsWith('-') ? bytes.chop(word.mid(1).toInt())
        : word[0].isDigit()  ? (void)(bytes += QByteArray::fromHex(word.toLatin1()))
                             : (void)(bytes += HexBlock(TestData("logs/entries.hex"), word.toLatin1()));
    return bytes;
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
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
};

TEST_F(TActivityLogTest, AppendLoadAndSession) {
    const char* appends[][3] = {{nullptr, "a", "a 00"},
                                {"", "a", "a 00"},
                                {"00", "d", "d 00"},
                                {"a 00", "b", "a b 00"},
                                {"wide 00", "c", "wide c 00"}};
    for (const auto& [before, appended, after] : appends) {
        SCOPED_TRACE(appended);
        QFile::remove(Log());
        if (before)
            WriteFileBytes(Log(), Bytes(before));
        TLogList list(lkTime);
        EXPECT_TRUE(list.Append(Entry(appended)));
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(ReadFileBytes(Log()).toHex(' '), Bytes(after).toHex(' '));
        list.Load();
        ASSERT_EQ(list.Count(), QString(after).count(' '));
        EXPECT_EQ(Fields(list.GetItem(list.Count() - 1)), Fields(Entry(appended)));
    }
    QFile::remove(Log());
    TLogSession session{
        "ABC123", "Smith Pty Ltd", "Deleted", "", Date("2024-03-15T09:00:00"), Date("2024-03-15T14:45:30")};
    EXPECT_TRUE(TLogList::LogSession(session));
    EXPECT_EQ(ReadFileBytes(Log()).toHex(' '), Bytes("session 00").toHex(' '));
    EXPECT_EQ(SecondsBetween(session.StartTime, session.EndTime), 20730);
    Params->LicFilePath = TempPath("MISSING");
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(TLogList::LogSession(session));
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unable to write to timelog"});
}

// A damaged log gives a clear error, is refused by every writer and keeps its bytes.
TEST_F(TActivityLogTest, DamagedLogIsRefusedAndLeftAsItIs) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"a b", "Stream read error (entry 3)", 2}, // no end byte, yet the last byte is 00
        {"a b 00 -8", "Stream read error (entry 2)", 1},
        {"a 00 00", "bytes follow the end of the log", 1},
        {"04 00 00 00 00 00", "Invalid property value (entry 1)", 0},
        {"0C FF FF FF 7F 41 00", "Stream read error (entry 1)", 0},
        {"a b -64 01", "Invalid property value (entry 2)", 1},
        {"a a_nan 00", "Invalid property value (entry 2)", 1}};
    for (const auto& [spec, reason, readBefore] : cases) {
        SCOPED_TRACE(spec);
        WriteFileBytes(Log(), Bytes(spec));
        TLogList list(lkTime);
        try {
            list.Load();
            ADD_FAILURE() << "loaded";
        } catch (const EQuilvaneError& error) {
            EXPECT_EQ(ErrorText(error), "Unable to read log file " + Log() + " - " + reason);
        }
        EXPECT_EQ(list.Count(), readBefore);
        list.FindRange(0, MaxDateNum);
        EXPECT_THROW(list.DeleteRange(), EQuilvaneError);
        Prompt->Answer(TMessageButton::OK);
        EXPECT_FALSE(list.Append(Entry("c")));
        EXPECT_TRUE(
            Prompt->Texts().last().startsWith("Unable to write to log file - Unable to read log file"));
        EXPECT_EQ(ReadFileBytes(Log()).toHex(' '), Bytes(spec).toHex(' '));
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

// The start of a range is compared fully, its end by whole day; deletion removes exactly the
// entries inside, in any order, and leaves the bytes of the others.
TEST_F(TActivityLogTest, FindAndDeleteRange) {
    const std::tuple<const char*, const char*, const char*, int, int, const char*> cases[] = {
        {"a b c d 00", "2023-07-01", "2024-06-30", 0, 1, "c d 00"},
        {"a b c d 00", "2024-06-29T12:00:00", "2024-06-29", 0, 0, "b c d 00"},
        {"a b c d 00", "2024-07-01T09:00:00", "2024-07-31", 3, 3, "a b c 00"},
        {"a b c d 00", "2024-07-01T08:00:00", "2024-07-01", 2, 2, "a b d 00"},
        {"a b c d 00", "2024-07-03", "2024-12-31", -1, -1, "a b c d 00"},
        {"a b c d 00", "2024-07-01T09:00:00", "2024-07-01T23:00:00", 3, 2, "a b c d 00"},
        {"c a d b 00", "2024-06-29", "2024-06-30", 0, 3, "c d 00"},
        {"wide a 00", "2024-06-01", "2024-06-30", 0, 1, "wide 00"},
        {"00", "2024-06-01", "2024-06-30", -1, -1, "00"}};
    for (const auto& [before, from, to, first, last, after] : cases) {
        SCOPED_TRACE(std::string(before) + " " + from + " " + to);
        WriteFileBytes(Log(), Bytes(before));
        TLogList list(lkTime);
        list.Load();
        list.FindRange(Date(from), Date(to));
        EXPECT_EQ(std::pair(list.FirstIndex, list.LastIndex), std::pair(first, last));
        list.DeleteRange();
        EXPECT_EQ(ReadFileBytes(Log()).toHex(' '), Bytes(after).toHex(' '));
        EXPECT_EQ(list.Count(), QString(after).count(' '));
    }
    // Entries another workstation added since the log was read stay.
    WriteFileBytes(Log(), Bytes("a 00"));
    TLogList list(lkTime);
    list.Load();
    list.FindRange(Date("2024-06-29"), Date("2024-06-29"));
    EXPECT_TRUE(TLogList(lkTime).Append(Entry("c")));
    list.DeleteRange();
    EXPECT_EQ(ReadFileBytes(Log()).toHex(' '), Bytes("c 00").toHex(' '));
}
