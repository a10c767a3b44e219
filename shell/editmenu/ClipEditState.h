#pragma once

// What the main window knows when its Edit actions (Undo, Cut, Copy, Paste, Select All) are
// brought up to date: the form in front and the control with the focus.
struct TClipEditFacts {
    // The form in front is a master-details window.
    bool MasterDetails = false;
    // ... shown as a modal lookup.
    bool SelectMode = false;
    // ... whose chart has at least one item.
    bool HasItems = false;
    // ... and the clipboard holds that chart's items.
    bool ClipboardHasItems = false;
    // The control with the focus takes text (line, text and spin editors).
    bool EditControl = false;
    bool ClipboardHasText = false;
    // The control with the focus has something to undo.
    bool CanUndo = false;
};

// Which of the Edit actions can be chosen. A master-details window in front works on its items
// unless it is a lookup or its chart is empty, pasting only the items of its own chart; otherwise
// the actions work on the text of an edit control. Undo always goes to the control with the focus,
// and only where the other actions may be chosen.
struct TClipEditState {
    bool Undo = false;
    bool Cut = false;
    bool Copy = false;
    bool Paste = false;
    bool SelectAll = false;

    static constexpr TClipEditState Of(const TClipEditFacts& facts) {
        TClipEditState state;
        const bool selection = facts.MasterDetails ? !facts.SelectMode && facts.HasItems : facts.EditControl;
        const bool clipboard = facts.MasterDetails ? facts.ClipboardHasItems : facts.ClipboardHasText;
        state.Cut = selection;
        state.Copy = selection;
        state.SelectAll = selection;
        state.Paste = selection && clipboard;
        state.Undo = selection && facts.CanUndo;
        return state;
    }

    friend constexpr bool operator==(const TClipEditState&, const TClipEditState&) = default;
};
