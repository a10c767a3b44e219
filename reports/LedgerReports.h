#pragma once

#include "core/entity/KeyedTransaction.h"
#include "reports/ReportListings.h"

#include <QString>

#include <vector>

class TEntityInfo;

// The general ledger (report 3) and the transaction listing (report 4) of an open file's current
// year. Neither writes anything: the ledger runs the balance recalculation on private copies of the
// year's charts, and the listing reads the month files (or the open pages) as they stand.

// One line of an account's ledger: the entry as the recalculation listed it on this account's
// side, the account's balance after it, and where the data-entry window finds the entry.
struct TLedgerLine {
    TKeyedTransaction Item;
    double Balance = 0.0;
    TReportLineTarget Target; // its Line is set when the text is made
};

// One account of the ledger: its index in the run's accounts chart, the balance it opens with
// (entries before the year and the opening balances of the year's first day), its lines in the
// order of their keys (date, reference, page kind; entries of one key in the order met), and the
// balance it closes with. An entry that posts to its own bank account (the contra lines of payments
// and receipts) would stand here twice, once on each side, and cancel: it is left out.
struct TLedgerAccount {
    int Index = -1;
    QString Code;
    QString Description;
    double Opening = 0.0;
    std::vector<TLedgerLine> Lines;
    double Closing = 0.0;
};

// The ledger the report's text is made from: every account of the year's chart that has an
// opening balance or lines, in the chart's order, and the totals of the debit (positive) and credit
// (negative, totalled as a positive amount) lines. Result is the recalculation's: 0, or -1 when it
// failed (after its own error box), the ledger then holding no account.
struct TLedger {
    QString Title;
    QString FileCaption;
    int Year = 0; // the financial year the ledger covers
    double FromDate = 0.0;
    double ToDate = 0.0;
    int Result = 0;
    std::vector<TLedgerAccount> Accounts;
    double TotalDebits = 0.0;
    double TotalCredits = 0.0;
};

// The line that stands for a report that could not be produced.
QString ReportNotProducedLine(const QString& title);

// The period of the file's current year whose page of that kind holds a transaction: the period
// of its date in the file's working periods per year, period 1 for the kinds kept in one file. A
// date outside the year (a damaged entry) gives the month the ID was issued for.
int TransactionPeriod(const TEntityInfo& file, int pageKind, double date, qint32 id);
// Where the data-entry window finds an entry: by its ID, a tax line by its parent entry's ID
// (every tax line of a month shares one ID).
TReportLineTarget TransactionTarget(const TEntityInfo& file, const TTransactionDetail& entry, int pageKind);

// Runs a transaction-detail recalculation (report type 3) of the file's current year over the
// private copies of its charts, listing both sides of every entry (amounts converted to the
// file's currency when the file converts), and builds the ledger from it. The run shows the
// progress window; a cancel there raises EOperationCancelled.
TLedger BuildLedger(TEntityInfo& file);
// The text of a ledger: per account its heading (code, description), opening balance, lines
// (date, reference, page, details, debit, credit, running balance) and closing balance; then the
// totals of the debits and credits. Every transaction line carries its target.
// The report's title (its page's name in the report window) names the year, so that the ledgers
// of two years of one file are told apart.
TReportText LedgerText(const TLedger& ledger);

// Report 3: every account of the current year's chart that has an opening balance or lines:
// heading (code, description), opening balance, its lines in date order (date, reference, page,
// details, debit, credit, running balance), closing balance; then the totals of debits and credits.
// Both sides of every cash-book entry are listed (the posting account and the bank account).
// Raises EOperationCancelled on cancel; on a failed run returns the run's one error line.
TReportText GeneralLedgerText(TEntityInfo& file);

// Report 4: the lines of every page kind 0-13 of the current year, in date order (then page,
// reference), one line each (date, page, reference, account, bank account, details, amount),
// with the totals per page kind of the lines other than contra lines (a contra line balances its
// page's bank account, so with them every page would total 0.00).
//
// An open page's list is read as it stands in memory; other lists are read from their month files
// with their tax lines made afresh, as the recalculation reads them. Blank lines and dissection
// totals are not listed. Raises EOperationCancelled on cancel; a list that cannot be read shows the
// recalculation's error box and gives the one line saying the report could not be produced.
TReportText TransactionListText(TEntityInfo& file);
// The heading of the listing's totals per page kind.
inline const QString TotalsByPageHeading = QStringLiteral("Totals by page, without contra lines");
