#include "core/services/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LocalFileSystem, ResolvesNamesThatDifferOnlyInCase) {
    QTemporaryDir temp;
    ASSERT_TRUE(QDir(temp.path()).mkpath(QStringLiteral("M_DETAIL")));
    QFile file(temp.filePath(QStringLiteral("M_DETAIL/abc12306.adf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    TLocalFileSystem fs;
    EXPECT_EQ(fs.ResolveCaseInsensitive(temp.filePath(QStringLiteral("m_detail/ABC12306.ADF"))),
              temp.filePath(QStringLiteral("M_DETAIL/abc12306.adf")));
    const QString missing = temp.filePath(QStringLiteral("M_DETAIL/NOPE.ADF"));
    EXPECT_EQ(fs.ResolveCaseInsensitive(missing), missing);
}

TEST(LocalFileSystem, ProtectRemovesWriteBitsAndUnprotectRestoresThem) {
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("ABC123.CFG"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    TLocalFileSystem fs;
    ASSERT_TRUE(fs.SetProtected(path, true));
    EXPECT_FALSE(QFile(path).permissions() & QFileDevice::WriteOwner);
    ASSERT_TRUE(fs.SetProtected(path, false));
    EXPECT_TRUE(QFile(path).permissions() & QFileDevice::WriteOwner);
    EXPECT_FALSE(fs.SetProtected(temp.filePath(QStringLiteral("missing")), true));
}

TEST(LocalFileSystem, DriveCIsHomeAndOtherLettersNeedAMapping) {
    QTemporaryDir temp;
    TLocalFileSystem fs;
    EXPECT_EQ(fs.DriveRoot(QLatin1Char('c')), QDir::homePath());
    EXPECT_TRUE(fs.DriveRoot(QLatin1Char('X')).isEmpty());
    fs.MapDrive(QLatin1Char('x'), temp.path());
    EXPECT_EQ(fs.DriveRoot(QLatin1Char('X')), temp.path());
    fs.MapDrive(QLatin1Char('X'), temp.filePath(QStringLiteral("absent")));
    EXPECT_TRUE(fs.DriveRoot(QLatin1Char('X')).isEmpty());
}
