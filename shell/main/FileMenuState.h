#pragma once

// Which file commands of the main window can be chosen: Change Year, Close, Properties, the four
// transfers, Backup and Restore as soon as a file is open, Rename File and Copy File (on the Tools menu) when
// a file is active. New, Open, QUILVANE Setup and Transfer Disk Inventory always can.
struct TFileMenuState {
    bool ChangeYear = false;
    bool Close = false;
    bool Properties = false;
    bool RenameFile = false;
    bool CopyFile = false;
    bool Transfers = false;
    bool Backup = false;
    bool Restore = false;

    static constexpr TFileMenuState Of(int openFiles, int activeIndex) {
        const bool open = openFiles > 0;
        const bool active = open && activeIndex >= 0 && activeIndex < openFiles;
        return {open, open, open, active, active, open, open, open};
    }
    friend constexpr bool operator==(const TFileMenuState&, const TFileMenuState&) = default;
};
