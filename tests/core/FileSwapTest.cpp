#include "core/files/FileSwap.h"

#include "tests/support/FileBytes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <sys/file.h>

namespace {

using TFiles = QMap<QString, QByteArray>;

// A data folder holding the old year of ABC123 and a working folder staging the new one: the
// record and a chart are in both sets, a month file only in the old one, another only in the new.
class FileSwapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.isValid());
        Data = Temp.filePath("DATA");
        Work = Data + "/ABC123.restore-a1B2c3";
        Old = {{"ABC123.CFG", "old record"}, {"M_DETAIL/ABC12306.ADF", "old chart"}, {"ABC123/ABC12306.PA9", "old month"}};
        New = {{"ABC123.CFG", "new record"}, {"M_DETAIL/ABC12306.ADF", "new chart"}, {"ABC123/ABC12306.RC3", "new month"}};
        for (auto it = Old.cbegin(); it != Old.cend(); ++it)
            Write(Data + "/" + it.key(), it.value());
        for (auto it = New.cbegin(); it != New.cend(); ++it)
            Write(Work + "/new/" + it.key(), it.value());
        Write(Data + "/ABC123/ABC12305.PA9", "another year");
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        ASSERT_TRUE(WriteFileBytes(path, bytes));
    }
    // Every file of the data folder outside working folders, with its bytes.
    TFiles DataFiles() const {
        TFiles files;
        QDirIterator it(Data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(Data).relativeFilePath(it.next());
            if (!name.contains(".restore-") && name != "ABC123/ABC12305.PA9")
                files[name] = ReadFileBytes(Data + "/" + name);
        }
        return files;
    }
    // How many files under the data folder, working folders included, hold each content.
    QMap<QByteArray, int> Places() const {
        QMap<QByteArray, int> places;
        QDirIterator it(Data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (QFileInfo(path).fileName() != TFileSwap::MarkerName())
                ++places[ReadFileBytes(path)];
        }
        return places;
    }
    bool WorkFolderLeft() const { return QFileInfo::exists(Work); }
    static void Age(const QString& folder, int seconds) {
        const std::filesystem::path path(QFile::encodeName(folder).toStdString());
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::seconds(seconds));
    }

    QTemporaryDir Temp;
    QString Data, Work;
    TFiles Old, New;
    const QStringList OldNames{"ABC123.CFG", "M_DETAIL/ABC12306.ADF", "ABC123/ABC12306.PA9"};
    const QStringList NewNames{"M_DETAIL/ABC12306.ADF", "ABC123/ABC12306.RC3", "ABC123.CFG"};
};

} // namespace

// A change that runs to its end leaves the new set, with the record placed last by the caller.
TEST_F(FileSwapTest, AWholeChangeLeavesTheNewSetAndNoWorkingFolder) {
    TFileSwap swap(Data, Work);
    QStringList placedOrder;
    ASSERT_TRUE(swap.Run(OldNames, NewNames, {"ABC123.CFG"}, [&](const QString& from, const QString& to) {
        placedOrder << QFileInfo(to).fileName();
        // The record is the last to come in: every other new file already stands.
        EXPECT_TRUE(QFile::exists(Data + "/ABC123/ABC12306.RC3"));
        ASSERT_TRUE(QFile::copy(from, to));
    }));
    swap.Finish();
    EXPECT_EQ(placedOrder, QStringList{"ABC123.CFG"});
    EXPECT_EQ(DataFiles(), New);
    EXPECT_FALSE(WorkFolderLeft());
    EXPECT_TRUE(QFile::exists(Data + "/ABC123/ABC12305.PA9"));
}

// Undo after the moves brings the old set back.
TEST_F(FileSwapTest, UndoPutsTheOldSetBack) {
    TFileSwap swap(Data, Work);
    ASSERT_TRUE(swap.Run(OldNames, NewNames));
    ASSERT_EQ(DataFiles(), New);
    swap.Undo();
    EXPECT_EQ(DataFiles(), Old);
    EXPECT_FALSE(WorkFolderLeft());
}

// Stopped at any step (as a kill would stop it), the next recovery leaves one whole set: the old
// one, unless every new file was in place. Each step is tried in turn, up to one past the last.
TEST_F(FileSwapTest, AChangeStoppedAtAnyStepRecoversToOneWholeSet) {
    for (int stopAt = 1; stopAt <= 1 + OldNames.size() + NewNames.size() + 1; ++stopAt) {
        SCOPED_TRACE(stopAt);
        QDir(Data).removeRecursively();
        SetUp();
        bool completed = false;
        {
            TFileSwap swap(Data, Work);
            swap.OnStep = [stopAt](int step) { return step < stopAt; };
            completed = swap.Run(OldNames, NewNames, {"ABC123.CFG"},
                                 [](const QString& from, const QString& to) { ASSERT_TRUE(QFile::copy(from, to)); });
            // A change that finished its moves but was killed before Finish keeps its marker too.
        }
        EXPECT_EQ(TFileSwap::Recover(Data, "ABC123.restore-"), stopAt == 1 ? 0 : 1);
        const TFiles now = DataFiles();
        EXPECT_EQ(now, completed ? New : Old);
        EXPECT_FALSE(WorkFolderLeft() && stopAt > 1);
    }
}

