#pragma once

#include "core/entity/ChildWindowServices.h"
#include "core/logs/LogDetails.h"
#include "core/transactions/TransactionImageFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <vector>

class TAccountsChart;
class TCurrConvRatesChart;
class TStdDescChart;
class TTaxRateChart;

// A report line that stands for a transaction: a double click on it opens the transaction's page.
struct TReportLineTarget {
    int Line = 0;         // index in TReportText::Lines
    int PageKind = 0;     // page kind of the transaction
    int Period = 1;       // period of the file's current year (1-12) that holds it
    TLocateTarget Target; // core/entity/ChildWindowServices.h
};

// A report as text: the title of its document, its lines, and the lines that lead to a
// transaction (in line order).
struct TReportText {
    QString Title;
    QStringList Lines;
    std::vector<TReportLineTarget> Targets;
};

// One column of a report line: its text and its width (negative: aligned to the right). A text
// longer than its column is kept whole.
struct TReportCell {
    QString Text;
    int Width = 0;
};
// One line of columns two blanks apart, without trailing blanks.
QString ReportColumns(std::initializer_list<TReportCell> cells);
// An amount of money as the reports show it: to the cent with two decimals and the thousands
// grouped by "," ("-1,234.50"); an amount that rounds to no cent is "0.00", never "-0.00".
QString MoneyText(double amount);
// A date number as the reports show it ("31/12/2005"); empty for 0.
QString ReportDate(double dateNum);

// The line written for a report this program cannot produce.
QString NotAvailableLine(int reportNumber);
// That line as a report, titled by the report's menu caption (else "Report <number>").
TReportText NotAvailableReport(int reportNumber);

// The listing of an activity log (kind 0-6): the entries of the file whose code is given
// (without regard to case; every entry when the code is empty), in the order of the log. The
// time log shows each visit's day, the times in and out, the minutes spent, the user and the
// comment; the other logs the day of the run, its date range, the user, the format and the file.
TReportText LogListing(int logKind, const QString& fileCaption, const QString& fileCode,
                       const QList<TLogDetails>& entries);

// The listings of a year's charts, one line per entry in the chart's order.
TReportText ChartOfAccountsListingText(const QString& fileCaption, const TAccountsChart& chart);
TReportText StdDescriptionsListingText(const QString& fileCaption, const TStdDescChart& chart);
TReportText TaxCodesListingText(const QString& fileCaption, const TTaxRateChart& chart);
TReportText CurrencyRatesListingText(const QString& fileCaption, const TCurrConvRatesChart& chart);

// The listing of a year's transaction files in the order given: each file's name (without its
// folder), its page, its size in bytes and the number of transactions it holds.
TReportText TransactionFilesListingText(const QString& fileCaption,
                                        const std::vector<TTransactionFileInfo>& files);

// What a report run reads of an open file: its caption and code, the charts of its current
// year (nullptr when not loaded), the reader of an activity log and the reader of the current
// year's transaction files (either may raise).
struct TReportSources {
    QString FileCaption;
    QString FileCode;
    const TAccountsChart* Accounts = nullptr;
    const TStdDescChart* StdDescriptions = nullptr;
    const TTaxRateChart* TaxRates = nullptr;
    const TCurrConvRatesChart* CurrencyRates = nullptr;
    std::function<QList<TLogDetails>(int logKind)> ReadLog;
    std::function<std::vector<TTransactionFileInfo>()> ReadTransactionFiles;
};

// The report of a number: the chart listings 57 to 60, the transaction files listing 61 and the
// log listings 62 to 68; any other number, or a listing whose chart or reader is missing, gives
// the one not-available line.
TReportText ProduceReport(int reportNumber, const TReportSources& sources);
