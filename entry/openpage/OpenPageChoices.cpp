#include "entry/openpage/OpenPageChoices.h"

#include "core/common/Exceptions.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/transactions/TransactionKeys.h"
#include "core/vocab/PageKinds.h"

#include <algorithm>

TOpenPageChoices::TOpenPageChoices(int year, int periodsPerYear, int endMonth, int defaultPeriod,
                                   int pageKind)
    : FinancialYear(year), PeriodCount(periodsPerYear), YearEndMonth(endMonth) {
    if (periodsPerYear < 1 || periodsPerYear > 12 || 12 % periodsPerYear != 0)
        throw EQuilvaneError(
            QStringLiteral("%1 periods a year do not divide the year into whole months").arg(periodsPerYear));
    if (endMonth < 1 || endMonth > 12)
        throw EQuilvaneError(
            QStringLiteral("%1 is not a month in which a financial year can end").arg(endMonth));
    Default = ClampPeriod(defaultPeriod);
    ChosenPeriod = Default;
    SetKind(pageKind);
}

TOpenPageChoices TOpenPageChoices::ForFile(const TEntityInfo& file, int pageKind) {
    if (file.IsClosed())
        throw EQuilvaneError(QStringLiteral("The file is not open"));
    const TEntityDetail& detail = file.EntityDetail();
    // Pages are opened with the file's working periods per year, which stays as it was while
    // pages are open even when the record has been given another number.
    return TOpenPageChoices(detail.Year, file.PeriodsPerYear, detail.EndMonth, detail.Period, pageKind);
}

QStringList TOpenPageChoices::KindNames() {
    QStringList names;
    for (int kind = 0; kind <= LastOfferedKind; ++kind)
        names.append(PageKindEntry(kind).Name.toString());
    return names;
}

bool TOpenPageChoices::IsOfferedKind(int pageKind) {
    return pageKind >= pkOpeningBalances && pageKind <= LastOfferedKind;
}

bool TOpenPageChoices::KindTakesPeriod(int pageKind) {
    // The kinds kept in one file for the whole year are the kinds without periods.
    return IsOfferedKind(pageKind) && !IsOneFileKind(pageKind);
}

QStringList TOpenPageChoices::PeriodNames() const {
    QStringList names;
    for (int period = 1; period <= PeriodCount; ++period)
        names.append(PeriodName(period));
    return names;
}

QString TOpenPageChoices::PeriodName(int period) const {
    QString text;
    FormatPeriodMonths(period, PeriodCount, FinancialYear, text, YearEndMonth);
    return text;
}

void TOpenPageChoices::SetKind(int pageKind) {
    ChosenKind = IsOfferedKind(pageKind) ? pageKind : FallbackKind;
}

void TOpenPageChoices::SetPeriod(int period) {
    ChosenPeriod = ClampPeriod(period);
}

void TOpenPageChoices::GetResult(int& pageKind, int& period, bool& makeDefault) const {
    pageKind = ChosenKind;
    const bool withPeriod = PeriodEnabled();
    period = withPeriod ? ChosenPeriod : 0;
    makeDefault = withPeriod && MakeDefaultChosen;
}

int TOpenPageChoices::ClampPeriod(int period) const {
    return std::clamp(period, 1, PeriodCount);
}
