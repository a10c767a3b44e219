#pragma once

#include "reports/ReportDocuments.h"
#include "reports/ReportListings.h"

#include <QWidget>

class QTabWidget;
class TEntityInfo;
class TFormPlacement;

// The report window: one page of text per report, made for an open file, and the log into
// which processes write their lines. The main window keeps the one report window.
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

    // Adds a report as a new page, current; its index.
    int ShowReport(const TReportText& report, const TEntityInfo* owner);
    // Appends a line to the current page (a "Log" page when there is none).
    void AddLine(const QString& line);
    // Removes every page of a file that is closing.
    void DetachEntity(const TEntityInfo& entity);

    // The report of a number for the file (see ProduceReport): the listings 57 to 60 and 62 to
    // 68, the not-available line for the others. A log that cannot be read raises.
    void RunReport(const TEntityInfo& entity, int reportNumber);
    void GeneralLedgerReport(const TEntityInfo& entity);
    void TransactionListReport(const TEntityInfo& entity);
    void ChartOfAccountsReport(const TEntityInfo& entity);
    void StdDescriptionsReport(const TEntityInfo& entity);
    void TaxCodesReport(const TEntityInfo& entity);
    void CurrencyRatesReport(const TEntityInfo& entity);
    void TransactionFilesReport(const TEntityInfo& entity);
    void LogReport(const TEntityInfo& entity, int reportNumber);
    // Master custom reports are not held by this program: the not-available line.
    void RunMasterReport(const TEntityInfo& entity, int reportNumber, int level);

    const TReportDocuments& Documents() const { return Model; }
    QTabWidget* Pages() const { return Tabs; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void AddPage(int index);
    void ShowLines(int index);

    TReportDocuments Model;
    QTabWidget* Tabs = nullptr;
    TFormPlacement* FormPlacement = nullptr;
};
