#include "core/files/Paths.h"
#include "core/files/FileQuestions.h"
#include "core/files/Wildcard.h"
#include "core/files/Workstation.h"

#include "core/common/Exceptions.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>

namespace {

// Drive X: is the test's folder; drive A: is removable, its disk going in after the drive has
// been looked at a number of times.
class TDrives : public TLocalFileSystem {
public:
    QString DriveRoot(QChar letter) const override {
        return letter != 'A' ? TLocalFileSystem::DriveRoot(letter) : Looks++ < EmptyLooks ? QString() : Root;
    }
    QString Root;
    int EmptyLooks = 0;
    mutable int Looks = 0;
};

class PathsTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Drives->Root = Temp.path();
        Drives->MapDrive('X', Temp.path());
        TServices::SetFileSystem(Drives);
    }
    void Touch(const QString& name) { ASSERT_TRUE(WriteFileBytes(TempPath(name), {})) << name.toStdString(); }
    std::shared_ptr<TDrives> Drives = std::make_shared<TDrives>();
};

} // namespace

TEST_F(PathsTest, PathsMasksFoldersEntityFilesAndProtection) {
    ASSERT_TRUE(QDir(Temp.path()).mkpath("DATA/M_DETAIL"));
    Touch("DATA/M_DETAIL/abc12306.adf");
    // clang-format off
    const std::pair<QString, QString> cases[] = {
        {"x:\\data\\M_DETAIL\\ABC12306.ADF", TempPath("DATA/M_DETAIL/abc12306.adf")},
        {"X:\\QUILVANE\\TRANSFER", TempPath("QUILVANE/TRANSFER")}, // not on disk: keeps its case
        {"X:\\", Temp.path()}, {"X:", Temp.path()}, {"Q:\\DATA", ""}, // Q: is mapped nowhere: not ready
        {TempPath("data/m_detail"), TempPath("DATA/M_DETAIL")}, {"M_DETAIL\\A.ADF", "M_DETAIL/A.ADF"}};
    // clang-format on
    for (const auto& [stored, native] : cases)
        EXPECT_EQ(NativePath(stored), native) << stored.toStdString();
    // A relative path is found from the working folder and stays relative, whole.
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(TempPath("DATA")));
    const QString relative = NativePath("m_detail\\ABC12306.ADF");
    QDir::setCurrent(working);
    EXPECT_EQ(relative, "M_DETAIL/abc12306.adf");
    EXPECT_EQ(Drives->DriveRoot('c'), QDir::homePath());
    const std::pair<TOptionSet, const char*> folders[] = {{TOptionSet{13}, "X:\\RORI\\ABC123"},
                                                          {TOptionSet{2}, "C:\\QV\\TRANSFER"},
                                                          {TOptionSet{2, 13}, "X:\\RORI\\ABC123"},
                                                          {TOptionSet{}, "D:\\DATA"}};
    for (const auto& [options, expected] : folders)
        EXPECT_EQ(GetEntityDataDir("ABC123", "D:\\DATA", "X:\\QUILVANE\\TRANSFER", "C:\\QV", options),
                  expected);
    // An empty base folder would otherwise point at the root of the disk.
    EXPECT_THROW(GetEntityDataDir("ABC123", "", "X:\\T", "C:\\QV", TOptionSet{}), EQuilvaneError);
    EXPECT_THROW(GetEntityDataDir("ABC123", "D:\\DATA", "X:\\T", "", TOptionSet{2}), EQuilvaneError);
    EXPECT_THROW(GetEntityDataDir("ABC123", "D:\\DATA", "", "C:\\QV", TOptionSet{13}), EQuilvaneError);

    ASSERT_TRUE(QDir(Temp.path()).mkpath("DATA/SUB.CFG"));
    for (const char* name : {"abc123.cfg", "XYZ999.CFG", ".hid001.CFG", "ABC123.CFG.BAK", "ABC12306.ADF"})
        Touch(QStringLiteral("DATA/") + name);
    QStringList list{"stale"};
    EXPECT_EQ(ListEntityFiles(list, "x:\\Data"), 3);
    EXPECT_EQ(list, (QStringList{".HID001.CFG", "ABC123.CFG", "XYZ999.CFG"}));
    EXPECT_THROW(ListEntityFiles(list, ""), EQuilvaneError);
    Drives->MapDrive('x', TempPath("absent"));
    EXPECT_TRUE(Drives->DriveRoot('X').isEmpty());
    Drives->MapDrive('X', "");
    EXPECT_TRUE(NativePath("X:\\DATA").isEmpty());
    // Protecting through a link would change a file the link points at, anywhere: refused both ways.
    const QString path = TempPath("ABC123.CFG"), link = TempPath("LINK.CFG");
    Touch("ABC123.CFG");
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(Drives->SetProtected(path, true));
    EXPECT_FALSE(Drives->SetProtected(link, false));
    EXPECT_FALSE(QFile(path).permissions() & QFileDevice::WriteOwner);
    ASSERT_TRUE(Drives->SetProtected(path, false));
    EXPECT_FALSE(Drives->SetProtected(link, true));
    EXPECT_TRUE(QFile(path).permissions() & QFileDevice::WriteOwner);
    EXPECT_FALSE(Drives->SetProtected(TempPath("missing"), true));
    // clang-format off
    const std::pair<QStringList, const char*> paths[] = {
        {{"C:\\A", "", "B"}, "C:\\A\\B"}, {{"", "B"}, "\\B"}, {{"C:\\DATA\\", "\\T"}, "C:\\DATA\\T"},
        {{"C:\\DATA", "M_DETAIL", "ABC"}, "C:\\DATA\\M_DETAIL\\ABC"}, {{"C:\\DATA\\", "M"}, "C:\\DATA\\M"},
        {{"C:", "\\X"}, "C:\\X"}, {{"", ""}, ""}, {{}, ""}};
    const std::tuple<const char*, const char*, bool> masks[] = {
        {"ABC123.CFG", "*.cfg", true}, {"abc123.cfg", "ABC???.CFG", true}, {"ABC12.CFG", "ABC???.CFG", false},
        {"ABC123.CFG.BAK", "*.CFG", false}, {"README", "*.*", true}, {"a.b.c", "*.*", true},
        {"ABC123", "ABC123.*", true}, {"ABC124", "ABC123.*", false}, {"ABC12306.PA1", "ABC123*.PA?", true},
        {"", "*", true}, {"x", "", false}, {"aXbXc", "a*b*c", true}, {"AB", "ABCD", false}};
    // clang-format on
    for (const auto& [parts, expected] : paths)
        EXPECT_EQ(BuildPath(parts), expected) << parts.join('|').toStdString();
    for (const auto& [name, mask, matches] : masks)
        EXPECT_EQ(MatchesWildcard(name, mask), matches) << name << " " << mask;
}

