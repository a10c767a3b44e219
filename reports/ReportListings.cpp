#include "reports/ReportListings.h"

#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/CurrencyConvRate.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Money.h"
#include "core/dates/DateNumbers.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ReportVocabulary.h"
#include "reports/ReportMenu.h"

#include <cmath>
#include <initializer_list>

namespace {

QString Columns(std::initializer_list<TReportCell> cells) {
    return ReportColumns(cells);
}

TReportText Listing(const QString& title, const QString& fileCaption) {
    return {title, {title, fileCaption, QString()}, {}};
}

void Finish(TReportText& report, int entryCount) {
    report.Lines << QString() << QStringLiteral("Entries listed: %1").arg(entryCount);
}

QString Day(double dateNum) {
    return ReportDate(dateNum);
}

QString Time(double dateNum) {
    return FormatDateNum(QStringLiteral("hh:mm"), dateNum);
}

} // namespace

QString ReportColumns(std::initializer_list<TReportCell> cells) {
    QString line;
    bool first = true;
    for (const TReportCell& cell : cells) {
        if (!first)
            line += QStringLiteral("  ");
        first = false;
        line += cell.Width < 0 ? cell.Text.rightJustified(-cell.Width) : cell.Text.leftJustified(cell.Width);
    }
    while (line.endsWith(u' '))
        line.chop(1);
    return line;
}

QString MoneyText(double amount) {
    const double cents = std::round(RoundToCent(amount) * 100.0);
    if (!std::isfinite(cents))
        return QString::number(amount);
    const bool negative = cents < 0;
    const QString digits = QString::number(std::fabs(cents), 'f', 0).rightJustified(3, u'0');
    QString whole = digits.left(digits.size() - 2);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, u',');
    return (negative ? QStringLiteral("-") : QString()) + whole + u'.' + digits.right(2);
}

QString ReportDate(double dateNum) {
    return dateNum == 0 ? QString() : FormatDateNum(QStringLiteral("dd/mm/yyyy"), dateNum);
}

QString NotAvailableLine(int reportNumber) {
    return QStringLiteral("Report %1 is not available.").arg(reportNumber);
}

TReportText LogListing(int logKind, const QString& fileCaption, const QString& fileCode,
                       const QList<TLogDetails>& entries) {
    TReportText report = Listing(LogKindEntry(logKind).Title.toString(), fileCaption);
    const bool timeLog = logKind == lkTime;
    if (timeLog)
        report.Lines << Columns({{QStringLiteral("Date"), 10},
                                 {QStringLiteral("In"), 5},
                                 {QStringLiteral("Out"), 5},
                                 {QStringLiteral("Minutes"), -7},
                                 {QStringLiteral("Comment"), 0}});
    else
        report.Lines << Columns({{QStringLiteral("Run"), 10},
                                 {QStringLiteral("From"), 10},
                                 {QStringLiteral("To"), 10},
                                 {QStringLiteral("User"), 12},
                                 {QStringLiteral("Format"), 20},
                                 {QStringLiteral("File"), 0}});
    int count = 0;
    for (const TLogDetails& entry : entries) {
        if (!fileCode.isEmpty() && entry.FileCode.compare(fileCode, Qt::CaseInsensitive) != 0)
            continue;
        ++count;
        if (timeLog)
            report.Lines << Columns({{Day(entry.DateFrom), 10},
                                     {Time(entry.DateFrom), 5},
                                     {Time(entry.DateTo), 5},
                                     {QString::number(SecondsBetween(entry.DateFrom, entry.DateTo) / 60), -7},
                                     // A visit's entry keeps its comment (a deletion, a rename) in
                                     // the user-name field.
                                     {entry.UserName, 0}});
        else
            report.Lines << Columns({{Day(entry.RunDate), 10},
                                     {Day(entry.DateFrom), 10},
                                     {Day(entry.DateTo), 10},
                                     {entry.UserName, 12},
                                     {entry.FormatName, 20},
                                     {entry.FileSpec, 0}});
    }
    Finish(report, count);
    return report;
}

TReportText ChartOfAccountsListingText(const QString& fileCaption, const TAccountsChart& chart) {
    TReportText report = Listing(QStringLiteral("Chart of Accounts"), fileCaption);
    int codeWidth = 4;
    for (int i = 0; i < chart.Count(); ++i)
        codeWidth = std::max(codeWidth, static_cast<int>(chart.GetAccount(i)->GetAccount_Code(0).size()));
    report.Lines << Columns({{QStringLiteral("Code"), codeWidth},
                             {QStringLiteral("Description"), 40},
                             {QStringLiteral("Sign"), 4},
                             {QStringLiteral("Type"), 0}});
    for (int i = 0; i < chart.Count(); ++i) {
        const TAccountDetail* account = chart.GetAccount(i);
        report.Lines << Columns({{account->GetAccount_Code(0), codeWidth},
                                 {account->GetAccount_Description_(), 40},
                                 {QString(account->Sign), 4},
                                 {account->GetAccount_Type_(), 0}});
    }
    Finish(report, chart.Count());
    return report;
}

