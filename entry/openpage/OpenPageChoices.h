#pragma once

#include <QString>
#include <QStringList>

class TEntityInfo;

// What the open-page dialog offers and returns, without the dialog: the page kinds a user may
// open (0 Opening Balances to 13 Standard Bank Transactions; the deleted transactions are never
// opened as a page), the periods of the file's current year named as the program names periods
// ("Jul 2005", "Jul 2005 - Sep 2005"), the choice made, and the result read after OK.
//
// Opening balances, opening unpresented cheques and outstanding deposits, memorised payments and
// standard bank transactions are kept for the whole year in one file: they take no period (the
// result's period is 0) and cannot change the file's default period.
class TOpenPageChoices {
public:
    // The page kinds offered: 0 to LastOfferedKind.
    static constexpr int LastOfferedKind = 13;
    // The kind chosen when the caller asks for one that is not offered: the page keyed most.
    static constexpr int FallbackKind = 1;

    // A year of periodsPerYear periods (a divisor of 12) ending in endMonth, the file's default
    // period and the kind to start on. The default period is moved into 1 to periodsPerYear.
    // Raises EQuilvaneError when periodsPerYear or endMonth cannot describe a year.
    TOpenPageChoices(int year, int periodsPerYear, int endMonth, int defaultPeriod, int pageKind);

    // The choices of an open file: its record's current year, year-end month and default
    // period, and the periods per year its pages are opened with.
    static TOpenPageChoices ForFile(const TEntityInfo& file, int pageKind);

    // The names of the offered kinds, in kind order (the list row is the kind).
    static QStringList KindNames();
    static bool IsOfferedKind(int pageKind);
    // Whether pages of the kind belong to one period of the year.
    static bool KindTakesPeriod(int pageKind);

    int Year() const { return FinancialYear; }
    int PeriodsPerYear() const { return PeriodCount; }
    int EndMonth() const { return YearEndMonth; }
    // The record's default period, moved into range.
    int DefaultPeriod() const { return Default; }
    // One name per period, period 1 first (the list row is the period less one).
    QStringList PeriodNames() const;
    QString PeriodName(int period) const;

    // ---- The choice --------------------------------------------------------------------------

    int Kind() const { return ChosenKind; }
    // A kind that is not offered chooses FallbackKind.
    void SetKind(int pageKind);
    // The period chosen (1 to PeriodsPerYear), kept while a kind without periods is chosen.
    int Period() const { return ChosenPeriod; }
    // A period outside the year is moved to its nearest end.
    void SetPeriod(int period);
    bool MakeDefault() const { return MakeDefaultChosen; }
    void SetMakeDefault(bool makeDefault) { MakeDefaultChosen = makeDefault; }
    // The period list and the make-default box are in use for the chosen kind.
    bool PeriodEnabled() const { return KindTakesPeriod(ChosenKind); }

    // The chosen kind; its period, 0 for a kind without periods; and whether that period is to
    // become the file's default period (never for a kind without periods).
    void GetResult(int& pageKind, int& period, bool& makeDefault) const;

private:
    int ClampPeriod(int period) const;

    int FinancialYear;
    int PeriodCount;
    int YearEndMonth;
    int Default;
    int ChosenKind = FallbackKind;
    int ChosenPeriod;
    bool MakeDefaultChosen = false;
};
