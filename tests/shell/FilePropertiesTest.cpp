#include "shell/properties/FileProperties.h"

#include "controls/files/DirectoryEdit.h"
#include "core/dates/DateNumbers.h"
#include "core/files/Paths.h"
#include "shell/filecode/FileCodeEdit.h"
#include "shell/filecode/FileCodeRules.h"
#include "shell/properties/DefaultChartList.h"
#include "shell/properties/FilePropertiesRules.h"
#include "shell/properties/FilePropertyChanges.h"
#include "shell/properties/PasswordEdit.h"
#include "shell/properties/PeriodsPerYearEdit.h"
#include "tests/core/EntityTestSupport.h"

#include <QTest>
#include <QtWidgets>

#include <functional>

namespace {

using TRules = TFilePropertiesRules;

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

// Settings from the shipped reference data, the data folder in the temporary folder; drive C is
// the test's home folder and drive D the folder "ddrive".
class FilePropertiesTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(TempPath("ddrive")));
        Files->MapDrive('D', TempPath("ddrive"));
    }
};

// --- rules -------------------------------------------------------------------------------------

TEST(FilePropertiesRulesTest, PeriodSteps) {
    struct TCase {
        int From, Up, Down;
    };
    const TCase cases[] = {{1, 2, 12}, {2, 4, 1},   {3, 4, 2},  {4, 6, 2},  {5, 6, 4},   {6, 12, 4},
                           {7, 12, 6}, {11, 12, 6}, {12, 1, 6}, {0, 1, 12}, {13, 1, 12}, {-4, 1, 12}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.From);
        EXPECT_EQ(TRules::PeriodsUp(c.From), c.Up);
        EXPECT_EQ(TRules::PeriodsDown(c.From), c.Down);
    }
    // Up from 1 cycles through every choice and back; down goes the other way round.
    QList<int> up{1}, down{1};
    for (int i = 0; i < 5; ++i) {
        up.append(TRules::PeriodsUp(up.last()));
        down.append(TRules::PeriodsDown(down.last()));
    }
    EXPECT_EQ(up, (QList<int>{1, 2, 4, 6, 12, 1}));
    EXPECT_EQ(down, (QList<int>{1, 12, 6, 4, 2, 1}));
    for (int periods = -1; periods <= 13; ++periods)
        EXPECT_EQ(TRules::IsPeriodsChoice(periods), QList<int>({1, 2, 4, 6, 12}).contains(periods))
            << periods;
}

TEST(FilePropertiesRulesTest, PeriodsTextAndDefaultPeriod) {
    EXPECT_EQ(TRules::PeriodsOfText("4", 1), 4);
    EXPECT_EQ(TRules::PeriodsOfText(" 6 ", 1), 6);
    EXPECT_EQ(TRules::PeriodsOfText("", 1), 1);
    EXPECT_EQ(TRules::PeriodsOfText("x", 12), 12);
    EXPECT_EQ(TRules::PeriodsOfText("4a", 12), 12);

    struct TCase {
        int DefaultPeriod, Periods, Expected;
    };
    const TCase cases[] = {{10, 4, 4},   {4, 4, 4},  {3, 12, 3}, {12, 12, 12},
                           {13, 12, 12}, {0, 12, 1}, {5, 1, 1}};
    for (const TCase& c : cases)
        EXPECT_EQ(TRules::ClampDefaultPeriod(c.DefaultPeriod, c.Periods), c.Expected)
            << c.DefaultPeriod << " of " << c.Periods;
}

TEST(FilePropertiesRulesTest, Caption) {
    EXPECT_EQ(TRules::Caption(true, ""), "New File Properties");
    EXPECT_EQ(TRules::Caption(true, "ABC12"), "New File Properties");
    EXPECT_EQ(TRules::Caption(true, "ABC123"), "New File Properties - ABC123");
    EXPECT_EQ(TRules::Caption(false, "ABC123"), "File Properties - ABC123");
    EXPECT_EQ(TRules::Caption(false, "ABC1234"), "File Properties");
}

TEST(FilePropertiesRulesTest, SuperFundTypeTakesQuantityAndDropsTaxes) {
    struct TCase {
        bool IsNew;
        const char* Type;
        bool Taxes, Quantity;
    };
    const TCase cases[] = {{true, "SUP", false, true},
                           {true, "sup", false, true},
                           {false, "SUP", true, false},
                           {true, "COY", true, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Type);
        bool taxes = true, quantity = false;
        TRules::ApplyEntityType(c.IsNew, c.Type, taxes, quantity);
        EXPECT_EQ(taxes, c.Taxes);
        EXPECT_EQ(quantity, c.Quantity);
    }
    // Other types do not undo what was chosen.
    bool taxes = false, quantity = true;
    TRules::ApplyEntityType(true, "TRU", taxes, quantity);
    EXPECT_FALSE(taxes);
    EXPECT_TRUE(quantity);
}

