#include "tests/core/EntityTestSupport.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

ino_t FileId(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

using EntityLockTest = TEntityFixture;

TEST_F(EntityLockTest, AFreeFileIsTakenAndGivenBackAndOnlyTheLockKeysChange) {
    WriteRecordBytes(SmallRecord());
    auto detail = Open({Standard, Load});
    EXPECT_TRUE(detail->Locked);
    EXPECT_EQ(ReadRecordBytes(), SmallRecord("1", "WORKSTATION1"));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    // Closing is an explicit step; the destructor then has nothing left to do.
    detail->ReleaseLock();
    EXPECT_FALSE(detail->Locked);
    EXPECT_EQ(ReadRecordBytes(), SmallRecord());
    const QStringList log = Files->Entries();
    EXPECT_EQ(log.size(), 4);
    detail.reset();
    EXPECT_EQ(Files->Entries(), log);
    EXPECT_FALSE(QFileInfo(RecordPath()).permissions() & QFileDevice::WriteOwner);
    // The guard leaves nothing in the data folder.
    EXPECT_EQ(QDir(DataDir).entryList(QDir::Files | QDir::Hidden), QStringList{"ABC123.CFG"});
}

TEST_F(EntityLockTest, OwnKeysAreTakenOverAndForeignKeysRefusedWithoutWriting) {
    for (const QString holder : {"WORKSTATION1", "OTHER", "workstation1"}) {
        SCOPED_TRACE(holder.toStdString());
        WriteRecordBytes(SmallRecord("1", holder));
        const ino_t id = FileId(RecordPath());
        const QStringList log = Files->Entries();
        std::unique_ptr<TEntityDetail> opened;
        if (holder == "WORKSTATION1")
            EXPECT_TRUE((opened = Open({Standard, Load, InteractiveLock}))->Locked);
        else
            EXPECT_THROW(Open({Standard, Load}), EAbort);
        EXPECT_TRUE(Prompt->Shown.isEmpty() && Prompt->Beeps.isEmpty());
        EXPECT_EQ(FileId(RecordPath()), id); // the keys already said so, or were not ours
        EXPECT_EQ(DiskKey("LockedBy"), holder);
        EXPECT_EQ(Files->Entries(), log);
    }
}

TEST_F(EntityLockTest, InteractiveRefusalsOfferRetryThenOverrideThenDeny) {
    struct TCase {
        QList<TMessageButton> Answers;
        QStringList Texts;
        bool Opens;
    };
    const QStringList fiveRetries(5, RetryText);
    const TCase cases[] = {
        {QList<TMessageButton>(5, TMessageButton::Retry) << TMessageButton::Cancel << TMessageButton::OK,
         fiveRetries + QStringList{OverrideText, DeniedText}, false},
        {{TMessageButton::Cancel, TMessageButton::OK}, {RetryText, DeniedText}, false},
        {QList<TMessageButton>(11, TMessageButton::Retry) << TMessageButton::Ignore,
         fiveRetries + QStringList{OverrideText} + fiveRetries + QStringList{OverrideText}, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Texts.size());
        WriteRecordBytes(SmallRecord("1", "OTHER"));
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        for (TMessageButton answer : c.Answers)
            Prompt->Answer(answer);
        std::unique_ptr<TEntityDetail> opened;
        if (c.Opens)
            opened = Open({Standard, Load, InteractiveLock});
        else
            EXPECT_THROW(Open({Standard, Load, InteractiveLock}), EAbort);
        EXPECT_EQ(Prompt->Texts(), c.Texts);
        for (int i = 0; i < Prompt->Shown.size(); ++i) {
            const bool retryBox = c.Texts[i] == RetryText;
            EXPECT_EQ(Prompt->Beeps.value(i), retryBox ? TBeep::Warning : TBeep::Error);
            EXPECT_EQ(Prompt->Shown[i].HelpContext, c.Texts[i] == DeniedText ? 0 : 6000);
            EXPECT_EQ(Prompt->Shown[i].Buttons,
                      retryBox ? TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help
                      : c.Texts[i] == DeniedText ? TMessageButtons(TMessageButton::OK)
                                                 : TMessageButton::Cancel | TMessageButton::Retry |
                                                       TMessageButton::Ignore | TMessageButton::Help);
        }
        if (opened) {
            // Saving and closing a file opened over another's lock leave that lock alone.
            opened->Name = "Changed here";
            opened->Locked = false;
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
    EXPECT_THROW(OpenAs("WS-B", {Standard, Load}), EAbort);
    EXPECT_THROW(OpenAs("ws-a", {Standard, Load}), EAbort); // names compare exactly
    // The open-file dialog reads who holds it without locking.
    auto summary = OpenAs("WS-B", {NoLock, SummaryLoad, Load});
    EXPECT_TRUE(summary->Locked);
    EXPECT_EQ(summary->LockedBy, "WS-A");
    summary.reset();
    EXPECT_EQ(DiskKey("LockedBy"), "WS-A");

    // A save of another record object meanwhile survives the release.
    auto other = OpenAs("WS-A", {Standard, NoLock, Load});
    other->Name = "Saved meanwhile";
    ASSERT_EQ(other->Save({Standard}), 0);
    EXPECT_TRUE(first->LockFile(false, false));
    EXPECT_FALSE(first->Locked);
    EXPECT_EQ(DiskKey("Name") + DiskKey("Locked") + DiskKey("LockedBy"), "Saved meanwhile0");
    auto second = OpenAs("WS-B", {Standard, Load});
    EXPECT_EQ(DiskKey("LockedBy"), "WS-B");
}

TEST_F(EntityLockTest, OnlyAClientRecordIsEverWrittenByTheLock) {
    auto detail = Open({Standard, NoLock}, "NEW001");
    EXPECT_FALSE(detail->LockFile(true, false));
    EXPECT_FALSE(QFile::exists(RecordPath("NEW001")));

    QByteArray junk;
    for (int i = 0; i < 512; ++i)
        junk.append(char(i * 37 % 256));
    WriteRecordBytes(junk);
    EXPECT_THROW(Open({Standard, Load, InteractiveLock}), EQuilvaneError);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_EQ(ReadRecordBytes(), junk);
    EXPECT_TRUE(QFileInfo(RecordPath()).permissions() & QFileDevice::WriteOwner);
    EXPECT_TRUE(Files->Entries().isEmpty());
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
    first->FileLock.OnLockTested = nullptr;
    EXPECT_FALSE(second->LockFile(true, false));
    EXPECT_TRUE(first->LockFile(false, false));
    EXPECT_TRUE(second->LockFile(true, false));
    EXPECT_EQ(DiskKey("LockedBy"), "WS-B");
}

// A workstation that dies between the test of the keys and their write holds nothing.
TEST_F(EntityLockTest, ADeadLockerNeverBlocksAFreeRecord) {
    WriteRecordBytes(SmallRecord());
    auto dying = OpenAs("WS-DEAD", {Standard, NoLock, Load});
    dying->FileLock.OnLockTested = [] { ::raise(SIGKILL); };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dying->LockFile(true, false);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    auto detail = Open({Standard, NoLock, Load});
    detail->FileLock.GuardWaitMs = 0;
    EXPECT_TRUE(detail->LockFile(true, false));
    EXPECT_EQ(DiskKey("LockedBy"), "WORKSTATION1");
}

// Twenty workstations race for a free record, round after round: exactly one wins each time.
TEST_F(EntityLockTest, RacingWorkstationsLeaveExactlyOneHolder) {
    WriteRecordBytes(SmallRecord());
    constexpr int Lockers = 20;
    constexpr int Rounds = 5;
    std::vector<std::unique_ptr<TEntityDetail>> lockers;
    for (int i = 0; i < Lockers; ++i) {
        lockers.push_back(OpenAs(QStringLiteral("WS-%1").arg(i), {Standard, NoLock, Load}));
        // Lingering between finding the file free and writing the keys is where two unguarded
        // lockers would both get in.
        lockers.back()->FileLock.OnLockTested = [] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
    }
    for (int round = 0; round < Rounds; ++round) {
        std::atomic<int> ready{0};
        std::atomic<int> winners{0};
        std::atomic<int> winner{-1};
        std::vector<std::thread> threads;
        for (int i = 0; i < Lockers; ++i)
            threads.emplace_back([&, i] {
                for (++ready; ready < Lockers;)
                    std::this_thread::yield();
                if (lockers[i]->LockFile(true, false)) {
                    ++winners;
                    winner = i;
                }
            });
        for (std::thread& thread : threads)
            thread.join();
        ASSERT_EQ(winners.load(), 1);
        EXPECT_EQ(DiskKey("LockedBy"), QStringLiteral("WS-%1").arg(winner.load()));
        EXPECT_TRUE(lockers[winner]->LockFile(false, false));
    }
    EXPECT_EQ(DiskKey("Locked") + DiskKey("Name"), "0Acme");
}
