#include "shell/main/FileCommands.h"

#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/changeyear/ChangeYear.h"
#include "shell/changeyear/YearChange.h"
#include "shell/changeyear/YearChangeHost.h"
#include "shell/children/ChildWindows.h"
#include "shell/desktop/Desktop.h"
#include "shell/filecode/ChangeFileCode.h"
#include "shell/filecode/FileCodeChange.h"
#include "shell/filecode/FileCodeRules.h"
#include "shell/inventory/fmDiskInventory.h"
#include "shell/main/MainWindowSeams.h"
#include "shell/preferences/QuilvaneSetup.h"
#include "shell/properties/FileProperties.h"
#include "shell/properties/FilePropertyChanges.h"
#include "shell/transfer/TransferFileArrival.h"

#include <QDialog>

#include <memory>

namespace {

// The code a new record carries until the wizard gives it its own: the record is not tied to a
// file before it is saved.
const QString UnsavedCode = QStringLiteral("NEWFIL");

} // namespace

TFileCommands::TFileCommands(TFileCommandHost host) : Host(std::move(host)) {}

void TFileCommands::NewFile() {
    TDesktop& desktop = *Host.Desktop;
    if (!desktop.CanOpenAnotherFile())
        return;
    std::unique_ptr<TEntityDetail> detail;
    {
        TCursorScope busy(TCursorKind::Busy);
        detail = TEntityDetail::Create(UnsavedCode, {Option::Standard, Option::NoLock});
        detail->FileCode.clear();
    }
    {
        TfmFileProperties wizard(Host.Parent);
        wizard.Setup(*detail, true);
        if (Host.RunDialog(wizard) != QDialog::Accepted)
            return;
    }
    const QString code = detail->FileCode;
    const QString name = detail->Name;
    // Another workstation may have taken the code while the wizard was open: a record is never
    // written over another file's.
    if (TFileCodeRules::RecordExists(code)) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning, TFileCodeRules::ExistsText,
                           TMessageButton::OK);
        return;
    }
    TOptionSet saveOptions{Option::Standard, Option::NoLock};
    detail->Save(saveOptions);
    detail.reset();

    const int index = desktop.OpenFileOnDesktop(code, false, false, true, false);
    if (index < 0)
        throw EAbort();
    TEntityInfo& file = *desktop.Files().File(index);
    TOptionSet chartOptions{Option::Standard};
    file.SaveYearCharts(file.EntityDetail().Year, chartOptions, true);
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, CreatedText.arg(code, name),
                       TMessageButton::OK);
    desktop.RecordOpened(code);
}

void TFileCommands::FileProperties() {
    TDesktop& desktop = *Host.Desktop;
    TEntityInfo* file = desktop.Files().ActiveFile();
    if (!file)
        return;
    TEntityDetail& detail = file->EntityDetail();
    const TFilePropertySnapshot before = TFilePropertySnapshot::Of(detail);
    {
        TfmFileProperties sheet(Host.Parent);
        sheet.Setup(detail, false);
        if (Host.RunDialog(sheet) != QDialog::Accepted)
            return;
    }
    const TFilePropertyChanges changes =
        TFilePropertyChanges::Between(before, TFilePropertySnapshot::Of(detail));
    if (changes.Name)
        desktop.RefreshActiveFileList();
    if (changes.DataEntry() && Registry().DataEntryWindowOpen()) {
        if (changes.Periods && file->DataEntryPageCount() > 0)
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, PeriodsLaterText,
                               TMessageButton::OK);
        if (changes.Contras)
            Registry().NotifyDataEntry(dnContraIntervalChanged);
        if (changes.Taxes)
            Registry().NotifyDataEntry(dnTaxesChanged);
        else if (changes.QuantityOrCurrency)
            Registry().NotifyDataEntry(dnQuantityOrCurrencyChanged);
    }
    // With pages open the working periods change when the last of them closes.
    if (file->DataEntryPageCount() == 0)
        file->PeriodsPerYear = detail.Periods;
    TOptionSet options{Option::Standard};
    detail.Save(options);
}

void TFileCommands::Preferences() {
    TfmQuilvaneSetup setup(ProgramParams(), Host.Parent);
    if (Host.RunDialog(setup) != QDialog::Accepted)
        return;
    if (Host.PreferencesSaved)
        Host.PreferencesSaved();
}

