#include "shell/startup/StartupSequence.h"

#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Every fake writes what it was asked to do into one log, so the order can be checked.
struct TStartupLog {
    QStringList Steps;
    QList<int> Delays;
};

class TFakeInstance : public IInstanceGuard {
public:
    explicit TFakeInstance(TStartupLog& log) : Log(log) {}
    bool Claim() override {
        Log.Steps << QStringLiteral("claim");
        return First;
    }
    TStartupLog& Log;
    bool First = true;
};

class TFakePrinters : public IPrinterProbe {
public:
    explicit TFakePrinters(TStartupLog& log) : Log(log) {}
    QStringList Printers() const override { return Names; }
    int DefaultPrinterIndex() const override {
        Log.Steps << QStringLiteral("printer");
        if (Fails)
            throw std::runtime_error("printer list unreadable");
        return Names.isEmpty() ? -1 : 0;
    }
    TStartupLog& Log;
    QStringList Names{QStringLiteral("Print to PDF file")};
    bool Fails = false;
};

class TFakeSplash : public ISplash {
public:
    explicit TFakeSplash(TStartupLog& log) : Log(log) {}
    void Show() override { Log.Steps << QStringLiteral("splash"); }
    void Free() override { Log.Steps << QStringLiteral("free splash"); }
    TStartupLog& Log;
};

class TFakeSettings : public ISettingsLoader {
public:
    explicit TFakeSettings(TStartupLog& log) : Log(log) {}
    int CreateAndLoad() override {
        Log.Steps << QStringLiteral("load");
        return LoadResult;
    }
    QString UserName() const override { return User; }
    void UseLogonUserName() override {
        Log.Steps << QStringLiteral("logon name");
        User = QStringLiteral("alice");
    }
    void Save() override { Log.Steps << QStringLiteral("save"); }
    void Free() override { Log.Steps << QStringLiteral("free settings"); }
    TStartupLog& Log;
    int LoadResult = 0;
    QString User = QStringLiteral("WORKSTATION1");
};

class TFakeDelay : public IDelay {
public:
    explicit TFakeDelay(TStartupLog& log) : Log(log) {}
    void ProcessPendingEvents() override {}
    void Wait(int milliseconds) override {
        Log.Steps << QStringLiteral("wait %1").arg(milliseconds);
        Log.Delays << milliseconds;
    }
    TStartupLog& Log;
};

class TFakeMainWindow : public IMainWindowFactory {
public:
    explicit TFakeMainWindow(TStartupLog& log) : Log(log) {}
    void CreateMainWindow() override {
        Log.Steps << QStringLiteral("main window");
        if (CreateFails)
            throw EQuilvaneError(QStringLiteral("no window"));
    }
    void RestoreDesktop() override { Log.Steps << QStringLiteral("restore desktop"); }
    int RunEventLoop() override {
        Log.Steps << QStringLiteral("event loop");
        return LoopResult;
    }
    TStartupLog& Log;
    bool CreateFails = false;
    int LoopResult = 0;
};

class StartupSequenceTest : public TServicesFixture {
protected:
    int Run(const QString& firstArgument = QString()) {
        TStartupServices services;
        services.Instance = &Instance;
        services.Printers = &Printers;
        services.Splash = &Splash;
        services.Settings = &Settings;
        services.Delay = &Delay;
        services.MainWindow = &MainWindow;
        TStartupSequence sequence(services);
        QStringList arguments{QStringLiteral("quilvane")};
        if (!firstArgument.isNull())
            arguments << firstArgument;
        const int result = sequence.Run(arguments);
        Terminal = sequence.TerminalMode();
        return result;
    }

    TStartupLog Log;
    TFakeInstance Instance{Log};
    TFakePrinters Printers{Log};
    TFakeSplash Splash{Log};
    TFakeSettings Settings{Log};
    TFakeDelay Delay{Log};
    TFakeMainWindow MainWindow{Log};
    bool Terminal = false;
};

} // namespace

