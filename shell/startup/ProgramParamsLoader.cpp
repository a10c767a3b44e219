#include "shell/startup/ProgramParamsLoader.h"

#include "core/settings/ProgramParams.h"

TProgramParamsLoader::~TProgramParamsLoader() {
    Free();
}

int TProgramParamsLoader::CreateAndLoad() {
    Free();
    Settings = std::make_shared<TProgramParams>();
    SetProgramParams(Settings);
    return Settings->Load();
}

QString TProgramParamsLoader::UserName() const {
    return Settings ? Settings->UserName : QString();
}

void TProgramParamsLoader::UseLogonUserName() {
    if (Settings)
        Settings->UseLogonUserName();
}

void TProgramParamsLoader::Save() {
    if (Settings && Settings->Loaded())
        Settings->Save();
}

void TProgramParamsLoader::Free() {
    if (!Settings)
        return;
    if (HasProgramParams() && &ProgramParams() == Settings.get())
        SetProgramParams(nullptr);
    Settings.reset();
}
