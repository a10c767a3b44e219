#pragma once

#include "core/services/Clock.h"
#include "core/services/CursorService.h"
#include "core/services/FileSystem.h"
#include "core/services/Help.h"
#include "core/services/Identity.h"
#include "core/services/Progress.h"
#include "core/services/UserPrompt.h"

#include <QString>

#include <functional>
#include <memory>

class TAccountsChart;
class TProgramParams;
class TRegionalSettings;

struct TLogSession;

// Offers the user to add an account that a typed code names but the chart lacks, with the typed
// text as its code. True when the account was added; index is then its place in the chart (-1
// otherwise).
using TAddAccountOffer = std::function<bool(TAccountsChart& chart, const QString& codeText, int& index)>;

// The one place where the data layer finds the services it talks to the user and the
// workstation through. The program entry installs the windowed implementations; tests install
// scripted fakes. Until something is installed: the system clock, identity and file system,
// no progress window, no cursor change, no help, and no prompter (asking raises a logic error,
// so a missing installation shows at once). The program settings and the regional date formats
// live here too: they are the only process-wide state the data layer reads, and Reset() puts
// them back with everything else.
class TServices {
public:
    static IUserPrompt& Prompt();
    static IProgressFactory& ProgressFactory();
    static ICursorService& Cursor();
    static IClock& Clock();
    static IIdentity& Identity();
    static IFileSystem& FileSystem();
    static IHelp& Help();

    // The regional date and time formats (defaults until the reference data is loaded).
    static TRegionalSettings& Regional();
    // The program settings; Settings() raises a logic error while none are installed.
    static bool HasSettings();
    static TProgramParams& Settings();

    static void SetPrompt(std::shared_ptr<IUserPrompt> service);
    static void SetProgressFactory(std::shared_ptr<IProgressFactory> service);
    static void SetCursor(std::shared_ptr<ICursorService> service);
    static void SetClock(std::shared_ptr<IClock> service);
    static void SetIdentity(std::shared_ptr<IIdentity> service);
    static void SetFileSystem(std::shared_ptr<IFileSystem> service);
    static void SetHelp(std::shared_ptr<IHelp> service);
    // Installs the program settings; nullptr removes them.
    static void SetSettings(std::shared_ptr<TProgramParams> settings);

    // The add-account offer of the account window; until one is installed (and after an empty
    // one is installed) every offer is declined.
    static const TAddAccountOffer& AddAccountOffer();
    static void SetAddAccountOffer(TAddAccountOffer offer);

    // The writer of the time-log entry a closing file makes; empty: the program's time log.
    static const std::function<void(const TLogSession&)>& SessionLog();
    static void SetSessionLog(std::function<void(const TLogSession&)> log);

    // A path text that runs share across the session (the workbook of the journals from
    // workpapers, the lodgement report's output); empty until a run sets it.
    static QString& ProgramPathText();

    // Puts every service back to its default, then runs the resetters registered, in order:
    // the process-wide state kept outside this registry (the installed subsystem services, the
    // progress windows' host, the date edits' shared navigator) registers one where it lives.
    static void Reset();
    static void AtReset(std::function<void()> resetter);

    // Shorthand for a new progress window from the installed factory.
    static std::unique_ptr<IProgress> CreateProgress() { return ProgressFactory().CreateProgress(); }
};
