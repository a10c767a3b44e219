#include "shell/startup/ProgramParamsLoader.h"

#include "core/settings/ProgramParams.h"
#include "shell/startup/StartupSequence.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class TNoGuard : public IInstanceGuard {
public:
    bool Claim() override { return true; }
};
class TOnePrinter : public IPrinterProbe {
public:
    QStringList Printers() const override { return {QStringLiteral("Print to PDF file")}; }
    int DefaultPrinterIndex() const override { return 0; }
};
class TNoSplash : public ISplash {
public:
    void Show() override {}
    void Free() override {}
};
class TNoDelay : public IDelay {
public:
    void ProcessPendingEvents() override {}
    void Wait(int) override {}
};
class TRecordingMainWindow : public IMainWindowFactory {
public:
    explicit TRecordingMainWindow(const ISettingsLoader& settings) : Settings(settings) {}
    void CreateMainWindow() override {
        Created = true;
        UserAtCreation = Settings.UserName();
        SettingsInstalled = HasProgramParams();
    }
    void RestoreDesktop() override {}
    int RunEventLoop() override { return 0; }
    const ISettingsLoader& Settings;
    bool Created = false;
    bool SettingsInstalled = false;
    QString UserAtCreation;
};

// Start-up over the real settings object, with the program ini, the data folder and the caches
// all inside the test's temporary folder.
class ProgramParamsLoaderTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        for (const char* name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            Saved.append({name, qgetenv(name)});
            qputenv(name, Temp.path().toLocal8Bit());
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : Saved)
            qputenv(name, value);
        TServicesFixture::TearDown();
    }

    QByteArray ReadIni() const {
        QFile file(TempPath(QStringLiteral("Quilvane.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteIni(const QByteArray& bytes) {
        QFile file(TempPath(QStringLiteral("Quilvane.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // A data folder holding the shipped reference data.
    QString MakeDataFolder() {
        const QString folder = TempPath(QStringLiteral("DATA"));
        EXPECT_TRUE(QDir().mkpath(folder));
        EXPECT_TRUE(QFile::copy(TProgramParams::ShippedReferenceDataPath(),
                                folder + QStringLiteral("/Quilvane.DAT")));
        return folder;
    }

    int Run(const QString& firstArgument = QString()) {
        TStartupServices services{&Guard, &Printer, &Splash, &Loader, &Delay, &MainWindow};
        QStringList arguments{QStringLiteral("quilvane")};
        if (!firstArgument.isEmpty())
            arguments << firstArgument;
        return TStartupSequence(services).Run(arguments);
    }

    QList<std::pair<const char*, QByteArray>> Saved;
    TNoGuard Guard;
    TOnePrinter Printer;
    TNoSplash Splash;
    TNoDelay Delay;
    TProgramParamsLoader Loader;
    TRecordingMainWindow MainWindow{Loader};
};

} // namespace

TEST_F(ProgramParamsLoaderTest, FailedLoadEndsWithoutMainWindowAndLeavesTheIniAsItWas) {
    const QByteArray ini = "[DESKTOP]\r\nLicFilePath=\r\nTimedBackups=0\r\n[HISTORY]\r\nEntities0=ACME,1\r\n"
                           "Current=ACME\r\n";
    WriteIni(ini);
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_NE(Run(), 0);
    EXPECT_FALSE(MainWindow.Created);
    EXPECT_EQ(ReadIni(), ini);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(Prompt->Shown[0].Text.endsWith(QStringLiteral(" - Contact Support for assistance.")));
    EXPECT_FALSE(HasProgramParams());
    EXPECT_EQ(Loader.Params(), nullptr);
}

TEST_F(ProgramParamsLoaderTest, LoadedSettingsAreInstalledAndSavedOnTheWayOut) {
    const QString data = MakeDataFolder();
    WriteIni("[DESKTOP]\r\nLicFilePath=" + data.toLocal8Bit() + "\r\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(Prompt->Shown.isEmpty()) << Prompt->Texts().join('\n').toStdString();
    ASSERT_TRUE(MainWindow.Created);
    EXPECT_TRUE(MainWindow.SettingsInstalled);
    EXPECT_EQ(MainWindow.UserAtCreation, QStringLiteral("WORKSTATION1"));
    // Written back: keys the ini did not hold before are there now.
    EXPECT_TRUE(ReadIni().contains("BackupInterval="));
    EXPECT_FALSE(HasProgramParams());
}

TEST_F(ProgramParamsLoaderTest, TerminalModeNamesTheUserByTheLogonName) {
    const QString data = MakeDataFolder();
    WriteIni("[DESKTOP]\r\nLicFilePath=" + data.toLocal8Bit() + "\r\n");
    EXPECT_EQ(Run(QStringLiteral("/Terminal")), 0);
    EXPECT_EQ(MainWindow.UserAtCreation, QStringLiteral("alice"));
}
