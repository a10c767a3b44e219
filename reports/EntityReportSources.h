#pragma once

#include "reports/ReportListings.h"

class TEntityInfo;

// What the reports read of an open file: its caption and code, the charts of its current year
// and the program's activity logs (read from the data folder when a log listing runs; a log
// that cannot be read raises EQuilvaneError).
TReportSources EntityReportSources(const TEntityInfo& entity);
