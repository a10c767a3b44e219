#include "shell/transfer/TransferWatcher.h"
#include "core/services/Services.h"
#include "shell/transfer/FolderSnapshot.h"
#include "shell/transfer/TransferFileArrival.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

// Drive C: is the test's home folder; the practice's transfer folder and a second one lie under it.
class TTransferFixture : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Transfer = TempPath("home/QUILVANE/TRANSFER");
        Other = TempPath("home/QUILVANE/OTHER");
        ASSERT_TRUE(QDir().mkpath(Transfer) && QDir().mkpath(Other));
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    static void Append(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QString Transfer;
    QString Other;
};

// ---------------------------------------------------------------------------------------------
// The arrival check

using TransferArrivalTest = TTransferFixture;

struct TArrivalCase {
    const char* Path; // under the home folder
    int Index;        // -1: not offered
    int Year;
    const char* Name;
};

class TransferArrivalTableTest : public TTransferFixture, public ::testing::WithParamInterface<TArrivalCase> {
protected:
    const QList<TWatchedFile> Files = {
        {"ACME01", "C:\\QUILVANE\\TRANSFER", 2006, "Acme Pty Ltd"},
        {"BETA02", "c:\\quilvane\\transfer\\", 1995, ""}, // other case, trailing separator, no name
        {"GAMA03", "C:\\QUILVANE\\OTHER", 2089, "Gamma"},
        {"DELT04", "C:\\QUILVANE\\OTHER\\", 1990, "Delta"},
        {"EPSI05", "", 2006, "No folder"},
        {"ZETA06", "Q:\\TRANSFER", 2006, "Drive not ready"},
        {"ETAA07", "C:\\QUILVANE\\NEW", 2006, "Folder not made yet"},
    };
};

