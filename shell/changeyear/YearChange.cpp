#include "shell/changeyear/YearChange.h"

#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Services.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/changeyear/YearChoices.h"

#include <QScopeGuard>

namespace {

// What the data-entry window answers when the user cancelled closing a page.
constexpr int PagesCancelled = 2;

} // namespace

TYearChange::TResult TYearChange::ChangeYearOfFile(TDesktopFiles& files, int fileIndex, int chosenYear) {
    TEntityInfo* file = files.File(fileIndex);
    if (!file)
        return TResult::Unchanged;
    TEntityDetail& detail = file->EntityDetail();
    const int currentYear = detail.Year;
    if (chosenYear == currentYear)
        return TResult::Unchanged;

    const QList<int> onDisk = TYearChoices::ReadYearsOnDisk(detail);
    TResult result = TResult::Unchanged;
    switch (TYearChoices::Decide(currentYear, chosenYear, onDisk)) {
    case TYearChoices::TAction::Switch:
        result = SwitchToYear(files, fileIndex, chosenYear);
        if (result == TResult::Switched && detail.GSTGroupOption == GroupRepresentative)
            UpdateGroupMembers(files, fileIndex, chosenYear);
        break;
    case TYearChoices::TAction::BringForward:
        result = BringForward(files, fileIndex, chosenYear);
        break;
    case TYearChoices::TAction::NotAllowed:
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                           TYearChoices::BringForwardFirst(chosenYear), TMessageButton::OK);
        break;
    case TYearChoices::TAction::None:
        break;
    }
    detail.Save(TOptionSet{Option::Standard});
    Host.RefreshActiveFileList();
    return result;
}

TYearChange::TResult TYearChange::SwitchToYear(TDesktopFiles& files, int fileIndex, int year) {
    TEntityInfo* file = files.File(fileIndex);
    if (!file || file->EntityDetail().Year == year)
        return TResult::Unchanged;
    if (file->DataEntryPageCount() > 0 && Host.CloseAllPages(fileIndex) == PagesCancelled)
        return TResult::Cancelled;
    return ChangeLoadedYear(*file, year);
}

TYearChange::TResult TYearChange::ChangeLoadedYear(TEntityInfo& file, int year) {
    const int oldYear = file.EntityDetail().Year;
    // The change drops what is only in memory: the year being left is written first. A save the
    // user cancelled stops the change; one the user chose to ignore does not.
    TOptionSet options{Option::Standard};
    file.SaveYearCharts(oldYear, options, false);
    if (options.Has(Option::StopOperation))
        return TResult::Cancelled;
    try {
        file.ChangeYear(year, false, false);
    } catch (const EOperationCancelled&) {
        // Cancelled while the new year loaded: the file goes back rather than stay without charts.
        file.ChangeYear(oldYear, false, false);
        return TResult::Cancelled;
    }
    if (file.AccountsChart(year))
        return TResult::Switched;
    // "Error changing years" has been shown: the file would stay open without charts.
    file.ChangeYear(oldYear, false, false);
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning, RevertedText.arg(year).arg(oldYear),
                       TMessageButton::OK);
    return TResult::Reverted;
}

TYearChange::TResult TYearChange::BringForward(TDesktopFiles& files, int fileIndex, int year) {
    TEntityInfo* file = files.File(fileIndex);
    // The process guard works on the active file.
    if (!file || fileIndex != files.ActiveIndex())
        return TResult::Unchanged;
    TResult result = TResult::Cancelled;
    const bool agreed = Host.RunGuarded(prBringForward, false, [&] {
        const bool timerWasOn = Host.BackupTimerEnabled();
        Host.SetBackupTimerEnabled(false);
        const auto restoreTimer = qScopeGuard([&] { Host.SetBackupTimerEnabled(timerWasOn); });
        bool accepted = false;
        {
            // The run starts from the current year's charts; its year is the one to create.
            const int sourceYear = file->EntityDetail().Year;
            TReportSetup setup(file->RunFile(sourceYear), 0, prBringForward, year, false);
            accepted = Host.RunBringForward(*file, setup);
        }
        if (!accepted)
            return true; // the pages closed for it come back
        result = ChangeLoadedYear(*file, year);
        // In the new year the pages of the old one are not given back.
        return result != TResult::Switched;
    });
    return agreed ? result : TResult::Cancelled;
}

QList<int> TYearChange::OpenGroupMembers(const TDesktopFiles& files, int representativeIndex) {
    QList<int> members;
    const TEntityInfo* representative = files.File(representativeIndex);
    if (!representative)
        return members;
    const TEntityDetail& detail = representative->EntityDetail();
    for (int slot = 1; slot <= MaxGroupMembers; ++slot) {
        const QString code = detail.GSTGroupFile[slot].trimmed();
        if (code.isEmpty())
            continue;
        const int index = files.IndexOf(code);
        if (index >= 0 && index != representativeIndex && !members.contains(index))
            members.append(index);
    }
    return members;
}

void TYearChange::UpdateGroupMembers(TDesktopFiles& files, int fileIndex, int year) {
    const QList<int> members = OpenGroupMembers(files, fileIndex);
    // With no member open there is nothing the answer could change.
    if (members.isEmpty())
        return;
    if (MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question, GroupQuestionText,
                           TMessageButton::Yes | TMessageButton::No) != TMessageButton::Yes)
        return;
    for (const int index : members) {
        TEntityInfo* member = files.File(index);
        // A member without that year on disk stays where it is.
        if (!member || !TYearChoices::ReadYearsOnDisk(member->EntityDetail()).contains(year))
            continue;
        if (SwitchToYear(files, index, year) == TResult::Switched)
            member->EntityDetail().Save(TOptionSet{Option::Standard});
    }
}
