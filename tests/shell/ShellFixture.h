#pragma once

#include "core/common/Exceptions.h"
#include "core/settings/ProgramParams.h"
#include "shell/startup/StartupSequence.h"
#include "tests/support/ServicesFixture.h"

#include <QGuiApplication>
#include <stdexcept>

// The services, with the home folder and the caches inside the test's temporary folder; every
// process-wide setting that start-up makes (the installed settings, the display name) is put
// back afterwards. Start-up's services are fakes that log each step they are asked to take.
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
        bool Claim() override { return Log("claim", FirstCopy); }
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

        bool FirstCopy = true;
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

    void SetUp() override {
        TServicesFixture::SetUp();
        for (const char* name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            SavedEnvironment.append({name, qgetenv(name)});
            qputenv(name, Temp.path().toLocal8Bit());
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : SavedEnvironment)
            qputenv(name, value);
        SetProgramParams(nullptr);
        QGuiApplication::setApplicationDisplayName(QString());
        TServicesFixture::TearDown();
    }

    // Runs start-up with the arguments that follow the program's path.
    static int Run(TFakes& fakes, ISettingsLoader& settings, const QStringList& arguments) {
        return TStartupSequence({&fakes, &fakes, &fakes, &settings, &fakes, &fakes})
            .Run(QStringList{QStringLiteral("quilvane")} + arguments);
    }

    QList<std::pair<const char*, QByteArray>> SavedEnvironment;
};
