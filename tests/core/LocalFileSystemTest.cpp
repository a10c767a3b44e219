#include "core/services/LocalFileSystem.h"

#include "core/files/StoredFileWriter.h"

#include "tests/core/CountingFileSystem.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

// Names looked for in a temporary folder "data" holding "pa4" and the folder "sub" holding "x.dat".
class LocalFileSystemTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath("data/sub"));
        ASSERT_TRUE(WriteFileBytes(Data("pa4"), "4") && WriteFileBytes(Data("sub/x.dat"), "x"));
    }
    QString Data(const QString& name = {}) const {
        return name.isEmpty() ? TempPath("data") : TempPath("data/" + name);
    }
    QString Resolve(const QString& name) const { return Files.ResolveCaseInsensitive(Data(name)); }

    TCountingFileSystem Files;
};

// Outside a scope each name not there as given lists its folder; within one, a folder is listed
// once whatever is looked for in it, and what is there is still found without regard to case.
TEST_F(LocalFileSystemTest, AScopeListsEachFolderOnce) {
    const QStringList names{"PA4", "PA5", "PA6", "SUB/X.DAT", "Sub/y.dat"};
    const QStringList found{Data("pa4"), Data("PA5"), Data("PA6"), Data("sub/x.dat"), Data("Sub/y.dat")};
    for (const bool scoped : {false, true}) {
        SCOPED_TRACE(scoped);
        TCountingFileSystem files;
        std::optional<TLocalFileSystem::TListingScope> scope;
        if (scoped)
            scope.emplace();
        for (qsizetype i = 0; i < names.size(); ++i)
            EXPECT_EQ(files.ResolveCaseInsensitive(Data(names[i])), found[i]);
        EXPECT_EQ(files.Listings(Data()), scoped ? 1 : 5);
        EXPECT_EQ(files.Listings(Data("sub")), scoped ? 1 : 2);
    }
}

// The listings last as long as the outermost scope; a nested one ending keeps them, and
// ForgetListings drops them.
TEST_F(LocalFileSystemTest, ListingsLastAsLongAsTheOutermostScope) {
    {
        const TLocalFileSystem::TListingScope outer;
        {
            const TLocalFileSystem::TListingScope inner;
            Resolve("PA5");
        }
        Resolve("PA6");
        EXPECT_EQ(Files.Listings(Data()), 1);
        TLocalFileSystem::ForgetListings();
        Resolve("PA6");
        EXPECT_EQ(Files.Listings(Data()), 2);
    }
    // A file added after the scope ended is found by the next search.
    ASSERT_TRUE(WriteFileBytes(Data("pa5"), "5"));
    EXPECT_EQ(Resolve("PA5"), Data("pa5"));
    EXPECT_EQ(Files.Listings(Data()), 3);
}

// Within a scope a name added to the folder after its listing is not seen, but a name listed that
// has gone since has the folder listed again, so the file is found under its new name.
TEST_F(LocalFileSystemTest, ANameGoneSinceTheListingListsTheFolderAgain) {
    const TLocalFileSystem::TListingScope scope;
    EXPECT_EQ(Resolve("PA4"), Data("pa4"));
    ASSERT_TRUE(WriteFileBytes(Data("pa5"), "5"));
    EXPECT_EQ(Resolve("PA5"), Data("PA5"));
    ASSERT_TRUE(QFile::rename(Data("pa4"), Data("Pa4")));
    EXPECT_EQ(Resolve("PA4"), Data("Pa4"));
    EXPECT_EQ(Files.Listings(Data()), 2);
    EXPECT_EQ(Resolve("PA5"), Data("pa5")); // the second listing holds it
}

} // namespace

namespace {

using TKind = IFileSystem::TEntry::TKind;

// Within a scope a folder once listed answers for the names it lacks without a further look at
// the disk, both in finding them and in examining them; a name it holds costs one look to find
// (it may have gone since) and one to examine.
TEST_F(LocalFileSystemTest, AListedFolderAnswersForTheNamesItLacks) {
    const TLocalFileSystem::TListingScope scope;
    EXPECT_EQ(Resolve("PA5"), Data("PA5"));
    Files.ResetCounts();
    for (const char* name : {"PA5", "PA6", "pa7", "PA8.TMP", "nothing/x.dat"}) {
        EXPECT_EQ(Resolve(name), Data(name));
        EXPECT_EQ(Files.Examine(Data(name)).Kind, TKind::Missing) << name;
    }
    EXPECT_EQ(Files.Looks(), 0);
    EXPECT_EQ(Files.MostListingsOfAFolder(), 0);
    EXPECT_EQ(Resolve("PA4"), Data("pa4"));
    const IFileSystem::TEntry entry = Files.Examine(Data("pa4"));
    EXPECT_EQ(entry.Kind, TKind::File);
    EXPECT_EQ(entry.Size, 1);
    EXPECT_EQ(Files.Looks(), 2);
}

// A file the program writes within a scope is seen by the rest of the operation, though the
// scope had listed its folder without it.
TEST_F(LocalFileSystemTest, AFileWrittenWithinAScopeIsSeen) {
    const TLocalFileSystem::TListingScope scope;
    EXPECT_EQ(Resolve("PA5"), Data("PA5"));
    EXPECT_EQ(Files.Examine(Data("PA5")).Kind, TKind::Missing);
    TStoredFileWriter writer(Data("PA5"));
    ASSERT_EQ(writer.Device().write("55"), 2);
    writer.Commit();
    EXPECT_EQ(Resolve("PA5"), Data("PA5"));
    EXPECT_EQ(Files.Examine(Data("PA5")).Kind, TKind::File);
}

// Examine looks at the name itself: a link is a link, whether or not it leads anywhere.
TEST_F(LocalFileSystemTest, ExamineDoesNotFollowALink) {
    ASSERT_TRUE(QFile::link(Data("pa4"), Data("link")) && QFile::link(Data("gone"), Data("dangling")));
    const std::pair<const char*, TKind> cases[] = {{"pa4", TKind::File},     {"sub", TKind::Folder},
                                                   {"link", TKind::Link},    {"dangling", TKind::Link},
                                                   {"none", TKind::Missing}, {"pa4/x", TKind::Missing}};
    for (const bool scoped : {false, true}) {
        std::optional<TLocalFileSystem::TListingScope> scope;
        if (scoped)
            scope.emplace();
        for (const auto& [name, kind] : cases)
            EXPECT_EQ(Files.Examine(Data(name)).Kind, kind) << name << scoped;
    }
}

// A folder's real place is resolved once in a scope, and afresh each time outside one; within a
// scope a plain folder in a folder already resolved costs one look at its name, a link in it is
// followed.
TEST_F(LocalFileSystemTest, AScopeResolvesEachFolderOnce) {
    ASSERT_TRUE(QFile::link(Data("sub"), Data("linked")));
    const QString data = QFileInfo(Data()).canonicalFilePath();
    for (const bool scoped : {false, true}) {
        SCOPED_TRACE(scoped);
        TCountingFileSystem files;
        std::optional<TLocalFileSystem::TListingScope> scope;
        if (scoped)
            scope.emplace();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(files.RealFolder(Data()), data);
            EXPECT_EQ(files.RealFolder(Data("sub")), data + "/sub");
            EXPECT_EQ(files.RealFolder(Data("linked")), data + "/sub");
            EXPECT_EQ(files.RealFolder(Data("none")), QString());
        }
        EXPECT_EQ(files.Resolutions, scoped ? 2 : 12);
        EXPECT_EQ(files.LooksAtNames, scoped ? 3 : 0);
    }
}

} // namespace
