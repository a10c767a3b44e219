#include "shell/editmenu/EditCommands.h"

#include "entry/masterdetails/MasterDetails.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

bool IsTextEditor(QWidget* widget) {
    return qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
           qobject_cast<QPlainTextEdit*>(widget);
}

// A spin box hands the text commands to its own line editor.
QWidget* TextTarget(QWidget* control) {
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        return spin->findChild<QLineEdit*>();
    return control;
}

bool CanUndo(QWidget* target) {
    if (auto* line = qobject_cast<QLineEdit*>(target))
        return line->isUndoAvailable();
    if (auto* text = qobject_cast<QTextEdit*>(target))
        return text->document()->isUndoAvailable();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(target))
        return plain->document()->isUndoAvailable();
    return false;
}

// The editors share the names of their text commands.
template <typename TEditor> void RunOnEditor(int command, TEditor& editor) {
    switch (command) {
    case TEditCommands::ecUndo:
        editor.undo();
        break;
    case TEditCommands::ecCut:
        editor.cut();
        break;
    case TEditCommands::ecCopy:
        editor.copy();
        break;
    case TEditCommands::ecPaste:
        editor.paste();
        break;
    case TEditCommands::ecSelectAll:
        editor.selectAll();
        break;
    }
}

void RunOnText(int command, QWidget* target) {
    if (auto* line = qobject_cast<QLineEdit*>(target))
        RunOnEditor(command, *line);
    else if (auto* text = qobject_cast<QTextEdit*>(target))
        RunOnEditor(command, *text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(target))
        RunOnEditor(command, *plain);
}

} // namespace

TfmMasterDetails* TEditCommands::MasterDetailsOf(QWidget* activeForm) {
    if (auto* window = qobject_cast<QMdiSubWindow*>(activeForm))
        activeForm = window->widget();
    if (!activeForm)
        return nullptr;
    if (auto* details = qobject_cast<TfmMasterDetails*>(activeForm))
        return details;
    // A lookup is a dialog around the window.
    return activeForm->findChild<TfmMasterDetails*>(QString(), Qt::FindDirectChildrenOnly);
}

QWidget* TEditCommands::EditControlOf(QWidget* focus) {
    if (!focus)
        return nullptr;
    QWidget* parent = focus->parentWidget();
    if (qobject_cast<QAbstractSpinBox*>(focus))
        return focus;
    // The line editor inside a spin box answers for the spin box.
    if (qobject_cast<QLineEdit*>(focus) && qobject_cast<QAbstractSpinBox*>(parent))
        return parent;
    if (IsTextEditor(focus))
        return focus;
    // A text editor's viewport may hold the focus for it.
    if ((qobject_cast<QTextEdit*>(parent) || qobject_cast<QPlainTextEdit*>(parent)) &&
        static_cast<QAbstractScrollArea*>(parent)->viewport() == focus)
        return parent;
    return nullptr;
}

TClipEditFacts TEditCommands::FactsFor(QWidget* activeForm, QWidget* focus) {
    TClipEditFacts facts;
    if (TfmMasterDetails* details = MasterDetailsOf(activeForm)) {
        facts.MasterDetails = true;
        facts.SelectMode = details->GetSelectMode();
        facts.HasItems = details->HasItems();
        facts.ClipboardHasItems = details->ClipboardHasData(false);
    }
    QWidget* control = EditControlOf(focus);
    facts.EditControl = control != nullptr;
    facts.CanUndo = CanUndo(TextTarget(control));
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    facts.ClipboardHasText = clipboard && clipboard->hasText();
    return facts;
}

TClipEditState TEditCommands::StateFor(QWidget* activeForm, QWidget* focus) {
    return TClipEditState::Of(FactsFor(activeForm, focus));
}

void TEditCommands::Run(int command, QWidget* activeForm, QWidget* focus) {
    const TClipEditState state = StateFor(activeForm, focus);
    const bool enabled[] = {state.Undo, state.Cut, state.Copy, state.Paste, state.SelectAll};
    if (command < ecUndo || command > ecSelectAll || !enabled[command])
        return;
    TfmMasterDetails* details = MasterDetailsOf(activeForm);
    if (!details || command == ecUndo) {
        QWidget* control = EditControlOf(focus);
        // A spin box selects its value (without prefix or suffix) itself.
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(control); spin && command == ecSelectAll)
            spin->selectAll();
        else
            RunOnText(command, TextTarget(control));
        return;
    }
    switch (command) {
    case ecCut:
        details->CutToClipboard();
        break;
    case ecCopy:
        details->CopyToClipboard();
        break;
    case ecPaste:
        details->PasteFromClipboard();
        break;
    case ecSelectAll:
        details->SelectAll();
        break;
    }
}
