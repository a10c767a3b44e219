#pragma once

#include "core/vocab/VocabularyIndex.h"

#include <QStringView>

#include <array>

// The kinds of child window on the desktop. The kind number is kept in the desktop history; the
// name shows in menus and the history; the class name is what identifies an open window of the
// kind. Budgets and Jobstream Sets have no class of their own, so no open window is ever taken
// for one of them.
enum TWindowKind : int {
    wkAccounts = 0,
    wkBudgets = 1,
    wkStandardDescriptions = 2,
    wkTaxes = 3,
    wkCurrencies = 4,
    wkBankRecOpeningBalances = 5,
    wkDataEntry = 6,
    wkReports = 7,
    wkGraphs = 8,
    wkDataEntryToolbox = 9,
    wkReportLayouts = 10,
    wkCustomReports = 11,
    wkJobstreamSets = 12,
};

struct TWindowKindEntry {
    QStringView Name;
    QStringView WindowClass; // empty: the kind has no window class
};

inline constexpr std::array<TWindowKindEntry, 13> WindowKindTable{{
    {u"Accounts", u"TfmMasterDetails"},
    {u"Budgets", u""},
    {u"Standard Descriptions", u"TfmMasterDetails"},
    {u"Taxes", u"TfmMasterDetails"},
    {u"Currencies", u"TfmMasterDetails"},
    {u"Bank Reconciliation Opening Balances", u"TfmMasterDetails"},
    {u"Data Entry", u"TfmDataEntry"},
    {u"Reports", u"TfmReports"},
    {u"Graphs", u"TfmGraphs"},
    {u"Data Entry Toolbox", u"TfmDataEntryToolbox"},
    {u"Report Layouts", u"TfmReportsAndLayouts"},
    {u"Custom Reports", u"TfmReportsAndLayouts"},
    {u"Jobstream Sets", u""},
}};

inline constexpr int WindowKindCount = static_cast<int>(WindowKindTable.size());

constexpr bool IsWindowKind(int kind) {
    return IsVocabularyIndex(WindowKindTable, kind);
}
// The kinds 0 to 5 are the master-details family: the windows over one master chart each.
constexpr bool IsMasterDetailsWindowKind(int kind) {
    return kind >= wkAccounts && kind <= wkBankRecOpeningBalances;
}

inline const TWindowKindEntry& WindowKindEntry(int kind) {
    return VocabularyRow(WindowKindTable, kind, u"window kind");
}
