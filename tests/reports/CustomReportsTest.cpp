// The report-definition lists of a file's own level: their file names, and loads and saves that
// keep each file as it is.

#include "reports/definitions/CustomReports.h"
#include "core/charts/MasterChart.h"
#include "core/common/Exceptions.h"
#include "core/entity/EntityInfo.h"
#include "core/files/Paths.h"
#include "tests/core/EntityTestSupport.h"

#include <QDir>
#include <QFile>

namespace {

// A definition file as the value stream starts it: the identifier "<kind>,V5.60" (tag 7, length),
// then a list with a few values of whatever the definitions hold.
QByteArray DefinitionFile(const QByteArray& kind, const QByteArray& body = "\x06\x05Sales") {
    const QByteArray ident = kind + ",V5.60";
    return QByteArray("\x07") + char(ident.size()) + ident + '\x01' + body + '\0';
}

class CustomReportsTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Entity.FileCode = "ABC123";
        Entity.DataDir = TempPath("DATA");
        Entity.XferDir = "X:\\QUILVANE\\TRANSFER";
        Entity.ProgramDataDir = "P:\\QUILVANE";
        ASSERT_TRUE(QDir().mkpath(TempPath("DATA/M_DETAIL")));
    }
    QString Formats() const { return TempPath("DATA/M_DETAIL/ABC123.RFT"); }
    QString Layouts() const { return TempPath("DATA/M_DETAIL/ABC123.RLO"); }
    static QStringList Names(const QString& folder) { return QDir(folder).entryList(QDir::Files); }

    TChartEntity Entity;
};

