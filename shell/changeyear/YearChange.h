#pragma once

#include <QList>
#include <QString>

#include <functional>

class TDesktopFiles;
class TEntityInfo;
class TReportSetup;

// What a change of year needs of the main window.
class IYearChangeHost {
public:
    virtual ~IYearChangeHost() = default;
    // Closes the data-entry pages of the open file at an index without recording them for the
    // next start; 2 when the user cancelled at one of them.
    virtual int CloseAllPages(int fileIndex) = 0;
    // Runs a step on the active file behind the process guard of a process (see
    // IChildWindowRegistry::RunGuarded); false, without running it, when the guard was refused.
    virtual bool RunGuarded(int process, bool restorable, const std::function<bool()>& step) = 0;
    // Shows the bring-forward window for the file and the run-parameter block (its Year is the
    // year to create); true on OK. False when the window is not there.
    virtual bool RunBringForward(TEntityInfo& file, TReportSetup& setup) = 0;
    // The timer of timed saving.
    virtual bool BackupTimerEnabled() const = 0;
    virtual void SetBackupTimerEnabled(bool enabled) = 0;
    // The year captions changed: the Active File box is rebuilt.
    virtual void RefreshActiveFileList() = 0;
};

// File > Change Year once a year is chosen: moves an open file to another financial year.
//
// A year whose accounts chart is on disk is switched to: the file's data-entry pages close
// without being recorded, the charts and pages of the year being left are written, and the file
// loads the new year. When the new year's charts cannot be loaded the file goes back to the year
// it was in, and the user is told, so that it is never left open without charts. A GST group
// representative offers to move the members of its group that are open on the desktop too.
//
// The year after the current one, when it is not on disk yet, is made by the bring-forward
// window, behind the process guard of the bring forward (the pages do not come back once the
// year has changed) and with timed saving held off while the window is up; on OK the file moves
// to the new year. A later year is not brought forward from an older one: the user is told to
// change to the year before it first.
//
// The file's detail record is saved and the Active File box rebuilt at the end, whatever the
// outcome. The change asks for no password: the file is open already.
class TYearChange {
public:
    static inline const QString GroupQuestionText = QStringLiteral(
        "The current file is a GST group representative. Update the current financial year for other "
        "members of this GST group ?");
    static inline const QString RevertedText =
        QStringLiteral("Unable to change to the %1 financial year; the file stays in %2.");
    // The GST group option of a group's representative.
    static constexpr int GroupRepresentative = 2;
    static constexpr int MaxGroupMembers = 20;

    enum class TResult {
        Unchanged, // nothing done (the current year, an earlier year without a chart, a refusal)
        Switched,  // the file now works in the chosen year
        Reverted,  // the chosen year could not be loaded: the file is back in its year
        Cancelled, // the user stopped it (pages, guard or bring-forward window)
    };

    explicit TYearChange(IYearChangeHost& host) : Host(host) {}

    // The whole command for the open file at an index and the year chosen in the list.
    TResult ChangeYearOfFile(TDesktopFiles& files, int fileIndex, int chosenYear);
    // Switches the open file at an index to a year that is on disk: pages closed unrecorded, the
    // year left saved, the new year loaded (or the old one back, with RevertedText).
    TResult SwitchToYear(TDesktopFiles& files, int fileIndex, int year);

    // The indexes of the members of a representative's GST group that are open on the desktop,
    // in member-slot order, each once; the representative itself is never among them.
    static QList<int> OpenGroupMembers(const TDesktopFiles& files, int representativeIndex);

private:
    // Writes the year being left, changes to the new year and checks that it loaded; goes back
    // and says so when it did not.
    TResult ChangeLoadedYear(TEntityInfo& file, int year);
    TResult BringForward(TDesktopFiles& files, int fileIndex, int year);
    void UpdateGroupMembers(TDesktopFiles& files, int fileIndex, int year);

    IYearChangeHost& Host;
};
