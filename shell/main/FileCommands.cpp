#include "shell/main/FileCommands.h"

#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/children/ChildWindows.h"
#include "shell/desktop/Desktop.h"
#include "shell/filecode/FileCodeRules.h"
#include "shell/main/MainWindowSeams.h"

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
    if (!RunNewFileWizard(*detail))
        return;
    const QString code = detail->FileCode;
    const QString name = detail->Name;
    // Another workstation may have taken the code while the wizard was open: a record is never
    // written over another file's.
    if (TFileCodeRules::RecordExists(code)) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning, TFileCodeRules::ExistsText,
                           TMessageButton::OK);
        return;
    }
    detail->BASExportFileCode = code;
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
