#include "core/entity/BasicReportSetup.h"

#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/ReportVocabulary.h"

namespace {
constexpr int MonthsPerYear = 12;
}

TBasicReportSetup::TBasicReportSetup(const TRunFile& file, int reportType, int processKind, int year)
    : File(file.Info), Detail(file.Detail), Source(file) {
    if (!Detail)
        throw EQuilvaneError(QStringLiteral("A run needs the detail record of its file."));
    CreatedAt = NowNum();
    SetReportType(reportType);
    SetSpecialReport(processKind);
    Year = year;
    SetPeriodFrom(PeriodStartDate(1, Year, MonthsPerYear, EndMonth()));
    SetPeriodTo(PeriodEndDate(MonthsPerYear, Year, MonthsPerYear, EndMonth()));
    PeriodsPerYear = Detail->Periods;
}

TBasicReportSetup::~TBasicReportSetup() = default;

int TBasicReportSetup::EndMonth() const {
    return Detail->EndMonth;
}

int TBasicReportSetup::MonthlyPeriodOf(double date) const {
    int year = Year;
    return PeriodOfDate(MonthsPerYear, EndMonth(), year, date);
}

void TBasicReportSetup::SetPeriodFrom(double date) {
    FromPeriod = MonthlyPeriodOf(date);
    FromDate = date;
}

void TBasicReportSetup::SetPeriodTo(double date) {
    ToPeriod = MonthlyPeriodOf(date);
    ToDate = date;
}

void TBasicReportSetup::SetReportType(int type) {
    if (type < 0 || type >= StandardReportCount)
        throw EQuilvaneError(QStringLiteral("Report type %1 is not in the report table.").arg(type));
    ReportType = static_cast<quint8>(type);
    if (type != 0)
        Title = StandardReportRow(type).Title.toString();
}

void TBasicReportSetup::SetSpecialReport(int kind) {
    if (!IsProcessKind(kind))
        throw EQuilvaneError(QStringLiteral("Process kind %1 is not a process.").arg(kind));
    ProcessKind = static_cast<quint8>(kind);
    if (kind != 0)
        Title = ProcessKindEntry(kind).Name.toString();
}
