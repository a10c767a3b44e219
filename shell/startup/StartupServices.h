#pragma once

#include "platform/instance/InstanceGuard.h"
#include "platform/printing/PrinterProbe.h"
#include "shell/startup/Delay.h"
#include "shell/startup/MainWindowFactory.h"
#include "shell/startup/SettingsLoader.h"
#include "shell/startup/Splash.h"

// What the start-up works with; none of it is owned here.
struct TStartupServices {
    IInstanceGuard* Instance = nullptr;
    IPrinterProbe* Printers = nullptr;
    ISplash* Splash = nullptr;
    ISettingsLoader* Settings = nullptr;
    IDelay* Delay = nullptr;
    IMainWindowFactory* MainWindow = nullptr;
};
