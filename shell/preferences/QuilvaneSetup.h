#pragma once

#include "shell/preferences/PreferencesModel.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;
class TCategoryPages;
class QTreeWidgetItem;
class TDirectoryEdit;
class TFocusNext;
class TProgramParams;

// File > QUILVANE Setup...: the program preferences - the data folder, the country, what the
// desktop reopens at start-up, the destination accounting system and default export format,
// timed saving and the number of backups kept, and the report font size and date formats. A
// category tree on the left picks one of four pages. OK stores the values into the settings and
// saves them (the dialog stays open on the Startup page when the data folder cannot be used);
// Cancel changes nothing. The values and their rules live in TPreferencesModel.
class TfmQuilvaneSetup : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 3200;
    enum TPage { StartupPage, DestinationSystemPage, BackupsPage, ReportsPage, PageCount };
    // The help topic of each page, in page order.
    static constexpr std::array<int, PageCount> PageHelpContexts{15000, 15200, 15300, 15500};

    // Builds the window over the settings it edits and loads the controls from them.
    explicit TfmQuilvaneSetup(TProgramParams& params, QWidget* parent = nullptr);

    // Loads the controls from the settings (called by the constructor).
    void FormCreate();
    // The minutes spin edit is enabled exactly while timed saving is checked.
    void cbxTimedBackupsClick();
    // Stores the controls into the settings and saves them, then closes with OK; when the data
    // folder is refused, the Startup page is shown with the folder's edit focused instead.
    void btnOKClick();
    // Opens the help topic of the page on show.
    void btnHelpClick();

    // The page on show and its help topic.
    int CurrentPage() const;
    int CurrentHelpContext() const;
    // Chooses a page through the tree, as a click on its node does.
    void SelectPage(int page);

    // The tree of pages, the page heading and the pages, held by Category.
    TCategoryPages* Category = nullptr;
    QTreeWidget* trvCategory = nullptr;
    QLabel* pnlPageText = nullptr;
    QStackedWidget* pgcDetails = nullptr;
    // Startup
    TDirectoryEdit* edtLicFilePath = nullptr;
    QComboBox* cboCountry = nullptr;
    QGroupBox* grbDesktop = nullptr;
    QRadioButton* rbtDontRestore = nullptr;
    QRadioButton* rbtOpenFilesOnly = nullptr;
    QRadioButton* rbtOpenFilesAndDataEntry = nullptr;
    // Destination System
    QComboBox* cboDestSystem = nullptr;
    QComboBox* cboExportFormat = nullptr;
    // Backups
    QCheckBox* cbxTimedBackups = nullptr;
    QSpinBox* speTimedSave = nullptr;
    QSpinBox* speBackupLevels = nullptr;
    // Reports
    QComboBox* cboFontSize = nullptr;
    QComboBox* cboCustomReportsDate = nullptr;
    QComboBox* cboOtherReportsDate = nullptr;

    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
    TFocusNext* FocusNext1 = nullptr;

private:
    QWidget* CreateStartupPage();
    QWidget* CreateDestinationSystemPage();
    QWidget* CreateBackupsPage();
    QWidget* CreateReportsPage();
    void AddPage(const QString& caption, QWidget* page);
    // Copies the controls into the model.
    void ReadControls();

    TProgramParams& Params;
    TPreferencesModel Model;
    QButtonGroup* DesktopButtons = nullptr;
};
