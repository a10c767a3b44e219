#include "core/transactions/TransactionKeys.h"

#include "core/common/Exceptions.h"
#include "core/dates/Periods.h"
#include "core/vocab/PageKinds.h"

namespace {
constexpr qint32 PageKindStep = 10000000;
constexpr qint32 MonthSlotStep = 100000;
} // namespace

bool IsOneFileKind(int pageKind) {
    return pageKind == pkOpeningBalances ||
           (pageKind >= pkOpeningUnpresentedCheques && pageKind <= pkStandardBankTransactions);
}

int TransactionMonthSlot(int pageKind, int month, int endMonth) {
    if (endMonth < 1 || endMonth > 12)
        throw EQuilvaneError(
            QStringLiteral("Invalid year-end month %1 for a transaction key.").arg(endMonth));
    if (month < 0 || month > 12)
        throw EQuilvaneError(QStringLiteral("Invalid month %1 for a transaction key.").arg(month));
    if (month == 0 || IsOneFileKind(pageKind))
        return 1;
    return PeriodOfMonth(month, 12, endMonth);
}

qint32 TransactionKeyBase(int pageKind, int month, int endMonth) {
    return TransactionSlotKeyBase(pageKind, TransactionMonthSlot(pageKind, month, endMonth));
}

qint32 TransactionSlotKeyBase(int pageKind, int monthSlot) {
    if (!IsPageKind(pageKind))
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
