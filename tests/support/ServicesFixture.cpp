#include "tests/support/ServicesFixture.h"

#include "core/services/Services.h"

void TServicesFixture::SetUp() {
    ASSERT_TRUE(Temp.isValid());
    qputenv("QUILVANE_INI", Temp.filePath(QStringLiteral("Quilvane.ini")).toLocal8Bit());
    Prompt = std::make_shared<TScriptedPrompt>();
    Progress = std::make_shared<TRecordingProgressFactory>();
    Identity = std::make_shared<TFakeIdentity>(QStringLiteral("WORKSTATION1"), QStringLiteral("alice"));
    TServices::SetPrompt(Prompt);
    TServices::SetProgressFactory(Progress);
    TServices::SetIdentity(Identity);
}

void TServicesFixture::TearDown() {
    EXPECT_TRUE(Prompt->ScriptDone()) << "Scripted answers left unused";
    TServices::Reset();
    qunsetenv("QUILVANE_INI");
}
