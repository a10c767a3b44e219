#include "core/transactions/TransactionRecord.h"

#include "core/common/Exceptions.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/vocab/FileVocabulary.h"

#include <QDir>
#include <QStringList>
#include <QtEndian>

#include <bit>
#include <cmath>

namespace {

constexpr int IDOffset = 0;
constexpr int PageKindOffset = 4;
constexpr int DissectionOffset = 6;
constexpr int ParentOffset = 10;
constexpr int FlagsOffset = 14;
constexpr int DateOffset = 18;
constexpr int ReferenceOffset = 26;
constexpr int BankCodeOffset = 30;
constexpr int PostingCodeOffset = 38;
constexpr int AmountOffset = 46;
constexpr int RateOffset = 54;
constexpr int QuantityOffset = 62;
constexpr int TaxCodesOffset = 66;
constexpr int DetailsOffset = 70;

double ReadFiniteDouble(const std::uint8_t* at) {
    const double value = std::bit_cast<double>(qFromLittleEndian<quint64>(at));
    return std::isfinite(value) ? value : 0.0;
}

void WriteDouble(double value, std::uint8_t* at) {
    qToLittleEndian(std::bit_cast<quint64>(value), at);
}

void WriteCode(const TAccountCode& code, std::uint8_t* at) {
    const auto bytes = AccountCodeToBytes(code);
    std::copy(bytes.begin(), bytes.end(), at);
}

} // namespace

TTransactionDetail ReadTransactionRecord(const std::uint8_t* record) {
    TTransactionDetail entry;
    ReadTransactionRecordInto(record, entry);
    return entry;
}

void ReadTransactionRecordInto(const std::uint8_t* record, TTransactionDetail& entry) {
    entry.ID = qFromLittleEndian<qint32>(record + IDOffset);
    entry.PageKind = qFromLittleEndian<qint16>(record + PageKindOffset);
    entry.Dissection = qFromLittleEndian<qint32>(record + DissectionOffset);
    entry.ParentID = qFromLittleEndian<qint32>(record + ParentOffset);
    entry.Flags = qFromLittleEndian<quint32>(record + FlagsOffset);
    entry.Date = ReadFiniteDouble(record + DateOffset);
    entry.Reference = qFromLittleEndian<qint32>(record + ReferenceOffset);
    entry.BankCode = AccountCodeFromBytes(record + BankCodeOffset);
    entry.PostingCode = AccountCodeFromBytes(record + PostingCodeOffset);
    entry.Amount = ReadFiniteDouble(record + AmountOffset);
    entry.Rate = ReadFiniteDouble(record + RateOffset);
    entry.Quantity = qFromLittleEndian<qint32>(record + QuantityOffset);
    entry.TaxCodes = qFromLittleEndian<quint32>(record + TaxCodesOffset);
    TTransactionDetail::TDetailsField details;
    std::copy_n(record + DetailsOffset, details.size(), details.begin());
    entry.SetDetailsField(details);
}

void WriteTransactionRecord(const TTransactionDetail& entry, std::uint8_t* record) {
    qToLittleEndian(entry.ID, record + IDOffset);
    qToLittleEndian(entry.PageKind, record + PageKindOffset);
    qToLittleEndian(entry.Dissection, record + DissectionOffset);
    qToLittleEndian(entry.ParentID, record + ParentOffset);
    qToLittleEndian(entry.Flags, record + FlagsOffset);
    WriteDouble(entry.Date, record + DateOffset);
    qToLittleEndian(entry.Reference, record + ReferenceOffset);
    WriteCode(entry.BankCode, record + BankCodeOffset);
    WriteCode(entry.PostingCode, record + PostingCodeOffset);
    WriteDouble(entry.Amount, record + AmountOffset);
    WriteDouble(entry.Rate, record + RateOffset);
    qToLittleEndian(entry.Quantity, record + QuantityOffset);
    qToLittleEndian(entry.TaxCodes, record + TaxCodesOffset);
    const auto& details = entry.DetailsField();
    std::copy(details.begin(), details.end(), record + DetailsOffset);
}

QByteArray TransactionRecordBytes(const TTransactionDetail& entry) {
    QByteArray bytes(TransactionRecordSize, '\0');
    WriteTransactionRecord(entry, reinterpret_cast<std::uint8_t*>(bytes.data()));
    return bytes;
}

bool IsTransactionHeaderRecord(const std::uint8_t* record) {
    return qFromLittleEndian<qint32>(record + IDOffset) == -1 ||
           (qFromLittleEndian<quint32>(record + FlagsOffset) & (1u << TransactionFlag::Header)) != 0;
}

bool IsWrittenTransactionHeader(const std::uint8_t* record) {
    return qFromLittleEndian<qint32>(record + IDOffset) == -1 &&
           (qFromLittleEndian<quint32>(record + FlagsOffset) & (1u << TransactionFlag::Header)) != 0;
}

qint16 TransactionRecordPageKind(const std::uint8_t* record) {
    return qFromLittleEndian<qint16>(record + PageKindOffset);
}

int TransactionHeaderSortOrder(const std::uint8_t* record) {
    return record[QuantityOffset] & 0x7F;
}

QByteArray TransactionHeaderRecord(int sortOrder, const QString& fileCode, const QString& accountFormatID) {
    QByteArray bytes(TransactionRecordSize, '\0');
    auto* record = reinterpret_cast<std::uint8_t*>(bytes.data());
    qToLittleEndian<qint32>(-1, record + IDOffset);
    qToLittleEndian<quint32>(1u << TransactionFlag::Header, record + FlagsOffset);
    qToLittleEndian<qint32>(sortOrder & 0x7F, record + QuantityOffset);
    TTransactionDetail text;
    const QStringList words = {TransactionsHeader.Version.toString(), TransactionsHeader.Kind.toString(),
                               fileCode, accountFormatID};
    text.SetDetails(words.join(u','));
    const auto& details = text.DetailsField();
    std::copy(details.begin(), details.end(), record + DetailsOffset);
    return bytes;
}

qint64 MaxTransactionFileBytes() {
    return (1 + MaxTransactionFileRecords) * TransactionRecordSize;
}

void RefuseOversizedTransactionFile(const QString& nativePath, qint64 size, int recordSize) {
    if (size > (1 + MaxTransactionFileRecords) * recordSize)
        throw EQuilvaneError(
            QStringLiteral("%1 is damaged: it holds more than the %2 entries a transaction file can hold")
                .arg(QDir::toNativeSeparators(nativePath))
                .arg(MaxTransactionFileRecords));
}
