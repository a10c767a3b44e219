#pragma once

#include "reports/ReportDocuments.h"
#include "reports/ReportListings.h"

#include <QWidget>

#include <functional>

class QPrinter;
class QPushButton;
class QTabWidget;
class TEntityInfo;
class TFormPlacement;

// The report window: one page of text per report, made for an open file, and the log into
// which processes write their lines. The main window keeps the one report window.
//
// A double click on a line that stands for a transaction calls DrillDown with the file the report
// was made for and the line's target. The buttons above the pages print the current page on the
// program's printer ("&Print...") and write it as a PDF file ("Sa&ve as PDF...").
//
// The window keeps its position in the program ini, section "Reports": it comes back there when
// it is first shown (in the frame that holds it), and the position is written when it closes and
// whenever the desktop is saved (Placement().SaveFormPlacement()).
class TfmReports : public QWidget {
    Q_OBJECT

public:
    static inline const QString PlacementSection = QStringLiteral("Reports");

    explicit TfmReports(QWidget* parent = nullptr);

    TFormPlacement& Placement() const { return *FormPlacement; }

    // Adds a report as a new page, current, with the targets of its lines; its index.
    int ShowReport(const TReportText& report, const TEntityInfo* owner);
    // Appends a line to the current page (a "Log" page when there is none).
    void AddLine(const QString& line);
    // Removes every page of a file that is closing.
    void DetachEntity(const TEntityInfo& entity);
    // Closes the window (with the frame that holds it) when it has no page left; true when it
    // closed. The main window calls it after a file's pages went with the file.
    bool CloseWhenEmpty();

    // The report of a number for the file (see ProduceReport): the listings 57 to 60 and 62 to
    // 68, the not-available line for the others. A log that cannot be read raises.
    void RunReport(const TEntityInfo& entity, int reportNumber);
    // As above, with the general ledger (3) and the transaction listing (4) produced from the
    // file's transactions.
    void RunReport(TEntityInfo& entity, int reportNumber);
    // The general ledger and the transaction listing of the file's current year (LedgerReports.h).
    // A cancel in the progress window makes no page; a run that fails makes the page that says so.
    void GeneralLedgerReport(TEntityInfo& entity);
    void TransactionListReport(TEntityInfo& entity);
    void ChartOfAccountsReport(const TEntityInfo& entity);
    void StdDescriptionsReport(const TEntityInfo& entity);
    void TaxCodesReport(const TEntityInfo& entity);
    void CurrencyRatesReport(const TEntityInfo& entity);
    void TransactionFilesReport(const TEntityInfo& entity);
    void LogReport(const TEntityInfo& entity, int reportNumber);
    // Master report definitions are not held by this program: the error box "Unable to locate
    // master report %s." (MasterReportMissingText), and no page.
    void RunMasterReport(const TEntityInfo& entity, int reportNumber, int level);

    // Set by the main window: a double click on a line with a target calls it.
    std::function<void(const TEntityInfo& owner, const TReportLineTarget& target)> DrillDown;
    // What a double click on a line of the current page does: calls DrillDown with the line's
    // target. False, and nothing called, when the line has no target or no DrillDown is set.
    bool ActivateLine(int line);

    // Prints the current document on the printer (the program-wide one: platform/printing
    // ProgramPrinter()). Nothing without a current document.
    void PrintCurrent(QPrinter& printer);
    // Writes the current document as a PDF file; false (after nothing is written) when it cannot.
    // The file is written under a temporary name beside the path and renamed over it.
    bool SaveCurrentAsPdf(const QString& path);
    // Prints lines as the window prints a document: a fixed-pitch font (made smaller, down to a
    // limit, until the widest line fits the page), on each page a header line with the title and
    // the page number, then as many whole lines as the page takes (TReportPagination), all within
    // the page layout's margins. The pages printed; 0 when the printer could not be started.
    // Makes a printer write a PDF file of a title, with the default margins.
    static void PreparePdfPrinter(QPrinter& printer, const QString& file, const QString& title);
    static int PrintLines(QPrinter& printer, const QString& title, const QStringList& lines);

    // Where the choice of a PDF file starts: the folder of the last PDF file written in this run
    // while it exists, else the user's documents folder (the home folder without one).
    static QString PdfStartFolder();
    // The file offered for a document of a title: its name made of the title, in that folder.
    static QString PdfStartPath(const QString& title);

    // The dialogs of the buttons, replaced by tests: the print dialog over the printer (true:
    // print), and the choice of the PDF file to write, starting at PdfStartPath (empty: none).
    std::function<bool(QPrinter& printer)> ConfirmPrint;
    std::function<QString(const QString& startPath)> ChoosePdfFile;

    const TReportDocuments& Documents() const { return Model; }
    QTabWidget* Pages() const { return Tabs; }
    QPushButton* PrintButton() const { return btnPrint; }
    QPushButton* SavePdfButton() const { return btnSavePdf; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddPage(int index);
    void ShowLines(int index);
    void UpdateButtons();
    // Prints the current document; the pages printed, 0 when there is none or the printer could
    // not be started.
    int PrintDocument(QPrinter& printer);
    void btnPrintClick();
    void btnSavePdfClick();

    TReportDocuments Model;
    QTabWidget* Tabs = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnSavePdf = nullptr;
    TFormPlacement* FormPlacement = nullptr;
};
