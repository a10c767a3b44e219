#include "core/transactions/TransactionClipboard.h"

#include "core/common/Money.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"

#include <QMimeData>
#include <QStringList>

namespace TransactionClipboard {

QString MimeType() {
    return QStringLiteral("application/x-quilvane-transactions");
}

std::unique_ptr<QMimeData> Build(TTransactionList& list, const std::vector<int>& indexes) {
    const TTransactionGrid grid(list);
    QByteArray records;
    QStringList lines;
    for (const int index : indexes) {
        const TTransactionDetail* entry = list.GetItem(index);
        if (!entry || entry->HasAnyFlag({TransactionFlag::Blank, TransactionFlag::DissectionTotal,
                                         TransactionFlag::TaxLine}))
            continue;
        // The entry goes as it was keyed: with the tax of its tax lines back in its amount and
        // without the dissection that its tax lines alone made, so that a paste, which makes the
        // tax lines afresh from the amount, takes the tax out once.
        TTransactionDetail keyed = *entry;
        if (list.IndexOfID(entry->ID, true) >= 0) {
            keyed.Amount = RoundToCent(entry->Amount + list.GetTaxAmount(index));
            if (!entry->HasAnyFlag({TransactionFlag::WasInDissection})) {
                keyed.Dissection = -1;
                keyed.ClearFlags({TransactionFlag::DissectionMember});
            }
        }
        records += TransactionRecordBytes(keyed);
        QStringList cells;
        for (int column = 0; column < TTransactionGrid::ColumnCount; ++column)
            cells << grid.GetCellText(index, column, true);
        lines << cells.join(u'\t');
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(MimeType(), records);
    data->setText(lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n');
    return data;
}

bool HasTransactions(const QMimeData& data) {
    return data.hasFormat(MimeType());
}

bool ReadRecords(const QMimeData& data, std::vector<QByteArray>& records, QString& error) {
    records.clear();
    error.clear();
    if (!HasTransactions(data)) {
        error = QStringLiteral("The clipboard holds no transactions.");
        return false;
    }
    const QByteArray bytes = data.data(MimeType());
    if (bytes.size() % TransactionRecordSize != 0) {
        error =
            QStringLiteral("The transactions on the clipboard are damaged: %1 bytes is not a whole number of "
                           "%2-byte records.")
                .arg(bytes.size())
                .arg(TransactionRecordSize);
        return false;
    }
    for (qsizetype at = 0; at < bytes.size(); at += TransactionRecordSize) {
        const QByteArray record = bytes.mid(at, TransactionRecordSize);
        if (!IsTransactionHeaderRecord(reinterpret_cast<const std::uint8_t*>(record.constData())))
            records.push_back(record);
    }
    return true;
}

} // namespace TransactionClipboard
