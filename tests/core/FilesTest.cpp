#include "core/files/FileCopy.h"

#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray Pattern(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lets no file of this process grow past a limit while in scope, as a full disk would.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t limit) {
        OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &Old);
        rlimit lowered = Old;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Old);
        std::signal(SIGXFSZ, OldHandler);
    }

private:
    rlimit Old{};
    void (*OldHandler)(int) = nullptr;
};

class FileCopyTest : public TServicesFixture {
protected:
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(TempPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
};

} // namespace

TEST_F(FileCopyTest, CopiesInBlocksWithProgressAndKeepsTheModificationTime) {
    const QByteArray bytes = Pattern(40000);
    Write("SRC.DAT", bytes);
    const QDateTime stamp(QDate(2005, 7, 1), QTime(9, 30, 0));
    {
        QFile file(TempPath("SRC.DAT"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    CopyFileWithProgress(TempPath("SRC.DAT"), TempPath("NEW/FOLDER/DST.DAT"), true);

    EXPECT_EQ(ReadAll(TempPath("NEW/FOLDER/DST.DAT")), bytes);
    EXPECT_EQ(QFileInfo(TempPath("NEW/FOLDER/DST.DAT")).lastModified(), stamp);
    ASSERT_EQ(Progress->Positions.size(), 3);
    EXPECT_NEAR(Progress->Positions[0], 40.96, 1e-9);
    EXPECT_NEAR(Progress->Positions[1], 81.92, 1e-9);
    EXPECT_DOUBLE_EQ(Progress->Positions[2], 100.0);
    EXPECT_EQ(Progress->Log.first(), "setup:File Copy|0|Copying File Please Wait ...");
    EXPECT_EQ(Progress->Open, 0);
}

TEST_F(FileCopyTest, EmptyAndExactBlockSourcesAndNoWindowWhenNotAsked) {
    Write("EMPTY.DAT", {});
    CopyFileWithProgress(TempPath("EMPTY.DAT"), TempPath("EMPTY2.DAT"), true);
    EXPECT_TRUE(QFileInfo::exists(TempPath("EMPTY2.DAT")));
    EXPECT_EQ(QFileInfo(TempPath("EMPTY2.DAT")).size(), 0);
    EXPECT_EQ(Progress->Positions, QList<double>{100.0});

    const QByteArray bytes = Pattern(32768);
    Write("TWO.DAT", bytes);
    Progress->Positions.clear();
    CopyFileWithProgress(TempPath("TWO.DAT"), TempPath("TWO2.DAT"), false);
    EXPECT_EQ(ReadAll(TempPath("TWO2.DAT")), bytes);
    EXPECT_TRUE(Progress->Positions.isEmpty());
    EXPECT_EQ(Progress->Created, 1);
}

TEST_F(FileCopyTest, ShortWriteRaisesAndLeavesNoPartialCopy) {
    Write("SRC.DAT", Pattern(40000));
    Write("OLD.DAT", "previous contents");
    {
        TFileSizeLimit limit(20000);
        EXPECT_THROW(CopyFileWithProgress(TempPath("SRC.DAT"), TempPath("DST.DAT"), true), EQuilvaneError);
        EXPECT_THROW(CopyFileWithProgress(TempPath("SRC.DAT"), TempPath("OLD.DAT"), false), EQuilvaneError);
    }
    EXPECT_FALSE(QFileInfo::exists(TempPath("DST.DAT")));
    EXPECT_EQ(ReadAll(TempPath("OLD.DAT")), "previous contents");
    EXPECT_EQ(QDir(Temp.path()).entryList(QDir::Files, QDir::Name), (QStringList{"OLD.DAT", "SRC.DAT"}));
    EXPECT_EQ(Progress->Open, 0);
}

TEST_F(FileCopyTest, MissingSourceOrUnreadyDriveRaises) {
    EXPECT_THROW(CopyFileWithProgress(TempPath("NONE.DAT"), TempPath("DST.DAT"), false), EQuilvaneError);
    Write("SRC.DAT", "x");
    EXPECT_THROW(CopyFileWithProgress(TempPath("SRC.DAT"), "Q:\\BACKUPS\\SRC.DAT", false), EQuilvaneError);
    EXPECT_FALSE(QFileInfo::exists(TempPath("DST.DAT")));
}

TEST_F(FileCopyTest, DeleteByMaskIncludesHiddenAndProtectedFiles) {
    Write("ABC12306.PA1", "a");
    Write("abc12306.re1", "b");
    Write(".ABC12306.GJ1", "c");
    Write("XYZ99906.PA1", "d");
    QFile(TempPath("ABC12306.PA1")).setPermissions(QFileDevice::ReadOwner);
    EXPECT_EQ(DeleteFilesByMask(TempPath("ABC12306.*")), 0);
    EXPECT_EQ(DeleteFilesByMask(TempPath(".ABC*")), 0);
    EXPECT_EQ(QDir(Temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"XYZ99906.PA1"});
    EXPECT_EQ(DeleteFilesByMask(TempPath("NOTHING.*")), 0);
}

TEST_F(FileCopyTest, DeleteByMaskReportsAFileItCannotDelete) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser can delete from a read-only folder";
    ASSERT_TRUE(QDir(Temp.path()).mkpath("LOCKED"));
    Write("LOCKED/ABC.PA1", "a");
    Write("ABC.PA1", "b");
    QFile(TempPath("LOCKED")).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(DeleteFilesByMask(TempPath("LOCKED/*.PA1")), -1);
    EXPECT_EQ(DeleteFilesByMask(TempPath("*.PA1")), 0);
    QFile(TempPath("LOCKED"))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(QFileInfo::exists(TempPath("LOCKED/ABC.PA1")));
    EXPECT_FALSE(QFileInfo::exists(TempPath("ABC.PA1")));
}
