#include "core/transactions/DosTransactionRecord.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/dates/DateNumbers.h"
#include "core/io/Real48.h"
#include "core/io/Win1252Codec.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/vocab/PageKinds.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct TField {
    int Offset;
    int Capacity; // characters after the length byte
};

// Where each form keeps its fields.
struct TDosLayout {
    int Size;
    TField Posting;
    TField Bank;
    int Amount;
    TField Details;
    const char* HeaderText; // nullptr: no header
};

constexpr TField DateField{0, 8};
constexpr int ReferenceOffset = 9;
constexpr int DissectionOffset = 11;
constexpr int DetailsCapacity = 40;

constexpr TDosLayout LayoutV41{84, {19, 8}, {28, 8}, 37, {43, DetailsCapacity}, "Transaction File V4.1"};
constexpr TDosLayout LayoutV4{80, {15, 8}, {24, 8}, 33, {39, DetailsCapacity}, "Transaction File V4"};
constexpr TDosLayout LayoutV3{76, {15, 6}, {22, 6}, 29, {35, DetailsCapacity}, nullptr};

const TDosLayout& Layout(TDosRecordForm form) {
    switch (form) {
    case TDosRecordForm::V41:
        return LayoutV41;
    case TDosRecordForm::V4:
        return LayoutV4;
    case TDosRecordForm::V3:
        break;
    }
    return LayoutV3;
}

// The bytes of a length-prefixed text, the length cut to the field.
QByteArray ShortStringBytes(const std::uint8_t* record, TField field) {
    const int length = std::min<int>(record[field.Offset], field.Capacity);
    return QByteArray(reinterpret_cast<const char*>(record + field.Offset + 1), length);
}

QString PlainText(const std::uint8_t* record, TField field) {
    return TWin1252Codec::Decode(ShortStringBytes(record, field));
}

QString HalvedText(const std::uint8_t* record, TField field) {
    QByteArray bytes = ShortStringBytes(record, field);
    for (char& c : bytes)
        c = static_cast<char>(static_cast<unsigned char>(c) >> 1);
    return TWin1252Codec::Decode(bytes);
}

void WriteText(QByteArray bytes, bool doubled, std::uint8_t* record, TField field) {
    bytes.truncate(field.Capacity);
    record[field.Offset] = static_cast<std::uint8_t>(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        record[field.Offset + 1 + i] = static_cast<std::uint8_t>(doubled ? (c << 1) & 0xFF : c);
    }
}

TAccountCode ReadCode(const QString& text, const TDosCodeFormat& codes) {
    TAccountCode code;
    if (codes.Format == nullptr || text.trimmed().isEmpty())
        return code;
    const QString converted =
        TAccountsChart::ConvertOldCodeText(codes.FormatID, codes.Format, text.trimmed());
    if (!codes.Format->TextToCode(converted, code, false, false))
        code = TAccountCode::Empty();
    return code;
}

bool ReadDosRecord(const TDosLayout& layout, const std::uint8_t* record, TTransactionDetail& entry,
                   const TDosCodeFormat& codes) {
    entry.Date = DosDateToDateNum(PlainText(record, DateField));
    const qint16 reference = qFromLittleEndian<qint16>(record + ReferenceOffset);
    entry.Reference = reference < 10000 ? reference : BankReference;
    const qint16 dissection = qFromLittleEndian<qint16>(record + DissectionOffset);
    entry.SetFlags({TransactionFlag::Keyed});
    if (dissection > 0) {
        entry.Dissection = dissection;
        entry.SetFlags({TransactionFlag::DissectionMember});
    }
    entry.PostingCode = ReadCode(HalvedText(record, layout.Posting), codes);
    entry.BankCode = ReadCode(PlainText(record, layout.Bank), codes);
    TReal48::TBytes amount;
    std::copy_n(record + layout.Amount, amount.size(), amount.begin());
    entry.Amount = TReal48::ToDouble(amount);
    if (!std::isfinite(entry.Amount))
        entry.Amount = 0.0;
    entry.SetDetails(HalvedText(record, layout.Details).trimmed());
    if (entry.Reference == 0 && !entry.HasNoBankAccount() && entry.SameCode(entry.BankCode, true)) {
        entry.SetFlags({TransactionFlag::Contra});
        entry.Reference = ContraReference;
    }
    return entry.Date != 0.0;
}

