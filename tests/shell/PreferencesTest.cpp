#include "shell/preferences/PreferencesModel.h"
#include "shell/preferences/QuilvaneSetup.h"

#include "controls/files/DirectoryEdit.h"
#include "core/common/RegionalSettings.h"
#include "core/io/IniFile.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QtWidgets>

namespace {

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

// Program settings loaded from a program ini in the temporary folder, whose data folder holds
// the shipped reference data. In the shipped data the countries in code order are AUS (the
// default) CAN FJI GBR HKG IRL NZL PNG SGP USA, the account formats QUILVANE and SIMPLE, and the
// report date format is "DD/MM/YYYY". The scripted prompt fails a test on any box not answered.
class PreferencesTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(DataFolder));
        ASSERT_TRUE(QFile::copy(TProgramParams::ShippedReferenceDataPath(), DatPath()));
        QFile::setPermissions(DatPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ASSERT_TRUE(WriteFileBytes(IniPath, InitialIni()));
        ASSERT_EQ(Params.Load(), 0);
        TServices::SetHelp(Help);
    }

    QByteArray InitialIni() const {
        return "[DESKTOP]\r\nLicFilePath=" + QFile::encodeName(DataFolder) +
               "\r\nTimedBackups=1\r\nBackupInterval=15\r\nLevelsOfBackup=20\r\nRestoreDesktop=1\r\n"
               "DestSystem=SIMPLE\r\nDestFormat=Cee Data CDS (No GST)\r\nCountry=New Zealand\r\n"
               "DefaultReportFontSize=10\r\n";
    }
    QString DatPath() const { return DataFolder + "/Quilvane.DAT"; }
    QString IniKey(const QString& key) const {
        return TIniFile(IniPath).ReadString("DESKTOP", key, "<missing>");
    }
    TPreferencesModel LoadedModel() const {
        TPreferencesModel model;
        model.Load(Params);
        return model;
    }

    QString DataFolder = TempPath("DATA");
    QString IniPath = TempPath("Quilvane.ini");
    TProgramParams Params;
    std::shared_ptr<TRecordingHelp> Help = std::make_shared<TRecordingHelp>();
};

} // namespace

// ---- The model --------------------------------------------------------------------------------

// Countries are found by name without regard to case (codes are covered where they are stored).
TEST_F(PreferencesTest, ModelFindsCountriesAndParsesNumbersWithFallbacks) {
    EXPECT_EQ(TPreferencesModel::IndexOfCountry(Params, "united states of america"), 9);
    Params.DefaultCountryIndex = 4;
    EXPECT_EQ(TPreferencesModel::IndexOfCountry(Params, " "), 4);
    Params.DefaultCountryIndex = 10; // past the list
    EXPECT_EQ(TPreferencesModel::IndexOfCountry(Params, ""), -1);

    const std::pair<const char*, int> intervals[] = {{"abc", 10}, {"12.5", 10}, {" 12 ", 12}, {"4", 5},
                                                     {"5", 5},    {"30", 30},   {"31", 30}};
    for (const auto& [text, minutes] : intervals)
        EXPECT_EQ(TPreferencesModel::ParseBackupInterval(text), minutes) << text;
    const std::pair<const char*, int> sizes[] = {{"9pt", 8}, {"0", 8}, {"1", 1}, {"72", 72}, {"73", 8}};
    for (const auto& [text, size] : sizes)
        EXPECT_EQ(TPreferencesModel::ParseFontSize(text), size) << text;
}

