#pragma once

// The shared set-up of the report tests: the service registry reset around each test (program
// date formats, no settings) and the expected texts of tests/data/reports.

#include "reports/ReportListings.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include "core/dates/DateNumbers.h"

inline const QString FileCaption = QStringLiteral("ABC123 (2006) - Small Client");

// A date number with a time of day.
inline double At(int year, int month, int day, int hour = 0, int minute = 0) {
    return EncodeDateNum(year, month, day) + (hour * 60 + minute) / 1440.0;
}

// The expected text of a report in tests/data/reports ("\n" after every line).
inline std::string Expected(const QString& name) {
    return ReadFileBytes(QStringLiteral(QUILVANE_TEST_DATA_DIR "/reports/") + name).toStdString();
}
// The lines of a report as they compare with an expected text.
inline std::string Text(const QStringList& lines) {
    return (lines.join(u'\n') + u'\n').toStdString();
}

class ReportsTest : public TServicesFixture {};
