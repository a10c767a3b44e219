#pragma once

#include <QString>
#include <memory>

// A progress window as the data layer sees it. Update calls may raise EOperationCancelled
// (once per press of Cancel) after the user pressed Cancel. Destroying the object hides the
// window. Windows nest: an inner one may be shown while an outer one is up.
class IProgress {
public:
    virtual ~IProgress() = default;

    // Shows the window with a caption and the message of the given kind and detail, with or
    // without the bar and the Cancel button.
    virtual void Setup(const QString& caption, int kind, const QString& detail, bool showBar,
                       bool showCancel) = 0;
    // Moves the bar to a percentage (rounded half to even).
    virtual void SetPosition(double percent) = 0;
    // Changes the message line.
    virtual void SetMessage(int kind, const QString& detail) = 0;
    // True once the user pressed Cancel since the last Setup.
    virtual bool Cancelled() const = 0;
};

// Makes progress windows; the program installs the real window, tests a recorder.
class IProgressFactory {
public:
    virtual ~IProgressFactory() = default;
    virtual std::unique_ptr<IProgress> CreateProgress() = 0;
};
