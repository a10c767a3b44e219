#include "core/files/FileQuestions.h"
#include "core/files/Workstation.h"

#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"
#include "tests/support/ServicesFixture.h"

namespace {

// A drive whose disk goes in after the drive has been looked at a number of times.
class TDiskInsertedLater : public TLocalFileSystem {
public:
    TDiskInsertedLater(QString root, int emptyLooks) : Root(std::move(root)), EmptyLooks(emptyLooks) {}
    QString DriveRoot(QChar letter) const override {
        if (letter != QLatin1Char('A'))
            return TLocalFileSystem::DriveRoot(letter);
        return Looks++ < EmptyLooks ? QString() : Root;
    }
    QString Root;
    int EmptyLooks;
    mutable int Looks = 0;
};

class FileQuestionsTest : public TServicesFixture {};

const QString ReplaceText = QStringLiteral("A file for ABC12306.ADF aleady exists.\rReplace this file ?");

} // namespace

TEST_F(FileQuestionsTest, ReplaceAnswersAndTheOptionsTheyLeave) {
    TOptionSet options{17, 3};
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_TRUE(ConfirmReplaceFile("ABC12306.ADF", options));
    EXPECT_EQ(options, (TOptionSet{17, 3}));

    Prompt->Answer(TMessageButton::No);
    EXPECT_FALSE(ConfirmReplaceFile("ABC12306.ADF", options));
    EXPECT_EQ(options, (TOptionSet{17, 3}));

    // All: the rest of the operation replaces without asking.
    Prompt->Answer(TMessageButton::All);
    EXPECT_TRUE(ConfirmReplaceFile("ABC12306.ADF", options));
    EXPECT_EQ(options, (TOptionSet{3}));

    // Cancel: the caller stops on element 29.
    options = TOptionSet{17};
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_FALSE(ConfirmReplaceFile("ABC12306.ADF", options));
    EXPECT_EQ(options, (TOptionSet{17, 29}));

    ASSERT_EQ(Prompt->Shown.size(), 4);
    EXPECT_EQ(Prompt->Shown[0].Text, ReplaceText);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Question);
    EXPECT_EQ(Prompt->Shown[0].Buttons,
              TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel | TMessageButton::All);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(4, TBeep::Question));
}

TEST_F(FileQuestionsTest, FixedDiskIsReadyWithoutAQuestion) {
    EXPECT_EQ(ConfirmDiskReady(QLatin1Char('C'), 10, false), DiskReady);
    EXPECT_EQ(ConfirmDiskReady(QLatin1Char('c'), 6, true), DiskReady);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(FileQuestionsTest, RemovableDriveIsAskedForUntilTheDiskAnswers) {
    // Looked at once to tell it is removable, once more before the first question.
    auto drives = std::make_shared<TDiskInsertedLater>(Temp.path(), 2);
    TServices::SetFileSystem(drives);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(ConfirmDiskReady(QLatin1Char('a'), 10, false), DiskReady);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Is a BACKUP floppy disk ready in drive A:?"});
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Yes | TMessageButton::Cancel);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Question});
}

TEST_F(FileQuestionsTest, RemovableDriveCancelAndAskingFirst) {
    auto drives = std::make_shared<TDiskInsertedLater>(Temp.path(), 1000);
    TServices::SetFileSystem(drives);
    Prompt->Answer(TMessageButton::Yes);
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_EQ(ConfirmDiskReady(QLatin1Char('A'), 7, false), DiskCancelled);
    EXPECT_EQ(Prompt->Texts(), QStringList(2, "Is a TRANSFER floppy disk ready in drive A:?"));

    // With the first check skipped the question comes even though the disk is in.
    drives->EmptyLooks = 1;
    drives->Looks = 0;
    Prompt->Shown.clear();
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(ConfirmDiskReady(QLatin1Char('A'), 1, true), DiskReady);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Is a EXPORT floppy disk ready in drive A:?"});
}

TEST_F(FileQuestionsTest, ComputerNameIsTrimmedAndVersionIsSet) {
    Identity->Computer = QStringLiteral("  PRACTICE-PC7 ");
    EXPECT_EQ(GetComputerNameText(), "PRACTICE-PC7");
    EXPECT_FALSE(GetProductVersion().isEmpty());
    EXPECT_TRUE(GetProductVersion().front().isDigit());
}
