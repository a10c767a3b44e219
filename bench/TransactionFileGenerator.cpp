#include "bench/TransactionFileGenerator.h"

#include "core/dates/DateNumbers.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionRecord.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

namespace {

constexpr int FirstKind = 1;
constexpr int LastKind = 9;
constexpr int Kinds = LastKind - FirstKind + 1;

// One entry of a month file: the sequence orders it within the file.
TTransactionDetail SyntheticEntry(int kind, int month, int calendarYear, int slot, qint32 sequence) {
    const qint32 base = TransactionSlotKeyBase(kind, slot);
    TTransactionDetail entry(base + sequence, static_cast<qint16>(kind));
    entry.SetFlags({TransactionFlag::Keyed});
    // The members of a dissection share its date, reference and bank account.
    const bool member = sequence % 15 < 3;
    const qint32 shared = member ? sequence - sequence % 15 : sequence;
    entry.Date = EncodeDateNum(calendarYear, month, 1 + shared % 28);
    entry.Reference = 100000 + shared % 900000;
    entry.BankCode = TAccountCode{-1, -1, static_cast<qint16>(100 + shared % 3), -1};
    entry.PostingCode = TAccountCode{-1, -1, static_cast<qint16>(1000 + sequence % 900), -1};
    entry.Amount = static_cast<double>((sequence * 7919) % 1000000) / 100.0;
    if (sequence % 4 == 0)
        entry.TaxCodes = 1u << (sequence % 8);
    if (member) { // members 0-2 of every fifteen: one dissection in five entries
        entry.Dissection = base + sequence / 15 + 1;
        entry.SetFlags({TransactionFlag::DissectionMember});
    }
    entry.SetDetails(
        QStringLiteral("Synthetic transaction %1 of %2/%3").arg(sequence).arg(month).arg(calendarYear));
    return entry;
}

} // namespace

qint64 WriteSyntheticTransactionFiles(const TSyntheticTransactions& files, qint64 count) {
    if (!QDir().mkpath(QDir(files.DataDir).filePath(files.FileCode)))
        std::abort();
    qint64 written = 0;
    const qint64 filesCount = Kinds * 12;
    for (int kind = FirstKind; kind <= LastKind; ++kind) {
        for (int slot = 1; slot <= 12; ++slot) {
            const int month = (files.EndMonth + slot - 1) % 12 + 1;
            const int calendarYear = month > files.EndMonth ? files.Year - 1 : files.Year;
            const qint64 index = (kind - FirstKind) * 12 + (slot - 1);
            const qint64 entries = count / filesCount + (index < count % filesCount ? 1 : 0);
            QByteArray bytes = TransactionHeaderRecord(0, files.FileCode, QStringLiteral("QUILVANE"));
            bytes.resize(TransactionRecordSize * (entries + 1));
            // In the order the program stores a month: by bank account, then date, reference and
            // dissection (sort order 0).
            std::vector<TTransactionDetail> monthEntries;
            monthEntries.reserve(static_cast<size_t>(entries));
            for (qint64 i = 0; i < entries; ++i)
                monthEntries.push_back(SyntheticEntry(kind, month, calendarYear, slot,
                                                      static_cast<qint32>(i % TaxLineSequence)));
            std::stable_sort(monthEntries.begin(), monthEntries.end(), [](const auto& a, const auto& b) {
                return std::tuple(a.BankCode.Account, a.Date, a.Reference, a.Dissection) <
                       std::tuple(b.BankCode.Account, b.Date, b.Reference, b.Dissection);
            });
            auto* at = reinterpret_cast<std::uint8_t*>(bytes.data()) + TransactionRecordSize;
            for (const TTransactionDetail& entry : monthEntries) {
                WriteTransactionRecord(entry, at);
                at += TransactionRecordSize;
            }
            const QString stored =
                TransactionFileName(files.DataDir, files.FileCode, files.Year, kind, month, {});
            QFile file(QString(stored).replace(u'\\', u'/'));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                std::abort();
            written += bytes.size();
        }
    }
    return written;
}

bool WriteSyntheticClientRecord(const QString& dataDir) {
    QFile record(QDir(dataDir).filePath(QStringLiteral("BEN001.CFG")));
    return record.open(QIODevice::WriteOnly) &&
           record.write("[CONFIGURATION]\r\nCode=BEN001\r\nType=COY\r\nName=Bench\r\nCreated=732494.5\r\n"
                        "Accessed=732495.25\r\nAccFormatID=QUILVANE\r\n"
                        "Year=2006\r\nPeriods=12\r\nEndMonth=6\r\nPeriod=1\r\nLocked=0\r\nLockedBy=\r\n") >=
               0;
}

void UseBenchProgramParams(const std::shared_ptr<TProgramParams>& params, const QString& dataDir) {
    params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
    params->LicFilePath = dataDir;
    params->UserName = QStringLiteral("BENCH");
    SetProgramParams(params);
}