TReportText StdDescriptionsListingText(const QString& fileCaption, const TStdDescChart& chart) {
    TReportText report = Listing(QStringLiteral("Standard Descriptions"), fileCaption);
    report.Lines << Columns({{QStringLiteral("Abbreviation"), 12}, {QStringLiteral("Description"), 0}});
    for (int i = 0; i < chart.Count(); ++i) {
        const TStandardDescription* description = chart.GetStdDescription(i);
        report.Lines << Columns({{description->Abbreviation, 12}, {description->Description, 0}});
    }
    Finish(report, chart.Count());
    return report;
}

TReportText TaxCodesListingText(const QString& fileCaption, const TTaxRateChart& chart) {
    TReportText report = Listing(QStringLiteral("Tax Codes"), fileCaption);
    report.Lines << Columns({{QStringLiteral("Code"), 6},
                             {QStringLiteral("Description"), 30},
                             {QStringLiteral("Rate"), -6},
                             {QStringLiteral("From"), 10},
                             {QStringLiteral("To"), 10},
                             {QStringLiteral("Account"), 14},
                             {QStringLiteral("BAS"), 0}});
    for (int i = 0; i < chart.Count(); ++i) {
        const auto* rate = static_cast<const TTaxRate*>(chart.GetItem(i));
        report.Lines << Columns({{rate->Tax_Code, 6},
                                 {rate->Tax_Description, 30},
                                 {rate->GetTaxRateText(), -6},
                                 {Day(rate->StartDate), 10},
                                 {Day(rate->EndDate), 10},
                                 {rate->GetTaxAccountText(), 14},
                                 {rate->BAS, 0}});
    }
    Finish(report, chart.Count());
    return report;
}

TReportText CurrencyRatesListingText(const QString& fileCaption, const TCurrConvRatesChart& chart) {
    TReportText report = Listing(QStringLiteral("Currency Rates"), fileCaption);
    report.Lines << Columns({{QStringLiteral("Code"), 6},
                             {QStringLiteral("Description"), 30},
                             {QStringLiteral("Symbol"), 6},
                             {QStringLiteral("Rate"), -10}});
    for (int i = 0; i < chart.Count(); ++i) {
        const auto* rate = static_cast<const TCurrencyConvRate*>(chart.GetItem(i));
        report.Lines << Columns({{rate->Currency_Code, 6},
                                 {rate->Currency_Description, 30},
                                 {QString(rate->Currency_Symbol), 6},
                                 {rate->GetRateText(), -10}});
    }
    Finish(report, chart.Count());
    return report;
}

TReportText TransactionFilesListingText(const QString& fileCaption,
                                        const std::vector<TTransactionFileInfo>& files) {
    TReportText report = Listing(QStringLiteral("Transaction Files"), fileCaption);
    QStringList names;
    int nameWidth = 4;
    for (const TTransactionFileInfo& file : files) {
        names << file.FileName.section(u'\\', -1);
        nameWidth = std::max(nameWidth, static_cast<int>(names.last().size()));
    }
    report.Lines << Columns({{QStringLiteral("File"), nameWidth},
                             {QStringLiteral("Page"), 28},
                             {QStringLiteral("Bytes"), -10},
                             {QStringLiteral("Transactions"), -12}});
    for (std::size_t i = 0; i < files.size(); ++i)
        report.Lines << Columns({{names[static_cast<qsizetype>(i)], nameWidth},
                                 {PageKindEntry(files[i].PageKind).Name.toString(), 28},
                                 {QString::number(files[i].Size), -10},
                                 {QString::number(files[i].Transactions), -12}});
    Finish(report, static_cast<int>(files.size()));
    return report;
}

TReportText NotAvailableReport(int reportNumber) {
    QString title = ReportMenuCaption(reportNumber).remove(u'&');
    if (title.isEmpty())
        title = QStringLiteral("Report %1").arg(reportNumber);
    return {title, {NotAvailableLine(reportNumber)}, {}};
}

TReportText ProduceReport(int reportNumber, const TReportSources& sources) {
    const TReportText notAvailable = NotAvailableReport(reportNumber);
    switch (reportNumber) {
    case ChartOfAccountsListing:
        return sources.Accounts ? ChartOfAccountsListingText(sources.FileCaption, *sources.Accounts)
                                : notAvailable;
    case StdDescriptionsListing:
        return sources.StdDescriptions
                   ? StdDescriptionsListingText(sources.FileCaption, *sources.StdDescriptions)
                   : notAvailable;
    case TaxCodesListing:
        return sources.TaxRates ? TaxCodesListingText(sources.FileCaption, *sources.TaxRates) : notAvailable;
    case CurrencyRatesListing:
        return sources.CurrencyRates ? CurrencyRatesListingText(sources.FileCaption, *sources.CurrencyRates)
                                     : notAvailable;
    case TransactionFilesListing:
        return sources.ReadTransactionFiles
                   ? TransactionFilesListingText(sources.FileCaption, sources.ReadTransactionFiles())
                   : notAvailable;
    default:
        break;
    }
    if (reportNumber >= FirstLogReport && reportNumber <= LastLogReport && sources.ReadLog) {
        const int kind = reportNumber - FirstLogReport;
        return LogListing(kind, sources.FileCaption, sources.FileCode, sources.ReadLog(kind));
    }
    return notAvailable;
}
