#pragma once

// The report tests' fixture (services reset: program date formats) and expected texts.

#include "core/dates/DateNumbers.h"
#include "reports/ReportListings.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"
#include <tuple>

inline const QString FileCaption = QStringLiteral("ABC123 (2006) - Small Client");

// A date number with a time of day.
inline double At(int year, int month, int day, int hour = 0, int minute = 0) {
    return EncodeDateNum(year, month, day) + (hour * 60 + minute) / 1440.0;
}

// A log entry of the fields the listings show.
inline TLogDetails Entry(const QString& code, const QString& user, double from, double to,
                         const QString& format = {}, const QString& file = {}, double run = 0) {
    TLogDetails entry;
    std::tie(entry.FileCode, entry.UserName, entry.DateFrom, entry.DateTo, entry.FormatName, entry.FileSpec,
             entry.RunDate) = std::tuple(code, user, from, to, format, file, run);
    return entry;
}

// The expected text of a report in tests/data/reports ("\n" after every line), and a report's lines
// as they compare with it.
inline std::string Expected(const QString& name) {
    return ReadFileBytes(QStringLiteral(QUILVANE_TEST_DATA_DIR "/reports/") + name).toStdString();
}
inline std::string Text(const QStringList& lines) {
    return (lines.join(u'\n') + u'\n').toStdString();
}

class ReportsTest : public TServicesFixture {};
