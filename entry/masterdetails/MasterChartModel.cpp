#include "entry/masterdetails/MasterChartModel.h"

#include "core/charts/AccountDetail.h"
#include "core/charts/BRecOpeningDetail.h"
#include "core/charts/CurrencyConvRate.h"
#include "core/charts/MasterChart.h"
#include "core/charts/StandardDescription.h"
#include "core/charts/TaxRate.h"
#include "core/vocab/FileVocabulary.h"
#include "entry/masterdetails/MasterDetailsKind.h"

namespace {

enum TAccountColumn { acCode, acDescription, acType };
enum TTaxColumn { txCode, txDescription, txRate, txAccount };
enum TCurrencyColumn { ccCode, ccDescription, ccRate };
enum TBankRecColumn { brAccount, brCurrency, brOpenDate, brCashbook, brStatement, brReconciledTo };

QString AccountCell(const TAccountDetail& account, int column) {
    switch (column) {
    case acCode:
        return account.GetKey();
    case acDescription:
        return account.GetAccount_Description_();
    case acType:
        return account.GetAccount_Type_();
    default:
        return {};
    }
}

QString DescriptionCell(const TStandardDescription& description, int column) {
    return column == 0 ? description.Abbreviation : column == 1 ? description.Description : QString();
}

QString TaxCell(const TTaxRate& rate, int column) {
    switch (column) {
    case txCode:
        return rate.Tax_Code;
    case txDescription:
        return rate.Tax_Description;
    case txRate:
        return rate.GetTaxRateText();
    case txAccount:
        return rate.GetTaxAccountText();
    default:
        return {};
    }
}

QString CurrencyCell(const TCurrencyConvRate& rate, int column) {
    switch (column) {
    case ccCode:
        return rate.Currency_Code;
    case ccDescription:
        return rate.Currency_Description;
    case ccRate:
        return rate.GetRateText();
    default:
        return {};
    }
}

QString BankRecCell(const TBRecOpeningDetail& detail, int column) {
    switch (column) {
    case brAccount:
        return detail.GetBankAccountText();
    case brCurrency:
        return detail.Currency;
    case brOpenDate:
        return detail.GetOpenBalDateText();
    case brCashbook:
        return detail.GetCashbookOpenBalText();
    case brStatement:
        return detail.GetStatementOpenBalText();
    case brReconciledTo:
        return detail.GetReconciledToText();
    default:
        return {};
    }
}

} // namespace

TMasterChartModel::TMasterChartModel(QObject* parent) : QAbstractTableModel(parent) {}

void TMasterChartModel::SetChart(int chartKind, TMasterChart* chart) {
    SetChartSource(chartKind, [chart] { return chart; });
}

void TMasterChartModel::SetChartSource(int chartKind, TChartSource source) {
    TMasterDetailsKind::CheckKind(chartKind);
    beginResetModel();
    Kind = chartKind;
    Source = std::move(source);
    endResetModel();
}

TMasterChart* TMasterChartModel::Chart() const {
    TMasterChart* chart = Source ? Source() : nullptr;
    return chart && chart->Kind == Kind ? chart : nullptr;
}

void TMasterChartModel::Refresh() {
    beginResetModel();
    endResetModel();
}

int TMasterChartModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    const TMasterChart* chart = Chart();
    return chart ? chart->Count() : 0;
}

int TMasterChartModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ColumnTitles(Kind).size());
}

QVariant TMasterChartModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (IsNumericColumn(Kind, index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole)
        return {};
    const TMasterChart* chart = Chart();
    return chart ? CellText(*chart, index.row(), index.column()) : QString();
}

QVariant TMasterChartModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return ColumnTitles(Kind).value(section);
}

QStringList TMasterChartModel::ColumnTitles(int chartKind) {
    switch (chartKind) {
    case ckBankRecOpening:
        return {QStringLiteral("Bank Account"),       QStringLiteral("Currency"),
                QStringLiteral("Open Bal Date"),      QStringLiteral("Cashbook Open Bal"),
                QStringLiteral("Statement Open Bal"), QStringLiteral("Reconciled To")};
    case ckAccounts:
        // No balance: the chart's working balances belong to the runs of reports and processes,
        // which work on copies of it, so here they would read 0.00 whatever the books hold.
        return {QStringLiteral("Account Code"), QStringLiteral("Account Description"),
                QStringLiteral("Account Type")};
    case ckStdDescriptions:
        return {QStringLiteral("Abbreviation"), QStringLiteral("Description")};
    case ckTaxes:
        return {QStringLiteral("Tax Code"), QStringLiteral("Tax Description"), QStringLiteral("Tax Rate"),
                QStringLiteral("Tax Account")};
    case ckCurrencies:
        return {QStringLiteral("Currency Code"), QStringLiteral("Currency Description"),
                QStringLiteral("Currency Rate")};
    default:
        return {};
    }
}

bool TMasterChartModel::IsNumericColumn(int chartKind, int column) {
    switch (chartKind) {
    case ckBankRecOpening:
        return column == brCashbook || column == brStatement;
    case ckTaxes:
        return column == txRate;
    case ckCurrencies:
        return column == ccRate;
    default:
        return false;
    }
}

QString TMasterChartModel::CellText(const TMasterChart& chart, int row, int column) {
    const TMasterChartItem* item = chart.GetItem(row);
    if (!item)
        return {};
    switch (chart.Kind) {
    case ckBankRecOpening:
        if (const auto* detail = dynamic_cast<const TBRecOpeningDetail*>(item))
            return BankRecCell(*detail, column);
        break;
    case ckAccounts:
        if (const auto* account = dynamic_cast<const TAccountDetail*>(item))
            return AccountCell(*account, column);
        break;
    case ckStdDescriptions:
        if (const auto* description = dynamic_cast<const TStandardDescription*>(item))
            return DescriptionCell(*description, column);
        break;
    case ckTaxes:
        if (const auto* rate = dynamic_cast<const TTaxRate*>(item))
            return TaxCell(*rate, column);
        break;
    case ckCurrencies:
        if (const auto* rate = dynamic_cast<const TCurrencyConvRate*>(item))
            return CurrencyCell(*rate, column);
        break;
    default:
        break;
    }
    return {};
}

QStringList TMasterChartModel::PlainTexts(const TMasterChart& chart, int row) {
    QStringList texts;
    const int columns = static_cast<int>(ColumnTitles(chart.Kind).size());
    for (int column = 0; column < columns; ++column) {
        QString text = CellText(chart, row, column);
        if (chart.Kind == ckAccounts && column == acDescription &&
            text.startsWith(TAccountDetail::SubAccountIndent))
            text.remove(0, TAccountDetail::SubAccountIndent.size());
        // A tab or line break inside a field would split it for the program reading the lines.
        for (const QChar breaking : {u'\t', u'\r', u'\n'})
            text.replace(breaking, u' ');
        texts << text;
    }
    return texts;
}
