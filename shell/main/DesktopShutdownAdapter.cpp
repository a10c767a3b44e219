#include "shell/main/DesktopShutdownAdapter.h"

#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "shell/desktop/Desktop.h"
#include "shell/main/MainWindowSeams.h"

#include <stdexcept>

namespace {

TEntityInfo& FileAt(const TDesktop& desktop, int index) {
    TEntityInfo* file = desktop.Files().File(index);
    if (!file)
        throw std::out_of_range("no open file at that place on the desktop");
    return *file;
}

} // namespace

QList<int> IReportMenu::ChooseFilesToClose(const TDesktop& desktop) {
    if (desktop.ActiveIndex() < 0)
        return {};
    return {desktop.ActiveIndex()};
}

int TDesktopShutdownAdapter::FileCount() const {
    return Desktop.Files().Count();
}

QString TDesktopShutdownAdapter::FileCode(int index) const {
    return Desktop.Files().Code(index);
}

QString TDesktopShutdownAdapter::YearCaption(int index) const {
    return FileAt(Desktop, index).YearCaption(-1);
}

bool TDesktopShutdownAdapter::PromptsForBackup(int index) const {
    return FileAt(Desktop, index).EntityDetail().PromptBkup;
}

int TDesktopShutdownAdapter::ActiveIndex() const {
    return Desktop.ActiveIndex();
}

void TDesktopShutdownAdapter::MakeActive(int index) {
    Desktop.Files().SetActiveIndex(index);
    Frame.NotifyActiveFile(true);
}

void TDesktopShutdownAdapter::ActiveFileChanged() {
    Frame.NotifyActiveFile(false);
}

QList<TDesktopChild> TDesktopShutdownAdapter::Children() const {
    return Frame.Children();
}

void TDesktopShutdownAdapter::CloseChild(int position) {
    Frame.CloseChild(position);
}

void TDesktopShutdownAdapter::ProcessEvents() {
    Frame.ProcessEvents();
}

bool TDesktopShutdownAdapter::DataEntryOpen() const {
    return Frame.ChildWindows().DataEntryWindowOpen();
}

bool TDesktopShutdownAdapter::CloseDataEntryPages(int index) {
    return Frame.ChildWindows().CloseAllPages(index, true, true) != TDesktop::PagesCancelled;
}

void TDesktopShutdownAdapter::CloseDataEntryWindow() {
    Frame.ChildWindows().CloseDataEntryWindow();
}

void TDesktopShutdownAdapter::SaveYearCharts(int index) {
    TEntityInfo& file = FileAt(Desktop, index);
    TOptionSet options{Option::Standard};
    file.SaveYearCharts(file.EntityDetail().Year, options, false);
}

void TDesktopShutdownAdapter::BackupActiveFile() {
    Frame.ChildWindows().BackupActiveFile();
}

void TDesktopShutdownAdapter::FreeFile(int index) {
    const std::unique_ptr<TEntityInfo> leaving = Desktop.Files().Remove(index);
    if (!leaving)
        return;
    View.FilesChanged();
    try {
        leaving->Close();
    } catch (const std::exception& error) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, ErrorText(error), TMessageButton::OK);
    }
}

void TDesktopShutdownAdapter::CloseFileOnDesktop(int index) {
    Desktop.CloseFileOnDesktop(index);
}

void TDesktopShutdownAdapter::RecordClosed(const QStringList& codes) {
    Desktop.RecordFilesClosed(codes);
}

void TDesktopShutdownAdapter::SaveDesktopState() {
    Desktop.SaveDesktopState(DesktopFormNames(Frame.Children()));
    Frame.ChildWindows().SavePlacements();
}

bool TDesktopShutdownAdapter::ProcessRunning() const {
    return Frame.ChildWindows().ProcessRunning();
}

bool TDesktopShutdownAdapter::ModalDialogOpen() const {
    return Frame.ModalDialogOpen();
}
