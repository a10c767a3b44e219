#include "ReportsTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "controls/grids/MultiSelectStringGrid.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/SubsystemServices.h"
#include "core/logs/LogList.h"
#include "reports/ReportServices.h"
#include "reports/fmReports.h"
#include "reports/frmSelection.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

// Two client files opened for real (without their years' charts) and the report window.
class ReportWindowsTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        for (const QString code : {"ABC123", "XYZ999"}) {
            ASSERT_TRUE(WriteFileBytes(RecordPath(code), SmallRecord("0", "", "Code=" + code)));
            Clients.push_back(TEntityInfo::Create(code, TOptionSet{0, 7}));
        }
    }
    // "title:text" of every page.
    QStringList Pages() const {
        QStringList pages;
        for (int i = 0; i < Window.Pages()->count(); ++i)
            pages << Window.Pages()->tabText(i) + ":" +
                         static_cast<QPlainTextEdit*>(Window.Pages()->widget(i))->toPlainText();
        return pages;
    }

    std::vector<std::unique_ptr<TEntityInfo>> Clients;
    TfmReports Window;
};

TEST_F(ReportWindowsTest, ReportsOpenAsPagesAndPagesOfAClosingFileGo) {
    InstallReportServices([this] { return &Window; });
    Window.AddLine("Export started");
    Window.RunMasterReport(*Clients[0], 12, 3);
    Window.TaxCodesReport(*Clients[1]); // the year's charts are not loaded
    Window.AddLine("Export finished");
    EXPECT_EQ(Pages(), (QStringList{"Log:Export started", "Report 12:Report 12 is not available.",
                                    "Tax Codes:Report 59 is not available.\nExport finished"}));
    Window.Pages()->setCurrentIndex(0);
    TSubsystemServices::Installed().DetachEntity(*Clients[1]);
    EXPECT_EQ(Pages().size(), 2);
    EXPECT_EQ(Window.Documents().Current(), 0);

    InstallReportServices([] { return nullptr; });
    TSubsystemServices::Installed().DetachEntity(*Clients[0]);
    EXPECT_EQ(Pages().size(), 2);
    TSubsystemServices::Reset();
}

// The report window's documents without the window: which go when a file closes, which stays current.
TEST_F(ReportWindowsTest, DetachRemovesTheFilesDocumentsAndKeepsTheCurrentOne) {
    const TEntityInfo *a = Clients[0].get(), *b = Clients[1].get();
    const struct {
        int Current;
        const TEntityInfo* Owner;
        std::vector<int> Removed;
        QString Left;
        int CurrentAfter;
    } cases[] = {
        {4, a, {3, 1}, "Log,B1,B2", 2},         // current kept, moved down by two
        {1, a, {3, 1}, "Log,B1,B2", 2},         // current removed: the last left
        {0, b, {4, 2}, "Log,A1,A2", 0},         // current before the removed ones
        {2, nullptr, {}, "Log,A1,B1,A2,B2", 2}, // no file: the log stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Current);
        TReportDocuments documents;
        documents.AppendLine("started");
        for (const char* title : {"A1", "B1", "A2", "B2"})
            documents.Add(title, title[0] == 'A' ? a : b);
        documents.SetCurrent(c.Current);
        EXPECT_EQ(documents.Detach(c.Owner), c.Removed);
        QStringList titles;
        for (int i = 0; i < documents.Count(); ++i)
            titles << documents.Document(i).Title;
        EXPECT_EQ(titles.join(','), c.Left);
        EXPECT_EQ(documents.Current(), c.CurrentAfter);
    }
}

TEST_F(ReportWindowsTest, TimeLogReadsTheProgramsLog) {
    ASSERT_TRUE(TLogList(lkTime).Append(
        Entry("ABC123", "WORKSTATION1", At(2024, 3, 15, 9), At(2024, 3, 15, 10, 30))));
    Window.LogReport(*Clients[0], 62);
    EXPECT_EQ(Pages().value(0).section('\n', 0, 1), "Time Log:Time Log\n" + Clients[0]->YearCaption(-1));
    EXPECT_EQ(Pages().value(0).section('\n', 4),
              "15/03/2024  09:00  10:30       90  WORKSTATION1\n\nEntries listed: 1");
}

// The listing of transaction files reads the file's own folder for its current year.
TEST_F(ReportWindowsTest, TransactionFilesReadTheFilesFolder) {
    ASSERT_TRUE(QDir(DataDir).mkpath("ABC123"));
    ASSERT_TRUE(WriteFileBytes(DataDir + "/ABC123/ABC12306.PA4", QByteArray(375, '\0')));
    Window.TransactionFilesReport(*Clients[0]);
    EXPECT_EQ(Pages().value(0).section('\n', 4).simplified(),
              "ABC12306.PA4 Payments 375 2 Entries listed: 1");
}

// The multi-selection of open files: what the list holds after OK or Cancel (Cancel leaves it
// alone; indexes outside the list are dropped).
TEST_F(ReportWindowsTest, SelectionReturnsTheChosenIndexes) {
    const struct {
        QList<int> Preselected;
        std::vector<int> Toggle;
        bool Ok;
        QList<int> After;
    } cases[] = {{{0, 2}, {}, true, {0, 2}},
                 {{2, 7, -1}, {}, true, {2}},
                 {{1}, {0, 1}, true, {0}},
                 {{1}, {0, 2}, false, {1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Toggle.size() * 10 + c.Preselected.size());
        TfrmSelection dialog;
        QList<int> selected = c.Preselected;
        dialog.Setup(TfrmSelection::OpenFilesMode, {"ABC123 (2006)", "XYZ999 (2006)", "DEF456 (2006)"}, 0,
                     selected);
        for (int row : c.Toggle)
            dialog.Grid()->SetRowSelected(row, !dialog.Grid()->IsRowSelected(row));
        c.Ok ? dialog.accept() : dialog.reject();
        EXPECT_EQ(selected, c.After);
    }
    TfrmSelection dialog;
    QList<int> selected;
    EXPECT_THROW(dialog.Setup(1, {"A"}, 0, selected), EQuilvaneError);
}

} // namespace