TEST(FilePropertiesRulesTest, CurrencyConversionFollowsForeignCurrencies) {
    EXPECT_FALSE(TRules::CurrencyConvFor("AUD"));
    EXPECT_FALSE(TRules::CurrencyConvFor("aud"));
    EXPECT_FALSE(TRules::CurrencyConvFor(""));
    EXPECT_TRUE(TRules::CurrencyConvFor("USD"));
    EXPECT_TRUE(TRules::CurrencyConvFor("NZD"));
}

TEST(FilePropertiesChartListTest, EntriesIndexesAndStoredNames) {
    const TDefaultChartList list({"QUILVANE", "SIMPLE"}, {"QUILVANE", "SIMPLEBASE"}, {"COY", "IND", "SUP"});
    EXPECT_EQ(list.Entries(), (QStringList{"QUILVANE,COY", "QUILVANE,IND", "QUILVANE,SUP", "SIMPLE,COY",
                                           "SIMPLE,IND", "SIMPLE,SUP"}));
    EXPECT_EQ(list.Count(), 6);
    struct TCase {
        int Format, Type, Entry;
    };
    const TCase cases[] = {{0, 0, 0},  {0, 2, 2},  {1, 0, 3},   {1, 2, 5},
                           {2, 0, -1}, {0, 3, -1}, {-1, 0, -1}, {0, -1, -1}};
    for (const TCase& c : cases)
        EXPECT_EQ(list.EntryIndex(c.Format, c.Type), c.Entry) << c.Format << "," << c.Type;

    EXPECT_EQ(list.StoredName(0), "QUILVANE.COY");
    EXPECT_EQ(list.StoredName(5), "SIMPLEBASE.SUP");
    EXPECT_EQ(list.StoredName(6), "");
    EXPECT_EQ(list.StoredName(-1), "");
    EXPECT_EQ(list.StoredNameOfText("SIMPLE,IND"), "SIMPLEBASE.IND");
    EXPECT_EQ(list.StoredNameOfText("simple,ind"), "SIMPLEBASE.IND");
    EXPECT_EQ(list.StoredNameOfText("/data/M_DETAIL/ACME0106.ADF"), "/data/M_DETAIL/ACME0106.ADF");
    EXPECT_EQ(list.StoredNameOfText("SIMPLE,TRU"), "SIMPLE,TRU");

    EXPECT_EQ(list.IndexOfStoredName("QUILVANE.IND"), 1);
    EXPECT_EQ(list.IndexOfStoredName("IND.QUILVANE"), 1); // as a new record's defaults hold it
    EXPECT_EQ(list.IndexOfStoredName("simplebase.sup"), 5);
    EXPECT_EQ(list.IndexOfStoredName("SIMPLE.SUP"), -1); // the format's code is not its chart name
    EXPECT_EQ(list.IndexOfStoredName("ACME0106.ADF"), -1);
    EXPECT_EQ(list.IndexOfStoredName(""), -1);
}

TEST(FilePropertiesChartListTest, ChartFilesAndFilters) {
    EXPECT_TRUE(TDefaultChartList::IsChartFile("C:\\QUILVANE\\DATA\\M_DETAIL\\ACME0106.ADF"));
    EXPECT_TRUE(TDefaultChartList::IsChartFile("/data/acme0106.adf"));
    EXPECT_FALSE(TDefaultChartList::IsChartFile("QUILVANE,COY"));
    EXPECT_FALSE(TDefaultChartList::IsChartFile("QUILVANE.COY"));

    const TDefaultChartList list({"QUILVANE"}, {"QUILVANE"}, {"COY", "SUP"});
    EXPECT_EQ(list.FileFilter(),
              "QUILVANE Accounts Charts|*.ADF|Other text files|*.txt|Master Charts|*.COY;*.SUP;");
    EXPECT_EQ(TDefaultChartList::QtFileFilter(list.FileFilter()),
              "QUILVANE Accounts Charts (*.ADF *.adf);;Other text files (*.txt *.TXT);;"
              "Master Charts (*.COY *.coy *.SUP *.sup)");
}

TEST_F(FilePropertiesTest, ChartListOfTheReferenceData) {
    const TDefaultChartList list = TDefaultChartList::FromReference(*Params);
    ASSERT_EQ(Params->AccountFormats.Count(), 2);
    ASSERT_EQ(Params->EntityTypes.Count(), 6);
    EXPECT_EQ(list.Count(), 12);
    const int entry =
        list.EntryIndex(Params->AccountFormats.IndexOf("SIMPLE"), Params->EntityTypes.IndexOf("SUP"));
    EXPECT_EQ(entry, 1 * 6 + 4);
    EXPECT_EQ(list.Entries().value(entry), "SIMPLE,SUP");
    EXPECT_EQ(list.StoredName(entry), "SIMPLE.SUP");
}