// Settings that cannot be used as they stand are stored with their fallbacks; a country or
// destination system written as a code is understood and stored as the list shows it. A date
// format equal to a pattern but for case keeps its text, so the shared reference data is not
// rewritten for nothing.
TEST_F(PreferencesTest, ModelStoresFallbacksAndUnderstandsCodes) {
    Params.DestFormat = "Lotus 1-2-3";
    Params.Country = "nzl";
    Params.DestSystem = "simple";
    TPreferencesModel model = LoadedModel();
    model.BackupIntervalText = "abc";
    model.RestoreDesktop = 7;
    model.BackupLevels = 0;
    ASSERT_TRUE(model.Store(Params));
    Params.Save();
    const std::pair<const char*, const char*> expected[] = {
        {"BackupInterval", "10"},   {"RestoreDesktop", "2"},  {"LevelsOfBackup", "1"},
        {"Country", "New Zealand"}, {"DestSystem", "SIMPLE"}, {"DestFormat", "ASCII Text  ( CSV )"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(IniKey(key), value) << key;
    EXPECT_EQ(Params.ReportDateFormat, "DD/MM/YYYY");

    // No destination system: the first one. A country or date format not in the lists is kept.
    Params.DestSystem = "";
    Params.Country = "Atlantis";
    Params.NarrativeDateFormat = "yyyy.mm.dd";
    ASSERT_TRUE(LoadedModel().Store(Params));
    EXPECT_EQ(std::tuple(Params.DestSystem, Params.Country, Params.NarrativeDateFormat),
              std::tuple(QString("QUILVANE"), QString("Atlantis"), QString("yyyy.mm.dd")));
}

// A folder that cannot be used is refused with a warning naming the problem.
TEST_F(PreferencesTest, UnusableDataFolderIsRefusedAndNothingIsStored) {
    const QString nowhere = TempPath("NOWHERE");
    const QString empty = TempPath("EMPTY");
    ASSERT_TRUE(QDir().mkpath(empty));
    const std::pair<QString, QString> cases[] = {
        {"   ", "The data folder cannot be blank."},
        {"DATA", "The data folder DATA is not a full path."},
        {nowhere, "The data folder " + nowhere + " does not exist."},
        {"Q:\\QUILVANE\\DATA", "The data folder Q:\\QUILVANE\\DATA does not exist."}, // drive not mapped
        {DatPath(), "The data folder " + DatPath() + " does not exist."},             // a file
        {empty, "The data folder " + empty + " does not hold Quilvane.DAT."},
    };
    for (const auto& [folder, message] : cases) {
        TPreferencesModel model = LoadedModel();
        model.DataFolder = folder;
        Prompt->Answer(TMessageButton::OK);
        EXPECT_FALSE(model.Store(Params)) << folder.toStdString();
        EXPECT_EQ(Prompt->Texts().value(Prompt->Texts().size() - 1), message);
        EXPECT_TRUE(Params.NextLicFilePath.isEmpty());
    }
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(std::ssize(cases), TBeep::Warning));
}

// The reference-data file is found without regard to case; a changed folder is announced and
// written for the next start while this run keeps its own; the same folder written another way
// is not announced.
TEST_F(PreferencesTest, UsableDataFolderIsKeptForTheNextStartAndAChangeIsAnnounced) {
    const QString other = TempPath("Other");
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(QFile::copy(DatPath(), other + "/quilvane.dat"));

    TPreferencesModel model = LoadedModel();
    model.DataFolder = other;
    Prompt->Answer(TMessageButton::OK);
    ASSERT_TRUE(model.Store(Params));
    EXPECT_EQ(Params.LicFilePath, DataFolder);
    Params.Save();
    EXPECT_EQ(IniKey("LicFilePath"), other);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "The new data folder takes effect the next time QUILVANE is started.");
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 15000);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Information});

    TServices::FileSystem().MapDrive('Q', Temp.path());
    for (const QString& same : {QString(" " + other + "/ "), QString("Q:\\OTHER")}) {
        model.DataFolder = same;
        ASSERT_TRUE(model.Store(Params)) << same.toStdString();
        EXPECT_EQ(Params.NextLicFilePath, same.trimmed());
    }
}

// ---- The window -------------------------------------------------------------------------------

// The window opens on the Startup page with the settings loaded; the tree switches the page and
// its heading, and Help opens the page's topic, leaving the window open.
TEST_F(PreferencesTest, WindowShowsTheSettingsOnFourPages) {
    TfmQuilvaneSetup form(Params);
    EXPECT_EQ(form.windowTitle(), "QUILVANE Setup");
    EXPECT_EQ(std::pair(form.CurrentPage(), form.pnlPageText->text()), std::pair(0, QString("Startup")));
    EXPECT_EQ(form.cboCountry->currentText(), "New Zealand");
    EXPECT_TRUE(form.rbtOpenFilesOnly->isChecked());
    EXPECT_EQ(form.cboDestSystem->currentText(), "Four-digit Accounts");
    EXPECT_EQ(form.cboExportFormat->currentText(), "Cee Data CDS (No GST)");
    EXPECT_EQ(std::pair(form.speTimedSave->value(), form.speBackupLevels->value()), std::pair(15, 20));
    EXPECT_EQ(form.cboFontSize->currentText(), "10");
    EXPECT_EQ(form.cboCustomReportsDate->currentText(), "dd/mm/yyyy");
    EXPECT_EQ(form.cboOtherReportsDate->currentText(), "d mmm yyyy");

    const std::pair<int, const char*> pages[] = {
        {2, "Backups"}, {3, "Reports"}, {1, "Destination System"}, {0, "Startup"}};
    for (const auto& [page, caption] : pages) {
        form.trvCategory->setCurrentItem(form.trvCategory->topLevelItem(page));
        EXPECT_EQ(form.pnlPageText->text(), caption);
        form.btnHelp->click();
    }
    EXPECT_EQ(Help->Contexts, (QList<int>{15300, 15500, 15200, 15000}));
    EXPECT_EQ(form.result(), 0);
}

