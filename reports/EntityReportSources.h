#pragma once

#include "reports/ReportListings.h"

class TEntityInfo;

// What the reports read of an open file: its caption and code, the charts of its current year,
// the program's activity logs (read from the data folder when a log listing runs; a log that
// cannot be read raises EQuilvaneError) and the current year's transaction files in the file's
// own folder (looked up when their listing runs).
TReportSources EntityReportSources(const TEntityInfo& entity);
