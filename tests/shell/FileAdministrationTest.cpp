#include "tests/core/EntityTestSupport.h"

#include "core/charts/AccountsChart.h"
#include "core/entity/EntityInfo.h"
#include "core/io/IniFile.h"
#include "shell/desktop/Desktop.h"
#include "shell/desktop/DesktopWidgets.h"
#include "shell/filecode/ChangeFileCode.h"
#include "shell/filecode/FileCodeEdit.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/FileCommands.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/properties/FileProperties.h"
#include "shell/properties/PeriodsPerYearEdit.h"
#include "shell/shutdown/BackupAnswer.h"
#include "shell/transfer/TransferFileArrival.h"

#include <QDirIterator>
#include <QTest>
#include <QtWidgets>

namespace {

// A client file's life from the main window on a data folder that holds the practice's standard
// chart: the wizard creates it, the desktop opens it, then it is renamed and copied and the copy
// opened beside it. The dialogs are filled as a user would fill them.
class FileAdministrationTest : public TEntityFixture, public IBackupQuestion {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            QFile::copy(TProgramParams::ShippedStandardChartPath(), DataDir + "/M_DETAIL/QUILVANE.COY"));
        TMainWindowParts parts;
        parts.BackupQuestion = this;
        parts.RunDialog = [this](QDialog& dialog) { return Fill ? Fill(dialog) : int(QDialog::Rejected); };
        Window = std::make_unique<TfmQuilvaneMain>(*Params, "WORKSTATION1", parts);
        Registry = std::make_unique<TChildWindowRegistry>(*Window);
        Window->SetChildWindows(Registry.get());
    }
    void TearDown() override {
        Window.reset();
        Registry.reset();
        TEntityFixture::TearDown();
    }
    TBackupAnswer Ask(const QString&) override { return TBackupAnswer::No; }

    // The wizard, page by page: code, name and type; the year, its end month and the periods.
    static int FillWizard(QDialog& dialog, const QString& code) {
        auto& wizard = dynamic_cast<TfmFileProperties&>(dialog);
        QTest::keyClicks(wizard.medEntityCode, code);
        wizard.edtEntityName->setText("Acme Pty Ltd");
        wizard.cboEntityType->setCurrentIndex(wizard.cboEntityType->findData("COY"));
        while (wizard.CurrentPage() != TfmFileProperties::DataEntry)
            wizard.btnNext->click();
        wizard.speFinancialYear->setValue(2026);
        wizard.cboYearEndMonth->setCurrentIndex(5);
        wizard.edtPeriodsPerYear->stepBy(-2); // 12 -> 6 -> 4
        while (wizard.btnOK->isHidden())
            wizard.btnNext->click();
        wizard.btnOK->click();
        return wizard.result();
    }
    // The rename or copy dialog: the new code, then OK.
    static int FillChange(QDialog& dialog, const QString& code) {
        auto& change = dynamic_cast<TfmChangeFileCode&>(dialog);
        change.medFileCode->setText(code);
        change.btnOK->click();
        return change.result();
    }
    void Answer(std::initializer_list<TMessageButton> answers) {
        for (TMessageButton answer : answers)
            Prompt->Answer(answer);
    }
    void ForgetPrompts() { Prompt->Shown.clear(); }
    QString Key(const QString& code, const QString& key) const {
        return TIniFile(RecordPath(code)).ReadString("CONFIGURATION", key, "<missing>");
    }
    // Every file and folder under the data folder, relative to it.
    QStringList Names() const {
        QStringList names;
        QDirIterator it(DataDir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names << QDir(DataDir).relativeFilePath(it.next());
        names.sort();
        return names;
    }

    std::function<int(QDialog&)> Fill;
    std::unique_ptr<TChildWindowRegistry> Registry;
    std::unique_ptr<TfmQuilvaneMain> Window;
};