TEST_P(TransferArrivalTableTest, OffersOnlyAnOpenFilesArchiveOfItsYearInItsFolder) {
    const TArrivalCase& c = GetParam();
    const QString path = TempPath("home/" + QString(c.Path));
    const auto offer = CheckTransferFileArrival(path, Files, true, false);
    if (c.Index < 0) {
        EXPECT_FALSE(offer.has_value()) << c.Path;
        return;
    }
    ASSERT_TRUE(offer.has_value()) << c.Path;
    EXPECT_EQ(*offer, (TTransferOffer{c.Index, Files[c.Index].FileCode, c.Name, c.Year, path}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, TransferArrivalTableTest,
    ::testing::Values(TArrivalCase{"QUILVANE/TRANSFER/ACME0106.QTF", 0, 2006, "Acme Pty Ltd"},
                      TArrivalCase{"QUILVANE/TRANSFER/acme0106.qtf", 0, 2006, "Acme Pty Ltd"},
                      TArrivalCase{"quilvane/Transfer/ACME0106.QTF", 0, 2006, "Acme Pty Ltd"},
                      TArrivalCase{"QUILVANE/TRANSFER/../TRANSFER/ACME0106.QTF", 0, 2006, "Acme Pty Ltd"},
                      TArrivalCase{"QUILVANE/TRANSFER/BETA0295.QTF", 1, 1995, "BETA02"},
                      TArrivalCase{"QUILVANE/OTHER/GAMA0389.QTF", 2, 2089, "Gamma"},
                      TArrivalCase{"QUILVANE/OTHER/DELT0490.QTF", 3, 1990, "Delta"},
                      TArrivalCase{"QUILVANE/new/ETAA0706.QTF", 6, 2006, "Folder not made yet"},
                      // another year, the pivot's other side
                      TArrivalCase{"QUILVANE/TRANSFER/ACME0107.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME0006.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/OTHER/GAMA0390.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/OTHER/DELT0489.QTF", -1, 0, ""},
                      // another extension or none
                      TArrivalCase{"QUILVANE/TRANSFER/ACME0106.QTB", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME0106", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME0106.QTF.BAK", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME0106.006", -1, 0, ""},
                      // another folder: a sibling, a subfolder, another file's
                      TArrivalCase{"QUILVANE/OTHER/ACME0106.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/SUB/ACME0106.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/GAMA0389.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/ACME0106.QTF", -1, 0, ""},
                      // a code not open, and files with no usable folder
                      TArrivalCase{"QUILVANE/TRANSFER/ZZZZ9906.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/EPSI0506.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ZETA0606.QTF", -1, 0, ""},
                      // no year digits, or not exactly the archive's name
                      TArrivalCase{"QUILVANE/TRANSFER/ACME01.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME01XX.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME016.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME01-6.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME0106 - Copy.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/ACME01060.QTF", -1, 0, ""},
                      TArrivalCase{"QUILVANE/TRANSFER/.QTF", -1, 0, ""}),
    [](const ::testing::TestParamInfo<TArrivalCase>& param) { return "Case" + std::to_string(param.index); });

TEST_F(TransferArrivalTest, NothingIsOfferedWhileBusyOrWithNoActiveFile) {
    const QList<TWatchedFile> files = {{"ACME01", "C:\\QUILVANE\\TRANSFER", 2006, "Acme"}};
    const QString path = Transfer + "/ACME0106.QTF";
    EXPECT_TRUE(CheckTransferFileArrival(path, files, true, false).has_value());
    EXPECT_FALSE(CheckTransferFileArrival(path, files, true, true).has_value());
    EXPECT_FALSE(CheckTransferFileArrival(path, files, false, false).has_value());
    EXPECT_FALSE(CheckTransferFileArrival(path, {}, true, false).has_value());
    EXPECT_FALSE(CheckTransferFileArrival("", files, true, false).has_value());
}

TEST_F(TransferArrivalTest, FolderOfADriveMappedElsewhereIsCompared) {
    const QString drive = TempPath("usb");
    ASSERT_TRUE(QDir().mkpath(drive + "/Quilvane/Transfer"));
    TServices::FileSystem().MapDrive('A', drive);
    const QList<TWatchedFile> files = {{"ACME01", "a:\\QUILVANE\\TRANSFER", 2006, "Acme"}};
    EXPECT_TRUE(CheckTransferFileArrival(drive + "/Quilvane/Transfer/ACME0106.QTF", files, true, false));
    EXPECT_FALSE(CheckTransferFileArrival(Transfer + "/ACME0106.QTF", files, true, false));
}

TEST(TransferArchiveYearTest, TwoDigitsThroughTheCenturyRule) {
    const std::pair<const char*, int> cases[] = {
        {"ACME0100", 2000}, {"ACME0106", 2006}, {"ACME0189", 2089}, {"ACME0190", 1990},
        {"ACME0199", 1999}, {"ACME01", -1},     {"ACME010", -1},    {"ACME01 6", -1},
        {"ACME01+6", -1},   {"ACME01-1", -1},   {"ACME01X6", -1},   {"ACME0106ZZ", 2006}};
    for (const auto& [name, year] : cases)
        EXPECT_EQ(TransferArchiveYear(name), year) << name;
}

TEST(TransferQuestionTextTest, QuotesNameAndYearOnTwoLines) {
    EXPECT_EQ(
        TransferQuestionText("Acme Pty Ltd", 2006),
        "A new transfer file is available for Acme Pty Ltd for the 2006 financial year.\r\nDo you want to "
        "transfer this information now ?");
    // A name is quoted as it stands, placeholders and all.
    EXPECT_EQ(
        TransferQuestionText("50%2 Holdings", 1999),
        "A new transfer file is available for 50%2 Holdings for the 1999 financial year.\r\nDo you want to "
        "transfer this information now ?");
}

// ---------------------------------------------------------------------------------------------
// Folder snapshots

using TransferFolderSnapshotTest = TTransferFixture;

TFolderSnapshot Snapshot(std::initializer_list<std::pair<const char*, TFileStamp>> files) {
    TFolderSnapshot snapshot;
    for (const auto& [name, stamp] : files)
        snapshot.Insert(name, stamp);
    return snapshot;
}

TEST_F(TransferFolderSnapshotTest, DiffTellsCreatedUpdatedRenamedAndRemoved) {
    const auto before =
        Snapshot({{"A.QTF", {10, 1000}}, {"B.QTF", {5, 2000}}, {"C.TMP", {7, 3000}}, {"D", {1, 1}}});
    const auto after =
        Snapshot({{"A.QTF", {10, 1000}}, {"B.QTF", {5, 2001}}, {"C.QTF", {7, 3000}}, {"E", {1, 2}}});
    const auto changes = TFolderSnapshot::Diff(before, after);
    EXPECT_EQ(changes.Created, QStringList{"E"});
    EXPECT_EQ(changes.Updated, QStringList{"B.QTF"});
    EXPECT_EQ(changes.Renamed, QStringList{"C.QTF"});
    EXPECT_EQ(changes.Removed, QStringList{"D"});
    EXPECT_TRUE(TFolderSnapshot::Diff(after, after).IsEmpty());
}

TEST_F(TransferFolderSnapshotTest, EachVanishedFilePairsWithOneNewName) {
    const TFileStamp same{8, 500};
    const auto before = Snapshot({{"X.TMP", same}});
    const auto after = Snapshot({{"P.QTF", same}, {"Q.QTF", same}, {"R.QTF", {8, 501}}});
    const auto changes = TFolderSnapshot::Diff(before, after);
    EXPECT_EQ(changes.Renamed, QStringList{"P.QTF"});
    EXPECT_EQ(changes.Created, (QStringList{"Q.QTF", "R.QTF"}));
    EXPECT_TRUE(changes.Removed.isEmpty());
    // A size change under the same time is no rename either.
    const auto resized = TFolderSnapshot::Diff(before, Snapshot({{"P.QTF", {9, 500}}}));
    EXPECT_EQ(resized.Created, QStringList{"P.QTF"});
    EXPECT_EQ(resized.Removed, QStringList{"X.TMP"});
}

TEST_F(TransferFolderSnapshotTest, ListsTheFolderFilesOnly) {
    EXPECT_FALSE(TFolderSnapshot::Take(Transfer + "/MISSING").Exists());
    EXPECT_FALSE(TFolderSnapshot::Take("").Exists());
    ASSERT_TRUE(QDir().mkpath(Transfer + "/SUB"));
    Write(Transfer + "/ACME0106.QTF", "12345");
    Write(Transfer + "/.hidden", "");
    Write(Transfer + "/SUB/BETA0206.QTF", "1");
    const auto snapshot = TFolderSnapshot::Take(Transfer);
    ASSERT_TRUE(snapshot.Exists());
    EXPECT_EQ(QStringList(snapshot.Files().keys()).size(), 2);
    EXPECT_EQ(snapshot.Files().value("ACME0106.QTF").Size, 5);
    EXPECT_EQ(snapshot.Files().value("ACME0106.QTF"), TFolderSnapshot::StampOf(Transfer + "/ACME0106.QTF"));
    EXPECT_TRUE(snapshot.Files().contains(".hidden"));
    EXPECT_FALSE(TFolderSnapshot::StampOf(Transfer + "/SUB").has_value());
    EXPECT_FALSE(TFolderSnapshot::StampOf(Transfer + "/NONE.QTF").has_value());
}

// ---------------------------------------------------------------------------------------------
// The watcher

class TTransferWatcherTest : public TTransferFixture {
protected:
    static constexpr int StableMs = 100;

    void SetUp() override {
        TTransferFixture::SetUp();
        Watcher.SetStableInterval(StableMs);
        Watcher.SetPollInterval(40);
        Watcher.SetBusyCheck([this] { return Busy; });
        QObject::connect(&Watcher, &TTransferWatcher::TransferOffered,
                         [this](const TTransferOffer& offer) { Offers.append(offer); });
    }

    void Watch(const QString& acmeFolder = "C:\\QUILVANE\\TRANSFER") {
        Watcher.SetFiles(
            {{"ACME01", acmeFolder, 2006, "Acme"}, {"BETA02", "C:\\QUILVANE\\TRANSFER", 2006, "Beta"}});
    }

    bool WaitForOffers(qsizetype count) {
        return QTest::qWaitFor([&] { return Offers.size() >= count; }, 10000);
    }
    // Lets everything under way settle: several stable intervals with no archive pending.
    void Settle() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 0; }, 10000));
        QTest::qWait(StableMs * 4);
    }
    // An archive of the second file that is offered: once it is, whatever came before it has been
    // seen and judged.
    void Sentinel() {
        const qsizetype before = Offers.size();
        Write(Transfer + "/BETA0206.QTF", "sentinel");
        ASSERT_TRUE(WaitForOffers(before + 1));
        Settle();
    }
    QStringList OfferedPaths() const {
        QStringList paths;
        for (const TTransferOffer& offer : Offers)
            paths.append(QFileInfo(offer.Path).fileName());
        return paths;
    }

    TTransferWatcher Watcher;
    QList<TTransferOffer> Offers;
    bool Busy = false;
};
using TransferWatcherTest = TTransferWatcherTest;

