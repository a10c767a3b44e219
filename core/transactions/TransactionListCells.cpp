// Placeholder: replaced by the grid work.
#include "core/transactions/TransactionList.h"

QString TTransactionList::GetCellText(int, int, bool) const {
    return {};
}
int TTransactionList::SetCellText(int, int, const QString&) {
    return 1;
}
TTransactionList::TCellColours TTransactionList::GetCellColours(int, int) const {
    return {};
}
bool TTransactionList::ValidateDate(QString&, QString&) const {
    return true;
}
bool TTransactionList::ValidateReference(QString&, QString&) const {
    return true;
}
bool TTransactionList::ValidateAccount(QString&, QString&, qint32) const {
    return true;
}
bool TTransactionList::ValidateAmount(QString&, QString&) const {
    return true;
}
bool TTransactionList::ValidateQuantity(QString&, QString&) const {
    return true;
}
bool TTransactionList::ValidateTaxCode(QString&, QString&) const {
    return true;
}
bool TTransactionList::ValidateCurrencyRate(QString&, QString&) const {
    return true;
}
bool TTransactionList::ValidateDetails(QString&, QString&, double) const {
    return true;
}
bool TTransactionList::ValidateBankAccount(QString&, QString&) const {
    return true;
}
bool TTransactionList::IsBankContraEntry(int, bool, bool) const {
    return false;
}
int TTransactionList::DeleteEntriesInDateRange(int, double, double) {
    return 0;
}
double TTransactionList::GetAccountCurrencyRate(const TAccountCode&) const {
    return 1.0;
}
QString TTransactionList::ExpandDetailsMacros(const QString& text, double) const {
    return text;
}
int TTransactionList::MapAccountCode(TTransactionDetail&) const {
    return -1;
}
int TTransactionList::MapBankAccountCode(TTransactionDetail&) const {
    return -1;
}
