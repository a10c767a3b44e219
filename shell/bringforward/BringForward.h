#pragma once

#include "shell/bringforward/BringForwardChoices.h"
#include "shell/bringforward/ProfitDistribution.h"
#include "shell/children/ProcessWindows.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeWidget;
class TAccountsChart;
class TCategoryPages;
class TDesktopFiles;
class TEntityInfo;
class TGroupBoxMultiSelect;
class TRetainedProfitPage;
class TStdDescChart;

// The bring-forward wizard: starts a file's new financial year from the year before it. Five
// steps in a tree (the warning, the master details, the opening entries, the BAS/IAS setup and the
// retained-profit distribution), walked with Back and Next; OK on the last step checks that the
// distribution adds up to 100, runs the bring forward behind a progress window and reports how it
// ended. The choices and their defaults live in TBringForwardChoices; the work is done by
// TBringForwardEngine. The distribution is written to the file's record only after a run that
// completed.
class TfmBringForward : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 70000;
    static constexpr int DistributionHelpContext = 70100;

    explicit TfmBringForward(QWidget* parent = nullptr);
    ~TfmBringForward() override;

    // The desktop the file is open on, for the account selection of the distribution page; without
    // one the page works on the file alone.
    void SetDesktop(TDesktopFiles* files) { Desktop = files; }
    // Prepares the wizard to bring the file forward into newYear from the year before: caption,
    // defaults from the new year's chart files, and the new year's distribution read from the
    // record against last year's accounts. False, after its message, when last year's charts could
    // not be read.
    bool Setup(TEntityInfo& file, int newYear);

    int NewYear() const { return TargetYear; }
    int SourceYear() const { return TargetYear - 1; }
    const TBringForwardChoices& Choices() const { return Chosen; }
    // The choices as the controls hold them now.
    TBringForwardChoices ChoicesFromControls() const;
    TProfitDistribution& Distribution() { return Profit; }

    int CurrentStep() const;
    // Shows a step's page with its node current and its caption; outside the steps nothing happens.
    void ShowStep(int step);

    // Runs the bring forward as OK does.
    void btnOKClick();
    void btnNextClick() { ShowStep(CurrentStep() + 1); }
    void btnBackClick() { ShowStep(CurrentStep() - 1); }
    void btnHelpClick();

    TCategoryPages* Category = nullptr;
    QTreeWidget* trvCategory = nullptr;
    QLabel* pnlPageText = nullptr;
    QStackedWidget* pgcDetails = nullptr;
    QLabel* lblCategory = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
    // Important !
    QPlainTextEdit* memInformation = nullptr;
    QPlainTextEdit* memRedoBringForward = nullptr;
    // Master Details: one group per chart (TBringForwardChoices::TChart), its buttons by choice
    QGroupBox* grbAccounts = nullptr;
    QGroupBox* grbBudgets = nullptr;
    QGroupBox* grbStdDescriptions = nullptr;
    QGroupBox* grbTaxRates = nullptr;
    QGroupBox* grbCurrencyRates = nullptr;
    QRadioButton* rbtAccountsCurrentChart = nullptr;
    QRadioButton* rbtAccountsLastYear = nullptr;
    QRadioButton* rbtAccountsDefault = nullptr;
    QRadioButton* rbtAccountsBlank = nullptr;
    // Opening Entries, in a band group
    TGroupBoxMultiSelect* grbOpeningEntries = nullptr;
    QCheckBox* cbxOpeningCashbook = nullptr;
    QCheckBox* cbxOpeningReconciliation = nullptr;
    QCheckBox* cbxMemorisedPayments = nullptr;
    QCheckBox* cbxStandardBank = nullptr;
    // BAS/IAS, in a band group
    TGroupBoxMultiSelect* grbBASSetup = nullptr;
    QCheckBox* cbxBASSetupInformation = nullptr;
    // Retained Profits
    TRetainedProfitPage* pgeRetainedProfits = nullptr;

    // The button of a chart's choice; nullptr when the chart does not offer it.
    QRadioButton* ChoiceButton(int chart, int choice) const;

private:
    QWidget* BuildImportantPage();
    QWidget* BuildMasterDetailsPage();
    QWidget* BuildOpeningEntriesPage();
    QWidget* BuildBASPage();
    QGroupBox* NewChartGroup(QWidget* parent, int chart, const QString& title, const QString& name);
    void ShowChoices();
    void UpdateButtons();
    // Last year's accounts for the distribution, held by the wizard alone and freed unwritten:
    // a copy of the file's chart when the file holds that year (its unsaved changes included),
    // else read from the year's file.
    TAccountsChart& SourceAccounts();
    // Runs the engine; its result code (exceptions reported and turned into -100 or -1). The
    // engine shows how the run ended.
    int RunEngine();
    // Closes the wizard: accepted after a complete run.
    void ReportResult(int result);

    TEntityInfo* File = nullptr;
    TDesktopFiles* Desktop = nullptr;
    std::unique_ptr<TDesktopFiles> OwnDesktop;
    int TargetYear = 0;
    TBringForwardChoices Chosen;
    TProfitDistribution Profit;
    std::unique_ptr<TStdDescChart> OwnStdDescs;
    std::unique_ptr<TAccountsChart> OwnAccounts;
    QButtonGroup* ChartGroups[TBringForwardChoices::ChartCount] = {};
};

// The bring-forward wizard as the process launchers open it: the block's year is the year to
// bring forward into, the wizard is modal through the main window's dialog runner.
class TBringForwardWindow : public IProcessWindow {
public:
    using TRunDialog = std::function<int(QDialog&)>;
    TBringForwardWindow(QWidget* parent, TDesktopFiles* files, TRunDialog runDialog);
    // True when the bring forward completed.
    bool Run(TEntityInfo& file, TReportSetup& setup) override;

private:
    QWidget* Parent;
    TDesktopFiles* Files;
    TRunDialog RunDialog;
};
