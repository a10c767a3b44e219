#pragma once

#include "core/transactions/TransactionDetail.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

class TAccountFormat;

// The fixed records of the DOS version's transaction files. All three forms hold a date text
// "dd/mm/yy", a 16-bit reference and dissection number (0 for none), the posting and bank
// account texts, a 6-byte real amount and the details; the posting text and the details are
// stored with every character code doubled (shifted left within the byte), the bank text plain.
//   84 bytes (V4.1): date 0 (9), reference 9, dissection 11, six zeros 13, posting 19 (9),
//                    bank 28 (9), amount 37 (6), details 43 (41); header "Transaction File V4.1"
//   80 bytes (V4):   date 0, reference 9, dissection 11, two unread 13, posting 15 (9),
//                    bank 24 (9), amount 33, details 39; header "Transaction File V4"
//   76 bytes (V3):   date 0, reference 9, dissection 11, two unread 13, posting 15 (7),
//                    bank 22 (7), amount 29, details 35; no header
// Only the 84-byte form is written.
enum class TDosRecordForm { V41, V4, V3 };

int DosRecordSize(TDosRecordForm form);

// Whether the record is its form's header: its details, read plain, are the header text. The
// 76-byte form has none.
bool IsDosHeaderRecord(TDosRecordForm form, const std::uint8_t* record);
// The 84-byte header record.
QByteArray DosHeaderRecordV41();

// The account format the texts of a file's older records are read with: the format's identifier
// picks how old separators are converted. Without a format no code is read.
struct TDosCodeFormat {
    QString FormatID;
    const TAccountFormat* Format = nullptr;
};

// Reads a date text "dd/mm/yy" (years below 90 are 20xx); 0 for a text that is no date.
double DosDateToDateNum(const QString& text);

// Converts one older record into the entry (whose ID and page kind the caller sets): the date
// (0 when unreadable), a reference below 10000 or else Bank, a dissection number above 0 with
// DissectionMember, the account codes the texts parse to (else empty), the amount (0 when no
// finite number) and the trimmed details; the entry is marked keyed, and one posting to its own
// bank account with reference 0 becomes a contra line. Lengths beyond their fields are cut.
// Returns whether the date text was a date.
bool ReadTransRecV41(const std::uint8_t* record, TTransactionDetail& entry, const TDosCodeFormat& codes);
bool ReadTransRecV4(const std::uint8_t* record, TTransactionDetail& entry, const TDosCodeFormat& codes);
bool ReadTransRecV3(const std::uint8_t* record, TTransactionDetail& entry, const TDosCodeFormat& codes);

// The 84-byte record of an entry: the date as "dd/mm/yy", Bank as 19999, Opbal as 1, Contra as
// 0 and any other reference as the last four of its six digits; the dissection as its sequence
// + 1 (at most 32767) or 0; the codes in the given format cut to 8 characters; the details cut
// to 40.
QByteArray WriteTransRecV41(const TTransactionDetail& entry, const TAccountFormat& format);
