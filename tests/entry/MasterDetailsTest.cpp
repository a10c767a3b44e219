#include "entry/masterdetails/MasterDetails.h"
#include "entry/masterdetails/MasterChartModel.h"
#include "entry/masterdetails/MasterDetailsKind.h"
#include "entry/masterdetails/MasterSelection.h"

#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "controls/placement/FormPlacement.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

// The rules of the window over charts built in the test: client ABC123 of the format QUILVANE
// (BB-AAAA-SS; codes sort by account, sub-account, then branch, so a code with a branch shows
// before the same account without one but sorts after it).
class MasterSelectionTest : public TChartTest {
protected:
    std::unique_ptr<TStdDescChart> Descriptions(const QList<QPair<QString, QString>>& items,
                                                const TChartEntity* entity = nullptr) {
        auto chart = std::make_unique<TStdDescChart>(entity ? *entity : Entity, TOptionSet{}, 2006);
        for (const auto& [abbreviation, text] : items)
            EXPECT_GE(chart->AddDescription(abbreviation, text), 0);
        return chart;
    }
    std::unique_ptr<TTaxRateChart> Taxes(TAccountsChart* accounts) {
        return std::make_unique<TTaxRateChart>(Entity, accounts, Format(), TOptionSet{}, 2006);
    }
    std::unique_ptr<TTaxRate> Rate(const QString& code, const QString& account, double rate = 10.0,
                                   const QString& description = {}) {
        auto item = std::make_unique<TTaxRate>(Format());
        item->Tax_Code = code;
        item->Tax_Description = description;
        item->TaxAccount = Code(account);
        item->Tax_Rate = rate;
        return item;
    }
    static QList<int> Rows(int count) {
        QList<int> rows;
        for (int row = 0; row < count; ++row)
            rows << row;
        return rows;
    }
};

using MasterChartModelTest = MasterSelectionTest;

// ---- Window kinds ------------------------------------------------------------------------------

TEST(MasterDetailsKindTest, EachChartKindHasItsWindowKindNameAndHelp) {
    const struct {
        int ChartKind, WindowKind;
        const char* Name;
        int Help;
    } kinds[] = {{0, 5, "Bank Reconciliation Opening Balances", 4400},
                 {1, 0, "Accounts", 4000},
                 {2, 2, "Standard Descriptions", 4100},
                 {3, 3, "Taxes", 4200},
                 {4, 4, "Currencies", 4300}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.ChartKind);
        EXPECT_EQ(TMasterDetailsKind::WindowKind(k.ChartKind), k.WindowKind);
        EXPECT_EQ(TMasterDetailsKind::ChartKindOfWindow(k.WindowKind), k.ChartKind);
        EXPECT_EQ(TMasterDetailsKind::WindowName(k.ChartKind), k.Name);
        EXPECT_EQ(TMasterDetailsKind::HelpContext(k.ChartKind), k.Help);
        EXPECT_EQ(TMasterDetailsKind::Caption(k.ChartKind, nullptr), k.Name);
    }
    for (const int kind : {-1, 5, 8}) {
        EXPECT_EQ(TMasterDetailsKind::WindowKind(kind), -1);
        EXPECT_TRUE(TMasterDetailsKind::WindowName(kind).isEmpty());
        EXPECT_THROW(TMasterDetailsKind::CheckKind(kind), EQuilvaneError);
    }
    // Budgets and the windows of other families show no chart.
    for (const int windowKind : {1, 6, 7, -1})
        EXPECT_EQ(TMasterDetailsKind::ChartKindOfWindow(windowKind), -1);
    EXPECT_EQ(TMasterDetailsKind::ChartOf(nullptr, 1), nullptr);
}

// ---- Selection text ------------------------------------------------------------------------------

