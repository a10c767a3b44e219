#pragma once

#include "core/common/OptionSet.h"

#include <QString>

// Each page kind keeps its transactions in one file per file code, financial year and calendar
// month. The standard name is <folder>\<code>\<code><yy>.<page code><month character>, for
// example ABCDEF\ABCDEF05.PA4 for the October payments of the 2005 year. The DOS version's names
// (options 9 and 13) have no folder level: BNKREC (bank statement pages), UNPRES (opening
// unpresented cheques), OSDEPS (opening outstanding deposits) or the file code, the year, ".",
// one letter per kind (or BRC for the two opening bank-reconciliation kinds) and the month
// index as two digits.

// The number of a calendar month (1-12) in a July-to-June cycle, whatever the file's own
// year-end month: July 1 ... December 6, January 7 ... June 12.
int TransactionFileMonthIndex(int month);

// The transaction file of a page kind for a calendar month (0 for a list without a period:
// nothing then follows the page code or letter, in either naming) of a year (four digits, or already two).
// folder is the client file's data folder for the options (GetEntityDataDir). Options 9 and 13 give the DOS
// name. Empty when the kind has no file in that naming (deleted transactions never have one;
// in the DOS naming only opening balances, payments, receipts, general journals and the bank
// statement and opening bank-reconciliation kinds do). Raises EQuilvaneError for a month
// outside 0-12, a page kind outside 0-14 or a year without a two-digit form.
QString TransactionFileName(const QString& folder, const QString& fileCode, int year, int pageKind, int month,
                            const TOptionSet& options);

// The same name in the client file's data folder for the options (GetEntityDataDir): the transfer
// drive with option 13, the program's transfer folder with option 2, else the file's own folder.
QString TransactionFileName(const QString& fileCode, const QString& dataDir, const QString& xferDir,
                            const QString& programDataDir, int year, int pageKind, int month,
                            const TOptionSet& options);

// The standard name with the year left open ("*") when year is AnyTransactionYear: the mask
// of a kind's month files across the years.
inline constexpr int AnyTransactionYear = -1;
QString TransactionFileMask(const QString& folder, const QString& fileCode, int year, int pageKind,
                            int month);
