#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "controls/numeric/NumberEdit.h"
#include "controls/small/GroupBoxMultiSelect.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Help.h"
#include "shell/bringforward/BringForward.h"
#include "shell/bringforward/BringForwardChoices.h"
#include "shell/bringforward/BringForwardEngine.h"
#include "shell/bringforward/RetainedProfitPage.h"
#include "tests/support/BandDrag.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

using TChoices = TBringForwardChoices;
using TChoice = TBringForwardOptions::TChartChoice;

// ---- the choices, without widgets -----------------------------------------------------------------

struct TDefaultsCase {
    const char* Name;
    TChoices::TNewYearFiles Files;
    int Accounts, Budgets, StdDescriptions, TaxRates, CurrencyRates;
    bool Boxes; // the opening-entry and BAS/IAS boxes
};

class BringForwardChoicesDefaults : public ::testing::TestWithParam<TDefaultsCase> {};

TEST_P(BringForwardChoicesDefaults, FollowTheNewYearsChartFiles) {
    const TDefaultsCase& c = GetParam();
    const TChoices choices(c.Files);
    EXPECT_EQ(choices.IsRedo(), c.Files.Accounts);
    const TBringForwardOptions options = choices.Options();
    EXPECT_EQ(options.Accounts, c.Accounts);
    EXPECT_EQ(options.Budgets, c.Budgets);
    EXPECT_EQ(options.StdDescriptions, c.StdDescriptions);
    EXPECT_EQ(options.TaxRates, c.TaxRates);
    EXPECT_EQ(options.CurrencyRates, c.CurrencyRates);
    for (const bool box : {options.OpeningBalances, options.OpeningReconciliation, options.MemorisedPayments,
                           options.StandardBankTransactions, options.BASSetup})
        EXPECT_EQ(box, c.Boxes);
    // "Retain Current" is offered exactly where there is a new-year file to retain.
    EXPECT_EQ(choices.CanRetain(TChoices::Accounts), c.Files.Accounts);
    EXPECT_EQ(choices.CanRetain(TChoices::Budgets), c.Files.Accounts);
    EXPECT_EQ(choices.CanRetain(TChoices::StdDescriptions), c.Files.StdDescriptions);
    EXPECT_EQ(choices.CanRetain(TChoices::TaxRates), c.Files.TaxRates);
    EXPECT_EQ(choices.CanRetain(TChoices::CurrencyRates), c.Files.CurrencyRates);
}

constexpr int R = TChoice::RetainCurrent, L = TChoice::LastYears;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, BringForwardChoicesDefaults, ::testing::Values(
    TDefaultsCase{"FirstBringForward", {false, false, false, false}, L, L, L, L, L, true},
    TDefaultsCase{"RedoOfEveryChart", {true, true, true, true}, R, R, R, R, R, false},
    TDefaultsCase{"RedoWithAccountsOnly", {true, false, false, false}, R, R, L, L, L, false},
    // Other charts alone do not make a redo: the opening entries stay checked.
    TDefaultsCase{"TaxRatesAlreadyThere", {false, false, true, false}, L, L, L, R, L, true},
    TDefaultsCase{"DescriptionsAndCurrencies", {false, true, false, true}, L, L, R, L, R, true}),
    [](const auto& param) { return std::string(param.param.Name); });
// clang-format on

