#include "shell/transfer/TransferWatcher.h"
#include "core/services/Services.h"
#include "shell/transfer/FolderSnapshot.h"
#include "shell/transfer/TransferFileArrival.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
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

    static void Write(const QString& path, const QByteArray& bytes,
                      QIODevice::OpenMode mode = QIODevice::Truncate) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | mode)) << path.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QString Transfer;
    QString Other;
};

// The arrival check

using TransferArrivalTest = TTransferFixture;

TEST_F(TransferArrivalTest, OffersOnlyAnOpenFilesArchiveOfItsYearInItsFolder) {
    const QList<TWatchedFile> files = {
        {"ACME01", "C:\\QUILVANE\\TRANSFER", 2006, "Acme Pty Ltd"},
        {"BETA02", "c:\\quilvane\\transfer\\", 1995, ""}, // other case, trailing separator, no name
        {"GAMA03", "C:\\QUILVANE\\OTHER", 2006, "Gamma"},
        {"ETAA07", "C:\\QUILVANE\\NEW", 2006, "Folder not made yet"},
    };
    // A path under the home folder's QUILVANE, and the open file it is offered for (-1: none).
    const std::pair<const char*, int> cases[] = {
        {"TRANSFER/ACME0106.QTF", 0},
        {"TRANSFER/../TRANSFER/ACME0106.QTF", 0}, // the folder compared once resolved
        {"TRANSFER/BETA0295.QTF", 1},             // the stored folder in another case
        {"new/ETAA0706.QTF", 3},                  // a folder not made yet, in another case
        {"TRANSFER/ACME0107.QTF", -1},            // another year
        {"TRANSFER/ACME0106.QTB", -1},            // another extension
        {"OTHER/ACME0106.QTF", -1},               // another open file's folder
        {"TRANSFER/SUB/ACME0106.QTF", -1},        // a subfolder
        {"TRANSFER/ZZZZ9906.QTF", -1},            // a code not open
        {"TRANSFER/ACME0006.QTF", -1},            // a code not open, of the same letters
        {"TRANSFER/ACME016.QTF", -1},             // one year digit
        {"TRANSFER/ACME01+6.QTF", -1},            // year characters that are not two digits
        {"TRANSFER/ACME0106 - Copy.QTF", -1},     // would offer one archive and transfer in another
    };
    for (const auto& [name, index] : cases) {
        const auto offer =
            CheckTransferFileArrival(TempPath("home/QUILVANE/" + QString(name)), files, true, false);
        EXPECT_EQ(offer ? offer->Index : -1, index) << name;
    }
    // The question quotes the file code when the record has no name.
    const QString beta = Transfer + "/BETA0295.QTF";
    EXPECT_EQ(CheckTransferFileArrival(beta, files, true, false),
              (TTransferOffer{1, "BETA02", "BETA02", 1995, beta}));
    // Nothing while the program is busy or no file is active.
    EXPECT_FALSE(CheckTransferFileArrival(beta, files, true, true).has_value());
    EXPECT_FALSE(CheckTransferFileArrival(beta, files, false, false).has_value());
}

TEST(TransferQuestionTextTest, QuotesNameAndYearOnTwoLines) {
    // A name holding a placeholder is quoted as it stands.
    EXPECT_EQ(
        TransferQuestionText("50%2 Holdings", 2006),
        "A new transfer file is available for 50%2 Holdings for the 2006 financial year.\r\nDo you want to "
        "transfer this information now ?");
}

// Folder snapshots

using TransferFolderSnapshotTest = TTransferFixture;

TFolderSnapshot Snapshot(std::initializer_list<std::pair<const char*, TFileStamp>> files) {
    TFolderSnapshot snapshot;
    for (const auto& [name, stamp] : files)
        snapshot.Insert(name, stamp);
    return snapshot;
}

