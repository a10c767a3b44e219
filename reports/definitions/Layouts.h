#pragma once

#include "reports/definitions/ReportDefinitionList.h"

// The report layouts of the levels of a mask: for a file's own level the file code with ".RLO" in
// the "M_DETAIL" folder (see TReportDefinitionList for what this version keeps of them).
class TLayouts : public TReportDefinitionList {
public:
    TLayouts(const TChartEntity& entity, int levelMask);
};