TEST(BringForwardChoicesTest, RefusesChoicesAChartDoesNotOffer) {
    TChoices choices;
    // Nothing to retain in a first bring forward.
    for (int chart = 0; chart < TChoices::ChartCount; ++chart)
        EXPECT_FALSE(choices.SetChoice(chart, TChoice::RetainCurrent)) << chart;
    EXPECT_FALSE(choices.SetChoice(TChoices::Budgets, TChoice::DefaultChart));
    EXPECT_FALSE(choices.SetChoice(TChoices::Accounts, TChoice::LastYearActual));
    EXPECT_FALSE(choices.SetChoice(TChoices::TaxRates, TChoice::DefaultChart));
    EXPECT_FALSE(choices.SetChoice(TChoices::ChartCount, TChoice::Clear));
    EXPECT_FALSE(choices.SetChoice(-1, TChoice::Clear));
    EXPECT_FALSE(choices.SetChoice(TChoices::Accounts, 99));
    EXPECT_EQ(choices.Choice(TChoices::Accounts), TChoice::LastYears);
    EXPECT_EQ(choices.Choice(TChoices::Budgets), TChoice::LastYears);
    EXPECT_EQ(choices.Choice(TChoices::ChartCount), -1);

    TChoices redo({true, false, false, false});
    EXPECT_TRUE(redo.SetChoice(TChoices::Budgets, TChoice::RetainCurrent));
    EXPECT_FALSE(redo.SetChoice(TChoices::StdDescriptions, TChoice::RetainCurrent));
}

TEST(BringForwardChoicesTest, OptionsBlockCarriesEveryChoice) {
    TChoices choices({true, true, true, true});
    EXPECT_TRUE(choices.SetChoice(TChoices::Accounts, TChoice::DefaultChart));
    EXPECT_TRUE(choices.SetChoice(TChoices::Budgets, TChoice::LastYearActual));
    EXPECT_TRUE(choices.SetChoice(TChoices::StdDescriptions, TChoice::Clear));
    EXPECT_TRUE(choices.SetChoice(TChoices::TaxRates, TChoice::LastYears));
    EXPECT_TRUE(choices.SetChoice(TChoices::CurrencyRates, TChoice::RetainCurrent));
    choices.SetOpeningBalances(true);
    choices.SetMemorisedPayments(true);
    choices.SetBASSetup(true);
    const TBringForwardOptions options = choices.Options();
    EXPECT_EQ(options.Accounts, TChoice::DefaultChart);
    EXPECT_EQ(options.Budgets, TChoice::LastYearActual);
    EXPECT_EQ(options.StdDescriptions, TChoice::Clear);
    EXPECT_EQ(options.TaxRates, TChoice::LastYears);
    EXPECT_EQ(options.CurrencyRates, TChoice::RetainCurrent);
    EXPECT_TRUE(options.OpeningBalances);
    EXPECT_FALSE(options.OpeningReconciliation);
    EXPECT_TRUE(options.MemorisedPayments);
    EXPECT_FALSE(options.StandardBankTransactions);
    EXPECT_TRUE(options.BASSetup);
}

TEST(BringForwardChoicesTest, StepTextsCaptionAndNavigation) {
    EXPECT_EQ(TChoices::StepText(0), "Step 1 of 5: Important !");
    EXPECT_EQ(TChoices::StepText(1), "Step 2 of 5: Master Details");
    EXPECT_EQ(TChoices::StepText(2), "Step 3 of 5: Opening Entries");
    EXPECT_EQ(TChoices::StepText(3), "Step 4 of 5: BAS/IAS");
    EXPECT_EQ(TChoices::StepText(4), "Step 5 of 5: Retained Profits");
    EXPECT_EQ(TChoices::StepText(-1), "");
    EXPECT_EQ(TChoices::StepText(5), "");
    EXPECT_EQ(TChoices::Caption("ABC123", 2006), "Bring Forward - ABC123 (from 2005 to 2006 Financial Year)");
    EXPECT_EQ(TChoices::Caption("XYZ999", 2000), "Bring Forward - XYZ999 (from 1999 to 2000 Financial Year)");

    EXPECT_FALSE(TChoices::CanGoBack(0));
    EXPECT_TRUE(TChoices::CanGoNext(0));
    EXPECT_FALSE(TChoices::CanFinish(0));
    for (int step = 1; step < 4; ++step) {
        EXPECT_TRUE(TChoices::CanGoBack(step));
        EXPECT_TRUE(TChoices::CanGoNext(step));
        EXPECT_FALSE(TChoices::CanFinish(step));
    }
    EXPECT_TRUE(TChoices::CanGoBack(4));
    EXPECT_FALSE(TChoices::CanGoNext(4));
    EXPECT_TRUE(TChoices::CanFinish(4));
    EXPECT_FALSE(TChoices::CanGoNext(-1));
    EXPECT_FALSE(TChoices::CanGoBack(5));

    EXPECT_EQ(TChoices::ChoicesOf(TChoices::Accounts), (QList<int>{TChoice::RetainCurrent, TChoice::LastYears,
                                                                   TChoice::DefaultChart, TChoice::Clear}));
    EXPECT_EQ(TChoices::ChoicesOf(TChoices::Budgets), (QList<int>{TChoice::RetainCurrent, TChoice::LastYears,
                                                                  TChoice::LastYearActual, TChoice::Clear}));
    EXPECT_EQ(TChoices::ChoiceCaption(TChoice::LastYears), "Last Year's");
    EXPECT_EQ(TChoices::ChoiceCaption(TChoice::LastYearActual), "Last Year Actual");
}

