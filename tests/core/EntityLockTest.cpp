#include "tests/core/EntityTestSupport.h"

#include "core/common/Exceptions.h"

#include <atomic>
#include <chrono>
#include <sys/stat.h>
#include <thread>

using namespace Option;

namespace {

const QString RetryText = QStringLiteral("File code ABC123 is aleady opened by user \"OTHER\".\r\nPlease "
                                         "check that \"OTHER\" has finished working with the "
                                         "file before retrying.");
const QString OverrideText = QStringLiteral("QUILVANE was unable to lock ABC123 for exclusive use.\r\nYou "
                                            "can continue, however data integrity is not "
                                            "guaranteed.\r\nChoose ignore to continue and open this file.");
const QString DeniedText = QStringLiteral(
    "QUILVANE was unable to lock ABC123 for exclusive use. Access to this file has been denied.");

ino_t FileId(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class EntityLockTest : public TEntityFixture {
protected:
    QString DiskKey(const QString& key) const {
        return TIniFile(RecordPath()).ReadString("CONFIGURATION", key, "<missing>");
    }

    // The record of another workstation, made the way this program makes it.
    std::unique_ptr<TEntityDetail> OpenAs(const QString& workstation, const TOptionSet& options) {
        const QString own = Params->UserName;
        Params->UserName = workstation;
        std::unique_ptr<TEntityDetail> detail;
        try {
            detail = Open(options);
        } catch (...) {
            Params->UserName = own;
            throw;
        }
        Params->UserName = own;
        return detail;
    }
};

TEST_F(EntityLockTest, AFreeFileIsTakenAndOnlyTheLockKeysChange) {
    const QByteArray before = SmallRecord("0", "");
    WriteRecordBytes(before);
    {
        auto detail = Open({Standard, Load});
        EXPECT_TRUE(detail->Locked);
        EXPECT_EQ(DiskKey("Locked"), "1");
        EXPECT_EQ(DiskKey("LockedBy"), "WORKSTATION1");
        EXPECT_EQ(ReadRecordBytes(), SmallRecord("1", "WORKSTATION1"));
        EXPECT_TRUE(Prompt->Shown.isEmpty());
    }
    // Closing gives it back, and the rest of the record is as it was.
    EXPECT_EQ(ReadRecordBytes(), before);
    EXPECT_FALSE(QFileInfo(RecordPath()).permissions() & QFileDevice::WriteOwner);
    EXPECT_FALSE(QFile::exists(RecordPath() + ".lck"));
}

TEST_F(EntityLockTest, ThisWorkstationsOwnStaleLockIsTakenOverWithoutABox) {
    WriteRecordBytes(SmallRecord("1", "WORKSTATION1"));
    const ino_t before = FileId(RecordPath());
    auto detail = Open({Standard, Load, InteractiveLock});
    EXPECT_TRUE(detail->Locked);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_TRUE(Prompt->Beeps.isEmpty());
    // The keys already said so: nothing needed writing.
    EXPECT_EQ(FileId(RecordPath()), before);
}

TEST_F(EntityLockTest, AForeignLockRefusesSilentlyAndWritesNothing) {
    WriteRecordBytes(SmallRecord("1", "OTHER"));
    const QByteArray before = ReadRecordBytes();
    const ino_t id = FileId(RecordPath());
    EXPECT_THROW(Open({Standard, Load}), EAbort);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_TRUE(Prompt->Beeps.isEmpty());
    EXPECT_EQ(ReadRecordBytes(), before);
    EXPECT_EQ(FileId(RecordPath()), id);
    EXPECT_TRUE(Files->Entries().isEmpty());
}

TEST_F(EntityLockTest, FiveRetriesThenTheOverrideBoxThenCancelDenies) {
    WriteRecordBytes(SmallRecord("1", "OTHER"));
    for (int i = 0; i < 5; ++i)
        Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Cancel);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(Open({Standard, Load, InteractiveLock}), EAbort);

    ASSERT_EQ(Prompt->Shown.size(), 7);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Prompt->Shown[i].Text, RetryText);
        EXPECT_EQ(Prompt->Shown[i].Kind, TMessageKind::Information);
        EXPECT_EQ(Prompt->Shown[i].Buttons,
                  TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help);
        EXPECT_EQ(Prompt->Shown[i].HelpContext, 6000);
    }
    EXPECT_EQ(Prompt->Shown[5].Text, OverrideText);
    EXPECT_EQ(Prompt->Shown[5].Buttons,
              TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Ignore | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[5].HelpContext, 6000);
    EXPECT_EQ(Prompt->Shown[6].Text, DeniedText);
    EXPECT_EQ(Prompt->Shown[6].Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(Prompt->Shown[6].HelpContext, 0);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Warning, TBeep::Warning, TBeep::Warning, TBeep::Warning,
                                           TBeep::Warning, TBeep::Error, TBeep::Error}));
    EXPECT_EQ(DiskKey("LockedBy"), "OTHER");
}

