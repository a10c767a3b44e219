#pragma once

// Makes the main window and runs the program around it.
class IMainWindowFactory {
public:
    virtual ~IMainWindowFactory() = default;
    // Creates and shows the main window.
    virtual void CreateMainWindow() = 0;
    // Reopens the files and windows of the previous run.
    virtual void RestoreDesktop() = 0;
    // Runs until the main window closes; returns the program's exit code.
    virtual int RunEventLoop() = 0;
};
