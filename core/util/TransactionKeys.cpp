#include "core/util/TransactionKeys.h"

#include "core/common/Exceptions.h"

namespace {
constexpr qint32 PageKindStep = 10000000;
constexpr qint32 MonthSlotStep = 100000;
} // namespace

qint32 TransactionKeyBase(int pageKind, int monthSlot) {
    if (pageKind < 0 || pageKind > 14)
        throw EQuilvaneError(QStringLiteral("Invalid page kind %1 for a transaction key.").arg(pageKind));
    if (monthSlot < 1 || monthSlot > 12)
        throw EQuilvaneError(QStringLiteral("Invalid month %1 for a transaction key.").arg(monthSlot));
    return (10 + pageKind) * PageKindStep + monthSlot * MonthSlotStep;
}

qint32 TransactionKeySequence(qint32 key) {
    return key % MonthSlotStep;
}

void SplitTransactionKey(qint32 key, int& pageKind, int& monthSlot) {
    pageKind = key / PageKindStep - 10;
    monthSlot = (key / MonthSlotStep) % 100;
}
