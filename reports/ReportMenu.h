#pragma once

#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QObject;
class TStdDescChart;

// Report numbers this library produces itself, beside the rows of the standard-report table.
inline constexpr int TransactionListing = 4;
// The custom reports of the four levels: master, file specific, practice, superannuation.
inline constexpr int FirstLevelReports = 7;
inline constexpr int ChartOfAccountsListing = 57;
inline constexpr int StdDescriptionsListing = 58;
inline constexpr int TaxCodesListing = 59;
inline constexpr int CurrencyRatesListing = 60;
inline constexpr int TransactionFilesListing = 61;

// The menu caption of a standard report: the standard-report table's own caption, else the one
// this library gives the listings it produces; empty for a report that has no menu item.
QString ReportMenuCaption(int reportNumber);

// One item of the Reports menu: its caption, its report number and the caption of the submenu
// that holds it (empty: the menu itself).
struct TReportMenuItem {
    QString Caption;
    int Number = 0;
    QString Group;

    bool operator==(const TReportMenuItem&) const = default;
};

// The items of the Reports menu in report-number order: every standard report that has a
// caption. The general reports stand in the menu itself; reconciliation, listings and logs in
// submenus of their groups.
std::vector<TReportMenuItem> ReportMenuItems();

// Clears the menu and fills it with ReportMenuItems, each action carrying its report number as
// its data; a click calls the handler with that number, in the owner's context. The chart and
// entity type are the active file's (the standard reports are the same for every file).
void BuildReportMenu(QMenu* menu, const TStdDescChart* stdDescChart, const QString& entityType,
                     std::function<void(int reportNumber)> handler, QObject* owner);