TEST_F(FilePropertiesTest, DrivesOfPaths) {
    ASSERT_TRUE(QDir().mkpath(TempPath("home/QUILVANE/DATA")));
    EXPECT_EQ(TRules::DriveOf("c:\\QUILVANE\\DATA"), QChar('C'));
    EXPECT_EQ(TRules::DriveOf(TempPath("home/QUILVANE/DATA")), QChar('C'));
    EXPECT_EQ(TRules::DriveOf(TempPath("ddrive")), QChar('D'));
    EXPECT_TRUE(TRules::DriveOf(TempPath("DATA")).isNull()); // on no drive
    EXPECT_TRUE(TRules::DriveOf("").isNull());
    EXPECT_TRUE(TRules::DriveOf("QUILVANE\\DATA").isNull());
    // The innermost drive holding a folder is its drive.
    Files->MapDrive('E', TempPath("home/QUILVANE"));
    EXPECT_EQ(TRules::DriveOf(TempPath("home/QUILVANE/DATA")), QChar('E'));

    // Mapped drives (a mapping to a missing folder is not ready) and the drives the record uses.
    Files->MapDrive('F', TempPath("missing"));
    EXPECT_EQ(TRules::DriveLetters({}), (QList<QChar>{'C', 'D', 'E'}));
    EXPECT_EQ(TRules::DriveLetters({"Q:\\QUILVANE\\TRANSFER", "d:\\X", "", "relative", TempPath("DATA")}),
              (QList<QChar>{'C', 'D', 'E', 'Q'}));
    EXPECT_EQ(TRules::DriveText('c'), "C:");
    EXPECT_EQ(TRules::DriveOfText("d:"), QChar('D'));
    EXPECT_TRUE(TRules::DriveOfText("D:\\X").isNull());
    EXPECT_TRUE(TRules::DriveOfText("").isNull());
}

TEST_F(FilePropertiesTest, FolderRules) {
    const QString home = TempPath("home/QUILVANE/DATA");
    ASSERT_TRUE(QDir().mkpath(home));
    struct TCase {
        char Drive;
        QString ProgramDataDir;
        QString Expected;
    };
    const TCase cases[] = {
        {'D', "C:\\QUILVANE\\DATA", "D:\\QUILVANE\\DATA"},
        {'d', "C:\\QUILVANE\\DATA", "D:\\QUILVANE\\DATA"},
        {'C', "C:\\QUILVANE\\DATA", "C:\\QUILVANE\\DATA"},
        {0, "C:\\QUILVANE\\DATA", "C:\\QUILVANE\\DATA"},
        {'D', home, "D:\\QUILVANE\\DATA"},
        {'C', home, home},                         // its own drive: the folder as this workstation has it
        {'D', TempPath("DATA"), TempPath("DATA")}, // on no drive: it cannot move
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(QChar(c.Drive), c.ProgramDataDir).toStdString());
        EXPECT_EQ(TRules::DataFolder(c.Drive == 0 ? QChar() : QChar(c.Drive), c.ProgramDataDir), c.Expected);
    }

    EXPECT_EQ(TRules::TransferFolder('x'), "X:\\QUILVANE\\TRANSFER");
    EXPECT_EQ(TRules::BackupFolder('D'), "D:\\QUILVANE\\BACKUPS");
    EXPECT_EQ(TRules::ImportFolder("", "D:\\QUILVANE\\DATA"), "D:\\QUILVANE\\DATA\\IMPORT");
    EXPECT_EQ(TRules::ExportFolder("  ", "D:\\QUILVANE\\DATA\\"), "D:\\QUILVANE\\DATA\\EXPORT");
    EXPECT_EQ(TRules::ImportFolder("E:\\IN", "D:\\QUILVANE\\DATA"), "E:\\IN");
    EXPECT_EQ(TRules::ExportFolder("E:\\OUT", "D:\\QUILVANE\\DATA"), "E:\\OUT");
}

