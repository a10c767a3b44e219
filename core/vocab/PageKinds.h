#pragma once

#include "core/vocab/VocabularyIndex.h"

#include <QStringView>

#include <array>
#include <cstdint>

// The kinds of data-entry page. Every transaction carries its page kind (a 16-bit number in the
// record); the kind picks the page's names, the two letters that name its transaction files, the
// codes the ledger exports write, and the base of its transaction keys.
enum TPageKind : int {
    pkOpeningBalances = 0,
    pkPayments = 1,
    pkReceipts = 2,
    pkGeneralJournals = 3,
    pkSalesJournals = 4,
    pkPurchasesJournals = 5,
    pkWagesJournals = 6,
    pkPettyCashJournals = 7,
    pkBankStatementDeposits = 8,
    pkBankStatementWithdrawals = 9,
    pkOpeningUnpresentedCheques = 10,
    pkOpeningOutstandingDeposits = 11,
    pkMemorisedPayments = 12,
    pkStandardBankTransactions = 13,
    pkDeletedTransactions = 14,
};

struct TPageKindEntry {
    QStringView Name;       // page title, menus, messages
    QStringView ShortName;  // page lists and selections
    QStringView FileCode;   // two letters in the page's transaction file names; empty when the
                            // page has no file (deleted transactions are never written)
    QStringView ExportType; // type code of the ledger exports; empty when the page is not exported
    std::int32_t KeyBase;   // (10 + kind) x 10,000,000: transaction IDs and dissection numbers of
                            // the page start here, so a key tells its page
};

inline constexpr std::array<TPageKindEntry, 15> PageKindTable{{
    {u"Opening Balances", u"Opbl", u"OB", u"", 100000000},
    {u"Payments", u"Pay", u"PA", u"Pay", 110000000},
    {u"Receipts", u"Rec", u"RE", u"Rec", 120000000},
    {u"General Journals", u"Jnl", u"GJ", u"Jnl", 130000000},
    {u"Sales Journals", u"Sjnl", u"SJ", u"SDB", 140000000},
    {u"Purchases Journals", u"Pjnl", u"PJ", u"PDB", 150000000},
    {u"Wages Journals", u"Wjnl", u"WJ", u"Jnl", 160000000},
    {u"Petty Cash Journals", u"Pcjl", u"CJ", u"Jnl", 170000000},
    {u"Bank S'ment Deposits", u"Bdep", u"BD", u"Bst", 180000000},
    {u"Bank S'ment Withdrawals", u"Bwdl", u"BW", u"Bst", 190000000},
    {u"Opening Unpresented Cheques", u"Uchq", u"UC", u"", 200000000},
    {u"Opening Outstanding Deposits", u"Odep", u"OD", u"", 210000000},
    {u"Memorised Payments", u"Apay", u"MP", u"", 220000000},
    {u"Standard Bank Transactions", u"Sbnk", u"SB", u"", 230000000},
    {u"Deleted Transactions", u"Deleted", u"", u"", 240000000},
}};

inline constexpr int PageKindCount = static_cast<int>(PageKindTable.size());

// A second table of export type codes, one per page kind, holding the same codes as the
// ExportType column; the ledger exports read both.
inline constexpr std::array<QStringView, 15> PageKindSecondExportTypes{
    u"", u"Pay", u"Rec", u"Jnl", u"SDB", u"PDB", u"Jnl", u"Jnl", u"Bst", u"Bst", u"", u"", u"", u"", u""};

// One letter per page kind for the export layout that marks each line with a single character:
// payments "P", receipts "R", journals "J", wages and petty cash "C"; a blank for the others.
inline constexpr std::array<QStringView, 15> PageKindExportLetters{
    u" ", u"P", u"R", u"J", u"J", u"J", u"C", u"C", u" ", u" ", u" ", u" ", u" ", u" ", u" "};

constexpr bool IsPageKind(int kind) {
    return IsVocabularyIndex(PageKindTable, kind);
}
// Bank statement pages and the two opening bank-reconciliation pages (kinds 8 to 11): their entries
// post to no account beside the bank account.
constexpr bool IsBankStatementKind(int kind) {
    return kind >= pkBankStatementDeposits && kind <= pkOpeningOutstandingDeposits;
}
// Memorised payments and standard bank transactions: their date is a day of the month.
constexpr bool IsDayOfMonthKind(int kind) {
    return kind == pkMemorisedPayments || kind == pkStandardBankTransactions;
}
// The row of a page kind; an unknown kind (a damaged record) raises a clear error.
inline const TPageKindEntry& PageKindEntry(int kind) {
    return VocabularyRow(PageKindTable, kind, u"page kind");
}

// ---- Special references -----------------------------------------------------------------------

// Ordinary transaction references run from 1 to HighestOrdinaryReference. Above it lie the
// special references that mark generated or imported lines; each has a name shown in place of
// the number and a letter that stands for it in typed text. 1000004 to 1000008 are unnamed.
inline constexpr std::int32_t HighestOrdinaryReference = 1000000;
inline constexpr std::int32_t BankReference = 1000001;
inline constexpr std::int32_t OpeningBalanceReference = 1000002;
inline constexpr std::int32_t TessalyJournalReference = 1000003;
inline constexpr std::int32_t ContraReference = 1000009;

struct TSpecialReference {
    std::int32_t Reference;
    QStringView Name;
    char16_t Letter;
};

inline constexpr std::array<TSpecialReference, 4> SpecialReferenceTable{{
    {BankReference, u"Bank", u'B'},
    {OpeningBalanceReference, u"Opbal", u'O'},
    {TessalyJournalReference, u"TessalyJnl", u'D'},
    {ContraReference, u"Contra", u'C'},
}};

// The row of a named special reference, or nullptr for any other number.
constexpr const TSpecialReference* FindSpecialReference(std::int32_t reference) {
    for (const TSpecialReference& row : SpecialReferenceTable)
        if (row.Reference == reference)
            return &row;
    return nullptr;
}
