#include "core/files/FileCopy.h"
#include "core/files/FileInfo.h"
#include "core/files/StoredFileWriter.h"

#include "core/common/Exceptions.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray Pattern(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Copying, writing, deleting and looking at files in the test's folder.
class FilesTest : public TServicesFixture {
protected:
    void Write(const QString& name, const QByteArray& bytes, const QDateTime& stamp = QDateTime()) {
        ASSERT_TRUE(WriteFileBytes(TempPath(name), bytes));
        QFile file(TempPath(name));
        ASSERT_TRUE(!stamp.isValid() || (file.open(QIODevice::ReadWrite) &&
                                         file.setFileTime(stamp, QFileDevice::FileModificationTime)));
    }
    QStringList Names() const {
        QStringList names = QDir(Temp.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }
    void Save(const QString& name, const QByteArray& bytes, bool commit = true) {
        TStoredFileWriter writer(TempPath(name));
        ASSERT_EQ(writer.Device().write(bytes), bytes.size());
        if (commit)
            writer.Commit();
    }
};

} // namespace

TEST_F(FilesTest, CopiesInBlocksWithProgressAndAFailedCopyLeavesNothing) {
    const QDateTime stamp(QDate(2005, 7, 1), QTime(9, 30, 0));
    // clang-format off
    const std::tuple<qsizetype, bool, QList<double>> cases[] = {
        {40000, true, {40.96, 81.92, 100.0}}, {32768, true, {50.0, 100.0, 100.0}}, {0, true, {100.0}},
        {16383, false, {}}, {1, true, {100.0}}, {16385, true, {16384 * 100.0 / 16385, 100.0}}};
    // clang-format on
    for (const auto& [size, shown, positions] : cases) {
        Progress->Positions.clear();
        Write("SRC.DAT", Pattern(size), stamp);
        CopyFileWithProgress(TempPath("SRC.DAT"), TempPath("NEW/FOLDER/DST.DAT"), shown);
        EXPECT_EQ(ReadFileBytes(TempPath("NEW/FOLDER/DST.DAT")), Pattern(size)) << size;
        EXPECT_EQ(QFileInfo(TempPath("NEW/FOLDER/DST.DAT")).lastModified(), stamp) << size;
        // (Qt 6.4 cannot compare two empty lists.)
        EXPECT_TRUE(positions.isEmpty() ? Progress->Positions.isEmpty() : Progress->Positions == positions)
            << size;
    }
    EXPECT_EQ(Progress->Created, 5);
    // A file that cannot grow past 20000 bytes stands for a full disk.
    Write("SRC.DAT", Pattern(40000));
    Write("OLD.DAT", "previous contents");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit lowered = old;
    lowered.rlim_cur = 20000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    EXPECT_THROW(CopyFileWithProgress(TempPath("SRC.DAT"), TempPath("DST.DAT"), true), EQuilvaneError);
    EXPECT_THROW(CopyFileWithProgress(TempPath("SRC.DAT"), TempPath("OLD.DAT"), false), EQuilvaneError);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_THROW(CopyFileWithProgress(TempPath("NONE.DAT"), TempPath("DST.DAT"), false), EQuilvaneError);
    EXPECT_THROW(CopyFileWithProgress(TempPath("SRC.DAT"), "Q:\\BACKUPS\\SRC.DAT", false), EQuilvaneError);
    EXPECT_EQ(ReadFileBytes(TempPath("OLD.DAT")), "previous contents");
    EXPECT_EQ(Names(), (QStringList{"OLD.DAT", "SRC.DAT"}));
    EXPECT_EQ(Progress->Open, 0);
}

TEST_F(FilesTest, SizesTimesHiddenMarkAndDeleteByMask) {
    EXPECT_LT(GetFileSize(TempPath("MISSING.DAT")), 0);
    Write("EMPTY.DAT", "");
    EXPECT_EQ(GetFileSize(TempPath("EMPTY.DAT")), 0);
    Write("ABC12306.PA1", QByteArray(250, 'x'));
    Write("ABC12306.PA2", QByteArray(375, 'x'));
    EXPECT_EQ(GetFileSize(TempPath("abc12306.pa2")), 375);
    EXPECT_EQ(GetFileSize(TempPath("ABC12306.PA?")), 250); // the first match by name
    EXPECT_LT(GetFileSize(TempPath("ABC12307.*")), 0);
    const QDateTime stamp(QDate(2006, 6, 30), QTime(17, 45, 10));
    Write("T.DAT", "0123456789", stamp);
    QDateTime created, accessed, written;
    ASSERT_TRUE(GetFileTimes(TempPath("T.DAT"), created, accessed, written));
    EXPECT_EQ(written, stamp);
    EXPECT_TRUE(created.isValid() && accessed.isValid());
    EXPECT_FALSE(GetFileTimes(TempPath("NONE.DAT"), created, accessed, written));
    EXPECT_FALSE(created.isValid() || accessed.isValid() || written.isValid());
    EXPECT_EQ(SetFileHidden(TempPath("T.DAT"), true), 0);
    EXPECT_EQ(QFile(TempPath("T.DAT")).permissions() & (QFileDevice::WriteOwner | QFileDevice::ReadOwner),
              QFileDevice::ReadOwner);
    EXPECT_EQ(SetFileHidden(TempPath("T.DAT"), false), 0);
    EXPECT_TRUE(QFile(TempPath("T.DAT")).permissions() & QFileDevice::WriteOwner);
    EXPECT_GT(SetFileHidden(TempPath("NONE.CFG"), true), 0);
    for (const char* name : {"ABC12306.PA1", "abc12306.re1", ".ABC12306.GJ1", "XYZ99906.PA1"})
        Write(name, "x");
    QFile(TempPath("ABC12306.PA1")).setPermissions(QFileDevice::ReadOwner);
    EXPECT_EQ(DeleteFilesByMask(TempPath("ABC12306.*")), 0);
    EXPECT_EQ(DeleteFilesByMask(TempPath(".ABC*")), 0);
    EXPECT_EQ(DeleteFilesByMask(TempPath("NOTHING.*")), 0);
    EXPECT_EQ(Names(), (QStringList{"EMPTY.DAT", "T.DAT", "XYZ99906.PA1"}));
    if (geteuid() == 0)
        return; // the superuser deletes from a read-only folder
    ASSERT_TRUE(QDir(Temp.path()).mkpath("LOCKED"));
    Write("LOCKED/ABC.PA1", "a");
    QFile(TempPath("LOCKED")).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(DeleteFilesByMask(TempPath("LOCKED/*.PA1")), -1);
    QFile(TempPath("LOCKED"))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(QFileInfo::exists(TempPath("LOCKED/ABC.PA1")));
}

