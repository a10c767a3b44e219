#include "reports/ReportMenu.h"

#include "controls/util/SlotGuard.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/ReportVocabulary.h"
#include "reports/GraphData.h"

#include <QAction>
#include <QMenu>

namespace {

struct TOwnCaption {
    int Number;
    QStringView Caption;
};

// Captions of the listings produced here that the standard-report table leaves empty.
constexpr TOwnCaption OwnCaptions[] = {
    {TransactionListing, u"&Transaction List"},
    {FirstLevelReports, u"&Master Reports"},
    {FirstLevelReports + 1, u"&File Specific Reports"},
    {FirstLevelReports + 2, u"&Practice Reports"},
    {FirstLevelReports + 3, u"&Superannuation Reports"},
    {GraphReportNumber::IncomeExpense, u"&Income and Expenses"},
    {GraphReportNumber::YearToDate, u"Income and Expenses &Year to Date"},
    {GraphReportNumber::BankBalance, u"&Cash Book and Bank Statement"},
    {ChartOfAccountsListing, u"&Chart of Accounts"},
    {StdDescriptionsListing, u"&Standard Descriptions"},
    {TaxCodesListing, u"&Tax Codes"},
    {CurrencyRatesListing, u"C&urrency Rates"},
    {TransactionFilesListing, u"Transaction &Files"},
    {FirstLogReport + lkBackup, u"&Backup Log"},
    {FirstLogReport + lkRestore, u"&Restore Log"},
    {FirstLogReport + lkExport, u"&Export Log"},
    {FirstLogReport + lkImport, u"&Import Log"},
    {FirstLogReport + lkTransferOut, u"Transfer &To Log"},
};

QString GroupCaption(QStringView code) {
    const TReportGroup* group = ReportGroupRow(FindReportGroup(code));
    return group ? group->MenuCaption.toString() : QString();
}

QString GroupOf(int number) {
    if (number >= FirstLevelReports && number < FirstLevelReports + 4)
        return QStringLiteral("C&ustom Reports");
    // The graphs' own accelerator: G belongs to the General Ledger beside them.
    if (number >= GraphReportNumber::IncomeExpense && number <= GraphReportNumber::BankBalance)
        return QStringLiteral("Gr&aphs");
    if (number >= BankReconciliationReport && number < FirstChartListingReport)
        return GroupCaption(u"REC");
    if (number >= FirstChartListingReport && number <= TransactionFilesListing)
        return QStringLiteral("&Listings");
    if (number >= FirstLogReport && number <= LastLogReport)
        return GroupCaption(u"LOG");
    return QString();
}

} // namespace

QString ReportMenuCaption(int reportNumber) {
    const QStringView standard = StandardReportRow(reportNumber).MenuCaption;
    if (!standard.isEmpty())
        return standard.toString();
    for (const TOwnCaption& own : OwnCaptions)
        if (own.Number == reportNumber)
            return own.Caption.toString();
    return QString();
}

std::vector<TReportMenuItem> ReportMenuItems() {
    std::vector<TReportMenuItem> items;
    for (int number = 1; number < StandardReportCount; ++number) {
        const QString caption = ReportMenuCaption(number);
        if (!caption.isEmpty())
            items.push_back({caption, number, GroupOf(number)});
    }
    return items;
}

void BuildReportMenu(QMenu* menu, const TStdDescChart* /*stdDescChart*/, const QString& /*entityType*/,
                     std::function<void(int reportNumber)> handler, QObject* owner) {
    menu->clear();
    QMenu* submenu = nullptr;
    for (const TReportMenuItem& item : ReportMenuItems()) {
        QMenu* target = menu;
        if (!item.Group.isEmpty()) {
            if (submenu == nullptr || submenu->title() != item.Group)
                submenu = menu->addMenu(item.Group);
            target = submenu;
        }
        QAction* action = target->addAction(item.Caption);
        action->setData(item.Number);
        QObject::connect(action, &QAction::triggered, owner ? owner : action,
                         [handler, number = item.Number] {
                             GuardSlot([&] {
                                 if (handler)
                                     handler(number);
                             });
                         });
    }
}
