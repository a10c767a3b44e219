#include "shell/windowmenu/AboutBox.h"

#include "core/vocab/ProgramIdentity.h"
#include "shell/startup/SplashScreen.h"

QString TAboutBox::VersionText(const QString& dataVersion) {
    return TfrmSplashScreen::AboutText(ProgramVersionText(), dataVersion);
}

void TAboutBox::Show(const QString& dataVersion) {
    TfrmSplashScreen::ShowAbout(ProgramVersionText(), dataVersion);
}