TEST_F(PathsTest, ReplaceAnswersRemovableDisksAndTheWorkstation) {
    const std::tuple<TOptionSet, TMessageButton, bool, TOptionSet> cases[] = {
        {{17, 3}, TMessageButton::Yes, true, {17, 3}},
        {{17, 3}, TMessageButton::No, false, {17, 3}},
        {{17, 3}, TMessageButton::All, true, {3}},        // the rest replaces without asking
        {{17}, TMessageButton::Cancel, false, {17, 29}}}; // the caller stops on 29
    for (const auto& [before, answer, replace, after] : cases) {
        TOptionSet options = before;
        Prompt->Answer(answer);
        EXPECT_EQ(ConfirmReplaceFile("ABC12306.ADF", options), replace);
        EXPECT_EQ(options, after);
    }
    EXPECT_EQ(Prompt->Texts(), QStringList(4, "A file for ABC12306.ADF aleady exists.\rReplace this file ?"));
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Question);
    EXPECT_EQ(Prompt->Shown[0].Buttons,
              TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel | TMessageButton::All);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(4, TBeep::Question));
    // A fixed disk is ready without a question. A removable one is looked at once to tell it is
    // removable, then once before each question.
    Prompt->Shown.clear(), Prompt->Beeps.clear();
    EXPECT_EQ(ConfirmDiskReady('c', 10, true), DiskReady);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    // clang-format off
    const std::tuple<int, int, bool, QList<TMessageButton>, int, QStringList> disks[] = {
        {2, 10, false, {TMessageButton::Yes}, DiskReady, {"Is a BACKUP floppy disk ready in drive A:?"}},
        {1000, 7, false, {TMessageButton::Yes, TMessageButton::Cancel}, DiskCancelled,
         QStringList(2, "Is a TRANSFER floppy disk ready in drive A:?")},
        {1, 1, true, {TMessageButton::Yes}, DiskReady, {"Is a EXPORT floppy disk ready in drive A:?"}}};
    // clang-format on
    for (const auto& [emptyLooks, processKind, skipFirstCheck, answers, result, texts] : disks) {
        Drives->EmptyLooks = emptyLooks;
        Drives->Looks = 0;
        Prompt->Shown.clear();
        for (TMessageButton answer : answers)
            Prompt->Answer(answer);
        EXPECT_EQ(ConfirmDiskReady('a', processKind, skipFirstCheck), result);
        EXPECT_EQ(Prompt->Texts(), texts);
    }
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Yes | TMessageButton::Cancel);
    Identity->Computer = "  PRACTICE-PC7 ";
    EXPECT_EQ(GetComputerNameText(), "PRACTICE-PC7");
    EXPECT_TRUE(GetProductVersion().front().isDigit());
}

