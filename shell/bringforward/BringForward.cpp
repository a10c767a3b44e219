#include "shell/bringforward/BringForward.h"

#include "controls/small/CategoryPages.h"
#include "controls/small/GroupBoxMultiSelect.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/StdDescChart.h"
#include "core/common/Exceptions.h"
#include "core/common/OptionSet.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/services/Help.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/vocab/FileVocabulary.h"
#include "shell/bringforward/BringForwardEngine.h"
#include "shell/bringforward/RetainedProfitPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

using TChoices = TBringForwardChoices;
using TChoice = TBringForwardOptions::TChartChoice;

constexpr int TreeWidth = 140;
constexpr int Cancelled = -100;
constexpr int Failed = -1;

QCheckBox* NewCheck(QWidget* parent, const QString& caption, const QString& name) {
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(name);
    return check;
}

QPlainTextEdit* NewMemo(QWidget* parent, const QString& text, const QString& name) {
    auto* memo = new QPlainTextEdit(text, parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    return memo;
}

} // namespace

TfmBringForward::TfmBringForward(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmBringForward"));
    setWindowTitle(TChoices::Title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblCategory = new QLabel(QStringLiteral("Category:"), this);
    lblCategory->setObjectName(QStringLiteral("lblCategory"));
    Category = new TCategoryPages(TreeWidth, this);
    trvCategory = Category->Tree;
    pnlPageText = Category->Heading;
    pgcDetails = Category->Pages;
    Category->AddPage(TChoices::StepCaption(TChoices::Important), BuildImportantPage());
    Category->AddPage(TChoices::StepCaption(TChoices::MasterDetails), BuildMasterDetailsPage());
    Category->AddPage(TChoices::StepCaption(TChoices::OpeningEntries), BuildOpeningEntriesPage());
    Category->AddPage(TChoices::StepCaption(TChoices::BASIAS), BuildBASPage());
    pgeRetainedProfits = new TRetainedProfitPage(this);
    pgeRetainedProfits->setObjectName(QStringLiteral("pgeRetainedProfits"));
    Category->AddPage(TChoices::StepCaption(TChoices::RetainedProfits), pgeRetainedProfits);

    const TWizardButtons wizardButtons = MakeWizardButtons(this);
    btnHelp = wizardButtons.Help;
    btnBack = wizardButtons.Back;
    btnNext = wizardButtons.Next;
    btnOK = wizardButtons.OK;
    btnCancel = wizardButtons.Cancel;
    QHBoxLayout* buttons = wizardButtons.Row;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCategory);
    layout->addWidget(Category, 1);
    layout->addLayout(buttons);
    resize(640, 460);

    connect(Category, &TCategoryPages::PageShown, this, [this] { UpdateButtons(); });
    connect(btnBack, &QPushButton::clicked, this, [this] { btnBackClick(); });
    connect(btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { GuardSlot([this] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { GuardSlot([this] { btnHelpClick(); }); });

    ShowChoices();
    ShowStep(TChoices::Important);
}

TfmBringForward::~TfmBringForward() = default;

QWidget* TfmBringForward::BuildImportantPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    memInformation = NewMemo(page, TChoices::InformationText(), QStringLiteral("memInformation"));
    memRedoBringForward = NewMemo(page, TChoices::RedoAdviceText(), QStringLiteral("memRedoBringForward"));
    memRedoBringForward->setVisible(false);
    layout->addWidget(memInformation, 2);
    layout->addWidget(memRedoBringForward, 1);
    return page;
}

QGroupBox* TfmBringForward::NewChartGroup(QWidget* parent, int chart, const QString& title,
                                          const QString& name) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    auto* buttons = new QButtonGroup(group);
    auto* layout = new QVBoxLayout(group);
    for (const int choice : TChoices::ChoicesOf(chart)) {
        auto* button = new QRadioButton(TChoices::ChoiceCaption(choice), group);
        buttons->addButton(button, choice);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    ChartGroups[chart] = buttons;
    return group;
}

QWidget* TfmBringForward::BuildMasterDetailsPage() {
    auto* page = new QWidget(this);
    grbAccounts =
        NewChartGroup(page, TChoices::Accounts, QStringLiteral("Accounts"), QStringLiteral("grbAccounts"));
    grbBudgets =
        NewChartGroup(page, TChoices::Budgets, QStringLiteral("Budgets"), QStringLiteral("grbBudgets"));
    grbStdDescriptions =
        NewChartGroup(page, TChoices::StdDescriptions, QStringLiteral("Standard Descriptions"),
                      QStringLiteral("grbStdDescriptions"));
    grbTaxRates =
        NewChartGroup(page, TChoices::TaxRates, QStringLiteral("Tax Rates"), QStringLiteral("grbTaxRates"));
    grbCurrencyRates = NewChartGroup(page, TChoices::CurrencyRates, QStringLiteral("Currency Rates"),
                                     QStringLiteral("grbCurrencyRates"));
    rbtAccountsCurrentChart = ChoiceButton(TChoices::Accounts, TChoice::RetainCurrent);
    rbtAccountsLastYear = ChoiceButton(TChoices::Accounts, TChoice::LastYears);
    rbtAccountsDefault = ChoiceButton(TChoices::Accounts, TChoice::DefaultChart);
    rbtAccountsBlank = ChoiceButton(TChoices::Accounts, TChoice::Clear);
    rbtAccountsCurrentChart->setObjectName(QStringLiteral("rbtAccountsCurrentChart"));
    // The accounts group's own caption for the choice.
    rbtAccountsCurrentChart->setText(QStringLiteral("Retain Current "));
    rbtAccountsLastYear->setObjectName(QStringLiteral("rbtAccountsLastYear"));
    rbtAccountsDefault->setObjectName(QStringLiteral("rbtAccountsDefault"));
    rbtAccountsBlank->setObjectName(QStringLiteral("rbtAccountsBlank"));

    auto* top = new QHBoxLayout;
    top->addWidget(grbAccounts);
    top->addWidget(grbBudgets);
    top->addWidget(grbStdDescriptions);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(grbTaxRates);
    bottom->addWidget(grbCurrencyRates);
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(bottom);
    layout->addStretch(1);
    return page;
}

QWidget* TfmBringForward::BuildOpeningEntriesPage() {
    auto* page = new QWidget(this);
    // A band dragged over the boxes ticks or clears several at once.
    grbOpeningEntries = new TGroupBoxMultiSelect(TChoices::StepCaption(TChoices::OpeningEntries), page);
    grbOpeningEntries->setObjectName(QStringLiteral("grbOpeningEntries"));
    cbxOpeningCashbook = NewCheck(
        grbOpeningEntries,
        QStringLiteral("Opening general ledger balances using last year's final general ledger balances"),
        QStringLiteral("cbxOpeningCashbook"));
    cbxOpeningReconciliation =
        NewCheck(grbOpeningEntries,
                 QStringLiteral("Opening cashbook reconciliation using last year's final reconciliation"),
                 QStringLiteral("cbxOpeningReconciliation"));
    cbxMemorisedPayments = NewCheck(grbOpeningEntries, QStringLiteral("Memorised payments"),
                                    QStringLiteral("cbxMemorisedPayments"));
    cbxStandardBank = NewCheck(grbOpeningEntries, QStringLiteral("Standard bank transactions"),
                               QStringLiteral("cbxStandardBank"));
    auto* boxes = new QVBoxLayout(grbOpeningEntries);
    for (QCheckBox* check :
         {cbxOpeningCashbook, cbxOpeningReconciliation, cbxMemorisedPayments, cbxStandardBank})
        boxes->addWidget(check);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(grbOpeningEntries);
    layout->addStretch(1);
    return page;
}

QWidget* TfmBringForward::BuildBASPage() {
    auto* page = new QWidget(this);
    grbBASSetup = new TGroupBoxMultiSelect(TChoices::StepCaption(TChoices::BASIAS), page);
    grbBASSetup->setObjectName(QStringLiteral("grbBASSetup"));
    cbxBASSetupInformation = NewCheck(grbBASSetup, QStringLiteral("Bring forward BAS/IAS setup information"),
                                      QStringLiteral("cbxBASSetupInformation"));
    auto* boxes = new QVBoxLayout(grbBASSetup);
    boxes->addWidget(cbxBASSetupInformation);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(grbBASSetup);
    layout->addStretch(1);
    return page;
}

QRadioButton* TfmBringForward::ChoiceButton(int chart, int choice) const {
    if (chart < 0 || chart >= TChoices::ChartCount || !ChartGroups[chart])
        return nullptr;
    return qobject_cast<QRadioButton*>(ChartGroups[chart]->button(choice));
}

void TfmBringForward::ShowChoices() {
    const TBringForwardOptions options = Chosen.Options();
    for (int chart = 0; chart < TChoices::ChartCount; ++chart) {
        if (QRadioButton* retain = ChoiceButton(chart, TChoice::RetainCurrent))
            retain->setEnabled(Chosen.CanRetain(chart));
        if (QRadioButton* chosen = ChoiceButton(chart, Chosen.Choice(chart)))
            chosen->setChecked(true);
    }
    cbxOpeningCashbook->setChecked(options.OpeningBalances);
    cbxOpeningReconciliation->setChecked(options.OpeningReconciliation);
    cbxMemorisedPayments->setChecked(options.MemorisedPayments);
    cbxStandardBank->setChecked(options.StandardBankTransactions);
    cbxBASSetupInformation->setChecked(options.BASSetup);
    memRedoBringForward->setVisible(Chosen.IsRedo());
}

TBringForwardChoices TfmBringForward::ChoicesFromControls() const {
    TBringForwardChoices choices = Chosen;
    for (int chart = 0; chart < TChoices::ChartCount; ++chart)
        choices.SetChoice(chart, ChartGroups[chart]->checkedId());
    choices.SetOpeningBalances(cbxOpeningCashbook->isChecked());
    choices.SetOpeningReconciliation(cbxOpeningReconciliation->isChecked());
    choices.SetMemorisedPayments(cbxMemorisedPayments->isChecked());
    choices.SetStandardBankTransactions(cbxStandardBank->isChecked());
    choices.SetBASSetup(cbxBASSetupInformation->isChecked());
    return choices;
}

bool TfmBringForward::Setup(TEntityInfo& file, int newYear) {
    File = &file;
    TargetYear = newYear;
    setWindowTitle(TChoices::Caption(file.EntityDetail().FileCode, newYear));

    const TBringForwardEngine engine(file, newYear);
    TChoices::TNewYearFiles files;
    files.Accounts = engine.NewYearChartExists(ckAccounts);
    files.StdDescriptions = engine.NewYearChartExists(ckStdDescriptions);
    files.TaxRates = engine.NewYearChartExists(ckTaxes);
    files.CurrencyRates = engine.NewYearChartExists(ckCurrencies);
    Chosen = TChoices(files);
    ShowChoices();

    TAccountsChart* source = nullptr;
    try {
        source = &SourceAccounts();
        Profit.Load(file.EntityDetail(), newYear, *source);
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
    TDesktopFiles* desktop = Desktop;
    int index = -1;
    if (desktop) {
        for (int i = 0; i < desktop->Count(); ++i)
            if (desktop->File(i) == &file)
                index = i;
    } else {
        OwnDesktop = std::make_unique<TDesktopFiles>();
        desktop = OwnDesktop.get();
    }
    pgeRetainedProfits->Setup(*desktop, index, Profit, source);

    trvCategory->expandAll();
    ShowStep(TChoices::Important);
    return true;
}

TAccountsChart& TfmBringForward::SourceAccounts() {
    if (OwnAccounts)
        return *OwnAccounts;
    const int source = SourceYear();
    const TEntityDetail& detail = File->EntityDetail();
    const TChartEntity entity = detail.ChartEntity();
    const TOptionSet load{Option::Standard, Option::Load};
    OwnStdDescs = std::make_unique<TStdDescChart>(entity, load, source);
    if (const TAccountsChart* held = File->AccountsChart(source)) {
        // The file's own chart of that year, changes not yet saved included, copied: what the
        // distribution adds to it must never reach the file's chart or its file.
        OwnAccounts = std::make_unique<TAccountsChart>(entity, held->Format(), TOptionSet{}, source,
                                                       QString(), OwnStdDescs.get());
        // Each copy keeps its account's date added: copying reads no clock.
        for (int i = 0; i < held->Count(); ++i)
            OwnAccounts->AddAccount(TAccountDetail::CopyOf(held->Format(), *held->GetAccount(i), false));
    } else {
        OwnAccounts = std::make_unique<TAccountsChart>(entity, detail.AccountFormat, load, source, QString(),
                                                       OwnStdDescs.get());
    }
    // Read for the wizard alone: never written.
    for (TMasterChart* chart : std::initializer_list<TMasterChart*>{OwnStdDescs.get(), OwnAccounts.get()}) {
        chart->Saved = true;
        chart->BlockSave();
    }
    return *OwnAccounts;
}

int TfmBringForward::CurrentStep() const {
    return Category->CurrentPage();
}

void TfmBringForward::ShowStep(int step) {
    if (step < 0 || step >= TChoices::StepCount)
        return;
    Category->ShowPage(step);
    UpdateButtons();
}

void TfmBringForward::UpdateButtons() {
    const int step = CurrentStep();
    pnlPageText->setText(TChoices::StepText(step));
    btnBack->setEnabled(TChoices::CanGoBack(step));
    btnNext->setEnabled(TChoices::CanGoNext(step));
    btnOK->setVisible(TChoices::CanFinish(step));
}

void TfmBringForward::btnHelpClick() {
    TServices::Help().ShowContext(CurrentStep() == TChoices::RetainedProfits ? DistributionHelpContext
                                                                             : HelpContext);
}

void TfmBringForward::btnOKClick() {
    if (!File)
        return;
    if (!pgeRetainedProfits->Validate()) {
        ShowStep(TChoices::RetainedProfits);
        return;
    }
    Chosen = ChoicesFromControls();
    hide();
    // The engine stores the distribution and says how the run ended.
    ReportResult(RunEngine());
}

int TfmBringForward::RunEngine() {
    try {
        TBringForwardEngine engine(*File, TargetYear);
        engine.SetProgress(TServices::ProgressFactory().CreateProgress());
        engine.SetDistributionAccounts(OwnAccounts.get());
        return engine.Run(Chosen.Options(), Profit);
    } catch (const EOperationCancelled&) {
        return Cancelled;
    } catch (...) {
        ReportException(std::current_exception());
        return Failed;
    }
}

void TfmBringForward::ReportResult(int result) {
    if (result == 0)
        accept();
    else
        reject();
}

TBringForwardWindow::TBringForwardWindow(QWidget* parent, TDesktopFiles* files, TRunDialog runDialog)
    : Parent(parent), Files(files), RunDialog(std::move(runDialog)) {}

bool TBringForwardWindow::Run(TEntityInfo& file, TReportSetup& setup) {
    TfmBringForward dialog(Parent);
    dialog.SetDesktop(Files);
    if (!dialog.Setup(file, setup.Year))
        return false;
    const int answer = RunDialog ? RunDialog(dialog) : dialog.exec();
    return answer == QDialog::Accepted;
}
