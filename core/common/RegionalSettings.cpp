#include "core/common/RegionalSettings.h"

TRegionalSettings::TRegionalSettings() {
    Reset();
}

QString TRegionalSettings::DefaultReportDateFormat(QChar separator) {
    return QStringLiteral("DD") + separator + QStringLiteral("MM") + separator + QStringLiteral("YYYY");
}

void TRegionalSettings::Reset() {
    ShortDateFormat = QStringLiteral("DD/MM/YY");
    LongDateFormat = QStringLiteral("DD/MM/YYYY");
    LongTimeFormat = QStringLiteral("ddd d mmmm yyyy \"at\" t");
    ShortTimeFormat = QStringLiteral("hh:nn");
    DateSeparator = QLatin1Char('/');
    TimeSeparator = QLatin1Char(':');
    TimeAMString = QStringLiteral("AM");
    TimePMString = QStringLiteral("PM");
    ReportDateFormat = DefaultReportDateFormat(DateSeparator);
    NarrativeDateFormat = QStringLiteral("d mmm yyyy");
    ShortMonthNames = {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"),
                       QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"),
                       QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"),
                       QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    LongMonthNames = {QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
                      QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
                      QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
                      QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    ShortDayNames = {QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                     QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                     QStringLiteral("Sat")};
    LongDayNames = {QStringLiteral("Sunday"),    QStringLiteral("Monday"),   QStringLiteral("Tuesday"),
                    QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                    QStringLiteral("Saturday")};
}
