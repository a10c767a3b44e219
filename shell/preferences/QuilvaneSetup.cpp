#include "shell/preferences/QuilvaneSetup.h"

#include "controls/files/DirectoryEdit.h"
#include "controls/small/CategoryPages.h"
#include "controls/small/FocusNext.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int TreeWidth = 150;

QComboBox* NewDropDownList(QWidget* parent, const QString& name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(false);
    return combo;
}

// A group box holding one control, as the pages show most settings.
QGroupBox* NewGroup(const QString& caption, QWidget* control, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(group);
    control->setParent(group);
    layout->addWidget(control);
    return group;
}

} // namespace

TfmQuilvaneSetup::TfmQuilvaneSetup(TProgramParams& params, QWidget* parent)
    : QDialog(parent), Params(params) {
    setObjectName(QStringLiteral("fmQuilvaneSetup"));
    setWindowTitle(QStringLiteral("QUILVANE Setup"));

    Category = new TCategoryPages(TreeWidth, this);
    trvCategory = Category->Tree;
    pnlPageText = Category->Heading;
    pgcDetails = Category->Pages;

    AddPage(QStringLiteral("Startup"), CreateStartupPage());
    AddPage(QStringLiteral("Destination System"), CreateDestinationSystemPage());
    AddPage(QStringLiteral("Backups"), CreateBackupsPage());
    AddPage(QStringLiteral("Reports"), CreateReportsPage());

    const TDialogButtons dialogButtons = MakeOKCancelHelp(this);
    QDialogButtonBox* buttons = dialogButtons.Box;
    btnOK = dialogButtons.OK;
    btnCancel = dialogButtons.Cancel;
    btnHelp = dialogButtons.Help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Category, 1);
    layout->addWidget(buttons);

    FocusNext1 = new TFocusNext(this);

    connect(cbxTimedBackups, &QCheckBox::toggled, this, [this] { cbxTimedBackupsClick(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { GuardSlot([this] { btnOKClick(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { GuardSlot([this] { btnHelpClick(); }); });

    FormCreate();
}

void TfmQuilvaneSetup::AddPage(const QString& caption, QWidget* page) {
    Category->AddPage(caption, page);
}

QWidget* TfmQuilvaneSetup::CreateStartupPage() {
    auto* page = new QWidget(pgcDetails);
    page->setObjectName(QStringLiteral("tshStartup"));
    auto* layout = new QVBoxLayout(page);

    edtLicFilePath = new TDirectoryEdit(page);
    edtLicFilePath->setObjectName(QStringLiteral("edtLicFilePath"));
    edtLicFilePath->SetDialogText(QStringLiteral("Data Folder"));
    edtLicFilePath->SetHelpContext(PageHelpContexts[StartupPage]);
    layout->addWidget(NewGroup(QStringLiteral(" Data Folder "), edtLicFilePath, page));

    cboCountry = NewDropDownList(page, QStringLiteral("cboCountry"));
    layout->addWidget(NewGroup(QStringLiteral(" Country "), cboCountry, page));

    grbDesktop = new QGroupBox(QStringLiteral(" Desktop "), page);
    grbDesktop->setObjectName(QStringLiteral("grbDesktop"));
    auto* desktop = new QVBoxLayout(grbDesktop);
    rbtDontRestore = new QRadioButton(QStringLiteral("&Don't Restore"), grbDesktop);
    rbtOpenFilesOnly = new QRadioButton(QStringLiteral("Open &Files Only"), grbDesktop);
    rbtOpenFilesAndDataEntry = new QRadioButton(QStringLiteral("Open Files and Data &Entry"), grbDesktop);
    DesktopButtons = new QButtonGroup(grbDesktop);
    int id = 0;
    for (QRadioButton* button : {rbtDontRestore, rbtOpenFilesOnly, rbtOpenFilesAndDataEntry}) {
        DesktopButtons->addButton(button, id++);
        desktop->addWidget(button);
    }
    layout->addWidget(grbDesktop);
    layout->addStretch(1);
    return page;
}

QWidget* TfmQuilvaneSetup::CreateDestinationSystemPage() {
    auto* page = new QWidget(pgcDetails);
    page->setObjectName(QStringLiteral("tshDestinationSystem"));
    auto* layout = new QVBoxLayout(page);
    cboDestSystem = NewDropDownList(page, QStringLiteral("cboDestSystem"));
    layout->addWidget(NewGroup(QStringLiteral(" Final Accounting System "), cboDestSystem, page));
    cboExportFormat = NewDropDownList(page, QStringLiteral("cboExportFormat"));
    layout->addWidget(NewGroup(QStringLiteral(" Default Export Format "), cboExportFormat, page));
    layout->addStretch(1);
    return page;
}

QWidget* TfmQuilvaneSetup::CreateBackupsPage() {
    auto* page = new QWidget(pgcDetails);
    page->setObjectName(QStringLiteral("tshBackups"));
    auto* layout = new QVBoxLayout(page);

    auto* timed = new QHBoxLayout;
    cbxTimedBackups = new QCheckBox(QStringLiteral(" &Automatically perform timed saving every"), page);
    cbxTimedBackups->setObjectName(QStringLiteral("cbxTimedBackups"));
    speTimedSave = new QSpinBox(page);
    speTimedSave->setObjectName(QStringLiteral("speTimedSave"));
    speTimedSave->setRange(TPreferencesModel::MinTimedSave, TPreferencesModel::MaxTimedSave);
    speTimedSave->setSingleStep(1);
    timed->addWidget(cbxTimedBackups);
    timed->addWidget(speTimedSave);
    timed->addWidget(new QLabel(QStringLiteral("minutes."), page));
    timed->addStretch(1);
    layout->addLayout(timed);

    auto* levels = new QHBoxLayout;
    auto* maintain = new QLabel(QStringLiteral("Maintain last"), page);
    speBackupLevels = new QSpinBox(page);
    speBackupLevels->setObjectName(QStringLiteral("speBackupLevels"));
    speBackupLevels->setRange(TPreferencesModel::MinBackupLevels, TPreferencesModel::MaxBackupLevels);
    maintain->setBuddy(speBackupLevels);
    levels->addWidget(maintain);
    levels->addWidget(speBackupLevels);
    levels->addWidget(new QLabel(QStringLiteral("backups only."), page));
    levels->addStretch(1);
    layout->addLayout(levels);
    layout->addStretch(1);
    return page;
}

QWidget* TfmQuilvaneSetup::CreateReportsPage() {
    auto* page = new QWidget(pgcDetails);
    page->setObjectName(QStringLiteral("tshReports"));
    auto* layout = new QVBoxLayout(page);

    cboFontSize = new QComboBox(page);
    cboFontSize->setObjectName(QStringLiteral("cboFontSize"));
    cboFontSize->setEditable(true);
    cboFontSize->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(NewGroup(QStringLiteral(" Default Font Size "), cboFontSize, page));

    auto* dates = new QGroupBox(QStringLiteral(" Report Date Formats "), page);
    auto* form = new QFormLayout(dates);
    cboCustomReportsDate = NewDropDownList(dates, QStringLiteral("cboCustomReportsDate"));
    cboOtherReportsDate = NewDropDownList(dates, QStringLiteral("cboOtherReportsDate"));
    form->addRow(QStringLiteral("Custom Reports"), cboCustomReportsDate);
    form->addRow(QStringLiteral("Other Reports"), cboOtherReportsDate);
    layout->addWidget(dates);
    layout->addStretch(1);
    return page;
}

void TfmQuilvaneSetup::FormCreate() {
    Model.Load(Params);

    edtLicFilePath->SetText(Model.DataFolder);

    cboCountry->clear();
    cboCountry->addItems(Model.CountryNames);
    cboCountry->setCurrentIndex(Model.CountryIndex);

    cboDestSystem->clear();
    for (qsizetype i = 0; i < Model.DestSystemCodes.size(); ++i)
        cboDestSystem->addItem(Model.DestSystemNames.value(i), Model.DestSystemCodes[i]);
    cboDestSystem->setCurrentIndex(Model.DestSystemIndex);

    if (QAbstractButton* button = DesktopButtons->button(Model.RestoreDesktop))
        button->setChecked(true);
    cbxTimedBackups->setChecked(Model.TimedBackups);
    speTimedSave->setValue(TPreferencesModel::ParseBackupInterval(Model.BackupIntervalText));
    speBackupLevels->setValue(Model.BackupLevels);
    cbxTimedBackupsClick();

    cboExportFormat->clear();
    cboExportFormat->addItems(TPreferencesModel::ExportFormats());
    cboExportFormat->setCurrentIndex(Model.ExportFormatIndex);

    cboFontSize->clear();
    cboFontSize->addItems(TPreferencesModel::FontSizes());
    cboFontSize->setCurrentIndex(
        static_cast<int>(TPreferencesModel::FontSizes().indexOf(Model.FontSizeText)));
    cboFontSize->setEditText(Model.FontSizeText);

    for (QComboBox* combo : {cboCustomReportsDate, cboOtherReportsDate}) {
        combo->clear();
        combo->addItems(TPreferencesModel::DateFormats());
    }
    cboCustomReportsDate->setCurrentIndex(Model.CustomReportsDateIndex);
    cboOtherReportsDate->setCurrentIndex(Model.OtherReportsDateIndex);

    trvCategory->expandAll();
    SelectPage(StartupPage);
}

void TfmQuilvaneSetup::cbxTimedBackupsClick() {
    speTimedSave->setEnabled(cbxTimedBackups->isChecked());
}

void TfmQuilvaneSetup::SelectPage(int page) {
    Category->ShowPage(page);
}

int TfmQuilvaneSetup::CurrentPage() const {
    return Category->CurrentPage();
}

int TfmQuilvaneSetup::CurrentHelpContext() const {
    const int page = CurrentPage();
    return page >= 0 && page < PageCount ? PageHelpContexts[static_cast<std::size_t>(page)] : HelpContext;
}

void TfmQuilvaneSetup::ReadControls() {
    Model.DataFolder = edtLicFilePath->Text();
    Model.CountryIndex = cboCountry->currentIndex();
    Model.RestoreDesktop = qMax(0, DesktopButtons->checkedId());
    Model.DestSystemIndex = cboDestSystem->currentIndex();
    Model.ExportFormatIndex = cboExportFormat->currentIndex();
    Model.TimedBackups = cbxTimedBackups->isChecked();
    // Stored from the spin edit whether or not timed saving is on.
    Model.BackupIntervalText = speTimedSave->cleanText();
    Model.BackupLevels = speBackupLevels->value();
    Model.FontSizeText = cboFontSize->currentText();
    Model.CustomReportsDateIndex = cboCustomReportsDate->currentIndex();
    Model.OtherReportsDateIndex = cboOtherReportsDate->currentIndex();
}

void TfmQuilvaneSetup::btnOKClick() {
    ReadControls();
    if (!Model.Store(Params)) {
        SelectPage(StartupPage);
        edtLicFilePath->setFocus(Qt::OtherFocusReason);
        edtLicFilePath->selectAll();
        return;
    }
    Params.Save();
    accept();
}

void TfmQuilvaneSetup::btnHelpClick() {
    TServices::Help().ShowContext(CurrentHelpContext());
}