// Clearing the timed-saving check box disables the minutes, which are stored all the same. The
// date formats chosen become the program's current ones and are saved in the reference data.
TEST_F(PreferencesTest, OkStoresTheControlsAndWritesTheProgramIni) {
    TfmQuilvaneSetup form(Params);
    form.cbxTimedBackups->click();
    EXPECT_FALSE(form.speTimedSave->isEnabled());
    form.cbxTimedBackups->click();
    EXPECT_TRUE(form.speTimedSave->isEnabled());
    form.cbxTimedBackups->click();
    form.speTimedSave->setValue(25);
    form.rbtOpenFilesAndDataEntry->setChecked(true);
    form.cboCountry->setCurrentIndex(3);
    form.cboDestSystem->setCurrentIndex(0);
    form.cboExportFormat->setCurrentIndex(9);
    form.speBackupLevels->setValue(7);
    form.cboFontSize->setEditText("abc");
    form.cboCustomReportsDate->setCurrentIndex(2);
    form.cboOtherReportsDate->setCurrentIndex(6);
    form.btnOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    const std::pair<const char*, const char*> expected[] = {
        {"TimedBackups", "0"},         {"BackupInterval", "25"},
        {"LevelsOfBackup", "7"},       {"RestoreDesktop", "2"},
        {"DestSystem", "QUILVANE"},    {"DestFormat", "Solution 6  ( MAS 4 Release 5.1 )"},
        {"Country", "United Kingdom"}, {"DefaultReportFontSize", "8"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(IniKey(key), value) << key;
    const TIniFile dat(DatPath());
    EXPECT_EQ(dat.ReadString("REGIONAL", "ReportDateFormat", ""), "d-mmm-yyyy");
    EXPECT_EQ(dat.ReadString("REGIONAL", "NarrativeDateFormat", ""), "dd mmmm yyyy");
    EXPECT_EQ(TServices::Regional().ReportDateFormat, "d-mmm-yyyy");
    EXPECT_EQ(TServices::Regional().NarrativeDateFormat, "dd mmmm yyyy");
}

// The report date formats are the practice's: another workstation changes both after this one
// loaded them. OK writes only a format chosen in the window and keeps the other's value of any
// format left alone, and so does the save at the exit.
TEST_F(PreferencesTest, OkWritesOnlyTheDateFormatsChangedInTheWindow) {
    const QByteArray shipped = ReadFileBytes(DatPath());
    const QByteArray byOther =
        QByteArray(shipped)
            .replace("ReportDateFormat=DD/MM/YYYY", "ReportDateFormat=dd mmmm yyyy")
            .replace("NarrativeDateFormat=d mmm yyyy", "NarrativeDateFormat=dd-mmm-yyyy");
    ASSERT_NE(byOther, shipped);
    // The indexes chosen (-1: left alone) and the formats then on disk.
    const std::tuple<int, int, const char*, const char*> cases[] = {
        {-1, -1, "dd mmmm yyyy", "dd-mmm-yyyy"},
        {2, -1, "d-mmm-yyyy", "dd-mmm-yyyy"},
        {-1, 0, "dd mmmm yyyy", "dd/mm/yyyy"},
    };
    for (const auto& [custom, other, report, narrative] : cases) {
        SCOPED_TRACE(testing::Message() << custom << " " << other);
        ASSERT_TRUE(WriteFileBytes(DatPath(), shipped));
        TProgramParams params;
        ASSERT_EQ(params.Load(), 0);
        TfmQuilvaneSetup form(params);
        ASSERT_TRUE(WriteFileBytes(DatPath(), byOther));
        if (custom >= 0)
            form.cboCustomReportsDate->setCurrentIndex(custom);
        if (other >= 0)
            form.cboOtherReportsDate->setCurrentIndex(other);
        form.btnOK->click();
        ASSERT_EQ(form.result(), QDialog::Accepted);
        params.Save();
        const TIniFile dat(DatPath());
        EXPECT_EQ(dat.ReadString("REGIONAL", "ReportDateFormat", ""), report);
        EXPECT_EQ(dat.ReadString("REGIONAL", "NarrativeDateFormat", ""), narrative);
    }
}

// A refused data folder keeps the window open on the Startup page with the folder's edit
// focused, and nothing is stored; Cancel then closes it without a change.
TEST_F(PreferencesTest, RefusedDataFolderKeepsTheWindowOpenAndCancelChangesNothing) {
    TfmQuilvaneSetup form(Params);
    form.SelectPage(TfmQuilvaneSetup::ReportsPage);
    form.speBackupLevels->setValue(3);
    form.cboCustomReportsDate->setCurrentIndex(3);
    form.edtLicFilePath->SetText(TempPath("NOWHERE"));
    Prompt->Answer(TMessageButton::OK);
    form.btnOK->click();
    EXPECT_EQ(form.result(), 0);
    EXPECT_EQ(std::pair(form.CurrentPage(), form.pnlPageText->text()), std::pair(0, QString("Startup")));
    EXPECT_EQ(form.focusWidget(), form.edtLicFilePath);

    form.btnCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(ReadFileBytes(IniPath), InitialIni());
    EXPECT_EQ(std::pair(Params.LevelsOfBackup, Params.ReportDateFormat),
              std::pair(20, QString("DD/MM/YYYY")));
}
