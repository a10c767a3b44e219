#include "tests/shell/DesktopTestSupport.h"

#include "core/logs/LogList.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/LogKinds.h"
#include "shell/filedelete/FileDelete.h"

#include <gtest/gtest.h>

namespace {

// Answers the code box with Typed (nothing: Cancel) and records its texts.
class TTypingPrompt : public TScriptedPrompt {
public:
    bool InputText(const QString& caption, const QString& prompt, QString& value) override {
        Inputs << caption + "|" + prompt;
        if (!Typed)
            return false;
        value = *Typed;
        return true;
    }
    std::optional<QString> Typed;
    QStringList Inputs;
};

void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QStringList Names(const QStringList& paths, const QString& root) {
    QStringList names;
    for (const QString& path : paths)
        names << QDir(root).relativeFilePath(path);
    return names;
}

} // namespace

class FileDeleteTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        TServices::SetPrompt(Typing);
        Backups = TempPath("BACKUPS");
        for (const QString name :
             {"M_DETAIL/QUILVANE.COY", "M_DETAIL/QUILVA06.ADF", "M_DETAIL/QUILVA.RLO",
              "M_DETAIL/quilva07.adf", "M_DETAIL/QUILVAX.RLO", "M_DETAIL/QUILVA06.ADF.OLD",
              "M_DETAIL/QUILVA123.ADF", "BANK_REC/QUILVA06.RU1", "BANK_REC/QUILVANE.RU1", "QUILVA/Q06PAY.01",
              "QUILVA/SUB/NOTE.TXT", "QUILVANE.CFG"})
            Touch(DataDir + "/" + name);
        for (const QString name : {"QUILVA06.007", "QUILVA06.ZIP", "QUILVANE06.007"})
            Touch(Backups + "/" + name);
    }
    void TearDown() override {
        TServices::SetPrompt(Prompt);
        DesktopTest::TearDown();
    }
    // Opens QUILVA on the desktop, with its history entry.
    void OpenQuilva() {
        OpenFiles({"QUILVA"});
        ASSERT_EQ(Desktop.Files().Count(), 1);
        ASSERT_TRUE(ProgramParams().Entities.Contains("QUILVA"));
    }
    QList<TLogDetails> TimeLog() {
        TLogList log(lkTime);
        log.Load();
        return log.Entries;
    }

    std::shared_ptr<TTypingPrompt> Typing = std::make_shared<TTypingPrompt>();
    QString Backups;
};

TEST_F(FileDeleteTest, PlanTakesOnlyTheCodesOwnNames) {
    Touch(RecordPath("QUILVA"));
    const QStringList plan = TFileDelete::DeletePlan("QUILVA", DataDir, Backups, false);
    QStringList names = Names(plan, TempPath(""));
    names.sort();
    QStringList expected =
        (QStringList{"DATA/QUILVA.CFG", "DATA/QUILVA/Q06PAY.01", "DATA/QUILVA/SUB/NOTE.TXT",
                     "DATA/M_DETAIL/QUILVA.RLO", "DATA/M_DETAIL/QUILVA06.ADF", "DATA/M_DETAIL/quilva07.adf",
                     "DATA/BANK_REC/QUILVA06.RU1", "BACKUPS/QUILVA06.007", "BACKUPS/QUILVA06.ZIP"});
    expected.sort();
    EXPECT_EQ(names.join(' ').toStdString(), expected.join(' ').toStdString());
    for (const QString kept : {"QUILVANE.COY", "QUILVAX.RLO", "QUILVA06.ADF.OLD", "QUILVA123.ADF",
                               "QUILVANE.RU1", "QUILVANE06.007", "QUILVANE.CFG"})
        for (const QString& taken : names)
            EXPECT_FALSE(taken.endsWith(QString("/") + kept)) << kept.toStdString();
}

TEST_F(FileDeleteTest, PlanLeavesRemovableBackupsAndRefusesPathCodes) {
    const QStringList plan = TFileDelete::DeletePlan("QUILVA", DataDir, Backups, true);
    EXPECT_FALSE(plan.join('|').contains("BACKUPS"));
    EXPECT_TRUE(TFileDelete::DeletePlan("../DATA", DataDir, Backups, false).isEmpty());
    EXPECT_TRUE(TFileDelete::DeletePlan("", DataDir, Backups, false).isEmpty());
}

TEST_F(FileDeleteTest, CodeMatchesIgnoresCaseOnly) {
    EXPECT_TRUE(TFileDelete::CodeMatches("quilva", "QUILVA"));
    EXPECT_TRUE(TFileDelete::CodeMatches("QUILVA", "QUILVA"));
    EXPECT_FALSE(TFileDelete::CodeMatches("QUILV", "QUILVA"));
    EXPECT_FALSE(TFileDelete::CodeMatches("QUILVA ", "QUILVA"));
    EXPECT_FALSE(TFileDelete::CodeMatches("", ""));
}

