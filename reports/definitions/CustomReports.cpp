#include "reports/definitions/CustomReports.h"

#include "core/common/ResultCodes.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/vocab/FileVocabulary.h"

TCustomReports::TCustomReports(TEntityInfo& entity, int levelMask, const TOptionSet& options)
    : TCustomReports(entity.EntityDetail().ChartEntity(), levelMask, options) {}

TCustomReports::TCustomReports(const TChartEntity& entity, int levelMask, const TOptionSet& options)
    : TReportDefinitionList(entity, ckReportFormats, levelMask), LayoutList(entity, levelMask) {
    if (!options.Has(Option::Load))
        return;
    CreationLoad = LayoutList.LoadLevels(options);
    const int formats = LoadLevels(options);
    if (CreationLoad == ResultCode::Success)
        CreationLoad = formats;
}