TEST_F(CustomReportsTest, FileLevelNamesOneFilePerCodeWithoutYearDigits) {
    Entity.DataDir = "C:\\QUILVANE\\DATA";
    TCustomReports reports(Entity, ReportLevelMask::File, {Option::Standard});
    const struct {
        TOptionSet Options;
        QString Formats, Layouts;
    } cases[] = {
        {{Option::Standard},
         "C:\\QUILVANE\\DATA\\M_DETAIL\\ABC123.RFT",
         "C:\\QUILVANE\\DATA\\M_DETAIL\\ABC123.RLO"},
        {{Option::Standard, Option::TransferFolder},
         "P:\\QUILVANE\\TRANSFER\\M_DETAIL\\ABC123.RFT",
         "P:\\QUILVANE\\TRANSFER\\M_DETAIL\\ABC123.RLO"},
        {{Option::TransferDrive},
         "X:\\RORI\\ABC123\\M_DETAIL\\ABC123.RFT",
         "X:\\RORI\\ABC123\\M_DETAIL\\ABC123.RLO"},
        // A year option names no other file: definitions are kept across the years.
        {{Option::PreviousYear},
         "C:\\QUILVANE\\DATA\\M_DETAIL\\ABC123.RFT",
         "C:\\QUILVANE\\DATA\\M_DETAIL\\ABC123.RLO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Formats.toStdString());
        EXPECT_EQ(reports.LevelFileName(rlFile, c.Options), c.Formats);
        EXPECT_EQ(reports.Layouts().LevelFileName(rlFile, c.Options), c.Layouts);
    }
    EXPECT_EQ(reports.KindNoun(), "Report Formats");
    EXPECT_EQ(reports.Layouts().KindNoun(), "Report Layouts");
    EXPECT_THROW(reports.LevelFileName(rlMaster, {}), EQuilvaneError);
    EXPECT_THROW(reports.LoadLevel(rlPractice, {}), EQuilvaneError);
    // Only the file's own level is kept.
    EXPECT_THROW(TCustomReports(Entity, 1 << rlMaster, {}), EQuilvaneError);
    EXPECT_THROW(TCustomReports(Entity, ReportLevelMask::File | 1 << rlPractice, {}), EQuilvaneError);
}

// The transfer in's road: the container loads the file's definitions on creation, the archive's
// file is extracted over them, a merge loads and saves that file, which stays byte for byte.
TEST_F(CustomReportsTest, MergeLoadAndSaveKeepTheArrivedFileAsItIs) {
    const QByteArray own = DefinitionFile("Report Formats");
    const QByteArray arrived = DefinitionFile("Report Formats", "\x06\x08"
                                                                "Expenses\x02\x07");
    ASSERT_TRUE(WriteFileBytes(Formats(), own));
    ASSERT_TRUE(WriteFileBytes(Layouts(), DefinitionFile("Report Layouts")));

    TCustomReports reports(Entity, ReportLevelMask::File, {Option::Standard, Option::Load});
    EXPECT_EQ(reports.LoadResult(), 0);
    EXPECT_EQ(reports.LevelData(rlFile), own);
    EXPECT_TRUE(reports.Layouts().IsLoaded(rlFile));
    EXPECT_FALSE(reports.IsModified(rlFile));

    ASSERT_TRUE(WriteFileBytes(Formats(), arrived));
    EXPECT_EQ(reports.LoadLevel(rlFile, {Option::Standard, Option::Load, Option::MergeLoad}), 0);
    EXPECT_TRUE(reports.IsModified(rlFile));
    EXPECT_EQ(reports.SaveLevel(rlFile, {Option::Standard}), 0);
    EXPECT_FALSE(reports.IsModified(rlFile));
    EXPECT_EQ(ReadFileBytes(Formats()), arrived);
    EXPECT_EQ(Names(TempPath("DATA/M_DETAIL")), (QStringList{"ABC123.RFT", "ABC123.RLO"})); // no leftovers
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(CustomReportsTest, MissingFileLoadsNothingAndSavesNothing) {
    TCustomReports reports(Entity, ReportLevelMask::File, {Option::Standard, Option::Load});
    EXPECT_EQ(reports.LoadResult(), 0);
    EXPECT_FALSE(reports.IsLoaded(rlFile));
    EXPECT_EQ(reports.SaveLevel(rlFile, {}), 0);
    EXPECT_FALSE(QFile::exists(Formats()));

    // Asked for, a missing file is a failure, offered again.
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(reports.Layouts().LoadLevel(rlFile, {Option::MustExist}), -1);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{"Unable to load Report Layouts file for ABC123. \r(File not found)"});
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_EQ(reports.Layouts().SaveLevel(rlFile, {}), 0); // nothing on disk to protect, nothing held
}

TEST_F(CustomReportsTest, FileOfAnotherKindIsRefusedAndNeverOverwritten) {
    const QByteArray layouts = DefinitionFile("Report Layouts");
    ASSERT_TRUE(WriteFileBytes(Formats(), layouts));
    TCustomReports reports(Entity, ReportLevelMask::File, {});

    EXPECT_EQ(reports.LoadLevel(rlFile, {Option::Silent}), ChartResult::WrongKind);
    EXPECT_TRUE(Prompt->Shown.isEmpty());

    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(reports.LoadLevel(rlFile, {}), -1);
    EXPECT_EQ(Prompt->Texts().value(1),
              "Unable to load Report Formats file for ABC123. \r(ABC123.RFT is not a Report Formats file)");
    EXPECT_TRUE(reports.IsSaveBlocked(rlFile));
    EXPECT_EQ(reports.SaveLevel(rlFile, {}), ChartResult::Refused);
    EXPECT_EQ(ReadFileBytes(Formats()), layouts);

    // Bytes that are no value stream at all.
    ASSERT_TRUE(WriteFileBytes(Formats(), "\xFF\x01garbage"));
    EXPECT_EQ(reports.LoadLevel(rlFile, {Option::Silent}), ChartResult::WrongKind);
}

TEST_F(CustomReportsTest, FailedSaveLeavesTheOldFile) {
    const QByteArray own = DefinitionFile("Report Formats");
    ASSERT_TRUE(WriteFileBytes(Formats(), own));
    TCustomReports reports(Entity, ReportLevelMask::File, {Option::Load});
    ASSERT_TRUE(reports.IsLoaded(rlFile));

    // A file that is a symbolic link is never written through.
    const QString target = TempPath("elsewhere.RFT");
    ASSERT_TRUE(QFile::remove(Formats()));
    ASSERT_TRUE(QFile::link(target, Formats()));
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(reports.SaveLevel(rlFile, {}), -1);
    ASSERT_EQ(Prompt->Texts().size(), 1);
    EXPECT_TRUE(Prompt->Texts()[0].startsWith("Unable to save Report Formats file for ABC123. \r("));
    EXPECT_FALSE(QFile::exists(target));
}

// The container as the transfer in makes it: on the open file, its own level, options {0, 7}.
class CustomReportsEntityTest : public TEntityFixture {};

TEST_F(CustomReportsEntityTest, OpenFileGivesTheDataFolder) {
    ASSERT_TRUE(WriteFileBytes(RecordPath(), SmallRecord()));
    const auto file = TEntityInfo::Create("ABC123", {Option::Standard, Option::Load});
    ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    const QByteArray own = DefinitionFile("Report Layouts", "\x02\x05");
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC123.RLO", own));

    TCustomReports reports(*file, ReportLevelMask::File, {Option::Standard, Option::Load});
    EXPECT_EQ(NativePath(reports.LevelFileName(rlFile, {})), NativePath(DataDir + "/M_DETAIL/ABC123.RFT"));
    EXPECT_EQ(reports.Layouts().LevelData(rlFile), own);
    EXPECT_FALSE(reports.IsLoaded(rlFile));
    file->Close();
}

} // namespace
