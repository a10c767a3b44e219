#include "core/files/StoredFileWriter.h"

#include "tests/support/FileBytes.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The temporary files that stored-file writers take and that their cleanup removes again.
class StoredFileWriterTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return Temp.filePath(name); }
    // The name of the temporary file the writer is writing.
    static QString TempNameOf(TStoredFileWriter& writer) {
        const auto* file = qobject_cast<QFile*>(&writer.Device());
        return file ? QFileInfo(file->fileName()).fileName() : QString();
    }
    // A file as a writer killed before its rename leaves it: a minute old.
    void Leave(const QString& name) const {
        ASSERT_TRUE(WriteFileBytes(Path(name), "left"));
        QFile file(Path(name));
        ASSERT_TRUE(
            file.open(QIODevice::ReadWrite) &&
            file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    }
    QStringList Names() const {
        QStringList names = QDir(Temp.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }

    QTemporaryDir Temp;
};

} // namespace

// Every name a writer takes is "<target>.~qv" and six letters or digits, and the cleanup takes
// exactly those: a commit removes the leftovers under its own target's names, a cleanup without
// a name those of every target. Names that only come close (another letter outside the writer's
// letters, one letter more or fewer, the marker in other letters) stay.
TEST_F(StoredFileWriterTest, CleanupRemovesExactlyTheNamesWritersTake) {
    ASSERT_TRUE(Temp.isValid());
    const QRegularExpression shape(QStringLiteral("^(A\\.CFG|B\\.DAT)\\.~qv[A-Za-z0-9]{6}$"));
    QStringList taken[2];
    for (int i = 0; i < 200; ++i) { // enough names to meet every letter and digit at least once
        const QString target = i % 2 ? QStringLiteral("B.DAT") : QStringLiteral("A.CFG");
        TStoredFileWriter writer(Path(target));
        const QString name = TempNameOf(writer);
        EXPECT_TRUE(shape.match(name).hasMatch() && name.startsWith(target)) << name.toStdString();
        EXPECT_TRUE(QFileInfo::exists(Path(name))) << name.toStdString();
        taken[i % 2] << name;
    }
    EXPECT_TRUE(Names().isEmpty()) << "a writer never committed removes its own file";

    ASSERT_FALSE(taken[0].isEmpty());
    const QString sample = taken[0].first(); // "A.CFG.~qv" and six letters
    const QString stem = sample.chopped(1);
    QStringList nearMisses;
    for (const QChar other : {QChar(0x00E9), QChar(0x0663), QChar(u'-'), QChar(u'_')}) // not the writer's
        nearMisses << stem + other;
    nearMisses << sample + u'a' << stem << "A.CFG.~QV" + sample.right(6) << "A.CFG.bak";
    for (const QString& name : taken[0] + taken[1] + nearMisses)
        Leave(name);
    {
        TStoredFileWriter writer(Path("A.CFG"));
        ASSERT_EQ(writer.Device().write("new"), 3);
        writer.Commit();
    }
    QStringList left = taken[1] + nearMisses + QStringList{"A.CFG"};
    left.sort();
    EXPECT_EQ(Names(), left);

    RemoveLeftoverTempFiles(Temp.path());
    left = nearMisses + QStringList{"A.CFG"};
    left.sort();
    EXPECT_EQ(Names(), left);
    EXPECT_EQ(ReadFileBytes(Path("A.CFG")), "new");
}

// A stale leftover is removed from the folder named, but never from a folder a link in its place
// leads to: that folder is not the data folder's.
TEST_F(StoredFileWriterTest, StaleFilesAreNotRemovedThroughALinkedFolder) {
    ASSERT_TRUE(Temp.isValid() && QDir().mkpath(Path("outside")) && QDir().mkpath(Path("own")));
    ASSERT_TRUE(QFile::link(Path("outside"), Path("linked")));
    const QString name = QStringLiteral("ABC12306.PA4") + TStoredFileWriter::TempMarker() + "AbC123";
    for (const char* folder : {"outside", "own"})
        Leave(QString(folder) + "/" + name);
    RemoveStaleTempFiles(Path("linked"), {"ABC12306.PA4"});
    RemoveStaleTempFiles(Path("linked") + "/", {"ABC12306.PA4"});
    EXPECT_TRUE(QFileInfo::exists(Path("outside/") + name));
    RemoveStaleTempFiles(Path("own"), {"ABC12306.PA4"});
    EXPECT_FALSE(QFileInfo::exists(Path("own/") + name));
}

// A commit calls its step hook just before and just after the rename; a hook that throws stands
// for a process stopped there: before the rename the old file stays, after it the new one is in
// place. A writer told to protect its new file gives it no write bits before the rename; without
// that the new file keeps the old one's mode.
TEST_F(StoredFileWriterTest, CommitStepsAndTheProtectionOfTheNewFile) {
    using TStep = TStoredFileWriter::TCommitStep;
    ASSERT_TRUE(Temp.isValid() && WriteFileBytes(Path("A.CFG"), "old"));
    ASSERT_TRUE(
        QFile::setPermissions(Path("A.CFG"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const auto unhook = qScopeGuard([] { TStoredFileWriter::SetCommitStepHook({}); });
    // The mode's bits (WriteUser says what this process may do, and a test may run as root).
    const QFileDevice::Permissions writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    for (const bool protect : {false, true}) {
        for (const TStep stopAt : {TStep::BeforeRename, TStep::AfterRename}) {
            SCOPED_TRACE(testing::Message() << protect << (stopAt == TStep::AfterRename));
            ASSERT_TRUE(WriteFileBytes(Path("A.CFG"), "old"));
            QStringList seen;
            TStoredFileWriter::SetCommitStepHook([&](TStep step, const QString& temp, const QString& target) {
                const QString now = step == TStep::BeforeRename ? temp : target;
                seen << QString("%1:%2:%3")
                            .arg(step == TStep::BeforeRename ? "before" : "after")
                            .arg(QFileInfo(target).fileName())
                            .arg((QFile::permissions(now) & writeBits) != 0);
                if (step == stopAt)
                    throw std::runtime_error("stopped");
            });
            {
                TStoredFileWriter writer(Path("A.CFG"));
                if (protect)
                    writer.ProtectNewFile();
                ASSERT_EQ(writer.Device().write("new"), 3);
                EXPECT_THROW(writer.Commit(), std::runtime_error);
            }
            const QString writable = protect ? "0" : "1";
            EXPECT_EQ(seen.join(' ').toStdString(),
                      ("before:A.CFG:" + writable +
                       (stopAt == TStep::AfterRename ? " after:A.CFG:" + writable : QString()))
                          .toStdString());
            EXPECT_EQ(ReadFileBytes(Path("A.CFG")), stopAt == TStep::AfterRename ? "new" : "old");
            EXPECT_EQ(Names(), QStringList{"A.CFG"}) << "no temporary file is left";
            EXPECT_EQ(QFile::permissions(Path("A.CFG")) & QFileDevice::ReadGroup, QFileDevice::ReadGroup);
            QFile::setPermissions(Path("A.CFG"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        }
    }
}
