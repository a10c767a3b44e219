#include "shell/shutdown/ShutdownSequence.h"

#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/WindowKinds.h"
#include "shell/shutdown/BackupTimer.h"
#include "shell/shutdown/ShutdownDesktop.h"

#include <algorithm>
#include <utility>

QStringList DesktopFormNames(const QList<TDesktopChild>& children) {
    QStringList names;
    for (auto child = children.crbegin(); child != children.crend(); ++child) {
        if (child->Kind == wkDataEntry)
            names << WindowKindEntry(wkDataEntry).Name.toString();
        else if (IsMasterDetailsWindowKind(child->Kind) && child->ChartKind >= ckAccounts &&
                 child->ChartKind <= ckCurrencies)
            names << ChartKindEntry(child->ChartKind).PluralNoun.toString();
    }
    return names;
}

TShutdownSequence::TShutdownSequence(IShutdownDesktop& desktop, IBackupQuestion& question,
                                     TProgramParams& settings, TBackupTimer& timer)
    : Desktop(desktop), Question(question), Settings(settings), Timer(timer) {}

bool TShutdownSequence::CloseQuery() {
    const TMessageButton answer =
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question,
                           QStringLiteral("Are you sure you want to exit from Quilvane ?"),
                           TMessageButton::Yes | TMessageButton::No);
    return answer == TMessageButton::Yes && Shutdown();
}

bool TShutdownSequence::Shutdown() {
    Timer.SetEnabled(false);
    Carried = {};
    Freed.clear();
    bool closed = false;
    try {
        closed = CloseEverything();
    } catch (...) {
        Stopped();
        throw;
    }
    Progress.reset();
    if (!closed)
        Stopped();
    return closed;
}

bool TShutdownSequence::CloseEverything() {
    Progress = TServices::CreateProgress();
    Progress->Setup(QStringLiteral("QUILVANE Shutdown"), 0, QStringLiteral("Shutting Down ..."), false,
                    false);
    Desktop.ProcessEvents();

    RecordDesktop(Desktop, Settings);
    Desktop.SaveDesktopState();
    const QList<TDesktopChild> children = Desktop.Children();
    for (int position = children.size() - 1; position >= 0; --position) {
        if (children[position].Kind == wkDataEntry)
            continue;
        Desktop.CloseChild(position);
        Desktop.ProcessEvents();
    }

    while (Desktop.FileCount() > 0) {
        ShowFileProgress(Desktop.FileCode(0));
        if (!CloseOneFile(0, TCloseEnd::Free, Desktop.FileCount() == 1))
            return false;
    }
    return true;
}

// The files already freed are closed for good; the files left open get the desktop's attention
// again, and timed saving goes back on.
void TShutdownSequence::Stopped() {
    Progress.reset();
    if (!Freed.isEmpty())
        Desktop.RecordClosed(std::exchange(Freed, {}));
    Desktop.ActiveFileChanged();
    Timer.EnableFromSettings();
}

bool TShutdownSequence::CloseChosenFiles(QList<int> chosen) {
    Carried = {};
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    for (auto index = chosen.crbegin(); index != chosen.crend(); ++index) {
        if (*index < 0 || *index >= Desktop.FileCount())
            continue;
        if (!CloseOneFile(*index, TCloseEnd::CloseOnDesktop, false)) {
            Desktop.ActiveFileChanged();
            return false;
        }
    }
    return true;
}

bool TShutdownSequence::CloseOneFile(int index, TCloseEnd end, bool lastFile) {
    Desktop.MakeActive(index);
    if (Desktop.DataEntryOpen()) {
        if (!Desktop.CloseDataEntryPages(index))
            return false;
        if (lastFile)
            Desktop.CloseDataEntryWindow();
    }
    Desktop.SaveYearCharts(index);

    const QString code = Desktop.FileCode(index);
    const bool promptSet = Desktop.PromptsForBackup(index);
    if (Carried.Offers(promptSet)) {
        const bool shown = Progress != nullptr;
        Progress.reset();
        const auto step = Carried.Decide(promptSet, [&] { return Question.Ask(Desktop.YearCaption(index)); });
        if (step == TCarriedBackupAnswer::TStep::Stop)
            return false;
        if (step == TCarriedBackupAnswer::TStep::Backup)
            Desktop.BackupActiveFile();
        if (shown) {
            ShowFileProgress(code);
            Desktop.ProcessEvents();
        }
    }

    if (end == TCloseEnd::Free) {
        // Counted before it goes, so that a failure on the way still records it.
        Freed << code;
        Desktop.FreeFile(index);
    } else {
        Desktop.CloseFileOnDesktop(index);
    }
    return true;
}

void TShutdownSequence::ShowFileProgress(const QString& code) {
    if (!Progress)
        Progress = TServices::CreateProgress();
    Progress->Setup(QStringLiteral("File : ") + code, 0, QStringLiteral("Closing File ..."), false, false);
}