TEST_F(EntityLockTest, CancelOnARetryBoxDeniesAtOnce) {
    WriteRecordBytes(SmallRecord("1", "OTHER"));
    Prompt->Answer(TMessageButton::Cancel);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(Open({Standard, Load, InteractiveLock}), EAbort);
    EXPECT_EQ(Prompt->Texts(), QStringList({RetryText, DeniedText}));
}

TEST_F(EntityLockTest, OverrideRetryStartsFiveMoreAttemptsAndIgnoreOpensWithoutTheLock) {
    WriteRecordBytes(SmallRecord("1", "OTHER"));
    // Five retry boxes, override Retry, five more retry boxes, override Ignore.
    for (int i = 0; i < 11; ++i)
        Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    {
        auto opened = Open({Standard, Load, InteractiveLock});
        EXPECT_TRUE(opened->Locked);
        const QStringList texts = Prompt->Texts();
        ASSERT_EQ(texts.size(), 12);
        EXPECT_EQ(texts.count(RetryText), 10);
        EXPECT_EQ(texts[5], OverrideText);
        EXPECT_EQ(texts[11], OverrideText);
        EXPECT_EQ(DiskKey("LockedBy"), "OTHER");

        // Saving a file opened this way leaves the other workstation's keys alone, whatever
        // the record holds in memory.
        opened->Name = "Changed here";
        opened->Locked = false;
        ASSERT_EQ(opened->Save({Standard}), 0);
        EXPECT_EQ(DiskKey("Locked"), "1");
        EXPECT_EQ(DiskKey("LockedBy"), "OTHER");
        opened->Locked = true;
    }
    // Closing does not clear another workstation's lock either.
    EXPECT_EQ(DiskKey("Locked"), "1");
    EXPECT_EQ(DiskKey("LockedBy"), "OTHER");
    EXPECT_EQ(DiskKey("Name"), "Changed here");
}

TEST_F(EntityLockTest, TwoWorkstationsAgainstOneFolder) {
    WriteRecordBytes(SmallRecord("0", ""));
    auto first = OpenAs("WS-A", {Standard, Load});
    EXPECT_EQ(DiskKey("LockedBy"), "WS-A");
    EXPECT_THROW(OpenAs("WS-B", {Standard, Load}), EAbort);
    // Names compare exactly: another case is another workstation.
    EXPECT_THROW(OpenAs("ws-a", {Standard, Load}), EAbort);

    // The open-file dialog reads who holds it without locking.
    auto summary = OpenAs("WS-B", {NoLock, SummaryLoad, Load});
    EXPECT_TRUE(summary->Locked);
    EXPECT_EQ(summary->LockedBy, "WS-A");
    summary.reset();
    EXPECT_EQ(DiskKey("LockedBy"), "WS-A");

    first.reset();
    EXPECT_EQ(DiskKey("Locked"), "0");
    auto second = OpenAs("WS-B", {Standard, Load});
    EXPECT_EQ(DiskKey("LockedBy"), "WS-B");
}

