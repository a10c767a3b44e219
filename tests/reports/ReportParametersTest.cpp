// The transfer selection word, the rules of the run-parameter window and the window itself.

#include "reports/parameters/ReportParameters.h"
#include "controls/small/AsUrlLabel.h"
#include "controls/small/GroupBoxMultiSelect.h"
#include "core/accounts/AccountGroups.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/RunParams.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ReportVocabulary.h"
#include "reports/parameters/TransferSelection.h"
#include "tests/support/LayoutHolds.h"
#include "tests/core/ChartTestSupport.h"
#include "tests/support/BandDrag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

using TField = TReportParametersModel::TField;
using TS = TTransferSelection;

// ---- Selection word ------------------------------------------------------------------------------

TEST(TransferSelectionTest, EachGroupOwnsFourBitsIncludeThenModes) {
    const struct {
        int Group;
        bool Include;
        int Mode;
        quint32 Word;
    } cases[] = {
        {tgTransactions, true, tmUpdate, (1u << 28) | (1u << 31)}, // transactions appended
        {tgAccounts, true, tmReplace, 0x3u},
        {tgTaxRates, false, tmMerge, 1u << 14}, // a mode kept while the group is left out
        {tgReportLayouts, true, tmNone, 1u << 20},
        {tgReportFormats, true, tmUpdate, 0x9u << 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Group);
        EXPECT_EQ(TS::Set(0, c.Group, c.Include, c.Mode), c.Word);
        EXPECT_EQ(TS::Included(c.Word, c.Group), c.Include);
        EXPECT_EQ(TS::Mode(c.Word, c.Group), c.Mode);
    }
}

TEST(TransferSelectionTest, SettingAGroupRoundTripsAndLeavesTheOthersAlone) {
    const quint32 busy = 0xA5C3F00Fu;
    for (int group = 0; group < TS::GroupCount; ++group)
        for (const bool include : {false, true})
            for (int mode = tmNone; mode <= tmUpdate; ++mode) {
                SCOPED_TRACE(testing::Message() << group << include << mode);
                const quint32 word = TS::Encode(busy, group, {include, mode});
                EXPECT_EQ(TS::Decode(word, group), (TS::TChoice{include, mode}));
                const quint32 others = ~(0xFu << (4 * group));
                EXPECT_EQ(word & others, busy & others);
            }
}

TEST(TransferSelectionTest, ModesNamesAndLoadOptions) {
    // Two mode bits (a word made elsewhere): the lowest counts.
    EXPECT_EQ(TS::Mode(0x6u, tgAccounts), tmReplace);
    EXPECT_EQ(TS::Mode(0x1u, tgAccounts), tmNone);
    EXPECT_FALSE(TS::AnyIncluded(0xEEEEEEEEu)); // every mode bit, no include bit
    EXPECT_TRUE(TS::AnyIncluded(1u << 28));
    EXPECT_EQ(TS::GroupModes(tgTransactions), (QList<int>{tmReplace, tmUpdate}));
    EXPECT_EQ(TS::GroupModes(tgBankRecOpening), (QList<int>{tmReplace, tmMerge, tmUpdate}));
    EXPECT_FALSE(TS::ModeAllowed(tgTransactions, tmMerge));
    EXPECT_EQ(TS::ModeName(tgTransactions, tmUpdate), "Append");
    EXPECT_EQ(TS::ModeName(tgStdDescriptions, tmUpdate), "Update");
    EXPECT_EQ(TS::GroupName(tgBankRecOpening), "Bank Rec. Opening Balances");
    EXPECT_EQ(TS::GroupName(tgTransactions), "Transactions");

    const quint32 word =
        TS::Set(TS::Set(TS::Set(0, tgTaxRates, true, tmMerge), tgCurrencyRates, true, tmUpdate), tgAccounts,
                true, tmReplace);
    EXPECT_EQ(TS::LoadOptions(word, tgTaxRates), (TOptionSet{Option::Standard, Option::MergeLoad}));
    EXPECT_EQ(TS::LoadOptions(word, tgCurrencyRates), (TOptionSet{Option::Standard, Option::MergeReplace}));
    EXPECT_EQ(TS::LoadOptions(word, tgAccounts), (TOptionSet{Option::Standard}));

    EXPECT_THROW(TS::Set(0, 8, true, tmReplace), EQuilvaneError);
    EXPECT_THROW(TS::Set(0, -1, true, tmReplace), EQuilvaneError);
    EXPECT_THROW(TS::Set(0, tgAccounts, true, 4), EQuilvaneError);
    EXPECT_THROW(TS::Included(0, 8), EQuilvaneError);
}

