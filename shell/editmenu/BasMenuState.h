#pragma once

// Which of the B&AS / IAS menu's own items can be chosen when it opens.
//
// Open Group Files needs an active file that represents a GST group (its GSTGroupOption is
// GroupRepresentative). The annual GST return and the annual GST information report would follow
// the file's annual GST setting and annual-return kind, but the file detail record keeps neither
// of them, so both stay disabled until it does.
struct TBasMenuState {
    static constexpr int GroupRepresentative = 2;

    bool OpenGroupFiles = false;
    bool AnnualGSTReturn = false;
    bool AnnualGSTInformationReport = false;

    // gstGroupOption: the active file's TEntityDetail::GSTGroupOption.
    static constexpr TBasMenuState Of(bool fileActive, int gstGroupOption) {
        TBasMenuState state;
        state.OpenGroupFiles = fileActive && gstGroupOption == GroupRepresentative;
        return state;
    }
};
