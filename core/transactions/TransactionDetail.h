#pragma once

#include "core/accounts/AccountCode.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <initializer_list>

// One transaction of a data-entry page, or a line generated beside it (tax line, dissection
// total, contra line). Its fields are those of the 125-byte record of the transaction files and
// the clipboard; TransactionRecord.h reads and writes that record. Final: the pool's slots hold
// exactly this class, and a delete through its type frees a slot of its size.
class TTransactionDetail final {
public:
    // The details hold at most this many Windows-1252 bytes.
    static constexpr int DetailsCapacity = 54;

    // Entries are made and freed a million at a time: their memory comes from a pool of their own
    // (TTransactionDetailPool).
    static void* operator new(std::size_t size);
    static void operator delete(void* entry, std::size_t size) noexcept;
    // Entries made in place (in Qt's containers) use the memory they are given.
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void*, void*) noexcept {}

    // A new entry with that ID and page kind in the default state.
    explicit TTransactionDetail(qint32 id = 0, qint16 pageKind = 0);

    // Resets every field but ID, page kind, amount and details: date 0, no dissection or parent,
    // flags {Blank} (plus NonCash on sales and purchases journals), reference 1, empty codes,
    // rate 1.0, quantity 0, no tax codes.
    void SetDefaults();
    // Copies every field.
    void Assign(const TTransactionDetail& source) { *this = source; }

    // Asked for every entry in every pass over a list: defined here so that it folds into the
    // callers. Flag numbers outside 0-31 are ignored; false for an empty list.
    bool HasAnyFlag(std::initializer_list<int> flags) const {
        for (const int flag : flags)
            if (flag >= 0 && flag < 32 && (Flags >> flag & 1u) != 0)
                return true;
        return false;
    }
    bool HasAllFlags(std::initializer_list<int> flags) const;
    // Removes Blank, then adds the flags: setting any flag makes the line a keyed line.
    void SetFlags(std::initializer_list<int> flags);
    // Removes the flags; an entry that loses Contra gets reference 0.
    void ClearFlags(std::initializer_list<int> flags);

    // Whether the code equals the posting account code (isAccount) or the bank account code.
    bool SameCode(const TAccountCode& code, bool isAccount) const;
    bool HasNoBankAccount() const { return BankCode.IsEmpty(); }
    // The amount in the file's own currency: amount / rate to the nearest cent (halves to even)
    // when the rate is above 0, else the amount; negated on receipts, sales journals, bank
    // statement deposits and opening outstanding deposits, so money in is negative.
    double GetLocalAmount() const;

    QString Details() const;
    // Sets the details as Windows-1252 text, cut to DetailsCapacity bytes.
    void SetDetails(const QString& text);
    // The stored field: length byte, then DetailsCapacity bytes (kept as read past the length).
    using TDetailsField = std::array<char, DetailsCapacity + 1>;
    const TDetailsField& DetailsField() const { return DetailsBytes; }
    // Takes a stored field; a length byte beyond the capacity is cut to it.
    void SetDetailsField(const TDetailsField& field);

    qint32 ID = 0;
    qint16 PageKind = 0;
    qint32 Dissection = -1;
    qint32 ParentID = -1;
    quint32 Flags = 0;
    double Date = 0.0;
    qint32 Reference = 1;
    TAccountCode BankCode;
    TAccountCode PostingCode;
    double Amount = 0.0;
    double Rate = 1.0;
    qint32 Quantity = 0;
    quint32 TaxCodes = 0;

private:
    TDetailsField DetailsBytes{};
};