// ---- Model ---------------------------------------------------------------------------------------

// A 2006 year ending in June (12 periods) with two bank accounts, and run blocks of its processes.
class ReportParametersTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Params->LicFilePath = Temp.path();
        Detail = TEntityDetail::Create("ABC123", {Option::NoLock});
        Detail->DataDir = Temp.path();
        Detail->Year = 2006;
        Detail->Periods = 12;
        Detail->EndMonth = 6;
        Accounts = AccountsOf({"1000", "2000:BNK:Cheque Account", "2100:BNK", "9100:SUS", "4000"});
        File = {nullptr, Detail.get(), Accounts.get(), nullptr, nullptr, nullptr, &BankRec};
    }
    std::unique_ptr<TReportSetup> Run(int process) {
        return std::make_unique<TReportSetup>(File, 0, process, 2006, false);
    }
    TReportParametersModel Loaded(const TReportSetup& setup, const QString& format = {}) {
        TReportParametersModel model;
        model.Load(setup, format);
        return model;
    }
    static double Day(int year, int month, int day) { return EncodeDateNum(year, month, day); }
    QString ExistingFile() {
        Write("IMPORT/STATEMENT.QIF", "!Type:Bank\r\n");
        return TempPath("IMPORT/STATEMENT.QIF");
    }

    std::unique_ptr<TEntityDetail> Detail;
    std::unique_ptr<TAccountsChart> Accounts;
    std::unique_ptr<TBankRecOpeningDetailChart> BankRec;
    TRunFile File;
};

TEST_F(ReportParametersTest, EachProcessShowsItsFields) {
    const std::pair<int, unsigned> cases[] = {
        {1, TField::fdPeriodRange | TField::fdFileName | TField::fdExportFormat},
        {2, TField::fdDateRange | TField::fdBankAccount | TField::fdFileName},
        {7, TField::fdTransfer | TField::fdPeriodRange | TField::fdPageKinds},
        {8, TField::fdTransfer | TField::fdPeriodRange | TField::fdPageKinds},
        {13, TField::fdDateRange | TField::fdBankAccount},
        {22, TField::fdDateRange | TField::fdFileName},
        {6, TField::fdNone},
        {10, TField::fdNone},
    };
    for (const auto& [process, fields] : cases) {
        SCOPED_TRACE(process);
        EXPECT_EQ(TReportParametersModel::FieldsOf(process), fields);
    }
    TReportParametersModel model;
    EXPECT_THROW(model.Load(*Run(10)), EQuilvaneError);
}

TEST_F(ReportParametersTest, TransferInStartsFromTheBlockAndItsDefaults) {
    // From the accountant everything replaces; from a client the accountant's own opening
    // balances and report definitions stay out and the client's master data merges.
    const auto fromAccountant = Loaded(*Run(8));
    EXPECT_EQ(fromAccountant.Selection(), 0x33333333u);
    EXPECT_EQ(fromAccountant.OfferedPageKinds(), 0x3FFF);
    EXPECT_EQ(fromAccountant.PageKinds(), 0x3FFF);
    EXPECT_EQ(std::pair(fromAccountant.FromPeriod(), fromAccountant.ToPeriod()), std::pair(1, 12));

    const auto fromClient = Loaded(*Run(7));
    EXPECT_EQ(fromClient.Selection(), 0x32255525u);
    EXPECT_TRUE(fromClient.Included(tgTransactions));
    EXPECT_EQ(fromClient.Mode(tgTransactions), tmReplace);
    EXPECT_FALSE(fromClient.Included(tgReportLayouts));
    // The kinds the block dropped are offered, unticked.
    EXPECT_EQ(fromClient.OfferedPageKinds(), 0x3FFF);
    EXPECT_EQ(fromClient.PageKinds(), 0x33F6);
    EXPECT_EQ(fromClient.PeriodNames().first(), "Jul 2005");
    EXPECT_EQ(fromClient.PeriodNames().last(), "Jun 2006");

    // A block that already holds a selection keeps it.
    const auto chosen = Run(8);
    chosen->TransferSelection = TS::Set(0, tgCurrencyRates, true, tmUpdate);
    EXPECT_EQ(Loaded(*chosen).Selection(), 0x90000u);
}

