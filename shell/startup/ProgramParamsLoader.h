#pragma once

#include "shell/startup/SettingsLoader.h"

#include <memory>

class TProgramParams;

// The program settings object at start-up: made, loaded and installed as the program-wide
// settings; saved and removed on the way out.
class TProgramParamsLoader : public ISettingsLoader {
public:
    ~TProgramParamsLoader() override;

    int CreateAndLoad() override;
    QString UserName() const override;
    void UseLogonUserName() override;
    void Save() override;
    void Free() override;

    // The settings while they exist.
    TProgramParams* Params() const { return Settings.get(); }

private:
    std::shared_ptr<TProgramParams> Settings;
};
