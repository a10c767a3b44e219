#pragma once

// Bit numbers of a transaction's flag set. Bits 8, 11 and 22 to 31 have no meaning here and are
// kept as read.
namespace TransactionFlag {
inline constexpr int Keyed = 0;            // keyed entry (every entry read from an older form)
inline constexpr int Blank = 1;            // the empty line at a page's end; never stored
inline constexpr int Reconciled = 2;       // shown in blue text
inline constexpr int DissectionMember = 3; // its dissection number is set
inline constexpr int DissectionTotal = 4;  // generated total of a dissection; never stored
inline constexpr int Contra = 5;           // generated balancing posting to the bank account
inline constexpr int WasInDissection = 6;  // in a dissection before its tax lines were made
inline constexpr int TaxLine = 7;          // generated from its parent entry's tax codes
inline constexpr int Deleted = 9;          // the blank line of a deleted-transactions page
inline constexpr int Header = 10;          // header record of a transaction file
inline constexpr int BankRecMarkA = 12;    // bank-reconciliation state marks, cleared with
inline constexpr int BankRecMarkB = 13;    // Reconciled by a reconciliation reset
inline constexpr int BankRecMarkC = 16;
inline constexpr int ReconciledAdjustment = 14; // adjustment line of a reconciled dissection
inline constexpr int Highlight = 15;            // brought in by an append load
inline constexpr int PasteClearedA = 17;        // marks removed, with Reconciled, by a paste
inline constexpr int PasteClearedB = 20;
inline constexpr int PasteClearedC = 21;
inline constexpr int CapitalAcquisition = 18;
inline constexpr int NonCash = 19;
} // namespace TransactionFlag
