#pragma once

#include "core/transactions/TransactionDetail.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// The 125-byte record of the transaction files and of the clipboard's transactions, little-endian
// and packed:
//   0 ID (i32), 4 page kind (i16), 6 dissection (i32), 10 parent ID (i32), 14 flags (u32),
//   18 date (f64), 26 reference (i32), 30 bank code (4 x i16), 38 posting code (4 x i16),
//   46 amount (f64), 54 rate (f64), 62 quantity (i32), 66 tax codes (u32),
//   70 details (length byte + 54 bytes).
// A file starts with a header record: zero but for ID -1, the Header flag, the list's sort order
// at offset 62 and the text "V5.5,GL Transactions,<file code>,<account format>" as details.
inline constexpr int TransactionRecordSize = 125;

// The most bytes a transaction file of the current form can hold: its header record and
// MaxTransactionFileRecords entries. The older forms have smaller records, so no transaction file
// the program reads or writes is longer; a reader can refuse anything larger before reading it.
qint64 MaxTransactionFileBytes();

// Raises EQuilvaneError naming the file when a transaction file of `size` bytes in records of
// `recordSize` bytes is longer than its header and MaxTransactionFileRecords entries: no month
// holds that many, so the file is damaged and is refused before any of it is read.
void RefuseOversizedTransactionFile(const QString& nativePath, qint64 size, int recordSize);

// Reads a record. Records come from files and other programs: the details length is cut to its
// field, and a date, amount or rate that is no finite number reads as 0.
TTransactionDetail ReadTransactionRecord(const std::uint8_t* record);
// The same into an entry that exists: every field is set from the record.
void ReadTransactionRecordInto(const std::uint8_t* record, TTransactionDetail& entry);
void WriteTransactionRecord(const TTransactionDetail& entry, std::uint8_t* record);
QByteArray TransactionRecordBytes(const TTransactionDetail& entry);

// Whether a record is a header: ID -1 or the Header flag.
bool IsTransactionHeaderRecord(const std::uint8_t* record);
// Whether a record is a header as the program writes it: ID -1 and the Header flag.
bool IsWrittenTransactionHeader(const std::uint8_t* record);
// The page kind of a record.
qint16 TransactionRecordPageKind(const std::uint8_t* record);
// The sort order a header holds (its low seven bits).
int TransactionHeaderSortOrder(const std::uint8_t* record);
QByteArray TransactionHeaderRecord(int sortOrder, const QString& fileCode, const QString& accountFormatID);
