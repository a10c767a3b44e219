#pragma once

#include <QString>

// The bank facts of a bank account in the accounts chart.
class TBankDetails {
public:
    TBankDetails();

    void Assign(const TBankDetails& source);

    QString AccountName;
    QString BankName;
    QString AccountNumber;
    QString BSBNumber;
    QString CurrencyCode;
    double OverdraftInterestRate = 0.0;
    double OverdraftLimit = 0.0;
    // The account is the file's default bank account.
    bool IsDefault = false;
    // A second flag kept for the accounts chart and the banking windows.
    bool Flag2 = false;
};