// ---- the window ---------------------------------------------------------------------------------------

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

// File ABC123 (year to June 2006, its 2006 accounts on disk) open on a desktop with its charts.
class BringForwardWindowTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TEntityInfo::SetSessionLog([](const TLogSession&) {});
        TServices::SetHelp(Help);
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        auto file = TEntityInfo::Create("ABC123", {Standard, Load});
        file->OpenYear();
        File = file.get();
        ASSERT_EQ(Desktop.Add(file), 0);
    }
    void TearDown() override {
        while (Desktop.Count() > 0)
            if (auto file = Desktop.Remove(0))
                file->Close();
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    std::shared_ptr<TRecordingHelp> Help = std::make_shared<TRecordingHelp>();
    TDesktopFiles Desktop;
    TEntityInfo* File = nullptr;
};

// Into the file's own year: its accounts file exists, so this is a redo from 2005.
TEST_F(BringForwardWindowTest, SetupOfARedoShowsRetainCurrentAndTheRedoNote) {
    // Last year's accounts, which the file does not hold: read for the wizard alone.
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12305.ADF", StoredChart("accounts", "header", {})));
    const QByteArray before = ReadFileBytes(DataDir + "/M_DETAIL/ABC12305.ADF");
    TfmBringForward wizard;
    wizard.SetDesktop(&Desktop);
    ASSERT_TRUE(wizard.Setup(*File, 2006));
    EXPECT_EQ(wizard.windowTitle(), "Bring Forward - ABC123 (from 2005 to 2006 Financial Year)");
    EXPECT_EQ(wizard.SourceYear(), 2005);
    EXPECT_TRUE(wizard.Choices().IsRedo());
    EXPECT_TRUE(wizard.rbtAccountsCurrentChart->isChecked());
    EXPECT_TRUE(wizard.rbtAccountsCurrentChart->isEnabled());
    EXPECT_TRUE(wizard.ChoiceButton(TChoices::Budgets, TChoice::RetainCurrent)->isChecked());
    EXPECT_FALSE(wizard.memRedoBringForward->isHidden());
    EXPECT_TRUE(wizard.memRedoBringForward->toPlainText().startsWith(TChoices::RedoText));
    for (QCheckBox* box :
         {wizard.cbxOpeningCashbook, wizard.cbxOpeningReconciliation, wizard.cbxMemorisedPayments,
          wizard.cbxStandardBank, wizard.cbxBASSetupInformation})
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    // The distribution's default entry added its account to last year's chart in memory only.
    ASSERT_EQ(wizard.Distribution().Count(), 1);
    EXPECT_EQ(File->AccountsChart(2005), nullptr);
    EXPECT_EQ(ReadFileBytes(DataDir + "/M_DETAIL/ABC12305.ADF"), before);
}

