#pragma once

#include "core/accounts/AccountCode.h"
#include "core/common/Money.h"

#include <QtGlobal>

// What the rebuild of dissection totals gathers of one dissection while it walks the list. Rows
// are entry indexes, -1 for none.
struct TDissectTransInfo {
    qint32 Dissection = -1;
    // Date, reference and bank account of the last member met.
    double Date = 0.0;
    qint32 Reference = 0;
    TAccountCode BankCode;
    int TotalRow = -1;          // the dissection's total line
    int LastRow = -1;           // its last member
    int AdjustmentRow = -1;     // its reconciled-dissection adjustment line
    double RecordedTotal = 0.0; // the amount the total line held
    TMoneyTotal Sum;            // the members' amounts
    bool Reconciled = false;    // some member is reconciled
};
