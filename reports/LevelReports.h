#pragma once

#include "reports/ReportListings.h"

#include <QString>

class TEntityInfo;

// The custom reports of a level, as the Reports menu asks for them: request 7 the master level,
// 8 the file's own, 9 the practice's, 10 the superannuation funds'. Only a file's own definitions
// are kept here, and there is no custom-report compiler to run them: the report says which
// definitions the level holds for the file and that they cannot be run.
inline constexpr int FirstLevelRequest = 7;
inline constexpr int LastLevelRequest = 10;

// The stored name of a file's own definitions file of a kind: 5 the report layouts, 6 the
// report formats (custom reports), 7 the jobstream sets kept beside them under the same name.
QString OwnDefinitionsFileName(const TEntityInfo& entity, int kind);

// "Master", "File Specific", "Practice", "Superannuation"; empty outside 7-10.
QString ReportLevelName(int request);
TReportText LevelReportsText(const TEntityInfo& entity, int request);

// The name under which a master report is found: the standard-report table's key of the
// number, else the number itself.
QString MasterReportName(int reportNumber);
// "Unable to locate master report %s." for that name. Master report definitions are never held
// here, so every master report is missing.
QString MasterReportMissingText(int reportNumber);
