#pragma once

#include "shell/editmenu/ClipEditState.h"

class QWidget;
class TfmMasterDetails;

// The Edit menu's Undo, Cut, Copy, Paste and Select All. With a master-details window in front
// they work on its items (Undo excepted); otherwise on the text of the control with the focus: a
// line editor, a text editor or the editor of a spin box.
class TEditCommands {
public:
    enum TCommand { ecUndo = 0, ecCut = 1, ecCopy = 2, ecPaste = 3, ecSelectAll = 4 };

    // activeForm: the window in front (an MDI child's widget, or its QMdiSubWindow); focus: the
    // application's focus widget. Either may be null.
    static TClipEditFacts FactsFor(QWidget* activeForm, QWidget* focus);
    static TClipEditState StateFor(QWidget* activeForm, QWidget* focus);
    // Runs a command (TCommand) where it applies; a command that cannot be chosen now (the rules
    // are asked afresh, as a shortcut reaches here without the menu opening) or an unknown one does
    // nothing.
    static void Run(int command, QWidget* activeForm, QWidget* focus);

    // The master-details window that activeForm is or holds; nullptr when none.
    static TfmMasterDetails* MasterDetailsOf(QWidget* activeForm);
    // The control that takes the text commands for the focus widget: the widget itself, or the
    // editor a viewport or spin box belongs to; nullptr when the focus is on no edit control.
    static QWidget* EditControlOf(QWidget* focus);
};
