#include "entry/masterdetails/MasterDetailsKind.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/WindowKinds.h"

bool TMasterDetailsKind::IsShownKind(int chartKind) {
    return chartKind >= ckBankRecOpening && chartKind <= ckCurrencies;
}

void TMasterDetailsKind::CheckKind(int chartKind) {
    if (!IsShownKind(chartKind))
        throw EQuilvaneError(
            QStringLiteral("The master details window cannot show charts of kind %1.").arg(chartKind));
}

int TMasterDetailsKind::WindowKind(int chartKind) {
    switch (chartKind) {
    case ckBankRecOpening:
        return wkBankRecOpeningBalances;
    case ckAccounts:
        return wkAccounts;
    case ckStdDescriptions:
        return wkStandardDescriptions;
    case ckTaxes:
        return wkTaxes;
    case ckCurrencies:
        return wkCurrencies;
    default:
        return -1;
    }
}

int TMasterDetailsKind::ChartKindOfWindow(int windowKind) {
    for (int chartKind = ckBankRecOpening; chartKind <= ckCurrencies; ++chartKind)
        if (WindowKind(chartKind) == windowKind)
            return chartKind;
    return -1;
}

QString TMasterDetailsKind::WindowName(int chartKind) {
    const int windowKind = WindowKind(chartKind);
    return windowKind < 0 ? QString() : WindowKindEntry(windowKind).Name.toString();
}

int TMasterDetailsKind::HelpContext(int chartKind) {
    switch (chartKind) {
    case ckBankRecOpening:
        return BankRecOpeningHelpContext;
    case ckAccounts:
        return AccountsHelpContext;
    case ckStdDescriptions:
        return StdDescriptionsHelpContext;
    case ckTaxes:
        return TaxesHelpContext;
    case ckCurrencies:
        return CurrenciesHelpContext;
    default:
        return 0;
    }
}

QString TMasterDetailsKind::Caption(int chartKind, const TEntityInfo* file) {
    const QString name = WindowName(chartKind);
    if (!file || file->IsClosed())
        return name;
    return name + QStringLiteral(" - ") + file->YearCaption(-1);
}

TMasterChart* TMasterDetailsKind::ChartOf(const TEntityInfo* file, int chartKind) {
    if (!file || file->IsClosed())
        return nullptr;
    const int year = file->EntityDetail().Year;
    switch (chartKind) {
    case ckBankRecOpening:
        return file->BankRecOpeningChart();
    case ckAccounts:
        return file->AccountsChart(year);
    case ckStdDescriptions:
        return file->StdDescChart(year);
    case ckTaxes:
        return file->TaxRateChart(year);
    case ckCurrencies:
        return file->CurrencyRatesChart(year);
    default:
        return nullptr;
    }
}