TEST_F(FilePropertiesTest, WhatChanged) {
    auto detail = TEntityDetail::Create("ABC123", {Standard, NoLock});
    detail->Name = "Acme";
    detail->Contras = 2;
    detail->Quantity = false;
    detail->CurrencyConv = false;
    detail->Tax = true;
    detail->Periods = 12;
    const TFilePropertySnapshot before = TFilePropertySnapshot::Of(*detail);
    EXPECT_EQ(before.Name, "Acme");
    EXPECT_EQ(before.Periods, 12);

    struct TCase {
        const char* What;
        std::function<void(TFilePropertySnapshot&)> Change;
        bool Name, Contras, QuantityOrCurrency, Taxes, Periods;
    };
    const TCase cases[] = {
        {"nothing", [](TFilePropertySnapshot&) {}, false, false, false, false, false},
        {"name", [](TFilePropertySnapshot& s) { s.Name = "acme"; }, true, false, false, false, false},
        {"contras", [](TFilePropertySnapshot& s) { s.Contras = 0; }, false, true, false, false, false},
        {"quantity", [](TFilePropertySnapshot& s) { s.Quantity = true; }, false, false, true, false, false},
        {"currency", [](TFilePropertySnapshot& s) { s.CurrencyConv = true; }, false, false, true, false,
         false},
        {"taxes only", [](TFilePropertySnapshot& s) { s.Tax = false; }, false, false, false, true, false},
        {"periods", [](TFilePropertySnapshot& s) { s.Periods = 4; }, false, false, false, false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TFilePropertySnapshot after = before;
        c.Change(after);
        const TFilePropertyChanges changes = TFilePropertyChanges::Between(before, after);
        EXPECT_EQ(changes.Name, c.Name);
        EXPECT_EQ(changes.Contras, c.Contras);
        EXPECT_EQ(changes.QuantityOrCurrency, c.QuantityOrCurrency);
        EXPECT_EQ(changes.Taxes, c.Taxes);
        EXPECT_EQ(changes.Periods, c.Periods);
        EXPECT_EQ(changes.DataEntry(), c.Contras || c.QuantityOrCurrency || c.Taxes || c.Periods);
    }
}

// --- the window --------------------------------------------------------------------------------

class FilePropertiesWindowTest : public FilePropertiesTest {
protected:
    void SetUp() override {
        FilePropertiesTest::SetUp();
        TServices::SetHelp(Help);
        Dialog = std::make_unique<TfmFileProperties>();
        Dialog->SetChartBrowseFunction([this](QWidget*, const QString& folder, const QString& filter) {
            BrowsedFolder = folder;
            BrowsedFilter = filter;
            return ChosenChart;
        });
    }
    void TearDown() override {
        Dialog.reset();
        FilePropertiesTest::TearDown();
    }

    void SetupNew() {
        Detail = TEntityDetail::Create("NEWREC", {Standard, NoLock});
        Dialog->Setup(*Detail, true);
    }
    // small_2006.cfg: ABC123 "Acme", a company on the QUILVANE format, 2006, June, 12 periods.
    static QByteArray ExistingRecord() {
        return SmallRecord().replace("Type=", "Currency=AUD\r\nAccDefault=QUILVANE.COY\r\nType=");
    }
    void SetupExisting() {
        Detail = LoadRecord(ExistingRecord());
        ASSERT_TRUE(Detail);
        Dialog->Setup(*Detail, false);
    }
    static void Choose(QComboBox* combo, const QString& code) {
        const int index = combo->findData(code);
        ASSERT_GE(index, 0) << code.toStdString();
        combo->setCurrentIndex(index);
    }
    static void TypeInto(QWidget* widget, const QString& text) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->clear();
        QTest::keyClicks(widget, text);
    }

    std::shared_ptr<TRecordingHelp> Help = std::make_shared<TRecordingHelp>();
    std::unique_ptr<TfmFileProperties> Dialog;
    std::unique_ptr<TEntityDetail> Detail;
    QString ChosenChart;
    QString BrowsedFolder;
    QString BrowsedFilter;
};

TEST_F(FilePropertiesWindowTest, WizardButtonsPerPage) {
    SetupNew();
    EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::Details);
    EXPECT_EQ(Dialog->pgcDetails->count(), TfmFileProperties::PageCount);
    for (int page = 0; page < TfmFileProperties::PageCount; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(Dialog->CurrentPage(), page);
        EXPECT_EQ(Dialog->pnlPageText->text(), Dialog->trvCategory->topLevelItem(page)->text(0));
        EXPECT_FALSE(Dialog->btnBack->isHidden());
        EXPECT_FALSE(Dialog->btnNext->isHidden());
        EXPECT_EQ(Dialog->btnBack->isEnabled(), page > 0);
        EXPECT_EQ(Dialog->btnNext->isEnabled(), page < TfmFileProperties::PageCount - 1);
        EXPECT_EQ(Dialog->btnOK->isHidden(), page < TfmFileProperties::PageCount - 1);
        Dialog->btnNext->click();
    }
    EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::EMail); // Next on the last page stays
    Dialog->btnBack->click();
    EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::DiskAccess);
    EXPECT_TRUE(Dialog->btnOK->isHidden());
    // The tree chooses a page too.
    Dialog->trvCategory->setCurrentItem(Dialog->trvCategory->topLevelItem(TfmFileProperties::Accounts));
    EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::Accounts);
    EXPECT_EQ(Dialog->pnlPageText->text(), "Accounts");
    EXPECT_EQ(Dialog->trvCategory->topLevelItemCount(), 6);
    EXPECT_EQ(Dialog->trvCategory->topLevelItem(3)->text(0), "Data Entry");
    EXPECT_EQ(Dialog->trvCategory->topLevelItem(5)->text(0), "E-mail");
    EXPECT_EQ(Dialog->btnBack->text(), "< &Back");
    EXPECT_EQ(Dialog->btnNext->text(), "&Next >");
}

