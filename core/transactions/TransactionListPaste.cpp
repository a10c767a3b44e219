// Placeholder: replaced by the pasting work.
#include "core/transactions/TransactionList.h"

void TTransactionList::PasteTransaction(int&, TLastDissections&, const std::uint8_t*) {}
void TTransactionList::FitPastedAccounts(TTransactionDetail&) {}
void TTransactionList::RepairAccounts() {}
