// Feeds arbitrary bytes to the transaction record readers. The first byte picks the form (125,
// 84, 80 or 76 bytes); the rest is cut into whole records of that form.
#include "core/accounts/AccountFormat.h"
#include "core/transactions/DosTransactionRecord.h"
#include "core/transactions/TransactionRecord.h"
#include "fuzz/FuzzSupport.h"

#include <QByteArray>

#include <cmath>
#include <cstdint>

namespace {

using fuzz::Check;

const std::uint8_t* Bytes(const QByteArray& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

// A record read and written back reads as the same entry, and its texts fit their fields.
void CurrentRecord(const std::uint8_t* record) {
    const TTransactionDetail entry = ReadTransactionRecord(record);
    Check(entry.Details().size() <= TTransactionDetail::DetailsCapacity);
    Check(std::isfinite(entry.Date) && std::isfinite(entry.Amount) && std::isfinite(entry.Rate));
    const QByteArray written = TransactionRecordBytes(entry);
    Check(written.size() == TransactionRecordSize);
    Check(TransactionRecordBytes(ReadTransactionRecord(Bytes(written))) == written);
    Check(TransactionHeaderSortOrder(record) <= 127);
}

void OlderRecord(TDosRecordForm form, const std::uint8_t* record) {
    static const TAccountFormat format("BASE", "AAAA-SS", "", "");
    const TDosCodeFormat codes{QStringLiteral("QUILVANE"), &format};
    TTransactionDetail entry(110100001, 1);
    const bool dated = form == TDosRecordForm::V41  ? ReadTransRecV41(record, entry, codes)
                       : form == TDosRecordForm::V4 ? ReadTransRecV4(record, entry, codes)
                                                    : ReadTransRecV3(record, entry, codes);
    Check(dated == (entry.Date != 0.0));
    Check(entry.Details().size() <= 40 && std::isfinite(entry.Amount));
    Check(entry.Reference < 10000 || entry.Reference == 1000001 || entry.Reference == 1000009);
    IsDosHeaderRecord(form, record);

    // The 84-byte form written from it reads back the same details, amount and reference.
    const QByteArray written = WriteTransRecV41(entry, format);
    Check(written.size() == DosRecordSize(TDosRecordForm::V41));
    TTransactionDetail back(110100001, 1);
    ReadTransRecV41(Bytes(written), back, codes);
    Check(back.Details() == entry.Details() && back.Amount == entry.Amount);
    // Codes read from damaged texts may format alike, and a posting equal to the bank with
    // reference 0 reads back as a contra line.
    if (entry.Reference >= 0 && back.Reference != 1000009)
        Check(back.Reference == entry.Reference);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const TDosRecordForm olderForms[] = {TDosRecordForm::V41, TDosRecordForm::V4, TDosRecordForm::V3};
    const int choice = data[0] % 4;
    const std::size_t recordSize =
        choice == 0 ? TransactionRecordSize : static_cast<std::size_t>(DosRecordSize(olderForms[choice - 1]));
    for (std::size_t at = 1; at + recordSize <= size; at += recordSize) {
        if (choice == 0)
            CurrentRecord(data + at);
        else
            OlderRecord(olderForms[choice - 1], data + at);
    }
    return 0;
}
