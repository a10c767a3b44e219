#include "tests/shell/DesktopTestSupport.h"

#include "reports/fmReports.h"
#include "shell/main/ReportMenuAdapter.h"

namespace {

// The Reports menu of the main window over a desktop of real files, with the Reports window
// opened on demand and the file choice scripted.
class ReportMenuAdapterTest : public DesktopTest {
protected:
    TfmReports* ReportsWindow(bool open) {
        if (!Window && open)
            Window = std::make_unique<TfmReports>();
        return Window.get();
    }
    TEntityInfo* Active() {
        const int index = Desktop.ActiveIndex();
        return index < 0 ? nullptr : Desktop.Files().File(index);
    }

    std::unique_ptr<TfmReports> Window;
    TReportMenuAdapter Adapter{nullptr, [this](bool open) { return ReportsWindow(open); },
                               [this] { return Active(); }};
};

TEST_F(ReportMenuAdapterTest, FileCloseAsksOnlyWhenSeveralFilesAreOpen) {
    QList<int> offeredActive;
    Adapter.ChooseFiles = [&](const QStringList& captions, int activeIndex) {
        offeredActive.append(activeIndex);
        return QList<int>{static_cast<int>(captions.size()) - 1};
    };
    EXPECT_TRUE(Adapter.ChooseFilesToClose(Desktop).isEmpty());
    OpenFiles({"ALPHA1"});
    EXPECT_EQ(Adapter.ChooseFilesToClose(Desktop), QList<int>{0});
    EXPECT_TRUE(offeredActive.isEmpty());
    OpenFiles({"BRAVO2"});
    EXPECT_EQ(Adapter.ChooseFilesToClose(Desktop), QList<int>{1});
    EXPECT_EQ(offeredActive, QList<int>{Desktop.ActiveIndex()});
}

TEST_F(ReportMenuAdapterTest, AChosenReportOpensTheWindowForTheActiveFileAndClosingDetachesIt) {
    Adapter.RunReport(62); // no file open: nothing happens
    EXPECT_FALSE(Window);
    OpenFiles({"ALPHA1"});
    Adapter.RunReport(62);
    ASSERT_TRUE(Window);
    ASSERT_EQ(Window->Documents().Count(), 1);
    Adapter.DetachEntity(*Active());
    EXPECT_EQ(Window->Documents().Count(), 0);
}

} // namespace