// Into the next year: nothing to retain, last year's data and every box by default; the tree,
// the step caption and the buttons as the steps are walked.
TEST_F(BringForwardWindowTest, SetupOfAFirstBringForwardAndTheWalkThroughTheSteps) {
    TfmBringForward wizard;
    wizard.SetDesktop(&Desktop);
    ASSERT_TRUE(wizard.Setup(*File, 2007));
    EXPECT_EQ(wizard.windowTitle(), "Bring Forward - ABC123 (from 2006 to 2007 Financial Year)");
    EXPECT_FALSE(wizard.Choices().IsRedo());
    EXPECT_TRUE(wizard.rbtAccountsLastYear->isChecked());
    EXPECT_FALSE(wizard.rbtAccountsCurrentChart->isEnabled());
    EXPECT_TRUE(wizard.memRedoBringForward->isHidden());
    for (int chart = 0; chart < TChoices::ChartCount; ++chart) {
        EXPECT_TRUE(wizard.ChoiceButton(chart, TChoice::LastYears)->isChecked()) << chart;
        EXPECT_FALSE(wizard.ChoiceButton(chart, TChoice::RetainCurrent)->isEnabled()) << chart;
    }
    for (QCheckBox* box :
         {wizard.cbxOpeningCashbook, wizard.cbxOpeningReconciliation, wizard.cbxMemorisedPayments,
          wizard.cbxStandardBank, wizard.cbxBASSetupInformation})
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    // An empty list starts as the retained-profits account at 100 %.
    ASSERT_EQ(wizard.Distribution().Count(), 1);
    EXPECT_EQ(wizard.Distribution().Entries().first().Percentage, "100.00");

    ASSERT_EQ(wizard.trvCategory->topLevelItemCount(), 5);
    QStringList nodes;
    for (int i = 0; i < 5; ++i)
        nodes << wizard.trvCategory->topLevelItem(i)->text(0);
    EXPECT_EQ(nodes, (QStringList{"Important !", "Master Details", "Opening Entries", "BAS/IAS",
                                  "Retained Profits"}));
    EXPECT_EQ(wizard.pgcDetails->count(), 5);

    EXPECT_EQ(wizard.CurrentStep(), 0);
    EXPECT_EQ(wizard.pnlPageText->text(), "Step 1 of 5: Important !");
    EXPECT_FALSE(wizard.btnBack->isEnabled());
    EXPECT_TRUE(wizard.btnNext->isEnabled());
    EXPECT_TRUE(wizard.btnOK->isHidden());
    for (int step = 1; step < 5; ++step)
        wizard.btnNext->click();
    EXPECT_EQ(wizard.CurrentStep(), 4);
    EXPECT_EQ(wizard.pgcDetails->currentWidget(), wizard.pgeRetainedProfits);
    EXPECT_EQ(wizard.pnlPageText->text(), "Step 5 of 5: Retained Profits");
    EXPECT_TRUE(wizard.btnBack->isEnabled());
    EXPECT_FALSE(wizard.btnNext->isEnabled());
    EXPECT_FALSE(wizard.btnOK->isHidden());
    wizard.btnHelp->click();
    wizard.btnBack->click();
    EXPECT_EQ(wizard.pnlPageText->text(), "Step 4 of 5: BAS/IAS");
    EXPECT_TRUE(wizard.btnOK->isHidden());
    wizard.btnHelp->click();
    EXPECT_EQ(Help->Contexts, (QList<int>{70100, 70000}));
    // Choosing a node in the tree moves the step as well.
    wizard.trvCategory->setCurrentItem(wizard.trvCategory->topLevelItem(1));
    EXPECT_EQ(wizard.pnlPageText->text(), "Step 2 of 5: Master Details");
    EXPECT_TRUE(wizard.btnOK->isHidden());

    // The controls make the options block.
    wizard.ChoiceButton(TChoices::Accounts, TChoice::Clear)->setChecked(true);
    wizard.ChoiceButton(TChoices::Budgets, TChoice::LastYearActual)->setChecked(true);
    wizard.cbxStandardBank->setChecked(false);
    const TBringForwardOptions options = wizard.ChoicesFromControls().Options();
    EXPECT_EQ(options.Accounts, TChoice::Clear);
    EXPECT_EQ(options.Budgets, TChoice::LastYearActual);
    EXPECT_EQ(options.TaxRates, TChoice::LastYears);
    EXPECT_FALSE(options.StandardBankTransactions);
    EXPECT_TRUE(options.OpeningBalances);
}