TEST_F(ReportParametersTest, TransferInFillsTheBlock) {
    const auto setup = Run(7);
    auto model = Loaded(*setup);
    model.SetIncluded(tgReportFormats, true);
    model.SetMode(tgReportFormats, tmUpdate);
    model.SetMode(tgTransactions, tmUpdate);
    model.SetIncluded(tgAccounts, false);
    model.SetFromPeriod(3);
    model.SetToPeriod(5);
    model.SetPageKind(pkOpeningBalances, true);
    model.SetPageKind(pkPayments, false);
    model.Fill(*setup);

    // 0x32255525 with formats included for Update, transactions appended, accounts left out.
    EXPECT_EQ(setup->TransferSelection, 0x99255524u);
    EXPECT_EQ(std::tuple(setup->FromPeriod, setup->ToPeriod), std::tuple(3, 5));
    EXPECT_EQ(std::tuple(setup->FromDate, setup->ToDate), std::tuple(Day(2005, 9, 1), Day(2005, 11, 30)));
    EXPECT_EQ(setup->PageKinds, 0x33F5);
    EXPECT_EQ(setup->StartPageKinds, 0x3FFF);

    EXPECT_THROW(model.SetMode(tgTransactions, tmMerge), EQuilvaneError);
    EXPECT_THROW(model.SetPageKind(pkDeletedTransactions, true), EQuilvaneError);
    EXPECT_THROW(model.SetFromPeriod(13), EQuilvaneError);
    EXPECT_THROW(model.Fill(*Run(8)), EQuilvaneError); // chosen for another process
}

TEST_F(ReportParametersTest, TransferInRefusesAnEmptyChoice) {
    const auto setup = Run(8);
    auto model = Loaded(*setup);
    model.SetFromPeriod(6);
    model.SetToPeriod(2);
    EXPECT_EQ(model.Validate().Text, TReportParametersModel::PeriodOrderText);
    EXPECT_EQ(model.Validate().Field, TField::fdPeriodRange);
    // Without the transactions the periods and pages do not matter.
    model.SetIncluded(tgTransactions, false);
    EXPECT_FALSE(model.TransactionChoicesEnabled());
    EXPECT_FALSE(model.Validate());
    model.SetIncluded(tgTransactions, true);
    model.SetToPeriod(6);
    for (int kind = 0; kind <= pkStandardBankTransactions; ++kind)
        model.SetPageKind(kind, false);
    EXPECT_EQ(model.Validate().Text, TReportParametersModel::NoPageKindText);

    for (int group = 0; group < TS::GroupCount; ++group)
        model.SetIncluded(group, false);
    EXPECT_EQ(model.Validate().Text, "Select at least one item to transfer.");
    const quint16 before = setup->PageKinds;
    EXPECT_THROW(model.Fill(*setup), EQuilvaneError);
    EXPECT_EQ(setup->PageKinds, before);
}

