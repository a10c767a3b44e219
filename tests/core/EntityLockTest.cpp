#include "tests/core/EntityTestSupport.h"

#include "core/files/CompanionLock.h"

#include <atomic>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace {

const QString RetryText =
    "File code ABC123 is aleady opened by user \"OTHER\".\r\nPlease check that \"OTHER\" "
    "has finished working with the file before retrying.";
const QString OverrideText =
    "QUILVANE was unable to lock ABC123 for exclusive use.\r\nYou can continue, "
    "however data integrity is not guaranteed.\r\nChoose ignore to continue and open "
    "this file.";
const QString DeniedText =
    "QUILVANE was unable to lock ABC123 for exclusive use. Access to this file has been denied.";
// The override box's last sentence: the holder is still running, or is gone.
const QString LeftText = "\r\n\"%1\" still has this file open; ignore leaves its lock in place.";
const QString TakenText = "\r\n\"%1\" no longer has this file open; ignore takes its lock over.";

} // namespace

using EntityLockTest = TEntityFixture;

TEST_F(EntityLockTest, AFreeFileIsTakenAndGivenBackAndOnlyTheLockKeysChange) {
    WriteRecordBytes(SmallRecord());
    auto detail = Open({Standard, Load});
    EXPECT_EQ(ReadRecordBytes(), SmallRecord("1", "WORKSTATION1"));
    // Closing is an explicit step; the destructor then has nothing left to do.
    detail->ReleaseLock();
    EXPECT_FALSE(detail->Locked);
    EXPECT_EQ(ReadRecordBytes(), SmallRecord());
    detail.reset();
    EXPECT_EQ(Files->Log, QStringList(2, "protect:ABC123.CFG.~qv")); // each new file, never the old
    EXPECT_FALSE(QFileInfo(RecordPath()).permissions() & QFileDevice::WriteOwner);
    // The guard leaves nothing in the data folder.
    EXPECT_EQ(QDir(DataDir).entryList(QDir::Files | QDir::Hidden), QStringList{"ABC123.CFG"});
}

TEST_F(EntityLockTest, OwnKeysAreTakenOverAndForeignKeysRefusedWithoutWriting) {
    for (const QString holder : {"WORKSTATION1", "OTHER", "workstation1"}) {
        SCOPED_TRACE(holder.toStdString());
        WriteRecordBytes(SmallRecord("1", holder));
        const QStringList log = Files->Log;
        std::unique_ptr<TEntityDetail> opened;
        if (holder == "WORKSTATION1")
            EXPECT_TRUE((opened = Open({Standard, Load, InteractiveLock}))->Locked);
        else
            EXPECT_THROW(Open({Standard, Load}), EAbort);
        EXPECT_EQ(Files->Log, log); // the keys already said so, or were not ours
        EXPECT_EQ(DiskKey("LockedBy"), holder);
    }
}

