#include "reports/parameters/ReportParameters.h"

#include "controls/dates/DateEdit.h"
#include "controls/small/AsUrlLabel.h"
#include "controls/small/GroupBoxMultiSelect.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/RunParams.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "reports/parameters/TransferSelection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace {

// Date fields hold platform date values; the model holds date numbers.
double ToDateNum(double platformDate) {
    return platformDate == NullDate ? 0.0 : platformDate + DateNumOffset;
}
double ToPlatformDate(double dateNum) {
    return IsCalendarDateNum(dateNum) ? dateNum - DateNumOffset : NullDate;
}

} // namespace

TfmReportParameters::TfmReportParameters(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmReportParameters"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildTransferPage();
    BuildPageKinds();
    BuildRunFields();

    const TDialogButtons buttons = MakeOKCancelHelp(this);
    btnOK = buttons.OK;
    btnCancel = buttons.Cancel;
    // No help page is written for this window yet.
    buttons.Help->hide();
    ConnectOKCancelHelp(this, buttons, 0);

    auto* fields = new QGridLayout;
    fields->addWidget(lblBankAccount, 0, 0);
    fields->addWidget(cboBankAccount, 0, 1, 1, 2);
    fields->addWidget(lblFileName, 1, 0);
    fields->addWidget(edtFileName, 1, 1);
    fields->addWidget(btnBrowse, 1, 2);
    fields->addWidget(lblExportFormat, 2, 0);
    fields->addWidget(cboExportFormat, 2, 1, 1, 2);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grbTransfer);
    layout->addWidget(grbPeriods);
    layout->addWidget(grbPageKinds);
    layout->addWidget(grbDates);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons.Box);
    setMinimumWidth(440);
}

TfmReportParameters::~TfmReportParameters() = default;

void TfmReportParameters::BuildTransferPage() {
    grbTransfer = new TGroupBoxMultiSelect(QStringLiteral("Transfer"), this);
    grbTransfer->setObjectName(QStringLiteral("grbTransfer"));
    auto* grid = new QGridLayout(grbTransfer);
    for (int group = 0; group < TTransferSelection::GroupCount; ++group) {
        auto* include = new QCheckBox(TTransferSelection::GroupName(group), grbTransfer);
        include->setObjectName(QStringLiteral("cbxTransfer%1").arg(group));
        auto* mode = new QComboBox(grbTransfer);
        mode->setObjectName(QStringLiteral("cboTransferMode%1").arg(group));
        for (int value : TTransferSelection::GroupModes(group))
            mode->addItem(TTransferSelection::ModeName(group, value), value);
        grid->addWidget(include, group, 0);
        grid->addWidget(mode, group, 1);
        cbxGroups[static_cast<std::size_t>(group)] = include;
        cboModes[static_cast<std::size_t>(group)] = mode;
        connect(include, &QCheckBox::toggled, this,
                [this, group](bool checked) { GuardSlot([&] { cbxGroupClick(group, checked); }); });
        connect(mode, &QComboBox::currentIndexChanged, this,
                [this, group](int index) { GuardSlot([&] { cboModeChange(group, index); }); });
    }
    grid->setColumnStretch(0, 1);

    grbPeriods = new QGroupBox(QStringLiteral("Periods"), this);
    auto* periods = new QHBoxLayout(grbPeriods);
    auto* lblFrom = new QLabel(QStringLiteral("&From:"), grbPeriods);
    cboFromPeriod = new QComboBox(grbPeriods);
    cboFromPeriod->setObjectName(QStringLiteral("cboFromPeriod"));
    lblFrom->setBuddy(cboFromPeriod);
    auto* lblTo = new QLabel(QStringLiteral("&To:"), grbPeriods);
    cboToPeriod = new QComboBox(grbPeriods);
    cboToPeriod->setObjectName(QStringLiteral("cboToPeriod"));
    lblTo->setBuddy(cboToPeriod);
    periods->addWidget(lblFrom);
    periods->addWidget(cboFromPeriod, 1);
    periods->addWidget(lblTo);
    periods->addWidget(cboToPeriod, 1);
    connect(cboFromPeriod, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardSlot([&] { cboFromPeriodChange(index); }); });
    connect(cboToPeriod, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardSlot([&] { cboToPeriodChange(index); }); });
}

