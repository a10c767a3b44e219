#include "shell/properties/FileProperties.h"

#include "controls/files/DirectoryEdit.h"
#include "controls/small/GroupBoxMultiSelect.h"
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
#include "tests/support/BandDrag.h"

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
// the test's home folder (holding ProgramData) and drive D the folder "ddrive".
class FilePropertiesTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        ProgramData = TempPath("home/QUILVANE/DATA");
        ASSERT_TRUE(QDir().mkpath(ProgramData));
        ASSERT_TRUE(QDir().mkpath(TempPath("ddrive")));
        Files->MapDrive('D', TempPath("ddrive"));
    }
    QString ProgramData;
};

// --- rules -------------------------------------------------------------------------------------

TEST(FilePropertiesRulesTest, PeriodStepsAndDefaultPeriod) {
    struct TCase {
        int From, Up, Down;
    };
    const TCase cases[] = {{1, 2, 12}, {2, 4, 1},   {3, 4, 2},  {4, 6, 2},  {5, 6, 4},  {6, 12, 4},
                           {7, 12, 6}, {11, 12, 6}, {12, 1, 6}, {0, 1, 12}, {13, 1, 12}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.From);
        EXPECT_EQ(TRules::PeriodsUp(c.From), c.Up);
        EXPECT_EQ(TRules::PeriodsDown(c.From), c.Down);
    }
    EXPECT_EQ(TRules::PeriodsOfText("4a", 12), 12);
    EXPECT_EQ(TRules::ClampDefaultPeriod(10, 4), 4);
    EXPECT_EQ(TRules::ClampDefaultPeriod(4, 4), 4);
    EXPECT_EQ(TRules::ClampDefaultPeriod(3, 12), 3);
    EXPECT_EQ(TRules::ClampDefaultPeriod(0, 12), 1);
}

TEST(FilePropertiesRulesTest, CaptionAndCurrencyConversion) {
    // The code joins the caption at exactly six characters.
    EXPECT_EQ(TRules::Caption(true, "ABC12"), "New File Properties");
    EXPECT_EQ(TRules::Caption(false, "ABC1234"), "File Properties");

    EXPECT_FALSE(TRules::CurrencyConvFor("aud"));
    EXPECT_FALSE(TRules::CurrencyConvFor(""));
    EXPECT_TRUE(TRules::CurrencyConvFor("USD"));
}

TEST(FilePropertiesChartListTest, EntriesStoredNamesAndFilters) {
    // A format's chart name differs from its code here.
    const TDefaultChartList list({"QUILVANE", "SIMPLE"}, {"QUILVANE", "SIMPLEBASE"}, {"COY", "IND", "SUP"});
    struct TCase {
        int Format, Type, Entry;
    };
    const TCase cases[] = {{0, 2, 2}, {1, 2, 5}, {2, 0, -1}, {0, 3, -1}, {-1, 0, -1}, {1, -1, -1}};
    for (const TCase& c : cases)
        EXPECT_EQ(list.EntryIndex(c.Format, c.Type), c.Entry) << c.Format << "," << c.Type;

    EXPECT_EQ(list.StoredName(5), "SIMPLEBASE.SUP");
    EXPECT_EQ(list.StoredName(6), "");
    EXPECT_EQ(list.StoredName(-1), "");
    EXPECT_EQ(list.StoredNameOfText("simple,ind"), "SIMPLEBASE.IND");
    EXPECT_EQ(list.IndexOfStoredName("simplebase.sup"), 5);
    EXPECT_EQ(list.IndexOfStoredName("IND.QUILVANE"), 1); // the reversed form names the same pair
    EXPECT_EQ(list.IndexOfStoredName("SIMPLE.SUP"), -1);
    EXPECT_EQ(list.IndexOfStoredName("ACME0106.ADF"), -1);

    EXPECT_TRUE(TDefaultChartList::IsChartFile("/data/acme0106.adf"));
    EXPECT_FALSE(TDefaultChartList::IsChartFile("QUILVANE.COY"));
    EXPECT_EQ(list.FileFilter(),
              "QUILVANE Accounts Charts|*.ADF|Other text files|*.txt|Master Charts|*.COY;*.IND;*.SUP;");
    EXPECT_EQ(TDefaultChartList::QtFileFilter(list.FileFilter()),
              "QUILVANE Accounts Charts (*.ADF *.adf);;Other text files (*.txt *.TXT);;"
              "Master Charts (*.COY *.coy *.IND *.ind *.SUP *.sup)");
}