TEST_F(MasterSelectionTest, AccountsFollowingEachOtherAreGivenAsRuns) {
    auto plain = AccountsOf({"1000", "1100", "1200", "2000:BNK", "3000", "9000:SUS"});
    // A branch leads the code but sorts last: 01-1000, 02-0500, 3000 in the chart; 0500, 1000,
    // 3000 by code.
    auto branched = AccountsOf({"01-1000", "02-0500", "3000"});
    const struct {
        TAccountsChart* Chart;
        QList<int> Selected;
        const char* Text;
        QList<int> ReadBack;
    } cases[] = {
        {plain.get(), {0, 1, 2, 4}, "1000 to 1200,3000", {0, 1, 2, 4}},
        {plain.get(), {3}, "2000", {3}},
        {plain.get(), {0, 1, 2, 3, 4, 5}, "1000 to 9000", {0, 1, 2, 3, 4, 5}},
        {plain.get(), {0, 2, 4}, "1000,1200,3000", {0, 2, 4}},
        {plain.get(), {5, 0, 1, 1, 99, -1}, "1000 to 1100,9000", {0, 1, 5}}, // order, repeats, strays
        {plain.get(), {}, "", {}},
        // The range 02-0500 to 3000 would take in 01-1000, which was left out.
        {branched.get(), {1, 2}, "02-0500,3000", {1, 2}},
        // 02-0500 sorts before 01-1000: no range from the first to the second exists.
        {branched.get(), {0, 1}, "01-1000,02-0500", {0, 1}},
        {branched.get(), {0, 1, 2}, "01-1000,02-0500 to 3000", {0, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(TMasterSelection::SelectionText(*c.Chart, c.Selected), c.Text);
        EXPECT_EQ(TMasterSelection::IndexesOfText(*c.Chart, c.Text), c.ReadBack);
    }
}

TEST_F(MasterSelectionTest, TypedAccountTextsSelectWhatTheyName) {
    auto chart = AccountsOf({"1000", "1100", "1200", "2000:BNK", "3000", "9000:SUS"});
    const struct {
        const char* Text;
        QList<int> Indexes;
    } cases[] = {
        {" 1000 to 1200 , 3000", {0, 1, 2, 4}},
        {"1150 to 2500", {2, 3}}, // a range of codes, whether its ends are accounts or not
        {"all", {0, 1, 2, 3, 4, 5}},
        {"1000,xyz,1000 to,5555", {0}}, // what names nothing is passed over without a box
        {"2500 to 1150", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TMasterSelection::IndexesOfText(*chart, c.Text), c.Indexes) << c.Text;
}

TEST_F(MasterSelectionTest, OtherChartsJoinTheirKeysByCommas) {
    // Abbreviations order by their numbers: ABC, RENT2, RENT10.
    auto chart = Descriptions({{"RENT10", "Rent ten"}, {"ABC", "A B Cooper"}, {"RENT2", "Rent two"}});
    EXPECT_EQ(TMasterSelection::SelectionText(*chart, {2, 0}), "ABC,RENT10");
    EXPECT_EQ(TMasterSelection::SelectionText(*chart, {1, 2}), "RENT2,RENT10");
    EXPECT_EQ(TMasterSelection::IndexesOfText(*chart, "rent10, abc ,XYZ,"), (QList<int>{0, 2}));
}

// ---- Clipboard ---------------------------------------------------------------------------------

TEST_F(MasterSelectionTest, EachChartKindHasAFormatOfItsOwn) {
    const char* const types[] = {"application/x-quilvane-bank-rec-opening-balances",
                                 "application/x-quilvane-accounts",
                                 "application/x-quilvane-standard-descriptions",
                                 "application/x-quilvane-taxes", "application/x-quilvane-currencies"};
    const char* const names[] = {"QUILVANE Bank Rec. Opening Balances", "QUILVANE Accounts",
                                 "QUILVANE Standard Descriptions", "QUILVANE Taxes", "QUILVANE Currencies"};
    for (int kind = 0; kind < 5; ++kind) {
        EXPECT_EQ(TMasterSelection::MimeType(kind), types[kind]);
        EXPECT_EQ(TMasterSelection::FormatName(kind), names[kind]);
    }
}

TEST_F(MasterSelectionTest, CopiedAccountsPasteIntoAnotherChartWithTheirFields) {
    auto source = AccountsOf({"01-2100-05:ACC:Petty Cash", "2000:BNK:Cheque:AUD", "3000"});
    source->GetAccount(0)->SetBudget(1, 100);
    source->GetAccount(1)->BankDetails->BSBNumber = "062-000";
    source->GetAccount(1)->Balance = 12.5;
    const auto data = TMasterSelection::BuildClipboardData(*source, {1, 0});
    EXPECT_TRUE(TMasterSelection::HoldsChartData(*data, 1));
    EXPECT_FALSE(TMasterSelection::HoldsChartData(*data, 3));
    EXPECT_EQ(data->text(), "01-2100-05\tPetty Cash\t\n2000\tCheque\tBank\n");

    auto target = AccountsOf({"1000"});
    target->Saved = true;
    const auto result = TMasterSelection::Paste(*target, *data);
    EXPECT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    EXPECT_EQ(result.Added, 2);
    EXPECT_EQ(result.AddedKeys, (QStringList{"01-2100-05", "2000"}));
    EXPECT_EQ(Keys(*target), "01-2100-05,1000,2000");
    EXPECT_FALSE(target->Saved);
    // Every stored field arrives: the stored forms agree byte for byte.
    for (const char* code : {"01-2100-05", "2000"})
        EXPECT_EQ(WrittenItem(*target->GetAccount(target->IndexOf(code))),
                  WrittenItem(*source->GetAccount(source->IndexOf(code))))
            << code;
    EXPECT_EQ(target->GetAccount(target->IndexOf("2000"))->GetBankCurrency(), "AUD");

    // Pasting the same again adds nothing and leaves the chart as saved.
    target->Saved = true;
    const auto again = TMasterSelection::Paste(*target, *data);
    EXPECT_EQ(std::tuple(again.Added, again.Skipped, again.Refused), std::tuple(0, 2, 0));
    EXPECT_TRUE(target->Saved);
    EXPECT_EQ(TMasterSelection::PasteReport(1, again), "2 Accounts already held were not pasted.");
}

TEST_F(MasterSelectionTest, APastedAccountNeverBecomesASecondDefault) {
    auto source = AccountsOf({"9000:SUS"});
    source->EnsureSuspenseAccount();
    ASSERT_TRUE(source->GetAccount(0)->IsDefault());
    auto target = AccountsOf({"9100:SUS"});
    target->EnsureSuspenseAccount();
    TMasterSelection::Paste(*target, *TMasterSelection::BuildClipboardData(*source, {0}));
    EXPECT_EQ(Keys(*target), "9000,9100");
    EXPECT_EQ(target->DefaultSuspenseAccount(), 1);
    EXPECT_FALSE(target->GetAccount(0)->IsDefault());
}

TEST_F(MasterSelectionTest, DataOfAnotherKindFormatOrDamagedIsNotPasted) {
    auto accounts = AccountsOf({"1000", "2000:BNK"});
    const auto data = TMasterSelection::BuildClipboardData(*accounts, {0, 1});

    auto taxes = Taxes(accounts.get());
    EXPECT_EQ(TMasterSelection::Paste(*taxes, *data).Error, "The clipboard holds no Taxes.");
    EXPECT_EQ(taxes->Count(), 0);

    // Account codes mean something only in the format they were copied from.
    TChartEntity other = Entity;
    other.AccFormatID = "BRANCHKEY";
    TAccountsChart foreign(other, Format(), TOptionSet{}, 2006);
    foreign.AddAccount(Account("3000"));
    auto target = AccountsOf({});
    EXPECT_EQ(TMasterSelection::Paste(*target, *TMasterSelection::BuildClipboardData(foreign, {0})).Error,
              "The Accounts on the clipboard were copied from a file of the account format BRANCHKEY and "
              "cannot be pasted into a file of the account format QUILVANE.");
    EXPECT_EQ(target->Count(), 0);

    // The first account is whole, the end is cut off: nothing at all is pasted.
    QMimeData damaged;
    const QByteArray bytes = data->data(TMasterSelection::MimeType(1));
    damaged.setData(TMasterSelection::MimeType(1), bytes.left(bytes.size() - 3));
    const auto result = TMasterSelection::Paste(*target, damaged);
    EXPECT_EQ(result.Error, "The Accounts on the clipboard cannot be read (Stream read error).");
    EXPECT_EQ(result.Added, 0);
    EXPECT_EQ(target->Count(), 0);
    EXPECT_TRUE(target->Saved);

    QMimeData textOnly;
    textOnly.setText("1000\tSales");
    EXPECT_FALSE(TMasterSelection::HoldsChartData(textOnly, 1));
    EXPECT_EQ(TMasterSelection::Paste(*target, textOnly).Error, "The clipboard holds no Accounts.");
}

TEST_F(MasterSelectionTest, DescriptionsPasteWhateverTheFormatAndHeldOnesStay) {
    TChartEntity other = Entity;
    other.AccFormatID = "BRANCHKEY";
    auto source = Descriptions({{"ABC", "A B Cooper"}, {"RENT2", "Rent\tof two"}}, &other);
    const auto data = TMasterSelection::BuildClipboardData(*source, {0, 1});
    EXPECT_EQ(data->text(), "ABC\tA B Cooper\nRENT2\tRent of two\n");

    auto target = Descriptions({{"abc", "Our own"}});
    const auto result = TMasterSelection::Paste(*target, *data);
    EXPECT_EQ(std::tuple(result.Added, result.Skipped, result.Refused), std::tuple(1, 1, 0));
    EXPECT_EQ(Keys(*target), "abc,RENT2");
    EXPECT_EQ(target->GetStdDescription(0)->Description, "Our own");
    EXPECT_EQ(target->GetStdDescription(1)->Description, "Rent\tof two");
    EXPECT_EQ(TMasterSelection::PasteReport(2, result),
              "1 Standard Description already held was not pasted.");
}

TEST_F(MasterSelectionTest, PastedTaxCodesFitTheChartTheyJoin) {
    auto sourceAccounts = AccountsOf({"5555"});
    auto source = Taxes(sourceAccounts.get());
    auto gst = Rate("GST", "5555", 10.0, "Goods and Services Tax");
    gst->SetBASSections("G2,G7");
    source->AddItem(std::move(gst));
    ASSERT_EQ(source->GetTaxRate(0)->TaxType, 0);

    auto accounts = AccountsOf({"2100"});
    accounts->EnsureSuspenseAccount();
    auto target = Taxes(accounts.get());
    target->AddItem(Rate("FRE", "2100", 0.0));
    const auto result = TMasterSelection::Paste(*target, *TMasterSelection::BuildClipboardData(*source, {0}));
    ASSERT_EQ(result.Added, 1);
    const TTaxRate* pasted = target->GetTaxRate(target->IndexOf("GST"));
    EXPECT_EQ(pasted->TaxType, 1);                  // bit 0 is the chart's own FRE
    EXPECT_EQ(pasted->GetTaxAccountText(), "9000"); // 5555 is no account of the year
    EXPECT_EQ(pasted->Tax_Description + "|" + pasted->BAS + "|" + pasted->GetTaxRateText(),
              "Goods and Services Tax|G2,G7|10.00");

    // A chart of 32 codes takes no more.
    auto full = Taxes(accounts.get());
    for (int i = 0; i < TTaxRateChart::MaxTaxCodes; ++i)
        full->AddItem(Rate(QStringLiteral("T%1").arg(i), "2100"));
    const auto refused = TMasterSelection::Paste(*full, *TMasterSelection::BuildClipboardData(*source, {0}));
    EXPECT_EQ(std::tuple(refused.Added, refused.Skipped, refused.Refused), std::tuple(0, 0, 1));
    EXPECT_EQ(TMasterSelection::PasteReport(3, refused), "1 Tax could not be added.");
}

TEST_F(MasterSelectionTest, APastedBankReconciliationStartsOverForABankAccountOnly) {
    auto sourceAccounts = AccountsOf({"2000:BNK", "2100:BNK"});
    TBankRecOpeningDetailChart source(Entity, sourceAccounts.get(), Format(), TOptionSet{}, 2006);
    source.SeedDetails(source.BankAccounts());
    for (int i = 0; i < source.Count(); ++i) {
        TBRecOpeningDetail* detail = source.GetDetail(i);
        detail->Cashbook_Open_Bal = 100.0 + i;
        detail->Slot = 7 + i;
        detail->PeriodEnd = 732158.0;
        detail->SetCompleted(true);
    }

    auto accounts = AccountsOf({"2000", "2100:BNK::USD"}); // 2000 is no bank account here
    TBankRecOpeningDetailChart target(Entity, accounts.get(), Format(), TOptionSet{}, 2006);
    const auto result =
        TMasterSelection::Paste(target, *TMasterSelection::BuildClipboardData(source, {0, 1}));
    EXPECT_EQ(std::tuple(result.Added, result.Skipped, result.Refused), std::tuple(1, 0, 1));
    ASSERT_EQ(Keys(target), "2100");
    const TBRecOpeningDetail* detail = target.GetDetail(0);
    EXPECT_EQ(detail->Cashbook_Open_Bal, 101.0);
    EXPECT_EQ(detail->Currency, "USD");
    EXPECT_FALSE(detail->Completed);
    EXPECT_EQ(detail->GetReconciledToText(), "Not Reconciled");
    EXPECT_EQ(detail->Slot, 0); // the lowest free slot of this chart, with its own files
    EXPECT_TRUE(detail->UnmatchedFile.endsWith("ABC12306.RU0")) << detail->UnmatchedFile.toStdString();
    EXPECT_FALSE(target.Saved);
}

// ---- Deleting ------------------------------------------------------------------------------------

TEST_F(MasterSelectionTest, DeletingKeepsADefaultSuspenseAccount) {
    auto chart = AccountsOf({"1000", "2000:BNK", "9000:SUS"});
    chart->EnsureSuspenseAccount();
    chart->Saved = true;
    EXPECT_EQ(TMasterSelection::DeleteItems(*chart, {2, 0, 7, 0}), 2);
    EXPECT_EQ(Keys(*chart), "2000,9000");
    EXPECT_EQ(chart->DefaultSuspenseAccount(), 1);
    EXPECT_FALSE(chart->Saved);

    auto descriptions = Descriptions({{"ABC", "A B Cooper"}});
    descriptions->Saved = true;
    EXPECT_EQ(TMasterSelection::DeleteItems(*descriptions, {}), 0);
    EXPECT_TRUE(descriptions->Saved);
}

TEST(MasterSelectionTextsTest, QuestionsAndReportsNameTheChartsItems) {
    EXPECT_EQ(TMasterSelection::DeleteQuestion(3, 1), "Delete the selected Tax ?");
    EXPECT_EQ(TMasterSelection::DeleteQuestion(1, 3), "Delete the 3 selected Accounts ?");
    EXPECT_EQ(TMasterSelection::NoDataText(4), "The clipboard holds no Currencies.");
    TMasterSelection::TPasteResult result;
    EXPECT_EQ(TMasterSelection::PasteReport(0, result), "");
    result.Skipped = 1;
    result.Refused = 2;
    EXPECT_EQ(
        TMasterSelection::PasteReport(0, result),
        "1 Bank Rec. Opening Balance already held was not pasted.\r2 Bank Rec. Opening Balances could not be "
        "added.");
}

// ---- Model -----------------------------------------------------------------------------------------

// No balance column: the chart's working balances are those of no run (the runs of reports and
// processes work on copies of the chart), so they would show 0.00 whatever the books hold.
TEST_F(MasterChartModelTest, AccountsShowCodeDescriptionAndType) {
    auto chart = AccountsOf({"01-2100-05:ACC:Petty Cash", "2000:BNK:Cheque", "9000:SUS:Suspense"});
    chart->EnsureSuspenseAccount();
    chart->GetAccount(1)->Balance = -1234.5;
    chart->GetAccount(2)->Balance = 1234567.891;
    TMasterChartModel model;
    model.SetChart(1, chart.get());
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(TMasterChartModel::ColumnTitles(1),
              (QStringList{"Account Code", "Account Description", "Account Type"}));
    const QStringList expected[] = {{"01-2100-05", QString::fromUtf8("  \u00B7 Petty Cash"), ""},
                                    {"2000", "Cheque", "Bank"},
                                    {"9000", "Suspense", "Suspense (Def)"}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(model.data(model.index(row, column)).toString(), expected[row].value(column))
                << row << "," << column;
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
              Qt::Alignment());
    // Read straight from the chart: a change shows without copying anything.
    chart->GetAccount(0)->Description = "Float";
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QString::fromUtf8("  \u00B7 Float"));
    EXPECT_EQ(TMasterChartModel::PlainTexts(*chart, 0), (QStringList{"01-2100-05", "Float", ""}));
}

TEST_F(MasterChartModelTest, TaxesShowCodeDescriptionRateAndAccount) {
    auto accounts = AccountsOf({"2100"});
    auto chart = Taxes(accounts.get());
    chart->AddItem(Rate("GST", "2100", 10.0, "Goods and Services Tax"));
    chart->AddItem(Rate("FRE", "01-2100-05", 0.0, "GST Free"));
    TMasterChartModel model;
    model.SetChart(3, chart.get());
    EXPECT_EQ(TMasterChartModel::ColumnTitles(3),
              (QStringList{"Tax Code", "Tax Description", "Tax Rate", "Tax Account"}));
    ASSERT_EQ(model.rowCount(), 2);
    QStringList cells;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.data(model.index(row, column)).toString();
    EXPECT_EQ(cells.join("|"), "FRE|GST Free|0.00|01-2100-05|GST|Goods and Services Tax|10.00|2100");
}

TEST_F(MasterChartModelTest, AChartThatIsGoneIsNeverRead) {
    auto chart = AccountsOf({"1000", "2000"});
    TMasterChart* shown = chart.get();
    TMasterChartModel model;
    model.SetChartSource(1, [&shown] { return shown; });
    EXPECT_EQ(model.rowCount(), 2);
    shown = nullptr; // the file was closed behind the window
    chart.reset();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "");
    EXPECT_EQ(model.columnCount(), 3);

    // A chart of another kind is not shown as this one; rows beyond the chart read empty.
    auto descriptions = Descriptions({{"ABC", "A B Cooper"}});
    shown = descriptions.get();
    EXPECT_EQ(model.Chart(), nullptr);
    EXPECT_EQ(TMasterChartModel::CellText(*descriptions, 1, 0), "");
    EXPECT_EQ(TMasterChartModel::CellText(*descriptions, 0, 5), "");
    EXPECT_THROW(model.SetChart(5, nullptr), EQuilvaneError);
}

// ---- Window ------------------------------------------------------------------------------------------

// File ABC123 (year to June 2006, "Acme") open on the desktop with three accounts.
class MasterDetailsWindowTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF",
                                   StoredChart("accounts", "header", {"sub-account", "bank", "suspense"})));
        auto file = TEntityInfo::Create("ABC123", {Standard, Load});
        file->OpenYear();
        ASSERT_EQ(Files.Add(file), 0);
        QGuiApplication::clipboard()->clear();
    }
    TAccountsChart& Accounts() const { return *Files.File(0)->AccountsChart(2006); }
    static QStringList Texts(const QList<TScriptedPrompt::TShown>& shown) {
        QStringList texts;
        for (const auto& box : shown)
            texts << box.Text;
        return texts;
    }

    // In the lookup dialog being shown: a step of the test, then a click on a button. A lookup
    // that is not there is closed all the same, so the test never waits for ever.
    static void ClickInLookup(const char* button, const std::function<void(QDialog&)>& step = {}) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (!dialog || !dialog->isVisible() || dialog->objectName() != "dlgMasterDetails")
                continue;
            if (step)
                step(*dialog);
            dialog->findChild<QPushButton*>(button)->click();
            return;
        }
        ADD_FAILURE() << "No lookup dialog is shown";
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    }

    TDesktopFiles Files;
};

