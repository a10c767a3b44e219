#include "shell/windowmenu/AboutBox.h"

#include "core/vocab/ProgramIdentity.h"
#include "shell/startup/SplashScreen.h"

QString TAboutBox::VersionText(const QString& dataVersion) {
    return TfrmSplashScreen::AboutText(ProgramVersionText(), dataVersion);
}

void TAboutBox::Show(const QString& dataVersion, const std::function<int(QDialog&)>& run) {
    if (!run) {
        TfrmSplashScreen::ShowAbout(ProgramVersionText(), dataVersion);
        return;
    }
    TfrmSplashScreen about;
    about.PrepareAbout(ProgramVersionText(), dataVersion);
    run(about);
}