TEST_F(FilesTest, StoredWriterReplacesTheFileAndRefusesSymbolicLinks) {
    Write("ABC123.CFG", "old");
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(TempPath("ABC123.CFG"), permissions));
    Save("ABC123.CFG", "abandoned", false);
    EXPECT_EQ(ReadFileBytes(TempPath("ABC123.CFG")), "old");
    EXPECT_EQ(Names(), QStringList{"ABC123.CFG"});
    Save("ABC123.CFG", "new");
    EXPECT_EQ(ReadFileBytes(TempPath("ABC123.CFG")), "new");
    EXPECT_EQ(QFile::permissions(TempPath("ABC123.CFG")) & ~QFileDevice::Permissions(0x0F00), permissions);
    EXPECT_EQ(Names(), QStringList{"ABC123.CFG"});
    EXPECT_THROW(Save("NO/SUCH/FOLDER.CFG", "x"), EQuilvaneError);
    QTemporaryDir outside;
    const QString victim = outside.filePath("victim");
    ASSERT_TRUE(WriteFileBytes(victim, "outside"));
    ASSERT_TRUE(QFile::link(victim, TempPath("LINK.CFG")));
    ASSERT_TRUE(QFile::link(outside.filePath("absent"), TempPath("DANGLING.CFG")));
    for (const char* name : {"LINK.CFG", "DANGLING.CFG"})
        EXPECT_THROW(Save(name, "planted"), EQuilvaneError) << name;
    {
        TStoredFileWriter writer(TempPath("LATE.CFG")); // a link planted while the file is written
        ASSERT_TRUE(QFile::link(victim, TempPath("LATE.CFG")));
        EXPECT_THROW(writer.Commit(), EQuilvaneError);
    }
    EXPECT_EQ(ReadFileBytes(victim), "outside");
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files | QDir::System), QStringList{"victim"});
    EXPECT_EQ(Names(), (QStringList{"ABC123.CFG", "DANGLING.CFG", "LATE.CFG", "LINK.CFG"}));
}

// Leftovers a minute old; one is held under its lock as a live writer holds it, one is only two
// seconds old (its writer may not have locked it yet), the rest are not of the pattern.
TEST_F(FilesTest, CommitRemovesOnlyLeftoversOfDeadWritersOfTheSameFile) {
    const QString marker = TStoredFileWriter::TempMarker();
    const QString dead = "ABC123.CFG" + marker + "Dead01", live = "ABC123.CFG" + marker + "Live01";
    const QString young = "ABC123.CFG" + marker + "Young1";
    const QStringList kept = {"ABC123.CFG" + marker + "Short",  "ABC123.CFG" + marker + "Dead012",
                              "ABC123.CFG" + marker + "De.d01", "XABC123.CFG" + marker + "Dead01",
                              "abc123.cfg" + marker + "Dead01", "ABC123.CFG.~qwDead01"};
    for (const QString& name : kept + QStringList{dead, live})
        Write(name, "left", QDateTime::currentDateTime().addSecs(-60));
    Write(young, "left", QDateTime::currentDateTime().addSecs(-2));
    const int held = ::open(QFile::encodeName(TempPath(live)).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    Save("ABC123.CFG", "new");
    ::close(held);
    EXPECT_FALSE(QFileInfo::exists(TempPath(dead)));
    for (const QString& name : kept + QStringList{live, young})
        EXPECT_TRUE(QFileInfo::exists(TempPath(name))) << name.toStdString();
    RemoveLeftoverTempFiles(Temp.path()); // without a name: every target's, and nothing else
    QStringList remaining{"ABC123.CFG", kept[0], kept[1], kept[2], kept[5], young};
    remaining.sort();
    EXPECT_EQ(Names(), remaining);
}