// OTHER is still running: it holds the record's companion lock.
TEST_F(EntityLockTest, InteractiveRefusalsOfferRetryThenOverrideThenDeny) {
    const QStringList five(5, RetryText);
    const QString overrideText = OverrideText + LeftText.arg("OTHER");
    using TButtons = QList<TMessageButton>;
    const std::tuple<TButtons, QStringList, bool> cases[] = {
        {TButtons(5, TMessageButton::Retry) << TMessageButton::Cancel << TMessageButton::OK,
         five + QStringList{overrideText, DeniedText}, false},
        {{TMessageButton::Cancel, TMessageButton::OK}, {RetryText, DeniedText}, false},
        {TButtons(11, TMessageButton::Retry) << TMessageButton::Ignore,
         five + QStringList{overrideText} + five + QStringList{overrideText}, true}};
    TCompanionLock other;
    for (const auto& [answers, texts, opens] : cases) {
        SCOPED_TRACE(texts.size());
        WriteRecordBytes(SmallRecord("1", "OTHER"));
        ASSERT_TRUE(other.Take(RecordPath()));
        Prompt->Shown.clear(), Prompt->Beeps.clear();
        for (TMessageButton answer : answers)
            Prompt->Answer(answer);
        std::unique_ptr<TEntityDetail> opened;
        if (opens)
            opened = Open({Standard, Load, InteractiveLock});
        else
            EXPECT_THROW(Open({Standard, Load, InteractiveLock}), EAbort);
        EXPECT_EQ(Prompt->Texts(), texts);
        for (int i = 0; i < Prompt->Shown.size(); ++i) {
            const bool retry = texts[i] == RetryText, denied = texts[i] == DeniedText;
            EXPECT_EQ(Prompt->Beeps.value(i), retry ? TBeep::Warning : TBeep::Error);
            EXPECT_EQ(Prompt->Shown[i].HelpContext, denied ? 0 : 6000);
            EXPECT_EQ(Prompt->Shown[i].Buttons,
                      denied  ? TMessageButtons(TMessageButton::OK)
                      : retry ? TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help
                              : TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Ignore |
                                    TMessageButton::Help);
        }
        if (opened) {
            // Saving and closing a file opened over another's lock leave that lock alone.
            opened->Locked = false, opened->Name = "Changed here";
            ASSERT_EQ(opened->Save({Standard}), 0);
            opened->Locked = true;
            opened->ReleaseLock();
            EXPECT_EQ(DiskKey("Name"), "Changed here");
        }
        EXPECT_EQ(DiskKey("Locked") + DiskKey("LockedBy"), "1OTHER");
    }
}

TEST_F(EntityLockTest, TwoWorkstationsAgainstOneFolder) {
    WriteRecordBytes(SmallRecord());
    auto first = OpenAs("WS-A", {Standard, Load});
    // The open-file dialog reads who holds it without locking.
    auto summary = OpenAs("WS-B", {NoLock, SummaryLoad, Load});
    EXPECT_TRUE(summary->Locked && summary->LockedBy == "WS-A");
    // A save of another record object meanwhile survives the release.
    auto other = OpenAs("WS-B", {Standard, NoLock, Load});
    other->Name = "Saved meanwhile";
    ASSERT_EQ(other->Save({Standard}), 0);
    EXPECT_TRUE(first->LockFile(false, false) && !first->Locked);
    EXPECT_EQ(DiskKey("Name") + DiskKey("Locked") + DiskKey("LockedBy"), "Saved meanwhile0");
    EXPECT_TRUE(OpenAs("WS-B", {Standard, Load})->Locked);
}

TEST_F(EntityLockTest, OnlyAClientRecordIsEverWrittenByTheLock) {
    EXPECT_FALSE(Open({Standard, NoLock}, "NEW001")->LockFile(true, false));
    EXPECT_FALSE(QFile::exists(RecordPath("NEW001")));
    QByteArray junk;
    for (int i = 0; i < 512; ++i)
        junk.append(char(i * 37 % 256));
    WriteRecordBytes(junk);
    EXPECT_THROW(Open({Standard, Load, InteractiveLock}), EQuilvaneError);
    EXPECT_TRUE(Files->Log.isEmpty());
    EXPECT_EQ(ReadRecordBytes(), junk);
    EXPECT_TRUE(QFileInfo(RecordPath()).permissions() & QFileDevice::WriteOwner);
}

TEST_F(EntityLockTest, ALockerInsideAnothersReadAndWriteIsRefused) {
    WriteRecordBytes(SmallRecord());
    auto first = OpenAs("WS-A", {Standard, NoLock, Load});
    auto second = OpenAs("WS-B", {Standard, NoLock, Load});
    second->FileLock.GuardWaitMs = 0;
    bool secondTook = true;
    // WS-B tries at the worst moment: after WS-A found the file free, before WS-A wrote.
    first->FileLock.OnLockTested = [&] { secondTook = second->LockFile(true, false); };
    EXPECT_TRUE(first->LockFile(true, false));
    EXPECT_FALSE(secondTook);
    EXPECT_EQ(DiskKey("LockedBy"), "WS-A");
}

