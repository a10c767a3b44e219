#pragma once

#include "core/services/Identity.h"

class TFakeIdentity : public IIdentity {
public:
    TFakeIdentity(QString computer, QString logon) : Computer(std::move(computer)), Logon(std::move(logon)) {}
    QString ComputerName() const override { return Computer; }
    QString LogonName() const override { return Logon; }
    QString Computer;
    QString Logon;
};