TEST_F(ReportParametersTest, BankStatementImportNeedsItsAccountDatesAndFile) {
    const auto setup = Run(2);
    auto model = Loaded(*setup);
    EXPECT_EQ(model.BankAccounts().size(), 2);
    EXPECT_EQ(TReportParametersModel::BankAccountText(model.BankAccounts()[0]), "2000 - Cheque Account");
    EXPECT_EQ(TReportParametersModel::BankAccountText(model.BankAccounts()[1]), "2100");
    EXPECT_EQ(model.BankIndex(), -1);
    EXPECT_EQ(std::pair(model.FromDate(), model.ToDate()), std::pair(Day(2005, 7, 1), Day(2006, 6, 30)));

    model.SetFromDate(Day(2005, 6, 30)); // a day before the year
    EXPECT_EQ(model.Validate().Text,
              "The dates must lie within the 2006 financial year (01/07/2005 to 30/06/2006).");
    model.SetFromDate(Day(2006, 2, 1));
    model.SetToDate(Day(2006, 1, 31));
    EXPECT_EQ(model.Validate().Text, TReportParametersModel::DateOrderText);
    model.SetToDate(Day(2006, 3, 15));
    EXPECT_EQ(model.Validate().Text, "Select the bank account.");
    model.SetBankIndex(1);
    // The run starts in the file's data folder (no import format names a file here).
    EXPECT_TRUE(model.Validate().Text.startsWith("The file ")) << model.Validate().Text.toStdString();
    model.SetFileName(QString());
    EXPECT_EQ(model.Validate().Text, "File Name cannot be blank");
    model.SetFileName(TempPath("IMPORT/NONE.QIF"));
    EXPECT_EQ(model.Validate().Text, "The file " + TempPath("IMPORT/NONE.QIF") + " does not exist.");
    EXPECT_EQ(model.Validate().Field, TField::fdFileName);
    model.SetFileName(ExistingFile());
    ASSERT_FALSE(model.Validate()) << model.Validate().Text.toStdString();
    EXPECT_THROW(model.SetBankIndex(2), EQuilvaneError);

    model.Fill(*setup);
    EXPECT_EQ(std::tuple(setup->FromDate, setup->ToDate), std::tuple(Day(2006, 2, 1), Day(2006, 3, 15)));
    EXPECT_EQ(std::tuple(setup->FromPeriod, setup->ToPeriod), std::tuple(8, 9));
    EXPECT_EQ(setup->BankGroupsText, "2100");
    ASSERT_TRUE(setup->BankGroups);
    EXPECT_TRUE(setup->BankGroups->Contains(Code("2100")));
    EXPECT_FALSE(setup->BankGroups->Contains(Code("2000")));
    EXPECT_EQ(setup->OutputText, ExistingFile());
}

TEST_F(ReportParametersTest, TransferOfBankEntriesKeepsAllAccountsUnlessOneIsChosen) {
    const auto setup = Run(13);
    auto model = Loaded(*setup);
    EXPECT_TRUE(model.AllBankAccountsAllowed());
    EXPECT_EQ(model.BankIndex(), -1);
    ASSERT_FALSE(model.Validate());
    model.Fill(*setup);
    EXPECT_EQ(setup->BankGroupsText, "2000,2100");
    EXPECT_EQ(setup->PageKinds, 0x0300);

    model.SetBankIndex(0);
    model.Fill(*setup);
    EXPECT_EQ(setup->BankGroupsText, "2000");
}

TEST_F(ReportParametersTest, ExportTakesThePeriodsFileAndFormat) {
    const auto setup = Run(1);
    EXPECT_EQ(Loaded(*setup, "no such format").ExportFormat(), 0);
    auto model = Loaded(*setup, "HandiLedger (GST)");
    EXPECT_EQ(model.ExportFormat(), 5);
    EXPECT_EQ(model.FileName(), setup->OutputText); // the block's path, file code and year
    model.SetFileName("  ");
    EXPECT_EQ(model.Validate().Text, TReportParametersModel::NoFileNameText);
    model.SetFileName(TempPath("EXPORT/ABC12306.HLR")); // written by the export: need not exist
    model.SetFromPeriod(12);
    model.SetToPeriod(12);
    model.SetExportFormat(8);
    EXPECT_THROW(model.SetExportFormat(ExportFormatCount), EQuilvaneError);
    ASSERT_FALSE(model.Validate());
    model.Fill(*setup);
    EXPECT_EQ(std::tuple(setup->FromDate, setup->ToDate), std::tuple(Day(2006, 6, 1), Day(2006, 6, 30)));
    EXPECT_EQ(setup->FileFormat, 8);
    EXPECT_EQ(setup->OutputText, TempPath("EXPORT/ABC12306.HLR"));
}

