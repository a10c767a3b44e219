#include "core/files/FileInfo.h"

#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"
#include "tests/support/ServicesFixture.h"

#include <QFile>

namespace {

class FileInfoTest : public TServicesFixture {
protected:
    void Write(const QString& name, qsizetype size) {
        QFile file(TempPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
    }
};

} // namespace

TEST_F(FileInfoTest, SizeOfMissingEmptyAndWildcardFiles) {
    EXPECT_LT(GetFileSize(TempPath("MISSING.DAT")), 0);
    Write("EMPTY.DAT", 0);
    EXPECT_EQ(GetFileSize(TempPath("EMPTY.DAT")), 0);
    Write("ABC12306.PA1", 250);
    Write("ABC12306.PA2", 375);
    EXPECT_EQ(GetFileSize(TempPath("abc12306.pa1")), 250);
    // The first match by name.
    EXPECT_EQ(GetFileSize(TempPath("ABC12306.PA?")), 250);
    EXPECT_LT(GetFileSize(TempPath("ABC12307.*")), 0);
}

TEST_F(FileInfoTest, TimesOfAFileAndOfAMissingOne) {
    Write("T.DAT", 10);
    QFile file(TempPath("T.DAT"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QDateTime stamp(QDate(2006, 6, 30), QTime(17, 45, 10));
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();

    QDateTime created, accessed, written;
    ASSERT_TRUE(GetFileTimes(TempPath("T.DAT"), created, accessed, written));
    EXPECT_EQ(written, stamp);
    EXPECT_TRUE(created.isValid());
    EXPECT_TRUE(accessed.isValid());

    EXPECT_FALSE(GetFileTimes(TempPath("NONE.DAT"), created, accessed, written));
    EXPECT_FALSE(created.isValid());
    EXPECT_FALSE(accessed.isValid());
    EXPECT_FALSE(written.isValid());
}

TEST_F(FileInfoTest, HiddenRemovesWriteAccessAndShowingRestoresIt) {
    Write("ABC123.CFG", 5);
    const QString path = TempPath("ABC123.CFG");
    EXPECT_EQ(SetFileHidden(path, true), 0);
    EXPECT_FALSE(QFile(path).permissions() & QFileDevice::WriteOwner);
    EXPECT_TRUE(QFile(path).permissions() & QFileDevice::ReadOwner);
    EXPECT_EQ(SetFileHidden(path, false), 0);
    EXPECT_TRUE(QFile(path).permissions() & QFileDevice::WriteOwner);
    EXPECT_GT(SetFileHidden(TempPath("NONE.CFG"), true), 0);
}
