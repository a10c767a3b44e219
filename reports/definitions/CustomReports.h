#pragma once

#include "reports/definitions/Layouts.h"

class TEntityInfo;

// The custom-report definitions of a client file: its report formats (the file code with ".RFT"
// in the "M_DETAIL" folder) together with the layout list they are built on (".RLO"). A transfer
// in replaces, merges or updates the two files of the file's own level (level mask 2) through
// LevelFileName, LoadLevel and SaveLevel, on the container for the formats and on Layouts() for
// the layouts.
//
// This version keeps each level as its file's bytes (see TReportDefinitionList): loading checks
// the file's kind and holds it, saving writes it back unchanged. Until the report editors and the
// custom-report compiler exist, a Merge or Update of report definitions therefore leaves the
// archive's file in place, as Replace does.
class TCustomReports : public TReportDefinitionList {
public:
    // The definitions of the file's levels in the mask (only ReportLevelMask::File is kept). With
    // option 7 (Load) the levels are loaded at once, layouts first, with the given options; a
    // failure has then been reported and LoadResult() holds its code.
    TCustomReports(TEntityInfo& entity, int levelMask, const TOptionSet& options);
    TCustomReports(const TChartEntity& entity, int levelMask, const TOptionSet& options);

    TLayouts& Layouts() { return LayoutList; }
    const TLayouts& Layouts() const { return LayoutList; }
    // 0, or the first failure of the load on creation.
    int LoadResult() const { return CreationLoad; }

private:
    TLayouts LayoutList;
    int CreationLoad = 0;
};