void TFileCommands::TransferDiskInventory() {
    TDesktop& desktop = *Host.Desktop;
    const TEntityInfo* active = desktop.Files().ActiveFile();
    const QString transferFolder = active ? active->EntityDetail().XferDir : QString();
    TfmDiskInventory dialog(Host.Parent);
    dialog.Setup(transferFolder.isEmpty() ? QChar() : transferFolder[0].toUpper());
    if (Host.RunDialog(dialog) != QDialog::Accepted)
        return;
    const QString code = dialog.CreatedFileCode();
    if (code.isEmpty())
        return;
    IUserPrompt& prompt = TServices::Prompt();
    if (desktop.Files().IsFull()) {
        prompt.Beep(TBeep::Information);
        prompt.ShowMessage(TMessageKind::Information, InventoryFullText.arg(code), TMessageButton::OK);
        return;
    }
    if (desktop.OpenFileOnDesktop(code, true, true, true, false) < 0)
        return;
    desktop.RecordOpened(code);
    prompt.Beep(TBeep::Information);
    prompt.ShowMessage(TMessageKind::Information, InventoryOpenedText.arg(code), TMessageButton::OK);
}

void TFileCommands::ChangeYear() {
    TDesktop& desktop = *Host.Desktop;
    const int active = desktop.ActiveIndex();
    TEntityInfo* file = desktop.Files().File(active);
    if (!file)
        return;
    TfmChangeYear dialog(Host.Parent);
    dialog.Setup(*file);
    if (Host.RunDialog(dialog) != QDialog::Accepted)
        return;
    TYearChangeHost host(Registry(), desktop, Host.BackupTimer ? Host.BackupTimer() : nullptr,
                         Registry().BringForwardWindow());
    TYearChange(host).ChangeYearOfFile(desktop.Files(), active, dialog.ChosenYear());
}

void TFileCommands::TransferArrived(const TTransferOffer& offer) {
    TDesktop& desktop = *Host.Desktop;
    // The desktop may have changed since the archive was seen.
    const int index = desktop.Files().IndexOf(offer.FileCode);
    if (index < 0)
        return;
    const TMessageButton answer = MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question,
                                                     TransferQuestionText(offer.FileName, offer.Year),
                                                     TMessageButton::Yes | TMessageButton::No);
    if (answer != TMessageButton::Yes)
        return;
    desktop.SetActiveIndex(index);
    // Transfer from Accountant comes first when the program offers it; every edition of this
    // program does, so the transfer from the client is never the one taken here.
    Registry().RunBackupRestoreProcess(prTransferFromAccountant);
}

void TFileCommands::RenameOrCopyFile(int mode) {
    TDesktop& desktop = *Host.Desktop;
    const int active = desktop.ActiveIndex();
    if (active < 0)
        return;
    if (mode == RenameMode && Registry().SuggestBackup(active, prRenameFileCode) == TMessageButton::Cancel)
        return;
    TfmChangeFileCode dialog(Host.Parent);
    dialog.Setup(desktop.YearCaptions(), active, mode);
    dialog.SetExecute([this](int fileIndex, const QString& newCode, int chosenMode) {
        return ChangeFileCode(fileIndex, newCode, chosenMode);
    });
    Host.RunDialog(dialog);
}

bool TFileCommands::ChangeFileCode(int fileIndex, const QString& newCode, int mode) {
    TDesktop& desktop = *Host.Desktop;
    TEntityInfo* file = desktop.Files().File(fileIndex);
    if (!file)
        return false;
    // The guard and the change work on the file chosen in the dialog.
    if (fileIndex != desktop.ActiveIndex())
        desktop.SetActiveIndex(fileIndex);
    bool changed = false;
    const int process = mode == RenameMode ? prRenameFileCode : prDuplicateFileCode;
    const bool agreed = Registry().RunGuarded(process, false, [&] {
        // What is only in memory goes with the file: its charts and pages are written first.
        TOptionSet options{Option::Standard};
        if (file->SaveYearCharts(file->EntityDetail().Year, options, false) != 0)
            return true;
        changed = TFileCodeChange(Host.FileOperations).Execute(*file, newCode, mode);
        if (!changed || mode != RenameMode)
            return true;
        // The loaded charts still name the old code: the year is loaded again under the new one,
        // and its pages come back once the desktop knows the new code. Everything was written
        // just before, so nothing is lost in dropping them.
        file->ChangeYear(file->EntityDetail().Year, false, false);
        return false;
    });
    if (!agreed || !changed)
        return false;
    if (mode == RenameMode) {
        desktop.FileRenamed(fileIndex, file->EntityDetail().FileCode);
        file->ReopenRecordedPages(true);
    }
    return true;
}
