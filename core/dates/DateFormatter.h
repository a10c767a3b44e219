#pragma once

#include "core/common/RegionalSettings.h"
#include "core/services/Services.h"

#include <QString>

// Formats date numbers with the classic date-format language (see TRegionalSettings). Letters
// match in any case; "m" straight after an hour letter means minutes; "t"/"tt" insert the short
// and long time formats, "c", "ddddd" and "dddddd" the short and long date formats (nested at
// most two levels deep); "/" and ":" are the separators; text in double or single quotes is
// copied as it stands; any other character is copied. An empty format means "c".
//
// A value that names no calendar day formats its date fields as zeros ("00/00/00").
// It keeps a reference to the settings it is given, which must outlive it.
class TDateFormatter {
public:
    explicit TDateFormatter(const TRegionalSettings& settings = TServices::Regional());

    QString Format(const QString& format, double dateNum) const;

private:
    struct TParts {
        int Year = 0, Month = 0, Day = 0, DayOfWeek = 0; // day of week 0 = Sunday
        int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
        bool HasTime = false;
    };

    void Append(QString& out, const QString& format, const TParts& parts, int level) const;

    const TRegionalSettings& Settings;
};
