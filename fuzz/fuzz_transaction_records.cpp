// Feeds arbitrary bytes to one transaction record reader: the form is FUZZ_RECORD_SIZE (125, 84, 80
// or 76 bytes), and the input is cut into whole records of that form.
#include "core/accounts/AccountFormat.h"
#include "core/transactions/DosTransactionRecord.h"
#include "core/transactions/TransactionRecord.h"
#include "fuzz/FuzzSupport.h"

#include <cmath>
#include <cstdint>

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using TReader = bool (*)(const std::uint8_t*, TTransactionDetail&, const TDosCodeFormat&);
    static const TReader readers[] = {ReadTransRecV41, ReadTransRecV4, ReadTransRecV3};
    static const int sizes[] = {TransactionRecordSize, 84, 80, 76};
    static const TAccountFormat format("BASE", "AAAA-SS", "", "");
    constexpr int form = FUZZ_RECORD_SIZE == 125  ? 0
                         : FUZZ_RECORD_SIZE == 84 ? 1
                         : FUZZ_RECORD_SIZE == 80 ? 2
                                                  : 3;
    static_assert(FUZZ_RECORD_SIZE == 125 || FUZZ_RECORD_SIZE == 84 || FUZZ_RECORD_SIZE == 80 ||
                  FUZZ_RECORD_SIZE == 76);
    for (std::size_t at = 0; at + sizes[form] <= size; at += sizes[form]) {
        const std::uint8_t* record = data + at;
        if constexpr (form == 0) {
            // Every field reads safely, and what is written back reads back the same.
            const TTransactionDetail entry = ReadTransactionRecord(record);
            Check(entry.Details().size() <= 54 && TransactionHeaderSortOrder(record) <= 127);
            Check(std::isfinite(entry.Date) && std::isfinite(entry.Amount) && std::isfinite(entry.Rate));
            const QByteArray written = TransactionRecordBytes(entry);
            const auto* again = reinterpret_cast<const std::uint8_t*>(written.constData());
            Check(TransactionRecordBytes(ReadTransactionRecord(again)) == written);
        } else {
            TTransactionDetail entry(110100001, 1), back(110100001, 1);
            const bool dated = readers[form - 1](record, entry, {"QUILVANE", &format});
            IsDosHeaderRecord(static_cast<TDosRecordForm>(form - 1), record);
            Check(dated == (entry.Date != 0.0) && entry.Details().size() <= 40 &&
                  std::isfinite(entry.Amount));
            Check(entry.Reference < 10000 || entry.Reference == 1000001 || entry.Reference == 1000009);
            // The 84-byte record written from it reads back the same details, amount and reference
            // (damaged code texts may format alike and so read back as a contra line).
            const QByteArray written = WriteTransRecV41(entry, format);
            ReadTransRecV41(reinterpret_cast<const std::uint8_t*>(written.constData()), back,
                            {"QUILVANE", &format});
            Check(written.size() == 84 && back.Details() == entry.Details() && back.Amount == entry.Amount);
            Check(entry.Reference < 0 || back.Reference == 1000009 || back.Reference == entry.Reference);
        }
    }
    return 0;
}
