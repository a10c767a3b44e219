#pragma once

#include "core/vocab/ProgramIdentity.h"

#include "shell/startup/StartupServices.h"

#include <QString>
#include <QStringList>

// The program's start-up, from the command line to the end of the event loop:
//  1. the application title "QUILVANE 2006", carried by the main window's title (it is not made
//     the application's display name, which the window system would add to every title);
//  2. the terminal-server switch: a first argument containing "TERMINAL" in any case lets
//     several users of one server each run a copy, and names the user by the logon name;
//  3. otherwise only one copy runs in a desktop login: a second one brings the first to the
//     front and ends, or, when the first cannot come forward, says that it runs and ends;
//  4. no printer, no start (the PDF printer always counts);
//  5. the splash, at least half a second before and a second after loading the settings;
//  6. the settings: a load the user gave up on ends the program, and nothing is written back;
//  7. the main window, then the previous run's desktop, then the event loop;
//  8. on the way out the settings are saved, but only when they had loaded.
class TStartupSequence {
public:
    static constexpr int SplashBeforeLoadMs = 500;
    static constexpr int SplashAfterLoadMs = 1000;
    static constexpr int ExitRefused = 1;

    static QString ApplicationTitle() { return MainWindowTitle.toString(); }
    static QString NoPrinterMessage() {
        return QStringLiteral("Please make sure that a printer has been installed before starting Quilvane.");
    }

    static QString AlreadyRunningMessage() {
        return QStringLiteral("Quilvane is already running. Switch to the window that is open, or close it "
                              "before starting Quilvane again.");
    }

    explicit TStartupSequence(const TStartupServices& services);

    // Runs the program. The arguments are the command line after the toolkit took its own
    // options out (the program's path first). Returns the exit code.
    int Run(const QStringList& arguments);

    // True for an argument that contains "TERMINAL", in any case, anywhere.
    static bool IsTerminalArgument(const QString& argument);

    bool TerminalMode() const { return Terminal; }

private:
    bool PrinterInstalled();
    void LeaveSettings() noexcept;

    TStartupServices Services;
    bool Terminal = false;
    bool SplashShown = false;
    bool SettingsCreated = false;
    bool SettingsLoaded = false;
};