TEST_F(FileDeleteTest, ExecuteDeletesTheFileAndItsHistoryEntry) {
    OpenQuilva();
    Typing->Typed = "quilva";
    Typing->Answer(TMessageButton::OK); // confirmation
    Typing->Answer(TMessageButton::OK); // done
    TFileDelete command;
    ASSERT_TRUE(command.Execute(Desktop, 0, [](int) { return 0; }));

    EXPECT_EQ(Typing->Inputs, QStringList{"Deleting file QUILVA|Enter QUILVA to continue"});
    ASSERT_EQ(Typing->Shown.size(), 2);
    const QString name = Desktop.Files().Count() == 0 ? Typing->Shown[1].Text.section('"', 1, 1) : QString();
    EXPECT_EQ(Typing->Shown[0].Text, TFileDelete::ConfirmText.arg("QUILVA", name));
    EXPECT_EQ(Typing->Shown[0].HelpContext, 6100);
    EXPECT_EQ(Typing->Shown[1].Text, "QUILVA \"" + name + "\" has been deleted.");
    EXPECT_FALSE(name.isEmpty());
    EXPECT_EQ(Typing->Beeps.first(), TBeep::Warning);

    EXPECT_EQ(Desktop.Files().Count(), 0);
    EXPECT_FALSE(ProgramParams().Entities.Contains("QUILVA"));
    EXPECT_FALSE(QFile::exists(RecordPath("QUILVA")));
    EXPECT_FALSE(QFileInfo::exists(DataDir + "/QUILVA"));
    EXPECT_FALSE(QFile::exists(DataDir + "/M_DETAIL/QUILVA06.ADF"));
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/QUILVANE.COY"));
    EXPECT_TRUE(QFile::exists(DataDir + "/QUILVANE.CFG"));
    EXPECT_TRUE(command.LastFailures().isEmpty());

    // The use so far and the deletion; the close itself writes nothing more.
    const QList<TLogDetails> log = TimeLog();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].UserName, "");
    EXPECT_EQ(log[1].UserName, "Deleted");
    EXPECT_EQ(log[1].FileCode, "QUILVA");
    EXPECT_EQ(Sessions, 0);
}

TEST_F(FileDeleteTest, WrongCodeOrCancelDeletesNothing) {
    OpenQuilva();
    TFileDelete command;
    Typing->Typed = "QUILVAN";
    EXPECT_FALSE(command.Execute(Desktop, 0, [](int) { return 0; }));
    Typing->Typed.reset();
    EXPECT_FALSE(command.Execute(Desktop, 0, [](int) { return 0; }));
    Typing->Typed = "QUILVA";
    Typing->Answer(TMessageButton::Cancel);
    EXPECT_FALSE(command.Execute(Desktop, 0, [](int) { return 0; }));

    EXPECT_EQ(Desktop.Files().Count(), 1);
    EXPECT_TRUE(QFile::exists(RecordPath("QUILVA")));
    EXPECT_TRUE(QFile::exists(DataDir + "/M_DETAIL/QUILVA06.ADF"));
    EXPECT_TRUE(ProgramParams().Entities.Contains("QUILVA"));
    EXPECT_TRUE(TimeLog().isEmpty());
}

TEST_F(FileDeleteTest, AFileThatStaysIsReportedNotCalledDeleted) {
    OpenQuilva();
    Typing->Typed = "QUILVA";
    Typing->Answer(TMessageButton::OK);
    Typing->Answer(TMessageButton::OK);
    const auto local = TFileDelete::LocalRemoveFile();
    TFileDelete command([&](const QString& path) { return !path.endsWith("QUILVA06.RU1") && local(path); });
    ASSERT_TRUE(command.Execute(Desktop, 0, [](int) { return 0; }));
    ASSERT_EQ(command.LastFailures().size(), 1);
    EXPECT_TRUE(command.LastFailures()[0].endsWith("BANK_REC/QUILVA06.RU1"));
    ASSERT_EQ(Typing->Shown.size(), 2);
    EXPECT_EQ(Typing->Shown[1].Kind, TMessageKind::Warning);
    EXPECT_TRUE(Typing->Shown[1].Text.contains("could not be deleted completely"));
    EXPECT_TRUE(Typing->Shown[1].Text.contains("QUILVA06.RU1"));
    EXPECT_FALSE(Typing->Shown[1].Text.contains("has been deleted"));
}
