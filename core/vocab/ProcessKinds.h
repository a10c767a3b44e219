#pragma once

#include "core/vocab/VocabularyIndex.h"

#include <QStringView>

#include <array>

// The numbered processes: the main window's process guard, the run parameters of a process and
// the entries of the activity logs all carry this number. 0 means no process (a report run).
// The log word names the kind of activity in log texts; only the processes that keep a log of
// their own have one.
enum TProcessKind : int {
    prNone = 0,
    prExport = 1,
    prImportBankStatements = 2,
    prUpgrade = 3,
    prBankReconciliation = 4,
    prResetBankReconciliation = 5,
    prTransferToClient = 6,
    prTransferFromClient = 7,
    prTransferFromAccountant = 8,
    prTransferToAccountant = 9,
    prBackup = 10,
    prRestore = 11,
    prBringForward = 12,
    prTransferBankStatementEntries = 13,
    prRenameFileCode = 14,
    prDuplicateFileCode = 15,
    prDataIntegrityCheck = 16,
    prCalculateCashbookOpeningBalance = 17,
    prDeleteAccounts = 18,
    prTimeLog = 19,
    prDeleteTaxes = 20,
    prTessalyJournals = 21,
    prImportTransactions = 22,
};

struct TProcessKindEntry {
    QStringView Name;
    QStringView LogWord; // empty when the process has none
};

inline constexpr std::array<TProcessKindEntry, 23> ProcessKindTable{{
    {u"", u""},
    {u"Export", u"export"},
    {u"Import Bank Statements", u""},
    {u"Upgrade", u""},
    {u"Bank Reconciliation", u""},
    {u"Reset Bank Reconciliation", u""},
    {u"Transfer Data to Client", u"transfer"},
    {u"Transfer Data from Client", u"transfer"},
    {u"Transfer Data from Accountant", u"transfer"},
    {u"Transfer Data to Accountant", u"transfer"},
    {u"Backup", u"backup"},
    {u"Restore", u"backup"},
    {u"Bring Forward", u""},
    {u"Transfer Bank Statement Entries to Cashbook", u""},
    {u"Rename File Code", u""},
    {u"Duplicate File Code", u""},
    {u"Data integrity Check", u""},
    {u"Calculate Cashbook Opening Balance", u""},
    {u"Delete Accounts", u""},
    {u"Time Log", u""},
    {u"Delete Taxes", u""},
    {u"Create Journals from Tessaly Interactive Workpapers \u00AE", u""},
    {u"Import Transactions", u""},
}};

inline constexpr int ProcessKindCount = static_cast<int>(ProcessKindTable.size());

constexpr bool IsProcessKind(int kind) {
    return IsVocabularyIndex(ProcessKindTable, kind);
}
inline const TProcessKindEntry& ProcessKindEntry(int kind) {
    return VocabularyRow(ProcessKindTable, kind, u"process kind");
}
