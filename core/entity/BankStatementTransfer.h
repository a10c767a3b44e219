#pragma once

#include "core/accounts/AccountCode.h"
#include "core/transactions/TransactionDetail.h"
#include "core/transactions/TransactionListSources.h"

#include <QString>
#include <vector>

class TEntityInfo;
class TReportSetup;
class TTransactionList;

// The standard bank transactions of a file as templates for turning bank-statement entries into
// cash-book entries. A template is one standard transaction, or one dissection of them; its
// amount is the sum of its members (tax lines included), its day the day of the month it is
// due (99: any day).
//
// An entry is matched, in this order, by
// - an amount template of its bank account: amount within 0.009 and day within 5 days, or 99;
// - a proportional template (details beginning with "%") of its bank account by the same day
//   rule: its line amounts are percentages of the entry's amount, and the line with the
//   details " *** % correction *** " (else the last line) takes the rounding difference;
// - a template of zero amount of its bank account whose trimmed, upper-cased details and the
//   entry's contain one another; both must be non-empty, since an empty text is part of every
//   text.
class TTransferTemplates {
public:
    struct TTemplate {
        TAccountCode Bank;
        double Amount = 0.0;
        int Day = 0;
        QString Text; // trimmed, upper-cased details of the first line
        bool Proportional = false;
        // The lines to copy (tax lines and totals left out), each amount with its tax added back.
        std::vector<TTransactionDetail> Lines;
        int CorrectionLine = -1;
    };

    explicit TTransferTemplates(const TTransactionList& standardTransactions);

    const std::vector<TTemplate>& Templates() const { return Items; }
    // The template that takes the entry; nullptr when none does.
    const TTemplate* Match(const TTransactionDetail& entry) const;
    // The cash-book lines that the template makes of the entry, before IDs are given: the
    // entry's date, reference and bank account, the line amounts as the template's kind asks.
    static std::vector<TTransactionDetail> LinesFor(const TTemplate& match, const TTransactionDetail& entry,
                                                    int cashBookKind);
    // The one line of an entry that no template took: the suspense account and the entry's
    // details marked as generated.
    static TTransactionDetail UnmatchedLine(const TTransactionDetail& entry, int cashBookKind,
                                            const TAccountCode& suspense);

private:
    std::vector<TTemplate> Items;
};

// The run's bank-statement entries written into the cash book (deposits to receipts,
// withdrawals to payments). Raises on any failure, before any list it could not read is written.
void TransferStatementEntries(TEntityInfo& file, TReportSetup& setup, const TTransactionListSources& sources);

QString TransferDoneText();
QString TransferErrorText();

// The run option that lets every bank-statement entry transfer, whatever its reference.
inline constexpr int AnyStatementReferenceOption = 2;
