#include "shell/startup/ProgramParamsLoader.h"
#include "shell/startup/QuilvaneApplication.h"
#include "tests/shell/ShellFixture.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>

namespace {

// The steps of a start-up that runs to its end, of a terminal-server session, and of one whose
// main window fails.
const char* const AllSteps =
    "claim printer splash wait500 load wait1000 window free-splash restore loop save free-settings";
const char* const TerminalSteps =
    "printer splash wait500 load wait1000 logon window free-splash restore loop save free-settings";
const char* const WindowFailed =
    "claim printer splash wait500 load wait1000 window free-splash save free-settings";

} // namespace

TEST_F(ShellTest, StartupTakesItsStepsInOrderAndSavesOnlySettingsThatLoaded) {
    const struct {
        QStringList Arguments; // after the program's path
        bool FirstCopy;
        int PrinterIndex; // -1: none; -2: the list cannot be read
        int LoadResult;
        bool WindowFails;
        int Exit; // -1: the failure goes to the caller
        const char* Steps;
    } cases[] = {
        {{}, true, 0, 0, false, 3, AllSteps},
        {{}, false, 0, 0, false, 0, "claim"},
        {{}, true, -1, 0, false, 1, "claim printer"},
        {{}, true, -2, 0, false, 1, "claim printer"},
        {{}, true, 0, -1, false, 1, "claim printer splash wait500 load free-splash free-settings"},
        {{}, true, 0, 0, true, -1, WindowFailed},
        // The terminal-server switch, anywhere in the first argument and in any case: no guard,
        // and the user named by the logon name.
        {{"/terminal"}, false, 0, 0, false, 3, TerminalSteps},
        {{"xxTerminalyy"}, false, 0, 0, false, 3, TerminalSteps},
        {{"TERMINA"}, true, 0, 0, false, 3, AllSteps},
        {{"data", "TERMINAL"}, true, 0, 0, false, 3, AllSteps},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Steps << " " << c.Arguments.join(' ').toStdString());
        QStringList steps;
        TFakes fakes(steps);
        TFakeSettings settings(steps);
        fakes.FirstCopy = c.FirstCopy;
        fakes.PrinterIndex = c.PrinterIndex;
        fakes.WindowFails = c.WindowFails;
        settings.LoadResult = c.LoadResult;
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        if (c.PrinterIndex < 0)
            Prompt->Answer(TMessageButton::OK);
        if (c.Exit < 0) {
            EXPECT_THROW(Run(fakes, settings, c.Arguments), EQuilvaneError);
        } else {
            EXPECT_EQ(Run(fakes, settings, c.Arguments), c.Exit);
        }
        EXPECT_EQ(steps.join(' '), QString::fromLatin1(c.Steps));
        EXPECT_EQ(Prompt->Texts(),
                  c.PrinterIndex < 0 ? QStringList{TStartupSequence::NoPrinterMessage()} : QStringList());
        EXPECT_EQ(Prompt->Beeps.value(0, TBeep::Default), c.PrinterIndex < 0 ? TBeep::Error : TBeep::Default);
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), TStartupSequence::ApplicationTitle());
    }
}

TEST_F(ShellTest, StartupNeedsEveryOneOfItsServices) {
    QStringList steps;
    TFakes fakes(steps);
    TFakeSettings settings(steps);
    for (int missing = 0; missing < 6; ++missing) {
        const auto keep = [missing](int slot, auto* service) { return slot == missing ? nullptr : service; };
        const TStartupServices services{keep(0, &fakes),    keep(1, &fakes), keep(2, &fakes),
                                        keep(3, &settings), keep(4, &fakes), keep(5, &fakes)};
        EXPECT_THROW(TStartupSequence{services}, std::invalid_argument) << missing;
    }
}

TEST_F(ShellTest, SettingsAreInstalledWhileTheyLiveAndWrittenBackOnlyWhenTheyLoaded) {
    const QString data = TempPath(QStringLiteral("DATA"));
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(
        QFile::copy(TProgramParams::ShippedReferenceDataPath(), data + QStringLiteral("/Quilvane.DAT")));
    const QString ini = TempPath(QStringLiteral("Quilvane.ini"));
    // A data folder that holds the reference data, and none at all: the user gives up on that one.
    for (const QByteArray& folder : {data.toLocal8Bit(), QByteArray()}) {
        SCOPED_TRACE(folder.constData());
        const QByteArray bytes = "[DESKTOP]\r\nLicFilePath=" + folder + "\r\n[HISTORY]\r\nCurrent=ACME\r\n";
        ASSERT_TRUE(WriteFileBytes(ini, bytes));
        const bool loads = !folder.isEmpty();
        if (!loads)
            Prompt->Answer(TMessageButton::Cancel);
        TProgramParamsLoader loader;
        EXPECT_EQ(loader.CreateAndLoad() == 0, loads);
        ASSERT_TRUE(HasProgramParams());
        EXPECT_EQ(&ProgramParams(), loader.Params());
        if (loads) {
            EXPECT_EQ(loader.UserName(), QStringLiteral("WORKSTATION1"));
            loader.UseLogonUserName();
            EXPECT_EQ(loader.UserName(), QStringLiteral("alice"));
        }
        loader.Save();
        loader.Free();
        EXPECT_FALSE(HasProgramParams());
        EXPECT_EQ(ReadFileBytes(ini) == bytes, !loads);
    }
}

TEST_F(ShellTest, EscapedExceptionIsShownWithItsMessageAndAnAbortIsNot) {
    const std::pair<std::exception_ptr, const char*> failures[] = {
        {std::make_exception_ptr(EQuilvaneError(QStringLiteral("Unable to read X.CFG"))),
         "Unable to read X.CFG"},
        {std::make_exception_ptr(std::runtime_error("disk full")), "disk full"},
        {std::make_exception_ptr(42), "An unexpected error has occurred."},
        {std::make_exception_ptr(EAbort()), nullptr},
    };
    for (const auto& [failure, text] : failures) {
        SCOPED_TRACE(text ? text : "abort");
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        if (text)
            Prompt->Answer(TMessageButton::OK);
        TQuilvaneApplication::ReportException(failure);
        EXPECT_EQ(Prompt->Texts(), text ? QStringList{QString::fromLatin1(text)} : QStringList());
        EXPECT_EQ(Prompt->Beeps.value(0, TBeep::Default), text ? TBeep::Error : TBeep::Default);
    }
}