TEST_F(FilePropertiesWindowTest, SheetButtonsPerPage) {
    SetupExisting();
    for (int page = 0; page < TfmFileProperties::PageCount; ++page) {
        SCOPED_TRACE(page);
        Dialog->ShowPage(page);
        EXPECT_EQ(Dialog->CurrentPage(), page);
        EXPECT_TRUE(Dialog->btnBack->isHidden());
        EXPECT_TRUE(Dialog->btnNext->isHidden());
        EXPECT_FALSE(Dialog->btnOK->isHidden());
    }
}

TEST_F(FilePropertiesWindowTest, CaptionFollowsTheCode) {
    SetupNew();
    EXPECT_EQ(Dialog->windowTitle(), "New File Properties");
    EXPECT_EQ(Dialog->medEntityCode->text(), "");
    TypeInto(Dialog->medEntityCode, "abc12");
    EXPECT_EQ(Dialog->windowTitle(), "New File Properties");
    QTest::keyClicks(Dialog->medEntityCode, "3");
    EXPECT_EQ(Dialog->windowTitle(), "New File Properties - ABC123");

    auto other = std::make_unique<TfmFileProperties>();
    const auto record = LoadRecord(SmallRecord());
    other->Setup(*record, false);
    EXPECT_EQ(other->windowTitle(), "File Properties - ABC123");
}

TEST_F(FilePropertiesWindowTest, ExistingFileShowsItsRecord) {
    SetupExisting();
    EXPECT_EQ(Dialog->medEntityCode->text(), "ABC123");
    EXPECT_EQ(Dialog->edtEntityName->text(), "Acme");
    EXPECT_EQ(Dialog->cboEntityType->currentData().toString(), "COY");
    EXPECT_EQ(Dialog->cboEntityType->currentText(), "Company");
    EXPECT_EQ(Dialog->cboBaseCurrency->currentText(), "Australian Dollar (AUD)");
    EXPECT_EQ(Dialog->cboAccountsFormat->currentData().toString(), "QUILVANE");
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), "QUILVANE,COY");
    EXPECT_EQ(Dialog->speFinancialYear->value(), 2006);
    EXPECT_EQ(Dialog->cboYearEndMonth->currentText(), "June");
    EXPECT_EQ(Dialog->edtPeriodsPerYear->text(), "12");
    EXPECT_EQ(Dialog->speDefaultPeriod->value(), 1);
    EXPECT_EQ(Dialog->lblDateCreated->text(), DateNumToStr(false, 732494.5));
    for (QWidget* setOnce : std::initializer_list<QWidget*>{
             Dialog->medEntityCode, Dialog->cboEntityType, Dialog->cboBaseCurrency, Dialog->cboAccountsFormat,
             Dialog->speFinancialYear, Dialog->cboYearEndMonth})
        EXPECT_FALSE(setOnce->isEnabled()) << setOnce->objectName().toStdString();
    for (QWidget* editable : std::initializer_list<QWidget*>{
             Dialog->edtEntityName, Dialog->cboDefaultChart, Dialog->edtPeriodsPerYear,
             Dialog->speDefaultPeriod, Dialog->edtAccessPassword})
        EXPECT_TRUE(editable->isEnabled()) << editable->objectName().toStdString();
}

TEST_F(FilePropertiesWindowTest, ExistingFileKeepsWhatIsSetOnce) {
    SetupExisting();
    // Even values forced into the shown-only fields do not reach the record.
    Dialog->medEntityCode->setText("XYZ999");
    Choose(Dialog->cboEntityType, "TRU");
    Choose(Dialog->cboBaseCurrency, "USD");
    Choose(Dialog->cboAccountsFormat, "SIMPLE");
    Dialog->speFinancialYear->setValue(2030);
    Dialog->cboYearEndMonth->setCurrentIndex(11);
    TypeInto(Dialog->edtEntityName, "Acme Holdings");
    Dialog->btnOK->click();

    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Detail->FileCode, "ABC123");
    EXPECT_EQ(Detail->EntityType, "COY");
    EXPECT_EQ(Detail->Currency, "AUD");
    EXPECT_EQ(Detail->AccFormatID, "QUILVANE");
    EXPECT_EQ(Detail->AccountFormat, Params->FindAccountFormat("QUILVANE"));
    EXPECT_EQ(Detail->Year, 2006);
    EXPECT_EQ(Detail->EndMonth, 6);
    EXPECT_EQ(Detail->Name, "Acme Holdings");
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(FilePropertiesWindowTest, InvalidCodeKeepsTheWizardOnDetails) {
    ASSERT_TRUE(WriteFileBytes(DataDir + "/ABC123.CFG", SmallRecord()));
    SetupNew();
    Dialog->show();
    Dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Dialog.get()));
    struct TCase {
        const char* Code;
        QString Text;
    };
    const TCase cases[] = {{"AB1", TFileCodeRules::LengthText},
                           {"", TFileCodeRules::LengthText},
                           {"abc123", TFileCodeRules::ExistsText}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        TypeInto(Dialog->medEntityCode, c.Code);
        Dialog->ShowPage(TfmFileProperties::EMail);
        Dialog->btnOK->setFocus();
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        Prompt->Answer(TMessageButton::OK);
        Dialog->btnOK->click();

        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_EQ(Prompt->Shown[0].Text, c.Text);
        EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
        EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});
        EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::Details);
        EXPECT_EQ(QApplication::focusWidget(), Dialog->medEntityCode);
        EXPECT_TRUE(Dialog->isVisible());
        EXPECT_NE(Dialog->result(), QDialog::Accepted);
    }
    EXPECT_EQ(Detail->FileCode, "NEWREC"); // nothing stored
    EXPECT_EQ(Detail->Name, "File Name");

    TypeInto(Dialog->medEntityCode, "ABC124");
    Dialog->ShowPage(TfmFileProperties::EMail);
    Dialog->btnOK->click();
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Detail->FileCode, "ABC124");
}

