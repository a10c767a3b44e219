// Placeholder: replaced by the month-file work.
#include "core/transactions/TransactionList.h"

TTransactionList::~TTransactionList() = default;
QString TTransactionList::GetFileName(int, const TOptionSet&) const {
    return {};
}
int TTransactionList::SaveToFile(TOptionSet&, bool, bool) {
    return 0;
}
int TTransactionList::LoadFromFile(const TOptionSet&, bool) {
    return 0;
}
int TTransactionList::SaveIfNeeded() {
    return 0;
}