TEST_F(FileAdministrationTest, ANewFileIsCreatedOpenedRenamedAndCopied) {
    Fill = [](QDialog& dialog) { return FillWizard(dialog, "acme01"); };
    Answer({TMessageButton::OK}); // the file has been created
    Window->actNew->trigger();
    ASSERT_EQ(Prompt->Texts(), QStringList{"ACME01 \"Acme Pty Ltd\" has been successfully created."});
    const std::pair<const char*, const char*> keys[] = {{"Code", "ACME01"},
                                                        {"Name", "Acme Pty Ltd"},
                                                        {"Type", "COY"},
                                                        {"Year", "2026"},
                                                        {"EndMonth", "6"},
                                                        {"Periods", "4"},
                                                        {"AccDefault", "QUILVANE.COY"},
                                                        {"Locked", "1"},
                                                        {"LockedBy", "WORKSTATION1"}};
    for (const auto& [key, value] : keys)
        EXPECT_EQ(Key("ACME01", key), value) << key;
    // The year's charts were written at once, the accounts from the standard chart.
    for (const char* chart : {"ACME0126.ADF", "ACME0126.STD", "ACME0126.TXR", "ACME0126.CCR"})
        EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/" + chart)) << chart;
    TDesktop& desktop = Window->Desktop();
    ASSERT_EQ(desktop.Files().Count(), 1);
    EXPECT_GT(desktop.Files().File(0)->AccountsChart(2026)->Count(), 20);
    EXPECT_EQ(Params->Entities.Codes().value(0), "ACME01");

    // Rename: no backup, then the question and the success box.
    Fill = [](QDialog& dialog) { return FillChange(dialog, "acme02"); };
    ForgetPrompts();
    Answer({TMessageButton::No, TMessageButton::OK, TMessageButton::OK});
    Window->mnuRenameFile->trigger();
    EXPECT_EQ(Prompt->Texts().value(2), "Rename of ACME01 to ACME02 was successful");
    EXPECT_EQ(desktop.Files().Code(0), "ACME02");
    EXPECT_EQ(Params->Entities.Codes().value(0), "ACME02");
    EXPECT_FALSE(QFile::exists(RecordPath("ACME01")));
    EXPECT_FALSE(QFile::exists(DataDir + "/M_DETAIL/ACME0126.ADF"));
    EXPECT_EQ(Key("ACME02", "Code"), "ACME02");
    EXPECT_EQ(Key("ACME02", "Locked"), "1");
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ACME0226.ADF"));

    // Copy: the open file keeps its own record; the copy is unlocked and opens beside it.
    Fill = [](QDialog& dialog) { return FillChange(dialog, "ACME03"); };
    ForgetPrompts();
    Answer({TMessageButton::OK, TMessageButton::OK});
    Window->mnuCopyFile->trigger();
    EXPECT_EQ(Prompt->Texts().value(1), "Copy of ACME02 to ACME03 was successful");
    EXPECT_EQ(desktop.Files().File(0)->EntityDetail().FileCode, "ACME02");
    EXPECT_EQ(Key("ACME03", "Code"), "ACME03");
    EXPECT_EQ(Key("ACME03", "Locked"), "0");
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ACME0226.ADF"));
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/ACME0326.ADF"));
    desktop.OpenFiles("ACME03,", "1,");
    ASSERT_EQ(desktop.Files().Count(), 2);
    EXPECT_EQ(desktop.Files().ActiveFile()->EntityDetail().Name, "Acme Pty Ltd");
    EXPECT_EQ(Key("ACME03", "Locked"), "1");
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(desktop.CloseFileOnDesktop(0));
    EXPECT_EQ(Key("ACME02", "Locked") + Key("ACME03", "Locked"), "00");
}

