#include "shell/desktop/Desktop.h"

#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/WindowKinds.h"
#include "shell/openfile/OpenFileList.h"

#include <QScopeGuard>

#include <algorithm>
#include <utility>

namespace {

const QString OpeningCaption = QStringLiteral("Opening Files");
const QString OpeningText = QStringLiteral("Please wait ...");
const QString OpeningFileText = QStringLiteral("Opening File : ");
const QString RestoringCaption = QStringLiteral("Quilvane Startup");
const QString RestoringText = QStringLiteral("Restoring Desktop ...");

// An error that the code raising it has not shown yet.
void ShowError(const std::exception& error) {
    TServices::Prompt().ShowMessage(TMessageKind::Error, ErrorText(error), TMessageButton::OK);
}

} // namespace

TDesktop::TDesktop(IDesktopOpener& opener, IDesktopView& view) : Opener(opener), View(view) {}

TDesktop::~TDesktop() = default;

bool TDesktop::CanOpenAnotherFile() {
    if (!DesktopFiles.IsFull())
        return true;
    IUserPrompt& prompt = TServices::Prompt();
    prompt.Beep(TBeep::Warning);
    prompt.ShowMessage(TMessageKind::Information, TooManyFilesText, TMessageButton::OK);
    return false;
}

int TDesktop::OpenFileOnDesktop(const QString& fileCode, bool askPassword, bool reopenPages,
                                bool interactiveLock, bool restoreOpen) {
    // A second object of an open file would give its lock back when it goes.
    if (const int open = DesktopFiles.IndexOf(fileCode); open >= 0)
        return open;
    if (!CanOpenAnotherFile())
        return -1;
    std::optional<TCursorScope> busy(std::in_place, TCursorKind::Busy);
    TOptionSet options{Option::Standard, Option::Load};
    if (interactiveLock)
        options.Include(Option::InteractiveLock);
    std::unique_ptr<TEntityInfo> file;
    try {
        file = Opener.Create(fileCode, options);
        if (!file)
            return -1;
        const QString stored = file->EntityDetail().AccessPw;
        if (askPassword && !stored.isEmpty()) {
            busy.emplace(TCursorKind::Normal);
            const std::optional<QString> typed = Opener.AskPassword(file->EntityDetail());
            busy.emplace(TCursorKind::Busy);
            // Cancel leaves the typed text empty, which no stored password matches.
            if (!PasswordMatches(stored, typed.value_or(QString()))) {
                // Refused: no visit is logged, and freeing the object gives the lock back.
                file->NoTimeLog = true;
                file.reset();
                busy.reset();
                // The warning beep, not the error one, before the error box.
                IUserPrompt& prompt = TServices::Prompt();
                prompt.Beep(TBeep::Warning);
                prompt.ShowMessage(TMessageKind::Error, WrongPasswordText.arg(fileCode), TMessageButton::OK);
                return -1;
            }
        }
        Opener.OpenYear(*file);
    } catch (const EAbort&) {
        return -1;
    } catch (const std::exception& error) {
        file.reset();
        busy.reset();
        // A restore opens without a word: the file is simply not tried again.
        if (!restoreOpen)
            ShowError(error);
        return -1;
    }
    const int index = DesktopFiles.Add(file);
    if (index < 0)
        return -1;
    View.FileMenusEnabled(true);
    View.FilesChanged();
    View.ActiveFileChanged();
    View.ProcessEvents();
    if (reopenPages && DesktopFiles.File(index)->DataEntryPageCount() > 0)
        View.OpenDataEntryWindow();
    return index;
}

