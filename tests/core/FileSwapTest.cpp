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
