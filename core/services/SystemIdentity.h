#pragma once

#include "core/services/Identity.h"

// The computer name is the host name in upper case; the logon name comes from the environment,
// then from the password database.
class TSystemIdentity : public IIdentity {
public:
    QString ComputerName() const override;
    QString LogonName() const override;
};