// A workstation that dies between the test of the keys and their write holds nothing.
TEST_F(EntityLockTest, ADeadLockerNeverBlocksAFreeRecord) {
    WriteRecordBytes(SmallRecord());
    auto dying = OpenAs("WS-DEAD", {Standard, NoLock, Load});
    dying->FileLock.OnLockTested = [] { ::raise(SIGKILL); };
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(dying->LockFile(true, false) ? 1 : 2);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    auto detail = Open({Standard, NoLock, Load});
    detail->FileLock.GuardWaitMs = 0;
    EXPECT_TRUE(detail->LockFile(true, false));
}

// Twenty workstations race for one record, taking and giving it back: never two hold it at once.
TEST_F(EntityLockTest, RacingWorkstationsNeverBothHoldTheRecord) {
    WriteRecordBytes(SmallRecord());
    TServices::SetFileSystem(std::make_shared<TLocalFileSystem>()); // the log is for one thread
    constexpr int Lockers = 20;
    std::vector<std::unique_ptr<TEntityDetail>> lockers;
    for (int i = 0; i < Lockers; ++i) {
        lockers.push_back(OpenAs(QString::number(i), {Standard, NoLock, Load}));
        // Lingering between finding the file free and writing the keys is where two unguarded
        // lockers would both get in.
        lockers.back()->FileLock.OnLockTested = [] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
    }
    std::atomic<int> ready{0}, holders{0}, overlaps{0}, wins{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < Lockers; ++i)
        threads.emplace_back([&, i] {
            for (++ready; ready < Lockers;)
                std::this_thread::yield();
            for (int round = 0; round < 3; ++round)
                if (lockers[i]->LockFile(true, false)) {
                    overlaps += holders++ != 0 ? 1 : 0;
                    ++wins;
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    --holders;
                    lockers[i]->LockFile(false, false);
                }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_GE(wins.load(), 3);
    EXPECT_EQ(DiskKey("Locked") + DiskKey("Name"), "0Acme");
}

// Ignore takes the keys over only from a holder that is gone: its companion lock is free (its
// process was killed holding it, or there never was one). A holder still running (its lock held,
// here by another handle) keeps them, and the next user meets the retry boxes again; keys taken
// over are given back at the close, and the next user opens without a box.
TEST_F(EntityLockTest, IgnoreTakesOverTheKeysOfAHolderThatIsGone) {
    enum THolder { Running, Killed, NoCompanion };
    for (const THolder holder : {Running, Killed, NoCompanion}) {
        SCOPED_TRACE(int(holder));
        WriteRecordBytes(SmallRecord("1", "OTHER"));
        TCompanionLock running;
        if (holder == Running) {
            ASSERT_TRUE(running.Take(RecordPath()));
        }
        if (holder == Killed) {
            const pid_t child = ::fork();
            if (child == 0) {
                TCompanionLock dying;
                if (dying.Take(RecordPath()))
                    ::raise(SIGKILL);
                ::_exit(2);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status));
            ASSERT_TRUE(QFileInfo(TCompanionLock::PathFor(RecordPath())).isFile()); // left behind
        }
        const bool gone = holder != Running;
        Prompt->Shown.clear();
        for (int i = 0; i < 5; ++i)
            Prompt->Answer(TMessageButton::Retry);
        Prompt->Answer(TMessageButton::Ignore);
        auto opened = Open({Standard, Load, InteractiveLock});
        ASSERT_EQ(Prompt->Shown.size(), 6);
        EXPECT_EQ(Prompt->Shown[5].Text, OverrideText + (gone ? TakenText : LeftText).arg("OTHER"));
        EXPECT_EQ(DiskKey("LockedBy"), gone ? "WORKSTATION1" : "OTHER");
        EXPECT_EQ(opened->FileLock.HoldsKeys(), gone);
        if (gone) {
            // Taken over, the lock guards this workstation as it guarded the one that is gone.
            EXPECT_FALSE(TCompanionLock::IsFree(RecordPath()));
            EXPECT_THROW(OpenAs("WS-C", {Standard, Load}), EAbort);
        }
        opened->ReleaseLock();
        Prompt->Shown.clear();
        if (gone) {
            EXPECT_EQ(DiskKey("Locked") + DiskKey("LockedBy"), "0");
            EXPECT_TRUE(OpenAs("WS-C", {Standard, Load, InteractiveLock})->Locked);
            EXPECT_TRUE(Prompt->Shown.isEmpty());
        } else {
            EXPECT_EQ(DiskKey("Locked") + DiskKey("LockedBy"), "1OTHER");
            Prompt->Answer(TMessageButton::Cancel);
            Prompt->Answer(TMessageButton::OK);
            EXPECT_THROW(OpenAs("WS-C", {Standard, Load, InteractiveLock}), EAbort);
            EXPECT_EQ(Prompt->Texts().value(0), RetryText);
        }
    }
}

// The companion lives as long as the keys (following the record to a new name is the rename's
// test). Whatever else stands at its name (a link out of the data folder, dangling or not, a
// second name of an outside file, a folder, a pipe) is never used or changed: a holder cannot be
// judged by it, so foreign keys are left, and free keys are taken all the same.
TEST_F(EntityLockTest, TheCompanionGoesWithTheKeysAndNothingElseAtItsNameIsUsed) {
    WriteRecordBytes(SmallRecord());
    const QString companion = TCompanionLock::PathFor(RecordPath());
    EXPECT_EQ(companion, RecordPath() + ".lock");
    {
        auto detail = Open({Standard, Load});
        EXPECT_TRUE(QFileInfo(companion).isFile() && !TCompanionLock::IsFree(RecordPath()));
    }
    EXPECT_FALSE(QFileInfo::exists(companion));

    const QString outside = TempPath("OUTSIDE");
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(WriteFileBytes(outside + "/victim", "victim"));
    const std::pair<const char*, std::function<bool()>> planted[] = {
        {"link", [&] { return QFile::link(outside + "/victim", companion); }},
        {"dangling link", [&] { return QFile::link(outside + "/made", companion); }},
        {"second name",
         [&] { return ::link(QFile::encodeName(outside + "/victim"), QFile::encodeName(companion)) == 0; }},
        {"folder", [&] { return QDir().mkdir(companion); }},
        {"pipe", [&] { return ::mkfifo(QFile::encodeName(companion), 0600) == 0; }},
    };
    for (const auto& [name, plant] : planted) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(plant());
        EXPECT_FALSE(TCompanionLock::IsFree(RecordPath()));
        TCompanionLock lock;
        EXPECT_FALSE(lock.Take(RecordPath()));
        WriteRecordBytes(SmallRecord("1", "OTHER"));
        for (int i = 0; i < 5; ++i)
            Prompt->Answer(TMessageButton::Retry);
        Prompt->Answer(TMessageButton::Ignore);
        EXPECT_FALSE(Open({Standard, Load, InteractiveLock})->FileLock.HoldsKeys());
        EXPECT_EQ(DiskKey("LockedBy"), "OTHER");
        WriteRecordBytes(SmallRecord());
        EXPECT_TRUE(Open({Standard, Load})->Locked);
        EXPECT_EQ(DiskKey("Locked") + DiskKey("LockedBy"), "0");
        EXPECT_EQ(QDir(outside).entryList(QDir::Files), QStringList{"victim"});
        EXPECT_EQ(ReadFileBytes(outside + "/victim"), "victim");
        QFileInfo(companion).isDir() ? QDir().rmdir(companion) : QFile::remove(companion);
        ASSERT_FALSE(QFileInfo(companion).exists() || QFileInfo(companion).isSymLink());
    }
}
