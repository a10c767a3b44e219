#pragma once

#include <QString>

class TEntityInfo;
class TMasterChart;

// What the master-details window takes from the chart kind it shows (0 bank-reconciliation
// opening balances, 1 accounts, 2 standard descriptions, 3 taxes, 4 currencies): its window kind,
// whose name is also its placement section and its caption, its help topic, and the chart of an
// open file it shows. No widget here.
class TMasterDetailsKind {
public:
    // The help topics of the windows, by chart kind.
    static constexpr int BankRecOpeningHelpContext = 4400;
    static constexpr int AccountsHelpContext = 4000;
    static constexpr int StdDescriptionsHelpContext = 4100;
    static constexpr int TaxesHelpContext = 4200;
    static constexpr int CurrenciesHelpContext = 4300;

    // Whether the window shows charts of this kind (0 to 4).
    static bool IsShownKind(int chartKind);
    // Raises EQuilvaneError naming the kind when the window cannot show it.
    static void CheckKind(int chartKind);

    // The window kind (core/vocab/WindowKinds.h) of a chart kind: accounts 0, standard
    // descriptions 2, taxes 3, currencies 4, bank-reconciliation opening balances 5; -1 for a
    // kind the window does not show.
    static int WindowKind(int chartKind);
    // The chart kind a window kind of the master-details family shows; -1 for any other kind
    // (budgets have no window of their own).
    static int ChartKindOfWindow(int windowKind);
    // The window kind's name ("Accounts", "Bank Reconciliation Opening Balances"): the window's
    // placement section and the start of its caption. Empty for a kind not shown.
    static QString WindowName(int chartKind);
    static int HelpContext(int chartKind);

    // "<window name> - <file and year>" ("Accounts - ABC123 (2006) - Acme"); the window name alone
    // without a file.
    static QString Caption(int chartKind, const TEntityInfo* file);

    // The chart of the kind the window shows for an open file: the chart of the file's current
    // year, or for kind 0 the bank-reconciliation opening chart the file holds for a
    // reconciliation run. nullptr without a file, for a closed one, or when that chart is not
    // loaded.
    static TMasterChart* ChartOf(const TEntityInfo* file, int chartKind);
};