TEST_F(TransferWatcherTest, CreateThenUpdateOffersOnce) {
    Watch();
    EXPECT_EQ(Watcher.WatchedFolders(), QStringList{Transfer});
    EXPECT_TRUE(Watcher.PolledFolders().isEmpty());
    const QString path = Transfer + "/ACME0106.QTF";
    Write(path, "first part");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 1 || !Offers.isEmpty(); }));
    Append(path, QByteArray(4096, 'x'));
    ASSERT_TRUE(WaitForOffers(1));
    Settle();
    ASSERT_EQ(Offers.size(), 1);
    EXPECT_EQ(Offers[0], (TTransferOffer{0, "ACME01", "Acme", 2006, path}));
}

TEST_F(TransferWatcherTest, ForeignYearExtensionFolderCodeAndNamesWithoutYearAreNotOffered) {
    Watcher.SetFiles({{"ACME01", "C:\\QUILVANE\\TRANSFER", 2006, "Acme"},
                      {"BETA02", "C:\\QUILVANE\\TRANSFER", 2006, "Beta"},
                      {"GAMA03", "C:\\QUILVANE\\OTHER", 2006, "Gamma"}});
    for (const char* name : {"ACME0107.QTF", "ACME0106.QTB", "ZZZZ9906.QTF", "ACME01.QTF", "ACME01XX.QTF"})
        Write(Transfer + "/" + name, name);
    Write(Other + "/ACME0106.QTF", "in another file's folder");
    Sentinel();
    EXPECT_EQ(OfferedPaths(), QStringList{"BETA0206.QTF"});
}

