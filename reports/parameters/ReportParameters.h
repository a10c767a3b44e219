#pragma once

#include "reports/parameters/ReportParametersModel.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TAsUrlLabel;
class TdxDateEdit;
class TGroupBoxMultiSelect;
class TReportSetup;

// The run-parameter window of the processes that ask for their parameters before they run: the
// export (1), the bank-statement import (2), the transfers in (7 from a client, 8 from the
// accountant), the transfer of bank entries to the cash book (13) and the transaction import
// (22). It shows the fields its model (TReportParametersModel) gives the block's process. For a
// transfer in that is the transfer page: one row per group of master data and the transactions,
// each with its include box and its mode, then the period range and the data-entry pages whose
// transactions travel. A band dragged over the include boxes or the page boxes ticks or clears
// every one it touches. The file name's label wears a hand and takes the user to the field; it
// opens nothing.
//
// The caller creates the window, calls Setup with the run-parameter block and shows it modally
// (exec); OK (QDialog::Accepted, 1) checks the choices and, when they are acceptable, leaves them
// in the block; any other result leaves the block as it was.
class TfmReportParameters : public QDialog {
    Q_OBJECT
public:
    explicit TfmReportParameters(QWidget* parent = nullptr);
    ~TfmReportParameters() override;

    // Fills the window from the block for its process; the block must outlive the modal run.
    // False, with nothing shown, for a process the window does not serve.
    bool Setup(TReportSetup& setup);

    // The transfer selection word chosen (a transfer in); the block holds it after OK.
    quint32 TransferSelection() const { return Model.Selection(); }
    const TReportParametersModel& Parameters() const { return Model; }

    // Checks the choices: a refused one is named in a warning box after the warning beep and its
    // field takes the focus; otherwise the block receives the choices and the window closes.
    void accept() override;

    // The controls, for the tests and the shell's help.
    QCheckBox* GroupBox(int group) const { return cbxGroups[static_cast<std::size_t>(group)]; }
    QComboBox* ModeBox(int group) const { return cboModes[static_cast<std::size_t>(group)]; }
    QCheckBox* PageKindBox(int kind) const { return cbxPageKinds[static_cast<std::size_t>(kind)]; }
    QComboBox* FromPeriodBox() const { return cboFromPeriod; }
    QComboBox* ToPeriodBox() const { return cboToPeriod; }
    TdxDateEdit* FromDateEdit() const { return edtFromDate; }
    TdxDateEdit* ToDateEdit() const { return edtToDate; }
    QComboBox* BankAccountBox() const { return cboBankAccount; }
    QLineEdit* FileNameEdit() const { return edtFileName; }
    TAsUrlLabel* FileNameLabel() const { return lblFileName; }
    TGroupBoxMultiSelect* TransferGroup() const { return grbTransfer; }
    TGroupBoxMultiSelect* PageKindGroup() const { return grbPageKinds; }
    QComboBox* ExportFormatBox() const { return cboExportFormat; }
    QPushButton* OKButton() const { return btnOK; }

private:
    static constexpr int PageKindBoxCount = 14;

    void BuildTransferPage();
    void BuildPageKinds();
    void BuildRunFields();
    void ShowModel();
    void UpdateEnabled();
    QWidget* FieldControl(TReportParametersModel::TField field) const;

    void cbxGroupClick(int group, bool checked);
    void cboModeChange(int group, int index);
    void cbxPageKindClick(int kind, bool checked);
    void cboFromPeriodChange(int index);
    void cboToPeriodChange(int index);
    void edtFromDateChange();
    void edtToDateChange();
    void cboBankAccountChange(int index);
    void edtFileNameChange(const QString& text);
    void btnBrowseClick();
    void cboExportFormatChange(int index);

    TReportParametersModel Model;
    TReportSetup* Block = nullptr;
    bool Filling = false;

    TGroupBoxMultiSelect* grbTransfer = nullptr;
    std::array<QCheckBox*, 8> cbxGroups{};
    std::array<QComboBox*, 8> cboModes{};
    QGroupBox* grbPeriods = nullptr;
    QComboBox* cboFromPeriod = nullptr;
    QComboBox* cboToPeriod = nullptr;
    TGroupBoxMultiSelect* grbPageKinds = nullptr;
    std::array<QCheckBox*, PageKindBoxCount> cbxPageKinds{};
    QGroupBox* grbDates = nullptr;
    TdxDateEdit* edtFromDate = nullptr;
    TdxDateEdit* edtToDate = nullptr;
    QLabel* lblBankAccount = nullptr;
    QComboBox* cboBankAccount = nullptr;
    TAsUrlLabel* lblFileName = nullptr;
    QLineEdit* edtFileName = nullptr;
    QPushButton* btnBrowse = nullptr;
    QLabel* lblExportFormat = nullptr;
    QComboBox* cboExportFormat = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};