// OK with a distribution short of 100: the message, the Retained Profits page in front, no run
// (nothing is stored in the record and the wizard stays open).
TEST_F(BringForwardWindowTest, OKWithADistributionShortOf100DoesNotRun) {
    TfmBringForward wizard;
    wizard.SetDesktop(&Desktop);
    ASSERT_TRUE(wizard.Setup(*File, 2007));
    // Typed into the editor: OK stores it before the check.
    wizard.pgeRetainedProfits->edtRetainedProfitPercentage->setText("99.99");
    wizard.ShowStep(TChoices::MasterDetails);
    Prompt->Answer(TMessageButton::OK);
    wizard.btnOKClick();
    EXPECT_EQ(Prompt->Texts(), QStringList{TProfitDistribution::TotalText});
    EXPECT_EQ(wizard.CurrentStep(), TChoices::RetainedProfits);
    EXPECT_EQ(wizard.result(), 0);
    EXPECT_TRUE(File->EntityDetail().ProfitDistribution.isEmpty());
    EXPECT_EQ(Progress->Created, 0);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});
}

// OK with a distribution of 100 runs the bring forward; its end is reported once, with one beep,
// and the wizard closes accepted with the distribution stored for the new year.
TEST_F(BringForwardWindowTest, OKRunsTheBringForwardAndReportsItOnce) {
    TfmBringForward wizard;
    wizard.SetDesktop(&Desktop);
    ASSERT_TRUE(wizard.Setup(*File, 2007));
    Prompt->Answer(TMessageButton::OK);
    wizard.btnOKClick();
    EXPECT_EQ(Prompt->Texts(), QStringList{TBringForwardEngine::CompleteText});
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Default});
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    File->EntityDetail().LoadProfitDistribution(2007);
    EXPECT_EQ(File->EntityDetail().ProfitDistribution, QStringList{"00-4100-00,100.00"});
}

namespace {

// Whether the wizard is cancelled or runs to the end.
class BringForwardSourceYearTest : public BringForwardWindowTest, public testing::WithParamInterface<bool> {
protected:
    // The bytes of every file of the source year (2006) under the data folder.
    QMap<QString, QByteArray> SourceYearFiles() const {
        QMap<QString, QByteArray> files;
        QDirIterator it(DataDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName().startsWith("ABC12306", Qt::CaseInsensitive))
                files[QDir(DataDir).relativeFilePath(path)] = ReadFileBytes(path);
        }
        return files;
    }
};

} // namespace

// The distribution's default entry makes the retained-profits account (00-4100-00) in the
// wizard's copy of last year's accounts only: the file's own chart of 2006 never gets it, so
// when that chart is written again (as any later edit would have it) the year's files are byte
// for byte what they were.
TEST_P(BringForwardSourceYearTest, TheSourceYearsFilesEndAsTheyWere) {
    const bool run = GetParam();
    TAccountsChart* chart = File->AccountsChart(2006);
    ASSERT_NE(chart, nullptr);
    // The year's charts as the program writes them.
    TOptionSet save{Standard};
    ASSERT_EQ(File->SaveYearCharts(2006, save, true), 0);
    const QMap<QString, QByteArray> before = SourceYearFiles();
    ASSERT_TRUE(before.contains("M_DETAIL/ABC12306.ADF"));
    const int accounts = chart->Count();
    {
        TfmBringForward wizard;
        wizard.SetDesktop(&Desktop);
        ASSERT_TRUE(wizard.Setup(*File, 2007));
        ASSERT_EQ(wizard.Distribution().Count(), 1);
        EXPECT_EQ(wizard.Distribution().Entries().first().Account, "00-4100-00");
        if (run) {
            Prompt->Answer(TMessageButton::OK);
            wizard.btnOKClick();
            EXPECT_EQ(wizard.result(), QDialog::Accepted);
        } else {
            wizard.btnCancel->click();
            EXPECT_EQ(wizard.result(), QDialog::Rejected);
        }
    }
    EXPECT_EQ(chart->Count(), accounts);
    EXPECT_LT(chart->IndexOfCodeText("00-4100-00"), 0);
    EXPECT_TRUE(chart->Saved);
    chart->Saved = false;
    File->Close();
    EXPECT_EQ(SourceYearFiles(), before);
}