TEST_F(TransferWatcherTest, FilesPresentWhenTheWatchStartsAreNotOffered) {
    Write(Transfer + "/ACME0106.QTF", "already here");
    Watch();
    Sentinel();
    EXPECT_EQ(OfferedPaths(), QStringList{"BETA0206.QTF"});
}

TEST_F(TransferWatcherTest, AnArrivalWhileBusyIsNeverOffered) {
    Watch();
    Busy = true;
    const QString path = Transfer + "/ACME0106.QTF";
    Write(path, "while a dialog is up");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 1; }));
    // The copy goes on after the dialog has closed: still the same arrival.
    Busy = false;
    Append(path, "and the rest");
    Settle();
    EXPECT_TRUE(Offers.isEmpty());
    Sentinel();
    EXPECT_EQ(OfferedPaths(), QStringList{"BETA0206.QTF"});
}

TEST_F(TransferWatcherTest, AnArrivalThatBecomesStillWhileBusyIsNotOffered) {
    Watcher.SetStableInterval(400);
    Watch();
    Write(Transfer + "/ACME0106.QTF", "arrives while idle");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 1; }));
    Busy = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 0; }, 10000));
    Busy = false;
    Watcher.SetStableInterval(StableMs);
    Sentinel();
    EXPECT_EQ(OfferedPaths(), QStringList{"BETA0206.QTF"});
}

TEST_F(TransferWatcherTest, ARenameIntoTheFolderOffersTheNewName) {
    Watch();
    const QString outside = TempPath("ACME0106.QTF");
    Write(outside, "made elsewhere");
    ASSERT_TRUE(QFile::rename(outside, Transfer + "/ACME0106.QTF"));
    ASSERT_TRUE(WaitForOffers(1));
    EXPECT_EQ(Offers[0].Path, Transfer + "/ACME0106.QTF");

    // Written under a working name, then renamed to the archive's.
    Write(Transfer + "/incoming.tmp", "renamed in the folder");
    Settle();
    ASSERT_TRUE(QFile::rename(Transfer + "/incoming.tmp", Transfer + "/BETA0206.QTF"));
    ASSERT_TRUE(WaitForOffers(2));
    Settle();
    EXPECT_EQ(OfferedPaths(), (QStringList{"ACME0106.QTF", "BETA0206.QTF"}));
}

TEST_F(TransferWatcherTest, FolderComparisonIgnoresCaseAndATrailingSeparator) {
    Watch("c:\\quilvane\\transfer\\");
    Write(Transfer + "/acme0106.qtf", "lower-case name");
    ASSERT_TRUE(WaitForOffers(1));
    EXPECT_EQ(Offers[0].FileCode, "ACME01");
    EXPECT_EQ(Offers[0].Path, Transfer + "/acme0106.qtf");
}

