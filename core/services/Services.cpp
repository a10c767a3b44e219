#include "core/services/Services.h"

#include "core/common/RegionalSettings.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/SystemClock.h"
#include "core/services/SystemIdentity.h"

#include <stdexcept>
#include <vector>

namespace {

class TNoPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString& text, TMessageButtons, int) override {
        throw std::logic_error("No prompter installed to show: " + text.toStdString());
    }
    bool InputText(const QString&, const QString& prompt, QString&) override {
        throw std::logic_error("No prompter installed to ask: " + prompt.toStdString());
    }
};

class TNoProgress : public IProgress {
public:
    void Setup(const QString&, int, const QString&, bool, bool) override {}
    void SetPosition(double) override {}
    void SetMessage(int, const QString&) override {}
    bool Cancelled() const override { return false; }
};

class TNoProgressFactory : public IProgressFactory {
public:
    std::unique_ptr<IProgress> CreateProgress() override { return std::make_unique<TNoProgress>(); }
};

class TNoCursor : public ICursorService {
public:
    void Push(TCursorKind) override {}
    void Pop() override {}
};

class TNoHelp : public IHelp {
public:
    void ShowContext(int) override {}
};

bool DeclineAddAccount(TAccountsChart&, const QString&, int& index) {
    index = -1;
    return false;
}

struct TRegistry {
    std::shared_ptr<IUserPrompt> Prompt;
    std::shared_ptr<IProgressFactory> ProgressFactory;
    std::shared_ptr<ICursorService> Cursor;
    std::shared_ptr<IClock> Clock;
    std::shared_ptr<IIdentity> Identity;
    std::shared_ptr<IFileSystem> FileSystem;
    std::shared_ptr<IHelp> Help;
    // Held by value and reset in place: date formatters keep a reference to it.
    TRegionalSettings Regional;
    std::shared_ptr<TProgramParams> Settings;
    TAddAccountOffer AddAccountOffer;
    std::function<void(const TLogSession&)> SessionLog;
    QString ProgramPathText;
    // Kept through resets: they are how the state elsewhere is reset.
    std::vector<std::function<void()>> Resetters;

    TRegistry() { Reset(); }
    void Reset() {
        Prompt = std::make_shared<TNoPrompt>();
        ProgressFactory = std::make_shared<TNoProgressFactory>();
        Cursor = std::make_shared<TNoCursor>();
        Clock = std::make_shared<TSystemClock>();
        Identity = std::make_shared<TSystemIdentity>();
        FileSystem = std::make_shared<TLocalFileSystem>();
        Help = std::make_shared<TNoHelp>();
        Regional.Reset();
        Settings.reset();
        AddAccountOffer = DeclineAddAccount;
        SessionLog = nullptr;
        ProgramPathText.clear();
    }
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

template <typename T> void Install(std::shared_ptr<T>& slot, std::shared_ptr<T> service) {
    if (service)
        slot = std::move(service);
}

} // namespace

IUserPrompt& TServices::Prompt() {
    return *Registry().Prompt;
}
IProgressFactory& TServices::ProgressFactory() {
    return *Registry().ProgressFactory;
}
ICursorService& TServices::Cursor() {
    return *Registry().Cursor;
}
IClock& TServices::Clock() {
    return *Registry().Clock;
}
IIdentity& TServices::Identity() {
    return *Registry().Identity;
}
IFileSystem& TServices::FileSystem() {
    return *Registry().FileSystem;
}
IHelp& TServices::Help() {
    return *Registry().Help;
}

TRegionalSettings& TServices::Regional() {
    return Registry().Regional;
}
bool TServices::HasSettings() {
    return static_cast<bool>(Registry().Settings);
}
TProgramParams& TServices::Settings() {
    if (!Registry().Settings)
        throw std::logic_error("No program settings installed");
    return *Registry().Settings;
}
void TServices::SetSettings(std::shared_ptr<TProgramParams> settings) {
    Registry().Settings = std::move(settings);
}

const TAddAccountOffer& TServices::AddAccountOffer() {
    return Registry().AddAccountOffer;
}
void TServices::SetAddAccountOffer(TAddAccountOffer offer) {
    Registry().AddAccountOffer = offer ? std::move(offer) : TAddAccountOffer(DeclineAddAccount);
}

void TServices::SetPrompt(std::shared_ptr<IUserPrompt> service) {
    Install(Registry().Prompt, std::move(service));
}
void TServices::SetProgressFactory(std::shared_ptr<IProgressFactory> service) {
    Install(Registry().ProgressFactory, std::move(service));
}
void TServices::SetCursor(std::shared_ptr<ICursorService> service) {
    Install(Registry().Cursor, std::move(service));
}
void TServices::SetClock(std::shared_ptr<IClock> service) {
    Install(Registry().Clock, std::move(service));
}
void TServices::SetIdentity(std::shared_ptr<IIdentity> service) {
    Install(Registry().Identity, std::move(service));
}
void TServices::SetFileSystem(std::shared_ptr<IFileSystem> service) {
    Install(Registry().FileSystem, std::move(service));
}
void TServices::SetHelp(std::shared_ptr<IHelp> service) {
    Install(Registry().Help, std::move(service));
}

void TServices::Reset() {
    Registry().Reset();
    // A resetter may register another (state first used while resetting): index, not iterators.
    for (size_t i = 0; i < Registry().Resetters.size(); ++i) {
        const std::function<void()> resetter = Registry().Resetters[i];
        resetter();
    }
}

void TServices::AtReset(std::function<void()> resetter) {
    if (resetter)
        Registry().Resetters.push_back(std::move(resetter));
}

const std::function<void(const TLogSession&)>& TServices::SessionLog() {
    return Registry().SessionLog;
}

void TServices::SetSessionLog(std::function<void(const TLogSession&)> log) {
    Registry().SessionLog = std::move(log);
}

QString& TServices::ProgramPathText() {
    return Registry().ProgramPathText;
}
