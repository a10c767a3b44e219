#pragma once

#include "shell/children/ProcessWindows.h"

#include <functional>

class QDialog;
class QWidget;

// The run-parameter wizard of the reporting library as the process launchers and the transfer in
// open it: modal for one block through the main window's dialog runner; true on OK.
class TParametersWindow : public IProcessWindow {
public:
    using TRunDialog = std::function<int(QDialog&)>;
    TParametersWindow(QWidget* parent, TRunDialog runDialog);
    bool Run(TEntityInfo& file, TReportSetup& setup) override;

private:
    QWidget* Parent;
    TRunDialog RunDialog;
};
