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
#include <functional>

namespace {

class TRecordingHelp : public IHelp {
public:
    void ShowContext(int context) override { Contexts.append(context); }
    QList<int> Contexts;
};

// Program settings loaded from a program ini in the temporary folder, whose data folder holds
// the shipped reference data. In the shipped data the countries in code order are AUS (the
// default) CAN FJI GBR HKG IRL NZL PNG SGP USA, the account formats QUILVANE and SIMPLE, and the
// report date format is "DD/MM/YYYY".
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
    void ForgetPrompts() {
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
    }

    QString DataFolder = TempPath("DATA");
    QString IniPath = TempPath("Quilvane.ini");
    TProgramParams Params;
    std::shared_ptr<TRecordingHelp> Help = std::make_shared<TRecordingHelp>();
};

} // namespace

// ---- The model --------------------------------------------------------------------------------

TEST_F(PreferencesTest, ModelLookups) {
    const std::pair<const char*, int> destFormats[] = {{"HandiLedger (GST)", 5},
                                                       {"Solution 6  ( MAS 4 Release 5.1 )", 9},
                                                       {"ASCII Text ( CSV )", 0}, // one blank: not the name
                                                       {"handiledger (gst)", 0},
                                                       {"", 0}};
    for (const auto& [name, index] : destFormats)
        EXPECT_EQ(TPreferencesModel::IndexOfDestFormat(name), index) << name;

    const std::pair<const char*, int> dateFormats[] = {
        {"dd mmmm yyyy", 6}, {"D-MMM-YYYY", 2}, {"DD-MM-YYYY", -1}, {"", -1}};
    for (const auto& [format, index] : dateFormats)
        EXPECT_EQ(TPreferencesModel::IndexOfDateFormat(format), index) << format;

    const std::pair<const char*, int> countries[] = {
        {"", 0},         {"new zealand", 6}, {"NZL", 6}, {"gbr", 3}, {"United States of America", 9},
        {"Atlantis", -1}};
    for (const auto& [country, index] : countries)
        EXPECT_EQ(TPreferencesModel::IndexOfCountry(Params, country), index) << country;
    Params.DefaultCountryIndex = -1;
    EXPECT_EQ(TPreferencesModel::IndexOfCountry(Params, ""), -1);
    Params.DefaultCountryIndex = 10; // past the list
    EXPECT_EQ(TPreferencesModel::IndexOfCountry(Params, ""), -1);
}

TEST_F(PreferencesTest, ModelParsesIntervalAndFontSizeWithFallbacks) {
    const std::pair<const char*, int> intervals[] = {{"abc", 10}, {"", 10},  {"12.5", 10}, {" 12 ", 12},
                                                     {"5", 5},    {"4", 5},  {"0", 5},     {"-20", 5},
                                                     {"30", 30},  {"31", 30}};
    for (const auto& [text, minutes] : intervals)
        EXPECT_EQ(TPreferencesModel::ParseBackupInterval(text), minutes) << text;
    const std::pair<const char*, int> sizes[] = {{"abc", 8}, {"", 8},    {"0", 8},   {"-3", 8}, {"1", 1},
                                                 {"11", 11}, {"30", 30}, {"72", 72}, {"73", 8}, {"9pt", 8}};
    for (const auto& [text, size] : sizes)
        EXPECT_EQ(TPreferencesModel::ParseFontSize(text), size) << text;
}

