#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TEntityDetail;

// The financial years a client file can be moved to. A year is held on disk when its accounts
// chart "<code><yy>.ADF" is in the file's master-data folder ("M_DETAIL"); the two year digits
// are widened by the program's pivot (below 90: 20xx). Besides those years only the year after
// the file's current one is offered, and only when it is not on disk yet: that year is made by
// bringing the current year forward. A later year is never brought forward from an older one:
// the user first changes to the year before it.
class TYearChoices {
public:
    // What choosing a year in the list does.
    enum class TAction {
        None,         // the current year, or an earlier year without an accounts chart
        Switch,       // the year is on disk: the file switches to it
        BringForward, // the year after the current one, not on disk: bring forward into it
        NotAllowed,   // a later year that the current year cannot be brought forward into
    };

    static inline const QString ItemFormat = QStringLiteral("%1    (%2)");
    static inline const QString BringForwardFirstText =
        QStringLiteral("Change to the %1 financial year before bringing forward.");

    // The years of a file code's accounts charts among the names of a master-data folder, newest
    // first, each once. A name counts when it is the code, two digits and ".ADF" (case aside);
    // any other name, such as "ABC123XX.ADF" or "ABC1239.ADF", is skipped.
    static QList<int> YearsOnDisk(const QStringList& names, const QString& code);
    // The same for the file's own master-data folder on this workstation.
    static QList<int> ReadYearsOnDisk(const TEntityDetail& detail);
    // The native path of the file's master-data folder; empty when its drive is not ready.
    static QString MasterDataFolder(const TEntityDetail& detail);

    // The years the list offers, newest first: the years on disk and, when it is not among them,
    // the year after the current one.
    static QList<int> ListedYears(const QList<int>& onDisk, int currentYear);
    // The text of a year's item: the year, four blanks and the year's months in brackets
    // ("2006    (Jul 2005 - Jun 2006)" for a June year end).
    static QString ItemText(int year, int endMonth);

    static TAction Decide(int currentYear, int chosenYear, const QList<int>& onDisk);
    // What a user on an older year is told when the year chosen is later than the one after the
    // current year: change to the year before it first.
    static QString BringForwardFirst(int chosenYear);
    // The note the list shows to a user whose current year is not the newest on disk (the year
    // after the newest one is then not offered); empty otherwise.
    static QString OlderYearNote(const QList<int>& onDisk, int currentYear);
};