void TfmReportParameters::BuildPageKinds() {
    grbPageKinds = new TGroupBoxMultiSelect(QStringLiteral("Data Entry Pages"), this);
    grbPageKinds->setObjectName(QStringLiteral("grbPageKinds"));
    auto* grid = new QGridLayout(grbPageKinds);
    constexpr int rows = (PageKindBoxCount + 1) / 2;
    for (int kind = 0; kind < PageKindBoxCount; ++kind) {
        auto* box = new QCheckBox(PageKindEntry(kind).Name.toString(), grbPageKinds);
        box->setObjectName(QStringLiteral("cbxPageKind%1").arg(kind));
        grid->addWidget(box, kind % rows, kind / rows);
        cbxPageKinds[static_cast<std::size_t>(kind)] = box;
        connect(box, &QCheckBox::toggled, this,
                [this, kind](bool checked) { GuardSlot([&] { cbxPageKindClick(kind, checked); }); });
    }
}

void TfmReportParameters::BuildRunFields() {
    grbDates = new QGroupBox(QStringLiteral("Dates"), this);
    auto* dates = new QHBoxLayout(grbDates);
    auto* lblFrom = new QLabel(QStringLiteral("F&rom:"), grbDates);
    edtFromDate = new TdxDateEdit(grbDates);
    edtFromDate->setObjectName(QStringLiteral("edtFromDate"));
    lblFrom->setBuddy(edtFromDate);
    auto* lblTo = new QLabel(QStringLiteral("T&o:"), grbDates);
    edtToDate = new TdxDateEdit(grbDates);
    edtToDate->setObjectName(QStringLiteral("edtToDate"));
    lblTo->setBuddy(edtToDate);
    dates->addWidget(lblFrom);
    dates->addWidget(edtFromDate, 1);
    dates->addWidget(lblTo);
    dates->addWidget(edtToDate, 1);
    connect(edtFromDate, &TdxDateEdit::dateChanged, this,
            [this] { GuardSlot([&] { edtFromDateChange(); }); });
    connect(edtToDate, &TdxDateEdit::dateChanged, this, [this] { GuardSlot([&] { edtToDateChange(); }); });

    lblBankAccount = new QLabel(QStringLiteral("&Bank Account:"), this);
    cboBankAccount = new QComboBox(this);
    cboBankAccount->setObjectName(QStringLiteral("cboBankAccount"));
    lblBankAccount->setBuddy(cboBankAccount);
    connect(cboBankAccount, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardSlot([&] { cboBankAccountChange(index); }); });

    // A label with a hand that leads to its field: it looks like the other labels and opens
    // nothing.
    lblFileName = new TAsUrlLabel(QStringLiteral("File &Name:"), this);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    lblFileName->UrlExecute = false;
    lblFileName->setFont(QFont());
    lblFileName->setPalette(QPalette());
    edtFileName = new QLineEdit(this);
    edtFileName->setObjectName(QStringLiteral("edtFileName"));
    lblFileName->setBuddy(edtFileName);
    connect(lblFileName, &TAsUrlLabel::clicked, this,
            [this] { edtFileName->setFocus(Qt::MouseFocusReason); });
    btnBrowse = new QPushButton(QStringLiteral("..."), this);
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    btnBrowse->setAutoDefault(false);
    connect(edtFileName, &QLineEdit::textChanged, this,
            [this](const QString& text) { GuardSlot([&] { edtFileNameChange(text); }); });
    connect(btnBrowse, &QPushButton::clicked, this, [this] { GuardSlot([&] { btnBrowseClick(); }); });

    lblExportFormat = new QLabel(QStringLiteral("Export &Format:"), this);
    cboExportFormat = new QComboBox(this);
    cboExportFormat->setObjectName(QStringLiteral("cboExportFormat"));
    lblExportFormat->setBuddy(cboExportFormat);
    connect(cboExportFormat, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardSlot([&] { cboExportFormatChange(index); }); });
}

