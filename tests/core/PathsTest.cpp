#include "core/files/Paths.h"
#include "core/files/Wildcard.h"

#include "core/common/Exceptions.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>

namespace {

void Touch(const QString& path, const QByteArray& bytes = {}) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

class PathsTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        FileSystem = std::make_shared<TLocalFileSystem>();
        FileSystem->MapDrive(QLatin1Char('X'), Temp.path());
        TServices::SetFileSystem(FileSystem);
    }
    std::shared_ptr<TLocalFileSystem> FileSystem;
};

} // namespace

TEST(BuildPath, InsertsOneBackslashBetweenPartsAndSkipsEmptyOnes) {
    EXPECT_EQ(BuildPath({"C:\\A", "", "B"}), "C:\\A\\B");
    EXPECT_EQ(BuildPath({"", "B"}), "\\B");
    EXPECT_EQ(BuildPath({"C:\\DATA\\", "\\TRANSFER"}), "C:\\DATA\\TRANSFER");
    EXPECT_EQ(BuildPath({"C:\\DATA", "M_DETAIL", "ABC123"}), "C:\\DATA\\M_DETAIL\\ABC123");
    EXPECT_EQ(BuildPath({"C:\\DATA\\", "M_DETAIL"}), "C:\\DATA\\M_DETAIL");
    EXPECT_EQ(BuildPath({"", ""}), "");
    EXPECT_EQ(BuildPath({}), "");
}

TEST(Wildcard, MatchesLikeTheWorkstationsMasks) {
    EXPECT_TRUE(MatchesWildcard("ABC123.CFG", "*.cfg"));
    EXPECT_TRUE(MatchesWildcard("abc123.cfg", "ABC???.CFG"));
    EXPECT_FALSE(MatchesWildcard("ABC12.CFG", "ABC???.CFG"));
    EXPECT_FALSE(MatchesWildcard("ABC123.CFG.BAK", "*.CFG"));
    EXPECT_TRUE(MatchesWildcard("README", "*.*"));
    EXPECT_TRUE(MatchesWildcard("a.b.c", "*.*"));
    EXPECT_TRUE(MatchesWildcard("ABC123", "ABC123.*"));
    EXPECT_FALSE(MatchesWildcard("ABC124", "ABC123.*"));
    EXPECT_TRUE(MatchesWildcard("ABC12306.PA1", "ABC123*.PA?"));
    EXPECT_TRUE(MatchesWildcard("", "*"));
    EXPECT_FALSE(MatchesWildcard("x", ""));
    EXPECT_TRUE(MatchesWildcard("aXbXc", "a*b*c"));
}

TEST_F(PathsTest, NativePathMapsDriveLettersBackslashesAndCase) {
    ASSERT_TRUE(QDir(Temp.path()).mkpath("DATA/M_DETAIL"));
    Touch(TempPath("DATA/M_DETAIL/abc12306.adf"));
    const QString stored = BuildPath({"x:\\data", "M_DETAIL", "ABC12306.ADF"});
    EXPECT_EQ(NativePath(stored), TempPath("DATA/M_DETAIL/abc12306.adf"));
    // A name not on disk keeps its case: it is about to be created.
    EXPECT_EQ(NativePath("X:\\QUILVANE\\TRANSFER"), TempPath("QUILVANE/TRANSFER"));
    EXPECT_EQ(NativePath("X:\\"), Temp.path());
    EXPECT_EQ(NativePath("X:"), Temp.path());
    // Drive Q is mapped nowhere: not ready.
    EXPECT_TRUE(NativePath("Q:\\DATA").isEmpty());
    // Native paths pass through.
    EXPECT_EQ(NativePath(TempPath("data/m_detail")), TempPath("DATA/M_DETAIL"));
    EXPECT_EQ(NativePath("M_DETAIL\\A.ADF"), "M_DETAIL/A.ADF");
}

TEST_F(PathsTest, EntityDataDirFollowsTheTransferOptions) {
    const QString code = "ABC123";
    EXPECT_EQ(GetEntityDataDir(code, "D:\\DATA", "X:\\QUILVANE\\TRANSFER", "C:\\QV", TOptionSet{13}),
              "X:\\RORI\\ABC123");
    EXPECT_EQ(GetEntityDataDir(code, "D:\\DATA", "X:\\QUILVANE\\TRANSFER", "C:\\QV", TOptionSet{2}),
              "C:\\QV\\TRANSFER");
    EXPECT_EQ(GetEntityDataDir(code, "D:\\DATA", "X:\\QUILVANE\\TRANSFER", "C:\\QV", TOptionSet{2, 13}),
              "X:\\RORI\\ABC123");
    EXPECT_EQ(GetEntityDataDir(code, "D:\\DATA", "X:\\QUILVANE\\TRANSFER", "C:\\QV", TOptionSet{}),
              "D:\\DATA");
    // An empty base folder would otherwise point at the root of the disk.
    EXPECT_THROW(GetEntityDataDir(code, "", "X:\\T", "C:\\QV", TOptionSet{}), EQuilvaneError);
    EXPECT_THROW(GetEntityDataDir(code, "D:\\DATA", "X:\\T", "", TOptionSet{2}), EQuilvaneError);
    EXPECT_THROW(GetEntityDataDir(code, "D:\\DATA", "", "C:\\QV", TOptionSet{13}), EQuilvaneError);
}

TEST_F(PathsTest, ListEntityFilesFindsDetailRecordsInAnyCase) {
    ASSERT_TRUE(QDir(Temp.path()).mkpath("DATA/SUB.CFG"));
    Touch(TempPath("DATA/abc123.cfg"));
    Touch(TempPath("DATA/XYZ999.CFG"));
    Touch(TempPath("DATA/.hid001.CFG"));
    Touch(TempPath("DATA/ABC123.CFG.BAK"));
    Touch(TempPath("DATA/ABC12306.ADF"));
    QStringList list{"stale"};
    EXPECT_EQ(ListEntityFiles(list, "x:\\Data"), 3);
    EXPECT_EQ(list, (QStringList{".HID001.CFG", "ABC123.CFG", "XYZ999.CFG"}));
    EXPECT_THROW(ListEntityFiles(list, ""), EQuilvaneError);
}
