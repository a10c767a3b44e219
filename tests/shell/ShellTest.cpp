#include "controls/small/AsUrlLabel.h"
#include "core/common/Exceptions.h"
#include "core/settings/ProgramParams.h"
#include "shell/startup/HintPauseStyle.h"
#include "shell/startup/ProgramParamsLoader.h"
#include "shell/startup/QuilvaneApplication.h"
#include "shell/startup/SplashScreen.h"
#include "shell/startup/StartupSequence.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QTest>
#include <QtWidgets>
#include <stdexcept>

namespace {

// The services (the settings installed by start-up go with them); the display name that start-up
// sets is put back afterwards. Start-up's services are fakes that log each step they are asked to
// take.
class ShellTest : public TServicesFixture {
protected:
    // Writes each step it is asked to take into the log that all the fakes share.
    struct TStepLog {
        QStringList& Steps;
        template <typename T = bool> T Log(const QString& step, T result = {}) const {
            Steps << step;
            return result;
        }
    };
    struct TFakes : TStepLog, IInstanceGuard, IPrinterProbe, ISplash, IDelay, IMainWindowFactory {
        explicit TFakes(QStringList& steps) : TStepLog{steps} {}
        TInstanceClaim Claim() override { return Log("claim", ClaimResult); }
        QStringList Printers() const override { return {}; }
        int DefaultPrinterIndex() const override {
            if (Log("printer", PrinterIndex < -1))
                throw std::runtime_error("printer list unreadable");
            return PrinterIndex;
        }
        void Show() override { Log("splash"); }
        void Free() override { Log("free-splash"); }
        void ProcessPendingEvents() override {}
        void Wait(int milliseconds) override { Log("wait" + QString::number(milliseconds)); }
        void CreateMainWindow() override {
            if (Log("window", WindowFails))
                throw EQuilvaneError(QStringLiteral("no window"));
        }
        void RestoreDesktop() override { Log("restore"); }
        int RunEventLoop() override { return Log("loop", 3); }

        TInstanceClaim ClaimResult = TInstanceClaim::Runs;
        int PrinterIndex = 0; // -1: no printer; below: the list cannot be read
        bool WindowFails = false;
    };
    struct TFakeSettings : TStepLog, ISettingsLoader {
        explicit TFakeSettings(QStringList& steps) : TStepLog{steps} {}
        int CreateAndLoad() override { return Log("load", LoadResult); }
        QString UserName() const override { return User; }
        void UseLogonUserName() override { User = Log("logon", QStringLiteral("alice")); }
        void Save() override { Log("save"); }
        void Free() override { Log("free-settings"); }
        int LoadResult = 0;
        QString User = QStringLiteral("WORKSTATION1");
    };

    void TearDown() override {
        QGuiApplication::setApplicationDisplayName(QString());
        TServicesFixture::TearDown();
    }