// A rename whose second file operation fails undoes the first: every name is as it was, the file
// keeps its code on the desktop and the failure is told.
TEST_F(FileAdministrationTest, ARenameThatFailsPartWayLeavesEveryNameAsItWas) {
    Fill = [](QDialog& dialog) { return FillWizard(dialog, "ACME01"); };
    Answer({TMessageButton::OK});
    Window->actNew->trigger();
    const QStringList before = Names();
    ASSERT_TRUE(before.contains("M_DETAIL/ACME0126.TXR"));

    TFileCommandHost host;
    host.Parent = Window.get();
    host.Desktop = &Window->Desktop();
    host.Registry = [this]() -> IChildWindowRegistry& { return *Registry; };
    host.RunDialog = [](QDialog& dialog) { return FillChange(dialog, "ACME09"); };
    int moves = 0;
    const TFileCodeOperations local = TFileCodeOperations::Local();
    host.FileOperations.Move = [&](const QString& from, const QString& to) {
        return ++moves != 2 && local.Move(from, to);
    };
    TFileCommands commands(std::move(host));
    ForgetPrompts();
    Answer({TMessageButton::No, TMessageButton::OK, TMessageButton::OK});
    commands.RenameOrCopyFile(TFileCommands::RenameMode);
    EXPECT_GE(moves, 2);
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(Window->Desktop().Files().Code(0), "ACME01");
    EXPECT_EQ(Window->Desktop().Files().File(0)->EntityDetail().FileCode, "ACME01");
    EXPECT_TRUE(Prompt->Texts().value(2).startsWith("Unable to Rename ACME01 to ACME09"));
}

// File > Properties saves what the sheet changed; a cancelled wizard leaves nothing behind.
TEST_F(FileAdministrationTest, PropertiesAreSavedAndACancelledWizardLeavesNothing) {
    Window->actNew->trigger();
    EXPECT_EQ(Names(), QStringList({"M_DETAIL", "M_DETAIL/QUILVANE.COY"}));
    Fill = [](QDialog& dialog) { return FillWizard(dialog, "ACME01"); };
    Answer({TMessageButton::OK});
    Window->actNew->trigger();
    Fill = [](QDialog& dialog) {
        auto& sheet = dynamic_cast<TfmFileProperties&>(dialog);
        EXPECT_FALSE(sheet.medEntityCode->isEnabled());
        sheet.edtEntityName->setText("Acme Holdings");
        sheet.ShowPage(TfmFileProperties::DataEntry);
        sheet.edtPeriodsPerYear->stepBy(1); // 4 -> 6
        sheet.btnOK->click();
        return sheet.result();
    };
    Window->actFileProperties->trigger();
    EXPECT_EQ(Key("ACME01", "Name"), "Acme Holdings");
    EXPECT_EQ(Key("ACME01", "Periods"), "6");
    EXPECT_EQ(Window->Desktop().Files().File(0)->PeriodsPerYear, 6);
    EXPECT_TRUE(Window->cboActiveFile->itemText(0).contains("Acme Holdings"));
}

// An archive that arrived for an open file is offered by its client's name and year; No leaves
// the desktop alone, Yes makes that file active and starts the transfer in, which first offers a
// backup.
TEST_F(FileAdministrationTest, AnArrivedArchiveIsOfferedAndYesMakesItsFileActive) {
    for (const char* code : {"ACME01", "BETA02"}) {
        Fill = [code](QDialog& dialog) { return FillWizard(dialog, code); };
        Answer({TMessageButton::OK});
        Window->actNew->trigger();
    }
    TDesktop& desktop = Window->Desktop();
    ASSERT_EQ(desktop.ActiveIndex(), 1);
    TFileCommandHost host;
    host.Parent = Window.get();
    host.Desktop = &desktop;
    host.Registry = [this]() -> IChildWindowRegistry& { return *Registry; };
    TFileCommands commands(std::move(host));
    const TTransferOffer offer{0, "ACME01", "Acme Pty Ltd", 2026, DataDir + "/ACME0126.QTF"};
    ForgetPrompts();
    Answer({TMessageButton::No, TMessageButton::Yes, TMessageButton::Cancel});
    commands.TransferArrived(offer);
    EXPECT_EQ(desktop.ActiveIndex(), 1);
    commands.TransferArrived(offer);
    EXPECT_EQ(desktop.ActiveIndex(), 0);
    ASSERT_EQ(Prompt->Texts().size(), 3);
    EXPECT_EQ(Prompt->Texts()[1], TransferQuestionText("Acme Pty Ltd", 2026));
    EXPECT_EQ(Prompt->Texts()[2], TChildWindows::SuggestBackupQuestion(8));
}

} // namespace