TEST_F(TransferWatcherTest, AnArchiveTheProgramWroteIsNotOffered) {
    Watch();
    // Written the way the program writes: a temporary file renamed over the archive.
    const QString path = Transfer + "/ACME0106.QTF";
    Write(path + ".tmp", "our own transfer out");
    ASSERT_TRUE(QFile::rename(path + ".tmp", path));
    Watcher.RememberOwnArchive(path);
    Sentinel();
    EXPECT_EQ(OfferedPaths(), QStringList{"BETA0206.QTF"});

    // The other side's reply replaces it: that is offered.
    Write(path, "the reply from the practice, longer");
    ASSERT_TRUE(WaitForOffers(2));
    EXPECT_EQ(OfferedPaths(), (QStringList{"BETA0206.QTF", "ACME0106.QTF"}));
}

TEST_F(TransferWatcherTest, ALaterRewriteOffersAgainButTheSameCopyDoesNot) {
    Watch();
    const QString path = Transfer + "/ACME0106.QTF";
    Write(path, "first copy");
    ASSERT_TRUE(WaitForOffers(1));
    Settle();

    // Renamed away and back unchanged: the same copy.
    ASSERT_TRUE(QFile::rename(path, Transfer + "/ACME0106.OLD"));
    Settle();
    ASSERT_TRUE(QFile::rename(Transfer + "/ACME0106.OLD", path));
    Settle();
    EXPECT_EQ(Offers.size(), 1);

    // Rewritten in place with new contents.
    Write(path, "a second, longer copy");
    ASSERT_TRUE(WaitForOffers(2));
    Settle();
    EXPECT_EQ(OfferedPaths(), (QStringList{"ACME0106.QTF", "ACME0106.QTF"}));
}

TEST_F(TransferWatcherTest, AFolderMadeAfterTheFilesAreFedIsPickedUpByPolling) {
    const QString later = TempPath("home/QUILVANE/LATER");
    Watch("C:\\QUILVANE\\LATER");
    EXPECT_EQ(Watcher.PolledFolders(), QStringList{later});
    EXPECT_EQ(Watcher.WatchedFolders(), QStringList{Transfer});
    ASSERT_TRUE(QDir().mkpath(later));
    Write(later + "/ACME0106.QTF", "in the new folder");
    ASSERT_TRUE(WaitForOffers(1));
    EXPECT_EQ(Offers[0].Path, later + "/ACME0106.QTF");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Watcher.PolledFolders().isEmpty(); }));
    EXPECT_EQ(Watcher.WatchedFolders(), (QStringList{later, Transfer}));
}

TEST_F(TransferWatcherTest, AFolderOnADriveThatBecomesReadyIsPickedUp) {
    Watch("Q:\\TRANSFER");
    EXPECT_EQ(Watcher.PolledFolders(), QStringList{"Q:\\TRANSFER"});
    const QString drive = TempPath("q");
    ASSERT_TRUE(QDir().mkpath(drive + "/TRANSFER"));
    TServices::FileSystem().MapDrive('Q', drive);
    Write(drive + "/TRANSFER/ACME0106.QTF", "on the stick");
    ASSERT_TRUE(WaitForOffers(1));
    EXPECT_EQ(Offers[0].Path, drive + "/TRANSFER/ACME0106.QTF");
}

TEST_F(TransferWatcherTest, OnlyTheOpenFilesFoldersAreWatched) {
    Watch("C:\\QUILVANE\\OTHER");
    EXPECT_EQ(Watcher.WatchedFolders(), (QStringList{Other, Transfer}));
    Watcher.SetFiles({{"BETA02", "C:\\QUILVANE\\TRANSFER", 2006, "Beta"}});
    EXPECT_EQ(Watcher.WatchedFolders(), QStringList{Transfer});
    Write(Other + "/ACME0106.QTF", "for a file no longer open");
    Sentinel();
    EXPECT_EQ(OfferedPaths(), QStringList{"BETA0206.QTF"});
    EXPECT_EQ(Offers[0].Index, 0);
    Watcher.SetFiles({});
    EXPECT_TRUE(Watcher.WatchedFolders().isEmpty());
    EXPECT_TRUE(Watcher.PolledFolders().isEmpty());
}

} // namespace
