#include "controls/files/DirectoryEdit.h"

#include "controls/files/BrowseFolderDialog.h"
#include "controls/files/FolderTextRules.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

QStringList DroppedNames(const QMimeData* data, bool multipleDirs) {
    if (data == nullptr || !data->hasUrls())
        return QStringList();
    return TFolderTextRules::DroppedNames(data->urls(), multipleDirs);
}

} // namespace

TFileDirEdit::TFileDirEdit(QWidget* parent) : TCustomComboEdit(parent) {
    SetGlyphKind(TGlyphKind::Default);
}

void TFileDirEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptFilesFlag && !DroppedNames(event->mimeData(), MultipleDirsFlag).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    TCustomComboEdit::dragEnterEvent(event);
}

void TFileDirEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptFilesFlag && !DroppedNames(event->mimeData(), MultipleDirsFlag).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    TCustomComboEdit::dragMoveEvent(event);
}

void TFileDirEdit::dropEvent(QDropEvent* event) {
    const QStringList names = DroppedNames(event->mimeData(), MultipleDirsFlag);
    if (!AcceptFilesFlag || names.isEmpty()) {
        TCustomComboEdit::dropEvent(event);
        return;
    }
    for (const QString& name : names)
        ReceptFileDir(name);
    event->acceptProposedAction();
    emit DropFiles();
}

TDirectoryEdit::TDirectoryEdit(QWidget* parent) : TFileDirEdit(parent), Browse(&BrowseDirectory) {}

QString TDirectoryEdit::Text() const {
    return TFolderTextRules::NormalizedText(text(), MultipleDirs());
}

void TDirectoryEdit::SetText(const QString& text) {
    setText(TFolderTextRules::NormalizedText(text, MultipleDirs()));
}

void TDirectoryEdit::SetBrowseFunction(TBrowseFunction browse) {
    Browse = browse ? std::move(browse) : TBrowseFunction(&BrowseDirectory);
}

QString TDirectoryEdit::GetLongName() const {
    return TFolderTextRules::LongName(Text(), MultipleDirs());
}

QString TDirectoryEdit::GetShortName() const {
    return TFolderTextRules::ShortName(Text(), MultipleDirs());
}

void TDirectoryEdit::ReceptFileDir(const QString& name) {
    // Shown as received, separator and all; Text() still gives the kept form.
    setText(TFolderTextRules::ReceptFileDir(text(), name, MultipleDirs()));
}

void TDirectoryEdit::ButtonClick() {
    QString folder = Text();
    bool action = true;
    if (OnBeforeDialog)
        OnBeforeDialog(folder, action);
    if (!action)
        return;
    folder = TFolderTextRules::StartFolder(folder, Initial);
    action = Browse(folder, Title, Context);
    if (isVisible() && isEnabled())
        setFocus(Qt::OtherFocusReason);
    if (OnAfterDialog)
        OnAfterDialog(folder, action);
    if (!action)
        return;
    const int selectionLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    SetText(TFolderTextRules::ChosenText(text(), selectionStart(), selectionLength, folder, MultipleDirs()));
    if (TFolderTextRules::DirExists(folder))
        Initial = folder;
}