TEST_F(FilePropertiesWindowTest, SuperFundTypeSetsQuantityAndClearsTaxes) {
    SetupNew();
    EXPECT_EQ(Detail->EntityType, "NSP");
    EXPECT_TRUE(Dialog->cbxIncludeTaxes->isChecked());
    EXPECT_FALSE(Dialog->cbxAllowQuantity->isChecked());
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), "QUILVANE,NSP"); // from the defaults "NSP.QUILVANE"

    Choose(Dialog->cboEntityType, "SUP");
    EXPECT_FALSE(Dialog->cbxIncludeTaxes->isChecked());
    EXPECT_TRUE(Dialog->cbxAllowQuantity->isChecked());
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), "QUILVANE,SUP");

    // The chart follows the format too.
    Choose(Dialog->cboAccountsFormat, "SIMPLE");
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), "SIMPLE,SUP");
    EXPECT_EQ(Dialog->cboDefaultChart->currentIndex(), Dialog->ChartList().EntryIndex(1, 4));
}

TEST_F(FilePropertiesWindowTest, ChosenChartFileStaysWhenThePairChanges) {
    SetupNew();
    ChosenChart = TempPath("DATA/M_DETAIL/ACME0106.ADF");
    Dialog->btnDefaultChart->click();
    EXPECT_EQ(BrowsedFolder, NativePath(BuildPath({DataDir, "M_DETAIL"})));
    EXPECT_EQ(BrowsedFilter, TDefaultChartList::QtFileFilter(Dialog->ChartList().FileFilter()));
    EXPECT_TRUE(BrowsedFilter.contains("Master Charts (*.COY *.coy *.IND *.ind *.NSP"));
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), ChosenChart);

    Choose(Dialog->cboEntityType, "TRU");
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), ChosenChart);

    // Cancelling the dialog keeps the choice.
    ChosenChart.clear();
    Dialog->BrowseChart();
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), TempPath("DATA/M_DETAIL/ACME0106.ADF"));
    TypeInto(Dialog->medEntityCode, "ACME01");
    Dialog->SaveProperties();
    EXPECT_EQ(Detail->AccDefault, TempPath("DATA/M_DETAIL/ACME0106.ADF"));
}

TEST_F(FilePropertiesWindowTest, PeriodsStepThroughTheChoices) {
    SetupNew();
    TPeriodsPerYearEdit* periods = Dialog->edtPeriodsPerYear;
    EXPECT_EQ(periods->text(), "12");
    // No typing into the number.
    QTest::keyClicks(periods, "3");
    EXPECT_EQ(periods->text(), "12");

    Dialog->speDefaultPeriod->setValue(10);
    QTest::keyClick(periods, Qt::Key_Down);
    EXPECT_EQ(periods->text(), "6");
    EXPECT_EQ(Dialog->speDefaultPeriod->value(), 1); // each step sets the default period to 1
    EXPECT_EQ(Dialog->speDefaultPeriod->maximum(), 6);

    QStringList seen;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(periods, Qt::Key_Up);
        seen << periods->text();
    }
    EXPECT_EQ(seen, (QStringList{"12", "1", "2", "4", "6"}));
    periods->stepBy(-1);
    EXPECT_EQ(periods->text(), "4");

    // Filling from a record shows its number without resetting the default period.
    periods->SetPeriods(12);
    Dialog->speDefaultPeriod->setValue(10);
    periods->SetPeriods(4);
    EXPECT_EQ(Dialog->speDefaultPeriod->value(), 4); // lowered to the periods per year
    periods->SetPeriods(0);
    EXPECT_EQ(periods->text(), "12");
    periods->SetPeriods(13);
    EXPECT_EQ(periods->text(), "12");
    // A stored number that is no choice stays until a step leads back into the choices.
    periods->SetPeriods(3);
    EXPECT_EQ(periods->text(), "3");
    QTest::keyClick(periods, Qt::Key_Up);
    EXPECT_EQ(periods->text(), "4");
}