TEST_F(StartupSequenceTest, StepsRunInOrderAndSettingsAreSavedOnTheWayOut) {
    MainWindow.LoopResult = 3;
    EXPECT_EQ(Run(), 3);
    EXPECT_EQ(Log.Steps,
              (QStringList{"claim", "printer", "splash", "wait 500", "load", "wait 1000", "main window",
                           "free splash", "restore desktop", "event loop", "save", "free settings"}));
    EXPECT_EQ(Log.Delays,
              (QList<int>{TStartupSequence::SplashBeforeLoadMs, TStartupSequence::SplashAfterLoadMs}));
    EXPECT_EQ(Log.Delays, (QList<int>{500, 1000}));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("QUILVANE 2006"));
    EXPECT_FALSE(Terminal);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(StartupSequenceTest, SecondCopyEndsAtOnceWithoutAnyWindow) {
    Instance.First = false;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Log.Steps, QStringList{"claim"});
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(StartupSequenceTest, NoPrinterShowsTheMessageAndEndsBeforeTheSplash) {
    Printers.Names.clear();
    Prompt->Answer(TMessageButton::OK);
    EXPECT_NE(Run(), 0);
    EXPECT_EQ(Log.Steps, (QStringList{"claim", "printer"}));
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Shown[0].Text,
              QStringLiteral("Please make sure that a printer has been installed before starting Quilvane."));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
}

TEST_F(StartupSequenceTest, UnreadablePrinterListCountsAsNoPrinter) {
    Printers.Fails = true;
    Prompt->Answer(TMessageButton::OK);
    EXPECT_NE(Run(), 0);
    EXPECT_EQ(Log.Steps, (QStringList{"claim", "printer"}));
    EXPECT_EQ(Prompt->Texts(), QStringList{TStartupSequence::NoPrinterMessage()});
}

TEST_F(StartupSequenceTest, FailedLoadEndsWithoutMainWindowAndWithoutSaving) {
    Settings.LoadResult = -1;
    EXPECT_NE(Run(), 0);
    EXPECT_EQ(Log.Steps, (QStringList{"claim", "printer", "splash", "wait 500", "load", "free splash",
                                      "free settings"}));
    EXPECT_FALSE(Log.Steps.contains(QStringLiteral("save")));
}

TEST_F(StartupSequenceTest, TerminalAnywhereInTheFirstArgumentSkipsTheGuardAndUsesTheLogonName) {
    for (const QString& argument : {QStringLiteral("TERMINAL"), QStringLiteral("/terminal"),
                                    QStringLiteral("xxTerminalyy"), QStringLiteral("-TeRmInAl=1")}) {
        Log.Steps.clear();
        Instance.First = false; // a copy is running: the switch must not even ask
        EXPECT_EQ(Run(argument), 0) << argument.toStdString();
        EXPECT_TRUE(Terminal);
        EXPECT_EQ(Log.Steps, (QStringList{"printer", "splash", "wait 500", "load", "wait 1000", "logon name",
                                          "main window", "free splash", "restore desktop", "event loop",
                                          "save", "free settings"}))
            << argument.toStdString();
        EXPECT_EQ(Settings.User, QStringLiteral("alice"));
    }
}

TEST_F(StartupSequenceTest, OnlyTheFirstArgumentIsTheSwitch) {
    EXPECT_TRUE(TStartupSequence::IsTerminalArgument(QStringLiteral("xterminalx")));
    EXPECT_FALSE(TStartupSequence::IsTerminalArgument(QStringLiteral("TERMINA")));
    EXPECT_FALSE(TStartupSequence::IsTerminalArgument(QString()));

    TStartupServices services{&Instance, &Printers, &Splash, &Settings, &Delay, &MainWindow};
    TStartupSequence sequence(services);
    sequence.Run({QStringLiteral("quilvane"), QStringLiteral("data"), QStringLiteral("TERMINAL")});
    EXPECT_FALSE(sequence.TerminalMode());
    EXPECT_TRUE(Log.Steps.contains(QStringLiteral("claim")));
    EXPECT_FALSE(Log.Steps.contains(QStringLiteral("logon name")));
}

TEST_F(StartupSequenceTest, FailureAfterLoadingStillFreesTheSplashAndSavesTheLoadedSettings) {
    MainWindow.CreateFails = true;
    EXPECT_THROW(Run(), EQuilvaneError);
    EXPECT_EQ(Log.Steps.mid(Log.Steps.indexOf(QStringLiteral("main window"))),
              (QStringList{"main window", "free splash", "save", "free settings"}));
}

TEST(StartupSequenceServices, EveryServiceIsNeeded) {
    EXPECT_THROW(TStartupSequence(TStartupServices{}), std::invalid_argument);
}
