#include "ReportsTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "controls/grids/MultiSelectStringGrid.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/SubsystemServices.h"
#include "core/logs/LogList.h"
#include "core/vocab/PageKinds.h"
#include "platform/printing/ProgramPrinter.h"
#include "reports/ReportServices.h"
#include "reports/fmReports.h"
#include "reports/frmSelection.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>

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
    Prompt->Answer(TMessageButton::OK);
    Window.RunMasterReport(*Clients[0], 12, 3); // a box, no page
    EXPECT_EQ(Prompt->Texts(), QStringList("Unable to locate master report 12."));
    Window.RunReport(static_cast<const TEntityInfo&>(*Clients[0]), 12);
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

// A document keeps the targets of its lines in line order, dropping those of lines it does not
// hold; a line of a document of no file leads nowhere.
TEST_F(ReportWindowsTest, DocumentsKeepTheirLineTargets) {
    TReportDocuments documents;
    const auto target = [](int line, qint32 id) { return TReportLineTarget{line, pkPayments, 2, {id, 0}}; };
    const int index = documents.Add("Ledger", Clients[0].get(), {"title", "a", "b", "c"},
                                    {target(3, 30), target(1, 10), target(4, 40), target(-1, 50)});
    const TReportDocuments::TDocument& document = documents.Document(index);
    ASSERT_EQ(document.Targets.size(), 2u);
    EXPECT_EQ(std::pair(document.Targets[0].Line, document.Targets[1].Line), std::pair(1, 3));
    EXPECT_EQ(documents.Target(index, 3)->Target.FirstID, 30);
    for (const int line : {0, 2, 4, -1})
        EXPECT_EQ(documents.Target(index, line), nullptr) << line;
    EXPECT_EQ(documents.Target(index + 1, 1), nullptr);
    const int log = documents.Add("Log", nullptr, {"a", "b"}, {target(1, 10)});
    EXPECT_EQ(documents.Target(log, 1), nullptr);
}

// A double click calls the drill-down with the page's file and the line's target; without a
// callback, or on a line without a target, nothing happens.
TEST_F(ReportWindowsTest, DoubleClickDrillsDownOnlyOnTargets) {
    Window.resize(600, 400);
    Window.show();
    TReportText report{"Ledger", {"title", "line one", "line two"}, {{2, pkReceipts, 5, {120500001, 0}}}};
    Window.ShowReport(report, Clients[1].get());
    auto* text = static_cast<QPlainTextEdit*>(Window.Pages()->widget(0));
    const auto doubleClick = [&](int line) {
        const QTextCursor cursor(text->document()->findBlockByNumber(line));
        QTest::mouseDClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(cursor).center());
    };
    doubleClick(2); // no callback
    QStringList calls;
    Window.DrillDown = [&](const TEntityInfo& owner, const TReportLineTarget& target) {
        calls << QString("%1 %2/%3 %4")
                     .arg(owner.EntityDetail().FileCode)
                     .arg(target.PageKind)
                     .arg(target.Period)
                     .arg(target.Target.FirstID);
    };
    doubleClick(1);
    doubleClick(2);
    EXPECT_EQ(calls, QStringList("XYZ999 2/5 120500001"));
    EXPECT_FALSE(Window.ActivateLine(7));
}

