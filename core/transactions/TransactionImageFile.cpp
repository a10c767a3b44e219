#include "core/transactions/TransactionImageFile.h"

#include "core/common/Exceptions.h"
#include "core/files/Paths.h"
#include "core/files/Wildcard.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionReadBuffer.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/PageKinds.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
// Records read at a time.
constexpr qint64 BlockRecords = 2000;

// The files on the disk that a transaction file mask matches: their bytes and how many there are.
struct TMaskTotals {
    qint64 Bytes = 0;
    qint64 Files = 0;
};

TMaskTotals TotalsOf(const QString& mask) {
    TMaskTotals totals;
    for (const QString& path : FindMatchingFiles(mask)) {
        totals.Bytes += QFileInfo(path).size();
        ++totals.Files;
    }
    return totals;
}

// Each file holds one header record before its transactions.
qint64 TransactionsIn(const TMaskTotals& totals) {
    return std::max<qint64>(0, totals.Bytes / TransactionRecordSize - totals.Files);
}
} // namespace

qint64 EstimateTransactionCount(const QString& folder, const QString& fileCode, int year,
                                const std::vector<TTransactionFileSelection>& selection) {
    qint64 count = 0;
    for (const TTransactionFileSelection& item : selection) {
        const QString mask = TransactionFileMask(folder, fileCode, year, item.PageKind, item.Month);
        if (mask.isEmpty())
            continue;
        count += TransactionsIn(TotalsOf(mask));
    }
    return count;
}

std::vector<TTransactionFileInfo> ListTransactionFiles(const QString& folder, const QString& fileCode,
                                                       int year, int endMonth) {
    std::vector<int> months;
    for (int i = 1; i <= 12; ++i)
        months.push_back((endMonth + i - 1) % 12 + 1);
    months.push_back(0);
    std::vector<TTransactionFileInfo> files;
    for (int kind = 0; kind < PageKindCount; ++kind) {
        QStringList seen;
        for (const int month : months) {
            const QString name = TransactionFileMask(folder, fileCode, year, kind, month);
            if (name.isEmpty() || seen.contains(name))
                continue;
            seen << name;
            const TMaskTotals totals = TotalsOf(name);
            if (totals.Files > 0)
                files.push_back({name, kind, totals.Bytes, TransactionsIn(totals)});
        }
    }
    return files;
}

int LoadTransactionImageFile(const QString& fileName, std::vector<TTransactionDetail>& entries,
                             TTransactionImageBounds& bounds) {
    const QString path = NativePath(fileName);
    QFile file(path.isEmpty() ? fileName : path);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(
            QStringLiteral("Unable to read the transactions of %1 (%2)").arg(fileName, file.errorString()));
    const qint64 size = file.size();
    if (size % TransactionRecordSize != 0)
        throw EQuilvaneError(QStringLiteral("%1 is damaged: its %2 bytes are not whole transaction records.")
                                 .arg(fileName)
                                 .arg(size));
    std::vector<TTransactionDetail> read;
    read.reserve(static_cast<std::size_t>(size / TransactionRecordSize));
    TTransactionReadBuffer buffer;
    std::vector<char>& block = buffer.Bytes();
    block.resize(static_cast<std::size_t>(BlockRecords * TransactionRecordSize));
    for (qint64 done = 0; done < size;) {
        const qint64 wanted = std::min<qint64>(static_cast<qint64>(block.size()), size - done);
        if (file.read(block.data(), wanted) != wanted)
            throw EQuilvaneError(QStringLiteral("Unable to read the transactions of %1 (%2)")
                                     .arg(fileName, file.errorString()));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.data());
        for (qint64 at = 0; at < wanted; at += TransactionRecordSize)
            if (!IsTransactionHeaderRecord(bytes + at))
                read.push_back(ReadTransactionRecord(bytes + at));
        done += wanted;
    }
    entries.insert(entries.end(), read.begin(), read.end());
    bounds.fill(-1);
    for (std::size_t index = 0; index < entries.size(); ++index)
        for (std::size_t k = 0; k < TransactionImageBoundKinds.size(); ++k)
            if (entries[index].PageKind == TransactionImageBoundKinds[k]) {
                if (bounds[2 * k] < 0)
                    bounds[2 * k] = static_cast<int>(index);
                bounds[2 * k + 1] = static_cast<int>(index);
            }
    return static_cast<int>(read.size());
}
