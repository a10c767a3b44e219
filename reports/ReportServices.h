#pragma once

#include <functional>

class TfmReports;

// Fills the reporting slots of the subsystem services (core/entity/SubsystemServices.h) that
// this library answers, leaving the other slots as they are: DetachEntity drops a closing
// file's reports from the report window that `reportsWindow` gives (none: nothing to drop).
void InstallReportServices(std::function<TfmReports*()> reportsWindow);
