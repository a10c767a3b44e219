#include "shell/startup/StartupSequence.h"

#include "core/common/Exceptions.h"
#include "core/services/Services.h"

#include <stdexcept>

TStartupSequence::TStartupSequence(const TStartupServices& services) : Services(services) {
    if (!Services.Instance || !Services.Printers || !Services.Splash || !Services.Settings ||
        !Services.Delay || !Services.MainWindow)
        throw std::invalid_argument("start-up needs every one of its services");
}

bool TStartupSequence::IsTerminalArgument(const QString& argument) {
    return argument.toUpper().contains(QStringLiteral("TERMINAL"));
}

bool TStartupSequence::PrinterInstalled() {
    try {
        if (Services.Printers->DefaultPrinterIndex() == -1)
            throw EAbort();
        return true;
    } catch (...) {
        // A printer list that cannot be read counts as no printer.
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, NoPrinterMessage(), TMessageButton::OK);
        return false;
    }
}

void TStartupSequence::LeaveSettings() noexcept {
    if (SplashShown) {
        try {
            Services.Splash->Free();
        } catch (...) {
        }
        SplashShown = false;
    }
    if (!SettingsCreated)
        return;
    // Settings that did not load are never written back: they would overwrite the user's ini
    // with empty history and an empty data folder.
    try {
        if (SettingsLoaded)
            Services.Settings->Save();
    } catch (...) {
    }
    try {
        Services.Settings->Free();
    } catch (...) {
    }
    SettingsCreated = false;
    SettingsLoaded = false;
}

int TStartupSequence::Run(const QStringList& arguments) {
    // No display name for the application: the window system would append it to every title,
    // the main window's (which carries the program name already) and each small box's alike.

    Terminal = IsTerminalArgument(arguments.value(1));
    if (!Terminal) {
        switch (Services.Instance->Claim()) {
        case TInstanceClaim::Runs:
            break;
        case TInstanceClaim::OtherCameForward:
            return 0;
        case TInstanceClaim::OtherDidNotAnswer:
            // The running copy could not be brought to the front: without a word the start
            // would seem to have done nothing.
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, AlreadyRunningMessage(),
                               TMessageButton::OK);
            return ExitRefused;
        }
    }

    if (!PrinterInstalled())
        return ExitRefused;

    try {
        Services.Splash->Show();
        SplashShown = true;
        Services.Delay->ProcessPendingEvents();
        Services.Delay->Wait(SplashBeforeLoadMs);

        SettingsCreated = true;
        if (Services.Settings->CreateAndLoad() != 0) {
            LeaveSettings();
            return ExitRefused;
        }
        SettingsLoaded = true;

        Services.Delay->ProcessPendingEvents();
        Services.Delay->Wait(SplashAfterLoadMs);
        if (Terminal)
            Services.Settings->UseLogonUserName();

        Services.MainWindow->CreateMainWindow();
        Services.Splash->Free();
        SplashShown = false;
        Services.MainWindow->RestoreDesktop();
        const int exitCode = Services.MainWindow->RunEventLoop();
        LeaveSettings();
        return exitCode;
    } catch (...) {
        LeaveSettings();
        throw;
    }
}
