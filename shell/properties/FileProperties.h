#pragma once

#include "shell/properties/DefaultChartList.h"

#include <QDialog>
#include <QString>

#include <functional>

class QButtonGroup;
class TCategoryPages;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;
class TDirectoryEdit;
class TEntityDetail;
class TFileCodeEdit;
class TFocusNext;
class TGroupBoxMultiSelect;
class TPasswordEdit;
class TPeriodsPerYearEdit;

// The properties of a client file: its detail record on six pages (Details, Security, Accounts,
// Data Entry, Disk Access, E-mail), chosen in the tree at the left. For an existing file it is a
// property sheet: OK stores every page and closes. For a new file it is a wizard: Back and Next
// walk the pages and OK shows on the last one. The code, entity type, base currency, account
// format, financial year and year-end month are set once, when the file is created: for an
// existing file they are shown only, and OK leaves them as they are.
//
// OK checks the code (a new file's code must not name an existing record) and stores the
// controls into the record; it does not save the record, which is the caller's part.
class TfmFileProperties : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1000;

    // The pages in their order.
    enum TPage : int { Details, Security, Accounts, DataEntry, DiskAccess, EMail, PageCount };

    // Chooses a chart file: the dialog's parent, the folder it starts in and the Qt filter;
    // the chosen file, or empty when the user cancelled.
    using TChartBrowseFunction =
        std::function<QString(QWidget* parent, const QString& folder, const QString& filter)>;

    explicit TfmFileProperties(QWidget* parent = nullptr);
    ~TfmFileProperties() override;

    // Fills the pages from the record, which the sheet keeps and OK writes to. A new file's code
    // starts empty (its record carries no code of its own yet).
    void Setup(TEntityDetail& detail, bool isNew);

    // Checks the typed code; on a fault sounds the warning beep, shows the error box, shows the
    // Details page and puts the focus in the code. False on a fault.
    bool ValidateFileCode();
    // Stores the controls into the record.
    void SaveProperties();

    bool IsNew() const { return NewFile; }
    int CurrentPage() const;
    void ShowPage(int page);

    // Replaces the chart-file dialog (tests answer without one); an empty function restores it.
    void SetChartBrowseFunction(TChartBrowseFunction browse);
    // Opens the chart-file dialog as the chart button does.
    void BrowseChart();

    // The list of default charts the Accounts page offers.
    const TDefaultChartList& ChartList() const { return Charts; }

    // The tree of pages, the page heading and the pages, held by Category.
    TCategoryPages* Category = nullptr;
    QTreeWidget* trvCategory = nullptr;
    QLabel* pnlPageText = nullptr;
    QStackedWidget* pgcDetails = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

    // Details
    TFileCodeEdit* medEntityCode = nullptr;
    QLineEdit* edtEntityName = nullptr;
    QLineEdit* edtACN = nullptr;
    QLineEdit* edtReportHeading1 = nullptr;
    QLineEdit* edtReportHeading2 = nullptr;
    QComboBox* cboEntityType = nullptr;
    QLabel* lblDateCreated = nullptr;
    QLabel* lblLastAccessed = nullptr;
    // Security
    TPasswordEdit* edtAccessPassword = nullptr;
    // Accounts
    QComboBox* cboBaseCurrency = nullptr;
    QComboBox* cboAccountsFormat = nullptr;
    QComboBox* cboDefaultChart = nullptr;
    QPushButton* btnDefaultChart = nullptr;
    // Data Entry
    QSpinBox* speFinancialYear = nullptr;
    QComboBox* cboYearEndMonth = nullptr;
    TPeriodsPerYearEdit* edtPeriodsPerYear = nullptr;
    QSpinBox* speDefaultPeriod = nullptr;
    // The four options below, in a group that a dragged band ticks or clears together.
    TGroupBoxMultiSelect* grbOptions = nullptr;
    QCheckBox* cbxAllowQuantity = nullptr;
    QCheckBox* cbxIncludeTaxes = nullptr;
    QCheckBox* cbxWarnDuplicateRefs = nullptr;
    QCheckBox* cbxCurrencyConv = nullptr;
    QButtonGroup* rgpContras = nullptr;
    QRadioButton* rbnContrasDaily = nullptr;
    QRadioButton* rbnContrasWeekly = nullptr;
    QRadioButton* rbnContrasMonthly = nullptr;
    // Disk Access
    QComboBox* cboDataDrive = nullptr;
    QComboBox* cboTransferDrive = nullptr;
    QComboBox* cboBackupDrive = nullptr;
    QCheckBox* cbxBackupPrompt = nullptr;
    TDirectoryEdit* detImportFolder = nullptr;
    TDirectoryEdit* detExportFolder = nullptr;
    // E-mail
    QLineEdit* edtTransferEmail = nullptr;
    QLineEdit* edtClientsEmail = nullptr;
    TDirectoryEdit* detECIFolder = nullptr;
    TDirectoryEdit* detTessalyFolder = nullptr;

private:
    QWidget* BuildDetailsPage();
    QWidget* BuildSecurityPage();
    QWidget* BuildAccountsPage();
    QWidget* BuildDataEntryPage();
    QWidget* BuildDiskAccessPage();
    QWidget* BuildEMailPage();
    TDirectoryEdit* NewFolderEdit(QWidget* parent, const QString& dialogText, const QString& name);
    void AddPage(const QString& title, QWidget* page);

    void FillLists();
    void FillDrives(QComboBox* combo, QChar selected, const QStringList& usedPaths);
    void SelectChart(const QString& storedName);
    void UpdateButtons();
    void UpdateCaption();
    void PairChanged();
    void EntityTypeChanged();
    void BaseCurrencyChanged();
    void PeriodsStepped(int periods);
    void OKClick();

    QString EntityTypeCode() const;
    QString CurrencyCode() const;
    QString AccountFormatCode() const;
    QString ChartFolder() const;

    TEntityDetail* Detail = nullptr;
    bool NewFile = false;
    bool Filling = false;
    TDefaultChartList Charts;
    TChartBrowseFunction ChartBrowse;
    TFocusNext* FocusNext1 = nullptr;
};