    // Runs start-up with the arguments that follow the program's path.
    static int Run(TFakes& fakes, ISettingsLoader& settings, const QStringList& arguments) {
        return TStartupSequence({&fakes, &fakes, &fakes, &settings, &fakes, &fakes})
            .Run(QStringList{QStringLiteral("quilvane")} + arguments);
    }
};

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
    constexpr TInstanceClaim Runs = TInstanceClaim::Runs;
    constexpr TInstanceClaim Forward = TInstanceClaim::OtherCameForward;
    constexpr TInstanceClaim NoAnswer = TInstanceClaim::OtherDidNotAnswer;
    const struct {
        QStringList Arguments; // after the program's path
        TInstanceClaim Claim;
        int PrinterIndex; // -1: none; -2: the list cannot be read
        int LoadResult;
        bool WindowFails;
        int Exit; // -1: the failure goes to the caller
        const char* Steps;
        const char* Box; // the one box shown, if any
    } cases[] = {
        {{}, Runs, 0, 0, false, 3, AllSteps, nullptr},
        // A copy runs and came forward: nothing shown. One that could not: it is said.
        {{}, Forward, 0, 0, false, 0, "claim", nullptr},
        {{}, NoAnswer, 0, 0, false, 1, "claim", "running"},
        {{}, Runs, -1, 0, false, 1, "claim printer", "printer"},
        {{}, Runs, -2, 0, false, 1, "claim printer", "printer"},
        {{}, Runs, 0, -1, false, 1, "claim printer splash wait500 load free-splash free-settings", nullptr},
        {{}, Runs, 0, 0, true, -1, WindowFailed, nullptr},
        // The terminal-server switch, anywhere in the first argument and in any case: no guard,
        // and the user named by the logon name.
        {{"/terminal"}, NoAnswer, 0, 0, false, 3, TerminalSteps, nullptr},
        {{"xxTerminalyy"}, Forward, 0, 0, false, 3, TerminalSteps, nullptr},
        {{"TERMINA"}, Runs, 0, 0, false, 3, AllSteps, nullptr},
        {{"data", "TERMINAL"}, Runs, 0, 0, false, 3, AllSteps, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Steps << " " << c.Arguments.join(' ').toStdString());
        QStringList steps;
        TFakes fakes(steps);
        TFakeSettings settings(steps);
        fakes.ClaimResult = c.Claim;
        fakes.PrinterIndex = c.PrinterIndex;
        fakes.WindowFails = c.WindowFails;
        settings.LoadResult = c.LoadResult;
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        if (c.Box)
            Prompt->Answer(TMessageButton::OK);
        if (c.Exit < 0) {
            EXPECT_THROW(Run(fakes, settings, c.Arguments), EQuilvaneError);
        } else {
            EXPECT_EQ(Run(fakes, settings, c.Arguments), c.Exit);
        }
        EXPECT_EQ(steps.join(' '), QString::fromLatin1(c.Steps));
        EXPECT_TRUE(Prompt->ScriptDone()); // the box when, and only when, one is due
        const QString box = !c.Box ? QString()
                            : QByteArray(c.Box) == "printer" ? TStartupSequence::NoPrinterMessage()
                                                             : TStartupSequence::AlreadyRunningMessage();
        if (box.isEmpty()) {
            EXPECT_TRUE(Prompt->Shown.isEmpty() && Prompt->Beeps.isEmpty());
        } else {
            EXPECT_EQ(Prompt->Texts(), QStringList{box});
            const TBeep beep = QByteArray(c.Box) == "printer" ? TBeep::Error : TBeep::Information;
            EXPECT_EQ(Prompt->Beeps, QList<TBeep>{beep});
        }
        // The program name shows once in a title: no display name for the window system to add.
        EXPECT_NE(QGuiApplication::applicationDisplayName(), TStartupSequence::ApplicationTitle());
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
    QStringList shown;
    for (const auto& [failure, text] : failures) {
        if (text) {
            Prompt->Answer(TMessageButton::OK);
            shown << QString::fromLatin1(text);
        }
        TQuilvaneApplication::ReportException(failure);
    }
    EXPECT_EQ(Prompt->Texts(), shown);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(3, TBeep::Error));
}

TEST_F(ShellTest, SplashHidesOKWhichTheAboutBoxShowsWithBothVersions) {
    TfrmSplashScreen splash;
    splash.show();
    EXPECT_FALSE(splash.btnOK->isVisible());

    TfrmSplashScreen about;
    // Texts with % signs in them are taken as they are.
    about.PrepareAbout(QStringLiteral("6.0.0"), QStringLiteral("%1"));
    about.show();
    EXPECT_EQ(about.lblProgramVersionTxt->text(), QStringLiteral("6.0.0 (DAT Version: %1)"));
    EXPECT_TRUE(about.btnOK->isVisible());
    EXPECT_FALSE(about.lblLoading->isVisible()); // nothing loads behind the About form
    about.btnOK->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

// The About box shows the program's web address as a link; the starting splash keeps it hidden.
TEST_F(ShellTest, AboutBoxLinksToTheProgramsAddress) {
    TfrmSplashScreen splash;
    splash.show();
    auto* link = qobject_cast<TAsUrlLabel*>(splash.findChild<QLabel*>(QStringLiteral("lblAddress")));
    ASSERT_NE(link, nullptr);
    EXPECT_FALSE(link->isVisible());

    TfrmSplashScreen about;
    about.PrepareAbout(QStringLiteral("6.0.0"), QStringLiteral("2006.1"));
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    TAsUrlLabel* address = about.lblAddress;
    EXPECT_TRUE(address->isVisible());
    EXPECT_EQ(address->text(), QStringLiteral("www.quilvane.example"));
    EXPECT_EQ(address->Url, QStringLiteral("https://www.quilvane.example"));
    EXPECT_TRUE(address->UrlExecute);
    EXPECT_EQ(address->cursor().shape(), Qt::PointingHandCursor);
    // The link lies on the picture, where it can be clicked.
    EXPECT_TRUE(about.rect().contains(address->geometry()));
    EXPECT_EQ(about.childAt(address->geometry().center()), address);

    QStringList opened;
    address->Opener = [&](const QString& url) { opened << url; };
    QTest::mouseClick(address, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{QStringLiteral("https://www.quilvane.example")});
    EXPECT_TRUE(about.isVisible()); // the box stays until OK
}

// Hints wait half a second; every other hint of the look is the platform style's.
TEST(HintPauseStyleTest, HintsWaitHalfASecond) {
    THintPauseStyle style(QStyleFactory::create("Fusion"));
    EXPECT_EQ(style.styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    std::unique_ptr<QStyle> plain(QStyleFactory::create("Fusion"));
    EXPECT_NE(plain->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    EXPECT_EQ(style.styleHint(QStyle::SH_ToolTip_FallAsleepDelay),
              plain->styleHint(QStyle::SH_ToolTip_FallAsleepDelay));
}
