#include "reports/definitions/Layouts.h"

#include "core/vocab/FileVocabulary.h"

TLayouts::TLayouts(const TChartEntity& entity, int levelMask)
    : TReportDefinitionList(entity, ckReportLayouts, levelMask) {}