// Stopped at any step of the change (a move in, a move aside, a move of the put-back after a
// failed placing or of an undo) and then at any step of the recovery, every file still stands in
// exactly one place, and the next recovery leaves one whole set with every byte: the new one only
// when every new file was in place and none had been taken back yet.
TEST_F(FileSwapTest, ARecoveryStoppedAtAnyStepIsTakenUpAgain) {
    const int runSteps = 1 + OldNames.size() + NewNames.size();
    TFiles placedNew = New;
    placedNew["ABC123.CFG"] = "new record placed";
    const auto eachInOnePlace = [&] {
        QMap<QByteArray, int> places = Places();
        // The record is placed as a rewritten copy: the staged one, the placed one, or both.
        const int staged = places.take("new record"), placed = places.take("new record placed");
        EXPECT_TRUE(staged <= 1 && placed <= 1 && staged + placed >= 1) << staged << " " << placed;
        for (const QByteArray& bytes : Old.values() + New.values()) {
            if (bytes != "new record") {
                EXPECT_EQ(places.value(bytes), 1) << bytes.toStdString();
            }
        }
    };
    for (const bool placingFails : {false, true}) {
        bool changeStopped = true;
        for (int i = 1; changeStopped; ++i) {
            bool recoveryStopped = true;
            for (int j = 1; recoveryStopped; ++j) {
                SCOPED_TRACE(QString("placing fails %1, change stopped at %2, recovery at %3")
                                 .arg(int(placingFails)).arg(i).arg(j).toStdString());
                QDir(Data).removeRecursively();
                SetUp();
                changeStopped = false;
                bool completed = false;
                {
                    TFileSwap swap(Data, Work);
                    swap.OnStep = [&](int step) { return !(changeStopped = step >= i); };
                    try {
                        completed = swap.Run(OldNames, NewNames, {"ABC123.CFG"},
                                             [&](const QString& from, const QString& to) {
                                                 WriteFileBytes(to, ReadFileBytes(from) + " placed");
                                                 if (placingFails)
                                                     throw std::runtime_error("placing failed");
                                             });
                    } catch (const std::runtime_error&) {
                        EXPECT_TRUE(placingFails);
                    }
                    if (completed)
                        swap.Undo();
                }
                if (changeStopped)
                    eachInOnePlace();
                recoveryStopped = false;
                TFileSwap::Recover(Data, "ABC123.restore-",
                                   [&](int step) { return !(recoveryStopped = step >= j); });
                if (recoveryStopped)
                    eachInOnePlace();
                TFileSwap::Recover(Data, "ABC123.restore-");
                EXPECT_EQ(DataFiles(), completed && i == runSteps + 1 ? placedNew : Old);
                // Stopped before its marker, a change leaves only staged copies, which wait a minute.
                EXPECT_EQ(WorkFolderLeft(), i == 1);
                ASSERT_LT(i + j, 100);
            }
        }
    }
}

// An undo that cannot move a file back keeps its marker and working folder, and a later recovery
// puts the whole old set back.
TEST_F(FileSwapTest, AnUndoThatCannotMoveAFileBackLeavesItForTheRecovery) {
    auto swapped = std::make_unique<TFileSwap>(Data, Work);
    TFileSwap& swap = *swapped;
    ASSERT_TRUE(swap.Run(OldNames, NewNames));
    const int lastStep = 1 + 2 * (OldNames.size() + NewNames.size());
    swap.OnStep = [&](int step) {
        // Before the old month file goes back, its folder is taken away and a file put in its place.
        if (step == lastStep) {
            EXPECT_TRUE(QDir(Data).rename("ABC123", "ABC123.away") &&
                        WriteFileBytes(Data + "/ABC123", "in the way"));
        }
        return true;
    };
    swap.Undo();
    EXPECT_TRUE(swap.Unsettled());
    EXPECT_EQ(ReadFileBytes(Work + "/old/ABC123/ABC12306.PA9"), "old month");
    ASSERT_TRUE(QFile::remove(Data + "/ABC123") && QDir(Data).rename("ABC123.away", "ABC123"));
    // While the change lives its marker stays locked; ended, it is put back.
    EXPECT_EQ(TFileSwap::Recover(Data, "ABC123.restore-"), 0);
    swapped.reset();
    EXPECT_EQ(TFileSwap::Recover(Data, "ABC123.restore-"), 1);
    EXPECT_EQ(DataFiles(), Old);
    EXPECT_FALSE(WorkFolderLeft());
}

