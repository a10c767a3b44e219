#include "reports/EntityReportSources.h"

#include "core/charts/ChartEntity.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/files/Paths.h"
#include "core/logs/LogList.h"

TReportSources EntityReportSources(const TEntityInfo& entity) {
    const TEntityDetail& detail = entity.EntityDetail();
    const int year = detail.Year;
    TReportSources sources;
    sources.FileCaption = entity.YearCaption(-1);
    sources.FileCode = detail.FileCode;
    sources.Accounts = entity.AccountsChart(year);
    sources.StdDescriptions = entity.StdDescChart(year);
    sources.TaxRates = entity.TaxRateChart(year);
    sources.CurrencyRates = entity.CurrencyRatesChart(year);
    sources.ReadLog = [](int logKind) {
        TLogList log(logKind);
        log.Load();
        return log.Entries;
    };
    sources.ReadTransactionFiles = [entity = detail.ChartEntity(), year] {
        const QString folder = GetEntityDataDir(entity.FileCode, entity.DataDir, entity.XferDir,
                                                entity.ProgramDataDir, TOptionSet());
        return ListTransactionFiles(folder, entity.FileCode, year, entity.EndMonth);
    };
    return sources;
}