TEST_F(MasterDetailsWindowTest, SetupShowsTheActiveFilesChartAndFollowsTheActiveFile) {
    TfmMasterDetails window;
    window.Setup(1, Files, QString(), false, false, 0);
    EXPECT_EQ(window.objectName(), "TfmMasterDetails");
    EXPECT_EQ(window.property("WindowKind").toInt(), 0);
    EXPECT_EQ(window.GetChartKind(), 1);
    EXPECT_FALSE(window.GetSelectMode());
    EXPECT_EQ(window.windowTitle(), "Accounts - ABC123 (2006) - Acme");
    EXPECT_EQ(window.Placement().IniSection(), "Accounts");
    EXPECT_EQ(window.HelpContext(), 4000);
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.Grid()->selectionMode(), QAbstractItemView::ExtendedSelection); // Edit commands
    EXPECT_EQ(window.Chart(), &Accounts());
    ASSERT_EQ(window.Model().rowCount(), 3);
    EXPECT_TRUE(window.HasItems());

    window.ActiveFileChanged(-1);
    EXPECT_EQ(window.windowTitle(), "Accounts");
    EXPECT_EQ(window.Model().rowCount(), 0);
    EXPECT_FALSE(window.HasItems());
    EXPECT_EQ(window.GetSelectionText(), "");

    // The bank-reconciliation opening balances are those of the run that set them.
    TfmMasterDetails bankRec;
    bankRec.Setup(0, Files, QString(), false, false, 0);
    EXPECT_EQ(bankRec.property("WindowKind").toInt(), 5);
    EXPECT_EQ(bankRec.Placement().IniSection(), "Bank Reconciliation Opening Balances");
    EXPECT_EQ(bankRec.Model().rowCount(), 0);
    TEntityInfo& file = *Files.File(0);
    auto chart = std::make_unique<TBankRecOpeningDetailChart>(Accounts().Entity, &Accounts(), nullptr,
                                                              TOptionSet{}, 2006);
    chart->SeedDetails(chart->BankAccounts());
    file.SetBankRecOpeningChart(std::move(chart));
    bankRec.ActiveFileChanged(0);
    EXPECT_EQ(bankRec.Model().rowCount(), 1);
    EXPECT_EQ(bankRec.Model().data(bankRec.Model().index(0, 0)).toString(), "2000");

    EXPECT_THROW(bankRec.Setup(7, Files, QString(), false, false, 0), EQuilvaneError);
}

