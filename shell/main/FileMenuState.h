#pragma once

// Which file commands of the main window can be chosen: Close and Properties as soon as a file is
// open, Rename File and Copy File (on the Tools menu) when a file is active. New, Open and
// QUILVANE Setup always can.
struct TFileMenuState {
    bool Close = false;
    bool Properties = false;
    bool RenameFile = false;
    bool CopyFile = false;

    static constexpr TFileMenuState Of(int openFiles, int activeIndex) {
        const bool open = openFiles > 0;
        const bool active = open && activeIndex >= 0 && activeIndex < openFiles;
        return {open, open, active, active};
    }
    friend constexpr bool operator==(const TFileMenuState&, const TFileMenuState&) = default;
};
