// Placeholder: replaced by the generated-lines work.
#include "core/transactions/TransactionList.h"

int TTransactionList::GenerateTaxEntries(int, bool, bool) {
    return 0;
}
void TTransactionList::RemoveTaxEntries(int, bool, bool, bool, int& a, int& b) {
    a = b = 0;
}
void TTransactionList::MergeTaxEntries(int, int, int, int& a, int& b) {
    a = b = 0;
}
double TTransactionList::GetTaxAmount(int) const {
    return 0.0;
}
void TTransactionList::UpdateTaxEntryDetails(int) {}
void TTransactionList::RefreshTaxEntries(bool, bool, bool, bool) {}
int TTransactionList::UpdateDissectionTotals(qint32, int, int& a, int& b) {
    a = b = 0;
    return 0;
}
void TTransactionList::GenerateContras(bool) {}