void TDesktop::OpenFiles(const QString& codes, const QString& availability) {
    const std::unique_ptr<IProgress> progress = TServices::CreateProgress();
    progress->Setup(OpeningCaption, 0, OpeningText, false, false);
    const QStringList codeList = codes.split(QLatin1Char(','));
    const QStringList flags = availability.split(QLatin1Char(','));
    // The first file chosen that is open at the end becomes the active one.
    QString first;
    for (qsizetype i = 0; i < codeList.size(); ++i) {
        const QString code = codeList[i].trimmed();
        if (code.isEmpty())
            continue;
        const QString flag = flags.value(i).trimmed();
        if (flag == TOpenFileSelection::AvailableFlag) {
            if (!CanOpenAnotherFile())
                break;
            if (DesktopFiles.IndexOf(code) >= 0)
                continue;
            progress->SetMessage(0, OpeningFileText + code);
            if (OpenFileOnDesktop(code, true, true, true, false) < 0)
                continue;
            AddHistory(code);
            if (first.isEmpty())
                first = code;
        } else if (DesktopFiles.IndexOf(code) >= 0) {
            if (first.isEmpty())
                first = code;
        } else if (flag == TOpenFileSelection::NotPermittedFlag) {
            TServices::Prompt().ShowMessage(TMessageKind::Information, NotPermittedText.arg(code),
                                            TMessageButton::OK);
        } else {
            TServices::Prompt().ShowMessage(TMessageKind::Information, InUseText.arg(code),
                                            TMessageButton::OK | TMessageButton::Help, InUseHelpContext);
        }
    }
    if (!first.isEmpty())
        SetActiveIndex(DesktopFiles.IndexOf(first));
}

bool TDesktop::CloseFileOnDesktop(int index) {
    TEntityInfo* file = DesktopFiles.File(index);
    if (!file)
        return false;
    // The data-entry window must not keep pages of a file that is gone.
    if (View.DataEntryWindowOpen() && file->DataEntryPageCount() > 0 &&
        View.CloseAllPages(index) == PagesCancelled)
        return false;
    try {
        TOptionSet options{Option::Standard};
        file->SaveYearCharts(file->EntityDetail().Year, options, false);
    } catch (const std::exception& error) {
        // Nothing is lost: the file stays open with its changes.
        ShowError(error);
        return false;
    }
    SetHistoryStatus(DesktopFiles.Code(index), 0);
    const std::unique_ptr<TEntityInfo> closing = DesktopFiles.Remove(index);
    View.FilesChanged();
    View.DetachEntity(*closing);
    if (DesktopFiles.Count() == 0) {
        View.FileMenusEnabled(false);
        View.CloseChildWindowsExceptReports();
    } else {
        View.ActiveFileChanged();
    }
    View.RecentFilesChanged();
    try {
        closing->Close();
    } catch (const std::exception& error) {
        ShowError(error);
    }
    return true;
}

void TDesktop::RestoreDesktop() {
    TProgramParams& params = ProgramParams();
    if (params.RestoreDesktop < 1 || params.Entities.IsEmpty())
        return;
    IsRestoring = true;
    const auto done = qScopeGuard([this] { IsRestoring = false; });
    {
        const std::unique_ptr<IProgress> progress = TServices::CreateProgress();
        progress->Setup(RestoringCaption, 0, RestoringText, true, false);
        const int count = params.Entities.Count();
        for (int i = 0; i < count && !DesktopFiles.IsFull(); ++i) {
            const QString code = params.Entities[i].Code;
            if (params.Entities[i].Status.Status > 0 && DesktopFiles.IndexOf(code) < 0 &&
                OpenFileOnDesktop(code, true, false, false, true) < 0)
                params.Entities[i].Status = TPreviousEntityStatus(0);
            progress->SetPosition((i + 1) * 100.0 / count);
        }
        if (DesktopFiles.Count() > 0) {
            bool hasPages = false;
            for (int i = 0; i < DesktopFiles.Count(); ++i)
                hasPages = hasPages || DesktopFiles.File(i)->DataEntryPageCount() > 0;
            DesktopFiles.SetActiveIndex(std::max(DesktopFiles.IndexOf(params.Current), 0));
            for (const QString& form : std::as_const(params.Forms))
                if (const int kind = RestoredWindowKind(form); kind >= 0)
                    View.OpenChildWindow(kind);
            if (hasPages)
                View.OpenDataEntryWindow();
        }
    }
    IsRestoring = false;
    View.ActiveFileChanged();
    View.RecentFilesChanged();
}

void TDesktop::RefreshActiveFileList() {
    View.FilesChanged();
    View.ActiveFileChanged();
}

