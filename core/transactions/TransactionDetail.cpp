#include "core/transactions/TransactionDetail.h"
#include "core/common/Money.h"

#include "core/io/Win1252Codec.h"
#include "core/transactions/TransactionDetailPool.h"
#include "core/transactions/TransactionFlags.h"
#include "core/util/FlagSets.h"
#include "core/util/Numbers.h"
#include "core/vocab/PageKinds.h"

#include <algorithm>
#include <new>

static_assert(sizeof(TTransactionDetail) <= TTransactionDetailPool::SlotSize &&
              alignof(TTransactionDetail) <= 16);

void* TTransactionDetail::operator new(std::size_t size) {
    return size <= TTransactionDetailPool::SlotSize ? TTransactionDetailPool::Allocate(size)
                                                    : ::operator new(size);
}

void TTransactionDetail::operator delete(void* entry, std::size_t size) noexcept {
    if (size <= TTransactionDetailPool::SlotSize)
        TTransactionDetailPool::Release(entry);
    else
        ::operator delete(entry);
}

TTransactionDetail::TTransactionDetail(qint32 id, qint16 pageKind) : ID(id), PageKind(pageKind) {
    // The members start as SetDefaults leaves them but for the flags: set here directly, as
    // every entry read from a file is made this way.
    Flags = 1u << TransactionFlag::Blank;
    if (PageKind == pkSalesJournals || PageKind == pkPurchasesJournals)
        Flags |= 1u << TransactionFlag::NonCash;
}

void TTransactionDetail::SetDefaults() {
    Date = 0.0;
    Dissection = -1;
    ParentID = -1;
    Flags = FlagSetInclude(0, {TransactionFlag::Blank});
    if (PageKind == pkSalesJournals || PageKind == pkPurchasesJournals)
        Flags = FlagSetInclude(Flags, {TransactionFlag::NonCash});
    Reference = 1;
    BankCode = TAccountCode::Empty();
    PostingCode = TAccountCode::Empty();
    Rate = 1.0;
    Quantity = 0;
    TaxCodes = 0;
}

bool TTransactionDetail::HasAllFlags(std::initializer_list<int> flags) const {
    return FlagSetHasAll(Flags, flags);
}

void TTransactionDetail::SetFlags(std::initializer_list<int> flags) {
    Flags = FlagSetInclude(FlagSetExclude(Flags, {TransactionFlag::Blank}), flags);
}

void TTransactionDetail::ClearFlags(std::initializer_list<int> flags) {
    const bool wasContra = HasAnyFlag({TransactionFlag::Contra});
    Flags = FlagSetExclude(Flags, flags);
    if (wasContra && !HasAnyFlag({TransactionFlag::Contra}))
        Reference = 0;
}

bool TTransactionDetail::SameCode(const TAccountCode& code, bool isAccount) const {
    return CodePartsEqual(code, isAccount ? PostingCode : BankCode);
}

double TTransactionDetail::GetLocalAmount() const {
    double local = LocalAmount(Amount, Rate);
    switch (PageKind) {
    case pkReceipts:
    case pkSalesJournals:
    case pkBankStatementDeposits:
    case pkOpeningOutstandingDeposits:
        return -local;
    default:
        return local;
    }
}

QString TTransactionDetail::Details() const {
    return TWin1252Codec::Decode(DetailsBytes.data() + 1, static_cast<unsigned char>(DetailsBytes[0]));
}

void TTransactionDetail::SetDetails(const QString& text) {
    const QByteArray bytes = TWin1252Codec::Encode(text).left(DetailsCapacity);
    DetailsBytes.fill(0);
    DetailsBytes[0] = static_cast<char>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), DetailsBytes.begin() + 1);
}

void TTransactionDetail::SetDetailsField(const TDetailsField& field) {
    DetailsBytes = field;
    DetailsBytes[0] = static_cast<char>(std::min<int>(static_cast<unsigned char>(field[0]), DetailsCapacity));
}