TEST_F(MasterDetailsWindowTest, CutAsksFirstAndPasteBringsTheAccountsBack) {
    TfmMasterDetails window;
    window.Setup(1, Files, QString(), true, false, 0);
    EXPECT_FALSE(window.ClipboardHasData(false));
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(window.ClipboardHasData(true));
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "The clipboard holds no Accounts.");
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 4000);
    EXPECT_EQ(Prompt->Beeps.last(), TBeep::Information);

    window.SelectIndexes({0, 1}); // 01-2100-05 and 2000
    Prompt->Answer(TMessageButton::No);
    window.CutToClipboard();
    EXPECT_EQ(Accounts().Count(), 3);
    EXPECT_FALSE(window.ClipboardHasData(false));

    Accounts().Saved = true;
    Prompt->Answer(TMessageButton::Yes);
    window.CutToClipboard();
    EXPECT_EQ(Texts(Prompt->Shown).mid(1),
              (QStringList{"Delete the 2 selected Accounts ?", "Delete the 2 selected Accounts ?"}));
    EXPECT_EQ(Prompt->Beeps.last(), TBeep::Question);
    EXPECT_EQ(Keys(Accounts()), "9000");
    EXPECT_FALSE(Accounts().Saved);
    EXPECT_EQ(window.Model().rowCount(), 1);
    EXPECT_TRUE(window.ClipboardHasData(false));

    window.PasteFromClipboard();
    EXPECT_EQ(Keys(Accounts()), "01-2100-05,2000,9000");
    // The pasted accounts are selected; 01-2100-05 sorts after 2000, so they make no run.
    EXPECT_EQ(window.GetSelectionText(), "01-2100-05,2000");

    Prompt->Answer(TMessageButton::OK);
    window.PasteFromClipboard();
    EXPECT_EQ(Prompt->Shown.last().Text, "2 Accounts already held were not pasted.");
    EXPECT_EQ(Accounts().Count(), 3);

    window.SelectAll();
    window.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->text().count(u'\n'), 3);
}