// ---- Window --------------------------------------------------------------------------------------

TEST_F(ReportParametersTest, WindowTicksGroupsAndLeavesTheChoicesInTheBlock) {
    const auto setup = Run(8);
    TfmReportParameters window;
    ASSERT_TRUE(window.Setup(*setup));
    EXPECT_EQ(window.windowTitle(), "Transfer Data from Accountant - ABC123 (2006 Financial Year)");
    EXPECT_TRUE(window.GroupBox(tgAccounts)->isChecked());
    EXPECT_TRUE(window.FileNameEdit()->isHidden());
    EXPECT_EQ(window.ModeBox(tgTransactions)->count(), 2);

    window.GroupBox(tgBankRecOpening)->click();
    EXPECT_FALSE(window.ModeBox(tgBankRecOpening)->isEnabled());
    window.ModeBox(tgStdDescriptions)->setCurrentIndex(window.ModeBox(tgStdDescriptions)->findText("Merge"));
    window.ModeBox(tgTransactions)->setCurrentIndex(window.ModeBox(tgTransactions)->findText("Append"));
    window.PageKindBox(pkOpeningBalances)->click();
    window.FromPeriodBox()->setCurrentIndex(1);
    window.ToPeriodBox()->setCurrentIndex(2);
    window.OKButton()->click();

    EXPECT_EQ(window.result(), QDialog::Accepted);
    quint32 expected = 0x33333333u;
    expected = TS::Set(expected, tgBankRecOpening, false, tmReplace);
    expected = TS::Set(expected, tgStdDescriptions, true, tmMerge);
    expected = TS::Set(expected, tgTransactions, true, tmUpdate);
    EXPECT_EQ(setup->TransferSelection, expected);
    EXPECT_EQ(setup->PageKinds, 0x3FFE);
    EXPECT_EQ(std::tuple(setup->FromPeriod, setup->ToPeriod), std::tuple(2, 3));
    EXPECT_TRUE(Hooked->Shown.isEmpty());
}

// Every field sits in a layout of the window: none is left lying over another at its corner.
TEST_F(ReportParametersTest, WindowFieldsAreAllLaidOut) {
    TfmReportParameters window;
    ASSERT_TRUE(window.Setup(*Run(7)));
    const QWidget* fields[] = {window.FromPeriodBox(),    window.ToPeriodBox(),  window.BankAccountBox(),
                               window.FileNameEdit(),     window.FileNameLabel(), window.ExportFormatBox(),
                               window.GroupBox(tgAccounts), window.ModeBox(tgAccounts),
                               window.PageKindBox(pkPayments), window.OKButton()};
    for (const QWidget* field : fields)
        EXPECT_TRUE(LayoutHolds(window.layout(), field)) << field->objectName().toStdString();
}

TEST_F(ReportParametersTest, WindowRefusesAnEmptyTransferAndStaysOpen) {
    const auto setup = Run(7);
    TfmReportParameters window;
    ASSERT_TRUE(window.Setup(*setup));
    EXPECT_FALSE(window.PageKindBox(pkOpeningBalances)->isHidden()); // offered, unticked
    EXPECT_FALSE(window.PageKindBox(pkOpeningBalances)->isChecked());
    window.GroupBox(tgTransactions)->click();
    EXPECT_FALSE(window.FromPeriodBox()->isEnabled());
    for (int group = 0; group < TS::GroupCount; ++group)
        window.GroupBox(group)->setChecked(false);
    Hooked->Answer(TMessageButton::OK);
    const double from = setup->FromDate;
    window.accept();
    EXPECT_EQ(Hooked->Texts(), QStringList{TReportParametersModel::NothingToTransferText});
    EXPECT_EQ(Hooked->Beeps, QList<TBeep>{TBeep::Warning});
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_EQ(setup->FromDate, from);
    EXPECT_EQ(setup->TransferSelection, 0u);

    TfmReportParameters other;
    EXPECT_FALSE(other.Setup(*Run(10)));
}