bool TfmReportParameters::Setup(TReportSetup& setup) {
    if (!TReportParametersModel::Serves(setup.ProcessKind))
        return false;
    Model.Load(setup, HasProgramParams() ? ProgramParams().DestFormat : QString());
    Block = &setup;
    setWindowTitle(QStringLiteral("%1 - %2 (%3 Financial Year)")
                       .arg(setup.Title, setup.Detail->FileCode)
                       .arg(setup.Year));
    ShowModel();
    return true;
}

void TfmReportParameters::ShowModel() {
    const QScopedValueRollback<bool> filling(Filling, true);
    using TField = TReportParametersModel::TField;

    grbTransfer->setVisible(Model.Shows(TField::fdTransfer));
    for (int group = 0; group < TTransferSelection::GroupCount; ++group) {
        GroupBox(group)->setChecked(Model.Included(group));
        const int at = ModeBox(group)->findData(Model.Mode(group));
        ModeBox(group)->setCurrentIndex(at);
    }

    grbPeriods->setVisible(Model.Shows(TField::fdPeriodRange));
    for (QComboBox* box : {cboFromPeriod, cboToPeriod}) {
        box->clear();
        box->addItems(Model.PeriodNames());
    }
    cboFromPeriod->setCurrentIndex(Model.FromPeriod() - 1);
    cboToPeriod->setCurrentIndex(Model.ToPeriod() - 1);

    grbPageKinds->setVisible(Model.Shows(TField::fdPageKinds));
    for (int kind = 0; kind < PageKindBoxCount; ++kind) {
        const bool offered = ((Model.OfferedPageKinds() >> kind) & 1u) != 0;
        PageKindBox(kind)->setVisible(offered);
        // A hidden box keeps a place of its own in the group: a band must not reach it there.
        PageKindBox(kind)->setEnabled(offered);
        PageKindBox(kind)->setChecked(Model.PageKindChosen(kind));
    }

    grbDates->setVisible(Model.Shows(TField::fdDateRange));
    edtFromDate->SetDate(ToPlatformDate(Model.FromDate()));
    edtToDate->SetDate(ToPlatformDate(Model.ToDate()));

    const bool bank = Model.Shows(TField::fdBankAccount);
    lblBankAccount->setVisible(bank);
    cboBankAccount->setVisible(bank);
    cboBankAccount->clear();
    if (Model.AllBankAccountsAllowed())
        cboBankAccount->addItem(TReportParametersModel::AllBankAccountsText);
    for (const TReportParametersModel::TBankAccount& account : Model.BankAccounts())
        cboBankAccount->addItem(TReportParametersModel::BankAccountText(account));
    cboBankAccount->setCurrentIndex(Model.AllBankAccountsAllowed() ? Model.BankIndex() + 1
                                                                   : Model.BankIndex());

    const bool file = Model.Shows(TField::fdFileName);
    lblFileName->setVisible(file);
    edtFileName->setVisible(file);
    btnBrowse->setVisible(file);
    edtFileName->setText(Model.FileName());

    const bool format = Model.Shows(TField::fdExportFormat);
    lblExportFormat->setVisible(format);
    cboExportFormat->setVisible(format);
    cboExportFormat->clear();
    cboExportFormat->addItems(Model.ExportFormatNames());
    cboExportFormat->setCurrentIndex(Model.ExportFormat());

    UpdateEnabled();
    adjustSize();
}