TEST_F(MasterDetailsWindowTest, SelectModeHandsBackTheChosenKeys) {
    TfmMasterDetails window;
    window.Setup(1, Files, "2000, 9000", false, true, 0);
    EXPECT_TRUE(window.GetSelectMode());
    EXPECT_EQ(window.Grid()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(window.GetSelectionText(), "2000"); // one key only
    // The Edit commands that change the chart do nothing in a lookup.
    window.CutToClipboard();
    EXPECT_EQ(Accounts().Count(), 3);

    TfmMasterDetails several;
    several.Setup(1, Files, "2000, 9000", true, true, 0);
    EXPECT_EQ(several.GetSelectionText(), "2000,9000"); // 01-2100-05 sorts between them

    // The modal lookup: the user picks the first account and presses OK.
    QTimer::singleShot(0, [] {
        ClickInLookup("btnOK", [](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Accounts - ABC123 (2006) - Acme");
            dialog.findChild<TfmMasterDetails*>()->SelectIndexes({0});
        });
    });
    QString selection;
    EXPECT_TRUE(TfmMasterDetails::Select(1, Files, 0, "9000", false, selection, nullptr));
    EXPECT_EQ(selection, "01-2100-05");

    QTimer::singleShot(0, [] { ClickInLookup("btnCancel"); });
    selection = "unchanged";
    EXPECT_FALSE(TfmMasterDetails::Select(1, Files, 0, "9000", false, selection, nullptr));
    EXPECT_EQ(selection, "unchanged");
}

} // namespace