TEST_F(TransferFolderSnapshotTest, DiffTellsCreatedUpdatedRenamedAndRemoved) {
    // X is renamed to the first name with its stamp; E, of D's size but another time, is no rename.
    const auto before = Snapshot({{"A", {10, 1000}}, {"B", {5, 2000}}, {"D", {1, 1}}, {"X", {8, 500}}});
    const auto after =
        Snapshot({{"A", {10, 1000}}, {"B", {5, 2001}}, {"E", {1, 2}}, {"P", {8, 500}}, {"Q", {8, 500}}});
    const auto changes = TFolderSnapshot::Diff(before, after);
    EXPECT_EQ(changes.Created, (QStringList{"E", "Q"}));
    EXPECT_EQ(changes.Updated, QStringList{"B"});
    EXPECT_EQ(changes.Renamed, QStringList{"P"});
    EXPECT_EQ(changes.Removed, QStringList{"D"});
}

TEST_F(TransferFolderSnapshotTest, ListsTheFolderFilesOnly) {
    ASSERT_TRUE(QDir().mkpath(Transfer + "/SUB"));
    Write(Transfer + "/.ACME0106.QTF", "12345"); // hidden
    EXPECT_EQ(TFolderSnapshot::Take(Transfer).Files().keys(), QStringList{".ACME0106.QTF"});
    EXPECT_FALSE(TFolderSnapshot::Take(Transfer + "/MISSING").Exists());
    EXPECT_FALSE(TFolderSnapshot::Take("").Exists()); // not the current folder
    EXPECT_FALSE(TFolderSnapshot::StampOf(Transfer + "/NONE.QTF").has_value());
}

// The watcher

class TransferWatcherTest : public TTransferFixture {
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
    // Writes a new copy of the second file's archive and expects it to be the one offer made after
    // the first `earlier`: what came before it has been seen and judged by then.
    void ExpectOnlyTheSentinelOfferedAfter(qsizetype earlier) {
        Write(Transfer + "/BETA0206.QTF", QByteArray(earlier + 1, 's'));
        ASSERT_TRUE(WaitForOffers(earlier + 1));
        Settle();
        ASSERT_EQ(Offers.size(), earlier + 1);
        EXPECT_EQ(Offers.last().FileCode, "BETA02");
    }

    TTransferWatcher Watcher;
    QList<TTransferOffer> Offers;
    bool Busy = false;
};

TEST_F(TransferWatcherTest, CreateThenUpdateOffersOnce) {
    Watch();
    const QString path = Transfer + "/ACME0106.QTF";
    Write(path, "first part");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 1 || !Offers.isEmpty(); }));
    Write(path, QByteArray(4096, 'x'), QIODevice::Append);
    ASSERT_TRUE(WaitForOffers(1));
    Settle();
    ASSERT_EQ(Offers.size(), 1);
    EXPECT_EQ(Offers[0], (TTransferOffer{0, "ACME01", "Acme", 2006, path}));
}

TEST_F(TransferWatcherTest, OnlyTheOpenFilesArchivesArrivingInTheirFoldersAreOffered) {
    Write(Transfer + "/ACME0106.QTF", "there before the watch started");
    Watcher.SetFiles({{"ACME01", "C:\\QUILVANE\\TRANSFER", 2006, "Acme"},
                      {"BETA02", "C:\\QUILVANE\\TRANSFER", 2006, "Beta"},
                      {"GAMA03", "C:\\QUILVANE\\OTHER", 2006, "Gamma"}});
    EXPECT_EQ(Watcher.WatchedFolders(), (QStringList{Other, Transfer}));
    // A foreign year, extension, folder and code.
    for (const char* name : {"ACME0107.QTF", "ACME0106.QTB", "ZZZZ9906.QTF"})
        Write(Transfer + "/" + name, name);
    Write(Other + "/ACME0106.QTF", "in another file's folder");
    ExpectOnlyTheSentinelOfferedAfter(0);
    // A file closed: its folder is no longer watched.
    Watcher.SetFiles({{"BETA02", "C:\\QUILVANE\\TRANSFER", 2006, "Beta"}});
    EXPECT_EQ(Watcher.WatchedFolders(), QStringList{Transfer});
    Watcher.SetFiles({});
    EXPECT_TRUE(Watcher.WatchedFolders().isEmpty());
    EXPECT_TRUE(Watcher.PolledFolders().isEmpty());
}