TEST_F(EntityLockTest, ReleasingKeepsWhatAnotherWriterPutOnDisk) {
    WriteRecordBytes(SmallRecord("0", ""));
    auto detail = Open({Standard, Load});
    // Another record object of this workstation saves a new name meanwhile.
    auto other = Open({Standard, NoLock, Load});
    other->Name = "Saved meanwhile";
    ASSERT_EQ(other->Save({Standard}), 0);
    EXPECT_EQ(DiskKey("LockedBy"), "WORKSTATION1");

    EXPECT_TRUE(detail->LockFile(false, false));
    EXPECT_FALSE(detail->Locked);
    EXPECT_EQ(DiskKey("Name"), "Saved meanwhile");
    EXPECT_EQ(DiskKey("Locked"), "0");
    EXPECT_EQ(DiskKey("LockedBy"), "");
}

TEST_F(EntityLockTest, AMissingRecordIsNeverCreatedByTheLock) {
    auto detail = Open({Standard, NoLock}, "NEW001");
    EXPECT_FALSE(detail->LockFile(true, false));
    EXPECT_FALSE(QFile::exists(RecordPath("NEW001")));
}

TEST_F(EntityLockTest, AWriteFailurePassesOutInsteadOfARetryBox) {
    WriteRecordBytes(SmallRecord("0", ""));
    Files->RefuseUnprotect = true;
    EXPECT_THROW(Open({Standard, Load, InteractiveLock}), EQuilvaneError);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    EXPECT_EQ(DiskKey("Locked"), "0");
    Files->RefuseUnprotect = false;
    // The failure left no guard behind: the next attempt goes ahead.
    auto detail = Open({Standard, Load});
    EXPECT_EQ(DiskKey("Locked"), "1");
}

TEST_F(EntityLockTest, ALockerInsideAnothersReadAndWriteIsRefused) {
    WriteRecordBytes(SmallRecord("0", ""));
    auto first = OpenAs("WS-A", {Standard, NoLock, Load});
    auto second = OpenAs("WS-B", {Standard, NoLock, Load});
    second->GuardWaitMs = 0;
    bool secondTook = true;
    // WS-B tries at the worst moment: after WS-A found the file free, before WS-A wrote.
    first->OnLockTested = [&] { secondTook = second->LockFile(true, false); };
    EXPECT_TRUE(first->LockFile(true, false));
    EXPECT_FALSE(secondTook);
    EXPECT_EQ(DiskKey("LockedBy"), "WS-A");
    first->OnLockTested = nullptr;
    EXPECT_FALSE(second->LockFile(true, false));
    EXPECT_TRUE(first->LockFile(false, false));
    EXPECT_TRUE(second->LockFile(true, false));
    EXPECT_EQ(DiskKey("LockedBy"), "WS-B");
    EXPECT_TRUE(second->LockFile(false, false));
}

TEST_F(EntityLockTest, TwoLockersHammeringOneRecordNeverBothHoldIt) {
    WriteRecordBytes(SmallRecord("0", ""));
    constexpr int Rounds = 40;
    std::atomic<int> holders{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> wins[2] = {0, 0};
    const QString names[2] = {"WS-A", "WS-B"};
    std::unique_ptr<TEntityDetail> lockers[2] = {OpenAs(names[0], {Standard, NoLock, Load}),
                                                 OpenAs(names[1], {Standard, NoLock, Load})};
    // Each locker lingers between finding the file free and writing its keys, which is where
    // two unguarded lockers would both get in.
    for (auto& locker : lockers)
        locker->OnLockTested = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
    const auto run = [&](int who) {
        for (int round = 0; round < Rounds; ++round) {
            if (!lockers[who]->LockFile(true, false))
                continue;
            if (holders.fetch_add(1) != 0)
                ++overlaps;
            ++wins[who];
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            // Whoever holds the file finds its own name on it.
            if (TIniFile(RecordPath()).ReadString("CONFIGURATION", "LockedBy", "") != names[who])
                ++overlaps;
            holders.fetch_sub(1);
            lockers[who]->LockFile(false, false);
        }
    };
    std::thread a(run, 0);
    std::thread b(run, 1);
    a.join();
    b.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_GT(wins[0].load() + wins[1].load(), 0);
    EXPECT_EQ(DiskKey("Locked"), "0");
    EXPECT_EQ(DiskKey("Name"), "Acme");
    EXPECT_FALSE(QFile::exists(RecordPath() + ".lck"));
}
