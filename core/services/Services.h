#pragma once

#include "core/services/Clock.h"
#include "core/services/CursorService.h"
#include "core/services/FileSystem.h"
#include "core/services/Help.h"
#include "core/services/Identity.h"
#include "core/services/Progress.h"
#include "core/services/UserPrompt.h"

#include <memory>

// The one place where the data layer finds the services it talks to the user and the
// workstation through. The program entry installs the windowed implementations; tests install
// scripted fakes. Until something is installed: the system clock, identity and file system,
// no progress window, no cursor change, no help, and no prompter (asking raises a logic error,
// so a missing installation shows at once).
class TServices {
public:
    static IUserPrompt& Prompt();
    static IProgressFactory& ProgressFactory();
    static ICursorService& Cursor();
    static IClock& Clock();
    static IIdentity& Identity();
    static IFileSystem& FileSystem();
    static IHelp& Help();

    static void SetPrompt(std::shared_ptr<IUserPrompt> service);
    static void SetProgressFactory(std::shared_ptr<IProgressFactory> service);
    static void SetCursor(std::shared_ptr<ICursorService> service);
    static void SetClock(std::shared_ptr<IClock> service);
    static void SetIdentity(std::shared_ptr<IIdentity> service);
    static void SetFileSystem(std::shared_ptr<IFileSystem> service);
    static void SetHelp(std::shared_ptr<IHelp> service);

    // Puts every service back to its default.
    static void Reset();

    // Shorthand for a new progress window from the installed factory.
    static std::unique_ptr<IProgress> CreateProgress() { return ProgressFactory().CreateProgress(); }
};