void TfmReportParameters::UpdateEnabled() {
    for (int group = 0; group < TTransferSelection::GroupCount; ++group) {
        const bool enabled = Model.ModeEnabled(group);
        ModeBox(group)->setEnabled(enabled);
        SetControlColour(ModeBox(group), enabled);
    }
    const bool transactions = Model.TransactionChoicesEnabled();
    grbPeriods->setEnabled(transactions);
    SetControlsColour(grbPeriods, transactions);
    grbPageKinds->setEnabled(transactions);
}

QWidget* TfmReportParameters::FieldControl(TReportParametersModel::TField field) const {
    using TField = TReportParametersModel::TField;
    switch (field) {
    case TField::fdTransfer:
        return GroupBox(0);
    case TField::fdPeriodRange:
        return cboFromPeriod;
    case TField::fdPageKinds: {
        for (int kind = 0; kind < PageKindBoxCount; ++kind)
            if (!PageKindBox(kind)->isHidden())
                return PageKindBox(kind);
        return grbPageKinds;
    }
    case TField::fdDateRange:
        return edtFromDate;
    case TField::fdBankAccount:
        return cboBankAccount;
    case TField::fdFileName:
        return edtFileName;
    case TField::fdExportFormat:
        return cboExportFormat;
    default:
        return nullptr;
    }
}

void TfmReportParameters::accept() {
    if (!Block)
        return;
    if (const TReportParametersModel::TProblem problem = Model.Validate()) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning, problem.Text, TMessageButton::OK);
        if (QWidget* control = FieldControl(problem.Field))
            control->setFocus(Qt::OtherFocusReason);
        return;
    }
    try {
        Model.Fill(*Block);
    } catch (...) {
        ReportException(std::current_exception());
        return;
    }
    QDialog::accept();
}

// ---- Events ------------------------------------------------------------------------------------

void TfmReportParameters::cbxGroupClick(int group, bool checked) {
    if (Filling)
        return;
    Model.SetIncluded(group, checked);
    UpdateEnabled();
}

void TfmReportParameters::cboModeChange(int group, int index) {
    if (Filling || index < 0)
        return;
    Model.SetMode(group, ModeBox(group)->itemData(index).toInt());
}

void TfmReportParameters::cbxPageKindClick(int kind, bool checked) {
    if (Filling)
        return;
    Model.SetPageKind(kind, checked);
}

void TfmReportParameters::cboFromPeriodChange(int index) {
    if (Filling || index < 0)
        return;
    Model.SetFromPeriod(index + 1);
}

void TfmReportParameters::cboToPeriodChange(int index) {
    if (Filling || index < 0)
        return;
    Model.SetToPeriod(index + 1);
}

void TfmReportParameters::edtFromDateChange() {
    if (!Filling)
        Model.SetFromDate(ToDateNum(edtFromDate->Date()));
}

void TfmReportParameters::edtToDateChange() {
    if (!Filling)
        Model.SetToDate(ToDateNum(edtToDate->Date()));
}

void TfmReportParameters::cboBankAccountChange(int index) {
    if (Filling || index < 0)
        return;
    Model.SetBankIndex(Model.AllBankAccountsAllowed() ? index - 1 : index);
}

void TfmReportParameters::edtFileNameChange(const QString& text) {
    if (!Filling)
        Model.SetFileName(text);
}

void TfmReportParameters::btnBrowseClick() {
    const QString native = NativePath(Model.FileName().trimmed());
    const QString chosen = Model.ProcessKind() == prExport
                               ? QFileDialog::getSaveFileName(this, QStringLiteral("Export To"), native)
                               : QFileDialog::getOpenFileName(this, QStringLiteral("Import From"), native);
    if (!chosen.isEmpty())
        edtFileName->setText(chosen);
}

void TfmReportParameters::cboExportFormatChange(int index) {
    if (Filling || index < 0)
        return;
    Model.SetExportFormat(index);
}
