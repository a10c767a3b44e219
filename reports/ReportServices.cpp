#include "reports/ReportServices.h"

#include "core/entity/SubsystemServices.h"
#include "reports/fmReports.h"

void InstallReportServices(std::function<TfmReports*()> reportsWindow) {
    TSubsystemServices::Installed().DetachEntity = [reportsWindow](TEntityInfo& file) {
        if (TfmReports* window = reportsWindow ? reportsWindow() : nullptr)
            window->DetachEntity(file);
    };
}