TEST_F(FilePropertiesWindowTest, PasswordEdit) {
    SetupExisting();
    TPasswordEdit* password = Dialog->edtAccessPassword;
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    QTest::keyClicks(password, "secret99");
    EXPECT_EQ(password->text(), "SECRET");
    QTest::mouseDClick(password, Qt::LeftButton);
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
    QTest::mouseDClick(password, Qt::LeftButton);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    Dialog->btnOK->click();
    EXPECT_EQ(Detail->AccessPw, "SECRET");
}

TEST_F(FilePropertiesWindowTest, HelpButtonOpensItsTopic) {
    SetupNew();
    EXPECT_EQ(Dialog->btnHelp->text(), "&Help");
    Dialog->btnHelp->click();
    EXPECT_EQ(Help->Contexts, QList<int>{1000});
}

TEST_F(FilePropertiesWindowTest, FinancialYearsOffered) {
    SetupNew();
    EXPECT_EQ(Detail->Year, 2024); // today's financial year (the clock says 15 March 2024)
    EXPECT_EQ(Dialog->speFinancialYear->value(), 2024);
    EXPECT_EQ(Dialog->speFinancialYear->minimum(), 1990);
    EXPECT_EQ(Dialog->speFinancialYear->maximum(), 2089);
    EXPECT_EQ(Dialog->cboYearEndMonth->count(), 12);
    EXPECT_EQ(Dialog->cboYearEndMonth->itemText(0), "January");
}

// A new file filled in page by page: every page's values reach the record.
TEST_F(FilePropertiesWindowTest, NewFileFillReachesTheRecord) {
    // A program data folder on drive C (the home folder), so that a data drive can move it.
    const QString programData = TempPath("home/QUILVANE/DATA");
    ASSERT_TRUE(QDir().mkpath(programData));
    Params->LicFilePath = programData;
    SetupNew();
    EXPECT_EQ(Dialog->cboDataDrive->currentText(), "C:");
    EXPECT_TRUE(Dialog->cboDataDrive->isEnabled());
    QStringList drives;
    for (int i = 0; i < Dialog->cboTransferDrive->count(); ++i)
        drives << Dialog->cboTransferDrive->itemText(i);
    EXPECT_EQ(drives, (QStringList{"C:", "D:"}));

    TypeInto(Dialog->medEntityCode, "new 0.1*x");
    EXPECT_EQ(Dialog->medEntityCode->Code(), "NEW01X");
    TypeInto(Dialog->edtEntityName, "New Trust");
    TypeInto(Dialog->edtACN, "123-456-789-000");
    EXPECT_EQ(Dialog->edtACN->text(), "123-456-789");
    TypeInto(Dialog->edtReportHeading1, "First");
    TypeInto(Dialog->edtReportHeading2, "Second");
    Choose(Dialog->cboEntityType, "TRU");
    Dialog->btnNext->click();
    TypeInto(Dialog->edtAccessPassword, "pw1");
    Dialog->btnNext->click();
    Choose(Dialog->cboBaseCurrency, "USD");
    EXPECT_TRUE(Dialog->cbxCurrencyConv->isChecked());
    Choose(Dialog->cboAccountsFormat, "SIMPLE");
    Dialog->btnNext->click();
    Dialog->speFinancialYear->setValue(2031);
    Dialog->cboYearEndMonth->setCurrentIndex(2);
    Dialog->edtPeriodsPerYear->stepBy(3); // 12 -> 1 -> 2 -> 4
    Dialog->speDefaultPeriod->setValue(3);
    Dialog->cbxAllowQuantity->setChecked(true);
    Dialog->cbxIncludeTaxes->setChecked(false);
    Dialog->cbxWarnDuplicateRefs->setChecked(true);
    Dialog->rbnContrasWeekly->setChecked(true);
    Dialog->btnNext->click();
    Choose(Dialog->cboDataDrive, "D");
    Choose(Dialog->cboTransferDrive, "D");
    Choose(Dialog->cboBackupDrive, "C");
    Dialog->cbxBackupPrompt->setChecked(false);
    Dialog->detImportFolder->SetText("");
    Dialog->detExportFolder->SetText("E:\\OUT");
    Dialog->btnNext->click();
    TypeInto(Dialog->edtTransferEmail, "office@example.com");
    TypeInto(Dialog->edtClientsEmail, "client@example.com");
    Dialog->detECIFolder->SetText("C:\\ECI");
    Dialog->detTessalyFolder->SetText("C:\\TessalySUP2007");
    ASSERT_FALSE(Dialog->btnOK->isHidden());
    Dialog->btnOK->click();

    ASSERT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Dialog->windowTitle(), "New File Properties - NEW01X");
    const TEntityDetail& d = *Detail;
    EXPECT_EQ(d.FileCode, "NEW01X");
    EXPECT_EQ(d.Name, "New Trust");
    EXPECT_EQ(d.ACN, "123-456-789");
    EXPECT_EQ(d.RepHdg1, "First");
    EXPECT_EQ(d.RepHdg2, "Second");
    EXPECT_EQ(d.EntityType, "TRU");
    EXPECT_EQ(d.AccessPw, "PW1");
    EXPECT_EQ(d.Currency, "USD");
    EXPECT_EQ(d.AccFormatID, "SIMPLE");
    EXPECT_EQ(d.AccountFormat, Params->FindAccountFormat("SIMPLE"));
    EXPECT_EQ(d.AccDefault, "SIMPLE.TRU");
    EXPECT_EQ(d.Year, 2031);
    EXPECT_EQ(d.EndMonth, 3);
    EXPECT_EQ(d.Periods, 4);
    EXPECT_EQ(d.Period, 3);
    EXPECT_TRUE(d.Quantity);
    EXPECT_FALSE(d.Tax);
    EXPECT_TRUE(d.DupRef);
    EXPECT_TRUE(d.CurrencyConv);
    EXPECT_EQ(d.Contras, 1);
    // Drive D holds another folder: the file stays in the program data folder.
    EXPECT_EQ(d.DataDir, programData);
    EXPECT_EQ(d.XferDir, "D:\\QUILVANE\\TRANSFER");
    EXPECT_EQ(d.BackupDir, "C:\\QUILVANE\\BACKUPS");
    EXPECT_EQ(d.ImportDir, BuildPath({programData, "IMPORT"}));
    EXPECT_EQ(d.ExportDir, "E:\\OUT");
    EXPECT_FALSE(d.PromptBkup);
    EXPECT_EQ(d.TransferExportEmailAddress, "office@example.com");
    EXPECT_EQ(d.ClientsEmailAddress, "client@example.com");
    EXPECT_EQ(d.ECIFolder, "C:\\ECI");
    EXPECT_EQ(d.TessalyFolder, "C:\\TessalySUP2007");
    EXPECT_EQ(NativePath(d.FileName), programData + "/NEW01X.CFG");
    EXPECT_EQ(d.BASExportFileCode, "NEW01X");
}