// A working folder whose "old" or "new" folder, or a folder below them, is a link is left as it
// is: no file comes into the data folder from outside it, and none leaves it.
TEST_F(FileSwapTest, RecoveryMovesNothingThroughALinkedFolder) {
    const QString outside = Temp.filePath("OUTSIDE");
    for (const QString& linked : {QString("old"), QString("new"), QString("old/ABC123")}) {
        SCOPED_TRACE(linked.toStdString());
        QDir(Data).removeRecursively();
        QDir(outside).removeRecursively();
        SetUp();
        QDir(Work).removeRecursively();
        Write(outside + "/ABC123/ABC12306.RC3", "from outside");
        Write(Work + "/" + TFileSwap::MarkerName(),
              "Quilvane file swap 1\nold\tABC123/ABC12306.RC3\nnew\tABC123/ABC12306.PA9\n");
        ASSERT_TRUE(QDir().mkpath(Work + "/old") && QDir().mkpath(Work + "/new"));
        QDir(Work).rmdir(linked);
        ASSERT_TRUE(QFile::link(linked.contains('/') ? outside + "/ABC123" : outside, Work + "/" + linked));
        EXPECT_EQ(TFileSwap::Recover(Data, "ABC123.restore-"), 0);
        EXPECT_EQ(DataFiles(), Old);
        EXPECT_EQ(ReadFileBytes(outside + "/ABC123/ABC12306.RC3"), "from outside");
        EXPECT_EQ(QDir(outside + "/ABC123").entryList(QDir::Files), QStringList{"ABC12306.RC3"});
        EXPECT_TRUE(WorkFolderLeft());
    }
}

// A new file may take only the place of an old one: a file of the folder in neither set is
// never replaced (it would be in none of the places a recovery puts back).
TEST_F(FileSwapTest, AFileNotSetAsideIsNeverReplaced) {
    Write(Data + "/ABC123/ABC12306.RC3", "neither old nor new");
    TFileSwap swap(Data, Work);
    EXPECT_THROW(swap.Run(OldNames, NewNames), std::exception);
    EXPECT_EQ(ReadFileBytes(Data + "/ABC123/ABC12306.RC3"), "neither old nor new");
    EXPECT_FALSE(QFileInfo::exists(Work + "/" + TFileSwap::MarkerName()));
}

// Recovery trusts neither the folder nor the marker: a marker that names a file outside the data
// folder, a marker locked by a change still running, and a link dressed as a working folder are
// all left as they are; a marker-less working folder goes once it is a minute old.
TEST_F(FileSwapTest, RecoveryLeavesWhatItCannotTrust) {
    ASSERT_TRUE(QDir().mkpath(Work + "/old"));
    Write(Work + "/" + TFileSwap::MarkerName(), "Quilvane file swap 1\nold\t../outside\nnew\tABC123.CFG\n");
    Write(Temp.filePath("outside"), "not ours");
    EXPECT_EQ(TFileSwap::Recover(Data, "ABC123.restore-"), 0);
    EXPECT_TRUE(WorkFolderLeft());
    EXPECT_EQ(DataFiles(), Old);

    // A running change holds its marker's lock.
    Write(Work + "/" + TFileSwap::MarkerName(), "Quilvane file swap 1\nold\tABC123.CFG\nnew\tABC123.CFG\n");
    QFile held(Work + "/" + TFileSwap::MarkerName());
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(TFileSwap::Recover(Data, "ABC123.restore-"), 0);
    EXPECT_TRUE(WorkFolderLeft());
    held.close();
    EXPECT_EQ(TFileSwap::Recover(Data, "ABC123.restore-"), 1);
    EXPECT_FALSE(WorkFolderLeft());

    // Leftovers without a marker: young ones stay, a link is never followed or removed.
    const QString young = Data + "/ABC123.restore-Young1";
    const QString stale = Data + "/ABC123.restore-Stale1";
    const QString otherFile = Data + "/XYZ999.restore-Stale2";
    const QString outside = Temp.filePath("OUTSIDE");
    Write(young + "/new/ABC123.CFG", "x");
    Write(stale + "/new/ABC123.CFG", "x");
    Write(otherFile + "/new/XYZ999.CFG", "x");
    Write(outside + "/keep", "x");
    ASSERT_TRUE(QFile::link(outside, Data + "/ABC123.restore-Link01"));
    Age(stale, 120);
    Age(otherFile, 120);
    TFileSwap::Recover(Data, "ABC123.restore-");
    EXPECT_TRUE(QFileInfo::exists(young));
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(otherFile));
    EXPECT_TRUE(QFileInfo(Data + "/ABC123.restore-Link01").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(outside + "/keep"));
}

// Names that would lead out of the folder are refused before anything moves.
TEST_F(FileSwapTest, NamesLeavingTheFolderAreRefusedBeforeAnyMove) {
    for (const QString& bad : {QString("../x"), QString("/etc/passwd"), QString("M_DETAIL/../../x"),
                               QString("..\\x")}) {
        SCOPED_TRACE(bad.toStdString());
        TFileSwap swap(Data, Work);
        EXPECT_THROW(swap.Run(OldNames, NewNames + QStringList{bad}), std::exception);
        EXPECT_EQ(DataFiles(), Old);
        EXPECT_FALSE(QFileInfo::exists(Work + "/" + TFileSwap::MarkerName()));
    }
}