// Each edit of the loaded values, stored, saved and read back from the program ini.
TEST_F(PreferencesTest, ModelStoresEachValueWithItsFallback) {
    struct TCase {
        const char* Name;
        std::function<void(TPreferencesModel&)> Edit;
        QString Key;
        QString Expected;
    };
    const TCase cases[] = {
        {"interval not a number", [](auto& m) { m.BackupIntervalText = "abc"; }, "BackupInterval", "10"},
        {"interval", [](auto& m) { m.BackupIntervalText = "25"; }, "BackupInterval", "25"},
        {"font size not a number", [](auto& m) { m.FontSizeText = "abc"; }, "DefaultReportFontSize", "8"},
        {"font size typed past the list", [](auto& m) { m.FontSizeText = "30"; }, "DefaultReportFontSize",
         "30"},
        {"no export format", [](auto& m) { m.ExportFormatIndex = -1; }, "DestFormat", "ASCII Text  ( CSV )"},
        {"no destination system", [](auto& m) { m.DestSystemIndex = -1; }, "DestSystem", "QUILVANE"},
        {"no country keeps the setting", [](auto& m) { m.CountryIndex = -1; }, "Country", "New Zealand"},
        {"desktop past the choices", [](auto& m) { m.RestoreDesktop = 7; }, "RestoreDesktop", "2"},
        {"no backup levels", [](auto& m) { m.BackupLevels = 0; }, "LevelsOfBackup", "1"},
        {"timed saving off", [](auto& m) { m.TimedBackups = false; }, "TimedBackups", "0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(WriteFileBytes(IniPath, InitialIni()));
        ASSERT_EQ(Params.Load(), 0);
        TPreferencesModel model = LoadedModel();
        c.Edit(model);
        ASSERT_TRUE(model.Store(Params));
        Params.Save();
        EXPECT_EQ(IniKey(c.Key), c.Expected);
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(PreferencesTest, UnknownSettingsSelectTheFirstOrTheDefaultAndStoreIt) {
    Params.DestFormat = "Lotus 1-2-3";
    Params.DestSystem = "";
    Params.Country = "";
    TPreferencesModel model = LoadedModel();
    EXPECT_EQ(model.ExportFormatIndex, 0);
    EXPECT_EQ(model.DestSystemIndex, -1);
    EXPECT_EQ(model.CountryIndex, 0);
    ASSERT_TRUE(model.Store(Params));
    EXPECT_EQ(Params.DestFormat, "ASCII Text  ( CSV )");
    EXPECT_EQ(Params.DestSystem, "QUILVANE");
    EXPECT_EQ(Params.Country, "Australia");

    Params.Country = "nzl"; // a code: understood, stored as the name
    Params.DestSystem = "simple";
    model = LoadedModel();
    EXPECT_EQ(std::pair(model.CountryIndex, model.DestSystemIndex), std::pair(6, 1));
    ASSERT_TRUE(model.Store(Params));
    EXPECT_EQ(std::pair(Params.Country, Params.DestSystem),
              std::pair(QString("New Zealand"), QString("SIMPLE")));

    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

// A folder that cannot be used is refused with a warning naming the problem, and nothing at all
// is stored.
TEST_F(PreferencesTest, UnusableDataFolderIsRefusedAndNothingIsStored) {
    ASSERT_TRUE(QDir().mkpath(TempPath("EMPTY")));
    const QString nowhere = TempPath("NOWHERE");
    const QString empty = TempPath("EMPTY");
    const std::pair<QString, QString> cases[] = {
        {"", "The data folder cannot be blank."},
        {"   ", "The data folder cannot be blank."},
        {"DATA", "The data folder DATA is not a full path."},
        {nowhere, "The data folder " + nowhere + " does not exist."},
        {"Q:\\QUILVANE\\DATA", "The data folder Q:\\QUILVANE\\DATA does not exist."}, // drive not mapped
        {DatPath(), "The data folder " + DatPath() + " does not exist."},             // a file
        {empty, "The data folder " + empty + " does not hold Quilvane.DAT."},
    };
    for (const auto& [folder, message] : cases) {
        SCOPED_TRACE(folder.toStdString());
        ForgetPrompts();
        TPreferencesModel model = LoadedModel();
        model.DataFolder = folder;
        model.BackupIntervalText = "20";
        model.CountryIndex = 0;
        EXPECT_EQ(TPreferencesModel::DataFolderProblem(folder), message);
        Prompt->Answer(TMessageButton::OK);
        EXPECT_FALSE(model.Store(Params));
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Warning);
        EXPECT_EQ(Prompt->Shown[0].Text, message);
        EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Warning});
        EXPECT_EQ(Params.LicFilePath, DataFolder);
        EXPECT_EQ(std::pair(Params.BackupInterval, Params.Country), std::pair(15, QString("New Zealand")));
    }
}

// The reference-data file is found without regard to case; a changed folder is announced for
// the next start, the same folder written another way is not.
TEST_F(PreferencesTest, UsableDataFolderIsStoredAndAChangeIsAnnounced) {
    const QString other = TempPath("Other");
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(QFile::copy(DatPath(), other + "/quilvane.dat"));
    EXPECT_EQ(TPreferencesModel::DataFolderProblem(other), "");

    TPreferencesModel model = LoadedModel();
    model.DataFolder = other;
    Prompt->Answer(TMessageButton::OK);
    ASSERT_TRUE(model.Store(Params));
    // This run keeps its folder; the next start takes the new one.
    EXPECT_EQ(Params.LicFilePath, DataFolder);
    EXPECT_EQ(Params.NextLicFilePath, other);
    Params.Save();
    EXPECT_EQ(TIniFile(TempPath("Quilvane.ini")).ReadString("DESKTOP", "LicFilePath", ""), other);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Information);
    EXPECT_EQ(Prompt->Shown[0].Text, "The new data folder takes effect the next time QUILVANE is started.");
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::OK | TMessageButton::Help);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 15000);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Information});

    ForgetPrompts();
    TServices::FileSystem().MapDrive('Q', Temp.path());
    for (const QString& same : {QString(" " + other + "/ "), QString("Q:\\OTHER")}) {
        model.DataFolder = same;
        ASSERT_TRUE(model.Store(Params)) << same.toStdString();
        EXPECT_EQ(Params.NextLicFilePath, same.trimmed());
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

// A pattern equal to the setting but for case leaves the shared reference-data file alone; a
// chosen pattern becomes the program's current format and is saved; a setting that is none of
// the patterns is kept.
TEST_F(PreferencesTest, ReportDateFormatsKeepTheirTextUnlessAnotherPatternIsChosen) {
    const QByteArray datBefore = ReadFileBytes(DatPath());
    TPreferencesModel model = LoadedModel();
    ASSERT_TRUE(model.Store(Params));
    Params.Save();
    EXPECT_EQ(Params.ReportDateFormat, "DD/MM/YYYY");
    EXPECT_EQ(ReadFileBytes(DatPath()), datBefore);

    model.CustomReportsDateIndex = 2;
    model.OtherReportsDateIndex = 6;
    ASSERT_TRUE(model.Store(Params));
    Params.Save();
    EXPECT_EQ(std::pair(Params.ReportDateFormat, Params.NarrativeDateFormat),
              std::pair(QString("d-mmm-yyyy"), QString("dd mmmm yyyy")));
    EXPECT_EQ(std::pair(TServices::Regional().ReportDateFormat, TServices::Regional().NarrativeDateFormat),
              std::pair(QString("d-mmm-yyyy"), QString("dd mmmm yyyy")));
    const TIniFile dat(DatPath());
    EXPECT_EQ(dat.ReadString("REGIONAL", "ReportDateFormat", ""), "d-mmm-yyyy");
    EXPECT_EQ(dat.ReadString("REGIONAL", "NarrativeDateFormat", ""), "dd mmmm yyyy");

    Params.NarrativeDateFormat = "yyyy.mm.dd";
    model = LoadedModel();
    EXPECT_EQ(model.OtherReportsDateIndex, -1);
    ASSERT_TRUE(model.Store(Params));
    EXPECT_EQ(Params.NarrativeDateFormat, "yyyy.mm.dd");
}

// ---- The window -------------------------------------------------------------------------------

namespace {

QStringList TopLevelTexts(const QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

template <typename TWidget> QStringList Captions(const QWidget* window) {
    QStringList captions;
    for (const TWidget* widget : window->findChildren<TWidget*>()) {
        if constexpr (std::is_same_v<TWidget, QGroupBox>)
            captions << widget->title();
        else
            captions << widget->text();
    }
    return captions;
}

} // namespace

TEST_F(PreferencesTest, WindowShowsTheSettingsOnFourPages) {
    TfmQuilvaneSetup form(Params);
    EXPECT_EQ(form.windowTitle(), "QUILVANE Setup");
    EXPECT_EQ(TopLevelTexts(form.trvCategory),
              (QStringList{"Startup", "Destination System", "Backups", "Reports"}));
    EXPECT_EQ(form.trvCategory->currentItem(), form.trvCategory->topLevelItem(0));
    EXPECT_EQ(form.pgcDetails->count(), 4);
    EXPECT_EQ(std::pair(form.CurrentPage(), form.pnlPageText->text()), std::pair(0, QString("Startup")));

    EXPECT_EQ(form.edtLicFilePath->Text(), DataFolder);
    EXPECT_EQ(form.cboCountry->count(), 10);
    EXPECT_EQ(form.cboCountry->currentText(), "New Zealand");
    EXPECT_TRUE(form.rbtOpenFilesOnly->isChecked());
    EXPECT_EQ(form.cboDestSystem->currentText(), "Four-digit Accounts");
    EXPECT_EQ(form.cboDestSystem->currentData().toString(), "SIMPLE");
    EXPECT_EQ(form.cboExportFormat->count(), 10);
    EXPECT_EQ(form.cboExportFormat->currentText(), "Cee Data CDS (No GST)");
    EXPECT_TRUE(form.cbxTimedBackups->isChecked());
    EXPECT_TRUE(form.speTimedSave->isEnabled());
    EXPECT_EQ(
        std::tuple(form.speTimedSave->value(), form.speTimedSave->minimum(), form.speTimedSave->maximum()),
        std::tuple(15, 5, 30));
    EXPECT_EQ(std::tuple(form.speBackupLevels->value(), form.speBackupLevels->minimum(),
                         form.speBackupLevels->maximum()),
              std::tuple(20, 1, 99));
    EXPECT_EQ(form.cboFontSize->count(), 19);
    EXPECT_EQ(form.cboFontSize->currentText(), "10");
    EXPECT_EQ(form.cboCustomReportsDate->count(), 7);
    EXPECT_EQ(form.cboCustomReportsDate->currentText(), "dd/mm/yyyy");
    EXPECT_EQ(form.cboOtherReportsDate->currentText(), "d mmm yyyy");

    EXPECT_EQ(Captions<QRadioButton>(&form),
              (QStringList{"&Don't Restore", "Open &Files Only", "Open Files and Data &Entry"}));
    EXPECT_EQ(Captions<QCheckBox>(&form), QStringList{" &Automatically perform timed saving every"});
    const QStringList groups = Captions<QGroupBox>(&form);
    for (const char* title : {" Country ", " Desktop ", " Final Accounting System ",
                              " Default Export Format ", " Default Font Size ", " Report Date Formats "})
        EXPECT_TRUE(groups.contains(title)) << title;
    const QStringList labels = Captions<QLabel>(&form);
    for (const char* text : {"minutes.", "Maintain last", "backups only.", "Custom Reports", "Other Reports"})
        EXPECT_TRUE(labels.contains(text)) << text;
}

TEST_F(PreferencesTest, TreeSwitchesPageHeadingAndHelpTopic) {
    TfmQuilvaneSetup form(Params);
    const std::tuple<int, const char*, int> pages[] = {{2, "Backups", 15300},
                                                       {3, "Reports", 15500},
                                                       {1, "Destination System", 15200},
                                                       {0, "Startup", 15000}};
    for (const auto& [page, caption, topic] : pages) {
        form.trvCategory->setCurrentItem(form.trvCategory->topLevelItem(page));
        EXPECT_EQ(form.pgcDetails->currentIndex(), page);
        EXPECT_EQ(form.pnlPageText->text(), caption);
        form.btnHelp->click();
        EXPECT_EQ(Help->Contexts.value(Help->Contexts.size() - 1), topic) << caption;
    }
    EXPECT_EQ(Help->Contexts.size(), 4);
    EXPECT_EQ(form.result(), 0); // help leaves the window open
}

// Clearing the check box disables the spin edit, whose minutes are stored all the same.
TEST_F(PreferencesTest, TimedSavingCheckBoxEnablesTheMinutesWhichAreStoredEitherWay) {
    TfmQuilvaneSetup form(Params);
    form.cbxTimedBackups->click();
    EXPECT_FALSE(form.speTimedSave->isEnabled());
    form.cbxTimedBackups->click();
    EXPECT_TRUE(form.speTimedSave->isEnabled());
    form.cbxTimedBackups->click();
    form.speTimedSave->setValue(25);
    form.btnOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(std::pair(IniKey("TimedBackups"), IniKey("BackupInterval")),
              std::pair(QString("0"), QString("25")));
    EXPECT_FALSE(Params.TimedBackups);
}

TEST_F(PreferencesTest, OkStoresTheControlsAndWritesTheProgramIni) {
    TfmQuilvaneSetup form(Params);
    form.rbtOpenFilesAndDataEntry->setChecked(true);
    form.cboCountry->setCurrentIndex(3);
    form.cboDestSystem->setCurrentIndex(0);
    form.cboExportFormat->setCurrentIndex(9);
    form.speBackupLevels->setValue(7);
    form.cboFontSize->setEditText("abc");
    form.cboOtherReportsDate->setCurrentIndex(4);
    form.btnOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    const std::pair<const char*, const char*> expected[] = {
        {"LicFilePath", nullptr},
        {"TimedBackups", "1"},
        {"BackupInterval", "15"},
        {"LevelsOfBackup", "7"},
        {"RestoreDesktop", "2"},
        {"DestSystem", "QUILVANE"},
        {"DestFormat", "Solution 6  ( MAS 4 Release 5.1 )"},
        {"Country", "United Kingdom"},
        {"DefaultReportFontSize", "8"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(IniKey(key), value ? QString(value) : DataFolder) << key;
    EXPECT_EQ(TIniFile(DatPath()).ReadString("REGIONAL", "NarrativeDateFormat", ""), "dd-mmm-yyyy");
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(PreferencesTest, CancelChangesNothing) {
    const QByteArray datBefore = ReadFileBytes(DatPath());
    TfmQuilvaneSetup form(Params);
    form.rbtDontRestore->setChecked(true);
    form.speBackupLevels->setValue(3);
    form.cboExportFormat->setCurrentIndex(0);
    form.cboCustomReportsDate->setCurrentIndex(3);
    form.edtLicFilePath->SetText(TempPath("NOWHERE"));
    form.btnCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(ReadFileBytes(IniPath), InitialIni());
    EXPECT_EQ(ReadFileBytes(DatPath()), datBefore);
    EXPECT_EQ(std::tuple(Params.RestoreDesktop, Params.LevelsOfBackup, Params.DestFormat, Params.LicFilePath),
              std::tuple(1, 20, QString("Cee Data CDS (No GST)"), DataFolder));
    EXPECT_EQ(Params.ReportDateFormat, "DD/MM/YYYY");
}

// A refused data folder keeps the window open on the Startup page with the folder's edit
// focused; nothing is stored or written.
TEST_F(PreferencesTest, RefusedDataFolderKeepsTheWindowOpenOnStartup) {
    TfmQuilvaneSetup form(Params);
    form.SelectPage(TfmQuilvaneSetup::ReportsPage);
    form.speBackupLevels->setValue(3);
    form.edtLicFilePath->SetText(TempPath("NOWHERE"));
    Prompt->Answer(TMessageButton::OK);
    form.btnOK->click();
    EXPECT_EQ(form.result(), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList{"The data folder " + TempPath("NOWHERE") + " does not exist."});
    EXPECT_EQ(std::pair(form.CurrentPage(), form.pnlPageText->text()), std::pair(0, QString("Startup")));
    EXPECT_EQ(form.focusWidget(), form.edtLicFilePath);
    EXPECT_EQ(ReadFileBytes(IniPath), InitialIni());
    EXPECT_EQ(std::pair(Params.LicFilePath, Params.LevelsOfBackup), std::pair(DataFolder, 20));

    form.edtLicFilePath->SetText(DataFolder); // put right: OK goes through
    form.btnOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(IniKey("LevelsOfBackup"), "3");
}
