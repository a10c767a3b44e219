#pragma once

#include "core/vocab/FileVocabulary.h"

#include <QString>

// Which items of the Tools menu can be chosen when it opens. The file items need an active file;
// bringing forward also needs the accounts chart of the year before the file's current year, and
// the Tessaly workpaper journals a superannuation fund (entity type "SUP" in any case). Transfer
// Disk Inventory and the calculator need no file.
struct TToolsMenuState {
    bool BringForward = false;
    bool TransferBankTransactions = false;
    // Both Tessaly Interactive Workpapers journal items.
    bool Tessaly = false;
    bool RenameFile = false;
    bool CopyFile = false;
    bool DataIntegrityCheck = false;
    bool TransferDiskInventory = true;
    bool Calculator = true;

    static TToolsMenuState Of(bool fileActive, bool lastYearChartExists, const QString& entityType) {
        TToolsMenuState state;
        if (!fileActive)
            return state;
        state.TransferBankTransactions = true;
        state.RenameFile = true;
        state.CopyFile = true;
        state.DataIntegrityCheck = true;
        state.BringForward = lastYearChartExists;
        state.Tessaly = IsSuperannuationType(entityType);
        return state;
    }
};