TEST_F(TransferWatcherTest, NothingIsOfferedWhileAProcessRuns) {
    Watch();
    const QString path = Transfer + "/ACME0106.QTF";
    Busy = true;
    Write(path, "while a process runs");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 1; }));
    // The copy goes on after the process has ended: still the same arrival.
    Busy = false;
    Write(path, "and the rest", QIODevice::Append);
    ExpectOnlyTheSentinelOfferedAfter(0);

    // Arrived while idle, but still only once a process had started.
    Watcher.SetStableInterval(1000);
    Write(path, "a second copy, arriving while idle");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 1; }));
    QTest::qWait(StableMs); // every notice of the write taken while idle
    Busy = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return Watcher.PendingArchives() == 0; }, 10000));
    Busy = false;
    Watcher.SetStableInterval(StableMs);
    ExpectOnlyTheSentinelOfferedAfter(1);
}

TEST_F(TransferWatcherTest, EachNewCopyIsOfferedOnceButNotTheProgramsOwn) {
    // The folder stored in another case with a trailing separator; the name in lower case.
    Watch("c:\\quilvane\\transfer\\");
    const QString path = Transfer + "/acme0106.qtf";
    // Written under a working name, then renamed to the archive's.
    Write(Transfer + "/incoming.tmp", "first copy");
    Settle();
    ASSERT_TRUE(QFile::rename(Transfer + "/incoming.tmp", path));
    ASSERT_TRUE(WaitForOffers(1));
    Settle();
    // Renamed away and back unchanged: the same copy.
    ASSERT_TRUE(QFile::rename(path, Transfer + "/ACME0106.OLD"));
    Settle();
    ASSERT_TRUE(QFile::rename(Transfer + "/ACME0106.OLD", path));
    Settle();
    // Written by the program the way it writes: a temporary file renamed over the archive.
    Write(path + ".tmp", "our own transfer out");
    ASSERT_TRUE(QFile::remove(path) && QFile::rename(path + ".tmp", path));
    Watcher.RememberOwnArchive(path);
    ExpectOnlyTheSentinelOfferedAfter(1);
    // The other side's reply, rewritten in place.
    Write(path, "the reply from the practice, longer");
    ASSERT_TRUE(WaitForOffers(3));
    EXPECT_EQ(Offers[2].Path, path);
}

TEST_F(TransferWatcherTest, FoldersMissingWhenFedArePolledUntilTheyAppear) {
    const QString later = TempPath("home/QUILVANE/LATER");
    const QString drive = TempPath("q");
    Watcher.SetFiles(
        {{"ACME01", "C:\\QUILVANE\\LATER", 2006, "Acme"}, {"BETA02", "Q:\\TRANSFER", 2006, "Beta"}});
    EXPECT_EQ(Watcher.PolledFolders(), (QStringList{later, "Q:\\TRANSFER"}));
    // A folder made afterwards, and a drive that becomes ready.
    ASSERT_TRUE(QDir().mkpath(later) && QDir().mkpath(drive + "/TRANSFER"));
    TServices::FileSystem().MapDrive('Q', drive);
    Write(later + "/ACME0106.QTF", "in the new folder");
    Write(drive + "/TRANSFER/BETA0206.QTF", "on the stick");
    ASSERT_TRUE(WaitForOffers(2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Watcher.PolledFolders().isEmpty(); }));
    EXPECT_EQ(Watcher.WatchedFolders(), (QStringList{later, drive + "/TRANSFER"}));
}

} // namespace
