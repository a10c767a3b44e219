#include "shell/properties/FileProperties.h"

#include "controls/files/DirectoryEdit.h"
#include "controls/small/CategoryPages.h"
#include "controls/small/FocusNext.h"
#include "controls/small/GroupBoxMultiSelect.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/accounts/AccountFormat.h"
#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "shell/filecode/FileCodeEdit.h"
#include "shell/filecode/FileCodeRules.h"
#include "shell/properties/FilePropertiesRules.h"
#include "shell/properties/PasswordEdit.h"
#include "shell/properties/PeriodsPerYearEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

constexpr int NameLength = 80;
constexpr int ACNLength = 11;
constexpr int HeadingLength = 80;
constexpr int TreeWidth = 130;

const char* const PageTitles[TfmFileProperties::PageCount] = {"Details",    "Security",    "Accounts",
                                                              "Data Entry", "Disk Access", "E-mail"};

const QString MasterDataFolder = QStringLiteral("M_DETAIL");

QString OpenChartFile(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Default Chart"), folder, filter);
}

QLineEdit* NewEdit(QWidget* parent, const QString& name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QComboBox* NewList(QWidget* parent, const QString& name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    return combo;
}

QCheckBox* NewCheck(QWidget* parent, const QString& caption, const QString& name) {
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(name);
    return check;
}

// A row of a page: the caption, as the label of the control (its buddy for the accelerator).
void AddRow(QFormLayout* form, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, form->parentWidget());
    label->setBuddy(control);
    form->addRow(label, control);
}

