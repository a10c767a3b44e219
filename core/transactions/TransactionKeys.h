#pragma once

#include <QtGlobal>

// Transaction IDs and dissection numbers carry their page and month:
// key = (10 + page kind) x 10,000,000 + month slot x 100,000 + sequence (0 to 99,999),
// where the month slot is the month's number in the file's financial year (1 to 12). The
// highest key, that of a deleted transaction in slot 12 with sequence 99,999, is 241,299,999.

// Every tax line takes this sequence, every dissection total line the next.
inline constexpr qint32 TaxLineSequence = 99998;
inline constexpr qint32 DissectionTotalSequence = 99999;

// The most entries one transaction file can hold besides its header record: its month slot has
// 100,000 sequences, and beside each keyed entry stand at most its tax line and the total line
// of its dissection. A file longer than this many records, in any record form, is not one the
// program wrote.
inline constexpr qint64 MaxTransactionFileRecords = 3 * 100000;

// Page kinds whose list keeps one file only (opening balances, opening unpresented cheques and
// outstanding deposits, memorised payments, standard bank transactions): all their keys lie in
// month slot 1.
bool IsOneFileKind(int pageKind);

// The month slot of a calendar month for a page kind: the month's number in the financial year
// that ends in endMonth (July is 1 for a June year end, January for a December one). Month 0 (a
// list without a period) and the one-file kinds give slot 1. Raises EQuilvaneError for a month
// or year-end month outside 1-12, so that no slot outside 1-12 is ever made.
int TransactionMonthSlot(int pageKind, int month, int endMonth);

// The first key (sequence 0) of a page kind (0 to 14) in the month slot of a calendar month
// (0 for a list without a period) of a financial year ending in endMonth.
qint32 TransactionKeyBase(int pageKind, int month, int endMonth);

// The first key of a page kind in a month slot (1 to 12); raises EQuilvaneError for anything
// outside those ranges.
qint32 TransactionSlotKeyBase(int pageKind, int monthSlot);

// The sequence part of a key (Key mod 100000).
qint32 TransactionKeySequence(qint32 key);

// The page kind and month slot of a stored key. The slot is returned as stored: keys written by
// older versions may hold slots up to 17, so callers check it before indexing by it.
void SplitTransactionKey(qint32 key, int& pageKind, int& monthSlot);
