#pragma once

#include <functional>

// Tells the program's main window whether an operation is running behind a progress window, so
// it can show its "Busy..." hint and keep the user out. Progress windows nest (a file's save runs
// its own window inside shutdown's), so the main window hears "busy" when the first one shows
// and "idle" only when the last one hides.
class TProgressHost {
public:
    using TCallback = std::function<void(bool busy)>;

    // The main window installs its callback; an empty one stops the calls.
    static void SetCallback(TCallback callback);

    // A progress window was shown / hidden. Leave without a matching Enter does nothing.
    static void Enter();
    static void Leave();

    // How many progress windows are showing.
    static int ShownCount();
};
