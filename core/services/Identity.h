#pragma once

#include <QString>

// Who and where the program runs: the workstation's computer name (upper case) and the user's
// logon name (empty when it cannot be had).
class IIdentity {
public:
    virtual ~IIdentity() = default;
    virtual QString ComputerName() const = 0;
    virtual QString LogonName() const = 0;
};
