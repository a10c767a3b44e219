#pragma once

#include "core/entity/RunFile.h"

#include <QString>
#include <QtGlobal>

// The core of a run's parameters: which file, which report or numbered process, and which
// financial year with its date range. From and to periods are the monthly periods (1 to 12) of
// the file's financial year that hold the from and to dates.
class TBasicReportSetup {
public:
    // Notes the time; sets the report type and process kind (each with its title), the year,
    // the whole year as the date range and the periods per year of the file. Raises
    // EQuilvaneError for a report type outside 0-79, a process kind outside 0-22, or a file
    // without its detail record.
    TBasicReportSetup(const TRunFile& file, int reportType, int processKind, int year);
    virtual ~TBasicReportSetup();
    TBasicReportSetup(const TBasicReportSetup&) = delete;
    TBasicReportSetup& operator=(const TBasicReportSetup&) = delete;

    // Store the date and the monthly period of the file's financial year that holds it.
    void SetPeriodFrom(double date);
    void SetPeriodTo(double date);
    // Store the report type or process kind; when it is not 0 the title follows it. Raise for
    // a value outside the report table or the process kinds.
    void SetReportType(int type);
    void SetSpecialReport(int kind);

    // The file's year-end month.
    int EndMonth() const;

    TEntityInfo* File = nullptr;
    TEntityDetail* Detail = nullptr;
    quint8 ReportType = 0;
    quint8 ProcessKind = 0;
    QString Title;
    double CreatedAt = 0;
    int Year = 0;
    double FromDate = 0;
    double ToDate = 0;
    int FromPeriod = 1;
    int ToPeriod = 12;
    int PeriodsPerYear = 12;

protected:
    TRunFile Source;

private:
    int MonthlyPeriodOf(double date) const;
};
