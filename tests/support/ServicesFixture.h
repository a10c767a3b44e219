#pragma once

#include "tests/support/FakeIdentity.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedPrompt.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Base of tests that touch the services or the disk: installs a scripted prompter, a recording
// progress factory and a fixed identity, points the program ini into a fresh temporary folder,
// and puts everything back afterwards.
class TServicesFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path inside the temporary folder.
    QString TempPath(const QString& name) const { return Temp.filePath(name); }

    QTemporaryDir Temp;
    std::shared_ptr<TScriptedPrompt> Prompt;
    std::shared_ptr<TRecordingProgressFactory> Progress;
    std::shared_ptr<TFakeIdentity> Identity;
};