TEST_F(FilePropertiesTest, DrivesAndFolders) {
    // The program data folder moved to a drive, whether stored ("C:\...") or as this workstation
    // has it.
    struct TCase {
        char Drive;
        QString ProgramDataDir;
        QString Expected;
    };
    const TCase cases[] = {
        {'D', "C:\\QUILVANE\\DATA", "D:\\QUILVANE\\DATA"},
        {'C', "c:\\QUILVANE\\DATA", "c:\\QUILVANE\\DATA"}, // its own drive, whatever the case
        {0, "C:\\QUILVANE\\DATA", "C:\\QUILVANE\\DATA"},
        {'D', ProgramData, "D:\\QUILVANE\\DATA"},
        {'C', ProgramData, ProgramData},           // its own drive: the folder as this workstation has it
        {'D', TempPath("DATA"), TempPath("DATA")}, // on no drive: it cannot move
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(QChar(c.Drive), c.ProgramDataDir).toStdString());
        EXPECT_EQ(TRules::DataFolder(c.Drive == 0 ? QChar() : QChar(c.Drive), c.ProgramDataDir), c.Expected);
    }
    EXPECT_EQ(TRules::ExportFolder("  ", "D:\\QUILVANE\\DATA\\"), "D:\\QUILVANE\\DATA\\EXPORT");

    // The innermost drive holding a folder is its drive.
    Files->MapDrive('E', TempPath("home/QUILVANE"));
    EXPECT_EQ(TRules::DriveOf(ProgramData), QChar('E'));
    // Mapped drives (a mapping to a missing folder is not ready) and the drives the record uses;
    // paths on no drive add none.
    Files->MapDrive('F', TempPath("missing"));
    EXPECT_EQ(TRules::DriveLetters({"Q:\\QUILVANE\\TRANSFER", "d:\\X", "", "relative", TempPath("DATA")}),
              (QList<QChar>{'C', 'D', 'E', 'Q'}));
}

// Each field the open windows depend on, changed in the record, is noticed on its own: "N" the
// name, "C" the contra interval, "Q" quantity or currency conversion, "T" taxes, "P" the periods.
TEST_F(FilePropertiesTest, WhatChanged) {
    const std::pair<std::function<void(TEntityDetail&)>, QString> cases[] = {
        {[](TEntityDetail& d) { d.Name = d.Name.toLower(); }, "N"},
        {[](TEntityDetail& d) { d.Contras = 7; }, "C"},
        {[](TEntityDetail& d) { d.Quantity = !d.Quantity; }, "Q"},
        {[](TEntityDetail& d) { d.CurrencyConv = !d.CurrencyConv; }, "Q"},
        {[](TEntityDetail& d) { d.Tax = !d.Tax; }, "T"},
        {[](TEntityDetail& d) { d.Periods = 5; }, "P"},
    };
    for (const auto& [change, expected] : cases) {
        auto detail = TEntityDetail::Create("ABC123", {Standard, NoLock});
        detail->Name = "Acme";
        const TFilePropertySnapshot before = TFilePropertySnapshot::Of(*detail);
        change(*detail);
        const auto c = TFilePropertyChanges::Between(before, TFilePropertySnapshot::Of(*detail));
        const QString changed = QString(c.Name ? "N" : "") + (c.Contras ? "C" : "") +
                                (c.QuantityOrCurrency ? "Q" : "") + (c.Taxes ? "T" : "") +
                                (c.Periods ? "P" : "");
        EXPECT_EQ(changed, expected);
        EXPECT_EQ(c.DataEntry(), expected != "N") << expected.toStdString();
    }
}

// --- the window --------------------------------------------------------------------------------

class FilePropertiesWindowTest : public FilePropertiesTest {
protected:
    void SetUp() override {
        FilePropertiesTest::SetUp();
        TServices::SetHelp(Help);
        Dialog = std::make_unique<TfmFileProperties>();
    }

