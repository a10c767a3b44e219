#include "ReportsTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "controls/grids/MultiSelectStringGrid.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/SubsystemServices.h"
#include "core/logs/LogList.h"
#include "reports/ReportServices.h"
#include "reports/fmReports.h"
#include "reports/frmSelection.h"

#include <QPlainTextEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

// Two client files opened for real (without their years' charts) and the report window.
class ReportWindowsTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        for (const QString code : {"ABC123", "XYZ999"}) {
            QFile::setPermissions(RecordPath(code), QFile::ReadOwner | QFile::WriteOwner);
            ASSERT_TRUE(WriteFileBytes(RecordPath(code), SmallRecord("0", "", "Code=" + code)));
            Clients.push_back(TEntityInfo::Create(code, TOptionSet{0, 7}));
        }
    }
    void TearDown() override {
        TSubsystemServices::Reset();
        TEntityFixture::TearDown();
    }

    QStringList TabTitles() const {
        QStringList titles;
        for (int i = 0; i < Window.Pages()->count(); ++i)
            titles << Window.Pages()->tabText(i);
        return titles;
    }
    QString PageText(int index) const {
        return static_cast<QPlainTextEdit*>(Window.Pages()->widget(index))->toPlainText();
    }

    std::vector<std::unique_ptr<TEntityInfo>> Clients;
    TfmReports Window;
};

TEST_F(ReportWindowsTest, ReportsOpenAsPagesAndProcessLinesGoToTheCurrentPage) {
    Window.AddLine("Export started");
    Window.RunMasterReport(*Clients[0], 12, 3);
    Window.TaxCodesReport(*Clients[1]); // the year's charts are not loaded
    Window.AddLine("Export finished");
    EXPECT_EQ(TabTitles(), (QStringList{"Log", "Report 12", "Tax Codes"}));
    EXPECT_EQ(Window.Pages()->currentIndex(), 2);
    EXPECT_EQ(PageText(0), "Export started");
    EXPECT_EQ(PageText(1), "Report 12 is not available.");
    EXPECT_EQ(PageText(2), "Report 59 is not available.\nExport finished");
}

TEST_F(ReportWindowsTest, TimeLogReadsTheProgramsLog) {
    TLogDetails visit;
    visit.FileCode = "ABC123";
    visit.UserName = "WORKSTATION1";
    visit.DateFrom = EncodeDateNum(2024, 3, 15) + 0.375;
    visit.DateTo = EncodeDateNum(2024, 3, 15) + 0.4375;
    ASSERT_TRUE(TLogList(lkTime).Append(visit));
    Window.LogReport(*Clients[0], 62);
    EXPECT_EQ(TabTitles(), QStringList{"Time Log"});
    EXPECT_EQ(
        Text(PageText(0).split('\n').mid(1, 5)),
        Text({Clients[0]->YearCaption(-1), "", "Date        In     Out    Minutes  User          Comment",
              "15/03/2024  09:00  10:30       90  WORKSTATION1", ""}));
}

TEST_F(ReportWindowsTest, ClosingFileDropsItsPagesThroughTheInstalledSlot) {
    InstallReportServices([this] { return &Window; });
    Window.RunReport(*Clients[0], 57);
    Window.RunReport(*Clients[1], 58);
    Window.RunReport(*Clients[0], 60);
    Window.Pages()->setCurrentIndex(1);
    TSubsystemServices::Installed().DetachEntity(*Clients[0]);
    EXPECT_EQ(TabTitles(), QStringList{"Standard Descriptions"});
    EXPECT_EQ(Window.Documents().Count(), 1);
    EXPECT_EQ(Window.Documents().Current(), 0);

    InstallReportServices([] { return nullptr; });
    EXPECT_NO_THROW(TSubsystemServices::Installed().DetachEntity(*Clients[1]));
    EXPECT_EQ(Window.Documents().Count(), 1);
}

// The multi-selection of open files: what the list holds after OK or Cancel.
TEST_F(ReportWindowsTest, SelectionReturnsTheChosenIndexes) {
    const QStringList items{"ABC123 (2006) - Small Client", "XYZ999 (2006) - Small Client",
                            "DEF456 (2006) - Other"};
    const struct {
        QList<int> Preselected;
        std::vector<int> Toggle;
        bool Ok;
        QList<int> After;
    } cases[] = {
        {{0, 2}, {}, true, {0, 2}}, {{2, 7, -1}, {}, true, {2}}, // indexes outside the list are ignored
        {{1}, {0, 1}, true, {0}},                                // rows ticked and unticked by the user
        {{1}, {0, 2}, false, {1}},                               // Cancel leaves the list alone
        {{}, {}, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Toggle.size() * 10 + c.Preselected.size());
        TfrmSelection dialog;
        QList<int> selected = c.Preselected;
        dialog.Setup(TfrmSelection::OpenFilesMode, items, 0, selected);
        EXPECT_EQ(dialog.Grid()->rowCount(), 3);
        EXPECT_EQ(dialog.Grid()->item(1, 0)->text(), items[1]);
        for (int row : c.Toggle)
            dialog.Grid()->SetRowSelected(row, !dialog.Grid()->IsRowSelected(row));
        c.Ok ? dialog.accept() : dialog.reject();
        EXPECT_EQ(selected, c.After);
    }
}

TEST_F(ReportWindowsTest, SelectionRefusesAnUnknownMode) {
    TfrmSelection dialog;
    QList<int> selected;
    EXPECT_THROW(dialog.Setup(1, {"A"}, 0, selected), EQuilvaneError);
}

} // namespace