// The transfer drive is the first letter of the stored transfer folder: only a drive letter
// makes one, never a text that would name a folder of the working directory.
TEST_F(PathsTest, OnlyADriveLetterMakesTheTransferDrive) {
    for (const QString& xfer : {QString::fromUtf8("\xc3\xa9:\\QUILVANE\\TRANSFER"), QString("1:\\T"),
                                QString(".\\T"), QString::fromUtf8("\xce\xa9\\T")})
        EXPECT_THROW(GetEntityDataDir("ABC123", "D:\\DATA", xfer, "C:\\QV", TOptionSet{13}), EQuilvaneError)
            << xfer.toStdString();
    EXPECT_EQ(GetEntityDataDir("ABC123", "D:\\DATA", "z:\\T", "C:\\QV", TOptionSet{13}), "z:\\RORI\\ABC123");
}

// A stored name may not climb out of the folder it is joined to, nor lead out of it through a
// link; the folder itself may be reached through one.
TEST_F(PathsTest, NamesStayInsideTheirFolder) {
    const std::pair<const char*, bool> climbs[] = {
        {"..", true},           {"..\\X", true},   {"A\\..\\..\\X", true}, {"A/../X", true},
        {"C:\\DATA\\..", true}, {"...\\X", false}, {"..X", false},         {"A..\\X", false},
        {"X..", false},         {"", false},       {"A\\.\\X", false},     {"M_DETAIL\\X.ADF", false}};
    for (const auto& [name, climbing] : climbs)
        EXPECT_EQ(ClimbsOutOfFolder(name), climbing) << name;

    const QString data = TempPath("DATA"), outside = TempPath("OUTSIDE");
    ASSERT_TRUE(QDir().mkpath(data + "/SUB") && QDir().mkpath(outside));
    Touch("DATA/SUB/IN.ADF");
    Touch("OUTSIDE/OUT.ADF");
    ASSERT_TRUE(
        QFile::link(outside, data + "/LINKED") && QFile::link(outside + "/OUT.ADF", data + "/OUT.ADF") &&
        QFile::link(data + "/SUB/IN.ADF", data + "/IN.ADF") &&
        QFile::link(TempPath("NOWHERE"), data + "/DANGLING") && QFile::link(data, TempPath("DATALINK")));
    const std::tuple<QString, QString, bool> cases[] = {
        {data, data + "/SUB/IN.ADF", true},
        {data, data + "/SUB/NEW/NEW.ADF", true},
        {data, data, true},
        {data, data + "/IN.ADF", true}, // a link that stays inside
        {data, data + "/OUT.ADF", false},
        {data, data + "/LINKED/OUT.ADF", false},
        {data, data + "/LINKED/NEW.ADF", false},
        {data, data + "/DANGLING", false},
        {data, data + "/DANGLING/X", false},
        {data, outside + "/OUT.ADF", false},
        {data, TempPath("DATA2/X"), false},
        {TempPath("DATALINK"), data + "/SUB/IN.ADF", true},
        {data, TempPath("DATALINK/SUB/IN.ADF"), true},
        {data, "SUB/IN.ADF", true}, // relative to the folder
        {TempPath("NEW"), TempPath("NEW/A/B"), true},
        {TempPath("NEW"), TempPath("NEWER/A"), false}};
    for (const auto& [folder, path, inside] : cases)
        EXPECT_EQ(LiesInsideFolder(folder, path), inside)
            << folder.toStdString() << " " << path.toStdString();
}