    void SetupNew() {
        Detail = TEntityDetail::Create("NEWREC", {Standard, NoLock});
        Dialog->Setup(*Detail, true);
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
};

TEST_F(FilePropertiesWindowTest, WizardButtonsPerPage) {
    SetupNew();
    EXPECT_EQ(Dialog->windowTitle(), "New File Properties"); // a new file's code starts empty
    QStringList titles;
    for (int page = 0; page < TfmFileProperties::PageCount; ++page) {
        SCOPED_TRACE(page);
        titles << Dialog->trvCategory->topLevelItem(page)->text(0);
        EXPECT_EQ(Dialog->CurrentPage(), page);
        EXPECT_FALSE(Dialog->btnBack->isHidden());
        EXPECT_FALSE(Dialog->btnNext->isHidden());
        EXPECT_EQ(Dialog->btnBack->isEnabled(), page > 0);
        EXPECT_EQ(Dialog->btnNext->isEnabled(), page < TfmFileProperties::PageCount - 1);
        EXPECT_EQ(Dialog->btnOK->isHidden(), page < TfmFileProperties::PageCount - 1);
        Dialog->btnNext->click();
    }
    EXPECT_EQ(titles,
              (QStringList{"Details", "Security", "Accounts", "Data Entry", "Disk Access", "E-mail"}));
    EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::EMail); // Next on the last page stays
    Dialog->btnBack->click();
    EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::DiskAccess);
    EXPECT_TRUE(Dialog->btnOK->isHidden());
    EXPECT_EQ(Dialog->btnBack->text(), "< &Back");
    EXPECT_EQ(Dialog->btnNext->text(), "&Next >");
}

// small_2006.cfg: ABC123 "Acme", a company on the QUILVANE format, 2006, June, 12 periods; here
// with a currency the table does not hold and a contra interval the sheet does not offer.
TEST_F(FilePropertiesWindowTest, ExistingFile) {
    Detail = LoadRecord(
        SmallRecord().replace("Type=", "Currency=XXX\r\nContras=7\r\nAccDefault=QUILVANE.COY\r\nType="));
    ASSERT_TRUE(Detail);
    Dialog->Setup(*Detail, false);
    EXPECT_EQ(Dialog->windowTitle(), "File Properties - ABC123");
    EXPECT_TRUE(Dialog->btnBack->isHidden());
    EXPECT_TRUE(Dialog->btnNext->isHidden());
    EXPECT_FALSE(Dialog->btnOK->isHidden());
    EXPECT_EQ((QStringList{Dialog->medEntityCode->text(), Dialog->edtEntityName->text(),
                           Dialog->cboEntityType->currentText(), Dialog->cboBaseCurrency->currentText(),
                           Dialog->cboAccountsFormat->currentData().toString(),
                           Dialog->cboDefaultChart->currentText(), Dialog->speFinancialYear->text(),
                           Dialog->cboYearEndMonth->currentText(), Dialog->lblDateCreated->text()}),
              (QStringList{"ABC123", "Acme", "Company", "", "QUILVANE", "QUILVANE,COY", "2006", "June",
                           DateNumToStr(false, 732494.5)}));
    EXPECT_EQ(Dialog->cboDataDrive->currentIndex(), -1); // the data folder is on no drive
    EXPECT_FALSE(Dialog->cboDataDrive->isEnabled());
    for (QWidget* setOnce : std::initializer_list<QWidget*>{
             Dialog->medEntityCode, Dialog->cboEntityType, Dialog->cboBaseCurrency, Dialog->cboAccountsFormat,
             Dialog->speFinancialYear, Dialog->cboYearEndMonth})
        EXPECT_FALSE(setOnce->isEnabled()) << setOnce->objectName().toStdString();
    for (QWidget* editable : std::initializer_list<QWidget*>{
             Dialog->edtEntityName, Dialog->cboDefaultChart, Dialog->edtPeriodsPerYear,
             Dialog->speDefaultPeriod, Dialog->edtAccessPassword})
        EXPECT_TRUE(editable->isEnabled()) << editable->objectName().toStdString();

    // Even values forced into the shown-only fields do not reach the record, and a super fund's
    // options come only with a new file.
    Dialog->medEntityCode->setText("XYZ999");
    Choose(Dialog->cboEntityType, "SUP");
    Choose(Dialog->cboBaseCurrency, "USD");
    Choose(Dialog->cboAccountsFormat, "SIMPLE");
    Dialog->speFinancialYear->setValue(2030);
    Dialog->cboYearEndMonth->setCurrentIndex(11);
    TypeInto(Dialog->edtEntityName, "Acme Holdings");
    Dialog->btnOK->click();

    ASSERT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ((QStringList{Detail->FileCode, Detail->EntityType, Detail->Currency, Detail->AccFormatID,
                           Detail->Name}),
              (QStringList{"ABC123", "COY", "XXX", "QUILVANE", "Acme Holdings"}));
    EXPECT_EQ(Detail->Year, 2006);
    EXPECT_EQ(Detail->EndMonth, 6);
    EXPECT_FALSE(Detail->Quantity);
    // Mend: an unknown contra interval and a data folder on no drive are not lost by OK.
    EXPECT_EQ(Detail->Contras, 7);
    EXPECT_EQ(Detail->DataDir, DataDir);
}

