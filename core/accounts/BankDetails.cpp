#include "core/accounts/BankDetails.h"

TBankDetails::TBankDetails()
    : AccountNumber(QStringLiteral("<Unknown>")), BSBNumber(QStringLiteral("<Unknown>")) {}

void TBankDetails::Assign(const TBankDetails& source) {
    AccountName = source.AccountName;
    BankName = source.BankName;
    AccountNumber = source.AccountNumber;
    BSBNumber = source.BSBNumber;
    CurrencyCode = source.CurrencyCode;
    OverdraftInterestRate = source.OverdraftInterestRate;
    OverdraftLimit = source.OverdraftLimit;
    IsDefault = source.IsDefault;
    Flag2 = source.Flag2;
}
