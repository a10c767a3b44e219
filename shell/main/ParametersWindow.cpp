#include "shell/main/ParametersWindow.h"

#include "reports/parameters/ReportParameters.h"

TParametersWindow::TParametersWindow(QWidget* parent, TRunDialog runDialog)
    : Parent(parent), RunDialog(std::move(runDialog)) {}

bool TParametersWindow::Run(TEntityInfo& /*file*/, TReportSetup& setup) {
    TfmReportParameters dialog(Parent);
    if (!dialog.Setup(setup))
        return false;
    return (RunDialog ? RunDialog(dialog) : dialog.exec()) == QDialog::Accepted;
}