// A typed default chart that climbs out of the data folder is refused at OK: the record would
// not load again.
TEST_F(FilePropertiesWindowTest, ADefaultChartOutsideTheDataFolderIsRefused) {
    Detail = LoadRecord(SmallRecord().replace("Type=", "AccDefault=QUILVANE.COY\r\nType="));
    ASSERT_TRUE(Detail);
    Dialog->Setup(*Detail, false);
    Dialog->cboDefaultChart->setEditText("..\\..\\EVIL.COY");
    Prompt->Answer(TMessageButton::OK);
    Dialog->btnOK->click();
    ASSERT_EQ(Prompt->Texts().size(), 1);
    EXPECT_TRUE(Prompt->Texts()[0].startsWith("The default chart ..")) << Prompt->Texts()[0].toStdString();
    EXPECT_TRUE(Prompt->Texts()[0].endsWith(" lies outside the data folder."));
    EXPECT_NE(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Detail->AccDefault, "QUILVANE.COY");
}

// Typing straight after the wizard opens goes into the code, not the page list.
TEST_F(FilePropertiesWindowTest, TheWizardOpensWithTheCursorInTheCode) {
    SetupNew();
    Dialog->show();
    Dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Dialog.get()));
    EXPECT_EQ(QApplication::focusWidget(), Dialog->medEntityCode);
    QTest::keyClicks(QApplication::focusWidget(), "XYZ");
    EXPECT_EQ(Dialog->CurrentPage(), TfmFileProperties::Details);
    EXPECT_EQ(Dialog->medEntityCode->text(), "XYZ");
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
    const TCase cases[] = {{"AB1", TFileCodeRules::LengthText}, {"abc123", TFileCodeRules::ExistsText}};
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
    }
    EXPECT_EQ(Detail->FileCode, "NEWREC"); // nothing stored
}

TEST_F(FilePropertiesWindowTest, ANewSuperFundSetsQuantityAndClearsTaxes) {
    SetupNew();
    ASSERT_TRUE(Dialog->cbxIncludeTaxes->isChecked());
    ASSERT_FALSE(Dialog->cbxAllowQuantity->isChecked());
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), "QUILVANE,NSP"); // the new record's default

    Choose(Dialog->cboEntityType, "SUP");
    EXPECT_FALSE(Dialog->cbxIncludeTaxes->isChecked());
    EXPECT_TRUE(Dialog->cbxAllowQuantity->isChecked());
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), "QUILVANE,SUP");
    // The chart follows the format too.
    Choose(Dialog->cboAccountsFormat, "SIMPLE");
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), "SIMPLE,SUP");
    // Other types undo nothing.
    Choose(Dialog->cboEntityType, "TRU");
    EXPECT_FALSE(Dialog->cbxIncludeTaxes->isChecked());
    EXPECT_TRUE(Dialog->cbxAllowQuantity->isChecked());
}

TEST_F(FilePropertiesWindowTest, ChosenChartFileStaysWhenThePairChanges) {
    SetupNew();
    const QString chart = TempPath("DATA/M_DETAIL/ACME0106.ADF");
    QString chosen = chart;
    Dialog->SetChartBrowseFunction([&](QWidget*, const QString& folder, const QString& filter) {
        EXPECT_EQ(folder, NativePath(BuildPath({DataDir, "M_DETAIL"})));
        EXPECT_TRUE(filter.contains("Master Charts (*.COY *.coy *.IND *.ind *.NSP"));
        return chosen;
    });
    Dialog->btnDefaultChart->click();
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), chart);

    Choose(Dialog->cboEntityType, "TRU");
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), chart);
    // Cancelling the dialog keeps the choice.
    chosen.clear();
    Dialog->BrowseChart();
    EXPECT_EQ(Dialog->cboDefaultChart->currentText(), chart);
    Dialog->SaveProperties();
    EXPECT_EQ(Detail->AccDefault, chart);
}

