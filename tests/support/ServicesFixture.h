#pragma once

#include "core/services/Services.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedPrompt.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// The workstation's names as a test sets them.
class TFakeIdentity : public IIdentity {
public:
    TFakeIdentity(QString computer, QString logon) : Computer(std::move(computer)), Logon(std::move(logon)) {}
    QString ComputerName() const override { return Computer; }
    QString LogonName() const override { return Logon; }
    QString Computer;
    QString Logon;
};

// Base of every test that touches process-wide state. It starts (before a derived fixture's
// members install their own) and ends with every service, the program settings and the regional
// formats at their defaults (TServices::Reset); installs a scripted prompter, a recording progress
// factory and a fixed identity; and points the program ini, the home folder and the user's
// configuration and cache folders into a fresh temporary folder, restoring the environment after.
class TServicesFixture : public ::testing::Test {
protected:
    TServicesFixture() { TServices::Reset(); }

    void SetUp() override {
        ASSERT_TRUE(Temp.isValid() && QDir(Temp.path()).mkpath("home"));
        // clang-format off
        const std::pair<const char*, const char*> redirected[] = {{"QUILVANE_INI", "Quilvane.ini"},
            {"HOME", "home"}, {"XDG_CONFIG_HOME", "home/.config"}, {"XDG_CACHE_HOME", "home/.cache"}};
        // clang-format on
        for (const auto& [name, path] : redirected) {
            SavedEnvironment.append(
                {name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
            qputenv(name, QFile::encodeName(TempPath(path)));
        }
        TServices::SetPrompt(Prompt);
        TServices::SetProgressFactory(Progress);
        TServices::SetIdentity(Identity);
    }

    void TearDown() override {
        EXPECT_TRUE(Prompt->ScriptDone()) << "Scripted answers left unused";
        TServices::Reset();
        for (const auto& [name, value] : SavedEnvironment)
            value ? (void)qputenv(name, *value) : (void)qunsetenv(name);
    }

    QString TempPath(const QString& name) const { return Temp.filePath(name); }

    QTemporaryDir Temp;
    std::shared_ptr<TScriptedPrompt> Prompt = std::make_shared<TScriptedPrompt>();
    std::shared_ptr<TRecordingProgressFactory> Progress = std::make_shared<TRecordingProgressFactory>();
    std::shared_ptr<TFakeIdentity> Identity = std::make_shared<TFakeIdentity>("WORKSTATION1", "alice");

private:
    QList<std::pair<const char*, std::optional<QByteArray>>> SavedEnvironment;
};