// A band dragged over two include boxes of the transfer page clears both, as two clicks would.
TEST_F(ReportParametersTest, BandOverTwoTransferGroupsChangesBoth) {
    const auto setup = Run(8);
    TfmReportParameters window;
    ASSERT_TRUE(window.Setup(*setup));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TGroupBoxMultiSelect* group = window.TransferGroup();
    ASSERT_NE(group, nullptr);
    for (int g = 0; g < TS::GroupCount; ++g)
        EXPECT_EQ(window.GroupBox(g)->parentWidget(), group) << g;

    DragBandOver(window.GroupBox(tgAccounts), window.GroupBox(tgBankRecOpening));
    QList<bool> included;
    for (int g = 0; g < TS::GroupCount; ++g)
        included << window.GroupBox(g)->isChecked();
    EXPECT_EQ(included, QList<bool>({false, false, true, true, true, true, true, true}));
    EXPECT_FALSE(window.ModeBox(tgAccounts)->isEnabled());
    EXPECT_FALSE(window.ModeBox(tgBankRecOpening)->isEnabled());
    window.OKButton()->click();
    ASSERT_EQ(window.result(), QDialog::Accepted);
    quint32 expected = 0x33333333u;
    expected = TS::Set(expected, tgAccounts, false, tmReplace);
    expected = TS::Set(expected, tgBankRecOpening, false, tmReplace);
    EXPECT_EQ(setup->TransferSelection, expected);
    EXPECT_TRUE(Hooked->Shown.isEmpty());
}

// The page boxes form a band group too. Mend: the boxes of kinds that are not offered are hidden,
// but a band still found them where they were put, and ticking one of them raised an error box.
TEST_F(ReportParametersTest, BandOverPageKindsChangesOnlyTheOfferedBoxes) {
    const auto setup = Run(8);
    setup->StartPageKinds = 0x3FF8; // kinds 3 to 13
    setup->PageKinds = 0x3FF8;
    TfmReportParameters window;
    ASSERT_TRUE(window.Setup(*setup));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TGroupBoxMultiSelect* group = window.PageKindGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(window.PageKindBox(3)->parentWidget(), group);
    EXPECT_TRUE(window.PageKindBox(0)->isHidden());

    DragBandOver(window.PageKindBox(3), window.PageKindBox(4));
    EXPECT_FALSE(window.PageKindBox(3)->isChecked());
    EXPECT_FALSE(window.PageKindBox(4)->isChecked());
    EXPECT_TRUE(window.PageKindBox(5)->isChecked());

    // Over the whole group: every offered box changes, the others stay out of it.
    DragBand(group, QPoint(0, 0), QPoint(group->width() - 1, group->height() - 1));
    EXPECT_TRUE(Hooked->Shown.isEmpty());
    window.OKButton()->click();
    ASSERT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(setup->PageKinds, 0x0018); // 3 and 4 ticked again, 5 to 13 cleared
    EXPECT_TRUE(Hooked->Shown.isEmpty());
}

// The file name's label has the hand of a link but looks like a label, and a click on it goes to
// the field without opening anything.
TEST_F(ReportParametersTest, FileNameLabelHasAHandAndOpensNothing) {
    const auto setup = Run(22);
    TfmReportParameters window;
    ASSERT_TRUE(window.Setup(*setup));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    TAsUrlLabel* label = window.FileNameLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(window.findChild<QLabel*>("lblFileName"), label);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "File &Name:");
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(label->UrlExecute);
    EXPECT_FALSE(label->font().underline());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), window.palette().color(QPalette::WindowText));
    EXPECT_EQ(label->buddy(), window.FileNameEdit());

    QStringList opened;
    label->Opener = [&](const QString& url) { opened << url; };
    int clicks = 0;
    QObject::connect(label, &TAsUrlLabel::clicked, [&] { ++clicks; });
    window.OKButton()->setFocus();
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(window.focusWidget(), window.FileNameEdit());
    EXPECT_TRUE(Hooked->Shown.isEmpty());
}

} // namespace