// The modal run: Cancel stores nothing, OK stores the sheet.
TEST_F(FilePropertiesWindowTest, EditRunsTheSheetModally) {
    Detail = LoadRecord(ExistingRecord());
    ASSERT_TRUE(Detail);
    const auto answer = [](const QString& name, const QString& button) {
        QTimer::singleShot(0, [name, button] {
            auto* sheet = qobject_cast<TfmFileProperties*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            sheet->findChild<QLineEdit*>("edtEntityName")->setText(name);
            sheet->findChild<QPushButton*>(button)->click();
        });
    };
    answer("Cancelled", "btnCancel");
    EXPECT_FALSE(TfmFileProperties::Edit(*Detail, false, nullptr));
    EXPECT_EQ(Detail->Name, "Acme");
    answer("Renamed", "btnOK");
    EXPECT_TRUE(TfmFileProperties::Edit(*Detail, false, nullptr));
    EXPECT_EQ(Detail->Name, "Renamed");
}

// Values the lists do not offer (a currency missing from the table, an unknown contra interval)
// are not lost by OK.
TEST_F(FilePropertiesWindowTest, ValuesOutsideTheListsStay) {
    Detail = LoadRecord(SmallRecord().replace("Type=", "Currency=XXX\r\nContras=7\r\nType="));
    ASSERT_TRUE(Detail);
    Dialog->Setup(*Detail, false);
    EXPECT_EQ(Dialog->cboBaseCurrency->currentIndex(), -1);
    EXPECT_EQ(Dialog->rgpContras->checkedId(), -1);
    Dialog->btnOK->click();
    ASSERT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Detail->Currency, "XXX");
    EXPECT_EQ(Detail->Contras, 7);
}

// An existing file whose folders lie on no drive of this workstation keeps them.
TEST_F(FilePropertiesWindowTest, FoldersOnNoDriveStayAsTheyAre) {
    SetupExisting();
    EXPECT_EQ(Dialog->cboDataDrive->currentIndex(), -1); // the data folder is on no drive
    EXPECT_FALSE(Dialog->cboDataDrive->isEnabled());
    Dialog->detImportFolder->SetText("");
    Dialog->btnOK->click();
    EXPECT_EQ(Detail->DataDir, DataDir);
    EXPECT_EQ(Detail->ImportDir, BuildPath({DataDir, "IMPORT"}));
    EXPECT_EQ(Detail->FileName, BuildPath({DataDir, "ABC123.CFG"}));
}

} // namespace
