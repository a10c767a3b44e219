#pragma once

#include <QChar>
#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// Date values of the date controls are platform date-time values: whole days counted from day 0,
// 30 December 1899. NullDate means "no date" and passes through every helper unchanged.
inline constexpr double NullDate = -700000.0;

// The date formats the date controls show and read. The program's own regional settings give the
// short date format (classic letters: "DD/MM/YY"), the separator and the names; the workstation
// locale gives only the first day of the week, which the settings do not hold. Tests build one by
// hand.
struct TDateLocale {
    QString ShortDateFormat = QStringLiteral("DD/MM/YY");
    QChar DateSeparator = QLatin1Char('/');
    int FirstDayOfWeek = 0; // 0 = Sunday .. 6 = Saturday
    std::array<QString, 12> ShortMonthNames;
    std::array<QString, 12> LongMonthNames;
    std::array<QString, 7> ShortDayNames; // index 0 = Sunday

    // The program's formats (TServices::Regional()) with the system's first day of the week.
    static TDateLocale Program();
    // The first day of the week of the workstation locale (0 = Sunday).
    static int SystemFirstDayOfWeek();
};

// The whole-day part of a value: truncated toward zero after nudging it 1e-11 away from zero, so
// a value a hair below a whole day counts as that day. NullDate is kept.
double DateOf(double value);

// Conversions between date values and QDate; NullDate and an invalid QDate stand for each other.
double DateFromQDate(const QDate& date);
QDate QDateFromDate(double value);
std::optional<QDate> OptionalQDate(double value);

// Today from the service clock, as a date value.
double TodayDate();

// One field of the date mask: a day, month or year run of the short date format.
struct TDateField {
    enum TKind { Day, Month, Year } Kind = Day;
    int Letters = 0;  // length of the run in the format
    int Position = 0; // first character of the field in the masked text
    int Width = 0;    // characters the field takes in the masked text
    bool Named() const { return Kind != Year && Letters >= 3; }
};

// The input mask of a short date format and the text layout it implies. A run of three or more
// year letters takes four digits, a run of three or more day or month letters three letters (a
// name), any shorter run two digits; "/" stands for the date separator and quoted text is
// copied. Every position is optional and blanks are the placeholder, so the Qt mask for
// "d/MM/yyyy" is "00/00/0000; ".
class TDateMask {
public:
    explicit TDateMask(const TDateLocale& locale);

    QString InputMask() const { return Mask + QStringLiteral("; "); }
    // The text of the mask with every field blank ("  /  /    ").
    QString EmptyText() const { return Empty; }
    const QList<TDateField>& Fields() const { return FieldList; }
    const TDateLocale& Locale() const { return DateLocale; }

    // The date in the short date format, each field right-justified into its width with blanks;
    // NullDate gives the empty text.
    QString Format(double value) const;

    // Whether the text is laid out as the mask and one of its fields is all blanks.
    bool HasBlankField(const QString& text) const;

private:
    TDateLocale DateLocale;
    QString Mask;
    QString Empty;
    QList<TDateField> FieldList;
};

// Reads a date text: a masked text with a blank field is no date; otherwise every "." becomes a blank, the
// text is split on the date separator, the format's other literals and blanks, a month given by name (long or
// short, any case) becomes its number, and the numbers are read by the program's date parser in the order of
// the short date format (two-digit years below 90 are 20xx; day and month alone take the current year).
// Anything else, or a date that does not exist, gives NullDate.
double TextToDate(const QString& text, const TDateLocale& locale, int currentYear);

// What leaving a date editor does with its text.
struct TDateExit {
    double Date = NullDate;
    // The text is changed and a field has been left blank: beep and keep the focus in the editor.
    bool KeepFocus = false;
};

// The exit rule: a blank text is a deliberate clear; a changed masked text with one field left
// blank asks for the focus back (and is emptied); a text that reads as a date is taken; any other
// text (an impossible date such as 31/02/2005) is silently emptied.
TDateExit DateExit(const QString& text, bool modified, const TDateMask& mask, int currentYear);