QFormLayout* NewForm(QWidget* page) {
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

// The index of the item whose data is the code (without regard to case); -1 when none is.
int IndexOfCode(const QComboBox* combo, const QString& code) {
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemData(i).toString().compare(code, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

TfmFileProperties::TfmFileProperties(QWidget* parent) : QDialog(parent), ChartBrowse(&OpenChartFile) {
    setWindowTitle(TFilePropertiesRules::Caption(false, QString()));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Category = new TCategoryPages(TreeWidth, this);
    trvCategory = Category->Tree;
    pnlPageText = Category->Heading;
    pgcDetails = Category->Pages;
    AddPage(QString::fromLatin1(PageTitles[Details]), BuildDetailsPage());
    AddPage(QString::fromLatin1(PageTitles[Security]), BuildSecurityPage());
    AddPage(QString::fromLatin1(PageTitles[Accounts]), BuildAccountsPage());
    AddPage(QString::fromLatin1(PageTitles[DataEntry]), BuildDataEntryPage());
    AddPage(QString::fromLatin1(PageTitles[DiskAccess]), BuildDiskAccessPage());
    AddPage(QString::fromLatin1(PageTitles[EMail]), BuildEMailPage());

    const TWizardButtons wizardButtons = MakeWizardButtons(this);
    btnHelp = wizardButtons.Help;
    btnBack = wizardButtons.Back;
    btnNext = wizardButtons.Next;
    btnOK = wizardButtons.OK;
    btnCancel = wizardButtons.Cancel;
    QHBoxLayout* buttons = wizardButtons.Row;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Category, 1);
    layout->addLayout(buttons);
    resize(620, 420);

    FocusNext1 = new TFocusNext(this);

    connect(Category, &TCategoryPages::PageShown, this, [this] { UpdateButtons(); });
    connect(btnBack, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() - 1); });
    connect(btnNext, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() + 1); });
    connect(btnOK, &QPushButton::clicked, this, [this] { GuardSlot([this] { OKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this,
            [] { GuardSlot([] { TServices::Help().ShowContext(HelpContext); }); });
    connect(btnDefaultChart, &QPushButton::clicked, this, [this] { GuardSlot([this] { BrowseChart(); }); });
    connect(medEntityCode, &QLineEdit::textChanged, this, [this] { UpdateCaption(); });
    connect(cboEntityType, &QComboBox::currentIndexChanged, this, [this] { EntityTypeChanged(); });
    connect(cboAccountsFormat, &QComboBox::currentIndexChanged, this, [this] { PairChanged(); });
    connect(cboBaseCurrency, &QComboBox::currentIndexChanged, this, [this] { BaseCurrencyChanged(); });
    connect(edtPeriodsPerYear, &QSpinBox::valueChanged, this,
            [this](int periods) { speDefaultPeriod->setMaximum(std::max(1, periods)); });
    connect(edtPeriodsPerYear, &TPeriodsPerYearEdit::PeriodsStepped, this,
            [this](int periods) { PeriodsStepped(periods); });

    ShowPage(Details);
}

TfmFileProperties::~TfmFileProperties() = default;

void TfmFileProperties::AddPage(const QString& title, QWidget* page) {
    Category->AddPage(title, page);
}

QWidget* TfmFileProperties::BuildDetailsPage() {
    auto* page = new QWidget(this);
    QFormLayout* form = NewForm(page);
    medEntityCode = new TFileCodeEdit(page);
    medEntityCode->setObjectName(QStringLiteral("medEntityCode"));
    medEntityCode->setMaximumWidth(80);
    edtEntityName = NewEdit(page, QStringLiteral("edtEntityName"), NameLength);
    edtACN = NewEdit(page, QStringLiteral("edtACN"), ACNLength);
    edtReportHeading1 = NewEdit(page, QStringLiteral("edtReportHeading1"), HeadingLength);
    edtReportHeading2 = NewEdit(page, QStringLiteral("edtReportHeading2"), HeadingLength);
    cboEntityType = NewList(page, QStringLiteral("cboEntityType"));
    lblDateCreated = new QLabel(page);
    lblDateCreated->setObjectName(QStringLiteral("lblDateCreated"));
    lblLastAccessed = new QLabel(page);
    lblLastAccessed->setObjectName(QStringLiteral("lblLastAccessed"));
    AddRow(form, QStringLiteral("File Code"), medEntityCode);
    AddRow(form, QStringLiteral("File Name"), edtEntityName);
    AddRow(form, QStringLiteral("ACN/ARBN"), edtACN);
    AddRow(form, QStringLiteral("Heading 1"), edtReportHeading1);
    AddRow(form, QStringLiteral("Heading 2"), edtReportHeading2);
    AddRow(form, QStringLiteral("File Type"), cboEntityType);
    AddRow(form, QStringLiteral("Date Created"), lblDateCreated);
    AddRow(form, QStringLiteral("Last Accessed"), lblLastAccessed);
    return page;
}

QWidget* TfmFileProperties::BuildSecurityPage() {
    auto* page = new QWidget(this);
    QFormLayout* form = NewForm(page);
    edtAccessPassword = new TPasswordEdit(page);
    edtAccessPassword->setObjectName(QStringLiteral("edtAccessPassword"));
    edtAccessPassword->setMaximumWidth(80);
    AddRow(form, QStringLiteral("Access Password"), edtAccessPassword);
    return page;
}

QWidget* TfmFileProperties::BuildAccountsPage() {
    auto* page = new QWidget(this);
    QFormLayout* form = NewForm(page);
    cboBaseCurrency = NewList(page, QStringLiteral("cboBaseCurrency"));
    cboAccountsFormat = NewList(page, QStringLiteral("cboAccountsFormat"));
    cboDefaultChart = NewList(page, QStringLiteral("cboDefaultChart"));
    cboDefaultChart->setEditable(true);
    cboDefaultChart->setInsertPolicy(QComboBox::NoInsert);
    btnDefaultChart = new QPushButton(QStringLiteral("..."), page);
    btnDefaultChart->setObjectName(QStringLiteral("btnDefaultChart"));
    btnDefaultChart->setAutoDefault(false);
    btnDefaultChart->setFixedWidth(btnDefaultChart->sizeHint().height());
    auto* chartRow = new QWidget(page);
    auto* chartLayout = new QHBoxLayout(chartRow);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(cboDefaultChart, 1);
    chartLayout->addWidget(btnDefaultChart);
    AddRow(form, QStringLiteral("Base Currency"), cboBaseCurrency);
    AddRow(form, QStringLiteral("Accounts Format"), cboAccountsFormat);
    auto* chartLabel = new QLabel(QStringLiteral("Default Chart"), page);
    chartLabel->setBuddy(cboDefaultChart);
    form->addRow(chartLabel, chartRow);
    return page;
}

QWidget* TfmFileProperties::BuildDataEntryPage() {
    auto* page = new QWidget(this);
    QFormLayout* form = NewForm(page);
    speFinancialYear = new QSpinBox(page);
    speFinancialYear->setObjectName(QStringLiteral("speFinancialYear"));
    speFinancialYear->setRange(TFilePropertiesRules::FirstYear, TFilePropertiesRules::LastYear);
    cboYearEndMonth = NewList(page, QStringLiteral("cboYearEndMonth"));
    edtPeriodsPerYear = new TPeriodsPerYearEdit(page);
    edtPeriodsPerYear->setObjectName(QStringLiteral("edtPeriodsPerYear"));
    speDefaultPeriod = new QSpinBox(page);
    speDefaultPeriod->setObjectName(QStringLiteral("speDefaultPeriod"));
    speDefaultPeriod->setRange(1, TFilePropertiesRules::MaxPeriods);
    for (QSpinBox* spin : {speFinancialYear, static_cast<QSpinBox*>(edtPeriodsPerYear), speDefaultPeriod})
        spin->setMaximumWidth(80);
    AddRow(form, QStringLiteral("Current Financial Year"), speFinancialYear);
    AddRow(form, QStringLiteral("Year End Month"), cboYearEndMonth);
    AddRow(form, QStringLiteral("Periods Per Year"), edtPeriodsPerYear);
    AddRow(form, QStringLiteral("Default Period"), speDefaultPeriod);

    // The options sit in a group of their own, so that a band dragged over them ticks or clears
    // several at once.
    grbOptions = new TGroupBoxMultiSelect(QStringLiteral(" Options "), page);
    grbOptions->setObjectName(QStringLiteral("grbOptions"));
    auto* optionsLayout = new QVBoxLayout(grbOptions);
    cbxAllowQuantity =
        NewCheck(grbOptions, QStringLiteral(" Allow Quantity"), QStringLiteral("cbxAllowQuantity"));
    cbxIncludeTaxes =
        NewCheck(grbOptions, QStringLiteral(" Include Taxes"), QStringLiteral("cbxIncludeTaxes"));
    cbxWarnDuplicateRefs = NewCheck(grbOptions, QStringLiteral(" Warn Duplicate References (Period)"),
                                    QStringLiteral("cbxWarnDuplicateRefs"));
    cbxCurrencyConv = NewCheck(grbOptions, QStringLiteral(" Include Currency Conversion Rate"),
                               QStringLiteral("cbxCurrencyConv"));
    for (QCheckBox* check : {cbxAllowQuantity, cbxIncludeTaxes, cbxWarnDuplicateRefs, cbxCurrencyConv})
        optionsLayout->addWidget(check);
    form->addRow(grbOptions);

    auto* contras = new QGroupBox(QStringLiteral(" Generate Contra Entries "), page);
    contras->setObjectName(QStringLiteral("grbContras"));
    auto* contrasLayout = new QHBoxLayout(contras);
    rgpContras = new QButtonGroup(contras);
    rbnContrasDaily = new QRadioButton(QStringLiteral(" Daily"), contras);
    rbnContrasWeekly = new QRadioButton(QStringLiteral(" Weekly"), contras);
    rbnContrasMonthly = new QRadioButton(QStringLiteral(" Monthly"), contras);
    int id = 0;
    for (QRadioButton* radio : {rbnContrasDaily, rbnContrasWeekly, rbnContrasMonthly}) {
        rgpContras->addButton(radio, id++);
        contrasLayout->addWidget(radio);
    }
    form->addRow(contras);
    return page;
}

TDirectoryEdit* TfmFileProperties::NewFolderEdit(QWidget* parent, const QString& dialogText,
                                                 const QString& name) {
    auto* edit = new TDirectoryEdit(parent);
    edit->setObjectName(name);
    edit->SetDialogKind(TDirectoryEdit::TDialogKind::dkWin32);
    edit->SetDialogText(dialogText);
    edit->SetDialogOptions(TDirectoryEdit::TSelectDirOpt::sdAllowCreate |
                           TDirectoryEdit::TSelectDirOpt::sdPerformCreate |
                           TDirectoryEdit::TSelectDirOpt::sdPrompt);
    edit->SetHelpContext(HelpContext);
    return edit;
}

QWidget* TfmFileProperties::BuildDiskAccessPage() {
    auto* page = new QWidget(this);
    QFormLayout* form = NewForm(page);
    cboDataDrive = NewList(page, QStringLiteral("cboDataDrive"));
    cboTransferDrive = NewList(page, QStringLiteral("cboTransferDrive"));
    cboBackupDrive = NewList(page, QStringLiteral("cboBackupDrive"));
    for (QComboBox* drives : {cboDataDrive, cboTransferDrive, cboBackupDrive})
        drives->setMaximumWidth(80);
    cbxBackupPrompt = NewCheck(page, QStringLiteral(" Offer a Backup when the File is Closed"),
                               QStringLiteral("cbxBackupPrompt"));
    detImportFolder = NewFolderEdit(page, QStringLiteral("Import Folder"), QStringLiteral("detImportFolder"));
    detExportFolder = NewFolderEdit(page, QStringLiteral("Export Folder"), QStringLiteral("detExportFolder"));
    AddRow(form, QStringLiteral("Data Drive"), cboDataDrive);
    AddRow(form, QStringLiteral("Transfer Drive"), cboTransferDrive);
    AddRow(form, QStringLiteral("Backup Drive"), cboBackupDrive);
    form->addRow(cbxBackupPrompt);
    AddRow(form, QStringLiteral("Import Folder"), detImportFolder);
    AddRow(form, QStringLiteral("Export Folder"), detExportFolder);
    return page;
}

QWidget* TfmFileProperties::BuildEMailPage() {
    auto* page = new QWidget(this);
    QFormLayout* form = NewForm(page);
    edtTransferEmail = NewEdit(page, QStringLiteral("edtTransferEmail"), 0);
    edtClientsEmail = NewEdit(page, QStringLiteral("edtClientsEmail"), 0);
    detECIFolder = NewFolderEdit(page, QStringLiteral("ECI Folder"), QStringLiteral("detECIFolder"));
    detTessalyFolder =
        NewFolderEdit(page, QStringLiteral("Tessaly Folder"), QStringLiteral("detTessalyFolder"));
    AddRow(form, QStringLiteral("Accountant's E-mail Address"), edtTransferEmail);
    AddRow(form, QStringLiteral("Client's E-mail Address"), edtClientsEmail);
    AddRow(form, QStringLiteral("ECI Folder"), detECIFolder);
    AddRow(form, QStringLiteral("Tessaly Folder"), detTessalyFolder);
    return page;
}

// --- filling ---------------------------------------------------------------------------------

void TfmFileProperties::FillLists() {
    const TProgramParams& params = ProgramParams();
    cboEntityType->clear();
    for (int i = 0; i < params.EntityTypes.Count(); ++i) {
        const TEntityType* type = params.EntityTypes.Row(i);
        cboEntityType->addItem(type != nullptr ? type->Description : QString(), params.EntityTypes.Code(i));
    }
    cboBaseCurrency->clear();
    for (int i = 0; i < params.Currencies.Count(); ++i) {
        const TCurrency* currency = params.Currencies.Row(i);
        const QString code = params.Currencies.Code(i);
        cboBaseCurrency->addItem(
            QStringLiteral("%1 (%2)").arg(currency != nullptr ? currency->Description : QString(), code),
            code);
    }
    cboAccountsFormat->clear();
    for (int i = 0; i < params.AccountFormats.Count(); ++i) {
        const TAccountFormat* format = params.AccountFormats.Row(i);
        const QString code = params.AccountFormats.Code(i);
        cboAccountsFormat->addItem(
            format != nullptr && !format->Description.isEmpty() ? format->Description : code, code);
    }
    Charts = TDefaultChartList::FromReference(params);
    cboDefaultChart->clear();
    cboDefaultChart->addItems(Charts.Entries());
    cboYearEndMonth->clear();
    for (const QString& month : TServices::Regional().LongMonthNames)
        cboYearEndMonth->addItem(month);
}

void TfmFileProperties::FillDrives(QComboBox* combo, QChar selected, const QStringList& usedPaths) {
    combo->clear();
    for (const QChar drive : TFilePropertiesRules::DriveLetters(usedPaths))
        combo->addItem(TFilePropertiesRules::DriveText(drive), QString(drive));
    combo->setCurrentIndex(selected.isNull() ? -1 : combo->findData(QString(selected.toUpper())));
}

void TfmFileProperties::SelectChart(const QString& storedName) {
    const int entry = Charts.IndexOfStoredName(storedName);
    cboDefaultChart->setCurrentIndex(entry);
    if (entry < 0)
        cboDefaultChart->setEditText(storedName);
}

void TfmFileProperties::Setup(TEntityDetail& detail, bool isNew) {
    Detail = &detail;
    NewFile = isNew;
    Filling = true;
    FillLists();

    medEntityCode->setText(isNew ? QString() : detail.FileCode);
    edtEntityName->setText(detail.Name);
    edtACN->setText(detail.ACN);
    edtReportHeading1->setText(detail.RepHdg1);
    edtReportHeading2->setText(detail.RepHdg2);
    cboEntityType->setCurrentIndex(IndexOfCode(cboEntityType, detail.EntityType));
    lblDateCreated->setText(DateNumToStr(false, detail.Created));
    lblLastAccessed->setText(DateNumToStr(false, detail.Accessed));

    edtAccessPassword->setText(detail.AccessPw);

    cboBaseCurrency->setCurrentIndex(IndexOfCode(cboBaseCurrency, detail.Currency));
    cboAccountsFormat->setCurrentIndex(IndexOfCode(cboAccountsFormat, detail.AccFormatID));
    SelectChart(detail.AccDefault);

    speFinancialYear->setValue(detail.Year);
    cboYearEndMonth->setCurrentIndex(detail.EndMonth >= 1 && detail.EndMonth <= 12 ? detail.EndMonth - 1
                                                                                   : -1);
    edtPeriodsPerYear->SetPeriods(detail.Periods);
    speDefaultPeriod->setMaximum(edtPeriodsPerYear->Periods());
    speDefaultPeriod->setValue(
        TFilePropertiesRules::ClampDefaultPeriod(detail.Period, edtPeriodsPerYear->Periods()));
    cbxAllowQuantity->setChecked(detail.Quantity);
    cbxIncludeTaxes->setChecked(detail.Tax);
    cbxWarnDuplicateRefs->setChecked(detail.DupRef);
    cbxCurrencyConv->setChecked(detail.CurrencyConv);
    if (QAbstractButton* contras = rgpContras->button(detail.Contras))
        contras->setChecked(true);
    else if (QAbstractButton* checked = rgpContras->checkedButton()) {
        rgpContras->setExclusive(false);
        checked->setChecked(false);
        rgpContras->setExclusive(true);
    }

    const QStringList usedPaths{detail.DataDir, detail.XferDir, detail.BackupDir};
    FillDrives(cboDataDrive, TFilePropertiesRules::DriveOf(detail.DataDir), usedPaths);
    // A program data folder on no drive of this workstation cannot be moved to another drive.
    cboDataDrive->setEnabled(!TFilePropertiesRules::DriveOf(ProgramParams().LicFilePath).isNull());
    FillDrives(cboTransferDrive, TFilePropertiesRules::DriveOf(detail.XferDir), usedPaths);
    FillDrives(cboBackupDrive, TFilePropertiesRules::DriveOf(detail.BackupDir), usedPaths);
    cbxBackupPrompt->setChecked(detail.PromptBkup);
    detImportFolder->SetText(detail.ImportDir);
    detExportFolder->SetText(detail.ExportDir);

    edtTransferEmail->setText(detail.TransferExportEmailAddress);
    edtClientsEmail->setText(detail.ClientsEmailAddress);
    detECIFolder->SetText(detail.ECIFolder);
    detTessalyFolder->SetText(detail.TessalyFolder);

    // What a file is set up as is chosen once, when it is created.
    for (QWidget* setOnce :
         std::initializer_list<QWidget*>{medEntityCode, cboEntityType, cboBaseCurrency, cboAccountsFormat,
                                         speFinancialYear, cboYearEndMonth})
        setOnce->setEnabled(isNew);

    Filling = false;
    trvCategory->expandAll();
    ShowPage(Details);
    // A new file starts with its code: typing goes there, not into the page list.
    if (isNew)
        medEntityCode->setFocus();
    UpdateCaption();
}

// --- pages and buttons -----------------------------------------------------------------------

int TfmFileProperties::CurrentPage() const {
    return Category->CurrentPage();
}

void TfmFileProperties::ShowPage(int page) {
    Category->ShowPage(page);
}

void TfmFileProperties::UpdateButtons() {
    const int page = CurrentPage();
    btnBack->setEnabled(page > 0);
    btnNext->setEnabled(page < PageCount - 1);
    btnBack->setVisible(NewFile);
    btnNext->setVisible(NewFile);
    btnOK->setVisible(!NewFile || page == PageCount - 1);
}

void TfmFileProperties::UpdateCaption() {
    setWindowTitle(TFilePropertiesRules::Caption(NewFile, medEntityCode->Code()));
}

// --- the rules between the fields ------------------------------------------------------------

QString TfmFileProperties::EntityTypeCode() const {
    return cboEntityType->currentData().toString();
}

QString TfmFileProperties::CurrencyCode() const {
    return cboBaseCurrency->currentData().toString();
}

QString TfmFileProperties::AccountFormatCode() const {
    return cboAccountsFormat->currentData().toString();
}

void TfmFileProperties::PairChanged() {
    if (Filling || TDefaultChartList::IsChartFile(cboDefaultChart->currentText()))
        return;
    const int entry = Charts.EntryIndex(cboAccountsFormat->currentIndex(), cboEntityType->currentIndex());
    if (entry >= 0)
        cboDefaultChart->setCurrentIndex(entry);
}

void TfmFileProperties::EntityTypeChanged() {
    if (Filling)
        return;
    PairChanged();
    bool includeTaxes = cbxIncludeTaxes->isChecked();
    bool allowQuantity = cbxAllowQuantity->isChecked();
    TFilePropertiesRules::ApplyEntityType(NewFile, EntityTypeCode(), includeTaxes, allowQuantity);
    cbxIncludeTaxes->setChecked(includeTaxes);
    cbxAllowQuantity->setChecked(allowQuantity);
}

void TfmFileProperties::BaseCurrencyChanged() {
    if (Filling)
        return;
    cbxCurrencyConv->setChecked(TFilePropertiesRules::CurrencyConvFor(CurrencyCode()));
}

void TfmFileProperties::PeriodsStepped(int periods) {
    speDefaultPeriod->setMaximum(std::max(1, periods));
    speDefaultPeriod->setValue(1);
}

QString TfmFileProperties::ChartFolder() const {
    const QString dataDir =
        Detail != nullptr && !Detail->DataDir.isEmpty() ? Detail->DataDir : ProgramParams().LicFilePath;
    return NativePath(BuildPath({dataDir, MasterDataFolder}));
}

void TfmFileProperties::SetChartBrowseFunction(TChartBrowseFunction browse) {
    ChartBrowse = browse ? std::move(browse) : TChartBrowseFunction(&OpenChartFile);
}

void TfmFileProperties::BrowseChart() {
    const QString chosen =
        ChartBrowse(this, ChartFolder(), TDefaultChartList::QtFileFilter(Charts.FileFilter()));
    if (chosen.isEmpty())
        return;
    cboDefaultChart->setCurrentIndex(-1);
    cboDefaultChart->setEditText(chosen);
}

// --- OK --------------------------------------------------------------------------------------

bool TfmFileProperties::ValidateFileCode() {
    const QString error = TFileCodeRules::Check(medEntityCode->Code(), NewFile);
    if (error.isEmpty())
        return true;
    IUserPrompt& prompt = TServices::Prompt();
    prompt.Beep(TBeep::Warning);
    prompt.ShowMessage(TMessageKind::Error, error, TMessageButton::OK);
    ShowPage(Details);
    medEntityCode->setFocus();
    return false;
}

void TfmFileProperties::SaveProperties() {
    if (Detail == nullptr)
        return;
    TEntityDetail& detail = *Detail;
    const TProgramParams& params = ProgramParams();

    if (NewFile) {
        detail.FileCode = medEntityCode->Code();
        if (!EntityTypeCode().isEmpty())
            detail.EntityType = EntityTypeCode();
        if (!CurrencyCode().isEmpty())
            detail.Currency = CurrencyCode();
        if (TAccountFormat* format = params.FindAccountFormat(AccountFormatCode())) {
            detail.AccFormatID = AccountFormatCode();
            detail.AccountFormat = format;
        }
        detail.Year = static_cast<quint16>(speFinancialYear->value());
        if (cboYearEndMonth->currentIndex() >= 0)
            detail.EndMonth = cboYearEndMonth->currentIndex() + 1;
    }
    detail.Name = edtEntityName->text();
    detail.ACN = edtACN->text();
    detail.RepHdg1 = edtReportHeading1->text();
    detail.RepHdg2 = edtReportHeading2->text();
    detail.AccessPw = edtAccessPassword->text();
    detail.AccDefault = Charts.StoredNameOfText(cboDefaultChart->currentText());

    detail.Periods =
        TFilePropertiesRules::PeriodsOfText(edtPeriodsPerYear->text(), TFilePropertiesRules::MaxPeriods);
    detail.Period = TFilePropertiesRules::ClampDefaultPeriod(speDefaultPeriod->value(), detail.Periods);
    detail.Quantity = cbxAllowQuantity->isChecked();
    detail.Tax = cbxIncludeTaxes->isChecked();
    detail.DupRef = cbxWarnDuplicateRefs->isChecked();
    detail.CurrencyConv = cbxCurrencyConv->isChecked();
    if (rgpContras->checkedId() >= 0)
        detail.Contras = static_cast<quint8>(rgpContras->checkedId());

    const auto chosenDrive = [](const QComboBox* combo) {
        const QString letter = combo->currentData().toString();
        return letter.size() == 1 ? letter[0] : QChar();
    };
    // The record and the year's files live in the program data folder, whatever drive letter
    // names it here: a drive that would put them anywhere else is not taken, or the file would be
    // written where no workstation looks for it.
    const QString dataFolder =
        TFilePropertiesRules::DataFolder(chosenDrive(cboDataDrive), params.LicFilePath);
    const QString nativeData = NativePath(dataFolder);
    detail.DataDir = !nativeData.isEmpty() &&
                             QDir::cleanPath(nativeData) == QDir::cleanPath(NativePath(params.LicFilePath))
                         ? dataFolder
                         : params.LicFilePath;
    if (const QChar drive = chosenDrive(cboTransferDrive); !drive.isNull())
        detail.XferDir = TFilePropertiesRules::TransferFolder(drive);
    if (const QChar drive = chosenDrive(cboBackupDrive); !drive.isNull())
        detail.BackupDir = TFilePropertiesRules::BackupFolder(drive);
    detail.ImportDir = TFilePropertiesRules::ImportFolder(detImportFolder->Text(), detail.DataDir);
    detail.ExportDir = TFilePropertiesRules::ExportFolder(detExportFolder->Text(), detail.DataDir);
    detail.PromptBkup = cbxBackupPrompt->isChecked();

    detail.TransferExportEmailAddress = edtTransferEmail->text();
    detail.ClientsEmailAddress = edtClientsEmail->text();
    detail.ECIFolder = detECIFolder->Text();
    detail.TessalyFolder = detTessalyFolder->Text();

    if (NewFile) {
        // The record now names its file by the chosen code.
        detail.BASExportFileCode = detail.FileCode;
        detail.FileName = detail.GetFileName(detail.Options);
    }
}

void TfmFileProperties::OKClick() {
    if (!ValidateFileCode())
        return;
    // A default chart that leads out of the data folder would make the record refuse to load.
    const QString chart = Charts.StoredNameOfText(cboDefaultChart->currentText());
    if (Detail && Detail->DefaultChartLeavesDataFolder(chart)) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           TEntityDetail::DefaultChartOutsideText.arg(chart), TMessageButton::OK);
        cboDefaultChart->setFocus();
        return;
    }
    SaveProperties();
    accept();
}