TEST_F(FilePropertiesWindowTest, PeriodsStepThroughTheChoices) {
    SetupNew();
    TPeriodsPerYearEdit* periods = Dialog->edtPeriodsPerYear;
    QTest::keyClicks(periods, "3");
    EXPECT_EQ(periods->text(), "12"); // no typing into the number

    Dialog->speDefaultPeriod->setValue(10);
    QTest::keyClick(periods, Qt::Key_Down);
    EXPECT_EQ(periods->text(), "6");
    EXPECT_EQ(Dialog->speDefaultPeriod->value(), 1); // each step sets the default period to 1

    // Four steps up from 1 give 12, a fifth gives 1.
    periods->SetPeriods(1);
    QStringList seen;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(periods, Qt::Key_Up);
        seen << periods->text();
    }
    EXPECT_EQ(seen, (QStringList{"2", "4", "6", "12", "1"}));

    // Filling from a record shows its number without resetting the default period.
    periods->SetPeriods(12);
    Dialog->speDefaultPeriod->setValue(10);
    periods->SetPeriods(4);
    EXPECT_EQ(Dialog->speDefaultPeriod->value(), 4); // lowered to the periods per year
    periods->SetPeriods(0);
    EXPECT_EQ(periods->text(), "12");
    // A stored number that is no choice stays until a step leads back into the choices.
    periods->SetPeriods(3);
    EXPECT_EQ(periods->text(), "3");
    QTest::keyClick(periods, Qt::Key_Up);
    EXPECT_EQ(periods->text(), "4");
}

TEST_F(FilePropertiesWindowTest, PasswordAndHelp) {
    SetupNew();
    TPasswordEdit* password = Dialog->edtAccessPassword;
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    QTest::keyClicks(password, "secret99");
    EXPECT_EQ(password->text(), "SECRET");
    QTest::mouseDClick(password, Qt::LeftButton);
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
    QTest::mouseDClick(password, Qt::LeftButton);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);

    EXPECT_EQ(Dialog->btnHelp->text(), "&Help");
    Dialog->btnHelp->click();
    EXPECT_EQ(Help->Contexts, QList<int>{1000});
}

