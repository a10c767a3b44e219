#pragma once

#include "core/transactions/TransactionDetail.h"

#include <QString>

#include <array>
#include <vector>

// One page kind and calendar month (0 for a list without a period) of a list's selection.
struct TTransactionFileSelection {
    int PageKind = 0;
    int Month = 0;
};

// The number of transaction records the standard files of a selection would give: for each
// page kind and month, the files of that kind and month in the file code's folder under folder
// (the client file's data folder), of the year or of any year (AnyTransactionYear), their total
// size div 125, less one header record per file. A month never counts below 0.
qint64 EstimateTransactionCount(const QString& folder, const QString& fileCode, int year,
                                const std::vector<TTransactionFileSelection>& selection);

// One transaction file of a year that is on the disk: its stored name, its page kind, its size
// in bytes and the number of transactions it holds (as EstimateTransactionCount counts them).
struct TTransactionFileInfo {
    QString FileName;
    int PageKind = 0;
    qint64 Size = 0;
    qint64 Transactions = 0;
};

// The standard transaction files of a year that exist in the file code's folder under folder
// (the client file's data folder), page kind by page kind, each kind's months in the order of
// the financial year that ends in endMonth (1-12), then the file without a month; a name shared
// by several months (the kinds with one file a year) is listed once.
std::vector<TTransactionFileInfo> ListTransactionFiles(const QString& folder, const QString& fileCode,
                                                       int year, int endMonth);

// The page kinds whose first and last list index LoadTransactionImageFile reports, in order.
inline constexpr std::array<int, 6> TransactionImageBoundKinds{1, 2, 11, 10, 8, 9};
using TTransactionImageBounds = std::array<int, 12>;

// Reads a file of 125-byte transaction records and adds them to the end of entries, skipping
// header records; bounds receives the first and last index in entries of each kind of
// TransactionImageBoundKinds (-1 and -1 for a kind that does not occur). The file is read in
// blocks. Returns the number of records added. A file that cannot be read, or whose size is
// not a whole number of records, raises EQuilvaneError and leaves entries and bounds as they
// were.
int LoadTransactionImageFile(const QString& fileName, std::vector<TTransactionDetail>& entries,
                             TTransactionImageBounds& bounds);
