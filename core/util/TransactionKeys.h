#pragma once

#include <QtGlobal>

// Transaction IDs and dissection numbers carry their page and month:
// key = (10 + page kind) x 10,000,000 + month slot x 100,000 + sequence (0 to 99,999),
// where the month slot is the month's number in the file's financial year (1 to 12).

// The first key of a page kind (0 to 14) in a month slot (1 to 12); raises EQuilvaneError for
// anything outside those ranges, so that no key for a thirteenth month is ever made.
qint32 TransactionKeyBase(int pageKind, int monthSlot);

// The sequence part of a key (Key mod 100000).
qint32 TransactionKeySequence(qint32 key);

// The page kind and month slot of a stored key. The slot is returned as stored: keys written by
// older versions may hold slots up to 17, so callers check it before indexing by it.
void SplitTransactionKey(qint32 key, int& pageKind, int& monthSlot);