INSTANTIATE_TEST_SUITE_P(Ends, BringForwardSourceYearTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& run) {
                             return std::string(run.param ? "Completed" : "Cancelled");
                         });

// Each group shows its choices in its own order.
TEST_F(BringForwardWindowTest, TheChoicesStandInTheirGroupsOrder) {
    TfmBringForward wizard;
    const auto captions = [](QGroupBox* group) {
        QStringList texts;
        for (int i = 0; i < group->layout()->count(); ++i)
            if (auto* button = qobject_cast<QRadioButton*>(group->layout()->itemAt(i)->widget()))
                texts << button->text();
        return texts;
    };
    EXPECT_EQ(captions(wizard.grbAccounts),
              (QStringList{"Retain Current ", "Last Year's", "Default Chart", "Clear"}));
    EXPECT_EQ(captions(wizard.grbBudgets),
              (QStringList{"Retain Current", "Last Year's", "Last Year Actual", "Clear"}));
    EXPECT_EQ(captions(wizard.grbStdDescriptions), (QStringList{"Retain Current", "Last Year's", "Clear"}));
    EXPECT_EQ(captions(wizard.grbTaxRates), (QStringList{"Last Year's", "Clear", "Retain Current"}));
    EXPECT_EQ(captions(wizard.grbCurrencyRates), (QStringList{"Last Year's", "Retain Current", "Clear"}));
    EXPECT_EQ(TChoices::ChoicesOf(TChoices::TaxRates),
              (QList<int>{TChoice::LastYears, TChoice::Clear, TChoice::RetainCurrent}));
}

// The opening-entry boxes and the BAS/IAS box sit in band groups: a band dragged over two of the
// opening entries changes both, and the options follow.
TEST_F(BringForwardWindowTest, ABandOverTwoOpeningEntriesChangesBoth) {
    TfmBringForward wizard;
    wizard.SetDesktop(&Desktop);
    ASSERT_TRUE(wizard.Setup(*File, 2007));
    for (QCheckBox* box : {wizard.cbxOpeningCashbook, wizard.cbxOpeningReconciliation,
                           wizard.cbxMemorisedPayments, wizard.cbxStandardBank})
        EXPECT_EQ(box->parentWidget(), wizard.grbOpeningEntries) << box->objectName().toStdString();
    EXPECT_EQ(wizard.cbxBASSetupInformation->parentWidget(), wizard.grbBASSetup);
    wizard.ShowStep(TChoices::OpeningEntries);
    wizard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));

    DragBandOver(wizard.cbxOpeningCashbook, wizard.cbxOpeningReconciliation);
    EXPECT_FALSE(wizard.cbxOpeningCashbook->isChecked());
    EXPECT_FALSE(wizard.cbxOpeningReconciliation->isChecked());
    EXPECT_TRUE(wizard.cbxMemorisedPayments->isChecked());
    EXPECT_TRUE(wizard.cbxStandardBank->isChecked());
    const TBringForwardOptions options = wizard.ChoicesFromControls().Options();
    EXPECT_FALSE(options.OpeningBalances);
    EXPECT_FALSE(options.OpeningReconciliation);
    EXPECT_TRUE(options.MemorisedPayments);

    wizard.ShowStep(TChoices::BASIAS);
    const QRect box = wizard.cbxBASSetupInformation->geometry();
    DragBand(wizard.grbBASSetup, QPoint(box.left() - 2, box.top()),
             QPoint(box.left() + box.width() / 4, box.bottom()));
    EXPECT_FALSE(wizard.cbxBASSetupInformation->isChecked());
    wizard.hide();
}

} // namespace
