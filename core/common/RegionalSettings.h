#pragma once

#include <QChar>
#include <QString>
#include <array>

// The date and time formats the whole program uses to show and read dates. They come from the
// "REGIONAL" section of the reference-data file, never from the workstation's locale, so every
// workstation of a practice shows and reads dates the same way. The program-wide copy is held by
// the service registry (TServices::Regional()).
//
// Format strings use the classic date-format language: letters in any case, d/dd day,
// ddd/dddd day name, ddddd/dddddd short/long date, m/mm month (minutes straight after an hour),
// mmm/mmmm month name, yy/yyyy year, h/hh, n/nn, s/ss, z/zzz, t/tt short/long time, am/pm,
// a/p, ampm, "/" the date separator, ":" the time separator, and quoted literals.
class TRegionalSettings {
public:
    TRegionalSettings();


    // Puts every field back to its default.
    void Reset();

    // The report date format used when the reference data names none: day, month and
    // four-digit year joined by the separator ("DD/MM/YYYY" for "/").
    static QString DefaultReportDateFormat(QChar separator);

    QString ShortDateFormat;     // "DD/MM/YY"
    QString LongDateFormat;      // "DD/MM/YYYY"
    QString LongTimeFormat;      // ddd d mmmm yyyy "at" t
    QString ShortTimeFormat;     // "hh:nn"
    QChar DateSeparator;         // '/'
    QChar TimeSeparator;         // ':'
    QString TimeAMString;        // "AM"
    QString TimePMString;        // "PM"
    QString ReportDateFormat;    // "DD/MM/YYYY"
    QString NarrativeDateFormat; // "d mmm yyyy"

    // English names; index 0 is January (months) or Sunday (days).
    std::array<QString, 12> ShortMonthNames;
    std::array<QString, 12> LongMonthNames;
    std::array<QString, 7> ShortDayNames;
    std::array<QString, 7> LongDayNames;
};