// The last four of the six digits of an ordinary reference.
qint16 DosReference(qint32 reference) {
    switch (reference) {
    case BankReference:
        return 19999;
    case OpeningBalanceReference:
        return 1;
    case ContraReference:
        return 0;
    default:
        break;
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.6d", static_cast<int>(reference));
    return static_cast<qint16>(QByteArray(digits).mid(2, 4).toInt());
}

} // namespace

int DosRecordSize(TDosRecordForm form) {
    return Layout(form).Size;
}

bool IsDosHeaderRecord(TDosRecordForm form, const std::uint8_t* record) {
    const TDosLayout& layout = Layout(form);
    return layout.HeaderText != nullptr && ShortStringBytes(record, layout.Details) == layout.HeaderText;
}

QByteArray DosHeaderRecordV41() {
    QByteArray bytes(LayoutV41.Size, '\0');
    WriteText(LayoutV41.HeaderText, false, reinterpret_cast<std::uint8_t*>(bytes.data()), LayoutV41.Details);
    return bytes;
}

double DosDateToDateNum(const QString& text) {
    const QStringList parts = text.trimmed().split(u'/');
    if (parts.size() != 3)
        return 0.0;
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok || parts[i].size() < 1 || parts[i].size() > 2 || !parts[i].front().isDigit())
            return 0.0;
    }
    const int year = ToggleYearDigits(numbers[2]);
    if (numbers[1] < 1 || numbers[1] > 12 || numbers[0] < 1 || numbers[0] > DaysInMonth(year, numbers[1]))
        return 0.0;
    return EncodeDateNum(year, numbers[1], numbers[0]);
}

bool ReadTransRecV41(const std::uint8_t* record, TTransactionDetail& entry, const TDosCodeFormat& codes) {
    return ReadDosRecord(LayoutV41, record, entry, codes);
}

bool ReadTransRecV4(const std::uint8_t* record, TTransactionDetail& entry, const TDosCodeFormat& codes) {
    return ReadDosRecord(LayoutV4, record, entry, codes);
}

bool ReadTransRecV3(const std::uint8_t* record, TTransactionDetail& entry, const TDosCodeFormat& codes) {
    return ReadDosRecord(LayoutV3, record, entry, codes);
}

QByteArray WriteTransRecV41(const TTransactionDetail& entry, const TAccountFormat& format) {
    QByteArray bytes(LayoutV41.Size, '\0');
    auto* record = reinterpret_cast<std::uint8_t*>(bytes.data());
    int year = 0, month = 0, day = 0;
    DecodeDateNum(entry.Date, year, month, day);
    char date[16];
    std::snprintf(date, sizeof date, "%.2d/%.2d/%.2d", day, month, year % 100);
    WriteText(date, false, record, DateField);
    qToLittleEndian(DosReference(entry.Reference), record + ReferenceOffset);
    const qint32 dissection =
        entry.Dissection < 0 ? 0 : std::min<qint32>(TransactionKeySequence(entry.Dissection) + 1, 32767);
    qToLittleEndian(static_cast<qint16>(dissection), record + DissectionOffset);
    WriteText(TWin1252Codec::Encode(format.FormatCode(entry.PostingCode)), true, record, LayoutV41.Posting);
    WriteText(TWin1252Codec::Encode(format.FormatCode(entry.BankCode)), false, record, LayoutV41.Bank);
    const TReal48::TBytes amount = TReal48::FromDouble(entry.Amount);
    std::copy(amount.begin(), amount.end(), record + LayoutV41.Amount);
    const auto& details = entry.DetailsField();
    WriteText(QByteArray(details.data() + 1, static_cast<unsigned char>(details[0])), true, record,
              LayoutV41.Details);
    return bytes;
}
