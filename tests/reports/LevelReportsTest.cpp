#include "ReportsTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "reports/LevelReports.h"
#include "reports/fmReportsAndLayouts.h"

#include <QDir>
#include <QTableWidget>

namespace {

// One client file opened for real, with or without its own definitions files.
class LevelReportsTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        ASSERT_TRUE(WriteFileBytes(RecordPath(), SmallRecord()));
        File = TEntityInfo::Create("ABC123", TOptionSet{0, 7});
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    }
    void TearDown() override {
        File->Close();
        TEntityFixture::TearDown();
    }
    std::unique_ptr<TEntityInfo> File;
};

TEST_F(LevelReportsTest, ALevelRequestSaysWhatTheLevelHoldsForTheFile) {
    EXPECT_EQ(Text(LevelReportsText(*File, 7).Lines), "No Master custom reports are held on this system.\n");
    EXPECT_EQ(LevelReportsText(*File, 10).Title, "Superannuation Reports");
    EXPECT_EQ(Text(LevelReportsText(*File, 8).Lines), "ABC123 has no File Specific custom reports.\n");
    EXPECT_EQ(Text(LevelReportsText(*File, 11).Lines), "There is no custom report level 11.\n");

    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC123.RFT", QByteArray(40, 'x')));
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC123.RLO", QByteArray(12, 'y')));
    EXPECT_EQ(Text(LevelReportsText(*File, 8).Lines),
              "ABC123 holds File Specific custom reports (40 bytes of report formats, 12 bytes of report "
              "layouts).\nCustom reports cannot be run on this system.\n");
}

TEST_F(LevelReportsTest, AMasterReportIsNamedByItsKeyOrItsNumber) {
    const std::pair<int, const char*> cases[] = {
        {1, "Unable to locate master report PROFITLOSS."},
        {2, "Unable to locate master report TRIALBAL."},
        {12, "Unable to locate master report 12."},
        {56, "Unable to locate master report 56."},
    };
    for (const auto& [number, text] : cases)
        EXPECT_EQ(MasterReportMissingText(number), text) << number;
}

// The administration window lists the four levels; only the file's own names its file, by kind.
TEST_F(LevelReportsTest, TheAdministrationWindowListsTheLevelsAndTheFilesOwnFile) {
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC123.RLO", QByteArray(12, 'y')));
    const QString folder = DataDir + "/M_DETAIL/";
    using TRow = TfmReportsAndLayouts::TRow;
    const QString none = "None held on this system";
    EXPECT_EQ(TfmReportsAndLayouts::Rows(File.get(), TfmReportsAndLayouts::Layouts),
              (std::vector<TRow>{{"Master", "", none},
                                 {"File Specific", folder + "ABC123.RLO", "12 bytes"},
                                 {"Practice", "", none},
                                 {"Superannuation", "", none}}));
    EXPECT_EQ(TfmReportsAndLayouts::Rows(File.get(), TfmReportsAndLayouts::CustomReports)[1],
              (TRow{"File Specific", folder + "ABC123.RFT", "None"}));
    EXPECT_EQ(TfmReportsAndLayouts::Rows(File.get(), TfmReportsAndLayouts::JobstreamSets)[1].File,
              folder + "ABC123.RJS");
    EXPECT_EQ(TfmReportsAndLayouts::Rows(nullptr, TfmReportsAndLayouts::Layouts)[1],
              (TRow{"File Specific", "", "No file is open"}));

    TDesktopFiles files;
    TfmReportsAndLayouts window;
    int shown = 0;
    window.Runner = [&shown](QDialog&) { return ++shown; };
    EXPECT_EQ(window.Execute(files, -1, TfmReportsAndLayouts::JobstreamSets), 1);
    EXPECT_EQ(window.windowTitle(), "Report Jobstream Sets");
    EXPECT_EQ(window.Table()->rowCount(), 4);
    EXPECT_EQ(window.Table()->item(1, 2)->text(), "No file is open");
    // The definitions are only listed: no cell of the list opens for typing.
    EXPECT_EQ(window.Execute(files, -1, TfmReportsAndLayouts::CustomReports), 2);
    EXPECT_EQ(window.windowTitle(), "Custom Reports");
    EXPECT_EQ(window.Table()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

} // namespace