// Saving as PDF: an empty window writes nothing; a page is written under a temporary name renamed
// over the path (an old file replaced, no temporary file left); a folder that does not exist
// refuses it. The button asks for the file and says when it cannot be written.
TEST_F(ReportWindowsTest, SaveAsPdfWritesThePageOrNothing) {
    const QString path = TempPath("report.pdf");
    EXPECT_FALSE(Window.SaveCurrentAsPdf(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(Window.SavePdfButton()->isEnabled() || Window.PrintButton()->isEnabled());
    QStringList asked;
    Window.ChoosePdfFile = [&](const QString& suggested) {
        asked << suggested;
        return QString();
    };
    Window.SavePdfButton()->click(); // disabled: nothing asked
    EXPECT_TRUE(asked.isEmpty());

    ASSERT_TRUE(WriteFileBytes(path, "old"));
    Window.RunReport(static_cast<const TEntityInfo&>(*Clients[0]), 12);
    EXPECT_TRUE(Window.SavePdfButton()->isEnabled() && Window.PrintButton()->isEnabled());
    ASSERT_TRUE(Window.SaveCurrentAsPdf(path));
    EXPECT_TRUE(ReadFileBytes(path).startsWith("%PDF"));
    EXPECT_EQ(QDir(Temp.path()).entryList({"report.pdf*"}, QDir::Files | QDir::Hidden),
              QStringList("report.pdf"));
    EXPECT_FALSE(Window.SaveCurrentAsPdf(TempPath("missing/report.pdf")));
    EXPECT_FALSE(QDir(TempPath("missing")).exists());

    Window.SavePdfButton()->click();
    EXPECT_EQ(asked, QStringList(TfmReports::PdfStartPath("Report 12")));
    Window.ChoosePdfFile = [&](const QString&) { return TempPath("missing/report.pdf"); };
    Prompt->Answer(TMessageButton::OK);
    Window.SavePdfButton()->click();
    EXPECT_EQ(Prompt->Texts(),
              QStringList("The report could not be saved as " + TempPath("missing/report.pdf") + "."));
    Window.ChoosePdfFile = [&](const QString&) { return TempPath("button.pdf"); };
    Window.SavePdfButton()->click();
    EXPECT_TRUE(ReadFileBytes(TempPath("button.pdf")).startsWith("%PDF"));

    // Detaching the last page leaves nothing to save.
    Window.DetachEntity(*Clients[0]);
    EXPECT_FALSE(Window.SaveCurrentAsPdf(path));
}

// The choice of a PDF file starts in the user's documents folder (the home folder without one),
// never in the working folder, and then in the folder of the last file written while it exists.
TEST_F(ReportWindowsTest, AReportShownTakesTheKeyboard) {
    Window.RunReport(static_cast<const TEntityInfo&>(*Clients[0]), 12);
    Window.RunReport(static_cast<const TEntityInfo&>(*Clients[1]), 12);
    ASSERT_EQ(Window.Pages()->count(), 2);
    EXPECT_EQ(Window.focusWidget(), Window.Pages()->widget(1));
}

// Alt and a letter reaches one button only: two buttons sharing a letter took turns at the focus
// and pressed neither.
TEST_F(ReportWindowsTest, EveryButtonHasALetterOfItsOwn) {
    QSet<QKeySequence> letters;
    const QList<QPushButton*> buttons = Window.findChildren<QPushButton*>();
    ASSERT_GE(buttons.size(), 2);
    for (const QPushButton* button : buttons) {
        const QKeySequence letter = QKeySequence::mnemonic(button->text());
        ASSERT_FALSE(letter.isEmpty()) << button->text().toStdString();
        EXPECT_TRUE(!letters.contains(letter)) << button->text().toStdString();
        letters.insert(letter);
    }
}

TEST_F(ReportWindowsTest, SaveAsPdfStartsInTheDocumentsFolderThenTheLastOneUsed) {
    const QString home = TempPath("home");
    EXPECT_EQ(TfmReports::PdfStartFolder(), home);
    ASSERT_TRUE(QDir().mkpath(home + "/Documents"));
    EXPECT_EQ(TfmReports::PdfStartFolder(), home + "/Documents");
    // The folder the desktop names as the documents folder.
    ASSERT_TRUE(QDir().mkpath(home + "/Papers") && QDir().mkpath(home + "/.config"));
    ASSERT_TRUE(WriteFileBytes(home + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n"));
    EXPECT_EQ(TfmReports::PdfStartFolder(), home + "/Papers");
    EXPECT_EQ(TfmReports::PdfStartPath("General: Ledger"), home + "/Papers/General_ Ledger.pdf");
    EXPECT_NE(TfmReports::PdfStartFolder(), QDir::currentPath());

    Window.RunReport(static_cast<const TEntityInfo&>(*Clients[0]), 12);
    QStringList asked;
    QString answer = TempPath("out/first.pdf");
    Window.ChoosePdfFile = [&](const QString& start) {
        asked << start;
        return answer;
    };
    // A file that could not be written does not move the start.
    Prompt->Answer(TMessageButton::OK);
    Window.SavePdfButton()->click();
    ASSERT_TRUE(QDir().mkpath(TempPath("out")));
    Window.SavePdfButton()->click();
    answer.clear(); // cancelled
    Window.SavePdfButton()->click();
    EXPECT_EQ(asked, (QStringList{home + "/Papers/Report 12.pdf", home + "/Papers/Report 12.pdf",
                                  TempPath("out/Report 12.pdf")}));
    EXPECT_TRUE(QFile::exists(TempPath("out/first.pdf")));
    // A last folder that has gone since counts no more.
    ASSERT_TRUE(QDir(TempPath("out")).removeRecursively());
    EXPECT_EQ(TfmReports::PdfStartFolder(), home + "/Papers");
}

// A window whose last page went with its file closes, with the frame that holds it; one that still
// shows a page, another file's or the log, stays.
TEST_F(ReportWindowsTest, AWindowLeftWithoutPagesCloses) {
    QMdiArea area;
    TfmReports* reports = new TfmReports;
    QMdiSubWindow* frame = area.addSubWindow(reports);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    area.show();
    frame->show();
    ASSERT_TRUE(reports->isVisible());
    reports->AddLine("Backup started"); // a log page of no file
    reports->RunReport(static_cast<const TEntityInfo&>(*Clients[0]), 12);
    reports->RunReport(static_cast<const TEntityInfo&>(*Clients[1]), 12);
    reports->DetachEntity(*Clients[0]);
    EXPECT_FALSE(reports->CloseWhenEmpty());
    EXPECT_TRUE(frame->isVisible());
    reports->DetachEntity(*Clients[1]);
    EXPECT_EQ(reports->Documents().Count(), 1);
    EXPECT_FALSE(reports->CloseWhenEmpty());
    EXPECT_TRUE(frame->isVisible());

    Window.RunReport(static_cast<const TEntityInfo&>(*Clients[0]), 12);
    Window.show();
    Window.DetachEntity(*Clients[0]);
    EXPECT_TRUE(Window.CloseWhenEmpty());
    EXPECT_FALSE(Window.isVisible());

    QMdiArea other;
    auto* empty = new TfmReports;
    QMdiSubWindow* emptyFrame = other.addSubWindow(empty);
    emptyFrame->setAttribute(Qt::WA_DeleteOnClose, false);
    other.show();
    emptyFrame->show();
    ASSERT_TRUE(emptyFrame->isVisible());
    EXPECT_TRUE(empty->CloseWhenEmpty());
    EXPECT_FALSE(emptyFrame->isVisible());
}

// Printing breaks the lines into pages by the page height, each page headed by the title and its
// number; the Print button prints on the program's printer once its dialog is accepted.
TEST_F(ReportWindowsTest, PrintingBreaksPagesAndFollowsTheDialog) {
    const auto pdfPages = [](const QString& file) { return ReadFileBytes(file).count("/Type /Page\n"); };
    QStringList lines;
    for (int i = 1; i <= 400; ++i)
        lines << QString("Line %1").arg(i);
    std::vector<int> counts;
    for (const qsizetype count : {qsizetype(0), qsizetype(1), qsizetype(200), qsizetype(400)}) {
        const QString file = TempPath(QString("lines%1.pdf").arg(count));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        counts.push_back(TfmReports::PrintLines(printer, "Title", lines.mid(0, count)));
        EXPECT_EQ(pdfPages(file), counts.back()) << count;
    }
    EXPECT_EQ(counts[0], 1); // the header alone
    EXPECT_EQ(counts[1], 1);
    EXPECT_GT(counts[2], 1);
    EXPECT_GE(counts[3], 2 * counts[2] - 1);
    EXPECT_LE(counts[3], 2 * counts[2]);

    QPrinter& printer = ProgramPrinter();
    const auto restore = qScopeGuard([&] {
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::NativeFormat);
    });
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(TempPath("printed.pdf"));
    Window.ShowReport({"Listing", lines, {}}, Clients[0].get());
    int dialogs = 0;
    Window.ConfirmPrint = [&](QPrinter& shown) {
        EXPECT_EQ(&shown, &printer);
        return ++dialogs > 1; // cancelled the first time
    };
    Window.PrintButton()->click();
    EXPECT_FALSE(QFile::exists(TempPath("printed.pdf")));
    Window.PrintButton()->click();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(pdfPages(TempPath("printed.pdf")), counts[3]);
    // A printer that cannot start says so.
    printer.setOutputFileName(TempPath("missing/printed.pdf"));
    Prompt->Answer(TMessageButton::OK);
    Window.PrintButton()->click();
    EXPECT_EQ(Prompt->Texts(), QStringList("The report could not be printed."));
}

} // namespace
