#pragma once

#include <QString>

// The program settings as start-up handles them: made and read from the program ini and the
// reference data before the main window exists, saved on the way out.
class ISettingsLoader {
public:
    virtual ~ISettingsLoader() = default;
    // Creates the settings and loads them: 0 when loaded; anything else when the load failed
    // and the user gave up (the failure has been shown).
    virtual int CreateAndLoad() = 0;
    // The workstation's user name (the computer name, or the logon name in terminal mode).
    virtual QString UserName() const = 0;
    // The user name becomes the logon name instead of the computer name.
    virtual void UseLogonUserName() = 0;
    // Writes the settings back (only ever called after a load that succeeded).
    virtual void Save() = 0;
    // Frees the settings without writing anything.
    virtual void Free() = 0;
};
