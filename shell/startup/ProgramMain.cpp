#include "shell/startup/ProgramMain.h"

#include "controls/pictures/PictureFormats.h"
#include "controls/progress/QtProgressFactory.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionDetailPool.h"
#include "core/vocab/ProgramIdentity.h"
#include "entry/accounts/AddEditAccount.h"
#include "platform/cursor/QtCursorService.h"
#include "platform/help/HelpService.h"
#include "platform/instance/SingleInstance.h"
#include "platform/printing/PrinterList.h"
#include "platform/prompt/QtUserPrompt.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/main/ReportMenuAdapter.h"
#include "shell/startup/EventLoopDelay.h"
#include "shell/startup/ProgramParamsLoader.h"
#include "shell/startup/QuilvaneApplication.h"
#include "shell/startup/SplashScreen.h"
#include "shell/startup/StartupSequence.h"

#include <QGuiApplication>
#include <QScreen>
#include <memory>

namespace {

class TSplashWindow : public ISplash {
public:
    void Show() override {
        Window = std::make_unique<TfrmSplashScreen>();
        Window->CentreOnScreen();
        Window->show();
        Window->raise();
    }
    void Free() override { Window.reset(); }

private:
    std::unique_ptr<TfrmSplashScreen> Window;
};

class TMainWindowHost : public IMainWindowFactory {
public:
    TMainWindowHost(TSingleInstance& instance, const ISettingsLoader& settings)
        : Instance(instance), Settings(settings) {}
    ~TMainWindowHost() override { QObject::disconnect(Activation); }

    void CreateMainWindow() override {
        Window = std::make_unique<TfmQuilvaneMain>(ProgramParams(), Settings.UserName());
        ChildWindows = std::make_unique<TChildWindowRegistry>(*Window);
        Window->SetChildWindows(ChildWindows.get());
        ReportMenu = TReportMenuAdapter::ForMainWindow(*Window, *ChildWindows);
        Window->SetReportMenu(ReportMenu.get());
        Activation = QObject::connect(&Instance, &TSingleInstance::ActivateRequested, Window.get(),
                                      &TfmQuilvaneMain::ActivateFromOtherInstance);
        // Fill the screen even where no window manager acts on the maximised state.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            Window->setGeometry(screen->availableGeometry());
        Window->showMaximized();
    }
    void RestoreDesktop() override { Window->RestoreDesktop(); }
    int RunEventLoop() override { return QApplication::exec(); }

private:
    TSingleInstance& Instance;
    const ISettingsLoader& Settings;
    // Freed after the window, which uses it until it is gone.
    std::unique_ptr<TChildWindowRegistry> ChildWindows;
    std::unique_ptr<TReportMenuAdapter> ReportMenu;
    std::unique_ptr<TfmQuilvaneMain> Window;
    QMetaObject::Connection Activation;
};

void InstallDesktopServices() {
    TServices::SetPrompt(std::make_shared<TQtUserPrompt>());
    TServices::SetCursor(std::make_shared<TQtCursorService>());
    TServices::SetHelp(std::make_shared<THelpService>(THelpService::DefaultFolder()));
    TServices::SetProgressFactory(std::make_shared<TQtProgressFactory>());
    // A posting or bank-account field that names an unknown account offers to add it.
    InstallAddAccountOffer();
}

} // namespace

int ProgramMain(int& argc, char** argv) {
    TQuilvaneApplication application(argc, argv);
    QCoreApplication::setApplicationName(ProductName.toString());
    QCoreApplication::setApplicationVersion(ProgramVersionText());
    InstallDesktopServices();

    int exitCode = 0;
    {
        // The picture formats are registered for the run; a missing image plugin is said once.
        const TPictureFormatsRegistration pictureFormats;
        TSingleInstance instance;
        TPrinterList printers;
        TSplashWindow splash;
        TProgramParamsLoader settings;
        TEventLoopDelay delay;
        TMainWindowHost mainWindow(instance, settings);

        TStartupServices services;
        services.Instance = &instance;
        services.Printers = &printers;
        services.Splash = &splash;
        services.Settings = &settings;
        services.Delay = &delay;
        services.MainWindow = &mainWindow;
        try {
            exitCode = TStartupSequence(services).Run(QCoreApplication::arguments());
        } catch (...) {
            TQuilvaneApplication::ReportException(std::current_exception());
            exitCode = TStartupSequence::ExitRefused;
        }
    }
    // The desktop has closed every file: the program's last list has gone.
    TTransactionDetailPool::ReleaseReserve();
    TServices::Reset();
    return exitCode;
}
