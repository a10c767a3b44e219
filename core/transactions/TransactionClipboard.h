#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QMimeData;
class TTransactionList;

// The program's private clipboard format for transactions: the 125-byte records of the copied
// entries one after another, beside a plain-text copy of their grid cells for other programs.
// The format the program has always called "QUILVANE Transactions" travels as a MIME type of
// its own.
namespace TransactionClipboard {

// The MIME type that carries the records.
QString MimeType();

// The clipboard data of the entries at the indexes of the list: their records, and one text line
// per entry with the grid's cell texts separated by tabs. Blank lines, dissection totals and tax
// lines are left out: a paste makes the generated lines afresh, so an entry with tax lines goes
// with their tax back in its amount and without the dissection they alone made.
std::unique_ptr<QMimeData> Build(TTransactionList& list, const std::vector<int>& indexes);

// Whether the data carries records of this format.
bool HasTransactions(const QMimeData& data);

// The records the data carries, each of 125 bytes, header records left out. False, with the
// reason in error and no records, when the data carries none or a length that is not a whole
// number of records.
bool ReadRecords(const QMimeData& data, std::vector<QByteArray>& records, QString& error);

} // namespace TransactionClipboard