bool TDesktop::FileRenamed(int index, const QString& newCode) {
    const QString oldCode = DesktopFiles.Code(index);
    if (oldCode.isEmpty() || !DesktopFiles.Rename(index, newCode))
        return false;
    TEntityHistory& history = ProgramParams().Entities;
    // A left-over entry of the new code would list the file twice.
    if (const int stale = history.IndexOf(newCode); stale >= 0)
        history.RemoveAt(stale);
    const int at = history.IndexOf(oldCode);
    if (at >= 0) {
        history.RemoveAt(at);
        history.Insert(at, newCode, TPreviousEntityStatus(1));
    }
    View.RecentFilesChanged();
    RefreshActiveFileList();
    return true;
}

void TDesktop::SetActiveIndex(int index) {
    DesktopFiles.SetActiveIndex(index);
    View.ActiveFileChanged();
    View.RecentFilesChanged();
}

void TDesktop::OpenRecentFile(const QString& fileCode) {
    const int open = DesktopFiles.IndexOf(fileCode);
    if (open >= 0) {
        AddHistory(fileCode);
        SetActiveIndex(open);
    } else if (CanOpenAnotherFile()) {
        if (OpenFileOnDesktop(fileCode, true, true, true, false) >= 0)
            AddHistory(fileCode);
        else
            View.RecentFilesChanged();
    }
}

QStringList TDesktop::YearCaptions() const {
    QStringList captions;
    for (int i = 0; i < DesktopFiles.Count(); ++i)
        captions.append(DesktopFiles.File(i)->YearCaption(-1));
    return captions;
}

std::vector<TRecentFile> TDesktop::RecentFiles() const {
    const TEntityHistory& history = ProgramParams().Entities;
    const QString active = DesktopFiles.Code(DesktopFiles.ActiveIndex());
    std::vector<TRecentFile> files;
    for (int i = 0; i < std::min(history.Count(), RecentFileCount); ++i) {
        const QString& code = history[i].Code;
        files.push_back({QStringLiteral("&%1.%2").arg(i + 1).arg(code), code,
                         !active.isEmpty() && code.compare(active, Qt::CaseInsensitive) == 0});
    }
    return files;
}

void TDesktop::SaveDesktopState(const QStringList& forms) {
    TProgramParams& params = ProgramParams();
    params.Forms = forms;
    params.Current = DesktopFiles.Code(DesktopFiles.ActiveIndex());
    // Every open file is marked open in the history, so that the next start reopens it.
    for (int i = 0; i < DesktopFiles.Count(); ++i) {
        const QString code = DesktopFiles.Code(i);
        const int entry = params.Entities.IndexOf(code);
        if (entry < 0)
            params.AddHistory(OpenCodes(), code);
        else if (params.Entities[entry].Status.Status <= 0)
            params.Entities[entry].Status = TPreviousEntityStatus(1);
    }
    params.Save();
}

void TDesktop::RecordFilesClosed(const QStringList& codes) {
    for (const QString& code : codes)
        SetHistoryStatus(code, 0);
    View.RecentFilesChanged();
    ProgramParams().Save();
}

QString TDesktop::HintText(const QString& hint) {
    return hint.isEmpty() ? QStringLiteral(" Ready.") : QLatin1Char(' ') + hint;
}

QString TDesktop::UserText(const QString& userName) {
    return QStringLiteral(" User: %1").arg(userName);
}

int TDesktop::RestoredWindowKind(const QString& formName) {
    for (const int kind : {wkAccounts, wkStandardDescriptions, wkTaxes, wkCurrencies})
        if (formName == WindowKindTable[static_cast<size_t>(kind)].Name)
            return kind;
    return -1;
}

bool TDesktop::PasswordMatches(const QString& stored, const QString& typed) {
    return stored == typed.toUpper();
}

void TDesktop::AddHistory(const QString& fileCode) {
    ProgramParams().AddHistory(OpenCodes(), fileCode);
    View.RecentFilesChanged();
}

void TDesktop::SetHistoryStatus(const QString& fileCode, int status) {
    TEntityHistory& history = ProgramParams().Entities;
    if (const int entry = history.IndexOf(fileCode); entry >= 0)
        history[entry].Status = TPreviousEntityStatus(status);
}

QStringList TDesktop::OpenCodes() const {
    QStringList codes;
    for (int i = 0; i < DesktopFiles.Count(); ++i)
        codes.append(DesktopFiles.Code(i));
    return codes;
}