// A new file filled in: every page's values reach the record.
TEST_F(FilePropertiesWindowTest, NewFileFillReachesTheRecord) {
    Params->LicFilePath = ProgramData; // on drive C, so that a data drive could move it
    SetupNew();
    EXPECT_EQ(Dialog->cboDataDrive->currentText(), "C:");
    EXPECT_TRUE(Dialog->cboDataDrive->isEnabled());

    TypeInto(Dialog->medEntityCode, "new 0.1*x");
    TypeInto(Dialog->edtEntityName, "New Trust");
    TypeInto(Dialog->edtACN, "123-456-789-000");
    TypeInto(Dialog->edtReportHeading1, "First");
    TypeInto(Dialog->edtReportHeading2, "Second");
    Choose(Dialog->cboEntityType, "TRU");
    TypeInto(Dialog->edtAccessPassword, "pw1");
    Choose(Dialog->cboBaseCurrency, "USD");
    EXPECT_EQ(Dialog->cboBaseCurrency->currentText(), "United States Dollar (USD)");
    Choose(Dialog->cboAccountsFormat, "SIMPLE");
    // Mend: the years offered reach the last one the two-digit years can name.
    EXPECT_EQ(std::pair(Dialog->speFinancialYear->minimum(), Dialog->speFinancialYear->maximum()),
              std::pair(1990, 2089));
    Dialog->speFinancialYear->setValue(2031);
    Dialog->cboYearEndMonth->setCurrentIndex(2);
    Dialog->edtPeriodsPerYear->stepBy(3); // 12 -> 1 -> 2 -> 4
    Dialog->speDefaultPeriod->setValue(3);
    Dialog->cbxAllowQuantity->setChecked(true);
    Dialog->cbxIncludeTaxes->setChecked(false);
    Dialog->cbxWarnDuplicateRefs->setChecked(true);
    Dialog->rbnContrasWeekly->setChecked(true);
    Choose(Dialog->cboDataDrive, "D");
    Choose(Dialog->cboTransferDrive, "D");
    Choose(Dialog->cboBackupDrive, "C");
    Dialog->cbxBackupPrompt->setChecked(false);
    Dialog->detImportFolder->SetText("");
    Dialog->detExportFolder->SetText("E:\\OUT");
    TypeInto(Dialog->edtTransferEmail, "office@example.com");
    TypeInto(Dialog->edtClientsEmail, "client@example.com");
    Dialog->detECIFolder->SetText("C:\\ECI");
    Dialog->detTessalyFolder->SetText("C:\\TessalySUP2007");
    Dialog->ShowPage(TfmFileProperties::EMail);
    Dialog->btnOK->click();

    ASSERT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Dialog->windowTitle(), "New File Properties - NEW01X");
    const TEntityDetail& d = *Detail;
    EXPECT_EQ((QStringList{d.FileCode, d.Name, d.ACN, d.RepHdg1, d.RepHdg2, d.EntityType, d.AccessPw,
                           d.Currency, d.AccFormatID, d.AccDefault, d.BASExportFileCode}),
              (QStringList{"NEW01X", "New Trust", "123-456-789", "First", "Second", "TRU", "PW1", "USD",
                           "SIMPLE", "SIMPLE.TRU", "NEW01X"}));
    EXPECT_EQ(d.AccountFormat, Params->FindAccountFormat("SIMPLE"));
    EXPECT_EQ((QList<int>{d.Year, d.EndMonth, d.Periods, d.Period, d.Contras}),
              (QList<int>{2031, 3, 4, 3, 1}));
    // Quantity, taxes, duplicate references, currency conversion (following the foreign base
    // currency) and the backup prompt.
    EXPECT_EQ((QList<bool>{d.Quantity, d.Tax, d.DupRef, d.CurrencyConv, d.PromptBkup}),
              (QList<bool>{true, false, true, true, false}));
    // Mend: drive D holds another folder, so the file stays in the program data folder instead
    // of being written where no workstation looks for it.
    EXPECT_EQ(d.DataDir, ProgramData);
    EXPECT_EQ(NativePath(d.FileName), ProgramData + "/NEW01X.CFG");
    EXPECT_EQ((QStringList{d.XferDir, d.BackupDir, d.ImportDir, d.ExportDir}),
              (QStringList{"D:\\QUILVANE\\TRANSFER", "C:\\QUILVANE\\BACKUPS",
                           BuildPath({ProgramData, "IMPORT"}), "E:\\OUT"}));
    EXPECT_EQ(
        (QStringList{d.TransferExportEmailAddress, d.ClientsEmailAddress, d.ECIFolder, d.TessalyFolder}),
        (QStringList{"office@example.com", "client@example.com", "C:\\ECI", "C:\\TessalySUP2007"}));
}

// The options of the Data Entry page are a band group: a band dragged over two of them changes
// both, and OK stores what the band left.
TEST_F(FilePropertiesWindowTest, BandOverTwoOptionsChangesBoth) {
    Detail = LoadRecord(SmallRecord());
    ASSERT_TRUE(Detail);
    Dialog->Setup(*Detail, false);
    Dialog->ShowPage(TfmFileProperties::DataEntry);
    Dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
    TGroupBoxMultiSelect* group = Dialog->grbOptions;
    ASSERT_NE(group, nullptr);
    QCheckBox* const options[] = {Dialog->cbxAllowQuantity, Dialog->cbxIncludeTaxes,
                                  Dialog->cbxWarnDuplicateRefs, Dialog->cbxCurrencyConv};
    QList<bool> before;
    for (QCheckBox* option : options) {
        EXPECT_EQ(option->parentWidget(), group) << option->objectName().toStdString();
        before << option->isChecked();
    }

    DragBandOver(Dialog->cbxAllowQuantity, Dialog->cbxIncludeTaxes);
    const QList<bool> after{Dialog->cbxAllowQuantity->isChecked(), Dialog->cbxIncludeTaxes->isChecked(),
                            Dialog->cbxWarnDuplicateRefs->isChecked(), Dialog->cbxCurrencyConv->isChecked()};
    EXPECT_EQ(after, (QList<bool>{!before[0], !before[1], before[2], before[3]}));

    Dialog->btnOK->click();
    ASSERT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ((QList<bool>{Detail->Quantity, Detail->Tax, Detail->DupRef, Detail->CurrencyConv}), after);
}

} // namespace
