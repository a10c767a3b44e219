#pragma once

#include "core/entity/ChildWindowServices.h"
#include "core/vocab/PageKinds.h"

#include <array>

// Which of the Edit menu's transaction commands can be chosen when the menu opens. Copy and Insert
// need the data-entry window in front with a page; Paste also needs transactions on the clipboard
// and a page other than deleted transactions, Delete only the latter; Create Dissection, Remove
// Dissection and Generate Contras follow the window's own buttons.
struct TEditMenuState {
    std::array<bool, DataEntryCommandCount> Enabled{};

    // pageKind: the kind of the page in front of the data-entry window, -1 when that window is not
    // the active child or shows no page. buttons: the enabled state of the window's buttons.
    static constexpr TEditMenuState Of(int pageKind, bool clipboardHasTransactions,
                                       const std::array<bool, DataEntryCommandCount>& buttons) {
        TEditMenuState state;
        if (pageKind < 0)
            return state;
        state.Enabled[decCopyTransactions] = true;
        state.Enabled[decInsertTransaction] = true;
        state.Enabled[decPasteTransactions] = clipboardHasTransactions && pageKind != pkDeletedTransactions;
        state.Enabled[decDeleteTransactions] = pageKind != pkDeletedTransactions;
        for (const TDataEntryCommand command : {decCreateDissection, decRemoveDissection, decGenerateContras})
            state.Enabled[command] = buttons[command];
        return state;
    }
};
